// Reflection matrix of layered stacks: electronic limits against Fresnel and
// Airy, the two computation paths against each other, repeated blocks
// against the stack written out.
#include <gtest/gtest.h>

#include <cmath>

#include "fe57_fixture.hpp"

using namespace physics_test;
using numlib::CMat2;

namespace {

cdouble kz(double s, cdouble chi) { return std::sqrt(s * s + chi); }
cdouble fresnel(cdouble qa, cdouble qb) { return (qa - qb) / (qa + qb); }

// Film of phase thickness d (chi1) on a substrate (chi2): Airy summation.
cdouble airy(double s, cdouble chi1, cdouble chi2, double d) {
  const cdouble q1 = kz(s, chi1), q2 = kz(s, chi2);
  const cdouble r01 = fresnel(s, q1), r12 = fresnel(q1, q2);
  const cdouble ph = std::exp(cdouble(0, 2) * q1 * d);
  return (r01 + r12 * ph) / (1.0 + r01 * r12 * ph);
}

}  // namespace

TEST(ElectronicReflectivity, SubstrateAndFilmFollowFresnelAndAiry) {
  for (int Jway : {1, 2}) {
    for (double mrad : {0.8, 2.0, 3.1, 4.5, 7.0, 12.0}) {
      const double s = std::sin(mrad * 1e-3);
      Sample bare(0.05f, 5.0f, mrad * 1e-3, Jway);
      addLayer(*bare.st, bare.fe, 0.0, kChiPd);
      const CMat2 Rb = reflect(bare, 0.3, Jway);
      EXPECT_NEAR(std::norm(Rb(1, 1)), std::norm(fresnel(s, kz(s, kChiPd))), 1e-13) << mrad;
      EXPECT_EQ(std::abs(Rb(2, 1)), 0.0);

      Sample film(0.05f, 5.0f, mrad * 1e-3, Jway);
      addLayer(*film.st, film.fe, 212.0, kChiFe);
      addLayer(*film.st, film.fe, 0.0, kChiSi);
      const CMat2 Rf = reflect(film, 0.3, Jway);
      const double expected = std::norm(airy(s, kChiFe, kChiSi, 212.0 * film.fe.K0));
      EXPECT_NEAR(std::norm(Rf(1, 1)), expected, 1e-12 * std::max(1.0, expected)) << mrad;
      EXPECT_NEAR(intensity(Rf, s), expected, 1e-12) << mrad;
    }
  }
}

TEST(ElectronicReflectivity, TotalReflectionWithoutAbsorption) {
  const cdouble dense(-2.0e-5, 0.0), light(-6.0e-6, 0.0);
  for (int Jway : {1, 2}) {
    // Below the critical angle of the substrate (sqrt(2e-5) = 4.47 mrad).
    for (double mrad : {0.5, 2.0, 4.0}) {
      Sample r(0.05f, 5.0f, mrad * 1e-3, Jway);
      addLayer(*r.st, r.fe, 150.0, light);
      addLayer(*r.st, r.fe, 70.0, dense);
      addLayer(*r.st, r.fe, 0.0, dense);
      EXPECT_NEAR(std::abs(reflect(r, 0.0, Jway)(1, 1)), 1.0, 1e-12) << mrad;
    }
    // Exactly at the critical angle the substrate's wave number is 0.
    const double angle = 3.0e-3, s = std::sin(angle);
    const cdouble critical(-s * s, 0.0);
    Sample bare(0.05f, 5.0f, angle, Jway);
    addLayer(*bare.st, bare.fe, 0.0, critical);
    const CMat2 Rb = reflect(bare, 0.0, Jway);
    EXPECT_NEAR(std::abs(Rb(1, 1)), 1.0, 1e-8);
    Sample film(0.05f, 5.0f, angle, Jway);
    addLayer(*film.st, film.fe, 90.0, light);
    addLayer(*film.st, film.fe, 40.0, critical);
    addLayer(*film.st, film.fe, 0.0, critical);
    const CMat2 Rf = reflect(film, 0.0, Jway);
    EXPECT_NEAR(std::abs(Rf(1, 1)), 1.0, 1e-8);
    EXPECT_TRUE(std::isfinite(std::abs(Rf(2, 1))));
    // The same with a resonant film: every output finite.
    Sample res(0.05f, 5.0f, angle, Jway);
    res.fe.C.Bhf(1) = 33.0f;
    addLayer(*res.st, res.fe, 40.0, critical, 1, 40.0f, 0.5f, 0.5f);
    addLayer(*res.st, res.fe, 0.0, critical);
    res.timcalu();
    EXPECT_TRUE(std::isfinite(res.out->SUMTfull) && std::isfinite(res.out->SUME) && res.out->SUMTfull > 0);
    for (int k = 1; k <= res.a.NE; ++k) ASSERT_TRUE(std::isfinite(res.out->RE(k))) << k;
  }
}

