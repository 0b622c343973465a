#!/usr/bin/env bash
# One Pagelift per settings file, as a user meets it, on a virtual X display with trayer
# as its tray and a window covering the screen: a second start with the same settings file
# ends at once with status 0 and the running one's dialog comes in front of that window with
# the keyboard focus (the time it takes is printed); a copy with another settings file runs
# beside it and answers for its own; a running one that does not answer (stopped) makes
# the second start say so in a message box and end with status 1 after 3 s; a program
# killed with SIGKILL leaves its socket behind, which stops neither the next start nor
# the starts after it; five starts at once leave exactly one program; and without
# XDG_RUNTIME_DIR the socket lives in a folder of the user's own in the temporary folder.
# Every wait is bounded.
# Usage: single_instance.sh PAGELIFT
set -euo pipefail
program=$1
source "$(dirname "$0")/tray_session.sh"

export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
unset WAYLAND_DISPLAY XDG_ACTIVATION_TOKEN
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Two portable folders: a copy of the program in each, its settings beside it.
for copy in a b; do
  mkdir "$work/$copy"
  cp "$program" "$work/$copy/pagelift"
  printf '[Setting]\r\nURL1=http://127.0.0.1:1/%s\r\nURL2=NONE\r\n' "$copy" >"$work/$copy/pagelift.ini"
done

start_tray_display 640x480 || fail "Xvfb or trayer did not start"
xmessage -geometry 640x440+0+0 'a window over the screen' >"$work/xmessage.log" 2>&1 &
pids+=($!)
cover() { xdotool search --onlyvisible --name '^xmessage$' 2>/dev/null | head -n1; }
cover_shown() { test -n "$(cover)"; }
wait_for 10 cover_shown || fail "xmessage did not show its window"

alive() { ps -o stat= -p "$1" 2>/dev/null | grep -qv Z; }
gone() { ! alive "$1"; }
icon_count() { xwininfo -id "$panel" -tree 2>/dev/null | grep -c '"pagelift" "Pagelift"' || true; }
icons() { test "$(icon_count)" -eq "$1"; }
# dialog PID: the settings dialog of the program PID, when it is on the screen.
dialog() { xdotool search --all --onlyvisible --pid "$1" --name '^Pageliftの設定$' 2>/dev/null | head -n1; }
# in_front PID: its dialog is shown, has the keyboard and lies above the covering window
# (xwininfo lists the root's children top first).
in_front() {
  local shown
  shown=$(dialog "$1")
  [ -n "$shown" ] && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$shown" ] &&
    xwininfo -root -children | awk -v d="$(printf '0x%x' "$shown")" -v c="$(printf '0x%x' "$(cover)")" \
      '$1 == c {cover = NR} $1 == d {dialog = NR} END {exit !(dialog && dialog < cover)}'
}
# cancel PID: its dialog's Cancel button is clicked, and the dialog goes.
cancel() {
  xdotool mousemove --window "$(dialog "$1")" 386 170 click 1
  no_dialog() { test -z "$(dialog "$1")"; }
  wait_for 5 no_dialog "$1" || fail "Cancel did not hide the dialog of $1"
}

# start_first COPY: the program of COPY starts, and stays; sets `first`.
start_first() {
  local icons_before
  icons_before=$(icon_count)
  "$work/$1/pagelift" >>"$work/$1.log" 2>&1 &
  first=$!
  pids+=("$first")
  disown "$first"  # killed on purpose below: no word from bash about it
  wait_for 10 icons $((icons_before + 1)) || fail "$1: no icon in the tray"
  alive "$first" || fail "$1: the program ended"
}

# second_start COPY PID: a later start of COPY ends at once with status 0 and the dialog of
# PID comes in front; adds the milliseconds from the start to the dialog in front to
# `times`.
times=()
second_start() {
  local started second status=0
  started=$(now_ms)
  "$work/$1/pagelift" >>"$work/$1-second.log" 2>&1 &
  second=$!
  wait_for 5 in_front "$2" || fail "$1: the second start did not bring the dialog in front"
  times+=($(($(now_ms) - started)))
  wait_for 5 gone "$second" || fail "$1: the second start did not end"
  wait "$second" || status=$?
  [ "$status" -eq 0 ] || fail "$1: the second start ended with status $status"
}

start_first a
a=$first
# The socket of a's settings file: the only one yet.
socket=$(find "$XDG_RUNTIME_DIR" -type s)
[ "$(echo "$socket" | wc -l)" -eq 1 ] && [ -S "$socket" ] || fail "no socket in XDG_RUNTIME_DIR: $socket"
for _ in $(seq 9); do
  second_start a "$a"
  cancel "$a"
done
alive "$a" && icons 1 || fail "the second starts did not leave the first program alone"
echo "a second start brings the dialog in front and ends with status 0 (9 times)"

