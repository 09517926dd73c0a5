// The colour manager: 62 indexed colours and ten gradients, derived from the system colours
// and the visual-styles colour scheme.
#include <framework.h>

#include "XTPColorManager.h"

#include "XTPWinThemeWrapper.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace {

const COLORREF kNone = (COLORREF)-1;

// A colour as a point of the weighted colour space used for contrast.
struct ColorPoint {
  double r, g, b;
};

ColorPoint ToPoint(COLORREF clr) {
  return {GetRValue(clr) * 195.0 / 255.0, GetGValue(clr) * 390.0 / 255.0, GetBValue(clr) * 65.0 / 255.0};
}

double Length(const ColorPoint& p) { return std::sqrt(p.r * p.r + p.g * p.g + p.b * p.b); }

double Distance(COLORREF a, COLORREF b) {
  const ColorPoint pa = ToPoint(a), pb = ToPoint(b);
  return Length({pa.r - pb.r, pa.g - pb.g, pa.b - pb.b});
}

double Luminance(COLORREF clr) { return Length(ToPoint(clr)); }

// Threshold t scaled for reference colour a: brighter references need less distance.
double ScaledThreshold(COLORREF a, int t) {
  const int l = static_cast<int>(Luminance(a));
  return (2.0 - std::min(l, 220) / 220.0) * t;
}

bool IsFarther(COLORREF a, COLORREF b, double scaled) {
  const double d = Distance(a, b);
  return d * d > scaled * scaled;
}

int ToChannel(double coord, double range) {
  coord = std::max(0.0, std::min(range, coord));
  int n = static_cast<int>(coord * 255.0 / range + 0.5);
  return std::max(0, std::min(255, n));
}

COLORREF FromPoint(const ColorPoint& p) { return RGB(ToChannel(p.r, 195.0), ToChannel(p.g, 390.0), ToChannel(p.b, 65.0)); }

// Moves b toward a until it lies l away from a.
COLORREF PullToward(COLORREF a, COLORREF b, double l) {
  const ColorPoint pa = ToPoint(a), pb = ToPoint(b);
  const double d = Distance(a, b);
  if (d <= 0.0) return b;
  const double k = (d - l) / d;
  return FromPoint({pb.r + (pa.r - pb.r) * k, pb.g + (pa.g - pb.g) * k, pb.b + (pa.b - pb.b) * k});
}

// Moves b along its line through the origin (black, or white when working toward white)
// to the point nearer that origin that lies f away from a.
COLORREF PushAway(COLORREF a, COLORREF b, double f) {
  const double la = Luminance(a), lb = Luminance(b);
  const bool white = (lb > la && la <= 442.0 - f) || (lb <= la && la <= f);
  ColorPoint pa = ToPoint(a), pb = ToPoint(b);
  if (white) {
    pa = {195.0 - pa.r, 390.0 - pa.g, 65.0 - pa.b};
    pb = {195.0 - pb.r, 390.0 - pb.g, 65.0 - pb.b};
  }
  const double lenB = std::max(Length(pb), 0.001);
  const double p = (pa.r * pb.r + pa.g * pb.g + pa.b * pb.b) / lenB;
  const double lenA = Length(pa);
  const double d2 = std::max(0.0, lenA * lenA - p * p);
  if (f * f < d2) return 0;
  const double t = p - std::sqrt(f * f - d2);
  ColorPoint q = {pb.r * t / lenB, pb.g * t / lenB, pb.b * t / lenB};
  if (white) q = {195.0 - q.r, 390.0 - q.g, 65.0 - q.b};
  return FromPoint(q);
}

int MaxChannel(COLORREF clr) { return std::max({(int)GetRValue(clr), (int)GetGValue(clr), (int)GetBValue(clr)}); }

// Lower-cases a wide text.
std::wstring Lower(LPCWSTR psz) {
  std::wstring s = psz ? psz : L"";
  for (wchar_t& ch : s) ch = static_cast<wchar_t>(std::towlower(ch));
  return s;
}

}  // namespace

