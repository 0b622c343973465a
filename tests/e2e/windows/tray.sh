#!/usr/bin/env bash
# Pagelift.exe under Wine on a virtual X display with trayer as its tray, as a user meets
# it: the icon docks, a right click (xdotool) opens the menu, a page chosen from
# "ネット取得" reaches the Clipboard (read back by a Windows program, CR LF intact, and by
# xclip, which gets LF) with its HTML Format beside it (its header's offsets checked against
# its bytes), a refused URL leaves the failure text and no HTML, the settings dialog takes a
# typed URL, proxy, code and width and OK writes Pagelift.ini in code page 932 byte for
# byte as the Linux build writes it for the same input, and "終了" ends the program and
# takes its icon away. Run once with the ANSI code page 1252 and once with 932. Then a
# failure is told in a notification balloon, in a Wine desktop of its own. Every wait is
# bounded. Leaves screenshots of the menu, the dialog and the balloon beside the Linux
# ones.
# Usage: tray.sh WINDOWS_BUILD LINUX_BUILD SAMPLE_PAGE
# The Wine session is its own (the desktop process keeps the display it starts with): the
# test ends any other first, so it runs alone.
set -euo pipefail
windows_build=$1
linux_build=$2
page=$3
source "$(dirname "$0")/../tray_session.sh"
export WINEPREFIX=$windows_build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WAYLAND_DISPLAY http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy
reader=$windows_build/clipboard_reader.exe

end_wine() { wineserver -k >/dev/null 2>&1 || true; }
trap 'end_wine; session_cleanup' EXIT
end_wine

# Japanese words in the menus of a Western Windows come from a Japanese font linked to
# the menus' own (Tahoma, MS Shell Dlg), as a Japanese user's Windows has them.
for font in Tahoma "MS Shell Dlg" "MS Shell Dlg 2"; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "$font" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null 2>&1
done
end_wine

# A Japanese Unix locale gives Wine the ANSI code page 932.
localedef -i ja_JP -f UTF-8 "$work/ja_JP.UTF-8" >/dev/null 2>&1 ||
  fail "localedef could not make the Japanese locale"

start_page_server "$linux_build/tests/e2e/page_server" "$page"
page_url="$server/${page##*/}?x=1&news_2024=__2_"
refused_url="http://127.0.0.1:1/a_b?x=1&y=2"
"$linux_build/pagelift-cli" text --width 30 --form readable "$page" >"$work/expected.txt"
tr -d '\r' <"$work/expected.txt" >"$work/expected.lf"
"$linux_build/pagelift-cli" text --html --form readable --url "$page_url" "$page" >"$work/expected.html"
printf 'ネット取得に失敗しました。' >"$work/failure.txt"
start_tray_display 800x600 || fail "Xvfb or trayer did not start"

