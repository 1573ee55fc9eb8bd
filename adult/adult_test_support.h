// What the grown-ups' tests share: the dialogs' test fixture (a fresh headless back end, an
// emulated drive, real message boxes answered from the script, scripted keys and clicks in
// virtual time, the golden-image comparison) with the section's templates, pictures and strings;
// and the sheet over a started engine with a player tree (SheetOnEngine).
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "adult/adult_sheet.h"
#include "engine/base/standin_table.h"
#include "engine/players/player_list.h"
#include "engine/players/player_roster.h"
#include "engine/players/prefs_file.h"
#include "engine/toolbox/activity_test_support.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/dialogs/dialogs_test_support.h"

namespace adulttest {

using dialogs_test::CheckGolden;

// Ends a modal dialog from a scripted action; the posted message wakes its loop.
template <class Dialog>
void EndModal(Dialog& dialog, int code) {
    dialog.EndDialog(code);
    ::PostMessage(dialog.m_hWnd, WM_NULL, 0, 0);
}

inline const plat::StringEntry kSheetStrings[] = {{61279, u8"Vuxenavdelning"}, {61232, u8"Gäst"}};

// The dialogs' own test fixture (platform/dialogs) with the section's resources and Windows 95
// reported; adds mouse events at a window's client points.
class AdultTest : public dialogs_test::DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        plat::SetReportedVersion(plat::kVersionWin95);
        plat::RegisterStringTable(kSheetStrings);
        RegisterAdultSheetTemplates();
    }
    void TearDown() override {
        DialogsTest::TearDown();
        plat::SetReportedVersion(plat::kVersionWin95);
    }

    // A mouse event at a point of a window's client area.
    void Mouse(uint64_t dt, plat::InputKind kind, HWND window, int x, int y) {
        POINT p{x, y};
        ClientToScreen(window, &p);
        plat::InputEvent ev;
        ev.kind = kind;
        ev.x = p.x;
        ev.y = p.y;
        m_head->QueueInput(At(dt), ev);
    }
    void ClickIn(uint64_t dt, HWND window, int x, int y) {
        POINT p{x, y};
        ClientToScreen(window, &p);
        m_head->Click(At(dt), p.x, p.y);
    }
    template <class Dialog>
    static void End(Dialog& dialog, int code) {
        EndModal(dialog, code);
    }
};

inline constexpr size_t kRecordSize = 284;
inline constexpr uint16_t kAnnasLevel = 20;  // the first level of Ruduridodu's step 6

// The sheet over a started engine and a player tree of its own: the guest (current), Anna
// (whose file holds Ruduridodu's level kAnnasLevel) and Bo.
class SheetOnEngine : public activitytest::ActivityTest {
protected:
    void SetUp() override {
        ActivityTest::SetUp();
        plat::ClearDialogTemplates();
        plat::ClearPictureResources();
        plat::InstallDialogs();
        plat::RegisterStringTable(adulttest::kSheetStrings);
        RegisterAdultSheetTemplates();
        UseModuleFile(1, EnteredModuleFile(1));
        EnterModule(1, &m_home);
        // Anna and Bo beside the guest; Anna's file holds a level of her own.
        CPlayerRoster roster;
        roster.Load();
        ASSERT_GT(roster.Add("Anna"), 0);
        ASSERT_GT(roster.Add("Bo"), 0);
        ActivitySettings& block = SettingsBlock();
        const ActivitySettings guests = block;
        *block.LevelOf(3) = kAnnasLevel;
        ASSERT_EQ(WriteUserPrefsFor(roster.Entry(roster.IndexOf("Anna"))), 1);
        block = guests;
    }
    void TearDown() override {
        ActivityTest::TearDown();
        plat::ClearPictureResources();
        AfxDeleteTempMaps();
    }

    // The player's preference file.
    static std::vector<uint8_t> FileOf(const std::string& name) {
        char folder[260] = {}, file[64] = {};
        if (!GetPlayerPrefsPath(name.c_str(), folder, sizeof folder) || !GetPrefsFileName(file, sizeof file)) return {};
        const auto path = plat::ResolveDosPath(std::string(folder) + file);
        if (!path) return {};
        std::ifstream in(*path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    static bool WriteFileOf(const std::string& name, const std::vector<uint8_t>& bytes) {
        char folder[260] = {}, file[64] = {};
        if (!GetPlayerPrefsPath(name.c_str(), folder, sizeof folder) || !GetPrefsFileName(file, sizeof file)) return false;
        const auto path = plat::ResolveDosPath(std::string(folder) + file);
        if (!path) return false;
        std::ofstream out(*path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out);
    }
    static ActivitySettings BlockOf(const std::string& name) {
        const std::vector<uint8_t> bytes = FileOf(name);
        ActivitySettings block{};
        if (bytes.size() >= kRecordSize + sizeof block) std::memcpy(&block, bytes.data() + kRecordSize, sizeof block);
        return block;
    }

    uint64_t At(uint64_t dt) const { return head->NowMs() + dt; }
    void Later(uint64_t dt, std::function<void()> fn) { head->At(At(dt), std::move(fn)); }
    void ClickItem(uint64_t dt, int id) {
        Later(dt, [this, id] {
            HWND c = plat::FindDialogItem(plat::ActiveDialog(), id);
            ASSERT_NE(c, nullptr) << "no control " << id;
            const POINT p = plat::ControlCentre(c);
            head->Click(At(1), p.x, p.y);
        });
    }
    // Runs the sheet on the engine's block with a page shown (the activity page unless said);
    // steps run on it; unless endCode says the steps end it, Escape ends it at `end`.
    int RunSheet(const std::function<void(CAdultSheet&)>& steps, int endCode = IDCANCEL, uint64_t end = 500,
                 int page = 1, bool launcher = false) {
        CAdultSheet sheet(launcher ? TRUE : FALSE, 61279, nullptr, 0);
        sheet.SetUserSettings(&m_record, &SettingsBlock());
        head->PushAnswer(plat::kMessageBoxInteractive);
        Later(10, [&sheet, page] { sheet.SetActivePage(page); });
        Later(20, [&] { steps(sheet); });
        if (endCode == IDCANCEL) Later(end, [&] { adulttest::EndModal(sheet, IDCANCEL); });
        return static_cast<int>(sheet.DoModal());
    }
    static std::vector<std::string> BoxItems(CAdultSheet& sheet) {
        std::vector<std::string> items;
        CComboBox& box = sheet.m_activityPage.m_playerBox;
        for (int i = 0; i < box.GetCount(); ++i) {
            CString text;
            box.GetLBText(i, text);
            items.emplace_back(static_cast<const char*>(text));
        }
        return items;
    }
    // Two steps right on the Ruduridodu slider: step 3, whose first level is 10.
    void RuduridoduToStepThree(CAdultSheet& sheet, uint64_t dt) {
        Later(dt, [&sheet] { ::SetFocus(sheet.m_activityPage.Slider(0).m_hWnd); });
        head->Key(At(dt + 5), VK_RIGHT);
        head->Key(At(dt + 10), VK_RIGHT);
    }

    ModuleFunctionTable m_home = MakeStandInTable({0, 2, 6, 7, 9, 14, 15});
    CUserPrefs m_record{};
};

}  // namespace adulttest
