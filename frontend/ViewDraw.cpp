// The main view's drawing: one plot in the display mode that the last show
// command chose.  Experiments are drawn as marks, the initial theory as a
// thin dashed line, the current theory as a thick line; merits, model names
// and hints are written beside the plot.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "frontend/Globals.hpp"
#include "frontend/KAVOLDView.hpp"
#include "frontend/ParamText.hpp"

namespace kavold {

using winlayer::PS_DASH;
using winlayer::PS_DOT;
using winlayer::PS_SOLID;
using winlayer::RGB;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kDarkRed = RGB(155, 0, 0);
constexpr COLORREF kTeal = RGB(0, 155, 155);

// The painter with the client size and the current axes of this drawing.
struct Plot : PlotArea {
  Plot(const CGraphPainter& p, CDC* dc, int w, int h, const CurrentAxes& a)
      : PlotArea{p, dc, w, h, a.Xini, a.Xfin, a.Yini, a.Yfin} {}
  // A comparison limit: a dotted vertical line over the whole Y range.
  void limit(float x) const { limit(x, Yini, Yfin); }
  void limit(float x, float y0, float y1) const {
    const float xs[2] = {x, x}, ys[2] = {y0, y1};
    curve(2, xs, ys, kBlack, PS_DOT);
  }
};

int capped(int count, int capacity) { return std::clamp(count, 0, capacity); }

// The caption of the X axis: times, angles, or the Doppler velocity of the
// CEMS spectrum.
const char* caption(int mode) {
  switch (mode) {
    case 1: return " Delay time (ns)";
    case 4: return " Velocity (mm/s)";
    default: return " Glancing angle (mrad)";
  }
}

// Texts: with a character count, written as far as the text goes.
void text(CDC* t, int x, int y, const CString& s) { t->TextOut(x, y, s); }
void text(CDC* t, int x, int y, const std::string& s, int count) { t->TextOut(x, y, s.c_str(), count); }
// The background colour only: no pixel of the plot is filled for it.
void onWhite(CDC* t) { t->SetBkColor(kWhite); }

// A file name near the right edge: a long one is moved left so that it ends
// inside the window instead of running past its edge.
void name(CDC* t, int w, int x, int y, const CString& s) {
  const int width = t->GetTextExtent(s, s.GetLength()).cx;
  t->TextOut(std::max(0, std::min(x, w - width)), y, s);
}

void modelLabel(CDC* t, int w, const CString& file) {
  text(t, w - 170, 4, "MODEL file:             ");
  name(t, w, w - 80, 4, file);
}

void newModelLabel(CDC* t, int w, const CString& file) {
  text(t, w - 200, 19, "new MODEL file:             ");
  name(t, w, w - 80, 19, file);
  if (file == "Layspc.res") text(t, w - 210, 34, "! save it with <New_M> hot-key");
}

// Values of modes 2 and 3: 0 or less is stored as 0, and on the logarithmic
// scale as `floor`, whose logarithm is drawn.
void reflectivityValues(float* y, int n, bool log, float floor, float* out) {
  for (int i = 0; i < n; ++i) {
    if (y[i] <= 0) y[i] = log ? floor : 0;
    out[i] = log ? static_cast<float>(std::log10(y[i])) : y[i];
  }
}

// The way modes 2 and 3 draw a reflectivity curve: marks of the
// experiment, the initial theory dashed, the current theory thick.
struct ReflectivityPlot {
  const Plot& plot;
  bool log;
  float floor;
  float* buffer;

