#include "frontend/GraphDialogs.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "frontend/ParamText.hpp"
#include "frontend/ProfileFiles.hpp"

namespace kavold {

using winlayer::CPaintDC;
using winlayer::CRect;
using winlayer::PS_DOT;
using winlayer::PS_SOLID;
using winlayer::RGB;

namespace {

// The thick line of the current curves.
struct Plot : PlotArea {
  void thick(int n, const float* x, const float* y, COLORREF colour) const {
    marks(n, x, y, colour, kThickLine, PS_SOLID);
  }
};

// n values of a column of a point-major table, raised by r.
template <std::size_t Columns>
void column(const float (*table)[Columns], int n, int c, float r, float* out) {
  for (int i = 0; i < n; ++i) out[i] = table[i][c] + r;
}

void raised(const float* y, int n, float r, float* out) {
  for (int i = 0; i < n; ++i) out[i] = y[i] + r;
}

void divide(float* y, int n, float norm) {
  if (!(norm != 0)) return;
  for (int i = 0; i < n; ++i) y[i] /= norm;
}

void text(CDC* dc, int x, int y, const std::string& s, int count) {
  dc->TextOut(x, y, s.c_str(), std::min(count, static_cast<int>(s.size())));
}

// A legend's text 100 pixels from the right edge, or further left where its
// font would carry it past the box: beside the box stand the legend's lines
// when the energy range is narrow.
void legendText(CDC* dc, int w, int y, const char* s) {
  const int n = static_cast<int>(std::strlen(s));
  dc->TextOut(std::min(w - 100, w - kPlotRightMargin - dc->GetTextExtent(s, n).cx), y, s, n);
}

// Texts after the curves go on white: the last curve leaves its colour as
// the background, and black on it cannot be read.
void onWhite(CDC* dc) { dc->SetBkColor(kWhite); }

bool anyRun(const KavoldGlobals& g) { return g.runCEMS != 0 || g.runPrompt != 0 || g.runDelayed != 0 || g.runTime != 0; }
bool timeOrDelayedRun(const KavoldGlobals& g) { return g.runDelayed != 0 || g.runTime != 0; }

}  // namespace

// ------------------------------------------------------------------ base

bool CGraphDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ReadResults();
  return true;
}

void CGraphDlg::OnPaint() {
  CPaintDC dc(this);
  if (m_w <= 0 || m_h <= 0) {
    CRect r;
    GetClientRect(&r);
    m_w = r.Width();
    m_h = r.Height();
  }
  m_painting = true;
  ReadResults();
  m_painting = false;
  Paint(&dc);
}

void CGraphDlg::Report(const char* text) {
  if (!m_painting) MessageBox(text);
}

void CGraphDlg::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  m_w = cx;
  m_h = cy;
}

void CEnergyGraphDlg::OnRButtonDown(UINT nFlags, CPoint point) {
  CDialog::OnRButtonDown(nFlags, point);
  KavoldGlobals& g = globals();
  m_XAxisDlg.m_Emodmax = g.Emodmax;
  m_XAxisDlg.m_Emodstep = g.Emodstep;
  m_XAxisDlg.DoModal();
  g.Emodmax = m_XAxisDlg.m_Emodmax;  // whatever the result
  g.Emodstep = m_XAxisDlg.m_Emodstep;
  Invalidate();
}

void CModelGraphDlg::OnRButtonDown(UINT nFlags, CPoint point) {
  CDialog::OnRButtonDown(nFlags, point);
  m_ModelScaleDlg.DoModal();
  KavoldGlobals& g = globals();
  g.Xmodmin = m_ModelScaleDlg.m_Initial;
  g.Xmodmax = m_ModelScaleDlg.m_Final;
  g.Xmodstep = m_ModelScaleDlg.m_Step;
  g.Yhfi = m_ModelScaleDlg.m_Yhfi;
  Invalidate();
}

void CModelGraphDlg::TakeScales() {
  KavoldGlobals& g = globals();
  CModelScaleDlg& s = m_ModelScaleDlg;
  if (g.editFlag == 2) {
    s.m_Initial = g.Xmodmin;
    s.m_Final = g.Xmodmax;
    s.m_Step = g.Xmodstep;
    s.m_Yhfi = g.Yhfi;
  } else {
    g.Xmodmin = s.m_Initial;
    g.Xmodmax = s.m_Final;
    g.Xmodstep = s.m_Step;
    g.Yhfi = s.m_Yhfi;
  }
}

// ------------------------------------------------------------ absorption

