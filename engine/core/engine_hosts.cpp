#include "engine/core/engine_hosts.h"

#include "engine/core/colour_table.h"
#include "engine/core/cor_engine.h"
#include "engine/scene/cor_anim.h"
#include "media/res/item_cache.h"
#include "media/res/res_item_table.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/afxwin/afxwin.h"
#include "platform/core/seam.h"

CResItemTable* CEngineResItemHost::ItemCache() { return m_engine.m_itemCache.get(); }

bool CEngineResItemHost::CopyListString(char* dest, size_t capacity, int32_t id, int16_t n) {
    return ReadListString(id, n, dest, capacity);
}

CResMgr* CEngineResItemHost::ResourceManager(int module) {
    if (module < 0 || module >= kModuleCount) return nullptr;
    return &m_engine.m_resFiles[static_cast<size_t>(module)];
}

int32_t CEngineResItemHost::MapResourceId(int16_t relativeId) { return m_engine.MapResourceId(relativeId); }

void CEngineResItemHost::ServiceSound() { m_engine.m_sounds.Service(); }

std::string CEngineResItemHost::ResourceFolder() { return m_engine.m_resourceFolder; }
std::string CEngineResItemHost::PlayerFolder() { return PrefsStore().PlayerFolder(); }

namespace {
constinit plat::Seam<IResItemHost> g_pictures;
IResItemHost& Pictures() { return g_pictures.Get(); }
}  // namespace

IResItemHost* SetEnginePictureItems(IResItemHost* pictures) { return g_pictures.Install(pictures); }

void CEngineResItemHost::GetPictureSize(int16_t id, int16_t& width, int16_t& height) {
    Pictures().GetPictureSize(id, width, height);
}

BYTE* CEngineResItemHost::LockPictureData(int16_t id) { return Pictures().LockPictureData(id); }

void CEngineResItemHost::UnlockPictureData(BYTE* bits) { Pictures().UnlockPictureData(bits); }

uint16_t CEngineResItemHost::GetPictureAttr(int16_t id) { return Pictures().GetPictureAttr(id); }

int16_t CEngineResItemHost::NewBlankPicture(int16_t width, int16_t height) {
    return Pictures().NewBlankPicture(width, height);
}

void CEngineResItemHost::PurgeResource(int16_t id) { Pictures().PurgeResource(id); }

int CEngineSceneHost::CurrentModule() { return m_engine.m_currentModule; }

ModuleFunctionTable* CEngineSceneHost::ModuleTable() { return m_engine.m_moduleTable; }

void CEngineSceneHost::SwitchToModule(int module) {
    m_engine.UnloadModule(TRUE);
    m_engine.GoToModule(module, TRUE);
}

SIZE CEngineSceneHost::ClientSize() { return SIZE{m_engine.m_screenWidth, m_engine.m_screenHeight}; }

void CEngineSceneHost::Invalidate(const RECT& r) { m_engine.InvalidateGameRect(&r); }

void CEngineSceneHost::PresentScreen() { m_engine.Present(0); }

CPalId* CEngineSceneHost::ScreenPalette() {
    return m_engine.m_screenPalette ? m_engine.m_screenPalette->GetPalette() : nullptr;
}

POINT CEngineSceneHost::PictureOrigin() { return POINT{m_engine.m_originX, m_engine.m_originY}; }

CSoundList* CEngineSceneHost::Sounds() { return &m_engine.m_sounds; }

bool CEngineSceneHost::ClosePending() { return m_engine.ClosePending(); }

void CEngineSceneHost::SetBlackIndex(int index) { m_engine.m_blackIndex = index; }

HWND CEngineSceneHost::GameWindow() {
    CWnd* main = AfxGetMainWnd();
    return main ? main->GetSafeHwnd() : nullptr;
}

CDibG* CEngineSceneHost::FrameSurface() { return m_engine.m_frameSurface.get(); }

bool CEngineReadErrorHost::IdleGuard() { return m_engine.m_busyGuard != 0; }

void CEngineReadErrorHost::SetIdleGuard(bool on) { m_engine.m_busyGuard = on ? 1 : 0; }

void CEngineReadErrorHost::InvalidatePicture() {
    if (m_engine.m_dirtyRects) m_engine.m_dirtyRects->Add(RECT{0, 0, m_engine.m_screenWidth, m_engine.m_screenHeight});
    CWnd* main = AfxGetMainWnd();
    if (!main || !main->GetSafeHwnd()) return;
    if (main->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
        if (CView* view = static_cast<CFrameWnd*>(main)->GetActiveView()) {
            view->Invalidate(FALSE);
            return;
        }
    }
    main->Invalidate(FALSE);
}

bool CEngineSoundItems::OpenModule(int module, bool& opened) {
    opened = false;
    if (module < 0 || module >= kModuleCount) return false;
    if (m_engine.m_resFiles[static_cast<size_t>(module)].IsOpen()) return true;
    if (!m_engine.OpenResourceFile(module, FALSE)) return false;
    opened = true;
    return true;
}

void CEngineSoundItems::CloseModule(int module) { m_engine.CloseResourceFile(module); }

namespace {
ResDirEntry* FindSound(CCorEngine& engine, int32_t id) {
    const int32_t module = id / 1000;
    if (id < 0 || module >= kModuleCount) return nullptr;
    CResMgr& file = engine.m_resFiles[static_cast<size_t>(module)];
    if (!file.IsOpen()) return nullptr;
    return file.FindEntry(kResSND, static_cast<uint32_t>(id));
}
}  // namespace

bool CEngineSoundItems::Find(int32_t id, uint32_t& size) {
    ResDirEntry* entry = FindSound(m_engine, id);
    if (!entry) return false;
    size = entry->size;
    return true;
}

