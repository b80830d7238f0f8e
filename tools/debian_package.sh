#!/bin/sh
# The Debian packages built as a build daemon builds them, into OUT: the
# source tree copied to OUT/popchan-VERSION (the files git knows, without any
# build folder), the source package made of it (popchan_VERSION.dsc and its
# tar.xz), then the binary packages with their -dbgsym packages, the
# .buildinfo and the .changes (dpkg-buildpackage -us -uc -b, which runs the
# tests that need no display and honours DEB_BUILD_OPTIONS). Nothing is
# installed and nothing is fetched. With --source, the source package alone.
#   debian_package.sh [--source] OUT
set -eu
only_source=
if [ "$1" = --source ]; then
    only_source=1
    shift
fi
out=$1
source=$(cd "$(dirname "$0")/.." && pwd)
version=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Version)
rm -rf "$out"
# The copy's folders and files under the usual umask, whatever the caller's, so
# that the source package does not depend on it.
umask_before=$(umask)
umask 022
mkdir -p "$out/popchan-$version"
out=$(cd "$out" && pwd)
tree=$out/popchan-$version
# The tracked files as they stand in the working tree, and new ones not yet
# added; neither build/ nor node_modules/ (ignored), nor files deleted.
if git -C "$source" rev-parse --git-dir >/dev/null 2>&1; then
    (cd "$source" && git ls-files -z --cached --others --exclude-standard |
        xargs -0 sh -c 'for f; do if [ -e "$f" ] || [ -L "$f" ]; then printf "%s\0" "$f"; fi; done' sh |
        tar --null -T - -cf -) | tar -xf - -C "$tree"
else
    (cd "$source" && tar --exclude=./build --exclude=node_modules --exclude-vcs -cf - .) |
        tar -xf - -C "$tree"
fi
umask "$umask_before"
cd "$out"
dpkg-source -b "popchan-$version"
test -z "$only_source" || exit 0
cd "$tree"
dpkg-buildpackage -us -uc -b -Jauto
