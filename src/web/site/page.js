// The page: builds the main window from the core's tables, passes the user's
// commands and the passing milliseconds to the core, and shows what it
// computed. ?seed=N plays the seeded day the desktop program plays with
// POPCHAN_SEED=N.
import { app, applyLook, call, json } from './app.js';
import { box } from './boxes.js';
import { schedule } from './clock.js';
import { buildMenus } from './menus.js';
import { music } from './music.js';
import { premiseTexts } from './premises.js';
import { buildParts, fit, fitText, refresh, showLayout } from './window.js';

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
    schedule();
  },
};

// Nothing is saved, as on the desktop; a reload is easier to do by accident
// than closing a program, so the browser asks before leaving a running day.
addEventListener('beforeunload', (ev) => {
  if (app.core && !app.ended && app.core._web_running()) ev.preventDefault();
});

async function main() {
  const seed = new URLSearchParams(location.search).get('seed');
  app.core = await createPopchan({ page: { box, refresh, premiseTexts, music } });
  music.setGain(app.core._web_music_gain());
  app.core.ccall('web_start', null, ['string'], [seed]);
  app.face = json(app.core._web_face());
  applyLook(app.face.look);
  buildParts(app.face.parts);
  buildMenus(app.face.menus);
  showLayout(0);
  await document.fonts.ready;
  document.querySelectorAll('.label:not(.wrap)').forEach(fitText);
  await loadPictures();
  refresh();
  document.body.dataset.shown = 'yes';
  fit();
  addEventListener('resize', fit);
  app.busy = true;
  await call('web_pictures_done', null, [], []);
  app.busy = false;
  schedule();
  document.body.dataset.ready = 'yes';
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js');
}

main();
