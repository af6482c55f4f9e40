#include "bar/DriveSet.h"

#include <algorithm>
#include <utility>

#include "bar/Drives.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kDriveButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CENTER | BS_OWNERDRAW;
constexpr DWORD kAllLetters = (1U << 26) - 1;

DWORD LetterBit(char letter) { return 1U << (letter - 'A'); }

UINT DriveBitmapOf(char letter) { return DriveBitmap(Os().sys.GetDriveTypeA(Narrow(DriveRoot(letter)).c_str())); }

}  // namespace

DriveNews ReadDriveBroadcast(WPARAM event, const DEV_BROADCAST_HDR* record) {
    DriveNews news;
    if ((event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) || record == nullptr ||
        record->dbch_size < sizeof(DEV_BROADCAST_HDR) || record->dbch_devicetype != DBT_DEVTYP_VOLUME) {
        return news;
    }
    DWORD letters = 0;
    if (record->dbch_size >= sizeof(DEV_BROADCAST_VOLUME)) {
        const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(record);
        if ((volume->dbcv_flags & DBTF_MEDIA) != 0) {
            return news;
        }
        letters = volume->dbcv_unitmask & kAllLetters;
    }
    news.bLookAgain = true;
    (event == DBT_DEVICEARRIVAL ? news.dwArrived : news.dwGone) = letters;
    return news;
}

CDriveSet::CDriveSet(CWnd& bar, const CWnd& menuButton, std::function<void(CDriveButton&, UINT)> dress)
    : m_bar(bar), m_menuButton(menuButton), m_dress(std::move(dress)) {}

CDriveSet::~CDriveSet() { Clear(); }

CDriveButton* CDriveSet::ButtonOf(char letter) const {
    const auto it = std::find(m_letters.begin(), m_letters.end(), letter);
    return it != m_letters.end() ? m_buttons[static_cast<size_t>(it - m_letters.begin())].get() : nullptr;
}

char CDriveSet::LetterOfId(UINT id) const {
    if (id < static_cast<UINT>(IDC_FIRST_DRIVE) || id - IDC_FIRST_DRIVE >= m_letters.size()) {
        return 0;
    }
    return m_letters[id - IDC_FIRST_DRIVE];
}

std::wstring CDriveSet::RootOfId(UINT id) const {
    const char letter = LetterOfId(id);
    return letter != 0 ? DriveRoot(letter) : std::wstring();
}

std::wstring CDriveSet::RootOfWindow(HWND hwnd) const {
    const auto it = std::find_if(m_buttons.begin(), m_buttons.end(),
                                 [hwnd](const auto& button) { return hwnd != nullptr && button->m_hWnd == hwnd; });
    return it != m_buttons.end() ? DriveRoot(m_letters[static_cast<size_t>(it - m_buttons.begin())]) : std::wstring();
}

