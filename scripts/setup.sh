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
TOP=$(cd "$(dirname "$0")/.." && pwd)

PACKAGES=(
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  wine wine32:i386 wine64 xvfb xauth
  libz-mingw-w64-dev rapidjson-dev libstb-dev googletest
  fonts-wqy-microhei fonts-dejavu-core locales libasound2:i386 libasound2-plugins:i386
  lame sox imagemagick x11-apps x11-utils
  cmake make dpkg-dev python3 ca-certificates xz-utils
  # For the scripts' tests only: a window manager that does not announce itself.
  twm
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

# The machine's own apt entry for the release's main archive: sets release, release_uri
# and release_keyring (empty when the entry names none; deb822 or one-line), so that the
# entries setup adds follow the mirror the machine already uses.
find_release_entry() {
  local entry file n
  release=$(. /etc/os-release && echo "$VERSION_CODENAME")
  read -r release_uri entry < <(apt-get indextargets --no-release-info --format '$(REPO_URI) $(SOURCESENTRY)' \
    "Identifier: Packages" "Release: $release" "Component: main" | head -n 1) || true
  if [ -z "${entry:-}" ]; then
    log "no apt entry for $release main found to take the mirror from"
    exit 1
  fi
  file=${entry%:*} n=${entry##*:}
  case "$file" in
    # Stanzas are counted as apt counts them: paragraphs holding at least one field.
    *.sources) release_keyring=$(awk -v n="$n" 'BEGIN { RS = ""; FS = "\n" }
      { for (i = 1; i <= NF; i++) if ($i ~ /^[A-Za-z-]+:/) { k++; break } }
      k == n { for (i = 1; i <= NF; i++) if (sub(/^Signed-By:[ \t]*/, "", $i)) print $i; exit }' "$file") ;;
    *) release_keyring=$(sed -n "${n}p" "$file" | grep -o 'signed-by=[^] ]*' | cut -d= -f2) ;;
  esac
}

# The deb-src entry for the release's main archive.
source_entry() {
  find_release_entry
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\n' "$release_uri" "$release"
  [ -z "$release_keyring" ] || printf 'Signed-By: %s\n' "$release_keyring"
}

ensure_apt() {
  local changed=0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_root "the i386 architecture (dpkg --add-architecture i386)"
    dpkg --add-architecture i386
    changed=1
  fi
  local src=/etc/apt/sources.list.d/tallyhive-src.sources want
  want=$(source_entry)
  if [ ! -f "$src" ] || [ "$(cat "$src")" != "$want" ]; then
    need_root "a deb-src entry for the release's main archive ($src)"
    printf '%s\n' "$want" >"$src"
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

# Some virtual machines run only 64-bit code (the kernel offers no 32-bit code segment):
# there 32-bit Wine starts only through qemu's user-mode emulator, registered with
# binfmt_misc. The release suite's emulator crashes Wine processes as they exit, so the
# backports suite's is registered in front of it, and a small shim preloaded into every
# 32-bit process (scripts/i386-shim) keeps Wine's address-space reservation cheap.
runs_32bit_natively() {
  python3 - <<'PY'
import ctypes, mmap, sys
try:
    # lar of the 32-bit user code selector 0x23 sets ZF when the descriptor exists.
    code = b"\x31\xc0\xb9\x23\x00\x00\x00\x0f\x02\xd1\x0f\x94\xc0\xc3"
    page = mmap.mmap(-1, mmap.PAGESIZE, prot=mmap.PROT_READ | mmap.PROT_WRITE | mmap.PROT_EXEC)
    page.write(code)
    present = ctypes.CFUNCTYPE(ctypes.c_int)(ctypes.addressof(ctypes.c_char.from_buffer(page)))()
except Exception:
    present = 1  # cannot tell: let Wine try
sys.exit(0 if present else 1)
PY
}

# Downloads the backports suite's qemu-user package through a private apt state that
# takes the mirror and keyring of the machine's own entry for the release.
fetch_backports_qemu() {
  local dir=$1 work
  find_release_entry
  work=$(mktemp -d)
  chmod 777 "$work"
  mkdir -p "$work/lists/partial" "$work/archives/partial"
  echo "deb ${release_keyring:+[signed-by=$release_keyring] }$release_uri $release-backports main" >"$work/sources.list"
  local opts=(-o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$work/lists" -o "Dir::Cache::Archives=$work/archives" -o APT::Architectures::=amd64)
  log "downloading qemu-user from $release-backports"
  apt-get "${opts[@]}" update -qq >/dev/null 2>&1 || true
  (cd "$work" && apt-get "${opts[@]}" download -qq "qemu-user/$release-backports" >/dev/null 2>&1) || true
  local deb; deb=$(ls "$work"/qemu-user_*.deb 2>/dev/null | head -1)
  if [ -z "$deb" ]; then
    log "could not download qemu-user from $release-backports"
    exit 1
  fi
  dpkg-deb -x "$deb" "$work/x"
  mkdir -p "$dir"
  install -m 755 "$work/x/usr/bin/qemu-i386" "$dir/qemu-i386"
  rm -rf "$work"
}

ensure_i386_runner() {
  runs_32bit_natively && return 0
  local dir="$PREFIX/i386-runner" src="$TOP/scripts/i386-shim/noreplace.c"
  local entry=/proc/sys/fs/binfmt_misc/tallyhive-i386
  if [ ! -x "$dir/qemu-i386" ]; then
    need_root "qemu's 32-bit emulator for a machine without 32-bit code"
    fetch_backports_qemu "$dir"
  fi
  # Rebuilt when its source changes; each library is moved into place whole, since
  # processes of other runs may be loading it at that moment.
  if ! cmp -s "$src" "$dir/noreplace.c"; then
    need_root "the 32-bit mapping shim in $dir"
    mkdir -p "$dir/lib/i386-linux-gnu" "$dir/lib/x86_64-linux-gnu"
    gcc -m32 -O2 -shared -fPIC -nostdlib -o "$dir/lib/i386-linux-gnu/noreplace.so.new" "$src"
    # 64-bit programs (wineserver) see the same LD_PRELOAD; they get an empty library.
    : | gcc -shared -fPIC -nostdlib -x c -o "$dir/lib/x86_64-linux-gnu/noreplace.so.new" -
    mv -f "$dir/lib/i386-linux-gnu/noreplace.so.new" "$dir/lib/i386-linux-gnu/noreplace.so"
    mv -f "$dir/lib/x86_64-linux-gnu/noreplace.so.new" "$dir/lib/x86_64-linux-gnu/noreplace.so"
    cp "$src" "$dir/noreplace.c"
  fi
  if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    log "this machine runs no 32-bit code and has no binfmt_misc to run it through qemu"
    exit 1
  fi
  if ! { [ -e "$entry" ] && grep -qx enabled "$entry" && grep -qx "interpreter $dir/qemu-i386" "$entry"; }; then
    need_root "a binfmt_misc entry that runs 32-bit programs through $dir/qemu-i386"
    [ -e "$entry" ] && echo -1 >"$entry"
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf '%s' ":tallyhive-i386:M::$magic:$mask:$dir/qemu-i386:F" >/proc/sys/fs/binfmt_misc/register
  fi
}

ensure_apt
ensure_locale
ensure_deps
ensure_pugixml
ensure_i386_runner
# Where the build finds the dependency prefix.
printf '%s\n' "$PREFIX"
