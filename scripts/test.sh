#!/usr/bin/env bash
# The test command: installs what is missing, builds incrementally, and runs every test
# executable through 32-bit Wine, several at a time in slots. A slot is a private Xvfb
# display, a copy of a booted Wine prefix with its wineserver and a hidden-window keeper
# running for the whole run, and a HOME (with its own sound capture file) and temporary
# folder of its own; CTest hands each test one slot. TALLYHIVE_TEST_JOBS sets the number
# of slots (default: the number of processors). The booted prefix is cached per Wine
# version under ~/.cache/tallyhive, so only the first run on a machine boots one.
# Extra arguments go to ctest (for example -R core_strings). Exit code: ctest's.
set -euo pipefail

trap 'echo "test: interrupted" >&2; exit 130' INT
trap 'exit 143' TERM

top=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYHIVE_BUILD_DIR:-$top/build}
[[ $build = /* ]] || build=$PWD/$build

prefix=$("$top/scripts/setup.sh" | tail -n 1)
"$top/scripts/build.sh" "$prefix" "$build" >&2
# The tests labelled "package" read the release package (build-release/package), made
# here when one of them is chosen, so that the release build cannot rot.
packaged=$(ctest --test-dir "$build" -N -L package "$@" | awk '/^Total Tests:/ { print $3 }')
if [ "${packaged:-0}" -gt 0 ]; then "$top/scripts/package.sh" >&2; fi

. "$top/scripts/wine-env.sh"
wine_env "$prefix"

# Where 32-bit programs cannot start at all (a machine without 32-bit code that setup.sh
# could not give an emulator), one line saying so beats a wall of failed tests.
if ! wine_version=$(wine --version 2>&1); then
  echo "test.sh: 32-bit Wine does not start on this machine: $wine_version" >&2
  exit 1
fi

slots=${TALLYHIVE_TEST_JOBS:-$(nproc)}
# No more slots than tests chosen: a run of one test starts one slot.
chosen=$(ctest --test-dir "$build" -N "$@" | awk '/^Total Tests:/ { print $3 }')
[ "${chosen:-0}" -lt "$slots" ] && slots=$((chosen > 0 ? chosen : 1))

work=$(mktemp -d /tmp/tallyhive-test.XXXXXX)
xvfb_pids=()
ctest_pid=""
cleanup() {
  set +e
  trap - INT TERM
  [ -n "$ctest_pid" ] && kill "$ctest_pid" 2>/dev/null
  wine_unmake
  local p
  for p in "$work"/*/prefix*; do
    [ -d "$p" ] && WINEPREFIX=$p wineserver -k >/dev/null 2>&1
  done
  for p in "${xvfb_pids[@]}"; do kill "$p" 2>/dev/null; done
  wait
  rm -rf "$work"
}
trap cleanup EXIT

. "$top/scripts/xvfb.sh"
for slot in $(seq "$slots"); do
  mkdir -p "$work/$slot/home" "$work/$slot/tmp"
  start_xvfb "$work/$slot/xvfb.log"
  xvfb_pids+=("$xvfb_pid")
  echo "$DISPLAY" >"$work/$slot/display"
done

# The booted prefix every slot starts from, made once per Wine version (and per change
# of what goes into it: the -rN suffix), whole or not at all (wine_make). Runs that start
# together may each boot one; the first to finish keeps its copy.
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tallyhive
template="$cache/prefix-$(echo "$wine_version" | tr -c 'A-Za-z0-9.~+\n-' '_')-r2"
if [ ! -f "$template/system.reg" ]; then
  echo "test.sh: booting a Wine prefix for $template (once per Wine version)" >&2
  wine_make "$template" "$work/boot.log" wine_boot_prefix || { cat "$work/boot.log" >&2; exit 1; }
  # Those of other versions go; another run's making is not one.
  find "$cache" -maxdepth 1 -name 'prefix-*' ! -name '*.making.*' ! -path "$template" -exec rm -rf {} +
fi

copies=()
for slot in $(seq "$slots"); do
  cp -a "$template" "$work/$slot/prefix" &
  copies+=($!)
done
wait "${copies[@]}"

# A slot's environment, loaded by scripts/in-slot.sh in each test CTest starts there.
for slot in $(seq "$slots"); do
  dir=$work/$slot
  # Sound goes to a file instead of a card: tests read back the exact PCM bytes played.
  cat >"$dir/home/.asoundrc" <<ASOUND
pcm.!default { type file slave.pcm "null" file "$dir/home/sound.raw" format "raw" }
ASOUND
  {
    printf 'export DISPLAY=%q WINEPREFIX=%q HOME=%q\n' "$(cat "$dir/display")" "$dir/prefix" "$dir/home"
    printf 'export TALLYHIVE_SOUND_CAPTURE=%q TALLYHIVE_TEST_TMP=%q\n' "$dir/home/sound.raw" "$dir/tmp"
  } >"$dir/env"
  # The server and the keeper hold no pipe of ours or of any test's: a test's output
  # ends when the test does.
  (
    . "$dir/env"
    wineserver -p
    wine "$build/tests/tallyhive_slot_keeper.exe" "Z:${dir//\//\\}\\ready" &
  ) </dev/null >/dev/null 2>&1
done
# Generous: under an emulator and a loaded machine a slot's first processes take minutes.
for _ in $(seq 6000); do
  ready=0
  for slot in $(seq "$slots"); do [ -e "$work/$slot/ready" ] && ready=$((ready + 1)); done
  [ "$ready" = "$slots" ] && break
  sleep 0.1
done
if [ "$ready" != "$slots" ]; then
  echo "test.sh: only $ready of $slots test slots came up" >&2
  exit 1
fi

ids=$(seq -s, -f '{"id":"%g","slots":1}' "$slots")
echo "{\"version\":{\"major\":1,\"minor\":0},\"local\":[{\"slots\":[$ids]}]}" >"$work/slots.json"
export TALLYHIVE_TEST_RUN=$work TALLYHIVE_TEST_TEMPLATE=$template

# In the background so that a signal to this script is handled at once, not when ctest
# ends by itself.
status=0
ctest --test-dir "$build" --output-on-failure --resource-spec-file "$work/slots.json" -j "$slots" "$@" &
ctest_pid=$!
wait "$ctest_pid" || status=$?
ctest_pid=""
exit "$status"
