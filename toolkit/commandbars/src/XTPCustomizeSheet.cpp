// The customize sheet: its pages, the customize mode and the two input hooks while it runs,
// the customize context menu with its image popup, and the button image commands (copy and
// paste through the clipboard, reset, the button editor).
#include "XTPCustomizeSheet.h"

#include <cmath>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPCustomizeCommandsPage.h"
#include "XTPCustomizeDropSource.h"
#include "XTPCustomizeToolbarsPage.h"
#include "XTPImageEditorDlg.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPPopupToolBar.h"
#include "XTPResourceManager.h"
#include "XTPShortcutManager.h"
#include "customize_res.h"

namespace {

// The button images are 16 pixels square, one per 16-pixel column of their bitmap.
const int kButtonImageSize = 16;
// A cell of the image popup, and what its frame adds.
const int kImageCellWidth = 23;
const int kImagePopupMargin = 6;
// The notification code of an executed control.
const UINT kExecuteCode = XTP_CN_EXECUTE;

const TCHAR kAlphaClipFormat[] = _T("Alpha Bitmap Image");
const TCHAR kToolbarImageClipFormat[] = _T("Toolkit ToolBar Image");

// The process-wide record of the running sheet: at most one runs at a time.
struct CustomizeRunRecord {
  HHOOK hMouseHook;
  CXTPCustomizeSheet* pMouseSheet;
  HHOOK hKeyboardHook;
  CXTPCustomizeSheet* pKeyboardSheet;
};
CustomizeRunRecord* g_pRunRecord = NULL;

// The bar a window is, or the bar its parent is; null for any other window.
CXTPCommandBar* CommandBarOfWindow(HWND hWnd) {
  for (int nLevel = 0; nLevel < 2 && hWnd != NULL; nLevel++) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd != NULL && pWnd->IsKindOf(RUNTIME_CLASS(CXTPCommandBar))) return static_cast<CXTPCommandBar*>(pWnd);
    hWnd = ::GetParent(hWnd);
  }
  return NULL;
}

BOOL IsWindowOrChild(HWND hWndOuter, HWND hWnd) {
  return hWndOuter != NULL && hWnd != NULL && (hWndOuter == hWnd || ::IsChild(hWndOuter, hWnd));
}

BOOL IsButtonPress(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      return TRUE;
    default:
      return FALSE;
  }
}

// The image popup of the context menu: its buttons wrap at the bar's width, so they stand
// in rows like the cells of a palette.
class CXTPCustomizeImagePopup : public CXTPPopupToolBar {
 public:
  CSize CalcLayout(int, DWORD) override {
    CClientDC dc(m_hWnd != NULL ? this : CWnd::GetDesktopWindow());
    UpdateShortcuts();
    if (m_pControls == NULL) return CSize(0, 0);
    return m_pControls->CalcDynamicSize(&dc, 0, LM_POPUP | LM_COMMIT | LM_HORZ, m_rcBorders);
  }
};

// Ends the tracking of the menu a context-menu control sits in and hands the control's
// command to the menu's command target (the sheet): 10338 first; WM_COMMAND when that was
// not answered and bCommand is set.
void ExecuteInSheet(CXTPControl* pControl, BOOL bCommand) {
  CXTPCommandBar* pBar = pControl->GetParent();
  if (pBar == NULL) return;
  CWnd* pTarget = pBar->GetCommandTarget();
  pControl->InternalAddRef();
  pBar->GetRootParent()->CancelTracking();
  if (pTarget != NULL && pTarget->GetSafeHwnd() != NULL) {
    NMXTPCONTROL block;
    block.hdr.hwndFrom = NULL;
    block.hdr.idFrom = (UINT_PTR)pControl->GetID();
    block.hdr.code = kExecuteCode;
    block.pControl = pControl;
    if (pTarget->SendMessage(XTPM_EXECUTE, (WPARAM)pControl->GetID(), (LPARAM)&block) == 0 && bCommand)
      pTarget->SendMessage(WM_COMMAND, (WPARAM)pControl->GetID(), 0);
  }
  pControl->InternalRelease();
}

}  // namespace

// ---- Context-menu controls ----------------------------------------------------------------
void CXTPCustomizeMenuButton::Execute() { ExecuteInSheet(this, TRUE); }

CXTPCustomizeNameEdit::CXTPCustomizeNameEdit() : m_bCommitting(FALSE) {}

CXTPCustomizeNameEdit::~CXTPCustomizeNameEdit() {}

void CXTPCustomizeNameEdit::Execute() {
  if (m_bCommitting) return;
  m_bCommitting = TRUE;
  // The typed text is read before the menu closes and the field goes away.
  GetEditText();
  ExecuteInSheet(this, FALSE);
  m_bCommitting = FALSE;
}

