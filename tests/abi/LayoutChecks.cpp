// Compile-time checks of the 32-bit layouts that hosts compiled against the
// library's headers rely on: they allocate its objects, derive from its
// classes and read their members at these offsets. Pointers, handles and
// framework strings are 4 bytes on the shipped build, so a member that
// changes its size or place there breaks every host built before it; the
// 64-bit build has layouts of its own and is not checked here.
#include <stddef.h>

#include "config/CRegistryKey.h"
#include "config/CSettingsStore.h"
#include "frame/CModuleLoader.h"
#include "html/CHtmlMirrorWriter.h"
#include "html/CHtmlStringForwarder.h"
#include "html/CHtmlStringSink.h"
#include "html/CHtmlTextForwarder.h"
#include "html/CHtmlTextSink.h"
#include "html/CHtmlTokenizer.h"
#include "html/CNameValuePair.h"
#include "html/CTextBuffer.h"
#include "inet/CProxySettings.h"
#include "packages/CExtensionApp.h"
#include "packages/CExtensionPackageDlg.h"
#include "sync/CProcCritSec.h"
#include "sync/CProcCritSecGuard.h"
#include "sync/CVolatileStore.h"
#include "sync/TThread.h"
#include "userdb/CUserDbLink.h"

#if defined(__i386__)

// offsetof on classes with a virtual table is what these checks are about.
#pragma GCC diagnostic ignored "-Winvalid-offsetof"

