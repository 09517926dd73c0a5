// Clipboard and drag-and-drop through the OLE data-transfer classes, on the real
// clipboard and with real windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework.h"

namespace {

HGLOBAL GlobalText(const std::wstring& text) {
  size_t cb = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, cb);
  memcpy(::GlobalLock(h), text.c_str(), cb);
  ::GlobalUnlock(h);
  return h;
}

HGLOBAL GlobalAnsi(const std::string& text) {
  HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(::GlobalLock(h), text.c_str(), text.size() + 1);
  ::GlobalUnlock(h);
  return h;
}

std::wstring TakeText(HGLOBAL h) {
  if (h == nullptr) return L"<none>";
  std::wstring text(static_cast<const wchar_t*>(::GlobalLock(h)));
  ::GlobalUnlock(h);
  ::GlobalFree(h);
  return text;
}

std::string TakeAnsi(HGLOBAL h) {
  if (h == nullptr) return "<none>";
  std::string text(static_cast<const char*>(::GlobalLock(h)));
  ::GlobalUnlock(h);
  ::GlobalFree(h);
  return text;
}

const CLIPFORMAT kLateFormat = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Vorlix Framework Test Late"));

// A source that reports its destruction and renders one format only when asked.
class TestSource : public COleDataSource {
 public:
  explicit TestSource(bool* pDestroyed) : m_pDestroyed(pDestroyed) { *m_pDestroyed = false; }
  ~TestSource() override { *m_pDestroyed = true; }
  int m_nRendered = 0;

 protected:
  BOOL OnRenderGlobalData(LPFORMATETC lpFormatEtc, HGLOBAL* phGlobal) override {
    if (lpFormatEtc->cfFormat != kLateFormat) return FALSE;
    ++m_nRendered;
    *phGlobal = GlobalText(L"rendered late");
    return TRUE;
  }

 private:
  bool* m_pDestroyed;
};

class OleTransfer : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(AfxOleInit()); }
};

TEST_F(OleTransfer, ClipboardRoundTripThroughDataSourceAndDataObject) {
  bool destroyed = false;
  auto* pSource = new TestSource(&destroyed);
  pSource->CacheGlobalData(CF_UNICODETEXT, GlobalText(L"Ann\tOslo\r\nBj\u00f6rn\tBergen"));
  pSource->CacheGlobalData(CF_TEXT, GlobalAnsi("Ann\tOslo"));
  pSource->DelayRenderData(kLateFormat);
  pSource->SetClipboard();
  EXPECT_EQ(pSource, COleDataSource::GetClipboardOwner());

  COleDataObject data;
  ASSERT_TRUE(data.AttachClipboard());
  EXPECT_TRUE(data.m_bClipboard);
  EXPECT_TRUE(data.IsDataAvailable(CF_UNICODETEXT));
  EXPECT_TRUE(data.IsDataAvailable(CF_TEXT));
  EXPECT_TRUE(data.IsDataAvailable(kLateFormat));
  EXPECT_FALSE(data.IsDataAvailable(CF_BITMAP));
  EXPECT_EQ(L"Ann\tOslo\r\nBj\u00f6rn\tBergen", TakeText(data.GetGlobalData(CF_UNICODETEXT)));
  EXPECT_EQ("Ann\tOslo", TakeAnsi(data.GetGlobalData(CF_TEXT)));
  EXPECT_EQ(L"rendered late", TakeText(data.GetGlobalData(kLateFormat)));
  EXPECT_EQ(nullptr, data.GetGlobalData(CF_DIB));

  std::vector<CLIPFORMAT> formats;
  FORMATETC format;
  data.BeginEnumFormats();
  while (data.GetNextFormat(&format)) formats.push_back(format.cfFormat);
  for (CLIPFORMAT cf : {static_cast<CLIPFORMAT>(CF_UNICODETEXT), static_cast<CLIPFORMAT>(CF_TEXT), kLateFormat})
    EXPECT_NE(formats.end(), std::find(formats.begin(), formats.end(), cf)) << cf;
  data.Release();

  // Programs that know nothing of OLE see the same text on the clipboard.
  ASSERT_TRUE(::OpenClipboard(nullptr));
  HANDLE h = ::GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(L"Ann\tOslo\r\nBj\u00f6rn\tBergen", std::wstring(static_cast<const wchar_t*>(::GlobalLock(h))));
  ::GlobalUnlock(h);
  ::CloseClipboard();

  // The clipboard owned the source: emptying it deletes the source.
  EXPECT_FALSE(destroyed);
  ::OleSetClipboard(nullptr);
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(nullptr, COleDataSource::GetClipboardOwner());
}

