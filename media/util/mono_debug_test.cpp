#include "media/util/mono_debug.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/mci/debug_display.h"

namespace {

class MonoDebugTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = std::filesystem::temp_directory_path() /
               ("zelbo-mono-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove(file);
    }
    void TearDown() override {
        MonoDebugClose();
        plat::SetTraceTarget(std::nullopt);
        std::filesystem::remove(file);
    }
    std::string Contents() const {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::filesystem::path file;
};

TEST_F(MonoDebugTest, WritesOnlyWhenTheDeviceIsOpenAndTextIsNotEmpty) {
    plat::SetTraceTarget(file.string());
    MonoDebugClose();
    MonoDebugWrite("before open\n");
    EXPECT_FALSE(std::filesystem::exists(file));

    MonoDebugOpen();
    ASSERT_TRUE(MonoDebugIsOpen());
    MonoDebugWrite("");
    MonoDebugWrite(nullptr);
    EXPECT_EQ(Contents(), "") << "empty text sends nothing";
    MonoDebugWrite("level 3\n");
    MonoDebugOpen();  // opening again keeps one device
    MonoDebugWrite("level 4\n");
    MonoDebugClose();
    MonoDebugWrite("after close\n");
    EXPECT_EQ(Contents(), "level 3\nlevel 4\n");
}

TEST_F(MonoDebugTest, WithoutTheDeviceWritesDoNothing) {
    plat::SetTraceTarget((file / "missing-folder" / "trace").string());
    MonoDebugOpen();
    EXPECT_FALSE(MonoDebugIsOpen());
    MonoDebugWrite("nowhere\n");
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
