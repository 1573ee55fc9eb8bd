#include "app/item_chooser.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "engine/core/cor_engine.h"
#include "engine/players/prefs_options.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/screen_helpers.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "engine/toolbox/waits.h"
#include "platform/core/winuser.h"
#include "platform/strings/cp1252.h"

namespace {

constexpr int16_t kEmptyPicture = 2;
constexpr uint32_t kDoubleClickTicks = 30;
constexpr int16_t kPressTicks = 5;
// A player's name is at most this long (the player list's rule); a layout asking for more
// gets this many.
constexpr int16_t kLongestName = 31;

constexpr int32_t kKeyPageUp = 11;
constexpr int32_t kKeyPageDown = 12;
constexpr int32_t kKeyEnter = 13;
constexpr int32_t kKeyUp = 38;
constexpr int32_t kKeyDown = 40;

CItemChooser* g_open = nullptr;
CItemChooser* g_building = nullptr;
// The row clicked last (-1: none) and the tick until which a second click on it confirms.
int16_t g_lastRow = -1;
uint32_t g_rowDeadline = 0;

bool Scanning() { return IsScanOn() != 0; }

// The primary button as it is now (not whether it was pressed since the last look).
bool ButtonHeld() {
    return (GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) != 0;
}

// Idle steps until no sprite's script is running; an endless or held script (which nothing
// here would end) ends the wait as a finished one does, and so does a close of the window.
void WaitForScripts() { WaitForSprite(kAllSprites, 0); }

std::string_view View(const CCorString& s) { return {s.CStr(), static_cast<size_t>(s.Length())}; }

CCorString WithoutTrailingBlanks(const CCorString& name) {
    int32_t n = name.Length();
    while (n > 0 && name.Bytes()[n - 1] == ' ') --n;
    return CCorString(name.Bytes(), static_cast<int16_t>(n));
}

}  // namespace

CItemChooser* CItemChooser::Open(ModuleFunctionTable* table, int16_t layoutId, ItemChooserCallback callback) {
    if (!table || !theEngine || g_open || g_building) return nullptr;
    auto* chooser = new CItemChooser(table, layoutId, callback);
    g_building = chooser;
    chooser->RunOpening();
    g_building = nullptr;
    return chooser;
}

CItemChooser* CItemChooser::Current() { return g_open; }

CItemChooser::CItemChooser(ModuleFunctionTable* table, int16_t layoutId, ItemChooserCallback callback)
    : m_table(table), m_callback(callback), m_layoutId(layoutId) {}

