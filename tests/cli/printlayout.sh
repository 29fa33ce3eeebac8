#!/usr/bin/env bash
# framlet-dev printlayout: the page geometry as outside checks read it.
set -u
dev=$1
fails=0
check() { if [ "$2" != "$3" ]; then echo "FAIL: $1: expected '$2', got '$3'"; fails=$((fails+1)); fi; }
check "wide picture" "AW=4464 AH=6314 DW=4464 DH=2976 X=248 Y=2020" "$("$dev" printlayout 4960 7015 300 200)"
check "tall picture" "AW=4464 AH=6314 DW=3157 DH=6314 X=901 Y=351" "$("$dev" printlayout 4960 7015 200 400)"
check "A4 at 300 dpi, one pixel" "AW=2231 AH=3157 DW=2231 DH=2231 X=124 Y=638" "$("$dev" printlayout 2479 3508 1 1)"
for bad in "1 2 3" "a 2 3 4" "4960 7015 0 200" "4960 7015 300 -1" "4960 7015 300 200 9" "99999999999 1 1 1"; do
    "$dev" printlayout $bad >/dev/null 2>&1; check "bad arguments '$bad' exit 2" 2 $?
done
echo "$fails failed"
[ $fails = 0 ]
