#!/usr/bin/env bash
# Prints a page from the notes program on a real queue and checks the sheets: starts
# cupsd (unless one runs) with a cups-pdf queue as the default printer, prints page 1
# from notes.exe under Wine (which takes the printer from CUPS) or from the native
# program, and reads the PDF with pdftotext: every word in order, long lines broken
# at blanks, further sheets, type of about 10 points. The native program hands CUPS
# a PDF whose text the queue's PostScript step turns into glyphs without letters:
# its job is held, the document it sent is checked, then the job is let go and
# must come out of the queue with as many sheets.
# Exits 77 (skipped) when not root or when the print packages cannot be had.
#
#   tests/e2e/print_queue.sh wine NOTES_E2E_EXE NOTES_EXE
#   tests/e2e/print_queue.sh linux BIN_FOLDER
set -u
mode=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
session=$here/../../scripts/wine-session.sh
queue=QuibbetsPdf

skip() {
    echo "PrintQueue skipped: $1"
    exit 77
}

[ "$(id -u)" = 0 ] || skip "not running as root"
if ! command -v cupsd >/dev/null || ! command -v pdftotext >/dev/null || [ ! -e /usr/lib/cups/backend/cups-pdf ]; then
    "$here/../../scripts/install-deps.sh" >/dev/null 2>&1 || skip "cannot install cups, cups-pdf and poppler-utils"
fi

work=$(mktemp -d /tmp/quibbets-print.XXXXXX)
cupsdPid=""
cleanup() {
    lpadmin -x "$queue" 2>/dev/null
    if [ -n "$cupsdPid" ]; then
        kill "$cupsdPid" 2>/dev/null
        wait "$cupsdPid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    cupsd -f &
    cupsdPid=$!
    for _ in $(seq 50); do
        lpstat -r 2>/dev/null | grep -q "is running" && break
        sleep 0.2
    done
fi
lpstat -r 2>/dev/null | grep -q "is running" || skip "cupsd does not start"
lpadmin -p "$queue" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -o PageSize=A4 || exit 1
lpadmin -d "$queue" || exit 1

folder=$work/folder
mkdir -p "$folder"
python3 "$here/print_queue_check.py" write "$folder/page1.txt" "$work/words.txt" || exit 1
touch "$work/started"

if [ "$mode" = wine ]; then
    cp "$3" "$folder/notes.exe" || exit 1
    QUIBBETS_E2E_PRINT_DIR=$folder "$session" wine "$2" --gtest_filter='PrintQueue.*' || exit 1
else
    lpadmin -p "$queue" -o job-hold-until-default=indefinite || exit 1
    QUIBBETS_BIN=$2 QUIBBETS_E2E_PRINT_PAGE=$folder/page1.txt \
        python3 "$here/../e2e_linux/print_test.py" || exit 1
    job=$(lpstat -o "$queue" | awk 'NR == 1 { print $1 }')
    [ -n "$job" ] || { echo "no job reached the queue" >&2; exit 1; }
    sent=$(find /var/spool/cups -maxdepth 1 -name "d$(printf %05d "${job##*-}")-001" | head -n 1)
    [ -n "$sent" ] || { echo "the job's document is not in the spool" >&2; exit 1; }
    cp "$sent" "$work/sent.pdf"
    python3 "$here/print_queue_check.py" check "$work/sent.pdf" "$work/words.txt" || exit 1
    lp -i "$job" -H resume >/dev/null || exit 1
fi

# cups-pdf writes into the job owner's PDF folder, or its spool for anonymous jobs.
pdf=""
for _ in $(seq 100); do
    pdf=$(find /root/PDF /var/spool/cups-pdf -name '*.pdf' -newer "$work/started" 2>/dev/null | head -n 1)
    [ -n "$pdf" ] && [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && break
    sleep 0.2
done
[ -n "$pdf" ] || { echo "no PDF came out of the queue" >&2; lpstat -l -o >&2; exit 1; }
mv "$pdf" "$work/printed.pdf"
if [ "$mode" = wine ]; then
    python3 "$here/print_queue_check.py" check "$work/printed.pdf" "$work/words.txt"
else
    sheets() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }'; }
    [ "$(sheets "$work/printed.pdf")" = "$(sheets "$work/sent.pdf")" ] ||
        { echo "the queue printed $(sheets "$work/printed.pdf") sheets of $(sheets "$work/sent.pdf")" >&2; exit 1; }
    echo "PrintQueue: the job came out of the queue on $(sheets "$work/printed.pdf") sheets"
fi
