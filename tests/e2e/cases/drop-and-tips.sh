# shellcheck shell=bash
# Resting the mouse on a drive shows its tooltip, on the menu button none;
# files dragged from another program onto drive D: open the folder dialog
# there, and OK copies them, or with Shift moves them, into D:\; Cancel
# copies nothing.

# D: is a plain folder of this case, so what lands there is easy to see.
D_DIR=$OUT/d-drive
SRC=$OUT/src
mkdir -p "$D_DIR" "$SRC"
ln -sfn "$D_DIR" "$WINEPREFIX/dosdevices/d:"
# Drives are read when the prefix's wineserver starts.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
FOLDER_DIALOG="Browse for Folder"

require_bar vossel-1.txt 60
settled_rect
drv children "$TITLE"
id_of() { sed -n "s/^child id=\([0-9]*\) .* text=$1\$/\1/p" "$DRV_OUT" | head -n 1; }
centre_of() {
    local l t r b
    IFS=, read -r l t r b <<<"$(child_field "$1" screen)"
    echo "$(((l + r) / 2)) $(((t + b) / 2))"
}
C_ID=$(id_of C:)
D_ID=$(id_of D:)
check "the bar has buttons for C: and D:" "C=$C_ID D=$D_ID" test -n "$C_ID" -a -n "$D_ID"
[ -n "$C_ID" ] && [ -n "$D_ID" ] || finish "no drive buttons to rest on or drop onto"
read -r CX CY <<<"$(centre_of "$C_ID")"
read -r DX DY <<<"$(centre_of "$D_ID")"
read -r MX MY <<<"$(centre_of 1009)"

# Rests the mouse at $1,$2 long enough for a tip; sets TIP to the text of a
# visible tip of the bar, TIPS_SHOWN to how many are visible.
rest_at() {
    xdotool mousemove 600 400 >>"$OUT/xdotool.txt" 2>&1
    sleep 0.5
    xdotool mousemove "$1" "$2" >>"$OUT/xdotool.txt" 2>&1
    sleep 0.2
    xdotool mousemove "$(($1 + 1))" "$2" >>"$OUT/xdotool.txt" 2>&1
    sleep 2
    drv tooltips "$TITLE"
    TIP=$(sed -n 's/^tip visible=1 style=[^ ]* text=//p' "$DRV_OUT" | head -n 1)
    TIPS_SHOWN=$(grep -c '^tip visible=1 ' "$DRV_OUT")
    TIP_STYLE=$(sed -n 's/^tip visible=[01] style=\([^ ]*\) .*/\1/p' "$DRV_OUT" | head -n 1)
}

rest_at "$CX" "$CY"
screenshot tooltip-c
check "resting on C: shows its tooltip" "shown=$TIPS_SHOWN text=[$TIP], expected [() C:\\]" \
    test "$TIPS_SHOWN" = 1 -a "$TIP" = '() C:\'
check "one tooltip control, shown even when the bar is not active (TTS_ALWAYSTIP)" \
    "count=$(val count) style=$TIP_STYLE" test "$(val count)" = 1 -a $((${TIP_STYLE:-0} & 1)) = 1
rest_at "$MX" "$MY"
check "resting on the menu button shows no tip" "shown=$TIPS_SHOWN text=[$TIP]" test "$TIPS_SHOWN" = 0
xdotool mousemove 600 400 >>"$OUT/xdotool.txt" 2>&1

