// The button image editor, driven as a user drives it: the dialog runs modally, and a
// script inside its loop clicks cells, tools and colours through SendInput.
#include <framework.h>

#include <gtest/gtest.h>

#include <test_picture.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "CommandBarsTestSupport.h"
#include "XTPImageEditorDlg.h"
#include "XTPPaintManager.h"

namespace {

using cbtest::ClickAt;
using cbtest::MovePointer;
using cbtest::PumpFor;
using cbtest::PumpUntil;

const COLORREF kTransparent = XTP_IMAGEEDITOR_TRANSPARENT;
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const UINT kLongTipId = 40001;  // a test string whose tip is longer than a tip record holds

// ---- Running the modal editor with a script -------------------------------------------
CXTPImageEditorDlg* g_pDlg = nullptr;
std::function<void()> g_script;
bool g_bScriptRan = false;

VOID CALLBACK ScriptTimer(HWND, UINT, UINT_PTR nID, DWORD) {
  if (g_pDlg == nullptr || g_pDlg->m_hWnd == NULL || !::IsWindowVisible(g_pDlg->m_hWnd)) return;
  ::KillTimer(NULL, nID);
  std::function<void()> script;
  script.swap(g_script);
  g_bScriptRan = true;
  if (script) script();
  // A script that stopped early (a failed assertion) still ends the dialog.
  if (g_pDlg->m_hWnd != NULL && g_pDlg->ContinueModal()) g_pDlg->EndDialog(IDABORT);
}

// Runs the editor; the script must have run unless the editor refuses to open (bMustOpen).
INT_PTR RunEditor(CXTPImageEditorDlg& dlg, std::function<void()> script, bool bMustOpen = true) {
  g_pDlg = &dlg;
  g_bScriptRan = false;
  g_script = std::move(script);
  const UINT_PTR nTimer = ::SetTimer(NULL, 0, 20, ScriptTimer);
  const INT_PTR nResult = dlg.DoModal();
  ::KillTimer(NULL, nTimer);
  g_pDlg = nullptr;
  g_script = nullptr;
  if (bMustOpen) EXPECT_TRUE(g_bScriptRan) << "the editor never showed";
  return nResult;
}

void MouseButton(bool down) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &in, sizeof(INPUT));
  PumpFor(40);
}

CPoint CellOnScreen(CXTPImageEditorDlg& dlg, int x, int y) {
  CPoint pt = dlg.GetPicture().CellCentre(x, y);
  dlg.GetPicture().ClientToScreen(&pt);
  return pt;
}

void ClickCell(CXTPImageEditorDlg& dlg, int x, int y) { ClickAt(CellOnScreen(dlg, x, y)); }

void DragCells(CXTPImageEditorDlg& dlg, CPoint from, CPoint to) {
  MovePointer(CellOnScreen(dlg, from.x, from.y));
  MouseButton(true);
  MovePointer(CellOnScreen(dlg, (from.x + to.x) / 2, (from.y + to.y) / 2));
  MovePointer(CellOnScreen(dlg, to.x, to.y));
  MouseButton(false);
}

void PressButton(CToolBar& bar, UINT nID) {
  const int nIndex = bar.CommandToIndex(nID);
  ASSERT_GE(nIndex, 0) << nID;
  CRect rc;
  bar.GetItemRect(nIndex, &rc);
  bar.ClientToScreen(&rc);
  ClickAt(rc.CenterPoint());
}

void Idle(CXTPImageEditorDlg& dlg) { dlg.SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, 0); }

// A button as the user meets it: the modal loop's idle pass has brought its state up to date.
void PressTool(CXTPImageEditorDlg& dlg, UINT nID) {
  Idle(dlg);
  PressButton(nID >= 9354 && nID <= 9357 ? dlg.GetMoveBar() : dlg.GetToolsBar(), nID);
}

void ClickPicker(CXTPImageEditorPicker& picker) {
  CRect rc;
  picker.GetWindowRect(&rc);
  ClickAt(rc.CenterPoint());
}

COLORREF Pixel(CXTPImageEditorDlg& dlg, int x, int y) {
  const CXTPImageEditorImage* pImage = dlg.GetPicture().GetImage();
  return pImage != nullptr ? (COLORREF)(pImage->GetPixel(x, y) & 0xFFFFFF) : (COLORREF)-1;
}

BOOL ButtonEnabled(CToolBar& bar, UINT nID) { return (BOOL)bar.SendMessage(TB_ISBUTTONENABLED, nID, 0); }
BOOL ButtonChecked(CToolBar& bar, UINT nID) { return (BOOL)bar.SendMessage(TB_ISBUTTONCHECKED, nID, 0); }

void Shot(CXTPImageEditorDlg& dlg, const wchar_t* name) {
  dlg.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpFor(60);
  testsupport::CSnapshot shot(dlg.m_hWnd, testsupport::WindowArea::Whole);
  EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(std::wstring(L"commandbars\\") + name)));
}

