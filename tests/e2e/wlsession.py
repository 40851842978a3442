"""A real Wayland compositor with the game in it, driven by real input.

sway runs headless and the game talks to it through Qt's own wayland
platform. Input comes from outside the game as a player's would: wayvnc
turns a VNC client's pointer and key events into a virtual pointer and
keyboard of the seat. swaymsg tells the windows and where they stand, grim
takes the screenshots, and wl-paste reads what Ctrl+C on a box copied.

sway refuses to run as root, so as root the compositor and the game run as
`nobody`, from a copy of the binary in a directory that user owns: the
build tree may be out of its reach (a clone under /root, say).
"""
import glob
import json
import os
import shutil
import signal
import socket
import struct
import subprocess
import tempfile

from session import Failure, Screen, Session, check, displayless, leak_options, spawn

SWAY_CONFIG = """\
output HEADLESS-1 mode 1024x768 position 0 0
# No frames: the window's client area is all there is to see.
default_border none
default_floating_border none
focus_follows_mouse no
seat * hide_cursor 100
xwayland disable
"""

# X keysyms of the keys the scenarios press; a single character is its own.
KEYSYMS = {"Return": 0xff0d, "KP_Enter": 0xff8d, "space": 0x20, "Tab": 0xff09, "Escape": 0xff1b,
           "Up": 0xff52, "Down": 0xff54, "Left": 0xff51, "Right": 0xff53, "Home": 0xff50, "End": 0xff57,
           "ISO_Left_Tab": 0xfe20, "F4": 0xffc1, "ctrl": 0xffe3, "shift": 0xffe1, "alt": 0xffe9}


def keysym(name):
    return KEYSYMS[name] if name in KEYSYMS else ord(name)


class Vnc:
    """Just enough of a VNC client to send input: no security, no pictures."""

    def __init__(self, path):
        self.socket = socket.socket(socket.AF_UNIX)
        self.socket.settimeout(10)
        self.socket.connect(path)
        version = self._receive(12)
        check(version.startswith(b"RFB 003."), f"not a VNC server: {version!r}")
        self.socket.sendall(b"RFB 003.008\n")
        types = self._receive(self._receive(1)[0])
        check(1 in types, f"the VNC server wants a password (security types {list(types)})")
        self.socket.sendall(b"\x01")
        check(struct.unpack(">I", self._receive(4))[0] == 0, "the VNC server refused the connection")
        self.socket.sendall(b"\x01")  # shared
        self._receive(20)  # size and pixel format
        self._receive(struct.unpack(">I", self._receive(4))[0])  # desktop name

    def _receive(self, size):
        data = b""
        while len(data) < size:
            chunk = self.socket.recv(size - len(data))
            check(chunk, "the VNC server hung up")
            data += chunk
        return data

    def pointer(self, x, y, buttons=0):
        self.socket.sendall(struct.pack(">BBHH", 5, buttons, x, y))

    def key(self, name, down):
        self.socket.sendall(struct.pack(">BBxxI", 4, int(down), keysym(name)))

    def close(self):
        self.socket.close()


