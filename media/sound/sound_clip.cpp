#include "media/sound/sound_clip.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <new>

#include "media/res/res_item_host.h"
#include "media/res/res_mgr.h"
#include "media/sound/sound_delta.h"
#include "media/util/mono_debug.h"
#include "platform/core/winuser.h"
#include "platform/fs/winfile.h"

namespace {

// A damaged item or file is reported on the debug output and not loaded.
bool Fail(int32_t id, const char* why) {
    char text[160];
    std::snprintf(text, sizeof text, "sound %ld: %s\n", static_cast<long>(id), why);
    MonoDebugWrite(text);
    return false;
}

}  // namespace

std::vector<uint8_t> CSoundClip::Samples() const {
    std::vector<uint8_t> all;
    all.reserve(length);
    for (const CSoundBlock& b : blocks) all.insert(all.end(), b.samples.begin(), b.samples.end());
    return all;
}

std::vector<CSoundBlock> MakeSoundBlocks(uint32_t length) {
    std::vector<CSoundBlock> blocks(length / kSoundBlockSize + 1);
    for (size_t i = 0; i + 1 < blocks.size(); ++i) blocks[i].samples.resize(kSoundBlockSize);
    blocks.back().samples.resize(length % kSoundBlockSize);
    return blocks;
}

void ReverseSoundClip(CSoundClip& clip) {
    std::vector<CSoundBlock>& b = clip.blocks;
    if (b.empty()) return;
    // Two cursors walk inward over the blocks, skipping empty ones.
    size_t fi = 0, fj = 0;
    size_t bi = b.size() - 1, bj = 0;
    while (fi < b.size() && b[fi].samples.empty()) ++fi;
    while (bi > 0 && b[bi].samples.empty()) --bi;
    if (fi >= b.size() || b[bi].samples.empty()) return;
    bj = b[bi].samples.size() - 1;
    uint64_t total = 0;
    for (const CSoundBlock& block : b) total += block.samples.size();
    for (uint64_t n = total / 2; n > 0; --n) {
        std::swap(b[fi].samples[fj], b[bi].samples[bj]);
        if (++fj >= b[fi].samples.size()) {
            fj = 0;
            do ++fi;
            while (fi < b.size() && b[fi].samples.empty());
        }
        if (bj > 0) {
            --bj;
        } else if (n > 1) {
            do --bi;
            while (b[bi].samples.empty());
            bj = b[bi].samples.size() - 1;
        }
    }
}

CSoundList::CSoundList(CSoundMixer& mixer) : m_mixer(mixer) {}

CSoundList::~CSoundList() {
    // The mixer outlives the list: it must let go of the clips' samples first.
    if (m_outputOpen) m_mixer.StopAll();
}

int CSoundList::OpenOutput(int rate, int bufferParam) {
    if (m_outputOpen) {
        FreeAll();
        m_mixer.CloseDevice();
        m_outputOpen = 0;
    }
    if (m_mixer.Open(rate, bufferParam) != MMSYSERR_NOERROR) return 0;
    m_outputOpen = 1;
    if (SoundPrefs().UseOwnVolume()) {
        const int percent = std::clamp(SoundPrefs().VolumePercent(), 0, 100);
        const auto level = static_cast<DWORD>(percent / 100.0 * 65535.0);
        m_mixer.SetVolume(level << 16 | level);
    }
    return 1;
}

CSoundClip* CSoundList::LoadClip(int32_t id) {
    for (const auto& clip : m_clips)
        if (clip->id == id) return clip.get();
    if (id == INT32_MIN || id == 0) return nullptr;
    const bool reversed = id < 0;
    const int32_t item = reversed ? -id : id;
    const int module = item / 1000;
    bool opened = false;
    if (!SoundItems().OpenModule(module, opened)) return nullptr;
    auto clip = std::make_unique<CSoundClip>();
    clip->id = id;
    bool ok = false;
    try {
        ok = ReadClip(item, *clip);
        if (ok) {
            if (reversed) ReverseSoundClip(*clip);
            m_clips.push_back(std::move(clip));
        }
    } catch (const std::bad_alloc&) {
        ok = Fail(item, "no memory for the clip");
    }
    if (!ok) {
        if (opened) SoundItems().CloseModule(module);
        return nullptr;
    }
    return m_clips.back().get();
}

