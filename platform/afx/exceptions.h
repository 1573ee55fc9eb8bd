// The class library's exceptions. They are thrown as pointers to heap objects and caught
// as pointers, and the catcher ends them with Delete(), never with delete:
//
//   try { file.Write(data, n); }
//   catch (CException* e) { e->ReportError(); e->Delete(); }
//
// AfxThrowMemoryException throws one shared object that Delete leaves alone, so that an
// out-of-memory report needs no memory.
#pragma once

#include "platform/afx/afx_string.h"
#include "platform/afx/message_box.h"
#include "platform/afx/object.h"

class CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    explicit CException(BOOL autoDelete = TRUE) : m_bAutoDelete(autoDelete) {}

    // Frees the exception unless it is a shared one.
    void Delete();
    // The message in Windows-1252, truncated to maxError - 1 bytes; FALSE (and an empty
    // text) when the exception has none.
    virtual BOOL GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext = nullptr);
    // Shows the message with AfxMessageBox; without one, the string messageId, or a
    // general text when that is 0. Returns the box's answer.
    virtual int ReportError(UINT type = MB_OK, UINT messageId = 0);

    BOOL m_bAutoDelete;
};

class CMemoryException : public CException {
    DECLARE_DYNAMIC(CMemoryException)
public:
    explicit CMemoryException(BOOL autoDelete = TRUE) : CException(autoDelete) {}
    BOOL GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext = nullptr) override;
};

class CResourceException : public CException {
    DECLARE_DYNAMIC(CResourceException)
public:
    explicit CResourceException(BOOL autoDelete = TRUE) : CException(autoDelete) {}
    BOOL GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext = nullptr) override;
};

class CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)
public:
    // The class library's cause numbers; callers store and compare them.
    enum {
        none = 0,
        generic = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    explicit CFileException(int cause = none, LONG osError = -1, LPCSTR fileName = nullptr)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

    // The cause that a Windows error code (GetLastError) stands for; generic when unknown.
    static int OsErrorToException(LONG osError);
    // Throws the file exception of a Windows error code; returns when the code is 0.
    static void ThrowOsError(LONG osError, LPCSTR fileName = nullptr);

    BOOL GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext = nullptr) override;

    int m_cause;
    LONG m_lOsError;  // -1 when there is no system error (a short write)
    CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, LPCSTR fileName = nullptr);
