#!/usr/bin/env bash
# Sets up, builds and starts the tray program build/pagelift. On the first start it
# writes a settings file that lists the sample pages, so that "ネット取得" has something
# to fetch at once. Without a display it shows what the program would put on the
# Clipboard for a sample page instead.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
pagelift_install_packages
pagelift_build build >/dev/null

build=$PAGELIFT_ROOT/build
sample=$PAGELIFT_ROOT/samples/sample.sjis.html

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the tray"
  echo "program cannot start. This is what it would put on the Clipboard for"
  echo "${sample#"$PAGELIFT_ROOT"/}:"
  echo
  exec "$build/pagelift-cli" text "$sample"
fi

# file_url PATH: the file URL of an absolute path, every byte but letters, digits and
# "-._~/" written as %XX.
file_url() {
  local LC_ALL=C path=$1 url="file://" i c
  for ((i = 0; i < ${#path}; i++)); do
    c=${path:i:1}
    case $c in
      [A-Za-z0-9._~/-]) url+=$c ;;
      *) url+=$(printf '%%%02X' "'$c") ;;
    esac
  done
  printf '%s' "$url"
}

# The program keeps its settings beside itself. A file that is there already is the
# user's: it is never touched.
settings=$build/pagelift.ini
if [ ! -e "$settings" ]; then
  {
    printf '[Setting]\r\n'
    n=0
    for page in "$PAGELIFT_ROOT"/samples/sample.*.html; do
      n=$((n + 1))
      printf 'URL%d=%s\r\n' "$n" "$(file_url "$page")"
    done
    printf 'URL%d=NONE\r\n' $((n + 1))
  } >"$settings.new"
  mv "$settings.new" "$settings"
  echo "Wrote ${settings#"$PAGELIFT_ROOT"/}, listing the $n sample pages."
fi

echo "Pagelift is in the tray: right-click its icon (a black panel with a green grid),"
echo "open \"ネット取得\" and pick a page; its text is then on the Clipboard."
echo "\"終了\" in the same menu, or Ctrl+C here, ends it."
exec "$build/pagelift"
