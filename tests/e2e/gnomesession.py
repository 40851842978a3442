"""A headless GNOME Shell with XWayland, on a session and a system bus of its
own. A test extension turns on the shell's unsafe mode, in which
org.gnome.Shell.Eval gives the seat a virtual keyboard and pointer (the
player's input, through the compositor), lists the windows and closes one as
its close button does; the shell's Screenshot method takes the pictures.
"""
import json
import os

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402
from PIL import Image  # noqa: E402

from desktopsession import DesktopSession  # noqa: E402
from session import Screen, check  # noqa: E402
from wlsession import keysym  # noqa: E402
from xsession import XSession  # noqa: E402

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
const { Clutter, GLib, Meta, Shell } = imports.gi;
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
    // A window is first listed at 0,0 without the focus, before the shell
    // places it and maps its actor: only a mapped one is on the screen.
    windows: title => global.get_window_actors().filter(a => a.is_mapped()).map(a => a.meta_window)
        .filter(w => w.get_title() === title && w.showing_on_its_workspace() && w.get_frame_rect().width)
        .map(w => String(w.get_id())),
    client(id) { const w = this.window(id); return rect(w.frame_rect_to_client_rect(w.get_frame_rect())); },
    about(id) {
        const w = this.window(id), app = Shell.WindowTracker.get_default().get_window_app(w);
        return { frame: rect(w.get_frame_rect()), x11: w.get_client_type() === Meta.WindowClientType.X11,
                 framed: w.decorated && !w.is_client_decorated(), app: app.get_id(), name: app.get_name() };
    },
    key(sym, down) {
        this.keyboard.notify_keyval(now(), sym, down ? Clutter.KeyState.PRESSED : Clutter.KeyState.RELEASED);
    },
    click(x, y) {
        const t = now();
        this.pointer.notify_absolute_motion(t, x, y);
        this.pointer.notify_button(t, Clutter.BUTTON_PRIMARY, Clutter.ButtonState.PRESSED);
        this.pointer.notify_button(t, Clutter.BUTTON_PRIMARY, Clutter.ButtonState.RELEASED);
    },
};
imports.ui.main.overview.hide();
return [GLib.getenv('DISPLAY'), GLib.getenv('XAUTHORITY'), GLib.getenv('WAYLAND_DISPLAY')];
})()"""


class GnomeSession(DesktopSession):
    def __init__(self, binary):
        super().__init__(binary, "GNOME", ("DBUS_SYSTEM_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS"),
                         GSETTINGS_BACKEND="keyfile", NO_AT_BRIDGE="1")
        display, authority, wayland = self.eval(HELPERS)
        check(display and wayland, f"gnome-shell gave no displays ({display}, {wayland})")
        self.env.update(DISPLAY=display, XAUTHORITY=authority, WAYLAND_DISPLAY=wayland)

    def shell_command(self):
        self.write(f"home/.local/share/gnome-shell/extensions/{EXTENSION}/metadata.json", json.dumps(
            {"uuid": EXTENSION, "name": "Unsafe mode", "description": "For tests", "shell-version": ["43"]}))
        self.write(f"home/.local/share/gnome-shell/extensions/{EXTENSION}/extension.js",
                   "function init() {}\nfunction enable() { global.context.unsafe_mode = true; }\n"
                   "function disable() {}\n")
        self.write("home/.config/glib-2.0/settings/keyfile", SETTINGS)
        return ["gnome-shell", "--headless", "--wayland", "--virtual-monitor", "1280x800"], {}

    def started(self):
        return self.eval("!imports.ui.main.layoutManager._startingUp && global.context.unsafe_mode")

    def eval(self, code):
        """The JSON value of `code` run in the shell."""
        ok, result = self.bus.call_sync(
            "org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval", GLib.Variant("(s)", (code,)),
            GLib.VariantType("(bs)"), Gio.DBusCallFlags.NONE, 10000, None).unpack()
        check(ok, f"the shell could not run {code[:60]!r}: {result}")
        return json.loads(result) if result else None

    def windows(self, name):
        return self.eval(f"global.zorbleck.windows({json.dumps(name)})")

    def geometry(self, window):
        return tuple(self.eval(f"global.zorbleck.client('{window}')"))

    def about(self, window):
        """Its frame, whether it is an X11 window that GNOME frames, and the application shown for it."""
        return self.eval(f"global.zorbleck.about('{window}')")

    def focus(self, window):
        self.eval(f"global.zorbleck.window('{window}').activate(global.display.get_current_time_roundtrip())")
        self.wait_for(lambda: self.eval(f"global.zorbleck.window('{window}').has_focus()"),
                      f"window {window} took no focus")
        # A round trip to XWayland: the focus is its before any key that follows.
        self.eval("global.display.get_current_time_roundtrip()")

    def close_window(self, window):
        self.eval(f"global.zorbleck.window('{window}').delete(global.display.get_current_time_roundtrip())")

    def press(self, name, down):
        self.eval(f"global.zorbleck.key({keysym(name)}, {json.dumps(down)})")

    def click(self, x, y):
        self.eval(f"global.zorbleck.click({x}, {y})")

    # The game is an X11 client here: Ctrl+C on a box copies to XWayland's clipboard.
    clear_clipboard, clipboard = XSession.clear_clipboard, XSession.clipboard

    def screenshot(self):
        path = os.path.join(self.dir, "shot.png")
        self.bus.call_sync("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                           "org.gnome.Shell.Screenshot", "Screenshot", GLib.Variant("(bbs)", (False, False, path)),
                           GLib.VariantType("(bs)"), Gio.DBusCallFlags.NONE, 10000, None)
        with Image.open(path) as image:
            shot = Screen(image)
        os.remove(path)
        return shot
