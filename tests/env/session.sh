#!/usr/bin/env bash
# session.sh [--no-desktop | --two-monitors] -- COMMAND...
# Runs COMMAND inside a throwaway Wine session: a fresh prefix, a private
# Xvfb display (1280x1024), the wineserver, a desktop keeper, the stand-in
# browser control registered and the stand-in game site running. Exports
# WINEPREFIX, DISPLAY, WINE, WINESERVER, WINEDEBUG, WINEDLLOVERRIDES, LANG,
# ZELVARA_TESTBED_PORT, ZELVARA_PLAYER_LOG, ZELVARA_TESTBED_SITE_LOG and
# ZELVARA_SESSION, and ends every process it started by its id, whatever
# COMMAND does.
# --two-monitors gives a desk of two instead: a real X server with the dummy
# driver, the primary output 1280x1024 and a second one 1024x768 left of it,
# and Wine without a virtual desktop, so it reports both monitors, with a
# task bar at the top of the primary and one at the left of the other. It
# exports ZELVARA_MONITORS=two; a test may move the second output with
# xrandr (--above DUMMY0, for instance).
# --scaled gives a screen scaled to 150 % (144 DPI) as a player sets it: a
# desk of 1280x1024 at 96 DPI, so 1920x1536 real pixels, with the virtual
# desktop. It exports ZELVARA_DPI=144. Wine 10 stretches programs that are
# not DPI-aware there as Windows does; Wine 8 does not.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${ZELVARA_BUILD:-$root/build}
desktop=--desktop
screens=one screen=1280x1024
while [ $# -gt 0 ]; do
  case $1 in
    --no-desktop) desktop=; shift ;;
    --two-monitors) desktop=; screens=two; shift ;;
    --scaled) screen=1920x1536 desktop="--desktop=$screen --dpi=144"; export ZELVARA_DPI=144; shift ;;
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
display_pid= keeper_pid= site_pid=

# The ids of the processes of this session's prefix, Wine's services among
# them: each carries the prefix in its environment, also once it has left
# the wineserver or outlived it.
session_pids() {
  local environ pid
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}; pid=${pid%/environ}
    [ "$pid" != $$ ] && grep -qzxF "WINEPREFIX=$WINEPREFIX" "$environ" 2>/dev/null && echo "$pid"
  done
  return 0
}

cleanup() {
  [ -n "$site_pid" ] && kill "$site_pid" 2>/dev/null || true
  [ -n "$keeper_pid" ] && kill "$keeper_pid" 2>/dev/null || true
  "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
  [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null || true
  [ -n "$display_pid" ] && wait "$display_pid" 2>/dev/null || true
  # A Wine program that was starting as the server went starts a server of
  # its own, and that boots Wine's services again: end them until none is left.
  local pids tries=0
  while pids=$(session_pids) && [ -n "$pids" ] && [ $tries -lt 100 ]; do
    kill -KILL $pids 2>/dev/null || true
    sleep 0.1
    tries=$((tries + 1))
  done
  [ -n "$pids" ] && echo "session.sh: processes of this session still running: $pids" >&2
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
# A step that fails ends the session (set -e); most run silenced, so say which.
trap 'echo "session.sh: line $LINENO: $BASH_COMMAND ended with $?" >&2' ERR

# Polls a command every 50 ms until it succeeds or SECONDS pass.
wait_until() {
  local deadline=$(($(date +%s%N) + $1 * 1000000000)); shift
  until "$@"; do
    [ "$(date +%s%N)" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

# A display of our own, so tests neither disturb nor depend on the user's.
# The server picks a free number and writes it once it accepts clients.
if [ $screens = two ]; then
  # Xvfb's screens all lie at (0, 0) for Wine; the RandR outputs of one
  # screen large enough for both, side by side or one above the other, do not.
  cat >"$work/xorg.conf" <<'EOF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1280x1024"
    Virtual 2304 1792
  EndSubSection
EndSection
EOF
  Xorg -config "$work/xorg.conf" -displayfd 3 -noreset -nolisten tcp -logfile "$work/xorg.log" \
    3>"$work/display" </dev/null >"$work/xorg.out" 2>&1 &
  display_pid=$!
  wait_until 30 test -s "$work/display" || { cat "$work/xorg.out" >&2; exit 1; }
  export DISPLAY=:$(cat "$work/display")
  xrandr --addmode DUMMY1 1024x768
  xrandr --output DUMMY1 --mode 1024x768 --left-of DUMMY0
  # Wine reads the outputs as the server last probed them; a query probes.
  xrandr >/dev/null
  # Task bars: 40 pixels at the top of the primary, 60 at the left of the
  # other monitor, as a desktop publishes them (x, y, width, height in X
  # root coordinates): one rectangle a monitor, and the desk's one for
  # programs that read no more. Wine gives each monitor the first of the
  # per-monitor ones that meets it, and reads them again whenever the
  # outputs change.
  xprop -root -format _GTK_WORKAREAS_D0 32c -set _GTK_WORKAREAS_D0 1024,40,1280,984,60,0,964,768
  xprop -root -format _NET_WORKAREA 32c -set _NET_WORKAREA 1024,40,1280,984
  export ZELVARA_MONITORS=two
else
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$work/display" </dev/null >"$work/xvfb.log" 2>&1 &
  display_pid=$!
  wait_until 20 test -s "$work/display" || { cat "$work/xvfb.log" >&2; exit 1; }
  export DISPLAY=:$(cat "$work/display")
fi
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

# The desk is what the tests believe it is: Wine sees both monitors, the
# second left of the primary, and the task bars on them.
two_monitors() {
  "$WINE" "$build/zprobe.exe" monitors </dev/null >"$work/monitors.json" 2>/dev/null
  /usr/bin/python3 -c '
import json, sys
desk = sorted((m["area"], m["work"], m["primary"]) for m in json.load(open(sys.argv[1])))
sys.exit(desk != [([-1024, 0, 0, 768], [-964, 0, 0, 768], False), ([0, 0, 1280, 1024], [0, 40, 1280, 1024], True)])
' "$work/monitors.json"
}
if [ $screens = two ]; then
  wait_until 30 two_monitors ||
    { echo "session.sh: Wine does not report the two monitors: $(cat "$work/monitors.json")" >&2; exit 1; }
fi

trap - ERR
set +e
"$@"
status=$?
set -e
exit $status
