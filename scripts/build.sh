#!/usr/bin/env bash
# Configures and builds the tree incrementally.
#   build.sh DEPS_PREFIX BUILD_DIR [-DNAME=VALUE...] [TARGET...]
#       the tested build: programs and tests, debug information inside the exes. -D
#       settings go to the configuration (and stay in the build folder's cache). With
#       targets named, only those are built, quietly: the output goes to
#       BUILD_DIR/build.log and only a failure's messages are shown.
#   build.sh --release [BUILD_DIR]
#       the release build, by default into build-release/: the two programs only, each
#       exe without debug sections and its debug information in a .debug file beside it
#       (client/tallyhive.exe and client/tallyhive.debug, uninstall/uninstall.exe and
#       uninstall/uninstall.debug)
set -euo pipefail
# On a terminal the progress line (below) is wiped first.
trap '[ -t 2 ] && printf "\r\033[K" >&2; echo "build: interrupted" >&2; exit 130' INT
top=$(cd "$(dirname "$0")/.." && pwd)
settings=()
targets=()
if [ "${1:-}" = --release ]; then
  prefix=$("$top/scripts/setup.sh" | tail -n 1)
  build=${2:-$top/build-release}
  settings=(-DCMAKE_BUILD_TYPE=Release -DTALLYHIVE_TESTS=OFF)
else
  prefix=$1
  build=$2
  for arg in "${@:3}"; do
    case "$arg" in
      -D*) settings+=("$arg") ;;
      *) targets+=("$arg") ;;
    esac
  done
fi
# Builds into one folder take turns (two run.sh started at once, or one beside a test
# run that starts another): two configures or makes writing the same files would clash.
mkdir -p "$build"
exec 9>"$build/.build-lock"
flock 9
# Configured on every run: folders that appear (a new area of code or tests) must join
# the build, and a configure with nothing new takes about a second.
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
  -DTALLYHIVE_DEPS_PREFIX="$prefix" "${settings[@]}" >/dev/null
jobs=${TALLYHIVE_BUILD_JOBS:-$(nproc)}
if [ ${#targets[@]} = 0 ]; then
  cmake --build "$build" -j"$jobs" -- --no-print-directory
  exit 0
fi
log=$build/build.log
echo "build: ${targets[*]} (output in $log)" >&2
# On a terminal the progress shows as one line that counts up.
progress() {
  local line
  while IFS= read -r line; do
    [[ $line =~ ^\[\ *([0-9]+)%\] ]] && [ -t 2 ] && printf '\rbuild: %s%%' "${BASH_REMATCH[1]}" >&2
  done
  [ -t 2 ] && printf '\r\033[K' >&2
  return 0
}
if ! cmake --build "$build" -j"$jobs" --target "${targets[@]}" -- --no-print-directory 2>&1 | tee "$log" | progress; then
  grep -v -E '^\[ *[0-9]+%\] |^Built target ' "$log" >&2
  echo "build: failed (the whole output is in $log)" >&2
  exit 1
fi