class WaylandSession(Session):
    def __init__(self, binary):
        self.dir = tempfile.mkdtemp(prefix="zorbleck-wl-")
        self.as_user = []
        if os.geteuid() == 0:
            self.as_user = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
            shutil.chown(self.dir, "nobody", "nogroup")
        os.chmod(self.dir, 0o700)
        self.binary = os.path.join(self.dir, "zorbleck")
        shutil.copy(binary, self.binary)
        os.chmod(self.binary, 0o755)
        config = os.path.join(self.dir, "sway.config")
        with open(config, "w") as out:
            out.write(SWAY_CONFIG)
        vnc_config = os.path.join(self.dir, "wayvnc.config")
        open(vnc_config, "w").close()
        for path in (config, vnc_config):
            os.chmod(path, 0o644)
        check(subprocess.run(self.as_user + ["test", "-x", self.binary]).returncode == 0,
              f"{self.binary} is out of the compositor user's reach")

        base = displayless(self.dir, HOME=self.dir, LSAN_OPTIONS=leak_options(self.dir, "fast_unwind_on_malloc=0"))
        self.sway = self.vnc = self.wayvnc = None
        try:
            self.sway = spawn(
                self.as_user + ["sway", "--config", config],
                env=dict(base, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman"),
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.wait_for(self._sockets, "sway did not start", timeout=30)
            display, ipc = self._sockets()
            self.env = dict(base, WAYLAND_DISPLAY=display, SWAYSOCK=ipc, QT_QPA_PLATFORM="wayland")
            self.wait_for(lambda: self.tool("swaymsg", "-t", "get_outputs", ok=False),
                          "sway does not answer", timeout=30)
            vnc_socket = os.path.join(self.dir, "vnc")
            self.wayvnc = spawn(self.as_user + ["wayvnc", "--config", vnc_config, "--unix-socket", vnc_socket],
                                env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.vnc = self.wait_for(lambda: self._connect(vnc_socket), "wayvnc did not start", timeout=30)
        except Exception:
            self.close()
            raise

    def _sockets(self):
        displays = [p for p in glob.glob(os.path.join(self.dir, "wayland-*")) if not p.endswith(".lock")]
        ipc = glob.glob(os.path.join(self.dir, "sway-ipc.*.sock"))
        check(self.sway.poll() is None, f"sway ended with status {self.sway.returncode}")
        return displays and ipc and (os.path.basename(displays[0]), ipc[0])

    def _connect(self, path):
        check(self.wayvnc.poll() is None, f"wayvnc ended with status {self.wayvnc.returncode}")
        try:
            return Vnc(path)
        except OSError:
            return None

    def game_command(self):
        return self.as_user + [self.binary]

    def processes(self):
        return [self.game, self.wayvnc, self.sway]

    def close(self):
        if self.vnc:
            self.vnc.close()
        super().close()
        shutil.rmtree(self.dir, ignore_errors=True)

    def kill_display(self):
        self.sway.send_signal(signal.SIGKILL)

    def _views(self):
        """The compositor's windows, whatever their layout."""
        pending = [json.loads(self.tool("swaymsg", "-t", "get_tree"))]
        while pending:
            node = pending.pop()
            if node["type"] in ("con", "floating_con") and node.get("pid"):
                yield node
            pending += node.get("nodes", []) + node.get("floating_nodes", [])

    def windows(self, name):
        return [str(node["id"]) for node in self._views() if node["name"] == name]

    def geometry(self, window):
        for node in self._views():
            if str(node["id"]) == window:
                outer, inner = node["rect"], node["window_rect"]
                return (outer["x"] + inner["x"], outer["y"] + inner["y"], inner["width"], inner["height"])
        raise Failure(f"window {window} is gone")

    def focus(self, window):
        self.tool("swaymsg", f"[con_id={window}]", "focus", ok=False)

    def close_window(self, window):
        self.tool("swaymsg", f"[con_id={window}]", "kill")

    def key(self, *keys):
        for combination in keys:
            names = combination.split("+")
            # A VNC client sends what the key gives: Shift+Tab gives ISO_Left_Tab,
            # and a plain Tab with Shift held would have Shift let go of first.
            if names[-1] == "Tab" and "shift" in names:
                names[-1] = "ISO_Left_Tab"
            for name in names:
                self.vnc.key(name, True)
            for name in reversed(names):
                self.vnc.key(name, False)

    def click(self, x, y):
        self.vnc.pointer(x, y)
        self.vnc.pointer(x, y, 1)
        self.vnc.pointer(x, y)

    def clear_clipboard(self):
        self.tool("wl-copy", "--clear", ok=False)

    def clipboard(self):
        return self.tool("wl-paste", "--no-newline", ok=False)

    def screenshot(self):
        return Screen.load(self.tool("grim", "-t", "ppm", "-", binary=True))
