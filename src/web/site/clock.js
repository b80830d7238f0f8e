// The frame loop: the core's pacer turns the real milliseconds of the
// browser's frames into the model's. It runs only while the clock does; at
// rest the page asks for no frame at all.
import { app, call } from './app.js';
import { refresh } from './window.js';

let looping = false;

async function frame(now) {
  if (app.busy || !app.core._web_running()) {
    // At rest, or a handler waits for a box: whoever is busy calls
    // schedule() when it is done.
    looping = false;
    return;
  }
  app.busy = true;
  const advanced = await call('web_frame', 'number', ['number', 'number'], [now, app.boxesClosed]);
  app.busy = false;
  if (advanced) refresh();
  if (advanced && window.popchan.onFrame) window.popchan.onFrame(); // a test looks on
  requestAnimationFrame(frame);
}

// Runs the loop if the clock runs: after anything that may have started it.
export function schedule() {
  if (looping || !app.state || !app.core._web_running()) return;
  looping = true;
  requestAnimationFrame((now) => {
    app.core._web_frame_restart(now, app.boxesClosed);
    requestAnimationFrame(frame);
  });
}
