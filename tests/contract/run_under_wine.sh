#!/bin/sh
# Runs a Windows program under Wine in a prefix of its own, on a virtual
# screen when there is no display, and ends everything of that prefix after.
#
#   run_under_wine.sh PREFIX PROGRAM.exe [ARGUMENTS...]
set -eu

if [ "$#" -lt 2 ]; then
    echo "usage: $0 PREFIX PROGRAM.exe [ARGUMENTS...]" >&2
    exit 2
fi

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi

prefix=$1
shift
mkdir -p "$(dirname "$prefix")"
WINEPREFIX=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
WINEDEBUG=-all
export WINEPREFIX WINEDEBUG

end_prefix() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
trap end_prefix EXIT
trap 'exit 130' INT TERM

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # No Mono or Gecko: their installers would wait for a click.
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i
    # Without a window manager, Wine waits two seconds for one on every
    # managed window it hides; nothing manages the windows here.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
    wineserver -w
fi

status=0
wine "$@" || status=$?
exit "$status"
