// The application's frame as built: menu texts, toolbar, status panes,
// accelerators, About box, the document commands and the empty commands.
#include <filesystem>
#include <fstream>
#include <set>

#include "frontend/Globals.hpp"
#include "frontend/resource.hpp"
#include "kavold_fixture.hpp"

namespace {

using namespace kavoldtest;
namespace fs = std::filesystem;

std::set<std::string> filesIn(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(dir)) names.insert(e.path().string());
  return names;
}

using Frame = KavoldApp;

TEST_F(Frame, MenuHasTheTextsAndCommandsOfTheApplication) {
  // Written from the application's menu description, doubled and trailing
  // blanks included.
  const std::vector<std::pair<std::string, UINT>> expected = {
      {"Settings", 0},
      {"Settings > Directory", 1008},
      {"Settings > Select isotope", 0},
      {"Settings > Select isotope > 57Fe", 32825},
      {"Settings > Select isotope > 149Sm", 32826},
      {"Settings > Select isotope > 151Eu", 32827},
      {"Settings > Select isotope > 119Sn", 32836},
      {"Settings > Clean previous result", 32791},
      {"Settings > Get previous settings", 32806},
      {"Settings > or Start from zero", 32780},
      {"Load exper", 32774},
      {"Theory", 0},
      {"Theory > Create MODEL", 32802},
      {"Theory > Model file", 32781},
      {"Theory > Correctons", 32782},
      {"Calc. options", 0},
      {"Calc. options > TIM spectra", 0},
      {"Calc. options > TIM spectra > File", 32786},
      {"Calc. options > TIM spectra > Dialog", 32787},
      {"Calc. options > Del  and prompt ", 32803},
      {"Calc. options > CEMS options", 32831},
      {"FIT options", 0},
      {"FIT options > List_par", 32814},
      {"FIT options > Check list", 32815},
      {"FIT options > Fitting", 0},
      {"FIT options > Fitting > Time spectra", 32818},
      {"FIT options > Fitting > Prompt curve", 32819},
      {"FIT options > Fitting > Delayed+prompt curves", 32820},
      {"FIT options > Fitting > Joint_FIT", 32821},
      {"FIT options > Stop calculations", 32788},
      {"FIT options > New model", 32817},
      {"Energy graphs", 0},
      {"Energy graphs > Absorption", 32784},
      {"Energy graphs > Reflectivity", 32785},
      {"MODEL graphs", 0},
      {"MODEL graphs > HFI graph", 32795},
      {"MODEL graphs > El density", 32813},
      {"&View", 0},
      {"&View > &Toolbar", 59392},
      {"&View > &Status Bar", 59393},
  };
  const auto built = hooks::builtMenu(*frame);
  ASSERT_EQ(built.size(), expected.size());
  for (std::size_t i = 0; i < built.size(); ++i) {
    EXPECT_EQ(built[i].path.str(), expected[i].first);
    EXPECT_EQ(built[i].id, expected[i].second) << expected[i].first;
    EXPECT_TRUE(built[i].enabled) << expected[i].first;
  }
  EXPECT_EQ(frame->GetWindowText(), "Untitled - KAVOLD");
}

TEST_F(Frame, ToolbarHasFourteenLabelledPositionsWithASeparatorAt12) {
  constexpr COLORREF red = RGB(255, 0, 0), darkBlue = RGB(0, 0, 128), blue = RGB(0, 0, 255),
                     green = RGB(0, 128, 0), darkRed = RGB(128, 0, 0);
  const std::vector<std::tuple<UINT, const char*, COLORREF>> expected = {
      {32771, "C-time", red},   {32772, "Gr-time", darkBlue}, {32798, "C-Del", red},
      {32807, "Gr-Del", darkBlue}, {32811, "C-Prt", red},     {32809, "Gr-Prt", darkBlue},
      {32828, "C-CEM", red},    {32837, "Gr-CEM", darkBlue},  {32835, "S-Gr", blue},
      {32773, "Model", green},  {32796, "Fit_par", darkRed},  {32790, "New_M", green},
      {0, "", 0},               {32812, "S_axis", blue},
  };
  CToolBar& bar = frame->m_wndToolBar;
  const auto built = hooks::builtToolBar(bar);
  ASSERT_EQ(built.size(), 14u);
  ASSERT_EQ(bar.GetCount(), 14);
  for (int i = 0; i < 14; ++i) {
    const auto& [id, label, colour] = expected[static_cast<std::size_t>(i)];
    EXPECT_EQ(built[static_cast<std::size_t>(i)].id, id) << i;
    EXPECT_EQ(bar.GetButton(i).label, label) << i;
    if (id == 0) continue;
    EXPECT_EQ(bar.GetButton(i).colour, colour) << i;
    EXPECT_EQ(built[static_cast<std::size_t>(i)].width, 50);
    EXPECT_EQ(built[static_cast<std::size_t>(i)].height, 15);
    EXPECT_FALSE(built[static_cast<std::size_t>(i)].hasToolTip) << i;
  }
}

