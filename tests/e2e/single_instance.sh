#!/usr/bin/env bash
# One Pagelift per settings file, as a user meets it, on a virtual X display with trayer
# as its tray and a window covering the screen: a second start with the same settings file
# ends at once with status 0 and the running one's dialog comes in front of that window with
# the keyboard focus (the time it takes is printed); a copy with another settings file runs
# beside it and answers for its own; what is no request on the socket shows nothing and
# holds up nothing; a running one that does not answer (stopped) makes the second start
# say so in a message box and end with status 1 after 3 s, and when it is killed meanwhile
# a start that waits for it runs on in its place; a program killed with SIGKILL leaves its
# socket behind, which stops neither the next start nor the starts after it; five starts at
# once leave exactly one program; and without XDG_RUNTIME_DIR the socket lives in a folder
# of the user's own in the temporary folder. Every wait is bounded.
# Usage: single_instance.sh PAGELIFT
set -euo pipefail
program=$1
source "$(dirname "$0")/tray_session.sh"
source "$(dirname "$0")/single_instance_steps.sh"

export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
unset WAYLAND_DISPLAY XDG_ACTIVATION_TOKEN
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Two portable folders: a copy of the program in each, its settings beside it.
for copy in a b; do
  mkdir "$work/$copy"
  cp "$program" "$work/$copy/pagelift"
  printf '[Setting]\r\nURL1=http://127.0.0.1:1/%s\r\nURL2=NONE\r\n' "$copy" >"$work/$copy/pagelift.ini"
done
run() { exec "$work/$1/pagelift"; }
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(dialog "$2")" ]; }
# The dialog's Cancel button (cmdCancel in dialog_layout.h).
cancel_keys() { xdotool mousemove --window "$(dialog "$1")" 386 194 click 1; }
patience=5

start_covered_display 640x480
step_second_starts 9
# The socket of a's settings file: the only one yet.
socket=$(find "$XDG_RUNTIME_DIR" -type s)
[ "$(echo "$socket" | wc -l)" -eq 1 ] && [ -S "$socket" ] || fail "no socket in XDG_RUNTIME_DIR: $socket"
step_other_copy

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
no_dialog "$a" || fail "what is no request showed the dialog"
second_start a "$a"
((${times[-1]} < 2000)) || fail "a request not ended held up the answer: ${times[-1]} ms"
cancel "$a"
alive "$a" || fail "what is no request ended the program"
echo "what is no request shows nothing and stops nothing"

step_not_answering
step_killed_while_asked
socket_left() { [ -S "$socket" ] || fail "the killed program left no socket: nothing was tried"; }
step_killed socket_left
step_five_at_once

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

print_times
