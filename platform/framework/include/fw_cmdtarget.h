// Command targets: message maps, command routing, command-UI updates, reference counting
// and COM interface maps.
//
// A class that handles messages declares DECLARE_MESSAGE_MAP() in its body and lists its
// handlers between BEGIN_MESSAGE_MAP(Class, Base) and END_MESSAGE_MAP() in its source file.
// Each entry names the message (or command id / notification code), a signature code and
// the member function; the dispatcher casts the stored pointer back to exactly the type the
// entry macro checked, so a handler with the wrong parameter list fails to compile.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "fw_object.h"
#include "fw_string.h"

#ifndef afx_msg
#define afx_msg  // marks message-map handlers in class bodies
#endif

class CCmdTarget;
class CCmdUI;
struct AFX_EVENTSINKMAP;  // fw_olevent.h

// True when p is null. Wrappers are asked for their handles through null pointers on
// purpose (GetSafeHwnd on a missing window); the empty asm keeps the optimiser from
// assuming that `this` can never be null.
inline bool AfxIsNullObject(const void* p) {
  asm("" : "+r"(p));
  return p == nullptr;
}
class CWnd;
class CMenu;
class CWinThread;

// ---------------------------------------------------------------------------------------
// Framework-private window messages (0x0360 - 0x037F). Other layers use these numbers.
#define WM_QUERYAFXWNDPROC 0x0360   // answers 1 when the window runs our window procedure
#define WM_SIZEPARENT 0x0361        // lParam: AFX_SIZEPARENTPARAMS*
#define WM_SETMESSAGESTRING 0x0362  // wParam: string id, or lParam: text
#define WM_IDLEUPDATECMDUI 0x0363   // wParam: disable controls without a handler
#define WM_INITIALUPDATE 0x0364     // sent to views after their document is ready
#define WM_COMMANDHELP 0x0365       // lResult TRUE when help was given
#define WM_HELPHITTEST 0x0366       // lResult: help context id at the point
#define WM_EXITHELPMODE 0x0367
#define WM_RECALCPARENT 0x0368      // the parent frame should recalculate its layout
#define WM_SIZECHILD 0x0369
#define WM_KICKIDLE 0x036A          // private to the modal loops: run one idle pass
#define WM_QUERYCENTERWND 0x036B    // answers the HWND to centre a dialog on
#define WM_DISABLEMODAL 0x036C      // answer TRUE to stay enabled while a modal loop runs
#define WM_FLOATSTATUS 0x036D       // wParam: FS_* flags
#define WM_ACTIVATETOPLEVEL 0x036E
#define WM_RESERVED_036F 0x036F
#define WM_RESERVED_0370 0x0370
#define WM_RESERVED_0371 0x0371
#define WM_RESERVED_0372 0x0372
#define WM_SOCKET_NOTIFY 0x0373
#define WM_SOCKET_DEAD 0x0374
#define WM_POPMESSAGESTRING 0x0375  // restores the previous status-bar text
#define WM_HELPPROMPTADDR 0x0376
#define WM_OCC_LOADFROMSTREAM 0x0377
#define WM_OCC_LOADFROMSTORAGE 0x0378
#define WM_OCC_INITNEW 0x0379
#define WM_QUEUE_SENTINEL 0x037A
#define WM_OCC_LOADFROMSTREAM_EX 0x037B
#define WM_OCC_LOADFROMSTORAGE_EX 0x037C

// WM_FLOATSTATUS flags.
#define FS_SHOW 0x01
#define FS_HIDE 0x02
#define FS_ACTIVATE 0x04
#define FS_DEACTIVATE 0x08
#define FS_ENABLE 0x10
#define FS_DISABLE 0x20
#define FS_SYNCACTIVE 0x40

// Messages a parent reflects back to the child that sent them: WM_REFLECT_BASE + message.
#define WM_REFLECT_BASE 0xBC00

// Pseudo message of the ON_WM_CTLCOLOR entries: every WM_CTLCOLORxxx arrives as this one,
// with nCtlColor telling which.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

