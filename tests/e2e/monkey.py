#!/usr/bin/env python3
"""Random input at the real binary under openbox, in three rounds.

usage: monkey.py BINARY [SEED]

Each round starts the program, storms the idle window, starts a game at one
difficulty (Slow, Average, Impossible in turn) and storms it. The first two
games are cut short by closing the window (the window manager's close, then
Alt+F4); the last one runs to its summary. Every box that shows up is read:
a summary must add up, and anything that is neither a summary nor the
difficulty prompt is a failure. The program must stay alive throughout, end
with status 0 at each close and print no sanitizer report.
"""
import random
import sys
import time

from closing import close
from session import CAPTION, Failure, check, run
from wholegame import SUMMARY_LINE, boxes_seen, centre, greet
from window import BOXES, CLIENT, CONTROLS, DIFFICULTIES, SELECT, TITLE
from xsession import XSession

W, H = CLIENT
START, LIST, VERDICT, TIMER = (CONTROLS[name] for name in ("cmdStart", "lst1", "lbl1", "lblTimer"))
GAME_LENGTH = 46

# While idle the storm keeps the focus on Start: no clicks on the list, no
# Tab and no arrows (an arrow on a push button moves the focus on), so the
# window stays idle and every Start asks for a difficulty. In a game every
# key goes; the start controls are hidden then.
IDLE_KEYS = ["space", "Return", "Escape", "a", "i", "s", "x", "z", "1"]
GAME_KEYS = IDLE_KEYS + ["Tab", "shift+Tab", "KP_Enter", "Up", "Down", "Left", "Right", "Home", "End"]
OPENS_A_BOX = {"space", "Return"}  # Start holds the focus while idle


def inside(point, area):
    x, y, w, h = area
    return x <= point[0] < x + w and y <= point[1] < y + h


