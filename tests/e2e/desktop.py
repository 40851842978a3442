"""A desktop's own frames, under GNOME Shell and KWin: the desktop frames the
window and each box with their whole titles, stands a box over the window,
and shows the game by its desktop file; besides, all that sway plays.
"""
from closing import close_mid_game
from session import check
from wholegame import play_whole_game
from window import CAPTION, TITLE


def under_sway(session, check_window=lambda window: None):
    play_whole_game(session)
    close_mid_game(session, "the close request", check_window)


def under_desktop(session, desktop, x11):
    """The game is an X11 window there (GNOME, through XWayland) or a Wayland one (KWin)."""
    def title(frame, inner, text):  # whole: a cut title reads too far from it
        session.read_label((frame[0], frame[1], frame[2], inner[1] - frame[1]), [text], within=True)

    def at_home(window):
        seen, inner = session.about(window), session.geometry(window)
        check(seen["x11"] == x11 and seen["framed"] and seen["frame"][1] < inner[1], f"{desktop} framed {seen}")
        check((seen["app"], seen["name"]) == ("io.github.zorbleck.Zorbleck.desktop", TITLE), f"shown as {seen}")
        title(seen["frame"], inner, CAPTION)
        session.key("Return")
        for _ in range(2):  # "Select a Difficulty", then the summary
            box = session.wait_window(TITLE)
            x, y, w, h = frame = session.about(box)["frame"]
            fx, fy, fw, fh = seen["frame"]
            check(abs(2 * x + w - 2 * fx - fw) <= 8 and fy <= y and y + h <= fy + fh, f"box at {frame}, window {seen}")
            title(frame, session.geometry(box), TITLE)
            session.read_box(TITLE)
        print(f"{desktop}: {'an X11' if x11 else 'a Wayland'} window framed at {seen['frame']}, its client area "
              f"at {inner}, boxes over it, shown as {seen['name']}")

    under_sway(session, at_home)
