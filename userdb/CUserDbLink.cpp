#include "userdb/CUserDbLink.h"

#include <string.h>

#include "config/ProductDirs.h"

namespace {

const char kLibraryName[] = "LDUSERDB.DLL";

// Offset of the 64-bit floating-point field that the add and store members
// reset in the caller's record.
const size_t kResetFieldOffset = 40;

// Member and entry-point name, in the order of the cached entry points.
#define LDX_USERDB_ENTRY_POINTS(X)                                    \
  X(AddFavoriteSearch, "LDUserDB_AddFavoriteSearch")                  \
  X(RenameFavoriteSearch, "LDUserDB_RenameFavoriteSearch")            \
  X(AddWorkInProgress, "LDUserDB_AddWorkInProgress")                  \
  X(EmptyHistory, "LDUserDB_EmptyHistory")                            \
  X(AddSearchHistory, "LDUserDB_AddSearchHistory")                    \
  X(UpdateSearchHistory, "LDUserDB_UpdateSearchHistory")              \
  X(StoreReport, "LDUserDB_StoreReport")                              \
  X(SelectFolder, "LDUserDB_SelectFolder")                            \
  X(GetReportCount, "LDUserDB_GetReportCount")                        \
  X(GetWIPCount, "LDUserDB_GetWIPCount")                              \
  X(GetFavoriteCount, "LDUserDB_GetFavoriteCount")                    \
  X(MoveReports, "LDUserDB_MoveReports")                              \
  X(MarkReports, "LDUserDB_MarkReports")                              \
  X(MarkReport, "LDUserDB_MarkReport")                                \
  X(DeleteReports, "LDUserDB_DeleteReports")                          \
  /* The user database library exports this name with a blank. */     \
  X(GetReportStats, "LDUserDB_GetReportStats ")                       \
  X(GetReports, "LDUserDB_GetReports")                                \
  X(ReleaseReports, "LDUserDB_ReleaseReports")                        \
  X(DeleteTrash, "LDUserDB_DeleteTrash")                              \
  X(FixFolderTotals, "LDUserDB_FixFolderTotals")                      \
  X(RemoveDeadWIPs, "LDUserDB_RemoveDeadWIPs")                        \
  X(RenameRptFolder, "LDUserDB_RenameRptFolder")                      \
  X(AddRptFolder, "LDUserDB_AddRptFolder")                            \
  X(DeleteRptFolder, "LDUserDB_DeleteRptFolder")                      \
  X(MoveRptFolder, "LDUserDB_MoveRptFolder")                          \
  X(GetReportFldrs, "LDUserDB_GetReportFldrs")                        \
  X(ReleaseRptFldrs, "LDUserDB_ReleaseRptFldrs")                      \
  X(GetReportList, "LDUserDB_GetReportList")                          \
  X(GetFavSearchItems, "LDUserDB_GetFavSearchItems")                  \
  X(ReleaseFavSearchItems, "LDUserDB_ReleaseFavSearchItems")          \
  X(DeleteFavSearch, "LDUserDB_DeleteFavSearch")                      \
  X(GetFavSearch, "LDUserDB_GetFavSearch")                            \
  X(GetWIPItems, "LDUserDB_GetWIPItems")                              \
  X(ReleaseWIPItems, "LDUserDB_ReleaseWIPItems")                      \
  X(DeleteWIP, "LDUserDB_DeleteWIP")                                  \
  X(GetWIP, "LDUserDB_GetWIP")                                        \
  X(GetHistSearchItems, "LDUserDB_GetHistSearchItems")                \
  X(ReleaseHistSearchItems, "LDUserDB_ReleaseHistSearchItems")        \
  X(DeleteSearchHistory, "LDUserDB_DeleteSearchHistory")              \
  X(GetSearchHistory, "LDUserDB_GetSearchHistory")                    \
  X(GetMonItemStats, "LDUserDB_GetMonItemStats")                      \
  X(GetMonItemStatsAll, "LDUserDB_GetMonItemStatsAll")                \
  X(ViewItemReports, "LDUserDB_ViewItemReports")                      \
  X(DisplayMonReports, "LDUserDB_DisplayMonReports")                  \
  X(RenameWIPSearch, "LDUserDB_RenameWIPSearch")

#define LDX_ENTRY_INDEX(member, name) k##member,
enum EntryIndex { LDX_USERDB_ENTRY_POINTS(LDX_ENTRY_INDEX) kEntryCount };
#undef LDX_ENTRY_INDEX

#define LDX_ENTRY_NAME(member, name) name,
const char* const kEntryPointNames[] = {LDX_USERDB_ENTRY_POINTS(LDX_ENTRY_NAME)};
#undef LDX_ENTRY_NAME

static_assert(static_cast<int>(kEntryCount) == static_cast<int>(CUserDbLink::kEntryPointCount), "one cached entry point per operation");

}  // namespace

