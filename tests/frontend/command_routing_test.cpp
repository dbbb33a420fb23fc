// Every command of the menu, the toolbar and the code reaches its handler.
// The expected table is written from the application's command table, not
// from the message maps.
#include <functional>

#include "kavold_fixture.hpp"

namespace {

using namespace kavoldtest;

using Matcher = std::function<bool(const std::any&)>;

// The handler as the message map of class T holds it (a handler of a base
// class converted to a member of T).
template <class T>
Matcher is(void (T::*handler)()) {
  return [handler](const std::any& a) {
    const auto* p = std::any_cast<void (T::*)()>(&a);
    return p && *p == handler;
  };
}

using V = CKAVOLDView;

// Menu path, command, handler.
struct MenuRoute {
  const char* path;
  UINT id;
  Matcher handler;
};

std::vector<MenuRoute> menuRoutes() {
  return {
      {"Settings > Directory", 1008, is<V>(&V::OnDirectory)},
      {"Settings > Select isotope > 57Fe", 32825, is<V>(&V::OnSelect57Fe)},
      {"Settings > Select isotope > 149Sm", 32826, is<V>(&V::OnSelect149Sm)},
      {"Settings > Select isotope > 151Eu", 32827, is<V>(&V::OnSelect151Eu)},
      {"Settings > Select isotope > 119Sn", 32836, is<V>(&V::OnSelect119Sn)},
      {"Settings > Clean previous result", 32791, is<V>(&V::OnCleanPreviousResult)},
      {"Settings > Get previous settings", 32806, is<V>(&V::OnGetPreviousSettings)},
      {"Settings > or Start from zero", 32780, is<V>(&V::OnStartFromZero)},
      {"Load exper", 32774, is<V>(&V::OnLoadExper)},
      {"Theory > Create MODEL", 32802, is<V>(&V::OnCreateModel)},
      {"Theory > Model file", 32781, is<V>(&V::OnModelFile)},
      {"Theory > Correctons", 32782, is<V>(&V::OnCorrections)},
      {"Calc. options > TIM spectra > File", 32786, is<V>(&V::OnTimFile)},
      {"Calc. options > TIM spectra > Dialog", 32787, is<V>(&V::OnTimDialog)},
      {"Calc. options > Del  and prompt ", 32803, is<V>(&V::OnDelAndPrompt)},
      {"Calc. options > CEMS options", 32831, is<V>(&V::OnCemsOptions)},
      {"FIT options > List_par", 32814, is<V>(&V::OnListPar)},
      {"FIT options > Check list", 32815, is<V>(&V::OnCheckList)},
      {"FIT options > Fitting > Time spectra", 32818, is<V>(&V::OnFitTimeSpectra)},
      {"FIT options > Fitting > Prompt curve", 32819, is<V>(&V::OnFitPromptCurve)},
      {"FIT options > Fitting > Delayed+prompt curves", 32820, is<V>(&V::OnFitDelayedPrompt)},
      {"FIT options > Fitting > Joint_FIT", 32821, is<V>(&V::OnJointFit)},
      {"FIT options > Stop calculations", 32788, is<V>(&V::OnStopCalculations)},
      {"FIT options > New model", 32817, is<V>(&V::OnNewModel)},
      {"Energy graphs > Absorption", 32784, is<V>(&V::OnAbsorption)},
      {"Energy graphs > Reflectivity", 32785, is<V>(&V::OnReflectivity)},
      {"MODEL graphs > HFI graph", 32795, is<V>(&V::OnHfiGraph)},
      {"MODEL graphs > El density", 32813, is<V>(&V::OnElDensity)},
      {"&View > &Toolbar", 59392, is<CFrameWnd>(&CFrameWnd::OnBarCheckToolBar)},
      {"&View > &Status Bar", 59393, is<CFrameWnd>(&CFrameWnd::OnBarCheckStatusBar)},
  };
}

struct ToolRoute {
  int position;
  UINT id;
  Matcher handler;
};

std::vector<ToolRoute> toolRoutes() {
  return {
      {0, 32771, is<V>(&V::OnRunTimeSpectra)},   {1, 32772, is<V>(&V::OnShowTimeSpectra)},
      {2, 32798, is<V>(&V::OnRunDelayed)},       {3, 32807, is<V>(&V::OnShowDelayed)},
      {4, 32811, is<V>(&V::OnRunPrompt)},        {5, 32809, is<V>(&V::OnShowPrompt)},
      {6, 32828, is<V>(&V::OnRunCems)},          {7, 32837, is<V>(&V::OnShowCems)},
      {8, 32835, is<V>(&V::OnSetBaseline)},      {9, 32773, is<V>(&V::OnCorrections)},
      {10, 32796, is<V>(&V::OnEditNextInp)},     {11, 32790, is<V>(&V::OnSaveFittedModel)},
      {13, 32812, is<V>(&V::WriteAxisFile)},
  };
}

// Identifiers that only code sends, the second identifiers of shared
// handlers, and the window layer's own commands.
std::vector<std::pair<UINT, Matcher>> codeRoutes() {
  return {
      {32783, is<V>(&V::OnRunTimeSpectra)},
      {32799, is<V>(&V::OnShowTimeSpectra)},
      {32804, is<V>(&V::OnRunDelayed)},
      {32805, is<V>(&V::OnShowDelayed)},
      {32832, is<V>(&V::OnRunCems)},
      {32789, is<V>(&V::ReadTimParameters)},
      {32797, is<V>(&V::OnVersion)},
      {32822, is<V>(&V::WriteModelFile)},
      {32823, is<V>(&V::OnSaveModelAs)},
      {32824, is<V>(&V::OnMarkBox)},
      {32800, is<V>(&V::OnNothing)},
      {57665, is<V>(&V::OnNothing)},
      {57607, is<V>(&CView::OnFilePrint)},
      {57608, is<V>(&CView::OnFilePrint)},
      {57609, is<V>(&CView::OnFilePrintPreview)},
      {57664, is<CKAVOLDApp>(&CKAVOLDApp::OnAppAbout)},
      {57600, is<CKAVOLDApp>(&CWinApp::OnFileNew)},
      {57601, is<CKAVOLDApp>(&CWinApp::OnFileOpen)},
      {57606, is<CKAVOLDApp>(&CWinApp::OnFilePrintSetup)},
  };
}

class CommandRouting : public KavoldApp {
 protected:
  void SetUp() override {
    KavoldApp::SetUp();
    hooks::setCommandTrace([this](UINT id, const std::any& h) { traced.emplace_back(id, h); });
    // The window layer's commands that ask something are answered with Escape.
    hooks::setDialogHook([](hooks::DialogDriver& d) { d.pressEscape(); });
    hooks::setFileDialogAnswer([](const hooks::FileDialogRequest&) { return std::optional<std::string>(); });
    hooks::setPrintDialogAnswer([](const hooks::PrintRequest&) { return hooks::PrintAnswer{}; });
  }
  // The handler that the last action reached first (a dialog that it opens
  // routes its own buttons after it).
  void expectReached(UINT id, const Matcher& handler, const std::string& what) {
    ASSERT_FALSE(traced.empty()) << what;
    EXPECT_EQ(traced[0].first, id) << what;
    EXPECT_TRUE(handler(traced[0].second)) << what;
    traced.clear();
  }
  std::vector<std::pair<UINT, std::any>> traced;
};

TEST_F(CommandRouting, EveryMenuItemReachesItsHandler) {
  for (const auto& r : menuRoutes()) {
    ASSERT_TRUE(hooks::chooseMenuItem(*frame, r.path)) << r.path;
    expectReached(r.id, r.handler, r.path);
  }
}

TEST_F(CommandRouting, EveryToolbarButtonReachesItsHandler) {
  for (const auto& r : toolRoutes()) {
    hooks::clickToolBarButton(frame->m_wndToolBar, r.position);
    expectReached(r.id, r.handler, "toolbar position " + std::to_string(r.position));
  }
  hooks::clickToolBarButton(frame->m_wndToolBar, 12);  // the separator
  EXPECT_TRUE(traced.empty());
}

TEST_F(CommandRouting, CommandsWithoutMenuEntryReachTheirHandlers) {
  for (const auto& [id, handler] : codeRoutes()) {
    EXPECT_TRUE(frame->OnCmdMsg(id, nullptr)) << id;
    expectReached(id, handler, "command " + std::to_string(id));
  }
  // Identifiers that nothing handles go nowhere.
  for (UINT id : {57643u, 57635u, 57634u, 57637u, 57680u, 57681u, 32801u}) EXPECT_FALSE(frame->OnCmdMsg(id, nullptr)) << id;
  EXPECT_TRUE(traced.empty());
}

}  // namespace
