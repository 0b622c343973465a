#!/usr/bin/env bash
# The tray program on a Wayland compositor, headless, as an ordinary user: sway, KWin or
# Mutter, with a session bus and our StatusNotifierItem host (sni.py) as its tray. A page
# chosen through dbusmenu must be readable on the Clipboard by another program, byte for
# byte what pagelift-cli makes of it, with its HTML beside it as text/html, and so must the
# page of a URL another program put on the Clipboard; a refused URL leaves the failure text
# and no HTML, which stays after the program ends (on sway and KWin a new start then runs
# beside the process that serves it, and answers a second start); on sway a page of 50 MiB
# goes through whole. Prints how long each text took from the click to being readable.
# Every wait is bounded.
# Usage: wayland_clipboard.sh sway|kwin|mutter PAGELIFT PAGELIFT_CLI PAGE_SERVER SAMPLE_PAGE
set -euo pipefail
if [ "$(id -u)" -eq 0 ]; then
  # XWayland keeps its socket there, and an ordinary user could not make the folder.
  [ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix
  exec "$(dirname "$0")/../faults/as_ordinary_user.sh" "$0" "$@"
fi
compositor=$1
program=$2
cli=$3
page_server=$4
page=$5
source "$(dirname "$0")/tray_session.sh"
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY QT_QPA_PLATFORM
export HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

start_status_notifier_host || fail "the session bus or the watcher did not start"

# Each compositor's name for its Wayland socket, and on Mutter its X11 display.
wayland_socket() { find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name 'wayland-*' -printf '%f\n' | head -n1; }
socket_made() { test -n "$(wayland_socket)"; }
case $compositor in
  sway)
    name=sway
    printf 'xwayland disable\n' >"$work/sway.conf"
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 sway -c "$work/sway.conf" \
      >"$work/compositor.log" 2>&1 &
    ;;
  kwin)
    name=KWin
    # The installed binary carries a file capability that a container may refuse; a copy
    # has none. Its name must stay: KWin's platform plugin checks it.
    mkdir "$work/bin"
    cp "$(command -v kwin_wayland)" "$work/bin/kwin_wayland"
    "$work/bin/kwin_wayland" --virtual --socket wayland-pagelift >"$work/compositor.log" 2>&1 &
    ;;
  mutter)
    name=Mutter
    mutter --headless --wayland --virtual-monitor 1024x768 --wayland-display wayland-pagelift \
      >"$work/compositor.log" 2>&1 &
    ;;
  *) fail "no such compositor: $compositor" ;;
esac
pids+=($!)
wait_for 20 socket_made || fail "$name made no Wayland socket"
WAYLAND_DISPLAY=$(wayland_socket)
export WAYLAND_DISPLAY
if [ "$compositor" = mutter ]; then
  x_display_named() { grep -q 'Using public X11 display' "$work/compositor.log"; }
  wait_for 20 x_display_named || fail "Mutter started no XWayland"
  DISPLAY=$(grep -o 'Using public X11 display :[0-9]*' "$work/compositor.log" | grep -o ':[0-9]*')
  XAUTHORITY=$(compgen -G "$XDG_RUNTIME_DIR/.mutter-Xwaylandauth.*" | head -n1)
  export DISPLAY XAUTHORITY
fi

# read_clipboard MIME: another program's look at the Clipboard. Mutter offers
# wl-paste no data-control and no keyboard, so there its own remote desktop API reads.
read_clipboard() {
  if [ "$compositor" = mutter ]; then
    timeout 10 "$sni" mutter-read "$1" 2>/dev/null
  else
    timeout 10 wl-paste --no-newline --type "$1" 2>/dev/null
  fi
}
clipboard_is() { read_clipboard "text/plain;charset=utf-8" | cmp -s - "$1"; }

big=$work/big.html
if [ "$compositor" = sway ]; then
  write_big_page "$big"
  "$cli" text --width 100 --form readable "$big" >"$work/big.txt"
else
  printf '<p>-</p>' >"$big"
fi
start_page_server "$page_server" "$page" "$big"
# URLs with "&", "_", "__" and a trailing "_", which the menu must show as typed.
page_url="$server/${page##*/}?x=1&news_2024=__2_"
big_url="$server/big.html"
refused_url="http://127.0.0.1:1/news_2024?a=1&b=2_"
"$cli" text --width 100 --form readable "$page" >"$work/expected.txt"
"$cli" text --html --form readable --url "$page_url" "$page" >"$work/expected.html"
printf 'ネット取得に失敗しました。' >"$work/failure.txt"

