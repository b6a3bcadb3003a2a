#!/bin/bash
# e2e.sh - helpers for the end-to-end tests of Keyvane.exe under Wine + Xvfb.
#
#   source tests/e2e/lib/e2e.sh
#   e2e_start                          # own Xvfb + private prefix (copy of the template)
#   app=$(e2e_install_keyvane)         # C:\app\Keyvane.exe
#   e2e_write_cp949 'C:\app\Config.ini' <<'EOF' ... EOF
#   e2e_wine "$app"                    # background, Korean locale (code page 949)
#   e2e_probe 메모                     # foreground application stand-in, window id in $E2E_WID
#   e2e_focus "$E2E_WID"; e2e_key ctrl+alt+F1
#   e2e_wait_file "$(e2e_probe_log 메모)" '^KEY vk=0x41 '
#   e2e_stop                           # also runs on EXIT (trap installed by e2e_start)
#   e2e_summary                        # "N passed, N failed" of the e2e_check calls
#
# Logs land in $E2E_RUN/logs (Windows: %E2E_LOGDIR%, inherited by every program started
# from the test, so by everything Keyvane launches):
#   launch.log      one LAUNCH line per probe start, ShellExecute'd URL, folder, iexplore.exe
#   probe_<n>.log   START acp=.., KEY, CHAR, PASTE, ACTIVE, HOTKEY, CLOSE of probe "n"
# See tools/probe.cpp for the exact line formats.
#
# Run test scripts under lib/reap.py (run_all.sh does): Wine daemonises its servers,
# and only a subreaper collects them.  Nothing here kills by process name: only this
# run's wineserver (its prefix) and PIDs this shell started.
#
# The Windows programs come from the win32 build tree (cmake --build --preset win32):
#   $E2E_BIN/Keyvane.exe, $E2E_TOOLS/probe.exe, $E2E_TOOLS/hkcheck.exe, ...
# Everything Wine-related lives under build/wine/: the template prefixes (tpl32, and
# tpl64 for the tests that set E2E_ARCH=win64) and one folder per run (runs/<test>.XXXX
# with logs/, wine.out, xvfb.log; the prefix inside it is deleted by e2e_stop unless
# E2E_KEEP=1).

