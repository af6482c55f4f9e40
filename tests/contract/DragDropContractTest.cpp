// What the program relies on from tooltip controls, drop registration, file
// lists and text conversion.
#include <string>
#include <vector>

#include "platform/OleDropTarget.h"
#include "tests/contract/ContractFixture.h"

#ifndef VOSSEL_CONTRACT_MEMORY
#include <cstring>
#endif

namespace {

class DragDropContract : public ContractTest {
protected:
    // A file list as a drag source hands it over.
    HDROP MakeDropFiles(const std::vector<std::string>& paths) {
#ifdef VOSSEL_CONTRACT_MEMORY
        return m_os.CreateDropFiles(paths);
#else
        size_t size = sizeof(DROPFILES) + 1;
        for (const std::string& path : paths) {
            size += path.size() + 1;
        }
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        auto* files = static_cast<DROPFILES*>(::GlobalLock(memory));
        files->pFiles = sizeof(DROPFILES);
        char* next = reinterpret_cast<char*>(files) + sizeof(DROPFILES);
        for (const std::string& path : paths) {
            std::memcpy(next, path.c_str(), path.size() + 1);
            next += path.size() + 1;
        }
        ::GlobalUnlock(memory);
        return static_cast<HDROP>(memory);
#endif
    }
};

TEST_F(DragDropContract, ToolTipsHaveOneToolPerChildAndLeaveTheChildrenBound) {
    CWnd owner;
    ASSERT_TRUE(owner.SubclassWindow(MakeWindow(WS_POPUP | WS_VISIBLE)));
    RecordingWnd first;
    RecordingWnd second;
    const HWND firstHwnd = MakeChild(owner.m_hWnd, "BUTTON", 1009, RECT{1, 1, 23, 16}, &first);
    const HWND secondHwnd = MakeChild(owner.m_hWnd, "BUTTON", 2683, RECT{26, 1, 48, 16}, &second);
    ASSERT_NE(secondHwnd, nullptr);
    ASSERT_TRUE(owner.EnableToolTips(TRUE));
    const HWND tip = owner.m_hWndToolTip;
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(Os().win.SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
    EXPECT_NE(Os().win.GetWindowLongA(tip, GWL_STYLE) & static_cast<LONG>(TTS_ALWAYSTIP), 0);
    // The tooltip watches each child from a subclass of its own.
    EXPECT_EQ(Os().win.FromHandle(firstHwnd), &first);
    EXPECT_EQ(Os().win.FromHandle(secondHwnd), &second);
    first.SetWindowText("C:");
    EXPECT_EQ(first.GetWindowText(), "C:");

    int children = 0;
    Os().win.EnumChildWindows(
        owner.m_hWnd, [](HWND, LPARAM count) { return ++*reinterpret_cast<int*>(count) > 0 ? TRUE : FALSE; },
        reinterpret_cast<LPARAM>(&children));
    EXPECT_EQ(children, 2);

    ASSERT_TRUE(owner.DestroyWindow());
    EXPECT_FALSE(Os().win.IsWindow(tip));
    EXPECT_EQ(owner.m_hWndToolTip, nullptr);
}

TEST_F(DragDropContract, AWindowIsRegisteredOnceAndRevokedOnce) {
    Os().sys.OleInitialize();
    COleDropTarget target;
    CWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(MakeWindow(WS_POPUP | WS_VISIBLE)));
    ASSERT_TRUE(target.Register(&wnd));
    EXPECT_EQ(Os().sys.RegisterDragDrop(wnd.m_hWnd, &target), DRAGDROP_E_ALREADYREGISTERED);
    target.Revoke();
    EXPECT_EQ(Os().sys.RevokeDragDrop(wnd.m_hWnd), DRAGDROP_E_NOTREGISTERED);
    // A window that goes takes its registration with it.
    ASSERT_TRUE(target.Register(&wnd));
    wnd.DestroyWindow();
    EXPECT_EQ(target.GetWindow(), nullptr);
    Os().sys.OleUninitialize();
}

TEST_F(DragDropContract, FileListsAreReadByCountLengthAndItem) {
    const std::string longPath = "C:\\" + std::string(300, 'x') + "\\file.txt";
    const HDROP drop = MakeDropFiles({"C:\\a.txt", longPath});
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(Os().shell.DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    EXPECT_EQ(Os().shell.DragQueryFileA(drop, 1, nullptr, 0), longPath.size());
    std::vector<char> whole(longPath.size() + 1, '?');
    EXPECT_EQ(Os().shell.DragQueryFileA(drop, 1, whole.data(), static_cast<UINT>(whole.size())), longPath.size());
    EXPECT_EQ(std::string(whole.data()), longPath);
    char cut[MAX_PATH];
    EXPECT_EQ(Os().shell.DragQueryFileA(drop, 1, cut, MAX_PATH), MAX_PATH - 1);
    EXPECT_EQ(std::string(cut), longPath.substr(0, MAX_PATH - 1));
    EXPECT_EQ(Os().shell.DragQueryFileA(drop, 2, cut, MAX_PATH), 0u);
    Os().shell.DragFinish(drop);
}

TEST_F(DragDropContract, AnsiTextWidensCharacterForCharacter) {
    const char text[] = "(SYSTEM) C:\\";
    const int length = static_cast<int>(sizeof(text) - 1);
    EXPECT_EQ(Os().sys.MultiByteToWideChar(CP_ACP, text, length, nullptr, 0), length);
    WCHAR wide[32] = {};
    ASSERT_EQ(Os().sys.MultiByteToWideChar(CP_ACP, text, length, wide, 32), length);
    for (int i = 0; i < length; ++i) {
        EXPECT_EQ(wide[i], static_cast<WCHAR>(text[i])) << i;
    }
    EXPECT_EQ(Os().sys.MultiByteToWideChar(CP_ACP, text, length, wide, 4), 0);
}

}  // namespace
