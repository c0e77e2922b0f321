#!/usr/bin/env bash
# Succeeds when this machine can run Wine's 32-bit side. Some kernels have
# IA-32 emulation off: every 32-bit Linux program, Wine's 32-bit loader
# among them, then fails with "Exec format error" unless a CPU emulator is
# registered for them (scripts/deps.sh does that as root), and a prefix
# boots with no 32-bit half. Says why on failure.
if [ ! -x /usr/lib/wine/wine ]; then
  echo "Wine's 32-bit loader is missing: install wine32:i386" >&2
  exit 1
fi
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "this machine's kernel runs no 32-bit programs (IA-32 emulation is off) and no emulator is registered for them (scripts/deps.sh test does that as root), so Wine's 32-bit side cannot run here" >&2
  exit 1
fi
