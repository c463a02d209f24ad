#!/usr/bin/env bash
# Shows a window on a display of its own and saves it as a PNG (the test windows with a
# margin of the desktop round their corners): screenshot.sh WHAT [OUT.png] [BUILD_DIR].
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
# The test windows stay up while a file "ready" is in the folder that TALLYHIVE_DEMO_HOLD
# names, until the script puts a file "done" there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
what=${1:?usage: screenshot.sh client|error-page|exit-confirmation|settings|tray-menu|update|uninstaller|demo-frame|demo-window|frame-window [OUT.png] [BUILD_DIR]}
build=${3:-$top/build}

# What: default picture, program, gtest filter (empty: one of the programs), crop W x H + X + Y.
case "$what" in
  client)            out=docs/client-window.png         exe=client/tallyhive.exe    filter=""; crop=1200x770+0+0 ;;
  error-page)        out=docs/client-error-page.png     exe=client/tallyhive.exe    filter=""; crop=1200x770+0+0 ;;
  exit-confirmation) out=docs/client-exit-confirmation.png exe=client/tallyhive.exe filter=""; crop=1200x770+0+0 ;;
  settings)          out=docs/client-settings.png       exe=client/tallyhive.exe    filter=""; crop=1200x770+0+0 ;;
  tray-menu)         out=docs/client-tray-menu.png      exe=client/tallyhive.exe    filter=""; crop=1200x770+0+0 ;;
  update)            out=docs/client-update.png         exe=client/tallyhive.exe    filter=""; crop=450x240+0+0 ;;
  uninstaller)       out=docs/uninstaller.png           exe=uninstall/uninstall.exe filter=""; crop=400x300+0+0 ;;
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
poke=$build/tests/scripted/window_poke.exe

server_pid=""
program=""
scratch_cleanup() {
  touch "$work/done"
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
}
. "$top/scripts/wine-env.sh"
wine_scratch shot "$("$top/scripts/setup.sh" | tail -n 1)"
export TALLYHIVE_TEST_TMP="$work" TALLYHIVE_DEMO_HOLD="$work"

