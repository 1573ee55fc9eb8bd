#include "platform/shell/shell.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/fs/delete_observer.h"
#include "platform/fs/fs_test_fixture.h"
#include "platform/shell/shortcut_file.h"

namespace {

namespace fs = std::filesystem;

class Shortcuts : public EmulatedDrives {
protected:
    void SetUp() override {
        EmulatedDrives::SetUp();
        xdg = tmp / "xdg";
        ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
        plat::InstallShellHooks();
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
    }
    void TearDown() override {
        CoUninitialize();
        plat::SetDeleteFileObserver(nullptr);
        ::unsetenv("XDG_DATA_HOME");
        EmulatedDrives::TearDown();
    }
    // Makes a shortcut as a setup program does; the result of Save.
    HRESULT MakeLink(const std::string& linkPath, const char* target, const char* arguments, const char* description) {
        IShellLinkA* link = nullptr;
        EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)),
                  S_OK);
        if (!link) return E_FAIL;
        IPersistFile* file = nullptr;
        HRESULT hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
        EXPECT_EQ(hr, S_OK);
        link->SetPath(target);
        link->SetDescription(description);
        link->SetIconLocation(target, 0);
        if (*arguments) link->SetArguments(arguments);
        WCHAR wide[MAX_PATH];
        EXPECT_GT(MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH), 0);
        hr = file->Save(wide, FALSE);
        file->Release();
        link->Release();
        return hr;
    }
    fs::path Applications() const { return xdg / "applications"; }
    std::vector<std::string> Entries() const {
        std::vector<std::string> out;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(Applications(), ec)) out.push_back(e.path().filename().string());
        return out;
    }
    fs::path xdg;
};

TEST_F(Shortcuts, SaveWritesTheStandInAndADesktopEntryThatRunsTheMappedProgram) {
    LPITEMIDLIST list = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &list), S_OK);
    char programs[MAX_PATH] = {};
    ASSERT_TRUE(SHGetPathFromIDList(list, programs));
    CoTaskMemFree(list);
    EXPECT_STREQ(programs, "C:\\WINDOWS\\Start Menu\\Programs");

    Put(root / "Program Files" / "Quorva" / "Zelbo" / "ZELBO.EXE", "x");
    const std::string group = std::string(programs) + "\\Quorva\\Zelbo";
    ASSERT_TRUE(CreateDirectoryA((std::string(programs) + "\\Quorva").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(group.c_str(), nullptr));
    const std::string linkPath = group + W("\\Spela på 100%.lnk");
    ASSERT_EQ(MakeLink(linkPath, "C:\\Program Files\\Quorva\\Zelbo\\zelbo.exe",
                       "/cd \"C:\\Program Files\\Quorva\"", W("Räkna med Zelbo").c_str()),
              S_OK);

    const std::vector<std::string> entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    const std::string name = entries[0];
    EXPECT_TRUE(plat::IsOurDesktopEntryName(name)) << name;
    const fs::path linkHost = root / "WINDOWS" / "Start Menu" / "Programs" / "Quorva" / "Zelbo" / "Spela på 100%.lnk";
    EXPECT_EQ(Get(linkHost),
              "[Shortcut]\r\n"
              "Target=C:\\Program Files\\Quorva\\Zelbo\\zelbo.exe\r\n"
              "Arguments=/cd \"C:\\Program Files\\Quorva\"\r\n"
              "Description=" + W("Räkna med Zelbo") + "\r\n"
              "Icon=C:\\Program Files\\Quorva\\Zelbo\\zelbo.exe,0\r\n"
              "DesktopEntry=" + name + "\r\n");
    const std::string program = (root / "Program Files" / "Quorva" / "Zelbo" / "ZELBO.EXE").string();
    std::string exec = "env \"ZELBO_ROOT=" + root.string() + "\" \"ZELBO_CDROM=" + cd1.string() + ":" +
                       cd2.string() + "\" \"" + program + "\" \"/cd\" \"C:\\\\Program Files\\\\Quorva\"";
    // The value escape doubles every backslash once more.
    std::string escaped;
    for (char c : exec) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    const std::string entry = Get(Applications() / name);
    EXPECT_NE(entry.find("[Desktop Entry]\nType=Application\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nName=Spela på 100%\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nComment=Räkna med Zelbo\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nExec=" + escaped + "\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nPath=" + program.substr(0, program.rfind('/')) + "\n"), std::string::npos) << entry;

    // Deleting the ".lnk" takes the entry with it.
    ASSERT_TRUE(DeleteFileA(linkPath.c_str()));
    EXPECT_TRUE(Entries().empty());
}

