#include "platform/registry/registry.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "platform/fs/dospath.h"
#include "platform/registry/reg_tree.h"
#include "platform/registry/registry_store.h"

namespace fs = std::filesystem;
using plat::CRegKey;
using plat::CRegTree;
using plat::CRegValue;
using plat::RegPath;
using plat::RegRoot;

namespace {

// What a handle stands for: a root and the path below it.
struct KeyRef {
    RegRoot root = RegRoot::LocalMachine;
    RegPath path;
    bool predefined = false;
};

std::mutex g_handleMutex;
std::unordered_map<uintptr_t, KeyRef> g_handles;
uintptr_t g_nextHandle = 0x100;

std::optional<KeyRef> Lookup(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE) {
        return KeyRef{RegRoot::LocalMachine, {}, true};
    }
    if (key == HKEY_CURRENT_USER) {
        return KeyRef{RegRoot::CurrentUser, {}, true};
    }
    if (key == HKEY_USERS) {
        return KeyRef{RegRoot::Users, {}, true};
    }
    if (key == HKEY_CLASSES_ROOT) {
        return KeyRef{RegRoot::LocalMachine, {"SOFTWARE", "Classes"}, true};
    }
    std::lock_guard<std::mutex> guard(g_handleMutex);
    auto it = g_handles.find(reinterpret_cast<uintptr_t>(key));
    if (it == g_handles.end()) {
        return std::nullopt;
    }
    return it->second;
}

HKEY NewHandle(KeyRef ref) {
    ref.predefined = false;
    std::lock_guard<std::mutex> guard(g_handleMutex);
    uintptr_t value = g_nextHandle;
    g_nextHandle += 4;
    g_handles.emplace(value, std::move(ref));
    return reinterpret_cast<HKEY>(value);
}

// Appends the names of a sub key path; false when a name or the depth is beyond the limits
// or a name holds a line break (the file keeps one key per line).
bool AppendPath(KeyRef* ref, LPCSTR subKey) {
    if (subKey == nullptr) {
        return true;
    }
    std::string_view rest(subKey);
    while (!rest.empty()) {
        size_t bs = rest.find('\\');
        std::string_view name = rest.substr(0, bs);
        rest = bs == std::string_view::npos ? std::string_view() : rest.substr(bs + 1);
        if (name.empty()) {
            continue;
        }
        if (name.size() > kMaxRegKeyNameLength || name.find_first_of("\r\n") != std::string_view::npos ||
            ref->path.size() >= kMaxRegKeyDepth) {
            return false;
        }
        ref->path.emplace_back(name);
    }
    return true;
}

std::shared_ptr<plat::CRegistryStore> Store() {
    static std::mutex mutex;
    static std::shared_ptr<plat::CRegistryStore> store;
    static fs::path storeRoot;
    std::lock_guard<std::mutex> guard(mutex);
    fs::path root = plat::EmulatedRoot();
    if (!store || root != storeRoot) {
        storeRoot = root;
        store = std::make_shared<plat::CRegistryStore>(plat::RegistryFilePath());
    }
    return store;
}

// A key that is not there: simply missing when its parent exists (or it is predefined),
// else the handle's own key was deleted.
LONG MissingKey(bool parentExists) {
    return parentExists ? static_cast<LONG>(ERROR_FILE_NOT_FOUND) : static_cast<LONG>(ERROR_KEY_DELETED);
}

// The key a handle names, or the error for a handle whose key is gone.
LONG KeyOf(const CRegTree& tree, const KeyRef& ref, const CRegKey** key) {
    *key = tree.Find(ref.root, ref.path);
    if (*key == nullptr) {
        return MissingKey(ref.predefined);
    }
    return ERROR_SUCCESS;
}

std::string_view ValueName(LPCSTR name) {
    return name != nullptr ? std::string_view(name) : std::string_view();
}

// The bytes a query returns: text types with their terminator.
std::vector<BYTE> QueryBytes(const CRegValue& value) {
    std::vector<BYTE> bytes = value.data;
    if (plat::IsTextType(value.type)) {
        bytes.push_back(0);
    }
    return bytes;
}

