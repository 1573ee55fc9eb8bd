// The players' levels through whole runs of the game: the real preference and player files in
// an emulated installation, the roster as the player chooser uses it, the engine's module
// switching with a stand-in hub and a stand-in activity that loads its level on Start and
// saves it on Leave, the grown-ups' copy-back, shutdown and start-up, and launcher mode.
//
// Each scenario runs against a small model of what must hold: the engine's block holds the
// levels of the current player, and each player's file holds that player's own last saved
// levels. After every step the bytes of every player's file and of the engine's block are
// compared with the model. Then, step by step, each write step fails in turn, and stops every
// write as a kill: every file then holds its old or its new content, never a short or a mixed
// one, and after the next start no player holds levels that another player played.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/base/activity_settings.h"
#include "engine/core/engine_test_support.h"
#include "engine/core/launcher_test_support.h"
#include "engine/core/zelbo_title.h"
#include "engine/players/app_prefs.h"
#include "engine/players/player_list.h"
#include "engine/players/player_roster.h"
#include "engine/players/player_strings.h"
#include "engine/players/prefs_file.h"
#include "platform/afx/message_box.h"
#include "platform/core/crt.h"
#include "platform/fs/crt_stat.h"
#include "platform/fs/winfile.h"
#include "platform/fs/write_fault.h"
#include "platform/profile/profile.h"
#include "platform/strings/cp1252.h"

namespace {

namespace fs = std::filesystem;
using enginetest::EngineTest;

constexpr size_t kRecordSize = sizeof(CUserPrefs);
constexpr size_t kBlockSize = sizeof(ActivitySettings);
const std::string kGuest = "G\xE4st";

ActivitySettings& EngineBlock() {
    int32_t size = 0;
    return *static_cast<ActivitySettings*>(theEngine->GetSavedSettings(size));
}

// The block of a player who plays module 2 at `level` (nullopt: the default levels).
std::string BlockBytes(std::optional<uint16_t> level) {
    ActivitySettings b;
    b.SetDefaults();
    if (level) b.level[0] = *level;
    return std::string(reinterpret_cast<const char*>(&b), sizeof b);
}

// The stand-in activity (module 2): Start loads the current player's levels and takes its own;
// the child then reaches `level`; Leave stores it into the block and saves the block.
struct StandInActivity {
    static inline uint16_t level = 0;
    static void Start() {
        LoadPlayerPrefs();
        level = EngineBlock().level[0];
    }
    static void Leave() {
        EngineBlock().level[0] = level;
        SavePlayerPrefs();
    }
};

// The title with the stand-in hub (module 1, which does nothing of its own: the engine's home
// entry reads the block) and the stand-in activity.
class CChainTitle : public CZelboTitle {
public:
    CChainTitle() {
        activity.Start = StandInActivity::Start;
        activity.Leave = StandInActivity::Leave;
    }
    ~CChainTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override {
        return module == 1 ? &hub : module == 2 ? &activity : nullptr;
    }
    void QuitGame() override {}