TEST_F(OleTransfer, FlushLeavesTheDataAndReleasesTheSource) {
  bool destroyed = false;
  auto* pSource = new TestSource(&destroyed);
  pSource->CacheGlobalData(CF_UNICODETEXT, GlobalText(L"kept after flush"));
  pSource->SetClipboard();
  COleDataSource::FlushClipboard();
  EXPECT_TRUE(destroyed);
  COleDataObject data;
  ASSERT_TRUE(data.AttachClipboard());
  EXPECT_EQ(L"kept after flush", TakeText(data.GetGlobalData(CF_UNICODETEXT)));
}

// Text another program put on the clipboard without OLE reads back through COleDataObject,
// in the narrow form too (the grid pastes CF_TEXT).
TEST_F(OleTransfer, PlainClipboardTextReadsAsUnicodeAndAnsi) {
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ::SetClipboardData(CF_UNICODETEXT, GlobalText(L"plain\ttext"));
  ::CloseClipboard();
  COleDataObject data;
  ASSERT_TRUE(data.AttachClipboard());
  EXPECT_EQ(L"plain\ttext", TakeText(data.GetGlobalData(CF_UNICODETEXT)));
  EXPECT_TRUE(data.IsDataAvailable(CF_TEXT));
  EXPECT_EQ("plain\ttext", TakeAnsi(data.GetGlobalData(CF_TEXT)));
  EXPECT_EQ(nullptr, COleDataSource::GetClipboardOwner());
}

TEST_F(OleTransfer, DataObjectWithoutObjectAnswersNothing) {
  COleDataObject data;
  EXPECT_FALSE(data.IsDataAvailable(CF_TEXT));
  EXPECT_EQ(nullptr, data.GetGlobalData(CF_TEXT));
  STGMEDIUM medium;
  EXPECT_FALSE(data.GetData(CF_TEXT, &medium));
  data.BeginEnumFormats();
  FORMATETC format;
  EXPECT_FALSE(data.GetNextFormat(&format));
}

// ---------------------------------------------------------------------------------------
// Drag and drop inside this process: a real window registered as drop target, the mouse
// placed over it, and the system's DoDragDrop loop running.
struct DropLog {
  std::vector<std::string> events;
  CPoint lastPoint;
  std::wstring droppedText;
  DROPEFFECT dropEffect = DROPEFFECT_NONE;
};

class TestDropTarget : public COleDropTarget {
 public:
  explicit TestDropTarget(DropLog* pLog) : m_pLog(pLog) {}
  DROPEFFECT OnDragEnter(CWnd*, COleDataObject* pData, DWORD, CPoint point) override {
    m_pLog->events.push_back("enter");
    m_pLog->lastPoint = point;
    return pData->IsDataAvailable(CF_UNICODETEXT) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  }
  DROPEFFECT OnDragOver(CWnd*, COleDataObject* pData, DWORD, CPoint point) override {
    if (m_pLog->events.empty() || m_pLog->events.back() != "over") m_pLog->events.push_back("over");
    m_pLog->lastPoint = point;
    return pData->IsDataAvailable(CF_UNICODETEXT) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  }
  BOOL OnDrop(CWnd*, COleDataObject* pData, DROPEFFECT dropEffect, CPoint point) override {
    m_pLog->events.push_back("drop");
    m_pLog->lastPoint = point;
    m_pLog->dropEffect = dropEffect;
    m_pLog->droppedText = TakeText(pData->GetGlobalData(CF_UNICODETEXT));
    return TRUE;
  }
  void OnDragLeave(CWnd*) override { m_pLog->events.push_back("leave"); }

