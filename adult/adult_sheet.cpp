#include "adult/adult_sheet.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "adult/adult_resources.h"
#include "adult/adult_strings.h"
#include "adult/splash_dlg.h"
#include "engine/players/player_list.h"
#include "engine/players/prefs_file.h"
#include "engine/players/prefs_options.h"
#include "engine/toolbox/phrase.h"
#include "media/util/mono_debug.h"
#include "platform/afx/message_box.h"
#include "platform/afx/string_table.h"
#include "platform/core/crt.h"
#include "platform/dialogs/dialog_api.h"

IMPLEMENT_DYNAMIC(CAdultSheet, CPropertySheet)

namespace {

constexpr DWORD kPageStyle = WS_CHILD | WS_CAPTION | DS_CONTROL;

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

// The players page: the list with the guest first, the three list operations beside it and
// the check box below. Adding and renaming are shown: without them no one could ever add or
// rename a player while new players may not add themselves.
const plat::DialogItem kPlayersItems[] = {
    plat::ListBox(1063, 12, 12, 200, 130, LBS_SORT | WS_VSCROLL | LBS_DISABLENOSCROLL | WS_TABSTOP),
    plat::DefPushButton(u8"&Lägg till...", 1152, 230, 12, 70, 14),
    plat::PushButton(u8"&Ändra...", 1054, 230, 32, 70, 14),
    plat::PushButton(u8"Ta &bort", 1055, 230, 52, 70, 14),
    plat::AutoCheckBox(u8"Låt nya användare l&ägga till sig själva", 1058, 12, 152, 200, 10),
};
const plat::DialogItem kLauncherPlayersItems[] = {
    plat::CText(u8"Aktuella inställningar tas från Zadaro", 1066, 62, 80, 240, 10),
};
// The add and rename dialogs: the name, at most 15 characters.
const plat::DialogItem kAddUserItems[] = {
    plat::LText(u8"Användarnamn:", -1, 7, 9, 60, 8),
    plat::EditText(1152, 68, 7, 112, 12, ES_AUTOHSCROLL),
    plat::DefPushButton(u8"&OK", IDOK, 38, 32, 50, 14, WS_GROUP),
    plat::PushButton(u8"&Avbryt", IDCANCEL, 98, 32, 50, 14),
};
const plat::DialogItem kRenameUserItems[] = {
    plat::LText(u8"Byt namn till:", 1077, 7, 9, 60, 8),
    plat::EditText(1054, 68, 7, 112, 12, ES_AUTOHSCROLL),
    plat::DefPushButton(u8"&OK", IDOK, 38, 32, 50, 14, WS_GROUP),
    plat::PushButton(u8"&Avbryt", IDCANCEL, 98, 32, 50, 14),
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
    {kAddUserDialog, 0, 0, 187, 55, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"Lägg till", kAddUserItems},
    // No frame and no controls: the credits dialog sizes itself to the picture it shows.
    {kSplashDialog, 0, 0, 427, 295, WS_POPUP, u8"", {}},
    {kRenameUserDialog, 0, 0, 187, 55, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"Byt namn på användare",
     kRenameUserItems},
};

// A rectangle given in dialog units, in pixels of the system's dialog base units.
CRect FromDialogUnits(int left, int top, int right, int bottom) {
    const LONG units = GetDialogBaseUnits();
    const int bx = LOWORD(units), by = HIWORD(units);
    return CRect(left * bx / 4, top * by / 8, right * bx / 4, bottom * by / 8);
}

// The trace's one buffer.
char g_traceBuffer[1024];

}  // namespace

void RegisterAdultSheetTemplates() {
    plat::RegisterDialogTemplates(kTemplates);
    RegisterAdultResources();
}

std::string SettingsHelpFile(std::string folder, const std::string& appKey, DWORD version) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    const bool windows95 = (version & 0x80000000u) != 0 && (version & 0xFF) >= 4;
    return folder + appKey + (windows95 ? "4.HLP" : "3.HLP");
}