    ModuleFunctionTable hub{};
    ModuleFunctionTable activity{};
};

// The grown-ups' sheet: sets module 2's level in the block it is given and leaves with "Spela".
class CEditingSheet : public IAdultSection {
public:
    int RunSheet(bool, UINT, CWnd*, CUserPrefs&, ActivitySettings& block) override {
        block.level[0] = level;
        return IDOK;
    }
    uint16_t level = 0;
};

enum class Op {
    Boot,        // start-up, the first hub entry and (outside launcher mode) the chooser opened
    Exit,        // shutdown and the application's exit work
    Play,        // into the activity, the child reaches `level`, back to the hub
    Add,         // the chooser: a new player `name`, then chosen
    Choose,      // the chooser: the player `name` chosen
    DeleteFile,  // the grown-ups delete `name`'s preference file
    Unlist,      // the grown-ups remove `name`'s list entry
    Sheet,       // the grown-ups' sheet sets `level`, "Spela", then the hub is entered again
    Launch,      // launcher mode: the launcher's current child becomes `name`, then Boot
    SecondCopy,  // a second copy of the game starts and ends before entering the hub
};

struct Step {
    Op op;
    std::string name;
    uint16_t level = 0;
};

Step Boot() { return {Op::Boot, "", 0}; }
Step Exit() { return {Op::Exit, "", 0}; }
Step Play(uint16_t level) { return {Op::Play, "", level}; }
Step Add(const std::string& name) { return {Op::Add, name, 0}; }
Step Choose(const std::string& name) { return {Op::Choose, name, 0}; }
Step DeleteFile(const std::string& name) { return {Op::DeleteFile, name, 0}; }
Step Unlist(const std::string& name) { return {Op::Unlist, name, 0}; }
Step Sheet(uint16_t level) { return {Op::Sheet, "", level}; }
Step Launch(const std::string& child) { return {Op::Launch, child, 0}; }
Step SecondCopy() { return {Op::SecondCopy, "", 0}; }

struct Scenario {
    const char* name;
    std::vector<Step> steps;
};

// Levels are unique in a scenario, so a level found in the wrong player's file tells whose it was.
const Scenario kScenarios[] = {
    {"a player added after another played leaves the other's file as it was",
     {Boot(), Add("Anna"), Play(7), Add("Bo")}},
    {"there and back again with hub entries in between",
     {Boot(), Add("Anna"), Play(7), Add("Bo"), Play(9), Choose("Anna"), Play(11), Choose("Bo"), Exit(), Boot()}},
    {"a player whose file was deleted starts from the default levels",
     {Boot(), Add("Anna"), Play(7), Add("Bo"), Play(9), Choose("Anna"), DeleteFile("Bo"), Choose("Bo"), Play(5)}},
    {"the current player's entry removed, then another chosen",
     {Boot(), Add("Anna"), Play(7), Add("Bo"), Play(9), Unlist("Bo"), Choose("Anna"), Play(3)}},
    {"the grown-ups' level edits survive the next hub entry and the next run",
     {Boot(), Add("Anna"), Play(7), Sheet(12), Play(13), Sheet(14), Exit(), Boot()}},
    {"the guest's levels come back in the next run",
     {Boot(), Play(6), Exit(), Boot(), Add("Anna"), Choose(kGuest), Exit(), Boot()}},
    {"a second copy that starts and ends at once writes no player's file but with its own levels",
     {Boot(), Add("Anna"), Play(7), Sheet(8), Add("Bo"), Play(9), SecondCopy(), Play(10)}},
    {"launcher: each child keeps its own levels between runs",
     {Launch("Ida Berg"), Play(7), Exit(), Launch("Max Ek"), Play(9), Exit(), Launch("Ida Berg"), Exit()}},
    {"launcher: the grown-ups' edits stay",
     {Launch("Ida Berg"), Play(7), Sheet(12), Play(13), Exit(), Launch("Ida Berg")}},
    {"launcher: a child whose file was deleted starts from the default levels",
     {Launch("Ida Berg"), Play(7), Exit(), DeleteFile("Ida Berg"), Launch("Ida Berg"), Play(4)}},
};

// The write fault planned for one step: which of its write steps fails or is killed. Steps
// the test itself takes (deleting a file, removing an entry, the launcher's files) are not
// counted.
class CChainFaults : public plat::IWriteFaultHook {
public:
    CChainFaults(int at, plat::WriteFault fault) : m_at(at), m_fault(fault) {}
    plat::WriteFault Before(plat::WriteStep, const fs::path&) override {
        if (paused) return plat::WriteFault::None;
        return m_seen++ == m_at ? m_fault : plat::WriteFault::None;
    }
    int Seen() const { return m_seen; }
    bool Hit() const { return m_at >= 0 && m_seen > m_at; }
    bool paused = false;

private:
    int m_at;
    plat::WriteFault m_fault;
    int m_seen = 0;
};

// The key of the preference folder's file among the players' files.
const std::string kPrefsFolderFile = "<preference folder>";

// Every player's file (by player name) and the engine's block, as bytes; absent files absent.
struct World {
    std::map<std::string, std::string> files;
    std::optional<std::string> engineBlock;
};

// The headless back end without its picture of the screen: these runs look at files, and
// every fade would otherwise convert the whole screen at each of its steps.
class CFilesOnlyBackend : public plat::HeadlessBackend {
public:
    void Present(const uint8_t*, int, int, const uint32_t*, std::span<const RECT>) override {}
};

class PlayerChain : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        plat::SetBackend(std::make_unique<CFilesOnlyBackend>());
        RegisterPlayerStrings();
        PutSharedFile(root / "Prog");
        PutModuleFile(root / "Prog", 1, ModuleFile(1, 32, 32));
        PutModuleFile(root / "Prog", 2, ModuleFile(2, 32, 32));
        SetPrefsStore(&files);
        previousSection = SetAdultSection(&sheet);
        previousBox = plat::SetMessageBoxHook([](LPCSTR, UINT, UINT) { return IDOK; });
        previousPrefs = SetAppPrefs(&prefs);
        ASSERT_TRUE(plat::SetCurrentDosDirectory("C:\\"));
    }
    void TearDown() override {
        plat::SetWriteFaultHook(nullptr);
        title.reset();
        SetAppPrefs(previousPrefs);
        plat::SetMessageBoxHook(previousBox);
        SetAdultSection(previousSection);
        plat::SetWallClock(std::nullopt);
        EngineTest::TearDown();
    }

    // A fresh installation: no players, no preference files, no registry entries of the game.
    void Reset() {
        title.reset();
        for (const char* name : {"kids", "Public", "ZADARO"}) fs::remove_all(root / "Prog" / name);
        fs::remove_all(root / "ZADARO");
        fs::remove(root / "ZADARO.SWP");
        fs::remove(root / "Prog" / "Zelbo.ini");
        fs::remove(root / "Prog" / "Zelbo.PRF");
        prefs.SetDefaults(programFolder);
        prefs.Save();
        prefs.loaded = 0;
        children.clear();
        history.clear();
        wallClock.reset();
        plat::SetWallClock(std::nullopt);
    }

    // The child of that display name, numbered in the order first launched.
    LauncherChild& Child(const std::string& display) {
        const auto it = children.find(display);
        if (it != children.end()) return it->second;
        const size_t blank = display.find(' ');
        const auto number = static_cast<uint16_t>(children.size() + 1);
        return children[display] = MakeLauncherChild(display.substr(0, blank), display.substr(blank + 1), number);
    }

    // The host path of a player's preference file; empty when the player has no folder.
    fs::path FileOf(const std::string& name) {
        if (children.count(name)) {
            return root / "ZADARO" / "AD1" / ("KD" + std::to_string(children[name].number)) / "Zelbo.PRF";
        }
        char value[MAX_PATH] = {};
        GetPrivateProfileStringA("User List", name.c_str(), "", value, sizeof value, "C:\\Prog\\Zelbo.ini");
        if (!value[0]) return {};
        std::string relative = value;
        for (char& c : relative) c = c == '\\' ? '/' : c;
        return root / "Prog" / relative / "Zelbo.PRF";
    }

    // The player whose list entry names kids\<folder>\; empty when none does.
    static std::string ListedOwner(const std::string& folder) {
        std::vector<char> keys(1 << 16);
        const DWORD n = GetPrivateProfileStringA("User List", nullptr, "", keys.data(), static_cast<DWORD>(keys.size()),
                                                 "C:\\Prog\\Zelbo.ini");
        for (const char* k = keys.data(); k < keys.data() + n && *k; k += std::strlen(k) + 1) {
            char value[MAX_PATH] = {};
            GetPrivateProfileStringA("User List", k, "", value, sizeof value, "C:\\Prog\\Zelbo.ini");
            if (plat::EqualNoCase1252(value, "kids\\" + folder + "\\")) return k;
        }
        return {};
    }

    // Every player's file that exists, by the name its folder's name file or list entry gives.
    World Observe() {
        World world;
        const fs::path kids = root / "Prog" / "kids";
        if (fs::exists(kids)) {
            for (const auto& folder : fs::directory_iterator(kids)) {
                const fs::path file = folder.path() / "Zelbo.PRF";
                if (!fs::exists(file)) continue;
                char name[64] = {};
                const std::string settings = "C:\\Prog\\kids\\" + folder.path().filename().string() + "\\SETTINGS.INI";
                GetPrivateProfileStringA("Settings", "Namn", "", name, sizeof name, settings.c_str());
                // A folder whose name file is missing belongs to the player whose entry names it.
                std::string key = name[0] ? name : ListedOwner(folder.path().filename().string());
                if (key.empty()) key = "<no name in " + folder.path().filename().string() + ">";
                while (world.files.count(key)) key += " (again)";
                world.files[key] = Get(file);
            }
        }
        for (const auto& [display, child] : children) {
            const fs::path file = FileOf(display);
            if (fs::exists(file)) world.files[display] = Get(file);
        }
        if (fs::exists(root / "Prog" / "Zelbo.PRF")) world.files[kPrefsFolderFile] = Get(root / "Prog" / "Zelbo.PRF");
        if (theEngine && title && theEngine == title.get()) {
            world.engineBlock = std::string(reinterpret_cast<const char*>(&EngineBlock()), kBlockSize);
        }
        return world;
    }

    static std::string Get(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

    // The name of the player who plays now.
    std::string Current() {
        if (title && title->m_launcherMode) return currentChild;
        return prefs.currentUser;
    }

    void Run(const Step& step, CChainFaults* faults) {
        const auto pause = [&](bool on) {
            if (faults) faults->paused = on;
        };
        switch (step.op) {
            case Op::Boot: {
                prefs.Load();  // a new run reads the application preferences
                title = std::make_unique<CChainTitle>();
                title->Startup(programFolder);
                title->m_running = 1;
                title->GoToModule(1, TRUE);
                if (!title->m_launcherMode) {
                    CPlayerRoster chooser;
                    chooser.Load();
                }
                break;
            }
            case Op::Exit:
                title->Shutdown();
                prefs.Save();
                title.reset();
                break;
            case Op::Play:
                title->UnloadModule(TRUE);
                title->GoToModule(2, TRUE);
                StandInActivity::level = step.level;
                history[Current()].insert(step.level);
                title->LeaveModule();
                break;
            case Op::Add: {
                CPlayerRoster chooser;
                chooser.Load();
                if (const int count = chooser.Add(step.name)) chooser.SetCurrent(count - 1);
                break;
            }
            case Op::Choose: {
                CPlayerRoster chooser;
                chooser.Load();
                if (chooser.FindByName(step.name)) chooser.SetCurrent(chooser.IndexOf(step.name));
                break;
            }
            case Op::DeleteFile: {
                pause(true);
                const fs::path file = FileOf(step.name);
                if (!file.empty()) fs::remove(file);
                pause(false);
                break;
            }
            case Op::Unlist:
                pause(true);
                WritePrivateProfileStringA("User List", step.name.c_str(), nullptr, "C:\\Prog\\Zelbo.ini");
                pause(false);
                break;
            case Op::Sheet:
                title->UnloadModule(FALSE);
                sheet.level = step.level;
                history[Current()].insert(step.level);
                title->EnterAdultArea();
                title->GoToModule(title->GetHomeModule(), TRUE);
                break;
            case Op::SecondCopy: {
                // Its own application preferences, read from the registry; its engine stands
                // in for this one while it lives.
                CAppPrefs others;
                others.SetDefaults(programFolder);
                others.Load();
                SetAppPrefs(&others);
                {
                    CChainTitle second;
                    second.Startup(programFolder);
                    second.Shutdown();
                }
                SetAppPrefs(&prefs);
                break;
            }
            case Op::Launch: {
                pause(true);
                LauncherFiles launcher;
                launcher.folder = "C:\\ZADARO";
                launcher.current = Child(step.name);
                for (const auto& [display, child] : children) launcher.children.push_back(child);
                WriteLauncherFiles(root / "ZADARO.SWP", root / "ZADARO", launcher);
                struct _stat info {};
                _stat("C:\\ZADARO.SWP", &info);
                wallClock = static_cast<int64_t>(info.st_mtime) + 1;
                plat::SetWallClock(wallClock);
                currentChild = step.name;
                pause(false);
                Run(Boot(), faults);
                ASSERT_EQ(title->m_launcherMode, 1);
                break;
            }
        }
    }

    CPrefsFileStore files;
    CEditingSheet sheet;
    CAppPrefs prefs;
    std::unique_ptr<CChainTitle> title;
    std::map<std::string, LauncherChild> children;
    std::string currentChild;
    std::optional<int64_t> wallClock;  // "now" while the launcher runs
    // The levels each player played or was given by the grown-ups.
    std::map<std::string, std::set<uint16_t>> history;

private:
    IAdultSection* previousSection = nullptr;
    plat::MessageBoxHook previousBox;
    CAppPrefs* previousPrefs = nullptr;
};

