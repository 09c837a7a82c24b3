// Letter-case-insensitive comparison of single-byte texts that folds only the
// ASCII letters, whatever locale the process has set.
#pragma once

inline char FoldAsciiCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the first nCount bytes of a and b are equal without regard to ASCII
// case (bytes that are equal as they are need no folding). The comparison
// stops at the first difference: a zero-terminated text shorter than nCount
// may be compared with nCount bytes that hold no zero.
inline bool EqualNoCaseN(const char* a, const char* b, int nCount) {
  for (int i = 0; i < nCount; ++i)
    if (a[i] != b[i] && FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) return false;
  return true;
}
