// The file dialog over the DOS namespace: what it lists, the names it gives back, the name
// check of a derived class that refuses and keeps the dialog open, the overwrite prompt.
#include <fstream>

#include "platform/dialogs/dialogs_test_support.h"

namespace {

using dialogs_test::DialogsTest;

constexpr int kFolderBox = 1137;
constexpr int kFileList = 1120;
constexpr int kNameEdit = 1152;
constexpr int kTypeBox = 1136;

const char kFilter[] = "PCX-bilder (*.pcx)|*.pcx|BMP-bilder (*.bmp)|*.bmp|Alla filer (*.*)|*.*||";

// Refuses names of files that do not begin with "BM", as a picture exchange does.
class PictureDialog : public CFileDialog {
public:
    using CFileDialog::CFileDialog;
    std::vector<std::string> checked;
    BOOL OnFileNameOK() override {
        checked.push_back(GetFileName().Str());
        std::ifstream in(*plat::ResolveDosPath(GetPathName().Str()), std::ios::binary);
        char sig[2] = {};
        in.read(sig, 2);
        if (sig[0] == 'B' && sig[1] == 'M') return FALSE;
        AfxMessageBox("Filtypen st\xF6" "ds inte.", MB_OK | MB_ICONEXCLAMATION);
        return TRUE;
    }
};

class FileDialogs : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        const auto root = plat::EmulatedRoot();
        std::filesystem::create_directories(root / "Bilder" / "Gamla");
        Write(root / "Bilder" / "katt.bmp", "BM....");
        Write(root / "Bilder" / "hund.bmp", "XX....");
        Write(root / "Bilder" / "sol.pcx", "\x0a\x05");
        Write(root / "Bilder" / "l\xC3\xA5ngt namn.bmp", "BM");  // "långt namn.bmp" on disk
        Write(root / "Bilder" / "noter.txt", "text");
    }
    static void Write(const std::filesystem::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    static std::vector<std::string> Listed() {
        for (const plat::ControlState& c : plat::DescribeDialog(plat::ActiveDialog()))
            if (c.id == kFileList) return c.items;
        return {};
    }
    static void SetName(const char* name) { SetWindowText(plat::FindDialogItem(plat::ActiveDialog(), kNameEdit), name); }
};

