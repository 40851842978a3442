#!/usr/bin/env python3
"""Plays whole games on the real binary in a real X server.

usage: play.py BINARY bare|openbox
  bare:    no window manager; the greeting, the layout's exact colours, Enter
           on Start, idle clicks and a whole Slow game with clicks on the boxes.
  openbox: under a window manager; the greeting, the frame, and closing the
           window in the middle of a game (from the window manager's close).
"""
import re
import sys
import time

from xsession import CAPTION, Failure, XSession, check

RED, BLUE, GREEN = (255, 0, 0), (0, 0, 255), (0, 192, 0)
SUMMARY = re.compile(r"^Red: (-?\d+) points   Blue: (-?\d+) points   "
                     r"Green: (-?\d+) points   Total: (-?\d+) points\.$")


def greet(session):
    game = session.start_game()
    check(session.read_box("Zorbleck!") ==
          "Click on the boxes as many times as you can. You have 45 seconds.", "first rule box")
    check(not session.windows(CAPTION), "the window showed before the rules were read")
    check(session.read_box("Zorbleck!") ==
          "Red = 1 point, Blue = 2 points, and Green = 3 points", "second rule box")
    window = session.wait_window(CAPTION)
    x, y, w, h = session.geometry(window)
    check((w, h) == (659, 569), f"client area {w}x{h}")
    return game, window, (x, y)


def summary(session):
    text = session.read_box("Zorbleck")
    match = SUMMARY.match(text)
    check(match, f"summary reads {text!r}")
    return tuple(int(n) for n in match.groups())


def play_bare(session):
    game, window, (ox, oy) = greet(session)
    shot = session.screenshot()
    for colour, (left, top) in ((RED, (224, 216)), (BLUE, (312, 216)), (GREEN, (392, 216))):
        found = shot.find(colour, (ox, oy, 659, 569))
        check(found == (ox + left, oy + top, 49, 41), f"box {colour} stands at {found}")
    print("layout: window 659x569, boxes in place in their exact colours")

    # Start holds the focus: Enter operates it.
    session.key("Return")
    check(session.read_box("Zorbleck") == "Select a Difficulty", "Enter did not operate Start")
    check(summary(session) == (0, 0, 0, 0), "summary after Select a Difficulty")

    # Idle clicks count; Start with no difficulty sums them up. Red is home
    # 120 twips further right now.
    for (left, colour), clicks in (((232, RED), 3), ((312, BLUE), 2), ((392, GREEN), 1)):
        for _ in range(clicks):
            session.click(ox + left + 24, oy + 236)
    session.click(ox + 64, oy + 56)
    session.read_box("Zorbleck")
    check(summary(session) == (3, 6, 4, 13), "idle clicks")
    print("idle clicks: 3 red, 2 blue, 1 green gave 3 + 6 + 4 = 13")

    # A whole game on Slow, clicking wherever a box is seen.
    session.click(ox + 150, oy + 27)  # "Slow", the list's first entry
    session.click(ox + 64, oy + 56)
    started = time.monotonic()
    clicks = 0
    while time.monotonic() - started < 43:
        shot = session.screenshot()
        for colour in (RED, BLUE, GREEN):
            found = shot.find(colour, (ox, oy, 659, 569))
            if found and found[2] <= 49 and found[3] <= 41:  # a box, not a flashed background
                session.click(found[0] + found[2] // 2, found[1] + found[3] // 2)
                clicks += 1
    red, blue, green, total = summary(session)
    length = time.monotonic() - started
    check(45 <= length <= 52, f"the game took {length:.1f} s")
    check(blue % 3 == 0 and green % 4 == 0 and total == red + blue + green, "inconsistent summary")
    check(0 < red + blue // 3 + green // 4 <= clicks, f"{clicks} clicks, summary {red}/{blue}/{green}")
    print(f"game: {length:.1f} s, {clicks} clicks aimed, {red + blue // 3 + green // 4} hits, total {total}")

    shot = session.screenshot()
    check(shot.find((0, 0, 0), (ox + 16, oy + 96, 265, 41)), "no verdict in the label")
    check(shot.pixel(ox + 600, oy + 500) == (230, 230, 213), "idle background after the game")
    check(shot.find(RED, (ox, oy, 659, 569)) == (ox + 232, oy + 216, 49, 41), "red box not home")
    check(game.poll() is None, "the program ended after the game")


def play_openbox(session):
    game, window, _ = greet(session)
    extents = session.x("xprop", "-id", window, "_NET_FRAME_EXTENTS")
    check("=" in extents, "the window manager gave no frame")

    session.x("xdotool", "windowactivate", "--sync", window)
    session.key("Tab")  # to the list
    session.key("Down")  # selects "Slow"
    session.key("shift+Tab")
    session.key("space")
    time.sleep(2)
    check(game.poll() is None, "the program ended during the game")
    session.x("wmctrl", "-c", CAPTION)
    closed = time.monotonic()
    session.wait_for(lambda: game.poll() is not None, "the program did not end after the close", 5)
    took = time.monotonic() - closed
    output = game.stdout.read().decode()
    check(game.returncode == 0, f"exit status {game.returncode}: {output}")
    check(not session.windows("Zorbleck"), "a box was shown after the close")
    print(f"closed mid-game: exit status 0 after {took * 1000:.0f} ms")


def main():
    binary, mode = sys.argv[1], sys.argv[2]
    session = None
    try:
        session = XSession(binary, window_manager=(mode == "openbox"))
        (play_openbox if mode == "openbox" else play_bare)(session)
    except Failure as failure:
        print(f"FAIL: {failure}")
        return 1
    finally:
        if session:
            session.close()
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
