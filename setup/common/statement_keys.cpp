#include "setup/common/statement_keys.h"

namespace setup {

namespace {

constexpr int32_t H = kHeaderStatement;
constexpr int32_t A = kActionStatement;

// The removal program uses the first 53 rows.
constexpr StatementKeyEntry kRows[kSetwellKeyRows] = {
    {"SplashScreenTitle", kActSplashScreenTitle, H},
    {"SplashScreenArtBmp", kActSplashScreenArtBmp, H},
    {"SplashScreenArtPos", kActSplashScreenArtPos, H},
    {"ProductName", kActProductName, H},
    {"ProductVersion", kActProductVersion, H},
    {"ProductExe", kActProductExe, H},
    {"UninstallExe", kActUninstallExe, H},
    {"FinalDlgExe", kActFinalDlgExe, H},
    {"OnlineRegExe", kActOnlineRegExe, H},
    {"OnlineRegDir", kActOnlineRegDir, H},
    {"RunAutoPlayDlg", kActRunAutoPlayDlg, H},
    {"RunOnlineReg", kActRunOnlineReg, H},
    {"ShortProductDir", kActShortProductDir, H},
    {"ProductDir", kActProductDir, H},
    {"UtilityDir", kActUtilityDir, H},
    {"ProductSize", kActProductSize, H},
    {"CreditArtBmp", kActCreditArtBmp, H},
    {"WelcomeDialogTitle", kActWelcomeDialogTitle, H},
    {"WelcomeDialogMessage", kActWelcomeDialogMessage, H},
    {"WelcomeDialog", kActWelcomeDialog, A},
    {"Disk", kActDisk, A},
    {"File95", kActFile95, A},
    {"File31", kActFile31, A},
    {"File", kActFile, A},
    {"NoOverinstall", kActNoOverinstall, H},
    {"StartMenuRoot", kActStartMenuRoot, A},
    {"StartMenu95", kActStartMenu95, A},
    {"StartMenu31", kActStartMenu31, A},
    {"StartMenu", kActStartMenu, A},
    {"Internet", kActInternet, A},
    {"IniFile95", kActIniFile95, A},
    {"RegistryEntryHex", kActRegistryEntryHex, A},
    {"RegistryEntry95", kActRegistryEntry95, A},
    {"RegistryEntry31", kActRegistryEntry31, A},
    {"RegistryEntry", kActRegistryEntry, A},
    {"FinalText", kActFinalText, H},
    {"FinalItem", kActFinalItem, H},
    {"InstallRunMsg", kActInstallRunMsg, A},
    {"InstallRunDX", kActInstallRunDX, A},
    {"InstallRun", kActInstallRun, A},
    {"InstallDelTree", kActInstallDelTree, A},
    {"InstallErase", kActInstallErase, A},
    {"InstallReboot", kActInstallReboot, A},
    {"UninstallRunMsg", kActUninstallRunMsg, A},
    {"UninstallRun", kActUninstallRun, A},
    {"UninstallDelTree", kActUninstallDelTree, A},
    {"UninstallErase", kActUninstallErase, A},
    {"UninstallIniCopy", kActUninstallIniCopy, A},
    {"UninstallIniEntry", kActUninstallIniEntry, A},
    {"UninstallKillIniEntry", kActUninstallKillIniEntry, A},
    {"UninstallRegistryEntry", kActUninstallRegistryEntry, A},
    {"UninstallAnyRegistryEntry", kActUninstallAnyRegistryEntry, A},
    {"UninstallVersionZelbo", kActUninstallVersionZelbo, H},
    {"OverInstallCommand", kActOverInstallCommand, H},
};

}  // namespace

std::span<const StatementKeyEntry> StatementKeyTable(ScriptProgram program) {
    return {kRows, program == ScriptProgram::kSetwell ? kSetwellKeyRows : kRemblyKeyRows};
}

}  // namespace setup
