// Runs the conversion core off the page's thread, so that a long text never freezes the page.
// Every request is answered, in the order it came: { id, result } or { id, error, kind }.
'use strict';

importScripts('lines.js', 'marquee8.js');

// The module as it downloads; from all its bytes if the server does not say application/wasm.
async function fetchModule() {
  const response = await fetch('marquee8.wasm');
  if (!response.ok) throw new Error(`marquee8.wasm: ${response.status} ${response.statusText}`);
  try {
    return await WebAssembly.compileStreaming(response.clone());
  } catch {
    return WebAssembly.compile(await response.arrayBuffer());
  }
}

// The module compiled by the page, which starts on it before this worker has started, or null
// for this worker to fetch.
let receiveModule;
const compiled = new Promise((resolve) => { receiveModule = resolve; })
  .then(({ module }) => module ?? fetchModule());
const ready = createMarquee8({
  instantiateWasm(imports, receiveInstance) {
    compiled.then((module) => WebAssembly.instantiate(module, imports))
      .then((instance) => receiveInstance(instance), (error) => postMessage(
        { id: 0, error: String(error?.message ?? error), kind: 'other' }));
    return {}; // given later, to receiveInstance
  },
}).then((module) => ({ module, conversion: new module.Conversion() }));

// UTF-8 as the command line would read it. A lone surrogate, which no UTF-8 can hold, becomes
// the three bytes it would take, so that the core rejects the text instead of guessing.
function utf8(text) {
  const bytes = new Uint8Array(text.length * 3);
  let n = 0;
  for (let i = 0; i < text.length; ++i) {
    let c = text.charCodeAt(i);
    if (c >= 0xd800 && c < 0xdc00 && i + 1 < text.length) {
      const low = text.charCodeAt(i + 1);
      if (low >= 0xdc00 && low < 0xe000) {
        c = 0x10000 + ((c - 0xd800) << 10) + (low - 0xdc00);
        ++i;
      }
    }
    if (c < 0x80) {
      bytes[n++] = c;
    } else if (c < 0x800) {
      bytes[n++] = 0xc0 | (c >> 6);
      bytes[n++] = 0x80 | (c & 63);
    } else if (c < 0x10000) {
      bytes[n++] = 0xe0 | (c >> 12);
      bytes[n++] = 0x80 | ((c >> 6) & 63);
      bytes[n++] = 0x80 | (c & 63);
    } else {
      bytes[n++] = 0xf0 | (c >> 18);
      bytes[n++] = 0x80 | ((c >> 12) & 63);
      bytes[n++] = 0x80 | ((c >> 6) & 63);
      bytes[n++] = 0x80 | (c & 63);
    }
  }
  return bytes.subarray(0, n);
}

// A font file the user opened, kept in the module's memory file system under a name of the
// worker's own: the user's name may be anything, '..' included. Of the fonts before it only
// `keep`, the one in use, stays.
let fonts = 0;
function storeFont(module, bytes, keep) {
  const folder = '/fonts';
  if (!module.FS.analyzePath(folder).exists) module.FS.mkdir(folder);
  for (const name of module.FS.readdir(folder)) {
    const old = `${folder}/${name}`;
    if (name !== '.' && name !== '..' && old !== keep) module.FS.unlink(old);
  }
  const path = `${folder}/${++fonts}`;
  module.FS.writeFile(path, new Uint8Array(bytes));
  return path;
}

// The result with its output's line breaks as a text area holds them (CR LF as one), as ASCII
// bytes, with where its lines start, found here so that the page's thread need not look
// through it; and the buffers to hand over without a copy. A file's bytes are handed over too.
function shown(result) {
  if (result instanceof Uint8Array) return [result, [result.buffer]];
  if (typeof result.output !== 'string') return [result, []];
  result.output = new TextEncoder().encode(result.output.replace(/\r\n?/g, '\n'));
  result.lineStarts = lineStarts(result.output);
  return [result, [result.output.buffer, result.lineStarts.buffer, result.array.buffer]];
}

// A request's text: a text typed or pasted comes as a string, a file's as its bytes, a long
// pasted text in parts before the request. The last one sent with an input id is kept, so that
// the page sends a long pasted array once and asks about it again by its id alone.
let kept = { input: 0, bytes: null, parts: [] };
function keepPart(request) {
  if (kept.input !== request.input) kept = { input: request.input, bytes: null, parts: [] };
  kept.parts.push(request.text);
}

function textOf(request) {
  if (request.text === undefined) {
    if (kept.input !== request.input) throw new Error('the text was not kept');
    if (kept.bytes === null) {
      kept.bytes = utf8(kept.parts.join(''));
      kept.parts = [];
    }
    return kept.bytes;
  }
  const bytes = typeof request.text === 'string' ? utf8(request.text) : request.text;
  if (request.input) kept = { input: request.input, bytes, parts: [] };
  return bytes;
}

const operations = {
  font: (module, c, request) => storeFont(module, request.bytes, request.keep),
  start: (module, c, request) => c.start(request.settings, textOf(request)),
  download: (module, c, request) => c.download(request.settings, textOf(request)),
  showArray: (module, c, request) => c.showArray(request.settings, textOf(request)),
  downloadArray: (module, c, request) => c.downloadArray(request.settings, textOf(request)),
};

async function answer(request) {
  const { module, conversion } = await ready;
  const operation = operations[request.op];
  if (!operation) return { error: `there is no operation '${request.op}'`, kind: 'other' };
  const result = operation(module, conversion, request);
  if (result.error !== undefined) {
    return { error: result.error, kind: result.kind, field: result.field };
  }
  const [value, transfer] = shown(result);
  return { result: value, transfer };
}

onmessage = async (event) => {
  const request = event.data;
  if (request.op === 'module') {
    receiveModule(request);
    return;
  }
  if (request.op === 'part') {
    await ready; // after the requests before it, as every request
    keepPart(request);
    return;
  }
  let reply;
  try {
    reply = await answer(request);
  } catch (error) {
    // The file system's errors carry a code, not words.
    reply = { error: error?.message || String(error?.code ?? error), kind: 'other' };
  }
  const { transfer = [], ...fields } = reply;
  postMessage({ id: request.id, ...fields }, transfer);
};

// Ready, with what the page's controls start at and take, as the core has them.
ready.then(({ module }) => postMessage({ id: 0, result: module.pageSettings() }),
  (error) => postMessage({ id: 0, error: String(error?.message ?? error), kind: 'other' }));
