#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "media/print/file_kinds.h"
#include "media/res/res_mgr.h"
#include "media/res/res_test_support.h"
#include "media/res/shape_items.h"
#include "tools/mkres/encoders.h"
#include "tools/mkres/source.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Built {
    bool ok = false;
    mkres::Diagnostics diag;
    Bytes file;
    std::set<std::filesystem::path> inputs;
};

Built Build(const std::string& text, const std::filesystem::path& folder = std::filesystem::temp_directory_path()) {
    Built b;
    const mkres::ModuleSource source = mkres::ParseModuleSource(text, "test.mkres", folder, b.diag);
    b.inputs = source.inputs;
    media::CResWriter writer;
    b.ok = mkres::BuildModule(source, b.diag, writer, b.inputs);
    if (b.ok) b.file = writer.Build();
    return b;
}

std::string Errors(const mkres::Diagnostics& diag) {
    std::string all;
    for (const auto& e : diag.Errors()) all += e + "\n";
    return all;
}

// Every generic encoder, through the writer and back through the game's reader, byte for
// byte; includes and binary files are read relative to the file that names them and
// reported as inputs.
TEST(Mkres, GenericEncodersRoundTripThroughTheReader) {
    restest::CTempFolder tmp;
    std::filesystem::create_directories(tmp.Path() / "common");
    std::ofstream(tmp.Path() / "common" / "blob.bin", std::ios::binary) << "xyz";
    std::ofstream(tmp.Path() / "common" / "shared.mkres") << "PNT M+1   # the size record\n  640 480\nend\n"
                                                             "DATA 3 raw\n  file \"blob.bin\"\nend\n";
    const Built b = Build(R"(# A module of every kind of item.
module 2
include "common/shared.mkres"

PAL M
  rgb 255 0 0
  0x00FF80          # one colour as 0xRRGGBB
  ramp 3 0x000000 0xFFFFFF
end
IST M+982
  "Gäst"
  2 "a\"b#c"
end
IN# M+5   # a table of 16-bit values
  1 -1 0x1234
  u8 7 u32 70000
  fill 2 9
end
BPB 17 raw
  "AB" 0 i8 -2
end
SPT M+100   # a spot without a mask
  rect 1 2 3 4
end
SPT M+101   # 9 x 2 mask pixels: rows of 2 bytes
  rect 0 0 8 1
  mask
  rect 8 0 9 1 1
  line 0 1 3 1 5
end
SP# M+500
  0 2100 2101
end
IN# M+102 charlist   # characters: strings and single codes
  "Aö" 32
  "-"
end
)",
                            tmp.Path());
    ASSERT_TRUE(b.ok) << Errors(b.diag);

    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("M.RES", b.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    ASSERT_EQ(mgr.Open("M.RES"), 1);
    const struct {
        uint32_t type;
        uint32_t id;
        Bytes bytes;
    } expected[] = {
        {kResPAL, 2000, {5, 0, 0, 0, 255, 128, 255, 0, 0, 0, 0, 128, 128, 128, 255, 255, 255}},
        {kResPNT, 2001, {0x80, 0x02, 0xE0, 0x01}},
        {kResIST, 2982, {2, 0, 'G', 0xE4, 's', 't', 0, 'a', '"', 'b', '#', 'c', 0}},
        {kResINN, 2005, {1, 0, 0xFF, 0xFF, 0x34, 0x12, 7, 0x70, 0x11, 0x01, 0x00, 9, 0, 9, 0}},
        {kResBPB, 17, {'A', 'B', 0, 0xFE}},
        {ResType("DATA"), 3, {'x', 'y', 'z'}},
        {kResSPT, 2100, {1, 0, 2, 0, 3, 0, 4, 0}},
        {kResSPT, 2101, {0, 0, 0, 0, 8, 0, 1, 0, 0x00, 0x80, 0xF0, 0x00}},
        {kResSPN, 2500, {0, 0, 0x34, 0x08, 0x35, 0x08}},
        {kResINN, 2102, {4, 0, 'A', 0, 0xF6, 0, ' ', 0, '-', 0}},
    };
    EXPECT_EQ(mgr.Entries().size(), std::size(expected));
    for (const auto& e : expected) {
        EXPECT_EQ(restest::ReadWhole(mgr, mgr.FindEntry(e.type, e.id)), e.bytes) << std::hex << e.type << " " << std::dec << e.id;
    }
    EXPECT_TRUE(b.inputs.contains(std::filesystem::weakly_canonical(tmp.Path() / "common" / "shared.mkres")));
    EXPECT_TRUE(b.inputs.contains(std::filesystem::weakly_canonical(tmp.Path() / "common" / "blob.bin")));
}

