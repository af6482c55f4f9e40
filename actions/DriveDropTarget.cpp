#include "actions/DriveDropTarget.h"

#include "appbar/AppBarDialog.h"
#include "platform/Monitors.h"
#include "platform/WinApp.h"
#include "resources/resource.h"

namespace {

// Into the topmost band, where and as large as it is, without taking the activation.
void PutOnTop(HWND hwnd) {
    Os().win.SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

void AppendListEntry(std::wstring& list, const std::wstring& path) {
    list.append(path);
    list.push_back(L'\0');
}

DROPEFFECT DriveDropEffect(DWORD keyState, DROPEFFECT allowed) {
    const bool shift = (keyState & MK_SHIFT) != 0;
    const DROPEFFECT wanted = shift ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
    const DROPEFFECT other = shift ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    return (allowed & wanted) != 0 ? wanted : (allowed & other) != 0 ? other : DROPEFFECT_NONE;
}

std::wstring DroppedFile(HDROP drop, UINT index) {
    const UINT length = Os().shell.DragQueryFileW(drop, index, nullptr, 0);
    if (length == 0) {
        return {};
    }
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    const UINT copied = Os().shell.DragQueryFileW(drop, index, &path[0], length + 1);
    path.resize(copied <= length ? copied : length);
    return path;
}

bool IsCopyableDropPath(const std::wstring& path) {
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos || path.find_first_of(L"*?/") != std::wstring::npos) {
        return false;
    }
    const std::wstring name = path.substr(slash + 1);
    return !name.empty() && name != L"." && name != L"..";
}

std::wstring DropStartPath(const CDriveSet& drives, POINT point) {
    return drives.RootOfWindow(Os().win.WindowFromPoint(point));
}

int CALLBACK BrowseCallbackProc(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED) {
        KeepOnMonitorOf(hwnd, Os().win.GetWindow(hwnd, GW_OWNER));
        PutOnTop(hwnd);
        Os().win.SetActiveWindow(hwnd);
        Os().win.SendMessageA(hwnd, BFFM_SETSELECTIONW, TRUE, data);
    }
    return 0;
}

int BrowseForFolder(HWND owner, std::wstring& path, UINT titleId) {
    const std::wstring title = Widen(LoadResourceString(titleId));
    if (path.size() > 3 && path.back() == L'\\') {
        path.pop_back();
    }
    WCHAR displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallbackProc;
    info.lParam = reinterpret_cast<LPARAM>(path.c_str());
    ITEMIDLIST* list = Os().shell.SHBrowseForFolderW(&info);
    if (list == nullptr) {
        return 2;
    }
    WCHAR chosen[MAX_PATH] = {};
    const BOOL converted = Os().shell.SHGetPathFromIDListW(list, chosen);
    Os().shell.ILFree(list);
    if (!converted) {
        return 2;
    }
    path = chosen;
    return 1;
}

UINT ProcessDrop(CWnd& bar, const CDriveSet& drives, HDROP drop, POINT point, BOOL move) {
    PutOnTop(bar.m_hWnd);
    std::wstring folder = DropStartPath(drives, point);
    const UINT count = Os().shell.DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::wstring> items;
    for (UINT i = 0; i < count; ++i) {
        std::wstring item = DroppedFile(drop, i);
        if (IsCopyableDropPath(item)) {
            items.push_back(std::move(item));
        }
    }
    const auto skipped = static_cast<UINT>(count - items.size());
    // Nothing to copy, be the list empty or every item left out: asking for
    // a folder would only promise a copy.
    if (!items.empty() && BrowseForFolder(bar.m_hWnd, folder, move ? IDS_MOVE_FILES_TO : IDS_COPY_FILES_TO) == 1) {
        if (!folder.empty() && folder.back() != L'\\') {
            folder.push_back(L'\\');
        }
        std::wstring from;
        std::wstring to;
        for (const std::wstring& item : items) {
            AppendListEntry(from, item);
            AppendListEntry(to, folder + item.substr(item.rfind(L'\\') + 1));
        }
        SHFILEOPSTRUCTW operation{};
        operation.hwnd = bar.m_hWnd;
        operation.wFunc = move ? FO_MOVE : FO_COPY;
        operation.pFrom = from.c_str();
        operation.pTo = to.c_str();
        operation.fFlags = FOF_MULTIDESTFILES;
        operation.fAnyOperationsAborted = FALSE;
        operation.hNameMappings = nullptr;
        operation.lpszProgressTitle = nullptr;
        Os().shell.SHFileOperationW(&operation);
    }
    Os().shell.DragFinish(drop);
    return skipped;
}

DROPEFFECT CDriveDropTarget::OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, POINT point) {
    if (auto* bar = dynamic_cast<CAppBarDialog*>(wnd)) {
        bar->ShowAutoHideBar(TRUE);
    }
    return OnDragOver(wnd, data, keyState, point);
}

DROPEFFECT CDriveDropTarget::OnDragOver(CWnd*, COleDataObject* data, DWORD keyState, POINT) {
    // Only files can be copied: dragged text and the like is refused.
    if (!data->IsDataAvailable(CF_HDROP)) {
        return DROPEFFECT_NONE;
    }
    return DriveDropEffect(keyState, AllowedEffects());
}

DROPEFFECT CDriveDropTarget::OnDragScroll(CWnd*, DWORD keyState, POINT) {
    return DriveDropEffect(keyState, AllowedEffects());
}

DROPEFFECT CDriveDropTarget::OnDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT defaultEffect, DROPEFFECT,
                                      POINT point) {
    // A drop the drag was refused takes nothing.
    if ((defaultEffect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) == 0) {
        return DROPEFFECT_NONE;
    }
    const auto drop = static_cast<HDROP>(data->GetGlobalData(CF_HDROP));
    if (drop != nullptr) {
        wnd->ClientToScreen(&point);
        ProcessDrop(*wnd, m_drives, drop, point, (defaultEffect & DROPEFFECT_MOVE) != 0);
    }
    // The items are already moved: the source must not delete them.
    return DROPEFFECT_NONE;
}