BOOL CXTPCustomizeNameEdit::OnSelectionChanged(int nSelected) {
  if (nSelected == 0 && !m_bCommitting && m_pEdit != NULL && m_pEdit->GetSafeHwnd() != NULL &&
      ::GetFocus() == m_pEdit->GetSafeHwnd()) {
    // Leaving the field commits what was typed, as Enter does.
    m_bCommitting = TRUE;
    GetEditText();
    CXTPCommandBar* pBar = GetParent();
    CWnd* pTarget = pBar != NULL ? pBar->GetCommandTarget() : NULL;
    if (pTarget != NULL && pTarget->GetSafeHwnd() != NULL) {
      NMXTPCONTROL block;
      block.hdr.hwndFrom = NULL;
      block.hdr.idFrom = (UINT_PTR)GetID();
      block.hdr.code = kExecuteCode;
      block.pControl = this;
      pTarget->SendMessage(XTPM_EXECUTE, (WPARAM)GetID(), (LPARAM)&block);
    }
    m_bCommitting = FALSE;
  }
  return CXTPControlEdit::OnSelectionChanged(nSelected);
}

int CXTPCustomizeNameEdit::GetMinCustomWidth() { return ShowsCaption() ? GetLabelWidth() + 10 : 10; }

void CXTPCustomizeNameEdit::SetWidth(int nWidth) {
  CXTPControlEdit::SetWidth(nWidth);
  DelayLayoutParent();
}

// ---- The sheet ------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CXTPCustomizeSheet, CPropertySheet)

BEGIN_MESSAGE_MAP(CXTPCustomizeSheet, CPropertySheet)
  ON_COMMAND(XTP_ID_CUSTOMIZE_RESET, OnReset)
  ON_COMMAND(XTP_ID_CUSTOMIZE_DELETE, OnDelete)
  ON_COMMAND(XTP_ID_CUSTOMIZE_COPYBUTTONIMAGE, OnCopyImage)
  ON_COMMAND(XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE, OnPasteImage)
  ON_COMMAND(XTP_ID_CUSTOMIZE_RESETBUTTONIMAGE, OnResetImage)
  ON_COMMAND(XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE, OnEditImage)
  ON_COMMAND(XTP_ID_CUSTOMIZE_DEFAULTSTYLE, OnDefaultStyle)
  ON_COMMAND(XTP_ID_CUSTOMIZE_IMAGEANDTEXT, OnImageAndText)
  ON_COMMAND(XTP_ID_CUSTOMIZE_TEXTONLY, OnTextOnly)
  ON_COMMAND(XTP_ID_CUSTOMIZE_BEGINAGROUP, OnBeginGroup)
  ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_RESET, OnUpdateReset)
  ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_NAME, OnUpdateName)
  ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_COPYBUTTONIMAGE, OnUpdateImage)
  ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE, OnUpdatePasteImage)
  ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_RESETBUTTONIMAGE, OnUpdateResetImage)
  ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE, OnUpdateImage)
  ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE, OnUpdateImage)
  ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_DEFAULTSTYLE, OnUpdateStyle)
  ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_TEXTONLY, OnUpdateStyle)
  ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_IMAGEANDTEXT, OnUpdateStyle)
  ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_BEGINAGROUP, OnUpdateBeginGroup)
  ON_MESSAGE(XTPM_INITCOMMANDSPOPUP, OnInitCommandsPopup)
  ON_MESSAGE(XTPM_EXECUTE, OnExecute)
  ON_MESSAGE(WM_SYSKEYDOWN, OnSysKeyDownDefault)
  ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

CXTPCustomizeSheet::CXTPCustomizeSheet(CXTPCommandBars* pCommandBars, UINT nSelectPage)
    : m_pToolbarsPage(NULL),
      m_pCommandsPage(NULL),
      m_pSiteWnd(pCommandBars != NULL ? pCommandBars->GetSite() : NULL),
      m_pCommandBars(pCommandBars),
      m_pContextMenu(NULL),
      m_pButtonImages(NULL),
      m_bButtonImagesLoaded(FALSE) {
  CString strCaption;
  XTPResourceManager()->LoadString(&strCaption, XTP_IDS_CUSTOMIZE);
  Construct(strCaption, m_pSiteWnd, nSelectPage);
  m_pToolbarsPage = new CXTPCustomizeToolbarsPage(this);
  AddPage(m_pToolbarsPage);
  m_pCommandsPage = new CXTPCustomizeCommandsPage(this);
  AddPage(m_pCommandsPage);
  m_psh.dwFlags |= PSH_NOAPPLYNOW;
  BuildButtonImages();
  BuildContextMenu();
}

CXTPCustomizeSheet::~CXTPCustomizeSheet() {
  if (m_hWnd != NULL) DestroyWindow();
  if (m_pContextMenu != NULL) {
    if (m_pContextMenu->GetSafeHwnd() != NULL) m_pContextMenu->DestroyWindow();
    m_pContextMenu->InternalRelease();
  }
  if (m_pButtonImages != NULL) m_pButtonImages->InternalRelease();
  delete m_pCommandsPage;
  delete m_pToolbarsPage;
}

CXTPCustomizeSheet* AFX_CDECL CXTPCustomizeSheet::GetRunningSheet() {
  return g_pRunRecord != NULL ? g_pRunRecord->pMouseSheet : NULL;
}

void CXTPCustomizeSheet::BuildButtonImages() { m_pButtonImages = new CXTPImageManager(); }

CXTPImageManager* CXTPCustomizeSheet::GetButtonImages() {
  LoadButtonImages();
  return m_pButtonImages;
}

