// The picture file exchange with the headless file dialog driven by script: the kind
// preference, saving under each entry, the open dialog's refusals, Cancel, the shade, and the
// chosen file's operations.
#include "media/print/picture_file_exchange.h"

#include <filesystem>
#include <fstream>

#include "media/print/file_kinds.h"
#include "media/print/picture_file_host.h"
#include "media/print/picture_file_strings.h"
#include "media/res/record_file.h"
#include "media/res/res_items_test_support.h"
#include "platform/dialogs/dialogs_test_support.h"
#include "platform/fs/write_fault.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kNameEdit = 1152;
constexpr int kTypeBox = 1136;
constexpr int16_t kBase = 6000;
constexpr int16_t kSaveFilter = 20;
constexpr int16_t kOpenFilter = 30;
constexpr int16_t kDamagedFilter = 50;

const media::FileKindsTable kSaveKinds{
    "Formbygge (*.zfb)|*.zfb|Bitmappsbild (*.bmp)|*.bmp|PCX-bild (*.pcx)|*.pcx||",
    {{"zfb", 1, {0x00}}, {"bmp", 0, {'B', 'M'}}, {"pcx", 0, {0x0A, 0x05, 0x01}}}};
const media::FileKindsTable kOpenKinds{"Formbygge (*.zfb)|*.zfb||", {{"zfb", 1, {0x00}}}};

// Module 6's resources, the player's folder, and the engine's shade and preference folder.
class CExchangeHost : public itemtest::CTestHost, public IPictureFileHost {
public:
    CExchangeHost() : m_saved(SetPictureFileHost(this)) {
        module = 6;
        media::CResWriter writer;
        writer.Add("FIL", kBase + kSaveFilter, media::BuildFileKinds(kSaveKinds));
        writer.Add("FIL", kBase + kOpenFilter, media::BuildFileKinds(kOpenKinds));
        // A damaged item: its kinds are cut off after the count.
        writer.Add("FIL", kBase + kDamagedFilter, Bytes{'A', '|', '*', '.', 'a', 0, 2, 0, 'a', 0});
        OpenModule(6, writer);
    }
    ~CExchangeHost() override { SetPictureFileHost(m_saved); }
    std::string PlayerFolder() override { return "C:\\Spelare\\"; }
    std::string PrefsFolder() override { return "C:\\Bilder\\"; }
    void ShadeScreen(uint8_t colour) override {
        shadeColour = colour;
        ++shades;
        shaded = true;
    }
    void RemoveShade() override {
        ++removals;
        shaded = false;
    }
    int shades = 0;
    int removals = 0;
    bool shaded = false;
    int shadeColour = -1;

private:
    IPictureFileHost* m_saved;
};

