// The page's Board section: Set up a board, Send and Read back over Web Serial. This file only carries bytes
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
  // cancelled where the core says a stop is safe. `progress(done, total)` is told at every step.
  async function drive(port, baudRate, request, progress) {
    await port.open({ baudRate });
    const reader = port.readable.getReader();
    const writer = port.writable.getWriter();
    const arrived = [];
    let wake = null;
    const reading = (async () => {
      for (;;) {
        const { value, done } = await reader.read();
        if (done) return;
        arrived.push(value);
        wake?.();
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
        // A port lost mid-write (a pulled cable) is left to the core, whose wait runs out and
        // says what the board shows now.
        if (step.send.length) await writer.write(step.send).catch(() => {});
        progress(step.done, step.total, step.cancellable);
        if (step.finished) return step;
        if (cancelRequested && step.cancellable) throw new Cancelled('cancelled');
        // Woken by the next bytes, at the core's time, or soon enough to see a Cancel.
        await new Promise((resolve) => {
          const timer = setTimeout(resolve, Math.min(100, Math.max(0, step.wake - performance.now())));
          wake = () => { clearTimeout(timer); resolve(); };
          if (arrived.length) wake();
        });
        wake = null;
        step = await ask('advance', { arrived: joined(arrived.splice(0)), now: performance.now() });
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

  // One board task at a time, with progress and Cancel, its result or failure in the status;
  // `cancelled` says what a Cancel leaves on the board. A task may return the id of the control
  // to go to next.
  function boardCommand(name, task, cancelled = 'the board keeps its previous message') {
    return busy(async () => {
      const buttons = ['boardSetUp', 'boardModel', 'boardSend', 'boardRead', 'boardChoose'].map($);
      buttons.forEach((button) => { button.disabled = true; });
      cancelRequested = false;
      $('boardCancel').hidden = false;
      $('boardCancel').disabled = false;
      progressBar.hidden = false;
      progressBar.value = 0;
      let next = null;
      try {
        const port = await boardPort();
        report(`${name}…`);
        next = await task(port, (done, total, cancellable) => {
          progressBar.max = Math.max(total, 1);
          progressBar.value = done;
          $('boardCancel').disabled = !cancellable || cancelRequested;
        });
      } catch (error) {
        if (error instanceof Cancelled) report(`${name} cancelled: ${cancelled}`);
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
  // fetched only when it is set up (the service worker keeps it for offline use).
  let boards = [];
  workerReady.then((core) => {
    boards = core.boards;
    for (const board of boards) $('boardModel').add(new Option(board.name, board.option));
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

  $('boardSetUp').addEventListener('click', boardCommand('Set up', setUp,
    'the board may hold only part of the receiver: set it up again before sending'));
  $('boardSend').addEventListener('click', boardCommand('Send', send));
  $('boardChoose').addEventListener('click', async () => {
    try {
      chosen = await navigator.serial.requestPort();
      report('Set up, Send and Read back use the port just chosen.');
    } catch {
      report('No port was chosen.');
    }
  });
  $('boardRead').addEventListener('click', boardCommand('Read back', readBack));
  $('boardCancel').addEventListener('click', () => {
    cancelRequested = true;
    $('boardCancel').disabled = true;
  });
})();
