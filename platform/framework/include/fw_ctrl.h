// Wrappers of the standard and common controls: each class is a CWnd whose member
// functions send the control's own messages. Creating through Create() registers the
// common-control classes on demand, so callers never call InitCommonControlsEx themselves.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "fw_string.h"
#include "fw_types.h"
#include "fw_coll.h"
#include "fw_gdi.h"
#include "fw_wnd.h"

// Registers the common-control window classes of the given ICC_* groups once per process.
BOOL AFXAPI AfxDeferRegisterClass(DWORD dwIccClasses);

// ---------------------------------------------------------------------------------------
class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)

 public:
  CStatic() = default;
  BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
              UINT nID = 0xFFFF);
  HICON SetIcon(HICON hIcon) { return (HICON)SendMessage(STM_SETICON, (WPARAM)hIcon, 0); }
  HICON GetIcon() const { return (HICON)SendMessage(STM_GETICON, 0, 0); }
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return (HBITMAP)SendMessage(STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap);
  }
  HBITMAP GetBitmap() const { return (HBITMAP)SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0); }

};

// ---------------------------------------------------------------------------------------
class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)

 public:
  CButton() = default;
  BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  UINT GetState() const { return (UINT)SendMessage(BM_GETSTATE, 0, 0); }
  void SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, bHighlight, 0); }
  int GetCheck() const { return (int)SendMessage(BM_GETCHECK, 0, 0); }
  void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, nCheck, 0); }
  UINT GetButtonStyle() const { return (UINT)(::GetWindowLongW(m_hWnd, GWL_STYLE) & 0xFFFF); }
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { SendMessage(BM_SETSTYLE, nStyle, bRedraw); }
  HICON SetIcon(HICON hIcon) { return (HICON)SendMessage(BM_SETIMAGE, IMAGE_ICON, (LPARAM)hIcon); }
  HICON GetIcon() const { return (HICON)SendMessage(BM_GETIMAGE, IMAGE_ICON, 0); }
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return (HBITMAP)SendMessage(BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap);
  }
  HBITMAP GetBitmap() const { return (HBITMAP)SendMessage(BM_GETIMAGE, IMAGE_BITMAP, 0); }
  // Owner-drawn buttons override this; WM_DRAWITEM reflected from the parent arrives here.
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

 protected:
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// ---------------------------------------------------------------------------------------
class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)

 public:
  CEdit() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL CanUndo() const { return (BOOL)SendMessage(EM_CANUNDO, 0, 0); }
  int GetLineCount() const { return (int)SendMessage(EM_GETLINECOUNT, 0, 0); }
  BOOL GetModify() const { return (BOOL)SendMessage(EM_GETMODIFY, 0, 0); }
  void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified, 0); }
  void GetRect(LPRECT lpRect) const { SendMessage(EM_GETRECT, 0, (LPARAM)lpRect); }
  DWORD GetSel() const { return (DWORD)SendMessage(EM_GETSEL, 0, 0); }
  void GetSel(int& nStartChar, int& nEndChar) const {
    SendMessage(EM_GETSEL, (WPARAM)&nStartChar, (LPARAM)&nEndChar);
  }
  void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE) {
    SetSel((int)LOWORD(dwSelection), (int)HIWORD(dwSelection), bNoScroll);
  }
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE) {
    SendMessage(EM_SETSEL, nStartChar, nEndChar);
    if (!bNoScroll) SendMessage(EM_SCROLLCARET, 0, 0);
  }
  void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) {
    SendMessage(EM_REPLACESEL, bCanUndo, (LPARAM)lpszNewText);
  }
  void SetPasswordChar(TCHAR ch) { SendMessage(EM_SETPASSWORDCHAR, ch, 0); }
  TCHAR GetPasswordChar() const { return (TCHAR)SendMessage(EM_GETPASSWORDCHAR, 0, 0); }
  void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, nChars, 0); }
  void SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax, 0); }
  UINT GetLimitText() const { return (UINT)SendMessage(EM_GETLIMITTEXT, 0, 0); }
  int LineFromChar(int nIndex = -1) const { return (int)SendMessage(EM_LINEFROMCHAR, nIndex, 0); }
  int LineIndex(int nLine = -1) const { return (int)SendMessage(EM_LINEINDEX, nLine, 0); }
  int LineLength(int nLine = -1) const { return (int)SendMessage(EM_LINELENGTH, nLine, 0); }
  // Copies line nIndex into lpszBuffer (nMaxLength characters); no terminating NUL.
  int GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const;
  void LineScroll(int nLines, int nChars = 0) { SendMessage(EM_LINESCROLL, nChars, nLines); }
  BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return (BOOL)SendMessage(EM_SETREADONLY, bReadOnly, 0); }
  void SetMargins(UINT nLeft, UINT nRight) {
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight));
  }
  BOOL Undo() { return (BOOL)SendMessage(EM_UNDO, 0, 0); }
  void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER, 0, 0); }
  void Clear() { SendMessage(WM_CLEAR, 0, 0); }
  void Copy() { SendMessage(WM_COPY, 0, 0); }
  void Cut() { SendMessage(WM_CUT, 0, 0); }
  void Paste() { SendMessage(WM_PASTE, 0, 0); }

};

