#!/bin/bash
# ui.sh - finding, clicking and reading controls of a window as a user would, through
# tools/ctlist.cpp (which lists a window's controls with their places and states) and
# xdotool.  Source it after e2e.sh.
#
#   ui_click "$title" '적용'                  the control captioned 적용 ('&' ignored)
#   ui_click "$title" '찾기#2'                the third control captioned 찾기
#   ui_click "$title" 'class:Edit:0'          the first visible edit box
#   ui_click "$title" 'right:프로그램 실행:Edit'   the edit box on the same line as, and right
#                                             of, the control captioned 프로그램 실행
#   ui_type "$text"                           types into the focused control (any text)
#   ui_rows "$title"                          the rows of the window's first list view
#   ui_pick "$title" 'class:ComboBox:0' N      opens a drop-down list and clicks an item
#
# A window is named by its exact title.  Every control locator names one visible control;
# when none matches, the helpers fail and say which locator found nothing.

UI_ARTIFACTS=${UI_ARTIFACTS:-$E2E_ROOT/build/e2e-artifacts}
# The time-outs the scripts give are multiplied by UI_TIME_SCALE (default 2): on a busy
# machine a Wine window may take many times its usual time to answer.
UI_TIME_SCALE=${UI_TIME_SCALE:-2}

# ui_list <title>: ctlist's lines for that window (see tools/ctlist.cpp for the format)
ui_list() { e2e_run "$(e2e_tool ctlist)" "$1"; }

# ui_control <title> <locator>: the C line of the control the locator names (fails when none)
ui_control() {
    local line
    line=$(_ui_find_control "$@") && [ -n "$line" ] && echo "$line"
}
_ui_find_control() {
    ui_list "$1" | awk -F'\t' -v locator="$2" '
        function plain(s) { gsub(/&/, "", s); sub(/ +$/, "", s); return s }
        BEGIN {
            mode = "caption"; want = locator; nth = 0
            if (locator ~ /^class:/) {
                mode = "class"; n = split(substr(locator, 7), p, ":"); want = p[1]; if (n > 1) nth = p[2]
            } else if (locator ~ /^right:/) {
                # right:<anchor caption>:<class>; the caption may hold ":" itself
                mode = "right"; rest = substr(locator, 7); k = split(rest, q, ":"); want = q[k]
                anchor = substr(rest, 1, length(rest) - length(want) - 1)
            } else if (match(locator, /#[0-9]+$/)) {
                want = substr(locator, 1, RSTART - 1); nth = substr(locator, RSTART + 1)
            }
        }
        $1 != "C" || $7 != 1 { next }
        mode == "caption" && plain($4) == plain(want) { if (nth-- == 0) { print; exit } }
        mode == "class" && $3 == want { if (nth-- == 0) { print; exit } }
        mode == "right" { lines[++count] = $0 }
        END {
            if (mode != "right") exit
            for (i = 1; i <= count; i++) {
                split(lines[i], f, "\t")
                if (plain(f[4]) == plain(anchor)) { split(f[5], a, ","); break }
            }
            if (i > count) exit
            # the nearest control of that class to its right whose height overlaps it
            best = ""; bestx = 1e9
            for (i = 1; i <= count; i++) {
                split(lines[i], f, "\t"); split(f[5], r, ",")
                if (f[3] == want && r[2] < a[4] && r[4] > a[2] && r[1] >= a[3] - 4 && r[1] < bestx) { best = lines[i]; bestx = r[1] }
            }
            if (best != "") print best
        }'
}

# ui_field <title> <locator> <n>: field n (1-based) of the control's C line; 4 is the caption,
# 9 the state
ui_field() { ui_control "$1" "$2" | cut -f"$3"; }
ui_text() { ui_field "$1" "$2" 4; }
ui_state() { ui_field "$1" "$2" 9; }
# ui_enabled <title> <locator>: true when the control is enabled
ui_enabled() { [ "$(ui_field "$1" "$2" 8)" = 1 ]; }
ui_checked() { [ "$(ui_state "$1" "$2")" = check=1 ]; }

# ui_centre <title> <locator>: "x y" of the control's centre on the screen
ui_centre() {
    local line
    line=$(ui_control "$1" "$2")
    [ -n "$line" ] || { _e2e_log "no visible control '$2' in window '$1'"; return 1; }
    cut -f6 <<<"$line" | tr ',' ' '
}

# ui_click <title> <locator> [button=1] [clicks=1]: moves the pointer there and clicks
ui_click() {
    local xy
    xy=$(ui_centre "$1" "$2") || return 1
    # shellcheck disable=SC2086
    xdotool mousemove $xy sleep 0.05 click --repeat "${4:-1}" --delay 80 "${3:-1}"
}

# ui_focused <title> <locator>: the control has the keyboard focus
ui_focused() { [ "$(ui_field "$1" "$2" 10)" = 1 ]; }
# ui_click_into <title> <locator>: clicks a box and waits until it has the keyboard focus,
# clicking again when the first click went nowhere (a busy machine may lose it), so that
# what is typed next lands there
ui_click_into() {
    local try
    for try in 1 2 3; do
        ui_click "$1" "$2" || return 1
        ui_wait 5 "'$2' of '$1' to have the focus" ui_focused "$1" "$2" && return 0
    done
    return 1
}

# ui_wid <title> [timeout_s=10]: X window id of the visible window with exactly that title
ui_wid() { e2e_wait_window "^$(_e2e_ere_quote "$1")\$" $(( ${2:-10} * UI_TIME_SCALE )); }
# ui_focus <title>: gives that window the keyboard focus (Wine makes it the foreground window)
ui_focus() { local w; w=$(ui_wid "$1" 5) && e2e_focus "$w"; }

# ui_type <text>: types into the focused control.  ASCII goes through xdotool as keys; any
# other text through the clipboard and Ctrl+V (xdotool cannot type Hangul into Wine).
ui_type() {
    if LC_ALL=C grep -q '^[ -~]*$' <<<"$1"; then
        xdotool type --delay 30 -- "$1"
    else
        ui_paste "$1"
    fi
}
# ui_paste <text>: puts the text on the clipboard and presses Ctrl+V
ui_paste() {
    # xclip serves the text until another program owns the clipboard; in the
    # foreground (-quiet) so that its PID is known and e2e_stop ends it
    printf '%s' "$1" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
    E2E_PIDS+=("$!")
    _e2e_until 5 "the clipboard to hold the text" _ui_clipboard_is "$1" || return 1
    # Wine takes the new owner's text over a little later: a paste before that would put
    # in what was on the clipboard before
    _e2e_until 10 "Wine's clipboard to hold the text" _ui_wine_clipboard_is "$1" || return 1
    xdotool key --delay 30 ctrl+v
}
_ui_clipboard_is() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }
_ui_wine_clipboard_is() { [ "$(e2e_run "$(e2e_tool clipcheck)" text 2>/dev/null)" = "TEXT=$1" ]; }

