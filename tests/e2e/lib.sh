# shellcheck shell=bash
# shellcheck disable=SC2034  # variables here are read by the cases
# What every end-to-end case shares: the driver, checks, starting and
# closing the bar, reading its window and its settings. Sourced by
# run_e2e.sh, which sets BUILD, OUT, ART and WINEPREFIX for each case.

VOSSEL=$BUILD/vossel.exe
DRIVER=$BUILD/vosseldrv.exe
LAUNCHEE=$BUILD/fakeexplorer.exe
TITLE=Vossel
SETTINGS='Software\Quorvane\Vossel\Settings'
IDC_FIRST_DRIVE=2683
WINE=${WINE:-wine}
CLK_TCK=$(getconf CLK_TCK)
export WINEDEBUG=-all

FAILURES=0
PIDS=()

pass() { echo "PASS: $1"; }
fail() {
    echo "FAIL: $1${2:+ ($2)}"
    FAILURES=$((FAILURES + 1))
}
check() {  # check <name> <details on failure> <test command...>
    local name=$1 details=$2
    shift 2
    if "$@"; then pass "$name"; else fail "$name" "$details"; fi
}
# Ends the case: with a reason, because the checks that follow cannot run.
finish() {
    if [ "$FAILURES" = 0 ] && [ -z "${1:-}" ]; then
        exit 0
    fi
    echo "e2e: $FAILURES failed checks${1:+; stopped: $1} (logs in $OUT)"
    exit 1
}

end_case() {
    local pid
    for pid in "${PIDS[@]}"; do
        kill -0 "$pid" 2>/dev/null && kill "$pid"
    done
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    [ -z "${XVFB_PID:-}" ] || kill "$XVFB_PID" 2>/dev/null
    end_monitors
}
trap end_case EXIT

# Moves the case to a virtual screen of its own of size $1 (WxH), since
# Xvfb offers only its start-up size; the prefix's wineserver starts afresh
# there, and SCREEN_W and SCREEN_H follow.
own_screen() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    Xvfb -displayfd 3 -nolisten tcp -screen 0 "${1}x24" 3>"$OUT/xvfb-display.txt" >"$OUT/xvfb.txt" 2>&1 &
    XVFB_PID=$!
    local tenths=100
    until [ -s "$OUT/xvfb-display.txt" ] || [ "$tenths" -le 0 ]; do
        sleep 0.1
        tenths=$((tenths - 1))
    done
    DISPLAY=:$(head -n 1 "$OUT/xvfb-display.txt")
    export DISPLAY
    drv screen
    SCREEN_W=$(val cx)
    SCREEN_H=$(val cy)
    check "the case's own screen is $1" "screen=${SCREEN_W}x$SCREEN_H" test "${SCREEN_W}x$SCREEN_H" = "$1"
}

# Several monitors: Xvfb gives Wine one, whatever its options, so a case
# that wants more runs on a TigerVNC X server of its own, whose layout
# monitors.py sets over RFB while programs run. A layout is a list of
# monitors WxH+X+Y in Windows coordinates: the primary first, at +0+0; one
# left of or above it has a negative X or Y.
MONITORS_PY=$(dirname "${BASH_SOURCE[0]}")/monitors.py

