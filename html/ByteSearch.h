// Byte searches shared by the tokenizer, the sinks and the template
// expander: find the first of up to four bytes, the first pair of two
// bytes, the first zero byte, and copy a short run. Each comes in three
// forms, selected by a tag argument:
//   Sse2Form   sixteen bytes at once with SSE2 instructions;
//   WordForm   a machine word at a time with plain integer arithmetic;
//   PlainForm  a byte at a time.
// The SSE2 functions carry their own target attribute, so this header
// compiles for any x86 processor; they may only run where ActiveForm() is
// kSse2, from code that is itself compiled for SSE2 or through a call.
// The form is chosen once per process (ActiveForm): SSE2 where the processor
// has it, else words. Setting LDX_BYTE_SEARCH=word in the environment, or
// calling SetForm, makes the library take the word form on any machine, so
// that the code a processor without SSE2 runs is exercised by the tests.
// The plain form is the reference the other two are tested against.
#pragma once

#include <stddef.h>
#include <string.h>

#if defined(__i386__) || defined(__x86_64__) || defined(_M_IX86) || defined(_M_X64)
#define LDX_HAVE_SSE2_FORM 1
#include <emmintrin.h>
#endif

#if defined(__GNUC__) || defined(__clang__)
#define LDX_INLINE __attribute__((always_inline)) inline
#define LDX_SSE2_INLINE __attribute__((always_inline, target("sse2"))) inline
#else
#define LDX_INLINE inline
#define LDX_SSE2_INLINE inline
#endif

namespace byte_search {

// kSixteen: whether the form reads sixteen bytes as one value (callers may
// then take paths built on such reads).
struct PlainForm {
  enum { kSixteen = 0 };
};
struct WordForm {
  enum { kSixteen = 0 };
};
struct Sse2Form {
  enum { kSixteen = 1 };
};

enum Form { kPlain = 0, kWord = 1, kSse2 = 2 };

namespace detail {
extern int g_nForm;  // -1 until chosen
Form ChooseForm();
}  // namespace detail

// The form for this process, chosen on first use.
inline Form ActiveForm() {
  int nForm = detail::g_nForm;
  return nForm >= 0 ? static_cast<Form>(nForm) : detail::ChooseForm();
}
// Makes every later search take this form (kSse2 only where the processor
// has SSE2; otherwise kWord is taken). For tests and fuzz targets.
void SetForm(Form form);
// Whether the processor runs SSE2 instructions.
bool ProcessorHasSse2();

// ---- Plain: a byte at a time ----

template <char A, char B, char C, char D>
LDX_INLINE bool IsAnyOf(char ch) {
  return ch == A || ch == B || ch == C || ch == D;
}

template <char A, char B = A, char C = A, char D = A>
LDX_INLINE const char* FindAnyOf(PlainForm, const char* p, const char* pEnd) {
  while (p < pEnd && !IsAnyOf<A, B, C, D>(*p)) ++p;
  return p;
}

// The first p with p[0] == A and p[1] == B (both before pEnd), or pEnd.
template <char A, char B>
LDX_INLINE const char* FindPair(PlainForm, const char* p, const char* pEnd) {
  for (; pEnd - p > 1; ++p)
    if (p[0] == A && p[1] == B) return p;
  return pEnd;
}

LDX_INLINE const char* FindZero(PlainForm, const char* p, const char* pEnd) {
  while (p < pEnd && *p != '\0') ++p;
  return p;
}

// Whether one of the first nLength (0..16) bytes is zero; sixteen bytes
// from p may be read.
LDX_INLINE bool HasZeroInFirst(PlainForm, const char* p, int nLength) {
  for (int i = 0; i < nLength; ++i)
    if (p[i] == '\0') return true;
  return false;
}

// Copies sixteen bytes (both sides have room for them).
LDX_INLINE void Copy16(PlainForm, char* pDest, const char* pSource) {
  for (int i = 0; i < 16; ++i) pDest[i] = pSource[i];
}

// ---- Words: sizeof(size_t) bytes at a time (little-endian) ----

typedef size_t Word;
const Word kOnes = ~static_cast<Word>(0) / 0xFF;
const Word kLows = kOnes * 0x7F;

LDX_INLINE Word LoadWord(const char* p) {
  Word word;
  memcpy(&word, p, sizeof word);
  return word;
}

// The high bit of exactly the bytes of the word that are zero.
LDX_INLINE Word ZeroBytes(Word word) { return ~(((word & kLows) + kLows) | word | kLows); }

// The high bit of the bytes that are zero, exact for the lowest one only
// (a byte above a zero byte may be flagged too): cheaper, and enough to
// find the first hit.
LDX_INLINE Word FirstZeroBytes(Word word) { return (word - kOnes) & ~word & (kOnes * 0x80); }

template <char A, char B, char C, char D>
LDX_INLINE Word MatchFirst(Word word) {
  Word flags = FirstZeroBytes(word ^ (kOnes * static_cast<unsigned char>(A)));
  if (B != A) flags |= FirstZeroBytes(word ^ (kOnes * static_cast<unsigned char>(B)));
  if (C != A && C != B) flags |= FirstZeroBytes(word ^ (kOnes * static_cast<unsigned char>(C)));
  if (D != A && D != B && D != C) flags |= FirstZeroBytes(word ^ (kOnes * static_cast<unsigned char>(D)));
  return flags;
}

template <char A>
LDX_INLINE Word MatchExact(Word word) {
  return ZeroBytes(word ^ (kOnes * static_cast<unsigned char>(A)));
}

// The index of the byte whose high bit is the lowest set one.
LDX_INLINE int FirstFlaggedByte(Word flags) {
  return sizeof(Word) == 8 ? __builtin_ctzll(static_cast<unsigned long long>(flags)) / 8
                           : __builtin_ctz(static_cast<unsigned>(flags)) / 8;
}

template <char A, char B = A, char C = A, char D = A>
LDX_INLINE const char* FindAnyOf(WordForm, const char* p, const char* pEnd) {
  for (; pEnd - p >= static_cast<ptrdiff_t>(sizeof(Word)); p += sizeof(Word)) {
    Word flags = MatchFirst<A, B, C, D>(LoadWord(p));
    if (flags) return p + FirstFlaggedByte(flags);
  }
  return FindAnyOf<A, B, C, D>(PlainForm(), p, pEnd);
}

template <char A, char B>
LDX_INLINE const char* FindPair(WordForm, const char* p, const char* pEnd) {
  for (; pEnd - p > static_cast<ptrdiff_t>(sizeof(Word)); p += sizeof(Word)) {
    Word flags = MatchExact<A>(LoadWord(p)) & MatchExact<B>(LoadWord(p + 1));
    if (flags) return p + FirstFlaggedByte(flags);
  }
  return FindPair<A, B>(PlainForm(), p, pEnd);
}

LDX_INLINE const char* FindZero(WordForm, const char* p, const char* pEnd) {
  for (; pEnd - p >= static_cast<ptrdiff_t>(sizeof(Word)); p += sizeof(Word)) {
    Word flags = FirstZeroBytes(LoadWord(p));
    if (flags) return p + FirstFlaggedByte(flags);
  }
  return FindZero(PlainForm(), p, pEnd);
}

LDX_INLINE bool HasZeroInFirst(WordForm, const char* p, int nLength) {
  int i = 0;
  for (; nLength - i >= static_cast<int>(sizeof(Word)); i += sizeof(Word))
    if (FirstZeroBytes(LoadWord(p + i))) return true;
  if (i == nLength) return false;
  // The last, partial word: exact flags of its first bytes only.
  Word flags = ZeroBytes(LoadWord(p + i));
  return (flags & (~static_cast<Word>(0) >> (8 * (sizeof(Word) - (nLength - i))))) != 0;
}

LDX_INLINE void Copy16(WordForm, char* pDest, const char* pSource) {
  for (size_t i = 0; i < 16; i += sizeof(Word)) {
    Word word = LoadWord(pSource + i);
    memcpy(pDest + i, &word, sizeof word);
  }
}

// ---- SSE2: sixteen bytes at a time ----
#if defined(LDX_HAVE_SSE2_FORM)

LDX_SSE2_INLINE __m128i Load16(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

LDX_SSE2_INLINE void Store16(char* p, __m128i bytes) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), bytes); }

