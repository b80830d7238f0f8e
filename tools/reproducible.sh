#!/bin/sh
# The Debian packages built twice as dpkg-buildpackage builds them, from two
# copies of the tree made at two times, in folders of two lengths, under two
# time zones and two umasks (SOURCE_DATE_EPOCH comes from debian/changelog,
# as dpkg sets it): each .deb, -dbgsym ones too, and the source package must
# be the same to the byte. The tests are left to `make test` (nocheck).
#   reproducible.sh OUT
set -eu
out=$1
tools=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out"
mkdir -p "$out"
export DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}"
(umask 022 && TZ=UTC "$tools/debian_package.sh" "$out/first") >"$out/first.log" 2>&1 ||
    { tail -n 30 "$out/first.log"; exit 1; }
(umask 002 && TZ=Asia/Tokyo "$tools/debian_package.sh" "$out/second/built/elsewhere") \
    >"$out/second.log" 2>&1 || { tail -n 30 "$out/second.log"; exit 1; }
status=0
for file in "$out"/first/*.deb "$out"/first/*.dsc "$out"/first/*.tar.*; do
    name=$(basename "$file")
    if cmp -s "$file" "$out/second/built/elsewhere/$name"; then
        echo "same to the byte: $name ($(sha256sum <"$file" | cut -c1-16))"
    else
        echo "DIFFERENT: $name"
        status=1
    fi
done
exit $status
