#include "adult/adult_sheet.h"

#include <cstring>

#include "adult/adult_resources.h"
#include "engine/players/player_list.h"
#include "engine/players/prefs_options.h"

IMPLEMENT_DYNAMIC(CAdultSheet, CPropertySheet)

namespace {

constexpr DWORD kPageStyle = WS_CHILD | WS_CAPTION | DS_CONTROL;
constexpr int kLine = 1000;

// The preferences page: sound, saving and the stop sign on the left; automatic highlighting
// and printing on the right. The launcher's variant takes the stop sign and highlighting from
// the launcher and says so in their places.
#define ZELBO_SOUND_AND_SAVE                                                                         \
    plat::GroupBox(u8"Ljudvolym", -1, 12, 10, 167, 50), plat::Icon(149, -1, 20, 24),                   \
        plat::AutoRadioButton(u8"Använd systemvolym", 1032, 50, 20, 120, 10, WS_GROUP | WS_TABSTOP),    \
        plat::AutoRadioButton(nullptr, 1033, 50, 40, 10, 10),                                         \
        plat::ScrollBar(1007, 62, 38, 109, 14, WS_TABSTOP), plat::GroupBox(u8"Spara", -1, 12, 66, 167, 40), \
        plat::Icon(228, -1, 20, 76), plat::AutoRadioButton(u8"På", 1056, 50, 76, 60, 10, WS_GROUP | WS_TABSTOP), \
        plat::AutoRadioButton(u8"Av", 1057, 50, 90, 60, 10)
#define ZELBO_PRINTER(caption)                                                                       \
    plat::GroupBox(caption, -1, 188, 86, 165, 92), plat::Icon(227, -1, 196, 98),                       \
        plat::AutoRadioButton(u8"Färg/gråtoner", 1082, 226, 96, 110, 10, WS_GROUP | WS_TABSTOP),        \
        plat::AutoRadioButton(u8"Sv/v utskrift", 1083, 226, 110, 110, 10),                            \
        plat::AutoRadioButton(u8"Av", 1068, 226, 124, 110, 10),                                        \
        plat::PushButton(u8"Skrivar&inställning...", 1059, 226, 148, 90, 14, WS_GROUP)

const plat::DialogItem kPreferencesItems[] = {
    ZELBO_SOUND_AND_SAVE,
    plat::GroupBox(u8"Avsluta Trumlaby", -1, 12, 112, 167, 50),
    plat::Icon(206, -1, 20, 126),
    plat::AutoRadioButton(u8"Visa stoppskylt", 1002, 50, 124, 120, 10, WS_GROUP | WS_TABSTOP),
    plat::AutoRadioButton(u8"Göm stoppskylt", 1003, 50, 140, 120, 10),
    plat::GroupBox(u8"Automatisk markering", -1, 188, 10, 165, 70),
    plat::Icon(150, -1, 196, 24),
    plat::AutoRadioButton(u8"På", 1004, 226, 20, 60, 10, WS_GROUP | WS_TABSTOP),
    plat::AutoRadioButton(u8"Av", 1005, 226, 34, 60, 10),
    plat::PushButton(u8"&Tillval...", 1006, 226, 56, 60, 14, WS_GROUP),
    ZELBO_PRINTER(u8"Skrivare"),
};
const plat::DialogItem kLauncherPreferencesItems[] = {
    ZELBO_SOUND_AND_SAVE,
    plat::GroupBox(u8"Avsluta Trumlaby", -1, 12, 112, 167, 50),
    plat::Icon(206, -1, 20, 126),
    plat::LText(u8"Aktuella inställningar tas från Zadaro", 1066, 50, 126, 120, 20),
    plat::GroupBox(u8"Automatisk markering", -1, 188, 10, 165, 70),
    plat::Icon(150, -1, 196, 24),
    plat::LText(u8"Aktuella inställningar tas från Zadaro", 1065, 226, 24, 120, 20),
    ZELBO_PRINTER(u8"Skriver ut"),
};
#undef ZELBO_SOUND_AND_SAVE
#undef ZELBO_PRINTER

// The options dialog: the highlighting speed and how highlighting advances.
const plat::DialogItem kOptionsItems[] = {
    plat::GroupBox(u8"Hastighet", -1, 7, 6, 159, 58),
    plat::ScrollBar(1008, 30, 18, 112, 36, WS_TABSTOP),
    plat::GroupBox(u8"Förflyttning", -1, 7, 70, 159, 50),
    plat::Icon(150, -1, 15, 84),
    plat::AutoRadioButton(u8"Automatisk", 1014, 50, 82, 110, 10, WS_GROUP | WS_TABSTOP),
    plat::AutoRadioButton(u8"Gå fram efter musklick", 1015, 50, 98, 110, 10),
    plat::DefPushButton(u8"&OK", IDOK, 30, 130, 50, 14, WS_GROUP),
    plat::PushButton(u8"&Avbryt", IDCANCEL, 93, 130, 50, 14),
};
// The activity page: one row per activity, an icon and the name over the level slider with
// its topics button beside it; the two check boxes and the give-all button below.
#define ZELBO_ROW(icon, name, slider, width, topics, y)                                                          \
    plat::Icon(icon, -1, 6, y + 4), plat::LText(name, -1, 32, y, 120, 8),                                     \
        plat::ScrollBar(slider, 32, y + 10, width, 15, WS_TABSTOP),                                           \
        plat::PushButton(u8"Ämnen...", topics, 290, y + 10, 50, 14)
const plat::DialogItem kActivityItems[] = {
    plat::LText(u8"Aktuell användare:", -1, 12, 8, 70, 8),
    plat::ComboBox(1085, 86, 6, 140, 80, WS_VSCROLL | WS_TABSTOP),
    ZELBO_ROW(222, u8"Ruduridodu", 1021, 131, 1031, 22),
    ZELBO_ROW(223, u8"Duravod", 1022, 243, 1040, 50),
    ZELBO_ROW(224, u8"Vevudivodizide", 1023, 217, 1074, 78),
    ZELBO_ROW(225, u8"Zodezev uzo vuzuzud", 1024, 243, 1075, 106),
    ZELBO_ROW(226, u8"Vududoduvaza", 1025, 235, 1076, 134),
    plat::AutoCheckBox(u8"Tillåt barn att ändra inställnin&gsrad", 1011, 12, 166, 190, 10, WS_TABSTOP),
    plat::AutoCheckBox(u8"Spa&ra inställningar av svårighetsgrad", 1009, 12, 180, 190, 10, WS_TABSTOP),
    plat::PushButton(u8"Ge alla anv&ändare samma inställningar", 1086, 205, 172, 150, 14),
};
#undef ZELBO_ROW

const plat::DialogItem kConfirmItems[] = {
    plat::LText(u8"Är du säker på att du vill tillämpa de här inställningarna på alla användare?", 1090, 10, 8, 204,
                20),
    plat::DefPushButton(u8"&Ja", IDOK, 58, 36, 50, 14),
    plat::PushButton(u8"&Nej", IDCANCEL, 116, 36, 50, 14),
};

const plat::DialogItem kTopicItems[] = {
    plat::DefPushButton(u8"&OK", IDOK, 90, 162, 50, 14),
    plat::PushButton(u8"&Avbryt", IDCANCEL, 159, 162, 50, 14),
};

const plat::DialogItem kPlayersItems[] = {
    plat::LText(u8"Här lägger du till och tar bort spelare.", kLine, 12, 12, 330, 10),
};
const plat::DialogItem kLauncherPlayersItems[] = {
    plat::LText(u8"Spelarna tas från startprogrammet.", kLine, 12, 12, 330, 10),
};

const plat::DialogTemplate kTemplates[] = {
    {kPreferencesPage, 0, 0, 365, 201, kPageStyle, u8"Inställningar", kPreferencesItems},
    {kOptionsDialog, 0, 0, 173, 153, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"Tillval", kOptionsItems},
    {kLauncherPreferencesPage, 0, 0, 365, 201, kPageStyle, u8"Inställningar", kLauncherPreferencesItems},
    {kActivitySettingsPage, 0, 0, 365, 204, kPageStyle, u8"Inställningsrader", kActivityItems},
    {kConfirmAllUsersDialog, 0, 0, 224, 58, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
     u8"Bekräfta inställningar", kConfirmItems},
    {kTopicPanelDialog, 0, 0, 299, 183, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"Innehåll", kTopicItems},
    {kPlayersPage, 0, 0, 365, 178, kPageStyle, u8"Användare", kPlayersItems},
    {kLauncherPlayersPage, 0, 0, 365, 178, kPageStyle, u8"Användare", kLauncherPlayersItems},
};

// A rectangle given in dialog units, in pixels of the system's dialog base units.
CRect FromDialogUnits(int left, int top, int right, int bottom) {
    const LONG units = GetDialogBaseUnits();
    const int bx = LOWORD(units), by = HIWORD(units);
    return CRect(left * bx / 4, top * by / 8, right * bx / 4, bottom * by / 8);
}

}  // namespace

