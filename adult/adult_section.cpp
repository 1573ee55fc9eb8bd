#include "adult/adult_section.h"

#include "adult/adult_sheet.h"

int CAdultSection::RunSheet(bool launcherMode, UINT captionId, CWnd* parent, CUserPrefs& record,
                            ActivitySettings& block) {
    CAdultSheet sheet(launcherMode ? TRUE : FALSE, captionId, parent, 0);
    sheet.SetUserSettings(&record, &block);
    return static_cast<int>(sheet.DoModal());
}
