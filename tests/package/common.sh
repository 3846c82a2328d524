# Shared by the install and package checks: failing, skipping, and the checks both run on a
# tree laid out under a prefix.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A missing tool skips the check on a developer's machine; in CI it is a failure, since the
# install script provides it there.
need() {
  local tool=$1 package=$2
  command -v "$tool" > /dev/null && return 0
  if [ -n "${CI:-}" ]; then
    fail "$tool is missing (Debian package $package; scripts/install-deps.sh installs it)"
  fi
  echo "SKIPPED: $tool is missing (Debian package $package)"
  exit 77
}

# Runs an installed program with none of the variables that would point it at the build tree.
run_clean() {
  env -u VANTORA_HOME -u VANTORA_DATA_DIR -u VANTORA_PLUGIN_DIR \
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" "$@"
}

# The programs of a tree under prefix answer, and find their data folder and ticker control
# inside that tree, wherever it lies.
check_programs() {
  local prefix=$1
  local out
  out=$(run_clean "$prefix/bin/vantora" --version 2>/dev/null) || fail "vantora --version failed"
  [[ $out =~ ^Vantora\ v[0-9]+\.[0-9]+$ ]] || fail "vantora --version printed: $out"
  out=$(run_clean "$prefix/bin/vantora-quoted" --help 2>/dev/null) ||
    fail "vantora-quoted --help failed"
  grep -q -- "--port" <<< "$out" || fail "vantora-quoted --help printed: $out"
  out=$(run_clean "$prefix/bin/vantora" --help 2>/dev/null) || fail "vantora --help failed"
  grep -qxF "Data folder: $prefix/share/vantora" <<< "$out" ||
    fail "the installed vantora does not find its data folder: $out"
  local ticker
  ticker=$(sed -n 's/^Ticker control: //p' <<< "$out")
  [[ $ticker == "$prefix"/lib/vantora/libslidetape.so ||
    $ticker == "$prefix"/lib/*-*/vantora/libslidetape.so ]] ||
    fail "the installed vantora does not find its ticker control: $out"
  grep -qxF "Program folder (logs): $work/data/Vantora" <<< "$out" ||
    fail "the installed vantora does not keep its logs in XDG_DATA_HOME: $out"
}

# The desktop's files under prefix: launcher, AppStream description, icons and manual pages.
check_desktop_files() {
  local prefix=$1 id=$VANTORA_APP_ID
  local share=$prefix/share
  local desktop=$share/applications/$id.desktop metainfo=$share/metainfo/$id.metainfo.xml
  [ -f "$desktop" ] || fail "no launcher $desktop"
  [ -f "$metainfo" ] || fail "no AppStream file $metainfo"
  [ -f "$share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
  local size
  for size in $VANTORA_ICON_SIZES; do
    local png=$share/icons/hicolor/${size}x${size}/apps/$id.png
    file "$png" | grep -q "PNG image data, $size x $size" || fail "icon $png: $(file "$png")"
  done

  local out
  out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate: $out"
  grep -qxF "Icon=$id" "$desktop" || fail "the launcher does not name the icon $id"
  # Every remark counts, pedantic ones included.
  out=$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1) ||
    fail "appstreamcli: $out"
  if grep -qE '^[EWIP]:' <<< "$out"; then fail "appstreamcli: $out"; fi
  grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the AppStream file does not launch $id.desktop"

  local page
  for page in vantora vantora-quoted; do
    local man=$share/man/man1/$page.1.gz
    [ -f "$man" ] || fail "no manual page $man"
    gzip -t "$man" || fail "$man is not gzip data"
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$man" 2>&1 > /dev/null) ||
      fail "man $page: $out"
    [ -z "$out" ] || fail "man $page warns: $out"
    LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$man" 2> /dev/null | grep -q "^OPTIONS" ||
      fail "man $page has no OPTIONS section"
  done
}