void CItemChooser::RunOpening() {
    m_savedAdultHotKey = theEngine->m_ctrlAltAEnabled;
    m_savedQuitHotKey = theEngine->m_ctrlQEnabled;
    EnableAdultHotKey(0);
    EnableQuitHotKey(0);
    EngineSuspendScan();
    WaitForScripts();

    m_savedTable = *m_table;
    *m_table = ModuleFunctionTable{};
    m_table->Tick = HookTick;
    m_table->KeyDown = HookKeyDown;
    m_table->OnAnimClicked = HookAnimClicked;
    m_table->Notify = HookNotify;
    m_table->Leave = HookLeave;
    m_firstVisible = -1;
    m_current = 0;
    m_itemCount = 0;
    m_listMode = 1;

    m_roster = std::make_unique<CPlayerRoster>();
    m_roster->Load();
    const int count = std::min<int>(m_roster->Count(), kMaxItems);
    for (int i = 0; i < count; ++i) m_items.emplace_back(m_roster->GetName(i).c_str());
    m_itemCount = static_cast<int16_t>(count);
    m_current = static_cast<int16_t>(std::clamp(m_roster->Current(), 0, std::max(0, count - 1)));

    m_layout = ReadChooserLayout(m_layoutId);
    m_allowed = ReadAllowedList(m_layout.allowedListId);
    // No list of characters, or room for none, means nothing could be typed: no field.
    m_entryOffered = GetPrefsOption30() != 0 && m_itemCount < kMaxItems && !m_allowed.empty() &&
                     m_layout.maxChars > 0;
    m_font = std::make_unique<CBitmapFont>(m_layout.fontStripId, static_cast<uint16_t>(m_layout.fontSize), 1);
    m_rowHeight = static_cast<int16_t>(m_font->LineHeight() + 2);

    if (!IsMouseUpPending(1)) PlayAnims(m_layout.openAnim);

    const ChooserLayout& l = m_layout;
    const int16_t px = l.panelX;
    const int16_t py = l.panelY;
    auto at = [](int16_t base, int16_t offset) { return static_cast<int16_t>(base + offset); };
    m_panel = CreateSprite(px, py, l.panelId);
    m_list = CCorRect{at(px, l.listLeft), at(py, l.listTop), at(px, l.listRight),
                      at(py, m_entryOffered ? l.listBottomWithEntry : l.listBottomWithoutEntry)};
    if (m_entryOffered) {
        m_entryBack = CreateSprite(at(px, l.entryBackX), at(py, l.entryBackY), l.entryBackId);
        m_typeMarker = CreateSprite(at(px, l.typeMarkerX), at(py, l.typeMarkerY), kEmptyPicture);
        m_listMarker = CreateSprite(at(px, l.listMarkerX), at(py, l.listMarkerY), l.listMarkerId);
        m_field = std::make_unique<CTextEntryField>(
            m_font.get(), l.caretId, CCorPoint{at(px, l.textLeft), at(py, l.textTop)},
            CCorPoint{at(px, l.textRight), at(py, l.textBottom)}, &m_allowed,
            static_cast<uint16_t>(std::min(l.maxChars, kLongestName)));
    }
    m_upShown = static_cast<int16_t>(l.upId + 2);
    m_downShown = static_cast<int16_t>(l.downId + 2);
    m_up = CreateSprite(at(px, l.upX), at(py, l.upY), m_upShown);
    m_down = CreateSprite(at(px, l.downX), at(py, l.downY), m_downShown);
    m_ok = CreateSprite(at(px, l.okX), at(py, l.okY), l.okId);
    RedrawArea(0);

    const int height = m_list.bottom - m_list.top;
    m_rows = m_rowHeight > 0 && height > 0 ? static_cast<int16_t>(std::min<int>(height / m_rowHeight, kMaxItems)) : 0;
    const int16_t width = std::max<int16_t>(0, m_list.Width());
    for (int16_t i = 0; i < m_rows; ++i) {
        auto text = std::make_unique<CCorStyledString>();
        const CCorRect box{0, 0, width, m_rowHeight};
        CTextStyle style;
        style.text = text.get();
        style.font = m_font.get();
        style.x = m_list.left;
        style.y = static_cast<int16_t>(m_list.top + i * m_rowHeight);
        style.box = &box;
        style.inkColor = static_cast<uint16_t>(l.rowColour);
        m_rowBlocks.push_back(std::make_unique<CTextBlock>(style));
        m_rowTexts.push_back(std::move(text));
    }

    ScrollTo(m_current, true);
    if (m_itemCount > 0) m_nameAtOpening = m_items[static_cast<size_t>(m_current)];
    g_open = this;
    g_lastRow = -1;
    RedrawArea(0);
    EngineResumeScan();
    PlaySndFree(static_cast<int16_t>(m_entryOffered ? l.promptSound : l.promptSound + 2));
}

CItemChooser::~CItemChooser() { TearDown(true); }

void CItemChooser::TearDown(bool closing) {
    if (m_tornDown) return;
    m_tornDown = true;
    if (g_open == this) g_open = nullptr;
    if (closing) EngineSuspendScan();
    m_rowBlocks.clear();
    m_rowTexts.clear();
    m_field.reset();
    DisposeSprite(m_entryBack);
    DisposeSprite(m_typeMarker);
    DisposeSprite(m_listMarker);
    m_font.reset();
    DisposeSprite(m_up);
    DisposeSprite(m_down);
    DisposeSprite(m_ok);
    DisposeSprite(m_panel);
    m_entryBack = m_typeMarker = m_listMarker = m_up = m_down = m_ok = m_panel = nullptr;
    m_roster.reset();
    m_allowed.clear();
    if (closing) {
        PlayAnims(m_layout.closeAnim);
        const CCorString chosen = m_itemCount > 0 ? m_items[static_cast<size_t>(m_current)] : CCorString();
        if (m_callback) m_callback(chosen);
    }
    m_items.clear();
    theEngine->m_ctrlAltAEnabled = m_savedAdultHotKey;
    theEngine->m_ctrlQEnabled = m_savedQuitHotKey;
    if (closing) {
        RedrawArea(0);
        FlushEvents(0xFFFF);
    }
    *m_table = m_savedTable;
    m_nameAtOpening = CCorString();
}