void DebugTrace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(g_traceBuffer, sizeof g_traceBuffer, format, args);
    va_end(args);
    MonoDebugWrite(g_traceBuffer);
}

BEGIN_MESSAGE_MAP(CAdultSheet, CPropertySheet)
    ON_COMMAND(kAdultPlayButton, OnPlay)
    ON_COMMAND(kAdultQuitButton, OnQuit)
    ON_COMMAND(kAdultCreditsButton, OnCredits)
    ON_COMMAND(kAdultHelpButton, OnHelp)
    ON_COMMAND(kAdultHelpCommand, OnHelp)
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
    m_playersPage.Construct(players);
    AddPage(&m_playersPage);
}

void CAdultSheet::SettingsToPages(const CUserPrefs& record, const ActivitySettings& block) {
    m_preferencesPage.FromRecord(record, GetPrefsOption08(), GetPrefsOption28());
    m_playersPage.m_selfAdd = static_cast<int>(record.childrenMayAddPlayers);
    m_activityPage.BlockToPage(block);
}

void CAdultSheet::PagesToSettings(CUserPrefs& record, ActivitySettings& block) {
    if (m_preferencesPage.m_hWnd) m_preferencesPage.UpdateData(TRUE);
    if (m_playersPage.m_hWnd) m_playersPage.UpdateData(TRUE);
    m_preferencesPage.ToRecord(record);
    record.childrenMayAddPlayers = static_cast<uint32_t>(m_playersPage.m_selfAdd);
    if (m_activityPageDone) return;
    if (m_activityPage.m_hWnd) {
        m_activityPage.UpdateData(TRUE);
        m_activityPage.StepsToLevels();
    }
    m_activityPage.PageToBlock(block);
    if (m_activityPage.m_hWnd) m_activityPage.LevelsToSliders();
}

