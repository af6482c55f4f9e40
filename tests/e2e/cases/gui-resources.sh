# shellcheck shell=bash
# The bar gives back what its menu and its tooltips take: the GDI and USER
# objects of its process (and, since Wine may not count those, the windows
# its threads made) are read before and after 200 menus and 200 tips, the
# menus opened with BM_CLICK and closed with WM_CANCELMODE by the driver, the
# tips brought up by the mouse.
SLACK=10

require_bar vossel-1.txt 60
settled_rect
drv children "$TITLE"
drive_buttons
read -r FIRST_ID _ SECOND_ID _ <<<"$(echo "$DRIVE_BUTTONS" | tr ';' ' ')"
check "two drive buttons to hover" "buttons=$DRIVE_BUTTONS" test -n "$SECOND_ID"
[ -n "$SECOND_ID" ] || finish "nothing to hover"
centre_of() {
    local l t r b
    IFS=, read -r l t r b <<<"$(child_field "$1" screen)"
    echo "$(((l + r) / 2)) $(((t + b) / 2))"
}
read -r X1 Y1 <<<"$(centre_of "$FIRST_ID")"
read -r X2 Y2 <<<"$(centre_of "$SECOND_ID")"

# Sets GDI, USER and WINDOWS from the bar's process.
counts() {
    drv gui-resources "$TITLE"
    GDI=$(val gdi)
    USER=$(val user)
    WINDOWS=$(val windows)
}
# Prints the before/after line of step $1 and checks that no count grew by more than $SLACK.
compare() {
    local what=$1 before_gdi=$GDI before_user=$USER before_windows=$WINDOWS
    counts
    echo "gui-resources: $what: GDI $before_gdi -> $GDI, USER $before_user -> $USER, windows $before_windows -> $WINDOWS"
    check "$what leaves the GDI objects, USER objects and windows as they were (slack $SLACK)" \
        "GDI $before_gdi -> $GDI, USER $before_user -> $USER, windows $before_windows -> $WINDOWS" \
        test "$GDI" -le $((before_gdi + SLACK)) -a "$USER" -le $((before_user + SLACK)) \
        -a "$WINDOWS" -le $((before_windows + SLACK))
}

counts
check "the bar's process is counted" "$(cat "$DRV_OUT")" test -n "$GDI" -a -n "$USER" -a "${WINDOWS:-0}" -gt 0
[ "$GDI$USER" = 00 ] && echo "gui-resources: GetGuiResources answers 0 for both counts under this Wine" \
    "(error $(val lasterror)); the window count is the real measure"

drv menu-cycles "$TITLE" 200
check "the menu button opened and closed the menu 200 times" "$(tr '\n' ' ' <"$DRV_OUT")" \
    test "$(val opened)" = 200 -a "$(val closed)" = 200
compare "menu x200"

# Between two drive buttons the tip shows again after a short delay and asks
# its text each time.
MOVES=(mousemove "$X1" "$Y1" sleep 1)
for _ in $(seq 1 100); do
    MOVES+=(mousemove "$X2" "$Y2" sleep 0.25 mousemove "$X1" "$Y1" sleep 0.25)
done
xdotool "${MOVES[@]}" >>"$OUT/xdotool.txt" 2>&1
drv tooltips "$TITLE"
TIP=$(sed -n 's/^tip visible=1 style=[^ ]* text=//p' "$DRV_OUT" | head -n 1)
echo "gui-resources: after 200 hovers the tip shows [$TIP]"
check "after 200 hovers the tip shows the first drive's text" "$(tr '\n' ' ' <"$DRV_OUT")" \
    test -n "$TIP" -a "${TIP%\\}" != "$TIP"
compare "tooltips x200"
close_bar
