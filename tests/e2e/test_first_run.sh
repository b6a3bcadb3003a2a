#!/bin/bash
# The first `scripts/run` after cloning, on a machine without a display, as a new user
# meets it: it builds Keyvane.exe, starts its own Xvfb and a new Wine prefix, and then a
# Wine program of that prefix opens (wine notepad, as the README says), and Ctrl+Win+F1
# pressed in it shows the editor.  Ctrl+C (here: SIGTERM) ends it with everything it
# started.  Twice, in the two states a clone is found in:
#   as it comes    no build/ at all
#   after tests    build/win32 and build/wine (the Xvfb keymap) made by scripts/test,
#                  but no build/run: the prefix is still to be made
# The clone is of this repository's committed HEAD (commit before running this), in
# build/wine/runs; it builds Keyvane.exe once, the second run finds it built.
# Run: tests/e2e/run_all.sh first_run
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh

e2e_check_host || exit 1
mkdir -p "$E2E_WINE_DIR/runs"
E2E_RUN=$(mktemp -d "$E2E_WINE_DIR/runs/first_run.XXXXXX")
mkdir -p "$E2E_RUN/logs"
export E2E_RUN
clone=$E2E_RUN/clone
run_pid=
np_pid=

# Whatever happens, scripts/run is told to stop, as Ctrl+C would.
finish() {
    [ -n "$run_pid" ] && { kill -TERM "$run_pid" 2>/dev/null; wait "$run_pid" 2>/dev/null; }
    [ -n "$np_pid" ] && { kill "$np_pid" 2>/dev/null; wait "$np_pid" 2>/dev/null; }
    [ -n "${E2E_KEEP:-}" ] || rm -rf "$clone"
}
trap finish EXIT

# Processes started from the clone: its Xvfb (keymap folder inside it) and the Wine
# processes of its prefix.
clone_procs() {
    local p
    for p in $(pgrep -u "$(id -u)" .); do
        { tr '\0' ' ' < "/proc/$p/cmdline"; echo; tr '\0' '\n' < "/proc/$p/environ"; } 2>/dev/null |
            grep -qF -e "-xkbdir $clone/" -e "WINEPREFIX=$clone/" && echo "$p $(tr '\0' ' ' < "/proc/$p/cmdline" 2>/dev/null)"
    done
}
no_clone_procs() { [ -z "$(clone_procs)" ]; }
notepad_window() {
    local id
    id=$(xdotool search --onlyvisible --class '^notepad' 2>/dev/null | head -1)
    [ -n "$id" ] && echo "$id"
}
# Keyvane registers its hotkeys a moment after it starts, and nothing outside shows when
# it has: press again while the editor does not come (a press before the registration
# reaches Notepad, which ignores it).
press_until_editor() {
    local end=$(( $(_e2e_now) + 30000000000 ))
    presses=0
    while [ "$(_e2e_now)" -lt "$end" ]; do
        e2e_focus "$1" >/dev/null 2>&1
        xdotool key ctrl+super+F1
        presses=$((presses + 1))
        e2e_wait_window "$(kv_editor_re 'C:\Keyvane\MyJob.ini')" 3 2>/dev/null && return 0
    done
    return 1
}

started='^run: starting C:\\Keyvane\\Keyvane\.exe'
run_started_or_ended() { _e2e_file_has "$1" "$started" || ! kill -0 "$run_pid" 2>/dev/null; }

# first_run <what>: scripts/run in the clone, a Wine window, Ctrl+Win+F1, the editor, stop.
first_run() {
    local log=$E2E_RUN/logs/run_$1.log t0 np display rc
    echo "== scripts/run, clone $2"
    t0=$(_e2e_now)
    # A new user's shell: none of this harness's Wine settings, and no display.
    (cd "$clone" && exec env -i HOME="$HOME" PATH="$PATH" TERM=dumb scripts/run) >"$log" 2>&1 &
    run_pid=$!
    _e2e_until 540 "scripts/run to start Keyvane" run_started_or_ended "$log"
    if ! _e2e_file_has "$log" "$started"; then
        e2e_bad "scripts/run starts Keyvane (log: $log)"
        tail -n 25 "$log"
        kill -TERM "$run_pid" 2>/dev/null; wait "$run_pid"; run_pid=
        return 1
    fi
    e2e_ok "scripts/run builds, starts its Xvfb and Keyvane ($(_e2e_ms_since "$t0") ms)"
    display=$(sed -n 's/^run: .*started Xvfb, DISPLAY=\(:[0-9]*\)$/\1/p' "$log")
    e2e_check "it prints the DISPLAY of its Xvfb" test -n "$display"

    # What the README tells the user to do next.
    env -i HOME="$HOME" PATH="$PATH" DISPLAY="$display" WINEPREFIX="$clone/build/run/prefix" \
        LANG=ko_KR.UTF-8 wine notepad >>"$E2E_RUN/wine.out" 2>&1 &
    np_pid=$!
    export DISPLAY=$display
    e2e_check "Keyvane's icon shows in Wine's tray window" e2e_tray_wid 30
    np=$(_e2e_until 30 "a Notepad window" notepad_window)
    if [ -z "$np" ]; then
        e2e_bad "wine notepad opens a window in the prefix of scripts/run"
        grep -m3 'nodrv\|err:' "$E2E_RUN/wine.out"
    else
        e2e_ok "wine notepad opens a window in the prefix of scripts/run"
        e2e_check "Ctrl+Win+F1 pressed in Notepad shows the editor with the sample list" \
            press_until_editor "$np"
        echo "     (Ctrl+Win+F1 presses: $presses)"
    fi

    t0=$(_e2e_now)
    kill -TERM "$run_pid"
    e2e_check "scripts/run stops on SIGTERM" e2e_wait_exit "$run_pid" 60
    wait "$run_pid"
    rc=$?
    run_pid=
    e2e_check "  and says it was stopped (exit 130; got $rc)" test "$rc" = 130
    e2e_check "  and leaves no Wine process of its prefix, nor its Xvfb ($(_e2e_ms_since "$t0") ms)" \
        _e2e_until 15 "processes of the clone to end" no_clone_procs
    e2e_check "  Notepad went with them" e2e_wait_exit "$np_pid" 5
    np_pid=
    clone_procs
}

echo "== clone"
git -c advice.detachedHead=false clone -q "$E2E_ROOT" "$clone" || exit 1
e2e_check "the clone holds this repository's HEAD" \
    test "$(git -C "$clone" rev-parse HEAD)" = "$(git -C "$E2E_ROOT" rev-parse HEAD)"
e2e_check "  and nothing built" test ! -e "$clone/build"

first_run fresh "as it comes (no build/)"

# What scripts/test leaves: the Xvfb keymap folder its Wine suite makes under build/wine
# (made by the same function scripts/run uses, as the suite does) and the win32 build.
rm -rf "$clone/build/run"
(cd "$clone" && mkdir -p build/wine/runs && bash -c 'source tests/e2e/lib/e2e.sh && _e2e_xkbdir' >/dev/null)
e2e_check "(state of scripts/test: build/wine/xkb ready, Keyvane.exe built, no build/run)" \
    test -f "$clone/build/wine/xkb/.ready" -a -f "$clone/build/win$E2E_WIDTH/Keyvane.exe" -a ! -e "$clone/build/run"
first_run tested "after scripts/test (build/ without build/run)"

e2e_summary