// Command codes of OnCmdMsg besides control notification codes.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))
#define CN_EVENT ((UINT)(-2))
#define CN_OLECOMMAND ((UINT)(-3))
#define CN_OLE_UNREGISTER ((UINT)(-4))

// Standard command and string ids.
#define ID_HELP 0xE146
#define ID_HELP_INDEX 0xE142
#define ID_HELP_FINDER 0xE143
#define ID_HELP_USING 0xE144
#define ID_CONTEXT_HELP 0xE145
#define ID_DEFAULT_HELP 0xE147
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141
#define ID_NEXT_PANE 0xE150
#define ID_PREV_PANE 0xE151
#define AFX_IDS_APP_TITLE 0xE000
#define AFX_IDS_IDLEMESSAGE 0xE001
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// ---------------------------------------------------------------------------------------
// Message-map records.

typedef void (CCmdTarget::*AFX_PMSG)();
typedef void (CWnd::*AFX_PMSGW)();
typedef void (CWinThread::*AFX_PMSGT)();

// Signature codes: which parameters a handler takes and what it returns.
enum AfxSig : UINT_PTR {
  AfxSig_end = 0,

  // Commands, notifications, command UI.
  AfxSigCmd_v,         // void ()
  AfxSigCmd_b,         // BOOL ()                       reflected _EX command
  AfxSigCmd_RANGE,     // void (UINT nID)
  AfxSigCmd_EX,        // BOOL (UINT nID)
  AfxSigCmdUI,         // void (CCmdUI*)
  AfxSigNotify_v,      // void (NMHDR*, LRESULT*)
  AfxSigNotify_b,      // BOOL (NMHDR*, LRESULT*)      reflected _EX notification
  AfxSigNotify_RANGE,  // void (UINT nID, NMHDR*, LRESULT*)
  AfxSigNotify_EX,     // BOOL (UINT nID, NMHDR*, LRESULT*)

  // Window messages.
  AfxSig_l_w_l,      // LRESULT (WPARAM, LPARAM)    ON_MESSAGE
  AfxSig_v_w_l,      // void (WPARAM, LPARAM)       ON_THREAD_MESSAGE
  AfxSig_v_v,        // void ()
  AfxSig_b_v,        // BOOL ()
  AfxSig_u_v,        // UINT ()
  AfxSig_h_v,        // HCURSOR ()
  AfxSig_i_cs,       // int (LPCREATESTRUCT)
  AfxSig_b_cs,       // BOOL (LPCREATESTRUCT)
  AfxSig_b_D,        // BOOL (CDC*)
  AfxSig_v_b,        // void (BOOL)
  AfxSig_b_b,        // BOOL (BOOL)
  AfxSig_v_b_u,      // void (BOOL, UINT)
  AfxSig_v_b_dw,     // void (BOOL, DWORD)
  AfxSig_v_u_ii,     // void (UINT, int, int)
  AfxSig_v_ii,       // void (int, int)
  AfxSig_v_up,       // void (UINT_PTR)
  AfxSig_v_u_p,      // void (UINT, CPoint)
  AfxSig_b_u_s_p,    // BOOL (UINT, short, CPoint)
  AfxSig_v_u_u_u,    // void (UINT, UINT, UINT)
  AfxSig_v_u_l,      // void (UINT, LPARAM)
  AfxSig_v_W,        // void (CWnd*)
  AfxSig_v_u_u_W,    // void (UINT, UINT, CScrollBar*)
  AfxSig_v_u_u,      // void (UINT, UINT)            reflected scroll
  AfxSig_b_W_u_u,    // BOOL (CWnd*, UINT, UINT)
  AfxSig_i_W_u_u,    // int (CWnd*, UINT, UINT)
  AfxSig_hb_D_W_u,   // HBRUSH (CDC*, CWnd*, UINT)
  AfxSig_hb_D_u,     // HBRUSH (CDC*, UINT)          reflected colour
  AfxSig_v_i_dis,    // void (int, LPDRAWITEMSTRUCT)
  AfxSig_v_i_mis,    // void (int, LPMEASUREITEMSTRUCT)
  AfxSig_v_dis,      // void (LPDRAWITEMSTRUCT)      reflected draw
  AfxSig_v_mis,      // void (LPMEASUREITEMSTRUCT)   reflected measure
  AfxSig_v_u_W_b,    // void (UINT, CWnd*, BOOL)
  AfxSig_l_p,        // LRESULT (CPoint)
  AfxSig_v_b_ncsp,   // void (BOOL, NCCALCSIZE_PARAMS*)
  AfxSig_v_u_sz,     // void (UINT, LPCTSTR)
  AfxSig_v_W_p,      // void (CWnd*, CPoint)
  AfxSig_v_mmi,      // void (MINMAXINFO*)
  AfxSig_v_wp,       // void (WINDOWPOS*)
  AfxSig_b_hi,       // BOOL (HELPINFO*)
  AfxSig_v_hdrop,    // void (HDROP)
  AfxSig_i_u_W_u,    // int (UINT, CWnd*, UINT)      WM_VKEYTOITEM / WM_CHARTOITEM
  AfxSig_v_u_u_M,    // void (UINT, UINT, HMENU)     WM_MENUSELECT
  AfxSig_v_M_u_b,    // void (CMenu*, UINT, BOOL)    WM_INITMENUPOPUP
  AfxSig_l_u_u_M,    // LRESULT (UINT, UINT, CMenu*) WM_MENUCHAR
  AfxSig_v_u_W,      // void (UINT, CWnd*)           WM_PARENTNOTIFY (message, child) / WM_ENTERIDLE
};

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;   // window message
  UINT nCode;      // control notification code, CN_UPDATE_COMMAND_UI or 0
  UINT nID;        // first control / command id (0 for window messages)
  UINT nLastID;    // last id of a range
  UINT_PTR nSig;   // AfxSig code; for registered messages the address of the message number
  AFX_PMSG pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (PASCAL* pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// What OnCmdMsg reports when asked only whether a handler exists.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget;
  AFX_PMSG pmf;
};

