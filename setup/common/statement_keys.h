// The keys of the setup script language: one row per statement kind, matched as prefixes in
// table order, so that a longer key ("File95") comes before a shorter one it starts with
// ("File"). Both programs share rows 0 to 52; row 53 exists only in the setup program.
#pragma once

#include <cstdint>
#include <span>

namespace setup {

struct StatementKeyEntry {
    const char* key;
    int32_t actionId;
    int32_t actionFlag;  // kActionStatement: runs only in passes 1 and 2; kHeaderStatement: every pass
};

inline constexpr int32_t kHeaderStatement = 0;
inline constexpr int32_t kActionStatement = 1;

enum class ScriptProgram { kSetwell, kRembly };

inline constexpr size_t kSetwellKeyRows = 54;
inline constexpr size_t kRemblyKeyRows = 53;

// The program's rows, in matching order.
std::span<const StatementKeyEntry> StatementKeyTable(ScriptProgram program);

// Action ids (the ids, not the rows: several rows are out of id order).
enum ActionId : int32_t {
    kActSplashScreenTitle = 0,
    kActSplashScreenArtBmp = 1,
    kActSplashScreenArtPos = 2,
    kActProductName = 3,
    kActProductVersion = 4,
    kActProductExe = 5,
    kActUninstallExe = 6,
    kActFinalDlgExe = 7,
    kActOnlineRegExe = 8,
    kActRunAutoPlayDlg = 9,
    kActRunOnlineReg = 10,
    kActOnlineRegDir = 11,
    kActShortProductDir = 12,
    kActProductDir = 13,
    kActUtilityDir = 14,
    kActProductSize = 15,
    kActCreditArtBmp = 16,
    kActWelcomeDialog = 17,
    kActWelcomeDialogTitle = 18,
    kActWelcomeDialogMessage = 19,
    kActDisk = 20,
    kActFile95 = 21,
    kActFile31 = 22,
    kActFile = 23,
    kActNoOverinstall = 24,
    kActStartMenuRoot = 25,
    kActStartMenu95 = 26,
    kActStartMenu31 = 27,
    kActStartMenu = 28,
    kActInternet = 29,
    kActIniFile95 = 30,
    kActRegistryEntryHex = 31,
    kActRegistryEntry95 = 32,
    kActRegistryEntry31 = 33,
    kActRegistryEntry = 34,
    kActFinalText = 35,
    kActFinalItem = 36,
    kActInstallRunMsg = 37,
    kActInstallRunDX = 38,
    kActInstallRun = 39,
    kActInstallDelTree = 40,
    kActInstallErase = 41,
    kActInstallReboot = 42,
    kActUninstallDelTree = 43,
    kActUninstallErase = 44,
    kActUninstallIniCopy = 45,
    kActUninstallIniEntry = 46,
    kActUninstallKillIniEntry = 47,
    kActUninstallRunMsg = 48,
    kActUninstallRun = 49,
    kActUninstallRegistryEntry = 50,
    kActUninstallAnyRegistryEntry = 51,
    kActUninstallVersionZelbo = 52,
    kActOverInstallCommand = 53,
};
inline constexpr int32_t kActionIdCount = 54;

}  // namespace setup
