// Themes, style factories and their hosts: which theme a control draws with, who is told
// when it changes, and who deletes what.
#include <gtest/gtest.h>

#include <vector>

#include "XTThemeManager.h"
#include "test_pump.h"
#include "test_window.h"

namespace {

// Counts live themes so that tests see deletions.
int g_nLiveThemes = 0;

class CCountedTheme : public CXTThemeManagerStyle {
 public:
  explicit CCountedTheme(int nType = 0) : m_nType(nType) { ++g_nLiveThemes; }
  ~CCountedTheme() override { --g_nLiveThemes; }
  void RefreshMetrics() override { ++m_nRefreshed; }
  int m_nType;
  int m_nRefreshed = 0;
};

class CTestThemeFactory : public CXTThemeManagerStyleFactory {
  DECLARE_DYNCREATE(CTestThemeFactory)
 public:
  CXTThemeManagerStyle* CreateTheme(int nTheme) override { return new CCountedTheme(nTheme); }
};
IMPLEMENT_DYNCREATE(CTestThemeFactory, CXTThemeManagerStyleFactory)

class COtherThemeFactory : public CXTThemeManagerStyleFactory {
  DECLARE_DYNCREATE(COtherThemeFactory)
 public:
  CXTThemeManagerStyle* CreateTheme(int nTheme) override { return new CCountedTheme(100 + nTheme); }
};
IMPLEMENT_DYNCREATE(COtherThemeFactory, CXTThemeManagerStyleFactory)

// A control's host that records when it is told about a theme change.
class CRecordingHost : public CXTThemeManagerStyleHost {
 public:
  CRecordingHost(CRuntimeClass* pClass, std::vector<CRecordingHost*>* pLog)
      : CXTThemeManagerStyleHost(pClass), m_pLog(pLog) {}
  void OnThemeChanged() override {
    ++m_nChanged;
    if (m_pLog) m_pLog->push_back(this);
  }
  int m_nChanged = 0;
  std::vector<CRecordingHost*>* m_pLog;
};

// Every test starts with the shared factory holding no theme.
class ThemeManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_pShared = XTThemeManager()->GetFactory(RUNTIME_CLASS(CTestThemeFactory));
    ASSERT_NE(m_pShared, nullptr);
    m_pShared->SetTheme(nullptr);
    m_nBaseline = g_nLiveThemes;
  }
  CXTThemeManagerStyleFactory* m_pShared = nullptr;
  int m_nBaseline = 0;
};

TEST_F(ThemeManagerTest, OneSharedFactoryPerClassMadeOnFirstRequest) {
  CXTThemeManager* pManager = XTThemeManager();
  EXPECT_EQ(pManager, XTThemeManager());
  CXTThemeManagerStyleFactory* p1 = pManager->GetFactory(RUNTIME_CLASS(CTestThemeFactory));
  CXTThemeManagerStyleFactory* p2 = pManager->GetFactory(RUNTIME_CLASS(CTestThemeFactory));
  CXTThemeManagerStyleFactory* p3 = pManager->GetFactory(RUNTIME_CLASS(COtherThemeFactory));
  EXPECT_EQ(p1, p2);
  EXPECT_NE(p1, p3);
  EXPECT_TRUE(p1->IsKindOf(RUNTIME_CLASS(CTestThemeFactory)));
  EXPECT_TRUE(p3->IsKindOf(RUNTIME_CLASS(COtherThemeFactory)));
  // Both are in the list of every factory.
  int nFound = 0;
  for (CXTThemeManagerStyleFactory* p = pManager->GetFirstFactory(); p; p = p->GetNextFactory())
    nFound += (p == p1 || p == p3) ? 1 : 0;
  EXPECT_EQ(nFound, 2);
  // Not a factory class, or no class at all: none.
  EXPECT_EQ(pManager->GetFactory(RUNTIME_CLASS(CCmdTarget)), nullptr);
  EXPECT_EQ(pManager->GetFactory(nullptr), nullptr);
}

