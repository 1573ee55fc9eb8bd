// The game's document: the document/view layer is only a host for the game view, so the
// document holds nothing.
#pragma once

#include "platform/afxwin/afxwin.h"

// The document template's resource id (the frame's menu 99).
inline constexpr UINT kDocTemplateResource = 99;

class CDazDoc : public CDocument {
    DECLARE_DYNCREATE(CDazDoc)
public:
    CDazDoc() = default;
    ~CDazDoc() override;
    BOOL OnNewDocument() override;
    BOOL GetModified() { return IsModified(); }
    void SetModified(BOOL modified) { SetModifiedFlag(modified); }

protected:
    DECLARE_MESSAGE_MAP()
};
