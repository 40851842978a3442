#!/usr/bin/env python3
"""Runs cppcheck on our own sources, as the build compiles them.

usage: cppcheck.py SOURCE_DIR BUILD_DIR

Takes BUILD_DIR/compile_commands.json, keeps only the files under src/ and
tests/ (not moc's output) and drops moc's include directories, since moc's
files only make sense after Qt's own headers, which cppcheck does not read.
"""
import json
import os
import re
import subprocess
import sys

source, build = (os.path.realpath(arg) for arg in sys.argv[1:3])
ours = re.compile(re.escape(source) + r"/(src|tests)/")
entries = []
for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
    if not ours.match(os.path.realpath(os.path.join(entry["directory"], entry["file"]))):
        continue
    entry["command"] = re.sub(r"\s-I\S*_autogen/include\S*", "", entry["command"])
    entries.append(entry)
if not entries:
    sys.exit("no sources of ours in the compilation database")

database = os.path.join(build, "cppcheck", "compile_commands.json")
os.makedirs(os.path.dirname(database), exist_ok=True)
with open(database, "w") as out:
    json.dump(entries, out, indent=1)

# cppcheck 2.10's lifetime analysis is wrong about two idioms of the tests:
# ZorbleckProbe holds a reference to the window, so what its accessors return
# lives as long as the window, not as the probe; and a fixture's hooks that
# capture a test's locals are replaced in init() before anything calls them.
tests = os.path.join(source, "tests", "*")
lifetime = ["danglingTempReference", "returnTempReference", "danglingTemporaryLifetime", "danglingLifetime"]

print(f"cppcheck: {len(entries)} files", flush=True)
sys.exit(subprocess.call([
    "cppcheck", "--project=" + database, "--library=qt", "--std=c++20",
    "--enable=warning,style,performance,portability", "--inline-suppr", "--error-exitcode=1",
    "--suppress=missingIncludeSystem", "--quiet", "-j2",
    "--cppcheck-build-dir=" + os.path.dirname(database)]
    + [f"--suppress={check}:{tests}" for check in lifetime]))