int AFXAPI XTPSchemeFromThemeName(LPCWSTR pszFileName, LPCWSTR pszColorName) {
  const std::wstring file = Lower(pszFileName), color = Lower(pszColorName);
  const bool luna = file.find(L"luna.msstyles") != std::wstring::npos;
  const bool royale = file.find(L"royale.msstyles") != std::wstring::npos;
  if ((luna || royale) && color == L"normalcolor") return xtpSystemThemeBlue;
  if (luna && color == L"homestead") return xtpSystemThemeOlive;
  if (luna && color == L"metallic") return xtpSystemThemeSilver;
  return xtpSystemThemeUnknown;
}

// ---------------------------------------------------------------------------------------

CXTPColorManager::CXTPColorManager() {
  std::fill(std::begin(m_arrBase), std::end(m_arrBase), 0);
  std::fill(std::begin(m_arrOverride), std::end(m_arrOverride), kNone);
  std::fill(std::begin(m_arrLunaColor), std::end(m_arrLunaColor), kNone);
  RefreshColors();
  m_grcGradient[7].SetStandardValue(0x8CD5FF, 0x55ADFF, 0.5f);
  m_grcGradient[8].SetStandardValue(0x4B8EFE, 0x8BCFFF, 0.5f);
  m_grcGradient[9].SetStandardValue(0xC8F2FF, 0x97D4FF, 0.5f);
}

CXTPColorManager::~CXTPColorManager() = default;

COLORREF CXTPColorManager::GetColor(UINT nIndex) const {
  if (nIndex >= XTP_COLOR_COUNT) return nIndex;
  return m_arrOverride[nIndex] != kNone ? m_arrOverride[nIndex] : m_arrBase[nIndex];
}

COLORREF CXTPColorManager::GetXPColor(UINT nIndex) const {
  if (nIndex >= 30 && nIndex < XTP_COLOR_COUNT && m_arrLunaColor[nIndex] != kNone) return m_arrLunaColor[nIndex];
  return GetColor(nIndex);
}

COLORREF CXTPColorManager::BlendColors(COLORREF clrA, COLORREF clrB, int nWeight) {
  const int d = nWeight < 100 ? 100 : 1000;
  auto channel = [=](int a, int b) {
    int n = (nWeight * a + (d - nWeight) * b + d / 2) / d;
    return std::max(0, std::min(255, n));
  };
  return RGB(channel(GetRValue(clrA), GetRValue(clrB)), channel(GetGValue(clrA), GetGValue(clrB)),
             channel(GetBValue(clrA), GetBValue(clrB)));
}

int CXTPColorManager::GetCurrentTheme() const {
  return (m_nChosenTheme == xtpSystemThemeAuto || m_nChosenTheme == xtpSystemThemeDefault) ? m_nSystemTheme
                                                                                           : m_nChosenTheme;
}

const CXTPGradientColor* CXTPColorManager::GetGradient(int nGradient) const {
  if (nGradient < 1 || nGradient > XTP_GRADIENT_COUNT) return nullptr;
  return &m_grcGradient[nGradient - 1];
}

void CXTPColorManager::SetCurrentTheme(int nTheme) { m_nChosenTheme = nTheme; }
void CXTPColorManager::DisableLunaColors(BOOL bDisable) { m_bDisableLunaColors = bDisable; }

void CXTPColorManager::SetColor(UINT nIndex, COLORREF clr) {
  if (nIndex < XTP_COLOR_COUNT) m_arrOverride[nIndex] = clr;
}

void CXTPColorManager::SetColors(int nCount, const UINT* pIndexes, const COLORREF* pColors) {
  if (!pIndexes || !pColors) return;
  for (int i = 0; i < nCount; i++) SetColor(pIndexes[i], pColors[i]);
}

void CXTPColorManager::ResetOverrides() { std::fill(std::begin(m_arrOverride), std::end(m_arrOverride), kNone); }

COLORREF CXTPColorManager::GetOverride(UINT nIndex) const {
  return nIndex < XTP_COLOR_COUNT ? m_arrOverride[nIndex] : kNone;
}

COLORREF CXTPColorManager::GetBaseColor(UINT nIndex) const { return nIndex < XTP_COLOR_COUNT ? m_arrBase[nIndex] : 0; }

void CXTPColorManager::SetGetSysColorPtr(PFNXTPGETSYSCOLOR pfn) { m_pfnGetSysColor = pfn; }

COLORREF CXTPColorManager::GetSysColorValue(int nIndex) const {
  return m_pfnGetSysColor ? m_pfnGetSysColor(nIndex) : ::GetSysColor(nIndex);
}