TEST(ElectronicReflectivity, NoResonanceGivesNoDelayedSignal) {
  for (int Jway : {1, 2}) {
    Sample r(0.05f, 5.0f, 3e-3, Jway);
    r.fe.C.Bhf(1) = 33.0f;
    addLayer(*r.st, r.fe, 100.0, kChiFe);
    addLayer(*r.st, r.fe, 0.0, kChiSi);
    r.timcalu();
    const zeprin::TimcaluOut& o = *r.out;
    EXPECT_EQ(o.SUME, 0.0f);
    EXPECT_EQ(o.SUMTfull, 0.0f);
    EXPECT_GT(o.YRELAY, 0.0f);
    for (int k = 1; k <= r.a.NE; ++k) {
      ASSERT_EQ(o.RE(k), o.YRELAY);
      ASSERT_EQ(o.E1(k), 0.0f);
      ASSERT_EQ(o.E2(k), 0.0f);
    }
    for (int j = 1; j <= 1024; ++j) ASSERT_EQ(o.It(j), 0.0f);
  }
}

namespace {

// A resonant multilayer: Pd cap, enriched 57Fe in an oblique field with a
// quadrupole shift and a random part, a doublet layer, and a resonant
// substrate, so that every kind of sublayer and both boundary matrices are
// anisotropic.
void anisotropicStack(Sample& r, int IBHF) {
  NuclearConstants& C = r.fe.C;
  C.Bhf(1) = 33.0f, C.EFG(1) = 0.12f, C.IS(1) = 0.1f, C.GRd(1) = 0.01f;
  C.Bhf(2) = 0.0f, C.EFG(2) = 0.8f, C.IS(2) = 0.4f, C.GRd(2) = 0.03f;
  C.Bhf(3) = 20.0f, C.EFG(3) = -0.5f, C.IS(3) = -0.2f;
  r.a.NM = 3;
  r.a.IBHF = IBHF;
  SteppedModel& st = *r.st;
  addLayer(st, r.fe, 20.0, kChiPd);
  addLayer(st, r.fe, 40.0, kChiFe, 1, 40.0f, 1.0f, 0.6f, 0.3f, 0.0f, 0.0f);
  addLayer(st, r.fe, 15.0, kChiSi);
  addLayer(st, r.fe, 30.0, kChiFe, 2, 25.0f, 0.4f, 2.0f, 0.1f, 0.2f, 0.1f);
  const int l = addLayer(st, r.fe, 25.0, kChiFe, 1, 10.0f, 1.3f, -0.4f, 0.0f, 0.0f, 0.3f);
  st.V(2, l) = 12.0f;
  addLayer(st, r.fe, 0.0, kChiFe, 3, 1.0f, 0.7f, 1.1f, 0.25f, 0.1f, 0.0f);
  if (IBHF == 2) {
    const float be[3] = {1.0f, 0.4f, 0.7f}, ga[3] = {0.6f, 2.0f, 1.1f};
    for (int m = 1; m <= 3; ++m) {
      st.BE(m) = be[m - 1], st.GA(m) = ga[m - 1];
      st.RAND(m) = 0.1f * m, st.PLAN(m) = 0.05f, st.WID(m) = m == 2 ? 0.2f : 0.0f;
    }
  }
}

}  // namespace

