// The view's state: what construction and OnInitialUpdate set, the size and
// mouse handlers, the coordinate panes, and the axes of the drawing.
#include <cmath>
#include <filesystem>

#include "frontend/Globals.hpp"
#include "kavold_fixture.hpp"

namespace {

using namespace kavoldtest;
namespace fs = std::filesystem;
using hooks::DrawOp;

// The view's window handlers, callable without a window.
struct TestView : CKAVOLDView {
  using CKAVOLDView::DrawCurrentAxes;
  using CKAVOLDView::OnLButtonDown;
  using CKAVOLDView::OnRButtonDown;
  using CKAVOLDView::OnSize;
  CString pane(bool x) {
    CCmdUI ui;
    x ? OnUpdateXPane(&ui) : OnUpdateYPane(&ui);
    return ui.m_text;
  }
};

TEST(ViewState, ConstructionLeavesCurvesCountsAndAxesAtZero) {
  auto v = std::make_unique<TestView>();
  EXPECT_EQ(v->m_click, CPoint(0, 0));
  EXPECT_EQ(v->m_time.nexp[3] + v->m_time.nini[3] + v->m_time.ncur[3], 0);
  EXPECT_EQ(v->m_refl.nexp + v->m_cems.n, 0);
  EXPECT_EQ(v->m_time.yexp[2047][3], 0.0f);
  EXPECT_EQ(v->m_refl.pcur[3499], 0.0f);
  EXPECT_EQ(v->m_cems.partcur[1023][8], 0.0f);
  EXPECT_EQ(v->m_model(75, 50), 0.0f);
  EXPECT_EQ(v->m_mode, 0);
  EXPECT_EQ(v->m_S(4).Xfin, 0.0f);
  EXPECT_EQ(v->m_del.Nstep, 0);
  // Dialog members hold their own construction defaults.
  EXPECT_EQ(v->m_ComputationDlg.m_ISTOP, 0);
  EXPECT_EQ(v->m_ComputationDlg.m_KP, 0);
  EXPECT_EQ(v->Acorr.Xfin, 170.0f);
}

TEST(ViewState, InitialUpdateSetsTheDefaultsAndTheWorkingDirectory) {
  nrstest::TempDir dir;
  auto v = std::make_unique<TestView>();
  KavoldGlobals& g = globals();
  g.runTime = g.runDelayed = g.runPrompt = g.runCEMS = 3;
  g.editFlag = 2;
  v->m_pressTime = v->m_pressDelayed = v->m_pressPrompt = 1;
  v->m_model(3, 2) = 5.0f;
  v->m_time.nexp[1] = 7;
  v->m_GeneralDlg.m_NNN = 4;
  v->OnInitialUpdate();

  EXPECT_EQ(fs::path(v->m_DirectoryDlg.m_Directory.str()), fs::current_path());
  EXPECT_EQ(g.startDirectory, v->m_DirectoryDlg.m_Directory);
  EXPECT_EQ(g.runTime + g.runDelayed + g.runPrompt + g.runCEMS, 0);
  EXPECT_EQ(g.editFlag, 1);
  EXPECT_EQ(v->m_mode, 1);
  EXPECT_EQ(v->m_pressTime + v->m_pressDelayed + v->m_pressPrompt, 0);
  EXPECT_EQ(v->m_maxMultiplets, 8);
  EXPECT_EQ(v->m_modelKind, 0);

  const float blocks[4][6] = {{0, 10, 2, 0.0001f, 1.1f, 4000},
                              {0, 10, 2, 0.0001f, 1.1f, 4000},
                              {0, 12, 2, 0.0001f, 1.1f, 0.1f},
                              {-12, 12, 2, -0.2f, 1.1f, 0.2f}};
  for (int b = 1; b <= 4; ++b) {
    const AxisBlock& s = v->m_S(b);
    const float* e = blocks[b - 1];
    EXPECT_EQ((std::vector<float>{s.Xini, s.Xfin, s.Xstep, s.Yini, s.Yfin, s.Ystep}),
              (std::vector<float>{e[0], e[1], e[2], e[3], e[4], e[5]}))
        << "block S" << b;
    EXPECT_EQ(s.Lscale, 1);
  }
  EXPECT_EQ((std::vector<float>{g.Xmodmin, g.Xmodmax, g.Xmodstep, g.Yhfi, g.Emodmax, g.Emodstep}),
            (std::vector<float>{0, 100, 20, 1.3f, 12, 6}));

  const DelayedPromptParameters& d = v->m_del;
  EXPECT_EQ((std::vector<float>{d.UT0p, d.Ustepp, d.DIV, d.ANGBEAM, d.ACOMP1, d.ACOMP2, d.EPFINP, d.UT0, d.Ustep,
                                d.ACOMP1D, d.ACOMP2D, d.EPFIND, d.FJEPP, d.FJEPD, d.TIMECYCLE, d.TIMINI, d.TIMFIN}),
            (std::vector<float>{1, 0.02f, 0, 0.5f, 2, 8, 0.001f, 2, 0.5f, 2, 8, 0.001f, 1, 1, 176.06f, 10.17f, 161.4f}));
  EXPECT_EQ((std::vector<int>{d.Nstepp, d.JFITP, d.Nstep, d.JFITD, d.Intexp}), (std::vector<int>{400, 11, 15, 1, 0}));

  const CemsParameters& c = v->m_cemsPar;
  EXPECT_EQ((std::vector<float>{c.GS, c.EMAX, c.Hmms, c.Hchan, c.chan0, c.E1lim, c.E2lim}),
            (std::vector<float>{0.06f, 12, 11.46017f, 168.8f, 130.19637f, -7, 7}));
  EXPECT_EQ(c.IMM, 256);
  EXPECT_EQ(c.JEXPC, 256);

  const CComputationDlg& t = v->m_ComputationDlg;
  EXPECT_EQ((std::vector<int>{t.m_JFIT, t.m_Jway, t.m_ITEST, t.m_ISTOP, t.m_KP, t.m_JAV1, t.m_IDIST}),
            (std::vector<int>{12, 1, 2, 15, 3, 10, 1}));
  EXPECT_EQ((std::vector<float>{t.m_AF, t.m_EPFIN, t.m_SIG, t.m_XEXP1, t.m_XEXP2, t.m_SIGMA, t.m_SD}),
            (std::vector<float>{0, 0.001f, 0, 18, 140, 0.3f, 0.1f}));
  for (int k = 0; k < 5; ++k) EXPECT_EQ(t.m_ICORR[k] + t.m_IMAN[k], 0);
  for (float w : t.m_Weight) EXPECT_EQ(w, 1.0f);

  for (int m = 1; m <= 8; ++m) {
    const Multiplet& mp = v->m_multiplet(m);
    EXPECT_EQ(mp.Bhf, 33.0f);
    EXPECT_EQ(mp.dBhf + mp.IS + mp.EFG + mp.GRd + mp.Beta + mp.Gamma + mp.Random + mp.Plane + mp.Wid, 0.0f);
  }
  const CLoadDlg& l = v->m_LoadDlg;
  EXPECT_EQ(l.m_File[0], "xxx1.dat");
  EXPECT_EQ(l.m_File[3], "xxx4.dat");
  EXPECT_EQ(l.m_DelayedFile, "xxxD.dat");
  EXPECT_EQ(l.m_CemsFile, "xxxC.dat");

  // Curves, the model table and the dialogs' other values stay.
  EXPECT_EQ(v->m_model(3, 2), 5.0f);
  EXPECT_EQ(v->m_time.nexp[1], 7);
  EXPECT_EQ(v->m_GeneralDlg.m_NNN, 4);
}

TEST(ViewState, SizeAndLeftClickAreStoredAndThePanesFollowTheClick) {
  auto v = std::make_unique<TestView>();
  v->OnSize(0, 665, 460);  // plot box 600 x 400
  EXPECT_EQ(v->m_width, 665);
  EXPECT_EQ(v->m_height, 460);
  v->m_axes = {0, 170, 0, 450, 40, 100};
  // Before the first click the panes show the client point (0, 0).
  EXPECT_EQ(v->pane(true), "x = -12.75");
  EXPECT_EQ(v->pane(false), "y = 472.50");
  v->OnLButtonDown(1, CPoint(645, 20));  // top right corner of the box
  EXPECT_EQ(v->m_click, CPoint(645, 20));
  EXPECT_EQ(v->pane(true), "x = 170.00");
  EXPECT_EQ(v->pane(false), "y = 450.00");
  v->m_axes.Yini = -1;  // a logarithmic axis shows the logarithm, as drawn
  v->m_axes.Yfin = 3;
  v->OnLButtonDown(1, CPoint(45, 420));
  EXPECT_EQ(v->pane(true), "x = 0.00");
  EXPECT_EQ(v->pane(false), "y = -1.00");
}

TEST(ViewState, PanesOfATooSmallWindowShowWhatTheArithmeticGives) {
  auto v = std::make_unique<TestView>();
  v->m_axes = {0, 170, 0, 450, 40, 100};
  v->OnSize(0, 65, 60);
  v->OnLButtonDown(1, CPoint(100, 10));
  const std::string x = v->pane(true).str(), y = v->pane(false).str();
  EXPECT_EQ(x, "x = inf");
  EXPECT_EQ(y, "y = inf");
  v->OnSize(0, 40, 30);
  EXPECT_EQ(v->pane(true), "x = -374.00");  // a box of negative width mirrors the axis
}

// The axes of the drawing come from the axes dialog, stacked for the time
// spectra, as logarithms on a logarithmic scale.
class DrawingAxes : public ::testing::Test {
 protected:
  void SetUp() override {
    v = std::make_unique<TestView>();
    v->OnInitialUpdate();
    v->OnSize(0, 665, 460);
    hooks::setDrawLog(&log);
  }
  void TearDown() override { hooks::setDrawLog(nullptr); }
  int draw() {
    CDC labels;
    log.ops.clear();
    return v->DrawCurrentAxes(&labels, &labels);
  }
  std::unique_ptr<TestView> v;
  nrstest::TempDir dir;
  hooks::DrawLog log;
};

TEST_F(DrawingAxes, TimeSpectraStackOneBoxPerSpectrum) {
  EXPECT_EQ(draw(), 1);  // no experiment, one calculated spectrum
  EXPECT_FLOAT_EQ(v->m_axes.Yfin, 450.0f);
  EXPECT_EQ(globals().nTimeSpectraDrawn, 1);
  v->m_LoadDlg.m_NFiles = 3;
  v->m_ModelDlg.m_NSPC = 4;
  EXPECT_EQ(draw(), 3);
  EXPECT_FLOAT_EQ(v->m_axes.Yfin, 1050.0f);
  v->m_LoadDlg.m_NFiles = 4;
  v->m_ModelDlg.m_NSPC = 2;
  EXPECT_EQ(draw(), 2);
  const auto texts = log.of(DrawOp::Kind::Text);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back().text, " Delay time (ns)");
  EXPECT_EQ(texts.back().x0, 665 / 2 - 40);
  EXPECT_EQ(texts.back().y0, 460 - 17);
  // The mode's block takes the dialog's axes.
  EXPECT_EQ(v->m_S(1).Xfin, 170.0f);
  EXPECT_EQ(v->m_S(1).Yfin, 300.0f);
}

