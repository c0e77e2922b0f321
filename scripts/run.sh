#!/usr/bin/env bash
# Starts Zelvara under Wine, against the local stand-in game site (served on
# loopback, reached through the stand-in browser control registered in the
# prefix). With a display it opens in a window there and runs until closed;
# without one it runs on a private Xvfb, saves a screenshot of its window,
# prints the PNG's path and exits.
# Settings files live in $ZELVARA_BUILD/run-home between runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ZELVARA_BUILD=${ZELVARA_BUILD:-$root/build}
home=$ZELVARA_BUILD/run-home
mkdir -p "$home"

if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX=$ZELVARA_BUILD/run-prefix WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"
  wine=/usr/lib/wine/wine64 server=/usr/lib/wine/wineserver
  [ -f "$WINEPREFIX/system.reg" ] || "$root/tests/env/prefix.sh" "$WINEPREFIX"
  "$server" -p </dev/null >/dev/null 2>&1
  site_pid=
  trap '[ -n "$site_pid" ] && kill "$site_pid"; "$server" -k </dev/null >/dev/null 2>&1 || true' EXIT
  "$root/testbed/webcontrol/register.sh" "$WINEPREFIX" "$ZELVARA_BUILD/zwebctl.dll"
  rm -f "$ZELVARA_BUILD/run-site.port"
  /usr/bin/python3 "$root/testbed/site/server.py" --port 0 --port-file "$ZELVARA_BUILD/run-site.port" \
    </dev/null >"$ZELVARA_BUILD/run-site.log" 2>&1 &
  site_pid=$!
  for _ in $(seq 200); do [ -s "$ZELVARA_BUILD/run-site.port" ] && break; sleep 0.05; done
  export ZELVARA_TESTBED_PORT=$(cat "$ZELVARA_BUILD/run-site.port")
  cd "$home"
  "$wine" "$ZELVARA_BUILD/zelvara.exe" "$@" </dev/null >"$ZELVARA_BUILD/run-wine.log" 2>&1
else
  exec "$root/tests/env/session.sh" -- /usr/bin/python3 "$root/scripts/run_headless.py" "$home" "$@"
fi
