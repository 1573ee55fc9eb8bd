// The preferences page and the options dialog inside the running sheet, driven by scripted
// clicks and keys: the volume slider and its sample, the enable rules, the options dialog's
// OK and Cancel, the printer set-up, and the record the sheet writes back.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "adult/adult_test_support.h"
#include "adult/preferences_page.h"
#include "engine/scene/scene_test_support.h"
#include "engine/scene/sound_toolbox.h"
#include "media/res/res_items_test_support.h"
#include "media/sound/snd_encoder.h"
#include "media/sound/sound_clip.h"
#include "media/sound/sound_sources.h"
#include "platform/audio/wave_out.h"

namespace {

using adulttest::AdultTest;
using namespace prefs_ids;

CUserPrefs Record(uint32_t ownVolume, uint16_t percent, uint32_t scanning = 1) {
    CUserPrefs r{};
    r.SetRecordDefaults();
    r.useOwnVolume = ownVolume;
    r.volumePercent = percent;
    r.scanningAllowed = scanning;
    return r;
}

class Preferences : public AdultTest {
protected:
    // Runs the sheet (normal mode) on the record, calls fn on the page once it is shown and
    // then the scripted steps, and closes it with Escape at the end.
    void RunSheet(CUserPrefs& record, const std::function<void(CAdultSheet&)>& steps, uint64_t end = 400) {
        ActivitySettings block{};
        block.SetDefaults();
        CAdultSheet sheet(61279, nullptr, 0);
        sheet.SetUserSettings(&record, &block);
        m_head->PushAnswer(plat::kMessageBoxInteractive);
        Later(10, [&] { steps(sheet); });
        Later(end, [&] { End(sheet, IDCANCEL); });
        sheet.DoModal();
    }
    static bool Enabled(CAdultSheet& sheet, int id) {
        return ::IsWindowEnabled(::GetDlgItem(sheet.m_preferencesPage.m_hWnd, id)) != FALSE;
    }
};

TEST_F(Preferences, SliderPositionsGiveVolumePercents) {
    CUserPrefs record = Record(1, 50);
    int shown = -1;
    std::vector<int> percents;
    RunSheet(record, [&](CAdultSheet& sheet) {
        CPagePreferences& page = sheet.m_preferencesPage;
        shown = page.m_slider.GetPos();
        for (int p = 0; p <= 7; ++p) {
            page.m_slider.SetPos(p, TRUE);
            page.UpdateData(TRUE);
            percents.push_back(page.m_volumePercent);
        }
        page.m_slider.SetPos(2, TRUE);
    });
    EXPECT_EQ(shown, 4) << "50 % shows as the nearest position";
    EXPECT_EQ(percents, (std::vector<int>{0, 14, 29, 43, 57, 71, 86, 100}));
    EXPECT_EQ(record.volumePercent, 29) << "the sheet stores the page into the record when it closes";
    EXPECT_EQ(record.useOwnVolume, 1u);
}

// A move of the volume slider plays the sample at once at the new volume.
class VolumeSample : public Preferences {
protected:
    void SetUp() override {
        Preferences::SetUp();
        plat::ResetWaveOut();
        m_savedItems = SetSoundItems(&m_items);
        m_resources.module = 0;
        m_scene.sounds = &m_list;
        // 575: a tenth of a second of a loud square wave, distinct from silence.
        std::vector<uint8_t> wave(1103);
        for (size_t i = 0; i < wave.size(); ++i) wave[i] = (i / 20) % 2 ? 0xF0 : 0x10;
        m_items.Put(kVolumeSampleSound, EncodeSndPlain(wave));
        ASSERT_EQ(m_list.OpenOutput(), 1);
    }
    void TearDown() override {
        m_list.FreeAll();
        SetSoundItems(m_savedItems);
        Preferences::TearDown();
    }
    CSoundItemMap m_items;
    ISoundItems* m_savedItems = nullptr;
    itemtest::CTestHost m_resources;
    scenetest::CFakeSceneHost m_scene;
    CSoundMixer m_mixer;
    CSoundList m_list{m_mixer};
};

TEST_F(VolumeSample, MovingTheSliderPlaysTheSampleAtTheNewVolume) {
    CUserPrefs record = Record(1, 43);  // position 3
    DWORD volume = 0;
    bool played = false;
    RunSheet(record, [&](CAdultSheet& sheet) {
        ::SetFocus(sheet.m_preferencesPage.m_slider.m_hWnd);
        m_head->ClearPlayedAudio();
        Key(1, VK_RIGHT);
        Later(300, [&] {
            waveOutGetVolume(nullptr, &volume);
            for (uint8_t s : m_head->PlayedAudio())
                if (s > 0xA0 || s < 0x60) played = true;
        });
    }, 600);
    // Position 4 is 57 %: both channels at 57 % of the full word.
    const DWORD level = static_cast<DWORD>(57 / 100.0 * 65535.0);
    EXPECT_EQ(volume, level << 16 | level);
    EXPECT_TRUE(played) << "the sample was heard";
    EXPECT_EQ(record.volumePercent, 57);
}

TEST_F(Preferences, UpOrDownInTheSliderChoosesTheSystemVolume) {
    for (int vk : {VK_UP, VK_DOWN}) {
        CUserPrefs record = Record(1, 43);
        bool systemChecked = false, ownChecked = true, sliderEnabled = false, focusOnSystem = false;
        RunSheet(record, [&](CAdultSheet& sheet) {
            ::SetFocus(sheet.m_preferencesPage.m_slider.m_hWnd);
            Key(1, vk);
            Later(20, [&] {
                HWND page = sheet.m_preferencesPage.m_hWnd;
                systemChecked = IsDlgButtonChecked(page, kSystemVolume) == BST_CHECKED;
                ownChecked = IsDlgButtonChecked(page, kOwnVolume) == BST_CHECKED;
                sliderEnabled = sheet.m_preferencesPage.m_slider.IsWindowEnabled() != FALSE;
                focusOnSystem = ::GetFocus() == ::GetDlgItem(page, kSystemVolume);
            });
        });
        EXPECT_TRUE(systemChecked) << vk;
        EXPECT_FALSE(ownChecked) << vk;
        EXPECT_TRUE(sliderEnabled) << "the slider keeps its state " << vk;
        EXPECT_TRUE(focusOnSystem) << vk;
        EXPECT_EQ(record.useOwnVolume, 0u) << "stored: the system volume " << vk;
    }
}

// Printing opens as the running game has it, so each case chooses it first.
struct EnableCase {
    const char* name;
    uint32_t ownVolume, scanning;
    std::vector<int> clicks;
    bool options, printerSetup, slider;
};

const EnableCase kEnableCases[] = {
    {"OpeningFollowsTheRecord", 1, 1, {kPrintColour}, true, true, true},
    {"OpeningWithEverythingOff", 0, 0, {kPrintOff}, false, false, false},
    {"HighlightingOffDisablesOptions", 1, 1, {kPrintOff, kHighlightOff}, false, false, true},
    {"HighlightingOnAgainEnablesThem", 1, 0, {kPrintOff, kHighlightOn}, true, false, true},
    {"ColourEnablesThePrinterSetUp", 1, 1, {kPrintOff, kPrintColour}, true, true, true},
    {"BlackAndWhiteEnablesIt", 1, 1, {kPrintOff, kPrintMono}, true, true, true},
    {"PrintingOffDisablesItAgain", 1, 1, {kPrintColour, kPrintOff}, true, false, true},
    {"SystemVolumeDisablesTheSlider", 1, 1, {kPrintOff, kSystemVolume}, true, false, false},
    {"OwnVolumeEnablesIt", 0, 1, {kPrintOff, kOwnVolume}, true, false, true},
};

class EnableRules : public Preferences, public ::testing::WithParamInterface<EnableCase> {};

TEST_P(EnableRules, ControlsFollowTheChoices) {
    const EnableCase& c = GetParam();
    CUserPrefs record = Record(c.ownVolume, 50, c.scanning);
    bool options = false, printer = false, slider = false;
    RunSheet(record, [&](CAdultSheet& sheet) {
        uint64_t t = 10;
        for (int id : c.clicks) {
            ClickItem(t, id);
            t += 20;
        }
        Later(t + 20, [&] {
            options = Enabled(sheet, kOptions);
            printer = Enabled(sheet, kPrinterSetup);
            slider = sheet.m_preferencesPage.m_slider.IsWindowEnabled() != FALSE;
        });
    });
    EXPECT_EQ(options, c.options);
    EXPECT_EQ(printer, c.printerSetup);
    EXPECT_EQ(slider, c.slider);
}

INSTANTIATE_TEST_SUITE_P(Table, EnableRules, ::testing::ValuesIn(kEnableCases),
                         [](const ::testing::TestParamInfo<EnableCase>& info) { return info.param.name; });

// The options dialog starts on the page's values; OK brings the new ones back, Cancel none.
TEST_F(Preferences, OptionsOkTakesTheValuesCancelKeepsThem) {
    for (int button : {IDOK, IDCANCEL}) {
        CUserPrefs record = Record(1, 50);
        record.scanSpeed = 8;
        record.scanAdvanceAuto = 1;
        int shownSpeed = -1;
        bool autoChecked = false;
        RunSheet(record, [&](CAdultSheet&) {
            ClickItem(10, kOptions);
            Later(40, [&] {
                HWND options = plat::ActiveDialog();
                auto* dlg = static_cast<COptionsDlg*>(CWnd::FromHandlePermanent(options));
                ASSERT_NE(dlg, nullptr);
                shownSpeed = dlg->m_slider.GetPos();
                autoChecked = IsDlgButtonChecked(options, kAdvanceAuto) == BST_CHECKED;
                ::SetFocus(dlg->m_slider.m_hWnd);
            });
            Key(60, VK_RIGHT);
            Key(70, VK_RIGHT);
            ClickItem(90, kAdvanceClick);
            ClickItem(120, button);
        });
        EXPECT_EQ(shownSpeed, 8);
        EXPECT_TRUE(autoChecked);
        if (button == IDOK) {
            EXPECT_EQ(record.scanSpeed, 10);
            EXPECT_EQ(record.scanAdvanceAuto, 0u);
        } else {
            EXPECT_EQ(record.scanSpeed, 8);
            EXPECT_EQ(record.scanAdvanceAuto, 1u);
        }
    }
}

// The record's fields as the page shows them, and back as the sheet stores them.
TEST(PreferencesMapping, RecordToPageAndBack) {
    CUserPrefs record{};
    record.useOwnVolume = 7;  // any non-zero: the own volume
    record.volumePercent = 71;
    record.showStopSign = 0;
    record.scanningAllowed = 3;
    record.scanSpeed = 29;  // above 28: shows as 0
    record.scanAdvanceAuto = 0;
    record.optionWord = 0xFFFE;
    record.savingOn = 0;
    CPagePreferences page(234);
    page.FromRecord(record, 1, 0);
    EXPECT_EQ(page.m_volume, 1);
    EXPECT_EQ(page.m_volumePercent, 71);
    EXPECT_EQ(page.m_stopSign, 1);
    EXPECT_EQ(page.m_highlight, 0);
    EXPECT_EQ(page.m_speed, 0);
    EXPECT_EQ(page.m_advance, 1);
    EXPECT_EQ(page.m_carried2C, -2);
    EXPECT_EQ(page.m_save, 1);
    EXPECT_EQ(page.m_printer, 1) << "printing on, colour off in the engine's record";
    CUserPrefs back{};
    page.ToRecord(back);
    EXPECT_EQ(back.useOwnVolume, 1u);
    EXPECT_EQ(back.volumePercent, 71);
    EXPECT_EQ(back.showStopSign, 0u);
    EXPECT_EQ(back.scanningAllowed, 1u);
    EXPECT_EQ(back.scanSpeed, 0);
    record.scanSpeed = 0xFFF0;  // negative as a signed word: not a speed either
    page.FromRecord(record, 1, 0);
    EXPECT_EQ(page.m_speed, 0);
    EXPECT_EQ(back.scanAdvanceAuto, 0u);
    EXPECT_EQ(back.optionWord, 0xFFFE);
    EXPECT_EQ(back.savingOn, 0u);
    EXPECT_EQ(back.printingOn, 1u);
    EXPECT_EQ(back.colourPrinting, 0u);
    for (auto [on, colour, index] : {std::tuple{0, 1, 2}, std::tuple{1, 1, 0}, std::tuple{1, 0, 1}}) {
        page.FromRecord(record, static_cast<uint16_t>(on), static_cast<uint16_t>(colour));
        EXPECT_EQ(page.m_printer, index);
    }
}

// Names longer than their fields are cut and always terminated.
TEST(PrinterSetup, LongNamesAreCutToTheirFields) {
    CUserPrefs record{};
    std::memset(&record, 'x', sizeof record);
    DEVMODE dm{};
    dm.dmSize = sizeof(DEVMODE);
    std::strcpy(dm.dmDeviceName, "Kontor");
    const std::string driver(40, 'D'), device(40, 'N'), port(40, 'P');
    StorePrinterSetup(record, &dm, driver.c_str(), device.c_str(), port.c_str());
    EXPECT_EQ(std::string(record.printerDriver), std::string(12, 'D'));
    EXPECT_EQ(std::string(record.printerDevice), std::string(31, 'N'));
    EXPECT_EQ(std::string(record.printerPort), std::string(31, 'P'));
    EXPECT_EQ(std::memcmp(record.printerSetup, &dm, sizeof dm), 0);
    EXPECT_EQ(record.fill119[0], 'x') << "nothing written past the port's field";
    StorePrinterSetup(record, nullptr, "LPSPOOL", "Hemma", "CUPS:");
    EXPECT_STREQ(record.printerDriver, "LPSPOOL");
    EXPECT_STREQ(record.printerDevice, "Hemma");
    EXPECT_STREQ(record.printerPort, "CUPS:");
}

class TwoPrinters : public plat::IPrintSpooler {
public:
    std::vector<std::string> Printers() override { return {"Kontor", "Hemma"}; }
    std::string DefaultPrinter() override { return "Hemma"; }
    bool Submit(const std::string&, const std::string&, const std::vector<std::filesystem::path>&, int,
                std::string*) override {
        return true;
    }
};

// The printer set-up writes the chosen printer straight into the sheet's record; Cancel none.
TEST_F(Preferences, PrinterSetUpWritesTheChosenPrinterIntoTheRecord) {
    plat::SetPrintSpooler(std::make_unique<TwoPrinters>());
    for (int button : {IDCANCEL, IDOK}) {
        CUserPrefs record = Record(1, 50);
        RunSheet(record, [&](CAdultSheet&) {
            ClickItem(10, kPrintColour);
            ClickItem(30, kPrinterSetup);
            ClickItem(80, button);
        });
        if (button == IDOK) {
            EXPECT_STREQ(record.printerDevice, "Hemma");
            EXPECT_STREQ(record.printerDriver, plat::kSpoolerDriver);
            EXPECT_STREQ(record.printerPort, plat::kSpoolerPort);
            const auto* dm = reinterpret_cast<const DEVMODE*>(record.printerSetup);
            EXPECT_EQ(dm->dmSize, sizeof(DEVMODE));
            EXPECT_STREQ(dm->dmDeviceName, "Hemma");
        } else {
            EXPECT_STREQ(record.printerDevice, "");
        }
    }
}

TEST_F(Preferences, GoldenPageAndOptionsDialog) {
    CUserPrefs record = Record(1, 57);
    record.scanSpeed = 12;
    RunSheet(record, [&](CAdultSheet&) {
        // Printing as the running game has it: off here, whatever ran before.
        ClickItem(5, kPrintOff);
        Later(30, [] { adulttest::CheckGolden("adult_preferences_page.png"); });
        ClickItem(40, kOptions);
        Later(80, [] { adulttest::CheckGolden("adult_options_dialog.png"); });
        ClickItem(100, IDCANCEL);
    });
}

}  // namespace
