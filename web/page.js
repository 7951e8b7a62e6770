// The page: the classic form, the output and font settings, the LED preview and reading an
// array back. Every conversion runs in worker.js; this file only shows what comes back.
'use strict';

const $ = (id) => document.getElementById(id);
const storageKey = 'marquee8.settings';
const fontKey = 'marquee8.font';

// ---- The worker -------------------------------------------------------------------------------

const worker = marquee8Worker;
const pending = new Map();
let nextId = 1;
let readyResolve;
const workerReady = new Promise((resolve) => { readyResolve = resolve; });

worker.onmessage = (event) => {
  const { id, result, error, kind, field } = event.data;
  if (id === 0) {
    if (error === undefined) readyResolve(result);
    else tell(Object.assign(new Error(error), { kind: 'load' }));
    return;
  }
  const { resolve, reject } = pending.get(id);
  pending.delete(id);
  if (error !== undefined) {
    reject(Object.assign(new Error(error), { kind, field }));
  } else {
    resolve(result);
  }
};

// The module compiled, or null for the worker to fetch it, once the worker can be told its
// answers: it says it is ready only after it has it compiled.
marquee8Wasm.then((module) => worker.postMessage({ op: 'module', module }))
  .catch((error) => tell(Object.assign(error, { kind: 'load' })));

function ask(op, fields) {
  const id = nextId++;
  return new Promise((resolve, reject) => {
    pending.set(id, { resolve, reject });
    worker.postMessage({ id, op, ...fields });
  });
}

// The worker keeps the text it was last sent with an input id: a text or array shown again, or
// downloaded, is asked about by its id, so that a long one crosses to the worker once. A long
// pasted text crosses in parts, each in a task of its own, so that the page never stops long.
const partLength = 1 << 20;
let nextInput = 1;
let sentInput = 0;
async function askAbout(op, what, settings) {
  what.input ??= nextInput++;
  const fields = { settings, input: what.input };
  if (sentInput !== what.input) {
    sentInput = what.input;
    if (typeof what.text === 'string' && what.text.length > partLength) {
      for (let at = 0; at < what.text.length; at += partLength) {
        worker.postMessage({ op: 'part', input: what.input, text: what.text.slice(at, at + partLength) });
        await new Promise((resolve) => setTimeout(resolve));
      }
    } else {
      fields.text = what.text;
    }
  }
  return ask(op, fields);
}

// ---- Settings ---------------------------------------------------------------------------------

// From the core once the worker is ready: every setting's default under its control's id, and
// the number fields' ranges, { lowest, highest, fallback, unit, text }.
let classic = null;
let numbers = {};
let fontPath = 'builtin';
let fontLabel = 'Built-in LED font';

const checkboxes = ['hex', 'msbTop', 'art', 'inputMsbTop'];

// A number field's text as typed, for the core to read: null for an empty size (the font's
// own). The fields are text fields: a number field gives '' for "1e" or "+" and drops what is
// not a digit from "0x10", so the core would never see what the user typed.
function numberText(key, value) {
  const text = value === null ? '' : String(value);
  return key === 'size' && text === '' ? null : text;
}

// Whether `value`, kept from an earlier visit, is one the control `key` can take. Anything
// else (a setting this page does not know, a value of the wrong type or out of range) is left
// at its classic value.
function fits(key, value) {
  const control = $(key);
  if (checkboxes.includes(key)) return typeof value === 'boolean';
  if (control.tagName === 'SELECT') return [...control.options].some((o) => o.value === value);
  if (key in numbers) {
    const { lowest, highest } = numbers[key];
    return (key === 'size' && value === null) ||
      (Number.isInteger(value) && value >= lowest && value <= highest);
  }
  return typeof value === 'string';
}

function storedSettings() {
  let stored = null;
  try {
    stored = JSON.parse(localStorage.getItem(storageKey));
  } catch {
    // Unreadable: the classic settings.
  }
  const values = { ...classic };
  if (typeof stored !== 'object' || stored === null) return values;
  for (const key of Object.keys(classic)) {
    if (Object.hasOwn(stored, key) && fits(key, stored[key])) values[key] = stored[key];
  }
  return values;
}

// The core's defaults and ranges on the controls, then the settings kept from a visit before.
function showSettings(core) {
  classic = core.defaults;
  numbers = core.numbers;
  // A phone's digit keyboard has no minus sign: only a field that takes no negative gets it.
  for (const [key, { lowest, text }] of Object.entries(numbers)) {
    $(key).title = text;
    $(key).inputMode = lowest >= 0 ? 'numeric' : 'text';
  }
  for (const [key, value] of Object.entries(storedSettings())) {
    const control = $(key);
    if (checkboxes.includes(key)) control.checked = value;
    else control.value = value === null ? '' : String(value);
  }
}