// ---------------------------------------------------------------------------------------
class CListBox : public CWnd {
  DECLARE_DYNAMIC(CListBox)

 public:
  CListBox() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetCount() const { return (int)SendMessage(LB_GETCOUNT, 0, 0); }
  int GetCurSel() const { return (int)SendMessage(LB_GETCURSEL, 0, 0); }
  int SetCurSel(int nSelect) { return (int)SendMessage(LB_SETCURSEL, nSelect, 0); }
  int GetSel(int nIndex) const { return (int)SendMessage(LB_GETSEL, nIndex, 0); }
  int SetSel(int nIndex, BOOL bSelect = TRUE) { return (int)SendMessage(LB_SETSEL, bSelect, nIndex); }
  int GetSelCount() const { return (int)SendMessage(LB_GETSELCOUNT, 0, 0); }
  int GetSelItems(int nMaxItems, LPINT rgIndex) const {
    return (int)SendMessage(LB_GETSELITEMS, nMaxItems, (LPARAM)rgIndex);
  }
  int GetTopIndex() const { return (int)SendMessage(LB_GETTOPINDEX, 0, 0); }
  int SetTopIndex(int nIndex) { return (int)SendMessage(LB_SETTOPINDEX, nIndex, 0); }
  int GetCaretIndex() const { return (int)SendMessage(LB_GETCARETINDEX, 0, 0); }
  int SetCaretIndex(int nIndex, BOOL bScroll = TRUE) {
    return (int)SendMessage(LB_SETCARETINDEX, nIndex, MAKELONG(bScroll, 0));
  }
  DWORD_PTR GetItemData(int nIndex) const { return (DWORD_PTR)SendMessage(LB_GETITEMDATA, nIndex, 0); }
  int SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return (int)SendMessage(LB_SETITEMDATA, nIndex, (LPARAM)dwItemData);
  }
  void* GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
  int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }
  int GetItemRect(int nIndex, LPRECT lpRect) const {
    return (int)SendMessage(LB_GETITEMRECT, nIndex, (LPARAM)lpRect);
  }
  int GetText(int nIndex, LPTSTR lpszBuffer) const {
    return (int)SendMessage(LB_GETTEXT, nIndex, (LPARAM)lpszBuffer);
  }
  void GetText(int nIndex, CString& rString) const;
  int GetTextLen(int nIndex) const { return (int)SendMessage(LB_GETTEXTLEN, nIndex, 0); }
  int GetItemHeight(int nIndex) const { return (int)SendMessage(LB_GETITEMHEIGHT, nIndex, 0); }
  int SetItemHeight(int nIndex, UINT cyItemHeight) {
    return (int)SendMessage(LB_SETITEMHEIGHT, nIndex, MAKELONG(cyItemHeight, 0));
  }
  int AddString(LPCTSTR lpszItem) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)lpszItem); }
  int DeleteString(UINT nIndex) { return (int)SendMessage(LB_DELETESTRING, nIndex, 0); }
  int InsertString(int nIndex, LPCTSTR lpszItem) {
    return (int)SendMessage(LB_INSERTSTRING, nIndex, (LPARAM)lpszItem);
  }
  void ResetContent() { SendMessage(LB_RESETCONTENT, 0, 0); }
  int FindString(int nStartAfter, LPCTSTR lpszItem) const {
    return (int)SendMessage(LB_FINDSTRING, nStartAfter, (LPARAM)lpszItem);
  }
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    return (int)SendMessage(LB_FINDSTRINGEXACT, nIndexStart, (LPARAM)lpszFind);
  }
  int SelectString(int nStartAfter, LPCTSTR lpszItem) {
    return (int)SendMessage(LB_SELECTSTRING, nStartAfter, (LPARAM)lpszItem);
  }
  int ItemFromPoint(CPoint pt, BOOL& bOutside) const;

  // Owner-drawn list boxes override these; the parent reflects the owner-draw messages.
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
  void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
  virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
  virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);

 protected:
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// ---------------------------------------------------------------------------------------
// A list box that draws a check box before every item. It is owner-drawn with strings
// (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS); the check states live beside the caller's item
// data, so GetItemData/SetItemData keep working. A click on the box or the space bar
// toggles the check and tells the parent with CLBN_CHKCHANGE.
#ifndef CLBN_CHKCHANGE
#define CLBN_CHKCHANGE 40
#endif
class CCheckListBox : public CListBox {
  DECLARE_DYNAMIC(CCheckListBox)

