#!/usr/bin/env bash
# Configures and builds the tree incrementally.
#   build.sh DEPS_PREFIX BUILD_DIR   the tested build: programs and tests, debug
#                                    information inside the exes
#   build.sh --release [BUILD_DIR]   the release build, by default into build-release/:
#                                    the two programs only, each exe without debug
#                                    sections and its debug information in a .debug
#                                    file beside it (client/tallyhive.exe and
#                                    client/tallyhive.debug, uninstall/uninstall.exe and
#                                    uninstall/uninstall.debug)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = --release ]; then
  prefix=$("$top/scripts/setup.sh" | tail -n 1)
  build=${2:-$top/build-release}
  options=(-DCMAKE_BUILD_TYPE=Release -DTALLYHIVE_TESTS=OFF)
else
  prefix=$1
  build=$2
  options=()
fi
# Configured on every run: folders that appear (a new area of code or tests) must join
# the build, and a configure with nothing new takes about a second.
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
  -DTALLYHIVE_DEPS_PREFIX="$prefix" "${options[@]}" >/dev/null
cmake --build "$build" -j"${TALLYHIVE_BUILD_JOBS:-$(nproc)}" -- --no-print-directory