# Starts a drag source holding the given files.
DRAGS=0
start_source() {
    DRAGS=$((DRAGS + 1))
    SOURCE_LOG=$OUT/dragsource-$DRAGS.txt
    local args=() f
    for f in "$@"; do args+=("$(winpath "$f")"); done
    "$WINE" "$DRIVER" drag-source "${args[@]}" >"$SOURCE_LOG" 2>&1 &
    SOURCE_PID=$!
    PIDS+=("$SOURCE_PID")
    WHY=""
    wait_window_of "Drag Source" 20 "$SOURCE_PID"
}
# Presses on the source, drags to $1,$2 in ten steps (holding Shift from
# over the source when $3 is set) and releases.
drag_to() {
    local x0=400 y0=375 i
    {
        xdotool mousemove $x0 $y0
        sleep 0.3
        xdotool mousedown 1
        sleep 0.3
        [ -z "${3:-}" ] || xdotool keydown Shift_L
        for i in $(seq 1 10); do
            xdotool mousemove $((x0 + ($1 - x0) * i / 10)) $((y0 + ($2 - y0) * i / 10))
            sleep 0.05
        done
        xdotool mousemove $(($1 + 1)) "$2"
        sleep 0.3
        xdotool mouseup 1
        [ -z "${3:-}" ] || xdotool keyup Shift_L
    } >>"$OUT/xdotool.txt" 2>&1
}
# Waits up to 10 s for every given file to exist (or, with !, to be gone).
wait_files() {
    local deadline=$((SECONDS + 10)) f ok
    while :; do
        ok=1
        for f in "$@"; do
            case "$f" in
                !*) [ ! -e "${f#!}" ] || ok="" ;;
                *) [ -e "$f" ] || ok="" ;;
            esac
        done
        [ -n "$ok" ] && return 0
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}
# One drag onto D: with the dialog answered by button $1 (1 OK, 2 Cancel),
# Shift held when $2 is set; sets DIALOG_TEXT.
drop_on_d() {
    drag_to "$DX" "$DY" "${2:-}"
    DIALOG_TEXT=""
    if drv wait-window "$FOLDER_DIALOG" 15; then
        drv item "$FOLDER_DIALOG" 14146
        DIALOG_TEXT=$(val text)
        screenshot "folder-dialog-$DRAGS"
        drv click-item "$FOLDER_DIALOG" "$1"
        drv wait-gone "$FOLDER_DIALOG" 10
    fi
}
end_source() {
    drv syscommand-close "Drag Source"
    wait_exit "$SOURCE_PID" 10
}

printf 'alpha\n' >"$SRC/a.txt"
printf 'beta\n' >"$SRC/b.txt"
start_source "$SRC/a.txt" "$SRC/b.txt"
check "drag source window appears" "$WHY" test -z "$WHY"
drop_on_d 1
check "a drop opens \"$FOLDER_DIALOG\" with the copy text" "text=[$DIALOG_TEXT]" \
    test "$DIALOG_TEXT" = "Copy selected files to:"
check "OK copies the files into D:\\ (selected at the start)" "D: holds: $(ls "$D_DIR" | tr '\n' ' ')" \
    wait_files "$D_DIR/a.txt" "$D_DIR/b.txt"
check "copied files keep their content and the originals stay" "" \
    test -f "$SRC/a.txt" -a "$(cat "$D_DIR/b.txt" 2>/dev/null)" = beta
wait_files "$SOURCE_LOG" && sleep 0.5
check "the drop answers no effect to the source" "log: $(tr '\n' ' ' <"$SOURCE_LOG" 2>/dev/null)" \
    grep -q '^result=0x00040100 effect=0.\?$' "$SOURCE_LOG"
end_source

printf 'gamma\n' >"$SRC/m1.txt"
printf 'delta\n' >"$SRC/m2.txt"
start_source "$SRC/m1.txt" "$SRC/m2.txt"
drop_on_d 1 shift
check "with Shift the dialog has the move text" "text=[$DIALOG_TEXT]" \
    test "$DIALOG_TEXT" = "Move selected files to:"
check "with Shift OK moves the files into D:\\" "D: holds: $(ls "$D_DIR" | tr '\n' ' '); src: $(ls "$SRC" | tr '\n' ' ')" \
    wait_files "$D_DIR/m1.txt" "$D_DIR/m2.txt" "!$SRC/m1.txt" "!$SRC/m2.txt"
end_source

printf 'kappa\n' >"$SRC/k.txt"
start_source "$SRC/k.txt"
drop_on_d 2
check "Cancel in the folder dialog copies nothing" "D: holds: $(ls "$D_DIR" | tr '\n' ' ')" \
    test -n "$DIALOG_TEXT" -a ! -e "$D_DIR/k.txt" -a -f "$SRC/k.txt"
end_source

rest_at "$DX" "$DY"
check "after the drops D: still shows its tooltip" "text=[$TIP]" test "$TIPS_SHOWN" = 1 -a -n "$TIP"
close_bar
