#!/usr/bin/env bash
# backports.sh ROOT RELEASE MIRROR
# Makes sure the package sources under ROOT (/ for this machine) list
# RELEASE's backports. A source that lists them already, as a one-line
# `deb` entry in sources.list or sources.list.d/*.list or as a deb822
# stanza in sources.list.d/*.sources, is used as it is: a second entry for
# the same archive with other options (Signed-By) stops every apt command.
# Only where there is none is one added, from MIRROR, signed by Debian's
# archive keys like the release itself. Prints the file it added, nothing
# when it used what was there.
set -euo pipefail
root=$1 release=$2 mirror=$3
etc=$root/etc/apt
suite=$release-backports

shopt -s nullglob
lists=("$etc"/sources.list "$etc"/sources.list.d/*.list)
stanzas=("$etc"/sources.list.d/*.sources)
listed() {
  # deb [options] URI SUITE COMPONENTS...; comments and deb-src lines do not count.
  grep -qsE "^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?[^[:space:]]+[[:space:]]+$suite/?([[:space:]]|$)" \
    "${lists[@]}" /dev/null && return 0
  [ ${#stanzas[@]} -gt 0 ] || return 1
  # Stanzas are separated by blank lines; field names are case-insensitive,
  # and a value may go on in lines that start with a space.
  awk -v suite="$suite" '
    BEGIN { RS = ""; FS = "\n"; missing = 1 }
    {
      types = suites = enabled = field = ""
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^#/) continue
        value = $i
        if ($i !~ /^[ \t]/) {
          field = tolower(substr($i, 1, index($i, ":") - 1))
          value = substr($i, index($i, ":") + 1)
        }
        if (field == "types") types = types " " value
        else if (field == "suites") suites = suites " " value
        else if (field == "enabled") enabled = enabled " " value
      }
      if (tolower(enabled) !~ /no/ && (types " ") ~ /[ \t]deb[ \t]/ && (suites " ") ~ ("[ \t]" suite "/?[ \t]")) {
        missing = 0
        exit
      }
    }
    END { exit missing }' "${stanzas[@]}"
}
listed && exit 0
file=$etc/sources.list.d/zelvara-backports.sources
[ ! -e "$file" ] || { echo "backports.sh: $file is there but lists no $suite" >&2; exit 1; }
printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
  "$mirror" "$suite" >"$file"
echo "$file"
