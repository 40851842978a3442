#!/usr/bin/env python3
"""Checks that every file of a release says the same version: the names,
the .deb's control, its AppStream release and its manual page, the installer's product
version, the Windows program's version resource, the tarball's project()
and the release notes in it, and the web app's cache. Prints what differs
and fails; prints one line when all agree.

usage: check-release.py DIST VERSION
"""
import gzip
import io
import os
import re
import subprocess
import sys
import tarfile
import zipfile

dist, version = sys.argv[1:3]
name = f"zorbleck-{version}"
wrong = []


def expect(what, found):
    if found != version:
        wrong.append(f"{what}: {found!r}")


def member(archive, pattern):
    found = [m for m in archive.getnames() if re.search(pattern, m)]
    if not found:
        sys.exit(f"check-release: no {pattern} in the archive")
    return archive.extractfile(found[0]).read().decode()


def release_notes(changelog, metainfo, where):
    """The newest entry of the changelog and of the AppStream releases."""
    expect(f"{where} data/changelog", re.match(r"zorbleck \(([^)]+)\)", changelog).group(1))
    expect(f"{where} AppStream release", re.search(r'<release version="([^"]+)"', metainfo).group(1))


files = sorted(os.listdir(dist))
expected = sorted([f"{name}.tar.gz", f"zorbleck_{version}_amd64.deb", f"{name}-win64.msi",
                   f"{name}-windows-x86_64.zip", f"{name}-web.tar.gz"])
if [f for f in files if f != "SHA256SUMS"] != expected:
    wrong.append(f"the files are {files}, expected {expected}")

with tarfile.open(os.path.join(dist, f"{name}.tar.gz")) as source:
    expect("the tarball's project()",
           re.search(r"project\(zorbleck VERSION (\S+)", member(source, r"^[^/]+/CMakeLists.txt$")).group(1))
    release_notes(member(source, r"/data/changelog$"), member(source, r"/data/.*metainfo.xml$"), "the tarball's")
    names = source.getnames()
    if any(m != name and not m.startswith(f"{name}/") for m in names) or any(m.endswith("/.git") for m in names):
        wrong.append("the tarball holds more than its folder, or a git history")

deb = os.path.join(dist, f"zorbleck_{version}_amd64.deb")
expect("the .deb's Version", subprocess.run(["dpkg-deb", "-f", deb, "Version"], capture_output=True, text=True,
                                            check=True).stdout.strip())
data = subprocess.run(["dpkg-deb", "--fsys-tarfile", deb], capture_output=True, check=True).stdout
with tarfile.open(fileobj=io.BytesIO(data)) as tree:
    expect("the .deb's AppStream release",
           re.search(r'<release version="([^"]+)"', member(tree, r"metainfo.xml$")).group(1))
    manual = gzip.decompress(tree.extractfile(next(m for m in tree.getnames() if m.endswith("zorbleck.6.gz"))).read())
    expect("the .deb's manual page", re.search(r'^\.TH \S+ 6 \S+ "Zorbleck (\S+)"', manual.decode(), re.M).group(1))

properties = subprocess.run(["msiinfo", "export", os.path.join(dist, f"{name}-win64.msi"), "Property"],
                            capture_output=True, text=True, check=True).stdout
expect("the installer's ProductVersion", re.search(r"^ProductVersion\t(\S+)", properties, re.M).group(1))

with zipfile.ZipFile(os.path.join(dist, f"{name}-windows-x86_64.zip")) as portable:
    program = portable.read(next(n for n in portable.namelist() if n.endswith("zorbleck.exe")))
    for field in ("FileVersion", "ProductVersion"):
        found = re.search(re.escape(field.encode("utf-16-le")) + rb"(?:\0\0)+((?:[0-9.]\0)+)", program)
        expect(f"zorbleck.exe's {field}", found and found.group(1).decode("utf-16-le"))

with tarfile.open(os.path.join(dist, f"{name}-web.tar.gz")) as page:
    expect("the web app's cache", re.search(r'const BUILD = "zorbleck-([0-9.]+)-', member(page, r"/sw.js$")).group(1))

if wrong:
    print("check-release: these differ from " + version + ":\n  " + "\n  ".join(wrong))
    sys.exit(1)
print(f"check-release: every file of the release says {version}")
