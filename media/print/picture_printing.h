// Picture printing: the part of the frame surface under a spot, scaled to fill one page as far
// as its proportions allow and centred, on the player's chosen printer or WIN.INI's default.
// Colour printers get the picture's colours; black and white printers a line drawing (dark
// areas solid, strong colour changes as black edges). A modeless "Skriver ut..." box is up
// while the page is made. Every failure shows one message, ends the job (an open document is
// aborted) and deletes the printer context once. UI thread; printing is synchronous.
#pragma once

#include <cstdint>

#include "platform/core/wintypes.h"
#include "platform/dialogs/dialog.h"
#include "platform/gdi/wingdi.h"

class CDibG;

namespace media {

// The messages, by code 0..7: string ids 40002..40009.
inline constexpr UINT kIdsPrintFirstMessage = 40002;
inline constexpr int kPrintMessages = 8;
enum PrintError : int {
    kPrintErrorStartDoc = 0,
    kPrintErrorStartPage = 1,
    kPrintErrorEndPage = 2,
    kPrintErrorEndDoc = 3,
    kPrintErrorSetup = 4,
    kPrintErrorNoGraphics = 5,
    kPrintErrorMemory = 6,
    kPrintErrorUnknown = 7,
};
// The progress box's dialog template.
inline constexpr UINT kPrintProgressDialog = 24583;

// Adds the messages and the progress box's template to the program's tables.
void RegisterPicturePrintingResources();

// The document name: the title and " Picture"; when that is over 31 characters, the key and
// "'s Picture".
std::string PrintDocumentName(const std::string& title, const std::string& appKey);

}  // namespace media

// The modeless "Skriver ut..." box.
class CPrintProgressDlg : public CDialog {
public:
    CPrintProgressDlg() = default;
    BOOL CreateBox(CWnd* parent) { return Create(media::kPrintProgressDialog, parent); }
};

// Print modes: 0 automatic (by the printer's colours), 1 colour, 2 line drawing.
enum : int { kPrintAuto = 0, kPrintColour = 1, kPrintLineDrawing = 2 };

// Prints the picture under the spot (module-relative id). A spot of no width or height, or
// one off the surface, prints nothing.
void PrintPicture(int16_t spotId);
// Values outside 0..2 set 0.
void SetPrintMode(int32_t mode);
int GetPrintMode();
// The printer's context with the document and the page started and the progress box up; FALSE
// (and *dc null) after reporting the failure.
BOOL StartPrinting(HDC* dc);
// Ends the page and the document, deletes the context and the progress box. A failure is
// reported (the document aborted); FALSE then. The context is deleted in every case.
BOOL EndPrinting(HDC dc);
// Shows the message of the code (7 for an unknown code) in an OK box and deletes the context
// when there is one; the whole screen is redrawn afterwards.
void ReportPrintError(int code, HDC dc);
// TRUE when the saved device (device buffer) is listed in WIN.INI's [devices] with the saved
// port (port buffer); the buffers then hold the listed device, its driver and port.
BOOL FindSavedPrinter(LPSTR driver, int driverSize, LPSTR device, int deviceSize, LPSTR port, int portSize);
// Draws the source rectangle of the surface into the destination on the printer, in colour or
// as a line drawing by the print mode. Rectangles: right and bottom exclusive.
BOOL PrintDib(CDibG& surface, HDC dc, const RECT& dst, const RECT& src);
