#!/usr/bin/env bash
# Shows the demo window on a private display and saves a screenshot of the screen:
# take-screenshot.sh OUT.png [BUILD_DIR]. Build first (scripts/test.sh or build.sh).
set -euo pipefail
out=$(realpath -m "$1")
top=$(cd "$(dirname "$0")/../../../.." && pwd)
build=${2:-$top/build}
exe=$(find "$build" -name core_demo.exe | head -n 1)
[ -n "$exe" ] || { echo "core_demo.exe not built" >&2; exit 1; }

work=$(mktemp -d /tmp/tallyhive-demo.XXXXXX)
xvfb_pid=""
cleanup() {
  set +e
  WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

display=150
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 640x400x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display}" ] && break; sleep 0.1; done

export DISPLAY=":$display" WINEARCH=win32 WINEPREFIX="$work/prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" TALLYHIVE_TEST_TMP="$work" TALLYHIVE_DEMO_HOLD="$work"
wineboot -i >/dev/null 2>&1
wineserver -w

(cd "$(dirname "$exe")" && wine "$exe" --gtest_filter='DemoWindow.*') &
demo=$!
for _ in $(seq 600); do [ -e "$work/ready" ] && break; sleep 0.1; done
xwd -root -display "$DISPLAY" | convert xwd:- "$out"
touch "$work/done"
wait "$demo"
echo "$out"
