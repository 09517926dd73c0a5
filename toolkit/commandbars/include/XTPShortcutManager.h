// The keyboard shortcut table of the command bars (CXTPShortcutManager): the accelerator
// tables, the display text of shortcuts, the shortcut shown for a command, the stored
// "Accelerators" value, key matching across keyboard layouts; and the key-capture edit
// (CXTPShortcutEdit) that composes one shortcut from the keys pressed in it.
#pragma once

#include <framework.h>

class CXTPCommandBars;
class CXTPPropExchange;

class CXTPShortcutManager : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPShortcutManager)

 public:
  explicit CXTPShortcutManager(CXTPCommandBars* pCommandBars = NULL);
  ~CXTPShortcutManager() override;

  // --- overridable operations, in this order ---
  // The shortcut text to show for command nID. TRUE when the table has one; strText is
  // left as it is when it already names one of the command's shortcuts.
  virtual BOOL FindDefaultAccelerator(UINT nID, CString& strText);
  // Display text of one accelerator ("Ctrl+Shift+F5"); pPriority, when given, receives
  // 3 (Ctrl), 2 (Alt), 1 (Shift) or 4 (no modifier).
  virtual CString Format(const ACCEL* pAccel, int* pPriority);
  // The name of one virtual key ("Page Up", "Num 5", "F10").
  virtual CString GetKeyName(UINT vk);
  // Whether a combination (fVirt in the low word, key in the high word) may be assigned.
  virtual BOOL IsAccelAllowed(DWORD dwCombination, UINT nCmd);
  // The table in force; null when none.
  virtual HACCEL GetAccelerators() const { return m_hAccelTable; }
  // Replaces the table in force by a copy of the default table (nothing without one).
  virtual void Reset();

  // --- other operations ---
  // A new table from the records becomes the one in force; FALSE (and the old table
  // kept) when no table can be made of them.
  BOOL SetAccelerators(const ACCEL* pAccels, int nCount);
  // Takes a copy of the table as the one in force (null: none); the manager owns it.
  virtual void SetAccelerators(HACCEL hAccelTable);
  // Loads an accelerator resource of the program as the table in force.
  virtual BOOL LoadAccelerators(UINT nIDResource);
  // The table before customisation; saving, loading and Reset act only when it is set.
  HACCEL GetDefaultAccelerator() const { return m_hDefaultAccelTable; }
  // Takes a copy of the table as the default table (null: none).
  void SetDefaultAccelerator(HACCEL hAccelTable);

  // Translates a key message through the table in force for the site; TRUE when used.
  // Nothing is translated while print preview holds the lock.
  virtual BOOL TranslateAccelerator(HWND hWndSite, MSG* pMsg);
  // Entering print preview raises the lock, leaving lowers it.
  virtual void OnSetPreviewMode(BOOL bPreview);
  BOOL IsPreviewMode() const { return m_nPreviewLock > 0; }

  // The stored form: value "Accelerators" of the profile section, count * 6 bytes.
  void SaveShortcuts(LPCTSTR lpszSection);
  void LoadShortcuts(LPCTSTR lpszSection);
  // The same value through a property exchange.
  void DoPropExchange(CXTPPropExchange* pPX);

  // Whether key vk gives the character ch (either case, any installed layout).
  static BOOL CompareAccelKey(TCHAR ch, UINT vk);

  BOOL m_bAllowEscapeShortcut;
  BOOL m_bUseSystemKeyNameText;
  int m_nPreviewLock;
  HACCEL m_hAccelTable;
  HACCEL m_hDefaultAccelTable;

 protected:
  CString GetSystemKeyName(UINT vk);
  static HACCEL CopyAccelTable(HACCEL hAccel);
 public:
  // The records of a table, allocated with new[] (null and 0 for none).
  static int TableRecords(HACCEL hAccel, ACCEL** ppRecords);

 protected:

  CXTPCommandBars* m_pCommandBars;
  CMap<UINT, UINT, CString, LPCTSTR> m_mapKeyNames;
};

// ---------------------------------------------------------------------------------------
// The key-capture edit: the keys pressed in it compose one shortcut, shown as its text.
class CXTPShortcutEdit : public CEdit {
  DECLARE_DYNAMIC(CXTPShortcutEdit)

 public:
  CXTPShortcutEdit();
  ~CXTPShortcutEdit() override;

  void SetShortcutManager(CXTPShortcutManager* pManager) { m_pManager = pManager; }
  // The combination composed so far.
  const ACCEL& GetAccel() const { return m_accel; }
  BOOL IsKeyComplete() const { return m_bComplete; }
  // Forgets the combination and empties the text.
  void ResetKey();

  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  void ShowKey();

  CXTPShortcutManager* m_pManager;
  ACCEL m_accel;
  BOOL m_bComplete;
};
