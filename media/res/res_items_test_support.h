// Test helpers of the resource items: 'SPR' bytes, module resource files in memory and an
// engine stand-in behind the item host seam.
#pragma once

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "media/res/chunk_pool.h"
#include "media/res/item_cache.h"
#include "media/res/res_item_table.h"
#include "media/res/res_mgr.h"
#include "media/res/res_writer.h"
#include "media/res/sprite.h"
#include "platform/core/byte_order.h"

namespace itemtest {

using Bytes = std::vector<uint8_t>;

// An 'SPR' item: u32 width, u32 height, u32 pixel bytes, rows padded to 4 bytes. rows holds
// width bytes per row, top row first.
inline Bytes Spr(int width, const std::vector<Bytes>& rows, int extraBytes = 0) {
    const int stride = (width + 3) & ~3;
    Bytes b;
    plat::AppendLe32(b, static_cast<uint32_t>(width));
    plat::AppendLe32(b, static_cast<uint32_t>(rows.size()));
    plat::AppendLe32(b, static_cast<uint32_t>(stride * static_cast<int>(rows.size()) + extraBytes));
    for (const Bytes& row : rows) {
        Bytes padded = row;
        padded.resize(static_cast<size_t>(stride), 0);
        b.insert(b.end(), padded.begin(), padded.end());
    }
    b.insert(b.end(), static_cast<size_t>(extraBytes), 0xAB);
    return b;
}

// An 'HT#' table of {picture id, x, y} records.
inline Bytes Hotspots(const std::vector<std::array<int16_t, 3>>& records) {
    Bytes b;
    for (const auto& r : records)
        for (int16_t v : r) plat::AppendLe16(b, static_cast<uint16_t>(v));
    return b;
}

// The engine's part: an item cache, managers by module number and the id rule of module
// `module`, counting the sound service steps.
class CTestHost : public IResItemHost {
public:
    CTestHost() : m_saved(SetResItemHost(this)) { cache.Init(100); }
    ~CTestHost() override { SetResItemHost(m_saved); }

    // Opens a module's resource file made from the writer's items.
    bool OpenModule(int m, const media::CResWriter& writer) { return OpenModuleBytes(m, writer.Build()); }

    // Opens a module's resource file built on disk (a test's module made by the build).
    bool OpenModuleFile(int m, const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        return OpenModuleBytes(m, Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }

    bool OpenModuleBytes(int m, Bytes bytes) {
        auto files = std::make_shared<CResMemoryFiles>();
        files->Put("MOD.RES", std::move(bytes));
        managers[static_cast<size_t>(m)] = std::make_unique<CResMgr>();
        managers[static_cast<size_t>(m)]->SetFileSystem(files);
        return managers[static_cast<size_t>(m)]->Open("MOD.RES");
    }

    CResItemTable* ItemCache() override { return &cache; }
    CResMgr* ResourceManager(int m) override {
        return m >= 0 && m < 10 ? managers[static_cast<size_t>(m)].get() : nullptr;
    }
    int32_t MapResourceId(int16_t id) override {
        const int r = id % 1000;
        return r < 0 ? r - module * 1000 : r + module * 1000;
    }
    void ServiceSound() override { ++services; }

    // Declared before the managers so that the items go first (they point into the managers).
    std::array<std::unique_ptr<CResMgr>, 10> managers;
    CResItemTable cache;
    int module = 2;
    int services = 0;

private:
    IResItemHost* m_saved;
};

}  // namespace itemtest
