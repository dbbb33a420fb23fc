// Printing the view: Ctrl+P and the print commands go through the print
// dialog (answered by the hook, which chooses a PDF file), the preview
// draws the page before it is printed from, a cancel prints nothing, and
// the page set-up is kept for the next job.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "frontend/Globals.hpp"
#include "kavold_fixture.hpp"

namespace {

using namespace kavoldtest;
using Kind = hooks::PrintRequest::Kind;

// The width and height of the first page of a PDF file, in points; nothing
// when the file is missing or is no PDF.
std::optional<std::pair<double, double>> pdfPage(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string pdf = ss.str();
  if (pdf.rfind("%PDF-", 0) != 0) return std::nullopt;
  const auto box = pdf.find("/MediaBox [");
  if (box == std::string::npos) return std::nullopt;
  std::istringstream nums(pdf.substr(box + 11));
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  nums >> x0 >> y0 >> x1 >> y1;
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
  void TearDown() override {
    hooks::setPrintDialogAnswer(nullptr);
    KavoldApp::TearDown();
  }
  // Runs one print action with the draw log on; the texts drawn meanwhile.
  std::vector<std::string> drawn(const std::function<void()>& act) {
    hooks::DrawLog log;
    hooks::setDrawLog(&log);
    act();
    hooks::setDrawLog(nullptr);
    curve = false;
    for (const auto& op : log.of(hooks::DrawOp::Kind::Line)) curve = curve || op.colour == RGB(255, 0, 0);
    std::vector<std::string> texts;
    for (const auto& op : log.of(hooks::DrawOp::Kind::Text)) texts.push_back(op.text.str());
    return texts;
  }
  hooks::PrintAnswer answer;
  std::vector<Kind> asked;
  bool curve = false;  // the current time spectrum was drawn
};

bool has(const std::vector<std::string>& texts, const std::string& t) {
  return std::find(texts.begin(), texts.end(), t) != texts.end();
}

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
      {"direct print", [](CMainFrame& f) { f.OnCmdMsg(57608, nullptr); }, true, "b.pdf", Kind::Print, true, true},
      {"cancelled print", [](CMainFrame& f) { f.OnCmdMsg(57607, nullptr); }, false, "c.pdf", Kind::Print, false,
       false},
      {"preview printed", [](CMainFrame& f) { f.OnCmdMsg(57609, nullptr); }, true, "d.pdf", Kind::Preview, true,
       true},
      {"preview closed", [](CMainFrame& f) { f.OnCmdMsg(57609, nullptr); }, false, "e.pdf", Kind::Preview, false,
       true},
      {"no such folder", [](CMainFrame& f) { hooks::typeShortcut(f, "Ctrl+P"); }, true, "no/such/f.pdf", Kind::Print,
       false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto path = dir.path() / c.file;
    answer = {c.accept, path.string(), false};
    asked.clear();
    boxes.boxes.clear();
    const auto texts = drawn([&] { c.act(*frame); });
    EXPECT_EQ(asked, std::vector<Kind>{c.asked});
    const auto page = pdfPage(path);
    EXPECT_EQ(page.has_value(), c.printed);
    if (page) {
      EXPECT_LT(page->first, page->second);  // portrait
    }
    EXPECT_EQ(std::filesystem::exists(path), c.printed);
    // The page holds the plot and its texts.
    EXPECT_EQ(has(texts, " Delay time (ns)") && has(texts, "start.inf") && has(texts, "Layspc.res"), c.drawn);
    EXPECT_EQ(curve, c.drawn);
    const bool failed = !c.printed && c.accept && c.asked == Kind::Print;
    EXPECT_EQ(messages(), failed ? std::vector<CString>{CString("Cannot print to " + path.string() + ".")}
                                 : std::vector<CString>{});
  }
}

// The orientation chosen in the page set-up is that of the next jobs.
TEST_F(Printing, PageSetupIsKeptForTheNextJob) {
  struct Step {
    bool accept;
    std::optional<bool> landscape;
    bool landscapePage;
  };
  const Step steps[] = {{true, true, true}, {false, false, true}, {true, false, false}};
  int n = 0;
  for (const Step& s : steps) {
    answer = {s.accept, "", s.landscape};
    asked.clear();
    frame->OnCmdMsg(57606, nullptr);
    EXPECT_EQ(asked, std::vector<Kind>{Kind::Setup});
    const auto path = dir.path() / ("p" + std::to_string(++n) + ".pdf");
    answer = {true, path.string(), std::nullopt};
    hooks::typeShortcut(*frame, "Ctrl+P");
    const auto page = pdfPage(path);
    ASSERT_TRUE(page) << n;
    EXPECT_EQ(page->first > page->second, s.landscapePage) << n;
  }
}

}  // namespace

// The printed page shows the plot as the window does: the model names in
// the margin above the box stand on the window's background, not on a
// block of the last curve's colour (red here).  The page is read back as an
// image; the plot's background marks where the view lies on it.
TEST_F(Printing, LabelsArePrintedOnTheBackgroundOfTheWindow) {
  if (nrstest::run("command -v pdftoppm > /dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm is not installed";
  const auto pdf = dir.path() / "page.pdf";
  answer = {true, pdf.string(), false};
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
  // The band above the box: 20 of the view's 460 pixels.
  const int band = top + (bottom - top) * 20 / 460;
  int red = 0, dark = 0;
  for (int y = top; y < band; ++y)
    for (int x = left; x <= right; ++x) {
      const COLORREF c = page->pixel(x, y);
      red += GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80;
      dark += GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80;
    }
  EXPECT_EQ(red, 0);
  EXPECT_GT(dark, 50);  // the texts themselves
}
