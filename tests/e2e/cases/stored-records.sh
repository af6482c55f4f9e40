# shellcheck shell=bash
# Records no sound run leaves behind still give a usable bar: on the screen,
# with the menu button's room in its client area; a docked bar stands on the
# strip it reserves, and a thickness too large for this screen keeps its edge.

measure_template
MIN=-2147483648
MAX=2147483647
# name, then the record's edge, auto-hide, always-on-top, four thicknesses and floating rectangle.
RECORDS=(
    "bottom-0 3 0 1 0 0 0 0 0 0 $((2 * TEMPLATE_W)) $THICKNESS"
    "floating-extreme -2 0 0 $TEMPLATE_W $THICKNESS $TEMPLATE_W $THICKNESS $MIN $MIN $MAX $MAX"
    "right-too-thick 2 0 1 $TEMPLATE_W $THICKNESS 5000 $THICKNESS 0 0 $((2 * TEMPLATE_W)) $THICKNESS"
)
for record in "${RECORDS[@]}"; do
    read -r name edge fields <<<"$record"
    # shellcheck disable=SC2086  # the fields are numbers, one word each
    drv reg-set "$SETTINGS" "State Info" binary "$(le32hex 48 "$edge" $fields)"
    require_bar "vossel-$name.txt" 60
    settled_rect
    IFS=, read -r L T R B <<<"$RECT"
    IFS=, read -r CW CH <<<"$(val client)"
    echo "e2e: $name gives rect $RECT client $CW,$CH"
    check "$name: the bar overlaps the screen" "rect=$RECT" \
        test "$L" -lt "$SCREEN_W" -a "$R" -gt 0 -a "$T" -lt "$SCREEN_H" -a "$B" -gt 0
    check "$name: the client area holds the menu button" "client=$CW,$CH template=$TEMPLATE_CLIENT" \
        test "$CW" -ge "${TEMPLATE_CLIENT%,*}" -a "$CH" -ge "${TEMPLATE_CLIENT#*,}"
    case $name in
        bottom-0)
            check "$name: docked on the bottom edge" "rect=$RECT" test "$B" = "$SCREEN_H" -a "$L" = 0 ;;
        right-too-thick)
            check "$name: at the right edge, half the screen thick" "rect=$RECT" \
                test "$R" = "$SCREEN_W" -a $((R - L)) = $((SCREEN_W / 2)) ;;
    esac
    close_bar "the bar from record $name"
done