E2E_HOME=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)          # tests/e2e
E2E_ROOT=$(cd "$E2E_HOME/../.." && pwd)                             # repository
E2E_WINE_DIR=${E2E_WINE_DIR:-$E2E_ROOT/build/wine}
source "$E2E_HOME/lib/width.sh"   # E2E_WIDTH, and the 64-bit "wine" where it is 64
E2E_BIN=${E2E_BIN:-$E2E_ROOT/build/win$E2E_WIDTH}
E2E_TOOLS=${E2E_TOOLS:-$E2E_BIN/tests/e2e}
# E2E_ARCH=win64 (set before sourcing) runs the test in a 64-bit prefix, where the
# 32-bit Keyvane runs under WoW64; the default is a prefix of Keyvane's own width.
E2E_ARCH=${E2E_ARCH:-win$E2E_WIDTH}
E2E_TEMPLATE=${E2E_TEMPLATE:-$E2E_WINE_DIR/tpl${E2E_ARCH#win}}
E2E_SCREEN=${E2E_SCREEN:-1024x768x24}

export WINEDEBUG=${WINEDEBUG:--all}
# mscoree/mshtml: no Mono/Gecko download prompts; winemenubuilder: no .desktop files in $HOME
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
# Always explicit: with 64-bit Wine installed, a new prefix would otherwise be 64-bit.
export WINEARCH=$E2E_ARCH
# Wine takes its code page from the locale: ko_KR.UTF-8 gives GetACP()=949 and Korean
# X window titles (WM_NAME) that xdotool --name can match.  The glibc locale must be
# generated (scripts/setup does it); without it Wine falls back to code page 1252.
# Set E2E_WINE_LOCALE=en_US.UTF-8 (generated) to run a program under a non-Korean ACP.
E2E_WINE_LOCALE=${E2E_WINE_LOCALE:-ko_KR.UTF-8}
export LANG=C.UTF-8 LC_ALL=C.UTF-8     # Linux-side tools: UTF-8 text, English messages
wine_ko() { LC_ALL=$E2E_WINE_LOCALE LANG=$E2E_WINE_LOCALE "$@"; }

_e2e_log() { echo "[e2e $(date +%T.%3N)] $*" >&2; }
_e2e_now() { date +%s%N; }
_e2e_ms_since() { echo $(( ($(_e2e_now) - $1) / 1000000 )); }

# e2e_tool <name>: host path of a Windows helper built from tests/e2e/tools/<name>.cpp
e2e_tool() { echo "$E2E_TOOLS/$1.exe"; }

e2e_check_host() {
    local t
    for t in wine wineserver Xvfb xdotool iconv flock; do
        command -v "$t" >/dev/null || { _e2e_log "missing '$t': run scripts/setup"; return 1; }
    done
    [ "$E2E_ARCH" = win32 ] || [ -x /usr/lib/wine/wine64 ] || {
        _e2e_log "missing 64-bit Wine (wine64): run scripts/setup"; return 1; }
    locale -a 2>/dev/null | grep -qix 'ko_KR\.utf-\?8' || {
        _e2e_log "locale ko_KR.UTF-8 missing: run scripts/setup"; return 1; }
}

# ---------------------------------------------------------------- template prefix
# Built once (about 12 s) and rebuilt when the .reg files, the probe binary or this
# function change.  Built aside and renamed into place under an exclusive lock, so
# runs copying it (shared lock) never see half a prefix.
# Ready = stamp matches and the prefix is whole (a deleted build tree may leave parts).
_e2e_template_ok() {
    [ "$(cat "$E2E_TEMPLATE/.e2e-ready" 2>/dev/null)" = "$1" ] &&
        [ -f "$E2E_TEMPLATE/system.reg" ] && [ -f "$E2E_TEMPLATE/drive_c/e2e/probe.exe" ] &&
        [ -d "$E2E_TEMPLATE/drive_c/windows/system32" ]
}
_e2e_template_stamp() {
    { echo "$E2E_ARCH"; cat "$E2E_HOME"/lib/prefix-*.reg "$(e2e_tool probe)"; declare -f e2e_make_template; } |
        md5sum | cut -c1-32
}
e2e_make_template() {
    local tpl=$E2E_TEMPLATE probe stamp fd rc=0
    probe=$(e2e_tool probe)
    e2e_check_host || return 1
    [ -f "$probe" ] || { _e2e_log "missing $probe: cmake --build --preset win32 --target probe hkcheck"; return 1; }
    stamp=$(_e2e_template_stamp)
    _e2e_template_ok "$stamp" && return 0
    mkdir -p "$(dirname "$tpl")"
    exec {fd}>>"$tpl.lock"
    flock "$fd"
    if ! _e2e_template_ok "$stamp"; then
        _e2e_log "creating template prefix $tpl"
        local t0 new=$tpl.new
        t0=$(_e2e_now)
        rm -rf "$new"
        (   export WINEPREFIX=$new
            unset DISPLAY                       # no "updating configuration" window
            wine_ko wineboot -i >/dev/null 2>&1 || exit 1
            # Launch interception (see prefix-intercept.reg): the probe as C:\e2e\probe.exe
            # and as the iexplore.exe that ShellExecute always picks.
            mkdir -p "$new/drive_c/e2e"
            cp "$probe" "$new/drive_c/e2e/probe.exe"
            rm -f "$new/drive_c/windows/system32/iexplore.exe"
            cp "$probe" "$new/drive_c/windows/system32/iexplore.exe"
            for f in "$E2E_HOME"/lib/prefix-*.reg; do wine_ko wine regedit /S "$f" >/dev/null 2>&1 || exit 1; done
            wineserver -w ) || rc=1
        # Desktop, Documents... are symlinks into $HOME: real folders keep runs isolated
        [ $rc = 0 ] && find "$new/drive_c/users" -type l | while read -r l; do rm "$l"; mkdir -p "$l"; done
        if [ $rc = 0 ] && [ -f "$new/system.reg" ]; then
            echo "$stamp" > "$new/.e2e-ready"
            rm -rf "$tpl" && mv "$new" "$tpl"
            _e2e_log "template ready in $(_e2e_ms_since "$t0") ms"
        else
            _e2e_log "template creation failed (prefix left in $new)"; rc=1
        fi
    fi
    exec {fd}>&-
    return $rc
}

# ---------------------------------------------------------------- start / stop
# Xvfb's keymap turns Ctrl+Alt+F1..F12 into "switch to VT n", an action the server
# performs itself: the F key never reaches any client, so no such hotkey could be
# pressed.  Keymap changes made at run time (xmodmap, xkbcomp, setxkbmap) do not take
# on Xvfb, so it gets an XKB folder of its own, identical to the system's except that
# the pc symbols include no server keys.  Prints that folder; fails when it cannot be
# made.  Also used by scripts/run, which may be the first thing to run in a new clone.
_e2e_xkbdir() {
    local sys=/usr/share/X11/xkb dir=$E2E_WINE_DIR/xkb new
    if [ ! -f "$dir/.ready" ]; then
        mkdir -p "$E2E_WINE_DIR" && new=$(mktemp -d "$E2E_WINE_DIR/xkb.XXXXXX") || return 1
        if cp -rs "$sys/." "$new/" && rm "$new/symbols/pc" &&
            sed 's/include "srvr_ctrl(fkey2vt)"/include "srvr_ctrl(no_srvr_keys)"/' "$sys/symbols/pc" > "$new/symbols/pc" &&
            touch "$new/.ready" && chmod 755 "$new"; then
            mv -T "$new" "$dir" 2>/dev/null || rm -rf "$new"    # another run was first
        else
            rm -rf "$new"
        fi
        [ -f "$dir/.ready" ] || { _e2e_log "cannot make the XKB folder $dir"; return 1; }
    fi
    echo "$dir"
}

# e2e_start [rundir]: fresh Xvfb (free display number) + private prefix copied from the
# template.  Exports E2E_RUN DISPLAY WINEPREFIX E2E_LOGDIR (Windows path of $E2E_RUN/logs,
# inherited by every Windows program started from here).  Installs `trap e2e_stop EXIT`;
# a test that sets its own EXIT trap must call e2e_stop in it.
e2e_start() {
    local name fd i xkb
    name=$(basename "${0%.sh}")
    e2e_make_template || return 1
    mkdir -p "$E2E_WINE_DIR/runs"
    # runs of earlier days: their logs are no longer of interest
    find "$E2E_WINE_DIR/runs" -mindepth 1 -maxdepth 1 -type d -mmin +240 -exec rm -rf {} + 2>/dev/null
    E2E_RUN=${1:-$(mktemp -d "$E2E_WINE_DIR/runs/$name.XXXXXX")}
    mkdir -p "$E2E_RUN/logs" "$E2E_RUN/prefix"
    exec {fd}>>"$E2E_TEMPLATE.lock"
    flock -s "$fd"
    if [ "$(stat -c %d "$E2E_TEMPLATE")" = "$(stat -c %d "$E2E_RUN")" ]; then
        # Real copies of everything but system32 (500 MB of DLLs), which is hard-linked:
        # 0.15 s instead of 1.7 s.  Never modify a system32 file in place: rm it first.
        tar -C "$E2E_TEMPLATE" --exclude=./drive_c/windows/system32 -cf - . | tar -C "$E2E_RUN/prefix" -xf -
        cp -al "$E2E_TEMPLATE/drive_c/windows/system32" "$E2E_RUN/prefix/drive_c/windows/"
    else
        cp -a "$E2E_TEMPLATE/." "$E2E_RUN/prefix/"
    fi
    exec {fd}<&-
    export E2E_RUN WINEPREFIX=$E2E_RUN/prefix
    export E2E_LOGDIR="Z:${E2E_RUN//\//\\}\\logs"
    xkb=$(_e2e_xkbdir) || return 1
    Xvfb -displayfd 3 -screen 0 "$E2E_SCREEN" -nolisten tcp -xkbdir "$xkb" 3>"$E2E_RUN/display" >"$E2E_RUN/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    for i in $(seq 200); do [ -s "$E2E_RUN/display" ] && break; sleep 0.025; done
    [ -s "$E2E_RUN/display" ] || { _e2e_log "Xvfb did not start: $(cat "$E2E_RUN/xvfb.log")"; return 1; }
    export DISPLAY=:$(head -1 "$E2E_RUN/display")
    E2E_PIDS=()
    trap e2e_stop EXIT
    _e2e_log "run=$E2E_RUN DISPLAY=$DISPLAY xvfb_pid=$E2E_XVFB_PID"
    _e2e_desktop_up
}

# Now and then a fresh Wine server never gets its desktop process going: the first
# window of the run is never made, and every program after it waits for it too.  So
# the desktop comes up before the test's first step (wincheck asks for the windows,
# which needs it); a server whose desktop is not there within 40 s is ended and
# started again, at most twice.
_e2e_desktop_up() {
    local i out
    for i in 1 2 3; do
        out=$(LC_ALL=$E2E_WINE_LOCALE LANG=$E2E_WINE_LOCALE timeout -k 5 40 \
            wine "$(e2e_tool wincheck)" count "no such window" 2>>"$E2E_RUN/wine.out" | tr -d '\r')
        [ "$out" = 0 ] && return 0
        _e2e_log "Wine's desktop did not come up (attempt $i, answer '$out'): starting the server again"
        wineserver -k 2>/dev/null
        timeout 15 wineserver -w 2>/dev/null
    done
    return 1
}

# e2e_stop: ends every Windows process of this run's prefix, its Xvfb, its CUPS server
# (e2e_cups_start), deletes the prefix.
e2e_stop() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null               # only the processes of THIS prefix
        timeout 15 wineserver -w 2>/dev/null    # until the server is gone (registry flushed)
    fi
    e2e_cups_stop
    local p
    for p in "${E2E_PIDS[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
    if [ -n "${E2E_XVFB_PID:-}" ]; then kill "$E2E_XVFB_PID" 2>/dev/null; wait "$E2E_XVFB_PID" 2>/dev/null; fi
    E2E_PIDS=() E2E_XVFB_PID=
    [ -n "${E2E_KEEP:-}" ] || [ -z "${E2E_RUN:-}" ] || rm -rf "$E2E_RUN/prefix"
}

# ---------------------------------------------------------------- programs and files
# e2e_wine <exe> [args...]: start a Windows program in the background (Korean locale).
# PID (of the wine loader, which lives as long as the program) in $E2E_LASTPID; output
# in $E2E_RUN/wine.out.  Call it directly, not in $(...), or the PID is lost.
e2e_wine() {
    wine_ko wine "$@" >>"$E2E_RUN/wine.out" 2>&1 &
    E2E_LASTPID=$!
    E2E_PIDS+=("$E2E_LASTPID")
}

# e2e_run <exe> [args...]: run a console program to its end; its stdout without CRs.
e2e_run() { wine_ko wine "$@" 2>>"$E2E_RUN/wine.out" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# e2e_unix_path 'C:\app\Config.ini' -> host path inside this run's prefix
e2e_unix_path() {
    local p=${1//\\//} d
    d=$(echo "${p:0:1}" | tr 'A-Z' 'a-z')
    case $p in
        [A-Za-z]:*) echo "$WINEPREFIX/dosdevices/$d:${p:2}" ;;
        *) _e2e_log "not a drive path: $1"; return 1 ;;
    esac
}

# e2e_install <file> [folder under C:, default app]: copy into the prefix, print its Windows path
e2e_install() {
    local d=${2:-app}
    mkdir -p "$WINEPREFIX/drive_c/$d"
    cp "$1" "$WINEPREFIX/drive_c/$d/" || return 1
    echo "C:\\${d//\//\\}\\$(basename "$1")"
}
# e2e_install_keyvane [folder, default app]: Keyvane.exe from the win32 build -> C:\app\Keyvane.exe
e2e_install_keyvane() { e2e_install "$E2E_BIN/Keyvane.exe" "${1:-app}"; }

# e2e_write_cp949 'C:\app\MyJob.ini' < utf8-text: writes the text as CP949 with CR LF
# line ends (the program's file format); creates the folder.  Use for work files,
# Config.ini and any fixture the program reads.
e2e_write_cp949() {
    local f
    f=$(e2e_unix_path "$1") || return 1
    mkdir -p "$(dirname "$f")"
    sed 's/\r$//; s/$/\r/' | iconv -f UTF-8 -t CP949 > "$f"
}
# e2e_read_cp949 'C:\app\MyJob.ini': prints a CP949 CR LF file as UTF-8 with LF
e2e_read_cp949() {
    local f
    f=$(e2e_unix_path "$1") || return 1
    iconv -f CP949 -t UTF-8 "$f" | tr -d '\r'
}

# ---------------------------------------------------------------- probe and hkcheck
# e2e_probe <name> [more args]: starts C:\e2e\probe.exe --name <name>, waits for its window
# "probe <name>" (E2E_START_TIMEOUT s, default 30: the first program also starts Wine's
# session, slow on a loaded machine), leaves the X window id in $E2E_WID (call directly).
# It logs keys to $(e2e_probe_log <name>) and its start to $(e2e_launch_log).
e2e_probe() {
    local n=$1; shift
    e2e_wine 'C:\e2e\probe.exe' --name "$n" "$@"
    E2E_WID=$(e2e_wait_window "^probe $(_e2e_ere_quote "$n")\$" "${E2E_START_TIMEOUT:-30}")
}
e2e_probe_log() { echo "$E2E_RUN/logs/probe_$1.log"; }
# e2e_probe_as 'C:\tools\메모.exe': a copy of the probe under that name, for a program
# Keyvane starts; it logs a LAUNCH line and shows "probe 메모" (logging to probe_메모.log).
e2e_probe_as() {
    local f
    f=$(e2e_unix_path "$1") || return 1
    mkdir -p "$(dirname "$f")" && cp "$(e2e_tool probe)" "$f"
}
e2e_launch_log() { echo "$E2E_RUN/logs/launch.log"; }
# Launch lines: LAUNCH exe="C:\..." cwd="C:\..." cmdline=<arguments as received>
e2e_launches() { cat "$(e2e_launch_log)" 2>/dev/null; }

# e2e_hkcheck <mods> <vk>: prints taken|free - is that hotkey registered by some program
# of this run?  mods: number (MOD_ALT=1 CONTROL=2 SHIFT=4 WIN=8) or names (ctrl+alt);
# vk: number (0x70 = F1) or a name (F1, A, 7).  Nothing is pressed.
e2e_hkcheck() { e2e_run "$(e2e_tool hkcheck)" "$@"; }

_e2e_ere_quote() { printf '%s' "$1" | sed 's/[][\.*^$+?(){}|/]/\\&/g'; }

# ---------------------------------------------------------------- waiting
# _e2e_until <timeout_s> <what> <cmd...>: runs cmd every 50 ms until it succeeds; after
# timeout_s seconds logs "TIMEOUT <what>" and fails.
_e2e_until() {
    local end=$(( $(_e2e_now) + $1*1000000000 )) what=$2
    shift 2
    while [ "$(_e2e_now)" -lt "$end" ]; do
        "$@" && return 0
        sleep 0.05
    done
    _e2e_log "TIMEOUT $what"; return 1
}
_e2e_file_has() { grep -qE -- "$2" "$1" 2>/dev/null; }
_e2e_first_window() {
    local id
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && echo "$id"
}
_e2e_no_window() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
_e2e_exited() { kill -0 "$1" 2>/dev/null && return 1; wait "$1" 2>/dev/null; return 0; }

# e2e_wait_file <file> <ERE> [timeout_s=10]
e2e_wait_file() { _e2e_until "${3:-10}" "waiting for /$2/ in $1" _e2e_file_has "$1" "$2"; }

# e2e_wait_window <title ERE> [timeout_s=10]: prints the X window id of the first visible
# match (polls every 50 ms; xdotool search --sync polls only every 0.5 s)
e2e_wait_window() { _e2e_until "${2:-10}" "waiting for window /$1/" _e2e_first_window "$1"; }

# e2e_wait_gone <title ERE> [timeout_s=10]
e2e_wait_gone() { _e2e_until "${2:-10}" "window /$1/ still visible" _e2e_no_window "$1"; }

# e2e_wait_exit <pid> [timeout_s=10]: until a process started by e2e_wine has ended
e2e_wait_exit() { _e2e_until "${2:-10}" "pid $1 still running" _e2e_exited "$1"; }

# ---------------------------------------------------------------- input
# Hotkeys only fire while some Wine window has the X focus (Wine grabs no keys
# globally), so focus a probe before pressing one.  Needs UseTakeFocus=N (template).
e2e_focus() { timeout 3 xdotool windowfocus --sync "$1" && sleep 0.1; }
# e2e_close <wid>: Alt+F4 -> SC_CLOSE -> WM_CLOSE (graceful: the program can save)
e2e_close() { e2e_focus "$1" && xdotool key alt+F4; }
e2e_key() { xdotool key --delay 30 "$@"; }
# With the focus on the root window X sends keys to the window under the pointer:
# park it in a corner (and focus the root) for "nothing may happen" checks.
e2e_unfocus() {
    xdotool mousemove 1020 760
    xdotool windowfocus "$(xwininfo -root | awk '/Window id/{print $4}')"
}

# Tray: Wine's own "Wine System Tray" window under bare Xvfb; its client area is 20 px
# high with 20x20 icon slots left to right in the order of NIM_ADD.  With Managed=N the
# X window also holds Wine's frame (3 px) and caption, so the slots are the bottom row.
e2e_tray_wid() { e2e_wait_window '^Wine System Tray$' "${1:-10}"; }
# e2e_tray_click <slot> <button 1|3> [clicks=1]
e2e_tray_click() {
    local tray WIDTH HEIGHT b
    tray=$(e2e_tray_wid) || return 1
    # another window (a focused probe) may lie over it
    xdotool windowraise "$tray" 2>/dev/null
    eval "$(xdotool getwindowgeometry --shell "$tray" | grep -E '^(WIDTH|HEIGHT)=')"
    b=$(( (WIDTH % 20) / 2 ))
    xdotool mousemove --window "$tray" $(( b + $1*20 + 10 )) $(( HEIGHT - b - 10 )) \
        click --repeat "${3:-1}" --delay 80 "$2"
}
# e2e_wait_menu <exe name> [timeout_s=5]: popup menu X window (visible, WM_CLASS=<exe>, no title)
e2e_wait_menu() {
    _e2e_until "${2:-5}" "waiting for popup menu of $1" _e2e_untitled_window "^$(_e2e_ere_quote "$1")\$"
}
_e2e_untitled_window() {
    local w
    for w in $(xdotool search --onlyvisible --classname "$1" 2>/dev/null); do
        [ -z "$(xdotool getwindowname "$w" 2>/dev/null)" ] && { echo "$w"; return 0; }
    done
    return 1
}
# e2e_menu_pick <menu wid> <mnemonic key>, e.g. e2e_menu_pick "$m" x  for "종료(&X)"
e2e_menu_pick() { timeout 3 xdotool windowfocus --sync "$1"; xdotool key "$2"; }

# ---------------------------------------------------------------- observing effects
# e2e_reg_get <key> <value>: prints the data ('' if absent); about 0.1 s while the
# wineserver runs.  Do not read system.reg/user.reg meanwhile: flushed only at exit.
e2e_reg_get() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v v="$2" 'tolower($1)==tolower(v) { sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]+/, ""); print; exit }'
}
# e2e_ini_get <Windows or host path> <section> <key>: value from a CP949 INI file, as UTF-8
e2e_ini_get() {
    local f=$1
    case $f in [A-Za-z]:\\*) f=$(e2e_unix_path "$f") ;; esac
    iconv -f CP949 -t UTF-8 "$f" | tr -d '\r' | awk -v s="[$2]" -v k="$3" '
        /^\[/ { in_s = (tolower($0) == tolower(s)); next }
        in_s && tolower(substr($0, 1, length(k) + 1)) == tolower(k "=") { print substr($0, length(k) + 2); exit }'
}
# Wine processes of THIS prefix with their Windows command lines (e.g. to see what
# was started without interception).  Only wine binaries count.
e2e_wine_procs() {
    local p exe
    for p in $(pgrep -u "$(id -u)" .); do
        exe=$(readlink "/proc/$p/exe" 2>/dev/null) || continue
        case $exe in */wine/wine|*/wine/wine64|*/wine/wineserver*|*preloader) ;; *) continue ;; esac
        tr '\0' '\n' 2>/dev/null < "/proc/$p/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
        echo "$p $(tr '\0' ' ' 2>/dev/null < "/proc/$p/cmdline")"
    done
}

