#!/usr/bin/env bash
# check_install.sh <build folder> <work folder>: installs the build into a fresh prefix
# under the work folder, validates the desktop's files found there, and runs the installed
# programs, which must find their files with no variable pointing at them.
set -euo pipefail
build=$1
work=$2
. "$(dirname "$0")/common.sh"
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need man man-db
need file file

rm -rf "$work"
mkdir -p "$work/config" "$work/data"
# An unusual prefix, so that nothing found can come from a default location.
prefix=$work/some/prefix
cmake --install "$build" --prefix "$prefix" > "$work/install.log" ||
  fail "cmake --install failed: $(tail -5 "$work/install.log")"
check_desktop_files "$prefix"
check_programs "$prefix"
echo "installed tree under $prefix: fine"
