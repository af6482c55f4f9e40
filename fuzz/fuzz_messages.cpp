// Shell notifications and window messages with any wParam and lParam, among
// the other things that happen to a running bar: the taskbar moves or
// changes, the screen changes, drives come and go, time passes, the mouse
// moves, another program moves the bar.
#include <algorithm>
#include <cstring>
#include <functional>

#include "fuzz/FuzzWorld.h"
#include "resources/resource.h"

namespace {

// Messages that only the window manager sends, as a window is made or
// destroyed; sending them to a live window is no input a program can get.
constexpr UINT kLifecycle[] = {WM_CREATE, WM_NCCREATE, WM_DESTROY, WM_NCDESTROY, WM_INITDIALOG};

// Messages whose lParam points at a structure; they get a fuzzed one, with
// room to spare for any larger structure a handler may expect.
constexpr UINT kPointing[] = {WM_GETMINMAXINFO, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_DRAWITEM, WM_SIZING,
                              WM_MOVING,        WM_SETTEXT,           WM_GETTEXT,          WM_NOTIFY,   WM_DEVICECHANGE,
                              WM_DPICHANGED};

// Messages the bar and its buttons take, as likely picks.
constexpr UINT kTaken[] = {WM_SIZE,        WM_MOVE,      WM_ACTIVATE,    WM_NCMOUSEMOVE,     WM_TIMER,
                           WM_SYSCOMMAND,  WM_COMMAND,   WM_CLOSE,       WM_QUERYENDSESSION, WM_ENDSESSION,
                           WM_CONTEXTMENU, WM_NCHITTEST, WM_LBUTTONDOWN, WM_LBUTTONUP,       WM_RBUTTONUP,
                           WM_SETFONT,     WM_GETFONT,   WM_PAINT,       WM_SETCURSOR,       WM_NULL,
                           WM_HOTKEY,      WM_KEYDOWN,   WM_GETDLGCODE,  WM_NEXTDLGCTL,      WM_GETOBJECT};

bool In(const UINT* list, size_t count, UINT msg) { return std::find(list, list + count, msg) != list + count; }

class Run {
public:
    explicit Run(FuzzedDataProvider& input) : m_input(input) {}

    void Step() {
        MemoryOs& os = m_world.os;
        const HWND hwnd = m_world.bar->m_hWnd;
        FuzzedDataProvider& in = m_input;
        const std::function<void()> steps[] = {
            [&] {
                const WPARAM code = in.ConsumeBool()
                                        ? in.PickValueInArray<WPARAM>(
                                              {ABN_STATECHANGE, ABN_POSCHANGED, ABN_FULLSCREENAPP, ABN_WINDOWARRANGE})
                                        : in.ConsumeIntegral<WPARAM>();
                os.SendMessageA(hwnd, g_nAppBarNotifyMsg, code, in.ConsumeIntegral<LPARAM>());
            },
            [&] {
                os.SetTaskbarState(in.ConsumeIntegralInRange<UINT>(0, 3));
                os.NotifyAppBars(ABN_STATECHANGE, 0);
            },
            [&] {
                os.SetTaskbar(in.ConsumeIntegralInRange<UINT>(0, 3), in.ConsumeIntegralInRange(0, 400));
                os.NotifyAppBars(ABN_POSCHANGED, 0);
            },
            [&] { os.ChangeDisplaySize(in.ConsumeIntegralInRange(200, 4000), in.ConsumeIntegralInRange(200, 4000)); },
            [&] { os.AdvanceClock(in.ConsumeIntegralInRange<DWORD>(0, 3000)); },
            [&] {
                os.SetCursorPos(POINT{in.ConsumeIntegral<LONG>(), in.ConsumeIntegral<LONG>()});
            },
            [&] { os.SetActiveWindow(in.ConsumeBool() ? hwnd : os.GetDesktopWindow()); },
            [&] { os.SetDragFullWindows(in.ConsumeBool() ? TRUE : FALSE); },
            // Another program moves or sizes the bar.
            [&] {
                os.SetWindowPos(hwnd, nullptr, in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(),
                                in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), SWP_NOZORDER | SWP_NOACTIVATE);
            },
            // A drive but the system's comes or goes, announced with any letters, kind and flags, or not.
            [&] {
                const auto letter = static_cast<char>('D' + in.ConsumeIntegralInRange(0, 22));
                in.ConsumeBool() ? os.AddDrive(letter, in.ConsumeIntegralInRange<UINT>(0, 6)) : os.RemoveDrive(letter);
                const WPARAM event = in.PickValueInArray<WPARAM>(
                    {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, in.ConsumeIntegral<WPARAM>()});
                const DWORD letters = in.ConsumeIntegral<DWORD>();
                const auto flags = in.ConsumeIntegral<WORD>();
                for (int i = in.ConsumeIntegralInRange(0, 3); i > 0; --i) {
                    os.BroadcastVolumeChange(event, letters, flags);
                }
            },
            [&] { SendWindowMessage(Target()); },
            [&] { SendWindowMessage(Target()); },
        };
        steps[in.ConsumeIntegralInRange(0, 11)]();
        os.PumpMessages();
    }

