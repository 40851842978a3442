"""A headless GNOME Shell with the game in it, driven by real input.

gnome-shell runs headless on a virtual monitor, with XWayland, on a session
and a system bus of its own, and the game starts as a GNOME session would
start it, left to choose its platform itself. A test extension turns on the
shell's unsafe mode, in which org.gnome.Shell.Eval gives the seat a virtual
keyboard and pointer (the player's input, through the compositor), lists the
windows and closes one as its close button does; the shell's Screenshot
method takes the pictures and its clipboard gives what Ctrl+C on a box copied.
"""
import glob
import json
import os
import shutil
import signal
import subprocess
import tempfile

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

from PIL import Image  # noqa: E402

from session import Failure, Screen, Session, check, displayless, leak_options, remove_x_locks, spawn  # noqa: E402
from wlsession import keysym  # noqa: E402

DESKTOP_ID = "io.github.zorbleck.Zorbleck"
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")
EXTENSION = "unsafe@e2e.zorbleck"

# No banners, animations, hot corner or blank screen: nothing of the shell's
# own may cover, delay or move what the test looks at.
SETTINGS = f"""\
[org/gnome/shell]
enabled-extensions=['{EXTENSION}']
welcome-dialog-last-shown-version='999'
[org/gnome/desktop/notifications]
show-banners=false
[org/gnome/desktop/interface]
enable-animations=false
enable-hot-corners=false
[org/gnome/desktop/session]
idle-delay=uint32 0
"""

# Kept in `global`: a virtual device that is collected drops its events.
HELPERS = """(() => {
const { Clutter, GLib, Meta, Shell, St } = imports.gi;
const seat = Clutter.get_default_backend().get_default_seat();
const now = () => GLib.get_monotonic_time();
const rect = r => [r.x, r.y, r.width, r.height];
global.zorbleck = {
    keyboard: seat.create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE),
    pointer: seat.create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE),
    window(id) {
        const actor = global.get_window_actors().find(a => String(a.meta_window.get_id()) === id);
        if (!actor) throw new Error(`window ${id} is gone`);
        return actor.meta_window;
    },
    windows: title => global.get_window_actors().map(a => a.meta_window)
        .filter(w => w.get_title() === title && w.showing_on_its_workspace() && w.get_frame_rect().width)
        .map(w => String(w.get_id())),
    client(id) { const w = this.window(id); return rect(w.frame_rect_to_client_rect(w.get_frame_rect())); },
    about(id) {
        const w = this.window(id), app = Shell.WindowTracker.get_default().get_window_app(w);
        return { frame: rect(w.get_frame_rect()), x11: w.get_client_type() === Meta.WindowClientType.X11,
                 framed: w.decorated && !w.is_client_decorated(), app: app.get_id(), name: app.get_name() };
    },
    keys(syms) {
        const t = now();
        syms.forEach(s => this.keyboard.notify_keyval(t, s, Clutter.KeyState.PRESSED));
        syms.reverse().forEach(s => this.keyboard.notify_keyval(t, s, Clutter.KeyState.RELEASED));
    },
    click(x, y) {
        const t = now();
        this.pointer.notify_absolute_motion(t, x, y);
        this.pointer.notify_button(t, Clutter.BUTTON_PRIMARY, Clutter.ButtonState.PRESSED);
        this.pointer.notify_button(t, Clutter.BUTTON_PRIMARY, Clutter.ButtonState.RELEASED);
    },
    copied: null,
    copy() {
        this.copied = null;
        St.Clipboard.get_default().get_text(St.ClipboardType.CLIPBOARD, (_, text) => { this.copied = text || ''; });
    },
};
imports.ui.main.overview.hide();
return [GLib.getenv('DISPLAY'), GLib.getenv('XAUTHORITY'), GLib.getenv('WAYLAND_DISPLAY')];
})()"""


