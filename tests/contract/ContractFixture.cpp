#include "tests/contract/ContractFixture.h"

#include <algorithm>

bool RecordingWnd::Received(UINT msg) const { return IndexOf(msg) >= 0; }

int RecordingWnd::IndexOf(UINT msg) const {
    const auto it = std::find(m_messages.begin(), m_messages.end(), msg);
    return it == m_messages.end() ? -1 : static_cast<int>(it - m_messages.begin());
}

LRESULT RecordingWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    m_messages.push_back(msg);
    if (msg == WM_SIZE) {
        m_lastSize = lParam;
    }
    if (msg == WM_GETMINMAXINFO && m_bLimitTracking) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = m_ptMinTrack;
        info->ptMaxTrackSize = m_ptMaxTrack;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

ContractTest::ContractTest() {
    SetOs(&m_os.Services());
#ifdef VOSSEL_CONTRACT_MEMORY
    // The same resources as ContractResources.rc, in the model's terms.
    const DWORD dialogStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU |
                              WS_THICKFRAME | DS_CONTROL | DS_SETFONT | DS_3DLOOK | DS_ABSALIGN;
    m_os.AddDialogTemplate(
        IDD_CONTRACT_DIALOG,
        MemoryDialogTemplate{"Vossel contract dialog",
                             dialogStyle,
                             WS_EX_TOOLWINDOW,
                             60,
                             33,
                             {{IDC_CONTRACT_BUTTON, "Button", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                               RECT{0, 0, 60, 33}}}});
    m_os.AddString(IDS_CONTRACT_TEXT, "Contract text");
    m_os.AddMenu(IDR_CONTRACT_MENU, {{ID_CONTRACT_FIRST, "&First"}, {ID_CONTRACT_SECOND, "&Second"}});
#endif
}

ContractTest::~ContractTest() {
    for (const HWND hwnd : m_windows) {
        if (Os().win.IsWindow(hwnd)) {
            Os().win.DestroyWindow(hwnd);
        }
    }
    SetOs(nullptr);
}

HWND ContractTest::MakeWindow(DWORD style, DWORD exStyle, RECT rect, const char* text) {
    const HWND hwnd = Os().win.CreateWindowExA(exStyle, kContractWindowClass, text, style, rect.left, rect.top,
                                               Width(rect), Height(rect), nullptr, 0, nullptr);
    if (hwnd != nullptr) {
        m_windows.push_back(hwnd);
    }
    return hwnd;
}

HWND ContractTest::MakeChild(HWND parent, const char* className, UINT id, RECT rect, CWnd* object) {
    return Os().win.CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, rect.left, rect.top, Width(rect),
                                    Height(rect), parent, id, object);
}

RECT ContractTest::WindowRect(HWND hwnd) {
    RECT rect{0, 0, 0, 0};
    EXPECT_TRUE(Os().win.GetWindowRect(hwnd, &rect));
    return rect;
}

RECT ContractTest::ClientRect(HWND hwnd) {
    RECT rect{0, 0, 0, 0};
    EXPECT_TRUE(Os().win.GetClientRect(hwnd, &rect));
    return rect;
}

DWORD ContractTest::Style(HWND hwnd) { return static_cast<DWORD>(Os().win.GetWindowLongA(hwnd, GWL_STYLE)); }

DWORD ContractTest::ExStyle(HWND hwnd) { return static_cast<DWORD>(Os().win.GetWindowLongA(hwnd, GWL_EXSTYLE)); }

RECT ContractTest::Frame(DWORD style, DWORD exStyle) {
    RECT frame{0, 0, 0, 0};
    EXPECT_TRUE(Os().win.AdjustWindowRectEx(&frame, style, FALSE, exStyle));
    return frame;
}

std::string ContractTest::Text(HWND hwnd) {
    char buffer[512] = {};
    const int length = Os().win.GetWindowTextA(hwnd, buffer, static_cast<int>(sizeof(buffer)));
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

namespace {

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> ContractTest::TopLevelWindows() {
    std::vector<HWND> windows;
    Os().win.EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string ContractTest::UniqueTitle(const char* stem) {
    static int s_serial = 0;
    return std::string(stem) + " " + std::to_string(Os().sys.GetTickCount()) + "." + std::to_string(++s_serial);
}
