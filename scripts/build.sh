#!/usr/bin/env bash
# Builds every target: native (libStats.so, replay tool, tests), 64-bit Windows (run
# under Wine by the tests) and 32-bit Windows (the DLL a 32-bit host loads).
# Usage: scripts/build.sh [native|win64|win32|all]   (default all)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}
what=${1:-all}

configure() {  # dir, extra cmake arguments...
  local dir=$1; shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  fi
  if ! cmake --build "$dir" -j "$jobs" >"$dir/build.log" 2>&1; then
    cat "$dir/build.log" >&2
    echo "build failed in $dir" >&2
    exit 1
  fi
}

case $what in
  native|all) configure "$root/build/native" -DTALVEN_BENCH=ON ;;&
  win64|all)  configure "$root/build/win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-x86_64.cmake" ;;&
  win32|all)  configure "$root/build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-i686.cmake" -DTALVEN_TESTS=OFF ;;
  native|win64|win32) ;;
  *) echo "usage: $0 [native|win64|win32|all]" >&2; exit 2 ;;
esac
