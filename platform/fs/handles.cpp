#include "platform/fs/handles.h"

#include <mutex>
#include <optional>
#include <vector>

namespace plat {
namespace {

struct HandleTable {
    std::mutex mutex;
    std::vector<std::shared_ptr<CKernelObject>> slots;
    std::vector<size_t> free;
};

HandleTable& Table() {
    static HandleTable* table = new HandleTable;  // outlives static destructors that close handles
    return *table;
}

constexpr uintptr_t kStep = 4;

std::optional<size_t> SlotOf(HANDLE handle) {
    const auto v = reinterpret_cast<uintptr_t>(handle);
    if (v == 0 || v % kStep != 0) return std::nullopt;
    return v / kStep - 1;
}

}  // namespace

HANDLE AllocHandle(std::shared_ptr<CKernelObject> object) {
    auto& t = Table();
    std::lock_guard lock(t.mutex);
    size_t slot = 0;
    if (!t.free.empty()) {
        slot = t.free.back();
        t.free.pop_back();
        t.slots[slot] = std::move(object);
    } else {
        slot = t.slots.size();
        t.slots.push_back(std::move(object));
    }
    return reinterpret_cast<HANDLE>((slot + 1) * kStep);
}

std::shared_ptr<CKernelObject> LookupHandle(HANDLE handle) {
    auto& t = Table();
    const auto slot = SlotOf(handle);
    std::lock_guard lock(t.mutex);
    if (!slot || *slot >= t.slots.size()) return nullptr;
    return t.slots[*slot];
}

bool FreeHandle(HANDLE handle) {
    auto& t = Table();
    const auto slot = SlotOf(handle);
    std::shared_ptr<CKernelObject> dying;  // destroyed after the lock is released
    std::lock_guard lock(t.mutex);
    if (!slot || *slot >= t.slots.size() || !t.slots[*slot]) return false;
    dying = std::move(t.slots[*slot]);
    t.free.push_back(*slot);
    return true;
}

}  // namespace plat

BOOL CloseHandle(HANDLE handle) {
    if (!plat::FreeHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