# own_monitors <WxH+X+Y>...: like own_screen, with these monitors. The
# prefix's wineserver starts afresh there; SCREEN_W and SCREEN_H are the
# primary's size, and the rest is as wait_monitors leaves it.
own_monitors() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    end_monitors
    # A unix socket's path has room for about a hundred bytes: not under $OUT.
    VNC_DIR=$(mktemp -d "${TMPDIR:-/tmp}/vossel-vnc.XXXXXX")
    VNC_SOCKET=$VNC_DIR/rfb
    : >"$OUT/vnc-display.txt"
    Xtigervnc -displayfd 3 -geometry "${1%%[+-]*}" -depth 24 -dpi 96 -SecurityTypes None \
        -rfbunixpath "$VNC_SOCKET" -rfbport -1 -nolisten tcp -AcceptSetDesktopSize=1 \
        3>"$OUT/vnc-display.txt" >"$OUT/xtigervnc.txt" 2>&1 &
    VNC_PID=$!
    local deadline=$((SECONDS + 30))
    until [ -s "$OUT/vnc-display.txt" ] && [ -S "$VNC_SOCKET" ]; do
        if [ "$SECONDS" -ge "$deadline" ] || ! kill -0 "$VNC_PID" 2>/dev/null; then
            fail "TigerVNC's X server starts" "see $OUT/xtigervnc.txt"
            finish "the case needs its monitors"
        fi
        sleep 0.1
    done
    DISPLAY=:$(head -n 1 "$OUT/vnc-display.txt")
    export DISPLAY
    # A desktop's colour, so that screenshots show where the monitors are.
    xsetroot -solid '#3a6ea5' 2>>"$OUT/xtigervnc.txt"
    set_monitors "$@"
    check "the case's own monitors are $*" "$WHY" test -z "$WHY"
    [ -z "$WHY" ] || finish "the case needs its monitors"
    local monitors=$DRV_OUT
    drv screen
    SCREEN_W=$(val cx)
    SCREEN_H=$(val cy)
    DRV_OUT=$monitors
}
# Ends the TigerVNC X server of own_monitors, if any, and removes its socket.
end_monitors() {
    if [ -n "${VNC_PID:-}" ]; then
        kill "$VNC_PID" 2>/dev/null
        wait_exit "$VNC_PID" 10 || kill -KILL "$VNC_PID" 2>/dev/null
    fi
    [ -z "${VNC_DIR:-}" ] || rm -rf "$VNC_DIR"
    VNC_PID="" VNC_DIR=""
}

# The layout as the driver's monitors command gives it: the primary first,
# the others from left to right, then top to bottom.
canonical_layout() {
    local first=$1 word rest
    shift
    rest=$(for word in "$@"; do
        [[ $word =~ ^[0-9]+x[0-9]+([+-][0-9]+)([+-][0-9]+)$ ]] &&
            echo "${BASH_REMATCH[1]#+} ${BASH_REMATCH[2]#+} $word"
    done | sort -k1,1n -k2,2n | cut -d' ' -f3)
    echo "$first${rest:+ }${rest//$'\n'/ }"
}
# set_monitors <WxH+X+Y>...: adds, removes, moves or resizes monitors while
# programs run, waits until Wine has them, and then sends WM_DISPLAYCHANGE
# to every top-level window, as Windows does after a hot-plug (Wine 8 sends
# none). False, with WHY, when any of that fails.
set_monitors() {
    WHY=""
    if ! python3 "$MONITORS_PY" "$VNC_SOCKET" set "$@" >>"$OUT/monitors.txt" 2>&1; then
        WHY="monitors.py: $(tail -n 1 "$OUT/monitors.txt")"
        return 1
    fi
    wait_monitors "$@" || return 1
    local monitors=$DRV_OUT
    drv displaychange || { WHY="displaychange: $(val error)"; return 1; }
    DRV_OUT=$monitors
}
# wait_monitors <WxH+X+Y>...: waits up to a minute until Wine's
# EnumDisplayMonitors gives these monitors (its desktop process takes the X
# layout after a short, varying delay). The last monitors output stays in
# DRV_OUT; VIRTUAL is the virtual screen "l,t,r,b".
wait_monitors() {
    local want deadline=$((SECONDS + 60))
    want=$(canonical_layout "$@")
    while :; do
        drv monitors
        VIRTUAL=$(val virtual)
        [ "$(val layout)" = "$want" ] && return 0
        if [ "$SECONDS" -ge "$deadline" ]; then
            WHY="Wine has $(val layout), not $want, after 60 s"
            return 1
        fi
        sleep 0.2
    done
}
# Saves a screenshot of the whole desktop as $ART/$1.png, with what lies on
# no monitor black and a line round each monitor.
monitors_screenshot() {
    local n=1 rect l t r b shapes=()
    drv monitors
    VIRTUAL=$(val virtual)
    while rect=$(val "monitor$n.rect") && [ -n "$rect" ]; do
        IFS=, read -r l t r b <<<"$rect"
        read -r l t <<<"$(root_point "$l" "$t")"
        read -r r b <<<"$(root_point "$r" "$b")"
        shapes+=(-draw "rectangle $l,$t $((r - 1)),$((b - 1))")
        n=$((n + 1))
    done
    screenshot "$1"
    convert "$ART/$1.png" \( +clone -fill black -colorize 100 -fill white "${shapes[@]}" \) \
        -compose multiply -composite -fill none -stroke '#808080' "${shapes[@]}" "$ART/$1.png" 2>>"$OUT/import.txt"
}
# The X root point "x y" of Windows point $1,$2 (for xdotool): the root's
# origin is the virtual screen's top-left corner, VIRTUAL as wait_monitors
# last read it.
root_point() {
    local left top
    IFS=, read -r left top _ <<<"${VIRTUAL:-0,0}"
    echo "$(($1 - left)) $(($2 - top))"
}

