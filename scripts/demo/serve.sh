# Sourced by the scripts that show the client the demo shop (run.sh, screenshot.sh).
# demo_serve FOLDER [VERSION]: serves the shop page, its voice prompt (made in FOLDER)
# and the update check's answer (VERSION, default the client's own: no update) from a
# loopback server, and sends the programs' HTTP there through http_proxy, so the client
# reaches it under whatever hosts it was built with. Sets demo_port; the server's pid
# joins wine_background_pids, which the exit trap of wine-env.sh ends.
demo_serve() {
  local dir=$1 here _
  here=$(dirname "${BASH_SOURCE[0]}")
  # The new-order prompt: a two-note chime.
  sox -q -n -r 22050 -c 1 -b 16 "$dir/prompt.wav" synth 0.2 sine 988 vol 0.4 : synth 0.4 sine 1319 vol 0.4 fade 0 0.4 0.3
  lame --quiet -b 64 --resample 22.05 "$dir/prompt.wav" "$dir/prompt.mp3"
  rm -f "$dir/port"
  python3 "$here/server.py" "$here/shop.html" "$dir/port" "${2:-4.0}" "$dir/prompt.mp3" &
  wine_background_pids+=($!)
  for _ in $(seq 100); do [ -s "$dir/port" ] && break; sleep 0.1; done
  [ -s "$dir/port" ] || { echo "the demo server did not start" >&2; return 1; }
  demo_port=$(cat "$dir/port")
  export http_proxy="http://127.0.0.1:$demo_port" no_proxy=127.0.0.1
}
