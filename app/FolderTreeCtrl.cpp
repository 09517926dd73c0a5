#include "FolderTreeCtrl.h"

#include <vector>

#include "waitdlg_res.h"

IMPLEMENT_DYNAMIC(CFolderTreeCtrl, CTreeCtrl)

BEGIN_MESSAGE_MAP(CFolderTreeCtrl, CTreeCtrl)
  ON_WM_LBUTTONDOWN()
  ON_WM_PAINT()
END_MESSAGE_MAP()

const wchar_t CFolderTreeCtrl::kRootText[] = L"NSF File";

namespace {

const struct {
  const wchar_t* stored;
  const wchar_t* shown;
} kDisplayNames[] = {
    {L"($Inbox)", L"Inbox"},       {L"($All)", L"All"},           {L"($Sent)", L"Sent"},
    {L"($Trash)", L"Trash"},       {L"My Contacts", L"My Contacts"}, {L"($Alarms)", L"Alarms"},
    {L"($JunkMail)", L"Junk Mails"}, {L"($Drafts)", L"Drafts"},   {L"($Meetings)", L"Calendar"},
    {L"($ToDo)", L"To Do"},        {L"($Journal)", L"Journals"},  {L"($Follow-Up)", L"Follow Up"},
};

const COLORREF kSelectedBack = RGB(0, 0, 255);

}  // namespace

CString CFolderTreeCtrl::DisplayName(const CString& strStored) {
  for (const auto& d : kDisplayNames)
    if (strStored == d.stored) return CString(d.shown);
  return strStored;
}

BOOL CFolderTreeCtrl::CreateFolderImageList(CImageList& images) {
  return images.Create(kFolderImagesResource, 16, 0, kFolderImagesMask);
}

// ---------------------------------------------------------------------------------------
// Paths

int CFolderTreeCtrl::CountSeparators(CString strPath) {
  int n = 0;
  for (int i = 0; i < strPath.GetLength(); ++i)
    if (strPath.GetAt(i) == L'\\') ++n;
  return n;
}

CString CFolderTreeCtrl::GetPathComponent(CString strPath, int nIndex) {
  // Position of separator number nIndex + 1.
  int nSep = -1;
  for (int k = 0; k <= nIndex; ++k) {
    nSep = strPath.Find(L'\\', nSep + 1);
    if (nSep < 0) return CString();
  }
  const CString strBefore = strPath.Left(nSep);
  return strBefore.Mid(strBefore.ReverseFind(L'\\') + 1);
}

HTREEITEM CFolderTreeCtrl::FindOrInsertChild(CString strName, HTREEITEM hParent, int nImage, LPARAM lData) {
  for (HTREEITEM hChild = GetChildItem(hParent); hChild != nullptr; hChild = GetNextSiblingItem(hChild))
    if (GetItemText(hChild) == strName) return hChild;

  if (strName == kRootText) {
    nImage = kImageRoot;
    lData = 0;
  }
  TVINSERTSTRUCTW insert = {};
  insert.hParent = hParent;
  // A new level goes after its existing siblings: folders keep the order the scan met them in.
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  insert.item.pszText = const_cast<LPWSTR>(strName.GetString());
  insert.item.iImage = nImage;
  insert.item.iSelectedImage = nImage;
  insert.item.lParam = lData;
  HTREEITEM hItem = InsertItem(&insert);
  SetCheck(hItem, TRUE);
  if (hParent != TVI_ROOT && hParent != nullptr) SetCheck(hParent, TRUE);
  Expand(GetRootItem(), TVE_EXPAND);
  return hItem;
}

HTREEITEM CFolderTreeCtrl::AddFolderPath(CString strPath, int nImage, LPARAM lData) {
  const CString strFull = CString(kRootText) + L"\\" + strPath;
  const int n = CountSeparators(strFull);
  HTREEITEM hParent = TVI_ROOT;
  for (int i = 0; i < n; ++i) hParent = FindOrInsertChild(GetPathComponent(strFull, i), hParent, nImage, lData);
  return hParent;
}

CString CFolderTreeCtrl::GetItemPath(HTREEITEM hItem) {
  CString strPath;
  for (; hItem != nullptr; hItem = GetParentItem(hItem)) strPath = GetItemText(hItem) + L"\\" + strPath;
  strPath.Replace((CString(kRootText) + L"\\").GetString(), L"");
  return strPath;
}

void CFolderTreeCtrl::GetCheckedFolders(CStringArray& paths) {
  // Depth first with an explicit stack of siblings: deep folder trees cannot overflow it.
  std::vector<HTREEITEM> pending;
  for (HTREEITEM h = GetRootItem(); h != nullptr;) {
    if (GetCheck(h)) paths.Add(GetItemPath(h));
    HTREEITEM hChild = GetChildItem(h);
    HTREEITEM hNext = GetNextSiblingItem(h);
    if (hChild != nullptr) {
      if (hNext != nullptr) pending.push_back(hNext);
      h = hChild;
    } else if (hNext != nullptr) {
      h = hNext;
    } else if (!pending.empty()) {
      h = pending.back();
      pending.pop_back();
    } else {
      h = nullptr;
    }
  }
}

