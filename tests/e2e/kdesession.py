"""A headless KWin (KDE Plasma's compositor) with its Breeze frames, on a
session bus of its own. Input goes through KWin's fake input protocol,
spoken here by a small Wayland client of its own; KWin scripts list and
close the windows and print what they find into KWin's log; its ScreenShot2
method takes the pictures. KWin's permission checks on both are off.
"""
import json
import os
import shutil
import struct

from gi.repository import Gio, GLib
from PIL import Image

from desktopsession import DESKTOP_ID, DesktopSession
from session import Failure, Screen, check
from wlsession import Connection

# Linux input codes of the keys and the button the scenarios press.
KEYCODES = {"Return": 28, "space": 57, "Tab": 15, "Escape": 1, "ctrl": 29, "shift": 42, "alt": 56, "c": 46}
LEFT_BUTTON = 0x110

# KWin scripts: what they print follows a marker in KWin's log.
LIST = """
const rect = g => [g.x, g.y, g.width, g.height];
print(JSON.stringify(workspace.clientList().map(c => ({id: c.internalId.toString(), caption: c.caption,
    frame: rect(c.frameGeometry), client: rect(c.bufferGeometry), app: c.desktopFileName, framed: !c.noBorder, active: c.active}))));
"""
ACT = """
const c = workspace.clientList().find(c => c.internalId.toString() === %s);
if (c) { %s }
print(JSON.stringify(!!c));
"""


class FakeInput(Connection):
    """Just enough of a Wayland client for KWin's org_kde_kwin_fake_input."""

    def __init__(self, path):
        super().__init__(path)
        self._send(1, 1, struct.pack("<I", 2))  # wl_display.get_registry -> 2
        found = None
        for name, interface, version in self._globals():
            if interface == "org_kde_kwin_fake_input":
                found = name, min(version, 4)
        check(found, "KWin offers no fake input")
        self._send(2, 0, struct.pack("<I", found[0]) + self._string("org_kde_kwin_fake_input")
                   + struct.pack("<II", found[1], 4))  # wl_registry.bind -> 4
        self._send(4, 0, self._string("zorbleck e2e") + self._string("plays the game"))  # authenticate

    @staticmethod
    def _string(text):
        data = text.encode() + b"\0"
        return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)

    def _send(self, target, opcode, arguments=b""):
        self.socket.sendall(struct.pack("<II", target, (8 + len(arguments)) << 16 | opcode) + arguments)

    def _globals(self):
        self._send(1, 0, struct.pack("<I", 3))  # wl_display.sync -> 3, done once every global is told
        while True:
            target, word = struct.unpack("<II", self.receive(8))
            body = self.receive((word >> 16) - 8)
            if target == 3:
                return
            if target == 2 and word & 0xffff == 0:  # wl_registry.global
                length = struct.unpack("<I", body[4:8])[0]
                yield (struct.unpack("<I", body[:4])[0], body[8:7 + length].decode(),
                       struct.unpack("<I", body[8 + length + (-length % 4):][:4])[0])

    def click(self, x, y):
        self._send(4, 9, struct.pack("<ii", x * 256, y * 256))  # pointer_motion_absolute
        for state in (1, 0):
            self._send(4, 2, struct.pack("<II", LEFT_BUTTON, state))

    def key(self, code, down):
        self._send(4, 10, struct.pack("<II", code, int(down)))


class KdeSession(DesktopSession):
    asked = 0

    def __init__(self, binary):
        super().__init__(binary, "KDE", KDE_FULL_SESSION="true")
        self.env["WAYLAND_DISPLAY"] = "wayland-0"
        self.input = FakeInput(os.path.join(self.runtime, "wayland-0"))

    def shell_command(self):
        # kwin_wayland carries a file capability that a container may not
        # grant, and then cannot start at all; a copy carries none.
        kwin = os.path.join(self.dir, "kwin_wayland")
        shutil.copy(shutil.which("kwin_wayland"), kwin)
        return ([kwin, "--virtual", "--width", "1280", "--height", "800", "--no-lockscreen", "--no-global-shortcuts",
                 "--no-kactivities", "--socket", "wayland-0"],
                dict(KWIN_WAYLAND_NO_PERMISSION_CHECKS="1", KWIN_SCREENSHOT_NO_PERMISSION_CHECKS="1"))

    def started(self):
        return self.script(LIST) is not None

    def script(self, code):
        """Runs a KWin script and returns the JSON it printed after its marker."""
        self.asked += 1
        marker = f"zorbleck-{self.asked} "
        path = os.path.join(self.dir, "script.js")
        with open(path, "w") as out:
            out.write(code.replace("print(", f"print({json.dumps(marker)} + ", 1))
        call = lambda method, *args: self.bus.call_sync(
            "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", method,
            GLib.Variant(f"({'s' * len(args)})", args) if args else None, None, Gio.DBusCallFlags.NONE, 10000, None)
        call("loadScript", path, marker.strip())
        try:
            call("start")

            def printed():
                with open(self.log, errors="replace") as log:
                    for line in log:
                        if marker in line:
                            return [json.loads(line.split(marker, 1)[1])]
                return None
            return self.wait_for(printed, f"the KWin script gave nothing: {self.shell_log()}", 5)[0]
        finally:
            call("unloadScript", marker.strip())

    def _window(self, window):
        for seen in self.script(LIST):
            if seen["id"] == window:
                return seen
        raise Failure(f"window {window} is gone")

    def windows(self, name):
        return [seen["id"] for seen in self.script(LIST) if seen["caption"] == name]

    def geometry(self, window):
        return tuple(self._window(window)["client"])

    def about(self, window):
        seen = self._window(window)
        return dict(seen, x11=False, app=seen["app"] + ".desktop", name="Zorbleck" if seen["app"] == DESKTOP_ID
                    else seen["app"])

    def _act(self, window, action):
        check(self.script(ACT % (json.dumps(window), action)), f"window {window} is gone")

    def focus(self, window):
        self._act(window, "workspace.activeClient = c;")
        self.wait_for(lambda: self._window(window)["active"], f"window {window} took no focus")

    def close_window(self, window):
        self._act(window, "c.closeWindow();")

    def press(self, name, down):
        self.input.key(KEYCODES[name], down)

    def click(self, x, y):
        self.input.click(x, y)

    def screenshot(self):
        read, write = os.pipe()
        with os.fdopen(read, "rb") as pipe:
            fds = Gio.UnixFDList.new_from_array([write])  # which owns `write` now
            reply, _ = self.bus.call_with_unix_fd_list_sync(
                "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureArea",
                GLib.Variant("(iiuua{sv}h)", (0, 0, 1280, 800, {}, 0)), GLib.VariantType("(a{sv})"),
                Gio.DBusCallFlags.NONE, 10000, fds, None)
            fds.steal_fds()
            os.close(write)
            info = reply.unpack()[0]
            width, height, stride = info["width"], info["height"], info["stride"]
            data = pipe.read(stride * height)
        check(len(data) == stride * height, "KWin's screenshot came short")
        return Screen(Image.frombuffer("RGB", (width, height), data, "raw", "BGRX", stride))
