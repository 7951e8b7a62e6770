// The page's Board section: Set up a board, Wiring…, Send and Read back over Web Serial. This file only carries bytes
// between the port and the core's board protocol in board_worker.js, which says what to write
// and when to look again; every message the user reads is the core's.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);

  // Web Serial is offered only in a secure context (HTTPS or localhost), by Chrome and Edge.
  if (!window.isSecureContext || !('serial' in navigator)) {
    $('boardNeeds').hidden = false;
    $('boardControls').hidden = true;
    $('boardSetUp').disabled = true;
    $('boardWiring').disabled = true;
    return;
  }

  let worker = null;
  const pending = new Map();
  let nextId = 1;
  // The worker loads the module a second time, so only once the user asks for a board.
  function ask(op, fields = {}) {
    if (!worker) {
      worker = new Worker('board_worker.js');
      worker.onmessage = (event) => {
        pending.get(event.data.id)(event.data.result);
        pending.delete(event.data.id);
      };
    }
    const id = nextId++;
    return new Promise((resolve) => {
      pending.set(id, resolve);
      worker.postMessage({ id, op, ...fields });
    });
  }

  // The port the user last picked in the browser's dialog, or one the browser remembers for
  // this page; the dialog if there is none.
  let chosen = null;
  async function boardPort() {
    const [known] = await navigator.serial.getPorts();
    chosen ??= known ?? await navigator.serial.requestPort();
    return chosen;
  }

  class Cancelled extends Error {}
  let cancelRequested = false;
  // A Cancel not yet passed to the core. It is passed once: the core ignores one that comes
  // too late to stop safely, and the task then runs to its end without being woken for it again.
  let cancelUnsent = false;
  // The picture the user picked for the core's question, passed on with the next step.
  let answer = null;
  // Wakes a task that waits for the board, to pass on a Cancel or an answer at once.
  let nudge = () => {};

  function joined(chunks) {
    const bytes = new Uint8Array(chunks.reduce((length, chunk) => length + chunk.length, 0));
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes;
  }

  // Runs one task of the core's on `port` at `baudRate`, until it finishes, fails or is
  // cancelled where the core says a stop is safe. `progress(step)` is told every step.
  async function drive(port, baudRate, request, progress) {
    await port.open({ baudRate });
    const reader = port.readable.getReader();
    const writer = port.writable.getWriter();
    const arrived = [];
    const reading = (async () => {
      for (;;) {
        const { value, done } = await reader.read();
        if (done) return;
        arrived.push(value);
        nudge();
      }
    })().catch(() => {
      // A lost port: as for a write, the core's wait runs out and says so.
    });
    try {
      // Raising DTR resets an Uno, as opening its port does on a computer: into its bootloader,
      // which then starts the receiver, whose greeting follows.
      await port.setSignals({ dataTerminalReady: false, requestToSend: false });
      await port.setSignals({ dataTerminalReady: true, requestToSend: true });
      let step = await ask('begin', { request: { ...request, now: performance.now() } });
      for (;;) {
        if (step.error !== undefined) throw new Error(step.error);
        if (step.cancelled) throw new Cancelled('cancelled');
        // A port lost mid-write (a pulled cable) is left to the core, whose wait runs out and
        // says what the board shows now.
        if (step.send.length) await writer.write(step.send).catch(() => {});
        progress(step);
        if (step.finished) return step;
        // Woken by the next bytes, a Cancel, an answer or at the core's time.
        await new Promise((resolve) => {
          const timer = setTimeout(resolve, Math.max(0, step.wake - performance.now()));
          nudge = () => { clearTimeout(timer); resolve(); };
          if (arrived.length || cancelUnsent || answer !== null) nudge();
        });
        nudge = () => {};
        const control = { cancel: cancelUnsent, answer };
        cancelUnsent = false;
        answer = null;
        step = await ask('advance', { arrived: joined(arrived.splice(0)), now: performance.now(), control });
      }
    } finally {
      await reader.cancel().catch(() => {});
      await reading;
      reader.releaseLock();
      writer.releaseLock();
      await port.close().catch(() => {});
    }
  }

  const progressBar = $('boardProgress');
  function report(text) {
    $('boardStatus').textContent = text;
  }

  // What a board task stopped part way leaves on the board, in the core's words: { send, wiring,
  // install }.
  let stopped = {};

  // One board task at a time, with progress and Cancel, its result or failure in the status;
  // `leaves` says what a Cancel leaves on the board. A task may return the id of the control to
  // go to next.
  function boardCommand(name, task, leaves = () => stopped.send) {
    return busy(async () => {
      const buttons = ['boardSetUp', 'boardModel', 'boardWiring', 'boardModules', 'boardSend',
        'boardRead', 'boardChoose'].map($);
      buttons.forEach((button) => { button.disabled = true; });
      cancelRequested = cancelUnsent = false;
      $('boardCancel').hidden = false;
      $('boardCancel').disabled = false;
      progressBar.hidden = false;
      progressBar.value = 0;
      let next = null;
      try {
        const port = await boardPort();
        report(`${name}…`);
        next = await task(port, ({ done, total, cancellable, modules }) => {
          progressBar.max = Math.max(total, 1);
          progressBar.value = done;
          $('boardCancel').disabled = !cancellable || cancelRequested;
          if (modules !== undefined) $('boardModules').value = modules;
        });
      } catch (error) {
        if (error instanceof Cancelled) report(`${name} cancelled: ${leaves()}`);
        else if (error.name === 'NotFoundError') report('No port was chosen.');
        else report(`${name} failed: ${error.message}`);
      } finally {
        buttons.forEach((button) => { button.disabled = false; });
        $('boardCancel').hidden = true;
        progressBar.hidden = true;
      }
      if (next) $(next).focus();
    });
  }

  // The columns of what the page shows, as a Start with the current settings makes them.
  async function shownColumns() {
    await workerReady;
    const what = last ?? { kind: 'text', text: $('txtinput').value };
    const shown = await askAbout(what.kind === 'text' ? 'start' : 'showArray', what,
      coreSettings(settingsOfControls()));
    return shown.array;
  }

  async function send(port, progress) {
    const columns = await shownColumns();
    const step = await drive(port, await ask('baudRate'),
      { task: 'send', columns, inputMsbTop: false }, progress);
    report(`Sent: ${step.summary}`);
  }

  async function readBack(port, progress) {
    const inputMsbTop = $('inputMsbTop').checked;
    const step = await drive(port, await ask('baudRate'),
      { task: 'receive', columns: new Uint8Array(), inputMsbTop }, progress);
    report('Read back: the board\'s message is in the output box.');
    await run({ kind: 'array', text: step.arrayText, field: 'boardRead' });
  }

  // The boards the core can set up, by its names; the receiver's HEX file for the chosen one is
  // fetched only when it is set up (the service worker keeps it for offline use). The kind
  // chosen is kept for the next visit, as the page's other settings are.
  let boards = [];
  const boardKey = 'marquee8.board';
  $('boardModel').addEventListener('change', () => {
    try {
      localStorage.setItem(boardKey, $('boardModel').value);
    } catch {
      // Storage may be full or switched off: the page works on without remembering.
    }
  });
  workerReady.then((core) => {
    boards = core.boards;
    stopped = core.stopped;
    const modules = $('boardModules');
    modules.min = core.modules.lowest;
    modules.max = core.modules.highest;
    modules.value = core.modules.fallback;
    modules.title = core.modules.text;
    for (const board of boards) $('boardModel').add(new Option(board.name, board.option));
    let kept = null;
    try {
      kept = localStorage.getItem(boardKey);
    } catch {
      // Unreadable: the first board.
    }
    if (boards.some((board) => board.option === kept)) $('boardModel').value = kept;
  });

  async function receiverOf(board) {
    const response = await fetch(board.receiver).catch(() => null);
    if (!response?.ok) {
      throw new Error(`the page could not load the receiver for the ${board.name} ` +
        `(${board.receiver}): open the page once with the network on`);
    }
    return response.text();
  }

  async function setUp(port, progress) {
    await workerReady;
    const board = boards.find((each) => each.option === $('boardModel').value) ?? boards[0];
    const hex = await receiverOf(board);
    const step = await drive(port, board.baudRate,
      { task: 'install', board: board.option, hex }, progress);
    report(`Set up: ${step.summary}. Next: press Start, then Send.`);
    return 'boardSend';
  }

  // The core's question with its pictures as buttons, each drawn as the LEDs look (lit red on
  // dark) with its '#'/'.' rows in data-rows; a click answers. None: the question goes.
  let shownQuestion = 0;
  function showQuestion(asked) {
    $('boardQuestion').hidden = !asked;
    if (!asked) {
      shownQuestion = 0;
      $('boardPictures').replaceChildren();
    }
    if (!asked || asked.number === shownQuestion) return;
    shownQuestion = asked.number;
    $('boardQuestionText').textContent = asked.text;
    const pictures = $('boardPictures');
    pictures.dataset.across = asked.pictures.length > 2 ? 'many' : 'one';
    pictures.replaceChildren(...asked.pictures.map((rows, index) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.setAttribute('aria-label', `Picture ${index + 1}`);
      button.dataset.rows = rows.join('\n');
      button.append(ledCanvas(rows));
      button.addEventListener('click', () => {
        pictures.querySelectorAll('button').forEach((each) => { each.disabled = true; });
        answer = index;
        nudge();
      });
      return button;
    }));
    pictures.firstChild.focus();
  }

  function ledCanvas(rows) {
    const cell = 6;
    const canvas = document.createElement('canvas');
    canvas.width = rows[0].length * cell;
    canvas.height = rows.length * cell;
    const context = canvas.getContext('2d');
    context.fillStyle = '#111';
    context.fillRect(0, 0, canvas.width, canvas.height);
    rows.forEach((row, y) => [...row].forEach((led, x) => {
      context.fillStyle = led === '#' ? '#f22' : '#3a1010';
      context.beginPath();
      context.arc((x + 0.5) * cell, (y + 0.5) * cell, cell * 0.4, 0, 2 * Math.PI);
      context.fill();
    }));
    return canvas;
  }

  async function findWiring(port, progress) {
    const request = { task: 'wiring', modules: $('boardModules').value };
    const step = await drive(port, await ask('baudRate'), request, (each) => {
      progress(each);
      showQuestion(each.question);
    }).finally(() => showQuestion(null));
    report(`Wiring: ${step.summary}. Next: press Send.`);
    return 'boardSend';
  }

  $('boardSetUp').addEventListener('click', boardCommand('Set up', setUp,
    () => `${stopped.install}: set it up again before sending`));
  $('boardWiring').addEventListener('click', boardCommand('Wiring', findWiring,
    () => stopped.wiring));
  $('boardSend').addEventListener('click', boardCommand('Send', send));
  $('boardChoose').addEventListener('click', async () => {
    try {
      chosen = await navigator.serial.requestPort();
      report('Set up, Wiring, Send and Read back use the port just chosen.');
    } catch {
      report('No port was chosen.');
    }
  });
  $('boardRead').addEventListener('click', boardCommand('Read back', readBack));
  $('boardCancel').addEventListener('click', () => {
    cancelRequested = cancelUnsent = true;
    $('boardCancel').disabled = true;
    nudge();
  });
})();
