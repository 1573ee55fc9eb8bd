#include "setup/common/statement_handlers.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "setup/common/product_dat.h"

namespace setup {

void CStatementActions::RunAction(CProductDat&, StatementCall&) {}
void CStatementActions::MissingFields(CProductDat&, StatementCall&) {}

namespace {

// --- Header setters ---------------------------------------------------------------------

template <std::string ScriptValues::*Member>
void SetText(CProductDat& script, StatementCall& call) {
    script.Values().*Member = call.value;
}

template <int32_t ScriptValues::*Member>
void SetTrueFlag(CProductDat& script, StatementCall& call) {
    const std::string& v = call.value;
    bool isTrue = v.size() == 4;
    for (size_t i = 0; isTrue && i < 4; ++i) isTrue = (v[i] | 0x20) == "true"[i];
    script.Values().*Member = isTrue ? 1 : 0;
}

template <int32_t ScriptValues::*Member>
void SetOne(CProductDat& script, StatementCall&) {
    script.Values().*Member = 1;
}

// An optional sign and decimal digits after white space, as "%d" reads them; the number wraps
// to 32 bits instead of overflowing. Returns false when no digit is there.
bool ScanInt(std::string_view text, size_t& pos, int32_t& out) {
    while (pos < text.size() && IsScriptBlank(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    const size_t digits = pos;
    uint32_t n = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') n = n * 10u + static_cast<uint32_t>(text[pos++] - '0');
    if (pos == digits) return false;
    out = static_cast<int32_t>(negative ? 0u - n : n);
    return true;
}

// "x, y" read as the format "%d, %d" reads it: the comma right after the first number, white
// space before the second. Both values are kept as 16-bit numbers, and only when both are read.
void SetSplashPosition(CProductDat& script, StatementCall& call) {
    const std::string_view v = call.value;
    size_t pos = 0;
    int32_t x = 0, y = 0;
    if (!ScanInt(v, pos, x)) return;
    if (pos >= v.size() || v[pos] != ',') return;
    ++pos;
    if (!ScanInt(v, pos, y)) return;
    script.Values().splashX = static_cast<int16_t>(x);
    script.Values().splashY = static_cast<int16_t>(y);
}

void SetProductSize(CProductDat& script, StatementCall& call) {
    errno = 0;
    long long n = std::strtoll(call.value.c_str(), nullptr, 10);
    if (n > INT32_MAX) n = INT32_MAX;
    if (n < INT32_MIN) n = INT32_MIN;
    script.Values().productSize = static_cast<int32_t>(n);
}

// Hands the statement to the program's action, when it has the fields the action needs.
void RunAction(CProductDat& script, StatementCall& call) {
    const ActionFields& how = FieldsOfAction(call.row.actionId);
    if (!how.wholeValue) {
        call.fields = SplitFields(call.value, how.split);
        if (call.fields.Count() < how.required) {
            script.Actions().MissingFields(script, call);
            return;
        }
    }
    script.Actions().RunAction(script, call);
}

// Pass 1 first registers the product with the launcher (the setup program's action).
void SetFinalText(CProductDat& script, StatementCall& call) {
    if (call.pass == kInstallPass) RunAction(script, call);
    std::string text = call.value;
    StripQuotes(text);
    script.Values().finalText = std::move(text);
}

// Ten slots; further items are ignored.
void AddFinalItem(CProductDat& script, StatementCall& call) {
    ScriptValues& v = script.Values();
    if (v.finalItemCount < 0 || static_cast<size_t>(v.finalItemCount) >= kFinalItemSlots) return;
    std::string text = call.value;
    StripQuotes(text);
    v.finalItems[static_cast<size_t>(v.finalItemCount++)] = std::move(text);
}

constexpr StatementHandler kNothing = nullptr;

// Rows 3 to 16: the values both programs keep.
#define SHARED_HEADER_ROWS                                                                            \
    SetText<&ScriptValues::productName>, SetText<&ScriptValues::productVersion>,                      \
        SetText<&ScriptValues::productExe>, SetText<&ScriptValues::uninstallExe>,                     \
        SetText<&ScriptValues::finalDlgExe>, SetText<&ScriptValues::onlineRegExe>,                    \
        SetText<&ScriptValues::onlineRegDir>, SetTrueFlag<&ScriptValues::runAutoPlayDlg>,             \
        SetTrueFlag<&ScriptValues::runOnlineReg>, SetText<&ScriptValues::shortProductDir>,            \
        SetText<&ScriptValues::productDir>, SetText<&ScriptValues::utilityDir>, SetProductSize,       \
        SetText<&ScriptValues::creditArtBmp>

const std::array<StatementHandler, kSetwellKeyRows> kSetwellHandlers = {
    SetText<&ScriptValues::splashTitle>,     // SplashScreenTitle
    SetText<&ScriptValues::splashArtBmp>,    // SplashScreenArtBmp
    SetSplashPosition,                       // SplashScreenArtPos
    SHARED_HEADER_ROWS,                      // ProductName .. CreditArtBmp
    SetText<&ScriptValues::welcomeTitle>,    // WelcomeDialogTitle
    SetText<&ScriptValues::welcomeMessage>,  // WelcomeDialogMessage
    RunAction,                               // WelcomeDialog
    RunAction,                               // Disk
    RunAction,                               // File95
    kNothing,                                // File31
    RunAction,                               // File
    SetOne<&ScriptValues::noOverinstall>,    // NoOverinstall
    RunAction,                               // StartMenuRoot
    RunAction,                               // StartMenu95
    kNothing,                                // StartMenu31
    RunAction,                               // StartMenu
    RunAction,                               // Internet
    RunAction,                               // IniFile95
    RunAction,                               // RegistryEntryHex
    RunAction,                               // RegistryEntry95
    kNothing,                                // RegistryEntry31
    RunAction,                               // RegistryEntry
    SetFinalText,                            // FinalText
    AddFinalItem,                            // FinalItem
    RunAction,                               // InstallRunMsg
    RunAction,                               // InstallRunDX
    RunAction,                               // InstallRun
    RunAction,                               // InstallDelTree
    RunAction,                               // InstallErase
    RunAction,                               // InstallReboot
    kNothing,                                // UninstallRunMsg
    kNothing,                                // UninstallRun
    kNothing,                                // UninstallDelTree
    kNothing,                                // UninstallErase
    kNothing,                                // UninstallIniCopy
    kNothing,                                // UninstallIniEntry
    kNothing,                                // UninstallKillIniEntry
    kNothing,                                // UninstallRegistryEntry
    kNothing,                                // UninstallAnyRegistryEntry
    SetText<&ScriptValues::tallyValueName>,  // UninstallVersionZelbo
    SetText<&ScriptValues::overInstallCommand>,  // OverInstallCommand
};

const std::array<StatementHandler, kRemblyKeyRows> kRemblyHandlers = {
    kNothing,                                // SplashScreenTitle
    kNothing,                                // SplashScreenArtBmp
    kNothing,                                // SplashScreenArtPos
    SHARED_HEADER_ROWS,                      // ProductName .. CreditArtBmp
    kNothing,                                // WelcomeDialogTitle
    kNothing,                                // WelcomeDialogMessage
    kNothing,                                // WelcomeDialog (still ends pass 0)
    kNothing,                                // Disk
    RunAction,                               // File95
    kNothing,                                // File31
    RunAction,                               // File
    kNothing,                                // NoOverinstall
    RunAction,                               // StartMenuRoot
    RunAction,                               // StartMenu95
    kNothing,                                // StartMenu31
    RunAction,                               // StartMenu
    RunAction,                               // Internet
    kNothing,                                // IniFile95
    RunAction,                               // RegistryEntryHex
    RunAction,                               // RegistryEntry95
    kNothing,                                // RegistryEntry31
    RunAction,                               // RegistryEntry
    kNothing,                                // FinalText
    kNothing,                                // FinalItem
    kNothing,                                // InstallRunMsg
    kNothing,                                // InstallRunDX
    kNothing,                                // InstallRun
    kNothing,                                // InstallDelTree
    kNothing,                                // InstallErase
    kNothing,                                // InstallReboot
    RunAction,                               // UninstallRunMsg
    RunAction,                               // UninstallRun
    RunAction,                               // UninstallDelTree
    RunAction,                               // UninstallErase
    RunAction,                               // UninstallIniCopy
    RunAction,                               // UninstallIniEntry
    RunAction,                               // UninstallKillIniEntry
    RunAction,                               // UninstallRegistryEntry
    RunAction,                               // UninstallAnyRegistryEntry
    SetText<&ScriptValues::tallyValueName>,  // UninstallVersionZelbo
};

#undef SHARED_HEADER_ROWS

constexpr ActionFields Whole() { return {}; }
constexpr ActionFields Split(size_t required, size_t maxFields, std::string_view separators = ",;",
                             std::string_view lastSeparators = {}, bool trim = true) {
    return {FieldSplit{separators, maxFields, lastSeparators, trim}, required, false};
}

}  // namespace

const ActionFields& FieldsOfAction(int32_t actionId) {
    // Source, destination, then flags up to a ';' (commas and all).
    static const ActionFields kFile = Split(2, 3, ",;", ";");
    static const ActionFields kLink = Split(3, 5);
    static const ActionFields kRegistry = Split(1, 3);
    static const ActionFields kRunWithPrompt = Split(3, 3);
    static const ActionFields kErase = Split(1, 2);
    static const ActionFields kWhole = Whole();
    static const ActionFields kDisk = Split(2, 2);
    static const ActionFields kIni = Split(1, 4, ",");
    static const ActionFields kRegistryHex = Split(3, 3);
    static const ActionFields kIniCopy = Split(6, 6);
    static const ActionFields kIniEntry = Split(4, 4, ",;", {}, false);
    static const ActionFields kKillIniEntry = Split(4, 4);
    static const ActionFields kRegistryValue = Split(1, 2);
    switch (actionId) {
        case kActDisk: return kDisk;
        case kActFile95:
        case kActFile:
            return kFile;
        case kActStartMenu95:
        case kActStartMenu:
        case kActInternet:
            return kLink;
        case kActIniFile95: return kIni;
        case kActRegistryEntryHex: return kRegistryHex;
        case kActRegistryEntry95:
        case kActRegistryEntry:
            return kRegistry;
        case kActInstallRunMsg:
        case kActUninstallRunMsg:
            return kRunWithPrompt;
        case kActInstallErase:
        case kActUninstallErase:
            return kErase;
        case kActUninstallIniCopy: return kIniCopy;
        case kActUninstallIniEntry: return kIniEntry;
        case kActUninstallKillIniEntry: return kKillIniEntry;
        case kActUninstallAnyRegistryEntry: return kRegistryValue;
        default: return kWhole;
    }
}

std::span<const StatementHandler> SetwellHandlerTable() { return kSetwellHandlers; }
std::span<const StatementHandler> RemblyHandlerTable() { return kRemblyHandlers; }

}  // namespace setup
