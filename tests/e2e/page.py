"""What only the browser game does: every control at its pixel inside the
page's frame and the focus's order, a dialog's modality, keys on the hidden
Start, an error's dialog, a reload in the middle of a game on a phone's
screen, nothing stored or fetched from elsewhere, and (installed as an app) a
game offline and a new build taken at the next reload.
"""
import os
import pathlib
import shutil
import tempfile
import time

from closing import in_a_game
from session import Failure, check
from wholegame import centre, greet, pick, play_whole_game, read_rules, start_slow, summary, timer_shows
from window import CAPTION, CLIENT, CONTROLS, OVERFLOW, RULES, RULES_TITLE, SELECT, TAB_ORDER, TITLE

FACE = (240, 240, 240)  # the page's face colour: the idle window and the labels
STORED = "return [localStorage.length, sessionStorage.length, document.cookie]"
MARK = "return Zb.build || ''"  # which build plays: a test's copy marks its own


def on_screen(session, look, expected, what, timeout=5):
    """Waits for look(screenshot) to give `expected`: a grab of a real
    display may come before the browser has painted."""
    seen = []

    def matches():
        seen.append(look(session.screenshot()))
        return seen[-1] == expected

    try:
        session.wait_for(matches, "", timeout)
    except Failure:
        raise Failure(f"{what}: {seen[-1]}, expected {expected}") from None


def leave(session):
    """Leaves the page, which must have reported no error on its console."""
    log = session.stop_game()
    check("SEVERE" not in log, f"the page reported errors:\n{log}")


def play_in_engine(session):
    # Keys on the Start button, hidden now, must not start a second game
    # inside this one: its summary would come late, a second one after it.
    # Chromium takes the focus off a hidden button; the button's own click
    # stands for a browser that would leave it there.
    def start_again():
        session.key("Return", "space")
        session.run("document.getElementById('cmdStart').click()")

    play_whole_game(session, at_start=start_again)
    layout(session)


def layout(session):
    """Every control at its pixel, the frame around them, the focus's order;
    clicks on a box under a dialog do not count. The page stays open."""
    _, _, origin = greet(session)
    ox, oy = origin
    around = lambda x, y, w, h: (ox + x - 6, oy + y - 6, w + 12, h + 12)
    controls = (("game area", FACE, (0, 0, *CLIENT)), ("list", (130, 135, 144), CONTROLS["lst1"]),
                ("Start", (112, 112, 112), CONTROLS["cmdStart"]))
    # The window's outer size on the page: the area with the frame drawn around it.
    expected = {what: (ox + x, oy + y, w, h) for what, _, (x, y, w, h) in controls}
    expected["frame"] = (ox - 4, oy - 30, 667, 603)
    on_screen(session, lambda shot: dict(
        {what: shot.find(colour, around(*place)) for what, colour, place in controls},
        frame=shot.find((0, 84, 153), (ox - 40, oy - 60, 740, 680))), expected, "layout")
    order = [session.run("return document.activeElement.id")]
    for _ in range(4):
        session.key("Tab")
        order.append(session.run("return document.activeElement.id"))
    check(tuple(order) == TAB_ORDER, f"focus went {order}")

    session.click(*centre("cmdStart", origin))
    session.wait_window(TITLE)
    for _ in range(3):
        session.click(*centre("pct", origin))  # the red box, under the dialog
    check(session.read_box(TITLE) == SELECT, "Start without a difficulty")
    check(summary(session) == (0, 0, 0, 0), "a click counted through a dialog")
    # The idle colour now lies around the labels, which keep the face colour.
    labels = {name: CONTROLS[name] for name in ("lbl1", "lblTimer")}
    on_screen(session, lambda shot: {name: shot.find(FACE, around(*place)) for name, place in labels.items()},
              {name: (ox + x, oy + y, w, h) for name, (x, y, w, h) in labels.items()}, "labels")
    print("layout: game area 659x569 in a 667x603 frame, every control at its pixel, "
          "Tab order Start, list, blue, green, red; clicks under a dialog do not count")