cp "$program" "$work/pagelift"
# It offers the text and its HTML from beside it.
cp "$(dirname "$program")/pagelift-wl-clipboard" "$work/"
printf '[Setting]\r\nTEXTFORM=%s\r\nWITHHTML=1\r\nURL1=%s\r\nURL2=%s\r\nURL3=%s\r\nURL4=NONE\r\n' \
  "$(printf '読みやすく' | iconv -f UTF-8 -t CP932)" "$page_url" "$refused_url" "$big_url" \
  >"$work/pagelift.ini"
"$work/pagelift" >"$work/pagelift.log" 2>&1 &
app=$!
pids+=("$app")
wait_for 20 item_registered || fail "the program registered no StatusNotifierItem on $name"
"$sni" labels | sed "s/^/$name menu: /"

# choose URL EXPECTED WHAT: clicks URL in "ネット取得" and waits for the Clipboard to hold
# the file EXPECTED; says how long that took from the click.
choose() {
  "$sni" click ネット取得 "$1"
  local clicked
  clicked=$(now_ms)
  wait_for 60 clipboard_is "$2" ||
    fail "on $name a program in the background could not put $3 on the Clipboard" \
      "($(read_clipboard "text/plain;charset=utf-8" | head -c 60 | tr '\n' ' '))"
  echo "$name: $3, $(stat -c %s "$2") bytes, read back byte for byte $(($(now_ms) - clicked)) ms after the click"
}

choose "$page_url" "$work/expected.txt" "the page's text"
read_clipboard text/html | cmp -s - "$work/expected.html" ||
  fail "on $name text/html is not what pagelift-cli text --html makes of the page"
echo "$name: beside it text/html, $(stat -c %s "$work/expected.html") bytes, as pagelift-cli text --html makes it"
# A URL another program put on the Clipboard: the submenu reads it as it opens, through
# wl-paste (or XWayland's selection on Mutter), and its first entry fetches it.
write_clipboard() {
  if [ "$compositor" = mutter ]; then
    printf '%s\n' "$1" | timeout 10 xclip -selection clipboard
  else
    timeout 10 wl-copy -- "$1"
  fi
}
write_clipboard "$page_url"
shown_url=$page_url
[ ${#shown_url} -le 60 ] || shown_url="${shown_url:0:60}…"  # a menu shows 60 units of it
choose "クリップボードのURL: $shown_url" "$work/expected.txt" "the page of the Clipboard's URL"
# The text is offered as plain text without a charset too. Through XWayland, Mutter maps that to
# the X11 STRING, which is Latin-1.
if [ "$compositor" != mutter ]; then
  read_clipboard text/plain | cmp -s - "$work/expected.txt" ||
    fail "on $name the text is not offered whole as text/plain"
fi
if [ "$compositor" = sway ]; then
  choose "$big_url" "$work/big.txt" "the text of a page of 50 MiB"
fi
choose "$refused_url" "$work/failure.txt" "the failure text"
[ -z "$(read_clipboard text/html | head -c 1)" ] ||
  fail "on $name the failure text left the last page's HTML on the Clipboard"

"$sni" click 終了
process_gone() { ! ps -o stat= -p "$app" | grep -qv Z; }
wait_for 10 process_gone || fail "the program did not end after \"終了\" on $name"
# pagelift-wl-clipboard goes on serving the text; Mutter keeps a copy of it (of 4 MiB at most).
clipboard_is "$work/failure.txt" || fail "on $name the text did not stay after the program ended"
echo "$name: the text stayed on the Clipboard after the program ended"

# One program per settings file on Wayland too: a new start, while the last one's server
# still serves the text, is the program for its settings file and answers a second start.
if [ "$compositor" != mutter ]; then
  "$work/pagelift" >>"$work/pagelift.log" 2>&1 &
  app=$!
  pids+=("$app")
  # It listens once it can answer.
  listening() { test -n "$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name 'Pagelift-*')"; }
  wait_for 20 listening || fail "on $name, with its server running, a new start did not run"
  status=0
  timeout 10 "$work/pagelift" >>"$work/second.log" 2>&1 || status=$?
  [ "$status" -eq 0 ] && ! process_gone ||
    fail "on $name, with its server running, a second start ended with status $status"
  echo "$name: with the last one's server running, a new start runs and answers a second start"
fi
