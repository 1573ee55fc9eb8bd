// CRecordPanel: an activity's picture album, a pop-up panel of rows × columns slots (at most
// 5 × 5) over the game screen. The picture to be saved arrives beside the title; the child
// carries it into an empty slot, moves saved pictures between slots or into the bin, takes
// the last binned picture out of the bin again, and leaves with OK (the changes are stored
// in the activity's record file) or Cancel (nothing is written).
//
// The record file holds, for the record base B (the activity's module number × 1000):
//   'slot' B      the slot table: 25 entries {u16 picture id, u16 record id}; the picture id
//                 means something only while a panel is open; record id 0 is an empty slot;
//   'sprt' B + k  a saved picture's small image, one per used slot;
//   'data' B + k  the activity's own data for that picture, stored unchanged.
//
// OK stores in an order that never leaves the slot table naming a 'sprt' that is not there,
// whatever write fails and wherever the program is stopped: (1) the new 'sprt' (and its
// 'data'), (2) the slot table, (3) only then the removal of the binned pictures' items. A
// failure in (1) or (2) ends OK and takes back what (1) added; the caller's result becomes 1
// once (1) and (2) have succeeded. The new picture's id is the first B + k that neither the
// stored nor the new slot table names, so an item left over by a failure or a stop is simply
// replaced.
//
// The activity forwards clicks on the panel's sprites (OnClick) and keys (OnKey) while the
// panel is open, looks at Done(), then calls Close() and deletes the panel. It names that
// closing routine with SetCloser, so that CloseRecordPanel can run it when the module is left
// with the panel open.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "engine/scene/cor_anim.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "media/util/cor_geometry.h"
#include "media/util/handle_table.h"
#include "platform/core/wintypes.h"

class CCorAnim;
class CRecordFile;
struct PanelStyle;

inline constexpr int kRecordPanelMaxSide = 5;
inline constexpr int kRecordPanelMaxSlots = kRecordPanelMaxSide * kRecordPanelMaxSide;
// The stored slot table is always 25 entries of 4 bytes.
inline constexpr uint32_t kSlotTableBytes = kRecordPanelMaxSlots * 4;

struct RecordSlot {
    uint16_t picture = 0;  // the picture showing the slot's image (module-relative), 0 none
    uint16_t record = 0;   // the id of the slot's 'sprt' and 'data' items, 0: empty or not stored yet
    bool operator==(const RecordSlot&) const = default;
};
using RecordSlotTable = std::array<RecordSlot, kRecordPanelMaxSlots>;

// Reads the first `count` entries (at most 25) of a stored slot table from the item's bytes,
// in the file's byte order (`swapped`: the other one). Only whole entries within the bytes are
// read; every other entry stays empty. Returns the number of entries read.
int ReadSlotTable(std::span<const uint8_t> bytes, int count, bool swapped, RecordSlotTable& table);
// The 100 bytes of a slot table, in this program's byte order.
std::array<uint8_t, kSlotTableBytes> SlotTableBytes(const RecordSlotTable& table);

// The optional colour patch ('IN#' 899, 16-bit values): c, the first palette index f, then
// (c - 1) / 3 colour triples red, green, blue (each 0 to 255; larger values count as 255).
// Read within the item's size, and never beyond palette entry 255.
struct ColourPatch {
    int first = 0;
    std::vector<PALETTEENTRY> colours;
};
std::optional<ColourPatch> ReadColourPatch(std::span<const uint8_t> bytes);

// The panel's pictures, relative to its picture base P.
enum : int16_t {
    kAlbumSlotFrame = 2,
    kAlbumSlotLit = 3,
    kAlbumCancel = 4,
    kAlbumCancelPressed = 5,
    kAlbumOk = 6,
    kAlbumOkPressed = 7,
    kAlbumOkDisabled = 8,
    kAlbumTitle = 10,
    kAlbumBinEmpty = 11,
    kAlbumBinEmptyLit = 12,
    kAlbumBinFull = 13,
    kAlbumBinFullLit = 14,
    kAlbumCarryMark = 15,
};
// The panel's sounds and string lists (module-relative).
inline constexpr int16_t kAlbumSoundPut = 898;
inline constexpr int16_t kAlbumSoundBin = 899;
inline constexpr int16_t kAlbumColourPatch = 899;
inline constexpr uint16_t kAlbumContextList = 986;  // what was being done, by context number
inline constexpr uint16_t kAlbumDetailList = 987;   // which items, by detail number