  void experiment(const float* x, float* y, int n, COLORREF colour) const {
    reflectivityValues(y, n, log, floor, buffer);
    plot.marks(n, x, buffer, colour, kSquares, PS_DOT);
  }
  void initial(const float* x, float* y, int n, COLORREF colour) const {
    reflectivityValues(y, n, log, floor, buffer);
    plot.curve(n, x, buffer, colour, PS_DASH);
  }
  void current(const float* x, float* y, int n, COLORREF colour) const {
    reflectivityValues(y, n, log, floor, buffer);
    plot.marks(n, x, buffer, colour, kThickLine, PS_SOLID);
  }
};

// Spectrum k of a time-spectra array raised by r: 0 or less is stored as 0,
// on the logarithmic scale as 0.5.  Its times go into `times`.
int timeValues(const float (*t)[4], float (*y)[4], const int* count, int k, bool log, float r, float* times,
               float* out) {
  const int n = std::clamp(count[k], 0, kTimePoints);
  for (int i = 0; i < n; ++i) {
    float& v = y[i][k];
    if (v <= 0) v = log ? 0.5f : 0;
    out[i] = log ? r + static_cast<float>(std::log10(v)) : v + r;
    times[i] = t[i][k];
  }
  return n;
}

}  // namespace

int CKAVOLDView::SpectraShown() const {
  int n = m_LoadDlg.m_NFiles;
  if (n > m_ModelDlg.m_NSPC) n = m_ModelDlg.m_NSPC;
  if (n == 0) n = m_ModelDlg.m_NSPC;
  return std::clamp(n, 0, 4);
}

// A page with the texts but without the plot they describe would be of no
// use: when printing, the plot goes onto the page too.  It is drawn through
// a context of its own, as on screen, so that the colours the painter
// leaves behind (the last curve's) never become the texts' background.
void CKAVOLDView::OnDraw(CDC* pDC) {
  std::optional<winlayer::CClientDC> window;
  std::optional<winlayer::CSiblingDC> page;
  CDC* dc = pDC->IsPrinting() ? static_cast<CDC*>(&page.emplace(*pDC)) : &window.emplace(this);
  const int n = DrawCurrentAxes(dc, pDC);
  switch (m_mode) {
    case 1: DrawTimeSpectra(dc, pDC, n); break;
    case 2: DrawDelayed(dc, pDC); break;
    case 3: DrawPrompt(dc, pDC); break;
    case 4: DrawCems(dc, pDC); break;
    default: break;
  }
}

int CKAVOLDView::DrawCurrentAxes(CDC* client, CDC* labels) {
  if (m_mode < 1 || m_mode > 4) return 0;
  const bool timeSpectra = m_mode == 1;
  int n = 0;
  if (timeSpectra) {
    n = SpectraShown();
    globals().nTimeSpectraDrawn = n;
  }
  StoreAxes(m_mode);

  // Time spectra are stacked: the Y range holds n spectra of height Yfin.
  const float stack = static_cast<float>(n) + 0.5f;
  m_axes.Xini = Acorr.Xini;
  m_axes.Xfin = Acorr.Xfin;
  m_axes.Xstep = Acorr.Xstep;
  m_axes.Yini = Acorr.Yini;
  m_axes.Ystep = Acorr.Ystep;
  m_axes.Yfin = timeSpectra ? stack * Acorr.Yfin : Acorr.Yfin;
  if (Acorr.m_Lscale == 2) {
    const float top = static_cast<float>(std::log10(Acorr.Yfin));
    m_axes.Yfin = timeSpectra ? stack * top : top;
    const float bottom = Acorr.Yini != 0 ? Acorr.Yini : (timeSpectra ? 0.1f : 0.01f);
    m_axes.Yini = static_cast<float>(std::log10(bottom));
    m_axes.Ystep = static_cast<float>(std::fabs(std::log10(Acorr.Ystep)));
    if (m_axes.Ystep == 0) m_axes.Ystep = 1.0f;
  }
  const CurrentAxes& a = m_axes;
  m_painter.DrawAxes(client, m_width, m_height, a.Xini, a.Xfin, a.Yini, a.Yfin, a.Xstep, a.Ystep);
  labels->TextOut(m_width / 2 - 40, m_height - 17, caption(m_mode));
  return n;
}

