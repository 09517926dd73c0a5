// The Rich Textbox ActiveX control as a child window: created by its CLSID through the
// framework's control-creation path, driven through its dispatch interface.
#pragma once

#include <framework.h>

// Dispatch identifiers of the control that the program uses.
enum : DISPID {
  DISPID_RICHTEXT_TEXTRTF = 10,  // TextRTF: the whole content as RTF (get, put)
  DISPID_RICHTEXT_SAVEFILE = 40,  // SaveFile(path, kind)
  DISPID_RICHTEXT_LOADFILE = 41,  // LoadFile(path, kind)
};
// Kinds of SaveFile and LoadFile.
enum { kRichTextFileRtf = 0, kRichTextFileText = 1 };

// Event dispatch identifiers of the control (its default source interface).
enum : DISPID {
  DISPID_RICHTEXT_CLICK = -600,
  DISPID_RICHTEXT_KEYDOWN = -602,
  DISPID_RICHTEXT_KEYPRESS = -603,
  DISPID_RICHTEXT_MOUSEDOWN = -605,
};

class CRichText : public CWnd {
  DECLARE_DYNCREATE(CRichText)

 public:
  CRichText() = default;

  // {3B7C8860-D78F-101B-B9B5-04021C009402}
  static const CLSID& GetClsid();

  using CWnd::Create;
  // Creates the control as a child of pParentWnd with the id nID. FALSE when the control
  // is not installed or cannot start; *phr then says why.
  BOOL Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
              HRESULT* phr = NULL);

  // TextRTF: puts the text as the control's RTF content (text that is not RTF shows as it
  // stands). No effect while there is no control.
  void SetTextRTF(BSTR text);
  void SetTextRTF(const CString& text);
  // The content as RTF, as the control gives it; empty while there is no control.
  CString GetTextRTF();
  // The content as plain text (the control's Text property).
  CString GetText();
  // The content written to a file (kRichTextFileRtf or kRichTextFileText) or replaced by a
  // file's. FALSE, with the control's reason in *pstrError when given, when it failed.
  BOOL SaveFile(LPCTSTR lpszPath, long nKind, CString* pstrError = NULL);
  BOOL LoadFile(LPCTSTR lpszPath, long nKind, CString* pstrError = NULL);
  // The control's own edit window (where the caret and the input are); NULL when none.
  HWND GetEditHwnd();

 private:
  // The control's IDispatch as a driver that does not release it; no object when there
  // is no control.
  COleDispatchDriver Driver();
  BOOL CallFile(DISPID dispid, LPCTSTR lpszPath, long nKind, CString* pstrError);
};
