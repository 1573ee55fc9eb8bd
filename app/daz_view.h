// CDazView: the base of the game's views; it keeps itself at its screen size, centred in the
// frame. CDaZ1View and CDaZ2View are the two plain views the frame can show instead of the
// game view (commands 53249 and 53250): they draw nothing, and a release of the left button
// in them brings the game view back.
#pragma once

#include "platform/afxwin/afxwin.h"

class CDazView : public CView {
    DECLARE_DYNCREATE(CDazView)
public:
    CDazView() = default;
    ~CDazView() override;

    void OnDraw(CDC* dc) override;
    BOOL OnPreparePrinting(CPrintInfo* info) override;
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override;
    // The size the view keeps (its client area); (-1, -1) lets the frame's size stand.
    virtual CSize GetScreenSize();

protected:
    // A proposed size at least the screen size becomes the screen size, centred in it; a
    // smaller one stands.
    afx_msg void OnWindowPosChanging(WINDOWPOS* pos);
    DECLARE_MESSAGE_MAP()
};

class CDaZ1View : public CDazView {
    DECLARE_DYNCREATE(CDaZ1View)
public:
    void OnDraw(CDC* dc) override;
    CSize GetScreenSize() override { return CSize(100, 100); }

protected:
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

class CDaZ2View : public CDazView {
    DECLARE_DYNCREATE(CDaZ2View)
public:
    void OnDraw(CDC* dc) override;
    CSize GetScreenSize() override { return CSize(200, 200); }

protected:
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()
};
