// The topic list "Innehåll" (template 231) that a row's "Ämnen..." button opens: the
// activity's topics, one per slider step, as a picture of two columns; the topic of the
// slider's step is lit, a click or a drag lights another, and OK moves the slider to it.
// The texts are part of the pictures; the panel only knows rows and their heights.
#pragma once

#include <vector>

#include "adult/slider_controls.h"
#include "platform/dialogs/dialog.h"

class CBitmapScrollPanel : public CDialog {
public:
    CBitmapScrollPanel(const CString& caption, CWnd* parent, CBitmapScrollBar* slider, UINT picture, UINT pictureLit,
                       int areaWidth, int areaHeight, int rowHeight, int margin);
    ~CBitmapScrollPanel() override;

    // The rows of the two columns and their heights (in row units, left rows first); lays the
    // columns out and lights the slider's step.
    void SetRows(int left, int right, const int* rowHeights);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // The picture area's top-left corner in the client area.
    CPoint Origin() const;
    // The row (from 1) at a client point, 0 where no row is.
    int RowAt(CPoint point) const;

    CString caption;
    CBitmapScrollBar* slider = nullptr;
    int areaHeight = 0;
    int areaWidth = 0;
    int margin = 0;
    int rowHeight = 0;
    int selected = -1;
    int leftRows = 0;
    int rightRows = 0;
    int leftHeight = 0;
    int rightHeight = 0;
    std::vector<int> heights;
    int selectedAtStart = -1;
    int overflow = 0;
    int sliderMin = 1;
    int needsRedraw = 1;

protected:
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnMove(int x, int y);
    DECLARE_MESSAGE_MAP()

private:
    void Pick(CPoint point);
    void Release();

    CBitmap m_picture;
    CBitmap m_pictureLit;
    bool m_captured = false;
};
