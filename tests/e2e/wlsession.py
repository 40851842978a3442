"""A headless sway with the game on Qt's wayland platform: wayvnc makes a VNC
client's pointer and keys the seat's, swaymsg lists the windows, grim takes
the screenshots. As root, sway and the game run as `nobody` (sway refuses
root), from a copy of the binary that user can reach.
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
KEYSYMS = {"Return": 0xff0d, "space": 0x20, "Tab": 0xff09, "Escape": 0xff1b, "F4": 0xffc1, "ctrl": 0xffe3,
           "shift": 0xffe1, "alt": 0xffe9}


def keysym(name):
    return KEYSYMS[name] if name in KEYSYMS else ord(name)


class Connection:
    """A compositor's input, spoken to over a Unix socket."""

    def __init__(self, path):
        self.socket = socket.socket(socket.AF_UNIX)
        self.socket.settimeout(10)
        self.socket.connect(path)

    def receive(self, size):
        data = b""
        while len(data) < size:
            chunk = self.socket.recv(size - len(data))
            check(chunk, "the compositor's input hung up")
            data += chunk
        return data

    def close(self):
        self.socket.close()


class Vnc(Connection):
    """Just enough of a VNC client to send input: no security, no pictures."""

    def __init__(self, path):
        super().__init__(path)
        version = self.receive(12)
        check(version.startswith(b"RFB 003."), f"not a VNC server: {version!r}")
        self.socket.sendall(b"RFB 003.008\n")
        types = self.receive(self.receive(1)[0])
        check(1 in types, f"the VNC server wants a password (security types {list(types)})")
        self.socket.sendall(b"\x01")
        check(struct.unpack(">I", self.receive(4))[0] == 0, "the VNC server refused the connection")
        self.socket.sendall(b"\x01")  # shared
        self.receive(20)  # size and pixel format
        self.receive(struct.unpack(">I", self.receive(4))[0])  # desktop name

    def click(self, x, y):
        for buttons in (0, 1, 0):
            self.socket.sendall(struct.pack(">BBHH", 5, buttons, x, y))

    def key(self, name, down):
        self.socket.sendall(struct.pack(">BBxxI", 4, int(down), keysym(name)))


class WaylandSession(Session):
    sway = wayvnc = None

    def __init__(self, binary):
        self.dir = tempfile.mkdtemp(prefix="zorbleck-wl-")
        self.as_user = []
        if os.geteuid() == 0:
            self.as_user = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
            shutil.chown(self.dir, "nobody", "nogroup")
        os.chmod(self.dir, 0o700)
        self.binary = os.path.join(self.dir, "zorbleck")
        shutil.copy(binary, self.binary)
        config, vnc_config = os.path.join(self.dir, "sway.config"), os.path.join(self.dir, "wayvnc.config")
        for path, content in ((config, SWAY_CONFIG), (vnc_config, "")):
            with open(path, "w") as out:
                out.write(content)
        for path, mode in ((self.binary, 0o755), (config, 0o644), (vnc_config, 0o644)):
            os.chmod(path, mode)
        check(subprocess.run(self.as_user + ["test", "-x", self.binary]).returncode == 0,
              f"{self.binary} is out of the compositor user's reach")

        base = displayless(self.dir, HOME=self.dir, LSAN_OPTIONS=leak_options(self.dir, "fast_unwind_on_malloc=0"))
        self.sway = spawn(self.as_user + ["sway", "--config", config],
                          env=dict(base, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman"),
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        display, ipc = self.wait_for(self._sockets, "sway did not start", timeout=30, alive=self.sway)
        self.env = dict(base, WAYLAND_DISPLAY=display, SWAYSOCK=ipc, QT_QPA_PLATFORM="wayland")
        self.wait_for(lambda: self.tool("swaymsg", "-t", "get_outputs", ok=False), "sway does not answer", 30)
        vnc_socket = os.path.join(self.dir, "vnc")
        self.wayvnc = spawn(self.as_user + ["wayvnc", "--config", vnc_config, "--unix-socket", vnc_socket],
                            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.input = self.wait_for(lambda: self._connect(vnc_socket), "wayvnc did not start", 30, alive=self.wayvnc)

    def _sockets(self):
        displays = [p for p in glob.glob(os.path.join(self.dir, "wayland-*")) if not p.endswith(".lock")]
        ipc = glob.glob(os.path.join(self.dir, "sway-ipc.*.sock"))
        return displays and ipc and (os.path.basename(displays[0]), ipc[0])

    @staticmethod
    def _connect(path):
        try:
            return Vnc(path)
        except OSError:
            return None

    def game_command(self):
        return self.as_user + [self.binary]

    def processes(self):
        return [self.game, self.wayvnc, self.sway]

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

    def press(self, name, down):
        self.input.key(name, down)

    def click(self, x, y):
        self.input.click(x, y)

    def screenshot(self):
        return Screen.load(self.tool("grim", "-t", "ppm", "-", binary=True))
