// The base of every item a command bar shows (menu items, buttons, popups, edits, combo
// boxes, labels, hosted windows). A control is not a window: it lives in the CXTPControls
// of one bar, keeps its command id, texts, state and rectangle, is measured and drawn by
// its bar's paint manager, gets the mouse and keyboard events its bar forwards, runs its
// command (Execute: sound, 10338 to the site, then WM_COMMAND) and takes part in
// customisation. Reference counted; the collection owns its controls.
#pragma once

#include <framework.h>

#include "XTPAccessible.h"
#include "XTPCommandBarsDefines.h"

class CXTPCommandBar;
class CXTPCommandBars;
class CXTPControls;
class CXTPImageManager;
class CXTPImageManagerIcon;
class CXTPPaintManager;
class CXTPPropExchange;

class CXTPControl : public CCmdTarget, public CXTPAccessible {
  DECLARE_SERIAL(CXTPControl)

 public:
  CXTPControl();
  ~CXTPControl() override;

  // ---- Virtual operations, in slot order ----
  virtual CString GetDescriptionText() const;
  virtual CString GetTooltipText() const;
  virtual void SetBeginGroup(BOOL bBeginGroup);
  virtual void SetEnabled(BOOL bEnabled);
  virtual int GetSelectedState() const;
  virtual void SetFocused(BOOL bFocused);
  virtual BOOL IsFocused() const;
  virtual void SetRect(CRect rcControl);
  virtual BOOL ShowsCaption();
  virtual BOOL Compare(CXTPControl* pOther);
  // The bar the control opens; none in the base.
  virtual CXTPCommandBar* GetCommandBar();
  virtual BOOL IsLabel() const;
  virtual void SetHideFlags(DWORD dwFlags);
  virtual void Execute();
  virtual CSize GetSize(CDC* pDC);
  virtual void Draw(CDC* pDC);
  virtual void OnBarLayout(DWORD dwLayoutFlags);
  virtual CXTPImageManagerIcon* GetImage(int nWidth = 16);
  virtual void DoPropExchange(CXTPPropExchange* pPX);
  virtual void OnMnemonic();
  virtual BOOL IsFocusable() const;
  // 0 not handled; edit-like controls answer 1 (handled) or 2 (pass on).
  virtual int OnKeyDown(UINT nChar, LPARAM lParam);
  virtual void SetParent(CXTPCommandBar* pParent);
  virtual void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE);
  virtual BOOL SetPopupOpen(BOOL bOpen);
  virtual void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0));
  virtual void OnLButtonUp(CPoint point);
  virtual void OnRButtonUp(CPoint point);
  virtual BOOL OnLButtonDblClk(CPoint point);
  virtual void OnMouseMove(CPoint point);
  virtual void OnHoverTimer();
  virtual BOOL OnSelectionChanged(int nSelected);
  virtual void OnCustomizePress(CPoint point);
  virtual BOOL TrackEdgeResize(CPoint point);
  virtual void OnCustomizeDragHover(CXTPControl* pDataObject);
  virtual BOOL AcceptsDrop(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT* pDropEffect);
  virtual BOOL IsResizable() const;
  virtual int GetMinCustomWidth();
  virtual void SetWidth(int nWidth);
  virtual CXTPControl* Clone(BOOL bRecursive = FALSE);

  // ---- Non-virtual operations ----
  CString GetCaption() const;        // custom caption when set, else caption
  CString GetShortcutText() const;   // shortcut text when set, else the caption's shortcut
  void SetCaption(const CString& strCaption);
  void SetShortcutText(const CString& strText) { m_strShortcutText = strText; }
  // Replaces the shortcut part that a caption brought with it (after its tab).
  void SetCaptionShortcut(const CString& strText) { m_strShortcutTextAuto = strText; }
  void SetTooltip(const CString& strText) { m_strTooltipText = strText; }
  void SetDescription(const CString& strText) { m_strDescriptionText = strText; }
  void SetCustomCaption(const CString& strText) { m_strCustomCaption = strText; }
  CString GetCustomCaption() const { return m_strCustomCaption; }
  void SetParameter(const CString& strParameter) { m_strParameter = strParameter; }
  CString GetParameter() const { return m_strParameter; }
  void SetCategory(const CString& strCategory) { m_strCategory = strCategory; }
  CString GetCategory() const { return m_strCategory; }
  // Description, a newline, a tooltip (a string resource's prompt).
  void ApplyPrompt(const CString& strPrompt);
  // Loads the id's prompt string through the resource manager when the id changes.
  void AssignId(int nId);
  int GetID() const { return m_nId; }
  void SetID(int nId) { AssignId(nId); }
  int GetIndex() const { return m_nIndex; }
  int GetIconId() const { return m_nIconId; }
  void SetIconId(int nId) { m_nIconId = nId; }
  int GetCustomIconId() const { return m_nCustomIconId; }
  void SetCustomIconId(int nId) { m_nCustomIconId = nId; }
  // The icon key: custom icon id, else icon id when above 0, else id.
  int GetIconKey() const;
  BOOL GetBeginGroup() const { return m_bBeginGroup; }
  BOOL GetEnabled() const { return m_bEnabled; }
  BOOL GetChecked() const { return m_bChecked; }
  void SetChecked(BOOL bChecked);
  int GetSelected() const { return m_bSelected; }
  int GetPressed() const { return m_bPressed; }
  void SetPressed(int nPressed) { m_bPressed = nPressed; }
  BOOL IsTemporary() const { return m_bTemporary; }
  void SetTemporary(BOOL bTemporary) { m_bTemporary = bTemporary; }
  CRect GetRect() const { return m_rcControl; }
  // The row the last committed layout put the control in, and whether it starts that row.
  CRect GetRowRect() const { return m_rcRow; }
  BOOL GetWrap() const { return m_bWrap; }
  DWORD GetHideFlags() const { return m_dwHideFlags; }
  BOOL IsVisible() const { return m_dwHideFlags == xtpHideNone; }
  DWORD GetFlags() const { return m_dwFlags; }
  void SetFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
  XTPControlType GetType() const { return m_controlType; }
  void SetType(XTPControlType type) { m_controlType = type; }
  CXTPCommandBar* GetParent() const { return m_pParent; }
  CXTPControls* GetControls() const { return m_pControls; }
  BOOL GetDefaultItem() const { return m_bDefaultItem; }
  void SetDefaultItem(BOOL bDefault);
  BOOL GetShortMenuMark() const { return m_bExpandMark; }
  void SetShortMenuMark(BOOL bMark);
  int GetStyle() const { return m_buttonStyle; }
  void SetStyle(int nStyle) { m_buttonStyle = nStyle; }
  int GetCustomStyle() const { return m_buttonCustomStyle; }
  void SetCustomStyle(int nStyle) { m_buttonCustomStyle = nStyle; }
  int GetEffectiveStyle() const { return m_buttonCustomStyle != 0 ? m_buttonCustomStyle : m_buttonStyle; }
  BOOL GetCloseSubMenuOnClick() const { return m_bCloseSubMenuOnClick; }
  void SetCloseSubMenuOnClick(BOOL bClose) { m_bCloseSubMenuOnClick = bClose; }
  DWORD_PTR GetTag() const { return m_nTag; }
  void SetTag(DWORD_PTR nTag) { m_nTag = nTag; }
  CXTPPaintManager* GetPaintManager() const;
  CXTPImageManager* GetImageManager() const;
  BOOL IsCustomizeMode() const;
  // 10338 to the site with {0, id, code, control}; the site's answer.
  LRESULT NotifySite(UINT nCode);
  void RedrawParent(BOOL bAnimate = FALSE);
  void DelayLayoutParent();
  // The modal loop of a button held down by the mouse (executes on release inside).
  void ClickToolBarButton(CRect rcActiveRect = CRect(0, 0, 0, 0));
  // The site window that gets the control's commands (command bars' site, else root owner).
  CWnd* GetSite() const;

  // ---- Accessibility (child 0: the control; child 1: the bar it opens) ----
  CCmdTarget* GetAccessibleTarget() override { return this; }
  HRESULT get_accParent(IDispatch** ppdispParent) override;
  HRESULT get_accChildCount(long* pcountChildren) override;
  HRESULT get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
  HRESULT get_accName(VARIANT varChild, BSTR* pszName) override;
  HRESULT get_accDescription(VARIANT varChild, BSTR* pszDescription) override;
  HRESULT get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
  HRESULT get_accState(VARIANT varChild, VARIANT* pvarState) override;
  HRESULT get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
  HRESULT accDoDefaultAction(VARIANT varChild) override;
  HRESULT accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                      VARIANT varChild) override;
  HRESULT accSelect(long flagsSelect, VARIANT varChild) override;
  HRESULT accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;

  // Document templates the control is shown for (assigned) or hidden for (excluded).
  CMap<UINT, UINT, BOOL, BOOL> m_mapDocTemplatesAssigned;
  CMap<UINT, UINT, BOOL, BOOL> m_mapDocTemplatesExcluded;

 protected:
  DWORD_PTR m_nTag;
  int m_nIndex;
  int m_nId;
  int m_nIconId;
  int m_nCustomIconId;
  BOOL m_bBeginGroup;
  BOOL m_bEnabled;
  BOOL m_bChecked;
  int m_bSelected;  // 0, 1 mouse, 2 keyboard
  int m_bPressed;   // 0, 1 held, 2 executed
  BOOL m_bTemporary;
  CRect m_rcControl;
  CRect m_rcRow;
  BOOL m_bWrap;
  DWORD m_dwHideFlags;
  DWORD m_dwFlags;
  CString m_strCaption;
  CString m_strCustomCaption;
  CString m_strShortcutText;
  CString m_strShortcutTextAuto;  // the part of a caption after a tab
  CString m_strTooltipText;
  CString m_strDescriptionText;
  CString m_strParameter;
  CXTPControls* m_pControls;
  XTPControlType m_controlType;
  CXTPCommandBar* m_pParent;
  BOOL m_bExpandMark;  // short-menu mark
  CString m_strCategory;
  BOOL m_bDefaultItem;
  int m_buttonStyle;
  int m_buttonCustomStyle;
  BOOL m_bCloseSubMenuOnClick;

  DECLARE_INTERFACE_MAP()

  friend class CXTPControls;
  friend class CXTPCommandBar;
};
