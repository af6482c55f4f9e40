# shellcheck shell=bash
# The bar at 125%, 150%, 175% and 200%. Wine reads the DPI from LogPixels
# when its server starts, so each scale starts the server afresh. At each
# one: a bar stored with two rows at the scale before comes back with two
# rows (from 96 DPI the record has no DPI beside it, as earlier versions
# wrote it); a bar of one row is as thick as the template at this scale,
# its buttons as large and spaced by the scaled gap; the drive picture in a
# button is, pixel for pixel, the one drawn for the scale; the About
# dialog's icon picture grows with the scale. Cropped screenshots of the
# bar at 150% and 200% are kept as vossel-bar-150.png and vossel-bar-200.png.
RESOURCES=$(cd "$(dirname "$VOSSEL")/../../resources" && pwd)
ABOUT="About Vossel"

# Stores a top bar of $1 rows of $2 pixels in a frame of $3, measured at DPI $4.
store_rows() {
    local thick=$(($3 + $1 * $2))
    drv reg-set "$SETTINGS" "State Info" binary "$(le32hex 48 1 0 1 "$TEMPLATE_W" "$thick" "$TEMPLATE_W" "$thick" \
        10 10 200 60)"
    [ "$4" = 96 ] || drv reg-set "$SETTINGS" "State DPI" dword "$4"
}
# Checks the bar's thickness ($1 rows) and the places of its first two
# buttons; sets FIRST to the first drive button's screen rectangle.
check_bar() {
    local rows=$1 client_h=$(($1 * ROW_H)) first=$IDC_FIRST_DRIVE
    settled_rect
    IFS=, read -r _ T _ B <<<"$RECT"
    check "$DPI DPI, $rows row(s): the bar is $((FRAME + client_h)) pixels thick" "rect=$RECT" \
        test $((B - T)) = $((FRAME + client_h))
    drv children "$TITLE"
    check "$DPI DPI, $rows row(s): the menu button is the template's button, $MARGIN pixel(s) in" \
        "rect=$(child_field 1009 rect)" test "$(child_field 1009 rect)" = "$MARGIN,$MARGIN,$((MARGIN + BUTTON_W)),$client_h"
    local left=$((MARGIN + BUTTON_W + GAP))
    check "$DPI DPI, $rows row(s): the first drive button follows $GAP pixels on" \
        "rect=$(child_field $first rect)" test "$(child_field $first rect)" = "$left,$MARGIN,$((left + BUTTON_W)),$client_h"
    FIRST=$(child_field $first screen)
}

PREV_DPI=96
measure_template
PREV_ROW_H=${TEMPLATE_CLIENT#*,}
PREV_FRAME=$((THICKNESS - PREV_ROW_H))
for DPI in 120 144 168 192; do
    drv reg-set 'Control Panel\Desktop' LogPixels dword "$DPI"
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    drv screen
    check "Wine runs at $DPI DPI" "dpi=$(val dpi)" test "$(val dpi)" = "$DPI"
    measure_template
    ROW_H=${TEMPLATE_CLIENT#*,}
    FRAME=$((THICKNESS - ROW_H))
    # Pixels at 96 DPI rounded half up, and the picture drawn for the scale.
    MARGIN=$(((DPI + 48) / 96))
    GAP=$(((3 * DPI + 48) / 96))
    PICTURE=$((DPI / 24 * 4))
    echo "e2e: $DPI DPI: template client $TEMPLATE_CLIENT, window $TEMPLATE_WINDOW, picture $PICTURE"

    store_rows 2 "$PREV_ROW_H" "$PREV_FRAME" "$PREV_DPI"
    require_bar "vossel-$DPI-rows.txt" 60
    check_bar 2
    close_bar "the bar of two rows at $DPI DPI"

    store_rows 1 "$ROW_H" "$FRAME" "$DPI"
    require_bar "vossel-$DPI.txt" 60
    check_bar 1
    sleep 1
    SHOT=display-scale-$DPI
    screenshot "$SHOT" "240x$((B - T + 8))+0+0"
    convert "$ART/$SHOT.png" -crop "1024x$((B - T + 8))+0+0" +repage "$ART/vossel-bar-$((DPI * 100 / 96)).png"

    # Where the button draws its picture, and the part of it the button shows.
    IFS=, read -r L T R B <<<"$FIRST"
    PX=$((L + MARGIN)) PY=$((T + ((B - T - PICTURE) >> 1)))
    VY=$((PY < T ? T : PY))
    VH=$(((PY + PICTURE > B ? B : PY + PICTURE) - VY))
    FACE=$(convert "$ART/$SHOT.png" -format '%[pixel:p{'$((R - 3))','$((T + 3))'}]' info: 2>>"$OUT/import.txt")
    convert "$RESOURCES/drive_fixed_$PICTURE.bmp" -fill "$FACE" -opaque white \
        -crop "${PICTURE}x$VH+0+$((VY - PY))" +repage "$OUT/drawn-$DPI.png" 2>>"$OUT/import.txt"
    convert "$ART/$SHOT.png" -crop "${PICTURE}x$VH+$PX+$VY" +repage "$OUT/shown-$DPI.png" 2>>"$OUT/import.txt"
    DIFFERENT=$(compare -metric AE "$OUT/shown-$DPI.png" "$OUT/drawn-$DPI.png" null: 2>&1)
    check "$DPI DPI: drive C: shows its picture drawn at $PICTURE pixels, as drawn (rows $((VY - PY)) on, $VH shown)" \
        "pixels that differ: $DIFFERENT, face $FACE" test "$DIFFERENT" = 0

    open_dialog a "$ABOUT"
    check "$DPI DPI: the menu opens About" "$(val error)" test "$DRV_RC" = 0
    drv item "$ABOUT" 1008
    IFS=, read -r IL IT IR IB <<<"$(val screen)"
    SIDE=$((72 * DPI / 96))
    check "$DPI DPI: the icon picture is $SIDE x $SIDE" "screen=$(val screen)" \
        test $((IR - IL))x$((IB - IT)) = "${SIDE}x$SIDE"
    keys_over "$ABOUT" Escape
    drv wait-gone "$ABOUT" 10
    close_bar "the bar at $DPI DPI"

    PREV_DPI=$DPI PREV_ROW_H=$ROW_H PREV_FRAME=$FRAME
done
