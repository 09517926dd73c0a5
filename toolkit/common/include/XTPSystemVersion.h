// Facts about the running system that the toolkit reads once: the Windows release
// (CXTPOSVersionInfo), the non-client metrics record (CXTPNonClientMetrics) and the version
// of the common-controls library this process really uses (one reader for the whole toolkit).
#pragma once

#include <framework.h>

// ---------------------------------------------------------------------------------------
// Common-controls version, as (major << 16) | (minor & 0xFFFF); 0 when it cannot be had.
//
// XTPReadComCtlVersion asks the system every time it is called (it caches nothing): it loads
// "COMCTL32.DLL", calls its "DllGetVersion" with a DLLVERSIONINFO of size 20 and frees the
// library again. Callers keep the value as long as they need to.
//
// Wine's comctl32 answers 5.81 even in a process whose manifest made the loader map the
// version 6 library from the side-by-side store. The reader therefore also looks at the
// module that "COMCTL32.DLL" resolved to: when its file lies in the side-by-side store under
// an assembly named Microsoft.Windows.Common-Controls of version 6 or later, the answer is
// at least 6.0, whatever DllGetVersion said.
DWORD AFXAPI XTPReadComCtlVersion();

// The test seam: a replacement for the system query above. It returns the version in the
// same form (0: the system refused). Null puts the system query back. Returns the previous
// replacement.
typedef DWORD(CALLBACK* XTP_COMCTL_VERSION_QUERY)();
XTP_COMCTL_VERSION_QUERY AFXAPI XTPSetComCtlVersionQuery(XTP_COMCTL_VERSION_QUERY pfnQuery);

// The side-by-side test on a module path, exposed for tests: the major version (6 or more)
// of the common-controls assembly folder the path lies in, or 0 when it is no such path.
int AFXAPI XTPComCtlAssemblyMajorFromPath(LPCWSTR pszModulePath);

// ---------------------------------------------------------------------------------------
// The Windows release: an OSVERSIONINFOW (structure size 276) filled by GetVersionExW. The
// process-wide record is made during static initialisation.
class CXTPOSVersionInfo : public OSVERSIONINFOW {
 public:
  // Zeroed, size 276, filled by the system.
  CXTPOSVersionInfo();
  // A record with the given platform, major and minor version and nothing else; for
  // tests and for anyone who needs to ask "what if".
  CXTPOSVersionInfo(DWORD dwPlatformId, DWORD dwMajor, DWORD dwMinor);

  BOOL IsWin95() const;           // platform 1, major 4, minor < 10
  BOOL IsWin98() const;           // platform 1, major 4, minor 10
  BOOL IsWinNT4() const;          // platform 2, major 4, minor 0
  BOOL IsWin2K() const;           // platform 2, major 5, minor 0
  BOOL IsWinXP() const;           // platform 2, major 5, minor 1
  BOOL IsWin2KOrGreater() const;  // platform 2, major >= 5
  BOOL IsWin9x() const;           // platform 1
  BOOL IsWinNT() const;           // platform 2
  BOOL IsWinVersion(DWORD dwMajor, DWORD dwMinor) const;  // major = a and minor = b
};

// The process-wide record.
CXTPOSVersionInfo* AFXAPI XTPGetOSVersionInfo();

// ---------------------------------------------------------------------------------------
// NONCLIENTMETRICSW zeroed, cbSize 500 (the layout every release accepts: without the
// padded-border field), filled by SystemParametersInfo(SPI_GETNONCLIENTMETRICS) when made.
class CXTPNonClientMetrics : public NONCLIENTMETRICSW {
 public:
  CXTPNonClientMetrics();
  // Whether the system filled the record.
  BOOL IsValid() const { return m_bValid; }

 private:
  BOOL m_bValid = FALSE;
};

// The structure size the toolkit hands to SPI_GETNONCLIENTMETRICS.
#define XTP_NONCLIENTMETRICS_SIZE 500
