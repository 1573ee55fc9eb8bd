#include "setup/setwell/install_dir_dlg.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "platform/fs/winfile.h"
#include "setup/setwell/windows_test_support.h"

namespace setup {
namespace {

using test::Cp;

TEST(IsValidInstallPathTest, AcceptsADriveAndAPathOnly) {
    const struct {
        const char* path;
        bool valid;
    } cases[] = {
        {"C:", true},         {"C:\\", true},      {"C:\\Quorva", true}, {"d:\\a\\b c", true},
        {"C:Quorva", false},  {"C:\\Qu?rva", false}, {"C:\\Qu|rva", false}, {"C:\\a*", false},
        {"C:\\<a>", false},   {"C:\\\"a\"", false}, {"C", false},        {"", false},
        {"\\Quorva", false},  {"CC:\\x", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidInstallPath(c.path), c.valid) << c.path;
}

TEST(FreeBytesTest, CountsPastFourGibibytes) {
    const struct {
        DWORD sectorsPerCluster, bytesPerSector, freeClusters;
        uint64_t bytes;
    } cases[] = {
        {64, 512, 65535, 2147450880ull},         // the platform's largest answer
        {64, 512, 200000, 6553600000ull},        // 32 bits would give 2258632704
        {64, 4096, 1u << 20, 1ull << 38},        // 32 bits would give 0
        {0, 512, 100, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FreeBytes(c.sectorsPerCluster, c.bytesPerSector, c.freeClusters), c.bytes) << c.freeClusters;
}

// Dialog 102 run modally: OK is pressed as the dialog shows, the message boxes take the
// answers given, and a dialog still open afterwards is left with Escape.
struct DialogCase {
    const char* name;
    const char* typed;
    int32_t productSize;
    std::vector<int> answers;  // of the message boxes, in order
    int result;                // of DoModal
    const char* chosen;        // ChosenPath
    // The boxes shown: caption | text, Windows-1252.
    std::vector<std::string> boxes;
    std::function<void(const std::filesystem::path& c)> prepare = nullptr;
    const char* folderAfter = nullptr;  // a folder of C: that must exist afterwards
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.name; }

std::string Problem(std::u8string_view text) { return Cp(u8"Problem...|") + Cp(text); }

const char8_t kEnterPath[] = u8"Ange en enhet och sökväg, t.ex. C:\\Quorva.";

void MakeFolder(const std::filesystem::path& p) { std::filesystem::create_directories(p); }

const DialogCase kDialogCases[] = {
    {"drive_alone", "C:", 1000, {}, IDOK, "C:", {}},
    {"blanks_and_backslash_trimmed", "  C:\\Quorva\\  ", 1000, {}, IDOK, "C:\\Quorva", {},
     [](const auto& c) { MakeFolder(c / "Quorva"); }},
    {"no_backslash_after_colon", "C:Quorva", 1000, {IDOK}, IDCANCEL, "", {Problem(kEnterPath)}},
    {"question_mark", "C:\\Qu?rva", 1000, {IDOK}, IDCANCEL, "", {Problem(kEnterPath)}},
    {"bar", "C:\\Qu|rva", 1000, {IDOK}, IDCANCEL, "", {Problem(kEnterPath)}},
    {"cd_drive", "D:\\Quorva", 1000, {IDOK}, IDCANCEL, "", {Problem(u8"D är inte en giltig enhet.")}},
    {"unmapped_drive", "q:\\Quorva", 1000, {IDOK}, IDCANCEL, "", {Problem(u8"q är inte en giltig enhet.")}},
    // Z: is the host's whole file system: never an install folder.
    {"host_drive", "Z:\\tmp", 1000, {IDOK}, IDCANCEL, "", {Problem(kEnterPath)}},
    // A folder of C: that is a link to the host's files counts where it leads.
    {"link_off_c", "C:\\Ut\\Spel", 1000, {IDOK}, IDCANCEL, "", {Problem(kEnterPath)},
     [](const auto& c) { std::filesystem::create_directory_symlink(c.parent_path(), c / "Ut"); }},
    {"product_fits", "C:\\Quorva", 100'000'000, {}, IDOK, "C:\\Quorva", {},
     [](const auto& c) { MakeFolder(c / "Quorva"); }},
    {"existing_installation_kept", "C:\\Quorva", 1000, {IDNO}, IDCANCEL, "",
     {Problem(u8"Zelbo är redan installerat på C:\\Quorva.\nVill du installera programmet över den befintliga "
              u8"installationen?")},
     [](const auto& c) {
         MakeFolder(c / "Quorva" / "Zelbo");
         std::ofstream(c / "Quorva" / "Zelbo" / "ZELBO.exe") << "x";
     }},
    {"existing_installation_replaced", "C:\\Quorva", 1000, {IDYES}, IDOK, "C:\\Quorva",
     {Problem(u8"Zelbo är redan installerat på C:\\Quorva.\nVill du installera programmet över den befintliga "
              u8"installationen?")},
     [](const auto& c) {
         MakeFolder(c / "Quorva" / "Zelbo");
         std::ofstream(c / "Quorva" / "Zelbo" / "zelbo.EXE") << "x";  // found in any case
     }},
    {"missing_folder_not_made", "C:\\Quorva\\Ny", 1000, {IDCANCEL}, IDCANCEL, "",
     {Cp(u8"Kontrollerar...|Den angivna sökvägen [C:\\Quorva\\Ny] saknas. Ska den skapas?")}},
    {"missing_folder_made", "C:\\Quorva\\Ny", 1000, {IDOK}, IDOK, "C:\\Quorva\\Ny",
     {Cp(u8"Kontrollerar...|Den angivna sökvägen [C:\\Quorva\\Ny] saknas. Ska den skapas?")}, nullptr,
     "Quorva/Ny"},
    {"folder_cannot_be_made", "C:\\Quorva\\Fil\\Ny", 1000, {IDOK, IDOK}, IDCANCEL, "",
     {Cp(u8"Kontrollerar...|Den angivna sökvägen [C:\\Quorva\\Fil\\Ny] saknas. Ska den skapas?"),
      Problem(u8"Kunde inte skapa [C:\\Quorva\\Fil\\Ny]. Kontrollera att\nsökvägen är korrekt angiven.")},
     [](const auto& c) {
         MakeFolder(c / "Quorva");
         std::ofstream(c / "Quorva" / "Fil") << "a file where a folder is needed";
     }},
};

class InstallDirDlgTest : public test::SetwellWindowsTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(InstallDirDlgTest, ChecksTheFolderBeforeGoingOn) {
    const DialogCase& c = GetParam();
    if (c.prepare) c.prepare(m_c);
    CInstallDirDlg dialog;
    InstallDirFields fields;
    fields.caption = "Installera Zelbo";
    fields.message = "Välkommen";
    fields.productName = "Zelbo";
    fields.productDir = "Zelbo";
    fields.productExe = "ZELBO";
    fields.productSize = c.productSize;
    fields.initialPath = c.typed;
    dialog.SetFields(fields);

    m_head->PushAnswer(IDOK);
    for (int a : c.answers) m_head->PushAnswer(a);
    m_head->Key(m_head->NowMs() + 1000, VK_ESCAPE, 27);
    EXPECT_EQ(dialog.DoModal(), c.result);
    Drain();

    EXPECT_EQ(dialog.ChosenPath(), c.chosen);
    std::vector<std::string> boxes;
    for (const auto& box : plat::MessageBoxLog()) boxes.push_back(box.caption + "|" + box.text);
    EXPECT_EQ(boxes, c.boxes);
    if (c.folderAfter) {
        EXPECT_TRUE(std::filesystem::is_directory(m_c / c.folderAfter));
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, InstallDirDlgTest, ::testing::ValuesIn(kDialogCases),
                         [](const auto& info) { return std::string(info.param.name); });

using InstallDirSpaceTest = test::SetwellWindowsTest;

// Without a ProductSize statement the size is -1: no disk is ever taken to have room, and the
// message tells the free space as the disk reports it.
TEST_F(InstallDirSpaceTest, AProductWithoutSizeNeverFits) {
    std::filesystem::create_directories(m_c / "Quorva");
    DWORD spc = 0, bps = 0, clusters = 0, total = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &spc, &bps, &clusters, &total));
    const std::string freeMb = std::to_string(uint64_t{clusters} * spc * bps / 1024000);

    CInstallDirDlg dialog;
    InstallDirFields fields;
    fields.productName = "Zelbo";
    fields.initialPath = "c:\\Quorva";
    dialog.SetFields(fields);
    m_head->PushAnswer(IDOK);
    m_head->PushAnswer(IDOK);
    m_head->Key(m_head->NowMs() + 1000, VK_ESCAPE, 27);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    Drain();

    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    const plat::MessageBoxRecord& box = plat::MessageBoxLog()[0];
    EXPECT_EQ(box.text, Cp(u8"Zelbo kräver cirka 4194 Mb ledigt hårddiskutrymme men det lediga utrymmet är bara "
                           u8"Det finns ") +
                            freeMb +
                            Cp(u8" Mb ledigt utrymme på enhet C. Frigör hårddiskutrymme och starta installeraren igen."));
    EXPECT_EQ(box.icon, UINT(MB_ICONHAND));
    EXPECT_EQ(dialog.ChosenPath(), "");
}

}  // namespace
}  // namespace setup
