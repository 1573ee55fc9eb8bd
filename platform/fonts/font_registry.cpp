#include "platform/fonts/font_registry.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "platform/fonts/font_raster.h"

namespace plat {

namespace {

constexpr DWORD kErrorBadFormat = 11;  // ERROR_BAD_FORMAT

uint8_t Fold(uint8_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<uint8_t>(c + 0x20);
    return c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(static_cast<uint8_t>(a[i])) != Fold(static_cast<uint8_t>(b[i]))) return false;
    return true;
}

// The same file named two ways (relative, with "..") is one font resource.
std::string FileKey(const std::string& hostPath) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::weakly_canonical(std::filesystem::path(hostPath), ec);
    return ec ? hostPath : p.string();
}

enum Simulation { kNone = 0, kBold = 1, kItalic = 2 };

std::shared_ptr<const BitmapFace> Simulate(const BitmapFace& face, int sim) {
    BitmapFace out = face;
    if (sim & kBold) out = SynthesizeBold(out);
    if (sim & kItalic) out = SynthesizeItalic(out);
    return std::make_shared<const BitmapFace>(std::move(out));
}

}  // namespace

struct FontRegistry::Entry {
    std::shared_ptr<const BitmapFace> face;  // null for an outline face
    ScalableFace scalable;
    std::shared_ptr<const BitmapFace> simulated[4];          // by Simulation bits
    std::map<int, std::shared_ptr<const BitmapFace>> sized;  // outline faces: by height and simulation

    const std::string& Name() const { return face ? face->faceName : scalable.faceName; }
    int Weight() const { return face ? face->weight : scalable.weight; }
    bool Italic() const { return face ? face->italic : scalable.italic; }
};

struct FontRegistry::File {
    std::string key;
    int refs = 1;
    std::vector<Entry> entries;
};

int FontRegistry::Add(const std::string& hostPath, std::string* error) {
    const std::string key = FileKey(hostPath);
    std::lock_guard lock(m_mutex);
    for (const auto& f : m_files) {
        if (f->key == key) {
            ++f->refs;
            return static_cast<int>(f->entries.size());
        }
    }
    FontFileContents contents = ReadFontFile(hostPath);
    if (contents.Empty()) {
        if (error) *error = contents.error;
        return 0;
    }
    auto file = std::make_shared<File>();
    file->key = key;
    for (BitmapFace& face : contents.bitmapFaces) {
        Entry e;
        e.face = std::make_shared<const BitmapFace>(std::move(face));
        file->entries.push_back(std::move(e));
    }
    for (ScalableFace& s : contents.scalableFaces) {
        Entry e;
        e.scalable = std::move(s);
        file->entries.push_back(std::move(e));
    }
    m_files.push_back(file);
    return static_cast<int>(file->entries.size());
}

bool FontRegistry::Remove(const std::string& hostPath) {
    const std::string key = FileKey(hostPath);
    std::lock_guard lock(m_mutex);
    for (auto it = m_files.begin(); it != m_files.end(); ++it) {
        if ((*it)->key != key) continue;
        if (--(*it)->refs == 0) m_files.erase(it);
        return true;
    }
    return false;
}

std::shared_ptr<const BitmapFace> FontRegistry::Choose(const FaceRequest& asked) {
    // Out-of-range numbers are taken as the nearest sensible ones, so no sum below overflows.
    FaceRequest request = asked;
    request.height = std::clamp(request.height, -1000, 1000);
    request.width = std::clamp(request.width, 0, 1000);
    request.weight = std::clamp(request.weight, 0, 1000);
    std::lock_guard lock(m_mutex);
    return ChooseLocked(request);
}

