"""The Windows program under Wine, in a real X server, driven by real input.

Everything an XSession does still holds: Wine draws its windows as X
windows named by their captions, so xdotool, xwininfo and the screenshots
see them as they see a native program's. Only a message box is read another
way: Wine's copies nothing on Ctrl+C, so boxtext.exe, built beside the game,
reads the box from outside through Windows' own API, in the same layout.

Each session has a Wine prefix of its own in a temporary folder. The first
start of a fresh prefix takes 10 to 15 s, so the session makes the prefix
before the game's first start.
"""
import os
import subprocess

from session import check
from xsession import XSession


class WineSession(XSession):
    def __init__(self, binary, window_manager=False):
        super().__init__(binary, window_manager)
        self.env.update(WINEPREFIX=os.path.join(self.runtime_dir, "wine"),
                        # Quiet, no offers to install Mono or Gecko, and no menu
                        # entries made from the prefix's Start menu in the real home.
                        WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        try:
            booted = subprocess.run(["wineboot", "--init"], env=self.env, capture_output=True, timeout=120)
            check(booted.returncode == 0, f"wineboot failed: {booted.stderr.decode(errors='replace')}")
        except Exception:
            self.close()
            raise

    def copy_box(self, window, title):
        helper = os.path.join(os.path.dirname(os.path.abspath(self.binary)), "boxtext.exe")

        def read():
            result = subprocess.run(["wine", helper, title], env=self.env, capture_output=True, timeout=30)
            return result.stdout.decode(errors="replace") if result.returncode == 0 else None

        return self.wait_for(read, f"box {title!r} gave no text")

    def game_command(self):
        return ["wine", self.binary]

    def close(self):
        # Ends whatever still runs in the prefix, its wineserver included.
        if "WINEPREFIX" in self.env:
            subprocess.run(["wineserver", "--kill"], env=self.env, capture_output=True)
        super().close()
