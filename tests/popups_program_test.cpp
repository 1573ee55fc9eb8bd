// The pop-ups' test program (tests/popups) run as its own process on the headless back end with
// a script: it enters its test module from the hub, drags the ball across the screen and
// opens and closes the credits picture, saves and prints the screen under a spot, or changes
// the level in the level chooser and keeps a picture in the album across a restart; the
// screens are compared with golden images, the files and the printed page with the screen.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "media/res/record_file.h"
#include "platform/afx/message_box.h"
#include "tests/program_test_support.h"
#include "tests/temp_folder_test_support.h"

namespace {

namespace fs = std::filesystem;
using programtest::CheckGoldenScreen;
using programtest::Image;
using programtest::InstallProgram;
using programtest::ReadImage;
using programtest::RunScriptIn;

// The test program installed into an emulated root (InstallProgram).
fs::path InstallPopups(const fs::path& root) { return InstallProgram(root, ZELBO_POPUPS_EXE); }

// With freshRoot false the emulated root of an earlier run is kept: the program starts again on it.
int RunPopups(const std::string& scriptName, const fs::path& dir, bool freshRoot = true) {
    if (freshRoot) fs::remove_all(dir);
    fs::create_directories(dir / "root");
    const fs::path exe = InstallPopups(dir / "root");
    fs::copy_file(fs::path(ZELBO_TEST_SCRIPTS) / scriptName, dir / scriptName, fs::copy_options::overwrite_existing);
    return RunScriptIn(exe, dir / scriptName, dir, dir / "root");
}

// The ball's picture: its beach-ball red (index 10 of the game palette, 0xE8202A) counted in a
// rectangle of the screen.
int RedPixels(const Image& s, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const uint8_t* p = &s.rgb[(static_cast<size_t>(y) * s.width + x) * 3];
            if (p[0] == 0xE8 && p[1] == 0x20 && p[2] == 0x2A) ++n;
        }
    return n;
}

// The ball goes with the mouse from the left of the floor to the top-right corner, where the
// drop leaves it; the credits button shows the credits picture over the whole screen until a
// key, and the module's screen comes back as the drop left it.
TEST(PopupsProgram, DragsTheBallAcrossTheScreenAndShowsAndClosesTheCredits) {
    const fs::path dir = MakeTempFolder("zelbo-popups-drag-splash");
    const int status = RunPopups("popups_drag_splash.txt", dir);
    ASSERT_TRUE(WIFEXITED(status)) << "see " << dir / "log.txt";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see " << dir / "log.txt";

    const Image module = ReadImage(dir / "module.png");
    const Image dropped = ReadImage(dir / "dropped.png");
    const Image after = ReadImage(dir / "after_splash.png");
    ASSERT_FALSE(module.rgb.empty());
    ASSERT_FALSE(dropped.rgb.empty());
    // The ball (64 x 64) starts with its top-left at (24, 280) and ends at the top-right corner.
    EXPECT_GT(RedPixels(module, 24, 280, 88, 344), 500);
    EXPECT_EQ(RedPixels(dropped, 24, 280, 88, 344), 0) << "the ball left its place";
    EXPECT_GT(RedPixels(dropped, 544, 0, 640, 96), 500) << "and lies where it was dropped";
    EXPECT_TRUE(after.rgb == dropped.rgb) << "the screen after the credits is the one before";

    CheckGoldenScreen(dir / "module.png", "popups_module.png");
    CheckGoldenScreen(dir / "dragging.png", "popups_dragging.png");
    CheckGoldenScreen(dir / "dropped.png", "popups_dropped.png");
    CheckGoldenScreen(dir / "splash.png", "splash_dialog.png");
    if (!HasFailure()) fs::remove_all(dir);
}

