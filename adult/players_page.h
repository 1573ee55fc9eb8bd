// The grown-ups' third page, "Användare" (template 135; 165 in launcher mode, a notice only and
// every operation inert): the game's players with the guest first, adding ("Lägg till", 181),
// renaming ("Byt namn på användare", 180) and removing a player, and the check box that lets
// new players add themselves (the sheet copies it into the record's +0x30).
//
// The players are the section "User List" of "Zelbo.ini" in the game folder (a key per name,
// its value the player's folder); each folder holds the player's preference file and
// "SETTINGS.INI" naming the player. Every change is made at once, not when the sheet closes.
//
// A name is a player list key: blanks at both ends are dropped (a key would lose them), and at
// OK the whole name must consist of the letters of Windows-1252, digits and the signs
// kPlayerNameSigns, at most 15 characters, and pass IsValidPlayerName; names compare as the
// list's keys do, without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/players/player_list.h"
#include "platform/controls/controls.h"
#include "platform/dialogs/property_sheet.h"

inline constexpr UINT kRenameUserDialog = 180;
inline constexpr UINT kAddUserDialog = 181;
inline constexpr int kMaxListedPlayers = 90;
inline constexpr int kMaxTypedNameLength = 15;

namespace players_ids {
inline constexpr int kRenameEdit = 1054;
inline constexpr int kRename = 1054;
inline constexpr int kRemove = 1055;
inline constexpr int kSelfAdd = 1058;
inline constexpr int kList = 1063;
inline constexpr int kLauncherNote = 1066;
inline constexpr int kRenameLabel = 1077;
inline constexpr int kAdd = 1152;
inline constexpr int kAddEdit = 1152;
}  // namespace players_ids

// The signs a name may hold besides letters and digits.
inline constexpr std::string_view kPlayerNameSigns = "_-+., !)(#&=<>?'";

// Whether a typed character may go into a name (backspace too); "[", "]" and the rest never.
bool IsNameCharacter(uint8_t ch);
// Blanks at both ends dropped.
std::string TrimName(std::string_view text);

// What OK makes of a typed name, in the order the checks run.
enum class NameCheck { Ok, TooLong, BadSign, Empty, Taken };
// `rows`: the list's names; `skipRow` the renamed player's own row (-1: none).
NameCheck CheckPlayerName(const std::string& name, const std::vector<std::string>& rows, int skipRow);

// An edit that takes only the characters of a name.
class CUserNameEdit : public CEdit {
protected:
    afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
    DECLARE_MESSAGE_MAP()
};

class CPageUserNames;

class CAddUserDlg : public CDialog {
public:
    CAddUserDlg(CWnd* parent, CListBox* list, std::vector<PlayerEntry>* players, int* playerCount,
                std::string listPath, CPageUserNames* page);
    BOOL OnInitDialog() override;
    void OnOK() override;

    CString m_guestName;
    CUserNameEdit m_edit;
    std::string m_name;

private:
    CListBox* m_list;
    std::vector<PlayerEntry>* m_players;
    int* m_playerCount;
    std::string m_listPath;
    CPageUserNames* m_page;
};

class CRenameUserDlg : public CDialog {
public:
    CRenameUserDlg(CWnd* parent, CPageUserNames* page);
    BOOL OnInitDialog() override;
    void OnOK() override;

    CString m_guestName;
    CUserNameEdit m_edit;
    std::string m_name;

private:
    CPageUserNames* m_page;
};

class CPageUserNames : public CPropertyPage {
    DECLARE_DYNCREATE(CPageUserNames)
public:
    CPageUserNames();
    explicit CPageUserNames(UINT templateId);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    // Normal mode: the current player is selected at the page's next paint.
    void SelectCurrentOnPaint(int flag);
    bool LauncherMode() const;
    // The list's names, top to bottom.
    std::vector<std::string> Rows() const;
    // Tells the activity page that the player list changed.
    void ListChanged();
    // Guest at row 0 again after the list box sorted a change in: the guest's row (found by its
    // whole name) is put back on top.
    void GuestFirst();

    std::string m_listPath;
    CString m_guestName;
    CListBox m_list;
    std::string m_currentName;
    CButton m_add;
    int m_selfAdd = 1;
    int m_selectCurrentOnPaint = 0;
    std::vector<PlayerEntry> m_players;
    int m_playerCount = 0;
    std::string m_baseFolder;

protected:
    afx_msg void OnAdd();
    afx_msg void OnRename();
    afx_msg void OnRemove();
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void FillList();
    void SelectName(const std::string& name);
};
