#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, and nothing that is already
# there. Run by both README commands; with everything in place and a warm cache it takes seconds.
#
#   1. Debian packages: compilers (gcc, clang with libFuzzer, mingw-w64), Wine, Xvfb and what
#      screenshots need, GoogleTest sources, the host builds of liblzma, zlib, minizip and
#      nettle, and Info-ZIP's zip (the backup benchmark's baseline).
#   2. For the Windows build: liblzma, zlib and minizip cross-compiled with mingw-w64 from
#      Debian's own source packages into a cache outside the repository (UINSTALLER_CACHE, by
#      default ~/.cache/uinstaller). Nothing is downloaded from anywhere but Debian's mirrors.
set -euo pipefail

cache_root=${UINSTALLER_CACHE:-$HOME/.cache/uinstaller}
mingw_host=x86_64-w64-mingw32

log() { printf 'bootstrap: %s\n' "$*" >&2; }

# Runs a command with its output in a log file that is shown only when the command fails.
quietly() {
  local log_file
  log_file=$(mktemp)
  if ! "$@" >"$log_file" 2>&1; then
    cat "$log_file" >&2
    rm -f "$log_file"
    return 1
  fi
  rm -f "$log_file"
}

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
  build-essential cmake ninja-build pkg-config git python3
  clang libclang-rt-14-dev llvm
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  binutils-mingw-w64-x86-64
  wine64 xvfb imagemagick fonts-wine
  # Signs a built setup in the e2e scenario that proves a signed setup still installs.
  osslsigncode openssl
  googletest liblzma-dev zlib1g-dev libminizip-dev nettle-dev xz-utils zip
  dpkg-dev
)

missing_packages() {
  local package status
  for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = installed ] || printf '%s\n' "$package"
  done
}

install_packages() {
  local missing
  mapfile -t missing < <(missing_packages)
  if [ "${#missing[@]}" -eq 0 ]; then
    return
  fi
  log "installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# apt-get source needs a deb-src line for the same suite the binaries come from.
enable_source_packages() {
  local list=/etc/apt/sources.list.d/uinstaller-deb-src.sources
  if apt-get source --print-uris -qq zlib >/dev/null 2>&1; then
    return
  fi
  log "adding a deb-src entry for Debian's source packages"
  as_root tee "$list" >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  as_root apt-get update -qq
}

# Prints the source versions apt knows for a package, newest first.
source_versions() {
  apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/ { print $2 }' | sort -u |
    sort -r -V
}

# Unpacks the newest source version of a package that a mirror actually serves into the fresh
# folder $2 (security mirrors often carry binaries only) and prints the version it took.
fetch_source() {
  local package=$1 work=$2 version
  for version in $(source_versions "$package"); do
    rm -rf "$work"
    mkdir -p "$work"
    if (cd "$work" && apt-get source -qq "$package=$version" >/dev/null 2>&1); then
      printf '%s\n' "$version"
      return
    fi
  done
  log "no mirror serves the sources of $package"
  return 1
}

source_tree() {
  find "$1" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

build_zlib() {
  local prefix=$1 tree=$2
  (
    cd "$tree"
    CHOST=$mingw_host ./configure --static --prefix="$prefix"
    make -j2 libz.a
    make install
  )
}

build_liblzma() {
  local prefix=$1 tree=$2
  (
    cd "$tree"
    # mingw-w64 defines _M_X64, which sends liblzma 5.4.1 down the MSVC path that calls
    # _BitScanForward64 without including the header that declares it.
    ./configure --host=$mingw_host CFLAGS="-O2 -include intrin.h" --prefix="$prefix" \
      --enable-static --disable-shared --disable-threads --disable-nls \
      --disable-xz --disable-xzdec --disable-lzmadec --disable-lzmainfo \
      --disable-lzma-links --disable-scripts --disable-doc
    make -j2 -C src/liblzma
    make -C src/liblzma install
  )
}

# minizip comes from Debian's own "minizip" source package, the one the host's libminizip-dev is
# built from, so both builds run the same code with Debian's fixes (zlib's contrib copy lacks the
# 16-bit name-length check). Only the writer, the reader and the two file layers are needed; the
# library is small enough to compile directly without its autotools build. No encryption: the
# backups are never password-protected.
build_minizip() {
  local prefix=$1 tree=$2 source
  (
    cd "$tree"
    for source in ioapi zip unzip iowin32; do
      $mingw_host-gcc -O2 -DNOCRYPT -DNOUNCRYPT -I"$prefix/include" -c "$source.c" -o "$source.o"
    done
    rm -f libminizip.a
    $mingw_host-ar rcs libminizip.a ioapi.o zip.o unzip.o iowin32.o
    install -d "$prefix/include/minizip" "$prefix/lib"
    install -m 644 ioapi.h zip.h unzip.h iowin32.h "$prefix/include/minizip"
    install -m 644 libminizip.a "$prefix/lib"
  )
}

# Builds one dependency unless the cache already holds a build of a source version apt still
# lists; a new Debian release of the sources therefore triggers one rebuild.
ensure_dependency() {
  local name=$1 package=$2 builder=$3 prefix="$cache_root/win64" work version stamp
  for version in $(source_versions "$package"); do
    [ -f "$prefix/.$name-$version" ] && return
  done
  work="$cache_root/src/$name"
  version=$(fetch_source "$package" "$work")
  log "cross-building $name $version for Windows"
  quietly $builder "$prefix" "$(source_tree "$work")"
  rm -f "$prefix/.$name-"*
  touch "$prefix/.$name-$version"
  rm -rf "$work"
}

main() {
  install_packages
  enable_source_packages
  mkdir -p "$cache_root"
  ensure_dependency zlib zlib build_zlib
  ensure_dependency liblzma xz-utils build_liblzma
  # After zlib: minizip compiles against its headers.
  ensure_dependency minizip minizip build_minizip
  log "ready (Windows dependencies in $cache_root/win64)"
}

main "$@"
