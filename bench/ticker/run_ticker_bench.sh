#!/bin/sh
# Measures Vantora's processor share while index lines scroll in a real X window (Xvfb).
#
#   bench/ticker/run_ticker_bench.sh BUILD_DIR [SECONDS]
#
# 1. bench_ticker (BUILD_DIR/bin/bench/bench_ticker, configured with -DVANTORA_BUILD_BENCH=ON):
#    the main window started in-process, the index download run once, then CPU share and
#    frame-interval steadiness while the lines scroll at speed 3.
# 2. The real program (BUILD_DIR/bin/vantora) with a fresh settings folder: its CPU share is
#    read from /proc/PID/stat (utime + stime) over the measured seconds after a warm-up. It
#    downloads the quotes and the default indices from its built-in feed at start-up.
# Goal: at most 3 % of one core at speed 3.
set -eu
build=${1:?build directory}
seconds=${2:-20}
warmup=8
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" VANTORA_HOME="$scratch/home"
export VANTORA_PLUGIN_DIR="$build/lib" VANTORA_DATA_DIR="$build/bin"
export ASAN_OPTIONS=detect_leaks=0
mkdir -p "$XDG_CONFIG_HOME/Vantora" "$VANTORA_HOME"
# The agreement accepted, the ticker on at speed 3 without a pause.
cat > "$XDG_CONFIG_HOME/Vantora/Vantora.conf" <<CONF
[Settings]
FirstRun=1
CONF

if [ -x "$build/bin/bench/bench_ticker" ]; then
    echo "== bench_ticker ($seconds s) =="
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/bench/bench_ticker" "$seconds"
fi

if [ -x "$build/bin/vantora" ]; then
    echo "== vantora under Xvfb ($seconds s after ${warmup} s warm-up) =="
    xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
        "$0" & pid=$!
        sleep "$1"
        hz=$(getconf CLK_TCK)
        t0=$(awk "{print \$14+\$15}" /proc/$pid/stat); s0=$(date +%s.%N)
        sleep "$2"
        t1=$(awk "{print \$14+\$15}" /proc/$pid/stat); s1=$(date +%s.%N)
        kill $pid; wait $pid 2>/dev/null || true
        awk -v a="$t0" -v b="$t1" -v s="$s0" -v e="$s1" -v hz="$hz" \
            "BEGIN { printf \"cpu share of one core: %.2f %%\\n\", 100*(b-a)/hz/(e-s) }"
    ' "$build/bin/vantora" "$warmup" "$seconds"
fi
