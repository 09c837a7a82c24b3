// Reading a character reference's name in text and decoding it, in each
// search form. Included by the tokenizer's fast paths, once per form; every
// function here is local to the including file.

namespace {

using char_refs::kMaxCharRefName;

// A reference name read at once: how long it is (see FindCharRefName),
// whether it holds a zero byte, and its bytes packed as an entity key.
struct CharRefName {
  int nLength;
  bool bZero;
  unsigned long long key;
};

// Per length below eight, the bytes of an eight-byte word that a name of
// that length covers.
constexpr unsigned long long kNameKeyMasks[8] = {
    0, 0xFF, 0xFFFF, 0xFFFFFF, 0xFFFFFFFF, 0xFFFFFFFFFFULL, 0xFFFFFFFFFFFFULL, 0xFFFFFFFFFFFFFFULL,
};

// The name's first nLength bytes (of eight readable ones, nLength below
// eight) packed as an entity key, as EntityIndex::Key packs them.
LDX_INLINE unsigned long long ReadNameKey(LPCSTR p, int nLength) {
  unsigned long long word;
  memcpy(&word, p, 8);
  return word & kNameKeyMasks[nLength];
}

// The index of the lowest set bit of a number that has one; a 32-bit
// processor looks at the low half first rather than calling the runtime.
LDX_INLINE int LowestSetBit(unsigned long long x) {
  if (sizeof(void*) >= 8) return __builtin_ctzll(x);
  unsigned nLow = static_cast<unsigned>(x);
  return nLow ? __builtin_ctz(nLow) : 32 + __builtin_ctz(static_cast<unsigned>(x >> 32));
}

// Of the eight bytes at p, the index of the first one that ends a name
// (";", CR, LF, "<") and of the first zero byte; 8 for none.
LDX_INLINE void FindNameStops(byte_search::WordForm, LPCSTR p, int& nEnd, int& nZero) {
  // Two words of four bytes on a 32-bit processor, one of eight otherwise;
  // the lowest flagged byte of each test is exact.
  using byte_search::Word;
  int nFirstEnd = 8, nFirstZero = 8;
  for (int i = 8 - static_cast<int>(sizeof(Word)); i >= 0; i -= static_cast<int>(sizeof(Word))) {
    Word word = byte_search::LoadWord(p + i);
    Word ends = byte_search::MatchFirst<';', '\r', '\n', '<'>(word);
    Word zeros = byte_search::FirstZeroBytes(word);
    if (ends) nFirstEnd = i + byte_search::FirstFlaggedByte(ends);
    if (zeros) nFirstZero = i + byte_search::FirstFlaggedByte(zeros);
  }
  nEnd = nFirstEnd;
  nZero = nFirstZero;
}

#if defined(LDX_HAVE_SSE2_FORM)
LDX_SSE2_INLINE void FindNameStops(byte_search::Sse2Form, LPCSTR p, int& nEnd, int& nZero) {
  __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
  // The upper eight lanes hold zeros: they count as zero bytes, never as ends.
  nEnd = __builtin_ctz(byte_search::Match16<';', '\r', '\n', '<'>(bytes) | 0x100U);
  nZero = __builtin_ctz(byte_search::Match16<'\0'>(bytes));
}
#endif

// Where the reference name starting at p ends: at its first ";", CR, LF or
// "<" when one lies within the first kMaxCharRefName + 1 bytes, else after
// kMaxCharRefName + 1 bytes (a name too long for the table). False when
// the chunk ends before this is decided.
template <class Form>
LDX_INLINE bool FindCharRefName(LPCSTR p, LPCSTR pEnd, CharRefName& name) {
  const int kWindow = kMaxCharRefName + 1;
  if (pEnd - p >= 8) {
    // Eight bytes at once.
    int nEnd, nZero;
    FindNameStops(Form(), p, nEnd, nZero);
    name.nLength = nEnd < kWindow ? nEnd : kWindow;
    name.bZero = nZero < name.nLength;
    name.key = ReadNameKey(p, name.nLength);
    return true;
  }
  name.bZero = false;
  for (name.nLength = 0; name.nLength < kWindow; ++name.nLength) {
    if (p + name.nLength == pEnd) return false;
    char ch = p[name.nLength];
    if (ch == ';' || ch == '\r' || ch == '\n' || ch == '<') break;
    if (ch == '\0') name.bZero = true;
  }
  name.key = name.nLength <= kMaxCharRefName ? char_refs::EntityIndex::Key(p, name.nLength) : 0;
  return true;
}

// The number after a name's leading "#" as the runtime reads it, the name
// given as its key: the digits up to the first other byte or the name's
// end (at most kMaxCharRefName - 1 of them, so it cannot overflow). All of
// them are read at once. The count of digits and the digits as values.
LDX_INLINE int ReadDigitsAfterHash(unsigned long long key, unsigned long long& values) {
  const unsigned long long kOnes = 0x0101010101010101ULL;
  values = (key >> 8) ^ (kOnes * '0');  // a digit becomes 0..9
  unsigned long long notDigits = (values & (kOnes * 0xF0)) | (((values & (kOnes * 0x0F)) + kOnes * 6) & (kOnes * 0x10));
  // The key's bytes past the name are zero, so the digits stop at its end
  // at the latest (and the top byte is never a digit).
  return LowestSetBit(notDigits) / 8;
}

LDX_INLINE unsigned ReadNumberAfterHash(byte_search::WordForm, unsigned long long key) {
  unsigned long long values;
  int nDigits = ReadDigitsAfterHash(key, values);
  if (sizeof(void*) < 8) {
    // A 32-bit processor multiplies long numbers in pieces: the digits (at
    // most kMaxCharRefName - 1) are added one by one instead, each step
    // taken only within the count, without a branch.
    unsigned nLow = static_cast<unsigned>(values), nHigh = static_cast<unsigned>(values >> 32);
    unsigned nNumber = 0;
    for (int i = 0; i < kMaxCharRefName - 1; ++i) {
      unsigned nDigit = (i < 4 ? nLow >> (8 * i) : nHigh >> (8 * (i - 4))) & 0xFF;
      unsigned nNext = nNumber * 10 + nDigit;
      nNumber = i < nDigits ? nNext : nNumber;
    }
    return nNumber;
  }
  // The digits are moved to the top of an eight-digit field, zeros in
  // front, and combined pairwise in three steps.
  unsigned long long field = values & ((1ULL << (8 * nDigits)) - 1);
  field = (field << (8 * (7 - nDigits))) << 8;
  field = (field * 10 + (field >> 8)) & 0x00FF00FF00FF00FFULL;
  field = (field * 100 + (field >> 16)) & 0x0000FFFF0000FFFFULL;
  field = (field * 10000 + (field >> 32)) & 0xFFFFFFFFULL;
  return static_cast<unsigned>(field);
}

#if defined(LDX_HAVE_SSE2_FORM)
LDX_SSE2_INLINE unsigned ReadNumberAfterHash(byte_search::Sse2Form, unsigned long long key) {
  unsigned long long values;
  int nDigits = ReadDigitsAfterHash(key, values);
  __m128i digits = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&values)), _mm_setzero_si128());
  __m128i weights = _mm_loadu_si128(reinterpret_cast<const __m128i*>(char_refs::g_digitWeights.m_weights[nDigits]));
  __m128i sums = _mm_madd_epi16(digits, weights);
  sums = _mm_add_epi32(sums, _mm_srli_si128(sums, 8));
  sums = _mm_add_epi32(sums, _mm_srli_si128(sums, 4));
  return static_cast<unsigned>(_mm_cvtsi128_si32(sums));
}
#endif

