#!/usr/bin/env bash
# Shows the settings dialog on a virtual X display and saves a screenshot of it.
# Usage: dialog_screenshot.sh PREVIEW_PROGRAM OUTPUT_PNG
set -euo pipefail
preview=$1
output=$2
work=$(mktemp -d)
xvfb_pid= preview_pid=
cleanup() {
  [ -n "$preview_pid" ] && kill "$preview_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Settings as a user might have them, in code page 932 with CR LF line ends.
printf '[Setting]\r\nCODE=UTF-8\r\nMAXCHAR=80\r\nPROXY=proxy.example.jp:8080\r\nTEXTFORM=%s\r\n' \
  "$(printf '読みやすく' | iconv -f UTF-8 -t CP932)" >"$work/pagelift.ini"
printf 'URL1=https://www.example.jp/news/index.html\r\nURL2=\r\n' >>"$work/pagelift.ini"
printf 'URL3=https://example.com/%s\r\nURL4=NONE\r\n' "$(printf '日本語' | iconv -f UTF-8 -t CP932)" \
  >>"$work/pagelift.ini"

# Xvfb picks a free display and writes its number to the given descriptor.
Xvfb -displayfd 3 -screen 0 640x400x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

QT_QPA_PLATFORM=xcb "$preview" "$work/pagelift.ini" >"$work/preview.out" 2>"$work/preview.err" &
preview_pid=$!
for _ in $(seq 100); do grep -q '^shown ' "$work/preview.out" && break; sleep 0.1; done
window=$(sed -n 's/^shown //p' "$work/preview.out")
[ -n "$window" ] || { echo "the dialog was not shown:"; cat "$work/preview.err"; exit 1; }

import -window "$window" "$output"
size=$(identify -format '%wx%h' "$output")
echo "$output: $size, $(stat -c %s "$output") bytes"
[ -s "$output" ] && [ "$size" = "416x211" ]
