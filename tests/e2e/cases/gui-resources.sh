# shellcheck shell=bash
# The bar gives back what its menu and its tooltips take: the GDI and USER
# objects of its process (and, since Wine may not count those, the windows
# its threads made) are read before and after 200 menus and 200 tips.
SLACK=10

require_bar vossel-1.txt 60
settled_rect
drv children "$TITLE"
drive_buttons
read -r FIRST_ID _ SECOND_ID _ <<<"$(echo "$DRIVE_BUTTONS" | tr ';' ' ')"
check "two drive buttons to hover" "buttons=$DRIVE_BUTTONS" test -n "$SECOND_ID"
[ -n "$SECOND_ID" ] || finish "nothing to hover"

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

drv hover-cycles "$TITLE" "$FIRST_ID" "$SECOND_ID" 200
TIPS=$(val tips)
echo "gui-resources: hovers $(val hovers), a new tip text shown after ${TIPS:-none}"
check "the tips asked for their text again and again" "$(tr '\n' ' ' <"$DRV_OUT")" test "${TIPS:-0}" -ge 100
compare "tooltips x200"
close_bar