// Extra data of a WM_NOTIFY routed through OnCmdMsg.
struct AFX_NOTIFY {
  LRESULT* pResult;
  NMHDR* pNMHDR;
};

// Extra data of a reflected WM_CTLCOLORxxx.
struct AFX_CTLCOLOR {
  HWND hWnd;
  HDC hDC;
  UINT nCtlType;
};

#define DECLARE_MESSAGE_MAP()                                  \
 protected:                                                    \
  static const AFX_MSGMAP* PASCAL GetThisMessageMap();         \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }      \
  const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() {                               \
    typedef theClass ThisClass;                                                          \
    typedef baseClass TheBaseClass;                                                      \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                          \
  {0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0}                                            \
  };                                                                               \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap,          \
                                        &_messageEntries[0]};                      \
  return &messageMap;                                                              \
  }

// Casts a member function, after checking it against the signature type `sig`, to the
// entry's stored form. The dispatcher casts it back to `sig` before calling.
#define FW_MSG_FN(sig, fn) ((AFX_PMSG)(static_cast<sig>(fn)))

// ---------------------------------------------------------------------------------------
// Commands, control notifications and command UI.

#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), AfxSigCmd_v, FW_MSG_FN(void (CCmdTarget::*)(), &ThisClass::memberFxn)},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                 \
  {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(idLast), AfxSigCmd_RANGE,         \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<void (CCmdTarget::*)(UINT)>(&ThisClass::memberFxn))},
#define ON_COMMAND_EX(id, memberFxn)                                            \
  {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), AfxSigCmd_EX,                \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<BOOL (CCmdTarget::*)(UINT)>(&ThisClass::memberFxn))},
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn)                              \
  {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(idLast), AfxSigCmd_EX,            \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<BOOL (CCmdTarget::*)(UINT)>(&ThisClass::memberFxn))},
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                     \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (WORD)(id), (WORD)(id), AfxSigCmdUI,       \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<void (CCmdTarget::*)(CCmdUI*)>(&ThisClass::memberFxn))},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                       \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (WORD)(id), (WORD)(idLast), AfxSigCmdUI,   \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<void (CCmdTarget::*)(CCmdUI*)>(&ThisClass::memberFxn))},

