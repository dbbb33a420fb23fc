#include "programs/common/params.hpp"

#include <gtest/gtest.h>

#include <string>

#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

using nrstest::hasLine;

// "ZEPRIN.INP" in the front end's layout with the given correlation records.
std::string zeprinInp(const std::string& correlations, const std::string& tail = "") {
  std::string s =
      "\t 2 \t  Jway   -   The way of computation: 1  -  matrix, 2  -  Parratt \n"
      "\t 2 \t ITEST  -  1  -  one step check, 2  -  try to choose the best value \n"
      "\t 12.5 \t XEXP1  -  initial value for comparison of the theory and experiment \n"
      "\t 160.0 \t XEXP2  -  final value for comparison of the theory and experiment \n"
      " \t          The weight of the merit function for each spectrum\n"
      "\t 1.0 \t 0.5 \t 2.0 \t 0.0 \n"
      "\t 0.00100 \t EPFIN  -  limit for iterations of EPSSS and ADJUST \n"
      "\t 3.0 \t AF  -  Initial background : 1,2,3.., if 0 do not take into account \n"
      "\t \t \t Parameter correlations : \n";
  s += correlations;
  if (tail.empty())
    s +=
        "\t 4.0 \t SIG - width (A) of the Gauss regularization of  HFI distrib \n"
        "\t 12 \t JFIT - the way for comparison of the theory and experiment \n"
        "\t 5 \t ISTOP - number of testing steps for each parameter\n"
        "\t 2 \t KP - number of steps in smoothing \n"
        "\t 0.3 \t SIGMA for GAUSS in time averaging  in ns\n"
        "\t 10 \t   JAV1  number of points for field half-distribution   (max 50!)) \n"
        "\t 0.3 \t SD step in distribution function (norm to 1.)\n"
        "\t 2 \t IDIST - Type of function: 1- Gauss, 2 - Lorentz 3 - extern determ \n";
  else
    s += tail;
  return s;
}

std::string pair(int icorr, int iman) {
  return "\t " + std::to_string(icorr) + " \t ICORR1 \n\t " + std::to_string(iman) + " \t IMAN1 \n";
}

TEST(Params, ReadsTheFrontEndLayoutAndEchoesIt) {
  nrstest::TempDir dir;
  dir.write("ZEPRIN.INP", zeprinInp(pair(5, 2) + pair(-7, 3) + pair(0, 0)));
  fio::Unit log(4);
  log.openNew("ZEPRIN.RES");
  common::CalcParams p;
  common::RDPARAM(log, p);
  log.close();
  EXPECT_EQ(p.Jway, 2);
  EXPECT_EQ(p.ITEST, 2);
  EXPECT_FLOAT_EQ(p.XEXP1, 12.5f);
  EXPECT_FLOAT_EQ(p.XEXP2, 160.0f);
  EXPECT_FLOAT_EQ(p.weight(2), 0.5f);
  EXPECT_FLOAT_EQ(p.weight(3), 2.0f);
  EXPECT_FLOAT_EQ(p.EPFIN, 0.001f);
  EXPECT_FLOAT_EQ(p.AF, 3.0f);
  EXPECT_EQ(p.IFC, 2);
  EXPECT_EQ(p.ICORR(2), -7);
  EXPECT_EQ(p.IMAN(2), 3);
  EXPECT_FLOAT_EQ(p.SIG, 4.0f);
  EXPECT_EQ(p.JFIT, 12);
  EXPECT_EQ(p.ISTOP, 5);
  EXPECT_EQ(p.KP, 2);
  EXPECT_FLOAT_EQ(p.SIGMA, 0.3f);
  EXPECT_EQ(p.JAV1, 10);
  EXPECT_FLOAT_EQ(p.SD, 0.3f);
  EXPECT_EQ(p.IDIST, 2);
  const std::string text = dir.read("ZEPRIN.RES");
  const auto lines = nrstest::splitLines(text);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[0], "   EPFIN - limit for iterations of EPSS   0.001000");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], " ICORR(I),IMAN(I) =    5    2");
  EXPECT_EQ(lines[3], " ICORR(I),IMAN(I) =   -7    3");
  EXPECT_EQ(lines[4], " ICORR(I),IMAN(I) =    0    0");
  EXPECT_EQ(lines[5], " IFC - number of the correlated columns 2");
  EXPECT_TRUE(hasLine(text, "  JFIT =  12"));
  EXPECT_TRUE(hasLine(text, "  JAV1 10"));
}

TEST(Params, CorrelationListNeedsItsClosingPairWithinSixteen) {
  fio::Unit log(4);
  common::CalcParams p;
  {
    nrstest::TempDir dir;
    dir.write("ZEPRIN.INP", zeprinInp(pair(0, 4)));  // an empty list still reads its IMAN
    log.openNew("log");
    common::RDPARAM(log, p);
    log.close();
    EXPECT_EQ(p.IFC, 0);
    EXPECT_TRUE(hasLine(dir.read("log"), " ICORR(I),IMAN(I) =    0    4"));
  }
  std::string fifteen;
  for (int i = 1; i <= 15; ++i) fifteen += pair(i, 2);
  {
    nrstest::TempDir dir;
    dir.write("ZEPRIN.INP", zeprinInp(fifteen + pair(0, 0)));
    log.openNew("log");
    common::RDPARAM(log, p);
    log.close();
    EXPECT_EQ(p.IFC, 15);
    EXPECT_EQ(p.JFIT, 12);
  }
  {
    nrstest::TempDir dir;
    dir.write("ZEPRIN.INP", zeprinInp(fifteen + pair(16, 2) + pair(0, 0)));
    log.openNew("log");
    EXPECT_EQ(nrstest::stopStatus([&] { common::RDPARAM(log, p); }), 1);
    log.close();
  }
}

