// A service that hears of files deleted through DeleteFileA (the shell removes a shortcut's
// desktop entry with its ".lnk" file). Installed once at start (plat::InitPlatform).
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace plat {

class IDeleteFileObserver {
public:
    virtual ~IDeleteFileObserver() = default;
    // Called before a file is deleted (dosPath normalised, host its host path); the action
    // returned, if any, runs once the file is gone. Nothing runs when the deletion fails.
    virtual std::function<void()> Deleting(const std::string& dosPath, const std::filesystem::path& host) = 0;
};

// Null removes the observer.
void SetDeleteFileObserver(IDeleteFileObserver* observer);

}  // namespace plat