 public:
  CCheckListBox() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  void SetCheckStyle(UINT nStyle) { m_nStyle = nStyle; }  // BS_CHECKBOX/AUTOCHECKBOX/3STATE...
  UINT GetCheckStyle() const { return m_nStyle; }
  void SetCheck(int nIndex, int nCheck);
  int GetCheck(int nIndex) const;
  void Enable(int nIndex, BOOL bEnabled = TRUE);
  BOOL IsEnabled(int nIndex) const;
  // The item data the caller sees; the list box's own data slot holds our record.
  DWORD_PTR GetItemData(int nIndex) const;
  int SetItemData(int nIndex, DWORD_PTR dwItemData);
  void* GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
  int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }
  // The square of the check box inside an item's rectangle.
  CRect CheckRect(const CRect& rcItem) const;

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
  void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
  void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct) override;

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct ItemState;
  ItemState* State(int nIndex) const;    // created on demand
  void Toggle(int nIndex);
  UINT m_nStyle = BS_AUTOCHECKBOX;
};

// ---------------------------------------------------------------------------------------
class CComboBox : public CWnd {
  DECLARE_DYNAMIC(CComboBox)

 public:
  CComboBox() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetCount() const { return (int)SendMessage(CB_GETCOUNT, 0, 0); }
  int GetCurSel() const { return (int)SendMessage(CB_GETCURSEL, 0, 0); }
  int SetCurSel(int nSelect) { return (int)SendMessage(CB_SETCURSEL, nSelect, 0); }
  DWORD GetEditSel() const { return (DWORD)SendMessage(CB_GETEDITSEL, 0, 0); }
  BOOL LimitText(int nMaxChars) { return (BOOL)SendMessage(CB_LIMITTEXT, nMaxChars, 0); }
  BOOL SetEditSel(int nStartChar, int nEndChar) {
    return (BOOL)SendMessage(CB_SETEDITSEL, 0, MAKELONG(nStartChar, nEndChar));
  }
  DWORD_PTR GetItemData(int nIndex) const { return (DWORD_PTR)SendMessage(CB_GETITEMDATA, nIndex, 0); }
  int SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return (int)SendMessage(CB_SETITEMDATA, nIndex, (LPARAM)dwItemData);
  }
  void* GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
  int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }
  int GetLBText(int nIndex, LPTSTR lpszText) const {
    return (int)SendMessage(CB_GETLBTEXT, nIndex, (LPARAM)lpszText);
  }
  void GetLBText(int nIndex, CString& rString) const;
  int GetLBTextLen(int nIndex) const { return (int)SendMessage(CB_GETLBTEXTLEN, nIndex, 0); }
  int SetItemHeight(int nIndex, UINT cyItemHeight) {
    return (int)SendMessage(CB_SETITEMHEIGHT, nIndex, MAKELONG(cyItemHeight, 0));
  }
  int GetItemHeight(int nIndex) const { return (int)SendMessage(CB_GETITEMHEIGHT, nIndex, 0); }
  int SetDroppedWidth(UINT nWidth) { return (int)SendMessage(CB_SETDROPPEDWIDTH, nWidth, 0); }
  int GetDroppedWidth() const { return (int)SendMessage(CB_GETDROPPEDWIDTH, 0, 0); }
  void ShowDropDown(BOOL bShowIt = TRUE) { SendMessage(CB_SHOWDROPDOWN, bShowIt, 0); }
  BOOL GetDroppedState() const { return (BOOL)SendMessage(CB_GETDROPPEDSTATE, 0, 0); }
  int AddString(LPCTSTR lpszString) { return (int)SendMessage(CB_ADDSTRING, 0, (LPARAM)lpszString); }
  int DeleteString(UINT nIndex) { return (int)SendMessage(CB_DELETESTRING, nIndex, 0); }
  int InsertString(int nIndex, LPCTSTR lpszString) {
    return (int)SendMessage(CB_INSERTSTRING, nIndex, (LPARAM)lpszString);
  }
  void ResetContent() { SendMessage(CB_RESETCONTENT, 0, 0); }
  int FindString(int nStartAfter, LPCTSTR lpszString) const {
    return (int)SendMessage(CB_FINDSTRING, nStartAfter, (LPARAM)lpszString);
  }
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    return (int)SendMessage(CB_FINDSTRINGEXACT, nIndexStart, (LPARAM)lpszFind);
  }
  int SelectString(int nStartAfter, LPCTSTR lpszString) {
    return (int)SendMessage(CB_SELECTSTRING, nStartAfter, (LPARAM)lpszString);
  }
  void Clear() { SendMessage(WM_CLEAR, 0, 0); }
  void Copy() { SendMessage(WM_COPY, 0, 0); }
  void Cut() { SendMessage(WM_CUT, 0, 0); }
  void Paste() { SendMessage(WM_PASTE, 0, 0); }

};

// ---------------------------------------------------------------------------------------
class CProgressCtrl : public CWnd {
  DECLARE_DYNAMIC(CProgressCtrl)

