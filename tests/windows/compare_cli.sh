#!/usr/bin/env bash
# compare_cli.sh LINUX_CLI "WINDOWS_CLI..." PAGE...: runs pagelift-cli of the Linux build
# and pagelift-cli.exe of the Windows build (the second argument, the program that runs
# it under Wine included) side by side on each page, for `judge --page`, `decode --code
# auto`, `text` in each form and `fold` (of the Linux build's text of the page), and
# compares their standard output and exit status byte for byte. Prints a line for each difference and a
# count at the end; exits 1 when anything differed.
set -u
linux=$1
read -r -a windows <<<"$2"
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
compared=0
differed=0
for page in "$@"; do
  "$linux" decode --code auto "$page" >"$work/utf8" 2>/dev/null
  for command in "judge --page" "decode --code auto" "text" "text --form readable" "text --form main" \
    "fold --width 40"; do
    input=$page
    [ "$command" = "fold --width 40" ] && input=$work/utf8
    # shellcheck disable=SC2086
    "$linux" $command "$input" >"$work/linux" 2>/dev/null
    linux_status=$?
    # shellcheck disable=SC2086
    "${windows[@]}" $command "$input" >"$work/windows" 2>/dev/null
    windows_status=$?
    # Under load Wine now and then fails to start a program at all: once more, then.
    if [ $windows_status -ne 0 ] && [ ! -s "$work/windows" ]; then
      # shellcheck disable=SC2086
      "${windows[@]}" $command "$input" >"$work/windows" 2>/dev/null
      windows_status=$?
    fi
    compared=$((compared + 1))
    if [ $linux_status -ne $windows_status ] || ! cmp -s "$work/linux" "$work/windows"; then
      differed=$((differed + 1))
      echo "differs: $command $page (status $linux_status and $windows_status;" \
        "$(cmp "$work/linux" "$work/windows" 2>&1 | head -c 200))"
    fi
  done
done
echo "$((compared - differed)) passed, $differed failed"
[ $differed -eq 0 ]
