// The file open and save dialog over the DOS namespace: a folder box (the path down from
// its drive, and every drive), the list of folders and of files matching the chosen filter,
// the name field, the filter box, and the checks of the OFN_ flags.
#include <algorithm>
#include <cstring>
#include <set>

#include "platform/dialogs/common_dialogs.h"
#include "platform/dialogs/dialogs_internal.h"
#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/msgbox/msgbox.h"
#include "platform/strings/cp1252.h"

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

namespace {

// The common dialog's control ids.
constexpr int kLookInLabel = 1091;
constexpr int kFolderBox = 1137;
constexpr int kFileList = 1120;
constexpr int kNameLabel = 1090;
constexpr int kNameEdit = 1152;
constexpr int kTypeLabel = 1089;
constexpr int kTypeBox = 1136;
constexpr int kReadOnly = 1040;
constexpr size_t kMaxPath = 260;
constexpr DWORD kAttrDirectory = 0x10;
constexpr DWORD kAttrHidden = 0x02;
constexpr DWORD kNoFile = 0xFFFFFFFF;

DWORD g_lastError = 0;

const plat::DialogItem kFileItems[] = {
    plat::LText(u8"&Leta i:", kLookInLabel, 7, 8, 38, 8),
    plat::ComboBox(kFolderBox, 48, 6, 158, 150, WS_VSCROLL),
    plat::ListBox(kFileList, 7, 24, 262, 78, WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT),
    plat::LText(u8"Fil&namn:", kNameLabel, 7, 110, 50, 8),
    plat::EditText(kNameEdit, 60, 108, 144, 12, ES_AUTOHSCROLL),
    plat::LText(u8"Fil&format:", kTypeLabel, 7, 128, 50, 8),
    plat::ComboBox(kTypeBox, 60, 126, 144, 80, WS_VSCROLL | WS_TABSTOP),
    plat::AutoCheckBox(u8"&Skrivskyddad", kReadOnly, 60, 144, 100, 10),
    plat::DefPushButton(u8"&Öppna", IDOK, 212, 107, 57, 14),
    plat::PushButton(u8"Avbryt", IDCANCEL, 212, 125, 57, 14),
};
const plat::DialogTemplate kFileTemplate{
    0, 0, 0, 276, 160, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"Öppna", kFileItems};

// What a row of the file list stands for.
constexpr LPARAM kParentRow = 1;
constexpr LPARAM kFolderRow = 2;
constexpr LPARAM kFileRow = 3;

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

DWORD Attributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

bool IsFolder(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != kNoFile && (a & kAttrDirectory);
}

bool Exists(const std::string& path) {
    return Attributes(path) != kNoFile;
}

bool HasWildcard(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

std::vector<std::string> SplitPatterns(const std::string& patterns) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(';', start);
        if (end == std::string::npos) end = patterns.size();
        std::string p = patterns.substr(start, end - start);
        while (!p.empty() && p.front() == ' ') p.erase(p.begin());
        while (!p.empty() && p.back() == ' ') p.pop_back();
        if (!p.empty()) out.push_back(p);
        start = end + 1;
    }
    return out;
}

// The folder of a full DOS path ("C:\" for a file in a root) and the last part.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos) return {};
    return slash == 2 && path.size() > 2 && path[1] == ':' ? path.substr(0, 3) : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsRoot(const std::string& folder) {
    return folder.size() == 3 && folder[1] == ':' && folder[2] == '\\';
}

// Names of a folder's entries matching a pattern: folders or files, without hidden ones.
std::vector<std::string> Listing(const std::string& folder, const std::string& pattern, bool folders) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(JoinPath(folder, pattern).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & kAttrHidden) continue;
        if (((data.dwFileAttributes & kAttrDirectory) != 0) == folders) names.push_back(name);
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return names;
}

void SortNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return plat::SwedishCollate(a, b) < 0; });
    names.erase(std::unique(names.begin(), names.end()), names.end());
}

