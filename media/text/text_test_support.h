// Test stand-in for the engine behind the text layer's two seams: the resource host's pictures
// by id (made from pixel rows or 'SPR' items), string lists and blank pictures, and the text
// host's display sprites. Ids are used as they are (the neutral id rule).
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "media/res/sprite.h"
#include "media/text/text_host.h"

namespace texttest {

struct Picture {
    int16_t width = 0;
    int16_t height = 0;
    int16_t stride = 0;
    std::vector<BYTE> bits;

    BYTE At(int x, int y) const { return bits[static_cast<size_t>(y) * stride + x]; }
};

struct Sprite {
    int16_t x = 0;
    int16_t y = 0;
    int16_t picture = 0;
    int shown = 0;  // pictures given to it
    int invalidated = 0;
};

class FakeTextHost : public ITextHost, public IResItemHost {
public:
    FakeTextHost() : m_savedText(SetTextHost(this)), m_savedRes(SetResItemHost(this)) {}
    ~FakeTextHost() override {
        SetTextHost(m_savedText);
        SetResItemHost(m_savedRes);
    }

    // Rows top first (short rows padded with 0); the stride is the width rounded up to 4.
    void AddPicture(int16_t id, const std::vector<std::vector<BYTE>>& rows) {
        Picture p;
        p.height = static_cast<int16_t>(rows.size());
        for (const auto& r : rows) p.width = std::max(p.width, static_cast<int16_t>(r.size()));
        p.stride = static_cast<int16_t>((p.width + 3) & ~3);
        p.bits.assign(static_cast<size_t>(p.stride) * p.height, 0);
        for (size_t y = 0; y < rows.size(); ++y)
            std::copy(rows[y].begin(), rows[y].end(), p.bits.begin() + y * p.stride);
        pictures[id] = std::move(p);
    }
    // An 'SPR' item's bytes; false when damaged.
    bool AddSpr(int16_t id, std::span<const uint8_t> item) {
        SprLayout l;
        if (!ParseSprItem(item, l)) return false;
        Picture p;
        p.width = static_cast<int16_t>(l.width);
        p.height = static_cast<int16_t>(l.height);
        p.stride = static_cast<int16_t>(l.stride);
        p.bits.assign(item.begin() + 12,
                      item.begin() + 12 + static_cast<std::ptrdiff_t>(l.height) * l.stride);
        pictures[id] = std::move(p);
        return true;
    }
    void AddList(int16_t id, std::vector<uint8_t> item) { lists[id] = std::move(item); }
    // A list of one string: u16 head 1, the characters, a zero.
    void AddCharacterList(int16_t id, const std::string& chars) {
        std::vector<uint8_t> item(chars.size() + 3, 0);
        item[0] = 1;
        std::copy(chars.begin(), chars.end(), item.begin() + 2);
        lists[id] = std::move(item);
    }

    Picture* Find(int16_t id) {
        auto it = pictures.find(id);
        return it == pictures.end() ? nullptr : &it->second;
    }

