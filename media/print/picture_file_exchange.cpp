#include "media/print/picture_file_exchange.h"

#include <algorithm>
#include <array>
#include <new>

#include "media/print/picture_file_host.h"
#include "media/print/picture_file_strings.h"
#include "media/res/item_cache.h"
#include "media/res/record_file.h"
#include "media/res/res_mgr.h"
#include "media/util/mono_debug.h"
#include "platform/afx/message_box.h"
#include "platform/afx/string_table.h"
#include "platform/strings/cp1252.h"

int16_t CPictureFileExchange::s_lastKind = 1;

namespace {

constexpr uint32_t kMaxKindsItem = 64 * 1024;
const char kFallbackAllFiles[] = "All Files (*.*)|*.*||";

std::string LoadText(UINT id) {
    return plat::LookupString(id).value_or(std::string());
}

// The extension of a file name (without the dot), or empty.
std::string ExtensionOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\:");
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot + 1);
}

}  // namespace

int IdentifyPictureFile(const char* path, const media::FileKindsTable& table) {
    CFileStatus status;
    if (!CFile::GetStatus(path, status)) return kKindMissing;
    if (status.m_attribute & ~(CFile::readOnly | CFile::archive)) return kKindInvalid;
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) return kKindInvalid;
    std::array<uint8_t, media::kMaxSignatureReach> head{};
    DWORD length = 0;
    UINT got = 0;
    try {
        length = file.GetLength();
        got = file.Read(head.data(), static_cast<UINT>(std::min<size_t>(head.size(), length)));
    } catch (CFileException* e) {
        e->Delete();
        return kKindInvalid;
    }
    return media::MatchFileKind(table, std::span<const uint8_t>(head.data(), got), length);
}

int16_t SaveKindOf(const media::FileKindsTable* kinds, DWORD filterIndex, const std::string& ext, int16_t previous) {
    const size_t count = kinds ? kinds->kinds.size() : 0;
    if (count == 0) return previous;
    if (filterIndex >= 1 && filterIndex <= count) return static_cast<int16_t>(filterIndex);
    // The all-files entry: the kind the typed extension names, else the one before.
    const int byExt = media::FindKindByExtension(*kinds, ext);
    return byExt >= 0 ? static_cast<int16_t>(byExt + 1) : previous;
}

CPictureFileDialog::CPictureFileDialog(BOOL openFileDialog, const media::FileKindsTable* kinds, int16_t startKind,
                                       LPCSTR defaultExt, LPCSTR fileName, DWORD flags, LPCSTR filter)
    : CFileDialog(openFileDialog, defaultExt, fileName, flags, filter), m_kinds(kinds), m_startKind(startKind) {}

BOOL CPictureFileDialog::CheckSaveName() {
    const std::string typed = GetPathName().Str();
    std::string path = typed;
    const int16_t kind = SaveKindOf(m_kinds, m_ofn.nFilterIndex, ExtensionOf(path), m_startKind);
    if (m_kinds && kind != m_startKind && kind >= 1 && kind <= static_cast<int16_t>(m_kinds->kinds.size())) {
        const std::string& wanted = m_kinds->kinds[static_cast<size_t>(kind - 1)].extension;
        const std::string ext = ExtensionOf(path);
        if (!plat::EqualNoCase1252(ext, wanted)) {
            if (!ext.empty()) path.resize(path.size() - ext.size() - 1);
            path += "." + wanted;
        }
    }
    // The dialog asked about the typed name only; the new one may be another child's picture.
    if (path != typed && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        MessageBox((path + " finns redan.\nVill du ers\xE4tta den?").c_str(), nullptr, MB_YESNO | MB_ICONEXCLAMATION) !=
            IDYES)
        return TRUE;
    m_acceptedKind = kind;
    m_acceptedPath = path;
    return FALSE;
}

