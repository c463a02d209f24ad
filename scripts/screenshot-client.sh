#!/usr/bin/env bash
# Starts the client on a display of its own and saves its main window, with a margin of
# the desktop round its shadow, as a PNG: screenshot-client.sh [OUT.png] [BUILD_DIR].
# Build first. The picture is taken once the loading animation has settled (3 s).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$top/docs/client-window.png}")
build=${2:-$top/build}
exe="$build/client/tallyhive.exe"
[ -f "$exe" ] || { echo "tallyhive.exe not built" >&2; exit 1; }
prefix=$("$top/scripts/setup.sh" | tail -n 1)

work=$(mktemp -d /tmp/tallyhive-shot.XXXXXX)
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
. "$top/scripts/wine-env.sh"
wine_env "$prefix"
export WINEPREFIX="$work/prefix"
wineboot -i >/dev/null 2>&1
wineserver -w

wine "$exe" >/dev/null 2>&1 &
# The title bar's cream at the middle of the centred 1200 x 770 window on 1280 x 1024.
x=40 y=127
for _ in $(seq 600); do
  pixel=$(xwd -root -display "$DISPLAY" | convert xwd:- -format "%[hex:p{$((x + 600)),$((y + 15))}]" info: 2>/dev/null || true)
  [ "${pixel:0:6}" = "FEFAE8" ] && break
  sleep 0.2
done
[ "${pixel:0:6}" = "FEFAE8" ] || { echo "the main window did not come up" >&2; exit 1; }
sleep 4
mkdir -p "$(dirname "$out")"
xwd -root -display "$DISPLAY" | convert xwd:- -crop 1224x794+$((x - 12))+$((y - 12)) +repage -strip \
  -define png:compression-level=9 "$out"
echo "$out"
