// Drives that come and go inside the nested loops a user opens over the bar's
// buttons: the bar's menu from a right click, and the box the shell shows
// when a drive's launch program fails. Broadcasts true or false, changes the
// system does not announce and the pointer over the bar, in any order, with
// the loop delivering what they post as it comes; loops opened inside loops.
#include "fuzz/FuzzWorld.h"
#include "resources/resource.h"

namespace {

constexpr int kMaxNesting = 3;

DWORD Bit(char letter) { return 1U << (letter - 'A'); }

class Run {
public:
    explicit Run(FuzzedDataProvider& input) : m_input(input) {
        m_world.os.SetMenuOpenHook([this] { Inside(); });
        m_world.os.SetMessageBoxHook([this](HWND) { Inside(); });
    }

    FuzzWorld& World() { return m_world; }

    // The user acts on one of the bar's windows, or a drive changes outside any loop.
    void Act() {
        MemoryOs& os = m_world.os;
        const HWND target = FuzzPick(m_input, m_world.BarWindows());
        switch (m_input.ConsumeIntegralInRange(0, 2)) {
            case 0:
                os.SendMessageA(target, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target), MAKELPARAM(40, 5));
                break;
            case 1:
                os.SetShellExecuteResult(m_input.ConsumeBool() ? 2 : 42);
                os.SendMessageA(target, BM_CLICK, 0, 0);
                break;
            default:
                Change();
                break;
        }
        os.PumpMessages();
        FuzzCheck(m_nNesting > 0 || CWnd::RetiredObjects() == 0, "a retired button goes once its messages return");
    }

    // Once the system has announced every drive it reports, each has its
    // button, in letter order, with ids from the first.
    void CheckDriveButtons() {
        MemoryOs& os = m_world.os;
        const DWORD mask = os.GetLogicalDrives();
        os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, mask);
        os.PumpMessages();
        DWORD shown = 0;
        auto id = static_cast<int>(IDC_FIRST_DRIVE);
        char last = 0;
        for (const auto& button : m_world.bar->DriveButtons()) {
            const char letter = button->GetWindowText()[0];
            FuzzCheck(letter > last && button->GetDlgCtrlID() == id++, "buttons in letter order, with the next id");
            shown |= Bit(letter);
            last = letter;
        }
        FuzzCheck(shown == mask, "a button for every drive announced and reported");
    }

private:
    // What happens while a loop is open: it delivers what is posted between the changes.
    void Inside() {
        if (m_nNesting >= kMaxNesting) {
            return;
        }
        ++m_nNesting;
        for (int i = m_input.ConsumeIntegralInRange(0, 6); i > 0 && m_input.remaining_bytes() > 0; --i) {
            switch (m_input.ConsumeIntegralInRange(0, 4)) {
                case 0:
                    m_world.os.PumpMessages();
                    break;
                case 1:
                    Act();
                    break;
                default:
                    Change();
                    break;
            }
        }
        --m_nNesting;
    }

    void Change() {
        MemoryOs& os = m_world.os;
        // C: stays: no machine runs without a drive.
        const auto letter = static_cast<char>('D' + m_input.ConsumeIntegralInRange(0, 22));
        const auto kind = m_input.ConsumeIntegralInRange<UINT>(DRIVE_UNKNOWN, DRIVE_RAMDISK);
        switch (m_input.ConsumeIntegralInRange(0, 6)) {
            case 0:
                os.AddDrive(letter, kind);
                os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, Bit(letter));
                break;
            case 1:
                os.RemoveDrive(letter);
                os.BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, Bit(letter));
                break;
            case 2:
                os.AddDrive(letter, kind);
                break;
            case 3:
                os.RemoveDrive(letter);
                break;
            case 4: {
                // A broadcast of its own, true or not.
                const WPARAM event = m_input.PickValueInArray<WPARAM>(
                    {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, m_input.ConsumeIntegral<WPARAM>()});
                os.BroadcastVolumeChange(event, m_input.ConsumeIntegral<DWORD>(), m_input.ConsumeIntegral<WORD>());
                break;
            }
            case 5: {
                // The pointer comes over the bar.
                const HWND over = FuzzPick(m_input, m_world.BarWindows());
                os.SendMessageA(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
                break;
            }
            default:
                // The pointer leaves, and the auto-hide timer notes it.
                os.SetCursorPos(POINT{900, 600});
                os.AdvanceClock(400);
                break;
        }
    }

    FuzzedDataProvider& m_input;
    FuzzWorld m_world;
    int m_nNesting = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Run run(input);
    run.World().StartBar();
    for (int step = 0; step < 24 && input.remaining_bytes() > 0; ++step) {
        run.Act();
    }
    run.CheckDriveButtons();
    run.World().ExitBar();
    return 0;
}
