#!/bin/bash
# Runs the unit tests built as a 32-bit Windows program (preset win32-tests; win64-tests
# on a machine that runs no 32-bit code, see tests/e2e/lib/width.sh) under Wine,
# in a private prefix of this build tree; builds nothing.  The test program is a console
# program: it needs no display, so none is given.  Prints GoogleTest's summary (every
# failure in full); exits non-zero when a test failed or the run did not complete.
#   tests/unit/run_wine.sh [gtest arguments ...]      e.g. --gtest_filter='ListTest.*'
# Env: UNIT_WINE_LOCALE (default ko_KR.UTF-8, from which Wine takes code page 949),
#      UNIT_WINE_TIMEOUT (s, default 300).
# Run it under tests/e2e/lib/reap.py (scripts/test does) so no Wine process outlives it.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
E2E_WINE_DIR=$root/build/wine
source "$root/tests/e2e/lib/width.sh"   # 64 on a machine that runs no 32-bit code
build=$root/build/win$E2E_WIDTH-tests
exe=$build/tests/unit/unit_tests.exe
log=$build/unit_tests.log
[ -f "$exe" ] || { echo "run_wine: $exe missing: cmake --preset win$E2E_WIDTH-tests && cmake --build --preset win$E2E_WIDTH-tests" >&2; exit 1; }

export WINEPREFIX=$build/wine WINEARCH=win$E2E_WIDTH WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
locale=${UNIT_WINE_LOCALE:-ko_KR.UTF-8}

now() { date +%s%N; }
ms_since() { echo $(( ($(now) - $1) / 1000000 )); }

# The prefix is made once (about 15 s) and kept; "ready" is written only when it is whole.
if [ ! -f "$WINEPREFIX/.ready" ]; then
    t0=$(now)
    rm -rf "$WINEPREFIX"
    LC_ALL=$locale wineboot -i >"$build/wineboot.log" 2>&1 && wineserver -w ||
        { echo "run_wine: cannot create the prefix $WINEPREFIX (see $build/wineboot.log)" >&2; exit 1; }
    touch "$WINEPREFIX/.ready"
    echo "run_wine: prefix created in $(ms_since "$t0") ms"
fi

t0=$(now)
LC_ALL=$locale timeout -k 10 "${UNIT_WINE_TIMEOUT:-300}" wine "$exe" "$@" >"$log" 2>&1
rc=$?
elapsed=$(ms_since "$t0")
wineserver -k 2>/dev/null  # this prefix's server only; it would linger for seconds

# GoogleTest's closing block starts at its last "[==========]" line.
summary=$(awk '/^\[==========\]/ { n = NR } { line[NR] = $0 } END { for (i = n; i <= NR && n; ++i) print line[i] }' "$log")
ran=$(grep -a -o '^\[==========\] [0-9]* tests\? from' "$log" | tail -1 | grep -o '[0-9][0-9]*')
if [ $rc != 0 ]; then
    # The failures as they were reported, then the summary.
    grep -a -v -e '^\[       OK \]' -e '^\[ RUN      \]' "$log" | sed '/^\[==========\] .* ran\./,$d'
fi
echo "$summary"
echo "run_wine: exit code $rc after $elapsed ms (full output: $log)"
if [ $rc = 0 ] && [ "${ran:-0}" -eq 0 ]; then
    echo "run_wine: no test ran" >&2
    exit 1
fi
exit $rc
