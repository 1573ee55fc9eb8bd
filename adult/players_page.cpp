#include "adult/players_page.h"

#include <algorithm>

#include "adult/adult_sheet.h"
#include "adult/adult_strings.h"
#include "engine/players/app_prefs.h"
#include "engine/players/player_strings.h"
#include "engine/players/prefs_file.h"
#include "platform/afx/message_box.h"
#include "platform/afx/string_table.h"
#include "platform/fs/winfile.h"
#include "platform/afxwin/afxwin.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/profile/profile.h"
#include "platform/strings/cp1252.h"

using namespace players_ids;

namespace {

constexpr UINT kLauncherPlayersTemplate = 165;
constexpr int kTypedTextLimit = 31;
constexpr const char* kNoPlayerFolder =
    "Could neither create a path for the user, nor create a public directory.\nCould not add user";
constexpr const char* kFileErrorCaption = "File Error";
constexpr const char* kAddUserCaption = "Add User";
constexpr const char* kNewUserCaption = "New User";

std::string LoadText(UINT id) {
    CString text;
    text.LoadString(id);
    return std::string(static_cast<const char*>(text));
}

// The edit's text as typed, at most kTypedTextLimit characters.
std::string TypedText(CEdit& edit) {
    CString text;
    edit.GetWindowText(text);
    std::string typed(static_cast<const char*>(text));
    if (typed.size() > kTypedTextLimit) typed.resize(kTypedTextLimit);
    return typed;
}

std::vector<std::string> ListRows(const CListBox& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.GetCount(); ++i) {
        CString text;
        list.GetText(i, text);
        rows.emplace_back(static_cast<const char*>(text));
    }
    return rows;
}

// Shows why a typed name cannot be taken; true when the name is good.
bool NameAccepted(CDialog& dialog, CEdit& edit, NameCheck check, bool reselect) {
    switch (check) {
        case NameCheck::Ok:
            return true;
        case NameCheck::TooLong:
            AfxMessageBox(kIdsNameTooLong, MB_OK | MB_ICONINFORMATION);
            return false;
        case NameCheck::BadSign:
            dialog.MessageBox(LoadText(kIdsNameBadSign).c_str(), kAddUserCaption, MB_OK | MB_ICONINFORMATION);
            if (reselect) {
                edit.SetSel(0, -1);
                edit.SetFocus();
            }
            return false;
        case NameCheck::Empty:
            return false;
        case NameCheck::Taken:
            dialog.MessageBox(LoadText(kIdsNameTaken).c_str(), kNewUserCaption, MB_OK | MB_ICONINFORMATION);
            return false;
    }
    return false;
}

// The list's key for a name and its folder value.
std::string ListSection() { return PlayerString(kIdsUserListSection); }

std::string WithoutBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

}  // namespace

bool IsNameCharacter(uint8_t ch) {
    if (ch == 8) return true;
    if (ch == 0) return false;
    if ((ch >= '0' && ch <= '9') || plat::IsAlpha1252(ch)) return true;
    return kPlayerNameSigns.find(static_cast<char>(ch)) != std::string_view::npos;
}

std::string TrimName(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

NameCheck CheckPlayerName(const std::string& name, const std::vector<std::string>& rows, int skipRow) {
    if (name.size() > static_cast<size_t>(kMaxTypedNameLength)) return NameCheck::TooLong;
    for (const char c : name) {
        const auto byte = static_cast<uint8_t>(c);
        if (c == '=' || c == '[' || c == ']' || byte == 8 || !IsNameCharacter(byte)) return NameCheck::BadSign;
    }
    if (name.empty()) return NameCheck::Empty;
    if (!IsValidPlayerName(name)) return NameCheck::BadSign;
    for (size_t i = 0; i < rows.size(); ++i)
        if (static_cast<int>(i) != skipRow && plat::EqualNoCase1252(rows[i], name)) return NameCheck::Taken;
    return NameCheck::Ok;
}

// ---------------------------------------------------------------------------------------------
// CUserNameEdit

BEGIN_MESSAGE_MAP(CUserNameEdit, CEdit)
    ON_WM_CHAR()
END_MESSAGE_MAP()

void CUserNameEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
    if (ch > 0xFF || !IsNameCharacter(static_cast<uint8_t>(ch))) return;
    CEdit::OnChar(ch, repeat, flags);
}

