#!/usr/bin/env bash
# Sets up, builds, and shows the code judgement on the sample pages.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
pagelift_install_packages
pagelift_build build >/dev/null
for page in "$PAGELIFT_ROOT"/samples/sample.*.html; do
  echo "== ${page#"$PAGELIFT_ROOT"/}"
  "$PAGELIFT_ROOT/build/pagelift-cli" judge --scores "$page"
done
