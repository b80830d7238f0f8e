// The service worker: the page plays offline after its first visit. Every
// file of the site is fetched from the network while there is one (and kept),
// and from what was kept when there is none.
'use strict';
const CACHE = 'popchan';

self.addEventListener('install', (event) => {
  event.waitUntil(
    (async () => {
      const files = await (await fetch('precache.json', { cache: 'no-store' })).json();
      await (await caches.open(CACHE)).addAll(files);
      await self.skipWaiting();
    })(),
  );
});

self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== location.origin) return;
  event.respondWith(
    (async () => {
      const cache = await caches.open(CACHE);
      try {
        const response = await fetch(event.request);
        if (response.ok) await cache.put(event.request, response.clone());
        return response;
      } catch (offline) {
        const kept = await cache.match(event.request, { ignoreSearch: true });
        if (kept) return kept;
        throw offline;
      }
    })(),
  );
});
