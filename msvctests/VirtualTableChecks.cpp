// The virtual tables that hosts derive from, read the way this ABI lays
// them out: slot N of each exported table must be the member exported at
// the ordinal that the interface lists Nth, and an object that the library
// constructs must carry the exported table.
#include "afxwin.h"
#include "config/CIniSettingsStore.h"
#include "config/CRegSettingsStore.h"
#include "html/CHtmlMirrorWriter.h"
#include "html/CHtmlStringForwarder.h"
#include "html/CHtmlStringSink.h"
#include "html/CHtmlTextForwarder.h"
#include "html/CHtmlTextSink.h"
#include "msvctests/CheckRunner.h"
#include "msvctests/Groups.h"
#include "msvctests/LibraryExports.h"
#include "packages/CExtensionPackageDlg.h"
#include "sync/TThread.h"
#include "template/CNamedValueList.h"

namespace {

// An exported virtual table and the members exported for its slots, from
// firstSlot on (a deleting destructor, where there is one, is slot 0 and
// not exported).
struct SlotTable {
  const char* name;
  int nTableOrdinal;
  int nFirstSlot;
  int members[8];  // ordinals, 0 ends the list
};

const SlotTable kSlotTables[] = {
    {"CHtmlStringSink", 110, 0, {1108, 1109, 1110, 1111}},
    {"CHtmlTextSink", 106, 0, {1114, 1115, 1116, 1117}},
    {"CHtmlMirrorWriter", 109, 0, {223, 228, 233, 218}},
    {"CHtmlStringForwarder", 107, 1, {222, 227, 232, 217}},
    {"CHtmlTextForwarder", 105, 1, {220, 225, 230, 215}},
    {"CRegSettingsStore", 1354, 0, {1343, 1344, 1345, 1346, 1347, 1348, 1349, 1350}},
    {"CIniSettingsStore", 1372, 0, {1362, 1363, 1364, 1365, 1366, 1367, 1368, 1369}},
    {"TThread", 1417, 1, {1409, 1411}},
};

bool SlotsHoldTheListedMembers() {
  bool bPassed = true;
  for (const SlotTable& table : kSlotTables) {
    void* const* pTable = static_cast<void* const*>(ExportedAt(table.nTableOrdinal));
    if (pTable == NULL) {
      bPassed = Fail("%s: no table exported at %d", table.name, table.nTableOrdinal);
      continue;
    }
    for (int i = 0; i < 8 && table.members[i] != 0; ++i) {
      void* pMember = ExportedAt(table.members[i]);
      int nSlot = table.nFirstSlot + i;
      if (pMember == NULL || pTable[nSlot] != pMember) {
        bPassed = Fail("%s: slot %d is not the member exported at %d", table.name, nSlot, table.members[i]);
      }
    }
  }
  return bPassed;
}

// The abstract tokenizer's four event slots, after its destructor, are all
// the runtime's pure-call handler.
bool TokenizerTableHasFourPureSlots() {
  void* const* pTable = static_cast<void* const*>(ExportedAt(108));
  if (pTable == NULL) return Fail("no table exported at 108");
  bool bPure = pTable[1] == pTable[2] && pTable[2] == pTable[3] && pTable[3] == pTable[4];
  void* const* pForwarder = static_cast<void* const*>(ExportedAt(107));
  return Expect(bPure, "slots 1 to 4 are one pure-call handler") &&
         Expect(pForwarder != NULL && pForwarder[1] != pTable[1], "a forwarder fills them");
}

template <class T>
bool CarriesTable(const T& object, const char* name, int nOrdinal) {
  if (VirtualTableOf(&object) == ExportedAt(nOrdinal)) return true;
  return Fail("%s: a constructed object does not carry the table exported at %d", name, nOrdinal);
}

bool LibraryObjectsCarryTheExportedTables() {
  CHtmlStringSink stringSink;
  CHtmlTextSink textSink;
  CHtmlStringForwarder stringForwarder;
  CHtmlTextForwarder textForwarder;
  CHtmlMirrorWriter mirror(CString("in.htm"), CString("out.htm"));
  CNamedValueList list;
  CRegSettingsStore regStore(TRUE, "Software\\LDExCore ABI checks");
  CIniSettingsStore iniStore("ldxabi.ini", FALSE, 0);
  TThread thread(THREAD_PRIORITY_NORMAL, NULL);
  CExtensionPackageDlg dialog(NULL);
  bool bPassed = CarriesTable(stringSink, "CHtmlStringSink", 110);
  bPassed = CarriesTable(textSink, "CHtmlTextSink", 106) && bPassed;
  bPassed = CarriesTable(stringForwarder, "CHtmlStringForwarder", 107) && bPassed;
  bPassed = CarriesTable(textForwarder, "CHtmlTextForwarder", 105) && bPassed;
  bPassed = CarriesTable(mirror, "CHtmlMirrorWriter", 109) && bPassed;
  bPassed = CarriesTable(list, "CNamedValueList", 1203) && bPassed;
  bPassed = CarriesTable(regStore, "CRegSettingsStore", 1354) && bPassed;
  bPassed = CarriesTable(iniStore, "CIniSettingsStore", 1372) && bPassed;
  bPassed = CarriesTable(thread, "TThread", 1417) && bPassed;
  bPassed = CarriesTable(dialog, "CExtensionPackageDlg", 1809) && bPassed;
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\LDExCore ABI checks");
  return bPassed;
}

// Deleting through a base pointer calls slot 0 with the flag to free: the
// library's deleting destructor, for objects it built.
bool DeletingDestructorsFreeThroughTheBase() {
  unsigned nStack = StackPointer();
  CHtmlTokenizer* pTokenizers[] = {new CHtmlStringForwarder, new CHtmlTextForwarder};
  for (CHtmlTokenizer* pTokenizer : pTokenizers) delete pTokenizer;
  TThread* pThread = new TThread(THREAD_PRIORITY_NORMAL, NULL);
  delete pThread;
  CDialog* pDialog = new CExtensionPackageDlg(NULL);
  delete pDialog;
  return Expect(StackPointer() == nStack, "the stack pointer is where it was");
}

const Check kChecks[] = {
    {"slot N of each exported table is the member listed Nth", SlotsHoldTheListedMembers},
    {"the tokenizer's table has four pure event slots", TokenizerTableHasFourPureSlots},
    {"objects built by the library carry the exported tables", LibraryObjectsCarryTheExportedTables},
    {"deleting destructors free through a base pointer", DeletingDestructorsFreeThroughTheBase},
};

}  // namespace

int RunVirtualTableChecks() { return RunChecks("virtual tables", kChecks, CHECK_COUNT(kChecks)); }