bool CEngineSoundItems::Read(int32_t id, uint32_t offset, void* out, uint32_t n) {
    ResDirEntry* entry = FindSound(m_engine, id);
    if (!entry || offset > entry->size || n > entry->size - offset) return false;
    entry->readPos = offset;
    return entry->owner->LoadItem(out, entry, n) != 0;
}

bool CEngineSoundPrefs::UseOwnVolume() { return m_engine.m_prefs.useOwnVolume != 0; }

int CEngineSoundPrefs::VolumePercent() {
    const int percent = m_engine.m_prefs.volumePercent;
    return percent > 100 ? 100 : percent;
}

std::string CEngineSoundPrefs::PrefsFolder() { return PrefsStore().PrefsFolder(); }

bool CEngineSoundMessageFilter::PreTranslateMessage(MSG& msg) {
    CWinApp* app = AfxGetApp();
    return app && app->PreTranslateMessage(&msg);
}

CEngineHosts::CEngineHosts(CCorEngine& engine)
    : resItems(engine), readError(engine), soundItems(engine), soundPrefs(engine), text(engine), scene(engine) {}

CEngineHosts::~CEngineHosts() { Remove(); }

void CEngineHosts::Install() {
    if (m_installed) return;
    m_oldResItems = SetResItemHost(&resItems);
    m_oldReadError = SetReadErrorPromptHost(&readError);
    m_oldSoundItems = SetSoundItems(&soundItems);
    m_oldSoundPrefs = SetSoundPrefs(&soundPrefs);
    m_oldSoundFilter = SetSoundMessageFilter(&soundFilter);
    m_oldText = SetTextHost(&text);
    m_oldScene = SetSceneHost(&scene);
    m_installed = true;
}

void CEngineHosts::Remove() {
    if (!m_installed) return;
    SetSceneHost(m_oldScene);
    SetTextHost(m_oldText);
    SetSoundMessageFilter(m_oldSoundFilter);
    SetSoundPrefs(m_oldSoundPrefs);
    SetSoundItems(m_oldSoundItems);
    SetReadErrorPromptHost(m_oldReadError);
    SetResItemHost(m_oldResItems);
    m_installed = false;
}

// ---- Text host: colours, display sprites and scan targets ---------------------------------------

TextStyleRecord CEngineTextHost::CurrentTextStyle() { return m_engine.m_textStyle; }

COLORREF CEngineTextHost::ColorNumberToRGB(int16_t code) { return ::ColorNumberToRGB(code); }

int CEngineTextHost::NearestPaletteIndex(COLORREF colour, int first, int last) {
    return ::NearestPaletteIndex(colour, first, last);
}

namespace {
// The display list's object a text sprite names, while it is the same object.
CCorAnim* LiveTextSprite(CCorEngine& engine, const HostSprite& sprite) {
    return engine.m_anims.Get(CAnimRef::Of(static_cast<const CCorAnim*>(sprite.object), sprite.serial));
}
}  // namespace

HostSprite CEngineTextHost::CreateSprite(int16_t x, int16_t y, int16_t pictureId) {
    const POINT at{x + m_engine.m_originX, y + m_engine.m_originY};
    CCorAnim* anim = m_engine.m_anims.Create(m_engine.MapResourceId(pictureId), at);
    return HostSprite{anim, anim->Serial()};
}

void CEngineTextHost::ShowSpritePicture(const HostSprite& sprite, int16_t pictureId) {
    CCorAnim* anim = LiveTextSprite(m_engine, sprite);
    if (!anim) return;
    anim->Invalidate();
    anim->SetPicture(m_engine.MapResourceId(pictureId));
    anim->Invalidate();
}

void CEngineTextHost::DisposeSprite(const HostSprite& sprite) {
    CCorAnim* anim = LiveTextSprite(m_engine, sprite);
    if (!anim) return;
    anim->Invalidate();
    m_engine.m_anims.Remove(anim);
}

void CEngineTextHost::InvalidateSprite(const HostSprite& sprite) {
    if (CCorAnim* anim = LiveTextSprite(m_engine, sprite)) anim->Invalidate();
}

bool CEngineTextHost::SpriteAlive(const HostSprite& sprite) { return LiveTextSprite(m_engine, sprite) != nullptr; }

void CEngineTextHost::RemoveScanTargetsOf(const void* object) {
    m_engine.m_scanner.RemoveTargetsOf(object);
}

// ---- Scene host: the scanner's view of the engine ---------------------------------------------

void CEngineSceneHost::RemoveScanTargetsOfAnim(CCorAnim* anim) {
    m_engine.m_scanner.RemoveTargetsOfAnim(anim);
}

bool CEngineSceneHost::EngineBusy() { return m_engine.m_busyLevel != 0; }

void CEngineSceneHost::SetLastClick(POINT p) {
    m_engine.m_lastClickX = p.x;
    m_engine.m_lastClickY = p.y;
}

bool CEngineSceneHost::FindSpotRect(int32_t spotId, RECT& r) {
    const CSpot* spot = m_engine.m_spots.FindById(spotId);
    if (!spot) return false;
    r = spot->GetRect();
    return true;
}

// What a click on the spot does, wherever on it (a masked spot's centre may lie off its mask).
void CEngineSceneHost::ClickSpot(int32_t spotId) {
    const CSpot* spot = m_engine.m_spots.FindById(spotId);
    if (!spot) return;
    if (spot->GetTargetModule() != 0) {
        SwitchToModule(spot->GetTargetModule());
        return;
    }
    const CSpot::Callback callback = spot->GetCallback();
    if (callback && spot->IsEnabled()) callback(static_cast<int16_t>(spotId % 1000));
}
