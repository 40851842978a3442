#!/usr/bin/env python3
"""Plays the real build from outside, as a player would.

usage: play.py BINARY MODE    MODE: bare openbox wayland gnome kde x11-lost wayland-lost wine-bare wine-openbox
       play.py FOLDER ENGINE  ENGINE: chromium webkit firefox offline (the page in FOLDER, from 127.0.0.1)

Each mode is a session and the scenarios it plays. The browsers need
Debian's selenium and websockets: run with /usr/bin/python3.
"""
import sys

import page
from chromiumsession import ChromiumSession as chromium
from closing import display_lost, under_openbox
from desktop import under_desktop, under_sway
from firefoxsession import FirefoxSession as firefox
from gnomesession import GnomeSession
from kdesession import KdeSession
from session import run
from webkitsession import WebKitSession as webkit
from wholegame import play_whole_game
from winesession import WineSession
from wlsession import WaylandSession
from xsession import XSession

MODES = {
    "bare": (XSession, play_whole_game),
    "openbox": (lambda binary: XSession(binary, window_manager=True), under_openbox),
    "wayland": (WaylandSession, under_sway),
    "x11-lost": (XSession, display_lost),
    "wayland-lost": (WaylandSession, display_lost),
    "gnome": (GnomeSession, lambda session: under_desktop(session, "GNOME", x11=True)),
    "kde": (KdeSession, lambda session: under_desktop(session, "KDE", x11=False)),
    "wine-bare": (WineSession, play_whole_game),
    "wine-openbox": (lambda binary: WineSession(binary, window_manager=True), under_openbox),
    "chromium": (chromium, page.play_in_chromium),
    "offline": (chromium, page.offline),
    "webkit": (webkit, page.play_in_engine),
    "firefox": (firefox, page.play_in_engine),
}

if __name__ == "__main__":
    make_session, play = MODES[sys.argv[2]]
    sys.exit(run(lambda: make_session(sys.argv[1]), play))
