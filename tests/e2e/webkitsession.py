"""The page in WebKitGTK's MiniBrowser on Xvfb, through WebKitWebDriver.

MiniBrowser has no headless mode; it runs in a window that fills the X
screen. A WebDriver screenshot takes over a second, far too slow to find a
moving box, so input and screenshots go through the X server instead.
"""
import socket
import subprocess

from browsersession import XDisplayBrowser, PageSession, WebDriver
from session import spawn

MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class WebKitSession(WebDriver, XDisplayBrowser, PageSession):
    name = "WebKitGTK"

    def __init__(self, folder):
        from selenium import webdriver
        from selenium.webdriver.webkitgtk.options import Options
        super().__init__(folder)
        self.driver = self.webdriver = None
        try:
            # Without a GPU the DMA-BUF renderer gives a blank window.
            env = dict(self.start_display(), WEBKIT_DISABLE_DMABUF_RENDERER="1")
            port = free_port()
            self.webdriver = spawn(["WebKitWebDriver", f"--port={port}"], env=env,
                                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.wait_for(lambda: self.listening(port), "WebKitWebDriver did not start")
            options = Options()
            options.binary_location = MINIBROWSER
            options.add_argument("--automation")
            self.driver = webdriver.Remote(command_executor=f"http://127.0.0.1:{port}", options=options)
            self.driver.set_script_timeout(120)
            self.open("about:blank")
            self.find_page()
        except Exception:
            self.close()
            raise

    @staticmethod
    def listening(port):
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return True
        except OSError:
            return False

    def close_browser(self):
        if self.driver:
            self.driver.quit()
            self.driver = None
        if self.webdriver:
            self.webdriver.kill()
            self.webdriver.wait()
            self.webdriver = None
        self.close_display()
