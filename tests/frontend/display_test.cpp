// The main view's four display modes, rendered off screen: the curves land
// where the axes put them in their colours, and the merits, model names and
// hints are the texts written.
#include <cmath>
#include <cstring>

#include "frontend/Globals.hpp"
#include "kavold_fixture.hpp"

namespace {

using namespace kavoldtest;

// A view of 665 x 460: the plot box is 600 x 400 from (45, 20), so with X
// from 0 to 600 a value x lies on pixel column 45 + x.
class Display : public KavoldApp {
 protected:
  void SetUp() override {
    KavoldApp::SetUp();
    hooks::resizeWindow(*view, 665, 460);
    view->Acorr.Xini = 0;
    view->Acorr.Xfin = 600;
    view->Acorr.Xstep = 100;
  }
  void axesY(float ini, float fin, float step, int scale) {
    view->Acorr.Yini = ini;
    view->Acorr.Yfin = fin;
    view->Acorr.Ystep = step;
    view->Acorr.m_Lscale = scale;
  }
  // Renders the view; the texts written go to `texts`.
  hooks::Image render() {
    hooks::DrawLog log;
    hooks::setDrawLog(&log);
    view->Invalidate();
    const std::string png = (dir.path() / "view.png").string();
    EXPECT_TRUE(hooks::renderPng(*view, png));
    hooks::setDrawLog(nullptr);
    texts.clear();
    for (const auto& op : log.of(hooks::DrawOp::Kind::Text)) texts.push_back(op.text.str());
    return *hooks::loadPng(png);
  }
  // The colour at (x, y) or a pixel above or below: positions are truncated
  // after single-precision arithmetic, and thick lines are two pixels wide.
  static bool near(const hooks::Image& im, int x, int y, COLORREF c) {
    return im.pixel(x, y - 1) == c || im.pixel(x, y) == c || im.pixel(x, y + 1) == c;
  }
  bool wrote(const std::string& t) const { return std::find(texts.begin(), texts.end(), t) != texts.end(); }
  // Pixels of a colour along a row between two columns.
  static int countInRow(const hooks::Image& im, int y, int x0, int x1, COLORREF c) {
    int n = 0;
    for (int x = x0; x <= x1; ++x) n += im.pixel(x, y) == c;
    return n;
  }
  // Whether a dotted black line runs down column x of the plot box.
  static bool dottedDown(const hooks::Image& im, int x) {
    int black = 0;
    for (int y = 20; y <= 420; ++y) black += im.pixel(x, y) == RGB(0, 0, 0);
    return black > 100 && black < 400;
  }
  std::vector<std::string> texts;
};

// Two spectra stacked, each 100 high: spectrum 1 is raised by one height.
TEST_F(Display, TimeSpectraAreStackedWithTheirMeritsAndModelNames) {
  axesY(0, 100, 50, 1);  // the Y range is 0 to 250
  view->m_ModelDlg.m_NSPC = 2;
  view->m_ModelDlg.m_Angle[1] = 3.25f;
  TimeCurves& t = view->m_time;
  for (int k = 0; k < 2; ++k) t.ncur[k] = t.nini[k] = 21;
  for (int i = 0; i < 21; ++i) {
    for (int k = 0; k < 2; ++k) t.tcur[i][k] = t.tini[i][k] = 100 + 10.0f * static_cast<float>(i);
    t.ycur[i][0] = 20;
    t.ycur[i][1] = i == 3 ? -5.0f : 50;  // clamped to 0 where drawn
    t.yini[i][0] = 60;
  }
  KavoldGlobals& g = globals();
  g.runTime = 2;
  view->m_timeModel = {"start.inf", "Layspc.res"};
  const hooks::Image im = render();
  // 420 - 1.6 y: spectrum 1 at 100 + 20, spectrum 2 at 50, the initial
  // spectrum 1 at 100 + 60, dashed.
  EXPECT_TRUE(near(im, 245, 228, RGB(255, 0, 0)));
  EXPECT_TRUE(near(im, 245, 340, RGB(255, 0, 0)));
  EXPECT_GT(countInRow(im, 164, 145, 345, RGB(0, 155, 155)), 50);
  EXPECT_EQ(t.ycur[3][1], 0.0f);
  // Comparison limits at 18 and 140 ns, dotted black over the whole range.
  for (int x : {45 + 18, 45 + 140}) EXPECT_TRUE(dottedDown(im, x)) << x;
  EXPECT_EQ(g.nTimeSpectraDrawn, 2);
  for (const char* s : {" Delay time (ns)", "MODEL file:             ", "start.inf", " 3.25 mrad ",
                        "new MODEL file:             ", "Layspc.res", "! save it with <New_M> hot-key"})
    EXPECT_TRUE(wrote(s)) << s;
  EXPECT_FALSE(wrote(" eps0= 0.0000"));  // no experiment: no merits

  // After a start without wait the hint stands in for the new model.
  view->m_pressTime = 1;
  render();
  EXPECT_TRUE(wrote(" !!! press <Gr-time> !!! "));
  EXPECT_FALSE(wrote("new MODEL file:             "));
}

// Experiment files over different times: each spectrum is drawn at its own
// times, as many points as its file holds.  Counts of 50 lie at 150 for the
// first spectrum (raised by 100) and at 50 for the second.
TEST_F(Display, EachTimeSpectrumKeepsItsOwnTimes) {
  axesY(0, 100, 50, 1);
  view->m_ModelDlg.m_NSPC = 2;
  view->m_LoadDlg.m_NFiles = 2;
  dir.write("early.dat", "100 50\n150 50\n200 50\n250 50\n");
  dir.write("late.dat", "400 50\n500 50\n");
  const CString names[4] = {"early.dat", "late.dat", "", ""};
  ASSERT_EQ(view->ReadTimeExperiments(names, 2, CKAVOLDView::ExperimentRead::Load, view->m_time), 2);
  const hooks::Image im = render();
  for (int t : {100, 250}) EXPECT_TRUE(near(im, 45 + t, 180, RGB(0, 0, 255))) << t;
  for (int t : {400, 500}) {
    EXPECT_TRUE(near(im, 45 + t, 340, RGB(0, 0, 255))) << t;
    EXPECT_FALSE(near(im, 45 + t, 180, RGB(0, 0, 255))) << t;
  }
}

// One spectrum with its experiment on the logarithmic scale: counts of 1000
// lie at 3 on a range from -1 (Yini 0 becomes 0.1) to 6 (1.5 x log 10000).
TEST_F(Display, ExperimentOnTheLogarithmicScaleWithMerits) {
  axesY(0, 10000, 10, 2);
  view->m_ModelDlg.m_NSPC = 2;
  view->m_LoadDlg.m_NFiles = 1;
  view->m_fileLabel[0] = "a.dat";
  TimeCurves& t = view->m_time;
  t.nexp[0] = 11;
  for (int i = 0; i < 11; ++i) {
    t.texp[i][0] = 100 + 20.0f * static_cast<float>(i);
    t.yexp[i][0] = i == 5 ? 0.0f : 1000;
  }
  view->m_eps.eps0 = 0.123456f;
  view->m_eps.epsn = 0.05f;
  hooks::Image im = render();
  EXPECT_TRUE(near(im, 45 + 120, 191, RGB(0, 0, 255)));  // 420 - 4 x 400 / 7
  EXPECT_EQ(t.yexp[5][0], 0.5f);                      // a count of 0 is drawn as 0.5
  EXPECT_TRUE(wrote("a.dat"));                        // the file name until the first run
  EXPECT_FALSE(wrote(" eps0= 0.1235"));
  globals().runTime = 2;
  render();
  EXPECT_TRUE(wrote(" eps0= 0.1235"));
  EXPECT_TRUE(wrote(" epsn= 0.0500"));  // 13 characters: the blank after it is cut
  EXPECT_FALSE(wrote("a.dat"));
}

// Mode 2: 3500 prompt rows over the 900 delayed values.  Mode 3: the
// prompt curves alone with their comparison limits, merits and model names,
// and the hint after a start without wait.  On the logarithmic scale 0 or
// less is stored as 1e-5 in mode 2, as 1e-6 in mode 3.
TEST_F(Display, DelayedAndPromptCurvesKeepToTheirCapacities) {
  axesY(0, 1.1f, 0.5f, 1);  // 420 - y x 400 / 1.1
  view->m_mode = 2;
  view->m_del.Intexp = 1;
  view->m_reflExpName = "refl.dat";
  ReflectivityCurves& r = view->m_refl;
  r.nexp = r.npcur = r.npini = kAnglePoints;
  r.ndcur = r.ndini = kAnglePoints;  // more than the delayed arrays hold
  for (int i = 0; i < kAnglePoints; ++i) {
    r.aexp[i] = r.apcur[i] = r.apini[i] = r.adcur[i] = r.adini[i] = 100 + 200.0f * i / kAnglePoints;
    r.pexp[i] = 0.55f;
    r.pcur[i] = 0.275f;
    r.pini[i] = 0.825f;
  }
  for (int i = 0; i < kDelayedPoints; ++i) {
    r.dexp[i] = 1.1f;
    r.dcur[i] = r.dini[i] = i == 0 ? -1.0f : 0.11f;
  }
  globals().runDelayed = 2;
  view->m_eps.eps0i = 0.5f;
  view->m_eps.epsni = 0.25f;
  hooks::Image im = render();
  EXPECT_TRUE(near(im, 45 + 120, 220, RGB(155, 0, 0)));  // prompt experiment at 0.55
  EXPECT_TRUE(near(im, 45 + 150, 20, RGB(0, 0, 0)));     // delayed experiment at 1.1, up to angle 151
  EXPECT_EQ(im.pixel(45 + 200, 20), RGB(255, 255, 255));
  EXPECT_TRUE(near(im, 45 + 200, 320, RGB(255, 0, 0)));  // current prompt curve at 0.275
  EXPECT_TRUE(near(im, 45 + 110, 380, RGB(0, 0, 255)));  // current delayed curve at 0.11
  EXPECT_EQ(r.dcur[0], 0.0f);
  for (const char* s : {" Glancing angle (mrad)", "refl.dat", " eps0i= 0.5000", " epsni= 0.2500"})
    EXPECT_TRUE(wrote(s)) << s;

  axesY(0, 1.1f, 0.5f, 2);
  render();
  EXPECT_EQ(r.dcur[0], 1e-5f);

  axesY(0, 1.1f, 0.5f, 1);
  view->m_mode = 3;
  view->m_del.ACOMP1 = 60;
  view->m_del.ACOMP2 = 340;
  view->m_reflExpName = "ml_refl.dat";
  r.pcur[0] = -1;
  globals().runPrompt = 2;
  view->m_eps.eps0p = 0.5f;
  view->m_eps.epsnp = 0.25f;
  view->m_promptModel = {"MLstart.inf", "Layspc.res"};
  im = render();
  EXPECT_TRUE(near(im, 45 + 120, 220, RGB(155, 0, 0)));  // experiment at 0.55
  EXPECT_TRUE(near(im, 45 + 200, 320, RGB(255, 0, 0)));  // current curve at 0.275
  EXPECT_GT(countInRow(im, 120, 145, 345, RGB(255, 0, 0)), 50);  // initial curve at 0.825
  EXPECT_EQ(r.pcur[0], 0.0f);
  for (int x : {45 + 60, 45 + 340}) EXPECT_TRUE(dottedDown(im, x)) << x;
  for (const char* s : {" Glancing angle (mrad)", "ml_refl.dat", "MODEL file:             ", "MLstart.inf",
                        " eps0p= 0.5000", " epsnp= 0.2500", "new MODEL file:             ", "Layspc.res",
                        "! save it with <New_M> hot-key"})
    EXPECT_TRUE(wrote(s)) << s;
  view->m_pressPrompt = 1;
  render();
  EXPECT_TRUE(wrote(" !!! press <Gr-Prt> !!! "));
  EXPECT_FALSE(wrote(" epsnp= 0.2500"));
  EXPECT_FALSE(wrote("Layspc.res"));
  axesY(0, 1.1f, 0.5f, 2);
  render();
  EXPECT_EQ(r.pcur[0], 1e-6f);
}

// Mode 4: the total, the partial spectra 0.2 lower in their own colours, the
// experiment and the merits, drawn as they are.
TEST_F(Display, CemsSpectrumWithItsMultiplets) {
  view->Acorr.Xini = -300;
  view->Acorr.Xfin = 300;
  axesY(-0.2f, 1.8f, 0.5f, 1);  // 420 - (y + 0.2) x 200
  view->m_mode = 4;
  view->m_GeneralDlg.m_NM = 2;
  view->m_LoadDlg.m_CemsFile = "cems.dat";
  CemsCurves& c = view->m_cems;
  c.n = 11;
  for (int i = 0; i < 11; ++i) {
    c.v[i] = c.vini[i] = -200 + 40.0f * i;
    c.totcur[i] = 1.0f;
    c.totini[i] = 1.2f;
    c.partcur[i][1] = 0.7f;
    c.partcur[i][2] = 0.5f;
    c.yexp[i] = 1.5f;
  }
  globals().runCEMS = 2;
  view->m_eps.EpsCEM = 0.5f;
  view->m_eps.EpsCEMn = 0.25f;
  view->m_cemsModel = {"c.inf", "c2.inf"};
  const hooks::Image im = render();
  EXPECT_TRUE(near(im, 345, 180, RGB(255, 0, 0)));        // total at 1.0
  EXPECT_TRUE(near(im, 345, 280, RGB(185, 155, 255)));    // multiplet 1 at 0.5
  EXPECT_TRUE(near(im, 345, 320, RGB(185, 155, 185)));    // multiplet 2 at 0.3
  EXPECT_TRUE(near(im, 345 + 80, 80, RGB(0, 0, 255)));    // experiment at 1.5
  for (const char* s : {" Velocity (mm/s)", "cems.dat", " EpsCEM= 0.5000", " EpsCEMn=   0.2500", "c.inf", "c2.inf"})
    EXPECT_TRUE(wrote(s)) << s;
}

bool dark(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 300; }

// Whether the text, written alone on white, shows whole somewhere on row y
// of the image: every dark pixel of it is dark there too.
bool showsWhole(const hooks::Image& im, const char* text, int y) {
  hooks::ImageDC alone(400, 20);
  alone.TextOut(0, 0, text, static_cast<int>(std::strlen(text)));
  std::vector<std::pair<int, int>> strokes;
  for (int py = 0; py < 20; ++py)
    for (int px = 0; px < 400; ++px)
      if (dark(alone.pixel(px, py))) strokes.emplace_back(px, py);
  for (int x = 0; x < im.width; ++x) {
    bool all = !strokes.empty();
    for (const auto& [px, py] : strokes)
      all = all && x + px < im.width && y + py < im.height && dark(im.pixel(x + px, y + py));
    if (all) return true;
  }
  return false;
}

// File names near the right edge show whole, however long: the experiment
// files before the first run, the model names after it, the reflectivity
// experiment.
TEST_F(Display, FileNamesNearTheRightEdgeShowWhole) {
  axesY(0, 100, 50, 1);
  view->m_LoadDlg.m_NFiles = view->m_ModelDlg.m_NSPC = 2;
  view->m_fileLabel[0] = "fe57_2.8mrad.dat";
  view->m_fileLabel[1] = "fe57_3.4mrad.dat";
  hooks::Image im = render();
  EXPECT_TRUE(showsWhole(im, "fe57_2.8mrad.dat", 55));
  EXPECT_TRUE(showsWhole(im, "fe57_3.4mrad.dat", 55 + 410 / 2));
  globals().runTime = 2;
  view->m_timeModel = {"Fe57start_v2.inf", "fe57_fitted.inf"};
  im = render();
  EXPECT_TRUE(showsWhole(im, "Fe57start_v2.inf", 4));
  EXPECT_TRUE(showsWhole(im, "fe57_fitted.inf", 19));
  view->m_mode = 3;
  view->m_del.Intexp = 1;
  view->m_reflExpName = "fe_si_multilayer.dat";
  EXPECT_TRUE(showsWhole(render(), "fe_si_multilayer.dat", 55));
}

}  // namespace
