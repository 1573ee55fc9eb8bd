// The player chooser over an opener's table on a title of its own with the built hub file: the
// table taken and put back whole, the hot keys and scanning as they were, scrolling by arrows
// and keys, the double click's timing, typed names (existing ones in any case, trailing
// blanks, a refused add), the entry field's absence with a full roster, and the callback.
// Clicks and keys reach the chooser through the opener's table as the engine delivers them.
#include "app/item_chooser.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/chooser_test_support.h"
#include "engine/players/app_prefs.h"
#include "engine/scene/pal_item.h"
#include "engine/players/player_strings.h"
#include "engine/scene/cor_anim.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "media/res/item_cache.h"
#include "media/res/sprite.h"
#include "media/sound/sound_sources.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "media/surface/pal_id.h"
#include "platform/afx/message_box.h"
#include "platform/afx/string_table.h"
#include "platform/afxwin/winapp.h"
#include "platform/fs/write_fault.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/golden_test_support.h"
#include "platform/profile/profile.h"

namespace {

namespace fs = std::filesystem;

// What reached the opener's own entries, and what the chooser's callback got.
std::vector<std::string> gOpenerCalls;
std::vector<std::string> gChosen;

void Chosen(const CCorString& name) { gChosen.emplace_back(name.CStr(), static_cast<size_t>(name.Length())); }

// A table whose every entry is a function of its own that says who was called.
ModuleFunctionTable OpenerTable() {
    ModuleFunctionTable t{};
    t.Enter = [] { gOpenerCalls.push_back("Enter"); };
    t.unused1 = [] { gOpenerCalls.push_back("1"); };
    t.Start = [] { gOpenerCalls.push_back("Start"); };
    t.unused3 = [] { gOpenerCalls.push_back("3"); };
    t.unused4 = [] { gOpenerCalls.push_back("4"); };
    t.unused5 = [] { gOpenerCalls.push_back("5"); };
    t.Tick = [] { gOpenerCalls.push_back("Tick"); };
    t.KeyDown = [](int32_t) { gOpenerCalls.push_back("KeyDown"); };
    t.OnScanPoint = [](int32_t) { gOpenerCalls.push_back("OnScanPoint"); };
    t.OnAnimClicked = [](CCorAnim*, int16_t) -> int16_t {
        gOpenerCalls.push_back("OnAnimClicked");
        return 0;
    };
    t.OnStaticClicked = [](CCorStatic*, int16_t) -> int16_t {
        gOpenerCalls.push_back("OnStaticClicked");
        return 0;
    };
    t.OnTextClicked = [](CText*, int16_t) -> int16_t {
        gOpenerCalls.push_back("OnTextClicked");
        return 0;
    };
    t.BeginLeave = []() -> int16_t {
        gOpenerCalls.push_back("BeginLeave");
        return 0;
    };
    t.OnSecondButton = [] { gOpenerCalls.push_back("OnSecondButton"); };
    t.Leave = [] { gOpenerCalls.push_back("Leave"); };
    t.Notify = [](int32_t kind) { gOpenerCalls.push_back("Notify " + std::to_string(kind)); };
    t.OnAnimCue = [](CCorAnim*, uint32_t) { gOpenerCalls.push_back("OnAnimCue"); };
    return t;
}

bool SameTable(const ModuleFunctionTable& a, const ModuleFunctionTable& b) {
    return std::memcmp(&a, &b, sizeof(ModuleFunctionTable)) == 0;
}

// The engine's sound items, noting every sound id asked for.
class CNotingSoundItems : public ISoundItems {
public:
    explicit CNotingSoundItems(ISoundItems& inner) : m_inner(inner) {}
    bool OpenModule(int module, bool& opened) override { return m_inner.OpenModule(module, opened); }
    void CloseModule(int module) override { m_inner.CloseModule(module); }
    bool Find(int32_t id, uint32_t& size) override {
        asked.insert(id);
        return m_inner.Find(id, size);
    }
    bool Read(int32_t id, uint32_t offset, void* out, uint32_t n) override { return m_inner.Read(id, offset, out, n); }
    std::set<int32_t> asked;

private:
    ISoundItems& m_inner;
};

// A disk that takes nothing.
class FailEverything : public plat::IWriteFaultHook {
public:
    plat::WriteFault Before(plat::WriteStep, const fs::path&) override { return plat::WriteFault::Fail; }
};

constexpr int16_t kLayout = 101;
constexpr int16_t kUp = 852;
constexpr int16_t kDown = 855;
constexpr int16_t kOk = 861;
constexpr int32_t kPrompt = 1710;
constexpr int32_t kPromptWithoutField = 1712;
constexpr int32_t kNameExists = 1714;

class ItemChooserTest : public choosertest::HubTitleTest {
protected:
    void SetUp() override {
        HubTitleTest::SetUp();
        std::string pattern = (fs::temp_directory_path() / "zelbo-chooser-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        tmp = pattern;
        root = tmp / "c";
        fs::create_directories(root / "Prog");
        plat::SetEmulatedRoot(root);
        plat::ClearStringTable();
        RegisterPlayerStrings();
        app.SetRegistryKey("Quorva");
        title.m_programFolder = "C:\\Prog\\";
        previousPrefs = SetAppPrefs(&prefs);
        prefs.SetDefaults("C:\\Prog\\");
        prefs.Load();
        previousBox = plat::SetMessageBoxHook([](LPCSTR, UINT, UINT) { return IDOK; });
        title.m_prefs.childrenMayAddPlayers = 1;
        sounds = std::make_unique<CNotingSoundItems>(hosts.soundItems);
        previousSounds = SetSoundItems(sounds.get());
        ASSERT_EQ(title.m_sounds.OpenOutput(), 1);
        original = OpenerTable();
        table = std::make_unique<ModuleFunctionTable>(original);
        title.m_moduleTable = table.get();
        title.m_running = 1;
        gOpenerCalls.clear();
        gChosen.clear();
    }
    void TearDown() override {
        if (CItemChooser::Current()) table->Leave();
        title.m_running = 0;
        title.m_moduleTable = nullptr;
        title.m_sounds.CloseOutput();
        SetSoundItems(previousSounds);
        plat::SetMessageBoxHook(previousBox);
        SetAppPrefs(previousPrefs);
        plat::ClearStringTable();
        plat::ResetDriveMap();
        HubTitleTest::TearDown();
        std::error_code ec;
        fs::remove_all(tmp, ec);
    }

    static void Put(const fs::path& p, const std::string& content) {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
    }
    // The guest and these players, each with a folder of its own; the guest is current.
    void Players(const std::vector<std::string>& names) {
        std::string list = "[User List]\r\nG\xE4st=kids\\Kid001\\\r\n";
        Put(root / "Prog" / "kids" / "Kid001" / "SETTINGS.INI", "[Settings]\r\nNamn=G\xE4st\r\n");
        for (size_t i = 0; i < names.size(); ++i) {
            char folder[16];
            std::snprintf(folder, sizeof folder, "Kid%03zu", i + 2);
            list += names[i] + "=kids\\" + folder + "\\\r\n";
            Put(root / "Prog" / "kids" / folder / "SETTINGS.INI", "[Settings]\r\nNamn=" + names[i] + "\r\n");
        }
        Put(root / "Prog" / "Zelbo.ini", list);
    }
    // n players besides the guest: "Namn01", "Namn02" ... (listed in that order after the guest).
    void NumberedPlayers(int n) {
        std::vector<std::string> names;
        for (int i = 1; i <= n; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "Namn%02d", i);
            names.emplace_back(name);
        }
        Players(names);
    }
    static std::vector<std::string> ListKeys() {
        std::vector<char> buffer(1 << 16);
        const DWORD n = GetPrivateProfileStringA("User List", nullptr, "", buffer.data(),
                                                 static_cast<DWORD>(buffer.size()), "C:\\Prog\\Zelbo.ini");
        std::vector<std::string> keys;
        for (const char* p = buffer.data(); p < buffer.data() + n && *p; p += std::strlen(p) + 1) keys.emplace_back(p);
        return keys;
    }

