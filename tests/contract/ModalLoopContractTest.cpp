// Nested modal loops: a pop-up menu and a message box deliver what was
// posted, to every window of the thread, before they return. A handler that
// opens one can therefore find its own window gone when the call returns.
// (The box Windows' shell shows for a program it cannot start runs such a
// loop too; Wine's ShellExecuteW shows none, so only the model's is tested,
// with the program.)
#include <functional>
#include <memory>

#include "tests/contract/ContractFixture.h"

namespace {

constexpr UINT kPing = WM_APP + 7;
constexpr char kBoxCaption[] = "Vossel contract box";

// A window that notes each ping it gets, and whether a loop was running then.
class PingedWnd : public CWnd {
public:
    std::vector<std::string> m_log;
    const bool* m_pInside = nullptr;
    // Run at the owner's ping, inside the loop: it ends the loop.
    std::function<void()> m_onPing;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kPing) {
            m_log.push_back(*m_pInside ? "inside" : "outside");
            if (m_onPing) {
                m_onPing();
            }
            return 0;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

struct BoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedBox(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<BoxSearch*>(lParam);
    char name[16] = {};
    Os().win.GetClassNameA(hwnd, name, static_cast<int>(sizeof(name)));
    if (std::string(name) == "#32770" && Os().win.GetWindow(hwnd, GW_OWNER) == search->owner) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The message box owned by `owner`, if one is up.
HWND OwnedBox(HWND owner) {
    BoxSearch search{owner, nullptr};
    Os().win.EnumWindows(FindOwnedBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

using ModalLoopContract = ContractTest;

TEST_F(ModalLoopContract, MenusAndMessageBoxesDeliverWhatWasPostedToEveryWindowBeforeTheyReturn) {
    bool inside = false;
    PingedWnd owner, other;
    owner.m_pInside = other.m_pInside = &inside;
    MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{100, 80, 340, 240}, "", &owner);
    MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{400, 80, 640, 240}, "", &other);
    // What the owner saw of the box at its ping.
    HWND box = nullptr;
    BOOL ownerEnabled = TRUE;
    const auto pressCancel = [&] {
        box = OwnedBox(owner.m_hWnd);
        ownerEnabled = Os().win.IsWindowEnabled(owner.m_hWnd);
        Os().win.SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    };
    const struct Case {
        const char* loop;
        std::function<void()> end;
        std::function<INT_PTR()> run;
        INT_PTR result;
    } cases[] = {
        {"a pop-up menu", [&] { owner.SendMessage(WM_CANCELMODE); },
         [&]() -> INT_PTR {
             const HMENU menu = Os().win.LoadMenuA(IDR_CONTRACT_MENU);
             const BOOL shown = Os().win.TrackPopupMenu(Os().win.GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_LEFTBUTTON,
                                                        150, 100, owner.m_hWnd);
             Os().win.DestroyMenu(menu);
             return shown;
         },
         TRUE},
        {"a message box", pressCancel,
         [&]() -> INT_PTR { return Os().win.MessageBoxA(owner.m_hWnd, "Contract text", kBoxCaption, MB_OKCANCEL); },
         IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.loop);
        owner.m_log.clear();
        other.m_log.clear();
        box = nullptr;
        owner.m_onPing = c.end;
        // The other window's ping comes first, so it is delivered before the loop ends.
        ASSERT_TRUE(Os().win.PostMessageA(other.m_hWnd, kPing, 0, 0));
        ASSERT_TRUE(Os().win.PostMessageA(owner.m_hWnd, kPing, 0, 0));
        inside = true;
        EXPECT_EQ(c.run(), c.result);
        inside = false;
        EXPECT_EQ(other.m_log, std::vector<std::string>{"inside"});
        EXPECT_EQ(owner.m_log, std::vector<std::string>{"inside"});
        if (c.result == IDCANCEL) {
            // A box belongs to its owner, which takes no input while it is up.
            EXPECT_NE(box, nullptr);
            EXPECT_FALSE(ownerEnabled);
            EXPECT_TRUE(Os().win.IsWindowEnabled(owner.m_hWnd));
            EXPECT_EQ(OwnedBox(owner.m_hWnd), nullptr);
        }
    }
}

// A window whose object notes its deletion, and runs something at a ping.
class RetiringWnd : public CWnd {
public:
    explicit RetiringWnd(int* deleted) : m_pDeleted(deleted) {}
    ~RetiringWnd() override { ++*m_pDeleted; }
    std::function<void()> m_onPing;
    // Written after the handler's loop returns, into an object that must still be there.
    int m_nPings = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kPing) {
            m_onPing();
            ++m_nPings;
            return 0;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }

private:
    int* m_pDeleted;
};

TEST_F(ModalLoopContract, AWindowRetiredWhileOneOfItsMessagesIsHandledGoesAtOnceItsObjectWhenTheMessageReturns) {
    int deleted = 0;
    PingedWnd other;
    bool inside = true;
    other.m_pInside = &inside;
    MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{400, 80, 640, 240}, "", &other);
    // Retired outside any of its messages, an object goes at once.
    auto idle = std::make_unique<RetiringWnd>(&deleted);
    const HWND idleHwnd = MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{100, 80, 340, 240}, "", idle.get());
    CWnd::Retire(std::move(idle));
    EXPECT_FALSE(Os().win.IsWindow(idleHwnd));
    EXPECT_EQ(deleted, 1);
    // Retired by another window's message that its own menu's loop delivers.
    auto owner = std::make_unique<RetiringWnd>(&deleted);
    RetiringWnd* const ownerObject = owner.get();
    const HWND hwnd = MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{100, 80, 340, 240}, "", owner.get());
    bool goneWhileHandled = false;
    other.m_onPing = [&] {
        Os().win.SendMessageA(hwnd, WM_CANCELMODE, 0, 0);
        CWnd::Retire(std::move(owner));
        goneWhileHandled = !Os().win.IsWindow(hwnd) && deleted == 1 && CWnd::RetiredObjects() == 1;
    };
    ownerObject->m_onPing = [&] {
        const HMENU menu = Os().win.LoadMenuA(IDR_CONTRACT_MENU);
        Os().win.PostMessageA(other.m_hWnd, kPing, 0, 0);
        Os().win.TrackPopupMenu(Os().win.GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_LEFTBUTTON, 150, 100, hwnd);
        Os().win.DestroyMenu(menu);
    };
    Os().win.SendMessageA(hwnd, kPing, 0, 0);
    EXPECT_EQ(other.m_log, std::vector<std::string>{"inside"});
    EXPECT_TRUE(goneWhileHandled);
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(CWnd::RetiredObjects(), 0);
}

}  // namespace