// Of sixteen bytes as read, those equal to one of the four, as a bit mask
// (bit i for byte i).
template <char A, char B = A, char C = A, char D = A>
LDX_SSE2_INLINE unsigned Match16(__m128i bytes) {
  __m128i hits = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(A));
  if (B != A) hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(B)));
  if (C != A && C != B) hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(C)));
  if (D != A && D != B && D != C) hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(D)));
  return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

// Of the sixteen positions from p, those where A is followed by B (reads
// seventeen bytes).
template <char A, char B>
LDX_SSE2_INLINE unsigned MatchPair16(const char* p) {
  __m128i hits = _mm_and_si128(_mm_cmpeq_epi8(Load16(p), _mm_set1_epi8(A)), _mm_cmpeq_epi8(Load16(p + 1), _mm_set1_epi8(B)));
  return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

template <char A, char B = A, char C = A, char D = A>
LDX_SSE2_INLINE const char* FindAnyOf(Sse2Form, const char* p, const char* pEnd) {
  for (; pEnd - p >= 16; p += 16) {
    unsigned mask = Match16<A, B, C, D>(Load16(p));
    if (mask) return p + __builtin_ctz(mask);
  }
  return FindAnyOf<A, B, C, D>(PlainForm(), p, pEnd);
}

template <char A, char B>
LDX_SSE2_INLINE const char* FindPair(Sse2Form, const char* p, const char* pEnd) {
  for (; pEnd - p > 16; p += 16) {
    unsigned mask = MatchPair16<A, B>(p);
    if (mask) return p + __builtin_ctz(mask);
  }
  return FindPair<A, B>(PlainForm(), p, pEnd);
}

LDX_SSE2_INLINE const char* FindZero(Sse2Form, const char* p, const char* pEnd) {
  for (; pEnd - p >= 16; p += 16) {
    unsigned mask = Match16<'\0'>(Load16(p));
    if (mask) return p + __builtin_ctz(mask);
  }
  return FindZero(PlainForm(), p, pEnd);
}

LDX_SSE2_INLINE bool HasZeroInFirst(Sse2Form, const char* p, int nLength) {
  return (Match16<'\0'>(Load16(p)) & ((1U << nLength) - 1)) != 0;
}

LDX_SSE2_INLINE void Copy16(Sse2Form, char* pDest, const char* pSource) { Store16(pDest, Load16(pSource)); }

#endif

}  // namespace byte_search
