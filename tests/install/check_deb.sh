#!/bin/sh
# Builds the Debian package from BUILD, has lintian check it, installs it, and checks the
# installed programs: pagelift-cli turns an installed sample page into text, read and
# fetched, and the tray program keeps the settings of root and of an ordinary user in that
# user's configuration folder. Removes it again.
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
# What Debian's own checker says of the package: no error and no warning. What it must not
# flag is overridden in packaging/lintian-overrides, each with its reason.
lintian --fail-on error,warning "$deb" >lintian.log 2>&1 ||
  { cat lintian.log; echo "lintian found faults in $deb"; exit 1; }
home=$(mktemp -d)
cleanup() {
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq pagelift >/dev/null 2>&1 || true
  rm -rf "$home"
  rm -f /usr/bin/pagelift.ini
}
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null

for file in /usr/bin/pagelift /usr/bin/pagelift-cli /usr/libexec/pagelift/pagelift-wl-clipboard \
    /usr/share/applications/pagelift.desktop \
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

# start_as USER HOME: the installed tray program's first seconds, as USER with HOME.
start_as() {
  chown "$1" "$2"
  setpriv --reuid="$1" --regid="$(id -gn "$1")" --clear-groups \
    env HOME="$2" XDG_CONFIG_HOME="$2/.config" QT_QPA_PLATFORM=offscreen \
    timeout -s TERM 3 /usr/bin/pagelift >/dev/null 2>&1 || true
}

# First starts by root and by an ordinary user: each user's settings land in that
# user's folder, never in /usr/bin, where root could write them.
root_home=$home/root nobody_home=$home/nobody
mkdir -p "$root_home" "$nobody_home"
chmod 755 "$home"
start_as root "$root_home"
start_as nobody "$nobody_home"
[ ! -e /usr/bin/pagelift.ini ] || { echo "settings were written into /usr/bin"; exit 1; }
for settings in "$root_home/.config/Pagelift/pagelift.ini" "$nobody_home/.config/Pagelift/pagelift.ini"; do
  [ -f "$settings" ] || { echo "no settings in $settings"; find "$home"; exit 1; }
  grep -q "file:///usr/share/pagelift/samples/sample" "$settings" ||
    { echo "settings do not list the samples:"; cat "$settings"; exit 1; }
done

# A settings file left in /usr/bin by an earlier version is nobody's: it is neither read
# nor written.
printf '[Setting]\r\nURL1=http://stray.example/\r\n' >/usr/bin/pagelift.ini
rm -rf "$nobody_home/.config"
start_as nobody "$nobody_home"
stray=$(cat /usr/bin/pagelift.ini)
rm -f /usr/bin/pagelift.ini
grep -q "file:///usr/share/pagelift/samples/sample" "$nobody_home/.config/Pagelift/pagelift.ini" ||
  { echo "the stray file in /usr/bin was taken over"; exit 1; }
[ "$stray" = "$(printf '[Setting]\r\nURL1=http://stray.example/\r')" ] ||
  { echo "the stray file in /usr/bin was changed: $stray"; exit 1; }
echo "installed $deb: pagelift-cli works, settings in each user's folder"
