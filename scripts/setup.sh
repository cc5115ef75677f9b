#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian 12 machine, skipping
# whatever is already there, so a second run takes a second or two.
#
# Wine runs 32-bit Windows code through its 32-bit Linux loader. Where the
# kernel refuses 32-bit programs (some virtual machines switch that off),
# the loader runs under qemu's user-mode emulator instead, registered for
# 32-bit ELF files through binfmt_misc. qemu 7.2 (Debian 12) lacks
# MAP_FIXED_NOREPLACE, which makes every Wine start take about a minute;
# the qemu of bookworm-backports starts a Wine process in a quarter second.
set -euo pipefail

log() { printf 'setup: %s\n' "$*"; }

# apt and dpkg talk a lot; keep their words for when something fails.
quietly() {
  local out
  out=$(mktemp)
  if ! "$@" >"$out" 2>&1; then
    tail -n 40 "$out" >&2
    rm -f "$out"
    return 1
  fi
  rm -f "$out"
}

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

apt_updated=0
apt_update_once() {
  if [ "$apt_updated" -eq 0 ]; then
    log "apt-get update"
    quietly sudo_if_needed apt-get update
    apt_updated=1
  fi
}

# Package names as dpkg reports them when installed (with :i386 where needed).
packages=(
  make cmake g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  wine wine32:i386 wine64 xvfb xauth x11-utils imagemagick nsis python3
)

missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${db:Status-Status}\n' "$p" 2>/dev/null | grep -qx installed || printf '%s\n' "$p"
  done
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  log "enabling the i386 architecture"
  sudo_if_needed dpkg --add-architecture i386
  apt_updated=0
  apt_update_once
fi

mapfile -t missing < <(missing_packages "${packages[@]}")
if [ "${#missing[@]}" -gt 0 ]; then
  apt_update_once
  log "installing ${missing[*]}"
  quietly sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Can this kernel start 32-bit programs by itself?
runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

if ! runs_32bit; then
  backports=/etc/apt/sources.list.d/kelvaro-bookworm-backports.sources
  if [ ! -f "$backports" ]; then
    log "adding bookworm-backports for a current qemu"
    sudo_if_needed tee "$backports" >/dev/null <<'SRC'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt_updated=0
  fi
  qemu_version=$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || true)
  case "$qemu_version" in
    1:1[0-9].*|1:[89].*) ;;
    *)
      apt_update_once
      log "installing qemu-user-static from bookworm-backports"
      quietly sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        -t bookworm-backports qemu-user-static
      ;;
  esac
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || sudo_if_needed mount -t binfmt_misc binfmt_misc "$binfmt"
  # A registration made with the 'F' flag keeps the interpreter file it opened;
  # renew it so that it always uses the installed qemu.
  [ -e "$binfmt/kelvaro-i386" ] && echo -1 | sudo_if_needed tee "$binfmt/kelvaro-i386" >/dev/null
  log "registering qemu-i386 for 32-bit programs"
  printf '%s' ':kelvaro-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff:/usr/bin/qemu-i386-static:FP' \
    | sudo_if_needed tee "$binfmt/register" >/dev/null
  runs_32bit || { log "32-bit programs still do not start"; exit 1; }
fi
log "ready"