# A shop's start page, as the web application might show it; our engine lays out blocks,
# colours, font sizes and left margins.
shop_page() {
  cat <<'HTML'
<!DOCTYPE html><html><head><meta charset="utf-8"><title>tallyhive</title><style>
body { background-color: #F4F6F8; color: #333333; font-size: 15px; }
.head { background-color: #279AC6; color: #FFFFFF; font-size: 22px; }
.nav { background-color: #E6F3F9; color: #1B6F90; font-size: 16px; }
.title { color: #279AC6; font-size: 18px; margin-left: 24px; }
.row { background-color: #FFFFFF; margin-left: 24px; }
.note { color: #888888; margin-left: 24px; }
</style></head><body>
<div class="head">&nbsp;爱宠之家 · 中山路店</div>
<div class="nav">&nbsp;&nbsp;收银台　　会员　　商品库存　　寄养　　美容预约　　报表</div>
<p>&nbsp;</p>
<div class="title">今日概况</div>
<div class="row">订单 12 笔　　营业额 ¥1,286.00　　新会员 3 位　　寄养中 4 只</div>
<p>&nbsp;</p>
<div class="title">美容预约</div>
<div class="row">10:00　豆豆（泰迪）　洗澡 + 修剪　　王女士 138****2261</div>
<div class="row">11:30　咪咪（英短）　洗澡　　　　　李先生 139****0815</div>
<div class="row">14:00　旺财（柯基）　洗澡 + 驱虫　　陈女士 137****4470</div>
<p>&nbsp;</p>
<div class="title">库存提醒</div>
<div class="row">幼犬粮 2kg　剩 3 袋　　　猫砂 10L　剩 5 袋　　　驱虫滴剂　剩 2 盒</div>
<p>&nbsp;</p>
<div class="note">数据每 5 分钟刷新一次</div>
</body></html>
HTML
}

# Serves file $1 for every GET on a loopback port and sends the programs' HTTP there. The
# update check's POST is told of version $2 (default: the client's own, so no update),
# whose package (any .exe) arrives at 40 % and then trickles.
serve_page() {
  python3 - "$1" "${2:-4.0}" "$work/port" <<'PY' &
import http.server, json, os, sys, time
page = open(sys.argv[1], 'rb').read()
reply = json.dumps({"Result": 0, "Data": {"version_id": sys.argv[2],
                    "downloadlink": "http://update.tallyhive.example/tallyhive-setup.exe"}}).encode()
class Page(http.server.BaseHTTPRequestHandler):
    def answer(self, body, kind, length=None):
        self.send_response(200)
        self.send_header('Content-Type', kind)
        self.send_header('Content-Length', str(length or len(body)))
        self.end_headers()
        self.wfile.write(body)
    def do_GET(self):
        if not self.path.endswith('.exe'):
            return self.answer(page, 'text/html; charset=utf-8')
        self.answer(bytes(4 << 20), 'application/octet-stream', 10 << 20)
        while True:
            time.sleep(1)
            self.wfile.write(bytes(1024))
    def do_POST(self):
        self.rfile.read(int(self.headers.get('Content-Length', 0)))
        self.answer(reply, 'application/json')
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Page)
server.daemon_threads = True
open(sys.argv[3] + '.new', 'w').write(str(server.server_port))
os.rename(sys.argv[3] + '.new', sys.argv[3])
server.serve_forever()
PY
  server_pid=$!
  for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
  export http_proxy="http://127.0.0.1:$(cat "$work/port")" no_proxy=127.0.0.1
}

# The X window of the program's window of size W x H.
window_id() {
  xwininfo -root -tree -display "$DISPLAY" 2>/dev/null | grep -a " $1+" | awk '{ print $1; exit }' || true
}

# Starts the client and waits for its main window: once its title bar shows the cream,
# and the loading time-out (3 s) and the page's load have passed.
start_client() {
  wine "$exe" >/dev/null 2>&1 &
  program=$!
  local pixel="" id=""
  for _ in $(seq 900); do
    id=$(window_id 1200x770)
    pixel=""
    [ -n "$id" ] && pixel=$(xwd -id "$id" -display "$DISPLAY" 2>/dev/null | convert xwd:- -format "%[hex:p{600,15}]" info: 2>/dev/null || true)
    [ "${pixel:0:6}" = "FEFAE8" ] && break
    sleep 0.2
  done
  [ "${pixel:0:6}" = "FEFAE8" ] || { echo "screenshot.sh: the client's window did not come up" >&2; exit 1; }
  sleep 5
  main_id=$id
}

mkdir -p "$(dirname "$out")"
case "$what" in
  client | error-page | exit-confirmation | settings | tray-menu | update)
    # Wine draws the client's windows off the root window (redirected), so a picture of
    # the main window alone is taken of the window itself. Windows of their own over it
    # are taken as Wine shows the main window's area, read from the screen inside Wine.
    if [ "$what" != error-page ]; then
      shop_page >"$work/page.html"
      serve_page "$work/page.html" "$([ "$what" = update ] && echo 4.1 || echo 4.0)"
    fi
    front=""
    case "$what" in
      exit-confirmation) front=MessagePanleFrame ;;
      settings) front=SettingFrame ;;
      tray-menu) front=HiveMenuWnd ;;
      update) front=DownloadUpdateFrame ;;
    esac
    if [ "$what" = update ]; then
      # The update window replaces the main window as soon as the check has answered.
      wine "$exe" >/dev/null 2>&1 &
      program=$!
    else
      start_client
    fi
    case "$what" in
      exit-confirmation) wine "$poke" TallyHiveMainFrameWnd post 0x10 0 0 ;;          # WM_CLOSE
      settings) wine "$poke" TallyHiveMainFrameWnd click 1062 15 ;;                   # the settings button
      tray-menu) wine "$poke" TallyHiveMainFrameWnd post 0x401 0 0x205 ;;            # right click on the icon
    esac
    if [ -z "$front" ]; then
      xwd -id "$main_id" -display "$DISPLAY" | convert xwd:- -crop "$crop" +repage -strip -define png:compression-level=9 "$out"
    else
      wine "$poke" "$front" wait || { echo "screenshot.sh: the $what window did not show" >&2; exit 1; }
      sleep 3
      shown=TallyHiveMainFrameWnd
      [ "$what" = update ] && shown=DownloadUpdateFrame
      wine "$poke" "$shown" grab "Z:${work//\//\\}\\shown.ppm"
      convert "$work/shown.ppm" -crop "$crop" +repage -strip -define png:compression-level=9 "$out"
    fi
    ;;
  uninstaller)
    . "$top/scripts/fake-install.sh"
    fake_install "$build"
    (cd "$install" && wine uninstall.exe >/dev/null 2>&1) &
    program=$!
    wine "$poke" UnInstall wait || { echo "screenshot.sh: the uninstaller's window did not come up" >&2; exit 1; }
    sleep 3
    id=$(window_id 400x300)
    xwd -id "$id" -display "$DISPLAY" | convert xwd:- -crop "$crop" +repage -strip -define png:compression-level=9 "$out"
    ;;
  *)
    (cd "$(dirname "$exe")" && wine "$exe" --gtest_filter="$filter" >/dev/null 2>&1) &
    program=$!
    for _ in $(seq 1800); do [ -e "$work/ready" ] && break; sleep 0.1; done
    [ -e "$work/ready" ] || { echo "screenshot.sh: the window did not come up" >&2; exit 1; }
    xwd -root -display "$DISPLAY" | convert xwd:- -crop "$crop" +repage -strip -define png:compression-level=9 "$out"
    touch "$work/done"
    ;;
esac

[ -n "$filter" ] || WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
wait "$program" 2>/dev/null || true
program=""
echo "$out"