// What must hold after each step, from the scenario alone: which players have a file, the
// level each file holds (nullopt: the default levels), who plays and what the engine's block
// holds. The preference folder's file is written by shutdown and the grown-ups' copy-back.
struct Model {
    using Level = std::optional<uint16_t>;
    std::map<std::string, Level> files;
    std::set<std::string> listed;
    std::string current = kGuest;
    std::string saved = kGuest;  // the current player as the application preferences were saved
    Level engine;
    std::optional<Level> prefsFile;
    bool launcher = false;

    // The level a player starts from: the file's, else the defaults.
    Level Read(const std::string& name) const {
        const auto it = files.find(name);
        return it == files.end() ? Level() : it->second;
    }
    bool Owns(const std::string& name) const { return launcher || listed.count(name) > 0; }
    void SaveCurrent() {
        if (Owns(current)) files[current] = engine;
    }

    void Apply(const Step& step) {
        switch (step.op) {
            case Op::Boot:
                if (!launcher && !listed.count(kGuest)) {
                    listed.insert(kGuest);
                    files[kGuest] = Level();
                }
                if (!Owns(current)) current = kGuest;
                engine = Read(current);
                break;
            case Op::Exit:
                SaveCurrent();
                prefsFile = engine;
                saved = current;
                break;
            case Op::SecondCopy:
                // It plays the saved player, with that player's own levels, and saves them.
                prefsFile = Read(Owns(saved) ? saved : kGuest);
                break;
            case Op::Play:
                engine = step.level;
                SaveCurrent();
                break;
            case Op::Add:
                if (!Owns(current)) current = kGuest, engine = Read(current);
                files[step.name] = Level();
                listed.insert(step.name);
                current = step.name;
                engine = Level();
                break;
            case Op::Choose:
                if (!Owns(current)) current = kGuest, engine = Read(current);
                SaveCurrent();
                current = step.name;
                engine = Read(current);
                break;
            case Op::DeleteFile:
                files.erase(step.name);
                break;
            case Op::Unlist:
                listed.erase(step.name);
                break;
            case Op::Sheet:
                engine = step.level;
                SaveCurrent();
                prefsFile = engine;
                engine = Owns(current) ? Read(current) : Level();
                break;
            case Op::Launch:
                launcher = true;
                current = step.name;
                engine = Read(current);
                break;
        }
    }
};

