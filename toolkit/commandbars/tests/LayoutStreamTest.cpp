// The stored layout's controls stream and options under Wine: bars and controls saved and
// read back value for value, the profile and hidden-file forms (16000 against 16001
// bytes), the controls file replaced only once the new one is whole, a table of damaged
// streams, profile values and files that leave the bars as built, the options in the
// registry (values 1 to 8 only, an emptied "UsedCommands" deleted) and in an archive,
// and the placement records read back scaled and bounded.
#include <framework.h>

#include <gtest/gtest.h>

#include <test_picture.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPCommandBarsPersist.h"
#include "XTPCommandBarsPersistStream.h"
#include "XTPControl.h"
#include "XTPControlButton.h"
#include "XTPControlComboBox.h"
#include "XTPControlCustom.h"
#include "XTPControlEdit.h"
#include "XTPControlLabel.h"
#include "XTPControlPopup.h"
#include "XTPControlSelector.h"
#include "XTPControls.h"
#include "XTPMenuBar.h"
#include "XTPPopupBar.h"
#include "XTPPropExchange.h"

#ifndef AS_KIND
#define AS_KIND(cls, p) ((p) != NULL && (p)->IsKindOf(RUNTIME_CLASS(cls)) ? static_cast<cls*>(p) : NULL)
#endif

CWinApp theApp(L"Vorlix layout test");

namespace {

using cbtest::ValueNames;

const wchar_t kCompany[] = L"Vorlix layout tests";
const wchar_t kProfile[] = L"CommandBars";

std::wstring W(const CString& s) { return std::wstring(s.GetString()); }

void DeleteSection(LPCWSTR section) { theApp.WriteProfileString(section, nullptr, nullptr); }

void DeleteProfile() {
  for (LPCWSTR s : {L"CommandBars-Controls", L"CommandBars-Options", L"CommandBars-Summary", L"CommandBars"})
    DeleteSection(s);
}

std::vector<BYTE> ProfileBytes(LPCWSTR section, LPCWSTR name, DWORD* pType = nullptr) {
  std::vector<BYTE> out;
  HKEY hKey = theApp.GetSectionKey(section);
  if (hKey == nullptr) return out;
  DWORD type = 0, size = 0;
  if (::RegQueryValueExW(hKey, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    out.resize(size);
    ::RegQueryValueExW(hKey, name, nullptr, &type, out.data(), &size);
    if (pType) *pType = type;
  }
  ::RegCloseKey(hKey);
  return out;
}

std::vector<BYTE> FileBytes(const CString& path) {
  std::vector<BYTE> out;
  HANDLE h = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return out;
  DWORD size = ::GetFileSize(h, nullptr), read = 0;
  out.resize(size);
  ::ReadFile(h, out.data(), size, &read, nullptr);
  ::CloseHandle(h);
  return out;
}

void WriteSeed(const std::wstring& name, const std::vector<BYTE>& bytes) {
  const std::wstring path = testsupport::ArtifactPath(L"commandbars\\layout_seeds\\" + name);
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
  ::CloseHandle(h);
}

// Command bars whose bars to save are the test's, and which keep what a load hands them.
class CTestBars : public CXTPCommandBars {
 public:
  CTestBars() { m_bCustomizable = TRUE; }  // as for a site that offers "Customize"
  ~CTestBars() override { ReleaseRestored(); }
  void GenerateCommandBarList(CXTPCommandBarList* pList, XTP_COMMANDBARS_PROPEXCHANGE_PARAM* pParam) override {
    DWORD nID = 0x1000000;
    for (CXTPCommandBar* pBar : m_arrSave) pBar->GenerateCommandBarList(nID, pList, pParam);
  }
  void RestoreCommandBarList(CXTPCommandBarList* pList, BOOL bSilent) override {
    m_nRestores++;
    m_bLastSilent = bSilent;
    ReleaseRestored();
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
      CXTPCommandBar* pBar = pList->GetNext(pos);
      if (pBar->GetType() != xtpBarTypePopup) pBar->RestoreCommandBarList(pList);
    }
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
      CXTPCommandBar* pBar = pList->GetNext(pos);
      pBar->InternalAddRef();
      m_arrRestored.push_back(pBar);
    }
  }
  void ReleaseRestored() {
    for (CXTPCommandBar* pBar : m_arrRestored) pBar->InternalRelease();
    m_arrRestored.clear();
  }
  std::vector<CXTPCommandBar*> m_arrSave;  // not owned
  std::vector<CXTPCommandBar*> m_arrRestored;
  int m_nRestores = 0;
  BOOL m_bLastSilent = FALSE;
};

// A small bar set: a "toolbar-like" root (id 100, type normal) holding a button, a label,
// a selector and a popup whose bar holds a button and a popup that opens a third bar.
struct SampleBars {
  explicit SampleBars(CXTPCommandBars* pOwner) {
    root = new CXTPCommandBar();  // a bar of its own (not a popup): keeps its id
    root->SetCommandBars(pOwner);
    root->SetBarID(100);
    root->SetTitle(L"Standard");
    CXTPControls* pControls = root->GetControls();
    CXTPControl* pButton = pControls->Add(xtpControlButton, 32771);
    pButton->SetCaption(L"&New\tCtrl+N");
    pButton->SetShortcutText(L"Ctrl+Shift+N");
    pButton->SetTooltip(L"New file");
    pButton->SetDescription(L"Makes a new file");
    pButton->SetCustomCaption(L"Brand &new");
    pButton->SetIconId(216);
    pButton->SetStyle(3);
    pButton->SetCategory(L"File");
    pButton->m_mapDocTemplatesAssigned.SetAt(128, TRUE);
    CXTPControl* pLabel = pControls->Add(xtpControlLabel, 0);
    pLabel->SetCaption(L"Label");
    pLabel->SetBeginGroup(TRUE);
    CXTPControlSelector* pSelector = new CXTPControlSelector();
    pControls->Add(pSelector, 33000);
    pSelector->m_szItemsCount = CSize(7, 3);
    pSelector->m_szItemsMax = CSize(9, 10);
    pSelector->m_szItem = CSize(20, 21);
    CXTPControlPopup* pPopup = (CXTPControlPopup*)pControls->Add(xtpControlPopup, 0);
    pPopup->SetCaption(L"&File");
    pPopup->SetHideFlags(xtpHideCustomize);
    sub = CXTPPopupBar::CreatePopupBar(pOwner);
    sub->GetControls()->Add(xtpControlButton, 57601)->SetCaption(L"&Open");
    sub->SetBorders(CRect(3, 5, 7, 9));
    sub->SetTearOffPopup(L"Torn", 4000, 333);
    pPopup->AttachBar(sub);
    CXTPControlPopup* pInner = (CXTPControlPopup*)sub->GetControls()->Add(xtpControlPopup, 0);
    pInner->SetCaption(L"&Recent");
    inner = CXTPPopupBar::CreatePopupBar(pOwner);
    inner->GetControls()->Add(xtpControlButton, 57616)->SetCaption(L"&1 file.nsf");
    pInner->AttachBar(inner);
    // The program's controls as first built: the root's original controls differ by one.
    pControls->CreateOriginalControls();
    pControls->Add(xtpControlButton, 32772)->SetCaption(L"&Export");
  }
  ~SampleBars() {
    inner->InternalRelease();
    sub->InternalRelease();
    root->InternalRelease();
  }
  CXTPCommandBar* root;
  CXTPPopupBar* sub;
  CXTPPopupBar* inner;
};