# ---------------------------------------------------------------- printing
# e2e_cups_start: a CUPS server of this run's own (cupsd by PID, listening on a socket of
# its own only, so the system's CUPS and other runs are never touched) with a cups-pdf
# queue "PDF" as the default printer; each job becomes a PDF in $E2E_PDF_DIR.  Exports
# CUPS_SERVER, where every program of the run, Wine included, finds it.  Call it after
# e2e_start and before the first Wine program: Wine imports the CUPS printers once per
# wineserver session.  Needs cups, printer-driver-cups-pdf and libcups2:i386 (a 32-bit
# prefix loads the 32-bit libcups); run as root (cups-pdf runs as root, and its per-queue
# settings can only live in /etc/cups).  e2e_stop ends it.
# Without a printer: export CUPS_SERVER=/nonexistent before the session instead.
e2e_cups_start() {
    local d i
    # the server's folders: /tmp, since its filters run as "lp", who may not reach the run
    d=$(mktemp -d "${TMPDIR:-/tmp}/e2e-cups.XXXXXX") && chmod 755 "$d" || return 1
    E2E_CUPS_DIR=$d E2E_PDF_DIR=$E2E_RUN/pdf E2E_CUPS_QUEUE=e2e${d##*.}
    mkdir -p "$d"/{etc/ppd,spool,state,cache,tmp,log} "$E2E_PDF_DIR"
    cat > "$d/etc/cups-files.conf" <<EOF
ServerRoot $d/etc
RequestRoot $d/spool
StateDir $d/state
CacheDir $d/cache
TempDir $d/tmp
AccessLog $d/log/access_log
ErrorLog $d/log/error_log
PageLog $d/log/page_log
Printcap $d/state/printcap
SystemGroup root
User lp
Group lp
EOF
    cat > "$d/etc/cupsd.conf" <<EOF
LogLevel info
Listen $d/sock
Browsing No
WebInterface No
DefaultShared No
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    # cups-pdf reads /etc/cups/cups-pdf-<name>.conf for a queue whose URI is cups-pdf:/<name>
    printf 'Out %s\nLog %s\n' "$E2E_PDF_DIR" "$d/log" > "/etc/cups/cups-pdf-$E2E_CUPS_QUEUE.conf" || return 1
    export CUPS_SERVER=$d/sock
    /usr/sbin/cupsd -f -c "$d/etc/cupsd.conf" -s "$d/etc/cups-files.conf" >"$d/log/cupsd.out" 2>&1 &
    E2E_CUPSD_PID=$!
    for i in $(seq 200); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.05; done
    lpadmin -p PDF -v "cups-pdf:/$E2E_CUPS_QUEUE" -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null &&
        lpadmin -d PDF && lpstat -d | grep -q ': PDF$' ||
        { _e2e_log "CUPS did not come up: $(cat "$d/log/cupsd.out" "$d/log/error_log" 2>/dev/null)"; return 1; }
}
e2e_cups_stop() {
    if [ -n "${E2E_CUPSD_PID:-}" ]; then kill "$E2E_CUPSD_PID" 2>/dev/null; wait "$E2E_CUPSD_PID" 2>/dev/null; fi
    [ -z "${E2E_CUPS_QUEUE:-}" ] || rm -f "/etc/cups/cups-pdf-$E2E_CUPS_QUEUE.conf"
    # its logs stay with the run's
    [ -z "${E2E_CUPS_DIR:-}" ] || { cp -r "$E2E_CUPS_DIR/log" "$E2E_RUN/logs/cups" 2>/dev/null; rm -rf "$E2E_CUPS_DIR"; }
    E2E_CUPSD_PID= E2E_CUPS_QUEUE= E2E_CUPS_DIR=
}
# e2e_pdf_count: how many PDFs the printer has made so far
e2e_pdf_count() { find "$E2E_PDF_DIR" -name '*.pdf' 2>/dev/null | wc -l; }
# e2e_wait_pdf <n> [timeout_s=20]: prints the path of the n-th PDF once it is complete
# (its end marker written and its size no longer growing)
e2e_wait_pdf() {
    local n=$1 end=$(( $(_e2e_now) + ${2:-20}*1000000000 )) f s1 s2
    while [ "$(_e2e_now)" -lt "$end" ]; do
        f=$(ls -tr "$E2E_PDF_DIR"/*.pdf 2>/dev/null | sed -n "${n}p")
        if [ -n "$f" ]; then
            s1=$(stat -c %s "$f"); sleep 0.3; s2=$(stat -c %s "$f")
            [ "$s1" = "$s2" ] && tail -c 1024 "$f" | grep -q '%%EOF' && { echo "$f"; return 0; }
        fi
        sleep 0.1
    done
    _e2e_log "TIMEOUT waiting for PDF number $n in $E2E_PDF_DIR"; return 1
}
# e2e_pdf_text <pdf> [words file] [dpi=300]: the first page's text by OCR (Korean and
# English), optionally told the words the page is made of (tesseract's --user-words; it
# then reads "Ctrl+Alt+M" rather than "Ctrit+Altt+M").  pdftotext gives garbage: Wine
# embeds its fonts without a ToUnicode map.  A white margin helps: text at the very edge
# of the printable area is read badly.  Small Latin words beside Hangul are misread at
# some resolutions and not at others: compare the readings of a few.  One thread: faster
# than several on a machine that is busy anyway.
e2e_pdf_text() {
    local out=$E2E_RUN/pdfpage words=() rc
    [ -z "${2:-}" ] || words=(--user-words "$2")
    pdftoppm -r "${3:-300}" -gray -png -f 1 -l 1 -singlefile "$1" "$out" &&
        convert "$out.png" -bordercolor white -border 60 "$out.png" &&
        OMP_THREAD_LIMIT=1 tesseract "$out.png" - -l kor+eng --psm 6 "${words[@]}" 2>/dev/null
    rc=$?
    rm -f "$out.png"
    return $rc
}
# e2e_pdf_pages <pdf>: its page count
e2e_pdf_pages() { pdfinfo "$1" 2>/dev/null | awk '$1 == "Pages:" { print $2 }'; }

# ---------------------------------------------------------------- reporting
# Grouped checks: e2e_check "<what the user sees>" cmd args...; e2e_summary at the end
# prints "N passed, N failed" and returns non-zero when a check failed.
E2E_PASS=0 E2E_FAIL=0
e2e_ok()  { E2E_PASS=$((E2E_PASS + 1)); echo "  ok   $*"; }
e2e_bad() { E2E_FAIL=$((E2E_FAIL + 1)); echo "  FAIL $*"; }
e2e_check() { local d=$1; shift; if "$@" >/dev/null; then e2e_ok "$d"; else e2e_bad "$d"; fi; }
# e2e_dump: every log of this run, for a failed test's output
e2e_dump() {
    local f
    for f in "$E2E_RUN"/logs/* "$E2E_RUN/wine.out"; do
        [ -s "$f" ] || continue
        echo "---- ${f#"$E2E_RUN"/}"; tail -n 40 "$f"
    done
}
e2e_summary() {
    echo "$E2E_PASS passed, $E2E_FAIL failed"
    if [ "$E2E_FAIL" -ne 0 ]; then e2e_dump; return 1; fi
}
