// Standard and common control wrappers.
#include "framework.h"

#include <algorithm>
#include <mutex>
#include <vector>

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CCheckListBox, CListBox)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CAnimateCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)
IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)
IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

BOOL AFXAPI AfxDeferRegisterClass(DWORD dwIccClasses) {
  // InitCommonControlsEx is cheap but not free; remember the groups already registered.
  static std::mutex lock;
  static DWORD registered = 0;
  std::lock_guard<std::mutex> guard(lock);
  if ((registered & dwIccClasses) == dwIccClasses) return TRUE;
  INITCOMMONCONTROLSEX icc = {sizeof(icc), dwIccClasses};
  if (!::InitCommonControlsEx(&icc)) return FALSE;
  registered |= dwIccClasses;
  return TRUE;
}

namespace {

// Creates a child control of a registered class after making sure the class exists.
BOOL CreateControl(CWnd* pWnd, DWORD dwIcc, LPCTSTR lpszClass, LPCTSTR lpszText, DWORD dwExStyle,
                   DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  if (dwIcc != 0 && !AfxDeferRegisterClass(dwIcc)) return FALSE;
  return pWnd->CreateEx(dwExStyle, lpszClass, lpszText, dwStyle, rect, pParentWnd, nID);
}

// The wrapper of an image list handle a control hands back (NULL for none).
CImageList* ImageListFromHandle(LRESULT handle) {
  return handle ? CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(handle)) : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------
BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                     UINT nID) {
  return ::CreateControl(this, 0, L"STATIC", lpszText, 0, dwStyle, rect, pParentWnd, nID);
}

// ---------------------------------------------------------------------------------------
BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                     UINT nID) {
  return ::CreateControl(this, 0, L"BUTTON", lpszCaption, 0, dwStyle, rect, pParentWnd, nID);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {
  // A button created with BS_OWNERDRAW must be drawn by a derived class.
  ASSERT(FALSE);
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (pResult) *pResult = TRUE;
  return TRUE;
}

// ---------------------------------------------------------------------------------------
BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return ::CreateControl(this, 0, L"EDIT", nullptr, 0, dwStyle, rect, pParentWnd, nID);
}

int CEdit::GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const {
  if (lpszBuffer == nullptr || nMaxLength <= 0) return 0;
  // EM_GETLINE reads the buffer size from the buffer's first word.
  *reinterpret_cast<WORD*>(lpszBuffer) = static_cast<WORD>(std::min(nMaxLength, 0xFFFF));
  return (int)SendMessage(EM_GETLINE, nIndex, (LPARAM)lpszBuffer);
}

// ---------------------------------------------------------------------------------------
BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return ::CreateControl(this, 0, L"LISTBOX", nullptr, 0, dwStyle, rect, pParentWnd, nID);
}

void CListBox::GetText(int nIndex, CString& rString) const {
  rString.Empty();
  int nLen = GetTextLen(nIndex);
  if (nLen == LB_ERR) return;
  std::vector<WCHAR> buffer(nLen + 1);
  int nGot = GetText(nIndex, buffer.data());
  if (nGot != LB_ERR) rString = CString(buffer.data(), nGot);
}

int CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const {
  DWORD dw = (DWORD)SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
  bOutside = HIWORD(dw) != 0;
  return LOWORD(dw);
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT) { ASSERT(FALSE); }  // owner-drawn: derive
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}           // keep the default height
int CListBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CListBox::DeleteItem(LPDELETEITEMSTRUCT) {}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT result = TRUE;
  switch (message) {
    case WM_DRAWITEM: DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); break;
    case WM_MEASUREITEM: MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)); break;
    case WM_COMPAREITEM: result = CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)); break;
    case WM_DELETEITEM: DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)); break;
    default: return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  }
  if (pResult) *pResult = result;
  return TRUE;
}

// ---------------------------------------------------------------------------------------
// Each item of a check list box keeps this record in the list box's data slot.
struct CCheckListBox::ItemState {
  int nCheck = 0;
  BOOL bEnabled = TRUE;
  DWORD_PTR dwUserData = 0;
};

BOOL CCheckListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CListBox::Create(dwStyle, rect, pParentWnd, nID);
}

BOOL CCheckListBox::PreCreateWindow(CREATESTRUCT& cs) {
  // Owner-drawn with strings: we draw the box, the control keeps the texts.
  cs.style &= ~(LBS_OWNERDRAWVARIABLE | LBS_NODATA);
  cs.style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
  return CListBox::PreCreateWindow(cs);
}