class GnomeSession(Session):
    def __init__(self, binary):
        self.binary = binary
        self.dir = tempfile.mkdtemp(prefix="zorbleck-gnome-")
        home, runtime = os.path.join(self.dir, "home"), os.path.join(self.dir, "run")
        os.mkdir(runtime, 0o700)  # fresh: a crash leaves a file there that turns extensions off
        self._write(f"home/.local/share/gnome-shell/extensions/{EXTENSION}/metadata.json", json.dumps(
            {"uuid": EXTENSION, "name": "Unsafe mode", "description": "For tests", "shell-version": ["43"]}))
        self._write(f"home/.local/share/gnome-shell/extensions/{EXTENSION}/extension.js",
                    "function init() {}\nfunction enable() { global.context.unsafe_mode = true; }\n"
                    "function disable() {}\n")
        self._write("home/.config/glib-2.0/settings/keyfile", SETTINGS)
        self.install_entry(binary)

        self.env = displayless(runtime, ("XDG_CONFIG_HOME", "XDG_DATA_HOME"), HOME=home, XDG_SESSION_TYPE="wayland",
                               XDG_CURRENT_DESKTOP="GNOME", GSETTINGS_BACKEND="keyfile", NO_AT_BRIDGE="1",
                               LSAN_OPTIONS=leak_options(self.dir, "fast_unwind_on_malloc=0"))
        self.buses, self.shell = [], None
        try:
            for name in ("DBUS_SYSTEM_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS"):
                self.env[name] = self._bus()
            self.shell = spawn(
                ["gnome-shell", "--headless", "--wayland", "--virtual-monitor", "1280x800"],
                env=self.env, stdin=subprocess.DEVNULL,
                stdout=open(os.path.join(self.dir, "shell.log"), "wb"), stderr=subprocess.STDOUT)
            self.bus = Gio.DBusConnection.new_for_address_sync(
                self.env["DBUS_SESSION_BUS_ADDRESS"],
                Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
            self.wait_for(self._started, "gnome-shell did not start: " + self._log(), timeout=60)
            display, authority, wayland = self.eval(HELPERS)
            check(display and wayland, f"gnome-shell gave no displays ({display}, {wayland})")
            self.env.update(DISPLAY=display, XAUTHORITY=authority, WAYLAND_DISPLAY=wayland)
        except Exception:
            self.close()
            raise

    def install_entry(self, binary):
        """The desktop file and icon, as the package installs them, so that
        the desktop knows the game; it passes over an entry whose program is
        not to be found."""
        with open(os.path.join(DATA, f"{DESKTOP_ID}.desktop")) as entry:
            self._write(f"home/.local/share/applications/{DESKTOP_ID}.desktop",
                        entry.read().replace("Exec=zorbleck", "Exec=" + os.path.abspath(binary)))
        with open(os.path.join(DATA, "icons", "48.png"), "rb") as icon:
            self._write(f"home/.local/share/icons/hicolor/48x48/apps/{DESKTOP_ID}.png", icon.read())

    def _write(self, path, content):
        path = os.path.join(self.dir, path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb" if isinstance(content, bytes) else "w") as out:
            out.write(content)

    def _bus(self):
        bus = spawn(["dbus-daemon", "--config-file=/usr/share/dbus-1/session.conf", "--nofork",
                     f"--address=unix:dir={self.dir}", "--print-address"],
                    env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.buses.append(bus)
        address = bus.stdout.readline().strip()
        check(address, "dbus-daemon did not start")
        return address

    def _log(self):
        with open(os.path.join(self.dir, "shell.log"), errors="replace") as log:
            return log.read()[-2000:]

    def _started(self):
        check(self.shell.poll() is None, f"gnome-shell ended with status {self.shell.returncode}: {self._log()}")
        try:
            return self.eval("!imports.ui.main.layoutManager._startingUp && global.context.unsafe_mode")
        except (Failure, GLib.Error):
            return False

    def eval(self, code):
        """The JSON value of `code` run in the shell."""
        ok, result = self.bus.call_sync(
            "org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval", GLib.Variant("(s)", (code,)),
            GLib.VariantType("(bs)"), Gio.DBusCallFlags.NONE, 10000, None).unpack()
        check(ok, f"the shell could not run {code[:60]!r}: {result}")
        return json.loads(result) if result else None

    def processes(self):
        return [self.game, self.shell, *self.buses]

    def close(self):
        if self.game and self.game.poll() is None:
            self.game.kill()
            self.game.wait()
        if self.shell and self.shell.poll() is None:
            self.shell.terminate()  # it takes XWayland down and removes its locks
            try:
                self.shell.wait(timeout=15)
            except subprocess.TimeoutExpired:
                pass
        # Each group holds what its process started: XWayland, the services
        # that a bus started on demand.
        for process in filter(None, [self.shell, *self.buses]):
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait()
            if process.stdout:
                process.stdout.close()
        if self.shell:  # a shell that did not end cleanly leaves XWayland's locks
            remove_x_locks([lock[7:-5] for lock in glob.glob("/tmp/.X*-lock")], owner=self.shell.pid)
        shutil.rmtree(self.dir, ignore_errors=True)

    def windows(self, name):
        return self.eval(f"global.zorbleck.windows({json.dumps(name)})")

    def geometry(self, window):
        return tuple(self.eval(f"global.zorbleck.client('{window}')"))

    def about(self, window):
        """Where the window's frame stands, whether it is an X11 window that
        GNOME frames, and the application GNOME shows for it."""
        return self.eval(f"global.zorbleck.about('{window}')")

    def focus(self, window):
        self.eval(f"global.zorbleck.window('{window}').activate(global.display.get_current_time_roundtrip())")
        self.wait_for(lambda: self.eval(f"global.zorbleck.window('{window}').has_focus()"),
                      f"window {window} took no focus")
        # A round trip to XWayland: the focus is its before any key that follows.
        self.eval("global.display.get_current_time_roundtrip()")

    def close_window(self, window):
        self.eval(f"global.zorbleck.window('{window}').delete(global.display.get_current_time_roundtrip())")

    def key(self, *keys):
        for combination in keys:
            self.eval(f"global.zorbleck.keys({[keysym(name) for name in combination.split('+')]})")

    def click(self, x, y):
        self.eval(f"global.zorbleck.click({x}, {y})")

    def clear_clipboard(self):
        self.eval("imports.gi.St.Clipboard.get_default().set_text(imports.gi.St.ClipboardType.CLIPBOARD, '')")

    def clipboard(self):
        self.eval("global.zorbleck.copy()")
        copied = "global.zorbleck.copied === null ? null : [global.zorbleck.copied]"
        return self.wait_for(lambda: self.eval(copied), "the clipboard did not answer", 5)[0]

    def screenshot(self):
        path = os.path.join(self.dir, "shot.png")
        self.bus.call_sync("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                           "org.gnome.Shell.Screenshot", "Screenshot", GLib.Variant("(bbs)", (False, False, path)),
                           GLib.VariantType("(bs)"), Gio.DBusCallFlags.NONE, 10000, None)
        with Image.open(path) as image:
            shot = Screen(image)
        os.remove(path)
        return shot
