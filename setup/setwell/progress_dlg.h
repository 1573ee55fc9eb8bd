// CProgressDlg: dialog 133, the modeless box that shows what the installation is doing. Its
// status line is set by the statements as they run, and each change lets every pending
// message through so that the box repaints while the work goes on.
#pragma once

#include <string>

#include "platform/afxwin/afxwin.h"
#include "platform/dialogs/dialog.h"

namespace setup {

inline constexpr UINT kProgressDialog = 133;
inline constexpr int kIdcProgressText = 1013;

class CProgressDlg : public CDialog {
    DECLARE_DYNAMIC(CProgressDlg)
public:
    // Makes the modeless window at once. The owner destroys it (DestroyWindow) and deletes it.
    explicit CProgressDlg(CWnd* parent = nullptr);
    ~CProgressDlg() override;

    void SetProgressCaption(const std::string& text);
    const std::string& ProgressCaption() const { return m_caption; }
    // Sets the status line, then handles every message waiting (a repaint among them).
    void SetProgressText(const std::string& text);

    BOOL OnInitDialog() override;

private:
    std::string m_caption;
};

}  // namespace setup