CCheckListBox::ItemState* CCheckListBox::State(int nIndex) const {
  LRESULT data = SendMessage(LB_GETITEMDATA, nIndex, 0);
  if (data == LB_ERR) return nullptr;
  auto* pState = reinterpret_cast<ItemState*>(data);
  if (pState == nullptr) {
    pState = new ItemState;
    SendMessage(LB_SETITEMDATA, nIndex, (LPARAM)pState);
  }
  return pState;
}

void CCheckListBox::SetCheck(int nIndex, int nCheck) {
  if (ItemState* pState = State(nIndex)) {
    pState->nCheck = nCheck;
    CRect rc;
    if (GetItemRect(nIndex, &rc) != LB_ERR) InvalidateRect(&rc, FALSE);
  }
}

int CCheckListBox::GetCheck(int nIndex) const {
  ItemState* pState = State(nIndex);
  return pState ? pState->nCheck : -1;
}

void CCheckListBox::Enable(int nIndex, BOOL bEnabled) {
  if (ItemState* pState = State(nIndex)) {
    pState->bEnabled = bEnabled;
    CRect rc;
    if (GetItemRect(nIndex, &rc) != LB_ERR) InvalidateRect(&rc, FALSE);
  }
}

BOOL CCheckListBox::IsEnabled(int nIndex) const {
  ItemState* pState = State(nIndex);
  return pState ? pState->bEnabled : FALSE;
}

DWORD_PTR CCheckListBox::GetItemData(int nIndex) const {
  ItemState* pState = State(nIndex);
  return pState ? pState->dwUserData : (DWORD_PTR)LB_ERR;
}

int CCheckListBox::SetItemData(int nIndex, DWORD_PTR dwItemData) {
  ItemState* pState = State(nIndex);
  if (pState == nullptr) return LB_ERR;
  pState->dwUserData = dwItemData;
  return 0;
}

CRect CCheckListBox::CheckRect(const CRect& rcItem) const {
  int side = std::min<int>(rcItem.Height() - 2, ::GetSystemMetrics(SM_CYMENUCHECK));
  int top = rcItem.top + (rcItem.Height() - side) / 2;
  return CRect(rcItem.left + 2, top, rcItem.left + 2 + side, top + side);
}

void CCheckListBox::Toggle(int nIndex) {
  ItemState* pState = State(nIndex);
  if (pState == nullptr || !pState->bEnabled) return;
  int nNext = (m_nStyle == BS_AUTO3STATE || m_nStyle == BS_3STATE) ? (pState->nCheck + 1) % 3
                                                                    : !pState->nCheck;
  SetCheck(nIndex, nNext);
  HWND hParent = ::GetParent(m_hWnd);
  if (hParent)
    ::SendMessageW(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CLBN_CHKCHANGE), (LPARAM)m_hWnd);
}

LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
    CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    BOOL bOutside = TRUE;
    int nIndex = ItemFromPoint(pt, bOutside);
    CRect rcItem;
    if (!bOutside && IsEnabled(nIndex) && GetItemRect(nIndex, &rcItem) != LB_ERR &&
        CheckRect(rcItem).PtInRect(pt)) {
      if (::GetFocus() != m_hWnd) ::SetFocus(m_hWnd);
      // The box's item becomes the selected one first, so that the parent, told of the
      // selection and then of the check, acts on the item whose check changed.
      if ((GetStyle() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) == 0 && GetCurSel() != nIndex) {
        SetCurSel(nIndex);
        HWND hParent = ::GetParent(m_hWnd);
        if (hParent != nullptr && (GetStyle() & LBS_NOTIFY) != 0)
          ::SendMessageW(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), LBN_SELCHANGE), (LPARAM)m_hWnd);
      }
      if (::IsWindow(m_hWnd)) Toggle(nIndex);
      return 0;
    }
  } else if (message == WM_CHAR && wParam == L' ') {
    int nCaret = GetCaretIndex();
    if (nCaret >= 0) Toggle(nCaret);
    return 0;
  }
  return CListBox::WindowProc(message, wParam, lParam);
}

void CCheckListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  lpMeasureItemStruct->itemHeight =
      std::max<UINT>(lpMeasureItemStruct->itemHeight, ::GetSystemMetrics(SM_CYMENUCHECK) + 2);
}

