// A hand check of the mixer on the machine's back end (SDL by default): a spoken clip and a chime
// together, then the other effects one after another. With SDL's disk audio driver the output
// lands in a file to inspect (see README.md). --tone uses tones instead of speech; --raw DIR
// writes the clips' samples (voice.raw, chime.raw) for comparing with the output.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "media/sound/snd_encoder.h"
#include "media/sound/sound_clip.h"
#include "media/sound/synth/effects.h"
#include "media/sound/synth/voice.h"
#include "platform/backends/init.h"
#include "platform/core/winuser.h"

namespace {

// Runs the message loop until no channel plays.
void WaitForSilence(CSoundList& list) {
    while (list.IsPlaying(-1)) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kMixTimerPeriodMs, QS_ALLINPUT);
    }
}

void WriteRaw(const std::string& path, const std::vector<uint8_t>& s) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(s.data()), static_cast<std::streamsize>(s.size()));
}

}  // namespace

int main(int argc, char** argv) {
    bool tone = false;
    std::string rawDir;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--tone")) tone = true;
        if (!std::strcmp(argv[i], "--raw") && i + 1 < argc) rawDir = argv[++i];
    }
    std::string error;
    if (!plat::InitPlatform(&error)) {
        std::fprintf(stderr, "sound_check: %s\n", error.c_str());
        return 1;
    }
    CSoundItemMap items;
    std::vector<uint8_t> voice;
    if (!SpeakOrTone("sju plus tre \xE4r tio", tone, voice, &error)) {
        std::fprintf(stderr, "sound_check: %s\n", error.c_str());
        return 1;
    }
    items.Put(1001, EncodeSndCompressed(voice));
    const char* effects[] = {"chime", "pop", "whoosh", "sparkle", "ding", "click"};
    for (int i = 0; i < 6; ++i) items.Put(1010 + i, EncodeSndPlain(SynthEffect(effects[i])));

    CSoundList list(TheSoundMixer());
    SetSoundItems(&items);
    if (!list.OpenOutput()) {
        std::fprintf(stderr, "sound_check: no sound device\n");
        return 1;
    }
    std::printf("timer %s, %u bytes per output buffer\n", TheSoundMixer().UsesTimer() ? "on" : "off",
                TheSoundMixer().BytesPerBuffer());
    if (!rawDir.empty()) {
        WriteRaw(rawDir + "/voice.raw", list.LoadClip(1001)->Samples());
        WriteRaw(rawDir + "/chime.raw", list.LoadClip(1010)->Samples());
    }
    const DWORD t0 = timeGetTime();
    const uint16_t a = list.PlayClip(1001, 0);
    const uint16_t b = list.PlayClip(1010, 0);
    std::printf("%5lu ms: voice on channel %u, chime on channel %u\n", static_cast<unsigned long>(timeGetTime() - t0), a, b);
    WaitForSilence(list);
    for (int i = 1; i < 6; ++i) {
        const uint16_t ch = list.PlayClip(1010 + i, 0);
        std::printf("%5lu ms: %s on channel %u\n", static_cast<unsigned long>(timeGetTime() - t0), effects[i], ch);
        WaitForSilence(list);
    }
    std::printf("%5lu ms: done\n", static_cast<unsigned long>(timeGetTime() - t0));
    list.FreeAll();
    TheSoundMixer().SetActive(false);
    return 0;
}
