// Delayed time spectra of 57Fe films: natural decay, quantum beats of the
// magnetic and quadrupole splittings, invariance under a common isomer
// shift, Parseval's relation, causality, and the resonant absorption that
// follows from the cross-section.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "fe57_fixture.hpp"
#include "numlib/interp.hpp"

using namespace physics_test;

namespace {

// Thin, dilute resonant film on silicon: kinematic scattering, so the delayed
// intensity is |sum of the line amplitudes|^2 with no speed-up.
void thinFilm(Sample& r, float BE, float GA, float RAND) {
  addLayer(*r.st, r.fe, 20.0, kChiFe, 1, 0.02f, BE, GA, RAND);
  addLayer(*r.st, r.fe, 0.0, kChiSi);
}

// Decay time (ns) of I(t) over [t1, t2] ns from the slope of ln I.
double decayTime(const Sample& r, double t1, double t2) {
  std::vector<double> t, y;
  for (int j = 1; j <= 1024; ++j) {
    const double tj = (j - 1) * r.channel();
    if (tj >= t1 && tj <= t2) t.push_back(tj), y.push_back(std::log(static_cast<double>(r.out->It(j))));
  }
  return -1.0 / slope(t, y);
}

// Local minima (or maxima) of I(t) in [t1, t2] ns: times refined by a
// parabola through the three channels around each, and values.
void extrema(const Sample& r, double t1, double t2, bool minima, std::vector<double>& t, std::vector<double>& v) {
  const double dt = r.channel();
  for (int j = 2; j < 1024; ++j) {
    const double tj = (j - 1) * dt;
    const double a = r.out->It(j - 1), b = r.out->It(j), c = r.out->It(j + 1);
    const bool found = minima ? (b < a && b <= c) : (b > a && b >= c);
    if (tj < t1 || tj > t2 || !found) continue;
    t.push_back(tj + 0.5 * dt * (a - c) / (a - 2 * b + c));
    v.push_back(b);
  }
}

}  // namespace

TEST(TimeSpectrum, ThinSingleLineFilmDecaysWithTheNaturalLifetime) {
  Fe57 fe;
  const double tau = kHbar / (fe.C.GE / mmsPerEV()) * 1e9;  // ns, from the natural width
  for (int Jway : {1, 2}) {
    // Random orientation, and a single line in an oblique direction: the six
    // coinciding transitions add up to an isotropic tensor.
    for (float RAND : {1.0f, 0.0f}) {
      Sample r(0.05f, 4.0f, 4e-3, Jway);
      thinFilm(r, 0.7f, 0.4f, RAND);
      r.timcalu();
      const double t = decayTime(r, 40.0, 500.0);
      EXPECT_NEAR(t, kLifetime, 0.01 * kLifetime) << Jway << " " << RAND;
      EXPECT_NEAR(t, tau, 0.003 * tau) << Jway << " " << RAND;
    }
  }
}

TEST(TimeSpectrum, QuantumBeatsMatchTheLineSeparations) {
  // alpha-Fe, field along the first polarisation: only the two Delta m = 0
  // lines at -+(g_g - g_e) muN B/2 are excited.  A quadrupole doublet in a
  // powder: lines at IS -+ QS/2.  Two equal lines beat with h over their
  // separation; the intensity vanishes halfway between the beat maxima.
  const double B = 33.0, QS = 1.6;  // T, mm/s
  const double gG = kMuGround / 0.5, gE = kMuExcited / 1.5;
  const double magnetic = kPlanck / ((gG - gE) * kNuclearMagneton * B) * 1e9;  // 13.99 ns
  const double quadrupole = kPlanck / (QS / mmsPerEV()) * 1e9;                  // 53.77 ns
  for (int Jway : {1, 2}) {
    for (bool magnetic_case : {true, false}) {
      Sample r(0.05f, 6.0f, 4e-3, Jway);
      if (magnetic_case) {
        r.fe.C.Bhf(1) = static_cast<float>(B);
        thinFilm(r, 0.0f, 0.0f, 0.0f);
      } else {
        r.fe.C.EFG(1) = static_cast<float>(QS), r.fe.C.IS(1) = 0.3f;
        thinFilm(r, 0.0f, 0.0f, 1.0f);
      }
      r.timcalu();
      std::vector<double> t, v, index;
      extrema(r, 20.0, 500.0, true, t, v);
      for (size_t i = 0; i < t.size(); ++i) index.push_back(static_cast<double>(i));
      const double expected = magnetic_case ? magnetic : quadrupole;
      EXPECT_GE(t.size(), 8u);
      const double period = slope(index, t);
      EXPECT_NEAR(period, expected, 0.002 * expected) << "period " << period << " ns, expected " << expected;
    }
  }
}

