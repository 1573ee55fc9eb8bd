// The album's button. TO BE FILLED with CRecordPanel (app/record_panel.h): open the album of
// module 6's record file (5 x 5 slots, pictures from 60) as the shapes activity does, with a
// picture of the screen to save. Until then the button opens nothing.
#include "tests/popups/popups_module.h"

void OpenRecordPanel() {}
