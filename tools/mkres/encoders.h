// Item encoders: each turns the body lines of one item into the item's bytes. The table in
// encoders.cpp names them and says which type codes use which encoder by default; README.md
// tells how to add one.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "media/res/res_writer.h"
#include "tools/mkres/source.h"

namespace mkres {

class EncodeContext {
public:
    EncodeContext(Diagnostics& diag, std::set<std::filesystem::path>& inputs) : m_diag(diag), m_inputs(inputs) {}
    void Error(const Location& where, const std::string& message) { m_diag.Error(where, message); }
    // The bytes of a file named relative to the line's source file; recorded as an input of
    // the build. None (with an error) when it cannot be read.
    std::optional<std::vector<uint8_t>> ReadInputFile(const SourceLine& line, const std::string& name);
    // Records a file an encoder reads by other means (a tool's input) as an input.
    void AddInput(const std::filesystem::path& file);

    // Another item of the same id, of another type, that the encoder makes along with its
    // own (a font strip's character list); BuildModule adds it after the item itself.
    struct Companion {
        std::string type;
        std::vector<uint8_t> bytes;
    };
    void AddCompanion(std::string type, std::vector<uint8_t> bytes) {
        m_companions.push_back({std::move(type), std::move(bytes)});
    }
    std::vector<Companion> TakeCompanions() { return std::exchange(m_companions, {}); }

    // The module number of the source (ids M and M+r), when it has one.
    std::optional<int> Module() const { return m_module; }
    void SetModule(std::optional<int> module) { m_module = module; }
    // An id token of a body (a number, M or M+r); none (with an error) otherwise.
    std::optional<uint16_t> ItemId(const SourceLine& line, const Token& token) {
        return ParseItemId(token.text, m_module, line.where, m_diag);
    }
    // The bytes of an item encoded before this one (an encoder that draws from a table given
    // earlier in the module); null when there is none.
    const std::vector<uint8_t>* BuiltItem(const std::string& type, uint16_t id) const;
    void RecordBuilt(const std::string& type, uint16_t id, const std::vector<uint8_t>& bytes) {
        m_built[std::pair(type, id)] = bytes;
    }

private:
    Diagnostics& m_diag;
    std::set<std::filesystem::path>& m_inputs;
    std::vector<Companion> m_companions;
    std::optional<int> m_module;
    std::map<std::pair<std::string, uint16_t>, std::vector<uint8_t>> m_built;
};

using EncodeFn = bool (*)(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);

struct EncoderInfo {
    const char* name;
    const char* defaultFor;  // type codes, separated by spaces, that use it when none is named
    EncodeFn encode;
};

std::span<const EncoderInfo> Encoders();
const EncoderInfo* FindEncoder(const std::string& name);
// The encoder of a type when the item names none: the one listing the type, else "raw".
const EncoderInfo* DefaultEncoder(const std::string& type);

// The data language of raw bytes and tables, for any encoder that wants it: appends the
// values of the line's tokens from `first` on. Bare numbers take `width` bytes (1, 2 or 4,
// little-endian); u8/i8/u16/i16/u32/i32 switch the width and range for the rest of the
// line; "strings" add their Windows-1252 bytes; `fill N V` adds N values V; `file "name"`
// adds a file's bytes.
bool AppendData(const SourceLine& line, size_t first, int width, EncodeContext& ctx, std::vector<uint8_t>& out);

// A number token in [low, high]; none (with an error) otherwise.
std::optional<int64_t> NumberIn(const SourceLine& line, const Token& token, int64_t low, int64_t high,
                                EncodeContext& ctx);

// Encodes every item into the writer; false when any item failed (errors in diag).
bool BuildModule(const ModuleSource& source, Diagnostics& diag, media::CResWriter& writer,
                 std::set<std::filesystem::path>& inputs);

// The generic encoders.
bool EncodeRaw(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodeWords(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodeSize(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodeCharList(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodePalette(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodeStrings(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodeSpot(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);

// Draws lines of the picture language (the `picture` encoder's lines after `size`) on a
// width x height canvas of 0; its pixels row by row, or none (with an error).
std::optional<std::vector<uint8_t>> DrawPictureLines(std::span<const SourceLine> lines, int width, int height,
                                                     EncodeContext& ctx);
// 'SPR' pictures drawn from shapes and labels (enc_picture.cpp), 'HT#' hotspot tables.
bool EncodePicture(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodeHotspots(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodeSound(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
// A sound's `mouth REST P1 P2 P3` line: the four picture ids; none (with an error) when it is
// malformed. And the 'CUE' companion that mouth makes from the sound's samples (MouthCues);
// false (with an error) when the sound is too long for a cue list.
std::optional<std::array<int32_t, 4>> ParseMouthLine(const SourceLine& line, EncodeContext& ctx);
bool AddMouthCues(const ItemSource& item, std::span<const uint8_t> samples, const std::array<int32_t, 4>& mouth,
                  EncodeContext& ctx);
// 'ANI' animation scripts, one instruction per line by name (enc_script.cpp).
bool EncodeScript(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
// A font strip: an 'SPR' picture of glyphs and its 'IST' character list as a companion
// (enc_fontstrip.cpp).
bool EncodeFontStrip(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
// 'AN_' preload lists and 'CUE' cue lists (enc_cues.cpp).
bool EncodePreload(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodeCues(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
// Spoken phrases (enc_spoken.cpp): word clips for chains ('SND'), phrase templates ('IPA') and
// spoken-number tables ('IPB', 'IPC').
bool EncodeWordClip(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodePhraseTemplate(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodeNumberTable(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
// 'FIL' file kinds of a picture file dialog (enc_filekinds.cpp).
bool EncodeFileKinds(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
// The level chooser's ruler and its highlight ('SPR'), drawn from the module's level table
// with the chooser's own segment layout (enc_levelruler.cpp).
bool EncodeLevelRuler(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
// The grown-ups' topic lists ('SPR'), laid out from kActivityLevelSteps as the topic panel
// hit-tests them (enc_topiclist.cpp).
bool EncodeTopicList(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
// The shapes activity's piece outlines ('PN#'), piece lists ('PLS') and task records ('BPB')
// (enc_shapes.cpp), written by media/res/shape_items.h.
bool EncodeOutline(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodePieceList(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
bool EncodeTask(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);
// The compare activity's level table ('LVL'), one line per level, each draw checked
// (enc_comparelevels.cpp), written by media/res/compare_levels.h.
bool EncodeCompareLevels(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out);

}  // namespace mkres
