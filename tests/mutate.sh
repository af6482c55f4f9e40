#!/usr/bin/env bash
# Plants each fault listed below in turn, rebuilds the native tests and runs
# them. A fault the suite does not fail on survives. Prints each fault's fate
# and the score; the working tree is restored after each plant.
#
#   tests/mutate.sh [BUILD_DIR]      default build/native (configured already)
#   ONLY=REGEX tests/mutate.sh       only the faults whose line matches REGEX
#
# A fault is FILE ::: PERL SUBSTITUTION (applied with perl -0pi -e) ::: WHAT.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
if ! git diff --quiet; then
    echo "mutate: commit or stash your changes first; each plant is undone with git checkout" >&2
    exit 1
fi

faults=$(
    cat <<'LIST'
actions/DriveButton.cpp ::: s/disabled \? m_hBitmapDisabled : m_hBitmap/disabled ? m_hBitmap : m_hBitmapDisabled/ ::: enabled and disabled pictures swapped
bar/VosselDialog.cpp ::: s/IsVerticalLayout\(m_placement.nEdge, client.cx, client.cy\)/IsVerticalLayout(m_placement.nEdge, client.cy, client.cx)/ ::: width and height swapped in the orientation
bar/VosselDialog.cpp ::: s/\s*button->SetImageMargin\(m_scale.Pixels\(kDriveImageMargin\)\);// ::: image margin left out
bar/VosselDialog.cpp ::: s/\s*button->SetTextGap\(m_scale.Pixels\(kDriveTextGap\)\);// ::: text gap left out
actions/OpenDrive.cpp ::: s/\s*Os\(\).win.ShowWindow\(hwnd, SW_RESTORE\);// ::: SW_RESTORE left out of tiling
actions/OpenDrive.cpp ::: s/BlockFor\(kLaunchSettleTime\);/if (tileExplorers) { BlockFor(kLaunchSettleTime); }/ ::: the launch wait only when tiling
bar/Drives.cpp ::: s/(CopyName\(name, remote\);\s+return TRUE;\s+\}\s+\})/$1 break;/ ::: only the first network batch searched
bar/VosselDialog.cpp ::: s/if \(Default\(\) == 0\) \{\s+return 0;\s+\}// ::: a refused session end ignored
bar/VosselDialog.cpp ::: s/ReleaseDrivesAndSave\(\);\n/ReleaseDrivesAndSave(); SaveSettings();\n/ ::: the settings written twice at exit
bar/VosselDialog.cpp ::: s/\? docked.maxTrack.x : docked.maxTrack.y/? docked.maxTrack.y : docked.maxTrack.x/ ::: thickness limit on the wrong axis
settings/Settings.cpp ::: s/thickness = std::min\(std::max\(thickness, limits.anMinThickness\[edge\]\), limits.anMaxThickness\[edge\]\);/(void)thickness;/ ::: stored thickness not clamped
settings/Settings.cpp ::: s/static_cast<long long>\(to\) - from/to - from/ ::: floating extent in 32 bits
bar/VosselDialog.cpp ::: s/SWP_NOMOVE \| SWP_NOZORDER \| SWP_NOACTIVATE \| SWP_FRAMECHANGED/SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED/ ::: caption added without sizing anew
appbar/AppBarDialog.cpp ::: s/kFlags = SWP_NOZORDER \| SWP_NOACTIVATE \| SWP_FRAMECHANGED/kFlags = SWP_NOZORDER | SWP_NOACTIVATE/ ::: SWP_FRAMECHANGED left out of the slide
appbar/AppBarDialog.cpp ::: s/(SetWindowPos\(nullptr, target.x, target.y, target.cx, target.cy, kFlags\);)\s+UpdateWindow\(\);/$1/ ::: UpdateWindow left out of the slide
appbar/AppBarDialog.cpp ::: s/ApplyEdge\(GetEffectiveEdge\(\)\);\s+ShowAutoHideBar\(FALSE\);/ApplyEdge(GetEffectiveEdge());/ ::: ShowAutoHideBar(FALSE) left out of following the taskbar
appbar/AppBarDialog.cpp ::: s/if \(!m_placement.bAutoHide\) \{(\s+SendAppBarMessage\(ABM_QUERYPOS)/{$1/ ::: ABM_QUERYPOS sent for an auto-hide bar
appbar/AppBarDialog.cpp ::: s/(auto-hide bar does.\n)\s+SendAppBarMessage\(ABM_SETPOS, ABE_LEFT, 0, nullptr\);/$1/ ::: ABM_SETPOS left out for a floating bar
appbar/AppBarDialog.cpp ::: s/(void CAppBarDialog::OnTaskbarPosChanged\(\) \{)/$1 return;/ ::: taskbar position changes ignored
appbar/AppBarDialog.cpp ::: s/m_placement.bAutoHide = FALSE;\s+OnAutoHideRefused\(\);/OnAutoHideRefused();/ ::: a refused auto-hide edge kept
appbar/AppBarDialog.cpp ::: s/SendAppBarMessage\(ABM_REMOVE, static_cast<UINT>\(-1\), 0, nullptr\);// ::: the bar never unregistered
appbar/AppBarDialog.cpp ::: s/(m_nDragEdge != EDGE_FLOATING && edge == EDGE_FLOATING\) \{\s+)\*rect = FloatingDragRect\(cursor, m_placement.rcFloating\);/$1/ ::: a bar dragged off its edge keeps its docked size
appbar/AppBarDialog.cpp ::: s/Os\(\).win.GetActiveWindow\(\) != m_hWnd && // ::: an active bar hides under the timer
appbar/AppBarDialog.cpp ::: s/\? size.cx : size.cy;/? size.cy : size.cx;/ ::: dragged thickness read on the wrong axis
appbar/AppBarDialog.cpp ::: s/(void CAppBarDialog::OnTaskbarCreated\(\) \{)/$1 return;/ ::: a restarted shell not told of the bar
appbar/AppBarGeometry.cpp ::: s/ClampToLong\(static_cast<long long>\(window.right\) \+ margin.cx\)/ClampToLong(static_cast<long long>(window.right) + margin.cx + 1)/ ::: the keep-out rectangle's right edge counted as inside
appbar/AppBarGeometry.cpp ::: s/fullScreenApp \? HWND_BOTTOM : HWND_TOPMOST/fullScreenApp ? HWND_TOPMOST : HWND_TOPMOST/ ::: a full-screen program kept under the bar
appbar/AppBarGeometry.cpp ::: s/area.screen.cx \* std::llabs\(dy\)/area.screen.cx * std::llabs(dy) + 1/ ::: a point on the diagonal goes to the top or bottom
appbar/AppBarGeometry.cpp ::: s/\(extent \+ step \/ 2\) \/ step/extent \/ step/ ::: sizing rounds down instead of to the nearest step
appbar/AppBarGeometry.cpp ::: s/x = show \? 0 : 2LL \* screen.cxBorder - w;/x = show ? 0 : screen.cxBorder - w;/ ::: hidden left bar shows one border, not two
bar/VosselDialog.cpp ::: s/BarTrackingLimits\(GetEffectiveEdge\(\), WindowFrameSize\(\)/BarTrackingLimits(m_placement.nEdge, WindowFrameSize()/ ::: the drag edge ignored in the size limits
bar/VosselDialog.cpp ::: s/window.left \+ 2 \* \(client.cx \+ floating.cx\)/window.left + client.cx + floating.cx/ ::: default floating width not doubled
bar/VosselDialog.cpp ::: s/\(m_placement.bAutoHide \? MF_CHECKED/(m_placement.bAlwaysOnTop ? MF_CHECKED/ ::: the auto-hide check mark shows always-on-top
bar/VosselDialog.cpp ::: s/\s*WriteLaunchOnStartup\(m_bLaunchOnStartup\);// ::: the start-up choice not written
bar/VosselDialog.cpp ::: s/dialog.m_strLaunchProgram.empty\(\) \? OptionsDefaultLaunchProgram\(\) : dialog.m_strLaunchProgram/dialog.m_strLaunchProgram/ ::: an empty launch program kept
bar/VosselDialog.cpp ::: s/GetKeyState\(VK_SHIFT\) & 0x8000/GetKeyState(VK_SHIFT) \& 0x0001/ ::: Shift read from its toggle bit
bar/BarLayout.cpp ::: s/constexpr int kGap = 3;/constexpr int kGap = 4;/ ::: wrong gap between buttons
bar/BarLayout.cpp ::: s/minClient.cx \+ frame.cx/minClient.cx/ ::: floating minimum without its frame
bar/Drives.cpp ::: s/skipDrives.find\(letter\) == std::string::npos/skipDrives.find(letter) != std::string::npos - 1/ ::: skipped drives shown
bar/Drives.cpp ::: s/case DRIVE_CDROM:\s+return IDB_DRIVE_CDROM;// ::: CD-ROM drives drawn as fixed ones
bar/Drives.cpp ::: s/\(CD-ROM\) /(CDROM) / ::: CD-ROM label misspelt
bar/ToolTipText.cpp ::: s/\s*GetDriveLabel\(text\);// ::: drive tips without their label
appbar/AppBarDialog.cpp ::: s/dragged = DragSides\(side, m_rcDragStart, m_ptDragStart, pointer\);/(void)pointer;/ ::: sizing snaps the proposal, so slow steps are lost
appbar/AppBarDialog.cpp ::: s/cancelled = Os\(\).win.GetKeyState\(VK_ESCAPE\) < 0;/cancelled = false;/ ::: Esc applies the cancelled size
appbar/AppBarDialog.cpp ::: s/thickness\[nEdge\] = HeldThickness\(/(void)HeldThickness(/ ::: a thickness past the limits placed as it is
appbar/AppBarDialog.cpp ::: s/SM_SWAPBUTTON\) != 0 \? VK_RBUTTON : VK_LBUTTON/SM_SWAPBUTTON) != 0 ? VK_LBUTTON : VK_LBUTTON/ ::: swapped mouse buttons ignored
appbar/AppBarGeometry.cpp ::: s/std::max\(0LL, maxExtent\) \/ step \* step/(std::max(0LL, maxExtent) + step - 1) \/ step * step/ ::: sizing overshoots the limit by part of a row
appbar/AppBarGeometry.cpp ::: s/rect.bottom = ClampToLong\(rect.bottom \+ dy\)/rect.bottom = ClampToLong(rect.bottom - dy)/ ::: the bottom side dragged against the cursor
appbar/AppBarGeometry.cpp ::: s/window.left\) - margin.cx/window.left) + margin.cx/ ::: no keep-out margin left of the bar
appbar/AppBarGeometry.cpp ::: s/return pt.x < client.left \? HTLEFT : HTBORDER;/return pt.x <= client.left ? HTLEFT : HTBORDER;/ ::: a right bar sizes from inside its client area
bar/BarLayout.cpp ::: s/limits\{\{minClient.cx \+ frame.cx, minClient.cy \+ frame.cy\}/limits{{0 * minClient.cx + frame.cx, 0 * minClient.cy + frame.cy}/ ::: a docked bar sized narrower than a button
bar/VosselDialog.cpp ::: s/(void CVosselDialog::OnOK\(\) \{)/$1 CAppBarDialog::OnOK();/ ::: Enter ends the bar
bar/VosselDialog.cpp ::: s/if \(x == -1 && y == -1\)/if (false)/ ::: the keyboard's menu at the screen's corner
bar/VosselDialog.cpp ::: s/std::clamp\(button.bottom, LONG\{0\}, bottom\)/std::min(button.bottom, bottom)/ ::: the keyboard's menu off the screen for a hidden bar
actions/OpenDrive.cpp ::: s/const LONG firstRow = n >= 4/const LONG firstRow = n > 4/ ::: four windows tiled in one row
actions/OpenDrive.cpp ::: s/std::max\(dot, backslash\)/std::min(dot, backslash)/ ::: program split at the first dot or backslash
actions/OpenDrive.cpp ::: s/(if \(marker == std::string::npos\) \{\s+)return root;/$1return arguments;/ ::: no %1: the root not passed
actions/OpenDrive.cpp ::: s/\s*BlockFor\(kSingleWindowSettleTime\);// ::: no settling wait for a single window
actions/OpenDrive.cpp ::: s/\s*Os\(\).sys.SetCurrentDirectoryA\(root.c_str\(\)\);// ::: the current folder not moved to the drive
actions/DriveDropTarget.cpp ::: s/keyState & MK_SHIFT/keyState \& 0x0008/ ::: Control moves instead of Shift
actions/DriveDropTarget.cpp ::: s/\s*Os\(\).shell.DragFinish\(drop\);// ::: the drop handle leaked
actions/DriveDropTarget.cpp ::: s/operation.fFlags = FOF_MULTIDESTFILES;/operation.fFlags = 0;/ ::: one destination for all dropped files
actions/DriveDropTarget.cpp ::: s/return DROPEFFECT_NONE;\n\}\s*$/return defaultEffect;\n}\n/ ::: a drop source told to delete moved items
actions/DriveButton.cpp ::: s/std::min\(3, std::min\(width, height\) \/ 4\)/std::min(4, std::min(width, height) \/ 4)/ ::: focus rectangle inset wrong
actions/DriveButton.cpp ::: s/Centre\(client.cy, text.cy\) - 1/Centre(client.cy, text.cy)/ ::: button text one pixel low
settings/Settings.cpp ::: s/if \(stored.cbSize < sizeof\(BARPLACEMENT\)\) \{\s+return false;\s+\}// ::: a short record size accepted
settings/Settings.cpp ::: s/!shortPath.empty\(\) && shortPath.find\(' '\) == std::string::npos/!shortPath.empty()/ ::: a short path with a space left unquoted
settings/Settings.cpp ::: s/\s*SetRunValue\(HKEY_CURRENT_USER, value\);// ::: no per-user fallback for the Run value
settings/Settings.cpp ::: s/\s*app.WriteProfileInt\(kSettingsSection, kTileExplorersEntry, settings.bTileExplorers\);// ::: tiling choice not saved
settings/Settings.cpp ::: s/return command.empty\(\) \? DefaultLaunchProgram\(\) : command;/return command;/ ::: an empty stored launch program used
dialogs/LinkLabel.cpp ::: s/"\\\\\/:\*\?\\"<>\|"/"\\\\\/:"/ ::: characters a file name may not hold kept
dialogs/LinkLabel.cpp ::: s/return path.size\(\) < kMaxPath \? path : std::string\(\);/return path;/ ::: an overlong shortcut path used
dialogs/LinkLabel.cpp ::: s/\s*m_nState = LINK_VISITED;// ::: an opened link not marked visited
dialogs/LinkLabel.cpp ::: s/m_nState = m_nStateBeforeHover;/m_nState = LINK_NORMAL;/ ::: hover end forgets the visited colour
dialogs/LinkLabel.cpp ::: s/pt.x \+= 5;/pt.x += 0;/ ::: keyboard menu at the corner, not inset
dialogs/LinkLabel.cpp ::: s/\s*Os\(\).win.EmptyClipboard\(\);// ::: the clipboard not emptied before the copy
dialogs/SystemInfo.cpp ::: s/bytes >> 10\)/bytes >> 20)/ ::: disk space from clusters in the wrong unit
dialogs/SystemInfo.cpp ::: s/bytes > 1073741824.0/bytes > 1073741824.0 * 1024/ ::: gigabytes shown as megabytes
dialogs/OptionsDialog.cpp ::: s/\/e,\/idlist,/\/e,/ ::: the Options default command differs
dialogs/AboutDialog.cpp ::: s/IconPicture\{icon, shadow, 2 \* icon \+ 2 \* shadow\}/IconPicture{icon, shadow, icon + 2 * shadow}/ ::: About picture not doubled
platform/Os.h ::: s/\(result\) > 32/(result) >= 32/ ::: a shell answer of 32 taken for success
actions/OpenDrive.cpp ::: s/\{\s+return;\s+\}\s+BlockFor\(kLaunchSettleTime\);/{}\n    BlockFor(kLaunchSettleTime);/ ::: a drive waited for, tiled and made current though nothing started
actions/DriveDropTarget.cpp ::: s/\(allowed & other\) != 0 \? other : DROPEFFECT_NONE/other/ ::: a source that allows only linking offered a copy or move
actions/DriveDropTarget.cpp ::: s/if \(\(defaultEffect & \(DROPEFFECT_COPY \| DROPEFFECT_MOVE\)\) == 0\)/if (false)/ ::: a drop the drag was refused copies all the same
platform/ToolTips.cpp ::: s/CreateWindowExA\(WS_EX_TOPMOST, TOOLTIPS_CLASSA/CreateWindowExA(0, TOOLTIPS_CLASSA/ ::: tips shown under an always-on-top bar
dialogs/AboutDialog.cpp ::: s/SWP_NOMOVE \| SWP_NOZORDER \| SWP_NOACTIVATE/SWP_NOZORDER | SWP_NOACTIVATE/ ::: About picture moved to the dialog's corner
dialogs/AboutDialog.cpp ::: s/\s*m_mailLink.SetShadow\(FALSE\);// ::: the About mail link shadowed when hovered
dialogs/LinkLabel.cpp ::: s/if \(rect.right - rect.left != extent.cx\)/if (false)/ ::: links not fitted to their text
dialogs/LinkLabel.cpp ::: s/Invalidate\(TRUE\);/Invalidate(FALSE);/ ::: the hover's end repainted without erasing its shadow
dialogs/LinkLabel.cpp ::: s/pt.x < client.right/pt.x <= client.right/ ::: the hover one pixel past the right edge
dialogs/LinkLabel.cpp ::: s/pt.y < client.bottom/pt.y <= client.bottom/ ::: the hover one pixel past the bottom edge
dialogs/LinkLabel.cpp ::: s/\s*Os\(\).gdi.FillRect\(dc, &client, Os\(\).gdi.GetSysColorBrush\(COLOR_BTNFACE\)\);// ::: a repaint without erasing the old text
app/VosselApp.cpp ::: s/FindWindowA\(nullptr, title.c_str\(\)\) == nullptr/FindWindowA(nullptr, title.c_str()) != nullptr/ ::: a second copy starts, the first refuses
app/VosselApp.cpp ::: s/context == HID_BASE_RESOURCE \+ IDD_OPTIONS \?/context == 0 ?/ ::: help opens without its topic
app/VosselApp.cpp ::: s/\s*Os\(\).sys.OleUninitialize\(\);// ::: OLE never uninitialised
app/VosselApp.cpp ::: s/SetRegistryKey\("Quorvane"\)/SetRegistryKey("Quorvan")/ ::: settings under the wrong maker
bar/VosselDialog.cpp ::: s/\(volume->dbcv_flags & DBTF_MEDIA\) != 0/false/ ::: a disc put in or taken out taken for a drive coming or going
bar/VosselDialog.cpp ::: s/m_dwGoneDrives \|= letters;// ::: a removed drive the system still reports keeps its button
bar/VosselDialog.cpp ::: s/m_dwGoneDrives &= ~letters;// ::: a drive that comes back stays hidden
bar/VosselDialog.cpp ::: s/header->dbch_size >= sizeof\(DEV_BROADCAST_VOLUME\)/header->dbch_size >= sizeof(DEV_BROADCAST_HDR)/ ::: the letters of a record too short for them read
bar/VosselDialog.cpp ::: s/ \|\| header->dbch_devicetype != DBT_DEVTYP_VOLUME// ::: any kind of device taken for a volume
bar/VosselDialog.cpp ::: s/event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE/false/ ::: any device event taken for an arrival
bar/VosselDialog.cpp ::: s/button->GetWindowText\(\) == caption;/button->GetWindowText() == caption + \"+\";/ ::: every drive button made anew at a sync
bar/VosselDialog.cpp ::: s/if \(\(arrived & LetterBit\(letter\)\) != 0\)/if ((arrived & LetterBit(letter)) == 0xFFFFFFFF)/ ::: a letter back as another kind keeps its old picture
bar/VosselDialog.cpp ::: s/\s*AddChildToolTip\(button->m_hWnd\);// ::: a new drive button without a tip
bar/VosselDialog.cpp ::: s/\s*RemoveChildToolTip\(gone->m_hWnd\);// ::: a gone button's tip tool left behind
bar/VosselDialog.cpp ::: s/\s*Os\(\).win.SetWindowLongA\(m_driveButtons\[index\]->m_hWnd, GWL_ID, id\);// ::: kept buttons keep their old ids
bar/VosselDialog.cpp ::: s/if \(!m_bDriveSyncPosted\) \{/if (true) {/ ::: a sync per broadcast, not per burst
bar/VosselDialog.cpp ::: s/if \(mask != 0\) \{/if (true) {/ ::: a failed look at the drive set empties the bar
bar/VosselDialog.cpp ::: s/if \(!m_bPointerOver\) \{/if (true) {/ ::: the drive set read at every cursor message
bar/VosselDialog.cpp ::: s/m_bPointerOver = !CursorOutside\(window, SIZE\{0, 0\}, cursor\);// ::: the pointer never seen to leave the bar
bar/VosselDialog.cpp ::: s/(void CVosselDialog::ShowBarMenu\(int x, int y\) \{)\s*CheckDrives\(\);/$1/ ::: the menu does not look at the drives
bar/VosselDialog.cpp ::: s/(m_strSkipDrives = dialog.m_strSkipDrives;)\s*SyncDrives\(Os\(\).sys.GetLogicalDrives\(\)\);/$1/ ::: hidden drives wait for the next start
appbar/AppBarDialog.cpp ::: s/case WM_DISPLAYCHANGE:\s+OnDisplayChange\(\);\s+return 0;// ::: a new screen size ignored
appbar/AppBarDialog.cpp ::: s/SIZE\{m_cxSizeStep, m_cySizeStep\}, limits.ptMinTrackSize/SIZE{1, 1}, limits.ptMinTrackSize/ ::: the new thickness not in whole rows
appbar/AppBarDialog.cpp ::: s/m_placement.anThickness\[edge\] =\s+HeldThickness\(/(void)HeldThickness(/ ::: the new thickness not stored
appbar/AppBarDialog.cpp ::: s/(m_placement.bAutoHide\) \{\s+)m_bAutoHideShown = FALSE;/$1/ ::: a shown auto-hide bar stays out on the new screen
appbar/AppBarDialog.cpp ::: s/screen, caption, limits/screen, 0, limits/ ::: a floating caption left below the new screen
appbar/AppBarGeometry.cpp ::: s/std::max\(0LL, screen.cx - width\)/std::max(0LL, screen.cx - 0 * width)/ ::: a floating bar left partly past the right of the new screen
LIST
)

killed=0
total=0
while IFS= read -r line; do
    [ -n "$line" ] || continue
    [[ -z "${ONLY:-}" || "$line" =~ ${ONLY} ]] || continue
    file=${line%% ::: *}
    rest=${line#* ::: }
    substitution=${rest%% ::: *}
    what=${rest#* ::: }
    total=$((total + 1))
    perl -0pi -e "$substitution" "$file"
    if git diff --quiet -- "$file"; then
        echo "NOT PLANTED  $what"
        continue
    fi
    if ! cmake --build "$build" -j"${JOBS:-2}" >/dev/null 2>&1; then
        fate="killed (build)"
    elif timeout 300 "$build/vossel_tests" >/dev/null 2>&1; then
        fate="SURVIVED"
    else
        fate="killed"
    fi
    [ "$fate" = SURVIVED ] || killed=$((killed + 1))
    printf '%-15s %s\n' "$fate" "$what"
    git checkout -q -- "$file"
done <<<"$faults"
cmake --build "$build" -j"${JOBS:-2}" >/dev/null 2>&1
echo "mutation score: $killed of $total faults caught"
