#include "platform/afx/exceptions.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/afx/string_table.h"

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)

namespace {

BOOL CopyMessage(std::string_view text, LPSTR error, UINT maxError, UINT* helpContext) {
    if (helpContext) {
        *helpContext = 0;
    }
    if (error && maxError > 0) {
        const size_t copied = std::min<size_t>(text.size(), maxError - 1);
        std::copy_n(text.begin(), copied, error);
        error[copied] = '\0';
    }
    return text.empty() ? FALSE : TRUE;
}

// The Windows error codes a file operation can report, and the cause each stands for.
struct OsErrorCause {
    LONG osError;
    int cause;
};
constexpr OsErrorCause kOsErrorCauses[] = {
    {2, CFileException::fileNotFound},        // ERROR_FILE_NOT_FOUND
    {3, CFileException::badPath},             // ERROR_PATH_NOT_FOUND
    {4, CFileException::tooManyOpenFiles},    // ERROR_TOO_MANY_OPEN_FILES
    {5, CFileException::accessDenied},        // ERROR_ACCESS_DENIED
    {6, CFileException::fileNotFound},        // ERROR_INVALID_HANDLE
    {11, CFileException::invalidFile},        // ERROR_BAD_FORMAT
    {12, CFileException::accessDenied},       // ERROR_INVALID_ACCESS
    {15, CFileException::badPath},            // ERROR_INVALID_DRIVE
    {16, CFileException::removeCurrentDir},   // ERROR_CURRENT_DIRECTORY
    {17, CFileException::badPath},            // ERROR_NOT_SAME_DEVICE
    {18, CFileException::fileNotFound},       // ERROR_NO_MORE_FILES
    {19, CFileException::accessDenied},       // ERROR_WRITE_PROTECT
    {20, CFileException::hardIO},             // ERROR_BAD_UNIT
    {21, CFileException::hardIO},             // ERROR_NOT_READY
    {22, CFileException::hardIO},             // ERROR_BAD_COMMAND
    {23, CFileException::hardIO},             // ERROR_CRC
    {24, CFileException::badSeek},            // ERROR_BAD_LENGTH
    {25, CFileException::badSeek},            // ERROR_SEEK
    {26, CFileException::invalidFile},        // ERROR_NOT_DOS_DISK
    {27, CFileException::badSeek},            // ERROR_SECTOR_NOT_FOUND
    {29, CFileException::accessDenied},       // ERROR_WRITE_FAULT
    {30, CFileException::badSeek},            // ERROR_READ_FAULT
    {32, CFileException::sharingViolation},   // ERROR_SHARING_VIOLATION
    {33, CFileException::lockViolation},      // ERROR_LOCK_VIOLATION
    {34, CFileException::badPath},            // ERROR_WRONG_DISK
    {36, CFileException::tooManyOpenFiles},   // ERROR_SHARING_BUFFER_EXCEEDED
    {38, CFileException::endOfFile},          // ERROR_HANDLE_EOF
    {39, CFileException::diskFull},           // ERROR_HANDLE_DISK_FULL
    {53, CFileException::badPath},            // ERROR_BAD_NETPATH
    {65, CFileException::accessDenied},       // ERROR_NETWORK_ACCESS_DENIED
    {67, CFileException::badPath},            // ERROR_BAD_NET_NAME
    {80, CFileException::accessDenied},       // ERROR_FILE_EXISTS
    {82, CFileException::accessDenied},       // ERROR_CANNOT_MAKE
    {107, CFileException::fileNotFound},      // ERROR_DISK_CHANGE
    {108, CFileException::lockViolation},     // ERROR_DRIVE_LOCKED
    {112, CFileException::diskFull},          // ERROR_DISK_FULL
    {113, CFileException::tooManyOpenFiles},  // ERROR_NO_MORE_SEARCH_HANDLES
    {123, CFileException::badPath},           // ERROR_INVALID_NAME
    {131, CFileException::badSeek},           // ERROR_NEGATIVE_SEEK
    {132, CFileException::badSeek},           // ERROR_SEEK_ON_DEVICE
    {145, CFileException::removeCurrentDir},  // ERROR_DIR_NOT_EMPTY
    {161, CFileException::badPath},           // ERROR_BAD_PATHNAME
    {167, CFileException::lockViolation},     // ERROR_LOCK_FAILED
    {183, CFileException::accessDenied},      // ERROR_ALREADY_EXISTS
    {206, CFileException::badPath},           // ERROR_FILENAME_EXCED_RANGE
    {267, CFileException::badPath},           // ERROR_DIRECTORY
};

// Texts by cause; %1 is the file name.
constexpr const char* kFileMessages[] = {
    "No error occurred.",
    "An unexpected error occurred while accessing %1.",
    "%1 was not found.",
    "%1 contains an invalid path.",
    "%1 could not be opened because there are too many open files.",
    "Access to %1 was denied.",
    "An invalid file handle was associated with %1.",
    "%1 could not be removed because it is the current directory.",
    "%1 could not be created because the directory is full.",
    "Seek failed on %1.",
    "A hardware I/O error was reported while accessing %1.",
    "A sharing violation occurred while accessing %1.",
    "A locking violation occurred while accessing %1.",
    "Disk full while accessing %1.",
    "An attempt was made to access %1 past its end.",
};
static_assert(std::size(kFileMessages) == CFileException::endOfFile + 1);

}  // namespace

void CException::Delete() {
    if (m_bAutoDelete) {
        delete this;
    }
}

BOOL CException::GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext) {
    return CopyMessage({}, error, maxError, helpContext);
}

int CException::ReportError(UINT type, UINT messageId) {
    char message[512];
    UINT helpContext = 0;
    if (GetErrorMessage(message, sizeof message, &helpContext)) {
        return AfxMessageBox(message, type, helpContext);
    }
    if (messageId != 0) {
        return AfxMessageBox(messageId, type, helpContext);
    }
    return AfxMessageBox("No error message is available.", type, helpContext);
}

BOOL CMemoryException::GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext) {
    return CopyMessage("Out of memory.", error, maxError, helpContext);
}

BOOL CResourceException::GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext) {
    return CopyMessage("A required resource was unavailable.", error, maxError, helpContext);
}

int CFileException::OsErrorToException(LONG osError) {
    const auto* it = std::find_if(std::begin(kOsErrorCauses), std::end(kOsErrorCauses),
                                  [osError](const OsErrorCause& e) { return e.osError == osError; });
    if (osError == 0) {
        return none;
    }
    return it == std::end(kOsErrorCauses) ? generic : it->cause;
}

void CFileException::ThrowOsError(LONG osError, LPCSTR fileName) {
    if (osError != 0) {
        AfxThrowFileException(OsErrorToException(osError), osError, fileName);
    }
}

BOOL CFileException::GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext) {
    const int cause = m_cause >= none && m_cause <= endOfFile ? m_cause : generic;
    const LPCSTR name = m_strFileName.IsEmpty() ? "an unnamed file" : static_cast<LPCSTR>(m_strFileName);
    CString text;
    AfxFormatStrings(text, kFileMessages[cause], &name, 1);
    return CopyMessage(text.View(), error, maxError, helpContext);
}

void AfxThrowMemoryException() {
    static CMemoryException shared(FALSE);
    throw &shared;
}

void AfxThrowResourceException() {
    throw new CResourceException();
}

void AfxThrowFileException(int cause, LONG osError, LPCSTR fileName) {
    throw new CFileException(cause, osError, fileName);
}
