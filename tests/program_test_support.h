// What the whole-program tests share: a program installed into an emulated root, run headless
// with a script, its screenshots read and compared with golden images, files read whole.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/headless/golden_test_support.h"

namespace programtest {

namespace fs = std::filesystem;

// A screenshot (or any PNG) as 8-bit RGB triplets, rows top-down.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

inline bool ReadImage(const fs::path& path, Image& out) {
    return plat::test::ReadPngRgb(path.string(), out.width, out.height, out.rgb);
}

// The image, or an empty one when it cannot be read.
inline Image ReadImage(const fs::path& path) {
    Image image;
    if (!ReadImage(path, image)) image = Image{};
    return image;
}

// A file's bytes; empty when it cannot be read.
inline std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Installs a built program (the program, the resource files, the help files and the font file beside it) into
// C:\Program Files\Quorva\Zelbo of an emulated root, as scripts/play does; returns the installed
// program. The players' files are then made beside it, never in the build's folder.
inline fs::path InstallProgram(const fs::path& root, const fs::path& program) {
    const fs::path target = root / "Program Files" / "Quorva" / "Zelbo";
    fs::create_directories(target);
    for (const auto& entry : fs::directory_iterator(program.parent_path())) {
        const fs::path& file = entry.path();
        const std::string ext = file.extension().string();
        if (!entry.is_regular_file() || (file != program && ext != ".res" && ext != ".FON" && ext != ".HLP")) continue;
        fs::copy_file(file, target / file.filename(), fs::copy_options::overwrite_existing);
    }
    return target / program.filename();
}

// Runs a program headless with the script `script` (its screenshots go beside it), in the
// emulated root `root`; returns its exit status. The log is `dir`/log.txt, the program's trace
// `dir`/trace.txt; a picture or sound a module file lacks ("missing SPR 2104" in the trace)
// fails the test.
inline int RunScriptIn(const fs::path& exe, const fs::path& script, const fs::path& dir, const fs::path& root) {
    const fs::path trace = dir / "trace.txt";
    fs::remove(trace);
    const std::string cmd = "ZELBO_BACKEND=headless ZELBO_ROOT='" + root.string() + "' ZELBO_SCRIPT='" +
                            script.string() + "' ZELBO_TRACE='" + trace.string() + "' '" + exe.string() + "' > '" +
                            (dir / "log.txt").string() + "' 2>&1";
    const int status = std::system(cmd.c_str());
    const std::string traced = ReadAll(trace);
    EXPECT_EQ(traced.find("missing "), std::string::npos) << exe.filename() << " with " << script.filename()
                                                           << " lacked items:\n" << traced;
    return status;
}

// A screenshot against the golden image of that name, pixel for pixel. With
// ZELBO_UPDATE_GOLDEN=1 and mayUpdate the screenshot is written as the golden image instead
// (look at it before keeping it); a test that checks another test's golden never writes it.
inline void CompareWithGolden(const fs::path& shot, const std::string& name, bool mayUpdate) {
    const fs::path golden = fs::path(ZELBO_GOLDEN_DIR) / name;
    const char* update = std::getenv("ZELBO_UPDATE_GOLDEN");
    if (mayUpdate && update && std::string(update) == "1") {
        fs::copy_file(shot, golden, fs::copy_options::overwrite_existing);
        std::printf("wrote %s\n", golden.c_str());
        return;
    }
    Image actual, expected;
    ASSERT_TRUE(ReadImage(shot, actual)) << shot << " was not taken";
    ASSERT_TRUE(ReadImage(golden, expected)) << golden << " is missing: run with ZELBO_UPDATE_GOLDEN=1 and look at it";
    ASSERT_EQ(actual.width, expected.width) << shot;
    ASSERT_EQ(actual.height, expected.height) << shot;
    size_t differ = 0, first = 0;
    for (size_t i = 0; i < actual.rgb.size(); ++i) {
        if (actual.rgb[i] != expected.rgb[i] && differ++ == 0) first = i / 3;
    }
    EXPECT_EQ(differ, 0u) << shot << " differs from " << golden << ", first at " << first % actual.width << ","
                          << first / actual.width;
}

inline void CheckGoldenScreen(const fs::path& shot, const std::string& name) { CompareWithGolden(shot, name, true); }

}  // namespace programtest
