// The game's title object: what is particular to this game on top of the engine (names, the
// module tables, quitting, the grown-ups' section, the saved-settings block, the screen
// size). One static object exists; theEngine points at it.
#pragma once

#include "engine/core/cor_engine.h"

class CZelboTitle : public CCorEngine {
public:
    CZelboTitle();
    ~CZelboTitle() override;

    const char* GetAppKey() override { return "Zelbo"; }
    // String 57344 ("Trumlaby"), copied into a buffer of the title's own.
    const char* GetTitle() override;
    const char* GetVersionText() override { return "v0.1 - Alpha"; }
    void OnStarted() override {}
    void OnShutdown() override {}
    // Module 8: a table that stays empty; modules 1 to 6: the table the program registered
    // (module_registry.h), else the one the module's host filled, else null; any other number
    // null.
    ModuleFunctionTable* GetModuleTable(int module) override;
    // Posts WM_CLOSE to the main window; shutdown follows through the view's destruction.
    void QuitGame() override;
    int16_t EnterAdultArea() override { return RunAdultArea(); }
    int32_t GetHomeModule() override { return 1; }
    void OnFirstEntry() override {}
    void* GetSavedSettings(int32_t& size) override;
    void ResetSavedSettings() override { m_savedSettings.SetDefaults(); }
    COLORREF GetBackgroundColor() override { return RGB(192, 192, 192); }
    int16_t GetIntroRepeat() override { return 1; }
    int32_t GetSampleRate() override { return kSoundRate; }
    int32_t GetMixerBufferParam() override { return kSoundBufferParam; }
    void GetScreenSize(int32_t& width, int32_t& height) override {
        width = 640;
        height = 480;
    }

    ActivitySettings m_savedSettings{};

private:
    char m_title[64] = {};
    ModuleFunctionTable m_emptyTable{};
};