    void GetPictureSize(int16_t id, int16_t& w, int16_t& h) override {
        const Picture* p = Find(id);
        w = p ? p->width : 0;
        h = p ? p->height : 0;
    }
    BYTE* LockPictureData(int16_t id) override {
        Picture* p = Find(id);
        if (!p) return nullptr;
        ++locks;
        return p->bits.data();
    }
    void UnlockPictureData(BYTE*) override { --locks; }
    uint16_t GetPictureAttr(int16_t id) override {
        const Picture* p = Find(id);
        return p ? static_cast<uint16_t>(p->stride) : 0xFFFF;
    }
    int16_t NewBlankPicture(int16_t w, int16_t h) override {
        if (failBlankPictures || w <= 0 || h <= 0) return -1;
        const int16_t id = nextPicture--;
        AddPicture(id, std::vector<std::vector<BYTE>>(static_cast<size_t>(h),
                                                      std::vector<BYTE>(static_cast<size_t>(w), 0)));
        return id;
    }
    void PurgeResource(int16_t id) override { pictures.erase(id); }
    HostSprite CreateSprite(int16_t x, int16_t y, int16_t picture) override {
        sprites.push_back(std::make_unique<Sprite>(Sprite{x, y, picture, 0}));
        return HostSprite{sprites.back().get(), sprites.size()};
    }
    void ShowSpritePicture(const HostSprite& sprite, int16_t picture) override {
        if (!sprite.object) return;
        auto* s = static_cast<Sprite*>(sprite.object);
        s->picture = picture;
        ++s->shown;
    }
    void InvalidateSprite(const HostSprite& sprite) override {
        if (sprite.object) ++static_cast<Sprite*>(sprite.object)->invalidated;
    }
    void DisposeSprite(const HostSprite& sprite) override {
        std::erase_if(sprites, [&](const auto& s) { return s.get() == sprite.object; });
    }
    bool SpriteAlive(const HostSprite& sprite) override {
        return std::any_of(sprites.begin(), sprites.end(), [&](const auto& s) { return s.get() == sprite.object; });
    }
    bool CopyListString(char* dest, size_t capacity, int32_t id, int16_t n) override {
        auto it = lists.find(id);
        if (it == lists.end()) {
            if (capacity > 0) dest[0] = 0;
            return false;
        }
        return CopyListStringFromItem(it->second.data(), it->second.size(), n, dest, capacity);
    }

    // The picture a sprite shows, or null.
    Picture* Shown(void* sprite) {
        for (const auto& s : sprites)
            if (s.get() == sprite) return Find(s->picture);
        return nullptr;
    }

    std::map<int16_t, Picture> pictures;
    std::map<int32_t, std::vector<uint8_t>> lists;
    std::vector<std::unique_ptr<Sprite>> sprites;
    int16_t nextPicture = 999;
    bool failBlankPictures = false;
    int locks = 0;

private:
    ITextHost* m_savedText;
    IResItemHost* m_savedRes;
};

// A font strip of box glyphs in one glyph row: each glyph a cell of ink (40, none for the
// blank) `width` wide, one row above the baseline row and `descent` rows below it. The glyphs
// get ascent 1, height 2 + descent; separator 9, no cap colour.
struct BoxGlyph {
    char c;
    int width;
    int descent = 0;
};

inline void AddBoxStrip(FakeTextHost& host, int16_t id, const std::vector<BoxGlyph>& glyphs, BYTE ink = 40) {
    constexpr BYTE kSep = 9;
    int deepest = 0;
    for (const BoxGlyph& g : glyphs) deepest = std::max(deepest, g.descent);
    const int baselineRow = 4;
    const int bottomLine = baselineRow + 1 + deepest;
    std::vector<std::vector<BYTE>> rows(static_cast<size_t>(bottomLine + 1), std::vector<BYTE>{0});
    rows[baselineRow][0] = kSep;
    for (const BoxGlyph& g : glyphs) {
        const bool blank = g.c == ' ';
        for (int x = 0; x < g.width; ++x) {
            for (int y = 0; y <= bottomLine; ++y) {
                BYTE v = 0;
                if (y == 2 || y == bottomLine)
                    v = kSep;
                else if (!blank &&
                         (y == 3 || y == baselineRow || (y > baselineRow && y <= baselineRow + g.descent)))
                    v = ink;
                else if (x == g.width - 1 && y == baselineRow + 1 + g.descent)
                    v = kSep;  // ends the descent
                rows[static_cast<size_t>(y)].push_back(v);
            }
        }
        for (int y = 0; y <= bottomLine; ++y)
            rows[static_cast<size_t>(y)].push_back(y == 2 || y == bottomLine || y == baselineRow ? kSep : 0);
    }
    std::string chars;
    for (const BoxGlyph& g : glyphs) chars += g.c;
    host.AddPicture(id, rows);
    host.AddCharacterList(id, chars);
}

}  // namespace texttest
