#include "platform/afx/file.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CFile, CObject)

namespace {

// The full DOS path of a name, or the name itself when it cannot be made full.
CString FullPath(LPCSTR name) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(name, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? CString(full) : CString(name);
}

// The system error of the failure just seen; never 0, so that a failure always throws.
LONG LastOsError() {
    const DWORD error = GetLastError();
    return error != 0 ? static_cast<LONG>(error) : static_cast<LONG>(ERROR_INVALID_PARAMETER);
}

[[noreturn]] void ThrowOsError(LONG osError, LPCSTR name) {
    CFileException::ThrowOsError(osError, name);
    AfxThrowFileException(CFileException::generic, osError, name);
}

}  // namespace

CFile::CFile(HANDLE file) : m_hFile(file) {}

CFile::CFile(LPCSTR fileName, UINT openFlags) {
    CFileException error;
    if (!Open(fileName, openFlags, &error)) {
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
    }
}

CFile::~CFile() {
    if (m_hFile != hFileNull && m_bCloseOnDelete) {
        Abort();
    }
}

BOOL CFile::Open(LPCSTR fileName, UINT openFlags, CFileException* error) {
    Abort();
    if (error) {
        error->m_cause = CFileException::none;
        error->m_lOsError = 0;
        error->m_strFileName = fileName;
    }
    DWORD access = 0;
    switch (openFlags & 0x3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    case modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default:
        if (error) {
            error->m_cause = CFileException::generic;
            error->m_lOsError = ERROR_INVALID_PARAMETER;
        }
        return FALSE;
    }
    DWORD share = 0;
    switch (openFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;  // shareCompat and shareExclusive
    }
    const DWORD disposition = (openFlags & modeCreate) ? ((openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS)
                                                       : OPEN_EXISTING;
    const HANDLE file = CreateFileA(fileName, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (error) {
            error->m_lOsError = LastOsError();
            error->m_cause = CFileException::OsErrorToException(error->m_lOsError);
        }
        return FALSE;
    }
    m_hFile = file;
    m_bCloseOnDelete = TRUE;
    m_strFileName = FullPath(fileName);
    return TRUE;
}

UINT CFile::Read(void* buffer, UINT count) {
    if (count == 0) {
        return 0;
    }
    DWORD read = 0;
    if (!ReadFile(m_hFile, buffer, count, &read, nullptr)) {
        ThrowLastError();
    }
    return read;
}

void CFile::Write(const void* buffer, UINT count) {
    if (count == 0) {
        return;
    }
    DWORD written = 0;
    if (!WriteFile(m_hFile, buffer, count, &written, nullptr)) {
        ThrowLastError();
    }
    if (written != count) {
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
    }
}

LONG CFile::Seek(LONG offset, UINT from) {
    SetLastError(ERROR_SUCCESS);
    const DWORD position = SetFilePointer(m_hFile, offset, nullptr, from);
    if (position == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) {
        ThrowLastError();
    }
    return static_cast<LONG>(position);
}

void CFile::SeekToBegin() {
    Seek(0, begin);
}

DWORD CFile::SeekToEnd() {
    return static_cast<DWORD>(Seek(0, end));
}

DWORD CFile::GetPosition() const {
    SetLastError(ERROR_SUCCESS);
    const DWORD position = SetFilePointer(m_hFile, 0, nullptr, current);
    if (position == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) {
        ThrowLastError();
    }
    return position;
}

DWORD CFile::GetLength() const {
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetFileSize(m_hFile, nullptr);
    if (length == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) {
        ThrowLastError();
    }
    return length;
}

void CFile::SetLength(DWORD newLength) {
    Seek(static_cast<LONG>(newLength), begin);
    if (!SetEndOfFile(m_hFile)) {
        ThrowLastError();
    }
}

void CFile::Flush() {
    if (m_hFile == hFileNull) {
        return;
    }
    if (!FlushFileBuffers(m_hFile)) {
        ThrowLastError();
    }
}

void CFile::Close() {
    if (m_hFile == hFileNull) {
        return;
    }
    const BOOL closed = CloseHandle(m_hFile);
    const LONG osError = closed ? 0 : LastOsError();
    const CString name = m_strFileName;
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
    if (!closed) {
        ThrowOsError(osError, name);
    }
}

void CFile::Abort() {
    if (m_hFile != hFileNull) {
        CloseHandle(m_hFile);
        m_hFile = hFileNull;
    }
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

CString CFile::GetFilePath() const {
    return m_strFileName;
}

CString CFile::GetFileName() const {
    const size_t last = m_strFileName.View().find_last_of("\\/:");
    return m_strFileName.Mid(last == std::string_view::npos ? 0 : static_cast<int>(last) + 1);
}

CString CFile::GetFileTitle() const {
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

void CFile::SetFilePath(LPCSTR newName) {
    m_strFileName = newName;
}

BOOL CFile::GetStatus(CFileStatus& status) const {
    status = CFileStatus();
    if (m_hFile == hFileNull) {
        return FALSE;
    }
    if (!GetFileTime(m_hFile, &status.m_ctime, &status.m_atime, &status.m_mtime)) {
        return FALSE;
    }
    status.m_size = static_cast<LONG>(GetFileSize(m_hFile, nullptr));
    const DWORD attributes = GetFileAttributesA(m_strFileName);
    status.m_attribute = attributes == INVALID_FILE_ATTRIBUTES
                             ? 0
                             : static_cast<BYTE>(attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    const size_t copied = std::min<size_t>(static_cast<size_t>(m_strFileName.GetLength()), MAX_PATH - 1);
    std::memcpy(status.m_szFullName, static_cast<LPCSTR>(m_strFileName), copied);
    return TRUE;
}

BOOL CFile::GetStatus(LPCSTR fileName, CFileStatus& status) {
    status = CFileStatus();
    if (!fileName || std::strpbrk(fileName, "*?")) {
        return FALSE;
    }
    if (GetFullPathNameA(fileName, MAX_PATH, status.m_szFullName, nullptr) >= MAX_PATH) {
        status.m_szFullName[0] = '\0';
        return FALSE;
    }
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA(fileName, &data);
    if (search == INVALID_HANDLE_VALUE) {
        return FALSE;
    }
    FindClose(search);
    status.m_ctime = data.ftCreationTime;
    status.m_atime = data.ftLastAccessTime;
    status.m_mtime = data.ftLastWriteTime;
    status.m_size = static_cast<LONG>(data.nFileSizeLow);
    status.m_attribute = static_cast<BYTE>(data.dwFileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    return TRUE;
}

void CFile::Rename(LPCSTR oldName, LPCSTR newName) {
    if (!MoveFileA(oldName, newName)) {
        ThrowOsError(LastOsError(), oldName);
    }
}

void CFile::Remove(LPCSTR fileName) {
    if (!DeleteFileA(fileName)) {
        ThrowOsError(LastOsError(), fileName);
    }
}

void CFile::ThrowLastError() const {
    ThrowOsError(LastOsError(), m_strFileName);
}
