#include <functional>

#include "dialogs/LinkLabel.h"
#include "resources/resource.h"
#include "tests/support/TestOs.h"

namespace {

constexpr char kUrl[] = "mailto:vossel@example.org";
constexpr char kText[] = "For more information, E-MAIL: vossel@example.org";

// A dialog stand-in that counts the commands reaching it.
class CommandCounter : public CWnd {
public:
    int m_nCommands = 0;

protected:
    BOOL OnCmdMsg(UINT, int) override {
        ++m_nCommands;
        return TRUE;
    }
};

class LinkLabelTest : public OsTest {
public:
    LinkLabelTest() {
        os.CreateWindowExA(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, 0, &parent);
        const HWND edit = os.CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_READONLY | ES_CENTER, 10, 20, 50,
                                             16, parent.m_hWnd, IDC_MAIL_LINK, nullptr);
        LOGFONTA description{};
        description.lfHeight = -11;
        font = os.CreateFontIndirectA(&description);
        os.SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        link.SubclassWindow(edit);
        link.SetLink(kUrl, kText, TRUE);
        baselineGdi = os.LiveGdiObjects();
    }
    void Move(int x, int y) {
        os.SendMessageA(link.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<unsigned>(x), static_cast<unsigned>(y)));
    }
    void Click() {
        os.SendMessageA(link.m_hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3));
        os.PumpMessages();
    }
    void ContextMenu(int x, int y) {
        os.SendMessageA(link.m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(link.m_hWnd),
                        MAKELPARAM(static_cast<unsigned>(x), static_cast<unsigned>(y)));
        os.PumpMessages();
    }
    // The calls of one paint, background first.
    std::vector<MemoryOs::GdiCall> Paint() {
        os.ClearLogs();
        os.SendMessageA(link.m_hWnd, WM_PAINT, 0, 0);
        return os.GdiCalls();
    }
    bool HoldsCapture() { return os.GetCapture() == link.m_hWnd; }
    ~LinkLabelTest() override { os.DeleteObject(font); }

    HFONT font = nullptr;
    CommandCounter parent;
    CLinkLabel link;
    int baselineGdi = 0;
};

TEST_F(LinkLabelTest, StateTableWithHoverOpenAndMenu) {
    struct Step {
        const char* event;
        std::function<void(LinkLabelTest*)> act;
        int state;
        bool capture;
    };
    const Step steps[] = {
        {"move in", [](LinkLabelTest* t) { t->Move(5, 5); }, LINK_HOVER, true},
        {"move out", [](LinkLabelTest* t) { t->Move(-1, 5); }, LINK_NORMAL, false},
        {"move in", [](LinkLabelTest* t) { t->Move(5, 5); }, LINK_HOVER, true},
        {"open while hovered", [](LinkLabelTest* t) { t->Click(); }, LINK_VISITED, false},
        {"move in again", [](LinkLabelTest* t) { t->Move(6, 5); }, LINK_HOVER, true},
        {"move out", [](LinkLabelTest* t) { t->Move(5, 400); }, LINK_VISITED, false},
        {"move in", [](LinkLabelTest* t) { t->Move(5, 5); }, LINK_HOVER, true},
        {"menu", [](LinkLabelTest* t) { t->ContextMenu(300, 200); }, LINK_VISITED, false},
    };
    for (const Step& step : steps) {
        step.act(this);
        EXPECT_EQ(link.GetState(), step.state) << step.event;
        EXPECT_EQ(HoldsCapture(), step.capture) << step.event;
    }
}

TEST_F(LinkLabelTest, AnOpenThatFailsBothWaysLeavesTheState) {
    os.FailCall("CoCreateInstance");
    os.FailCall("ShellExecuteA");
    Click();
    EXPECT_EQ(link.GetState(), LINK_NORMAL);
    EXPECT_EQ(os.ShellExecutes().size(), 1u);
}

