// The picture writers on a started engine: a picture item made by the toolbox is written with
// the game palette the palette wrappers hold, read back from the files.
#include "engine/toolbox/picture_file_hosting.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "engine/core/engine_hosts.h"
#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"
#include "engine/toolbox/palette_wrappers.h"
#include "engine/toolbox/picture_items.h"
#include "media/print/picture_file_host.h"
#include "media/print/picture_writers.h"
#include "media/surface/dib_system.h"

namespace {

class CWriterTitle : public CZelboTitle {
public:
    ~CWriterTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override { return module == 1 ? &table : nullptr; }
    ModuleFunctionTable table{};
};

class PictureFileHostingTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        InitDibSystem(nullptr, TRUE, 0);
        PutSharedFile(root / "Prog");
        PutModuleFile(root / "Prog", 1, ModuleFile(1));
        title.Startup(programFolder);
        title.m_currentModule = 1;
        m_items = InstallPictureItems();
        m_files = InstallPictureFileHost();
    }
    void TearDown() override {
        SetPictureFileHost(m_files);
        SetEnginePictureItems(m_items);
        EngineTest::TearDown();
        ShutdownDibSystem();
    }
    std::vector<uint8_t> ReadHostFile(const std::string& dosPath) {
        std::ifstream in(*plat::ResolveDosPath(dosPath), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    CWriterTitle title;
    IResItemHost* m_items = nullptr;
    IPictureFileHost* m_files = nullptr;
};

TEST_F(PictureFileHostingTest, WritersTakeTheGamePalette) {
    PALETTEENTRY colours[256];
    for (int k = 0; k < 256; ++k)
        colours[k] = PALETTEENTRY{static_cast<BYTE>(k), static_cast<BYTE>(255 - k), static_cast<BYTE>(k * 3), 0};
    ASSERT_EQ(SetGamePaletteEntries(0, 256, colours), 256u);
    const int16_t picture = NewBlankPicture(8, 3);
    ASSERT_GT(picture, 0);
    BYTE* bits = LockPictureData(picture);
    ASSERT_NE(bits, nullptr);
    for (int i = 0; i < 8; ++i) bits[i] = static_cast<BYTE>(100 + i);
    UnlockPictureData(bits);

    const std::string pcxPath = (programFolder + "bild.pcx");
    const std::string bmpPath = (programFolder + "bild.bmp");
    ASSERT_EQ(WritePcxFile(picture, pcxPath.c_str()), 0);
    ASSERT_EQ(WriteBmpFile(picture, bmpPath.c_str()), 0);

    const auto pcx = ReadHostFile(pcxPath);
    ASSERT_GT(pcx.size(), 128u + 769u);
    const auto bmp = ReadHostFile(bmpPath);
    ASSERT_EQ(bmp.size(), 8u * 3 + 1078);
    // What the palette holds now (the identity step keeps the static entries the system's).
    PALETTEENTRY now[256];
    ASSERT_EQ(GetGamePaletteEntries(0, 256, now), 256u);
    for (size_t k = 0; k < 256; ++k) {
        EXPECT_EQ(pcx[pcx.size() - 768 + 3 * k], now[k].peRed) << k;
        EXPECT_EQ(pcx[pcx.size() - 768 + 3 * k + 1], now[k].peGreen) << k;
        EXPECT_EQ(pcx[pcx.size() - 768 + 3 * k + 2], now[k].peBlue) << k;
        EXPECT_EQ(bmp[54 + 4 * k], now[k].peBlue) << k;
        EXPECT_EQ(bmp[56 + 4 * k], now[k].peRed) << k;
    }
    EXPECT_EQ(now[100].peGreen, 155);
    // The top row is the BMP's last.
    EXPECT_EQ(bmp[1078 + 2 * 8 + 5], 105);
}

}  // namespace
