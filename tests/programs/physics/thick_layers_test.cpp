// Films many decay lengths thick: the reflection of the film's half-space,
// finite at any thickness, and the same from both computation paths.
#include <gtest/gtest.h>

#include <cmath>

#include "fe57_fixture.hpp"

using namespace physics_test;
using numlib::CMat2;

namespace {

bool finite(const CMat2& R) {
  for (const cdouble& z : R.e)
    if (!std::isfinite(z.real()) || !std::isfinite(z.imag())) return false;
  return true;
}

// Enriched 57Fe in a 33 T field at an oblique direction: the two polarisation
// modes absorb very differently near the lines.
void resonantFe(Sample& r, double t) {
  r.fe.C.Bhf(1) = 33.0f;
  addLayer(*r.st, r.fe, t, kChiFe, 1, 40.0f, 1.2f, 0.3f);
}

// Energies across the sextet (mm/s), lines and wings.
const double kEnergies[] = {-8.0, -5.3, -5.1, -3.0, -0.9, -0.4, 0.0, 0.8, 3.1, 5.3, 7.5};

}  // namespace

TEST(ThickLayers, FilmThickerThanItsDecayLengthReflectsAsItsHalfSpace) {
  // 2 mrad lies below the critical angle of iron (3.9 mrad), 6 mrad above:
  // there the wave reaches 1e4 Angstrom deep, so the film must be thicker.
  for (int Jway : {1, 2}) {
    for (double mrad : {2.0, 6.0}) {
      const double s = std::sin(mrad * 1e-3);
      for (double t : {1e4, 1e5, 1e6}) {
        if (mrad > 3.9 && t < 1e5) continue;
        SCOPED_TRACE(testing::Message() << "Jway " << Jway << ", " << mrad << " mrad, " << t << " A");
        // Electronic only: Fresnel's reflectivity of an iron surface.
        Sample el(0.05f, 8.0f, mrad * 1e-3, Jway);
        addLayer(*el.st, el.fe, t, kChiFe);
        addLayer(*el.st, el.fe, 0.0, kChiSi);
        const CMat2 Re = reflect(el, 0.0, Jway);
        const cdouble q = std::sqrt(s * s + kChiFe);
        EXPECT_NEAR(std::norm(Re(1, 1)), std::norm((s - q) / (s + q)), 1e-12);
        EXPECT_EQ(std::abs(Re(2, 1)), 0.0);

        // Resonant: the film on silicon against a substrate of the film's own material.
        Sample film(0.05f, 8.0f, mrad * 1e-3, Jway), bulk(0.05f, 8.0f, mrad * 1e-3, Jway);
        resonantFe(film, t);
        addLayer(*film.st, film.fe, 0.0, kChiSi);
        resonantFe(bulk, 0.0);
        for (double E : kEnergies) {
          const CMat2 Rf = reflect(film, E, Jway), Rb = reflect(bulk, E, Jway);
          ASSERT_TRUE(finite(Rf)) << E;
          EXPECT_NEAR(intensity(Rf, s), intensity(Rb, s), 1e-10) << E;
          EXPECT_LT(std::abs(Rf(2, 1) - Rb(2, 1)) / s, 1e-6) << E;
        }
      }
    }
  }
}

TEST(ThickLayers, MatrixAndParrattPathsAgreeForThickFilms) {
  const double mrad = 3.4, s = std::sin(mrad * 1e-3);
  for (bool resonant : {true, false}) {
    double sumeThick = 0;
    for (double t : {1e3, 3e3, 1e4, 1e5}) {
      SCOPED_TRACE(testing::Message() << (resonant ? "resonant " : "electronic ") << t << " A");
      Sample r(0.05f, 8.0f, mrad * 1e-3, 1);
      if (resonant)
        resonantFe(r, t);
      else
        addLayer(*r.st, r.fe, t, kChiFe);
      addLayer(*r.st, r.fe, 0.0, kChiSi);
      double worst = 0;
      for (int k = 1; k <= r.a.NE; k += 3) {
        const CMat2 R1 = reflect(r, r.grid(k), 1), R2 = reflect(r, r.grid(k), 2);
        ASSERT_TRUE(finite(R1) && finite(R2)) << r.grid(k);
        worst = std::max(worst, std::abs(intensity(R1, s) - intensity(R2, s)));
        // The transfer-matrix amplitude is the negative of Parratt's.
        worst = std::max(worst, std::abs(R1(2, 1) + R2(2, 1)) / s);
      }
      EXPECT_LT(worst, 1e-10);

      const zeprin::TimcaluOut m = timcaluBothPaths(r);
      const zeprin::TimcaluOut& p = *r.out;
      EXPECT_EQ(p.recursivePoints, 0);
      if (resonant) {
        // Near the lines the resonant film is too thick for the transfer
        // matrices from 1000 Angstrom on.
        EXPECT_GT(m.recursivePoints, 0);
        EXPECT_GT(p.SUME, 0.0f);
        EXPECT_NEAR(m.SUME, p.SUME, 1e-5 * p.SUME);
        float peak = 0;
        for (int j = 1; j <= 1024; ++j) peak = std::max(peak, p.It(j));
        for (int j = 1; j <= 1024; ++j) ASSERT_NEAR(m.It(j), p.It(j), 1e-5 * peak) << j;
        // Once the wave dies in the film, the film is a half-space: the
        // delayed reflectivity no longer depends on its thickness.
        if (t >= 3e3) {
          if (sumeThick == 0) sumeThick = p.SUME;
          EXPECT_NEAR(p.SUME, sumeThick, 1e-5 * sumeThick);
        }
      }
    }
  }
}

