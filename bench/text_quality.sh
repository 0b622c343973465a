#!/usr/bin/env bash
# Scores pagelift-cli's text forms with the textq scorer and its pages with gold text
# (../shared/data/textq beside the repository, or TEXTQ_DIR), and prints each form's table
# beside the peers the scorer's README measured.
#
# Usage: bench/text_quality.sh [BUILD_DIR]      (default build/)
#   TEXTQ_DIR=DIR         the textq folder (its textq.py and sets/)
#   TEXTQ_RESULTS=DIR     where the results are kept (default: a folder of its own under
#                         /tmp; the shared copy may be read-only)
#   FORMS="as-is readable main" the forms to score (default: all three)
#   OUTPUTS=DIR           also keep every output text there, for a look
# The main form's model is chosen, and scored by folds of sites, by scripts/main_model/train.py.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cli=$build/pagelift-cli
textq=${TEXTQ_DIR:-$root/../shared/data/textq}
[ -x "$cli" ] || { echo "no $cli: build first" >&2; exit 2; }
[ -f "$textq/textq.py" ] || { echo "no textq at $textq (set TEXTQ_DIR)" >&2; exit 2; }
export TEXTQ_RESULTS=${TEXTQ_RESULTS:-/tmp/pagelift-textq}
mkdir -p "$TEXTQ_RESULTS"
forms=${FORMS:-as-is readable main}
names=()
for form in $forms; do
  name=pagelift-$form
  names+=("$name")
  save=()
  [ -n "${OUTPUTS:-}" ] && save=(--save-outputs "$OUTPUTS")
  python3 "$textq/textq.py" run --quiet --force --name "$name" "${save[@]}" \
    --cmd "$cli text --form $form {raw}" >/dev/null
done
tools=$(IFS=,; echo "${names[*]}")
python3 "$textq/textq.py" table --tools "$tools"
python3 "$textq/textq.py" table --tools "$tools" --overview

