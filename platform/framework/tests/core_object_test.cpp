// Run-time classes, dynamic creation, diagnostics and exception handling.
#include "framework.h"

#include <gtest/gtest.h>

// Classes with run-time records live at namespace scope, as a program's own classes do.
class CShape : public CObject {
  DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CCircle : public CShape {
  DECLARE_DYNCREATE(CCircle)
 public:
  int m_nRadius = 7;
};
IMPLEMENT_DYNCREATE(CCircle, CShape)

class CLabel : public CObject {
  DECLARE_SERIAL(CLabel)
};
IMPLEMENT_SERIAL(CLabel, CObject, VERSIONABLE_SCHEMA | 3)

namespace {

class CCountedException : public CException {
 public:
  static int s_nLive;
  CCountedException() { s_nLive++; }
  ~CCountedException() override { s_nLive--; }
};
int CCountedException::s_nLive = 0;

}  // namespace

TEST(RuntimeClass, RecordsNameSizeSchemaAndBase) {
  const CRuntimeClass* pClass = RUNTIME_CLASS(CCircle);
  EXPECT_STREQ(pClass->m_lpszClassName, "CCircle");
  EXPECT_EQ(pClass->m_nObjectSize, static_cast<int>(sizeof(CCircle)));
  EXPECT_EQ(pClass->m_wSchema, 0xFFFFu);
  EXPECT_EQ(pClass->m_pBaseClass, RUNTIME_CLASS(CShape));
  EXPECT_EQ(RUNTIME_CLASS(CShape)->m_pBaseClass, RUNTIME_CLASS(CObject));
  EXPECT_EQ(RUNTIME_CLASS(CObject)->m_pBaseClass, nullptr);
  EXPECT_EQ(RUNTIME_CLASS(CLabel)->m_wSchema, VERSIONABLE_SCHEMA | 3);
}

TEST(RuntimeClass, IsKindOfFollowsTheBaseChain) {
  CCircle circle;
  CShape shape;
  EXPECT_EQ(circle.GetRuntimeClass(), RUNTIME_CLASS(CCircle));
  EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CCircle)));
  EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CShape)));
  EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(shape.IsKindOf(RUNTIME_CLASS(CCircle)));
  EXPECT_FALSE(circle.IsKindOf(RUNTIME_CLASS(CLabel)));
  EXPECT_TRUE(RUNTIME_CLASS(CFileException)->IsDerivedFrom(RUNTIME_CLASS(CException)));
}

TEST(RuntimeClass, CreatesObjectsByNameOnlyForCreatableClasses) {
  EXPECT_EQ(CRuntimeClass::FromName("CCircle"), RUNTIME_CLASS(CCircle));
  EXPECT_EQ(CRuntimeClass::FromName(L"CLabel"), RUNTIME_CLASS(CLabel));
  EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
  EXPECT_EQ(CRuntimeClass::FromName(static_cast<LPCSTR>(nullptr)), nullptr);

  CObject* pOb = CRuntimeClass::CreateObject(L"CCircle");
  ASSERT_NE(pOb, nullptr);
  ASSERT_TRUE(pOb->IsKindOf(RUNTIME_CLASS(CCircle)));
  EXPECT_EQ(static_cast<CCircle*>(pOb)->m_nRadius, 7);
  delete pOb;

  EXPECT_EQ(RUNTIME_CLASS(CShape)->CreateObject(), nullptr);  // DYNAMIC only
  EXPECT_EQ(CRuntimeClass::CreateObject("CNoSuchClass"), nullptr);
}

TEST(RuntimeClass, OnlySerialClassesAreSerializable) {
  CCircle circle;
  CLabel label;
  CStringArray strings;
  CPtrArray pointers;
  EXPECT_FALSE(circle.IsSerializable());
  EXPECT_TRUE(label.IsSerializable());
  EXPECT_TRUE(strings.IsSerializable());
  EXPECT_FALSE(pointers.IsSerializable());
}

