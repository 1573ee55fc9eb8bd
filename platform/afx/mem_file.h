// CMemFile: the class library's file held in memory, for code that reads and writes through a
// CFile without a file on disk (pictures built in tests, inputs handed to a fuzzer).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/afx/file.h"

class CMemFile : public CFile {
    DECLARE_DYNAMIC(CMemFile)
public:
    // An empty file that grows as it is written.
    CMemFile() = default;
    // A file holding a copy of these bytes, positioned at its start.
    explicit CMemFile(std::span<const uint8_t> bytes);
    ~CMemFile() override = default;

    // Not offered: a memory file has no name. Returns FALSE with the cause `generic`.
    BOOL Open(LPCSTR fileName, UINT openFlags, CFileException* error = nullptr) override;
    UINT Read(void* buffer, UINT count) override;
    // Writes at the position, growing the file; writing past the end fills the gap with zeros.
    void Write(const void* buffer, UINT count) override;
    // A position before the start throws badSeek; past the end is allowed (a later write fills).
    LONG Seek(LONG offset, UINT from) override;
    DWORD GetPosition() const override;
    DWORD GetLength() const override;
    void SetLength(DWORD newLength) override;
    void Flush() override {}
    void Close() override;
    void Abort() override;

    // The file's bytes as they stand.
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
    size_t m_position = 0;
};
