// The joint fit: its trial rules, the fit script as the programs read it,
// and whole fits run by fake programs (shell scripts whose merits are
// parabolas in the thickness of the first layer).
#include <cmath>
#include <filesystem>
#include <iterator>
#include <regex>
#include <sstream>

#include "frontend/Globals.hpp"
#include "frontend/JointFit.hpp"
#include "frontend/ParamFiles.hpp"
#include "kavold_fixture.hpp"

namespace {

using namespace kavoldtest;
namespace fs = std::filesystem;

TEST(JointFitRules, TrialsStepReverseKeepAndLeave) {
  struct Tried {
    float kept, step;
    bool mayCross;
    float tried;
  };
  // Nothing but IS and EFG crosses zero: Bhf 33 with the step -40 tries 7;
  // a kept 0 is tried at the negated step.
  for (const Tried& t : std::vector<Tried>{
           {33, -40, false, 7}, {0.1f, -0.3f, true, -0.2f}, {0, 0.5f, false, -0.5f}, {-2, 3, false, -1}, {2, 1, false, 3}})
    EXPECT_FLOAT_EQ(TriedValue(t.kept, t.step, t.mayCross), t.tried) << t.kept << " " << t.step;

  struct Judged {
    int trial;
    float eps, best, EPFIN, step;
    TrialOutcome expected;
  };
  for (const Judged& j : std::vector<Judged>{
           {0, 1.00001f, 1, 1e-3f, 0.5f, {false, false, -0.6f}},  // doubled, then reversed: -1.2 x the step
           {0, 0.5f, 1, 1e-3f, 1, {false, true, 1}},              // better: kept
           {0, 1, 1, 0, 1, {false, false, 1}},                     // equal: neither kept nor reversed
           {2, 0.99999f, 1, 1e-3f, 1, {true, false, 1}},          // too small a change ends the record
           {2, 2, 1, 1e-3f, 1, {false, false, -0.6f}},            // worse: reversed and shortened
       }) {
    const TrialOutcome o = JudgeTrial(j.trial, j.eps, j.best, j.EPFIN, j.step);
    EXPECT_EQ(o.leave, j.expected.leave) << j.trial << " " << j.eps;
    EXPECT_EQ(o.keep, j.expected.keep) << j.trial << " " << j.eps;
    EXPECT_FLOAT_EQ(o.step, j.expected.step) << j.trial << " " << j.eps;
  }
}

// Records as the programs read them: one a line, comments dropped; a
// negative correlated line gives the factor -1, a correlated column 0 the
// column of the entry; the script ends without its closing record too.
TEST(JointFitRules, ScriptRecordsAreReadOneALine) {
  ParamScanner in(" 1   switch\n 4 1 0.30 -3 2 5.0  Bhf\n 5 2 0.1 7 0 0.5\n 1 1 1.0 0 0 0");
  in.Int();
  in.EndOfRecord();
  std::vector<std::vector<float>> got;
  while (auto r = NextScriptRecord(in))
    got.push_back({float(r->in1), float(r->ip1), r->sp1, float(r->in2), float(r->ip2), r->f2});
  EXPECT_EQ(got, (std::vector<std::vector<float>>{{4, 1, 0.3f, 3, 2, -1}, {5, 2, 0.1f, 7, 2, 0.5f}, {1, 1, 1, 0, 1, 0}}));
}

// Fake programs: the time-spectra program's merit is 0.01 (h - 150)^2 +
// 0.5 spread over one record per compared angle, the delayed-prompt
// program's 0.0025 (h - 150)^2, with h the thickness of the first layer
// of the model file.  Each writes its merits and its own fitted model.
class JointFit : public KavoldApp {
 protected:
  void SetUp() override {
    KavoldApp::SetUp();
    SetProgramFolder({});
    const std::string thickness =
        "model=$(head -n 1 FILEM.INP)\n"
        "h=$(awk '/H1A/ {getline; print $2; exit}' \"$model\")\n"
        "echo run >> runs\n";
    program("ZEPRIN", thickness + "cat \"$model\" >> trials\n" +
                          "ne=$(awk 'NR==1 {print $1}' FILESE.INP); ns=$(awk 'NR==2 {print $1}' FILEM.INP)\n"
                          "awk -v h=$h -v ne=$ne -v ns=$ns 'BEGIN { n = (ne != 0 && ne < ns) ? ne : ns;"
                          " m = 0.01 * (h - 150)^2 + 0.5;"
                          " for (k = 1; k <= n; k++) printf \"%5d%10.3f%15.8f\\n\", k, 3, m / n;"
                          " printf \"%15.8f\\n\", m }' > RESULT.res\n"
                          "{ cat \"$model\"; echo ' zeprin'; } > LAYSPC.RES\n" +
                          stopAfter);
    program("MOLVEC", thickness +
                          "awk -v h=$h 'BEGIN { m = 0.0025 * (h - 150)^2; printf \" %f %f %f\\n\", m, m, m }'"
                          " > RESULTI.res\n"
                          "{ cat \"$model\"; echo ' molvec'; } > LAYSPC.RES\n");
    // A film of 160 Angstrom on a substrate, two experiment files and one
    // angle: the time-spectra program compares one spectrum.
    CGeneralDlg& gd = view->m_GeneralDlg;
    gd.m_NNN = 2;
    gd.m_NM = 1;
    view->m_model(1, 1) = 160;
    view->m_model(2, 1) = 1000;
    view->m_model(2, 2) = -4.6412f;  // typed with a decimal more than its form
    view->m_model(3, 9) = 1;
    view->m_model(4, 1) = 33;
    for (int k = 1; k <= 2; ++k)
      for (int c = 1; c <= 11; ++c) view->m_layerInt(k, c) = c == kColKSTEP ? 0 : 1;
    view->m_ModelDlg.m_ModelFile = "film.inf";
    view->m_ModelDlg.m_NSPC = 1;
    view->m_LoadDlg.m_NFiles = 2;
    view->m_ComputationDlg.m_ISTOP = 15;
    view->m_ComputationDlg.m_EPFIN = 1e-4f;
    ASSERT_TRUE(view->WriteFileM() && view->WriteFilesE() && view->WriteStopFile(1));
    view->m_NewModelDlg.m_NewModelFile = "film.inf";
    view->WriteModelFile();
    startModel = dir.read("film.inf");
  }
  void TearDown() override {
    SetProgramFolder({});
    KavoldApp::TearDown();
  }
  int runs() const {
    const std::string r = dir.read("runs");
    return static_cast<int>(std::count(r.begin(), r.end(), '\n'));
  }
  std::string stopAfter;  // shell lines the time-spectra program ends with
  std::string startModel;
};

// The matches of `pattern` in `text`.
std::ptrdiff_t matches(const std::string& text, const char* pattern) {
  const std::regex re(pattern);
  return std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator());
}