void CXTPCustomizeSheet::LoadButtonImages() {
  if (m_bButtonImagesLoaded || m_pButtonImages == NULL) return;
  m_bButtonImagesLoaded = TRUE;
  // The pictures stand on a background of their mask colour (the first pixel's).
  CBitmap bmp;
  if (!XTPResourceManager()->LoadBitmap(&bmp, XTP_IDB_CUSTOMIZE_ICONS)) return;
  BITMAP bm = {};
  bmp.GetBitmap(&bm);
  const int nCount = bm.bmWidth / kButtonImageSize;
  if (nCount <= 0) return;
  CUIntArray arrIds;
  arrIds.SetSize(nCount);
  for (int i = 0; i < nCount; i++) arrIds[i] = (UINT)(i + 1);
  m_pButtonImages->SetIcons(&bmp, arrIds.GetData(), nCount, CSize(kButtonImageSize, kButtonImageSize));
}

void CXTPCustomizeSheet::BuildContextMenu() {
  m_pContextMenu = CXTPPopupBar::CreatePopupBar(NULL);
  if (m_pContextMenu == NULL) return;
  m_pContextMenu->SetOwner(m_pSiteWnd);
  m_pContextMenu->SetCommandTarget(this);
  if (m_pCommandBars != NULL) {
    // Only a paint manager of the command bars' own; the global one is found anyway.
    CXTPPaintManager* pPaintManager = m_pCommandBars->GetPaintManager();
    if (pPaintManager != NULL && pPaintManager != CXTPPaintManager::GetCurrentPaintManager()) {
      pPaintManager->InternalAddRef();
      m_pContextMenu->SetPaintManager(pPaintManager);
    }
    m_pButtonImages->SetDrawMirrored(m_pCommandBars->IsLayoutRTL());
  }
  m_pButtonImages->InternalAddRef();
  m_pContextMenu->SetImageManager(m_pButtonImages);

  CMenu menu;
  if (!XTPResourceManager()->LoadMenu(&menu, XTP_IDR_CUSTOMIZEMENU)) return;
  CMenu* pItems = menu.GetSubMenu(0);
  if (pItems == NULL) return;
  CXTPControls* pControls = m_pContextMenu->GetControls();
  BOOL bGroup = FALSE;
  for (int i = 0; i < (int)pItems->GetMenuItemCount(); i++) {
    TCHAR szText[257] = {0};
    MENUITEMINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE | MIIM_TYPE | MIIM_ID;
    info.dwTypeData = szText;
    info.cch = 256;
    if (!::GetMenuItemInfo(pItems->GetSafeHmenu(), (UINT)i, TRUE, &info)) continue;
    if ((info.fType & MFT_SEPARATOR) || info.wID == 0) {
      bGroup = TRUE;
      continue;
    }
    CXTPControl* pControl = NULL;
    if (info.wID == XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE) {
      CXTPControlPopup* pPopup = CXTPControlPopup::CreateControlPopup(xtpControlPopup);
      CXTPCustomizeImagePopup* pImages = new CXTPCustomizeImagePopup();
      pImages->SetBarID(XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE);
      pPopup->AttachBar(pImages);
      pImages->InternalRelease();
      pControl = pPopup;
    } else if (info.wID == XTP_ID_CUSTOMIZE_NAME) {
      pControl = new CXTPCustomizeNameEdit();
    } else {
      pControl = new CXTPCustomizeMenuButton();
    }
    pControl->SetCaption(szText);
    pControls->Add(pControl, (int)info.wID);
    if (bGroup) pControl->SetBeginGroup(TRUE);
    bGroup = FALSE;
  }
}

void CXTPCustomizeSheet::AddPage(CPropertyPage* pPage) {
  if (pPage == NULL) return;
  // A template the resource manager supplies is used from memory.
  if ((pPage->m_psp.dwFlags & PSP_DLGINDIRECT) == 0 && IS_INTRESOURCE(pPage->m_psp.pszTemplate)) {
    LPCDLGTEMPLATE lpTemplate =
        XTPResourceManager()->LoadDialogTemplate((UINT)(UINT_PTR)pPage->m_psp.pszTemplate);
    if (lpTemplate != NULL) {
      pPage->m_psp.dwFlags |= PSP_DLGINDIRECT;
      pPage->m_psp.pResource = lpTemplate;
    }
  }
  CPropertySheet::AddPage(pPage);
}

// ---- Selection helpers --------------------------------------------------------------------
CXTPControl* CXTPCustomizeSheet::GetSelection() const {
  return m_pCommandBars != NULL ? m_pCommandBars->GetDragControl() : NULL;
}

int CXTPCustomizeSheet::ImageIdOf(const CXTPControl* pControl) {
  if (pControl == NULL) return 0;
  if (pControl->GetCustomIconId() > 0) return pControl->GetCustomIconId();
  if (pControl->GetIconId() > 0) return pControl->GetIconId();
  return pControl->GetID();
}

BOOL CXTPCustomizeSheet::IsButtonKind(const CXTPControl* pControl) {
  if (pControl == NULL) return FALSE;
  const XTPControlType type = pControl->GetType();
  return type >= xtpControlButton && type <= xtpControlSplitButtonPopup;
}

void CXTPCustomizeSheet::RedrawBarOf(CXTPControl* pControl) {
  CXTPCommandBar* pBar = pControl != NULL ? pControl->GetParent() : NULL;
  if (pBar == NULL) return;
  pBar->DelayLayout();
  pBar->DelayRedraw();
}