TEST(Params, UnreadableShortOrMissingFilesAreRunTimeErrors) {
  fio::Unit log(4);
  common::CalcParams p;
  for (const std::string& text :
       {zeprinInp(pair(0, 0), "\t 4.0 \t SIG\n\t twelve \t JFIT\n"),  // not a number
        zeprinInp(pair(0, 0), "\t 4.0 \t SIG\n\t 12 \t JFIT\n"),      // ends before ISTOP
        zeprinInp(pair(40000, 1) + pair(0, 0))}) {                     // ICORR is a 16-bit integer
    nrstest::TempDir dir;
    dir.write("ZEPRIN.INP", text);
    log.openNew("log");
    EXPECT_THROW(common::RDPARAM(log, p), fio::RuntimeError);
    log.close();
  }
  nrstest::TempDir dir;
  log.openNew("log");
  EXPECT_THROW(common::RDPARAM(log, p), fio::RuntimeError);
}

TEST(Params, OtherProgramsReadLessAndEchoOtherLines) {
  nrstest::TempDir dir;
  fio::Unit log(4);
  common::CalcParams p;
  dir.write("ZEPRIN.INP", zeprinInp(pair(3, 1) + pair(0, 0)));
  log.openNew("mol");
  common::RDPARAM(log, p, {common::ParamsKind::DelayedPrompt});
  log.close();
  EXPECT_EQ(nrstest::splitLines(dir.read("mol")),
            (std::vector<std::string>{"  JWAY = 2", " IFC - number of the correlated columns 1", "  SIGMA 0.3",
                                      "  JAV1 10", "  IDIST 2"}));
  // The prompt program stops after KP: the file may end there.
  dir.write("ZEPRIN.INP", zeprinInp(pair(0, 0), "\t 4.0 \t SIG\n\t 12 \t JFIT\n\t 5 \t ISTOP\n\t 2 \t KP\n"));
  log.openNew("qua");
  common::RDPARAM(log, p, {common::ParamsKind::PromptOnly});
  log.close();
  const std::string q = dir.read("qua");
  EXPECT_TRUE(hasLine(q, " background AF =     3.0"));
  EXPECT_TRUE(hasLine(q, "  JFIT =  12"));
  EXPECT_FALSE(hasLine(q, "  ISTOP =  5"));
}

TEST(Params, FileMGivesTheModelNameAndTheAnglesInRadians) {
  nrstest::TempDir dir;
  fio::Unit log(4);
  log.openNew("log");
  common::ModelFileRef f;
  dir.write("FileM.inp", "model.inf\n \t 2 \n\t 2.500000 \n\t 4.000000 \n\t 0.000000 \n\t 0.000000 \n");
  common::RDFILEM(log, f);
  EXPECT_EQ(f.name, "model.inf");
  EXPECT_EQ(f.NSPC, 2);
  EXPECT_DOUBLE_EQ(f.angle(1), 0.0025);
  EXPECT_DOUBLE_EQ(f.angle(2), 0.004);
  // A name is the first 32 characters of its line.
  dir.write("FileM.inp", std::string(40, 'm') + "\n 0 \n");
  common::RDFILEM(log, f);
  EXPECT_EQ(f.name, std::string(32, 'm'));
  EXPECT_EQ(f.NSPC, 0);
  log.close();
  EXPECT_TRUE(hasLine(dir.read("log"), "  number of calc. relectivity spectra   2"));

  for (const char* bad : {"m\n 5 \n 1\n 2\n 3\n 4\n 5\n", "m\n -1\n", "m\n 2\n 3.0\n 0.0\n"}) {
    SCOPED_TRACE(bad);
    dir.write("FileM.inp", bad);
    log.openNew("log");
    EXPECT_EQ(nrstest::stopStatus([&] { common::RDFILEM(log, f); }), 1);
    log.close();
  }
}

TEST(Params, FitScriptIsSwitchedOnByITEST2) {
  nrstest::TempDir dir;
  dir.write("next.INP", " 0 \n 0  0  0.00000  0 0  0.00 \n");
  fio::Unit log(4), next(6);
  log.openNew("log");
  int Jcalc = -1;
  common::RDNEXT(log, next, 1, Jcalc);
  EXPECT_EQ(Jcalc, 0);
  common::RDNEXT(log, next, 2, Jcalc);
  EXPECT_EQ(Jcalc, 1);
  // The script stays open for the variation records.
  int in1 = -1, ip1 = -1;
  next.read(in1, ip1);
  EXPECT_EQ(in1, 0);
  log.close();
  EXPECT_TRUE(hasLine(dir.read("log"), "  Jcalc= 0"));
}

}  // namespace
