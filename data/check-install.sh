#!/bin/sh
# Checks an install tree for everything Zorbleck ships, at the paths Debian
# and the desktop look in.
#
#   sh data/check-install.sh DESTDIR [PREFIX]       (PREFIX defaults to /usr)
#
# e.g. DESTDIR=$PWD/stage cmake --install build --prefix /usr
#      sh data/check-install.sh stage
# Validators that are not installed are skipped, not failed.

set -u

if [ $# -lt 1 ] || [ ! -d "$1" ]; then
    echo "usage: $0 DESTDIR [PREFIX]" >&2
    exit 2
fi
root=$(cd "$1" && pwd -P)
prefix=${2:-/usr}
base=${root%/}$prefix
id=io.github.zorbleck.Zorbleck
sizes="16 32 48 64 128 256"

bin=$base/games/zorbleck
desktop=$base/share/applications/$id.desktop
metainfo=$base/share/metainfo/$id.metainfo.xml
man=$base/share/man/man6/zorbleck.6.gz
changelog=$base/share/doc/zorbleck/changelog.gz
copyright=$base/share/doc/zorbleck/copyright
icon() { echo "$base/share/icons/hicolor/${1}x${1}/apps/$id.png"; }

passed=0
failed=0
skipped=0
pass() { passed=$((passed + 1)); echo "ok:   $1"; }
fail() { failed=$((failed + 1)); echo "FAIL: $1"; }
skip() { skipped=$((skipped + 1)); echo "skip: $1"; }
check() {
    what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# Exact mode, without GNU stat.
has_mode() { [ -n "$(find "$2" -prune -perm "$1" 2>/dev/null)" ]; }

# Width and height from a PNG's IHDR chunk.
png_size() {
    [ "$(od -An -c -j1 -N3 "$1" | tr -d ' ')" = PNG ] || return 1
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }'
}

# Reproducible gzip: no stored name (FLG bit 3) and a zero time stamp.
plain_gzip() {
    gzip -t "$1" 2>/dev/null || return 1
    # shellcheck disable=SC2046 # splitting the bytes into $1..$8 is the point
    set -- $(od -An -tu1 -N8 "$1")
    [ "$1" -eq 31 ] && [ "$2" -eq 139 ] && [ $(($4 & 8)) -eq 0 ] &&
        [ "$5$6$7$8" = 0000 ]
}

# Runs a validator, failing on a non-zero exit or any error or warning line.
validate() {
    what=$1
    shift
    if ! command -v "$1" >/dev/null 2>&1; then
        skip "$what ($1 not installed)"
        return
    fi
    out=$("$@" 2>&1)
    rc=$?
    if [ $rc -eq 0 ] && ! printf '%s\n' "$out" | grep -Eqi '^(E|W):|error|warning'; then
        pass "$what"
    else
        printf '%s\n' "$out" | sed 's/^/      /'
        fail "$what"
    fi
}

desktop_key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }

echo "# binary"
check "game binary at $prefix/games/zorbleck" test -f "$bin"
check "game binary is mode 755" has_mode 755 "$bin"

echo "# desktop entry"
check "desktop file installed" test -f "$desktop"
if [ -f "$desktop" ]; then
    validate "desktop file is valid" desktop-file-validate "$desktop"
    check "desktop Exec runs the installed binary" \
        test "$(desktop_key Exec | cut -d' ' -f1)" = "$(basename "$bin")"
    check "desktop Icon names the installed theme icon" \
        test -f "$base/share/icons/hicolor/48x48/apps/$(desktop_key Icon).png"
    check "desktop StartupWMClass matches the binary name" \
        test "$(desktop_key StartupWMClass)" = "$(basename "$bin")"
fi

echo "# AppStream"
check "metainfo installed" test -f "$metainfo"
if [ -f "$metainfo" ]; then
    validate "metainfo is valid" appstreamcli validate --no-net "$metainfo"
    launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
    check "metainfo launchable is the installed desktop file" \
        test -f "$base/share/applications/${launchable:-none}"
fi

echo "# icons"
for size in $sizes; do
    f=$(icon "$size")
    check "${size}x$size icon is a ${size}x$size PNG" \
        test "$(png_size "$f" 2>/dev/null)" = "${size}x$size"
done

echo "# documentation"
check "man page is gzipped without name or time stamp" plain_gzip "$man"
if [ -f "$man" ] && command -v groff >/dev/null 2>&1; then
    warnings=$(gzip -dc "$man" | groff -man -Tutf8 -ww -z 2>&1)
    check "man page formats without warnings" test -z "$warnings"
else
    skip "man page formatting (groff not installed or page missing)"
fi
check "changelog is gzipped without name or time stamp" plain_gzip "$changelog"
check "copyright is machine-readable" \
    grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright"

# A live system holds much else; the whole-tree checks are for a staging dir.
if [ "$root" = / ]; then
    skip "whole-tree checks (install root is /)"
else
    echo "# whole tree"
    expected=$(
        for f in "$bin" "$desktop" "$metainfo" "$man" "$changelog" "$copyright"; do
            echo "$f"
        done
        for size in $sizes; do icon "$size"; done
    )
    unexpected=$(find "$root" ! -type d | while IFS= read -r f; do
        printf '%s\n' "$expected" | grep -Fqx "$f" || echo "$f"
    done)
    [ -z "$unexpected" ] || printf '%s\n' "$unexpected" | sed 's/^/      unexpected: /'
    check "no other files installed" test -z "$unexpected"
    bad_dirs=$(find "$base" -type d ! -perm 755)
    check "directories are mode 755" test -z "$bad_dirs"
    bad_files=$(find "$root" -type f ! -perm 644 ! -path "$bin")
    [ -z "$bad_files" ] || printf '%s\n' "$bad_files" | sed 's/^/      not 644: /'
    check "data files are mode 644" test -z "$bad_files"
fi

if [ $skipped -gt 0 ]; then
    echo "$passed passed, $failed failed, $skipped skipped"
else
    echo "$passed passed, $failed failed"
fi
[ $failed -eq 0 ]
