#!/bin/sh
# Puts a release together from a release build (cmake --workflow --preset
# release), into DIST:
#   zorbleck-VERSION.tar.gz               the source, with no history
#   zorbleck_VERSION_amd64.deb            the Linux game
#   zorbleck-VERSION-win64.msi            the Windows installer
#   zorbleck-VERSION-windows-x86_64.zip   the portable Windows copy
#   zorbleck-VERSION-web.tar.gz           the folder a web server publishes
#   SHA256SUMS
# Everything is of the committed HEAD, with the commit's time (EPOCH): the
# tarball holds that time, so that a build from it makes the same .deb.
#
#   GIT=git CPACK=cpack PYTHON=python3 release.sh SOURCE BUILD DIST VERSION EPOCH
set -eu
source=$1 build=$2 dist=$3 version=$4 epoch=$5
name=zorbleck-$version
cd "$source"

# Uncommitted changes would be in the packages but not in the tarball.
if ! "$GIT" diff --quiet HEAD --; then
    echo "release: the work tree differs from HEAD; commit first" >&2
    exit 1
fi
echo "Releasing $name, of $("$GIT" rev-parse --short HEAD) at @$epoch, into $dist"
rm -rf "$dist" "$build/package"
mkdir -p "$dist"

"$GIT" archive --format=tar --prefix="$name/" --add-virtual-file="$name/SOURCE_DATE_EPOCH:$epoch" HEAD |
    gzip -9n >"$dist/$name.tar.gz"
"$CPACK" -G DEB -B "$build/package" --config "$build/CPackConfig.cmake" >/dev/null
"$CPACK" -B "$build/windows" --config "$build/windows/CPackConfig.cmake" >/dev/null
cp "$build/package/zorbleck_${version}_amd64.deb" "$build/windows/$name-win64.msi" \
    "$build/windows/$name-windows-x86_64.zip" "$dist/"
tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$epoch" --mode=u=rwX,go=rX \
    --transform="s,^page,$name-web," -C "$build/web" -cf - page | gzip -9n >"$dist/$name-web.tar.gz"

"$PYTHON" "$source/cmake/check-release.py" "$dist" "$version"
cd "$dist"
sha256sum "$name.tar.gz" "zorbleck_${version}_amd64.deb" "$name-win64.msi" "$name-windows-x86_64.zip" \
    "$name-web.tar.gz" >SHA256SUMS
cat SHA256SUMS
