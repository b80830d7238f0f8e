// A worker of the analysis page: the core's analyses on one of the visitor's
// cores. It answers each call ({ call, args }) with the core's JSON, and
// tells how far it has come while a part plays.
'use strict';
importScripts('sha256.min.js', 'popchan_analysis.js');

// At most one word of progress each 50 ms, and the last: the page's thread
// stays free for the visitor.
let told = 0;
const core = createPopchanAnalysis({
  onProgress: (done, total) => {
    const now = performance.now();
    if (now - told < 50 && done < total) return;
    told = now;
    postMessage({ progress: [done, total] });
  },
});

self.onmessage = async ({ data }) => {
  const module = await core;
  const types = data.args.map((a) => (typeof a === 'number' ? 'number' : 'string'));
  postMessage({ result: JSON.parse(module.ccall(data.call, 'string', types, data.args)) });
};
