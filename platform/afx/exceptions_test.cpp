#include "platform/afx/exceptions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/afx/message_box.h"

namespace {

TEST(FileException, OsErrorToExceptionTable) {
    struct Case {
        LONG osError;
        int cause;
    };
    const Case cases[] = {
        {0, CFileException::none},
        {2, CFileException::fileNotFound},
        {3, CFileException::badPath},
        {4, CFileException::tooManyOpenFiles},
        {5, CFileException::accessDenied},
        {15, CFileException::badPath},
        {19, CFileException::accessDenied},
        {32, CFileException::sharingViolation},
        {33, CFileException::lockViolation},
        {38, CFileException::endOfFile},
        {39, CFileException::diskFull},
        {112, CFileException::diskFull},
        {123, CFileException::badPath},
        {131, CFileException::badSeek},
        {145, CFileException::removeCurrentDir},
        {183, CFileException::accessDenied},
        {8, CFileException::generic},  // not enough memory: no file cause
        {-1, CFileException::generic},
        {99999, CFileException::generic},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "os error " << c.osError);
        EXPECT_EQ(CFileException::OsErrorToException(c.osError), c.cause);
    }
    // The numbers callers store and compare.
    EXPECT_EQ(CFileException::diskFull, 13);
    EXPECT_EQ(CFileException::endOfFile, 14);
}

TEST(FileException, ThrownByPointerAndCaughtAsCException) {
    try {
        CFileException::ThrowOsError(112, "C:\\SPEL.DAT");
        FAIL() << "no exception";
    } catch (CException* e) {
        ASSERT_TRUE(e->IsKindOf(RUNTIME_CLASS(CFileException)));
        EXPECT_FALSE(e->IsKindOf(RUNTIME_CLASS(CMemoryException)));
        auto* file = static_cast<CFileException*>(e);
        EXPECT_EQ(file->m_cause, CFileException::diskFull);
        EXPECT_EQ(file->m_lOsError, 112);
        EXPECT_EQ(file->m_strFileName, "C:\\SPEL.DAT");
        char message[64];
        EXPECT_TRUE(e->GetErrorMessage(message, sizeof message));
        EXPECT_NE(std::string(message).find("C:\\SPEL.DAT"), std::string::npos);
        e->Delete();
    }
    // Error 0 is no failure: nothing is thrown.
    EXPECT_NO_THROW(CFileException::ThrowOsError(0, "x"));
}

TEST(Exceptions, EachKindIsItsOwnClass) {
    struct Case {
        void (*thrower)();
        CRuntimeClass* cls;
        int cause;
    };
    const Case cases[] = {
        {[] { AfxThrowMemoryException(); }, RUNTIME_CLASS(CMemoryException), -1},
        {[] { AfxThrowResourceException(); }, RUNTIME_CLASS(CResourceException), -1},
        {[] { AfxThrowFileException(CFileException::endOfFile, 38, "a"); }, RUNTIME_CLASS(CFileException),
         CFileException::endOfFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cls->m_lpszClassName);
        // Twice: the shared memory exception must survive Delete.
        for (int round = 0; round < 2; ++round) {
            try {
                c.thrower();
            } catch (CException* e) {
                EXPECT_EQ(e->GetRuntimeClass(), c.cls);
                EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CException)));
                if (c.cause >= 0) {
                    EXPECT_EQ(static_cast<CFileException*>(e)->m_cause, c.cause);
                }
                char message[128];
                EXPECT_TRUE(e->GetErrorMessage(message, sizeof message));
                EXPECT_GT(std::strlen(message), 0u);
                e->Delete();
            }
        }
    }
}

TEST(Exceptions, ReportErrorShowsTheMessage) {
    std::string shown;
    plat::MessageBoxHook previous = plat::SetMessageBoxHook([&](LPCSTR text, UINT, UINT) {
        shown = text;
        return IDOK;
    });
    CFileException file(CFileException::fileNotFound, 2, "D:\\ZADARO.SWP");
    EXPECT_EQ(file.ReportError(), IDOK);
    EXPECT_NE(shown.find("D:\\ZADARO.SWP"), std::string::npos);

    // Without a message of its own the general text is shown.
    CException plain(FALSE);
    shown.clear();
    plain.ReportError();
    EXPECT_FALSE(shown.empty());

    // A short buffer is truncated and terminated.
    char tiny[6];
    EXPECT_TRUE(file.GetErrorMessage(tiny, sizeof tiny));
    EXPECT_EQ(std::strlen(tiny), 5u);
    plat::SetMessageBoxHook(std::move(previous));
}

}  // namespace
