#!/usr/bin/env bash
# The tray program end to end: a virtual X display, trayer as the tray, the real program
# with a settings file beside a copy of it, and a page on a loopback server. A right
# click opens the menu; "ネット取得" offers the URL another program put on the Clipboard
# and lists the page and a refused URL; choosing the Clipboard's URL or the listed page
# puts the folded text on the Clipboard, with the page's HTML beside it as text/html, the
# refused URL the failure text alone and a balloon beside the icon that says why; "終了" (and after a new start, SIGTERM) leaves no icon
# and no process. Saves screenshots of the open menu and of the balloon. Every wait is
# bounded.
# Usage: tray_menu.sh PAGELIFT PAGELIFT_CLI PAGE_SERVER OUTPUT_PNG [NOTICE_PNG]
set -euo pipefail
program=$1
cli=$2
page_server=$3
output=$4
notice_output=${5:-}
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
"$cli" text --html --form readable --url "$url" "$work/page.html" >"$work/expected.html"

# The program finds its settings beside itself: code page 932, CR LF.
cp "$program" "$work/pagelift"
{
  printf '[Setting]\r\nCODE=%s\r\nMAXCHAR=20\r\nPROXY=\r\nTEXTFORM=%s\r\nWITHHTML=1\r\n' \
    "$(printf '自動判定' | iconv -f UTF-8 -t CP932)" "$(printf '読みやすく' | iconv -f UTF-8 -t CP932)"
  printf 'URL1=%s\r\nURL2=http://127.0.0.1:1/refused\r\nURL3=NONE\r\n' "$url"
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

clipboard_is_expected() {
  timeout 2 xclip -o -selection clipboard >"$work/clipboard.txt" 2>/dev/null &&
    cmp -s "$work/clipboard.txt" "$work/expected.txt"
}
expect_page() {
  wait_for 10 clipboard_is_expected || {
    echo "expected:"; od -c "$work/expected.txt"
    echo "Clipboard:"; od -c "$work/clipboard.txt"
    fail "$1 did not put the folded page on the Clipboard"
  }
  echo "$1 put the folded page on the Clipboard, $(wc -c <"$work/expected.txt") bytes"
}
# fetch_entry KEYS...: the keyboard walks to "ネット取得" and opens it, where the first
# entry that may be chosen is marked; KEYS then choose.
fetch_entry() {
  open_menu
  menu=$(menus)
  xdotool key Down Down Right
  wait_for 5 menus_open 2 || fail "\"ネット取得\" did not open"
  submenu=$(menus | grep -vx "$menu")
  sleep 0.2  # the mark is drawn
  [ $# -eq 0 ] || xdotool key "$@"
}

# Another program's URL on the Clipboard: the submenu's first entry offers it.
printf '%s\n' "$url" | xclip -selection clipboard
fetch_entry
import -window root "$output"
echo "$output: the open menu, with the Clipboard's URL"
xdotool key Return
expect_page "the Clipboard's URL"
# One owner offers both, as a program that pastes asks for them.
targets=$(timeout 2 xclip -o -selection clipboard -t TARGETS 2>/dev/null || true)
for target in UTF8_STRING 'text/plain;charset=utf-8' text/html; do
  grep -qxF "$target" <<<"$targets" || fail "the Clipboard does not offer $target: $targets"
done
timeout 2 xclip -o -selection clipboard -t text/html 2>/dev/null | cmp -s - "$work/expected.html" ||
  fail "text/html is not what pagelift-cli text --html makes of the page"
timeout 2 xclip -o -selection clipboard -t 'text/plain;charset=utf-8' 2>/dev/null |
  cmp -s - "$work/expected.txt" || fail "text/plain;charset=utf-8 is not the page's text"
echo "beside it text/html, $(wc -c <"$work/expected.html") bytes, as pagelift-cli text --html makes it"

# Text that is no URL: the first entry is greyed, and the first URL of the list marked.
echo "before" | xclip -selection clipboard
fetch_entry Return
expect_page "the listed URL"

# The refused URL: the failure text, and a balloon beside the icon that says why.
windows_before=$(menus | grep -c . || true)
fetch_entry Down Return
printf 'ネット取得に失敗しました。' >"$work/failure.txt"
clipboard_is_failure() {
  timeout 2 xclip -o -selection clipboard 2>/dev/null | cmp -s - "$work/failure.txt"
}
wait_for 10 clipboard_is_failure || fail "the refused URL did not leave the failure text"
! timeout 2 xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -qx text/html ||
  fail "the failure text left the last page's HTML on the Clipboard"
balloon_shown() { [ "$(menus | grep -c . || true)" -gt "$windows_before" ]; }
wait_for 10 balloon_shown || fail "no balloon told of the failure"
balloon=$(menus | tail -n1)
echo "a balloon ($(xwininfo -id "$balloon" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')) told of the failure"
if [ -n "$notice_output" ]; then
  sleep 0.3  # drawn
  import -window root "$notice_output"
  echo "$notice_output: the balloon"
fi

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
