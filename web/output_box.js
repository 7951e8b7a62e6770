// The output box: a read-only text box that lays out only the rows on screen, so that a result
// of millions of characters is shown at once and scrolls smoothly. Long lines wrap at the box's
// width. It keeps the text as the ASCII bytes the worker hands over, and makes a string only of
// the rows it shows: a string of many megabytes costs the page's thread too long to receive.
// `value` is the whole text, as a text area's would be.
'use strict';

class OutputBox extends HTMLElement {
  constructor() {
    super();
    this.bytes = new Uint8Array(0);
    this.decoder = new TextDecoder();
    this.starts = Uint32Array.of(0);
    this.rowsBefore = new Float64Array([0, 1]);
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

  lineLength(line) {
    const end = line + 1 < this.starts.length ? this.starts[line + 1] - 1 : this.bytes.length;
    return end - this.starts[line];
  }

  // How many rows come before each line, once its lines are wrapped at the box's width.
  index() {
    const lines = this.starts.length;
    this.rowsBefore = new Float64Array(lines + 1);
    for (let line = 0; line < lines; ++line) {
      const rows = Math.max(1, Math.ceil(this.lineLength(line) / this.perRow));
      this.rowsBefore[line + 1] = this.rowsBefore[line] + rows;
    }
    this.spacer.style.height = `${this.rowsBefore[lines] * this.rowHeight}px`;
    this.draw();
  }

  // The line that row `row` belongs to.
  lineOfRow(row) {
    let low = 0;
    let high = this.starts.length - 1;
    while (low < high) {
      const middle = (low + high + 1) >> 1;
      if (this.rowsBefore[middle] <= row) low = middle;
      else high = middle - 1;
    }
    return low;
  }

  draw() {
    if (!this.rows) return;
    const total = this.rowsBefore[this.starts.length];
    const first = Math.min(Math.floor(this.scrollTop / this.rowHeight), Math.max(0, total - 1));
    const count = Math.ceil(this.clientHeight / this.rowHeight) + 1;
    const shown = [];
    let line = this.lineOfRow(first);
    let part = first - this.rowsBefore[line];
    while (shown.length < count && line < this.starts.length) {
      const from = this.starts[line] + part * this.perRow;
      const end = this.starts[line] + this.lineLength(line);
      shown.push(this.decoder.decode(this.bytes.subarray(from, Math.min(end, from + this.perRow))));
      if (from + this.perRow >= end) {
        ++line;
        part = 0;
      } else {
        ++part;
      }
    }
    this.rows.textContent = shown.join('\n');
    this.rows.style.transform = `translateY(${first * this.rowHeight}px)`;
  }
}

customElements.define('marquee8-output', OutputBox);
