#include "setup/setwell/file_install.h"

#include <cstdio>

#include "platform/afx/afx_string.h"
#include "platform/afx/string_table.h"
#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/msgbox/msgbox.h"
#include "platform/profile/profile.h"
#include "platform/registry/registry.h"
#include "platform/version/ver_install.h"
#include "setup/common/install_paths.h"
#include "setup/common/script_text.h"
#include "setup/setwell/setwell_app.h"
#include "setup/setwell/setwell_strings.h"

namespace setup {

namespace {

constexpr char kScriptName[] = "Product.Dat";
constexpr UINT kPathBuffer = MAX_PATH;

std::string Format(UINT id, const char* s1, const char* s2 = nullptr) {
    CString text;
    const LPCSTR strings[] = {s1, s2};
    AfxFormatStrings(text, id, strings, 2);
    return text.Str();
}

bool FileThere(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The whole text of WinInit.ini as the text-mode runtime reads it; empty when it is missing.
std::string ReadWinInit(const std::string& path) {
    std::string text;
    if (FILE* in = plat::fopen_dos(path.c_str(), "r")) {
        char chunk[4096];
        size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, n);
        std::fclose(in);
    }
    return text;
}

// Adds one to the 4-byte count of a value under HKEY_LOCAL_MACHINE (1 when it is missing).
void RaiseSharedCount(CSetwellApp& app, const std::string& valueName) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        app.FatalStop(kIdsCannotCreateKey, kSharedDllsKey);
    uint8_t data[kPathBuffer] = {};
    DWORD length = sizeof data;
    DWORD type = 0;
    uint32_t count = 1;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, data, &length) == ERROR_SUCCESS) {
        count = CountOfValue(data, length) + 1;
    } else {
        length = 4;
    }
    length = std::max<DWORD>(length, 4);
    for (int i = 0; i < 4; ++i) data[i] = static_cast<uint8_t>(count >> (8 * i));
    if (RegSetValueExA(key, valueName.c_str(), 0, REG_BINARY, data, length) != ERROR_SUCCESS) {
        RegCloseKey(key);
        app.FatalStop(kIdsCannotSetValue, kSharedDllsKey);
    }
    RegCloseKey(key);
}

struct ResultRow {
    DWORD bits;
    UINT id;
    bool fatal;
    bool takesPath;
};

// In the order they are looked at; notices go on, the rest end the installation.
constexpr ResultRow kResultRows[] = {
    {VIF_MISMATCH | VIF_DIFFTYPE | VIF_DIFFCODEPG, kIdsUnknownInstallError, false, false},
    {VIF_FILEINUSE, kIdsFileInUse, false, true},
    {VIF_OUTOFSPACE, kIdsDiskFull, true, false},
    {VIF_ACCESSVIOLATION, kIdsAccessViolation, true, true},
    {VIF_SHARINGVIOLATION, kIdsSharingViolation, true, true},
    {VIF_CANNOTCREATE, kIdsCannotCreate, true, true},
    {VIF_CANNOTDELETE, kIdsCannotDelete, true, true},
    {VIF_CANNOTDELETECUR, kIdsCannotDelete, true, true},
    {VIF_CANNOTRENAME, kIdsCannotRename, true, true},
    {VIF_OUTOFMEMORY, kIdsOutOfMemory, true, false},
    {VIF_CANNOTREADSRC, kIdsCannotRead, true, true},
    {VIF_CANNOTREADDST, kIdsCannotRead, true, true},
};

}  // namespace

std::string TemporaryInstallName(const std::string& directory, const std::string& name, const std::string& winInit) {
    const std::string stem = name.substr(0, name.find('.'));
    for (unsigned n = 0;; ++n) {
        const std::string candidate = stem + (n ? std::to_string(n) : std::string()) + ".tmp";
        const std::string full = directory + "\\" + candidate;
        if (!FileThere(full) && !IsRenameSource(winInit, full)) return candidate;
    }
}

void ParseFileStatement(CSetwellApp& app, const ScriptFields& fields) {
    const std::string& source = fields[0];
    const std::string& destination = fields[1];
    std::string flags = fields[2];
    for (char& c : flags) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;

    // Only full paths on the installation's own drive, also where their links lead: Z: is the
    // whole host.
    const bool onC = IsOnInstallDrive(destination);
    if (!fields.Has(1) || source.find('\\') == std::string::npos || destination.find('\\') == std::string::npos ||
        !onC) {
        app.ShowSetupMessage(1, kIdsCannotInstall, source.c_str(), 0, destination.c_str());
        return;
    }
    InstallFile(app, source, destination, flags);
}

