// Running the console programs from the view: fake programs (shell scripts
// in the working directory) show what a run prepares, protects, deletes,
// counts and reads; the real ZEPRIN runs on the shipped examples.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "frontend/Globals.hpp"
#include "frontend/ParamFiles.hpp"
#include "frontend/resource.hpp"
#include "kavold_fixture.hpp"
#include "programtest.hpp"

namespace {

using namespace kavoldtest;
namespace fs = std::filesystem;

const char* const kScript = " 1\n 4 1 0.30 0 0 0\n 0 0 0 0 0 0\n";  // varies Bhf

// The nineteen files a time-spectra run deletes first, in other cases.
const char* const kStale[] = {"BUFFEN1.RES", "buffen2.res", "BUFFEN3.RES", "BUFFEN4.RES", "BUFFTN1.RES",
                              "BUFFTN2.RES", "BUFFTN3.RES", "BUFFTN4.RES", "E_SPCN.RES",  "LAYSPC.RES",
                              "MODELN.RES",  "ZEPRIN.RES",  "TTESTF.RES",  "INTEGR.RES",  "RESULT.RES",
                              "list_par.res", "ANGLE.RES",  "old_ang.res", "RAB.RES"};

class Runs : public KavoldApp {
 protected:
  void SetUp() override {
    KavoldApp::SetUp();
    SetProgramFolder({});
    hooks::setDialogHook([this](hooks::DialogDriver& d) {
      questions.push_back(d.templateId());
      if (d.templateId() == CFitDlg::IDD && markYes) d.setChecked(IDC_FIT_YES, true);
      d.click(IDOK);
    });
  }
  void TearDown() override {
    SetProgramFolder({});
    KavoldApp::TearDown();
  }
  // A time-spectra program that notes what it found and writes two spectra
  // of three channels, the theory being the run number times 1, 2 and 3.
  void fakeZeprin() {
    program("ZEPRIN",
            "ls > seen.txt; cat NEXT.INP > next-seen.txt\n"
            "n=$(( $(cat runs 2>/dev/null || echo 0) + 1 )); echo $n > runs\n"
            "for k in 1 2; do printf '  10.0 5.0 %d\\n  20.0 6.0 %d\\n  30.0 7.0 %d\\n' $n $((2*n)) $((3*n)) > "
            "BUFFTN$k.RES; done\n"
            "printf '    1   2.500  0.5\\n    2   3.500  0.25\\n  0.375\\n' > RESULT.res\n"
            "printf '    2.6000\\n    3.6000\\n' > ANGLE.RES\n"
            "for k in 1 2; do printf '  -1.0 0.5\\n   0.0 1.0\\n   1.0 0.5\\n' > BUFFEN$k.RES; done\n"
            "printf '  -1.0 0.2 0.4\\n   0.0 0.8 0.1\\n   1.0 0.2 0.4\\n   2.0 0.0 0.0\\n' > E_spcN.res\n"
            "printf '    0.0    10.0\\n     3\\n   0.0  2.0  0.1\\n   1.0  4.0  0.2\\n   2.0  4.0  0.2\\n' > EL_mod.RES\n"
            "printf '    0.0    10.0\\n     1     2     2\\n   0.0  0.5  0.25\\n   1.0  1.0  0.5\\n' > MODELN.RES\n");
  }
  int counters() const {
    const KavoldGlobals& g = globals();
    return g.runTime * 1000 + g.runDelayed * 100 + g.runPrompt * 10 + g.runCEMS;
  }
  std::vector<UINT> questions;
  bool markYes = false;
};

TEST_F(Runs, TimeSpectraRunProtectsTheScriptDeletesOldResultsAndReadsTheNewOnes) {
  fakeZeprin();
  dir.write("NEXT.INP", kScript);
  for (const char* name : kStale) dir.write(name, "old");
  view->m_ModelDlg.m_NSPC = 2;

  view->OnRunTimeSpectra();
  EXPECT_EQ(questions, std::vector<UINT>{CFitDlg::IDD});
  EXPECT_TRUE(messages().empty()) << messages().front();
  EXPECT_EQ(dir.read("next-seen.txt"), NextWithoutVariationsText());  // the run computed only
  EXPECT_EQ(dir.read("NEXT.INP"), kScript);                           // and the script came back
  EXPECT_EQ(dir.read("NEXTs.RES"), kScript);
  const std::string seen = dir.read("seen.txt");
  for (const char* name : kStale) EXPECT_EQ(seen.find(name), std::string::npos) << name;
  EXPECT_EQ(counters(), 1000);
  EXPECT_EQ(view->m_timeModel.initial, "m.inf");
  EXPECT_EQ(view->m_timeModel.current, "m.inf");
  EXPECT_EQ(view->m_mode, 1);

  // Without experiment files the theory is 200 times the third column;
  // every line of the files is a point.
  const TimeCurves& t = view->m_time;
  EXPECT_EQ((std::vector<int>{t.nini[0], t.nini[1], t.ncur[0], t.ncur[1]}), (std::vector<int>{3, 3, 3, 3}));
  EXPECT_EQ((std::vector<float>{t.tcur[1][1], t.yini[0][0], t.ycur[1][1], t.ycur[2][1]}),
            (std::vector<float>{20, 200, 400, 600}));
  EXPECT_FLOAT_EQ(view->m_ModelDlg.m_Angle[1], 3.6f);
  const KavoldGlobals& g = globals();
  EXPECT_EQ(g.reflectivity.n, 3);
  EXPECT_EQ(g.absorption.n, 4);
  EXPECT_FLOAT_EQ(g.absorption.norm, 0.8f);
  EXPECT_FLOAT_EQ(g.absorption.s[1], 1.0f);
  EXPECT_EQ(g.elProfile.n, 3);
  EXPECT_FLOAT_EQ(g.elProfile.re[0], 0.5f);  // divided by the largest real part
  EXPECT_EQ(g.hfiProfile.n, 2);
  EXPECT_FLOAT_EQ(g.hfiProfile.v[1][3], 1.5f);  // the sum of the two multiplets

  // A second run: the initial curves stay, the depth profiles are not read.
  // An earlier fitted model taken on as the model is not deleted.
  dir.write("EL_mod.RES", "0 10\n 1\n 0 9 9\n");
  dir.write("FILEM.INP", "Layspc.res  \n \t 2 \n");
  dir.write("LAYSPC.RES", "model");
  view->OnRunTimeSpectra();
  EXPECT_NE(dir.read("seen.txt").find("LAYSPC.RES\n"), std::string::npos);
  EXPECT_EQ(dir.read("LAYSPC.RES"), "model");
  EXPECT_EQ(counters(), 2000);
  EXPECT_EQ((std::vector<float>{t.yini[0][0], t.ycur[0][0]}), (std::vector<float>{200, 400}));
  EXPECT_EQ(g.elProfile.n, 3);
}

TEST_F(Runs, AMissingProgramLeavesTheScriptAndTheCountersAsTheyWere) {
  dir.write("NEXT.INP", kScript);
  for (const char* name : kStale) dir.write(name, "old");
  view->OnRunTimeSpectra();
  EXPECT_EQ(messages(), std::vector<CString>{"can not find file: ZEPRIN.exe"});
  EXPECT_EQ(dir.read("NEXT.INP"), kScript);
  EXPECT_EQ(counters(), 0);
  for (const char* name : kStale) EXPECT_FALSE(dir.exists(name)) << name;

  // A stale copy of an earlier session is not put back over a missing script.
  fs::remove(dir.path() / "NEXT.INP");
  dir.write("NEXTs.RES", "stale\n");
  boxes.boxes.clear();
  view->OnRunTimeSpectra();
  EXPECT_EQ(messages(), (std::vector<CString>{"can not find file: NEXT.inp", "can not find file: ZEPRIN.exe"}));
  EXPECT_FALSE(dir.exists("NEXT.INP"));
  EXPECT_EQ(dir.read("NEXTs.RES"), "stale\n");
}

TEST_F(Runs, AFitRunLeavesTheScriptAndTheBoxKeepsItsAnswer) {
  fakeZeprin();
  dir.write("NEXT.INP", kScript);
  markYes = true;
  view->OnRunTimeSpectra();
  EXPECT_EQ(dir.read("next-seen.txt"), kScript);
  EXPECT_FALSE(dir.exists("NEXTs.RES"));
  EXPECT_EQ(view->m_timeModel.current, "Layspc.res");
  // A script that varies nothing asks nothing; the kept answer still fits.
  dir.write("NEXT.INP", NextWithoutVariationsText());
  questions.clear();
  markYes = false;
  view->OnRunTimeSpectra();
  EXPECT_TRUE(questions.empty());
  EXPECT_FALSE(dir.exists("NEXTs.RES"));
  EXPECT_EQ(view->m_timeModel.current, "Layspc.res");
}

// The other three waiting runs: what each counts, which labels it sets and
// which results it reads, with and without its program.
TEST_F(Runs, DelayedPromptAndCemsRunsCountAndReadWhateverIsThere) {
  dir.write("NEXT.INP", NextWithoutVariationsText());
  dir.write("DELAY2.res", "  2.0  40.0  20.0\n  3.0  80.0  10.0\n");
  dir.write("PROMP2.res", "  2.0  0.5  0.25\n  3.0  1.0  0.5\n  4.0  0.5 0.2\n");
  dir.write("RESULTI.res", "  0.1  0.2  0.3\n");
  view->m_LoadDlg.m_Delayed = 1;
  view->m_LoadDlg.m_DelayedFile = "refl.dat";
  view->WriteDelFile();
  view->OnRunDelayed();  // no experiment file, no MOLVEC
  EXPECT_EQ(messages(), (std::vector<CString>{"CAN NOT FIND FILE with delayed and prompt exper.data",
                                              "can not find file: MOLVEC.exe", "CAN NOT FIND FILE:  EL_MOD.RES",
                                              "CAN NOT FIND FILE:  MODELN.RES"}));
  EXPECT_EQ(view->m_del.Intexp, 0);
  EXPECT_NE(dir.read("MOLVEC.INP").find("\t 0 \t  Intexp"), std::string::npos);
  EXPECT_EQ(counters(), 110);
  const ReflectivityCurves& r = view->m_refl;
  // Without an experiment both curves are divided by the first run's
  // largest theory value.
  EXPECT_EQ((std::vector<int>{r.ndcur, r.npcur, r.nexp, r.ndini, r.npini}), (std::vector<int>{2, 3, 3, 2, 3}));
  EXPECT_EQ((std::vector<float>{r.dcur[0], r.dcur[1], r.pcur[0], r.dini[0]}), (std::vector<float>{1, 0.5f, 0.5f, 1}));

  boxes.boxes.clear();
  program("QUASTO", "echo prompt > ran-quasto\n");
  view->OnRunPrompt();
  EXPECT_TRUE(dir.exists("ran-quasto"));
  EXPECT_EQ(counters(), 120);
  EXPECT_EQ(view->m_mode, 3);
  // The first-run labels come with a start: the delayed run had none.
  EXPECT_EQ(view->m_delayedModel.initial, "");
  EXPECT_EQ(view->m_promptModel.current, "m.inf");

  boxes.boxes.clear();
  view->OnRunCems();  // started whatever the probes found
  EXPECT_EQ(messages(), (std::vector<CString>{"can not find file: BRINAX.exe", "CAN NOT FIND FILE: CEMfit.res",
                                              "CAN NOT FIND FILE: CEMfit.res", "CAN NOT FIND FILE: EpsCEM.res",
                                              "CAN NOT FIND FILE: EpsCEM.res"}));
  EXPECT_EQ(counters(), 121);
  EXPECT_EQ(view->m_mode, 4);
}

// A program that fails is reported once, with its status and its last
// lines, and nothing of its run is read or counted: the view, its model
// names and the script are as they were.  A start without waiting that
// fails is reported once it has ended, one that cannot start at once, and
// the start is undone.
TEST_F(Runs, AFailedProgramIsReportedAndNothingOfItIsRead) {
  struct Case {
    const char* program;
    std::function<void()> run;
    const char* ending;
    const char* how;
  };
  const std::string wrote = "echo computing\necho 'run-time error: file not found' >&2\n";
  const std::string lines = ". Its last lines:\ncomputing\nrun-time error: file not found";
  const std::vector<Case> cases = {
      {"ZEPRIN", [this] { view->OnRunTimeSpectra(); }, "exit 3", " stopped with exit status 3"},
      {"MOLVEC", [this] { view->OnRunDelayed(); }, "exit 3", " stopped with exit status 3"},
      {"QUASTO", [this] { view->OnRunPrompt(); }, "exit 3", " stopped with exit status 3"},
      {"BRINAX", [this] { view->OnRunCems(); }, "kill -9 $$", " was ended by signal 9"}};
  for (const Case& c : cases) {
    program(c.program, wrote + c.ending + "\n");
    dir.write("NEXT.INP", kScript);
    boxes.boxes.clear();
    c.run();
    EXPECT_EQ(messages(),
              std::vector<CString>{(c.program + (".exe" + (c.how + lines)) + "\nNothing of this run was read.").c_str()});
    EXPECT_EQ(counters(), 0) << c.program;
    for (const ModelLabels* l : {&view->m_timeModel, &view->m_delayedModel, &view->m_promptModel, &view->m_cemsModel})
      EXPECT_EQ(l->current, "") << c.program;
    EXPECT_EQ(dir.read("NEXT.INP"), kScript) << c.program;
  }

  for (const bool found : {true, false}) {
    if (!found) fs::remove(dir.path() / "ZEPRIN");
    boxes.boxes.clear();
    view->OnFitTimeSpectra();
    for (int i = 0; i < 400 && boxes.boxes.empty(); ++i) {
      hooks::processEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(messages(), std::vector<CString>{found ? ("ZEPRIN.exe stopped with exit status 3" + lines).c_str()
                                                     : "can not find file: ZEPRIN.exe"});
    EXPECT_EQ(counters(), 0) << found;
    EXPECT_EQ(view->m_pressTime, 0) << found;
    EXPECT_EQ(view->m_timeModel.current, "") << found;
  }
}

// A program started without waiting keeps every other start out until it
// ends; its results are read by the show button, which clears the hint.
TEST_F(Runs, AStartWithoutWaitRefusesTheNextStartUntilItEnds) {
  program("ZEPRIN", "while [ ! -e go ]; do sleep 0.05; done\necho done > ended\n");
  dir.write("NEXT.INP", kScript);
  view->OnFitTimeSpectra();
  EXPECT_EQ(view->m_pressTime, 1);
  EXPECT_EQ(view->m_timeModel.current, "Layspc.res");
  EXPECT_EQ(counters(), 1000);
  ASSERT_EQ(RunningPrograms(), std::vector<std::string>{"ZEPRIN.exe"});

  view->OnRunDelayed();
  view->OnFitPromptCurve();
  EXPECT_EQ(messages(), std::vector<CString>(2, "ZEPRIN.exe is still running in this directory: wait until it ends, "
                                                "or end it with \"Stop calculations\"."));
  EXPECT_EQ(counters(), 1000);
  EXPECT_EQ(dir.read("NEXT.INP"), kScript);

  dir.write("go", "");
  for (int i = 0; i < 400 && !RunningPrograms().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(dir.exists("ended"));
  EXPECT_TRUE(RunningPrograms().empty());
  view->OnShowTimeSpectra();
  EXPECT_EQ(view->m_pressTime, 0);
}

// While a waited-for program runs the window repaints, takes no command and
// names the program in the status bar.
TEST_F(Runs, AWaitingRunKeepsRepaintingAndTakesNoCommands) {
  program("ZEPRIN", "while [ ! -e go ]; do sleep 0.02; done\n");
  dir.write("NEXT.INP", NextWithoutVariationsText());
  hooks::DrawLog log;
  CString pane;
  int modeDuringRun = 0;
  hooks::runLater(150, [&] {
    pane = frame->GetStatusBar()->GetPaneText(2);
    frame->OnCmdMsg(ID_SHOW_DELAYED, nullptr);
    modeDuringRun = view->m_mode;
    hooks::setDrawLog(&log);
    view->Invalidate();
  });
  hooks::runLater(450, [&] {
    hooks::setDrawLog(nullptr);
    dir.write("go", "");
  });
  view->m_mode = 3;
  view->OnRunTimeSpectra();
  EXPECT_EQ(pane, "Running ZEPRIN.exe ...");
  EXPECT_EQ(modeDuringRun, 3);
  bool painted = false;
  for (const auto& op : log.of(hooks::DrawOp::Kind::Text)) painted = painted || op.text == " Glancing angle (mrad)";
  EXPECT_TRUE(painted);
  EXPECT_EQ(frame->GetStatusBar()->GetPaneText(2), "Ready");
  EXPECT_EQ(view->m_mode, 1);  // the run's own show command
}

TEST_F(Runs, CleanPreviousResultDeletesTheResultsOnly) {
  const char* const results[] = {"Buffen1.res", "NEXTs.res", "TOLPEK.RES", "CEMfit.res", "Delay2.res", "Promp2.res",
                                 "Resulti.res", "MOLVEC.res", "Relay.res", "El_mod.res", "Quasto.res", "Joint.res",
                                 "INMOD.RES", "CEMorig.res", "Buff.res", "NEXTJ.res", "Save.res", "EpsCEM.res"};
  const char* const kept[] = {"NEXT.INP", "ZEPRIN.INP", "MOLVEC.INP", "FILEM.INP", "m.inf", "Tconst.INI", "x.dat"};
  for (const char* name : results) dir.write(name, "r");
  for (const char* name : kStale) dir.write(name, "r");
  for (const char* name : kept) dir.write(name, "k");
  view->OnCleanPreviousResult();
  view->OnCleanPreviousResult();
  for (const char* name : results) EXPECT_FALSE(dir.exists(name)) << name;
  for (const char* name : kStale) EXPECT_FALSE(dir.exists(name)) << name;
  for (const char* name : kept) EXPECT_TRUE(dir.exists(name)) << name;
  EXPECT_TRUE(boxes.boxes.empty());
  // The model is no result, whatever its name.
  dir.write("FILEM.INP", "result.RES\n");
  dir.write("RESULT.RES", "model");
  view->OnCleanPreviousResult();
  EXPECT_TRUE(dir.exists("RESULT.RES"));
}

// The rows of a result file: `columns` numbers each.
std::vector<std::vector<float>> rowsOf(const std::string& name, int columns) {
  std::vector<std::vector<float>> rows;
  auto in = NumberStream::Open(name.c_str());
  std::vector<float> v(static_cast<std::size_t>(columns));
  while (in && in->Next(v.data(), columns)) rows.push_back(v);
  return rows;
}

// The real time-spectra program beside the front end, on the shipped film:
// three angles, no experiment.
TEST_F(Runs, RealZeprinComputesTheShippedFilmAndTheViewReadsItsSpectra) {
  SetProgramFolder(NRS_BIN_DIR);
  nrstest::copyExample(dir, "fe57-film");
  view->OnGetPreviousSettings();
  EXPECT_EQ(messages(), (std::vector<CString>{"CAN NOT FIND FILE: MOLVEC.INP", "CAN NOT FIND FILE: AXISF.INP",
                                              "can not find file: FilCEM.INP"}));
  EXPECT_EQ(view->m_ModelDlg.m_NSPC, 3);
  EXPECT_EQ(view->m_GeneralDlg.m_NNN, 2);
  view->OnRunTimeSpectra();
  EXPECT_TRUE(questions.empty());
  EXPECT_EQ(counters(), 1000);
  const TimeCurves& t = view->m_time;
  for (int k = 0; k < 3; ++k) {
    const auto rows = rowsOf("BUFFTN" + std::to_string(k + 1) + ".RES", 3);
    ASSERT_EQ(t.ncur[k], static_cast<int>(rows.size()));
    EXPECT_GT(t.ncur[k], 100);
    for (int i = 0; i < t.ncur[k]; ++i)
      EXPECT_FLOAT_EQ(t.ycur[i][k], 200 * rows[i][2]) << "spectrum " << k + 1 << " line " << i;
  }
  EXPECT_GT(globals().elProfile.n, 3);
}

// The shipped fit from "Get previous settings" on: two angles with their
// experiments, fitted when "Yes" is marked.
TEST_F(Runs, RealZeprinFitsTheShippedExampleWhenYesIsMarked) {
  SetProgramFolder(NRS_BIN_DIR);
  nrstest::copyExample(dir, "fe57-fit");
  view->OnGetPreviousSettings();
  EXPECT_EQ(view->m_LoadDlg.m_NFiles, 2);
  EXPECT_GT(view->m_time.nexp[1], 100);
  markYes = true;
  view->OnRunTimeSpectra();
  EXPECT_EQ(questions, std::vector<UINT>{CFitDlg::IDD});
  EXPECT_EQ(counters(), 1000);
  EXPECT_EQ(view->m_timeModel.current, "Layspc.res");
  EXPECT_TRUE(dir.exists("LAYSPC.RES"));
  // The merit of the fitted model is the total of "RESULT.res".
  const auto result = rowsOf("RESULT.res", 7);
  ASSERT_FALSE(result.empty());
  EXPECT_FLOAT_EQ(view->m_eps.epsn, result[0][6]);
  EXPECT_GT(view->m_eps.epsn, 0);
  EXPECT_EQ(view->m_time.ncur[1], view->m_time.nexp[1]);
}

float largest(const std::vector<std::vector<float>>& rows, int column) {
  float m = 0;
  for (const auto& r : rows) m = std::max(m, r[static_cast<std::size_t>(column)]);
  return m;
}

// A reflectivity curve of the view against the rows of its file: every row,
// its angle, and experiment and theory divided by `norm`.
void expectCurve(const std::vector<std::vector<float>>& rows, int n, const float* angle, const float* experiment,
                 const float* theory, float norm, const char* what) {
  ASSERT_EQ(n, static_cast<int>(rows.size())) << what;
  for (int i = 0; i < n; ++i) {
    const auto& r = rows[static_cast<std::size_t>(i)];
    ASSERT_EQ(angle[i], r[0]) << what << " row " << i;
    ASSERT_FLOAT_EQ(experiment[i], r[1] / norm) << what << " row " << i;
    ASSERT_FLOAT_EQ(theory[i], r[2] / norm) << what << " row " << i;
  }
}

// A shipped reflectivity or CEMS example as "Get previous settings" reads
// its own files, run by its real program with the parameter file that the
// front end writes: computed once, then fitted to a lower merit.
class RealRuns : public Runs {
 protected:
  void prepare(const char* example) {
    SetProgramFolder(NRS_BIN_DIR);
    nrstest::copyExample(dir, example);
    view->OnGetPreviousSettings();
    boxes.boxes.clear();
  }
};

TEST_F(RealRuns, MolvecComputesThenFitsTheShippedCurves) {
  prepare("fe57-delayed");
  ASSERT_TRUE(view->WriteDelFile());
  view->OnRunDelayed();
  EXPECT_TRUE(messages().empty()) << messages().front();
  const ReflectivityCurves& r = view->m_refl;
  // The first run fixes the scale: the largest measured value of each curve.
  const auto delayed = rowsOf("DELAY2.res", 3), prompt = rowsOf("PROMP2.res", 3);
  const float dnorm = largest(delayed, 1);
  expectCurve(delayed, r.ndcur, r.adcur, r.dexp, r.dcur, dnorm, "delayed");
  expectCurve(prompt, r.npcur, r.apcur, r.pexp, r.pcur, largest(prompt, 1), "prompt");
  EXPECT_EQ(view->m_eps.epsni, rowsOf("RESULTI.res", 3).at(0)[2]);

  markYes = true;
  view->OnRunDelayed();
  expectCurve(rowsOf("DELAY2.res", 3), r.ndcur, r.adcur, r.dexp, r.dcur, dnorm, "fitted delayed");
  EXPECT_LT(view->m_eps.epsni, view->m_eps.eps0i);
}

// A multilayer without nuclear part: "MOLVEC.INP" holds the prompt section
// only, and no multiplet profile is asked for.
TEST_F(RealRuns, QuastoComputesThenFitsTheShippedMultilayer) {
  prepare("fe-si-multilayer");
  ASSERT_TRUE(view->WriteDelFile());
  view->OnRunPrompt();
  EXPECT_TRUE(messages().empty()) << messages().front();
  const ReflectivityCurves& r = view->m_refl;
  const auto prompt = rowsOf("PROMP2.res", 3);
  const float norm = largest(prompt, 1);
  expectCurve(prompt, r.npini, r.apini, r.pexp, r.pini, norm, "initial prompt");
  EXPECT_EQ(view->m_eps.epsnp, rowsOf("RESULTI.res", 3).at(0)[0]);

  markYes = true;
  view->OnRunPrompt();
  expectCurve(rowsOf("PROMP2.res", 3), r.npcur, r.apcur, r.pexp, r.pcur, norm, "fitted prompt");
  EXPECT_LT(view->m_eps.epsnp, view->m_eps.eps0p);
}

// The shipped "FilCEM.inp" is the front end's own layout.
TEST_F(RealRuns, BrinaxComputesThenFitsTheShippedCemsSpectrum) {
  prepare("fe57-cems");
  const std::string filcem = dir.read("FilCEM.inp");
  ASSERT_TRUE(view->WriteCemsFile());
  EXPECT_EQ(dir.read("FilCEM.inp"), filcem);
  view->OnRunCems();
  EXPECT_TRUE(messages().empty()) << messages().front();
  const CemsCurves& c = view->m_cems;
  const auto rows = rowsOf("CEMfit.res", 4);  // one multiplet
  ASSERT_EQ(c.n, static_cast<int>(rows.size()));
  for (int i = 0; i < c.n; ++i)
    ASSERT_EQ((std::vector<float>{c.vini[i], c.v[i], c.yexp[i], c.totcur[i], c.partcur[i][1]}),
              (std::vector<float>{rows[i][0], rows[i][0], rows[i][1], rows[i][2], rows[i][3]}))
        << "row " << i;
  EXPECT_EQ(view->m_eps.EpsCEMn, rowsOf("EpsCEM.res", 1).at(0)[0]);

  markYes = true;
  view->OnRunCems();
  EXPECT_EQ(rowsOf("CEMfit.res", 4)[0][2], c.totcur[0]);
  EXPECT_LT(view->m_eps.EpsCEMn, view->m_eps.EpsCEM);
}

}  // namespace
