// Late binding to the client's user database library LDUSERDB.DLL in the
// program directory. The library is loaded on first use; each entry point is
// looked up by name on the first call of its member, cached, and called with
// the caller's arguments unchanged (C calling convention, every argument and
// result a 32-bit value). A member whose entry point cannot be bound returns
// 0 and calls nothing; a load that fails shows the loader's failure box on
// every such call.
//
// The four add and store members take a record, a value and a reset flag:
// with the flag set, the 64-bit floating-point field at byte 40 of the
// record is set to 0.0 before the call, and the entry point receives the
// record and the value only.
//
// The member order (the loader's, the flag, then one cached entry point per
// operation in the order below) is part of the library's interface.
#pragma once

#include <windows.h>

#include "frame/CModuleLoader.h"

class CUserDbLink : public CModuleLoader {
 public:
  enum { kEntryPointCount = 45 };

  CUserDbLink();
  ~CUserDbLink();

  // Clears the prepared flag and every cached entry point; the library stays
  // loaded.
  void Reset();
  // Sets the library path once (see GetLibraryPath); always 1, loads nothing.
  BOOL Prepare();
  // The program directory followed by "LDUSERDB.DLL"; empty when the
  // program directory is not known.
  void GetLibraryPath(CString& strPath);
  // 1 when the library is loaded or loads now; never shows a box.
  BOOL IsAvailable();

  DWORD AddFavoriteSearch(void* pRecord, DWORD dwValue, BOOL bReset);
  DWORD RenameFavoriteSearch(DWORD a1, DWORD a2);
  DWORD AddWorkInProgress(void* pRecord, DWORD dwValue, BOOL bReset);
  DWORD EmptyHistory(DWORD a1);
  DWORD AddSearchHistory(void* pRecord, DWORD dwValue, BOOL bReset);
  DWORD UpdateSearchHistory(DWORD a1);
  DWORD StoreReport(void* pRecord, DWORD dwValue, BOOL bReset);
  DWORD SelectFolder(DWORD a1, DWORD a2, DWORD a3, DWORD a4);
  DWORD GetReportCount(DWORD a1);
  DWORD GetWIPCount(DWORD a1);
  DWORD GetFavoriteCount(DWORD a1);
  DWORD MoveReports(DWORD a1, DWORD a2, DWORD a3, DWORD a4);
  DWORD MarkReports(DWORD a1, DWORD a2, DWORD a3);
  DWORD MarkReport(DWORD a1, DWORD a2, DWORD a3);
  DWORD DeleteReports(DWORD a1, DWORD a2, DWORD a3);
  DWORD GetReportStats(DWORD a1, DWORD a2, DWORD a3, DWORD a4);
  DWORD GetReports(DWORD a1, DWORD a2, DWORD a3);
  DWORD ReleaseReports(DWORD a1);
  DWORD DeleteTrash(DWORD a1, DWORD a2);
  DWORD FixFolderTotals(DWORD a1, DWORD a2, DWORD a3, DWORD a4);
  DWORD RemoveDeadWIPs(DWORD a1);
  DWORD RenameRptFolder(DWORD a1, DWORD a2, DWORD a3);
  DWORD AddRptFolder(DWORD a1, DWORD a2, DWORD a3, DWORD a4);
  DWORD DeleteRptFolder(DWORD a1, DWORD a2);
  DWORD MoveRptFolder(DWORD a1, DWORD a2, DWORD a3);
  DWORD GetReportFldrs(DWORD a1, DWORD a2);
  DWORD ReleaseRptFldrs(DWORD a1);
  DWORD GetReportList(DWORD a1, DWORD a2, DWORD a3);
  DWORD GetFavSearchItems(DWORD a1, DWORD a2);
  DWORD ReleaseFavSearchItems(DWORD a1);
  DWORD DeleteFavSearch(DWORD a1, DWORD a2);
  DWORD GetFavSearch(DWORD a1, DWORD a2, DWORD a3);
  DWORD GetWIPItems(DWORD a1, DWORD a2);
  DWORD ReleaseWIPItems(DWORD a1);
  DWORD DeleteWIP(DWORD a1, DWORD a2);
  DWORD GetWIP(DWORD a1, DWORD a2, DWORD a3);
  DWORD GetHistSearchItems(DWORD a1, DWORD a2);
  DWORD ReleaseHistSearchItems(DWORD a1);
  DWORD DeleteSearchHistory(DWORD a1, DWORD a2);
  DWORD GetSearchHistory(DWORD a1, DWORD a2, DWORD a3);
  DWORD GetMonItemStats(DWORD a1, DWORD a2, DWORD a3, DWORD a4, DWORD a5);
  DWORD GetMonItemStatsAll(DWORD a1, DWORD a2, DWORD a3, DWORD a4);
  DWORD ViewItemReports(DWORD a1, DWORD a2);
  DWORD DisplayMonReports(DWORD a1, DWORD a2, DWORD a3);
  DWORD RenameWIPSearch(DWORD a1, DWORD a2);

 protected:
  BOOL m_bPrepared;
  FARPROC m_pfnEntryPoints[kEntryPointCount];  // null until found

 private:
  FARPROC EntryPoint(int nEntry);
  template <typename... Args>
  DWORD Forward(int nEntry, Args... args);
  DWORD ForwardRecord(int nEntry, void* pRecord, DWORD dwValue, BOOL bReset);
};
