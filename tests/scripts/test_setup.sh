#!/bin/bash
# scripts/setup against a stubbed apt-get (and dpkg, dpkg-query, id, locale): a package index
# that fails to download must not stop the setup, a failed install must, naming what it
# could not get. Nothing is installed; runs anywhere.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stubs=$work/bin
mkdir -p "$stubs"

stub() { printf '#!/bin/bash\n%s\n' "$2" >"$stubs/$1" && chmod +x "$stubs/$1"; }
stub id 'echo 0'
stub dpkg-query 'echo not-installed'
stub dpkg '[ "$1" = --print-foreign-architectures ] && echo i386; exit 0'
stub locale 'echo ko_KR.utf8'
# apt-get: "update" fails the first $UPDATE_FAILS times; "install" prints $INSTALL_OUT and
# exits with $INSTALL_RC. Every call is logged.
stub apt-get 'echo "$1" >>"$WORK/calls"
if [ "$1" = update ]; then
    n=$(grep -c update "$WORK/calls")
    [ "$n" -gt "$UPDATE_FAILS" ] && exit 0
    echo "E: Failed to fetch http://deb.debian.org/debian/dists/bookworm/main/binary-i386/Packages.xz  File has unexpected size (123 != 456). Mirror sync in progress? [IP: 1.2.3.4 80]" >&2
    exit 100
fi
printf "%b" "$INSTALL_OUT"
exit "$INSTALL_RC"'

failures=0
# run <name> <update fails> <install output> <install rc> <expected rc> <expected text>...
run() {
    local name=$1 rc text
    rm -f "$work/calls"
    out=$(WORK=$work UPDATE_FAILS=$2 INSTALL_OUT=$3 INSTALL_RC=$4 SETUP_UPDATE_PAUSE=0 \
        PATH="$stubs:$PATH" bash "$root/scripts/setup" 2>&1)
    rc=$?
    shift 4
    local want=$1
    shift
    local ok=1
    [ "$rc" = "$want" ] || ok=0
    for text in "$@"; do grep -qF -- "$text" <<<"$out" || ok=0; done
    if [ $ok = 1 ]; then
        echo "ok   $name"
    else
        echo "FAIL $name (exit $rc, wanted $want and: $*)"
        sed 's/^/     | /' <<<"$out"
        failures=$((failures + 1))
    fi
}

run "update fails twice, then works: the packages are installed" 2 "" 0 \
    0 "apt-get update worked at try 3" "packages installed"
[ "$(grep -c update "$work/calls")" = 3 ] && grep -q install "$work/calls" || { echo "FAIL calls: $(paste -sd' ' "$work/calls")"; failures=$((failures + 1)); }
run "update always fails, the install works: one line says so" 99 "" 0 \
    0 "setup: apt-get update failed 3 times (E: Failed to fetch http://deb.debian.org/debian/dists/bookworm/main/binary-i386/Packages.xz  File has unexpected size" \
    "installing with the indexes we have" "packages installed"
run "the install cannot get packages: it fails naming them" 99 \
    "E: Unable to locate package wine32:i386\nE: Package 'fonts-nanum' has no installation candidate\nE: Failed to fetch http://deb.debian.org/debian/pool/main/x/xdotool/xdotool_3.20160805.1-5_amd64.deb  404  Not Found [IP: 1.2.3.4 80]\n" 100 \
    100 "could not get fonts-nanum wine32:i386 xdotool"
[ $failures = 0 ] && echo "test_setup: all passed" || echo "test_setup: $failures failed"
exit $((failures > 0))
