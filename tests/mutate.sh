#!/usr/bin/env bash
# Plants each fault listed below in turn, rebuilds the native tests and runs
# them. A fault the suite does not fail on survives. Prints each fault's fate
# and the score; the working tree is restored after each plant.
#
#   tests/mutate.sh [BUILD_DIR]      default build/native (configured already)
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
bar/VosselDialog.cpp ::: s/\s*button->SetImageMargin\(1\);// ::: image margin left out
bar/VosselDialog.cpp ::: s/\s*button->SetTextGap\(-3\);// ::: text gap left out
actions/OpenDrive.cpp ::: s/\s*Os\(\).win.ShowWindow\(hwnd, SW_RESTORE\);// ::: SW_RESTORE left out of tiling
actions/OpenDrive.cpp ::: s/BlockFor\(kLaunchSettleTime\);/if (tileExplorers) { BlockFor(kLaunchSettleTime); }/ ::: the launch wait only when tiling
bar/Drives.cpp ::: s/(CopyName\(name, remote\);\s+return TRUE;\s+\}\s+\})/$1 break;/ ::: only the first network batch searched
bar/VosselDialog.cpp ::: s/if \(Default\(\) == 0\) \{\s+return 0;\s+\}// ::: a refused session end ignored
bar/VosselDialog.cpp ::: s/ReleaseDrivesAndSave\(\);\n/ReleaseDrivesAndSave(); SaveSettings();\n/ ::: the settings written twice at exit
bar/VosselDialog.cpp ::: s/\? maxTrack.x : maxTrack.y/? maxTrack.y : maxTrack.x/ ::: thickness limit on the wrong axis
settings/Settings.cpp ::: s/thickness = std::min\(std::max\(thickness, limits.anMinThickness\[edge\]\), limits.anMaxThickness\[edge\]\);/(void)thickness;/ ::: stored thickness not clamped
settings/Settings.cpp ::: s/static_cast<long long>\(to\) - from/to - from/ ::: floating extent in 32 bits
bar/VosselDialog.cpp ::: s/SWP_NOMOVE \| SWP_NOZORDER \| SWP_NOACTIVATE \| SWP_FRAMECHANGED/SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED/ ::: caption added without sizing anew
LIST
)

killed=0
total=0
while IFS= read -r line; do
    [ -n "$line" ] || continue
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