TEST_F(Frame, StatusBarHasSixPanesAndTheClickPanesUpdateAtIdle) {
  CStatusBar* sb = frame->GetStatusBar();
  ASSERT_NE(sb, nullptr);
  const std::vector<UINT> ids = {61446, 61447, 0, 59137, 59138, 59139};
  ASSERT_EQ(sb->GetCount(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(sb->GetItemID(i), ids[static_cast<std::size_t>(i)]);
  EXPECT_EQ(sb->GetPaneText(2), "Ready");

  hooks::resizeWindow(*view, 665, 460);  // plot box of 600 x 400 pixels
  hooks::renderPng(*frame, ::testing::TempDir() + "kavold_frame.png");
  hooks::clickWindow(*view, CPoint(345, 220));
  frame->OnIdleUpdateCmdUI();
  EXPECT_EQ(view->m_click, CPoint(345, 220));
  // Default axes: 0 to 170 across, and one stacked spectrum of 300 (450 up).
  EXPECT_EQ(sb->GetPaneText(0), "x = 85.00");
  EXPECT_EQ(sb->GetPaneText(1), "y = 225.00");
}

TEST_F(Frame, RenderedWindowShowsPlotToolbarLabelsAndMenu) {
  hooks::resizeWindow(*frame, 900, 600);
  const std::string png = ::testing::TempDir() + "kavold_window.png";
  ASSERT_TRUE(hooks::renderPng(*frame, png));
  const auto image = hooks::loadPng(png);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 900);
  int background = 0, white = 0, red = 0, green = 0;
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x) {
      const COLORREF c = image->pixel(x, y);
      background += c == RGB(200, 200, 255);
      white += c == RGB(255, 255, 255);
      red += y < 80 && c == RGB(255, 0, 0);    // C- labels on the toolbar
      green += y < 80 && c == RGB(0, 128, 0);  // Model, New_M
    }
  EXPECT_GT(background, 10000);
  EXPECT_GT(white, 100000);
  EXPECT_GT(red, 20);
  EXPECT_GT(green, 10);
}

TEST_F(Frame, AcceleratorsBindTheFrameworkCommands) {
  const std::set<std::pair<std::string, UINT>> expected = {
      {"Ctrl+N", 57600},    {"Ctrl+O", 57601},        {"Ctrl+S", 57603},   {"Ctrl+P", 57607},
      {"Ctrl+Z", 57643},    {"Alt+Backspace", 57643}, {"Ctrl+X", 57635},   {"Shift+Del", 57635},
      {"Ctrl+C", 57634},    {"Ctrl+Ins", 57634},      {"Ctrl+V", 57637},   {"Shift+Ins", 57637},
      {"F6", 57680},        {"Shift+F6", 57681},
  };
  std::set<std::pair<std::string, UINT>> built;
  for (const auto& s : hooks::builtShortcuts(*frame)) built.emplace(s.keys.str(), s.id);
  EXPECT_EQ(built, expected);
}

TEST_F(Frame, AboutBoxShowsNameAndVersion) {
  int shown = 0;
  hooks::setDialogHook([&](hooks::DialogDriver& d) {
    ++shown;
    EXPECT_EQ(d.templateId(), 100u);
    EXPECT_EQ(d.caption(), "About KAVOLD");
    bool version = false;
    for (const auto& c : d.dialogTemplate().controls) version |= c.text == "KAVOLD Version 1.0";
    EXPECT_TRUE(version);
    d.click(IDOK);
    EXPECT_TRUE(d.ended());
  });
  frame->OnCmdMsg(ID_APP_ABOUT, nullptr);
  EXPECT_EQ(shown, 1);
}

