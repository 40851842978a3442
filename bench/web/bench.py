#!/usr/bin/python3
"""Figures of the browser game in one browser engine, from the built page.

usage: bench.py [--engine chromium|webkit|firefox] FOLDER
       (the built page, e.g. build/web/page; run with /usr/bin/python3;
       the engine defaults to $ZORBLECK_BENCH_ENGINE, then Chromium)

It opens the real page through the end-to-end tests' session for that engine
and watches it from outside: JavaScript wrappers around the page's clock, its
yield to the browser and its event queue log what the game does, and presses
come as that engine's tests send them (the DevTools protocol in Chromium, the
X server in WebKitGTK and Firefox).

- pause overshoot: how far past its deadline each pause of a real game ends.
  A pass reads the clock four times in a row (the loop's test, the elapsed
  seconds, the pause's start, its first test); inside the pause each reading
  is followed by a yield. So between two yields a run of five readings is a
  pass boundary: the previous pause's last reading, then the four. The
  overshoot is that last reading minus (the pause's start + its length).
- beside it, a bare JavaScript wait of the same length that yields through a
  MessageChannel, and one that yields through setTimeout(0).
- passes per game: a whole game's passes, projected from the pass tops in
  the log, against 46 s over the pause's length.
- a press to its count: from a press's event time stamp to the moment the
  game takes it from the queue and its handler runs, in a game and idle;
  and in a game, how much of it passed before the page's handler ran.
- the page's size, and the time from opening it to its first rule dialog
  (a copy of the page whose index.html loads first-dialog.js first).
- the grain of the engine's clock, performance.now().
Nothing is asserted: the figures are printed, each beside its goal.
"""
import argparse
import os
import re
import shutil
import sys
import tempfile
import time

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path[:0] = [os.path.join(ROOT, "tests", "e2e"), os.path.join(ROOT, "bench")]
import play  # noqa: E402
from report import Report  # noqa: E402
from session import check  # noqa: E402

# The goal for a pause's median overshoot: the clock's grain and 0.1 ms. Out
# of a cross-origin isolated page Chromium's grain is 0.1 ms, the others' 1 ms.
OVERSHOOT_GOAL = {"chromium": 0.2, "webkit": 1.1, "firefox": 1.1}

HOOKS = """
const log = window.zbLog = {events: [], presses: []};
const clock = Zb.clock, yieldToBrowser = Zb.yieldToBrowser, post = Zb.post;
const takeEvent = Zb.takeEvent, nextEvent = Zb.nextEvent;
Zb.clock = () => { const t = clock(); log.events.push(t); return t; };
Zb.yieldToBrowser = () => { log.events.push(-1); return yieldToBrowser(); };
const pressed = [];
Zb.post = (id) => {
  const now = performance.now();
  pressed.push([id, window.event ? window.event.timeStamp : now, now]);
  post(id);
};
// The queue is first in, first out, and whatever is still in it was pressed
// last; an event the game took before the hooks came is passed over.
const taken = (event, idle) => {
  if (event >= 0) {
    const [id, at, handled] = pressed.splice(0, pressed.length - Zb.queue.length).pop();
    if (id <= 2) log.presses.push([performance.now() - at, idle, handled - at]);
  }
  return event;
};
Zb.takeEvent = () => taken(takeEvent(), false);
Zb.nextEvent = async () => taken(await nextEvent(), true);
"""

FIRST_DIALOG = """
window.zbFirstDialog = null;
new MutationObserver((changes, observer) => {
  if (document.querySelector("dialog[open]")) {
    window.zbFirstDialog = performance.now();
    observer.disconnect();
  }
}).observe(document, {subtree: true, childList: true, attributes: true});
"""

BARE_WAIT = """
const [seconds, how, count] = arguments;
const channel = new MessageChannel();
let resume;
channel.port1.onmessage = () => resume();
const viaChannel = () => new Promise((r) => { resume = r; channel.port2.postMessage(null); });
const viaTimer = () => new Promise((r) => setTimeout(r, 0));
const yieldOnce = how === "channel" ? viaChannel : viaTimer;
return (async () => {
  const overshoots = [];
  for (let i = 0; i < count; i++) {
    const start = performance.now() / 1000;
    let now;
    while ((now = performance.now() / 1000) - start < seconds) await yieldOnce();
    overshoots.push((now - start - seconds) * 1e6);
  }
  return overshoots;
})();
"""

# The smallest step of the clock, in ms, over a busy second.
GRAIN = """
let least = Infinity, last = performance.now();
for (const end = last + 1000; last < end;) {
  const now = performance.now();
  if (now > last) least = Math.min(least, now - last);
  last = now;
}
return least;
"""

REPORT = Report()


def pauses_of_the_game():
    """(difficulty, seconds) as the game defines them, fastest first."""
    with open(os.path.join(ROOT, "src", "game", "pauses.h")) as header:
        found = re.findall(r"\{ layout::(\w+), ([0-9.]+) \}", header.read())
    check(len(found) == 3, f"src/game/pauses.h gives {found}")
    return sorted(((name, float(seconds)) for name, seconds in found), key=lambda pause: pause[1])


def page_size(folder):
    sizes = {name: os.path.getsize(os.path.join(folder, name)) for name in sorted(os.listdir(folder))}
    page = sum(sizes.get(name, 0) for name in ("index.html", "zorbleck.js", "zorbleck.wasm"))
    REPORT.figure("page: HTML + JS + wasm, uncompressed", "KB", [page / 1000], "median <= 200")
    for name, size in sizes.items():
        REPORT.figure(f"   {name}", "KB", [size / 1000])


