#!/bin/bash
# editor.sh - the editor window's controls as a user finds them.  Source after e2e.sh,
# keyvane.sh and ui.sh.
#
#   ed_begin                           fresh prefix, Keyvane installed as C:\app (path in $app)
#   kv_work_file 'C:\app\MyJob.ini' <<EOF ...   then whatever else the test needs on disk
#   ed_open                            focus probe, Keyvane started, its editor shown
#   ed_show 'C:\app\MyJob.ini'         Ctrl+Win+F1, waits for the editor; its title in $ED
#   ed_click_row 첫째                   selects the row whose description is 첫째
#   ed_row P0                           that row's six cells, tab-separated
#   ui_click "$ED" "$(ed_side 다중작업 실행)"   the "입력"/"찾기" button of that kind
#
# Controls are found by what stands beside them: the description box right of its label,
# an info box and its button on the line of their kind's radio button.

ED_SUBJECT='right:단축키 설명 ::Edit'
ED_KEYS='class:ComboBox:0'

# ed_title [work file]: the editor's title ("Keyvane" before any work file was loaded or saved)
ed_title() { if [ -n "${1:-}" ]; then echo " 키베인 v1.5 - $1"; else echo Keyvane; fi; }
# ed_info <kind caption>: locator of that kind's info box; ed_side: of its side button
ed_info() { echo "right:$1:Edit"; }
ed_side() { echo "right:$1:Button"; }

# ed_begin: a fresh Xvfb and prefix with Keyvane installed; $app is its Windows path.
# Leaves the script when the prefix cannot be made.
ed_begin() {
    e2e_start || exit 1
    app=$(e2e_install_keyvane)
}

# ed_open [work file=C:\app\MyJob.ini]: the focus probe in front, Keyvane started and its
# editor shown by the hotkey; leaves the script (with the logs dumped) when any step fails.
ed_open() {
    kv_focus_probe
    kv_start "$app" || { e2e_dump; exit 1; }
    ed_show "${1:-C:\app\MyJob.ini}" || { e2e_dump; exit 1; }
}

# ed_show [work file]: shows the editor by its hotkey (pressed in the focus probe) and sets
# ED to its title
ed_show() {
    ED=$(ed_title "${1:-}")
    kv_press ctrl+super+F1
    ui_wid "$ED" 15 >/dev/null
}

# ed_wait_shown [work file]: waits for the editor shown some other way than its hotkey (the
# tray menu) and sets ED to its title
ed_wait_shown() { ED=$(ed_title "${1:-}"); ui_wid "$ED" 15 >/dev/null; }

# ed_row <id> [title=$ED]: the cells of the editor's row with that ID (column 2)
ed_row() { ui_rows "${2:-$ED}" | awk -F'\t' -v id="$1" '$3 == id { sub(/^[01]\t/, ""); print; exit }'; }
# ed_row_is <id> <cells joined by tabs>: the row reads exactly so
ed_row_is() { [ "$(ed_row "$1")" = "$2" ]; }
ed_wait_row() { ui_wait "${3:-10}" "row $1 to read '$2'" ed_row_is "$1" "$2"; }
# ed_ids: the IDs of the rows, in order, one line
ed_ids() { ui_rows "$ED" | cut -f3 | tr '\n' ' ' | sed 's/ $//'; }
ed_ids_are() { [ "$(ed_ids)" = "$1" ]; }
# ed_selected: the ID of the selected row ('' when none)
ed_selected() { ui_rows "$ED" | awk -F'\t' '$1 == 1 { print $3; exit }'; }
ed_selected_is() { [ "$(ed_selected)" = "$1" ]; }

# ed_click_row <description>: clicks that row and waits until it is selected and shown in
# the description box
ed_click_row() {
    local id
    ui_click_row_with "$ED" "$1" || return 1
    id=$(ui_rows "$ED" | awk -F'\t' -v d="$1" '$2 == d { print $3; exit }')
    ui_wait 10 "row '$1' selected" ed_selected_is "$id" &&
        ui_wait_text "$ED" "$ED_SUBJECT" "$1"
}

# ed_no_box <title ERE> [grace_s=KV_GRACE]: no such window appears within the grace time
ed_no_box() { sleep "${2:-$KV_GRACE}"; kv_no_window "$1"; }

# ed_answer <title> <button caption>: clicks a button of a shown message box
ed_answer() { ui_wid "$1" 10 >/dev/null && ui_click "$1" "$2"; }

# ed_cp949_is <Windows path> <UTF-8 text with \r\n escapes as printf takes them>: the
# file holds exactly those bytes once converted to CP949
ed_cp949_is() {
    local f
    f=$(e2e_unix_path "$1") || return 1
    # shellcheck disable=SC2059
    cmp -s "$f" <(printf "$2" | iconv -f UTF-8 -t CP949)
}

# ed_file_has <Windows path> <ERE>: a line of the CP949 file matches (read as UTF-8)
ed_file_has() { e2e_read_cp949 "$1" 2>/dev/null | grep -qE -- "$2"; }
# ed_key_shown <key name>: the key list shows that key
ed_key_shown() { [[ "$(ui_state "$ED" "$ED_KEYS")" == *" text=$1" ]]; }
