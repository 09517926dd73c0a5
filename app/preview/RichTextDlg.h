// The rich text host: a child dialog (template 192) holding the Rich Textbox control,
// which it keeps effectively read-only: a click or key in it ends at once with a
// synthetic left-button release and the focus moves to a zero-size button.
#pragma once

#include <framework.h>

#include "RichText.h"
#include "preview_res.h"

class CRichTextDlg : public CDialog {
  DECLARE_DYNAMIC(CRichTextDlg)

 public:
  enum { IDD = IDD_RICHTEXT_HOST };

  explicit CRichTextDlg(CWnd* pParent = NULL);

  // Shows the rich text control, hides the plain edit, and sets the control's RTF text.
  // Where the control is missing the plain edit shows the text's words instead.
  void SetPreviewRtf(CString strRtf);
  // What the control holds, as RTF (empty without a control).
  CString GetPreviewRtf();

  CRichText& GetRichText() { return m_richText; }
  // How many synthetic button releases the host has injected (for the curious).
  int GetReleaseCount() const { return m_nReleases; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // Enter and Escape in a child dialog must not end it.
  void OnOK() override {}
  void OnCancel() override {}

  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnRichClick();
  afx_msg void OnRichMouseDown(short nButton, short nShift, long x, long y);
  afx_msg void OnRichKeyDown(short* pnKey, short nShift);
  afx_msg void OnRichKeyPress(short* pnKey);

  // The control and the plain edit fill the host; the focus button has no size.
  void Arrange(int cx, int cy);
  // Injects one left-button release into the system's input stream.
  virtual void InjectButtonRelease();

  DECLARE_MESSAGE_MAP()
  DECLARE_EVENTSINK_MAP()

  CEdit m_editPlain;       // 1000
  CButton m_buttonFocus;   // 1003
  CRichText m_richText;    // 1015
  int m_nReleases = 0;
};

// The readable words of an RTF text: control words, groups that are not shown and
// braces left out, \par and \line as line breaks, \uN and \'hh as their characters.
CString RtfToPlainText(const CString& strRtf);
// An RTF document that shows the text as it stands (each line a paragraph), in the
// fixed font of the status messages; every character that RTF treats specially is
// escaped and every character beyond ASCII written as \uN.
CString PlainTextToRtf(const CString& strText);