def timed_copy(folder, copy):
    """The page, with a watch for the first dialog that runs before the game."""
    shutil.copytree(folder, copy, dirs_exist_ok=True)
    with open(os.path.join(copy, "first-dialog.js"), "w") as script:
        script.write(FIRST_DIALOG)
    index = os.path.join(copy, "index.html")
    with open(index) as page:
        text = page.read()
    check('<script src="zorbleck.js">' in text, "index.html loads no zorbleck.js")
    with open(index, "w") as page:
        page.write(text.replace('<script src="zorbleck.js">', '<script src="first-dialog.js"></script>\n'
                                '<script src="zorbleck.js">'))


def start_up(session, times=20):
    seen = []
    for _ in range(times):
        session.start_game()
        at = session.wait_for(lambda: session.run("return window.zbFirstDialog"), "no rule dialog")
        seen.append(at / 1000)
        session.stop_game()
    REPORT.figure("open the page to its first rule dialog", "s", seen, "median <= 0.5")


def greet(session):
    session.start_game()
    session.read_box("Zorbleck!")
    session.read_box("Zorbleck!")
    session.wait_window("Vemmo's Zorbleck!")
    session.run(HOOKS)
    return session.geometry("page")


def press_red(session):
    """A press at the red box's middle, wherever it stands now."""
    x, y, w, h = session.place("pct")
    session.click(x + w // 2, y + h // 2)


def runs_of(events):
    """The clock log cut into its runs of readings, each ended by a pump (< 0)."""
    runs, run = [], []
    for event in events:
        if event < 0:
            runs.append(run)
            run = []
        else:
            run.append(event)
    return runs


def pass_tops(events):
    """The clock readings at the top of each pass: the second of a run of five."""
    return [run[1] for run in runs_of(events) if len(run) == 5]


def pauses(events, seconds):
    """Overshoots in µs of the pauses of `seconds` found in the clock log."""
    runs = runs_of(events)
    overshoots, start = [], None
    for run in runs:
        if len(run) == 5:
            if start is not None:
                overshoots.append((run[0] - start - seconds) * 1e6)
            start = run[3]
        elif len(run) != 1:
            start = None  # not a pass of this game: a start or an end
    return overshoots


def games(session, goal):
    in_game, idle = [], []
    # The first 10, 12 and 18 s of a game, fastest first.
    for (difficulty, seconds), length in zip(pauses_of_the_game(), (10, 12, 18)):
        ox, oy, _, _ = greet(session)
        # Idle presses on the red box, the page waiting for events.
        for _ in range(20):
            press_red(session)
            time.sleep(0.05)
        session.run(
            "const list = document.getElementById('lst1');"
            "list.selectedIndex = [...list.options].findIndex((o) => o.text === arguments[0]);", difficulty)
        session.click(ox + 64, oy + 56)
        started = time.monotonic()
        while time.monotonic() - started < length:
            press_red(session)
            time.sleep(0.1)
        log = session.run("return window.zbLog")
        session.stop_game()  # leaving the page ends its game
        REPORT.figure(f"pause {seconds * 1000:.0f} ms: overshoot", "ms",
                      [v / 1000 for v in pauses(log["events"], seconds)], f"median <= {goal:g}", delays=True)
        tops = pass_tops(log["events"])
        ideal = 46 / seconds
        projected = [46 * (len(tops) - 1) / (tops[-1] - tops[0])] if len(tops) > 1 else []
        REPORT.figure(f"   passes per game (ideal {ideal:.0f})", "passes", projected, f"median >= {0.99 * ideal:.4g}")
        in_game += [(ms, before) for ms, was_idle, before in log["presses"] if not was_idle]
        idle += [ms for ms, was_idle, _ in log["presses"] if was_idle]
    REPORT.figure("press to its count: in a game", "ms", [ms for ms, _ in in_game], delays=True)
    REPORT.figure("   of which before the page's handler", "ms", [before for _, before in in_game])
    REPORT.figure("   idle", "ms", idle, delays=True)


def bare_waits(session, count=100):
    session.start_game()
    REPORT.figure("clock grain, performance.now()", "ms", [session.run(GRAIN)])
    for how in ("channel", "timer"):
        for _, seconds in pauses_of_the_game()[:2]:
            overshoots = session.run(BARE_WAIT, seconds, how, count)
            REPORT.figure(f"   bare {seconds * 1000:.0f} ms wait, yield by {how}", "ms", [v / 1000 for v in overshoots],
                          delays=True)
    session.stop_game()


def main():
    parser = argparse.ArgumentParser()
    # The bench target passes no option: it takes the engine from the environment.
    parser.add_argument("--engine", choices=tuple(OVERSHOOT_GOAL),
                        default=os.environ.get("ZORBLECK_BENCH_ENGINE", "chromium"))
    parser.add_argument("folder")
    arguments = parser.parse_args()
    folder = arguments.folder
    check(os.path.exists(os.path.join(folder, "zorbleck.wasm")), f"no built page in {folder}")
    began = time.time()
    load = os.getloadavg()[0]
    page_size(folder)
    with tempfile.TemporaryDirectory() as copy:
        timed_copy(folder, copy)
        session = getattr(play, arguments.engine)(copy)  # the end-to-end test's session for it
        try:
            start_up(session)
            games(session, OVERSHOOT_GOAL[arguments.engine])
            bare_waits(session)
            version = session.version()
        finally:
            session.close()
    REPORT.print()
    print(f"\n{session.name} {version}; {os.cpu_count()} CPUs; load average {load:.2f} at the start, "
          f"{os.getloadavg()[0]:.2f} at the end; {time.time() - began:.0f} s")


if __name__ == "__main__":
    main()
