// The stored layout of the command bars: the parameter block handed to every bar and
// control while the layout is saved or loaded, the placement record of one bar and the
// list of those records, and the list of bars whose definitions go into (or come out of)
// the controls stream.
#pragma once

#include <framework.h>

#include "XTPCommandBarsDefines.h"

class CXTPCommandBar;
class CXTPCommandBars;
class CXTPPropExchange;
class CXTPToolBar;

// ---------------------------------------------------------------------------------------
// What SaveBarState and LoadBarState hand down through the archive exchange (its user
// parameter); sections made from the exchange inherit the pointer.
struct XTP_COMMANDBARS_PROPEXCHANGE_PARAM {
  XTP_COMMANDBARS_PROPEXCHANGE_PARAM()
      : bReserved1(FALSE),
        bSaveOnlyCustomized(TRUE),
        bLoadSilent(FALSE),
        bSaveOriginalControls(TRUE),
        bReserved5(FALSE),
        bReserved6(FALSE),
        bReserved7(TRUE),
        bReserved8(FALSE),
        pCommandBars(NULL) {}

  BOOL bReserved1;             // not read by the layout code
  BOOL bSaveOnlyCustomized;    // saving: only bars that are user-made or carry changes
  BOOL bLoadSilent;            // loading: never ask whether to keep a customised bar
  BOOL bSaveOriginalControls;  // include each collection's original controls
  BOOL bReserved5;
  BOOL bReserved6;
  BOOL bReserved7;
  BOOL bReserved8;
  CXTPCommandBars* pCommandBars;  // owner of the layout; bars read back take it
};
typedef XTP_COMMANDBARS_PROPEXCHANGE_PARAM CXTPLayoutExchangeParams;

// The parameter block an exchange carries (null when it carries none).
inline XTP_COMMANDBARS_PROPEXCHANGE_PARAM* XTPGetLayoutParams(CXTPPropExchange* pPX);

// ---------------------------------------------------------------------------------------
// The placement of one bar, kept only while one save or load runs.
class CXTPBarState {
 public:
  CXTPBarState();

  // "%s-Bar%d": storing writes the values as the layout wants them (only what differs
  // from the defaults, where the layout says so); loading reads them with their
  // defaults, scaling and limiting positions through the list.
  void SaveState(CWinApp* pApp, LPCTSTR lpszSection) const;
  void LoadState(CWinApp* pApp, LPCTSTR lpszSection, const class CXTPBarStateList* pList);

  int nBarID;
  BOOL bVisible;
  BOOL bFloating;
  CPoint ptPosition;       // (-1, -1)
  int nMRUWidth;           // 32767: none
  int nMRUDockID;
  CRect rcMRUDockPos;
  CPoint ptMRUFloatPos;
  CXTPCommandBar* pBar;    // the bar the record belongs to, not owned
  BOOL bDialogBar;
  CSize szDockingClient;   // 200, 200
  CSize szFloatingClient;  // 200, 200
};

// The records of all bars with the screen geometry of the save and of now.
class CXTPBarStateList {
 public:
  CXTPBarStateList();
  ~CXTPBarStateList();  // deletes the records

  // Reads "%s-Summary" ("Bars", "ScreenCX", "ScreenCY") and then each "%s-Bar%d". The
  // number of records read is bounded by what the profile can sensibly hold.
  void LoadList(CWinApp* pApp, LPCTSTR lpszProfileName);
  // Writes each record as "%s-Bar%d" (the section deleted first) and then "%s-Summary".
  void SaveList(CWinApp* pApp, LPCTSTR lpszProfileName) const;

  // A point of the saved layout in today's screen: scaled when the saved screen size was
  // another (and both saved sides are positive), then limited to the clamp point.
  CPoint AdjustPoint(CPoint pt) const;
  // The MRU dock rectangle: moved (size kept) to the scaled top-left, then moved back
  // by any excess beyond the clamp point.
  CRect AdjustDockRect(CRect rc) const;