void CItemChooser::PlayAnims(const int16_t (&anims)[2]) {
    // Kept by serial across the idle steps.
    CAnimRef carriers[2];
    for (int i = 0; i < 2; ++i) {
        if (anims[i] <= 0) continue;
        carriers[i] = CreateSprite(0, 0, kEmptyPicture);
        SetSpriteAnim(LiveSprite(carriers[i]), anims[i]);
    }
    auto running = [&] {
        for (const CAnimRef& c : carriers)
            if (CCorAnim* live = LiveSprite(c); live && GetSpriteStatus(live) == 0) return true;
        return false;
    };
    while (running()) {
        if (theEngine->ClosePending()) break;
        Delay(0);
        if (IsMouseUpPending(1)) {
            StopSprite(kAllSprites);
            StopAllSnds();
            for (const CAnimRef& c : carriers) QueueSpriteFrameNoWait(LiveSprite(c), kEmptyPicture);
            for (const CAnimRef& c : carriers) WaitSpriteDone(LiveSprite(c));
            break;
        }
    }
    for (const CAnimRef& c : carriers) DisposeSprite(LiveSprite(c));
}

CCorAnim* CItemChooser::RowSprite(int16_t row) const {
    const CTextBlock* block = RowBlock(row);
    return block ? static_cast<CCorAnim*>(block->Sprite()) : nullptr;
}

const CTextBlock* CItemChooser::RowBlock(int16_t row) const {
    if (row < 0 || row >= static_cast<int16_t>(m_rowBlocks.size())) return nullptr;
    return m_rowBlocks[static_cast<size_t>(row)].get();
}

int16_t CItemChooser::RowOfSprite(const void* sprite) const {
    for (size_t i = 0; i < m_rowBlocks.size(); ++i)
        if (m_rowBlocks[i]->HasSprite(sprite)) return static_cast<int16_t>(i);
    return -1;
}

int16_t CItemChooser::RowAtPoint(int16_t x, int16_t y) const {
    if (m_rowHeight <= 0 || x < m_list.left || x >= m_list.right || y < m_list.top) return -1;
    const int row = (y - m_list.top) / m_rowHeight;
    if (row >= m_rows || m_firstVisible < 0 || m_firstVisible + row >= m_itemCount) return -1;
    return static_cast<int16_t>(row);
}

void CItemChooser::PaintRow(int16_t item, bool selected) {
    const int row = item - m_firstVisible;
    if (m_firstVisible < 0 || row < 0 || row >= m_rows) return;
    CTextBlock& block = *m_rowBlocks[static_cast<size_t>(row)];
    block.SetInkColor(static_cast<uint16_t>(selected ? m_layout.selectedColour : m_layout.rowColour));
    block.Relayout();
}

void CItemChooser::ScrollTo(int16_t first, bool refreshArrows) {
    first = static_cast<int16_t>(std::max(0, std::min<int>(first, std::max(0, m_itemCount - m_rows))));
    if (first != m_firstVisible) {
        PaintRow(m_current, false);
        for (int16_t i = 0; i < m_rows; ++i) {
            const int item = first + i;
            CCorStyledString& text = *m_rowTexts[static_cast<size_t>(i)];
            if (item < m_itemCount) {
                text.AssignString(m_items[static_cast<size_t>(item)]);
            } else {
                text.AssignText("");
            }
            CTextBlock& block = *m_rowBlocks[static_cast<size_t>(i)];
            block.SetInkColor(static_cast<uint16_t>(m_layout.rowColour));
            block.Relayout();
        }
        m_firstVisible = first;
        PaintRow(m_current, true);
    }
    if (refreshArrows) RefreshArrows();
}

void CItemChooser::RefreshArrows() {
    const int16_t up = static_cast<int16_t>(m_firstVisible > 0 ? m_layout.upId : m_layout.upId + 2);
    const int16_t down =
        static_cast<int16_t>(m_itemCount <= m_firstVisible + m_rows ? m_layout.downId + 2 : m_layout.downId);
    if (up != m_upShown) QueueSpriteFrameNoWait(m_up, up);
    if (down != m_downShown) QueueSpriteFrameNoWait(m_down, down);
    m_upShown = up;
    m_downShown = down;
}

void CItemChooser::Select(int16_t item) {
    if (item == m_current) return;
    if (item < m_firstVisible) {
        ScrollTo(item, true);
    } else if (item >= m_firstVisible + m_rows) {
        ScrollTo(static_cast<int16_t>(item - m_rows + 1), true);
    }
    item = static_cast<int16_t>(std::clamp<int>(item, 0, std::max(0, m_itemCount - 1)));
    PaintRow(m_current, false);
    PaintRow(item, true);
    m_current = item;
    WaitForScripts();
}

void CItemChooser::ScrollBy(int16_t delta) {
    ScrollTo(static_cast<int16_t>(m_firstVisible + delta), false);
    if (!Scanning() && ButtonHeld()) {
        Delay(0);
        while (ButtonHeld() && !theEngine->ClosePending()) {
            WaitForScripts();
            ScrollTo(static_cast<int16_t>(m_firstVisible + delta), false);
            Delay(0);
        }
    }
    RefreshArrows();
    WaitForScripts();
    AddScanTargets();
}

