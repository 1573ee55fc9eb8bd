#include "platform/fs/write_fault.h"

#include <functional>
#include <vector>

#include "platform/fs/fs_test_fixture.h"

namespace fs = std::filesystem;

namespace {

using plat::WriteFault;
using plat::WriteStep;

class WriteFaults : public EmulatedDrives {
protected:
    void TearDown() override {
        plat::SetWriteFaultHook(nullptr);
        EmulatedDrives::TearDown();
    }
};

// Each write-side call asks the hook for its step; refused there, it changes nothing.
struct StepCase {
    const char* name;
    std::function<void(const fs::path& root)> setup;
    std::function<bool()> call;
    WriteStep step;
    std::function<bool(const fs::path& root)> unchanged;
};

bool Has(const fs::path& p) { return fs::exists(fs::symlink_status(p)); }

HANDLE Create(const char* name, DWORD disposition) {
    return CreateFileA(name, GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Created(HANDLE h) {
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

TEST_F(WriteFaults, EachCallAsksForItsStepAndARefusedStepChangesNothing) {
    const auto put = [](const char* n, const char* text) {
        return [=](const fs::path& r) { Put(r / n, text); };
    };
    const auto same = [](const char* n, const char* text) {
        return [=](const fs::path& r) { return Get(r / n) == text; };
    };
    const std::vector<StepCase> cases = {
        {"create a new file", [](const fs::path&) {}, [] { return Created(Create("C:\\new.dat", CREATE_NEW)); },
         WriteStep::CreateFile, [](const fs::path& r) { return !Has(r / "new.dat"); }},
        {"empty an existing file", put("old.dat", "old"), [] { return Created(Create("C:\\old.dat", CREATE_ALWAYS)); },
         WriteStep::SetLength, same("old.dat", "old")},
        {"truncate an existing file", put("old.dat", "old"),
         [] { return Created(Create("C:\\old.dat", TRUNCATE_EXISTING)); }, WriteStep::SetLength, same("old.dat", "old")},
        {"create a folder", [](const fs::path&) {}, [] { return CreateDirectoryA("C:\\Kids", nullptr) != FALSE; },
         WriteStep::CreateFolder, [](const fs::path& r) { return !Has(r / "Kids"); }},
        {"delete a file", put("old.dat", "old"), [] { return DeleteFileA("C:\\old.dat") != FALSE; }, WriteStep::Delete,
         same("old.dat", "old")},
        {"remove a folder", [](const fs::path& r) { fs::create_directories(r / "Kids"); },
         [] { return RemoveDirectoryA("C:\\Kids") != FALSE; }, WriteStep::Delete,
         [](const fs::path& r) { return fs::is_directory(r / "Kids"); }},
        {"move a file", put("a.dat", "a"), [] { return MoveFileA("C:\\a.dat", "C:\\b.dat") != FALSE; }, WriteStep::Rename,
         [](const fs::path& r) { return Get(r / "a.dat") == "a" && !Has(r / "b.dat"); }},
        {"replace a file",
         [](const fs::path& r) {
             Put(r / "a.dat", "a");
             Put(r / "b.dat", "b");
         },
         [] { return MoveFileExA("C:\\a.dat", "C:\\b.dat", MOVEFILE_REPLACE_EXISTING) != FALSE; }, WriteStep::Rename,
         [](const fs::path& r) { return Get(r / "a.dat") == "a" && Get(r / "b.dat") == "b"; }},
        {"stdio creates a file", [](const fs::path&) {},
         [] {
             FILE* f = plat::fopen_dos("C:\\new.txt", "wb");
             if (f) std::fclose(f);
             return f != nullptr;
         },
         WriteStep::CreateFile, [](const fs::path& r) { return !Has(r / "new.txt"); }},
        {"stdio empties a file", put("old.txt", "old"),
         [] {
             FILE* f = plat::fopen_dos("C:\\old.txt", "w");
             if (f) std::fclose(f);
             return f != nullptr;
         },
         WriteStep::SetLength, same("old.txt", "old")},
    };
    for (const StepCase& c : cases) {
        for (const WriteFault fault : {WriteFault::Fail, WriteFault::Kill}) {
            SCOPED_TRACE(c.name);
            fs::remove_all(root);
            fs::create_directories(root);
            c.setup(root);
            plat::CWriteFaultPlan plan(0, fault);
            plat::CWriteFaultScope scope(&plan);
            EXPECT_FALSE(c.call());
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
            ASSERT_EQ(plan.Seen().size(), 1u);
            EXPECT_EQ(plan.Seen()[0], c.step);
            EXPECT_TRUE(c.unchanged(root));
            EXPECT_EQ(plat::WritesKilled(), fault == WriteFault::Kill);
        }
        // Without a fault the same call goes through.
        fs::remove_all(root);
        fs::create_directories(root);
        c.setup(root);
        plat::CWriteFaultPlan counter;
        plat::CWriteFaultScope scope(&counter);
        EXPECT_TRUE(c.call()) << c.name;
        EXPECT_EQ(counter.Steps(), 1) << c.name;
    }
}

// The way a careful program replaces a file: a temporary file written, flushed and renamed
// over the old one. Whatever step fails or is killed, the file holds the old or the new bytes.
bool ReplaceByRename(const char* temp, const char* file, std::string_view bytes) {
    HANDLE h = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    const bool written = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
                         put == bytes.size() && FlushFileBuffers(h);
    CloseHandle(h);
    if (!written || !MoveFileExA(temp, file, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temp);
        return false;
    }
    return true;
}

TEST_F(WriteFaults, AReplacementFailedOrKilledAtAnyStepLeavesTheOldFile) {
    const std::string before = "old contents";
    const std::string after = "the new contents, longer";
    plat::CWriteFaultPlan counter;
    {
        Put(root / "prefs.dat", before);
        plat::CWriteFaultScope scope(&counter);
        ASSERT_TRUE(ReplaceByRename("C:\\prefs.tmp", "C:\\prefs.dat", after));
    }
    EXPECT_EQ(counter.Seen(),
              (std::vector<WriteStep>{WriteStep::CreateFile, WriteStep::Write, WriteStep::Flush, WriteStep::Rename}));
    for (int at = 0; at < counter.Steps(); ++at) {
        for (const WriteFault fault : {WriteFault::Fail, WriteFault::Kill}) {
            SCOPED_TRACE(testing::Message() << "step " << at << (fault == WriteFault::Kill ? " killed" : " failed"));
            fs::remove_all(root);
            Put(root / "prefs.dat", before);
            plat::CWriteFaultPlan plan(at, fault);
            {
                plat::CWriteFaultScope scope(&plan);
                EXPECT_FALSE(ReplaceByRename("C:\\prefs.tmp", "C:\\prefs.dat", after));
            }
            EXPECT_TRUE(plan.Hit());
            EXPECT_EQ(Get(root / "prefs.dat"), before);
            // A failure cleans up; a kill stops before the clean-up, and a write it stopped
            // put down only part of the bytes.
            if (fault == WriteFault::Fail || at == 0) {
                EXPECT_FALSE(Exists(root / "prefs.tmp"));
            } else {
                EXPECT_EQ(Get(root / "prefs.tmp"), at == 1 ? after.substr(0, after.size() / 2) : after);
            }
        }
    }
}

TEST_F(WriteFaults, AFailedWriteReportsThePartItPutDown) {
    plat::CWriteFaultPlan plan(1, WriteFault::Fail);
    plat::CWriteFaultScope scope(&plan);
    HANDLE h = Create("C:\\half.dat", CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD put = 99;
    EXPECT_FALSE(WriteFile(h, "abcdefgh", 8, &put, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(put, 4u);
    // The hook failed one step; the next write goes through.
    EXPECT_TRUE(WriteFile(h, "ijkl", 4, &put, nullptr));
    CloseHandle(h);
    EXPECT_EQ(Get(root / "half.dat"), "abcdijkl");
}

}  // namespace
