#include "frame/CModuleLoader.h"

#include <afxwin.h>
#include <string.h>

namespace {

const char kLoadFailedFormat[] = "DLL load failed - %s\nSystem error: %lu\n%s";

// Switches the process's current directory for the lifetime of the object
// and switches back when it goes; does nothing for an empty directory, when
// the switch fails or when the directory to return to cannot be read.
class CurrentDirectorySwitch {
 public:
  explicit CurrentDirectorySwitch(const CString& directory) : m_bSwitched(FALSE) {
    if (directory.IsEmpty()) return;
    DWORD size = GetCurrentDirectoryA(0, NULL);
    if (size == 0) return;
    DWORD length = GetCurrentDirectoryA(size, m_strSaved.GetBuffer(static_cast<int>(size)));
    m_strSaved.ReleaseBuffer(length < size ? static_cast<int>(length) : 0);
    if (length == 0 || length >= size) return;
    m_bSwitched = SetCurrentDirectoryA(directory);
  }
  ~CurrentDirectorySwitch() {
    if (m_bSwitched) SetCurrentDirectoryA(m_strSaved);
  }
  BOOL Switched() const { return m_bSwitched; }

 private:
  CString m_strSaved;
  BOOL m_bSwitched;
};

// The path made absolute against the current directory; empty when the
// system cannot do that.
CString FullPathOf(const CString& path) {
  CString full;
  DWORD size = GetFullPathNameA(path, 0, NULL, NULL);
  if (size == 0) return full;
  DWORD length = GetFullPathNameA(path, size, full.GetBuffer(static_cast<int>(size)), NULL);
  full.ReleaseBuffer(length > 0 && length < size ? static_cast<int>(length) : 0);
  return full;
}

// The directory part of an absolute path: everything before the last
// backslash, except that a drive or share root keeps its backslash ("C:"
// rather than "C:", which would name the drive's current directory).
CString DirectoryOf(const CString& fullPath) {
  int lastSlash = fullPath.ReverseFind('\\');
  if (lastSlash < 0) return CString();
  CString directory = fullPath.Left(lastSlash);
  if (directory.IsEmpty() || directory[directory.GetLength() - 1] == ':') directory += '\\';
  return directory;
}

// Loads the library with its own directory as the current one, so that
// libraries it depends on and that lie beside it are found, and switches
// back before returning. A path with a directory is made absolute first: a
// relative one would otherwise be taken relative to the directory just
// switched to. Sets *error to the system's error number on failure.
HMODULE LoadInOwnDirectory(const CString& path, DWORD* error) {
  CString fullPath;
  if (path.Find('\\') >= 0) fullPath = FullPathOf(path);
  CurrentDirectorySwitch directorySwitch(DirectoryOf(fullPath));
  HMODULE module = LoadLibraryA(directorySwitch.Switched() ? fullPath : path);
  *error = module == NULL ? GetLastError() : ERROR_SUCCESS;
  return module;
}

// File name of the application module the framework runs for (the host
// program), without its directory.
CString ApplicationFileName() {
  char path[MAX_PATH + 1];
  DWORD length = GetModuleFileNameA(AfxGetInstanceHandle(), path, MAX_PATH);
  path[length <= MAX_PATH ? length : MAX_PATH] = '\0';
  const char* name = strrchr(path, '\\');
  return name != NULL ? name + 1 : path;
}

}  // namespace

CModuleLoader::CModuleLoader() : m_hModule(NULL) {}

CModuleLoader::CModuleLoader(LPCSTR path) : m_hModule(NULL), m_strPath(path) {}

CModuleLoader::~CModuleLoader() {
  if (m_hModule != NULL) FreeLibrary(m_hModule);
}

void CModuleLoader::Init() { m_hModule = NULL; }

void CModuleLoader::SetPath(LPCSTR path) { m_strPath = path; }

BOOL CModuleLoader::Load(BOOL bShowError) {
  if (m_strPath.IsEmpty()) return FALSE;

  HMODULE previous = m_hModule;
  DWORD error = ERROR_SUCCESS;
  m_hModule = LoadInOwnDirectory(m_strPath, &error);
  // The earlier handle goes only after the new load, so a library loaded
  // twice stays in memory (entry points looked up before remain valid).
  if (previous != NULL) FreeLibrary(previous);
  if (m_hModule != NULL) return TRUE;

  if (bShowError) ShowLoadError(error);
  SetLastError(error);
  return FALSE;
}

FARPROC CModuleLoader::GetProcAddress(LPCSTR name) {
  if (m_hModule == NULL && !Load(TRUE)) return NULL;
  return ::GetProcAddress(m_hModule, name);
}

void CModuleLoader::ShowLoadError(DWORD error) const {
  // Inserts are left as they are: without that flag the system gives no
  // text at all for messages such as "%1 is not a valid Win32 application."
  LPSTR systemText = NULL;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&systemText), 0, NULL);

  CString text;
  text.Format(kLoadFailedFormat, static_cast<LPCSTR>(m_strPath), static_cast<unsigned long>(error),
              length != 0 && systemText != NULL ? systemText : "");
  MessageBoxA(GetActiveWindow(), text, ApplicationFileName(), MB_OK | MB_ICONEXCLAMATION);
  if (systemText != NULL) LocalFree(systemText);
}