BOOL CPictureFileDialog::OnFileNameOK() {
    if (!m_bOpenFileDialog) return CheckSaveName();
    m_acceptedPath = GetPathName().Str();
    if (!m_kinds) {
        m_acceptedKind = 1;
        return FALSE;
    }
    const int kind = IdentifyPictureFile(GetPathName().Str().c_str(), *m_kinds);
    if (kind >= 0) {
        m_acceptedKind = static_cast<int16_t>(kind + 1);
        return FALSE;
    }
    const UINT text = kind == kKindMissing ? media::kIdsFileMissing
                    : kind == kKindInvalid ? media::kIdsInvalidFile
                                           : media::kIdsUnsupportedFileKind;
    MessageBox(LoadText(text).c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
    return TRUE;
}

CPictureFileExchange::CPictureFileExchange(int16_t baseId, int16_t filterId, CRecordFile* recordFile, int16_t mode)
    : m_filterId(filterId), m_baseId(baseId), m_mode(mode), m_recordFile(recordFile) {
    PictureFileHost().ShadeScreen(kShadeColour);
    m_file.reset(new (std::nothrow) CFile);
    if (!m_file) ReportNoFileObject();
    if (!m_recordFile) {
        m_recordFile = new CRecordFile(static_cast<int16_t>(m_baseId / 1000 * 1000));
        m_ownsRecordFile = 1;
    }
    LoadKinds();
    ReadKindPreference();
    m_result = RunPictureDialog();
    m_kind = m_openState == 0 && m_result == 0 ? s_lastKind : -1;
}

CPictureFileExchange::~CPictureFileExchange() {
    PictureFileHost().RemoveShade();
    if (m_savePref && s_lastKind != m_storedKind) WriteKindPreference(s_lastKind);
    if (m_ownsRecordFile) delete m_recordFile;
    if (m_openState == 0) Close();
}

void CPictureFileExchange::LoadKinds() {
    std::vector<uint8_t> item;
    if (!ReadResourceItem(kResFIL, m_baseId + m_filterId, nullptr, item, kMaxKindsItem)) return;
    m_kinds = media::ParseFileKinds(item);
    if (!m_kinds) MonoDebugWrite("Damaged file kinds item: all files only\n");
}

void CPictureFileExchange::ReadKindPreference() {
    // A table of no kinds still has the one all-files kind.
    const int count = std::max(KindCount(), 1);
    int16_t kind = 1;
    if (m_recordFile && m_recordFile->IsOpen()) {
        const uint16_t id = static_cast<uint16_t>(PrefId());
        std::optional<int16_t> stored;
        std::array<uint8_t, 2> bytes{};
        if (m_recordFile->HasItem(kRecordTypeKindPref, id) &&
            m_recordFile->ReadItemInto(kRecordTypeKindPref, id, bytes.data(), 2) == 0)
            stored = static_cast<int16_t>(bytes[0] | bytes[1] << 8);
        if (stored && *stored >= 1 && *stored <= count) kind = *stored;
        if (stored == kind)
            m_storedKind = kind;
        else
            WriteKindPreference(kind);
    } else {
        // Nothing to remember the kind in.
        m_savePref = 0;
    }
    s_lastKind = kind;
}

void CPictureFileExchange::WriteKindPreference(int16_t kind) {
    if (!m_recordFile || !m_recordFile->IsOpen()) return;
    const std::array<uint8_t, 2> bytes{static_cast<uint8_t>(kind), static_cast<uint8_t>(kind >> 8)};
    if (m_recordFile->ReplaceRawItem(kRecordTypeKindPref, static_cast<uint16_t>(PrefId()), bytes.data(), 2) == 0)
        m_storedKind = kind;
}

std::string CPictureFileExchange::BuildFilter() const {
    std::string allFiles = LoadText(media::kIdsAllFilesFilter);
    if (allFiles.empty()) allFiles = kFallbackAllFiles;
    std::string filter = m_kinds ? m_kinds->filter : allFiles;
    if (const size_t end = filter.find("||"); end != std::string::npos) filter.resize(end);
    if (!filter.empty() && filter.back() != '|') filter += '|';
    return filter + allFiles;
}

int16_t CPictureFileExchange::RunPictureDialog() {
    const int16_t startKind = s_lastKind;
    std::string defaultExt;
    if (m_kinds && startKind >= 1 && startKind <= KindCount())
        defaultExt = m_kinds->kinds[static_cast<size_t>(startKind - 1)].extension;
    const std::string firstName = defaultExt.empty() ? std::string() : "*." + defaultExt;
    const std::string filter = BuildFilter();
    const std::string folder = PictureFileHost().PrefsFolder();
    CPictureFileDialog dlg(m_mode == kModeOpen, m_kinds ? &*m_kinds : nullptr, startKind,
                           defaultExt.empty() ? nullptr : defaultExt.c_str(), firstName.c_str(),
                           OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter.c_str());
    if (!folder.empty()) dlg.m_ofn.lpstrInitialDir = folder.c_str();
    dlg.m_ofn.nFilterIndex = static_cast<DWORD>(startKind);
    if (dlg.DoModal() != IDOK) {
        m_chosen = 0;
        m_kind = -1;
        return kPictureFileNotChosen;
    }
    m_chosen = 1;
    m_pathName = dlg.AcceptedPath();
    s_lastKind = dlg.AcceptedKind();
    const size_t slash = m_pathName.find_last_of("\\:");
    m_fileName = slash == std::string::npos ? m_pathName : m_pathName.substr(slash + 1);
    m_fileExt = ExtensionOf(m_fileName);
    m_fileTitle = m_fileExt.empty() ? m_fileName : m_fileName.substr(0, m_fileName.size() - m_fileExt.size() - 1);
    return m_mode == kModeOpen ? OpenForReading() : OpenForWriting();
}

int16_t CPictureFileExchange::OpenForReading() {
    HANDLE test = CreateFileA(m_pathName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (test == INVALID_HANDLE_VALUE) return static_cast<int16_t>(GetLastError());
    CloseHandle(test);
    if (!m_file) return kPictureFileNoObject;
    CFileException error;
    if (!m_file->Open(m_pathName.c_str(), CFile::modeRead | CFile::shareDenyNone, &error))
        return static_cast<int16_t>(error.m_cause);
    m_openState = 0;
    m_closed = 0;
    return 0;
}

int16_t CPictureFileExchange::OpenForWriting() {
    HANDLE test = CreateFileA(m_pathName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_ALWAYS, FILE_FLAG_WRITE_THROUGH | FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (test == INVALID_HANDLE_VALUE) return static_cast<int16_t>(GetLastError());
    CloseHandle(test);
    if (!m_file) return kPictureFileNoObject;
    CFileException error;
    if (!m_file->Open(m_pathName.c_str(), CFile::modeReadWrite | CFile::shareDenyNone, &error))
        return static_cast<int16_t>(error.m_cause);
    m_openState = 0;
    m_closed = 0;
    return 0;
}

int16_t CPictureFileExchange::ReadBytes(void* buffer, uint32_t n) {
    if (m_openState != 0) return kPictureFileNotOpen;
    try {
        // A file that ends early is an error: the caller's buffer would hold bytes never read.
        if (m_file->Read(buffer, n) != n) return CFileException::endOfFile;
    } catch (CFileException* e) {
        const auto cause = static_cast<int16_t>(e->m_cause);
        e->Delete();
        return cause;
    }
    return 0;
}

int16_t CPictureFileExchange::WriteBytes(const void* buffer, uint32_t n) {
    if (m_openState != 0) return kPictureFileNotOpen;
    try {
        m_file->Write(buffer, n);
    } catch (CFileException* e) {
        const auto cause = static_cast<int16_t>(e->m_cause);
        e->Delete();
        return cause;
    }
    return 0;
}

DWORD CPictureFileExchange::GetLength() {
    if (m_openState != 0) return 0;
    try {
        return m_file->GetLength();
    } catch (CFileException* e) {
        e->Delete();
        return 0;
    }
}

int16_t CPictureFileExchange::Close() {
    if (m_openState != 0 || m_closed) return 0;
    m_openState = -1;
    m_closed = 1;
    try {
        m_file->Close();
    } catch (CFileException* e) {
        const auto cause = static_cast<int16_t>(e->m_cause);
        e->Delete();
        return cause;
    }
    return 0;
}

void CPictureFileExchange::ReportNoFileObject() {
    const int32_t module = m_baseId / 1000 * 1000;
    char place[256] = "";
    char detail[256] = "";
    ReadListString(module + 984, 1, place, sizeof place);
    ReadListString(module + 985, 1, detail, sizeof detail);
    const std::string line = ComposeErrorLine(std::to_string(kPictureFileNoObject), place, detail);
    AfxMessageBox(line.c_str(), MB_ABORTRETRYIGNORE, 0);
}