std::string ExtensionOf(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace

// ---- CFileDialog --------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFileDialog, CDialog)
    ON_LBN_SELCHANGE(kFileList, OnListSelChange)
    ON_LBN_DBLCLK(kFileList, OnListDblClk)
    ON_CBN_SELCHANGE(kFolderBox, OnFolderChange)
    ON_CBN_SELCHANGE(kTypeBox, OnTypeChange)
END_MESSAGE_MAP()

CFileDialog::CFileDialog(BOOL openFileDialog, LPCSTR defaultExt, LPCSTR fileName, DWORD flags, LPCSTR filter,
                         CWnd* parent)
    : m_bOpenFileDialog(openFileDialog) {
    m_pParentWnd = parent;
    m_lpDialogTemplate = &kFileTemplate;
    m_defExt = defaultExt ? defaultExt : "";
    if (filter) {
        m_filter = filter;
        std::replace(m_filter.begin(), m_filter.end(), '|', '\0');
        m_filter.append(2, '\0');
    }
    m_file.assign(kMaxPath, '\0');
    if (fileName) std::strncpy(m_file.data(), fileName, kMaxPath - 1);
    m_title.assign(kMaxPath, '\0');
    m_ofn.lpstrFilter = filter ? m_filter.c_str() : nullptr;
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_file.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_file.size());
    m_ofn.lpstrFileTitle = m_title.data();
    m_ofn.nMaxFileTitle = static_cast<DWORD>(m_title.size());
    m_ofn.lpstrDefExt = m_defExt.empty() ? nullptr : m_defExt.c_str();
    m_ofn.Flags = flags | OFN_EXPLORER;
}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal() {
    g_lastError = 0;
    m_initialDir = m_ofn.lpstrInitialDir ? m_ofn.lpstrInitialDir : "";
    m_caption = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : (m_bOpenFileDialog ? "\xD6ppna" : "Spara som");
    if (m_ofn.hwndOwner && !m_pParentWnd) m_pParentWnd = CWnd::FromHandle(m_ofn.hwndOwner);
    return CDialog::DoModal();
}

int CFileDialog::Message(const std::string& text, UINT type) {
    return ::MessageBox(m_hWnd, text.c_str(), m_caption.c_str(), type);
}

BOOL CFileDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(m_caption.c_str());
    if (!m_bOpenFileDialog) {
        SetDlgItemText(kLookInLabel, "Spa&ra i:");
        SetDlgItemText(kTypeLabel, "Spara som &typ:");
        SetDlgItemText(IDOK, "&Spara");
    }
    if (HWND ro = ::GetDlgItem(m_hWnd, kReadOnly)) {
        if (m_ofn.Flags & OFN_HIDEREADONLY) ::ShowWindow(ro, SW_HIDE);
        ::SendMessage(ro, BM_SETCHECK, (m_ofn.Flags & OFN_READONLY) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    // The filter: description and pattern pairs, ending in an empty string.
    m_filterNames.clear();
    m_filterPatterns.clear();
    if (const char* f = m_ofn.lpstrFilter) {
        while (*f && m_filterNames.size() < 64) {
            const std::string name = f;
            f += name.size() + 1;
            const std::string pattern = f;
            f += pattern.size() + (pattern.empty() ? 0 : 1);
            m_filterNames.push_back(name);
            m_filterPatterns.push_back(pattern.empty() ? "*.*" : pattern);
            if (pattern.empty()) break;
        }
    }
    if (m_filterNames.empty()) {
        m_filterNames.push_back("");
        m_filterPatterns.push_back("*.*");
    }
    for (const std::string& n : m_filterNames) SendDlgItemMessage(kTypeBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n.c_str()));
    const int index = std::clamp(static_cast<int>(m_ofn.nFilterIndex) - 1, 0, static_cast<int>(m_filterNames.size()) - 1);
    SendDlgItemMessage(kTypeBox, CB_SETCURSEL, static_cast<WPARAM>(index));

    // Where to start: the folder of the file name given, the initial folder, else the current one.
    std::string given(m_ofn.lpstrFile ? m_ofn.lpstrFile : "", m_ofn.lpstrFile ? strnlen(m_ofn.lpstrFile, m_ofn.nMaxFile) : 0);
    std::string start;
    if (given.find_first_of("\\:") != std::string::npos) {
        if (auto full = plat::FullDosPath(given)) {
            if (IsFolder(*full)) {
                start = *full;
                given.clear();
            } else if (IsFolder(FolderOf(*full))) {
                start = FolderOf(*full);
                given = NameOf(*full);
            }
        }
    }
    if (start.empty() && !m_initialDir.empty())
        if (auto full = plat::FullDosPath(m_initialDir); full && IsFolder(*full)) start = *full;
    if (start.empty()) start = plat::CurrentDosDirectory();
    if (HasWildcard(given)) m_patternOverride = given;
    SetDlgItemText(kNameEdit, given.c_str());
    if (!GoTo(start)) GoTo("C:\\");
    if (CWnd* edit = GetDlgItem(kNameEdit)) GotoDlgCtrl(edit);
    return FALSE;
}