// A 32-bit alpha bitmap of cx x cy: clear, with an opaque red square in the top-left quarter.
HBITMAP MakeAlphaBitmap(int cx, int cy) {
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* pv = nullptr;
  HBITMAP hbm = ::CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pv, NULL, 0);
  auto* p = static_cast<uint32_t*>(pv);
  for (int y = 0; y < cy; y++)
    for (int x = 0; x < cx; x++) p[(cy - 1 - y) * cx + x] = (x < cx / 2 && y < cy / 2) ? 0xFFFF0000u : 0u;
  return hbm;
}

// ---- Picture files the import reads -----------------------------------------------------
std::wstring TempFile(const wchar_t* name) {
  WCHAR dir[MAX_PATH];
  ::GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + L"vorlix_editor_" + name;
}

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(nullptr, f);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(x & 0xFF);
  v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// 16 x 16, 24 bits: green with a blue pixel at (3, 2).
std::vector<uint8_t> MakeBmp() {
  std::vector<uint8_t> v = {'B', 'M'};
  const uint32_t stride = 16 * 3, data = stride * 16;
  Put32(v, 14 + 40 + data);
  Put32(v, 0);
  Put32(v, 14 + 40);
  Put32(v, 40), Put32(v, 16), Put32(v, 16), Put16(v, 1), Put16(v, 24), Put32(v, 0), Put32(v, data);
  Put32(v, 2835), Put32(v, 2835), Put32(v, 0), Put32(v, 0);
  for (int y = 15; y >= 0; y--)
    for (int x = 0; x < 16; x++) {
      const bool blue = x == 3 && y == 2;
      v.push_back(blue ? 255 : 0), v.push_back(blue ? 0 : 200), v.push_back(0);
    }
  return v;
}

// 16 x 16, 32 bits with alpha: opaque yellow left half, clear right half.
std::vector<uint8_t> MakeIco() {
  std::vector<uint8_t> v;
  Put16(v, 0), Put16(v, 1), Put16(v, 1);
  const uint32_t image = 40 + 16 * 16 * 4 + 16 * 4;
  v.push_back(16), v.push_back(16), v.push_back(0), v.push_back(0);
  Put16(v, 1), Put16(v, 32), Put32(v, image), Put32(v, 6 + 16);
  Put32(v, 40), Put32(v, 16), Put32(v, 32), Put16(v, 1), Put16(v, 32), Put32(v, 0), Put32(v, 16 * 16 * 4);
  Put32(v, 0), Put32(v, 0), Put32(v, 0), Put32(v, 0);
  for (int y = 15; y >= 0; y--)
    for (int x = 0; x < 16; x++) {
      if (x < 8) {
        v.push_back(0), v.push_back(255), v.push_back(255), v.push_back(255);
      } else {
        v.push_back(0), v.push_back(0), v.push_back(0), v.push_back(0);
      }
    }
  for (int i = 0; i < 16 * 4; i++) v.push_back(0);
  return v;
}

// 16 x 16 GIF, four colours (white, red, green, blue): red top half, blue bottom half. The
// codes stay 3 bits wide because a clear code follows every two pixels.
std::vector<uint8_t> MakeGif() {
  std::vector<uint8_t> v = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(v, 16), Put16(v, 16);
  v.push_back(0x91), v.push_back(0), v.push_back(0);
  const uint8_t palette[12] = {255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255};
  v.insert(v.end(), palette, palette + 12);
  v.push_back(0x2C);
  Put16(v, 0), Put16(v, 0), Put16(v, 16), Put16(v, 16);
  v.push_back(0);
  v.push_back(2);  // minimum code size
  std::vector<uint8_t> packed;
  uint32_t acc = 0;
  int nBits = 0;
  auto emit = [&](uint32_t code) {
    acc |= code << nBits;
    nBits += 3;
    while (nBits >= 8) {
      packed.push_back(acc & 0xFF);
      acc >>= 8;
      nBits -= 8;
    }
  };
  emit(4);
  for (int i = 0; i < 256; i++) {
    emit(i < 128 ? 1 : 3);
    if (i % 2 == 1) emit(4);
  }
  emit(5);
  if (nBits > 0) packed.push_back(acc & 0xFF);
  for (size_t i = 0; i < packed.size(); i += 255) {
    const size_t n = std::min<size_t>(255, packed.size() - i);
    v.push_back((uint8_t)n);
    v.insert(v.end(), packed.begin() + i, packed.begin() + i + n);
  }
  v.push_back(0);
  v.push_back(0x3B);
  return v;
}

class ImageEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    ::OleInitialize(NULL);
    cbtest::ParkPointer();
  }
  void TearDown() override {
    cbtest::ParkPointer();
    ::OleUninitialize();
  }
};

// ---- Tools ------------------------------------------------------------------------------

