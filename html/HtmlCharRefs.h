// Character references in text: the names the tokenizer decodes and the
// tables a name is decoded with. A name of at most kMaxCharRefName bytes is
// handled as its key, its bytes packed into one number.
#pragma once

#include <afx.h>

namespace char_refs {

// The longest reference name the text state waits for before the ";".
const int kMaxCharRefName = 6;

// The entity table as a perfect hash table keyed by the name's bytes
// packed into one number: a name costs one multiplication, two small loads
// and one comparison, with no branch that depends on the name. Names are at
// most kMaxCharRefName bytes and hold no zero byte, so equal keys mean
// equal names. The multiplier is searched once, when the table is built.
// A 32-bit processor hashes the key's two halves with one multiplier each
// instead, two short multiplications in place of a long one.
struct EntityIndex {
  enum { kSlotBits = 10, kSlots = 1 << kSlotBits };
  enum { kEntityCount = 100 };
  static const bool kLongWords = sizeof(void*) >= 8;
  unsigned long long m_multiplier;
  unsigned m_lowMultiplier;
  unsigned m_highMultiplier;
  // Per slot the entry's number plus one, 0 for none: small enough to stay
  // in the first-level cache next to the keys.
  unsigned char m_entry[kSlots];
  unsigned long long m_keys[kEntityCount + 1];  // [0]: matches no name
  unsigned char m_codes[kEntityCount + 1];

  EntityIndex();

  static unsigned long long Key(LPCSTR pName, int nLength) {
    unsigned long long key = 0;
    for (int i = 0; i < nLength; ++i) key |= static_cast<unsigned long long>(static_cast<unsigned char>(pName[i])) << (8 * i);
    return key;
  }

  int Slot(unsigned long long key) const {
    if (kLongWords) return static_cast<int>((key * m_multiplier) >> (64 - kSlotBits));
    unsigned nHash = (static_cast<unsigned>(key) * m_lowMultiplier) ^ (static_cast<unsigned>(key >> 32) * m_highMultiplier);
    return static_cast<int>(nHash >> (32 - kSlotBits));
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

 private:
  bool Place();
};

extern const EntityIndex g_entityIndex;

// The byte a numeric reference stands for: 9, 10 and 32..126 as they are,
// from 161 the low 8 bits unless they are 0 (which would end the text
// early), every other code a space. One table for both ranges: its first
// half is indexed by codes below 256, its second by the low 8 bits of the
// larger ones, so a code costs one load and no branch.
struct CodeBytes {
  char m_bytes[512];
  CodeBytes();
  char Get(unsigned n) const { return m_bytes[(n & 0xFF) | (static_cast<unsigned>(n > 0xFF) << 8)]; }
};

extern const CodeBytes g_codeBytes;

// Per count of digits, the weight of each digit's place (the units last,
// 0 past the digits): one multiply-add of the digits by these weights and
// two additions give the number.
struct DigitWeights {
  short m_weights[kMaxCharRefName][8];
  DigitWeights();
};

extern const DigitWeights g_digitWeights;

// The byte a reference name (without "&" and ";") stands for; see
// CHtmlTokenizer::DecodeCharRef.
char DecodeName(LPCSTR pszName);

// Whether a name, given as its key, is "#" and a number that starts with
// white space or a sign, which only the runtime's own reading handles.
// Worked out without a branch on the kind, as references of both kinds
// come mixed in any order: the second byte is looked up in a mask.
// Only the key's first two bytes are looked at, in 32-bit arithmetic.
inline bool IsNumberAfterBlankOrSign(unsigned long long key) {
  const unsigned kSpacePlusMinus = (1U << (' ' - ' ')) | (1U << ('+' - ' ')) | (1U << ('-' - ' '));
  unsigned nLow = static_cast<unsigned>(key);
  unsigned chSecond = (nLow >> 8) & 0xFF;
  unsigned bBlank = static_cast<unsigned>(chSecond - '\t' < 5U);  // TAB, LF, VT, FF, CR
  unsigned bSpaceOrSign = ((kSpacePlusMinus >> ((chSecond - ' ') & 31)) & 1U) & static_cast<unsigned>(chSecond - ' ' < 32U);
  return (static_cast<unsigned>((nLow & 0xFF) == '#') & (bBlank | bSpaceOrSign)) != 0;
}

// chIf when bCondition holds, else chElse, chosen by a mask: where the
// condition follows the document's content a branch would be mispredicted
// often (compilers turn a plain ?: into either).
inline char SelectByte(bool bCondition, char chIf, char chElse) {
  unsigned mask = 0U - static_cast<unsigned>(bCondition);
  return static_cast<char>((static_cast<unsigned char>(chIf) & mask) | (static_cast<unsigned char>(chElse) & ~mask));
}

}  // namespace char_refs