TEST_F(FileDialogs, ListsFoldersThenFilesOfTheChosenFilter) {
    PictureDialog dlg(TRUE, "bmp", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kFilter);
    dlg.m_ofn.lpstrInitialDir = "C:\\Bilder";
    dlg.m_ofn.nFilterIndex = 2;
    Later(10, [] {
        EXPECT_EQ(Listed(), (std::vector<std::string>{"[..]", "[Gamla]", "hund.bmp", "katt.bmp", "l\xE5ngt namn.bmp"}));
        HWND types = plat::FindDialogItem(plat::ActiveDialog(), kTypeBox);
        EXPECT_EQ(SendMessage(types, CB_GETCURSEL, 0, 0), 1);
        // The folder box shows the path down from its drive.
        HWND folders = plat::FindDialogItem(plat::ActiveDialog(), kFolderBox);
        EXPECT_EQ(plat::dlg::WindowText(folders), "   Bilder");
        // Another filter lists other files.
        SendMessage(types, CB_SETCURSEL, 0, 0);
        SendMessage(plat::ActiveDialog(), WM_COMMAND, MAKEWPARAM(kTypeBox, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
        EXPECT_EQ(Listed(), (std::vector<std::string>{"[..]", "[Gamla]", "sol.pcx"}));
        // A typed pattern lists by it.
        SetName("*.txt");
    });
    ClickItem(20, IDOK);
    Later(30, [] {
        EXPECT_EQ(Listed(), (std::vector<std::string>{"[..]", "[Gamla]", "noter.txt"}));
        SetName("Gamla");  // a folder's name opens it
    });
    ClickItem(40, IDOK);
    Later(50, [] { EXPECT_EQ(Listed(), (std::vector<std::string>{"[..]"})); });
    Key(60, VK_ESCAPE);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(FileDialogs, RefusedNameKeepsTheDialogOpenUntilAnAcceptedOne) {
    PictureDialog dlg(TRUE, "bmp", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kFilter);
    dlg.m_ofn.lpstrInitialDir = "C:\\Bilder";
    dlg.m_ofn.nFilterIndex = 2;
    Later(10, [this] {
        SetName("hund");  // the default extension makes it hund.bmp, which is refused
        m_head->PushAnswer(IDOK);
    });
    ClickItem(20, IDOK);
    Later(30, [this] {
        EXPECT_TRUE(IsWindow(plat::ActiveDialog()));
        ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
        EXPECT_EQ(plat::MessageBoxLog()[0].text, "Filtypen st\xF6" "ds inte.");
        // A name that does not exist is told about by the dialog itself.
        SetName("saknas.bmp");
        m_head->PushAnswer(IDOK);
    });
    ClickItem(40, IDOK);
    Later(50, [] {
        ASSERT_EQ(plat::MessageBoxLog().size(), 2u);
        EXPECT_NE(plat::MessageBoxLog()[1].text.find("Filen hittades inte"), std::string::npos);
        SetName("katt.bmp");
    });
    ClickItem(60, IDOK);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.checked, (std::vector<std::string>{"hund.bmp", "katt.bmp"}));
    EXPECT_EQ(dlg.GetPathName(), "C:\\Bilder\\katt.bmp");
    EXPECT_EQ(dlg.GetFileName(), "katt.bmp");
    EXPECT_EQ(dlg.GetFileExt(), "bmp");
    EXPECT_EQ(dlg.GetFileTitle(), "katt");
    EXPECT_EQ(dlg.m_ofn.nFilterIndex, 2u);
    // The current folder follows the choice.
    EXPECT_EQ(plat::CurrentDosDirectory(), "C:\\Bilder");
}

TEST_F(FileDialogs, SaveAsksBeforeOverwritingAndAddsTheDefaultExtension) {
    struct Case {
        const char* typed;
        int answer;  // to the overwrite question; 0: none comes
        bool accepted;
        const char* path;
    };
    const Case cases[] = {
        {"ny", 0, true, "C:\\Bilder\\ny.pcx"},
        {"sol", IDNO, false, ""},
        {"sol", IDYES, true, "C:\\Bilder\\sol.pcx"},
        {"C:\\Bilder\\Gamla\\gammal.bmp", 0, true, "C:\\Bilder\\Gamla\\gammal.bmp"},
        {"C:\\Finns\\inte.pcx", IDOK, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        plat::ClearMessageBoxLog();
        CFileDialog dlg(FALSE, "pcx", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter);
        dlg.m_ofn.lpstrInitialDir = "C:\\Bilder";
        Later(10, [&] {
            SetName(c.typed);
            if (c.answer) m_head->PushAnswer(c.answer);
        });
        ClickItem(20, IDOK);
        if (!c.accepted) Key(40, VK_ESCAPE);
        EXPECT_EQ(dlg.DoModal(), c.accepted ? IDOK : IDCANCEL);
        if (c.accepted) {
            EXPECT_EQ(dlg.GetPathName(), c.path);
        }
        EXPECT_EQ(plat::MessageBoxLog().size(), c.answer ? 1u : 0u);
        Drain();
    }
}

TEST_F(FileDialogs, WindowsCallsFillTheCallersBuffers) {
    char file[64] = "sol.pcx";
    char title[16] = {};
    OPENFILENAME ofn;
    ofn.lpstrFilter = "PCX\0*.pcx\0Alla\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof(file);
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof(title);
    ofn.lpstrInitialDir = "C:\\Bilder";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    ClickItem(10, IDOK);
    ASSERT_TRUE(GetOpenFileName(&ofn));
    EXPECT_STREQ(file, "C:\\Bilder\\sol.pcx");
    EXPECT_STREQ(title, "sol.pcx");
    EXPECT_EQ(ofn.nFileOffset, 10);
    EXPECT_EQ(ofn.nFileExtension, 14);
    EXPECT_EQ(plat::CurrentDosDirectory(), "C:\\");
    // A buffer too small for the path fails with the reason.
    char tiny[8] = "sol.pcx";
    ofn.lpstrFile = tiny;
    ofn.nMaxFile = sizeof(tiny);
    ClickItem(10, IDOK);
    EXPECT_FALSE(GetOpenFileName(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
}

}  // namespace
