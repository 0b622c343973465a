#!/usr/bin/env bash
# wine_run.sh PREFIX PROGRAM [ARGUMENT...]: runs a Windows program of the build under Wine,
# headless, in the Wine prefix PREFIX (booted on first use), and returns its exit status.
# CTest runs every Windows test through it, and so does test discovery at build time.
#
# With PAGELIFT_WITH_SERVERS set to a Linux program that serves pages on loopback and
# prints its port, that program and a real tinyproxy run on the Linux side for as long as
# the Windows program does, each on a free loopback port: the download tests' servers,
# which a Windows program cannot start. The program finds the pages in
# PAGELIFT_PAGE_SERVER, an HTTPS server with a certificate of its own making in
# PAGELIFT_UNTRUSTED_SERVER, a proxy that forbids everything in PAGELIFT_FORBIDDING_PROXY,
# the proxy in PAGELIFT_TINYPROXY (all host:port) and the proxy's log in
# PAGELIFT_TINYPROXY_LOG (a Windows path).
set -u
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEARCH=win64
# WinINet's system settings follow these, and the tests talk to loopback only.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ftp_proxy all_proxy ALL_PROXY no_proxy

if [ -e "$prefix" ] && [ ! -O "$prefix" ]; then
  echo "wine_run.sh: $prefix is not owned by $(id -un): Wine refuses it; remove it" >&2
  exit 125
fi
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  wine wineboot -i </dev/null >/dev/null 2>&1
fi
# A wineserver that outlives this program, so that the next one starts at once, and Wine's
# own services with it: started away from our output, which CTest waits on until every
# holder has closed it. (When one runs already, wineserver -p says so and fails.)
if wineserver -p </dev/null >/dev/null 2>&1; then
  wine wineboot </dev/null >/dev/null 2>&1
fi

proxy_dir=""
proxy_pid=""
if [ -n "${PAGELIFT_WITH_SERVERS:-}" ]; then
  proxy_dir=$(mktemp -d /tmp/pagelift-wine-proxy.XXXXXX)
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  cat >"$proxy_dir/tinyproxy.conf" <<CONF
Port $port
Listen 127.0.0.1
Timeout 30
LogFile "$proxy_dir/tinyproxy.log"
LogLevel Info
MaxClients 10
Allow 127.0.0.1
CONF
  /usr/bin/tinyproxy -d -c "$proxy_dir/tinyproxy.conf" </dev/null >/dev/null 2>&1 &
  proxy_pid=$!
  for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.05
  done
  export PAGELIFT_TINYPROXY=127.0.0.1:$port PAGELIFT_TINYPROXY_LOG="Z:$proxy_dir/tinyproxy.log"
fi

pages_dir=""
pages_pid=""
if [ -n "${PAGELIFT_WITH_SERVERS:-}" ]; then
  pages_dir=$(mktemp -d /tmp/pagelift-wine-pages.XXXXXX)
  "$PAGELIFT_WITH_SERVERS" </dev/null >"$pages_dir/port" 2>/dev/null &
  pages_pid=$!
  for _ in $(seq 100); do
    [ "$(wc -l <"$pages_dir/port")" -ge 3 ] && break
    sleep 0.05
  done
  export PAGELIFT_PAGE_SERVER=127.0.0.1:$(sed -n 1p "$pages_dir/port")
  export PAGELIFT_UNTRUSTED_SERVER=127.0.0.1:$(sed -n 2p "$pages_dir/port")
  export PAGELIFT_FORBIDDING_PROXY=127.0.0.1:$(sed -n 3p "$pages_dir/port")
fi

# Wine now and then fails to start a program at all: an exit status within milliseconds and
# not a byte of output (seen once in some thousands of runs, where its loader's own errors
# are silenced). Such a run is made once more and written down in $prefix.restarts, which
# test_windows.sh shows. A program that printed anything, or ran for a second, stands.
out=$(mktemp /tmp/pagelift-wine-out.XXXXXX)
err=$(mktemp /tmp/pagelift-wine-err.XXXXXX)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2; do
  started=$(date +%s%N)
  wine "$@" >"$out" 2>"$err"
  status=$?
  took=$((($(date +%s%N) - started) / 1000000))
  if [ "$attempt" = 2 ] || [ "$status" = 0 ] || [ -s "$out" ] || [ -s "$err" ] || [ "$took" -ge 1000 ]; then
    break
  fi
  echo "$(date -u +%FT%TZ) $* ended with status $status after $took ms and printed nothing; run again" \
    >>"$prefix.restarts"
done
cat "$out"
cat "$err" >&2

if [ -n "$pages_pid" ]; then
  kill "$pages_pid" 2>/dev/null
  wait "$pages_pid" 2>/dev/null
fi
[ -n "$pages_dir" ] && rm -rf "$pages_dir"
if [ -n "$proxy_pid" ]; then
  kill "$proxy_pid" 2>/dev/null
  wait "$proxy_pid" 2>/dev/null
fi
[ -n "$proxy_dir" ] && rm -rf "$proxy_dir"
exit $status
