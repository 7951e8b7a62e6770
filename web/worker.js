// Runs the conversion core off the page's thread, so that a long text never freezes the page.
// Requests are answered in the order they come: { id, result } or { id, error, kind }.
'use strict';

importScripts('marquee8.js');

const ready = createMarquee8().then((module) => ({ module, conversion: new module.Conversion() }));

// A font file the user opened, kept in the module's memory file system under its own name.
function storeFont(module, name, bytes) {
  const folder = '/fonts';
  if (!module.FS.analyzePath(folder).exists) module.FS.mkdir(folder);
  const path = `${folder}/${name.replace(/[/\\]/g, '_') || 'font'}`;
  module.FS.writeFile(path, new Uint8Array(bytes));
  return path;
}

const operations = {
  start: (c, request) => c.start(request.settings, request.text),
  download: (c, request) => c.download(request.settings, request.text),
  showArray: (c, request) => c.showArray(request.settings, request.text),
  downloadArray: (c, request) => c.downloadArray(request.settings, request.text),
};

onmessage = async (event) => {
  const request = event.data;
  const { module, conversion } = await ready;
  if (request.op === 'font') {
    postMessage({ id: request.id, result: storeFont(module, request.name, request.bytes) });
    return;
  }
  const result = operations[request.op](conversion, request);
  if (result.error !== undefined) {
    postMessage({ id: request.id, error: result.error, kind: result.kind });
  } else {
    postMessage({ id: request.id, result });
  }
};

ready.then(() => postMessage({ id: 0, result: 'ready' }));
