#include "platform/afx/string_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/afx/afx_string.h"
#include "platform/afx/message_box.h"

namespace {

class StringTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const plat::StringEntry kStrings[] = {
            {61205, u8"kids\\"},
            {1, u8"Gäst"},
            {2, u8"Kunde inte kopiera %1 till %2"},
            {3, u8"%2 före %1, %1 igen"},
            {4, u8"%1 och %3"},
            {5, u8"100% säkert: %%1 %0 %"},
            {6, u8"Pris: 5 € – Ω"},
            {7, u8"Vill du ta bort \"%1\" från listan med användare?"},
        };
        plat::RegisterStringTable(kStrings);
    }
    void TearDown() override { plat::ClearStringTable(); }
};

TEST_F(StringTableTest, LoadStringServesWindows1252Bytes) {
    char buffer[32];
    ASSERT_EQ(LoadString(nullptr, 1, buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer), "G\xE4st");
    EXPECT_EQ(static_cast<unsigned char>(buffer[1]), 0xE4);

    // € has a Windows-1252 byte; the en dash too; Ω has none and becomes '?'.
    ASSERT_EQ(LoadString(nullptr, 6, buffer, sizeof buffer), 13);
    EXPECT_EQ(std::string(buffer), "Pris: 5 \x80 \x96 ?");
}

TEST_F(StringTableTest, LoadStringTruncatesLikeWindows) {
    struct Case {
        UINT id;
        int size;
        int expectedLength;
        std::string expectedText;
    };
    const Case cases[] = {
        {1, 5, 4, "G\xE4st"},  // exactly room for text and terminator
        {1, 4, 3, "G\xE4s"},
        {1, 2, 1, "G"},
        {1, 1, 0, ""},
        {999, 8, 0, ""},  // missing: empty text, length 0
        {61205, 8, 5, "kids\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.id << " size " << c.size);
        char buffer[16];
        std::memset(buffer, 'X', sizeof buffer);
        EXPECT_EQ(LoadString(nullptr, c.id, buffer, c.size), c.expectedLength);
        EXPECT_EQ(std::string(buffer), c.expectedText);
        // Nothing is written past the given size.
        EXPECT_EQ(buffer[c.size], 'X');
    }
    char untouched = 'X';
    EXPECT_EQ(LoadString(nullptr, 1, &untouched, 0), 0);
    EXPECT_EQ(untouched, 'X');
    EXPECT_EQ(LoadString(nullptr, 1, nullptr, 10), 0);
}

TEST_F(StringTableTest, RegisteringAnIdAgainReplacesItsText) {
    static const plat::StringEntry kOverride[] = {{1, u8"Ny"}, {8, nullptr}};
    plat::RegisterStringTable(kOverride);
    CString s;
    EXPECT_TRUE(s.LoadString(1));
    EXPECT_EQ(s, "Ny");
    EXPECT_TRUE(plat::LookupString(8).has_value());
    EXPECT_EQ(plat::LookupString(8).value(), "");
    EXPECT_TRUE(s.LoadString(2));  // other entries are kept
}

TEST_F(StringTableTest, FormatStringsTable) {
    struct Case {
        UINT id;
        LPCSTR s1;
        LPCSTR s2;
        std::string expected;
    };
    const Case cases[] = {
        {2, "A:\\X.DAT", "C:\\WINDOWS\\TEMP\\PDT1.TMP", "Kunde inte kopiera A:\\X.DAT till C:\\WINDOWS\\TEMP\\PDT1.TMP"},
        {3, "ett", "tv\xE5", "tv\xE5 f\xF6re ett, ett igen"},
        {4, "a", "b", "a och ?"},  // %3 beyond the two strings given
        {5, "x", "y", "100% s\xE4kert: %x %0 %"},
        {2, "a", nullptr, "Kunde inte kopiera a till "},  // a null string is left out
        {7, "\xC5sa", "", "Vill du ta bort \"\xC5sa\" fr\xE5n listan med anv\xE4ndare?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.id);
        CString out("old");
        AfxFormatString2(out, c.id, c.s1, c.s2);
        EXPECT_EQ(std::string(out.View()), c.expected);
    }
}

TEST_F(StringTableTest, FormatString1AndMissingIds) {
    CString out("old");
    AfxFormatString1(out, 2, "a");
    EXPECT_EQ(out, "Kunde inte kopiera a till ?");

    out = "old";
    AfxFormatString1(out, 999, "a");
    EXPECT_EQ(out, "old");

    const LPCSTR strings[] = {"1", "2", "3"};
    AfxFormatStrings(out, "%3%2%1%4", strings, 3);
    EXPECT_EQ(out, "321?");
    AfxFormatStrings(out, "%1", nullptr, 0);
    EXPECT_EQ(out, "?");
}

TEST_F(StringTableTest, AfxMessageBoxGoesThroughTheHook) {
    std::string shown;
    UINT shownType = 0;
    UINT shownHelp = 0;
    plat::MessageBoxHook previous = plat::SetMessageBoxHook([&](LPCSTR text, UINT type, UINT help) {
        shown = text;
        shownType = type;
        shownHelp = help;
        return IDCANCEL;
    });
    EXPECT_EQ(AfxMessageBox(1, MB_OKCANCEL | MB_ICONSTOP), IDCANCEL);
    EXPECT_EQ(shown, "G\xE4st");
    EXPECT_EQ(shownType, static_cast<UINT>(MB_OKCANCEL | MB_ICONSTOP));
    EXPECT_EQ(shownHelp, 1u);  // the prompt's id unless one is given
    AfxMessageBox("text", MB_OK, 77);
    EXPECT_EQ(shown, "text");
    EXPECT_EQ(shownHelp, 77u);
    AfxMessageBox(999);
    EXPECT_EQ(shown, "");
    plat::SetMessageBoxHook(std::move(previous));
}

TEST(MessageBox, DefaultButtonTable) {
    struct Case {
        UINT type;
        int expected;
    };
    const Case cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL | MB_ICONQUESTION, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
        {MB_RETRYCANCEL, IDRETRY},
        {MB_OK | MB_DEFBUTTON3, IDOK},  // no third button: the first
        {0x000E, IDOK},                 // unknown button set
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type 0x" << std::hex << c.type);
        EXPECT_EQ(plat::DefaultMessageBoxButton(c.type), c.expected);
    }
    // The default hook answers with that button.
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox("Fr\xE5ga", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Fråga"), std::string::npos);
}

}  // namespace
