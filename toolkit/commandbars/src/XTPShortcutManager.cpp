// The shortcut manager: accelerator tables, key names, display texts, the stored value
// "Accelerators", key matching; and the key-capture edit.
#include <framework.h>

#include "XTPCommandBars.h"
#include "XTPPropExchange.h"
#include "XTPShortcutManager.h"

IMPLEMENT_DYNAMIC(CXTPShortcutManager, CCmdTarget)
IMPLEMENT_DYNAMIC(CXTPShortcutEdit, CEdit)

namespace {

const TCHAR kAccelerators[] = _T("Accelerators");

struct KeyNameRow {
  UINT vk;
  LPCTSTR name;
};

const KeyNameRow kKeyNames[] = {
    {0x01, _T("Left Button")}, {0x02, _T("Right Button")}, {0x03, _T("Ctrl+Break")},
    {0x04, _T("Middle Button")}, {0x08, _T("Backspace")}, {0x09, _T("Tab")},
    {0x0C, _T("Clear")}, {0x0D, _T("Enter")}, {0x10, _T("Shift")}, {0x11, _T("Ctrl")},
    {0x12, _T("Alt")}, {0x13, _T("Pause")}, {0x14, _T("Caps Lock")}, {0x1B, _T("Esc")},
    {0x20, _T("Space")}, {0x21, _T("Page Up")}, {0x22, _T("Page Down")}, {0x23, _T("End")},
    {0x24, _T("Home")}, {0x25, _T("Left Arrow")}, {0x26, _T("Up Arrow")},
    {0x27, _T("Right Arrow")}, {0x28, _T("Down Arrow")}, {0x29, _T("Select")},
    {0x2A, _T("Print")}, {0x2B, _T("Execute")}, {0x2C, _T("Snapshot")}, {0x2D, _T("Ins")},
    {0x2E, _T("Del")}, {0x2F, _T("Help")}, {0x5B, _T("Left Windows")},
    {0x5C, _T("Right Windows")}, {0x5D, _T("Application")}, {0x6A, _T("Num *")},
    {0x6B, _T("Num +")}, {0x6C, _T("Separator")}, {0x6D, _T("Num -")}, {0x6E, _T("Num .")},
    {0x6F, _T("Num /")}, {0x90, _T("Num Lock")}, {0x91, _T("Scrl Lock")}, {0xF6, _T("Attn")},
    {0xF7, _T("Crsel")}, {0xF8, _T("Exsel")}, {0xF9, _T("Ereof")}, {0xFA, _T("Play")},
    {0xFB, _T("Zoom")}, {0xFC, _T("No Name")}, {0xFD, _T("Pa1")}, {0xFE, _T("Oem Clear")},
};

}  // namespace

// ---------------------------------------------------------------------------------------
CXTPShortcutManager::CXTPShortcutManager(CXTPCommandBars* pCommandBars)
    : m_bAllowEscapeShortcut(FALSE),
      m_bUseSystemKeyNameText(FALSE),
      m_nPreviewLock(0),
      m_hAccelTable(NULL),
      m_hDefaultAccelTable(NULL),
      m_pCommandBars(pCommandBars),
      m_mapKeyNames(10) {
  m_mapKeyNames.InitHashTable(17);
  CString strName;
  for (UINT vk = 0x30; vk <= 0x39; ++vk) {
    strName.Format(_T("%c"), (TCHAR)vk);
    m_mapKeyNames.SetAt(vk, strName);
  }
  for (UINT vk = 0x41; vk <= 0x5A; ++vk) {
    strName.Format(_T("%c"), (TCHAR)vk);
    m_mapKeyNames.SetAt(vk, strName);
  }
  for (UINT vk = 0x60; vk <= 0x69; ++vk) {
    strName.Format(_T("Num %d"), (int)(vk - 0x60));
    m_mapKeyNames.SetAt(vk, strName);
  }
  for (UINT vk = 0x70; vk <= 0x7B; ++vk) {
    strName.Format(_T("F%d"), (int)(vk - 0x70 + 1));
    m_mapKeyNames.SetAt(vk, strName);
  }
  for (const KeyNameRow& row : kKeyNames) m_mapKeyNames.SetAt(row.vk, row.name);
}

CXTPShortcutManager::~CXTPShortcutManager() {
  if (m_hAccelTable != NULL) ::DestroyAcceleratorTable(m_hAccelTable);
  if (m_hDefaultAccelTable != NULL) ::DestroyAcceleratorTable(m_hDefaultAccelTable);
  m_mapKeyNames.RemoveAll();
}

