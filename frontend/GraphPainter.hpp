// The plot painter: maps values in axis units onto a fixed plot box inside
// a client area of w x h pixels and draws the background, the box, ticks
// with their labels, and curves as lines, dots or squares.  It keeps no
// state; every call gets the device context, the client size and the range.
//
// Plot box: 45 pixels from the left, 20 from the top, 20 from the right and
// 40 from the bottom.  A value x lies at 45 + (x - Xini) (w - 65) / (Xfin -
// Xini), a value y at h - 40 - (y - Yini) (h - 60) / (Yfin - Yini); pixel
// positions are truncated toward zero.  Curves are clipped to the box; the
// ticks and their labels lie outside it, and so may a legend's lines, which
// are drawn unclipped.
//
// Guards: an axis whose step is not positive, not a number, too small to
// move a tick, or that would give more than kMaxTicks ticks gets no ticks;
// a range of zero width draws no ticks and no curve on it.  Points that are
// not numbers break a curve; positions far outside any window are clipped
// to kCoordLimit, so no position is ever converted to int unchecked.
#pragma once

#include <optional>
#include <vector>

#include "frontend/winlayer/gdi.hpp"

namespace kavold {

using winlayer::CDC;
using winlayer::COLORREF;

inline constexpr int kMaxTicks = 10000;
inline constexpr int kPlotRightMargin = 20;  // pixels between the box and the right edge
inline constexpr double kCoordLimit = 100000.0;

// The tick values of an axis from `ini` while below `fin` + `step`, stepped in
// single precision; empty under the guards above.
std::vector<float> AxisTicks(float ini, float fin, float step);

// Pixel of a computed position, truncated toward zero; nothing for a NaN,
// and positions beyond kCoordLimit are held at it.
std::optional<int> PixelOf(double position);

// Types of DrawMarks.
inline constexpr int kThickLine = 0;
inline constexpr int kDots = 1;
inline constexpr int kSquares = 2;

// Colours the plots share.
inline constexpr COLORREF kRed = winlayer::RGB(255, 0, 0);
inline constexpr COLORREF kBlue = winlayer::RGB(0, 0, 255);
inline constexpr COLORREF kWhite = winlayer::RGB(255, 255, 255);

class CGraphPainter : public winlayer::CObject {
 public:
  void DrawAxes(CDC* dc, int w, int h, float Xini, float Xfin, float Yini, float Yfin, float Xstep,
                float Ystep) const;
  // A polyline of width 1 through the n points (x[i], y[i]); kept inside the
  // box unless `clip` is false.
  void DrawCurve(CDC* dc, int w, int h, float Xini, float Xfin, float Yini, float Yfin, int n, const float* x,
                 const float* y, COLORREF colour, int style, bool clip = true) const;
  // type 0: a polyline of width 2; 1: dots; 2: squares joined by a line of
  // width 2; any other type draws nothing.
  void DrawMarks(CDC* dc, int w, int h, float Xini, float Xfin, float Yini, float Yfin, int n, const float* x,
                 const float* y, COLORREF colour, int type, int style) const;
};

// The painter bound to one plot: a device context, the client size and the
// axis ranges.
struct PlotArea {
  const CGraphPainter& painter;
  CDC* dc;
  int w, h;
  float Xini, Xfin, Yini, Yfin;

  void axes(float Xstep, float Ystep) const { painter.DrawAxes(dc, w, h, Xini, Xfin, Yini, Yfin, Xstep, Ystep); }
  void curve(int n, const float* x, const float* y, COLORREF colour, int style) const {
    painter.DrawCurve(dc, w, h, Xini, Xfin, Yini, Yfin, n, x, y, colour, style);
  }
  // A line of a legend: placed in axis units, yet not cut at the box when a
  // narrow range carries it beside the box.
  void legendLine(int n, const float* x, const float* y, COLORREF colour) const {
    painter.DrawCurve(dc, w, h, Xini, Xfin, Yini, Yfin, n, x, y, colour, winlayer::PS_SOLID, false);
  }
  void marks(int n, const float* x, const float* y, COLORREF colour, int type, int style) const {
    painter.DrawMarks(dc, w, h, Xini, Xfin, Yini, Yfin, n, x, y, colour, type, style);
  }
};

}  // namespace kavold
