#include "engine/popups/record_panel.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/core/cor_engine.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/palette_wrappers.h"
#include "engine/toolbox/phrase.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/resource_copies.h"
#include "engine/toolbox/screen_helpers.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "engine/toolbox/waits.h"
#include "media/res/record_file.h"
#include "media/res/res_mgr.h"
#include "media/res/res_item_host.h"
#include "platform/afxwin/afxwin.h"
#include "platform/core/byte_order.h"
#include "platform/core/winuser.h"

namespace {

constexpr int16_t kNoPicture = 2;

uint16_t Swap16If(uint16_t v, bool swap) { return swap ? plat::ByteSwap16(v) : v; }

bool EmptySlot(const RecordSlot& s) { return s.picture == 0 && s.record == 0; }

}  // namespace

int ReadSlotTable(std::span<const uint8_t> bytes, int count, bool swapped, RecordSlotTable& table) {
    table = {};
    const int whole = static_cast<int>(std::min<size_t>(bytes.size() / 4, kRecordPanelMaxSlots));
    const int n = std::clamp(count, 0, whole);
    for (int i = 0; i < n; ++i) {
        const size_t at = static_cast<size_t>(i) * 4;
        table[static_cast<size_t>(i)].picture = Swap16If(plat::GetLe16(bytes, at), swapped);
        table[static_cast<size_t>(i)].record = Swap16If(plat::GetLe16(bytes, at + 2), swapped);
    }
    return n;
}

std::array<uint8_t, kSlotTableBytes> SlotTableBytes(const RecordSlotTable& table) {
    std::array<uint8_t, kSlotTableBytes> out{};
    for (size_t i = 0; i < table.size(); ++i) {
        plat::SetLe16(out, i * 4, table[i].picture);
        plat::SetLe16(out, i * 4 + 2, table[i].record);
    }
    return out;
}

std::optional<ColourPatch> ReadColourPatch(std::span<const uint8_t> bytes) {
    const size_t values = bytes.size() / 2;
    if (values < 2) return std::nullopt;
    const auto value = [&](size_t i) { return plat::GetLe16(bytes, i * 2); };
    const int c = value(0);
    const int first = value(1);
    if (c < 1 || first > 255) return std::nullopt;
    const size_t wanted = static_cast<size_t>(c - 1) / 3;
    const size_t held = (values - 2) / 3;
    const size_t room = static_cast<size_t>(256 - first);
    const size_t n = std::min({wanted, held, room});
    ColourPatch patch;
    patch.first = first;
    for (size_t k = 0; k < n; ++k) {
        const auto channel = [&](size_t j) { return static_cast<BYTE>(std::min<uint16_t>(value(2 + k * 3 + j), 255)); };
        patch.colours.push_back(PALETTEENTRY{channel(0), channel(1), channel(2), 0});
    }
    return patch;
}

// ---------------------------------------------------------------------------------------
// Opening

CRecordPanel::CRecordPanel(int16_t rows, int16_t columns, int16_t pictureBase, int16_t newPicture,
                           uint16_t recordBase, const PanelStyle* frameStyle, HBLOCK data, uint32_t dataSize,
                           CRecordFile* file, int16_t storeData, uint16_t* result)
    : m_base(pictureBase),
      m_newPicture(newPicture),
      m_recordBase(recordBase),
      m_data(data),
      m_dataSize(dataSize),
      m_storeData(storeData != 0),
      m_result(result),
      m_file(file) {
    if (m_result) *m_result = 0;
    BeginBusy();
    m_rows = std::clamp<int>(rows, 0, kRecordPanelMaxSide);
    m_columns = std::clamp<int>(columns, 0, kRecordPanelMaxSide);
    // Every picture binned and the new one with them.
    m_bin.reserve(static_cast<size_t>(SlotCount()) + 1);
    m_log.reserve(static_cast<size_t>(SlotCount()) + 1);
    if (m_newPicture != 0) m_newPlace = Place{Place::New, -1};
    if (m_file == nullptr) {
        m_ownFile = std::make_unique<CRecordFile>(static_cast<int16_t>(m_recordBase));
        m_file = m_ownFile.get();
    }
    // The album's pictures are loaded up front; a module file may lack the numbers it never shows.
    for (int16_t p = 0; p <= kAlbumBinFullLit; ++p)
        if (ResourceExists(kResSPR, m_base + p)) PreloadPicture(static_cast<int16_t>(m_base + p));
    Layout(frameStyle);
    ApplyColourPatch();
    LoadSlotTable();
    ShowAll();
    Light(-1);
    RegisterScanTargets();
    theEngine->Present(0);
    EndBusy();
    s_open = this;
    AddModuleLeaveHook(CloseRecordPanel);
}

