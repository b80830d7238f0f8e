// WebKitGTK driven over WebDriver (Debian's WebKitWebDriver with its
// MiniBrowser), behind the part of puppeteer's page that the checks use, so
// that the same checks run in it. Plain HTTP; it needs a display (Xvfb).
'use strict';
const http = require('http');
const net = require('net');
const { spawn } = require('child_process');

const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

function freePort() {
  return new Promise((resolve) => {
    const s = net.createServer().listen(0, '127.0.0.1', () => {
      const { port } = s.address();
      s.close(() => resolve(port));
    });
  });
}

function request(port, method, path, body) {
  return new Promise((resolve, reject) => {
    const data = body === undefined ? undefined : JSON.stringify(body);
    const r = http.request(
      { host: '127.0.0.1', port, method, path, headers: { 'Content-Type': 'application/json' } },
      (res) => {
        let text = '';
        res.on('data', (c) => (text += c));
        res.on('end', () => {
          const answer = JSON.parse(text || '{}');
          if (res.statusCode >= 400) reject(new Error(`${method} ${path}: ${JSON.stringify(answer.value)}`));
          else resolve(answer.value);
        });
      },
    );
    r.on('error', reject);
    if (data) r.write(data);
    r.end();
  });
}

// Keys as WebDriver names them.
const KEYS = { Alt: '\uE00A', Control: '\uE009', Enter: '\uE007', Escape: '\uE00C', Shift: '\uE008' };
const key = (k) => KEYS[k] || k;

class Page {
  constructor(port, id) {
    this.port = port;
    this.id = id;
    const keys = (actions) => this.send('POST', 'actions', { actions: [{ type: 'key', id: 'k', actions }] });
    this.keyboard = {
      down: (k) => keys([{ type: 'keyDown', value: key(k) }]),
      up: (k) => keys([{ type: 'keyUp', value: key(k) }]),
      press: (k) =>
        keys([
          { type: 'keyDown', value: key(k) },
          { type: 'keyUp', value: key(k) },
        ]),
    };
  }
  send(method, what, body) {
    return request(this.port, method, `/session/${this.id}/${what}`, body);
  }
  goto(url) {
    return this.send('POST', 'url', { url });
  }
  // A function run in the page with its arguments, awaited there.
  evaluate(fn, ...args) {
    const script = `const done = arguments[arguments.length - 1];
      Promise.resolve((${fn}).apply(null, ${JSON.stringify(args)})).then(
        (v) => done({ v }), (e) => done({ e: String(e && e.stack || e) }));`;
    return this.send('POST', 'execute/async', { script, args: [] }).then((r) => {
      if (r && r.e) throw new Error(r.e);
      return r ? r.v : undefined;
    });
  }
  async waitForFunction(fn, options = {}, ...args) {
    const until = Date.now() + (options.timeout || 30000);
    for (;;) {
      const v = await this.evaluate(fn, ...args).catch(() => false);
      if (v) return v;
      if (Date.now() > until) throw new Error(`waited in vain for ${fn}`);
      await sleep(100);
    }
  }
  waitForSelector(selector, options) {
    return this.waitForFunction((s) => !!document.querySelector(s), options, selector);
  }
  async click(selector) {
    const element = await this.send('POST', 'element', { using: 'css selector', value: selector });
    await this.send('POST', `element/${Object.values(element)[0]}/click`, {});
  }
  // The viewport made width × height: the window grown by what its frame takes.
  async setViewport({ width, height }) {
    await this.send('POST', 'window/rect', { width, height });
    const [w, h] = await this.evaluate(() => [innerWidth, innerHeight]);
    await this.send('POST', 'window/rect', { width: 2 * width - w, height: 2 * height - h });
  }
  async screenshot() {
    return this.send('GET', 'screenshot');
  }
  close() {
    return this.send('DELETE', '');
  }
}

// A browser of one page at a time, as puppeteer's newPage() is used here.
async function launchWebKit() {
  const port = await freePort();
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore' });
  for (let i = 0; i < 100; ++i) {
    if (
      await request(port, 'GET', '/status').then(
        (s) => s.ready,
        () => false,
      )
    )
      break;
    await sleep(100);
  }
  return {
    engine: 'webkit',
    async newPage() {
      const session = await request(port, 'POST', '/session', {
        capabilities: {
          alwaysMatch: { 'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] } },
        },
      });
      return new Page(port, session.sessionId);
    },
    close: async () => driver.kill(),
  };
}

module.exports = { launchWebKit };