    CItemChooser* Open() {
        CItemChooser* c = CItemChooser::Open(table.get(), kLayout, Chosen);
        EXPECT_NE(c, nullptr);
        EXPECT_EQ(CItemChooser::Current(), c);
        return c;
    }
    static std::string Name(const CItemChooser& c, int16_t i) {
        const CCorString& s = c.Item(i);
        return std::string(s.CStr(), static_cast<size_t>(s.Length()));
    }
    static std::string FieldText(const CItemChooser& c) {
        CCorString s;
        c.Field()->GetText(s);
        return std::string(s.CStr(), static_cast<size_t>(s.Length()));
    }
    // A click as the engine delivers it: the sprite and its picture's id, through the table.
    int16_t Click(CCorAnim* sprite) { return table->OnAnimClicked(sprite, GetSpriteFrame(sprite)); }
    void Key(UINT vk) { table->KeyDown(static_cast<int32_t>(vk)); }
    // Types the text as a child would: capitals with Shift, å/ä/ö and their capitals on their
    // keys, blanks on the space bar.
    void Type(const std::string& text) {
        for (unsigned char ch : text) {
            keyboard.shift = false;
            keyboard.asciiKey = 0;
            UINT vk = 0;
            if (ch >= 'a' && ch <= 'z') {
                vk = ch - 'a' + 'A';
            } else if (ch >= 'A' && ch <= 'Z') {
                vk = ch;
                keyboard.shift = true;
            } else if (ch == ' ') {
                vk = VK_SPACE;
            } else {
                const struct {
                    unsigned char small, capital;
                    UINT vk;
                } swedish[] = {{0xE5, 0xC5, VK_OEM_6}, {0xE4, 0xC4, VK_OEM_7}, {0xF6, 0xD6, VK_OEM_3}};
                for (const auto& s : swedish)
                    if (ch == s.small || ch == s.capital) {
                        vk = s.vk;
                        keyboard.shift = ch == s.capital;
                    }
                ASSERT_NE(vk, 0u) << "no key types " << int(ch);
            }
            keyboard.asciiKey = vk;
            keyboard.asciiChar = ch;
            Key(vk);
        }
        keyboard.shift = false;
    }
    // Idle steps until n ticks have passed since t0.
    static void WaitUntil(uint32_t t0, uint32_t n) {
        while (GetEngineTicks() - t0 < n) Delay(0);
    }
    size_t SpriteCount() const { return title.m_anims.Objects().size(); }
    void CheckChooserGolden(const char* golden);

