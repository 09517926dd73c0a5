// The tab manager: the window-independent part of every tab strip. It owns the tabs, the
// selection, the hot tab, the scroll offset, the three navigate buttons (scroll back,
// scroll forward, close) and the rectangles the layout hands out. It draws nothing and owns
// no window: a host (the tab control) supplies the window, the paint manager and the
// repaint; the tab paint manager computes every rectangle and draws.
#pragma once

#include <framework.h>

#include <vector>

#include "XTPTabDefines.h"

class CXTPTabManager;
class CXTPTabPaintManager;
class CXTPThemeHandle;

// ---------------------------------------------------------------------------------------
// One tab.
class CXTPTabManagerItem : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPTabManagerItem)

 public:
  CXTPTabManagerItem();
  ~CXTPTabManagerItem() override;

  // Caption: set re-lays the strip when the text changes (case-sensitive compare).
  void SetCaption(LPCTSTR lpszCaption);
  CString GetCaption() const;
  // The tooltip text offered for the tab.
  void SetTooltip(LPCTSTR lpszTooltip) { m_strToolTip = lpszTooltip; }
  CString GetTooltip() const;

  // The tab's colour: a palette code (0x1000000 + n) or an RGB value; GetColor maps codes.
  COLORREF GetColor() const;
  void SetColor(COLORREF clr);

  // The page window shown while the tab is selected.
  void SetHandle(HWND hWnd) { m_hWnd = hWnd; }
  HWND GetHandle() const { return m_hWnd; }

  // Deletes this tab from its manager (the object may be gone afterwards).
  void Remove();

  BOOL IsVisible() const { return m_bVisible; }
  void SetVisible(BOOL bVisible);
  BOOL IsEnabled() const { return m_bEnabled; }
  void SetEnabled(BOOL bEnabled);
  BOOL IsClosable() const { return m_bClosable; }
  void SetClosable(BOOL bClosable) { m_bClosable = bClosable; }

  int GetIndex() const { return m_nIndex; }
  int GetImageIndex() const { return m_nImage; }
  void SetImageIndex(int nImage);
  DWORD_PTR GetData() const { return m_nData; }
  void SetData(DWORD_PTR nData) { m_nData = nData; }

  CRect GetRect() const { return m_rcItem; }
  void SetRect(const CRect& rc) { m_rcItem = rc; }
  int GetLength() const { return m_nLength; }
  int GetNaturalLength() const { return m_nNaturalLength; }
  void SetLength(int nLength) { m_nLength = nLength; }
  void SetNaturalLength(int nLength) { m_nNaturalLength = nLength; }
  int GetRow() const { return m_nRow; }
  void SetRow(int nRow) { m_nRow = nRow; }

  BOOL IsSelected() const;
  BOOL IsHot() const;
  CXTPTabManager* GetTabManager() const { return m_pTabManager; }

  // The palette of tab colours: code - 0x1000000 in 0..7.
  static COLORREF PaletteColor(int nCode);

 protected:
  int m_nLength;
  int m_nNaturalLength;
  int m_nImage;
  int m_nIndex;
  BOOL m_bEnabled;
  BOOL m_bVisible;
  HWND m_hWnd;
  DWORD_PTR m_nData;
  CRect m_rcItem;
  CString m_strCaption;
  CString m_strToolTip;
  COLORREF m_clrItem;
  CXTPTabManager* m_pTabManager;
  int m_nRow;
  BOOL m_bClosable;

  friend class CXTPTabManager;
};

// ---------------------------------------------------------------------------------------
// Navigate buttons: scroll back (id 0), scroll forward (id 1) and close (id 2).
class CXTPTabManagerNavigateButton {
 public:
  CXTPTabManagerNavigateButton(CXTPTabManager* pManager, UINT nID, XTPTabNavigateButtonMode mode);
  virtual ~CXTPTabManagerNavigateButton();

  // Subtracts the room this button needs from the strip length when it is shown.
  virtual void AdjustLength(int* pnLength);
  // The modal click loop of a left press inside the button.
  virtual void PerformClick(HWND hWnd, CPoint pt);
  // Places the button at the far end of rcStrip and shortens the strip by it.
  virtual void Reposition(CRect& rcStrip);
  // The glyph, drawn in the DC's text colour.
  virtual void Draw(CDC* pDC, CRect rc) = 0;
  // repeat TRUE on each 20 ms tick while held, FALSE once on an accepted release.
  virtual void OnExecute(BOOL bRepeat);