TEST_F(DrawingAxes, LogarithmicScaleTakesLogarithms) {
  v->Acorr.m_Lscale = 2;
  v->Acorr.Yini = 0;
  v->Acorr.Ystep = 0.5f;
  draw();
  EXPECT_FLOAT_EQ(v->m_axes.Yini, -1.0f);  // 0 stands for 0.1 with time spectra
  EXPECT_NEAR(v->m_axes.Ystep, 0.30103f, 1e-5);
  EXPECT_NEAR(v->m_axes.Yfin, 1.5f * std::log10(300.0f), 1e-5);
  v->m_mode = 2;
  v->Acorr.Ystep = 1;
  draw();
  EXPECT_FLOAT_EQ(v->m_axes.Yini, -2.0f);  // and for 0.01 otherwise
  EXPECT_FLOAT_EQ(v->m_axes.Ystep, 1.0f);
  EXPECT_NEAR(v->m_axes.Yfin, std::log10(300.0f), 1e-5);
  EXPECT_EQ(v->m_S(2).Lscale, 2);
  EXPECT_EQ(log.of(DrawOp::Kind::Text).back().text, " Glancing angle (mrad)");
}

TEST_F(DrawingAxes, ANegativeLogarithmicRangeDrawsNoTicksAndEnds) {
  v->Acorr.m_Lscale = 2;
  v->Acorr.Yfin = -5;  // log10 of a negative number: not a number
  v->m_mode = 3;
  draw();
  EXPECT_TRUE(std::isnan(v->m_axes.Yfin));
  for (const auto& t : log.of(DrawOp::Kind::Text)) EXPECT_GT(t.y0, 460 - 40) << t.text;  // only X labels
}

