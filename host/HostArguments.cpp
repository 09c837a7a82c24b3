#include "HostArguments.h"

#include <stdio.h>
#include <string.h>

#include "HostCommand.h"

HostArguments::HostArguments()
    : m_options(NULL), m_optionCount(0), m_given(NULL), m_givenCount(0), m_operands(NULL), m_operandCount(0) {}

HostArguments::~HostArguments() {
  delete[] m_given;
  delete[] m_operands;
}

const HostOption* HostArguments::Find(const char* name) const {
  for (int i = 0; i < m_optionCount; ++i)
    if (strcmp(m_options[i].name, name) == 0) return &m_options[i];
  return NULL;
}

bool HostArguments::Parse(const char* command, const HostOption* options, int optionCount, int argc, char** argv) {
  m_options = options;
  m_optionCount = optionCount;
  m_given = new Given[argc > 0 ? argc : 1];
  m_operands = new const char*[argc > 0 ? argc : 1];
  bool optionsEnded = false;
  for (int i = 0; i < argc; ++i) {
    const char* arg = argv[i];
    if (optionsEnded || strncmp(arg, "--", 2) != 0) {
      m_operands[m_operandCount++] = arg;
      continue;
    }
    if (arg[2] == '\0') {
      optionsEnded = true;
      continue;
    }
    const HostOption* option = Find(arg);
    if (option == NULL) {
      UnknownOption(command, arg);
      return false;
    }
    const char* value = NULL;
    if (option->kind != kFlagOption) {
      if (i + 1 >= argc) {
        MissingValue(command, arg);
        return false;
      }
      value = argv[++i];
      if (!CheckValue(command, *option, value)) return false;
    }
    m_given[m_givenCount].option = option;
    m_given[m_givenCount].value = value;
    ++m_givenCount;
  }
  return true;
}

bool HostArguments::CheckValue(const char* command, const HostOption& option, const char* value) {
  DWORD number;
  if (option.kind == kNonEmptyOption && *value == '\0') {
    UsageError(command, CString(option.name) + " must not be empty");
    return false;
  }
  if (option.kind == kNumberOption && !ParseNumber(value, option.minimum, option.maximum, &number)) {
    UsageError(command, CString(option.name) + " expects " + NumberRange(option.minimum, option.maximum, option.unit));
    return false;
  }
  return true;
}

int HostArguments::Count(const char* option) const {
  int count = 0;
  for (int i = 0; i < m_givenCount; ++i)
    if (strcmp(m_given[i].option->name, option) == 0) ++count;
  return count;
}

const char* HostArguments::Value(const char* option, int index) const {
  for (int i = 0; i < m_givenCount; ++i)
    if (strcmp(m_given[i].option->name, option) == 0 && index-- == 0) return m_given[i].value;
  return NULL;
}

const char* HostArguments::Value(const char* option) const {
  const int count = Count(option);
  return count > 0 ? Value(option, count - 1) : NULL;
}

DWORD HostArguments::Number(const char* option, DWORD fallback) const {
  const char* text = Value(option);
  DWORD number;
  return text != NULL && ParseNumber(text, 0, 0xFFFFFFFF, &number) ? number : fallback;
}

bool HostArguments::ParseNumber(const char* text, DWORD minimum, DWORD maximum, DWORD* value) {
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* digits = hex ? text + 2 : text;
  const unsigned long long base = hex ? 16 : 10;
  if (*digits == '\0') return false;
  unsigned long long number = 0;
  for (const char* p = digits; *p != '\0'; ++p) {
    unsigned long long digit;
    if (*p >= '0' && *p <= '9')
      digit = static_cast<unsigned long long>(*p - '0');
    else if (hex && *p >= 'a' && *p <= 'f')
      digit = static_cast<unsigned long long>(*p - 'a' + 10);
    else if (hex && *p >= 'A' && *p <= 'F')
      digit = static_cast<unsigned long long>(*p - 'A' + 10);
    else
      return false;
    number = number * base + digit;
    if (number > 0xFFFFFFFF) return false;  // past the largest 32-bit number
  }
  if (number < minimum || number > maximum) return false;
  *value = static_cast<DWORD>(number);
  return true;
}

CString HostArguments::NumberRange(DWORD minimum, DWORD maximum, const char* unit) {
  CString text;
  text.Format("a number%s%s from %lu to %lu", unit != NULL ? " of " : "", unit != NULL ? unit : "",
              static_cast<unsigned long>(minimum), static_cast<unsigned long>(maximum));
  return text;
}
