#!/bin/sh
# Runs a Windows program under Wine in a fresh prefix of its own, on a virtual
# screen when there is no display, and ends everything of that prefix after.
#
#   run_under_wine.sh PREFIX PROGRAM.exe [ARGUMENTS...]
set -eu

if [ "$#" -lt 2 ]; then
    echo "usage: $0 PREFIX PROGRAM.exe [ARGUMENTS...]" >&2
    exit 2
fi

if [ -z "${DISPLAY:-}" ]; then
    # A server number of our own, so that parallel runs do not race for :99.
    exec xvfb-run -a -n $((100 + $$ % 400)) -s "-screen 0 1024x768x24" sh "$0" "$@"
fi

root=$(cd "$(dirname "$0")/../.." && pwd)
"$root/scripts/wine-prefix.sh" fresh "$1"
WINEPREFIX=$(cd "$1" && pwd)
WINEDEBUG=-all
export WINEPREFIX WINEDEBUG
shift

end_prefix() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
trap end_prefix EXIT
trap 'exit 130' INT TERM

status=0
wine "$@" || status=$?
exit "$status"
