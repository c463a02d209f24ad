#!/usr/bin/env bash
# Shows the demo frame (tests/framework/core/demo: a skin with the basic controls) on a
# display of its own and saves the window as a small PNG:
# screenshot-demo.sh [OUT.png] [BUILD_DIR]. Build first.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$top/docs/demo-frame.png}")
build=${2:-$top/build}
exe=$(find "$build" -name core_demo.exe | head -n 1)
[ -n "$exe" ] || { echo "core_demo.exe not built" >&2; exit 1; }

work=$(mktemp -d /tmp/tallyhive-frame.XXXXXX)
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

export WINEARCH=win32 WINEPREFIX="$work/prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" TALLYHIVE_TEST_TMP="$work" TALLYHIVE_DEMO_HOLD="$work"
wineboot -i >/dev/null 2>&1
wineserver -w

(cd "$(dirname "$exe")" && wine "$exe" --gtest_filter='DemoFrame.*') &
demo=$!
for _ in $(seq 600); do [ -e "$work/ready" ] && break; sleep 0.1; done
[ -e "$work/ready" ] || { echo "the demo frame did not come up" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
# The frame sits at (20, 20) and is 420 x 330; a margin of the desktop shows its corners.
xwd -root -display "$DISPLAY" | convert xwd:- -crop 436x346+12+12 +repage -strip \
  -define png:compression-level=9 "$out"
touch "$work/done"
wait "$demo"
echo "$out"