#define LDX_AT(type, member, offset) \
  static_assert(offsetof(type, member) == (offset), #type "::" #member " must lie at byte " #offset)
#define LDX_SIZE(type, size) static_assert(sizeof(type) == (size), "a " #type " must take " #size " bytes")

LDX_SIZE(CString, 4);

// The growable text buffer: three pointers and the grow step.
LDX_AT(CTextBuffer, m_pBegin, 0);
LDX_AT(CTextBuffer, m_pLimit, 4);
LDX_AT(CTextBuffer, m_pCursor, 8);
LDX_AT(CTextBuffer, m_nGrowBy, 12);
LDX_SIZE(CTextBuffer, 16);

LDX_AT(CNameValuePair, m_strName, 0);
LDX_AT(CNameValuePair, m_strValue, 4);
LDX_SIZE(CNameValuePair, 8);

// The tokenizer that hosts derive from: its virtual table pointer first.
LDX_AT(CHtmlTokenizer, m_nState, 4);
LDX_AT(CHtmlTokenizer, m_nReturnState, 8);
LDX_AT(CHtmlTokenizer, m_text, 12);
LDX_AT(CHtmlTokenizer, m_tagName, 28);
LDX_AT(CHtmlTokenizer, m_attrName, 44);
LDX_AT(CHtmlTokenizer, m_attrValue, 60);
LDX_AT(CHtmlTokenizer, m_bInQuote, 76);
LDX_AT(CHtmlTokenizer, m_chQuote, 80);
LDX_AT(CHtmlTokenizer, m_bDecodeCharRefs, 84);
LDX_AT(CHtmlTokenizer, m_charRef, 88);
LDX_AT(CHtmlTokenizer, m_chDecoded, 104);
LDX_AT(CHtmlTokenizer, m_attrs, 108);
LDX_AT(CHtmlTokenizer, m_nAttrs, 308);
LDX_AT(CHtmlTokenizer, m_comment, 312);
LDX_AT(CHtmlTokenizer, m_commentDashes, 328);
LDX_AT(CHtmlTokenizer, m_nLine, 344);
LDX_AT(CHtmlTokenizer, m_bKeepLineBreaks, 348);
LDX_AT(CHtmlTokenizer, m_bBangComment, 352);
LDX_AT(CHtmlTokenizer, m_bSpaceDue, 356);
LDX_AT(CHtmlTokenizer, m_bQuoteJustOpened, 360);
LDX_SIZE(CHtmlTokenizer, 364);

// The forwarders add their sink behind the tokenizer; the sinks are a
// virtual table pointer alone.
LDX_AT(CHtmlStringForwarder, m_pSink, 364);
LDX_SIZE(CHtmlStringForwarder, 368);
LDX_AT(CHtmlTextForwarder, m_pSink, 364);
LDX_SIZE(CHtmlTextForwarder, 368);
LDX_SIZE(CHtmlStringSink, 4);
LDX_SIZE(CHtmlTextSink, 4);

LDX_AT(CHtmlMirrorWriter, m_strSource, 4);
LDX_AT(CHtmlMirrorWriter, m_strOutput, 8);
LDX_AT(CHtmlMirrorWriter, m_hSource, 12);
LDX_AT(CHtmlMirrorWriter, m_hOutput, 16);
LDX_AT(CHtmlMirrorWriter, m_buffer, 20);
LDX_AT(CHtmlMirrorWriter, m_pTokenizer, 532);
LDX_SIZE(CHtmlMirrorWriter, 536);

LDX_AT(CRegistryKey, m_hKey, 0);
LDX_AT(CRegistryKey, m_hRoot, 4);
LDX_AT(CRegistryKey, m_strPath, 8);
LDX_AT(CRegistryKey, m_bOwnsRoot, 12);
LDX_AT(CRegistryKey, m_lResult, 16);
LDX_SIZE(CRegistryKey, 20);

// The settings store interface: a virtual table pointer and the flag.
LDX_AT(CSettingsStore, m_bPerUser, 4);

// The worker thread that hosts derive from.
LDX_AT(TThread, m_bStop, 4);
LDX_AT(TThread, m_status, 8);
LDX_AT(TThread, m_nPriority, 12);
LDX_AT(TThread, m_pThreadClass, 16);
LDX_AT(TThread, m_pWinThread, 20);
LDX_AT(TThread, m_hThread, 24);
LDX_SIZE(TThread, 28);

LDX_AT(CProcCritSec, m_pCritSec, 0);
LDX_AT(CProcCritSec, m_strModule, 4);
LDX_AT(CProcCritSec, m_nCount, 8);
LDX_SIZE(CProcCritSec, 12);
LDX_AT(CProcCritSecGuard, m_pProcCritSec, 0);
LDX_AT(CProcCritSecGuard, m_strFcn, 4);

LDX_AT(CVolatileStore, m_strPropName, 0);
LDX_AT(CVolatileStore, m_strMutexName, 4);
LDX_AT(CVolatileStore, m_strRegName, 8);
LDX_AT(CVolatileStore, m_atomReg, 12);
LDX_SIZE(CVolatileStore, 16);

LDX_AT(CProxySettings, m_bEnabled, 0);
LDX_AT(CProxySettings, m_bOneProxyForAll, 4);
LDX_AT(CProxySettings, m_strHost, 8);
LDX_AT(CProxySettings, m_strPort, 12);
LDX_AT(CProxySettings, m_strProtocol, 16);
LDX_AT(CProxySettings, m_mapEntries, 20);
LDX_AT(CProxySettings, m_nConnectionMode, 20 + sizeof(CMapStringToString));

// The loader and the user database binding keep their members protected
// for the classes derived from them; a derived view reads the offsets.
struct UserDbLinkLayout : CUserDbLink {
  static void Check();
};
void UserDbLinkLayout::Check() {
  LDX_AT(UserDbLinkLayout, m_hModule, 0);
  LDX_AT(UserDbLinkLayout, m_strPath, 4);
  LDX_AT(UserDbLinkLayout, m_bPrepared, 8);
  LDX_AT(UserDbLinkLayout, m_pfnEntryPoints, 12);
}
LDX_SIZE(CModuleLoader, 8);
LDX_SIZE(CUserDbLink, 12 + 4 * CUserDbLink::kEntryPointCount);

// The classes that only override virtual operations add no data.
LDX_SIZE(CExtensionApp, sizeof(CWinApp));
LDX_SIZE(CExtensionPackageDlg, sizeof(CDialog));

#endif