struct ErrorCase {
    const char* source;
    int line;
    const char* message;
};

// A faulty source names the file, the line and the fault, and builds nothing.
TEST(Mkres, FaultsAreReportedWithTheirLine) {
    const ErrorCase cases[] = {
        {"PAL M\n0\nend\n", 1, "needs a module line"},
        {"module 2\nPNT M+1\n  640\nend\n", 2, "two numbers"},
        {"module 1\nPAL M\n  at 1\nend\n", 3, "the next colour is 0, not 1"},
        {"module 1\nPAL M\n  ramp 200 0 0xFFFFFF\n  ramp 57 0 1\nend\n", 4, "at most 256"},
        {"module 1\nPAL M\n  0x1000000\nend\n", 3, "outside"},
        {"module 1\nIST M\n  2 \"x\"\nend\n", 3, "this is string 1, not 2"},
        {"module 1\nIST M\n  \"a\\x00b\"\nend\n", 3, "zero byte"},
        {"module 1\nIST M\n  \"\xE6\x97\xA5\"\nend\n", 3, "Windows-1252"},
        {"module 1\nIST M\n  \"open\nend\n", 3, "closing quote"},
        {"module 1\nIN# M\n  u8 256\nend\n", 3, "outside 0 to 255"},
        {"module 1\nIN# M\n  70000\nend\n", 3, "outside"},
        {"module 1\nSPR 5\nend\nSPR 5\nend\n", 4, "given twice"},
        {"module 1\nSPT M\nend\n", 2, "starts with rect"},
        {"module 1\nSPT M\n  mask\nend\n", 3, "starts with rect"},
        {"module 1\nSPT M\n  rect 5 0 4 3\nend\n", 3, "right is not left"},
        {"module 1\nSPT M\n  rect 0 0 4 40000\nend\n", 3, "outside"},
        {"module 1\nSPT M\n  rect 0 0 4 4\n  circle 1 1 1 1\nend\n", 4, "only a mask may follow"},
        {"module 1\nSPT M\n  rect 0 0 4 4\n  mask\n  size 5 5\nend\n", 5, "size takes"},
        {"module 1\nSPR 5\n  1\n", 2, "no end line"},
        {"end\n", 1, "end without an item"},
        {"module 1\nSPR 5 picture9\nend\n", 2, "no encoder named picture9"},
        {"SPRITE 5\nend\n", 1, "expected an item"},
        {"SPR 70000\nend\n", 1, "outside 0 to 65535"},
        {"module 1\nSPR M+1000\nend\n", 2, "0 to 999"},
        {"module 1\nmodule 2\n", 2, "second module line"},
        {"include \"missing.mkres\"\n", 1, "cannot read"},
        {"module 1\nBPB 1 raw\n  file \"missing.bin\"\nend\n", 3, "cannot read"},
        {"module 1\nIN# M charlist\nend\n", 2, "at least one character"},
        {"module 1\nIN# M charlist\n  \"ab\" \"b\"\nend\n", 3, "character 98 is listed twice"},
        {"module 1\nIN# M charlist\n  0\nend\n", 3, "outside"},
        {"module 1\nIN# M charlist\n  256\nend\n", 3, "outside"},
        {"module 1\nIN# M charlist\n  \"\"\nend\n", 3, "empty string"},
        {"module 1\nIN# M charlist\n  \"\xE6\x97\xA5\"\nend\n", 3, "Windows-1252"},
        // A font strip makes its character list: an 'IST' of its id given anywhere clashes.
        {"module 1\nIST M+5\n  \"x\"\nend\nSPR M+5 fontstrip\n  face FONT0015 ink 22\n  chars \"ab\"\nend\n", 5,
         "makes IST 1005, which is also given at test.mkres:2"},
        {"module 1\nSPR M+5 fontstrip\n  face FONT0015 ink 22\n  chars \"ab\"\nend\nIST M+5\n  \"x\"\nend\n", 2,
         "makes IST 1005, which is also given at test.mkres:6"},
        // File kinds.
        {"module 6\nFIL M+20\n  kind \"bmp\" at 0 signature \"BM\"\nend\n", 3, "filter comes before the kinds"},
        {"module 6\nFIL M+20\n  filter \"A|*.a||\"\n  filter \"B|*.b||\"\nend\n", 4, "comes once, first"},
        {"module 6\nFIL M+20\n  filter \"A|*.a||\"\nend\n", 2, "at least one kind"},
        {"module 6\nFIL M+20\n  filter \"A|*.a|B|*.b||\"\n  kind \"a\" at 0 signature 1\nend\n", 2,
         "the filter lists 2 kinds, the item 1"},
        {"module 6\nFIL M+20\n  filter \"A|*.a||\"\n  kind \"a\" at 256 signature 1\nend\n", 4, "outside 0 to 255"},
        {"module 6\nFIL M+20\n  filter \"A|*.a||\"\n  kind \"a\" at 0 signature\nend\n", 4, "kind \"ext\" at OFFSET"},
        {"module 6\nFIL M+20\n  filter \"A|*.a||\"\n  kind \"a\" at 0 signature fill 256 1\nend\n", 4, "1 to 255 bytes"},
        {"module 6\nFIL M+20\n  filter \"A|*.a||\"\n  kind \".a\" at 0 signature 1\nend\n", 4, "without a dot"},
        {"module 6\nFIL M+20\n  filter \"A|*.a||\"\n  kind \"\" at 0 signature 1\nend\n", 4, "without a dot"},
        {"module 6\nFIL M+20\n  filter \"A|*.a|B|*.A||\"\n  kind \"a\" at 0 signature 1\n  kind \"A\" at 0 signature 2\nend\n",
         5, "the extension A is listed twice"},
        {"module 6\nFIL M+20\n  filter \"A|*.a||\"\n  kind \"a\" from 0 signature 1\nend\n", 4, "kind \"ext\" at OFFSET"},
        {"module 6\nFIL M+20\n  size 1 2\nend\n", 3, "a line is filter"},
        // Piece outlines.
        {"module 6\nPN# M+10\n  edge 32 0\nend\n", 3, "lead comes once, first"},
        {"module 6\nPN# M+10\n  lead 1 0\n  lead 1 0\nend\n", 4, "lead comes once, first"},
        {"module 6\nPN# M+10\n  lead 1 0\n  edge 32 0\n  edge 32 1200\nend\n", 2, "a lead and 3 to 1000 edges"},
        {"module 6\nPN# M+10\n  lead 1 3600\nend\n", 3, "outside 0 to 3599"},
        {"module 6\nPN# M+10\n  lead 1\nend\n", 3, "takes a length and a direction"},
        {"module 6\nPN# M+10\n  lead -1 0\nend\n", 3, "outside 0 to 32767"},
        {"module 6\nPN# M+10\n  side 1 0\nend\n", 3, "a line is lead"},
        // Piece lists.
        {"module 6\nPLS M+10\nend\n", 2, "begins with set ID"},
        {"module 6\nPLS M+10\n  piece 0 0 1 2 0\nend\n", 3, "begins with set ID"},
        {"module 6\nPLS M+10\n  set 10\n  piece 0 32 1 2 0\nend\n", 4, "outside 0 to 31"},
        {"module 6\nPLS M+10\n  set 10\n  piece 10 0 1 2 0\nend\n", 4, "outside 0 to 9"},
        {"module 6\nPLS M+10\n  set 10\n  piece 0 0 1 2 100\nend\n", 4, "multiple of 150"},
        {"module 6\nPLS M+10\n  set 10\n  piece 0 0 1 2 3600\nend\n", 4, "outside 0 to 3450"},
        {"module 6\nPLS M+10\n  set 10\n  piece 0 0 1 2\nend\n", 4, "KIND FILL X Y ANGLE"},
        {"module 6\nPLS M+10\n  set 10\n  member 0 0 1 2 0\nend\n", 4, "follows its group"},
        {"module 6\nPLS M+10\n  set 10\n  group -9 0 0\n  member 0 0 1 2 0\n  piece 0 0 1 2 0\n  member 0 0 1 2 0\nend\n",
         7, "follows its group"},
        {"module 6\nPLS M+10\n  set 10\n  group -2 0 0\nend\n", 4, "-9, -1 or 0 to 31"},
        {"module 6\nPLS M+10\n  set 10\n  square 0 0 1 2 0\nend\n", 4, "piece, group or member"},
        // Task records.
        {"module 6\nBPB M+100\n  kind 4\nend\n", 3, "outside 0 to 3"},
        {"module 6\nBPB M+100\n  word 5 1\nend\n", 3, "outside 6 to 56"},
        {"module 6\nBPB M+100\n  word 56 1 2\nend\n", 3, "past word 56"},
        {"module 6\nBPB M+100\n  guide 1 2 3\nend\n", 3, "X1 Y1 X2 Y2"},
        {"module 6\nBPB M+100\n  start set 10\n  reference set 10\nend\n", 3, "a task line is"},
        {"module 6\nBPB M+100\n  reference set 10\n  start set 10\nend\n", 2, "reference, start and solution"},
        {"module 6\nBPB M+100\n  reference set 10\n  start set 10\n  solution set 10\n  guide 1 2 3 4\nend\n", 6,
         "piece, group or member"},
        {"module 6\nBPB M+100\n  reference\nend\n", 3, "begins with set ID"},
    };
    for (const ErrorCase& c : cases) {
        const Built b = Build(c.source);
        EXPECT_FALSE(b.ok) << c.source;
        EXPECT_TRUE(b.file.empty());
        const std::string all = Errors(b.diag);
        EXPECT_NE(all.find("test.mkres:" + std::to_string(c.line) + ": "), std::string::npos) << c.source << "\n" << all;
        EXPECT_NE(all.find(c.message), std::string::npos) << c.source << "\n" << all;
    }
}

