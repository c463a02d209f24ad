#!/usr/bin/env bash
# Shows a window on a display of its own and saves it as a PNG (the test windows with a
# margin of the desktop round their corners):
#   screenshot.sh WHAT [OUT.png] [BUILD_DIR]
# Build first. WHAT is one of
#   client             tallyhive.exe showing a shop's page, served by a loopback server
#                      of the script's own, once its loading animation has settled
#   error-page         tallyhive.exe when its line's host cannot be reached: the error page
#   exit-confirmation  tallyhive.exe asking before it quits, over its dimmed page
#   settings           tallyhive.exe's settings window, over its dimmed page
#   tray-menu          tallyhive.exe's notification-area menu, over its page
#   update             tallyhive.exe's update window, downloading a newer version
#   uninstaller        uninstall.exe over a fake installation (as scripts/try-uninstall.sh)
#   demo-frame         the framework's demo frame (tests/framework/core/demo)
#   demo-window        the framework's bare demo window (tests/framework/core/demo)
#   frame-window       the frame test's window (tests/framework/core/frame)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/usage.sh"
[ $# -gt 0 ] || { script_usage >&2; exit 2; }
what=$1
build=${3:-$top/build}
[[ $build = /* ]] || build=$PWD/$build

# What: default picture, program, gtest filter (empty: one of the programs), and for a
# test window its class: its picture is cut from the screen round the window's rectangle.
case "$what" in
  client)            out=docs/client-window.png         exe=client/tallyhive.exe    filter="" ;;
  error-page)        out=docs/client-error-page.png     exe=client/tallyhive.exe    filter="" ;;
  exit-confirmation) out=docs/client-exit-confirmation.png exe=client/tallyhive.exe filter="" ;;
  settings)          out=docs/client-settings.png       exe=client/tallyhive.exe    filter="" ;;
  tray-menu)         out=docs/client-tray-menu.png      exe=client/tallyhive.exe    filter="" ;;
  update)            out=docs/client-update.png         exe=client/tallyhive.exe    filter="" ;;
  uninstaller)       out=docs/uninstaller.png           exe=uninstall/uninstall.exe filter="" ;;
  demo-frame)   out=docs/demo-frame.png    exe=core_demo.exe  filter=DemoFrame.*;  class=TallyhiveDemoFrame ;;
  demo-window)  out=docs/demo-window.png   exe=core_demo.exe  filter=DemoWindow.*; class=TallyhiveDemoWnd ;;
  frame-window) out=docs/frame-window.png  exe=core_frame.exe filter=FrameWindow.HoldsForAScreenshotWhenAsked; class=TallyhiveTestFrame ;;
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

wine_poke=$build/tests/scripted/window_poke.exe
# The held test windows go once the picture is taken or the script stops.
script_cleanup() { touch "$work/done"; }
. "$top/scripts/wine-env.sh"
wine_scratch shot "$("$top/scripts/setup.sh" | tail -n 1)"
# The test windows stay up while a file "ready" is in the folder that TALLYHIVE_DEMO_HOLD
# names, until the script puts a file "done" there.
export TALLYHIVE_TEST_TMP="$work" TALLYHIVE_DEMO_HOLD="$work"
. "$top/scripts/demo/serve.sh"

# The X window of the program's window of size W x H.
window_id() {
  xwininfo -root -tree -display "$DISPLAY" 2>/dev/null | grep -a " $1+" | awk '{ print $1; exit }' || true
}

# shows WINDOW X,Y=RRGGBB...: whether a window shows each colour at its point: an X window
# (its id) as xwd reads it, a program's window (its class) as the screen shows its client
# area.
shows() {
  local window=$1 spot hex
  shift
  rm -f "$work/seen.ppm"
  if [[ "$window" == 0x* ]]; then
    xwd -id "$window" -display "$DISPLAY" 2>/dev/null | convert xwd:- "$work/seen.ppm" 2>/dev/null || return 1
  else
    wine_apart wine "$wine_poke" "$window" grab "Z:${work//\//\\}\\seen.ppm" >/dev/null 2>&1 || return 1
  fi
  for spot in "$@"; do
    hex=$(convert "$work/seen.ppm" -format "%[hex:p{${spot%=*}}]" info: 2>/dev/null) || return 1
    [ "${hex:0:6}" = "${spot#*=}" ] || return 1
  done
}

# Whether the client's main window is up with its page: the demo shop's head band, or the
# error page's picture and button. Sets main_id.
page_shown() {
  main_id=$(window_id 1200x770)
  [ -n "$main_id" ] || return 1
  if [ "$what" = error-page ]; then
    shows "$main_id" 600,100=F7C462 390,392=FFF300
  else
    shows "$main_id" 600,44=279AC6
  fi
}

# Whether the uninstaller's window shows its blue 卸载 button. Sets id.
uninstaller_shown() {
  id=$(window_id 400x300)
  [ -n "$id" ] && shows "$id" 130,230=0495FD
}

# Whether the root, cut to the test window's place with its margin, reads as the last
# read did and shows more than the desktop's one colour: the window has reached the
# screen and settled there. The cut is left in $work/cut.ppm.
settled() {
  import -window root "$work/screen.ppm" 2>/dev/null || return 1
  convert "$work/screen.ppm" -crop "$margin" +repage -depth 8 "$work/cut.ppm" 2>/dev/null || return 1
  [ "$(convert "$work/cut.ppm" -format %k info:)" -gt 1 ] || return 1
  cmp -s "$work/cut.ppm" "$work/last.ppm" && return 0
  mv "$work/cut.ppm" "$work/last.ppm"
  return 1
}

mkdir -p "$(dirname "$out")"
case "$what" in
  client | error-page | exit-confirmation | settings | tray-menu | update)
    # Wine draws the client's windows off the root window (redirected), so a picture of
    # the main window alone is taken of the window itself. Windows of their own over it
    # are taken as Wine shows the main window's area, read from the screen inside Wine.
    [ "$what" = error-page ] || demo_serve "$work" "$([ "$what" = update ] && echo 4.1 || echo 4.0)"
    front=""
    case "$what" in
      exit-confirmation) front=MessagePanleFrame ;;
      settings) front=SettingFrame ;;
      tray-menu) front=HiveMenuWnd ;;
      update) front=DownloadUpdateFrame ;;
    esac
    # Where the window in front shows its own colours once drawn; settings and the exit
    # confirmation dim the page, which darkens its head band.
    spots="" dims=""
    case "$what" in
      exit-confirmation) spots="84,209=F09E1C" dims=1 ;;
      settings) spots="20,60=0495FD" dims=1 ;;
      tray-menu) spots="0,15=BCBFC4 5,15=FFFFFF" ;;
      update) spots="175,195=FFEA00" ;;  # the progress bar at 40 %
    esac
    wine_start TallyHiveMainFrameWnd 0x10401 "$exe" >/dev/null 2>&1
    # The update window replaces the main window as soon as the check has answered.
    if [ "$what" != update ]; then
      wine_until 1800 page_shown || { echo "screenshot.sh: the client's window did not come up with its page" >&2; exit 1; }
    fi
    case "$what" in
      exit-confirmation) wine_apart wine "$wine_poke" TallyHiveMainFrameWnd post 0x10 0 0 ;;  # WM_CLOSE
      settings) wine_apart wine "$wine_poke" TallyHiveMainFrameWnd click 1062 15 ;;           # the settings button
      tray-menu) wine_apart wine "$wine_poke" TallyHiveMainFrameWnd post 0x401 0 0x205 ;;     # right click on the icon
    esac
    if [ -z "$front" ]; then
      xwd -id "$main_id" -display "$DISPLAY" | convert xwd:- -strip -define png:compression-level=9 "$out"
    else
      # shellcheck disable=SC2086  # the spots are separate arguments
      wine_until 600 shows "$front" $spots || { echo "screenshot.sh: the $what window did not show" >&2; exit 1; }
      shown=TallyHiveMainFrameWnd
      [ "$what" = update ] && shown=DownloadUpdateFrame
      if [ -n "$dims" ] && ! wine_until 600 shows "$shown" 600,44=15556D; then
        echo "screenshot.sh: the page did not dim behind the $what window" >&2
        exit 1
      fi
      wine_apart wine "$wine_poke" "$shown" grab "Z:${work//\//\\}\\shown.ppm"
      convert "$work/shown.ppm" -strip -define png:compression-level=9 "$out"
    fi
    ;;
  uninstaller)
    . "$top/scripts/fake-install.sh"
    fake_install "$build"
    cd "$install"
    wine_start UnInstall "" uninstall.exe >/dev/null 2>&1
    wine_until 1800 uninstaller_shown || { echo "screenshot.sh: the uninstaller's window did not come up" >&2; exit 1; }
    xwd -id "$id" -display "$DISPLAY" | convert xwd:- -strip -define png:compression-level=9 "$out"
    ;;
  *)
    (cd "$(dirname "$exe")" && setsid wine "$exe" --gtest_filter="$filter" >/dev/null 2>&1) &
    program=$!
    wine_background_pids+=("$program")
    for _ in $(seq 1800); do [ -e "$work/ready" ] && break; sleep 0.1; done
    [ -e "$work/ready" ] || { echo "screenshot.sh: the window did not come up" >&2; exit 1; }
    # The window's rectangle on the screen with 8 pixels of the desktop round it, read from
    # the root as the screen shows it (see scripts/x-root.sh).
    place=$(wine_apart wine "$wine_poke" "$class" place) || { echo "screenshot.sh: the window did not show" >&2; exit 1; }
    read -r left top width height <<<"${place//$'\r'/}"
    margin="$((width + 16))x$((height + 16))+$((left - 8))+$((top - 8))"
    wine_until 600 settled || { echo "screenshot.sh: the window did not reach the screen" >&2; exit 1; }
    convert "$work/cut.ppm" -strip -define png:compression-level=9 "$out"
    touch "$work/done"
    wait "$program" || true
    ;;
esac

# The picture is taken: the programs end without asking.
[ -z "$wine_program_pid" ] || { wineserver -k >/dev/null 2>&1; wine_wait; }
echo "$out"
