#!/usr/bin/env bash
# One Pagelift.exe per settings file under Wine, as a user meets it, on a virtual X display
# with trayer as its tray and a window covering the screen: a second start with the same
# settings file ends with status 0 and the running one's dialog comes on top of that window
# and into Windows' foreground (the time to the top is printed); a copy in another folder,
# with its own settings file, runs beside it and answers for its own; a running one that
# does not answer (stopped) makes the second start say so in a message box and end with
# status 1 after 3 s; a program killed with SIGKILL stops neither the next start nor the
# starts after it; five starts at once leave exactly one program. Every wait is bounded.
# Usage: single_instance.sh WINDOWS_BUILD
# The Wine session is its own (the desktop process keeps the display it starts with): the
# test ends any other first, so it runs alone.
set -euo pipefail
windows_build=$1
source "$(dirname "$0")/../tray_session.sh"
export WINEPREFIX=$windows_build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY

end_wine() { wineserver -k >/dev/null 2>&1 || true; }
trap 'end_wine; session_cleanup' EXIT
end_wine

# Two portable folders: a copy of the program in each, its settings beside it.
for copy in a b; do
  mkdir "$work/$copy"
  cp "$windows_build/Pagelift.exe" "$work/$copy/"
  printf '[Setting]\r\nURL1=http://127.0.0.1:1/%s\r\nURL2=NONE\r\n' "$copy" >"$work/$copy/Pagelift.ini"
done

start_tray_display 800x600 || fail "Xvfb or trayer did not start"
xmessage -geometry 800x560+0+0 'a window over the screen' >"$work/xmessage.log" 2>&1 &
pids+=($!)
cover() { xdotool search --onlyvisible --name '^xmessage$' 2>/dev/null | head -n1; }
cover_shown() { test -n "$(cover)"; }
wait_for 10 cover_shown || fail "xmessage did not show its window"

alive() { ps -o stat= -p "$1" 2>/dev/null | grep -qv Z; }
gone() { ! alive "$1"; }
# Each icon trayer docks is a window of its own in the panel, beside one of 1x1.
icon_count() { xwininfo -id "$panel" -children 2>/dev/null | grep -cE '^ *0x.* [0-9]{2,}x[0-9]{2,}\+' || true; }
icons() { test "$(icon_count)" -eq "$1"; }
# dialog PID: the settings dialog of the program PID, when it is on the screen.
dialog() { xdotool search --all --onlyvisible --pid "$1" --name '^Pageliftの設定$' 2>/dev/null | head -n1; }
# on_top PID: its dialog is shown above the covering window (xwininfo lists the root's
# children top first).
on_top() {
  local shown
  shown=$(dialog "$1")
  [ -n "$shown" ] &&
    xwininfo -root -children | awk -v d="$(printf '0x%x' "$shown")" -v c="$(printf '0x%x' "$(cover)")" \
      '$1 == c {cover = NR} $1 == d {dialog = NR} END {exit !(dialog && dialog < cover)}'
}
# foreground COPY: Windows has the dialog of COPY's program in the foreground. (Without a
# window manager Wine leaves the X keyboard focus to the pointer.)
reader=$windows_build/clipboard_reader.exe
foreground() {
  wine "$reader" --foreground 2>/dev/null | tr -d '\r' | grep -qix "Pageliftの設定	.*\\\\$1\\\\Pagelift.exe"
}
# cancel PID: Escape in its dialog is Cancel, and the dialog goes.
cancel() {
  xdotool windowfocus --sync "$(dialog "$1")" key Escape
  no_dialog() { test -z "$(dialog "$1")"; }
  wait_for 5 no_dialog "$1" || fail "Escape did not hide the dialog of $1"
}

# start_first COPY: the program of COPY starts, and stays; sets `first`.
start_first() {
  local icons_before
  icons_before=$(icon_count)
  wine "$work/$1/Pagelift.exe" >>"$work/$1.log" 2>&1 &
  first=$!
  pids+=("$first")
  disown "$first"  # killed on purpose below: no word from bash about it
  wait_for 20 icons $((icons_before + 1)) || fail "$1: no icon in the tray"
  alive "$first" || fail "$1: the program ended"
}

