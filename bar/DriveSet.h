// The bar's drives: one button per shown drive, in letter order, following
// the drives as the system announces them or as a look finds them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actions/DriveButton.h"

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
    // Every button goes.
    void Clear();

private:
    void PostSync();

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
};