 public:
  CProgressCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  void SetRange(short nLower, short nUpper) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
  void SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, nLower, nUpper); }
  void GetRange(int& nLower, int& nUpper) const;
  int GetPos() const { return (int)SendMessage(PBM_GETPOS, 0, 0); }
  int SetPos(int nPos) { return (int)SendMessage(PBM_SETPOS, nPos, 0); }
  int OffsetPos(int nPos) { return (int)SendMessage(PBM_DELTAPOS, nPos, 0); }
  int SetStep(int nStep) { return (int)SendMessage(PBM_SETSTEP, nStep, 0); }
  int StepIt() { return (int)SendMessage(PBM_STEPIT, 0, 0); }
  COLORREF SetBarColor(COLORREF clrBar) { return (COLORREF)SendMessage(PBM_SETBARCOLOR, 0, clrBar); }
  COLORREF SetBkColor(COLORREF clrNew) { return (COLORREF)SendMessage(PBM_SETBKCOLOR, 0, clrNew); }

};

// ---------------------------------------------------------------------------------------
class CAnimateCtrl : public CWnd {
  DECLARE_DYNAMIC(CAnimateCtrl)

 public:
  CAnimateCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  // A file name, or an "AVI" resource of the resource module given by id.
  BOOL Open(LPCTSTR lpszFileName);
  BOOL Open(UINT nID) { return Open(MAKEINTRESOURCEW(nID)); }
  BOOL Play(UINT nFrom, UINT nTo, UINT nRep) {
    return (BOOL)SendMessage(ACM_PLAY, nRep, MAKELPARAM(nFrom, nTo));
  }
  BOOL Stop() { return (BOOL)SendMessage(ACM_STOP, 0, 0); }
  BOOL Close() { return (BOOL)SendMessage(ACM_OPENW, 0, 0); }
  BOOL Seek(UINT nTo) { return Play(nTo, nTo, 1); }
  BOOL IsPlaying() const { return (BOOL)SendMessage(ACM_ISPLAYING, 0, 0); }

};

// ---------------------------------------------------------------------------------------
class CSpinButtonCtrl : public CWnd {
  DECLARE_DYNAMIC(CSpinButtonCtrl)

 public:
  CSpinButtonCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  CWnd* SetBuddy(CWnd* pWndBuddy);
  CWnd* GetBuddy() const { return CWnd::FromHandle((HWND)SendMessage(UDM_GETBUDDY, 0, 0)); }
  int SetPos(int nPos) { return (int)SendMessage(UDM_SETPOS32, 0, nPos); }
  int GetPos() const { return (int)SendMessage(UDM_GETPOS32, 0, 0); }
  void SetRange(short nLower, short nUpper) { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(nUpper, nLower)); }
  void SetRange32(int nLower, int nUpper) { SendMessage(UDM_SETRANGE32, nLower, nUpper); }
  void GetRange32(int& nLower, int& nUpper) const {
    SendMessage(UDM_GETRANGE32, (WPARAM)&nLower, (LPARAM)&nUpper);
  }
  int SetBase(int nBase) { return (int)SendMessage(UDM_SETBASE, nBase, 0); }
  BOOL SetAccel(int nAccel, UDACCEL* pAccel) {
    return (BOOL)SendMessage(UDM_SETACCEL, nAccel, (LPARAM)pAccel);
  }

};

// ---------------------------------------------------------------------------------------
class CTreeCtrl : public CWnd {
  DECLARE_DYNAMIC(CTreeCtrl)

