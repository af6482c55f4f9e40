#!/usr/bin/env bash
# Makes Wine prefixes for running Vossel and its tests, the one way every
# script does it.
#
#   scripts/wine-prefix.sh fresh PREFIX   PREFIX becomes a new copy of the template
#   scripts/wine-prefix.sh keep PREFIX    PREFIX is kept when it is a made prefix,
#                                         otherwise it becomes a copy of the template
#   scripts/wine-prefix.sh template       boots the template if it is not made yet
#
# The template (VOSSEL_WINE_TEMPLATE, by default wine-template beside PREFIX)
# is booted once and copied for every prefix: a boot takes about 15 s, a copy
# well under one. A prefix counts as made only when wineboot succeeded,
# wineserver -w returned and a trivial program ran in it; a marker file says
# so, and a prefix without the marker is never used or copied. A failed boot
# is thrown away and tried again from scratch, up to three times, since the
# first boot on a new machine can leave a prefix that never works.
#
# All of it runs under a lock on the template, so no two Wine commands touch
# a prefix while it boots or is copied.
#
# VOSSEL_WINEBOOT_FAIL_FIRST=N makes the first N boot attempts of this call
# fail the way a broken first boot does (the tests of this script use it).
set -euo pipefail

MARKER=.vossel-prefix-made
ATTEMPTS=3

usage() {
    echo "usage: $0 fresh|keep PREFIX | template" >&2
    exit 2
}

absolute() { mkdir -p "$(dirname "$1")" && echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }

mode=${1:-}
case "$mode" in
    fresh | keep) [ $# -eq 2 ] || usage; PREFIX=$(absolute "$2") ;;
    template) [ $# -eq 1 ] || usage; PREFIX="" ;;
    *) usage ;;
esac
if [ -n "${VOSSEL_WINE_TEMPLATE:-}" ]; then
    TEMPLATE=$(absolute "$VOSSEL_WINE_TEMPLATE")
elif [ -n "$PREFIX" ]; then
    TEMPLATE=$(dirname "$PREFIX")/wine-template
else
    echo "wine-prefix: set VOSSEL_WINE_TEMPLATE to make the template alone" >&2
    exit 2
fi

export WINEDEBUG=-all
# No Mono or Gecko: their installers would wait for a click.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Ends the wineserver of prefix $1 and waits for it, so that nothing writes
# to the prefix while it is checked, copied or deleted.
end_server() {
    WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$1 wineserver -w >/dev/null 2>&1 || true
}

# Runs Wine command $2... in prefix $1 with its output added to the log;
# the log is printed when the command fails.
step() {
    local prefix=$1
    shift
    echo "+ $*" >>"$LOG"
    if ! WINEPREFIX=$prefix "$@" >>"$LOG" 2>&1 </dev/null; then
        echo "wine-prefix: '$*' failed" >>"$LOG"
        return 1
    fi
}

forced_failures=${VOSSEL_WINEBOOT_FAIL_FIRST:-0}

# One attempt at booting a new prefix in $1.
boot() {
    local prefix=$1
    end_server "$prefix"
    rm -rf "$prefix"
    step "$prefix" wineboot -i || return 1
    step "$prefix" wineserver -w || return 1
    if [ "$forced_failures" -gt 0 ]; then
        forced_failures=$((forced_failures - 1))
        echo "wine-prefix: VOSSEL_WINEBOOT_FAIL_FIRST: breaking this boot on purpose" >>"$LOG"
        rm -f "$prefix/drive_c/windows/system32/kernel32.dll"
    fi
    step "$prefix" wine cmd /c exit 0 || return 1
    # Without a window manager, Wine waits two seconds for one on every
    # managed window it hides; nothing manages the windows under Xvfb.
    step "$prefix" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f || return 1
    step "$prefix" wineserver -w || return 1
    # A new prefix links the user's Desktop, Documents and the like to $HOME;
    # a program under test must not write there.
    find "$prefix/drive_c/users" -mindepth 2 -maxdepth 2 -type l -exec sh -c 'rm "$1" && mkdir "$1"' _ {} \;
    # Wine's own fonts (Marlett for the caption buttons, Tahoma, MS Sans Serif)
    # sit in its data folder, which Debian's Wine 8 looks for under a path
    # with ".." that the NT layer refuses; the Windows folder's Fonts is read.
    local fonts
    for fonts in /usr/share/wine/fonts /usr/local/share/wine/fonts; do
        [ -f "$fonts/marlett.ttf" ] || continue
        ln -sf "$fonts"/* "$prefix/drive_c/windows/Fonts/"
        break
    done
    [ -e "$prefix/drive_c/windows/Fonts/marlett.ttf" ] ||
        echo "wine-prefix: Wine's fonts (package fonts-wine) not found: captions will lack their buttons' symbols" >&2
    touch "$prefix/$MARKER"
}

make_template() {
    [ -f "$TEMPLATE/$MARKER" ] && return 0
    local attempt building=$TEMPLATE.booting
    for attempt in $(seq 1 "$ATTEMPTS"); do
        LOG=$TEMPLATE.boot-$attempt.log
        : >"$LOG"
        echo "wine-prefix: booting the template prefix $TEMPLATE (attempt $attempt of $ATTEMPTS)"
        if boot "$building"; then
            end_server "$building"
            rm -rf "$TEMPLATE"
            mv "$building" "$TEMPLATE"
            return 0
        fi
        echo "wine-prefix: attempt $attempt failed; Wine said:"
        sed 's/^/    /' "$LOG" | tail -n 40
        end_server "$building"
        rm -rf "$building"
    done
    echo "wine-prefix: could not make a working Wine prefix in $ATTEMPTS attempts (logs: $TEMPLATE.boot-*.log)" >&2
    return 1
}

# The system folder is nine tenths of a prefix and nothing writes to it, so
# its files are linked rather than copied.
copy_template() {
    local copy=$PREFIX.copying
    end_server "$PREFIX"
    rm -rf "$PREFIX" "$copy"
    mkdir -p "$copy"
    tar -C "$TEMPLATE" --exclude=./drive_c/windows/system32 -cf - . | tar -C "$copy" -xf -
    cp -al "$TEMPLATE/drive_c/windows/system32" "$copy/drive_c/windows/system32"
    mv "$copy" "$PREFIX"
}

mkdir -p "$(dirname "$TEMPLATE")"
exec 9>"$TEMPLATE.lock"
flock 9

make_template
case "$mode" in
    fresh) copy_template ;;
    keep) [ -f "$PREFIX/$MARKER" ] || copy_template ;;
esac
