// Letter-case-insensitive comparison of single-byte texts that folds only the
// ASCII letters, whatever locale the process has set.
#pragma once

inline char FoldAsciiCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether two zero-terminated texts are equal without regard to ASCII case.
inline bool EqualNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (FoldAsciiCase(*a) != FoldAsciiCase(*b)) return false;
    if (*a == '\0') return true;
  }
}

// Whether the first nCount bytes of a and b are equal without regard to ASCII
// case (both must hold at least nCount bytes).
inline bool EqualNoCaseN(const char* a, const char* b, int nCount) {
  for (int i = 0; i < nCount; ++i)
    if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) return false;
  return true;
}
