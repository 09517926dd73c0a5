// Time of saving and loading a customised layout: 20 bars of 100 controls each (every
// tenth a popup with a 5-item bar, captions, tooltips, groups, original controls that
// differ from the current ones).
//   stream   the controls stream made and read in memory (checked, read, re-linked)
//   file     SaveCommandBars/LoadCommandBars through the profile: the stream is larger
//            than 16000 bytes, so it goes to the hidden controls file
//   registry the same stream as a REG_BINARY profile value, plus the 20 placement
//            records ("%s-Bar%d", "%s-Summary") written and read back
// Median and best of 15 runs each, in milliseconds.
#include <framework.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsPersist.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPPopupBar.h"

CWinApp theApp(L"Vorlix layout bench");

namespace {

const wchar_t kProfile[] = L"BenchBars";

class CBenchBars : public CXTPCommandBars {
 public:
  void GenerateCommandBarList(CXTPCommandBarList* pList, XTP_COMMANDBARS_PROPEXCHANGE_PARAM* pParam) override {
    DWORD nID = 0x1000000;
    for (CXTPCommandBar* pBar : m_arrBars20) pBar->GenerateCommandBarList(nID, pList, pParam);
  }
  void RestoreCommandBarList(CXTPCommandBarList* pList, BOOL) override {
    m_nLoaded = 0;
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
      CXTPCommandBar* pBar = pList->GetNext(pos);
      if (pBar->GetType() != xtpBarTypePopup) {
        pBar->RestoreCommandBarList(pList);
        m_nLoaded += pBar->GetControlCount();
      }
    }
  }
  std::vector<CXTPCommandBar*> m_arrBars20;
  int m_nLoaded = 0;
};

void Build(CBenchBars& bars) {
  for (int b = 0; b < 20; b++) {
    CXTPCommandBar* pBar = new CXTPCommandBar();
    pBar->SetCommandBars(&bars);
    pBar->SetBarID(1000 + b);
    CString strTitle;
    strTitle.Format(L"Toolbar %d", b + 1);
    pBar->SetTitle(strTitle);
    CXTPControls* pControls = pBar->GetControls();
    for (int i = 0; i < 100; i++) {
      CString strCaption;
      strCaption.Format(L"&Command %d-%d", b, i);
      if (i % 10 == 9) {
        CXTPControlPopup* pPopup = (CXTPControlPopup*)pControls->Add(xtpControlPopup, 0);
        pPopup->SetCaption(strCaption);
        CXTPPopupBar* pSub = CXTPPopupBar::CreatePopupBar(&bars);
        for (int k = 0; k < 5; k++) pSub->GetControls()->Add(xtpControlButton, 50000 + k)->SetCaption(L"&Item");
        pPopup->AttachBar(pSub);
        pSub->InternalRelease();
      } else {
        CXTPControl* pControl = pControls->Add(xtpControlButton, 40000 + b * 100 + i);
        pControl->SetCaption(strCaption);
        pControl->SetTooltip(L"Runs the command");
        pControl->SetBeginGroup(i % 8 == 0);
      }
      if (i == 49) pControls->CreateOriginalControls();
    }
    bars.m_arrBars20.push_back(pBar);
  }
}

void Report(const char* label, const std::function<void()>& f) {
  std::vector<double> ms;
  for (int r = 0; r < 15; r++) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const auto t1 = std::chrono::steady_clock::now();
    ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-30s median %8.2f ms  best %8.2f ms\n", label, ms[ms.size() / 2], ms[0]);
}

}  // namespace

int wmain() {
  theApp.SetRegistryKey(L"Vorlix layout bench");
  CBenchBars bars;
  Build(bars);
  std::vector<BYTE> stream;
  {
    CMemFile file(1024);
    bars.SaveCommandBars(&file, TRUE);
    const UINT n = (UINT)file.GetLength();
    BYTE* p = file.Detach();
    stream.assign(p, p + n);
    free(p);
  }
  std::printf("20 bars x 100 controls: stream of %zu bytes\n", stream.size());

  Report("stream save (memory)", [&] {
    CMemFile file(1024);
    bars.SaveCommandBars(&file, TRUE);
    free(file.Detach());
  });
  Report("stream load (memory)", [&] {
    CBenchBars loading;
    loading.LoadCommandBars(stream.data(), (UINT)stream.size(), TRUE);
    if (loading.m_nLoaded != 2000) std::printf("  loaded %d controls!\n", loading.m_nLoaded);
  });
  Report("file form save", [&] { bars.SaveCommandBars(kProfile, TRUE); });
  Report("file form load", [&] {
    CBenchBars loading;
    if (!loading.LoadCommandBars(kProfile, TRUE) || loading.m_nLoaded != 2000) std::printf("  load failed!\n");
  });
  Report("registry form save", [&] {
    theApp.WriteProfileBinary(L"BenchBars-Controls", L"Controls", stream.data(), (UINT)stream.size());
    theApp.WriteProfileInt(L"BenchBars-Controls", L"LoadFromFile", 0);
    CXTPBarStateList list;
    for (int b = 0; b < 20; b++) {
      CXTPBarState* pState = new CXTPBarState();
      pState->nBarID = 1000 + b;
      pState->bVisible = TRUE;
      pState->ptPosition = CPoint(b * 30, 0);
      list.Add(pState);
    }
    list.SaveList(&theApp, kProfile);
  });
  Report("registry form load", [&] {
    CBenchBars loading;
    if (!loading.LoadCommandBars(kProfile, TRUE) || loading.m_nLoaded != 2000) std::printf("  load failed!\n");
    CXTPBarStateList list;
    list.LoadList(&theApp, kProfile);
    if (list.GetCount() != 20) std::printf("  %d records!\n", list.GetCount());
  });
  const CString strPath = bars.GetControlsFilePath(kProfile);
  ::SetFileAttributesW(strPath, FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(strPath);
  theApp.WriteProfileString(L"BenchBars-Controls", nullptr, nullptr);
  theApp.WriteProfileString(L"BenchBars-Summary", nullptr, nullptr);
  for (int b = 0; b < 20; b++) {
    CString s;
    s.Format(L"BenchBars-Bar%d", b);
    theApp.WriteProfileString(s, nullptr, nullptr);
  }
  for (CXTPCommandBar* pBar : bars.m_arrBars20) pBar->InternalRelease();
  return 0;
}