void CCheckListBox::DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct) {
  delete reinterpret_cast<ItemState*>(lpDeleteItemStruct->itemData);
}

void CCheckListBox::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (dis->itemID == (UINT)-1) {
    if (dis->itemState & ODS_FOCUS) ::DrawFocusRect(dis->hDC, &dis->rcItem);
    return;
  }
  const int nIndex = (int)dis->itemID;
  const ItemState* pState = State(nIndex);
  const BOOL bEnabled = pState && pState->bEnabled && IsWindowEnabled();
  CRect rcItem(dis->rcItem);
  CRect rcCheck = CheckRect(rcItem);

  // The box stands on the window background; only the text part shows the selection.
  ::FillRect(dis->hDC, CRect(rcItem.left, rcItem.top, rcCheck.right + 2, rcItem.bottom),
             ::GetSysColorBrush(COLOR_WINDOW));
  UINT nState = DFCS_BUTTONCHECK | DFCS_FLAT;
  if (pState && pState->nCheck == 1) nState |= DFCS_CHECKED;
  if (pState && pState->nCheck == 2) nState = DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_FLAT;
  if (!bEnabled) nState |= DFCS_INACTIVE;
  ::DrawFrameControl(dis->hDC, &rcCheck, DFC_BUTTON, nState);

  CRect rcText(rcCheck.right + 2, rcItem.top, rcItem.right, rcItem.bottom);
  const BOOL bSelected = (dis->itemState & ODS_SELECTED) != 0;
  ::FillRect(dis->hDC, &rcText, ::GetSysColorBrush(bSelected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  COLORREF crText = !bEnabled ? ::GetSysColor(COLOR_GRAYTEXT)
                    : bSelected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT)
                                : ::GetSysColor(COLOR_WINDOWTEXT);
  COLORREF crOld = ::SetTextColor(dis->hDC, crText);
  int nOldMode = ::SetBkMode(dis->hDC, TRANSPARENT);
  CString text;
  GetText(nIndex, text);
  CRect rcLabel(rcText);
  rcLabel.left += 2;
  ::DrawTextW(dis->hDC, text, text.GetLength(), &rcLabel,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  ::SetBkMode(dis->hDC, nOldMode);
  ::SetTextColor(dis->hDC, crOld);
  if (dis->itemState & ODS_FOCUS) ::DrawFocusRect(dis->hDC, &rcText);
}

// ---------------------------------------------------------------------------------------
BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return ::CreateControl(this, 0, L"COMBOBOX", nullptr, 0, dwStyle, rect, pParentWnd, nID);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
  rString.Empty();
  int nLen = GetLBTextLen(nIndex);
  if (nLen == CB_ERR) return;
  std::vector<WCHAR> buffer(nLen + 1);
  int nGot = GetLBText(nIndex, buffer.data());
  if (nGot != CB_ERR) rString = CString(buffer.data(), nGot);
}

// ---------------------------------------------------------------------------------------
BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return ::CreateControl(this, ICC_PROGRESS_CLASS, PROGRESS_CLASSW, nullptr, 0, dwStyle, rect,
                       pParentWnd, nID);
}

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const {
  PBRANGE range = {};
  SendMessage(PBM_GETRANGE, FALSE, (LPARAM)&range);
  nLower = range.iLow;
  nUpper = range.iHigh;
}

// ---------------------------------------------------------------------------------------
BOOL CAnimateCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return ::CreateControl(this, ICC_ANIMATE_CLASS, ANIMATE_CLASSW, nullptr, 0, dwStyle, rect,
                       pParentWnd, nID);
}

BOOL CAnimateCtrl::Open(LPCTSTR lpszFileName) {
  // An id names an "AVI" resource of the resource module; a string is a file first.
  HINSTANCE hInst = IS_INTRESOURCE(lpszFileName) ? AfxGetResourceHandle() : nullptr;
  return (BOOL)SendMessage(ACM_OPENW, (WPARAM)hInst, (LPARAM)lpszFileName);
}

// ---------------------------------------------------------------------------------------
BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return ::CreateControl(this, ICC_UPDOWN_CLASS, UPDOWN_CLASSW, nullptr, 0, dwStyle, rect,
                       pParentWnd, nID);
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* pWndBuddy) {
  return CWnd::FromHandle((HWND)SendMessage(UDM_SETBUDDY, (WPARAM)pWndBuddy->GetSafeHwnd(), 0));
}

