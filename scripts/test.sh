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

# A display of our own: the first free number that Xvfb accepts (another run may take
# the same number at the same moment, so a refusal moves on to the next).
display=90
while :; do
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    { [ -e "/tmp/.X11-unix/X${display}" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; } && break
    sleep 0.1
  done
  kill -0 "$xvfb_pid" 2>/dev/null && break
  xvfb_pid=""
  display=$((display + 1))
done

# Sound goes to a file instead of a card: tests read back the exact PCM bytes played.
mkdir -p "$work/home"
cat >"$work/home/.asoundrc" <<ASOUND
pcm.!default { type file slave.pcm "null" file "$work/home/sound.raw" format "raw" }
ASOUND

export DISPLAY=":$display"
export WINEARCH=win32 WINEPREFIX="$work/prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The users run Chinese Windows: code page 936.
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export HOME="$work/home" TALLYHIVE_SOUND_CAPTURE="$work/home/sound.raw"
export TALLYHIVE_TEST_TMP="$work"

wineboot -i >/dev/null 2>&1
wineserver -w

status=0
(cd "$build" && ctest --output-on-failure "$@") || status=$?
exit "$status"
