# shellcheck shell=bash
# The resources built into vossel.exe, read as Windows reads them.

drv resources "$(winpath "$VOSSEL")"
expect_lines "dialog.ex=1" "dialog.style=0x96CC0445" "dialog.exstyle=0x00000080" "dialog.items=1" \
    "dialog.rect=0,0,22,12" "dialog.caption=Vossel" "dialog.font=7,0,0,1,Arial" \
    "control id=1009 class=BUTTON style=0x5001000B exstyle=0x00000000 rect=0,0,22,12 text="
check "dialog template IDD_BAR" "missing:$MISSING" test -z "$MISSING"
expect_lines "string.57344=Vossel" "string.108=Copy selected files to:" "string.109=Move selected files to:"
check "string table" "missing:$MISSING" test -z "$MISSING"
expect_lines "bitmap.130=17x17,4" "bitmap.131=17x17,4" "bitmap.132=17x17,4" "bitmap.133=17x17,4" \
    "bitmap.134=17x17,4" "icon.128=1" "manifest.1=1"
check "bitmaps, icon and manifest" "missing:$MISSING" test -z "$MISSING"
expect_lines "version.file=2,2,0,0" "version.CompanyName=Quorvane" "version.ProductName=Vossel" \
    "version.FileVersion=2.2" "version.OriginalFilename=vossel.exe"
check "version information" "missing:$MISSING" test -z "$MISSING"