// ---------------------------------------------------------------------------------------
BOOL CTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateEx(0, dwStyle, rect, pParentWnd, nID);
}

BOOL CTreeCtrl::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                         UINT nID) {
  const DWORD dwChecks = dwStyle & TVS_CHECKBOXES;
  if (!::CreateControl(this, ICC_TREEVIEW_CLASSES, WC_TREEVIEWW, nullptr, dwExStyle,
                     dwStyle & ~TVS_CHECKBOXES, rect, pParentWnd, nID))
    return FALSE;
  if (dwChecks) ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | dwChecks);
  return TRUE;
}

void CTreeCtrl::EnsureCheckBoxImages() {
  LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
  if (!(style & TVS_CHECKBOXES) || SendMessage(TVM_GETIMAGELIST, TVSIL_STATE, 0) != 0) return;
  // Setting the style again makes the control build its check-box state images.
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, style & ~TVS_CHECKBOXES);
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, style);
}

HTREEITEM CTreeCtrl::InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage,
                                UINT nState, UINT nStateMask, LPARAM lParam, HTREEITEM hParent,
                                HTREEITEM hInsertAfter) {
  TVINSERTSTRUCTW tvis = {};
  tvis.hParent = hParent;
  tvis.hInsertAfter = hInsertAfter;
  tvis.item.mask = nMask;
  tvis.item.pszText = const_cast<LPWSTR>(lpszItem);
  tvis.item.iImage = nImage;
  tvis.item.iSelectedImage = nSelectedImage;
  tvis.item.state = nState;
  tvis.item.stateMask = nStateMask;
  tvis.item.lParam = lParam;
  return InsertItem(&tvis);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter) {
  return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage,
                                HTREEITEM hParent, HTREEITEM hInsertAfter) {
  return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, lpszItem, nImage,
                    nSelectedImage, 0, 0, 0, hParent, hInsertAfter);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const {
  TVITEMW item = {};
  item.mask = TVIF_CHILDREN | TVIF_HANDLE;
  item.hItem = hItem;
  return GetItem(&item) && item.cChildren != 0;
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const {
  TVHITTESTINFO hti = {};
  hti.pt = pt;
  HTREEITEM hItem = HitTest(&hti);
  if (pFlags) *pFlags = hti.flags;
  return hItem;
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const {
  // TVM_GETITEMRECT takes the item handle in the rectangle it fills.
  *reinterpret_cast<HTREEITEM*>(lpRect) = hItem;
  return (BOOL)SendMessage(TVM_GETITEMRECT, bTextOnly, (LPARAM)lpRect);
}

BOOL CTreeCtrl::SetItem(HTREEITEM hItem, UINT nMask, LPCTSTR lpszItem, int nImage,
                        int nSelectedImage, UINT nState, UINT nStateMask, LPARAM lParam) {
  TVITEMW item = {};
  item.hItem = hItem;
  item.mask = nMask | TVIF_HANDLE;
  item.pszText = const_cast<LPWSTR>(lpszItem);
  item.iImage = nImage;
  item.iSelectedImage = nSelectedImage;
  item.state = nState;
  item.stateMask = nStateMask;
  item.lParam = lParam;
  return SetItem(&item);
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const {
  // Tree items have no length query: grow the buffer until the text fits with room over.
  for (int nLen = 256;; nLen *= 4) {
    std::vector<WCHAR> buffer(nLen);
    TVITEMW item = {};
    item.hItem = hItem;
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.pszText = buffer.data();
    item.cchTextMax = nLen;
    if (!GetItem(&item)) return CString();
    int nGot = lstrlenW(item.pszText);
    if (nGot < nLen - 1 || nLen >= 0x100000) return CString(item.pszText, nGot);
  }
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCTSTR lpszItem) {
  return SetItem(hItem, TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const {
  TVITEMW item = {};
  item.hItem = hItem;
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  return GetItem(&item) ? (DWORD_PTR)item.lParam : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData) {
  return SetItem(hItem, TVIF_PARAM, nullptr, 0, 0, 0, 0, (LPARAM)dwData);
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const {
  TVITEMW item = {};
  item.hItem = hItem;
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  if (!GetItem(&item)) return FALSE;
  nImage = item.iImage;
  nSelectedImage = item.iSelectedImage;
  return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage) {
  return SetItem(hItem, TVIF_IMAGE | TVIF_SELECTEDIMAGE, nullptr, nImage, nSelectedImage, 0, 0, 0);
}

BOOL CTreeCtrl::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask) {
  return SetItem(hItem, TVIF_STATE, nullptr, 0, 0, nState, nStateMask, 0);
}

BOOL CTreeCtrl::GetCheck(HTREEITEM hItem) const {
  return ((GetItemState(hItem, TVIS_STATEIMAGEMASK) >> 12) & 0xF) == 2;
}

BOOL CTreeCtrl::SetCheck(HTREEITEM hItem, BOOL fCheck) {
  EnsureCheckBoxImages();
  return SetItemState(hItem, INDEXTOSTATEIMAGEMASK(fCheck ? 2 : 1), TVIS_STATEIMAGEMASK);
}

CImageList* CTreeCtrl::GetImageList(int nImageList) const {
  return ImageListFromHandle(SendMessage(TVM_GETIMAGELIST, nImageList, 0));
}

CImageList* CTreeCtrl::SetImageList(CImageList* pImageList, int nImageListType) {
  return ImageListFromHandle(
      SendMessage(TVM_SETIMAGELIST, nImageListType, (LPARAM)pImageList->GetSafeHandle()));
}

CEdit* CTreeCtrl::EditLabel(HTREEITEM hItem) {
  return static_cast<CEdit*>(CWnd::FromHandle((HWND)SendMessage(TVM_EDITLABELW, 0, (LPARAM)hItem)));
}

CEdit* CTreeCtrl::GetEditControl() const {
  return static_cast<CEdit*>(CWnd::FromHandle((HWND)SendMessage(TVM_GETEDITCONTROL, 0, 0)));
}

CImageList* CTreeCtrl::CreateDragImage(HTREEITEM hItem) {
  HIMAGELIST hList = (HIMAGELIST)SendMessage(TVM_CREATEDRAGIMAGE, 0, (LPARAM)hItem);
  if (hList == nullptr) return nullptr;
  auto* pList = new CImageList;
  pList->Attach(hList);
  return pList;
}

// ---------------------------------------------------------------------------------------
BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateEx(0, dwStyle, rect, pParentWnd, nID);
}

BOOL CListCtrl::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                         UINT nID) {
  return ::CreateControl(this, ICC_LISTVIEW_CLASSES, WC_LISTVIEWW, nullptr, dwExStyle, dwStyle,
                       rect, pParentWnd, nID);
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth,
                            int nSubItem) {
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_FMT;
  column.pszText = const_cast<LPWSTR>(lpszColumnHeading);
  column.fmt = nFormat;
  if (nWidth != -1) {
    column.mask |= LVCF_WIDTH;
    column.cx = nWidth;
  }
  if (nSubItem != -1) {
    column.mask |= LVCF_SUBITEM;
    column.iSubItem = nSubItem;
  }
  return InsertColumn(nCol, &column);
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() const {
  HWND hHeader = (HWND)SendMessage(LVM_GETHEADER, 0, 0);
  return hHeader ? static_cast<CHeaderCtrl*>(CWnd::FromHandle(hHeader)) : nullptr;
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask,
                          int nImage, LPARAM lParam) {
  LVITEMW item = {};
  item.mask = nMask;
  item.iItem = nItem;
  item.pszText = const_cast<LPWSTR>(lpszItem);
  item.state = nState;
  item.stateMask = nStateMask;
  item.iImage = nImage;
  item.lParam = lParam;
  return InsertItem(&item);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
  return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage) {
  return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
}

BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage,
                        UINT nState, UINT nStateMask, LPARAM lParam) {
  LVITEMW item = {};
  item.mask = nMask;
  item.iItem = nItem;
  item.iSubItem = nSubItem;
  item.pszText = const_cast<LPWSTR>(lpszItem);
  item.iImage = nImage;
  item.state = nState;
  item.stateMask = nStateMask;
  item.lParam = lParam;
  return SetItem(&item);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
  // LVM_GETITEMTEXT returns the number of characters copied: grow until they fit.
  for (int nLen = 256;; nLen *= 4) {
    std::vector<WCHAR> buffer(nLen);
    int nGot = GetItemText(nItem, nSubItem, buffer.data(), nLen);
    if (nGot < nLen - 1 || nLen >= 0x100000) return CString(buffer.data(), nGot);
  }
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const {
  LVITEMW item = {};
  item.iSubItem = nSubItem;
  item.pszText = lpszText;
  item.cchTextMax = nLen;
  return (int)SendMessage(LVM_GETITEMTEXTW, nItem, (LPARAM)&item);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText) {
  LVITEMW item = {};
  item.iSubItem = nSubItem;
  item.pszText = const_cast<LPWSTR>(lpszText);
  return (BOOL)SendMessage(LVM_SETITEMTEXTW, nItem, (LPARAM)&item);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = nItem;
  return GetItem(&item) ? (DWORD_PTR)item.lParam : 0;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
  return SetItem(nItem, 0, LVIF_PARAM, nullptr, 0, 0, 0, (LPARAM)dwData);
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
  LVITEMW item = {};
  item.state = nState;
  item.stateMask = nMask;
  return SetItemState(nItem, &item);
}

BOOL CListCtrl::GetCheck(int nItem) const {
  return ((GetItemState(nItem, LVIS_STATEIMAGEMASK) >> 12) & 0xF) == 2;
}

BOOL CListCtrl::SetCheck(int nItem, BOOL fCheck) {
  return SetItemState(nItem, INDEXTOSTATEIMAGEMASK(fCheck ? 2 : 1), LVIS_STATEIMAGEMASK);
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
  lpRect->left = (LONG)nCode;
  return (BOOL)SendMessage(LVM_GETITEMRECT, nItem, (LPARAM)lpRect);
}

BOOL CListCtrl::GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const {
  ref.top = iSubItem;
  ref.left = nArea;
  return (BOOL)SendMessage(LVM_GETSUBITEMRECT, iItem, (LPARAM)&ref);
}

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const {
  LVHITTESTINFO hti = {};
  hti.pt = pt;
  int nItem = HitTest(&hti);
  if (pFlags) *pFlags = hti.flags;
  return nItem;
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const {
  int nFirst = GetNextItem(-1, LVNI_SELECTED);
  return reinterpret_cast<POSITION>((INT_PTR)(nFirst + 1));
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const {
  int nItem = (int)(reinterpret_cast<INT_PTR>(pos) - 1);
  int nNext = GetNextItem(nItem, LVNI_SELECTED);
  pos = reinterpret_cast<POSITION>((INT_PTR)(nNext + 1));
  return nItem;
}

CImageList* CListCtrl::GetImageList(int nImageList) const {
  return ImageListFromHandle(SendMessage(LVM_GETIMAGELIST, nImageList, 0));
}

CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageListType) {
  return ImageListFromHandle(
      SendMessage(LVM_SETIMAGELIST, nImageListType, (LPARAM)pImageList->GetSafeHandle()));
}

CEdit* CListCtrl::EditLabel(int nItem) {
  return static_cast<CEdit*>(CWnd::FromHandle((HWND)SendMessage(LVM_EDITLABELW, nItem, 0)));
}

// ---------------------------------------------------------------------------------------
BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return ::CreateControl(this, ICC_TAB_CLASSES, WC_TABCONTROLW, nullptr, 0, dwStyle, rect,
                       pParentWnd, nID);
}

LONG CTabCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, int nImage, LPARAM lParam) {
  TCITEMW item = {};
  item.mask = nMask;
  item.pszText = const_cast<LPWSTR>(lpszItem);
  item.iImage = nImage;
  item.lParam = lParam;
  return InsertItem(nItem, &item);
}

LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
  return InsertItem(TCIF_TEXT, nItem, lpszItem, 0, 0);
}

LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage) {
  return InsertItem(TCIF_TEXT | TCIF_IMAGE, nItem, lpszItem, nImage, 0);
}

CImageList* CTabCtrl::GetImageList() const {
  return ImageListFromHandle(SendMessage(TCM_GETIMAGELIST, 0, 0));
}

CImageList* CTabCtrl::SetImageList(CImageList* pImageList) {
  return ImageListFromHandle(SendMessage(TCM_SETIMAGELIST, 0, (LPARAM)pImageList->GetSafeHandle()));
}

CSize CTabCtrl::SetItemSize(CSize size) {
  DWORD dw = (DWORD)SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy));
  return CSize(LOWORD(dw), HIWORD(dw));
}

