#!/usr/bin/env bash
# Compares pagelift-cli with iconv, nkf, w3m and html2text on a Shift_JIS page of about
# 10 MB made of real Japanese pages, side by side in hyperfine runs, one after another
# ROUNDS times so that a disturbance of the machine falls on every command alike. Prints,
# for each command, the median over the rounds of its median time and of its mean user and
# system times, the MB/s of its input, its peak resident memory and its time against
# iconv's (iconv only decodes; it is the speed to beat).
#
# Usage: bench/compare.sh [BUILD_DIR]        (default build/)
#   RUNS=N                   runs per command in a round (default 10)
#   ROUNDS=N                 rounds (default 3)
#   PAGELIFT_CORPUS=DIR      where the corpus is built, once (default /tmp/plcorpus)
#   PAGELIFT_CORPUS_SCRIPT   the corpus script (default ../shared/tools/make_corpus.sh
#                            beside the repository)
# Installs hyperfine, nkf, w3m, html2text and time with apt-get when they are missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cli=$build/pagelift-cli
runs=${RUNS:-10}
rounds=${ROUNDS:-3}
corpus=${PAGELIFT_CORPUS:-/tmp/plcorpus}
corpus_script=${PAGELIFT_CORPUS_SCRIPT:-$root/../shared/tools/make_corpus.sh}
[ -x "$cli" ] || { echo "no $cli: build first" >&2; exit 2; }

missing=()
for tool in hyperfine:hyperfine nkf:nkf w3m:w3m html2text:html2text /usr/bin/time:time; do
  command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

if [ ! -s "$corpus/manifest.tsv" ]; then
  [ -f "$corpus_script" ] || { echo "no corpus script at $corpus_script" >&2; exit 2; }
  bash "$corpus_script" -o "$corpus" --encodings "cp932" >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The Shift_JIS pages in the manifest's order, until they make 10,000,000 bytes.
page=$work/page.sjis.html
awk -F'\t' '$2 == "cp932" { print $1; total += $3; if (total >= 10000000) exit }' \
  "$corpus/manifest.tsv" | (cd "$corpus" && xargs cat) >"$page"
pages=$(awk -F'\t' '$2 == "cp932" { n++; total += $3; if (total >= 10000000) exit } END { print n }' \
  "$corpus/manifest.tsv")
iconv -f CP932 -t UTF-8 "$page" >"$work/page.utf8.txt"
head -c 1024 "$page" >"$work/page.1k.html"
echo "page: $(stat -c %s "$page") bytes of Shift_JIS, $pages pages of $corpus"

# name@@input file@@command (the command may hold a pipe)
commands=(
  "iconv -f CP932 -t UTF-8 (decode only)@@$page@@iconv -f CP932 -t UTF-8 $page"
  "nkf -S -w (decode only)@@$page@@nkf -S -w $page"
  "pagelift-cli decode --code SJIS@@$page@@$cli decode --code SJIS $page"
  "pagelift-cli text --code SJIS --width 100@@$page@@$cli text --code SJIS --width 100 $page"
  "pagelift-cli text --width 100 (自動判定)@@$page@@$cli text --width 100 $page"
  "pagelift-cli fold --width 100 (of the UTF-8 text)@@$work/page.utf8.txt@@$cli fold --width 100 $work/page.utf8.txt"
  "pagelift-cli judge@@$page@@$cli judge $page"
  "pagelift-cli judge (first 1 KB)@@$work/page.1k.html@@$cli judge $work/page.1k.html"
  "w3m -dump@@$page@@w3m -dump -I Shift_JIS -O UTF-8 -T text/html -cols 100 $page"
  "nkf -w | html2text@@$page@@nkf -S -w $page | html2text -utf8 -width 100"
)

args=()
for entry in "${commands[@]}"; do args+=("${entry##*@@}"); done
for round in $(seq "$rounds"); do
  hyperfine --warmup 2 --runs "$runs" --style none --export-json "$work/times.$round.json" \
    "${args[@]}" >/dev/null 2>"$work/hyperfine.err" || { cat "$work/hyperfine.err" >&2; exit 1; }
done

for i in "${!commands[@]}"; do
  command=${commands[$i]##*@@}
  /usr/bin/time -f %M -o "$work/rss.$i" sh -c "$command" >/dev/null 2>&1 || true
done

python3 - "$work" "$rounds" "${commands[@]}" <<'PY'
import json, os, statistics, sys
work, rounds, entries = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
results = [json.load(open(os.path.join(work, "times.%d.json" % r)))["results"]
           for r in range(1, rounds + 1)]
rows = []
for i, entry in enumerate(entries):
    name, path, _ = entry.split("@@", 2)
    size = os.path.getsize(path)
    rss = int(open(os.path.join(work, "rss.%d" % i)).read().split()[-1])
    of = lambda key: statistics.median(round_results[i][key] for round_results in results)
    median = of("median")
    rows.append((name, median, of("user"), of("system"), size / median / 1e6, rss / 1024))
base = rows[0][1]
print("| command | median | user | system | MB/s of input | peak RSS | time / iconv's |")
print("|---|---|---|---|---|---|---|")
for name, median, user, system, speed, rss in rows:
    print("| `%s` | %.4f s | %.4f s | %.4f s | %.1f | %.1f MiB | %.2f |" %
          (name, median, user, system, speed, rss, median / base))
median = {row[0]: row[1] for row in rows}
print()
print("text 自動判定 / text SJIS: %.3f" % (median["pagelift-cli text --width 100 (自動判定)"] /
                                      median["pagelift-cli text --code SJIS --width 100"]))
print("judge 10 MB / judge 1 KB: %.2f" % (median["pagelift-cli judge"] /
                                         median["pagelift-cli judge (first 1 KB)"]))
PY
