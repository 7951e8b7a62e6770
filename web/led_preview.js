// The LED preview: the array as the marquee scrolls it, one column a step, the lead-in first,
// then around again. The two LEDs are drawn once; a step moves the strip one column left and
// draws the column that comes in. It runs only while there is something to scroll, the strip
// is on screen, the page is shown and the user has not paused it; under
// prefers-reduced-motion it starts paused.
'use strict';

function ledPreview(canvas, pauseControl) {
  const context = canvas.getContext('2d');
  const pitch = 7;
  const stepsPerSecond = 20;
  const visible = Math.floor(canvas.width / pitch);

  const leds = document.createElement('canvas');
  leds.width = 2 * pitch;
  leds.height = pitch;
  const ledContext = leds.getContext('2d');
  ['#ff2814', '#3a1410'].forEach((colour, i) => {
    ledContext.fillStyle = colour;
    ledContext.beginPath();
    ledContext.arc(i * pitch + pitch / 2, pitch / 2 + 0.5, pitch / 2 - 1, 0, 2 * Math.PI);
    ledContext.fill();
  });

  let columns = new Uint8Array(0);
  let step = 0;
  const value = (k) => (columns.length ? columns[(step + k) % columns.length] : 0);

  function drawColumn(k) {
    const bits = value(k);
    context.fillStyle = '#111';
    context.fillRect(k * pitch, 0, pitch, canvas.height);
    for (let row = 0; row < 8; ++row) {
      context.drawImage(leds, (bits >> row) & 1 ? 0 : pitch, 0, pitch, pitch,
        k * pitch, row * pitch, pitch, pitch);
    }
  }

  function drawAll() {
    context.fillStyle = '#111';
    context.fillRect(0, 0, canvas.width, canvas.height);
    for (let k = 0; k < visible; ++k) drawColumn(k);
  }

  function advance() {
    step = (step + 1) % Math.max(1, columns.length);
    context.drawImage(canvas, pitch, 0, (visible - 1) * pitch, canvas.height,
      0, 0, (visible - 1) * pitch, canvas.height);
    drawColumn(visible - 1);
  }

  let onScreen = true;
  let timer = 0;
  function update() {
    const run = columns.length > 0 && onScreen && !document.hidden && !pauseControl.checked;
    if (run && !timer) timer = setInterval(advance, 1000 / stepsPerSecond);
    if (!run && timer) {
      clearInterval(timer);
      timer = 0;
    }
    canvas.dataset.running = String(run);
  }

  pauseControl.checked = matchMedia('(prefers-reduced-motion: reduce)').matches;
  pauseControl.addEventListener('change', update);
  document.addEventListener('visibilitychange', update);
  new IntersectionObserver((entries) => {
    onScreen = entries[entries.length - 1].isIntersecting;
    update();
  }).observe(canvas);
  drawAll();

  return {
    setColumns(values) {
      columns = values;
      step = 0;
      drawAll();
      update();
    },
  };
}