// A run kept at the start of a step: a copy of the whole emulated drive, what the test saw,
// and what lives only in memory (the application preferences, the engine's record and block).
struct Checkpoint {
    fs::path drive;
    World world;
    bool running = false;
    std::string currentUser;
    std::string currentChild;
    std::map<std::string, LauncherChild> children;
    std::map<std::string, std::set<uint16_t>> history;
    std::optional<int64_t> wallClock;
    CUserPrefs record{};
    ActivitySettings block{};
};

class PlayerChainScenario : public PlayerChain, public ::testing::WithParamInterface<Scenario> {
protected:
    Checkpoint Keep(size_t step) {
        Checkpoint c;
        c.drive = tmp / ("kept" + std::to_string(step));
        fs::remove_all(c.drive);
        fs::copy(root, c.drive, fs::copy_options::recursive);
        c.world = Observe();
        c.running = title != nullptr;
        c.currentUser = prefs.currentUser;
        c.currentChild = currentChild;
        c.children = children;
        c.history = history;
        c.wallClock = wallClock;
        if (title) {
            c.record = title->m_prefs;
            c.block = EngineBlock();
        }
        return c;
    }
    // Takes the run up again where it was kept: the drive as it was, and a game that has
    // started and entered the hub, holding the record and the block it held.
    void TakeUp(const Checkpoint& c) {
        title.reset();
        fs::remove_all(root);
        fs::copy(c.drive, root, fs::copy_options::recursive);
        prefs.currentUser = c.currentUser;
        prefs.loaded = 1;
        currentChild = c.currentChild;
        children = c.children;
        history = c.history;
        wallClock = c.wallClock;
        if (wallClock) {
            // The copy is newer than the swap file it was made of: "now" follows it.
            struct _stat info {};
            _stat("C:\\ZADARO.SWP", &info);
            wallClock = static_cast<int64_t>(info.st_mtime) + 1;
        }
        plat::SetWallClock(wallClock);
        if (!c.running) return;
        title = std::make_unique<CChainTitle>();
        title->Startup(programFolder);
        title->m_running = 1;
        title->GoToModule(1, TRUE);
        title->m_prefs = c.record;
        EngineBlock() = c.block;
    }

