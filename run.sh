#!/usr/bin/env bash
# ./run.sh --demo : build, start the bundled stand-in service on loopback and run on it
#                   (no key, no network).
# ./run.sh        : build and run against the real service (key in NIMBREL_API_KEY).
set -euo pipefail
cd "$(dirname "$0")"

demo=0
case "${1:-}" in
  --demo) demo=1; shift ;;
  -h|--help) sed -n '2,4p' "$0"; exit 0 ;;
esac

./scripts/install-deps
BUILD_DIR=${NIMBREL_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNIMBREL_TOOLS=ON >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target weather-probe fake-owm

probe="$BUILD_DIR/tools/weather-probe/weather-probe"
if [ "$demo" -eq 0 ]; then
  if [ -z "${NIMBREL_API_KEY:-}" ]; then
    echo "Set NIMBREL_API_KEY to your service key, or try ./run.sh --demo." >&2
    exit 2
  fi
  exec "$probe" "$@"
fi

# The stand-in prints "listening on http://127.0.0.1:PORT" first.
log=$(mktemp)
"$BUILD_DIR/tools/fake-owm/fake-owm" --port 0 >"$log" 2>/dev/null &
service=$!
trap 'kill "$service" 2>/dev/null; rm -f "$log"' EXIT
base=""
for _ in $(seq 1 50); do
  base=$(sed -n 's/^listening on \(http:[^ ]*\).*/\1/p' "$log" | head -n 1)
  [ -n "$base" ] && break
  sleep 0.1
done
if [ -z "$base" ]; then
  echo "The stand-in service did not start." >&2
  exit 1
fi
echo "Stand-in service at $base"
"$probe" --api "$base" --key demo "$@"
