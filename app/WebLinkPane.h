// The frame's top-right corner: a picture that links to the maker's web site.
#pragma once

#include <framework.h>

#include "XTHyperLink.h"

class CWebLinkPane : public CDialog {
  DECLARE_DYNAMIC(CWebLinkPane)

 public:
  enum { IDD = 222 };
  CWebLinkPane() : CDialog(IDD, nullptr) {}
  BOOL Create(CWnd* pParent) { return CDialog::Create(IDD, pParent); }

  CXTHyperLink m_Link;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  DECLARE_MESSAGE_MAP()

 private:
  using CDialog::Create;
};