#if defined(LDX_HAVE_SSE2_FORM)
// The same for the name at p, whose eight bytes after the "#" may be read
// and end at the latest with the ";" after the name: the digits are found
// and combined without leaving the vector registers.
LDX_SSE2_INLINE unsigned ReadNumberAfterHashAt(LPCSTR p) {
  __m128i values = _mm_sub_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 1)), _mm_set1_epi8('0'));
  // A digit's value is at most 9. An empty name (its ";" at p) may have
  // digits after it: the count stops at the table's last row, and the
  // number is not taken then.
  unsigned digits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(values, _mm_set1_epi8(9)), values)));
  int nDigits = __builtin_ctz(~digits | (1U << (kMaxCharRefName - 1)));
  __m128i weights = _mm_loadu_si128(reinterpret_cast<const __m128i*>(char_refs::g_digitWeights.m_weights[nDigits]));
  __m128i sums = _mm_madd_epi16(_mm_unpacklo_epi8(values, _mm_setzero_si128()), weights);
  sums = _mm_add_epi32(sums, _mm_srli_si128(sums, 8));
  sums = _mm_add_epi32(sums, _mm_srli_si128(sums, 4));
  return static_cast<unsigned>(_mm_cvtsi128_si32(sums));
}

// DecodeNameKey for the name at p (see ReadNumberAfterHashAt).
LDX_SSE2_INLINE char DecodeNameAt(LPCSTR p, unsigned long long key) {
  char chNumber = char_refs::g_codeBytes.Get(ReadNumberAfterHashAt(p));
  return char_refs::SelectByte((static_cast<unsigned>(key) & 0xFF) == '#', chNumber, char_refs::g_entityIndex.Find(key));
}
#endif

// The byte a reference name of at most kMaxCharRefName bytes, none of them
// zero, given as its key, stands for (see DecodeCharRef), unless
// IsNumberAfterBlankOrSign. Both readings, a number after "#" and a table
// name, are worked out without branches and one is picked, as references
// of both kinds come mixed in any order (a branch on the kind costs more
// than both readings).
template <class Form>
LDX_INLINE char DecodeNameKey(unsigned long long key) {
  char chNumber = char_refs::g_codeBytes.Get(ReadNumberAfterHash(Form(), key));
  return char_refs::SelectByte((static_cast<unsigned>(key) & 0xFF) == '#', chNumber, char_refs::g_entityIndex.Find(key));
}

// The byte a reference name of at most kMaxCharRefName bytes, none of them
// zero, stands for (see DecodeCharRef).
template <class Form>
char DecodeShortName(LPCSTR pName, const CharRefName& name) {
  if (char_refs::IsNumberAfterBlankOrSign(name.key)) {
    char szNumber[kMaxCharRefName + 1];
    memcpy(szNumber, pName, static_cast<size_t>(name.nLength));
    szNumber[name.nLength] = '\0';
    return char_refs::DecodeName(szNumber);
  }
  return DecodeNameKey<Form>(name.key);
}

#if defined(LDX_HAVE_SSE2_FORM)
// Of the first eight bytes of a reference name as read, those that end it
// (";", CR, LF, "<"), zero bytes and the eighth byte (a name too long for
// the table) as a mask; semicolons gets the mask of the ";".
LDX_SSE2_INLINE unsigned FindNameStopMask(__m128i bytes, unsigned& semicolons) {
  semicolons = byte_search::Match16<';'>(bytes);
  return semicolons | byte_search::Match16<'\r', '\n', '<', '\0'>(bytes) | 0x80U;
}
#endif

}  // namespace
