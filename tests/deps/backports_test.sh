#!/usr/bin/env bash
# scripts/backports.sh against copies of a machine's package sources in a
# temporary root: apt reads each result without an error or a doubled
# entry. Never touches this machine's own /etc/apt.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mirror=http://deb.debian.org/debian
release='Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg'
failed=0

# case NAME EXPECTED(reused|added) FILE CONTENT: a root with the release's
# sources and FILE, as apt reads it before and after.
case_() {
  local name=$1 expected=$2 root=$tmp/$1
  mkdir -p "$root/etc/apt/sources.list.d" "$root/state/lists/partial" "$root/cache/archives/partial"
  printf '%s\n' "$release" >"$root/etc/apt/sources.list.d/debian.sources"
  printf '%s\n' "$4" >"$root/etc/apt/$3"
  local added uris
  added=$("$here/../../scripts/backports.sh" "$root" bookworm "$mirror")
  uris=$(apt-get -o Dir::Etc="$root/etc/apt" -o Dir::State="$root/state" -o Dir::Cache="$root/cache" \
    -o Debug::NoLocking=1 --print-uris update 2>"$root/errors") || true
  local got=reused
  [ -z "$added" ] || got=added
  if [ "$got" != "$expected" ] || [ -s "$root/errors" ] ||
     [[ $uris != *"'$mirror/dists/bookworm-backports/InRelease'"* ]]; then
    echo "FAILED $name: $got, expected $expected; apt said: $(cat "$root/errors")"
    failed=1
  else
    echo "passed $name"
  fi
}
case_ one-line-after reused sources.list.d/zz.list \
  'deb [signed-by=/usr/share/keyrings/debian-archive-bookworm-stable.gpg] http://deb.debian.org/debian bookworm-backports main'
case_ one-line-unsigned reused sources.list 'deb http://deb.debian.org/debian/ bookworm-backports main contrib'
case_ deb822 reused sources.list.d/other.sources "$(printf 'types: deb deb-src\nURIs: %s\nSuites: bookworm-security\n bookworm-backports\nComponents: main' "$mirror")"
case_ comment-and-deb-src added sources.list "$(printf '# deb %s bookworm-backports main\ndeb-src %s bookworm-backports main' "$mirror" "$mirror")"
case_ disabled added sources.list.d/old.sources "$(printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nEnabled: no' "$mirror")"
exit $failed
