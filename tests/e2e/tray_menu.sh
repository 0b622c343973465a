#!/usr/bin/env bash
# The tray program end to end: a virtual X display, trayer as the tray, the real program
# with a settings file beside a copy of it, and a page on a loopback server. A right
# click opens the menu, "ネット取得" lists the page, choosing it puts the folded text on
# the Clipboard, and "終了" leaves no icon and no process. Saves a screenshot of the open
# menu. Every wait is bounded.
# Usage: tray_menu.sh PAGELIFT PAGE_SERVER OUTPUT_PNG
set -euo pipefail
program=$1
page_server=$2
output=$3
work=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  local log
  for log in "$work"/*.log; do
    [ -s "$log" ] && { echo "== ${log##*/}"; cat "$log"; }
  done
  exit 1
}

# wait_for SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds. COMMAND is
# run anew each time, so what it looks at must be inside it, not expanded before.
wait_for() {
  local tries=$(($1 * 10)) i
  shift
  for ((i = 0; i < tries; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# The page, and the text the Clipboard must then hold: folded at 20 columns (ten wide
# characters), CR LF after every line.
cat >"$work/page.html" <<'EOF'
<html><head><title>試験のページ</title></head>
<body><h1>見出し</h1>
<p>この段落は二十桁で折り返されるはずの、長い日本語の文です。</p>
<p>二つ目の段落。<br>改行の後。</p>
</body></html>
EOF
printf '%s\r\n' 試験のページ 見出しこの段落は二十 桁で折り返されるはず の、長い日本語の文で \
  す。二つ目の段落。 改行の後。 >"$work/expected.txt"

"$page_server" "$work/page.html" >"$work/port" 2>"$work/server.log" &
pids+=($!)
wait_for 10 test -s "$work/port" || fail "the page server did not start"
url="http://127.0.0.1:$(head -n1 "$work/port")/page.html"

# The program finds its settings beside itself: code page 932, CR LF.
cp "$program" "$work/pagelift"
{
  printf '[Setting]\r\nCODE=%s\r\nMAXCHAR=20\r\nPROXY=\r\n' "$(printf '自動判定' | iconv -f UTF-8 -t CP932)"
  printf 'URL1=%s\r\nURL2=NONE\r\n' "$url"
} >"$work/pagelift.ini"

# Xvfb picks a free display and writes its number to the given descriptor.
Xvfb -displayfd 3 -screen 0 480x320x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

trayer --edge bottom --align left --widthtype request --height 32 --SetDockType true \
  --transparent false >"$work/trayer.log" 2>&1 &
pids+=($!)
panel_window() { xdotool search --onlyvisible --name '^panel$' 2>/dev/null | head -n1; }
panel_shown() { test -n "$(panel_window)"; }
wait_for 10 panel_shown || fail "trayer did not show its panel"
panel=$(panel_window)

# The icon is the program's window that trayer has embedded in its panel.
tray_icon() { xwininfo -id "$panel" -tree 2>/dev/null | awk '/"pagelift" "Pagelift"/ {print $1; exit}'; }
# The program's windows on the screen other than the icon: its menus.
menus() { xdotool search --onlyvisible --class '^Pagelift$' 2>/dev/null | grep -vx "$((icon))" || true; }
# menus_open N: exactly N menus are on the screen.
menus_open() { test "$(menus | grep -c . || true)" -eq "$1"; }

QT_QPA_PLATFORM=xcb "$work/pagelift" >"$work/pagelift.log" 2>&1 &
app=$!
pids+=("$app")
icon_shown() { test -n "$(tray_icon)"; }
wait_for 10 icon_shown || fail "no icon in the tray"
icon=$(tray_icon)

# Neither a left click, a double click nor a middle click opens anything.
xdotool mousemove --window "$icon" 8 8 click 1 sleep 0.3 click --repeat 2 1 sleep 0.3 click 2
sleep 0.5
menus_open 0 || fail "a click other than the right button opened a window"

# The right button opens the menu; the keyboard walks to "ネット取得" and opens it.
xdotool mousemove --window "$icon" 8 8 click 3
wait_for 5 menus_open 1 || fail "the right click opened no menu"
menu=$(menus)
xdotool key Down Down Right
wait_for 5 menus_open 2 || fail "\"ネット取得\" did not open"
submenu=$(menus | grep -vx "$menu")
sleep 0.2  # the highlight is drawn
import -window root "$output"
echo "$output: the open menu"

# The submenu holds the one URL: click it.
eval "$(xdotool getwindowgeometry --shell "$submenu")"
xdotool mousemove --window "$submenu" $((WIDTH / 2)) $((HEIGHT / 2)) click 1
clipboard_is_expected() {
  timeout 2 xclip -o -selection clipboard >"$work/clipboard.txt" 2>/dev/null &&
    cmp -s "$work/clipboard.txt" "$work/expected.txt"
}
wait_for 10 clipboard_is_expected || {
  echo "expected:"; od -c "$work/expected.txt"
  echo "Clipboard:"; od -c "$work/clipboard.txt"
  fail "the Clipboard does not hold the folded page"
}
echo "the Clipboard holds the folded page, $(wc -c <"$work/expected.txt") bytes"

# "終了" is the last entry: the icon goes and the program ends.
xdotool mousemove --window "$icon" 8 8 click 3
wait_for 5 menus_open 1 || fail "the right click opened no menu"
xdotool key Up Return
process_gone() { ! ps -o stat= -p "$app" | grep -qv Z; }
wait_for 5 process_gone || fail "the program did not end"
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
[ -z "$(tray_icon)" ] || fail "an icon was left in the tray"
echo "\"終了\" left no icon and no process"
