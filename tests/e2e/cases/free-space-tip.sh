# shellcheck shell=bash
# Resting on drive C: shows its tip in two lines: its label and root, and
# below them its free space and size as GetDiskFreeSpaceExW reports them,
# written with the system's own size format.

require_bar vossel-1.txt 60
settled_rect
drv children "$TITLE"
C_ID=$(sed -n 's/^child id=\([0-9]*\) .* text=C:$/\1/p' "$DRV_OUT" | head -n 1)
[ -n "$C_ID" ] || finish "no button for C:"
read -r CX CY <<<"$(center_of "$(child_field "$C_ID" screen)")"

# Rests on C: until its tip is up; sets TIP (its first line), LINES (the
# rest, one per line) and TIP_RECT.
rest_on_c() {
    xdotool mousemove 600 400 sleep 0.5 mousemove "$CX" "$CY" sleep 0.2 mousemove "$((CX + 1))" "$CY" \
        >>"$OUT/xdotool.txt" 2>&1
    for _ in $(seq 1 20); do
        sleep 0.5
        drv tooltips "$TITLE"
        grep -q '^tip visible=1 ' "$DRV_OUT" && break
    done
    TIP=$(sed -n 's/^tip visible=1 style=[^ ]* text=//p' "$DRV_OUT" | head -n 1)
    LINES=$(sed -n 's/^tip line=//p' "$DRV_OUT")
    TIP_RECT=$(sed -n 's/^tip rect=//p' "$DRV_OUT" | head -n 1)
}

# The free space may move between the bar's reading and the driver's: a
# second look settles it.
for attempt in 1 2; do
    rest_on_c
    drv free-space 'C:\'
    EXPECTED=$(val line)
    [ "$LINES" = "$EXPECTED" ] && break
    echo "attempt $attempt: tip [$TIP|$LINES], free space now [$EXPECTED]"
done
check "the driver reads C:'s free space" "$(val error)" test -n "$EXPECTED"
check "C:'s tip keeps its first line" "tip=[$TIP]" test "$TIP" = '() C:\'
check "below it, the free space and size GetDiskFreeSpaceExW reports, in the system's format" \
    "lines=[$LINES] expected=[$EXPECTED] (free=$(val free) total=$(val total))" test "$LINES" = "$EXPECTED"

# The picture for the README: the bar's corner with the tip below it.
screenshot tip-free-space
IFS=, read -r _ _ TR TB <<<"$TIP_RECT"
IFS=, read -r _ _ _ BB <<<"$RECT"
W=$(((TR > 240 ? TR : 240) + 12))
H=$(((TB > BB ? TB : BB) + 8))
convert "$ART/tip-free-space.png" -crop "${W}x${H}+0+0" +repage -filter point -resize 200% \
    "$ART/tip-free-space-crop.png" 2>>"$OUT/import.txt"
check "the tip's picture is cut from the screen" "see $OUT/import.txt" test -s "$ART/tip-free-space-crop.png"
xdotool mousemove 600 400 >>"$OUT/xdotool.txt" 2>&1
close_bar
