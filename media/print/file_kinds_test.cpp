// The 'FIL' item reader and writer, and a file's kind by its signature, from bytes and on disk.
#include "media/print/file_kinds.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "media/print/picture_file_exchange.h"
#include "media/surface/surface_test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

media::FileKindsTable PictureKinds() {
    return {"Formbygge (*.zfb)|*.zfb|Bitmappsbild (*.bmp)|*.bmp|PCX-bild (*.pcx)|*.pcx||",
            {{"zfb", 1, {0x00}}, {"bmp", 0, {'B', 'M'}}, {"pcx", 0, {0x0A, 0x05, 0x01}}}};
}

TEST(FileKindsItem, WrittenTableReadsBackWhole) {
    const media::FileKindsTable table = PictureKinds();
    const Bytes item = media::BuildFileKinds(table);
    // The layout: the filter text and its zero, the count, then each kind.
    const std::string filter = table.filter;
    ASSERT_GT(item.size(), filter.size() + 3);
    EXPECT_EQ(std::string(item.begin(), item.begin() + static_cast<ptrdiff_t>(filter.size())), filter);
    EXPECT_EQ(item[filter.size()], 0);
    EXPECT_EQ(plat::GetLe16(item, filter.size() + 1), 3);
    const Bytes firstKind = {'z', 'f', 'b', 0, 1, 1, 0x00};
    EXPECT_EQ(Bytes(item.begin() + static_cast<ptrdiff_t>(filter.size() + 3),
                    item.begin() + static_cast<ptrdiff_t>(filter.size() + 3 + firstKind.size())),
              firstKind);
    const auto back = media::ParseFileKinds(item);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->filter, table.filter);
    ASSERT_EQ(back->kinds.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(back->kinds[k].extension, table.kinds[k].extension);
        EXPECT_EQ(back->kinds[k].offset, table.kinds[k].offset);
        EXPECT_EQ(back->kinds[k].signature, table.kinds[k].signature);
    }
    // Bytes after the last kind are not read.
    Bytes longer = item;
    longer.push_back(0x77);
    EXPECT_TRUE(media::ParseFileKinds(longer));
}

TEST(FileKindsItem, DamagedItemsAreRefused) {
    const Bytes item = media::BuildFileKinds(PictureKinds());
    // Every cut short of the whole item.
    for (size_t n = 0; n < item.size(); ++n) EXPECT_FALSE(media::ParseFileKinds(std::span(item).first(n))) << n;
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"filter without its zero", {'a', '|', '*', '.', 'a'}},
        {"no count", {'a', 0}},
        {"more kinds than written", {'a', 0, 2, 0, 'x', 0, 0, 0}},
        {"empty extension", {'a', 0, 1, 0, 0, 0, 0}},
        {"signature past the end", {'a', 0, 1, 0, 'x', 0, 0, 4, 1, 2}},
        {"extension without its zero", {'a', 0, 1, 0, 'x', 'y'}},
    };
    for (const Case& c : cases) EXPECT_FALSE(media::ParseFileKinds(c.bytes)) << c.name;
    // What cannot be written is refused by the writer.
    media::FileKindsTable bad = PictureKinds();
    bad.kinds[1].extension.clear();
    EXPECT_TRUE(media::BuildFileKinds(bad).empty());
    bad = PictureKinds();
    bad.kinds[0].signature.assign(256, 1);
    EXPECT_TRUE(media::BuildFileKinds(bad).empty());
    bad = PictureKinds();
    bad.filter.push_back('\0');
    EXPECT_TRUE(media::BuildFileKinds(bad).empty());
}

TEST(FileKindsMatch, SignatureMustLieInsideTheFile) {
    const media::FileKindsTable table = PictureKinds();
    struct Case {
        const char* name;
        Bytes file;
        int kind;
    };
    const Case cases[] = {
        {"own file: a set id below 256", {10, 0, 3, 0}, 0},
        {"bitmap", {'B', 'M', 0x36, 0x04}, 1},
        {"pcx", {0x0A, 0x05, 0x01, 0x08}, 2},
        {"pcx signature exactly the file", {0x0A, 0x05, 0x01}, 2},
        {"pcx cut before its signature ends", {0x0A, 0x05}, -1},
        {"one byte: the own kind's offset 1 lies past it", {0x00}, -1},
        {"empty file", {}, -1},
        {"unknown", {'G', 'I', 'F', '8'}, -1},
        // The own kind comes first in the table and wins over a later match.
        {"both own and bitmap", {'B', 0x00, 'M'}, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(media::MatchFileKind(table, c.file, c.file.size()), c.kind) << c.name;
    // Only the bytes given are compared, whatever length the file claims.
    const Bytes head = {0x0A, 0x05};
    EXPECT_EQ(media::MatchFileKind(table, head, 1000), -1);
}

TEST(FileKindsMatch, ExtensionsIgnoreCase) {
    const media::FileKindsTable table = PictureKinds();
    EXPECT_EQ(media::FindKindByExtension(table, "PCX"), 2);
    EXPECT_EQ(media::FindKindByExtension(table, "bmp"), 1);
    EXPECT_EQ(media::FindKindByExtension(table, "Zfb"), 0);
    EXPECT_EQ(media::FindKindByExtension(table, "gif"), -1);
    EXPECT_EQ(media::FindKindByExtension(table, ""), -1);
}

class FileKindsOnDisk : public surftest::SurfaceTest {};

TEST_F(FileKindsOnDisk, IdentifiesByTheFilesBytes) {
    const media::FileKindsTable table = PictureKinds();
    std::filesystem::create_directories(m_tmp / "c" / "mapp");
    struct Case {
        const char* name;
        Bytes bytes;
        int kind;
    };
    const Case cases[] = {
        {"bild.pcx", {0x0A, 0x05, 0x01, 0x08, 0, 0}, 2},
        {"bild.bmp", {'B', 'M', 1, 2}, 1},
        {"figur.zfb", {20, 0, 0, 0}, 0},
        {"kort.pcx", {0x0A, 0x05}, kKindUnknown},
        {"tom.bmp", {}, kKindUnknown},
        {"text.txt", {'h', 'e', 'j'}, kKindUnknown},
    };
    for (const Case& c : cases) {
        const std::string path = PutFile(c.name, c.bytes);
        EXPECT_EQ(IdentifyPictureFile(path.c_str(), table), c.kind) << c.name;
    }
    // A larger file whose signature lies further in.
    media::FileKindsTable far = table;
    far.kinds.push_back({"far", 200, {0xAB, 0xCD}});
    Bytes big(300, 0x11);
    big[200] = 0xAB;
    big[201] = 0xCD;
    EXPECT_EQ(IdentifyPictureFile(PutFile("far.bin", big).c_str(), far), 3);
    EXPECT_EQ(IdentifyPictureFile("C:\\saknas.pcx", table), kKindMissing);
    EXPECT_EQ(IdentifyPictureFile("C:\\mapp", table), kKindInvalid);
}

}  // namespace
