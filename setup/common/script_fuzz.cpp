// Reads arbitrary bytes as a script and runs every pass of both programs over it twice: once
// into recording actions, parsing every recorded statement's fields as the handlers do (the
// registry key path and the hex bytes of each field), and once into the shared handlers on a
// scratch installation (tree deletes, erasures, the checks of programs, shortcut targets and
// INI files, WinInit.ini's lines applied as the next start of Windows applies them) with a
// canary folder beside it, which must stay byte for byte as it was. A damaged script must end
// in the fatal stop (thrown here), never in a crash, a hang, an overrun or a touched canary.
#include <stdlib.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/process/process.h"
#include "platform/profile/profile.h"
#include "setup/common/install_paths.h"
#include "setup/common/product_dat.h"
#include "setup/common/program_run.h"
#include "setup/common/recording_actions.h"
#include "setup/common/registry_text.h"
#include "setup/common/statement_keys.h"
#include "setup/common/tree_delete.h"

namespace {

namespace fs = std::filesystem;

struct Stopped {};

class CThrowingHost : public setup::CScriptHost {
public:
    int ShowSetupMessage(int, const std::string&, UINT) override { return 1; }
    void FatalStop(const std::string&) override { throw Stopped{}; }
};

// The scratch installation: C:\ and a CD beside a canary folder, and links that lead out.
struct Scratch {
    fs::path top, root, cd, canary;
    std::map<std::string, std::string> canaryBefore;

    static void Put(const fs::path& p, const std::string& text) {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    }
    std::map<std::string, std::string> CanaryNow() const {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::recursive_directory_iterator(canary)) {
            std::string what = e.is_symlink() ? "link" : e.is_directory() ? "dir" : "file:";
            if (e.is_regular_file() && !e.is_symlink()) {
                std::ifstream in(e.path(), std::ios::binary);
                what += std::string((std::istreambuf_iterator<char>(in)), {});
            }
            out[e.path().string()] = what;
        }
        return out;
    }
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "zelbo-script-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        top = pattern;
        root = top / "c";
        cd = top / "cd";
        canary = top / "canary";
        Put(canary / "family.txt", "the family's letters");
        Put(canary / "deep" / "photo.jpg", "photo");
        Put(cd / "KELVAT" / "DATA.TXT", "data");
        canaryBefore = CanaryNow();
        plat::SetCdromFolders({cd});
    }
    // A fresh installation for each input: the product, and links to the canary and the
    // Windows folder where a script might aim.
    void Reset() {
        std::error_code ec;
        fs::remove_all(root, ec);
        plat::SetEmulatedRoot(root);
        plat::EmulatedRoot();
        Put(root / "Spel" / "Zelbo" / "ZELBO.EXE", "exe");
        Put(root / "WINDOWS" / "SYSTEM" / "KEEP.DLL", "keep");
        fs::create_directory_symlink(canary, root / "Spel" / "Ut", ec);
        fs::create_directory_symlink(root / "WINDOWS", root / "Spel" / "W", ec);
        fs::create_symlink(canary / "family.txt", root / "Spel" / "Brev.txt", ec);
        plat::SetCurrentDosDirectory("C:\\Spel");
    }
};

Scratch& TheScratch() {
    static Scratch* scratch = [] {
        auto* made = new Scratch;
        // The scratch folders go when the fuzzer ends.
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(TheScratch().top, ec);
        });
        return made;
    }();
    return *scratch;
}

// The shared handlers of both programs, and the checks that guard the programs' own.
class CScratchActions : public setup::CStatementActions {
public:
    void RunAction(setup::CProductDat& script, setup::StatementCall& call) override {
        const setup::ScriptFields& f = call.fields;
        switch (call.row.actionId) {
            case setup::kActInstallDelTree:
            case setup::kActUninstallDelTree: setup::DeleteTree(script, call.value); return;
            case setup::kActInstallErase:
            case setup::kActUninstallErase: setup::EraseFile(script, f[0]); return;
            case setup::kActInstallRun:
            case setup::kActInstallRunDX:
            case setup::kActUninstallRun: setup::RequireProgramOnInstallOrCd(script, call.value); return;
            case setup::kActInstallRunMsg:
            case setup::kActUninstallRunMsg: setup::RequireProgramOnInstallOrCd(script, f[2]); return;
            case setup::kActStartMenu:
            case setup::kActStartMenu95:
                if (!setup::IsOnInstallOrCdDrive(f[1])) throw Stopped{};
                return;
            case setup::kActIniFile95: {
                const std::string file = f.Has(3) ? f[3] : std::string("Quorva.ini");
                if ((file.find_first_of("\\/") != std::string::npos && !setup::IsOnInstallDrive(file)) ||
                    setup::NamesWinInit(script, file))
                    throw Stopped{};
                WritePrivateProfileStringA(f[0].c_str(), f.Has(1) ? f[1].c_str() : nullptr,
                                           f.Has(2) ? f[2].c_str() : nullptr, file.c_str());
                return;
            }
            case setup::kActFile:
            case setup::kActFile95:
                if (!f.Has(1) || !setup::IsOnInstallDrive(f[1])) return;
                if (setup::NamesWinInit(script, f[1])) return;
                CopyFileA(f[0].c_str(), f[1].c_str(), FALSE);
                setup::ScheduleDeleteAtBoot(script, f[1]);
                return;
            default: return;
        }
    }
};

// Every pass of one program, up to its fatal stop.
void RunPasses(setup::CProductDat& script, bool removal) {
    try {
        for (int pass = 0; pass <= (removal ? 1 : 2); ++pass) {
            if (removal) {
                script.ProcessProductDatForRemoval(pass);
            } else {
                script.ProcessProductDat(pass);
            }
        }
    } catch (const Stopped&) {
    }
}

void RunOnScratch(const std::string& text, bool removal) {
    Scratch& scratch = TheScratch();
    scratch.Reset();
    CThrowingHost host;
    CScratchActions actions;
    setup::CProductDat script(host, &actions);
    script.Values().installDir = "C:\\Spel";
    script.Values().windowsDir = "C:\\WINDOWS";
    script.Values().systemDir = "C:\\WINDOWS\\SYSTEM";
    script.Values().tempDir = "C:\\WINDOWS\\TEMP\\";
    script.Values().sourceDrive = "D:";
    script.UseScriptText(text);
    RunPasses(script, removal);
    plat::ApplyPendingRenames();
    if (scratch.CanaryNow() != scratch.canaryBefore) std::abort();
}

void RunAll(const std::string& text, bool removal) {
    CThrowingHost host;
    setup::CRecordingActions actions;
    setup::CProductDat script(host, &actions);
    script.Values().installDir = "C:\\Program Files\\[InstallDir]";
    script.Values().windowsDir = "C:\\WINDOWS";
    script.UseScriptText(text);
    RunPasses(script, removal);
    std::array<uint8_t, setup::kHexByteBuffer> bytes{};
    for (const setup::CRecordingActions::Record& r : actions.records) {
        for (const std::string& field : r.fields) {
            const size_t count = setup::ParseHexBytes(bytes, field);
            if (count > bytes.size()) std::abort();
            if (setup::RegistryPathOfKey(field).size() < field.size() + 8) std::abort();
        }
        (void)setup::ParseHexBytes(bytes, r.value);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    RunAll(text, false);
    RunAll(text, true);
    RunOnScratch(text, false);
    RunOnScratch(text, true);
    std::array<uint8_t, setup::kHexByteBuffer> bytes{};
    if (setup::ParseHexBytes(bytes, text) > bytes.size()) std::abort();
    return 0;
}
