// The page: the classic form, the output and font settings, the LED preview and reading an
// array back. Every conversion runs in worker.js; this file only shows what comes back.
'use strict';

const $ = (id) => document.getElementById(id);
const storageKey = 'marquee8.settings';
const fontKey = 'marquee8.font';

// ---- Text to UTF-8 ----------------------------------------------------------------------------

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

// ---- The worker -------------------------------------------------------------------------------

const worker = new Worker('worker.js');
const pending = new Map();
let nextId = 1;
let readyResolve;
const workerReady = new Promise((resolve) => { readyResolve = resolve; });

worker.onmessage = (event) => {
  const { id, result, error, kind } = event.data;
  if (id === 0) {
    readyResolve();
    return;
  }
  const { resolve, reject } = pending.get(id);
  pending.delete(id);
  if (error !== undefined) {
    reject(Object.assign(new Error(error), { kind }));
  } else {
    resolve(result);
  }
};

function ask(op, fields) {
  const id = nextId++;
  return new Promise((resolve, reject) => {
    pending.set(id, { resolve, reject });
    worker.postMessage({ id, op, ...fields });
  });
}

// ---- Settings ---------------------------------------------------------------------------------

const classic = {
  format: 'classic', hex: false, msbTop: false, art: false, leadIn: 8, leadOut: 0,
  arrayName: 'a', lengthName: 'slen', size: null, spacing: 'cell', offset: 0,
};
let fontPath = 'builtin';
let fontLabel = 'Built-in LED font';

const checkboxes = ['hex', 'msbTop', 'art'];
// The ranges the command line takes, told in its words.
const numbers = {
  leadIn: ['the lead-in', 0, 65535, 'columns'],
  leadOut: ['the lead-out', 0, 65535, 'columns'],
  offset: ['the offset', -32, 32, 'rows'],
  size: ['the size', 1, 64, 'pixels'],
};

function showSettings(values) {
  for (const [key, value] of Object.entries(values)) {
    const control = $(key);
    if (checkboxes.includes(key)) control.checked = value;
    else control.value = value === null ? '' : String(value);
  }
}

// The controls' values as the core takes them; throws a message for a number out of range.
function settingsOfControls() {
  const values = {};
  for (const key of Object.keys(classic)) {
    const control = $(key);
    if (checkboxes.includes(key)) {
      values[key] = control.checked;
    } else if (key in numbers) {
      const text = control.value.trim();
      if (key === 'size' && text === '') {
        values[key] = null;
        continue;
      }
      const [words, low, high, unit] = numbers[key];
      if (!/^-?\d+$/.test(text) || Number(text) < low || Number(text) > high) {
        throw Object.assign(new Error(`${words} must be ${low} to ${high} ${unit}, not ${text}`),
          { kind: key === 'size' || key === 'offset' ? 'font' : 'settings' });
      }
      values[key] = Number(text);
    } else {
      values[key] = control.value;
    }
  }
  return values;
}

function coreSettings(values) {
  return {
    font: fontPath, size: values.size, cellSpacing: values.spacing === 'cell',
    offset: values.offset, format: values.format, hex: values.hex, msbTop: values.msbTop,
    leadIn: values.leadIn, leadOut: values.leadOut, arrayName: values.arrayName,
    lengthName: values.lengthName, art: values.art,
  };
}

