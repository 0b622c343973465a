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
#   SIGNALS=1             also score the main form with each of its signals switched off
#                         (pagelift-main-signals), and count the pages where no block stood
#                         out as an article
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

[ -n "${SIGNALS:-}" ] || exit 0
signals=$build/pagelift-main-signals
[ -x "$signals" ] || { echo "no $signals: build it first" >&2; exit 2; }
off_names=()
for signal in prose link_density class_names tags story_lists pictures title_lines lead_in \
  off_screen; do
  off_names+=("main-without-$signal")
  python3 "$textq/textq.py" run --quiet --force --name "main-without-$signal" \
    --cmd "$signals --off $signal {raw}" >/dev/null
done
echo "### The main form with one signal switched off"
echo
python3 - "$textq" "$signals" pagelift-main "${off_names[@]}" <<'PYTHON'
import gzip, subprocess, sys, tempfile
sys.path.insert(0, sys.argv[1])
import textq

signals, tools = sys.argv[2], sys.argv[3:]
sets = textq.available_sets()
key = {"readability": "F1", "scrapinghub": "F1", "aozora": "F1", "trafilatura": "sF1",
       "mercury-ja": "sR"}
print("| signal off | " + " | ".join(f"{s} {key[s]}" for s in sets) + " |")
print("|---|" + "---|" * len(sets))
base = {}
for tool in tools:
    cells = []
    for s in sets:
        recs = textq.load_records(tool, s)
        value = textq.summarize(recs, textq.load_manifest(s))[key[s]] if recs else None
        if tool == tools[0]:
            base[s] = value
            cells.append(f"{value:.3f}")
        else:
            cells.append(f"{value:.3f} ({value - base[s]:+.3f})")
    name = "none" if tool == tools[0] else tool.removeprefix("main-without-")
    print(f"| {name} | " + " | ".join(cells) + " |")

# The pages where no block stood out, and the readable form was given.
none = total = 0
with tempfile.NamedTemporaryFile(suffix=".html") as page:
    for s in sets:
        for row in textq.load_manifest(s):
            page.seek(0)
            page.truncate()
            page.write(textq.read_page_bytes(textq.SETS_DIR / s / "pages" / row["file"]))
            page.flush()
            told = subprocess.run([signals, "--tell", page.name], capture_output=True, text=True)
            total += 1
            none += told.stderr.strip() == "none"
print(f"\nNo block stood out on {none} of {total} pages ({100 * none / total:.1f} %).")
PYTHON