  // Hot state follows the point; asks for WM_MOUSELEAVE when the button becomes hot.
  void UpdateHover(HWND hWnd, CPoint pt);
  // Whether the button is shown in the current state of its manager.
  BOOL IsVisible();

  UINT GetID() const { return m_nID; }
  XTPTabNavigateButtonMode GetMode() const { return m_mode; }
  void SetMode(XTPTabNavigateButtonMode mode);
  CRect GetRect() const { return m_rcButton; }
  BOOL IsEnabled() const { return m_bEnabled; }
  void SetEnabled(BOOL bEnabled) { m_bEnabled = bEnabled; }
  BOOL IsPressed() const { return m_bPressed; }
  BOOL IsHot() const { return m_bHot; }
  int GetWidth() const { return m_nWidth; }
  int GetHeight() const { return m_nHeight; }
  CXTPTabManager* GetTabManager() const { return m_pManager; }

  // The interval of the repeat ticks while a scroll button is held.
  static const DWORD kRepeatInterval = 20;

 protected:
  // Paints the glyph polygon (filled when enabled, outline when not).
  void DrawTriangle(CDC* pDC, const POINT* pts);

  UINT m_nID;
  XTPTabNavigateButtonMode m_mode;
  int m_nWidth;
  int m_nHeight;
  CXTPTabManager* m_pManager;
  CRect m_rcButton;
  BOOL m_bEnabled;
  BOOL m_bPressed;
  BOOL m_bHot;
};

class CXTPTabManagerNavigateButtonBack : public CXTPTabManagerNavigateButton {
 public:
  explicit CXTPTabManagerNavigateButtonBack(CXTPTabManager* pManager);
  void Draw(CDC* pDC, CRect rc) override;
  void OnExecute(BOOL bRepeat) override;
};

class CXTPTabManagerNavigateButtonForward : public CXTPTabManagerNavigateButton {
 public:
  explicit CXTPTabManagerNavigateButtonForward(CXTPTabManager* pManager);
  void Draw(CDC* pDC, CRect rc) override;
  void OnExecute(BOOL bRepeat) override;
};

class CXTPTabManagerNavigateButtonClose : public CXTPTabManagerNavigateButton {
 public:
  explicit CXTPTabManagerNavigateButtonClose(CXTPTabManager* pManager);
  void Draw(CDC* pDC, CRect rc) override;
  void OnExecute(BOOL bRepeat) override;
};

// ---------------------------------------------------------------------------------------
// The manager itself (abstract: a host supplies the window-dependent operations).
class CXTPTabManager {
 public:
  // One row of a multi-row strip: the indexes of its first and last tab.
  struct ROW {
    int nFirst;
    int nLast;
  };

  CXTPTabManager();
  CXTPTabManager(const CXTPTabManager&) = delete;
  CXTPTabManager& operator=(const CXTPTabManager&) = delete;

  virtual void Refresh();
  virtual ~CXTPTabManager();
  virtual void Reposition() = 0;
  virtual CString GetItemCaption(const CXTPTabManagerItem* pItem) const;
  virtual DWORD_PTR GetItemData(const CXTPTabManagerItem* pItem) const;
  virtual COLORREF GetItemColor(const CXTPTabManagerItem* pItem) const;
  virtual CString GetItemTooltip(const CXTPTabManagerItem* pItem) const;
  virtual void OnItemsChanged();
  virtual void SetSelectedItem(CXTPTabManagerItem* pItem);
  virtual void SelectItem(CXTPTabManagerItem* pItem);
  virtual void GetItemMetrics(CSize* pszNormal, CSize* pszMin, CSize* pszMax) const;
  virtual CXTPTabPaintManager* GetPaintManager() const = 0;
  virtual void SetPaintManager(CXTPTabPaintManager* pPaintManager);
  virtual void RedrawControl() = 0;
  virtual BOOL IsAllowReorder() const;
  virtual void SetAllowReorder(BOOL bAllowReorder);
  virtual BOOL HasFrame() const;
  virtual BOOL DrawIcon(CDC* pDC, CPoint pt, CXTPTabManagerItem* pItem, BOOL bDraw, CSize& szIcon) = 0;
  virtual int GetPosition() const;
  virtual void OnScroll(BOOL bForward);
  virtual BOOL IsNavigateButtonVisible(CXTPTabManagerNavigateButton* pButton);
  virtual void OnItemClick(CXTPTabManagerItem* pItem);
  virtual void TrackReorder(HWND hWnd, CPoint pt, CXTPTabManagerItem* pItem);
  virtual void OnNavigateButtonClick(UINT nID);
  virtual BOOL IsMouseLocked() const;
  virtual BOOL OnKeyDown(HWND hWnd, UINT nKey);
  virtual BOOL IsFocusVisible() const;

