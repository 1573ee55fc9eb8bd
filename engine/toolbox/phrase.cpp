#include "engine/toolbox/phrase.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <span>
#include <string>

#include "engine/core/cor_engine.h"
#include "engine/players/prefs_file.h"
#include "engine/toolbox/resource_copies.h"
#include "media/res/record_file.h"
#include "media/res/res_mgr.h"
#include "media/util/mono_debug.h"
#include "platform/afx/message_box.h"
#include "platform/core/byte_order.h"

namespace {

constexpr int kMaxCodes = 8;
constexpr uint16_t kExtraCode = 0xFF9D;   // -99
constexpr uint16_t kExtra2Code = 0xFF9E;  // -98
// The sound-id offset of each number form 1 to 8.
constexpr int16_t kFormOffset[8] = {0, -100, -600, -400, -150, 200, 100, 150};

// Up to 8 codes of a template or number table, as many as its size holds; a missing item has
// none and leaves a trace line.
struct Codes {
    uint16_t code[kMaxCodes] = {};
    int count = 0;
};

Codes ReadCodes(uint32_t type, int32_t id, const char* what) {
    Codes codes;
    uint32_t size = 0;
    uint8_t* copy = LoadResourceCopy(type, id, size);
    if (!copy) {
        const std::string line = std::string("phrase: no ") + what + " " + std::to_string(id) + "\n";
        MonoDebugWrite(line.c_str());
        return codes;
    }
    codes.count = static_cast<int>(std::min<uint32_t>(size / 2, kMaxCodes));
    const std::span<const uint8_t> bytes(copy, size);
    for (int i = 0; i < codes.count; ++i) codes.code[i] = plat::GetLe16(bytes, 2 * static_cast<size_t>(i));
    FreeResourceCopy(copy);
    return codes;
}

int16_t Build(uint16_t (&out)[kPhraseSize], int32_t templateId, const uint16_t (&args)[4], uint16_t extra,
              const uint16_t* extra2) {
    const Codes phrase = ReadCodes(kResIPA, templateId, "template");
    int n = 0;
    for (int i = 0; i < phrase.count && n < kPhraseMaxIds; ++i) {
        const uint16_t c = phrase.code[i];
        if (c == kExtraCode) {
            out[n++] = extra;
            continue;
        }
        if (c == kExtra2Code && extra2) {
            out[n++] = *extra2;
            continue;
        }
        if (c == 0) {
            out[n] = 0;
            if (!extra2) ++n;  // BuildPhrase counts the template's 0
            break;
        }
        if (c < 0x8000) {
            out[n++] = c;
            continue;
        }
        // A placeholder -(10 (form - 1) + argument).
        const int code = 0x10000 - c;
        const int form = (code - 1) / 10 + 1, arg = (code - 1) % 10 + 1;
        if (form > 8 || arg > 4) {
            const std::string line = "phrase: template " + std::to_string(templateId) + " has code " +
                                     std::to_string(-code) + "\n";
            MonoDebugWrite(line.c_str());
            continue;
        }
        const Codes table = ReadCodes(form == 6 ? kResIPC : kResIPB, args[arg - 1], "number table");
        for (int j = 0; j < table.count && n < kPhraseMaxIds; ++j) {
            if (table.code[j] == 0) break;
            out[n++] = static_cast<uint16_t>(table.code[j] + kFormOffset[form - 1]);
        }
    }
    out[n] = 0;
    return static_cast<int16_t>(n);
}

}  // namespace

int16_t BuildPhrase(uint16_t (&out)[kPhraseSize], int32_t templateId, uint16_t arg1, uint16_t arg2, uint16_t arg3,
                    uint16_t arg4, uint16_t extra) {
    return Build(out, templateId, {arg1, arg2, arg3, arg4}, extra, nullptr);
}

int16_t BuildPhraseEx(uint16_t (&out)[kPhraseSize], int32_t templateId, uint16_t arg1, uint16_t arg2, uint16_t arg3,
                      uint16_t arg4, uint16_t extra, uint16_t extra2) {
    return Build(out, templateId, {arg1, arg2, arg3, arg4}, extra, &extra2);
}

void FormatMessageLine(int16_t code, uint16_t detailList, uint16_t detailIndex, uint16_t placeList,
                       int32_t placeIndex) {
    if (code == 13) {
        detailList = 988;
        detailIndex = 1;
    }
    const auto listText = [](uint16_t list, int32_t index) {
        char text[256] = "";
        if (list != 0 && ResourceExists(kResIST, list))
            CopyListString(text, list, static_cast<int16_t>(std::clamp<int32_t>(index, 0, 32767)));
        return std::string(text);
    };
    char number[kDecimalTextSize];
    IntToDecimalText(code, number);
    const std::string line = ComposeErrorLine(number, listText(placeList, placeIndex), listText(detailList, detailIndex));
    AfxMessageBox(line.c_str(), MB_ABORTRETRYIGNORE, 0);
}

void IntToDecimalText(int32_t value, char* out) {
    // The magnitude in 64 bits, so -2147483648 has one too.
    int64_t magnitude = value;
    if (magnitude < 0) {
        *out++ = '-';
        magnitude = -magnitude;
    }
    int64_t power = 1;
    while (power * 10 <= magnitude) power *= 10;
    for (; power > 0; power /= 10) {
        *out++ = static_cast<char>('0' + magnitude / power);
        magnitude %= power;
    }
    *out = 0;
}

int32_t SquareInt(int32_t value) {
    const int64_t square = static_cast<int64_t>(value) * value;
    return static_cast<int32_t>(std::min<int64_t>(square, std::numeric_limits<int32_t>::max()));
}

int16_t NearestColorInList(COLORREF colour, const PALETTEENTRY* entries, int16_t first, int16_t number) {
    int32_t best = 0x0FFFFFFF;
    int16_t bestIndex = 0;
    for (int i = first; i < first + number; ++i) {
        const PALETTEENTRY& e = entries[i];
        const int32_t distance = SquareInt(GetRValue(colour) - e.peRed) + SquareInt(GetGValue(colour) - e.peGreen) +
                                 SquareInt(GetBValue(colour) - e.peBlue);
        if (distance == 0) return static_cast<int16_t>(i);
        if (distance < best) {
            best = distance;
            bestIndex = static_cast<int16_t>(i);
        }
    }
    return bestIndex;
}

void BuildColorRemap(const PALETTEENTRY* source, const PALETTEENTRY* palette, int16_t first, int16_t number,
                     uint8_t* table) {
    for (int i = 0; i < 256; ++i) {
        const PALETTEENTRY& s = source[i];
        table[i] = i >= first && i < first + number
                       ? static_cast<uint8_t>(NearestColorInList(RGB(s.peRed, s.peGreen, s.peBlue), palette, 1, 255))
                       : static_cast<uint8_t>(i);
    }
}

void CopyBytes(const void* source, void* destination, size_t n) {
    if (n) std::memmove(destination, source, n);
}

int GetPrefsRecordPath(char* buffer, size_t size) { return GetPrefsFolder(buffer, size); }

const char* GetEngineStateBlock() { return theEngine ? theEngine->m_resourceFolder.c_str() : ""; }
