#include "media/res/res_file.h"

#include <cstring>

#include "platform/fs/winfile.h"

namespace {

class CDiskResFile : public IResFile {
public:
    explicit CDiskResFile(HANDLE file) : m_file(file) {}
    ~CDiskResFile() override {
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
    }
    bool Read(void* dest, uint32_t n) override {
        DWORD got = 0;
        return ReadFile(m_file, dest, n, &got, nullptr) && got == n;
    }
    bool Seek(uint32_t offset) override {
        LONG high = 0;
        const DWORD low = SetFilePointer(m_file, static_cast<LONG>(offset), &high, FILE_BEGIN);
        return low == offset && high == 0;
    }
    bool Size(uint32_t& size) override {
        DWORD high = 0;
        const DWORD low = GetFileSize(m_file, &high);
        if (low == INVALID_FILE_SIZE || high != 0) return false;  // a file of 4 GB or more is refused too
        size = low;
        return true;
    }
    bool Close() override {
        const HANDLE file = m_file;
        m_file = INVALID_HANDLE_VALUE;
        return CloseHandle(file) != FALSE;
    }

private:
    HANDLE m_file;
};

class CDiskResFiles : public IResFileSystem {
public:
    std::unique_ptr<IResFile> Open(LPCSTR path) override {
        const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<CDiskResFile>(file);
    }
};

class CMemoryResFile : public IResFile {
public:
    explicit CMemoryResFile(std::shared_ptr<const std::vector<uint8_t>> bytes) : m_bytes(std::move(bytes)) {}
    bool Read(void* dest, uint32_t n) override {
        if (m_pos > m_bytes->size() || m_bytes->size() - m_pos < n) return false;
        if (n) std::memcpy(dest, m_bytes->data() + m_pos, n);
        m_pos += n;
        return true;
    }
    bool Seek(uint32_t offset) override {
        m_pos = offset;  // past the end is allowed, as on disk; reads there fail
        return true;
    }
    bool Size(uint32_t& size) override {
        if (m_bytes->size() > 0xFFFFFFFFu) return false;
        size = static_cast<uint32_t>(m_bytes->size());
        return true;
    }
    bool Close() override { return true; }

private:
    std::shared_ptr<const std::vector<uint8_t>> m_bytes;
    size_t m_pos = 0;
};

}  // namespace

std::shared_ptr<IResFileSystem> DiskResFiles() {
    static const std::shared_ptr<IResFileSystem> files = std::make_shared<CDiskResFiles>();
    return files;
}

std::unique_ptr<IResFile> CResMemoryFiles::Open(LPCSTR path) {
    const auto it = m_files.find(path ? path : "");
    if (it == m_files.end()) return nullptr;
    return std::make_unique<CMemoryResFile>(it->second);
}
