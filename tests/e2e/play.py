#!/usr/bin/env python3
"""Plays whole games on the real binary in a real X server.

usage: play.py BINARY bare|openbox
  bare:    no window manager; the greeting, the layout's exact colours, Enter
           on Start, idle clicks and a whole Slow game with clicks on the boxes.
  openbox: under a window manager; the greeting, the frame, and closing the
           window in the middle of a game, once by the window manager's close
           request and once by Alt+F4.
"""
import re
import sys
import time

from xsession import CAPTION, check, check_no_sanitizer_report, run

RED, BLUE, GREEN = (255, 0, 0), (0, 0, 255), (0, 192, 0)
SUMMARY = re.compile(r"^Red: (-?\d+) points   Blue: (-?\d+) points   "
                     r"Green: (-?\d+) points   Total: (-?\d+) points\.$")


VERDICTS = ["Amazing!", "Great job! Almost there... ", "Good job, but you still need some practice.",
            "Completely average. Do better.", "That was pretty pathetic. Do better next time.",
            "You have to admit, you're pretty bad at this game.", "How is it possible to do that bad?"]


def slow_verdict(total):
    for threshold, text in zip((400, 320, 270, 200, 100, 50), VERDICTS):
        if total > threshold:
            return text
    return VERDICTS[-1]


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
    homes = {RED: (224, 216), BLUE: (312, 216), GREEN: (392, 216)}
    expected = {colour: (ox + x, oy + y, 49, 41) for colour, (x, y) in homes.items()}
    found = {}

    def boxes_in_place():  # the first frame may still be on its way
        shot = session.screenshot()
        found.update({colour: shot.find(colour, (ox, oy, 659, 569)) for colour in homes})
        return found == expected

    if not boxes_in_place():
        session.wait_for(boxes_in_place, f"boxes stand at {found}, expected {expected}", 5)
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

    verdict = session.read_label((ox + 16, oy + 96, 265, 41), VERDICTS)
    check(verdict == slow_verdict(total), f"verdict {verdict!r} for {total} on Slow")
    print(f"verdict: {verdict!r}")
    shot = session.screenshot()
    check(shot.pixel(ox + 600, oy + 500) == (230, 230, 213), "idle background after the game")
    check(shot.find(RED, (ox, oy, 659, 569)) == (ox + 232, oy + 216, 49, 41), "red box not home")
    check(game.poll() is None, "the program ended after the game")
    check_no_sanitizer_report(session.stop_game())


def close_mid_game(session, how):
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
    closed = time.monotonic()
    if how == "alt+F4":
        session.key("alt+F4")  # the test's openbox binds it to Close
    else:
        session.x("wmctrl", "-c", CAPTION)
    # Only a watchdog against a hang; the time taken is printed, not judged.
    session.wait_for(lambda: game.poll() is not None, f"the program did not end after {how}", 60)
    took = time.monotonic() - closed
    output = session.stop_game()
    check(game.returncode == 0, f"exit status {game.returncode}: {output}")
    check_no_sanitizer_report(output)
    check(not session.windows("Zorbleck"), "a box was shown after the close")
    print(f"closed mid-game by {how}: exit status 0 after {took * 1000:.0f} ms")


def play_openbox(session):
    close_mid_game(session, "wmctrl -c")
    close_mid_game(session, "alt+F4")


def main():
    binary, mode = sys.argv[1], sys.argv[2]
    if mode == "openbox":
        return run(binary, play_openbox, window_manager=True)
    return run(binary, play_bare)


if __name__ == "__main__":
    sys.exit(main())
