#!/usr/bin/env bash
# Makes sure this Debian machine has what Zelvara's build, run and tests
# need. As root it installs what is missing; otherwise it prints the command.
#   deps.sh build|run|test|lint|dist
set -euo pipefail
what=${1:-test}

# Both sizes of Windows: the release packs an x64 and an x86 exe.
packages=(cmake make g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools python3)
commands=(cmake make x86_64-w64-mingw32-g++-posix i686-w64-mingw32-g++-posix x86_64-w64-mingw32-windres
          /usr/bin/python3)
if [ "$what" = lint ]; then
  packages+=(clang-14 clang-tidy-14 lld-14 llvm-14)
  commands+=(clang++-14 clang-tidy-14 ld.lld-14 llvm-ar-14)
fi
case $what in build|lint|dist) native_only=1 ;; *) native_only=0 ;; esac
if [ $native_only = 0 ]; then
  packages+=(wine64 fonts-wine xvfb x11-utils xdotool imagemagick locales)
  commands+=(/usr/lib/wine/wine64 /usr/lib/wine/wineserver Xvfb xdpyinfo xdotool import locale-gen)
fi
if [ "$what" = test ]; then
  # The x86 exe's tests run on Wine's 32-bit side.
  packages+=(wine32:i386 googletest python3-pytest python3-pil python3-pefile xclip clang-14 libclang-rt-14-dev)
  commands+=(/usr/lib/wine/wine xclip clang++-14 true)
  # The two-monitor session: a real X server with two dummy outputs.
  packages+=(xserver-xorg-core x11-xserver-utils xserver-xorg-video-dummy)
  commands+=(Xorg xrandr true)
fi