TEST_F(ImageEditor, PencilDrawsAndTurnsItsOwnColourTransparent) {
  CXTPImageEditorDlg dlg;
  RunEditor(dlg, [&] {
    EXPECT_EQ(CXTPImageEditorDlg::toolPencil, dlg.GetCurrentTool());
    EXPECT_EQ(kBlack, dlg.GetCurrentColor());
    ClickCell(dlg, 4, 5);
    EXPECT_EQ(kBlack, Pixel(dlg, 4, 5));
    EXPECT_EQ(kTransparent, Pixel(dlg, 5, 5));
    // The cell shows its colour on the screen.
    dlg.GetPicture().UpdateWindow();
    testsupport::CSnapshot shot(dlg.GetPicture().m_hWnd, testsupport::WindowArea::Client);
    const CPoint centre = dlg.GetPicture().CellCentre(4, 5);
    EXPECT_EQ(kBlack, shot.Pixel(centre.x, centre.y));
    // The same colour again makes the pixel transparent.
    ClickCell(dlg, 4, 5);
    EXPECT_EQ(kTransparent, Pixel(dlg, 4, 5));
    // A drag with the pencil paints every cell it crosses.
    DragCells(dlg, CPoint(1, 1), CPoint(3, 1));
    EXPECT_EQ(kBlack, Pixel(dlg, 1, 1));
    EXPECT_EQ(kBlack, Pixel(dlg, 3, 1));
    dlg.EndDialog(IDCANCEL);
  });
}

TEST_F(ImageEditor, PalettePickersChooseTheColour) {
  CXTPImageEditorDlg dlg;
  RunEditor(dlg, [&] {
    CXTPImageEditorPicker* pRed = dlg.GetPalettePicker(10);
    ASSERT_NE(nullptr, pRed);
    EXPECT_EQ(9466, pRed->GetDlgCtrlID());
    ClickPicker(*pRed);
    EXPECT_EQ(pRed, dlg.GetSelectedPicker());
    EXPECT_TRUE(pRed->IsSelected());
    EXPECT_FALSE(dlg.GetPalettePicker(0)->IsSelected());
    EXPECT_EQ(kRed, dlg.GetCurrentColor());
    ClickCell(dlg, 2, 2);
    EXPECT_EQ(kRed, Pixel(dlg, 2, 2));
    // The transparent picker erases.
    ClickPicker(dlg.GetTransparentPicker());
    EXPECT_EQ(&dlg.GetTransparentPicker(), dlg.GetSelectedPicker());
    ClickCell(dlg, 2, 2);
    EXPECT_EQ(kTransparent, Pixel(dlg, 2, 2));
    // A selected picker wears a black, white, black frame.
    pRed->UpdateWindow();
    testsupport::CSnapshot shot(pRed->m_hWnd, testsupport::WindowArea::Client);
    EXPECT_EQ(RGB(255, 0, 0), shot.Pixel(5, 5));
    dlg.GetTransparentPicker().UpdateWindow();
    testsupport::CSnapshot shotT(dlg.GetTransparentPicker().m_hWnd, testsupport::WindowArea::Client);
    EXPECT_EQ(kBlack, shotT.Pixel(0, 0));
    EXPECT_EQ(RGB(255, 255, 255), shotT.Pixel(1, 1));
    EXPECT_EQ(kBlack, shotT.Pixel(2, 2));
    dlg.EndDialog(IDCANCEL);
  });
}

TEST_F(ImageEditor, ShapesEndWhereTheDragEnds) {
  CXTPImageEditorDlg dlg;
  RunEditor(dlg, [&] {
    // Line: from (1, 1) to (5, 1), the end cell left out.
    PressTool(dlg, 9366);
    EXPECT_EQ(CXTPImageEditorDlg::toolLine, dlg.GetCurrentTool());
    Idle(dlg);
    EXPECT_TRUE(ButtonChecked(dlg.GetToolsBar(), 9366));
    EXPECT_FALSE(ButtonChecked(dlg.GetToolsBar(), 9363));
    DragCells(dlg, CPoint(1, 1), CPoint(5, 1));
    for (int x = 1; x <= 4; x++) EXPECT_EQ(kBlack, Pixel(dlg, x, 1)) << x;
    EXPECT_EQ(kTransparent, Pixel(dlg, 5, 1));
    EXPECT_EQ(1, dlg.GetPicture().GetUndoCount());
    // Rectangle: a frame over columns 2..5 and rows 3..5 (right and bottom left out).
    PressTool(dlg, 9367);
    DragCells(dlg, CPoint(6, 6), CPoint(2, 3));
    EXPECT_EQ(kBlack, Pixel(dlg, 2, 3));
    EXPECT_EQ(kBlack, Pixel(dlg, 5, 3));
    EXPECT_EQ(kBlack, Pixel(dlg, 2, 5));
    EXPECT_EQ(kBlack, Pixel(dlg, 5, 5));
    EXPECT_EQ(kTransparent, Pixel(dlg, 3, 4));  // inside
    EXPECT_EQ(kTransparent, Pixel(dlg, 6, 6));  // the end cell
    // Ellipse: its outline in the colour, its inside and corners transparent.
    PressTool(dlg, 9368);
    DragCells(dlg, CPoint(8, 8), CPoint(15, 15));
    EXPECT_EQ(kTransparent, Pixel(dlg, 8, 8));
    EXPECT_EQ(kTransparent, Pixel(dlg, 11, 11));
    int nOutline = 0;
    for (int x = 8; x < 15; x++) nOutline += Pixel(dlg, x, 8) == kBlack;
    EXPECT_GT(nOutline, 0);
    EXPECT_EQ(3, dlg.GetPicture().GetUndoCount());
    Shot(dlg, L"image_editor_shapes.png");
    dlg.EndDialog(IDCANCEL);
  });
}

