// CFile: the class library's binary file over the Windows file calls, on DOS paths.
// Failures throw CFileException (by pointer, see exceptions.h), except Open, which returns
// FALSE and fills the exception the caller passes. Read returns fewer bytes at the end of
// the file and does not throw.
#pragma once

#include "platform/afx/afx_string.h"
#include "platform/afx/exceptions.h"
#include "platform/afx/object.h"
#include "platform/fs/winfile.h"

// What CFile::GetStatus reports. Times are FILETIMEs (UTC), not the class library's CTime.
struct CFileStatus {
    FILETIME m_ctime;
    FILETIME m_mtime;
    FILETIME m_atime;
    LONG m_size = 0;
    BYTE m_attribute = 0;  // CFile::Attribute bits
    char m_szFullName[MAX_PATH] = {};
};

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,  // accepted and ignored: a CFile is always binary
        typeBinary = 0x8000,
    };
    enum Attribute : BYTE {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    static inline HANDLE const hFileNull = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

    CFile() = default;
    // Wraps an open handle; the CFile does not close it on destruction.
    explicit CFile(HANDLE file);
    // Opens or throws the CFileException of the failure.
    CFile(LPCSTR fileName, UINT openFlags);
    // Closes an open file, ignoring errors.
    ~CFile() override;

    // FALSE on failure, with the cause, the system error and the name in *error when given.
    // A file that is already open is closed first.
    virtual BOOL Open(LPCSTR fileName, UINT openFlags, CFileException* error = nullptr);
    // The number of bytes read: fewer than count at the end of the file.
    virtual UINT Read(void* buffer, UINT count);
    // Writes all bytes or throws; a short write is diskFull.
    virtual void Write(const void* buffer, UINT count);
    // The new position; a position before the start throws badSeek.
    virtual LONG Seek(LONG offset, UINT from);
    void SeekToBegin();
    DWORD SeekToEnd();
    virtual DWORD GetPosition() const;
    virtual DWORD GetLength() const;
    // Cuts or extends the file (with zeros); the position moves to the new length.
    virtual void SetLength(DWORD newLength);
    virtual void Flush();
    virtual void Close();
    // Closes without reporting errors; does nothing when closed.
    virtual void Abort();

    // The full DOS path given at Open, its last component, and that without its extension.
    virtual CString GetFilePath() const;
    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual void SetFilePath(LPCSTR newName);

    BOOL GetStatus(CFileStatus& status) const;
    // FALSE when the file does not exist (or the name holds wildcards).
    static BOOL GetStatus(LPCSTR fileName, CFileStatus& status);
    static void Rename(LPCSTR oldName, LPCSTR newName);
    static void Remove(LPCSTR fileName);

    HANDLE m_hFile = hFileNull;

protected:
    BOOL m_bCloseOnDelete = FALSE;
    CString m_strFileName;

private:
    [[noreturn]] void ThrowLastError() const;
};
