#!/usr/bin/env bash
# The main job: set up the machine, build every target, and replay the bundled sample
# log through the plug-in. Prints the summary; the bad-QSO report and the Cabrillo
# file land in out/ (or the folder given as the second argument).
#   scripts/run.sh [LOG] [OUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
log=$(realpath "${1:-$root/data/sample.log}")
out=${2:-$root/out}

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" all

mkdir -p "$out/Plugins"
replay="$root/build/native/bin/talven-replay"
# The summary with its rates, then the export run that writes the Cabrillo file
# (during an export the plug-in leaves the rates out of its summary).
status=0
"$replay" --out-dir "$out" --utf8 "$log" || status=$?
"$replay" --out-dir "$out" --cabrillo "$log" >/dev/null || status=$?
echo
echo "Files in $out:"
ls -1 "$out" | grep -E '\.(txt|cbr)$' | sed 's/^/  /'
exit $status
