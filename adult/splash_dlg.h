// CSplashDlg: the credits picture (the program's bitmap 239, 640 x 480) in a modal dialog on
// template 211 until the user presses any key or releases the left button over it. The
// grown-ups' section opens it.
//
// The picture is loaded when the dialog object is made (CDibG::LoadResourceBitmap("#239"), so
// a missing picture raises the resource exception there) and kept until the dialog closes:
// every paint request draws it again and validates the window, so a window uncovered or
// invalidated shows the picture and the dialog never waits on endless paints. The dialog
// captures the mouse when it opens; a button release closes it only while it still holds the
// capture, so a release after the capture went elsewhere is not taken for a click on it.
// Keys reach the dialog itself (not the dialog manager's keyboard handling), so Escape and
// Enter close it with 1 as every other key does.
#pragma once

#include "media/surface/dibg.h"
#include "media/surface/pal_id.h"
#include "platform/dialogs/dialog.h"

// The dialog's template (the section registers it) and the picture, which the program holds.
inline constexpr UINT kSplashDialog = 211;
inline constexpr UINT kCreditsBitmap = 239;

inline constexpr int kSplashWidth = 640;
inline constexpr int kSplashHeight = 480;

class CSplashDlg : public CDialog {
public:
    explicit CSplashDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // Whether the picture is still held (it is freed as the dialog closes).
    bool HasPicture() const { return m_picture.IsValid() != FALSE; }
    // How many times the picture was drawn into the window.
    int PaintCount() const { return m_paints; }

protected:
    afx_msg void OnPaint();
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnKeyDown(UINT ch, UINT repeat, UINT flags);

    DECLARE_MESSAGE_MAP()

private:
    void Close();

    CPalId m_palette;  // made from the picture's colours; outlives the picture
    CDibG m_picture;
    int m_paints = 0;
};
