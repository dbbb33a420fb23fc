// ZEPRIN on the shipped examples with one input value at or past a limit, in
// a form that is no number, leading to values that are not finite, or that
// would pass for a good fit; and result files that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "programtest.hpp"
#include "tempdir.hpp"
#include "workdir.hpp"

namespace {

namespace fs = std::filesystem;

using nrstest::copyExample;

struct Refusal {
  const char* what;
  const char* example;
  const char* file;
  std::string from, to;
  int status;
  std::string message;  // on the console
};

// One row accepted: KSTEP counts against the 300 sublayers of the grid only
// where the grid cuts the interface into steps, that is where it has a
// width; the grid's own limit still holds for the steps and the layers
// together.
TEST(ZeprinBadInput, RefusedWithAMessageAndNonZeroStatus) {
  const std::string layer2 = "10.000      1     1     4";  // WIDTH KIND1 KIND2 KSTEP of the substrate
  const std::string tooManySteps = " number of steps KSTEP in the model file must not exceed 300 !";
  const std::string notFinite = " the last pass gave spectra or merits that are not finite";
  const Refusal cases[] = {
      // Step and repetition counts that would overflow or run for hours.
      {"KSTEP at the int limit", "fe57-film", "Fe57film.inf", layer2, "10.000  1  1  2147483647", 1, tooManySteps},
      {"KSTEP below the int limit", "fe57-film", "Fe57film.inf", layer2, "10.000  1  1  2147483646", 1, tooManySteps},
      {"KSTEP 400 without width", "fe57-film", "Fe57film.inf", layer2, "0.000  1  1  400", 0, ""},
      {"KSTEP 300", "fe57-film", "Fe57film.inf", layer2, "10.000  1  1  300", 1,
       " Number of sublayers is larger than Nmax!"},
      {"NRN 100000", "fe57-film", "Fe57film.inf", " 1                  NRN", " 100000  NRN", 1,
       " number of repetitions NRN in the model file must not exceed 1000 !"},
      {"NRN at the int limit", "fe57-film", "Fe57film.inf", " 1                  NRN", " 2147483647  NRN", 1,
       " number of repetitions NRN in the model file must not exceed 1000 !"},
      // Without repetitions the block is not checked; its depth in the profile
      // still follows from N1N.
      {"N1N at the int limit, no repetitions", "fe57-film", "Fe57film.inf", " 1 1  ", " -2147483648 1  ", 0, ""},
      {"I2E at the int limit", "fe57-film", "Tconst.INI", "   3             I2E", "   2147483647  I2E", 1,
       " I2E+1 (excited sub-levels) must lie in 1..12 !"},
      // Not compared without experiment: not refused.
      {"JFIT at the int limit, no experiment", "fe57-film", "ZEPRIN.INP", "\t 11 \t JFIT", "\t -2147483648 \t JFIT", 0,
       ""},
      // Reals that are not finite, or no number of a list-directed read.
      {"angle 1e999", "fe57-film", "FileM.inp", "2.500000", "1e999", 2,
       "unreadable number \"1e999\" (unit 8, file \"FileM.inp\", line 3)"},
      {"count Infinity", "fe57-fit", "fe57_2.8mrad.dat", "176.414         1", "176.414  Infinity", 2,
       "unreadable number \"Infinity\" (unit 3, file \"fe57_2.8mrad.dat\", line 1)"},
      {"nan in the model", "fe57-film", "Fe57film.inf", "-14.660", "nan", 2,
       "unreadable number \"nan\" (unit 1, file \"Fe57film.inf\", line 12)"},
      {"XEST beyond single precision", "fe57-film", "Tconst.INI", "   0.1           XEST", "   1e40  XEST", 2,
       "unreadable number \"1e40\" (unit 1, file \"Tconst.INI\", line 14)"},
      {"100k digits", "fe57-film", "Tconst.INI", "   14.4129 ", "   " + std::string(100000, '9') + " ", 2,
       "unreadable number \"" + std::string(40, '9') + "...\" (unit 1, file \"Tconst.INI\", line 2)"},
      {"hex angle", "fe57-film", "FileM.inp", "2.500000", "0x10", 2,
       "unreadable number \"0x10\" (unit 8, file \"FileM.inp\", line 3)"},
      {"hex real", "fe57-film", "ZEPRIN.INP", "\t 0.3 \t SIGMA", "\t 0x1p4 \t SIGMA", 2,
       "unreadable number \"0x1p4\" (unit 5, file \"ZEPRIN.INP\", line 16)"},
      {"embedded NUL", "fe57-film", "ZEPRIN.INP", "\t 170.0 \t XEXP2", std::string("\t 10.0") + '\0' + "abc \t", 2,
       "unreadable number \"10.0\\x00abc\" (unit 5, file \"ZEPRIN.INP\", line 4)"},
      // Values whose results would overflow.
      {"angle of 90 degrees", "fe57-film", "FileM.inp", "2.500000", "1570.8", 1,
       " grazing angle in FileM.inp must lie between 0 and 1570.796 mrad (90 degrees) !"},
      {"ALFA -1", "fe57-film", "Tconst.INI", "   8.21 ", "   -1 ", 1,
       " the constants in Tconst.INI give a cross-section SIGMA0 that is not finite !"},
      {"quadrupole ratio 0/0", "fe57-film", "Tconst.INI", "   0.16 ", "   0 ", 1,
       " the constants in Tconst.INI give a quadrupole ratio QRAT that is not finite !"},
      {"energy grid beyond single precision", "fe57-film", "Tconst.INI", "   0.1           XEST", "   1e37  XEST", 1,
       " the constants in Tconst.INI give an energy grid (XEST) that is not finite !"},
      {"distribution beyond single precision", "fe57-film", "ZEPRIN.INP", "\t 0.3 \t SD", "\t 1e38 \t SD", 1,
       " JAV1*SD in ZEPRIN.INP must stay within single precision !"},
      // Experiments and settings that would end as a perfect fit, or drop
      // multiplets, without a word.
      {"times rising", "fe57-fit", "fe57_2.8mrad.dat", "    175.574         2", "    176.500         2", 1,
       " times of the experiment file fe57_2.8mrad.dat must not rise from record to record (point 2) !"},
      // A repeated time is read; the second file then leaves the first one's times.
      {"time repeated in the second file", "fe57-fit", "fe57_3.4mrad.dat", "    174.734         1",
       "    175.574         1", 1,
       " time of record 3 of the experiment file fe57_3.4mrad.dat is 175.574 ns, not 174.734 ns as in the first file"
       " fe57_2.8mrad.dat: every file is compared at the first file's times !"},
      {"two points compared", "fe57-fit", "ZEPRIN.INP", "\t 170.0 \t XEXP2", "\t 15.5 \t XEXP2", 1,
       " fewer than 3 points of the experiment file fe57_2.8mrad.dat with a count above 0 lie between XEXP1 and XEXP2"
       " to compare with !"},
      {"IDIST 4", "fe57-film", "ZEPRIN.INP", "\t 1 \t IDIST", "\t 4 \t IDIST", 1,
       " IDIST in ZEPRIN.INP must lie in 0..3 !"},
      {"IDIST -1", "fe57-film", "ZEPRIN.INP", "\t 1 \t IDIST", "\t -1 \t IDIST", 1,
       " IDIST in ZEPRIN.INP must lie in 0..3 !"},
      {"DENOM 1e-45", "fe57-film", "Tconst.INI", "   3             DENOM", "   1e-45  DENOM", 1, notFinite},
      {"ERES 1e-30", "fe57-film", "Tconst.INI", "   14.4129 ", "   1e-30 ", 1, notFinite},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.what);
    nrstest::TempDir dir;
    copyExample(dir, c.example, {{c.file, c.from, c.to}});
    const auto r = zeprintest::runZeprin();
    EXPECT_EQ(r.status, c.status) << r.output.substr(0, 2000);
    EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output.substr(0, 2000);
    EXPECT_FALSE(zeprintest::sanitizerReport(r.output));
  }
}

