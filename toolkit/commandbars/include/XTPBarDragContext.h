// The dock context of a toolbar: the modal mouse loops that move a toolbar by its gripper
// between the four dock bars and a floating window, size a floating toolbar by its edges,
// and toggle between docked and floating on a double click. It keeps the bar's most recent
// docked and floating places, so that a toggle returns the bar where it was.
#pragma once

#include <framework.h>

class CXTPToolBar;

// Modes of the loop: moving, or sizing by the hit-test code of the grabbed edge.
#define XTP_DRAG_MOVE 1

class CXTPBarDragContext {
 public:
  explicit CXTPBarDragContext(CXTPToolBar* pBar);
  virtual ~CXTPBarDragContext();

  // ---- Virtual operations, in slot order ----
  // Drags the bar from the screen point until the button is released or Escape.
  virtual void BeginMove(CPoint pt);
  // Sizes a floating bar by the border of the hit code (HTLEFT 10 .. HTBOTTOMRIGHT 17).
  virtual void BeginSize(UINT nHitTest, CPoint pt);
  // Floating: back to the last docked place; docked: floats ("DblClickFloat" on). TRUE
  // when something was done.
  virtual BOOL ToggleDocked();
  // The modal loop; returns at once when a window already has the mouse capture.
  virtual void RunLoop();

  CXTPToolBar* GetToolBar() const { return m_pBar; }
  int GetMode() const { return m_nMode; }

  // The last places. The dock bar index is 0 top, 1 bottom, 2 left, 3 right; the docked
  // rectangle is in that dock bar's client coordinates; the float position is the
  // floating window's top-left on the screen.
  int m_nLastDockBar;
  CRect m_rcLastDocked;
  CPoint m_ptLastFloat;

 protected:
  // One step of each kind of loop.
  void MoveStep(CPoint pt);
  void SizeBarStep(CPoint pt);
  void SizeFreeStep(CPoint pt);
  // Floats the bar sized by its floating layout (commit, horizontal, most-recent width)
  // with its top-left at the point; the new window rectangle.
  CRect FloatAt(CPoint ptTopLeft);
  // A docked bar's current dock bar and rectangle become its last docked place.
  void RememberDockedPlace();

  CXTPToolBar* m_pBar;
  int m_nMode;
  CPoint m_ptLast;
  CRect m_rectDrag;
  CRect m_rectTrack;
};
