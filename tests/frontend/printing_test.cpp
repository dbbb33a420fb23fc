// Printing the view: Ctrl+P and the print commands go through the print
// dialog (answered by the hook, which chooses a PDF file), the preview
// draws the page before it is printed from, a cancel prints nothing, and
// the page set-up is kept for the next job.
#include <algorithm>
#include <filesystem>
#include <sstream>

#include "frontend/Globals.hpp"
#include "kavold_fixture.hpp"
#include "programtest.hpp"

namespace {

using namespace kavoldtest;
using Kind = hooks::PrintRequest::Kind;

// The width and height of the first page of a PDF file, in points; nothing
// when the file is no PDF.
std::optional<std::pair<double, double>> pdfPage(const std::filesystem::path& path) {
  const std::string pdf = nrstest::slurp(path.string());
  const auto box = pdf.find("/MediaBox [");
  if (pdf.rfind("%PDF-", 0) != 0 || box == std::string::npos) return std::nullopt;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  std::istringstream(pdf.substr(box + 11)) >> x0 >> y0 >> x1 >> y1;
  return std::make_pair(x1 - x0, y1 - y0);
}

class Printing : public KavoldApp {
 protected:
  void SetUp() override {
    KavoldApp::SetUp();
    hooks::resizeWindow(*view, 665, 460);
    // Time spectra after two runs: axes, one curve, model names.
    view->m_mode = 1;
    view->m_ModelDlg.m_NSPC = 1;
    view->m_time.ncur[0] = view->m_time.nini[0] = 2;
    view->m_time.tcur[1][0] = view->m_time.tini[1][0] = 100;
    view->m_time.ycur[1][0] = 1;
    globals().runTime = 2;
    view->m_timeModel = {"start.inf", "Layspc.res"};
    hooks::setPrintDialogAnswer([this](const hooks::PrintRequest& r) {
      asked.push_back(r.kind);
      return answer;
    });
  }
  // How many parts of the page the action drew, of the four: the red
  // current spectrum, the caption and the two model names.
  int partsDrawn(const std::function<void()>& act) {
    hooks::DrawLog log;
    hooks::setDrawLog(&log);
    act();
    hooks::setDrawLog(nullptr);
    const auto lines = log.of(hooks::DrawOp::Kind::Line);
    int parts = std::any_of(lines.begin(), lines.end(), [](const auto& op) { return op.colour == RGB(255, 0, 0); });
    const auto texts = log.of(hooks::DrawOp::Kind::Text);
    for (const char* t : {" Delay time (ns)", "start.inf", "Layspc.res"})
      parts += std::any_of(texts.begin(), texts.end(), [t](const auto& op) { return op.text == t; });
    return parts;
  }
  hooks::PrintAnswer answer;
  std::vector<Kind> asked;
};

TEST_F(Printing, PrintCommandsPrintTheViewAndACancelPrintsNothing) {
  struct Case {
    const char* what;
    std::function<void(CMainFrame&)> act;
    bool accept;
    const char* file;  // relative to the working directory
    Kind asked;
    bool printed, drawn;
  };
  const Case cases[] = {
      {"Ctrl+P", [](CMainFrame& f) { hooks::typeShortcut(f, "Ctrl+P"); }, true, "a.pdf", Kind::Print, true, true},
      {"direct print", [](CMainFrame& f) { f.OnCmdMsg(ID_FILE_PRINT_DIRECT, nullptr); }, true, "b.pdf", Kind::Print,
       true, true},
      {"cancelled print", [](CMainFrame& f) { f.OnCmdMsg(ID_FILE_PRINT, nullptr); }, false, "c.pdf", Kind::Print,
       false, false},
      {"preview printed", [](CMainFrame& f) { f.OnCmdMsg(ID_FILE_PRINT_PREVIEW, nullptr); }, true, "d.pdf",
       Kind::Preview, true, true},
      {"preview closed", [](CMainFrame& f) { f.OnCmdMsg(ID_FILE_PRINT_PREVIEW, nullptr); }, false, "e.pdf",
       Kind::Preview, false, true},
      {"no such folder", [](CMainFrame& f) { hooks::typeShortcut(f, "Ctrl+P"); }, true, "no/such/f.pdf", Kind::Print,
       false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto path = dir.path() / c.file;
    answer = {c.accept, path.string(), false};
    asked.clear();
    boxes.boxes.clear();
    EXPECT_EQ(partsDrawn([&] { c.act(*frame); }), c.drawn ? 4 : 0);
    EXPECT_EQ(asked, std::vector<Kind>{c.asked});
    ASSERT_EQ(std::filesystem::exists(path), c.printed);
    if (c.printed) {
      const auto page = pdfPage(path);
      ASSERT_TRUE(page);
      EXPECT_LT(page->first, page->second);  // portrait
    }
    const bool failed = !c.printed && c.accept && c.asked == Kind::Print;
    EXPECT_EQ(messages(), failed ? std::vector<CString>{CString("Cannot print to " + path.string() + ".")}
                                 : std::vector<CString>{});
  }
}

// The orientation chosen in the page set-up is that of the next jobs; a
// cancelled set-up changes nothing.
TEST_F(Printing, PageSetupIsKeptForTheNextJob) {
  const struct {
    bool accept;
    bool landscape, landscapePage;
  } steps[] = {{true, true, true}, {false, false, true}, {true, false, false}};
  int n = 0;
  for (const auto& s : steps) {
    answer = {s.accept, "", s.landscape};
    asked.clear();
    frame->OnCmdMsg(ID_FILE_PRINT_SETUP, nullptr);
    EXPECT_EQ(asked, std::vector<Kind>{Kind::Setup});
    const auto path = dir.path() / ("p" + std::to_string(++n) + ".pdf");
    answer = {true, path.string(), std::nullopt};
    hooks::typeShortcut(*frame, "Ctrl+P");
    const auto page = pdfPage(path);
    ASSERT_TRUE(page) << n;
    EXPECT_EQ(page->first > page->second, s.landscapePage) << n;
  }
}

// The printed page shows the plot as the window does: the model names in
// the margin above the box stand on the window's background, not on a
// block of the last curve's colour (red here), and what the window does not
// show is not printed.  The page is read back as an image; the plot's
// background marks where the view lies on it.
TEST_F(Printing, LabelsArePrintedOnTheBackgroundOfTheWindow) {
  if (nrstest::run("command -v pdftoppm > /dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm is not installed";
  // Two stacked spectra on a logarithmic axis up to 30000: the last Y tick,
  // 12.0, lies above the window, and so does its label.
  view->m_ModelDlg.m_NSPC = 2;
  view->Acorr.m_Lscale = 2;
  view->Acorr.Yini = 1;
  view->Acorr.Yfin = 30000;
  view->Acorr.Ystep = 10;
  answer = {true, (dir.path() / "page.pdf").string(), false};
  hooks::typeShortcut(*frame, "Ctrl+P");
  ASSERT_EQ(nrstest::run("pdftoppm -png -r 100 -singlefile page.pdf page"), 0);
  const auto page = hooks::loadPng((dir.path() / "page.png").string());
  ASSERT_TRUE(page);
  int left = page->width, right = -1, top = page->height, bottom = -1;
  for (int y = 0; y < page->height; ++y)
    for (int x = 0; x < page->width; ++x)
      if (page->pixel(x, y) == RGB(200, 200, 255)) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  ASSERT_GT(right - left, 300);
  // The view's proportions, and nothing printed beside it but the edge of
  // its background, which the page's scale may blur.
  EXPECT_NEAR((right - left + 1.0) / (bottom - top + 1), 665.0 / 460, 0.01);
  int outside = 0;
  for (int y = 0; y < page->height; ++y)
    for (int x = 0; x < page->width; ++x) {
      const bool beside = x < left - 1 || x > right + 1 || y < top - 1 || y > bottom + 1;
      outside += beside && page->pixel(x, y) != RGB(255, 255, 255);
    }
  EXPECT_EQ(outside, 0);
  // The band above the box: 20 of the view's 460 pixels.
  int red = 0, dark = 0;
  for (int y = top; y < top + (bottom - top) * 20 / 460; ++y)
    for (int x = left; x <= right; ++x) {
      const COLORREF c = page->pixel(x, y);
      red += GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80;
      dark += GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80;
    }
  EXPECT_EQ(red, 0);
  EXPECT_GT(dark, 50);  // the texts themselves
}

}  // namespace
