// The fit loop run end to end on toy merits, with real "next.INP" and
// "stop.inp" files in a temporary working directory.
#include "programs/common/fitloop.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tempdir.hpp"

namespace {

using common::FitState;
using common::PassResult;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

int countOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

class FitLoopTest : public ::testing::Test {
 protected:
  FitLoopTest() {
    s.NNN = 10;
    s.NM = 3;
    s.ITEST = 2;
    s.hasExperiment = true;
    s.EPFIN = 0;
    s.ISTOP = 20;
  }

  // Runs the loop with `script` as "next.INP" (its first record is Jcalc);
  // `stop` is written to "stop.inp" unless null.
  FitState run(const std::string& script, const char* stop = "1\n") {
    dir.write("next.INP", script);
    if (stop) dir.write("stop.inp", stop);
    fio::Unit log(4);
    log.openNew("ZEPRIN.RES");
    fio::Unit next(6);
    next.openOld("next.INP");
    int Jcalc = 0;
    next.read(Jcalc);
    common::FitLoop loop(YV, YVS, s, Jcalc, log, next);
    loop.run({.newstep =
                  [&](const FitState& st) {
                    heads.push_back(st);
                    seen.push_back(YV(1, 1));
                  },
              .pass =
                  [&](const FitState& st) {
                    passStates.push_back(st);
                    const int n = static_cast<int>(passStates.size());
                    if (n == stopAtPass) dir.write("stop.inp", "0\n");
                    return PassResult{merit(n), n == endAtPass};
                  }});
    log.close();
    return loop.state();
  }
  std::string runLog() const { return dir.read("ZEPRIN.RES"); }
  // Correlation rules (ICORR, IMAN) in order.
  void rules(std::initializer_list<std::pair<int, int>> list) {
    s.IFC = 0;
    for (auto [ic, im] : list) {
      ++s.IFC;
      s.ICORR(s.IFC) = static_cast<std::int16_t>(ic);
      s.IMAN(s.IFC) = static_cast<std::int16_t>(im);
    }
  }
  // Merits by pass number, from 1.
  void merits(std::vector<float> m) {
    merit = [m](int n) { return m[static_cast<std::size_t>(std::min<int>(n, static_cast<int>(m.size())) - 1)]; };
  }

