#!/usr/bin/env bash
# Builds the targets of one or more trees: native (libStats.so, replay tool, tests,
# benchmark), 64-bit and 32-bit Windows (the plug-in, the replay tool and the Wine test
# programs; the 32-bit DLL is the one a 32-bit host loads) and the portable core's tests
# as static 32-bit Linux programs (linux32). "tool" is the native tree's plug-in and
# replay tool only: what scoring a log needs (scripts/run.sh), built in build/native
# with the same settings, so a later "native" build goes on from it. "ship" is what the
# release package holds, built in the win32 and win64 trees with their settings
# (scripts/release.sh): a later win32 or win64 build goes on from it, and the release
# after a test run reuses what the tests ran.
# The 32-bit Windows test programs are built only where the kernel runs 32-bit programs
# (scripts/ia32.sh): elsewhere Wine cannot start them, and the 32-bit tree builds what is
# shipped.
# Usage: scripts/build.sh [--root DIR] [tool|native|win64|win32|linux32|ship|all]...
#        (default all; the trees are folders of DIR, default build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}
build_root=$root/build
if [ "${1:-}" = --root ]; then
  [ $# -ge 2 ] || { echo "build.sh: --root needs a folder" >&2; exit 2; }
  mkdir -p "$2"
  build_root=$(cd "$2" && pwd)
  shift 2
fi

# Configures DIR with the given cmake arguments (again when they changed since the last
# time, so that an older build folder picks up new settings) and builds TARGETS (all
# when empty). Ninja: a third quicker than make on the same tree, and a build that has
# nothing to do returns at once.
configure() {  # dir, targets, extra cmake arguments...
  local dir=$1 targets=$2; shift 2
  local args=(-G Ninja -DCMAKE_BUILD_TYPE=Release "$@") record
  record=$(printf '%q ' "${args[@]}")
  if [ ! -f "$dir/CMakeCache.txt" ] || [ "$(cat "$dir/configured-with" 2>/dev/null)" != "$record" ]; then
    mkdir -p "$dir"
    # A folder made by another generator cannot be configured for this one.
    if [ -f "$dir/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$dir/CMakeCache.txt"; then
      rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
    fi
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

# The trees but the native one are unity builds (each target's sources compiled a few at
# a time as one file): a third less build time, measured. The native tree, the one
# developers rebuild after each change, compiles every file alone, and so keeps every
# file's includes honest.
unity=-DCMAKE_UNITY_BUILD=ON
win64_args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-x86_64.cmake" "$unity")
win32_args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-i686.cmake" "$unity")
shipped32="Stats modepad talven-replay"
build() {  # tree
  case $1 in
    tool)    configure "$build_root/native" "Stats talven-replay" -DTALVEN_BENCH=ON ;;
    native)  configure "$build_root/native" "" -DTALVEN_BENCH=ON ;;
    win64)   configure "$build_root/win64" "" "${win64_args[@]}" ;;
    win32)   if bash "$root/scripts/ia32.sh" check >/dev/null; then
               configure "$build_root/win32" "" "${win32_args[@]}"
             else
               configure "$build_root/win32" "$shipped32" "${win32_args[@]}"
             fi ;;
    ship)    configure "$build_root/win32" "$shipped32" "${win32_args[@]}"
             configure "$build_root/win64" "Stats" "${win64_args[@]}" ;;
    # Only the test programs: the rest of that build (a 32-bit libStats.so, a static
    # replay tool) is of no use.
    linux32) configure "$build_root/linux32" "unit_tests contest_tests host_call_tests" \
               -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/linux-i386.cmake" -DTALVEN_STATIC_TESTS=ON "$unity" ;;
    all)     for t in native win64 win32 linux32; do build $t; done ;;
    *) echo "usage: $0 [--root DIR] [tool|native|win64|win32|linux32|ship|all]..." >&2; exit 2 ;;
  esac
}
[ $# -gt 0 ] || set -- all
for tree in "$@"; do build "$tree"; done
