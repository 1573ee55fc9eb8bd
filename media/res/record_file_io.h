// The file operations of a record file, behind an interface so that tests and the fuzzer can
// run a record file in memory and fail any write, flush or truncation on purpose.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Every operation returns 0 or a cause of the class library's file exceptions
// (CFileException::diskFull, hardIO, ...).
class IRecordFileIo {
public:
    virtual ~IRecordFileIo() = default;
    // Creates the file when missing and opens it for reading and writing, sharing allowed.
    virtual int Open(const std::string& path) = 0;
    virtual int GetLength(uint32_t& length) = 0;
    // Reads up to count bytes at offset; `read` tells how many came (fewer at the end).
    virtual int ReadAt(uint32_t offset, void* buffer, uint32_t count, uint32_t& read) = 0;
    // Writes every byte at offset, extending the file when needed.
    virtual int WriteAt(uint32_t offset, const void* bytes, uint32_t count) = 0;
    virtual int SetLength(uint32_t length) = 0;
    // Makes every earlier write durable before any later one.
    virtual int Flush() = 0;
    virtual int Close() = 0;
    // Moves the open file's content, untouched, to a new file beside it (RecordFileAsideName
    // 1, 2, ... : the first name not in use; an existing file is never replaced) and leaves an
    // empty file open at `path`. On failure the file stays where it was. Not every kind of
    // file can; the default refuses.
    virtual int SetAside(const std::string& path, std::string& asideName);
};

// The n-th name (1..999) for a set-aside file: the file's name with the extension n in three
// digits ("Mod2000.rsc" -> "Mod2000.001"), in the same folder.
std::string RecordFileAsideName(const std::string& path, int n);
inline constexpr int kMaxAsideNames = 999;

// Keeps a damaged file (closed) whole under the first of the names RecordFileAsideName 1, 2,
// ... not in use, beside it; an existing file is never replaced, so every earlier damaged file
// stays. 0 and the new name, or a cause of the class library's file exceptions with the file
// left where it was.
int MoveFileAside(const std::string& path, std::string& asideName);

// A file on a DOS path, through the class library's CFile.
std::unique_ptr<IRecordFileIo> MakeRecordFileDiskIo();

// A file held in memory: the bytes live in `image`, shared with whoever made it.
class CRecordFileMemoryIo : public IRecordFileIo {
public:
    explicit CRecordFileMemoryIo(std::shared_ptr<std::vector<uint8_t>> image) : m_image(std::move(image)) {}
    int Open(const std::string&) override { return 0; }
    int GetLength(uint32_t& length) override;
    int ReadAt(uint32_t offset, void* buffer, uint32_t count, uint32_t& read) override;
    int WriteAt(uint32_t offset, const void* bytes, uint32_t count) override;
    int SetLength(uint32_t length) override;
    int Flush() override { return 0; }
    int Close() override { return 0; }

private:
    std::shared_ptr<std::vector<uint8_t>> m_image;
};
