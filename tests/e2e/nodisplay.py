#!/usr/bin/env python3
"""The game started where it cannot open a window.

    nodisplay.py path/to/zorbleck

Each way of missing a display must end the program with status 1 and one
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

from session import displayless, spawn


def free_x_display():
    """A display number with no X server behind it."""
    number = 90
    while os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
        number += 1
    return f":{number}"


def cores_allowed():
    resource.setrlimit(resource.RLIMIT_CORE, (resource.RLIM_INFINITY, resource.RLIM_INFINITY))


def refused(binary, runtime_dir, settings, named):
    """Starts the game with `settings`; returns what is wrong with how it
    refused (empty if nothing) and the line it printed."""
    with tempfile.TemporaryDirectory(prefix="zorbleck-cwd-") as cwd:
        try:
            result = subprocess.run([binary], env=displayless(runtime_dir, ("XDG_SESSION_TYPE",), **settings), cwd=cwd,
                                    preexec_fn=cores_allowed, capture_output=True, text=True, timeout=60)
        except subprocess.TimeoutExpired:
            return "still running after 60 s", ""
        cores = [name for name in os.listdir(cwd) if name.startswith("core")]
    lines = result.stderr.splitlines()
    problems = []
    if result.returncode != 1:
        problems.append(f"exit status {result.returncode}, expected 1")
    if cores:
        problems.append(f"left a core file ({cores[0]})")
    if len(lines) != 1:
        problems.append(f"{len(lines)} lines on standard error, expected 1")
    elif not lines[0].startswith("zorbleck: "):
        problems.append("the line does not start with the program's name")
    if not all(word.lower() in result.stderr.lower() for word in named):
        problems.append(f"does not name {' and '.join(named)}")
    if "reinstall" in result.stderr.lower():
        problems.append("advises to reinstall")
    if result.stdout:
        problems.append("printed on standard output")
    return ("; ".join(problems) + f":\n{result.stderr}" if problems else ""), result.stderr.strip()


def offscreen_starts(binary, runtime_dir):
    game = spawn([binary], env=displayless(runtime_dir, ("XDG_SESSION_TYPE",), QT_QPA_PLATFORM="offscreen"),
                 stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    time.sleep(3)
    running = game.poll() is None
    game.kill()
    output = game.communicate()[1]
    if not running:
        return f"ended with status {game.returncode}:\n{output}", ""
    if "zorbleck: " in output:
        return f"reported a failure while running:\n{output}", ""
    return "", "still running after 3 s"


def main():
    binary = os.path.abspath(sys.argv[1])
    display = free_x_display()
    cases = [
        ("no DISPLAY, no WAYLAND_DISPLAY", {}, ["DISPLAY", "WAYLAND_DISPLAY"]),
        (f"DISPLAY={display} with no X server", {"DISPLAY": display}, [display]),
        ("QT_QPA_PLATFORM=wayland with no compositor", {"QT_QPA_PLATFORM": "wayland"}, ["Wayland"]),
        # A Wayland session makes Qt try Wayland first and fall back to X11.
        ("WAYLAND_DISPLAY and DISPLAY, neither answering",
         {"WAYLAND_DISPLAY": "wayland-77", "DISPLAY": display}, ["wayland-77", display]),
    ]
    outcomes = []
    with tempfile.TemporaryDirectory(prefix="zorbleck-nodisplay-") as runtime_dir:
        os.chmod(runtime_dir, 0o700)
        for name, settings, named in cases:
            outcomes.append((name, *refused(binary, runtime_dir, settings, named)))
        outcomes.append(("QT_QPA_PLATFORM=offscreen", *offscreen_starts(binary, runtime_dir)))
    for name, problem, detail in outcomes:
        print(f"FAIL: {name}: {problem}" if problem else f"ok: {name}: {detail}")
    failed = sum(1 for _, problem, _ in outcomes if problem)
    total = len(outcomes)
    print(f"{total - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
