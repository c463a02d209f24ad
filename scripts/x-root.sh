#!/usr/bin/env bash
# What the screen of a plain X display shows (the suite runs it as scripts_x_root): on an
# Xvfb of its own, without a compositing manager, it reads the root window back in one
# read, as a VNC server or a screen shot of the display does:
#   1. a plain window of tests/scripted/trait_window.exe, then with each of the client
#      window's traits alone (region, child, layered, shadow), then with all of them:
#      whether the window's colour shows at its middle;
#   2. tallyhive.exe on the demo shop's page: whether its main window, then its settings
#      window and its exit confirmation over the dimmed page, show their own colours, and
#      whether the drop shadow of the window in front shows as the dark rim that an X
#      server without a compositor makes of it (it blends no per-pixel alpha).
# Build first (scripts/build.sh). Exit code 0 when all of it shows.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYHIVE_BUILD_DIR:-$top/build}
[[ $build = /* ]] || build=$PWD/$build

probe=$build/tests/scripted/trait_window.exe
poke=$build/tests/scripted/window_poke.exe
client=$build/client/tallyhive.exe
for f in "$probe" "$poke" "$client"; do
  [ -f "$f" ] || { echo "x-root.sh: $f is not built" >&2; exit 1; }
done

. "$top/scripts/wine-env.sh"
wine_scratch x-root "$("$top/scripts/setup.sh" | tail -n 1)"
. "$top/scripts/demo/serve.sh"

# The root as the screen shows it. Not with xwd: where windows of more than one depth
# share the screen (a drop shadow's window is 32 bits deep) it pastes each window's own
# contents over the root, blind to their X shapes, so a window inside the rectangle of
# its shaped shadow reads black. Tried again while Wine replaces a window.
read_root() {
  rm -f "$work/root.ppm"
  for _ in $(seq 50); do
    import -window root "$work/root.ppm" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# The colour at x,y of the last read, as RRGGBB.
root_colour() {
  local hex
  hex=$(convert "$work/root.ppm" -depth 8 -format "%[hex:p{$1,$2}]" info: 2>/dev/null) || hex=""
  echo "${hex:0:6}"
}

# await_root TEST [ARGS...]: reads the root until TEST holds of the read, for half a
# minute or more: a window reaches the screen in its own time after its program has
# drawn it, and goes from it in its own time after the program has ended.
await_root() { wine_until 200 root_read_holds "$@"; }
root_read_holds() {
  read_root || true
  "$@"
}

# colour_at X Y [!]COLOUR: whether the last read has COLOUR at X,Y (with !, anything
# else); the colour read is left in $colour.
colour_at() {
  colour=$(root_colour "$1" "$2")
  if [ "${3:0:1}" = '!' ]; then [ "$colour" != "${3:1}" ]; else [ "$colour" = "$3" ]; fi
}

failed=0
report() { printf '  %-44s %s\n' "$1" "$2"; }

echo "x-root.sh: what the root window of $DISPLAY shows"
for traits in "" region child layered shadow "region child layered shadow"; do
  # shellcheck disable=SC2086  # the traits are separate arguments
  setsid wine "$probe" $traits </dev/null >"$work/probe.out" 2>/dev/null &
  probe_pid=$!
  for _ in $(seq 600); do grep -q ready "$work/probe.out" 2>/dev/null && break; sleep 0.1; done
  await_root colour_at 300 160 2080C0 && seen=shows || { seen="does not show (root has $colour)"; failed=1; }
  report "window${traits:+ with $traits}" "$seen"
  kill "$probe_pid" 2>/dev/null
  wait "$probe_pid" 2>/dev/null || true
  # Gone from the screen too, so that the next window's read is of that window.
  await_root colour_at 300 160 '!2080C0' || true
done

# shows LABEL CLASS X Y COLOUR [RIM]: whether the window of class CLASS shows COLOUR at
# its point X,Y, waiting a while for it to draw there (the page dims and loads in its own
# time); with RIM, whether 3 pixels left of its left edge, inside the 5-pixel shadow that
# both windows in front have, the root is dark (every channel below 0x40), waiting for the
# shadow as well: it is a window of its own, which reaches the screen in its own time.
shows() {
  local label=$1 class=$2 x=$3 y=$4 want=$5 rim=${6:-} place left top height colour="" band="" _
  place=$(wine_apart wine "$poke" "$class" place 2>/dev/null) || { report "$label" "did not come up"; failed=1; return; }
  read -r left top _ height <<<"${place//$'\r'/}"
  if await_root drawn; then
    report "$label" "shows${rim:+, its drop shadow a dark rim}"
  elif [ "$colour" != "$want" ]; then
    report "$label" "does not show (root has $colour at $((left + x)),$((top + y)), drawn $want)"
    failed=1
  else
    report "$label" "shows, its drop shadow not a dark rim (root has $band beside it)"
    failed=1
  fi
}

# What shows needs of the last read: the window's colour at its point and, with a rim,
# the dark rim beside it.
drawn() {
  colour_at $((left + x)) $((top + y)) "$want" || return 1
  [ -z "$rim" ] && return 0
  band=$(root_colour $((left - 3)) $((top + height / 2)))
  [[ "$band" =~ ^[0-3][0-9A-F][0-3][0-9A-F][0-3][0-9A-F]$ ]]
}

demo_serve "$work"
setsid wine "$client" </dev/null >/dev/null 2>&1 &
wine_apart wine "$poke" TallyHiveMainFrameWnd wait || true
# The title bar's cream; the settings window's blue banner; the exit confirmation's
# orange 确认 button. The main window's own rim lies over the black root.
shows "tallyhive.exe's main window" TallyHiveMainFrameWnd 600 15 FEFAE8
# The settings button, then the settings window's close button.
wine_apart wine "$poke" TallyHiveMainFrameWnd click 1062 15 || true
shows "tallyhive.exe's settings window" SettingFrame 20 60 0495FD rim
wine_apart wine "$poke" SettingFrame click 386 13 || true
# WM_CLOSE: the client asks first.
wine_apart wine "$poke" TallyHiveMainFrameWnd post 0x10 0 0 || true
shows "tallyhive.exe's exit confirmation" MessagePanleFrame 84 209 F09E1C rim
exit "$failed"