# Runs the driver with its output in a file (never a pipe: Wine processes may
# hand their standard output on). Sets DRV_RC; values are read with val.
DRV_N=0
drv() {
    DRV_N=$((DRV_N + 1))
    DRV_OUT=$OUT/drv-$DRV_N-$1.txt
    "$WINE" "$DRIVER" "$@" >"$DRV_OUT.raw" 2>>"$OUT/drv-stderr.txt"
    DRV_RC=$?
    tr -d '\r' <"$DRV_OUT.raw" >"$DRV_OUT"
    rm -f "$DRV_OUT.raw"
    return $DRV_RC
}
val() { sed -n "s/^$1=//p" "$DRV_OUT" | head -n 1; }
# Sets MISSING to those of the given lines that the last driver output lacks.
expect_lines() {
    local line missing=""
    for line in "$@"; do
        grep -qxF -- "$line" "$DRV_OUT" || missing="$missing [$line]"
    done
    MISSING=$missing
    [ -z "$missing" ]
}

# Waits up to $2 seconds for process $1 to end.
wait_exit() {
    local pid=$1 tenths=$(($2 * 10))
    while kill -0 "$pid" 2>/dev/null; do
        [ "$tenths" -le 0 ] && return 1
        sleep 0.1
        tenths=$((tenths - 1))
    done
    return 0
}

# Waits up to $2 seconds for the window titled $1 while process $3 runs.
wait_window_of() {
    local deadline=$((SECONDS + $2))
    while [ "$SECONDS" -lt "$deadline" ]; do
        drv wait-window "$1" 1 && return 0
        kill -0 "$3" 2>/dev/null || { WHY="the process ended without it"; return 1; }
    done
    WHY="not within $2 s"
    return 1
}

# Starts a copy of vossel.exe (or of program $3) with its output in $1 and
# waits up to $2 seconds for its window; WHY says what went wrong.
start_bar() {
    "$WINE" "${3:-$VOSSEL}" >"$OUT/$1" 2>&1 &
    VOSSEL_PID=$!
    PIDS+=("$VOSSEL_PID")
    WHY=""
    wait_window_of "$TITLE" "$2" "$VOSSEL_PID"
}
# start_bar, and the case ends when the bar does not come up.
require_bar() {
    start_bar "$@"
    check "bar window \"$TITLE\" appears" "$WHY" test -z "$WHY"
    [ -z "$WHY" ] || finish "the other checks need the bar"
}
# Ends the bar as the system Close command does and waits for the process.
close_bar() {
    drv syscommand-close "$TITLE"
    check "${1:-the bar} ends after SC_CLOSE" "still running after 20 s" wait_exit "$VOSSEL_PID" 20
}