// A record outside the table is skipped with a message; the script has no
// closing record; the merit of the time spectra is the total after the one
// compared spectrum, although two experiment files are loaded.
TEST_F(JointFit, TheThicknessConvergesOnTheParabolaAndTheStartIsPutBack) {
  const std::string script = " 1\n 99 1 1.0 0 0 0\n 1 1 3.3 0 0 0   film\n 1 1 1.0 0 0 0";
  dir.write("NEXT.INP", script);
  view->OnJointFit();
  ASSERT_FALSE(messages().empty());
  EXPECT_EQ(messages()[0], "NEXT.INP: the record of line 99, column 1 addresses the model table outside its lines 1 "
                           "to 14 and columns 1 to 27: skipped.");
  EXPECT_NEAR(view->m_model(1, 1), 150.0f, 0.1f);
  EXPECT_NEAR(view->m_eps.epsn, 0.5f, 1e-3f);  // of the final run on the kept model
  // The model file and the script are back; the fitted model of the last
  // run, the delayed-prompt program's, is in "BUFF.res".
  EXPECT_EQ(dir.read("film.inf"), startModel);
  EXPECT_EQ(dir.read("NEXT.INP"), script);
  EXPECT_EQ(dir.read("BUFF.res"), dir.read("LAYSPC.RES"));
  EXPECT_NE(dir.read("BUFF.res").find(" molvec"), std::string::npos);
  std::istringstream fitted(dir.read("BUFF.res").substr(dir.read("BUFF.res").find("KSTEP") + 5));
  int layer = 0;
  float h = 0;
  fitted >> layer >> h;
  EXPECT_NEAR(h, 150.0f, 0.1f);
  EXPECT_EQ(dir.read("STOP.INP"), " 1 \n");
  EXPECT_EQ(dir.read("Joint.res").substr(0, 25), " initial epssn: 1.750000\n");
  EXPECT_EQ(view->m_timeModel.current, "Layspc.res");
  EXPECT_EQ(view->m_promptModel.current, "Layspc.res");
  EXPECT_EQ(globals().runTime, 1);
  EXPECT_EQ(globals().runDelayed, 1);

  // What the fit computed is written in its form ("%10.4f" for the
  // thickness) in every trial, and in the model and the list after an
  // unchanged "List_par"; typed digits stay, in the list too.
  view->OnListPar();
  const std::string list = dir.read("LIST_PAR.res"), model = dir.read("film.inf"), trials = dir.read("trials");
  const char* const thickness = "KSTEP\n 1   1[0-9]{2}\\.[0-9]{4} ";
  const std::ptrdiff_t models = matches(trials, "KSTEP");
  EXPECT_GT(models, 2);
  EXPECT_EQ(matches(trials, thickness), models) << trials;
  EXPECT_EQ(matches(trials, "   -4\\.6412 "), models);
  EXPECT_EQ(matches(model, thickness), 1) << model;
  EXPECT_EQ(matches(model, "   -4\\.6412 "), 1) << model;
  EXPECT_EQ(matches(list, "\n  1   1   1[0-9]{2}\\.[0-9]{4} "), 1) << list;
  EXPECT_EQ(matches(list, "\n  2   2    -4\\.6412 "), 1) << list;
  editor = [this](const std::string&) {
    std::string text = dir.read("LIST_PAR.res");
    text.replace(text.find("\n  1   1 ") + 9, 10, " 150.03125");
    dir.write("LIST_PAR.res", text);
  };
  view->OnListPar();
  EXPECT_NE(dir.read("film.inf").find("\n 1  150.03125 "), std::string::npos) << dir.read("film.inf");
}