TEST(TimeSpectrum, BroadenedLinesShortenTheBeatEnvelope) {
  // A Lorentzian spread dBhf of the field and an extra half width GRd give
  // both Delta m = 0 lines the full width |G| dBhf + GE + 2 GRd; the beat
  // maxima then decay with hbar over that width.
  const double gG = kMuGround / 0.5, gE = kMuExcited / 1.5;
  const double G = 0.5 * (gG - gE) * kNuclearMagneton * mmsPerEV();  // mm/s per T
  for (int Jway : {1, 2}) {
    Sample r(0.05f, 6.0f, 4e-3, Jway);
    NuclearConstants& C = r.fe.C;
    C.Bhf(1) = 33.0f, C.dBhf(1) = 0.6f, C.GRd(1) = 0.01f;
    thinFilm(r, 0.0f, 0.0f, 0.0f);
    r.timcalu();
    const double width = G * C.dBhf(1) + C.GE + 2 * C.GRd(1);
    const double tau = kHbar / (width / mmsPerEV()) * 1e9;
    std::vector<double> t, v;
    extrema(r, 20.0, 300.0, false, t, v);
    ASSERT_GE(t.size(), 15u);
    for (double& x : v) x = std::log(x);
    const double fitted = -1.0 / slope(t, v);
    EXPECT_NEAR(fitted, tau, 0.01 * tau) << "tau " << fitted << " ns, expected " << tau;
  }
}

TEST(TimeSpectrum, AnglesMayRunInParallel) {
  // Each angle has its own work storage; nothing else is shared.
  const double angles[4] = {2.5e-3, 3.0e-3, 3.5e-3, 4.0e-3};
  std::vector<std::unique_ptr<Sample>> seq, par;
  for (int i = 0; i < 8; ++i) {
    auto r = std::make_unique<Sample>(0.05f, 8.0f, angles[i % 4], i % 2 + 1);
    r->fe.C.Bhf(1) = 33.0f;
    addLayer(*r->st, r->fe, 10.0, kChiPd);
    addLayer(*r->st, r->fe, 60.0, kChiFe, 1, 40.0f, 1.2f, 0.5f, 0.2f);
    addLayer(*r->st, r->fe, 0.0, kChiSi);
    (i < 4 ? seq : par).push_back(std::move(r));
  }
  for (auto& r : seq) r->timcalu();
  std::vector<std::thread> threads;
  for (auto& r : par) threads.emplace_back([&r] { r->timcalu(); });
  for (std::thread& t : threads) t.join();
  for (int i = 0; i < 4; ++i)
    for (int j = 1; j <= 1024; ++j) ASSERT_EQ(par[i]->out->It(j), seq[i]->out->It(j));
}

TEST(TimeSpectrum, CommonIsomerShiftLeavesTheTimeSpectrumUnchanged) {
  for (int Jway : {1, 2}) {
    // The grid moves by five steps under the spectrum; what changes is only
    // the 1/E tails of the lines at the two ends of the Fourier window.
    Sample base(0.1f, 11.0f, 3e-3, Jway), shifted(0.1f, 11.0f, 3e-3, Jway);
    for (Sample* r : {&base, &shifted}) {
      NuclearConstants& C = r->fe.C;
      const float shift = r == &shifted ? 0.5f : 0.0f;
      C.Bhf(1) = 33.0f, C.IS(1) = shift;
      C.Bhf(2) = 0.0f, C.EFG(2) = 0.7f, C.IS(2) = 0.35f + shift;
      r->a.NM = 2;
      addLayer(*r->st, r->fe, 10.0, kChiPd);
      addLayer(*r->st, r->fe, 60.0, kChiFe, 1, 40.0f, 1.2f, 0.5f, 0.2f);
      addLayer(*r->st, r->fe, 30.0, kChiFe, 2, 30.0f, 0.3f, 0.0f, 0.5f);
      addLayer(*r->st, r->fe, 0.0, kChiSi);
      r->timcalu();
    }
    float peak = 0;
    for (int j = 2; j <= 1024; ++j) peak = std::max(peak, base.out->It(j));
    for (int j = 2; j <= 1024; ++j) ASSERT_NEAR(shifted.out->It(j), base.out->It(j), 3e-3 * peak) << j;
    EXPECT_NEAR(shifted.out->SUME, base.out->SUME, 1e-3 * base.out->SUME);
  }
}