int CXTPColorManager::DetectSystemTheme() {
  if (!CXTPThemeHandle::IsThemingAvailable()) return xtpSystemThemeUnknown;
  wchar_t szFile[260] = {}, szColor[260] = {};
  CXTPThemeHandle theme;
  if (FAILED(theme.GetCurrentThemeName(szFile, 260, szColor, 260, nullptr, 0))) return xtpSystemThemeUnknown;
  return XTPSchemeFromThemeName(szFile, szColor);
}

BOOL CXTPColorManager::IsLowColorDesktop() { return CXTPDrawHelpers::IsLowColor(nullptr); }

void CXTPColorManager::Blend(UINT nTarget, UINT nA, UINT nB, int nWeight) {
  m_arrBase[nTarget] = BlendColors(GetColor(nA), GetColor(nB), nWeight);
}

void CXTPColorManager::SetLunaOverrides(int nTheme) {
  std::fill(std::begin(m_arrLunaColor), std::end(m_arrLunaColor), kNone);
  if (nTheme < 1 || nTheme > 3) return;
  const int k = nTheme - 1;
  struct Row {
    int index;
    COLORREF values[3];
  };
  static const Row rows[] = {
      {38, {0x764127, 0x335E51, 0x755454}}, {39, {0xCB8C6A, 0x588060, 0x8F6D6E}},
      {40, {0xD0966D, 0x7AAE9F, 0xBEA7A8}}, {41, {0xF6F6F6, 0xEEF4F4, 0xFFFAFD}},
      {43, {0x962D00, 0x5E8D75, 0x947C7C}}, {31, {0xC2EEFF, 0xC2EEFF, 0xC2EEFF}},
      {32, {0x800000, 0x385D3F, 0x6F4B4B}}, {50, {0x800000, 0x385D3F, 0x6F4B4B}},
      {37, {0x800000, 0x385D3F, 0x6F4B4B}}, {33, {0x3E80FE, 0x3E80FE, 0x3E80FE}},
      {36, {0x6FC0FF, 0x6FC0FF, 0x6FC0FF}}, {30, {0xF5BE9E, 0xA7D9D9, 0xE5D7D7}},
      {47, {0, 0, 0}},                      {59, {0x361E16, 0x19221F, 0x292024}},
  };
  for (const Row& row : rows) m_arrLunaColor[row.index] = row.values[k];
}

void CXTPColorManager::SetGradients(int nTheme) {
  const COLORREF F = GetColor(COLOR_3DFACE), S = GetColor(COLOR_3DSHADOW), W = GetColor(COLOR_WINDOW);
  struct G {
    COLORREF start, end;
    float factor;
  };
  G g[7];
  switch (nTheme) {
    case 1:
      g[0] = {0xD68759, 0x962D00, 0.5f};
      g[1] = {0xF5BE9E, 0xFADAC4, 0.5f};
      g[2] = {0xD68759, 0x962D00, 0.5f};
      g[3] = {0xFEECDD, 0xE2A981, 0.75f};
      g[4] = {0xFFEFE3, 0xE4AD87, 0.5f};
      g[5] = {0xF6DDCB, 0xDCA179, 0.5f};
      g[6] = {0xFFEFE3, 0xE7B593, 0.5f};
      m_arrBase[54] = 0x962D00;
      break;
    case 2:
      g[0] = {0x82C0AF, 0x447A63, 0.5f};
      g[1] = {0xA7D9D9, 0xE4F1F2, 0.5f};
      g[2] = {0x6F8E78, 0x435B49, 0.5f};
      g[3] = {0xDEF7F4, 0x91C6B7, 0.3f};
      g[4] = {0xEDFFFF, 0x92C7B8, 0.3f};
      g[5] = {0xD1E6E6, 0x78B4A4, 0.3f};
      g[6] = {0xD5F0EC, 0x9FCEC2, 0.5f};
      m_arrBase[54] = 0x588060;
      break;
    case 3:
      g[0] = {0xBFA7A8, 0x916F70, 0.5f};
      g[1] = {0xE5D7D7, 0xF7F3F3, 0.5f};
      g[2] = {0xBFA7A8, 0x977677, 0.5f};
      g[3] = {0xFFF9F9, 0xB79B9C, 0.75f};
      g[4] = {0xFFF9F9, 0xB99D9F, 0.75f};
      g[5] = {0xE2D7D7, 0x9E7E80, 0.75f};
      g[6] = {0xF1E7E9, 0xCDB9BA, 0.5f};
      m_arrBase[54] = 0x947C7C;
      break;
    default:
      g[0] = {S, S, 0.5f};
      g[1] = {F, BlendColors(F, W, 215), 0.5f};
      g[2] = {F, S, 0.5f};
      g[3] = {BlendColors(F, W, 205), F, 0.5f};
      g[4] = {BlendColors(F, W, 145), BlendColors(F, W, 93), 0.5f};
      g[5] = {BlendColors(F, W, 40), BlendColors(F, S, 95), 0.5f};
      g[6] = {BlendColors(F, W, 165), BlendColors(F, W, 42), 0.5f};
      break;
  }
  for (int i = 0; i < 7; i++) m_grcGradient[i].SetStandardValue(g[i].start, g[i].end, g[i].factor);
}

