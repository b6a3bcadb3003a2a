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
ENTRIES='한글 설명 하나-P0-Ctrl+Alt+N-웹사이트 이동-http://example.com/a-True-
null-P1-Ctrl+Alt+M-로그 오프-null-True-
메모장 시작-P2-null-프로그램 실행-notepad.exe-False-'
LINES=(
    '한글 설명 하나 P0 Ctrl+Alt+N 웹사이트 이동 http://example.com/a True'
    ' P1 Ctrl+Alt+M 로그 오프  True'
    '메모장 시작 P2  프로그램 실행 notepad.exe False'
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
# The box's button may show a moment after its text on a busy machine.
close_box() {
    ui_wait 10 "the box's button" ui_centre 알림말 class:Button:0 >/dev/null &&
        ui_click 알림말 class:Button:0 && e2e_wait_gone '^알림말$' 10
}
# printed_lines_match <OCR text>...: one line per entry, in list order, in the readings
# of the page at a few resolutions.  OCR reads a run of blanks as one, so lines are
# compared token by token: the same tokens in the same order, each read right save at
# most one character (the "P" of an ID after Hangul comes back as "?" or "[" at times),
# in at least one reading that has one line per entry.  A missing, extra or swapped
# column, another kind, a line too many or too few, fails.
printed_lines_match() {
    python3 - "${LINES[@]}" -- "$@" <<'PY'
import sys

def distance(a, b):
    row = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        prev, row[0] = row[0], i
        for j, cb in enumerate(b, 1):
            prev, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1, prev + (ca != cb))
    return row[-1]

def same(read, want):
    r, w = read.split(), want.split()
    return len(r) == len(w) and all(distance(a, b) <= 1 for a, b in zip(r, w))

split = sys.argv.index("--")
want = sys.argv[1:split]
readings = [[l for l in open(f, encoding="utf-8").read().splitlines() if l.strip()] for f in sys.argv[split + 1:]]
whole = [r for r in readings if len(r) == len(want)]
ok = bool(whole) and all(any(same(r[i], w) for r in whole) for i, w in enumerate(want))
if not ok:
    print("\n".join(["    want| " + w for w in want]), file=sys.stderr)
    for r in readings:
        print("\n".join(["    read| " + l for l in r] + ["    ----"]), file=sys.stderr)
sys.exit(0 if ok else 1)
PY
}
# the words the page is made of, for the OCR
ocr_words() { printf '%s\n' "${LINES[@]}" | tr ' ' '\n' | sed '/^$/d' | sort -u; }
# page_png <pdf> <page> <name>: the page at 300 dpi, as $E2E_RUN/<name>.png
page_png() { pdftoppm -r 300 -gray -png -f "$2" -l "$2" -singlefile "$1" "$E2E_RUN/$3"; }
# text_rows <pdf> <page>: how many rows of text the page holds (bands of ink across it)
text_rows() {
    page_png "$1" "$2" rows || return 1
    convert "$E2E_RUN/rows.png" -threshold 50% -scale "1x$(identify -format %h "$E2E_RUN/rows.png")!" -depth 8 txt:- |
        awk -F'[(),]' 'NR > 1 { ink = ($4 + 0) < 255; if (ink && !prev) n++; prev = ink } END { print n + 0 }'
}
# right_edge_clear <pdf>: no ink in the last three pixel columns of page 1, where a line
# that ran off the paper would be cut
right_edge_clear() {
    page_png "$1" 1 edge || return 1
    local w
    w=$(identify -format %w "$E2E_RUN/edge.png")
    [ "$(convert "$E2E_RUN/edge.png" -crop "3x100%+$((w - 3))+0" +repage -threshold 50% -format '%[fx:minima]' info:)" = 1 ]
}
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
    readings=()
    for dpi in 250 300 350; do
        e2e_pdf_text "$pdf" "$E2E_RUN/words" $dpi >"$E2E_RUN/logs/printed.$dpi.txt"
        readings+=("$E2E_RUN/logs/printed.$dpi.txt")
    done
    echo "  OCR: $(_e2e_ms_since "$t0") ms"
    e2e_check "it reads one line per entry, in list order, as the columns make them" \
        printed_lines_match "${readings[@]}"
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

echo "== a list longer than a page, with a line wider than the page"
WIDE=http://example.com/$(printf '가나다라마바사아자차%.0s' {1..12})/$(printf 'abcdefghij%.0s' {1..6})/끝
{
    echo "넓은 줄-P0-null-웹사이트 이동-$WIDE-True-"
    for i in $(seq 1 99); do echo "항목 $i-P$i-null-로그 오프-null-True-"; done
} | e2e_write_cp949 'C:\app\MyJob.ini'
e2e_close "$(ui_wid "$ED" 5)"
# The emptied list on screen is not the one the hotkeys run: closing asks, and 아니요 leaves it.
e2e_check "closing asks about the emptied list, which is not what runs" \
    box_says "현재 단축키 설정이 변경되었습니다. 적용 하시겠습니까?"
ui_click 알림말 class:Button:1 && e2e_wait_gone '^알림말$' 10
e2e_wait_gone "^$(_e2e_ere_quote "$ED")\$" 10
ed_show 'C:\app\MyJob.ini'
e2e_check "the editor shows the hundred entries" ui_wait 10 "100 rows" rows_are 100
print_list
e2e_check "the box says the list was printed" box_says "$DONE" 30
close_box
pdf=$(e2e_wait_pdf 2 30)
e2e_check "the printer made a second PDF" test -n "$pdf"
if [ -n "$pdf" ]; then
    cp "$pdf" "$E2E_RUN/logs/long.pdf"
    e2e_check "of two pages" test "$(e2e_pdf_pages "$pdf")" = 2
    rows=$(( $(text_rows "$pdf" 1) + $(text_rows "$pdf" 2) ))
    echo "  rows of text: $rows"
    # the wide line is three page widths long or so, the others one row each
    e2e_check "the wide line goes on over the next rows" test "$rows" -ge 102 -a "$rows" -le 104
    e2e_check "and nothing runs off the paper" right_edge_clear "$pdf"
fi
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