TEST(TimeSpectrum, ParsevalHoldsAndTheResponseIsCausal) {
  for (int Jway : {1, 2}) {
    Sample r(0.05f, 8.0f, 3.5e-3, Jway);
    r.fe.C.Bhf(1) = 33.0f;
    addLayer(*r.st, r.fe, 10.0, kChiPd);
    addLayer(*r.st, r.fe, 80.0, kChiFe, 1, 40.0f, 1.0f, 0.8f, 0.1f);
    addLayer(*r.st, r.fe, 0.0, kChiSi);
    r.timcalu();

    // Sum of |amplitude|^2 of both curves on the Fourier window.
    numlib::Arr1<float, 1024> XN;
    numlib::Arr1<double, 1024> y;
    for (int j = 1; j <= 1024; ++j) XN(j) = static_cast<float>(j - 1 - 512) * r.a.XEST;
    double window = 0;
    for (auto* curve : {&r.w->a1, &r.w->b1, &r.w->a2, &r.w->b2}) {
      numlib::INTERP(r.a.grid, curve->span(), XN.span(), y.span(), r.a.NE, 1024);
      for (int j = 1; j <= 1024; ++j) window += y(j) * y(j);
    }
    EXPECT_GT(window, 0.0);
    double total = 0;
    for (int j = 1; j <= 1024; ++j) total += r.w->spectrum(j);
    // The transform's twiddle factors are rounded to single precision.
    EXPECT_NEAR(total, 1024 * window, 1e-6 * 1024 * window);
    EXPECT_NEAR(r.out->SUMTfull, 1024 * window, 2e-6 * 1024 * window);

    // Nothing comes before the pulse: the channels below the end of the
    // window (negative times, 34 to 250 ns) hold next to nothing compared
    // with the same times after the pulse.  (The few channels on either side
    // of t = 0 share the prompt peak, smeared by the finite energy range.)
    double before = 0, after = 0;
    for (int k = 20; k <= 150; ++k) before += r.out->It(1024 - k), after += r.out->It(k + 2);
    EXPECT_LT(before, 1e-3 * after) << before / after;
  }
}

TEST(TimeSpectrum, SingleLineIsIsotropicInAnyOrientation) {
  // A thick enriched single-line film: the transitions coincide, so the
  // transfer matrices have (nearly) coinciding eigenvalues; the result must
  // not depend on the field direction nor contain NaN.
  for (int Jway : {1, 2}) {
    Sample iso(0.05f, 5.0f, 3e-3, Jway), tilted(0.05f, 5.0f, 3e-3, Jway);
    addLayer(*iso.st, iso.fe, 150.0, kChiFe, 1, 40.0f, 0.0f, 0.0f, 1.0f);
    addLayer(*iso.st, iso.fe, 0.0, kChiSi);
    addLayer(*tilted.st, tilted.fe, 150.0, kChiFe, 1, 40.0f, 0.9f, 0.35f, 0.0f, 0.0f, 0.2f);
    addLayer(*tilted.st, tilted.fe, 0.0, kChiSi);
    iso.timcalu();
    tilted.timcalu();
    float peak = 0;
    for (int j = 1; j <= 1024; ++j) {
      ASSERT_TRUE(std::isfinite(tilted.out->It(j)));
      peak = std::max(peak, iso.out->It(j));
    }
    for (int j = 1; j <= 1024; ++j) ASSERT_NEAR(tilted.out->It(j), iso.out->It(j), 1e-5 * peak) << j;
    for (int k = 1; k <= iso.a.NE; ++k) {
      ASSERT_TRUE(std::isfinite(tilted.out->RE(k)));
      ASSERT_NEAR(tilted.out->RE(k), iso.out->RE(k), 1e-6) << k;
    }
  }
}