TEST_F(ImageEditor, FillColoursTheEnclosedArea) {
  CXTPImageEditorDlg dlg;
  RunEditor(dlg, [&] {
    PressTool(dlg, 9367);
    DragCells(dlg, CPoint(2, 2), CPoint(9, 9));  // frame over 2..8
    ClickPicker(*dlg.GetPalettePicker(10));         // red
    PressTool(dlg, 9364);
    EXPECT_EQ(CXTPImageEditorDlg::toolFill, dlg.GetCurrentTool());
    ClickCell(dlg, 5, 5);
    EXPECT_EQ(kRed, Pixel(dlg, 5, 5));
    EXPECT_EQ(kRed, Pixel(dlg, 3, 7));
    EXPECT_EQ(kBlack, Pixel(dlg, 2, 2));       // the frame stays
    EXPECT_EQ(kTransparent, Pixel(dlg, 0, 0));  // outside stays
    EXPECT_EQ(kTransparent, Pixel(dlg, 12, 12));
    EXPECT_EQ(2, dlg.GetPicture().GetUndoCount());
    dlg.EndDialog(IDCANCEL);
  });
}

TEST_F(ImageEditor, PickColourReturnsToTheToolBeforeIt) {
  CXTPImageEditorDlg dlg;
  RunEditor(dlg, [&] {
    ClickPicker(*dlg.GetPalettePicker(10));
    ClickCell(dlg, 7, 7);  // a red pixel
    PressTool(dlg, 9366);  // line
    PressTool(dlg, 9365);  // pick
    PressTool(dlg, 9365);  // pick again
    EXPECT_EQ(CXTPImageEditorDlg::toolPick, dlg.GetCurrentTool());
    ClickPicker(*dlg.GetPalettePicker(0));  // black is current now
    ClickCell(dlg, 7, 7);
    EXPECT_EQ(kRed, dlg.GetFreePicker().GetColor());
    EXPECT_EQ(&dlg.GetFreePicker(), dlg.GetSelectedPicker());
    EXPECT_EQ(kRed, dlg.GetCurrentColor());
    EXPECT_EQ(CXTPImageEditorDlg::toolLine, dlg.GetCurrentTool());
    // Picking a transparent pixel gives the transparent colour.
    PressTool(dlg, 9365);
    ClickCell(dlg, 0, 0);
    EXPECT_EQ(kTransparent, dlg.GetFreePicker().GetColor());
    EXPECT_EQ(CXTPImageEditorDlg::toolLine, dlg.GetCurrentTool());
    dlg.EndDialog(IDCANCEL);
  });
}

// ---- Undo, redo, moves, clear ---------------------------------------------------------------

TEST_F(ImageEditor, SixteenChangesCanBeUndoneAndANewChangeEmptiesRedo) {
  CXTPImageEditorDlg dlg;
  RunEditor(dlg, [&] {
    Idle(dlg);
    EXPECT_FALSE(ButtonEnabled(dlg.GetToolsBar(), 9372));
    EXPECT_FALSE(ButtonEnabled(dlg.GetToolsBar(), 9373));
    for (int i = 0; i < 17; i++) ClickCell(dlg, i % 16, i / 16);
    EXPECT_EQ(CXTPImageEditorPicture::kMaxUndo, dlg.GetPicture().GetUndoCount());
    Idle(dlg);
    EXPECT_TRUE(ButtonEnabled(dlg.GetToolsBar(), 9372));
    PressTool(dlg, 9372);  // one undo through the button
    for (int i = 1; i < 16; i++) dlg.SendMessage(WM_COMMAND, 9372, 0);
    EXPECT_EQ(0, dlg.GetPicture().GetUndoCount());
    EXPECT_EQ(16, dlg.GetPicture().GetRedoCount());
    // The first change is older than the sixteen kept: it stays.
    EXPECT_EQ(kBlack, Pixel(dlg, 0, 0));
    for (int i = 1; i < 17; i++) EXPECT_EQ(kTransparent, Pixel(dlg, i % 16, i / 16)) << i;
    Idle(dlg);
    EXPECT_FALSE(ButtonEnabled(dlg.GetToolsBar(), 9372));
    EXPECT_TRUE(ButtonEnabled(dlg.GetToolsBar(), 9373));
    PressTool(dlg, 9373);  // redo
    EXPECT_EQ(kBlack, Pixel(dlg, 1, 0));
    EXPECT_EQ(15, dlg.GetPicture().GetRedoCount());
    ClickCell(dlg, 9, 9);  // a new change
    EXPECT_EQ(0, dlg.GetPicture().GetRedoCount());
    Idle(dlg);
    EXPECT_FALSE(ButtonEnabled(dlg.GetToolsBar(), 9373));
    dlg.EndDialog(IDCANCEL);
  });
}

