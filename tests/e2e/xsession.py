"""A real X server with the game in it, driven by real input.

Everything goes through the X server as a player's actions would: xdotool
for the mouse and keyboard, screenshots for what is on the screen, and
Ctrl+C on a message box (Qt copies a box's title and text) to read it.
"""
import os
import re
import signal
import subprocess
import tempfile
import time

from session import Failure, Screen, Session, check, leak_options, spawn, track_display


class XSession(Session):
    def __init__(self, binary, window_manager=False):
        self.binary = binary
        self.runtime_dir = tempfile.mkdtemp(prefix="zorbleck-e2e-")
        read, write = os.pipe()
        # No autorepeat: on a loaded machine the release of a key sent from
        # here may come late, and a repeat would press it again.
        self.server = spawn(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                             "-r"],
                            pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            display = pipe.readline().strip()
        check(display, "Xvfb did not start")
        track_display(int(display))
        self.env = dict(os.environ, DISPLAY=":" + display, QT_QPA_PLATFORM="xcb",
                        XDG_RUNTIME_DIR=self.runtime_dir, LSAN_OPTIONS=leak_options(self.runtime_dir),
                        # No session bus here; Qt would otherwise keep trying.
                        DBUS_SESSION_BUS_ADDRESS="unix:path=" + self.runtime_dir + "/no-bus")
        self.env.pop("QT_SCALE_FACTOR", None)
        self.wm = None
        self.game = None
        try:
            self._start_window_manager(window_manager)
        except Exception:
            self.close()
            raise

    def _start_window_manager(self, window_manager):
        if window_manager:
            self.wm = spawn(["openbox", "--config-file", self._openbox_rc()], env=self.env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.wait_for(lambda: "_NET_SUPPORTING_WM_CHECK" in self.x("xprop", "-root"),
                          "openbox did not start", timeout=30)

    def _openbox_rc(self):
        # No mouse bindings on client windows: click-to-focus would swallow
        # fast clicks on the boxes.
        path = os.path.join(self.runtime_dir, "rc.xml")
        with open(path, "w") as rc:
            rc.write('<?xml version="1.0"?><openbox_config xmlns="http://openbox.org/3.4/rc">'
                     '<focus><focusNew>yes</focusNew></focus>'
                     '<keyboard><keybind key="A-F4"><action name="Close"/></keybind></keyboard>'
                     '<mouse></mouse></openbox_config>')
        return path

    def processes(self):
        return [self.game, self.wm, self.server]

    def kill_display(self):
        self.server.send_signal(signal.SIGKILL)

    def x(self, *args, check_rc=True):
        result = subprocess.run(args, env=self.env, capture_output=True, text=True)
        if check_rc and result.returncode != 0:
            raise Failure(f"{args[0]} failed: {result.stderr.strip()}")
        return result.stdout

    def windows(self, name):
        out = self.x("xdotool", "search", "--onlyvisible", "--name", "^" + re.escape(name) + "$",
                     check_rc=False)
        return out.split()

    def geometry(self, window):
        info = self.x("xwininfo", "-id", window)
        value = lambda key: int(re.search(key + r":\s+(-?\d+)", info).group(1))
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"),
                value("Width"), value("Height"))

    def key(self, *keys):
        self.x("xdotool", "key", "--clearmodifiers", *keys)

    def click(self, x, y):
        # No --sync: it waits for a move that never comes when the pointer is already there.
        self.x("xdotool", "mousemove", str(x), str(y), "click", "--delay", "0", "1")

    def focus(self, window):
        # Without a window manager nothing answers an activation request.
        how = "windowactivate" if self.wm else "windowfocus"
        self.x("xdotool", how, "--sync", window, check_rc=False)

    def close_window(self, window):
        self.x("wmctrl", "-i", "-c", window)

    def clear_clipboard(self):
        # xclip stays behind to own the clipboard until Qt takes it.
        spawn(["xclip", "-selection", "clipboard", "-i", "/dev/null"], env=self.env,
              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.05)

    def clipboard(self):
        return self.x("xclip", "-selection", "clipboard", "-o", check_rc=False)

    def screenshot(self):
        raw = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                             env=self.env, capture_output=True, check=True).stdout
        return Screen(raw, 1024, 768)