TEST(TimeSpectrum, SingleLineAbsorptionFollowsTheCrossSection) {
  // At resonance the single-line susceptibility is i n sigma0 fLM beta / k0
  // per unit density V, whatever the orientation.
  const double lambda = kPlanck * (kLight * 1e-3) / (kEres * 1e3) * 1e10;  // Angstrom
  const double sigma0 = lambda * lambda / (2 * M_PI) * 4.0 / 2.0 / (1 + 8.21);
  const double chiRes = 0.08491 * sigma0 * 0.8 * 0.02119 * lambda / (2 * M_PI);
  for (float RAND : {1.0f, 0.0f}) {
    Sample r(0.05f, 4.0f, 4e-3, 2);
    const float V = 3.0f;
    const int l = addLayer(*r.st, r.fe, 20.0, kChiFe, 1, V, 0.8f, 0.2f, RAND);
    addLayer(*r.st, r.fe, 0.0, kChiSi);
    r.timcalu();
    int k0 = 1;
    for (int k = 1; k <= r.a.NE; ++k)
      if (std::abs(r.grid(k)) < std::abs(r.grid(k0))) k0 = k;
    ASSERT_LT(std::abs(r.grid(k0)), 1e-4);
    const double expected = r.st->thickness(l) * V * chiRes;
    EXPECT_NEAR(r.out->E1(k0), expected, 2e-4 * expected) << RAND;
    EXPECT_NEAR(r.out->E2(k0), expected, 2e-4 * expected) << RAND;
  }
}

TEST(TimeSpectrum, FieldDistribution) {
  // Two weights at the ends of the distribution equal two sharp-field
  // multiplets at Bhf -+ SWD dBhf with half the density each.
  for (int Jway : {1, 2}) {
    Sample dist(0.05f, 7.0f, 3.5e-3, Jway), pair(0.05f, 7.0f, 3.5e-3, Jway);
    NuclearConstants& C = dist.fe.C;
    C.JAV1 = 3, C.SWD = 0.9f;
    C.Bhf(1) = 30.0f, C.dBhf(1) = 2.0f;
    for (int i = 1; i <= 7; ++i) dist.WDIST(i) = 0.0f;
    dist.WDIST(1) = dist.WDIST(7) = 0.5f;
    dist.a.IDIST = 1;
    addLayer(*dist.st, dist.fe, 40.0, kChiFe, 1, 20.0f, 1.1f, 0.3f);
    addLayer(*dist.st, dist.fe, 0.0, kChiSi);
    pair.fe.C.Bhf(1) = 30.0f - 0.9f * 2.0f, pair.fe.C.Bhf(2) = 30.0f + 0.9f * 2.0f;
    pair.a.NM = 2;
    const int l = addLayer(*pair.st, pair.fe, 40.0, kChiFe, 1, 10.0f, 1.1f, 0.3f);
    pair.st->V(2, l) = 10.0f;
    addLayer(*pair.st, pair.fe, 0.0, kChiSi);
    dist.timcalu();
    pair.timcalu();
    float peak = 0;
    for (int j = 1; j <= 1024; ++j) peak = std::max(peak, pair.out->It(j));
    for (int j = 1; j <= 1024; ++j) ASSERT_NEAR(dist.out->It(j), pair.out->It(j), 1e-5 * peak) << j;
  }
  // JAV1 = 0 leaves no field step: the multiplet is taken without a
  // distribution, its lines broadened by dBhf.
  for (int Jway : {1, 2}) {
    Sample dist(0.05f, 7.0f, 3.5e-3, Jway), plain(0.05f, 7.0f, 3.5e-3, Jway);
    for (Sample* r : {&dist, &plain}) {
      r->fe.C.Bhf(1) = 30.0f, r->fe.C.dBhf(1) = 2.0f;
      r->WDIST(1) = 1.0f;
      addLayer(*r->st, r->fe, 40.0, kChiFe, 1, 20.0f, 1.1f, 0.3f);
      addLayer(*r->st, r->fe, 0.0, kChiSi);
    }
    dist.a.IDIST = 1;
    dist.timcalu();
    plain.timcalu();
    EXPECT_TRUE(std::isfinite(dist.out->SUMTfull));
    EXPECT_GT(dist.out->SUMTfull, 0.0f);
    for (int j = 1; j <= 1024; ++j) ASSERT_EQ(dist.out->It(j), plain.out->It(j)) << j;
  }
}
