// libFuzzer target: any bytes as a module resource file. Open, look up every entry and
// some absent keys, and read every item in pieces, on Windows 95 and through the Win32s
// read-ahead cache; reads must stay within the input.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/res/read_error_prompt.h"
#include "media/res/res_mgr.h"
#include "platform/core/winuser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnableReadErrorPrompt(false);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("F.RES", std::vector<uint8_t>(data, data + size));

    for (const DWORD version : {plat::kVersionWin95, plat::kVersionWin32s}) {
        plat::SetReportedVersion(version);
        CResMgr mgr;
        mgr.SetFileSystem(files);
        if (!mgr.Open("F.RES")) continue;
        std::vector<uint8_t> buffer;
        for (ResDirEntry& e : mgr.Entries()) {
            ResDirEntry* found = mgr.FindEntry(e.type, e.id);
            if (!found) continue;  // an unsorted directory hides entries
            found->readPos = 0;
            const uint32_t piece = 1 + found->size / 3;
            buffer.assign(piece, 0);
            while (mgr.LoadItem(buffer.data(), found, piece)) {
            }
            const uint32_t left = found->size - found->readPos;
            buffer.assign(left + 1, 0);
            mgr.LoadItem(buffer.data(), found, left);
            found->readPos = 0;
            mgr.LoadItem(buffer.data(), found, 1);
            mgr.LoadItem(buffer.data(), found, left + 1);
        }
        for (const uint32_t type : {kResSPR, kResPAL, kResIST, 0u, 0xFFFFFFFFu}) {
            for (const uint32_t id : {0u, 1u, 2000u, 65535u, 0xFFFFFFFFu}) mgr.FindEntry(type, id);
        }
        mgr.Close();
    }
    plat::SetReportedVersion(plat::kVersionWin95);
    return 0;
}