    fs::path tmp, root;
    CWinApp app{"Zelbo"};
    CAppPrefs prefs;
    choosertest::FakeKeyboard keyboard;
    std::unique_ptr<CNotingSoundItems> sounds;
    ModuleFunctionTable original{};
    // On the heap and exactly its own size, so a copy of more than the 17 entries is caught.
    std::unique_ptr<ModuleFunctionTable> table;

private:
    CAppPrefs* previousPrefs = nullptr;
    plat::MessageBoxHook previousBox;
    ISoundItems* previousSounds = nullptr;
};

// While open the chooser alone answers the table (its five hooks, every other entry empty); a
// second chooser is refused; closing puts back exactly the 17 entries found, calls back once
// and takes away every sprite it made.
TEST_F(ItemChooserTest, TheOpenersTableIsTakenAndPutBackWhole) {
    Players({"Bo"});
    const size_t spritesBefore = SpriteCount();
    CItemChooser* c = Open();
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(SameTable(*table, original));
    EXPECT_EQ(table->Enter, nullptr);
    EXPECT_EQ(table->unused1, nullptr);
    EXPECT_EQ(table->Start, nullptr);
    EXPECT_EQ(table->OnScanPoint, nullptr);
    EXPECT_EQ(table->OnStaticClicked, nullptr);
    EXPECT_EQ(table->OnTextClicked, nullptr);
    EXPECT_EQ(table->BeginLeave, nullptr);
    EXPECT_EQ(table->OnSecondButton, nullptr);
    EXPECT_EQ(table->OnAnimCue, nullptr);
    for (auto entry : {reinterpret_cast<void*>(table->Tick), reinterpret_cast<void*>(table->KeyDown),
                       reinterpret_cast<void*>(table->OnAnimClicked), reinterpret_cast<void*>(table->Notify),
                       reinterpret_cast<void*>(table->Leave)})
        EXPECT_NE(entry, nullptr);
    EXPECT_GT(SpriteCount(), spritesBefore);
    const ModuleFunctionTable whileOpen = *table;
    EXPECT_EQ(CItemChooser::Open(table.get(), kLayout, Chosen), nullptr) << "one chooser at a time";
    EXPECT_TRUE(SameTable(*table, whileOpen));

    Delay(5);
    EXPECT_EQ(gOpenerCalls, std::vector<std::string>{}) << "the opener hears nothing while the chooser is open";
    ASSERT_EQ(Click(c->OkButton()), 1);
    EXPECT_EQ(CItemChooser::Current(), nullptr);
    EXPECT_TRUE(SameTable(*table, original));
    EXPECT_EQ(gChosen, std::vector<std::string>{"G\xE4st"});
    EXPECT_EQ(SpriteCount(), spritesBefore);
    Delay(5);
    EXPECT_EQ(gChosen.size(), 1u) << "called back once";
    EXPECT_NE(std::find(gOpenerCalls.begin(), gOpenerCalls.end(), "Tick"), gOpenerCalls.end())
        << "the opener ticks again";
}

// The game closing while the chooser is open: the chooser goes without calling back, the
// table is the opener's again and the opener's own Leave runs.
TEST_F(ItemChooserTest, TakingTheModuleDownClosesTheChooserFirst) {
    Players({"Bo"});
    const size_t spritesBefore = SpriteCount();
    ASSERT_NE(Open(), nullptr);
    table->Leave();
    EXPECT_EQ(CItemChooser::Current(), nullptr);
    EXPECT_TRUE(SameTable(*table, original));
    EXPECT_EQ(gOpenerCalls, std::vector<std::string>{"Leave"});
    EXPECT_EQ(gChosen, std::vector<std::string>{});
    EXPECT_EQ(SpriteCount(), spritesBefore);
}

// The two hot keys are off while the chooser is open and afterwards as they were, whatever
// they were; scanning that was on is off while the chooser builds, on again for its targets,
// and on again for the opener (who hears it) once the chooser has gone.
TEST_F(ItemChooserTest, HotKeysAndScanningAreAsTheyWere) {
    Players({"Bo", "Eva"});
    const struct {
        int32_t adult, quit;
        bool scanning;
    } cases[] = {{1, 1, false}, {0, 1, false}, {1, 0, true}, {0, 0, true}, {-1, 1, false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.adult << " " << k.quit << " " << k.scanning);
        title.m_ctrlAltAEnabled = k.adult;
        title.m_ctrlQEnabled = k.quit;
        title.m_prefs.scanningAllowed = 1;
        title.m_scanner.Enable(k.scanning ? TRUE : FALSE);
        gOpenerCalls.clear();
        CItemChooser* c = Open();
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(title.m_ctrlAltAEnabled, 0);
        EXPECT_EQ(title.m_ctrlQEnabled, 0);
        EXPECT_EQ(title.m_scanner.IsOn(), k.scanning ? TRUE : FALSE);
        if (k.scanning) {
            EXPECT_EQ(title.m_scanner.Target(0) != nullptr, true) << "the chooser's targets";
            Key(13);  // Enter does not confirm in list mode while scanning
            ASSERT_EQ(CItemChooser::Current(), c);
        }
        ASSERT_EQ(Click(c->OkButton()), 1);
        ASSERT_EQ(CItemChooser::Current(), nullptr);
        EXPECT_EQ(title.m_ctrlAltAEnabled, k.adult);
        EXPECT_EQ(title.m_ctrlQEnabled, k.quit);
        EXPECT_EQ(title.m_scanner.IsOn(), k.scanning ? TRUE : FALSE);
        EXPECT_EQ(title.m_scanSuspended, 0);
        const bool heard = std::find(gOpenerCalls.begin(), gOpenerCalls.end(), "Notify 2") != gOpenerCalls.end();
        EXPECT_EQ(heard, k.scanning) << "the opener registers its targets again";
        title.m_scanner.Enable(FALSE);
    }
}

// The arrows: the up arrow greyed at the top, the down arrow at the bottom, both when all
// names fit; a greyed arrow's click changes nothing, an active one scrolls by a row.
TEST_F(ItemChooserTest, ArrowsAreGreyedAtTheEnds) {
    NumberedPlayers(15);
    CItemChooser* c = Open();
    ASSERT_NE(c, nullptr);
    const int16_t rows = c->Rows();
    ASSERT_GE(rows, 3);
    ASSERT_GT(c->ItemCount(), rows);
    EXPECT_EQ(GetSpriteFrame(c->UpArrow()), kUp + 2);
    EXPECT_EQ(GetSpriteFrame(c->DownArrow()), kDown);
    Click(c->UpArrow());
    EXPECT_EQ(c->FirstVisible(), 0);
    EXPECT_EQ(GetSpriteFrame(c->UpArrow()), kUp + 2) << "a greyed arrow keeps its look";
    Click(c->DownArrow());
    EXPECT_EQ(c->FirstVisible(), 1);
    EXPECT_EQ(GetSpriteFrame(c->UpArrow()), kUp);
    EXPECT_EQ(GetSpriteFrame(c->DownArrow()), kDown);
    const int16_t last = static_cast<int16_t>(c->ItemCount() - rows);
    while (c->FirstVisible() < last) {
        const int16_t before = c->FirstVisible();
        Click(c->DownArrow());
        ASSERT_EQ(c->FirstVisible(), before + 1);
    }
    EXPECT_EQ(GetSpriteFrame(c->DownArrow()), kDown + 2);
    EXPECT_EQ(GetSpriteFrame(c->UpArrow()), kUp);
    Click(c->DownArrow());
    EXPECT_EQ(c->FirstVisible(), last);
    EXPECT_EQ(GetSpriteFrame(c->DownArrow()), kDown + 2);
    // The rows show the names from the first visible one on.
    for (int16_t r = 0; r < rows; ++r) {
        const CTextBlock* block = c->RowBlock(r);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(Name(*c, static_cast<int16_t>(last + r)), std::string(c->Item(static_cast<int16_t>(last + r)).CStr()));
    }
    table->Leave();

    Players({"Bo"});
    c = Open();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(GetSpriteFrame(c->UpArrow()), kUp + 2);
    EXPECT_EQ(GetSpriteFrame(c->DownArrow()), kDown + 2) << "all names fit";
}

// Keys: 38 and 40 move the selection (the list follows), 11 and 12 scroll by a page; the
// list stays within its ends and the arrows show where it is.
TEST_F(ItemChooserTest, KeysMoveTheSelectionAndScroll) {
    NumberedPlayers(19);
    CItemChooser* probe = Open();
    ASSERT_NE(probe, nullptr);
    const int r = probe->Rows();
    const int n = probe->ItemCount();
    ASSERT_EQ(n, 20);
    ASSERT_GE(r, 3);
    table->Leave();
    const struct {
        const char* what;
        std::vector<UINT> keys;
        int current, first;
    } cases[] = {
        {"nothing", {}, 0, 0},
        {"down", {40}, 1, 0},
        {"up at the top", {38}, 0, 0},
        {"down and up", {40, 40, 38}, 1, 0},
        {"page up at the top", {11}, 0, 0},
        {"page down", {12}, 0, r},
        {"page down and up", {12, 11}, 0, 0},
        {"page down to the end", {12, 12, 12, 12, 12, 12, 12, 12}, 0, n - r},
        {"down past the last row scrolls", std::vector<UINT>(static_cast<size_t>(r), 40), r, 1},
        {"down after paging selects above the rows", {12, 40}, 1, 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        CItemChooser* c = Open();
        ASSERT_NE(c, nullptr);
        for (UINT key : k.keys) Key(key);
        EXPECT_EQ(c->CurrentItem(), k.current);
        EXPECT_EQ(c->FirstVisible(), k.first);
        EXPECT_TRUE(c->ListMode());
        EXPECT_EQ(GetSpriteFrame(c->UpArrow()), k.first > 0 ? kUp : kUp + 2);
        EXPECT_EQ(GetSpriteFrame(c->DownArrow()), k.first + r >= n ? kDown + 2 : kDown);
        EXPECT_EQ(CItemChooser::Current(), c) << "keys other than Enter leave it open";
        table->Leave();
    }
}

// A second click on the same row within 30 ticks confirms it; later, or after a click on
// another row, it only selects.
TEST_F(ItemChooserTest, ASecondClickOnARowConfirmsWithin30Ticks) {
    Players({"Anna", "Bo", "Eva"});
    const struct {
        uint32_t after;
        bool confirms;
    } cases[] = {{1, true}, {29, true}, {31, false}, {60, false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.after);
        gChosen.clear();
        CItemChooser* c = Open();
        ASSERT_NE(c, nullptr);
        const uint32_t t0 = GetEngineTicks();
        ASSERT_EQ(Click(c->RowSprite(2)), 1);
        EXPECT_EQ(c->CurrentItem(), 2);
        EXPECT_EQ(CItemChooser::Current(), c);
        WaitUntil(t0, k.after);
        ASSERT_EQ(GetEngineTicks() - t0, k.after);
        ASSERT_EQ(Click(c->RowSprite(2)), 1);
        if (k.confirms) {
            EXPECT_EQ(CItemChooser::Current(), nullptr);
            EXPECT_EQ(gChosen, std::vector<std::string>{"Bo"});
            EXPECT_EQ(prefs.currentUser, "Bo");
        } else {
            EXPECT_EQ(CItemChooser::Current(), c);
            EXPECT_EQ(gChosen, std::vector<std::string>{});
            table->Leave();
        }
        prefs.SetCurrentUser("G\xE4st");
    }

    // A click on another row starts the timing again.
    CItemChooser* c = Open();
    ASSERT_NE(c, nullptr);
    Click(c->RowSprite(1));
    Delay(5);
    Click(c->RowSprite(3));
    EXPECT_EQ(c->CurrentItem(), 3);
    EXPECT_EQ(CItemChooser::Current(), c);
    const uint32_t t0 = GetEngineTicks();
    WaitUntil(t0, 20);
    Click(c->RowSprite(3));
    EXPECT_EQ(CItemChooser::Current(), nullptr);
    EXPECT_EQ(gChosen, std::vector<std::string>{"Eva"});
}

// A typed name already listed, in any case and with blanks after it, selects the listed one
// (with the layout's sound) and adds nothing; Enter then picks it. A new name loses its
// trailing blanks, is added to the roster and the list, and is the one chosen.
TEST_F(ItemChooserTest, TypedNamesAreFoundIgnoringCaseOrAdded) {
    const struct {
        const char* typed;
        const char* chosen;
        bool added;
    } cases[] = {
        {"\xC5SA", "\xC5sa", false},
        {"\xE5sa", "\xC5sa", false},
        {"bo  ", "Bo", false},
        {"G\xC4ST", "G\xE4st", false},
        {"Eva  ", "Eva", true},
        {"\xD6rjan", "\xD6rjan", true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.typed);
        Players({"\xC5sa", "Bo"});
        prefs.SetCurrentUser("Bo");
        gChosen.clear();
        sounds->asked.clear();
        const std::vector<std::string> keysBefore = ListKeys();
        CItemChooser* c = Open();
        ASSERT_NE(c, nullptr);
        ASSERT_TRUE(c->EntryOffered());
        Type(k.typed);
        EXPECT_FALSE(c->ListMode());
        EXPECT_EQ(FieldText(*c), k.typed);
        Key(13);
        if (!k.added) {
            ASSERT_EQ(CItemChooser::Current(), c) << "an existing name keeps the chooser open";
            EXPECT_EQ(Name(*c, c->CurrentItem()), k.chosen);
            EXPECT_TRUE(c->ListMode());
            EXPECT_EQ(c->ItemCount(), 3);
            EXPECT_EQ(ListKeys(), keysBefore);
            EXPECT_EQ(sounds->asked.count(kNameExists), 1u);
            Key(13);
        }
        EXPECT_EQ(CItemChooser::Current(), nullptr);
        EXPECT_EQ(gChosen, std::vector<std::string>{k.chosen});
        EXPECT_EQ(prefs.currentUser, k.chosen);
        const std::vector<std::string> keys = ListKeys();
        EXPECT_EQ(keys.size(), keysBefore.size() + (k.added ? 1 : 0));
        EXPECT_NE(std::find(keys.begin(), keys.end(), k.chosen), keys.end());
    }
}

// Nothing typed, or only blanks: no name to add, the chooser stays open and the roster is as
// it was. Erasing what was typed goes back to the list, where Enter picks the selected name.
TEST_F(ItemChooserTest, NoNameIsAddedFromAnEmptyField) {
    Players({"Bo"});
    const std::vector<std::string> keysBefore = ListKeys();
    CItemChooser* c = Open();
    ASSERT_NE(c, nullptr);
    for (const char* blank : {"", " ", "   "}) {
        EXPECT_EQ(c->AddName(CCorString(blank)), 0) << '"' << blank << '"';
        EXPECT_EQ(c->ItemCount(), 2);
        EXPECT_EQ(CItemChooser::Current(), c);
    }
    EXPECT_EQ(ListKeys(), keysBefore);
    Type("Al");
    EXPECT_FALSE(c->ListMode());
    Key(8);
    Key(8);
    EXPECT_EQ(FieldText(*c), "");
    EXPECT_TRUE(c->ListMode()) << "an empty field is not typing";
    Key(40);
    Key(13);
    EXPECT_EQ(gChosen, std::vector<std::string>{"Bo"});
    EXPECT_EQ(ListKeys(), keysBefore);
}

// A name the roster cannot add (nothing can be written, a name it refuses, no room) inserts
// nothing, beeps, keeps the chooser open with the typed text and leaves the current player;
// once the disk takes it, Enter adds it.
TEST_F(ItemChooserTest, AFailedAddChangesNothing) {
    Players({"Bo", "Eva"});
    prefs.SetCurrentUser("Eva");
    const std::vector<std::string> keysBefore = ListKeys();
    CItemChooser* c = Open();
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->CurrentItem(), 2);
    Type("Kim");
    const size_t beeps = head->Beeps().size();
    {
        FailEverything hook;
        plat::CWriteFaultScope scope(&hook);
        Key(13);
    }
    ASSERT_EQ(CItemChooser::Current(), c);
    EXPECT_EQ(head->Beeps().size(), beeps + 1);
    EXPECT_EQ(c->ItemCount(), 3);
    EXPECT_EQ(c->CurrentItem(), 2);
    EXPECT_EQ(FieldText(*c), "Kim");
    EXPECT_FALSE(c->ListMode());
    EXPECT_EQ(GetSpriteFrame(c->OkButton()), kOk);
    EXPECT_EQ(prefs.currentUser, "Eva");
    EXPECT_EQ(ListKeys(), keysBefore);
    EXPECT_EQ(gChosen, std::vector<std::string>{});

    EXPECT_EQ(c->AddName(CCorString("Bo=Bo")), 0) << "a name that cannot be a key";
    EXPECT_EQ(head->Beeps().size(), beeps + 2);
    EXPECT_EQ(c->ItemCount(), 3);

    Key(13);
    EXPECT_EQ(CItemChooser::Current(), nullptr);
    EXPECT_EQ(gChosen, std::vector<std::string>{"Kim"});
    EXPECT_EQ(prefs.currentUser, "Kim");
    EXPECT_EQ(ListKeys().size(), keysBefore.size() + 1);
}

// With 90 players the roster is full: no entry field and the other prompt; an add asked for
// all the same is refused. With 89 the field is there with its prompt; grown-ups who do not
// let children add players take the field away too. The hub's board shows five names or more,
// with or without the field.
TEST_F(ItemChooserTest, AFullRosterOffersNoField) {
    const struct {
        int others;
        uint32_t mayAdd;
        bool field;
        int32_t prompt;
    } cases[] = {{89, 1, false, kPromptWithoutField}, {88, 1, true, kPrompt}, {3, 0, false, kPromptWithoutField}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.others);
        NumberedPlayers(k.others);
        title.m_prefs.childrenMayAddPlayers = k.mayAdd;
        sounds->asked.clear();
        CItemChooser* c = Open();
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->ItemCount(), k.others + 1);
        EXPECT_EQ(c->EntryOffered(), k.field);
        EXPECT_EQ(c->Field() != nullptr, k.field);
        EXPECT_EQ(c->EntryBackground() != nullptr, k.field);
        EXPECT_EQ(sounds->asked.count(k.prompt), 1u);
        EXPECT_EQ(sounds->asked.count(k.prompt == kPrompt ? kPromptWithoutField : kPrompt), 0u);
        const int16_t bottom = k.field ? c->Layout().listBottomWithEntry : c->Layout().listBottomWithoutEntry;
        EXPECT_EQ(c->Rows(), (bottom - c->Layout().listTop) / c->RowHeight());
        EXPECT_GE(c->Rows(), 5) << "the hub's board shows at least five names";
        if (k.others == 89) {
            const size_t beeps = head->Beeps().size();
            EXPECT_EQ(c->AddName(CCorString("Ny")), 0);
            EXPECT_EQ(c->ItemCount(), 90);
            EXPECT_EQ(head->Beeps().size(), beeps + 1);
        }
        Type("Xy");
        EXPECT_EQ(c->ListMode(), !k.field) << "without a field keys type nothing";
        table->Leave();
    }
}