function save(values) {
  try {
    localStorage.setItem(storageKey, JSON.stringify(values));
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
};

function tell(error) {
  const message = $('message');
  message.textContent = (messages[error.kind] ?? 'The conversion failed: ') + error.message;
  message.hidden = false;
}

function clearMessage() {
  $('message').hidden = true;
  $('message').textContent = '';
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

function statusText(shown) {
  const parts = [
    `${shown.columns.toLocaleString('en-US')} columns`,
    `${shown.arrayBytes.toLocaleString('en-US')} bytes`,
    ...shown.warnings,
  ];
  if (shown.tooBigForUnoRam) {
    parts.push("more than the 1,536 bytes an Uno's RAM can spare: use the PROGMEM format");
  }
  return parts.join(' · ');
}

function show(shown) {
  $('txtoutput').value = shown.output;
  drawCanvas(shown.canvas, shown.canvasHeight);
  preview.setColumns(shown.array);
  $('status').textContent = statusText(shown);
  clearMessage();
}

// ---- The LED preview --------------------------------------------------------------------------

// The array as the marquee scrolls it: one column a step, the lead-in first, then around again.
const preview = (() => {
  const canvas = $('led');
  const context = canvas.getContext('2d');
  const pitch = 7;
  const stepsPerSecond = 20;
  let columns = new Uint8Array(0);
  let started = performance.now();

  function draw(now) {
    const step = Math.floor(((now - started) * stepsPerSecond) / 1000);
    context.fillStyle = '#111';
    context.fillRect(0, 0, canvas.width, canvas.height);
    const visible = Math.floor(canvas.width / pitch);
    for (let k = 0; k < visible; ++k) {
      const value = columns.length ? columns[(step + k) % columns.length] : 0;
      for (let row = 0; row < 8; ++row) {
        context.fillStyle = (value >> row) & 1 ? '#ff2814' : '#3a1410';
        context.beginPath();
        context.arc(k * pitch + pitch / 2, row * pitch + pitch / 2 + 0.5, pitch / 2 - 1, 0,
          2 * Math.PI);
        context.fill();
      }
    }
  }

  let paused = false;
  let frame = 0;
  let pausedAt = 0;
  function loop(now) {
    draw(now);
    frame = requestAnimationFrame(loop);
  }
  frame = requestAnimationFrame(loop);

  return {
    setColumns(values) {
      columns = values;
      started = performance.now();
      draw(started);
    },
    setPaused(pause) {
      if (pause === paused) return;
      paused = pause;
      if (paused) {
        cancelAnimationFrame(frame);
        pausedAt = performance.now();
      } else {
        started += performance.now() - pausedAt;
        frame = requestAnimationFrame(loop);
      }
    },
  };
})();

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

const run = busy(async (what) => {
  try {
    const values = settingsOfControls();
    save(values);
    const op = what.kind === 'text' ? 'start' : 'showArray';
    show(await ask(op, { settings: coreSettings(values), text: what.bytes }));
    last = what;
  } catch (error) {
    tell(error);
  }
});

function start() {
  run({ kind: 'text', bytes: utf8($('txtinput').value) });
}

const downloadNames = {
  classic: 'marquee8.h', progmem: 'marquee8.h', c: 'marquee8.h', micropython: 'marquee8.py',
  raw: 'marquee8.bin',
};

// Exactly the bytes `marquee8 -o` writes for what is shown: the input text, or the array read
// back, with the current settings.
const download = busy(async () => {
  try {
    const values = settingsOfControls();
    const what = last ?? { kind: 'text', bytes: utf8($('txtinput').value) };
    const op = what.kind === 'text' ? 'download' : 'downloadArray';
    const bytes = await ask(op, { settings: coreSettings(values), text: what.bytes });
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    link.download = downloadNames[values.format];
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  } catch (error) {
    tell(error);
  }
});

async function copy() {
  const text = $('txtoutput').value;
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    $('txtoutput').select();
    document.execCommand('copy');
  }
}

const useFont = busy(async (name, bytes, remember) => {
  const before = { path: fontPath, label: fontLabel };
  fontPath = await ask('font', { name, bytes });
  fontLabel = name;
  try {
    // Opened at once, so that an unusable file is told now and the font in use stays.
    await ask('start', { settings: coreSettings(settingsOfControls()), text: new Uint8Array() });
  } catch (error) {
    fontPath = before.path;
    fontLabel = before.label;
    tell(error);
    return;
  }
  $('fontName').textContent = fontLabel;
  if (remember) saveFont(name, bytes);
  if (last) await run(last);
  else clearMessage();
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

function restore() {
  let values = classic;
  try {
    values = { ...classic, ...JSON.parse(localStorage.getItem(storageKey) ?? '{}') };
  } catch {
    values = classic;
  }
  showSettings(values);
  try {
    const font = JSON.parse(localStorage.getItem(fontKey) ?? 'null');
    if (font) {
      const bytes = Uint8Array.from(atob(font.data), (c) => c.charCodeAt(0));
      useFont(font.name, bytes, false);
    }
  } catch {
    localStorage.removeItem(fontKey);
  }
}

$('Command1').addEventListener('click', start);
$('download').addEventListener('click', download);
$('copy').addEventListener('click', copy);
$('pause').addEventListener('change', () => preview.setPaused($('pause').checked));
$('showArray').addEventListener('click', () => run({ kind: 'array', bytes: utf8($('arrayText').value) }));
$('arrayFile').addEventListener('change', busy(async () => {
  const file = await readFile($('arrayFile'));
  if (file) await run({ kind: 'array', bytes: file.bytes });
}));
$('fontFile').addEventListener('change', busy(async () => {
  const file = await readFile($('fontFile'));
  if (file) await useFont(file.name, file.bytes, true);
}));
$('builtinFont').addEventListener('click', useBuiltinFont);
// Once something is shown, a changed setting shows it again with the new settings.
$('settings').addEventListener('change', (event) => {
  if (event.target.type === 'file' || event.target.id === 'arrayText') return;
  if (last) run(last);
  else {
    try {
      save(settingsOfControls());
      clearMessage();
    } catch (error) {
      tell(error);
    }
  }
});
document.addEventListener('visibilitychange', () => {
  preview.setPaused(document.hidden || $('pause').checked);
});

restore();
workerReady.then(() => {
  performance.mark('marquee8-ready');
  $('status').textContent = 'Ready';
  document.body.dataset.ready = 'true';
});
