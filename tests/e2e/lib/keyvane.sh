#!/bin/bash
# keyvane.sh - steps the Keyvane.exe scenarios share.  Source it after e2e.sh:
#
#   source lib/e2e.sh; source lib/keyvane.sh
#   e2e_start; app=$(e2e_install_keyvane); kv_work_file 'C:\app\MyJob.ini' <<'EOF' ... EOF
#   kv_focus_probe                     # a window to hold the focus; starts Wine's session
#   kv_start "$app"                    # returns once every hotkey is registered
#   kv_press ctrl+alt+n
#   kv_wait_launch 'C:\e2e\probe.exe' '--name 실행'
#
# Work files name the probe as the program to start, with its arguments after ";"; a "-"
# inside a field is written "ㅡ" (the separator would split it), so "--exit" is "ㅡㅡexit".

KV_RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
KV_USER_RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
# Seconds a program Keyvane has already asked for may still take to log its start; what
# has not shown by then after a later action did show was never started.
KV_GRACE=${KV_GRACE:-1}
# The entry every scenario's work file ends with: it starts the probe as "--exit 대조"
# (logs and exits at once), so pressing it shows that Keyvane handled everything before.
KV_CONTROL_KEY=ctrl+alt+z
KV_CONTROL_ENTRY='대조-P99-Ctrl+Alt+Z-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 대조-True-'

# ---------------------------------------------------------------- starting Keyvane
# kv_start <exe> [<mods> <vk>]...: starts Keyvane through startcheck, which returns when
# Keyvane first waits in its message loop.  Keyvane registers every hotkey before that, so
# nothing has to poll (and, for a moment, take) a hotkey while Keyvane registers it.
# Sets KV_START_MS (start to idle), KV_WINPID (Windows process id) and KV_HOTKEYS (one
# taken|free per <mods> <vk> pair, seen at that moment; Ctrl+Win+F1 is always checked last).
# The session must be up already (kv_focus_probe first): while Wine still starts its
# desktop, a new program looks idle before it reaches its message loop.
kv_start() {
    local exe=$1 out
    shift
    out=$(e2e_run "$(e2e_tool startcheck)" "$exe" "$@" 10 0x70)
    KV_START_MS=$(sed -n 's/^ms=\([0-9]*\) pid=.*/\1/p' <<<"$out")
    KV_WINPID=$(sed -n 's/^ms=[0-9]* pid=\([0-9]*\)$/\1/p' <<<"$out")
    KV_HOTKEYS=$(sed 1d <<<"$out" | tr '\n' ' ' | sed 's/ $//')
    if [ -z "$KV_START_MS" ] || [ "${KV_HOTKEYS##* }" != taken ]; then
        _e2e_log "Keyvane did not come up with its hotkeys: $out"
        return 1
    fi
}

# kv_unix_pids <exe Windows path>: host PIDs of this run's processes started from that file
kv_unix_pids() {
    local pid cmd
    e2e_wine_procs | while read -r pid cmd; do
        case $cmd in "$1"|"$1 "*|"\"$1\""*) echo "$pid" ;; esac
    done
}

# kv_end_process <Windows pid>: ends it the hard way (as a crash or Task Manager would)
kv_end_process() { e2e_run taskkill /F /PID "$1" >/dev/null; }

# kv_wait_hotkey <taken|free> <mods> <vk> [timeout_s=10]: polls hkcheck.  Only for a
# combination no program is registering at that moment (hkcheck takes a free one briefly).
kv_wait_hotkey() {
    _e2e_until "${4:-10}" "waiting for hotkey $2 $3 to be $1" _kv_hotkey_is "$1" "$2" "$3"
}
_kv_hotkey_is() { [ "$(e2e_hkcheck "$2" "$3")" = "$1" ]; }

# kv_all_exited <host pid>...: until every one of them has ended
kv_all_exited() {
    local p
    for p in "$@"; do e2e_wait_exit "$p" "${KV_EXIT_TIMEOUT:-10}" || return 1; done
}
# kv_all_running <host pid>...
kv_all_running() {
    local p
    for p in "$@"; do kill -0 "$p" 2>/dev/null || return 1; done
}

