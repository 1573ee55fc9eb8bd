#include "adult/activity_page.h"

#include <algorithm>
#include <cstring>

#include "adult/adult_sheet.h"
#include "adult/adult_strings.h"
#include "adult/level_steps.h"
#include "adult/topic_panel.h"
#include "engine/players/app_prefs.h"
#include "engine/players/player_strings.h"
#include "media/res/activity_levels.h"
#include "platform/afx/message_box.h"
#include "platform/afx/string_table.h"
#include "platform/afxwin/afxwin.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/strings/cp1252.h"

using namespace activity_ids;

const ActivityRow kActivityRows[5] = {
    {1021, 1031, 188, 196, 233, 234, kIdsTopicsRuduridodu},
    {1022, 1040, 190, 365, 202, 194, kIdsTopicsDuravod},
    {1023, 1074, 200, 326, 201, 196, kIdsTopicsVevudivodizide},
    {1024, 1075, 191, 365, 197, 198, kIdsTopicsShapes},
    {1025, 1076, 192, 352, 199, 195, kIdsTopicsVududoduvaza},
};

namespace {

constexpr int kTrackHeight = 18;

// The block's level of a row, by its byte offset.
uint16_t* LevelAt(ActivitySettings& block, int offset) {
    return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(&block) + offset);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CConfirmAllUsersDlg

BEGIN_MESSAGE_MAP(CConfirmAllUsersDlg, CDialog)
    ON_BN_DOUBLECLICKED(IDOK, OnYesDouble)
    ON_BN_DOUBLECLICKED(IDCANCEL, OnNoDouble)
END_MESSAGE_MAP()

CConfirmAllUsersDlg::CConfirmAllUsersDlg(CPageActivitySettings* page, CWnd* parent)
    : CDialog(kConfirmAllUsersDialog, parent), m_page(page) {}

void CConfirmAllUsersDlg::OnOK() {
    if (m_page) m_page->m_allPlayersConfirmed = 1;
    EndDialog(IDOK);
}

void CConfirmAllUsersDlg::OnCancel() {
    if (m_page) m_page->m_allPlayersConfirmed = 0;
    EndDialog(IDCANCEL);
}

void CConfirmAllUsersDlg::OnYesDouble() {
    OnOK();
}

void CConfirmAllUsersDlg::OnNoDouble() {
    OnCancel();
}

// ---------------------------------------------------------------------------------------------
// CPageActivitySettings

IMPLEMENT_DYNCREATE(CPageActivitySettings, CPropertyPage)

BEGIN_MESSAGE_MAP(CPageActivitySettings, CPropertyPage)
    ON_COMMAND_RANGE(1031, 1076, OnTopics)
    ON_BN_CLICKED(kGiveAll, OnGiveAll)
    ON_CBN_SELCHANGE(kPlayerBox, OnPlayerChosen)
    ON_CBN_DROPDOWN(kPlayerBox, OnPlayerBoxDropped)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CPageActivitySettings::CPageActivitySettings() : CPropertyPage(kActivitySettingsPage), m_players(kMaxPlayers) {
    m_guestName.LoadString(kIdsGuestName);
    for (size_t i = 0; i < m_sliders.size(); ++i)
        m_sliders[i] = std::make_unique<CBitmapScrollBar>(kActivityRows[i].track, kActivityRows[i].trackWidth, kTrackHeight);
    m_roster = std::make_unique<CPlayerRoster>();
    m_roster->Load();
    m_startName = GetAppPrefs().GetCurrentUser();
    m_startIndex = m_startIndexAgain = m_roster->FindOrAdd(m_startName);
}

CPageActivitySettings::~CPageActivitySettings() = default;

CAdultSheet* CPageActivitySettings::Sheet() const {
    CWnd* parent = m_hWnd ? GetParent() : nullptr;
    return parent && parent->IsKindOf(RUNTIME_CLASS(CAdultSheet)) ? static_cast<CAdultSheet*>(parent) : nullptr;
}

bool CPageActivitySettings::LauncherMode() const {
    const CAdultSheet* sheet = Sheet();
    return sheet && sheet->LauncherMode();
}

void CPageActivitySettings::DoDataExchange(CDataExchange* dx) {
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, kGiveAll, m_giveAll);
    DDX_Control(dx, kPlayerBox, m_playerBox);
    DDX_Check(dx, kLevelsSaved, m_levelsSaved);
    DDX_Check(dx, kChildrenMayChange, m_childrenMayChange);
    // The sliders keep their steps themselves.
    for (size_t i = 0; i < m_sliders.size(); ++i) {
        CBitmapScrollBar& slider = *m_sliders[i];
        if (!slider.m_hWnd) continue;
        if (dx->m_bSaveAndValidate)
            m_rows[i] = slider.GetPos();
        else
            slider.SetPos(m_rows[i], TRUE);
    }
}

