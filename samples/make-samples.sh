#!/usr/bin/env bash
# Writes sample.utf8.html again in the other five codes the judgement knows, and in
# UTF-16 with the high byte first.
# The page declares no charset, so that every copy holds the very same text.
# UTF-7 runs are closed with an explicit "-", as many mailers and browsers write them.
set -euo pipefail
cd "$(dirname "$0")"
iconv -f UTF-8 -t CP932 sample.utf8.html > sample.sjis.html
iconv -f UTF-8 -t ISO-2022-JP sample.utf8.html > sample.jis.html
iconv -f UTF-8 -t EUC-JP sample.utf8.html > sample.euc.html
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE sample.utf8.html; } > sample.utf16.html
{ printf '\xfe\xff'; iconv -f UTF-8 -t UTF-16BE sample.utf8.html; } > sample.utf16be.html
python3 -c '
import re, sys
text = sys.stdin.read().encode("utf-7").decode("ascii")
sys.stdout.write(re.sub(r"\+([A-Za-z0-9/]+)(?!-)", r"+\1-", text))
' < sample.utf8.html > sample.utf7.html
