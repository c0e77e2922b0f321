#!/usr/bin/env bash
# Points the browser class's in-process server at a DLL (a Windows path):
#   set-server.sh PREFIX WINDOWS_PATH
set -euo pipefail
prefix=$1
server=$2
key='HKEY_LOCAL_MACHINE\Software\Classes\CLSID\{8856F961-340A-11D0-A96B-00C04FD705A2}\InprocServer32'
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
  printf 'REGEDIT4\r\n\r\n'
  printf '[%s]\r\n' "$key"
  printf '@="%s"\r\n' "${server//\\/\\\\}"
  printf '"ThreadingModel"="Apartment"\r\n\r\n'
} >"$reg"
# Wine's services inherit our stdio: keep them off any pipe of the caller.
WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d" \
  "${WINE:-/usr/lib/wine/wine64}" regedit /S "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1