CUserDbLink::CUserDbLink() { Reset(); }

CUserDbLink::~CUserDbLink() { Reset(); }

void CUserDbLink::Reset() {
  m_bPrepared = FALSE;
  for (FARPROC& pfn : m_pfnEntryPoints) pfn = NULL;
}

BOOL CUserDbLink::Prepare() {
  if (m_bPrepared) return TRUE;
  CString strPath;
  GetLibraryPath(strPath);
  SetPath(strPath);
  m_bPrepared = TRUE;
  return TRUE;
}

void CUserDbLink::GetLibraryPath(CString& strPath) {
  CString strProgramDir;
  if (GetProgramDir(strProgramDir))
    strPath = strProgramDir + kLibraryName;
  else
    strPath.Empty();
}

BOOL CUserDbLink::IsAvailable() {
  Prepare();
  // A library already held is not loaded again, so that repeated calls take
  // no further reference to it.
  if (m_hModule != NULL) return TRUE;
  return Load(FALSE);
}

FARPROC CUserDbLink::EntryPoint(int nEntry) {
  Prepare();
  // A failed look-up is tried again (and a failed load shows its box again)
  // on the next call.
  if (m_pfnEntryPoints[nEntry] == NULL) m_pfnEntryPoints[nEntry] = GetProcAddress(kEntryPointNames[nEntry]);
  return m_pfnEntryPoints[nEntry];
}

template <typename... Args>
DWORD CUserDbLink::Forward(int nEntry, Args... args) {
  FARPROC pfn = EntryPoint(nEntry);
  if (pfn == NULL) return 0;
  typedef DWORD(__cdecl * EntryFunction)(Args...);
  return reinterpret_cast<EntryFunction>(reinterpret_cast<void (*)()>(pfn))(args...);
}

DWORD CUserDbLink::ForwardRecord(int nEntry, void* pRecord, DWORD dwValue, BOOL bReset) {
  FARPROC pfn = EntryPoint(nEntry);
  if (pfn == NULL) return 0;
  if (bReset && pRecord != NULL) {
    const double dZero = 0.0;
    memcpy(static_cast<BYTE*>(pRecord) + kResetFieldOffset, &dZero, sizeof dZero);
  }
  typedef DWORD(__cdecl * EntryFunction)(void*, DWORD);
  return reinterpret_cast<EntryFunction>(reinterpret_cast<void (*)()>(pfn))(pRecord, dwValue);
}

DWORD CUserDbLink::AddFavoriteSearch(void* pRecord, DWORD dwValue, BOOL bReset) {
  return ForwardRecord(kAddFavoriteSearch, pRecord, dwValue, bReset);
}
DWORD CUserDbLink::AddWorkInProgress(void* pRecord, DWORD dwValue, BOOL bReset) {
  return ForwardRecord(kAddWorkInProgress, pRecord, dwValue, bReset);
}
DWORD CUserDbLink::AddSearchHistory(void* pRecord, DWORD dwValue, BOOL bReset) {
  return ForwardRecord(kAddSearchHistory, pRecord, dwValue, bReset);
}
DWORD CUserDbLink::StoreReport(void* pRecord, DWORD dwValue, BOOL bReset) {
  return ForwardRecord(kStoreReport, pRecord, dwValue, bReset);
}

