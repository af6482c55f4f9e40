# shellcheck shell=bash
# Drives that come and go while the bar runs: a letter the mount manager adds
# gets its button, picture and tip when the broadcast comes, and loses it
# when the letter goes, also while the menu of its own button is open; a
# letter added without a broadcast, or one said gone that comes back so,
# shows when the pointer comes over the bar; a letter added to "Do not show
# these drives" goes at OK.

OPTIONS="Vossel Options"
# M: is a fixed disk like C:, so its picture must be C:'s.
M_DIR=$OUT/m-drive
N_DIR=$OUT/n-drive
mkdir -p "$M_DIR" "$N_DIR"
printf 'STICK' >"$M_DIR/.windows-label"
DRIVE_FIXED=3

require_bar vossel-1.txt 60
settled_rect
xdotool mousemove 600 400 >>"$OUT/xdotool.txt" 2>&1
# Sets SHOWN to the drive buttons now, after the bar has had a moment.
buttons_now() {
    sleep 1
    drv children "$TITLE"
    drive_buttons
    SHOWN=$DRIVE_BUTTONS
}
with_letters() { printf '%s\n' "${DRIVES[@]}" "$@" | sort -u | tr '\n' ' '; }
buttons_now
check "one button per drive at start" "buttons: $SHOWN" test "$SHOWN" = "$(expected_buttons "${DRIVES[@]}")"

drv define-drive M "$M_DIR" $DRIVE_FIXED
check "the mount manager adds M:" "$(val error) drives=$(val drives)" test "$DRV_RC" = 0
drv device-change "$TITLE" arrival M
buttons_now
# shellcheck disable=SC2046  # the letters are words
EXPECTED=$(expected_buttons $(with_letters M))
check "the broadcast brings M: its button, in letter order" "buttons: $SHOWN expected: $EXPECTED" \
    test "$SHOWN" = "$EXPECTED"
M_ID=$(echo "$SHOWN" | tr ';' '\n' | sed -n 's/^\([0-9]*\) M:$/\1/p')
C_ID=$(echo "$SHOWN" | tr ';' '\n' | sed -n 's/^\([0-9]*\) C:$/\1/p')

# Its picture: the left of the button, before the letter, the same as C:'s.
picture_of() {
    local l t
    IFS=, read -r l t _ _ <<<"$(child_field "$1" screen)"
    convert "$ART/drives-m.png" -crop "12x12+$((l + 1))+$((t + 2))" +repage "$OUT/picture-$1.png" 2>>"$OUT/import.txt"
}
screenshot drives-m "320x40+0+0"
picture_of "$M_ID"
picture_of "$C_ID"
DIFFERENT=$(compare -metric AE "$OUT/picture-$M_ID.png" "$OUT/picture-$C_ID.png" null: 2>&1)
check "M: shows the fixed-disk picture, as C: does" "pixels differing: $DIFFERENT" test "$DIFFERENT" = 0

# Its tip, after resting on it.
read -r MX MY <<<"$(center_of "$(child_field "$M_ID" screen)")"
xdotool mousemove "$MX" "$MY" sleep 0.2 mousemove "$((MX + 1))" "$MY" sleep 2 >>"$OUT/xdotool.txt" 2>&1
drv tooltips "$TITLE"
TIP=$(sed -n 's/^tip visible=1 style=[^ ]* text=//p' "$DRV_OUT" | head -n 1)
check "M: has its tip" "tip=[$TIP]" test "$TIP" = '(STICK) M:\'
xdotool mousemove 600 400 >>"$OUT/xdotool.txt" 2>&1

drv undefine-drive M
drv device-change "$TITLE" removal M
buttons_now
check "the removal takes M:'s button away" "buttons: $SHOWN" test "$SHOWN" = "$(expected_buttons "${DRIVES[@]}")"

# N: comes without a word: nothing until the pointer comes over the bar.
drv define-drive N "$N_DIR" $DRIVE_FIXED
buttons_now
check "no button for an unannounced drive while the pointer is away" "buttons: $SHOWN" \
    test "$SHOWN" = "$(expected_buttons "${DRIVES[@]}")"
drv window-info "$TITLE"
read -r BX BY <<<"$(center_of "$(val rect)")"
xdotool mousemove 400 "$BY" sleep 0.3 mousemove 401 "$BY" >>"$OUT/xdotool.txt" 2>&1
buttons_now
# shellcheck disable=SC2046
EXPECTED=$(expected_buttons $(with_letters N))
check "the pointer over the bar brings N: its button" "buttons: $SHOWN expected: $EXPECTED" \
    test "$SHOWN" = "$EXPECTED"

# M:, said gone, comes back without a word (its letter stayed reported all along, without a
# root): nothing while the pointer stays, its button once the pointer comes over the bar again.
drv define-drive M "$M_DIR" $DRIVE_FIXED
buttons_now
check "no button for M: back unannounced while the pointer stays" "buttons: $SHOWN expected: $EXPECTED" \
    test "$SHOWN" = "$EXPECTED"
# Away long enough for the bar's 400 ms timer to see the pointer leave, then back over the bar.
xdotool mousemove 600 400 sleep 1 mousemove 400 "$BY" sleep 0.3 mousemove 401 "$BY" >>"$OUT/xdotool.txt" 2>&1
buttons_now
# shellcheck disable=SC2046
EXPECTED=$(expected_buttons $(with_letters M N))
check "the pointer coming over the bar again brings M: its button back" "buttons: $SHOWN expected: $EXPECTED" \
    test "$SHOWN" = "$EXPECTED"

# M: goes while the menu of its own button is open: the menu's loop takes the news and the
# sync, which destroys the button whose right click is still being handled; the bar lives on.
M_ID=$(echo "$SHOWN" | tr ';' '\n' | sed -n 's/^\([0-9]*\) M:$/\1/p')
click_item "$TITLE" "$M_ID" 3
visible_menu
check "a right click on M: opens the menu" "menu=${MENU:-none}" test -n "$MENU"
drv undefine-drive M
drv device-change "$TITLE" removal M
buttons_now
visible_menu
# shellcheck disable=SC2046
EXPECTED=$(expected_buttons $(with_letters N))
check "M:'s button goes while its menu stays open" "menu=${MENU:-none} buttons: $SHOWN expected: $EXPECTED" \
    test -n "$MENU" -a "$SHOWN" = "$EXPECTED"
xdotool key Escape >>"$OUT/xdotool.txt" 2>&1
buttons_now
visible_menu
check "the bar lives on after that menu closes" "rc=$DRV_RC menu=${MENU:-none} buttons: $SHOWN" \
    test -z "$MENU" -a "$SHOWN" = "$EXPECTED"

# Hidden in Options: gone at OK.
open_dialog o "$OPTIONS"
check "the menu opens Options" "$(val error)" test "$DRV_RC" = 0
click_item "$OPTIONS" 1007
xdotool type --delay 100 n >>"$OUT/xdotool.txt" 2>&1
keys_over "$OPTIONS" Return
drv wait-gone "$OPTIONS" 10
buttons_now
check "OK with N in \"Do not show these drives\" takes its button away at once" "buttons: $SHOWN" \
    test "$SHOWN" = "$(expected_buttons "${DRIVES[@]}")"
close_bar
