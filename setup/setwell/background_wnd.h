// CBackgroundWnd: the setup program's 640 x 480 background window, borderless and centred on
// the screen, showing up to five pictures over black in the palette of the first one. Its
// creation guards the single running copy: the window's title names a semaphore, and a
// second copy of the program brings the first one's window to the front instead of opening
// its own (GuardSingleInstance).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/afxwin/afxwin.h"
#include "setup/setwell/dib.h"
#include "setup/setwell/setup_palette.h"

namespace setup {

inline constexpr int kBackgroundWidth = 640;
inline constexpr int kBackgroundHeight = 480;
inline constexpr int kMaxBackgroundPictures = 5;

class CBackgroundWnd : public CFrameWnd {
    DECLARE_DYNAMIC(CBackgroundWnd)
public:
    // Creates the window (visible, titled `title`) unless another copy of the program holds
    // the title's semaphore; then nothing is made (IsCreated() is false, OtherCopyRuns() true)
    // and the caller deletes the object. A made window deletes itself when it is destroyed.
    explicit CBackgroundWnd(const std::string& title);
    ~CBackgroundWnd() override;

    bool IsCreated() const { return m_hWnd != nullptr; }
    bool OtherCopyRuns() const { return m_otherCopy; }

    // Takes the picture and places it at a percentage of the free room of the screen: x =
    // (screen width - picture width) x xPercent / 100, y = (screen height - picture height) x
    // yPercent / 100 - 20. The first picture gives the window its palette. A picture beyond
    // the fifth is deleted.
    void AddPicture(int xPercent, int yPercent, CDIB* picture);

    int PictureCount() const { return m_count; }
    POINT PicturePosition(int index) const { return POINT{m_x[index], m_y[index]}; }
    // The palette made from the first picture; null when there is none.
    CPalette* Palette() const { return m_palette.get(); }

    // Nonzero when another copy runs: the semaphore named by the title already exists. The
    // other copy's window of that title is brought to the front. The first copy keeps its
    // semaphore open for the rest of the process.
    int GuardSingleInstance();

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    afx_msg void OnPaint();
    afx_msg BOOL OnQueryNewPalette();
    afx_msg void OnPaletteChanged(CWnd* focusWnd);
    DECLARE_MESSAGE_MAP()

private:
    std::string m_title;
    bool m_otherCopy = false;
    std::array<std::unique_ptr<CDIB>, kMaxBackgroundPictures> m_pictures;
    std::array<int16_t, kMaxBackgroundPictures> m_x{};
    std::array<int16_t, kMaxBackgroundPictures> m_y{};
    int16_t m_count = 0;
    std::unique_ptr<CSetupPalette> m_palette;
};

// What the background window and dialog 102 answer to the palette messages: realise the
// palette on the window (in the foreground for WM_QUERYNEWPALETTE, in the background for
// WM_PALETTECHANGED from another window) and repaint when colours changed.
int RealizeOnWindow(CWnd* wnd, CPalette* palette, BOOL background);

}  // namespace setup