# second_start COPY PID: a later start of COPY ends with status 0 and the dialog of PID
# comes in front; adds the milliseconds from the start to the dialog in front to `times`.
times=()
second_start() {
  local started second status=0
  started=$(now_ms)
  wine "$work/$1/Pagelift.exe" >>"$work/$1-second.log" 2>&1 &
  second=$!
  wait_for 10 on_top "$2" || fail "$1: the second start did not bring the dialog on top"
  times+=($(($(now_ms) - started)))
  wait_for 5 foreground "$1" || fail "$1: the dialog is not in the foreground: $(wine "$reader" --foreground)"
  wait_for 10 gone "$second" || fail "$1: the second start did not end"
  wait "$second" || status=$?
  [ "$status" -eq 0 ] || fail "$1: the second start ended with status $status"
}

start_first a
a=$first
for _ in $(seq 5); do
  second_start a "$a"
  cancel "$a"
done
alive "$a" && icons 1 || fail "the second starts did not leave the first program alone"
echo "a second start brings the dialog in front and ends with status 0 (5 times)"

start_first b
b=$first
second_start b "$b"
[ -z "$(dialog "$a")" ] || fail "a start of b showed a's dialog"
cancel "$b"
alive "$a" && alive "$b" && icons 2 || fail "a and b do not both run"
echo "a copy with another settings file runs beside the first and answers for its own"

kill -STOP "$a"
started=$(now_ms)
wine "$work/a/Pagelift.exe" >"$work/silent.log" 2>&1 &
silent=$!
message() { xdotool search --all --onlyvisible --pid "$silent" --name '^Pagelift$' 2>/dev/null | head -n1; }
message_shown() { test -n "$(message)"; }
wait_for 15 message_shown || fail "no message box for a program that does not answer"
waited=$(($(now_ms) - started))
((waited >= 3000)) || fail "the message box came after $waited ms, before the 3 s were up"
xdotool windowfocus --sync "$(message)" key Return
wait_for 10 gone "$silent" || fail "the message box did not end the second start"
status=0
wait "$silent" || status=$?
[ "$status" -eq 1 ] || fail "the second start ended with status $status after the message box"
echo "a program that does not answer: a message box after $waited ms, then status 1"

# The program ends while a second start waits for it: that start runs on in its place.
wine "$work/a/Pagelift.exe" >>"$work/a.log" 2>&1 &
waiter=$!
pids+=("$waiter")
disown "$waiter"
sleep 1
alive "$waiter" || fail "the second start did not wait for the stopped program"
kill -KILL "$a"
sleep 1
a=$waiter
second_start a "$a"
cancel "$a"
alive "$a" && icons 2 || fail "the second start that waited does not run in the killed one's place"
echo "a second start that waits for a program killed meanwhile runs on in its place"

kill -KILL "$a"
wait_for 5 gone "$a" || fail "SIGKILL did not end the program"
wait_for 10 icons 1 || fail "the killed program's icon stayed"
start_first a
a=$first
second_start a "$a"
cancel "$a"
echo "a program killed with SIGKILL stops neither the next start nor the starts after it"

kill -KILL "$a"
wait_for 10 icons 1 || fail "the killed program's icon stayed"
starts=()
for _ in 1 2 3 4 5; do
  wine "$work/a/Pagelift.exe" >>"$work/five.log" 2>&1 &
  starts+=($!)
  pids+=($!)
done
count_alive() {
  local pid n=0
  for pid in "${starts[@]}"; do alive "$pid" && n=$((n + 1)); done
  echo "$n"
}
one_alive() { test "$(count_alive)" -eq 1; }
wait_for 30 one_alive || fail "five starts at once left $(count_alive) programs"
sleep 2
for pid in "${starts[@]}"; do
  if alive "$pid"; then
    a=$pid
  else
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "one of five starts at once ended with status $status"
  fi
done
[ "$(count_alive)" -eq 1 ] && icons 2 || fail "five starts at once did not leave one program"
wait_for 5 on_top "$a" || fail "five starts at once: the one left did not show its dialog"
cancel "$a"
second_start a "$a"
echo "five starts at once leave one program, which answers"

sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "from a second start to the dialog in front, ms: $(echo $sorted) (median $(echo "$sorted" |
  sed -n "$(((${#times[@]} + 1) / 2))p"))"
