# Sourced, after tray_session.sh, by the tests of one program per settings file on Linux
# (single_instance.sh) and under Wine (windows/single_instance.sh): the steps both take, as
# a user meets them. The test that sources it has put a copy of the program, its settings
# beside it, in each of "$work/a" and "$work/b", and defines
#   run COPY            execs the program in "$work/COPY" (in a background job, whose
#                       process it then is);
#   focused COPY PID    whether the dialog of the program PID (of COPY) has the keyboard;
#   cancel_keys PID     what makes the dialog of PID go away, as Cancel does;
#   patience            the seconds a program may take to start, or to end.

# start_covered_display WIDTHxHEIGHT: start_tray_display, and a window over the screen
# but for the panel, over which a dialog must come.
start_covered_display() {
  start_tray_display "$1" || fail "Xvfb or trayer did not start"
  local width=${1%x*} height=${1#*x}
  xmessage -geometry "${width}x$((height - 40))+0+0" 'a window over the screen' \
    >"$work/xmessage.log" 2>&1 &
  pids+=($!)
  wait_for 10 cover_shown || fail "xmessage did not show its window"
}
cover() { xdotool search --onlyvisible --name '^xmessage$' 2>/dev/null | head -n1; }
cover_shown() { test -n "$(cover)"; }

alive() { ps -o stat= -p "$1" 2>/dev/null | grep -qv Z; }
gone() { ! alive "$1"; }
# Each icon trayer docks is a window of its own in the panel, beside one of 1x1.
icon_count() { xwininfo -id "$panel" -children 2>/dev/null | grep -cE '^ *0x.* [0-9]{2,}x[0-9]{2,}\+' || true; }
icons() { test "$(icon_count)" -eq "$1"; }
# dialog PID: the settings dialog of the program PID, when it is on the screen.
dialog() { xdotool search --all --onlyvisible --pid "$1" --name '^Pageliftの設定$' 2>/dev/null | head -n1; }
no_dialog() { test -z "$(dialog "$1")"; }
# on_top PID: the dialog of PID is shown above the covering window (xwininfo lists the
# root's children top first).
on_top() {
  local shown
  shown=$(dialog "$1")
  [ -n "$shown" ] &&
    xwininfo -root -children | awk -v d="$(printf '0x%x' "$shown")" -v c="$(printf '0x%x' "$(cover)")" \
      '$1 == c {cover = NR} $1 == d {dialog = NR} END {exit !(dialog && dialog < cover)}'
}
# cancel PID: the dialog of PID goes away.
cancel() {
  cancel_keys "$1"
  wait_for "$patience" no_dialog "$1" || fail "Cancel did not hide the dialog of $1"
}

# start_first COPY: the program of COPY starts, and stays; sets `first`.
start_first() {
  local icons_before
  icons_before=$(icon_count)
  run "$1" >>"$work/$1.log" 2>&1 &
  first=$!
  pids+=("$first")
  disown "$first"  # killed on purpose below: no word from bash about it
  wait_for $((2 * patience)) icons $((icons_before + 1)) || fail "$1: no icon in the tray"
  alive "$first" || fail "$1: the program ended"
}

# second_start COPY PID: a later start of COPY ends with status 0 and the dialog of PID
# comes on top, with the keyboard; adds the milliseconds from the start to the dialog on
# top to `times`.
times=()
second_start() {
  local started second status=0
  started=$(now_ms)
  run "$1" >>"$work/$1-second.log" 2>&1 &
  second=$!
  wait_for "$patience" on_top "$2" || fail "$1: the second start did not bring the dialog on top"
  times+=($(($(now_ms) - started)))
  wait_for "$patience" focused "$1" "$2" || fail "$1: the dialog came on top without the keyboard"
  wait_for "$patience" gone "$second" || fail "$1: the second start did not end"
  wait "$second" || status=$?
  [ "$status" -eq 0 ] || fail "$1: the second start ended with status $status"
}

# The steps. `a` is the program of a's settings file, `b` that of b's.
step_second_starts() {
  start_first a
  a=$first
  for _ in $(seq "$1"); do
    second_start a "$a"
    cancel "$a"
  done
  alive "$a" && icons 1 || fail "the second starts did not leave the first program alone"
  echo "a second start brings the dialog in front and ends with status 0 ($1 times)"
}

step_other_copy() {
  start_first b
  b=$first
  second_start b "$b"
  no_dialog "$a" || fail "a start of b showed a's dialog"
  cancel "$b"
  alive "$a" && alive "$b" && icons 2 || fail "a and b do not both run"
  echo "a copy with another settings file runs beside the first and answers for its own"
}

# A program that does not answer (stopped, and left so): the second start says so in a
# message box and ends with status 1.
step_not_answering() {
  kill -STOP "$a"
  local started waited status=0
  started=$(now_ms)
  run a >"$work/silent.log" 2>&1 &
  silent=$!
  message() { xdotool search --all --onlyvisible --pid "$silent" --name '^Pagelift$' 2>/dev/null | head -n1; }
  message_shown() { test -n "$(message)"; }
  wait_for $((3 + patience)) message_shown || fail "no message box for a program that does not answer"
  waited=$(($(now_ms) - started))
  ((waited >= 3000)) || fail "the message box came after $waited ms, before the 3 s were up"
  xdotool windowfocus --sync "$(message)" key Return
  wait_for "$patience" gone "$silent" || fail "the message box did not end the second start"
  wait "$silent" || status=$?
  [ "$status" -eq 1 ] || fail "the second start ended with status $status after the message box"
  echo "a program that does not answer: a message box after $waited ms, then status 1"
}

# The stopped program is killed while a second start waits for it: that start runs on in
# its place.
step_killed_while_asked() {
  local waiter
  run a >>"$work/a.log" 2>&1 &
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
}

# step_killed [CHECK]: the program is killed; CHECK looks at what it left; the next start
# runs all the same, and answers.
step_killed() {
  kill -KILL "$a"
  wait_for "$patience" gone "$a" || fail "SIGKILL did not end the program"
  wait_for "$patience" icons 1 || fail "the killed program's icon stayed"
  [ $# -eq 0 ] || "$@"
  start_first a
  a=$first
  second_start a "$a"
  cancel "$a"
  echo "a program killed with SIGKILL stops neither the next start nor the starts after it"
}

# Five at once, after another kill: one program is left, the other four answered by it.
step_five_at_once() {
  kill -KILL "$a"
  wait_for "$patience" icons 1 || fail "the killed program's icon stayed"
  starts=()
  local pid status
  for _ in 1 2 3 4 5; do
    run a >>"$work/five.log" 2>&1 &
    starts+=($!)
    pids+=($!)
  done
  wait_for $((3 * patience)) one_alive || fail "five starts at once left $(count_alive) programs"
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
  one_alive && icons 2 || fail "five starts at once did not leave one program"
  wait_for "$patience" on_top "$a" || fail "five starts at once: the one left did not show its dialog"
  cancel "$a"
  second_start a "$a"
  cancel "$a"
  echo "five starts at once leave one program, which answers"
}
count_alive() {
  local pid n=0
  for pid in "${starts[@]}"; do alive "$pid" && n=$((n + 1)); done
  echo "$n"
}
one_alive() { test "$(count_alive)" -eq 1; }

print_times() {
  local sorted
  sorted=$(printf '%s\n' "${times[@]}" | sort -n)
  echo "from a second start to the dialog on top, ms: $(echo $sorted) (median $(echo "$sorted" |
    sed -n "$(((${#times[@]} + 1) / 2))p"))"
}
