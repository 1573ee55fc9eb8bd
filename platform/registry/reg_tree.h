// The registry's keys and values in memory, and their REGEDIT4 text form.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace plat {

struct CRegValue {
    std::string name;  // empty for the default value
    DWORD type = REG_NONE;
    // REG_SZ and REG_EXPAND_SZ hold their text without a terminator.
    std::vector<BYTE> data;
};

bool IsTextType(DWORD type);

// One key: its name, values and subkeys in the order they were made. Lookups ignore case
// (Windows-1252).
class CRegKey {
public:
    explicit CRegKey(std::string name) : m_name(std::move(name)) {}

    const std::string& Name() const { return m_name; }
    const std::vector<std::unique_ptr<CRegKey>>& Subkeys() const { return m_subkeys; }
    const std::vector<CRegValue>& Values() const { return m_values; }

    CRegKey* Subkey(std::string_view name);
    const CRegKey* Subkey(std::string_view name) const;
    // The existing subkey of that name, or a new one; created says which.
    CRegKey& AddSubkey(std::string_view name, bool* created = nullptr);
    bool RemoveSubkey(std::string_view name);

    const CRegValue* Value(std::string_view name) const;
    // An existing value keeps its name's case. True when anything changed.
    bool SetValue(std::string_view name, DWORD type, std::vector<BYTE> data);
    bool RemoveValue(std::string_view name);

private:
    std::string m_name;
    std::vector<CRegValue> m_values;
    std::vector<std::unique_ptr<CRegKey>> m_subkeys;
};

enum class RegRoot { LocalMachine, CurrentUser, Users };
constexpr int kRegRootCount = 3;

using RegPath = std::vector<std::string>;

class CRegTree {
public:
    CRegTree();

    // What a new installation holds.
    static CRegTree Seeded();

    // Reads REGEDIT4 text. Lines that cannot be read are skipped and their numbers (from
    // 1) added to badLines; everything readable is kept. Later values of the same name
    // replace earlier ones; sections of the same key merge.
    static CRegTree Parse(std::string_view text, std::vector<size_t>* badLines);
    // REGEDIT4 text with "\r\n" line ends: every key as a section (roots only when they
    // hold values), text as "text", REG_DWORD as dword:, others as hex: or hex(type):.
    std::string Serialize() const;

    CRegKey& Root(RegRoot root) { return *m_roots[static_cast<int>(root)]; }
    const CRegKey& Root(RegRoot root) const { return *m_roots[static_cast<int>(root)]; }
    CRegKey* Find(RegRoot root, const RegPath& path);
    const CRegKey* Find(RegRoot root, const RegPath& path) const;
    // Makes every missing level; created is true when the last level is new.
    CRegKey& Create(RegRoot root, const RegPath& path, bool* created);

private:
    std::unique_ptr<CRegKey> m_roots[kRegRootCount];
};

}  // namespace plat
