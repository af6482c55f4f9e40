#include "dialogs/LinkLabel.h"

#include <cstring>
#include <string_view>

#include "platform/Gdi.h"
#include "resources/resource.h"

namespace {

constexpr UINT kArrowCursor = 32512;  // IDC_ARROW
constexpr size_t kMaxPath = 260;

// Shared by every link of the process, loaded on the first SetText.
HCURSOR g_hHandCursor = nullptr;
HCURSOR g_hArrowCursor = nullptr;

bool IsSeparator(WCHAR c) { return c == L'/' || c == L':' || c == L'\\'; }

std::wstring AfterLastSeparator(const std::wstring& text) {
    for (const WCHAR separator : {L'/', L':', L'\\'}) {
        const size_t at = text.rfind(separator);
        if (at != std::wstring::npos) {
            return text.substr(at + 1);
        }
    }
    return text;
}

}  // namespace

std::wstring ShortcutFileName(const std::wstring& text) {
    std::wstring name = AfterLastSeparator(text);
    if (name.empty()) {
        std::wstring trimmed = text;
        while (!trimmed.empty() && IsSeparator(trimmed.back())) {
            trimmed.pop_back();
        }
        name = AfterLastSeparator(trimmed);
    }
    for (WCHAR& c : name) {
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) {
            c = L'_';
        }
    }
    return name;
}

std::wstring ShortcutPath(const std::wstring& folder, const std::wstring& text) {
    const std::wstring name = ShortcutFileName(text);
    if (name.empty() || folder.empty()) {
        return {};
    }
    std::wstring path = folder;
    if (path.back() != L'\\' && path.back() != L'/') {
        path += L'\\';
    }
    path += name + L".URL";
    return path.size() < kMaxPath ? path : std::wstring();
}

CLinkLabel::~CLinkLabel() = default;

void CLinkLabel::SetLink(const std::string& url, const std::string& text, BOOL autoSize) {
    m_bAutoSize = autoSize;
    SetUrl(url);
    SetText(text);
}

void CLinkLabel::SetText(const std::string& text) {
    m_strText = text;
    SetWindowText(text.c_str());
    if (m_bAutoSize) {
        SizeToText();
    }
    if (g_hHandCursor == nullptr) {
        g_hHandCursor = Os().win.LoadCursorA(IDC_HAND_CURSOR, FALSE);
    }
    if (g_hArrowCursor == nullptr) {
        g_hArrowCursor = Os().win.LoadCursorA(kArrowCursor, TRUE);
    }
}

HFONT CLinkLabel::CreateDrawingFont() {
    const auto current = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    LOGFONTA description{};
    if (current == nullptr || Os().gdi.GetObjectA(current, sizeof(description), &description) == 0) {
        return nullptr;
    }
    description.lfUnderline = m_bUnderline ? 1 : 0;
    return Os().gdi.CreateFontIndirectA(&description);
}

void CLinkLabel::SizeToText() {
    const HWND parent = GetParentHwnd();
    if (parent == nullptr) {
        return;
    }
    SIZE extent{};
    {
        const ClientDC dc(m_hWnd);
        const GdiObject<HFONT> font(CreateDrawingFont());
        const SelectedObject selected(dc.Get(), font.Get());
        if (dc.Get() == nullptr ||
            !Os().gdi.GetTextExtentPointA(dc.Get(), m_strText.c_str(), static_cast<int>(m_strText.size()), &extent)) {
            return;
        }
    }
    RECT rect{};
    GetWindowRect(&rect);
    POINT topLeft{rect.left, rect.top};
    Os().win.ScreenToClient(parent, &topLeft);
    if (rect.right - rect.left != extent.cx) {
        Os().win.MoveWindow(m_hWnd, topLeft.x, topLeft.y, extent.cx, rect.bottom - rect.top, TRUE);
    }
}

void CLinkLabel::SetShadow(BOOL on) {
    m_bShadow = on;
    UpdateWindow();
}

void CLinkLabel::SetHover(BOOL on) {
    if (on) {
        if (m_nState == LINK_HOVER) {
            return;
        }
        m_nStateBeforeHover = m_nState;
        m_nState = LINK_HOVER;
    } else {
        if (m_nState != LINK_HOVER) {
            return;
        }
        m_nState = m_nStateBeforeHover;
    }
    Invalidate(TRUE);
}

void CLinkLabel::ReleaseOwnCapture() {
    if (m_hWnd != nullptr && Os().win.GetCapture() == m_hWnd) {
        Os().win.ReleaseCapture();
    }
}

BOOL CLinkLabel::Navigate() {
    const HWND owner = GetParentHwnd();
    if (Os().shell.InvokeInternetShortcut(owner, m_strUrl.c_str()) >= 0) {
        return TRUE;
    }
    return ShellExecuteSucceeded(
               Os().shell.ShellExecuteW(owner, L"open", Widen(m_strUrl).c_str(), nullptr, nullptr, SW_SHOW))
               ? TRUE
               : FALSE;
}

void CLinkLabel::OnOpenLink() {
    if (Navigate()) {
        m_nState = LINK_VISITED;
        // The browser or mail program comes up now: the link must not keep the mouse.
        ReleaseOwnCapture();
    }
}