icon_docked() { [ "$(xwininfo -id "$panel" | awk '/Width:/ {print $2}')" -ge 16 ]; }
icon_gone() { [ "$(xwininfo -id "$panel" | awk '/Width:/ {print $2}')" -lt 16 ]; }
# right_click KEYS...: opens the menu on the icon and types KEYS into it.
right_click() {
  local x y
  eval "$(xdotool getwindowgeometry --shell "$panel")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
  sleep 0.7
  [ $# -eq 0 ] || xdotool key "$@"
}
clipboard_is() { wine "$reader" 2>/dev/null | cmp -s - "$1"; }
xclip_is() { timeout 2 xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null | cmp -s - "$1"; }
file_is() { cmp -s "$1" "$2"; }

for ansi in 1252 932; do
  if [ "$ansi" = 932 ]; then
    export LOCPATH=$work LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  else
    export LANG=C.UTF-8 LC_ALL=C.UTF-8
    unset LOCPATH
  fi
  app=$work/app-$ansi
  mkdir -p "$app"
  cp "$windows_build/Pagelift.exe" "$app/"
  printf '[Setting]\r\nMAXCHAR=30\r\nTEXTFORM=%s\r\nWITHHTML=1\r\nURL1=%s\r\nURL2=%s\r\nURL3=NONE\r\n' \
    "$(printf '読みやすく' | iconv -f UTF-8 -t CP932)" "$page_url" "$refused_url" >"$app/Pagelift.ini"
  cp "$app/Pagelift.ini" "$work/before-$ansi.ini"
  [ "$(wine "$reader" --code-page)" = "$ansi" ] || fail "Wine did not run with the ANSI code page $ansi"

  wine "$app/Pagelift.exe" >"$work/pagelift-$ansi.log" 2>&1 &
  program=$!
  pids+=("$program")
  wait_for 20 icon_docked || fail "($ansi) the icon did not dock in the tray"

  # A URL another Windows program put on the Clipboard: the first entry of "ネット取得"
  # offers it when the submenu opens; its text, on the Clipboard while the program runs.
  wine "$reader" --set "$page_url" || fail "($ansi) the Clipboard could not be set"
  right_click Down Down Right
  [ "$ansi" = 1252 ] && import -window root "$linux_build/windows_tray_menu.png"
  xdotool key Return
  wait_for 15 clipboard_is "$work/expected.txt" ||
    fail "($ansi) the Clipboard's URL did not bring the page's text, CR LF and all:" \
      "$(wine "$reader" 2>/dev/null | cmp - "$work/expected.txt" 2>&1)"
  xclip_is "$work/expected.lf" || fail "($ansi) xclip does not read the page's text"
  echo "($ansi) the Clipboard's URL brought the page's text, $(wc -c <"$work/expected.txt") bytes"
  wine "$reader" --html >"$work/html-$ansi.html" 2>"$work/html-$ansi.err" ||
    fail "($ansi) the Clipboard holds no HTML Format that holds: $(cat "$work/html-$ansi.err")"
  cmp -s "$work/html-$ansi.html" "$work/expected.html" ||
    fail "($ansi) the HTML Format is not what pagelift-cli text --html makes:" \
      "$(cmp "$work/html-$ansi.html" "$work/expected.html" 2>&1)"
  echo "($ansi) beside it the HTML Format, $(wc -c <"$work/expected.html") bytes, its offsets holding"

  # The first URL of the list (the first entry greyed: the Clipboard holds no URL).
  wine "$reader" --set "before" || fail "($ansi) the Clipboard could not be set"
  right_click Down Down Right Down Return
  wait_for 15 clipboard_is "$work/expected.txt" ||
    fail "($ansi) the first URL did not bring the page's text"
  echo "($ansi) the first URL brought the page's text"

  right_click Down Down Right Down Down Return
  wait_for 15 clipboard_is "$work/failure.txt" ||
    fail "($ansi) a refused URL did not leave the failure text"
  ! wine "$reader" --html >/dev/null 2>&1 ||
    fail "($ansi) the failure text left the last page's HTML on the Clipboard"
  echo "($ansi) a refused URL leaves \"$(cat "$work/failure.txt")\", and no HTML"

  # The settings dialog: a URL added, a proxy, the code after "自動判定", a width; OK.
  right_click Down Return
  dialog() { xdotool search --onlyvisible --name '^Pageliftの設定$' 2>/dev/null | head -n1; }
  wait_for 10 test -n "$(dialog)" || fail "($ansi) \"設定...\" showed no dialog"
  # There is no window manager to give the dialog the keyboard.
  xdotool windowfocus --sync "$(dialog)"
  xdotool key ctrl+End Return
  xdotool type --delay 15 'http://typed.example/a_b?x=1&y=2'
  xdotool key Tab
  xdotool type --delay 15 'proxy.example:8080'
  xdotool key Tab Down Tab
  xdotool type --delay 15 '80abc'
  sleep 0.3
  [ "$ansi" = 1252 ] && import -window root "$linux_build/windows_dialog.png"
  # The text form box keeps its entry; Tab on to OK.
  xdotool key Tab Tab Return
  cp "$work/before-$ansi.ini" "$work/linux-$ansi.ini"
  "$linux_build/tests/e2e/settings_writer" "$work/linux-$ansi.ini" 1 80abc proxy.example:8080 1 \
    "$page_url" "$refused_url" 'http://typed.example/a_b?x=1&y=2' ||
    fail "the Linux build could not write the settings"
  wait_for 10 file_is "$app/Pagelift.ini" "$work/linux-$ansi.ini" ||
    fail "($ansi) OK did not write what the Linux build writes: $(od -c "$app/Pagelift.ini" | head -20)"
  echo "($ansi) OK wrote Pagelift.ini, $(wc -c <"$app/Pagelift.ini") bytes, as the Linux build does"

  right_click Up Return
  process_gone() { ! kill -0 "$program" 2>/dev/null; }
  wait_for 10 process_gone || fail "($ansi) \"終了\" did not end the program"
  wait_for 5 icon_gone || fail "($ansi) the icon stayed in the tray after \"終了\""
  echo "($ansi) \"終了\" ended the program and took its icon away"
  end_wine
done

# A failure told beside the icon: Wine draws the notification balloon only in a desktop of
# its own with a taskbar (explorer /desktop), not beside an icon docked in trayer. Its menu
# there takes no keys: the mouse chooses "ネット取得" and the refused URL, and the balloon
# is seen in a screenshot, as the white of its face above the icon.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset LOCPATH
app=$work/app-notice
mkdir -p "$app"
cp "$windows_build/Pagelift.exe" "$app/"
printf '[Setting]\r\nURL1=%s\r\nURL2=NONE\r\n' "$refused_url" >"$app/Pagelift.ini"
wine explorer /desktop=shell,800x600 "$app/Pagelift.exe" >"$work/notice.log" 2>&1 &
pids+=($!)
desktop() { xdotool search --name '^shell - Wine desktop$' 2>/dev/null | head -n1; }
desktop_made() { test -n "$(desktop)"; }
wait_for 20 desktop_made || fail "Wine made no desktop of its own"
sleep 3  # its taskbar, and the icon in it, are drawn
eval "$(xdotool getwindowgeometry --shell "$(desktop)")"
icon_x=$((X + WIDTH - 10))
icon_y=$((Y + HEIGHT - 10))
white_above_icon() {
  import -window root "$work/notice.png"
  convert "$work/notice.png" -crop "440x60+$((icon_x - 450))+$((icon_y - 90))" \
    -fill black +opaque white -format '%[fx:mean]' info:
}
before=$(white_above_icon)
xdotool mousemove "$icon_x" "$icon_y" click 3
sleep 0.8
xdotool mousemove $((icon_x - 30)) $((icon_y - 39)) click 1
sleep 0.8
xdotool mousemove $((icon_x - 160)) $((icon_y - 39)) click 1
balloon_seen() { awk -v share="$(white_above_icon)" 'BEGIN { exit !(share > 0.3) }'; }
wait_for 15 balloon_seen ||
  fail "no balloon told of the failure (white above the icon: $before before, $(white_above_icon) after)"
cp "$work/notice.png" "$linux_build/windows_notice.png"
echo "a balloon beside the icon told of the failure (white above the icon: $before before," \
  "$(white_above_icon) after): $linux_build/windows_notice.png"
end_wine
