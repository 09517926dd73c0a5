// Themes, style factories, their hosts and the process's theme manager.
#include "XTThemeManager.h"

// ---------------------------------------------------------------------------------------
// The theme manager lives from its first use to the end of the process. Factories that
// outlive it (a private factory of a control destroyed during exit) find it gone.
namespace {
CXTThemeManager* g_pThemeManager = nullptr;
bool g_bThemeManagerGone = false;

struct ThemeManagerExit {
  ~ThemeManagerExit() {
    CXTThemeManager* p = g_pThemeManager;
    g_pThemeManager = nullptr;
    g_bThemeManagerGone = true;
    delete p;
  }
} g_themeManagerExit;
}  // namespace

CXTThemeManager* AFXAPI XTThemeManager() {
  if (g_pThemeManager == nullptr && !g_bThemeManagerGone) g_pThemeManager = new CXTThemeManager;
  return g_pThemeManager;
}

CXTThemeManager* PASCAL CXTThemeManager::GetExisting() { return g_pThemeManager; }

// ---------------------------------------------------------------------------------------
CXTThemeManagerStyle::CXTThemeManagerStyle() : m_pFactory(nullptr), m_dwFlags(0) {}

CXTThemeManagerStyle::~CXTThemeManagerStyle() = default;

void CXTThemeManagerStyle::RefreshMetrics() {}

BOOL CXTThemeManagerStyle::TakeSnapShot(CWnd* pWnd) {
  HWND hWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
  if (hWnd == nullptr || !::IsWindow(hWnd)) return FALSE;
  HWND hParent = ::GetParent(hWnd);
  if (hParent == nullptr || !::IsWindow(hParent)) return FALSE;

  if (m_bmpParentBack.GetSafeHandle() != nullptr) m_bmpParentBack.DeleteObject();

  RECT rc;
  ::GetWindowRect(hWnd, &rc);
  ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
  const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;

  HDC hdcParent = ::GetDC(hParent);
  if (hdcParent == nullptr) return FALSE;
  BOOL bResult = FALSE;
  HBITMAP hbm = ::CreateCompatibleBitmap(hdcParent, cx > 0 ? cx : 1, cy > 0 ? cy : 1);
  HDC hdcMem = hbm ? ::CreateCompatibleDC(hdcParent) : nullptr;
  if (hdcMem != nullptr) {
    HGDIOBJ hOld = ::SelectObject(hdcMem, hbm);
    ::BitBlt(hdcMem, 0, 0, cx, cy, hdcParent, rc.left, rc.top, SRCCOPY);
    ::SelectObject(hdcMem, hOld);
    ::DeleteDC(hdcMem);
    m_bmpParentBack.Attach(hbm);
    bResult = TRUE;
  } else if (hbm != nullptr) {
    ::DeleteObject(hbm);
  }
  ::ReleaseDC(hParent, hdcParent);
  return bResult;
}

BOOL CXTThemeManagerStyle::DrawTransparentBack(CDC* pDC, CWnd* pWnd) {
  HWND hWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
  if (pDC == nullptr || pDC->GetSafeHdc() == nullptr || hWnd == nullptr || !::IsWindow(hWnd))
    return FALSE;
  if ((::GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT) == 0) return FALSE;
  if (!TakeSnapShot(pWnd)) return FALSE;

  RECT rcClient;
  ::GetClientRect(hWnd, &rcClient);
  HDC hdcMem = ::CreateCompatibleDC(pDC->GetSafeHdc());
  if (hdcMem == nullptr) return FALSE;
  HGDIOBJ hOld = ::SelectObject(hdcMem, m_bmpParentBack.GetSafeHandle());
  ::BitBlt(pDC->GetSafeHdc(), 0, 0, rcClient.right - rcClient.left, rcClient.bottom - rcClient.top,
           hdcMem, 0, 0, SRCCOPY);
  ::SelectObject(hdcMem, hOld);
  ::DeleteDC(hdcMem);
  return TRUE;
}

// ---------------------------------------------------------------------------------------
IMPLEMENT_DYNCREATE(CXTThemeManagerStyleFactory, CObject)

CXTThemeManagerStyleFactory::CXTThemeManagerStyleFactory()
    : m_pTheme(nullptr), m_pFirstHost(nullptr), m_pNextFactory(nullptr) {
  if (CXTThemeManager* pManager = XTThemeManager()) pManager->AddFactory(this);
}

