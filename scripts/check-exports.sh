#!/usr/bin/env bash
# Checks that built libraries export exactly the functions of api/ExportList.h.
#   scripts/check-exports.sh [libnorvex.so] [Norvex.dll] ...
# libnorvex.so: the dynamic symbols defined are exactly the listed names.
# Norvex.dll: module name Norvex.dll, the listed names undecorated, ordinals 1..N in the
# list's (ASCII) order. Exits non-zero on any difference.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
list="${NORVEX_EXPORT_LIST:-$here/../api/ExportList.h}"
[ $# -gt 0 ] || { echo "usage: $0 libnorvex.so|Norvex.dll ..." >&2; exit 2; }

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
sed -nE 's/^NORVEX_EXPORT\([^,]+, *([A-Za-z_][A-Za-z0-9_]*),.*/\1/p' "$list" > "$tmp/table"
LC_ALL=C sort -c "$tmp/table" || { echo "FAIL: $list is not in ASCII order" >&2; exit 1; }
count=$(wc -l < "$tmp/table")

status=0
fail() { echo "FAIL: $1: $2" >&2; status=1; }

check_so() {
    local lib="$1"
    nm -D --defined-only "$lib" | awk 'NF >= 3 {print $3}' | LC_ALL=C sort > "$tmp/so"
    if ! diff -u "$tmp/table" "$tmp/so" > "$tmp/so.diff"; then
        fail "$lib" "exported names differ from the table (- missing, + extra):"
        grep -E '^[-+][^-+]' "$tmp/so.diff" >&2 || true
        return
    fi
    echo "ok: $lib exports the $count names of the table"
}

check_dll() {
    local dll="$1" objdump="${OBJDUMP:-i686-w64-mingw32-objdump}"
    "$objdump" -p "$dll" > "$tmp/pe"
    local module base
    module=$(awk '/^The Export Tables/ {e = 1} e && /^Name[ \t]/ {print $NF; exit}' "$tmp/pe")
    base=$(awk '/^Ordinal Base/ {print $NF; exit}' "$tmp/pe")
    [ "$module" = "Norvex.dll" ] || fail "$dll" "module name is '${module}', not Norvex.dll"
    [ "$base" = "1" ] || fail "$dll" "ordinal base is '${base}', not 1"
    # "[ index] name" lines: ordinal = index + base.
    awk -v base="${base:-0}" '
        /^\[Ordinal\/Name Pointer\] Table/ {t = 1; next}
        t && /^[ \t]*$/ {exit}
        t { line = $0; sub(/^[ \t]*\[ */, "", line); idx = line; sub(/\].*/, "", idx)
            name = line; sub(/^[^]]*\] */, "", name); print idx + base, name }' "$tmp/pe" > "$tmp/dll"
    awk '{print $2}' "$tmp/dll" > "$tmp/dll.names"
    if grep -qE '^_|@' "$tmp/dll.names"; then
        fail "$dll" "decorated names: $(grep -E '^_|@' "$tmp/dll.names" | head -5 | tr '\n' ' ')"
    fi
    awk '{print NR, $0}' "$tmp/table" > "$tmp/expected"
    LC_ALL=C sort -n "$tmp/dll" > "$tmp/dll.byordinal"
    if ! diff -u "$tmp/expected" "$tmp/dll.byordinal" > "$tmp/dll.diff"; then
        fail "$dll" "ordinals or names differ from the table (- expected, + found):"
        grep -E '^[-+][^-+]' "$tmp/dll.diff" | head -20 >&2 || true
    fi
    [ $status -ne 0 ] || echo "ok: $dll exports the $count names of the table by ordinal 1..$count"
}

for f in "$@"; do
    [ -f "$f" ] || { fail "$f" "no such file"; continue; }
    case "$f" in
        *.dll|*.DLL) check_dll "$f" ;;
        *) check_so "$f" ;;
    esac
done
exit $status