// ---------------------------------------------------------------------------------------
BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  if (!AfxDeferRegisterClass(ICC_WIN95_CLASSES)) return FALSE;
  BOOL bOk = CWnd::CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | dwStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                            pParentWnd->GetSafeHwnd(), nullptr);
  if (bOk) ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return bOk;
}

void CToolTipCtrl::FillInToolInfo(TTTOOLINFOW& ti, CWnd* pWnd, UINT_PTR nIDTool) {
  ZeroMemory(&ti, sizeof(ti));
  // The V2 size is what every comctl32 version accepts on this pointer width.
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  HWND hWnd = pWnd->GetSafeHwnd();
  if (nIDTool == 0) {
    ti.hwnd = ::GetParent(hWnd);
    ti.uFlags = TTF_IDISHWND;
    ti.uId = (UINT_PTR)hWnd;
  } else {
    ti.hwnd = hWnd;
    ti.uId = nIDTool;
  }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  TTTOOLINFOW ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  if (lpRectTool) ti.rect = *lpRectTool;
  else if (nIDTool != 0) ::GetClientRect(pWnd->GetSafeHwnd(), &ti.rect);
  ti.hinst = AfxGetResourceHandle();
  ti.lpszText = const_cast<LPWSTR>(lpszText);
  ti.uFlags |= TTF_SUBCLASS;
  return (BOOL)SendMessage(TTM_ADDTOOLW, 0, (LPARAM)&ti);
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  return AddTool(pWnd, MAKEINTRESOURCEW(nIDText), lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
  TTTOOLINFOW ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  SendMessage(TTM_DELTOOLW, 0, (LPARAM)&ti);
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TTTOOLINFOW ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  ti.hinst = AfxGetResourceHandle();
  ti.lpszText = const_cast<LPWSTR>(lpszText);
  SendMessage(TTM_UPDATETIPTEXTW, 0, (LPARAM)&ti);
}

void CToolTipCtrl::UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool) {
  UpdateTipText(MAKEINTRESOURCEW(nIDText), pWnd, nIDTool);
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) {
  TTTOOLINFOW ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  ti.rect = *lpRect;
  SendMessage(TTM_NEWTOOLRECTW, 0, (LPARAM)&ti);
}

