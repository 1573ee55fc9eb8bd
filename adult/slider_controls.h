// The grown-ups' two owner-drawn horizontal sliders. Each takes over a scroll-bar control of a
// dialog template (SubclassDlgItem), keeps its range in that control's own scroll information,
// paints itself, takes the mouse and the arrow keys and tells its parent about them:
//
//   kMsgSliderUpDown (1550)  Up or Down pressed in the slider             (0, 0)
//   kMsgSliderFocus  (1551)  the slider got the focus                      (0, 0)
//   kMsgSliderMoved  (1552)  CSliderBar with notify on: Left/Right moved   (new value, 0)
//                            it, or the mouse let go of its thumb
//
// CSliderBar is the drawn slider with tick marks (volume 0..7, highlighting speed 0..28 with
// labels 0..7). CBitmapScrollBar is the stepped level slider: a track picture and a picture
// thumb, steps 1 to n held as positions 1 to n + 2, the last step drawn one step width further
// right than the others' spacing suggests.
#pragma once

#include "platform/afxwin/cdc.h"
#include "platform/controls/controls.h"

inline constexpr UINT kMsgSliderUpDown = 1550;
inline constexpr UINT kMsgSliderFocus = 1551;
inline constexpr UINT kMsgSliderMoved = 1552;

// The pictures: the drawn slider's thumb (three 9 x 16 frames: normal, pressed, focused) and
// the level slider's thumb (three 15 x 24 frames: focused, pressed, unfocused).
inline constexpr UINT kSliderThumbBitmap = 167;
inline constexpr UINT kLevelThumbBitmap = 139;

// True on the Windows 95 family: the version word's top bit set and a major version of 4 or more.
bool IsWindows95Family();
// True on Windows NT 4.0: the top bit clear and the version 4.0.
bool IsWindowsNT4();

class CSliderBar : public CScrollBar {
public:
    CSliderBar();
    ~CSliderBar() override;

    // Takes over the parent's control controlId (0 when that fails), sets its range, lays the
    // track out over the control's client area and starts at initial (min when initial is 0 or
    // outside the range). A tickStep of 0 means 1.
    BOOL Create(UINT controlId, CWnd* parent, int min, int max, int initial, int tickStep, BOOL notify);

    int GetPos() const { return pos; }
    // Refuses a value outside the range (-1); else stores it, repaints when redraw and returns
    // the value before.
    int SetPos(int value, BOOL redraw);
    void SetRange(int min, int max);
    void GetRange(int& min, int& max) const;
    // Labels (value / tickStep) under the ticks; the track keeps the place it was laid out at.
    void SetLabels(BOOL on);

    int pos = 0;
    int spacing = 100;  // pixels per value, in hundredths
    int thumbX = 0;
    int grabX = 0;
    int grabY = 0;
    int labels = 0;
    int tickStep = 1;
    int notify = 0;
    int top = 0;
    int left = 0;

protected:
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnSetFocus(CWnd* old);
    afx_msg void OnKillFocus(CWnd* next);
    afx_msg void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    DECLARE_MESSAGE_MAP()

private:
    int TrackLength() const;
    void Notify(UINT message, WPARAM value);
    // Draws the thumb at thumbX in the given frame (0 normal, 9 pressed, 18 focused), first
    // putting back what lay under it before and saving what lies under it now.
    void DrawThumb(CDC& dc, int frame);
    void RedrawThumb(int frame);

    CBitmap m_thumb;
    CBitmap m_back;
    bool m_backSaved = false;
    int m_backX = 0;
    bool m_captured = false;
};

class CBitmapScrollBar : public CScrollBar {
public:
    // trackBitmap: the track picture, width × (height + 6) pixels.
    CBitmapScrollBar(UINT trackBitmap, int width, int height);
    ~CBitmapScrollBar() override;

    // Takes over the parent's control controlId, makes it width × 24 in place, gives it the
    // range 1 to steps + 2 and starts at initial (1 when initial is 0 or above steps + 2).
    BOOL Create(UINT controlId, CWnd* parent, int steps, int initial, BOOL ticks);

    // The step, never above the range's maximum − 2 (the number of steps).
    int GetPos();
    // Clamps the value into the range, stores it (also as the control's scroll position),
    // repaints when redraw and returns the value before.
    int SetPos(int value, BOOL redraw);
    void SetRange(int min, int max);
    void GetRange(int& min, int& max) const;

    int pos = 0;
    double stepWidth = 1.0;
    int thumbX = 0;
    int grabX = 0;
    int grabY = 0;
    int width = 0;
    int height = 0;
    int ticks = 1;
    int useScrollInfo = 0;

protected:
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnSetFocus(CWnd* old);
    afx_msg void OnKillFocus(CWnd* next);
    afx_msg void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    DECLARE_MESSAGE_MAP()

private:
    // One step down as the slider shows it: from the last step (any position from max − 2 up,
    // all drawn at max − 1) straight to max − 3.
    void StepDown();
    void Notify(UINT message);
    // The thumb drawn over the track at thumbX (frame 0 focused, 15 pressed, 30 unfocused).
    void DrawThumb(CDC& dc, int frame);
    void RedrawThumb(int frame);

    UINT m_trackId;
    CBitmap m_track;
    CBitmap m_thumb;
    bool m_captured = false;
};