void CXTPColorManager::RefreshXPColors() {
  // Blends.
  Blend(30, 5, 15, 165);
  Blend(31, 13, 5, 30);
  Blend(33, 13, 5, 50);
  Blend(41, 15, 5, 143);
  Blend(35, 17, 5, 70);
  Blend(38, 16, 5, 75);
  Blend(39, 16, 5, 70);
  Blend(43, 46, 16, 20);
  Blend(40, 16, 5, 90);
  Blend(42, 15, 16, 90);

  // Contrast.
  const COLORREF F = GetColor(COLOR_3DFACE);
  {
    const double s = ScaledThreshold(F, 35);
    if (IsFarther(F, GetColor(30), s)) m_arrBase[30] = PullToward(F, GetColor(30), s);
  }
  struct Row {
    UINT target, reference, compared;
    int threshold;
  };
  static const Row rows[] = {{31, 30, 31, 50},  {32, 30, 13, 100}, {33, 30, 33, 30},  {35, 41, 35, 80},
                             {37, 33, 37, 100}, {38, 30, 38, 85},  {39, 30, 39, 50},  {43, 47, 43, 100},
                             {40, 30, 40, 80},  {44, 41, 44, 180}, {45, 31, 45, 180}, {46, 30, 46, 180},
                             {47, 33, 47, 180}};
  for (const Row& row : rows) {
    const COLORREF clrRef = GetColor(row.reference), clrCmp = GetColor(row.compared);
    const double s = ScaledThreshold(clrRef, row.threshold);
    if (!IsFarther(clrRef, clrCmp, s)) m_arrBase[row.target] = PushAway(clrRef, clrCmp, s);
  }
  {
    const COLORREF c41 = GetColor(41);
    const double s = ScaledThreshold(c41, 145);
    if (IsFarther(c41, GetColor(35), s)) m_arrBase[35] = PullToward(c41, GetColor(35), s);
  }

  // 36: a mix of 30, window and highlight.
  {
    const COLORREF c30 = GetColor(30), c5 = GetColor(COLOR_WINDOW), c13 = GetColor(COLOR_HIGHLIGHT);
    auto mix = [](int a, int b, int c) { return std::min(255, a * 50 / 100 + b * 40 / 100 + c * 10 / 100); };
    m_arrBase[36] = RGB(mix(GetRValue(c30), GetRValue(c5), GetRValue(c13)),
                        mix(GetGValue(c30), GetGValue(c5), GetGValue(c13)),
                        mix(GetBValue(c30), GetBValue(c5), GetBValue(c13)));
  }
  // 48: the face colour lightened.
  {
    const int m = MaxChannel(F);
    if (m == 0) {
      m_arrBase[48] = 0x232323;
    } else {
      const int k = m + std::min(35, 255 - m);
      m_arrBase[48] = RGB(std::min(255, GetRValue(F) * k / m), std::min(255, GetGValue(F) * k / m),
                          std::min(255, GetBValue(F) * k / m));
    }
  }
  // 49: the shadow colour darkened.
  {
    const COLORREF S = GetColor(COLOR_3DSHADOW);
    if (F == 0) {
      m_arrBase[49] = 0x7F7F7F;
    } else {
      const int m = MaxChannel(S);
      if (m == 0) {
        m_arrBase[49] = 0;
      } else {
        const int k = std::max(m - 43, 0);
        m_arrBase[49] = RGB(GetRValue(S) * k / m, GetGValue(S) * k / m, GetBValue(S) * k / m);
      }
    }
  }
  // 34, 22, 53, 58, 60.
  {
    const COLORREF b31 = m_arrBase[31];
    m_arrBase[34] = RGB(static_cast<int>(GetRValue(b31) * 0.75), static_cast<int>(GetGValue(b31) * 0.75),
                        static_cast<int>(GetBValue(b31) * 0.75));
    m_arrBase[COLOR_3DLIGHT] =
        RGB(std::min(255, GetRValue(F) + 15), std::min(255, GetGValue(F) + 15), std::min(255, GetBValue(F) + 15));
    m_arrBase[53] = GetColor(30);
    m_arrBase[58] = GetColor(40);
    m_arrBase[60] = m_arrBase[40];
  }
}

