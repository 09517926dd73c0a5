// The first wizard page: the list of address books to convert, NSF files from disk (several
// at once through the file dialog) and databases on Domino servers. "Preview" takes a local
// file to the folder page; "Export" (the Next button) converts every listed file.
#pragma once

#include <framework.h>

#include "CommonBaseView.h"
#include "DominoFileDlg.h"

class C1TarrowWelcomeView : public CTarrowCommonBaseView, public IDominoFileTarget {
  DECLARE_DYNCREATE(C1TarrowWelcomeView)

 public:
  enum {
    kIdAddFiles = 100,
    kIdRemoveFile = 200,
    kIdRemoveAll = 300,
    kIdAddDomino = 500,
    kIdFileList = 1000,
  };
  // Characters of the file dialog's name buffer.
  static constexpr DWORD kNameBufferChars = 1000000;

  C1TarrowWelcomeView();
  ~C1TarrowWelcomeView() override;

  void AddDominoFiles(CString strServer, CStringArray& paths) override;
  // "Add File(s)": the open-file dialog, then the list rebuilt.
  void LocateFile();
  // Appends the chosen paths (as the file dialog gives them) to the list, with the
  // messages the user would see.
  void AddChosenFiles(const CStringArray& chosen);

  void OnNext() override;
  void OnPreview() override;
  LRESULT OnActivatePage() override;

  CListCtrl m_lstFiles;
  CXTButton m_btnAddFiles, m_btnAddDomino, m_btnRemoveFile, m_btnRemoveAll;
  CBrush m_brWhite;
  int m_nSourceMode = 0;
  int m_nSeparator = 0;

 protected:
  void OnFirstUpdate() override;
  void OnDraw(CDC* pDC) override;

  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnAddFiles() { LocateFile(); }
  afx_msg void OnAddDomino();
  afx_msg void OnRemoveFile();
  afx_msg void OnRemoveAll();
  afx_msg LRESULT OnAddFilesMessage(WPARAM, LPARAM);
  afx_msg LRESULT OnAddDominoMessage(WPARAM, LPARAM);
  afx_msg LRESULT OnExportMessage(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

 private:
  void InsertRow(const CString& strPath, const CString& strServer);
  void Layout();
};
