#include "platform/mci/debug_display.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "platform/strings/cp1252.h"

namespace {

constexpr DWORD kErrorInvalidFunction = 1;  // ERROR_INVALID_FUNCTION

std::optional<std::string> g_target;

class CTraceSink : public plat::CKernelObject {
public:
    CTraceSink(std::FILE* file, bool owned) : m_file(file), m_owned(owned) {}
    ~CTraceSink() override {
        if (m_owned) std::fclose(m_file);
    }
    void Write(std::string_view cp1252) {
        const std::string text = plat::Cp1252ToUtf8(cp1252);
        std::fwrite(text.data(), 1, text.size(), m_file);
        std::fflush(m_file);  // a trace must survive a crash that follows it
    }

private:
    std::FILE* m_file;
    bool m_owned;
};

std::optional<std::string> TraceTarget() {
    if (g_target) return g_target;
    const char* env = std::getenv("ZELBO_TRACE");
    if (env == nullptr || *env == '\0') return std::nullopt;
    return std::string(env);
}

bool IsMonoName(LPCSTR name) {
    if (name == nullptr) return false;
    const std::string_view n(name);
    return n.size() == 8 && n.substr(0, 4) == "\\\\.\\" && plat::EqualNoCase1252(n.substr(4), "MONO");
}

}  // namespace

namespace plat {

HANDLE CreateDeviceFile(LPCSTR name, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    const auto target = TraceTarget();
    if (!IsMonoName(name) || !target) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::shared_ptr<CTraceSink> sink;
    if (*target == "stderr") {
        sink = std::make_shared<CTraceSink>(stderr, false);
    } else {
        std::FILE* file = std::fopen(target->c_str(), "ab");
        if (file == nullptr) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        sink = std::make_shared<CTraceSink>(file, true);
    }
    return AllocHandle(std::move(sink));
}

void SetTraceTarget(std::optional<std::string> target) { g_target = std::move(target); }

}  // namespace plat

BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID, DWORD, DWORD* returned, OVERLAPPED*) {
    if (returned) *returned = 0;
    const auto sink = plat::LookupHandleAs<CTraceSink>(device);
    if (!sink) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (code != IOCTL_MONO_WRITE || (in == nullptr && inSize != 0)) {
        SetLastError(kErrorInvalidFunction);
        return FALSE;
    }
    sink->Write(std::string_view(static_cast<const char*>(in), inSize));
    return TRUE;
}
