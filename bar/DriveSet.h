// The bar's drives: one button per shown drive, in letter order, following
// the drives as the system announces them or as a look finds them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actions/DriveButton.h"
#include "bar/VolumeQueries.h"

// What a device broadcast says of the drive set.
struct DriveNews {
    // The set may have changed: it is to be looked at again.
    bool bLookAgain = false;
    // Letters said to have gone, and to have arrived (their kind may be new).
    DWORD dwGone = 0;
    DWORD dwArrived = 0;
};
// The news in a WM_DEVICECHANGE: only volumes that arrive or go count; a
// disc put in or taken out changes no drive; bits above Z name no letter; a
// volume record too short for its letters names none, and the system's own
// report then decides.
DriveNews ReadDriveBroadcast(WPARAM event, const DEV_BROADCAST_HDR* record);

class CDriveSet {
public:
    // Posted to the bar by the first news of a burst, so the buttons follow once.
    static constexpr UINT kSyncMessage = WM_APP + 0x101;
    // Posted to the bar when a query of a drive's volume, or an ejection, is done.
    static constexpr UINT kAnswerMessage = WM_APP + 0x102;

    // The buttons are children of `bar`; new ones take the font of
    // `menuButton`, and `dress` gives a button its picture for a bitmap resource.
    CDriveSet(CWnd& bar, const CWnd& menuButton, std::function<void(CDriveButton&, UINT bitmapId)> dress);
    CDriveSet(const CDriveSet&) = delete;
    CDriveSet& operator=(const CDriveSet&) = delete;
    ~CDriveSet();

    // In letter order: button i has control id IDC_FIRST_DRIVE + i.
    const std::vector<std::unique_ptr<CDriveButton>>& Buttons() const { return m_buttons; }
    // The button of a drive letter, or null.
    CDriveButton* ButtonOf(char letter) const;
    // The letter of the drive button with this control id, or 0 for any other id.
    char LetterOfId(UINT id) const;
    // The root ("D:\") of the drive button with this id or window, or "" for any other.
    std::wstring RootOfId(UINT id) const;
    std::wstring RootOfWindow(HWND hwnd) const;

    // Brings the buttons in line with the drives the system reports, less
    // those skipped and those a broadcast said went; buttons of drives still
    // there stay as they are, new ones stand nowhere until the bar lays them
    // out. Nothing changes when the report fails.
    void Sync(const std::wstring& skipDrives);
    // A broadcast's news; a sync follows once the burst is over.
    void OnBroadcast(const DriveNews& news);
    // A look for drives that came or went unannounced: a sync follows when
    // the report differs, or when a drive said gone is back.
    void Check();
    // Every button takes `font` (unless 0) and its picture anew, as at a new scale.
    void Restyle(WPARAM font);
    // Every button goes; at most the deadline is spent on queries still running.
    void Clear();

    // Asks the volume of a shown drive off the window's thread, unless a query
    // of it runs or it rests after a timeout.
    void AskVolume(const std::wstring& root);
    // A drive's tip: what is known of its volume so far.
    std::wstring TipText(const std::wstring& root) const;
    // Whether `root` is a shown drive of a kind the menu offers to eject.
    bool CanEject(const std::wstring& root) const;
    // Ejects the drive at `root` off the window's thread, when it still can be.
    void Eject(const std::wstring& root);
    struct Answer {
        // The button whose tip fills in, if its drive is still shown.
        HWND filled = nullptr;
        // An ejection's end, for `root`; empty for a drive no longer shown,
        // or a message no longer ours.
        bool bEject = false;
        std::wstring root;
        EjectAnswer ejected = EjectAnswer::Failed;
    };
    // Takes in what the job that posted kAnswerMessage with `serial` learned.
    Answer TakeAnswer(WPARAM serial);

private:
    void PostSync();
    bool Shows(const std::wstring& root) const;

    CWnd& m_bar;
    const CWnd& m_menuButton;
    std::function<void(CDriveButton&, UINT)> m_dress;
    std::vector<std::unique_ptr<CDriveButton>> m_buttons;
    // The letter of each button, in the same order.
    std::vector<char> m_letters;
    // GetLogicalDrives at the last sync.
    DWORD m_dwMask = 0;
    // Letters that a broadcast said went, which the system may still report.
    DWORD m_dwGone = 0;
    // Letters that a broadcast said arrived since the last sync.
    DWORD m_dwArrived = 0;
    bool m_bSyncPosted = false;
    // What the volumes told, kept while their drives are shown.
    CVolumeQueries m_volumes;
};
