// The "Button Editor": draws the image of a command-bar button pixel by pixel, with six
// tools, undo and redo, copy, paste, clear, import from a file, moving by one pixel, a
// sixteen-colour palette, a free colour, a transparent colour and a preview at natural size.
#pragma once

#include <framework.h>

#include "XTPImageManager.h"

class CXTPImageEditorDlg;

// Without the alpha flag, pixels of this colour are transparent; new images start with it.
#define XTP_IMAGEEDITOR_TRANSPARENT RGB(255, 254, 255)

// One state of the edited picture: a 32 bits-per-pixel bottom-up DIB section of the editor's
// size (owned) and whether its top bytes are alpha.
class CXTPImageEditorImage {
 public:
  // An image of cx x cy filled with the transparent colour.
  CXTPImageEditorImage(int cx, int cy, BOOL bAlpha = FALSE);
  // Takes over a 32-bit DIB section.
  CXTPImageEditorImage(HBITMAP hBitmap, BOOL bAlpha);
  ~CXTPImageEditorImage();
  CXTPImageEditorImage(const CXTPImageEditorImage&) = delete;
  CXTPImageEditorImage& operator=(const CXTPImageEditorImage&) = delete;

  BOOL IsValid() const { return m_hBitmap != NULL; }
  HBITMAP GetBitmap() const { return m_hBitmap; }
  BOOL IsAlpha() const { return m_bAlpha; }
  int GetWidth() const { return m_cx; }
  int GetHeight() const { return m_cy; }
  // The pixel at (x, y) from the top-left: 0x00BBGGRR without alpha (COLORREF order), or
  // with the alpha byte on top for an alpha image. (DWORD)-1 outside the image.
  DWORD GetPixel(int x, int y) const;
  void SetPixel(int x, int y, DWORD dwValue);
  // The raw 0xAARRGGBB pixel memory, bottom row first.
  DWORD* GetBits() const { return m_pBits; }

  // A copy of the editor's size: filled with the transparent colour, the source drawn on
  // it at the offset; for a source without alpha every pixel of clrFrom (when not -1)
  // then becomes clrTo. The copy takes the source's alpha flag.
  static CXTPImageEditorImage* AFX_CDECL CopyOf(HBITMAP hSource, BOOL bAlpha, CSize szEditor,
                                               CPoint ptOffset = CPoint(0, 0),
                                               COLORREF clrFrom = (COLORREF)-1,
                                               COLORREF clrTo = 0);
  CXTPImageEditorImage* Clone(CPoint ptOffset = CPoint(0, 0)) const;

 private:
  void Create(int cx, int cy);
  HBITMAP m_hBitmap = NULL;
  DWORD* m_pBits = nullptr;
  int m_cx = 0;
  int m_cy = 0;
  BOOL m_bAlpha = FALSE;
};

// ---------------------------------------------------------------------------------------
// A colour of the palette (or the free or the transparent colour): a small static that
// draws its colour, framed three times while selected, and tells its parent of a press
// with NM_CLICK.
class CXTPImageEditorPicker : public CStatic {
  DECLARE_DYNAMIC(CXTPImageEditorPicker)

 public:
  CXTPImageEditorPicker();
  COLORREF GetColor() const { return m_clr; }
  void SetColor(COLORREF clr);
  BOOL IsSelected() const { return m_bSelected; }
  void SetSelected(BOOL bSelected);

 protected:
  COLORREF m_clr;
  BOOL m_bSelected;

  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  DECLARE_MESSAGE_MAP()
};

// ---------------------------------------------------------------------------------------
// The drawing area: one cell per image pixel, the undo and redo lists and the drawing tools.
class CXTPImageEditorPicture : public CStatic {
 public:
  CXTPImageEditorPicture();
  ~CXTPImageEditorPicture() override;

  // Most changes the undo list keeps.
  enum { kMaxUndo = 16 };

  void SetEditor(CXTPImageEditorDlg* pDlg) { m_pDlg = pDlg; }
  // Sizes the cells for the image (at least one pixel each) and shrinks the window to
  // columns x cell width + 1 by rows x cell height + 1 without moving it.
  void SizeCells(int nColumns, int nRows);
  int GetColumns() const { return m_nColumns; }
  int GetRows() const { return m_nRows; }
  CSize GetCellSize() const { return CSize(m_nCellWidth, m_nCellHeight); }
  // The client point at the centre of a cell (for those who drive the editor).
  CPoint CellCentre(int x, int y) const;

  // The image being edited (null after Clear). The picture takes ownership.
  CXTPImageEditorImage* GetImage() const { return m_pCurrent; }
  void SetImage(CXTPImageEditorImage* pImage);

  // Changes that can be undone: the current image is remembered first.
  void ReplaceImage(CXTPImageEditorImage* pImage);  // a new image (paste, import)
  void Clear();
  void MoveImage(int dx, int dy);
  void Undo();
  void Redo();
  BOOL CanUndo() const { return !m_lstUndo.IsEmpty(); }
  BOOL CanRedo() const { return !m_lstRedo.IsEmpty(); }
  int GetUndoCount() const { return (int)m_lstUndo.GetCount(); }
  int GetRedoCount() const { return (int)m_lstRedo.GetCount(); }

 protected:
  void Commit();
  void FreeList(CList<CXTPImageEditorImage*, CXTPImageEditorImage*>& list);
  CPoint CellFromPoint(CPoint point) const;
  void TrackTo(CPoint ptCell);
  void AlphaMerge(CXTPImageEditorImage* pNew, const CXTPImageEditorImage* pOld) const;
  void Redraw();

