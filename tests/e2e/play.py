#!/usr/bin/env python3
"""Plays whole games on the real binary in a real X server or Wayland compositor.

usage: play.py BINARY bare|openbox|wayland|gnome|kde|x11-lost|wayland-lost|wine-bare|wine-openbox
       play.py FOLDER chromium|webkit|firefox
  bare:    X with no window manager; the greeting, the layout's exact colours,
           Enter on Start, idle clicks and a whole Slow game with clicks on
           the boxes.
  openbox: X under a window manager; the greeting, the frame, and closing the
           window in the middle of a game, once by the window manager's close
           request and once by Alt+F4.
  wayland: all of bare under sway, then closing the window in the middle of a
           game through the compositor.
  gnome, kde: all of wayland under GNOME Shell or KWin, with the desktop's
           frame around the window and each box, whole titles, the boxes
           over the window, and the game shown by its desktop file; through
           XWayland under GNOME, natively under KWin.
  x11-lost, wayland-lost: the X server or the compositor killed in the middle
           of a game; the program must end at once, and not with success.
  wine-bare, wine-openbox: as bare and openbox, with BINARY the Windows
           program (zorbleck.exe) under Wine.
  chromium: the page in FOLDER served from 127.0.0.1 in headless Chromium
           (run with /usr/bin/python3, which has Debian's selenium): all of
           bare, every control's place, keys on the hidden Start, a dialog's
           modality, an error's dialog, a phone's screen and touch, a reload
           in the middle of a game, and nothing stored or fetched from
           elsewhere.
  webkit, firefox: the page in WebKitGTK's MiniBrowser or in Firefox ESR,
           each in a window on Xvfb: all of bare, every control's place and
           keys on the hidden Start.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from session import CAPTION, Failure, check, check_no_sanitizer_report, run
from gnomesession import GnomeSession
from kdesession import KdeSession
from winesession import WineSession
from wlsession import WaylandSession
from xsession import XSession

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
    window, origin = read_rules(session)
    return game, window, origin


def read_rules(session):
    """The two rule boxes, then the window with its client area."""
    check(session.read_box("Zorbleck!") ==
          "Click on the boxes as many times as you can. You have 45 seconds.", "first rule box")
    check(not session.windows(CAPTION), "the window showed before the rules were read")
    check(session.read_box("Zorbleck!") ==
          "Red = 1 point, Blue = 2 points, and Green = 3 points", "second rule box")
    window = session.wait_window(CAPTION)
    x, y, w, h = session.geometry(window)
    check((w, h) == (659, 569), f"client area {w}x{h}")
    return window, (x, y)


def summary(session):
    text = session.read_box("Zorbleck")
    match = SUMMARY.match(text)
    check(match, f"summary reads {text!r}")
    return tuple(int(n) for n in match.groups())


def play_whole_game(session, at_start=lambda: None):
    game, window, (ox, oy) = greet(session)
    homes = {RED: (224, 216), BLUE: (312, 216), GREEN: (392, 216)}
    expected, found = {}, {}

    def boxes_in_place():  # the first frame may still be on its way, the window still being placed
        nonlocal ox, oy
        ox, oy = session.geometry(window)[:2]
        expected.update({colour: (ox + x, oy + y, 49, 41) for colour, (x, y) in homes.items()})
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
    at_start()
    clicks = 0
    places = {colour: set() for colour in homes}
    while time.monotonic() - started < 43:
        shot = session.screenshot()
        for colour in (RED, BLUE, GREEN):
            found = shot.find(colour, (ox, oy, 659, 569))
            if found and found[2] <= 49 and found[3] <= 41:  # a box, not a flashed background
                places[colour].add(found[:2])
                session.click(found[0] + found[2] // 2, found[1] + found[3] // 2)
                clicks += 1
    check(all(len(seen) >= 5 for seen in places.values()),
          "boxes seen at only " + ", ".join(str(len(seen)) for seen in places.values()) + " places")
    # The last pass starts before 46 s and pauses 0.3 s; the summary follows at once.
    session.wait_window("Zorbleck", timeout=20)
    length = time.monotonic() - started
    check(46 <= length <= 47.5, f"the summary came {length:.2f} s after Start")
    red, blue, green, total = summary(session)
    check(blue % 3 == 0 and green % 4 == 0 and total == red + blue + green, "inconsistent summary")
    check(0 < red + blue // 3 + green // 4 <= clicks, f"{clicks} clicks, summary {red}/{blue}/{green}")
    print(f"game: summary after {length:.2f} s, boxes seen at "
          + "/".join(str(len(seen)) for seen in places.values())
          + f" places, {clicks} clicks aimed, {red + blue // 3 + green // 4} hits, total {total}")

    verdict = session.read_label((ox + 16, oy + 96, 265, 41), VERDICTS)
    check(verdict == slow_verdict(total), f"verdict {verdict!r} for {total} on Slow")
    print(f"verdict: {verdict!r}")
    shot = session.screenshot()
    check(shot.pixel(ox + 600, oy + 500) == (230, 230, 213), "idle background after the game")
    check(shot.find(RED, (ox, oy, 659, 569)) == (ox + 232, oy + 216, 49, 41), "red box not home")
    check(game.poll() is None, "the program ended after the game")
    check_no_sanitizer_report(session.stop_game())


def start_slow(session, window):
    session.focus(window)
    x, y, _, _ = session.geometry(window)
    session.click(x + 150, y + 27)  # "Slow", the list's first entry
    session.click(x + 64, y + 56)
    timer = (x + 608, y + 8, 41, 33)
    session.wait_for(lambda: session.screenshot().find((0, 0, 0), timer), "the game did not start")


def in_a_game(session, check_window=lambda window: None):
    """A fresh program two seconds into a Slow game."""
    game, window, _ = greet(session)
    check_window(window)
    start_slow(session, window)
    time.sleep(2)
    check(game.poll() is None, "the program ended during the game")
    return game, window


def seconds_to_end(game, since, cause):
    try:
        game.wait(timeout=30)  # a watchdog against a hang
    except subprocess.TimeoutExpired:
        raise Failure(f"the program did not end after {cause}") from None
    return time.monotonic() - since


def close_mid_game(session, how, check_window=lambda window: None):
    game, window = in_a_game(session, check_window)
    closed = time.monotonic()
    if how == "alt+F4":
        session.key("alt+F4")  # the test's openbox binds it to Close
    else:
        session.close_window(window)
    took = seconds_to_end(game, closed, how)
    output = session.stop_game()
    check(game.returncode == 0, f"exit status {game.returncode}: {output}")
    check_no_sanitizer_report(output)
    check(took < 2, f"the program took {took:.2f} s to end after {how}")
    check(not session.windows("Zorbleck"), "a box was shown after the close")
    print(f"closed mid-game by {how}: exit status 0 after {took * 1000:.0f} ms")


def display_lost(session):
    # Qt ends the program with exit() from inside its event loop: what is
    # still held then is no leak of the game's.
    session.env["LSAN_OPTIONS"] += ":detect_leaks=0"
    game, _ = in_a_game(session)
    lost = time.monotonic()
    session.kill_display()
    took = seconds_to_end(game, lost, "its display went away")
    output = session.stop_game()
    last = output.strip().splitlines()[-1:] or ["nothing"]
    print(f"display gone mid-game: exit status {game.returncode} after {took * 1000:.0f} ms, "
          f"the game's last words: {last[0]!r}")
    check_no_sanitizer_report(output)
    check(game.returncode != 0, f"exit status 0 without a display: {output}")
    check(took < 1, f"the program took {took:.2f} s to end")


def play_openbox(session):
    def framed(window):
        extents = session.x("xprop", "-id", window, "_NET_FRAME_EXTENTS")
        check("=" in extents, "the window manager gave no frame")

    close_mid_game(session, "the close request", framed)
    close_mid_game(session, "alt+F4", framed)


def play_wayland(session, check_window=lambda window: None):
    play_whole_game(session)
    close_mid_game(session, "the close request", check_window)


def play_desktop(session, desktop, x11):
    """All of wayland, where the desktop frames the window and each box with
    their whole titles, stands a box over the window, and shows the game by
    its desktop file; the game is an X11 window there or a Wayland one."""
    def title(frame, inner, text):  # whole: a cut title reads too far from it
        session.read_label((frame[0], frame[1], frame[2], inner[1] - frame[1]), [text], within=True)

    def at_home(window):
        seen, inner = session.about(window), session.geometry(window)
        check(seen["x11"] == x11 and seen["framed"] and seen["frame"][1] < inner[1], f"{desktop} framed {seen}")
        check((seen["app"], seen["name"]) == ("io.github.zorbleck.Zorbleck.desktop", "Zorbleck"), f"shown as {seen}")
        title(seen["frame"], inner, CAPTION)
        session.key("Return")
        for _ in range(2):  # "Select a Difficulty", then the summary
            box = session.wait_window("Zorbleck")
            x, y, w, h = frame = session.about(box)["frame"]
            fx, fy, fw, fh = seen["frame"]
            check(abs(2 * x + w - 2 * fx - fw) <= 8 and fy <= y and y + h <= fy + fh, f"box at {frame}, window {seen}")
            title(frame, session.geometry(box), "Zorbleck")
            session.read_box("Zorbleck")
        print(f"{desktop}: {'an X11' if x11 else 'a Wayland'} window framed at {seen['frame']}, its client area "
              f"at {inner}, boxes over it, shown as {seen['name']}")

    play_wayland(session, at_home)


FACE = (240, 240, 240)  # the page's face colour: the idle window and the labels


def on_screen(session, look, expected, what, timeout=5):
    """Waits for look(screenshot) to give `expected`: a grab of a real
    display may come before the browser has painted."""
    seen = [None]

    def matches():
        seen[0] = look(session.screenshot())
        return seen[0] == expected

    if not matches():
        try:
            session.wait_for(matches, "", timeout)
        except Failure:
            raise Failure(f"{what}: {seen[0]}, expected {expected}") from None


def browser_layout(session):
    """Every control at its pixel, the frame around them, the focus, Space."""
    _, window, (ox, oy) = greet(session)
    around = lambda x, y, w, h: (ox + x - 6, oy + y - 6, w + 12, h + 12)
    controls = (("game area", FACE, (0, 0, 659, 569)), ("list", (130, 135, 144), (120, 16, 105, 76)),
                ("Start", (112, 112, 112), (16, 40, 97, 33)))
    # The window's outer size on the page: the area with the frame drawn around it.
    expected = {what: (ox + x, oy + y, w, h) for what, _, (x, y, w, h) in controls}
    expected["frame"] = (ox - 4, oy - 30, 667, 603)
    on_screen(session, lambda shot: dict(
        {what: shot.find(colour, around(*place)) for what, colour, place in controls},
        frame=shot.find((0, 84, 153), (ox - 40, oy - 60, 740, 680))), expected, "layout")
    order = [session.active()]
    for _ in range(4):
        session.key("Tab")
        order.append(session.active())
    check(order == ["cmdStart", "lst1", "pct2", "pct3", "pct"], f"focus went {order}")
    session.stop_game()

    greet(session)
    session.key("space")
    check(session.read_box("Zorbleck") == "Select a Difficulty", "Space did not operate Start")
    check(summary(session) == (0, 0, 0, 0), "summary after Select a Difficulty")
    # The idle colour now lies around the labels, which keep the face colour.
    labels = (("lbl1", (16, 96, 265, 41)), ("lblTimer", (608, 8, 41, 33)))
    on_screen(session, lambda shot: {what: shot.find(FACE, around(*place)) for what, place in labels},
              {what: (ox + x, oy + y, w, h) for what, (x, y, w, h) in labels}, "labels")
    print("layout: game area 659x569 in a 667x603 frame, every control at its pixel, "
          "Tab order Start, list, blue, green, red, Space operates Start")
    session.stop_game()


def browser_modal_and_errors(session):
    """A dialog keeps clicks from the boxes; an error shows and the page lives on."""
    _, _, (ox, oy) = greet(session)
    session.click(ox + 64, oy + 56)
    session.wait_window("Zorbleck")
    for _ in range(3):
        session.click(ox + 248, oy + 236)  # the red box, under the dialog
    check(session.read_box("Zorbleck") == "Select a Difficulty", "Start without a difficulty")
    check(summary(session) == (0, 0, 0, 0), "a click counted through a dialog")

    # The blue counter cannot pass 32767: the 10923rd press is an error.
    session.press_many("pct2", 10923)
    check(session.read_box("Zorbleck").startswith("Overflow: a score went past its limit of 32767 points."),
          "no overflow error")
    session.click(ox + 64, oy + 56)
    check(session.read_box("Zorbleck") == "Select a Difficulty", "the page stopped after the error")
    check(summary(session) == (0, 32766, 0, 32766), "the score that overflowed did not keep its value")

    # A control that the page can no longer write: the game stops there,
    # says why, and the page goes on.
    session.break_caption("lblTimer", "the label is gone")
    session.click(ox + 150, oy + 27)  # "Slow"
    session.click(ox + 64, oy + 56)
    check(session.read_box("Zorbleck") == "the label is gone", "no error for a failed write")
    session.mend_caption("lblTimer")
    session.key("Return")  # Start keeps the focus: a game runs now
    session.wait_for(lambda: session.screenshot().find((0, 0, 0), (ox + 608, oy + 8, 41, 33)),
                     "no game after the failed one")
    print("modal: clicks under a dialog do not count; an overflow and a failed write show their error "
          "and the page goes on")
    log = session.stop_game()
    check("SEVERE" not in log, f"the page reported errors:\n{log}")


def browser_phone(session):
    """A phone's small screen: the window scaled to fit, and a finger's taps count."""
    session.resize(360, 640, touch=True)
    session.start_game()
    session.read_box("Zorbleck!")
    session.read_box("Zorbleck!")
    window = session.wait_window(CAPTION)
    x, y, w, h = session.geometry(window)
    check(x >= 0 and y >= 0 and x + w <= 360 and y + h <= 640 and w > 300, f"game area at {(x, y, w, h)}")
    scale = w / 659
    at = lambda px, py: (x + round(px * scale), y + round(py * scale))
    for _ in range(2):
        session.tap(*at(248, 236))  # the red box
    session.tap(*at(312 + 24, 236))  # the blue box
    session.tap(*at(64, 56))  # Start
    check(session.read_box("Zorbleck") == "Select a Difficulty", "a tap did not operate Start")
    check(summary(session) == (2, 3, 0, 5), "taps on the boxes")
    print(f"phone: game area scaled to {w}x{h} on a 360x640 screen, taps counted")
    session.stop_game()
    session.resize(1024, 768)


def browser_reload(session):
    """A reload in the middle of a game gives a fresh page with its rules."""
    in_a_game(session)
    reloaded = time.monotonic()
    session.reload()
    _, (ox, oy) = read_rules(session)
    took = time.monotonic() - reloaded
    session.click(ox + 64, oy + 56)  # no difficulty is chosen on a fresh page
    check(session.read_box("Zorbleck") == "Select a Difficulty", "the reloaded page kept the difficulty")
    check(summary(session) == (0, 0, 0, 0), "the reloaded page kept a score")
    check(session.stored() == (0, 0, ""), f"the page stored {session.stored()}")
    own = {"/", "/zorbleck.css", "/zorbleck.js", "/zorbleck.wasm", "/zorbleck.ico", "/sw.js",
           "/zorbleck.webmanifest", "/zorbleck-192.png", "/zorbleck-512.png"}
    check(set(session.requested()) <= own, f"the page asked for {session.requested()}")
    log = session.stop_game()
    check("SEVERE" not in log, f"the page reported errors:\n{log}")
    print(f"reload mid-game: a fresh page and its rules after {took:.2f} s; nothing stored, "
          "nothing fetched but the page's own files")


def play_in_engine(session):
    """What every browser engine plays: the rules, the layout to the pixel,
    Start with no difficulty, idle clicks and a whole Slow game."""
    # Keys on the Start button, hidden now, must not start a second game
    # inside this one: its summary would come late, a second one after it.
    # Chromium takes the focus off a hidden button; the button's own click
    # stands for a browser that would leave it there.
    def start_again():
        session.key("Return", "space")
        session.activate("cmdStart")

    play_whole_game(session, at_start=start_again)
    browser_layout(session)


# The page's caches once its service worker is active; only the page's own
# files are in them.
CACHES = """
return navigator.serviceWorker.ready.then(() => caches.keys());
"""


def browser_offline(session):
    """Installed as an app: it plays with the server gone, and takes a new
    build at the next reload."""
    session.start_game()
    read_rules(session)
    errors = session.cdp("Page.getInstallabilityErrors")["installabilityErrors"]
    check(not errors, f"the page cannot be installed: {errors}")
    first = session.wait_for(lambda: session.run(CACHES), "the service worker did not start")
    check(len(first) == 1, f"caches {first}")

    def plays_offline(build):
        port = session.stop_serving()
        session.reload()
        window, _ = read_rules(session)
        start_slow(session, window)
        check(session.run(MARK) == build, "an older build played")
        session.reload()  # a clean page for what comes next
        read_rules(session)
        return port

    port = plays_offline("")
    print(f"offline: installable; with the server gone a reload plays (cache {first[0]})")

    # A new build deployed on the same server: the next reload plays it, and
    # its files replace the old build's.
    with tempfile.TemporaryDirectory() as folder:
        shutil.copytree(session.folder, folder, dirs_exist_ok=True)
        with open(os.path.join(folder, "zorbleck.js"), "a") as script:
            script.write("\nZb.build = 'next';\n")
        worker = os.path.join(folder, "sw.js")
        with open(worker) as file:
            text = file.read()
        check(first[0] in text, f"sw.js does not name its cache {first[0]}")
        with open(worker, "w") as file:
            file.write(text.replace(first[0], first[0] + "-next"))
        session.serve(folder, port)
        session.reload()
        read_rules(session)
        check(session.run(MARK) == "next", "the reload did not play the new build")
        caches = [first[0] + "-next"]
        session.wait_for(lambda: session.run(CACHES) == caches, f"the caches are not {caches}")
        plays_offline("next")
    check(session.stored() == (0, 0, ""), f"the page stored {session.stored()}")
    print("new build: the next reload played it, the old cache went, and it plays offline")
    log = session.stop_game()
    check("SEVERE" not in log, f"the page reported errors:\n{log}")


# Which build plays: a test's copy marks its own.
MARK = "return Zb.build || ''"


def play_browser(session):
    play_in_engine(session)
    browser_modal_and_errors(session)
    browser_phone(session)
    browser_reload(session)


# Debian's selenium, not every python's: imported only when asked for.
def chromium(folder):
    from browsersession import ChromiumSession
    return ChromiumSession(folder)


def webkit(folder):
    from webkitsession import WebKitSession
    return WebKitSession(folder)


def firefox(folder):
    from firefoxsession import FirefoxSession
    return FirefoxSession(folder)


MODES = {
    "bare": (lambda binary: XSession(binary), play_whole_game),
    "openbox": (lambda binary: XSession(binary, window_manager=True), play_openbox),
    "wayland": (WaylandSession, play_wayland),
    "x11-lost": (lambda binary: XSession(binary), display_lost),
    "wayland-lost": (WaylandSession, display_lost),
    "gnome": (GnomeSession, lambda session: play_desktop(session, "GNOME", x11=True)),
    "kde": (KdeSession, lambda session: play_desktop(session, "KDE", x11=False)),
    "wine-bare": (lambda binary: WineSession(binary), play_whole_game),
    "wine-openbox": (lambda binary: WineSession(binary, window_manager=True), play_openbox),
    "chromium": (chromium, play_browser),
    "offline": (chromium, browser_offline),
    "webkit": (webkit, play_in_engine),
    "firefox": (firefox, play_in_engine),
}


def main():
    binary, mode = sys.argv[1], sys.argv[2]
    make_session, play = MODES[mode]
    return run(lambda: make_session(binary), play)


if __name__ == "__main__":
    sys.exit(main())
