#!/usr/bin/env bash
# Builds the release package: dist/talven-cup-<version>.zip and its checksum file
# dist/talven-cup-<version>.zip.sha256. Inside, under talven-cup-<version>/:
#   Stats.dll          the plug-in for the (32-bit) host
#   x64/Stats.dll      the same plug-in for a 64-bit host
#   modepad.exe        the mode switch (32-bit)
#   talven-replay.exe  the replay tool (32-bit, uses the Stats.dll beside it), its cty.dat
#                      and MASTER.SCP (the calls its analysis page checks against)
#   INSTALL.txt        where the files go, what the plug-in writes, update and uninstall
#
#   scripts/release.sh [--build-root DIR] [--dist DIR]
#
# The Windows programs are built in DIR/win32 and DIR/win64 (default build/, the trees
# of scripts/build.sh, with their settings), what is shipped only. The same sources give
# the same bytes: the PE headers carry no link time, and the zip has its entries sorted
# with fixed dates (the last commit's time, or SOURCE_DATE_EPOCH when set) and fixed
# attributes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=$root/build
dist=$root/dist
while [ $# -gt 0 ]; do
  case $1 in
    --build-root) build_root=$2; shift 2 ;;
    --dist) dist=$2; shift 2 ;;
    -h|--help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "release.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "release.sh: no version in CMakeLists.txt" >&2; exit 1; }
name=talven-cup-$version

bash "$root/scripts/build.sh" --root "$build_root" ship

win32=$build_root/win32/bin
for f in cty.dat MASTER.SCP; do
  [ -f "$win32/$f" ] || { echo "release.sh: no $f beside the replay tool (install hamradio-files)" >&2; exit 1; }
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/x64"
cp "$win32/Stats.dll" "$win32/modepad.exe" "$win32/talven-replay.exe" "$win32/cty.dat" "$win32/MASTER.SCP" "$stage/"
cp "$build_root/win64/bin/Stats.dll" "$stage/x64/"
# Windows line ends for the text a Windows user opens.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$root/docs/INSTALL.txt" >"$stage/INSTALL.txt"

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}
mkdir -p "$dist"
python3 - "$stage" "$dist/$name.zip" "$name" "$epoch" <<'EOF'
import os, sys, time, zipfile
stage, out, prefix, epoch = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
# Zip dates have two-second steps and start in 1980.
stamp = time.gmtime(max(epoch, 315532800))[:6]
files = sorted(os.path.relpath(os.path.join(d, f), stage) for d, _, fs in os.walk(stage) for f in fs)
with zipfile.ZipFile(out + ".part", "w") as z:
    for rel in files:
        info = zipfile.ZipInfo(prefix + "/" + rel.replace(os.sep, "/"), date_time=stamp)
        info.create_system = 0
        info.external_attr = 0
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(os.path.join(stage, rel), "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
os.replace(out + ".part", out)
EOF
(cd "$dist" && sha256sum "$name.zip" >"$name.zip.sha256")
echo "release: $dist/$name.zip ($(stat -c %s "$dist/$name.zip") bytes), sha256 $(cut -d' ' -f1 "$dist/$name.zip.sha256")"