# ---------------------------------------------------------------- pressing hotkeys
# kv_focus_probe [name=포커스]: a probe window "probe <name>" that holds the focus while
# hotkeys are pressed (they reach Wine only through a focused Wine window); its log shows
# the keys that were not hotkeys.  Sets KV_FOCUS (X window), KV_FOCUS_PID (host PID).
kv_focus_probe() {
    KV_FOCUS_NAME=${1:-포커스}
    e2e_probe "$KV_FOCUS_NAME" || return 1
    KV_FOCUS=$E2E_WID KV_FOCUS_PID=$E2E_LASTPID
}
kv_focus_log() { e2e_probe_log "$KV_FOCUS_NAME"; }

# kv_press <xdotool key>...: focus the focus probe, wait until Wine has made it the active
# window (on a busy machine that comes after X has moved the focus), press
kv_press() {
    e2e_focus "$KV_FOCUS" || return 1
    _e2e_until 5 "the focus probe to be active" _kv_focus_active >/dev/null
    e2e_key "$@"
}
# the focus probe's last WM_ACTIVATE was an activation (true when it logs none)
_kv_focus_active() {
    local log last
    log=$(kv_focus_log 2>/dev/null) && [ -f "$log" ] || return 0
    last=$(grep -a '^ACTIVE ' "$log" | tail -n 1)
    [ -z "$last" ] || [ "$last" = "ACTIVE 1" ]
}

# ---------------------------------------------------------------- the tray menu
_kv_menu_gone() { ! _e2e_untitled_window '^Keyvane\.exe$' >/dev/null; }
# kv_tray_open: right-clicks Keyvane's icon (the first slot) and sets KV_MENU to its menu.
# Two right clicks within half a second are a double click, which opens no menu.
kv_tray_open() { sleep 0.6; e2e_tray_click 0 3 && KV_MENU=$(e2e_wait_menu Keyvane.exe 5); }
# kv_tray_choose <n>: the n-th item (1 = "단축 편집", separators not counted) clicked with
# the mouse (keys pressed in a tray menu can get lost under Wine).  Items are 18 px high,
# separators 9 px, inside a 3 px frame.
_KV_SEPARATORS_BEFORE=(0 0 1 1 2 3 3)
kv_tray_choose() {
    kv_tray_open || return 1
    local k=$(( $1 - 1 ))
    xdotool mousemove --window "$KV_MENU" 30 $(( 3 + 18 * k + 9 * _KV_SEPARATORS_BEFORE[$1] + 9 )) sleep 0.1 click 1
    _e2e_until 5 "the menu to close" _kv_menu_gone
}
# kv_stays_running <host pid> <seconds>: the process is there throughout (polled every 0.1 s)
kv_stays_running() {
    local end=$(( $(_e2e_now) + $2*1000000000 ))
    while [ "$(_e2e_now)" -lt "$end" ]; do
        kill -0 "$1" 2>/dev/null || { _e2e_log "process $1 ended"; return 1; }
        sleep 0.1
    done
}

# ---------------------------------------------------------------- watching launches
_kv_launch_re() {
    printf '^LAUNCH exe="%s" cwd="[^"]*" cmdline=%s$' "$(_e2e_ere_quote "$1")" "$(_e2e_ere_quote "$2")"
}
# kv_launch_count <exe Windows path> <exact arguments>: how many such starts so far
kv_launch_count() { grep -cE -- "$(_kv_launch_re "$1" "$2")" "$(e2e_launch_log)" 2>/dev/null; }
# kv_wait_launches <n> <exe Windows path> <exact arguments> [timeout_s=10]: until the
# program has been started that often
kv_wait_launches() {
    local end=$(( $(_e2e_now) + ${4:-10}*1000000000 ))
    until [ "$(kv_launch_count "$2" "$3")" -ge "$1" ]; do
        [ "$(_e2e_now)" -lt "$end" ] || { _e2e_log "TIMEOUT waiting for start $1 of $2 $3"; return 1; }
        sleep 0.05
    done
}
# kv_wait_launch <exe Windows path> <exact arguments> [timeout_s=10]: its first start
kv_wait_launch() { kv_wait_launches 1 "$@"; }
# kv_launches_are <n> <exe> <arguments>
kv_launches_are() { [ "$(kv_launch_count "$2" "$3")" = "$1" ]; }