TEST_F(ImageEditor, MovesShiftTheImageByOnePixel) {
  CXTPImageEditorDlg dlg;
  RunEditor(dlg, [&] {
    ClickCell(dlg, 5, 5);
    const struct {
      UINT id;
      int x, y;
    } steps[] = {{9357, 6, 5}, {9355, 6, 6}, {9354, 5, 6}, {9356, 5, 5}};
    for (const auto& s : steps) {
      PressTool(dlg, s.id);
      EXPECT_EQ(kBlack, Pixel(dlg, s.x, s.y)) << s.id;
      int nBlack = 0;
      for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) nBlack += Pixel(dlg, x, y) == kBlack;
      EXPECT_EQ(1, nBlack) << s.id;
    }
    // A pixel moved out over the edge is gone.
    ClickCell(dlg, 5, 5);  // transparent again
    ClickCell(dlg, 15, 0);
    PressTool(dlg, 9357);
    for (int y = 0; y < 16; y++) EXPECT_EQ(kTransparent, Pixel(dlg, 0, y));
    EXPECT_EQ(kTransparent, Pixel(dlg, 15, 0));
    EXPECT_EQ(8, dlg.GetPicture().GetUndoCount());
    dlg.EndDialog(IDCANCEL);
  });
}

TEST_F(ImageEditor, ClearThenOkGivesNoIconAndUndoBringsItBack) {
  CXTPImageManagerIconHandle hIcon;
  HBITMAP hbm = MakeAlphaBitmap(16, 16);
  hIcon.CopyHandle(hbm);
  ::DeleteObject(hbm);
  {
    CXTPImageEditorDlg dlg;
    dlg.SetIcon(hIcon);
    const INT_PTR nResult = RunEditor(dlg, [&] {
      PressTool(dlg, 9371);
      EXPECT_EQ(nullptr, dlg.GetPicture().GetImage());
      PressTool(dlg, 9372);
      ASSERT_NE(nullptr, dlg.GetPicture().GetImage());
      EXPECT_EQ(0xFF0000FFu, dlg.GetPicture().GetImage()->GetPixel(1, 1));  // opaque red
      PressTool(dlg, 9371);
      CWnd* pOK = dlg.GetDlgItem(IDOK);
      CRect rc;
      pOK->GetWindowRect(&rc);
      ClickAt(rc.CenterPoint());
    });
    EXPECT_EQ(IDOK, nResult);
    CXTPImageManagerIconHandle hResult;
    dlg.GetIcon(&hResult);
    EXPECT_TRUE(hResult.IsEmpty());
  }
  // The icon it was given is untouched.
  EXPECT_FALSE(hIcon.IsEmpty());
}

TEST_F(ImageEditor, OkGivesTheDrawnIcon) {
  CXTPImageEditorDlg dlg;
  dlg.SetSize(16, 16);
  const INT_PTR nResult = RunEditor(dlg, [&] {
    ClickPicker(*dlg.GetPalettePicker(10));
    ClickCell(dlg, 3, 4);
    CWnd* pOK = dlg.GetDlgItem(IDOK);
    CRect rc;
    pOK->GetWindowRect(&rc);
    ClickAt(rc.CenterPoint());
  });
  ASSERT_EQ(IDOK, nResult);
  CXTPImageManagerIconHandle hResult;
  dlg.GetIcon(&hResult);
  ASSERT_FALSE(hResult.IsEmpty());
  ASSERT_NE(nullptr, hResult.GetIcon());
  EXPECT_EQ(CSize(16, 16), hResult.GetExtent());
  // Drawn on white: red where drawn, white (masked) elsewhere.
  testsupport::CSnapshot pic(16, 16);
  pic.DC().FillSolidRect(0, 0, 16, 16, RGB(255, 255, 255));
  ::DrawIconEx(pic.DC().m_hDC, 0, 0, hResult.GetIcon(), 16, 16, 0, NULL, DI_NORMAL);
  EXPECT_EQ(kRed, pic.Pixel(3, 4));
  EXPECT_EQ(RGB(255, 255, 255), pic.Pixel(8, 8));
}

TEST_F(ImageEditor, AlphaIconRoundTripsWithItsAlpha) {
  CXTPImageManagerIconHandle hIcon;
  HBITMAP hbm = MakeAlphaBitmap(16, 16);
  hIcon.CopyHandle(hbm);
  ::DeleteObject(hbm);
  CXTPImageEditorDlg dlg;
  dlg.SetIcon(hIcon);
  const INT_PTR nResult = RunEditor(dlg, [&] {
    ASSERT_NE(nullptr, dlg.GetPicture().GetImage());
    EXPECT_TRUE(dlg.GetPicture().GetImage()->IsAlpha());
    // Clear pixels (value 0) became the transparent colour.
    EXPECT_EQ(kTransparent, Pixel(dlg, 12, 12));
    ClickPicker(*dlg.GetPalettePicker(14));  // blue
    ClickCell(dlg, 12, 12);
    EXPECT_EQ(0xFFFF0000u, dlg.GetPicture().GetImage()->GetPixel(12, 12));
    Shot(dlg, L"image_editor_alpha.png");
    dlg.EndDialog(IDOK);
  });
  EXPECT_EQ(IDOK, nResult);
}

