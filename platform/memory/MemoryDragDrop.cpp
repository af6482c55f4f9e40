// Drag and drop, file lists, the folder dialog, the shell's file operation
// and tooltip controls of the in-memory backend.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/OleDropTarget.h"
#include "platform/memory/MemoryOs.h"

namespace {

constexpr int kFolderTitleId = 14146;
constexpr UINT kAllItems = 0xFFFFFFFF;

bool IsClass(const std::string& className, const char* wanted) {
    return className.size() == std::strlen(wanted) &&
           std::equal(className.begin(), className.end(), wanted, [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

// The shell reads a list up to its empty entry.
std::vector<std::string> ReadDoubleNulList(const WCHAR* list) {
    std::vector<std::string> entries;
    while (list != nullptr && *list != 0) {
        const std::wstring entry(list);
        entries.push_back(Utf8FromUtf16(entry));
        list += entry.size() + 1;
    }
    return entries;
}

}  // namespace

BOOL MemoryDragData::IsDataAvailable(UINT format) {
    return format == CF_HDROP ? m_files.has_value() : format == CF_TEXT;
}

HGLOBAL MemoryDragData::GetGlobalData(UINT format) {
    if (format != CF_HDROP || !m_files) {
        return nullptr;
    }
    return m_os.CreateDropFiles(*m_files);
}

HDROP MemoryOs::CreateDropFiles(const std::vector<std::string>& paths) {
    if (Fails("GetGlobalData")) {
        return nullptr;
    }
    const auto drop = reinterpret_cast<HDROP>(NewHandle());
    // Each name ends at its first NUL, as in the list the system keeps.
    std::vector<std::wstring>& files = m_dropFiles[drop];
    for (const std::string& path : paths) {
        const std::wstring wide = Utf16FromUtf8(path);
        files.push_back(wide.substr(0, wide.find(L'\0')));
    }
    return drop;
}

UINT MemoryOs::DragQueryFileW(HDROP drop, UINT index, WCHAR* buffer, UINT size) {
    auto it = m_dropFiles.find(drop);
    if (it == m_dropFiles.end() || Fails("DragQueryFileW")) {
        return 0;
    }
    const std::vector<std::wstring>& files = it->second;
    if (index == kAllItems) {
        return static_cast<UINT>(files.size());
    }
    if (index >= files.size()) {
        return 0;
    }
    const std::wstring& path = files[index];
    if (buffer == nullptr) {
        return static_cast<UINT>(path.size());
    }
    if (size == 0) {
        return 0;
    }
    const size_t copied = std::min<size_t>(path.size(), size - 1);
    std::copy(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(copied), buffer);
    buffer[copied] = 0;
    return static_cast<UINT>(copied);
}

void MemoryOs::DragFinish(HDROP drop) { m_dropFiles.erase(drop); }

HRESULT MemoryOs::RegisterDragDrop(HWND hwnd, COleDropTarget* target) {
    if (Find(hwnd) == nullptr || target == nullptr) {
        return DRAGDROP_E_INVALIDHWND;
    }
    if (m_dropTargets.count(hwnd) != 0) {
        return DRAGDROP_E_ALREADYREGISTERED;
    }
    if (m_oleDepth <= 0) {
        return CO_E_NOTINITIALIZED;
    }
    if (Fails("RegisterDragDrop")) {
        return E_OUTOFMEMORY;
    }
    m_dropTargets[hwnd] = target;
    return S_OK;
}

HRESULT MemoryOs::RevokeDragDrop(HWND hwnd) {
    // A destroyed window can no longer be revoked: its registration leaks.
    if (Find(hwnd) == nullptr) {
        return DRAGDROP_E_INVALIDHWND;
    }
    if (m_dropTargets.erase(hwnd) == 0) {
        return DRAGDROP_E_NOTREGISTERED;
    }
    if (m_dragTarget == hwnd) {
        m_dragTarget = nullptr;
    }
    return S_OK;
}

COleDropTarget* MemoryOs::DropTargetOf(HWND hwnd) const {
    for (; hwnd != nullptr; hwnd = Find(hwnd) != nullptr ? Find(hwnd)->parent : nullptr) {
        auto it = m_dropTargets.find(hwnd);
        if (it != m_dropTargets.end() && Find(hwnd) != nullptr) {
            return it->second;
        }
    }
    return nullptr;
}

DROPEFFECT MemoryOs::DragTo(IDragData* data, POINT screen, DWORD keyState, DROPEFFECT allowed) {
    HWND under = WindowFromPoint(screen);
    while (under != nullptr && (m_dropTargets.count(under) == 0)) {
        under = GetParent(under);
    }
    if (under != m_dragTarget || data != m_dragData) {
        if (COleDropTarget* old = DropTargetOf(m_dragTarget); old != nullptr) {
            old->DragLeave();
        }
        m_dragTarget = under;
        m_dragData = data;
        COleDropTarget* target = DropTargetOf(under);
        m_dragEffect = target != nullptr ? target->DragEnter(data, keyState, screen, allowed) : DROPEFFECT_NONE;
        return m_dragEffect;
    }
    COleDropTarget* target = DropTargetOf(under);
    m_dragEffect = target != nullptr ? target->DragOver(keyState, screen, allowed) : DROPEFFECT_NONE;
    return m_dragEffect;
}

DROPEFFECT MemoryOs::DropAt(POINT screen, DWORD keyState, DROPEFFECT allowed) {
    DROPEFFECT effect = DragTo(m_dragData, screen, keyState, allowed);
    COleDropTarget* target = DropTargetOf(m_dragTarget);
    if (target != nullptr) {
        if (effect != DROPEFFECT_NONE) {
            effect = target->Drop(m_dragData, keyState & ~MK_LBUTTON, screen, allowed);
        } else {
            target->DragLeave();
        }
    }
    m_dragTarget = nullptr;
    m_dragData = nullptr;
    return effect;
}

ITEMIDLIST* MemoryOs::SHBrowseForFolderW(BROWSEINFOW* info) {
    if (info == nullptr || Fails("SHBrowseForFolderW")) {
        return nullptr;
    }
    const HWND dialog = CreateWindowExA(0, "#32770", "Browse for Folder", WS_POPUP | WS_VISIBLE | WS_CAPTION, 200, 150,
                                        320, 360, info->hwndOwner, 0, nullptr);
    if (dialog == nullptr) {
        return nullptr;
    }
    const std::wstring title = info->lpszTitle != nullptr ? info->lpszTitle : L"";
    SetWindowTextW(
        CreateWindowExA(0, "Static", nullptr, WS_CHILD | WS_VISIBLE, 10, 10, 300, 30, dialog, kFolderTitleId, nullptr),
        title.c_str());
    const HWND previous = m_folderDialog;
    m_folderDialog = dialog;
    m_folderDialogs.push_back(FolderDialog{dialog, info->hwndOwner, Utf8FromUtf16(title), "", false, false});
    const size_t index = m_folderDialogs.size() - 1;
    if (info->lpfn != nullptr) {
        info->lpfn(dialog, BFFM_INITIALIZED, 0, info->lParam);
    }
    m_folderDialogs[index].topmost = (Find(dialog)->exStyle & WS_EX_TOPMOST) != 0;
    m_folderDialogs[index].active = GetActiveWindow() == dialog;
    // A modal dialog: its loop delivers what is posted before the user answers.
    PumpMessages();
    const std::optional<std::string> answer = m_folderAnswer ? m_folderAnswer(m_folderDialogs[index]) : std::nullopt;
    m_folderDialog = previous;
    DestroyWindow(dialog);
    if (!answer) {
        return nullptr;
    }
    auto* list = reinterpret_cast<ITEMIDLIST*>(NewHandle());
    m_itemLists[list] = Utf16FromUtf8(*answer);
    return list;
}

BOOL MemoryOs::SHGetPathFromIDListW(const ITEMIDLIST* list, WCHAR* path) {
    auto it = m_itemLists.find(const_cast<ITEMIDLIST*>(list));
    if (path == nullptr) {
        return FALSE;
    }
    path[0] = 0;
    if (it == m_itemLists.end() || it->second.empty() || it->second.size() >= MAX_PATH ||
        Fails("SHGetPathFromIDListW")) {
        return FALSE;
    }
    std::copy(it->second.c_str(), it->second.c_str() + it->second.size() + 1, path);
    return TRUE;
}

void MemoryOs::ILFree(ITEMIDLIST* list) { m_itemLists.erase(list); }

int MemoryOs::SHFileOperationW(SHFILEOPSTRUCTW* operation) {
    if (operation == nullptr || Fails("SHFileOperationW")) {
        return 0x7C;  // DE_INVALIDFILES
    }
    m_fileOperations.push_back(FileOperation{operation->hwnd, operation->wFunc, ReadDoubleNulList(operation->pFrom),
                                             ReadDoubleNulList(operation->pTo), operation->fFlags});
    return 0;
}

int MemoryOs::MultiByteToWideChar(UINT, const char* text, int length, WCHAR* wide, int wideSize) {
    if (text == nullptr || Fails("MultiByteToWideChar")) {
        return 0;
    }
    const size_t count = length < 0 ? std::strlen(text) + 1 : static_cast<size_t>(length);
    const std::wstring converted = WideFromAnsi(std::string(text, count));
    const auto units = static_cast<int>(converted.size());
    if (wideSize == 0) {
        return units;
    }
    if (wide == nullptr || units > wideSize) {
        return 0;
    }
    std::copy(converted.begin(), converted.end(), wide);
    return units;
}

int MemoryOs::WideCharToMultiByte(UINT, const WCHAR* wide, int length, char* text, int size) {
    if (wide == nullptr || Fails("WideCharToMultiByte")) {
        return 0;
    }
    const size_t count = length < 0 ? std::wstring(wide).size() + 1 : static_cast<size_t>(length);
    const std::string converted = AnsiFromWide(std::wstring(wide, count));
    const auto bytes = static_cast<int>(converted.size());
    if (size == 0) {
        return bytes;
    }
    if (text == nullptr || bytes > size) {
        return 0;
    }
    std::copy(converted.begin(), converted.end(), text);
    return bytes;
}

BOOL MemoryOs::EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
    for (HWND child : Children(parent)) {
        if (Find(child) == nullptr) {
            continue;
        }
        if (!proc(child, lParam) || !EnumChildWindows(child, proc, lParam)) {
            return FALSE;
        }
    }
    return TRUE;
}

bool MemoryOs::ShellWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (hwnd == m_folderDialog && msg == BFFM_SETSELECTIONW && wParam && lParam != 0) {
        m_folderDialogs.back().selection = Utf8FromUtf16(reinterpret_cast<const WCHAR*>(lParam));
        *result = 0;
        return true;
    }
    if (!IsClass(Find(hwnd)->className, TOOLTIPS_CLASSA)) {
        return false;
    }
    std::vector<Tool>& tools = m_toolTips[hwnd];
    const auto* info = reinterpret_cast<const TOOLINFOA*>(lParam);
    auto same = [info](const Tool& tool) { return tool.hwnd == info->hwnd && tool.id == info->uId; };
    *result = 0;
    switch (msg) {
        case TTM_ADDTOOLA:
            if (info == nullptr || info->cbSize < sizeof(UINT) * 2 + sizeof(HWND) + sizeof(UINT_PTR) ||
                Fails("TTM_ADDTOOLA")) {
                return true;
            }
            tools.erase(std::remove_if(tools.begin(), tools.end(), same), tools.end());
            // As the control does, it asks the tool's window which form of
            // notification it wants; a window that does not say gets narrow ones.
            tools.push_back(
                Tool{info->uFlags, info->hwnd, info->uId,
                     WideFromAnsi(info->lpszText != LPSTR_TEXTCALLBACKA && info->lpszText ? info->lpszText : ""),
                     info->lpszText == LPSTR_TEXTCALLBACKA,
                     SendMessageA(info->hwnd, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(hwnd),
                                  static_cast<LPARAM>(NF_QUERY)) == static_cast<LRESULT>(NFR_UNICODE)});
            *result = TRUE;
            return true;
        case TTM_DELTOOLA:
            if (info != nullptr) {
                tools.erase(std::remove_if(tools.begin(), tools.end(), same), tools.end());
                if (const auto shown = m_tipsShown.find(hwnd);
                    shown != m_tipsShown.end() && reinterpret_cast<UINT_PTR>(shown->second.tool) == info->uId) {
                    m_tipsShown.erase(shown);
                }
            }
            return true;
        case TTM_UPDATETIPTEXTA:
            // The tool's text changes; what is up stays until it is redrawn.
            if (info != nullptr) {
                for (Tool& tool : tools) {
                    if (same(tool)) {
                        tool.callback = info->lpszText == LPSTR_TEXTCALLBACKA;
                        tool.text = WideFromAnsi(!tool.callback && info->lpszText ? info->lpszText : "");
                    }
                }
            }
            return true;
        case TTM_UPDATE:
            // The tip that the mouse brought up shows its tool's text anew,
            // asking for it again; a tracking tip is left as it is, as Wine's
            // control leaves it.
            if (const auto shown = m_tipsShown.find(hwnd); shown != m_tipsShown.end()) {
                const auto tool = std::find_if(tools.begin(), tools.end(), [&shown](const Tool& t) {
                    return t.id == reinterpret_cast<UINT_PTR>(shown->second.tool);
                });
                const std::wstring text =
                    tool != tools.end() ? ToolText(hwnd, *tool, shown->second.wide) : std::wstring();
                if (text.empty()) {
                    m_tipsShown.erase(shown);
                } else {
                    shown->second.text = text;
                }
            }
            return true;
        case TTM_SETMAXTIPWIDTH: {
            const auto previous = m_tipMaxWidths.find(hwnd);
            *result = previous != m_tipMaxWidths.end() ? previous->second : -1;
            m_tipMaxWidths[hwnd] = static_cast<int>(lParam);
            return true;
        }
        case TTM_GETTOOLCOUNT:
            *result = static_cast<LRESULT>(tools.size());
            return true;
        case TTM_TRACKPOSITION:
            // Read as unsigned halves, as Wine's control reads them: a point
            // left of or above the primary lands 65536 pixels away.
            m_trackPoint =
                POINT{LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam))};
            // A tracking tip that is up moves there, showing its tool's text asked anew.
            if (const auto tracked = m_trackedTips.find(hwnd); tracked != m_trackedTips.end()) {
                const TrackedTip was = tracked->second;
                const auto tool = std::find_if(tools.begin(), tools.end(),
                                               [&was](const Tool& t) { return t.hwnd == was.owner && t.id == was.id; });
                if (tool != tools.end()) {
                    const Tool asked = *tool;
                    m_trackedTips[hwnd].text = ToolText(hwnd, asked, std::nullopt);
                }
                ShowTrackedTip(hwnd);
            }
            return true;
        case TTM_TRACKACTIVATE: {
            // A tracking tool shows at once, with the text it is given then,
            // and goes at once when it is told.
            if (m_trackedTips.erase(hwnd) != 0) {
                SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
            }
            const auto tool = info != nullptr ? std::find_if(tools.begin(), tools.end(), same) : tools.end();
            if (wParam == FALSE || tool == tools.end() || (tool->flags & TTF_TRACK) == 0) {
                return true;
            }
            const Tool asked = *tool;
            m_trackedTips[hwnd] = TrackedTip{asked.hwnd, asked.id, ToolText(hwnd, asked, std::nullopt)};
            ShowTrackedTip(hwnd);
            return true;
        }
        default:
            return false;
    }
}

