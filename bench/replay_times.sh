#!/usr/bin/env bash
# Times talven-replay end to end (reading the log, the country file, every export
# call) on the largest real log and on a generated 100,000-QSO log, without and with
# the analysis page (--report), and gives the page's size.
#   bench/replay_times.sh [NATIVE_BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/make_big_log.py" 100000 "$work/big.log"

best_of_3() {  # command... -> the shortest wall time of three runs, in seconds
  local best=999 s t
  for _ in 1 2 3; do
    s=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || true
    t=$(awk -v a="$s" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }')
    best=$(awk -v a="$best" -v b="$t" 'BEGIN { print (b < a) ? b : a }')
  done
  echo "$best"
}

for log in "$root/tests/data/logs/9a1a.log" "$work/big.log"; do
  mkdir -p "$work/out/Plugins"
  name=$(basename "$log")
  lines=$(grep -c '^QSO:' "$log")
  plain=$(best_of_3 "$build/bin/talven-replay" --out-dir "$work/out" "$log")
  printf '%-10s %7d QSO lines: %s s (best of 3, whole run)\n' "$name" "$lines" "$plain"
  page=$(best_of_3 "$build/bin/talven-replay" --out-dir "$work/out" --report "$work/out/page.html" "$log")
  printf '%-10s %7d QSO lines: %s s with --report (%s s more), page %s kB\n' "$name" "$lines" "$page" \
    "$(awk -v a="$plain" -v b="$page" 'BEGIN { printf "%.3f", b - a }')" "$(($(wc -c <"$work/out/page.html") / 1024))"
done