BOOL CToolTipCtrl::GetToolInfo(TTTOOLINFOW& ToolInfo, CWnd* pWnd, UINT_PTR nIDTool) const {
  FillInToolInfo(ToolInfo, pWnd, nIDTool);
  return (BOOL)SendMessage(TTM_GETTOOLINFOW, 0, (LPARAM)&ToolInfo);
}

CString CToolTipCtrl::GetText(CWnd* pWnd, UINT_PTR nIDTool) const {
  TTTOOLINFOW ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  // TTM_GETTEXT has no size: the platform limits tool texts to 80 characters unless the
  // tool is a callback; leave generous room.
  std::vector<WCHAR> buffer(1024);
  ti.lpszText = buffer.data();
  SendMessage(TTM_GETTEXTW, buffer.size(), (LPARAM)&ti);
  return CString(buffer.data());
}

// ---------------------------------------------------------------------------------------
BOOL AFXAPI AfxInitRichEdit2() {
  static HMODULE hRichEdit = ::LoadLibraryW(L"RICHED20.DLL");
  return hRichEdit != nullptr;
}

BOOL AFXAPI AfxInitRichEdit() { return AfxInitRichEdit2(); }

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  if (!AfxInitRichEdit2()) return FALSE;
  return ::CreateControl(this, 0, RICHEDIT_CLASSW, nullptr, 0, dwStyle, rect, pParentWnd, nID);
}

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar) {
  CHARRANGE cr = {nStartChar, nEndChar};
  SetSel(cr);
}

void CRichEditCtrl::GetSel(long& nStartChar, long& nEndChar) const {
  CHARRANGE cr = {};
  GetSel(cr);
  nStartChar = cr.cpMin;
  nEndChar = cr.cpMax;
}

CString CRichEditCtrl::GetSelText() const {
  CHARRANGE cr = {};
  GetSel(cr);
  std::vector<WCHAR> buffer(std::max<LONG>(cr.cpMax - cr.cpMin, 0) + 1);
  LRESULT n = SendMessage(EM_GETSELTEXT, 0, (LPARAM)buffer.data());
  return CString(buffer.data(), (int)n);
}
