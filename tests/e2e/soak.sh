#!/usr/bin/env bash
# Inside tests/e2e/cups-pdf with the queue CUPS-PDF: runs the soak test under Wine, waits until
# CUPS has written every PDF, then checks that there is one readable PDF file per Print.
#   soak.sh WINERUN BUILD_DIR SOAK_EXE
set -uo pipefail
winerun=$1 build=$2 soak=$3
here=$(cd "$(dirname "$0")" && pwd)
[ -n "${CUPS_PDF_OUT:-}" ] || { echo "soak.sh: run it under tests/e2e/cups-pdf" >&2; exit 2; }
rm -f "$CUPS_PDF_OUT/soak.txt"
"$winerun" --build "$build" --timeout 1500 -- "$soak" --gtest_brief=1 || exit
"$here/cups-pdf" --wait-idle 300 || exit
prints=$(sed -n 's/^prints \([0-9]*\)$/\1/p' "$CUPS_PDF_OUT/soak.txt")
[ -n "$prints" ] || { echo "soak.sh: the test wrote no print count" >&2; exit 1; }
shopt -s nullglob
pdfs=("$CUPS_PDF_OUT"/CUPS-PDF/*.pdf)
status=0
if [ "${#pdfs[@]}" -ne "$prints" ]; then
    echo "soak.sh: $prints prints, ${#pdfs[@]} PDF files" >&2
    status=1
fi
for pdf in "${pdfs[@]}"; do
    pages=$(timeout 30 pdfinfo "$pdf" 2>/dev/null | sed -n 's/^Pages: *//p')
    if [ "$pages" != 1 ]; then
        echo "soak.sh: $pdf is no readable one-page PDF" >&2
        status=1
    fi
done
echo "soak.sh: ${#pdfs[@]} PDF files for $prints prints"
exit $status
