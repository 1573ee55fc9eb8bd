#include "adult/preferences_page.h"

#include <algorithm>
#include <cstring>

#include "adult/adult_sheet.h"
#include "engine/players/player_strings.h"
#include "engine/scene/sound_toolbox.h"
#include "platform/core/crt.h"
#include "platform/dialogs/common_dialogs.h"
#include "platform/dialogs/dialog_api.h"

using namespace prefs_ids;

namespace {

constexpr int kVolumeSteps = 7;
constexpr int kSpeedSteps = 28;
constexpr int kSpeedTickStep = 4;

// Cuts text to the field (size − 1 characters) and terminates it; the rest of the field is zero.
void CopyName(char* field, size_t size, const char* text) {
    std::memset(field, 0, size);
    if (!text) return;
    std::memcpy(field, text, std::min(std::strlen(text), size - 1));
}

}  // namespace

int VolumePercentOf(int sliderPos) {
    return MulDiv(sliderPos, 100, kVolumeSteps);
}

int VolumeSliderPosOf(int percent) {
    return MulDiv(percent, kVolumeSteps, 100);
}

void StorePrinterSetup(CUserPrefs& record, const void* devMode, const char* driver, const char* device,
                       const char* port) {
    CopyName(record.printerDriver, sizeof record.printerDriver, driver);
    CopyName(record.printerDevice, sizeof record.printerDevice, device);
    CopyName(record.printerPort, sizeof record.printerPort, port);
    if (devMode) std::memcpy(record.printerSetup, devMode, sizeof record.printerSetup);
}

// ---------------------------------------------------------------------------------------------
// COptionsDlg

COptionsDlg::COptionsDlg(CWnd* parent) : CDialog(kOptionsDialog, parent) {}

BOOL COptionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_slider.Create(kSpeedSlider, this, 0, kSpeedSteps, 0, kSpeedTickStep, FALSE);
    m_slider.SetPos(m_speed, TRUE);
    m_slider.SetLabels(TRUE);
    return TRUE;
}

void COptionsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Radio(dx, kAdvanceAuto, m_advance);
    // The slider keeps its value itself; the control's own scroll position never moves.
    if (!m_slider.m_hWnd) return;
    if (dx->m_bSaveAndValidate)
        m_speed = m_slider.GetPos();
    else
        m_slider.SetPos(m_speed, TRUE);
}

// ---------------------------------------------------------------------------------------------
// CPagePreferences

IMPLEMENT_DYNCREATE(CPagePreferences, CPropertyPage)

BEGIN_MESSAGE_MAP(CPagePreferences, CPropertyPage)
    ON_BN_CLICKED(kSystemVolume, OnSystemVolume)
    ON_BN_CLICKED(kOwnVolume, OnOwnVolume)
    ON_BN_CLICKED(kHighlightOn, OnHighlightOn)
    ON_BN_CLICKED(kHighlightOff, OnHighlightOff)
    ON_BN_CLICKED(kPrintColour, OnPrintOn)
    ON_BN_CLICKED(kPrintMono, OnPrintOn)
    ON_BN_CLICKED(kPrintOff, OnPrintOff)
    ON_BN_CLICKED(kOptions, OnOptions)
    ON_BN_CLICKED(kPrinterSetup, OnPrinterSetup)
    ON_WM_HSCROLL()
    ON_MESSAGE(kMsgSliderMoved, OnSliderMoved)
    ON_MESSAGE(kMsgSliderUpDown, OnSliderUpDown)
END_MESSAGE_MAP()

CPagePreferences::CPagePreferences() {
    m_guestName.LoadString(kIdsGuestName);
}

CPagePreferences::CPagePreferences(UINT templateId) : CPropertyPage(templateId) {
    m_guestName.LoadString(kIdsGuestName);
}

void CPagePreferences::FromRecord(const CUserPrefs& record, uint16_t printingOn, uint16_t colourPrinting) {
    m_volume = record.useOwnVolume != 0 ? 1 : 0;
    m_volumePercent = record.volumePercent;
    m_stopSign = record.showStopSign != 0 ? 0 : 1;
    m_highlight = record.scanningAllowed != 0 ? 0 : 1;
    const int16_t speed = static_cast<int16_t>(record.scanSpeed);
    // A speed outside 0..28 (a damaged file) shows as 0.
    m_speed = speed >= 0 && speed <= kSpeedSteps ? speed : 0;
    m_advance = record.scanAdvanceAuto != 0 ? 0 : 1;
    m_carried2C = static_cast<int16_t>(record.optionWord);
    m_save = record.savingOn != 0 ? 0 : 1;
    if (printingOn == 0)
        m_printer = 2;
    else if (colourPrinting == 0)
        m_printer = 1;
    else
        m_printer = 0;
}

void CPagePreferences::ToRecord(CUserPrefs& record) const {
    record.useOwnVolume = m_volume == 1 ? 1 : 0;
    record.volumePercent = static_cast<uint16_t>(m_volumePercent);
    record.showStopSign = m_stopSign == 0 ? 1 : 0;
    record.scanningAllowed = m_highlight == 0 ? 1 : 0;
    record.scanSpeed = static_cast<uint16_t>(m_speed);
    record.scanAdvanceAuto = m_advance == 0 ? 1 : 0;
    record.optionWord = static_cast<uint16_t>(m_carried2C);
    record.savingOn = m_save == 0 ? 1 : 0;
    record.colourPrinting = m_printer == 0 ? 1 : 0;
    record.printingOn = m_printer == 0 || m_printer == 1 ? 1 : 0;
}

BOOL CPagePreferences::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_slider.Create(kVolumeSlider, this, 0, kVolumeSteps, 0, 1, TRUE);
    m_slider.SetPos(VolumeSliderPosOf(m_volumePercent), TRUE);
    EnableSlider(m_volume == 1);
    return TRUE;
}