bool CSoundList::ReadClip(int32_t id, CSoundClip& clip) {
    uint32_t size = 0;
    if (!SoundItems().Find(id, size)) {
        MonoDebugTraceMissing(kResSND, id);
        return false;
    }
    uint8_t head[kSndCompressedHeaderSize] = {};
    const uint32_t headSize = std::min<uint32_t>(size, sizeof head);
    if (headSize > 0 && !SoundItems().Read(id, 0, head, headSize)) return Fail(id, "the item cannot be read");
    bool ok = false;
    switch (ClassifySnd(std::span<const uint8_t>(head, headSize), size)) {
        case SndForm::FileReference:
            ok = ReadFileReference(id, size, clip);
            break;
        case SndForm::Compressed:
            ok = ReadCompressed(id, size, clip);
            break;
        case SndForm::Plain:
            ok = ReadPlain(id, size, clip);
            break;
    }
    if (!ok) return false;
    clip.length = 0;
    for (const CSoundBlock& b : clip.blocks) clip.length += b.Length();
    return true;
}

bool CSoundList::ReadPlain(int32_t id, uint32_t size, CSoundClip& clip) {
    clip.blocks = MakeSoundBlocks(size);
    uint32_t offset = 0;
    for (CSoundBlock& b : clip.blocks) {
        if (b.Length() > 0 && !SoundItems().Read(id, offset, b.samples.data(), b.Length()))
            return Fail(id, "the item cannot be read");
        offset += b.Length();
    }
    return true;
}

bool CSoundList::ReadCompressed(int32_t id, uint32_t size, CSoundClip& clip) {
    uint8_t headBytes[kSndCompressedHeaderSize];
    SndCompressedHeader head;
    if (!SoundItems().Read(id, 0, headBytes, sizeof headBytes) || !ParseSndCompressedHeader(headBytes, head))
        return Fail(id, "the item cannot be read");
    const uint64_t tableEnd = uint64_t{kSndCompressedHeaderSize} + uint64_t{head.blocks} * kSndBlockHeaderSize;
    if (tableEnd > size) return Fail(id, "compressed: the block table passes the end of the item");
    std::vector<uint8_t> table(static_cast<size_t>(head.blocks) * kSndBlockHeaderSize);
    if (!SoundItems().Read(id, kSndCompressedHeaderSize, table.data(), static_cast<uint32_t>(table.size())))
        return Fail(id, "the item cannot be read");

    std::vector<SndBlockHeader> headers(head.blocks);
    uint16_t largestCoded = 0;
    for (size_t i = 0; i < headers.size(); ++i) {
        const SndBlockHeader h =
            ParseSndBlockHeader(std::span<const uint8_t, kSndBlockHeaderSize>(table.data() + i * kSndBlockHeaderSize,
                                                                                kSndBlockHeaderSize));
        if (h.decodedLength > kSoundBlockSize) return Fail(id, "compressed: a block is larger than 10240 samples");
        if (uint64_t{h.offset} + h.codedLength > size) return Fail(id, "compressed: a block passes the end of the item");
        headers[i] = h;
        largestCoded = std::max(largestCoded, h.codedLength);
    }
    clip.blocks.assign(head.blocks, CSoundBlock{});
    std::vector<uint8_t> coded(largestCoded);
    for (size_t i = 0; i < headers.size(); ++i) {
        const SndBlockHeader& h = headers[i];
        // Samples a damaged stream does not reach stay silent.
        clip.blocks[i].samples.assign(h.decodedLength, 0x80);
        if (h.codedLength > 0 && !SoundItems().Read(id, h.offset, coded.data(), h.codedLength))
            return Fail(id, "the item cannot be read");
        const size_t written =
            DecodeSoundDelta(std::span<const uint8_t>(coded.data(), h.codedLength), clip.blocks[i].samples);
        if (written < h.decodedLength) Fail(id, "compressed: a block's stream ends early");
    }
    return true;
}

