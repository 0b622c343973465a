#!/usr/bin/env bash
# The test that the committed model (src/text/main_model_table.inc) is what train.py makes
# from ../shared/data, and that the program weighs blocks as XGBoost does. Skipped (exit 77)
# where ../shared or Debian's python3-xgboost is absent.
#
# Usage: check.sh BUILD_DIR CACHE_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
shared=$here/../../../shared
if [ ! -d "$shared/data/wcxb" ] || [ ! -d "$shared/data/textq" ]; then
  echo "no ../shared/data beside the sources: skipped"
  exit 77
fi
if ! /usr/bin/python3 -c 'import xgboost, numpy' 2>/dev/null; then
  echo "no python3-xgboost: skipped"
  exit 77
fi
exec /usr/bin/python3 "$here/train.py" check --build "$1" --cache "$2" --shared "$shared"
