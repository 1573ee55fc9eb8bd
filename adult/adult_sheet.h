// The grown-ups' section: the modal property sheet "Vuxenavdelning" over a working copy of the
// current player's preference record and the engine's activities' saved-settings block, on
// three pages: preferences (234; 235 in launcher mode), activity settings (133) and players
// (135; 165 in launcher mode).
//
// The sheet's own buttons replace the standard ones: "Avsluta" (1134) ends it with 1134, and
// the game quits; "Hjälp" (57668) opens the section's help file; "Av" (1136) shows the credits;
// "Spela" (1) ends it with 1. Escape and the close box end it with IDCANCEL. "Spela" and
// "Avsluta" store the activity page (once it was shown) into the block and write it into the
// file of the player the page shows; however the sheet closes, the pages go into the record
// and the block when its window goes (the caller copies the record into the game only on 1
// or 1134; the block is the game's own) - except the activity page after "Spela", which
// stored it already and then made the player current at the start current again: that
// player's block is in the engine then, and the page still shows the other player's levels.
//
// Launcher mode (the child launcher runs the game): the player is the launcher's current
// child, the only one in the activity page's box; the pages show the settings in the child's
// own file, and "Spela" and "Avsluta" write the edited block into it.
#pragma once

#include <string>

#include "adult/activity_page.h"
#include "adult/players_page.h"
#include "adult/preferences_page.h"
#include "engine/base/activity_settings.h"
#include "engine/base/user_prefs.h"
#include "platform/dialogs/property_sheet.h"

// Dialog templates of the pages: normal mode 234, 133, 135; launcher mode 235, 133, 165.
inline constexpr UINT kPreferencesPage = 234;
inline constexpr UINT kLauncherPreferencesPage = 235;
inline constexpr UINT kActivitySettingsPage = 133;
inline constexpr UINT kPlayersPage = 135;
inline constexpr UINT kLauncherPlayersPage = 165;
// The sheet's own buttons.
inline constexpr int kAdultPlayButton = 1;
inline constexpr int kAdultQuitButton = 1134;

inline constexpr int kAdultHelpButton = 57668;
inline constexpr int kAdultCreditsButton = 1136;
inline constexpr UINT kAdultHelpCommand = 32777;
inline constexpr int kLauncherBlockSize = 28;

// Registers the pages' dialog templates with the program's resources (the program's start).
void RegisterAdultSheetTemplates();

// The section's help file: the resource folder (a backslash added when missing), the
// application key and "4.HLP" on the Windows 95 family (the version word's top bit set and a
// major version of 4 or more), else "3.HLP".
std::string SettingsHelpFile(std::string folder, const std::string& appKey, DWORD version);
// Formats into the section's trace buffer and writes it to the debug trace.
void DebugTrace(const char* format, ...);

class CAdultSheet : public CPropertySheet {
    DECLARE_DYNAMIC(CAdultSheet)
public:
    // Normal mode: pages on 234, 133 and 135, in that order.
    CAdultSheet(UINT captionId, CWnd* parent, UINT firstPage);
    // Launcher mode when launcherMode is non-zero: pages on 235, 133 and 165.
    CAdultSheet(BOOL launcherMode, UINT captionId, CWnd* parent, UINT firstPage);
    ~CAdultSheet() override;

    // Keeps both pointers and copies the record and the block into the sheet's own fields.
    void SetUserSettings(CUserPrefs* record, ActivitySettings* block);

    BOOL OnInitDialog() override;

    bool LauncherMode() const { return m_launcherMode; }

    // The record's fields into the preferences page and the block's into the activity page,
    // and back (a page that has a window stores its controls first; the activity page's steps
    // become levels).
    void SettingsToPages(const CUserPrefs& record, const ActivitySettings& block);
    void PagesToSettings(CUserPrefs& record, ActivitySettings& block);

    // Launcher mode: the launcher's current child into the activity page's box (the only
    // entry), and its stored record and block into the copies, which the pages then show.
    void FillLauncherPlayer(CComboBox& box);
    // Whether highlighting is on and its speed or advance mode differs from the record.
    bool HighlightingChanged();
    void ShowSettingsHelp();

    CPagePreferences m_preferencesPage;
    CPageActivitySettings m_activityPage;
    CPageUserNames m_playersPage;

    CUserPrefs* m_record = nullptr;
    ActivitySettings* m_block = nullptr;
    CUserPrefs m_recordCopy{};
    ActivitySettings m_blockCopy{};

    int m_launcherIndexAtStart = -1;
    int m_launcherIndex = -1;
    std::string m_launcherName;
    char m_launcherPath[1024] = {};

protected:
    afx_msg void OnPlay();
    afx_msg void OnQuit();
    afx_msg void OnHelp();
    afx_msg void OnCredits();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void AddPages(UINT preferences, UINT players);
    // "Spela" and "Avsluta": the activity page (once shown) into the block and into the file
    // of the player it shows (the launcher child's in launcher mode); then the preferences
    // page stores its controls.
    void ApplySettings();
    void StoreActivityPage();
    void CreateButton(CButton& button, UINT captionId, int id, int left, int right, DWORD style);

    bool m_launcherMode = false;
    // Set once "Spela" stored the activity page and switched back to the first player.
    bool m_activityPageDone = false;

    CButton m_quit;
    CButton m_help;
    CButton m_credits;
    CButton m_play;
};
