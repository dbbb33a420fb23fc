// The plot painter: box geometry and colours, ticks and labels, mapping with
// truncation toward zero, the three mark types, and the guards against
// steps and coordinates that cannot be drawn.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

#include "frontend/GraphPainter.hpp"
#include "frontend/winlayer/hooks.hpp"

namespace {

using namespace winlayer;
using kavold::AxisTicks;
using kavold::CGraphPainter;
using kavold::PixelOf;
using hooks::DrawOp;

constexpr COLORREF kBack = RGB(200, 200, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

class Painter : public ::testing::Test {
 protected:
  void SetUp() override {
    hooks::ensureApplication();
    hooks::setDrawLog(&log);
  }
  void TearDown() override { hooks::setDrawLog(nullptr); }
  std::vector<DrawOp> lines() const { return log.of(DrawOp::Kind::Line); }
  std::vector<DrawOp> texts() const { return log.of(DrawOp::Kind::Text); }
  CGraphPainter painter;
  hooks::DrawLog log;
};

TEST(AxisTicksOf, StepsInSinglePrecisionUpToAStepBeyondTheEnd) {
  EXPECT_EQ(AxisTicks(0, 170, 40), (std::vector<float>{0, 40, 80, 120, 160, 200}));
  EXPECT_EQ(AxisTicks(-12, 12, 6), (std::vector<float>{-12, -6, 0, 6, 12}));
  const auto fine = AxisTicks(0, 1, 0.1f);
  EXPECT_EQ(fine.size(), 11u);  // 0.1 accumulated in float stays below 1.1
}

TEST(AxisTicksOf, StepsThatWouldNeverEndGiveNoTicks) {
  EXPECT_TRUE(AxisTicks(0, 10, 0).empty());
  EXPECT_TRUE(AxisTicks(0, 10, -2).empty());
  EXPECT_TRUE(AxisTicks(0, 10, kNaN).empty());
  EXPECT_TRUE(AxisTicks(1000, 2000, 1e-5f).empty());  // does not move 1000 in float
  EXPECT_TRUE(AxisTicks(0, 1e9f, 1).empty());          // more ticks than can be read
  EXPECT_TRUE(AxisTicks(kNaN, 10, 1).empty());
  EXPECT_TRUE(AxisTicks(0, std::numeric_limits<float>::infinity(), 1).empty());
  EXPECT_EQ(AxisTicks(5, 5, 1), (std::vector<float>{5}));  // an empty range still has its start
}

TEST(PixelOfPosition, TruncatesTowardZeroAndHoldsFarPositions) {
  EXPECT_EQ(PixelOf(10.7), 10);
  EXPECT_EQ(PixelOf(-0.7), 0);
  EXPECT_EQ(PixelOf(-10.7), -10);
  EXPECT_EQ(PixelOf(1e30), 100000);
  EXPECT_EQ(PixelOf(-std::numeric_limits<double>::infinity()), -100000);
  EXPECT_FALSE(PixelOf(std::nan("")));
}

TEST_F(Painter, BackgroundBoxAndTickLabels) {
  const int w = 665, h = 460;  // box 600 x 400 from (45, 20)
  hooks::ImageDC dc(w, h);
  painter.DrawAxes(&dc, w, h, 0, 170, 0, 400, 40, 100);
  const std::string png = ::testing::TempDir() + "kavold_axes.png";
  ASSERT_TRUE(dc.savePng(png));

  EXPECT_EQ(dc.pixel(0, 0), kBack);
  EXPECT_EQ(dc.pixel(44, 200), kBack);
  EXPECT_EQ(dc.pixel(45, 200), kWhite);
  EXPECT_EQ(dc.pixel(644, 200), kWhite);
  EXPECT_EQ(dc.pixel(645, 200), kBack);
  EXPECT_EQ(dc.pixel(300, 19), kBack);
  EXPECT_EQ(dc.pixel(300, 20), kWhite);
  EXPECT_EQ(dc.pixel(300, 419), kWhite);
  EXPECT_EQ(dc.pixel(300, 420), kBack);

  // X ticks at 0, 40, ... 200: 45 + truncation of x / (170 / 600).
  const int xPixel[] = {45, 186, 327, 468, 609, 750};
  const char* xLabel[] = {"0.0", "40.0", "80.0", "120.0", "160.0", "200.0"};
  // Y ticks at 0 .. 400 (the next, 500, is not below 400 + 100): lines at
  // h - 40 - y, labels 8 pixels higher.
  const int yPixel[] = {420, 320, 220, 120, 20};
  const char* yLabel[] = {"0.0", "100.0", "200.0", "300.0", "400.0"};
  const auto ls = lines();
  const auto ts = texts();
  ASSERT_EQ(ls.size(), 11u);
  ASSERT_EQ(ts.size(), 11u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(ls[i].x0, xPixel[i]);
    EXPECT_EQ(ls[i].x1, xPixel[i]);
    EXPECT_EQ(ls[i].y0, h - 34);
    EXPECT_EQ(ls[i].y1, h - 40);
    EXPECT_EQ(ts[i].text, xLabel[i]);
    EXPECT_EQ(ts[i].x0, xPixel[i] - static_cast<int>(7 * std::strlen(xLabel[i]) / 2));
    EXPECT_EQ(ts[i].y0, h - 32);
    EXPECT_EQ(ts[i].background, kBack);  // written on the background colour
  }
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(ls[6 + i].y0, yPixel[i]);
    EXPECT_EQ(ls[6 + i].x0, 39);
    EXPECT_EQ(ls[6 + i].x1, 45);
    EXPECT_EQ(ts[6 + i].text, yLabel[i]);
    EXPECT_EQ(ts[6 + i].y0, yPixel[i] - 8);
    // 8 pixels per character from 37; a label that would begin left of
    // the window ends at 37 instead.
    const int n = static_cast<int>(std::strlen(yLabel[i]));
    EXPECT_EQ(ts[6 + i].x0, 8 * n <= 37 ? 37 - 8 * n : 37 - dc.GetTextExtent(yLabel[i], n).cx);
  }
  EXPECT_EQ(dc.pixel(42, 220), RGB(0, 0, 0));  // a Y tick in the default pen
}

TEST_F(Painter, DegenerateAxesDrawTheBoxButNoTicks) {
  hooks::ImageDC dc(300, 200);
  const auto t0 = std::chrono::steady_clock::now();
  painter.DrawAxes(&dc, 300, 200, 0, 10, 0, 1, 0, -1);            // steps of 0 and below
  painter.DrawAxes(&dc, 300, 200, 0, 10, 0, 1, kNaN, 1e-12f);      // NaN, too small
  painter.DrawAxes(&dc, 300, 200, 3, 3, 1, 1, 1, 1);              // empty ranges
  painter.DrawAxes(&dc, 300, 200, kNaN, 10, 0, kNaN, 1, 1);       // ranges not numbers
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
  EXPECT_TRUE(lines().empty());
  EXPECT_TRUE(texts().empty());
  EXPECT_EQ(dc.pixel(100, 100), kWhite);
}

TEST_F(Painter, CurvesMapWithTruncationTowardZero) {
  // Box of 100 x 100 pixels: one pixel per unit on both axes.
  const int w = 165, h = 160;
  hooks::ImageDC dc(w, h);
  const float x[] = {10.7f, -45.7f};
  const float y[] = {10.3f, -10.6f};
  painter.DrawCurve(&dc, w, h, 0, 100, 0, 100, 2, x, y, kRed, PS_SOLID);
  const auto ls = lines();
  ASSERT_EQ(ls.size(), 2u);
  EXPECT_EQ(ls[0].x0, 55);  // the first point itself: 45 + 10.7
  EXPECT_EQ(ls[0].y0, 109);  // 120 - 10.3 = 109.7
  EXPECT_EQ(ls[1].x1, 0);    // 45 - 45.7 = -0.7 lands on 0, not -1
  EXPECT_EQ(ls[1].y1, 130);  // 120 + 10.6 = 130.6
  EXPECT_EQ(ls[1].penWidth, 1);
  EXPECT_EQ(ls[1].colour, kRed);
  int column = 0;  // the line crosses x = 50 near y = 110.9
  for (int py = 108; py <= 114; ++py) column += dc.pixel(50, py) == kRed;
  EXPECT_EQ(column, 1);
}

TEST_F(Painter, NoPointsDrawNothingAndReadNothing) {
  hooks::ImageDC dc(165, 160);
  painter.DrawCurve(&dc, 165, 160, 0, 100, 0, 100, 0, nullptr, nullptr, kRed, PS_SOLID);
  painter.DrawMarks(&dc, 165, 160, 0, 100, 0, 100, 0, nullptr, nullptr, kRed, 2, PS_SOLID);
  EXPECT_TRUE(lines().empty());
  EXPECT_EQ(dc.GetBkColor(), kRed);  // the marks set the curve colour as background
  painter.DrawMarks(&dc, 165, 160, 0, 100, 0, 100, 0, nullptr, nullptr, kRed, 1, PS_SOLID);
  EXPECT_EQ(dc.GetBkColor(), kWhite);  // dots end on white, even without points
}

TEST_F(Painter, MarkTypes) {
  const int w = 165, h = 160;
  const float x[] = {50};
  const float y[] = {50};  // pixel (95, 70)
  {
    hooks::ImageDC dc(w, h);
    painter.DrawMarks(&dc, w, h, 0, 100, 0, 100, 1, x, y, kRed, 0, PS_SOLID);
    EXPECT_EQ(dc.pixel(95, 70), kWhite);  // a line of zero length shows nothing
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_EQ(lines()[0].penWidth, 2);
  }
  {
    log.ops.clear();
    hooks::ImageDC dc(w, h);
    painter.DrawMarks(&dc, w, h, 0, 100, 0, 100, 1, x, y, kRed, 2, PS_DOT);
    for (int py = 67; py < 73; ++py)
      for (int px = 92; px < 98; ++px) EXPECT_EQ(dc.pixel(px, py), kRed) << px << "," << py;
    EXPECT_EQ(dc.pixel(91, 70), kWhite);
    EXPECT_EQ(dc.pixel(98, 70), kWhite);
  }
  {
    log.ops.clear();
    hooks::ImageDC dc(w, h);
    painter.DrawMarks(&dc, w, h, 0, 100, 0, 100, 1, x, y, kRed, 1, PS_SOLID);
    EXPECT_EQ(dc.pixel(94, 69), kRed);
    EXPECT_EQ(dc.pixel(95, 70), kRed);
    EXPECT_EQ(dc.pixel(96, 70), kWhite);
    EXPECT_EQ(dc.GetBkColor(), kWhite);
    EXPECT_TRUE(lines().empty());
  }
  {
    log.ops.clear();
    hooks::ImageDC dc(w, h);
    painter.DrawMarks(&dc, w, h, 0, 100, 0, 100, 1, x, y, kRed, 7, PS_SOLID);
    EXPECT_TRUE(log.ops.empty());
  }
}

TEST_F(Painter, DashedCurveGapsAreWhite) {
  const int w = 165, h = 160;
  hooks::ImageDC dc(w, h);
  dc.FillSolidRect(0, 0, w, h, kBack);
  const float x[] = {0, 100};  // across the box, here not white
  const float y[] = {50, 50};
  painter.DrawCurve(&dc, w, h, 0, 100, 0, 100, 2, x, y, kRed, PS_DASH);
  int red = 0, white = 0, back = 0;
  for (int px = 45; px < 145; ++px) {
    const COLORREF c = dc.pixel(px, 70);
    red += c == kRed;
    white += c == kWhite;
    back += c == kBack;
  }
  EXPECT_GT(red, 60);
  EXPECT_GT(white, 15);
  EXPECT_EQ(back, 0);
}

TEST_F(Painter, PointsThatAreNotNumbersBreakTheCurve) {
  const int w = 165, h = 160;
  hooks::ImageDC dc(w, h);
  const float x[] = {0, 10, kNaN, 20, 30};
  const float y[] = {0, 10, 5, 20, std::numeric_limits<float>::infinity()};
  painter.DrawCurve(&dc, w, h, 0, 100, 0, 100, 5, x, y, kRed, PS_SOLID);
  // Segments 0-10 only; 20 starts afresh and the infinite point is skipped.
  for (const auto& l : lines()) {
    EXPECT_FALSE(l.x0 == 55 && l.x1 == 65) << "line bridged the gap";
    EXPECT_LE(std::abs(l.y1), 100000);
  }
  EXPECT_EQ(dc.pixel(50, 115), kRed);
  EXPECT_EQ(dc.pixel(60, 105), kWhite);  // nothing between 10 and 20
}

TEST_F(Painter, FarPositionsAreClippedKeepingTheDirection) {
  const int w = 165, h = 160;
  hooks::ImageDC dc(w, h);
  const float x[] = {0, 1e20f};
  const float y[] = {0, 1e20f};
  painter.DrawCurve(&dc, w, h, 0, 100, 0, 100, 2, x, y, kRed, PS_SOLID);
  const auto ls = lines();
  ASSERT_EQ(ls.size(), 2u);
  EXPECT_EQ(ls[1].x0, 45);
  EXPECT_EQ(ls[1].y0, 120);
  EXPECT_EQ(ls[1].x1, 100000);
  EXPECT_NEAR(ls[1].y1, 120 - (100000 - 45), 1);  // still the diagonal
  EXPECT_EQ(dc.pixel(95, 70), kRed);

  log.ops.clear();
  const float fx[] = {50, 1e30f};
  const float fy[] = {50, 50};
  painter.DrawMarks(&dc, w, h, 0, 100, 0, 100, 2, fx, fy, kRed, 2, PS_SOLID);
  EXPECT_EQ(log.of(DrawOp::Kind::Fill).size(), 1u);  // one square
}

TEST_F(Painter, EmptyRangesDrawNoCurve) {
  hooks::ImageDC dc(165, 160);
  const float x[] = {1, 2};
  const float y[] = {1, 2};
  painter.DrawCurve(&dc, 165, 160, 5, 5, 0, 10, 2, x, y, kRed, PS_SOLID);
  painter.DrawMarks(&dc, 165, 160, 0, 10, 3, 3, 2, x, y, kRed, 2, PS_SOLID);
  painter.DrawMarks(&dc, 165, 160, kNaN, 10, 0, 10, 2, x, y, kRed, 0, PS_SOLID);
  EXPECT_TRUE(lines().empty());
  EXPECT_TRUE(log.of(DrawOp::Kind::Fill).empty());
}

bool dark(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 300; }

// Columns of the first and last dark pixel in a block of rows, or -1, -1.
std::pair<int, int> inkSpan(const hooks::ImageDC& dc, int x0, int x1, int y0, int y1) {
  int first = -1, last = -1;
  for (int x = x0; x < x1; ++x)
    for (int y = y0; y < y1; ++y)
      if (dark(dc.pixel(x, y))) {
        if (first < 0) first = x;
        last = x;
      }
  return {first, last};
}

// Curves that overshoot the range on every side stay inside the box, so
// the tick labels in the margins show; no pixel of a curve's colour stands
// apart at (61, 41); and Y labels of any length show whole left of their
// ticks, pressed together when they need more room than the margin has.
TEST_F(Painter, CurvesStayInTheBoxAndTickLabelsShowWhole) {
  const int w = 665, h = 460;  // box 600 x 400 from (45, 20)
  const COLORREF kBlue = RGB(0, 0, 255), kGreen = RGB(0, 155, 0);
  for (const float Yfin : {400.0f, 12000.0f, 1.2e6f}) {
    SCOPED_TRACE(Yfin);
    hooks::ImageDC dc(w, h);
    painter.DrawAxes(&dc, w, h, 0, 170, 0, Yfin, 40, Yfin / 4);
    const float x[] = {-50, 80, 250}, y[] = {-0.5f * Yfin, 0.5f * Yfin, 1.5f * Yfin};
    painter.DrawCurve(&dc, w, h, 0, 170, 0, Yfin, 3, x, y, kBlue, PS_DASH);
    painter.DrawMarks(&dc, w, h, 0, 170, 0, Yfin, 3, x, y, kRed, 0, PS_SOLID);
    painter.DrawMarks(&dc, w, h, 0, 170, 0, Yfin, 3, x, y, kGreen, 2, PS_DOT);
    int outside = 0;
    for (int py = 0; py < h; ++py)
      for (int px = 0; px < w; ++px) {
        const COLORREF c = dc.pixel(px, py);
        const bool inBox = px >= 45 && px < w - 20 && py >= 20 && py < h - 40;
        outside += !inBox && (c == kRed || c == kBlue || c == kGreen);
      }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(dc.pixel(61, 41), kWhite);

    for (int k = 0; k <= 4; ++k) {
      CString label;
      label.Format("%.1f", static_cast<double>(Yfin / 4 * static_cast<float>(k)));
      const int n = label.GetLength();
      // The label alone at its natural width, and what the margin holds of
      // it: all of it, at most 37 pixels wide.
      hooks::ImageDC alone(200, 20);
      alone.FillSolidRect(0, 0, 200, 20, kBack);
      alone.TextOut(0, 0, label, n);
      const auto [a0, a1] = inkSpan(alone, 0, 200, 0, 20);
      const int top = 420 - 100 * k - 8;
      const auto [m0, m1] = inkSpan(dc, 0, 39, top, top + 14);
      SCOPED_TRACE(label.str());
      ASSERT_GE(a0, 0);
      EXPECT_GE(m1 - m0 + 2, std::min(a1 - a0, (a1 - a0) * 37 / alone.GetTextExtent(label, n).cx));
      EXPECT_LE(m1, 37);
    }
  }
}

}  // namespace
