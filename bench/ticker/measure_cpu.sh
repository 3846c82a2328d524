#!/bin/sh
# Processor share of the real vantora program under Xvfb, from /proc/PID/stat (utime + stime)
# over SECONDS after a warm-up, with fresh settings (the agreement accepted).
#
#   bench/ticker/measure_cpu.sh BUILD_DIR [scroll|empty|off] [narrow|wide] [SECONDS]
#
# scroll: the start-up download's index lines scroll at speed 3 without a pause.
# empty:  the ticker is on but no index is ticked: every 25 ms pass finds nothing to show.
# off:    the ticker is switched off (hidden).
# narrow: the window at its narrow width, the strip 643 px wide (browser mode).
# wide:   the window widened to the screen (1280 px), the strip across the whole window.
# open:   narrow, with the browser tray opened (the Charts button shows a chart in it).
# Goals: scroll at most 1.5 % of one core; empty and off at most 0.2 %.
set -eu
build=${1:?build directory}
what=${2:-scroll}
width=${3:-narrow}
seconds=${4:-30}
warmup=10
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" VANTORA_HOME="$scratch/home"
export VANTORA_PLUGIN_DIR="$build/lib" VANTORA_DATA_DIR="$build/bin"
export ASAN_OPTIONS=detect_leaks=0
mkdir -p "$XDG_CONFIG_HOME/Vantora" "$VANTORA_HOME"
{
    echo "[Settings]"
    echo "FirstRun=1"
    case "$what" in
    empty)
        i=0
        while [ $i -le 42 ]; do echo "Portfolios\\Default\\Index$i=0"; i=$((i + 1)); done
        echo "Portfolios\\Default\\UseDefaultColors=0" ;;
    off) echo "Portfolios\\Default\\EnableScrollIndex=0" ;;
    esac
} > "$XDG_CONFIG_HOME/Vantora/Vantora.conf"

xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    "$0" & pid=$!
    sleep 4
    if [ "$3" = wide ]; then
        # The width button sits at the right end of the button bar of the window at (0, 0).
        xdotool mousemove 650 109 click 1 >/dev/null 2>&1 || echo "xdotool failed"
    elif [ "$3" = open ]; then
        # Charts, the second button of the button bar.
        sleep 4
        xdotool mousemove 78 109 click 1 >/dev/null 2>&1 || echo "xdotool failed"
    fi
    sleep "$1"
    hz=$(getconf CLK_TCK)
    t0=$(awk "{print \$14+\$15}" /proc/$pid/stat); s0=$(date +%s.%N)
    sleep "$2"
    t1=$(awk "{print \$14+\$15}" /proc/$pid/stat); s1=$(date +%s.%N)
    if [ -n "${SCREENSHOT:-}" ]; then import -window root "$SCREENSHOT"; fi
    kill $pid; wait $pid 2>/dev/null || true
    awk -v a="$t0" -v b="$t1" -v s="$s0" -v e="$s1" -v hz="$hz" \
        "BEGIN { printf \"cpu share of one core: %.2f %% (%d ticks in %.1f s)\\n\", 100*(b-a)/hz/(e-s), b-a, e-s }"
' "$build/bin/vantora" "$warmup" "$seconds" "$width"
echo "($what, $width; load average $(cut -d" " -f1-3 /proc/loadavg))"
