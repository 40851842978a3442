"""The Windows program under Wine, in a real X server, driven by real input.

Everything an XSession does still holds: Wine draws its windows as X
windows named by their captions, so xdotool, xwininfo, the screenshots and
the clipboard see them as they see a native program's. Wine's message box
copies its title and text on Ctrl+C in the dashed layout the scenarios read,
and Wine hands that to the X clipboard.

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
                        # Quiet, and no offers to install Mono or Gecko.
                        WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        try:
            booted = subprocess.run(["wineboot", "--init"], env=self.env, capture_output=True, timeout=120)
            check(booted.returncode == 0, f"wineboot failed: {booted.stderr.decode(errors='replace')}")
        except Exception:
            self.close()
            raise

    def game_command(self):
        return ["wine", self.binary]

    def close(self):
        # Ends whatever still runs in the prefix, its wineserver included.
        if "WINEPREFIX" in self.env:
            subprocess.run(["wineserver", "--kill"], env=self.env, capture_output=True)
        super().close()
