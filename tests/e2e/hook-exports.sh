#!/usr/bin/env bash
# Checks the keyboard-hook library's interface as a loader sees it, with objdump alone (no code of
# the target architecture runs, so the 32-bit build is checked too):
#   - the DLL is built for the expected architecture and exports exactly ordinals 2 and 3, no names;
#   - it needs no MinGW runtime DLL (libgcc is linked statically);
#   - each --binds EXE imports both ordinals from Trellin.dll by ordinal, never by name;
#   - each --binds-if-any EXE imports nothing from Trellin.dll by name.
#
#   hook-exports.sh OBJDUMP FORMAT DLL [--binds EXE]... [--binds-if-any EXE]...
set -uo pipefail

objdump=$1 format=$2 dll=$3; shift 3
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# "pei-i386" or "pei-x86-64": a 64-bit DLL checked in place of the 32-bit one would prove nothing.
actual_format=$("$objdump" -f "$dll" | sed -n 's/.*file format //p')
[ "$actual_format" = "$format" ] || fail "$dll is $actual_format, expected $format"

private=$("$objdump" -p "$dll")

# Export Address Table lines look like "[   0] +base[   2] 1400 Export RVA".
ordinals=$(awk '/^Export Address Table -- Ordinal Base/ { on = 1; next }
                on && /^$/ { exit }
                on && /\+base\[/ { sub(/.*\+base\[ */, ""); sub(/\].*/, ""); print }' <<<"$private" | sort -n | xargs)
[ "$ordinals" = "2 3" ] || fail "$dll exports ordinals '$ordinals', expected '2 3'"

names=$(awk '/^\t\[Name Pointer\/Ordinal\] Table/ { print $NF; exit }' <<<"$private")
[ -n "$names" ] && [ $((16#$names)) = 0 ] || fail "$dll has '$names' exported names, expected 0"
# The name list itself, which follows its heading up to the next blank line.
listed=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next } on && /^$/ { exit } on { print }' <<<"$private")
[ -z "$listed" ] || fail "$dll exports names: $listed"

needed=$(sed -n 's/^\tDLL Name: //p' <<<"$private" | tr 'A-Z' 'a-z' | sort | xargs)
for name in $needed; do
    case "$name" in
        kernel32.dll | user32.dll | msvcrt.dll) ;;
        *) fail "$dll needs $name" ;;
    esac
done

# Import lines of one DLL: "vma  hint/ordinal  name". An import by ordinal has the top bit of its
# thunk set and no name.
trellin_imports() {
    "$objdump" -p "$1" | awk '/^\tDLL Name: / { on = (tolower($3) == "trellin.dll"); next }
                              on && /^\tvma:/ { next }
                              on && NF == 0 { on = 0; next }
                              on { print $1, $2 + 0, $3 }'
}

check_binds() {
    local exe=$1 required=$2 thunk ordinal name seen=
    while read -r thunk ordinal name; do
        if [ "$name" != "<none>" ] || [ "${#thunk}" -lt 8 ] || [ "${thunk:0:1}" != 8 ]; then
            fail "$exe imports '$name' (thunk $thunk) from Trellin.dll by name"
        else
            seen="$seen $ordinal"
        fi
    done < <(trellin_imports "$exe")
    seen=$(xargs -n1 <<<"$seen" | sort -n | xargs)
    if [ "$required" = yes ] && [ "$seen" != "2 3" ]; then
        fail "$exe imports ordinals '$seen' from Trellin.dll, expected '2 3'"
    fi
}

while [ $# -gt 0 ]; do
    case "$1" in
        --binds) check_binds "$2" yes; shift 2 ;;
        --binds-if-any) check_binds "$2" no; shift 2 ;;
        *) echo "hook-exports.sh: unknown option $1" >&2; exit 2 ;;
    esac
done

[ "$failures" = 0 ] && echo "Trellin.dll: ordinals 2 and 3, no names; imported by ordinal"
[ "$failures" = 0 ]