void RegisterAdultSheetTemplates() {
    plat::RegisterDialogTemplates(kTemplates);
    RegisterAdultResources();
}

BEGIN_MESSAGE_MAP(CAdultSheet, CPropertySheet)
    ON_COMMAND(kAdultPlayButton, OnPlay)
    ON_COMMAND(kAdultQuitButton, OnQuit)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CAdultSheet::CAdultSheet(UINT captionId, CWnd* parent, UINT firstPage) : CPropertySheet(captionId, parent, firstPage) {
    AddPages(kPreferencesPage, kPlayersPage);
}

CAdultSheet::CAdultSheet(BOOL launcherMode, UINT captionId, CWnd* parent, UINT firstPage)
    : CPropertySheet(captionId, parent, firstPage), m_launcherMode(launcherMode != FALSE) {
    if (m_launcherMode)
        AddPages(kLauncherPreferencesPage, kLauncherPlayersPage);
    else
        AddPages(kPreferencesPage, kPlayersPage);
}

CAdultSheet::~CAdultSheet() = default;

void CAdultSheet::AddPages(UINT preferences, UINT players) {
    m_preferencesPage.Construct(preferences);
    AddPage(&m_preferencesPage);
    AddPage(&m_activityPage);
    m_playersPage = std::make_unique<CPropertyPage>(players);
    AddPage(m_playersPage.get());
}

