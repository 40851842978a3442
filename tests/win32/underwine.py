#!/usr/bin/env python3
"""Runs a Windows program (the suite, the bench) under Wine in an X server of
its own and a fresh prefix, as the end-to-end tests run the game.

usage: underwine.py PROGRAM.exe [ARGUMENT...]
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from winesession import WineSession  # noqa: E402


def main():
    session = WineSession(sys.argv[1])
    try:
        return subprocess.run(["wine", *sys.argv[1:]], env=session.env, timeout=600).returncode
    finally:
        session.close()


if __name__ == "__main__":
    sys.exit(main())
