"""The page in headless Chromium through chromedriver. Input and screenshots
go through the DevTools protocol, as the browser's own input pipeline takes
them: WebDriver's action chains are too slow to catch a moving box.
"""
import base64

from browsersession import PageSession, WebDriver
from session import Screen

# What the DevTools protocol needs to press a key: its name, code, the
# Windows key code, and the text it types.
KEYS = {"Return": ("Enter", "Enter", 13, "\r"), "space": (" ", "Space", 32, " "),
        "Tab": ("Tab", "Tab", 9, "")}


class ChromiumSession(WebDriver, PageSession):
    name = "Chromium headless"

    def start_browser(self, width=1024, height=768):
        from selenium import webdriver
        from selenium.webdriver.chrome.options import Options
        from selenium.webdriver.chrome.service import Service
        options = Options()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                         f"--window-size={width},{height}", "--force-device-scale-factor=1",
                         "--disable-extensions", "--no-first-run", "--disable-background-networking"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.drive(webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options))
        self.resize(width, height)

    def cdp(self, command, **parameters):
        return self.driver.execute_cdp_cmd(command, parameters)

    def resize(self, width, height, touch=False):
        """The page's viewport, as a screen of that size would give it."""
        self.width, self.height = width, height
        self.cdp("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1,
                 mobile=touch)
        self.cdp("Emulation.setTouchEmulationEnabled", enabled=touch)

    def console(self):
        return "\n".join(f"{entry['level']}: {entry['message']}" for entry in self.driver.get_log("browser"))

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
        return Screen.load(base64.b64decode(self.cdp("Page.captureScreenshot", format="png")["data"]))