TEST(Diagnostics, FailedAssertionIsCountedAndDoesNotStop) {
  LONG nBefore = AfxGetAssertFailureCount();
  EXPECT_FALSE(AfxAssertFailedLine(__FILE__, __LINE__, "reported by hand"));
  EXPECT_EQ(AfxGetAssertFailureCount(), nBefore + 1);
  // VERIFY evaluates its expression in every configuration.
  int nSideEffect = 0;
  VERIFY(++nSideEffect == 1);
  EXPECT_EQ(nSideEffect, 1);
#ifndef NDEBUG
  ASSERT(1 + 1 == 3);
  ASSERT_VALID(static_cast<CObject*>(nullptr));
  ASSERT(2 + 2 == 4);
  EXPECT_EQ(AfxGetAssertFailureCount(), nBefore + 3);
#endif
}

TEST(ModuleHandles, DefaultToTheExecutable) {
  EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleW(nullptr));
  EXPECT_EQ(AfxGetResourceHandle(), ::GetModuleHandleW(nullptr));
  HINSTANCE hOther = ::GetModuleHandleW(L"kernel32.dll");
  AfxSetResourceHandle(hOther);
  EXPECT_EQ(AfxGetResourceHandle(), hOther);
  EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleW(nullptr));
  AfxSetResourceHandle(nullptr);
  EXPECT_EQ(AfxGetResourceHandle(), ::GetModuleHandleW(nullptr));
}

// ---------------------------------------------------------------------------------------
TEST(Exceptions, ThrowHelpersThrowTheirClassAsPointer) {
  struct Case {
    void (*pfnThrow)();
    CRuntimeClass* pClass;
  };
  const Case cases[] = {
      {[] { AfxThrowMemoryException(); }, RUNTIME_CLASS(CMemoryException)},
      {[] { AfxThrowNotSupportedException(); }, RUNTIME_CLASS(CNotSupportedException)},
      {[] { AfxThrowInvalidArgException(); }, RUNTIME_CLASS(CInvalidArgException)},
      {[] { AfxThrowResourceException(); }, RUNTIME_CLASS(CResourceException)},
      {[] { AfxThrowUserException(); }, RUNTIME_CLASS(CUserException)},
      {[] { AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, L"a.txt"); },
       RUNTIME_CLASS(CFileException)},
      {[] { AfxThrowArchiveException(CArchiveException::badClass, L"b.dat"); },
       RUNTIME_CLASS(CArchiveException)},
  };
  for (const Case& c : cases) {
    CRuntimeClass* pCaught = nullptr;
    try {
      c.pfnThrow();
    } catch (CException* e) {
      pCaught = e->GetRuntimeClass();
      e->Delete();
    }
    EXPECT_EQ(pCaught, c.pClass) << c.pClass->m_lpszClassName;
  }
}

TEST(Exceptions, FileAndArchiveExceptionsCarryCauseErrorAndName) {
  try {
    AfxThrowFileException(CFileException::sharingViolation, ERROR_SHARING_VIOLATION, L"c:\\x.pst");
  } catch (CFileException* e) {
    EXPECT_EQ(e->m_cause, CFileException::sharingViolation);
    EXPECT_EQ(e->m_lOsError, ERROR_SHARING_VIOLATION);
    EXPECT_EQ(e->m_strFileName, L"c:\\x.pst");
    WCHAR szText[256];
    EXPECT_TRUE(e->GetErrorMessage(szText, _countof(szText)));
    EXPECT_STREQ(szText, L"A sharing violation occurred while accessing c:\\x.pst.");
    // A small buffer gets a truncated, terminated text.
    WCHAR szShort[8];
    EXPECT_TRUE(e->GetErrorMessage(szShort, _countof(szShort)));
    EXPECT_STREQ(szShort, L"A shari");
    e->Delete();
  }
  try {
    AfxThrowArchiveException(CArchiveException::endOfFile);
  } catch (CArchiveException* e) {
    EXPECT_EQ(e->m_cause, CArchiveException::endOfFile);
    WCHAR szText[256];
    EXPECT_TRUE(e->GetErrorMessage(szText, _countof(szText)));
    EXPECT_STREQ(szText, L"An attempt was made to read past the end of an unnamed file.");
    e->Delete();
  }
}

