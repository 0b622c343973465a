#!/usr/bin/env bash
# Cross-builds Pagelift for Windows into build-windows/ with mingw-w64 and runs its tests
# under Wine, on a virtual display, in a Wine prefix of its own (build-windows/wineprefix, about 700 MB),
# comparing the Windows programs with the Linux build's in build/ when that is there.
# Run by test.sh after the Linux builds.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
pagelift_install_packages

build=$PAGELIFT_ROOT/build-windows
prefix=$build/wineprefix
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEARCH=win64
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ftp_proxy all_proxy ALL_PROXY no_proxy

# One virtual display for every Wine program of the run: Wine makes no window without one,
# and the session's desktop process keeps the display it started with.
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
display_pid=$!
read -r -t 10 -u "$display_fd" display_number
export DISPLAY=":$display_number"

# Wine refuses a prefix that belongs to someone else (root's, say, from an earlier run).
if [ -e "$prefix" ] && [ ! -O "$prefix" ]; then rm -rf "$prefix"; fi
mkdir -p "$build"
# The prefix is booted and a wineserver kept running before the build: test discovery runs
# the tests while building, and each would otherwise start and stop a wineserver of its
# own (3 s a test), or hang when the first started inside a pipe.
[ -f "$prefix/system.reg" ] || wine wineboot -i </dev/null >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1 || true  # or one is running already
# Wine's services and its desktop process on the display, started here away from any pipe:
# started by the first test, they would hold its output open, which CTest waits on.
wine wineboot </dev/null >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$display_pid" 2>/dev/null || true' EXIT

linux_build=()
[ -x "$PAGELIFT_ROOT/build/pagelift-cli" ] && linux_build=(-DPAGELIFT_LINUX_BUILD="$PAGELIFT_ROOT/build")
pagelift_build build-windows -DCMAKE_TOOLCHAIN_FILE="$PAGELIFT_ROOT/cmake/mingw-w64.cmake" \
  -DPAGELIFT_BENCH=OFF "${linux_build[@]}"
rm -f "$prefix.restarts"
status=0
(cd "$build" && ctest --output-on-failure --timeout 300 -j"$(nproc)") || status=$?
if [ -s "$prefix.restarts" ]; then
  echo "Wine failed to start these programs, each of which was then run once more:"
  cat "$prefix.restarts"
fi
exit "$status"
