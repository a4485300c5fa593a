#!/usr/bin/env bash
# Builds the benchmarks in Release (in build-bench/, or NIMBREL_BENCH_BUILD_DIR)
# and prints one table of the program's speed and memory, with the ratio to a
# peer measured in the same run where there is one.
#   ./bench.sh [IDLE_SECONDS]   idle measured this long shown and as long hidden
#                               (default 60; 0 leaves the idle rows out)
# The raw results stay in <build>/bench-results/.
set -euo pipefail
cd "$(dirname "$0")"
idle_seconds=${1:-60}
case "$idle_seconds" in
  ''|*[!0-9]*) echo "bench.sh: IDLE_SECONDS is a whole number of seconds" >&2; exit 2 ;;
esac

./scripts/install-deps
BUILD_DIR=${NIMBREL_BENCH_BUILD_DIR:-build-bench}
results="$BUILD_DIR/bench-results"
mkdir -p "$BUILD_DIR"
echo "bench.sh: building in $BUILD_DIR (Release)" >&2
if ! { cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
         -DBUILD_TESTING=OFF -DNIMBREL_TOOLS=ON -DNIMBREL_BENCH=ON &&
       cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target \
         bench_astro bench_parse bench_ini bench_lang bench_app_core bench_forecast_list bench_app \
         bench_refresh_tls bench_title_clock bench_idle_floor bench_tray_host \
         nimbrel fake-owm demo-ini; } >"$BUILD_DIR/bench-build.log" 2>&1; then
  cat "$BUILD_DIR/bench-build.log" >&2
  exit 1
fi

rm -rf "$results"
mkdir -p "$results"
run() {
  local name=$1 program=$2
  shift 2
  echo "bench.sh: $name" >&2
  "$program" --benchmark_out="$results/$name.json" --benchmark_out_format=json "$@" \
    >"$results/$name.log" 2>&1 || { echo "bench.sh: $name failed:" >&2; cat "$results/$name.log" >&2; exit 1; }
}
run astro "$BUILD_DIR/bench/astro/bench_astro" --benchmark_filter='SunPosition|SunRiseSet|NextPhase_AllEight'
run parse "$BUILD_DIR/bench/weather/bench_parse"
run ini "$BUILD_DIR/bench/layout/bench_ini"
run lang "$BUILD_DIR/bench/lang/bench_lang" --benchmark_filter=LoadLanguageFile
run app_core "$BUILD_DIR/bench/app/bench_app_core" --benchmark_filter='AfterDataArrived|BuildMoonTable'
QT_QPA_PLATFORM=offscreen run forecast_list "$BUILD_DIR/bench/app/bench_forecast_list"
QT_QPA_PLATFORM=offscreen run clock "$BUILD_DIR/bench/app/bench_title_clock"
run refresh_tls "$BUILD_DIR/bench/weather/bench_refresh_tls"
run start "$BUILD_DIR/bench/app/bench_app"

if [ "$idle_seconds" -gt 0 ]; then
  echo "bench.sh: idle, ${idle_seconds}s shown and ${idle_seconds}s hidden" >&2
  NIMBREL_BUILD_DIR="$BUILD_DIR" bench/idle/idle-wakeups "$idle_seconds" >"$results/idle.txt" 2>"$results/idle.log" \
    || { echo "bench.sh: the idle measurement failed:" >&2; cat "$results/idle.log" >&2; exit 1; }
fi

echo
python3 bench/bench-table.py "$results"