// A control notification sent with WM_COMMAND (BN_CLICKED, EN_CHANGE, ...).
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
  {WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(id), AfxSigCmd_v, FW_MSG_FN(void (CCmdTarget::*)(), &ThisClass::memberFxn)},
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                    \
  {WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(idLast), AfxSigCmd_RANGE, \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<void (CCmdTarget::*)(UINT)>(&ThisClass::memberFxn))},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_EN_HSCROLL(id, memberFxn) ON_CONTROL(EN_HSCROLL, id, memberFxn)
#define ON_EN_VSCROLL(id, memberFxn) ON_CONTROL(EN_VSCROLL, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SELCANCEL(id, memberFxn) ON_CONTROL(LBN_SELCANCEL, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)

// WM_NOTIFY from a child control.
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                   \
  {WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(id), AfxSigNotify_v, \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(&ThisClass::memberFxn))},
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                             \
  {WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(idLast), AfxSigNotify_RANGE, \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<void (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)>(&ThisClass::memberFxn))},
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn)                                 \
  {WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(id), AfxSigNotify_EX, \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<BOOL (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)>(&ThisClass::memberFxn))},
#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn)                       \
  {WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(idLast), AfxSigNotify_EX, \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<BOOL (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)>(&ThisClass::memberFxn))},

// Notifications a parent reflects back to the control that sent them. The control's own
// handler runs first; the _EX forms return FALSE to let the parent see the message too.
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                 \
  {WM_REFLECT_BASE + WM_NOTIFY, (WORD)(int)(wNotifyCode), 0, 0, AfxSigNotify_v,  \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(&ThisClass::memberFxn))},
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)                              \
  {WM_REFLECT_BASE + WM_NOTIFY, (WORD)(int)(wNotifyCode), 0, 0, AfxSigNotify_b,  \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<BOOL (CCmdTarget::*)(NMHDR*, LRESULT*)>(&ThisClass::memberFxn))},
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
  {WM_REFLECT_BASE + WM_COMMAND, (WORD)(wNotifyCode), 0, 0, AfxSigCmd_v, FW_MSG_FN(void (CCmdTarget::*)(), &ThisClass::memberFxn)},
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn) \
  {WM_REFLECT_BASE + WM_COMMAND, (WORD)(wNotifyCode), 0, 0, AfxSigCmd_b, \
   (AFX_PMSG)(void (CCmdTarget::*)())(static_cast<BOOL (CCmdTarget::*)()>(&ThisClass::memberFxn))},

// User-defined and registered messages of windows.
#define ON_MESSAGE(message, memberFxn)                                          \
  {(UINT)(message), 0, 0, 0, AfxSig_l_w_l,                                      \
   (AFX_PMSG)(AFX_PMSGW)(void (CWnd::*)())(static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(&ThisClass::memberFxn))},
// nMessageVariable is a UINT holding the number RegisterWindowMessage returned.
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                      \
  {0xC000, 0, 0, 0, (UINT_PTR)(UINT*)(&nMessageVariable),                       \
   (AFX_PMSG)(AFX_PMSGW)(void (CWnd::*)())(static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(&ThisClass::memberFxn))},
// Thread messages (PostThreadMessage) handled by a CWinThread.
#define ON_THREAD_MESSAGE(message, memberFxn)                                   \
  {(UINT)(message), 0, 0, 0, AfxSig_v_w_l,                                      \
   (AFX_PMSG)(AFX_PMSGT)(void (CWinThread::*)())(static_cast<void (CWinThread::*)(WPARAM, LPARAM)>(&ThisClass::memberFxn))},
#define ON_REGISTERED_THREAD_MESSAGE(nMessageVariable, memberFxn)               \
  {0xC000, 0, 0, 0, (UINT_PTR)(UINT*)(&nMessageVariable),                       \
   (AFX_PMSG)(AFX_PMSGT)(void (CWinThread::*)())(static_cast<void (CWinThread::*)(WPARAM, LPARAM)>(&ThisClass::memberFxn))},

