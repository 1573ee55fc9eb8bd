// A hook for tests that makes the write side of the file calls fail, or stop as if the
// process had been killed, at a chosen step. Asked before each step: creating a file or a
// folder, writing, flushing, setting a file's length, renaming (MoveFile, MoveFileEx,
// CopyFile's final rename) and deleting, here and in plat::ReplaceFileContents (INI files,
// the registry). Without a hook every step goes ahead.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/core/wintypes.h"

namespace plat {

enum class WriteStep : uint8_t { CreateFile, CreateFolder, Write, Flush, SetLength, Rename, Delete };

enum class WriteFault : uint8_t {
    None,  // the step goes ahead
    Fail,  // the step fails as on a full disk (ERROR_DISK_FULL); a write puts down part of its bytes first
    Kill,  // as Fail, and every later step is refused without asking the hook: nothing more
           // reaches the disk, as when the process dies there (clean-up deletions included)
};

class IWriteFaultHook {
public:
    virtual ~IWriteFaultHook() = default;
    // `host` is the host path the step changes (the new name for a rename).
    virtual WriteFault Before(WriteStep step, const std::filesystem::path& host) = 0;
};

// Installs the hook (null: none) for the whole process and ends a kill; returns the hook
// installed before.
IWriteFaultHook* SetWriteFaultHook(IWriteFaultHook* hook);

// For the file calls: asks the hook. True when the step may go on; else false with `error`
// set to the code the step fails with: ERROR_DISK_FULL when the hook failed it now (a write
// then puts down part of its bytes), ERROR_WRITE_FAULT for every step after a kill.
bool WriteStepAllowed(WriteStep step, const std::filesystem::path& host, DWORD* error);
// Whether a Kill has stopped every write since the hook was installed.
bool WritesKilled();

// A hook that counts the steps and answers `fault` at step number `at` (from 0); a negative
// `at` only counts. A test first counts the steps of an operation, then runs it again
// failing or killing each one in turn.
class CWriteFaultPlan : public IWriteFaultHook {
public:
    CWriteFaultPlan(int at = -1, WriteFault fault = WriteFault::None) : m_at(at), m_fault(fault) {}
    WriteFault Before(WriteStep step, const std::filesystem::path& host) override;
    int Steps() const { return static_cast<int>(m_seen.size()); }
    // The steps asked, in order.
    const std::vector<WriteStep>& Seen() const { return m_seen; }
    // Whether the planned step was reached.
    bool Hit() const { return m_at >= 0 && Steps() > m_at; }

private:
    int m_at;
    WriteFault m_fault;
    std::vector<WriteStep> m_seen;
};

// Installs a hook for one scope and puts the previous one back.
class CWriteFaultScope {
public:
    explicit CWriteFaultScope(IWriteFaultHook* hook) : m_previous(SetWriteFaultHook(hook)) {}
    CWriteFaultScope(const CWriteFaultScope&) = delete;
    CWriteFaultScope& operator=(const CWriteFaultScope&) = delete;
    ~CWriteFaultScope() { SetWriteFaultHook(m_previous); }

private:
    IWriteFaultHook* m_previous;
};

}  // namespace plat
