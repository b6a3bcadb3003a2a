#!/bin/bash
# Awkward input in the editor: descriptions with "-", quotes, a leading blank or the word
# null, and 64 KiB pasted into a text box.  Nothing hangs, and what Apply stored reads
# back exactly as the list showed it when the editor is shown again (it reloads the file).
# Run: tests/e2e/run_all.sh editor_bad_input
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

ed_begin
kv_work_file 'C:\app\MyJob.ini' <<'EOF'
첫째-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-
EOF
ed_open

# new_entry <key> <description>: New, a key of its own, then the description typed (or
# pasted) into its box
new_entry() {
    local before
    before=$(ui_rows "$ED" | wc -l)
    ui_click "$ED" '등록'
    ui_wait 10 "a new row" eval '[ "$(ui_rows "$ED" | wc -l)" -gt "$before" ]'
    ui_pick "$ED" "$ED_KEYS" "$1"
    ui_click_into "$ED" "$ED_SUBJECT"
    ui_type "$2"
}
# rows: the rows as shown, without the selection
rows() { ui_rows "$ED" | cut -f2-; }
# a 64 KiB text of plain letters and digits
BIG=$(yes abcdefghijklmnopqrstuvwxyz0123456789 | tr -d '\n' | head -c 65536)

echo "== awkward descriptions"
new_entry F5 ' lead-ing "quoted - text" null'
e2e_check "a description with a leading blank, \"-\", quotes and null is typed in whole" \
    ui_wait 10 "P1 described" eval '[ "$(ed_row P1 | cut -f1)" = " lead-ing \"quoted - text\" null" ]'
new_entry F6 null
e2e_check "so is the description null" ui_wait 10 "P2 described" eval '[ "$(ed_row P2 | cut -f1)" = null ]'
new_entry F7 '가-나 "다"'
e2e_check "Hangul with \"-\" and quotes is typed in whole" ui_wait 10 "P3 described" \
    eval '[ "$(ed_row P3 | cut -f1)" = "가-나 \"다\"" ]'

echo "== 64 KiB pasted"
new_entry F8 x
ui_set_text "$ED" "$ED_SUBJECT" ''
ui_paste "$BIG"
ui_click_into "$ED" "$(ed_info '프로그램 실행')"
ui_paste "C:\\$BIG.exe"
e2e_check "the editor answers after the paste" ui_wait 30 "P4 kind 8" \
    eval '[ "$(ed_row P4 | cut -f4)" = "프로그램 실행" ]'
shown_subject=$(ui_text "$ED" "$ED_SUBJECT")
e2e_check "the description box holds the pasted text, or its beginning (${#shown_subject} characters)" \
    test -n "$shown_subject" -a "${BIG:0:${#shown_subject}}" = "$shown_subject"
e2e_check "and the row holds what the box shows" test "$(ed_row P4 | cut -f1)" = "$shown_subject"

echo "== applied and shown again"
ui_click "$ED" 적용
e2e_check "Apply ends" ui_wait 30 "적용 disabled" eval '! ui_enabled "$ED" 적용'
applied=$(rows)
e2e_check "the work file holds the six entries" test "$(e2e_read_cp949 'C:\app\MyJob.ini' | wc -l)" = 6
e2e_check "(five entries and the first one listed)" test "$(wc -l <<<"$applied")" = 6
ui_close_box "$ED"
e2e_check "nothing is left to apply: the editor closes without a question" \
    e2e_wait_gone "^$(_e2e_ere_quote "$ED")\$" 10
ed_show 'C:\app\MyJob.ini'
e2e_check "shown again, the list reads back exactly as it was shown after Apply" \
    ui_wait 15 "rows read back" eval '[ "$(rows)" = "$applied" ]'
e2e_check "and the hotkeys still work" kv_settle

e2e_stop
e2e_summary