 public:
  CTreeCtrl() = default;
  // TVS_CHECKBOXES is applied after creation: given at creation the state images are not
  // set up on every platform, and checks set at once are not drawn.
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // Insertion.
  HTREEITEM InsertItem(LPTVINSERTSTRUCT lpInsertStruct) {
    return (HTREEITEM)SendMessage(TVM_INSERTITEMW, 0, (LPARAM)lpInsertStruct);
  }
  HTREEITEM InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage,
                       UINT nState, UINT nStateMask, LPARAM lParam, HTREEITEM hParent,
                       HTREEITEM hInsertAfter);
  HTREEITEM InsertItem(LPCTSTR lpszItem, HTREEITEM hParent = TVI_ROOT,
                       HTREEITEM hInsertAfter = TVI_LAST);
  HTREEITEM InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage,
                       HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
  BOOL DeleteItem(HTREEITEM hItem) { return (BOOL)SendMessage(TVM_DELETEITEM, 0, (LPARAM)hItem); }
  BOOL DeleteAllItems() { return (BOOL)SendMessage(TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT); }

  // Navigation.
  HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const {
    return (HTREEITEM)SendMessage(TVM_GETNEXTITEM, nCode, (LPARAM)hItem);
  }
  HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
  HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const {
    return GetNextItem(hItem, TVGN_PREVIOUS);
  }
  HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
  HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
  HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const {
    return GetNextItem(hItem, TVGN_NEXTVISIBLE);
  }
  HTREEITEM GetPrevVisibleItem(HTREEITEM hItem) const {
    return GetNextItem(hItem, TVGN_PREVIOUSVISIBLE);
  }
  HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
  HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
  BOOL ItemHasChildren(HTREEITEM hItem) const;

  // Selection, expansion, visibility.
  BOOL Select(HTREEITEM hItem, UINT nCode) { return (BOOL)SendMessage(TVM_SELECTITEM, nCode, (LPARAM)hItem); }
  BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
  BOOL SelectDropTarget(HTREEITEM hItem) { return Select(hItem, TVGN_DROPHILITE); }
  BOOL SelectSetFirstVisible(HTREEITEM hItem) { return Select(hItem, TVGN_FIRSTVISIBLE); }
  BOOL Expand(HTREEITEM hItem, UINT nCode) { return (BOOL)SendMessage(TVM_EXPAND, nCode, (LPARAM)hItem); }
  BOOL EnsureVisible(HTREEITEM hItem) { return (BOOL)SendMessage(TVM_ENSUREVISIBLE, 0, (LPARAM)hItem); }
  HTREEITEM HitTest(CPoint pt, UINT* pFlags = nullptr) const;
  HTREEITEM HitTest(TVHITTESTINFO* pHitTestInfo) const {
    return (HTREEITEM)SendMessage(TVM_HITTEST, 0, (LPARAM)pHitTestInfo);
  }
  BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;

  // Item attributes.
  BOOL GetItem(TVITEMW* pItem) const { return (BOOL)SendMessage(TVM_GETITEMW, 0, (LPARAM)pItem); }
  BOOL SetItem(TVITEMW* pItem) { return (BOOL)SendMessage(TVM_SETITEMW, 0, (LPARAM)pItem); }
  BOOL SetItem(HTREEITEM hItem, UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage,
               UINT nState, UINT nStateMask, LPARAM lParam);
  CString GetItemText(HTREEITEM hItem) const;
  BOOL SetItemText(HTREEITEM hItem, LPCTSTR lpszItem);
  DWORD_PTR GetItemData(HTREEITEM hItem) const;
  BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
  BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;
  BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage);
  UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const {
    return (UINT)SendMessage(TVM_GETITEMSTATE, (WPARAM)hItem, nStateMask);
  }
  BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask);
  // Check boxes are state images: 1 unchecked, 2 checked.
  BOOL GetCheck(HTREEITEM hItem) const;
  BOOL SetCheck(HTREEITEM hItem, BOOL fCheck = TRUE);

  // Whole-tree attributes.
  UINT GetCount() const { return (UINT)SendMessage(TVM_GETCOUNT, 0, 0); }
  UINT GetVisibleCount() const { return (UINT)SendMessage(TVM_GETVISIBLECOUNT, 0, 0); }
  UINT GetIndent() const { return (UINT)SendMessage(TVM_GETINDENT, 0, 0); }
  void SetIndent(UINT nIndent) { SendMessage(TVM_SETINDENT, nIndent, 0); }
  CImageList* GetImageList(int nImageList) const;
  CImageList* SetImageList(CImageList* pImageList, int nImageListType);
  SHORT GetItemHeight() const { return (SHORT)SendMessage(TVM_GETITEMHEIGHT, 0, 0); }
  SHORT SetItemHeight(SHORT cyHeight) { return (SHORT)SendMessage(TVM_SETITEMHEIGHT, cyHeight, 0); }
  COLORREF SetBkColor(COLORREF clr) { return (COLORREF)SendMessage(TVM_SETBKCOLOR, 0, clr); }
  COLORREF SetTextColor(COLORREF clr) { return (COLORREF)SendMessage(TVM_SETTEXTCOLOR, 0, clr); }
  CEdit* EditLabel(HTREEITEM hItem);
  CEdit* GetEditControl() const;
  BOOL SortChildren(HTREEITEM hItem) { return (BOOL)SendMessage(TVM_SORTCHILDREN, 0, (LPARAM)hItem); }
  BOOL SortChildrenCB(LPTVSORTCB pSort) { return (BOOL)SendMessage(TVM_SORTCHILDRENCB, 0, (LPARAM)pSort); }
  CImageList* CreateDragImage(HTREEITEM hItem);

 protected:
  // Re-applies TVS_CHECKBOXES when the state image list is missing.
  void EnsureCheckBoxImages();
};

// ---------------------------------------------------------------------------------------
class CHeaderCtrl : public CWnd {
  DECLARE_DYNAMIC(CHeaderCtrl)

