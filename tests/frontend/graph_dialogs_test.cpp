// The four graph dialogs, opened by the view's commands and rendered off
// screen twice: what they write, where the current curves land, the
// messages of missing files (once, however often they repaint), "INMOD.RES"
// and the scales of the right click.
#include <algorithm>
#include <functional>
#include <map>

#include "frontend/Globals.hpp"
#include "frontend/resource.hpp"
#include "kavold_fixture.hpp"

namespace {

using namespace kavoldtest;

class GraphDialogs : public KavoldApp {
 protected:
  void SetUp() override {
    KavoldApp::SetUp();
    hooks::setDialogHook([this](hooks::DialogDriver& d) {
      if (d.templateId() == CModelScaleDlg::IDD || d.templateId() == CXAxisDlg::IDD) {
        for (const auto& [id, text] : scaleTyped) d.type(id, text.c_str());
        if (scaleAccepted) d.click(IDOK);
        return;  // Escape otherwise
      }
      shown.push_back(d.templateId());
      // Two paintings: the texts are those of the second.
      for (int i = 0; i < 2; ++i) {
        if (i == 1 && betweenPaintings) betweenPaintings();
        hooks::DrawLog log;
        hooks::setDrawLog(&log);
        d.dialog().Invalidate();
        EXPECT_TRUE(d.renderPng((dir.path() / "graph.png").string()));
        hooks::setDrawLog(nullptr);
        texts.clear();
        for (const auto& op : log.of(hooks::DrawOp::Kind::Text)) texts.push_back(op.text.str());
      }
      image = *hooks::loadPng((dir.path() / "graph.png").string());
      if (rightClick) hooks::clickWindow(d.dialog(), CPoint(100, 100), true);
      d.pressEscape();  // no button: Escape (or the close box) closes it
      EXPECT_TRUE(d.ended());
    });
  }
  bool wrote(const std::string& t) const { return std::find(texts.begin(), texts.end(), t) != texts.end(); }
  // The colour at (x, y) or a pixel above or below it.
  bool near(int x, int y, COLORREF c) const {
    return image.pixel(x, y - 1) == c || image.pixel(x, y) == c || image.pixel(x, y + 1) == c;
  }
  // Whether a text written at (x, y) stands on a light background: most of
  // its box is light, the strokes of its letters aside.
  bool readable(const std::string& t, int x, int y) const {
    const CSize size = hooks::ImageDC(1, 1).GetTextExtent(t.c_str(), static_cast<int>(t.size()));
    int light = 0;
    for (int py = y; py < y + size.cy; ++py)
      for (int px = x; px < x + size.cx; ++px) {
        const COLORREF c = image.pixel(px, py);
        light += GetRValue(c) + GetGValue(c) + GetBValue(c) > 600;
      }
    return 2 * light > size.cx * size.cy;
  }
  std::vector<UINT> shown;
  std::vector<std::string> texts;
  hooks::Image image;
  bool rightClick = false;
  bool scaleAccepted = true;
  std::map<int, std::string> scaleTyped;
  std::function<void()> betweenPaintings;
};

// Absorption: a client of 435 x 302, X from -10 to 10 over 370 pixels from
// 45, Y from 0 to 1 over 242 pixels up from 262.
TEST_F(GraphDialogs, EnergyGraphsDrawTheCurrentSpectraOverTheReferences) {
  KavoldGlobals& g = globals();
  g.Emodmax = 10;
  g.Emodstep = 5;
  // Without a run only the axes, and the absorption legend; no file is read.
  view->OnAbsorption();
  view->OnReflectivity();
  EXPECT_TRUE(messages().empty());
  EXPECT_FALSE(wrote(" 2.80 mrad"));
  // A range narrower than the legend's 4.0 to 5.5 mm/s puts its lines
  // beside the box, at Y 0.88 and 0.82 (rows 49 and 63): they stay, and its
  // texts stay inside the box.  The margin holds nothing else there.
  g.Emodmax = 4;
  view->OnAbsorption();
  std::map<COLORREF, int> margin;
  for (int y = 40; y < 70; ++y)
    for (int x = 415; x < 435; ++x) ++margin[image.pixel(x, y)];
  EXPECT_GT(margin[RGB(255, 0, 0)], 10);
  EXPECT_GT(margin[RGB(0, 0, 255)], 10);
  EXPECT_EQ(margin[RGB(200, 200, 255)] + margin[RGB(255, 0, 0)] + margin[RGB(0, 0, 255)], 30 * 20);
  g.Emodmax = 10;

  g.runTime = 1;
  g.absorption.n = 3;
  g.absorption.norm = 2;
  g.nTimeSpectraDrawn = 2;
  g.grazingAngle[0] = 2.8f;
  g.grazingAngle[1] = 3.4f;
  g.reflectivity.n = 2;
  dir.write("E_spcN.RES", "  -1.0 1.0 0.4\n   0.0 1.0 0.4\n   1.0 1.0 0.4\n   2.0 9.0 9.0\n");
  dir.write("BUFFEN1.RES", "  -1.0 0.5\n   1.0 0.5\n");
  view->OnAbsorption();
  EXPECT_EQ(shown.back(), CAbsorptionDlg::IDD);
  EXPECT_TRUE(wrote("s-polarization") && wrote("p-polarization"));
  EXPECT_EQ(view->m_AbsorptionDlg.m_n, 3);  // as many lines as the reference holds
  EXPECT_TRUE(near(45 + 185, 262 - 121, RGB(0, 0, 255)));  // s: 1.0 / 2 at E = 0
  EXPECT_TRUE(near(45 + 185, 262 - 48, RGB(255, 0, 0)));   // p: 0.4 / 2
  EXPECT_EQ(g.absorption.E[1], 0.0f);

  // The second spectrum's file is missing: one message, and its label all
  // the same.  The files are read at every painting: a fit running beside
  // the front end rewrites the first between the two, and its new 0.25
  // (raised by one, to 1.25) is drawn.
  betweenPaintings = [&] { dir.write("BUFFEN1.RES", "  -1.0 0.25\n   1.0 0.25\n"); };
  view->OnReflectivity();
  EXPECT_EQ(messages(), std::vector<CString>{"CAN NOT FIND FILE: BUFFEN2.RES"});
  EXPECT_TRUE(wrote(" 2.80 mrad") && wrote(" 3.40 mrad"));
  const int h = (271 * 13 + 4) / 8;
  EXPECT_TRUE(near(45 + (362 - 65) / 2, h - 40 - (h - 60) * 5 / 8, RGB(255, 0, 0)));

}

// HFI: a reference of three multiplets and a current profile of two give
// three bands; "INMOD.RES" holds the depth, the two densities and their sum.
TEST_F(GraphDialogs, ModelGraphsDrawTheBandsWriteInmodAndKeepTheirScales) {
  KavoldGlobals& g = globals();
  HfiProfile& ref = g.hfiProfile;
  ref.NM = 3;
  ref.n = 2;
  for (int i = 0; i < 2; ++i) {
    ref.depth[i] = 50.0f + 10 * i;
    for (int m = 1; m <= 4; ++m) ref.v[i][m] = 0.25f * m;
  }
  dir.write("MODELN.RES", " 0.0 10.0\n 1 2 3\n 40.0 0.5 0.25\n 50.0 1.0 0.5\n 60.0 0.0 0.75\n");
  view->OnHfiGraph();  // no run: nothing read
  EXPECT_FALSE(dir.exists("INMOD.RES"));
  EXPECT_FALSE(wrote(" Multiplets:"));
  // The dialog's own scale becomes the graphs' at the first painting.
  EXPECT_EQ((std::vector<float>{g.Xmodmin, g.Xmodmax, g.Xmodstep, g.Yhfi}), (std::vector<float>{40, 100, 10, 1}));

  g.runTime = 1;
  view->OnHfiGraph();
  EXPECT_TRUE(messages().empty());
  for (const char* s : {" Multiplets:", " No. 1  ", " No. 2  ", " No. 3  ", "Depth (nm)"}) EXPECT_TRUE(wrote(s)) << s;
  // The labels follow the blue sum, yet stand on white: a client of 306 x 426.
  const struct {
    const char* text;
    int x, y;
  } labels[] = {{" Multiplets:", 211, 20}, {" No. 1  ", 241, 40}, {" No. 3  ", 241, 284}, {"Depth (nm)", 133, 411}};
  for (const auto& l : labels) EXPECT_TRUE(readable(l.text, l.x, l.y)) << l.text;
  EXPECT_EQ(dir.read("INMOD.RES"),
            " 40.000000 0.500000 0.250000 0.750000 0.000000 \n"
            " 50.000000 1.000000 0.500000 1.500000 0.000000 \n"
            " 60.000000 0.000000 0.750000 0.750000 0.000000 \n");
  // Multiplet 2 in the middle band at depth 50: 1 + 0.5 of 3 over 366
  // pixels up from 386, X from 40 to 100 over 241 pixels.
  EXPECT_TRUE(near(45 + 241 * 10 / 60, 386 - 366 / 2, RGB(255, 0, 0)));

  // The right click's scale, accepted with OK, goes into the globals and
  // the axis file, though the graph itself is closed with Escape; one
  // given up with Escape changes neither.
  rightClick = true;
  scaleTyped = {{IDC_SCALE_INITIAL, "0"}, {IDC_SCALE_FINAL, "80"}, {IDC_SCALE_STEP, "20"}, {IDC_SCALE_YHFI, "2"}};
  view->OnHfiGraph();
  EXPECT_EQ((std::vector<float>{g.Xmodmin, g.Xmodmax, g.Xmodstep, g.Yhfi}), (std::vector<float>{0, 80, 20, 2}));
  EXPECT_NE(dir.read("AXISF.INP").find("\n 80.000000             Xmodmax"), std::string::npos);
  scaleAccepted = false;
  scaleTyped[IDC_SCALE_FINAL] = "70";
  view->OnHfiGraph();
  EXPECT_EQ((std::vector<float>{g.Xmodmin, g.Xmodmax, g.Xmodstep, g.Yhfi}), (std::vector<float>{0, 80, 20, 2}));
  EXPECT_NE(dir.read("AXISF.INP").find("\n 80.000000             Xmodmax"), std::string::npos);

  // The depth profile reads "EL_MOD.RES" whatever the counters; it is
  // missing: one message for two paintings.  After "Get previous
  // settings" the scales of the axis file stand.
  g.editFlag = 2;
  g.Xmodmax = 90;
  rightClick = false;
  view->OnElDensity();
  EXPECT_EQ(messages(), std::vector<CString>{"can not find file: EL_MOD.RES"});
  EXPECT_TRUE(wrote("Depth (nm)"));
  EXPECT_EQ(view->m_DepthProfileDlg.m_ModelScaleDlg.m_Final, 90.0f);
  EXPECT_EQ(shown, (std::vector<UINT>{CHfiGraphDlg::IDD, CHfiGraphDlg::IDD, CHfiGraphDlg::IDD, CHfiGraphDlg::IDD,
                                      CDepthProfileDlg::IDD}));
  EXPECT_EQ(image.width, (295 * 3 + 1) / 2);
  EXPECT_EQ(image.pixel(2, 2), RGB(200, 200, 255));
  EXPECT_TRUE(readable("Depth (nm)", 443 / 2 - 20, (140 * 13 + 4) / 8 - 15));
}

}  // namespace
