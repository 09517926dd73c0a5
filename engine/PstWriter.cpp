#include "PstWriter.h"

#include <io.h>

#include "ContactItemWriter.h"
#include "MainFrame.h"

namespace {

bool FileExists(const CString& strPath) { return _waccess(strPath.GetString(), 0) == 0; }

void ReleaseQuietly(COleDispatchDriver& driver) {
  RunGuarded([&] { driver.ReleaseDispatch(); });
}

}  // namespace

CPstWriter::~CPstWriter() {
  Close();
  ReleaseQuietly(m_TargetFolder);
  ReleaseQuietly(m_Store);
  ReleaseQuietly(m_Stores);
  ReleaseQuietly(m_Session);
}

CString CPstWriter::FreeNameCandidate(const CString& strRequested, int n) {
  CString strUpper = strRequested;
  strUpper.MakeUpper();
  CString strNumber;
  strNumber.Format(L"(%d)", n);
  const int nFileStart = strUpper.ReverseFind(L'\\') + 1;
  const int nLength = strUpper.GetLength();
  // Only the file name's own extension counts; ".PST" inside a folder name stays.
  if (nLength - nFileStart >= 4 && strUpper.Right(4) == L".PST")
    return strUpper.Left(nLength - 4) + strNumber + L".PST";
  return strUpper + strNumber;
}

int CPstWriter::TemplateForVersion(const CString& strVersion) {
  const bool bAnsi = strVersion.Left(1) == L"8" || strVersion.Left(1) == L"9" || strVersion.Left(2) == L"10";
  return bAnsi ? kTemplateAnsi : kTemplateUnicode;
}

BOOL CPstWriter::OpenPst(CString strPath, BOOL bExisting) {
  if (m_nAbort) return FALSE;
  BOOL bLoggedOn = FALSE;
  RunGuarded([&] { bLoggedOn = m_Session.GetLoggedOn(); });
  if (bLoggedOn) Close();

  const CString strRequested = strPath;
  if (!bExisting) {
    int n = 1;
    while (FileExists(strPath)) {
      if (n > kMaxFreeNameTries) return FALSE;
      strPath = FreeNameCandidate(strRequested, n++);
    }
  }
  AfxOleInit();
  if (m_nAbort) return FALSE;
  if (!m_Session.m_lpDispatch && !m_Session.CreateDispatch(kRdoSessionProgId)) return FALSE;
  const bool bLogon = RunGuarded([&] {
    COleVariant profile(L""), zero(0L), one(1L), fifth(static_cast<long>(m_nFifthLogonValue));
    m_Session.Logon(profile, zero, zero, one, fifth, zero);
  });
  if (!bLogon) return FALSE;
  if (!bExisting && !WriteTemplateForVersion(strPath)) return FALSE;
  return AddPstStore(strPath, bExisting);
}

BOOL CPstWriter::WriteTemplateForVersion(CString strPath) {
  // A version text that cannot be read gives no template and no file.
  CString strVersion;
  if (!RunGuarded([&] { strVersion = m_Session.GetVersion(); })) return FALSE;
  // A template that could not be laid down whole is no PST to open.
  if (m_pMainFrame) return m_pMainFrame->WritePstTemplate(strPath, TemplateForVersion(strVersion));
  return TRUE;
}

BOOL CPstWriter::AddPstStore(CString strPath, BOOL bExisting) {
  if (m_nAbort || !m_Session.m_lpDispatch) return FALSE;
  BOOL bResult = FALSE;
  RunGuarded([&] {
    m_Stores.AttachDispatch(m_Session.GetStores());
    if (!m_Stores.m_lpDispatch) return;
    COleVariant zero(0L);
    m_Store.AttachDispatch(m_Stores.AddPstStore(strPath.GetString(), zero, zero));
    if (!bExisting) {
      m_Store.SetName((L"Ostrelle " + strPath).GetString());
      CRdoFolder::SaveObject(m_Store);
    }
    bResult = m_Store.m_lpDispatch != nullptr;
  });
  return bResult;
}

void CPstWriter::Close() {
  if (m_Store.m_lpDispatch) {
    RunGuarded([&] { CRdoFolder::SaveObject(m_Store); });
    ReleaseQuietly(m_Store);
  }
  if (m_Stores.m_lpDispatch) ReleaseQuietly(m_Stores);
  if (m_Session.m_lpDispatch) {
    RunGuarded([&] {
      if (m_Session.GetLoggedOn()) m_Session.Logoff();
    });
    ReleaseQuietly(m_Session);
  }
}

BOOL CPstWriter::ListStores(CString strProfile, CStringArray* pNames, CStringArray* pDetails) {
  if (strProfile.IsEmpty()) return FALSE;
  RunGuarded([&] {
    if (m_Session.GetLoggedOn()) m_Session.Logoff();
  });
  const bool bLogon = RunGuarded([&] {
    COleVariant profile(strProfile), zero(0L), one(1L);
    m_Session.Logon(profile, zero, zero, one, zero, zero);
  });
  if (!bLogon) return FALSE;
  CRdoStores stores;
  long nCount = 0;
  RunGuarded([&] {
    stores.AttachDispatch(m_Session.GetStores());
    nCount = stores.GetCount();
  });
  for (long i = 1; i <= nCount; ++i) {
    if (m_nAbort) return FALSE;
    RunGuarded([&] {
      COleVariant index(i), zero(0L);
      CRdoStore store(stores.GetItem(index, zero));
      const CString strName = store.GetName();
      const CString strDetail = store.GetDetail();
      if (pNames) pNames->Add(strName);
      if (pDetails) pDetails->Add(strDetail);
    });
  }
  return TRUE;
}