// The controls' values as the core takes them, the numbers as typed: the core reads them.
function settingsOfControls() {
  const values = {};
  for (const key of Object.keys(classic)) {
    const control = $(key);
    if (checkboxes.includes(key)) values[key] = control.checked;
    else if (key in numbers) values[key] = numberText(key, control.value);
    else values[key] = control.value;
  }
  return values;
}

function coreSettings(values) {
  return {
    font: fontPath, size: values.size, cellSpacing: values.spacing === 'cell',
    offset: values.offset, format: values.format, hex: values.hex, msbTop: values.msbTop,
    leadIn: values.leadIn, leadOut: values.leadOut, arrayName: values.arrayName,
    lengthName: values.lengthName, art: values.art, inputMsbTop: values.inputMsbTop,
  };
}

// Kept once the core took them: the numbers as numbers.
function save(values) {
  const kept = { ...values };
  for (const key of Object.keys(numbers)) kept[key] = kept[key] === null ? null : Number(kept[key]);
  try {
    localStorage.setItem(storageKey, JSON.stringify(kept));
  } catch {
    // Storage may be full or switched off: the page works on without remembering.
  }
}

function base64(bytes) {
  let text = '';
  for (let i = 0; i < bytes.length; i += 0x8000) {
    text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  }
  return btoa(text);
}

function saveFont(name, bytes) {
  try {
    if (bytes) localStorage.setItem(fontKey, JSON.stringify({ name, data: base64(bytes) }));
    else localStorage.removeItem(fontKey);
  } catch {
    localStorage.removeItem(fontKey);
  }
}

// ---- What the page shows ----------------------------------------------------------------------

const messages = {
  'invalid-text': 'The text cannot be converted: ',
  'too-long': 'The text is too long: ',
  font: 'The font cannot be used: ',
  settings: 'The output settings cannot be used: ',
  array: 'The array cannot be read: ',
  memory: 'Out of memory: ',
  load: 'The converter could not be loaded: ',
};

// The field a message of the core's is about, from the words it starts with.
const fieldsOfMessages = [
  ['the array name', 'arrayName'], ['the length name', 'lengthName'],
  ['the array and its length', 'lengthName'], ['raw bytes', 'art'],
];

function fieldOf(error, input) {
  if (error.field) return error.field;
  if (error.kind === 'font') return /size|pixel/.test(error.message) ? 'size' : 'fontFile';
  if (error.kind === 'settings') {
    return fieldsOfMessages.find(([words]) => error.message.startsWith(words))?.[1];
  }
  return ['invalid-text', 'too-long', 'array'].includes(error.kind) ? input : undefined;
}

// Tells what went wrong, marks the field at fault, and marks the output, if any, as out of
// date: it stays as it was, for the settings before.
function tell(error, prefix = messages[error.kind] ?? 'The conversion failed: ', input) {
  clearMessage();
  const message = $('message');
  message.textContent = prefix + error.message;
  const field = $(fieldOf(error, input) ?? '');
  if (field) {
    field.setAttribute('aria-invalid', 'true');
    field.setAttribute('aria-describedby', 'message');
  }
  if (last) {
    $('txtoutput').dataset.stale = 'true';
    message.textContent += ' The output below is still the one before this change.';
  }
  message.hidden = false;
}

// The core names a font by the worker's copy of it; the user knows it by its file's name.
function named(error, path, name) {
  if (path !== 'builtin') error.message = error.message.replaceAll(`'${path}'`, `'${name}'`);
  return error;
}

function clearMessage() {
  $('message').hidden = true;
  $('message').textContent = '';
  for (const field of document.querySelectorAll('[aria-invalid]')) {
    field.removeAttribute('aria-invalid');
    field.removeAttribute('aria-describedby');
  }
  delete $('txtoutput').dataset.stale;
}

function drawCanvas(columns, height) {
  const canvas = $('pic');
  const context = canvas.getContext('2d');
  const image = context.createImageData(canvas.width, canvas.height);
  for (let y = 0; y < canvas.height; ++y) {
    for (let x = 0; x < canvas.width; ++x) {
      const ink = y < height && (columns[x] >>> y) & 1;
      const at = (y * canvas.width + x) * 4;
      image.data.fill(ink ? 0 : 0xf0, at, at + 3);
      image.data[at + 3] = 255;
    }
  }
  context.putImageData(image, 0, 0);
}

// 12,345. Not toLocaleString: its first call loads the browser's
// locale data, 140 ms of the page's start.
function grouped(count) {
  return String(count).replace(/\B(?=(\d{3})+(?!\d))/g, ',');
}

function statusText(shown) {
  const parts = [
    `${grouped(shown.columns)} columns`,
    `${grouped(shown.arrayBytes)} bytes`,
    ...shown.warnings,
  ];
  return parts.join(' · ');
}

