// The customize drag-and-drop manager of one CXTPCommandBars: the bars register with it
// when their windows are made, and it runs the modal drag loop that moves or copies a
// control between them (the loop itself comes with the customize sheet).
#pragma once

#include <framework.h>

class CXTPCommandBar;
class CXTPCommandBars;
class CXTPControl;
class CXTPCustomizeSheet;

class CXTPCustomizeDropSource : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPCustomizeDropSource)

 public:
  explicit CXTPCustomizeDropSource(CXTPCommandBars* pCommandBars);
  ~CXTPCustomizeDropSource() override;

  // Bars register when their window is created and leave when it is destroyed.
  void Register(CXTPCommandBar* pCommandBar);
  void Unregister(CXTPCommandBar* pCommandBar);
  BOOL IsRegistered(CXTPCommandBar* pCommandBar) const;
  int GetRegisteredCount() const { return (int)m_arrTargets.GetSize(); }
  CXTPCommandBar* GetRegisteredAt(int nIndex) const { return m_arrTargets[nIndex]; }
  // The running customize sheet, or null.
  CXTPCustomizeSheet* GetSheet() const { return m_pSheet; }
  void SetSheet(CXTPCustomizeSheet* pSheet) { m_pSheet = pSheet; }
  CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }
  // Runs the drag of a control; the drop effect (1 copy, 2 move, 0 dropped on no bar,
  // 5 cancelled).
  DROPEFFECT DoDragDrop(CXTPControl* pControl, BOOL bCopyOnly = FALSE);

 protected:
  // One step of the drag over a screen point: finds the bar under it and tells it.
  void DragOverPoint(POINT pt);
  // The copy, move or no-drop cursor for the current target and state.
  void UpdateDragCursor();

  HWND m_hwndCapture;
  CXTPControl* m_pControl;
  BOOL m_bMove;
  BOOL m_bCopyOnly;
  CXTPCommandBar* m_pTarget;
  CXTPCustomizeSheet* m_pSheet;
  CArray<CXTPCommandBar*, CXTPCommandBar*> m_arrTargets;
  CXTPCommandBars* m_pCommandBars;
  HCURSOR m_hcurDelete;  // 9303
  HCURSOR m_hcurMove;    // 9302
  HCURSOR m_hcurCopy;    // 9301
  CPoint m_ptStart;
};
