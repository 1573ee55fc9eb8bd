#include "setup/setwell/install_dir_dlg.h"

#include <algorithm>
#include <cctype>

#include "platform/afx/string_table.h"
#include "platform/fs/winfile.h"
#include "setup/common/install_paths.h"
#include "setup/common/script_text.h"
#include "setup/setwell/background_wnd.h"
#include "setup/setwell/setwell_strings.h"

namespace setup {

IMPLEMENT_DYNAMIC(CInstallDirDlg, CDialog)

BEGIN_MESSAGE_MAP(CInstallDirDlg, CDialog)
    ON_WM_QUERYNEWPALETTE()
    ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

namespace {

// Room the edit control leaves for the product's folders under the install folder.
constexpr int kPathRoom = 232;
constexpr uint32_t kBytesPerMb = 1024000;

}  // namespace

bool IsValidInstallPath(std::string_view path) {
    if (path.size() <= 1) return false;
    if (path.find_first_of("*?<>\"|") != std::string_view::npos) return false;
    if (path[1] != ':') return false;
    return path.size() <= 2 || path[2] == '\\';
}

uint64_t FreeBytes(DWORD sectorsPerCluster, DWORD bytesPerSector, DWORD freeClusters) {
    return uint64_t{freeClusters} * bytesPerSector * sectorsPerCluster;
}

CInstallDirDlg::CInstallDirDlg(CWnd* parent) : CDialog(kInstallDirDialog, parent) {}

CInstallDirDlg::~CInstallDirDlg() = default;

void CInstallDirDlg::SetFields(const InstallDirFields& fields) { m_fields = fields; }

BOOL CInstallDirDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(m_fields.caption.c_str());
    const int limit = std::max<int>(1, kPathRoom - static_cast<int>(m_fields.productDir.size()));
    SendDlgItemMessage(kIdcInstallPath, EM_LIMITTEXT, static_cast<WPARAM>(limit));
    SetDlgItemText(kIdcInstallPath, m_fields.initialPath.c_str());
    SetDlgItemText(kIdcInstallMessage, m_fields.message.c_str());
    CenterWindow();
    return TRUE;
}

int CInstallDirDlg::AskText(const CString& text, UINT captionId, UINT type) {
    CString caption;
    caption.LoadString(captionId);
    return MessageBox(text, caption, type);
}

int CInstallDirDlg::Ask(UINT textId, const char* s1, const char* s2, UINT captionId, UINT type) {
    CString text;
    AfxFormatString2(text, textId, s1, s2);
    return AskText(text, captionId, type);
}

void CInstallDirDlg::OnOK() {
    char buffer[MAX_PATH] = {};
    GetDlgItemText(kIdcInstallPath, buffer, sizeof buffer);
    std::string path = buffer;
    TrimBlanks(path);
    if (!path.empty() && path.back() == '\\') path.pop_back();

    if (!IsValidInstallPath(path)) {
        MessageBeep(MB_ICONEXCLAMATION);
        Ask(kIdsEnterDriveAndPath, nullptr, nullptr, kIdsProblemCaption, MB_ICONEXCLAMATION);
        return;
    }
    if (!CheckDrive(path) || !CheckFreeSpace(path) || !ConfirmOverExisting(path) || !EnsureFolder(path)) return;
    m_chosenPath = path;
    EndDialog(IDOK);
}

bool CInstallDirDlg::CheckDrive(const std::string& path) {
    const std::string root = path.substr(0, 1) + ":\\";
    const UINT type = GetDriveTypeA(root.c_str());
    if (type != DRIVE_FIXED && type != DRIVE_REMOTE) {
        MessageBeep(MB_ICONEXCLAMATION);
        Ask(kIdsInvalidDrive, path.substr(0, 1).c_str(), nullptr, kIdsProblemCaption, MB_ICONHAND);
        return false;
    }
    // Every other fixed drive is the host's own file system, which an installation never
    // touches; a folder on C: that is a link leading there counts where it leads.
    if (std::toupper(static_cast<unsigned char>(path[0])) != 'C' || !IsOnInstallDrive(path)) {
        MessageBeep(MB_ICONEXCLAMATION);
        Ask(kIdsEnterDriveAndPath, nullptr, nullptr, kIdsProblemCaption, MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool CInstallDirDlg::CheckFreeSpace(const std::string& path) {
    const std::string root = path.substr(0, 1) + ":\\";
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters);
    const uint64_t free = FreeBytes(sectorsPerCluster, bytesPerSector, freeClusters);
    const uint32_t needed = static_cast<uint32_t>(m_fields.productSize);
    // Without a size from the script nothing is known to fit.
    if (m_fields.productSize != -1 && free >= needed) return true;

    const std::string neededMb = std::to_string(needed / kBytesPerMb);
    const std::string freeMb = std::to_string(free / kBytesPerMb);
    const std::string drive(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))));
    CString first, second;
    AfxFormatString2(first, kIdsNeedsSpace, m_fields.productName.c_str(), neededMb.c_str());
    AfxFormatString2(second, kIdsFreeSpace, freeMb.c_str(), drive.c_str());
    AskText(first + second, kIdsProblemCaption, MB_ICONHAND);
    return false;
}

bool CInstallDirDlg::ConfirmOverExisting(const std::string& path) {
    const std::string program = path + "\\" + m_fields.productDir + "\\" + m_fields.productExe + ".exe";
    if (!FileExists(program)) return true;
    MessageBeep(MB_ICONEXCLAMATION);
    return Ask(kIdsAlreadyInstalledAt, m_fields.productName.c_str(), path.c_str(), kIdsProblemCaption,
               MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

bool CInstallDirDlg::EnsureFolder(const std::string& path) {
    if (_access(path.c_str(), 0) == 0) return true;
    if (Ask(kIdsCreateMissingFolder, path.c_str(), nullptr, kIdsCheckingCaption, MB_OKCANCEL | MB_ICONEXCLAMATION) !=
        IDOK)
        return false;
    if (CreateDirectoryPath(path)) return true;
    MessageBeep(MB_ICONEXCLAMATION);
    Ask(kIdsCannotCreateFolder, path.c_str(), nullptr, kIdsProblemCaption, MB_ICONEXCLAMATION);
    m_chosenPath.clear();
    return false;
}

BOOL CInstallDirDlg::OnQueryNewPalette() {
    if (!m_fields.palette) return CDialog::OnQueryNewPalette();
    const int changed = RealizeOnWindow(this, m_fields.palette, FALSE);
    if (changed > 0) Invalidate();
    return changed;
}

void CInstallDirDlg::OnPaletteChanged(CWnd* focusWnd) {
    if (!m_fields.palette) {
        CDialog::OnPaletteChanged(focusWnd);
        return;
    }
    if (focusWnd && focusWnd->m_hWnd == m_hWnd) return;
    RealizeOnWindow(this, m_fields.palette, TRUE);
    Invalidate();
}

}  // namespace setup