 private:
  DropLog* m_pLog;
};

// Drops after a few polls, whatever the mouse buttons do.
class AutoDropSource : public COleDropSource {
 public:
  SCODE QueryContinueDrag(BOOL, DWORD) override { return ++m_nPolls >= 4 ? DRAGDROP_S_DROP : S_OK; }
  int m_nPolls = 0;
};

HWND CreateTargetWindow(int x, int y) {
  static const wchar_t kClass[] = L"FwTransferTestTarget";
  WNDCLASSW wc{};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  ::RegisterClassW(&wc);
  return ::CreateWindowExW(WS_EX_TOPMOST, kClass, L"drop here", WS_POPUP | WS_VISIBLE, x, y, 200, 150,
                           nullptr, nullptr, wc.hInstance, nullptr);
}

TEST_F(OleTransfer, DropTargetRegistrationRules) {
  HWND hWnd = CreateTargetWindow(100, 100);
  DropLog log;
  TestDropTarget target(&log), second(&log);
  EXPECT_TRUE(target.Register(hWnd));
  EXPECT_EQ(hWnd, target.m_hWnd);
  EXPECT_FALSE(target.Register(hWnd));  // already registered
  EXPECT_FALSE(second.Register(hWnd));  // the window has a drop target
  EXPECT_FALSE(second.Register(static_cast<HWND>(nullptr)));
  target.Revoke();
  EXPECT_EQ(nullptr, target.m_hWnd);
  EXPECT_TRUE(second.Register(hWnd));
  ::DestroyWindow(hWnd);
}

TEST_F(OleTransfer, DoDragDropDeliversDataToTheTargetUnderTheMouse) {
  HWND hWnd = CreateTargetWindow(120, 140);
  ASSERT_NE(nullptr, hWnd);
  ::UpdateWindow(hWnd);
  DropLog log;
  TestDropTarget target(&log);
  ASSERT_TRUE(target.Register(hWnd));
  ::SetCursorPos(120 + 50, 140 + 30);

  bool destroyed = false;
  auto* pSource = new TestSource(&destroyed);
  pSource->CacheGlobalData(CF_UNICODETEXT, GlobalText(L"dragged cells"));
  AutoDropSource dropSource;
  DROPEFFECT effect = pSource->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, &dropSource);
  EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), effect);
  ASSERT_FALSE(log.events.empty());
  EXPECT_EQ("enter", log.events.front());
  EXPECT_EQ("drop", log.events.back());
  EXPECT_EQ(L"dragged cells", log.droppedText);
  EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), log.dropEffect);
  EXPECT_EQ(CPoint(50, 30), log.lastPoint);  // client coordinates of the target
  // After a drag the caller still owns the source.
  EXPECT_FALSE(destroyed);
  pSource->InternalRelease();
  EXPECT_TRUE(destroyed);
  target.Revoke();
  ::DestroyWindow(hWnd);
}

TEST_F(OleTransfer, EscapeCancelsADragWithNoEffect) {
  class CancellingSource : public COleDropSource {
   public:
    SCODE QueryContinueDrag(BOOL, DWORD) override { return COleDropSource::QueryContinueDrag(TRUE, MK_LBUTTON); }
  } dropSource;
  bool destroyed = false;
  auto* pSource = new TestSource(&destroyed);
  pSource->CacheGlobalData(CF_UNICODETEXT, GlobalText(L"never dropped"));
  EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), pSource->DoDragDrop(DROPEFFECT_COPY, nullptr, &dropSource));
  delete pSource;
  EXPECT_TRUE(destroyed);
}

}  // namespace