std::vector<BYTE> SaveToBytes(CTestBars& bars) {
  CMemFile file(1024);
  EXPECT_TRUE(bars.SaveCommandBars(&file, TRUE));
  const UINT n = (UINT)file.GetLength();
  BYTE* p = file.Detach();
  std::vector<BYTE> out(p, p + n);
  free(p);
  return out;
}

class LayoutStream : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (theApp.m_pszRegistryKey == nullptr) theApp.SetRegistryKey(kCompany);
  }
  void SetUp() override { DeleteProfile(); }
  void TearDown() override { DeleteProfile(); }
};

}  // namespace

// ---------------------------------------------------------------------------------------
TEST_F(LayoutStream, BarsAndControlsComeBackValueForValue) {
  CTestBars saving;
  SampleBars sample(&saving);
  saving.m_arrSave.push_back(sample.root);
  const std::vector<BYTE> bytes = SaveToBytes(saving);
  WriteSeed(L"sample.bin", bytes);
  // Popup bars without an id took fresh ones beyond the resource range, in order.
  EXPECT_EQ(sample.root->GetBarID(), 100u);
  EXPECT_EQ(sample.sub->GetBarID(), 0x1000000u);
  EXPECT_EQ(sample.inner->GetBarID(), 0x1000001u);

  // Saved: the three bars, and the copy of the popup's bar that the original controls
  // hold.
  XTP_COMMANDBARS_PROPEXCHANGE_PARAM param;
  param.pCommandBars = &saving;
  CXTPCommandBarList saved;
  saving.GenerateCommandBarList(&saved, &param);
  EXPECT_GT(saved.GetCount(), 3);

  CTestBars loading;
  ASSERT_TRUE(loading.LoadCommandBars(bytes.data(), (UINT)bytes.size(), TRUE));
  EXPECT_EQ(loading.m_nRestores, 1);
  EXPECT_TRUE(loading.m_bLastSilent);
  ASSERT_EQ(loading.m_arrRestored.size(), (size_t)saved.GetCount());
  CXTPCommandBar* pRoot = loading.m_arrRestored[0];
  EXPECT_EQ(pRoot->GetRuntimeClass(), RUNTIME_CLASS(CXTPCommandBar));
  EXPECT_EQ(pRoot->GetBarID(), 100u);
  EXPECT_EQ(W(pRoot->GetTitle()), W(L"Standard"));
  EXPECT_EQ(pRoot->GetCommandBars(), &loading);
  CXTPControls* pControls = pRoot->GetControls();
  ASSERT_EQ(pControls->GetCount(), 5);
  CXTPControl* pButton = pControls->GetAt(0);
  EXPECT_TRUE(pButton->IsKindOf(RUNTIME_CLASS(CXTPControlButton)));
  EXPECT_EQ(pButton->GetID(), 32771);
  EXPECT_EQ(W(pButton->GetCaption()), W(L"Brand &new"));
  EXPECT_EQ(W(pButton->GetShortcutText()), W(L"Ctrl+Shift+N"));
  EXPECT_EQ(W(pButton->GetTooltipText()), W(L"New file"));
  EXPECT_EQ(W(pButton->GetDescriptionText()), W(L"Makes a new file"));
  EXPECT_EQ(pButton->GetIconId(), 216);
  EXPECT_EQ(pButton->GetStyle(), 3);
  EXPECT_EQ(W(pButton->GetCategory()), W(L"File"));
  EXPECT_EQ(pButton->m_mapDocTemplatesAssigned.GetCount(), 1);
  EXPECT_EQ(pButton->GetParent(), pRoot);
  CXTPControl* pLabel = pControls->GetAt(1);
  EXPECT_TRUE(pLabel->IsKindOf(RUNTIME_CLASS(CXTPControlLabel)));
  EXPECT_TRUE(pLabel->GetBeginGroup());
  CXTPControlSelector* pSelector = AS_KIND(CXTPControlSelector, pControls->GetAt(2));
  ASSERT_NE(pSelector, nullptr);
  EXPECT_EQ(pSelector->m_szItemsCount, CSize(7, 3));
  EXPECT_EQ(pSelector->m_szItemsMax, CSize(9, 10));
  EXPECT_EQ(pSelector->m_szItem, CSize(20, 21));
  CXTPControlPopup* pPopup = AS_KIND(CXTPControlPopup, pControls->GetAt(3));
  ASSERT_NE(pPopup, nullptr);
  EXPECT_EQ(pPopup->GetHideFlags(), (DWORD)xtpHideCustomize);
  EXPECT_EQ(pPopup->GetCommandBarId(), 0);  // resolved
  CXTPPopupBar* pSub = AS_KIND(CXTPPopupBar, pPopup->GetCommandBar());
  ASSERT_NE(pSub, nullptr);
  EXPECT_EQ(pSub, loading.m_arrRestored[1]);
  EXPECT_EQ(pSub->GetBorders(), CRect(3, 5, 7, 9));
  EXPECT_TRUE(pSub->IsTearOffPopup());
  ASSERT_EQ(pSub->GetControlCount(), 2);
  EXPECT_EQ(W(pSub->GetControl(0)->GetCaption()), W(L"&Open"));
  CXTPControlPopup* pInner = AS_KIND(CXTPControlPopup, pSub->GetControl(1));
  ASSERT_NE(pInner, nullptr);
  ASSERT_NE(pInner->GetCommandBar(), nullptr);
  EXPECT_EQ(pInner->GetCommandBar()->GetControl(0)->GetID(), 57616);
  EXPECT_EQ(pControls->GetAt(4)->GetID(), 32772);
  // The original controls came along: four, without the added Export.
  ASSERT_NE(pControls->GetOriginalControls(), nullptr);
  EXPECT_EQ(pControls->GetOriginalControls()->GetCount(), 4);
  EXPECT_TRUE(pControls->IsChanged());
}