  nrstest::TempDir dir;
  numlib::YVTable YV, YVS;
  common::FitSettings s;
  std::function<float(int)> merit = [](int) { return 1.0f; };
  std::vector<FitState> heads, passStates;
  std::vector<float> seen;  // YV(1,1) at each newstep
  int stopAtPass = 0, endAtPass = 0;
};

// --------------------------------------------------------------- judging ---

TEST_F(FitLoopTest, EqualMeritIsAcceptedAndEndsTheParameter) {
  YV(1, 1) = 1.0f;
  const FitState st = run("1\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n");
  EXPECT_FLOAT_EQ(YV(1, 1), 1.5f);
  EXPECT_FLOAT_EQ(YVS(1, 1), 1.5f);
  EXPECT_EQ(st.EPSSS, 1.0f);
  const std::string log = runLog();
  EXPECT_EQ(countOf(log, " accept ! EPSN=EPSSS\n"), 1);
  EXPECT_EQ(countOf(log, "  EPSD small\n"), 1);
}

TEST_F(FitLoopTest, RejectedStepReversesWithFactorMinusPointSeven) {
  YV(1, 1) = 1.0f;
  s.ISTOP = 4;
  merit = [&](int) { return YV(1, 1); };
  run("1\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n");
  const std::string log = runLog();
  EXPECT_NE(log.find(" YV1,sp1,YVnew    1.00000    0.50000    1.50000\n"), std::string::npos);
  EXPECT_NE(log.find(" YV1,sp1,YVnew    1.00000   -0.35000    0.65000\n"), std::string::npos);
  EXPECT_FLOAT_EQ(YV(1, 1), 0.65f);
  EXPECT_FLOAT_EQ(YVS(1, 1), 0.65f);
}

TEST_F(FitLoopTest, RejectedStepOntoZeroHalvesAndKeepsDirection) {
  YV(1, 1) = 0.3f;
  s.ISTOP = 4;
  merit = [&](int) { return 1.0f - YV(1, 1); };
  run("1\n1 1 -0.3 0 0 0\n0 0 0 0 0 0\n");
  const std::string log = runLog();
  EXPECT_NE(log.find(" YV1,sp1,YVnew    0.30000   -0.30000    0.00000\n"), std::string::npos);
  EXPECT_NE(log.find(" YV1,sp1,YVnew    0.30000   -0.15000    0.15000\n"), std::string::npos);
  EXPECT_FLOAT_EQ(YV(1, 1), 0.3f);
}

TEST_F(FitLoopTest, IstopThreeGivesOneStepThenOneBestPassPerRecord) {
  s.ISTOP = 3;
  merit = [&](int) { return 10.0f - YV(1, 1) - YV(7, 5); };
  run("1\n1 1 0.5 0 0 0\n-7 5 0.1 0 0 0\n0 0 0 0 0 0\n");
  struct Head {
    int JREP, selector, rowCode;
  };
  const std::vector<Head> want{{0, 1, 1}, {3, 1, 1}, {1, 1, 1}, {3, -1, 5}, {1, -1, 1}};
  ASSERT_EQ(heads.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(heads[i].JREP, want[i].JREP);
    EXPECT_EQ(heads[i].selector, want[i].selector);
    EXPECT_EQ(heads[i].rowCode(), want[i].rowCode);
  }
  EXPECT_EQ(countOf(runLog(), "  JREP=ISTOP\n"), 2);
  EXPECT_FLOAT_EQ(YV(7, 5), 0.1f);  // line 7, although the record said -7
}

TEST_F(FitLoopTest, BowlMinimumIsFoundAndTheBestMeritFalls) {
  const float x0 = 1.3f, y0 = 0.6f;
  YV(1, 1) = 2.5f;
  YV(2, 3) = 2.0f;
  s.EPFIN = 1e-5f;
  s.ISTOP = 60;
  merit = [&](int) {
    const float dx = YV(1, 1) - x0, dy = YV(2, 3) - y0;
    return 0.01f + dx * dx + 2 * dy * dy + 0.5f * dx * dy;
  };
  const float start = merit(0);
  std::string script = "1\n";
  for (int round = 0; round < 5; ++round) script += "1 1 0.4 0 0 0\n2 3 0.3 0 0 0\n";
  const FitState st = run(script + "0 0 0 0 0 0\n");
  EXPECT_NEAR(YV(1, 1), x0, 0.02);
  EXPECT_NEAR(YV(2, 3), y0, 0.02);
  EXPECT_EQ(YV(1, 1), YVS(1, 1));
  EXPECT_EQ(YV(2, 3), YVS(2, 3));
  EXPECT_LT(st.EPSSS, 0.0105f);
  EXPECT_LT(st.EPSSS, start);
  for (std::size_t i = 2; i < heads.size(); ++i) EXPECT_LE(heads[i].EPSSS, heads[i - 1].EPSSS);
}

TEST_F(FitLoopTest, RepeatOnlyAfterRejectionWhenAskedTo) {
  s.repeat = common::RepeatBest::AfterRejection;
  s.ISTOP = 3;
  YV(1, 1) = 1.0f;
  merits({5, 4, 3, 6, 1});  // step accepted, accepted, then rejected
  run("1\n1 1 0.5 0 0 0\n1 1 0.5 0 0 0\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n");
  std::vector<int> jrep;
  for (const auto& h : heads) jrep.push_back(h.JREP);
  EXPECT_EQ(jrep, (std::vector<int>{0, 3, 3, 3, 1}));
  const std::string log = runLog();
  EXPECT_EQ(countOf(log, "  no step! new parameter\n"), 2);
  EXPECT_EQ(countOf(log, "  repeat the count with the best parameters,JREP=1\n"), 1);
  EXPECT_FLOAT_EQ(YV(1, 1), 2.0f);
}

// ------------------------------------------------------------- stepping ---

TEST_F(FitLoopTest, SignRuleExemptsIsomerShiftAndFieldGradientLines) {
  s.ITEST = 1;
  YV(1, 1) = YV(2, 1) = YV(14, 1) = YV(15, 2) = 0.1f;  // NNN = 10: lines 14, 15 are IS, EFG
  YV(7, 2) = 1.0f;
  YV(3, 2) = 2.0f;
  YV(8, 1) = 1.0f;
  YV(9, 1) = 0.1f;
  run("1\n1 1 0.3 0 0 0\n2 1 -0.3 0 0 0\n14 1 -0.3 0 0 0\n15 2 -0.3 0 0 0\n"
      "7 2 0.5 -3 0 0\n8 1 0.2 9 0 -2.0\n0 0 0 0 0 0\n");
  EXPECT_NEAR(YV(1, 1), 0.4f, 1e-6);
  EXPECT_NEAR(YV(2, 1), 0.2f, 1e-6);
  EXPECT_NEAR(YV(14, 1), -0.2f, 1e-6);
  EXPECT_NEAR(YV(15, 2), -0.2f, 1e-6);
  EXPECT_FLOAT_EQ(YV(7, 2), 1.5f);
  EXPECT_FLOAT_EQ(YV(3, 2), 1.5f);
  EXPECT_FLOAT_EQ(YV(8, 1), 1.2f);
  EXPECT_NEAR(YV(9, 1), 0.3f, 1e-6);  // 0.1 - 0.4 stays positive
}

// One-step checks (nothing judged) on a model of three sublayers.
class CorrelationTest : public FitLoopTest {
 protected:
  CorrelationTest() {
    s.ITEST = 1;
    s.NNN = 3;
  }
};

TEST_F(CorrelationTest, ColumnRules) {
  // old 0.1, step -0.3: stepped -0.2, stored 0.2 (sign rule), so each rule
  // gives a different answer.
  const float want[4][3] = {{-0.2f, 0.2f, -0.2f}, {0.2f, 0.2f, 0.0f}, {-1.0f, 0.2f, -0.6f}, {1.0f, 0.2f, 0.6f}};
  for (int m = 1; m <= 4; ++m) {
    SCOPED_TRACE(m);
    rules({{4, m}});
    YV(1, 4) = 0.5f;
    YV(2, 4) = 0.1f;
    YV(3, 4) = 0.3f;
    run("1\n2 4 -0.3 0 0 0\n0 0 0 0 0 0\n");
    for (int i = 1; i <= 3; ++i) EXPECT_NEAR(YV(i, 4), want[m - 1][i - 1], 1e-6);
    EXPECT_NE(runLog().find(" ip1,ICORR(L),IMAN(L)=    4    4    " + std::to_string(m) + "\n"), std::string::npos);
    EXPECT_EQ(countOf(runLog(), " I,ip1,YV(I,ip1)"), 3);
  }
}

TEST_F(CorrelationTest, RowRuleAndSkippedRules) {
  rules({{-5, 2}, {2, 5}});  // Bhf line; a rule 5 (no such rule) skipped altogether for a step of 0
  YV(5, 1) = 30;
  YV(5, 2) = 31;
  YV(5, 3) = 32;
  run("1\n5 1 1.0 0 0 0\n1 2 0 0 0 0\n0 0 0 0 0 0\n");
  EXPECT_EQ(YV(5, 1), 31);
  EXPECT_EQ(YV(5, 2), 32);
  EXPECT_EQ(YV(5, 3), 33);
  const std::string log = runLog();
  EXPECT_NE(log.find(" in1,ICORR(L),IMAN(L)=    5   -5    2\n"), std::string::npos);
  EXPECT_NE(log.find(" in1,K,YV(in1,K)   5   3    33.00000\n"), std::string::npos);
  EXPECT_EQ(countOf(log, " ip1,ICORR"), 0);
}

TEST_F(CorrelationTest, RelativeRulesOnAZeroEntryLeaveTheOthersAlone) {
  rules({{4, 3}, {4, 4}});
  YV(1, 4) = 0.5f;
  YV(3, 4) = 0.3f;
  run("1\n2 4 0.2 0 0 0\n0 0 0 0 0 0\n");
  EXPECT_FLOAT_EQ(YV(2, 4), 0.2f);
  EXPECT_EQ(YV(1, 4), 0.5f);
  EXPECT_EQ(YV(3, 4), 0.3f);
  EXPECT_EQ(countOf(runLog(), " old value 0: the rule is not applied\n"), 2);
}

TEST_F(CorrelationTest, RulesStopAtTheEdgesOfTheTable) {
  s.NNN = 80;  // beyond the table's 72 lines
  s.NM = 30;   // beyond its 27 columns
  rules({{2, 2}, {-1, 2}});
  run("1\n1 2 0.5 0 0 0\n0 0 0 0 0 0\n");
  EXPECT_EQ(countOf(runLog(), " I,ip1,YV(I,ip1)"), 72);
  EXPECT_EQ(countOf(runLog(), " in1,K,YV(in1,K)"), 27);
  EXPECT_EQ(YV(72, 2), 0.5f);
  EXPECT_EQ(YV(1, 27), 0.5f);
}

TEST_F(FitLoopTest, WithoutJudgingEveryRecordStepsOnceAndStepsAddUp) {
  for (bool itestOne : {true, false}) {
    SCOPED_TRACE(itestOne);
    s.ITEST = itestOne ? 1 : 2;
    s.hasExperiment = itestOne;
    heads.clear();
    YV(1, 1) = 1.0f;
    merit = [&](int) { return YV(1, 1); };  // every step would be rejected if judged
    run("1\n1 1 0.5 0 0 0\n1 1 0.5 0 0 0\n1 1 0.25 0 0 0\n0 0 0 0 0 0\n");
    EXPECT_FLOAT_EQ(YV(1, 1), 2.25f);
    EXPECT_EQ(countOf(runLog(), "EPSD"), 0);
    std::vector<int> jrep;
    for (const auto& h : heads) jrep.push_back(h.JREP);
    EXPECT_EQ(jrep, (itestOne ? std::vector<int>{1, 1, 1, 1} : std::vector<int>{0, 3, 3, 3}));
  }
}

// ---------------------------------------------------- stop flag and end ---

TEST_F(FitLoopTest, StopValueZeroEndsTheFitBeforeTheNextStep) {
  YV(1, 1) = 1.0f;
  merit = [&](int) { return 10.0f - YV(1, 1); };
  stopAtPass = 3;
  EXPECT_FALSE(run("1\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n").bestRestored);
  EXPECT_EQ(passStates.size(), 3u);
  EXPECT_EQ(heads.size(), 3u);  // the last pass was accepted: no rebuild
  EXPECT_FLOAT_EQ(YV(1, 1), 2.0f);
  const std::string log = runLog();
  EXPECT_TRUE(log.ends_with(" accept ! EPSN=EPSSS\n\n  next variation\n                        E N D  !!!\n"));
}

TEST_F(FitLoopTest, StopRightAfterARejectedStepRebuildsTheBestModel) {
  YV(1, 1) = 1.0f;
  merit = [&](int) { return YV(1, 1); };
  stopAtPass = 2;
  EXPECT_TRUE(run("1\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n").bestRestored);
  ASSERT_EQ(heads.size(), 3u);
  EXPECT_EQ(seen, (std::vector<float>{1.0f, 1.5f, 1.0f}));
  EXPECT_EQ(heads[2].JREP, 1);
  EXPECT_EQ(heads[2].rowCode(), 1);
  EXPECT_EQ(passStates.size(), 2u);
}

TEST_F(FitLoopTest, MissingStopFileIsCreatedAndEndsTheProgram) {
  s.ITEST = 1;
  EXPECT_THROW(run("1\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n", nullptr), fio::RuntimeError);
  EXPECT_TRUE(dir.exists("stop.inp"));
}

TEST_F(FitLoopTest, ScriptWithoutClosingRecordEndsTheFitNormally) {
  for (const char* tail : {"", "2 1\n"}) {
    SCOPED_TRACE(tail);
    s.ITEST = 1;
    YV(1, 1) = 1.0f;
    run(std::string("1\n1 1 0.5 0 0 0\n") + tail);
    EXPECT_FLOAT_EQ(YV(1, 1), 1.5f);
    const std::string log = runLog();
    EXPECT_EQ(countOf(log, " next.INP ends without its closing record (in1 = 0)\n"), 1);
    EXPECT_TRUE(log.ends_with("(in1 = 0)\n                        E N D  !!!\n"));
  }
}

TEST_F(FitLoopTest, RecordsOutsideTheTableAreSkipped) {
  s.ITEST = 1;
  YV(1, 1) = 1.0f;
  const numlib::YVTable before = [&] {
    numlib::YVTable t = YV;
    t(1, 1) = 1.5f;
    return t;
  }();
  run("1\n80 1 0.5 0 0 0\n-73 1 0.5 0 0 0\n1 28 0.5 0 0 0\n1 0 0.5 0 0 0\n1 1 0.5 -73 0 0\n"
      "1 1 0.5 2 30 1\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n");
  EXPECT_TRUE(YV == before);
  EXPECT_EQ(countOf(runLog(), "record skipped"), 6);
  EXPECT_EQ(passStates.size(), 2u);
}

// ------------------------------------------------- merits that misbehave ---

TEST_F(FitLoopTest, NonFiniteMeritIsNeverKept) {
  for (float bad : {kNaN, kInf, -kInf}) {
    SCOPED_TRACE(bad);
    heads.clear();
    passStates.clear();
    YV(1, 1) = 1.0f;
    YVS.fill(0);
    merits({2.0f, bad, 1.0f});
    const FitState st = run("1\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n");
    EXPECT_EQ(st.EPSSS, 2.0f);
    EXPECT_EQ(YV(1, 1), 1.0f);
    EXPECT_EQ(YVS(1, 1), 1.0f);
    ASSERT_EQ(heads.size(), 3u);
    EXPECT_EQ(heads[2].JREP, 1);  // the entry is finished; best-parameter pass
    EXPECT_EQ(countOf(runLog(), " EPSN is not a finite number; the pass is not kept\n"), 1);
  }
}

TEST_F(FitLoopTest, NonFiniteFirstMeritLeavesTheReferenceToTheNextPass) {
  YV(1, 1) = 1.0f;
  merits({kNaN, 3.0f, 2.0f, 2.5f});
  s.ISTOP = 3;
  const FitState st = run("1\n1 1 0.5 0 0 0\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n");
  EXPECT_EQ(st.EPSSS, 2.0f);
  EXPECT_FLOAT_EQ(YV(1, 1), 2.0f);
}

// Without any finite merit no step stands: each trial goes back to the start.
TEST_F(FitLoopTest, NoFiniteMeritAtAllKeepsTheStartingSet) {
  YV(1, 1) = 1.0f;
  merits({kNaN, kNaN, kNaN});
  const FitState st = run("1\n1 1 0.5 0 0 0\n1 1 0.25 0 0 0\n0 0 0 0 0 0\n");
  EXPECT_FALSE(st.bestFilled);
  EXPECT_EQ(YV(1, 1), 1.0f);
  EXPECT_EQ(countOf(runLog(), " EPSN is not a finite number; the pass is not kept\n"), 3);
}

TEST_F(FitLoopTest, FirstPassWithoutCalculationNeverRestoresAnEmptyBestCopy) {
  s.ITEST = 0;
  s.ISTOP = 3;
  YV(1, 1) = 1.0f;
  merit = [&](int) { return YV(1, 1); };
  const FitState st = run("0\n1 1 0.5 0 0 0\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n");
  EXPECT_EQ(passStates.front().Jcalc, 0);
  EXPECT_EQ(passStates[1].Jcalc, 1);
  EXPECT_FLOAT_EQ(st.EPSSS, 1.5f);   // the first computed pass is the reference
  EXPECT_FLOAT_EQ(YV(1, 1), 1.5f);  // the rejected 2.0 goes back to it, not to 0
}

TEST_F(FitLoopTest, ZeroMeritIsAcceptedWithoutInvalidChange) {
  YV(1, 1) = 1.0f;
  merits({1.0f, 0.0f, 0.0f});
  const FitState st = run("1\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n");
  EXPECT_EQ(st.EPSSS, 0.0f);
  EXPECT_EQ(st.EPSD, 0.0f);
  EXPECT_FLOAT_EQ(YV(1, 1), 1.5f);
  EXPECT_NE(runLog().find("  EPSD = 0.0000000\n accept ! EPSN=EPSSS\n  EPSD small\n"), std::string::npos);
}

// ------------------------------------------------------ exact text lines ---

TEST_F(FitLoopTest, RunLogAndConsoleLines) {
  s.NNN = 2;
  s.NM = 2;
  s.ISTOP = 3;
  rules({{1, 2}});
  YV(1, 1) = 1.0f;
  YV(2, 1) = 0.5f;
  YV(3, 1) = 0.25f;
  merits({2.0f, 3.0f, 2.0f});
  testing::internal::CaptureStdout();
  run("1\n1 1 0.5 3 0 2.0\n0 0 0 0 0 0\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "*\n  EPSN= 2.0000000\n  next parameter  1  1  3  0\n**");
  EXPECT_EQ(runLog(),
            "\n\n new parameter test \n"
            "in1,ip1,sp1,in2,ip2,f2 =     1    1    0.500000    3    0    2.000000\n"
            "\n  next variation\n"
            " YV1,sp1,YVnew    1.00000    0.50000    1.50000\n"
            " YV2,sp1,YVnew    0.25000    1.00000    1.25000\n"
            " ip1,ICORR(L),IMAN(L)=    1    1    2\n"
            " I,ip1,YV(I,ip1)   1   1     1.50000\n"
            " I,ip1,YV(I,ip1)   2   1     1.00000\n"
            "  EPSD = 0.3333333\n"
            " return ! YV=YVS, sp1=-.7*sp1 or .5*sp1\n"
            "  JREP=ISTOP\n"
            "  repeat the count with the best parameters,JREP=1\n"
            "\n\n new parameter test \n"
            "in1,ip1,sp1,in2,ip2,f2 =     0    0    0.000000    0    0    0.000000\n"
            "                        E N D  !!!\n");
  EXPECT_FLOAT_EQ(YV(2, 1), 0.5f);  // the correlated entries went back with the rest
  EXPECT_FLOAT_EQ(YV(3, 1), 0.25f);
}

// ------------------------------------------------------ program variants ---

TEST_F(FitLoopTest, WithoutExperimentOnePassAndNoStopFlag) {
  s.hasExperiment = false;
  s.endAfterFirstPassWithoutExperiment = true;
  run("1\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n", nullptr);
  EXPECT_EQ(passStates.size(), 1u);
  EXPECT_FALSE(dir.exists("stop.inp"));
  EXPECT_EQ(runLog(), "                        E N D  !!!\n");
}

TEST_F(FitLoopTest, PassCanEndTheFitAndJrepMayCountWithoutJudging) {
  s.ITEST = 1;
  s.jrepOneWhenItestOne = false;
  endAtPass = 3;
  testing::internal::CaptureStdout();
  run("1\n1 1 0.5 0 0 0\n1 1 0.5 0 0 0\n1 1 0.5 0 0 0\n0 0 0 0 0 0\n");
  const std::string console = testing::internal::GetCapturedStdout();
  EXPECT_EQ(console.find('*'), std::string::npos);
  std::vector<int> jrep;
  for (const auto& h : heads) jrep.push_back(h.JREP);
  EXPECT_EQ(jrep, (std::vector<int>{0, 3, 3}));
  EXPECT_FLOAT_EQ(YV(1, 1), 1.0f);
  EXPECT_EQ(countOf(runLog(), "E N D"), 1);
}

}  // namespace
