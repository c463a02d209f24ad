#!/usr/bin/env bash
# Brings a Debian 12 machine to the point where tallyhive builds and its tests run:
# the mingw-w64 i686 toolchain, 32-bit Wine, a display server, and the libraries that
# Debian ships only for Linux, cross-built once into a dependency prefix.
# Idempotent: when everything is already there it only checks and returns.
set -euo pipefail

DEPS_ROOT=${TALLYHIVE_DEPS_ROOT:-/var/cache/tallyhive-deps}
CURL_VER=7.88.1
MPG123_VER=1.31.2
ZLIB_VER=1.2.13
DUKTAPE_VER=2.7.0
PUGIXML_VER=1.13
DEPS_KEY="curl-${CURL_VER}_mpg123-${MPG123_VER}_zlib-${ZLIB_VER}_duktape-${DUKTAPE_VER}_r1"
PREFIX="$DEPS_ROOT/$DEPS_KEY"

PACKAGES=(
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  wine wine32:i386 wine64 xvfb xauth
  libz-mingw-w64-dev rapidjson-dev libstb-dev googletest
  fonts-wqy-microhei fonts-dejavu-core locales libasound2:i386 libasound2-plugins:i386
  lame sox imagemagick x11-apps
  cmake make dpkg-dev python3 ca-certificates xz-utils
)

log() { printf 'setup: %s\n' "$*" >&2; }
need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    log "missing: $1"
    log "run this script as root once (sudo $0) so it can install what is missing"
    exit 1
  fi
}

missing_packages() {
  local p status
  for p in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || printf '%s\n' "$p"
  done
}

ensure_apt() {
  local changed=0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_root "the i386 architecture (dpkg --add-architecture i386)"
    dpkg --add-architecture i386
    changed=1
  fi
  local src=/etc/apt/sources.list.d/tallyhive-src.sources
  if [ ! -f "$src" ]; then
    need_root "a deb-src entry for bookworm main ($src)"
    cat >"$src" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    changed=1
  fi
  local missing
  missing=$(missing_packages)
  if [ -n "$missing" ] || [ "$changed" = 1 ]; then
    need_root "packages: $(echo $missing)"
    log "apt-get update"
    # A mirror in the middle of a sync fails one index now and then; the lists that did
    # arrive are enough unless the install below says otherwise.
    apt-get update -qq || apt-get update -qq || log "apt-get update reported errors; going on with the lists it has"
    log "installing: $(echo $missing)"
    if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null; then
      # When one architecture's index of an update suite is missing, the 32-bit libraries
      # cannot match their 64-bit twins; the release suite has both at one version.
      local release
      release=$(. /etc/os-release && echo "$VERSION_CODENAME")
      log "retrying the install from the $release suite"
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends -t "$release" $missing >/dev/null
    fi
  fi
}

ensure_locale() {
  if ! locale -a 2>/dev/null | grep -qiE '^zh_CN\.utf-?8$'; then
    need_root "the zh_CN.UTF-8 locale"
    sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
  fi
}

# Unpacks the .orig tarball of a Debian source package into $PREFIX/src/<name>.
fetch_source() {
  local pkg=$1 ver=$2 dir="$PREFIX/src/$1-$2"
  [ -d "$dir" ] && return 0
  local work; work=$(mktemp -d)
  # apt hands downloads to its unprivileged user, which must be able to write here.
  chmod 777 "$work"
  # A missing detached signature of the tarball fails the command as a whole; only the
  # tarball itself is needed.
  (cd "$work" && apt-get source --download-only -qq "$pkg" >/dev/null 2>&1) || true
  local tarball; tarball=$(ls "$work"/"${pkg}"_*.orig.tar.* 2>/dev/null | grep -v '\.asc$' | head -1)
  if [ -z "$tarball" ]; then
    log "could not download the source package $pkg (is the deb-src entry in place and apt-get update done?)"
    exit 1
  fi
  mkdir -p "$work/x"
  tar -xf "$tarball" -C "$work/x"
  mkdir -p "$PREFIX/src"
  mv "$work/x"/* "$dir"
  rm -rf "$work"
}

build_curl() {
  [ -f "$PREFIX/lib/libcurl.a" ] && return 0
  fetch_source curl "$CURL_VER"
  log "building libcurl $CURL_VER for i686-w64-mingw32"
  local b; b=$(mktemp -d)
  (cd "$b" && "$PREFIX/src/curl-$CURL_VER/configure" --host=i686-w64-mingw32 \
      CC=i686-w64-mingw32-gcc-posix --prefix="$PREFIX" --disable-shared --enable-static \
      --with-schannel --without-libpsl --without-brotli --without-zstd --without-zlib \
      --without-libidn2 --without-nghttp2 --disable-ldap --disable-manual >"$PREFIX/curl-build.log" 2>&1 &&
   make -j"$(nproc)" -C lib >>"$PREFIX/curl-build.log" 2>&1 && make -C lib install >/dev/null &&
   make -C include install >/dev/null)
  rm -rf "$b"
}

build_mpg123() {
  [ -f "$PREFIX/lib/libmpg123.a" ] && return 0
  fetch_source mpg123 "$MPG123_VER"
  log "building libmpg123 $MPG123_VER for i686-w64-mingw32"
  local b; b=$(mktemp -d)
  (cd "$b" && "$PREFIX/src/mpg123-$MPG123_VER/configure" --host=i686-w64-mingw32 \
      CC=i686-w64-mingw32-gcc-posix --prefix="$PREFIX" --disable-shared --enable-static \
      --with-cpu=generic_fpu --disable-modules --disable-components --enable-libmpg123 >"$PREFIX/mpg123-build.log" 2>&1 &&
   make -j"$(nproc)" >>"$PREFIX/mpg123-build.log" 2>&1 && make install >/dev/null)
  rm -rf "$b"
}

ensure_deps() {
  if [ -f "$PREFIX/.complete" ]; then return 0; fi
  need_root "the cross-built dependencies in $PREFIX"
  mkdir -p "$PREFIX"
  fetch_source zlib "$ZLIB_VER"
  fetch_source duktape "$DUKTAPE_VER"
  build_curl
  build_mpg123
  touch "$PREFIX/.complete"
}

# pugixml is the baseline of the XML parse benchmark only; the programs never link it.
ensure_pugixml() {
  [ -f "$PREFIX/lib/libpugixml.a" ] && return 0
  need_root "pugixml for the benchmarks in $PREFIX"
  fetch_source pugixml "$PUGIXML_VER"
  log "building pugixml $PUGIXML_VER for i686-w64-mingw32"
  local src="$PREFIX/src/pugixml-$PUGIXML_VER/src" b
  b=$(mktemp -d)
  mkdir -p "$PREFIX/lib" "$PREFIX/include"
  i686-w64-mingw32-g++-posix -O2 -msse2 -mfpmath=sse -c "$src/pugixml.cpp" -o "$b/pugixml.o"
  i686-w64-mingw32-ar rcs "$b/libpugixml.a" "$b/pugixml.o"
  cp "$src/pugixml.hpp" "$src/pugiconfig.hpp" "$PREFIX/include/"
  mv "$b/libpugixml.a" "$PREFIX/lib/libpugixml.a"
  rm -rf "$b"
}

ensure_apt
ensure_locale
ensure_deps
ensure_pugixml
# Where the build finds the dependency prefix.
printf '%s\n' "$PREFIX"