def errors_shown(session):
    """On the page that layout left: an error shows, and the page lives on."""
    origin = session.geometry("page")[:2]
    # The blue counter cannot pass 32767: the 10923rd press is an error. The
    # presses come in a burst, faster than any hand.
    session.run("const box = document.getElementById('pct2');"
                "for (let i = 0; i < 10923; i++)"
                "  box.dispatchEvent(new PointerEvent('pointerdown', {button: 0, bubbles: true}));")
    check(session.read_box(TITLE) == OVERFLOW, "no overflow error")
    session.click(*centre("cmdStart", origin))
    check(session.read_box(TITLE) == SELECT, "the page stopped after the error")
    check(summary(session) == (0, 32766, 0, 32766), "the score that overflowed did not keep its value")

    # A control that the page can no longer write: the game stops there,
    # says why, and the page goes on.
    session.run("Object.defineProperty(document.getElementById('lblTimer'), 'textContent',"
                "  {configurable: true, set() { throw new Error('the label is gone'); }});")
    pick(session, origin)
    session.click(*centre("cmdStart", origin))
    check(session.read_box(TITLE) == "the label is gone", "no error for a failed write")
    session.run("delete document.getElementById('lblTimer').textContent")
    session.key("Return")  # Start keeps the focus: a game runs now
    session.wait_for(lambda: timer_shows(session.screenshot(), origin), "no game after the failed one")
    print("errors: an overflow and a failed write show their error and the page goes on")
    leave(session)


def reload_on_a_phone(session):
    """A reload in the middle of a game gives a fresh page with its rules,
    here on a phone's small screen: the window scaled to fit, and a finger's
    taps count. Nothing is stored, nothing fetched but the page's own files."""
    in_a_game(session)
    session.resize(360, 640, touch=True)
    reloaded = time.monotonic()
    session.reload()
    check(session.read_box(RULES_TITLE) == RULES[0], "first rule box after the reload")
    check(not session.windows(CAPTION), "the window showed before the rules were read")
    check(session.read_box(RULES_TITLE) == RULES[1], "second rule box after the reload")
    x, y, w, h = session.geometry(session.wait_window(CAPTION))
    took = time.monotonic() - reloaded
    check(x >= 0 and y >= 0 and x + w <= 360 and y + h <= 640 and w > 300, f"game area at {(x, y, w, h)}")
    scale = w / CLIENT[0]
    at = lambda name: tuple(round(v * scale) + o for v, o in zip(centre(name, (0, 0)), (x, y)))
    for name in ("pct", "pct", "pct2", "cmdStart"):
        session.tap(*at(name))
    # A reloaded page keeps neither the difficulty nor a score.
    check(session.read_box(TITLE) == SELECT, "a tap did not operate Start, or the reload kept the difficulty")
    check(summary(session) == (2, 3, 0, 5), "taps on the boxes, on a fresh score")
    check(session.run(STORED) == [0, 0, ""], f"the page stored {session.run(STORED)}")
    own = {"/"} | {"/" + name for name in os.listdir(session.folder) if name != "index.html"}
    check(set(session.requests) <= own, f"the page asked for {session.requests}")
    leave(session)
    session.resize(1024, 768)
    print(f"reload mid-game: a fresh page and its rules after {took:.2f} s, the game area scaled to {w}x{h} "
          "on a 360x640 screen, taps counted; nothing stored, nothing fetched but the page's own files")


def play_in_chromium(session):
    play_in_engine(session)
    errors_shown(session)
    reload_on_a_phone(session)


# The page's caches once its service worker is active; only the page's own
# files are in them.
CACHES = "return navigator.serviceWorker.ready.then(() => caches.keys());"


def offline(session):
    """Installed as an app: it plays with the server gone, and takes a new build at the next reload."""
    session.start_game()
    read_rules(session)
    problems = session.cdp("Page.getInstallabilityErrors")["installabilityErrors"]
    check(not problems, f"the page cannot be installed: {problems}")
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
        worker = pathlib.Path(folder, "sw.js")
        check(first[0] in worker.read_text(), f"sw.js does not name its cache {first[0]}")
        worker.write_text(worker.read_text().replace(first[0], first[0] + "-next"))
        session.serve(folder, port)
        session.reload()
        read_rules(session)
        check(session.run(MARK) == "next", "the reload did not play the new build")
        caches = [first[0] + "-next"]
        session.wait_for(lambda: session.run(CACHES) == caches, f"the caches are not {caches}")
        plays_offline("next")
    check(session.run(STORED) == [0, 0, ""], f"the page stored {session.run(STORED)}")
    print("new build: the next reload played it, the old cache went, and it plays offline")
    leave(session)
