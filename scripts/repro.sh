#!/usr/bin/env bash
# make repro: builds the release a second time as another machine would:
# from a copy of the source in another folder, in other build folders, later,
# in another time zone and locale, under another umask and (as root) as
# another user. It checks that both exes, both zips and SHA256SUMS come out
# byte for byte as `make dist` packed them:  repro.sh BUILD [CMAKE_FLAGS...]
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

# Another machine: its clock in another zone, its messages in another
# language, files created private, and its own user where we can be one.
export TZ=Pacific/Kiritimati
export LC_ALL=C.UTF-8
locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8' && LC_ALL=de_DE.UTF-8
umask 077
as_other=()
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  chmod 755 "$work"
  chown -R 65534:65534 "$work/elsewhere"
  mkdir "$work/home" "$work/dist" && chown 65534:65534 "$work/home" "$work/dist"
  as_other=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$work/home")
  user=nobody
else
  user=$(id -un)
fi
for arch in x86_64 i686; do
  mkdir "$work/out-$arch"
  if [ "$user" = nobody ]; then chown 65534:65534 "$work/out-$arch"; fi
  "${as_other[@]}" cmake -S "$source" -B "$work/out-$arch" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-$arch.cmake "$@" \
    -DZELVARA_TESTS=OFF >/dev/null
  "${as_other[@]}" cmake --build "$work/out-$arch" -j2 --target zelvara >/dev/null
done
"${as_other[@]}" /usr/bin/python3 "$source/scripts/dist.py" "$work/dist" "$work/out-x86_64" "$work/out-i686" >/dev/null
echo "built again in $source as $user, TZ=$TZ, LC_ALL=$LC_ALL, umask $(umask)"

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