void InstallFile(CSetwellApp& app, const std::string& source, const std::string& destination,
                 const std::string& flags) {
    ScriptValues& v = app.Values();
    std::string sourceDir, sourceName, destDir, destName;
    SplitPath(source, sourceDir, sourceName);
    SplitPath(destination, destDir, destName);
    const bool shared = flags.find('D') != std::string::npos;

    app.Windows().SetProgressText(app, Format(kIdsInstalling, destName.c_str()));
    CreateDirectoryPath(destDir);

    std::string targetDir = destDir;
    std::string installName = destName;
    DWORD result = 0;
    if (EqualsNoCase(destName, kScriptName)) {
        // The removal program's copy of the script: always the one of this installation.
        if (FileThere(destination) && !SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL))
            app.FatalStop(kIdsCannotSetAttributes, destination.c_str());
        if (!CopyFileA(source.c_str(), destination.c_str(), FALSE))
            app.FatalStop(kIdsCannotInstall, source.c_str(), destination.c_str());
    } else {
        char current[kPathBuffer] = {};
        char found[kPathBuffer] = {};
        UINT currentLength = sizeof current;
        UINT foundLength = sizeof found;
        const DWORD where = VerFindFileA(shared ? DWORD{VFFF_ISSHAREDFILE} : DWORD{0}, destName.c_str(), v.windowsDir.c_str(),
                                         destDir.c_str(), current, &currentLength, found, &foundLength);
        targetDir = found;

        bool waiting = false;
        // The file is replaced when Windows next starts: the old one deleted, the new one
        // installed under a temporary name and moved over it.
        const auto replaceAtBoot = [&] {
            const std::string finalPath = targetDir + "\\" + destName;
            ScheduleDeleteAtBoot(app.Script(), finalPath);
            const std::string winInit = WinInitPath(app.Script());
            installName = TemporaryInstallName(targetDir, destName, ReadWinInit(winInit));
            const std::string tempPath = targetDir + "\\" + installName;
            WritePrivateProfileStringA("rename", finalPath.c_str(), tempPath.c_str(), winInit.c_str());
            waiting = true;
        };
        if (where & VFF_FILEINUSE) replaceAtBoot();

        char temp[kPathBuffer] = {};
        const auto install = [&] {
            const bool joined = (!targetDir.empty() && targetDir.back() == '\\') || sourceName.starts_with('\\');
            const std::string tempPath = targetDir + (joined ? "" : "\\") + sourceName;
            if (FileThere(tempPath) && !SetFileAttributesA(tempPath.c_str(), FILE_ATTRIBUTE_NORMAL))
                app.FatalStop(kIdsCannotSetAttributes, tempPath.c_str());
            std::snprintf(temp, sizeof temp, "%s", tempPath.c_str());
            UINT tempLength = sizeof temp;
            return VerInstallFileA(VIFF_DONTDELETEOLD, sourceName.c_str(), installName.c_str(), sourceDir.c_str(),
                                   targetDir.c_str(), current, temp, &tempLength);
        };
        result = install();
        // A problem with the removal program's own file (it may be running) is passed over.
        if (result != 0 && destName == v.uninstallExe) {
            if (result & VIF_TEMPFILE) DeleteFileA(temp);
            return;
        }
        if (result & (VIF_MISMATCH | VIF_ACCESSVIOLATION)) {
            // The copy the first attempt left goes before the second attempt names another.
            if (result & VIF_TEMPFILE) DeleteFileA(temp);
            if (!waiting) replaceAtBoot();
            result = install();
        }
        if (result & VIF_TEMPFILE) DeleteFileA(temp);
    }

    const std::string installedPath = targetDir + "\\" + installName;
    for (const ResultRow& row : kResultRows) {
        if (!(result & row.bits)) continue;
        const std::string text = Format(row.id, row.takesPath ? installedPath.c_str() : destName.c_str());
        if (row.fatal) app.FatalStop(text);
        app.ShowSetupMessage(1, text, 0);
    }

    // Attributes go on the file as it is now (the temporary copy while it waits); the shared
    // count is kept under the final path, the one the removal program lowers.
    DWORD attributes = 0;
    if (flags.find('R') != std::string::npos) attributes |= FILE_ATTRIBUTE_READONLY;
    if (flags.find('H') != std::string::npos) attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (attributes && !SetFileAttributesA(installedPath.c_str(), attributes))
        app.ShowSetupMessage(2, kIdsCannotSetAttributes, installedPath.c_str(), 0);
    if (shared) RaiseSharedCount(app, targetDir + "\\" + destName);
}

void CheckDiskLabel(CSetwellApp& app, const ScriptFields& fields) {
    const std::string& wanted = fields[0];
    const std::string& diskName = fields[1];
    const std::string& drive = app.Values().sourceDrive;
    const std::string root = drive + "\\";
    const std::string prompt = Format(kIdsInsertDisk, diskName.c_str(), drive.c_str());
    for (;;) {
        char label[13] = {};
        if (!GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
            app.FatalStop(kIdsNoVolumeInformation, root.c_str());
        if (EqualsNoCase(label, wanted)) return;
        if (app.ShowSetupMessage(0, prompt, MB_OKCANCEL) != IDOK) app.FatalStop(kIdsInstallCancelled);
        app.Windows().FocusProgress(app);
    }
}

}  // namespace setup
