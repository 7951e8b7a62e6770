// The output box: a read-only text box that lays out only the rows on screen, so that a result
// of millions of characters is shown at once and scrolls smoothly. Long lines wrap at the box's
// width, after a space or a comma, so that no number is cut in two. It keeps the text as the ASCII bytes the worker hands over, and makes a string only of
// the rows it shows: a string of many megabytes costs the page's thread too long to receive.
// `value` is the whole text, as a text area's would be.
'use strict';

class OutputBox extends HTMLElement {
  constructor() {
    super();
    this.bytes = new Uint8Array(0);
    this.decoder = new TextDecoder();
    this.starts = Uint32Array.of(0);
    this.rowStarts = Uint32Array.of(0, 0);
    this.perRow = 80;
    this.rowHeight = 16;
  }

  connectedCallback() {
    if (this.rows) return;
    this.initial = this.textContent;
    this.textContent = '';
    this.spacer = this.appendChild(document.createElement('div'));
    this.rows = this.appendChild(document.createElement('pre'));
    this.probe = this.appendChild(document.createElement('span'));
    this.probe.className = 'probe';
    this.probe.setAttribute('aria-hidden', 'true');
    this.probe.textContent = '0'.repeat(10);
    this.addEventListener('scroll', () => this.draw());
    new ResizeObserver(() => this.measure()).observe(this);
    this.value = this.initial;
  }

  get value() {
    return this.decoder.decode(this.bytes);
  }

  set value(text) {
    this.show(new TextEncoder().encode(text), null);
  }

  // Shows the text of `bytes`; `starts`, where its lines start, saves looking for them when
  // known.
  show(bytes, starts) {
    this.bytes = bytes;
    this.starts = starts ?? lineStarts(bytes);
    // Until the box is first measured nothing is laid out to scroll or draw in: asking would
    // lay out the whole page while it is still being parsed.
    if (!this.sized) return;
    this.scrollTop = 0;
    this.index();
  }

  // The box's width in characters, and a row's height, from a line of 10 characters.
  measure() {
    const probe = this.probe.getBoundingClientRect();
    if (!probe.width) return;
    const style = getComputedStyle(this);
    const inside = this.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    this.rowHeight = probe.height;
    const perRow = Math.max(8, Math.floor(inside / (probe.width / 10)));
    if (perRow !== this.perRow || !this.sized) {
      this.perRow = perRow;
      this.sized = true;
      this.index();
    } else {
      this.draw();
    }
  }

  lineEnd(line) {
    return line + 1 < this.starts.length ? this.starts[line + 1] - 1 : this.bytes.length;
  }

  // Where each row starts once the lines are wrapped at the box's width, and where the text
  // ends.
  index() {
    const bytes = this.bytes;
    const perRow = this.perRow;
    let rowStarts = new Uint32Array(this.starts.length + Math.ceil((bytes.length / perRow) * 1.25) + 2);
    let rows = 0;
    const addRow = (at) => {
      if (rows === rowStarts.length) {
        const grown = new Uint32Array(rowStarts.length * 2);
        grown.set(rowStarts);
        rowStarts = grown;
      }
      rowStarts[rows++] = at;
    };
    for (let line = 0; line < this.starts.length; ++line) {
      const end = this.lineEnd(line);
      let at = this.starts[line];
      addRow(at);
      while (end - at > perRow) {
        let next = at + perRow;
        while (next > at && bytes[next - 1] !== 0x20 && bytes[next - 1] !== 0x2c) --next;
        if (next === at) next = at + perRow;
        else if (bytes[next] === 0x20) ++next; // hangs past the edge, as a text area's does
        at = next;
        addRow(at);
      }
    }
    addRow(bytes.length + 1);
    this.rowStarts = rowStarts.subarray(0, rows);
    this.spacer.style.height = `${(rows - 1) * this.rowHeight}px`;
    this.draw();
  }

  draw() {
    if (!this.rows) return;
    const total = this.rowStarts.length - 1;
    const first = Math.min(Math.floor(this.scrollTop / this.rowHeight), Math.max(0, total - 1));
    const last = Math.min(total, first + Math.ceil(this.clientHeight / this.rowHeight) + 1);
    const shown = [];
    for (let row = first; row < last; ++row) {
      // A row that a line ends in stops before its line feed.
      const end = Math.min(this.rowStarts[row + 1], this.bytes.length + 1);
      const text = this.bytes.subarray(this.rowStarts[row], end);
      shown.push(this.decoder.decode(text.at(-1) === 10 ? text.subarray(0, -1) : text));
    }
    this.rows.textContent = shown.join('\n');
    this.rows.style.transform = `translateY(${first * this.rowHeight}px)`;
  }
}

customElements.define('marquee8-output', OutputBox);
