// Test helpers: a resource file made by the writer, held in memory behind a file system that
// counts every operation and can fail the next reads or opens on purpose.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "media/res/res_file.h"
#include "media/res/res_mgr.h"
#include "media/res/res_writer.h"

namespace restest {

using Bytes = std::vector<uint8_t>;

inline Bytes Pattern(size_t n, uint8_t seed) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
    return b;
}

struct FileCounters {
    int opens = 0;
    int reads = 0;
    int seeks = 0;
    int sizes = 0;
    int closes = 0;
    int failOpens = 0;  // the next this many opens fail
    int failReads = 0;  // the next this many reads fail
    int total() const { return opens + reads + seeks + sizes + closes; }
};

class CCountingFiles : public IResFileSystem {
public:
    CCountingFiles() : m_counters(std::make_shared<FileCounters>()) {}
    void Put(const std::string& path, Bytes bytes) { m_memory.Put(path, std::move(bytes)); }
    FileCounters& Counters() { return *m_counters; }

    std::unique_ptr<IResFile> Open(LPCSTR path) override {
        ++m_counters->opens;
        if (m_counters->failOpens > 0) {
            --m_counters->failOpens;
            return nullptr;
        }
        auto inner = m_memory.Open(path);
        if (!inner) return nullptr;
        return std::make_unique<File>(std::move(inner), m_counters);
    }

private:
    class File : public IResFile {
    public:
        File(std::unique_ptr<IResFile> inner, std::shared_ptr<FileCounters> counters)
            : m_inner(std::move(inner)), m_counters(std::move(counters)) {}
        bool Read(void* dest, uint32_t n) override {
            ++m_counters->reads;
            if (m_counters->failReads > 0) {
                --m_counters->failReads;
                return false;
            }
            return m_inner->Read(dest, n);
        }
        bool Seek(uint32_t offset) override {
            ++m_counters->seeks;
            return m_inner->Seek(offset);
        }
        bool Size(uint32_t& size) override {
            ++m_counters->sizes;
            return m_inner->Size(size);
        }
        bool Close() override {
            ++m_counters->closes;
            return m_inner->Close();
        }

    private:
        std::unique_ptr<IResFile> m_inner;
        std::shared_ptr<FileCounters> m_counters;
    };

    CResMemoryFiles m_memory;
    std::shared_ptr<FileCounters> m_counters;
};

// A fresh folder under the system's temporary folder, removed with the object.
class CTempFolder {
public:
    CTempFolder() {
        std::random_device random;
        for (;;) {
            m_path = std::filesystem::temp_directory_path() / ("zelbo-res-" + std::to_string(random()));
            if (std::filesystem::create_directory(m_path)) break;
        }
    }
    ~CTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Reads the whole item from its start.
inline Bytes ReadWhole(CResMgr& mgr, ResDirEntry* e) {
    if (!e) return {};
    Bytes out(e->size);
    e->readPos = 0;
    if (!mgr.LoadItem(out.data(), e, e->size)) return {};
    return out;
}

}  // namespace restest