  CList<CXTPImageEditorImage*, CXTPImageEditorImage*> m_lstUndo;
  CList<CXTPImageEditorImage*, CXTPImageEditorImage*> m_lstRedo;
  CXTPImageEditorImage* m_pPrevious;  // the state before the running change
  CXTPImageEditorImage* m_pCurrent;
  int m_nColumns, m_nRows;
  int m_nCellWidth, m_nCellHeight;
  BOOL m_bTracking;
  CPoint m_ptStart;
  COLORREF m_clrDraw;
  HCURSOR m_hCursorLine;    // 9375 cross-hair
  HCURSOR m_hCursorPick;    // 9376 pipette
  HCURSOR m_hCursorFill;    // 9377 paint bucket
  HCURSOR m_hCursorPencil;  // 9378 pencil
  CXTPImageEditorDlg* m_pDlg;

  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnCaptureChanged(CWnd* pWnd);
  DECLARE_MESSAGE_MAP()
};

// ---------------------------------------------------------------------------------------
// The image at its natural size on the face colour, framed as a button.
class CXTPImageEditorPreview : public CStatic {
 public:
  CXTPImageEditorPreview();
  void SetEditor(CXTPImageEditorDlg* pDlg) { m_pDlg = pDlg; }
  void SetImageSize(int cx, int cy) { m_nWidth = cx; m_nHeight = cy; }

 protected:
  CXTPImageEditorDlg* m_pDlg;
  int m_nWidth, m_nHeight;
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  DECLARE_MESSAGE_MAP()
};

// ---------------------------------------------------------------------------------------
class CXTPImageEditorDlg : public CDialog {
 public:
  // Tools: command id - 9363.
  enum Tool { toolPencil = 0, toolFill = 1, toolPick = 2, toolLine = 3, toolRectangle = 4, toolEllipse = 5 };
  // Largest image side the editor takes; a bigger image is refused (DoModal answers IDCANCEL).
  enum { kMaxImageSide = 256 };

  explicit CXTPImageEditorDlg(CWnd* pParent = NULL);
  ~CXTPImageEditorDlg() override;

  // The image to edit: its size becomes the editor's size.
  void SetIcon(const CXTPImageManagerIconHandle& hIcon);
  // An empty image of this size (for a control without an image).
  void SetSize(int cx, int cy);
  // The result after IDOK: empty when there is no image or it cannot be made.
  void GetIcon(CXTPImageManagerIconHandle* phIcon);
  INT_PTR DoModal() override;

  CSize GetImageSize() const { return CSize(m_nWidth, m_nHeight); }
  int GetCurrentTool() const { return m_nCurrentTool; }
  int GetPreviousTool() const { return m_nPreviousTool; }
  COLORREF GetCurrentColor() const;
  CXTPImageEditorPicker* GetSelectedPicker() const { return m_pSelected; }
  CXTPImageEditorPicture& GetPicture() { return m_wndPicture; }
  CXTPImageEditorPreview& GetPreview() { return m_wndPreview; }
  CXTPImageEditorPicker& GetFreePicker() { return m_wndPickerFree; }
  CXTPImageEditorPicker& GetTransparentPicker() { return m_wndPickerTransparent; }
  CXTPImageEditorPicker* GetPalettePicker(int nIndex) { return nIndex >= 0 && nIndex < 16 ? &m_wndPickers[nIndex] : NULL; }
  CToolBar& GetToolsBar() { return m_wndToolsBar; }
  CToolBar& GetMoveBar() { return m_wndMoveBar; }

  // The editor's toolbars: while visible, an idle pass updates their buttons through the
  // dialog's handlers (the plain toolbar asks a frame, which a dialog has not).
  class CEditorToolBar : public CToolBar {
   protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  };

  void SelectPicker(CXTPImageEditorPicker* pPicker);
  // The commands, as the buttons run them.
  void ChooseTool(int nTool);
  void OnCopy();
  void OnPaste();
  void OnClear();
  // Imports a picture file; FALSE (and no change) when it cannot be loaded.
  BOOL ImportFile(LPCTSTR lpszPath);

  // The tooltip text of a tool id (the part after the string's line break), as the tips show.
  static CString AFX_CDECL GetTipText(UINT nID);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void PlaceToolBar(CToolBar& bar, CWnd& wndPlaceholder, const UINT* pIds, int nCount, BOOL bWrap);
  void FitPicture();

  CEditorToolBar m_wndToolsBar;
  CImageList m_ilTools;
  CEditorToolBar m_wndMoveBar;
  CImageList m_ilMove;
  CXTPImageEditorPicker m_wndPickers[16];
  CXTPImageEditorPicker m_wndPickerFree;         // 9360
  CXTPImageEditorPicker m_wndPickerTransparent;  // 9359
  CXTPImageEditorPicture m_wndPicture;           // 9361
  CXTPImageEditorPreview m_wndPreview;           // 9362
  CStatic m_wndToolsPlace;                       // 9358
  CStatic m_wndMovePlace;                        // 9354
  CXTPImageEditorImage* m_pImage;                // to edit, then the result
  CXTPImageEditorPicker* m_pSelected;
  int m_nCurrentTool;
  int m_nPreviousTool;
  int m_nWidth;
  int m_nHeight;

  afx_msg LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam);
  afx_msg void OnFreeColorClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnPaletteClick(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnTransparentClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnUpdateTool(CCmdUI* pCmdUI);
  afx_msg void OnTool(UINT nID);
  afx_msg void OnUpdateUndo(CCmdUI* pCmdUI);
  afx_msg void OnUpdateRedo(CCmdUI* pCmdUI);
  afx_msg void OnUndo();
  afx_msg void OnRedo();
  afx_msg void OnImport();
  afx_msg void OnMove(UINT nID);
  afx_msg BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
  DECLARE_MESSAGE_MAP()

  friend class CXTPImageEditorPicture;
  friend class CXTPImageEditorPreview;
};
