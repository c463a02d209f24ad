#!/usr/bin/env bash
# The test command: installs what is missing, builds incrementally, and runs every test
# executable through 32-bit Wine on a private display and a fresh Wine prefix.
# Extra arguments go to ctest (for example -R core_strings). Exit code: ctest's.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYHIVE_BUILD_DIR:-$top/build}

prefix=$("$top/scripts/setup.sh" | tail -n 1)
"$top/scripts/build.sh" "$prefix" "$build" >&2

work=$(mktemp -d /tmp/tallyhive-test.XXXXXX)
xvfb_pid=""
cleanup() {
  set +e
  WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

. "$top/scripts/xvfb.sh"
start_xvfb "$work/xvfb.log"

# Sound goes to a file instead of a card: tests read back the exact PCM bytes played.
mkdir -p "$work/home"
cat >"$work/home/.asoundrc" <<ASOUND
pcm.!default { type file slave.pcm "null" file "$work/home/sound.raw" format "raw" }
ASOUND

. "$top/scripts/wine-env.sh"
wine_env "$prefix"
export WINEPREFIX="$work/prefix"
export HOME="$work/home" TALLYHIVE_SOUND_CAPTURE="$work/home/sound.raw"
export TALLYHIVE_TEST_TMP="$work"

wineboot -i >/dev/null 2>&1
wineserver -w

status=0
(cd "$build" && ctest --output-on-failure "$@") || status=$?
exit "$status"
