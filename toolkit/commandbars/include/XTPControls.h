// The ordered, reference-counted list of one bar's controls: creation by type and from
// menus, index upkeep, search, removal and cloning, the snapshot of the controls as first
// loaded ("OriginalControls"), and the bar's row layout (CalcDynamicSize).
#pragma once

#include <framework.h>

#include "XTPCommandBarsDefines.h"

class CXTPControl;
class CXTPCommandBar;
class CXTPCommandBars;
class CXTPPropExchange;

class CXTPControls : public CCmdTarget {
  DECLARE_DYNCREATE(CXTPControls)

 public:
  CXTPControls();
  ~CXTPControls() override;  // releases every control and the snapshot

  // Creates a control of the type (1..8) and inserts it before nBefore (out of range:
  // appended). Null for other types.
  CXTPControl* Add(XTPControlType controlType, int nId, CString strParameter = _T(""),
                   int nBefore = -1, BOOL bTemporary = FALSE);
  // Inserts a control the caller made (the collection takes over the caller's reference).
  CXTPControl* Add(CXTPControl* pControl, int nId, CString strParameter = _T(""),
                   int nBefore = -1, BOOL bTemporary = FALSE);
  CXTPControl* AddClone(CXTPControl* pClone, int nBefore = -1, BOOL bRecursive = FALSE);
  CXTPControl* AddMenuItem(CMenu* pMenu, int nIndex);
  BOOL LoadMenu(CMenu* pMenu);
  void Remove(CXTPControl* pControl);
  void Remove(int nIndex);
  void RemoveAll();

  int GetCount() const { return (int)m_arrControls.GetSize(); }
  CXTPControl* GetAt(int nIndex) const;
  CXTPControl* GetFirst() const;
  CXTPControl* GetNext(CXTPControl* pControl) const;
  CXTPControl* HitTest(CPoint point) const;
  CXTPControl* FindControl(int nId) const;
  CXTPControl* FindControl(XTPControlType type, int nId, BOOL bVisible, BOOL bRecursive) const;
  // Next index from nIndex in direction nDirection (+1/-1), cyclic; -1 when none.
  int GetNext(int nIndex, int nDirection, BOOL bKeyboard = TRUE, BOOL bSkipTemporary = FALSE,
              BOOL bSkipCollapsed = TRUE) const;
  int GetVisibleCount(BOOL bAll = FALSE) const;

  void SetParent(CXTPCommandBar* pParent);
  CXTPCommandBar* GetParent() const { return m_pParent; }
  void SetCommandBars(CXTPCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
  CXTPCommandBars* GetCommandBars() const;

  CXTPControls* Duplicate(BOOL bRecursive = FALSE);
  void CreateOriginalControls();
  void ClearOriginalControls();
  CXTPControls* GetOriginalControls() const { return m_pOriginalControls; }
  // Replaces the snapshot (the collection takes a reference of its own; null clears it).
  void SetOriginalControls(CXTPControls* pOriginalControls);
  BOOL Compare(const CXTPControls* pOther) const;
  BOOL IsChanged() const;

  // The row layout of the bar (mode bits XTPLayoutMode).
  CSize CalcDynamicSize(CDC* pDC, int nLength, DWORD dwMode, const CRect& rcBorder,
                        int nWidth = 0);

  // Keeps every control's index, collection link and parent bar; delays the bar's layout.
  void RefreshIndexes();

  virtual void DoPropExchange(CXTPPropExchange* pPX);

 protected:
  CXTPCommandBar* m_pParent;
  CArray<CXTPControl*, CXTPControl*> m_arrControls;
  CXTPCommandBars* m_pCommandBars;
  CXTPControls* m_pOriginalControls;

  friend class CXTPCommandBar;
};