BOOL CPageActivitySettings::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    for (size_t i = 0; i < m_sliders.size(); ++i)
        m_sliders[i]->Create(static_cast<UINT>(kActivityRows[i].slider), this, kActivityLevelSteps[i].steps, 0, TRUE);
    m_baseFolder = GetAppPrefs().installPath;
    if (!GetPlayerListPath(m_listPath)) m_listPath.clear();
    if (LauncherMode()) {
        // The launcher names the player, the only one in the box; the sheet loads the page
        // from that child's own file (the page keeps what it was loaded with when the child
        // cannot be found).
        m_giveAll.EnableWindow(FALSE);
        Sheet()->FillLauncherPlayer(m_playerBox);
        LevelsToSliders();
        CheckDlgButton(kLevelsSaved, m_levelsSaved ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(kChildrenMayChange, m_childrenMayChange ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    }
    FillPlayerBox();
    LoadFromBlock();
    return TRUE;
}

void CPageActivitySettings::FillPlayerBox() {
    if (!m_playerBox.m_hWnd) return;
    m_playerBox.ResetContent();
    m_players.assign(kMaxPlayers, PlayerEntry{});
    m_playerCount = m_listPath.empty() ? 0 : LoadUserList(AfxGetInstanceHandle(), m_players, m_listPath.c_str());
    for (int i = 0; i < m_playerCount; ++i) m_playerBox.AddString(m_players[static_cast<size_t>(i)].name.c_str());
    // The guest first: found by its whole name, in any case, as the player list folds it.
    const std::string guest(static_cast<const char*>(m_guestName));
    for (int i = 0; i < m_playerBox.GetCount(); ++i) {
        CString text;
        m_playerBox.GetLBText(i, text);
        if (plat::EqualNoCase1252(static_cast<const char*>(text), guest)) {
            m_playerBox.DeleteString(static_cast<UINT>(i));
            break;
        }
    }
    m_playerBox.InsertString(0, guest.c_str());
    const std::string& current = GetAppPrefs().GetCurrentUser();
    const int row = m_playerBox.FindStringExact(-1, current.c_str());
    m_playerBox.SetCurSel(row >= 0 ? row : 0);
    // The roster's own entry of that player (its order need not be the box's).
    if (m_roster->FindByName(current)) m_roster->SetCurrent(m_roster->IndexOf(current));
}

void CPageActivitySettings::LoadFromBlock() {
    if (CAdultSheet* sheet = Sheet(); sheet && sheet->m_block) BlockToPage(*sheet->m_block);
    LevelsToSliders();
    ReloadChecks();
}

void CPageActivitySettings::StoreIntoBlock() {
    StepsToLevels();
    if (CAdultSheet* sheet = Sheet(); sheet && sheet->m_block) PageToBlock(*sheet->m_block);
}

void CPageActivitySettings::BlockToPage(const ActivitySettings& block) {
    m_levelsSaved = static_cast<int>(block.levelsSaved);
    m_carried4 = static_cast<int>(block.secondFlag);
    m_childrenMayChange = static_cast<int>(block.childMayChangeLevel);
    ActivitySettings copy = block;
    for (size_t i = 0; i < m_rows.size(); ++i) m_rows[i] = *LevelAt(copy, kActivityLevelSteps[i].blockOffset);
}

void CPageActivitySettings::PageToBlock(ActivitySettings& block) const {
    block.levelsSaved = static_cast<uint32_t>(m_levelsSaved);
    block.secondFlag = static_cast<uint32_t>(m_carried4);
    block.childMayChangeLevel = static_cast<uint32_t>(m_childrenMayChange);
    for (size_t i = 0; i < m_rows.size(); ++i)
        *LevelAt(block, kActivityLevelSteps[i].blockOffset) = static_cast<uint16_t>(std::clamp(m_rows[i], 0, 0xFFFF));
}

void CPageActivitySettings::LevelsToSliders() {
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const ActivityLevelSteps& row = kActivityLevelSteps[i];
        m_rows[i] = LevelToSliderStep(m_rows[i], row.steps, row.Weights());
        if (m_sliders[i]->m_hWnd) m_sliders[i]->SetPos(m_rows[i], TRUE);
    }
}

void CPageActivitySettings::StepsToLevels() {
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const ActivityLevelSteps& row = kActivityLevelSteps[i];
        m_rows[i] = SliderStepToLevel(m_rows[i], row.steps, row.Weights());
    }
}

