// The display-mode call, found the way programs find it: by name in the resident "USER32.DLL".
#include <gtest/gtest.h>

#include "platform/gdi/gdi_test_support.h"
#include "platform/gdi/library.h"

namespace {

using ChangeDisplaySettingsProc = LONG (*)(DEVMODE*, DWORD);

class DisplayModeTest : public gdi_test::GdiTest {
protected:
    void SetUp() override {
        GdiTest::SetUp();
        m_backend = &static_cast<plat::HeadlessBackend&>(plat::Backend());
    }
    void TearDown() override {
        plat::ResetLibraries();
        GdiTest::TearDown();
    }
    // As a program does it: the module by name (never loaded by the program), then the entry.
    static ChangeDisplaySettingsProc Find() {
        HMODULE user32 = GetModuleHandle("USER32");
        if (!user32) return nullptr;
        return reinterpret_cast<ChangeDisplaySettingsProc>(GetProcAddress(user32, "ChangeDisplaySettingsA"));
    }
    plat::HeadlessBackend* m_backend = nullptr;
};

TEST_F(DisplayModeTest, User32IsResidentAndNamesTheCall) {
    ASSERT_EQ(Find(), &ChangeDisplaySettingsA);
    // The program's own loads count on top of the resident one; freeing more than it loaded fails
    // and leaves the library in place.
    HMODULE h = LoadLibrary("user32.dll");
    EXPECT_EQ(h, GetModuleHandle("USER32.DLL"));
    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_FALSE(FreeLibrary(h));
    EXPECT_EQ(Find(), &ChangeDisplaySettingsA);

    plat::SetBuiltinExportHidden("USER32.DLL", "ChangeDisplaySettingsA", true);
    EXPECT_EQ(Find(), nullptr);
    plat::SetBuiltinExportHidden("USER32.DLL", "ChangeDisplaySettingsA", false);
    plat::SetBuiltinLibraryHidden("USER32", true);
    EXPECT_EQ(GetModuleHandle("USER32"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

struct ModeCase {
    const char* what;
    bool null;  // no mode record at all
    DWORD fields;
    DWORD width, height, bits;
    WORD size;
    DWORD flags;
    bool fullscreenBefore;
    LONG result;
    bool fullscreenAfter;
};

constexpr DWORD kSize = DM_PELSWIDTH | DM_PELSHEIGHT;
constexpr WORD kFull = sizeof(DEVMODE);

const ModeCase kModeCases[] = {
    {"640 x 480 full screen", false, kSize, 640, 480, 0, kFull, CDS_FULLSCREEN, false, DISP_CHANGE_SUCCESSFUL, true},
    {"restore with an empty mode", false, kSize, 0, 0, 0, kFull, 0, true, DISP_CHANGE_SUCCESSFUL, false},
    {"restore with no mode", true, 0, 0, 0, 0, 0, 0, true, DISP_CHANGE_SUCCESSFUL, false},
    {"8 bits per pixel named", false, kSize | DM_BITSPERPEL, 640, 480, 8, kFull, CDS_FULLSCREEN, false,
     DISP_CHANGE_SUCCESSFUL, true},
    {"only a test", false, kSize, 640, 480, 0, kFull, CDS_FULLSCREEN | CDS_TEST, false, DISP_CHANGE_SUCCESSFUL,
     false},
    {"another size", false, kSize, 800, 600, 0, kFull, CDS_FULLSCREEN, false, DISP_CHANGE_BADMODE, false},
    {"another size, fields not named", false, 0, 800, 600, 0, kFull, CDS_FULLSCREEN, false,
     DISP_CHANGE_SUCCESSFUL, true},
    {"16 bits per pixel", false, DM_BITSPERPEL, 0, 0, 16, kFull, CDS_FULLSCREEN, false, DISP_CHANGE_BADMODE,
     false},
    {"record too short", false, kSize, 640, 480, 0, 64, CDS_FULLSCREEN, false, DISP_CHANGE_BADMODE, false},
    {"unknown flag", false, kSize, 640, 480, 0, kFull, CDS_FULLSCREEN | 0x100, true, DISP_CHANGE_BADFLAGS,
     true},
};

class DisplayModes : public DisplayModeTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(DisplayModes, FullScreenFollowsTheMode) {
    const ModeCase& c = GetParam();
    m_backend->SetFullscreen(c.fullscreenBefore);
    DEVMODE mode{};
    mode.dmSize = c.size;
    mode.dmFields = c.fields;
    mode.dmPelsWidth = c.width;
    mode.dmPelsHeight = c.height;
    mode.dmBitsPerPel = c.bits;
    ChangeDisplaySettingsProc change = Find();
    ASSERT_NE(change, nullptr);
    EXPECT_EQ(change(c.null ? nullptr : &mode, c.flags), c.result);
    EXPECT_EQ(m_backend->Fullscreen(), c.fullscreenAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, DisplayModes, ::testing::ValuesIn(kModeCases),
                         [](const ::testing::TestParamInfo<ModeCase>& info) {
                             std::string name;
                             for (const char* p = info.param.what; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             return name;
                         });

}  // namespace
