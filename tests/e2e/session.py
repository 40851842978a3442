"""What every end-to-end session offers: a display server or browser with the
real game in it, driven from outside as a player would. Each server or
browser is a thin adapter of its own module; the scenarios use only this.
"""
import atexit
import difflib
import glob
import io
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import numpy
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from window import CAPTION  # noqa: E402,F401  (the scenarios' and tools/screenshot's)

# Everything a test starts lives in SCRATCH, every program's temporary folder,
# and goes with every process it started when the test ends: at its end, on a
# signal, and when ctest's timeout kills it outright, then by a watcher
# outside its process tree that sees the pipe from the test close.
SCRATCH = tempfile.mkdtemp(prefix="zorbleck-test-")
os.chmod(SCRATCH, 0o711)  # a compositor run as nobody finds its own folder inside
os.environ["TMPDIR"] = tempfile.tempdir = SCRATCH
_spawned = []


def _signal_groups(groups, signum):
    for group in groups:
        try:
            os.killpg(group, signum)
        except (ProcessLookupError, PermissionError):
            pass


def remove_x_locks(owners):
    """What a killed X server of `owners` leaves: Xvfb's, GNOME Shell's XWayland's."""
    for lock in glob.glob("/tmp/.X*-lock"):
        try:
            with open(lock) as held:
                if int(held.read()) not in owners:
                    continue
        except (OSError, ValueError):
            continue
        for path in (lock, f"/tmp/.X11-unix/X{lock[len('/tmp/.X'):-len('-lock')]}"):
            if os.path.lexists(path):
                os.unlink(path)


def _start_watcher():
    read, write = os.pipe()  # neither end is inherited by what the test runs
    if os.fork() == 0:
        try:
            os.setsid()
            if os.fork() == 0:
                os.close(write)
                null = os.open(os.devnull, os.O_RDWR)
                for fd in (0, 1, 2):
                    os.dup2(null, fd)
                with os.fdopen(read) as pipe:
                    lines = [line.strip() for line in pipe]
                if "done" not in lines:
                    groups = [int(line) for line in lines]
                    _signal_groups(groups, signal.SIGTERM)
                    time.sleep(2)
                    _signal_groups(groups, signal.SIGKILL)
                    remove_x_locks(groups)
                    shutil.rmtree(SCRATCH, ignore_errors=True)
        finally:
            os._exit(0)
    os.close(read)
    os.wait()
    return os.fdopen(write, "w", buffering=1)


_watcher = _start_watcher()


def end_all(processes):
    """Ends each process as a player's desktop would, asking first, then what it
    left in its group (XWayland, a bus's services, a browser's children) and
    the X locks of its servers."""
    for process in processes:
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
    _signal_groups([process.pid for process in processes], signal.SIGKILL)
    remove_x_locks([process.pid for process in processes])


@atexit.register
def _clean_up():
    end_all(_spawned)
    shutil.rmtree(SCRATCH, ignore_errors=True)
    _watcher.write("done\n")


for _signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
    signal.signal(_signum, lambda signum, frame: sys.exit(128 + signum))


def spawn(args, **options):
    """Starts a process in a group of its own, which ends with the test."""
    process = subprocess.Popen(args, start_new_session=True, **options)
    _spawned.append(process)
    _watcher.write(f"{process.pid}\n")
    return process


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def command(*args, env=None, ok=True, binary=False, timeout=120, **options):
    """A tool's output; None if it fails and `ok` is False."""
    try:
        result = subprocess.run(args, env=env, capture_output=True, timeout=timeout, **options)
    except subprocess.TimeoutExpired:
        check(not ok, f"{args[0]} did not answer in {timeout} s")
        return None
    check(result.returncode == 0 or not ok, f"{' '.join(map(str, args))} failed: "
          f"{result.stderr.decode(errors='replace').strip()}")
    out = result.stdout if binary else result.stdout.decode(errors="replace")
    return out if result.returncode == 0 else None


