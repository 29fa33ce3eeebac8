#!/usr/bin/env bash
# Checks a release zip as a user's machine sees it, with objdump and file reads alone (no code of
# the target architecture runs, so the 32-bit zip is checked too):
#   - exactly the files a user needs, at the zip's root, the texts in the code page and line ends
#     Windows expects;
#   - Framlet.exe and Trellin.dll of the expected architecture, needing only DLLs every Windows
#     has (no MinGW runtime), Framlet.exe binding to Trellin.dll by ordinal (hook-exports.sh);
#   - Framlet.exe carrying its version, icon and manifest (pe-resources.py).
#
#   check-package.sh OBJDUMP FORMAT ZIP
set -uo pipefail

objdump=$1 format=$2 zipfile=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zipfile" -d "$unpacked" || { echo "FAIL: $zipfile does not unzip" >&2; exit 1; }

expected="Framlet.exe Readme-en.txt Readme-ja.txt Resource.ini Trellin.dll en/ en/Resource.ini"
listed=$(unzip -Z1 "$zipfile" | sort | xargs)
[ "$listed" = "$expected" ] || fail "the zip holds '$listed', expected '$expected'"

# Texts: the shipped Resource.ini files as they are kept, the guides as Windows users read them.
cmp -s "$unpacked/Resource.ini" "$root/resources/Resource.ini" || fail "Resource.ini is not resources/Resource.ini"
cmp -s "$unpacked/en/Resource.ini" "$root/resources/en/Resource.ini" || fail "en/Resource.ini differs"
grep -q '^\[message\]' "$unpacked/Resource.ini" || fail "Resource.ini has no message texts"
for guide in Readme-ja.txt Readme-en.txt; do
    lines=$(grep -c '' "$unpacked/$guide")
    crlf=$(grep -c $'\r$' "$unpacked/$guide")
    [ "$lines" -gt 20 ] && [ "$lines" = "$crlf" ] || fail "$guide: $crlf of $lines lines end in CR LF"
done
iconv -f CP932 -t UTF-8 "$unpacked/Readme-ja.txt" | tr -d '\r' | cmp -s - "$root/resources/Readme-ja.txt.utf8" ||
    fail "Readme-ja.txt is not the Shift-JIS form of resources/Readme-ja.txt.utf8"
LC_ALL=C grep -q '[^ -~'$'\r'']' "$unpacked/Readme-en.txt" && fail "Readme-en.txt is not plain ASCII"

# What the loader will look for. Only DLLs of Windows itself; objdump prints their names as the
# linker wrote them, so the comparison ignores letter case.
allowed="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll winspool.drv"
check_imports() {
    local binary=$1 extra=$2 name actual
    actual=$("$objdump" -f "$binary" | sed -n 's/.*file format //p')
    [ "$actual" = "$format" ] || fail "$binary is $actual, expected $format"
    for name in $("$objdump" -p "$binary" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z'); do
        case " $allowed $extra " in
            *" $name "*) ;;
            *) fail "$(basename "$binary") needs $name, which is not part of Windows" ;;
        esac
    done
}
check_imports "$unpacked/Framlet.exe" trellin.dll
check_imports "$unpacked/Trellin.dll" ""

bash "$here/../e2e/hook-exports.sh" "$objdump" "$format" "$unpacked/Trellin.dll" --binds "$unpacked/Framlet.exe" ||
    fail "the packed Trellin.dll and Framlet.exe do not meet as the loader needs"
python3 "$here/pe-resources.py" "$unpacked/Framlet.exe" || fail "Framlet.exe lacks resources"

[ "$failures" = 0 ] && echo "$(basename "$zipfile"): files, texts, imports and resources as shipped"
[ "$failures" = 0 ]
