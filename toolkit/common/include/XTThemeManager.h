// Themes of the toolkit's controls and the factories that hold them.
//
// A themed control does not draw itself: it asks its theme, an object derived from
// CXTThemeManagerStyle. Each control class has a style factory (a class derived from
// CXTThemeManagerStyleFactory) that creates and holds the theme all controls of that
// class share. A control embeds a CXTThemeManagerStyleHost; given a theme of its own, the
// host gets a private factory instead of the shared one. The process-wide theme manager
// maps each factory class to its shared factory and lists every factory alive.
#pragma once

#include <framework.h>

class CXTThemeManager;
class CXTThemeManagerStyleFactory;
class CXTThemeManagerStyleHost;

// ---------------------------------------------------------------------------------------
// Base of every theme. Concrete themes add their drawing operations after these.
class CXTThemeManagerStyle {
 public:
  CXTThemeManagerStyle();
  virtual ~CXTThemeManagerStyle();

  // Re-reads colours and metrics; nothing in the base.
  virtual void RefreshMetrics();
  // Copies the part of the parent's picture that lies under the window into the
  // parent-background bitmap. FALSE when the window or its parent is not a window.
  virtual BOOL TakeSnapShot(CWnd* pWnd);
  // For a window with WS_EX_TRANSPARENT: takes a new snapshot and copies it to the DC at
  // (0, 0) with the size of the window's client area. FALSE for other windows.
  virtual BOOL DrawTransparentBack(CDC* pDC, CWnd* pWnd);

  CXTThemeManagerStyleFactory* GetFactory() const { return m_pFactory; }

  CXTThemeManagerStyleFactory* m_pFactory;  // the factory holding this theme (not owned)
  DWORD m_dwFlags;
  CBitmap m_bmpParentBack;  // what the parent shows under the window (TakeSnapShot)

 private:
  CXTThemeManagerStyle(const CXTThemeManagerStyle&) = delete;
  CXTThemeManagerStyle& operator=(const CXTThemeManagerStyle&) = delete;
};

// ---------------------------------------------------------------------------------------
// The factory of one control class: creates its theme on demand and tells the controls
// that use it when the theme changes. Created by name through its run-time class.
class CXTThemeManagerStyleFactory : public CObject {
  DECLARE_DYNCREATE(CXTThemeManagerStyleFactory)

 public:
  // Joins the theme manager's list of factories.
  CXTThemeManagerStyleFactory();
  // Deletes the theme and leaves the theme manager's list.
  ~CXTThemeManagerStyleFactory() override;

  // A new theme of the given type; the base creates none (null).
  virtual CXTThemeManagerStyle* CreateTheme(int nTheme);
  // Refreshes the theme's metrics when there is a theme.
  virtual void RefreshMetrics();

  // The theme, created first (of the theme manager's current type) when there is none.
  // Null only when CreateTheme gives none.
  CXTThemeManagerStyle* GetSafeTheme();
  // The theme as it stands, possibly null.
  CXTThemeManagerStyle* GetTheme() const { return m_pTheme; }
  // Replaces the theme (the factory owns the new one; the old one is deleted unless it is
  // the same object), refreshes it and tells every host, most recently joined first.
  void SetTheme(CXTThemeManagerStyle* pTheme);

  // The hosts that draw with this factory's theme, most recently joined first.
  CXTThemeManagerStyleHost* GetFirstHost() const { return m_pFirstHost; }
  void AddHost(CXTThemeManagerStyleHost* pHost);
  void RemoveHost(CXTThemeManagerStyleHost* pHost);
  // The next factory in the theme manager's list.
  CXTThemeManagerStyleFactory* GetNextFactory() const { return m_pNextFactory; }

 protected:
  CXTThemeManagerStyle* m_pTheme;              // owned
  CXTThemeManagerStyleHost* m_pFirstHost;      // not owned
  CXTThemeManagerStyleFactory* m_pNextFactory;  // theme manager's list

  friend class CXTThemeManager;
};

// ---------------------------------------------------------------------------------------
// The part of a themed control that finds its theme.
class CXTThemeManagerStyleHost {
 public:
  // With a factory class the host attaches to that class's shared factory.
  explicit CXTThemeManagerStyleHost(CRuntimeClass* pFactoryClass = nullptr);
  // Leaves its factory's host list; deletes a private factory it owns.
  virtual ~CXTThemeManagerStyleHost();

  // A new factory of the factory class, for a private theme (null without a class or
  // when the class cannot be created or is not a factory).
  virtual CXTThemeManagerStyleFactory* CreateThemeFactory();
  // Called when the theme changed; controls override it to refresh themselves.
  virtual void OnThemeChanged();

  // Moves the host to the shared factory of another class.
  void SetFactoryClass(CRuntimeClass* pFactoryClass);
  CRuntimeClass* GetFactoryClass() const { return m_pFactoryClass; }
  // The private factory when there is one, else the shared one (null without a class).
  CXTThemeManagerStyleFactory* GetFactory() const;
  // The current factory's theme, created when needed; null without a factory.
  CXTThemeManagerStyle* GetSafeTheme() const;
  // Gives the host a private theme (taking ownership), or with null returns it to the
  // shared theme of its class.
  void SetTheme(CXTThemeManagerStyle* pTheme);
  BOOL HasPrivateFactory() const { return m_pPrivateFactory != nullptr; }
  CXTThemeManagerStyleHost* GetNextHost() const { return m_pNextHost; }

 protected:
  BOOL m_bOwnFactory;
  CRuntimeClass* m_pFactoryClass;
  CXTThemeManagerStyleFactory* m_pPrivateFactory;  // owned when m_bOwnFactory
  CXTThemeManagerStyleFactory* m_pSharedFactory;   // not owned
  CXTThemeManagerStyleHost* m_pNextHost;           // link in the factory's host list

  friend class CXTThemeManagerStyleFactory;

 private:
  CXTThemeManagerStyleHost(const CXTThemeManagerStyleHost&) = delete;
  CXTThemeManagerStyleHost& operator=(const CXTThemeManagerStyleHost&) = delete;
};

// ---------------------------------------------------------------------------------------
// One per process: the shared factory of each factory class and the list of all factories.
class CXTThemeManager {
 public:
  CXTThemeManager();
  // Deletes every shared factory.
  ~CXTThemeManager();

  // The shared factory of the class, created by its run-time class on first request.
  // Null when the class is null, cannot be created or is not a factory class.
  CXTThemeManagerStyleFactory* GetFactory(CRuntimeClass* pFactoryClass);

  // The theme type new themes are created with (0 by default).
  int GetTheme() const { return m_nTheme; }
  void SetTheme(int nTheme) { m_nTheme = nTheme; }

  // The first factory of the list of every factory alive (most recent first).
  CXTThemeManagerStyleFactory* GetFirstFactory() const { return m_pFirstFactory; }
  void AddFactory(CXTThemeManagerStyleFactory* pFactory);
  void RemoveFactory(CXTThemeManagerStyleFactory* pFactory);

  // The instance, or null before the first use and after it was destroyed at exit.
  static CXTThemeManager* PASCAL GetExisting();

 private:
  CMap<CRuntimeClass*, CRuntimeClass*, CXTThemeManagerStyleFactory*, CXTThemeManagerStyleFactory*>
      m_mapFactories;
  CXTThemeManagerStyleFactory* m_pFirstFactory;
  int m_nTheme;

  CXTThemeManager(const CXTThemeManager&) = delete;
  CXTThemeManager& operator=(const CXTThemeManager&) = delete;
};

// The process's theme manager, created on the first call and deleted at exit.
CXTThemeManager* AFXAPI XTThemeManager();
