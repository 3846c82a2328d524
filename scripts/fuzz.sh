#!/usr/bin/env bash
# Builds the parsers' libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each of them, for a time or a number of inputs.
#
#   scripts/fuzz.sh [--seconds N | --runs N] [--build-dir DIR] [--no-deps] [TARGET...]
#
# Default: 60 seconds each, build folder build-fuzz/, every target. The working corpus grows
# in DIR/corpus/TARGET (seeded from tests/fuzz/seeds/TARGET); an input that crashes, hangs
# or leaks is written to DIR/artifacts/ and the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
runs=""
build=build-fuzz
deps=1
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --build-dir) build="$2"; shift 2 ;;
    --no-deps) deps=0; shift ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_quoteline fuzz_tickerline fuzz_numbers fuzz_valueforms)

[ "$deps" = 1 ] && scripts/install-deps.sh
cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -- "${targets[@]}"

mkdir -p "$build/artifacts"
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  limit=(-max_total_time="$seconds")
  [ -n "$runs" ] && limit=(-runs="$runs")
  echo "== $t"
  # -timeout: one input taking over 10 s is a hang.
  "$build/$t" "${limit[@]}" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$t-" "$corpus" "tests/fuzz/seeds/$t" 2>&1 |
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|#[0-9]+ *DONE|ERROR|SUMMARY|Test unit written' || true
  # The pipeline hides the fuzzer's own status: a written artifact is the failure.
  if compgen -G "$build/artifacts/$t-*" >/dev/null; then
    echo "$t: failing input kept in $build/artifacts/" >&2
    exit 1
  fi
done