TEST_F(LayoutStream, ComboBoxEditAndCustomControlsComeBack) {
  CTestBars saving;
  CXTPCommandBar* pBar = new CXTPCommandBar();
  pBar->SetCommandBars(&saving);
  pBar->SetBarID(120);
  CXTPControlComboBox* pCombo = (CXTPControlComboBox*)pBar->GetControls()->Add(xtpControlComboBox, 35100);
  ASSERT_NE(pCombo, nullptr);
  pCombo->SetDropDownStyle(FALSE);
  pCombo->SetWidth(150);
  pCombo->SetComboStyle(1);
  pCombo->SetHintText(L"Find");
  pCombo->SetEditIconId(219);
  pCombo->SetDropDownItemCount(7);
  pCombo->SetAutoComplete(TRUE);
  CXTPControlEdit* pEdit = (CXTPControlEdit*)pBar->GetControls()->Add(xtpControlEdit, 35101);
  ASSERT_NE(pEdit, nullptr);
  pEdit->ShowLabel(TRUE);
  pEdit->SetWidth(90);
  pEdit->SetReadOnly(TRUE);
  pEdit->SetHintText(L"Name");
  CXTPControlCustom* pCustom = new CXTPControlCustom();
  pBar->GetControls()->Add(pCustom, 35102);
  pCustom->SetBorders(1, 2, 3, 4);
  pCustom->SetSize(CSize(60, 20));
  pCustom->SetControlId(1234);
  saving.m_arrSave.push_back(pBar);
  const std::vector<BYTE> bytes = SaveToBytes(saving);
  WriteSeed(L"controls.bin", bytes);

  CTestBars loading;
  ASSERT_TRUE(loading.LoadCommandBars(bytes.data(), (UINT)bytes.size(), TRUE));
  // The bar and the combo box's list.
  ASSERT_EQ(loading.m_arrRestored.size(), 2u);
  EXPECT_TRUE(loading.m_arrRestored[1]->IsKindOf(RUNTIME_CLASS(CXTPControlComboBoxList)));
  CXTPControls* pControls = loading.m_arrRestored[0]->GetControls();
  ASSERT_EQ(pControls->GetCount(), 3);
  CXTPControlComboBox* pCombo2 = AS_KIND(CXTPControlComboBox, pControls->GetAt(0));
  ASSERT_NE(pCombo2, nullptr);
  EXPECT_FALSE(pCombo2->GetDropDownStyle());
  EXPECT_EQ(pCombo2->GetWidth(), 150);
  EXPECT_EQ(pCombo2->GetComboStyle(), 1);
  EXPECT_EQ(W(pCombo2->GetHintText()), L"Find");
  EXPECT_EQ(pCombo2->GetEditIconId(), 219);
  EXPECT_EQ(pCombo2->GetDropDownItemCount(), 7);
  EXPECT_TRUE(pCombo2->GetAutoComplete());
  EXPECT_EQ(pCombo2->GetCommandBar(), loading.m_arrRestored[1]);
  CXTPControlEdit* pEdit2 = AS_KIND(CXTPControlEdit, pControls->GetAt(1));
  ASSERT_NE(pEdit2, nullptr);
  EXPECT_TRUE(pEdit2->GetShowLabel());
  EXPECT_EQ(pEdit2->GetWidth(), 90);
  EXPECT_TRUE(pEdit2->GetReadOnly());
  EXPECT_EQ(W(pEdit2->GetHintText()), L"Name");
  CXTPControlCustom* pCustom2 = AS_KIND(CXTPControlCustom, pControls->GetAt(2));
  ASSERT_NE(pCustom2, nullptr);
  EXPECT_EQ(pCustom2->GetBorders(), CRect(1, 2, 3, 4));
  EXPECT_EQ(pCustom2->GetControlSize(), CSize(60, 20));
  pBar->InternalRelease();
}

TEST_F(LayoutStream, AMenuBarComesBackAsAMenuBar) {
  CTestBars saving;
  CXTPMenuBar* pMenuBar = new CXTPMenuBar();
  pMenuBar->SetCommandBars(&saving);
  pMenuBar->SetBarID(1);
  pMenuBar->SetTitle(L"Menu Bar");
  CXTPControlPopup* pFile = (CXTPControlPopup*)pMenuBar->GetControls()->Add(xtpControlPopup, 0);
  pFile->SetCaption(L"&File");
  CXTPPopupBar* pFileBar = CXTPPopupBar::CreatePopupBar(&saving);
  pFileBar->GetControls()->Add(xtpControlButton, 57601)->SetCaption(L"&Open");
  pFile->AttachBar(pFileBar);
  pFileBar->InternalRelease();
  saving.m_arrSave.push_back(pMenuBar);
  const std::vector<BYTE> bytes = SaveToBytes(saving);
  WriteSeed(L"menubar.bin", bytes);

  CTestBars loading;
  ASSERT_TRUE(loading.LoadCommandBars(bytes.data(), (UINT)bytes.size(), TRUE));
  ASSERT_EQ(loading.m_arrRestored.size(), 2u);
  CXTPMenuBar* pLoaded = AS_KIND(CXTPMenuBar, loading.m_arrRestored[0]);
  ASSERT_NE(pLoaded, nullptr);
  EXPECT_EQ(pLoaded->GetBarID(), 1u);
  EXPECT_EQ(pLoaded->GetDocumentMenuCount(), 0);
  ASSERT_EQ(pLoaded->GetControlCount(), 1);
  ASSERT_NE(pLoaded->GetControl(0)->GetCommandBar(), nullptr);
  EXPECT_EQ(pLoaded->GetControl(0)->GetCommandBar()->GetControl(0)->GetID(), 57601);
  pMenuBar->InternalRelease();
}

