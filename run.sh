#!/usr/bin/env bash
# ./run.sh --demo : build, start the bundled stand-in service on loopback and open
#                   the window on it with a throw-away settings folder (no key, no
#                   network). Without a display it runs on Xvfb and saves a screenshot.
#   --service open-meteo (after --demo) shows the keyless service instead.
# ./run.sh        : build and start nimbrel with your own settings.
# weather-probe (build/tools/weather-probe) stays the console tool for the service.
set -euo pipefail
cd "$(dirname "$0")"

demo=0
case "${1:-}" in
  --demo) demo=1; shift ;;
  -h|--help) sed -n '2,7p' "$0"; exit 0 ;;
esac
export DEMO_WEATHER_SERVICE=owm
if [ "$demo" -eq 1 ] && [ "${1:-}" = "--service" ]; then
  case "${2:-}" in
    owm|open-meteo) DEMO_WEATHER_SERVICE=$2; shift 2 ;;
    *) echo "--service is owm or open-meteo" >&2; exit 2 ;;
  esac
fi

./scripts/install-deps
BUILD_DIR=${NIMBREL_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNIMBREL_TOOLS=ON >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target nimbrel weather-probe fake-owm demo-ini

nimbrel="$BUILD_DIR/src/app/nimbrel"
have_display=0
[ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] && have_display=1

if [ "$demo" -eq 0 ]; then
  if [ "$have_display" -eq 0 ]; then
    echo "No display: nimbrel is a desktop program. ./run.sh --demo shows it on Xvfb." >&2
    exit 2
  fi
  exec "$nimbrel" "$@"
fi

if [ "$have_display" -eq 0 ]; then
  echo "No display: running the demo window on Xvfb and saving a screenshot instead."
  exec ./scripts/demo-screenshot "$BUILD_DIR/demo-window.png"
fi

. scripts/demo-lib.sh
trap demo_stop EXIT
demo_start "$BUILD_DIR"
echo "Stand-in service at $DEMO_BASE; settings in $DEMO_INI (removed afterwards)."
echo "Close the window (Escape, or Exit in its menu) to end the demo."
# Not exec: the stand-in is stopped when the window closes.
env "${DEMO_ENV[@]}" "$nimbrel" "$@"