// The grown-ups' hot key in the middle of a drag of the ball: the drag ends where the pointer
// is, the grown-ups' section opens after it, and "Spela" enters the test module once more: its
// screen shown as on its first entry, one ball at the start (the floor has red of its own,
// so the ball's red is counted in its start box only), and that ball drags again.
TEST(PopupsProgram, TheGrownUpsHotKeyDuringADragEntersTheModuleOnceWithOneBall) {
    const fs::path dir = MakeTempFolder("zelbo-popups-hot-key-drag");
    const int status = RunPopups("popups_hot_key_drag.txt", dir);
    ASSERT_TRUE(WIFEXITED(status)) << "see " << dir / "log.txt";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see " << dir / "log.txt";

    const Image module = ReadImage(dir / "module.png");
    const Image after = ReadImage(dir / "after_grownups.png");
    const Image again = ReadImage(dir / "dragged_again.png");
    ASSERT_FALSE(module.rgb.empty());
    ASSERT_FALSE(after.rgb.empty());
    ASSERT_FALSE(again.rgb.empty());
    EXPECT_GT(RedPixels(after, 24, 280, 88, 344), 500) << "the ball is at its start";
    EXPECT_TRUE(after.rgb == module.rgb) << "the module's screen is not the one of its first entry";
    // The ball released at (320, 160) lay with its top-left at (288, 128); the new one goes to
    // (440, 100): top-left (408, 68).
    EXPECT_EQ(RedPixels(after, 288, 128, 352, 192), RedPixels(module, 288, 128, 352, 192)) << "a ball left behind";
    EXPECT_EQ(RedPixels(again, 24, 280, 88, 344), 0) << "the ball did not leave its start";
    EXPECT_GT(RedPixels(again, 408, 68, 472, 132), 500) << "the ball is not where it was dropped";
    const std::string trace = programtest::ReadAll(dir / "trace.txt");
    const std::string line = "Module 6: first frame shown";
    int entries = 0;
    for (size_t at = trace.find(line); at != std::string::npos; at = trace.find(line, at + 1)) ++entries;
    EXPECT_EQ(entries, 2) << "the module entered once more after the hot key";
    if (!HasFailure()) fs::remove_all(dir);
}

// ---- The picture file buttons ----------------------------------------------------------------

// The picture spot of the test module (popups_module.h), on the screen.
constexpr int kSpotLeft = 48, kSpotTop = 176, kSpotWidth = 448, kSpotHeight = 120;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t buf[65536];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    return bytes;
}

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | b[at + static_cast<size_t>(i)];
    return v;
}

// The file of that name (any case) below the folder, or empty.
fs::path FindFile(const fs::path& folder, const std::string& lowerName) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (entry.is_regular_file() && name == lowerName) return entry.path();
    }
    return {};
}

// A picture read from a file: its pixels as colours, red, green, blue.
struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// An 8-bit PCX: the header's fields, the run-length rows and the palette after 0x0C.
Decoded DecodePcx(const std::vector<uint8_t>& f) {
    Decoded d;
    EXPECT_GT(f.size(), 128u + 769u);
    if (f.size() <= 128 + 769) return d;
    EXPECT_EQ(f[0], 0x0A);  // manufacturer
    EXPECT_EQ(f[1], 5);     // version
    EXPECT_EQ(f[2], 1);     // run-length encoded
    EXPECT_EQ(f[3], 8);     // bits per pixel
    EXPECT_EQ(Le(f, 4, 2), 0u);
    EXPECT_EQ(Le(f, 6, 2), 0u);
    d.width = static_cast<int>(Le(f, 8, 2)) + 1;
    d.height = static_cast<int>(Le(f, 10, 2)) + 1;
    EXPECT_EQ(f[65], 1);  // planes
    EXPECT_EQ(Le(f, 66, 2), static_cast<uint32_t>(d.width));
    const size_t paletteAt = f.size() - 768;
    EXPECT_EQ(f[paletteAt - 1], 0x0C);
    std::vector<uint8_t> pixels;
    size_t i = 128;
    while (i < paletteAt - 1 && pixels.size() < static_cast<size_t>(d.width) * d.height) {
        const uint8_t b = f[i++];
        if (b >= 0xC0) {
            if (i >= paletteAt - 1) break;
            pixels.insert(pixels.end(), static_cast<size_t>(b & 0x3F), f[i++]);
        } else {
            pixels.push_back(b);
        }
    }
    EXPECT_EQ(i, paletteAt - 1) << "the rows end where the palette begins";
    EXPECT_EQ(pixels.size(), static_cast<size_t>(d.width) * d.height);
    pixels.resize(static_cast<size_t>(d.width) * d.height);
    for (const uint8_t p : pixels)
        d.rgb.insert(d.rgb.end(), {f[paletteAt + 3 * p], f[paletteAt + 3 * p + 1], f[paletteAt + 3 * p + 2]});
    return d;
}

