"""A real X server (Xvfb) with the game in it: xdotool for the mouse and the
keyboard, screenshots of the display, and Ctrl+C on a message box (Qt
copies a box's title and text) to read it.
"""
import os
import re
import signal
import subprocess
import tempfile
import time

from PIL import ImageGrab

from session import Screen, Session, check, displayless, leak_options, spawn

# No mouse bindings on client windows: click-to-focus would swallow fast
# clicks on the boxes.
OPENBOX_RC = ('<?xml version="1.0"?><openbox_config xmlns="http://openbox.org/3.4/rc">'
              '<focus><focusNew>yes</focusNew></focus>'
              '<keyboard><keybind key="A-F4"><action name="Close"/></keybind></keyboard>'
              '<mouse></mouse></openbox_config>')


class XSession(Session):
    wm = None

    def __init__(self, binary, window_manager=False):
        self.binary, self.dir = binary, tempfile.mkdtemp(prefix="zorbleck-x-")
        read, write = os.pipe()
        # No autorepeat: on a loaded machine the release of a key sent from
        # here may come late, and a repeat would press it again.
        self.server = spawn(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                             "-r"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            self.display = ":" + pipe.readline().strip()
        check(self.display != ":", "Xvfb did not start")
        self.env = displayless(self.dir, DISPLAY=self.display, QT_QPA_PLATFORM="xcb",
                               LSAN_OPTIONS=leak_options(self.dir))
        if window_manager:
            rc = os.path.join(self.dir, "rc.xml")
            with open(rc, "w") as out:
                out.write(OPENBOX_RC)
            self.wm = spawn(["openbox", "--config-file", rc], env=self.env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.wait_for(lambda: "_NET_SUPPORTING_WM_CHECK" in self.tool("xprop", "-root"),
                          "openbox did not start", timeout=30, alive=self.wm)

    def processes(self):
        return [self.game, self.wm, self.server]

    def kill_display(self):
        self.server.send_signal(signal.SIGKILL)

    def windows(self, name):
        return (self.tool("xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(name)}$", ok=False)
                or "").split()

    def geometry(self, window):
        info = self.tool("xwininfo", "-id", window)
        value = lambda key: int(re.search(key + r":\s+(-?\d+)", info).group(1))
        return value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height")

    def key(self, *keys):
        self.tool("xdotool", "key", "--clearmodifiers", *keys)

    def click(self, x, y):
        # No --sync: it waits for a move that never comes when the pointer is already there.
        self.tool("xdotool", "mousemove", str(x), str(y), "click", "--delay", "0", "1")

    def focus(self, window):
        # Without a window manager nothing answers an activation request.
        self.tool("xdotool", "windowactivate" if self.wm else "windowfocus", "--sync", window, ok=False)

    def close_window(self, window):
        self.tool("wmctrl", "-i", "-c", window)

    def clear_clipboard(self):
        # xclip stays behind to own the clipboard until Qt takes it.
        spawn(["xclip", "-selection", "clipboard", "-i", "/dev/null"], env=self.env,
              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.05)

    def clipboard(self):
        return self.tool("xclip", "-selection", "clipboard", "-o", ok=False)

    def screenshot(self):
        return Screen(ImageGrab.grab(xdisplay=self.display))
