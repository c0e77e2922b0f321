#!/usr/bin/env bash
# session.sh [--desktop] -- COMMAND...
# Runs COMMAND inside a throwaway Wine session: a fresh prefix, a private
# Xvfb display (1280x1024), the wineserver and a desktop keeper. Exports
# WINEPREFIX, DISPLAY, WINE, WINESERVER, WINEDEBUG, WINEDLLOVERRIDES and LANG,
# and ends every process it started by its id, whatever COMMAND does.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${ZELVARA_BUILD:-$root/build}
desktop=--desktop
while [ $# -gt 0 ]; do
  case $1 in
    --no-desktop) desktop=; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done

export WINE=${WINE:-/usr/lib/wine/wine64}
export WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"
export LANG=${ZELVARA_TEST_LANG:-en_US.UTF-8}
unset LC_ALL LANGUAGE

work=$(mktemp -d /tmp/zelvara-session.XXXXXX)
export WINEPREFIX=$work/prefix
xvfb_pid= keeper_pid=

cleanup() {
  [ -n "$keeper_pid" ] && kill "$keeper_pid" 2>/dev/null || true
  "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# A display of our own, so tests neither disturb nor depend on the user's.
for n in $(seq 91 140); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=:$n; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
  sleep 0.1
done

"$here/prefix.sh" "$WINEPREFIX" $desktop
# The server first, with output detached: Wine's services inherit it.
"$WINESERVER" -p </dev/null >/dev/null 2>&1
"$WINE" wineboot </dev/null >/dev/null 2>&1
"$WINE" "$build/zinspect.exe" keep </dev/null >/dev/null 2>&1 &
keeper_pid=$!

set +e
"$@"
status=$?
set -e
exit $status
