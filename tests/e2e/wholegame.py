"""What a player meets on every platform, read from the screen and the boxes:
the rules, the window and its boxes to the pixel, Enter and Space on Start,
idle clicks, a whole Slow game aimed at the boxes it sees, and the verdict.
"""
import re
import time

from session import check, check_no_sanitizer_report
from window import (BOXES, CAPTION, CLIENT, CONTROLS, DIFFICULTIES, HOME_AFTER_GAME, IDLE, POINTS, RULES,
                    RULES_TITLE, SELECT, SUMMARY, TITLE, VERDICTS, verdict)

SUMMARY_LINE = re.compile("^" + re.escape(SUMMARY).replace(r"\{\}", "(-?\\d+)") + "$")


def centre(name, origin):
    x, y, w, h = CONTROLS[name]
    return origin[0] + x + w // 2, origin[1] + y + h // 2


def greet(session):
    game = session.start_game()
    return (game, *read_rules(session))


def read_rules(session):
    """The two rule boxes, then the window with its client area."""
    check(session.read_box(RULES_TITLE) == RULES[0], "first rule box")
    check(not session.windows(CAPTION), "the window showed before the rules were read")
    check(session.read_box(RULES_TITLE) == RULES[1], "second rule box")
    window = session.wait_window(CAPTION)
    x, y, w, h = session.geometry(window)
    check((w, h) == CLIENT, f"client area {w}x{h}")
    return window, (x, y)


def summary(session):
    return summary_of(session.read_box(TITLE))


def summary_of(text):
    """A summary's red, blue, green and total, which must add up."""
    match = SUMMARY_LINE.match(text)
    check(match, f"summary reads {text!r}")
    red, blue, green, total = (int(n) for n in match.groups())
    check(min(red, blue, green) >= 0 and blue % 3 == 0 and green % 4 == 0 and total == red + blue + green,
          f"the summary does not add up: {text!r}")
    return red, blue, green, total


def timer_shows(shot, origin):
    """The timer's digits show while a game runs."""
    x, y, w, h = CONTROLS["lblTimer"]
    return shot.find((0, 0, 0), (origin[0] + x, origin[1] + y, w, h)) is not None


def boxes_seen(shot, origin):
    """Where each box shows in the window: its exact colour, no bigger than a
    box (a background flashed in that colour is none)."""
    area = (*origin, *CLIENT)
    seen = {name: shot.find(colour, area) for name, colour in BOXES.items()}
    return {name: at for name, at in seen.items() if at and at[2] <= CONTROLS[name][2] and at[3] <= CONTROLS[name][3]}


def pick(session, origin, difficulty="Slow"):
    """A click on the list's first entry, Slow, then Down to `difficulty`."""
    session.click(origin[0] + 150, origin[1] + 27)
    for _ in range(DIFFICULTIES.index(difficulty)):
        session.key("Down")


def start_slow(session, window):
    """Picks Slow and presses Start; returns when, once the timer shows."""
    session.focus(window)
    origin = session.geometry(window)[:2]
    pick(session, origin)
    session.click(*centre("cmdStart", origin))
    started = time.monotonic()
    session.wait_for(lambda: timer_shows(session.screenshot(), origin), "the game did not start")
    return started


def play_whole_game(session, at_start=lambda: None):
    game, window, origin = greet(session)
    expected = found = None

    def boxes_in_place():  # the first frame may still be on its way, the window still being placed
        nonlocal origin, expected, found
        origin = session.geometry(window)[:2]
        expected = {name: (origin[0] + x, origin[1] + y, w, h) for name, (x, y, w, h) in CONTROLS.items()
                    if name in BOXES}
        found = boxes_seen(session.screenshot(), origin)
        return found == expected

    session.wait_for(boxes_in_place, lambda: f"boxes stand at {found}, expected {expected}", 5)
    print("layout: window 659x569, boxes in place in their exact colours")

    # Start holds the focus: Enter and Space operate it.
    for key in ("Return", "space"):
        session.key(key)
        check(session.read_box(TITLE) == SELECT, f"{key} did not operate Start")
        check(summary(session) == (0, 0, 0, 0), f"summary after {SELECT} by {key}")

    # Idle clicks count on the boxes, not on a label or the background; Start
    # with no difficulty sums them up.
    clicks = {"pct": 3, "pct2": 2, "pct3": 1}
    for name, count in clicks.items():
        x, y = HOME_AFTER_GAME[name]
        for _ in range(count):
            session.click(origin[0] + x + 24, origin[1] + y + 20)
    for x, y in (centre("lbl1", origin), centre("lblTimer", origin), (origin[0] + 600, origin[1] + 500)):
        session.click(x, y)
    session.click(*centre("cmdStart", origin))
    session.read_box(TITLE)
    scores = tuple(POINTS[name] * count for name, count in clicks.items())
    check(summary(session) == (*scores, sum(scores)), "idle clicks")
    print(f"idle clicks: 3 red, 2 blue, 1 green and none on the labels or the background gave {scores}")

    # A whole game on Slow, clicking wherever a box is seen.
    started = start_slow(session, window)
    at_start()
    aimed = 0
    places = {name: set() for name in BOXES}
    while time.monotonic() - started < 43:
        for name, (x, y, w, h) in boxes_seen(session.screenshot(), origin).items():
            places[name].add((x, y))
            session.click(x + w // 2, y + h // 2)
            aimed += 1
    counts = "/".join(str(len(seen)) for seen in places.values())
    check(all(len(seen) >= 5 for seen in places.values()), f"boxes seen at only {counts} places")
    # The last pass starts before 46 s and pauses 0.3 s; the summary follows at once.
    session.wait_window(TITLE, timeout=20)
    length = time.monotonic() - started
    check(46 <= length <= 47.5, f"the summary came {length:.2f} s after Start")
    red, blue, green, total = summary(session)
    hits = red + blue // 3 + green // 4
    check(0 < hits <= aimed, f"{aimed} clicks, summary {red}/{blue}/{green}")
    print(f"game: summary after {length:.2f} s, boxes seen at {counts} places, {aimed} clicks aimed, {hits} hits, "
          f"total {total}")

    x, y, w, h = CONTROLS["lbl1"]
    said = session.read_label((origin[0] + x, origin[1] + y, w, h), VERDICTS)
    check(said == verdict("Slow", total), f"verdict {said!r} for {total} on Slow")
    print(f"verdict: {said!r}")
    shot = session.screenshot()
    check(shot.pixel(origin[0] + 600, origin[1] + 500) == IDLE, "idle background after the game")
    x, y = HOME_AFTER_GAME["pct"]
    check(shot.find(BOXES["pct"], (*origin, *CLIENT)) == (origin[0] + x, origin[1] + y, 49, 41), "red box not home")
    check(game.poll() is None, "the program ended after the game")
    check_no_sanitizer_report(session.stop_game())
