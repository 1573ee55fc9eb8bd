#include "tools/mkres/spoken_numbers.h"

#include <cstddef>
#include <optional>
#include <set>

namespace mkres {

namespace {

constexpr int kHundred = 28;

Token Word(const std::string& text) {
    Token t;
    t.text = text;
    return t;
}

Token Text(const std::string& cp1252) {
    Token t;
    t.kind = Token::Kind::String;
    t.text = cp1252;  // shown in messages only
    t.cp1252 = cp1252;
    return t;
}

}  // namespace

const std::vector<std::string>& SpokenNumberWords() {
    static const std::vector<std::string> words = {
        "noll", "ett", "tv\xE5", "tre", "fyra", "fem", "sex", "sju", "\xE5tta", "nio",
        "tio", "elva", "tolv", "tretton", "fjorton", "femton", "sexton", "sjutton", "arton", "nitton",
        "tjugo", "trettio", "fyrtio", "femtio", "sextio", "sjuttio", "\xE5ttio", "nittio", "hundra",
    };
    return words;
}

std::vector<int> SpokenNumberChain(int n) {
    if (n == 0) return {0};
    std::vector<int> chain;
    const int hundreds = n / 100, rest = n % 100;
    if (hundreds > 1) chain.push_back(hundreds);
    if (hundreds > 0) chain.push_back(kHundred);
    if (rest >= 20) {
        chain.push_back(18 + rest / 10);  // tjugo is word 20
        if (rest % 10) chain.push_back(rest % 10);
    } else if (rest > 0) {
        chain.push_back(rest);
    }
    return chain;
}

int SpokenNumberFormOffset(int form) {
    static constexpr int kOffsets[8] = {0, -100, -600, -400, -150, 200, 100, 150};
    return form >= 1 && form <= 8 ? kOffsets[form - 1] : 0;
}

std::vector<ItemSource> SpokenNumberItems(const SourceLine& line, const std::optional<int>& module, Diagnostics& diag) {
    const auto& t = line.tokens;
    const auto fail = [&](const std::string& message) {
        diag.Error(line.where, message);
        return std::vector<ItemSource>{};
    };
    if (!module) return fail("spoken-numbers needs a module line before it");
    if (t.size() < 4 || t[2].kind != Token::Kind::Word || t[2].text != "forms")
        return fail("spoken-numbers takes BASE forms F ... (forms 1 to 8) [mouth REST P1 P2 P3]");
    const auto base = ParseNumber(t[1].text);
    if (t[1].kind != Token::Kind::Word || !base || *base < 1 || *base > 989)
        return fail("spoken-numbers: the base " + t[1].text + " is not a sound id from 1 to 989");
    const int words = static_cast<int>(SpokenNumberWords().size());
    // `mouth REST P1 P2 P3` at the end: every word clip gets its mouth's cue list.
    size_t end = t.size();
    std::optional<SourceLine> mouth;
    for (size_t i = 3; i < t.size(); ++i) {
        if (t[i].kind != Token::Kind::Word || t[i].text != "mouth") continue;
        if (t.size() - i != 5) return fail("spoken-numbers: mouth takes four picture ids (rest, then three open), last");
        mouth = SourceLine{line.where, std::vector<Token>(t.begin() + static_cast<std::ptrdiff_t>(i), t.end()), line.folder};
        end = i;
        break;
    }
    std::set<int> forms;
    for (size_t i = 3; i < end; ++i) {
        const auto f = t[i].kind == Token::Kind::Word ? ParseNumber(t[i].text) : std::nullopt;
        if (!f || *f < 1 || *f > 8) return fail("spoken-numbers: " + t[i].text + " is not a number form 1 to 8");
        if (!forms.insert(static_cast<int>(*f)).second) return fail("spoken-numbers: form " + t[i].text + " twice");
        const int first = static_cast<int>(*base) + SpokenNumberFormOffset(static_cast<int>(*f));
        if (first < 1 || first + words - 1 > 989)
            return fail("spoken-numbers: form " + t[i].text + "'s clips would be " + std::to_string(first) + " to " +
                        std::to_string(first + words - 1) + ", outside 1 to 989");
    }

    if (forms.empty()) return fail("spoken-numbers takes BASE forms F ... (forms 1 to 8) [mouth REST P1 P2 P3]");
    const int m = *module * 1000;
    std::vector<ItemSource> items;
    const auto item = [&](const std::string& type, int id, const std::string& encoder) -> ItemSource& {
        ItemSource& it = items.emplace_back();
        it.where = line.where;
        it.type = type;
        it.id = static_cast<uint16_t>(id);
        it.encoder = encoder;
        return it;
    };
    for (const int f : forms) {
        for (int w = 0; w < words; ++w) {
            ItemSource& clip = item("SND", m + static_cast<int>(*base) + SpokenNumberFormOffset(f) + w, "word");
            clip.body.push_back(SourceLine{line.where, {Text(SpokenNumberWords()[static_cast<size_t>(w)])}, line.folder});
            if (mouth) clip.body.push_back(*mouth);
        }
    }
    for (const char* type : {"IPB", "IPC"}) {
        if (std::string(type) == "IPC" && !forms.count(6)) continue;
        for (int n = 0; n <= 999; ++n) {
            SourceLine ids{line.where, {}, line.folder};
            for (const int w : SpokenNumberChain(n)) ids.tokens.push_back(Word(std::to_string(*base + w)));
            item(type, m + n, "numbers").body.push_back(std::move(ids));
        }
    }
    return items;
}

}  // namespace mkres
