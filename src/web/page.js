// The page around the game, set up as the script loads: the frame that holds
// the game area, the queue of the player's events, and the service worker.
// The game's imports (imports.js) fill the area and read and write it.

var Zb = {
  frame: document.getElementById("zb-frame"),
  area: document.getElementById("zorbleck"),
  // The game's controls as elements, by their number.
  controls: [],
  // Sizes as laid out are kept until the element is laid out at another.
  resized: new ResizeObserver((entries) => entries.forEach((entry) => { entry.target.zbSize = null; })),

  // The player's events wait here until the game's one thread takes them:
  // between handlers, or in a pause of a game.
  queue: [],
  wake: null,
  post(event) {
    Zb.queue.push(event);
    if (Zb.wake) {
      const wake = Zb.wake;
      Zb.wake = null;
      wake();
    }
  },

  // A message posted to ourselves comes back after the browser has handled
  // the input and repaints waiting before it. A timer would do the same, but
  // the browser holds a timer back for 4 ms, far longer than a pause's grain.
  channel: new MessageChannel(),
  resume: null,
  yielded: 0,

  // At zoom 1 the frame stands on whole pixels; a screen too small for it
  // gets it scaled down to fit, the game's own sizes untouched.
  fit() {
    const margin = 8;
    const width = Zb.frame.offsetWidth, height = Zb.frame.offsetHeight;
    if (!width || !height) return;
    const room = document.documentElement;
    const scale = Math.min(1, (room.clientWidth - 2 * margin) / width, (room.clientHeight - 2 * margin) / height);
    Zb.frame.style.transform = scale < 1 ? "scale(" + scale + ")" : "";
    Zb.frame.style.left = Math.max(0, Math.floor((room.clientWidth - width * scale) / 2)) + "px";
    Zb.frame.style.top = Math.max(0, Math.floor((room.clientHeight - height * scale) / 2)) + "px";
  },
};

Zb.channel.port1.onmessage = () => {
  Zb.yielded = performance.now();
  Zb.resume();
};
addEventListener("resize", Zb.fit);
// A page brought back from the back-forward cache would hold a game that was
// told it had ended: start afresh instead.
addEventListener("pageshow", (event) => { if (event.persisted) location.reload(); });

// Installed from the browser's menu, the game plays with no network: the
// service worker keeps this build's files. Without one (a page that is not
// served over HTTPS or from this machine) the game plays all the same.
if ("serviceWorker" in navigator && window.isSecureContext) {
  addEventListener("load", () => {
    navigator.serviceWorker.register("sw.js").catch((error) => console.warn("no offline play:", error));
  });
}