CRecordPanel::~CRecordPanel() { Close(); }

void CloseRecordPanel() {
    CRecordPanel* panel = CRecordPanel::s_open;
    if (!panel) return;
    panel->Cancel();
    if (panel->m_closer && CRecordPanel::s_entryDepth == 0) {
        panel->m_closer();
    } else {
        panel->Close();
    }
}

void CRecordPanel::Layout(const PanelStyle* frameStyle) {
    int16_t w2 = 0, h2 = 0, w6 = 0, h6 = 0, w10 = 0, h10 = 0, wNew = 0, hNew = 0, wBin = 0, hBin = 0;
    GetPictureSize(static_cast<int16_t>(m_base + kAlbumSlotFrame), w2, h2);
    GetPictureSize(static_cast<int16_t>(m_base + kAlbumOk), w6, h6);
    GetPictureSize(static_cast<int16_t>(m_base + kAlbumTitle), w10, h10);
    GetPictureSize(static_cast<int16_t>(m_base + kAlbumBinEmpty), wBin, hBin);
    if (m_newPicture) GetPictureSize(m_newPicture, wNew, hNew);
    m_slotW = w2;
    m_slotH = h2;
    m_width = static_cast<int16_t>((w2 + 8) * m_columns + 48);
    m_height = static_cast<int16_t>(h6 + h10 + (h2 + 9) * m_rows + 112);
    Rect16 rect{0, 0, m_width, m_height};
    CenterRectOnScreen(rect);
    m_left = rect.left;
    m_top = rect.top;
    m_panel = MakeFramedPanel(rect, frameStyle);

    const auto make = [](int x, int y, int16_t picture) {
        CCorAnim* s = CreateSprite(static_cast<int16_t>(x), static_cast<int16_t>(y), picture);
        SetSpriteUserValue(s, 1);
        return s;
    };
    const int titleY = m_top + 37;
    m_title = make(m_left + 32, titleY, static_cast<int16_t>(m_base + kAlbumTitle));
    SetSpriteUserValue(LiveSprite(m_title), 0);
    m_newX = static_cast<int16_t>(m_left + 32 + w10 + 15);
    m_newY = static_cast<int16_t>(titleY + (h10 - hNew) / 2);

    const int slotsY = titleY + h10 + 30;
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            const size_t i = static_cast<size_t>(r * m_columns + c);
            const int x = m_left + 28 + c * (w2 + 8);
            const int y = slotsY + r * (h2 + 9);
            m_rects[i] = Rect16{static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<int16_t>(x + w2),
                                static_cast<int16_t>(y + h2)};
            m_frames[i] = make(x, y, static_cast<int16_t>(m_base + kAlbumSlotFrame));
            m_contents[i] = make(x, y, kNoPicture);
        }
    }
    const int buttonsY = slotsY + m_rows * (h2 + 9) - 9 + 17;
    const int cancelX = m_left + m_width - 35 - w6;
    m_cancel = make(cancelX, buttonsY, static_cast<int16_t>(m_base + kAlbumCancel));
    m_ok = make(cancelX - 7 - w6, buttonsY, static_cast<int16_t>(m_base + kAlbumOkDisabled));
    const int binY = buttonsY + (h6 - hBin) / 2;
    m_binSprite = make(m_left + 37, binY, static_cast<int16_t>(m_base + kAlbumBinEmpty));
    m_rects[kRecordPanelMaxSlots] = Rect16{static_cast<int16_t>(m_left + 37), static_cast<int16_t>(binY),
                                           static_cast<int16_t>(m_left + 37 + wBin), static_cast<int16_t>(binY + hBin)};
    m_newSprite = make(m_newX, m_newY, m_newPicture ? m_newPicture : kNoPicture);
}