// An 8-bit uncompressed BMP: the headers, the RGBQUAD colours, the rows from the bottom up.
Decoded DecodeBmp(const std::vector<uint8_t>& f) {
    Decoded d;
    EXPECT_GE(f.size(), 1078u);
    if (f.size() < 1078) return d;
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(Le(f, 2, 4), f.size());
    EXPECT_EQ(Le(f, 10, 4), 1078u);
    EXPECT_EQ(Le(f, 14, 4), 40u);
    d.width = static_cast<int>(Le(f, 18, 4));
    d.height = static_cast<int>(Le(f, 22, 4));
    EXPECT_EQ(Le(f, 28, 2), 8u);
    EXPECT_EQ(Le(f, 30, 4), 0u);
    const size_t stride = (static_cast<size_t>(d.width) + 3) & ~size_t{3};
    EXPECT_EQ(f.size(), stride * d.height + 1078);
    if (f.size() != stride * d.height + 1078) return Decoded{};
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const uint8_t p = f[1078 + (static_cast<size_t>(d.height - 1 - y)) * stride + x];
            d.rgb.insert(d.rgb.end(), {f[54 + 4 * p + 2], f[54 + 4 * p + 1], f[54 + 4 * p]});
        }
    return d;
}

// The screen's pixels under the picture spot.
Decoded UnderSpot(const Image& s) {
    Decoded d{kSpotWidth, kSpotHeight, {}};
    for (int y = kSpotTop; y < kSpotTop + kSpotHeight; ++y) {
        const uint8_t* row = &s.rgb[(static_cast<size_t>(y) * s.width + kSpotLeft) * 3];
        d.rgb.insert(d.rgb.end(), row, row + kSpotWidth * 3);
    }
    return d;
}

// "Spara bild" saves the screen under the picture spot through the picture file dialog: first
// as PCX (its entry chosen, the name typed without an extension), then as BMP (the all-files
// entry, "bild.bmp" typed); both files decode to the screen's pixels there. "Skriv ut" prints
// the spot on the file printer: the page holds the same picture, scaled to the page's width
// and centred.
TEST(PopupsProgram, SavesTheScreenUnderASpotAsPcxAndBmpAndPrintsIt) {
    const fs::path dir = MakeTempFolder("zelbo-popups-picture-file");
    const int status = RunPopups("popups_picture_file.txt", dir);
    ASSERT_TRUE(WIFEXITED(status)) << "see " << dir / "log.txt";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see " << dir / "log.txt";

    const Image module = ReadImage(dir / "module.png");
    ASSERT_EQ(module.width, 640);
    ASSERT_EQ(module.height, 480);
    const Decoded screen = UnderSpot(module);
    // The dialog's shade is gone after each save: the screen is the module's again.
    EXPECT_TRUE(ReadImage(dir / "saved_pcx.png").rgb == module.rgb);
    EXPECT_TRUE(ReadImage(dir / "saved_bmp.png").rgb == module.rgb);
    EXPECT_TRUE(ReadImage(dir / "printed.png").rgb == module.rgb);
    CheckGoldenScreen(dir / "save_dialog.png", "popups_save_dialog.png");

    const fs::path pcxPath = FindFile(dir / "root", "bild.pcx");
    const fs::path bmpPath = FindFile(dir / "root", "bild.bmp");
    ASSERT_FALSE(pcxPath.empty()) << "no bild.pcx was saved";
    ASSERT_FALSE(bmpPath.empty()) << "no bild.bmp was saved";
    EXPECT_TRUE(FindFile(dir / "root", "bild.zfb").empty());
    const std::vector<uint8_t> pcxBytes = ReadBytes(pcxPath);
    const Decoded pcx = DecodePcx(pcxBytes);
    EXPECT_EQ(pcx.width, kSpotWidth);
    EXPECT_EQ(pcx.height, kSpotHeight);
    EXPECT_TRUE(pcx.rgb == screen.rgb) << pcxPath << " is not the screen under the spot";
    // The header's 16 colours are the palette's first 16.
    EXPECT_TRUE(std::equal(pcxBytes.begin() + 16, pcxBytes.begin() + 64, pcxBytes.end() - 768));
    const std::vector<uint8_t> bmpBytes = ReadBytes(bmpPath);
    EXPECT_EQ(bmpBytes.size(), 448u * 120 + 1078);
    const Decoded bmp = DecodeBmp(bmpBytes);
    EXPECT_EQ(bmp.width, kSpotWidth);
    EXPECT_EQ(bmp.height, kSpotHeight);
    EXPECT_TRUE(bmp.rgb == screen.rgb) << bmpPath << " is not the screen under the spot";

    // The page: A4 at 300 dots per inch (2480 x 3508). 448 x 120 is wider than the page, so
    // it takes the page's width and 2480 * 120 / 448 = 664 rows from row (3508 - 664) / 2.
    const fs::path pagePath = dir / "root" / "Utskrifter" / "Trumlaby Picture.png";
    const Image page = ReadImage(pagePath);
    ASSERT_EQ(page.width, 2480) << pagePath;
    ASSERT_EQ(page.height, 3508);
    const int top = 1422, bottom = 2086;
    auto at = [&](int x, int y) { return &page.rgb[(static_cast<size_t>(y) * page.width + x) * 3]; };
    int mismatched = 0, notWhite = 0;
    for (int sy = 0; sy < kSpotHeight; ++sy)
        for (int sx = 0; sx < kSpotWidth; ++sx) {
            // The middle of the source pixel's cell on the page.
            const int px = (2 * sx + 1) * page.width / (2 * kSpotWidth);
            const int py = top + (2 * sy + 1) * (bottom - top) / (2 * kSpotHeight);
            const uint8_t* want = &screen.rgb[(static_cast<size_t>(sy) * kSpotWidth + sx) * 3];
            mismatched += !std::equal(want, want + 3, at(px, py));
        }
    for (int y = 0; y < page.height; y += (y < top - 2 || y > bottom + 1) ? 7 : 1) {
        if (y >= top && y < bottom) continue;
        for (int x = 0; x < page.width; ++x)
            notWhite += !(at(x, y)[0] == 255 && at(x, y)[1] == 255 && at(x, y)[2] == 255);
    }
    EXPECT_EQ(mismatched, 0) << "source pixels whose cell on the page has another colour";
    EXPECT_EQ(notWhite, 0) << "page pixels above or below the picture that are not white";
    if (!HasFailure()) fs::remove_all(dir);
}