int CXTPShortcutManager::TableRecords(HACCEL hAccel, ACCEL** ppRecords) {
  *ppRecords = NULL;
  if (hAccel == NULL) return 0;
  const int nCount = ::CopyAcceleratorTableW(hAccel, NULL, 0);
  if (nCount <= 0) return 0;
  ACCEL* pRecords = new ACCEL[nCount];
  memset(pRecords, 0, sizeof(ACCEL) * nCount);
  const int nCopied = ::CopyAcceleratorTableW(hAccel, pRecords, nCount);
  if (nCopied <= 0) {
    delete[] pRecords;
    return 0;
  }
  // The platform's end-of-table mark is no part of a record.
  for (int i = 0; i < nCopied; ++i) pRecords[i].fVirt &= 0x7F;
  *ppRecords = pRecords;
  return nCopied;
}

HACCEL CXTPShortcutManager::CopyAccelTable(HACCEL hAccel) {
  ACCEL* pRecords = NULL;
  const int nCount = TableRecords(hAccel, &pRecords);
  if (nCount == 0) return NULL;
  HACCEL hCopy = ::CreateAcceleratorTableW(pRecords, nCount);
  delete[] pRecords;
  return hCopy;
}

BOOL CXTPShortcutManager::SetAccelerators(const ACCEL* pAccels, int nCount) {
  if (pAccels == NULL || nCount <= 0) return FALSE;
  HACCEL hNew = ::CreateAcceleratorTableW(const_cast<ACCEL*>(pAccels), nCount);
  // A table that cannot be made leaves the one in force as it is.
  if (hNew == NULL) return FALSE;
  if (m_hAccelTable != NULL) ::DestroyAcceleratorTable(m_hAccelTable);
  m_hAccelTable = hNew;
  return TRUE;
}

void CXTPShortcutManager::SetAccelerators(HACCEL hAccelTable) {
  HACCEL hCopy = CopyAccelTable(hAccelTable);
  if (m_hAccelTable != NULL) ::DestroyAcceleratorTable(m_hAccelTable);
  m_hAccelTable = hCopy;
}

void CXTPShortcutManager::SetDefaultAccelerator(HACCEL hAccelTable) {
  HACCEL hCopy = CopyAccelTable(hAccelTable);
  if (m_hDefaultAccelTable != NULL) ::DestroyAcceleratorTable(m_hDefaultAccelTable);
  m_hDefaultAccelTable = hCopy;
}

BOOL CXTPShortcutManager::LoadAccelerators(UINT nIDResource) {
  HACCEL hLoaded = ::LoadAcceleratorsW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
  if (hLoaded == NULL) return FALSE;
  SetAccelerators(hLoaded);
  return m_hAccelTable != NULL;
}

void CXTPShortcutManager::Reset() {
  if (m_hDefaultAccelTable == NULL) return;
  HACCEL hCopy = CopyAccelTable(m_hDefaultAccelTable);
  if (m_hAccelTable != NULL) ::DestroyAcceleratorTable(m_hAccelTable);
  m_hAccelTable = hCopy;
}

BOOL CXTPShortcutManager::TranslateAccelerator(HWND hWndSite, MSG* pMsg) {
  if (m_nPreviewLock > 0 || m_hAccelTable == NULL || hWndSite == NULL || pMsg == NULL) return FALSE;
  if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  return ::TranslateAcceleratorW(hWndSite, m_hAccelTable, pMsg) != 0;
}

void CXTPShortcutManager::OnSetPreviewMode(BOOL bPreview) {
  if (bPreview) {
    ++m_nPreviewLock;
  } else if (m_nPreviewLock > 0) {
    --m_nPreviewLock;
  }
}

// ---------------------------------------------------------------------------------------
CString CXTPShortcutManager::GetSystemKeyName(UINT vk) {
  CString strName;
  if (vk == VK_CANCEL) return strName;
  const UINT nScan = ::MapVirtualKeyExW(vk, 0, ::GetKeyboardLayout(0));
  LONG lParam = (LONG)((nScan << 16) | 1);
  if (vk >= 0x21 && vk <= 0x2F) lParam |= 0x1000000;
  TCHAR szName[50] = {0};
  if (::GetKeyNameTextW(lParam, szName, 50) > 0) {
    strName = szName;
    strName.MakeLower();
    for (int i = 0; i < strName.GetLength(); ++i) {
      const TCHAR ch = strName[i];
      if (::IsCharLowerW(ch)) {
        TCHAR up[2] = {ch, 0};
        ::CharUpperW(up);
        strName.SetAt(i, up[0]);
        break;
      }
    }
  }
  return strName;
}

CString CXTPShortcutManager::GetKeyName(UINT vk) {
  CString strName;
  if (m_bUseSystemKeyNameText) strName = GetSystemKeyName(vk);
  if (strName.IsEmpty()) m_mapKeyNames.Lookup(vk, strName);
  if (strName.IsEmpty() && !m_bUseSystemKeyNameText) strName = GetSystemKeyName(vk);
  return strName;
}

