// Base of every framework class that receives commands, with the message
// maps: each class that declares a map holds a table of entries and a link
// to its base class's map, so a command is looked up from the most derived
// class towards CCmdTarget.
#pragma once

#include <windows.h>

#include "CObject.h"

// Under the Windows C++ ABI a pointer to a member of a class not yet defined
// takes the most general, 16-byte form; declared single-inheritance, the
// handler pointers below stay one code pointer, as every derived map needs.
#if defined(_MSC_VER)
class __single_inheritance CCmdTarget;
#else
class CCmdTarget;
#endif

// Handler pointer as stored in a map entry; the entry's signature code says
// how to call it.
typedef void (CCmdTarget::*AFX_PMSG)(void);

// Marks message handlers in class declarations.
#define afx_msg

// Signature codes of map entries.
enum AfxSig {
  AfxSig_end = 0,  // end of a map's entry table
  AfxSig_vv,       // void handler()
};

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // window message (WM_COMMAND for commands)
  UINT nCode;     // notification code (CN_COMMAND, BN_CLICKED, ...)
  UINT nID;       // first control or command id
  UINT nLastID;   // last id of the range (nID for a single id)
  UINT nSig;      // AfxSig code
  AFX_PMSG pfn;   // handler
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();  // base class's map, NULL for CCmdTarget
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled by OnCmdMsg instead of calling the handler when the caller only
// asks who would handle a command.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget;
  void (CCmdTarget::*pmf)(void);
};

// Notification code of a menu or accelerator command.
#define CN_COMMAND 0

class AFX_API CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget();

  // Looks the command (nID, nCode) up in this object's message maps, most
  // derived first, and calls the first matching handler. Returns TRUE when
  // a handler was found. With pHandlerInfo, only reports the handler.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  virtual ~CCmdTarget();

#define DECLARE_MESSAGE_MAP()                               \
 private:                                                   \
  static const AFX_MSGMAP_ENTRY _messageEntries[];          \
                                                            \
 protected:                                                 \
  static const AFX_MSGMAP messageMap;                       \
  static const AFX_MSGMAP* _GetBaseMessageMap();            \
  virtual const AFX_MSGMAP* GetMessageMap() const;

// The same for a class of an extension DLL, whose map hosts reach as data.
#define DECLARE_EXT_MESSAGE_MAP()                           \
 private:                                                   \
  static const AFX_MSGMAP_ENTRY _messageEntries[];          \
                                                            \
 protected:                                                 \
  static AFX_EXT_DATA const AFX_MSGMAP messageMap;          \
  static const AFX_MSGMAP* _GetBaseMessageMap();            \
  virtual const AFX_MSGMAP* GetMessageMap() const;

  DECLARE_MESSAGE_MAP()
};

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                         \
  const AFX_MSGMAP* theClass::_GetBaseMessageMap() { return &baseClass::messageMap; } \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return &theClass::messageMap; } \
  const AFX_MSGMAP theClass::messageMap = {&theClass::_GetBaseMessageMap,             \
                                           &theClass::_messageEntries[0]};            \
  const AFX_MSGMAP_ENTRY theClass::_messageEntries[] = {

#define END_MESSAGE_MAP()                     \
  {0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0}       \
  }                                           \
  ;

// Entries. The handler is given as a qualified member pointer, for example
// ON_COMMAND(IDOK, &CMyDialog::OnOK); it must take no arguments and return
// nothing.
#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), AfxSig_vv, static_cast<AFX_PMSG>(memberFxn)},

#define ON_CONTROL(wNotifyCode, id, memberFxn)                                   \
  {WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(id), AfxSig_vv,           \
   static_cast<AFX_PMSG>(memberFxn)},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
