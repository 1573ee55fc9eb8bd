// The grown-ups' section: the modal property sheet "Vuxenavdelning" over a working copy of the
// current player's preference record and the activities' saved-settings block.
//
// The preferences page edits the record: the sheet loads it from the record when it opens and
// stores it back into the record however the sheet closes (the caller copies the record into
// the game only on "Spela" or "Avsluta"). The activity settings and players pages still show
// one line each saying what will be set there, and the block is not written yet. Its own
// buttons end it: "Spela" (id 1) and "Avsluta" (id 1134); Escape or the close box end it with
// IDCANCEL.
#pragma once

#include <memory>

#include "adult/activity_page.h"
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

// Registers the pages' dialog templates with the program's resources (the program's start).
void RegisterAdultSheetTemplates();

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

    CPagePreferences m_preferencesPage;
    CPageActivitySettings m_activityPage;

    CUserPrefs* m_record = nullptr;
    ActivitySettings* m_block = nullptr;
    CUserPrefs m_recordCopy{};
    ActivitySettings m_blockCopy{};

protected:
    afx_msg void OnPlay();
    afx_msg void OnQuit();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void AddPages(UINT preferences, UINT players);
    void StoreOwnPages();

    bool m_launcherMode = false;
    // Stores the activity page into the block and, in normal mode, writes the engine's
    // preferences for the player the page shows.
    void StoreActivityPage();

    std::unique_ptr<CPropertyPage> m_playersPage;
    CButton m_quit;
    CButton m_play;
};
