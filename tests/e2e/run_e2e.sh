#!/usr/bin/env bash
# End-to-end tests: the real vossel.exe under Wine, checked from the outside
# with vosseldrv.exe and driven with xdotool, as a user and the shell would.
#
#   tests/e2e/run_e2e.sh <build dir> [case...]
#
# A case is a file under tests/e2e/cases/ (named without .sh); without any,
# all of them run. Each runs in a fresh Wine prefix <build>/e2e/<case>/prefix,
# copied from the template that scripts/wine-prefix.sh boots once, and keeps
# its logs in <build>/e2e/<case>; screenshots go to <build>/artifacts.
# Without a DISPLAY (or with E2E_XVFB=1) it runs on a virtual 1024x768 screen;
# a case that needs another size moves to a virtual screen of its own
# (own_screen in lib.sh), and one that needs several monitors to a TigerVNC
# X server of its own (own_monitors).
set -u

BUILD=$(cd "${1:?usage: run_e2e.sh <build dir> [case...]}" && pwd) || exit 2
shift
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)

if [ -z "${E2E_IN_XVFB:-}" ] && { [ -z "${DISPLAY:-}" ] || [ "${E2E_XVFB:-0}" = 1 ]; }; then
    # A server number of our own, so that parallel runs do not race for :99.
    exec xvfb-run -a -n $((100 + $$ % 400)) -s "-screen 0 1024x768x24" \
        env E2E_IN_XVFB=1 bash "$0" "$BUILD" "$@"
fi

if [ $# -eq 0 ]; then
    set -- $(cd "$HERE/cases" && ls -- *.sh | sed 's/\.sh$//')
fi

ART=$BUILD/artifacts
mkdir -p "$ART"
failed=()
for name in "$@"; do
    case_file=$HERE/cases/$name.sh
    [ -f "$case_file" ] || { echo "e2e: no case $name"; failed+=("$name"); continue; }
    OUT=$BUILD/e2e/$name
    rm -rf "$OUT"
    mkdir -p "$OUT"
    WINEPREFIX=$OUT/prefix
    echo "e2e: case $name"
    if ! VOSSEL_WINE_TEMPLATE=$BUILD/wine-template "$ROOT/scripts/wine-prefix.sh" fresh "$WINEPREFIX" >"$OUT/prefix.txt" 2>&1; then
        cat "$OUT/prefix.txt"
        failed+=("$name")
        continue
    fi
    BUILD=$BUILD OUT=$OUT ART=$ART WINEPREFIX=$WINEPREFIX \
        bash -c 'source "$1/lib.sh" && prepare_case && source "$2" && finish' _ "$HERE" "$case_file" ||
        failed+=("$name")
done

if [ ${#failed[@]} -eq 0 ]; then
    echo "e2e: PASS ($*; artifacts in $ART)"
    exit 0
fi
echo "e2e: FAIL (${failed[*]})"
exit 1
