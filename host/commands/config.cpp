// Commands of the configuration subsystem: settings in the registry and in
// INI files, scrambling, and the product's directories.
#include <afxwin.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "FileProblem.h"
#include "HostArguments.h"
#include "HostCommand.h"
#include "config/CIniSettingsStore.h"
#include "config/CRegSettingsStore.h"
#include "config/ProductDirs.h"
#include "config/ProductKey.h"
#include "config/Scramble.h"

namespace {

const HostOption kSettingsOptions[] = {
    FlagOption("--reg"), NonEmptyOption("--ini"), NonEmptyOption("--root"),
    FlagOption("--user"), FlagOption("--int"), FlagOption("--scrambled"),
};

struct SettingsArguments {
  CString action;
  bool reg;
  const char* iniFile;
  bool user;
  const char* root;
  bool asInt;
  bool scrambled;
  const char* operands[3];  // SECTION NAME [VALUE]
  int operandCount;
};

// Fills args from the parsed command line; returns an error text, or empty.
CString CheckSettings(const HostArguments& parsed, SettingsArguments& args) {
  if (parsed.OperandCount() < 1) return "expects get, set or delete";
  args.action = parsed.Operand(0);
  if (args.action != "get" && args.action != "set" && args.action != "delete")
    return "unknown action '" + args.action + "' (get, set or delete)";
  args.reg = parsed.Has("--reg");
  args.iniFile = parsed.Value("--ini");
  args.user = parsed.Has("--user");
  args.root = parsed.Value("--root");
  args.asInt = parsed.Has("--int");
  args.scrambled = parsed.Has("--scrambled");
  args.operandCount = parsed.OperandCount() - 1;
  for (int i = 0; i < args.operandCount && i < 3; ++i) args.operands[i] = parsed.Operand(i + 1);
  if (args.reg == (args.iniFile != NULL)) return "give either --reg or --ini FILE";
  if (args.root != NULL && !args.reg) return "--root goes with --reg";
  int want = args.action == "set" ? 3 : 2;
  bool countOk = args.operandCount == want || (args.action == "delete" && args.operandCount == 1);
  if (!countOk) {
    if (args.action == "get") return "get expects SECTION NAME";
    if (args.action == "set") return "set expects SECTION NAME VALUE";
    return "delete expects SECTION [NAME]";
  }
  if (args.action == "delete" && (args.asInt || args.scrambled)) return "delete takes no --int or --scrambled";
  // The stores would take an empty section for the top of their file or
  // key, and an empty INI name for no name at all: neither is a setting.
  // An empty registry name is the key's default value.
  if (*args.operands[0] == '\0')
    return args.reg ? "SECTION must not be empty (\"\\\" is the key itself)" : "SECTION must not be empty";
  if (args.operandCount > 1 && *args.operands[1] == '\0' && !args.reg) return "NAME must not be empty in an INI file";
  return CString();
}

// A 32-bit value from decimal, 0x hexadecimal or 0 octal text, signed or not.
bool ParseInt(const char* text, DWORD* value) {
  if (*text == '\0') return false;
  errno = 0;
  char* end = NULL;
  if (*text == '-') {
    long signedValue = strtol(text, &end, 0);
    *value = static_cast<DWORD>(signedValue);
  } else {
    unsigned long unsignedValue = strtoul(text, &end, 0);
    *value = static_cast<DWORD>(unsignedValue);
  }
  return errno == 0 && *end == '\0';
}

int Failed(const CString& message) {
  fprintf(stderr, "ldhost settings: %s\n", static_cast<LPCSTR>(message));
  return kExitFailed;
}

bool HasLineBreak(const char* text) { return strpbrk(text, "\r\n") != NULL; }

// Why a store refused a value: what the text may not hold, or, for an INI
// file, why the file cannot be written.
CString WhyNotWritten(const SettingsArguments& args, const char* name, const char* text, const CString& where) {
  CString scrambled;
  if (args.scrambled && !args.asInt && !ScrambleText(text, scrambled)) return "scrambling takes printable 7-bit text only";
  if (args.reg) return "the registry refused it";
  if (strchr(name, '=') != NULL) return "an INI name cannot hold '='";
  if (HasLineBreak(name) || HasLineBreak(text) || HasLineBreak(args.operands[0]))
    return "INI sections, names and values cannot hold line breaks";
  CString why = WhyNotWritable(where);
  return why.IsEmpty() ? CString("the profile functions refused it") : why;
}

// Carries out the action on an opened store; where names the store in
// messages.
int RunSettingsAction(const SettingsArguments& args, CSettingsStore& store, const CString& where) {
  const char* section = args.operands[0];
  const char* name = args.operandCount > 1 ? args.operands[1] : NULL;
  CString what = (name ? CString("value '") + name + "' in section '" : CString("section '")) + section + "' of " + where;

  if (args.action == "get") {
    if (args.asInt) {
      DWORD value = 0;
      if (!store.GetInt(section, name, &value, args.scrambled)) return Failed("no integer " + what);
      printf("%lu\n", static_cast<unsigned long>(value));
    } else {
      CString value;
      if (!store.GetString(section, name, value, args.scrambled)) return Failed("no text " + what);
      printf("%s\n", static_cast<LPCSTR>(value));
    }
    return kExitOk;
  }

  if (args.action == "set") {
    const char* text = args.operands[2];
    BOOL written;
    if (args.asInt) {
      DWORD value = 0;
      if (!ParseInt(text, &value)) return UsageError("settings", "--int needs a 32-bit number as VALUE");
      written = store.SetInt(section, name, value, args.scrambled);
    } else {
      written = store.SetString(section, name, text, args.scrambled);
    }
    if (!written) return Failed("could not write " + what + ": " + WhyNotWritten(args, name, text, where));
    return kExitOk;
  }

  BOOL deleted = name != NULL ? store.DeleteValue(section, name) : store.DeleteSection(section);
  if (!deleted) return Failed("could not delete " + what);
  return kExitOk;
}

int RunOnRegistry(const SettingsArguments& args, CRegSettingsStore& store) {
  const CString where = CString(args.user ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\") +
                        (args.root != NULL ? args.root : kProductKey);
  // A root that could not be opened or created leaves the store at the
  // top of the hive: nothing may be read or written there.
  LONG opened = store.m_pKey != NULL ? store.m_pKey->m_lResult : ERROR_OUTOFMEMORY;
  if (opened != ERROR_SUCCESS) {
    CString number;
    number.Format("%ld", static_cast<long>(opened));
    return Failed("cannot open or create " + where + " (system error " + number + ")");
  }
  return RunSettingsAction(args, store, where);
}

int RunOnIniFile(const SettingsArguments& args, CIniSettingsStore& store) {
  if (store.m_strFile.IsEmpty())
    return Failed(CString("no place for ") + args.iniFile +
                  ": the user's data directory is not set (DefaultUserDataDir of the product key; "
                  "'ldhost test-install DIR' records a test install)");
  // The file the profile functions really use: a bare name lies in the
  // Windows directory.
  return RunSettingsAction(args, store, ProfileFilePath(store.m_strFile));
}

int RunSettings(int argc, char** argv) {
  HostArguments parsed;
  if (!parsed.Parse("settings", kSettingsOptions, argc, argv)) return kExitUsage;
  SettingsArguments args;
  CString error = CheckSettings(parsed, args);
  if (!error.IsEmpty()) return UsageError("settings", error);

  if (!args.reg) {
    CIniSettingsStore store(args.iniFile, args.user, 0);
    return RunOnIniFile(args, store);
  }
  if (args.root == NULL) {
    CRegSettingsStore store(args.user);
    return RunOnRegistry(args, store);
  }
  CRegSettingsStore store(args.user, args.root);
  return RunOnRegistry(args, store);
}

int RunScrambling(const char* command, BOOL (*convert)(LPCSTR, CString&), int argc, char** argv) {
  HostArguments args;
  if (!args.Parse(command, argc, argv)) return kExitUsage;
  if (args.OperandCount() != 1) return UsageError(command, "expects one text");
  CString result;
  if (!convert(args.Operand(0), result)) {
    fprintf(stderr, "ldhost %s: the text holds a byte from 128 up or a control character\n", command);
    return kExitFailed;
  }
  printf("%s\n", static_cast<LPCSTR>(result));
  return kExitOk;
}

int RunScramble(int argc, char** argv) { return RunScrambling("scramble", ScrambleText, argc, argv); }
int RunUnscramble(int argc, char** argv) { return RunScrambling("unscramble", UnscrambleText, argc, argv); }

// One line of the directory list; a value not set adds its registry name
// to missing.
void Show(CString& missing, const char* label, const char* value, BOOL found, const char* registryName) {
  printf("%-22s %s\n", label, found ? value : "(not set)");
  if (found) return;
  if (!missing.IsEmpty()) missing += ", ";
  missing += registryName;
}

int RunDirs(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("dirs", argc, argv)) return kExitUsage;
  if (args.OperandCount() != 0) return UsageError("dirs", "takes no arguments");
  CString missing;  // the names of the values not set, comma-separated

  CString dir;
  BOOL found = GetProductDir(dir);
  Show(missing, "product directory:", dir, found, "ProductDir");
  found = GetProgramDir(dir);
  Show(missing, "program directory:", dir, found, "ProgramDir");
  {
    CRegSettingsStore machine(FALSE);
    found = machine.GetString("\\", "GlobalDataDir", dir, FALSE) && !dir.IsEmpty();
  }
  Show(missing, "global data directory:", dir, found, "GlobalDataDir");
  found = GetUserDataDir(dir);
  Show(missing, "user data directory:", dir, found, "DefaultUserDataDir");

  int platform = GetOsPlatform();
  const char* family = platform == kOsPlatformWindowsNT   ? "Windows NT"
                       : platform == kOsPlatformWindows9x ? "Windows 95/98/Me"
                                                          : "unknown";
  printf("%-22s %d (%s)\n", "platform family:", platform, family);
  GetWindowsProfileDir(dir);
  printf("%-22s %s\n", "profile directory:", dir.IsEmpty() ? "(none recorded)" : static_cast<LPCSTR>(dir));

  if (missing.IsEmpty()) return kExitOk;
  fprintf(stderr, "ldhost dirs: not set in HKEY_LOCAL_MACHINE\\%s: %s ('ldhost test-install DIR' records a test install)\n",
          kProductKey, static_cast<LPCSTR>(missing));
  return kExitFailed;
}

const HostCommand settingsCommand(
    "settings", "read, write or delete a setting in the registry or an INI file",
    "usage: ldhost settings get    (--reg [--user] [--root PATH] | --ini FILE [--user])\n"
    "                              SECTION NAME [--int] [--scrambled]\n"
    "       ldhost settings set    (...same store options...) SECTION NAME VALUE [--int] [--scrambled]\n"
    "       ldhost settings delete (...same store options...) SECTION [NAME]\n\n"
    "Goes through the library's settings stores.\n\n"
    "  --reg        the registry: the product key Software\\Corvane\\Lodestar\\CurrentVersion\n"
    "               below HKEY_LOCAL_MACHINE, or below HKEY_CURRENT_USER with --user.\n"
    "               SECTION is a key path below it: \"\\\" is the key itself, \"\\A\\B\" a\n"
    "               subkey (give sections with a leading backslash).\n"
    "  --root PATH  with --reg: the key PATH of the hive in place of the product key\n"
    "               (created when missing; exit code 1 when it cannot be).\n"
    "  --ini FILE   an INI file. With --user, FILE lies in the data directory of the\n"
    "               user (DefaultUserDataDir\\User1\\); without, a drive or network path\n"
    "               is used as given and any other name lies in GlobalDataDir (a bare\n"
    "               name in the Windows directory when that is not set). Messages name\n"
    "               the file that was used.\n"
    "  --int        the value is a 32-bit integer (VALUE in decimal, 0x hex or 0 octal;\n"
    "               printed as unsigned decimal).\n"
    "  --scrambled  the value is kept scrambled.\n\n"
    "get prints the value. delete removes one value, or without NAME the whole\n"
    "section (a registry key must have no subkeys). SECTION, FILE and PATH must\n"
    "not be empty, nor NAME in an INI file; an empty NAME in the registry is the\n"
    "key's default value.\n"
    "Exit codes: 0 done, 1 missing value, refused write or delete, or a --root that\n"
    "cannot be opened, 2 bad arguments.\n",
    RunSettings);

const HostCommand scrambleCommand(
    "scramble", "scramble a text as the settings stores keep it",
    "usage: ldhost scramble TEXT\n\n"
    "Prints TEXT in the scrambled form of the settings stores (abc gives vxz).\n"
    "Exit code 1 when TEXT holds a byte from 128 up or a control character that\n"
    "is not white space.\n",
    RunScramble);

const HostCommand unscrambleCommand(
    "unscramble", "give back the text of a scrambled value",
    "usage: ldhost unscramble TEXT\n\n"
    "Prints the text that scrambles to TEXT (vxz gives abc).\n"
    "Exit code 1 when TEXT holds a byte from 128 up or a control character that\n"
    "is not white space.\n",
    RunUnscramble);

const HostCommand dirsCommand(
    "dirs", "print the product's directories and platform",
    "usage: ldhost dirs\n\n"
    "Prints the product, program, global data and user data directories (from the\n"
    "machine-wide product key HKEY_LOCAL_MACHINE\\Software\\Corvane\\Lodestar\\CurrentVersion),\n"
    "the Windows platform family and the user's profile directory.\n"
    "Exit code 1 when one of the directories is not set.\n",
    RunDirs);

}  // namespace
