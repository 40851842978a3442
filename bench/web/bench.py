#!/usr/bin/python3
"""Figures of the browser game in headless Chromium, from the built page.

usage: bench.py FOLDER   (the built page, e.g. build/web; run with /usr/bin/python3)

It opens the real page through the end-to-end tests' browser session and
watches it from outside: JavaScript wrappers around the page's clock, its
yield to the browser and its event queue log what the game does, and
presses come through the DevTools protocol as the browser's input.

- pause overshoot: how far past its deadline each pause of a real game ends.
  A pass reads the clock four times in a row (the loop's test, the elapsed
  seconds, the pause's start, its first test); inside the pause each reading
  is followed by a yield. So between two yields a run of five readings is a
  pass boundary: the previous pause's last reading, then the four. The
  overshoot is that last reading minus (the pause's start + its length).
- beside it, a bare JavaScript wait of the same length that yields through a
  MessageChannel, and one that yields through setTimeout(0).
- a press to its count: from a press's event time stamp to the moment the
  game takes it from the queue and its handler runs, in a game and idle.
- the page's size, and the time from opening it to its first rule dialog.
Nothing is asserted: the figures are printed, each beside its goal.
"""
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
from browsersession import BrowserSession  # noqa: E402
from session import check  # noqa: E402

HOOKS = """
const log = window.zbLog = {events: [], presses: []};
const clock = Zb.clock, yieldToBrowser = Zb.yieldToBrowser, post = Zb.post;
const takeEvent = Zb.takeEvent, nextEvent = Zb.nextEvent;
Zb.clock = () => { const t = clock(); log.events.push(t); return t; };
Zb.yieldToBrowser = () => { log.events.push(-1); return yieldToBrowser(); };
const pressed = [];
Zb.post = (id) => { pressed.push([id, window.event ? window.event.timeStamp : performance.now()]); post(id); };
// The queue is first in, first out, and whatever is still in it was pressed
// last; an event the game took before the hooks came is passed over.
const taken = (event, idle) => {
  if (event >= 0) {
    const [id, at] = pressed.splice(0, pressed.length - Zb.queue.length).pop();
    if (id <= 2) log.presses.push([performance.now() - at, idle]);
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
const [seconds, how, count, done] = arguments;
const channel = new MessageChannel();
let resume;
channel.port1.onmessage = () => resume();
const viaChannel = () => new Promise((r) => { resume = r; channel.port2.postMessage(null); });
const viaTimer = () => new Promise((r) => setTimeout(r, 0));
const yieldOnce = how === "channel" ? viaChannel : viaTimer;
(async () => {
  const overshoots = [];
  for (let i = 0; i < count; i++) {
    const start = performance.now() / 1000;
    let now;
    while ((now = performance.now() / 1000) - start < seconds) await yieldOnce();
    overshoots.push((now - start - seconds) * 1e6);
  }
  done(overshoots);
})();
"""

ROWS = []


def row(figure, unit, values, goal="", met=None):
    values = sorted(values)
    if not values:
        ROWS.append((figure, unit, "0", "-", "-", "-", goal, "no data"))
        return
    p90 = values[min(len(values) - 1, int(len(values) * 0.9))]
    fmt = lambda v: f"{v:.3f}"
    verdict = "" if met is None else ("yes" if met(statistics.median(values)) else "NO")
    ROWS.append((figure, unit, str(len(values)), fmt(statistics.median(values)), fmt(p90), fmt(values[-1]),
                 goal, verdict))


def page_size(folder):
    sizes = {name: os.path.getsize(os.path.join(folder, name))
             for name in ("index.html", "zorbleck.js", "zorbleck.wasm", "zorbleck.css", "zorbleck.ico")}
    page = sizes["index.html"] + sizes["zorbleck.js"] + sizes["zorbleck.wasm"]
    row("page: HTML + JS + wasm, uncompressed", "KB", [page / 1000], "median <= 200", lambda m: m <= 200)
    for name, size in sizes.items():
        row(f"   {name}", "KB", [size / 1000])