CXTThemeManagerStyleFactory::~CXTThemeManagerStyleFactory() {
  delete m_pTheme;
  m_pTheme = nullptr;
  // Hosts still linked here must not keep a pointer to a dead factory.
  for (CXTThemeManagerStyleHost* pHost = m_pFirstHost; pHost != nullptr;) {
    CXTThemeManagerStyleHost* pNext = pHost->m_pNextHost;
    pHost->m_pNextHost = nullptr;
    if (pHost->m_pSharedFactory == this) pHost->m_pSharedFactory = nullptr;
    pHost = pNext;
  }
  m_pFirstHost = nullptr;
  if (CXTThemeManager* pManager = CXTThemeManager::GetExisting()) pManager->RemoveFactory(this);
}

CXTThemeManagerStyle* CXTThemeManagerStyleFactory::CreateTheme(int /*nTheme*/) { return nullptr; }

void CXTThemeManagerStyleFactory::RefreshMetrics() {
  if (m_pTheme != nullptr) m_pTheme->RefreshMetrics();
}

CXTThemeManagerStyle* CXTThemeManagerStyleFactory::GetSafeTheme() {
  if (m_pTheme != nullptr) return m_pTheme;
  CXTThemeManager* pManager = CXTThemeManager::GetExisting();
  CXTThemeManagerStyle* pTheme = CreateTheme(pManager ? pManager->GetTheme() : 0);
  if (pTheme == nullptr) return nullptr;
  pTheme->m_pFactory = this;
  pTheme->RefreshMetrics();
  m_pTheme = pTheme;
  return m_pTheme;
}

void CXTThemeManagerStyleFactory::SetTheme(CXTThemeManagerStyle* pTheme) {
  // Given the theme it already holds, the factory keeps it (deleting it first would leave
  // the factory holding a freed object).
  if (pTheme != m_pTheme) {
    delete m_pTheme;
    m_pTheme = pTheme;
  }
  if (m_pTheme != nullptr) {
    m_pTheme->m_pFactory = this;
    m_pTheme->RefreshMetrics();
  }
  for (CXTThemeManagerStyleHost* pHost = m_pFirstHost; pHost != nullptr;) {
    CXTThemeManagerStyleHost* pNext = pHost->m_pNextHost;  // a host may leave while told
    pHost->OnThemeChanged();
    pHost = pNext;
  }
}

void CXTThemeManagerStyleFactory::AddHost(CXTThemeManagerStyleHost* pHost) {
  if (pHost == nullptr) return;
  RemoveHost(pHost);  // never twice in the list
  pHost->m_pNextHost = m_pFirstHost;
  m_pFirstHost = pHost;
}

void CXTThemeManagerStyleFactory::RemoveHost(CXTThemeManagerStyleHost* pHost) {
  for (CXTThemeManagerStyleHost** pp = &m_pFirstHost; *pp != nullptr; pp = &(*pp)->m_pNextHost) {
    if (*pp == pHost) {
      *pp = pHost->m_pNextHost;
      pHost->m_pNextHost = nullptr;
      return;
    }
  }
}

// ---------------------------------------------------------------------------------------
CXTThemeManagerStyleHost::CXTThemeManagerStyleHost(CRuntimeClass* pFactoryClass)
    : m_bOwnFactory(FALSE),
      m_pFactoryClass(nullptr),
      m_pPrivateFactory(nullptr),
      m_pSharedFactory(nullptr),
      m_pNextHost(nullptr) {
  if (pFactoryClass != nullptr) SetFactoryClass(pFactoryClass);
}

CXTThemeManagerStyleHost::~CXTThemeManagerStyleHost() {
  if (CXTThemeManagerStyleFactory* pFactory = GetFactory()) pFactory->RemoveHost(this);
  if (m_bOwnFactory) delete m_pPrivateFactory;
  m_pPrivateFactory = nullptr;
  m_bOwnFactory = FALSE;
}

CXTThemeManagerStyleFactory* CXTThemeManagerStyleHost::CreateThemeFactory() {
  if (m_pFactoryClass == nullptr ||
      !m_pFactoryClass->IsDerivedFrom(RUNTIME_CLASS(CXTThemeManagerStyleFactory)))
    return nullptr;
  CObject* pObject = m_pFactoryClass->CreateObject();
  return static_cast<CXTThemeManagerStyleFactory*>(pObject);
}

void CXTThemeManagerStyleHost::OnThemeChanged() {}

