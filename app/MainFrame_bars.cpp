// The frame's command bars: building them at creation, storing them at the end.
#include "MainFrameBars.h"

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPCustomizeCommandsPage.h"
#include "XTPCustomizeKeyboardPage.h"
#include "XTPCustomizeOptionsPage.h"
#include "XTPCustomizeSheet.h"
#include "XTPFrameWnd.h"
#include "XTPImageManager.h"
#include "XTPPaintManager.h"
#include "XTPShortcutManager.h"
#include "XTPStatusBar.h"
#if FRAMEBARS_HAVE_TOOLBAR
#include "XTPToolBar.h"
#endif
#if FRAMEBARS_HAVE_MENUBAR
#include "XTPMenuBar.h"
#endif
#include "customize_res.h"
#include "resource.h"

const TCHAR CMainFrameBars::kProfileName[] = _T("CommandBars");

const UINT CMainFrameBars::kIndicators[4] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                             ID_INDICATOR_SCRL};

const UINT CMainFrameBars::kHiddenCommands[2] = {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW};

const CMainFrameBars::CommandIcon CMainFrameBars::kCommandIcons[5] = {
    {IDI_CMD_ADD_FILES, ID_FILE_ADD_FILES},   {IDI_CMD_ADD_DOMINO, ID_FILE_ADD_DOMINO},
    {IDI_CMD_EXPORT, ID_FILE_EXPORT},         {IDI_CMD_HELP, ID_HELP_CONTENTS},
    {IDI_CMD_HOMEPAGE, ID_HELP_HOMEPAGE},
};

namespace {

// The bar style of the status bar: a bottom bar with a top border (0x50008200).
const DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM | 0x0200;

// The bars' themes: 0 the default look, 3 the system's visual styles.
const int kDefaultTheme = 0;
const int kVisualStylesTheme = 3;

void EnsurePaintManager() {
  if (CXTPPaintManager::GetCurrentPaintManager() == NULL) CXTPPaintManager::SetTheme(kDefaultTheme);
}

}  // namespace

BOOL CMainFrameBars::AdoptProgramShortcuts(CXTPCommandBars* pCommandBars, UINT nIDAccel) {
  if (pCommandBars == NULL || pCommandBars->GetShortcutManager() == NULL) return FALSE;
  // A table loaded from the resources belongs to the module; the manager keeps copies.
  HACCEL hProgram = ::LoadAcceleratorsW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDAccel));
  if (hProgram == NULL) return FALSE;
  CXTPShortcutManager* pShortcuts = pCommandBars->GetShortcutManager();
  pShortcuts->SetDefaultAccelerator(hProgram);
  pShortcuts->SetAccelerators(hProgram);
  return pShortcuts->GetDefaultAccelerator() != NULL && pShortcuts->GetAccelerators() != NULL;
}

