"""The browser game in a browser engine, driven by real input: PageSession
serves the page from 127.0.0.1 and reads it as a player does (a dialog by its
title and text, the game area by its place on the screen); each engine is an
adapter of its own module. Selenium is Debian's python3-selenium: run this
with /usr/bin/python3.
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
    def log_message(self, *args):
        pass

    def do_GET(self):
        PageSession.requests.append(self.path)
        super().do_GET()


class PageSession(Session):
    """What every engine shares. An adapter provides start_browser,
    run(script, *arguments), open(url), key, click, screenshot and
    close_browser. The page stands for the program, which runs while the
    browser holds it: the session is its own game."""

    returncode = None
    offset = (0, 0)  # where the page's top left stands in the screenshots
    display = None  # the X server of a browser that needs one
    requests = []  # every path the page asked for since it was opened

    def __init__(self, folder):
        self.serve(folder)
        try:
            self.start_browser()
        except Exception:
            self.close()
            raise

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
        self.requests.clear()
        self.open(self.url)
        self.game = self
        return self

    def poll(self):
        try:
            alive = self.run("return typeof Zb === 'object' && !!Zb.area")
        except Exception:  # the browser went away
            alive = False
        return None if alive else 1

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
        if self.display:
            self.display.close()
        self.stop_serving()

    def windows(self, name):
        title, shown, dialogs = self.run(STATE)
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
        check(window == "page", f"no geometry for {window}")
        return self.place("zorbleck")

    def focus(self, window):
        pass  # the page has the browser's focus throughout

    def read_box(self, title):
        """Waits for a dialog, returns its text, and closes it as a player does."""
        def open_box():
            dialogs = self.run(STATE)[2]
            return dialogs[-1] if dialogs else None

        heading, text, mark = self.wait_for(open_box, f"no dialog titled {title!r}", timeout=60.0)
        check(heading == title, f"dialog titled {heading!r}, expected {title!r}")
        self.key("Return")
        self.wait_for(lambda: mark not in [m for _, _, m in self.run(STATE)[2]], f"dialog {title!r} stayed open")
        return text


class OnXvfb:
    """A browser window that fills an Xvfb screen: keys and clicks go through
    the X server as a player's do, screenshots are grabs of the display."""

    def start_display(self):
        from xsession import XSession
        self.display = XSession(None)
        return self.display.env

    def find_page(self):
        """Opens a blank page and finds where its viewport stands on the
        screen: below the browser's toolbars, which span the window's width."""
        self.open("about:blank")
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


class WebDriver:
    """The page through a selenium driver: Chromium's and WebKit's."""

    driver = None

    def drive(self, driver):
        self.driver = driver
        driver.set_script_timeout(120)

    def run(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def open(self, url):
        self.driver.get(url)

    def version(self):
        return self.driver.capabilities.get("browserVersion", "?")

    def close_browser(self):
        if self.driver:
            self.driver.quit()
            self.driver = None
