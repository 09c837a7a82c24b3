// One other library, loaded by path at run time, with its entry points looked
// up by name. The object owns the loaded library and unloads it when it goes.
#pragma once

#include <windows.h>

#include <afx.h>

class CModuleLoader {
 public:
  CModuleLoader();
  explicit CModuleLoader(LPCSTR path);
  ~CModuleLoader();

  // Forgets the handle without unloading the library.
  void Init();
  // Replaces the path (absolute, relative or a bare file name); loads nothing.
  void SetPath(LPCSTR path);
  // Loads the library from the path; while it loads, the current directory
  // is the library's own directory, so libraries beside it are found (a
  // bare file name loads through the system's search order and leaves the
  // current directory alone). On failure returns 0, leaves the system's
  // error number for GetLastError and, when bShowError is set, tells the
  // user in a box. A handle held from an earlier load is released once the
  // new load is done.
  BOOL Load(BOOL bShowError);
  // The named entry point, loading the library first (with the failure box)
  // when it is not loaded; null when the load fails or there is no such entry.
  FARPROC GetProcAddress(LPCSTR name);

  HMODULE GetModule() const { return m_hModule; }
  const CString& GetPath() const { return m_strPath; }

 protected:
  HMODULE m_hModule;
  CString m_strPath;

 private:
  void ShowLoadError(DWORD error) const;

  CModuleLoader(const CModuleLoader&);
  CModuleLoader& operator=(const CModuleLoader&);
};