void CPagePreferences::DoDataExchange(CDataExchange* dx) {
    CPropertyPage::DoDataExchange(dx);
    const bool launcher = LauncherMode();
    if (!launcher) DDX_Radio(dx, kStopSignShow, m_stopSign);
    DDX_Radio(dx, kSystemVolume, m_volume);
    if (!launcher) DDX_Radio(dx, kHighlightOn, m_highlight);
    DDX_Radio(dx, kPrintColour, m_printer);
    DDX_Radio(dx, kSaveOn, m_save);
    // The slider keeps its position itself (the control's own scroll position never moves).
    if (dx->m_bSaveAndValidate) {
        if (m_slider.m_hWnd) m_volumePercent = VolumePercentOf(m_slider.GetPos());
        EnableSlider(m_volume == 1);
        return;
    }
    if (!launcher) EnableItem(kOptions, m_highlight == 0);
    EnableItem(kPrinterSetup, m_printer != 2);
    if (m_slider.m_hWnd) {
        m_slider.SetPos(VolumeSliderPosOf(m_volumePercent), TRUE);
        EnableSlider(m_volume == 1);
    }
}

void CPagePreferences::EnableItem(int id, bool enable) {
    if (CWnd* item = GetDlgItem(id)) item->EnableWindow(enable ? TRUE : FALSE);
}

void CPagePreferences::EnableSlider(bool enable) {
    if (m_slider.m_hWnd) m_slider.EnableWindow(enable ? TRUE : FALSE);
}

void CPagePreferences::OnSystemVolume() {
    EnableSlider(false);
}

void CPagePreferences::OnOwnVolume() {
    EnableSlider(true);
}

void CPagePreferences::OnHighlightOn() {
    EnableItem(kOptions, true);
}

void CPagePreferences::OnHighlightOff() {
    EnableItem(kOptions, false);
}

void CPagePreferences::OnPrintOn() {
    EnableItem(kPrinterSetup, true);
}

void CPagePreferences::OnPrintOff() {
    EnableItem(kPrinterSetup, false);
}

void CPagePreferences::OnOptions() {
    COptionsDlg options;
    options.m_advance = m_advance;
    options.m_speed = m_speed;
    options.DoModal();
    // Cancel leaves the dialog's values as they were given, so copying back changes nothing.
    m_advance = options.m_advance;
    m_speed = options.m_speed;
}

void CPagePreferences::OnPrinterSetup() {
    CWnd* parent = GetParent();
    if (!parent || !parent->IsKindOf(RUNTIME_CLASS(CAdultSheet))) return;
    CUserPrefs* record = static_cast<CAdultSheet*>(parent)->m_record;
    if (!record) return;
    char device[sizeof record->printerDevice + 1] = {};
    std::memcpy(device, record->printerDevice, sizeof record->printerDevice);

    CPrintDialog dialog(TRUE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION);
    HGLOBAL given = nullptr;
    if (device[0] != '\0') {
        given = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof record->printerSetup);
        if (given) {
            if (void* bytes = GlobalLock(given)) {
                std::memcpy(bytes, record->printerSetup, sizeof record->printerSetup);
                GlobalUnlock(given);
            }
            dialog.m_pd.hDevMode = given;
        }
    }
    const INT_PTR result = dialog.DoModal();
    // The dialog hands back handles of its own; the one given stays the caller's to free.
    if (given) GlobalFree(given);
    if (dialog.m_pd.hDevMode == given) dialog.m_pd.hDevMode = nullptr;
    if (result != IDOK) return;
    const CString driver = dialog.GetDriverName();
    const CString name = dialog.GetDeviceName();
    const CString port = dialog.GetPortName();
    StorePrinterSetup(*record, dialog.GetDevMode(), driver, name, port);
    if (dialog.m_pd.hDevMode) {
        GlobalUnlock(dialog.m_pd.hDevMode);
        GlobalFree(dialog.m_pd.hDevMode);
        dialog.m_pd.hDevMode = nullptr;
    }
    if (dialog.m_pd.hDevNames) {
        GlobalFree(dialog.m_pd.hDevNames);
        dialog.m_pd.hDevNames = nullptr;
    }
}

void CPagePreferences::OnHScroll(UINT code, UINT position, CScrollBar* bar) {
    if (bar) {
        int min = 0, max = 0;
        bar->GetScrollRange(&min, &max);
        const int now = bar->GetScrollPos();
        int next = now;
        switch (code) {
            case SB_LINELEFT:
                if (now > min) next = now - 1;
                break;
            case SB_LINERIGHT:
                if (now < max) next = now + 1;
                break;
            case SB_PAGELEFT:
                next = std::max(min, now - 5);
                break;
            case SB_PAGERIGHT:
                next = std::min(max, now + 5);
                break;
            case SB_THUMBPOSITION:
            case SB_THUMBTRACK:
                next = static_cast<int>(position);
                break;
            default:
                break;
        }
        if (next != now) bar->SetScrollPos(next, TRUE);
    }
    CPropertyPage::OnHScroll(code, position, bar);
}

LRESULT CPagePreferences::OnSliderMoved(WPARAM position, LPARAM) {
    m_volumePercent = VolumePercentOf(static_cast<int>(position));
    SetSndVolume(kVolumeSampleSound, m_volumePercent);
    return 0;
}

LRESULT CPagePreferences::OnSliderUpDown(WPARAM, LPARAM) {
    if (CWnd* system = GetDlgItem(kSystemVolume)) system->SetFocus();
    CheckDlgButton(kSystemVolume, BST_CHECKED);
    CheckDlgButton(kOwnVolume, BST_UNCHECKED);
    return 0;
}