// ---- Sizes ------------------------------------------------------------------------------

TEST_F(ImageEditor, CellsFitThePictureAndBigImagesGrowIt) {
  const struct {
    int side;
    bool opens;
  } cases[] = {{16, true}, {24, true}, {48, true}, {200, true}, {256, true}, {257, false}, {1024, false}};
  for (const auto& c : cases) {
    CXTPImageManagerIconHandle hIcon;
    HBITMAP hbm = MakeAlphaBitmap(c.side, c.side);
    hIcon.CopyHandle(hbm);
    ::DeleteObject(hbm);
    CXTPImageEditorDlg dlg;
    dlg.SetIcon(hIcon);
    bool bShown = false;
    const INT_PTR nResult = RunEditor(dlg, [&] {
      bShown = true;
      CXTPImageEditorPicture& pic = dlg.GetPicture();
      const CSize cell = pic.GetCellSize();
      EXPECT_GE(cell.cx, 1) << c.side;
      EXPECT_GE(cell.cy, 1) << c.side;
      CRect rc;
      pic.GetWindowRect(&rc);
      EXPECT_EQ(c.side * cell.cx + 1, rc.Width()) << c.side;
      EXPECT_EQ(c.side * cell.cy + 1, rc.Height()) << c.side;
      // The grown picture stays inside the dialog and clear of the tools.
      CRect rcDlg, rcTools;
      dlg.GetClientRect(&rcDlg);
      dlg.ClientToScreen(&rcDlg);
      EXPECT_TRUE(rcDlg.PtInRect(rc.BottomRight() - CSize(1, 1))) << c.side;
      dlg.GetToolsBar().GetWindowRect(&rcTools);
      CRect rcOverlap;
      EXPECT_FALSE(rcOverlap.IntersectRect(&rc, &rcTools)) << c.side;
      // A press on the last cell draws there.
      ClickCell(dlg, c.side - 1, c.side - 1);
      EXPECT_EQ(0xFF000000u, dlg.GetPicture().GetImage()->GetPixel(c.side - 1, c.side - 1)) << c.side;
      if (c.side == 256) Shot(dlg, L"image_editor_256.png");
      dlg.EndDialog(IDCANCEL);
    }, c.opens);
    EXPECT_EQ(c.opens, bShown) << c.side;
    EXPECT_EQ(IDCANCEL, nResult) << c.side;
  }
}

// ---- Import -----------------------------------------------------------------------------

TEST_F(ImageEditor, ImportReadsBmpIcoAndGifAndDamagedFilesChangeNothing) {
  const std::wstring bmp = TempFile(L"a.bmp"), ico = TempFile(L"a.ico"), gif = TempFile(L"a.gif");
  const std::wstring badBmp = TempFile(L"bad.bmp"), badIco = TempFile(L"bad.ico"), badGif = TempFile(L"bad.gif");
  WriteBytes(bmp, MakeBmp());
  WriteBytes(ico, MakeIco());
  WriteBytes(gif, MakeGif());
  std::vector<uint8_t> cut = MakeBmp();
  cut.resize(60);
  WriteBytes(badBmp, cut);
  WriteBytes(badIco, {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0xFF, 0xFF, 0xFF, 0x7F, 22, 0, 0, 0});
  std::vector<uint8_t> badGifBytes = MakeGif();
  badGifBytes.resize(20);
  WriteBytes(badGif, badGifBytes);
  CXTPImageEditorDlg dlg;
  RunEditor(dlg, [&] {
    ClickCell(dlg, 0, 0);
    const int nUndo = dlg.GetPicture().GetUndoCount();
    int nBad = 0;
    for (const std::wstring* p : {&badBmp, &badIco, &badGif}) {
      EXPECT_FALSE(dlg.ImportFile(p->c_str())) << "damaged file " << nBad++;
      EXPECT_EQ(nUndo, dlg.GetPicture().GetUndoCount());
      EXPECT_EQ(kBlack, Pixel(dlg, 0, 0));
    }
    EXPECT_FALSE(dlg.ImportFile(TempFile(L"missing.bmp").c_str()));
    EXPECT_EQ(nUndo, dlg.GetPicture().GetUndoCount());

    ASSERT_TRUE(dlg.ImportFile(bmp.c_str()));
    EXPECT_EQ(RGB(0, 200, 0), Pixel(dlg, 0, 0));
    EXPECT_EQ(RGB(0, 0, 255), Pixel(dlg, 3, 2));
    EXPECT_FALSE(dlg.GetPicture().GetImage()->IsAlpha());

    ASSERT_TRUE(dlg.ImportFile(ico.c_str()));
    EXPECT_TRUE(dlg.GetPicture().GetImage()->IsAlpha());
    EXPECT_EQ(0xFF00FFFFu, dlg.GetPicture().GetImage()->GetPixel(2, 2));  // opaque yellow
    EXPECT_EQ(0u, dlg.GetPicture().GetImage()->GetPixel(12, 2) >> 24);   // clear

    const BOOL bGif = dlg.ImportFile(gif.c_str());
    EXPECT_TRUE(bGif);
    if (bGif) {
      EXPECT_EQ(kRed, Pixel(dlg, 4, 2));
      EXPECT_EQ(RGB(0, 0, 255), Pixel(dlg, 4, 12));
      EXPECT_FALSE(dlg.GetPicture().GetImage()->IsAlpha());
    }
    EXPECT_EQ(nUndo + 3, dlg.GetPicture().GetUndoCount());
    Shot(dlg, L"image_editor_import_gif.png");
    // Each import undoes as one step.
    PressTool(dlg, 9372);
    EXPECT_TRUE(dlg.GetPicture().GetImage()->IsAlpha());
    dlg.EndDialog(IDCANCEL);
  });
  for (const auto& p : {bmp, ico, gif, badBmp, badIco, badGif}) ::DeleteFileW(p.c_str());
}

