#include "platform/afx/object.h"

#include <atomic>
#include <cstring>

namespace {
// Head of the FromName list. Links are only added (during static initialisation or later),
// never removed, so readers need no lock beyond the atomic head.
std::atomic<CRuntimeClass*> g_firstClass{nullptr};
}  // namespace

CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr, nullptr, nullptr};
static const plat::CRuntimeClassLink zelboClassLinkCObject(&CObject::classCObject);

plat::CRuntimeClassLink::CRuntimeClassLink(CRuntimeClass* record) {
    CRuntimeClass* head = g_firstClass.load();
    do {
        record->m_pNextClass = head;
    } while (!g_firstClass.compare_exchange_weak(head, record));
}

CObject* CRuntimeClass::CreateObject() {
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* cls = this; cls; cls = cls->m_pBaseClass) {
        if (cls == base) {
            return TRUE;
        }
    }
    return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR className) {
    if (!className) {
        return nullptr;
    }
    for (CRuntimeClass* cls = g_firstClass.load(); cls; cls = cls->m_pNextClass) {
        if (std::strcmp(cls->m_lpszClassName, className) == 0) {
            return cls;
        }
    }
    return nullptr;
}

CObject* CRuntimeClass::CreateObject(LPCSTR className) {
    CRuntimeClass* cls = FromName(className);
    return cls ? cls->CreateObject() : nullptr;
}

CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}

void CObject::Serialize(CArchive&) {}

void CObject::AssertValid() const {}

BOOL CObject::IsKindOf(const CRuntimeClass* cls) const {
    return GetRuntimeClass()->IsDerivedFrom(cls);
}

BOOL CObject::IsSerializable() const {
    return GetRuntimeClass()->m_wSchema != 0xFFFF;
}
