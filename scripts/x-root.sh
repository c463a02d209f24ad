#!/usr/bin/env bash
# What reaches the screen of a plain X display (not part of the test suite): on an Xvfb of
# its own, without a compositing manager, it reads the root window back with xwd, as a VNC
# server or an X screen shot does, instead of asking Wine what it drew:
#   1. a plain window of tests/scripted/trait_window.exe, then with each of the client
#      window's traits alone (region, child, layered, shadow), then with all of them:
#      whether the window's colour shows at its middle;
#   2. tallyhive.exe: whether its title bar's colour shows once Wine has drawn it there.
# Build first (scripts/build.sh). Exit code 0 when the client's title bar shows.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYHIVE_BUILD_DIR:-$top/build}

probe=$build/tests/scripted/trait_window.exe
poke=$build/tests/scripted/window_poke.exe
client=$build/client/tallyhive.exe
for f in "$probe" "$poke" "$client"; do
  [ -f "$f" ] || { echo "x-root.sh: $f is not built" >&2; exit 1; }
done

. "$top/scripts/wine-env.sh"
wine_scratch x-root "$("$top/scripts/setup.sh" | tail -n 1)"

# The root's colour at x,y as RRGGBB. xwd is tried again while Wine replaces a window
# under it.
root_colour() {
  for _ in $(seq 50); do
    xwd -root -silent >"$work/root.xwd" 2>/dev/null && break
    sleep 0.1
  done
  python3 - "$work/root.xwd" "$1" "$2" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
size, order, bpp, line, ncolours = h[0], h[7], h[11], h[12], h[19]
masks = h[14:17]
at = size + 12 * ncolours + int(sys.argv[3]) * line + int(sys.argv[2]) * (bpp // 8)
value = int.from_bytes(data[at:at + bpp // 8], 'little' if order == 0 else 'big')
print(''.join('%02X' % ((value & m) >> ((m & -m).bit_length() - 1)) for m in masks))
PY
}

echo "x-root.sh: what the root window of $DISPLAY shows"
for traits in "" region child layered shadow "region child layered shadow"; do
  # shellcheck disable=SC2086  # the traits are separate arguments
  wine "$probe" $traits >"$work/probe.out" 2>/dev/null &
  probe_pid=$!
  for _ in $(seq 600); do grep -q ready "$work/probe.out" 2>/dev/null && break; sleep 0.1; done
  colour=$(root_colour 300 160)
  [ "$colour" = 2080C0 ] && seen=shows || seen="does not show (root has $colour)"
  printf '  window%-40s %s\n' "${traits:+ with $traits}" "$seen"
  kill "$probe_pid" 2>/dev/null
  wait "$probe_pid" 2>/dev/null || true
done

wine "$client" >/dev/null 2>&1 &
wine "$poke" TallyHiveMainFrameWnd wait
# Drawn, as Wine knows it: its title bar in the theme colour.
title=""
for _ in $(seq 600); do
  wine "$poke" TallyHiveMainFrameWnd grab "Z:${work//\//\\}\\main.ppm" >/dev/null 2>&1 || true
  title=$(python3 -c "
import sys
d = open(sys.argv[1], 'rb').read(); i = d.index(b'255\n') + 4; w = int(d.split()[1])
print('%02X%02X%02X' % tuple(d[i + (15 * w + 600) * 3:i + (15 * w + 600) * 3 + 3]))" "$work/main.ppm" 2>/dev/null || true)
  [ "$title" = FEFAE8 ] && break
  sleep 0.1
done
# The window is centred: 1200 x 770 on the 1280 x 1024 screen, at (40, 127).
colour=$(root_colour 640 142)
wineserver -k
if [ "$colour" = FEFAE8 ]; then
  echo "  tallyhive.exe's title bar shows"
  exit 0
fi
echo "  tallyhive.exe's title bar does not show (root has $colour; Wine drew $title)"
exit 1
