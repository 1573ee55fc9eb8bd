#include "engine/toolbox/resource_copies.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/toolbox/toolbox_test_support.h"
#include "media/res/read_error_prompt.h"
#include "media/res/res_mgr.h"
#include "media/res/res_test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

const uint32_t kLayout = ResType("IN#");

// Module 2's file: a level table, two string lists (one without its last terminator) and an
// empty item.
media::CResWriter ModuleTwo() {
    media::CResWriter w;
    w.Add("IN#", 2005, Bytes{1, 2, 3, 4, 5, 6, 7});
    w.Add("IST", 2010, toolboxtest::ListItem({"Ett", "Tv\xE5", "Tre"}));
    Bytes open = toolboxtest::ListItem({"Hej", "d\xE5"});
    open.pop_back();
    w.Add("IST", 2011, open);
    w.Add("IST", 2012, Bytes{3});  // a head and no strings
    w.Add("XYZ", 2013, Bytes{});
    return w;
}

class ResourceCopies : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.OpenModule(2, ModuleTwo())); }
    toolboxtest::CPictureHost host;
};

TEST_F(ResourceCopies, ACopyHoldsTheWholeItemAndMissingItemsGiveNull) {
    uint32_t size = 99;
    uint8_t* copy = LoadResourceCopy(kLayout, 5, size);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Bytes(copy, copy + size), (Bytes{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(host.services, 1);  // the mixer was served once
    FreeResourceCopy(copy);

    // An id already made absolute and a module-relative one reach the same item.
    copy = LoadResourceCopy(kLayout, 2005);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy[6], 7);
    FreeResourceCopy(copy);

    uint8_t* empty = LoadResourceCopy(ResType("XYZ"), 13, size);
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(size, 0u);
    FreeResourceCopy(empty);

    struct Missing {
        const char* what;
        uint32_t type;
        int32_t id;
        int module;
    };
    const Missing missing[] = {
        {"no item of the id", kLayout, 6, 2},
        {"another type of the id", kResSPR, 5, 2},
        {"a negative id", kLayout, -5, 2},
        {"a module without a file", kLayout, 5, 3},
    };
    for (const Missing& m : missing) {
        SCOPED_TRACE(m.what);
        host.module = m.module;
        size = 99;
        EXPECT_EQ(LoadResourceCopy(m.type, m.id, size), nullptr);
        EXPECT_EQ(size, 0u);
        EXPECT_FALSE(ResourceExists(m.type, m.id));
    }
    host.module = 2;
    EXPECT_TRUE(ResourceExists(kLayout, 5));
    EXPECT_TRUE(ResourceExists(ResType("XYZ"), 13));
    FreeResourceCopy(nullptr);
}

// A read that fails (the disc prompt switched off, so it gives up at once) gives no copy, never
// a partly filled one.
TEST_F(ResourceCopies, AFailedReadGivesNoCopy) {
    auto files = std::make_shared<restest::CCountingFiles>();
    files->Put("MOD.RES", ModuleTwo().Build());
    host.managers[2] = std::make_unique<CResMgr>();
    host.managers[2]->SetFileSystem(files);
    ASSERT_TRUE(host.managers[2]->Open("MOD.RES"));
    EnableReadErrorPrompt(false);
    files->Counters().failReads = 1;
    uint32_t size = 99;
    EXPECT_EQ(LoadResourceCopy(kLayout, 5, size), nullptr);
    EXPECT_EQ(size, 0u);
    EnableReadErrorPrompt(true);
    uint8_t* copy = LoadResourceCopy(kLayout, 5, size);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(size, 7u);
    FreeResourceCopy(copy);
}

TEST_F(ResourceCopies, ListStringsAreBoundedByTheListAndTheDestination) {
    struct Case {
        int32_t id;
        int16_t n;
        size_t size;
        std::string expected;
    };
    const Case cases[] = {
        {10, 1, 16, "Ett"},   {10, 0, 16, "Ett"},   {10, -7, 16, "Ett"},  {10, 2, 16, "Tv\xE5"},
        {10, 3, 16, "Tre"},   {10, 4, 16, ""},      {10, 300, 16, ""},    {10, 3, 3, "Tr"},
        {10, 1, 1, ""},       {2010, 2, 16, "Tv\xE5"},
        {11, 2, 16, "d\xE5"},  // the last string runs to the end of the item
        {11, 3, 16, ""},      {12, 1, 16, ""},      {14, 1, 16, ""},      {-10, 1, 16, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "list " << c.id << " string " << c.n << " into " << c.size);
        // The destination is exactly the size given, so AddressSanitizer sees any byte beyond.
        auto dest = std::make_unique<char[]>(c.size);
        std::memset(dest.get(), 'x', c.size);
        CopyListString(dest.get(), c.size, c.id, c.n);
        EXPECT_EQ(std::string(dest.get()), c.expected);
    }
    char array[3];
    CopyListString(array, 10, 1);
    EXPECT_STREQ(array, "Et");
}

}  // namespace
