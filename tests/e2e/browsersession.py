"""The browser game in a browser engine, driven by real input.

The page is served from 127.0.0.1 by a small HTTP server in this process.
PageSession reads the page as a player reads it (a dialog by its title and
text, the game area by its place on the screen); each engine is an adapter
that says how to start the browser, open the page, run a script in it,
press, type and take a screenshot:

- ChromiumSession (chromiumsession.py): headless, input and screenshots
  through the DevTools protocol;
- WebKitSession and FirefoxSession (webkitsession.py, firefoxsession.py): a
  browser window on Xvfb, input through the X server and screenshots of the
  display (XDisplayBrowser).

Selenium is Debian's python3-selenium: run this with /usr/bin/python3.
"""
import functools
import http.server
import threading

from session import Session, check

# The dialogs open now, each as [title, text, mark], and whether the game's
# window shows (the page keeps it hidden until the rules have been read). The
# mark tells a dialog from the next one with the same title.
STATE = """
window.zbMarks = window.zbMarks || 0;
const dialogs = [...document.querySelectorAll("dialog[open]")].map((d) => [
    d.querySelector(".zb-message-title").textContent, d.querySelector(".zb-message-text").textContent,
    d.zbMark = d.zbMark || ++window.zbMarks]);
const frame = document.getElementById("zb-frame");
return [document.title, !!frame && !frame.hidden, dialogs];
"""


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    requests = []

    def log_message(self, *args):
        pass

    def do_GET(self):
        QuietHandler.requests.append(self.path)
        super().do_GET()


class PageGame:
    """The page stands for the program: it runs while the browser holds it."""

    def __init__(self, session):
        self.session = session
        self.returncode = None

    def poll(self):
        try:
            alive = self.session.run("return typeof Zb === 'object' && !!Zb.area")
        except Exception:  # the browser went away
            alive = False
        return None if alive else 1


class PageSession(Session):
    """What every engine shares. An adapter provides run(script, *arguments),
    open(url), key, click, screenshot and close_browser; `offset` is where
    the page's top left stands in the screenshots."""

    offset = (0, 0)
    server = None

    def __init__(self, folder):
        self.serve(folder)

    def serve(self, folder, port=0):
        """Serves `folder` from 127.0.0.1, on the same port as before if asked."""
        self.folder = folder
        handler = functools.partial(QuietHandler, directory=folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"

    def stop_serving(self):
        """The server goes away, as the network does on a train."""
        self.server.shutdown()
        self.server.server_close()
        return self.server.server_address[1]

    def start_game(self):
        QuietHandler.requests.clear()
        self.open(self.url)
        self.game = PageGame(self)
        return self.game

    def reload(self):
        self.run("location.reload()")

    def console(self):
        return ""

    def stop_game(self):
        """What the page reported on its console; the page is left."""
        log = self.console()
        self.open("about:blank")
        return log

    def close(self):
        self.close_browser()
        self.stop_serving()

    def state(self):
        return self.run(STATE)

    def windows(self, name):
        title, shown, dialogs = self.state()
        found = [f"dialog{mark}" for heading, _, mark in dialogs if heading == name]
        if shown and name == title:
            found.append("page")
        return found

    def place(self, name):
        """An element's place and size on the screen, in whole pixels."""
        left, top, width, height = self.run(
            "const r = document.getElementById(arguments[0]).getBoundingClientRect();"
            "return [r.left, r.top, r.width, r.height];", name)
        return round(left) + self.offset[0], round(top) + self.offset[1], round(width), round(height)

    def geometry(self, window):
        """The game area's place and size in the screenshot."""
        check(window == "page", f"no geometry for {window}")
        return self.place("zorbleck")

    def focus(self, window):
        pass  # the page has the browser's focus throughout

    def read_box(self, title):
        """Waits for a dialog, returns its text, and closes it as a player does."""
        def open_box():
            dialogs = self.state()[2]
            return dialogs[-1] if dialogs else None

        heading, text, mark = self.wait_for(open_box, f"no dialog titled {title!r}", timeout=60.0)
        check(heading == title, f"dialog titled {heading!r}, expected {title!r}")
        self.key("Return")
        self.wait_for(lambda: mark not in [m for _, _, m in self.state()[2]], f"dialog {title!r} stayed open")
        return text

    def active(self):
        """The name of the control that holds the keyboard's focus."""
        return self.run("return document.activeElement.id")

    def activate(self, name):
        """The control's own click, as when it holds the focus, shown or not."""
        self.run("document.getElementById(arguments[0]).click()", name)

    def break_caption(self, name, message):
        """Makes every write of the control's text fail with `message`."""
        self.run("const message = arguments[1];"
                 "Object.defineProperty(document.getElementById(arguments[0]), 'textContent',"
                 "  {configurable: true, set() { throw new Error(message); }});", name, message)

    def mend_caption(self, name):
        self.run("delete document.getElementById(arguments[0]).textContent", name)

    def press_many(self, name, count):
        """A burst of presses on a control, faster than any hand."""
        self.run("const box = document.getElementById(arguments[0]);"
                 "for (let i = 0; i < arguments[1]; i++)"
                 "  box.dispatchEvent(new PointerEvent('pointerdown', {button: 0, bubbles: true}));", name, count)

    def stored(self):
        """What the page keeps in the browser: local and session items, cookies."""
        return tuple(self.run("return [localStorage.length, sessionStorage.length, document.cookie]"))

    def requested(self):
        """Every path the page asked the server for since it was opened."""
        return list(QuietHandler.requests)


class XDisplayBrowser:
    """A browser window that fills an Xvfb screen: keys and clicks go through
    the X server as a player's do, screenshots are grabs of the display."""

    def start_display(self):
        from xsession import XSession
        self.display = XSession(None)
        return self.display.env

    def find_page(self):
        """Where the page's viewport stands on the screen: below the
        browser's toolbars, which span the window's width."""
        x, y, outer_w, outer_h, inner_w, inner_h = self.run(
            "return [screenX, screenY, outerWidth, outerHeight, innerWidth, innerHeight]")
        self.offset = (x + outer_w - inner_w, y + outer_h - inner_h)
        self.width, self.height = inner_w, inner_h

    def key(self, *keys):
        self.display.key(*keys)

    def click(self, x, y):
        self.display.click(x, y)

    def screenshot(self):
        return self.display.screenshot()

    def close_display(self):
        if getattr(self, "display", None):
            self.display.close()
            self.display = None


class WebDriver:
    """The page through a selenium driver (self.driver): Chromium's and WebKit's."""

    def run(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def open(self, url):
        self.driver.get(url)

    def version(self):
        return self.driver.capabilities.get("browserVersion", "?")
