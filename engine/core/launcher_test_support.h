// Writes the child launcher's files for tests: the swap file, the launcher's program file
// (its size tells the generation), the grown-up folder and its child list.
#pragma once

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/launcher.h"

struct LauncherFiles {
    std::string folder = "C:\\ZADARO";  // as the swap file names it (a DOS path)
    bool newer = true;
    uint8_t adultFlag = 0;
    uint16_t adultNumber = 1;
    LauncherChild current{};
    std::vector<LauncherChild> children;
    int extraListBytes = 0;      // bytes after the last record of the list (a torn list)
    int listCountOverride = -1;  // the count "KIDNAMES.INF" claims, when not the real one
    bool makeAdultFolder = true;
};

inline LauncherChild MakeLauncherChild(const std::string& first, const std::string& last, uint16_t number) {
    LauncherChild child{};
    std::memcpy(child.firstName, first.data(), std::min(first.size(), sizeof child.firstName));
    std::memcpy(child.lastName, last.data(), std::min(last.size(), sizeof child.lastName));
    child.number = number;
    return child;
}

// swapHost: the host path of the swap file; launcherHost: the host folder the DOS folder
// names. Returns the host path of the grown-up folder.
inline std::filesystem::path WriteLauncherFiles(const std::filesystem::path& swapHost,
                                                const std::filesystem::path& launcherHost, const LauncherFiles& f) {
    namespace fs = std::filesystem;
    std::string swap(kLauncherSwapChildOffset + sizeof(LauncherChild) + 16, '\x5A');
    std::memset(swap.data(), 0, kLauncherSwapFolderSize);
    std::memcpy(swap.data(), f.folder.data(), std::min(f.folder.size(), kLauncherSwapFolderSize));
    swap[kLauncherSwapAdultFlagOffset] = static_cast<char>(f.adultFlag);
    swap[kLauncherSwapAdultNumberOffset] = static_cast<char>(f.adultNumber & 0xFF);
    swap[kLauncherSwapAdultNumberOffset + 1] = static_cast<char>(f.adultNumber >> 8);
    std::memcpy(swap.data() + kLauncherSwapChildOffset, &f.current, sizeof f.current);
    fs::create_directories(swapHost.parent_path());
    std::ofstream(swapHost, std::ios::binary) << swap;

    fs::create_directories(launcherHost);
    std::ofstream(launcherHost / "ZADARO.EXE", std::ios::binary)
        << std::string(static_cast<size_t>(kLauncherNewerExeSize + (f.newer ? 1 : 0)), 'M');
    const unsigned adult = f.adultNumber ? f.adultNumber : 1;
    const fs::path adultFolder =
        launcherHost / ((f.newer || f.adultFlag) ? "AD" + std::to_string(adult) : std::string("ADULT"));
    if (!f.makeAdultFolder) return adultFolder;
    fs::create_directories(adultFolder);
    std::string list;
    if (f.newer) {
        const uint16_t count =
            f.listCountOverride >= 0 ? static_cast<uint16_t>(f.listCountOverride) : static_cast<uint16_t>(f.children.size());
        list.push_back(static_cast<char>(count & 0xFF));
        list.push_back(static_cast<char>(count >> 8));
        for (const LauncherChild& c : f.children) list.append(reinterpret_cast<const char*>(&c), sizeof c);
    } else {
        for (const LauncherChild& c : f.children) {
            list.append(reinterpret_cast<const char*>(&c), sizeof c);
            list.append(kLauncherStudentRecordSize - sizeof c, '\x11');
        }
    }
    list.append(static_cast<size_t>(f.extraListBytes), '\x22');
    std::ofstream(adultFolder / (f.newer ? "KIDNAMES.INF" : "STUDENT.INF"), std::ios::binary) << list;
    return adultFolder;
}