TEST(ResonantReflectivity, MatrixAndParrattPathsAgree) {
  for (int IBHF : {1, 2}) {
    for (double mrad : {2.5, 4.0}) {
      Sample r(0.05f, 8.0f, mrad * 1e-3, 1);
      anisotropicStack(r, IBHF);
      const double s = std::sin(mrad * 1e-3);
      double lo = 1e300, hi = 0, worst = 0;
      for (int k = 1; k <= r.a.NE; ++k) {
        const double E = r.grid(k);
        const CMat2 R1 = reflect(r, E, 1), R2 = reflect(r, E, 2);
        const double I1 = intensity(R1, s), I2 = intensity(R2, s);
        worst = std::max(worst, std::abs(I1 - I2));
        // The transfer-matrix reflection matrix is the negative of Parratt's.
        worst = std::max(worst, std::abs(R1(2, 1) + R2(2, 1)) / s);
        lo = std::min(lo, I2), hi = std::max(hi, I2);
      }
      EXPECT_LT(worst, 1e-10) << "IBHF " << IBHF << " angle " << mrad;
      EXPECT_GT(hi - lo, 0.05);  // the resonances do show

      const zeprin::TimcaluOut m = timcaluBothPaths(r);
      const zeprin::TimcaluOut& p = *r.out;
      EXPECT_NEAR(m.SUME, p.SUME, 1e-5 * p.SUME);
      EXPECT_NEAR(m.YRELAY, p.YRELAY, 1e-6);
      float peak = 0;
      for (int j = 1; j <= 1024; ++j) peak = std::max(peak, p.It(j));
      for (int j = 1; j <= 1024; ++j) ASSERT_NEAR(m.It(j), p.It(j), 1e-5 * peak) << j;
      for (int k = 1; k <= r.a.NE; ++k) {
        ASSERT_NEAR(m.E1(k), p.E1(k), 1e-6 * p.E1(k));
        ASSERT_NEAR(m.E2(k), p.E2(k), 1e-6 * p.E2(k));
      }
    }
  }
}

TEST(ResonantReflectivity, AngularParametersPerMultipletOrPerSublayerAgree) {
  // With one multiplet per sublayer, the same angles given per multiplet
  // (IBHF = 2) or per sublayer (IBHF = 1) describe the same sample.
  const float BE[3] = {1.1f, 0.3f, 0.8f}, GA[3] = {0.2f, 1.4f, -0.6f};
  const float RAND[3] = {0.1f, 0.3f, 0.0f}, PLAN[3] = {0.0f, 0.2f, 0.1f}, WID[3] = {0.0f, 0.3f, 0.1f};
  Sample one(0.05f, 8.0f, 3.3e-3, 2), two(0.05f, 8.0f, 3.3e-3, 2);
  for (Sample* r : {&one, &two}) {
    NuclearConstants& C = r->fe.C;
    C.Bhf(1) = 33.0f, C.Bhf(2) = 0.0f, C.EFG(2) = 0.9f, C.Bhf(3) = 25.0f, C.EFG(3) = 0.2f;
    r->a.NM = 3;
    addLayer(*r->st, r->fe, 10.0, kChiPd);
    for (int m = 1; m <= 3; ++m)
      addLayer(*r->st, r->fe, 30.0, kChiFe, m, 30.0f, BE[m - 1], GA[m - 1], RAND[m - 1], PLAN[m - 1], WID[m - 1]);
    addLayer(*r->st, r->fe, 0.0, kChiSi);
  }
  two.a.IBHF = 2;
  for (int m = 1; m <= 3; ++m) {
    SteppedModel& st = *two.st;
    st.BE(m) = BE[m - 1], st.GA(m) = GA[m - 1], st.RAND(m) = RAND[m - 1];
    st.PLAN(m) = PLAN[m - 1], st.WID(m) = WID[m - 1];
  }
  one.timcalu();
  two.timcalu();
  float peak = 0;
  for (int j = 1; j <= 1024; ++j) peak = std::max(peak, one.out->It(j));
  for (int j = 1; j <= 1024; ++j) ASSERT_NEAR(two.out->It(j), one.out->It(j), 1e-5 * peak) << j;
  for (int k = 1; k <= one.a.NE; ++k) ASSERT_NEAR(two.out->RE(k), one.out->RE(k), 1e-6) << k;
}

