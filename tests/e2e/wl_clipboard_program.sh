#!/usr/bin/env bash
# pagelift-wl-clipboard on headless sway as an ordinary user, its Clipboard read by another
# program (wl-paste): the text and the HTML of one source come back byte for byte after the
# caller has ended, from a server that runs by itself; a text of 50 MiB read slowly keeps
# neither a read of the HTML waiting nor the server from ending once another program has
# set the Clipboard; --clear and an empty text; the server ends when the compositor goes.
# Failures end at once with one line: no display, a display that does not exist or hangs
# up, an unreadable HTML descriptor, Mutter (no data control). Prints how long the reads
# took. Every wait is bounded.
# Usage: wl_clipboard_program.sh PAGELIFT_WL_CLIPBOARD
set -euo pipefail
if [ "$(id -u)" -eq 0 ]; then
  exec "$(dirname "$0")/../faults/as_ordinary_user.sh" "$0" "$@"
fi
source "$(dirname "$0")/tray_session.sh"
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY
export HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A copy of its own, so that its servers are told from any other process by their program.
program=$work/pagelift-wl-clipboard
cp "$1" "$program"

# Mutter, which takes a second to start, starts first and is asked last; it needs a bus.
dbus-daemon --session --nofork --print-address=3 3>"$work/bus" 2>"$work/bus.log" &
pids+=($!)
wait_for 10 test -s "$work/bus" || fail "the session bus did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus") \
  mutter --headless --wayland --no-x11 --virtual-monitor 640x480 \
  --wayland-display wayland-mutter >"$work/mutter.log" 2>&1 &
pids+=($!)
printf 'xwayland disable\n' >"$work/sway.conf"
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
sway=$!
pids+=("$sway")
sway_socket() { find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name 'wayland-[0-9]*' -printf '%f\n' | head -n1; }
socket_made() { test -n "$(sway_socket)"; }
wait_for 20 socket_made || fail "sway made no Wayland socket"
WAYLAND_DISPLAY=$(sway_socket)
export WAYLAND_DISPLAY

# servers: the processes of the program that serve a Clipboard, one a line. (A test of the
# shell, not readlink: a command started for each process would take a second.)
servers() {
  local process
  for process in /proc/[0-9]*; do
    [ "$process/exe" -ef "$program" ] && echo "${process#/proc/}"
  done
  return 0
}
no_server() { test -z "$(servers)"; }
gone() { ! ps -o stat= -p "$1" | grep -qv Z; }
# A server ends within moments of losing the Clipboard; waits for that stay below the 5 s
# after which it gives up sends that have stalled, so as not to take one for the other.
ending=3
# take_server: sets `server` to the one server there is; fails when there are none or more.
take_server() {
  server=$(servers)
  [ -n "$server" ] && [ "$(wc -l <<<"$server")" -eq 1 ] || fail "not one server but: ${server:-none}"
}
paste() { timeout 5 wl-paste --no-newline --type "$1"; }
# put ARGUMENTS...: the program, which must end within 5 s with status 0.
put() {
  local status=0
  timeout 5 "$program" "$@" 2>"$work/put.log" || status=$?
  [ "$status" -eq 0 ] || fail "pagelift-wl-clipboard $* ended with status $status"
}

text=$work/text.txt
page=$work/page.html
printf '今日の天気\r\n東京は晴れ、ところにより曇り。\r\n\r\n最高気温は十八度の見込みです。\r\n' >"$text"
printf '<!DOCTYPE html>\n<html><body><h1>今日の天気</h1>\n<p>東京は<b>晴れ</b>。</p></body></html>\n' >"$page"

# The text and the HTML, offered by one source, read back after the caller has ended.
put --html-fd 3 <"$text" 3<"$page"
take_server
printf '%s\n' 'text/plain;charset=utf-8' text/plain UTF8_STRING TEXT STRING text/html | sort >"$work/types"
timeout 5 wl-paste --list-types | sort | cmp -s - "$work/types" ||
  fail "the Clipboard offers: $(timeout 5 wl-paste --list-types | tr '\n' ' ')"
started=$(now_ms)
for type in 'text/plain;charset=utf-8' text/plain UTF8_STRING TEXT STRING; do
  paste "$type" | cmp -s - "$text" || fail "the text as $type is not the text given"
done
paste text/html | cmp -s - "$page" || fail "the HTML is not the document given"
echo "the text (as its 5 types) and the HTML read back byte for byte after the caller ended, $(($(now_ms) - started)) ms for the 6 reads"
# The server holds nothing of the caller's: its own session, "/", /dev/null, no input file.
[ "$(ps -o sid= -p "$server" | tr -d ' ')" = "$server" ] || fail "the server is in the caller's session"
[ "$(readlink "/proc/$server/cwd")" = / ] || fail "the server holds the caller's folder"
for fd in 0 1 2; do
  [ "$(readlink "/proc/$server/fd/$fd")" = /dev/null ] ||
    fail "the server's descriptor $fd is $(readlink "/proc/$server/fd/$fd"), not /dev/null"