bool CSoundList::ReadFileReference(int32_t id, uint32_t size, CSoundClip& clip) {
    // The name is read up to its zero, never past the item nor past the longest name allowed.
    const uint32_t room = std::min<uint32_t>(size - 4, kSndMaxFileName + 1);
    char name[kSndMaxFileName + 1] = {};
    if (room == 0 || !SoundItems().Read(id, 4, name, room)) return Fail(id, "file reference: no name");
    const size_t nameLength = std::find(name, name + room, '\0') - name;
    if (nameLength == room) return Fail(id, "file reference: the name is too long or has no end");
    const std::string_view fileName(name, nameLength);
    if (!IsSafeSndFileName(fileName)) return Fail(id, "file reference: the name leaves the preference folder");
    std::string path = SoundPrefs().PrefsFolder();
    if (path.empty()) return Fail(id, "file reference: no preference folder");
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    path += fileName;

    HANDLE file = CreateFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail(id, "file reference: the file cannot be opened");
    DWORD high = 0;
    const DWORD length = GetFileSize(file, &high);
    bool ok = length != INVALID_FILE_SIZE && high == 0 && length <= kSndMaxFileLength;
    if (ok) {
        clip.blocks = MakeSoundBlocks(length);
        for (CSoundBlock& b : clip.blocks) {
            DWORD got = 0;
            if (b.Length() > 0 && (!ReadFile(file, b.samples.data(), b.Length(), &got, nullptr) || got != b.Length())) {
                ok = false;
                break;
            }
        }
    }
    CloseHandle(file);
    return ok || Fail(id, "file reference: the file is too long or cannot be read");
}

void CSoundList::FreeClips() { m_clips.clear(); }

uint16_t CSoundList::PlayClip(int32_t id, int channel) {
    if (!m_outputOpen) return kSoundNotOpen;
    if (m_started.size() == kStartedClipsKept) m_started.pop_front();
    m_started.push_back(id);
    const bool search = channel < 1 || channel > kMixChannels;
    const int ch = search ? m_mixer.FindFreeChannel() + 1 : channel;
    const CSoundClip* clip = LoadClip(id);
    bool queued = false;
    if (clip && clip->length > 0) {
        m_mixer.Hold(ch - 1);
        for (const CSoundBlock& b : clip->blocks) {
            if (b.Length() == 0) continue;
            if (m_mixer.Queue(ch - 1, b.samples.data(), static_cast<int32_t>(b.Length()), true) != kMixRefused)
                queued = true;
        }
        m_mixer.Release(ch - 1);
    }
    // A channel the search claimed for a sound that never came must not stay claimed.
    if (!queued && search) m_mixer.Unclaim(ch - 1);
    return static_cast<uint16_t>(ch);
}

void CSoundList::PlayAndWait(int32_t id, int volume, const std::function<bool()>& stop) {
    StopAll();
    const int percent = std::clamp(volume, 0, 100);
    const auto level = static_cast<DWORD>(percent / 100.0 * 65535.0);
    if (!m_mixer.SetVolume(level << 16 | level)) return;
    const uint16_t ch = PlayClip(id, 0);
    if (ch == kSoundNotOpen) return;
    for (;;) {
        if (stop && stop()) return;
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
                return;
            }
            const bool ends = msg.message == WM_LBUTTONDOWN || msg.message == WM_KEYDOWN ||
                              msg.message == WM_SYSKEYDOWN;
            if (ends || !SoundMessageFilter().PreTranslateMessage(msg)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
            if (ends) return;
        }
        if (!IsPlaying(ch)) return;
        // Woken by input or after one mixer period, whichever comes first.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kMixTimerPeriodMs, QS_ALLINPUT);
    }
}

bool CSoundList::IsPlaying(int channel) {
    if (!m_outputOpen) return false;
    Service();
    if (channel == -1) return !m_mixer.AllIdle();
    if (channel < 1 || channel > kMixChannels) return false;
    return !m_mixer.IsChannelIdle(channel - 1);
}

void CSoundList::StopChannel(int channel) {
    if (!m_outputOpen) return;
    if (channel == -1) {
        for (int i = 0; i < kMixChannels; ++i) m_mixer.StopChannel(i);
    } else if (channel >= 1 && channel <= kMixChannels) {
        m_mixer.StopChannel(channel - 1);
    }
}

void CSoundList::StopAll() {
    StopChannel(-1);
    std::erase_if(m_clips, [](const std::unique_ptr<CSoundClip>& c) { return c->releaseFlag != 0; });
}

void CSoundList::FreeAll() {
    if (m_outputOpen) m_mixer.StopAll();
    FreeClips();
}

void CSoundList::CloseOutput() {
    if (!m_outputOpen) return;
    FreeAll();
    m_mixer.SetActive(false);
    m_outputOpen = 0;
}

void CSoundList::SetActive(bool active) {
    if (!m_outputOpen) return;
    // The mixer stops reading every channel's buffers before the clips go.
    if (!active) FreeAll();
    m_mixer.SetActive(active);
}

void CSoundList::Service() { m_mixer.Tick(); }