// A window that hands its key presses to the engine's key dispatch, as the game's view does.
LRESULT CALLBACK KeyViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        theEngine->OnEngineKeyDown(static_cast<int32_t>(wParam));
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

// Script lines for keys typed 5 ms apart: '+' Shift goes down, '-' it comes up; a letter's key
// goes down and up (a small letter is its capital's key; å, ä, ö their own keys), carrying no
// character, so the field reads Shift as the key found it.
std::string FastKeyLines(const std::string& keys) {
    std::string lines;
    for (unsigned char ch : keys) {
        if (ch == '+' || ch == '-') {
            lines += std::string("+5 ") + (ch == '+' ? "keydown" : "keyup") + " SHIFT\n";
            continue;
        }
        int vk = std::toupper(ch);
        if (ch == 0xE5 || ch == 0xC5) vk = VK_OEM_6;
        if (ch == 0xE4 || ch == 0xC4) vk = VK_OEM_7;
        if (ch == 0xF6 || ch == 0xD6) vk = VK_OEM_3;
        const std::string name = std::to_string(vk);
        lines += "+5 vkdown " + name + "\n+5 vkup " + name + "\n";
    }
    return lines;
}

// Typing runs ahead of the chooser, which waits for its caret at each key: every letter takes
// Shift as its own key message found it, not as it is when the key is handled, for A-Z as for
// å, ä and ö. The keys come as the headless back end's script lines through a window to the
// engine's key dispatch; Shift is held over several keys, let go between keys, and pressed
// after the first; the script's own typing (Shift around each capital) too.
TEST_F(ItemChooserTest, FastTypingKeepsEachKeysShift) {
    const struct {
        const char* what;
        std::string lines;
        const char* typed;
    } cases[] = {
        {"Shift held over eight keys", FastKeyLines("+QRSTUVWX-"), "QRSTUVWX"},
        {"Shift let go between keys", FastKeyLines("+Q-r+S-t+U-v"), "QrStUv"},
        {"Shift pressed after the first key", FastKeyLines("q+RS-tu"), "qRStu"},
        {"Swedish letters", FastKeyLines("+\xC5-\xE4+\xD6\xC4-\xF6"), "\xC5\xE4\xD6\xC4\xF6"},
        {"typed by the script", "+5 type QRSTuvWX\n", "QRSTuvWX"},
    };
    Players({"Bo"});
    IKeyboardReadings* fake = SetKeyboardReadings(nullptr);
    WNDCLASS wc{};
    wc.lpfnWndProc = KeyViewProc;
    wc.lpszClassName = "KeyView";
    RegisterClass(&wc);
    HWND view = CreateWindow("KeyView", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(view, nullptr);
    SetFocus(view);
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        CItemChooser* c = Open();
        ASSERT_NE(c, nullptr);
        ASSERT_TRUE(c->EntryOffered());
        std::string error;
        ASSERT_TRUE(head->LoadScript(k.lines, "", &error)) << error;
        // Until a while after the last line, every message taken and dispatched in turn.
        const uint64_t end = head->NowMs() + 5 * static_cast<uint64_t>(std::count(k.lines.begin(), k.lines.end(), '\n')) +
                             20 * std::strlen(k.typed) + 500;
        while (head->NowMs() < end) {
            MSG msg;
            if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            } else {
                head->Advance(1);
            }
        }
        EXPECT_EQ(FieldText(*c), k.typed);
        table->Leave();
    }
    DestroyWindow(view);
    SetKeyboardReadings(fake);
}