// As many lines as the reference holds; the energies replace the
// reference's.
void CAbsorptionDlg::ReadResults() {
  KavoldGlobals& g = globals();
  m_n = 0;
  if (!timeOrDelayedRun(g)) return;
  auto in = NumberStream::Open("E_spcN.RES");
  if (!in) {
    Report("can not find file: E_spcN.RES");
    return;
  }
  AbsorptionReference& ref = g.absorption;
  const int lines = std::clamp(ref.n, 0, kEnergyPoints);
  int n = 0;
  float v[3];
  for (; n < lines && in->Next(v, 3); ++n) {
    ref.E[n] = v[0];
    m_s[n] = v[1];
    m_p[n] = v[2];
  }
  m_n = n;
  divide(m_s, n, ref.norm);
  divide(m_p, n, ref.norm);
}

void CAbsorptionDlg::Paint(CDC* dc) {
  const KavoldGlobals& g = globals();
  const Plot plot{{m_painter, dc, m_w, m_h, -g.Emodmax, g.Emodmax, 0, 1}};
  plot.axes(g.Emodstep, 0.5f);
  const float legendX[2] = {4.0f, 5.5f}, upper[2] = {0.88f, 0.88f}, lower[2] = {0.82f, 0.82f};
  plot.legendLine(2, legendX, upper, kRed);
  plot.legendLine(2, legendX, lower, kBlue);
  legendText(dc, m_w, 40, "s-polarization");
  legendText(dc, m_w, 55, "p-polarization");
  if (!timeOrDelayedRun(g)) return;
  const AbsorptionReference& ref = g.absorption;
  const int nref = std::clamp(ref.n, 0, kEnergyPoints);
  plot.curve(nref, ref.E, ref.s, kBlue, PS_DOT);
  plot.curve(nref, ref.E, ref.p, kRed, PS_DOT);
  plot.thick(m_n, ref.E, m_s, kBlue);
  plot.thick(m_n, ref.E, m_p, kRed);
}

// ---------------------------------------------------------- reflectivity

void CReflectivityDlg::ReadResults() {
  const KavoldGlobals& g = globals();
  std::fill(std::begin(m_found), std::end(m_found), false);
  if (!timeOrDelayedRun(g)) return;
  for (int i = 0; i < std::clamp(g.nTimeSpectraDrawn, 0, 4); ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "BUFFEN%d.RES", i + 1);
    auto in = NumberStream::Open(name);
    m_found[i] = in.has_value();
    if (!in) {
      Report((std::string("CAN NOT FIND FILE: ") + name).c_str());
      continue;
    }
    m_n[i] = ScanRecords(*in, 2, kEnergyPoints, [&](int j, const float* v) {
               m_E[i][j] = v[0];
               m_R[i][j] = v[1];
             }) - 1;
  }
}

// Spectrum i is raised by n - i - 1, so that the first is on top.
void CReflectivityDlg::Paint(CDC* dc) {
  const KavoldGlobals& g = globals();
  const int n = std::clamp(g.nTimeSpectraDrawn, 0, 4);
  const Plot plot{{m_painter, dc, m_w, m_h, -g.Emodmax, g.Emodmax, 0, static_cast<float>(n)}};
  plot.axes(g.Emodstep, 1);
  if (!timeOrDelayedRun(g)) return;
  const ReflectivityReference& ref = g.reflectivity;
  float buffer[kEnergyPoints];
  for (int i = 0; i < n; ++i) {
    const float r = static_cast<float>(n - i - 1);
    if (m_found[i]) {
      const int nref = std::clamp(ref.n, 0, kEnergyPoints);
      column(ref.R, nref, i, r, buffer);
      plot.curve(nref, ref.E, buffer, RGB(0, 55, 0), PS_DOT);
      raised(m_R[i], m_n[i], r, buffer);
      plot.thick(m_n[i], m_E[i], buffer, kRed);
    }
    char label[32];
    std::snprintf(label, sizeof label, " %.2f mrad ", static_cast<double>(g.grazingAngle[i]));
    onWhite(dc);
    text(dc, m_w - 90, 40 + 380 * i / n, label, 10);
  }
}

// ------------------------------------------------------- depth profiles

// Read whatever the counters say: the reference normaliser divides it.
void CDepthProfileDlg::ReadResults() {
  m_profile.n = 0;
  const ProfileRead r = ReadElProfileFile(m_profile);
  if (!r.found) Report("can not find file: EL_MOD.RES");
  if (r.tooLong) Report(" Model includes more than 2500 points!");
  const float norm = globals().elProfile.norm;
  divide(m_profile.re, m_profile.n, norm);
  divide(m_profile.im, m_profile.n, norm);
}

