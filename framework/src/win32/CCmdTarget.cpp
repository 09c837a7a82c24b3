#include "CCmdTarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::_GetBaseMessageMap() { return NULL; }

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return &CCmdTarget::messageMap; }

const AFX_MSGMAP CCmdTarget::messageMap = {&CCmdTarget::_GetBaseMessageMap,
                                           &CCmdTarget::_messageEntries[0]};

const AFX_MSGMAP_ENTRY CCmdTarget::_messageEntries[] = {{0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0}};

namespace {

const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode,
                                         UINT nID) {
  for (; lpEntry->nSig != AfxSig_end; ++lpEntry) {
    if (lpEntry->nMessage == nMsg && lpEntry->nCode == nCode && nID >= lpEntry->nID &&
        nID <= lpEntry->nLastID) {
      return lpEntry;
    }
  }
  return NULL;
}

}  // namespace

CCmdTarget::CCmdTarget() {}

CCmdTarget::~CCmdTarget() {}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  // The high word of nCode may carry the window message; 0 means WM_COMMAND.
  UINT nMsg = HIWORD(static_cast<DWORD>(nCode));
  UINT nNotify = LOWORD(static_cast<DWORD>(nCode));
  if (nMsg == 0) nMsg = WM_COMMAND;

  for (const AFX_MSGMAP* pMessageMap = GetMessageMap(); pMessageMap != NULL;
       pMessageMap = (*pMessageMap->pfnGetBaseMap)()) {
    const AFX_MSGMAP_ENTRY* lpEntry = FindMessageEntry(pMessageMap->lpEntries, nMsg, nNotify, nID);
    if (lpEntry == NULL) continue;
    if (pHandlerInfo != NULL) {
      pHandlerInfo->pTarget = this;
      pHandlerInfo->pmf = lpEntry->pfn;
      return TRUE;
    }
    switch (lpEntry->nSig) {
      case AfxSig_vv:
        (this->*lpEntry->pfn)();
        return TRUE;
      default:
        return FALSE;
    }
  }
  return FALSE;
}
