#!/usr/bin/env python3
"""Runs clang-tidy or cppcheck on our own sources, as a build compiles them.

usage: analyse.py tidy|cppcheck SOURCE_DIR BUILD_DIR

Only the files under src/ and tests/ of BUILD_DIR/compile_commands.json, for
cppcheck without moc's include folders (moc's files need Qt's own headers,
which cppcheck does not read). A cross build's commands become host clang's.
"""
import functools
import json
import os
import re
import shlex
import subprocess
import sys

tool, source, build = sys.argv[1], *(os.path.realpath(arg) for arg in sys.argv[2:4])
ours = re.compile(re.escape(source) + r"/(src|tests)/")


@functools.cache
def search_dirs(compiler):
    """Where a compiler finds its system headers."""
    out = subprocess.run([compiler, "-E", "-x", "c++", "-v", "-"], stdin=subprocess.DEVNULL,
                         capture_output=True, text=True).stderr
    listed = out.split("#include <...> search starts here:")[1].split("End of search list.")[0]
    return [os.path.normpath(line.strip()) for line in listed.splitlines() if line.strip()]


@functools.cache
def output(*args):
    return subprocess.run(args, capture_output=True, text=True, check=True).stdout


def as_clang(arguments):
    """The host clang's command for a cross compiler's, and what cppcheck
    must be told of that platform: its macros and its library."""
    compiler = os.path.basename(arguments[0])
    if "mingw32" in compiler:
        # GCC's own intrinsics headers are for GCC: clang brings its own.
        dirs = [d for d in search_dirs(arguments[0]) if not re.search(r"/include(-fixed)?$", d) or "mingw32/include" in d]
        system = ["-nostdinc", f"-isystem{output('clang++', '-print-resource-dir').strip()}/include"]
        system += [f"-isystem{d}" for d in dirs]
        return ["clang++", "--target=x86_64-w64-mingw32", *system, *arguments[1:]], ["-D_WIN32", "-D_WIN64",
                                                                                     "--library=windows"]
    if compiler.startswith("em++"):
        return ["clang++", *shlex.split(output("em++", "--cflags")), *arguments[1:]], ["-D__EMSCRIPTEN__",
                                                                                         "--library=emscripten"]
    return arguments, ["--library=qt"]


entries, platform = [], []
for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
    path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    if not ours.match(path) or not path.endswith(".cpp"):
        continue
    arguments = shlex.split(entry.pop("command"))
    if tool == "cppcheck":
        arguments = [a for a in arguments if not re.search(r"_autogen/include", a)]
    entry["arguments"], platform = as_clang(arguments)
    entries.append(entry)
if not entries:
    sys.exit("no sources of ours in the compilation database")

database = os.path.join(build, "static", tool, "compile_commands.json")
os.makedirs(os.path.dirname(database), exist_ok=True)
with open(database, "w") as out:
    json.dump(entries, out, indent=1)
print(f"{tool}: {len(entries)} files of {build}", flush=True)

if tool == "tidy":
    sys.exit(subprocess.call(["run-clang-tidy", "-quiet", "-p", os.path.dirname(database),
                              f"-header-filter=^{source}/(src|tests)/", f"^{source}/(src|tests)/.*\\.cpp$"]))

# cppcheck 2.10's lifetime analysis is wrong about two idioms of the tests:
# ZorbleckProbe holds a reference to the window, so what its accessors return
# lives as long as the window, not as the probe; and a fixture's hooks that
# capture a test's locals are replaced in init() before anything calls them.
tests = os.path.join(source, "tests", "*")
lifetime = ["danglingTempReference", "returnTempReference", "danglingTemporaryLifetime", "danglingLifetime"]
sys.exit(subprocess.call([
    "cppcheck", "--project=" + database, "--library=googletest", *platform, "--std=c++20",
    "--enable=warning,style,performance,portability", "--inline-suppr", "--error-exitcode=1",
    "--suppress=missingIncludeSystem", "--quiet", "-j2",
    "--cppcheck-build-dir=" + os.path.dirname(database)]
    + [f"--suppress={check}:{tests}" for check in lifetime]))