  // The saved screen size; seam for tests and for callers that know it.
  void SetSavedScreen(int cx, int cy);
  BOOL IsScaling() const { return m_bScaling; }
  CRect GetScreenRect() const { return m_rcScreen; }
  CPoint GetClampPoint() const { return m_ptClamp; }

  int GetCount() const { return (int)m_arrStates.GetSize(); }
  CXTPBarState* GetAt(int nIndex) const { return m_arrStates[nIndex]; }
  void Add(CXTPBarState* pState) { m_arrStates.Add(pState); }

  // The most "%s-Bar%d" sections LoadList reads, whatever "Bars" says: far more bars than
  // a frame can hold (its built-in ones and 255 custom toolbar ids), few enough that a
  // damaged count costs the start-up no more than a moment.
  enum { kMaxStoredBars = 1024 };

 protected:
  CArray<CXTPBarState*, CXTPBarState*> m_arrStates;
  CRect m_rcScreen;
  int m_nSavedCX;
  int m_nSavedCY;
  BOOL m_bScaling;
  CPoint m_ptClamp;
};

// ---------------------------------------------------------------------------------------
// The bars to save, or the bars read back, in order. A list that holds references
// (bars read back) releases the bars still in it when it goes.
class CXTPCommandBarList {
 public:
  explicit CXTPCommandBarList(BOOL bHoldsReferences = FALSE);
  ~CXTPCommandBarList();

  // The first bar in list order whose bar id equals nID, else null.
  CXTPCommandBar* FindCommandBar(UINT nID) const;
  BOOL Lookup(CXTPCommandBar* pBar) const;
  // Appends the bar (a holding list takes over the caller's reference).
  void AddTail(CXTPCommandBar* pBar) { m_lstBars.AddTail(pBar); }
  // Takes the bar out without releasing it; FALSE when it is not in the list.
  BOOL Detach(CXTPCommandBar* pBar);
  int GetCount() const { return (int)m_lstBars.GetCount(); }
  POSITION GetHeadPosition() const { return m_lstBars.GetHeadPosition(); }
  CXTPCommandBar* GetNext(POSITION& pos) const { return m_lstBars.GetNext(pos); }
  // Releases (holding list) or forgets every bar.
  void RemoveAll();
  BOOL HoldsReferences() const { return m_bHoldsReferences; }

 protected:
  CList<CXTPCommandBar*, CXTPCommandBar*> m_lstBars;
  BOOL m_bHoldsReferences;

 private:
  CXTPCommandBarList(const CXTPCommandBarList&) = delete;
  CXTPCommandBarList& operator=(const CXTPCommandBarList&) = delete;
};

// ---------------------------------------------------------------------------------------
// Which controls a stored layout holds: not temporary ones, and none of the ids 9399 to
// 9406 that bars make for themselves (expand and close buttons, system buttons).
class CXTPControl;
class CXTPControls;
BOOL AFX_CDECL XTPIsStoredControl(CXTPControl* pControl);
// The stored controls of two collections pair up equal (the controls' own comparison).
BOOL AFX_CDECL XTPStoredControlsEqual(const CXTPControls* pControls, const CXTPControls* pOther);
// A collection differs from its original controls (or has none).
BOOL AFX_CDECL XTPStoredControlsChanged(const CXTPControls* pControls);
// The popup bars of a collection's stored controls (and of its original controls when the
// parameter block asks for them) added to a bar list; and, after loading, the controls'
// stored popup-bar ids resolved against a list read back.
void AFX_CDECL XTPGenerateCommandBarList(CXTPControls* pControls, DWORD& nID, CXTPCommandBarList* pList,
                                         XTP_COMMANDBARS_PROPEXCHANGE_PARAM* pParam);
void AFX_CDECL XTPRestoreCommandBarList(CXTPControls* pControls, CXTPCommandBarList* pList);

// ---------------------------------------------------------------------------------------
#include "XTPPropExchange.h"

inline XTP_COMMANDBARS_PROPEXCHANGE_PARAM* XTPGetLayoutParams(CXTPPropExchange* pPX) {
  return pPX != NULL ? static_cast<XTP_COMMANDBARS_PROPEXCHANGE_PARAM*>(pPX->GetUserParam()) : NULL;
}
