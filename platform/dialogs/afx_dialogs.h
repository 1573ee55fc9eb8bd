// The class library as programs include it: the window framework (platform/afxwin/afxwin.h)
// with the controls (CButton, CEdit, CListBox ...) and the dialogs on it (CDialog, property
// sheets, the common dialogs, dialog templates, the dialog manager's calls).
#pragma once

#include "platform/afxwin/afxwin.h"
#include "platform/controls/controls.h"
#include "platform/dialogs/common_dialogs.h"
#include "platform/dialogs/dialog.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/dialogs/property_sheet.h"
#include "platform/dialogs/resources.h"
