#!/usr/bin/env bash
# Makes the stand-in browser control the one CoCreateInstance gives in a
# Wine prefix:  register.sh PREFIX DLLPATH
# Run it after the prefix is booted (`wineboot -u` puts Wine's own back).
# Only HKLM\Software\Classes is honoured by Wine for in-process servers.
set -euo pipefail
prefix=$1
dll=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/set-server.sh" "$prefix" "Z:${dll//\//\\}"
