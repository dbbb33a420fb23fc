// Device contexts and command routing of the window layer.
#include <gtest/gtest.h>

#include "frontend/winlayer/hooks.hpp"

namespace {

using namespace winlayer;
using hooks::DrawOp;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class Gdi : public ::testing::Test {
 protected:
  void SetUp() override {
    hooks::ensureApplication();
    hooks::setDrawLog(&m_log);
  }
  void TearDown() override { hooks::setDrawLog(nullptr); }
  hooks::DrawLog m_log;
};

TEST_F(Gdi, FillSetsTheBackgroundColourThatDashGapsAndTextUse) {
  hooks::ImageDC dc(100, 40);
  dc.FillSolidRect(0, 0, 100, 40, kBlue);
  EXPECT_EQ(dc.GetBkColor(), kBlue);
  dc.FillSolidRect(99, 39, 1, 1, kWhite);
  EXPECT_EQ(dc.GetBkColor(), kWhite);

  CPen dashed(PS_DASH, 1, kRed);
  CPen* old = dc.SelectObject(&dashed);
  dc.MoveTo(0, 10);
  dc.LineTo(99, 10);
  // A curve of one-pixel segments keeps its dashes across the segments.
  dc.MoveTo(0, 30);
  for (int x = 1; x <= 99; ++x) dc.LineTo(x, 30);
  dc.SelectObject(old);
  for (int y : {10, 30}) {
    int red = 0, white = 0, other = 0;
    for (int x = 0; x < 99; ++x) {
      const COLORREF c = dc.pixel(x, y);
      (c == kRed ? red : c == kWhite ? white : other)++;
    }
    EXPECT_GT(red, 50) << y;    // dashes of 18 on, 6 off
    EXPECT_GT(white, 10) << y;  // gaps in the background colour, not the blue below
    EXPECT_EQ(other, 0) << y;
  }
  EXPECT_EQ(dc.pixel(50, 20), kBlue);
}

TEST_F(Gdi, WidePensAreSolidAndZeroLengthLinesDrawNothing) {
  hooks::ImageDC dc(60, 60);
  CPen dotted(PS_DOT, 2, kRed);
  EXPECT_EQ(dotted.m_style, PS_SOLID);
  dc.SelectObject(&dotted);
  dc.MoveTo(30, 30);
  dc.LineTo(30, 30);
  EXPECT_EQ(dc.pixel(30, 30), kWhite);
  dc.LineTo(50, 30);
  for (int x = 32; x < 49; ++x) EXPECT_EQ(dc.pixel(x, 30), kRed) << x;

  CPen never;  // not created: selecting it keeps the current pen
  EXPECT_EQ(dc.SelectObject(&never), &dotted);
  EXPECT_EQ(dc.SelectObject(&never), &dotted);
  ASSERT_EQ(m_log.of(DrawOp::Kind::Line).size(), 2u);
  EXPECT_EQ(m_log.ops[1].penWidth, 2);
  EXPECT_EQ(m_log.ops[1].colour, kRed);
}

TEST_F(Gdi, TextIsRecordedWithItsPositionColoursAndCount) {
  hooks::ImageDC dc(200, 40);
  dc.SetTextColor(kRed);
  dc.FillSolidRect(0, 0, 1, 1, kBlue);
  dc.TextOut(10, 5, " eps0= 0.1234 and more", 13);
  dc.TextOut(10, 20, "short", 40);  // a count beyond the text stops at its end
  const auto texts = m_log.of(DrawOp::Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, " eps0= 0.1234");
  EXPECT_EQ(texts[0].x0, 10);
  EXPECT_EQ(texts[0].y0, 5);
  EXPECT_EQ(texts[0].colour, kRed);
  EXPECT_EQ(texts[0].background, kBlue);
  EXPECT_EQ(texts[1].text, "short");
  EXPECT_EQ(dc.pixel(11, 6), kBlue);  // opaque text cell
}

TEST(Routing, FirstEntryWinsAndUpdatesEnableCommandsWithHandlers) {
  struct Target : CCmdTarget {
    int a = 0, b = 0;
    void A() { ++a; }
    void B() { ++b; }
    bool OnCmdMsg(UINT id, CCmdUI* ui) override {
      static const CommandEntry<Target> commands[] = {{5, &Target::A}, {5, &Target::B}, {6, &Target::B}};
      return RouteThroughMap(*this, MessageMap<Target>{commands}, id, ui);
    }
  } t;
  std::vector<UINT> traced;
  hooks::setCommandTrace([&](UINT id, const std::any& h) {
    traced.push_back(id);
    EXPECT_TRUE(std::any_cast<void (Target::*)()>(h) == &Target::A || std::any_cast<void (Target::*)()>(h) == &Target::B);
  });
  EXPECT_TRUE(t.OnCmdMsg(5, nullptr));
  EXPECT_EQ(t.a, 1);
  EXPECT_EQ(t.b, 0);
  EXPECT_FALSE(t.OnCmdMsg(7, nullptr));
  CCmdUI ui;
  ui.m_bEnabled = false;
  EXPECT_TRUE(t.OnCmdMsg(6, &ui));  // no update handler: enabled, not run
  EXPECT_TRUE(ui.m_bEnabled);
  EXPECT_EQ(t.b, 0);
  hooks::setCommandTrace(nullptr);
  EXPECT_EQ(traced, std::vector<UINT>{5});
}

}  // namespace
