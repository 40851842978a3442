"""The browser game in Debian's Chromium, driven by real input.

The page is served from 127.0.0.1 by a small HTTP server in this process
and opened in headless Chromium through chromedriver. Input goes through the
DevTools protocol, as the browser's own input pipeline takes it (WebDriver's
action chains are too slow to catch a moving box); screenshots come from it
too. A dialog is read as a player reads it, by its title and text.

Selenium is Debian's python3-selenium: run this with /usr/bin/python3.
"""
import base64
import functools
import http.server
import subprocess
import threading
import time

from selenium import webdriver
from selenium.common.exceptions import StaleElementReferenceException
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service

from session import Failure, Screen, Session, check

# What the DevTools protocol needs to press a key: its name, code, the
# Windows key code, and the text it types.
KEYS = {"Return": ("Enter", "Enter", 13, "\r"), "space": (" ", "Space", 32, " "),
        "Tab": ("Tab", "Tab", 9, ""), "Escape": ("Escape", "Escape", 27, "")}

# The dialogs open now, each as [title, text, element], and whether the game's window
# shows (the page keeps it hidden until the rules have been read).
STATE = """
const dialogs = [...document.querySelectorAll("dialog[open]")].map(
    (d) => [d.querySelector(".zb-message-title").textContent, d.querySelector(".zb-message-text").textContent, d]);
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
            alive = self.session.driver.execute_script("return typeof Zb === 'object' && !!Zb.area")
        except Exception:  # the browser went away
            alive = False
        return None if alive else 1


class BrowserSession(Session):
    def __init__(self, folder, width=1024, height=768):
        self.folder = folder
        handler = functools.partial(QuietHandler, directory=folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"
        self.driver = None
        options = Options()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                         f"--window-size={width},{height}", "--force-device-scale-factor=1",
                         "--disable-extensions", "--no-first-run", "--disable-background-networking"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        try:
            self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
            self.resize(width, height)
        except Exception:
            self.close()
            raise

    def cdp(self, command, **parameters):
        return self.driver.execute_cdp_cmd(command, parameters)

    def resize(self, width, height, touch=False):
        """The page's viewport, as a screen of that size would give it."""
        self.width, self.height = width, height
        self.cdp("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1,
                 mobile=touch)
        self.cdp("Emulation.setTouchEmulationEnabled", enabled=touch)

    def start_game(self):
        QuietHandler.requests.clear()
        self.driver.get(self.url)
        self.started = time.monotonic()
        self.game = PageGame(self)
        return self.game

    def reload(self):
        self.cdp("Page.reload", ignoreCache=True)

    def stop_game(self):
        """Everything the page wrote to the console; the page is left."""
        lines = [f"{entry['level']}: {entry['message']}" for entry in self.driver.get_log("browser")]
        self.driver.get("about:blank")
        return "\n".join(lines)

    def close(self):
        if self.driver:
            self.driver.quit()
            self.driver = None
        self.server.shutdown()
        self.server.server_close()

    def state(self):
        return self.driver.execute_script(STATE)

    def windows(self, name):
        title, shown, dialogs = self.state()
        found = [f"dialog{i}" for i, (heading, _, _) in enumerate(dialogs) if heading == name]
        if shown and name == title:
            found.append("page")
        return found

    def geometry(self, window):
        """The game area's place and size in the screenshot."""
        check(window == "page", f"no geometry for {window}")
        rect = self.driver.execute_script(
            "const r = document.getElementById('zorbleck').getBoundingClientRect();"
            "return [r.left, r.top, r.width, r.height];")
        return tuple(round(v) for v in rect)

    def focus(self, window):
        pass  # the page has the browser's focus throughout

    def read_box(self, title):
        """Waits for a dialog, returns its text, and closes it with Enter."""
        def open_box():
            dialogs = self.state()[2]
            return dialogs[-1] if dialogs else None

        heading, text, dialog = self.wait_for(open_box, f"no dialog titled {title!r}", timeout=60.0)
        check(heading == title, f"dialog titled {heading!r}, expected {title!r}")
        self.key("Return")
        self.wait_for(lambda: self.gone(dialog), f"dialog {title!r} stayed open")
        return text

    def gone(self, element):
        try:
            return not self.driver.execute_script("return arguments[0].isConnected", element)
        except StaleElementReferenceException:
            return True

    def key(self, *keys):
        for name in keys:
            key, code, virtual, text = KEYS[name]
            down = dict(type="keyDown", key=key, code=code, windowsVirtualKeyCode=virtual)
            if text:
                down["text"] = text
            self.cdp("Input.dispatchKeyEvent", **down)
            self.cdp("Input.dispatchKeyEvent", type="keyUp", key=key, code=code, windowsVirtualKeyCode=virtual)

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.cdp("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", buttons=1, clickCount=1)

    def tap(self, x, y):
        """A finger's touch, as a phone's screen reports it."""
        self.cdp("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
        self.cdp("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def screenshot(self):
        png = base64.b64decode(self.cdp("Page.captureScreenshot", format="png")["data"])
        ppm = subprocess.run(["convert", "png:-", "-depth", "8", "ppm:-"], input=png,
                             capture_output=True, check=True).stdout
        return Screen.from_ppm(ppm)

    def active(self):
        """The name of the control that holds the keyboard's focus."""
        return self.driver.execute_script("return document.activeElement.id")

    def activate(self, name):
        """The control's own click, as when it holds the focus, shown or not."""
        self.driver.execute_script("document.getElementById(arguments[0]).click()", name)

    def break_caption(self, name, message):
        """Makes every write of the control's text fail with `message`."""
        self.driver.execute_script(
            "const message = arguments[1];"
            "Object.defineProperty(document.getElementById(arguments[0]), 'textContent',"
            "  {configurable: true, set() { throw new Error(message); }});", name, message)

    def mend_caption(self, name):
        self.driver.execute_script("delete document.getElementById(arguments[0]).textContent", name)

    def press_many(self, name, count):
        """A burst of presses on a control, faster than any hand."""
        self.driver.execute_script(
            "const box = document.getElementById(arguments[0]);"
            "for (let i = 0; i < arguments[1]; i++)"
            "  box.dispatchEvent(new PointerEvent('pointerdown', {button: 0, bubbles: true}));", name, count)

    def stored(self):
        """What the page keeps in the browser: local and session items, cookies."""
        return tuple(self.driver.execute_script(
            "return [localStorage.length, sessionStorage.length, document.cookie]"))

    def requested(self):
        """Every path the page asked the server for since it was opened."""
        return list(QuietHandler.requests)
