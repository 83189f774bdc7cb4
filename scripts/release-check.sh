#!/usr/bin/env bash
# Tests the release package: builds it (scripts/release.sh, in the trees the tests
# built and ran, so after them it only packs), then checks that the zip
# holds exactly the expected files, that its checksum file matches, that the 32-bit
# Stats.dll is a 32-bit DLL exporting every name the host binds and importing only
# system DLLs, that every DLL and program carries the project's version in its version
# resource, and that a second build from scratch in another folder gives the same
# bytes (built again only when the release's inputs or the zip changed since the last
# time it did). Ends with "N passed, N failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
passed=0
failed=0
check() {  # description, command...
  local what=$1; shift
  if "$@"; then
    passed=$((passed + 1))
  else
    echo "release check FAILED: $what"
    failed=$((failed + 1))
  fi
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name=talven-cup-$version
zip=$root/dist/$name.zip
if ! bash "$root/scripts/release.sh"; then
  failed=1
  finish
fi

expected="$name/INSTALL.txt
$name/MASTER.SCP
$name/Stats.dll
$name/cty.dat
$name/modepad.exe
$name/talven-replay.exe
$name/x64/Stats.dll"
check "the zip lists exactly the expected files, sorted" \
  test "$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")" = "$expected"
check "the checksum file matches the zip" bash -c "cd '$root/dist' && sha256sum --quiet -c '$name.zip.sha256'"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$unpacked"
dir=$unpacked/$name
check "Stats.dll is the 32-bit DLL" bash -c "i686-w64-mingw32-objdump -f '$dir/Stats.dll' | grep -q 'file format pei-i386'"
check "x64/Stats.dll is the 64-bit DLL" bash -c "x86_64-w64-mingw32-objdump -f '$dir/x64/Stats.dll' | grep -q 'file format pei-x86-64'"
check "the 32-bit Stats.dll's exports and imports" bash "$root/scripts/check-exports.sh" "$dir/Stats.dll"
windows_text() {  # file: names the version, every line ends in CR LF
  grep -q "version $version" "$1" && [ "$(grep -c $'\r$' "$1")" = "$(wc -l <"$1")" ]
}
check "INSTALL.txt names the version and has Windows line ends" windows_text "$dir/INSTALL.txt"

# The fixed part of a version resource (VS_FIXEDFILEINFO) and its FileVersion text.
version_of() {  # PE file
  python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
if at < 0:
    sys.exit("no version resource")
ms, ls = struct.unpack_from("<II", data, at + 8)
fixed = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
key = "FileVersion".encode("utf-16-le") + b"\0\0"
k = data.find(key)
text = ""
if k >= 0:
    v = k + len(key)
    v += (4 - v % 4) % 4  # the value starts on a 32-bit boundary
    end = data.find(b"\0\0", v)
    while end >= 0 and (end - v) % 2:
        end = data.find(b"\0\0", end + 1)
    text = data[v:end].decode("utf-16-le")
print(fixed, text)
EOF
}
for f in Stats.dll x64/Stats.dll modepad.exe talven-replay.exe; do
  check "$f carries version $version.0" test "$(version_of "$dir/$f")" = "$version.0 $version.0"
done

# Built again from scratch in another folder: the same bytes. The build from scratch is
# done again only when something it is made from changed since the last time it gave the
# same bytes (the sources, the compilers, the country file, the last commit's time that
# dates the zip's entries), or when this zip's bytes differ from those of that time: the
# first build is incremental, so a build that is not reproducible shows there too.
inputs_key() {
  {
    git -C "$root" ls-files -z -- CMakeLists.txt cmake common stats host modepad docs/INSTALL.txt scripts/release.sh scripts/build.sh |
      (cd "$root" && xargs -0 sha256sum)
    git -C "$root" log -1 --format=%ct 2>/dev/null
    echo "${SOURCE_DATE_EPOCH:-}"
    i686-w64-mingw32-g++ --version | head -n1
    x86_64-w64-mingw32-g++ --version | head -n1
    cmake --version | head -n1
    dpkg-query -W hamradio-files 2>/dev/null
  } | sha256sum | cut -d' ' -f1
}
stamp=$root/build/release-check.passed  # the inputs' key and the zip's checksum of the last pass
key="$(inputs_key) $(sha256sum "$zip" | cut -d' ' -f1)"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$key" ]; then
  echo "release check: the same sources and the same zip bytes as the build from scratch of $(date -r "$stamp" '+%F %T'): not built again"
  passed=$((passed + 1))
  finish
fi
rm -f "$stamp"
again=$root/build/release-check
rm -rf "$again"
second=$(mktemp -d)
if bash "$root/scripts/release.sh" --build-root "$again" --dist "$second" >/dev/null; then
  same=false
  cmp "$zip" "$second/$name.zip" && same=true && echo "$key" >"$stamp"
  check "a second build from scratch gives the same zip bytes" $same
else
  check "a second build from scratch" false
fi
rm -rf "$second" "$again"
finish