TEST_F(ThemeManagerTest, BaseFactoryCreatesNoTheme) {
  CXTThemeManagerStyleFactory factory;
  EXPECT_EQ(factory.GetSafeTheme(), nullptr);
  EXPECT_EQ(factory.GetTheme(), nullptr);
  factory.RefreshMetrics();  // nothing to refresh, nothing breaks
}

TEST_F(ThemeManagerTest, SafeThemeIsCreatedOnceOfTheCurrentTypeAndRefreshed) {
  XTThemeManager()->SetTheme(2);
  CXTThemeManagerStyle* pTheme = m_pShared->GetSafeTheme();
  XTThemeManager()->SetTheme(0);
  ASSERT_NE(pTheme, nullptr);
  EXPECT_EQ(static_cast<CCountedTheme*>(pTheme)->m_nType, 2);
  EXPECT_EQ(static_cast<CCountedTheme*>(pTheme)->m_nRefreshed, 1);
  EXPECT_EQ(pTheme->GetFactory(), m_pShared);
  EXPECT_EQ(m_pShared->GetSafeTheme(), pTheme);
  EXPECT_EQ(g_nLiveThemes, m_nBaseline + 1);
}

TEST_F(ThemeManagerTest, HostsOfAClassShareTheFactoryTheme) {
  CRecordingHost a(RUNTIME_CLASS(CTestThemeFactory), nullptr), b(RUNTIME_CLASS(CTestThemeFactory), nullptr);
  EXPECT_EQ(a.GetFactory(), m_pShared);
  EXPECT_EQ(b.GetFactory(), m_pShared);
  EXPECT_EQ(a.GetSafeTheme(), b.GetSafeTheme());
  EXPECT_NE(a.GetSafeTheme(), nullptr);
}

TEST_F(ThemeManagerTest, SetThemeOnFactoryTellsHostsMostRecentFirst) {
  std::vector<CRecordingHost*> log;
  CRecordingHost first(RUNTIME_CLASS(CTestThemeFactory), &log);
  CRecordingHost second(RUNTIME_CLASS(CTestThemeFactory), &log);
  CRecordingHost third(RUNTIME_CLASS(CTestThemeFactory), &log);
  CCountedTheme* pTheme = new CCountedTheme(7);
  m_pShared->SetTheme(pTheme);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], &third);
  EXPECT_EQ(log[1], &second);
  EXPECT_EQ(log[2], &first);
  EXPECT_EQ(pTheme->m_nRefreshed, 1);
  EXPECT_EQ(pTheme->GetFactory(), m_pShared);
  EXPECT_EQ(first.GetSafeTheme(), pTheme);
}

TEST_F(ThemeManagerTest, SetThemeReplacingDeletesTheOldTheme) {
  m_pShared->SetTheme(new CCountedTheme(1));
  EXPECT_EQ(g_nLiveThemes, m_nBaseline + 1);
  m_pShared->SetTheme(new CCountedTheme(2));
  EXPECT_EQ(g_nLiveThemes, m_nBaseline + 1);
  EXPECT_EQ(static_cast<CCountedTheme*>(m_pShared->GetTheme())->m_nType, 2);
}

TEST_F(ThemeManagerTest, SetThemeWithTheCurrentThemeKeepsIt) {
  CCountedTheme* pTheme = new CCountedTheme(5);
  m_pShared->SetTheme(pTheme);
  m_pShared->SetTheme(pTheme);  // the same object again: still alive and held
  EXPECT_EQ(m_pShared->GetTheme(), pTheme);
  EXPECT_EQ(g_nLiveThemes, m_nBaseline + 1);
  EXPECT_EQ(pTheme->m_nType, 5);
  EXPECT_EQ(pTheme->m_nRefreshed, 2);
}

TEST_F(ThemeManagerTest, NullThemeOnHostWithoutPrivateFactoryChangesNothing) {
  CRecordingHost host(RUNTIME_CLASS(CTestThemeFactory), nullptr);
  CXTThemeManagerStyle* pShared = host.GetSafeTheme();
  host.SetTheme(nullptr);
  EXPECT_EQ(host.m_nChanged, 0);
  EXPECT_FALSE(host.HasPrivateFactory());
  EXPECT_EQ(host.GetFactory(), m_pShared);
  EXPECT_EQ(host.GetSafeTheme(), pShared);
}