// "STOP.INP" 0 ends the search after the trial that reads it: the kept
// value goes back into the table and the next record is not tried.
class JointFitStopped : public JointFit {
 protected:
  // The time-spectra program of the second trial (the fifth program run)
  // asks for the stop.
  JointFitStopped() { stopAfter = "if [ $(wc -l < runs) -eq 5 ]; then echo 0 > STOP.INP; fi\n"; }
};

TEST_F(JointFitStopped, StopZeroEndsAfterTheCurrentTrial) {
  dir.write("NEXT.INP", " 1\n 1 1 -4.0 0 0 0\n 1 1 1.0 0 0 0\n 0 0 0 0 0 0\n");
  view->OnJointFit();
  // Reference run and two trials, each with both programs, then the final runs.
  EXPECT_EQ(runs(), 2 + 2 * 2 + 2);
  EXPECT_FLOAT_EQ(view->m_model(1, 1), 152);  // 156 kept, 152 kept, then the stop
  // A trial's line: value, merit, best, the correlated value (none: 0),
  // both entries, the step, the factor and the trial.
  const std::string log = dir.read("Joint.res");
  EXPECT_NE(log.find("\n    156.000000 0.950000 1.750000 0.000000 1 1 0 1  -4.000000 0.000000 0 \n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("end jf : IFFF= 0 \n  IFFF= 0 \n"), std::string::npos) << log;
  EXPECT_EQ(dir.read("STOP.INP"), " 1 \n");
  EXPECT_EQ(dir.read("film.inf"), startModel);
}

// A program that fails stops the fit with its message: its merit files are
// not scored, no final run is made, the kept value stays in the table and
// the starting model and the script go back.
class JointFitFailing : public JointFit {
 protected:
  // The time-spectra program of the first trial (the third program run)
  // fails after writing its merits.
  JointFitFailing() { stopAfter = "if [ $(wc -l < runs) -eq 3 ]; then echo 'no memory' >&2; exit 4; fi\n"; }
};

TEST_F(JointFitFailing, AFailedRunStopsTheFit) {
  const std::string script = " 1\n 1 1 -4.0 0 0 0\n 0 0 0 0 0 0\n";
  dir.write("NEXT.INP", script);
  view->OnJointFit();
  EXPECT_EQ(messages(), std::vector<CString>{"ZEPRIN.exe stopped with exit status 4. Its last lines:\nno memory\n"
                                             "Nothing of this run was read."});
  EXPECT_EQ(runs(), 3);
  EXPECT_EQ(view->m_model(1, 1), 160.0f);
  EXPECT_EQ(dir.read("Joint.res"), " initial epssn: 1.750000\n");
  EXPECT_EQ(dir.read("film.inf"), startModel);
  EXPECT_EQ(dir.read("NEXT.INP"), script);
  EXPECT_FALSE(dir.exists("BUFF.res"));
  EXPECT_EQ(globals().runTime, 0);
}

// When the script or the model cannot be copied aside, nothing starts and
// nothing is put back: no stale copy of an earlier fit replaces a file.
TEST_F(JointFit, CopiesThatFailLeaveEverythingAsItWas) {
  struct Case {
    const char* what;
    std::function<void()> prepare;
    CString message;
  };
  const std::vector<Case> cases = {
      {"NEXTJ.res cannot be written", [&] { fs::create_directory(dir.path() / "NEXTJ.res"); },
       "can not create file: NEXTJ.res"},
      {"no model, a stale save.res", [&] {
         fs::remove(dir.path() / "film.inf");
         dir.write("save.res", "stale\n");
       },
       "CAN NOT FIND theoretical model FILE"},
  };
  const std::string script = " 1\n 1 1 3.0 0 0 0\n 0 0 0 0 0 0\n";
  for (const Case& c : cases) {
    for (const char* name : {"NEXTJ.res", "save.res"}) fs::remove_all(dir.path() / name);
    dir.write("film.inf", startModel);
    dir.write("NEXT.INP", script);
    c.prepare();
    const bool hadModel = dir.exists("film.inf"), hadScript = dir.exists("NEXT.INP");
    boxes.boxes.clear();
    view->OnJointFit();
    EXPECT_EQ(messages(), std::vector<CString>{c.message}) << c.what;
    EXPECT_FALSE(dir.exists("runs")) << c.what;
    EXPECT_EQ(dir.exists("film.inf") ? dir.read("film.inf") : "", hadModel ? startModel : "") << c.what;
    EXPECT_EQ(dir.exists("NEXT.INP") ? dir.read("NEXT.INP") : "", hadScript ? script : "") << c.what;
  }
}

}  // namespace
