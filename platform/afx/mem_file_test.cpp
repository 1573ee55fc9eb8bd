#include "platform/afx/mem_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const CMemFile& f) { return std::string(f.Bytes().begin(), f.Bytes().end()); }

TEST(CMemFileTest, WritesGrowTheFileAndAGapReadsAsZeros) {
    CMemFile f;
    f.Write("abc", 3);
    f.Seek(5, CFile::begin);
    f.Write("z", 1);
    EXPECT_EQ(Text(f), std::string("abc\0\0z", 6));
    EXPECT_EQ(f.GetLength(), 6u);
    f.Seek(1, CFile::begin);
    f.Write("XY", 2);  // overwrites in place
    EXPECT_EQ(Text(f), std::string("aXY\0\0z", 6));
    EXPECT_EQ(f.GetPosition(), 3u);
}

TEST(CMemFileTest, ReadsStopAtTheEndAndSeeksBeforeTheStartThrow) {
    const uint8_t bytes[] = {1, 2, 3, 4};
    CMemFile f(bytes);
    uint8_t out[8] = {};
    EXPECT_EQ(f.Read(out, 3), 3u);
    EXPECT_EQ(f.Read(out, 8), 1u);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(f.Read(out, 8), 0u);
    EXPECT_EQ(f.Seek(-2, CFile::end), 2);
    EXPECT_EQ(f.Seek(10, CFile::current), 12);
    EXPECT_EQ(f.Read(out, 1), 0u);  // past the end reads nothing
    int cause = CFileException::none;
    try {
        f.Seek(-13, CFile::current);
    } catch (CFileException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(cause, CFileException::badSeek);
    EXPECT_EQ(f.GetPosition(), 12u);  // a refused seek leaves the position
    f.SetLength(2);
    EXPECT_EQ(f.GetLength(), 2u);
    EXPECT_EQ(f.GetPosition(), 2u);
}

}  // namespace
