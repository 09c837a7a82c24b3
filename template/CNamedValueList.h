// An ordered list of name/value pairs whose names are unique without regard
// to ASCII letter case. The list owns its pairs: it allocates them and frees
// them in RemoveAll and in its destructor (also when it is deleted through a
// CPtrList or CObject pointer).
#pragma once

#include <afx.h>

#include "html/CNameValuePair.h"

class CNamedValueList : public CPtrList {
 public:
  CNamedValueList();
  ~CNamedValueList() override;

  // Sets the value of a name. A new name is appended at the tail; an existing
  // one keeps the letter case it was first stored with. Returns FALSE for a
  // null or empty name and when memory runs out (the list is then unchanged).
  BOOL SetValue(LPCSTR pszName, LPCSTR pszValue);
  // Sets the number's decimal text as the value.
  BOOL SetNumber(LPCSTR pszName, int nNumber);

  // FALSE for a null or empty name (strValue untouched); otherwise strValue is
  // the value, or empty with FALSE when no pair has the name.
  BOOL Lookup(LPCSTR pszName, CString& strValue) const;
  BOOL Contains(LPCSTR pszName) const;

  // Destroys and frees every pair, then empties the list.
  void RemoveAll();

  // Iteration in insertion order: GetFirst, then GetNext until NULL. GetNext
  // returns NULL for the last pair and for a pair that is not in this list.
  CNameValuePair* GetFirst() const;
  CNameValuePair* GetNext(CNameValuePair* pPair) const;
  using CPtrList::GetNext;

 private:
  // The expander's name cache looks names up by pointer and length.
  friend class CNameCache;

  CNameValuePair* FindPair(LPCSTR pszName) const;
  // The pair whose name equals the nLength bytes at pName (no zero byte
  // among them) without regard to ASCII case, or NULL.
  CNameValuePair* FindPair(LPCSTR pName, int nLength) const;
};