 public:
  CHeaderCtrl() = default;
  int GetItemCount() const { return (int)SendMessage(HDM_GETITEMCOUNT, 0, 0); }
  BOOL GetItem(int nPos, HDITEMW* pHeaderItem) const {
    return (BOOL)SendMessage(HDM_GETITEMW, nPos, (LPARAM)pHeaderItem);
  }
  BOOL SetItem(int nPos, HDITEMW* pHeaderItem) {
    return (BOOL)SendMessage(HDM_SETITEMW, nPos, (LPARAM)pHeaderItem);
  }
  BOOL GetItemRect(int nIndex, LPRECT lpRect) const {
    return (BOOL)SendMessage(HDM_GETITEMRECT, nIndex, (LPARAM)lpRect);
  }
};

// ---------------------------------------------------------------------------------------
class CListCtrl : public CWnd {
  DECLARE_DYNAMIC(CListCtrl)

 public:
  CListCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // Columns.
  int InsertColumn(int nCol, const LVCOLUMNW* pColumn) {
    return (int)SendMessage(LVM_INSERTCOLUMNW, nCol, (LPARAM)pColumn);
  }
  int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT,
                   int nWidth = -1, int nSubItem = -1);
  BOOL DeleteColumn(int nCol) { return (BOOL)SendMessage(LVM_DELETECOLUMN, nCol, 0); }
  int GetColumnWidth(int nCol) const { return (int)SendMessage(LVM_GETCOLUMNWIDTH, nCol, 0); }
  BOOL SetColumnWidth(int nCol, int cx) { return (BOOL)SendMessage(LVM_SETCOLUMNWIDTH, nCol, MAKELPARAM(cx, 0)); }
  BOOL GetColumn(int nCol, LVCOLUMNW* pColumn) const {
    return (BOOL)SendMessage(LVM_GETCOLUMNW, nCol, (LPARAM)pColumn);
  }
  CHeaderCtrl* GetHeaderCtrl() const;

  // Items.
  int InsertItem(const LVITEMW* pItem) { return (int)SendMessage(LVM_INSERTITEMW, 0, (LPARAM)pItem); }
  int InsertItem(int nItem, LPCTSTR lpszItem);
  int InsertItem(int nItem, LPCTSTR lpszItem, int nImage);
  int InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask,
                 int nImage, LPARAM lParam);
  BOOL DeleteItem(int nItem) { return (BOOL)SendMessage(LVM_DELETEITEM, nItem, 0); }
  BOOL DeleteAllItems() { return (BOOL)SendMessage(LVM_DELETEALLITEMS, 0, 0); }
  int GetItemCount() const { return (int)SendMessage(LVM_GETITEMCOUNT, 0, 0); }
  void SetItemCount(int nItems) { SendMessage(LVM_SETITEMCOUNT, nItems, 0); }
  BOOL GetItem(LVITEMW* pItem) const { return (BOOL)SendMessage(LVM_GETITEMW, 0, (LPARAM)pItem); }
  BOOL SetItem(const LVITEMW* pItem) { return (BOOL)SendMessage(LVM_SETITEMW, 0, (LPARAM)pItem); }
  BOOL SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage, UINT nState,
               UINT nStateMask, LPARAM lParam);
  CString GetItemText(int nItem, int nSubItem) const;
  int GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const;
  BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
  DWORD_PTR GetItemData(int nItem) const;
  BOOL SetItemData(int nItem, DWORD_PTR dwData);
  UINT GetItemState(int nItem, UINT nMask) const {
    return (UINT)SendMessage(LVM_GETITEMSTATE, nItem, nMask);
  }
  BOOL SetItemState(int nItem, UINT nState, UINT nMask);
  BOOL SetItemState(int nItem, LVITEMW* pItem) {
    return (BOOL)SendMessage(LVM_SETITEMSTATE, nItem, (LPARAM)pItem);
  }
  BOOL GetCheck(int nItem) const;
  BOOL SetCheck(int nItem, BOOL fCheck = TRUE);
  BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
  BOOL GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const;
  BOOL EnsureVisible(int nItem, BOOL bPartialOK) {
    return (BOOL)SendMessage(LVM_ENSUREVISIBLE, nItem, MAKELPARAM(bPartialOK, 0));
  }
  int HitTest(CPoint pt, UINT* pFlags = nullptr) const;
  int HitTest(LVHITTESTINFO* pHitTestInfo) const {
    return (int)SendMessage(LVM_HITTEST, 0, (LPARAM)pHitTestInfo);
  }
  int SubItemHitTest(LVHITTESTINFO* pInfo) { return (int)SendMessage(LVM_SUBITEMHITTEST, 0, (LPARAM)pInfo); }
  int FindItem(LVFINDINFOW* pFindInfo, int nStart = -1) const {
    return (int)SendMessage(LVM_FINDITEMW, nStart, (LPARAM)pFindInfo);
  }
  BOOL SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData) {
    return (BOOL)SendMessage(LVM_SORTITEMS, dwData, (LPARAM)pfnCompare);
  }
  BOOL RedrawItems(int nFirst, int nLast) { return (BOOL)SendMessage(LVM_REDRAWITEMS, nFirst, nLast); }
  BOOL Update(int nItem) { return (BOOL)SendMessage(LVM_UPDATE, nItem, 0); }

  // Selection.
  int GetNextItem(int nItem, int nFlags) const {
    return (int)SendMessage(LVM_GETNEXTITEM, nItem, MAKELPARAM(nFlags, 0));
  }
  UINT GetSelectedCount() const { return (UINT)SendMessage(LVM_GETSELECTEDCOUNT, 0, 0); }
  int GetSelectionMark() const { return (int)SendMessage(LVM_GETSELECTIONMARK, 0, 0); }
  int SetSelectionMark(int iIndex) { return (int)SendMessage(LVM_SETSELECTIONMARK, 0, iIndex); }
  // POSITION is the selected item's index + 1; NULL when no (further) item is selected.
  POSITION GetFirstSelectedItemPosition() const;
  int GetNextSelectedItem(POSITION& pos) const;

  // Whole-control attributes.
  CImageList* GetImageList(int nImageList) const;
  CImageList* SetImageList(CImageList* pImageList, int nImageListType);
  DWORD GetExtendedStyle() const { return (DWORD)SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); }
  DWORD SetExtendedStyle(DWORD dwNewStyle) {
    return (DWORD)SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle);
  }
  COLORREF GetBkColor() const { return (COLORREF)SendMessage(LVM_GETBKCOLOR, 0, 0); }
  BOOL SetBkColor(COLORREF cr) { return (BOOL)SendMessage(LVM_SETBKCOLOR, 0, cr); }
  BOOL SetTextColor(COLORREF cr) { return (BOOL)SendMessage(LVM_SETTEXTCOLOR, 0, cr); }
  BOOL SetTextBkColor(COLORREF cr) { return (BOOL)SendMessage(LVM_SETTEXTBKCOLOR, 0, cr); }
  int GetTopIndex() const { return (int)SendMessage(LVM_GETTOPINDEX, 0, 0); }
  int GetCountPerPage() const { return (int)SendMessage(LVM_GETCOUNTPERPAGE, 0, 0); }
  BOOL Scroll(CSize size) { return (BOOL)SendMessage(LVM_SCROLL, size.cx, size.cy); }
  CEdit* EditLabel(int nItem);

};

