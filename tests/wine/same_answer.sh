#!/usr/bin/env bash
# The same logs replayed natively (libStats.so) and under Wine (the Stats.dll and
# talven-replay.exe of a mingw build: 64-bit under wine64, 32-bit under the 32-bit
# loader) must give the same summary and the same bad-QSO report, byte for byte once
# line ends are normalised (each system's console and text files have their own: LF
# natively, CR LF on Windows).
#
#   tests/wine/same_answer.sh NATIVE_BUILD WIN_BUILD
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-lib.sh"
root=$(cd "$here/../.." && pwd)
native=$(cd "${1:?usage: same_answer.sh NATIVE_BUILD WIN_BUILD}" && pwd)
win=$(cd "${2:?usage: same_answer.sh NATIVE_BUILD WIN_BUILD}" && pwd)
passed=0
failed=0

# Shares the lock of the other Wine tests of this build folder.
mkdir -p "$win/wine-state"
exec 8>"$win/wine-state/tests.lock"
flock -w 900 8 || { echo "same answer: the Wine environment is busy"; echo "0 passed, 1 failed"; exit 1; }
started_here=0
"$root/scripts/wine-env.sh" status "$win" >/dev/null 2>&1 8>&- || started_here=1
trap '[ $started_here -eq 1 ] && "$root/scripts/wine-env.sh" stop "$win" 8>&-' EXIT
env_lines=$("$root/scripts/wine-env.sh" start "$win" 8>&-) || { echo "0 passed, 1 failed"; exit 1; }
eval "$env_lines"
if ! loader=$("$root/scripts/wine-env.sh" loader "$win/bin/talven-replay.exe" 2>&1); then
  echo "FAIL same answer: $loader"
  echo "0 passed, 1 failed"
  exit 1
fi

cty=/usr/share/hamradio-files/cty.dat

for case in "data/sample.log|" "data/sample.log|--html" "tests/data/logs/9a1a.log|" "tests/data/logs/uw1m.log|" \
            "tests/data/logs/ab1j.log|--html"; do
  log=${case%%|*}
  opts=${case#*|}
  work=$(mktemp -d)
  mkdir -p "$work/n/Plugins" "$work/w/Plugins"
  # shellcheck disable=SC2086
  "$native/bin/talven-replay" --plugin "$native/bin/libStats.so" --cty "$cty" --out-dir "$work/n" $opts \
    "$root/$log" >"$work/n.summary" 2>"$work/n.err"
  # shellcheck disable=SC2086
  (cd "$work/w" && timeout -k 5 120 "$loader" "$win/bin/talven-replay.exe" \
    --plugin "$(windows_path "$win/bin/Stats.dll")" --cty "$(windows_path "$cty")" $opts \
    "$(windows_path "$root/$log")" >"$work/w.summary" 2>"$work/w.err" </dev/null 8>&-)
  ok=1
  if ! cmp -s <(tr -d '\r' <"$work/n.summary") <(tr -d '\r' <"$work/w.summary"); then
    echo "FAIL same answer $log $opts: summaries differ"
    diff <(tr -d '\r' <"$work/n.summary") <(tr -d '\r' <"$work/w.summary") | head -n 10
    tail -n 5 "$work/w.err"
    ok=0
  fi
  nr=$(ls "$work"/n/BadQSO_*.txt 2>/dev/null | head -n1)
  wr=$(ls "$work"/w/BadQSO_*.txt 2>/dev/null | head -n1)
  if [ -z "$nr" ] || [ -z "$wr" ] || ! cmp -s <(tr -d '\r' <"$nr") <(tr -d '\r' <"$wr"); then
    echo "FAIL same answer $log $opts: bad-QSO reports differ or are missing"
    ok=0
  fi
  if [ $ok = 1 ]; then passed=$((passed + 1)); echo "PASS same answer $log $opts"; else failed=$((failed + 1)); fi
  rm -rf "$work"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
