// CReravaView: the game view. Its 55 ms timer drives all game time; it hands paint, timer,
// key and click messages to the engine object. Its first update starts the engine and its
// destruction shuts the engine down.
#pragma once

#include "app/daz_view.h"

inline constexpr UINT_PTR kGameTimer = 1;
inline constexpr UINT kGameTimerMs = 55;

class CReravaView : public CDazView {
    DECLARE_DYNCREATE(CReravaView)
public:
    CReravaView() = default;
    ~CReravaView() override;

    // The engine's start-up, then the class library's first update. Start-up counts as an
    // engine call: a close arriving in its CD prompt waits until it has finished.
    void OnInitialUpdate() override;
    // The engine presents its frame (on the first paint after start-up it enters the home
    // module).
    void OnDraw(CDC* dc) override;
    BOOL OnPreparePrinting(CPrintInfo* info) override;
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override;
    // The engine's screen size.
    CSize GetScreenSize() override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnDestroy();
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()
};