// ---- The level chooser and the album -----------------------------------------------------------

using Bytes = std::vector<uint8_t>;

// The pixels of a rectangle of a screenshot, row by row.
Bytes Region(const Image& s, int left, int top, int right, int bottom) {
    Bytes out;
    if (s.rgb.empty()) return out;
    for (int y = top; y < bottom; ++y) {
        const auto row = s.rgb.begin() + (static_cast<ptrdiff_t>(y) * s.width + left) * 3;
        out.insert(out.end(), row, row + (right - left) * 3);
    }
    return out;
}

// What an album's record file holds, read by a record file of its own over a copy of the bytes:
// the 25 slots' record ids, the records with a 'sprt', and each 'data' item.
struct Album {
    bool open = false;
    std::vector<uint16_t> slots;
    std::vector<uint16_t> sprites;
    std::map<uint16_t, Bytes> data;
    std::vector<std::string> messages;
};

class CMemoryRecordHost : public IRecordFileHost {
public:
    explicit CMemoryRecordHost(const Bytes& bytes) : m_image(std::make_shared<Bytes>(bytes)) {}
    std::unique_ptr<IRecordFileIo> MakeIo() override { return std::make_unique<CRecordFileMemoryIo>(m_image); }

private:
    std::shared_ptr<Bytes> m_image;
};

Album ReadAlbum(const Bytes& bytes, uint16_t base) {
    Album album;
    CMemoryRecordHost host(bytes);
    IRecordFileHost* savedHost = SetRecordFileHost(&host);
    plat::MessageBoxHook savedBoxes = plat::SetMessageBoxHook([&album](LPCSTR text, UINT, UINT) {
        album.messages.emplace_back(text);
        return IDIGNORE;
    });
    {
        CRecordFile file(static_cast<int16_t>(base), "Mod6000.rsc", 0);
        album.open = file.IsOpen();
        for (const CRecordFile::Entry& e : file.Entries()) {
            if (e.type == kRecordTypeSprite) album.sprites.push_back(e.id);
            if (e.type == kRecordTypeData) {
                Bytes item(e.size);
                if (file.ReadItemInto(kRecordTypeData, e.id, item.data(), e.size) == 0) album.data[e.id] = item;
            }
            if (e.type == kRecordTypeSlot && e.id == base && e.size == 100) {
                uint16_t table[50] = {};
                if (file.ReadItemInto(kRecordTypeSlot, base, table, sizeof table) == 0)
                    for (int i = 0; i < 25; ++i) album.slots.push_back(table[2 * i + 1]);
            }
        }
    }
    plat::SetMessageBoxHook(std::move(savedBoxes));
    SetRecordFileHost(savedHost);
    return album;
}