// ---------------------------------------------------------------------------------------
class CTabCtrl : public CWnd {
  DECLARE_DYNAMIC(CTabCtrl)

 public:
  CTabCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  LONG InsertItem(int nItem, TCITEMW* pTabCtrlItem) {
    return (LONG)SendMessage(TCM_INSERTITEMW, nItem, (LPARAM)pTabCtrlItem);
  }
  LONG InsertItem(int nItem, LPCTSTR lpszItem);
  LONG InsertItem(int nItem, LPCTSTR lpszItem, int nImage);
  LONG InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, int nImage, LPARAM lParam);
  BOOL DeleteItem(int nItem) { return (BOOL)SendMessage(TCM_DELETEITEM, nItem, 0); }
  BOOL DeleteAllItems() { return (BOOL)SendMessage(TCM_DELETEALLITEMS, 0, 0); }
  BOOL GetItem(int nItem, TCITEMW* pTabCtrlItem) const {
    return (BOOL)SendMessage(TCM_GETITEMW, nItem, (LPARAM)pTabCtrlItem);
  }
  BOOL SetItem(int nItem, TCITEMW* pTabCtrlItem) {
    return (BOOL)SendMessage(TCM_SETITEMW, nItem, (LPARAM)pTabCtrlItem);
  }
  int GetItemCount() const { return (int)SendMessage(TCM_GETITEMCOUNT, 0, 0); }
  int GetCurSel() const { return (int)SendMessage(TCM_GETCURSEL, 0, 0); }
  int SetCurSel(int nItem) { return (int)SendMessage(TCM_SETCURSEL, nItem, 0); }
  int GetCurFocus() const { return (int)SendMessage(TCM_GETCURFOCUS, 0, 0); }
  void SetCurFocus(int nItem) { SendMessage(TCM_SETCURFOCUS, nItem, 0); }
  BOOL GetItemRect(int nItem, LPRECT lpRect) const {
    return (BOOL)SendMessage(TCM_GETITEMRECT, nItem, (LPARAM)lpRect);
  }
  // bLarger: display rectangle -> window rectangle; otherwise the reverse.
  void AdjustRect(BOOL bLarger, LPRECT lpRect) { SendMessage(TCM_ADJUSTRECT, bLarger, (LPARAM)lpRect); }
  int HitTest(TCHITTESTINFO* pHitTestInfo) const {
    return (int)SendMessage(TCM_HITTEST, 0, (LPARAM)pHitTestInfo);
  }
  CImageList* GetImageList() const;
  CImageList* SetImageList(CImageList* pImageList);
  CSize SetItemSize(CSize size);
  void SetPadding(CSize size) { SendMessage(TCM_SETPADDING, 0, MAKELPARAM(size.cx, size.cy)); }
  int GetRowCount() const { return (int)SendMessage(TCM_GETROWCOUNT, 0, 0); }

};

