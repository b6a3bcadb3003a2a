#!/bin/bash
# The three volume kinds under Wine.  This machine has no sound card: Wine's mixer then
# has no device at all, and the presses must do nothing while Keyvane keeps answering.
# With ALSA's null device as the default output, Wine's mixer has one output device
# whose first line holds a volume and a mute control; each press is then checked where
# Wine's audio driver receives the level and mute (its +alsa trace), and platform_check
# reads the results back from the mixer after every press.  Wine keeps that level per
# process, so no other program can read Keyvane's.
# Run: tests/e2e/run_all.sh keyvane_volume
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh

CHECK=$E2E_TOOLS/platform_check.exe
[ -f "$CHECK" ] || { echo "FAIL missing $CHECK: cmake --build --preset win32"; exit 1; }

e2e_start || exit 1
app=$(e2e_install_keyvane)
chk=$(e2e_install "$CHECK" 점검)
kv_work_file 'C:\app\MyJob.ini' <<'EOF'
소리 크게-P0-Ctrl+Alt+Up-볼륨 높임-null-True-
소리 작게-P1-Ctrl+Alt+Down-볼륨 줄임-null-True-
소리 끄기-P2-Ctrl+Alt+End-볼륨 음소거-null-True-
EOF

# mixer_checks <label>: platform_check's mixer mode, its lines as checks here
mixer_checks() {
    local out line
    out=$(e2e_run "$chk" mixer)
    while IFS= read -r line; do
        case $line in
            "PASS "*) e2e_ok "$1: ${line#PASS }" ;;
            "FAIL "*) e2e_bad "$1: ${line#FAIL }" ;;
            "INFO "*) echo "  $1: ${line#INFO }" ;;
        esac
    done <<<"$out"
    e2e_check "$1: the mixer checks ran to the end" grep -qx 'DONE failures=0' <<<"$out"
}
keyvane_running() { [ -n "$(kv_unix_pids 'C:\app\Keyvane.exe')" ]; }

kv_focus_probe

echo "== no audio device"
mixer_checks "no device"
kv_start "$app" || { e2e_dump; exit 1; }
kv_press ctrl+alt+Up
kv_press ctrl+alt+Down
kv_press ctrl+alt+End
e2e_check "after the three volume keys Keyvane still answers the next hotkey" kv_settle
e2e_check "and is still running" keyvane_running

echo "== ALSA's null device as the default output"
mkdir -p "$E2E_RUN/xdg/alsa"
printf '%s\n' 'pcm.!default { type null }' 'ctl.!default { type hw card 0 }' >"$E2E_RUN/xdg/alsa/asoundrc"
export XDG_CONFIG_HOME=$E2E_RUN/xdg
mixer_checks "null device"

TRACE=$E2E_RUN/wine.out
# the driver's calls "SimpleAudioVolume_Set<what> (object)->(value, context)"
set_calls() { grep -aE "trace:alsa:SimpleAudioVolume_Set$1 \([0-9A-Fa-f]+\)->\(" "$TRACE"; }
set_lines() { set_calls "$1" | wc -l; }
# press_and_expect <key> <level 0..65535> <mute>: presses, waits for the driver to get
# the press's mute, then checks that the press also set a level and compares the level
# (a fraction of 65535) and mute.
press_and_expect() {
    local mutes levels want_level=$2 want_mute=$3 level mute
    mutes=$(set_lines Mute) levels=$(set_lines MasterVolume)
    kv_press "$1"
    _e2e_until 10 "waiting for the mute of $1" test_more_mutes "$mutes" || return 1
    [ "$(set_lines MasterVolume)" -gt "$levels" ] || { echo "  $1: no level reached the driver" >&2; return 1; }
    level=$(set_calls MasterVolume | tail -1 | sed -E 's/.*->\(([0-9.]+),.*/\1/')
    mute=$(set_calls Mute | tail -1 | sed -E 's/.*->\(([0-9]+),.*/\1/')
    echo "  $1: the driver got level $level, mute $mute" >&2
    # The mixer keeps the level as a fraction and reads it back rounded down: allow 3 units.
    awk -v got="$level" -v want="$want_level" 'BEGIN { d = got * 65535 - want; exit !(d <= 3 && d >= -3) }' &&
        [ "$mute" = "$want_mute" ]
}
test_more_mutes() { [ "$(set_lines Mute)" -gt "$1" ]; }

# Keyvane finds the device when it starts: start a new copy (it ends the running one).
WINEDEBUG=+alsa kv_start "$app" || { e2e_dump; exit 1; }
e2e_check "volume down: 65535 - 1500, unmuted" press_and_expect ctrl+alt+Down 64035 0
e2e_check "mute: muted, one unit louder" press_and_expect ctrl+alt+End 64035 1
e2e_check "volume up: unmuted, 1500 louder" press_and_expect ctrl+alt+Up 65534 0
# Past the control's maximum Wine's mixer refuses the value outright (MMSYSERR_INVALPARAM):
# only the maximum itself reaches the driver.
e2e_check "volume up near the top: the maximum" press_and_expect ctrl+alt+Up 65535 0
e2e_check "Keyvane still answers the next hotkey" kv_settle

e2e_stop
e2e_summary