// The status line: the figures of what is shown, then what was just done with it.
let figures = '';
function note(done) {
  $('status').textContent = figures ? `${figures} · ${done}` : done;
}

// The drawings follow in a task of their own: together with the output, a phone's thread
// would be held long enough to delay a tap.
async function show(shown) {
  $('txtoutput').show(shown.output, shown.lineStarts);
  figures = statusText(shown);
  $('status').textContent = figures;
  clearMessage();
  await new Promise((resolve) => setTimeout(resolve));
  drawCanvas(shown.canvas, shown.canvasHeight);
  preview.setColumns(shown.array);
}

const preview = ledPreview($('led'), $('pause'));

// ---- Commands ---------------------------------------------------------------------------------

// How many commands are under way, on the body for scripts and tests to wait on.
let underWay = 0;
function busy(command) {
  return async (...args) => {
    document.body.dataset.busy = String(++underWay);
    try {
      return await command(...args);
    } finally {
      document.body.dataset.busy = String(--underWay);
    }
  };
}

// What was last shown, so that a changed setting shows it again: a text or an array.
let last = null;

// Only the newest run asked for is shown: one asked for while another is under way waits, in
// place of any that waited before it, and the answer to the one under way is then dropped.
let waiting = null;
let running = false;

async function runOnce(what) {
  try {
    await workerReady; // the controls take the core's settings then
    const values = settingsOfControls();
    const op = what.kind === 'text' ? 'start' : 'showArray';
    const shown = await askAbout(op, what, coreSettings(values));
    if (waiting) return;
    save(values);
    last = what;
    await show(shown);
    downloadBytes(what, coreSettings(values));
  } catch (error) {
    if (!waiting) tell(named(error, fontPath, fontLabel), undefined, what.field);
  }
}

const runNewest = busy(async (what) => {
  running = true;
  try {
    for (let next = what; next; next = waiting, waiting = null) await runOnce(next);
  } finally {
    running = false;
  }
});

function run(what) {
  if (!running) return runNewest(what);
  waiting = what;
  return Promise.resolve();
}

function start() {
  return run({ kind: 'text', text: $('txtinput').value, field: 'txtinput' });
}

// MicroPython's file is a .txt: Chromium holds a .py from a site first visited today as a
// dangerous file. The format's note tells the user to rename it.
const downloadNames = {
  classic: 'marquee8.h', progmem: 'marquee8.h', c: 'marquee8.h', micropython: 'marquee8.py.txt',
  raw: 'marquee8.bin',
};

// What each format's output means, shown under the format.
const formatNotes = {
  classic: 'byte a[] holds one byte a column, left to right, bit 0 the top LED (bit 7 with ' +
    '"Top row is bit 7"); slen is the index of its last byte, one less than the bytes counted ' +
    'above. An AVR copies it into RAM at start-up: an Uno has 2 KB. Downloads as marquee8.h.',
  progmem: 'The same bytes kept in an AVR\'s flash: read one with pgm_read_byte(&a[i]). The ' +
    'marquee8_max7219 example sketch that comes with marquee8 scrolls it on MAX7219 modules. ' +
    'Downloads as marquee8.h.',
  c: 'const uint8_t a[], which stays in flash on ARM and ESP boards; slen is the index of its ' +
    'last byte. Downloads as marquee8.h.',
  micropython: 'a = bytes((...)), a framebuf.MONO_VLSB buffer 8 rows high; slen is the index ' +
    'of its last byte. Downloads as marquee8.py.txt, a Python file: rename it marquee8.py on ' +
    'your board (browsers hold .py downloads from new sites).',
  raw: 'The bytes alone, for EEPROM or an SD card, shown here in hex. Downloads as marquee8.bin.',
};

function showFormatNote() {
  $('formatNote').textContent = formatNotes[$('format').value];
}

// Exactly the bytes `marquee8 -o` writes for what is shown: the input text, or the array read
// back, with the current settings.
// The file's bytes for what is shown, asked for as soon as it is shown: a browser lets a page
// save a file only just after a click, so a long result's bytes must be ready by then.
let prepared = null;

function downloadBytes(what, settings) {
  const key = JSON.stringify(settings);
  if (prepared?.what !== what || prepared.key !== key) {
    const op = what.kind === 'text' ? 'download' : 'downloadArray';
    prepared = { what, key, bytes: askAbout(op, what, settings) };
    // For scripts and tests: whether a click now saves the file at once.
    $('download').dataset.prepared = 'false';
    const mine = prepared;
    prepared.bytes.then(() => {
      if (prepared === mine) $('download').dataset.prepared = 'true';
    }, () => {
      // Told when the user asks for the file.
    });
  }
  return prepared.bytes;
}