// ---------------------------------------------------------------------------------------------
// CAddUserDlg

CAddUserDlg::CAddUserDlg(CWnd* parent, CListBox* list, std::vector<PlayerEntry>* players, int* playerCount,
                         std::string listPath, CPageUserNames* page)
    : CDialog(kAddUserDialog, parent),
      m_list(list),
      m_players(players),
      m_playerCount(playerCount),
      m_listPath(std::move(listPath)),
      m_page(page) {
    m_guestName.LoadString(kIdsGuestName);
}

BOOL CAddUserDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_edit.SubclassDlgItem(kAddEdit, this);
    m_edit.LimitText(kMaxTypedNameLength);
    return TRUE;
}

void CAddUserDlg::OnOK() {
    m_name = TrimName(TypedText(m_edit));
    if (!NameAccepted(*this, m_edit, CheckPlayerName(m_name, ListRows(*m_list), -1), true)) return;
    if (*m_playerCount < 0 || *m_playerCount >= static_cast<int>(m_players->size())) {
        AfxMessageBox(kIdsTooManyPlayers, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    PlayerEntry& entry = (*m_players)[static_cast<size_t>(*m_playerCount)];
    entry = PlayerEntry{m_name, {}};
    if (!AddUser(AfxGetInstanceHandle(), entry, m_listPath.c_str(), false)) {
        entry = PlayerEntry{};
        MessageBox(kNoPlayerFolder, kFileErrorCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    m_list->DeleteString(0);
    m_list->AddString(m_name.c_str());
    m_page->GuestFirst();
    const int row = m_list->FindStringExact(-1, m_name.c_str());
    m_list->SetCurSel(row);
    ++*m_playerCount;
    m_page->ListChanged();
    EndDialog(IDOK);
}

// ---------------------------------------------------------------------------------------------
// CRenameUserDlg

CRenameUserDlg::CRenameUserDlg(CWnd* parent, CPageUserNames* page) : CDialog(kRenameUserDialog, parent), m_page(page) {
    m_guestName.LoadString(kIdsGuestName);
}

BOOL CRenameUserDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_edit.SubclassDlgItem(kRenameEdit, this);
    m_edit.LimitText(kMaxTypedNameLength);
    return TRUE;
}

void CRenameUserDlg::OnOK() {
    CListBox& list = m_page->m_list;
    const int row = list.GetCurSel();
    if (row < 0) return;
    m_name = TrimName(TypedText(m_edit));
    if (!NameAccepted(*this, m_edit, CheckPlayerName(m_name, ListRows(list), row), false)) return;
    CString oldText;
    list.GetText(row, oldText);
    const std::string oldName(static_cast<const char*>(oldText));
    const std::string& listPath = m_page->m_listPath;
    const std::string section = ListSection();

    // The name file lies in the folder the old key names (none when that names no folder of
    // the player's own); the key moves to the new name with the same folder.
    char playerFolder[MAX_PATH] = {};
    const bool haveFolder = GetPlayerPrefsPath(oldName.c_str(), playerFolder, sizeof playerFolder) != 0;
    char value[MAX_PATH + 1] = {};
    GetPrivateProfileStringA(section.c_str(), oldName.c_str(), "", value, sizeof value - 1, listPath.c_str());
    WritePrivateProfileStringA(section.c_str(), oldName.c_str(), nullptr, listPath.c_str());
    WritePrivateProfileStringA(section.c_str(), m_name.c_str(), value, listPath.c_str());
    if (haveFolder) {
        const std::string nameFile = std::string(playerFolder) + PlayerString(kIdsNameFile);
        WritePrivateProfileStringA(PlayerString(kIdsNameSection).c_str(), PlayerString(kIdsNameKey).c_str(),
                                   m_name.c_str(), nameFile.c_str());
    }
    for (PlayerEntry& entry : m_page->m_players)
        if (entry.name == oldName) entry.name = m_name;

    list.DeleteString(static_cast<UINT>(row));
    list.DeleteString(0);
    list.AddString(m_name.c_str());
    m_page->GuestFirst();
    list.SetCurSel(list.FindStringExact(-1, m_name.c_str()));
    m_page->ListChanged();
    EndDialog(IDOK);
}

// ---------------------------------------------------------------------------------------------
// CPageUserNames

IMPLEMENT_DYNCREATE(CPageUserNames, CPropertyPage)

BEGIN_MESSAGE_MAP(CPageUserNames, CPropertyPage)
    ON_BN_CLICKED(kAdd, OnAdd)
    ON_BN_CLICKED(kRename, OnRename)
    ON_BN_CLICKED(kRemove, OnRemove)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CPageUserNames::CPageUserNames() : m_players(kMaxPlayers) {
    m_guestName.LoadString(kIdsGuestName);
}

CPageUserNames::CPageUserNames(UINT templateId) : CPropertyPage(templateId), m_players(kMaxPlayers) {
    m_guestName.LoadString(kIdsGuestName);
}

bool CPageUserNames::LauncherMode() const {
    return m_nIDTemplate == kLauncherPlayersTemplate;
}

void CPageUserNames::DoDataExchange(CDataExchange* dx) {
    CPropertyPage::DoDataExchange(dx);
    if (LauncherMode()) return;
    if (!dx->m_bSaveAndValidate) m_selfAdd = m_selfAdd != 0 ? 1 : 0;
    DDX_Check(dx, kSelfAdd, m_selfAdd);
    DDX_Control(dx, kList, m_list);
    DDX_Control(dx, kAdd, m_add);
}

BOOL CPageUserNames::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    if (LauncherMode()) return TRUE;
    m_baseFolder = GetAppPrefs().installPath;
    if (!GetPlayerListPath(m_listPath)) m_listPath.clear();
    m_currentName = GetAppPrefs().GetCurrentUser();
    FillList();
    return TRUE;
}

void CPageUserNames::SelectCurrentOnPaint(int) {
    if (!LauncherMode()) m_selectCurrentOnPaint = 1;
}

std::vector<std::string> CPageUserNames::Rows() const {
    return m_list.m_hWnd ? ListRows(m_list) : std::vector<std::string>{};
}

void CPageUserNames::ListChanged() {
    CWnd* parent = m_hWnd ? GetParent() : nullptr;
    if (parent && parent->IsKindOf(RUNTIME_CLASS(CAdultSheet)))
        static_cast<CAdultSheet*>(parent)->m_activityPage.MarkListChanged(1);
}

void CPageUserNames::GuestFirst() {
    const std::string guest(static_cast<const char*>(m_guestName));
    const std::vector<std::string> rows = ListRows(m_list);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] != guest) continue;
        if (i == 0) return;
        m_list.DeleteString(static_cast<UINT>(i));
        break;
    }
    m_list.InsertString(0, guest.c_str());
}

