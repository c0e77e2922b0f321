#!/usr/bin/env bash
# Makes the stand-in browser control the one CoCreateInstance gives in a
# Wine prefix:  register.sh PREFIX DLLPATH
# Run it after the prefix is booted (`wineboot -u` puts Wine's own back).
# Only HKLM\Software\Classes is honoured by Wine for in-process servers. An
# x86 DLL goes into the registry's 32-bit view, where x86 programs look.
set -euo pipefail
prefix=$1
dll=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
case $("$here/../../tests/env/machine.sh" "$dll") in
  x86) view=32 ;;
  x64) view=64 ;;
esac
if [ $view = 32 ] && [ ! -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ]; then
  if "$here/../../tests/env/runs32.sh"; then
    echo "register.sh: $prefix runs no 32-bit programs: make the prefix anew, now that Wine's 32-bit side is there" >&2
  fi
  exit 1
fi
exec "$here/set-server.sh" "$prefix" "Z:${dll//\//\\}" $view
