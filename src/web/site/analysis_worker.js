// A worker of the analysis page: the core's analyses on one of the visitor's
// cores. It answers each call ({ call, args }) with the core's JSON, and
// tells how far it has come while a part plays.
'use strict';
importScripts('sha256.min.js', 'popchan_analysis.js');

const core = createPopchanAnalysis({
  onProgress: (done, total) => postMessage({ progress: [done, total] }),
});

self.onmessage = async ({ data }) => {
  const module = await core;
  const types = data.args.map((a) => (typeof a === 'number' ? 'number' : 'string'));
  postMessage({ result: JSON.parse(module.ccall(data.call, 'string', types, data.args)) });
};