CString CXTPShortcutManager::Format(const ACCEL* pAccel, int* pPriority) {
  CString strText;
  if (pAccel == NULL) {
    if (pPriority != NULL) *pPriority = 0;
    return strText;
  }
  const BOOL bVirt = (pAccel->fVirt & FVIRTKEY) != 0;
  // Ctrl+Break names its modifier itself.
  if (!(bVirt && pAccel->key == VK_CANCEL)) {
    const struct {
      BYTE flag;
      UINT vk;
    } modifiers[] = {{FCONTROL, VK_CONTROL}, {FSHIFT, VK_SHIFT}, {FALT, VK_MENU}};
    for (const auto& m : modifiers) {
      if ((pAccel->fVirt & m.flag) == 0) continue;
      CString strName = GetKeyName(m.vk);
      if (!strName.IsEmpty()) strText += strName + _T("+");
    }
  }
  if (bVirt) {
    strText += GetKeyName(pAccel->key);
  } else if (pAccel->key != 27 && pAccel->key != 9 && pAccel->key != 0) {
    strText += (TCHAR)pAccel->key;
  }
  if (pAccel->key == 0 && !strText.IsEmpty()) strText = strText.Left(strText.GetLength() - 1);
  if (pPriority != NULL) {
    if (pAccel->fVirt & FCONTROL) {
      *pPriority = 3;
    } else if (pAccel->fVirt & FALT) {
      *pPriority = 2;
    } else if (pAccel->fVirt & FSHIFT) {
      *pPriority = 1;
    } else {
      *pPriority = 4;
    }
  }
  return strText;
}

BOOL CXTPShortcutManager::IsAccelAllowed(DWORD dwCombination, UINT /*nCmd*/) {
  const BYTE fVirt = (BYTE)LOWORD(dwCombination);
  const WORD key = HIWORD(dwCombination);
  if (!m_bAllowEscapeShortcut && key == VK_ESCAPE && (fVirt & FVIRTKEY) &&
      (fVirt & (FSHIFT | FCONTROL | FALT)) == 0)
    return FALSE;
  return TRUE;
}