# wine32:i386 comes from the i386 side of the archive.
need_i386=0
if [[ " ${packages[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_i386=1
fi

missing=()
for i in "${!commands[@]}"; do
  command -v "${commands[$i]}" >/dev/null 2>&1 || missing+=("${packages[$i]}")
done
if [ "$what" = test ]; then
  [ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
  /usr/bin/python3 -c 'import pytest, PIL, pefile' >/dev/null 2>&1 || missing+=(python3-pytest python3-pil python3-pefile)
  compgen -G '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null || missing+=(libclang-rt-14-dev)
  [ -f /usr/lib/xorg/modules/drivers/dummy_drv.so ] || missing+=(xserver-xorg-video-dummy)
fi
[ $native_only = 0 ] && [ ! -f /usr/share/wine/fonts/tahoma.ttf ] && missing+=(fonts-wine)

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    [ $need_i386 = 1 ] && dpkg --add-architecture i386
    # Another install may hold the lock for a while; wait for it. A mirror
    # in the middle of a sync fails one index: go on with the others.
    apt=(apt-get -o DPkg::Lock::Timeout=600)
    "${apt[@]}" update -qq || echo "deps.sh: some package lists could not be read; going on" >&2
    if ! "${apt[@]}" install -y -qq --no-install-recommends "${packages[@]}" >/dev/null; then
      # An i386 library must match its amd64 twin's version. When the
      # security lists of one side are missing, the release's own versions
      # are the ones both sides have.
      release=$(. /etc/os-release && echo "$VERSION_CODENAME")
      echo "deps.sh: installing again with the $release versions" >&2
      "${apt[@]}" install -y -qq --no-install-recommends -t "$release" "${packages[@]}" >/dev/null
    fi
  else
    echo "Missing packages. Install them with:" >&2
    [ $need_i386 = 1 ] && echo "  sudo dpkg --add-architecture i386 && sudo apt-get update" >&2
    echo "  sudo apt-get install --no-install-recommends ${packages[*]}" >&2
    exit 1
  fi
fi

# Every failure here says why in one line and returns: make test then
# goes on, with x86's suites reported as not run. A backports source this
# step added is taken out again when it gives no qemu-user.
qemu_from_backports() {
  local release mirror added
  release=$(. /etc/os-release && echo "$VERSION_CODENAME")
  # The backports of the mirror the release comes from.
  mirror=$(apt-cache policy 2>/dev/null | awk -v s="$release/main" '$3 == s && !m { m = $2 } END { print m }') || mirror=
  [ -n "$mirror" ] || { echo "deps.sh: no Debian $release source to take backports from, so 32-bit programs cannot be emulated" >&2; return 1; }
  echo "Installing: qemu-user from $release-backports, for 32-bit programs on this 64-bit-only kernel"
  export DEBIAN_FRONTEND=noninteractive
  local apt=(apt-get -o DPkg::Lock::Timeout=600)
  [ -f /usr/share/keyrings/debian-archive-keyring.gpg ] ||
    "${apt[@]}" install -y -qq --no-install-recommends debian-archive-keyring >/dev/null ||
    { echo "deps.sh: Debian's archive keys could not be installed, so 32-bit programs cannot be emulated" >&2; return 1; }
  added=$("$(dirname "${BASH_SOURCE[0]}")/backports.sh" / "$release" "$mirror") ||
    { echo "deps.sh: no $release-backports source could be added, so 32-bit programs cannot be emulated" >&2; return 1; }
  # A list that fails elsewhere (a mirror mid-sync) need not stop this.
  "${apt[@]}" update -qq >/dev/null 2>&1 || true
  local why= offered
  offered=$(apt-cache madison qemu-user 2>/dev/null) || offered=
  if [[ $offered != *" $release-backports/"* ]]; then
    why="$release-backports gives no qemu-user"
  elif ! "${apt[@]}" install -y -qq --no-install-recommends -t "$release-backports" qemu-user >/dev/null; then
    why="qemu-user from $release-backports could not be installed"
  fi
  [ -n "$why" ] || return 0
  if [ -n "$added" ]; then
    rm -f "$added"
    "${apt[@]}" update -qq >/dev/null 2>&1 || true
  fi
  echo "deps.sh: $why${added:+ (its source taken out again)}, so 32-bit programs cannot be emulated" >&2
  return 1
}

# The x86 exe's suites run on Wine's 32-bit side. Where the kernel runs no
# 32-bit program (IA-32 emulation off: "Exec format error"), qemu-user
# emulates the CPU for every i386 ELF program, registered with binfmt_misc
# as the package itself describes it. Bookworm's own qemu 7.2 stalls each
# 32-bit process for a minute at exit, so the emulator comes from
# backports. Where the kernel runs 32-bit code, nothing here happens: a
# registration would put the emulator in front of the real CPU.
i386_emulation() {
  local out
  out=$(/usr/lib/wine/wine --version 2>&1) && return 0
  [[ $out == *"Exec format error"* ]] || return 0  # some other fault: runs32.sh says which
  if [ "$(id -u)" != 0 ]; then
    echo "deps.sh: this kernel runs no 32-bit programs; setting up their emulation needs root (qemu-user from backports, binfmt_misc)" >&2
    return 0
  fi
  local conf=/usr/share/qemu/binfmt.d/qemu-i386.conf
  if [ ! -f "$conf" ]; then
    qemu_from_backports || return 0
  fi
  local misc=/proc/sys/fs/binfmt_misc
  if ! mountpoint -q $misc && ! mount -t binfmt_misc binfmt_misc $misc 2>/dev/null; then
    echo "deps.sh: binfmt_misc cannot be mounted here, so 32-bit programs cannot be emulated" >&2
    return 0
  fi
  # Registered once; a registration that is there already is left alone.
  [ -e $misc/qemu-i386 ] || cat "$conf" >$misc/register ||
    echo "deps.sh: the i386 emulator could not be registered with binfmt_misc" >&2
}
[ "$what" = test ] && i386_emulation

# Wine follows LANG only for locales that glibc has generated.
if [ $native_only = 0 ]; then
  need=()
  for l in en_US de_DE de_CH ru_RU ru_UA ja_JP; do
    locale -a 2>/dev/null | grep -qi "^$l\.utf-\?8$" || need+=("$l")
  done
  if [ ${#need[@]} -gt 0 ]; then
    if [ "$(id -u)" = 0 ]; then
      for l in "${need[@]}"; do
        sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" >>/etc/locale.gen
      done
      locale-gen >/dev/null
    else
      echo "Generate the locales ${need[*]} (UTF-8): enable them in /etc/locale.gen and run 'sudo locale-gen'." >&2
      exit 1
    fi
  fi
fi
[ "$what" != test ] || "$(dirname "$0")/../tests/env/wine10.sh" install