BOOL CXTPCustomizeSheet::CanUseImage() const {
  CXTPControl* pControl = GetSelection();
  return IsButtonKind(pControl) && ImageIdOf(pControl) > 0;
}

// ---- Context-menu commands ----------------------------------------------------------------
void CXTPCustomizeSheet::OnReset() {
  CXTPControl* pControl = GetSelection();
  if (pControl == NULL) return;
  pControl->SetCustomIconId(0);
  pControl->SetCustomCaption(_T(""));
  pControl->SetCustomStyle(0);
  RedrawBarOf(pControl);
}

void CXTPCustomizeSheet::OnDelete() {
  CXTPControl* pControl = GetSelection();
  if (pControl == NULL) return;
  pControl->InternalAddRef();
  m_pCommandBars->SetDragControl(NULL);
  CXTPCommandBar* pBar = pControl->GetParent();
  CXTPControls* pControls = pControl->GetControls();
  if (pControls != NULL) pControls->Remove(pControl);
  if (pBar != NULL) {
    pBar->DelayLayout();
    pBar->DelayRedraw();
  }
  pControl->InternalRelease();
}

void CXTPCustomizeSheet::OnCopyImage() {
  CXTPControl* pControl = GetSelection();
  if (pControl == NULL || m_pCommandBars == NULL) return;
  const int nImageId = ImageIdOf(pControl);
  CXTPImageManager* pImageManager = m_pCommandBars->GetImageManager();
  CXTPImageManagerIcon* pImage = nImageId > 0 ? pImageManager->GetImage((UINT)nImageId, kButtonImageSize) : NULL;
  if (pImage == NULL) return;

  const BOOL bAlpha = pImage->IsAlpha();
  HBITMAP hBitmap = NULL;
  if (bAlpha) {
    hBitmap = (HBITMAP)::CopyImage(pImage->GetIcon().GetBitmap(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  } else {
    const CSize sz = pImage->GetExtent();
    CClientDC dcScreen(NULL);
    CDC dc;
    CBitmap bmp;
    if (sz.cx > 0 && sz.cy > 0 && dc.CreateCompatibleDC(&dcScreen) && bmp.CreateCompatibleBitmap(&dcScreen, sz.cx, sz.cy)) {
      CBitmap* pOld = dc.SelectObject(&bmp);
      dc.FillSolidRect(0, 0, sz.cx, sz.cy, ::GetSysColor(COLOR_BTNFACE));
      ::DrawState(dc.GetSafeHdc(), NULL, NULL, (LPARAM)pImage->GetIcon().GetIcon(), 0, 0, 0, sz.cx, sz.cy,
                  DST_ICON | DSS_NORMAL);
      dc.SelectObject(pOld);
      hBitmap = (HBITMAP)bmp.Detach();
    }
  }
  if (hBitmap == NULL) return;

  if (!::OpenClipboard(m_hWnd)) {
    ::DeleteObject(hBitmap);
    return;
  }
  if (!::EmptyClipboard()) {
    ::CloseClipboard();
    ::DeleteObject(hBitmap);
    return;
  }
  if (::SetClipboardData(CF_BITMAP, hBitmap) == NULL) ::DeleteObject(hBitmap);
  if (bAlpha) {
    HGLOBAL hMarker = ::GlobalAlloc(GMEM_MOVEABLE, 1);
    if (hMarker != NULL && ::SetClipboardData(::RegisterClipboardFormat(kAlphaClipFormat), hMarker) == NULL)
      ::GlobalFree(hMarker);
  }
  if (pImageManager->GetIconSet((UINT)nImageId) != NULL) pImageManager->CopyImage((UINT)nImageId);
  ::CloseClipboard();
}

void CXTPCustomizeSheet::OnPasteImage() {
  CXTPControl* pControl = GetSelection();
  if (pControl == NULL || m_pCommandBars == NULL) return;
  CXTPImageManager* pImageManager = m_pCommandBars->GetImageManager();
  // The clipboard as it is now (a data object kept from an earlier look may be stale).
  if (!::OpenClipboard(m_hWnd)) return;
  const UINT cfToolbarImage = ::RegisterClipboardFormat(kToolbarImageClipFormat);
  const UINT cfAlpha = ::RegisterClipboardFormat(kAlphaClipFormat);
  HGLOBAL hToolbarImage = NULL;
  HBITMAP hBitmap = NULL;
  BOOL bAlphaMarker = FALSE;
  const BOOL bToolbarImage = ::IsClipboardFormatAvailable(cfToolbarImage);
  if (bToolbarImage) {
    // A private copy of the block: the clipboard keeps its own.
    HGLOBAL hClip = ::GetClipboardData(cfToolbarImage);
    const SIZE_T nSize = hClip != NULL ? ::GlobalSize(hClip) : 0;
    const void* pSource = nSize > 0 ? ::GlobalLock(hClip) : NULL;
    if (pSource != NULL) {
      hToolbarImage = ::GlobalAlloc(GMEM_MOVEABLE, nSize);
      void* pCopy = hToolbarImage != NULL ? ::GlobalLock(hToolbarImage) : NULL;
      if (pCopy != NULL) {
        memcpy(pCopy, pSource, nSize);
        ::GlobalUnlock(hToolbarImage);
      }
      ::GlobalUnlock(hClip);
    }
  } else if (::IsClipboardFormatAvailable(CF_BITMAP)) {
    HBITMAP hClip = (HBITMAP)::GetClipboardData(CF_BITMAP);
    if (hClip != NULL) hBitmap = (HBITMAP)::CopyImage(hClip, IMAGE_BITMAP, 0, 0, 0);
    bAlphaMarker = ::IsClipboardFormatAvailable(cfAlpha);
  }
  ::CloseClipboard();

  if (bToolbarImage) {
    const UINT nID = hToolbarImage != NULL ? pImageManager->PasteCustomImage(hToolbarImage) : 0;
    if (hToolbarImage != NULL) ::GlobalFree(hToolbarImage);
    if (nID != 0) {
      pControl->SetCustomIconId((int)nID);
      RedrawBarOf(pControl);
    }
    return;
  }
  if (hBitmap == NULL) return;
  CXTPImageManagerIconHandle hIcon;
  BITMAP bm = {};
  if (::GetObject(hBitmap, sizeof(bm), &bm) == sizeof(bm) && bm.bmWidth > 0 && bm.bmHeight > 0) {
    if (bAlphaMarker) {
      hIcon.CopyHandle(hBitmap);
    } else {
      // One masked image of the bitmap's own size: a bitmap of any width gives one image.
      CImageList images;
      if (images.Create(bm.bmWidth, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 1)) {
        images.Add(CBitmap::FromHandle(hBitmap), ::GetSysColor(COLOR_BTNFACE));
        if (images.GetImageCount() == 1) {
          HICON hPicture = images.ExtractIcon(0);
          if (hPicture != NULL) hIcon = hPicture;
        }
      }
    }
  }
  ::DeleteObject(hBitmap);
  if (hIcon.IsEmpty()) return;
  const UINT nID = pImageManager->AddCustomIcon(hIcon);
  if (nID == 0) return;
  pControl->SetCustomIconId((int)nID);
  RedrawBarOf(pControl);
}

void CXTPCustomizeSheet::OnResetImage() {
  CXTPControl* pControl = GetSelection();
  if (pControl == NULL) return;
  pControl->SetCustomIconId(0);
  RedrawBarOf(pControl);
}

void CXTPCustomizeSheet::OnEditImage() {
  XTPMouseManager()->CloseAllTrackingBars();
  CXTPControl* pControl = GetSelection();
  if (pControl == NULL || m_pCommandBars == NULL) return;
  const int nImageId = ImageIdOf(pControl);
  if (nImageId <= 0) return;
  CXTPCommandBar* pBar = pControl->GetParent();
  CSize szImage = pBar != NULL ? pBar->GetIconSize() : CSize(kButtonImageSize, kButtonImageSize);
  if (szImage.cx <= 0 || szImage.cy <= 0) szImage = CSize(kButtonImageSize, kButtonImageSize);
  CXTPImageManager* pImageManager = m_pCommandBars->GetImageManager();

  CXTPImageEditorDlg dlg(this);
  CXTPImageManagerIcon* pImage = pImageManager->GetImage((UINT)nImageId, szImage.cx);
  if (pImage != NULL)
    dlg.SetIcon(pImage->GetIcon());
  else
    dlg.SetSize(szImage.cx, szImage.cy);
  // The control may go while the editor runs (a drag in the frame is not possible, but a
  // page could reset a bar): keep it.
  pControl->InternalAddRef();
  if (dlg.DoModal() == IDOK) {
    CXTPImageManagerIconHandle hIcon;
    dlg.GetIcon(&hIcon);
    if (!hIcon.IsEmpty()) {
      if (pControl->GetCustomIconId() > 0)
        pImageManager->SetIcon(hIcon, (UINT)pControl->GetCustomIconId());
      else
        pControl->SetCustomIconId((int)pImageManager->AddCustomIcon(hIcon));
      RedrawBarOf(pControl);
    }
  }
  pControl->InternalRelease();
}

void CXTPCustomizeSheet::OnDefaultStyle() {
  CXTPControl* pControl = GetSelection();
  if (pControl == NULL) return;
  pControl->SetCustomStyle(0);
  RedrawBarOf(pControl);
}

void CXTPCustomizeSheet::OnTextOnly() {
  CXTPControl* pControl = GetSelection();
  if (pControl == NULL) return;
  pControl->SetCustomStyle(xtpButtonCaption);
  RedrawBarOf(pControl);
}

void CXTPCustomizeSheet::OnImageAndText() {
  CXTPControl* pControl = GetSelection();
  if (pControl == NULL) return;
  pControl->SetCustomStyle(xtpButtonIconAndCaption);
  RedrawBarOf(pControl);
}

void CXTPCustomizeSheet::OnBeginGroup() {
  CXTPControl* pControl = GetSelection();
  if (pControl == NULL) return;
  pControl->SetBeginGroup(!pControl->GetBeginGroup());
  RedrawBarOf(pControl);
}

// ---- Context-menu states ------------------------------------------------------------------
void CXTPCustomizeSheet::OnUpdateReset(CCmdUI* pCmdUI) {
  CXTPControl* pControl = GetSelection();
  pCmdUI->Enable(pControl != NULL && (pControl->GetCustomIconId() > 0 || !pControl->GetCustomCaption().IsEmpty() ||
                                      pControl->GetCustomStyle() != 0));
}

void CXTPCustomizeSheet::OnUpdateName(CCmdUI* pCmdUI) {
  pCmdUI->Enable(TRUE);
  CWnd* pOther = pCmdUI->m_pOther;
  CXTPCommandBar* pBar = pOther != NULL && pOther->IsKindOf(RUNTIME_CLASS(CXTPCommandBar))
                             ? static_cast<CXTPCommandBar*>(pOther)
                             : NULL;
  CXTPControl* pField = pBar != NULL ? pBar->GetControl((int)pCmdUI->m_nIndex) : NULL;
  CXTPCustomizeNameEdit* pEdit = dynamic_cast<CXTPCustomizeNameEdit*>(pField);
  if (pEdit == NULL || pEdit->IsFocused()) return;
  CXTPControl* pControl = GetSelection();
  const CString strCaption = pControl != NULL ? pControl->GetCaption() : CString();
  if (pEdit->GetEditText() != strCaption) pEdit->SetEditText(strCaption);
}

void CXTPCustomizeSheet::OnUpdateImage(CCmdUI* pCmdUI) { pCmdUI->Enable(CanUseImage()); }

void CXTPCustomizeSheet::OnUpdatePasteImage(CCmdUI* pCmdUI) {
  pCmdUI->Enable(IsButtonKind(GetSelection()) && ::IsClipboardFormatAvailable(CF_BITMAP));
}

void CXTPCustomizeSheet::OnUpdateResetImage(CCmdUI* pCmdUI) {
  CXTPControl* pControl = GetSelection();
  pCmdUI->Enable(pControl != NULL && pControl->GetCustomIconId() > 0);
}

void CXTPCustomizeSheet::OnUpdateStyle(CCmdUI* pCmdUI) {
  CXTPControl* pControl = GetSelection();
  if (!IsButtonKind(pControl)) {
    pCmdUI->SetCheck(0);
    pCmdUI->Enable(FALSE);
    return;
  }
  int nStyle = 0;
  if (pCmdUI->m_nID == XTP_ID_CUSTOMIZE_TEXTONLY) nStyle = xtpButtonCaption;
  if (pCmdUI->m_nID == XTP_ID_CUSTOMIZE_IMAGEANDTEXT) nStyle = xtpButtonIconAndCaption;
  pCmdUI->Enable(TRUE);
  pCmdUI->SetCheck(pControl->GetCustomStyle() == nStyle ? 1 : 0);
}

void CXTPCustomizeSheet::OnUpdateBeginGroup(CCmdUI* pCmdUI) {
  CXTPControl* pControl = GetSelection();
  if (pControl == NULL) {
    pCmdUI->SetCheck(0);
    pCmdUI->Enable(FALSE);
    return;
  }
  pCmdUI->Enable(pControl->GetIndex() > 0);
  pCmdUI->SetCheck(pControl->GetBeginGroup() ? 1 : 0);
}

// ---- Messages -----------------------------------------------------------------------------
LRESULT CXTPCustomizeSheet::OnInitCommandsPopup(WPARAM, LPARAM lParam) {
  CXTPCommandBar* pPopup = reinterpret_cast<CXTPCommandBar*>(lParam);
  if (pPopup == NULL || pPopup->GetBarID() != XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE || pPopup->GetControlCount() > 0)
    return 0;
  LoadButtonImages();
  CXTPImageManager::CIconSetsMap* pImages = m_pButtonImages != NULL ? m_pButtonImages->GetImages() : NULL;
  const int nCount = pImages != NULL ? (int)pImages->GetCount() : 0;
  for (int i = 1; i <= nCount; i++) {
    CXTPControl* pButton = pPopup->GetControls()->Add(new CXTPCustomizeMenuButton(), XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE);
    pButton->SetIconId(i);
    pButton->SetFlags(pButton->GetFlags() | xtpFlagManualUpdate);
  }
  pPopup->SetMRUWidth(kImageCellWidth * (int)std::floor(std::sqrt((double)nCount)) + kImagePopupMargin);
  return 0;
}

LRESULT CXTPCustomizeSheet::OnExecute(WPARAM wParam, LPARAM lParam) {
  NMXTPCONTROL* pBlock = reinterpret_cast<NMXTPCONTROL*>(lParam);
  if (pBlock == NULL || pBlock->hdr.code != kExecuteCode) return 0;
  CXTPControl* pSource = pBlock->pControl;
  const UINT nID = (UINT)wParam;
  if (nID == XTP_ID_CUSTOMIZE_NAME) {
    CXTPControl* pControl = GetSelection();
    CXTPControlEdit* pEdit = pSource != NULL && pSource->IsKindOf(RUNTIME_CLASS(CXTPControlEdit))
                                 ? static_cast<CXTPControlEdit*>(pSource)
                                 : NULL;
    if (pControl != NULL && pEdit != NULL) {
      pControl->SetCustomCaption(pEdit->GetEditText());
      RedrawBarOf(pControl);
    }
    return 1;
  }
  if (nID == XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE) {
    LoadButtonImages();
    CXTPControl* pControl = GetSelection();
    CXTPImageManagerIconSet* pSet =
        pSource != NULL && m_pButtonImages != NULL ? m_pButtonImages->GetIconSet((UINT)pSource->GetIconId()) : NULL;
    if (pControl != NULL && pSet != NULL && m_pCommandBars != NULL && pSet->GetIcons()->GetCount() == 1) {
      POSITION pos = pSet->GetIcons()->GetStartPosition();
      UINT nWidth = 0;
      CXTPImageManagerIcon* pIcon = NULL;
      pSet->GetIcons()->GetNextAssoc(pos, nWidth, pIcon);
      if (pIcon != NULL) {
        const UINT nCustom = m_pCommandBars->GetImageManager()->AddCustomIcon(pIcon->GetIcon());
        if (nCustom != 0) {
          pControl->SetCustomIconId((int)nCustom);
          RedrawBarOf(pControl);
        }
      }
    }
    return 1;
  }
  if (nID >= XTP_ID_CUSTOMIZE_RESET && nID <= XTP_ID_CUSTOMIZE_BEGINAGROUP) return 0;
  // Anything else belongs to the frame.
  if (pSource != NULL && pSource->GetParent() != NULL) pSource->GetParent()->GetRootParent()->CancelTracking();
  if (m_pSiteWnd != NULL && m_pSiteWnd->GetSafeHwnd() != NULL &&
      m_pSiteWnd->SendMessage(XTPM_EXECUTE, wParam, lParam) == 0)
    m_pSiteWnd->SendMessage(WM_COMMAND, wParam, 0);
  return 1;
}

LRESULT CXTPCustomizeSheet::OnSysKeyDownDefault(WPARAM, LPARAM) { return Default(); }

LRESULT CXTPCustomizeSheet::OnKickIdle(WPARAM, LPARAM) {
  // The frame's idle time does not come while the sheet runs its own loop: the bars settle
  // their pending layouts and redraws here.
  CXTPCustomizeDropSource* pSource = m_pCommandBars != NULL ? m_pCommandBars->GetDropSource() : NULL;
  if (pSource != NULL) {
    for (int i = 0; i < pSource->GetRegisteredCount(); i++) {
      CXTPCommandBar* pBar = pSource->GetRegisteredAt(i);
      if (pBar != NULL && pBar->GetSafeHwnd() != NULL) pBar->OnIdleUpdateCmdUI(TRUE);
    }
  }
  return 0;
}

// ---- Dialog -------------------------------------------------------------------------------
BOOL CXTPCustomizeSheet::OnInitDialog() {
  const BOOL bResult = CPropertySheet::OnInitDialog();
  CWnd* pOK = GetDlgItem(IDOK);
  if (pOK != NULL) pOK->ShowWindow(SW_HIDE);
  CWnd* pCancel = GetDlgItem(IDCANCEL);
  if (pCancel != NULL) {
    CString strClose;
    XTPResourceManager()->LoadString(&strClose, XTP_IDS_CUSTOMIZE_CLOSE);
    pCancel->SetWindowText(strClose);
  }
  return bResult;
}

BOOL CXTPCustomizeSheet::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_SYSKEYDOWN && m_hWnd != NULL) {
    CTabCtrl* pTab = GetTabControl();
    const int nCount = pTab != NULL ? pTab->GetItemCount() : 0;
    for (int i = 0; i < nCount; i++) {
      TCHAR szText[257] = {0};
      TCITEM item = {};
      item.mask = TCIF_TEXT;
      item.pszText = szText;
      item.cchTextMax = 256;
      if (!pTab->GetItem(i, &item)) continue;
      LPCTSTR pAmp = _tcschr(szText, _T('&'));
      if (pAmp != NULL && pAmp[1] != 0 && CXTPShortcutManager::CompareAccelKey(pAmp[1], (UINT)pMsg->wParam)) {
        SetActivePage(i);
        return TRUE;
      }
    }
  }
  return CPropertySheet::PreTranslateMessage(pMsg);
}

