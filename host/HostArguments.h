// The command line of one host tool command, read against the command's
// table of options, so that every command treats options alike:
//  - an argument that starts with "--" is an option ("--" alone ends the
//    options: every argument after it is an operand);
//  - an option that takes a value takes the next argument, whatever it is;
//  - options and operands may come in any order, and an option given more
//    than once keeps every value (Value gives the last);
// and gives the same usage errors: "unknown option --X", "--X needs a
// value", "--X must not be empty" and "--X expects a number from A to B".
#pragma once

#include <afx.h>

enum HostOptionKind {
  kFlagOption,      // takes no value
  kTextOption,      // takes any text
  kNonEmptyOption,  // takes a text that is not empty
  kNumberOption,    // takes a whole number from minimum to maximum
};

struct HostOption {
  const char* name;  // with its dashes: "--width"
  HostOptionKind kind;
  DWORD minimum;  // numbers only
  DWORD maximum;
  const char* unit;   // numbers only, for messages ("milliseconds"), or NULL
};

// Entries of an option table.
constexpr HostOption FlagOption(const char* name) { return HostOption{name, kFlagOption, 0, 0, NULL}; }
constexpr HostOption TextOption(const char* name) { return HostOption{name, kTextOption, 0, 0, NULL}; }
constexpr HostOption NonEmptyOption(const char* name) { return HostOption{name, kNonEmptyOption, 0, 0, NULL}; }
constexpr HostOption NumberOption(const char* name, DWORD minimum, DWORD maximum, const char* unit = NULL) {
  return HostOption{name, kNumberOption, minimum, maximum, unit};
}

class HostArguments {
 public:
  HostArguments();
  ~HostArguments();

  // Reads argv against options; on a usage error prints it for command
  // and returns false.
  template <int kCount>
  bool Parse(const char* command, const HostOption (&options)[kCount], int argc, char** argv) {
    return Parse(command, options, kCount, argc, argv);
  }
  // For a command without options.
  bool Parse(const char* command, int argc, char** argv) { return Parse(command, NULL, 0, argc, argv); }

  bool Has(const char* option) const { return Count(option) > 0; }
  int Count(const char* option) const;
  // The value given with the index-th use of option; NULL when there is none.
  const char* Value(const char* option, int index) const;
  // The value of its last use; NULL when it was not given.
  const char* Value(const char* option) const;
  // The number of a number option's last use, or fallback.
  DWORD Number(const char* option, DWORD fallback) const;

  int OperandCount() const { return m_operandCount; }
  const char* Operand(int index) const { return m_operands[index]; }
  const char* const* Operands() const { return m_operands; }

  // A whole number, decimal or 0x hexadecimal, from minimum to maximum
  // (at most 4294967295).
  static bool ParseNumber(const char* text, DWORD minimum, DWORD maximum, DWORD* value);
  // "a number from 0 to 65535", or "a number of UNIT from 0 to 65535".
  static CString NumberRange(DWORD minimum, DWORD maximum, const char* unit = NULL);

 private:
  bool Parse(const char* command, const HostOption* options, int optionCount, int argc, char** argv);
  const HostOption* Find(const char* name) const;
  // False, after printing the usage error, for an empty value of an option
  // that needs one or a number out of the option's range.
  static bool CheckValue(const char* command, const HostOption& option, const char* value);

  struct Given {
    const HostOption* option;
    const char* value;
  };
  const HostOption* m_options;
  int m_optionCount;
  Given* m_given;
  int m_givenCount;
  const char** m_operands;
  int m_operandCount;

  HostArguments(const HostArguments&);
  HostArguments& operator=(const HostArguments&);
};
