#!/usr/bin/env bash
# One Pagelift.exe per settings file under Wine, as a user meets it, on a virtual X display
# with trayer as its tray and a window covering the screen: a second start with the same
# settings file ends with status 0 and the running one's dialog comes on top of that window
# and into Windows' foreground (the time it takes is printed); a copy in another folder,
# with its own settings file, runs beside it and answers for its own; a running one that
# does not answer (stopped) makes the second start say so in a message box and end with
# status 1 after 3 s, and when it is killed meanwhile a start that waits for it runs on in
# its place; a program killed with SIGKILL stops neither the next start nor the starts
# after it; five starts at once leave exactly one program. Every wait is bounded.
# Usage: single_instance.sh WINDOWS_BUILD
# The Wine session is its own (the desktop process keeps the display it starts with): the
# test ends any other first, so it runs alone.
set -euo pipefail
windows_build=$1
source "$(dirname "$0")/../tray_session.sh"
source "$(dirname "$0")/../single_instance_steps.sh"
export WINEPREFIX=$windows_build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY
reader=$windows_build/clipboard_reader.exe

end_wine() { wineserver -k >/dev/null 2>&1 || true; }
trap 'end_wine; session_cleanup' EXIT
end_wine

# Two portable folders: a copy of the program in each, its settings beside it.
for copy in a b; do
  mkdir "$work/$copy"
  cp "$windows_build/Pagelift.exe" "$work/$copy/"
  printf '[Setting]\r\nURL1=http://127.0.0.1:1/%s\r\nURL2=NONE\r\n' "$copy" >"$work/$copy/Pagelift.ini"
done
run() { exec wine "$work/$1/Pagelift.exe"; }
# Without a window manager Wine leaves the X keyboard focus to the pointer: Windows is
# asked which window it has in the foreground, and whose it is.
focused() {
  wine "$reader" --foreground 2>/dev/null | tr -d '\r' |
    grep -qix "Pageliftの設定	.*\\\\$1\\\\Pagelift.exe"
}
cancel_keys() { xdotool windowfocus --sync "$(dialog "$1")" key Escape; }
patience=10

start_covered_display 800x600
step_second_starts 5
step_other_copy
step_not_answering
step_killed_while_asked
step_killed
step_five_at_once
print_times