BOOL CXTPCustomizeSheet::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if ((nID >= XTP_ID_CUSTOMIZE_RESET && nID <= XTP_ID_CUSTOMIZE_BEGINAGROUP) || nID == IDOK || nID == IDCANCEL ||
      nID == IDHELP)
    return CPropertySheet::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
  // The frame's handlers stay live while the sheet runs.
  if (m_pSiteWnd != NULL && m_pSiteWnd->GetSafeHwnd() != NULL)
    return m_pSiteWnd->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
  return FALSE;
}

// ---- Running --------------------------------------------------------------------------------
INT_PTR CXTPCustomizeSheet::DoModal() {
  if (g_pRunRecord != NULL || m_pCommandBars == NULL) return IDCANCEL;
  CXTPCustomizeDropSource* pDropSource = m_pCommandBars->GetDropSource();

  m_pCommandBars->SetCustomizeMode(TRUE);
  if (pDropSource != NULL) pDropSource->SetSheet(this);
  m_pParentWnd = m_pSiteWnd;

  CustomizeRunRecord record = {NULL, this, NULL, this};
  g_pRunRecord = &record;
  if (m_pSiteWnd != NULL) {
    record.hMouseHook = ::SetWindowsHookEx(WH_MOUSE, MouseHookProc, NULL, ::GetCurrentThreadId());
    record.hKeyboardHook = ::SetWindowsHookEx(WH_KEYBOARD, KeyboardHookProc, NULL, ::GetCurrentThreadId());
  }
  HWND hWndCapture = ::GetCapture();
  if (hWndCapture != NULL) ::SendMessage(hWndCapture, WM_CANCELMODE, 0, 0);
  // A menu that ran the command (the menu bar's View menu) stops tracking before the sheet
  // shows, or its hooks would keep the mouse.
  XTPMouseManager()->CloseAllTrackingBars();
  m_pCommandBars->ClosePopups();

  INT_PTR nResult = IDCANCEL;
  if (CPropertySheet::Create(m_pSiteWnd, (DWORD)-1, 0)) {
    RunModalLoop(MLF_SHOWONIDLE);
    nResult = m_nResult;
  } else {
    nResult = -1;
  }

  if (m_hWnd != NULL) {
    const BOOL bWasActive = ::GetActiveWindow() == m_hWnd;
    SetWindowPos(NULL, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    if (record.hMouseHook != NULL) ::UnhookWindowsHookEx(record.hMouseHook);
    if (record.hKeyboardHook != NULL) ::UnhookWindowsHookEx(record.hKeyboardHook);
    record.hMouseHook = record.hKeyboardHook = NULL;
    if (bWasActive && m_pSiteWnd != NULL && m_pSiteWnd->GetSafeHwnd() != NULL) m_pSiteWnd->SetActiveWindow();
    DestroyWindow();
  }
  if (record.hMouseHook != NULL) ::UnhookWindowsHookEx(record.hMouseHook);
  if (record.hKeyboardHook != NULL) ::UnhookWindowsHookEx(record.hKeyboardHook);
  m_pCommandBars->SetCustomizeMode(FALSE);
  if (pDropSource != NULL) pDropSource->SetSheet(NULL);
  XTPMouseManager()->CloseAllTrackingBars();
  g_pRunRecord = NULL;
  return nResult;
}

void CXTPCustomizeSheet::ShowContextMenu(CPoint pt) {
  if (m_pContextMenu == NULL || m_pCommandBars == NULL) return;
  const UINT nFlags = m_pCommandBars->IsLayoutRTL() ? (TPM_RECURSE | TPM_RIGHTALIGN) : TPM_RECURSE;
  CXTPCommandBars::TrackPopupBar(m_pContextMenu, nFlags, pt.x, pt.y, m_pSiteWnd, NULL, this);
}

// ---- The hooks ------------------------------------------------------------------------------
BOOL CXTPCustomizeSheet::FilterMouse(UINT message, HWND hWnd, POINT pt) {
  if (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE) return TRUE;
  CXTPMouseManager* pMouseManager = XTPMouseManager();
  if (pMouseManager->IsMouseLocked()) {
    CXTPCommandBar* pBar = CommandBarOfWindow(hWnd);
    if (IsButtonPress(message) && pBar != NULL && pBar->GetCommandBars() == NULL) return TRUE;
    pMouseManager->HandleClickOutside(message, pt);
  }
  const HWND hWndSite = m_pSiteWnd != NULL ? m_pSiteWnd->GetSafeHwnd() : NULL;
  if (!IsWindowOrChild(hWndSite, hWnd) || IsWindowOrChild(m_hWnd, hWnd)) return TRUE;
  if (IsWindowOrChild(::GetForegroundWindow(), hWnd)) return TRUE;
  CXTPCommandBar* pBar = CommandBarOfWindow(hWnd);
  return pBar != NULL && pBar->GetCommandBars() == m_pCommandBars;
}

BOOL CXTPCustomizeSheet::FilterKeyboard() {
  const HWND hWndFocus = ::GetFocus();
  if (IsWindowOrChild(m_hWnd, hWndFocus)) return TRUE;
  CWnd* pFocusParent = hWndFocus != NULL ? CWnd::FromHandlePermanent(::GetParent(hWndFocus)) : NULL;
  if (pFocusParent != NULL && pFocusParent->IsKindOf(RUNTIME_CLASS(CXTPCommandBar))) return TRUE;
  if (IsWindowOrChild(::GetForegroundWindow(), hWndFocus)) return TRUE;
  return ::GetCapture() != NULL;
}

LRESULT CALLBACK CXTPCustomizeSheet::MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
  CustomizeRunRecord* pRecord = g_pRunRecord;
  HHOOK hHook = pRecord != NULL ? pRecord->hMouseHook : NULL;
  if (nCode < 0 || pRecord == NULL || pRecord->pMouseSheet == NULL)
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
  const MOUSEHOOKSTRUCT* pInfo = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
  if (pRecord->pMouseSheet->FilterMouse((UINT)wParam, pInfo->hwnd, pInfo->pt))
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
  return 1;
}

LRESULT CALLBACK CXTPCustomizeSheet::KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
  CustomizeRunRecord* pRecord = g_pRunRecord;
  HHOOK hHook = pRecord != NULL ? pRecord->hKeyboardHook : NULL;
  if (nCode < 0 || pRecord == NULL || pRecord->pKeyboardSheet == NULL)
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
  if (pRecord->pKeyboardSheet->FilterKeyboard()) return ::CallNextHookEx(hHook, nCode, wParam, lParam);
  return 1;
}
