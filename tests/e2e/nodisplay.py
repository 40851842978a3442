#!/usr/bin/env python3
"""usage: nodisplay.py path/to/zorbleck

The game started where it cannot open a window. Each way of missing a display must end the program with status 1 and one
plain line on standard error that names what is missing: no abort, no core
file, no advice to reinstall. Qt's offscreen platform, which needs no
display, must still start the game.
"""
import os
import resource
import subprocess
import sys
import tempfile
import time

from session import Session, check, displayless, run


def allow_cores():
    resource.setrlimit(resource.RLIMIT_CORE, (resource.RLIM_INFINITY, resource.RLIM_INFINITY))


def free_x_display():
    """A display number with no X server behind it."""
    number = 90
    while os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
        number += 1
    return f":{number}"


def refused(session, case, settings, named):
    """Starts the game with `settings`: it ends with status 1 and one plain line naming `named`."""
    with tempfile.TemporaryDirectory(prefix="zorbleck-cwd-") as cwd:
        try:
            result = subprocess.run([session.binary], env=dict(session.env, **settings), cwd=cwd,
                                    preexec_fn=allow_cores, capture_output=True, text=True, timeout=60)
        except subprocess.TimeoutExpired:
            check(False, f"{case}: still running after 60 s")
        cores = [name for name in os.listdir(cwd) if name.startswith("core")]
    said = result.stderr
    check(result.returncode == 1, f"{case}: exit status {result.returncode}, expected 1: {said}")
    check(not cores, f"{case}: left a core file ({cores and cores[0]})")
    check(len(said.splitlines()) == 1 and said.startswith("zorbleck: "),
          f"{case}: not one line on standard error that starts with the program's name: {said}")
    check(all(word.lower() in said.lower() for word in named), f"{case}: does not name {' and '.join(named)}: {said}")
    check("reinstall" not in said.lower(), f"{case}: advises to reinstall: {said}")
    check(not result.stdout, f"{case}: printed on standard output: {result.stdout}")
    print(f"ok: {case}: {said.strip()}")


def play(session):
    display = free_x_display()
    refused(session, "no DISPLAY, no WAYLAND_DISPLAY", {}, ["DISPLAY", "WAYLAND_DISPLAY"])
    refused(session, f"DISPLAY={display} with no X server", {"DISPLAY": display}, [display])
    refused(session, "QT_QPA_PLATFORM=wayland with no compositor", {"QT_QPA_PLATFORM": "wayland"}, ["Wayland"])
    # A Wayland session makes Qt try Wayland first and fall back to X11.
    refused(session, "WAYLAND_DISPLAY and DISPLAY, neither answering",
            {"WAYLAND_DISPLAY": "wayland-77", "DISPLAY": display}, ["wayland-77", display])

    session.env["QT_QPA_PLATFORM"] = "offscreen"
    game = session.start_game()
    time.sleep(3)
    check(game.poll() is None, f"QT_QPA_PLATFORM=offscreen: ended with status {game.returncode}")
    output = session.stop_game()
    check("zorbleck: " not in output, f"QT_QPA_PLATFORM=offscreen: reported a failure while running:\n{output}")
    print("ok: QT_QPA_PLATFORM=offscreen: still running after 3 s")


class NoDisplay(Session):
    def __init__(self, binary):
        self.binary, self.dir = os.path.abspath(binary), tempfile.mkdtemp(prefix="zorbleck-nodisplay-")
        os.chmod(self.dir, 0o700)
        self.env = displayless(self.dir, ("XDG_SESSION_TYPE",))


if __name__ == "__main__":
    sys.exit(run(lambda: NoDisplay(sys.argv[1]), play))
