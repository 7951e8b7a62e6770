// Runs the board protocol (the core's, compiled into marquee8.wasm) off the page's thread, in
// a worker of its own so that a long conversion never delays an answer the board awaits. The
// page's board_link.js carries the bytes; every request is answered { id, result }.
'use strict';

importScripts('marquee8.js');

const ready = createMarquee8().then((module) => ({ module, board: new module.Board() }));

const operations = {
  baudRate: ({ module }) => module.boardBaudRate,
  begin: ({ board }, { request }) => board.begin(request),
  advance: ({ board }, { arrived, now, control }) => board.advance(arrived, now, control),
};

onmessage = async (event) => {
  const result = operations[event.data.op](await ready, event.data);
  postMessage({ id: event.data.id, result }, result?.send ? [result.send.buffer] : []);
};