TEST_F(LayoutStream, AnEmptyListIsAValidStream) {
  CTestBars saving;
  const std::vector<BYTE> bytes = SaveToBytes(saving);
  EXPECT_EQ(bytes.size(), 4u);  // "Count" 0
  CTestBars loading;
  EXPECT_TRUE(loading.LoadCommandBars(bytes.data(), (UINT)bytes.size(), FALSE));
  EXPECT_EQ(loading.m_nRestores, 1);
  EXPECT_TRUE(loading.m_arrRestored.empty());
}

// Streams 16000 and 16001 bytes long: a label's first class record is an odd number of
// bytes, caption characters add two each.
namespace {
void FillToSize(CTestBars& bars, CXTPCommandBar* pBar, UINT nTarget) {
  CXTPControl* pFill = pBar->GetControls()->Add(xtpControlButton, 40000);
  // A selector's first class record (a 19-letter name) is an odd number of bytes.
  if ((nTarget - SaveToBytes(bars).size()) % 2 != 0) pBar->GetControls()->Add(new CXTPControlSelector(), 40001);
  while (SaveToBytes(bars).size() + 600 < nTarget)
    pBar->GetControls()->Add(xtpControlButton, 40002)->SetCaption(CString(L'x', 200));
  int nChars = 0;
  for (int i = 0; i < 8; i++) {
    const long nDiff = (long)nTarget - (long)SaveToBytes(bars).size();
    if (nDiff == 0) break;
    nChars += (int)(nDiff / 2);
    ASSERT_GE(nChars, 0);
    pFill->SetCaption(CString(L'y', nChars));
  }
  ASSERT_EQ(SaveToBytes(bars).size(), nTarget);
}
}  // namespace

TEST_F(LayoutStream, SixteenThousandBytesStayInTheProfileOneMoreGoesToAHiddenFile) {
  for (UINT nTarget : {16000u, 16001u}) {
    SCOPED_TRACE(nTarget);
    DeleteProfile();
    CTestBars saving;
    CXTPCommandBar* pBar = new CXTPCommandBar();
    pBar->SetCommandBars(&saving);
    pBar->SetBarID(300);
    saving.m_arrSave.push_back(pBar);
    FillToSize(saving, pBar, nTarget);
    const CString strPath = saving.GetControlsFilePath(kProfile);
    ASSERT_TRUE(saving.SaveCommandBars(kProfile, TRUE));
    DWORD type = 0;
    const std::vector<BYTE> controls = ProfileBytes(L"CommandBars-Controls", L"Controls", &type);
    if (nTarget == 16000) {
      EXPECT_EQ(theApp.GetProfileInt(L"CommandBars-Controls", L"LoadFromFile", 7), 0u);
      EXPECT_EQ(type, (DWORD)REG_BINARY);
      EXPECT_EQ(controls.size(), 16000u);
      EXPECT_EQ(::GetFileAttributesW(strPath), INVALID_FILE_ATTRIBUTES);
    } else {
      EXPECT_EQ(theApp.GetProfileInt(L"CommandBars-Controls", L"LoadFromFile", 7), 1u);
      EXPECT_EQ(type, (DWORD)REG_SZ);
      EXPECT_EQ(W(theApp.GetProfileString(L"CommandBars-Controls", L"Controls")), W(strPath));
      const DWORD attributes = ::GetFileAttributesW(strPath);
      ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
      EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
      EXPECT_EQ(FileBytes(strPath).size(), 16001u);
      EXPECT_EQ(::GetFileAttributesW(strPath + L".new"), INVALID_FILE_ATTRIBUTES);
    }
    CTestBars loading;
    ASSERT_TRUE(loading.LoadCommandBars(kProfile, FALSE));
    ASSERT_EQ(loading.m_arrRestored.size(), 1u);
    EXPECT_EQ(loading.m_arrRestored[0]->GetBarID(), 300u);
    EXPECT_EQ(loading.m_arrRestored[0]->GetControlCount(), pBar->GetControlCount());
    // Back to a small layout: the profile holds it and the file is gone.
    pBar->GetControls()->RemoveAll();
    ASSERT_TRUE(saving.SaveCommandBars(kProfile, TRUE));
    EXPECT_EQ(theApp.GetProfileInt(L"CommandBars-Controls", L"LoadFromFile", 7), 0u);
    EXPECT_EQ(::GetFileAttributesW(strPath), INVALID_FILE_ATTRIBUTES);
    pBar->InternalRelease();
  }
}

