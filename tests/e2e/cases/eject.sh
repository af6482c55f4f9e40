# shellcheck shell=bash
# A drive that Wine's mount manager defines as a CD-ROM drive gets "Eject"
# at the top of the menu opened on its button, one item and a separator
# more than the menu of C:, which has none; choosing it gives whatever Wine
# answers, the tray opened or the message, and the bar runs on.

DRIVE_CDROM=5
D_DIR=$OUT/cdrom
mkdir -p "$D_DIR"
drv define-drive D "$D_DIR" $DRIVE_CDROM
check "the mount manager adds D: as a CD-ROM drive" "$(val error)" test "$DRV_RC" = 0

require_bar vossel-1.txt 60
settled_rect
drv children "$TITLE"
id_of() { sed -n "s/^child id=\([0-9]*\) .* text=$1\$/\1/p" "$DRV_OUT" | head -n 1; }
C_ID=$(id_of C:)
D_ID=$(id_of D:)
check "the bar has buttons for C: and D:" "C=$C_ID D=$D_ID" test -n "$C_ID" -a -n "$D_ID"
[ -n "$C_ID" ] && [ -n "$D_ID" ] || finish "no drive buttons to open menus on"
read -r CX CY <<<"$(center_of "$(child_field "$C_ID" screen)")"
read -r DX DY <<<"$(center_of "$(child_field "$D_ID" screen)")"

# Opens the menu with a right click at $1,$2 and sets MENU to its rectangle
# and MENU_H to its height.
menu_at() {
    xdotool mousemove "$1" "$2" sleep 0.3 click 3 >>"$OUT/xdotool.txt" 2>&1
    MENU=""
    for _ in $(seq 1 20); do
        sleep 0.3
        visible_menu
        [ -n "$MENU" ] && break
    done
    local t b
    IFS=, read -r _ t _ b <<<"$MENU"
    MENU_H=$((${b:-0} - ${t:-0}))
}
close_menu() {
    xdotool key Escape >>"$OUT/xdotool.txt" 2>&1
    sleep 0.5
}

menu_at "$CX" "$CY"
C_MENU_H=$MENU_H
check "a right click on C: opens the bar's menu" "menu=[$MENU]" test -n "$MENU"
close_menu
menu_at "$DX" "$DY"
D_MENU_H=$MENU_H
check "a right click on D: opens the menu" "menu=[$MENU]" test -n "$MENU"
# Wine draws an item 17 or more pixels high and a separator at least 7.
check "D:'s menu has an item and a separator more than C:'s, which has no Eject" \
    "heights: C: $C_MENU_H, D: $D_MENU_H" test "$((D_MENU_H - C_MENU_H))" -ge 20
screenshot eject-menu
IFS=, read -r _ _ MR MB <<<"$MENU"
convert "$ART/eject-menu.png" -crop "$((MR + 12))x$((MB + 8))+0+0" +repage -filter point -resize 200% \
    "$ART/eject-menu-crop.png" 2>>"$OUT/import.txt"
check "the menu's picture is cut from the screen" "see $OUT/import.txt" test -s "$ART/eject-menu-crop.png"

# Sets BOX to the rectangle of a visible dialog of the system's other than
# the bar, which is one too: the message box.
message_box() {
    drv class-windows "#32770"
    BOX=$(grep ' visible=1 ' "$DRV_OUT" | grep -vF " rect=$RECT " | sed -n 's/^window .* rect=\([-0-9,]*\) .*/\1/p' |
        head -n 1)
}
# Its access key chooses Eject.
xdotool key e >>"$OUT/xdotool.txt" 2>&1
for _ in $(seq 1 10); do
    sleep 0.5
    message_box
    [ -n "$BOX" ] && break
done
visible_menu
check "choosing Eject closes the menu" "menu=[$MENU]" test -z "$MENU"
if [ -n "$BOX" ]; then
    echo "measure: Wine refused to open D:'s tray; the bar said so"
    screenshot eject-message
    # shellcheck disable=SC2046  # the centre is two words
    xdotool mousemove $(center_of "$BOX") sleep 0.3 key Return >>"$OUT/xdotool.txt" 2>&1
    sleep 1
    message_box
    check "the message closes with Enter" "box=[$BOX]" test -z "$BOX"
else
    echo "measure: Wine opened D:'s tray without a word"
fi

# The bar runs on: its window answers and its menu opens again.
drv window-info "$TITLE"
check "the bar is still there" "$(val error)" test "$DRV_RC" = 0
menu_at "$CX" "$CY"
check "and its menu opens again" "menu=[$MENU]" test -n "$MENU"
close_menu
xdotool mousemove 600 400 >>"$OUT/xdotool.txt" 2>&1
close_bar