TEST(ThickLayers, ThickRepeatedBlockAgreesWithTheRecursion) {
  // 40 periods of enriched iron and silicon: B^16 is squared from a block
  // whose resonant growth is large near the lines.
  const double mrad = 3.0, s = std::sin(mrad * 1e-3);
  Sample r(0.05f, 8.0f, mrad * 1e-3, 1);
  r.fe.C.Bhf(1) = 33.0f;
  SteppedModel& st = *r.st;
  addLayer(st, r.fe, 20.0, kChiPd);
  st.N1Nst = addLayer(st, r.fe, 60.0, kChiFe, 1, 40.0f, 1.0f, 0.7f);
  st.N2Nst = addLayer(st, r.fe, 30.0, kChiSi);
  st.NRR = 40;
  addLayer(st, r.fe, 0.0, kChiSi);
  double worst = 0;
  for (int k = 1; k <= r.a.NE; k += 2) {
    const CMat2 R1 = reflect(r, r.grid(k), 1), R2 = reflect(r, r.grid(k), 2);
    ASSERT_TRUE(finite(R1)) << r.grid(k);
    worst = std::max(worst, std::abs(intensity(R1, s) - intensity(R2, s)));
  }
  EXPECT_LT(worst, 1e-10);
}

TEST(ThickLayers, ResonantFilmOverAThickerResonantLayerAgreesWithTheRecursion) {
  // The growth of the thick layer below hides, in the size of the product,
  // the precision already lost in the film above: the film alone, and a
  // block repeated 32 times (B^16 applied once, B^4 three times).
  const double mrad = 3.21, s = std::sin(mrad * 1e-3);
  for (bool block : {false, true}) {
    SCOPED_TRACE(block ? "repeated block" : "film");
    Sample r(0.05f, 8.0f, mrad * 1e-3, 1);
    r.fe.C.Bhf(1) = 33.0f;
    SteppedModel& st = *r.st;
    const int first = addLayer(st, r.fe, block ? 30.0 : 960.0, kChiPd, 1, 36.0f, 1.97f, 0.82f, 0.1f);
    const int last = addLayer(st, r.fe, 20.0, kChiPd);
    if (block) st.N1Nst = first, st.N2Nst = last, st.NRR = 32;
    addLayer(st, r.fe, 20000.0, kChiSi, 1, 20.0f, 1.97f, 0.82f, 0.1f);
    addLayer(st, r.fe, 0.0, kChiFe);
    double worst = 0;
    for (int k = 1; k <= r.a.NE; ++k) {
      const double E = r.grid(k);
      worst = std::max(worst, std::abs(intensity(reflect(r, E, 1), s) - intensity(reflect(r, E, 2), s)));
    }
    EXPECT_LT(worst, 1e-10);
  }
}

TEST(ThickLayers, ThinFilmKeepsTheTransferMatrices) {
  // Well conditioned everywhere: no point leaves the matrix path.
  Sample r(0.05f, 8.0f, 3.4e-3, 1);
  resonantFe(r, 150.0);
  addLayer(*r.st, r.fe, 0.0, kChiSi);
  r.timcalu();
  EXPECT_EQ(r.out->recursivePoints, 0);
  EXPECT_GT(r.out->SUME, 0.0f);
}