void CKAVOLDView::DrawTimeSpectra(CDC* c, CDC* t, int n) {
  const Plot plot{m_painter, c, m_width, m_height, m_axes};
  const KavoldGlobals& g = globals();
  const int w = m_width, h = m_height;
  const bool log = Acorr.m_Lscale == 2;
  const bool experiment = m_LoadDlg.m_NFiles != 0;
  const float height = log ? static_cast<float>(std::log10(Acorr.Yfin)) : Acorr.Yfin;
  TimeCurves& tc = m_time;
  auto labelY = [&](int k) { return 55 + (h - 50) * k / n; };

  float* times = m_buffer2;
  if (experiment) {
    for (int k = 0; k < n; ++k) {
      const int ne = timeValues(tc.texp, tc.yexp, tc.nexp, k, log, static_cast<float>(n - k - 1) * height, times,
                                m_buffer1);
      plot.marks(ne, times, m_buffer1, kBlue, kSquares, PS_DOT);
      if (g.runTime == 0) {
        onWhite(t);
        name(t, w, w - 100, labelY(k), m_fileLabel[k]);
      }
    }
  }
  if (g.runTime >= 1) {
    plot.limit(m_ComputationDlg.m_XEXP1);
    plot.limit(m_ComputationDlg.m_XEXP2);
  }
  for (int k = 0; k < n; ++k) {
    const float r = static_cast<float>(n - k - 1) * height;
    const int ni = timeValues(tc.tini, tc.yini, tc.nini, k, log, r, times, m_buffer1);
    plot.curve(ni, times, m_buffer1, kTeal, PS_DASH);
    const int nc = timeValues(tc.tcur, tc.ycur, tc.ncur, k, log, r, times, m_buffer1);
    plot.marks(nc, times, m_buffer1, kRed, kThickLine, PS_SOLID);
    if (g.runTime != 0) {
      modelLabel(t, w, m_timeModel.initial);
      text(t, w - 100, labelY(k), Format(" %.2f mrad ", static_cast<double>(m_ModelDlg.m_Angle[k])), 11);
    }
  }
  if (experiment && g.runTime != 0) text(t, 50, 4, Format(" eps0= %6.4f", static_cast<double>(m_eps.eps0)), 13);
  if (g.runTime < 2) return;
  if (m_pressTime == 1) {
    text(t, w - 200, 19, " !!! press <Gr-time> !!! ");
    return;
  }
  if (experiment) text(t, 50, 19, Format(" epsn= %6.4f ", static_cast<double>(m_eps.epsn)), 13);
  newModelLabel(t, w, m_timeModel.current);
}

void CKAVOLDView::DrawDelayed(CDC* c, CDC* t) {
  const Plot plot{m_painter, c, m_width, m_height, m_axes};
  const ReflectivityPlot rp{plot, Acorr.m_Lscale == 2, 1e-5f, m_buffer1};
  const int w = m_width;
  const bool experiment = m_del.Intexp != 0;
  ReflectivityCurves& r = m_refl;
  // The delayed values hold 900 points, whatever the prompt count says.
  if (experiment) {
    rp.experiment(r.aexp, r.dexp, capped(r.nexp, kDelayedPoints), kBlack);
    rp.experiment(r.aexp, r.pexp, capped(r.nexp, kAnglePoints), kDarkRed);
    onWhite(t);
    name(t, w, w - 90, 55, m_reflExpName);
  }
  const int runs = globals().runDelayed;
  if (runs < 1) return;
  plot.limit(m_del.ACOMP1D);
  plot.limit(m_del.ACOMP2D);
  modelLabel(t, w, m_delayedModel.initial);
  if (runs >= 2) {
    if (m_pressDelayed == 1) {
      text(t, w - 200, 19, " !!! press <Gr-Del> !!! ");
    } else {
      if (experiment) text(t, 70, 19, Format(" epsni= %6.4f ", static_cast<double>(m_eps.epsni)), 14);
      newModelLabel(t, w, m_delayedModel.current);
    }
  }
  rp.initial(r.adini, r.dini, capped(r.ndini, kDelayedPoints), kBlue);
  rp.current(r.adcur, r.dcur, capped(r.ndcur, kDelayedPoints), kBlue);
  rp.initial(r.apini, r.pini, capped(r.npini, kAnglePoints), kRed);
  rp.current(r.apcur, r.pcur, capped(r.npcur, kAnglePoints), kRed);
  if (experiment) text(t, 70, 4, Format(" eps0i= %6.4f", static_cast<double>(m_eps.eps0i)), 14);
}

