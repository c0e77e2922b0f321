#!/usr/bin/env bash
# make repro: builds the release a second time, from a copy of the source in
# another folder, in other build folders, later and in another time zone,
# and checks that both exes, both zips and SHA256SUMS come out byte for byte
# as `make dist` packed them:  repro.sh BUILD [CMAKE_FLAGS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1"); shift
work=$(mktemp -d /tmp/zelvara-repro.XXXXXX)
trap 'rm -rf "$work"' EXIT
source=$work/elsewhere/zelvara-source
mkdir -p "$source"

# What the first build read: the tracked files and any new ones not ignored.
cd "$root"
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
  xargs -0 cp --parents -t "$source"

export TZ=Pacific/Kiritimati
for arch in x86_64 i686; do
  cmake -S "$source" -B "$work/out-$arch" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-$arch.cmake "$@" \
    -DZELVARA_TESTS=OFF >/dev/null
  cmake --build "$work/out-$arch" -j2 --target zelvara >/dev/null
done
/usr/bin/python3 "$source/scripts/dist.py" "$work/dist" "$work/out-x86_64" "$work/out-i686" >/dev/null

status=0
same() {
  if cmp -s "$1" "$2"; then
    echo "same: $2"
  else
    echo "DIFFERENT: $2 and $1" >&2
    status=1
  fi
}
same "$work/out-x86_64/zelvara.exe" "$build/zelvara.exe"
same "$work/out-i686/zelvara.exe" "$build/x86/zelvara.exe"
for f in "$work"/dist/*; do
  same "$f" "$build/dist/$(basename "$f")"
done
exit $status