// Deleting a ".lnk" takes only the entry made for that very link: a stand-in that names another
// link's entry (another installation's, or a copy of a stand-in) takes nothing with it.
TEST_F(Shortcuts, DeletingRemovesOnlyTheLinksOwnEntry) {
    fs::create_directories(Applications());
    Put(xdg / "x", "precious");
    Put(Applications() / "x.desktop", "precious");
    const std::string programs = "C:\\WINDOWS\\Start Menu\\Programs";
    const std::string other = plat::DesktopEntryName(tmp / "another-installation", programs + "\\Test.lnk");
    const std::string sibling = plat::DesktopEntryName(plat::EmulatedRoot(), programs + "\\Sibling.lnk");
    struct Case {
        const char* what;
        const char* folder;  // DOS folder of the ".lnk"
        std::string named;   // empty: the link's own entry
        bool removed;
    };
    const Case cases[] = {
        {"its own, in the Start menu", "C:\\WINDOWS\\Start Menu\\Programs", "", true},
        {"its own, deeper", "C:\\WINDOWS\\Start Menu\\Programs\\Quorva", "", true},
        {"its own, outside the Start menu", "C:\\OTHER", "", false},
        {"another installation's", "C:\\WINDOWS\\Start Menu\\Programs", other, false},
        {"another link's of this installation", "C:\\WINDOWS\\Start Menu\\Programs", sibling, false},
        {"a parent path", "C:\\WINDOWS\\Start Menu\\Programs", "../x", false},
        {"someone else's entry", "C:\\WINDOWS\\Start Menu\\Programs", "x.desktop", false},
        {"an absolute path", "C:\\WINDOWS\\Start Menu\\Programs", (xdg / "x").string(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CreateDirectoryA(c.folder, nullptr);
        const std::string link = std::string(c.folder) + "\\Test.lnk";
        const std::string own = plat::DesktopEntryName(plat::EmulatedRoot(), *plat::FullDosPath(link));
        const std::string named = c.named.empty() ? own : c.named;
        for (const std::string& entry : {own, other, sibling}) Put(Applications() / entry, "[Desktop Entry]\n");
        const auto host = plat::ResolveDosPath(link);
        ASSERT_TRUE(host);
        Put(*host, "[Shortcut]\r\nTarget=C:\\X.EXE\r\nDesktopEntry=" + named + "\r\n");
        ASSERT_TRUE(DeleteFileA(link.c_str()));
        EXPECT_EQ(!Exists(Applications() / named), c.removed);
        for (const std::string& entry : {other, sibling}) {
            if (entry != named) {
                EXPECT_TRUE(Exists(Applications() / entry));
            }
        }
        EXPECT_EQ(Get(xdg / "x"), "precious");
        EXPECT_EQ(Get(Applications() / "x.desktop"), "precious");
    }
    // A deletion that fails removes nothing.
    const std::string kept = plat::DesktopEntryName(plat::EmulatedRoot(), programs + "\\Kept.lnk");
    Put(Applications() / kept, "[Desktop Entry]\n");
    Put(root / "WINDOWS" / "Start Menu" / "Programs" / "Kept.lnk", "[Shortcut]\r\nDesktopEntry=" + kept + "\r\n");
    ASSERT_TRUE(SetFileAttributesA("C:\\WINDOWS\\Start Menu\\Programs\\Kept.lnk", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(DeleteFileA("C:\\WINDOWS\\Start Menu\\Programs\\Kept.lnk"));
    EXPECT_TRUE(Exists(Applications() / kept));
}

// A shortcut starts only what lies in the installation or on a CD, where its links lead.
TEST_F(Shortcuts, SaveRefusesATargetOffTheInstallationAndTheCd) {
    fs::create_symlink("/bin/rm", root / "verktyg.exe");
    Put(cd1 / "SPEL.EXE", "");
    const std::string link = "C:\\WINDOWS\\Start Menu\\Programs\\Ta bort.lnk";
    for (const char* target : {"Z:\\bin\\rm", "C:\\verktyg.exe"}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(MakeLink(link, target, "", "Ta bort"), E_ACCESSDENIED);
        EXPECT_FALSE(Exists(root / "WINDOWS" / "Start Menu" / "Programs" / "Ta bort.lnk"));
        EXPECT_TRUE(Entries().empty());
    }
    EXPECT_EQ(MakeLink(link, "D:\\SPEL.EXE", "", "Spel"), S_OK);
}

TEST_F(Shortcuts, ComponentCallsRefuseWhatTheyDoNotKnow) {
    void* object = reinterpret_cast<void*>(1);
    const CLSID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(CoCreateInstance(other, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, &object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, other, &object), E_NOINTERFACE);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, &object),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    LPITEMIDLIST list = nullptr;
    EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, 0x0000 /* the desktop */, &list), E_INVALIDARG);
    EXPECT_EQ(list, nullptr);
    // A target on a drive that maps nowhere is no program of the installation or a CD.
    EXPECT_EQ(MakeLink("C:\\Odd.lnk", "Q:\\NOWHERE.EXE", "", "odd"), E_ACCESSDENIED);
    EXPECT_FALSE(Exists(root / "Odd.lnk"));
    EXPECT_TRUE(Entries().empty());
}

TEST(ShortcutStandIn, ReaderTakesOnlyStandIns) {
    struct Case {
        const char* what;
        std::string text;
        bool read;
        const char* entry;
    };
    const Case cases[] = {
        {"CR LF", "[Shortcut]\r\nTarget=C:\\A.EXE\r\nDesktopEntry=zelbo-1.desktop\r\n", true, "zelbo-1.desktop"},
        {"LF only, unknown keys, no last line end", "[Shortcut]\nWho=me\nDesktopEntry=e", true, "e"},
        {"header only", "[Shortcut]", true, ""},
        {"no header", "Target=C:\\A.EXE\r\n", false, ""},
        {"header later", "\r\n[Shortcut]\r\n", false, ""},
        {"a NUL byte", std::string("[Shortcut]\r\nTarget=A\0B\r\n", 23), false, ""},
        {"too large", "[Shortcut]\r\n" + std::string(plat::kMaxStandInSize, 'x'), false, ""},
        {"empty", "", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto link = plat::ParseShortcutStandIn(c.text);
        ASSERT_EQ(link.has_value(), c.read);
        if (link) {
            EXPECT_EQ(link->desktopEntry, c.entry);
        }
    }
    plat::ShortcutStandIn broken;
    broken.description = "two\r\nlines";
    const auto back = plat::ParseShortcutStandIn(plat::FormatShortcutStandIn(broken));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->description, "two  lines");
    // A CR inside a line is read as the blank it is written as, so what is read writes back the same.
    const auto stray = plat::ParseShortcutStandIn("[Shortcut]\nDescription=a\rb\n");
    ASSERT_TRUE(stray);
    EXPECT_EQ(stray->description, "a b");
}

}  // namespace
