// Any bytes as a 'FIL' item and a file: the item is read, written back and read again to the
// same table, and the file's kind is recognised both from its bytes and from disk.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "media/print/file_kinds.h"
#include "media/print/picture_file_exchange.h"
#include "platform/fs/dospath.h"

namespace {

// The file the bytes are written to, removed when the run ends.
struct CFuzzFile {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("zelbo-kinds-fuzz-" + std::to_string(std::random_device()()) + ".bin");
    ~CFuzzFile() {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
};

const std::filesystem::path& FuzzFile() {
    static const CFuzzFile file;
    return file.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first two bytes say where the item ends and the file begins.
    const size_t split = std::min<size_t>(size - 2, static_cast<size_t>(data[0] | data[1] << 8));
    const std::span<const uint8_t> item(data + 2, split);
    const std::span<const uint8_t> file(data + 2 + split, size - 2 - split);

    const auto table = media::ParseFileKinds(item);
    if (!table) return 0;
    const auto again = media::ParseFileKinds(media::BuildFileKinds(*table));
    if (!again || again->filter != table->filter || again->kinds.size() != table->kinds.size()) std::abort();

    const int fromBytes = media::MatchFileKind(*table, file, file.size());
    if (fromBytes >= static_cast<int>(table->kinds.size())) std::abort();
    if (fromBytes >= 0) {
        const media::FileKind& kind = table->kinds[static_cast<size_t>(fromBytes)];
        if (kind.offset + kind.signature.size() > file.size()) std::abort();
    }
    std::ofstream(FuzzFile(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    const int fromDisk = IdentifyPictureFile(plat::HostToDosPath(FuzzFile()).c_str(), *table);
    if (fromDisk != fromBytes) std::abort();
    return 0;
}
