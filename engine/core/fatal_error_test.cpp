#include "engine/core/fatal_error.h"

#include <gtest/gtest.h>

#include "engine/core/engine_test_support.h"
#include "media/res/cor_exception.h"
#include "platform/afx/exceptions.h"

namespace {

using enginetest::EngineTest;

// Exceptions that tell when they are deleted.
template <class Base>
class CNoted : public Base {
public:
    explicit CNoted(bool& deleted) : m_deleted(deleted) {}
    ~CNoted() override { m_deleted = true; }

private:
    bool& m_deleted;
};

struct FatalCase {
    const char* name;
    CException* (*make)(bool& deleted);
    UINT stringId;
};

class FatalEngineErrorTest : public EngineTest, public ::testing::WithParamInterface<FatalCase> {};

TEST_P(FatalEngineErrorTest, ShowsItsTextStopsPresentingAndThrowsTheExit) {
    const FatalCase& c = GetParam();
    bool deleted = false;
    CException* e = c.make(deleted);
    theEngine->m_busyGuard = 0;
    head->PushAnswer(IDOK);
    bool exited = false;
    try {
        FatalEngineError(e);
    } catch (CCorExceptionBase* exit) {
        exited = exit->IsKindOf(RUNTIME_CLASS(CCorExceptionExit));
        exit->Report();
        delete exit;
    }
    EXPECT_TRUE(exited);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(theEngine->m_busyGuard, 1) << "no frame is presented afterwards";
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_EQ(plat::MessageBoxLog()[0].text, *plat::LookupString(c.stringId));
    EXPECT_EQ(plat::MessageBoxLog()[0].buttons, std::vector<int>{IDOK});
}

INSTANTIATE_TEST_SUITE_P(
    Engine, FatalEngineErrorTest,
    ::testing::Values(
        FatalCase{"Memory", [](bool& d) -> CException* { return new CNoted<CMemoryException>(d); }, 40001},
        FatalCase{"File", [](bool& d) -> CException* { return new CNoted<CFileException>(d); }, 40011},
        FatalCase{"Resource", [](bool& d) -> CException* { return new CNoted<CResourceException>(d); }, 40011},
        FatalCase{"Plain", [](bool& d) -> CException* { return new CNoted<CException>(d); }, 40011}),
    [](const ::testing::TestParamInfo<FatalCase>& info) { return std::string(info.param.name); });

TEST_F(EngineTest, FatalTextsAreShownAsStored) {
    EXPECT_EQ(*plat::LookupString(40011), "UNHANDELED EXCEPTION IN RERAVA!");
    head->PushAnswer(IDOK);
    try {
        FatalEngineError(new CException);
    } catch (CCorExceptionBase* exit) {
        delete exit;
    }
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_EQ(plat::MessageBoxLog()[0].text, "UNHANDELED EXCEPTION IN RERAVA!");
}

// The handler start-up installs turns a failed allocation into the class library's memory
// exception, which the fatal handler reports as out of memory.
TEST_F(EngineTest, StartupsAllocationHandlerThrowsTheMemoryException) {
    PutSharedFile(root / "Prog");
    theEngine->Startup(programFolder);
    std::new_handler handler = std::get_new_handler();
    ASSERT_NE(handler, nullptr);
    bool memory = false;
    try {
        handler();
    } catch (CException* e) {
        memory = e->IsKindOf(RUNTIME_CLASS(CMemoryException));
        e->Delete();
    }
    EXPECT_TRUE(memory);
}

}  // namespace
