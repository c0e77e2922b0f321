#!/usr/bin/env bash
# Prints the machine a Windows exe or DLL is built for, x86 or x64, from its
# PE header's machine field:  machine.sh FILE
set -euo pipefail
pe=$(od -An -tu4 -j60 -N4 "$1")
case $(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ') in
  014c) echo x86 ;;
  8664) echo x64 ;;
  *) echo "machine.sh: $1 is neither an x86 nor an x64 PE file" >&2; exit 1 ;;
esac
