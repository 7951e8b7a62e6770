// Keeps the page's files, so that after one visit it opens and converts with the network off.
// The build writes the version, a digest of the files: a changed page is a new cache, and the
// old one is deleted once the new one is complete.
'use strict';

const version = 'marquee8-@VERSION@';
const files = ['./', @FILES@];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(version).then((cache) => cache.addAll(files))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith('marquee8-') &&
      name !== version).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(version)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((kept) => kept ?? fetch(event.request)));
});
