#!/bin/bash
# Printing the hotkey list from the editor's menu "인쇄(&P)" on a real printer: CUPS with
# cups-pdf as the default printer.  The PDF read back by OCR holds one line per entry, the
# description followed by the other columns; the box says it is done.  An empty list
# prints nothing and says so.  Without a printer the error box shows.
# Run: tests/e2e/run_all.sh editor_print
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

DONE='출력이 완료되었습니다'
FAILED='리스트 출력중 에러가 발생하였습니다. [지원되지 않는 프린트이거나 출력장치에 문제가 있습니다]'
NOTHING='인쇄할 단축키가 없습니다.'
# The work file (an empty description, an empty info and an empty hotkey among them) and
# the lines it prints as
ENTRIES='한글 설명-P0-Ctrl+Alt+N-웹사이트 이동-http://example.com/a-True-
null-P1-Ctrl+Alt+M-로그 오프-null-True-
프로그램 시작-P2-null-프로그램 실행-notepad.exe-False-'
LINES=(
    '한글 설명 P0 Ctrl+Alt+N 웹사이트 이동 http://example.com/a True'
    ' P1 Ctrl+Alt+M 로그 오프  True'
    '프로그램 시작 P2  프로그램 실행 notepad.exe False'
)

# session: a fresh prefix with Keyvane started on the work file and its editor shown
session() {
    e2e_start || return 1
    [ "${1:-}" != printer ] || e2e_cups_start || return 1
    app=$(e2e_install_keyvane)
    e2e_write_cp949 'C:\app\MyJob.ini' <<<"$ENTRIES"
    kv_focus_probe && kv_start "$app" && ed_show 'C:\app\MyJob.ini'
}
# print_list: the menu item chosen from the keyboard, as a user does
print_list() { ui_menu "$ED" 파일 p; }
box_says() { ui_wid 알림말 "${2:-10}" >/dev/null && ui_box_has 알림말 "$1"; }
close_box() { ui_click 알림말 class:Button:0 && e2e_wait_gone '^알림말$' 10; }
# printed_lines_match <OCR text>: one line per entry, in list order.  OCR reads a run of
# blanks as one, so lines are compared token by token: the same tokens in the same order,
# each read right save at most one character (the "P" of an ID after Hangul comes back as
# "?" or "[" at times).  A missing, extra or swapped column, or another kind, fails.
printed_lines_match() {
    python3 - "$1" "${LINES[@]}" <<'PY'
import sys

def distance(a, b):
    row = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        prev, row[0] = row[0], i
        for j, cb in enumerate(b, 1):
            prev, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1, prev + (ca != cb))
    return row[-1]

got = [l for l in open(sys.argv[1], encoding="utf-8").read().splitlines() if l.strip()]
want = sys.argv[2:]
ok = len(got) == len(want)
for g, w in zip(got, want):
    gt, wt = g.split(), w.split()
    if len(gt) != len(wt) or any(distance(a, b) > 1 for a, b in zip(gt, wt)):
        ok = False
if not ok:
    print("\n".join(["    want| " + w for w in want] + ["    read| " + g for g in got]), file=sys.stderr)
sys.exit(0 if ok else 1)
PY
}
# the words the page is made of, for the OCR
ocr_words() { printf '%s\n' "${LINES[@]}" | tr ' ' '\n' | sed '/^$/d' | sort -u; }
rows_are() { [ "$(ui_rows "$ED" | wc -l)" = "$1" ]; }

echo "== the list on the default printer"
session printer || { e2e_dump; exit 1; }
e2e_check "the editor shows the three entries" rows_are 3
t0=$(_e2e_now)
print_list
e2e_check "the box says the list was printed" box_says "$DONE" 30
PRINT_MS=$(_e2e_ms_since "$t0")
ui_shot printed 알림말
pdf=$(e2e_wait_pdf 1 30)
e2e_check "the printer made one PDF" test -n "$pdf"
echo "  print: menu to box ${PRINT_MS} ms"
if [ -n "$pdf" ]; then
    cp "$pdf" "$E2E_RUN/logs/printed.pdf"
    e2e_check "of one page" test "$(e2e_pdf_pages "$pdf")" = 1
    t0=$(_e2e_now)
    ocr_words >"$E2E_RUN/words"
    e2e_pdf_text "$pdf" "$E2E_RUN/words" >"$E2E_RUN/logs/printed.txt"
    echo "  OCR: $(_e2e_ms_since "$t0") ms"
    e2e_check "it reads one line per entry, in list order, as the columns make them" \
        printed_lines_match "$E2E_RUN/logs/printed.txt"
fi
e2e_check "the box closes" close_box

echo "== an empty list"
e2e_close "$(ui_wid "$ED" 5)"
e2e_check "the editor hides" e2e_wait_gone "^$(_e2e_ere_quote "$ED")\$" 10
e2e_write_cp949 'C:\app\MyJob.ini' </dev/null
ed_show 'C:\app\MyJob.ini'
e2e_check "the editor shows the emptied file" ui_wait 10 "no rows" rows_are 0
print_list
e2e_check "the box says there is nothing to print" box_says "$NOTHING"
e2e_check "the box closes" close_box
sleep "$KV_GRACE"
e2e_check "and nothing was printed" test "$(e2e_pdf_count)" = 1
e2e_stop

echo "== no printer"
# Wine takes the printers from CUPS, or from /etc/printcap when CUPS has none: neither
# may offer one here
e2e_check "the host's printcap lists no printer" \
    eval '! grep -qv "^[[:space:]]*\(#\|$\)" /etc/printcap 2>/dev/null'
export CUPS_SERVER=/nonexistent/cups.sock
session || { e2e_dump; exit 1; }
print_list
e2e_check "the error box says the printer failed" box_says "$FAILED" 30
ui_shot no-printer 알림말
e2e_check "the box closes" close_box
e2e_check "the list is as it was" rows_are 3

e2e_stop
e2e_summary