// A result file that cannot be written (a full disk) ends the run with the
// run-time's message and exit status 2, whichever file it is.
TEST(ZeprinBadInput, ResultFilesThatCannotBeWrittenFailTheRun) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  struct Case {
    const char* example;
    const char* file;
    int unit;
  };
  const Case cases[] = {{"fe57-fit", "RESULT.res", 1},  {"fe57-film", "INTEGR.res", 2}, {"fe57-film", "BUFFTN2.RES", 8},
                        {"fe57-film", "LAYSPC.RES", 3}, {"fe57-film", "MODELN.RES", 10}, {"fe57-film", "ZEPRIN.RES", 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    nrstest::TempDir dir;
    copyExample(dir, c.example);
    fs::create_symlink("/dev/full", dir.path() / c.file);
    const auto r = zeprintest::runZeprin();
    EXPECT_EQ(r.status, 2) << r.output;
    const std::string message =
        "run-time error: write failed (unit " + std::to_string(c.unit) + ", file \"" + c.file + "\")";
    EXPECT_NE(r.output.find(message), std::string::npos) << r.output;
  }
}

// A time resolution narrower than one channel on either side of the kernel's
// centre leaves the spectra unaveraged: the same curves as SIGMA = 0, however
// small (SIGMA**2 underflows in single precision) or negative.
TEST(ZeprinBadInput, TinySigmaMeansNoTimeAveraging) {
  auto curves = [](const std::string& sigma) {
    nrstest::TempDir dir;
    copyExample(dir, "fe57-film", {{"ZEPRIN.INP", "\t 0.3 \t SIGMA", "\t " + sigma + " \t SIGMA"}});
    const auto r = zeprintest::runZeprin();
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string log = dir.read("ZEPRIN.RES");
    return std::string(dir.read("BUFFTN1.RES") + dir.read("BUFFTN3.RES")) +
           (nrstest::hasLine(log, "    1  0.0000  1.0000") ? "one weight 1" : "");
  };
  const std::string none = curves("0");
  EXPECT_NE(none.find("one weight 1"), std::string::npos);
  for (const char* sigma : {"1e-30", "1e-45", "-5", "0.1"}) {
    SCOPED_TRACE(sigma);
    EXPECT_EQ(curves(sigma), none);
  }
  EXPECT_NE(curves("0.3"), none);
}

}  // namespace