// Closes the open album as Cancel does (nothing is written): its opener's closer (SetCloser) runs
// once, giving back what the opener took over and deleting the panel; without a closer the
// panel is only taken off the screen. Nothing when no album is open. The engine calls it before
// a module is taken down (AddModuleLeaveHook), so no album outlives its opener.
void CloseRecordPanel();

class CRecordPanel {
public:
    // Where a carried picture comes from or goes to.
    struct Place {
        enum Kind : uint8_t { None, New, Slot, Bin } kind = None;
        int slot = -1;
        bool operator==(const Place&) const = default;
    };
    // The numbers error messages give (string n of list 986, of list 987).
    enum : uint16_t {
        kAtSlotGet = 2,
        kAtSlotWrite = 5,
        kAtRemoveSprite = 7,
        kAtSaveSprite = 8,
        kAtData = 9,
    };
    enum : uint16_t { kDetailSlots = 2, kDetailRemoval = 3, kDetailData = 4, kDetailPicture = 5 };

    // Builds and shows the panel. rows and columns are clamped to 0 .. 5; pictureBase is P;
    // newPicture the picture to save (0: none); recordBase B; frameStyle the panel's colours or
    // null for the default; the activity's data for the new picture (handle-table block and size); the
    // activity's record file, or null to open one for B (closed with the panel); storeData: 1
    // to keep 'data' items; result: the caller's flag, 0 now and 1 once the changes are stored.
    CRecordPanel(int16_t rows, int16_t columns, int16_t pictureBase, int16_t newPicture, uint16_t recordBase,
                 const PanelStyle* frameStyle, HBLOCK data, uint32_t dataSize, CRecordFile* file, int16_t storeData,
                 uint16_t* result);
    ~CRecordPanel();
    CRecordPanel(const CRecordPanel&) = delete;
    CRecordPanel& operator=(const CRecordPanel&) = delete;

    // A click (or a scanner activation) on one of the panel's sprites: carries a picture, takes
    // one out of the bin, or presses OK or Cancel. 1 when it ended the panel.
    int16_t OnClick(CCorAnim* sprite, int16_t pictureId);
    // Enter: OK. Escape, or Delete with Alt held: Cancel. 1 when it ended the panel.
    int16_t OnKey(uint32_t key);
    // Takes the panel off the screen (see the .cpp); the panel must not be used afterwards.
    void Close();
    // The opener's routine that closes and deletes this panel (see CloseRecordPanel).
    void SetCloser(void (*closer)()) { m_closer = closer; }
    // The open album; null when none is.
    static CRecordPanel* Current() { return s_open; }
    bool Done() const { return m_done; }

    // The child's moves as the mouse and the scanner make them; false (nothing changes) when the
    // move is not allowed: a target that is not an empty slot, a source with nothing in it.
    bool MoveToSlot(Place from, int slot);
    bool MoveToBin(Place from);
    // OK and Cancel without the button's animation.
    void Confirm();
    void Cancel();