void CRecordPanel::ApplyColourPatch() {
    uint32_t size = 0;
    std::vector<uint8_t> bytes;
    if (uint8_t* copy = LoadResourceCopy(ResType("IN#"), kAlbumColourPatch, size)) {
        bytes.assign(copy, copy + size);
        FreeResourceCopy(copy);
    }
    const std::optional<ColourPatch> patch = ReadColourPatch(bytes);
    if (!patch || patch->colours.empty() || !LiveSprite(m_panel)) return;
    GetGamePaletteEntries(0, 256, m_savedPalette.data());
    std::array<PALETTEENTRY, 256> patched = m_savedPalette;
    std::copy(patch->colours.begin(), patch->colours.end(), patched.begin() + patch->first);
    SetGamePaletteEntries(0, 256, patched.data());
    m_patched = true;
    // The panel keeps its look: each of its colours is drawn in the nearest colour of the
    // patched palette.
    uint8_t remap[256];
    BuildColorRemap(m_savedPalette.data(), patched.data(), 1, 255, remap);
    const int16_t picture = GetSpriteFrame(LiveSprite(m_panel));
    int16_t w = 0, h = 0;
    GetPictureSize(picture, w, h);
    const uint16_t stride = GetPictureAttr(picture);
    if (BYTE* bits = LockPictureData(picture)) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) bits[y * stride + x] = remap[bits[y * stride + x]];
        UnlockPictureData(bits);
        InvalidateRect16(CCorRect{m_left, m_top, static_cast<int16_t>(m_left + w), static_cast<int16_t>(m_top + h)});
    }
}

