# Sourced by the scripts that run Wine: wine_env DEPS_PREFIX exports what every Wine
# process of ours runs with.
wine_env() {
  export WINEARCH=win32 WINEDEBUG=-all
  # Mono and Gecko cannot be had here; without this wineboot asks to install them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # The users run Chinese Windows: code page 936.
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  # Present only where 32-bit programs run through qemu (see setup.sh). $LIB is left for
  # the dynamic loader, which picks the 32-bit or 64-bit copy.
  if [ -d "$1/i386-runner/lib" ]; then
    export LD_PRELOAD="$1/i386-runner/\$LIB/noreplace.so${LD_PRELOAD:+ $LD_PRELOAD}"
  fi
}

# wine_boot_prefix PREFIX boots a new Wine prefix for windows shown on a display without
# a window manager (the tests', the screenshots'). Without one, every hide or destroy of
# a visible top-level window waits about 2 s for it to answer; windows Wine does not hand
# to one do not.
wine_boot_prefix() {
  WINEPREFIX=$1 wineboot -i
  WINEPREFIX=$1 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  WINEPREFIX=$1 wineserver -w
}

# wine_session NAME: for the scripts that start a program for the user (run.sh,
# try-uninstall.sh). Uses $DISPLAY or, without one, an Xvfb of its own; boots $WINEPREFIX
# when it is new; on exit ends the prefix's server and the Xvfb. NAME prefixes messages.
wine_session() {
  local name=$1
  xvfb_pid=""
  trap 'set +e; wineserver -k >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null' EXIT
  . "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
  if [ -z "${DISPLAY:-}" ]; then
    start_xvfb /dev/null
    echo "$name: no DISPLAY set, using Xvfb on $DISPLAY" >&2
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "$name: creating the Wine prefix $WINEPREFIX (once)" >&2
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  wine_manage_windows
}

# Wine hands most top-level windows to the display's window manager and leaves their
# maximising to it: on a display without one (an Xvfb of our own, a bare VNC server) a
# maximised window keeps its old size on the screen, and Wine soon takes that size back
# for the window. Without a window manager Wine keeps its windows to itself, as the test
# prefixes always do; with one, it hands them over.
wine_manage_windows() {
  local managed=N
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && managed=Y
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1
}

# Where scripts/test.sh keeps its booted prefixes, taken while HOME is still the user's.
wine_prefix_cache=${XDG_CACHE_HOME:-$HOME/.cache}/tallyhive

# wine_new_prefix PREFIX: a copy of the test runner's booted prefix when there is one
# (booting takes minutes under an emulator), otherwise a freshly booted one.
wine_new_prefix() {
  local template
  template=$(ls -d "$wine_prefix_cache"/prefix-* 2>/dev/null | head -n 1 || true)
  if [ -n "$template" ] && [ -f "$template/system.reg" ]; then
    cp -a "$template" "$1"
  else
    wine_boot_prefix "$1" >/dev/null 2>&1
  fi
}

# wine_scratch NAME DEPS_PREFIX: for the scripts that run programs on a display and in a
# prefix of their own (screenshot.sh, soak.sh). Makes a work folder ($work) in /tmp,
# starts an Xvfb, exports the Wine environment with an empty HOME (the prefix gets no
# links into the user's own folders) and a new prefix there. On exit the caller's
# scratch_cleanup runs when it is defined, then the prefix's server and the Xvfb end
# and the folder goes.
wine_scratch() {
  work=$(mktemp -d "/tmp/tallyhive-$1.XXXXXX")
  xvfb_pid=""
  trap 'set +e
    declare -F scratch_cleanup >/dev/null && scratch_cleanup
    WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"' EXIT
  . "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
  start_xvfb "$work/xvfb.log"
  wine_env "$2"
  export HOME="$work" WINEPREFIX="$work/prefix"
  wine_new_prefix "$WINEPREFIX"
}