  // ---- Tabs ----
  int GetItemCount() const { return static_cast<int>(m_arrItems.size()); }
  // Null for an index outside 0..count-1.
  CXTPTabManagerItem* GetItem(int nIndex) const;
  // Inserts pItem (a new item when null); an index below 0 or above the count appends.
  CXTPTabManagerItem* InsertItem(int nIndex, CXTPTabManagerItem* pItem = nullptr);
  // FALSE for an index outside 0..count-1.
  BOOL DeleteItem(int nIndex);
  void DeleteAllItems();
  // The first tab after nIndex in steps of nStep that is visible and enabled, or null.
  CXTPTabManagerItem* FindNextItem(int nIndex, int nStep) const;
  // The enabled, visible tab under a point of the host, or null.
  CXTPTabManagerItem* HitTest(CPoint pt) const;
  // Sum of the tabs' lengths (count x row pitch in the rotated layout).
  int GetItemsLength() const;

  // ---- Selection and hover ----
  CXTPTabManagerItem* GetSelectedItem() const { return m_pSelected; }
  int GetCurSel() const { return m_pSelected ? m_pSelected->GetIndex() : -1; }
  // Clamps the index; with no tabs clears the selection.
  void SetCurSel(int nIndex);
  CXTPTabManagerItem* GetHotItem() const { return m_pHot; }
  void UpdateHover(HWND hWnd, CPoint pt);
  BOOL PerformClick(HWND hWnd, CPoint pt, BOOL bButtonsOnly = FALSE);

  // ---- Strip ----
  // Position code 0 top, 1 left, 2 bottom, 3 right (stored in the paint manager).
  void SetPosition(int nPosition);
  BOOL IsHorizontalPosition() const;
  int GetScrollOffset() const { return m_nScrollOffset; }
  void SetScrollOffset(int nOffset);
  int GetScrollStep() const { return m_nScrollStep; }
  void SetScrollStep(int nStep) { m_nScrollStep = nStep; }
  BOOL IsHighlight() const { return m_bHighlight; }
  void SetHighlight(BOOL bHighlight);
  void SetItemMetrics(CSize szNormal, CSize szMin = CSize(0, 0), CSize szMax = CSize(0, 0));

  // ---- Navigate buttons ----
  int GetNavigateButtonCount() const { return static_cast<int>(m_arrNavigateButtons.size()); }
  CXTPTabManagerNavigateButton* GetNavigateButton(int nIndex) const;
  CXTPTabManagerNavigateButton* FindNavigateButton(UINT nID) const;

  // ---- Rectangles set by the layout ----
  CRect GetControlRect() const { return m_rcControl; }
  CRect GetHeaderRect() const { return m_rcHeader; }
  CRect GetTabClientRect() const { return m_rcClient; }
  void SetControlRect(const CRect& rc) { m_rcControl = rc; }
  void SetHeaderRect(const CRect& rc) { m_rcHeader = rc; }
  void SetTabClientRect(const CRect& rc) { m_rcClient = rc; }

  // ---- Rows of a multi-row strip ----
  int GetRowCount() const { return static_cast<int>(m_arrRows.size()); }
  ROW GetRow(int nRow) const { return m_arrRows[nRow]; }
  // Back to one row holding every tab, each tab in row 0.
  void ResetRows();
  void SetRows(const std::vector<ROW>& rows) { m_arrRows = rows; }
  void SwapRows(int nRow1, int nRow2);

  CXTPThemeHandle* GetThemeHandle() const { return m_pTheme; }

 protected:
  CXTPTabManagerItem* m_pSelected;
  CXTPTabManagerItem* m_pHot;
  int m_nScrollOffset;
  BOOL m_bAllowReorder;
  BOOL m_bHighlight;
  CSize m_szItem;
  CSize m_szItemMin;
  CSize m_szItemMax;
  CRect m_rcHeader;
  CRect m_rcControl;
  CRect m_rcClient;
  std::vector<CXTPTabManagerItem*> m_arrItems;
  std::vector<CXTPTabManagerNavigateButton*> m_arrNavigateButtons;
  CXTPThemeHandle* m_pTheme;
  std::vector<ROW> m_arrRows;
  int m_nScrollStep;

  friend class CXTPTabManagerItem;
  friend class CXTPTabManagerNavigateButton;
  friend class CXTPTabPaintManager;
};
