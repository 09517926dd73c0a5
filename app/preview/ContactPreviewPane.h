// The preview area of the folder page: a small header (texts, a kind picture and a rule)
// above the rich text host, which shows the page's status messages as centred, coloured
// rich text.
#pragma once

#include <framework.h>

#include "RichTextDlg.h"

// Posted to the pane when a status message or a header text is set from another thread;
// the pane's own thread then does the work (the control lives on that thread).
#define UM_PREVIEW_STATUS (WM_APP + 0x2A0)  // wParam: the message code
#define UM_PREVIEW_TEXT (WM_APP + 0x2A1)    // wParam: which text, lParam: CString* (owned)
#define UM_PREVIEW_PLAIN (WM_APP + 0x2A2)   // lParam: CString* (owned), the plain text

class CContactPreviewPane : public CEdit {
  DECLARE_DYNAMIC(CContactPreviewPane)

 public:
  // The status messages of ShowStatusMessage.
  enum {
    kEnumeratingFolders = 0,
    kNoFolderFound = 1,
    kNoItemInFolder = 2,
    kSelectContact = 3,
    kGeneratingPreview = 4,
    kNoBody = 5,
    kFillingList = 6,
  };
  // Which header text UM_PREVIEW_TEXT sets.
  enum { kFirstText, kSubtitle, kTitle, kRightText, kFifthText, kSixthText, kTextCount };

  CContactPreviewPane();
  ~CContactPreviewPane() override;

  // Header texts. Safe from any thread: another thread's call is carried out by the pane's
  // own thread a moment later.
  void SetFirstText(CString strText);
  void SetSubtitle(CString strText);
  void SetTitle(CString strText);
  void SetRightText(CString strText);
  void SetFifthText(CString strText);
  void SetSixthText(CString strText);
  // All six texts to "".
  void ClearHeaderTexts();
  CString GetHeaderText(int nWhich) const;

  // Shows status message nCode (0 to 6; any other code empties the view). Safe from any
  // thread, as the text setters.
  void ShowStatusMessage(int nCode);
  // The RTF text of status message nCode ("" for an unknown code).
  static CString StatusMessageRtf(int nCode);
  // Shows a plain text (a contact's preview) in the rich text view. Safe from any thread.
  void ShowPreviewText(CString strText);

  // Places the list and the rich text host for a client area of cx by cy.
  void Layout(int cx, int cy);

  int GetHeaderKind() const { return m_nHeaderKind; }
  int GetLayoutFlag() const { return m_nLayout; }
  CRichTextDlg& GetHost() { return m_host; }
  CListCtrl& GetList() { return m_list; }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnPaint();
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
  afx_msg LRESULT OnPostedStatus(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnPostedText(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnPostedPlain(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  // TRUE when the caller must hand the work to the pane's own thread (and it was posted).
  BOOL PostToOwner(UINT nMsg, WPARAM wParam, CString* pText);
  void SetText(int nWhich, const CString& strText);

  CString m_strFirst;      // not drawn
  CString m_strSubtitle;
  CString m_strTitle;
  CString m_strRight;
  CString m_strFifth;      // not drawn
  int m_nHeaderKind = -1;  // -1: no picture
  CListCtrl m_list;        // id 1, hidden while the layout flag is 0
  int m_nLayout = 0;
  CRichTextDlg m_host;
  CString m_strSixth;      // not drawn
};
