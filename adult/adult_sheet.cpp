#include "adult/adult_sheet.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CAdultSheet, CPropertySheet)

namespace {

constexpr DWORD kPageStyle = WS_CHILD | WS_CAPTION | DS_CONTROL;
constexpr int kLine = 1000;

const plat::DialogItem kPreferencesItems[] = {
    plat::LText(u8"Här ställer du in ljud, utskrift, avslutning och automatisk markering.", kLine, 12, 12, 330, 10),
};
const plat::DialogItem kLauncherPreferencesItems[] = {
    plat::LText(u8"Här ställer du in ljud och utskrift; övriga inställningar tas från startprogrammet.", kLine, 12, 12,
                330, 10),
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
}

BEGIN_MESSAGE_MAP(CAdultSheet, CPropertySheet)
    ON_COMMAND(kAdultPlayButton, OnPlay)
    ON_COMMAND(kAdultQuitButton, OnQuit)
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
    const UINT ids[3] = {preferences, kActivitySettingsPage, players};
    for (int i = 0; i < 3; ++i) {
        m_pages[i] = std::make_unique<CPropertyPage>(ids[i]);
        AddPage(m_pages[i].get());
    }
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
    return result;
}

void CAdultSheet::OnPlay() {
    EndDialog(kAdultPlayButton);
}

void CAdultSheet::OnQuit() {
    EndDialog(kAdultQuitButton);
}
