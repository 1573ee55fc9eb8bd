// CPictureFileExchange: the file dialog through which a child saves a picture to, or opens
// one from, an ordinary file, and the file it opens.
//
// The dialog lists the file kinds of a module's 'FIL' item (file_kinds.h; its id is the base
// id plus the filter resource id) followed by the all-files entry, and starts in the player's
// preference folder on the kind chosen last. That kind is kept per dialog as a "pup " item of
// the module's record file, under the same id, so saving and opening remember their kinds
// apart. Opening refuses, with a message and the dialog left open, a file that does not exist,
// cannot be read, or whose signature matches no kind. While the exchange lives the screen is
// shaded (the picture file host's ShadeScreen).
//
// Kinds are numbered from 1 in filter order; only 1 to the number of kinds is ever stored or
// chosen. Saving under the all-files entry takes the kind whose extension the typed name
// has, else keeps the previous kind.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "media/print/file_kinds.h"
#include "platform/afx/file.h"
#include "platform/dialogs/common_dialogs.h"

class CRecordFile;

inline constexpr uint32_t kRecordTypeKindPref = 0x70757020;  // "pup "

// The exchange's own result codes beside the system's error codes and the file exceptions'
// causes.
inline constexpr int16_t kPictureFileNotChosen = -1;  // the dialog was cancelled
inline constexpr int16_t kPictureFileNoObject = -2;   // the file object could not be made
inline constexpr int16_t kPictureFileNotOpen = -5;    // no file is open

// The file-name check's results beside a kind index (from 0).
inline constexpr int kKindUnknown = -1;  // no kind's signature matches
inline constexpr int kKindInvalid = -2;  // not a plain file, or it cannot be read
inline constexpr int kKindMissing = -3;  // no such file

// The kind index (from 0) of the file by the table's signatures, or one of the codes above.
int IdentifyPictureFile(const char* path, const media::FileKindsTable& table);

// The kind (1 to the number of kinds) a picture saved under the filter entry (from 1) and
// the typed extension is of: the entry's kind, else under the all-files entry the kind the
// extension names, else the previous kind.
int16_t SaveKindOf(const media::FileKindsTable* kinds, DWORD filterIndex, const std::string& ext, int16_t previous);

// The file dialog of the exchange. Opening with a kinds table, a name is accepted only when
// its file is of a known kind. Saving, the name gets the extension of its kind when that
// differs from the kind the dialog started with, and a file the new name would replace is
// asked about as the typed one is.
class CPictureFileDialog : public CFileDialog {
public:
    CPictureFileDialog(BOOL openFileDialog, const media::FileKindsTable* kinds, int16_t startKind, LPCSTR defaultExt,
                       LPCSTR fileName, DWORD flags, LPCSTR filter);
    BOOL OnFileNameOK() override;
    // The kind the name was accepted as (1 to the number of kinds; 1 without a table).
    int16_t AcceptedKind() const { return m_acceptedKind; }
    // The accepted path, with its kind's extension when saving.
    const std::string& AcceptedPath() const { return m_acceptedPath; }

private:
    BOOL CheckSaveName();

    const media::FileKindsTable* m_kinds;
    int16_t m_startKind;
    int16_t m_acceptedKind = 0;
    std::string m_acceptedPath;
};

class CPictureFileExchange {
public:
    enum : int16_t { kModeSave = 0, kModeOpen = 1 };
    static constexpr uint8_t kShadeColour = 25;

    // Shades the screen, reads the kind preference, runs the dialog and opens the chosen file.
    // Without a record file the module's own (of the base id) is opened and owned.
    CPictureFileExchange(int16_t baseId, int16_t filterId, CRecordFile* recordFile, int16_t mode);
    // Lifts the shade, stores a changed kind, closes what is open.
    ~CPictureFileExchange();
    CPictureFileExchange(const CPictureFileExchange&) = delete;
    CPictureFileExchange& operator=(const CPictureFileExchange&) = delete;

    // Runs the dialog and opens the chosen file: 0, kPictureFileNotChosen, or the open's code.
    int16_t RunPictureDialog();
    // The system's error code of the test open, or the file exception's cause; 0 when open.
    int16_t OpenForReading();
    int16_t OpenForWriting();
    // 0, or the file exception's cause (a short read is endOfFile); kPictureFileNotOpen.
    int16_t ReadBytes(void* buffer, uint32_t n);
    int16_t WriteBytes(const void* buffer, uint32_t n);
    // The open file's length; 0 when none is open.
    DWORD GetLength();
    // Closes the file once: 0 or the exception's cause.
    int16_t Close();
    // The chosen path.
    std::string GetFileName() const { return m_pathName; }

    int16_t ResultCode() const { return m_result; }
    // The chosen kind (1 to the number of kinds) once a file is open, else -1.
    int16_t ChosenKind() const { return m_kind; }
    bool IsOpen() const { return m_openState == 0; }
    bool Chosen() const { return m_chosen != 0; }
    const std::string& PathName() const { return m_pathName; }
    const std::string& FileName() const { return m_fileName; }
    const std::string& FileExt() const { return m_fileExt; }
    const std::string& FileTitle() const { return m_fileTitle; }
    // The table read from the 'FIL' item, if any.
    const std::optional<media::FileKindsTable>& Kinds() const { return m_kinds; }

    // The kind chosen last by any exchange.
    static int16_t LastKind() { return s_lastKind; }

private:
    int KindCount() const { return m_kinds ? static_cast<int>(m_kinds->kinds.size()) : 0; }
    int16_t PrefId() const { return static_cast<int16_t>(m_baseId + m_filterId); }
    void LoadKinds();
    void ReadKindPreference();
    void WriteKindPreference(int16_t kind);
    std::string BuildFilter() const;
    void ReportNoFileObject();

    int16_t m_result = 0;
    int16_t m_filterId;
    int16_t m_baseId;
    int16_t m_mode;
    int16_t m_savePref = 1;
    int16_t m_openState = -1;
    int16_t m_kind = -1;
    int16_t m_ownsRecordFile = 0;
    int16_t m_closed = 0;
    int16_t m_storedKind = 0;  // the "pup " item's value as read (or written at creation)
    CRecordFile* m_recordFile;
    int16_t m_chosen = 0;
    std::string m_pathName;
    std::string m_fileName;
    std::string m_fileExt;
    std::string m_fileTitle;
    std::unique_ptr<CFile> m_file;
    std::optional<media::FileKindsTable> m_kinds;

    static int16_t s_lastKind;
};

// The shapes activity's name for the exchange: (module record id, filter id, record file,
// open flag).
using CPictureFileSession = CPictureFileExchange;