    // After a sync, the buttons stand for reported drives, in letter order, with ids from the first.
    void CheckDriveButtons() {
        m_world.os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, 0);
        m_world.os.PumpMessages();
        const DWORD mask = m_world.os.GetLogicalDrives();
        char last = 0;
        auto id = static_cast<int>(IDC_FIRST_DRIVE);
        for (const auto& button : m_world.bar->DriveButtons()) {
            const char letter = button->GetWindowText()[0];
            FuzzCheck(
                letter > last && letter <= 'Z' && ((mask >> (letter - 'A')) & 1) != 0 && button->GetDlgCtrlID() == id++,
                "a button per reported drive, in letter order, with the next id");
            last = letter;
        }
    }

    bool Alive() { return m_world.bar->m_hWnd != nullptr && m_world.os.IsWindow(m_world.bar->m_hWnd); }
    FuzzWorld& World() { return m_world; }

private:
    HWND Target() { return FuzzPick(m_input, m_world.BarWindows()); }

    void SendWindowMessage(HWND target) {
        UINT msg = m_input.ConsumeBool() ? m_input.PickValueInArray(kTaken) : m_input.ConsumeIntegral<UINT>();
        if (In(kLifecycle, std::size(kLifecycle), msg)) {
            return;
        }
        WPARAM wParam = m_input.ConsumeIntegral<WPARAM>();
        LPARAM lParam = m_input.ConsumeIntegral<LPARAM>();
        const bool pointing = In(kPointing, std::size(kPointing), msg);
        if (m_input.ConsumeBool() || pointing) {
            msg = pointing ? msg : m_input.PickValueInArray(kPointing);
            // A structure of fuzzed bytes whose window fields name real windows.
            std::memset(m_block, 0, sizeof(m_block));
            const std::vector<BYTE> bytes = m_input.ConsumeBytes<BYTE>(sizeof(m_block) - 1);
            std::copy(bytes.begin(), bytes.end(), m_block);
            if (msg == WM_DRAWITEM) {
                auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m_block);
                item->hwndItem = Target();
                item->hDC = nullptr;
            } else if (msg == WM_WINDOWPOSCHANGING || msg == WM_WINDOWPOSCHANGED) {
                reinterpret_cast<WINDOWPOS*>(m_block)->hwnd = target;
            } else if (msg == WM_NOTIFY) {
                reinterpret_cast<NMHDR*>(m_block)->hwndFrom = Target();
            } else if (msg == WM_GETTEXT) {
                wParam %= sizeof(m_block);
            } else if (msg == WM_SETTEXT) {
                m_block[sizeof(m_block) - 1] = 0;
            }
            lParam = reinterpret_cast<LPARAM>(m_block);
        }
        m_world.os.SendMessageA(target, msg, wParam, lParam);
    }

    FuzzedDataProvider& m_input;
    FuzzWorld m_world;
    alignas(8) BYTE m_block[1024] = {};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Run run(input);
    run.World().StartBar();
    for (int step = 0; step < 64 && input.remaining_bytes() > 0 && run.Alive(); ++step) {
        run.Step();
    }
    if (run.Alive()) {
        run.CheckDriveButtons();
    }
    FuzzWorld& world = run.World();
    world.ExitBar();
    // Whatever the bar went through, it comes back usable at the next start.
    world.os.SetScreenSize(1024, 768);
    world.os.SetTaskbar(ABE_BOTTOM, 28);
    world.StartBar(true);
    world.ExitBar();
    return 0;
}
