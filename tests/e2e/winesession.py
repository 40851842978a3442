"""The Windows program under Wine, in an X server, driven by real input.

Wine draws its windows as X windows named by their captions, so everything
an XSession does still holds. Only a message box is read another way: Wine's
copies nothing on Ctrl+C, so boxtext.exe, built beside the game, reads it
from outside through Windows' own API, in the same layout. Each session has
a fresh Wine prefix, made before the game's first start (10 to 15 s).
"""
import os

from session import command
from xsession import XSession


class WineSession(XSession):
    def __init__(self, binary, window_manager=False):
        super().__init__(binary, window_manager)
        self.env.update(WINEPREFIX=os.path.join(self.runtime_dir, "wine"),
                        # Quiet, no offers to install Mono or Gecko, and no menu
                        # entries made from the prefix's Start menu in the real home.
                        WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        try:
            self.tool("wineboot", "--init")
        except Exception:
            self.close()
            raise

    def copy_box(self, window, title):
        helper = os.path.join(os.path.dirname(os.path.abspath(self.binary)), "boxtext.exe")
        return self.wait_for(lambda: self.tool("wine", helper, title, ok=False, timeout=30),
                             f"box {title!r} gave no text")

    def game_command(self):
        return ["wine", self.binary]

    def close(self):
        # Ends whatever still runs in the prefix, its wineserver included.
        if "WINEPREFIX" in self.env:
            command("wineserver", "--kill", env=self.env, ok=False)
        super().close()
