#!/usr/bin/env bash
# Sets up, builds and starts the tray program build/pagelift. On its first start the
# program writes a settings file that lists the sample pages, so that "ネット取得" has
# something to fetch at once. Without a display this shows what the program would put on
# the Clipboard for a sample page instead.
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

# On its first start the program writes its settings beside itself, listing the sample
# pages that the build put there; a settings file that is there already is the user's.
[ -e "$build/pagelift.ini" ] || echo "The first start writes build/pagelift.ini, listing the sample pages."

echo "Pagelift is in the tray: right-click its icon (a black panel with a green grid),"
echo "open \"ネット取得\" and pick a page; its text is then on the Clipboard."
echo "\"終了\" in the same menu, or Ctrl+C here, ends it."
exec "$build/pagelift"