// Copies data the way the query calls do.
LONG ReturnData(const CRegValue& value, DWORD* type, BYTE* data, DWORD* dataSize) {
    if (type != nullptr) {
        *type = value.type;
    }
    if (dataSize == nullptr) {
        return ERROR_SUCCESS;
    }
    std::vector<BYTE> bytes = QueryBytes(value);
    DWORD needed = static_cast<DWORD>(bytes.size());
    if (data == nullptr) {
        *dataSize = needed;
        return ERROR_SUCCESS;
    }
    if (*dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    if (!bytes.empty()) {
        std::memcpy(data, bytes.data(), bytes.size());
    }
    *dataSize = needed;
    return ERROR_SUCCESS;
}

// Copies a name into a character buffer whose size (with NUL) is *size.
LONG ReturnName(const std::string& name, LPSTR buffer, DWORD* size) {
    if (name.size() + 1 > *size) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

}  // namespace

namespace plat {

fs::path RegistryFilePath() {
    std::optional<fs::path> file = ResolveDosPath("C:\\WINDOWS\\registry.reg");
    return file ? *file : EmulatedRoot() / "WINDOWS" / "registry.reg";
}

}  // namespace plat

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD /*options*/, REGSAM /*access*/, PHKEY result) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    std::optional<KeyRef> ref = Lookup(key);
    if (!ref) {
        return ERROR_INVALID_HANDLE;
    }
    size_t baseDepth = ref->path.size();
    if (!AppendPath(&*ref, subKey)) {
        return ERROR_FILE_NOT_FOUND;
    }
    LONG rc = Store()->Read([&](const CRegTree& tree) -> LONG {
        const CRegKey* found = tree.Find(ref->root, ref->path);
        if (found != nullptr) {
            return ERROR_SUCCESS;
        }
        RegPath base(ref->path.begin(), ref->path.begin() + static_cast<std::ptrdiff_t>(baseDepth));
        return MissingKey(ref->predefined || tree.Find(ref->root, base) != nullptr);
    });
    if (rc == ERROR_SUCCESS) {
        *result = NewHandle(std::move(*ref));
    }
    return rc;
}

