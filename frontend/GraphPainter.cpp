#include "frontend/GraphPainter.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kavold {

using winlayer::CFont;
using winlayer::CPen;
using winlayer::CString;
using winlayer::RGB;

namespace {

constexpr int kLeft = 45;
constexpr int kTop = 20;
constexpr int kRight = kPlotRightMargin;
constexpr int kBottom = 40;
constexpr int kBoxWidthLoss = 65;   // left + right margins
constexpr int kBoxHeightLoss = 60;  // top + bottom margins
constexpr COLORREF kBackground = RGB(200, 200, 255);

// Clips the segment a-b to the square |x|, |y| <= kCoordLimit (Liang and
// Barsky).  An end moved onto an edge of the square lies on it exactly.
// False when nothing of the segment lies inside.
bool clipSegment(double& ax, double& ay, double& bx, double& by) {
  double t0 = 0, t1 = 1;
  int edge0 = -1, edge1 = -1;
  const double dx = bx - ax, dy = by - ay;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {ax + kCoordLimit, kCoordLimit - ax, ay + kCoordLimit, kCoordLimit - ay};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0 && t > t0) {
      t0 = t;
      edge0 = i;
    } else if (p[i] > 0 && t < t1) {
      t1 = t;
      edge1 = i;
    }
  }
  if (t0 > t1) return false;
  auto onEdge = [](int edge, double& x, double& y) {
    if (edge < 0) return;
    double& v = edge < 2 ? x : y;
    v = edge % 2 == 0 ? -kCoordLimit : kCoordLimit;
  };
  double x0 = ax + t0 * dx, y0 = ay + t0 * dy;
  bx = ax + t1 * dx;
  by = ay + t1 * dy;
  onEdge(edge0, x0, y0);
  onEdge(edge1, bx, by);
  ax = x0;
  ay = y0;
  return true;
}

bool inside(double x, double y) { return std::fabs(x) <= kCoordLimit && std::fabs(y) <= kCoordLimit; }

// MoveTo/LineTo on positions in double precision: a position that is not a
// finite number breaks the line, and far positions are clipped before they
// become pixels.
class SafePen {
 public:
  explicit SafePen(CDC* dc) : m_dc(dc) {}

  void moveTo(double x, double y) {
    m_has = std::isfinite(x) && std::isfinite(y);
    m_x = x;
    m_y = y;
    m_atPrev = m_has && inside(x, y);
    if (m_atPrev) m_dc->MoveTo(*PixelOf(x), *PixelOf(y));
  }

  void lineTo(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
      m_has = false;
      return;
    }
    if (!m_has) {
      moveTo(x, y);
      return;
    }
    double ax = m_x, ay = m_y, bx = x, by = y;
    const bool startInside = inside(ax, ay);
    const bool endInside = inside(bx, by);
    m_x = x;
    m_y = y;
    if (!clipSegment(ax, ay, bx, by)) {
      m_atPrev = false;
      return;
    }
    if (!m_atPrev || !startInside) m_dc->MoveTo(*PixelOf(ax), *PixelOf(ay));
    m_dc->LineTo(*PixelOf(bx), *PixelOf(by));
    m_atPrev = endInside;
  }

 private:
  CDC* m_dc;
  bool m_has = false;
  bool m_atPrev = false;
  double m_x = 0, m_y = 0;
};

bool usable(double scale) { return std::isfinite(scale) && scale != 0; }

// Curves are kept inside the plot box: drawn over the margins they would
// hide the tick labels.
class BoxClip {
 public:
  BoxClip(CDC* dc, int w, int h, bool clip = true) : m_dc(dc) {
    if (clip) dc->IntersectClipRect(kLeft, kTop, w - kRight, h - kBottom);
  }
  ~BoxClip() { m_dc->SelectClipRgn(nullptr); }
  BoxClip(const BoxClip&) = delete;
  BoxClip& operator=(const BoxClip&) = delete;

