#include "tests/contract/ContractFixture.h"

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
    const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
    m_os.AddDialogTemplate(
        IDD_CONTRACT_DIALOG,
        MemoryDialogTemplate{"Vossel contract dialog",
                             dialogStyle,
                             WS_EX_TOOLWINDOW,
                             60,
                             33,
                             {{IDC_CONTRACT_BUTTON, "Button", "", buttonStyle, RECT{0, 0, 60, 33}}}});
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

HWND ContractTest::MakeWindow(DWORD style, DWORD exStyle, RECT rect, const char* text, CWnd* object) {
    const HWND hwnd = Os().win.CreateWindowExA(exStyle, kContractWindowClass, text, style, rect.left, rect.top,
                                               Width(rect), Height(rect), nullptr, 0, object);
    m_windows.push_back(hwnd);
    return hwnd;
}

HWND ContractTest::MakeChild(HWND parent, const char* className, UINT id, RECT rect, CWnd* object, DWORD style) {
    return Os().win.CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, rect.left, rect.top, Width(rect),
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

std::vector<HWND> ContractTest::TopLevelWindows() {
    std::vector<HWND> windows;
    Os().win.EnumWindows(
        [](HWND hwnd, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}