def start_up(session, times=20):
    session.cdp("Page.addScriptToEvaluateOnNewDocument", source=FIRST_DIALOG)
    seen = []
    for _ in range(times):
        session.start_game()
        at = session.wait_for(lambda: session.driver.execute_script("return window.zbFirstDialog"),
                              "no rule dialog")
        seen.append(at / 1000)
        session.stop_game()
    row("open the page to its first rule dialog", "s", seen, "median <= 0.5", lambda m: m <= 0.5)


def greet(session):
    session.start_game()
    session.read_box("Zorbleck!")
    session.read_box("Zorbleck!")
    session.wait_window("Vemmo's Zorbleck!")
    session.driver.execute_script(HOOKS)
    return session.geometry("page")


def press_red(session):
    """A press at the red box's middle, wherever it stands now."""
    x, y = session.driver.execute_script(
        "const r = document.getElementById('pct').getBoundingClientRect();"
        "return [r.left + r.width / 2, r.top + r.height / 2];")
    session.click(round(x), round(y))


def pauses(events, seconds):
    """Overshoots in µs of the pauses of `seconds` found in the clock log."""
    runs, run = [], []
    for event in events:
        if event < 0:
            runs.append(run)
            run = []
        else:
            run.append(event)
    overshoots, start = [], None
    for run in runs:
        if len(run) == 5:
            if start is not None:
                overshoots.append((run[0] - start - seconds) * 1e6)
            start = run[3]
        elif len(run) != 1:
            start = None  # not a pass of this game: a start or an end
    return overshoots


def games(session, plan=(("Impossible", 0.035, 10), ("Average", 0.13, 12), ("Slow", 0.3, 18))):
    in_game, idle = [], []
    for difficulty, seconds, length in plan:
        ox, oy, _, _ = greet(session)
        # Idle presses on the red box, the page waiting for events.
        for _ in range(20):
            press_red(session)
            time.sleep(0.05)
        session.driver.execute_script(
            "const list = document.getElementById('lst1');"
            "list.selectedIndex = [...list.options].findIndex((o) => o.text === arguments[0]);", difficulty)
        session.click(ox + 64, oy + 56)
        started = time.monotonic()
        while time.monotonic() - started < length:
            press_red(session)
            time.sleep(0.1)
        log = session.driver.execute_script("return window.zbLog")
        session.stop_game()  # leaving the page ends its game
        row(f"pause {seconds * 1000:.0f} ms: overshoot", "ms", [v / 1000 for v in pauses(log["events"], seconds)],
            "median <= 1", lambda m: m <= 1)
        in_game += [ms for ms, was_idle in log["presses"] if not was_idle]
        idle += [ms for ms, was_idle in log["presses"] if was_idle]
    row("press to its count: in a game", "ms", in_game)
    row("   idle", "ms", idle)


def bare_waits(session, count=100):
    session.start_game()
    session.driver.set_script_timeout(120)
    for how in ("channel", "timer"):
        for seconds in (0.035, 0.13):
            overshoots = session.driver.execute_async_script(BARE_WAIT, seconds, how, count)
            row(f"   bare {seconds * 1000:.0f} ms wait, yield by {how}", "ms", [v / 1000 for v in overshoots])
    session.stop_game()


def main():
    folder = sys.argv[1]
    check(os.path.exists(os.path.join(folder, "zorbleck.wasm")), f"no built page in {folder}")
    began = time.time()
    load = os.getloadavg()[0]
    page_size(folder)
    session = BrowserSession(folder)
    try:
        start_up(session)
        games(session)
        bare_waits(session)
        version = session.driver.capabilities.get("browserVersion", "?")
    finally:
        session.close()
    header = ("figure", "unit", "n", "median", "p90", "max", "goal", "met")
    widths = [max(len(r[i]) for r in ROWS + [header]) for i in range(len(header))]
    for r in [header] + ROWS:
        print("  ".join(cell.ljust(width) for cell, width in zip(r, widths)).rstrip())
    print(f"\nChromium {version} headless; {os.cpu_count()} CPUs; load average {load:.2f} at the start, "
          f"{os.getloadavg()[0]:.2f} at the end; {time.time() - began:.0f} s")


if __name__ == "__main__":
    main()
