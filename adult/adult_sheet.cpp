#include "adult/adult_sheet.h"

#include <cstring>

#include "adult/adult_resources.h"
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
const plat::DialogItem kActivityItems[] = {
    plat::LText(u8"Här ställer du in nivån för varje aktivitet och om nivåerna sparas.", kLine, 12, 12, 330, 10),
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
    const UINT ids[2] = {kActivitySettingsPage, players};
    for (int i = 0; i < 2; ++i) {
        m_pages[i] = std::make_unique<CPropertyPage>(ids[i]);
        AddPage(m_pages[i].get());
    }
}

void CAdultSheet::SettingsToPages(const CUserPrefs& record) {
    m_preferencesPage.FromRecord(record, GetPrefsOption08(), GetPrefsOption28());
}

void CAdultSheet::PagesToSettings(CUserPrefs& record) {
    if (m_preferencesPage.m_hWnd) m_preferencesPage.UpdateData(TRUE);
    m_preferencesPage.ToRecord(record);
}

void CAdultSheet::StoreOwnPages() {
    if (m_preferencesPage.m_hWnd) m_preferencesPage.UpdateData(TRUE);
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
    if (m_record) SettingsToPages(*m_record);
    if (CPropertyPage* page = GetActivePage()) page->UpdateData(FALSE);
    return result;
}

void CAdultSheet::OnPlay() {
    StoreOwnPages();
    EndDialog(kAdultPlayButton);
}

void CAdultSheet::OnQuit() {
    StoreOwnPages();
    EndDialog(kAdultQuitButton);
}

void CAdultSheet::OnDestroy() {
    // However the sheet closes, the pages go into the record; the caller decides whether the
    // game takes it.
    if (m_record) PagesToSettings(*m_record);
    CPropertySheet::OnDestroy();
}