void CDriveSet::Sync(const std::wstring& skipDrives) {
    m_bSyncPosted = false;
    const DWORD mask = Os().sys.GetLogicalDrives();
    // No machine runs without a drive: an empty set is a failed call.
    if (mask == 0) {
        return;
    }
    m_dwMask = mask;
    // A letter the system no longer reports may come back unannounced.
    m_dwGone &= mask;
    const DWORD arrived = std::exchange(m_dwArrived, 0);
    // Moved from, both are left empty.
    std::vector<std::unique_ptr<CDriveButton>> previous = std::move(m_buttons);
    const std::vector<char> previousLetters = std::move(m_letters);
    const auto font = static_cast<WPARAM>(Os().win.SendMessageA(m_menuButton.m_hWnd, WM_GETFONT, 0, 0));
    for (const char letter : ShownDriveLetters(mask & ~m_dwGone, skipDrives)) {
        // The ids follow the letters, as at start: a button's is the place it takes.
        const auto id = static_cast<UINT>(IDC_FIRST_DRIVE + m_buttons.size());
        const std::string caption = Narrow(DriveRoot(letter)).substr(0, 2);
        // A drive still there keeps its window, so the bar does not flicker.
        const auto kept = std::find(previousLetters.begin(), previousLetters.end(), letter);
        const auto index = static_cast<size_t>(kept - previousLetters.begin());
        // A button whose window another program closed is made anew.
        if (kept != previousLetters.end() && previous[index]->m_hWnd != nullptr) {
            std::unique_ptr<CDriveButton>& button = previous[index];
            // A letter that arrived anew may stand for another kind of drive,
            // or another stick.
            if ((arrived & LetterBit(letter)) != 0) {
                m_dress(*button, DriveBitmapOf(letter));
                m_volumes.Forget(DriveRoot(letter));
            }
            // Another program may have sent it a text of its own.
            if (button->GetWindowText() != caption) {
                button->SetWindowText(caption.c_str());
            }
            if (button->GetDlgCtrlID() != static_cast<int>(id)) {
                Os().win.SetWindowLongA(button->m_hWnd, GWL_ID, static_cast<LONG>(id));
            }
            m_buttons.push_back(std::move(button));
            m_letters.push_back(letter);
            continue;
        }
        auto button = std::make_unique<CDriveButton>();
        if (!button->Create(caption.c_str(), kDriveButtonStyle, RECT{}, &m_bar, id)) {
            continue;  // no button, no id: the next drive takes this one's
        }
        // The z-order is the Tab order: after the drive before it, or the menu button.
        const HWND predecessor = m_buttons.empty() ? m_menuButton.m_hWnd : m_buttons.back()->m_hWnd;
        button->SetWindowPos(predecessor, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        m_dress(*button, DriveBitmapOf(letter));
        button->SendMessage(WM_SETFONT, font, TRUE);
        m_bar.AddChildToolTip(button->m_hWnd);
        m_buttons.push_back(std::move(button));
        m_letters.push_back(letter);
    }
    for (size_t index = 0; index < previous.size(); ++index) {
        // A drive that comes back may hold another volume.
        if (!Shows(DriveRoot(previousLetters[index]))) {
            m_volumes.Forget(DriveRoot(previousLetters[index]));
        }
        // Its tip's tool goes with its window.
        CWnd::Retire(std::move(previous[index]));
    }
}

void CDriveSet::OnBroadcast(const DriveNews& news) {
    m_dwGone = (m_dwGone | news.dwGone) & ~news.dwArrived;
    m_dwArrived |= news.dwArrived;
    if (news.bLookAgain) {
        PostSync();
    }
}

void CDriveSet::Check() {
    const DWORD mask = Os().sys.GetLogicalDrives();
    // A drive said gone that the system reports again, with a root, came
    // back unannounced; one still reported without a root has not.
    DWORD back = 0;
    for (const char letter : ShownDriveLetters(m_dwGone & mask, std::wstring())) {
        if (Os().sys.GetDriveTypeA(Narrow(DriveRoot(letter)).c_str()) > DRIVE_NO_ROOT_DIR) {
            back |= LetterBit(letter);
        }
    }
    m_dwGone &= ~back;
    if (mask != m_dwMask || back != 0) {
        PostSync();
    }
}

void CDriveSet::PostSync() {
    // One posted sync serves a whole burst of news.
    if (!m_bSyncPosted) {
        m_bSyncPosted = m_bar.PostMessage(kSyncMessage) != FALSE;
    }
}

void CDriveSet::Restyle(WPARAM font) {
    for (size_t index = 0; index < m_buttons.size(); ++index) {
        if (font != 0) {
            m_buttons[index]->SendMessage(WM_SETFONT, font, TRUE);
        }
        m_dress(*m_buttons[index], DriveBitmapOf(m_letters[index]));
    }
}

void CDriveSet::Clear() {
    m_volumes.Shutdown();
    std::vector<std::unique_ptr<CDriveButton>> buttons = std::move(m_buttons);
    m_letters.clear();
    for (auto& button : buttons) {
        CWnd::Retire(std::move(button));
    }
}

bool CDriveSet::Shows(const std::wstring& root) const {
    return root.size() == 3 && root.substr(1) == L":\\" && root[0] >= L'A' && root[0] <= L'Z' &&
           ButtonOf(static_cast<char>(root[0])) != nullptr;
}

void CDriveSet::AskVolume(const std::wstring& root) {
    if (Shows(root)) {
        const bool withLabel = Os().sys.GetDriveTypeA(Narrow(root).c_str()) == DRIVE_FIXED;
        m_volumes.Ask(m_bar.m_hWnd, kAnswerMessage, root, withLabel);
    }
}

std::wstring CDriveSet::TipText(const std::wstring& root) const { return DriveTipText(root, m_volumes.Known(root)); }

bool CDriveSet::CanEject(const std::wstring& root) const {
    return Shows(root) && IsEjectable(Os().sys.GetDriveTypeA(Narrow(root).c_str()));
}

void CDriveSet::Eject(const std::wstring& root) {
    // A drive that went while its menu was open is not there to eject.
    if (CanEject(root)) {
        m_volumes.Eject(m_bar.m_hWnd, kAnswerMessage, root, Os().sys.GetDriveTypeA(Narrow(root).c_str()));
    }
}

CDriveSet::Answer CDriveSet::TakeAnswer(WPARAM serial) {
    const CVolumeQueries::Finished finished = m_volumes.TakeAnswer(serial);
    Answer answer;
    if (finished.bEject) {
        // A refusal of a drive pulled out meanwhile has nothing left to say.
        answer.bEject = true;
        answer.root = Shows(finished.root) ? finished.root : std::wstring();
        answer.ejected = finished.ejected;
    } else if (!finished.root.empty()) {
        // A drive that went meanwhile has no tip to fill in, nor an answer to keep.
        const CDriveButton* button = Shows(finished.root) ? ButtonOf(static_cast<char>(finished.root[0])) : nullptr;
        if (button != nullptr) {
            answer.filled = button->m_hWnd;
        } else {
            m_volumes.Forget(finished.root);
        }
    }
    return answer;
}
