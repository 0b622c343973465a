#!/usr/bin/env bash
# Sets up, then builds and runs every test twice: a normal build in build/ and a build
# with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/; between the two,
# every fuzzer runs for 30 seconds. Then the Windows build (build-windows/, cross-built
# with mingw-w64) and its tests under Wine.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
pagelift_install_packages

echo "== normal build (build/)"
pagelift_build build
(cd "$PAGELIFT_ROOT/build" && ctest --output-on-failure --timeout 300 -j"$(nproc)")

echo "== fuzzing (build-fuzz/), 30 seconds a target"
bash "$PAGELIFT_ROOT/scripts/fuzz.sh" 30

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build (build-asan/)"
pagelift_build build-asan -DPAGELIFT_SANITIZE=ON -DPAGELIFT_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$PAGELIFT_ROOT/build-asan" && ctest --output-on-failure --timeout 300 -j"$(nproc)")

echo "== Windows build (build-windows/), its tests under Wine"
bash "$PAGELIFT_ROOT/scripts/test_windows.sh"
