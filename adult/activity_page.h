// The grown-ups' second page, "Inställningsrader" (template 133): one row per activity with a
// stepped level slider and its "Ämnen..." button, the two check boxes over the whole settings
// block, the player box naming the player whose settings are shown, and the button that gives
// every player these settings; and its confirmation dialog "Bekräfta inställningar" (190).
//
// The row values are stored levels (level − 1, as the block holds them) while the page is
// loaded from the block, slider steps once the sliders were read; LevelsToSliders and
// StepsToLevels turn one into the other through the rows of kActivityLevelSteps.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "adult/slider_controls.h"
#include "engine/base/activity_settings.h"
#include "engine/players/player_list.h"
#include "engine/players/player_roster.h"
#include "platform/dialogs/property_sheet.h"

inline constexpr UINT kConfirmAllUsersDialog = 190;
inline constexpr UINT kTopicPanelDialog = 231;

namespace activity_ids {
inline constexpr int kLevelsSaved = 1009;
inline constexpr int kChildrenMayChange = 1011;
inline constexpr int kPlayerBox = 1085;
inline constexpr int kGiveAll = 1086;
inline constexpr int kConfirmText = 1090;
}  // namespace activity_ids

// What the page shows for each row, top to bottom (the same order as kActivityLevelSteps).
struct ActivityRow {
    int slider;
    int topics;
    UINT track;
    int trackWidth;
    UINT topicPicture;
    UINT topicPictureLit;
    UINT caption;
};
extern const ActivityRow kActivityRows[5];

class CPageActivitySettings;

class CConfirmAllUsersDlg : public CDialog {
public:
    CConfirmAllUsersDlg(CPageActivitySettings* page, CWnd* parent);
    void OnOK() override;
    void OnCancel() override;

protected:
    afx_msg void OnYesDouble();
    afx_msg void OnNoDouble();
    DECLARE_MESSAGE_MAP()

private:
    CPageActivitySettings* m_page;
};

class CPageActivitySettings : public CPropertyPage {
    DECLARE_DYNCREATE(CPageActivitySettings)
public:
    CPageActivitySettings();
    ~CPageActivitySettings() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    // Stored levels → steps, and the sliders set to them.
    void LevelsToSliders();
    // Steps → stored levels (the first level of each step).
    void StepsToLevels();
    // The sliders' steps into the rows, the check boxes into the flags.
    void SlidersToLevels();
    // The block's two flags (through the sheet) into the flags and the check boxes.
    void ReloadChecks();
    // After another player's settings were shown: that player's settings are kept and the
    // player current when the page was made plays again, the page showing its settings; with
    // showMessage, string 61256 names it.
    void FinishPlayerChoice(BOOL showMessage);
    void MarkListChanged(int flag) { m_listChanged = flag; }

    // The block's fields into the page (rows as stored levels), and back.
    void BlockToPage(const ActivitySettings& block);
    void PageToBlock(ActivitySettings& block) const;

    bool OtherPlayerShown() const { return m_otherPlayerShown != 0; }
    CBitmapScrollBar& Slider(int row) { return *m_sliders[static_cast<size_t>(row)]; }

    std::unique_ptr<CPlayerRoster> m_roster;
    int m_startIndex = 0;
    int m_startIndexAgain = 0;
    std::string m_startName;
    int m_otherPlayerShown = 0;
    int m_allPlayersConfirmed = 0;
    CString m_guestName;
    CButton m_giveAll;
    CComboBox m_playerBox;
    int m_levelsSaved = 0;
    int m_carried4 = 0;
    int m_childrenMayChange = 0;
    std::array<int, 5> m_rows{1, 1, 1, 1, 1};
    std::vector<PlayerEntry> m_players;
    int m_playerCount = 0;
    std::string m_listPath;
    std::string m_baseFolder;
    int m_listChanged = 0;

protected:
    afx_msg void OnTopics(UINT id);
    afx_msg void OnGiveAll();
    afx_msg void OnPlayerChosen();
    afx_msg void OnPlayerBoxDropped();
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    class CAdultSheet* Sheet() const;
    bool LauncherMode() const;
    // Fills the player box from the list file, the guest first, and selects the current player.
    void FillPlayerBox();
    // The page into the sheet's block, steps turned into levels.
    void StoreIntoBlock();
    // The sheet's block into the page and the sliders.
    void LoadFromBlock();

    std::array<std::unique_ptr<CBitmapScrollBar>, 5> m_sliders;
};