class ViewWindow : public KavoldApp {};

TEST_F(ViewWindow, RightClickOpensTheAxesDialogAndRepaintsWhateverItsResult) {
  int shown = 0;
  hooks::setDialogHook([&](hooks::DialogDriver& d) {
    ++shown;
    EXPECT_EQ(d.templateId(), 139u);
    d.type(1001, "99");
    d.pressEscape();
  });
  hooks::DrawLog log;
  hooks::renderPng(*view, ::testing::TempDir() + "kavold_view.png");
  hooks::setDrawLog(&log);
  hooks::clickWindow(*view, CPoint(100, 100), true);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(view->Acorr.Xfin, 170.0f);
  EXPECT_TRUE(log.ops.empty());
  hooks::renderPng(*view, ::testing::TempDir() + "kavold_view.png");
  EXPECT_FALSE(log.of(DrawOp::Kind::Fill).empty());  // painted again
}

TEST_F(ViewWindow, ClientDrawingStaysUntilTheViewIsInvalidated) {
  hooks::resizeWindow(*view, 400, 300);
  const std::string png = ::testing::TempDir() + "kavold_client.png";
  hooks::renderPng(*view, png);
  {
    CClientDC dc(view);
    dc.FillSolidRect(100, 100, 20, 20, RGB(255, 0, 0));
  }
  ASSERT_TRUE(hooks::renderPng(*view, png));
  EXPECT_EQ(hooks::loadPng(png)->pixel(110, 110), RGB(255, 0, 0));
  view->Invalidate();
  ASSERT_TRUE(hooks::renderPng(*view, png));
  const auto image = hooks::loadPng(png);
  EXPECT_EQ(image->pixel(110, 110), RGB(255, 255, 255));  // inside the plot box again
  EXPECT_EQ(image->pixel(5, 5), RGB(200, 200, 255));
}

}  // namespace