namespace {

// Cap, block of three sublayers repeated NRR times, substrate; the block
// either marked for repetition or written out.
void blockStack(Sample& r, int NRR, bool writtenOut) {
  NuclearConstants& C = r.fe.C;
  C.Bhf(1) = 33.0f, C.IS(1) = 0.0f;
  C.Bhf(2) = 0.0f, C.EFG(2) = 0.6f, C.IS(2) = 0.3f;
  r.a.NM = 2;
  SteppedModel& st = *r.st;
  addLayer(st, r.fe, 15.0, kChiPd);
  for (int n = 0; n < (writtenOut ? NRR : 1); ++n) {
    const int first = addLayer(st, r.fe, 12.0, kChiFe, 1, 40.0f, 1.2f, 0.3f, 0.2f);
    addLayer(st, r.fe, 18.0, kChiSi);
    const int last = addLayer(st, r.fe, 8.0, kChiFe, 2, 20.0f, 0.5f, 1.0f);
    if (!writtenOut) st.N1Nst = first, st.N2Nst = last, st.NRR = NRR;
  }
  addLayer(st, r.fe, 0.0, kChiSi);
}

}  // namespace

TEST(ResonantReflectivity, RepeatedBlockEqualsStackWrittenOut) {
  for (int Jway : {1, 2}) {
    for (int NRR : {2, 5, 17}) {
      Sample rep(0.05f, 8.0f, 3.2e-3, Jway), full(0.05f, 8.0f, 3.2e-3, Jway);
      blockStack(rep, NRR, false);
      blockStack(full, NRR, true);
      rep.timcalu();
      full.timcalu();
      const zeprin::TimcaluOut &a = *rep.out, &b = *full.out;
      EXPECT_NEAR(a.YRELAY, b.YRELAY, 1e-6 * b.YRELAY);
      EXPECT_NEAR(a.SUME, b.SUME, 1e-5 * b.SUME);
      EXPECT_NEAR(a.SUMTfull, b.SUMTfull, 1e-5 * b.SUMTfull);
      float peak = 0, hi = 0, lo = 1;
      for (int j = 1; j <= 1024; ++j) peak = std::max(peak, b.It(j));
      for (int j = 1; j <= 1024; ++j) ASSERT_NEAR(a.It(j), b.It(j), 1e-5 * peak) << Jway << " " << NRR;
      for (int k = 1; k <= full.a.NE; ++k) {
        ASSERT_NEAR(a.RE(k), b.RE(k), 1e-6) << Jway << " " << NRR << " " << k;
        ASSERT_NEAR(a.E1(k), b.E1(k), 1e-5 * b.E1(k));
        ASSERT_NEAR(a.E2(k), b.E2(k), 1e-5 * b.E2(k));
        hi = std::max(hi, b.RE(k)), lo = std::min(lo, b.RE(k));
      }
      EXPECT_GT(hi - lo, 0.01);
    }
  }
}

TEST(ResonantReflectivity, BlockThatIsNoRangeAboveTheSubstrateIsNotRepeated) {
  // A block reaching into the substrate, or with its ends crossed, cannot be
  // repeated; the stack is taken as listed, without walking past its ends.
  for (int Jway : {1, 2}) {
    Sample once(0.05f, 8.0f, 3.2e-3, Jway);
    blockStack(once, 1, true);
    once.timcalu();
    for (auto [n1, n2] : {std::pair{2, 5}, std::pair{4, 2}, std::pair{0, 3}}) {
      Sample bad(0.05f, 8.0f, 3.2e-3, Jway);
      blockStack(bad, 1, true);
      bad.st->N1Nst = n1, bad.st->N2Nst = n2, bad.st->NRR = 4;
      bad.timcalu();
      for (int j = 1; j <= 1024; ++j) ASSERT_EQ(bad.out->It(j), once.out->It(j)) << n1 << " " << n2;
    }
  }
}
