#!/bin/sh
# Installs BUILD into a folder of its own and checks there what menus and software centres
# read: the AppStream metadata and the menu entry it names, by appstreamcli (offline, as
# the tests have no network), and the menu entry by desktop-file-validate, which must find
# nothing at all to say, not even a hint.
set -eu
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cmake --install "$build" --prefix "$root/usr" >/dev/null
ls "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null
appstreamcli validate-tree --no-net "$root"
for entry in "$root"/usr/share/applications/*.desktop; do
  said=$(desktop-file-validate "$entry" 2>&1) && [ -z "$said" ] ||
    { echo "desktop-file-validate: $said"; exit 1; }
done