void CPageUserNames::SelectName(const std::string& name) {
    const int row = m_list.FindStringExact(-1, name.c_str());
    m_list.SetCurSel(row >= 0 ? row : 0);
}

void CPageUserNames::FillList() {
    if (!m_list.m_hWnd) return;
    m_list.ResetContent();
    m_players.assign(kMaxPlayers, PlayerEntry{});
    m_playerCount = m_listPath.empty() ? 0 : LoadUserList(AfxGetInstanceHandle(), m_players, m_listPath.c_str());
    const std::string guest(static_cast<const char*>(m_guestName));
    if (m_playerCount > 0) {
        for (int i = 0; i < m_playerCount; ++i) m_list.AddString(m_players[static_cast<size_t>(i)].name.c_str());
        // The guest on top: its row found by its whole name, in any case, as the list folds it.
        const std::vector<std::string> rows = ListRows(m_list);
        for (size_t i = 1; i < rows.size(); ++i) {
            if (!plat::EqualNoCase1252(rows[i], guest)) continue;
            m_list.DeleteString(static_cast<UINT>(i));
            m_list.InsertString(0, rows[i].c_str());
            break;
        }
    } else {
        m_list.InsertString(0, guest.c_str());
        m_list.SetCurSel(0);
        m_players[0] = PlayerEntry{guest, {}};
        if (m_listPath.empty() || !AddUser(AfxGetInstanceHandle(), m_players[0], m_listPath.c_str(), false)) {
            MessageBox(kNoPlayerFolder, kFileErrorCaption, MB_OK | MB_ICONINFORMATION);
            return;
        }
    }
    const std::string& current = GetAppPrefs().GetCurrentUser();
    const auto found = std::find_if(m_players.begin(), m_players.begin() + std::max(m_playerCount, 0),
                                    [&](const PlayerEntry& e) { return e.name == current; });
    if (found != m_players.begin() + std::max(m_playerCount, 0))
        SelectName(found->name);
    else
        m_list.SetCurSel(0);
}

