#!/usr/bin/env bash
# Measures Pagelift for Windows under Wine as a user meets it, on a virtual X display with
# trayer as the tray: the time from start to the icon and the program's resident memory at
# rest (median of RUNS starts), the sizes of the programs and packages, and
# pagelift-cli.exe text beside the Linux pagelift-cli on the 10 MB Shift_JIS page that
# bench/compare.sh builds, in one hyperfine run (Wine's start included).
# Usage: bench/windows_figures.sh [WINDOWS_BUILD] [LINUX_BUILD] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
windows=$(cd "${1:-$root/build-windows}" && pwd)
linux=$(cd "${2:-$root/build}" && pwd)
runs=${3:-5}
source "$root/tests/e2e/tray_session.sh"
export WINEPREFIX=$windows/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'wineserver -k >/dev/null 2>&1 || true; session_cleanup' EXIT
wineserver -k >/dev/null 2>&1 || true

echo "sizes: Pagelift.exe $(stat -c %s "$windows/package/Pagelift/Pagelift.exe")," \
  "pagelift-cli.exe $(stat -c %s "$windows/package/Pagelift/pagelift-cli.exe") (stripped)," \
  "zip $(stat -c %s "$windows"/Pagelift-*-win64.zip), installer $(stat -c %s "$windows"/Pagelift-*-setup.exe) bytes"

start_tray_display 640x480
icon_docked() { [ "$(xwininfo -id "$panel" | awk '/Width:/ {print $2}')" -ge 16 ]; }
mkdir -p "$work/app"
cp "$windows/Pagelift.exe" "$work/app/"
printf '[Setting]\r\nURL1=http://127.0.0.1:1/\r\nURL2=NONE\r\n' >"$work/app/Pagelift.ini"
# The session is started once first, as a user's is before any program of theirs.
wine wineboot </dev/null >/dev/null 2>&1
starts=()
memories=()
for _ in $(seq "$runs"); do
  start=$(now_ms)
  wine "$work/app/Pagelift.exe" </dev/null >/dev/null 2>&1 &
  wait_for 30 icon_docked
  starts+=($(($(now_ms) - start)))
  sleep 3
  pid=$(pgrep -f 'Pagelift\.exe' | head -n1)
  memories+=($(awk '/VmRSS/ {print $2}' "/proc/$pid/status"))
  kill "$pid"
  wait_for 10 sh -c "! pgrep -f 'Pagelift\\.exe' >/dev/null"
  wait_for 10 sh -c "[ \$(xwininfo -id $panel | awk '/Width:/ {print \$2}') -lt 16 ]" || true
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
echo "start to icon: median $(median "${starts[@]}") ms of ${starts[*]}"
echo "resident at rest: median $(median "${memories[@]}") kB of ${memories[*]}"

corpus_script=${PAGELIFT_CORPUS_SCRIPT:-$root/../shared/tools/make_corpus.sh}
corpus=${PAGELIFT_CORPUS:-$root/build/corpus}
[ -f "$corpus/manifest.tsv" ] || bash "$corpus_script" -o "$corpus" >/dev/null
page=$work/page.sjis.html
awk -F'\t' '$2 == "cp932" { print $1; total += $3; if (total >= 10000000) exit }' \
  "$corpus/manifest.tsv" | (cd "$corpus" && xargs cat) >"$page"
echo "page: $(stat -c %s "$page") bytes of Shift_JIS"
"$linux/pagelift-cli" text --code SJIS --width 100 "$page" >"$work/linux.txt"
wine "$windows/pagelift-cli.exe" text --code SJIS --width 100 "$page" >"$work/windows.txt"
cmp -s "$work/linux.txt" "$work/windows.txt" && echo "the same text from both"
hyperfine --warmup 2 --runs 10 -N --export-json "$work/times.json" \
  -n linux "$linux/pagelift-cli text --code SJIS --width 100 $page" \
  -n "windows under wine" "wine $windows/pagelift-cli.exe text --code SJIS --width 100 $page" \
  -n "windows under wine, judge of a sample page (mostly Wine's start)" \
  "wine $windows/pagelift-cli.exe judge $root/samples/sample.sjis.html" >/dev/null
python3 - "$work/times.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
base = results[0]["median"]
for r in results:
    print(f"{r['command']}: median {r['median'] * 1000:.1f} ms ({r['median'] / base:.2f}x)")
PY