void CPageActivitySettings::SlidersToLevels() {
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_sliders[i]->m_hWnd) m_rows[i] = m_sliders[i]->GetPos();
    if (m_hWnd) {
        m_childrenMayChange = IsDlgButtonChecked(kChildrenMayChange) == BST_CHECKED ? 1 : 0;
        m_levelsSaved = IsDlgButtonChecked(kLevelsSaved) == BST_CHECKED ? 1 : 0;
    }
}

void CPageActivitySettings::ReloadChecks() {
    if (CAdultSheet* sheet = Sheet(); sheet && sheet->m_block) {
        m_levelsSaved = static_cast<int>(sheet->m_block->levelsSaved);
        m_childrenMayChange = static_cast<int>(sheet->m_block->childMayChangeLevel);
    }
    if (!m_hWnd) return;
    CheckDlgButton(kLevelsSaved, m_levelsSaved ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(kChildrenMayChange, m_childrenMayChange ? BST_CHECKED : BST_UNCHECKED);
}

void CPageActivitySettings::OnPlayerChosen() {
    if (LauncherMode() || !m_playerBox.m_hWnd) return;
    SlidersToLevels();
    const int row = m_playerBox.GetCurSel();
    if (row < 0) return;
    CString text;
    m_playerBox.GetLBText(row, text);
    const std::string name(static_cast<const char*>(text));
    if (name == GetAppPrefs().GetCurrentUser()) return;
    m_otherPlayerShown = 1;
    if (CAdultSheet* sheet = Sheet()) sheet->m_playersPage.SelectCurrentOnPaint(1);
    const int index = m_roster->FindOrAdd(name);
    // The shown settings are the outgoing player's: into the engine's block, which the switch
    // writes into that player's file before it loads the chosen player's.
    StoreIntoBlock();
    if (index >= 0) m_roster->SetCurrent(index);
    LoadFromBlock();
}

void CPageActivitySettings::OnPlayerBoxDropped() {}

void CPageActivitySettings::FinishPlayerChoice(BOOL showMessage) {
    if (LauncherMode() || !m_otherPlayerShown) return;
    // The settings shown belong to the player who is current now; they go with that player.
    if (m_hWnd) SlidersToLevels();
    StoreIntoBlock();
    m_roster->SetCurrent(m_startIndex);
    m_otherPlayerShown = 0;
    // The page shows the returning player's own settings again, so that whatever stores the
    // page afterwards does not give that player the other one's.
    LoadFromBlock();
    if (m_playerBox.m_hWnd) {
        const int row = m_playerBox.FindStringExact(-1, m_startName.c_str());
        m_playerBox.SetCurSel(row >= 0 ? row : 0);
    }
    if (showMessage) {
        CString text;
        AfxFormatString1(text, kIdsKeepsPlaying, m_startName.c_str());
        AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
    }
}

void CPageActivitySettings::OnGiveAll() {
    if (LauncherMode()) return;
    SlidersToLevels();
    CConfirmAllUsersDlg confirm(this, Sheet());
    confirm.DoModal();
    if (!m_allPlayersConfirmed) return;
    StoreIntoBlock();
    for (int i = 0; i < m_roster->Count(); ++i) WriteUserPrefsFor(m_roster->Entry(i));
    // The rows hold levels now; the sliders still show their steps.
    LevelsToSliders();
}

void CPageActivitySettings::OnTopics(UINT id) {
    for (size_t i = 0; i < std::size(kActivityRows); ++i) {
        const ActivityRow& row = kActivityRows[i];
        if (static_cast<int>(id) != row.topics) continue;
        CString caption;
        caption.LoadString(row.caption);
        const ActivityLevelSteps& steps = kActivityLevelSteps[i];
        std::vector<int> heights(static_cast<size_t>(steps.steps), 1);
        CBitmapScrollPanel panel(caption, Sheet(), m_sliders[i].get(), row.topicPicture, row.topicPictureLit,
                                 kTopicAreaWidth, kTopicAreaHeight, kTopicRowHeight, kTopicMargin);
        panel.SetRows(steps.leftRows, steps.steps - steps.leftRows, heights.data());
        panel.DoModal();
        return;
    }
}

void CPageActivitySettings::OnPaint() {
    if (m_listChanged == 1 && !LauncherMode()) {
        m_listChanged = 0;
        m_roster = std::make_unique<CPlayerRoster>();
        m_roster->Load();
        m_startIndex = m_roster->FindOrAdd(m_startName);
        FillPlayerBox();
    }
    CPropertyPage::OnPaint();
}
