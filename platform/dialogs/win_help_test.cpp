// The help stand-in: a help file that exists is shown in a window of its own (text or
// HTML), also above a modal dialog; one that does not exist shows nothing.
#include <fstream>

#include "platform/dialogs/dialogs_test_support.h"

namespace {

using dialogs_test::DialogsTest;

class Help : public DialogsTest {
protected:
    static std::string ShownText() {
        for (const plat::ControlState& c : plat::DescribeDialog(GetActiveWindow()))
            if (c.id == 100) return c.text;
        return {};
    }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(plat::EmulatedRoot() / name, std::ios::binary) << bytes;
    }
};

TEST_F(Help, MissingFileShowsNothing) {
    EXPECT_FALSE(WinHelp(nullptr, "C:\\ZELBO4.HLP", HELP_CONTENTS, 0));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_FALSE(WinHelp(nullptr, nullptr, HELP_CONTENTS, 0));
}

TEST_F(Help, PlainTextIsShownAsItIs) {
    Write("ZELBO4.HLP", "Vuxenavdelning\r\nH\xE4r st\xE4lls ljud och utskrift in.\r\n");
    ASSERT_TRUE(WinHelp(nullptr, "c:\\zelbo4.hlp", HELP_CONTENTS, 0));
    EXPECT_EQ(plat::dlg::WindowText(GetActiveWindow()), "Hj\xE4lp");
    EXPECT_EQ(ShownText(), "Vuxenavdelning\nH\xE4r st\xE4lls ljud och utskrift in.\n");
    EXPECT_TRUE(WinHelp(nullptr, nullptr, HELP_QUIT, 0));
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(Help, HtmlLosesItsTagsAndKeepsItsTitleAndLetters) {
    Write("HELP.HTM",
          "<html><head><meta charset=utf-8><title>Hj\xC3\xA4lp f\xC3\xB6r vuxna</title><style>p{}</style></head>"
          "<body><h1>Ljud</h1><p>V\xC3\xA4lj &amp; spara&nbsp;nu.</p><ul><li>Ett</li><li>Tv&aring;</li></ul>"
          "<p>&#197;&#x53;A</p></body></html>");
    ASSERT_TRUE(WinHelp(nullptr, "C:\\HELP.HTM", HELP_CONTEXT, 7));
    EXPECT_EQ(plat::dlg::WindowText(GetActiveWindow()), "Hj\xE4lp f\xF6r vuxna");
    EXPECT_EQ(ShownText(), "Ljud\n\nV\xE4lj & spara\xA0nu.\n\x95 Ett\n\x95 Tv\xE5\n\n\xC5SA\n");
}

TEST_F(Help, ViewerAboveAModalDialogTakesInputAndEscapeClosesIt) {
    Write("ZELBO4.HLP", "Text");
    static const plat::DialogItem kItems[] = {plat::DefPushButton(u8"OK", IDOK, 4, 4, 40, 14)};
    static const plat::DialogTemplate kDlg{800, 0, 0, 60, 30, DS_MODALFRAME | WS_POPUP | WS_CAPTION, u8"Ark", kItems};
    plat::RegisterDialogTemplates(std::span(&kDlg, 1));
    CDialog dlg(800);
    Later(10, [] { EXPECT_TRUE(WinHelp(nullptr, "C:\\ZELBO4.HLP", HELP_CONTENTS, 0)); });
    Later(20, [] {
        HWND viewer = GetActiveWindow();
        EXPECT_EQ(plat::dlg::WindowText(viewer), "Hj\xE4lp");
        EXPECT_EQ(GetWindow(viewer, GW_OWNER), plat::CurrentModal());
    });
    Key(30, VK_ESCAPE, 0x1B);  // closes the viewer, not the dialog
    Later(40, [] { EXPECT_EQ(GetActiveWindow(), plat::CurrentModal()); });
    Key(50, VK_ESCAPE, 0x1B);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

}  // namespace
