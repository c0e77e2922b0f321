#!/usr/bin/env bash
# Runs a Windows executable under Wine for CTest. The test harness exports
# WINEPREFIX and DISPLAY (tests/env/session.sh); outside it a default prefix
# under the build tree is used.
: "${WINEPREFIX:=$(cd "$(dirname "$0")/.." && pwd)/build/test-prefix}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winealsa.drv,winepulse.drv=d"}
exec "${WINE:-/usr/lib/wine/wine64}" "$@"
