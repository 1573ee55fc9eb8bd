#include "platform/mci/debug_display.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// Sets or clears ZELBO_TRACE for one scope.
class ScopedTraceVariable {
public:
    explicit ScopedTraceVariable(const char* value) {
        if (const char* old = std::getenv("ZELBO_TRACE")) saved_ = old;
        if (value) ::setenv("ZELBO_TRACE", value, 1); else ::unsetenv("ZELBO_TRACE");
    }
    ~ScopedTraceVariable() {
        if (saved_) ::setenv("ZELBO_TRACE", saved_->c_str(), 1); else ::unsetenv("ZELBO_TRACE");
    }

private:
    std::optional<std::string> saved_;
};

class DebugDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        file = std::filesystem::temp_directory_path() /
               ("zelbo-trace-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove(file);
    }
    void TearDown() override {
        plat::SetTraceTarget(std::nullopt);
        std::filesystem::remove(file);
    }
    std::string Contents() const {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static HANDLE Open(LPCSTR name = "\\\\.\\MONO") {
        return plat::CreateDeviceFile(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
    }
    std::filesystem::path file;
};

TEST_F(DebugDisplay, AbsentWithoutTarget) {
    ScopedTraceVariable none(nullptr);
    EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ScopedTraceVariable empty("");
    EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
}

TEST_F(DebugDisplay, EnvironmentNamesTheSink) {
    ScopedTraceVariable named(file.c_str());
    HANDLE h = Open("\\\\.\\mono");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char text[] = "n\xE4r";  // Windows-1252
    EXPECT_TRUE(DeviceIoControl(h, IOCTL_MONO_WRITE, text, 3, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(Contents(), "n\xC3\xA4r") << "written at once, as UTF-8";
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(DebugDisplay, WritesAppendAndOnlyTheWriteCodeWrites) {
    plat::SetTraceTarget(file.string());
    for (LPCSTR other : {"\\\\.\\MONO2", "\\\\.\\COM1", "MONO", static_cast<LPCSTR>(nullptr)}) {
        EXPECT_EQ(Open(other), INVALID_HANDLE_VALUE) << (other ? other : "null");
    }
    HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char one[] = "one ";
    char two[] = "two";
    EXPECT_TRUE(DeviceIoControl(h, IOCTL_MONO_WRITE, one, 4, nullptr, 0, nullptr, nullptr));
    EXPECT_FALSE(DeviceIoControl(h, 0x81002044, two, 3, nullptr, 0, nullptr, nullptr));
    EXPECT_TRUE(DeviceIoControl(h, IOCTL_MONO_WRITE, two, 3, nullptr, 0, nullptr, nullptr));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(DeviceIoControl(h, IOCTL_MONO_WRITE, two, 3, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    HANDLE again = Open();
    EXPECT_TRUE(DeviceIoControl(again, IOCTL_MONO_WRITE, two, 3, nullptr, 0, nullptr, nullptr));
    CloseHandle(again);
    EXPECT_EQ(Contents(), "one twotwo");
}

TEST_F(DebugDisplay, UnopenableFileMeansNoDevice) {
    plat::SetTraceTarget((file / "no" / "such" / "folder").string());
    EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
}

}  // namespace
