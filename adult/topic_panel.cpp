#include "adult/topic_panel.h"

#include <algorithm>
#include <numeric>

#include "adult/activity_page.h"
#include "platform/core/winuser.h"

BEGIN_MESSAGE_MAP(CBitmapScrollPanel, CDialog)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_MOVE()
END_MESSAGE_MAP()

CBitmapScrollPanel::CBitmapScrollPanel(const CString& text, CWnd* parent, CBitmapScrollBar* rowSlider, UINT picture,
                                       UINT pictureLit, int width, int height, int unit, int top)
    : CDialog(kTopicPanelDialog, parent),
      caption(text),
      slider(rowSlider),
      areaHeight(height),
      areaWidth(width),
      margin(top),
      rowHeight(unit) {
    m_picture.LoadBitmap(picture);
    m_pictureLit.LoadBitmap(pictureLit);
}

CBitmapScrollPanel::~CBitmapScrollPanel() = default;

void CBitmapScrollPanel::SetRows(int left, int right, const int* rowHeights) {
    leftRows = std::max(0, left);
    rightRows = std::max(0, right);
    heights.assign(rowHeights, rowHeights + leftRows + rightRows);
    leftHeight = std::accumulate(heights.begin(), heights.begin() + leftRows, 0) * rowHeight;
    rightHeight = std::accumulate(heights.begin() + leftRows, heights.end(), 0) * rowHeight;
    const int room = areaHeight - 2 * margin;
    if (leftHeight > room + 1) {
        // The left column's last row runs on at the top of the right column.
        overflow = leftHeight - room - 1;
        if (overflow < rowHeight) overflow = 0;
        leftHeight = room;
    }
    if (slider) {
        int max = 0;
        slider->GetRange(sliderMin, max);
        selected = std::min(slider->GetPos(), leftRows + rightRows);
    }
    selectedAtStart = selected;
}

BOOL CBitmapScrollPanel::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(caption);
    needsRedraw = 1;
    return TRUE;
}

CPoint CBitmapScrollPanel::Origin() const {
    CRect client;
    GetClientRect(&client);
    return CPoint((client.Width() - areaWidth) / 2, (client.Height() - areaHeight) / 2 - 14);
}

void CBitmapScrollPanel::OnPaint() {
    CPaintDC dc(this);
    // Painted whole on every paint, so the list comes back after anything covered it.
    needsRedraw = 0;
    const CPoint o = Origin();
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc)) return;
    CBitmap* old = nullptr;
    if (m_picture.GetSafeHandle()) {
        old = memory.SelectObject(&m_picture);
        dc.BitBlt(o.x, o.y, areaWidth + 1, areaHeight + 2, &memory, 0, 0, SRCCOPY);
    }
    if (selected >= 1 && selected <= leftRows + rightRows && m_pictureLit.GetSafeHandle()) {
        CBitmap* previous = memory.SelectObject(&m_pictureLit);
        if (!old) old = previous;
        const int half = areaWidth / 2;
        const int index = selected - 1;
        int x = 0, y = 0;
        if (selected <= leftRows) {
            y = margin + std::accumulate(heights.begin(), heights.begin() + index, 0) * rowHeight;
        } else {
            x = half;
            y = margin + overflow + std::accumulate(heights.begin() + leftRows, heights.begin() + index, 0) * rowHeight;
        }
        const int h = heights[static_cast<size_t>(index)] * rowHeight;
        dc.BitBlt(o.x + x, o.y + y, half, h, &memory, x, y, SRCCOPY);
        if (overflow != 0 && selected == leftRows)
            dc.BitBlt(o.x + half, o.y + margin, half, overflow, &memory, half, margin, SRCCOPY);
    }
    if (old) memory.SelectObject(old);
}

int CBitmapScrollPanel::RowAt(CPoint point) const {
    const CPoint o = Origin();
    const int half = areaWidth / 2;
    const int y = point.y - o.y;
    const auto firstContaining = [&](int first, int count, int top) {
        for (int i = 0; i < count; ++i) {
            const int h = heights[static_cast<size_t>(first + i)] * rowHeight;
            if (y >= top && y <= top + h) return first + i + 1;
            top += h;
        }
        return first + count;  // none: the column's last row
    };
    if (leftRows > 0 && point.x >= o.x && point.x <= o.x + half && point.y >= o.y + margin &&
        point.y <= o.y + leftHeight - 1)
        return firstContaining(0, leftRows, margin);
    if (rightRows > 0 && point.x >= o.x + half && point.x <= o.x + areaWidth && point.y >= o.y + margin &&
        point.y <= o.y + margin + overflow + rightHeight - 1) {
        if (y < margin + overflow) return leftRows;
        return firstContaining(leftRows, rightRows, margin + overflow);
    }
    return 0;
}

void CBitmapScrollPanel::Pick(CPoint point) {
    const int row = RowAt(point);
    if (row == 0 || row == selected) return;
    selected = row;
    needsRedraw = 1;
    Invalidate(FALSE);
}

void CBitmapScrollPanel::OnLButtonDown(UINT, CPoint point) {
    SetCapture();
    m_captured = true;
    Pick(point);
}

void CBitmapScrollPanel::OnLButtonDblClk(UINT flags, CPoint point) {
    OnLButtonDown(flags, point);
}

void CBitmapScrollPanel::OnMouseMove(UINT flags, CPoint point) {
    if (!m_captured) return;
    if (RowAt(point) == 0) {
        CDialog::OnMouseMove(flags, point);
        return;
    }
    Pick(point);
}

void CBitmapScrollPanel::OnLButtonUp(UINT, CPoint point) {
    if (!m_captured) return;
    Pick(point);
    m_captured = false;
    ReleaseCapture();
}

void CBitmapScrollPanel::OnMove(int x, int y) {
    CDialog::OnMove(x, y);
    needsRedraw = 1;
}

void CBitmapScrollPanel::Release() {
    heights.clear();
    m_picture.DeleteObject();
    m_pictureLit.DeleteObject();
}

void CBitmapScrollPanel::OnOK() {
    if (sliderMin != 1) selected += sliderMin - 1;
    if (slider && selected >= 1) slider->SetPos(selected, TRUE);
    Release();
    EndDialog(IDOK);
}

void CBitmapScrollPanel::OnCancel() {
    Release();
    EndDialog(IDCANCEL);
}
