#!/usr/bin/env bash
# Builds the targets of one or more trees: native (libStats.so, replay tool, tests,
# benchmark), 64-bit and 32-bit Windows (the plug-in, the replay tool and the Wine test
# programs; the 32-bit DLL is the one a 32-bit host loads) and the portable core's tests
# as static 32-bit Linux programs (linux32). "tool" is the native tree's plug-in and
# replay tool only: what scoring a log needs (scripts/run.sh), built in build/native
# with the same settings, so a later "native" build goes on from it.
# Usage: scripts/build.sh [tool|native|win64|win32|linux32|all]...   (default all)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}

# Configures DIR with the given cmake arguments (again when they changed since the last
# time, so that an older build folder picks up new settings) and builds TARGETS (all
# when empty).
configure() {  # dir, targets, extra cmake arguments...
  local dir=$1 targets=$2; shift 2
  local args=(-DCMAKE_BUILD_TYPE=Release "$@") record
  record=$(printf '%q ' "${args[@]}")
  if [ ! -f "$dir/CMakeCache.txt" ] || [ "$(cat "$dir/configured-with" 2>/dev/null)" != "$record" ]; then
    mkdir -p "$dir"
    cmake -S "$root" -B "$dir" "${args[@]}" >/dev/null
    echo "$record" >"$dir/configured-with"
  fi
  local target_args=()
  for t in $targets; do target_args+=(--target "$t"); done
  if ! cmake --build "$dir" -j "$jobs" "${target_args[@]}" >"$dir/build.log" 2>&1; then
    cat "$dir/build.log" >&2
    echo "build failed in $dir" >&2
    exit 1
  fi
}

build() {  # tree
  case $1 in
    tool)    configure "$root/build/native" "Stats talven-replay" -DTALVEN_BENCH=ON ;;
    native)  configure "$root/build/native" "" -DTALVEN_BENCH=ON ;;
    win64)   configure "$root/build/win64" "" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-x86_64.cmake" ;;
    win32)   configure "$root/build/win32" "" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-i686.cmake" \
               -DTALVEN_TESTS=ON ;;
    # Only the test programs: the rest of that build (a 32-bit libStats.so, a static
    # replay tool) is of no use.
    linux32) configure "$root/build/linux32" "unit_tests contest_tests host_call_tests" \
               -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/linux-i386.cmake" -DTALVEN_STATIC_TESTS=ON ;;
    all)     for t in native win64 win32 linux32; do build $t; done ;;
    *) echo "usage: $0 [tool|native|win64|win32|linux32|all]..." >&2; exit 2 ;;
  esac
}
[ $# -gt 0 ] || set -- all
for tree in "$@"; do build "$tree"; done
