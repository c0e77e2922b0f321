#!/usr/bin/env bash
# Makes a throwaway Wine prefix for tests and `make run`:
#   prefix.sh DIR [--desktop[=WIDTHxHEIGHT]] [--dpi=N]
# Boots it, turns the crash dialog off, copies Wine's own fonts in, and with
# --desktop switches on Wine's virtual desktop (1280x1024 unless told).
# --dpi sets the screen's scale as a player sets it (LogPixels, 96 is
# 100 %), read by programs as they start. Leaves the wineserver of DIR
# stopped; callers start it with `wineserver -p`.
set -euo pipefail
dir=$1; shift
desktop= dpi=
for option in "$@"; do
  case $option in
    --desktop) desktop=1280x1024 ;;
    --desktop=*) desktop=${option#--desktop=} ;;
    --dpi=*) dpi=${option#--dpi=} ;;
    *) echo "prefix.sh: unknown option $option" >&2; exit 2 ;;
  esac
done
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEPREFIX=$dir WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"
unset DISPLAY

if [ -d "$dir" ]; then
  "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
  rm -rf "$dir"
fi
mkdir -p "$dir"
# Wine's background services inherit our stdio: detach them or they hold pipes open.
"$WINESERVER" -p </dev/null >/dev/null 2>&1
"$WINE" wineboot -i </dev/null >/dev/null 2>&1

reg=$(mktemp --suffix=.reg)
{
  printf 'REGEDIT4\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\r\n"Debugger"=""\r\n"Auto"="0"\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
  if [ -n "$desktop" ]; then
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="%s"\r\n\r\n' "$desktop"
  fi
  if [ -n "$dpi" ]; then
    printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n\r\n' "$dpi"
  fi
} >"$reg"
"$WINE" regedit /S "$(winepath -w "$reg" 2>/dev/null || echo "Z:${reg//\//\\}")" </dev/null >/dev/null 2>&1
rm -f "$reg"

fonts=$dir/drive_c/windows/Fonts
mkdir -p "$fonts"
for f in tahoma.ttf tahomabd.ttf marlett.ttf; do
  [ -f "/usr/share/wine/fonts/$f" ] && cp "/usr/share/wine/fonts/$f" "$fonts/"
done
"$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
