// The file operations of a module resource file, one attempt each: the resource manager
// wraps every call in the read-error prompt's retry rule. Behind an interface so that tests
// can fail any operation on purpose and the fuzzer can read from memory.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/wintypes.h"

class IResFile {
public:
    virtual ~IResFile() = default;
    // True when all n bytes were read at the current position (which then advances by n).
    virtual bool Read(void* dest, uint32_t n) = 0;
    virtual bool Seek(uint32_t offset) = 0;
    // The file's length; false when it cannot be told or does not fit 32 bits.
    virtual bool Size(uint32_t& size) = 0;
    // Closes the file; the object is not used again whatever the result.
    virtual bool Close() = 0;
};

class IResFileSystem {
public:
    virtual ~IResFileSystem() = default;
    // Opens a file for reading by its DOS path; null when it cannot be opened.
    virtual std::unique_ptr<IResFile> Open(LPCSTR path) = 0;
};

// Files on the DOS drives (platform/fs), opened for reading with others allowed to read.
std::shared_ptr<IResFileSystem> DiskResFiles();

// Files held in memory by name (exact match).
class CResMemoryFiles : public IResFileSystem {
public:
    void Put(const std::string& path, std::vector<uint8_t> bytes) {
        m_files[path] = std::make_shared<std::vector<uint8_t>>(std::move(bytes));
    }
    std::unique_ptr<IResFile> Open(LPCSTR path) override;

private:
    std::map<std::string, std::shared_ptr<const std::vector<uint8_t>>> m_files;
};
