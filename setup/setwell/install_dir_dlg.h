// CInstallDirDlg: dialog 102, where the product is installed. It proposes a folder and checks
// the one given before it lets the installation go on: a drive and path in the right form, on
// the installation's own drive C:, with room for the product; an existing installation there
// is confirmed, and a missing folder is made on request. Every refusal keeps the dialog open.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/afxwin/afxwin.h"
#include "platform/dialogs/dialog.h"

namespace setup {

inline constexpr UINT kInstallDirDialog = 102;
inline constexpr int kIdcInstallPath = 1000;     // the edit control
inline constexpr int kIdcInstallMessage = 1008;  // the welcome message

// The form of an install folder: more than one character, none of * ? < > " |, a colon
// second, and a backslash third when there is a third.
bool IsValidInstallPath(std::string_view path);
// Free bytes from GetDiskFreeSpaceA's counts, in 64 bits: the product of the three wraps in
// 32 bits on disks of 4 GiB and more.
uint64_t FreeBytes(DWORD sectorsPerCluster, DWORD bytesPerSector, DWORD freeClusters);

struct InstallDirFields {
    std::string caption;  // the window title
    std::string message;
    std::string productName;
    std::string productVersion;
    std::string productDir;  // the product's folder under the install folder
    std::string productExe;  // the product's program, without ".exe"
    int32_t productSize = -1;  // bytes; -1 when the script gives none
    std::string initialPath;
    CPalette* palette = nullptr;  // the background window's, or null
};

class CInstallDirDlg : public CDialog {
    DECLARE_DYNAMIC(CInstallDirDlg)
public:
    explicit CInstallDirDlg(CWnd* parent = nullptr);
    ~CInstallDirDlg() override;

    void SetFields(const InstallDirFields& fields);
    const InstallDirFields& Fields() const { return m_fields; }
    // The folder accepted by OK, without a trailing backslash.
    const std::string& ChosenPath() const { return m_chosenPath; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    afx_msg BOOL OnQueryNewPalette();
    afx_msg void OnPaletteChanged(CWnd* focusWnd);
    DECLARE_MESSAGE_MAP()

private:
    // Each check shows its own message and returns false to keep the dialog open.
    bool CheckDrive(const std::string& path);
    bool CheckFreeSpace(const std::string& path);
    bool ConfirmOverExisting(const std::string& path);
    bool EnsureFolder(const std::string& path);
    int Ask(UINT textId, const char* s1, const char* s2, UINT captionId, UINT type);
    int AskText(const CString& text, UINT captionId, UINT type);

    InstallDirFields m_fields;
    std::string m_chosenPath;
};

}  // namespace setup