bool CFileDialog::GoTo(const std::string& folder) {
    auto full = plat::FullDosPath(folder);
    if (!full || !IsFolder(*full)) return false;
    m_folder = *full;
    FillFolderBox();
    FillList();
    return true;
}

void CFileDialog::FillFolderBox() {
    SendDlgItemMessage(kFolderBox, CB_RESETCONTENT);
    m_folderPaths.clear();
    const DWORD drives = GetLogicalDrives();
    int current = 0;
    for (int d = 0; d < 26; ++d) {
        if (!(drives & (1u << d))) continue;
        const char letter = static_cast<char>('A' + d);
        const std::string root = std::string(1, letter) + ":\\";
        SendDlgItemMessage(kFolderBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(root.c_str()));
        m_folderPaths.push_back(root);
        if (plat::ToUpper1252(static_cast<uint8_t>(m_folder[0])) != static_cast<uint8_t>(letter)) continue;
        current = static_cast<int>(m_folderPaths.size()) - 1;
        // The path down to the folder, one row a level, indented.
        std::string path = root;
        std::string rest = m_folder.size() > 3 ? m_folder.substr(3) : std::string();
        int depth = 1;
        while (!rest.empty()) {
            const size_t slash = rest.find('\\');
            const std::string part = rest.substr(0, slash);
            rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
            path = JoinPath(path, part);
            const std::string row = std::string(static_cast<size_t>(depth) * 3, ' ') + part;
            SendDlgItemMessage(kFolderBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
            m_folderPaths.push_back(path);
            current = static_cast<int>(m_folderPaths.size()) - 1;
            ++depth;
        }
    }
    SendDlgItemMessage(kFolderBox, CB_SETCURSEL, static_cast<WPARAM>(current));
}

void CFileDialog::FillList() {
    SendDlgItemMessage(kFileList, LB_RESETCONTENT);
    auto add = [&](const std::string& text, LPARAM kind) {
        const LRESULT i = SendDlgItemMessage(kFileList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (i >= 0) SendDlgItemMessage(kFileList, LB_SETITEMDATA, static_cast<WPARAM>(i), kind);
    };
    if (!IsRoot(m_folder)) add("[..]", kParentRow);
    std::vector<std::string> folders = Listing(m_folder, "*.*", true);
    SortNames(folders);
    for (const std::string& f : folders) add("[" + f + "]", kFolderRow);
    const LRESULT type = SendDlgItemMessage(kTypeBox, CB_GETCURSEL);
    std::string patterns = m_patternOverride;
    if (patterns.empty() && type >= 0 && static_cast<size_t>(type) < m_filterPatterns.size())
        patterns = m_filterPatterns[static_cast<size_t>(type)];
    std::vector<std::string> files;
    for (const std::string& p : SplitPatterns(patterns.empty() ? "*.*" : patterns)) {
        const std::vector<std::string> found = Listing(m_folder, p, false);
        files.insert(files.end(), found.begin(), found.end());
    }
    SortNames(files);
    for (const std::string& f : files) add(f, kFileRow);
}

void CFileDialog::OnListSelChange() {
    const LRESULT i = SendDlgItemMessage(kFileList, LB_GETCURSEL);
    if (i < 0 || SendDlgItemMessage(kFileList, LB_GETITEMDATA, static_cast<WPARAM>(i)) != kFileRow) return;
    char name[kMaxPath] = {};
    if (SendDlgItemMessage(kFileList, LB_GETTEXTLEN, static_cast<WPARAM>(i)) >= static_cast<LRESULT>(kMaxPath)) return;
    SendDlgItemMessage(kFileList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
    SetDlgItemText(kNameEdit, name);
}

void CFileDialog::OnListDblClk() {
    const LRESULT i = SendDlgItemMessage(kFileList, LB_GETCURSEL);
    if (i < 0) return;
    const LRESULT kind = SendDlgItemMessage(kFileList, LB_GETITEMDATA, static_cast<WPARAM>(i));
    if (SendDlgItemMessage(kFileList, LB_GETTEXTLEN, static_cast<WPARAM>(i)) >= static_cast<LRESULT>(kMaxPath)) return;
    char text[kMaxPath] = {};
    SendDlgItemMessage(kFileList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    const std::string row = text;
    if (kind == kParentRow) {
        GoTo(FolderOf(m_folder));
    } else if (kind == kFolderRow && row.size() > 2) {
        GoTo(JoinPath(m_folder, row.substr(1, row.size() - 2)));
    } else if (kind == kFileRow) {
        SetDlgItemText(kNameEdit, row.c_str());
        if (Accept(row)) EndDialog(IDOK);
    }
}

void CFileDialog::OnFolderChange() {
    const LRESULT i = SendDlgItemMessage(kFolderBox, CB_GETCURSEL);
    if (i >= 0 && static_cast<size_t>(i) < m_folderPaths.size()) GoTo(m_folderPaths[static_cast<size_t>(i)]);
}

void CFileDialog::OnTypeChange() {
    m_patternOverride.clear();
    FillList();
}

void CFileDialog::OnOK() {
    // Enter on a folder of the list opens it.
    if (::GetFocus() == ::GetDlgItem(m_hWnd, kFileList)) {
        const LRESULT i = SendDlgItemMessage(kFileList, LB_GETCURSEL);
        const LRESULT kind = i >= 0 ? SendDlgItemMessage(kFileList, LB_GETITEMDATA, static_cast<WPARAM>(i)) : 0;
        if (kind == kParentRow || kind == kFolderRow) {
            OnListDblClk();
            return;
        }
    }
    CString typed;
    GetDlgItemText(kNameEdit, typed);
    if (typed.IsEmpty()) {
        MessageBeep(0);
        return;
    }
    if (Accept(typed.Str())) EndDialog(IDOK);
}

bool CFileDialog::Accept(std::string typed) {
    while (!typed.empty() && typed.front() == ' ') typed.erase(typed.begin());
    while (!typed.empty() && typed.back() == ' ') typed.pop_back();
    if (typed.size() >= 2 && typed.front() == '"' && typed.back() == '"') typed = typed.substr(1, typed.size() - 2);
    if (typed.empty()) return false;
    if (HasWildcard(typed)) {
        const std::string folder = FolderOf(typed);
        if (!folder.empty()) GoTo(typed.find(':') != std::string::npos ? folder : JoinPath(m_folder, folder));
        m_patternOverride = NameOf(typed);
        FillList();
        return false;
    }
    const bool absolute = typed.find(':') != std::string::npos || typed.front() == '\\';
    std::optional<std::string> resolved = plat::FullDosPath(absolute ? typed : JoinPath(m_folder, typed));
    if (!resolved || resolved->size() >= kMaxPath) {
        Message(typed + "\nFilnamnet \xE4r ogiltigt.", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    std::string full = *resolved;
    if (IsFolder(full)) {
        GoTo(full);
        SetDlgItemText(kNameEdit, "");
        return false;
    }
    const std::string folder = FolderOf(full);
    if (!IsFolder(folder)) {
        Message(typed + "\nS\xF6kv\xE4gen finns inte.\nKontrollera att r\xE4tt s\xF6kv\xE4g angavs.", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (ExtensionOf(NameOf(full)).empty() && !m_defExt.empty() && !(m_bOpenFileDialog && Exists(full)))
        full += "." + m_defExt;
    if (m_bOpenFileDialog && (m_ofn.Flags & OFN_FILEMUSTEXIST) && !Exists(full)) {
        Message(NameOf(full) + "\nFilen hittades inte.\nKontrollera att r\xE4tt filnamn angavs.", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!m_bOpenFileDialog && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && Exists(full) &&
        Message(full + " finns redan.\nVill du ers\xE4tta den?", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return false;
    // The result, in the caller's buffers.
    if (!m_ofn.lpstrFile || full.size() + 1 > m_ofn.nMaxFile) {
        g_lastError = FNERR_BUFFERTOOSMALL;
        EndDialog(IDCANCEL);
        return false;
    }
    std::memcpy(m_ofn.lpstrFile, full.c_str(), full.size() + 1);
    const std::string name = NameOf(full);
    m_ofn.nFileOffset = static_cast<WORD>(full.size() - name.size());
    const size_t dot = name.find_last_of('.');
    m_ofn.nFileExtension = static_cast<WORD>(dot == std::string::npos ? full.size() : m_ofn.nFileOffset + dot + 1);
    if (m_ofn.lpstrFileTitle && m_ofn.nMaxFileTitle > 0)
        lstrcpynA(m_ofn.lpstrFileTitle, name.c_str(), static_cast<int>(m_ofn.nMaxFileTitle));
    m_ofn.nFilterIndex = static_cast<DWORD>(std::max<LRESULT>(0, SendDlgItemMessage(kTypeBox, CB_GETCURSEL)) + 1);
    if (IsDlgButtonChecked(kReadOnly))
        m_ofn.Flags |= OFN_READONLY;
    else
        m_ofn.Flags &= ~OFN_READONLY;
    const std::string ext = ExtensionOf(name);
    if (!m_defExt.empty() && !plat::EqualNoCase1252(ext, m_defExt))
        m_ofn.Flags |= OFN_EXTENSIONDIFFERENT;
    else
        m_ofn.Flags &= ~OFN_EXTENSIONDIFFERENT;
    if (OnFileNameOK()) return false;
    if (!(m_ofn.Flags & OFN_NOCHANGEDIR)) plat::SetCurrentDosDirectory(folder);
    return true;
}

BOOL CFileDialog::OnFileNameOK() {
    return FALSE;
}

CString CFileDialog::GetPathName() const {
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const {
    const CString path = GetPathName();
    return m_ofn.nFileOffset < path.GetLength() ? path.Mid(m_ofn.nFileOffset) : CString();
}

CString CFileDialog::GetFileExt() const {
    const CString path = GetPathName();
    return m_ofn.nFileExtension > 0 && m_ofn.nFileExtension < path.GetLength() ? path.Mid(m_ofn.nFileExtension)
                                                                               : CString();
}

CString CFileDialog::GetFileTitle() const {
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}

// ---- The Windows calls --------------------------------------------------------------------------

namespace {
BOOL RunFileDialog(OPENFILENAME* ofn, bool open) {
    g_lastError = 0;
    if (!ofn || !ofn->lpstrFile || ofn->nMaxFile == 0) {
        g_lastError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    CFileDialog dlg(open ? TRUE : FALSE, ofn->lpstrDefExt, nullptr, ofn->Flags, nullptr,
                    ofn->hwndOwner ? CWnd::FromHandle(ofn->hwndOwner) : nullptr);
    dlg.m_ofn.lpstrFilter = ofn->lpstrFilter;
    dlg.m_ofn.nFilterIndex = ofn->nFilterIndex;
    dlg.m_ofn.lpstrInitialDir = ofn->lpstrInitialDir;
    dlg.m_ofn.lpstrTitle = ofn->lpstrTitle;
    lstrcpynA(dlg.m_ofn.lpstrFile, ofn->lpstrFile, static_cast<int>(std::min<DWORD>(ofn->nMaxFile, dlg.m_ofn.nMaxFile)));
    if (dlg.DoModal() != IDOK) return FALSE;
    const CString path = dlg.GetPathName();
    if (static_cast<DWORD>(path.GetLength()) + 1 > ofn->nMaxFile) {
        g_lastError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    std::memcpy(ofn->lpstrFile, static_cast<LPCSTR>(path), static_cast<size_t>(path.GetLength()) + 1);
    ofn->nFileOffset = dlg.m_ofn.nFileOffset;
    ofn->nFileExtension = dlg.m_ofn.nFileExtension;
    ofn->nFilterIndex = dlg.m_ofn.nFilterIndex;
    ofn->Flags = (ofn->Flags & ~(OFN_READONLY | OFN_EXTENSIONDIFFERENT)) |
                 (dlg.m_ofn.Flags & (OFN_READONLY | OFN_EXTENSIONDIFFERENT));
    if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0)
        lstrcpynA(ofn->lpstrFileTitle, dlg.GetFileName(), static_cast<int>(ofn->nMaxFileTitle));
    return TRUE;
}
}  // namespace

BOOL GetOpenFileName(OPENFILENAME* ofn) {
    return RunFileDialog(ofn, true);
}

BOOL GetSaveFileName(OPENFILENAME* ofn) {
    return RunFileDialog(ofn, false);
}

DWORD CommDlgExtendedError() {
    return g_lastError;
}

namespace plat::dlg {
void SetCommDlgError(DWORD code) {
    g_lastError = code;
}
}  // namespace plat::dlg