DWORD CUserDbLink::RenameFavoriteSearch(DWORD a1, DWORD a2) { return Forward(kRenameFavoriteSearch, a1, a2); }
DWORD CUserDbLink::EmptyHistory(DWORD a1) { return Forward(kEmptyHistory, a1); }
DWORD CUserDbLink::UpdateSearchHistory(DWORD a1) { return Forward(kUpdateSearchHistory, a1); }
DWORD CUserDbLink::SelectFolder(DWORD a1, DWORD a2, DWORD a3, DWORD a4) {
  return Forward(kSelectFolder, a1, a2, a3, a4);
}
DWORD CUserDbLink::GetReportCount(DWORD a1) { return Forward(kGetReportCount, a1); }
DWORD CUserDbLink::GetWIPCount(DWORD a1) { return Forward(kGetWIPCount, a1); }
DWORD CUserDbLink::GetFavoriteCount(DWORD a1) { return Forward(kGetFavoriteCount, a1); }
DWORD CUserDbLink::MoveReports(DWORD a1, DWORD a2, DWORD a3, DWORD a4) {
  return Forward(kMoveReports, a1, a2, a3, a4);
}
DWORD CUserDbLink::MarkReports(DWORD a1, DWORD a2, DWORD a3) { return Forward(kMarkReports, a1, a2, a3); }
DWORD CUserDbLink::MarkReport(DWORD a1, DWORD a2, DWORD a3) { return Forward(kMarkReport, a1, a2, a3); }
DWORD CUserDbLink::DeleteReports(DWORD a1, DWORD a2, DWORD a3) { return Forward(kDeleteReports, a1, a2, a3); }
DWORD CUserDbLink::GetReportStats(DWORD a1, DWORD a2, DWORD a3, DWORD a4) {
  return Forward(kGetReportStats, a1, a2, a3, a4);
}
DWORD CUserDbLink::GetReports(DWORD a1, DWORD a2, DWORD a3) { return Forward(kGetReports, a1, a2, a3); }
DWORD CUserDbLink::ReleaseReports(DWORD a1) { return Forward(kReleaseReports, a1); }
DWORD CUserDbLink::DeleteTrash(DWORD a1, DWORD a2) { return Forward(kDeleteTrash, a1, a2); }
DWORD CUserDbLink::FixFolderTotals(DWORD a1, DWORD a2, DWORD a3, DWORD a4) {
  return Forward(kFixFolderTotals, a1, a2, a3, a4);
}
DWORD CUserDbLink::RemoveDeadWIPs(DWORD a1) { return Forward(kRemoveDeadWIPs, a1); }
DWORD CUserDbLink::RenameRptFolder(DWORD a1, DWORD a2, DWORD a3) { return Forward(kRenameRptFolder, a1, a2, a3); }
DWORD CUserDbLink::AddRptFolder(DWORD a1, DWORD a2, DWORD a3, DWORD a4) {
  return Forward(kAddRptFolder, a1, a2, a3, a4);
}
DWORD CUserDbLink::DeleteRptFolder(DWORD a1, DWORD a2) { return Forward(kDeleteRptFolder, a1, a2); }
DWORD CUserDbLink::MoveRptFolder(DWORD a1, DWORD a2, DWORD a3) { return Forward(kMoveRptFolder, a1, a2, a3); }
DWORD CUserDbLink::GetReportFldrs(DWORD a1, DWORD a2) { return Forward(kGetReportFldrs, a1, a2); }
DWORD CUserDbLink::ReleaseRptFldrs(DWORD a1) { return Forward(kReleaseRptFldrs, a1); }
DWORD CUserDbLink::GetReportList(DWORD a1, DWORD a2, DWORD a3) { return Forward(kGetReportList, a1, a2, a3); }
DWORD CUserDbLink::GetFavSearchItems(DWORD a1, DWORD a2) { return Forward(kGetFavSearchItems, a1, a2); }
DWORD CUserDbLink::ReleaseFavSearchItems(DWORD a1) { return Forward(kReleaseFavSearchItems, a1); }
DWORD CUserDbLink::DeleteFavSearch(DWORD a1, DWORD a2) { return Forward(kDeleteFavSearch, a1, a2); }
DWORD CUserDbLink::GetFavSearch(DWORD a1, DWORD a2, DWORD a3) { return Forward(kGetFavSearch, a1, a2, a3); }
DWORD CUserDbLink::GetWIPItems(DWORD a1, DWORD a2) { return Forward(kGetWIPItems, a1, a2); }
DWORD CUserDbLink::ReleaseWIPItems(DWORD a1) { return Forward(kReleaseWIPItems, a1); }
DWORD CUserDbLink::DeleteWIP(DWORD a1, DWORD a2) { return Forward(kDeleteWIP, a1, a2); }
DWORD CUserDbLink::GetWIP(DWORD a1, DWORD a2, DWORD a3) { return Forward(kGetWIP, a1, a2, a3); }
DWORD CUserDbLink::GetHistSearchItems(DWORD a1, DWORD a2) { return Forward(kGetHistSearchItems, a1, a2); }
DWORD CUserDbLink::ReleaseHistSearchItems(DWORD a1) { return Forward(kReleaseHistSearchItems, a1); }
DWORD CUserDbLink::DeleteSearchHistory(DWORD a1, DWORD a2) { return Forward(kDeleteSearchHistory, a1, a2); }
DWORD CUserDbLink::GetSearchHistory(DWORD a1, DWORD a2, DWORD a3) {
  return Forward(kGetSearchHistory, a1, a2, a3);
}
DWORD CUserDbLink::GetMonItemStats(DWORD a1, DWORD a2, DWORD a3, DWORD a4, DWORD a5) {
  return Forward(kGetMonItemStats, a1, a2, a3, a4, a5);
}
DWORD CUserDbLink::GetMonItemStatsAll(DWORD a1, DWORD a2, DWORD a3, DWORD a4) {
  return Forward(kGetMonItemStatsAll, a1, a2, a3, a4);
}
DWORD CUserDbLink::ViewItemReports(DWORD a1, DWORD a2) { return Forward(kViewItemReports, a1, a2); }
DWORD CUserDbLink::DisplayMonReports(DWORD a1, DWORD a2, DWORD a3) {
  return Forward(kDisplayMonReports, a1, a2, a3);
}
DWORD CUserDbLink::RenameWIPSearch(DWORD a1, DWORD a2) { return Forward(kRenameWIPSearch, a1, a2); }
