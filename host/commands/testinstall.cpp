// The test-install command: records a product install in a folder of the
// caller's choosing, as an installer would, so that the directory getters,
// the per-user INI settings, the launcher and the package checks have the
// folders they need.
#include <afxwin.h>
#include <stdio.h>
#include <string.h>

#include "FileProblem.h"
#include "HostArguments.h"
#include "HostCommand.h"
#include "config/CRegSettingsStore.h"
#include "config/CUserDirs.h"
#include "config/ProductDirs.h"
#include "config/ProductKey.h"

namespace {

// The values of the machine-wide product key, each a folder below the
// install folder (empty: the install folder itself), and the user's own
// folder, which the library finds below DefaultUserDataDir.
struct InstallValue {
  const char* name;
  const char* folder;
};

const InstallValue kInstallValues[] = {
    {"ProductDir", ""},
    {"ProgramDir", "Program\\"},
    {"GlobalDataDir", "Data\\"},
    {"DefaultUserDataDir", "Users\\"},
};

// Folders made below the install folder besides those of the values.
const char* const kMoreFolders[] = {"Program\\Packages\\", "Users\\User1\\"};

// The longest folder below the install folder, with room for a file name
// in it: longer paths do not fit the library's path buffers.
const int kLongestFolder = sizeof "Program\\Packages\\" - 1;
const int kRoomForFileName = 16;

bool IsFolder(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Where the first folder below the root of a full path starts: after the
// drive ("C:" and a backslash) or after the server and share of a network
// path.
int FirstFolderAt(const CString& path) {
  if (path.Left(2) != "\\\\") return path.GetLength() >= 3 && path[1] == ':' ? 3 : 0;
  const int share = path.Find('\\', 2);
  const int end = share < 0 ? -1 : path.Find('\\', share + 1);
  return end < 0 ? path.GetLength() : end + 1;
}

// Makes the folder path (a full path ending in a backslash) and every
// missing folder above it; returns why it could not, or empty.
CString MakeFolders(const CString& path) {
  for (int at = path.Find('\\', FirstFolderAt(path)); at >= 0; at = path.Find('\\', at + 1)) {
    const CString folder = path.Left(at);
    if (IsFolder(folder)) continue;
    if (GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES) return folder + " is a file, not a folder";
    if (!CreateDirectoryA(folder, NULL) && !IsFolder(folder))
      return "cannot create " + folder + ": " + SystemMessage(GetLastError());
  }
  return CString();
}

int RunTestInstall(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("test-install", argc, argv)) return kExitUsage;
  if (args.OperandCount() != 1) return UsageError("test-install", "expects one folder");
  if (*args.Operand(0) == '\0') return UsageError("test-install", "the folder must not be empty");
  CString root = FullPath(args.Operand(0));
  if (root.Right(1) != "\\") root += '\\';
  if (root.GetLength() + kLongestFolder + kRoomForFileName >= MAX_PATH) {
    CString message;
    message.Format("the folder %s is too long: it may have at most %d characters", static_cast<LPCSTR>(root),
                   MAX_PATH - 1 - kLongestFolder - kRoomForFileName);
    return UsageError("test-install", message);
  }

  for (size_t i = 0; i < sizeof kInstallValues / sizeof kInstallValues[0]; ++i) {
    const CString why = MakeFolders(root + kInstallValues[i].folder);
    if (!why.IsEmpty()) return Failure("test-install", why);
  }
  for (size_t i = 0; i < sizeof kMoreFolders / sizeof kMoreFolders[0]; ++i) {
    const CString why = MakeFolders(root + kMoreFolders[i]);
    if (!why.IsEmpty()) return Failure("test-install", why);
  }

  CRegSettingsStore machine(FALSE);
  for (size_t i = 0; i < sizeof kInstallValues / sizeof kInstallValues[0]; ++i) {
    const CString value = root + kInstallValues[i].folder;
    if (!machine.SetString("\\", kInstallValues[i].name, value, FALSE)) {
      fprintf(stderr, "ldhost test-install: cannot write %s into HKEY_LOCAL_MACHINE\\%s: the registry refused it\n",
              kInstallValues[i].name, kProductKey);
      return kExitFailed;
    }
    printf("%-19s %s\n", kInstallValues[i].name, static_cast<LPCSTR>(value));
  }

  // What the library now finds there.
  CString userDir;
  if (!CUserDirs().GetDataDirOfUser(0, userDir)) {
    fprintf(stderr, "ldhost test-install: the library does not find the user's data directory\n");
    return kExitFailed;
  }
  printf("user data directory %s\n", static_cast<LPCSTR>(userDir));
  return kExitOk;
}

const HostCommand testInstallCommand(
    "test-install", "record a product install in a folder, for tests",
    "usage: ldhost test-install DIR\n\n"
    "Makes DIR a product install for tests, as the installer would: writes\n"
    "these values of the machine-wide product key\n"
    "HKEY_LOCAL_MACHINE\\Software\\Corvane\\Lodestar\\CurrentVersion\n"
    "  ProductDir          DIR\\\n"
    "  ProgramDir          DIR\\Program\\   (brwsapp.exe, LDUSERDB.DLL, Packages\\)\n"
    "  GlobalDataDir       DIR\\Data\\      (INI files without --user)\n"
    "  DefaultUserDataDir  DIR\\Users\\     (the user's folder User1\\ below it)\n"
    "and creates these folders, Program\\Packages\\ and Users\\User1\\. Prints\n"
    "the values and the user data directory the library then finds. Other\n"
    "values of the key are left as they are; running it again rewrites them.\n"
    "Without these values the directory getters fail, the per-user INI\n"
    "settings read and write nothing, and the launcher and the package checks\n"
    "fail. DIR may be relative; the values hold its full path.\n"
    "Exit code 1 when a folder cannot be created or the registry refuses a\n"
    "value (writing below HKEY_LOCAL_MACHINE may need an administrator).\n",
    RunTestInstall);

}  // namespace