// File kinds through the writer and back through the game's reader and the kinds reader.
TEST(Mkres, FileKindsRoundTrip) {
    const Built b = Build(R"(module 6
FIL M+20
  filter "Formbygge (*.zfb)|*.zfb|Bitmappsbild (*.bmp)|*.bmp|PCX-bild (*.pcx)|*.pcx||"
  kind "zfb" at 1 signature 0x00
  kind "bmp" at 0 signature "BM"
  kind "pcx" at 0 signature 0x0A 0x05 0x01
end
FIL M+30 filekinds
  filter "Formbygge (*.zfb)|*.zfb|"
  kind "zfb" at 200 signature "Z" u16 0x1234
end
)");
    ASSERT_TRUE(b.ok) << Errors(b.diag);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("M.RES", b.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    ASSERT_EQ(mgr.Open("M.RES"), 1);
    const Bytes save = restest::ReadWhole(mgr, mgr.FindEntry(kResFIL, 6020));
    const std::string filter = "Formbygge (*.zfb)|*.zfb|Bitmappsbild (*.bmp)|*.bmp|PCX-bild (*.pcx)|*.pcx||";
    Bytes expected(filter.begin(), filter.end());
    for (const uint8_t b : Bytes{0, 3, 0, 'z', 'f', 'b', 0, 1, 1, 0x00, 'b', 'm', 'p', 0, 0, 2, 'B', 'M', 'p', 'c', 'x', 0, 0, 3,
                                 0x0A, 0x05, 0x01})
        expected.push_back(b);
    EXPECT_EQ(save, expected);
    const auto open = media::ParseFileKinds(restest::ReadWhole(mgr, mgr.FindEntry(kResFIL, 6030)));
    ASSERT_TRUE(open);
    EXPECT_EQ(open->filter, "Formbygge (*.zfb)|*.zfb|");
    ASSERT_EQ(open->kinds.size(), 1u);
    EXPECT_EQ(open->kinds[0].extension, "zfb");
    EXPECT_EQ(open->kinds[0].offset, 200);
    EXPECT_EQ(open->kinds[0].signature, (Bytes{'Z', 0x34, 0x12}));
}

// Outlines, piece lists and task records through the writer and back through the game's
// reader and the activity's item readers: member counts made from the member lines, every
// word, guide line and block where the task layout puts it.
TEST(Mkres, ShapeItemsRoundTrip) {
    const Built b = Build(R"(module 6
PN# M+12
  lead 18 1500
  edge 24 0
  edge 24 1200
  edge 24 2400
end
PLS M+10
  set 10
  piece 2 3 100 120 150
  group -9 0 0
    member 2 1 50 60 0
    member 2 1 74 60 1800
  piece 5 16 -5 7 3450
end
BPB M+101
  kind 2
  style 1
  word 6 7 65535 -1
  guide 100 50 100 250
  guide 10 20 30 40
  reference set 20
  start set 20
    piece 0 0 1 2 0
  solution set 10
    group 3 0 0
    member 2 3 9 9 300
end
)");
    ASSERT_TRUE(b.ok) << Errors(b.diag);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("M.RES", b.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    ASSERT_EQ(mgr.Open("M.RES"), 1);

    const Bytes outline = restest::ReadWhole(mgr, mgr.FindEntry(kResPNN, 6012));
    EXPECT_EQ(outline, (Bytes{4, 0, 18, 0, 0xDC, 0x05, 24, 0, 0, 0, 24, 0, 0xB0, 0x04, 24, 0, 0x60, 0x09}));
    const media::PieceOutline o = media::ParsePieceOutline(outline);
    EXPECT_FALSE(o.damaged);
    EXPECT_EQ(o.lead, (media::PiecePair{18, 1500}));
    EXPECT_EQ(o.edges, (std::vector<media::PiecePair>{{24, 0}, {24, 1200}, {24, 2400}}));

    const Bytes set = restest::ReadWhole(mgr, mgr.FindEntry(ResType("PLS"), 6010));
    EXPECT_EQ(set.size(), 4u + 10u * 5u);
    const media::PieceList list = media::ParsePieceList(set);
    EXPECT_FALSE(list.damaged);
    EXPECT_EQ(list.setId, 10);
    EXPECT_EQ(list.records, (std::vector<media::PieceRecord>{
                                {2, 3, 100, 120, 150}, {-1, -9, 0, 0, 2}, {2, 1, 50, 60, 0}, {2, 1, 74, 60, 1800}, {5, 16, -5, 7, 3450}}));
    EXPECT_EQ(media::PieceListShapeCount(list), 3u);

    const Bytes record = restest::ReadWhole(mgr, mgr.FindEntry(kResBPB, 6101));
    EXPECT_EQ(record.size(), 116u + 2 * 8 + 4 + (4 + 10) + (4 + 20));
    const media::TaskRecord task = media::ParseTaskRecord(record);
    EXPECT_FALSE(task.damaged);
    EXPECT_EQ(task.Kind(), 2);
    EXPECT_EQ(task.Style(), 1);
    EXPECT_EQ(task.words[6], 7);
    EXPECT_EQ(task.words[7], 65535);
    EXPECT_EQ(task.words[8], 65535);
    EXPECT_EQ(task.words[9], 0);
    EXPECT_EQ(task.guides, (std::vector<media::GuideLine>{{100, 50, 100, 250}, {10, 20, 30, 40}}));
    EXPECT_EQ(task.reference.setId, 20);
    EXPECT_TRUE(task.reference.records.empty());
    EXPECT_EQ(task.start.records, (std::vector<media::PieceRecord>{{0, 0, 1, 2, 0}}));
    EXPECT_EQ(task.startOffset, 116u + 16 + 4);
    EXPECT_EQ(task.solution.setId, 10);
    EXPECT_EQ(task.solution.records, (std::vector<media::PieceRecord>{{-1, 3, 0, 0, 1}, {2, 3, 9, 9, 300}}));
    EXPECT_EQ(media::TaskRecordBytes(task), record);
}

TEST(Mkres, IncludeCycleIsAnError) {
    restest::CTempFolder tmp;
    std::ofstream(tmp.Path() / "a.mkres") << "include \"b.mkres\"\n";
    std::ofstream(tmp.Path() / "b.mkres") << "\n\ninclude \"a.mkres\"\n";
    mkres::Diagnostics diag;
    mkres::ReadModuleSource(tmp.Path() / "a.mkres", diag);
    ASSERT_FALSE(diag.Ok());
    EXPECT_NE(Errors(diag).find("b.mkres:3: include cycle"), std::string::npos) << Errors(diag);
}

// Every encoder in the table is found by its name, and the type codes of the generic ones
// choose them when an item names none.
TEST(Mkres, EncoderTable) {
    for (const mkres::EncoderInfo& e : mkres::Encoders()) EXPECT_EQ(mkres::FindEncoder(e.name), &e);
    EXPECT_STREQ(mkres::DefaultEncoder("PAL")->name, "palette");
    EXPECT_STREQ(mkres::DefaultEncoder("PNT")->name, "size");
    EXPECT_STREQ(mkres::DefaultEncoder("SPT")->name, "spot");
    EXPECT_STREQ(mkres::DefaultEncoder("SP#")->name, "words");
    EXPECT_STREQ(mkres::DefaultEncoder("IST")->name, "strings");
    EXPECT_STREQ(mkres::DefaultEncoder("IN#")->name, "words");
    EXPECT_STREQ(mkres::DefaultEncoder("FIL")->name, "filekinds");
    EXPECT_STREQ(mkres::DefaultEncoder("PN#")->name, "outline");
    EXPECT_STREQ(mkres::DefaultEncoder("PLS")->name, "piecelist");
    EXPECT_STREQ(mkres::DefaultEncoder("BPB")->name, "task");
    EXPECT_STREQ(mkres::DefaultEncoder("XYZ")->name, "raw");
}

}  // namespace
