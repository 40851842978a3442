"""How a game ends early: the window closed in the middle of it, by the window
manager's or compositor's close and by Alt+F4, ends the program at once with
status 0 and no box; the display or compositor killed ends it at once, and
not with success.
"""
import subprocess
import time

from session import Failure, check, check_no_sanitizer_report
from wholegame import greet, start_slow
from window import TITLE


def in_a_game(session, check_window=lambda window: None):
    """A fresh program two seconds into a Slow game."""
    game, window, _ = greet(session)
    check_window(window)
    start_slow(session, window)
    time.sleep(2)
    check(game.poll() is None, "the program ended during the game")
    return game, window


def seconds_to_end(game, since, cause, timeout=30):
    try:
        game.wait(timeout=timeout)  # a watchdog against a hang
    except subprocess.TimeoutExpired:
        raise Failure(f"the program did not end after {cause}") from None
    return time.monotonic() - since


def close(session, game, window, how, limit=2):
    """Closes the window by `how` ("alt+F4" or the close request): the
    program ends in `limit` seconds, with status 0 and no box."""
    closed = time.monotonic()
    if how == "alt+F4":
        session.focus(window)
        session.key("alt+F4")  # the test's openbox binds it to Close
    else:
        session.close_window(window)
    took = seconds_to_end(game, closed, how, timeout=max(30, limit))
    output = session.stop_game()
    check(game.returncode == 0, f"exit status {game.returncode}: {output}")
    check_no_sanitizer_report(output)
    check(took < limit, f"the program took {took:.2f} s to end after {how}")
    check(not session.windows(TITLE), "a box was shown after the close")
    print(f"closed by {how}: exit status 0 after {took * 1000:.0f} ms")


def close_mid_game(session, how, check_window=lambda window: None):
    close(session, *in_a_game(session, check_window), how)


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


def under_openbox(session):
    def framed(window):
        check("=" in session.tool("xprop", "-id", window, "_NET_FRAME_EXTENTS"), "the window manager gave no frame")

    close_mid_game(session, "the close request", framed)
    close_mid_game(session, "alt+F4", framed)
