// A static file server of the built site on a free loopback port, for the
// browser tests and the benchmark.
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');

const types = {
  '.html': 'text/html',
  '.js': 'text/javascript',
  '.css': 'text/css',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.woff': 'font/woff',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
};

// Resolves to the listening server; its address is http://127.0.0.1:PORT/.
// A request whose path matches server.hold (a regular expression) waits
// until server.release() (a slow connection).
module.exports = function serve(site) {
  let held = [];
  const server = http.createServer((req, res) => {
    if (server.hold && server.hold.test(req.url)) {
      held.push(() => server.emit('request', req, res));
      return;
    }
    const file = path.join(site, decodeURIComponent(new URL(req.url, 'http://x').pathname));
    const name = file.endsWith('/') ? path.join(file, 'index.html') : file;
    fs.readFile(name, (err, data) => {
      if (err) {
        res.writeHead(404);
        res.end();
        return;
      }
      res.writeHead(200, { 'Content-Type': types[path.extname(name)] || 'application/octet-stream' });
      res.end(data);
    });
  });
  server.release = () => {
    server.hold = null;
    const waiting = held;
    held = [];
    waiting.forEach((go) => go());
  };
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
};
