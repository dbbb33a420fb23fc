// The counting windows and the table unpacking of MOLVEC.
#include <gtest/gtest.h>

#include "numlib/yvlayout.hpp"
#include "programs/molvec/molvec.hpp"
#include "tempdir.hpp"

namespace {

using molvec::TimeWindows;

// Channels of 0.5 ns: window 1 starts at the last channel before TIMINI
// (t = 19.5 ns), ends at the last before TIMFIN, and the bunch period is the
// last channel before TIMECYCLE.
TEST(MolvecWindows, ChannelsOfTheWindows) {
  struct Case {
    float AN, TIMINI, TIMFIN, TIMECYCLE;
    int IW1, IW2, ICYC;
  };
  const Case cases[] = {
      {0.5f, 20, 100, 200, 40, 200, 400},
      {0.5f, 0, 0, 0, 1, 0, 0},           // no channel before 0: window 1 from channel 1, empty
      {0.84f, 20, 170, 176, 24, 203, 210},
  };
  for (const Case& c : cases) {
    TimeWindows w;
    molvec::timeWindows(c.AN, c.TIMINI, c.TIMFIN, c.TIMECYCLE, w);
    EXPECT_EQ(w.IW1, c.IW1);
    EXPECT_EQ(w.IW2, c.IW2);
    EXPECT_EQ(w.ICYC, c.ICYC);
    EXPECT_FLOAT_EQ(w.T(1024), 1023 * c.AN);
  }
}

// The unpacking of MOLVEC keeps the thicknesses of a repeated block as the
// table holds them (the block of 3 x 60 + 60 = 120 Angstrom stays, where its
// period of 100 would rescale it), leaves the angle entries alone and logs
// HKMAX, a negative one as 0.01.
TEST(MolvecUnpack, BlockAnglesAndHkmax) {
  namespace yv = numlib::yv;
  nrstest::TempDir dir;
  common::Model m;
  m.NNN = 3, m.N1N = 1, m.N2N = 2, m.NRN = 3, m.NM = 1, m.INORM = 3, m.period = 100;
  numlib::YVTable YV;
  YV.fill(0.0f);
  const float H[3] = {60, 60, 1000};
  for (int N = 1; N <= 3; ++N) YV(N, yv::H1A) = H[N - 1];
  const int g = yv::lineS(3);
  YV(g, yv::HKMAX) = -2.0f;
  YV(g, yv::colAngle(1)) = 3.25f;
  fio::Unit log(4);
  log.openNew("log.txt");
  molvec::YVMODD(log, YV, m, 1, 1, 0.0f);
  log.close();
  for (int N = 1; N <= 3; ++N) {
    EXPECT_EQ(m.arrays.thickness(N), H[N - 1]);
    EXPECT_EQ(YV(N, yv::H1A), H[N - 1]);
  }
  EXPECT_EQ(YV(g, yv::colAngle(1)), 3.25f);
  EXPECT_EQ(m.arrays.angles(1), 0.0);
  EXPECT_EQ(dir.read("log.txt"), "  HKMAX 0.01\n");
}

}  // namespace