// The caret blinks from the table's Tick while the field waits for typing.
TEST_F(ItemChooserTest, TheCaretBlinksFromTheTick) {
    Players({"Bo"});
    CItemChooser* c = Open();
    ASSERT_NE(c, nullptr);
    CCorAnim* caret = c->Field()->CaretSprite();
    std::set<int16_t> seen;
    for (int i = 0; i < 200; ++i) {
        Delay(1);
        seen.insert(GetSpriteFrame(caret));
    }
    EXPECT_EQ(seen, (std::set<int16_t>{2, c->Layout().caretId}));
}

// The board takes its clicks and nothing happens; a sprite that is not the chooser's is not
// its click. A click on the entry field with text in it goes back to typing, and Enter then
// adds what was typed.
TEST_F(ItemChooserTest, ClicksOnTheBoardAndTheField) {
    Players({"Bo"});
    CCorAnim* other = CreateSprite(10, 10, 861);
    CItemChooser* c = Open();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Click(c->Panel()), 1);
    EXPECT_EQ(Click(other), 0);
    EXPECT_EQ(CItemChooser::Current(), c);
    EXPECT_EQ(c->CurrentItem(), 0);
    EXPECT_EQ(Click(c->EntryBackground()), 1);
    EXPECT_TRUE(c->ListMode()) << "an empty field is not typing";
    Type("Al");
    EXPECT_FALSE(c->ListMode());
    EXPECT_EQ(GetSpriteFrame(c->TypeMarker()), c->Layout().typeMarkerId);
    EXPECT_EQ(GetSpriteFrame(c->ListMarker()), 2);
    Key(40);
    EXPECT_TRUE(c->ListMode());
    EXPECT_EQ(GetSpriteFrame(c->TypeMarker()), 2);
    EXPECT_EQ(GetSpriteFrame(c->ListMarker()), c->Layout().listMarkerId);
    EXPECT_EQ(c->CurrentItem(), 1);
    EXPECT_EQ(Click(c->EntryBackground()), 1);
    EXPECT_FALSE(c->ListMode());
    Key(13);
    EXPECT_EQ(CItemChooser::Current(), nullptr);
    EXPECT_EQ(gChosen, std::vector<std::string>{"Al"});
    DisposeSprite(other);
}

