// CObject and its run-time class records: type tests (IsKindOf), dynamic creation by
// record or by name, and the DECLARE_/IMPLEMENT_ macros that make the records.
#pragma once

#include "platform/core/wintypes.h"

class CObject;
class CArchive;  // Serialisation is not offered; the virtual keeps the class library's shape.

// One record per class, made by IMPLEMENT_DYNAMIC / IMPLEMENT_DYNCREATE / IMPLEMENT_SERIAL.
// Records are constant-initialised, so they are usable from any static initialiser.
struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;  // 0xFFFF unless the class is serialisable
    CObject* (*m_pfnCreateObject)();  // null when the class cannot be created dynamically
    CRuntimeClass* m_pBaseClass;  // null only for CObject
    CRuntimeClass* m_pNextClass;  // the list that FromName searches

    // A new object of the class, or null when the class has no dynamic creation.
    CObject* CreateObject();
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;

    // The record of a class by its exact name among the classes linked into the program
    // (a class is linked when any of its code is used), or null.
    static CRuntimeClass* FromName(LPCSTR className);
    static CObject* CreateObject(LPCSTR className);
};

namespace plat {
// Adds a record to the FromName list; IMPLEMENT_DYNAMIC makes one per class.
struct CRuntimeClassLink {
    explicit CRuntimeClassLink(CRuntimeClass* record);
};
}  // namespace plat

// The root of the class library's classes. Not copyable, as in the class library, so that
// slicing copies of polymorphic objects do not compile.
class CObject {
public:
    static CRuntimeClass classCObject;

    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    virtual void Serialize(CArchive& archive);
    virtual void AssertValid() const;

    BOOL IsKindOf(const CRuntimeClass* cls) const;
    BOOL IsSerializable() const;

    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

protected:
    CObject() = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)        \
public:                                    \
    static CRuntimeClass class##class_name; \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

#define ZELBO_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, create)                                   \
    CRuntimeClass class_name::class##class_name = {#class_name,           static_cast<int>(sizeof(class_name)),   \
                                                   (schema),              (create),                                \
                                                   RUNTIME_CLASS(base_class_name), nullptr};                      \
    static const plat::CRuntimeClassLink zelboClassLink##class_name(RUNTIME_CLASS(class_name));                     \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    ZELBO_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                        \
    CObject* class_name::CreateObject() { return new class_name; }              \
    ZELBO_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)                   \
    CObject* class_name::CreateObject() { return new class_name; }              \
    ZELBO_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, class_name::CreateObject)
