#!/usr/bin/env bash
# The tray program end to end: a virtual X display, trayer as the tray, the real program
# with a settings file beside a copy of it, and a page on a loopback server. A right
# click opens the menu, "ネット取得" lists the page, choosing it puts the folded text on
# the Clipboard, and "終了" (and after a new start, SIGTERM) leaves no icon and no
# process. Saves a screenshot of the open menu. Every wait is bounded.
# Usage: tray_menu.sh PAGELIFT PAGE_SERVER OUTPUT_PNG
set -euo pipefail
program=$1
page_server=$2
output=$3
source "$(dirname "$0")/tray_session.sh"

# The page, and the text the Clipboard must then hold in the readable form: the title,
# the blocks apart, folded at 20 columns (ten wide characters) where a line may break,
# CR LF after every line.
cat >"$work/page.html" <<'EOF'
<html><head><title>試験のページ</title></head>
<body><h1>見出し</h1>
<p>この段落は二十桁で折り返されるはずの、長い日本語の文です。</p>
<p>二つ目の段落。<br>改行の後。</p>
</body></html>
EOF
printf '%s\r\n' 試験のページ '' 見出し '' この段落は二十桁で折 り返されるはずの、長 \
  い日本語の文です。 '' 二つ目の段落。 改行の後。 >"$work/expected.txt"

"$page_server" "$work/page.html" >"$work/port" 2>"$work/server.log" &
pids+=($!)
wait_for 10 test -s "$work/port" || fail "the page server did not start"
url="http://127.0.0.1:$(head -n1 "$work/port")/page.html"

# The program finds its settings beside itself: code page 932, CR LF.
cp "$program" "$work/pagelift"
{
  printf '[Setting]\r\nCODE=%s\r\nMAXCHAR=20\r\nPROXY=\r\nTEXTFORM=%s\r\n' \
    "$(printf '自動判定' | iconv -f UTF-8 -t CP932)" "$(printf '読みやすく' | iconv -f UTF-8 -t CP932)"
  printf 'URL1=%s\r\nURL2=NONE\r\n' "$url"
} >"$work/pagelift.ini"

start_tray_display 480x320 || fail "Xvfb or trayer did not start"

QT_QPA_PLATFORM=xcb "$work/pagelift" >"$work/pagelift.log" 2>&1 &
app=$!
pids+=("$app")
wait_for 10 icon_shown || fail "no icon in the tray"
icon=$(tray_icon)

# Neither a left click, a double click nor a middle click opens anything.
xdotool mousemove --window "$icon" 8 8 click 1 sleep 0.3 click --repeat 2 1 sleep 0.3 click 2
sleep 0.5
menus_open 0 || fail "a click other than the right button opened a window"

# open_menu: a right click on the icon opens the menu. Then a pause, as a hand would
# make: keys that come before the menu has taken the keyboard are lost.
open_menu() {
  xdotool mousemove --window "$icon" 8 8 click 3
  wait_for 5 menus_open 1 || fail "the right click opened no menu"
  sleep 0.3
}

# The keyboard walks to "ネット取得" and opens it.
open_menu
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

# end_expected WHAT: the program ends within 5 s with status 0 and leaves no icon.
end_expected() {
  process_gone() { ! ps -o stat= -p "$app" | grep -qv Z; }
  wait_for 5 process_gone || fail "the program did not end after $1"
  local status=0
  wait "$app" || status=$?
  [ "$status" -eq 0 ] || fail "the program ended with status $status after $1"
  [ -z "$(tray_icon)" ] || fail "an icon was left in the tray after $1"
  echo "$1 left no icon and no process"
}

# "終了" is the last entry.
open_menu
xdotool key Up Return
end_expected '"終了"'

# A kill ends it the same way.
QT_QPA_PLATFORM=xcb "$work/pagelift" >"$work/pagelift.log" 2>&1 &
app=$!
pids+=("$app")
wait_for 10 icon_shown || fail "no icon in the tray after the second start"
kill -TERM "$app"
end_expected SIGTERM
