// What the tests of Setwell's windows share: a fresh headless back end with real message
// boxes and dialogs answered from the script, an emulated installation in a temporary folder
// with one CD drive (D:), Setwell's strings and dialog templates, and small pictures.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/afx/mem_file.h"
#include "platform/afx/string_table.h"
#include "platform/afxwin/afxwin.h"
#include "platform/dialogs/dialog_manager.h"
#include "platform/dialogs/resources.h"
#include "platform/fs/dospath.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/headless_backend.h"
#include "platform/ipc/ipc.h"
#include "platform/msgbox/msgbox.h"
#include "platform/strings/cp1252.h"
#include "setup/setwell/dib.h"
#include "setup/setwell/setwell_dialogs.h"
#include "setup/setwell/setwell_strings.h"

namespace setup::test {

// Windows-1252 text of a literal written in UTF-8.
inline std::string Cp(std::u8string_view utf8) {
    return plat::Utf8ToCp1252(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

// A w x h, 8-bit picture whose pixel (x, y) is index (x + y) % colours, colour i being
// (red 40 + i, green 100, blue 200 - i).
inline CDIB* MakePicture(int w, int h, int colours = 4) {
    auto* picture = new CDIB;
    const uint32_t stride = static_cast<uint32_t>(DibStride(w, 8));
    std::vector<uint8_t> file;
    auto le16 = [&](uint16_t v) { file.push_back(static_cast<uint8_t>(v)); file.push_back(static_cast<uint8_t>(v >> 8)); };
    auto le32 = [&](uint32_t v) { le16(static_cast<uint16_t>(v)); le16(static_cast<uint16_t>(v >> 16)); };
    const uint32_t off = 14 + 40 + 4 * static_cast<uint32_t>(colours);
    le16(0x4D42);
    le32(off + stride * static_cast<uint32_t>(h));
    le32(0);
    le32(off);
    le32(40);
    le32(static_cast<uint32_t>(w));
    le32(static_cast<uint32_t>(h));
    le16(1);
    le16(8);
    for (uint32_t v : {0u, 0u, 0u, 0u, static_cast<uint32_t>(colours), 0u}) le32(v);
    for (int i = 0; i < colours; ++i) {
        file.push_back(static_cast<uint8_t>(200 - i));
        file.push_back(100);
        file.push_back(static_cast<uint8_t>(40 + i));
        file.push_back(0);
    }
    for (int row = h - 1; row >= 0; --row)  // bottom row first
        for (uint32_t x = 0; x < stride; ++x)
            file.push_back(static_cast<uint8_t>(x < static_cast<uint32_t>(w) ? (static_cast<int>(x) + row) % colours : 0));
    CMemFile memory(file);
    EXPECT_TRUE(picture->Read(memory));
    return picture;
}

class SetwellWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_head = &plat::InstallHeadless();
        plat::ResetGdi();
        plat::ClearDialogTemplates();
        plat::ClearStringTable();
        plat::ClearMessageBoxLog();
        plat::InstallMessageBoxes("Setwell");
        plat::InstallDialogs();
        std::string pattern = (std::filesystem::temp_directory_path() / "zelbo-setwell-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_tmp = pattern;
        m_c = m_tmp / "c";
        std::filesystem::create_directories(m_tmp / "cd");
        plat::SetEmulatedRoot(m_c);
        plat::SetCdromFolders({m_tmp / "cd"});
        plat::EmulatedRoot();
        ASSERT_TRUE(plat::SetCurrentDosDirectory("C:\\"));
        RegisterSetwellStrings();
        RegisterSetwellDialogs();
    }

    void TearDown() override {
        plat::ResetWindowing();
        AfxDeleteTempMaps();
        plat::ResetGdi();
        plat::ReleaseNamedSemaphores();
        plat::ResetDriveMap();
        std::error_code ec;
        std::filesystem::remove_all(m_tmp, ec);
    }

    // Lets what was scripted happen and drops what nobody took.
    void Drain() {
        m_head->Advance(2000);
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    plat::HeadlessBackend* m_head = nullptr;
    std::filesystem::path m_tmp;
    std::filesystem::path m_c;  // the host folder of C:
};

}  // namespace setup::test