class PictureFileExchange : public dialogs_test::DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        media::RegisterPictureFileStrings();
        std::filesystem::create_directories(plat::EmulatedRoot() / "Bilder");
        std::filesystem::create_directories(plat::EmulatedRoot() / "Spelare");
        m_host = std::make_unique<CExchangeHost>();
    }
    void TearDown() override {
        m_host.reset();
        DialogsTest::TearDown();
    }

    static void PutFile(const std::string& name, const Bytes& bytes) {
        std::ofstream(plat::EmulatedRoot() / "Bilder" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static bool Exists(const std::string& name) { return std::filesystem::exists(plat::EmulatedRoot() / "Bilder" / name); }

    // The stored kind of a dialog, or -100 when there is none.
    static int StoredKind(int16_t filter) {
        CRecordFile file(6000);
        if (!file.HasItem(kRecordTypeKindPref, static_cast<uint16_t>(kBase + filter))) return -100;
        uint8_t b[2] = {};
        EXPECT_EQ(file.ReadItemInto(kRecordTypeKindPref, static_cast<uint16_t>(kBase + filter), b, 2), 0);
        return static_cast<int16_t>(b[0] | b[1] << 8);
    }
    static void StoreKind(int16_t filter, int16_t kind) {
        CRecordFile file(6000);
        const uint8_t b[2] = {static_cast<uint8_t>(kind), static_cast<uint8_t>(kind >> 8)};
        ASSERT_EQ(file.ReplaceRawItem(kRecordTypeKindPref, static_cast<uint16_t>(kBase + filter), b, 2), 0);
    }

    static HWND Item(int id) { return plat::FindDialogItem(plat::ActiveDialog(), id); }
    static std::string NameField() { return plat::dlg::WindowText(Item(kNameEdit)); }
    static LRESULT ChosenType() { return SendMessage(Item(kTypeBox), CB_GETCURSEL, 0, 0); }
    static void ChooseType(int index) {
        HWND types = Item(kTypeBox);
        SendMessage(types, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessage(plat::ActiveDialog(), WM_COMMAND, MAKEWPARAM(kTypeBox, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
    }
    static void SetName(const std::string& name) { SetWindowText(Item(kNameEdit), name.c_str()); }
    static std::vector<std::string> TypeNames() {
        for (const plat::ControlState& c : plat::DescribeDialog(plat::ActiveDialog()))
            if (c.id == kTypeBox) return c.items;
        return {};
    }

    // Types the name under the filter entry (from 0; -1 leaves it) and presses OK.
    void SaveAs(int type, const std::string& name) {
        Later(10, [type, name] {
            if (type >= 0) ChooseType(type);
            SetName(name);
        });
        ClickItem(20, IDOK);
    }

    std::unique_ptr<CExchangeHost> m_host;
};

TEST_F(PictureFileExchange, StoredKindOutsideTheTableIsReadAsOneAndWrittenBack) {
    for (const int stored : {0, 5, 4, -1, 0x7FFF, -100}) {
        SCOPED_TRACE(stored);
        if (stored == -100) {
            std::filesystem::remove(plat::EmulatedRoot() / "Spelare" / "Mod6000.rsc");
        } else {
            StoreKind(kSaveFilter, static_cast<int16_t>(stored));
        }
        std::string name;
        LRESULT type = -1;
        int storedDuring = 0;
        Later(10, [&] {
            name = NameField();
            type = ChosenType();
            storedDuring = StoredKind(kSaveFilter);
        });
        Key(20, VK_ESCAPE);
        {
            CPictureFileExchange exchange(kBase, kSaveFilter, nullptr, CPictureFileExchange::kModeSave);
            EXPECT_EQ(exchange.ChosenKind(), -1);
        }
        // The dialog started on the first kind, and the value was mended before it ran.
        EXPECT_EQ(name, "*.zfb");
        EXPECT_EQ(type, 0);
        EXPECT_EQ(storedDuring, 1);
        EXPECT_EQ(StoredKind(kSaveFilter), 1);
        Drain();
    }
}

TEST_F(PictureFileExchange, DialogListsTheKindsThenAllFilesAndStartsOnTheLastKind) {
    StoreKind(kSaveFilter, 3);
    std::vector<std::string> types;
    std::string name;
    LRESULT type = -1;
    Later(10, [&] {
        types = TypeNames();
        name = NameField();
        type = ChosenType();
    });
    Key(20, VK_ESCAPE);
    { CPictureFileExchange exchange(kBase, kSaveFilter, nullptr, CPictureFileExchange::kModeSave); }
    EXPECT_EQ(types, (std::vector<std::string>{"Formbygge (*.zfb)", "Bitmappsbild (*.bmp)", "PCX-bild (*.pcx)",
                                               "Alla filer (*.*)"}));
    EXPECT_EQ(name, "*.pcx");
    EXPECT_EQ(type, 2);
    // Nothing changed, nothing cancelled away: the stored kind stays.
    EXPECT_EQ(StoredKind(kSaveFilter), 3);
}

TEST_F(PictureFileExchange, SavingUnderEachEntryGivesAKindOfTheTable) {
    struct Case {
        const char* name;
        int stored;  // the kind the dialog starts on
        int type;    // the filter entry chosen (from 0; 3 is all files)
        const char* typed;
        int kind;
        const char* path;
    };
    const Case cases[] = {
        {"all files, pcx typed", 1, 3, "bild.pcx", 3, "C:\\Bilder\\bild.pcx"},
        {"all files, no extension: the kind before", 2, 3, "ritning", 2, "C:\\Bilder\\ritning.bmp"},
        {"all files, extension of another case", 3, 3, "FIGUR.ZFB", 1, "C:\\Bilder\\FIGUR.ZFB"},
        {"all files, unknown extension: the kind before", 2, 3, "anteckning.txt", 2, "C:\\Bilder\\anteckning.txt"},
        {"bitmap entry, no extension: the entry's extension", 1, 1, "sol", 2, "C:\\Bilder\\sol.bmp"},
        {"bitmap entry, pcx typed: the extension replaced", 1, 1, "hus.pcx", 2, "C:\\Bilder\\hus.bmp"},
        {"pcx entry from bitmap, no extension", 2, 2, "katt", 3, "C:\\Bilder\\katt.pcx"},
        {"same kind, another extension kept", 1, 0, "namn.abc", 1, "C:\\Bilder\\namn.abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreKind(kSaveFilter, static_cast<int16_t>(c.stored));
        SaveAs(c.type, c.typed);
        {
            CPictureFileExchange exchange(kBase, kSaveFilter, nullptr, CPictureFileExchange::kModeSave);
            EXPECT_EQ(exchange.ResultCode(), 0);
            EXPECT_EQ(exchange.ChosenKind(), c.kind);
            EXPECT_EQ(exchange.GetFileName(), c.path);
            EXPECT_TRUE(exchange.IsOpen());
            EXPECT_EQ(exchange.WriteBytes("data", 4), 0);
        }
        EXPECT_EQ(StoredKind(kSaveFilter), c.kind);
        std::ifstream in(*plat::ResolveDosPath(c.path), std::ios::binary);
        std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(content, "data");
        // The next dialog starts on that kind with its extension.
        std::string name;
        Later(10, [&] { name = NameField(); });
        Key(20, VK_ESCAPE);
        { CPictureFileExchange next(kBase, kSaveFilter, nullptr, CPictureFileExchange::kModeSave); }
        EXPECT_EQ(name, "*." + kSaveKinds.kinds[static_cast<size_t>(c.kind - 1)].extension);
        Drain();
        plat::SetCurrentDosDirectory("C:\\");
    }
}

TEST_F(PictureFileExchange, NameChangedToItsKindAsksBeforeReplacingAFile) {
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        PutFile("katt.bmp", {'B', 'M', 'x'});
        StoreKind(kSaveFilter, 1);
        plat::ClearMessageBoxLog();
        bool openAfter = false;
        Later(10, [this, answer] {
            ChooseType(1);
            SetName("katt");  // katt.zfb by the dialog, katt.bmp by its kind
            m_head->PushAnswer(answer);
        });
        ClickItem(20, IDOK);
        Later(40, [&] { openAfter = IsWindow(plat::ActiveDialog()) != 0; });
        if (answer == IDNO) Key(50, VK_ESCAPE);
        {
            CPictureFileExchange exchange(kBase, kSaveFilter, nullptr, CPictureFileExchange::kModeSave);
            EXPECT_EQ(exchange.ResultCode(), answer == IDYES ? 0 : kPictureFileNotChosen);
            if (answer == IDYES) {
                EXPECT_EQ(exchange.GetFileName(), "C:\\Bilder\\katt.bmp");
                EXPECT_EQ(exchange.ChosenKind(), 2);
            }
        }
        ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
        EXPECT_EQ(plat::MessageBoxLog()[0].text, "C:\\Bilder\\katt.bmp finns redan.\nVill du ers\xE4tta den?");
        EXPECT_EQ(openAfter, answer == IDNO);
        // Refused, the picture is as it was; accepted, the file was made anew for writing.
        EXPECT_EQ(std::filesystem::file_size(plat::EmulatedRoot() / "Bilder" / "katt.bmp"), answer == IDNO ? 3u : 0u);
        EXPECT_FALSE(Exists("katt.zfb"));
        Drain();
        plat::SetCurrentDosDirectory("C:\\");
    }
}

TEST_F(PictureFileExchange, OpenRefusesWhatIsNotOfAKnownKindAndStaysOpen) {
    PutFile("figur.zfb", {20, 0, 4, 0, 1, 2});
    PutFile("bild.bmp", {'B', 'M', 0, 0});
    PutFile("kort.zfb", {20});  // shorter than the signature's offset + length
    struct Attempt {
        const char* typed;
        const char* message;  // none: accepted
    };
    const Attempt attempts[] = {
        {"bild.bmp", "Filtypen st\xF6" "ds inte."},
        {"saknas", "Filen finns inte."},
        {"kort.zfb", "Filtypen st\xF6" "ds inte."},
        {"figur", nullptr},
    };
    std::vector<bool> openAfter;
    uint64_t t = 10;
    for (const Attempt& a : attempts) {
        Later(t, [this, a] {
            SetName(a.typed);
            if (a.message) m_head->PushAnswer(IDOK);
        });
        ClickItem(t + 10, IDOK);
        if (a.message) Later(t + 30, [&] { openAfter.push_back(IsWindow(plat::ActiveDialog()) != 0); });
        t += 50;
    }
    CPictureFileExchange exchange(kBase, kOpenFilter, nullptr, CPictureFileExchange::kModeOpen);
    ASSERT_EQ(plat::MessageBoxLog().size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(plat::MessageBoxLog()[i].text, attempts[i].message) << i;
    EXPECT_EQ(openAfter, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(exchange.ResultCode(), 0);
    EXPECT_EQ(exchange.ChosenKind(), 1);
    EXPECT_EQ(exchange.GetFileName(), "C:\\Bilder\\figur.zfb");
    ASSERT_EQ(exchange.GetLength(), 6u);
    uint8_t bytes[6] = {};
    EXPECT_EQ(exchange.ReadBytes(bytes, 6), 0);
    EXPECT_EQ(Bytes(bytes, bytes + 6), (Bytes{20, 0, 4, 0, 1, 2}));
    // Past the end: the read is an error, not a success with stale bytes.
    EXPECT_EQ(exchange.ReadBytes(bytes, 1), CFileException::endOfFile);
}

TEST_F(PictureFileExchange, CancelGivesNoKindAndTheShadeLastsAsLongAsTheExchange) {
    bool shadedDuring = false;
    Later(10, [&] { shadedDuring = m_host->shaded; });
    Key(20, VK_ESCAPE);
    {
        CPictureFileExchange exchange(kBase, kSaveFilter, nullptr, CPictureFileExchange::kModeSave);
        EXPECT_EQ(exchange.ChosenKind(), -1);
        EXPECT_NE(exchange.ResultCode(), 0);
        EXPECT_FALSE(exchange.Chosen());
        EXPECT_FALSE(exchange.IsOpen());
        EXPECT_EQ(exchange.WriteBytes("x", 1), kPictureFileNotOpen);
        EXPECT_EQ(exchange.GetLength(), 0u);
        EXPECT_TRUE(m_host->shaded);
    }
    EXPECT_TRUE(shadedDuring);
    EXPECT_FALSE(m_host->shaded);
    EXPECT_EQ(m_host->shades, 1);
    EXPECT_EQ(m_host->removals, 1);
    EXPECT_EQ(m_host->shadeColour, CPictureFileExchange::kShadeColour);
}

TEST_F(PictureFileExchange, FileOperationsReportFailuresAsCodes) {
    SaveAs(-1, "bild");
    CPictureFileExchange exchange(kBase, kSaveFilter, nullptr, CPictureFileExchange::kModeSave);
    ASSERT_EQ(exchange.ResultCode(), 0);
    // A full disk during a write.
    plat::CWriteFaultPlan full(0, plat::WriteFault::Fail);
    plat::SetWriteFaultHook(&full);
    EXPECT_EQ(exchange.WriteBytes("abcdef", 6), CFileException::diskFull);
    plat::SetWriteFaultHook(nullptr);
    EXPECT_EQ(exchange.Close(), 0);
    // Closed once: later calls do nothing.
    EXPECT_EQ(exchange.Close(), 0);
    EXPECT_EQ(exchange.WriteBytes("x", 1), kPictureFileNotOpen);
    uint8_t b = 0;
    EXPECT_EQ(exchange.ReadBytes(&b, 1), kPictureFileNotOpen);
}

TEST_F(PictureFileExchange, WithoutAKindsTableEveryNameIsAccepted) {
    PutFile("vad.som.helst", {1, 2, 3});
    // No 'FIL' item, and one that is damaged: all files, no recognition.
    for (const int16_t filter : {int16_t{40}, kDamagedFilter}) {
        SCOPED_TRACE(filter);
        StoreKind(filter, 3);
        plat::ClearMessageBoxLog();
        std::vector<std::string> types;
        Later(10, [&] {
            types = TypeNames();
            SetName("vad.som.helst");
        });
        ClickItem(20, IDOK);
        {
            CPictureFileExchange exchange(kBase, filter, nullptr, CPictureFileExchange::kModeOpen);
            EXPECT_FALSE(exchange.Kinds());
            EXPECT_EQ(types, (std::vector<std::string>{"Alla filer (*.*)", "Alla filer (*.*)"}));
            EXPECT_EQ(exchange.ResultCode(), 0);
            EXPECT_EQ(exchange.ChosenKind(), 1);
            EXPECT_EQ(exchange.GetLength(), 3u);
        }
        EXPECT_TRUE(plat::MessageBoxLog().empty());
        EXPECT_EQ(StoredKind(filter), 1);
        Drain();
        plat::SetCurrentDosDirectory("C:\\");
    }
}

TEST_F(PictureFileExchange, GivenRecordFileKeepsTheKindAndStaysOpen) {
    CRecordFile records(6000);
    ASSERT_TRUE(records.IsOpen());
    SaveAs(2, "bild");
    {
        CPictureFileExchange exchange(kBase, kSaveFilter, &records, CPictureFileExchange::kModeSave);
        EXPECT_EQ(exchange.ChosenKind(), 3);
    }
    EXPECT_TRUE(records.IsOpen());
    uint8_t b[2] = {};
    ASSERT_EQ(records.ReadItemInto(kRecordTypeKindPref, kBase + kSaveFilter, b, 2), 0);
    EXPECT_EQ(b[0] | b[1] << 8, 3);
}

}  // namespace
