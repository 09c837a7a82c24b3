#include "html/CHtmlTokenizer.h"

#include <limits.h>
#include <string.h>

#include "html/SinkText.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// For the small steps of the per-event path, where the call costs about as
// much as the work.
#if defined(__GNUC__)
#define LDX_INLINE __attribute__((always_inline)) inline
#else
#define LDX_INLINE inline
#endif

namespace {

struct CharEntity {
  unsigned char code;
  const char* name;
};

// Searched in this order: the four markup characters, then the Latin-1
// names of the codes 160 to 255 in code order.
const CharEntity kEntities[] = {
    {34, "quot"},    {38, "amp"},     {60, "lt"},      {62, "gt"},
    {160, "nbsp"},   {161, "iexcl"},  {162, "cent"},   {163, "pound"},
    {164, "curren"}, {165, "yen"},    {166, "brvbar"}, {167, "sect"},
    {168, "uml"},    {169, "copy"},   {170, "ordf"},   {171, "laquo"},
    {172, "not"},    {173, "shy"},    {174, "reg"},    {175, "macr"},
    {176, "deg"},    {177, "plusmn"}, {178, "sup2"},   {179, "sup3"},
    {180, "acute"},  {181, "micro"},  {182, "para"},   {183, "middot"},
    {184, "cedil"},  {185, "sup1"},   {186, "ordm"},   {187, "raquo"},
    {188, "frac14"}, {189, "frac12"}, {190, "frac34"}, {191, "iquest"},
    {192, "Agrave"}, {193, "Aacute"}, {194, "Acirc"},  {195, "Atilde"},
    {196, "Auml"},   {197, "Aring"},  {198, "AElig"},  {199, "Ccedil"},
    {200, "Egrave"}, {201, "Eacute"}, {202, "Ecirc"},  {203, "Euml"},
    {204, "Igrave"}, {205, "Iacute"}, {206, "Icirc"},  {207, "Iuml"},
    {208, "ETH"},    {209, "Ntilde"}, {210, "Ograve"}, {211, "Oacute"},
    {212, "Ocirc"},  {213, "Otilde"}, {214, "Ouml"},   {215, "times"},
    {216, "Oslash"}, {217, "Ugrave"}, {218, "Uacute"}, {219, "Ucirc"},
    {220, "Uuml"},   {221, "Yacute"}, {222, "THORN"},  {223, "szlig"},
    {224, "agrave"}, {225, "aacute"}, {226, "acirc"},  {227, "atilde"},
    {228, "auml"},   {229, "aring"},  {230, "aelig"},  {231, "ccedil"},
    {232, "egrave"}, {233, "eacute"}, {234, "ecirc"},  {235, "euml"},
    {236, "igrave"}, {237, "iacute"}, {238, "icirc"},  {239, "iuml"},
    {240, "eth"},    {241, "ntilde"}, {242, "ograve"}, {243, "oacute"},
    {244, "ocirc"},  {245, "otilde"}, {246, "ouml"},   {247, "divide"},
    {248, "oslash"}, {249, "ugrave"}, {250, "uacute"}, {251, "ucirc"},
    {252, "uuml"},   {253, "yacute"}, {254, "thorn"},  {255, "yuml"},
};

// The longest reference name the text state waits for before the ";".
const int kMaxCharRefName = 6;

bool IsQuote(char ch) { return ch == '"' || ch == '\''; }

bool IsWhiteSpace(char ch) { return ch == ' ' || ch == '\n' || ch == '\t' || ch == '\r'; }

#if defined(__SSE2__)
// Of sixteen bytes as read, those equal to one of the four, as a bit mask.
template <char A, char B, char C, char D>
unsigned MatchMask(__m128i bytes) {
  __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(A)), _mm_cmpeq_epi8(bytes, _mm_set1_epi8(B))),
                              _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(C)), _mm_cmpeq_epi8(bytes, _mm_set1_epi8(D))));
  return static_cast<unsigned>(_mm_movemask_epi8(hits));
}
#endif

// The first byte in [p, pEnd) equal to one of the four, or pEnd. Text and
// comments are scanned with this: runs of all other bytes are copied at once.
template <char A, char B, char C, char D>
LPCSTR FindAnyOf(LPCSTR p, LPCSTR pEnd) {
#if defined(__SSE2__)
  for (; pEnd - p >= 16; p += 16) {
    unsigned mask = MatchMask<A, B, C, D>(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    if (mask) return p + __builtin_ctz(mask);
  }
#endif
  for (; p < pEnd; ++p) {
    char ch = *p;
    if (ch == A || ch == B || ch == C || ch == D) break;
  }
  return p;
}

LPCSTR FindGreaterThan(LPCSTR p, LPCSTR pEnd) { return FindAnyOf<'>', '>', '>', '>'>(p, pEnd); }

// Appends a run of bytes that may be read up to pReadable. Most names and
// text pieces between tags are short: those that fit are copied in place,
// sixteen bytes at once when that many may be read and written.
inline void AppendRun(CTextBuffer& buffer, LPCSTR p, int nLength, LPCSTR pReadable) {
#if defined(__SSE2__)
  if (nLength <= 16 && pReadable - p >= 16 && buffer.m_pLimit - buffer.m_pCursor >= 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer.m_pCursor), _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    buffer.m_pCursor += nLength;
    return;
  }
#else
  (void)pReadable;
#endif
  if (nLength <= 16 && nLength <= buffer.m_pLimit - buffer.m_pCursor) {
    for (int i = 0; i < nLength; ++i) buffer.m_pCursor[i] = p[i];
    buffer.m_pCursor += nLength;
  } else {
    buffer.Append(p, nLength);
  }
}

// Bytes with a meaning of their own in text and in comments.
LPCSTR FindTextMarkupByte(LPCSTR p, LPCSTR pEnd) { return FindAnyOf<'<', '&', '\n', '\r'>(p, pEnd); }
LPCSTR FindCommentMarkupByte(LPCSTR p, LPCSTR pEnd) { return FindAnyOf<'-', '>', '\n', '\r'>(p, pEnd); }

#if defined(__SSE2__)
// Of sixteen bytes as read, those with a meaning in text.
unsigned FindTextMarkupMask(__m128i bytes) { return MatchMask<'<', '&', '\n', '\r'>(bytes); }
#endif

// Appends the text from p up to its next byte with a meaning and returns
// where that byte is (or pEnd). The first sixteen bytes are searched and
// copied with a single load when both sides have room: the copy may run
// past the run, and the cursor then takes only the run. A longer run is
// searched to its end first and then copied at once, which is faster for
// long text than copying as it is searched.
LDX_INLINE LPCSTR CopyTextRun(CTextBuffer& buffer, LPCSTR p, LPCSTR pEnd) {
#if defined(__SSE2__)
  if (pEnd - p >= 16 && buffer.m_pLimit - buffer.m_pCursor >= 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer.m_pCursor), bytes);
    unsigned mask = FindTextMarkupMask(bytes);
    if (mask) {
      int nRun = __builtin_ctz(mask);
      buffer.m_pCursor += nRun;
      return p + nRun;
    }
    buffer.m_pCursor += 16;
    p += 16;
  }
