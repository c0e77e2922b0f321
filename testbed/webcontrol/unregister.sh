#!/usr/bin/env bash
# Gives the prefix Wine's own browser control back:  unregister.sh PREFIX
# The class key is Wine's too, so its server path is restored rather than
# the key deleted (deleting it would leave no control at all). Both views
# name system32: Wine sends a 32-bit process to syswow64 from there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/set-server.sh" "$1" 'C:\windows\system32\ieframe.dll' 64
"$here/set-server.sh" "$1" 'C:\windows\system32\ieframe.dll' 32
