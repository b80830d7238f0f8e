// The page: builds the main window from the core's tables, passes the user's
// commands and the passing milliseconds to the core, and shows what it
// computed. ?seed=N plays the seeded day the desktop program plays with
// POPCHAN_SEED=N.
import { app, call, json } from './app.js';
import { box } from './boxes.js';
import { buildMenus } from './menus.js';
import { music } from './music.js';
import { premiseTexts } from './premises.js';
import { buildParts, fit, fitText, refresh, showLayout } from './window.js';

// The clock: the core's pacer turns the real milliseconds into the model's.
async function frame(now) {
  requestAnimationFrame(frame);
  if (app.busy || !app.state) return;
  // A standing clock only lets the pacer start afresh: no box can open, so
  // no suspended call is needed.
  if (!app.core._web_running()) {
    app.core._web_frame(now, app.boxesClosed);
    return;
  }
  app.busy = true;
  const advanced = await call('web_frame', 'number', ['number', 'number'], [now, app.boxesClosed]);
  app.busy = false;
  if (advanced) refresh();
  if (advanced && window.popchan.onFrame) window.popchan.onFrame(); // a test looks on
}

async function loadPictures() {
  const files = json(app.core._web_picture_files());
  for (let i = 0; i < files.length; ++i) {
    const f = files[i];
    let taken = 0;
    try {
      const image = new Image();
      image.src = `pictures/${f.name}.png`;
      await image.decode();
      if (image.naturalWidth === f.width && image.naturalHeight === f.height) {
        const c = document.createElement('canvas');
        c.width = f.width;
        c.height = f.height;
        const g = c.getContext('2d', { willReadFrequently: true });
        g.drawImage(image, 0, 0);
        const ptr = app.core._web_picture_buffer(i);
        app.core.HEAPU8.set(g.getImageData(0, 0, f.width, f.height).data, ptr);
        taken = 1;
      }
    } catch {
      taken = 0; // missing or damaged: the core says so once
    }
    app.core._web_picture_take(i, taken);
  }
}

// For tests and screenshots: the core's state, and simulated time at once; a
// test may set onFrame to see the page after each frame that moved the clock.
window.popchan = {
  state: () => json(app.core._web_state()),
  music: () => music.state(),
  renderPiece: (path, seconds) => music.render(path, seconds),
  showGolden(presentation, spin, frame) {
    const shown = app.core._web_show_golden(presentation, spin, frame);
    refresh();
    return shown;
  },
  async advance(ms) {
    app.busy = true;
    await call('web_advance', null, ['number'], [ms]);
    app.busy = false;
    refresh();
  },
};

async function main() {
  const seed = new URLSearchParams(location.search).get('seed');
  app.core = await createPopchan({ page: { box, refresh, premiseTexts, music } });
  music.setGain(app.core._web_music_gain());
  app.core.ccall('web_start', null, ['string'], [seed]);
  app.face = json(app.core._web_face());
  buildParts(app.face.parts);
  buildMenus(app.face.menus);
  showLayout(0);
  await document.fonts.ready;
  document.querySelectorAll('.label:not(.wrap)').forEach(fitText);
  await loadPictures();
  refresh();
  addEventListener('resize', fit);
  requestAnimationFrame(frame);
  app.busy = true;
  await call('web_pictures_done', null, [], []);
  app.busy = false;
  document.body.dataset.ready = 'yes';
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js');
}

main();
