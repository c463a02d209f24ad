#!/usr/bin/env bash
# Configures (once) and builds the tree incrementally: build.sh DEPS_PREFIX BUILD_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
prefix=$1
build=$2
if [ ! -f "$build/CMakeCache.txt" ] || ! grep -q "TALLYHIVE_DEPS_PREFIX:PATH=$prefix\$" "$build/CMakeCache.txt"; then
  cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
    -DTALLYHIVE_DEPS_PREFIX="$prefix" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" -- --no-print-directory
