#!/usr/bin/env bash
# Static check of a built Stats.dll (meant for the 32-bit one the host loads, which
# cannot run here): every name of stats/exports.list is exported, the plain names
# carry no "@N" suffix and no leading underscore, and the DLL imports nothing a
# plain Windows installation might lack.
#
#   scripts/check-exports.sh build/win32/bin/Stats.dll
#
# Exit 0 when all holds, 1 otherwise (each fault on its own line).
set -u

here=$(cd "$(dirname "$0")" && pwd)
list=${EXPORTS_LIST:-$here/../stats/exports.list}
dll=${1:-}

fail() {
    echo "check-exports: $*" >&2
    exit 1
}

[ -n "$dll" ] || fail "usage: check-exports.sh PATH/TO/Stats.dll"
[ -f "$dll" ] || fail "$dll: no such file"
[ -f "$list" ] || fail "$list: no such file"

# The i686 objdump does not read 64-bit files and the other way round: take the first
# that understands the file.
dump=
for c in ${OBJDUMP:-} i686-w64-mingw32-objdump x86_64-w64-mingw32-objdump; do
    command -v "$c" >/dev/null || continue
    if out=$("$c" -p "$dll" 2>&1); then
        dump=$out
        break
    fi
done
[ -n "$dump" ] || fail "$dll: no mingw objdump reads it (not a Windows DLL, or apt-get install binutils-mingw-w64-i686)"
format=$(printf '%s\n' "$dump" | sed -n 's/.*file format \([^ ]*\).*/\1/p' | head -n1)
case "$format" in
pei-i386 | pei-x86-64) ;;
*) fail "$dll: not a Windows PE file (format '${format:-unknown}')" ;;
esac

# Names of the export name table: lines "	[   3] Name" after its heading.
exported=$(printf '%s\n' "$dump" | awk '
    /\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
    on && /^[ \t]*\[ *[0-9]+\] / { sub(/^[ \t]*\[ *[0-9]+\] /, ""); print; next }
    on { on = 0 }')
imports=$(printf '%s\n' "$dump" | sed -n 's/^[ \t]*DLL Name: *//p' | tr -d '\r')

# The names we promise: both columns of every non-comment line.
plain=()
decorated=()
while read -r a b _; do
    case "$a" in '' | \#*) continue ;; esac
    [ -n "${b:-}" ] || fail "$list: line for '$a' has no decorated name"
    plain+=("$a")
    decorated+=("$b")
done <"$list"
[ ${#plain[@]} -gt 0 ] || fail "$list lists no exports"

faults=()
has_export() { printf '%s\n' "$exported" | grep -qxF -- "$1"; }

for name in "${plain[@]}" "${decorated[@]}"; do
    has_export "$name" || faults+=("missing export: $name")
done
for name in "${plain[@]}"; do
    # The host binds the undecorated name; stdcall-style or underscored variants
    # would mean the .def did not take effect.
    while read -r e; do
        [ -n "$e" ] || continue
        faults+=("decorated variant of plain export $name: $e")
    done < <(printf '%s\n' "$exported" | grep -E -- "^(_+${name}(@[0-9]+)?|_*${name}@[0-9]+)\$")
done

while read -r imp; do
    [ -n "$imp" ] || continue
    lower=$(printf '%s' "$imp" | tr 'A-Z' 'a-z')
    case "$lower" in
    kernel32.dll | user32.dll | gdi32.dll | ole32.dll | oleaut32.dll | advapi32.dll | comctl32.dll) ;;
    msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll) ;;
    *) faults+=("import outside the system DLLs: $imp") ;;
    esac
done <<<"$imports"

if [ ${#faults[@]} -gt 0 ]; then
    echo "check-exports: $dll ($format) FAILED:" >&2
    printf '  %s\n' "${faults[@]}" >&2
    exit 1
fi
echo "check-exports: $dll ($format): ${#plain[@]} plain and ${#decorated[@]} decorated names exported;" \
    "imports: $(printf '%s' "$imports" | tr '\n' ' ')"