// ---- Clipboard ----------------------------------------------------------------------------

TEST_F(ImageEditor, CopyAndPasteThroughTheClipboard) {
  CXTPImageEditorDlg dlg;
  RunEditor(dlg, [&] {
    ClickPicker(*dlg.GetPalettePicker(10));
    ClickCell(dlg, 6, 6);
    PressTool(dlg, 9369);  // copy
    ASSERT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
    // On the clipboard, transparent pixels wear the face colour.
    ASSERT_TRUE(::OpenClipboard(NULL));
    HBITMAP hClip = (HBITMAP)::GetClipboardData(CF_BITMAP);
    ASSERT_NE(nullptr, hClip);
    {
      CDC dc;
      dc.CreateCompatibleDC(NULL);
      HGDIOBJ hOld = ::SelectObject(dc.m_hDC, hClip);
      EXPECT_EQ(kRed, dc.GetPixel(6, 6));
      EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), dc.GetPixel(0, 0));
      ::SelectObject(dc.m_hDC, hOld);
    }
    ::CloseClipboard();
    PressTool(dlg, 9371);  // clear
    PressTool(dlg, 9370);  // paste
    ASSERT_NE(nullptr, dlg.GetPicture().GetImage());
    EXPECT_EQ(kRed, Pixel(dlg, 6, 6));
    EXPECT_EQ(kTransparent, Pixel(dlg, 0, 0));
    EXPECT_EQ(3, dlg.GetPicture().GetUndoCount());

    // A plain bitmap another program put there: the face colour is transparent.
    {
      CClientDC screen(NULL);
      HBITMAP hPlain = ::CreateCompatibleBitmap(screen.m_hDC, 16, 16);
      CDC dc;
      dc.CreateCompatibleDC(NULL);
      HGDIOBJ hOld = ::SelectObject(dc.m_hDC, hPlain);
      dc.FillSolidRect(0, 0, 16, 16, ::GetSysColor(COLOR_BTNFACE));
      dc.FillSolidRect(1, 2, 3, 3, RGB(0, 0, 255));
      ::SelectObject(dc.m_hDC, hOld);
      ASSERT_TRUE(::OpenClipboard(NULL));
      ::EmptyClipboard();
      ::SetClipboardData(CF_BITMAP, hPlain);
      ::CloseClipboard();
    }
    PressTool(dlg, 9370);
    EXPECT_EQ(RGB(0, 0, 255), Pixel(dlg, 2, 3));
    EXPECT_EQ(kTransparent, Pixel(dlg, 10, 10));
    EXPECT_EQ(kTransparent, Pixel(dlg, 6, 6));

    // Text on the clipboard pastes nothing.
    ASSERT_TRUE(::OpenClipboard(NULL));
    ::EmptyClipboard();
    HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, 8);
    memcpy(::GlobalLock(hText), "text", 5);
    ::GlobalUnlock(hText);
    ::SetClipboardData(CF_TEXT, hText);
    ::CloseClipboard();
    const int nUndo = dlg.GetPicture().GetUndoCount();
    PressTool(dlg, 9370);
    EXPECT_EQ(nUndo, dlg.GetPicture().GetUndoCount());
    EXPECT_EQ(RGB(0, 0, 255), Pixel(dlg, 2, 3));
    dlg.EndDialog(IDCANCEL);
  });
}

TEST_F(ImageEditor, AlphaCopyCarriesItsMarker) {
  CXTPImageManagerIconHandle hIcon;
  HBITMAP hbm = MakeAlphaBitmap(16, 16);
  hIcon.CopyHandle(hbm);
  ::DeleteObject(hbm);
  CXTPImageEditorDlg dlg;
  dlg.SetIcon(hIcon);
  RunEditor(dlg, [&] {
    PressTool(dlg, 9369);
    EXPECT_TRUE(::IsClipboardFormatAvailable(::RegisterClipboardFormatW(L"Alpha Bitmap Image")));
    PressTool(dlg, 9371);
    PressTool(dlg, 9370);
    ASSERT_NE(nullptr, dlg.GetPicture().GetImage());
    EXPECT_TRUE(dlg.GetPicture().GetImage()->IsAlpha());
    EXPECT_EQ(0xFF0000FFu, dlg.GetPicture().GetImage()->GetPixel(2, 2));  // opaque red
    dlg.EndDialog(IDCANCEL);
  });
}