void CRecordPanel::LoadSlotTable() {
    m_stored = {};
    m_slots = {};
    if (!m_file || !m_file->IsOpen() || !m_file->HasItem(kRecordTypeSlot, m_recordBase)) return;
    const auto& entries = m_file->Entries();
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const CRecordFile::Entry& e) {
        return e.type == kRecordTypeSlot && e.id == m_recordBase;
    });
    if (it == entries.end()) return;
    std::vector<uint8_t> bytes(std::min<uint32_t>(it->size, kSlotTableBytes));
    const bool swapped = !(it->flags & CRecordFile::kFlagNative);
    if (m_file->ReadItemInto(kRecordTypeSlot, m_recordBase, bytes.data(), static_cast<uint32_t>(bytes.size())) != 0) {
        Report(m_file->LastError(), kAtSlotGet, kDetailSlots);
        return;
    }
    ReadSlotTable(bytes, kRecordPanelMaxSlots, swapped, m_stored);
    // Slots beyond this panel's grid keep what they hold; the grid's slots show their pictures.
    m_slots = m_stored;
    for (int i = 0; i < SlotCount(); ++i) {
        RecordSlot& slot = m_slots[static_cast<size_t>(i)];
        slot.picture = 0;
        if (slot.record == 0) continue;
        // A record named twice, or one whose image is gone, leaves the slot empty.
        const bool twice = std::any_of(m_slots.begin(), m_slots.begin() + i,
                                       [&](const RecordSlot& s) { return s.record == slot.record; });
        const uint16_t picture =
            twice || !m_file->HasItem(kRecordTypeSprite, slot.record) ? CRecordFile::kNoPicture : m_file->LoadSprite(slot.record);
        if (picture == CRecordFile::kNoPicture) {
            slot = {};
        } else {
            slot.picture = picture;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Showing

CCorAnim* CRecordPanel::SlotSprite(int slot) const {
    return slot >= 0 && slot < SlotCount() ? LiveSprite(m_contents[static_cast<size_t>(slot)]) : nullptr;
}

Rect16 CRecordPanel::HitRect(int slot) const {
    if (slot == -1) return m_rects[kRecordPanelMaxSlots];
    return slot >= 0 && slot < SlotCount() ? m_rects[static_cast<size_t>(slot)] : Rect16{};
}

namespace {
// Shows the picture (module-relative) on the sprite at once, its top-left corner at (x, y). A
// frame still queued for the sprite (CreateSprite queues its first picture for the next step)
// is dropped, or that step would show it over this one.
void ShowAt(CCorAnim* sprite, int16_t picture, int x, int y) {
    CCorEngine& e = *theEngine;
    if (!sprite || !e.m_anims.Contains(sprite)) return;
    sprite->ClearScript();
    const int32_t id = e.MapResourceId(picture);
    const POINT at{x + e.m_originX, y + e.m_originY};
    if (sprite->GetPictureId() == id && sprite->GetPosition().x == at.x && sprite->GetPosition().y == at.y) return;
    sprite->Invalidate();
    sprite->SetPicture(id);
    sprite->SetPosition(at);
    sprite->Invalidate();
}
}  // namespace

void CRecordPanel::ShowAll() {
    for (int i = 0; i < SlotCount(); ++i) {
        const RecordSlot& s = m_slots[static_cast<size_t>(i)];
        const Rect16& r = m_rects[static_cast<size_t>(i)];
        int16_t w = 0, h = 0;
        if (s.picture) GetPictureSize(static_cast<int16_t>(s.picture), w, h);
        ShowAt(LiveSprite(m_contents[static_cast<size_t>(i)]), s.picture ? static_cast<int16_t>(s.picture) : kNoPicture,
               r.left + (m_slotW - w) / 2, r.top + (m_slotH - h) / 2);
    }
    ShowAt(LiveSprite(m_newSprite), m_newPlace.kind == Place::New ? m_newPicture : kNoPicture, m_newX, m_newY);
    ShowBin();
}

void CRecordPanel::ShowBin() {
    const Rect16& r = m_rects[kRecordPanelMaxSlots];
    const int16_t picture = static_cast<int16_t>(m_base + (m_bin.empty() ? kAlbumBinEmpty : kAlbumBinFull) +
                                                 (m_hover == -2 ? 1 : 0));
    ShowAt(LiveSprite(m_binSprite), picture, r.left, r.top);
}

void CRecordPanel::Light(int16_t hover) {
    m_hover = hover;
    for (int i = 0; i < SlotCount(); ++i) {
        const bool lit = i == hover && EmptySlot(m_slots[static_cast<size_t>(i)]);
        const Rect16& r = m_rects[static_cast<size_t>(i)];
        ShowAt(LiveSprite(m_frames[static_cast<size_t>(i)]), static_cast<int16_t>(m_base + (lit ? kAlbumSlotLit : kAlbumSlotFrame)),
               r.left, r.top);
    }
    ShowBin();
}

void CRecordPanel::SetOkEnabled(bool on) {
    m_okEnabled = on;
    int16_t x = 0, y = 0;
    GetSpritePos(LiveSprite(m_ok), &x, &y);
    ShowAt(LiveSprite(m_ok), static_cast<int16_t>(m_base + (on ? kAlbumOk : kAlbumOkDisabled)), x, y);
}

int16_t CRecordPanel::HitTest(int16_t x, int16_t y) {
    int16_t hover = -1;
    for (int i = 0; i < SlotCount() && hover == -1; ++i)
        if (PointInRect16(x, y, m_rects[static_cast<size_t>(i)])) hover = static_cast<int16_t>(i);
    if (hover == -1 && PointInRect16(x, y, m_rects[kRecordPanelMaxSlots])) hover = -2;
    Light(hover);
    return hover;
}

void CRecordPanel::RegisterScanTargets() {
    if (!IsScanOn()) return;
    for (int i = 0; i < SlotCount(); ++i) AddScanSprite(-1, LiveSprite(m_frames[static_cast<size_t>(i)]), 0, 0, 1, 0);
    AddScanSprite(-1, LiveSprite(m_newSprite), 0, 0, 1, 0);
    AddScanSprite(-1, LiveSprite(m_binSprite), 0, 0, 1, 0);
    AddScanSprite(-1, LiveSprite(m_ok), 0, 0, 1, 0);
    AddScanSprite(-1, LiveSprite(m_cancel), 0, 0, 1, 0);
}

// ---------------------------------------------------------------------------------------
// The child's moves

// Takes the picture at `from` away from there (the new picture, a slot's, or the bin's last);
// false when there is none to take.
bool CRecordPanel::TakeFrom(Place from, RecordSlot& moved) {
    switch (from.kind) {
        case Place::New:
            if (m_newPlace.kind != Place::New) return false;
            moved = RecordSlot{static_cast<uint16_t>(m_newPicture), 0};
            return true;
        case Place::Slot:
            if (from.slot < 0 || from.slot >= SlotCount() || EmptySlot(m_slots[static_cast<size_t>(from.slot)])) return false;
            moved = m_slots[static_cast<size_t>(from.slot)];
            m_slots[static_cast<size_t>(from.slot)] = {};
            return true;
        case Place::Bin:
            if (m_bin.empty()) return false;
            moved = m_bin.back();
            m_bin.pop_back();
            return true;
        default:
            return false;
    }
}

bool CRecordPanel::MoveToSlot(Place from, int slot) {
    if (m_done || slot < 0 || slot >= SlotCount() || !EmptySlot(m_slots[static_cast<size_t>(slot)])) return false;
    RecordSlot moved;
    if (!TakeFrom(from, moved)) return false;
    m_slots[static_cast<size_t>(slot)] = moved;
    if (moved.record == 0) m_newPlace = Place{Place::Slot, slot};
    m_changed = true;
    SetOkEnabled(true);
    ShowAll();
    return true;
}

bool CRecordPanel::MoveToBin(Place from) {
    if (m_done || from.kind == Place::Bin || m_bin.size() >= static_cast<size_t>(SlotCount()) + 1) return false;
    RecordSlot moved;
    if (!TakeFrom(from, moved)) return false;
    m_bin.push_back(moved);
    if (moved.record == 0) m_newPlace = Place{Place::Bin, -1};
    m_changed = true;
    ShowAll();
    return true;
}

CRecordPanel::Place CRecordPanel::PlaceOfSprite(CCorAnim* sprite) const {
    if (!sprite) return {};
    if (sprite == LiveSprite(m_newSprite) && m_newPlace.kind == Place::New) return Place{Place::New, -1};
    if (sprite == LiveSprite(m_binSprite)) return Place{Place::Bin, -1};
    for (int i = 0; i < SlotCount(); ++i)
        if (sprite == LiveSprite(m_contents[static_cast<size_t>(i)]) || sprite == LiveSprite(m_frames[static_cast<size_t>(i)]))
            return Place{Place::Slot, i};
    return {};
}

void CRecordPanel::AfterMove(bool toBin) { PlaySndFree(toBin ? kAlbumSoundBin : kAlbumSoundPut); }

int16_t CRecordPanel::OnClick(CCorAnim* sprite, int16_t /*pictureId*/) {
    if (m_done || m_closed || !sprite) return m_done ? 1 : 0;
    ++s_entryDepth;
    if (sprite == LiveSprite(m_ok)) {
        if (m_okEnabled || IsScanOn()) PressOk(false);
    } else if (sprite == LiveSprite(m_cancel)) {
        PressCancel(false);
    } else if (const Place place = PlaceOfSprite(sprite); place.kind != Place::None) {
        if (IsScanOn()) {
            ScanActivate(place, 0);
        } else if (place.kind == Place::Bin) {
            if (!m_bin.empty()) Carry(place, nullptr);
        } else if (place.kind == Place::New || !EmptySlot(m_slots[static_cast<size_t>(place.slot)])) {
            Carry(place, place.kind == Place::New ? LiveSprite(m_newSprite) : LiveSprite(m_contents[static_cast<size_t>(place.slot)]));
        }
    }
    --s_entryDepth;
    return m_done ? 1 : 0;
}

int16_t CRecordPanel::OnKey(uint32_t key) {
    if (m_done || m_closed) return m_done ? 1 : 0;
    ++s_entryDepth;
    if (key == VK_RETURN) {
        PressOk(true);
    } else if (key == VK_ESCAPE || (key == VK_DELETE && IsAltDown())) {
        PressCancel(true);
    }
    --s_entryDepth;
    return m_done ? 1 : 0;
}

// The picture follows the pointer, keeping the offset at which it was grasped, until the
// button is released; it lands in the empty slot or the bin under the pointer, or goes back.
void CRecordPanel::Carry(Place from, CCorAnim* sprite) {
    CCorEngine& e = *theEngine;
    const int16_t startX = static_cast<int16_t>(e.m_lastClickX - e.m_originX);
    const int16_t startY = static_cast<int16_t>(e.m_lastClickY - e.m_originY);
    // Both kept by serial: the loop dispatches messages, and a module switch among them takes
    // the sprites and gives their memory to the next module's.
    CAnimRef own;
    if (from.kind == Place::Bin) {
        // The last binned picture comes out onto the pointer.
        const int16_t picture = static_cast<int16_t>(m_bin.back().picture);
        int16_t w = 0, h = 0;
        GetPictureSize(picture, w, h);
        own = CreateSprite(static_cast<int16_t>(startX - w / 2), static_cast<int16_t>(startY - h / 2), picture);
        sprite = LiveSprite(own);
    }
    if (!sprite || !e.m_anims.Contains(sprite)) return;
    const CAnimRef carried = sprite;
    SpriteToFront(sprite);
    const POINT at = sprite->GetPosition();
    const int grabX = at.x - e.m_originX - startX;
    const int grabY = at.y - e.m_originY - startY;
    const int16_t picture = static_cast<int16_t>(sprite->GetPictureId() % 1000);
    HWND view = e.GameViewWindow();
    CWnd* main = AfxGetMainWnd();
    HWND frame = main ? main->GetSafeHwnd() : nullptr;
    SetCapture(view);
    e.Present(0);

    int16_t target = -1;
    bool dropped = false;
    const auto follow = [&](const MSG& msg) {
        const int16_t x = static_cast<int16_t>(GET_X_LPARAM(msg.lParam) - e.m_originX);
        const int16_t y = static_cast<int16_t>(GET_Y_LPARAM(msg.lParam) - e.m_originY);
        ShowAt(LiveSprite(carried), picture, x + grabX, y + grabY);
        target = HitTest(x, y);
    };
    for (;;) {
        MSG msg;
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (EndsThePress(msg, view, frame)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
            break;
        }
        if (msg.message == WM_LBUTTONUP) {
            follow(msg);
            dropped = true;
            break;
        }
        if (msg.message == WM_MOUSEMOVE) {
            follow(msg);
        } else if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST) {
            CWinApp* app = AfxGetApp();
            if (!app || !app->PreTranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
        }
        if (e.ClosePending()) break;
        e.StepAndPresent();
    }
    if (GetCapture() == view) ReleaseCapture();
    if (m_closed) {
        DisposeSprite(LiveSprite(own));
        return;
    }
    if (dropped && target >= 0 && MoveToSlot(from, target)) {
        AfterMove(false);
    } else if (dropped && target == -2 && from.kind != Place::Bin && MoveToBin(from)) {
        AfterMove(true);
    }
    DisposeSprite(LiveSprite(own));
    Light(-1);
    ShowAll();
    e.Present(0);
}

// Switch access: the first activation of a picture picks it up (the scanner's highlight
// becomes the picture with the carry mark over it, and the picture itself leaves the view);
// the next activation of an empty slot or of the bin puts it there; any other puts it back.
void CRecordPanel::ScanActivate(Place place, int16_t /*target*/) {
    if (m_scanCarried.kind == Place::None) {
        int16_t picture = 0;
        CCorAnim* sprite = nullptr;
        if (place.kind == Place::New) {
            picture = m_newPicture;
            sprite = LiveSprite(m_newSprite);
        } else if (place.kind == Place::Slot && !EmptySlot(m_slots[static_cast<size_t>(place.slot)])) {
            picture = static_cast<int16_t>(m_slots[static_cast<size_t>(place.slot)].picture);
            sprite = LiveSprite(m_contents[static_cast<size_t>(place.slot)]);
        } else if (place.kind == Place::Bin && !m_bin.empty()) {
            picture = static_cast<int16_t>(m_bin.back().picture);
        }
        if (picture == 0) return;
        m_scanCarried = place;
        int16_t w = 0, h = 0;
        GetPictureSize(picture, w, h);
        m_carryPicture = NewBlankPicture(w, h);
        if (m_carryPicture > 0) {
            CopyPictureInto(m_carryPicture, picture, 0, 0);
            CopyPictureInto(m_carryPicture, static_cast<int16_t>(m_base + kAlbumCarryMark), 0, 0);
            SetScanHighlight(m_carryPicture, 0, 0);
        }
        if (sprite) {
            int16_t x = 0, y = 0;
            GetSpritePos(sprite, &x, &y);
            ShowAt(sprite, picture, x + 640, y);
        }
    } else {
        const Place from = m_scanCarried;
        m_scanCarried = {};
        if (place.kind == Place::Slot && MoveToSlot(from, place.slot)) {
            AfterMove(false);
        } else if (place.kind == Place::Bin && from.kind != Place::Bin && MoveToBin(from)) {
            AfterMove(true);
        }
        SetScanHighlight(1, 0, 0);
        if (m_carryPicture > 0) PurgeResource(m_carryPicture);
        m_carryPicture = -1;
        ShowAll();
    }
    theEngine->Present(0);
}

// ---------------------------------------------------------------------------------------
// OK and Cancel

void CRecordPanel::PressOk(bool keyboard) {
    if (keyboard) {
        int16_t x = 0, y = 0;
        GetSpritePos(LiveSprite(m_ok), &x, &y);
        ShowAt(LiveSprite(m_ok), static_cast<int16_t>(m_base + kAlbumOkPressed), x, y);
        Delay(10);
        ShowAt(LiveSprite(m_ok), static_cast<int16_t>(m_base + kAlbumOk), x, y);
        Delay(3);
    } else if (!TrackButton(LiveSprite(m_ok), static_cast<int16_t>(m_base + kAlbumOkPressed), static_cast<int16_t>(m_base + kAlbumOk))) {
        return;
    }
    Confirm();
}

void CRecordPanel::PressCancel(bool keyboard) {
    if (keyboard) {
        int16_t x = 0, y = 0;
        GetSpritePos(LiveSprite(m_cancel), &x, &y);
        ShowAt(LiveSprite(m_cancel), static_cast<int16_t>(m_base + kAlbumCancelPressed), x, y);
        Delay(10);
        ShowAt(LiveSprite(m_cancel), static_cast<int16_t>(m_base + kAlbumCancel), x, y);
        Delay(3);
    } else if (!TrackButton(LiveSprite(m_cancel), static_cast<int16_t>(m_base + kAlbumCancelPressed),
                            static_cast<int16_t>(m_base + kAlbumCancel))) {
        return;
    }
    Cancel();
}

void CRecordPanel::Cancel() {
    if (m_closed) return;
    m_done = true;
}

void CRecordPanel::Report(int16_t code, uint16_t context, uint16_t detail) {
    FormatMessageLine(code, kAlbumContextList, context, kAlbumDetailList, detail);
}

uint16_t CRecordPanel::FreeRecordId(const RecordSlotTable& newTable) const {
    const auto named = [&](uint16_t id) {
        const auto in = [&](const RecordSlotTable& t) {
            return std::any_of(t.begin(), t.end(), [&](const RecordSlot& s) { return s.record == id; });
        };
        return in(m_stored) || in(newTable);
    };
    // 25 stored ids and the new one never need more than 26 candidates.
    for (int k = 0; k <= kRecordPanelMaxSlots; ++k) {
        const uint16_t id = static_cast<uint16_t>(m_recordBase + k);
        if (!named(id)) return id;
    }
    return 0;
}

bool CRecordPanel::StoreNew(int slot, uint16_t& record) {
    record = FreeRecordId(m_slots);
    if (record == 0) return false;
    if (!m_file->SaveSprite(m_slots[static_cast<size_t>(slot)].picture, record)) {
        Report(m_file->LastError(), kAtSaveSprite, kDetailPicture);
        TakeBack(record);
        return false;
    }
    if (m_storeData) {
        const void* bytes = m_data ? HandleTableDeref(m_data) : nullptr;
        const uint32_t size = bytes ? std::min(m_dataSize, HandleTableSize(m_data)) : 0;
        if (const int16_t code = m_file->ReplaceRawItem(kRecordTypeData, record, bytes, size)) {
            Report(code, kAtData, kDetailData);
            TakeBack(record);
            return false;
        }
    }
    return true;
}

// Removes the new picture's items again; an item left over (the removal failing too) is
// harmless, since no slot table names it and the next new picture replaces it.
void CRecordPanel::TakeBack(uint16_t record) {
    if (m_file->HasItem(kRecordTypeSprite, record)) m_file->RemoveItemRange(kRecordTypeSprite, record, record);
    if (m_storeData && m_file->HasItem(kRecordTypeData, record)) m_file->RemoveItemRange(kRecordTypeData, record, record);
}

bool CRecordPanel::WriteSlotTable() {
    const auto bytes = SlotTableBytes(m_slots);
    if (const int16_t code = m_file->ReplaceRawItem(kRecordTypeSlot, m_recordBase, bytes.data(), kSlotTableBytes)) {
        Report(code, kAtSlotWrite, kDetailSlots);
        return false;
    }
    return true;
}

void CRecordPanel::RemoveBinned() {
    for (const auto& [record, kind] : m_log) {
        if (kind != 2) continue;
        if (m_file->HasItem(kRecordTypeSprite, record)) {
            if (const int16_t code = m_file->RemoveItemRange(kRecordTypeSprite, record, record))
                Report(code, kAtRemoveSprite, kDetailRemoval);
        }
        if (m_storeData && m_file->HasItem(kRecordTypeData, record)) {
            if (const int16_t code = m_file->RemoveItemRange(kRecordTypeData, record, record))
                Report(code, kAtData, kDetailData);
        }
    }
}

void CRecordPanel::Confirm() {
    if (m_done || m_closed) return;
    m_done = true;
    m_log.clear();
    for (const RecordSlot& b : m_bin) {
        if (b.record != 0) m_log.emplace_back(b.record, uint8_t{2});
        PurgeResource(static_cast<int16_t>(b.picture));
        if (b.record == 0) m_newPicture = 0;
    }
    if (!m_file || !m_file->IsOpen()) return;
    int newSlot = -1;
    for (int i = 0; i < SlotCount(); ++i) {
        const RecordSlot& s = m_slots[static_cast<size_t>(i)];
        if (s.picture != 0 && s.record == 0) newSlot = i;
    }
    uint16_t added = 0;
    if (newSlot >= 0) {
        if (!StoreNew(newSlot, added)) return;
        m_slots[static_cast<size_t>(newSlot)].record = added;
        m_log.emplace_back(added, uint8_t{1});
    }
    if (m_storeData || m_changed) {
        if (!WriteSlotTable()) {
            if (newSlot >= 0) {
                m_slots[static_cast<size_t>(newSlot)].record = 0;
                TakeBack(added);
            }
            return;
        }
    }
    if (m_result) *m_result = 1;
    RemoveBinned();
    m_stored = m_slots;
}

// ---------------------------------------------------------------------------------------
// Closing

void CRecordPanel::Close() {
    if (m_closed) return;
    m_closed = true;
    m_done = true;
    if (s_open == this) s_open = nullptr;
    m_ownFile.reset();
    m_file = nullptr;
    if (m_carryPicture > 0) {
        SetScanHighlight(1, 0, 0);
        PurgeResource(m_carryPicture);
    }
    for (CAnimRef& s : m_contents) DisposeSprite(LiveSprite(std::exchange(s, CAnimRef())));
    for (CAnimRef& s : m_frames) DisposeSprite(LiveSprite(std::exchange(s, CAnimRef())));
    for (CAnimRef* s : {&m_title, &m_newSprite, &m_ok, &m_cancel, &m_binSprite})
        DisposeSprite(LiveSprite(std::exchange(*s, CAnimRef())));
    // A panel that went (a module switch under the album) still takes its shade and limit down.
    if (m_panel) ClosePanel(LiveSprite(std::exchange(m_panel, CAnimRef())));
    if (m_patched) SetGamePaletteEntries(0, 256, m_savedPalette.data());
    for (int i = 0; i < SlotCount(); ++i) {
        const RecordSlot& s = m_slots[static_cast<size_t>(i)];
        if (s.picture != 0) PurgeResource(static_cast<int16_t>(s.picture));
    }
    for (const RecordSlot& b : m_bin)
        if (b.picture != 0) PurgeResource(static_cast<int16_t>(b.picture));
    if (m_newPicture != 0) PurgeResource(m_newPicture);
    theEngine->Present(0);
}
