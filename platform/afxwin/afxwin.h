// The class library's window framework in one include: windows and message maps, the
// application, device contexts, documents and views, the framework's window names and calls,
// the program's pictures, message boxes and printing. The controls and the dialogs, which
// stand on the framework, are platform/dialogs/afx_dialogs.h.
#pragma once

#include "platform/afx/afx_string.h"
#include "platform/afx/exceptions.h"
#include "platform/afx/message_box.h"
#include "platform/afx/object.h"
#include "platform/afx/string_table.h"
#include "platform/afxwin/cdc.h"
#include "platform/afxwin/cwnd.h"
#include "platform/afxwin/doc_view.h"
#include "platform/afxwin/window_api.h"
#include "platform/afxwin/winapp.h"
#include "platform/gdi/picture_resources.h"
#include "platform/msgbox/msgbox.h"
#include "platform/print/print.h"