#endif
  LPCSTR pRun = p;
  p = FindTextMarkupByte(p, pEnd);
  AppendRun(buffer, pRun, static_cast<int>(p - pRun), pEnd);
  return p;
}

// Byte classes of tag names, attribute names and values: where a run of
// name or value bytes ends.
enum {
  kEndsTagName = 1,     // "/", ">" and white space
  kEndsAttrName = 2,    // "=", ">" and white space
  kEndsBareValue = 4,   // ">", white space (CR is dropped from the value)
};

struct ByteClasses {
  unsigned char m_classes[256];
  ByteClasses() {
    memset(m_classes, 0, sizeof(m_classes));
    const unsigned char white[] = {' ', '\t', '\n', '\r'};
    for (unsigned char ch : white) m_classes[ch] = kEndsTagName | kEndsAttrName | kEndsBareValue;
    m_classes[static_cast<unsigned char>('>')] = kEndsTagName | kEndsAttrName | kEndsBareValue;
    m_classes[static_cast<unsigned char>('/')] |= kEndsTagName;
    m_classes[static_cast<unsigned char>('=')] |= kEndsAttrName;
  }
  bool Is(char ch, int nClass) const { return (m_classes[static_cast<unsigned char>(ch)] & nClass) != 0; }
};

const ByteClasses g_byteClasses;

LPCSTR SkipUntil(LPCSTR p, LPCSTR pEnd, int nClass) {
  while (p < pEnd && !g_byteClasses.Is(*p, nClass)) ++p;
  return p;
}

// Where an attribute value's current run stops: at its closing quote, CR
// or LF when quoted (chQuote), at white space when not; at pEnd at most.
LPCSTR FindValueStop(LPCSTR p, LPCSTR pEnd, char chQuote) {
  if (chQuote == '"') return FindAnyOf<'"', '\n', '\r', '\r'>(p, pEnd);
  if (chQuote == '\'') return FindAnyOf<'\'', '\n', '\r', '\r'>(p, pEnd);
  return SkipUntil(p, pEnd, kEndsBareValue);
}

// The entity table as a perfect hash table keyed by the name's bytes
// packed into one number: a name costs one multiplication, two small loads
// and one comparison, with no branch that depends on the name. Names are at
// most kMaxCharRefName bytes and hold no zero byte, so equal keys mean
// equal names. The multiplier is searched once, when the table is built.
struct EntityIndex {
  enum { kSlotBits = 10, kSlots = 1 << kSlotBits };
  enum { kEntityCount = sizeof(kEntities) / sizeof(kEntities[0]) };
  unsigned long long m_multiplier;
  // Per slot the entry's number plus one, 0 for none: small enough to stay
  // in the first-level cache next to the keys.
  unsigned char m_entry[kSlots];
  unsigned long long m_keys[kEntityCount + 1];  // [0]: matches no name
  unsigned char m_codes[kEntityCount + 1];

  static unsigned long long Key(LPCSTR pName, int nLength) {
    unsigned long long key = 0;
    for (int i = 0; i < nLength; ++i) key |= static_cast<unsigned long long>(static_cast<unsigned char>(pName[i])) << (8 * i);
    return key;
  }

  int Slot(unsigned long long key) const { return static_cast<int>((key * m_multiplier) >> (64 - kSlotBits)); }

  // Places every entry in a slot of its own; false when two share one.
  bool Place() {
    memset(m_entry, 0, sizeof(m_entry));
    for (int i = 0; i < kEntityCount; ++i) {
      int nSlot = Slot(m_keys[i + 1]);
      if (m_entry[nSlot] != 0) return false;
      m_entry[nSlot] = static_cast<unsigned char>(i + 1);
    }
    return true;
  }

  EntityIndex() {
    m_keys[0] = ~0ULL;  // no name of at most kMaxCharRefName bytes has this key
    m_codes[0] = ' ';
    for (int i = 0; i < kEntityCount; ++i) {
      m_keys[i + 1] = Key(kEntities[i].name, static_cast<int>(strlen(kEntities[i].name)));
      m_codes[i + 1] = kEntities[i].code;
    }
    // Odd multiples of the golden ratio constant until one separates all
    // names (the 126th does).
    for (unsigned long long k = 0;; ++k) {
      m_multiplier = 0x9E3779B97F4A7C15ULL * (2 * k + 1);
      if (Place()) break;
    }
  }

  // The entry's code for a name given as its key, or a space when the
  // table has no such name.
  char Find(unsigned long long key) const {
    // Numbers and unknown names come mixed with table names: the miss
    // selects entry 0 (a space) by a mask rather than by a branch.
    unsigned nEntry = m_entry[Slot(key)];
    nEntry &= 0U - static_cast<unsigned>(m_keys[nEntry] == key);
    return static_cast<char>(m_codes[nEntry]);
  }

  char Find(LPCSTR pName, int nLength) const {
    return nLength < 1 || nLength > kMaxCharRefName ? ' ' : Find(Key(pName, nLength));
  }
};

const EntityIndex g_entityIndex;

