"""How a game ends early: the window closed mid-game, by the window manager's
or compositor's close and by Alt+F4, ends the program at once with status 0
and no box; the display or compositor killed ends it at once, and not with
success.
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


def ended(session, game, since, cause, limit):
    """What the game printed, once it ended after `cause` within `limit` seconds."""
    try:
        game.wait(timeout=max(30, limit))  # a watchdog against a hang
    except subprocess.TimeoutExpired:
        raise Failure(f"the program did not end after {cause}") from None
    took = time.monotonic() - since
    output = session.stop_game()
    print(f"{cause}: exit status {game.returncode} after {took * 1000:.0f} ms, "
          f"the game's last words: {(output.strip().splitlines() or ['nothing'])[-1]!r}")
    check_no_sanitizer_report(output)
    check(took < limit, f"the program took {took:.2f} s to end after {cause}")
    return output


def close(session, game, window, how, limit=2):
    """Closes the window by `how` ("alt+F4" or the close request): the
    program ends in `limit` seconds, with status 0 and no box."""
    closed = time.monotonic()
    if how == "alt+F4":
        session.focus(window)
        session.key("alt+F4")  # the test's openbox binds it to Close
    else:
        session.close_window(window)
    output = ended(session, game, closed, how, limit)
    check(game.returncode == 0, f"exit status {game.returncode}: {output}")
    check(not session.windows(TITLE), "a box was shown after the close")


def close_mid_game(session, how, check_window=lambda window: None):
    close(session, *in_a_game(session, check_window), how)


def display_lost(session):
    # Qt ends the program with exit() from inside its event loop: what is
    # still held then is no leak of the game's.
    session.env["LSAN_OPTIONS"] += ":detect_leaks=0"
    game, _ = in_a_game(session)
    lost = time.monotonic()
    session.kill_display()
    output = ended(session, game, lost, "the display gone mid-game", limit=1)
    check(game.returncode != 0, f"exit status 0 without a display: {output}")


def under_openbox(session):
    def framed(window):
        check("=" in session.tool("xprop", "-id", window, "_NET_FRAME_EXTENTS"), "the window manager gave no frame")

    close_mid_game(session, "the close request", framed)
    close_mid_game(session, "alt+F4", framed)
