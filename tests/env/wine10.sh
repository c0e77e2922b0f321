#!/usr/bin/env bash
# A second Windows: Wine 10 from Debian 13 (trixie), in a root of its own
# beside this machine's Wine.
#   wine10.sh install        makes the root once and keeps it (needs root);
#                            where it cannot, says why and exits 0: the
#                            suites that need it are then reported as not run
#   wine10.sh ready          says why the root cannot be used, if it cannot
#   wine10.sh run COMMAND... runs COMMAND inside the root, e.g.
#                            wine10.sh run tests/env/session.sh -- pytest ...
# The root lives outside every work tree, so every clone on the machine
# shares it. It is complete once its marker names the packages below; a
# root without the marker (a build that was cut short) is made again. A run
# sees the host's /proc, /dev, /sys and /tmp (the X sockets, the sessions'
# folders) and the work tree and build folders at their own paths, bound
# in a mount namespace of its own: the binds are gone when the run ends,
# whatever way it ends, and the host never sees them. The X servers, Wine
# and the harness all run inside; the machine's own package sources and
# packages are left as they are.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
home=${ZELVARA_WINE10_HOME:-/var/cache/zelvara}
dir=$home/trixie
marker=$dir/.zelvara-root
# Wine 10 and what the harness runs beside it.
packages=(wine64 wine fonts-wine python3 python3-pytest python3-pil python3-pefile xdotool x11-utils
          x11-xserver-utils imagemagick xclip xvfb xserver-xorg-core xserver-xorg-video-dummy locales cmake)
locales=(en_US de_DE de_CH ru_RU ru_UA ja_JP)
wanted="${packages[*]} | ${locales[*]}"

ready() {
  [ "$(id -u)" = 0 ] || { echo "the Debian 13 root needs root to enter (chroot, bind mounts)"; return 1; }
  command -v unshare >/dev/null || { echo "unshare (util-linux) is missing"; return 1; }
  [ -f "$marker" ] && [ "$(cat "$marker")" = "$wanted" ] ||
    { echo "the Debian 13 root in $dir is not built (scripts/deps.sh test builds it)"; return 1; }
}

# Inside a private mount namespace: binds the host's pieces into the root
# and runs the rest there. Binds are undone on the way out, also on failure.
enter() {
  local binds=()
  undo() {
    local i
    for ((i = ${#binds[@]} - 1; i >= 0; i--)); do umount -l "${binds[$i]}" 2>/dev/null || true; done
  }
  trap undo EXIT
  local sources=()
  bind() {  # SOURCE at its own path inside the root, unless it is there already
    local source
    for source in "${sources[@]}"; do
      case $1/ in "$source"/*) return 0 ;; esac
    done
    mkdir -p "$dir$1"
    mount --rbind "$1" "$dir$1"
    mount --make-rslave "$dir$1"
    sources+=("$1") binds+=("$dir$1")
  }
  bind /proc; bind /dev; bind /sys; bind /tmp
  # The build folder's CTest files name the host's CMake modules.
  local path
  for path in /usr/share/cmake-*; do
    [ -e "$dir$path/Modules" ] || bind "$path"
  done
  for path in "$repo" ${ZELVARA_BUILD:+"$ZELVARA_BUILD"} ${ZELVARA_DIST:+"$ZELVARA_DIST"}; do
    [ -e "$path" ] && bind "$(realpath "$path")"
  done
  local status=0
  chroot "$dir" /usr/bin/env -C "$PWD" PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root "$@" || status=$?
  exit $status
}

apt=(apt-get -o DPkg::Lock::Timeout=600 -y -qq --no-install-recommends)
export DEBIAN_FRONTEND=noninteractive

# One line that says why, and on: make test reports the suites as not run.
give_up() {
  echo "wine10.sh: $1; the Wine 10 suites will not run" >&2
}

install_root() {
  [ "$(id -u)" = 0 ] || { give_up "building the Debian 13 root needs root"; return 0; }
  [ -f "$marker" ] && [ "$(cat "$marker")" = "$wanted" ] && return 0
  command -v debootstrap >/dev/null || "${apt[@]}" install debootstrap >/dev/null ||
    { give_up "debootstrap could not be installed"; return 0; }
  mkdir -p "$home/debs" "$home/archives"
  if [ ! -f "$marker" ]; then
    local release mirror
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    # Debian's own mirror, as this machine's release comes from it.
    # awk reads to the end: an early exit could break apt-cache's pipe and,
    # under pipefail, blank the mirror.
    mirror=$(apt-cache policy 2>/dev/null | awk -v s="$release/main" '$3 == s && !m { m = $2 } END { print m }') || mirror=
    [ -n "$mirror" ] || { give_up "no Debian $release source to take Debian 13 from"; return 0; }
    echo "Making the Debian 13 root for Wine 10 in $dir"
    # Nothing may be mounted in a root that is thrown away.
    if findmnt -rno TARGET | grep -q "^$dir/"; then
      give_up "something is mounted inside $dir, so it is not removed"
      return 0
    fi
    rm -rf "$dir"
    # In a namespace of its own: whatever debootstrap mounts goes with it.
    unshare --mount --propagation private debootstrap --variant=minbase --cache-dir="$home/debs" \
      trixie "$dir" "$mirror" >"$home/debootstrap.log" 2>&1 ||
      { tail -n 20 "$home/debootstrap.log" >&2; give_up "debootstrap failed (above)"; return 0; }
  fi
  echo "Installing Wine 10 and the harness into the Debian 13 root"
  cp /etc/resolv.conf "$dir/etc/resolv.conf"
  printf '%s.UTF-8 UTF-8\n' "${locales[@]}" >"$dir/etc/locale.gen"
  # The downloaded packages are kept beside the root for the next build.
  unshare --mount --propagation private "$0" _install >"$home/install.log" 2>&1 ||
    { tail -n 20 "$home/install.log" >&2; give_up "installing into the Debian 13 root failed (above)"; return 0; }
  echo "$wanted" >"$marker"
}

case ${1:-} in
  install) install_root ;;
  ready) ready ;;
  run)
    shift
    why=$(ready) || { echo "wine10.sh: $why" >&2; exit 1; }
    exec unshare --mount --propagation private "$0" _enter "$@" ;;
  _enter) shift; enter "$@" ;;
  _install)
    mount --bind "$home/archives" "$dir/var/cache/apt/archives"
    trap 'umount -l "$dir/var/cache/apt/archives"' EXIT
    (enter sh -c "apt-get update -qq && ${apt[*]} install ${packages[*]} && locale-gen") ;;
  *) echo "usage: wine10.sh install | ready | run COMMAND..." >&2; exit 2 ;;
esac
