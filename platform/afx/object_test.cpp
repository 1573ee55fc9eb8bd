#include "platform/afx/object.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/afx/exceptions.h"

namespace {

class CShape : public CObject {
    DECLARE_DYNAMIC(CShape)
};

class CPolygon : public CShape {
    DECLARE_DYNCREATE(CPolygon)
public:
    int m_corners = 3;
};

class CSquare : public CPolygon {
    DECLARE_DYNCREATE(CSquare)
public:
    CSquare() { m_corners = 4; }
};

class CCircle : public CShape {
    DECLARE_DYNAMIC(CCircle)
};

IMPLEMENT_DYNAMIC(CShape, CObject)
IMPLEMENT_DYNCREATE(CPolygon, CShape)
IMPLEMENT_DYNCREATE(CSquare, CPolygon)
IMPLEMENT_DYNAMIC(CCircle, CShape)

TEST(RuntimeClass, IsKindOfFollowsTheBaseChainOnly) {
    const CShape shape;
    const CPolygon polygon;
    const CSquare square;
    const CCircle circle;
    struct Case {
        const CObject* object;
        CRuntimeClass* cls;
        bool expected;
    };
    const Case cases[] = {
        {&square, RUNTIME_CLASS(CSquare), true},    {&square, RUNTIME_CLASS(CPolygon), true},
        {&square, RUNTIME_CLASS(CShape), true},     {&square, RUNTIME_CLASS(CObject), true},
        {&square, RUNTIME_CLASS(CCircle), false},   {&polygon, RUNTIME_CLASS(CSquare), false},
        {&polygon, RUNTIME_CLASS(CShape), true},    {&shape, RUNTIME_CLASS(CPolygon), false},
        {&circle, RUNTIME_CLASS(CPolygon), false},  {&circle, RUNTIME_CLASS(CShape), true},
        {&square, RUNTIME_CLASS(CException), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.object->GetRuntimeClass()->m_lpszClassName) + " kind of " + c.cls->m_lpszClassName);
        EXPECT_EQ(c.object->IsKindOf(c.cls), c.expected ? TRUE : FALSE);
    }
}

TEST(RuntimeClass, RecordsNameTheClassItsSizeAndBase) {
    CRuntimeClass* square = RUNTIME_CLASS(CSquare);
    EXPECT_STREQ(square->m_lpszClassName, "CSquare");
    EXPECT_EQ(square->m_nObjectSize, static_cast<int>(sizeof(CSquare)));
    EXPECT_EQ(square->m_pBaseClass, RUNTIME_CLASS(CPolygon));
    EXPECT_EQ(RUNTIME_CLASS(CShape)->m_pBaseClass, RUNTIME_CLASS(CObject));
    EXPECT_EQ(RUNTIME_CLASS(CObject)->m_pBaseClass, nullptr);
    // Through a base pointer the record is the object's own, not the pointer's.
    std::unique_ptr<CShape> shape = std::make_unique<CSquare>();
    EXPECT_EQ(shape->GetRuntimeClass(), square);
}

TEST(RuntimeClass, CreatesObjectsOfDynCreateClassesOnly) {
    std::unique_ptr<CObject> made(RUNTIME_CLASS(CSquare)->CreateObject());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetRuntimeClass(), RUNTIME_CLASS(CSquare));
    ASSERT_TRUE(made->IsKindOf(RUNTIME_CLASS(CPolygon)));
    EXPECT_EQ(static_cast<CPolygon*>(made.get())->m_corners, 4);

    EXPECT_EQ(RUNTIME_CLASS(CShape)->CreateObject(), nullptr);
    EXPECT_EQ(RUNTIME_CLASS(CObject)->CreateObject(), nullptr);
}

TEST(RuntimeClass, FromNameFindsLinkedClasses) {
    EXPECT_EQ(CRuntimeClass::FromName("CPolygon"), RUNTIME_CLASS(CPolygon));
    EXPECT_EQ(CRuntimeClass::FromName("CObject"), RUNTIME_CLASS(CObject));
    EXPECT_EQ(CRuntimeClass::FromName("CFileException"), RUNTIME_CLASS(CFileException));
    EXPECT_EQ(CRuntimeClass::FromName("cpolygon"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CNothing"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);

    std::unique_ptr<CObject> made(CRuntimeClass::CreateObject("CPolygon"));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetRuntimeClass(), RUNTIME_CLASS(CPolygon));
    EXPECT_EQ(CRuntimeClass::CreateObject("CCircle"), nullptr);
}

}  // namespace
