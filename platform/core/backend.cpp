#include "platform/core/backend.h"

#include <cstdio>
#include <cstdlib>

namespace plat {
namespace {
std::unique_ptr<IBackend>& Slot() {
    static std::unique_ptr<IBackend> backend;
    return backend;
}
}  // namespace

IBackend& Backend() {
    auto& b = Slot();
    if (!b) {
        std::fprintf(stderr, "platform: no back end installed (call plat::InitPlatform first)\n");
        std::abort();
    }
    return *b;
}

bool HasBackend() { return Slot() != nullptr; }

void SetBackend(std::unique_ptr<IBackend> backend) { Slot() = std::move(backend); }

}  // namespace plat
