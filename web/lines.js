// Where each line of a text starts; shared by the worker, which finds them for a long result,
// and the output box.
'use strict';

function lineStarts(text) {
  const starts = [0];
  for (let at = text.indexOf('\n'); at !== -1; at = text.indexOf('\n', at + 1)) starts.push(at + 1);
  return Uint32Array.from(starts);
}
