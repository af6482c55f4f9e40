// The bar: the program's one window, an appbar dialog holding the menu
// button and one button per drive.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "actions/DriveButton.h"
#include "actions/DriveDropTarget.h"
#include "appbar/AppBarDialog.h"
#include "bar/DriveSet.h"
#include "platform/Dpi.h"
#include "platform/Gdi.h"
#include "settings/HotKey.h"
#include "settings/Settings.h"

class CVosselDialog : public CAppBarDialog {
public:
    explicit CVosselDialog(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void LayoutButtons();
    // Retires the drive buttons and writes the settings.
    void ReleaseDrivesAndSave();
    // Removes the caption and system menu of a docked bar, or gives them back.
    void SetDockedStyle(BOOL bDocked);
    // The bar's menu, at a point on the screen. Opened from the button of a
    // drive that can be ejected, it offers that first.
    void ShowBarMenu(int x, int y, const std::wstring& drive = std::wstring());
    // The bar's menu at the menu button's lower-left corner, on the screen.
    void ShowBarMenuAtButton();

    const CDriveSet& Drives() const { return m_drives; }
    const std::vector<std::unique_ptr<CDriveButton>>& DriveButtons() const { return m_drives.Buttons(); }
    const std::wstring& LaunchProgram() const { return m_strLaunchProgram; }
    const std::wstring& SkipDrives() const { return m_strSkipDrives; }
    BOOL TileExplorers() const { return m_bTileExplorers; }
    BOOL LaunchOnStartup() const { return m_bLaunchOnStartup; }
    // Whether the bar initialised OLE, which its owner then ends after the bar.
    bool OleInitialised() const { return m_bOleInitialised; }

    // Runs the Options dialog and applies what it returns with OK.
    void ApplyOptions();
    // Shows the About dialog.
    void OnBarAbout();

    WORD HotKey() const { return m_wHotKey; }
    // The hotkey is set but another program holds it.
    bool HotKeyTaken() const { return m_bHotKeyTaken; }
    // Gives the keyboard back to the window that had it before the bar, and
    // an auto-hide bar hides: Esc leaves the bar, it does not end it.
    void LeaveBar();

    // What a screen reader hears of the bar and its buttons.
    BOOL GetAccessibleAnswers(HWND hwnd, AccessibleAnswers* answers) override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnCmdMsg(UINT id, int code) override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnPlacementChanged(BOOL bProposed, int nEdge) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The drive buttons brought in line with the drives, and laid out.
    void SyncDrives();
    // Over `under`: a drive's volume is asked as the pointer comes onto its button.
    void OnSetCursor(HWND under);
    void OnVolumeAnswer(WPARAM serial);
    void OnTimer();
    void OpenDriveOfButton(UINT id);
    BARPLACEMENT DefaultPlacement();
    // The size of the frame around the client area, docked or floating, at a scale.
    SIZE FrameSize(BOOL bDocked, const WindowScale& scale) const;
    PlacementLimits StoredPlacementLimits() const;
    void SaveSettings();
    void OnSize();
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnSysCommand(WPARAM wParam);
    // From `from`, which a drive button passes on with its own handle.
    void OnContextMenu(HWND from, int x, int y);
    // The menu at the lower-left corner of `window` on the screen.
    void ShowBarMenuBelow(HWND window, const std::wstring& drive);
    void OnEjectDrive();
    // What an ejection came to, when it is anything but done.
    void ReportEjection(const std::wstring& root, EjectAnswer ejected);
    void OnAlwaysOnTop();
    void OnAutoHide();
    void OnBarExit();
    void OnOptions();
    void OnAbout();
    LRESULT OnQueryEndSession();
    void OnDropFiles(HDROP drop);
    BOOL OnNeedToolTipText(UINT id, NMHDR* hdr, LRESULT* result);
    // What start-up leaves until the bar is shown: OLE, the drop target, the tips.
    void CompleteStartup();

    int m_cxMinClient = 0;
    int m_cyMinClient = 0;
    CDriveButton m_btnMenu;
    int m_cxButton = 0;
    int m_cyButton = 0;
    CDriveSet m_drives{*this, m_btnMenu, [this](CDriveButton& button, UINT id16) { SetButtonPicture(&button, id16); }};
    CDriveDropTarget m_dropTarget{m_drives};
    std::wstring m_strLaunchProgram;
    BOOL m_bLaunchOnStartup = FALSE;
    std::wstring m_strSkipDrives;
    BOOL m_bTileExplorers = TRUE;
    bool m_bOleInitialised = false;
    // The pointer is over the bar; the drive set was looked at as it came.
    bool m_bPointerOver = false;
    // The window the pointer was last seen over, for asking a drive's volume as it comes.
    HWND m_hwndPointed = nullptr;
    // A tip asks for its text again as an answer fills it in: that asks no new query.
    bool m_bFillingTip = false;
    // What a screen reader was last told of a drive button: an answer that
    // changes nothing of it is not announced, or every read would ask again.
    HWND m_hwndSpoken = nullptr;
    std::wstring m_strSpoken;
    // The drive whose Eject the menu offered last; its button may be gone by the choice.
    std::wstring m_strMenuDrive;

    // Keyboard access.
    // Registers the hotkey anew, or none; notes whether another program holds it.
    void RegisterBarHotKey();
    // The keyboard was used on the bar: its focus shows from now on.
    void ShowKeyboardCues();
    // A window of another program that was in front: the keyboard goes back there.
    void NotePreviousWindow(HWND foreground);
    bool IsOwnWindow(HWND hwnd) const;
    // The window Esc gives the keyboard to: the one noted, else the first of another program in front.
    HWND WindowToGoBackTo() const;
    // The pictures carry the button face's colour: a new one maps them anew.
    void OnSysColorChange();
    // The hotkey brings the bar forward with the focus on a drive; on the
    // active bar it leaves it.
    void OnHotKey();
    // A key on a button, from its NM_KEYDOWN: TRUE when the bar takes it.
    BOOL OnButtonKey(HWND button, UINT vk, UINT flags);
    // The keyboard's order: the menu button, then the drives in letter order.
    std::vector<HWND> KeyboardOrder() const;
    // The focus goes to a button as the dialog manager moves it, so that
    // Return clicks it everywhere.
    void FocusButton(HWND button);
    // The focus moved by the keyboard: a drive shows its tip, and is the one
    // the hotkey comes back to.
    void OnKeyboardFocus();
    void NoteKeyboardDrive(HWND focus);
    // A button's tip text: a drive's label and root, or the button's text.
    std::wstring TipText(HWND child) const;
    WORD m_wHotKey = kDefaultHotKey;
    bool m_bHotKeyTaken = false;
    HWND m_hwndPrevious = nullptr;
    // The letter of the drive whose button last had the focus, or 0.
    char m_chKeyboardDrive = 0;
    // The bar's keyboard cues (UISF_ bits), which it keeps itself where the system keeps none.
    WORD m_wUiState = 0;

    // Display scale.
    // The bar moved to a screen of another scale: fonts, pictures, sizes and
    // layout at `dpi`, and a docked bar keeps its rows.
    void OnDpiChanged(UINT dpi, const RECT* suggested);
    // The picture of `id16` for the bar's scale, and the spacing around it.
    void SetButtonPicture(CDriveButton* button, UINT id16);
    // The scale the template was made at, and what it gave then: each size
    // at another scale is measured from these.
    UINT m_nTemplateDpi = kDefaultDpi;
    SIZE m_templateButton{};
    SIZE m_templateClient{};
    LOGFONTA m_templateFont{};
    // The dialog font at a scale other than the template's.
    std::unique_ptr<GdiObject<HFONT>> m_scaledFont;
};