 private:
  CDC* m_dc;
};

// A Y label ends where 8 pixels per character from its place would end it,
// 2 pixels before the tick.  One that would begin left of the window
// (four digits and more) is set against that end instead, its characters
// pressed together as far as they must to fit.
void yLabel(CDC* dc, int top, const CString& label) {
  constexpr int kEnd = 37;
  const int x = kEnd - 8 * label.GetLength();
  if (x >= 0) {
    dc->TextOut(x, top, label);
    return;
  }
  CFont narrow;
  if (const int width = dc->GetTextExtent(label, label.GetLength()).cx; width > kEnd)
    narrow.CreateFont(0, std::max(1, 100 * kEnd / width));
  CFont* old = dc->SelectObject(&narrow);
  dc->TextOut(std::max(0, kEnd - dc->GetTextExtent(label, label.GetLength()).cx), top, label);
  dc->SelectObject(old);
}

void fillAt(CDC* dc, float x, float y, int size, COLORREF colour) {
  const auto px = PixelOf(x), py = PixelOf(y);
  if (px && py && std::fabs(x) < kCoordLimit && std::fabs(y) < kCoordLimit) dc->FillSolidRect(*px, *py, size, size, colour);
}

}  // namespace

std::vector<float> AxisTicks(float ini, float fin, float step) {
  std::vector<float> ticks;
  if (!std::isfinite(ini) || !std::isfinite(fin) || !std::isfinite(step) || !(step > 0)) return ticks;
  const float limit = fin + step;
  if (!std::isfinite(limit) || ini + step == ini) return ticks;
  if ((static_cast<double>(limit) - ini) / step > kMaxTicks) return ticks;
  for (float x = ini; x < limit; x += step) {
    ticks.push_back(x);
    if (x + step == x) break;
  }
  return ticks;
}

std::optional<int> PixelOf(double position) {
  if (std::isnan(position)) return std::nullopt;
  return static_cast<int>(std::trunc(std::clamp(position, -kCoordLimit, kCoordLimit)));
}

void CGraphPainter::DrawAxes(CDC* dc, int w, int h, float Xini, float Xfin, float Yini, float Yfin, float Xstep,
                             float Ystep) const {
  dc->FillSolidRect(0, 0, w, h, kBackground);
  dc->FillSolidRect(kLeft, kTop, w - kBoxWidthLoss, h - kBoxHeightLoss, kWhite);
  // Tick labels lie outside the box: they are written on the background.
  dc->SetBkColor(kBackground);

  // A range of zero width (or not a number) has no place for ticks.  A box
  // of zero size puts every tick on the box edge.
  if (usable(static_cast<double>(Xfin) - Xini)) {
    const double unitsPerPixelX = (static_cast<double>(Xfin) - Xini) / (w - kBoxWidthLoss);
    for (float x : AxisTicks(Xini, Xfin, Xstep)) {
      const auto offset = PixelOf((static_cast<double>(x) - Xini) / unitsPerPixelX);
      if (!offset || std::abs(*offset) >= kCoordLimit) continue;
      const int px = kLeft + *offset;
      dc->MoveTo(px, h - 34);
      dc->LineTo(px, h - 40);
      CString label;
      label.Format("%.1f", static_cast<double>(x));
      dc->TextOut(px - static_cast<int>(std::trunc(7 * label.GetLength() * 0.5)), h - 32, label);
    }
  }
  if (usable(static_cast<double>(Yfin) - Yini)) {
    const double unitsPerPixelY = (static_cast<double>(Yfin) - Yini) / (h - kBoxHeightLoss);
    for (float y : AxisTicks(Yini, Yfin, Ystep)) {
      const auto offset = PixelOf((static_cast<double>(y) - Yini) / unitsPerPixelY);
      if (!offset || std::abs(*offset) >= kCoordLimit) continue;
      const int py = h - *offset;
      dc->MoveTo(39, py - 40);
      dc->LineTo(45, py - 40);
      CString label;
      label.Format("%.1f", static_cast<double>(y));
      yLabel(dc, py - 48, label);
    }
  }
}

