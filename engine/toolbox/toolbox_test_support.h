// Test helpers of the toolbox: a resource host (module files built by CResWriter, as
// itemtest::CTestHost) that also answers picture items by module-relative id, the way the
// engine's host does, so the toolbox's picture and resource calls run without an engine.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "media/res/item_cache.h"
#include "media/res/res_items_test_support.h"
#include "media/res/sprite.h"

namespace toolboxtest {

// An 'IST' item: a u16 head (the number of strings), then each string and a zero byte.
inline std::vector<uint8_t> ListItem(std::initializer_list<std::string> strings) {
    std::vector<uint8_t> b{static_cast<uint8_t>(strings.size()), 0};
    for (const std::string& s : strings) {
        b.insert(b.end(), s.begin(), s.end());
        b.push_back(0);
    }
    return b;
}

class CPictureHost : public itemtest::CTestHost {
public:
    void GetPictureSize(int16_t id, int16_t& width, int16_t& height) override {
        CSprite* s = Loaded(id);
        width = s ? static_cast<int16_t>(s->Width()) : 0;
        height = s ? static_cast<int16_t>(s->Height()) : 0;
    }
    BYTE* LockPictureData(int16_t id) override {
        CSprite* s = Loaded(id);
        return s ? s->Bits() : nullptr;
    }
    uint16_t GetPictureAttr(int16_t id) override {
        CSprite* s = Loaded(id);
        return s ? static_cast<uint16_t>(s->Stride()) : 0xFFFF;
    }
    // New pictures take the highest free id of the module, going down from 999.
    int16_t NewBlankPicture(int16_t width, int16_t height) override {
        ++newPictures;
        for (int r = 999; r >= 0; --r) {
            const int32_t id = MapResourceId(static_cast<int16_t>(r));
            if (cache.Find(id)) continue;
            auto* s = new CSprite(id);
            if (!s->AllocBits(width, height)) {
                delete s;
                return -1;
            }
            cache.Insert(id, s);
            return static_cast<int16_t>(r);
        }
        return -1;
    }

    // A built picture of the module under id r (module-relative), its rows given top first.
    CSprite* AddPicture(int16_t r, int width, const std::vector<std::vector<uint8_t>>& rows) {
        auto* s = new CSprite(MapResourceId(r));
        if (!s->AllocBits(width, static_cast<int>(rows.size()))) {
            delete s;
            return nullptr;
        }
        for (size_t y = 0; y < rows.size(); ++y)
            for (size_t x = 0; x < rows[y].size() && x < static_cast<size_t>(width); ++x)
                s->Bits()[y * static_cast<size_t>(s->Stride()) + x] = rows[y][x];
        cache.Insert(MapResourceId(r), s);
        return s;
    }
    CSprite* Picture(int16_t r) { return Loaded(r); }

    int newPictures = 0;

private:
    CSprite* Loaded(int16_t r) { return GetResItem(MapResourceId(r), TRUE); }
};

}  // namespace toolboxtest
