# Shared by run.sh and scripts/demo-screenshot: the stand-in service and a
# throw-away settings folder that points nimbrel at it. Source it, then call
# demo_start "$BUILD_DIR"; demo_stop runs on exit. DEMO_WEATHER_SERVICE (owm,
# the default, or open-meteo) picks the weather service the window asks.
# Sets DEMO_DIR (the throw-away folder), DEMO_BASE (the stand-in's address),
# DEMO_INI (the settings file) and DEMO_ENV (variables for nimbrel).

DEMO_DIR=""
DEMO_BASE=""
DEMO_INI=""
DEMO_SERVICE_PID=""
DEMO_ENV=()

demo_stop() {
  if [ -n "$DEMO_SERVICE_PID" ]; then
    kill "$DEMO_SERVICE_PID" 2>/dev/null || true
    wait "$DEMO_SERVICE_PID" 2>/dev/null || true
    DEMO_SERVICE_PID=""
  fi
  if [ -n "$DEMO_DIR" ]; then
    rm -rf "$DEMO_DIR"
    DEMO_DIR=""
  fi
}

demo_start() {
  local build_dir=$1
  DEMO_DIR=$(mktemp -d "${TMPDIR:-/tmp}/nimbrel-demo.XXXXXX")
  # Its own runtime folder, so a nimbrel already running in this session is
  # neither raised nor blocks the demo.
  mkdir -m 700 "$DEMO_DIR/run"
  "$build_dir/tools/fake-owm/fake-owm" --port 0 "${DEMO_SERVICE_ARGS[@]}" \
    >"$DEMO_DIR/service.out" 2>"$DEMO_DIR/service.log" &
  DEMO_SERVICE_PID=$!
  # The stand-in prints "listening on http://127.0.0.1:PORT" first.
  for _ in $(seq 1 100); do
    DEMO_BASE=$(sed -n 's/^listening on \(http:[^ ]*\).*/\1/p' "$DEMO_DIR/service.out" | head -n 1)
    [ -n "$DEMO_BASE" ] && break
    kill -0 "$DEMO_SERVICE_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$DEMO_BASE" ]; then
    echo "The stand-in service did not start:" >&2
    cat "$DEMO_DIR/service.log" >&2
    return 1
  fi
  DEMO_INI="$DEMO_DIR/config/Zelto/Nimbrel/nimbrel.ini"
  "$build_dir/tools/demo-ini/demo-ini" --ini "$DEMO_INI" --service "$DEMO_BASE" --key demo \
    --weather-service "${DEMO_WEATHER_SERVICE:-owm}"
  DEMO_ENV=(XDG_CONFIG_HOME="$DEMO_DIR/config" XDG_RUNTIME_DIR="$DEMO_DIR/run")
  # A Wayland display is named relative to the runtime folder: keep it reachable.
  if [ -n "${WAYLAND_DISPLAY:-}" ] && [ "${WAYLAND_DISPLAY#/}" = "$WAYLAND_DISPLAY" ] \
     && [ -n "${XDG_RUNTIME_DIR:-}" ]; then
    DEMO_ENV+=(WAYLAND_DISPLAY="$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY")
  fi
}

DEMO_SERVICE_ARGS=()
