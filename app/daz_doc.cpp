#include "app/daz_doc.h"

IMPLEMENT_DYNCREATE(CDazDoc, CDocument)

BEGIN_MESSAGE_MAP(CDazDoc, CDocument)
END_MESSAGE_MAP()

CDazDoc::~CDazDoc() = default;

BOOL CDazDoc::OnNewDocument() {
    return CDocument::OnNewDocument() ? TRUE : FALSE;
}
