#!/usr/bin/env python3
"""Random input at the real binary under openbox, in three rounds.

usage: monkey.py BINARY [SEED]

Each round storms the idle window, starts a game (Slow, Average, Impossible
in turn) and storms it; the first two games are cut short by the window
manager's close and by Alt+F4, the last runs to its summary. Every box is
read: a summary must add up, and anything else but the difficulty prompt
fails. The program must stay alive throughout and end well at each close.
"""
import random
import sys
import time

from closing import close
from session import CAPTION, Failure, check, run
from wholegame import boxes_seen, centre, greet, pick, summary_of, timer_shows
from window import BOXES, CLIENT, CONTROLS, SELECT, TITLE
from xsession import XSession

START, LIST = CONTROLS["cmdStart"], CONTROLS["lst1"]
GAME_LENGTH = 46
# While idle Start holds the focus and the storm leaves it there: no clicks
# on the list, no Tab and no arrows (an arrow on a push button moves the
# focus on), and Start is pressed only at a batch's end, so that its box can
# be read. In a game every key goes; the start controls are hidden then.
IDLE_KEYS = ["Escape", "a", "i", "s", "x", "z", "1"]
GAME_KEYS = IDLE_KEYS + ["space", "Return", "Tab", "shift+Tab", "KP_Enter", "Up", "Down", "Left", "Right",
                         "Home", "End"]
# Each round: its difficulty, the seconds of storm while idle and in the game
# (None: to its summary), and how the window is closed then.
ROUNDS = (("Slow", 4, 5, "the close request"), ("Average", 3, 5, "alt+F4"),
          ("Impossible", 3, None, "the close request"))


def inside(point, area):
    x, y, w, h = area
    return x <= point[0] < x + w and y <= point[1] < y + h


