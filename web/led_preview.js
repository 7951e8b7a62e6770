// The LED preview: the array as the marquee scrolls it, one column a step, the lead-in first,
// then around again. The columns are drawn once, side by side on a strip wider than the
// window, and the browser's compositor moves the strip a column a step: the page's own thread
// has nothing to do while it scrolls. A strip holds up to 500 steps (25 s) of a long array;
// the next part is drawn as the last step of one is shown.
// It runs only while there is something to scroll, the strip is on screen, the page is shown
// and the user has not paused it; under prefers-reduced-motion it starts paused.
'use strict';

function ledPreview(box, pauseControl) {
  const pitch = 7;
  const stepMs = 50;
  const inView = Math.floor(585 / pitch); // columns in view
  const stepsPerStrip = 500;

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

  // Each of the 256 columns drawn once, the first time it is needed; a strip is then one copy
  // a column.
  const height = 8 * pitch + 1;
  const sprites = document.createElement('canvas');
  sprites.width = 256 * pitch;
  sprites.height = height;
  const spriteContext = sprites.getContext('2d');
  const drawn = new Uint8Array(256);
  function sprite(bits) {
    if (!drawn[bits]) {
      drawn[bits] = 1;
      spriteContext.fillStyle = '#111';
      spriteContext.fillRect(bits * pitch, 0, pitch, height);
      for (let row = 0; row < 8; ++row) {
        spriteContext.drawImage(leds, (bits >> row) & 1 ? 0 : pitch, 0, pitch, pitch,
          bits * pitch, row * pitch, pitch, pitch);
      }
    }
    return bits * pitch;
  }

  const strip = box.appendChild(document.createElement('canvas'));
  strip.height = height;
  const context = strip.getContext('2d');
  let columns = new Uint8Array(0);
  let first = 0; // the array's column at the strip's left end
  let steps = 0; // how far this strip moves
  let animation = null;

  // The strip from column `first`: `steps` columns to move through and a view's worth after.
  // The new sprites are drawn before any is copied: a canvas copied from right after it
  // changed is copied whole each time.
  function drawStrip() {
    steps = Math.min(columns.length, stepsPerStrip);
    const shown = Array.from({ length: steps + inView },
      (_, k) => (columns.length ? columns[(first + k) % columns.length] : 0));
    const from = shown.map(sprite);
    strip.width = shown.length * pitch;
    from.forEach((x, k) => context.drawImage(sprites, x, 0, pitch, height, k * pitch, 0, pitch, height));
  }

  // Held at its last step, which shows what the next strip starts with, until that is drawn.
  function startStrip() {
    animation?.cancel();
    animation = null;
    drawStrip();
    if (steps) {
      const shift = (100 * steps) / (steps + inView);
      animation = strip.animate(
        [{ transform: 'translateX(0)' }, { transform: `translateX(-${shift}%)` }],
        { duration: steps * stepMs, easing: `steps(${steps})`, fill: 'forwards' });
      animation.onfinish = () => {
        first = (first + steps) % columns.length;
        startStrip();
      };
    }
    update();
  }

  let onScreen = true;
  function update() {
    const run = steps > 0 && onScreen && !document.hidden && !pauseControl.checked;
    if (animation && run) animation.play();
    if (animation && !run) animation.pause();
    box.dataset.running = String(run);
  }

  pauseControl.checked = matchMedia('(prefers-reduced-motion: reduce)').matches;
  pauseControl.addEventListener('change', update);
  document.addEventListener('visibilitychange', update);
  new IntersectionObserver((entries) => {
    onScreen = entries[entries.length - 1].isIntersecting;
    update();
  }).observe(box);
  startStrip();

  return {
    setColumns(values) {
      columns = values;
      first = 0;
      startStrip();
    },
  };
}