void CXTPColorManager::RefreshColors() {
  m_nRefreshCount++;
  // 1. Scheme and depth.
  m_nSystemTheme = DetectSystemTheme();
  const BOOL bLowColor = IsLowColorDesktop();

  // 2. System colours.
  m_arrBase[0] = 0;
  for (int i = 1; i <= 27; i++) m_arrBase[i] = GetSysColorValue(i);
  for (int i = 28; i < XTP_COLOR_COUNT; i++) m_arrBase[i] = 0;

  // 3. Classic defaults.
  {
    const COLORREF F = GetColor(COLOR_3DFACE), S = GetColor(COLOR_3DSHADOW);
    const COLORREF c5 = GetColor(5), c7 = GetColor(7), c8 = GetColor(8), c13 = GetColor(13), c14 = GetColor(14),
                   c17 = GetColor(17), c18 = GetColor(18);
    const COLORREF defaults[] = {
        /*30*/ F,   /*31*/ c5,  /*32*/ c13, /*33*/ c13, /*34*/ S,  /*35*/ c17, /*36*/ c5,  /*37*/ c13,
        /*38*/ S,   /*39*/ S,   /*40*/ S,   /*41*/ c5,  /*42*/ S,  /*43*/ S,   /*44*/ c8,  /*45*/ c7,
        /*46*/ c18, /*47*/ c14, /*48*/ F,   /*49*/ c18, /*50*/ c13, /*51*/ F,  /*52*/ S,   /*53*/ F,
        /*54*/ S,   /*55*/ F,   /*56*/ F,   /*57*/ S,   /*58*/ c17, /*59*/ 0,  /*60*/ S};
    for (int i = 0; i < static_cast<int>(sizeof(defaults) / sizeof(defaults[0])); i++) m_arrBase[30 + i] = defaults[i];
  }

  // 4. The scheme's fixed colours.
  const int nTheme = m_bDisableLunaColors ? 0 : GetCurrentTheme();
  SetLunaOverrides(nTheme);

  // 5. Low colour: only the gradients.
  if (bLowColor) {
    SetGradients(nTheme);
    return;
  }

  // 6 to 11.
  RefreshXPColors();

  // 12. Gradients.
  SetGradients(nTheme);

  // 13. The tree view's own colour, when visual styles give one.
  CXTPThemeHandle theme;
  if (theme.OpenThemeData(nullptr, L"TREEVIEW")) {
    COLORREF clr = 0;
    if (SUCCEEDED(theme.GetThemeColor(0, 0, 3801, &clr))) m_arrBase[57] = clr;
  }
}

// ---------------------------------------------------------------------------------------

CXTPColorManager* AFXAPI XTPGetColorManager() {
  static CXTPColorManager* s_pInstance = [] {
    static CXTPColorManager instance;
    return &instance;
  }();
  return s_pInstance;
}

void AFXAPI XTPRefreshColors() {
  static DWORD s_dwLastRefresh = 0;
  static BOOL s_bRecorded = FALSE;
  const DWORD dwNow = ::GetTickCount();
  if (s_bRecorded && dwNow - s_dwLastRefresh <= 500) return;
  XTPGetColorManager()->RefreshColors();
  if (AfxGetMainWnd() != nullptr) {
    s_dwLastRefresh = dwNow;
    s_bRecorded = TRUE;
  }
}