void CKAVOLDView::DrawPrompt(CDC* c, CDC* t) {
  const Plot plot{m_painter, c, m_width, m_height, m_axes};
  const ReflectivityPlot rp{plot, Acorr.m_Lscale == 2, 1e-6f, m_buffer1};
  const int w = m_width;
  const bool experiment = m_del.Intexp != 0;
  ReflectivityCurves& r = m_refl;
  if (experiment) {
    rp.experiment(r.aexp, r.pexp, capped(r.nexp, kAnglePoints), kDarkRed);
    onWhite(t);
    name(t, w, w - 90, 55, m_reflExpName);
  }
  const int runs = globals().runPrompt;
  if (runs < 1) return;
  plot.limit(m_del.ACOMP1);
  plot.limit(m_del.ACOMP2);
  modelLabel(t, w, m_promptModel.initial);
  rp.initial(r.apini, r.pini, capped(r.npini, kAnglePoints), kRed);
  rp.current(r.apcur, r.pcur, capped(r.npcur, kAnglePoints), kRed);
  if (experiment) text(t, 70, 4, Format(" eps0p= %6.4f", static_cast<double>(m_eps.eps0p)), 14);
  if (runs < 2) return;
  if (m_pressPrompt == 1) {
    text(t, w - 200, 19, " !!! press <Gr-Prt> !!! ");
    return;
  }
  newModelLabel(t, w, m_promptModel.current);
  if (experiment) text(t, 70, 19, Format(" epsnp= %6.4f ", static_cast<double>(m_eps.epsnp)), 14);
}

void CKAVOLDView::DrawCems(CDC* c, CDC* t) {
  const Plot plot{m_painter, c, m_width, m_height, m_axes};
  const int w = m_width;
  CemsCurves& cc = m_cems;
  const int n = capped(cc.n, kCemsPoints);
  plot.curve(n, cc.vini, cc.totini, kDarkRed, PS_DASH);
  plot.marks(n, cc.v, cc.totcur, kRed, kThickLine, PS_SOLID);
  const int NM = std::clamp(m_GeneralDlg.m_NM, 0, 8);
  for (int m = 1; m <= NM; ++m) {
    const int blue = std::abs(255 - 70 * (m - 1));
    for (int i = 0; i < n; ++i) m_buffer1[i] = cc.partini[i][m] - 0.2f;
    plot.curve(n, cc.vini, m_buffer1, RGB(0, 155, blue), PS_DASH);
    for (int i = 0; i < n; ++i) m_buffer1[i] = cc.partcur[i][m] - 0.2f;
    plot.marks(n, cc.v, m_buffer1, RGB(185, 155, blue), kThickLine, PS_SOLID);
  }
  const int runs = globals().runCEMS;
  if (cc.yexp[1] != 0) {
    plot.marks(n, cc.v, cc.yexp, kBlue, kSquares, PS_DOT);
    plot.limit(m_cemsPar.E1lim, -0.1f, 1.1f);
    plot.limit(m_cemsPar.E2lim, -0.1f, 1.1f);
    onWhite(t);
    name(t, w, w - 90, 55, m_LoadDlg.m_CemsFile);
    text(t, 70, 4, Format(" EpsCEM= %6.4f", static_cast<double>(m_eps.EpsCEM)), 15);
    if (runs >= 2) text(t, 70, 19, Format(" EpsCEMn= %8.4f ", static_cast<double>(m_eps.EpsCEMn)), 18);
  }
  if (runs >= 2) newModelLabel(t, w, m_cemsModel.current);
  if (runs != 0) modelLabel(t, w, m_cemsModel.initial);
}

}  // namespace kavold
