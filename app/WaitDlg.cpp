#include "WaitDlg.h"

#include "waitdlg_res.h"

IMPLEMENT_DYNAMIC(CWaitLabel, CStatic)

BEGIN_MESSAGE_MAP(CWaitLabel, CStatic)
  ON_WM_PAINT()
END_MESSAGE_MAP()

IMPLEMENT_DYNAMIC(CWaitDlg, CDialog)

BEGIN_MESSAGE_MAP(CWaitDlg, CDialog)
  ON_WM_CLOSE()
  ON_WM_PAINT()
  ON_WM_TIMER()
  ON_BN_CLICKED(IDC_WAIT_STOP, OnStop)
  ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

namespace {

// Draws into a bitmap first and copies it to the window in one go.
class CBufferedPaint {
 public:
  explicit CBufferedPaint(CWnd* pWnd) : m_dc(pWnd) {
    pWnd->GetClientRect(&m_rc);
    m_mem.CreateCompatibleDC(&m_dc);
    m_bitmap.CreateCompatibleBitmap(&m_dc, m_rc.Width(), m_rc.Height());
    m_pOld = m_mem.SelectObject(&m_bitmap);
  }
  ~CBufferedPaint() {
    m_dc.BitBlt(0, 0, m_rc.Width(), m_rc.Height(), &m_mem, 0, 0, SRCCOPY);
    m_mem.SelectObject(m_pOld);
  }
  CBufferedPaint(const CBufferedPaint&) = delete;
  CBufferedPaint& operator=(const CBufferedPaint&) = delete;
  CDC& DC() { return m_mem; }
  const CRect& Rect() const { return m_rc; }

 private:
  CPaintDC m_dc;
  CRect m_rc;
  CDC m_mem;
  CBitmap m_bitmap;
  CBitmap* m_pOld = nullptr;
};

}  // namespace

// ---------------------------------------------------------------------------------------

void CWaitLabel::OnPaint() {
  CBufferedPaint paint(this);
  CDC& dc = paint.DC();
  CRect rc(paint.Rect());
  dc.FillSolidRect(&rc, kBackColor);
  dc.SetBkMode(TRANSPARENT);
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  CFont font;
  font.CreateFontIndirect(&metrics.lfMessageFont);
  CFont* pOldFont = dc.SelectObject(&font);
  CString strText;
  GetWindowText(strText);
  dc.DrawText(strText, &rc, DT_WORDBREAK | DT_NOPREFIX);
  dc.SelectObject(pOldFont);
}

// ---------------------------------------------------------------------------------------

CWaitDlg::CWaitDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

CWaitDlg::~CWaitDlg() {
  if (m_hIcon != nullptr) ::DestroyIcon(m_hIcon);
}

BOOL CWaitDlg::Create(CWnd* pParent) { return CDialog::Create(IDD, pParent); }

void CWaitDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_WAIT_LABEL, m_Label);
  DDX_Control(pDX, IDC_WAIT_PROGRESS, m_Progress);
}

BOOL CWaitDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_hIcon = static_cast<HICON>(
      ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_WAITDLG), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  if (m_hIcon != nullptr) SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  m_Label.SetWindowText(L"");
  SetTimer(kHideTimer, kHidePeriodMs, nullptr);
  return TRUE;
}

// The wait window cannot be closed from its caption: only its users hide it.
void CWaitDlg::OnClose() {}

void CWaitDlg::OnPaint() {
  CBufferedPaint paint(this);
  CDC& dc = paint.DC();
  CRect rc(paint.Rect());
  dc.FillSolidRect(&rc, RGB(0, 0, 0));
  rc.DeflateRect(1, 1);
  dc.FillSolidRect(&rc, 0x00FFFF);  // yellow frame
  rc.DeflateRect(1, 1);
  TRIVERTEX vertices[2] = {{rc.left, rc.top, 0xFF00, 0xFF00, 0xFF00, 0},
                           {rc.right, rc.bottom, 0xFF00, 0xFE00, 0xEF00, 0}};
  GRADIENT_RECT mesh = {0, 1};
  dc.GradientFill(vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
}

void CWaitDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kHideTimer && IsWindowVisible() && m_nKeepVisible == 0) ShowWindow(SW_HIDE);
  CDialog::OnTimer(nIDEvent);
}

void CWaitDlg::OnStop() {
  if (m_pOwner != nullptr && ::IsWindow(m_pOwner->GetSafeHwnd())) m_pOwner->SendMessage(UM_STOPPROCESS, 0, 0);
}

void CWaitDlg::OnShowWindow(BOOL bShow, UINT nStatus) {
  CDialog::OnShowWindow(bShow, nStatus);
  if (::IsWindow(m_Label.GetSafeHwnd())) {
    m_Label.SetWindowText(L"Please wait...");
    m_Label.RedrawWindow();
  }
}

CString CWaitDlg::FormatScanCounts(int nFolders, int nEntries, const CString& strLastFolder) {
  CString strText;
  strText.Format(
      L"Please wait, the file is being scanned for contact items ...\r\n\r\nTotal Folder Found     :%d  Total "
      L"Contact Found    :%d\r\nLast Folder Found     :%s",
      nFolders, nEntries, strLastFolder.GetString());
  return strText;
}

void CWaitDlg::ShowScanCounts(int nFolders, int nEntries, CString strLastFolder) {
  if (!::IsWindow(m_Label.GetSafeHwnd())) return;
  m_Label.SetWindowText(FormatScanCounts(nFolders, nEntries, strLastFolder));
  m_Label.Invalidate(TRUE);
}
