// CItemChooser: the pop-up list in which the child picks a player name on the hub or types a
// new one. It lists the roster's names in rows of bitmap-font text, scrolls with its arrows and
// keys, confirms with OK, a second click on a row or Enter, and offers a text entry field for a
// new name when the grown-ups allow it and the roster has room.
//
// While open it owns the whole module function table of the module that opened it (its Tick,
// KeyDown, OnAnimClicked, Notify and Leave; every other entry empty). On closing it puts back
// exactly the 17 entries it found there, puts the two hot keys back as they were when it
// opened, and calls the opener back once with the chosen name. At most one is open; it deletes
// itself when done. When the opener's module is taken down while the chooser is open (the game
// closing), the chooser goes at once, without its closing animations or the callback, and the
// opener's own Leave then runs.
//
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/chooser_items.h"
#include "app/text_entry_field.h"
#include "engine/base/module_table.h"
#include "engine/players/player_roster.h"
#include "media/text/bitmap_font.h"
#include "media/text/cor_string.h"
#include "media/text/text_block.h"
#include "media/util/cor_geometry.h"

class CCorAnim;

// Called once when the chooser closes, with the name of the player then chosen.
using ItemChooserCallback = void (*)(const CCorString& name);

class CItemChooser {
public:
    static constexpr int16_t kMaxItems = 90;

    // Opens a chooser over the opener's table with the layout 'IN#' of that module-relative id
    // (the hub's is 101) and returns once it is up and waiting for the child; the chooser then
    // runs from the table's hooks. Returns the open chooser, or null (nothing changed) when a
    // chooser is already open or there is no table.
    static CItemChooser* Open(ModuleFunctionTable* table, int16_t layoutId, ItemChooserCallback callback);
    // The open chooser; null when none (also while one is still opening).
    static CItemChooser* Current();

    ~CItemChooser();
    CItemChooser(const CItemChooser&) = delete;
    CItemChooser& operator=(const CItemChooser&) = delete;

    // The handlers the table's hooks call. OnClick: 1 when the click was the chooser's.
    int16_t OnClick(CCorAnim* sprite, int16_t id);
    void OnKey(int32_t key);
    // Selects the item (scrolling it into view) and makes it current.
    void Select(int16_t item);
    // Shows the rows from item first on (clamped to the list).
    void ScrollTo(int16_t first, bool refreshArrows);
    void ScrollBy(int16_t delta);
    // Adds a typed name (trailing blanks dropped): 1 when added; 0 when empty, already listed
    // (ignoring case as the player list's keys do: that one is selected) or refused by the roster.
    int16_t AddName(const CCorString& name);

    // What the tests and the opener may look at.
    bool Done() const { return m_done != 0; }
    bool EntryOffered() const { return m_entryOffered != 0; }
    bool ListMode() const { return m_listMode != 0; }
    int16_t ItemCount() const { return m_itemCount; }
    int16_t CurrentItem() const { return m_current; }
    int16_t FirstVisible() const { return m_firstVisible; }
    int16_t Rows() const { return m_rows; }
    int16_t RowHeight() const { return m_rowHeight; }
    const CCorString& Item(int16_t i) const { return m_items[static_cast<size_t>(i)]; }
    CTextEntryField* Field() const { return m_field.get(); }
    CCorAnim* UpArrow() const { return m_up; }
    CCorAnim* DownArrow() const { return m_down; }
    CCorAnim* OkButton() const { return m_ok; }
    CCorAnim* Panel() const { return m_panel; }
    CCorAnim* EntryBackground() const { return m_entryBack; }
    CCorAnim* ListMarker() const { return m_listMarker; }
    CCorAnim* TypeMarker() const { return m_typeMarker; }
    // The sprite of visible row i's text; null outside the rows.
    CCorAnim* RowSprite(int16_t row) const;
    // The text block of visible row i; null outside the rows.
    const CTextBlock* RowBlock(int16_t row) const;
    const ChooserLayout& Layout() const { return m_layout; }
    // The list's rectangle in picture coordinates.
    const CCorRect& ListRect() const { return m_list; }

private:
    CItemChooser(ModuleFunctionTable* table, int16_t layoutId, ItemChooserCallback callback);
    void RunOpening();
    void Confirm(bool pressLook);
    void SetListMode(bool on);
    void PaintRow(int16_t item, bool selected);
    void RefreshArrows();
    void AddScanTargets();
    void PlayAnims(const int16_t (&anims)[2]);
    int16_t RowOfSprite(const void* sprite) const;
    // The visible row holding a name whose rectangle (the list's width, a row's height) holds
    // the point (picture coordinates); -1 when none.
    int16_t RowAtPoint(int16_t x, int16_t y) const;
    void ClickOnRow(int16_t row);
    void PressArrow(CCorAnim* arrow, int16_t pictureId, int16_t direction);
    void TearDown(bool closing);

    // The table's hooks while the chooser is open.
    static void HookTick();
    static void HookKeyDown(int32_t key);
    static int16_t HookAnimClicked(CCorAnim* sprite, int16_t id);
    static void HookNotify(int32_t kind);
    static void HookLeave();
    // Closes the open chooser when it is done: its closing, the callback, scanning resumed.
    static void CloseIfDone();

    ModuleFunctionTable* m_table = nullptr;
    ModuleFunctionTable m_savedTable{};
    ItemChooserCallback m_callback = nullptr;
    int16_t m_layoutId = 0;
    ChooserLayout m_layout;
    CCorAnim* m_panel = nullptr;
    CCorAnim* m_ok = nullptr;
    CCorAnim* m_up = nullptr;
    CCorAnim* m_down = nullptr;
    CCorAnim* m_entryBack = nullptr;
    CCorAnim* m_listMarker = nullptr;
    CCorAnim* m_typeMarker = nullptr;
    // The pictures the arrows were last given (u or u + 2, d or d + 2).
    int16_t m_upShown = 0;
    int16_t m_downShown = 0;
    int16_t m_rowHeight = 0;
    int16_t m_rows = 0;
    CCorRect m_list;
    int16_t m_firstVisible = -1;
    int16_t m_current = 0;
    int16_t m_itemCount = 0;
    uint16_t m_done = 0;
    uint16_t m_entryOffered = 0;
    uint16_t m_listMode = 1;
    std::vector<CCorString> m_items;
    std::vector<std::unique_ptr<CCorStyledString>> m_rowTexts;
    std::vector<std::unique_ptr<CTextBlock>> m_rowBlocks;
    std::unique_ptr<CBitmapFont> m_font;
    std::unique_ptr<CTextEntryField> m_field;
    std::vector<uint16_t> m_allowed;
    std::unique_ptr<CPlayerRoster> m_roster;
    CCorString m_nameAtOpening;
    int32_t m_savedAdultHotKey = 1;
    int32_t m_savedQuitHotKey = 1;
    bool m_tornDown = false;
};