int MemoryOs::LiveToolTipTools() const {
    int count = 0;
    for (const auto& [tip, tools] : m_toolTips) {
        count += static_cast<int>(tools.size());
    }
    return count;
}

std::optional<std::string> MemoryOs::HoverToolTip(HWND toolWindow, std::optional<bool> askWide) {
    const Window* under = Find(toolWindow);
    if (under == nullptr || (under->style & WS_VISIBLE) == 0) {
        return std::nullopt;
    }
    for (const auto& [tip, tools] : m_toolTips) {
        const Window& control = *Find(tip);
        for (const Tool& tool : tools) {
            // Only a tool the control subclasses sees the mouse: nothing relays events to it.
            const UINT needed = TTF_IDISHWND | TTF_SUBCLASS;
            if ((tool.flags & needed) != needed || tool.id != reinterpret_cast<UINT_PTR>(toolWindow)) {
                continue;
            }
            if ((control.style & TTS_ALWAYSTIP) == 0 && GetActiveWindow() != control.owner) {
                return std::nullopt;
            }
            const HWND control = tip;
            m_tipsShown.erase(control);
            const std::wstring text = ToolText(control, tool, askWide);
            if (text.empty()) {
                return std::nullopt;
            }
            // A tip with a text shows: the control raises itself to the top of
            // its band, as on Windows, so only a topmost tip shows above a topmost window.
            SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            m_tipsShown[control] = TipShown{toolWindow, text, askWide};
            return ShownToolTip();
        }
    }
    return std::nullopt;
}

