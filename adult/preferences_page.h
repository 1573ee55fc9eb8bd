// The grown-ups' first page, "Inställningar" (template 234; 235 in launcher mode), and its
// options dialog "Tillval" (134). The page holds the sound volume, saving, printing, the stop
// sign and automatic highlighting as radio indices and a percent; the sheet copies them to
// and from the player's preference record (FromRecord, ToRecord). The printer set-up writes
// straight into the record the sheet edits.
#pragma once

#include "adult/slider_controls.h"
#include "engine/base/user_prefs.h"
#include "platform/dialogs/property_sheet.h"

inline constexpr UINT kOptionsDialog = 134;
inline constexpr short kVolumeSampleSound = 575;

// Control ids of the page and the options dialog.
namespace prefs_ids {
inline constexpr int kStopSignShow = 1002, kStopSignHide = 1003;
inline constexpr int kHighlightOn = 1004, kHighlightOff = 1005;
inline constexpr int kOptions = 1006;
inline constexpr int kVolumeSlider = 1007;
inline constexpr int kSpeedSlider = 1008;
inline constexpr int kAdvanceAuto = 1014, kAdvanceClick = 1015;
inline constexpr int kSystemVolume = 1032, kOwnVolume = 1033;
inline constexpr int kSaveOn = 1056, kSaveOff = 1057;
inline constexpr int kPrinterSetup = 1059;
inline constexpr int kPrintOff = 1068;
inline constexpr int kPrintColour = 1082, kPrintMono = 1083;
inline constexpr int kLauncherNote1 = 1066, kLauncherNote2 = 1065;
}  // namespace prefs_ids

// The volume slider's positions 0..7 and the percent 0..100 (MulDiv: nearest whole number).
int VolumePercentOf(int sliderPos);
int VolumeSliderPosOf(int percent);

// Copies a printer set-up into the record: the 148-byte device mode (none: left as it is) and
// the driver, device and port names, each cut to its field (12, 31, 31 characters) and
// terminated.
void StorePrinterSetup(CUserPrefs& record, const void* devMode, const char* driver, const char* device,
                       const char* port);

class COptionsDlg : public CDialog {
public:
    explicit COptionsDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    CString m_text;
    int m_advance = -1;  // 0 "Automatisk", 1 "Gå fram efter musklick"
    int m_speed = 0;     // 0..28
    CSliderBar m_slider;
};

class CPagePreferences : public CPropertyPage {
    DECLARE_DYNCREATE(CPagePreferences)
public:
    CPagePreferences();
    explicit CPagePreferences(UINT templateId);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    // The record's fields as the page shows them; printing as the game plays it now (the
    // engine's record's printing and colour words). ToRecord writes them back.
    void FromRecord(const CUserPrefs& record, uint16_t printingOn, uint16_t colourPrinting);
    void ToRecord(CUserPrefs& record) const;

    bool LauncherMode() const { return m_nIDTemplate == 235; }

    int m_stopSign = -1;     // 0 "Visa stoppskylt", 1 "Göm stoppskylt"
    int m_highlight = -1;    // 0 "På", 1 "Av"
    int m_volumePercent = 0;
    int m_volume = 0;        // 0 the system volume, 1 the own volume beside the slider
    int m_printer = -1;      // 0 colour or grey, 1 black and white, 2 off
    int m_carried2C = -1;    // the record's word +0x2C, carried unchanged
    int m_save = 0;          // 0 "På", 1 "Av"
    CSliderBar m_slider;
    int m_speed = 0;         // 0..28, edited in the options dialog
    int m_advance = 0;       // 0 automatic, 1 after a mouse click
    CString m_guestName;

protected:
    afx_msg void OnSystemVolume();
    afx_msg void OnOwnVolume();
    afx_msg void OnHighlightOn();
    afx_msg void OnHighlightOff();
    afx_msg void OnPrintOn();
    afx_msg void OnPrintOff();
    afx_msg void OnOptions();
    afx_msg void OnPrinterSetup();
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg LRESULT OnSliderMoved(WPARAM pos, LPARAM);
    afx_msg LRESULT OnSliderUpDown(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void EnableItem(int id, bool enable);
    void EnableSlider(bool enable);
};