// A layout the hub file does not hold reads as zeros: the chooser opens with no rows and no
// field, keys and Enter still work, and nothing is touched outside its lists.
TEST_F(ItemChooserTest, AMissingLayoutStillChooses) {
    Players({"Bo", "Eva"});
    CItemChooser* c = CItemChooser::Open(table.get(), 999, Chosen);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Rows(), 0);
    EXPECT_FALSE(c->EntryOffered());
    EXPECT_EQ(c->RowSprite(0), nullptr);
    for (UINT key : {40u, 40u, 40u, 12u, 11u, 38u, UINT{'A'}}) Key(key);
    EXPECT_EQ(c->CurrentItem(), 1);
    Key(13);
    EXPECT_EQ(CItemChooser::Current(), nullptr);
    EXPECT_EQ(gChosen, std::vector<std::string>{"Bo"});
    EXPECT_TRUE(SameTable(*table, original));
}

// A click anywhere on a row's rectangle, through the engine's click dispatch, selects the name
// there: in the blank between two words, beside the name, on the row's top and bottom lines,
// left of it and just past its letters, as on a letter. The board outside the rows, and a row
// without a name, select nothing.
TEST_F(ItemChooserTest, AClickAnywhereOnARowSelectsIt) {
    Players({"Bo", "Eva Li", "Kim"});
    CItemChooser* c = Open();
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->Rows(), 5);
    ASSERT_EQ(c->ItemCount(), 4);
    ASSERT_EQ(c->CurrentItem(), 0);
    const CCorRect list = c->ListRect();
    const int h = c->RowHeight();
    const int x0 = title.m_originX, y0 = title.m_originY;
    auto top = [&](int r) { return list.top + r * h; };
    // Whether row r's letters have ink at (x, y), picture coordinates.
    auto ink = [&](int r, int x, int y) {
        return c->RowSprite(static_cast<int16_t>(r))->HitTest(x + x0, y + y0, true);
    };
    auto columnEmpty = [&](int r, int x) {
        for (int y = top(r); y < top(r + 1); ++y)
            if (ink(r, x, y)) return false;
        return true;
    };
    // Row r's first and last columns with ink, and the first column without ink between them.
    struct Columns {
        int first = -1, last = -1, gap = -1;
    };
    auto columns = [&](int r) {
        Columns k;
        for (int x = list.left; x < list.right; ++x)
            if (!columnEmpty(r, x)) {
                if (k.first < 0) k.first = x;
                k.last = x;
            }
        for (int x = k.first + 1; x < k.last && k.gap < 0; ++x)
            if (columnEmpty(r, x)) k.gap = x;
        return k;
    };
    const Columns guest = columns(0), bo = columns(1), evaLi = columns(2), kim = columns(3);
    ASSERT_GE(evaLi.gap, 0) << "the blank of \"Eva Li\" is a column without ink";
    ASSERT_GT(evaLi.first, list.left) << "the name starts right of the list's edge";
    int inkY = top(3);
    while (inkY < top(4) && !ink(3, kim.first, inkY)) ++inkY;
    const struct {
        const char* what;
        int x, y;
        int16_t selected;  // the current item afterwards
        bool onInk;
    } cases[] = {
        {"in the blank between two words", evaLi.gap, top(2) + h / 2, 2, false},
        {"beside the name", list.right - 1, top(3) + h / 2, 3, false},
        {"on the row's top line", (bo.first + bo.last) / 2, top(1), 1, false},
        {"on the row's bottom line", guest.first, top(1) - 1, 0, false},
        {"left of the name", list.left, top(2) + h / 2, 2, false},
        {"just past the name's letters", bo.last + 1, top(1) + h / 2, 1, false},
        {"on a letter", kim.first, inkY, 3, true},
        {"a row without a name", (list.left + list.right) / 2, top(4) + h / 2, 3, false},
        {"the board above the list", (list.left + list.right) / 2, list.top - 2, 3, false},
        {"the board right of the list", list.right, top(1) + h / 2, 3, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        const int r = (k.y - list.top) / h;
        if (k.y >= list.top && r < c->ItemCount()) {
            ASSERT_EQ(ink(r, k.x, k.y), k.onInk);
        }
        // A second click on a row within 30 ticks would confirm it: each click comes later.
        WaitUntil(GetEngineTicks(), 31);
        title.OnEngineLButtonDown(POINT{k.x + x0, k.y + y0});
        EXPECT_EQ(c->CurrentItem(), k.selected);
        ASSERT_EQ(CItemChooser::Current(), c) << "one click does not confirm";
    }
}

