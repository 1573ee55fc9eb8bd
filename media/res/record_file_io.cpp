#include "media/res/record_file_io.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/afx/file.h"

namespace {

// CFile seeks with a signed 32-bit offset.
constexpr uint64_t kLargestOffset = std::numeric_limits<int32_t>::max();

class CRecordFileDiskIo : public IRecordFileIo {
public:
    int Open(const std::string& path) override {
        // Created apart first so that the file exists before the class library opens it.
        HANDLE created = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_ALWAYS, FILE_FLAG_WRITE_THROUGH | FILE_FLAG_RANDOM_ACCESS, nullptr);
        if (created == INVALID_HANDLE_VALUE) {
            return CFileException::OsErrorToException(static_cast<LONG>(GetLastError()));
        }
        CloseHandle(created);
        CFileException error;
        if (!m_file.Open(path.c_str(), CFile::modeReadWrite | CFile::shareDenyNone, &error)) {
            return error.m_cause != CFileException::none ? error.m_cause : CFileException::generic;
        }
        return 0;
    }

    int GetLength(uint32_t& length) override {
        return Guard([&] { length = m_file.GetLength(); });
    }

    int ReadAt(uint32_t offset, void* buffer, uint32_t count, uint32_t& read) override {
        read = 0;
        if (offset > kLargestOffset) return CFileException::badSeek;
        return Guard([&] {
            m_file.Seek(static_cast<LONG>(offset), CFile::begin);
            read = m_file.Read(buffer, count);
        });
    }

    int WriteAt(uint32_t offset, const void* bytes, uint32_t count) override {
        if (uint64_t{offset} + count > kLargestOffset) return CFileException::badSeek;
        return Guard([&] {
            m_file.Seek(static_cast<LONG>(offset), CFile::begin);
            m_file.Write(bytes, count);
        });
    }

    int SetLength(uint32_t length) override {
        if (length > kLargestOffset) return CFileException::badSeek;
        return Guard([&] { m_file.SetLength(length); });
    }

    int Flush() override {
        return Guard([&] { m_file.Flush(); });
    }

    int Close() override {
        return Guard([&] { m_file.Close(); });
    }

    int SetAside(const std::string& path, std::string& asideName) override {
        if (const int code = Close()) return code;
        const int cause = MoveFileAside(path, asideName);
        // Moved: a new file is opened in its place; else the file is opened again as it was.
        const int reopened = Open(path);
        return reopened ? reopened : cause;
    }

private:
    template <class F>
    static int Guard(F&& operation) {
        try {
            operation();
            return 0;
        } catch (CFileException* e) {
            const int cause = e->m_cause != CFileException::none ? e->m_cause : CFileException::generic;
            e->Delete();
            return cause;
        } catch (CException* e) {
            e->Delete();
            return CFileException::generic;
        }
    }

    CFile m_file;
};

}  // namespace

std::unique_ptr<IRecordFileIo> MakeRecordFileDiskIo() { return std::make_unique<CRecordFileDiskIo>(); }

int IRecordFileIo::SetAside(const std::string&, std::string&) { return CFileException::accessDenied; }

std::string RecordFileAsideName(const std::string& path, int n) {
    const size_t separator = path.find_last_of("\\/:");
    const size_t dot = path.find('.', separator == std::string::npos ? 0 : separator + 1);
    char extension[16];
    std::snprintf(extension, sizeof extension, ".%03d", n);
    return path.substr(0, dot == std::string::npos ? path.size() : dot) + extension;
}

int MoveFileAside(const std::string& path, std::string& asideName) {
    for (int n = 1; n <= kMaxAsideNames; ++n) {
        const std::string candidate = RecordFileAsideName(path, n);
        if (MoveFileA(path.c_str(), candidate.c_str())) {
            asideName = candidate;
            return 0;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            const int cause = CFileException::OsErrorToException(static_cast<LONG>(error));
            return cause != CFileException::none ? cause : CFileException::generic;
        }
    }
    return CFileException::generic;
}

int CRecordFileMemoryIo::GetLength(uint32_t& length) {
    length = static_cast<uint32_t>(m_image->size());
    return 0;
}

int CRecordFileMemoryIo::ReadAt(uint32_t offset, void* buffer, uint32_t count, uint32_t& read) {
    read = 0;
    if (offset >= m_image->size()) return 0;
    read = static_cast<uint32_t>(std::min<uint64_t>(count, m_image->size() - offset));
    std::memcpy(buffer, m_image->data() + offset, read);
    return 0;
}

int CRecordFileMemoryIo::WriteAt(uint32_t offset, const void* bytes, uint32_t count) {
    if (uint64_t{offset} + count > kLargestOffset) return CFileException::badSeek;
    if (offset + count > m_image->size()) m_image->resize(offset + count);
    if (count != 0) std::memcpy(m_image->data() + offset, bytes, count);
    return 0;
}

int CRecordFileMemoryIo::SetLength(uint32_t length) {
    if (length > kLargestOffset) return CFileException::badSeek;
    m_image->resize(length);
    return 0;
}
