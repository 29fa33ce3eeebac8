#!/usr/bin/env bash
# framlet-dev localise: output format, design order, Shift-JIS values printed as UTF-8, exit codes.
set -u
dev=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cd "$work"
fails=0
check() { if [ "$2" != "$3" ]; then echo "FAIL: $1"; echo "  expected: $(printf %q "$2")"; echo "  actual:   $(printf %q "$3")"; fails=$((fails+1)); fi; }

out=$("$dev" localise fmOption absent.ini); rc=$?
check "missing file exit 0" 0 $rc
check "design texts in design order, the properties of each kind" "fmOption.caption=オプション設定
lblPrefixOfFileName.caption=先頭文字列
lblPrefixOfFileName.hint=
lblComment.caption=※ 上記の全てがチェックされていないと有効にはなりません。
lblComment.hint=
lblDefaultFormatType.caption=デフォルト保存フォーマット
lblDefaultFormatType.hint=
bvlSeparator.caption=
bvlSeparator.hint=
lblNumberingStart.caption=採番の開始
lblNumberingStart.hint=
cbxIsDefaultFolder.caption=デフォルトフォルダを指定
cbxIsDefaultFolder.hint=
cbxIsAutoFileName.caption=ファイル名の自動生成
cbxIsAutoFileName.hint=
edtDefaultFolder.hint=
edtDefaultFolder.text=
edtPrefixOfFileName.hint=
edtPrefixOfFileName.text=
cbxIsNotUseDialog.caption=ダイアログを表示しないで自動で保存
cbxIsNotUseDialog.hint=
cmbDefaultFormatType.hint=
cmbDefaultFormatType.text=JPEG
cmbDefaultFormatType.items_0=JPEG
cmbDefaultFormatType.items_1=ビットマップ
btnOk.caption=OK(&O)
btnOk.hint=
btnCancel.caption=キャンセル(&C)
btnCancel.hint=
btnRefFolder.caption=参照(&R)...
btnRefFolder.hint=
edtNumberingStart.hint=
edtNumberingStart.text=
btnSetPrinter.caption=プリンタの設定(&U)...
btnSetPrinter.hint=" "$out"

out=$("$dev" localise fmMain absent.ini)
check "main window: 65 lines" 65 "$(wc -l <<<"$out")"
check "main window: caption first" "fmMain.caption=Framlet 1.4" "$(head -1 <<<"$out")"
check "main window: last control" "imgCapture.hint=" "$(tail -1 <<<"$out")"
check "main window: edit boxes have hint and text" "edtWidth.hint=
edtWidth.text=150" "$(grep '^edtWidth\.' <<<"$out")"
check "no line for components that are not controls" "" "$(grep -E '^(dlgSave|XPManifest)' <<<"$out")"

printf '[fmMain]\r\nfmMain_caption=  Capture  \r\nbtnSave_caption=\r\n' > Resource.ini
printf '\x83\x4c\x83\x83\x83\x76\x83\x60\x83\x83' | sed 's/^/btnCancel_caption=/' >> Resource.ini   # キャプチャ in Shift-JIS
printf '\r\nedtWidth_text=640\r\n[FMOPTION]\r\ncmbDefaultFormatType_items_1=BMP\r\ncmbDefaultFormatType_items_2=PNG\r\n' >> Resource.ini
out=$("$dev" localise fmMain Resource.ini)
check "caption trimmed" "fmMain.caption=Capture" "$(head -1 <<<"$out")"
check "empty value keeps the design text" "btnSave.caption=保存" "$(grep '^btnSave.caption' <<<"$out")"
check "Shift-JIS value printed as UTF-8" "btnCancel.caption=キャプチャ" "$(grep '^btnCancel.caption' <<<"$out")"
check "edit text replaced" "edtWidth.text=640" "$(grep '^edtWidth.text' <<<"$out")"
out=$("$dev" localise fmOption ./Resource.ini)
check "capital section, existing items only" "cmbDefaultFormatType.items_0=JPEG
cmbDefaultFormatType.items_1=BMP" "$(grep '^cmbDefaultFormatType.items' <<<"$out")"

out=$("$dev" localise fmOption "$here/resources/en/Resource.ini")
check "shipped English file" "btnRefFolder.caption=&Browse..." "$(grep '^btnRefFolder.caption' <<<"$out")"

for bad in "" "fmMain" "fmOther Resource.ini" "FMMAIN Resource.ini" "fmMain Resource.ini extra"; do
    "$dev" localise $bad >out 2>err; rc=$?
    check "bad arguments '$bad' exit 2" 2 $rc
    check "bad arguments '$bad' one-line error" 1 "$(wc -l <err)"
    check "bad arguments '$bad' no output" "" "$(cat out)"
done

echo "$fails failed"
[ $fails = 0 ]