def displayless(runtime_dir, drop=(), **settings):
    """The environment without the caller's display, compositor or session bus (Qt would keep trying it)."""
    gone = {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "SWAYSOCK", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR", *drop}
    env = {name: value for name, value in os.environ.items() if name not in gone}
    env.update(XDG_RUNTIME_DIR=runtime_dir, DBUS_SESSION_BUS_ADDRESS=f"unix:path={runtime_dir}/no-bus")
    env.update(settings)
    return env


def leak_options(directory, *options):
    """LSAN_OPTIONS without the system libraries' own leaks, from a copy of leaks.supp the game can read."""
    copy = os.path.join(directory, "leaks.supp")
    shutil.copy(os.path.join(os.path.dirname(os.path.abspath(__file__)), "leaks.supp"), copy)
    os.chmod(copy, 0o644)
    ours = ":".join([f"suppressions={copy}", "print_suppressions=0", *options])
    return ":".join(filter(None, [os.environ.get("LSAN_OPTIONS"), ours]))


def check_no_sanitizer_report(output):
    # The asan preset makes any of these end the game; the test fails with it.
    found = [marker for marker in ("ERROR: AddressSanitizer", "runtime error:", "ERROR: LeakSanitizer")
             if marker in output]
    check(not found, f"the game printed a sanitizer report ({found[0] if found else ''}):\n{output}")


class Screen:
    """A screenshot, read in process."""

    def __init__(self, image):
        self.image = image.convert("RGB")
        self.pixels = numpy.asarray(self.image)

    @classmethod
    def load(cls, data):
        """A picture file's bytes: PNG, PPM."""
        return cls(Image.open(io.BytesIO(data)))

    def pixel(self, x, y):
        return tuple(int(c) for c in self.pixels[y, x])

    def find(self, colour, area):
        """Bounding box of the pixels of exactly `colour` inside area (x, y, w, h)."""
        x, y, w, h = area
        x0, y0 = max(x, 0), max(y, 0)
        ys, xs = numpy.nonzero((self.pixels[y0:y + h, x0:x + w] == colour).all(axis=2))
        if not len(xs):
            return None
        return x0 + int(xs.min()), y0 + int(ys.min()), int(xs.max() - xs.min()) + 1, int(ys.max() - ys.min()) + 1


class Session:
    """A display server with the game in it. An adapter gives processes(),
    windows, geometry, focus, close_window, key (or press: one key down or
    up), click, screenshot and kill_display; its `dir` and `input` go with it."""

    game = env = input = dir = None

    def tool(self, *args, **options):
        return command(*args, env=self.env, **options)

    def game_command(self):
        return [self.binary]

    def start_game(self):
        self.game = spawn(self.game_command(), env=self.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        return self.game

    def stop_game(self):
        """Ends the game if it still runs and returns everything it printed."""
        if self.game.poll() is None:
            self.game.kill()
            self.game.wait()
        return self.game.stdout.read().decode(errors="replace")

    def processes(self):
        """Everything the session started, the game first."""
        return [self.game]

    def close(self):
        if self.input:
            self.input.close()
        end_all([process for process in self.processes() if process])
        if self.dir:
            shutil.rmtree(self.dir, ignore_errors=True)

    def wait_for(self, predicate, message, timeout=10.0, alive=None):
        """The first true value of `predicate`, while the process `alive` runs;
        `message` may be a function, asked at the end."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and not (alive and alive.poll() is not None):
            value = predicate()
            if value:
                return value
            time.sleep(0.05)
        said = message() if callable(message) else message
        raise Failure(f"{said} (it ended with status {alive.returncode})" if alive and alive.returncode is not None
                      else said)

    def wait_window(self, name, timeout=10.0):
        return self.wait_for(lambda: self.windows(name), f"no window named {name!r}", timeout)[0]

    def key(self, *keys):
        """Each combination ("ctrl+c") pressed in turn, its keys let go in reverse."""
        for combination in keys:
            names = combination.split("+")
            for name in names:
                self.press(name, True)
            for name in reversed(names):
                self.press(name, False)

    def clear_clipboard(self):
        self.tool("wl-copy", "--clear", ok=False, timeout=10)

    def clipboard(self):
        return self.tool("wl-paste", "--no-newline", ok=False, timeout=2)

    def read_box(self, title):
        """Waits for a message box, returns its text, and closes it with Enter."""
        window = self.wait_window(title, timeout=60.0)
        self.focus(window)
        text = self.copy_box(window, title)
        self.key("Return")
        self.wait_for(lambda: window not in self.windows(title), f"box {title!r} stayed open")
        parts = [p.strip() for p in text.split("---------------------------") if p.strip()]
        check(parts[0] == title, f"box titled {parts[0]!r}, expected {title!r}")
        return parts[1]

    def copy_box(self, window, title):
        """Its title, text and buttons between lines of dashes, as Ctrl+C copies them."""
        self.clear_clipboard()
        pressed = [0.0]

        def copied():  # keys that come before the box takes them are lost: pressed again
            if time.monotonic() - pressed[0] > 1:
                self.key("ctrl+c")
                pressed[0] = time.monotonic()
            return self.clipboard()

        return self.wait_for(copied, f"box {title!r} gave no text")

    def read_label(self, area, candidates, timeout=5.0, within=False):
        """The candidate that OCR reads in `area` once it shows (a loaded machine
        paints late); `within`: in a piece of it (a title among its buttons)."""
        seen = ""

        def closest():
            nonlocal seen
            x, y, w, h = area
            picture = io.BytesIO()
            self.screenshot().image.crop((x, y, x + w, y + h)).resize((3 * w, 3 * h), Image.BICUBIC).save(
                picture, "PNG")
            seen = " ".join(command("tesseract", "-", "-", input=picture.getvalue()).split())

            def score(text):
                text = text.strip()
                pieces = [seen[i:i + len(text)] for i in range(max(1, len(seen) - len(text) + 1))] if within else [seen]
                return max(difflib.SequenceMatcher(None, piece, text).ratio() for piece in pieces)

            best = max(candidates, key=score)
            return best if score(best) > 0.8 else None

        return self.wait_for(closest, lambda: f"label reads {seen!r}", timeout)


def run(make_session, play, seed=None):
    """Plays `play(session)` in a fresh session; returns the exit status."""
    session = None
    try:
        session = make_session()
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