TEST(Exceptions, OsErrorsMapToCauses) {
  const struct {
    LONG lOsError;
    int cause;
  } cases[] = {
      {NO_ERROR, CFileException::none},
      {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
      {ERROR_PATH_NOT_FOUND, CFileException::badPath},
      {ERROR_ACCESS_DENIED, CFileException::accessDenied},
      {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
      {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
      {ERROR_DISK_FULL, CFileException::diskFull},
      {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
      {ERROR_HANDLE_EOF, CFileException::endOfFile},
      {ERROR_INVALID_HANDLE, CFileException::invalidFile},
      {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
      {ERROR_OUTOFMEMORY, CFileException::genericException},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CFileException::OsErrorToException(c.lOsError), c.cause) << c.lOsError;
}

TEST(Exceptions, ReportErrorGoesThroughTheInstalledHandler) {
  static CString s_strShown;
  static UINT s_nType;
  AFX_REPORT_ERROR_HANDLER pfnOld = AfxSetReportErrorHandler([](LPCWSTR lpsz, UINT nType) {
    s_strShown = lpsz;
    s_nType = nType;
    return IDOK;
  });
  CFileException e(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, L"missing.nsf");
  EXPECT_EQ(e.ReportError(MB_ICONSTOP), IDOK);
  EXPECT_EQ(s_strShown, L"missing.nsf was not found.");
  EXPECT_EQ(s_nType, static_cast<UINT>(MB_ICONSTOP));
  CException plain;
  plain.ReportError();
  EXPECT_EQ(s_strShown, L"An unexpected error occurred.");
  AfxSetReportErrorHandler(pfnOld);
}

TEST(Exceptions, CatchMacrosReleaseTheExceptionUnlessRethrown) {
  ASSERT_EQ(CCountedException::s_nLive, 0);

  // Released automatically at the end of the handler.
  bool bCaught = false;
  TRY { throw new CCountedException; }
  CATCH(CException, e) {
    bCaught = true;
    EXPECT_EQ(CCountedException::s_nLive, 1);
  }
  END_CATCH
  EXPECT_TRUE(bCaught);
  EXPECT_EQ(CCountedException::s_nLive, 0);

  // An explicit Delete() inside the handler is not repeated.
  TRY { throw new CCountedException; }
  CATCH_ALL(e) { e->Delete(); }
  END_CATCH_ALL
  EXPECT_EQ(CCountedException::s_nLive, 0);

  // THROW_LAST passes the same object on; the outer handler releases it.
  CException* pInner = nullptr;
  CException* pOuter = nullptr;
  TRY {
    TRY { throw new CCountedException; }
    CATCH(CException, e) {
      pInner = e;
      THROW_LAST();
    }
    END_CATCH
  }
  CATCH(CException, e) {
    pOuter = e;
    EXPECT_EQ(CCountedException::s_nLive, 1);
  }
  END_CATCH
  EXPECT_EQ(pInner, pOuter);
  EXPECT_EQ(CCountedException::s_nLive, 0);

  // AND_CATCH picks the first matching class.
  int nHandler = 0;
  TRY { AfxThrowFileException(CFileException::badPath); }
  CATCH(CMemoryException, e) { nHandler = 1; }
  AND_CATCH(CFileException, e) {
    nHandler = 2;
    EXPECT_EQ(e->m_cause, CFileException::badPath);
  }
  AND_CATCH(CException, e) { nHandler = 3; }
  END_CATCH
  EXPECT_EQ(nHandler, 2);
}

TEST(Exceptions, StaticMemoryExceptionSurvivesDelete) {
  CException* pFirst = nullptr;
  CException* pSecond = nullptr;
  try {
    AfxThrowMemoryException();
  } catch (CException* e) {
    pFirst = e;
    EXPECT_FALSE(e->m_bAutoDelete);
    e->Delete();
  }
  try {
    AfxThrowMemoryException();
  } catch (CException* e) {
    pSecond = e;
    e->Delete();
  }
  EXPECT_EQ(pFirst, pSecond);  // the same preallocated object, still intact
  WCHAR szText[64];
  EXPECT_TRUE(pSecond->GetErrorMessage(szText, _countof(szText)));
  EXPECT_STREQ(szText, L"Out of memory.");
}
