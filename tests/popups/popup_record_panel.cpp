// The album's button: the album of module 6's record file (5 × 5 slots, pictures from 60,
// records from 6000, 'data' stored), opened as the shapes activity opens it. The picture to
// save is the screen above the buttons (640 × 410) shrunk ten times to the album's 64 × 41;
// its data is the scene it shows: where the ball lies, two 16-bit values x and y.
//
// The panel stays open after this returns: until it reports done, the module's click and key
// entries are the panel's (every click and key goes to it, as in the shapes activity), then
// they are given back and the panel is closed and deleted.
#include <cstring>

#include "engine/popups/record_panel.h"
#include "engine/core/cor_engine.h"
#include "engine/toolbox/picture_items.h"
#include "media/surface/dibg.h"
#include "media/util/handle_table.h"
#include "tests/popups/popups_module.h"

namespace {

constexpr int16_t kAlbumRows = 5, kAlbumColumns = 5;
constexpr int16_t kAlbumPictures = 60;
constexpr uint16_t kAlbumRecords = 6000;  // module 6 × 1000
constexpr int kShrink = 10;
constexpr int16_t kThumbWidth = 64, kThumbHeight = 41;

CRecordPanel* gPanel = nullptr;
HBLOCK gData = nullptr;
uint16_t gStored = 0;  // the panel's result: 1 once OK stored the changes
int16_t (*gSavedClick)(CCorAnim*, int16_t) = nullptr;
void (*gSavedKey)(int32_t) = nullptr;

// A new 64 × 41 picture of the screen's top 640 × 410 as last presented: every tenth pixel,
// from the middle of each 10 × 10 block. 0 when none can be made.
int16_t ScreenPicture() {
    CCorEngine& e = *theEngine;
    if (!e.m_frameSurface || !e.m_frameSurface->IsValid()) return 0;
    const CDibG& frame = *e.m_frameSurface;
    const int16_t picture = NewBlankPicture(kThumbWidth, kThumbHeight);
    if (picture <= 0) return 0;
    BYTE* bits = LockPictureData(picture);
    if (!bits) {
        PurgeResource(picture);
        return 0;
    }
    const uint16_t stride = GetPictureAttr(picture);
    for (int y = 0; y < kThumbHeight; ++y) {
        for (int x = 0; x < kThumbWidth; ++x) {
            const int fx = e.m_originX + x * kShrink + kShrink / 2;
            const int fy = e.m_originY + y * kShrink + kShrink / 2;
            if (fx < frame.Width() && fy < frame.Height()) bits[y * stride + x] = frame.GetPixel(fx, fy);
        }
    }
    UnlockPictureData(bits);
    return picture;
}

void CloseAlbum() {
    ModuleFunctionTable* table = PopupsModuleTable();
    table->OnAnimClicked = gSavedClick;
    table->KeyDown = gSavedKey;
    gPanel->Close();
    delete gPanel;
    gPanel = nullptr;
    HandleTableFree(gData);
    gData = nullptr;
}

int16_t OnAlbumClicked(CCorAnim* anim, int16_t id) {
    if (gPanel && gPanel->OnClick(anim, id)) CloseAlbum();
    return 1;
}

void OnAlbumKey(int32_t key) {
    if (gPanel && gPanel->OnKey(static_cast<uint32_t>(key))) CloseAlbum();
}

}  // namespace

void OpenRecordPanel() {
    if (gPanel) return;
    const int16_t picture = ScreenPicture();
    int16_t ball[2] = {0, 0};
    GetBallPos(ball[0], ball[1]);
    gData = HandleTableNew(sizeof ball);
    if (gData) std::memcpy(HandleTableDeref(gData), ball, sizeof ball);
    gPanel = new CRecordPanel(kAlbumRows, kAlbumColumns, kAlbumPictures, picture, kAlbumRecords, nullptr, gData,
                              gData ? sizeof ball : 0, nullptr, 1, &gStored);
    gPanel->SetCloser(CloseAlbum);
    ModuleFunctionTable* table = PopupsModuleTable();
    gSavedClick = table->OnAnimClicked;
    gSavedKey = table->KeyDown;
    table->OnAnimClicked = OnAlbumClicked;
    table->KeyDown = OnAlbumKey;
}