void CItemChooser::SetListMode(bool on) {
    if (!m_entryOffered) return;
    if ((m_listMode != 0) == on) return;
    m_listMode = on ? 1 : 0;
    QueueSpriteFrameNoWait(m_listMarker, on ? m_layout.listMarkerId : kEmptyPicture);
    QueueSpriteFrameNoWait(m_typeMarker, on ? kEmptyPicture : m_layout.typeMarkerId);
    Delay(0);
}

void CItemChooser::AddScanTargets() {
    ClearScanTargets();
    for (int16_t i = 0; i < m_rows; ++i) {
        if (m_firstVisible + i >= m_itemCount) break;
        const CTextBlock& block = *m_rowBlocks[static_cast<size_t>(i)];
        AddScanSprite(-1, RowSprite(i), 0, static_cast<int16_t>(2 - block.Rect().Height() / 2), 1, 1);
    }
    if (m_upShown == m_layout.upId) AddScanSprite(-1, m_up, 0, 0, 1, 1);
    if (m_downShown == m_layout.downId) AddScanSprite(-1, m_down, 0, 0, 1, 1);
    AddScanSprite(-1, m_ok, 0, 0, 1, 1);
}

void CItemChooser::PressArrow(CCorAnim* arrow, int16_t pictureId, int16_t direction) {
    QueueSpriteFrameNoWait(arrow, static_cast<int16_t>(pictureId + 1));
    QueueSpriteWait(arrow, kPressTicks);
    QueueSpriteFrameNoWait(arrow, pictureId);
    WaitSpriteDone(arrow);
    const bool page = Scanning() || IsCtrlDown();
    ScrollBy(static_cast<int16_t>(page ? direction * m_rows : direction));
    FlushEvents(0xFFFF);
}

int16_t CItemChooser::OnClick(CCorAnim* sprite, int16_t id) {
    if (!sprite || m_done) return 0;
    const bool alreadyUp = !ButtonHeld();
    int16_t handled = 0;
    if (m_entryOffered && (sprite == m_entryBack || (m_field && m_field->HitTest(sprite, id)))) {
        handled = 1;
        if (m_field->Length() > 0) SetListMode(false);
    } else if (sprite == m_ok) {
        handled = 1;
        if (alreadyUp || TrackButton(m_ok, static_cast<int16_t>(m_layout.okId + 1), m_layout.okId)) Confirm(alreadyUp);
        if (!m_done) return 1;
    } else if (sprite == m_up) {
        handled = 1;
        // A greyed arrow has nothing to scroll and keeps its greyed look.
        if (m_upShown == m_layout.upId) PressArrow(m_up, m_layout.upId, -1);
    } else if (sprite == m_down) {
        handled = 1;
        if (m_downShown == m_layout.downId) PressArrow(m_down, m_layout.downId, +1);
    } else if (const int16_t row = RowOfSprite(sprite); row >= 0) {
        handled = 1;
        ClickOnRow(row);
    } else if (sprite == m_panel) {
        // A row is its whole rectangle, not only its letters' ink: a click between or beside
        // them meets the board under the row.
        handled = 1;
        int16_t x = 0;
        int16_t y = 0;
        GetLastClick(x, y);
        if (const int16_t under = RowAtPoint(x, y); under >= 0) ClickOnRow(under);
    }
    if (handled) StopAllSnds();
    return handled;
}

void CItemChooser::ClickOnRow(int16_t row) {
    const uint32_t now = GetEngineTicks();
    StopAllSnds();
    SetListMode(true);
    const bool inTime = static_cast<int32_t>(g_rowDeadline - now) >= 0;
    if (!Scanning() && row == g_lastRow && inTime) {
        g_lastRow = -1;
        Confirm(false);
        return;
    }
    Select(static_cast<int16_t>(m_firstVisible + row));
    g_lastRow = m_firstVisible + row < m_itemCount ? row : -1;
    g_rowDeadline = now + kDoubleClickTicks;
    // Dragging over the list moves the selection with the pointer.
    while (!Scanning() && ButtonHeld() && !theEngine->ClosePending()) {
        int16_t x = 0;
        int16_t y = 0;
        GetMouse(x, y);
        if (y < m_list.top) {
            Select(static_cast<int16_t>(m_firstVisible - 1));
            RefreshArrows();
        } else if (m_rowHeight > 0 && y < m_list.top + m_rows * m_rowHeight) {
            const int16_t r = static_cast<int16_t>((y - m_list.top) / m_rowHeight);
            if (m_firstVisible + r != m_current && m_firstVisible + r < m_itemCount)
                Select(static_cast<int16_t>(m_firstVisible + r));
        } else {
            Select(static_cast<int16_t>(m_firstVisible + m_rows));
            RefreshArrows();
        }
        Delay(0);
    }
}

