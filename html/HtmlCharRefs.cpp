#include "html/HtmlCharRefs.h"

#include <limits.h>
#include <string.h>

namespace char_refs {

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

static_assert(sizeof(kEntities) / sizeof(kEntities[0]) == EntityIndex::kEntityCount, "one key per entity");

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

}  // namespace

// Places every entry in a slot of its own; false when two share one.
bool EntityIndex::Place() {
  memset(m_entry, 0, sizeof(m_entry));
  for (int i = 0; i < kEntityCount; ++i) {
    int nSlot = Slot(m_keys[i + 1]);
    if (m_entry[nSlot] != 0) return false;
    m_entry[nSlot] = static_cast<unsigned char>(i + 1);
  }
  return true;
}

EntityIndex::EntityIndex() {
  m_keys[0] = ~0ULL;  // no name of at most kMaxCharRefName bytes has this key
  m_codes[0] = ' ';
  for (int i = 0; i < kEntityCount; ++i) {
    m_keys[i + 1] = Key(kEntities[i].name, static_cast<int>(strlen(kEntities[i].name)));
    m_codes[i + 1] = kEntities[i].code;
  }
  // Odd multiples of the golden ratio constant until one separates all
  // names (the 126th does; on a 32-bit processor, where the halves of a key
  // are hashed apart, the low half's multiplier follows from the same count).
  for (unsigned k = 0;; ++k) {
    m_multiplier = 0x9E3779B97F4A7C15ULL * (2 * k + 1);
    m_lowMultiplier = 0x9E3779B1U * (2 * k + 1);
    m_highMultiplier = 0x85EBCA77U;
    if (Place()) break;
  }
}

const EntityIndex g_entityIndex;

CodeBytes::CodeBytes() {
  for (int n = 0; n < 256; ++n) {
    bool bKept = n == 9 || n == 10 || (n >= 32 && n <= 126) || n >= 161;
    m_bytes[n] = bKept ? static_cast<char>(n) : ' ';
    m_bytes[256 + n] = n != 0 ? static_cast<char>(n) : ' ';
  }
}

const CodeBytes g_codeBytes;

DigitWeights::DigitWeights() {
  memset(m_weights, 0, sizeof(m_weights));
  for (int nDigits = 1; nDigits < kMaxCharRefName; ++nDigits) {
    short weight = 1;
    for (int i = nDigits - 1; i >= 0; --i, weight = static_cast<short>(weight * 10)) m_weights[nDigits][i] = weight;
  }
}

const DigitWeights g_digitWeights;

char DecodeName(LPCSTR pszName) {
  if (!pszName) return ' ';
  if (pszName[0] == '#') {
    int n = ParseDecimal(pszName + 1);
    return n < 0 ? ' ' : g_codeBytes.Get(static_cast<unsigned>(n));
  }
  size_t nLength = strlen(pszName);
  return nLength <= kMaxCharRefName ? g_entityIndex.Find(pszName, static_cast<int>(nLength)) : ' ';
}

}  // namespace char_refs
