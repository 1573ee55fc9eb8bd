// The picture file buttons: the screen under the picture spot saved as a picture file through
// module 6's picture file dialog ('FIL' 6020), as the shapes activity saves its picture, and
// printed on the player's printer.
#include "engine/core/cor_engine.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/waits.h"
#include "media/print/picture_file_exchange.h"
#include "media/print/picture_printing.h"
#include "media/print/picture_writers.h"
#include "media/surface/dibg.h"
#include "platform/fs/winfile.h"
#include "tests/popups/popups_module.h"

namespace {

// The kinds of the save dialog: the shapes activity's own file, BMP, PCX.
constexpr int16_t kOwnKind = 1, kBmpKind = 2, kPcxKind = 3;

// A new picture item holding what the frame surface shows under the picture spot, taken
// before the dialog shades the screen; -1 when there is none.
int16_t PictureUnderSpot() {
    CCorEngine& e = *theEngine;
    const CSpot* spot = e.m_spots.FindById(e.MapResourceId(kPictureSpot));
    if (!spot || !e.m_frameSurface) return -1;
    const RECT r = spot->GetRect();
    const int16_t picture =
        NewBlankPicture(static_cast<int16_t>(r.right - r.left), static_cast<int16_t>(r.bottom - r.top));
    if (picture < 0) return -1;
    BYTE* bits = LockPictureData(picture);
    const uint16_t stride = GetPictureAttr(picture);
    if (bits) {
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x)
                bits[static_cast<size_t>(y - r.top) * stride + static_cast<size_t>(x - r.left)] =
                    e.m_frameSurface->GetPixel(x, y);
        UnlockPictureData(bits);
    }
    return picture;
}

}  // namespace

void SavePictureFile() {
    const int16_t picture = PictureUnderSpot();
    if (picture < 0) return;
    {
        CPictureFileSession session(6000, 20, nullptr, CPictureFileExchange::kModeSave);
        if (session.ResultCode() == 0) {
            const std::string path = session.GetFileName();
            const int16_t kind = session.ChosenKind();
            session.Close();
            if (kind == kPcxKind) {
                WritePcxFile(picture, path.c_str());
            } else if (kind == kBmpKind) {
                WriteBmpFile(picture, path.c_str());
            } else if (kind == kOwnKind) {
                // The shapes activity's own file holds its pieces; this module has none to write.
                DeleteFileA(path.c_str());
            }
        }
    }
    PurgeResource(picture);
    FlushEvents(0xFFFF);
}

void PrintPictureSpot() {
    PrintPicture(kPictureSpot);
}