// ---------------------------------------------------------------------------------------
class CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)

 public:
  CToolTipCtrl() = default;
  // A top-most popup owned by pParentWnd.
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  // A tool is a window (nIDTool 0: the whole window by handle) or a rectangle of it.
  BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACKW, LPCRECT lpRectTool = nullptr,
               UINT_PTR nIDTool = 0);
  BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
  void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
  void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
  BOOL GetToolInfo(TTTOOLINFOW& ToolInfo, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
  void SetToolInfo(TTTOOLINFOW* pToolInfo) { SendMessage(TTM_SETTOOLINFOW, 0, (LPARAM)pToolInfo); }
  CString GetText(CWnd* pWnd, UINT_PTR nIDTool = 0) const;
  int GetToolCount() const { return (int)SendMessage(TTM_GETTOOLCOUNT, 0, 0); }
  void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate, 0); }
  void RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, (LPARAM)lpMsg); }
  int SetMaxTipWidth(int iWidth) { return (int)SendMessage(TTM_SETMAXTIPWIDTH, 0, iWidth); }
  void SetDelayTime(UINT nDelay) { SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, nDelay); }
  void SetDelayTime(DWORD dwDuration, int iTime) { SendMessage(TTM_SETDELAYTIME, dwDuration, iTime); }
  void Pop() { SendMessage(TTM_POP, 0, 0); }
  void Update() { SendMessage(TTM_UPDATE, 0, 0); }
  // The record every tool call starts from: sized for the platform's pointer width.
  static void FillInToolInfo(TTTOOLINFOW& ti, CWnd* pWnd, UINT_PTR nIDTool);

};

// ---------------------------------------------------------------------------------------
// Loads the rich-edit 2.0 library once per process; FALSE when it is missing.
BOOL AFXAPI AfxInitRichEdit();
BOOL AFXAPI AfxInitRichEdit2();

class CRichEditCtrl : public CWnd {
  DECLARE_DYNAMIC(CRichEditCtrl)

 public:
  CRichEditCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  long StreamIn(int nFormat, EDITSTREAM& es) { return (long)SendMessage(EM_STREAMIN, nFormat, (LPARAM)&es); }
  long StreamOut(int nFormat, EDITSTREAM& es) {
    return (long)SendMessage(EM_STREAMOUT, nFormat, (LPARAM)&es);
  }
  void SetSel(long nStartChar, long nEndChar);
  void SetSel(CHARRANGE& cr) { SendMessage(EM_EXSETSEL, 0, (LPARAM)&cr); }
  void GetSel(long& nStartChar, long& nEndChar) const;
  void GetSel(CHARRANGE& cr) const { SendMessage(EM_EXGETSEL, 0, (LPARAM)&cr); }
  void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) {
    SendMessage(EM_REPLACESEL, bCanUndo, (LPARAM)lpszNewText);
  }
  CString GetSelText() const;
  BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return (BOOL)SendMessage(EM_SETREADONLY, bReadOnly, 0); }
  void LimitText(long nChars = 0) { SendMessage(EM_EXLIMITTEXT, 0, nChars); }
  long GetLimitText() const { return (long)SendMessage(EM_GETLIMITTEXT, 0, 0); }
  long GetTextLength() const { return (long)SendMessage(WM_GETTEXTLENGTH, 0, 0); }
  COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr) {
    return (COLORREF)SendMessage(EM_SETBKGNDCOLOR, bSysColor, cr);
  }
  DWORD GetEventMask() const { return (DWORD)SendMessage(EM_GETEVENTMASK, 0, 0); }
  DWORD SetEventMask(DWORD dwEventMask) { return (DWORD)SendMessage(EM_SETEVENTMASK, 0, dwEventMask); }
  BOOL SetDefaultCharFormat(CHARFORMATW& cf) {
    return (BOOL)SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, (LPARAM)&cf);
  }
  BOOL SetSelectionCharFormat(CHARFORMATW& cf) {
    return (BOOL)SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
  }
  BOOL GetModify() const { return (BOOL)SendMessage(EM_GETMODIFY, 0, 0); }
  void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified, 0); }
  int GetLineCount() const { return (int)SendMessage(EM_GETLINECOUNT, 0, 0); }
  void HideSelection(BOOL bHide, BOOL bPerm) { SendMessage(EM_HIDESELECTION, bHide, bPerm); }
  void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER, 0, 0); }
  void SetOptions(WORD wOp, DWORD dwFlags) { SendMessage(EM_SETOPTIONS, wOp, dwFlags); }
  void Copy() { SendMessage(WM_COPY, 0, 0); }

};
