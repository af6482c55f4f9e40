# shellcheck shell=bash
# The resources built into vossel.exe, read as Windows reads them.

drv resources "$(winpath "$VOSSEL")"
expect_lines "dialog.ex=1" "dialog.style=0x96CC0445" "dialog.exstyle=0x00000080" "dialog.items=1" \
    "dialog.rect=0,0,22,12" "dialog.caption=Vossel" "dialog.font=7,0,0,1,Arial" \
    "control id=1009 class=BUTTON style=0x5001000B exstyle=0x00000000 rect=0,0,22,12 text="
check "dialog template IDD_BAR" "missing:$MISSING" test -z "$MISSING"
expect_lines "string.57344=Vossel" "string.108=Copy selected files to:" "string.109=Move selected files to:"
check "string table" "missing:$MISSING" test -z "$MISSING"
# Each picture drawn at 16, 20, 24, 28 and 32 pixels, ten ids apart.
BITMAPS=()
for size in 16 20 24 28 32; do
    for id in 0 1 2 3 4; do
        BITMAPS+=("bitmap.$((130 + (size - 16) / 4 * 10 + id))=${size}x$size,4")
    done
done
expect_lines "${BITMAPS[@]}" "icon.128=1" "manifest.1=1"
check "bitmaps, icon and manifest" "missing:$MISSING" test -z "$MISSING"
expect_lines "version.file=2,2,0,0" "version.CompanyName=Quorvane" "version.ProductName=Vossel" \
    "version.FileVersion=2.2" "version.OriginalFilename=vossel.exe"
check "version information" "missing:$MISSING" test -z "$MISSING"
