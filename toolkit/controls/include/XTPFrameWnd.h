// The frame-window base that hosts the command bars: it holds one reference to the
// frame's CXTPCommandBars and routes keys, frame messages, print-preview mode and the
// bars' notifications between the frame and the bars.
#pragma once

#include <framework.h>

class CXTPCommandBars;

// Sent by the command bars to their site frame; lParam: NMHDR (window, command id, code).
// The frame routes it as WM_NOTIFY for that command id and returns the handler's result.
#define WM_XTP_COMMANDBARSNOTIFY 0x2862

class CXTPFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CXTPFrameWnd)

 public:
  CXTPFrameWnd();
  ~CXTPFrameWnd() override;

  CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }

  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                 CWnd* pParentWnd = NULL, CCreateContext* pContext = NULL) override;
  void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) override;

  // Set once by the derived frame while it is created; the frame owns one reference.
  CXTPCommandBars* m_pCommandBars;
};