// Reads a decimal number the way the runtime's atoi does (leading white
// space, an optional sign, digits up to the first non-digit, 0 without
// digits), saturating instead of overflowing.
int ParseDecimal(LPCSTR psz) {
  while (*psz == ' ' || (*psz >= '\t' && *psz <= '\r')) ++psz;
  bool bNegative = *psz == '-';
  if (*psz == '-' || *psz == '+') ++psz;
  long long value = 0;
  for (; *psz >= '0' && *psz <= '9'; ++psz) {
    value = value * 10 + (*psz - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (bNegative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// Copies bytes into a framework string, reusing its storage; a zero byte
// becomes a space so that the string's text is all of them.
LDX_INLINE void CopyToString(CString& str, LPCSTR pBytes, int nLength) {
  CopySinkText(str.GetBufferSetLength(nLength), pBytes, nLength);
}

// chIf when bCondition holds, else chElse, chosen by a mask: where the
// condition follows the document's content a branch would be mispredicted
// often (compilers turn a plain ?: into either).
inline char SelectByte(bool bCondition, char chIf, char chElse) {
  unsigned mask = 0U - static_cast<unsigned>(bCondition);
  return static_cast<char>((static_cast<unsigned char>(chIf) & mask) | (static_cast<unsigned char>(chElse) & ~mask));
}

// The byte a numeric reference stands for: 9, 10 and 32..126 as they are,
// from 161 the low 8 bits unless they are 0 (which would end the text
// early), every other code a space. One table for both ranges: its first
// half is indexed by codes below 256, its second by the low 8 bits of the
// larger ones, so a code costs one load and no branch.
struct CodeBytes {
  char m_bytes[512];
  CodeBytes() {
    for (int n = 0; n < 256; ++n) {
      bool bKept = n == 9 || n == 10 || (n >= 32 && n <= 126) || n >= 161;
      m_bytes[n] = bKept ? static_cast<char>(n) : ' ';
      m_bytes[256 + n] = n != 0 ? static_cast<char>(n) : ' ';
    }
  }
  char Get(unsigned n) const { return m_bytes[(n & 0xFF) | (static_cast<unsigned>(n > 0xFF) << 8)]; }
};

const CodeBytes g_codeBytes;

// A reference name read at once: how long it is (see FindCharRefName),
// whether it holds a zero byte, and its bytes packed as an entity key.
struct CharRefName {
  int nLength;
  bool bZero;
  unsigned long long key;
};

// Where the reference name starting at p ends: at its first ";", CR, LF or
// "<" when one lies within the first kMaxCharRefName + 1 bytes, else after
// kMaxCharRefName + 1 bytes (a name too long for the table). False when
// the chunk ends before this is decided.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define LDX_NAME_BY_WORD 1
// Of the eight bytes at p, the index of the first one that ends a name
// (";", CR, LF, "<") and of the first zero byte; 8 for none.
void FindNameStops(LPCSTR p, int& nEnd, int& nZero) {
#if defined(__SSE2__)
  __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
  // The upper eight lanes hold zeros: they count as zero bytes, never as ends.
  nEnd = __builtin_ctz(MatchMask<';', '\r', '\n', '<'>(bytes) | 0x100U);
  nZero = __builtin_ctz(MatchMask<'\0', '\0', '\0', '\0'>(bytes));
#else
  // The lowest flagged byte of each test is exact.
  unsigned long long word;
  memcpy(&word, p, 8);
  const unsigned long long kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
  auto bytesEqual = [&](unsigned char ch) {
    unsigned long long x = word ^ (kOnes * ch);
    return (x - kOnes) & ~x & kHighs;
  };
  unsigned long long ends = bytesEqual(';') | bytesEqual('\r') | bytesEqual('\n') | bytesEqual('<');
  unsigned long long zeros = bytesEqual('\0');
  nEnd = ends ? __builtin_ctzll(ends) / 8 : 8;
  nZero = zeros ? __builtin_ctzll(zeros) / 8 : 8;
#endif
}
#endif

#if defined(LDX_NAME_BY_WORD)
// The name's first nLength bytes (of eight readable ones, nLength below
// eight) packed as an entity key, as EntityIndex::Key packs them.
LDX_INLINE unsigned long long ReadNameKey(LPCSTR p, int nLength) {
  unsigned long long word;
  memcpy(&word, p, 8);
  return word & ((1ULL << (8 * nLength)) - 1);
}
#endif

bool FindCharRefName(LPCSTR p, LPCSTR pEnd, CharRefName& name) {
  const int kWindow = kMaxCharRefName + 1;
#if defined(LDX_NAME_BY_WORD)
  if (pEnd - p >= 8) {
    // Eight bytes at once.
    int nEnd, nZero;
    FindNameStops(p, nEnd, nZero);
    name.nLength = nEnd < kWindow ? nEnd : kWindow;
    name.bZero = nZero < name.nLength;
    name.key = ReadNameKey(p, name.nLength);
    return true;
  }
#endif
  name.bZero = false;
  for (name.nLength = 0; name.nLength < kWindow; ++name.nLength) {
    if (p + name.nLength == pEnd) return false;
    char ch = p[name.nLength];
    if (ch == ';' || ch == '\r' || ch == '\n' || ch == '<') break;
    if (ch == '\0') name.bZero = true;
  }
  name.key = name.nLength <= kMaxCharRefName ? EntityIndex::Key(p, name.nLength) : 0;
  return true;
}

// The number after a name's leading "#" as the runtime reads it, the name
// given as its key: the digits up to the first other byte or the name's
// end (at most kMaxCharRefName - 1 of them, so it cannot overflow). All of
// them are read at once.
#if defined(__SSE2__)
// Per count of digits, the weight of each digit's place (the units last,
// 0 past the digits): one multiply-add of the digits by these weights and
// two additions give the number.
struct DigitWeights {
  short m_weights[kMaxCharRefName][8];
  DigitWeights() {
    memset(m_weights, 0, sizeof(m_weights));
    for (int nDigits = 1; nDigits < kMaxCharRefName; ++nDigits) {
      short weight = 1;
      for (int i = nDigits - 1; i >= 0; --i, weight = static_cast<short>(weight * 10)) m_weights[nDigits][i] = weight;
    }
  }
};

const DigitWeights g_digitWeights;
#endif

unsigned ReadNumberAfterHash(unsigned long long key) {
  const unsigned long long kOnes = 0x0101010101010101ULL;
  unsigned long long values = (key >> 8) ^ (kOnes * '0');  // a digit becomes 0..9
  unsigned long long notDigits = (values & (kOnes * 0xF0)) | (((values & (kOnes * 0x0F)) + kOnes * 6) & (kOnes * 0x10));
  // The key's bytes past the name are zero, so the digits stop at its end
  // at the latest (and the top byte is never a digit).
  int nDigits = __builtin_ctzll(notDigits) / 8;
#if defined(__SSE2__)
  __m128i digits = _mm_unpacklo_epi8(_mm_set_epi64x(0, static_cast<long long>(values)), _mm_setzero_si128());
  __m128i sums = _mm_madd_epi16(digits, _mm_loadu_si128(reinterpret_cast<const __m128i*>(g_digitWeights.m_weights[nDigits])));
  sums = _mm_add_epi32(sums, _mm_srli_si128(sums, 8));
  sums = _mm_add_epi32(sums, _mm_srli_si128(sums, 4));
  return static_cast<unsigned>(_mm_cvtsi128_si32(sums));
#else
  // The digits are moved to the top of an eight-digit field, zeros in
  // front, and combined pairwise in three steps.
  unsigned long long field = values & ((1ULL << (8 * nDigits)) - 1);
  field = (field << (8 * (7 - nDigits))) << 8;
  field = (field * 10 + (field >> 8)) & 0x00FF00FF00FF00FFULL;
  field = (field * 100 + (field >> 16)) & 0x0000FFFF0000FFFFULL;
  field = (field * 10000 + (field >> 32)) & 0xFFFFFFFFULL;
  return static_cast<unsigned>(field);
#endif
}

// Whether a name, given as its key, is "#" and a number that starts with
// white space or a sign, which only the runtime's own reading handles.
// Worked out without a branch on the kind, as references of both kinds
// come mixed in any order: the second byte is looked up in a mask.
bool IsNumberAfterBlankOrSign(unsigned long long key) {
  const unsigned long long kBlankOrSign = (1ULL << ' ') | (1ULL << '+') | (1ULL << '-') | (0x1FULL << '\t');
  unsigned chSecond = static_cast<unsigned>(key >> 8) & 0xFF;
  unsigned bBlankOrSign = static_cast<unsigned>(kBlankOrSign >> (chSecond & 63)) & static_cast<unsigned>(chSecond < 64);
  return (static_cast<unsigned>((key & 0xFF) == '#') & bBlankOrSign) != 0;
}

// The byte a reference name of at most kMaxCharRefName bytes, none of them
// zero, given as its key, stands for (see DecodeCharRef), unless
// IsNumberAfterBlankOrSign. Both readings, a number after "#" and a table
// name, are worked out without branches and one is picked, as references
// of both kinds come mixed in any order (a branch on the kind costs more
// than both readings).
LDX_INLINE char DecodeNameKey(unsigned long long key) {
  char chNumber = g_codeBytes.Get(ReadNumberAfterHash(key));
  return SelectByte((key & 0xFF) == '#', chNumber, g_entityIndex.Find(key));
}

// The byte a reference name of at most kMaxCharRefName bytes, none of them
// zero, stands for (see DecodeCharRef).
char DecodeShortName(LPCSTR pName, const CharRefName& name) {
  if (IsNumberAfterBlankOrSign(name.key)) {
    char szNumber[kMaxCharRefName + 1];
    memcpy(szNumber, pName, static_cast<size_t>(name.nLength));
    szNumber[name.nLength] = '\0';
    return CHtmlTokenizer::DecodeCharRef(szNumber);
  }
  return DecodeNameKey(name.key);
}

#if defined(__SSE2__)
// Of the first eight bytes of a reference name as read, those that end it
// (";", CR, LF, "<"), zero bytes and the eighth byte (a name too long for
// the table) as a mask; semicolons gets the mask of the ";".
LDX_INLINE unsigned FindNameStopMask(__m128i bytes, unsigned& semicolons) {
  semicolons = MatchMask<';', ';', ';', ';'>(bytes);
  return semicolons | MatchMask<'\r', '\n', '<', '\0'>(bytes) | 0x80U;
}

// ScanCharRefAndRun reads a reference and the text after it within this
// many bytes from the name's start. It reads up to kRefAndRunReadable
// bytes: the window, and the text copied as two pieces of sixteen bytes
// from at most kMaxCharRefName + 1 bytes in.
enum { kRefAndRunWindow = 32, kRefAndRunReadable = kMaxCharRefName + 1 + kRefAndRunWindow };

#endif

// Sizes a buffer for a new document as Reserve(nSize, 0) would, but keeps a
// block that is already large enough instead of replacing it.
BOOL PrepareBuffer(CTextBuffer& buffer, int nSize) {
  if (buffer.m_pBegin && buffer.GetCapacity() >= nSize - 1) {
    buffer.m_nGrowBy = nSize / 4;
    return TRUE;
  }
  return buffer.Reserve(nSize, 0) != NULL;
}

// Empties a string but keeps its storage for the next tag's attribute (a
// string without storage is empty already).
void EmptyKeepingStorage(CString& str) {
  if (!str.IsEmpty()) str.GetBufferSetLength(0);
}

}  // namespace

CHtmlTokenizer::CHtmlTokenizer()
    : m_nState(kText),
      m_nReturnState(kText),
      m_bInQuote(FALSE),
      m_chQuote(' '),
      m_bDecodeCharRefs(TRUE),
      m_chDecoded(0),
      m_nAttrs(0),
      m_nLine(0),
      m_bKeepLineBreaks(FALSE),
      m_bBangComment(FALSE),
      m_bSpaceDue(TRUE),
      m_bQuoteJustOpened(FALSE) {
  for (int i = 0; i < kMaxAttributes; ++i) m_attrs[i] = NULL;
}

CHtmlTokenizer::~CHtmlTokenizer() { FreeAttributes(); }

BOOL CHtmlTokenizer::Init() {
  if (!PrepareBuffer(m_text, 1024) || !PrepareBuffer(m_comment, 1024) || !PrepareBuffer(m_tagName, 64) ||
      !PrepareBuffer(m_attrName, 64) || !PrepareBuffer(m_attrValue, 1024) || !PrepareBuffer(m_charRef, 10))
    return FALSE;

  // Nothing of an earlier document carries over, apart from the
  // keep-line-breaks option. Attribute pairs are kept for reuse.
  m_text.Reset();
  m_comment.Reset();
  m_commentDashes.Reset();
  ClearAttributes();
  m_bDecodeCharRefs = TRUE;
  m_nLine = 0;
  m_bBangComment = FALSE;
  m_bSpaceDue = TRUE;
  m_bQuoteJustOpened = FALSE;
  ResetTag();
  return TRUE;
}

void CHtmlTokenizer::Finish() {
  if (m_nState == kCharRef && !m_charRef.IsEmpty()) {
    m_text.AppendByte('&');
    m_text.Append(m_charRef.m_pBegin, m_charRef.GetLength());
    m_charRef.Reset();
    m_nState = kText;
  }
  if (m_nState != kStopped && !m_text.IsEmpty()) {
    FlushText(NULL, NULL);
    m_nState = kStopped;
  }
  m_text.Reset();
  FreeAttributes();
}

BOOL CHtmlTokenizer::Parse(LPCSTR pText, int nLength) {
  if (!pText || nLength < 0) return FALSE;
  LPCSTR p = pText;
  LPCSTR pEnd = pText + nLength;
  LPCSTR pClose = NULL;
  LPCSTR pDone;
  while (p < pEnd) {
    switch (m_nState) {
      case kText:
        // Text is mostly followed by a tag complete in the chunk, and that
        // by text again: they are read in turn without the dispatch.
        for (p = ScanText(p, pEnd); m_nState == kTagName && p < pEnd && m_tagName.IsEmpty(); p = ScanText(p, pEnd)) {
          pDone = ScanTagAtOnce(p, pEnd, pClose);
          if (!pDone) break;
          p = pDone;
          if (m_nState != kText || p == pEnd) break;
        }
        break;
      case kTagName:
        pDone = m_tagName.IsEmpty() ? ScanTagAtOnce(p, pEnd, pClose) : NULL;
        p = pDone ? pDone : ScanTagName(p);
        break;
      case kCharRef:
        pDone = m_charRef.IsEmpty() ? ScanCharRefAtOnce(p, pEnd) : NULL;
        p = pDone ? pDone : ScanCharRef(p);
        break;
      case kEndTagName:
        pDone = m_tagName.IsEmpty() ? ScanEndTagAtOnce(p, pEnd) : NULL;
        p = pDone ? pDone : ScanEndTagName(p);
        break;
      case kBang: p = ScanBang(p); break;
      case kBangDash: p = ScanBangDash(p); break;
      case kComment: p = ScanComment(p, pEnd); break;
      case kCommentDash: p = ScanCommentDash(p); break;
      case kCommentDashes: p = ScanCommentDashes(p); break;
      case kAttrName: p = ScanAttrName(p); break;
      case kAttrValue: p = m_attrValue.IsEmpty() ? ScanAttrValue(p) : ScanAttrValueRun(p, pEnd); break;
      case kAfterSlash: p = ScanAfterSlash(p, pEnd); break;
      case kSkipSpace: p = SkipSpace(p); break;
      case kSkipSpaceBeforeValue: p = SkipSpaceBeforeValue(p); break;
      case kAfterAttrName: p = ScanAfterAttrName(p); break;
      default:  // stopped, or a state a host set by hand
        m_nState = kText;
        return TRUE;
    }
  }
  return TRUE;
}

BOOL CHtmlTokenizer::Parse(const CString& strText) { return Parse(strText, strText.GetLength()); }

BOOL CHtmlTokenizer::SetDecodeCharRefs(BOOL bDecode) {
  m_bDecodeCharRefs = bDecode;
  return bDecode;
}

BOOL CHtmlTokenizer::SetKeepLineBreaks(BOOL bKeep) {
  m_bKeepLineBreaks = bKeep;
  return bKeep;
}

BOOL CHtmlTokenizer::GetKeepLineBreaks() const { return m_bKeepLineBreaks; }

BOOL CHtmlTokenizer::IsSpaceChar(char ch) {
  switch (ch) {
    case '\n':
      ++m_nLine;
      return TRUE;
    case '\t':
    case '\r':
    case ' ':
      return TRUE;
    default:
      return FALSE;
  }
}

char CHtmlTokenizer::DecodeCharRef(LPCSTR pszName) {
  if (!pszName) return ' ';
  if (pszName[0] == '#') {
    int n = ParseDecimal(pszName + 1);
    return n < 0 ? ' ' : g_codeBytes.Get(static_cast<unsigned>(n));
  }
  size_t nLength = strlen(pszName);
  return nLength <= kMaxCharRefName ? g_entityIndex.Find(pszName, static_cast<int>(nLength)) : ' ';
}

void CHtmlTokenizer::ResetAttribute() {
  m_attrName.Reset();
  m_attrValue.Reset();
  m_charRef.Reset();
  m_bInQuote = FALSE;
  m_chQuote = ' ';
  m_chDecoded = 0;
}

void CHtmlTokenizer::ResetTag() {
  m_nState = kText;
  m_nReturnState = kText;
  m_tagName.Reset();
  ResetAttribute();
  // Most tags have no attributes: nothing to empty then.
  if (m_nAttrs != 0) ClearAttributes();
}

void CHtmlTokenizer::ClearAttributes() {
  for (int i = 0; i < m_nAttrs; ++i) {
    EmptyKeepingStorage(m_attrs[i]->m_strName);
    EmptyKeepingStorage(m_attrs[i]->m_strValue);
  }
  m_nAttrs = 0;
}

void CHtmlTokenizer::FreeAttributes() {
  for (int i = 0; i < kMaxAttributes; ++i) {
    delete m_attrs[i];
    m_attrs[i] = NULL;
  }
  m_nAttrs = 0;
}

BOOL CHtmlTokenizer::CommitAttribute() {
  BOOL bStored = CommitAttribute(m_attrName.m_pBegin, m_attrName.GetLength(), m_attrValue.m_pBegin,
                                 m_attrValue.GetLength());
  ResetAttribute();
  return bStored;
}

// Stores an attribute given as bytes. An attribute that cannot be stored (no
// name, the tag already has the maximum, no memory) is discarded, so the
// rest of the tag reads normally.
BOOL CHtmlTokenizer::CommitAttribute(LPCSTR pName, int nName, LPCSTR pValue, int nValue) {
  if (nName == 0 || m_nAttrs == kMaxAttributes) return FALSE;
  CNameValuePair*& pPair = m_attrs[m_nAttrs];
  if (!pPair) {
    pPair = new (afxNothrow) CNameValuePair;
    if (!pPair) return FALSE;
    pPair->m_strName.GetBuffer(64);
    pPair->m_strName.ReleaseBuffer(0);
    pPair->m_strValue.GetBuffer(1024);
    pPair->m_strValue.ReleaseBuffer(0);
  }
  CopyToString(pPair->m_strName, pName, nName);
  CopyToString(pPair->m_strValue, pValue, nValue);
  ++m_nAttrs;
  return TRUE;
}

// Reports the text gathered so far, if any, and empties the buffer.
LDX_INLINE void CHtmlTokenizer::DeliverText() {
  if (!m_text.IsEmpty()) {
    BOOL bContinue = TRUE;
    OnText(&m_text, &bContinue);
    if (!bContinue) m_nState = kStopped;
  }
  m_text.Reset();
}

void CHtmlTokenizer::FlushText(LPCSTR pPos, LPCSTR pEnd) {
  DeliverText();
  if (pPos != pEnd) m_bSpaceDue = TRUE;
}

void CHtmlTokenizer::EmitStartTag() {
  if (m_tagName.IsEmpty()) return;
  BOOL bContinue = TRUE;
  OnStartTag(&m_tagName, m_attrs, m_nAttrs, &bContinue);
  if (m_nState == kAfterSlash) {
    EmitEndTag();
    if (m_nState == kStopped) bContinue = FALSE;
  }
  ResetTag();
  SetStateAfterEvent(bContinue);
}

void CHtmlTokenizer::EmitEndTag() {
  if (m_tagName.IsEmpty()) return;
  BOOL bContinue = TRUE;
  OnEndTag(&m_tagName, &bContinue);
  ResetTag();
  SetStateAfterEvent(bContinue);
}

void CHtmlTokenizer::EmitComment() {
  if (!m_comment.IsEmpty()) {
    BOOL bContinue = TRUE;
    OnComment(&m_comment, &bContinue);
    SetStateAfterEvent(bContinue);
  } else {
    m_nState = kText;
  }
  m_comment.Reset();
  m_commentDashes.Reset();
  m_bBangComment = FALSE;
}

// The tag name was followed by "/": report the tag and its end at once.
void CHtmlTokenizer::CloseTagWithSlash() {
  m_nState = kAfterSlash;
  EmitStartTag();
  if (m_nState != kStopped) m_nState = kAfterSlash;
}

// State 0: text, up to the next "<" or "&" or the end of the chunk.
LPCSTR CHtmlTokenizer::ScanText(LPCSTR p, LPCSTR pEnd) {
  bool bAtMarkup = false;  // p is at a byte with a meaning, the text before it copied
  while (p < pEnd) {
    // A run of ordinary bytes is copied at once; an empty one (bytes with
    // a meaning side by side) is copied too, as testing for it would cost
    // a branch that text dense with references cannot predict.
    if (!bAtMarkup) {
      LPCSTR pRun = p;
      p = CopyTextRun(m_text, p, pEnd);
      m_bSpaceDue |= static_cast<BOOL>(p != pRun);
      if (p == pEnd) break;
    }
    bAtMarkup = false;
    char ch = *p++;
    switch (ch) {
      case '\n':
        if (m_bKeepLineBreaks) m_text.AppendByte('\n');
        ++m_nLine;
        if (m_bSpaceDue) {
          m_text.AppendByte(' ');
          m_bSpaceDue = FALSE;
        }
        break;
      case '\r':
        if (m_bKeepLineBreaks) m_text.AppendByte('\r');
        break;
      case '&':
        if (!m_bDecodeCharRefs) {
          m_text.AppendByte('&');
          break;
        }
        m_nReturnState = kText;
        m_nState = kCharRef;
        m_charRef.Reset();
        DeliverText();
        // Due whether or not the chunk ends here.
        m_bSpaceDue = TRUE;
        if (m_nState == kStopped) return p;
#if defined(__SSE2__)
        {
          LPCSTR pMarkup = ScanCharRefAndRun(p, pEnd);
          if (pMarkup) {
            p = pMarkup;
            bAtMarkup = true;
            break;
          }
        }
#endif
        // A reference decided inside the chunk is read here and the text
        // goes on; one cut by the chunk end is left to the byte handler. A
        // byte decoded at the very end stays pending for the next chunk.
        {
          LPCSTR pAfter = ScanCharRefAtOnce(p, pEnd);
          if (!pAfter || pAfter == pEnd) return pAfter ? pAfter : p;
          p = pAfter;
        }
        break;
      case '<':
        m_nState = kTagName;
        DeliverText();
        m_bSpaceDue = TRUE;
        return p;
      default:
        m_bSpaceDue = TRUE;
        m_text.AppendByte(ch);
        break;
    }
  }
  FlushText(pEnd, pEnd);
  return pEnd;
}

// State 1: after "<", the start tag's name.
LPCSTR CHtmlTokenizer::ScanTagName(LPCSTR p) {
  char ch = *p;
  if (m_tagName.IsEmpty()) {
    if (ch == '!')
      m_nState = kBang;
    else if (ch == '/')
      m_nState = kEndTagName;
    else if (ch == '>')
      m_nState = kText;
    else if (IsSpaceChar(ch)) {
      m_nReturnState = kTagName;
      m_nState = kSkipSpace;
    } else
      m_tagName.AppendByte(ch);
  } else {
    if (ch == '/')
      CloseTagWithSlash();
    else if (ch == '>')
      EmitStartTag();
    else if (IsSpaceChar(ch))
      m_nState = kAttrName;
    else
      m_tagName.AppendByte(ch);
  }
  return p + 1;
}

// A reference that is not one: "&" and the name stay in the text as
// written, and the byte is read again as text.
LPCSTR CHtmlTokenizer::GiveUpCharRef(LPCSTR p) {
  m_text.AppendByte('&');
  m_text.Append(m_charRef.m_pBegin, m_charRef.GetLength());
  m_nState = m_nReturnState;
  return p;
}

// State 2: after "&" in text, the reference name up to ";".
LPCSTR CHtmlTokenizer::ScanCharRef(LPCSTR p) {
  LPCSTR pszName = m_charRef.Terminate();
  int nLength = m_charRef.GetLength();
  if (nLength > kMaxCharRefName) return GiveUpCharRef(p);
  char ch = *p;
  if (ch == ';') {
    // A name holding a zero byte is no name of the table.
    m_chDecoded = static_cast<int>(strlen(pszName)) == nLength ? DecodeCharRef(pszName) : ' ';
    m_text.AppendByte(m_chDecoded);
    m_nState = m_nReturnState;
    return p + 1;
  }
  if (ch == '\r' || ch == '\n' || ch == '<') return GiveUpCharRef(p);
  m_charRef.AppendByte(ch);
  return p + 1;
}

// State 3: after "</", the end tag's name up to ">".
LPCSTR CHtmlTokenizer::ScanEndTagName(LPCSTR p) {
  char ch = *p;
  if (m_tagName.IsEmpty()) {
    if (!IsSpaceChar(ch)) m_tagName.AppendByte(ch);
  } else if (ch == '>') {
    EmitEndTag();
  } else {
    m_tagName.AppendByte(ch);
  }
  return p + 1;
}

// State 4: after "<!".
LPCSTR CHtmlTokenizer::ScanBang(LPCSTR p) {
  char ch = *p;
  if (ch == '-') {
    m_bBangComment = FALSE;
    m_nState = kBangDash;
  } else if (ch == '>') {
    m_nState = kText;
  } else if (IsSpaceChar(ch)) {
    m_bBangComment = TRUE;
    m_nState = kComment;
  } else {
    m_nState = kTagName;
    return p;
  }
  return p + 1;
}

// State 5: after "<!-".
LPCSTR CHtmlTokenizer::ScanBangDash(LPCSTR p) {
  char ch = *p;
  if (ch == '-') {
    m_nState = kComment;
  } else if (ch == '>') {
    m_nState = kText;
  } else {
    m_nState = kComment;
    return p;
  }
  return p + 1;
}

// State 6: comment text, up to a "-" or the ">" that ends a "<! " comment.
LPCSTR CHtmlTokenizer::ScanComment(LPCSTR p, LPCSTR pEnd) {
  while (p < pEnd) {
    LPCSTR pRun = p;
    p = FindCommentMarkupByte(p, pEnd);
    if (p != pRun) {
      AppendRun(m_comment, pRun, static_cast<int>(p - pRun), pEnd);
      if (p == pEnd) break;
    }
    char ch = *p++;
    switch (ch) {
      case '\n':
        ++m_nLine;
        m_comment.AppendByte('\n');
        break;
      case '\r':
        break;
      case '-':
        m_nState = kCommentDash;
        m_commentDashes.Reset();
        m_commentDashes.AppendByte('-');
        return p;
      case '>':
        if (m_bBangComment) {
          EmitComment();
          m_bBangComment = FALSE;
          return p;
        }
        m_comment.AppendByte('>');
        break;
      default:
        m_comment.AppendByte(ch);
        break;
    }
  }
  return pEnd;
}

// States 7 and 8: dashes in a comment; ">" ends the comment, anything else
// makes the dashes comment text.
LPCSTR CHtmlTokenizer::ScanCommentDash(LPCSTR p) {
  char ch = *p;
  if (ch == '-') {
    m_commentDashes.AppendByte('-');
    m_nState = kCommentDashes;
  } else if (ch == '>') {
    EmitComment();
  } else {
    m_comment.Append(m_commentDashes.m_pBegin, m_commentDashes.GetLength());
    m_comment.AppendByte(ch);
    m_commentDashes.Reset();
    m_nState = kComment;
  }
  return p + 1;
}

LPCSTR CHtmlTokenizer::ScanCommentDashes(LPCSTR p) { return ScanCommentDash(p); }

// State 9: an attribute name, or the space between attributes.
LPCSTR CHtmlTokenizer::ScanAttrName(LPCSTR p) {
  char ch = *p;
  if (m_attrName.IsEmpty()) {
    if (ch == '/')
      CloseTagWithSlash();
    else if (ch == '>')
      EmitStartTag();
    else if (IsSpaceChar(ch)) {
      m_nReturnState = kAttrName;
      m_nState = kSkipSpace;
    } else
      m_attrName.AppendByte(ch);
  } else {
    if (ch == '=') {
      m_nReturnState = kAttrValue;
      m_nState = kSkipSpaceBeforeValue;
    } else if (ch == '>') {
      CommitAttribute();
      EmitStartTag();
    } else if (IsSpaceChar(ch)) {
      m_nReturnState = kAttrName;
      m_nState = kAfterAttrName;
    } else
      m_attrName.AppendByte(ch);
  }
  return p + 1;
}

// State 10: an attribute value, quoted or not.
LPCSTR CHtmlTokenizer::ScanAttrValue(LPCSTR p) {
  char ch = *p;
  if (m_attrValue.IsEmpty()) {
    if (IsQuote(ch)) {
      m_bInQuote = TRUE;
      m_chQuote = ch;
      if (m_bQuoteJustOpened) {
        CommitAttribute();
        m_nReturnState = kText;
        m_bQuoteJustOpened = FALSE;
        m_nState = kAttrName;
      } else {
        m_bQuoteJustOpened = TRUE;
      }
    } else if (ch == '>') {
      m_bQuoteJustOpened = FALSE;
      CommitAttribute();
      EmitStartTag();
    } else if (!m_bInQuote && IsSpaceChar(ch)) {
      m_nReturnState = kAttrValue;
      m_bQuoteJustOpened = FALSE;
      m_nState = kSkipSpaceBeforeValue;
    } else {
      m_attrValue.AppendByte(ch);
      m_bQuoteJustOpened = FALSE;
    }
    return p + 1;
  }

  switch (ch) {
    case '\n':
      ++m_nLine;
      if (!m_bInQuote) {
        CommitAttribute();
        m_nReturnState = kText;
        m_nState = kAttrName;
      }
      break;
    case '\r':
      break;
    case '>':
      CommitAttribute();
      EmitStartTag();
      break;
    case '\t':
    case ' ':
      if (m_bInQuote) {
        m_attrValue.AppendByte(ch);
      } else {
        CommitAttribute();
        m_nReturnState = kText;
        m_nState = kAttrName;
      }
      break;
    default:
      if (m_bInQuote && ch == m_chQuote) {
        CommitAttribute();
        m_nReturnState = kText;
        m_nState = kAttrName;
      } else {
        m_attrValue.AppendByte(ch);
      }
      break;
  }
  return p + 1;
}

// State 11: after the "/" that closed a start tag, white space and one ">"
// are skipped, also when they come in the next chunk.
LPCSTR CHtmlTokenizer::ScanAfterSlash(LPCSTR p, LPCSTR pEnd) {
  while (p < pEnd && IsSpaceChar(*p)) ++p;
  if (p == pEnd) return p;
  if (*p == '>') ++p;
  m_nState = kText;
  return p;
}

// States 12 and 13: white space, then back to the state that asked.
LPCSTR CHtmlTokenizer::SkipSpace(LPCSTR p) {
  if (IsSpaceChar(*p)) return p + 1;
  m_nState = m_nReturnState;
  m_nReturnState = kText;
  return p;
}

LPCSTR CHtmlTokenizer::SkipSpaceBeforeValue(LPCSTR p) { return SkipSpace(p); }

// State 14: white space after an attribute name: "=" starts its value,
// anything else makes it an attribute without value.
LPCSTR CHtmlTokenizer::ScanAfterAttrName(LPCSTR p) {
  char ch = *p;
  if (ch == '=') {
    m_nReturnState = kAttrValue;
    m_nState = kSkipSpaceBeforeValue;
  } else if (ch == '>') {
    CommitAttribute();
    EmitStartTag();
  } else if (!IsSpaceChar(ch)) {
    CommitAttribute();
    m_nReturnState = kText;
    m_nState = kAttrName;
    return p;
  }
  return p + 1;
}

// White space inside markup, as the skipping states read it.
LPCSTR CHtmlTokenizer::SkipSpaceCountingLines(LPCSTR p, LPCSTR pEnd) {
  for (; p < pEnd && IsWhiteSpace(*p); ++p)
    if (*p == '\n') ++m_nLine;
  return p;
}

// A start tag from the byte after "<" (state 1, no name yet) when its ">"
// lies in the chunk. "!" and "/" hand over to the comment and end tag
// states.
LPCSTR CHtmlTokenizer::ScanTagAtOnce(LPCSTR p, LPCSTR pEnd, LPCSTR& pClose) {
  if (!pClose || pClose < p) {
    pClose = FindGreaterThan(p, pEnd);
  }
  if (pClose == pEnd) return NULL;

  p = SkipSpaceCountingLines(p, pClose);
  if (p == pClose) {  // "<>": nothing to report
    m_nState = kText;
    return p + 1;
  }
  if (*p == '!') {
    m_nState = kBang;
    return p + 1;
  }
  if (*p == '/') {
    m_nState = kEndTagName;
    return ScanEndTagBeforeClose(p + 1, pClose, pEnd);
  }
  LPCSTR pName = p;
  p = SkipUntil(p, pClose, kEndsTagName);
  AppendRun(m_tagName, pName, static_cast<int>(p - pName), pEnd);
  // The name ends at ">", "/" or white space: each is where attributes may begin.
  return ScanAttributesAtOnce(p, pClose);
}

// States 9, 14, 13 and 10 up to the ">" at pClose (or a closing "/").
LPCSTR CHtmlTokenizer::ScanAttributesAtOnce(LPCSTR p, LPCSTR pClose) {
  for (;;) {
    p = SkipSpaceCountingLines(p, pClose);
    if (p == pClose) {
      EmitStartTag();
      return p + 1;
    }
    if (*p == '/') {
      CloseTagWithSlash();
      return p + 1;
    }
    // The name's first byte may be anything else, "=" included.
    LPCSTR pName = p;
    p = SkipUntil(p + 1, pClose, kEndsAttrName);
    int nName = static_cast<int>(p - pName);
    p = SkipSpaceCountingLines(p, pClose);
    if (p == pClose || *p != '=') {
      // An attribute without value; the byte after it starts the next one.
      CommitAttribute(pName, nName, p, 0);
      continue;
    }
    // After "=": white space, then opening quotes (a second quote right
    // after the first ends an empty value).
    char chQuote = 0;
    for (p = SkipSpaceCountingLines(p + 1, pClose); p < pClose; ++p) {
      if (IsQuote(*p)) {
        if (chQuote) break;
        chQuote = *p;
      } else if (!chQuote && IsWhiteSpace(*p)) {
        if (*p == '\n') ++m_nLine;
      } else {
        break;
      }
    }
    if (p == pClose || IsQuote(*p)) {
      CommitAttribute(pName, nName, p, 0);
      if (p < pClose) ++p;
      continue;
    }
    p = ScanValueAtOnce(pName, nName, p, pClose, chQuote);
  }
}

// State 10 from a value's first byte, which is taken as it is; chQuote is
// the opening quote or 0. After the first byte CR is dropped, LF is dropped
// inside quotes and ends a value without them, as do TAB and space. Stores
// the attribute and returns where state 9 goes on (pClose when the tag ends
// with the value).
LPCSTR CHtmlTokenizer::ScanValueAtOnce(LPCSTR pName, int nName, LPCSTR p, LPCSTR pClose, char chQuote) {
  LPCSTR pRun = p++;
  bool bGathered = false;  // a dropped byte made the value non-contiguous
  for (;;) {
    p = FindValueStop(p, pClose, chQuote);
    bool bDropped = p < pClose && (*p == '\r' || (*p == '\n' && chQuote));
    if (!bDropped && !bGathered) break;
    if (!bGathered) m_attrValue.Reset();
    bGathered = true;
    m_attrValue.Append(pRun, static_cast<int>(p - pRun));
    if (!bDropped) break;
    if (*p == '\n') ++m_nLine;
    pRun = ++p;
  }
  if (bGathered) {
    CommitAttribute(pName, nName, m_attrValue.m_pBegin, m_attrValue.GetLength());
    m_attrValue.Reset();
  } else {
    CommitAttribute(pName, nName, pRun, static_cast<int>(p - pRun));
  }
  if (p == pClose) return p;
  if (*p == '\n') ++m_nLine;
  return p + 1;  // the closing quote, or the white space after a bare value
}

// State 3 from the byte after "</" (no name yet). The name's first byte
// may be ">"; the name then runs to the next ">". Without that ">" in the
// chunk the name so far is kept and the end tag state goes on in the next.
LPCSTR CHtmlTokenizer::ScanEndTagAtOnce(LPCSTR p, LPCSTR pEnd) {
  p = SkipSpaceCountingLines(p, pEnd);
  if (p == pEnd) return p;
  LPCSTR pClose = FindGreaterThan(p + 1, pEnd);
  AppendRun(m_tagName, p, static_cast<int>(pClose - p), pEnd);
  if (pClose == pEnd) return pEnd;
  EmitEndTag();
  return pClose + 1;
}

// State 3 from the byte after "</" when the first ">" after the "<" is at
// pClose (before pEnd): the name runs from the first byte that is not
// white space up to pClose. Only when that byte is the ">" itself (it then starts the name)
// is the rest left to the end tag state.
LPCSTR CHtmlTokenizer::ScanEndTagBeforeClose(LPCSTR p, LPCSTR pClose, LPCSTR pEnd) {
  p = SkipSpaceCountingLines(p, pClose);
  if (p == pClose) return p;
  AppendRun(m_tagName, p, static_cast<int>(pClose - p), pEnd);
  EmitEndTag();
  return pClose + 1;
}

#if defined(__SSE2__)
// The usual reference at p (after "&") and the text after it up to the
// next byte with a meaning, when both lie within kRefAndRunWindow bytes:
// the decoded byte and the text are appended and that byte's position is
// returned. NULL for anything else, which is left to ScanCharRefAtOnce.
//
// In text dense with references, each reference's position depends on the
// previous one's through a chain of loads, searches and bit counts, and
// that chain, not the work beside it, sets the pace. Reading the name and
// the text after it from one load, the next position costs one search
// instead of two in a row; the decoding and the copy stay off the chain.
LPCSTR CHtmlTokenizer::ScanCharRefAndRun(LPCSTR p, LPCSTR pEnd) {
  if (pEnd - p < kRefAndRunReadable || m_text.m_pLimit - m_text.m_pCursor < kRefAndRunWindow + 1) return NULL;
  __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
  unsigned semicolons;
  unsigned stops = FindNameStopMask(low, semicolons);
  unsigned markup = FindTextMarkupMask(low) | (FindTextMarkupMask(high) << 16);
  // The bytes with a meaning past the first stop (x ^ -x keeps the bits
  // above x's lowest one): the fewest dependent steps to the next position.
  unsigned after = markup & (stops ^ (0U - stops));
  unsigned firstStop = stops & (0U - stops);
  if (!(firstStop & semicolons & 0x7FU) || !after) return NULL;
  int nLength = __builtin_ctz(firstStop);
  unsigned long long key = ReadNameKey(p, nLength);
  if (IsNumberAfterBlankOrSign(key)) return NULL;
  char chDecoded = DecodeNameKey(key);
  LPCSTR pRun = p + nLength + 1;
  LPCSTR pMarkup = p + __builtin_ctz(after);
  // The run is shorter than the window: two copies of sixteen bytes hold it.
  char* pCursor = m_text.m_pCursor;
  pCursor[0] = chDecoded;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(pCursor + 1), _mm_loadu_si128(reinterpret_cast<const __m128i*>(pRun)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(pCursor + 17), _mm_loadu_si128(reinterpret_cast<const __m128i*>(pRun + 16)));
  m_text.m_pCursor = pCursor + 1 + (pMarkup - pRun);
  m_chDecoded = chDecoded;
  m_nState = m_nReturnState;
  return pMarkup;
}
#endif

// State 2 from the byte after "&" (no name yet) when the reference is
// decided inside the chunk: by ";", by a byte that ends it, or by a name
// longer than any the table holds.
LPCSTR CHtmlTokenizer::ScanCharRefAtOnce(LPCSTR p, LPCSTR pEnd) {
  CharRefName name;
  if (!FindCharRefName(p, pEnd, name)) return NULL;
  m_nState = m_nReturnState;
  if (name.nLength <= kMaxCharRefName && p[name.nLength] == ';') {
    // A name holding a zero byte is no name of the table.
    m_chDecoded = name.bZero ? ' ' : DecodeShortName(p, name);
    m_text.AppendByte(m_chDecoded);
    return p + name.nLength + 1;
  }
  m_text.AppendByte('&');
  m_text.Append(p, name.nLength);
  return p + name.nLength;
}

// State 10 with a value begun (a value cut by a chunk end): the bytes that
// are simply appended are taken as one run; the byte after it goes to
// ScanAttrValue.
LPCSTR CHtmlTokenizer::ScanAttrValueRun(LPCSTR p, LPCSTR pEnd) {
  LPCSTR pStop;
  if (m_bInQuote && m_chQuote == '"')
    pStop = FindAnyOf<'"', '\n', '\r', '>'>(p, pEnd);
  else if (m_bInQuote && m_chQuote == '\'')
    pStop = FindAnyOf<'\'', '\n', '\r', '>'>(p, pEnd);
  else if (m_bInQuote)
    pStop = FindAnyOf<'\n', '\r', '>', '>'>(p, pEnd);
  else
    pStop = SkipUntil(p, pEnd, kEndsBareValue);
  m_attrValue.Append(p, static_cast<int>(pStop - p));
  return pStop < pEnd ? ScanAttrValue(pStop) : pStop;
}