void CAdultSheet::SettingsToPages(const CUserPrefs& record, const ActivitySettings& block) {
    m_preferencesPage.FromRecord(record, GetPrefsOption08(), GetPrefsOption28());
    m_activityPage.BlockToPage(block);
}

void CAdultSheet::PagesToSettings(CUserPrefs& record, ActivitySettings& block) {
    if (m_preferencesPage.m_hWnd) m_preferencesPage.UpdateData(TRUE);
    m_preferencesPage.ToRecord(record);
    if (m_activityPage.m_hWnd) {
        m_activityPage.UpdateData(TRUE);
        m_activityPage.StepsToLevels();
    }
    m_activityPage.PageToBlock(block);
}

void CAdultSheet::StoreOwnPages() {
    if (m_preferencesPage.m_hWnd) m_preferencesPage.UpdateData(TRUE);
}

void CAdultSheet::StoreActivityPage() {
    if (!m_activityPage.m_hWnd || !m_block) return;
    m_activityPage.UpdateData(TRUE);
    m_activityPage.StepsToLevels();
    m_activityPage.PageToBlock(*m_block);
    // The rows are levels again; the page shows steps while it has a window.
    m_activityPage.LevelsToSliders();
    if (m_launcherMode || !m_activityPage.m_playerBox.m_hWnd) return;
    const int row = m_activityPage.m_playerBox.GetCurSel();
    if (row < 0) return;
    CString name;
    m_activityPage.m_playerBox.GetLBText(row, name);
    const int index = m_activityPage.m_roster->FindOrAdd(static_cast<const char*>(name));
    if (index >= 0) WriteUserPrefsFor(m_activityPage.m_roster->Entry(index));
}

void CAdultSheet::SetUserSettings(CUserPrefs* record, ActivitySettings* block) {
    m_record = record;
    m_block = block;
    if (record) std::memcpy(&m_recordCopy, record, sizeof(CUserPrefs));
    if (block) std::memcpy(&m_blockCopy, block, sizeof(ActivitySettings));
}

BOOL CAdultSheet::OnInitDialog() {
    const BOOL result = CPropertySheet::OnInitDialog();
    // The sheet's own buttons take the place of the standard ones, on a strip 27 pixels high.
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() + 27, SWP_NOZORDER | SWP_NOACTIVATE);
    for (int id : {int(IDOK), int(IDCANCEL), int(ID_APPLY_NOW), int(ID_HELP)})
        if (CWnd* w = GetDlgItem(id)) w->ShowWindow(SW_HIDE);
    CRect client;
    GetClientRect(&client);
    CRect quit = FromDialogUnits(12, 0, 52, 12);
    CRect play = FromDialogUnits(235, 0, 275, 12);
    const int top = client.bottom - 8 - quit.Height();
    quit.OffsetRect(0, top);
    play.OffsetRect(0, top);
    m_quit.Create("Avsluta", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP, quit, this, kAdultQuitButton);
    m_play.Create("Spela", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, play, this,
                  kAdultPlayButton);
    m_quit.SetFont(GetFont());
    m_play.SetFont(GetFont());
    CenterWindow();
    if (m_record && m_block) SettingsToPages(*m_record, *m_block);
    if (CPropertyPage* page = GetActivePage()) page->UpdateData(FALSE);
    return result;
}

void CAdultSheet::OnPlay() {
    StoreActivityPage();
    StoreOwnPages();
    m_activityPage.FinishPlayerChoice(TRUE);
    EndDialog(kAdultPlayButton);
}

void CAdultSheet::OnQuit() {
    StoreActivityPage();
    StoreOwnPages();
    EndDialog(kAdultQuitButton);
}

void CAdultSheet::OnDestroy() {
    // However the sheet closes, the pages go into the record and the block; the caller decides
    // whether the game takes the record, while the block is the game's own.
    if (m_record && m_block) PagesToSettings(*m_record, *m_block);
    m_activityPage.FinishPlayerChoice(FALSE);
    CPropertySheet::OnDestroy();
}