    // The record every player's own file holds: written once, by the player code, never by the
    // engine's saves.
    static std::string PlayerRecord() {
        CUserPrefs record;
        SetFileRecordDefaults(record);
        return std::string(reinterpret_cast<const char*>(&record), kRecordSize);
    }

    // Compares what is on disk and in the engine with the model.
    void ExpectModel(const Model& model, const World& world) {
        std::map<std::string, std::string> expected;
        for (const auto& [name, level] : model.files) {
            expected[name] = model.launcher ? BlockBytes(level) : PlayerRecord() + BlockBytes(level);
        }
        std::map<std::string, std::string> actual;
        for (const auto& [name, bytes] : world.files) {
            if (name == kPrefsFolderFile) continue;
            actual[name] = model.launcher && bytes.size() >= kRecordSize ? bytes.substr(kRecordSize) : bytes;
        }
        EXPECT_EQ(actual.size(), expected.size()) << "players with a file";
        for (const auto& [name, bytes] : expected) {
            const auto it = actual.find(name);
            if (it == actual.end()) {
                ADD_FAILURE() << name << " has no file";
            } else {
                EXPECT_TRUE(it->second == bytes) << name << "'s file: " << Describe(it->second) << ", expected "
                                                 << Describe(bytes);
            }
        }
        ASSERT_TRUE(world.engineBlock.has_value() || !title);
        if (title) {
            EXPECT_TRUE(*world.engineBlock == BlockBytes(model.engine))
                << "engine's block: " << Describe(*world.engineBlock) << ", expected " << Describe(BlockBytes(model.engine));
        }
        if (model.prefsFile && !model.launcher) {
            const auto it = world.files.find(kPrefsFolderFile);
            ASSERT_NE(it, world.files.end());
            EXPECT_TRUE(it->second.size() == kRecordSize + kBlockSize &&
                        it->second.substr(kRecordSize) == BlockBytes(*model.prefsFile))
                << "the preference folder's file: " << Describe(it->second);
        }
    }

