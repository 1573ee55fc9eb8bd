// Opens any bytes as a record file and reads every item: no crash, and a file that opens
// keeps every item through an addition, a removal and a compaction.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "media/res/record_file.h"
#include "media/res/res_item_host.h"
#include "platform/afx/message_box.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Contents = std::map<std::pair<uint32_t, uint16_t>, Bytes>;

constexpr uint32_t kFuzzType = plat::PackTypeCode("fuzz");

std::shared_ptr<Bytes> g_image;
uint8_t g_pixels[640 * 480];

void Check(bool ok) {
    if (!ok) std::abort();
}

// The file in memory, and one picture item (id 1) that every load goes into.
class FuzzHost : public IRecordFileHost, public IResItemHost {
public:
    std::unique_ptr<IRecordFileIo> MakeIo() override { return std::make_unique<CRecordFileMemoryIo>(g_image); }
    int16_t NewBlankPicture(int16_t w, int16_t h) override {
        m_width = w;
        m_height = h;
        return 1;
    }
    void GetPictureSize(int16_t, int16_t& w, int16_t& h) override {
        w = m_width;
        h = m_height;
    }
    uint16_t GetPictureAttr(int16_t) override { return static_cast<uint16_t>(m_width); }
    BYTE* LockPictureData(int16_t) override { return g_pixels; }
    std::string PlayerFolder() override { return "C:\\kids\\Kid001"; }

private:
    int16_t m_width = 0;
    int16_t m_height = 0;
};

void Install() {
    static FuzzHost host;
    SetRecordFileHost(&host);
    SetResItemHost(&host);
    plat::SetMessageBoxHook([](LPCSTR, UINT, UINT) { return IDIGNORE; });
}

Contents ReadAll(CRecordFile& file) {
    Contents all;
    for (const CRecordFile::Entry& e : file.Entries()) {
        Bytes bytes(e.size);
        Check(file.ReadItemInto(e.type, e.id, bytes.data(), e.size) == 0);
        all[{e.type, e.id}] = std::move(bytes);
    }
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool installed = (Install(), true);
    (void)installed;
    g_image = std::make_shared<Bytes>(data, data + size);

    Contents expected;
    bool opened = false;
    {
        CRecordFile file(2000);
        opened = file.IsOpen();
        if (!opened) return 0;
        expected = ReadAll(file);
        for (const CRecordFile::Entry& e : std::vector<CRecordFile::Entry>(file.Entries())) {
            HBLOCK block = file.GetItem(e.type, e.id);
            Check(block != nullptr && HandleTableSize(block) == e.size);
            if (e.type == kRecordTypeSprite) file.LoadSprite(e.id);
        }
        file.ReleaseAllItems();

        const Bytes added(size % 700, 0x5A);
        if (!file.HasItem(kFuzzType, 1)) {
            Check(file.AddRawItem(kFuzzType, 1, added.data(), static_cast<uint32_t>(added.size())) == 0);
            expected[{kFuzzType, 1}] = added;
        }
        if (!file.Entries().empty()) {
            const CRecordFile::Entry first = file.Entries().front();
            Check(file.RemoveItemRange(first.type, first.id, first.id) == 0);
            expected.erase({first.type, first.id});
        }
        Check(file.Compact() == 0);
        Check(file.GetHeader().dataEnd + file.GetHeader().dirSize == g_image->size());
    }
    CRecordFile again(2000);
    Check(again.IsOpen());
    Check(ReadAll(again) == expected);
    again.ReleaseAllItems();
    Check(HandleTableInUse() == 0);
    return 0;
}