class Monkey:
    def __init__(self, session, seed):
        self.session = session
        self.rng = random.Random(seed)
        self.events = self.summaries = self.prompts = 0
        self.targets = {}  # where boxes were last seen, window coordinates
        self.began = time.monotonic()

    def point_in(self, area):
        x, y, w, h = area
        return x + self.rng.randrange(w), y + self.rng.randrange(h)

    def random_point(self, in_game):
        """Mostly on a box or where one was; while idle never on the list or Start."""
        roll = self.rng.random()
        if roll < 0.35 and self.targets:
            area = self.rng.choice(list(self.targets.values()))
        elif roll < 0.5:
            area = CONTROLS[self.rng.choice(list(BOXES))]
        elif roll < 0.6:
            area = CONTROLS["lbl1"]
        elif roll < 0.75 and in_game:  # the background now
            area = self.rng.choice((LIST, START))
        else:
            area = (0, 0, *CLIENT)
        point = self.point_in(area)
        return point if in_game or not (inside(point, LIST) or inside(point, START)) else self.random_point(in_game)

    def click(self, point):
        repeat = "2" if self.rng.random() < 0.1 else "1"
        return ["mousemove", str(self.origin[0] + point[0]), str(self.origin[1] + point[1]),
                "click", "--repeat", repeat, "--delay", "0", "1"]

    def storm(self, size, in_game, press_start):
        """Sends one xdotool command line of random input, which may end by
        pressing Start; returns how it pressed it."""
        args = ["xdotool"]
        for _ in range(size):
            if self.rng.random() < 0.7:
                args += self.click(self.random_point(in_game))
            else:
                args += ["key", "--delay", "0", self.rng.choice(GAME_KEYS if in_game else IDLE_KEYS)]
        pressed = press_start and self.rng.choice(("a click", "space", "Return"))
        if pressed:
            args += self.click(self.point_in(START)) if pressed == "a click" else ["key", "--delay", "0", pressed]
        self.events += size + bool(pressed)
        self.session.tool(*args)
        return pressed

    def alive(self, game):
        check(game.poll() is None, f"the program ended (status {game.returncode})")
        check(self.session.windows(CAPTION), "the window is gone")

    def look(self):
        """Finds the boxes to aim at, and whether a game runs (its timer shows)."""
        shot = self.session.screenshot()
        ox, oy = self.origin
        self.targets = {name: (x - ox, y - oy, w, h) for name, (x, y, w, h) in boxes_seen(shot, self.origin).items()}
        return timer_shows(shot, self.origin)

    def read_boxes(self):
        """Reads every box that is open now, and the ones that follow it."""
        while self.session.windows(TITLE):
            try:
                text = self.session.read_box(TITLE)
            except Failure:
                # A key of the storm closed it first; nothing to read.
                if self.session.windows(TITLE):
                    raise
                return
            self.check_box(text)
            if text == SELECT:
                # The summary of the idle clicks comes next.
                self.session.wait_for(lambda: self.session.windows(TITLE), "no summary after the prompt")

    def check_box(self, text):
        if text == SELECT:
            self.prompts += 1
            return
        summary_of(text)
        self.summaries += 1

    def storm_until(self, game, deadline, in_game):
        """Storms the window until `deadline`, reading every box that shows.
        Most idle batches never press Start: reading boxes is slow, clicks
        are not. In a game every fourth batch looks where the boxes are."""
        batches = 0
        while time.monotonic() < deadline:
            pressed = self.storm(150 if in_game else 60, in_game, not in_game and self.rng.random() < 0.25)
            if pressed:
                self.session.wait_for(lambda: self.session.windows(TITLE), f"{pressed} on Start opened no box")
            batches += 1
            if in_game and batches % 4 == 0:
                self.look()
            self.read_boxes()  # in a game nothing but an error could show
            self.alive(game)

    def start(self, difficulty):
        pick(self.session, self.origin, difficulty)
        self.session.click(*centre("cmdStart", self.origin))
        self.session.wait_for(self.look, f"no {difficulty} game started", 10)
        return time.monotonic()

    def finish_game(self, game, started):
        """The summary at the game's end; then Start, with the difficulty
        selected and Ctrl+clicked off again, asks for one."""
        self.session.wait_window(TITLE, timeout=90)
        came = time.monotonic() - started
        text = self.session.read_box(TITLE)
        check(text != SELECT, "no summary at the end of the game")
        self.check_box(text)
        print(f"  the game showed its summary {came:.1f} s after Start: {text}")
        pick(self.session, self.origin)
        time.sleep(0.6)  # late enough not to make a double-click of it
        self.session.tool("xdotool", "keydown", "ctrl", "click", "1", "keyup", "ctrl")
        self.session.click(*centre("cmdStart", self.origin))
        check(self.session.read_box(TITLE) == SELECT, "Start did not ask for a difficulty")
        self.prompts += 1
        self.check_box(self.session.read_box(TITLE))
        self.alive(game)

    def round(self, difficulty, idle_seconds, game_seconds, how):
        game, window, self.origin = greet(self.session)
        self.session.focus(window)
        print(f"round {difficulty}: {time.monotonic() - self.began:.1f} s in")
        self.storm_until(game, time.monotonic() + idle_seconds, in_game=False)
        print(f"  idle storm done, {self.events} events and {self.summaries} summaries so far")
        self.look()
        started = self.start(difficulty)
        if game_seconds is None:
            # Quiet for the last seconds, so no key of the storm closes the summary.
            self.storm_until(game, started + GAME_LENGTH - 2, in_game=True)
            self.finish_game(game, started)
        else:
            self.storm_until(game, started + game_seconds, in_game=True)
        close(self.session, game, window, how, limit=60)


def main():
    binary = sys.argv[1]
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else random.randrange(1 << 32)
    print(f"seed {seed}")

    def play(session):
        monkey = Monkey(session, seed)
        for difficulty, idle_seconds, game_seconds, how in ROUNDS:
            monkey.round(difficulty, idle_seconds, game_seconds, how)
        print(f"{monkey.events} events sent, {monkey.summaries} summaries and {monkey.prompts} difficulty "
              f"prompts checked, in {time.monotonic() - monkey.began:.0f} s")

    return run(lambda: XSession(binary, window_manager=True), play, seed=seed)


if __name__ == "__main__":
    sys.exit(main())
