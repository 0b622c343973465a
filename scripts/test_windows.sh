#!/usr/bin/env bash
# Cross-builds Pagelift for Windows into build-windows/ with mingw-w64 and runs its tests
# under Wine, headless, in a Wine prefix of its own (build-windows/wineprefix, about 700 MB),
# comparing pagelift-cli.exe with the Linux build's build/pagelift-cli when that is there.
# Run by test.sh after the Linux builds.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
pagelift_install_packages

build=$PAGELIFT_ROOT/build-windows
prefix=$build/wineprefix
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ftp_proxy all_proxy ALL_PROXY no_proxy

# Wine refuses a prefix that belongs to someone else (root's, say, from an earlier run).
if [ -e "$prefix" ] && [ ! -O "$prefix" ]; then rm -rf "$prefix"; fi
mkdir -p "$build"
# The prefix is booted and a wineserver kept running before the build: test discovery runs
# the tests while building, and each would otherwise start and stop a wineserver of its
# own (3 s a test), or hang when the first started inside a pipe.
[ -f "$prefix/system.reg" ] || wine wineboot -i </dev/null >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1 || true  # or one is running already
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

linux_cli=()
[ -x "$PAGELIFT_ROOT/build/pagelift-cli" ] &&
  linux_cli=(-DPAGELIFT_LINUX_CLI="$PAGELIFT_ROOT/build/pagelift-cli")
pagelift_build build-windows -DCMAKE_TOOLCHAIN_FILE="$PAGELIFT_ROOT/cmake/mingw-w64.cmake" \
  -DPAGELIFT_BENCH=OFF "${linux_cli[@]}"
(cd "$build" && ctest --output-on-failure --timeout 300 -j"$(nproc)")