void CDepthProfileDlg::Paint(CDC* dc) {
  TakeScales();
  const KavoldGlobals& g = globals();
  const Plot plot{{m_painter, dc, m_w, m_h, g.Xmodmin, g.Xmodmax, 0, g.Yhfi}};
  plot.axes(g.Xmodstep, 0.5f * g.Yhfi);
  if (anyRun(g)) {
    const ElectronicProfile& ref = g.elProfile;
    const int nref = std::clamp(ref.n, 0, kProfilePoints);
    plot.curve(nref, ref.depth, ref.re, RGB(100, 100, 0), PS_DOT);
    plot.curve(nref, ref.depth, ref.im, RGB(0, 100, 100), PS_DOT);
  }
  plot.thick(m_profile.n, m_profile.depth, m_profile.re, kRed);
  plot.thick(m_profile.n, m_profile.depth, m_profile.im, kBlue);
  onWhite(dc);
  text(dc, m_w / 2 - 20, m_h - 15, "Depth (nm)", 10);
}

// The current profile, and "INMOD.RES" beside it: the depth and the first
// four columns of each point (the sum after the last multiplet, 0 after
// that).  The prompt program writes no multiplet profile.
void CHfiGraphDlg::ReadResults() {
  m_profile.n = 0;
  m_profile.NM = 0;
  const KavoldGlobals& g = globals();
  if (g.runCEMS == 0 && g.runDelayed == 0 && g.runTime == 0) return;
  const ProfileRead r = ReadHfiProfileFile(m_profile);
  if (!r.found) {
    Report("can not find file: MODELN.RES");
    return;
  }
  if (r.tooLong) Report(" Model includes more than 2500 points!");
  std::string text;
  for (int i = 0; i < m_profile.n; ++i) {
    const float* v = m_profile.v[i];
    text += Format(" %f %f %f %f %f \n", static_cast<double>(m_profile.depth[i]), static_cast<double>(v[1]),
                   static_cast<double>(v[2]), static_cast<double>(v[3]), static_cast<double>(v[4]));
  }
  if (!WriteWholeFile("INMOD.RES", text)) Report("can not create file: INMOD.RES");
}

// Bands of height Yhfi, multiplet 1 on top and the sum in the lowest band.
void CHfiGraphDlg::Paint(CDC* dc) {
  TakeScales();
  const KavoldGlobals& g = globals();
  const float Yhfi = g.Yhfi;
  Plot plot{{m_painter, dc, m_w, m_h, g.Xmodmin, g.Xmodmax, 0, Yhfi}};
  plot.axes(g.Xmodstep, Yhfi);
  if (g.runCEMS == 0 && g.runDelayed == 0 && g.runTime == 0) return;
  const HfiProfile& ref = g.hfiProfile;
  const HfiProfile& cur = m_profile;
  const int D = std::max(cur.NM, ref.NM);
  plot.Yfin = static_cast<float>(D) * Yhfi;
  plot.axes(g.Xmodstep, Yhfi);
  float buffer[kProfilePoints];
  const int nref = std::clamp(ref.n, 0, kProfilePoints);
  const auto band = [&](const HfiProfile& p, int n, int c, int b) {
    column(p.v, n, c, static_cast<float>(D - b) * Yhfi, buffer);
  };
  for (int b = 1; b <= ref.NM; ++b) {
    band(ref, nref, b, b);
    plot.curve(nref, ref.depth, buffer, RGB(100, 100, 0), PS_DOT);
  }
  band(ref, nref, ref.NM + 1, ref.NM);
  plot.curve(nref, ref.depth, buffer, RGB(200, 100, 0), PS_DOT);
  for (int b = 1; b <= cur.NM; ++b) {
    band(cur, cur.n, b, b);
    plot.thick(cur.n, cur.depth, buffer, kRed);
  }
  band(cur, cur.n, cur.NM + 1, cur.NM);
  plot.thick(cur.n, cur.depth, buffer, kBlue);
  onWhite(dc);
  text(dc, m_w - m_w / 2 - 20, m_h - 15, "Depth (nm)", 10);
  text(dc, m_w - 95, 20, " Multiplets: ", 12);
  for (int b = 1; b <= D; ++b) {
    char label[32];
    std::snprintf(label, sizeof label, " No. %d  ", b);
    text(dc, m_w - 65, (b - 1) * (m_h - 60) / D + 40, label, 8);
  }
}

}  // namespace kavold
