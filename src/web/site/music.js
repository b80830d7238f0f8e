// The music: the core's player device, played by FluidSynth built for the web
// (js-synthesizer) with the General MIDI soundfont of the desktop program.
//
// Browsers let sound start only after the user's first click or key. Until
// then, and while the synthesizer and the soundfont load, a piece the core
// started counts as playing, and it starts from its beginning as soon as sound
// can. Nothing is fetched before the core first plays a piece, so with the
// sound switched off the soundfont is never loaded.
export const music = (() => {
  // The synthesizer runs in an audio worklet; the page keeps its interface.
  const LIBRARY = 'libfluidsynth-2.4.6.js';
  const SOUNDFONT = 'music/TimGM6mb.sf2';
  let gain = 1;
  let piece = null; // the open piece
  let wanted = false; // playing, as far as the core knows
  let ended = false; // the piece played to its end
  let gesture = false; // the user has clicked or typed: sound may start
  let generation = 0; // each start and stop makes earlier starts stale
  let ready = null; // the synthesizer, once it and the soundfont are loaded
  let synth = null;
  let sounding = false; // the worklet's player plays: from its start until it says it stopped
  const pieces = new Map(); // each piece's bytes, fetched once
  const warned = new Set();

  const fetchBytes = async (url) => {
    const response = await fetch(url);
    if (!response.ok) throw new Error(`${url}: ${response.status}`);
    return response.arrayBuffer();
  };
  const loadScript = (src) =>
    new Promise((resolve, reject) => {
      const s = document.createElement('script');
      s.src = src;
      s.onload = resolve;
      s.onerror = () => reject(new Error(`${src} did not load`));
      document.head.append(s);
    });
  // The library and the soundfont, once. FluidSynth's own notes (on files a
  // browser has not got) would fill the console; only its panics are said.
  let library = null;
  const loadLibrary = () => {
    library ??= (async () => {
      for (const src of [LIBRARY, 'js-synthesizer.min.js']) await loadScript(src);
      await JSSynth.waitForReady();
      JSSynth.disableLogging(JSSynth.LogLevel.Error);
      return fetchBytes(SOUNDFONT);
    })();
    return library;
  };
  // A synthesizer playing into `context`, its soundfont loaded.
  const newSynth = async (context) => {
    const soundfont = await loadLibrary();
    for (const src of [LIBRARY, 'js-synthesizer.worklet.min.js']) await context.audioWorklet.addModule(src);
    const s = new JSSynth.AudioWorkletNodeSynthesizer();
    s.init(context.sampleRate);
    s.createAudioNode(context, { initialGain: gain }).connect(context.destination);
    await s.loadSFont(soundfont.slice(0));
    return s;
  };
  const pieceBytes = (path) => {
    if (!pieces.has(path))
      pieces.set(
        path,
        fetchBytes(path).catch((e) => {
          pieces.delete(path);
          throw e;
        }),
      );
    return pieces.get(path).then((bytes) => bytes.slice(0));
  };
  const quietly = (what, e) => {
    // Said once for each thing that failed; the program plays on without music.
    if (!warned.has(what)) console.info(`popchan: ${what}: ${e.message}; no music for it.`);
    warned.add(what);
  };

  let context = null;
  // The audio context runs only while a piece plays: at rest it is suspended,
  // and the worklet with it.
  const rest = () => {
    if (context && context.state === 'running') context.suspend();
  };
  const audio = () => {
    ready ??= (async () => {
      context = new AudioContext();
      synth = await newSynth(context);
      return synth;
    })().catch((e) => {
      quietly('the synthesizer', e);
      ready = null;
      throw e;
    });
    return ready;
  };

  async function start() {
    if (!gesture || !wanted || piece === null) return;
    const mine = ++generation;
    const path = piece;
    try {
      const [s, bytes] = await Promise.all([audio(), pieceBytes(path)]);
      if (mine !== generation) return;
      if (context.state !== 'running') await context.resume();
      s.stopPlayer();
      await s.resetPlayer();
      await s.addSMFDataToPlayer(bytes);
      if (mine !== generation) return;
      await s.playPlayer();
      sounding = true;
      s.waitForPlayerStopped().then(() => {
        sounding = false;
        if (mine !== generation) return;
        ended = true;
        rest();
      });
    } catch (e) {
      quietly(path, e);
    }
  }

  function firstGesture() {
    if (gesture) return;
    gesture = true;
    removeEventListener('pointerdown', firstGesture, true);
    removeEventListener('keydown', firstGesture, true);
    start();
  }
  addEventListener('pointerdown', firstGesture, true);
  addEventListener('keydown', firstGesture, true);

  return {
    setGain(g) {
      gain = g;
    },
    // The core's device: open, play from the start, stop, close, and the mode
    // (0 nothing open, 1 playing, 2 open and not playing).
    open(path) {
      piece = path;
      wanted = false;
      return 1;
    },
    play() {
      wanted = true;
      ended = false;
      start();
      return 1;
    },
    stop() {
      wanted = false;
      const mine = ++generation;
      if (!synth) return;
      synth.stopPlayer();
      // Suspended once the worklet has stopped its player, unless a piece started since.
      synth.waitForPlayerStopped().then(() => {
        sounding = false;
        if (mine === generation) rest();
      });
    },
    close() {
      piece = null;
    },
    // A piece is open; it plays (or waits to, until sound may start).
    isOpen: () => piece !== null,
    isPlaying: () => wanted && !ended,
    // What plays, for the tests.
    state: () => ({
      piece,
      wanted,
      gesture,
      loaded: synth !== null,
      audio: context ? context.state : 'none',
      // The worklet's own status stops coming once the context is suspended,
      // so the player's last word counts.
      playing: sounding,
    }),
    // The first `seconds` of a piece rendered offline by a synthesizer of its
    // own: the loudest sample and the root mean square.
    async render(path, seconds) {
      const rate = 44100;
      const offline = new OfflineAudioContext(2, Math.round(seconds * rate), rate);
      const s = await newSynth(offline);
      await s.addSMFDataToPlayer(await pieceBytes(path));
      await s.playPlayer();
      const rendered = await offline.startRendering();
      s.close();
      let peak = 0;
      let sum = 0;
      for (let c = 0; c < rendered.numberOfChannels; ++c) {
        for (const v of rendered.getChannelData(c)) {
          peak = Math.max(peak, Math.abs(v));
          sum += v * v;
        }
      }
      return { peak, rms: Math.sqrt(sum / (rendered.numberOfChannels * rendered.length)) };
    },
  };
})();
