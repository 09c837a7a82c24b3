// Commands of the library frame: its version and its string table.
#include <afxwin.h>
#include <stdio.h>
#include <stdlib.h>

#include "HostArguments.h"
#include "HostCommand.h"

namespace {

int RunVersion(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("version", argc, argv)) return kExitUsage;
  if (args.OperandCount() != 0) return UsageError("version", "takes no arguments");
  char path[MAX_PATH];
  if (!GetModuleFileNameA(GetModuleHandleA("LDExCore.dll"), path, MAX_PATH)) {
    fprintf(stderr, "ldhost version: LDExCore.dll is not loaded\n");
    return kExitFailed;
  }
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &handle);
  CString block;
  LPSTR data = block.GetBuffer(static_cast<int>(size));
  VS_FIXEDFILEINFO* info = NULL;
  UINT length = 0;
  if (size == 0 || !GetFileVersionInfoA(path, 0, size, data) ||
      !VerQueryValueA(data, "\\", reinterpret_cast<void**>(&info), &length)) {
    fprintf(stderr, "ldhost version: %s has no version resource\n", path);
    return kExitFailed;
  }
  printf("%lu.%lu.%lu.%lu\n", info->dwFileVersionMS >> 16, info->dwFileVersionMS & 0xFFFF,
         info->dwFileVersionLS >> 16, info->dwFileVersionLS & 0xFFFF);
  return kExitOk;
}

int RunString(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("string", argc, argv)) return kExitUsage;
  if (args.OperandCount() != 1) return UsageError("string", "expects one string id");
  DWORD id = 0;
  if (!HostArguments::ParseNumber(args.Operand(0), 0, 0xFFFF, &id))
    return UsageError("string", "the id must be " + HostArguments::NumberRange(0, 0xFFFF));
  CString text;
  if (!text.LoadString(static_cast<UINT>(id))) {
    fprintf(stderr, "ldhost string: no string %lu in the resource chain\n", static_cast<unsigned long>(id));
    return kExitFailed;
  }
  printf("%s\n", static_cast<LPCSTR>(text));
  return kExitOk;
}

const HostCommand versionCommand(
    "version", "print the library's version",
    "usage: ldhost version\n\n"
    "Prints the file version of the loaded LDExCore.dll, from its version resource.\n",
    RunVersion);

const HostCommand stringCommand(
    "string", "print a string resource by number",
    "usage: ldhost string ID\n\n"
    "Loads string ID through the framework's resource chain (the host, then every\n"
    "chained library, LDExCore among them) and prints it. ID is decimal, or hex\n"
    "with 0x. Exit code 1 when no module has the string.\n",
    RunString);

}  // namespace
