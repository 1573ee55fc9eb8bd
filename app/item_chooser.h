// CItemChooser: the pop-up list in which the child picks a player name on the hub or types a
// new one. It lists the roster's names in rows of bitmap-font text, scrolls with its arrows and
// keys, confirms with OK, a second click on a row or Enter, and offers a text entry field for a
// new name when the grown-ups allow it and the roster has room. While open it owns the whole
// module function table of the module that opened it; on closing it puts back exactly what it
// found there, restores the two hot keys as they were, and calls the opener back once with
// the chosen name. At most one is open; it deletes itself when done.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/chooser_items.h"
#include "app/text_entry_field.h"
#include "engine/core/module_table.h"
#include "engine/players/player_roster.h"
#include "media/text/bitmap_font.h"
#include "media/text/cor_string.h"
#include "media/text/text_block.h"

class CCorAnim;

using ItemChooserCallback = void (*)(const CCorString& name);

class CItemChooser {
public:
    static constexpr int kMaxItems = 90;

    // Opens the chooser on the opener's table with the layout 'IN#' of that module-relative id.
    CItemChooser(ModuleFunctionTable* table, int16_t layoutId, ItemChooserCallback callback);
    ~CItemChooser();
    CItemChooser(const CItemChooser&) = delete;
    CItemChooser& operator=(const CItemChooser&) = delete;

    // The open chooser; null when none.
    static CItemChooser* Current();

    int16_t OnClick(CCorAnim* sprite, int16_t id);
    void OnKey(int32_t key);
    void OnTick();
    // Selects the item (scrolling it into view) and makes it current.
    void Select(int16_t item);
    void ScrollTo(int16_t first, bool refreshArrows);
    void ScrollBy(int16_t delta);
    // Adds a typed name (trailing blanks dropped): 1 when added; 0 when empty, already listed
    // (ignoring case as the player list's keys do: it is selected) or refused by the roster.
    int16_t AddName(const CCorString& name);

    // What tests and the hub look at.
    bool Done() const { return m_done != 0; }
    bool EntryOffered() const { return m_entryOffered != 0; }
    bool ListMode() const { return m_listMode != 0; }
    int16_t ItemCount() const { return m_itemCount; }
    int16_t CurrentItem() const { return m_current; }
    int16_t FirstVisible() const { return m_firstVisible; }
    int16_t Rows() const { return m_rows; }
    const CCorString& Item(int16_t i) const { return m_items[static_cast<size_t>(i)]; }
    CTextEntryField* Field() const { return m_field.get(); }
    CCorAnim* UpArrow() const { return m_up; }
    CCorAnim* DownArrow() const { return m_down; }
    CCorAnim* OkButton() const { return m_ok; }
    CCorAnim* Panel() const { return m_panel; }
    CCorAnim* EntryBackground() const { return m_entryBack; }
    // The sprite of visible row i's text.
    CCorAnim* RowSprite(int16_t row) const;
    const ChooserLayout& Layout() const { return m_layout; }

private:
    void Open();
    void Confirm(bool pressLook);
    void SetListMode(bool on);
    void PaintRow(int16_t item, bool selected);
    void RefreshArrows();
    void AddScanTargets();
    void PlayAnims(int16_t first, int16_t second);
    int16_t RowOfSprite(const void* sprite) const;
    void FollowMouseInList();

    ModuleFunctionTable* m_table = nullptr;
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
    ModuleFunctionTable m_savedTable{};
    CCorString m_nameAtOpening;
    int16_t m_savedAdultHotKey = 1;
    int16_t m_savedQuitHotKey = 1;
};

// The hooks the chooser installs in the opener's table while open.
namespace itemchooser {
void Tick();
void KeyDown(int32_t key);
int16_t OnAnimClicked(CCorAnim* sprite, int16_t id);
void Notify(int32_t kind);
}  // namespace itemchooser
