#!/bin/bash
# Work files as Notepad saves them: UTF-8 without a mark, UTF-8 with its mark, UTF-16 LE
# ("Unicode").  For each, Keyvane starts on it and its entry's hotkey runs the program it
# names (the Korean kind name matched), the editor shows the Hangul description, and an
# edit applied writes the file back in the same form, mark and all.  Then a CP949 list
# gets "café ☕" pasted into a description: 적용 names both characters in a box, and 예
# makes the list UTF-8 with its mark, the CP949 file kept as .bak; the entry still runs.
# Run: tests/e2e/run_all.sh keyvane_encodings
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

# in_form <utf8|utf8bom|utf16le> < UTF-8 lines: the entries and the control entry, with
# CR LF, as that form's bytes
in_form() {
    { cat; echo "$KV_CONTROL_ENTRY"; } | sed 's/\r$//; s/$/\r/' | case $1 in
        utf8) cat ;;
        utf8bom) printf '\xef\xbb\xbf'; cat ;;
        utf16le) printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE ;;
        cp949) iconv -f UTF-8 -t CP949 ;;
    esac
}
LIST='C:\app\MyJob.ini'
# file_is <form> <UTF-8 line>: the work file holds exactly that entry and the control entry
file_is() { cmp -s "$list_file" <(in_form "$1" <<<"$2"); }
first_bytes() { head -c "$1" "$list_file" | od -An -tx1 | tr -d ' \n'; }

ed_begin
list_file=$(e2e_unix_path "$LIST")
kv_focus_probe
for form in utf8 utf8bom utf16le; do
    echo "== a work file in $form"
    entry="메모 $form-P0-Ctrl+Alt+N-프로그램 실행-C:\\e2e\\probe.exe;ㅡㅡexit $form-True-"
    mkdir -p "$(dirname "$list_file")"
    in_form "$form" <<<"$entry" > "$list_file"
    kv_start "$app" || { e2e_dump; exit 1; }
    kv_press ctrl+alt+n
    e2e_check "Ctrl+Alt+N runs its 프로그램 실행 entry" kv_wait_launch 'C:\e2e\probe.exe' "--exit $form"

    e2e_check "the editor shows" ed_show "$LIST"
    e2e_check "its row with the Hangul description" \
        ed_row_is P0 "메모 $form"$'\tP0\tCtrl+Alt+N\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit '"$form"$'\tTrue'
    ed_click_row "메모 $form"
    ui_click_into "$ED" "$ED_SUBJECT"
    xdotool key End
    ui_type 고침
    e2e_check "typing 고침 after the description edits the row" \
        ed_wait_row P0 "메모 $form고침"$'\tP0\tCtrl+Alt+N\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit '"$form"$'\tTrue'
    ui_click "$ED" 적용
    e2e_check "적용 writes the file back in $form, the edit in it" \
        ui_wait 10 "the saved file" file_is "$form" "메모 ${form}고침${entry#메모 $form}"
    case $form in
        utf8) e2e_check "without a mark" test "$(first_bytes 3)" != efbbbf ;;
        utf8bom) e2e_check "with its mark EF BB BF" test "$(first_bytes 3)" = efbbbf ;;
        utf16le) e2e_check "UTF-16 LE after its mark FF FE" test "$(first_bytes 4)" = fffe54ba ;;
    esac
    e2e_check "and no .bak beside it" test ! -e "$list_file.bak"
    kv_press ctrl+alt+n
    e2e_check "the applied entry still runs" kv_wait_launches 2 'C:\e2e\probe.exe' "--exit $form"

    kv_end_process "$KV_WINPID"
    kv_wait_hotkey free ctrl+alt N 10 && kv_wait_hotkey free ctrl+win F1 10
done

echo "== a character CP949 cannot spell, pasted into a CP949 list"
entry='메모-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit cp949-True-'
in_form cp949 <<<"$entry" > "$list_file"
old_bytes=$(od -An -tx1 "$list_file")
kv_start "$app" || { e2e_dump; exit 1; }
e2e_check "the editor shows" ed_show "$LIST"
ed_click_row 메모
ui_click_into "$ED" "$ED_SUBJECT"
xdotool key End
ui_paste 'café ☕'
e2e_check "the row shows what was pasted" \
    ed_wait_row P0 '메모café ☕'$'\tP0\tCtrl+Alt+N\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit cp949\tTrue'
ui_click "$ED" 적용
# (the box's text as the list tool writes it, line breaks as \r\n)
names_both() { ui_box_text 알림말 | grep -qF -- '\r\n    é (U+00E9)\r\n    ☕ (U+2615)\r\n'; }
e2e_check "적용 asks, naming both characters" ui_wait 10 "the box" names_both
e2e_check "before anything is written" test "$(od -An -tx1 "$list_file")" = "$old_bytes"
ui_click 알림말 class:Button:0 && e2e_wait_gone '^알림말$' 10
e2e_check "예 writes the list as UTF-8 with its mark, the characters in it" \
    ui_wait 10 "the saved file" file_is utf8bom "메모café ☕${entry#메모}"
e2e_check "the CP949 file is kept as .bak" test "$(od -An -tx1 "$list_file.bak" 2>/dev/null)" = "$old_bytes"
kv_press ctrl+alt+n
e2e_check "the entry still runs" kv_wait_launch 'C:\e2e\probe.exe' "--exit cp949"
kv_end_process "$KV_WINPID"

e2e_stop
e2e_summary