// Interface map records: the IID of each implemented interface and where its nested
// implementation object sits inside the outer object.
struct AFX_INTERFACEMAP_ENTRY {
  const void* piid;  // NULL: an aggregate (INTERFACE_AGGREGATE)
  size_t nOffset;
};

struct AFX_INTERFACEMAP {
  const AFX_INTERFACEMAP* (PASCAL* pfnGetBaseMap)();
  const AFX_INTERFACEMAP_ENTRY* pEntry;
};

// ---------------------------------------------------------------------------------------
// Command target: the base of every object that receives commands.

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)

 public:
  CCmdTarget();
  ~CCmdTarget() override;

  // Routes a command, notification or command-UI request to this object's message map.
  // nCode is CN_COMMAND, CN_UPDATE_COMMAND_UI, a WM_COMMAND notification code, or
  // MAKELONG(code, WM_NOTIFY) / MAKELONG(code, WM_REFLECT_BASE + msg) with pExtra pointing
  // at AFX_NOTIFY. With pHandlerInfo the handler is found but not called.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  // Wait cursor: nests; the outermost EndWaitCursor restores the previous cursor.
  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

  // Reference counting. The creator holds the first reference; the last release calls
  // OnFinalRelease, which deletes the object.
  DWORD InternalAddRef();
  DWORD InternalRelease();
  DWORD ExternalAddRef();
  DWORD ExternalRelease();
  virtual void OnFinalRelease();

  // Interface maps.
  LPUNKNOWN GetInterface(const void* piid);
  DWORD InternalQueryInterface(const void* piid, LPVOID* ppvObj);
  DWORD ExternalQueryInterface(const void* piid, LPVOID* ppvObj);
  LPUNKNOWN GetControllingUnknown();
  // The object's IDispatch when its interface map provides one; NULL otherwise.
  LPDISPATCH GetIDispatch(BOOL bAddRef);

  // Outer object of an aggregate, or NULL.
  LPUNKNOWN m_pOuterUnknown;
  long m_dwRef;

 protected:
  static const AFX_MSGMAP* PASCAL GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;

  static const AFX_INTERFACEMAP* PASCAL GetThisInterfaceMap();
  virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;

 public:
  // Events of hosted ActiveX controls (fw_olevent.h); the root map is empty.
  static const AFX_EVENTSINKMAP* PASCAL GetThisEventSinkMap();
  virtual const AFX_EVENTSINKMAP* GetEventSinkMap() const;

 protected:
  // Asks the aggregated objects of the map (INTERFACE_AGGREGATE) for an interface.
  LPUNKNOWN QueryAggregates(const void* piid);
};

// Looks up the handler of (nMsg, nCode, nID) in one map's entries; NULL when none.
const AFX_MSGMAP_ENTRY* AFXAPI AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg,
                                                   UINT nCode, UINT nID);

// Calls a command, notification or command-UI handler of the given entry's signature.
BOOL AFXAPI AfxDispatchCmdMsg(CCmdTarget* pTarget, UINT nID, int nCode, AFX_PMSG pfn,
                              void* pExtra, UINT_PTR nSig, AFX_CMDHANDLERINFO* pHandlerInfo);

// ---------------------------------------------------------------------------------------
// Interface maps: a class lists the COM interfaces it implements as nested classes.
//
//   class CThing : public CCmdTarget {
//     BEGIN_INTERFACE_PART(Sink, IMySink)
//       STDMETHOD(Notify)(long n);
//     END_INTERFACE_PART(Sink)
//     DECLARE_INTERFACE_MAP()
//   };
//   BEGIN_INTERFACE_MAP(CThing, CCmdTarget)
//     INTERFACE_PART(CThing, IID_IMySink, Sink)
//   END_INTERFACE_MAP()
//   STDMETHODIMP_(ULONG) CThing::XSink::AddRef() {
//     METHOD_PROLOGUE(CThing, Sink)
//     return pThis->ExternalAddRef();
//   }

// Offset of a nested interface member inside its outer class. The classes are not
// standard-layout, so the offset is taken from an imaginary object at a non-null address.
#define FW_MEMBER_OFFSET(theClass, member) \
  (reinterpret_cast<size_t>(&reinterpret_cast<theClass*>(0x1000)->member) - 0x1000)

