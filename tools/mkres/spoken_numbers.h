// The spoken-numbers kit: the statement `spoken-numbers BASE forms F … [mouth REST P1 P2 P3]` of a
// module source
// becomes the word clips of the numbers 0 to 999 in Swedish and the number tables that chain
// them (README.md, "Spoken numbers").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/mkres/source.h"

namespace mkres {

// The 29 words, Windows-1252, in clip order: "noll" to "nitton" (0 to 19), "tjugo" to
// "nittio" (20 to 90 by tens), "hundra".
const std::vector<std::string>& SpokenNumberWords();
// The word indices that say n (0 to 999): 342 is tre, hundra, fyrtio, två; 100 is hundra.
std::vector<int> SpokenNumberChain(int n);
// The sound-id offset of number form f (1 to 8) from the base: 0, -100, -600, -400, -150,
// +200, +100, +150.
int SpokenNumberFormOffset(int form);

// The items of one `spoken-numbers` line: for each form asked, 'SND' M + BASE + offset + w
// for word w (encoder `word`); 'IPB' M + n for n = 0 to 999 (and 'IPC' M + n with form 6),
// each the ids BASE + w of n's words (encoder `numbers`); with a mouth each clip's body carries
// the mouth line, so the clip gets its 'CUE' list. None, with errors, for a malformed
// line, a missing module line, or a form whose clips would leave the ids 1 to 989.
std::vector<ItemSource> SpokenNumberItems(const SourceLine& line, const std::optional<int>& module, Diagnostics& diag);

}  // namespace mkres