void CFolderTreeCtrl::SetSubtreeCheck(HTREEITEM hItem, BOOL bCheck) {
  for (HTREEITEM hChild = GetChildItem(hItem); hChild != nullptr; hChild = GetNextSiblingItem(hChild)) {
    if (ItemHasChildren(hChild)) SetSubtreeCheck(hChild, bCheck);
    SetCheck(hChild, bCheck);
  }
}

// ---------------------------------------------------------------------------------------
// Mouse

void CFolderTreeCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
  UINT nHit = 0;
  HTREEITEM hItem = HitTest(point, &nHit);
  if (hItem != nullptr && (nHit & (TVHT_ONITEMLABEL | TVHT_ONITEMICON)) != 0) {
    SelectItem(hItem);
    const CString strPath = GetItemPath(hItem);
    if (!strPath.IsEmpty()) {
      // Paths longer than the buffer are cut; the page then finds no such folder.
      wchar_t buffer[kPathBufferChars] = {};
      lstrcpynW(buffer, strPath.GetString(), kPathBufferChars);
      if (CWnd* pParent = GetParent()) {
        if (CWnd* pPage = pParent->GetParent()) pPage->SendMessage(UM_FOLDERCHOSEN, reinterpret_cast<WPARAM>(buffer), 0);
      }
    }
  } else if (hItem != nullptr && (nHit & TVHT_ONITEMSTATEICON) != 0) {
    // Items marked -1 cannot be ticked at all.
    if (GetItemData(hItem) == static_cast<DWORD_PTR>(-1)) return;
    // The tree toggles the item itself; its whole subtree follows the new state.
    SetSubtreeCheck(hItem, !GetCheck(hItem));
  }
  CTreeCtrl::OnLButtonDown(nFlags, point);
}

// ---------------------------------------------------------------------------------------
// Painting

void CFolderTreeCtrl::OnPaint() {
  CPaintDC dc(this);
  CRect rcClient;
  GetClientRect(&rcClient);
  CRect rcUpdate(dc.m_ps.rcPaint);

  // The tree paints into a memory bitmap first so that the names drawn over it never flicker.
  CDC memDC;
  memDC.CreateCompatibleDC(&dc);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&dc, rcClient.Width(), rcClient.Height());
  CBitmap* pOldBitmap = memDC.SelectObject(&bitmap);
  memDC.IntersectClipRect(&rcUpdate);
  DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.GetSafeHdc()), 0);
  DrawItemNames(memDC);
  dc.BitBlt(rcUpdate.left, rcUpdate.top, rcUpdate.Width(), rcUpdate.Height(), &memDC, rcUpdate.left, rcUpdate.top,
            SRCCOPY);
  memDC.SelectObject(pOldBitmap);
}

void CFolderTreeCtrl::DrawItemNames(CDC& dc) {
  LOGFONTW lf = {};
  HFONT hTreeFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  if (hTreeFont == nullptr) hTreeFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  ::GetObjectW(hTreeFont, sizeof(lf), &lf);
  CFont normal, bold;
  normal.CreateFontIndirect(&lf);
  lf.lfWeight = FW_BOLD;
  bold.CreateFontIndirect(&lf);
  CFont* pOldFont = dc.SelectObject(&normal);

  const HTREEITEM hDrop = GetDropHilightItem();
  const UINT nMax = GetVisibleCount() + 1;
  UINT n = 0;
  for (HTREEITEM h = GetFirstVisibleItem(); h != nullptr && n < nMax; h = GetNextVisibleItem(h), ++n) {
    if (h == hDrop) continue;
    // Folders and views that hold entries are bold; the root and bare parent levels not.
    dc.SelectObject(GetItemData(h) != 0 ? &bold : &normal);
    const CString strName = DisplayName(GetItemText(h));
    CRect rc;
    if (!GetItemRect(h, &rc, TRUE)) continue;
    const bool bSelected = (GetItemState(h, TVIS_SELECTED) & TVIS_SELECTED) != 0;
    dc.FillSolidRect(&rc, RGB(255, 255, 255));
    dc.SetBkColor(bSelected ? kSelectedBack : RGB(255, 255, 255));
    dc.SetTextColor(bSelected ? RGB(255, 255, 255) : RGB(0, 0, 0));
    dc.TextOut(rc.left + 2, rc.top + 1, strName);
  }
  dc.SelectObject(pOldFont);
}