void CGraphPainter::DrawCurve(CDC* dc, int w, int h, float Xini, float Xfin, float Yini, float Yfin, int n,
                              const float* x, const float* y, COLORREF colour, int style, bool clip) const {
  dc->SetBkColor(kWhite);  // white gaps in dashed and dotted lines
  const double unitsPerPixelX = (static_cast<double>(Xfin) - Xini) / (w - kBoxWidthLoss);
  const double unitsPerPixelY = (static_cast<double>(Yfin) - Yini) / (h - kBoxHeightLoss);
  if (n <= 0 || !usable(static_cast<double>(Xfin) - Xini) || !usable(static_cast<double>(Yfin) - Yini) ||
      std::isnan(unitsPerPixelX) || std::isnan(unitsPerPixelY))
    return;
  auto px = [&](int i) { return kLeft + (static_cast<double>(x[i]) - Xini) / unitsPerPixelX; };
  auto py = [&](int i) { return h - kBottom - (static_cast<double>(y[i]) - Yini) / unitsPerPixelY; };

  const BoxClip box(dc, w, h, clip);
  SafePen pen(dc);
  pen.moveTo(px(0), py(0));
  CPen linePen;
  linePen.CreatePen(style, 1, colour);
  CPen* old = dc->SelectObject(&linePen);
  for (int i = 0; i < n; ++i) pen.lineTo(px(i), py(i));
  dc->SelectObject(old);
  linePen.DeleteObject();
}

void CGraphPainter::DrawMarks(CDC* dc, int w, int h, float Xini, float Xfin, float Yini, float Yfin, int n,
                              const float* x, const float* y, COLORREF colour, int type, int style) const {
  dc->SetBkColor(colour);
  const double pixelsPerUnitX = (w - kBoxWidthLoss) / (static_cast<double>(Xfin) - Xini);
  const double pixelsPerUnitY = (h - kBoxHeightLoss) / (static_cast<double>(Yfin) - Yini);
  const bool drawable = n > 0 && std::isfinite(pixelsPerUnitX) && std::isfinite(pixelsPerUnitY);
  // Positions of the first point and of dots and squares are kept in single
  // precision before they become pixels.
  auto fx = [&](int i) { return static_cast<float>(kLeft + (static_cast<double>(x[i]) - Xini) * pixelsPerUnitX); };
  auto fy = [&](int i) {
    return static_cast<float>(h - kBottom - (static_cast<double>(y[i]) - Yini) * pixelsPerUnitY);
  };
  auto dx = [&](int i) { return kLeft + (static_cast<double>(x[i]) - Xini) * pixelsPerUnitX; };
  auto dy = [&](int i) { return h - kBottom - (static_cast<double>(y[i]) - Yini) * pixelsPerUnitY; };

  const BoxClip clip(dc, w, h);
  // Dots leave the background white, with or without points.
  if (type == 1) {
    for (int i = 0; drawable && i < n; ++i) fillAt(dc, fx(i) - 1, fy(i) - 1, 2, colour);
    dc->SetBkColor(kWhite);
    return;
  }
  if (!drawable || (type != 0 && type != 2)) return;

  SafePen pen(dc);
  pen.moveTo(fx(0), fy(0));
  CPen markPen;
  markPen.CreatePen(style, 2, colour);
  CPen* old = dc->SelectObject(&markPen);
  for (int i = 0; i < n; ++i) {
    if (type == 0) {
      pen.lineTo(dx(i), dy(i));
    } else {
      const float sx = fx(i), sy = fy(i);
      fillAt(dc, sx - 3, sy - 3, 6, colour);
      pen.lineTo(sx, sy);
    }
  }
  dc->SelectObject(old);
  markPen.DeleteObject();
}

}  // namespace kavold
