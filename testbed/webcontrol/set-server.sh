#!/usr/bin/env bash
# Points the browser class's in-process server at a DLL (a Windows path) in
# one registry view, 64 (the default) or 32, the one processes of that
# size read:  set-server.sh PREFIX WINDOWS_PATH [64|32]
set -euo pipefail
prefix=$1
server=$2
view=${3:-64}
key='HKLM\Software\Classes\CLSID\{8856F961-340A-11D0-A96B-00C04FD705A2}\InprocServer32'
# Wine's services inherit our stdio: keep them off any pipe of the caller.
run_reg() {
  WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d" \
    "${WINE:-/usr/lib/wine/wine64}" reg add "$key" "$@" /f "/reg:$view" </dev/null >/dev/null 2>&1
}
run_reg /ve /d "$server"
run_reg /v ThreadingModel /d Apartment
