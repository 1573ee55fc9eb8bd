// Reads arbitrary bytes as a BMP file with CDIB::Read. A refused file must leave the picture
// as it was; an accepted one must be whole: every operation that walks the pixels runs over it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/afx/mem_file.h"
#include "setup/setwell/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemFile file(std::span<const uint8_t>(data, size));
    setup::CDIB picture;
    const setup::DibHeaderBlock before = picture.HeaderBlock();
    const std::vector<uint8_t> beforeBits = picture.Bits();
    if (!picture.Read(file)) {
        if (std::memcmp(&before, &picture.HeaderBlock(), sizeof before) != 0 || beforeBits != picture.Bits())
            std::abort();
        return 0;
    }
    if (picture.Bits().size() < static_cast<uint64_t>(picture.Stride()) * picture.Height() ||
        picture.NumColors() > 256)
        std::abort();
    setup::CDIB target;
    picture.CopyBlock(&target, 0, 0, 16, 16, 0, 0, 3);
    picture.CopyBlock(&picture, 1, 1, picture.Width() - 1, picture.Height() - 1, 0, 0, -1);
    CMemFile out;
    picture.Write(out);
    out.SeekToBegin();
    setup::CDIB again;
    if (!again.Read(out)) std::abort();
    return 0;
}