# Another settings file: a program of its own beside the first, which answers for it.
start_first b
b=$first
second_start b "$b"
[ -z "$(dialog "$a")" ] || fail "a start of b showed a's dialog"
cancel "$b"
alive "$a" && alive "$b" && icons 2 || fail "a and b do not both run"
echo "a copy with another settings file runs beside the first and answers for its own"

# What is no request of ours, or no whole one, shows nothing and stops nothing: while a
# caller that began a request and does not end it is still connected, a second start is
# answered.
python3 - "$socket" >"$work/junk.log" 2>&1 <<'EOF' &
import socket, sys, time
def connect():
    s = socket.socket(socket.AF_UNIX)
    s.connect(sys.argv[1])
    return s
for junk in (b"", b"junk\n", b"PAGELIFT-SHOW", b"PAGELIFT-SHOWN\n", b"x" * 100000,
             b"PAGELIFT-SHOW " + b"\xff" * 5000 + b"\n"):
    s = connect()
    try:
        s.sendall(junk)
    except OSError:
        pass  # cut off after 4 KiB
    s.close()
held = connect()
held.sendall(b"PAGELIFT-SHOW ")
print("holding", flush=True)
time.sleep(10)
EOF
pids+=($!)
holding() { grep -q holding "$work/junk.log"; }
wait_for 5 holding || fail "the program did not take what is no request"
sleep 0.5
[ -z "$(dialog "$a")" ] || fail "what is no request showed the dialog"
second_start a "$a"
((${times[-1]} < 2000)) || fail "a request not ended held up the answer: ${times[-1]} ms"
cancel "$a"
alive "$a" || fail "what is no request ended the program"
echo "what is no request shows nothing and stops nothing"

# A running program that does not answer: the second start says so and ends with status 1.
kill -STOP "$a"
started=$(now_ms)
"$work/a/pagelift" >"$work/silent.log" 2>&1 &
silent=$!
message() { xdotool search --all --onlyvisible --pid "$silent" --name '^Pagelift$' 2>/dev/null | head -n1; }
message_shown() { test -n "$(message)"; }
wait_for 8 message_shown || fail "no message box for a program that does not answer"
waited=$(($(now_ms) - started))
((waited >= 3000)) || fail "the message box came after $waited ms, before the 3 s were up"
xdotool windowfocus --sync "$(message)" key Return
wait_for 5 gone "$silent" || fail "the message box did not end the second start"
status=0
wait "$silent" || status=$?
[ "$status" -eq 1 ] || fail "the second start ended with status $status after the message box"
echo "a program that does not answer: a message box after $waited ms, then status 1"

# The program ends while a second start waits for it: that start runs on in its place.
"$work/a/pagelift" >>"$work/a.log" 2>&1 &
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

# A crash leaves the socket behind; the next start runs all the same, and answers.
kill -KILL "$a"
wait_for 5 gone "$a" || fail "SIGKILL did not end the program"
wait_for 5 icons 1 || fail "the killed program's icon stayed"
[ -S "$socket" ] || fail "the killed program left no socket: nothing was tried"
start_first a
a=$first
second_start a "$a"
cancel "$a"
echo "a socket left by a killed program stops neither the next start nor the starts after it"

# Five at once, after another crash: one program is left, the other four answered by it.
kill -KILL "$a"
wait_for 5 icons 1 || fail "the killed program's icon stayed"
starts=()
for _ in 1 2 3 4 5; do
  "$work/a/pagelift" >>"$work/five.log" 2>&1 &
  starts+=($!)
  pids+=($!)
done
count_alive() {
  local pid n=0
  for pid in "${starts[@]}"; do alive "$pid" && n=$((n + 1)); done
  echo "$n"
}
one_alive() { test "$(count_alive)" -eq 1; }
wait_for 10 one_alive || fail "five starts at once left $(count_alive) programs"
sleep 1
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
wait_for 5 in_front "$a" || fail "five starts at once: the one left did not show its dialog"
cancel "$a"
second_start a "$a"
cancel "$a"
echo "five starts at once leave one program, which answers"

# Without XDG_RUNTIME_DIR: a folder of the user's own in the temporary folder.
kill -TERM "$a"
wait_for 5 gone "$a" || fail "SIGTERM did not end the program"
[ ! -e "$socket" ] || fail "a program that ended left its socket"
unset XDG_RUNTIME_DIR
export TMPDIR=$work/tmp
mkdir "$TMPDIR"
start_first a
a=$first
private=$TMPDIR/pagelift-$(id -u)
[ "$(stat -c %a "$private")" = 700 ] && [ -n "$(find "$private" -type s)" ] ||
  fail "no socket in a folder of the user's own: $(ls -la "$TMPDIR" "$private" 2>&1)"
second_start a "$a"
echo "without XDG_RUNTIME_DIR the socket lives in $private, mode 700"

sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "from a second start to the dialog in front, ms: $(echo $sorted) (median $(echo "$sorted" |
  sed -n "$(((${#times[@]} + 1) / 2))p"))"
