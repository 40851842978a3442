// The page's side of the game's window: the controls as HTML elements, the
// queue of the player's events, the modal dialog and the pause's yield.
// The game's C++ reaches it through the imports of web_page.cpp.

var Zb = {
  // The numbers of game::layout::Kind, and webui::PageClosing.
  Kind: { Box: 0, List: 1, Button: 2, Label: 3 },
  PageClosing: 100,

  controls: [],
  queue: [],
  wake: null,

  // A failure of the page comes back to the game as a C++ error, which ends
  // the running handler; the page goes on.
  guard(action) {
    try {
      return action();
    } catch (error) {
      Module._zb_fail(Zb.cString(Zb.describe(error)));
    }
  },
  // The same for a call that waits: the failure's text, for the game to
  // raise once its stack is back (0 when all went well).
  async failureOf(action) {
    try {
      await action();
      return 0;
    } catch (error) {
      return Zb.cString(Zb.describe(error));
    }
  },
  // A string the game owns and frees.
  cString(text) {
    const size = lengthBytesUTF8(text) + 1;
    const pointer = _malloc(size);
    stringToUTF8(text, pointer, size);
    return pointer;
  },
  describe(error) {
    return (error && error.message) || String(error);
  },

  buildWindow(caption, width, height) {
    document.title = caption;
    Zb.frame = document.getElementById("zb-frame");
    Zb.frame.querySelector(".zb-caption").textContent = caption;
    Zb.area = document.getElementById("zorbleck");
    Zb.area.style.width = width + "px";
    Zb.area.style.height = height + "px";
    addEventListener("resize", Zb.fit);
    // A reload or a closed tab ends a running game, silently.
    addEventListener("pagehide", () => Zb.post(Zb.PageClosing));
    // A page brought back from the back-forward cache would hold a game
    // that was told it had ended: start afresh instead.
    addEventListener("pageshow", (event) => { if (event.persisted) location.reload(); });
    Zb.fit();
  },

  // Placed by the game right after, as it places a control at any time.
  addControl(id, kind, name, width, height, tabIndex, colour, face, points, accessibleName, description) {
    let element;
    if (kind === Zb.Kind.Box) {
      element = document.createElement("div");
      element.className = "zb-box";
      element.style.backgroundColor = "rgb(" + colour.join(",") + ")";
      element.setAttribute("role", "button");
      // Counted the moment the button goes down, by mouse, pen or finger:
      // the release often comes after the box has jumped away.
      element.addEventListener("pointerdown", (event) => {
        if (event.button === 0) Zb.post(id);
      });
      // A press does not move the focus, as on the desktop.
      element.addEventListener("mousedown", (event) => event.preventDefault());
    } else if (kind === Zb.Kind.List) {
      element = document.createElement("select");
      element.className = "zb-list";
      element.size = 3;
    } else if (kind === Zb.Kind.Button) {
      element = document.createElement("button");
      element.type = "button";
      element.className = "zb-button";
      // Mouse, Enter and Space alike.
      element.addEventListener("click", () => Zb.post(id));
    } else {
      element = document.createElement("div");
      element.className = "zb-label";
    }
    element.id = name;
    if (kind !== Zb.Kind.Label) element.tabIndex = tabIndex + 1;
    if (accessibleName) element.setAttribute("aria-label", accessibleName);
    // Said by a screen reader, never shown: a tooltip would hang over the game.
    if (description) element.setAttribute("aria-description", description);
    if (face) {
      element.style.setProperty("--face", '"' + face + '"');
      element.style.fontSize = points + "pt";
    }
    element.zbPlace = [0, 0];
    Zb.controls[id] = element;
    element.style.width = width + "px";
    element.style.height = height + "px";
    Zb.area.appendChild(element);
  },

  addEntry(id, text) {
    Zb.controls[id].add(new Option(text));
    Zb.controls[id].selectedIndex = -1;
  },

  // The load handler has run: the window shows, with the focus on Start.
  showWindow() {
    Zb.frame.hidden = false;
    Zb.fit();
    const start = Zb.controls.find((element) => element.localName === "button");
    if (start) start.focus();
  },

  // The window's outer size: the game area with the frame drawn around it.
  outer(vertical) {
    return Zb.measured(Zb.frame, vertical);
  },
  // A size as laid out, kept until the element is laid out at another: read
  // right after a box has moved, offsetWidth would have the browser lay out
  // the whole page again, several times a pass.
  measured(element, vertical) {
    if (!element.zbSize) {
      element.zbSize = [element.offsetWidth, element.offsetHeight];
      if (!Zb.resized) Zb.resized = new ResizeObserver((entries) => entries.forEach((e) => { e.target.zbSize = null; }));
      Zb.resized.observe(element);
    }
    return element.zbSize[vertical];
  },
  setBackColor(red, green, blue) {
    Zb.area.style.backgroundColor = "rgb(" + red + "," + green + "," + blue + ")";
  },
  place(id, vertical) {
    return Zb.controls[id].zbPlace[vertical];
  },
  setPlace(id, vertical, twips, pixels) {
    const element = Zb.controls[id];
    element.zbPlace[vertical] = twips;
    element.style[vertical ? "top" : "left"] = pixels + "px";
  },
  size(id, vertical) {
    return Zb.measured(Zb.controls[id], vertical);
  },
  setVisible(id, visible) {
    Zb.controls[id].hidden = !visible;
  },
  isShown(id) {
    return Zb.controls[id].hidden ? 0 : 1;
  },
  setCaption(id, text) {
    Zb.controls[id].textContent = text;
  },
  text(id) {
    const element = Zb.controls[id];
    if (element.localName === "select") {
      return element.selectedIndex < 0 ? "" : element.options[element.selectedIndex].text;
    }
    return element.textContent;
  },

  // Seconds on the page's monotonic clock. Chromium gives it in steps of
  // 0.1 ms unless the page is cross-origin isolated.
  clock() {
    return performance.now() / 1000;
  },

  // The player's events wait here until the game's one thread takes them:
  // between handlers, or in a pause of a game.
  post(event) {
    Zb.queue.push(event);
    if (Zb.wake) {
      const wake = Zb.wake;
      Zb.wake = null;
      wake();
    }
  },
  takeEvent() {
    return Zb.queue.length ? Zb.queue.shift() : -1;
  },
  async nextEvent() {
    while (!Zb.queue.length) await new Promise((resolve) => { Zb.wake = resolve; });
    return Zb.queue.shift();
  },

  // A message posted to ourselves comes back after the browser has handled
  // the input and repaints waiting before it. A timer would do the same, but
  // the browser holds a timer back for 4 ms, far longer than a pause's grain.
  yieldToBrowser() {
    if (!Zb.channel) {
      Zb.channel = new MessageChannel();
      Zb.channel.port1.onmessage = () => Zb.resume();
    }
    return new Promise((resolve) => {
      Zb.resume = resolve;
      Zb.channel.port2.postMessage(null);
    });
  },

  // Modal: the rest of the page takes no input until OK (or Escape) closes
  // it.
  messageBox(prompt, title) {
    const dialog = document.createElement("dialog");
    dialog.className = "zb-message";
    const heading = document.createElement("div");
    heading.className = "zb-message-title";
    heading.id = "zb-message-title";
    heading.textContent = title;
    const text = document.createElement("p");
    text.className = "zb-message-text";
    text.textContent = prompt;
    const form = document.createElement("form");
    form.method = "dialog";
    const ok = document.createElement("button");
    ok.textContent = "OK";
    ok.autofocus = true;
    form.appendChild(ok);
    dialog.append(heading, text, form);
    dialog.setAttribute("aria-labelledby", heading.id);
    document.body.appendChild(dialog);
    // A press beside OK leaves the focus on it, so Enter still closes the
    // box; Ctrl+C copies its title and text as a desktop's boxes do.
    dialog.addEventListener("mousedown", (event) => {
      if (event.target !== ok) {
        event.preventDefault();
        ok.focus();
      }
    });
    dialog.addEventListener("copy", (event) => {
      const rule = "---------------------------\n";
      event.clipboardData.setData("text/plain",
        rule + heading.textContent + "\n" + rule + prompt + "\n" + rule + "OK\n" + rule);
      event.preventDefault();
    });
    return new Promise((resolve) => {
      dialog.addEventListener("close", () => {
        dialog.remove();
        resolve();
      });
      dialog.showModal();
    });
  },

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

// Installed from the browser's menu, the game plays with no network: the
// service worker keeps this build's files. Without one (a page that is not
// served over HTTPS or from this machine) the game plays all the same.
if ("serviceWorker" in navigator && window.isSecureContext) {
  addEventListener("load", () => {
    navigator.serviceWorker.register("sw.js").catch((error) => console.warn("no offline play:", error));
  });
}
