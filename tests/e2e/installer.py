#!/usr/bin/env python3
"""usage: installer.py WINDOWS_BUILD (with zorbleck-<version>-win64.msi in it)

The installer read by msiinfo and msiextract, installed silently into a fresh
Wine prefix, played, upgraded in place by a higher version that wixl builds
from the same source, and removed without a trace."""
import filecmp
import glob
import os
import re
import sys

from session import check, command as tool, run
from wholegame import greet
from winesession import WineSession

FILES = {"zorbleck.exe", "README.txt", "COPYING.txt"}
TABLES = set("Component Directory Feature File Icon Media Property Registry RemoveFile Shortcut Upgrade".split())


def table(msi, name):
    return [line.split("\t") for line in tool("msiinfo", "export", msi, name).splitlines()[3:]]


def properties(msi):
    return dict(row[:2] for row in table(msi, "Property"))


def check_package(msi, build, scratch):
    """Its tables, a per-user summary, its properties, the shortcut and the three files."""
    check(TABLES <= set(tool("msiinfo", "tables", msi).split()), "a table is missing")
    summary = tool("msiinfo", "suminfo", msi)  # Source 10: compressed, needs no privileges
    check("Template: x64;1033" in summary and "Source: 10 (a)" in summary, f"summary:\n{summary}")
    props = properties(msi)
    check(os.path.basename(msi) == f"zorbleck-{props['ProductVersion']}-win64.msi", "named for another version")
    check({"ARPPRODUCTICON", "ARPHELPLINK"} <= props.keys() and "ALLUSERS" not in props, f"properties {props}")
    shortcut = [(row[1], row[4], row[8]) for row in table(msi, "Shortcut")]
    check(shortcut == [("ProgramMenuFolder", "[INSTALLDIR]zorbleck.exe", "zorbleck.ico")], f"shortcut {shortcut}")
    tool("msiextract", "-C", scratch, msi)
    check_files(os.path.join(scratch, "Programs", "Zorbleck"), build)
    print(f"package: {os.path.getsize(msi)} bytes, its tables and files in place")
    return props


def check_files(folder, build):
    check(os.path.isdir(folder) and set(os.listdir(folder)) == FILES, f"{folder} holds other files")
    program = os.path.join(folder, "zorbleck.exe")
    check(filecmp.cmp(program, os.path.join(build, "zorbleck.exe"), shallow=False), "not the program built")
    return program


class InstallSession(WineSession):
    """A Wine session whose game is the installed copy (boxtext.exe is still the build's)."""

    def game_command(self):
        return ["wine", self.installed]

    def profile(self, pattern):
        return glob.glob(os.path.join(self.env["WINEPREFIX"], "drive_c", "users", "*", "AppData", pattern))

    def check_installed(self, build, props):
        """The files, the Start menu shortcut, and one entry in the installed programs."""
        program = check_files((self.profile("Local/Programs/Zorbleck") + [""])[0], build)
        links = self.profile("Roaming/Microsoft/Windows/Start Menu/Programs/Zorbleck.lnk")
        with open(links[0] if links else os.devnull, "rb") as link:
            check("zorbleck.exe".encode("utf-16-le") in link.read(), f"no shortcut to the program: {links}")
        entries = [line for line in self.tool("wine", "uninstaller", "--list").splitlines() if "Zorbleck" in line]
        check(entries == [props["ProductCode"] + "|||Zorbleck"], f"installed programs: {entries}")
        key = rf"\Software\Microsoft\Windows\CurrentVersion\Uninstall\{props['ProductCode']}"
        values = "".join(self.tool("wine", "reg", "query", hive + key, ok=False) or "" for hive in ("HKCU", "HKLM"))
        values = dict(re.findall(r"^\s+(\w+)\s+REG_\w+\s+(.*?)\s*$", values, re.M))
        check((values.get("DisplayVersion"), values.get("Publisher"), values.get("HelpLink")) ==
              (props["ProductVersion"], props["Manufacturer"], props["ARPHELPLINK"]), f"entry {values}")
        return program


def play(session, build):
    scratch = session.dir
    packages = glob.glob(os.path.join(build, "zorbleck-*-win64.msi"))
    check(len(packages) == 1, f"not one package: {packages}")
    msi, props = packages[0], check_package(packages[0], build, scratch)
    session.tool("wine", "msiexec", "/i", msi, "/qn")
    session.installed = session.check_installed(build, props)
    greet(session)
    session.stop_game()
    print("installed: the program, its shortcut and entry; it shows the game's rule boxes")

    newer = re.sub(r"\d+$", lambda last: str(int(last[0]) + 1), props["ProductVersion"])
    upgrade = os.path.join(scratch, f"zorbleck-{newer}-win64.msi")
    tool("wixl", "-a", "x64", "-D", f"Version={newer}", "-o", upgrade, "zorbleck.wxs", cwd=os.path.join(build, "msi"))
    session.tool("wine", "msiexec", "/i", upgrade, "/qn")
    session.check_installed(build, properties(upgrade))
    print(f"upgraded in place to {newer}")

    session.tool("wine", "msiexec", "/x", upgrade, "/qn")
    check("Zorbleck" not in session.tool("wine", "uninstaller", "--list"), "still in the installed programs")
    left = [os.path.join(top, name) for top, dirs, files in os.walk(os.path.join(session.env["WINEPREFIX"], "drive_c"))
            for name in dirs + files if "zorbleck" in name.lower()]
    check(not left and not session.profile("Local/Programs"), f"left behind: {left}")
    check(session.tool("wine", "reg", "query", r"HKCU\Software\Zorbleck", ok=False) is None, "registry values left")
    print("removed without a trace")


if __name__ == "__main__":
    build = os.path.abspath(sys.argv[1])
    sys.exit(run(lambda: InstallSession(os.path.join(build, "zorbleck.exe")), lambda session: play(session, build)))
