#!/usr/bin/env bash
# Configures and builds the tree incrementally: build.sh DEPS_PREFIX BUILD_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
prefix=$1
build=$2
# Configured on every run: folders that appear (a new area of code or tests) must join
# the build, and a configure with nothing new takes about a second.
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
  -DTALLYHIVE_DEPS_PREFIX="$prefix" >/dev/null
cmake --build "$build" -j"${TALLYHIVE_BUILD_JOBS:-$(nproc)}" -- --no-print-directory
