#!/bin/sh
# Starts the vantora program with fresh settings (agreement accepted), waits until its
# main window has loaded and shown its first quotes (6 s), and prints the process's resident
# memory. Usage: bench/quotes/vantora_rss.sh <build dir>
set -eu
build=${1:?build dir}
work=$(mktemp -d)
mkdir -p "$work/config/Vantora"
printf '[Settings]\nFirstRun=1\n' > "$work/config/Vantora/Vantora.conf"
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
    VANTORA_PLUGIN_DIR="$build/lib" VANTORA_DATA_DIR="$build/bin" "$build/bin/vantora" >"$work/log" 2>&1 &
pid=$!
# The splash stays three seconds; the main window then loads and downloads at once.
sleep 6
grep VmRSS "/proc/$pid/status"
kill "$pid"
wait "$pid" 2>/dev/null || true
rm -rf "$work"