void CAdultSheet::StoreActivityPage() {
    if (!m_activityPage.m_hWnd || !m_block) return;
    m_activityPage.UpdateData(TRUE);
    m_activityPage.StepsToLevels();
    m_activityPage.PageToBlock(*m_block);
    // The rows are levels again; the page shows steps while it has a window.
    m_activityPage.LevelsToSliders();
    if (m_launcherMode) {
        char name[64] = {};
        if (!GetLauncherPlayer(name, sizeof name, m_launcherPath, sizeof m_launcherPath)) return;
        WriteUserPrefs(m_launcherPath, m_block, kLauncherBlockSize);
        if (HighlightingChanged()) AfxMessageBox(kIdsHighlightingReset, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!m_activityPage.m_playerBox.m_hWnd) return;
    const int row = m_activityPage.m_playerBox.GetCurSel();
    if (row < 0) return;
    CString name;
    m_activityPage.m_playerBox.GetLBText(row, name);
    const int index = m_activityPage.m_roster->FindOrAdd(static_cast<const char*>(name));
    if (index >= 0) WriteUserPrefsFor(m_activityPage.m_roster->Entry(index));
}

bool CAdultSheet::HighlightingChanged() {
    if (m_preferencesPage.m_hWnd) m_preferencesPage.UpdateData(TRUE);
    if (m_preferencesPage.m_highlight == 1 || !m_record) return false;
    const int advance = m_record->scanAdvanceAuto != 0 ? 0 : 1;
    return m_preferencesPage.m_advance != advance || m_preferencesPage.m_speed != m_record->scanSpeed;
}

void CAdultSheet::FillLauncherPlayer(CComboBox& box) {
    box.ResetContent();
    char name[64] = {};
    if (!GetLauncherPlayer(name, sizeof name, m_launcherPath, sizeof m_launcherPath)) {
        m_launcherPath[0] = '\0';
        return;
    }
    m_launcherName = name;
    m_launcherIndexAtStart = m_launcherIndex = box.AddString(name);
    box.SetCurSel(m_launcherIndex);
    ReadPrefs(m_launcherPath, &m_recordCopy);
    ReadUserPrefs(m_launcherPath, &m_blockCopy, kLauncherBlockSize);
    SettingsToPages(m_recordCopy, m_blockCopy);
    // A preferences page shown before shows the child's record now.
    if (m_preferencesPage.m_hWnd) m_preferencesPage.UpdateData(FALSE);
    DebugTrace("Selected %s", name);
    DebugTrace(" is at %s", m_launcherPath);
    DebugTrace("\n");
}

void CAdultSheet::SetUserSettings(CUserPrefs* record, ActivitySettings* block) {
    m_record = record;
    m_block = block;
    if (record) std::memcpy(&m_recordCopy, record, sizeof(CUserPrefs));
    if (block) std::memcpy(&m_blockCopy, block, sizeof(ActivitySettings));
}

void CAdultSheet::CreateButton(CButton& button, UINT captionId, int id, int left, int right, DWORD style) {
    CRect client;
    GetClientRect(&client);
    CRect r = FromDialogUnits(left, 0, right, 12);
    // The row of buttons sits on the strip the sheet grew by, below the pages.
    r.OffsetRect(0, client.bottom - 8 - r.Height());
    CString caption;
    caption.LoadString(captionId);
    button.Create(caption, WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | style, r, this, static_cast<UINT>(id));
    button.SetFont(GetFont());
}

BOOL CAdultSheet::OnInitDialog() {
    const BOOL result = CPropertySheet::OnInitDialog();
    if (m_launcherMode && m_block) m_activityPage.BlockToPage(*m_block);
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() + 27, SWP_NOZORDER | SWP_NOACTIVATE);
    for (int id : {int(IDOK), int(IDCANCEL), int(ID_APPLY_NOW), int(ID_HELP)})
        if (CWnd* w = GetDlgItem(id)) w->ShowWindow(SW_HIDE);
    CreateButton(m_quit, kIdsQuitButton, kAdultQuitButton, 12, 52, 0);
    CreateButton(m_help, kIdsHelpButton, kAdultHelpButton, 145, 185, 0);
    CreateButton(m_credits, kIdsCreditsButton, kAdultCreditsButton, 190, 230, 0);
    CreateButton(m_play, kIdsPlayButton, kAdultPlayButton, 235, 275, BS_DEFPUSHBUTTON);
    CenterWindow();
    if (m_record && m_block) SettingsToPages(*m_record, *m_block);
    if (CPropertyPage* page = GetActivePage()) page->UpdateData(FALSE);
    return result;
}

void CAdultSheet::ApplySettings() {
    StoreActivityPage();
    if (m_preferencesPage.m_hWnd) m_preferencesPage.UpdateData(TRUE);
}

void CAdultSheet::OnPlay() {
    ApplySettings();
    m_activityPage.FinishPlayerChoice(TRUE);
    // The block is the returning player's now; the page must not be stored into it again.
    m_activityPageDone = m_activityPage.m_hWnd != nullptr;
    EndDialog(kAdultPlayButton);
}

void CAdultSheet::OnQuit() {
    ApplySettings();
    EndDialog(kAdultQuitButton);
}

void CAdultSheet::OnHelp() {
    ShowSettingsHelp();
}

void CAdultSheet::ShowSettingsHelp() {
    char file[64] = {};
    GetPrefsFileName(file, sizeof file);
    std::string key(file);
    if (const size_t dot = key.rfind('.'); dot != std::string::npos) key.resize(dot);
    const std::string help = SettingsHelpFile(GetEngineStateBlock(), key, GetVersion());
    CWnd* owner = AfxGetMainWnd();
    ::WinHelp(owner ? owner->m_hWnd : m_hWnd, help.c_str(), HELP_CONTENTS, 0);
}

void CAdultSheet::OnCredits() {
    CSplashDlg splash(this);
    splash.DoModal();
}

void CAdultSheet::OnDestroy() {
    // However the sheet closes, the pages go into the record and the block; the caller decides
    // whether the game takes the record, while the block is the game's own.
    if (m_record && m_block) PagesToSettings(*m_record, *m_block);
    m_activityPage.FinishPlayerChoice(FALSE);
    CPropertySheet::OnDestroy();
}
