// A temporary emulated installation for the tests of this folder: C:\ and two CD folders
// (D:, E:) under a fresh temporary folder, C:\ current.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/strings/cp1252.h"

class EmulatedDrives : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "zelbo-fs-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        tmp = pattern;
        root = tmp / "c";
        cd1 = tmp / "cd1";
        cd2 = tmp / "cd2";
        std::filesystem::create_directories(cd1);
        std::filesystem::create_directories(cd2);
        plat::SetEmulatedRoot(root);
        plat::SetCdromFolders({cd1, cd2});
        plat::EmulatedRoot();
        ASSERT_TRUE(plat::SetCurrentDosDirectory("C:\\"));
    }

    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(tmp, ec);
        plat::ResetDriveMap();
    }

    // Host-side helpers, so that a test's fixture does not depend on the calls under test.
    static void Put(const std::filesystem::path& p, std::string_view content = "") {
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
    }
    static std::string Get(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static bool Exists(const std::filesystem::path& p) {
        std::error_code ec;
        return std::filesystem::symlink_status(p, ec).type() != std::filesystem::file_type::not_found;
    }
    // Windows-1252 from UTF-8 test text.
    static std::string W(std::string_view utf8) { return plat::Utf8ToCp1252(utf8); }

    std::filesystem::path tmp, root, cd1, cd2;
};
