"""What only the browser game does: every control at its pixel inside the
page's frame and the focus's order, keys on the hidden Start, a dialog's
modality, an error's dialog, a phone's screen and touch, a reload in the
middle of a game, nothing stored or fetched from elsewhere, and (installed
as an app) a game offline and a new build taken at the next reload.
"""
import os
import shutil
import tempfile
import time

from closing import in_a_game
from session import Failure, check
from wholegame import centre, greet, play_whole_game, read_rules, start_slow, summary
from window import CAPTION, CLIENT, CONTROLS, OVERFLOW, RULES_TITLE, SELECT, TAB_ORDER, TITLE

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


def layout(session):
    """Every control at its pixel, the frame around them, the focus's order."""
    _, window, (ox, oy) = greet(session)
    around = lambda x, y, w, h: (ox + x - 6, oy + y - 6, w + 12, h + 12)
    controls = (("game area", FACE, (0, 0, *CLIENT)), ("list", (130, 135, 144), CONTROLS["lst1"]),
                ("Start", (112, 112, 112), CONTROLS["cmdStart"]))
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
    check(tuple(order) == TAB_ORDER, f"focus went {order}")
    session.click(*centre("cmdStart", (ox, oy)))
    check(session.read_box(TITLE) == SELECT and summary(session) == (0, 0, 0, 0), "Start without a difficulty")
    # The idle colour now lies around the labels, which keep the face colour.
    labels = {name: CONTROLS[name] for name in ("lbl1", "lblTimer")}
    on_screen(session, lambda shot: {name: shot.find(FACE, around(*place)) for name, place in labels.items()},
              {name: (ox + x, oy + y, w, h) for name, (x, y, w, h) in labels.items()}, "labels")
    print("layout: game area 659x569 in a 667x603 frame, every control at its pixel, "
          "Tab order Start, list, blue, green, red")
    session.stop_game()


def modal_and_errors(session):
    """A dialog keeps clicks from the boxes; an error shows and the page lives on."""
    _, _, origin = greet(session)
    ox, oy = origin
    session.click(*centre("cmdStart", origin))
    session.wait_window(TITLE)
    for _ in range(3):
        session.click(*centre("pct", origin))  # the red box, under the dialog
    check(session.read_box(TITLE) == SELECT, "Start without a difficulty")
    check(summary(session) == (0, 0, 0, 0), "a click counted through a dialog")

    # The blue counter cannot pass 32767: the 10923rd press is an error.
    session.press_many("pct2", 10923)
    check(session.read_box(TITLE) == OVERFLOW, "no overflow error")
    session.click(*centre("cmdStart", origin))
    check(session.read_box(TITLE) == SELECT, "the page stopped after the error")
    check(summary(session) == (0, 32766, 0, 32766), "the score that overflowed did not keep its value")

    # A control that the page can no longer write: the game stops there,
    # says why, and the page goes on.
    session.break_caption("lblTimer", "the label is gone")
    session.click(ox + 150, oy + 27)  # "Slow"
    session.click(*centre("cmdStart", origin))
    check(session.read_box(TITLE) == "the label is gone", "no error for a failed write")
    session.mend_caption("lblTimer")
    session.key("Return")  # Start keeps the focus: a game runs now
    x, y, w, h = CONTROLS["lblTimer"]
    session.wait_for(lambda: session.screenshot().find((0, 0, 0), (ox + x, oy + y, w, h)),
                     "no game after the failed one")
    print("modal: clicks under a dialog do not count; an overflow and a failed write show their error "
          "and the page goes on")
    log = session.stop_game()
    check("SEVERE" not in log, f"the page reported errors:\n{log}")


def phone(session):
    """A phone's small screen: the window scaled to fit, and a finger's taps count."""
    session.resize(360, 640, touch=True)
    session.start_game()
    session.read_box(RULES_TITLE)
    session.read_box(RULES_TITLE)
    window = session.wait_window(CAPTION)
    x, y, w, h = session.geometry(window)
    check(x >= 0 and y >= 0 and x + w <= 360 and y + h <= 640 and w > 300, f"game area at {(x, y, w, h)}")
    scale = w / CLIENT[0]
    at = lambda name: tuple(round(v * scale) + o for v, o in zip(centre(name, (0, 0)), (x, y)))
    for name in ("pct", "pct", "pct2", "cmdStart"):
        session.tap(*at(name))
    check(session.read_box(TITLE) == SELECT, "a tap did not operate Start")
    check(summary(session) == (2, 3, 0, 5), "taps on the boxes")
    print(f"phone: game area scaled to {w}x{h} on a 360x640 screen, taps counted")
    session.stop_game()
    session.resize(1024, 768)


def reload_mid_game(session):
    """A reload in the middle of a game gives a fresh page with its rules."""
    in_a_game(session)
    reloaded = time.monotonic()
    session.reload()
    _, origin = read_rules(session)
    took = time.monotonic() - reloaded
    session.click(*centre("cmdStart", origin))  # no difficulty is chosen on a fresh page
    check(session.read_box(TITLE) == SELECT, "the reloaded page kept the difficulty")
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
    layout(session)


# The page's caches once its service worker is active; only the page's own
# files are in them.
CACHES = """
return navigator.serviceWorker.ready.then(() => caches.keys());
"""


def offline(session):
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


def play_in_chromium(session):
    play_in_engine(session)
    modal_and_errors(session)
    phone(session)
    reload_mid_game(session)