std::wstring MemoryOs::ToolText(HWND tip, const Tool& tool, std::optional<bool> wide) {
    if (!tool.callback) {
        return tool.text;
    }
    if (wide.value_or(tool.unicode)) {
        NMTTDISPINFOW request{};
        request.hdr = NMHDR{tip, tool.id, TTN_NEEDTEXTW};
        request.lpszText = request.szText;
        request.uFlags = tool.flags;
        SendMessageA(tool.hwnd, WM_NOTIFY, tool.id, reinterpret_cast<LPARAM>(&request));
        return request.lpszText != nullptr ? request.lpszText : L"";
    }
    NMTTDISPINFOA request{};
    request.hdr = NMHDR{tip, tool.id, TTN_NEEDTEXTA};
    request.lpszText = request.szText;
    request.uFlags = tool.flags;
    SendMessageA(tool.hwnd, WM_NOTIFY, tool.id, reinterpret_cast<LPARAM>(&request));
    return WideFromAnsi(request.lpszText != nullptr ? request.lpszText : "");
}

std::optional<std::string> MemoryOs::ShownToolTip() const {
    for (const auto& [tip, shown] : m_tipsShown) {
        const auto width = m_tipMaxWidths.find(tip);
        const bool lines = width != m_tipMaxWidths.end() && width->second >= 0;
        // One line draws its breaks as nothing; lines break at each of them.
        std::wstring text;
        for (size_t i = 0; i < shown.text.size(); ++i) {
            const WCHAR c = shown.text[i];
            if (c == L'\r' || c == L'\n') {
                const bool pair = c == L'\r' && i + 1 < shown.text.size() && shown.text[i + 1] == L'\n';
                i += pair ? 1 : 0;
                text += lines ? L"\n" : L"";
            } else {
                text += c;
            }
        }
        return Utf8FromUtf16(text);
    }
    return std::nullopt;
}