void CPageUserNames::OnAdd() {
    if (LauncherMode() || !m_list.m_hWnd) return;
    if (m_list.GetCount() >= kMaxListedPlayers) {
        m_add.EnableWindow(FALSE);
        AfxMessageBox(kIdsTooManyPlayers, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CAddUserDlg add(GetParent(), &m_list, &m_players, &m_playerCount, m_listPath, this);
    add.DoModal();
}

void CPageUserNames::OnRename() {
    if (LauncherMode() || !m_list.m_hWnd) return;
    const int row = m_list.GetCurSel();
    if (row < 0) return;
    CString text;
    m_list.GetText(row, text);
    const std::string name(static_cast<const char*>(text));
    if (row == 0 || name == static_cast<const char*>(m_guestName)) {
        AfxMessageBox(kIdsCannotRenameGuest, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The player playing now, and the one who plays again when the sheet closes.
    if (plat::EqualNoCase1252(name, GetAppPrefs().GetCurrentUser()) || plat::EqualNoCase1252(name, m_currentName)) {
        AfxMessageBox(kIdsCannotRenameCurrent, MB_OK | MB_ICONINFORMATION);
        return;
    }
    CRenameUserDlg rename(GetParent(), this);
    rename.DoModal();
}

void CPageUserNames::OnRemove() {
    if (LauncherMode() || !m_list.m_hWnd) return;
    const int row = m_list.GetCurSel();
    if (row < 0) return;
    CString text;
    m_list.GetText(row, text);
    const std::string name(static_cast<const char*>(text));
    if (row == 0 || name == static_cast<const char*>(m_guestName)) {
        AfxMessageBox(kIdsCannotRemoveGuest, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (plat::EqualNoCase1252(name, GetAppPrefs().GetCurrentUser()) || plat::EqualNoCase1252(name, m_currentName)) {
        AfxMessageBox(kIdsCannotRemoveCurrent, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CString question;
    AfxFormatString1(question, kIdsRemovePlayer, name.c_str());
    if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;

    // Only a folder of the player's own is emptied: a key without a value, or one naming the
    // game folder, a root or another player's folder, deletes nothing.
    char folder[MAX_PATH] = {};
    char file[64] = {};
    if (GetPlayerPrefsPath(name.c_str(), folder, sizeof folder) && GetPrefsFileName(file, sizeof file)) {
        const std::string prefs = std::string(folder) + file;
        const std::string nameFile = std::string(folder) + PlayerString(kIdsNameFile);
        if (DeleteFileA(prefs.c_str()) && DeleteFileA(nameFile.c_str()))
            RemoveDirectoryA(WithoutBackslash(folder).c_str());
    }
    WritePrivateProfileStringA(ListSection().c_str(), name.c_str(), nullptr, m_listPath.c_str());
    m_list.DeleteString(static_cast<UINT>(row));
    // The table keeps only listed players, so the next add takes a free entry.
    const auto end = m_players.begin() + std::max(m_playerCount, 0);
    const auto gone = std::find_if(m_players.begin(), end, [&](const PlayerEntry& e) { return e.name == name; });
    if (gone != end) {
        std::rotate(gone, gone + 1, end);
        *(end - 1) = PlayerEntry{};
        --m_playerCount;
    }
    ListChanged();
    m_list.SetCurSel(0);
    if (m_list.GetCount() < kMaxListedPlayers) m_add.EnableWindow(TRUE);
}

void CPageUserNames::OnPaint() {
    if (m_selectCurrentOnPaint && !LauncherMode() && m_list.m_hWnd) {
        m_selectCurrentOnPaint = 0;
        SelectName(GetAppPrefs().GetCurrentUser());
    }
    CPropertyPage::OnPaint();
}

void CPageUserNames::OnLButtonDown(UINT flags, CPoint point) {
    if (LauncherMode()) return;
    CPropertyPage::OnLButtonDown(flags, point);
}
