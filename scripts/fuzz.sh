#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for SECONDS
# (default 30), starting from the seed corpus in fuzz/corpus/<target>/. What a run
# finds is saved in build-fuzz/; the seeds in the repository are left as they are.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
pagelift_install_packages
seconds=${1:-30}

pagelift_build build-fuzz -DPAGELIFT_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cd "$PAGELIFT_ROOT/build-fuzz"
for seeds in "$PAGELIFT_ROOT"/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  mkdir -p "corpus/$target" "artifacts/$target"
  if ! "./$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
      -print_final_stats=1 -artifact_prefix="artifacts/$target/" \
      "corpus/$target" "$seeds" >"$target.log" 2>&1; then
    tail -n 40 "$target.log"
    echo "fuzz: $target FAILED (log: build-fuzz/$target.log)"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$target.log")
  echo "fuzz: $target passed, $runs runs in ${seconds}s"
done
