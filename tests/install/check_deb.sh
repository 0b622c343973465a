#!/bin/sh
# Builds the Debian package from BUILD, installs it, and checks the installed programs:
# pagelift-cli turns an installed sample page into text, read and fetched, and the tray
# program keeps an ordinary user's settings in that user's configuration folder. Removes
# it again.
set -eu
build=$1
if [ "$(id -u)" -ne 0 ]; then
  echo "installing a package needs root; skipped"
  exit 77
fi

cd "$build"
rm -f pagelift_*.deb
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; exit 1; }
deb=$(ls pagelift_*.deb)
home=$(mktemp -d)
cleanup() {
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq pagelift >/dev/null 2>&1 || true
  rm -rf "$home"
}
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null

for file in /usr/bin/pagelift /usr/bin/pagelift-cli /usr/share/applications/pagelift.desktop \
    /usr/share/icons/hicolor/32x32/apps/pagelift.xpm /usr/share/pagelift/samples/sample.sjis.html; do
  [ -e "$file" ] || { echo "not installed: $file"; exit 1; }
done

text=$(/usr/bin/pagelift-cli text /usr/share/pagelift/samples/sample.sjis.html)
case $text in
  *今日の天気*) ;;
  *) echo "pagelift-cli text gave: $text"; exit 1 ;;
esac
# libcurl is loaded by the first download, so the package must name it.
dpkg-deb -f "$deb" Depends | grep -q libcurl4 || { echo "the package does not depend on libcurl4"; exit 1; }
text=$(/usr/bin/pagelift-cli fetch file:///usr/share/pagelift/samples/sample.sjis.html)
case $text in
  *今日の天気*) ;;
  *) echo "pagelift-cli fetch gave: $text"; exit 1 ;;
esac

# An ordinary user's first start: the settings land in the user's folder, not in /usr/bin.
chown nobody "$home"
setpriv --reuid=nobody --regid=nogroup --clear-groups \
  env HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen \
  timeout -s TERM 3 /usr/bin/pagelift >/dev/null 2>&1 || true
settings=$home/.config/Pagelift/pagelift.ini
[ -f "$settings" ] || { echo "no settings in $settings"; find "$home"; exit 1; }
grep -q "file:///usr/share/pagelift/samples/sample" "$settings" ||
  { echo "settings do not list the samples:"; cat "$settings"; exit 1; }
[ ! -e /usr/bin/pagelift.ini ] || { echo "settings were written into /usr/bin"; exit 1; }
echo "installed $deb: pagelift-cli works, settings in $settings"
