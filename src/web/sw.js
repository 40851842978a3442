// The service worker that lets the installed game play with no network. It
// keeps the page's own files, and nothing of the player's, in a cache named
// for the version and the build, which the build writes in below.
const BUILD = "zorbleck-@PROJECT_VERSION@-@ZORBLECK_BUILD@";
const FILES = ["./", "index.html", "zorbleck.css", "zorbleck.js", "zorbleck.wasm", "zorbleck.ico",
  "zorbleck.webmanifest", "zorbleck-192.png", "zorbleck-512.png"];

// This build's files, fetched past the browser's HTTP cache so that none of
// an older build's slips in. The new worker takes over at once.
self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(BUILD)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: "reload" }))))
    .then(() => self.skipWaiting()));
});

// Older builds' caches go.
self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith("zorbleck-") && name !== BUILD)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The network first: a build deployed on the server plays at the next
// reload, all of its files together. With no network, this build's copies.
// Either way the page must ask again next time: a browser that kept a file
// in memory would run an older build's script with a newer build's wasm.
self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== location.origin) return;
  event.respondWith(fetch(request.url, { cache: "no-cache" }).catch(async (failure) => {
    const cache = await caches.open(BUILD);
    const copy = await cache.match(request, { ignoreSearch: true })
      || (request.mode === "navigate" ? await cache.match("./") : undefined);
    if (!copy) throw failure;
    return copy;
  }).then((response) => {
    const headers = new Headers(response.headers);
    headers.set("Cache-Control", "no-cache");
    return new Response(response.body, { status: response.status, statusText: response.statusText, headers });
  }));
});
