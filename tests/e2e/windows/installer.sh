#!/usr/bin/env bash
# The Windows installer under Wine, as a user runs it silently: it installs into Program
# Files with a Start-menu entry and, when asked, a start at sign-in; the installed
# program starts, writes its first settings into %APPDATA%\Pagelift (not beside itself)
# and fetches a sample page from there; the silent uninstall leaves no file of the package
# and keeps the user's settings. Wine's exit status says nothing here (a failed installer
# exits 0 too), so every result is looked at. Every wait is bounded.
# Usage: installer.sh WINDOWS_BUILD INSTALLER
set -euo pipefail
windows_build=$1
installer=$2
source "$(dirname "$0")/../tray_session.sh"
export WINEPREFIX=$windows_build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
drive=$WINEPREFIX/drive_c
folder="$drive/Program Files/Pagelift"
settings_folder="$drive/users/$(id -un)/AppData/Roaming/Pagelift"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Pagelift.lnk"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pagelift'
end_wine() { wineserver -k >/dev/null 2>&1 || true; }
trap 'end_wine; session_cleanup' EXIT
end_wine
rm -rf "$folder" "$settings_folder"
start_display 800x600 || fail "Xvfb did not start"

has_key() { wine reg query "$1" "${@:2}" >/dev/null 2>&1; }
installed_files() { (cd "$folder" 2>/dev/null && find . -type f | sort); }

started=$(now_ms)
wine "$installer" /S /AUTOSTART </dev/null >"$work/install.log" 2>&1 || true
wait_for 30 test -f "$folder/uninstall.exe" || fail "the installer put nothing into Program Files"
echo "installed in $(($(now_ms) - started)) ms:" $(installed_files)
for file in Pagelift.exe pagelift-cli.exe README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt \
  samples/sample.sjis.html; do
  [ -f "$folder/$file" ] || fail "the installer left out $file"
done
[ -f "$shortcut" ] || fail "no Start-menu entry"
has_key "$run_key" /v Pagelift || fail "/AUTOSTART did not make Pagelift start at sign-in"
has_key "$uninstall_key" || fail "the installer did not register its uninstaller"

# The installed program keeps its settings in the user's folder, listing the samples it
# came with; one of them fetched from there.
wine "$folder/Pagelift.exe" </dev/null >"$work/pagelift.log" 2>&1 &
pids+=($!)
wait_for 20 test -s "$settings_folder/Pagelift.ini" || fail "no settings in %APPDATA%\\Pagelift"
[ ! -e "$folder/Pagelift.ini" ] || fail "the installed program wrote its settings beside itself"
first_url=$(tr -d '\r' <"$settings_folder/Pagelift.ini" | sed -n 's/^URL1=//p')
case $first_url in
  file:///C:/Program%20Files/Pagelift/samples/*.html) ;;
  *) fail "the first settings list $first_url" ;;
esac
wine "$folder/pagelift-cli.exe" fetch "$first_url" >"$work/sample.txt" 2>"$work/fetch.log" ||
  fail "the installed pagelift-cli could not fetch $first_url"
grep -q '今日の天気' "$work/sample.txt" || fail "the sample page's text is not what it holds"
echo "the installed program keeps its settings in %APPDATA%\\Pagelift; URL1=$first_url"
end_wine
cp "$settings_folder/Pagelift.ini" "$work/settings.ini"

started=$(now_ms)
wine "$folder/uninstall.exe" /S </dev/null >"$work/uninstall.log" 2>&1 || true
# The uninstaller runs from a copy of itself and removes the folder last.
folder_gone() { [ ! -e "$folder" ]; }
wait_for 30 folder_gone || fail "the uninstaller left" $(installed_files)
echo "uninstalled in $(($(now_ms) - started)) ms"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu entry"
! has_key "$run_key" /v Pagelift || fail "the uninstaller left the start at sign-in"
! has_key "$uninstall_key" || fail "the uninstaller left its registry key"
cmp -s "$settings_folder/Pagelift.ini" "$work/settings.ini" ||
  fail "the uninstaller did not keep the user's settings"
echo "the uninstaller removed every file it installed and kept the user's settings"
rm -rf "$settings_folder"
