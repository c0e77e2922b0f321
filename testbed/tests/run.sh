#!/usr/bin/env bash
# Runs the test bed's own tests:  run.sh BUILD_DIR [CTEST_ARGS...]
# Makes a throwaway Wine prefix with the stand-in browser control registered,
# starts the stand-in site and an Xvfb display on free numbers, runs the
# GoogleTest suite (ctest -R testbed) and the site's pytest, then ends every
# process it started by its id and removes the prefix.
set -uo pipefail
build=$(realpath "$1")
shift  # the rest goes to ctest, e.g. -j4 or -R to narrow
here=$(cd "$(dirname "$0")" && pwd)
testbed=$(dirname "$here")
repo=$(dirname "$testbed")
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
work=$(mktemp -d /tmp/zelvara-testbed.XXXXXX)
site_pid= xvfb_pid=

winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

cleanup() {
  [ -n "$site_pid" ] && kill "$site_pid" 2>/dev/null && wait "$site_pid" 2>/dev/null
  WINEPREFIX=$work/prefix "$WINESERVER" -k </dev/null >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Polls a condition every 50 ms until a deadline (seconds).
wait_until() {
  local deadline=$(($(date +%s%N) + $1 * 1000000000)); shift
  until "$@"; do
    [ "$(date +%s%N)" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

dll=$build/zwebctl.dll
[ -f "$dll" ] || dll=$(find "$build" -name zwebctl.dll -print -quit)
[ -n "$dll" ] || { echo "run.sh: zwebctl.dll not found under $build" >&2; exit 2; }

"$repo/tests/env/prefix.sh" "$work/prefix" --desktop || { echo "run.sh: prefix failed" >&2; exit 2; }
export WINEPREFIX=$work/prefix

# Xvfb picks a free display itself and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" </dev/null >"$work/xvfb.out" 2>&1 &
xvfb_pid=$!
wait_until 10 test -s "$work/display" || { echo "run.sh: Xvfb did not start" >&2; exit 2; }
display=$(cat "$work/display")
# Every Wine process from here on, the desktop started by regedit included, needs the display.
export DISPLAY=:$display
"$WINESERVER" -p </dev/null >/dev/null 2>&1
"$testbed/webcontrol/register.sh" "$WINEPREFIX" "$dll"

/usr/bin/python3 "$testbed/site/server.py" --port 0 --port-file "$work/port" --log "$work/site.log" \
  </dev/null >"$work/site.out" 2>&1 &
site_pid=$!
wait_until 10 test -s "$work/port" || { echo "run.sh: site did not start" >&2; exit 2; }

export ZELVARA_TESTBED_PORT=$(cat "$work/port")
export ZELVARA_PLAYER_LOG=$(winpath "$work/player.log")
export ZELVARA_TESTBED_SITE_LOG=$(winpath "$work/site.log")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"

status=0
ctest --test-dir "$build" -R '^testbed\.' --output-on-failure "$@" || status=1
/usr/bin/python3 -m pytest -q -p no:cacheprovider "$here/test_site.py" || status=1
exit $status
