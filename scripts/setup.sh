#!/usr/bin/env bash
# Installs what Pagelift needs to build and test on Debian, and configures and builds it.
# Quiet when everything is already there. Sourced by run.sh and test.sh.

PAGELIFT_PACKAGES=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  # JSON for the HTML tokenizer's conformance suite (header-only: the Windows build uses it too)
  nlohmann-json3-dev
  libicu-dev libcurl4-openssl-dev ca-certificates
  libcpp-httplib-dev tinyproxy curl
  # an HTTPS test server with a certificate of its own
  libssl-dev
  # the window toolkit and a Japanese gothic font
  qt6-base-dev fonts-ipafont-gothic
  # the Clipboard of a Wayland desktop: wl-copy, and the Wayland client library (with
  # wayland-scanner) that asks the compositor whether wl-copy's protocol is there and that
  # pagelift-wl-clipboard is built on; wl-paste reads the Clipboard in its test
  libwayland-dev wl-clipboard
  # the start of an X11 Clipboard, read without fetching all of it
  libxcb1-dev
  # a virtual display and a screenshot of the settings dialog
  xvfb imagemagick
  # the Unicode tables of the line breaking (LineBreak.txt, EastAsianWidth.txt) and the
  # script that makes them
  unicode-data python3
  # the fuzzers
  clang libclang-rt-dev
  # the main form's model, made and checked by scripts/main_model/train.py
  python3-xgboost python3-numpy python3-sklearn
  # the Windows build: a compiler for Windows (the posix thread model, which has std::thread),
  # its zlib for the download tests, Wine to run it, and NSIS for its installer
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 nsis
  # the end-to-end test of the tray program: a tray host, a mouse and the Clipboard
  trayer xdotool xclip x11-utils
  # a StatusNotifierItem tray of our own on a session bus
  dbus-daemon dbus-bin python3-dbus python3-gi
  # headless Wayland compositors, XWayland for Mutter, and Qt's Wayland platform
  sway kwin-wayland mutter xwayland qt6-wayland
  # the Debian package, its manual pages, and the tools that check it and its metadata
  dpkg-dev help2man go-md2man lintian appstream desktop-file-utils
)

pagelift_install_packages() {
  local missing=() package
  for package in "${PAGELIFT_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# pagelift_build DIR [CMAKE_ARGS...]: configure (once) and build into DIR.
pagelift_build() {
  local dir=$1
  shift
  cmake -S "$PAGELIFT_ROOT" -B "$PAGELIFT_ROOT/$dir" -G Ninja "$@" >/dev/null
  cmake --build "$PAGELIFT_ROOT/$dir" -- -j"$(nproc)"
}

PAGELIFT_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
