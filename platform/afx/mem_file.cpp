#include "platform/afx/mem_file.h"

#include <algorithm>
#include <cstring>
#include <limits>

IMPLEMENT_DYNAMIC(CMemFile, CFile)

CMemFile::CMemFile(std::span<const uint8_t> bytes) : m_bytes(bytes.begin(), bytes.end()) {}

BOOL CMemFile::Open(LPCSTR fileName, UINT, CFileException* error) {
    if (error) {
        error->m_cause = CFileException::generic;
        error->m_lOsError = 0;
        error->m_strFileName = fileName;
    }
    return FALSE;
}

UINT CMemFile::Read(void* buffer, UINT count) {
    if (m_position >= m_bytes.size()) return 0;
    const size_t n = std::min<size_t>(count, m_bytes.size() - m_position);
    std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buffer, UINT count) {
    if (count == 0) return;
    const size_t end = m_position + count;
    if (end > std::numeric_limits<DWORD>::max()) AfxThrowFileException(CFileException::diskFull, -1);
    if (end > m_bytes.size()) m_bytes.resize(end);
    std::memcpy(m_bytes.data() + m_position, buffer, count);
    m_position = end;
}

LONG CMemFile::Seek(LONG offset, UINT from) {
    int64_t base = 0;
    if (from == current) base = static_cast<int64_t>(m_position);
    if (from == end) base = static_cast<int64_t>(m_bytes.size());
    const int64_t target = base + offset;
    if (target < 0 || target > std::numeric_limits<LONG>::max())
        AfxThrowFileException(CFileException::badSeek, -1);
    m_position = static_cast<size_t>(target);
    return static_cast<LONG>(target);
}

DWORD CMemFile::GetPosition() const { return static_cast<DWORD>(m_position); }

DWORD CMemFile::GetLength() const { return static_cast<DWORD>(m_bytes.size()); }

void CMemFile::SetLength(DWORD newLength) {
    m_bytes.resize(newLength);
    m_position = newLength;
}

void CMemFile::Close() {
    m_bytes.clear();
    m_position = 0;
}

void CMemFile::Abort() { Close(); }
