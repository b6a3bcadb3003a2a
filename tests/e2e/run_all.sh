#!/bin/bash
# Runs every tests/e2e/test_*.sh against the programs already built in build/win32
# (build/win64 on a machine that runs no 32-bit code: lib/width.sh)
# (this script builds nothing; test_first_run builds Keyvane.exe in a clone of its
# own, as scripts/run does there), each under lib/reap.py so that no Wine process
# outlives its test.  Prints one line per test with its duration; exits non-zero
# when any test failed or left processes behind.  A test that cannot run on this machine
# says why and exits 77: it is counted as skipped.
#   tests/e2e/run_all.sh [test_name_or_file ...]     default: all of them
# Env: E2E_TEST_TIMEOUT (s, default 600) ends a hanging test; E2E_KEEP=1 keeps prefixes;
# E2E_BUSY=N (or "all") keeps N cores (or every core) busy with a load of the runner's own
# for the whole run, as on a machine where something else is working; E2E_REPEAT=N runs
# the list N times in a row.
set -u
cd "$(dirname "$0")"
E2E_TEST_TIMEOUT=${E2E_TEST_TIMEOUT:-600}
E2E_REPEAT=${E2E_REPEAT:-1}

busy=()
stop_busy() { [ ${#busy[@]} = 0 ] || kill "${busy[@]}" 2>/dev/null; }
trap stop_busy EXIT
if [ "${E2E_BUSY:-0}" != 0 ]; then
    cores=$E2E_BUSY
    [ "$cores" = all ] && cores=$(nproc)
    # Each spinner ends by itself after four hours should the runner be killed outright.
    for _ in $(seq "$cores"); do timeout 14400 sh -c 'while :; do :; done' & busy+=("$!"); done
    echo "run_all: ${#busy[@]} busy loops running alongside the tests"
fi

if [ $# -gt 0 ]; then
    tests=()
    for t in "$@"; do t=$(basename "${t%.sh}"); tests+=("test_${t#test_}.sh"); done
else
    tests=(test_*.sh)
fi
[ -e "${tests[0]}" ] || { echo "run_all: no tests/e2e/test_*.sh found" >&2; exit 1; }

now() { date +%s%N; }
secs() { awk -v ns="$1" 'BEGIN { printf "%.1f", ns / 1e9 }'; }

# The template prefix once, up front, so the first test's time is its own.
t0=$(now)
python3 lib/reap.py bash -c 'source lib/e2e.sh && e2e_make_template' ||
    { echo "run_all: cannot prepare the Wine template prefix" >&2; exit 1; }
echo "template prefix ready ($(secs $(( $(now) - t0 ))) s)"

pass=0 fail=0 skip=0 failed=()
runs=()
for _ in $(seq "$E2E_REPEAT"); do runs+=("${tests[@]}"); done
for t in "${runs[@]}"; do
    [ -f "$t" ] || { echo "FAIL $t: no such test"; fail=$((fail + 1)); failed+=("$t"); continue; }
    echo "---- $t"
    t0=$(now)
    python3 lib/reap.py timeout -k 10 "$E2E_TEST_TIMEOUT" bash "$t"
    rc=$?
    d=$(secs $(( $(now) - t0 )))
    if [ $rc = 0 ]; then
        pass=$((pass + 1)); echo "PASS $t (${d} s)"
    elif [ $rc = 77 ]; then
        # The test cannot run on this machine, and said why.
        skip=$((skip + 1)); echo "SKIP $t (${d} s)"
    else
        fail=$((fail + 1)); failed+=("$t")
        case $rc in
            90) why="left processes behind" ;;
            124) why="timed out after ${E2E_TEST_TIMEOUT} s" ;;
            *) why="exit $rc" ;;
        esac
        echo "FAIL $t (${d} s, $why)"
    fi
done

echo "----"
[ $fail = 0 ] || echo "failed: ${failed[*]}"
echo "e2e: $pass passed, $fail failed$([ $skip = 0 ] || echo ", $skip skipped")"
[ $fail = 0 ]
