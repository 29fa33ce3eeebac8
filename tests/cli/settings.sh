#!/usr/bin/env bash
# framlet-dev settings: output format, setter order, saving, the destructor's save, exit codes.
set -u
dev=$1
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cd "$work"
fails=0
check() { if [ "$2" != "$3" ]; then echo "FAIL: $1"; echo "  expected: $(printf %q "$2")"; echo "  actual:   $(printf %q "$3")"; fails=$((fails+1)); fi; }

out=$("$dev" settings s.ini); rc=$?
check "defaults exit 0" 0 $rc
check "defaults, Dirty first, declaration order" "Dirty=0
TrimType=3
Width=150
Height=180
Scale=100
EffectFlags=0
ReverseType=1
IsFrame=0
FrameSize=1
IsDefaultFolder=0
DefaultFolder=.
IsAutoFileName=0
PrefixOfFileName=Capture_
NumberingStart=1
DefaultFormatType=0
IsNoUseDialog=0" "$out"
check "no file created when nothing changed" "no" "$([ -e s.ini ] && echo yes || echo no)"

out=$("$dev" settings s.ini --set Width=7 --set Width=150 --set EffectFlags=3 --set PrefixOfFileName='a b=c'); rc=$?
check "set exit 0" 0 $rc
check "dirty after set and set back" "Dirty=1" "$(head -1 <<<"$out")"
check "effect flags as a number" "EffectFlags=3" "$(grep EffectFlags <<<"$out")"
check "destructor saved the file" "PrefixOfFileName=a b=c" "$(grep -a PrefixOfFileName s.ini | tr -d '\r')"
check "booleans written as 1" "Emphasis=1" "$(grep -a Emphasis s.ini | tr -d '\r')"

out=$("$dev" settings s.ini --set Scale=50 --save); rc=$?
check "explicit save clears Dirty" "Dirty=0" "$(head -1 <<<"$out")"
check "CR LF line ends" "Scale=50\r" "$(grep -a '^Scale' s.ini | sed 's/\r/\\r/')"

before=$(cat s.ini)
"$dev" settings s.ini --set Width=1 --set Nonsense=2 >/dev/null 2>err; rc=$?
check "unknown field exit 2" 2 $rc
check "one-line error" 1 "$(wc -l <err)"
check "bad arguments change nothing" "$before" "$(cat s.ini)"
"$dev" settings s.ini --set Width=abc >/dev/null 2>&1; check "non-number exit 2" 2 $?
"$dev" settings s.ini --set IsFrame=2 >/dev/null 2>&1; check "boolean other than 0/1 exit 2" 2 $?
"$dev" settings s.ini --set >/dev/null 2>&1; check "--set without value exit 2" 2 $?
"$dev" settings >/dev/null 2>&1; check "missing file argument exit 2" 2 $?

"$dev" settings missing/s.ini --set Width=3 --save >/dev/null 2>err; rc=$?
check "failed save exit 1" 1 $rc
grep -q 'missing/s.ini' err || { echo "FAIL: error text names the file: $(cat err)"; fails=$((fails+1)); }

# A settings file that exists but cannot be read completely: error, exit 1, file untouched.
{ printf '[Trim]\r\nWidth=77\r\n[Mine]\r\nkeep=1\r\n[Pad]\r\n'; head -c 17000000 /dev/zero | tr '\0' x; } > big.ini
cp big.ini big.orig
out=$("$dev" settings big.ini --set Height=5 --save 2>err); rc=$?
check "unreadable file exit 1" 1 $rc
check "unreadable file prints no settings" "" "$out"
grep -q 'big.ini' err || { echo "FAIL: error names the unreadable file: $(cat err)"; fails=$((fails+1)); }
cmp -s big.ini big.orig || { echo "FAIL: unreadable file was changed"; fails=$((fails+1)); }
check "no temporary file left" "big.ini big.orig err s.ini" "$(ls | tr '\n' ' ' | sed 's/ $//')"
mkdir dir.ini
"$dev" settings dir.ini --set Height=5 --save >/dev/null 2>&1; check "folder in the file's place exit 1" 1 $?

echo "$fails failed"
[ $fails = 0 ]