std::shared_ptr<const BitmapFace> FontRegistry::ChooseLocked(const FaceRequest& request) {
    LoadSystemFontsLocked();
    auto gather = [&](std::string_view name) {
        std::vector<Entry*> found;
        auto scan = [&](File& file) {
            for (Entry& e : file.entries)
                if (SameName(e.Name(), name)) found.push_back(&e);
        };
        for (const auto& f : m_files) scan(*f);
        if (m_system) scan(*m_system);
        return found;
    };
    std::vector<Entry*> candidates;
    if (!request.faceName.empty()) candidates = gather(request.faceName);
    if (candidates.empty()) candidates = gather(kDialogFaceName);
    if (candidates.empty()) {
        if (!m_boxFace) m_boxFace = std::make_shared<const BitmapFace>(MakeBoxFace());
        return m_boxFace;
    }

    const int weight = request.weight > 0 ? request.weight : 400;
    const bool wantBold = weight >= 600;
    auto simulationFor = [&](const Entry& e) {
        int sim = kNone;
        if (wantBold && e.Weight() < 600) sim |= kBold;
        if (request.italic && !e.Italic()) sim |= kItalic;
        return sim;
    };
    // Penalties after the published weights of the Windows font mapper: a bigger raster
    // face costs more than a smaller one; weight, slant and width break the remaining ties.
    auto stylePenalty = [&](const Entry& e, int sim) {
        const int resultWeight = (sim & kBold) ? 700 : e.Weight();
        int p = 3 * std::abs(resultWeight - weight) / 10 + ((sim & kBold) ? 1 : 0);
        if (sim & kItalic) p += 1;
        if (!request.italic && e.Italic()) p += 4;
        return p;
    };

    Entry* best = nullptr;
    long bestPenalty = 0;
    int minHeight = 0;
    for (Entry* e : candidates)
        if (e->face && (minHeight == 0 || e->face->height < minHeight)) minHeight = e->face->height;
    for (Entry* e : candidates) {
        if (!e->face) continue;
        const BitmapFace& f = *e->face;
        int have = f.height;
        int want = request.height;
        if (request.height < 0) {
            have = f.height - f.internalLeading;
            want = -request.height;
        } else if (request.height == 0) {
            want = minHeight;
        }
        const long d = have - want;
        long p = d > 0 ? 600 + 150 * d : -150 * d;
        p += stylePenalty(*e, simulationFor(*e));
        if (request.width > 0) p += 50L * std::abs(f.avgWidth - request.width);
        if (!best || p < bestPenalty) {
            best = e;
            bestPenalty = p;
        }
    }
    if (best) {
        const int sim = simulationFor(*best);
        if (sim == kNone) return best->face;
        if (!best->simulated[sim]) best->simulated[sim] = Simulate(*best->face, sim);
        return best->simulated[sim];
    }

    // Only outline faces carry the name: draw the closest style at the asked height.
    for (Entry* e : candidates) {
        const long p = stylePenalty(*e, simulationFor(*e));
        if (!best || p < bestPenalty) {
            best = e;
            bestPenalty = p;
        }
    }
    const int sim = simulationFor(*best);
    const int height = request.height;
    const int key = height * 4 + sim;
    auto it = best->sized.find(key);
    if (it != best->sized.end()) return it->second;
    std::string error;
    std::optional<BitmapFace> face = RasterizeScalable(best->scalable, height, &error);
    if (!face) {
        if (!m_boxFace) m_boxFace = std::make_shared<const BitmapFace>(MakeBoxFace());
        return m_boxFace;
    }
    auto made = sim == kNone ? std::make_shared<const BitmapFace>(std::move(*face)) : Simulate(*face, sim);
    best->sized.emplace(key, made);
    return made;
}

std::vector<std::string> FontRegistry::FaceNames() {
    std::lock_guard lock(m_mutex);
    LoadSystemFontsLocked();
    std::vector<std::string> names;
    auto add = [&](const File& file) {
        for (const Entry& e : file.entries) {
            const bool known =
                std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, e.Name()); });
            if (!known) names.push_back(e.Name());
        }
    };
    for (const auto& f : m_files) add(*f);
    if (m_system) add(*m_system);
    return names;
}

void FontRegistry::SetSystemFontFolder(std::string folder) {
    std::lock_guard lock(m_mutex);
    m_systemFolder = std::move(folder);
    m_system.reset();
    m_systemLoaded = false;
    m_systemError.clear();
}

std::string FontRegistry::SystemFontFolder() const {
    std::lock_guard lock(m_mutex);
    return SystemFontFolderLocked();
}

std::string FontRegistry::SystemFontFolderLocked() const {
    if (!m_systemFolder.empty()) return m_systemFolder;
    if (const char* env = std::getenv("ZELBO_FONT_DIR"); env && *env) return env;
#ifdef ZELBO_DEFAULT_FONT_DIR
    return ZELBO_DEFAULT_FONT_DIR;
#else
    return "fonts";
#endif
}

std::string FontRegistry::SystemFontError() {
    std::lock_guard lock(m_mutex);
    LoadSystemFontsLocked();
    return m_systemError;
}

void FontRegistry::Clear() {
    std::lock_guard lock(m_mutex);
    m_files.clear();
    m_system.reset();
    m_systemLoaded = false;
    m_systemError.clear();
    m_systemFolder.clear();
}

void FontRegistry::LoadSystemFontsLocked() {
    if (m_systemLoaded) return;
    m_systemLoaded = true;
    FontFileContents contents =
        ReadFontFile((std::filesystem::path(SystemFontFolderLocked()) / kDialogFontFile).string());
    if (contents.Empty()) {
        m_systemError = contents.error;
        return;
    }
    auto file = std::make_shared<File>();
    file->key = kDialogFontFile;
    for (BitmapFace& face : contents.bitmapFaces) {
        Entry e;
        e.face = std::make_shared<const BitmapFace>(std::move(face));
        file->entries.push_back(std::move(e));
    }
    m_system = file;
}

FontRegistry& Fonts() {
    static FontRegistry registry;
    return registry;
}

std::shared_ptr<const BitmapFace> ChooseFace(std::string_view faceName, int height, int width, int weight,
                                             bool italic) {
    return Fonts().Choose(FaceRequest{std::string(faceName), height, width, weight, italic});
}

}  // namespace plat

namespace plat {

int AddFontFile(const std::string& hostPath) {
    if (hostPath.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(hostPath, ec)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    const int added = Fonts().Add(hostPath);
    if (added == 0) SetLastError(kErrorBadFormat);
    return added;
}

BOOL RemoveFontFile(const std::string& hostPath) {
    if (hostPath.empty() || !Fonts().Remove(hostPath)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

}  // namespace plat