#define DECLARE_INTERFACE_MAP()                                      \
 private:                                                            \
  static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[];           \
                                                                     \
 protected:                                                          \
  static const AFX_INTERFACEMAP interfaceMap;                        \
  static const AFX_INTERFACEMAP* PASCAL GetThisInterfaceMap();       \
  const AFX_INTERFACEMAP* GetInterfaceMap() const override;

#define BEGIN_INTERFACE_PART(localClass, baseClass)                 \
  class X##localClass : public baseClass {                          \
   public:                                                          \
    STDMETHOD_(ULONG, AddRef)();                                    \
    STDMETHOD_(ULONG, Release)();                                   \
    STDMETHOD(QueryInterface)(REFIID iid, LPVOID * ppvObj);
#define INIT_INTERFACE_PART(theClass, localClass)
#define END_INTERFACE_PART(localClass) \
  } m_x##localClass;                   \
  friend class X##localClass;

#define BEGIN_INTERFACE_MAP(theClass, theBase)                                                \
  const AFX_INTERFACEMAP* PASCAL theClass::GetThisInterfaceMap() {                \
    return &theClass::interfaceMap;                                                           \
  }                                                                                           \
  const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const {                     \
    return &theClass::interfaceMap;                                                           \
  }                                                                                           \
  const AFX_INTERFACEMAP theClass::interfaceMap = {&theBase::GetThisInterfaceMap, \
                                                               &theClass::_interfaceEntries[0]}; \
  const AFX_INTERFACEMAP_ENTRY theClass::_interfaceEntries[] = {
#define INTERFACE_PART(theClass, iid, localClass) \
  {&iid, FW_MEMBER_OFFSET(theClass, m_x##localClass)},
// theAggr: an LPUNKNOWN member holding the aggregated object's IUnknown.
#define INTERFACE_AGGREGATE(theClass, theAggr) {NULL, FW_MEMBER_OFFSET(theClass, theAggr)},
#define END_INTERFACE_MAP() \
  { NULL, (size_t)-1 }      \
  }                         \
  ;

// Inside a nested interface method: pThis is the outer object.
#define METHOD_PROLOGUE(theClass, localClass) \
  theClass* pThis = reinterpret_cast<theClass*>(reinterpret_cast<BYTE*>(this) - FW_MEMBER_OFFSET(theClass, m_x##localClass)); \
  (void)pThis;
#define METHOD_PROLOGUE_EX(theClass, localClass) METHOD_PROLOGUE(theClass, localClass)
#define METHOD_PROLOGUE_EX_(theClass, localClass) METHOD_PROLOGUE(theClass, localClass)

// ---------------------------------------------------------------------------------------
// Command UI: the state of one user-interface item (menu item, control, bar button) that a
// CN_UPDATE_COMMAND_UI handler sets.

class CCmdUI {
 public:
  CCmdUI();
  virtual ~CCmdUI() = default;

  virtual void Enable(BOOL bOn = TRUE);
  virtual void SetCheck(int nCheck = 1);  // 0 off, 1 on, 2 indeterminate
  virtual void SetRadio(BOOL bOn = TRUE);
  virtual void SetText(LPCTSTR lpszText);
  // Lets the next target on the route also handle the update.
  void ContinueRouting() { m_bContinueRouting = TRUE; }
  // Asks pTarget's route for the state; without a handler, disables the item when
  // bDisableIfNoHndler is set. Returns whether a handler took it.
  BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

  UINT m_nID;
  UINT m_nIndex;         // menu item position
  CMenu* m_pMenu;        // the menu holding the item, or NULL
  CMenu* m_pSubMenu;     // the popup the item opens, or NULL
  CMenu* m_pParentMenu;  // the menu holding m_pMenu, for popup items
  CWnd* m_pOther;        // the control (or bar) of the item, or NULL
  BOOL m_bEnableChanged;
  BOOL m_bContinueRouting;
  UINT m_nIndexMax;      // number of menu items being updated
};