TEST_F(Frame, NewOrOpenResetsTheViewAndTouchesNoFile) {
  dir.write("NEXT.INP", "1\n");
  const auto before = filesIn(dir.path());
  view->m_ComputationDlg.m_ISTOP = 99;
  view->m_mode = 3;
  view->m_S(2).Xfin = 77;
  globals().runTime = 5;
  hooks::typeShortcut(*frame, "Ctrl+N");
  EXPECT_EQ(view->m_ComputationDlg.m_ISTOP, 15);
  EXPECT_EQ(view->m_mode, 1);
  EXPECT_EQ(view->m_S(2).Xfin, 10);
  EXPECT_EQ(globals().runTime, 0);
  EXPECT_EQ(filesIn(dir.path()), before);

  view->m_mode = 4;
  const std::string other = (dir.path() / "sub" / "some.doc").string();
  fs::create_directories(dir.path() / "sub");
  std::ofstream(other) << "anything\n";
  const auto withDoc = filesIn(dir.path());
  hooks::setFileDialogAnswer([&](const hooks::FileDialogRequest& r) -> std::optional<std::string> {
    EXPECT_TRUE(r.open);
    return other;
  });
  hooks::typeShortcut(*frame, "Ctrl+O");
  EXPECT_EQ(view->m_mode, 1);
  EXPECT_EQ(filesIn(dir.path()), withDoc);
  EXPECT_EQ(frame->GetWindowText(), "some.doc - KAVOLD");
  ASSERT_FALSE(app->GetRecentFileList().empty());
  EXPECT_EQ(app->GetRecentFileList().front(), other);

  // The list lives in the settings: read again, it is still there.
  CKAVOLDApp& a = *app;
  a.LoadStdProfileSettings(4);
  ASSERT_FALSE(a.GetRecentFileList().empty());
  EXPECT_EQ(a.GetRecentFileList().front(), other);
}

TEST_F(Frame, SaveWritesAnEmptyFileSinceTheDocumentHoldsNothing) {
  const std::string target = (dir.path() / "saved.kav").string();
  hooks::setFileDialogAnswer([&](const hooks::FileDialogRequest& r) -> std::optional<std::string> {
    EXPECT_FALSE(r.open);
    return target;
  });
  hooks::typeShortcut(*frame, "Ctrl+S");
  ASSERT_TRUE(fs::exists(target));
  EXPECT_EQ(fs::file_size(target), 0u);
}

TEST_F(Frame, EmptyCommandsAndUnhandledAcceleratorsChangeNothing) {
  dir.write("STOP.INP", " 1 \n");
  const auto before = filesIn(dir.path());
  view->m_mode = 2;
  view->m_ComputationDlg.m_ISTOP = 7;
  std::vector<UINT> traced;
  hooks::setCommandTrace([&](UINT id, const std::any&) { traced.push_back(id); });
  EXPECT_TRUE(frame->OnCmdMsg(kavold::ID_NOTHING, nullptr));
  EXPECT_TRUE(frame->OnCmdMsg(ID_APP_EXIT, nullptr));
  for (const char* keys : {"Ctrl+Z", "Alt+Backspace", "Ctrl+X", "Ctrl+C", "Ctrl+V", "Shift+Ins", "F6", "Shift+F6"})
    hooks::typeShortcut(*frame, keys);
  hooks::processEvents();
  EXPECT_EQ(traced, (std::vector<UINT>{32800, 57665}));
  EXPECT_EQ(view->m_mode, 2);
  EXPECT_EQ(view->m_ComputationDlg.m_ISTOP, 7);
  EXPECT_TRUE(frame->HasWindow());
  EXPECT_EQ(filesIn(dir.path()), before);
}

TEST_F(Frame, ViewMenuHidesAndShowsTheBars) {
  EXPECT_TRUE(frame->m_wndToolBar.IsVisible());
  ASSERT_TRUE(hooks::chooseMenuItem(*frame, "&View > &Toolbar"));
  EXPECT_FALSE(frame->m_wndToolBar.IsVisible());
  for (const auto& item : hooks::builtMenu(*frame)) {
    if (item.id == ID_VIEW_TOOLBAR) {
      EXPECT_FALSE(item.checked);
    }
    if (item.id == ID_VIEW_STATUS_BAR) {
      EXPECT_TRUE(item.checked);
    }
  }
  ASSERT_TRUE(hooks::chooseMenuItem(*frame, "&View > &Status Bar"));
  EXPECT_FALSE(frame->m_wndStatusBar.IsVisible());
  ASSERT_TRUE(hooks::chooseMenuItem(*frame, "&View > &Toolbar"));
  EXPECT_TRUE(frame->m_wndToolBar.IsVisible());
}

// Without its toolbar the frame cannot be created, and the application
// does not start.
TEST_F(KavoldDialogs, AFrameWhoseToolbarCannotBeMadeEndsTheStart) {
  nrstest::TempDir dir;
  CKAVOLDApp app;
  ResourceSet broken = KavoldResources();
  broken.toolbars.clear();
  AfxSetResourceHandle(&broken);
  app.m_args = {"KAVOLD"};
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  broken = KavoldResources();
  broken.strings.erase(kavold::ID_INDICATOR_Y);  // a status pane without its string
  EXPECT_FALSE(app.InitInstance());
  AfxSetResourceHandle(&KavoldResources());
  app.CloseAllDocuments();
}

}  // namespace
