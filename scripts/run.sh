#!/usr/bin/env bash
# The main job: score a log with the plug-in (the bundled sample log by default). Installs
# only what the native build and the replay need, builds only the native plug-in and the
# replay tool, and replays the log: prints the summary, writes the bad-QSO report, the
# Cabrillo file and the analysis page into out/ (or OUT_DIR), and says where they are.
#   scripts/run.sh [--windows] [LOG] [OUT_DIR]
# --windows also sets up and builds everything for Windows (cross-compilers, Wine, Xvfb)
# and opens the plug-in's operator windows beside the stand-in host under Wine, with the
# log replayed into them, and saves pictures of them in OUT_DIR/windows
# (scripts/operator_windows.sh; SHOW=1 with a real X display leaves them open).
# Exits with the replay tool's status (see talven-replay --help); 1 when LOG is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
windows=0
if [ "${1:-}" = --windows ]; then
  windows=1
  shift
fi
log=${1:-$root/data/sample.log}
out=${2:-$root/out}

if [ "$log" != - ] && [ ! -f "$log" ]; then
  if [ -e "$log" ]; then
    echo "run: '$log' is not a log file" >&2
  else
    echo "run: no log '$log'" >&2
  fi
  echo "usage: scripts/run.sh [--windows] [LOG] [OUT_DIR]" >&2
  exit 1
fi
[ "$log" = - ] || log=$(realpath "$log")

if [ "$windows" = 1 ]; then
  echo "run: 1/3 packages, Windows and Wine included (a first run installs them, which takes some minutes)"
  bash "$root/scripts/setup.sh" all
  echo "run: 2/3 build: the replay tool, 64- and 32-bit Windows (some minutes the first time)"
  bash "$root/scripts/build.sh" tool win64 win32
else
  echo "run: 1/3 packages for the native build (a first run installs them)"
  bash "$root/scripts/setup.sh" native
  echo "run: 2/3 build: the plug-in and the replay tool, native (about a minute the first time)"
  bash "$root/scripts/build.sh" tool
fi
echo "run: 3/3 scoring $log"
echo

# One run: the scoring run prints the summary with its rates, the export run that
# follows writes the Cabrillo file; the analysis page is one HTML file.
status=0
"$root/build/native/bin/talven-replay" --out-dir "$out" --utf8 --cabrillo --report "$out/analysis.html" "$log" ||
  status=$?

if [ "$windows" = 1 ] && [ "$log" != - ]; then
  echo
  echo "run: the operator windows beside the stand-in host"
  bash "$root/scripts/operator_windows.sh" "$root/build/win64" "$out/windows" "$log" || status=1
fi

echo
out=$(realpath "$out" 2>/dev/null || echo "$out")
echo "Files in $out:"
find "$out" -maxdepth 2 -type f \( -name '*.txt' -o -name '*.cbr' -o -name '*.ini' -o -name '*.html' -o -name '*.png' \) \
  2>/dev/null | sort | sed 's/^/  /'
[ -f "$out/analysis.html" ] && echo "The analysis page (open it in a browser): $out/analysis.html"
exit $status
