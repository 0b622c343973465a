# Sourced by the tray program's end-to-end tests and by bench/tray_figures.sh: a work
# folder that goes at the end with every process started here, bounded waits, a virtual
# X display with trayer as its tray, and a session bus with a StatusNotifierItem host.

work=$(mktemp -d)
pids=()
session_cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap session_cleanup EXIT

# fail MESSAGE: says why the test failed, shows the logs of the work folder and ends it.
fail() {
  echo "FAIL: $*"
  local log
  for log in "$work"/*.log; do
    [ -s "$log" ] && { echo "== ${log##*/}"; cat "$log"; }
  done
  exit 1
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# wait_for SECONDS COMMAND...: runs COMMAND every 5 ms until it succeeds, for SECONDS at
# most. COMMAND is run anew each time, so what it looks at must be inside it, not
# expanded before.
wait_for() {
  local deadline=$(($(now_ms) + $1 * 1000))
  shift
  until "$@"; do
    (($(now_ms) < deadline)) || return 1
    sleep 0.005
  done
}

# start_page_server PAGE_SERVER FILE...: the test page server (tests/e2e/page_server.cpp)
# serving FILEs on loopback, its requests logged in requests.log; sets `server`, its URL.
start_page_server() {
  "$@" >"$work/port" 2>"$work/requests.log" &
  pids+=($!)
  wait_for 10 test -s "$work/port" || fail "the page server did not start"
  server="http://127.0.0.1:$(head -n1 "$work/port")"
}

# start_display WIDTHxHEIGHT: starts Xvfb on a free display; sets DISPLAY. Fails after
# 10 s.
start_display() {
  # Xvfb picks a free display and writes its number to the given descriptor.
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  pids+=($!)
  wait_for 10 test -s "$work/display" || return 1
  export DISPLAY=":$(head -n1 "$work/display")"
}

# start_tray_display WIDTHxHEIGHT: start_display, and trayer along its bottom edge; sets
# `panel`, trayer's window. Fails after 10 s.
start_tray_display() {
  start_display "$1" || return 1
  trayer --edge bottom --align left --widthtype request --height 32 --SetDockType true \
    --transparent false >"$work/trayer.log" 2>&1 &
  pids+=($!)
  wait_for 10 panel_shown || return 1
  panel=$(panel_window)
}
panel_window() { xdotool search --onlyvisible --name '^panel$' 2>/dev/null | head -n1; }
panel_shown() { test -n "$(panel_window)"; }

# The program's icon: its window that trayer has embedded in its panel.
tray_icon() { xwininfo -id "$panel" -tree 2>/dev/null | awk '/"pagelift" "Pagelift"/ {print $1; exit}'; }
icon_shown() { test -n "$(tray_icon)"; }

# The program's windows on the screen other than the icon `icon`: its menus.
menus() { xdotool search --onlyvisible --class '^Pagelift$' 2>/dev/null | grep -vx "$((icon))" || true; }
menu_count() { menus | grep -c . || true; }
# menus_open N: exactly N menus are on the screen.
menus_open() { test "$(menu_count)" -eq "$1"; }

# write_big_page FILE: a page of 50 MiB of Japanese paragraphs.
write_big_page() {
  local paragraph='<p>今日の天気：東京は朝から晴れ、午後は少し雲が広がるでしょう。<b>最高気温</b>は十八度の見込みです。</p>'
  local _
  for _ in $(seq 1000); do echo "$paragraph"; done >"$work/paragraphs"
  {
    echo '<html><body>'
    for _ in $(seq 350); do cat "$work/paragraphs"; done
    echo '</body></html>'
  } >"$1"
  rm "$work/paragraphs"
}

# The tray of a desktop that speaks StatusNotifierItem: tests/e2e/sni.py on a session bus
# of its own.
sni=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/sni.py

# start_status_notifier_host: starts the session bus and the watcher with its host on it,
# and a notification server that writes each notification, its summary and body, as a
# line of $work/notices.txt; sets DBUS_SESSION_BUS_ADDRESS. Fails after 10 s.
start_status_notifier_host() {
  dbus-daemon --session --nofork --print-address=3 3>"$work/bus" 2>"$work/bus.log" &
  pids+=($!)
  wait_for 10 test -s "$work/bus" || return 1
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
  export DBUS_SESSION_BUS_ADDRESS
  "$sni" watcher "$work/notices.txt" >"$work/watcher.log" 2>&1 &
  pids+=($!)
  wait_for 10 watcher_up
}
watcher_up() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher 2>/dev/null |
    grep -q 'boolean true'
}
item_registered() { "$sni" item >/dev/null 2>&1; }
