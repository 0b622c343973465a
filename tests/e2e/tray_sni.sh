#!/usr/bin/env bash
# The tray program as a StatusNotifierItem, as KDE, Xfce, LXQt and GNOME with the
# AppIndicator extension show it: a virtual X display with no XEmbed tray, a session bus
# of its own with our watcher and host (sni.py), and a page on a loopback server. The
# host reads the menu over com.canonical.dbusmenu, clicks a URL, sees the busy picture
# and the idle one again, and ends the program with "終了"; a left and a middle click
# open nothing and fetch nothing. Every wait is bounded.
# Usage: tray_sni.sh PAGELIFT PAGELIFT_CLI PAGE_SERVER SAMPLE_PAGE
set -euo pipefail
program=$1
cli=$2
page_server=$3
page=$4
source "$(dirname "$0")/tray_session.sh"
unset WAYLAND_DISPLAY

start_page_server "$page_server" "$page"
# URLs hold what dbusmenu and Qt's menus read as marks of an entry's key: "&", "_", "__"
# and a trailing "_", with and without a "_" before the first "&".
page_url="$server/held/${page##*/}?x=1&news_2024=__2_"
refused_url="http://127.0.0.1:1/news_2024?a=1&b=2_"
"$cli" text --width 30 --form readable "$page" >"$work/expected.txt"

cp "$program" "$work/pagelift"
printf '[Setting]\r\nMAXCHAR=30\r\nTEXTFORM=%s\r\nURL1=%s\r\nURL2=%s\r\nURL3=NONE\r\n' \
  "$(printf '読みやすく' | iconv -f UTF-8 -t CP932)" "$page_url" "$refused_url" >"$work/pagelift.ini"

start_display 640x480 || fail "Xvfb did not start"
start_status_notifier_host || fail "the session bus or the watcher did not start"
"$work/pagelift" >"$work/pagelift.log" 2>&1 &
app=$!
pids+=("$app")
wait_for 10 item_registered || fail "the program registered no StatusNotifierItem"

printf '%s\n' 設定... ネット取得 "  クリップボードにURLがありません" "  $page_url" "  $refused_url" 終了 \
  >"$work/menu.expected"
"$sni" menu >"$work/menu.txt"
diff "$work/menu.expected" "$work/menu.txt" || fail "the menu is not 設定..., ネット取得 with the URLs, 終了"
echo "the menu as dbusmenu sends it, and as a host shows it:"
"$sni" labels

windows() { xdotool search --onlyvisible --class '^Pagelift$' 2>/dev/null | grep -c . || true; }
clipboard_is() {
  timeout 2 xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null | cmp -s - "$1"
}

# A left and a middle click: the program handles D-Bus calls in order, so once the menu
# has been read again both clicks have been handled.
echo "before" >"$work/before.txt"
xclip -selection clipboard <"$work/before.txt"
"$sni" activate
"$sni" secondary
"$sni" menu >/dev/null
sleep 0.3 # a window would be mapped by now
[ "$(windows)" -eq 0 ] || fail "a left or middle click opened a window"
[ ! -s "$work/requests.log" ] || fail "a left or middle click fetched $(cat "$work/requests.log")"
clipboard_is "$work/before.txt" || fail "a left or middle click changed the Clipboard"

# A URL: the busy picture while the server holds the page, then the text and the idle
# picture.
icon() { "$sni" icon; }
idle=$(icon)
"$sni" click ネット取得 "$page_url"
icon_is_not() { [ "$(icon)" != "$1" ]; }
wait_for 10 icon_is_not "$idle" || fail "the icon did not turn busy"
busy=$(icon)
curl -s "$server/release" >/dev/null
wait_for 10 clipboard_is "$work/expected.txt" || fail "the Clipboard does not hold the page's text"
icon_is() { [ "$(icon)" = "$1" ]; }
wait_for 10 icon_is "$idle" || fail "the icon stayed busy"
echo "the page's text is on the Clipboard, $(wc -c <"$work/expected.txt") bytes; icon $idle, busy $busy"

# The URL another program put on the Clipboard: the submenu reads it as it opens.
printf '%s\n' "$page_url" | xclip -selection clipboard
shown_url=$page_url
[ ${#shown_url} -le 60 ] || shown_url="${shown_url:0:60}…"  # a menu shows 60 units of it
"$sni" click ネット取得 "クリップボードのURL: $shown_url"
curl -s "$server/release" >/dev/null
wait_for 10 clipboard_is "$work/expected.txt" ||
  fail "the Clipboard's URL did not bring the page's text to the Clipboard"
echo "the URL on the Clipboard brought the page's text"

printf 'ネット取得に失敗しました。' >"$work/failure.txt"
"$sni" click ネット取得 "$refused_url"
wait_for 10 clipboard_is "$work/failure.txt" || fail "a refused URL did not leave the failure text"
# ... and a notification that names the URL and why.
notice="$(cat "$work/failure.txt")	$refused_url\\n127.0.0.1:1: Connection refused"
told() { grep -qxF "$notice" "$work/notices.txt" 2>/dev/null; }
wait_for 10 told || fail "no notification told of the failure: $(cat "$work/notices.txt" 2>&1)"
echo "the desktop was told: $(cat "$work/notices.txt")"

# "設定..." opens the dialog, which shows that a window would have been seen above.
"$sni" click 設定...
window_shown() { [ "$(windows)" -ge 1 ]; }
wait_for 10 window_shown || fail "\"設定...\" opened no window"

"$sni" click 終了
process_gone() { ! ps -o stat= -p "$app" | grep -qv Z; }
wait_for 5 process_gone || fail "the program did not end after \"終了\""
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status after \"終了\""
item_gone() { ! item_registered; }
wait_for 5 item_gone || fail "the item stayed registered after \"終了\""
echo "\"終了\" ended the program and took its item away"
