#include "media/sound/snd_format.h"

#include "platform/core/byte_order.h"

bool ParseSndCompressedHeader(std::span<const uint8_t> head, SndCompressedHeader& header) {
    if (head.size() < kSndCompressedHeaderSize) return false;
    header.blocks = plat::GetLe16(head, 0);
    header.total = plat::GetLe32(head, 2);
    header.largest = plat::GetLe16(head, 6);
    header.unused = plat::GetLe16(head, 8);
    return header.blocks >= 1 && header.blocks <= kSndMaxBlocks && header.total >= 1 &&
           header.largest <= kSoundBlockSize;
}

SndBlockHeader ParseSndBlockHeader(std::span<const uint8_t, kSndBlockHeaderSize> bytes) {
    SndBlockHeader h;
    h.offset = plat::GetLe32(bytes, 0);
    h.codedLength = plat::GetLe16(bytes, 4);
    h.decodedLength = plat::GetLe16(bytes, 6);
    return h;
}

SndForm ClassifySnd(std::span<const uint8_t> head, uint32_t size) {
    if (size >= 4 && head.size() >= 4 && plat::GetLe16(head, 0) == kSndFileRefTag && plat::GetLe16(head, 2) == 0)
        return SndForm::FileReference;
    SndCompressedHeader h;
    if (size >= kSndCompressedHeaderSize && ParseSndCompressedHeader(head, h)) return SndForm::Compressed;
    return SndForm::Plain;
}

bool IsSafeSndFileName(std::string_view name) {
    if (name.empty() || name.size() > kSndMaxFileName) return false;
    if (name.find_first_not_of('.') == std::string_view::npos) return false;  // ".", "..", "..."
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) return false;
        switch (c) {
            case '\\':
            case '/':
            case ':':
            case '*':
            case '?':
            case '"':
            case '<':
            case '>':
            case '|':
                return false;
            default:
                break;
        }
    }
    return true;
}
