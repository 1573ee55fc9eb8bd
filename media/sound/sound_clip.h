// The engine's sound clips: 'SND' items loaded into blocks of at most 10240 samples (8-bit
// unsigned mono, 11025 a second) and played on the mixer's channels. A negative id is the clip
// of the positive id played backwards, loaded and kept apart under the negative id.
//
// User-interface thread only; the mixer it feeds is the part shared with the timer's thread.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "media/sound/snd_format.h"
#include "media/sound/sound_mixer.h"
#include "media/sound/sound_sources.h"
#include "platform/core/wintypes.h"

inline constexpr int kSoundRate = 11025;
inline constexpr int kSoundBufferParam = 1750;
// What PlayClip answers when the output is not open.
inline constexpr uint16_t kSoundNotOpen = 0xFFFF;

// One block of samples: 10240 bytes, the last block of a clip holding the rest (possibly none).
struct CSoundBlock {
    std::vector<uint8_t> samples;
    uint32_t Length() const { return static_cast<uint32_t>(samples.size()); }
};

struct CSoundClip {
    int32_t id = 0;  // as asked for: negative for a reversed clip
    std::vector<CSoundBlock> blocks;
    uint32_t length = 0;  // samples in all blocks
    int16_t releaseFlag = 1;  // freed when all sound stops
    int16_t spare = 0;

    // All samples in order (tests and tools).
    std::vector<uint8_t> Samples() const;
};

class CSoundList {
public:
    explicit CSoundList(CSoundMixer& mixer = TheSoundMixer());
    ~CSoundList();
    CSoundList(const CSoundList&) = delete;
    CSoundList& operator=(const CSoundList&) = delete;

    // Items, preferences and PlayAndWait's message pre-translation come from the installed
    // ISoundItems, ISoundPrefs and ISoundMessageFilter (sound_sources.h).

    // Opens the mixer (closing and freeing everything first). 1, or 0 when it could not open.
    // With the player's own volume set, the device volume becomes volumePercent of full.
    int OpenOutput(int rate = kSoundRate, int bufferParam = kSoundBufferParam);
    // The clip of an absolute id (negative: reversed), loaded when not yet in the list; null when
    // it cannot be loaded (no item, a damaged item, a missing or unsafe file, no memory).
    CSoundClip* LoadClip(int32_t id);
    // Plays a clip after what the channel plays (channel 1-8, any other value: a free channel).
    // Returns the channel (1-8), or 0xFFFF when output is not open. A clip that cannot be loaded
    // plays nothing and leaves no channel claimed.
    uint16_t PlayClip(int32_t id, int channel);
    // Stops all sound, sets the device volume to volume percent and plays the clip, dispatching
    // messages until it ends or a left-button press or key press arrives (that one is dispatched
    // too and the sound plays on), or until stop (when given) answers true; it is asked before
    // each wait.
    void PlayAndWait(int32_t id, int volume, const std::function<bool()>& stop = {});
    // After one service step: whether the channel (1-8, or -1 for any) plays.
    bool IsPlaying(int channel);
    // Channel 1-8, or -1 for all.
    void StopChannel(int channel);
    // Stops every channel and frees every clip.
    void StopAll();
    // Stops the mixer (the device at once) and frees every clip.
    void FreeAll();
    // Frees every clip and lets the mixer release the device, its buffers, timer and window.
    void CloseOutput();
    // Deactivation stops every channel, frees every clip and lets the mixer release the device;
    // activation takes it again, and clips load again when they are next played.
    void SetActive(bool active);
    // One mixer tick: keeps sound flowing where the mixer's timer does not run.
    void Service();

    // The ids of the clips started with PlayClip while output was open (whatever asked: a
    // script, PlaySnd, a talk), oldest first; for tests. At most kStartedClipsKept, the oldest
    // dropped first.
    static constexpr size_t kStartedClipsKept = 512;
    const std::deque<int32_t>& StartedClips() const { return m_started; }
    void ClearStartedClips() { m_started.clear(); }

    bool IsOutputOpen() const { return m_outputOpen != 0; }
    size_t ClipCount() const { return m_clips.size(); }
    CSoundMixer& Mixer() { return m_mixer; }

private:
    bool ReadClip(int32_t id, CSoundClip& clip);
    bool ReadPlain(int32_t id, uint32_t size, CSoundClip& clip);
    bool ReadCompressed(int32_t id, uint32_t size, CSoundClip& clip);
    bool ReadFileReference(int32_t id, uint32_t size, CSoundClip& clip);
    void FreeClips();

    CSoundMixer& m_mixer;
    uint32_t m_outputOpen = 0;
    std::list<std::unique_ptr<CSoundClip>> m_clips;  // oldest first
    std::deque<int32_t> m_started;
};

// Splits samples into blocks of 10240, the last holding the rest (none when the length is a
// multiple of 10240).
std::vector<CSoundBlock> MakeSoundBlocks(uint32_t length);
// Reverses the samples of a clip across its blocks, first with last.
void ReverseSoundClip(CSoundClip& clip);