TEST_F(ThemeManagerTest, OwnThemeLeavesOtherHostsOnTheSharedTheme) {
  std::vector<CRecordingHost*> log;
  CRecordingHost mine(RUNTIME_CLASS(CTestThemeFactory), &log);
  CRecordingHost other(RUNTIME_CLASS(CTestThemeFactory), &log);
  CXTThemeManagerStyle* pShared = other.GetSafeTheme();
  CCountedTheme* pOwn = new CCountedTheme(9);
  mine.SetTheme(pOwn);
  EXPECT_TRUE(mine.HasPrivateFactory());
  EXPECT_NE(mine.GetFactory(), m_pShared);
  EXPECT_TRUE(mine.GetFactory()->IsKindOf(RUNTIME_CLASS(CTestThemeFactory)));
  EXPECT_EQ(mine.GetSafeTheme(), pOwn);
  EXPECT_EQ(other.GetSafeTheme(), pShared);
  EXPECT_EQ(mine.m_nChanged, 1);
  EXPECT_EQ(other.m_nChanged, 0);

  // The shared factory's theme change reaches only the host still on it.
  log.clear();
  m_pShared->SetTheme(new CCountedTheme(3));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], &other);

  // Back to the shared theme: the private factory and its theme are deleted.
  const int nBefore = g_nLiveThemes;
  mine.SetTheme(nullptr);
  EXPECT_FALSE(mine.HasPrivateFactory());
  EXPECT_EQ(mine.GetFactory(), m_pShared);
  EXPECT_EQ(g_nLiveThemes, nBefore - 1);
  EXPECT_EQ(mine.m_nChanged, 2);
}

TEST_F(ThemeManagerTest, DestroyedHostsLeaveTheListAndDeleteTheirPrivateFactory) {
  std::vector<CRecordingHost*> log;
  CRecordingHost keeper(RUNTIME_CLASS(CTestThemeFactory), &log);
  const int nBefore = g_nLiveThemes;
  {
    CRecordingHost gone(RUNTIME_CLASS(CTestThemeFactory), &log);
    CRecordingHost owner(RUNTIME_CLASS(CTestThemeFactory), &log);
    owner.SetTheme(new CCountedTheme(4));
    EXPECT_EQ(g_nLiveThemes, nBefore + 1);
  }
  EXPECT_EQ(g_nLiveThemes, nBefore);
  log.clear();
  m_pShared->SetTheme(new CCountedTheme(1));
  ASSERT_EQ(log.size(), 1u);  // only the host still alive is told
  EXPECT_EQ(log[0], &keeper);
}

TEST_F(ThemeManagerTest, SetFactoryClassMovesTheHostBetweenSharedFactories) {
  std::vector<CRecordingHost*> log;
  CRecordingHost host(RUNTIME_CLASS(CTestThemeFactory), &log);
  host.SetFactoryClass(RUNTIME_CLASS(COtherThemeFactory));
  CXTThemeManagerStyleFactory* pOther = XTThemeManager()->GetFactory(RUNTIME_CLASS(COtherThemeFactory));
  EXPECT_EQ(host.GetFactory(), pOther);
  EXPECT_EQ(host.GetFactoryClass(), RUNTIME_CLASS(COtherThemeFactory));
  m_pShared->SetTheme(new CCountedTheme(1));
  EXPECT_TRUE(log.empty());  // no longer on the first factory's list
  pOther->SetTheme(new CCountedTheme(2));
  ASSERT_EQ(log.size(), 1u);
  // A host without a class has no factory and no theme, and a theme given to it is not
  // lost track of.
  CRecordingHost bare(nullptr, nullptr);
  EXPECT_EQ(bare.GetFactory(), nullptr);
  EXPECT_EQ(bare.GetSafeTheme(), nullptr);
  const int nBefore = g_nLiveThemes;
  bare.SetTheme(new CCountedTheme(1));
  EXPECT_EQ(g_nLiveThemes, nBefore);
}

