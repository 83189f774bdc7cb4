#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine. Idempotent: when
# everything is there it returns at once without touching apt.
#
#   scripts/setup.sh [native|all]   (default all)
#
# native: what the native build and the replay of a log need (the compiler, CMake,
# GoogleTest, which the native tree's configuration asks for, and the country file);
# the main job (scripts/run.sh) installs no more. all: also the Windows cross-compilers,
# Wine, Xvfb, the sanitizers' and the fuzzer's compiler, and the browser that draws the
# analysis page in the tests.
#
# 32-bit programs (all only): where the kernel runs them (measured by scripts/ia32.sh),
# the i386 architecture is added and wine32 installed, so that the 32-bit Stats.dll and
# test programs run under Wine; where it does not, qemu-user-static is installed, which
# runs the static 32-bit Linux test programs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
what=${1:-all}

native_packages=(cmake ninja-build make g++ python3 googletest libgtest-dev libgmock-dev hamradio-files)
more_packages=(
  g++-multilib clang clang-format libclang-rt-14-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64
  wine64 xvfb imagemagick
  # The analysis page drawn by a browser (tests/report/browser_check.py).
  chromium
)
case $what in
  native) packages=("${native_packages[@]}") ;;
  all) packages=("${native_packages[@]}" "${more_packages[@]}") ;;
  *) echo "usage: $0 [native|all]" >&2; exit 2 ;;
esac

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
# Another installation may hold the package manager's lock for a while: wait for it.
apt_get() {
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 "$@"
}
installed() {  # package[:arch]
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}
updated=0
install() {  # packages...
  echo "setup: installing $*"
  if [ $updated -eq 0 ]; then
    apt_get update -qq
    updated=1
  fi
  apt_get install -y -qq "$@" >/dev/null
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] || install "${missing[@]}"

[ "$what" = all ] || exit 0
if ia32=$(bash "$here/ia32.sh" check); then
  if ! installed wine32:i386; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      echo "setup: adding the i386 architecture for wine32"
      $SUDO dpkg --add-architecture i386
      updated=0  # the i386 package lists are not there yet
    fi
    install wine32:i386
  fi
else
  echo "setup: no wine32: ${ia32#no: }; the 32-bit Linux tests run under qemu-i386-static"
  installed qemu-user-static || install qemu-user-static
fi
