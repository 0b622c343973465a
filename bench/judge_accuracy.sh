#!/usr/bin/env bash
# Counts, per encoding, how many pages of the corpus that ../shared/tools/make_corpus.sh
# builds are named right by `pagelift-cli judge` (the scores alone) and by
# `pagelift-cli judge --page` (what "自動判定" uses).
# usage: bench/judge_accuracy.sh CORPUS_DIR [PAGELIFT_CLI]
set -euo pipefail
corpus=${1:?usage: $0 CORPUS_DIR [PAGELIFT_CLI]}
cli=${2:-$(dirname "$0")/../build/pagelift-cli}

declare -A expected=([utf8]=UTF8 [utf8bom]=UTF8 [utf16le]=UNICODE [cp932]=SJIS [eucjp]=EUC
  [iso2022jp]=JIS [utf7]=UTF7)
declare -A pages=() scores_right=() page_right=()

while IFS=$'\t' read -r path encoding _; do
  [ "$path" = path ] && continue
  pages[$encoding]=$((${pages[$encoding]:-0} + 1))
  [ "$("$cli" judge "$corpus/$path")" = "${expected[$encoding]}" ] &&
    scores_right[$encoding]=$((${scores_right[$encoding]:-0} + 1))
  [ "$("$cli" judge --page "$corpus/$path")" = "${expected[$encoding]}" ] &&
    page_right[$encoding]=$((${page_right[$encoding]:-0} + 1))
done <"$corpus/manifest.tsv"

printf '| encoding | pages | judge (scores) | judge --page |\n|---|---|---|---|\n'
for encoding in utf8 utf8bom utf16le cp932 eucjp iso2022jp utf7; do
  n=${pages[$encoding]:-0}
  [ "$n" -eq 0 ] && continue
  s=${scores_right[$encoding]:-0} p=${page_right[$encoding]:-0}
  printf '| %s | %d | %d (%s %%) | %d (%s %%) |\n' "$encoding" "$n" "$s" \
    "$(awk -v a="$s" -v b="$n" 'BEGIN{printf "%.1f", 100*a/b}')" "$p" \
    "$(awk -v a="$p" -v b="$n" 'BEGIN{printf "%.1f", 100*a/b}')"
done
