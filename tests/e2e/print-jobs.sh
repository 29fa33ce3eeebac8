#!/usr/bin/env bash
# Inside tests/e2e/cups-pdf with the queues CUPS-PDF, CUPS-PDF2 and CUPS-REFUSING: prints the jobs of
# printprobe's PrintJobs tests (or of the tests FILTER names, in EXE) under Wine, waits until
# CUPS has written every PDF, then checks the PDF files against the job list the tests wrote.
#   print-jobs.sh WINERUN BUILD_DIR PRINTPROBE_EXE [FILTER]
set -uo pipefail
winerun=$1 build=$2 probe=$3 filter=${4:-PrintJobs.*}
here=$(cd "$(dirname "$0")" && pwd)
[ -n "${CUPS_PDF_OUT:-}" ] || { echo "print-jobs.sh: run it under tests/e2e/cups-pdf" >&2; exit 2; }
rm -f "$CUPS_PDF_OUT/jobs.txt"
"$winerun" --build "$build" --timeout 240 -- "$probe" --gtest_filter="$filter" --gtest_brief=1 || exit
"$here/cups-pdf" --wait-idle 90 || exit
timeout 120 python3 "$here/print-check.py" "$CUPS_PDF_OUT"
