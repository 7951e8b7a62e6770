// Where each line of a text starts, the text as a string or as its ASCII bytes; shared by the
// worker, which finds them for a long result, and the output box.
'use strict';

function lineStarts(text) {
  const lineFeed = typeof text === 'string' ? '\n' : 10;
  const starts = [0];
  for (let at = text.indexOf(lineFeed); at !== -1; at = text.indexOf(lineFeed, at + 1)) {
    starts.push(at + 1);
  }
  return Uint32Array.from(starts);
}