int CMainFrameBars::Create(CXTPFrameWnd* pFrame, CXTPStatusBar* pStatusBar, BOOL bMenuBar) {
  if (pFrame == NULL || pFrame->GetSafeHwnd() == NULL || pStatusBar == NULL) return -1;

  // The status bar: the message pane and the three lock indicators.
  if (!pStatusBar->Create(pFrame, kStatusBarStyle, AFX_IDW_STATUS_BAR)) return -1;
  if (!pStatusBar->SetIndicators(kIndicators, 4)) return -1;

  EnsurePaintManager();

  // The command bars, held by the frame from here on.
  CXTPCommandBars* pCommandBars = pFrame->m_pCommandBars;
  if (pCommandBars == NULL) {
    CObject* pObject = RUNTIME_CLASS(CXTPCommandBars)->CreateObject();
    if (pObject == NULL || !pObject->IsKindOf(RUNTIME_CLASS(CXTPCommandBars))) {
      delete pObject;
      return -1;
    }
    pCommandBars = static_cast<CXTPCommandBars*>(pObject);
    pFrame->m_pCommandBars = pCommandBars;
  }
  pCommandBars->SetSite(pFrame);
#if FRAMEBARS_HAVE_TOOLBAR
  pCommandBars->CreateDockBars();
#endif

#if FRAMEBARS_HAVE_MENUBAR
  if (bMenuBar && pCommandBars->SetMenu(_T("Menu Bar"), IDR_MAINFRAME) == NULL) return -1;
#else
  (void)bMenuBar;
#endif

#if FRAMEBARS_HAVE_TOOLBAR
  CXTPToolBar* pStandard = pCommandBars->Add(_T("Standard"), xtpBarTop);
  if (pStandard == NULL || !pStandard->LoadToolBar(IDR_TOOLBAR)) return -1;
#endif

  // The command icons (every size the icon resources hold).
  CXTPImageManager* pImages = XTPImageManager();
  for (const CommandIcon& icon : kCommandIcons) pImages->SetIcon(icon.nIconId, icon.nCommand);

  EnsurePaintManager();
#if FRAMEBARS_HAVE_TOOLBAR
  pStandard->SetShowTextBelowIcons(1);
#endif
  CXTPPaintManager::SetTheme(kVisualStylesTheme);

  pCommandBars->HideCommands(kHiddenCommands, 2);
  pCommandBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;

  // The program's accelerators become the bars' shortcut table, so the shortcuts can be
  // customised and stored; then whatever the profile holds is restored.
  AdoptProgramShortcuts(pCommandBars, IDR_MAINFRAME);
#if FRAMEBARS_HAVE_PERSIST
  pCommandBars->LoadOptions(kProfileName);
  pCommandBars->LoadBarState(kProfileName);
#endif
  pCommandBars->GetShortcutManager()->LoadShortcuts(kProfileName);
  return 0;
}

void CMainFrameBars::Save(CXTPFrameWnd* pFrame) {
  CXTPCommandBars* pCommandBars = pFrame != NULL ? pFrame->GetCommandBars() : NULL;
  if (pCommandBars == NULL) return;
#if FRAMEBARS_HAVE_PERSIST
  pCommandBars->SaveOptions(kProfileName);
  pCommandBars->SaveBarState(kProfileName);
#endif
  pCommandBars->GetShortcutManager()->SaveShortcuts(kProfileName);
}

INT_PTR CMainFrameBars::Customize(CXTPFrameWnd* pFrame) {
  CXTPCommandBars* pCommandBars = pFrame != NULL ? pFrame->GetCommandBars() : NULL;
  if (pCommandBars == NULL) return IDCANCEL;
  // Declared in this order, the pages go before the sheet: options, keyboard, sheet.
  CXTPCustomizeSheet sheet(pCommandBars);
  CXTPCustomizeKeyboardPage pageKeyboard(&sheet);
  sheet.AddPage(&pageKeyboard);
  pageKeyboard.AddCategories(IDR_MAINFRAME, FALSE);
  CXTPCustomizeOptionsPage pageOptions(&sheet);
  sheet.AddPage(&pageOptions);
  CXTPCustomizeCommandsPage* pCommands = sheet.GetCommandsPage();
  pCommands->AddCategories(IDR_MAINFRAME, FALSE);
  pCommands->InsertAllCommandsCategory(XTP_IDS_ALLCOMMANDS, -1);
  pCommands->InsertBuiltInMenus(IDR_MAINFRAME, XTP_IDS_BUILTINMENUS, -1);
  pCommands->InsertNewMenuCategory(XTP_IDS_NEWMENU, -1);
  return sheet.DoModal();
}

CXTPToolBar* CMainFrameBars::GetStandardBar(CXTPFrameWnd* pFrame) {
#if FRAMEBARS_HAVE_TOOLBAR
  CXTPCommandBars* pCommandBars = pFrame != NULL ? pFrame->GetCommandBars() : NULL;
  if (pCommandBars == NULL) return NULL;
  for (int i = 0; i < pCommandBars->GetCount(); i++) {
    CXTPToolBar* pBar = pCommandBars->GetAt(i);
    if (pBar != NULL && pBar->GetTitle() == _T("Standard")) return pBar;
  }
#else
  (void)pFrame;
#endif
  return NULL;
}