void MemoryOs::ShowTrackedTip(HWND tip) {
    // Its bubble at the tracked point, in the size its text takes, inside the window's border.
    const SIZE size = BubbleSize(m_trackedTips[tip].text);
    const Window& window = *Find(tip);
    RECT rect{m_trackPoint.x, m_trackPoint.y, m_trackPoint.x + size.cx, m_trackPoint.y + size.cy};
    AdjustWindowRectExForDpi(&rect, window.style, FALSE, window.exStyle, DpiOf(window));
    SetWindowPos(tip, HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

SIZE MemoryOs::BubbleSize(const std::wstring& text) {
    // A line to each line of the text, as wide as its longest, inside a margin.
    constexpr LONG kMargin = 4;
    LONG lines = 1, longest = 0, length = 0;
    for (const WCHAR c : text) {
        if (c == L'\n') {
            ++lines;
            length = 0;
        } else if (c != L'\r') {
            longest = std::max(longest, ++length);
        }
    }
    return SIZE{longest * kCharWidth + 2 * kMargin, lines * kCharHeight + 2 * kMargin};
}

std::optional<RECT> MemoryOs::TrackedToolTipRect() const {
    for (const auto& [tip, tracked] : m_trackedTips) {
        if (const Window* window = Find(tip); window != nullptr && !tracked.text.empty()) {
            return window->rect;
        }
    }
    return std::nullopt;
}

std::optional<std::string> MemoryOs::TrackedToolTip() const {
    for (const auto& [tip, tracked] : m_trackedTips) {
        if (Find(tip) != nullptr && !tracked.text.empty()) {
            return Utf8FromUtf16(tracked.text);
        }
    }
    return std::nullopt;
}
