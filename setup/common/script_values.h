// The values a script sets and its placeholders read: the header values, the folders the run
// works with, and the program's flags. Defaults are those a run starts with.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace setup {

inline constexpr size_t kFinalItemSlots = 10;

struct ScriptValues {
    // Header values.
    std::string splashTitle;
    std::string splashArtBmp = "bkgnd.bmp";
    int32_t splashX = 0;  // percent of the screen
    int32_t splashY = 0;
    std::string productName;
    std::string productVersion;
    std::string productExe;  // without ".exe"
    std::string uninstallExe;
    std::string finalDlgExe;  // a command line
    std::string onlineRegExe;
    std::string onlineRegDir;
    int32_t runAutoPlayDlg = 0;
    int32_t runOnlineReg = 0;
    std::string shortProductDir;
    std::string productDir;
    std::string utilityDir;
    int32_t productSize = -1;  // bytes
    std::string creditArtBmp;
    std::string welcomeTitle = " ";
    std::string welcomeMessage = " ";
    int32_t noOverinstall = 0;
    std::string finalText;
    std::array<std::string, kFinalItemSlots> finalItems;
    int32_t finalItemCount = 0;
    std::string tallyValueName;
    std::string overInstallCommand = "OverInstall";

    // Folders. The removal program leaves the source drive and the setup directory empty.
    std::string installDir = "C:\\Program Files";
    std::string sourceDrive;  // "D:"
    std::string windowsDir;
    std::string systemDir;
    std::string tempDir;  // where the script's temporary copy goes
    std::string setupDir;
};

}  // namespace setup