TEST_F(LayoutStream, AFailedFileWriteKeepsThePreviousLayout) {
  CTestBars saving;
  CXTPCommandBar* pBar = new CXTPCommandBar();
  pBar->SetCommandBars(&saving);
  pBar->SetBarID(301);
  saving.m_arrSave.push_back(pBar);
  FillToSize(saving, pBar, 20000);
  const CString strPath = saving.GetControlsFilePath(kProfile);
  ASSERT_TRUE(saving.SaveCommandBars(kProfile, TRUE));
  const std::vector<BYTE> before = FileBytes(strPath);
  ASSERT_EQ(before.size(), 20000u);

  // The file is held open without sharing (another process reading it, a scanner): the
  // new, larger layout cannot take its place.
  pBar->GetControls()->Add(xtpControlButton, 41000)->SetCaption(CString(L'z', 100));
  HANDLE hLock = ::CreateFileW(strPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(hLock, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(saving.SaveCommandBars(kProfile, TRUE));
  ::CloseHandle(hLock);
  EXPECT_EQ(FileBytes(strPath), before);
  EXPECT_EQ(::GetFileAttributesW(strPath + L".new"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(W(theApp.GetProfileString(L"CommandBars-Controls", L"Controls")), W(strPath));
  EXPECT_EQ(theApp.GetProfileInt(L"CommandBars-Controls", L"LoadFromFile", 0), 1u);

  // A custom path in a folder that does not exist: nothing changes either.
  saving.SetControlsFileName(L"Z:\\no\\such\\folder\\layout.bin");
  EXPECT_FALSE(saving.SaveCommandBars(kProfile, TRUE));
  EXPECT_EQ(W(theApp.GetProfileString(L"CommandBars-Controls", L"Controls")), W(strPath));
  saving.SetControlsFileName(nullptr);

  // The previous layout still loads, control for control.
  CTestBars loading;
  ASSERT_TRUE(loading.LoadCommandBars(kProfile, FALSE));
  ASSERT_EQ(loading.m_arrRestored.size(), 1u);
  EXPECT_EQ(loading.m_arrRestored[0]->GetControlCount(), pBar->GetControlCount() - 1);
  ::SetFileAttributesW(strPath, FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(strPath);
  pBar->InternalRelease();
}

// ---------------------------------------------------------------------------------------
namespace {

// The stream of a popup bar whose popup control opens the bar itself.
std::vector<BYTE> SelfReferringStream() {
  CTestBars saving;
  CXTPCommandBar* pBar = new CXTPCommandBar();
  pBar->SetCommandBars(&saving);
  pBar->SetBarID(500);
  CXTPControlPopup* pPopup = (CXTPControlPopup*)pBar->GetControls()->Add(xtpControlPopup, 0);
  pPopup->AttachBar(pBar);
  saving.m_arrSave.push_back(pBar);
  std::vector<BYTE> bytes = SaveToBytes(saving);
  pPopup->AttachBar(nullptr);  // break the loop the test made
  pBar->InternalRelease();
  return bytes;
}

void PutInt(std::vector<BYTE>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; i++) b[at + i] = (BYTE)(v >> (8 * i));
}

size_t Find(const std::vector<BYTE>& b, const std::string& s) {
  for (size_t i = 0; i + s.size() <= b.size(); i++)
    if (memcmp(&b[i], s.data(), s.size()) == 0) return i;
  return std::string::npos;
}

}  // namespace

TEST_F(LayoutStream, DamagedStreamsLeaveTheBarsAsBuiltAndTheNextSaveIsSound) {
  CTestBars saving;
  SampleBars sample(&saving);
  saving.m_arrSave.push_back(sample.root);
  const std::vector<BYTE> good = SaveToBytes(saving);
  const size_t nTitle = Find(good, std::string("S\0t\0a\0n\0d\0a\0r\0d\0", 16));
  ASSERT_NE(nTitle, std::string::npos);
  const size_t nClass = Find(good, "CXTPControlButton");
  ASSERT_NE(nClass, std::string::npos);

  struct Case {
    const wchar_t* name;
    std::vector<BYTE> bytes;
  };
  std::vector<Case> cases;
  for (size_t n : {size_t(0), size_t(3), size_t(4), size_t(10), good.size() / 3, good.size() / 2, good.size() - 1})
    cases.push_back({L"truncated", std::vector<BYTE>(good.begin(), good.begin() + (long)n)});
  {
    std::vector<BYTE> b = good;
    PutInt(b, 0, 0x7FFFFFFF);  // bar count
    cases.push_back({L"huge_bar_count", b});
  }
  {
    std::vector<BYTE> b = good;
    PutInt(b, 0, 0xFFFFFFFF);
    cases.push_back({L"negative_bar_count", b});
  }
  {
    // The title's one-byte length (8) made 0xFF: a 16-bit length follows, taken from
    // the text.
    std::vector<BYTE> b = good;
    b[nTitle - 1] = 0xFF;
    cases.push_back({L"huge_string", b});
  }
  {
    std::vector<BYTE> b = good;
    b[nClass + 4] = 'Q';  // "CXTPQontrolButton"
    cases.push_back({L"unknown_class", b});
  }
  {
    std::vector<BYTE> b = good;
    // "CXTPControlButton" where the popup bar's class is: the base check refuses it.
    const size_t nBar = Find(b, "CXTPPopupBar");
    ASSERT_NE(nBar, std::string::npos);
    std::vector<BYTE> patched(b.begin(), b.begin() + (long)nBar - 2);
    const char name[] = "CXTPControlLabel";
    patched.push_back(16);
    patched.push_back(0);
    patched.insert(patched.end(), name, name + 16);
    patched.insert(patched.end(), b.begin() + (long)nBar + 12, b.end());
    cases.push_back({L"wrong_class_kind", patched});
  }
  {
    // The first control's count (after the root's values) made 0x10000000.
    std::vector<BYTE> b = good;
    const size_t nCount = nTitle + 16 + 4 * 2 + 8;  // Customizable, MRUWidth, IconSize
    PutInt(b, nCount, 0x10000000);
    cases.push_back({L"huge_control_count", b});
  }
  cases.push_back({L"self_referring_popup", SelfReferringStream()});
  {
    std::vector<BYTE> b(4096, 0xFF);
    cases.push_back({L"all_ff", b});
  }

  int nSeed = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << CStringA(c.name).GetString() << " " << c.bytes.size());
    WriteSeed(L"damaged_" + std::wstring(c.name) + L"_" + std::to_wstring(nSeed++) + L".bin", c.bytes);
    CTestBars loading;
    EXPECT_FALSE(loading.LoadCommandBars(c.bytes.empty() ? nullptr : c.bytes.data(), (UINT)c.bytes.size(), TRUE));
    EXPECT_EQ(loading.m_nRestores, 0);  // nothing merged: the bars stay as built
    // The same bytes through the profile, then a sound save and load over them.
    theApp.WriteProfileBinary(L"CommandBars-Controls", L"Controls", const_cast<BYTE*>(c.bytes.data()),
                              (UINT)c.bytes.size());
    theApp.WriteProfileInt(L"CommandBars-Controls", L"LoadFromFile", 0);
    EXPECT_FALSE(loading.LoadCommandBars(kProfile, TRUE));
    ASSERT_TRUE(saving.SaveCommandBars(kProfile, TRUE));
    EXPECT_EQ(ProfileBytes(L"CommandBars-Controls", L"Controls"), good);
    ASSERT_TRUE(loading.LoadCommandBars(kProfile, TRUE));
    EXPECT_GT(loading.m_arrRestored.size(), 3u);
  }
}

TEST_F(LayoutStream, DamagedProfileValuesAndFilesLeaveTheBarsAsBuilt) {
  const CString strDir = CString(testsupport::ArtifactPath(L"commandbars\\layout_files\\x").c_str()).Left(
      (int)testsupport::ArtifactPath(L"commandbars\\layout_files\\x").size() - 2);
  const CString strDamaged = strDir + L"\\damaged.bin";
  {
    std::vector<BYTE> junk(30000, 0x41);
    HANDLE h = ::CreateFileW(strDamaged, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD w = 0;
    ::WriteFile(h, junk.data(), (DWORD)junk.size(), &w, nullptr);
    ::CloseHandle(h);
  }
  const CString strEmpty = strDir + L"\\empty.bin";
  ::CloseHandle(::CreateFileW(strEmpty, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  struct Case {
    const wchar_t* what;
    std::function<void()> store;
  };
  const Case cases[] = {
      {L"no values at all", [] {}},
      {L"LoadFromFile without Controls", [] { theApp.WriteProfileInt(L"CommandBars-Controls", L"LoadFromFile", 1); }},
      {L"a file that does not exist",
       [] {
         theApp.WriteProfileInt(L"CommandBars-Controls", L"LoadFromFile", 1);
         theApp.WriteProfileString(L"CommandBars-Controls", L"Controls", L"Z:\\no\\such\\file.bin");
       }},
      {L"a folder in place of the file",
       [&] {
         theApp.WriteProfileInt(L"CommandBars-Controls", L"LoadFromFile", 1);
         theApp.WriteProfileString(L"CommandBars-Controls", L"Controls", strDir);
       }},
      {L"a damaged file",
       [&] {
         theApp.WriteProfileInt(L"CommandBars-Controls", L"LoadFromFile", 1);
         theApp.WriteProfileString(L"CommandBars-Controls", L"Controls", strDamaged);
       }},
      {L"an empty file",
       [&] {
         theApp.WriteProfileInt(L"CommandBars-Controls", L"LoadFromFile", 1);
         theApp.WriteProfileString(L"CommandBars-Controls", L"Controls", strEmpty);
       }},
      {L"Controls as a number", [] { theApp.WriteProfileInt(L"CommandBars-Controls", L"Controls", 77); }},
      {L"Controls as text", [] { theApp.WriteProfileString(L"CommandBars-Controls", L"Controls", L"hello"); }},
      {L"an empty binary", [] { theApp.WriteProfileBinary(L"CommandBars-Controls", L"Controls", (BYTE*)"", 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(CStringA(c.what).GetString());
    DeleteProfile();
    c.store();
    CTestBars loading;
    EXPECT_FALSE(loading.LoadCommandBars(kProfile, FALSE));
    EXPECT_EQ(loading.m_nRestores, 0);
  }
}

// ---------------------------------------------------------------------------------------
TEST_F(LayoutStream, OptionsInTheRegistryHoldValuesOneToEightOnly) {
  CTestBars bars;
  CXTPCommandBarsOptions* pOptions = bars.GetCommandBarsOptions();
  pOptions->bAlwaysShowFullMenus = FALSE;
  pOptions->bToolBarAccelTips = TRUE;
  pOptions->bLargeIcons = TRUE;
  pOptions->animationType = (XTPAnimationType)3;
  pOptions->bDblClickFloat = TRUE;  // archive only
  bars.HideCommand(32771);
  bars.SetCommandUsed(32771);
  bars.SaveOptions(kProfile);
  const std::set<std::wstring> expected = {L"Schema", L"AlwaysShowFullMenus", L"ShowFullAfterDelay",
                                           L"ToolBarScreenTips", L"ToolBarAccelTips", L"LargeIcons",
                                           L"UsedCommands", L"Animation"};
  EXPECT_EQ(ValueNames(L"CommandBars-Options"), expected);
  EXPECT_EQ(theApp.GetProfileInt(L"CommandBars-Options", L"Schema", 0), 16u);
  EXPECT_EQ(theApp.GetProfileInt(L"CommandBars-Options", L"AlwaysShowFullMenus", 7), 0u);
  EXPECT_EQ(theApp.GetProfileInt(L"CommandBars-Options", L"Animation", 7), 3u);
  DWORD type = 0;
  // Count 1 (a word), then id and value.
  const std::vector<BYTE> used = ProfileBytes(L"CommandBars-Options", L"UsedCommands", &type);
  EXPECT_EQ(type, (DWORD)REG_BINARY);
  EXPECT_EQ(used, (std::vector<BYTE>{1, 0, 0x03, 0x80, 0, 0, 1, 0, 0, 0}));

  // Read back into bars whose program set some options first.
  CTestBars next;
  next.GetCommandBarsOptions()->bDblClickFloat = TRUE;
  next.LoadOptions(kProfile);
  EXPECT_FALSE(next.GetCommandBarsOptions()->bAlwaysShowFullMenus);
  EXPECT_TRUE(next.GetCommandBarsOptions()->bToolBarAccelTips);
  EXPECT_TRUE(next.GetCommandBarsOptions()->bLargeIcons);
  EXPECT_EQ((int)next.GetCommandBarsOptions()->animationType, 3);
  EXPECT_TRUE(next.GetCommandBarsOptions()->bDblClickFloat);  // not stored: as the program set it
  EXPECT_TRUE(next.GetCommandBarsOptions()->m_mapUsedCommands.Contains(32771));

  // A usage-data reset survives the next start: the emptied set deletes the value.
  bars.ResetUsageData();
  bars.SaveOptions(kProfile);
  EXPECT_EQ(ValueNames(L"CommandBars-Options").count(L"UsedCommands"), 0u);
  CTestBars third;
  third.GetCommandBarsOptions()->m_mapUsedCommands.SetAt(99, TRUE);  // stale state
  third.LoadOptions(kProfile);
  EXPECT_TRUE(third.GetCommandBarsOptions()->m_mapUsedCommands.Contains(99));  // left as set
  CTestBars fourth;
  fourth.LoadOptions(kProfile);
  EXPECT_TRUE(fourth.GetCommandBarsOptions()->m_mapUsedCommands.IsEmpty());
}

TEST_F(LayoutStream, OptionsInAnArchiveHoldEveryValueWithTwoPairsTwice) {
  CTestBars bars;
  CXTPCommandBarsOptions* pOptions = bars.GetCommandBarsOptions();
  pOptions->bSyncFloatingBars = FALSE;
  pOptions->bShowExpandButtonAlways = TRUE;
  pOptions->bDblClickFloat = TRUE;
  pOptions->szPopupIcons = CSize(24, 24);
  pOptions->keyboardCuesShow = 2;
  bars.HideCommand(40000);
  CMemFile file(1024);
  {
    CArchive ar(&file, CArchive::store);
    pOptions->Serialize(ar);
    ar.Close();
  }
  const UINT n = (UINT)file.GetLength();
  BYTE* p = file.Detach();
  std::vector<BYTE> b(p, p + n);
  free(p);
  // Schema..LargeIcons 24 bytes, UsedCommands (empty: a zero word) 2, Animation 4, then
  // SyncFloatingBars (0) and ShowExpandButtonAlways (1) at 30 and 34.
  auto at = [&](size_t i) { return (int32_t)(b[i] | b[i + 1] << 8 | b[i + 2] << 16 | b[i + 3] << 24); };
  ASSERT_GT(b.size(), 38u);
  EXPECT_EQ(at(0), 16);
  EXPECT_EQ(b[24] | b[25] << 8, 0);
  EXPECT_EQ(at(30), 0);
  EXPECT_EQ(at(34), 1);
  // IconsSize, LargeIconsSize (16), HiddenCommands (word count 1 + 8), three icon options
  // (12): the second pair follows at 38 + 16 + 10 + 12 = 76.
  EXPECT_EQ(at(76), 0);
  EXPECT_EQ(at(80), 1);
  EXPECT_EQ(at(84), 1);  // DblClickFloat
  // ShowTextBelowIcons, AltDragCustomization, AutoHideUnusedPopups, PopupIconsSize,
  // KeyboardCuesUse, KeyboardCuesShow: 4 * 3 + 8 + 4 + 4 = 28 more bytes.
  EXPECT_EQ(b.size(), 88u + 28u);
  EXPECT_EQ(at(88 + 12), 24);
  EXPECT_EQ(at(b.size() - 4), 2);

  CTestBars next;
  CMemFile in(b.data(), (UINT)b.size());
  {
    CArchive ar(&in, CArchive::load);
    next.GetCommandBarsOptions()->Serialize(ar);
  }
  in.Detach();
  EXPECT_FALSE(next.GetCommandBarsOptions()->bSyncFloatingBars);
  EXPECT_TRUE(next.GetCommandBarsOptions()->bDblClickFloat);
  EXPECT_EQ(next.GetCommandBarsOptions()->szPopupIcons, CSize(24, 24));
  EXPECT_EQ(next.GetCommandBarsOptions()->GetShowKeyboardCues(), 2);
  EXPECT_TRUE(next.GetCommandBarsOptions()->m_mapHiddenCommands.Contains(40000));
}

// ---------------------------------------------------------------------------------------
TEST_F(LayoutStream, PlacementRecordsAreWrittenNameByNameAndReadBackScaledAndBounded) {
  CXTPBarState state;
  state.nBarID = 59392;
  state.bVisible = FALSE;
  state.bFloating = TRUE;
  state.ptPosition = CPoint(100, -1);
  state.nMRUDockID = 59420;
  state.rcMRUDockPos = CRect(1, 2, 3, 4);
  state.ptMRUFloatPos = CPoint(40, 50);
  state.SaveState(&theApp, L"CommandBars-Bar0");
  const std::set<std::wstring> expected = {L"BarID", L"Visible", L"Floating", L"XPos", L"MRUDockID",
                                           L"MRUDockLeftPos", L"MRUDockTopPos", L"MRUDockRightPos",
                                           L"MRUDockBottomPos", L"MRUFloatXPos", L"MRUFloatYPos", L"DialogBar"};
  EXPECT_EQ(ValueNames(L"CommandBars-Bar0"), expected);
  CXTPBarState shown;
  shown.nBarID = 7;
  shown.bVisible = TRUE;
  shown.nMRUWidth = 300;
  shown.bDialogBar = TRUE;
  shown.szDockingClient = CSize(150, 60);
  shown.SaveState(&theApp, L"CommandBars-Bar0");  // the section is replaced
  const std::set<std::wstring> expected2 = {
      L"BarID", L"MRUWidth", L"MRUDockID", L"MRUDockLeftPos", L"MRUDockTopPos", L"MRUDockRightPos",
      L"MRUDockBottomPos", L"MRUFloatXPos", L"MRUFloatYPos", L"DialogBar", L"DialogBarDockingClientCx",
      L"DialogBarDockingClientCy", L"DialogBarFloatingClientCx", L"DialogBarFloatingClientCy"};
  EXPECT_EQ(ValueNames(L"CommandBars-Bar0"), expected2);
  DeleteSection(L"CommandBars-Bar0");

  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  const CPoint clamp(cx - ::GetSystemMetrics(SM_CXICON), cy - ::GetSystemMetrics(SM_CYICON));
  struct Case {
    int savedCX, savedCY;
    CPoint stored;
    CPoint expected;
  };
  const Case cases[] = {
      {cx, cy, CPoint(100, 200), CPoint(100, 200)},                 // same screen: unchanged
      {cx, cy, CPoint(-1, -1), CPoint(-1, -1)},
      {cx, cy, CPoint(cx + 500, 20), CPoint(clamp.x, 20)},          // limited
      {cx / 2, cy / 2, CPoint(100, 150), CPoint(MulDiv(100, cx, cx / 2), MulDiv(150, cy, cy / 2))},
      {cx * 2, cy * 2, CPoint(-1, -1), CPoint(MulDiv(-1, cx, cx * 2), MulDiv(-1, cy, cy * 2))},
      {0, 0, CPoint(100, 150), CPoint(100, 150)},                   // no saved size: not scaled
      {-1024, 768, CPoint(100, 150), CPoint(100, MulDiv(150, cy, 768))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.savedCX << "x" << c.savedCY << " " << c.stored.x << "," << c.stored.y);
    theApp.WriteProfileInt(L"CommandBars-Summary", L"Bars", 1);
    theApp.WriteProfileInt(L"CommandBars-Summary", L"ScreenCX", c.savedCX);
    theApp.WriteProfileInt(L"CommandBars-Summary", L"ScreenCY", c.savedCY);
    theApp.WriteProfileInt(L"CommandBars-Bar0", L"XPos", c.stored.x);
    theApp.WriteProfileInt(L"CommandBars-Bar0", L"YPos", c.stored.y);
    theApp.WriteProfileInt(L"CommandBars-Bar0", L"MRUFloatXPos", c.stored.x);
    theApp.WriteProfileInt(L"CommandBars-Bar0", L"MRUFloatYPos", c.stored.y);
    CXTPBarStateList list;
    list.LoadList(&theApp, kProfile);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetAt(0)->ptPosition, c.expected);
    EXPECT_EQ(list.GetAt(0)->ptMRUFloatPos, c.expected);
  }
  DeleteSection(L"CommandBars-Bar0");

  // Counts: a huge "Bars" reads a bounded number of sections; a negative one none.
  theApp.WriteProfileInt(L"CommandBars-Summary", L"Bars", 0x7FFFFFFF);
  {
    CXTPBarStateList list;
    list.LoadList(&theApp, kProfile);
    EXPECT_EQ(list.GetCount(), (int)CXTPBarStateList::kMaxStoredBars);
    EXPECT_EQ(list.GetAt(17)->nBarID, 0);
    EXPECT_TRUE(list.GetAt(17)->bVisible);
  }
  theApp.WriteProfileInt(L"CommandBars-Summary", L"Bars", -3);
  CXTPBarStateList none;
  none.LoadList(&theApp, kProfile);
  EXPECT_EQ(none.GetCount(), 0);
}

// ---------------------------------------------------------------------------------------
// The fuzzer's finds (crashers first, then its seeds and corpus) loaded the way a program
// loads them: through the profile by LoadBarState, and through the hidden file. What the
// reader refuses leaves the bars as built; what it accepts is merged unless it names a
// class this program does not link (a refusal too). Then the next save stores a sound
// layout.
TEST_F(LayoutStream, FuzzFindsReplayedThroughLoadBarState) {
  const std::wstring strRoot = testsupport::ArtifactPath(L"x");
  const std::wstring strFuzz = strRoot.substr(0, strRoot.size() - 2) + L"\\..\\native\\toolkit\\commandbars\\layout_fuzz";
  std::vector<std::wstring> files;
  for (const wchar_t* sub : {L"crashers", L"seeds", L"corpus"}) {
    WIN32_FIND_DATAW fd;
    const std::wstring dir = strFuzz + L"\\" + sub;
    HANDLE h = ::FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) continue;
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(dir + L"\\" + fd.cFileName);
    } while (::FindNextFileW(h, &fd) && files.size() < 400);
    ::FindClose(h);
  }
  if (files.empty()) GTEST_SKIP() << "no fuzz results under build/native (run ctest -R xtp_layout_fuzz in build/native first)";
  CTestBars saving;
  SampleBars sample(&saving);
  saving.m_arrSave.push_back(sample.root);
  const CString strFile = CString(strRoot.substr(0, strRoot.size() - 2).c_str()) + L"\\commandbars\\replay.bin";
  int nAccepted = 0, nMerged = 0;
  for (const std::wstring& file : files) {
    const std::vector<BYTE> bytes = FileBytes(file.c_str());
    SCOPED_TRACE(CStringA(file.c_str()).GetString());
    const bool bAccepts = xtp_layout::ReadControlsStream(bytes.data(), bytes.size(), nullptr, nullptr);
    nAccepted += bAccepts;
    {
      DeleteProfile();
      theApp.WriteProfileBinary(L"CommandBars-Controls", L"Controls", const_cast<BYTE*>(bytes.data()), (UINT)bytes.size());
      CTestBars loading;
      loading.LoadBarState(kProfile, TRUE);
      if (!bAccepts) EXPECT_EQ(loading.m_nRestores, 0);
      nMerged += loading.m_nRestores;
    }
    {
      HANDLE h = ::CreateFileW(strFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      DWORD w = 0;
      ::WriteFile(h, bytes.data(), (DWORD)bytes.size(), &w, nullptr);
      ::CloseHandle(h);
      theApp.WriteProfileString(L"CommandBars-Controls", L"Controls", strFile);
      theApp.WriteProfileInt(L"CommandBars-Controls", L"LoadFromFile", 1);
      CTestBars loading;
      loading.LoadBarState(kProfile, TRUE);
      if (!bAccepts) EXPECT_EQ(loading.m_nRestores, 0);
    }
  }
  ::DeleteFileW(strFile);
  std::printf("replayed %zu fuzz finds: %d accepted by the reader, %d merged\n", files.size(), nAccepted, nMerged);
  EXPECT_GT(nMerged, 0);  // the saved seeds at least
  saving.SaveBarState(kProfile, TRUE);
  CTestBars after;
  EXPECT_TRUE(after.LoadCommandBars(kProfile, TRUE));
  EXPECT_EQ(after.m_nRestores, 1);
}
