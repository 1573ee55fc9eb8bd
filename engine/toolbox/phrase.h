// The phrase builder: a phrase template of the current module ('IPA', up to 8 codes) becomes
// the list of sound ids to play, with the spoken form of up to four numbers and one or two
// literal sound ids in place of its placeholder codes. Beside it, small helpers the record
// panel and the picture files use: the error message line, decimal text, the nearest colour
// and a colour remap, a byte copy, and two engine folders.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/core/wintypes.h"

// Room for a phrase: at most 32 sound ids and the 0 after them.
inline constexpr int kPhraseMaxIds = 32;
inline constexpr int kPhraseSize = kPhraseMaxIds + 1;

// A template holds up to 8 u16 codes; 0 ends it early. Codes 1 to 0x7FFF are sound ids, output
// as they stand. A placeholder for argument k (1 to 4) in number form f (1 to 8) is the code
// -(10 (f - 1) + k): it is replaced by the ids of the number table of the argument ('IPB' of
// the argument's value as module-relative id; 'IPC' for form 6), each raised by the form's
// offset (0, -100, -600, -400, -150, +200, +100, +150; 16-bit wrap-around). -99 (0xFF9D) puts
// `extra` in as it stands. A template or table is read for at most its size / 2 codes and never
// more than 8; a missing one counts as empty and leaves a trace line. Other negative codes are
// skipped. The output stops at 32 ids and is always followed by a 0.
//
// Returns the number of ids written before the final 0, counting the template's own 0 when it
// ended with one.
int16_t BuildPhrase(uint16_t (&out)[kPhraseSize], int32_t templateId, uint16_t arg1, uint16_t arg2, uint16_t arg3,
                    uint16_t arg4, uint16_t extra);
// The same, with -98 (0xFF9E) putting in `extra2`, and the template's 0 never counted.
int16_t BuildPhraseEx(uint16_t (&out)[kPhraseSize], int32_t templateId, uint16_t arg1, uint16_t arg2, uint16_t arg3,
                      uint16_t arg4, uint16_t extra, uint16_t extra2);

// Shows "Error: <code>.   At: <place>.  <detail>." in an Abort/Retry/Ignore box (every answer
// goes on the same way). The detail is string detailIndex of the module's 'IST' list
// detailList, the place string placeIndex of list placeList; a list id of 0 or a missing list
// leaves its text empty. Code 13 (the disk is full) always shows string 1 of list 988.
void FormatMessageLine(int16_t code, uint16_t detailList, uint16_t detailIndex, uint16_t placeList,
                       int32_t placeIndex);

// The decimal text of any 32-bit value, "-" first for a negative one, zero-terminated: out
// holds at least kDecimalTextSize bytes.
inline constexpr size_t kDecimalTextSize = 12;
void IntToDecimalText(int32_t value, char* out);

// value × value (the same for -value); INT32_MAX when the square does not fit.
int32_t SquareInt(int32_t value);

// The index from first to first + number - 1 of the entry nearest to colour (0x00BBGGRR) by
// the sum of the squared differences of red, green and blue: an exact match at once, the lower
// index on equal distances; 0 when number is 0 or less.
int16_t NearestColorInList(COLORREF colour, const PALETTEENTRY* entries, int16_t first, int16_t number);
// table[i] is the nearest entry of palette (entries 1 to 255) to source[i] for first <= i <
// first + number; every other index maps to itself. Both palettes hold 256 entries.
void BuildColorRemap(const PALETTEENTRY* source, const PALETTEENTRY* palette, int16_t first, int16_t number,
                     uint8_t* table);

// Copies n bytes from source to destination (source first); the areas may overlap.
void CopyBytes(const void* source, void* destination, size_t n);

// The folder of the preference file (GetPrefsFolder), ending in a backslash; 0 with an empty
// buffer when it cannot be had or does not fit.
int GetPrefsRecordPath(char* buffer, size_t size);
// The engine's resource folder, where module resource files and record files are opened from.
const char* GetEngineStateBlock();