// The open chooser's pixels over the hub's background, as the screen shows them, against the
// golden image of that name.
void ItemChooserTest::CheckChooserGolden(const char* golden) {
    InitDibSystem(nullptr, TRUE, 0);
    CPalItem palette(1000);
    ASSERT_TRUE(palette.Load());
    CDibG frame;
    frame.CreateRealized(640, 480, palette.GetPalette());
    CSprite* background = GetResItem(1000, TRUE);
    ASSERT_NE(background, nullptr);
    ASSERT_EQ(background->Width(), 640);
    ASSERT_EQ(background->Height(), 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) frame.SetPixel(x, y, background->Bits()[y * background->Stride() + x]);
    CDirtyRectList dirty;
    dirty.Add(RECT{0, 0, 640, 480});
    ASSERT_FALSE(dirty.IsEmpty());
    title.m_anims.DrawAll(frame, dirty);
    HDC screen = GetDC(nullptr);
    SelectPalette(screen, *palette.GetPalette(), FALSE);
    RealizePalette(screen);
    frame.DrawRect(screen, RECT{0, 0, 640, 480}, RECT{0, 0, 640, 480}, SRCCOPY);
    ReleaseDC(nullptr, screen);
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, golden);
    ShutdownDibSystem();
}

// The open chooser over the hub's background with a name being typed, as the screen shows it
// (tests/golden/item_chooser_open.png).
TEST_F(ItemChooserTest, GoldenOpenChooser) {
    Players({"\xC5sa", "Bo", "Eva", "Kim", "Lo", "Maja", "Sixten"});
    prefs.SetCurrentUser("Bo");
    title.m_screenWidth = 640;
    title.m_screenHeight = 480;
    CItemChooser* c = Open();
    ASSERT_NE(c, nullptr);
    Type("Ny");
    Delay(1);
    CheckChooserGolden("item_chooser_open.png");
}

// A full roster (90 players): no entry field, and every row of names inside the board's white
// list (tests/golden/item_chooser_full.png), the list scrolled to the middle.
TEST_F(ItemChooserTest, GoldenFullChooser) {
    NumberedPlayers(89);
    prefs.SetCurrentUser("Namn44");
    title.m_screenWidth = 640;
    title.m_screenHeight = 480;
    CItemChooser* c = Open();
    ASSERT_NE(c, nullptr);
    ASSERT_FALSE(c->EntryOffered());
    ASSERT_EQ(c->CurrentItem(), 44);
    ASSERT_EQ(c->Rows(), 5);
    for (int16_t r = 0; r < c->Rows(); ++r) {
        RECT row{};
        ASSERT_TRUE(c->RowSprite(r)->GetBounds(row)) << r;
        EXPECT_GE(row.top - title.m_originY, c->ListRect().top) << r;
        EXPECT_LE(row.bottom - title.m_originY, c->ListRect().bottom) << r;
    }
    Delay(1);
    CheckChooserGolden("item_chooser_full.png");
}

}  // namespace