// The level chooser over the test module: opened at level 1, moved to level 11 by a click on
// its track, unfolded and confirmed, and opened again at level 11. The album: the screen's
// picture carried into slot 7 and stored by OK in the guest's record file, with the ball's
// place as its data; the program started again on the same emulated root shows it in slot 7,
// and leaving with Escape changes no byte of the file.
TEST(PopupsProgram, TheChosenLevelAndASavedPictureOutliveTheirPanelsAndARestart) {
    const fs::path dir = MakeTempFolder("zelbo-popups-level-album");
    int status = RunPopups("popups_level_album.txt", dir);
    ASSERT_TRUE(WIFEXITED(status)) << "see " << dir / "log.txt";
    ASSERT_EQ(WEXITSTATUS(status), 0) << "see " << dir / "log.txt";

    const Image open = ReadImage(dir / "level_open.png");
    const Image reopened = ReadImage(dir / "level_reopened.png");
    ASSERT_FALSE(open.rgb.empty());
    EXPECT_FALSE(reopened.rgb == open.rgb) << "the chooser opens again at the level chosen, not at level 1";
    EXPECT_TRUE(ReadImage(dir / "album_closed.png").rgb == ReadImage(dir / "before_album.png").rgb)
        << "the album leaves the screen as it found it";

    const fs::path recordFile = dir / "root" / "Program Files" / "Quorva" / "Zelbo" / "kids" / "Kid001" / "Mod6000.rsc";
    const Bytes stored = ReadBytes(recordFile);
    const Album album = ReadAlbum(stored, 6000);
    ASSERT_TRUE(album.open) << recordFile;
    EXPECT_TRUE(album.messages.empty());
    std::vector<uint16_t> slots(25, 0);
    slots[7] = 6000;
    EXPECT_EQ(album.slots, slots);
    EXPECT_EQ(album.sprites, std::vector<uint16_t>{6000});
    ASSERT_EQ(album.data.count(6000), 1u);
    const int16_t ball[2] = {298, 158};  // dropped with the mouse at (330, 190), grasped at (56, 312)
    Bytes ballBytes(sizeof ball);
    std::memcpy(ballBytes.data(), ball, sizeof ball);
    EXPECT_EQ(album.data.at(6000), ballBytes);

    CheckGoldenScreen(dir / "level_changed.png", "popups_level_changed.png");
    CheckGoldenScreen(dir / "level_reopened.png", "popups_level_reopened.png");
    CheckGoldenScreen(dir / "album_saved.png", "popups_album_saved.png");

    status = RunPopups("popups_album_again.txt", dir, false);
    ASSERT_TRUE(WIFEXITED(status)) << "see " << dir / "log.txt";
    ASSERT_EQ(WEXITSTATUS(status), 0) << "see " << dir / "log.txt";
    EXPECT_TRUE(ReadBytes(recordFile) == stored) << "Escape leaves the record file as it was";
    // Slot 7's picture (64 x 41 at (288, 167)) as OK stored it, loaded again from the file;
    // slot 8 beside it is empty.
    const Image saved = ReadImage(dir / "album_saved.png");
    const Image again = ReadImage(dir / "album_again.png");
    ASSERT_FALSE(again.rgb.empty());
    EXPECT_TRUE(Region(again, 288, 167, 352, 208) == Region(saved, 288, 167, 352, 208)) << "slot 7 shows the picture";
    EXPECT_FALSE(Region(again, 288, 167, 352, 208) == Region(again, 366, 167, 430, 208)) << "slot 7 is not empty";
    CheckGoldenScreen(dir / "album_again.png", "popups_album_again.png");
    if (!HasFailure()) fs::remove_all(dir);
}

}  // namespace
