#!/usr/bin/env bash
# Shows a window on a display of its own and saves it as a PNG (the test windows with a
# margin of the desktop round their corners): screenshot.sh WHAT [OUT.png] [BUILD_DIR].
# Build first. WHAT is one of
#   client       the running tallyhive.exe, once its loading animation has settled
#   demo-frame   the framework's demo frame (tests/framework/core/demo)
#   demo-window  the framework's bare demo window (tests/framework/core/demo)
#   frame-window the frame test's window (tests/framework/core/frame)
# The test windows stay up while a file "ready" is in the folder that TALLYHIVE_DEMO_HOLD
# names, until the script puts a file "done" there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
what=${1:?usage: screenshot.sh client|demo-frame|demo-window|frame-window [OUT.png] [BUILD_DIR]}
build=${3:-$top/build}

# What: default picture, program, gtest filter (empty: the client), crop W x H + X + Y.
case "$what" in
  client)       out=docs/client-window.png exe=client/tallyhive.exe filter=""; crop=1200x770+0+0 ;;
  demo-frame)   out=docs/demo-frame.png    exe=core_demo.exe  filter=DemoFrame.*;  crop=436x388+12+12 ;;
  demo-window)  out=docs/demo-window.png   exe=core_demo.exe  filter=DemoWindow.*; crop=376x256+32+32 ;;
  frame-window) out=docs/frame-window.png  exe=core_frame.exe filter=FrameWindow.HoldsForAScreenshotWhenAsked; crop=224x124+8+8 ;;
  *) echo "screenshot.sh: unknown window '$what'" >&2; exit 2 ;;
esac
out=$(realpath -m "${2:-$top/$out}")
if [ -z "$filter" ]; then
  exe="$build/$exe"
  [ -f "$exe" ] || exe=""
else
  exe=$(find "$build/tests" -name "$exe" | head -n 1)
fi
[ -n "$exe" ] || { echo "screenshot.sh: the program for '$what' is not built in $build" >&2; exit 1; }

work=$(mktemp -d /tmp/tallyhive-shot.XXXXXX)
xvfb_pid=""
program=""
cleanup() {
  set +e
  touch "$work/done"
  WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1
  [ -n "$program" ] && wait "$program" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
. "$top/scripts/xvfb.sh"
start_xvfb "$work/xvfb.log"
. "$top/scripts/wine-env.sh"
wine_env "$("$top/scripts/setup.sh" | tail -n 1)"
# An empty HOME: the prefix gets no links into the user's own folders.
export HOME="$work" WINEPREFIX="$work/prefix" TALLYHIVE_TEST_TMP="$work" TALLYHIVE_DEMO_HOLD="$work"
wine_boot_prefix "$WINEPREFIX" >/dev/null 2>&1

if [ -z "$filter" ]; then
  wine "$exe" >/dev/null 2>&1 &
  program=$!
  # Wine draws the client's frame off the root window (redirected), so the picture is
  # taken of the window itself, once its title bar shows the cream and the loading
  # time-out (3 s) has passed.
  window_id() {
    xwininfo -root -tree -display "$DISPLAY" 2>/dev/null | grep -a '"tallyhive' | grep -a ' 1200x770+' | awk '{ print $1; exit }' || true
  }
  for _ in $(seq 900); do
    id=$(window_id)
    pixel=""
    [ -n "$id" ] && pixel=$(xwd -id "$id" -display "$DISPLAY" 2>/dev/null | convert xwd:- -format "%[hex:p{600,15}]" info: 2>/dev/null || true)
    [ "${pixel:0:6}" = "FEFAE8" ] && break
    sleep 0.2
  done
  [ "${pixel:0:6}" = "FEFAE8" ] || { echo "screenshot.sh: the client's window did not come up" >&2; exit 1; }
  sleep 4
  capture=(xwd -id "$id" -display "$DISPLAY")
else
  (cd "$(dirname "$exe")" && wine "$exe" --gtest_filter="$filter" >/dev/null 2>&1) &
  program=$!
  for _ in $(seq 1800); do [ -e "$work/ready" ] && break; sleep 0.1; done
  [ -e "$work/ready" ] || { echo "screenshot.sh: the window did not come up" >&2; exit 1; }
  capture=(xwd -root -display "$DISPLAY")
fi

mkdir -p "$(dirname "$out")"
"${capture[@]}" | convert xwd:- -crop "$crop" +repage -strip -define png:compression-level=9 "$out"
if [ -n "$filter" ]; then
  touch "$work/done"
else
  WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
fi
wait "$program" 2>/dev/null || true
program=""
echo "$out"
