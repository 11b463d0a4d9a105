#!/usr/bin/env bash
# Installs what building, running and testing Pintaro needs on Debian or Ubuntu, when missing, and
# fetches the distribution's source of libjpeg-turbo once (the Windows builds compile it themselves).
# Prints nothing when everything is in place.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# libjpeg-turbo's headers for the native builds: Ubuntu names the package after the libjpeg 8 interface.
jpeg_dev=libjpeg62-turbo-dev
grep -qs '^ID=ubuntu' /etc/os-release && jpeg_dev=libjpeg-turbo8-dev

packages=(
  cmake ninja-build g++ googletest libgtest-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 xvfb x11-utils x11-xserver-utils xdotool imagemagick fonts-noto-cjk bc unzip
  clang libclang-rt-dev
  nasm "$jpeg_dev"
)

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# libjpeg-turbo's source as the distribution ships it: apt checks its signature and checksums.
source_dir="$root/build/third_party/libjpeg-turbo"
source_fetched() { compgen -G "$source_dir/libjpeg-turbo_*.orig.tar.gz" >/dev/null; }

has_deb_src() {
  grep -qsE '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list ||
    grep -qsE '^[[:space:]]*Types:.*deb-src' /etc/apt/sources.list.d/*.sources
}

# Source entries for the mirrors the system already uses: the distribution's deb822 file (Debian 12,
# Ubuntu 24.04) copied with Types: deb-src, or else the deb lines of sources.list (older Ubuntu, whose
# own deb-src lines are there but commented out) repeated as deb-src.
add_deb_src() {
  local deb822
  for deb822 in /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list.d/ubuntu.sources; do
    if [[ -f $deb822 ]]; then
      echo "adding source entries: ${deb822%.sources}-src.sources"
      sed -E 's/^([[:space:]]*Types:).*/\1 deb-src/' "$deb822" |
        "${sudo[@]}" tee "${deb822%.sources}-src.sources" >/dev/null
      return
    fi
  done
  if grep -qsE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list; then
    echo "adding source entries: /etc/apt/sources.list.d/distribution-src.list"
    sed -nE 's/^[[:space:]]*deb([[:space:]])/deb-src\1/p' /etc/apt/sources.list |
      "${sudo[@]}" tee /etc/apt/sources.list.d/distribution-src.list >/dev/null
    return
  fi
  echo "no deb-src entry, and no sources of the distribution to make one from: add one for your mirror" >&2
  exit 1
}

fetch_source() {
  echo "fetching the source of libjpeg-turbo into build/third_party/libjpeg-turbo"
  has_deb_src || add_deb_src
  [[ -n $(apt-cache showsrc libjpeg-turbo 2>/dev/null) ]] || "${sudo[@]}" apt-get update -qq
  mkdir -p "$source_dir"
  # Downloads and verifies only, as the user: CMake unpacks the original tarball into each Windows build.
  local log
  log=$(mktemp)
  if ! (cd "$source_dir" && apt-get source -qq --download-only libjpeg-turbo) >"$log" 2>&1 || ! source_fetched; then
    cat "$log" >&2
    rm -f "$log"
    echo "apt-get source libjpeg-turbo gave no original tarball in $source_dir" >&2
    exit 1
  fi
  rm -f "$log"
}

source_fetched || fetch_source
