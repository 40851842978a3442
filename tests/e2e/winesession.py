"""The Windows program under Wine, in an X server: Wine draws its windows as
X windows named by their captions, so all of an XSession holds, but for a
message box. Wine's copies nothing on Ctrl+C, so boxtext.exe, built beside
the game, reads it through Windows' own API, in the same layout. Each
session has a fresh Wine prefix, made before the game's first start (10 to
15 s).
"""
import os

from session import command
from xsession import XSession


class WineSession(XSession):
    def __init__(self, binary, window_manager=False):
        super().__init__(binary, window_manager)
        self.env.update(WINEPREFIX=os.path.join(self.dir, "wine"),
                        # Quiet, no offers to install Mono or Gecko, and no menu
                        # entries made from the prefix's Start menu in the real home.
                        WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        try:
            self.tool("wineboot", "--init")
        except Exception:
            self.close()  # its wineserver is no process of ours
            raise

    def copy_box(self, window, title):
        helper = os.path.join(os.path.dirname(os.path.abspath(self.binary)), "boxtext.exe")
        return self.wait_for(lambda: self.tool("wine", helper, title, ok=False, timeout=30),
                             f"box {title!r} gave no text")

    def game_command(self):
        return ["wine", self.binary]

    def close(self):
        # Ends whatever still runs in the prefix, its wineserver included.
        command("wineserver", "--kill", env=self.env, ok=False)
        super().close()