const download = busy(async () => {
  try {
    await workerReady;
    const values = settingsOfControls();
    const what = last ?? { kind: 'text', text: $('txtinput').value };
    const bytes = await downloadBytes(what, coreSettings(values));
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    link.download = downloadNames[values.format];
    link.click();
    note(`downloaded ${link.download}, ${grouped(bytes.length)} bytes`);
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  } catch (error) {
    tell(named(error, fontPath, fontLabel));
  }
});

const copy = busy(async () => {
  if ($('txtoutput').dataset.stale) {
    note('not copied: the output is out of date until the problem above is put right');
    return;
  }
  const text = $('txtoutput').value;
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    // No clipboard API (an insecure origin): the copy command, given the whole text.
    const give = (event) => {
      event.clipboardData.setData('text/plain', text);
      event.preventDefault();
    };
    document.addEventListener('copy', give, { once: true });
    if (!document.execCommand('copy')) {
      tell(new Error('the browser did not allow it'), 'The output was not copied: ');
      return;
    }
  }
  note(`copied ${grouped(text.length)} characters`);
});

// Uses the font file `name`; what went wrong if it cannot be used, and then the font in use
// stays.
const useFont = busy(async (name, bytes, remember) => {
  let path;
  try {
    await workerReady;
    path = await ask('font', { bytes, keep: fontPath });
    // Opened at once, so that an unusable file is told now.
    const settings = { ...coreSettings(settingsOfControls()), font: path };
    await ask('start', { settings, text: '' });
  } catch (error) {
    return named(error, path, name);
  }
  fontPath = path;
  fontLabel = name;
  $('fontName').textContent = fontLabel;
  if (remember) saveFont(name, bytes);
  if (last) await run(last);
  else clearMessage();
  return null;
});

function useBuiltinFont() {
  fontPath = 'builtin';
  fontLabel = 'Built-in LED font';
  $('fontName').textContent = fontLabel;
  saveFont(null, null);
  if (last) run(last);
}

function readFile(input) {
  const file = input.files[0];
  input.value = '';
  return file ? file.arrayBuffer().then((buffer) => ({ name: file.name, bytes: new Uint8Array(buffer) }))
    : Promise.resolve(null);
}

// ---- Start-up ---------------------------------------------------------------------------------

// The font kept from an earlier visit, used again; dropped if it cannot be, with the message
// that says so returned.
async function restoreFont() {
  let kept = null;
  let error = null;
  try {
    kept = JSON.parse(localStorage.getItem(fontKey));
    if (kept === null) return null;
    if (typeof kept.name !== 'string') throw new Error('no name');
    const bytes = Uint8Array.from(atob(kept.data), (c) => c.charCodeAt(0));
    error = await useFont(kept.name, bytes, false);
  } catch {
    error = new Error('it was not kept whole');
  }
  if (!error) return null;
  saveFont(null, null);
  const name = typeof kept?.name === 'string' ? `'${kept.name}' ` : '';
  return `The font kept from your last visit ${name}was dropped: ${error.message}`;
}

$('Command1').addEventListener('click', start);
$('txtinput').addEventListener('keydown', (event) => {
  if (event.key === 'Enter' && !event.isComposing) start();
});
$('format').addEventListener('change', showFormatNote);
$('download').addEventListener('click', download);
$('copy').addEventListener('click', copy);
$('showArray').addEventListener('click',
  () => run({ kind: 'array', text: $('arrayText').value, field: 'arrayText' }));
$('arrayFile').addEventListener('change', busy(async () => {
  const file = await readFile($('arrayFile'));
  // The file's bytes as they are: the core tells what it cannot read in them.
  if (file) await run({ kind: 'array', text: file.bytes, field: 'arrayFile' });
}));
$('fontFile').addEventListener('change', busy(async () => {
  const file = await readFile($('fontFile'));
  const error = file && await useFont(file.name, file.bytes, true);
  if (error) tell(error);
}));
$('builtinFont').addEventListener('click', useBuiltinFont);
// Once something is shown, a changed setting shows it again with the new settings.
$('settings').addEventListener('change', (event) => {
  if (event.target.type === 'file' || event.target.id === 'arrayText' || !classic) return;
  run(last ?? { kind: 'text', text: $('txtinput').value, field: 'txtinput' });
});

// A first look shows a real conversion: the classic text with the settings kept.
workerReady.then(async (core) => {
  showSettings(core);
  showFormatNote();
  const dropped = await restoreFont();
  performance.mark('marquee8-ready');
  figures = 'Ready';
  $('status').textContent = figures;
  document.body.dataset.ready = 'true';
  if (!last) await start();
  if (dropped) {
    $('message').textContent = dropped;
    $('message').hidden = false;
  }
  // Once the first conversion is shown: a first visit's service worker fetches every file again
  // to keep it, which would otherwise compete with the converter's download.
  if ('serviceWorker' in navigator) {
    navigator.serviceWorker.register('sw.js').catch(() => {
      // Without it the page still works; only offline use is lost.
    });
  }
});
