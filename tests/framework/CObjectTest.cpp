#include <gtest/gtest.h>

#include <string.h>

#include "afx.h"

// Classes declared in this module chain to the framework's classes in the
// framework module.
class CShape : public CObject {
  DECLARE_DYNCREATE(CShape)
};
IMPLEMENT_DYNCREATE(CShape, CObject)

class CCircle : public CShape {
  DECLARE_DYNCREATE(CCircle)
};
IMPLEMENT_DYNCREATE(CCircle, CShape)

class CNamedList : public CPtrList {
  DECLARE_DYNAMIC(CNamedList)
};
IMPLEMENT_DYNAMIC(CNamedList, CPtrList)

namespace {

TEST(CObjectTest, IsKindOfFollowsTheBaseChain) {
  CCircle circle;
  CNamedList list;
  CStringArray array;
  const struct {
    const CObject* object;
    CRuntimeClass* cls;
    bool expected;
  } cases[] = {
      {&circle, RUNTIME_CLASS(CCircle), true},   {&circle, RUNTIME_CLASS(CShape), true},
      {&circle, RUNTIME_CLASS(CObject), true},   {&circle, RUNTIME_CLASS(CPtrList), false},
      {&list, RUNTIME_CLASS(CPtrList), true},    {&list, RUNTIME_CLASS(CObject), true},
      {&list, RUNTIME_CLASS(CShape), false},     {&array, RUNTIME_CLASS(CStringArray), true},
      {&array, RUNTIME_CLASS(CMapStringToString), false}, {&circle, NULL, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, c.object->IsKindOf(c.cls) != FALSE)
        << c.object->GetRuntimeClass()->m_lpszClassName << " kind of "
        << (c.cls ? c.cls->m_lpszClassName : "NULL");
  }
  EXPECT_STREQ("CCircle", circle.GetRuntimeClass()->m_lpszClassName);
  EXPECT_EQ(static_cast<int>(sizeof(CCircle)), RUNTIME_CLASS(CCircle)->m_nObjectSize);
  EXPECT_STREQ("CObject", RUNTIME_CLASS(CObject)->m_lpszClassName);
  EXPECT_TRUE(RUNTIME_CLASS(CObject)->m_pBaseClass == NULL);
  EXPECT_TRUE(RUNTIME_CLASS(CShape)->IsDerivedFrom(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(RUNTIME_CLASS(CObject)->IsDerivedFrom(RUNTIME_CLASS(CShape)));
}

TEST(CObjectTest, CreateObjectNeedsACreator) {
  CObject* circle = RUNTIME_CLASS(CCircle)->CreateObject();
  ASSERT_TRUE(circle != NULL);
  EXPECT_TRUE(circle->IsKindOf(RUNTIME_CLASS(CCircle)));
  delete circle;

  CObject* array = RUNTIME_CLASS(CStringArray)->CreateObject();
  ASSERT_TRUE(array != NULL);
  EXPECT_EQ(RUNTIME_CLASS(CStringArray), array->GetRuntimeClass());
  delete array;

  EXPECT_TRUE(RUNTIME_CLASS(CPtrList)->CreateObject() == NULL);
  EXPECT_TRUE(RUNTIME_CLASS(CNamedList)->CreateObject() == NULL);
  EXPECT_TRUE(RUNTIME_CLASS(CObject)->CreateObject() == NULL);
}

TEST(AfxMemoryTest, BlocksFromTheFrameworkAllocator) {
  void* empty = AfxAllocMemory(0);
  EXPECT_TRUE(empty != NULL) << "a zero-byte request still gives a block";
  AfxFreeMemory(empty);
  AfxFreeMemory(NULL);

  char* block = static_cast<char*>(AfxAllocMemory(1 << 20));
  ASSERT_TRUE(block != NULL);
  memset(block, 'x', 1 << 20);
  AfxFreeMemory(block);
}

// Strings built by this module are grown and freed inside the framework
// module, and strings the framework made are destroyed here.
TEST(AfxMemoryTest, StringsCrossTheModuleBoundary) {
  CStringArray array;
  {
    CString local("made here");
    array.Add(local);
    local += " and grown";
    array.Add(local);
  }
  CString fromFramework = array.GetAt(1);
  fromFramework.GetBuffer(1000);
  fromFramework.ReleaseBuffer();
  array.RemoveAll();
  EXPECT_STREQ("made here and grown", fromFramework);
}

}  // namespace