void CXTThemeManagerStyleHost::SetFactoryClass(CRuntimeClass* pFactoryClass) {
  if (m_pSharedFactory != nullptr) m_pSharedFactory->RemoveHost(this);
  m_pFactoryClass = pFactoryClass;
  CXTThemeManager* pManager = XTThemeManager();
  m_pSharedFactory = pManager ? pManager->GetFactory(pFactoryClass) : nullptr;
  // A host with a private factory stays in that factory's list.
  if (m_pSharedFactory != nullptr && m_pPrivateFactory == nullptr) m_pSharedFactory->AddHost(this);
}

CXTThemeManagerStyleFactory* CXTThemeManagerStyleHost::GetFactory() const {
  return m_pPrivateFactory != nullptr ? m_pPrivateFactory : m_pSharedFactory;
}

CXTThemeManagerStyle* CXTThemeManagerStyleHost::GetSafeTheme() const {
  CXTThemeManagerStyleFactory* pFactory = GetFactory();
  return pFactory ? pFactory->GetSafeTheme() : nullptr;
}

void CXTThemeManagerStyleHost::SetTheme(CXTThemeManagerStyle* pTheme) {
  if (m_pPrivateFactory == nullptr && pTheme == nullptr) return;

  if (CXTThemeManagerStyleFactory* pFactory = GetFactory()) pFactory->RemoveHost(this);
  if (m_bOwnFactory) delete m_pPrivateFactory;
  m_pPrivateFactory = nullptr;
  m_bOwnFactory = FALSE;

  if (pTheme != nullptr) {
    CXTThemeManagerStyleFactory* pFactory = CreateThemeFactory();
    if (pFactory != nullptr) {
      pFactory->SetTheme(pTheme);
      m_pPrivateFactory = pFactory;
      m_bOwnFactory = TRUE;
    } else {
      delete pTheme;  // the host took it over and has nowhere to keep it
    }
  }
  OnThemeChanged();
  if (CXTThemeManagerStyleFactory* pFactory = GetFactory()) pFactory->AddHost(this);
}

// ---------------------------------------------------------------------------------------
CXTThemeManager::CXTThemeManager() : m_mapFactories(10), m_pFirstFactory(nullptr), m_nTheme(0) {}

CXTThemeManager::~CXTThemeManager() {
  // The list first: private factories still alive belong to their hosts and only leave
  // it; then the shared factories of the map are deleted.
  while (m_pFirstFactory != nullptr) {
    CXTThemeManagerStyleFactory* p = m_pFirstFactory;
    m_pFirstFactory = p->m_pNextFactory;
    p->m_pNextFactory = nullptr;
  }
  POSITION pos = m_mapFactories.GetStartPosition();
  while (pos != nullptr) {
    CRuntimeClass* pClass;
    CXTThemeManagerStyleFactory* pFactory;
    m_mapFactories.GetNextAssoc(pos, pClass, pFactory);
    delete pFactory;
  }
  m_mapFactories.RemoveAll();
}

CXTThemeManagerStyleFactory* CXTThemeManager::GetFactory(CRuntimeClass* pFactoryClass) {
  if (pFactoryClass == nullptr) return nullptr;
  CXTThemeManagerStyleFactory* pFactory = nullptr;
  if (m_mapFactories.Lookup(pFactoryClass, pFactory)) return pFactory;
  if (!pFactoryClass->IsDerivedFrom(RUNTIME_CLASS(CXTThemeManagerStyleFactory))) return nullptr;
  CObject* pObject = pFactoryClass->CreateObject();
  if (pObject == nullptr) return nullptr;
  pFactory = static_cast<CXTThemeManagerStyleFactory*>(pObject);
  m_mapFactories.SetAt(pFactoryClass, pFactory);
  return pFactory;
}

void CXTThemeManager::AddFactory(CXTThemeManagerStyleFactory* pFactory) {
  if (pFactory == nullptr) return;
  pFactory->m_pNextFactory = m_pFirstFactory;
  m_pFirstFactory = pFactory;
}

void CXTThemeManager::RemoveFactory(CXTThemeManagerStyleFactory* pFactory) {
  for (CXTThemeManagerStyleFactory** pp = &m_pFirstFactory; *pp != nullptr;
       pp = &(*pp)->m_pNextFactory) {
    if (*pp == pFactory) {
      *pp = pFactory->m_pNextFactory;
      pFactory->m_pNextFactory = nullptr;
      return;
    }
  }
}