# kv_settle: presses the control entry and waits until its start is logged, then the
# grace time.  Keyvane handles hotkeys one after another, so whatever an earlier press
# would have started has shown by then: the bounded wait before a "nothing happened" check.
kv_settle() {
    local n
    n=$(kv_launch_count 'C:\e2e\probe.exe' '--exit 대조')
    kv_press "$KV_CONTROL_KEY" || return 1
    # A press that demonstrably went nowhere (a busy machine moved the focus late) is
    # pressed once more.
    if ! kv_wait_launches $((n + 1)) 'C:\e2e\probe.exe' '--exit 대조' 8; then
        kv_press "$KV_CONTROL_KEY" || return 1
        kv_wait_launches $((n + 1)) 'C:\e2e\probe.exe' '--exit 대조' 10 || return 1
    fi
    sleep "$KV_GRACE"
}

# ---------------------------------------------------------------- files and registry
# kv_work_file <Windows path> < entries: writes a work file (CP949, CR LF) of the entries
# given as UTF-8 lines, with the control entry (see kv_settle) after them
kv_work_file() { { cat; echo "$KV_CONTROL_ENTRY"; } | e2e_write_cp949 "$1"; }

# kv_config <folder of the exe> <line>...: writes that folder's Config.ini (CP949, CR LF)
kv_config() {
    local dir=$1
    shift
    printf '%s\n' "$@" | e2e_write_cp949 "$dir\\Config.ini"
}

# kv_run_value [key=KV_RUN_KEY]: the "Keyvane" Run value as UTF-8 ('' when absent).  Read
# under the Korean locale: the data is a path that may hold Hangul.
kv_run_value() {
    wine_ko wine reg query "${1:-$KV_RUN_KEY}" /v Keyvane 2>/dev/null | iconv -f CP949 -t UTF-8 | tr -d '\r' |
        awk 'tolower($1) == "keyvane" { sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]+/, ""); print; exit }'
}
kv_run_value_is() { [ "$(kv_run_value "${2:-$KV_RUN_KEY}")" = "$1" ]; }
# kv_set_run_value <key> <data>: a "Keyvane" Run value as another program left it
kv_set_run_value() { wine_ko wine reg add "$1" /v Keyvane /t REG_SZ /d "$2" /f >/dev/null 2>&1; }

# kv_editor_re <work file Windows path>: the editor's window title, as an ERE
kv_editor_re() { echo "^ 키베인 v1\.5 - $(_e2e_ere_quote "$1")\$"; }
# kv_no_window <title ERE>: no visible window has that title
kv_no_window() { [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]; }

# kv_watch_wineboot <file> [timeout_s=10] &: records the Windows command lines of this
# prefix's wineboot.exe processes (ExitWindowsEx runs one; it lives for a moment only)
# as "WINEBOOT C:\windows\system32\wineboot.exe <arguments>" lines, until the ones seen
# have ended.  Writes "watching" first: wait for that line before pressing anything.
kv_watch_wineboot() {
    python3 - "$1" "${2:-10}" "$WINEPREFIX" <<'PY'
import os, re, sys, time
out, limit, prefix = sys.argv[1], float(sys.argv[2]), sys.argv[3]
# the wine loader shows "wine C:\...\wineboot.exe ...", the program itself its command line
program = re.compile(r"[A-Za-z]:\\\S*\\wineboot\.exe\b.*", re.I)
seen, lines, end = set(), set(), time.time() + limit
with open(out, "a") as f:
    print("watching", file=f, flush=True)
    while time.time() < end:
        for d in os.listdir("/proc"):
            if not d.isdigit():
                continue
            try:
                cmd = " ".join(open(f"/proc/{d}/cmdline", "rb").read().decode(errors="replace").replace("\0", " ").split())
                m = program.search(cmd)
                if not m or ("WINEPREFIX=" + prefix).encode() not in open(f"/proc/{d}/environ", "rb").read().split(b"\0"):
                    continue
            except OSError:
                continue
            seen.add(d)
            if m.group(0) not in lines:
                lines.add(m.group(0))
                print("WINEBOOT " + m.group(0), file=f, flush=True)
        if seen and not any(os.path.exists(f"/proc/{d}") for d in seen):
            break
        time.sleep(0.005)
PY
}
