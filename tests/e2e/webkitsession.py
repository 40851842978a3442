"""The page in WebKitGTK's MiniBrowser on Xvfb, through WebKitWebDriver.

MiniBrowser has no headless mode; it runs in a window that fills the X
screen. A WebDriver screenshot takes over a second, far too slow to find a
moving box, so input and screenshots go through the X server instead.
"""
import subprocess

from browsersession import OnXvfb, PageSession, WebDriver
from session import end_all, spawn


class WebKitSession(WebDriver, OnXvfb, PageSession):
    name = "WebKitGTK"
    webdriver = None

    def start_browser(self):
        from selenium import webdriver
        from selenium.webdriver.common.utils import free_port, is_connectable
        from selenium.webdriver.webkitgtk.options import Options
        # Without a GPU the DMA-BUF renderer gives a blank window.
        env = dict(self.start_display(), WEBKIT_DISABLE_DMABUF_RENDERER="1")
        port = free_port()
        self.webdriver = spawn(["WebKitWebDriver", f"--port={port}"], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_for(lambda: is_connectable(port, "127.0.0.1"), "WebKitWebDriver did not start")
        options = Options()
        options.binary_location = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
        options.add_argument("--automation")
        self.drive(webdriver.Remote(command_executor=f"http://127.0.0.1:{port}", options=options))
        self.find_page()

    def close_browser(self):
        WebDriver.close_browser(self)
        end_all([self.webdriver] if self.webdriver else [])
