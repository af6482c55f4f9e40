// Dropping files on the bar: they are copied, or with Shift moved, into a
// folder the user picks, starting at the drive under the drop point.
#pragma once

#include <string>

#include "bar/DriveSet.h"
#include "platform/OleDropTarget.h"

// Adds a path and its NUL to a list of the double-NUL form the shell's file
// operation takes: the string's own terminator closes the list.
void AppendListEntry(std::wstring& list, const std::wstring& path);
// Copy, or move when the key state holds Shift, as far as the source allows
// either; nothing for a source that allows neither, such as one that only
// lets its items be linked.
DROPEFFECT DriveDropEffect(DWORD keyState, DROPEFFECT allowed);
// Dropped item `index`, however long.
std::wstring DroppedFile(HDROP drop, UINT index);
// Whether a dropped path names one file or folder that can be copied by
// name: no wildcard the shell would expand, no '/', a name after its last
// backslash, and not "." or "..". Anything else is left out of the lists.
bool IsCopyableDropPath(const std::wstring& path);
// The root of the drive button under a screen point, such as "D:\", or empty.
std::wstring DropStartPath(const CDriveSet& drives, POINT point);
// Runs the folder dialog with `path` selected: 1 when the user chose a
// file-system folder, whose path is then in `path`, 2 otherwise.
int BrowseForFolder(HWND owner, std::wstring& path, UINT titleId);
int CALLBACK BrowseCallbackProc(HWND hwnd, UINT msg, LPARAM lParam, LPARAM data);
// Copies or moves the dropped items into the folder the user picks; the
// handle is released in every case. Answers how many items were left out;
// when nothing is left to copy, no folder is asked for.
UINT ProcessDrop(CWnd& bar, const CDriveSet& drives, HDROP drop, POINT point, BOOL move);

class CDriveDropTarget : public COleDropTarget {
public:
    // The bar's drives, which tell which one lies under a drop.
    explicit CDriveDropTarget(const CDriveSet& drives) : m_drives(drives) {}

    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, POINT point) override;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, POINT point) override;
    DROPEFFECT OnDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT defaultEffect, DROPEFFECT allowed,
                        POINT point) override;
    DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, POINT point) override;

private:
    const CDriveSet& m_drives;
};
