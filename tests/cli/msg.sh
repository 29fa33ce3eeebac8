#!/usr/bin/env bash
# framlet-dev msg: the message look-up's answer as UTF-8, its two placeholder texts, exit codes.
set -u
dev=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cd "$work"
fails=0
check() { if [ "$2" != "$3" ]; then echo "FAIL: $1"; echo "  expected: $(printf %q "$2")"; echo "  actual:   $(printf %q "$3")"; fails=$((fails+1)); fi; }

out=$("$dev" msg "$work/Resource.ini" message fmMain_Close_1); rc=$?
check "missing file exit 0" 0 $rc
check "missing file names the path" "Massage File is not found. ($work/Resource.ini)" "$out"

printf '[fmMain]\r\nfmMain_Close_1=x\r\n' > Resource.ini
check "no section" "Massage is not found. (message : fmMain_Close_1)" "$("$dev" msg Resource.ini message fmMain_Close_1)"

printf '[MESSAGE]\r\nfmmain_close_1=\x82\xf0\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb7\x81\x42\r\nblank=   \r\nk = a=b \r\n' > Resource.ini
check "capital section, lower-case key, Shift-JIS to UTF-8" "を終了します。" "$("$dev" msg Resource.ini message fmMain_Close_1)"
check "blank value" "Massage is not found. (message : blank)" "$("$dev" msg Resource.ini message blank)"
check "trimmed, everything after the first =" "a=b" "$("$dev" msg Resource.ini message k)"
check "section and key as given" "Massage is not found. (メッセージ : キー)" "$("$dev" msg Resource.ini メッセージ キー)"

for key in fmMain_Close_1 fmMain_Close_2 fmMain_Close_3; do
    for file in resources/Resource.ini resources/en/Resource.ini; do
        out=$("$dev" msg "$here/$file" message $key)
        case "$out" in Massage*|"") echo "FAIL: $file has no $key: $out"; fails=$((fails+1)) ;; esac
    done
done

for bad in "" "Resource.ini" "Resource.ini message" "Resource.ini message key extra"; do
    "$dev" msg $bad >out 2>err; rc=$?
    check "bad arguments '$bad' exit 2" 2 $rc
    check "bad arguments '$bad' one-line error" 1 "$(wc -l <err)"
    check "bad arguments '$bad' no output" "" "$(cat out)"
done

echo "$fails failed"
[ $fails = 0 ]
