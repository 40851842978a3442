// What the page does for the game: each import of web_page.cpp, once, over
// the page set up by page.js. A control is given by its number, a size or a
// place in CSS pixels; a string returned is the game's to free. A failure of
// the page comes back to the game as a C++ error, which ends the running
// handler; the page goes on.

const imports = {
  // Runs an import's work; what it throws becomes the game's error.
  $zbRun: function (work) {
    try {
      return work();
    } catch (error) {
      _zb_fail(allocateUTF8((error && error.message) || String(error)));
    }
  },
  // A size as laid out, kept until the element is laid out at another: read
  // right after a move, offsetWidth would lay the whole page out again. Observed
  // once: observing it again would report it anew, and lay it out, every frame.
  $zbMeasured: function (element, vertical) {
    if (!element.zbSize) {
      element.zbSize = [element.offsetWidth, element.offsetHeight];
      if (!element.zbObserved) Zb.resized.observe(element);
      element.zbObserved = true;
    }
    return element.zbSize[vertical];
  },
  // A new control of the game area, placed by the game right after. Later
  // ones stack above earlier ones; the style sheet puts the labels beneath.
  $zbAdd: function (id, localName, className, tabIndex) {
    const element = document.createElement(localName);
    element.className = className;
    if (tabIndex >= 0) element.tabIndex = tabIndex + 1;
    Zb.controls[id] = element;
    Zb.area.appendChild(element);
    return element;
  },

  zb_build_window: function (caption, width, height, closing) {
    zbRun(() => {
      document.title = Zb.frame.querySelector(".zb-caption").textContent = UTF8ToString(caption);
      Zb.area.style.width = width + "px";
      Zb.area.style.height = height + "px";
      // A reload or a closed tab ends a running game, silently.
      addEventListener("pagehide", () => Zb.post(closing));
      Zb.fit();
    });
  },
  zb_add_box: function (id, tabIndex, red, green, blue) {
    zbRun(() => {
      const box = zbAdd(id, "div", "zb-box", tabIndex);
      box.style.backgroundColor = "rgb(" + red + "," + green + "," + blue + ")";
      box.setAttribute("role", "button");
      // Counted the moment the button goes down, by mouse, pen or finger:
      // the release often comes after the box has jumped away.
      box.addEventListener("pointerdown", (event) => { if (event.button === 0) Zb.post(id); });
      // A press does not move the focus, as on the desktop.
      box.addEventListener("mousedown", (event) => event.preventDefault());
    });
  },
  zb_add_list: function (id, tabIndex) {
    zbRun(() => { zbAdd(id, "select", "zb-list", tabIndex).size = 3; });
  },
  zb_add_button: function (id, tabIndex) {
    zbRun(() => {
      const button = zbAdd(id, "button", "zb-button", tabIndex);
      button.type = "button";
      // Mouse, Enter and Space alike.
      button.addEventListener("click", () => Zb.post(id));
    });
  },
  zb_add_label: function (id) {
    zbRun(() => zbAdd(id, "div", "zb-label", -1));
  },
  zb_describe: function (id, name, width, height, face, points, accessibleName, description) {
    zbRun(() => {
      const element = Zb.controls[id], said = UTF8ToString(accessibleName), told = UTF8ToString(description);
      element.id = UTF8ToString(name);
      element.style.width = width + "px";
      element.style.height = height + "px";
      if (face) {
        element.style.setProperty("--face", '"' + UTF8ToString(face) + '"');
        element.style.fontSize = points + "pt";
      }
      if (said) element.setAttribute("aria-label", said);
      // Said by a screen reader, never shown: a tooltip would hang over the game.
      if (told) element.setAttribute("aria-description", told);
    });
  },
  zb_add_entry: function (id, text) {
    zbRun(() => {
      Zb.controls[id].add(new Option(UTF8ToString(text)));
      Zb.controls[id].selectedIndex = -1;
    });
  },
  // The load handler has run: the window shows, with the focus on Start.
  zb_show_window: function (focused) {
    zbRun(() => {
      Zb.frame.hidden = false;
      Zb.fit();
      Zb.controls[focused].focus();
    });
  },

  // The window's outer size: the game area with the frame drawn around it.
  zb_outer: function (vertical) {
    return zbRun(() => zbMeasured(Zb.frame, vertical));
  },
  zb_set_back_color: function (red, green, blue) {
    zbRun(() => { Zb.area.style.backgroundColor = "rgb(" + red + "," + green + "," + blue + ")"; });
  },
  // A move lays nothing out: the control is shifted as a whole, which the
  // compositor does alone, and only when it lands on another pixel.
  zb_move: function (id, left, top) {
    zbRun(() => {
      const element = Zb.controls[id];
      if (element.zbLeft === left && element.zbTop === top) return;
      element.zbLeft = left;
      element.zbTop = top;
      element.style.transform = "translate(" + left + "px," + top + "px)";
    });
  },
  zb_size: function (id, vertical) {
    return zbRun(() => zbMeasured(Zb.controls[id], vertical));
  },
  // Written only when it changes, as the caption below: a pass hides the
  // same three controls every time.
  zb_set_visible: function (id, visible) {
    zbRun(() => {
      const element = Zb.controls[id];
      if (element.hidden === !!visible) element.hidden = !visible;
    });
  },
  zb_is_shown: function (id) {
    return zbRun(() => (Zb.controls[id].hidden ? 0 : 1));
  },
  // A new text lays its label out again, and the elapsed seconds change
  // once in many passes.
  zb_set_caption: function (id, text) {
    zbRun(() => {
      const element = Zb.controls[id], value = UTF8ToString(text);
      if (element.textContent !== value) element.textContent = value;
    });
  },
  zb_text: function (id) {
    return zbRun(() => {
      const element = Zb.controls[id];
      if (element.localName !== "select") return allocateUTF8(element.textContent);
      return allocateUTF8(element.selectedIndex < 0 ? "" : element.options[element.selectedIndex].text);
    });
  },
  // Seconds on the page's monotonic clock, in steps of 0.1 ms or 1 ms. Two
  // readings 35 steps of 1 ms apart often differ by a hair under 0.035 in
  // binary, and the pause would wait a step more: a clock a billionth fast
  // (3.6 us an hour, far below a step) tips the hair over.
  zb_clock: function () {
    return (performance.now() / 1000) * (1 + 1e-9);
  },
  zb_take_event: function (none) {
    return Zb.queue.length ? Zb.queue.shift() : none;
  },

  // The three that wait. Asyncify puts the game's stack aside until the
  // page calls back, then carries on where it stopped.
  zb_next_event: function () {
    return Asyncify.handleAsync(async () => {
      while (!Zb.queue.length) await new Promise((resolve) => { Zb.wake = resolve; });
      return Zb.queue.shift();
    });
  },
  // Modal: the rest of the page takes no input until OK (or Escape) closes it.
  zb_message_box: function (prompt, title) {
    zbRun(() => Asyncify.handleSleep((closed) => {
      const dialog = document.createElement("dialog");
      dialog.className = "zb-message";
      dialog.setAttribute("aria-labelledby", "zb-message-title");
      dialog.innerHTML = '<div class="zb-message-title" id="zb-message-title"></div><p class="zb-message-text"></p>'
        + '<form method="dialog"><button autofocus>OK</button></form>';
      const [heading, text, form] = dialog.children, ok = form.firstChild;
      heading.textContent = UTF8ToString(title);
      text.textContent = UTF8ToString(prompt);
      document.body.appendChild(dialog);
      // A press beside OK leaves the focus on it, so Enter still closes the
      // box; Ctrl+C copies its title and text as a desktop's boxes do.
      dialog.addEventListener("mousedown", (event) => {
        if (event.target !== ok) { event.preventDefault(); ok.focus(); }
      });
      dialog.addEventListener("copy", (event) => {
        const rule = "---------------------------\n";
        event.clipboardData.setData("text/plain",
          rule + heading.textContent + "\n" + rule + text.textContent + "\n" + rule + "OK\n" + rule);
        event.preventDefault();
      });
      dialog.addEventListener("close", () => { dialog.remove(); closed(); });
      dialog.showModal();
    }));
  },
  // One turn of the browser's event loop, at most once a millisecond (the
  // others' clock grain): input and repaints come through, and the pause
  // puts its stack aside and makes garbage far less often.
  zb_yield: function () {
    if (Asyncify.state === Asyncify.State.Normal && performance.now() - Zb.yielded < 1) return;
    Asyncify.handleSleep((resume) => { Zb.resume = resume; Zb.channel.port2.postMessage(null); });
  },
};
// Every import may use every helper.
const helpers = Object.keys(imports).filter((name) => name.startsWith("$"));
for (const name of Object.keys(imports)) imports[name + "__deps"] = helpers;
mergeInto(LibraryManager.library, imports);