LONG RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result) {
    return RegOpenKeyExA(key, subKey, 0, KEY_ALL_ACCESS, result);
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD /*reserved*/, LPSTR /*className*/, DWORD /*options*/,
                     REGSAM /*access*/, LPSECURITY_ATTRIBUTES /*security*/, PHKEY result,
                     DWORD* disposition) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    std::optional<KeyRef> ref = Lookup(key);
    if (!ref) {
        return ERROR_INVALID_HANDLE;
    }
    size_t baseDepth = ref->path.size();
    if (!AppendPath(&*ref, subKey)) {
        return ERROR_INVALID_PARAMETER;
    }
    bool created = false;
    LONG rc = Store()->Modify([&](CRegTree& tree, bool& changed) -> LONG {
        RegPath base(ref->path.begin(), ref->path.begin() + static_cast<std::ptrdiff_t>(baseDepth));
        if (!ref->predefined && tree.Find(ref->root, base) == nullptr) {
            return ERROR_KEY_DELETED;
        }
        // Creating level by level reports whether the last level was new.
        CRegKey* parent = &tree.Root(ref->root);
        bool anyNew = false;
        for (const std::string& name : ref->path) {
            bool levelNew = false;
            parent = &parent->AddSubkey(name, &levelNew);
            anyNew = anyNew || levelNew;
            created = levelNew;
        }
        changed = anyNew;
        return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    if (disposition != nullptr) {
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    *result = NewHandle(std::move(*ref));
    return ERROR_SUCCESS;
}

LONG RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result) {
    return RegCreateKeyExA(key, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, result,
                           nullptr);
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER || key == HKEY_USERS ||
        key == HKEY_CLASSES_ROOT) {
        return ERROR_SUCCESS;
    }
    std::lock_guard<std::mutex> guard(g_handleMutex);
    return g_handles.erase(reinterpret_cast<uintptr_t>(key)) != 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* /*reserved*/, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    if (data != nullptr && dataSize == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::optional<KeyRef> ref = Lookup(key);
    if (!ref) {
        return ERROR_INVALID_HANDLE;
    }
    return Store()->Read([&](const CRegTree& tree) -> LONG {
        const CRegKey* k = nullptr;
        LONG rc = KeyOf(tree, *ref, &k);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        const CRegValue* value = k->Value(ValueName(valueName));
        if (value == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        return ReturnData(*value, type, data, dataSize);
    });
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD /*reserved*/, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    std::string_view name = ValueName(valueName);
    if ((data == nullptr && dataSize != 0) || name.size() > kMaxRegValueNameLength ||
        name.find_first_of("\r\n") != std::string_view::npos) {
        return ERROR_INVALID_PARAMETER;
    }
    std::optional<KeyRef> ref = Lookup(key);
    if (!ref) {
        return ERROR_INVALID_HANDLE;
    }
    std::vector<BYTE> bytes;
    if (dataSize != 0) {
        bytes.assign(data, data + dataSize);
    }
    if (plat::IsTextType(type)) {
        bytes.erase(std::find(bytes.begin(), bytes.end(), BYTE{0}), bytes.end());
    }
    return Store()->Modify([&](CRegTree& tree, bool& changed) -> LONG {
        CRegKey* k = tree.Find(ref->root, ref->path);
        if (k == nullptr) {
            if (!ref->predefined) {
                return ERROR_KEY_DELETED;
            }
            bool created = false;
            k = &tree.Create(ref->root, ref->path, &created);
        }
        changed = k->SetValue(name, type, std::move(bytes));
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
    std::optional<KeyRef> ref = Lookup(key);
    if (!ref) {
        return ERROR_INVALID_HANDLE;
    }
    return Store()->Modify([&](CRegTree& tree, bool& changed) -> LONG {
        CRegKey* k = tree.Find(ref->root, ref->path);
        if (k == nullptr) {
            return MissingKey(ref->predefined);
        }
        changed = k->RemoveValue(ValueName(valueName));
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    if (subKey == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::optional<KeyRef> ref = Lookup(key);
    if (!ref) {
        return ERROR_INVALID_HANDLE;
    }
    size_t baseDepth = ref->path.size();
    if (!AppendPath(&*ref, subKey)) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (ref->path.empty() || (ref->predefined && ref->path.size() == baseDepth)) {
        return ERROR_ACCESS_DENIED;  // a predefined key
    }
    return Store()->Modify([&](CRegTree& tree, bool& changed) -> LONG {
        RegPath parentPath(ref->path.begin(), ref->path.end() - 1);
        CRegKey* parent = tree.Find(ref->root, parentPath);
        CRegKey* target = parent != nullptr ? parent->Subkey(ref->path.back()) : nullptr;
        if (target == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        if (!target->Subkeys().empty()) {
            return ERROR_ACCESS_DENIED;
        }
        changed = parent->RemoveSubkey(ref->path.back());
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD* /*reserved*/, LPSTR className,
                   DWORD* classSize, FILETIME* lastWrite) {
    if (name == nullptr || nameSize == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::optional<KeyRef> ref = Lookup(key);
    if (!ref) {
        return ERROR_INVALID_HANDLE;
    }
    std::shared_ptr<plat::CRegistryStore> store = Store();
    LONG rc = store->Read([&](const CRegTree& tree) -> LONG {
        const CRegKey* k = nullptr;
        LONG found = KeyOf(tree, *ref, &k);
        if (found != ERROR_SUCCESS) {
            return found;
        }
        if (index >= k->Subkeys().size()) {
            return ERROR_NO_MORE_ITEMS;
        }
        return ReturnName(k->Subkeys()[index]->Name(), name, nameSize);
    });
    if (rc == ERROR_SUCCESS) {
        if (className != nullptr && classSize != nullptr && *classSize > 0) {
            className[0] = '\0';
        }
        if (classSize != nullptr) {
            *classSize = 0;
        }
        if (lastWrite != nullptr) {
            *lastWrite = store->LastWrite();
        }
    }
    return rc;
}

LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize) {
    return RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD* /*reserved*/, DWORD* type,
                   BYTE* data, DWORD* dataSize) {
    if (name == nullptr || nameSize == nullptr || (data != nullptr && dataSize == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    std::optional<KeyRef> ref = Lookup(key);
    if (!ref) {
        return ERROR_INVALID_HANDLE;
    }
    return Store()->Read([&](const CRegTree& tree) -> LONG {
        const CRegKey* k = nullptr;
        LONG rc = KeyOf(tree, *ref, &k);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        if (index >= k->Values().size()) {
            return ERROR_NO_MORE_ITEMS;
        }
        const CRegValue& value = k->Values()[index];
        rc = ReturnName(value.name, name, nameSize);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        return ReturnData(value, type, data, dataSize);
    });
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR className, DWORD* classSize, DWORD* /*reserved*/, DWORD* subKeys,
                      DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength,
                      DWORD* maxValueLength, DWORD* securityDescriptorSize, FILETIME* lastWrite) {
    std::optional<KeyRef> ref = Lookup(key);
    if (!ref) {
        return ERROR_INVALID_HANDLE;
    }
    std::shared_ptr<plat::CRegistryStore> store = Store();
    LONG rc = store->Read([&](const CRegTree& tree) -> LONG {
        const CRegKey* k = nullptr;
        LONG found = KeyOf(tree, *ref, &k);
        if (found != ERROR_SUCCESS) {
            return found;
        }
        DWORD longestKey = 0;
        for (const auto& sub : k->Subkeys()) {
            longestKey = std::max(longestKey, static_cast<DWORD>(sub->Name().size()));
        }
        DWORD longestName = 0;
        DWORD longestData = 0;
        for (const CRegValue& v : k->Values()) {
            longestName = std::max(longestName, static_cast<DWORD>(v.name.size()));
            longestData = std::max(longestData, static_cast<DWORD>(QueryBytes(v).size()));
        }
        if (subKeys != nullptr) {
            *subKeys = static_cast<DWORD>(k->Subkeys().size());
        }
        if (maxSubKeyLength != nullptr) {
            *maxSubKeyLength = longestKey;
        }
        if (values != nullptr) {
            *values = static_cast<DWORD>(k->Values().size());
        }
        if (maxValueNameLength != nullptr) {
            *maxValueNameLength = longestName;
        }
        if (maxValueLength != nullptr) {
            *maxValueLength = longestData;
        }
        return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    if (className != nullptr && classSize != nullptr && *classSize > 0) {
        className[0] = '\0';
    }
    if (classSize != nullptr) {
        *classSize = 0;
    }
    if (maxClassLength != nullptr) {
        *maxClassLength = 0;
    }
    if (securityDescriptorSize != nullptr) {
        *securityDescriptorSize = 0;
    }
    if (lastWrite != nullptr) {
        *lastWrite = store->LastWrite();
    }
    return ERROR_SUCCESS;
}

LONG RegFlushKey(HKEY key) {
    return Lookup(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
