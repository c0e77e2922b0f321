#!/usr/bin/env bash
# session.sh [--no-desktop] -- COMMAND...
# Runs COMMAND inside a throwaway Wine session: a fresh prefix, a private
# Xvfb display (1280x1024), the wineserver, a desktop keeper, the stand-in
# browser control registered and the stand-in game site running. Exports
# WINEPREFIX, DISPLAY, WINE, WINESERVER, WINEDEBUG, WINEDLLOVERRIDES, LANG,
# ZELVARA_TESTBED_PORT, ZELVARA_PLAYER_LOG, ZELVARA_TESTBED_SITE_LOG and
# ZELVARA_SESSION, and ends every process it started by its id, whatever
# COMMAND does.
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

# The prefix is 64-bit and set up by Wine's 64-bit loader. The programs
# under test start under the loader of their own size: wine64 would run an
# x86 exe through a start.exe of its own, a process between the one the
# tests start (and end by its id) and the program.
wine64=/usr/lib/wine/wine64
if [ "$("$here/machine.sh" "$build/zelvara.exe")" = x86 ]; then
  export WINE=${WINE:-/usr/lib/wine/wine}
else
  export WINE=${WINE:-$wine64}
fi
export WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"
export LANG=${ZELVARA_TEST_LANG:-en_US.UTF-8}
unset LC_ALL LANGUAGE

work=$(mktemp -d /tmp/zelvara-session.XXXXXX)
export WINEPREFIX=$work/prefix
xvfb_pid= keeper_pid= site_pid=

cleanup() {
  [ -n "$site_pid" ] && kill "$site_pid" 2>/dev/null || true
  [ -n "$keeper_pid" ] && kill "$keeper_pid" 2>/dev/null || true
  "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# Polls a command every 50 ms until it succeeds or SECONDS pass.
wait_until() {
  local deadline=$(($(date +%s%N) + $1 * 1000000000)); shift
  until "$@"; do
    [ "$(date +%s%N)" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

# A display of our own, so tests neither disturb nor depend on the user's.
# Xvfb picks a free number and writes it once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" </dev/null >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_until 20 test -s "$work/display" || { cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(cat "$work/display")
# A desktop session loads X resources at log-in. Without any, Xlib finds no
# database to keep and looks for ~/.Xdefaults again at every lookup, which
# Wine makes for each window it creates: hundreds of file opens a page.
printf '! X resources of the test session\n' >"$work/Xresources"
export XENVIRONMENT=$work/Xresources

WINE=$wine64 "$here/prefix.sh" "$WINEPREFIX" $desktop
# The server first, with output detached: Wine's services inherit it.
"$WINESERVER" -p </dev/null >/dev/null 2>&1
"$wine64" wineboot </dev/null >/dev/null 2>&1
"$WINE" "$build/zprobe.exe" keep </dev/null >/dev/null 2>&1 &
keeper_pid=$!

# The stand-ins: the browser control every CoCreateInstance gets, and the
# game site it fetches pages from, for every host name.
WINE=$wine64 "$root/testbed/webcontrol/register.sh" "$WINEPREFIX" "$build/zwebctl.dll"
/usr/bin/python3 "$root/testbed/site/server.py" --port 0 --port-file "$work/port" --log "$work/site.log" \
  </dev/null >"$work/site.out" 2>&1 &
site_pid=$!
wait_until 20 test -s "$work/port" || { cat "$work/site.out" >&2; exit 1; }
export ZELVARA_TESTBED_PORT=$(cat "$work/port")
export ZELVARA_PLAYER_LOG="Z:${work//\//\\}\\player.log"
export ZELVARA_TESTBED_SITE_LOG="Z:${work//\//\\}\\site.log"
export ZELVARA_SESSION=$work

set +e
"$@"
status=$?
set -e
exit $status