done
if find "/proc/$server/fd" -lname "$work/*" | grep -q .; then
  fail "the server holds the caller's files: $(find "/proc/$server/fd" -lname "$work/*" -printf '%l ')"
fi
echo "the server runs in a session of its own, in /, its standard files /dev/null"

# Failures end at once with one line on standard error; the Clipboard stays as it was.
# fails_with WHAT PATTERN COMMAND...: COMMAND ends within 5 s with status 1 and one line
# that matches PATTERN.
fails_with() {
  local what=$1 pattern=$2 status=0
  shift 2
  timeout 5 "$@" >/dev/null 2>"$work/error" || status=$?
  [ "$status" -eq 1 ] || fail "$what: status $status, not 1 ($(cat "$work/error"))"
  [ "$(wc -l <"$work/error")" -eq 1 ] && grep -q "^pagelift-wl-clipboard: .*$pattern" "$work/error" ||
    fail "$what: not one line of \"$pattern\": $(cat "$work/error")"
  echo "$what: $(cat "$work/error")"
}
hang_up=$XDG_RUNTIME_DIR/wayland-hangs-up
python3 -c '
import socket, sys
listener = socket.socket(socket.AF_UNIX)
listener.bind(sys.argv[1])
listener.listen()
while True:
    listener.accept()[0].close()' "$hang_up" 2>"$work/hang_up.log" &
pids+=($!)
wait_for 10 test -S "$hang_up" || fail "the display that hangs up did not start"
# Not the default wayland-0 either, which may be another session's (or this sway).
fails_with "without WAYLAND_DISPLAY" "WAYLAND_DISPLAY is not set" \
  env -u WAYLAND_DISPLAY "$program" <"$text"
fails_with "with a display that does not exist" "wayland-none" \
  env WAYLAND_DISPLAY=wayland-none "$program" <"$text"
fails_with "with a display that hangs up" "lost the connection" \
  env WAYLAND_DISPLAY="${hang_up##*/}" "$program" <"$text"
fails_with "with an HTML descriptor that is not open" "descriptor 7" \
  "$program" --html-fd 7 <"$text" 7<&-
fails_with "with an HTML descriptor of a folder" "descriptor 7: Is a directory" \
  "$program" --html-fd 7 <"$text" 7</
paste text/html | cmp -s - "$page" && [ "$(servers)" = "$server" ] ||
  fail "a failure changed the Clipboard"

# 50 MiB of text, read slowly: a read of the HTML meanwhile answers at once, and after
# another program has set the Clipboard the slow read still gets all of it, then the
# server ends.
big=$work/big.txt
yes "$(printf '長い文章の一行です。改行は CR LF。\r')" | head -c $((50 * 1024 * 1024)) >"$big" || true
started=$(now_ms)
put --html-fd 3 <"$big" 3<"$page"
echo "50 MiB of text and the HTML put on the Clipboard in $(($(now_ms) - started)) ms"
wait_for $ending gone "$server" || fail "the server of the last Clipboard did not end when another took it"
take_server
reading=$(now_ms)
(
  timeout 20 wl-paste --no-newline --type 'text/plain;charset=utf-8' |
    (sleep 2 && cat) >"$work/big.out"
  now_ms >"$work/big.done"
) &
pids+=($!)
# The slow read is under way once the server holds its pipe, which it cannot fill.
sending() { find "/proc/$server/fd" -lname 'pipe:*' | grep -q .; }
wait_for 5 sending || fail "the server got no request for the big text"
started=$(now_ms)
paste text/html | cmp -s - "$page" || fail "during a slow read the HTML is not the document given"
took=$(($(now_ms) - started))
[ "$took" -lt 1000 ] || fail "during a slow read of the big text a read of the HTML took $took ms"
echo "during a slow read of the big text a read of the HTML took $took ms"
timeout 5 wl-copy other </dev/null >/dev/null 2>&1
[ ! -e "$work/big.done" ] || fail "the slow read ended before wl-copy; the test is too slow to tell"
[ "$(paste text/plain)" = other ] || fail "wl-copy did not take the Clipboard"
wait_for 20 test -s "$work/big.done" || fail "the slow read did not end"
cmp -s "$work/big.out" "$big" ||
  fail "the slow read got $(stat -c %s "$work/big.out") bytes, not the big text's $(stat -c %s "$big")"
echo "the slow read (2 s asleep first) got the 50 MiB whole in $(($(cat "$work/big.done") - reading)) ms, although wl-copy took the Clipboard meanwhile"
wait_for $ending gone "$server" || fail "the server did not end after wl-copy took the Clipboard"
echo "the server ended after wl-copy took the Clipboard and the slow read was done"

# --clear empties the Clipboard; an empty text is a text.
put --html-fd 3 <"$text" 3<"$page"
take_server
put --clear
wait_for $ending gone "$server" || fail "the server did not end when --clear emptied the Clipboard"
if timeout 5 wl-paste --list-types >"$work/types.out" 2>/dev/null; then
  fail "after --clear the Clipboard offers: $(tr '\n' ' ' <"$work/types.out")"
fi
wait_for 5 no_server || fail "--clear left a server: $(servers)"
echo "--clear emptied the Clipboard and ended its server"
put </dev/null
grep -qx text/html <(timeout 5 wl-paste --list-types) && fail "an empty text offers HTML"
paste 'text/plain;charset=utf-8' >"$work/empty.out" || fail "the empty text cannot be read"
[ ! -s "$work/empty.out" ] || fail "the empty text reads as $(head -c 60 "$work/empty.out")"
echo "an empty text reads as empty"

# The server ends quietly when the compositor goes.
take_server
kill "$sway"
wait_for $ending gone "$server" || fail "the server did not end when sway went"
echo "the server ended when sway went"

mutter_made() { test -S "$XDG_RUNTIME_DIR/wayland-mutter"; }
wait_for 20 mutter_made || fail "Mutter made no Wayland socket"
fails_with "on Mutter" "offers no data-control protocol" \
  env WAYLAND_DISPLAY=wayland-mutter "$program" <"$text"