TEST_F(LinkLabelTest, AClickOpensThroughTheShortcutObjectThenShellExecute) {
    os.SendMessageA(link.m_hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(os.InvokedShortcuts().empty()) << "the click only posts the command";
    os.PumpMessages();
    EXPECT_EQ(os.InvokedShortcuts(), std::vector<std::string>{kUrl});
    EXPECT_TRUE(os.ShellExecutes().empty());

    os.FailCall("InvokeCommand", 1);
    Click();
    ASSERT_EQ(os.ShellExecutes().size(), 1u);
    const auto& call = os.ShellExecutes()[0];
    EXPECT_EQ(call.owner, parent.m_hWnd);
    EXPECT_EQ(call.verb, "open");
    EXPECT_EQ(call.file, kUrl);
    EXPECT_EQ(call.show, SW_SHOW);
    EXPECT_EQ(parent.m_nCommands, 0) << "the link's commands stay with the link";
}

TEST_F(LinkLabelTest, PaintsItsStatesColoursUnderlinedWithTheHoverShadow) {
    const auto text = [](const std::vector<MemoryOs::GdiCall>& calls, int x) {
        for (const auto& call : calls) {
            if (call.function == "TextOutA" && call.x == x) {
                return call;
            }
        }
        return MemoryOs::GdiCall{};
    };
    auto calls = Paint();
    EXPECT_EQ(text(calls, 0).colorFrom, RGB(0, 0, 238));
    EXPECT_TRUE(text(calls, 0).underline);
    EXPECT_EQ(text(calls, 0).flags, static_cast<UINT>(TRANSPARENT));
    EXPECT_EQ(text(calls, 0).text, kText);
    EXPECT_EQ(calls.front().function, "FillRect");
    EXPECT_EQ(calls.front().colorFrom, os.GetSysColor(COLOR_BTNFACE));

    Move(5, 5);
    calls = Paint();
    EXPECT_EQ(text(calls, 2).colorFrom, RGB(128, 128, 128)) << "the shadow, two pixels right and down";
    EXPECT_EQ(text(calls, 0).colorFrom, RGB(255, 0, 0));
    link.SetShadow(FALSE);
    calls = Paint();
    EXPECT_EQ(text(calls, 2).function, "");
    EXPECT_EQ(calls.front().function, "FillRect");

    Click();
    Move(-5, -5);
    EXPECT_EQ(text(Paint(), 0).colorFrom, RGB(85, 26, 139));
    EXPECT_EQ(os.LiveGdiObjects(), baselineGdi);
}

TEST_F(LinkLabelTest, HandCursorExceptWhileItsMenuIsOpen) {
    os.SendMessageA(link.m_hWnd, WM_SETCURSOR, 0, 0);
    const HCURSOR hand = os.CurrentCursor();
    EXPECT_EQ(hand, os.LoadCursorA(IDC_HAND_CURSOR, FALSE));
    HCURSOR duringMenu = nullptr;
    os.SetMenuOpenHook([&] {
        os.SendMessageA(link.m_hWnd, WM_SETCURSOR, 0, 0);
        duringMenu = os.CurrentCursor();
    });
    ContextMenu(300, 200);
    EXPECT_EQ(duringMenu, os.LoadCursorA(32512, TRUE));
    os.SendMessageA(link.m_hWnd, WM_SETCURSOR, 0, 0);
    EXPECT_EQ(os.CurrentCursor(), hand);
}

TEST_F(LinkLabelTest, MenuOpensAtThePointOrFivePixelsInFromTheKeyboard) {
    ContextMenu(300, 200);
    ContextMenu(-1, -1);
    ASSERT_EQ(os.MenuShowings().size(), 2u);
    POINT origin{0, 0};
    os.ClientToScreen(link.m_hWnd, &origin);
    EXPECT_EQ(os.MenuShowings()[0].x, 300);
    EXPECT_EQ(os.MenuShowings()[0].y, 200);
    EXPECT_EQ(os.MenuShowings()[1].x, origin.x + 5);
    EXPECT_EQ(os.MenuShowings()[1].y, origin.y + 5);
    const auto& menu = os.MenuShowings()[1];
    EXPECT_EQ(menu.owner, link.m_hWnd);
    EXPECT_EQ(menu.flags, static_cast<UINT>(TPM_RIGHTBUTTON));
    ASSERT_EQ(menu.items.size(), 4u);
    EXPECT_EQ(menu.items[0].id, static_cast<UINT>(ID_LINK_OPEN));
    EXPECT_EQ(menu.items[3].id, static_cast<UINT>(ID_LINK_ADD_DESKTOP));
    EXPECT_EQ(os.LiveMenus(), 0);
}

TEST_F(LinkLabelTest, CopyShortcutPutsTheUrlOnTheClipboard) {
    os.ChooseMenuItem(ID_LINK_COPY_SHORTCUT);
    ContextMenu(300, 200);
    EXPECT_EQ(os.ClipboardText(), std::optional<std::string>(kUrl));
    EXPECT_FALSE(os.IsClipboardOpen());
    EXPECT_EQ(os.LiveGlobalBlocks(), 0);
    EXPECT_EQ(parent.m_nCommands, 0);

    // The block goes back when the clipboard refuses it; nothing is copied without a clipboard.
    os.FailCall("SetClipboardData", 1);
    EXPECT_FALSE(link.CopyShortcut());
    EXPECT_EQ(os.LiveGlobalBlocks(), 0);
    EXPECT_FALSE(os.IsClipboardOpen());
    os.FailCall("OpenClipboard", 1);
    EXPECT_FALSE(link.CopyShortcut());
}

TEST_F(LinkLabelTest, AddShortcutWritesANamedUrlFileInTheFolder) {
    struct Case {
        UINT command;
        const char* text;
        const char* path;
    };
    const Case cases[] = {
        {ID_LINK_ADD_DESKTOP, "see docs/readme", "C:\\users\\user\\Desktop\\readme.URL"},
        {ID_LINK_ADD_FAVORITES, "Home page", "C:\\users\\user\\Favorites\\Home page.URL"},
        {ID_LINK_ADD_DESKTOP, "Reach us: helpdesk", "C:\\users\\user\\Desktop\\ helpdesk.URL"},
        {ID_LINK_ADD_DESKTOP, "http://www.example.org/", "C:\\users\\user\\Desktop\\www.example.org.URL"},
        {ID_LINK_ADD_DESKTOP, "Questions? Ask", "C:\\users\\user\\Desktop\\Questions_ Ask.URL"},
    };
    for (const Case& c : cases) {
        link.SetText(c.text);
        os.ChooseMenuItem(c.command);
        ContextMenu(300, 200);
        EXPECT_EQ(os.FileContent(c.path), std::optional<std::string>(kUrl)) << c.text;
    }
    os.FailCall("SHGetSpecialFolderPathA", 1);
    EXPECT_FALSE(link.AddShortcut(CSIDL_DESKTOP));
    os.FailCall("CoCreateInstance", 1);
    EXPECT_FALSE(link.AddShortcut(CSIDL_DESKTOP));
    os.SetSpecialFolder(CSIDL_DESKTOP, "C:\\" + std::string(250, 'd'));
    EXPECT_FALSE(link.AddShortcut(CSIDL_DESKTOP)) << "a path beyond MAX_PATH is refused";
}

TEST_F(LinkLabelTest, FitsItsWidthToTheTextInPlace) {
    RECT rect{};
    os.GetWindowRect(link.m_hWnd, &rect);
    EXPECT_EQ(rect.right - rect.left, static_cast<LONG>(std::string(kText).size()) * MemoryOs::kCharWidth);
    EXPECT_EQ(rect.bottom - rect.top, 16);
    POINT topLeft{rect.left, rect.top};
    os.ScreenToClient(parent.m_hWnd, &topLeft);
    EXPECT_EQ(topLeft.x, 10);
    EXPECT_EQ(topLeft.y, 20);
    EXPECT_EQ(os.LiveGdiObjects(), baselineGdi);
}

}  // namespace