void CItemChooser::OnKey(int32_t key) {
    if (m_done) return;
    StopAllSnds();
    const bool scanning = Scanning();
    switch (key) {
        case kKeyPageUp:
        case kKeyPageDown:
            if (scanning) return;
            ScrollBy(static_cast<int16_t>(key == kKeyPageUp ? -m_rows : m_rows));
            SetListMode(true);
            return;
        case kKeyUp:
        case kKeyDown:
            if (scanning) return;
            Select(static_cast<int16_t>(m_current + (key == kKeyUp ? -1 : 1)));
            SetListMode(true);
            return;
        case kKeyEnter:
            if (!scanning || !m_listMode) Confirm(true);
            return;
        default:
            if (!m_entryOffered || !m_field) return;
            m_field->OnKey(static_cast<UINT>(key));
            SetListMode(m_field->Length() == 0);
            return;
    }
}

void CItemChooser::Confirm(bool pressLook) {
    if (pressLook) {
        QueueSpriteFrameNoWait(m_ok, static_cast<int16_t>(m_layout.okId + 1));
        QueueSpriteWait(m_ok, kPressTicks);
        WaitSpriteDone(m_ok);
    }
    if (!m_listMode && m_field) {
        CCorString typed;
        m_field->GetText(typed);
        if (AddName(typed) == 0) {
            QueueSpriteFrameNoWait(m_ok, m_layout.okId);
            WaitSpriteDone(m_ok);
            return;
        }
    }
    if (m_itemCount > 0 && m_items[static_cast<size_t>(m_current)].CompareString(m_nameAtOpening) != kCompareEqual)
        m_roster->SetCurrent(m_current);
    m_done = 1;
}

int16_t CItemChooser::AddName(const CCorString& name) {
    const CCorString trimmed = WithoutTrailingBlanks(name);
    if (trimmed.Length() == 0) return 0;
    int16_t found = -1;
    for (int16_t i = 0; i < m_itemCount; ++i) {
        if (plat::EqualNoCase1252(View(m_items[static_cast<size_t>(i)]), View(trimmed))) {
            found = i;
            break;
        }
    }
    if (found < 0) {
        const int added = m_itemCount < kMaxItems ? m_roster->Add(std::string(View(trimmed))) : 0;
        if (added <= 0) {
            MessageBeep(MB_OK_BEEP);
            WaitForScripts();
            return 0;
        }
        const int16_t index = static_cast<int16_t>(std::clamp(added - 1, 0, static_cast<int>(m_itemCount)));
        m_items.insert(m_items.begin() + index, trimmed);
        ++m_itemCount;
        m_firstVisible = -1;
        m_current = index;
        ScrollTo(index, true);
        WaitForScripts();
        return 1;
    }
    Select(found);
    SetListMode(true);
    const int16_t channel = PlaySndFree(m_layout.existsSound);
    while (channel > 0 && IsSndPlaying(channel) && !theEngine->ClosePending()) Delay(0);
    WaitForScripts();
    return 0;
}

// ---- The table's hooks ----------------------------------------------------------------------

void CItemChooser::CloseIfDone() {
    CItemChooser* chooser = g_open;
    if (!chooser || !chooser->m_done) return;
    delete chooser;
    g_open = nullptr;
    EngineResumeScan();
}

void CItemChooser::HookTick() {
    CItemChooser* c = g_open;
    if (c && !c->m_done && c->m_entryOffered && c->m_field) c->m_field->Blink();
}

void CItemChooser::HookKeyDown(int32_t key) {
    if (CItemChooser* c = g_open) {
        c->OnKey(key);
        CloseIfDone();
    }
}

int16_t CItemChooser::HookAnimClicked(CCorAnim* sprite, int16_t id) {
    CItemChooser* c = g_open;
    if (!c) return 0;
    const int16_t handled = c->OnClick(sprite, id);
    CloseIfDone();
    return handled;
}

void CItemChooser::HookNotify(int32_t kind) {
    if (kind == kModuleNotifyScanOn && g_open) g_open->AddScanTargets();
}

void CItemChooser::HookLeave() {
    CItemChooser* c = g_open;
    if (!c) return;
    ModuleFunctionTable* table = c->m_table;
    c->TearDown(false);
    g_open = nullptr;
    delete c;
    if (table->Leave) table->Leave();
}