    // A file's (or block's) level of module 2 for messages.
    static std::string Describe(const std::string& bytes) {
        const size_t at = bytes.size() == kBlockSize ? 0 : kRecordSize;
        if (bytes.size() != at + kBlockSize) return std::to_string(bytes.size()) + " bytes";
        ActivitySettings b;
        std::memcpy(&b, bytes.data() + at, kBlockSize);
        return "level " + std::to_string(b.level[0]);
    }
};

TEST_P(PlayerChainScenario, EveryFileAndTheEngineHoldTheirOwnPlayersLevels) {
    Reset();
    Model model;
    const Scenario& scenario = GetParam();
    for (size_t i = 0; i < scenario.steps.size(); ++i) {
        const Step& step = scenario.steps[i];
        SCOPED_TRACE("step " + std::to_string(i + 1));
        Run(step, nullptr);
        model.Apply(step);
        ExpectModel(model, Observe());
        if (HasFatalFailure()) return;
    }
}

// Under faults the model no longer says which write went through, but this holds whatever
// happened: every player's file is whole (its own record, then a block) and holds the default
// levels or levels its own player played; the engine's block holds the current player's.
void ExpectOwnLevels(const World& world, const std::map<std::string, std::set<uint16_t>>& history,
                     const std::string& current, bool launcher, const std::string& record) {
    const auto own = [&](const std::string& owner, const std::string& block) {
        if (block == BlockBytes(std::nullopt)) return true;
        const auto it = history.find(owner);
        if (it == history.end()) return false;
        for (uint16_t level : it->second) {
            if (block == BlockBytes(level)) return true;
        }
        return false;
    };
    for (const auto& [owner, bytes] : world.files) {
        if (owner == kPrefsFolderFile) continue;
        ASSERT_EQ(bytes.size(), kRecordSize + kBlockSize) << owner << "'s file is not whole";
        if (!launcher) {
            EXPECT_TRUE(bytes.substr(0, kRecordSize) == record) << owner << "'s record changed";
        }
        EXPECT_TRUE(own(owner, bytes.substr(kRecordSize))) << owner << "'s file holds another player's levels";
    }
    if (world.engineBlock) {
        EXPECT_TRUE(own(current, *world.engineBlock)) << "the engine's block is not " << current << "'s";
    }
}

// Each file after a step that met a fault: what it held before the step, or what the step
// gives it when nothing fails.
void ExpectOldOrNew(const World& before, const World& clean, const World& now) {
    std::set<std::string> names;
    for (const World* w : {&before, &clean, &now}) {
        for (const auto& [name, bytes] : w->files) names.insert(name);
    }
    const auto at = [](const World& w, const std::string& name) {
        const auto it = w.files.find(name);
        return it == w.files.end() ? std::optional<std::string>() : std::optional<std::string>(it->second);
    };
    for (const std::string& name : names) {
        const auto is = at(now, name);
        EXPECT_TRUE(is == at(before, name) || is == at(clean, name))
            << name << "'s file is neither its old content nor its new one";
    }
}

