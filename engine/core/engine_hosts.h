// The services the media layer asks of the engine (media/README.md, "Seams the engine fills"),
// answered from the engine object. The start-up installs them and the shutdown puts back
// what it found.
#pragma once

#include <cstdint>
#include <string>

#include "engine/scene/scene_host.h"
#include "media/res/read_error_prompt.h"
#include "media/res/res_item_host.h"
#include "media/sound/sound_sources.h"
#include "media/text/text_host.h"

class CCorEngine;

// The item cache, the module resource files, the id rule, the sound service step and the
// resource folder. Picture items by id are answered by the provider installed with
// SetEnginePictureItems; the player's folder comes with a later step and keeps the neutral
// answer until then.
class CEngineResItemHost : public IResItemHost {
public:
    explicit CEngineResItemHost(CCorEngine& engine) : m_engine(engine) {}
    CResItemTable* ItemCache() override;
    // 'IST' strings read from the module's resource file (ReadListString).
    bool CopyListString(char* dest, size_t capacity, int32_t id, int16_t n) override;
    CResMgr* ResourceManager(int module) override;
    int32_t MapResourceId(int16_t relativeId) override;
    void ServiceSound() override;
    std::string ResourceFolder() override;
    // The preference store's current player's folder.
    std::string PlayerFolder() override;
    void GetPictureSize(int16_t id, int16_t& width, int16_t& height) override;
    BYTE* LockPictureData(int16_t id) override;
    void UnlockPictureData(BYTE* bits) override;
    uint16_t GetPictureAttr(int16_t id) override;
    int16_t NewBlankPicture(int16_t width, int16_t height) override;
    void PurgeResource(int16_t id) override;

private:
    CCorEngine& m_engine;
};

// Picture items by module-relative id are made by the toolbox (engine/toolbox/picture_items.h),
// which the engine cannot include: the program installs the toolbox's provider once at start
// and the engine's resource host answers its picture members from it (null: the neutral
// answers, no pictures). Returns the provider installed before.
IResItemHost* SetEnginePictureItems(IResItemHost* pictures);

// The busy/presenting guard while the read-error box is up, and the whole picture redrawn
// after it.
class CEngineReadErrorHost : public IReadErrorPromptHost {
public:
    explicit CEngineReadErrorHost(CCorEngine& engine) : m_engine(engine) {}
    bool IdleGuard() override;
    void SetIdleGuard(bool on) override;
    void InvalidatePicture() override;

private:
    CCorEngine& m_engine;
};

// 'SND' items of the engine's module resource files, by absolute id.
class CEngineSoundItems : public ISoundItems {
public:
    explicit CEngineSoundItems(CCorEngine& engine) : m_engine(engine) {}
    bool OpenModule(int module, bool& opened) override;
    void CloseModule(int module) override;
    bool Find(int32_t id, uint32_t& size) override;
    bool Read(int32_t id, uint32_t offset, void* out, uint32_t n) override;

private:
    CCorEngine& m_engine;
};

// The player's own volume from the engine's preference record.
class CEngineSoundPrefs : public ISoundPrefs {
public:
    explicit CEngineSoundPrefs(CCorEngine& engine) : m_engine(engine) {}
    bool UseOwnVolume() override;
    int VolumePercent() override;
    // The preference store's folder.
    std::string PrefsFolder() override;

private:
    CCorEngine& m_engine;
};

// The application's PreTranslateMessage for the messages a waiting sound dispatches.
class CEngineSoundMessageFilter : public ISoundMessageFilter {
public:
    bool PreTranslateMessage(MSG& msg) override;
};

// The text layer's host: display sprites are objects of the display list, placed in picture
// coordinates; a text item's scan targets go with it; the current text style, colour numbers
// and the screen palette's nearest entries are the engine's (colour_table.h).
class CEngineTextHost : public ITextHost {
public:
    explicit CEngineTextHost(CCorEngine& engine) : m_engine(engine) {}
    TextStyleRecord CurrentTextStyle() override;
    COLORREF ColorNumberToRGB(int16_t code) override;
    int NearestPaletteIndex(COLORREF colour, int first, int last) override;
    HostSprite CreateSprite(int16_t x, int16_t y, int16_t pictureId) override;
    void ShowSpritePicture(const HostSprite& sprite, int16_t pictureId) override;
    void DisposeSprite(const HostSprite& sprite) override;
    void InvalidateSprite(const HostSprite& sprite) override;
    bool SpriteAlive(const HostSprite& sprite) override;
    void RemoveScanTargetsOf(const void* object) override;

private:
    CCorEngine& m_engine;
};

// What the scene objects (engine/scene) ask of the engine: the current module, module
// switching for a spot's target, the screen size as the client size, the dirty rectangles,
// the screen palette, the picture origin, the sound list, the close-pending flag, the black
// index, the main window and the frame surface.
class CEngineSceneHost : public ISceneHost {
public:
    explicit CEngineSceneHost(CCorEngine& engine) : m_engine(engine) {}
    int CurrentModule() override;
    ModuleFunctionTable* ModuleTable() override;
    // The current module leaves with its leaving animation; the target gets a full entry.
    void SwitchToModule(int module) override;
    SIZE ClientSize() override;
    void Invalidate(const RECT& r) override;
    CPalId* ScreenPalette() override;
    POINT PictureOrigin() override;
    CSoundList* Sounds() override;
    bool ClosePending() override;
    void SetBlackIndex(int index) override;
    HWND GameWindow() override;
    CDibG* FrameSurface() override;
    // The scanner's view: its targets of a departing object, the busy level, the last click,
    // spots by id.
    void RemoveScanTargetsOfAnim(CCorAnim* anim) override;
    bool EngineBusy() override;
    void SetLastClick(POINT p) override;
    // The dirty rectangles presented with no transition.
    void PresentScreen() override;
    bool FindSpotRect(int32_t spotId, RECT& r) override;
    void ClickSpot(int32_t spotId) override;

private:
    CCorEngine& m_engine;
};

// All of them, installed together.
class CEngineHosts {
public:
    explicit CEngineHosts(CCorEngine& engine);
    ~CEngineHosts();
    void Install();
    // Puts back what Install found.
    void Remove();

    CEngineResItemHost resItems;
    CEngineReadErrorHost readError;
    CEngineSoundItems soundItems;
    CEngineSoundPrefs soundPrefs;
    CEngineSoundMessageFilter soundFilter;
    CEngineTextHost text;
    CEngineSceneHost scene;

private:
    bool m_installed = false;
    IResItemHost* m_oldResItems = nullptr;
    IReadErrorPromptHost* m_oldReadError = nullptr;
    ISoundItems* m_oldSoundItems = nullptr;
    ISoundPrefs* m_oldSoundPrefs = nullptr;
    ISoundMessageFilter* m_oldSoundFilter = nullptr;
    ITextHost* m_oldText = nullptr;
    ISceneHost* m_oldScene = nullptr;
};