BOOL CXTPShortcutManager::FindDefaultAccelerator(UINT nID, CString& strText) {
  HACCEL hTable = m_hAccelTable;
  if (hTable == NULL && m_hDefaultAccelTable == NULL && m_pCommandBars != NULL) {
    CWnd* pSite = m_pCommandBars->GetSite();
    if (pSite != NULL && pSite->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
      hTable = static_cast<CFrameWnd*>(pSite)->m_hAccelTable;
  }
  if (hTable == NULL) return FALSE;
  ACCEL* pRecords = NULL;
  const int nCount = TableRecords(hTable, &pRecords);
  BOOL bFound = FALSE, bMatched = FALSE;
  CString strBest;
  int nBestPriority = 0;
  for (int i = 0; i < nCount; ++i) {
    if (pRecords[i].cmd != (WORD)nID) continue;
    int nPriority = 0;
    CString strRecord = Format(&pRecords[i], &nPriority);
    if (strRecord == strText) bMatched = TRUE;
    if (!bFound || nPriority > nBestPriority) {
      strBest = strRecord;
      nBestPriority = nPriority;
    }
    bFound = TRUE;
  }
  delete[] pRecords;
  if (!bFound) {
    strText.Empty();
    return FALSE;
  }
  if (!bMatched) strText = strBest;
  return TRUE;
}

// ---------------------------------------------------------------------------------------
void CXTPShortcutManager::SaveShortcuts(LPCTSTR lpszSection) {
  if (m_hDefaultAccelTable == NULL || lpszSection == NULL) return;
  CWinApp* pApp = AfxGetApp();
  if (pApp == NULL) return;
  ACCEL* pRecords = NULL;
  const int nCount = TableRecords(m_hAccelTable, &pRecords);
  if (nCount == 0) return;
  pApp->WriteProfileBinary(lpszSection, kAccelerators, (LPBYTE)pRecords, (UINT)(nCount * sizeof(ACCEL)));
  delete[] pRecords;
}

void CXTPShortcutManager::LoadShortcuts(LPCTSTR lpszSection) {
  if (m_hDefaultAccelTable == NULL || lpszSection == NULL) return;
  CWinApp* pApp = AfxGetApp();
  if (pApp == NULL) return;
  LPBYTE pData = NULL;
  UINT nBytes = 0;
  if (!pApp->GetProfileBinary(lpszSection, kAccelerators, &pData, &nBytes)) return;
  // Whole records only; none, or records the platform refuses, keep the table in force.
  if (pData != NULL && nBytes >= sizeof(ACCEL)) SetAccelerators((const ACCEL*)pData, (int)(nBytes / sizeof(ACCEL)));
  delete[] pData;
}

void CXTPShortcutManager::DoPropExchange(CXTPPropExchange* pPX) {
  if (pPX == NULL || m_hDefaultAccelTable == NULL) return;
  if (pPX->IsStoring()) {
    ACCEL* pRecords = NULL;
    const int nCount = TableRecords(m_hAccelTable, &pRecords);
    if (nCount == 0) return;
    BYTE* pData = (BYTE*)pRecords;
    DWORD nBytes = (DWORD)(nCount * sizeof(ACCEL));
    PX_Blob(pPX, kAccelerators, pData, nBytes);
    delete[] pRecords;
  } else {
    BYTE* pData = NULL;
    DWORD nBytes = 0;
    if (PX_Blob(pPX, kAccelerators, pData, nBytes) && pData != NULL && nBytes >= sizeof(ACCEL))
      SetAccelerators((const ACCEL*)pData, (int)(nBytes / sizeof(ACCEL)));
    free(pData);
  }
}

BOOL CXTPShortcutManager::CompareAccelKey(TCHAR ch, UINT vk) {
  const UINT nChar = ::MapVirtualKeyW(vk, 2);
  if (nChar == 0) return FALSE;
  TCHAR up[2] = {ch, 0};
  ::CharUpperW(up);
  if (vk == (UINT)ch || vk == (UINT)up[0]) return TRUE;
  HKL layouts[32];
  const int nLayouts = ::GetKeyboardLayoutList(32, layouts);
  if (nLayouts <= 1) return FALSE;
  BYTE state[256] = {0};
  if (!::GetKeyboardState(state)) return FALSE;
  for (int i = 0; i < nLayouts; ++i) {
    WCHAR out[4] = {0};
    const UINT nScan = ::MapVirtualKeyExW(vk, 0, layouts[i]);
    if (::ToUnicodeEx(vk, nScan, state, out, 4, 0, layouts[i]) != 1) continue;
    TCHAR outUp[2] = {out[0], 0};
    ::CharUpperW(outUp);
    if (out[0] == ch || outUp[0] == up[0]) return TRUE;
  }
  return FALSE;
}

// ---------------------------------------------------------------------------------------
CXTPShortcutEdit::CXTPShortcutEdit() : m_pManager(NULL), m_accel(), m_bComplete(FALSE) {}

CXTPShortcutEdit::~CXTPShortcutEdit() {}

void CXTPShortcutEdit::ResetKey() {
  m_accel.fVirt = 0;
  m_accel.key = 0;
  m_bComplete = FALSE;
  if (::IsWindow(m_hWnd)) SetWindowText(_T(""));
}

void CXTPShortcutEdit::ShowKey() {
  const DWORD dwCombination = MAKELONG(m_accel.fVirt, m_accel.key);
  if (m_pManager != NULL && m_pManager->IsAccelAllowed(dwCombination, 0)) {
    SetWindowText(m_pManager->Format(&m_accel, NULL));
  } else {
    ResetKey();
  }
}

BOOL CXTPShortcutEdit::PreTranslateMessage(MSG* pMsg) {
  if (pMsg == NULL || pMsg->hwnd != m_hWnd) return CEdit::PreTranslateMessage(pMsg);
  switch (pMsg->message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      SetFocus();
      return TRUE;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      break;
    default:
      return CEdit::PreTranslateMessage(pMsg);
  }
  const BOOL bPress = pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN;
  const UINT vk = (UINT)pMsg->wParam;
  const BOOL bCtrl = ::GetKeyState(VK_CONTROL) < 0;
  const BOOL bAlt = ::GetKeyState(VK_MENU) < 0;
  if (vk == VK_TAB && !bCtrl && !bAlt) {
    if (!m_bComplete) ResetKey();
    return FALSE;
  }
  if (bPress && (pMsg->lParam & 0x40000000) == 0) ResetKey();
  if (!m_bComplete) {
    BYTE fVirt = 0;
    if (::GetKeyState(VK_SHIFT) < 0) fVirt |= FSHIFT;
    if (bCtrl) fVirt |= FCONTROL;
    if (bAlt) fVirt |= FALT;
    m_accel.fVirt = fVirt;
    if (vk != VK_SHIFT && vk != VK_CONTROL && vk != VK_MENU) {
      m_accel.key = (WORD)vk;
      if (bPress) {
        m_bComplete = TRUE;
        m_accel.fVirt |= FVIRTKEY;
      }
    }
  }
  ShowKey();
  return TRUE;
}