    // What the panel holds now.
    int Rows() const { return m_rows; }
    int Columns() const { return m_columns; }
    int SlotCount() const { return m_rows * m_columns; }
    const RecordSlotTable& Slots() const { return m_slots; }
    const std::vector<RecordSlot>& Bin() const { return m_bin; }
    // The change log of the last OK: (record id, 1 added / 2 removed).
    const std::vector<std::pair<uint16_t, uint8_t>>& ChangeLog() const { return m_log; }
    Place NewPicturePlace() const { return m_newPlace; }
    int16_t Hover() const { return m_hover; }
    bool OkEnabled() const { return m_okEnabled; }
    CRecordFile* File() const { return m_file; }
    // The panel's sprites, for the activity and the tests.
    CCorAnim* PanelSprite() const { return LiveSprite(m_panel); }
    CCorAnim* SlotSprite(int slot) const;
    CCorAnim* NewPictureSprite() const { return LiveSprite(m_newSprite); }
    CCorAnim* BinSprite() const { return LiveSprite(m_binSprite); }
    CCorAnim* OkSprite() const { return LiveSprite(m_ok); }
    CCorAnim* CancelSprite() const { return LiveSprite(m_cancel); }
    // A slot's hit rectangle (picture coordinates, edges included), and the bin's (slot -1).
    Rect16 HitRect(int slot) const;
    // The slot (0 ..), -2 for the bin, or -1 under a point (picture coordinates); lights the
    // empty slot or the bin under it.
    int16_t HitTest(int16_t x, int16_t y);

private:
    friend void CloseRecordPanel();
    static inline CRecordPanel* s_open = nullptr;
    // Clicks and keys under way; an album closed meanwhile is only taken off the screen, and
    // the click reports it ended so that its opener deletes it.
    static inline int s_entryDepth = 0;

    void LoadSlotTable();
    void Layout(const PanelStyle* frameStyle);
    void ApplyColourPatch();
    void ShowAll();
    void ShowBin();
    void SetOkEnabled(bool on);
    void Carry(Place from, CCorAnim* sprite);
    void ScanActivate(Place place, int16_t target);
    void RegisterScanTargets();
    bool TakeFrom(Place from, RecordSlot& moved);
    void AfterMove(bool toBin);
    void PressOk(bool keyboard);
    void PressCancel(bool keyboard);
    bool StoreNew(int slot, uint16_t& record);
    void TakeBack(uint16_t record);
    bool WriteSlotTable();
    void RemoveBinned();
    void Report(int16_t code, uint16_t context, uint16_t detail);
    uint16_t FreeRecordId(const RecordSlotTable& newTable) const;
    Place PlaceOfSprite(CCorAnim* sprite) const;
    void Light(int16_t hover);

    int m_rows = 0;
    int m_columns = 0;
    int16_t m_base = 0;
    int16_t m_newPicture = 0;
    uint16_t m_recordBase = 0;
    HBLOCK m_data = nullptr;
    uint32_t m_dataSize = 0;
    bool m_storeData = false;
    uint16_t* m_result = nullptr;
    void (*m_closer)() = nullptr;
    CRecordFile* m_file = nullptr;
    std::unique_ptr<CRecordFile> m_ownFile;

    RecordSlotTable m_stored{};  // as the file holds it
    RecordSlotTable m_slots{};   // what each slot shows now
    std::vector<RecordSlot> m_bin;
    std::vector<std::pair<uint16_t, uint8_t>> m_log;
    Place m_newPlace;
    bool m_changed = false;
    bool m_okEnabled = false;
    bool m_done = false;
    bool m_closed = false;
    int16_t m_hover = -1;
    Place m_scanCarried;        // what the scanner carries, if anything
    CCorAnim* m_carryMark = nullptr;
    int16_t m_carryPicture = -1;

    // Layout, picture coordinates.
    int16_t m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    int16_t m_slotW = 0, m_slotH = 0;
    int16_t m_newX = 0, m_newY = 0;
    std::array<Rect16, kRecordPanelMaxSlots + 1> m_rects{};  // the slots, then the bin

    // Kept by serial: the album may outlive its sprites (a module switch under it).
    CAnimRef m_panel;
    CAnimRef m_title;
    CAnimRef m_newSprite;
    std::array<CAnimRef, kRecordPanelMaxSlots> m_frames{};
    std::array<CAnimRef, kRecordPanelMaxSlots> m_contents{};
    CAnimRef m_ok;
    CAnimRef m_cancel;
    CAnimRef m_binSprite;
    bool m_patched = false;
    std::array<PALETTEENTRY, 256> m_savedPalette{};
};