BOOL CLinkLabel::CopyShortcut() {
    if (!Os().win.OpenClipboard(m_hWnd)) {
        return FALSE;
    }
    // Emptying makes this window the owner and drops texts of other formats
    // that would otherwise be pasted instead of the URL.
    Os().win.EmptyClipboard();
    BOOL copied = FALSE;
    const HGLOBAL memory = Os().sys.GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, m_strUrl.size() + 1);
    if (memory != nullptr) {
        if (void* bytes = Os().sys.GlobalLock(memory); bytes != nullptr) {
            std::memcpy(bytes, m_strUrl.c_str(), m_strUrl.size() + 1);
            Os().sys.GlobalUnlock(memory);
            copied = Os().win.SetClipboardData(CF_TEXT, memory) != nullptr ? TRUE : FALSE;
        }
        if (!copied) {
            Os().sys.GlobalFree(memory);
        }
    }
    Os().win.CloseClipboard();
    return copied;
}

BOOL CLinkLabel::AddShortcut(int folderId) {
    WCHAR folder[kMaxPath] = {};
    if (!Os().shell.SHGetSpecialFolderPathW(nullptr, folder, folderId, FALSE)) {
        return FALSE;
    }
    const std::wstring path = ShortcutPath(folder, Widen(m_strText));
    return !path.empty() && SaveShortcutFile(path) ? TRUE : FALSE;
}

BOOL CLinkLabel::SaveShortcutFile(const std::wstring& path) {
    return Os().shell.SaveInternetShortcut(m_strUrl.c_str(), path.c_str()) >= 0 ? TRUE : FALSE;
}

LRESULT CLinkLabel::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto packed = static_cast<std::uintptr_t>(lParam);
    switch (msg) {
        case WM_SETCURSOR:
            Os().win.SetCursor(m_bMenuActive || g_hHandCursor == nullptr ? g_hArrowCursor : g_hHandCursor);
            return TRUE;
        case WM_LBUTTONDOWN:
            // The edit control never sees the click: no focus, caret or selection.
            PostMessage(WM_COMMAND, ID_LINK_OPEN, 0);
            return 0;
        case WM_MOUSEMOVE:
            if (!m_bTrackHover) {
                return 0;
            }
            OnMouseMove(POINT{SignedLoWord(packed), SignedHiWord(packed)});
            return Default();
        case WM_ERASEBKGND:
            return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_CONTEXTMENU:
            OnContextMenu(POINT{SignedLoWord(packed), SignedHiWord(packed)});
            return 0;
        default:
            return CEdit::WindowProc(msg, wParam, lParam);
    }
}

BOOL CLinkLabel::OnCmdMsg(UINT id, int) {
    switch (id) {
        case ID_LINK_COPY_SHORTCUT:
            CopyShortcut();
            return TRUE;
        case ID_LINK_ADD_FAVORITES:
            AddShortcut(CSIDL_FAVORITES);
            return TRUE;
        case ID_LINK_ADD_DESKTOP:
            AddShortcut(CSIDL_DESKTOP);
            return TRUE;
        case ID_LINK_OPEN:
            OnOpenLink();
            return TRUE;
        default:
            // Nothing else may travel on: the ids are also the bar's commands.
            return TRUE;
    }
}

void CLinkLabel::OnMouseMove(POINT pt) {
    RECT client{};
    GetClientRect(&client);
    const bool inside = pt.x >= client.left && pt.x < client.right && pt.y >= client.top && pt.y < client.bottom;
    if (inside && m_nState != LINK_HOVER) {
        // Holding the mouse is what lets the link see the move that leaves it.
        Os().win.SetCapture(m_hWnd);
        SetHover(TRUE);
    } else if (!inside && m_nState == LINK_HOVER) {
        SetHover(FALSE);
        ReleaseOwnCapture();
    }
}

LRESULT CLinkLabel::OnEraseBkgnd(HDC dc) {
    const LRESULT result = Default();
    if (m_nState == LINK_HOVER && m_bShadow) {
        const GdiObject<HFONT> font(CreateDrawingFont());
        const SelectedObject selected(dc, font.Get());
        Os().gdi.SetBkMode(dc, TRANSPARENT);
        Os().gdi.SetTextColor(dc, Os().win.GetSysColor(COLOR_BTNSHADOW));
        const std::string text = GetWindowText();
        Os().gdi.TextOutA(dc, 2, 2, text.c_str(), static_cast<int>(text.size()));
    } else {
        RECT client{};
        GetClientRect(&client);
        Os().gdi.FillRect(dc, &client, Os().gdi.GetSysColorBrush(COLOR_BTNFACE));
    }
    return result;
}

void CLinkLabel::OnPaint() {
    const PaintDC dc(m_hWnd);
    if (dc.Get() == nullptr) {
        return;
    }
    const GdiObject<HFONT> font(CreateDrawingFont());
    const SelectedObject selected(dc.Get(), font.Get());
    Os().gdi.SetBkMode(dc.Get(), TRANSPARENT);
    const COLORREF color = m_nState == LINK_HOVER ? m_crHover : m_nState == LINK_VISITED ? m_crVisited : m_crNormal;
    Os().gdi.SetTextColor(dc.Get(), color);
    Os().gdi.TextOutA(dc.Get(), 0, 0, m_strText.c_str(), static_cast<int>(m_strText.size()));
}

void CLinkLabel::OnContextMenu(POINT pt) {
    SetHover(FALSE);
    ReleaseOwnCapture();
    if (pt.x == -1 && pt.y == -1) {
        pt = POINT{0, 0};
        ClientToScreen(&pt);
        pt.x += 5;
        pt.y += 5;
    }
    const HMENU menu = Os().win.LoadMenuA(IDR_LINK_MENU);
    if (menu == nullptr) {
        return;
    }
    m_bMenuActive = TRUE;
    Os().win.TrackPopupMenu(Os().win.GetSubMenu(menu, 0), TPM_RIGHTBUTTON, pt.x, pt.y, m_hWnd);
    m_bMenuActive = FALSE;
    Os().win.DestroyMenu(menu);
}