class Monkey:
    def __init__(self, session, seed):
        self.session = session
        self.rng = random.Random(seed)
        self.events = 0
        self.summaries = 0
        self.prompts = 0
        self.origin = (0, 0)
        self.targets = {}  # where boxes were last seen, window coordinates
        self.began = time.monotonic()
        self.last_summary = None

    # -- input --------------------------------------------------------------
    def point_in(self, area):
        x, y, w, h = area
        return x + self.rng.randrange(w), y + self.rng.randrange(h)

    def random_point(self, in_game):
        roll = self.rng.random()
        if roll < 0.35 and self.targets:
            return self.point_in(self.rng.choice(list(self.targets.values())))
        if roll < 0.5:
            return self.point_in(self.rng.choice([CONTROLS[name] for name in BOXES]))
        if roll < 0.6:
            return self.point_in(VERDICT)
        if roll < 0.7 and in_game:  # the list is hidden now: background
            return self.point_in(LIST)
        if roll < 0.75:
            return self.point_in(START)
        while True:
            point = self.rng.randrange(W), self.rng.randrange(H)
            if in_game or not inside(point, LIST):
                return point

    def batch(self, size, in_game):
        """Sends one xdotool command line of random input; while idle it ends
        at the first action that opens a box, so that box can be read, and
        returns that action."""
        args, opens = ["xdotool"], None
        keys = GAME_KEYS if in_game else IDLE_KEYS
        # Most idle batches never press Start: reading boxes is slow, clicks are not.
        may_open = not in_game and self.rng.random() < 0.25
        for _ in range(size):
            if self.rng.random() < 0.7:
                x, y = self.random_point(in_game)
                while not (in_game or may_open) and inside((x, y), START):
                    x, y = self.random_point(in_game)
                opens = not in_game and inside((x, y), START) and f"a click at {x},{y}"
                repeat = "2" if self.rng.random() < 0.1 else "1"
                args += ["mousemove", str(self.origin[0] + x), str(self.origin[1] + y),
                         "click", "--repeat", repeat, "--delay", "0", "1"]
            else:
                key = self.rng.choice(keys)
                while not (in_game or may_open) and key in OPENS_A_BOX:
                    key = self.rng.choice(keys)
                args += ["key", "--delay", "0", key]
                opens = not in_game and key in OPENS_A_BOX and f"the key {key}"
            self.events += 1
            if opens:
                break
        self.session.tool(*args)
        return opens

    # -- what the window shows --------------------------------------------------
    def alive(self, game):
        check(game.poll() is None, f"the program ended (status {game.returncode})")
        check(self.session.windows(CAPTION), "the window is gone")

    def look(self):
        """Finds the boxes to aim at, and whether a game runs (its timer shows)."""
        shot = self.session.screenshot()
        ox, oy = self.origin
        self.targets = {name: (x - ox, y - oy, w, h) for name, (x, y, w, h) in boxes_seen(shot, self.origin).items()}
        tx, ty, tw, th = TIMER
        return shot.find((0, 0, 0), (ox + tx, oy + ty, tw, th)) is not None

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
        match = SUMMARY_LINE.match(text)
        check(match, f"unexpected box: {text!r}")
        red, blue, green, total = (int(n) for n in match.groups())
        check(red >= 0 and blue >= 0 and green >= 0, f"negative score: {text!r}")
        check(blue % 3 == 0 and green % 4 == 0, f"blue or green off its step: {text!r}")
        check(total == red + blue + green, f"total is not the sum: {text!r}")
        self.summaries += 1
        self.last_summary = text

    # -- a round ---------------------------------------------------------------
    def storm_idle(self, game, seconds):
        until = time.monotonic() + seconds
        while time.monotonic() < until:
            opened = self.batch(60, in_game=False)
            if opened:
                self.session.wait_for(lambda: self.session.windows(TITLE), f"{opened} on Start opened no box")
            self.read_boxes()
            self.alive(game)

    def start(self, difficulty):
        ox, oy = self.origin
        # A click on the first entry, then Down to the one wanted.
        self.session.click(ox + 150, oy + 27)
        for _ in range(DIFFICULTIES.index(difficulty)):
            self.session.key("Down")
        self.session.click(*centre("cmdStart", self.origin))
        self.session.wait_for(self.look, f"no {difficulty} game started", 10)
        return time.monotonic()

    def storm_game(self, game, started, seconds):
        rounds = 0
        while time.monotonic() - started < seconds:
            self.batch(150, in_game=True)
            rounds += 1
            if rounds % 4 == 0:
                self.look()
            self.read_boxes()  # nothing but an error could show now
            self.alive(game)

    def finish_game(self, game, started):
        self.session.wait_for(lambda: self.session.windows(TITLE), "the game never ended", 90)
        print(f"  the game showed its summary {time.monotonic() - started:.1f} s after Start")
        before = self.summaries
        self.read_boxes()
        print(f"  its summary: {self.last_summary}")
        check(self.summaries == before + 1, "no summary at the end of the game")
        self.alive(game)

    def still_asks_for_a_difficulty(self, game):
        ox, oy = self.origin
        # Select the first entry, then Ctrl+click it off again, late enough
        # not to make a double-click of it.
        self.session.click(ox + 150, oy + 27)
        time.sleep(0.6)
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
        self.storm_idle(game, idle_seconds)
        print(f"  idle storm done, {self.events} events and {self.summaries} summaries so far")
        self.look()
        started = self.start(difficulty)
        if game_seconds is None:
            # Quiet for the last seconds, so no key of the storm closes the summary.
            self.storm_game(game, started, GAME_LENGTH - 2)
            self.finish_game(game, started)
            self.still_asks_for_a_difficulty(game)
        else:
            self.storm_game(game, started, game_seconds)
        close(self.session, game, window, how, limit=60)


def main():
    binary = sys.argv[1]
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else random.randrange(1 << 32)
    print(f"seed {seed}")
    began = time.monotonic()

    def play(session):
        monkey = Monkey(session, seed)
        monkey.round("Slow", 4, 5, "the close request")
        monkey.round("Average", 3, 5, "alt+F4")
        monkey.round("Impossible", 3, None, "the close request")
        print(f"{monkey.events} events sent, {monkey.summaries} summaries and {monkey.prompts} difficulty "
              f"prompts checked, in {time.monotonic() - began:.0f} s")

    return run(lambda: XSession(binary, window_manager=True), play, seed=seed)


if __name__ == "__main__":
    sys.exit(main())