// Every scenario again: the clean run is kept at the start of each step (the files, the
// application preferences, the engine's record and block); then each write step of that step
// fails in turn, and stops every write as a kill, in a run taken up again from there. After
// the step each file holds its old or its new content; then the game ends (after a kill
// without writing anything more) and starts again, and still no player holds another's levels.
TEST_P(PlayerChainScenario, AFailedOrKilledWriteLosesNoFileAndMixesNoPlayers) {
    const Scenario& scenario = GetParam();
    const bool launcher = scenario.steps[0].op == Op::Launch;
    std::vector<Checkpoint> checkpoints;
    checkpoints.reserve(scenario.steps.size());
    std::vector<World> clean;
    std::vector<int> writes;
    Reset();
    for (size_t k = 0; k < scenario.steps.size(); ++k) {
        checkpoints.push_back(Keep(k));
        CChainFaults counter(-1, plat::WriteFault::None);
        plat::CWriteFaultScope scope(&counter);
        Run(scenario.steps[k], &counter);
        writes.push_back(counter.Seen());
        clean.push_back(Observe());
    }
    title.reset();
    int total = 0;
    for (size_t k = 0; k < scenario.steps.size(); ++k) {
        for (int at = 0; at < writes[k]; ++at) {
            for (const plat::WriteFault fault : {plat::WriteFault::Fail, plat::WriteFault::Kill}) {
                ++total;
                SCOPED_TRACE("step " + std::to_string(k + 1) + ", " +
                             (fault == plat::WriteFault::Fail ? "failing" : "killing") + " its write step " +
                             std::to_string(at + 1) + " of " + std::to_string(writes[k]));
                TakeUp(checkpoints[k]);
                {
                    CChainFaults plan(at, fault);
                    plat::CWriteFaultScope scope(&plan);
                    Run(scenario.steps[k], &plan);
                    EXPECT_TRUE(plan.Hit()) << "the step made fewer writes than in the clean run";
                    ExpectOldOrNew(checkpoints[k].world, clean[k], Observe());
                    if (fault == plat::WriteFault::Kill) title.reset();  // nothing of it reaches the disk
                }
                if (title) Run(Exit(), nullptr);
                Run(launcher ? Launch(currentChild) : Boot(), nullptr);
                ExpectOwnLevels(Observe(), history, Current(), launcher, PlayerRecord());
                title.reset();
                if (HasFailure()) return;
            }
        }
    }
    EXPECT_GT(total, 0);
}

// One suite per scenario, so that they run side by side.
const auto kName = [](const auto&) { return std::string("Row"); };
INSTANTIATE_TEST_SUITE_P(AddAfterPlay, PlayerChainScenario, ::testing::Values(kScenarios[0]), kName);
INSTANTIATE_TEST_SUITE_P(ThereAndBack, PlayerChainScenario, ::testing::Values(kScenarios[1]), kName);
INSTANTIATE_TEST_SUITE_P(FileDeleted, PlayerChainScenario, ::testing::Values(kScenarios[2]), kName);
INSTANTIATE_TEST_SUITE_P(EntryRemoved, PlayerChainScenario, ::testing::Values(kScenarios[3]), kName);
INSTANTIATE_TEST_SUITE_P(SheetEdits, PlayerChainScenario, ::testing::Values(kScenarios[4]), kName);
INSTANTIATE_TEST_SUITE_P(GuestAgain, PlayerChainScenario, ::testing::Values(kScenarios[5]), kName);
INSTANTIATE_TEST_SUITE_P(SecondCopy, PlayerChainScenario, ::testing::Values(kScenarios[6]), kName);
INSTANTIATE_TEST_SUITE_P(LauncherChildren, PlayerChainScenario, ::testing::Values(kScenarios[7]), kName);
INSTANTIATE_TEST_SUITE_P(LauncherSheet, PlayerChainScenario, ::testing::Values(kScenarios[8]), kName);
INSTANTIATE_TEST_SUITE_P(LauncherFileDeleted, PlayerChainScenario, ::testing::Values(kScenarios[9]), kName);

}  // namespace
