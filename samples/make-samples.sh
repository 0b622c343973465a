#!/usr/bin/env bash
# Writes sample.utf8.html again in the other five codes the judgement knows.
# UTF-7 runs are closed with an explicit "-", as many mailers and browsers write them.
set -euo pipefail
cd "$(dirname "$0")"
label() { sed "s/charset=\"UTF-8\"/charset=\"$1\"/" sample.utf8.html; }
label Shift_JIS | iconv -f UTF-8 -t CP932 > sample.sjis.html
label ISO-2022-JP | iconv -f UTF-8 -t ISO-2022-JP > sample.jis.html
label EUC-JP | iconv -f UTF-8 -t EUC-JP > sample.euc.html
{ printf '\xff\xfe'; label UTF-16 | iconv -f UTF-8 -t UTF-16LE; } > sample.utf16.html
label UTF-7 | python3 -c '
import re, sys
text = sys.stdin.read().encode("utf-7").decode("ascii")
sys.stdout.write(re.sub(r"\+([A-Za-z0-9/]+)(?!-)", r"+\1-", text))
' > sample.utf7.html
