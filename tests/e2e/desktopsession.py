"""A headless desktop's session, GNOME Shell's or KWin's: the game's desktop
file and icon where the package puts them, a session bus of its own, the
compositor with its log. The game chooses its platform itself, as there.
"""
import os
import subprocess
import tempfile

from gi.repository import Gio, GLib

from session import Failure, Session, check, displayless, leak_options, spawn

DESKTOP_ID = "io.github.zorbleck.Zorbleck"
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")


class DesktopSession(Session):
    """An adapter gives shell_command() and started(), true once the desktop answers."""

    shell = None

    def __init__(self, binary, desktop, buses=("DBUS_SESSION_BUS_ADDRESS",), **settings):
        self.binary, self.buses = binary, []
        self.dir = tempfile.mkdtemp(prefix=f"zorbleck-{desktop.lower()}-")
        self.runtime, self.log = os.path.join(self.dir, "run"), os.path.join(self.dir, "shell.log")
        os.mkdir(self.runtime, 0o700)  # fresh: a crash leaves a file there that turns GNOME's extensions off
        with open(os.path.join(DATA, f"{DESKTOP_ID}.desktop")) as entry:  # unknown to it, a program has no name
            self.write(f"home/.local/share/applications/{DESKTOP_ID}.desktop",
                       entry.read().replace("Exec=zorbleck", "Exec=" + os.path.abspath(binary)))
        with open(os.path.join(DATA, "icons", "48.png"), "rb") as icon:
            self.write(f"home/.local/share/icons/hicolor/48x48/apps/{DESKTOP_ID}.png", icon.read())
        self.env = displayless(self.runtime, ("XDG_CONFIG_HOME", "XDG_DATA_HOME"), HOME=os.path.join(self.dir, "home"),
                               XDG_SESSION_TYPE="wayland", XDG_CURRENT_DESKTOP=desktop,
                               LSAN_OPTIONS=leak_options(self.dir, "fast_unwind_on_malloc=0"), **settings)
        for name in buses:
            bus = spawn(["dbus-daemon", "--config-file=/usr/share/dbus-1/session.conf", "--nofork",
                         f"--address=unix:dir={self.dir}", "--print-address"],
                        env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
            self.buses.append(bus)
            self.env[name] = bus.stdout.readline().strip()
            bus.stdout.close()
            check(self.env[name], "dbus-daemon did not start")
        command, env = self.shell_command()
        with open(self.log, "wb") as log:
            self.shell = spawn(command, env=dict(self.env, **env), stdin=subprocess.DEVNULL, stdout=log,
                               stderr=subprocess.STDOUT)
        self.bus = Gio.DBusConnection.new_for_address_sync(
            self.env["DBUS_SESSION_BUS_ADDRESS"],
            Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        self.wait_for(self.answers, lambda: f"{desktop} did not start: {self.shell_log()}", 60, alive=self.shell)

    def write(self, path, content):
        path = os.path.join(self.dir, path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb" if isinstance(content, bytes) else "w") as out:
            out.write(content)

    def shell_log(self):
        with open(self.log, errors="replace") as log:
            return log.read()[-2000:]

    def answers(self):
        try:
            return self.started()
        except (Failure, GLib.Error):
            return False

    def processes(self):
        return [self.game, self.shell, *self.buses]