TEST_F(ThemeManagerTest, DestroyingAManagerDeletesItsSharedFactoriesAndTheirThemes) {
  const int nBefore = g_nLiveThemes;
  CXTThemeManagerStyleFactory* pFactory = nullptr;
  {
    CXTThemeManager manager;
    pFactory = manager.GetFactory(RUNTIME_CLASS(COtherThemeFactory));
    ASSERT_NE(pFactory, nullptr);
    EXPECT_EQ(manager.GetFactory(RUNTIME_CLASS(COtherThemeFactory)), pFactory);
    EXPECT_NE(pFactory, XTThemeManager()->GetFactory(RUNTIME_CLASS(COtherThemeFactory)));
    ASSERT_NE(pFactory->GetSafeTheme(), nullptr);
    EXPECT_EQ(g_nLiveThemes, nBefore + 1);
  }
  EXPECT_EQ(g_nLiveThemes, nBefore);
  // The factory left the process's list when it was deleted.
  for (CXTThemeManagerStyleFactory* p = XTThemeManager()->GetFirstFactory(); p; p = p->GetNextFactory())
    EXPECT_NE(p, pFactory);
}

// Transparent drawing copies what the parent shows under the control.
TEST_F(ThemeManagerTest, TransparentBackCopiesTheParentPicture) {
  CWnd parent;
  // No WS_CLIPCHILDREN: what the parent paints lies under the child too.
  ASSERT_TRUE(testsupport::CreateTestWindow(parent, CRect(1000, 760, 1200, 920), L"Theme parent", WS_POPUP | WS_VISIBLE));
  CWnd child;
  ASSERT_TRUE(child.CreateEx(WS_EX_TRANSPARENT, L"STATIC", L"", WS_CHILD | WS_VISIBLE, CRect(20, 30, 80, 70),
                             &parent, 1));
  CCountedTheme theme;
  CDC memDC;
  ASSERT_TRUE(memDC.CreateCompatibleDC(nullptr));
  CBitmap bmp;
  HDC hdcScreen = ::GetDC(nullptr);
  bmp.Attach(::CreateCompatibleBitmap(hdcScreen, 60, 40));
  ::ReleaseDC(nullptr, hdcScreen);
  ASSERT_NE(bmp.GetSafeHandle(), nullptr);
  CBitmap* pOld = memDC.SelectObject(&bmp);
  // Paint the parent red where the child lies, straight onto its DC, and take the
  // background. A heavily loaded display may not show a new window's surface at once:
  // the first paints are let through and the picture taken again until it is there.
  bool bShown = false;
  for (int attempt = 0; attempt < 40 && !bShown; ++attempt) {
    testsupport::PumpFor(attempt == 0 ? 50 : 25);
    {
      CClientDC dc(&parent);
      dc.FillSolidRect(0, 0, 200, 160, RGB(200, 0, 0));
    }
    ::GdiFlush();
    memDC.FillSolidRect(0, 0, 60, 40, RGB(0, 0, 255));
    EXPECT_TRUE(theme.DrawTransparentBack(&memDC, &child));
    bShown = memDC.GetPixel(5, 5) == RGB(200, 0, 0);
  }
  EXPECT_EQ(memDC.GetPixel(5, 5), RGB(200, 0, 0));
  EXPECT_EQ(memDC.GetPixel(55, 35), RGB(200, 0, 0));

  // A window without the transparent style, and one whose parent is not a window, draw
  // nothing.
  child.ModifyStyleEx(WS_EX_TRANSPARENT, 0);
  memDC.FillSolidRect(0, 0, 60, 40, RGB(0, 0, 255));
  EXPECT_FALSE(theme.DrawTransparentBack(&memDC, &child));
  EXPECT_EQ(memDC.GetPixel(5, 5), RGB(0, 0, 255));
  CWnd top;
  ASSERT_TRUE(top.CreateEx(WS_EX_TRANSPARENT, L"STATIC", L"", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
  EXPECT_FALSE(theme.TakeSnapShot(&top));
  EXPECT_FALSE(theme.DrawTransparentBack(&memDC, &top));
  EXPECT_FALSE(theme.DrawTransparentBack(&memDC, nullptr));
  memDC.SelectObject(pOld);
  top.DestroyWindow();
  child.DestroyWindow();
  parent.DestroyWindow();
}

}  // namespace