winpath() { local p=${1//\//\\}; echo "Z:$p"; }

# Little-endian 32-bit fields of a hex string: le32 <hex> <byte offset> reads
# one, le32hex <values...> writes them.
le32() { local h=${1:$(($2 * 2)):8}; echo $((16#${h:6:2}${h:4:2}${h:2:2}${h:0:2})); }
# A placement record as read, or zeros when it is not the 48 bytes expected.
padded_record() { if [ "${#1}" = 96 ]; then echo "$1"; else printf '%096d\n' 0; fi; }
le32hex() {
    local v
    for v in "$@"; do
        printf '%02x%02x%02x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255))
    done
}

# Sets DRIVE_BUTTONS to "id caption" of the drive buttons in the last
# children output, in id order.
drive_buttons() {
    DRIVE_BUTTONS=$(sed -n 's/^child id=\([0-9]*\) class=[^ ]* .* text=\(.*\)$/\1 \2/p' "$DRV_OUT" |
        awk -v first="$IDC_FIRST_DRIVE" '$1 >= first' | sort -n | tr '\n' ';')
}
# "id caption" lines the buttons should have for the given drive letters.
expected_buttons() {
    local letter id=$IDC_FIRST_DRIVE list=""
    for letter in "$@"; do
        list="$list$id $letter:;"
        id=$((id + 1))
    done
    echo "$list"
}
# Field $2 (rect or screen) of child $1 in the last children output.
child_field() { grep "^child id=$1 " "$DRV_OUT" | sed -n "s/.* $2=\([-0-9,]*\) .*/\1/p"; }

# Waits until two readings of the bar's rectangle in a row agree (docking may
# move the window in steps) and sets RECT; the last window-info stays in DRV_OUT.
settled_rect() {
    local prev=""
    RECT=""
    for _ in $(seq 1 50); do
        drv window-info "$TITLE" || return 1
        RECT=$(val rect)
        [ "$RECT" = "$prev" ] && return 0
        prev=$RECT
        sleep 0.2
    done
    return 0
}

# The system's move-and-size loop wants a press, moves about 150 ms apart,
# and a release: drag_from x y x2 y2 ... [key] drags through each point in
# turn, and presses the key, if one is given, before letting go.
drag_from() {
    local args=(mousemove "$1" "$2" mousedown 1)
    shift 2
    while [ $# -ge 2 ]; do
        args+=(sleep 0.15 mousemove "$1" "$2")
        shift 2
    done
    [ $# = 0 ] || args+=(sleep 0.15 key "$1")
    xdotool "${args[@]}" sleep 0.15 mouseup 1 >>"$OUT/xdotool.txt" 2>&1
    sleep 0.5
}
# drag_by x y dx dy n [key]: a drag from x,y in n steps of dx,dy, held at
# the screen's left and top edges as the pointer is.
drag_by() {
    local points=() i x y
    for i in $(seq 1 "$5"); do
        x=$(($1 + i * $3)) y=$(($2 + i * $4))
        points+=($((x < 0 ? 0 : x)) $((y < 0 ? 0 : y)))
    done
    drag_from "$1" "$2" "${points[@]}" "${@:6}"
}
# Sets MENU to the rectangle of the one visible pop-up menu, or empty.
visible_menu() {
    drv class-windows "#32768"
    MENU=$(sed -n 's/^window .* visible=1 rect=\([-0-9,]*\) .*/\1/p' "$DRV_OUT" | head -n 1)
}
# The centre "x y" of a rectangle "l,t,r,b".
center_of() {
    local l t r b
    IFS=, read -r l t r b <<<"$1"
    echo "$(((l + r) / 2)) $(((t + b) / 2))"
}
# Clicks control $2 of window $1 with button $3 (1 by default).
click_item() {
    drv item "$1" "$2"
    # shellcheck disable=SC2046  # the centre is two words
    xdotool mousemove $(center_of "$(val screen)") sleep 0.3 click "${3:-1}" >>"$OUT/xdotool.txt" 2>&1
    sleep 0.5
}
# Clicks item $1 (from 0) of the pop-up menu that is open.
choose_menu_item() {
    local rect="" l t r b
    for _ in $(seq 1 20); do
        drv class-windows '#32768'
        rect=$(sed -n 's/^window .* visible=1 rect=\([-0-9,]*\) .*/\1/p' "$DRV_OUT" | head -n 1)
        [ -n "$rect" ] && break
        sleep 0.2
    done
    [ -n "$rect" ] || return 1
    IFS=, read -r l t r b <<<"$rect"
    xdotool mousemove $(((l + r) / 2)) $((t + (b - t) * (2 * $1 + 1) / 8)) sleep 0.3 click 1 \
        >>"$OUT/xdotool.txt" 2>&1
    sleep 0.5
}
# Presses keys $2... over window $1, where X sends them without a window manager.
keys_over() {
    local title=$1
    shift
    drv window-info "$title"
    # shellcheck disable=SC2046
    xdotool mousemove $(center_of "$(val rect)") sleep 0.3 key --delay 80 "$@" >>"$OUT/xdotool.txt" 2>&1
}
open_dialog() {  # open_dialog <menu mnemonic> <title>
    local bt bb
    drv window-info "$TITLE"
    IFS=, read -r _ bt _ bb <<<"$(val rect)"
    xdotool mousemove 600 $(((bt + bb) / 2)) sleep 0.3 click 3 sleep 0.5 key "$1" >>"$OUT/xdotool.txt" 2>&1
    drv wait-window "$2" 10
}
bar_info() {
    drv window-info "$TITLE"
    RECT=$(val rect)
}
# Waits up to $2 tenths of a second for the bar's rectangle to become $1.
wait_rect() {
    local tenths=$2
    while :; do
        bar_info
        [ "$RECT" = "$1" ] && return 0
        [ "$tenths" -le 0 ] && return 1
        sleep 0.1
        tenths=$((tenths - 1))
    done
}
# Another program's window, active for $1 seconds.
other_window() {
    "$WINE" "$DRIVER" hold-active 300 400 "$1" >"$OUT/other-$2.txt" 2>&1 &
    PIDS+=("$!")
    local tenths=100
    until grep -q '^active=' "$OUT/other-$2.txt" 2>/dev/null || [ "$tenths" -le 0 ]; do
        sleep 0.1
        tenths=$((tenths - 1))
    done
}

# The bar's template as the dialog manager makes it: sets THICKNESS (the
# default docked thickness), BUTTON_W (the menu button's width) and
# TEMPLATE_W (the window's width).
measure_template() {
    drv resources "$(winpath "$VOSSEL")"
    TEMPLATE_CLIENT=$(val client)
    TEMPLATE_WINDOW=$(val window)
    THICKNESS=${TEMPLATE_WINDOW#*,}
    TEMPLATE_W=${TEMPLATE_WINDOW%,*}
    BUTTON_W=${TEMPLATE_CLIENT%,*}
}

# Saves a screenshot as $ART/$1.png and, with a geometry $2 (WxH+X+Y), a
# four-times enlarged crop of it as $ART/$1-bar.png.
screenshot() {
    import -window root "$ART/$1.png" 2>>"$OUT/import.txt"
    check "screenshot $1.png saved" "see $OUT/import.txt" test -s "$ART/$1.png"
    [ -z "${2:-}" ] || convert "$ART/$1.png" -crop "$2" +repage -filter point -resize 400% \
        "$ART/$1-bar.png" 2>>"$OUT/import.txt"
}

# CPU time (user + system) in ms that Linux process $1 has used so far.
cpu_ms() {
    local f
    read -r -a f <<<"$(sed 's/^.*) //' "/proc/$1/stat")"
    echo $(((f[11] + f[12]) * 1000 / CLK_TCK))
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# The Linux process that runs the Windows program $2 of this prefix, trying
# the started process $1 first (the wine launcher execs into the program).
linux_pid_of() {
    local pid
    for pid in "$1" $(pgrep -f "$2"); do
        grep -qF "$2" "/proc/$pid/cmdline" 2>/dev/null || continue
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        echo "$pid"
        return 0
    done
    return 1
}

# What every case starts from: the programs are there, the prefix is fresh,
# and DRIVES, SCREEN_W and SCREEN_H describe it.
prepare_case() {
    local f
    for f in "$VOSSEL" "$DRIVER" "$LAUNCHEE"; do
        [ -f "$f" ] || { fail "missing $f"; finish "nothing to test"; }
    done
    # The drives of the prefix: its dosdevices links named by a letter and a colon.
    mapfile -t DRIVES < <(for link in "$WINEPREFIX"/dosdevices/?:; do
        [ -e "$link" ] && basename "$link" | cut -c1 | tr '[:lower:]' '[:upper:]'
    done | sort)
    drv screen
    SCREEN_W=$(val cx)
    SCREEN_H=$(val cy)
}