// ---- Tips ---------------------------------------------------------------------------------

TEST_F(ImageEditor, TipsAreTheTextAfterTheBreakAndAlwaysTerminated) {
  CXTPImageEditorDlg dlg;
  RunEditor(dlg, [&] {
    const struct {
      UINT id;
      const char* expected;
    } cases[] = {{9363, "Pencil"}, {9374, "Import from File"}, {9354, ""}, {12345, ""}};
    // The notes come from the tools bar's tip window, as the bar's tips send them.
    HWND hTips = (HWND)dlg.GetToolsBar().SendMessage(TB_GETTOOLTIPS, 0, 0);
    if (hTips == NULL) hTips = dlg.GetToolsBar().m_hWnd;
    for (const auto& c : cases) {
      NMTTDISPINFOA info = {};
      info.hdr.hwndFrom = hTips;
      info.hdr.code = TTN_NEEDTEXTA;
      info.hdr.idFrom = c.id;
      memset(info.szText, 'x', sizeof(info.szText));
      dlg.SendMessage(WM_NOTIFY, c.id, (LPARAM)&info);
      EXPECT_STREQ(c.expected, info.szText) << c.id;
    }
    // A tip longer than the record: 79 characters and the terminator.
    NMTTDISPINFOA infoA = {};
    infoA.hdr.hwndFrom = hTips;
    infoA.hdr.code = TTN_NEEDTEXTA;
    infoA.hdr.idFrom = kLongTipId;
    memset(infoA.szText, 'x', sizeof(infoA.szText));
    dlg.SendMessage(WM_NOTIFY, kLongTipId, (LPARAM)&infoA);
    EXPECT_EQ('\0', infoA.szText[79]);
    EXPECT_EQ(79u, strlen(infoA.szText));
    EXPECT_EQ('0', infoA.szText[0]);
    NMTTDISPINFOW infoW = {};
    infoW.hdr.hwndFrom = hTips;
    infoW.hdr.code = TTN_NEEDTEXTW;
    infoW.hdr.idFrom = kLongTipId;
    wmemset(infoW.szText, L'x', 80);
    dlg.SendMessage(WM_NOTIFY, kLongTipId, (LPARAM)&infoW);
    EXPECT_EQ(L'\0', infoW.szText[79]);
    EXPECT_EQ(79u, wcslen(infoW.szText));
    dlg.EndDialog(IDCANCEL);
  });
}

// ---- Looks --------------------------------------------------------------------------------

TEST_F(ImageEditor, ScreenshotsInBothThemes) {
  for (int nTheme : {0, 3}) {
    CXTPPaintManager::SetTheme(nTheme);
    CXTPImageManagerIconHandle hIcon;
    HBITMAP hbm = MakeAlphaBitmap(16, 16);
    hIcon.CopyHandle(hbm);
    ::DeleteObject(hbm);
    CXTPImageEditorDlg dlg;
    dlg.SetIcon(hIcon);
    RunEditor(dlg, [&] {
      ClickPicker(*dlg.GetPalettePicker(14));
      PressTool(dlg, 9368);
      DragCells(dlg, CPoint(6, 6), CPoint(15, 15));
      Idle(dlg);
      cbtest::ParkPointer();
      // The picture shows the checkerboard where transparent and the drawing in blue.
      dlg.GetPicture().UpdateWindow();
      testsupport::CSnapshot pic(dlg.GetPicture().m_hWnd, testsupport::WindowArea::Client);
      const CPoint clear = dlg.GetPicture().CellCentre(12, 2);
      const COLORREF c = pic.Pixel(clear.x, clear.y);
      EXPECT_TRUE(c == RGB(235, 235, 235) || c == RGB(255, 255, 255));
      const CPoint red = dlg.GetPicture().CellCentre(2, 2);
      EXPECT_EQ(kRed, pic.Pixel(red.x, red.y));
      EXPECT_EQ(kBlack, pic.Pixel(0, 0));  // the frame
      // The preview shows the image at natural size 10 pixels from the left.
      dlg.GetPreview().UpdateWindow();
      testsupport::CSnapshot prev(dlg.GetPreview().m_hWnd, testsupport::WindowArea::Client);
      CRect rcPrev;
      dlg.GetPreview().GetClientRect(&rcPrev);
      const int top = (rcPrev.Height() - 16) / 2;
      EXPECT_EQ(kRed, prev.Pixel(10 + 2, top + 2));
      EXPECT_EQ(::GetSysColor(COLOR_3DFACE), prev.Pixel(10 + 12, top + 2));
      Shot(dlg, nTheme == 0 ? L"image_editor_theme0.png" : L"image_editor_theme3.png");
      dlg.EndDialog(IDCANCEL);
    });
  }
  CXTPPaintManager::SetTheme(0);
}

}  // namespace