# ui_set_text <title> <locator> <text>: clicks into an edit box, selects all it holds and
# types the text over it
ui_set_text() {
    ui_click_into "$1" "$2" || return 1
    xdotool key --delay 30 End shift+Home BackSpace
    ui_type "$3"
}

# ui_rows <title> [k=0]: the rows of the window's k-th list view, one per line: selected
# (0|1) and the cells, tab-separated
ui_rows() {
    ui_list "$1" | awk -F'\t' -v k="${2:-0}" '
        $1 == "C" { list += ($3 == "SysListView32") }
        $1 == "R" && list == k + 1 { line = $3; for (i = 5; i <= NF; i++) line = line "\t" $i; print line }'
}
# ui_row_click <title> <row index> [k=0] [clicks=1]: clicks a row of the k-th list view
# (the row must be shown)
ui_row_click() {
    local xy
    xy=$(ui_list "$1" | awk -F'\t' -v n="$2" -v k="${3:-0}" '
        $1 == "C" { list += ($3 == "SysListView32") }
        $1 == "R" && list == k + 1 && $2 == n && $4 != "-,-" { print $4; exit }' | tr ',' ' ')
    [ -n "$xy" ] || { _e2e_log "row $2 of list $((${3:-0})) in '$1' is not shown"; return 1; }
    # shellcheck disable=SC2086
    xdotool mousemove $xy sleep 0.05 click --repeat "${4:-1}" --delay 80 1
}
# ui_row_of <title> <cell text> [k=0]: index of the first row of the k-th list view that
# has a cell with exactly that text
ui_row_of() {
    ui_list "$1" | awk -F'\t' -v t="$2" -v k="${3:-0}" '
        $1 == "C" { list += ($3 == "SysListView32") }
        $1 == "R" && list == k + 1 { for (i = 5; i <= NF; i++) if ($i == t) { print $2; exit } }'
}
# ui_click_row_with <title> <cell text> [k=0]: clicks the first row showing that text
ui_click_row_with() {
    local n
    n=$(ui_row_of "$@")
    [ -n "$n" ] || { _e2e_log "no row with '$2' in '$1'"; return 1; }
    ui_row_click "$1" "$n" "${3:-0}"
}

# ui_pick <title> <combo locator> <item>: opens the drop-down list and clicks the item
ui_pick() {
    local xy
    ui_click "$1" "$2" || return 1
    xy=$(_e2e_until $(( 5 * UI_TIME_SCALE )) "waiting for '$3' in the open drop-down list" _ui_drop_item "$3") || return 1
    # shellcheck disable=SC2086
    xdotool mousemove $xy sleep 0.05 click 1
}
_ui_drop_item() { e2e_run "$(e2e_tool ctlist)" --drop "$1" | awk -F'\t' '$4 != "-,-" { print $4; ok = 1 } END { exit !ok }' | tr ',' ' '; }

# ui_wait <timeout_s> <what> <command...>: until the command succeeds (output discarded).
ui_wait() { local t=$(( $1 * UI_TIME_SCALE )) what=$2; shift 2; _e2e_until "$t" "$what" "$@" >/dev/null; }
# ui_has_text <title> <locator> <text>: the control shows exactly that text
ui_has_text() {
    local line
    line=$(ui_control "$1" "$2") && [ -n "$line" ] && [ "$(cut -f4 <<<"$line")" = "$3" ]
}
# ui_wait_text <title> <locator> <text> [timeout_s=10]
ui_wait_text() { ui_wait "${4:-10}" "'$2' of '$1' to read '$3'" ui_has_text "$1" "$2" "$3"; }

# ui_menu <title> <bar item> <key>...: opens that menu of the window's menu bar from the
# keyboard (F10, arrows) and presses the keys given, e.g. an item's mnemonic, or Down and
# Return for an item without one
ui_menu() {
    local title=$1 item=$2 n i
    shift 2
    n=$(ui_list "$title" | awk -F'\t' -v t="$item" '$1 == "M" { if ($2 == t) { print i + 0; exit } i++ }')
    [ -n "$n" ] || { _e2e_log "no menu '$item' in '$title'"; return 1; }
    ui_focus "$title" || return 1
    xdotool key F10 sleep 0.2
    for ((i = 0; i < n; i++)); do xdotool key Right sleep 0.1; done
    xdotool key Down sleep 0.2
    xdotool key --delay 100 "$@"
}

# ui_box_text <title>: the texts (not the buttons) of a message box, one per line
ui_box_text() { ui_list "$1" | awk -F'\t' '$1 == "C" && $3 == "Static" && $4 != "" { print $4 }'; }
# ui_box_has <title> <text>: a shown message box with that title says exactly that
ui_box_has() { ui_box_text "$1" | grep -qxF -- "$2"; }

# ui_shot <name> [title]: a screenshot (of that window, or the whole screen) kept as
# build/e2e-artifacts/<test>/<name>.png
# The first screenshot of a run empties the test's folder: what it holds is this run's.
ui_shot() {
    local dir=$UI_ARTIFACTS/$(basename "${0%.sh}") target=root
    [ -n "${_UI_SHOTS_STARTED:-}" ] || rm -rf "$dir"
    _UI_SHOTS_STARTED=1
    mkdir -p "$dir"
    if [ -n "${2:-}" ]; then target=$(ui_wid "$2" 5) || return 1; fi
    import -window "$target" "$dir/$1.png" 2>/dev/null
}

# ui_wait_popup [timeout_s=5]: until a popup menu (a menu window, class #32768) is shown
ui_wait_popup() { ui_wait "${1:-5}" "a popup menu" _ui_popup_shown; }
_ui_popup_shown() { e2e_run "$(e2e_tool ctlist)" --titles | grep -q $'^V\t#32768\t'; }

# ui_wait_dialog [timeout_s=10] [title to pass over...]: prints the title of the first
# shown dialog-class window (#32770) that is none of the titles given, e.g. a system dialog
# whose caption depends on Wine's language
ui_wait_dialog() {
    local t=${1:-10}
    shift
    _e2e_until $(( t * UI_TIME_SCALE )) "a dialog window" _ui_dialog "$@"
}
_ui_dialog() {
    e2e_run "$(e2e_tool ctlist)" --titles | awk -F'\t' -v skip="$(printf '%s\n' "$@")" '
        BEGIN { n = split(skip, s, "\n"); for (i = 1; i <= n; i++) if (s[i] != "") no[s[i]] = 1 }
        $1 == "V" && $2 == "#32770" && !($3 in no) { print $3; found = 1; exit }
        END { exit !found }'
}

# ui_tree_open <title> <ERE>...: in the window's tree view, opens each item in turn (a
# double click, then waiting for its children) and selects the last one with one click
ui_tree_open() {
    local title=$1 xy re
    shift
    while [ $# -gt 0 ]; do
        re=$1
        shift
        xy=$(_e2e_until $(( 10 * UI_TIME_SCALE )) "tree item /$re/ in '$title'" _ui_tree_item "$title" "$re") || return 1
        # shellcheck disable=SC2086
        if [ $# -gt 0 ]; then
            xdotool mousemove $xy sleep 0.05 click --repeat 2 --delay 80 1
        else
            xdotool mousemove $xy sleep 0.05 click 1
        fi
    done
}
_ui_tree_item() {
    ui_list "$1" | awk -F'\t' -v re="$2" '$1 == "T" && $3 ~ re { print $4; found = 1; exit } END { exit !found }' | tr ',' ' '
}

# ui_label_shown <title> <text>: a label of the window reads exactly that
ui_label_shown() { ui_list "$1" | awk -F'\t' -v t="$2" '$1 == "C" && $3 == "Static" && $7 == 1 && $4 == t { f = 1 } END { exit !f }'; }

# ui_close_box <title>: clicks the window's close box (the caption's right end; Wine draws
# the caption itself when no window manager runs)
ui_close_box() {
    local r
    r=$(ui_list "$1" | awk -F'\t' '$1 == "W" { print $4; exit }')
    [ -n "$r" ] || { _e2e_log "no window '$1'"; return 1; }
    IFS=, read -r _ top right _ <<<"$r"
    xdotool mousemove $((right - 14)) $((top + 12)) sleep 0.05 click 1
}
