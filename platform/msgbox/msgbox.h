// Message boxes: MessageBox, and the real box behind AfxMessageBox once installed.
//
// A box is a modal window over everything on screen, drawn in the Windows 95 manner with the
// static colours only (so the game's palette entries 10-245 never matter): a caption bar, a
// 3-D frame, an icon, the text word-wrapped, and a row of push buttons. It runs its own
// message loop until a button is chosen; window timers keep reaching their windows meanwhile,
// and input to every other window is refused. UI thread only.
//
// Headless back end: each box takes the next scripted answer (HeadlessBackend::PushAnswer, or
// an `answer` line of a script). The answer kMessageBoxInteractive instead runs the box on the
// scripted keys and clicks like a real one. A box without an answer, or with one that is not
// among its buttons, throws MessageBoxUnanswered naming the box, so a test fails instead of
// hanging.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/afx/message_box.h"
#include "platform/core/wintypes.h"

// Windows-1252 text and caption (null caption: "Fel", as the Swedish system says "Error").
// Returns the chosen button's id (IDOK ...).
int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
inline int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return MessageBox(owner, text, caption, type);
}

namespace plat {

// Makes AfxMessageBox show the real box (owned by the active window). Its caption is
// `caption`, or when that is empty the title of the program's main window. Programs call
// this at start; the previous hook is replaced.
void InstallMessageBoxes(std::string caption = {});

// The scripted answer that lets a headless box run on scripted input.
constexpr int kMessageBoxInteractive = -1;

class MessageBoxUnanswered : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every box shown, in order (tests read it; ClearMessageBoxLog empties it).
struct MessageBoxRecord {
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    UINT type = 0;
    std::vector<int> buttons;  // ids, left to right
    UINT icon = 0;             // MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK or 0
    int defaultButton = 0;     // id of the button focused at first
    int answer = 0;            // 0 until the box closed
};
const std::vector<MessageBoxRecord>& MessageBoxLog();
void ClearMessageBoxLog();

// The buttons of a box type, left to right, and what Escape answers (0: nothing).
std::vector<int> MessageBoxButtons(UINT type);
int MessageBoxEscapeAnswer(UINT type);

}  // namespace plat
