#!/usr/bin/env bash
# check_deb.sh <build folder> <work folder>: makes the Debian package from the build with
# CPack, has lintian look at it, unpacks it into the work folder and runs what it holds.
set -euo pipefail
build=$1
work=$2
. "$(dirname "$0")/common.sh"
need dpkg-deb dpkg
need dpkg-shlibdeps dpkg-dev
need lintian lintian
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need man man-db
need file file

rm -rf "$work"
mkdir -p "$work/config" "$work/data" "$work/out"
(cd "$build" && cpack -G DEB -B "$work/out" > "$work/cpack.log" 2>&1) ||
  fail "cpack failed: $(tail -20 "$work/cpack.log")"
debs=("$work"/out/vantora_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no vantora_*.deb: $(ls "$work/out")"
deb=${debs[0]}

[ "$(dpkg-deb -f "$deb" Package)" = vantora ] || fail "package name: $(dpkg-deb -f "$deb" Package)"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q "libqt6widgets6" <<< "$depends" || fail "dependencies not computed: '$depends'"
[ -n "$(dpkg-deb -f "$deb" Section)" ] || fail "the package has no section"

# Errors fail; warnings are shown.
lintian --tag-display-limit 0 "$deb" > "$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
if grep -q '^E: ' "$work/lintian.log"; then fail "lintian reports errors"; fi

dpkg-deb -x "$deb" "$work/root"
check_desktop_files "$work/root/usr"
check_programs "$work/root/usr"
echo "package $(basename "$deb"): fine"
