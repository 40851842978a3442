"""A real X server with the game in it, driven by real input.

Everything goes through the X server as a player's actions would: xdotool
for the mouse and keyboard, screenshots for what is on the screen, and
Ctrl+C on a message box (Qt copies a box's title and text) to read it.
"""
import difflib
import os
import re
import subprocess
import tempfile
import time

CAPTION = "Vemmo's Zorbleck!"


# What a sanitized build prints when it finds a fault; the asan preset makes
# any of them end the game, and the test must fail with it.
SANITIZER_REPORTS = ("ERROR: AddressSanitizer", "runtime error:", "ERROR: LeakSanitizer")


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def check_no_sanitizer_report(output):
    found = [marker for marker in SANITIZER_REPORTS if marker in output]
    check(not found, f"the game printed a sanitizer report ({found[0] if found else ''}):\n{output}")


class XSession:
    def __init__(self, binary, window_manager=False):
        self.binary = binary
        self.runtime_dir = tempfile.mkdtemp(prefix="zorbleck-e2e-")
        read, write = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            display = pipe.readline().strip()
        check(display, "Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + display, QT_QPA_PLATFORM="xcb",
                        XDG_RUNTIME_DIR=self.runtime_dir,
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
            self.wm = subprocess.Popen(["openbox", "--config-file", self._openbox_rc()],
                                       env=self.env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
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

    def start_game(self):
        self.game = subprocess.Popen([self.binary], env=self.env,
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.started = time.monotonic()
        return self.game

    def stop_game(self):
        """Ends the game if it still runs and returns everything it printed."""
        if self.game.poll() is None:
            self.game.kill()
            self.game.wait()
        return self.game.stdout.read().decode(errors="replace")

    def close(self):
        for process in (self.game, self.wm, self.server):
            if process and process.poll() is None:
                process.kill()
                process.wait()

    def x(self, *args, check_rc=True):
        result = subprocess.run(args, env=self.env, capture_output=True, text=True)
        if check_rc and result.returncode != 0:
            raise Failure(f"{args[0]} failed: {result.stderr.strip()}")
        return result.stdout

    def wait_for(self, predicate, message, timeout=10.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = predicate()
            if value:
                return value
            time.sleep(0.05)
        raise Failure(message)

    def windows(self, name):
        out = self.x("xdotool", "search", "--onlyvisible", "--name", "^" + re.escape(name) + "$",
                     check_rc=False)
        return out.split()

    def wait_window(self, name, timeout=10.0):
        return self.wait_for(lambda: self.windows(name), f"no window named {name!r}", timeout)[0]

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

    def read_box(self, title):
        """Waits for a message box, returns its text, and closes it with Enter."""
        window = self.wait_window(title, timeout=60.0)
        self.x("xdotool", "windowfocus", "--sync", window, check_rc=False)
        # Empty the clipboard first (xclip stays behind to own it until Qt takes it).
        subprocess.Popen(["xclip", "-selection", "clipboard", "-i", "/dev/null"], env=self.env,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.05)
        self.key("ctrl+c")
        text = self.wait_for(lambda: self.x("xclip", "-selection", "clipboard", "-o", check_rc=False),
                             f"box {title!r} gave no text")
        self.key("Return")
        self.wait_for(lambda: window not in self.windows(title), f"box {title!r} stayed open")
        parts = [p.strip() for p in text.split("---------------------------") if p.strip()]
        check(parts[0] == title, f"box titled {parts[0]!r}, expected {title!r}")
        return parts[1]

    def read_label(self, area, candidates):
        """Reads a label by OCR and returns the candidate text closest to it."""
        x, y, w, h = area
        png = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "-resize", "300%", "png:-"],
                             env=self.env, capture_output=True, check=True).stdout
        seen = subprocess.run(["tesseract", "-", "-"], input=png, capture_output=True, check=True).stdout
        seen = " ".join(seen.decode().split())
        score = lambda text: difflib.SequenceMatcher(None, seen, text.strip()).ratio()
        best = max(candidates, key=score)
        check(score(best) > 0.8, f"label reads {seen!r}")
        return best

    def screenshot(self):
        raw = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                             env=self.env, capture_output=True, check=True).stdout
        return Screen(raw, 1024, 768)


def run(binary, play, window_manager=False, seed=None):
    """Plays `play(session)` in a fresh X session and prints the closing line;
    returns the exit status."""
    session = None
    try:
        session = XSession(binary, window_manager=window_manager)
        play(session)
    except Failure as failure:
        print(f"FAIL{'' if seed is None else f' (seed {seed})'}: {failure}")
        if session and session.game:
            print("the game's output:\n" + session.stop_game()[-4000:])
        return 1
    finally:
        if session:
            session.close()
    print("1 passed, 0 failed")
    return 0


class Screen:
    def __init__(self, raw, width, height):
        self.raw, self.width, self.height = raw, width, height

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.raw[i:i + 3])

    def find(self, colour, area):
        """Bounding box of the pixels of exactly `colour` inside area (x, y, w, h)."""
        needle = bytes(colour)
        ax, ay, aw, ah = area
        xs, ys = [], []
        for y in range(ay, ay + ah):
            row = self.raw[(y * self.width + ax) * 3:(y * self.width + ax + aw) * 3]
            first = row.find(needle)
            while first >= 0 and first % 3:  # a match must start on a pixel
                first = row.find(needle, first + 1)
            if first < 0:
                continue
            last = row.rfind(needle)
            while last % 3:
                last = row.rfind(needle, 0, last + 2)
            xs += [ax + first // 3, ax + last // 3]
            ys.append(y)
        if not xs:
            return None
        return min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1
