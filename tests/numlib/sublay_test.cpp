#include "numlib/sublay.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using namespace numlib;

struct Model {
  int NNN = 0, N1N = 1, N2N = 1, NRN = 1;
  Arr1<double, N24> H, val, W, ZD;
  Arr1<int, N24> kind, kstep;

  // Layers of the given thicknesses, values 1, 2, 3, ..., no interfaces.
  static Model layers(std::initializer_list<double> thick) {
    Model m;
    for (double t : thick) {
      ++m.NNN;
      m.H(m.NNN) = t;
      m.val(m.NNN) = m.NNN;
      m.kind(m.NNN) = 1;
    }
    return m;
  }
  void grade(int k, double width, int steps, int kd = 1, double zd = 0) {
    W(k) = width;
    kstep(k) = steps;
    kind(k) = kd;
    ZD(k) = zd;
  }
  double total() const {
    double s = 0;
    for (int k = 1; k <= NNN; ++k) s += H(k);
    return s;
  }
  double period() const {
    double s = 0;
    for (int k = N1N; k <= N2N; ++k) s += H(k);
    return s;
  }
};

struct Grid {
  int NRN = 0, NNst = -1, N1Nst = -1, N2Nst = -1, NRR = -1;
  Arr1<double, NMAX> d, v;
  Arr1<int, NMAX> parent;

  double sum(int i1, int i2) const {
    double s = 0;
    for (int i = i1; i <= i2; ++i) s += d(i);
    return s;
  }
  // Thickness of the sample with the marked range counted NRR times.
  double stack() const { return sum(1, NNst) + (NRR > 1 ? (NRR - 1) * sum(N1Nst, N2Nst) : 0); }
};

Grid build(const Model& m, decltype(&SUBLAY) routine = SUBLAY) {
  Grid g;
  g.NRN = m.NRN;
  routine(m.NNN, m.N1N, m.N2N, g.NRN, m.H, m.val, m.W, m.ZD, m.kind, m.kstep, g.NNst, g.N1Nst,
         g.N2Nst, g.d, g.v, g.parent, g.NRR);
  return g;
}

TEST(Sublay, SteppedStackKeepsTheSampleThickness) {
  // Grading at the block's first layer, its last, the layer below it, or
  // only elsewhere: doubled and plain block modes, several kinds and counts.
  const int gradedLayer[] = {2, 4, 5, 3};
  for (int where : gradedLayer) {
    for (int kd = 1; kd <= 5; ++kd) {
      for (int n : {2, 3, 6}) {
        Model m = Model::layers({50, 30, 25, 40, 60, 500});
        m.N1N = 2;
        m.N2N = 4;
        m.NRN = 5;
        m.grade(where, 8, n, kd, 4);
        m.grade(6, 5, n, kd, 4);
        const Grid g = build(m);
        SCOPED_TRACE(testing::Message() << "graded " << where << " kind " << kd << " n " << n);
        const bool doubled = where != 3;
        EXPECT_EQ(g.NRR, doubled ? 4 : 5);
        EXPECT_NEAR(g.sum(g.N1Nst, g.N2Nst), m.period(), 1e-9);
        EXPECT_NEAR(g.stack(), m.total() + (m.NRN - 1) * m.period(), 1e-9);
        if (doubled) {
          // One period from a boundary to the same boundary: what follows the
          // range is what starts it.
          EXPECT_DOUBLE_EQ(g.d(g.N2Nst + 1), g.d(g.N1Nst));
          EXPECT_DOUBLE_EQ(g.v(g.N2Nst + 1), g.v(g.N1Nst));
        }
      }
    }
  }
}

TEST(Sublay, FirstLayerGradesFromTheVacuum) {
  Model m = Model::layers({40, 100});
  m.val(1) = 5;
  m.grade(1, 10, 4, 1);
  const Grid g = build(m);
  // Half the top interface lies in the vacuum above the sample.
  EXPECT_NEAR(g.stack(), m.total() + 5, 1e-12);
  ASSERT_EQ(g.NNst, 6);
  for (int j = 1; j <= 4; ++j) {
    EXPECT_DOUBLE_EQ(g.v(j), j * 5.0 / 5);  // linear from 0
    EXPECT_EQ(g.parent(j), 1);
    EXPECT_DOUBLE_EQ(g.d(j), 2.5);
  }
  EXPECT_DOUBLE_EQ(g.d(5), 35);
  for (int kd : {2, 3, 4}) {
    m.kind(1) = kd;
    m.ZD(1) = 10;
    const Grid s = build(m);
    EXPECT_GT(s.v(1), 0.05 - 1e-12) << "kind " << kd << " grades from L/100";
    EXPECT_LT(s.v(1), 2.5) << "kind " << kd;
  }
  m.kind(1) = 5;
  EXPECT_LT(build(m).v(1), 1) << "Fermi grades from 0";
}

TEST(Sublay, AllCallsOfAPassShareOneGrid) {
  Model m = Model::layers({50, 30, 25, 40, 60, 500});
  m.N1N = 2;
  m.N2N = 4;
  m.NRN = 3;
  m.grade(1, 6, 2, 1);
  m.grade(2, 8, 3, 2, 1);
  m.grade(5, 8, 4, 3, 50);
  const Grid ref = build(m);
  for (int call = 1; call <= 5; ++call) {
    Model q = m;
    for (int k = 1; k <= q.NNN; ++k) {
      q.val(k) = (k * call) % 4 - 1.5 * call;
      q.kind(k) = (k + call) % 5 + 1;
      q.ZD(k) = 0.3 * call * k;
    }
    const Grid g = build(q);
    EXPECT_EQ(g.NNst, ref.NNst);
    EXPECT_EQ(g.N1Nst, ref.N1Nst);
    EXPECT_EQ(g.N2Nst, ref.N2Nst);
    EXPECT_EQ(g.NRR, ref.NRR);
    EXPECT_EQ(g.d, ref.d);
    EXPECT_EQ(g.parent, ref.parent);
  }
}

TEST(Sublay, ProfileShapes) {
  // Kind 4 is left out: its Gaussian may peak inside the interface.
  for (int kd : {1, 2, 3, 5, 6}) {  // 6: unknown kind, graded linearly
    for (auto [up, low] : {std::pair{2.0, 7.0}, std::pair{7.0, 2.0}, std::pair{-1.0, 3.0}}) {
      Model m = Model::layers({40, 40});
      m.val(1) = up;
      m.val(2) = low;
      m.grade(2, 12, 6, kd, 5);
      const Grid g = build(m);
      ASSERT_EQ(g.NNst, 8);  // 1 + 6 steps + rest
      SCOPED_TRACE(testing::Message() << "kind " << kd << " from " << up << " to " << low);
      for (int j = 2; j <= 7; ++j) {
        EXPECT_GE(g.v(j), std::min(up, low) - 1e-12);
        EXPECT_LE(g.v(j), std::max(up, low) + 1e-12);
        if (j > 2) {
          EXPECT_GT((g.v(j) - g.v(j - 1)) * (low - up), 0);
        }
        if (kd != 3) {  // symmetric about the interface middle
          EXPECT_NEAR(g.v(j) + g.v(9 - j), up + low, 1e-12);
        }
      }
      EXPECT_EQ(g.parent(2), 1);
      EXPECT_EQ(g.parent(4), 1);
      EXPECT_EQ(g.parent(5), 2);
    }
  }
}

TEST(Sublay, GaussianKindPassesThroughBothLayerValues) {
  // ln(value) is a parabola in depth through ln U at the top and ln L at the
  // bottom of the interface; recover it from three step centres.
  Model m = Model::layers({40, 40});
  m.val(1) = 0.5;
  m.val(2) = 2.0;
  m.grade(2, 12, 6, 4, 5);
  const Grid g = build(m);
  const double dz = 2, x1 = 1, x2 = 3;  // centres of steps 1, 2 (and 3 at 5)
  const double y1 = std::log(g.v(2)), y2 = std::log(g.v(3)), y3 = std::log(g.v(4));
  const double c = ((y3 - y2) / dz - (y2 - y1) / dz) / (2 * dz);
  EXPECT_NEAR(c, -1.0 / 25, 1e-12);  // curvature -1/Z^2
  const double b = (y2 - y1) / dz - c * (x1 + x2);
  const double a = y1 - b * x1 - c * x1 * x1;
  EXPECT_NEAR(std::exp(a), 0.5, 1e-12);
  EXPECT_NEAR(std::exp(a + b * 12 + c * 144), 2.0, 1e-12);
}

TEST(Sublay, InterfaceParameterClampsAndFermiIgnoresIt) {
  // Bounds of the parameter for a width of 10, kind -> (low, high).
  const double bounds[][2] = {{0, 0}, {0, 0}, {1, 1000}, {1, 100}, {10.0 / 7, 1000}};
  for (int kd = 2; kd <= 5; ++kd) {
    Model m = Model::layers({40, 40});
    m.val(2) = 4;
    m.grade(2, 10, 4, kd);
    auto at = [&](double zd) {
      m.ZD(2) = zd;
      return build(m).v;
    };
    if (kd == 5) {
      EXPECT_EQ(at(0.5), at(700));
      continue;
    }
    EXPECT_EQ(at(0), at(bounds[kd][0])) << kd;
    EXPECT_EQ(at(1e6), at(bounds[kd][1])) << kd;
    EXPECT_NE(at(bounds[kd][0]), at(bounds[kd][1])) << kd;
  }
}

TEST(Sublay, EqualValuesAcrossAnInterfaceStayFlat) {
  for (int kd = 1; kd <= 5; ++kd) {
    Model m = Model::layers({40, 40, 40});
    m.val(2) = m.val(3) = 3;
    m.grade(3, 10, 4, kd, 3);
    const Grid g = build(m);
    for (int i = 1; i <= g.NNst; ++i)
      if (g.parent(i) >= 2) {
        EXPECT_DOUBLE_EQ(g.v(i), 3) << "kind " << kd;
      }
  }
}

TEST(Sublay, InterfaceAdjustments) {
  Model m = Model::layers({30, 20, 40, 1000});
  // No layer has both a width and steps: the model itself.
  m.grade(2, 5, 0);
  m.grade(3, 0, 4);
  m.N1N = 2;
  m.N2N = 3;
  m.NRN = 4;
  Grid g = build(m);
  EXPECT_EQ(g.NNst, 4);
  EXPECT_EQ(g.N1Nst, 2);
  EXPECT_EQ(g.N2Nst, 3);
  EXPECT_EQ(g.NRR, 4);
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(g.d(k), m.H(k));
    EXPECT_EQ(g.parent(k), k);
  }

  // An odd count is raised to the next even one; a negative count is none.
  Model odd = Model::layers({30, 20, 40});
  odd.grade(2, 6, 3);
  g = build(odd);
  EXPECT_EQ(g.NNst, 1 + 4 + 1 + 1);
  EXPECT_DOUBLE_EQ(g.d(2), 1.5);
  odd.kstep(2) = -3;
  EXPECT_EQ(build(odd).NNst, 3);

  // A width is cut to the thinner of the layer and the one above it.
  Model wide = Model::layers({30, 12, 40});
  wide.grade(2, 50, 4);
  wide.grade(3, 50, 2);
  g = build(wide);
  EXPECT_DOUBLE_EQ(g.d(2), 3);   // 12 / 4
  EXPECT_DOUBLE_EQ(g.d(6), 6);   // 12 / 2: limited by the layer above
  EXPECT_EQ(g.NNst, 1 + 4 + 2 + 1);  // layer 2 is all interface
  EXPECT_NEAR(g.stack(), wide.total(), 1e-12);
}

TEST(Sublay, BlocksThatCannotRepeat) {
  struct Case { int N1N, N2N, NRN; };
  const Case cases[] = {{3, 3, 4}, {5, 5, 4}, {2, 5, 4}, {4, 2, 4}, {0, 2, 4}, {-1, 6, 3}, {2, 3, 0}};
  for (const Case& c : cases) {
    Model m = Model::layers({30, 20, 40, 25, 1000});
    m.N1N = c.N1N;
    m.N2N = c.N2N;
    m.NRN = c.NRN;
    m.grade(2, 6, 2);
    m.grade(3, 6, 2);
    const Grid g = build(m);
    SCOPED_TRACE(testing::Message() << c.N1N << ".." << c.N2N << " x" << c.NRN);
    EXPECT_EQ(g.NRN, 1);
    EXPECT_EQ(g.NRR, 1);
    EXPECT_NEAR(g.stack(), m.total(), 1e-12);
    // Marks the walk never reaches are 0, not left undefined.
    if (c.N1N < 1) {
      EXPECT_EQ(g.N1Nst, 0);
    }
    if (c.N2N > m.NNN) {
      EXPECT_EQ(g.N2Nst, 0);
    }
  }
}

// A repeated block whose last layer has no thickness, so every interface
// touching it disappears.
Model blockWithEmptyEnd() {
  Model m = Model::layers({40, 20, 0, 30, 100});
  m.N1N = 2;
  m.N2N = 3;
  m.NRN = 3;
  m.grade(2, 5, 4);
  m.grade(3, 5, 4);
  m.grade(5, 6, 2);
  return m;
}

TEST(Sublay, WidthCutToZeroDropsItsSteps) {
  // The marks must not count the steps the empty layer's interfaces asked for.
  const Model m = blockWithEmptyEnd();
  const Grid g = build(m);
  EXPECT_EQ(g.NRR, 3);
  EXPECT_EQ(g.N1Nst, 2);
  EXPECT_EQ(g.N2Nst, 3);
  EXPECT_NEAR(g.sum(g.N1Nst, g.N2Nst), m.period(), 1e-12);
  EXPECT_NEAR(g.stack(), m.total() + 2 * m.period(), 1e-12);
}

TEST(Sublay, StepCountsAreThoseTheGridApplies) {
  // Odd raised to even; no steps where the block's empty last layer cuts the
  // widths to 0, nor where a layer has no width.
  Model m = blockWithEmptyEnd();
  m.grade(1, 5, 3);
  m.grade(4, 0, 6);
  Arr1<int, N24> steps;
  gradedSteps(m.NNN, m.N1N, m.N2N, m.NRN, m.H, m.W, m.kstep, steps);
  const int expect[] = {4, 0, 0, 0, 2};
  for (int k = 1; k <= m.NNN; ++k) EXPECT_EQ(steps(k), expect[k - 1]) << k;
  const Grid g = build(m);
  for (int i = 1; i <= 4; ++i) EXPECT_DOUBLE_EQ(g.d(i), 5.0 / 4);
  EXPECT_DOUBLE_EQ(g.d(5), 40 - 5.0 / 2);
}

TEST(Sublay, GridBeyondCapacityIsCountedNotStored) {
  Model m = Model::layers({});
  for (int k = 1; k <= N24; ++k) {
    m.NNN = k;
    m.H(k) = 10;
    m.val(k) = k % 3;
    m.grade(k, 2, 10);
  }
  // Output arrays of exactly NMAX entries followed by a guard zone.
  struct Guarded {
    Arr1<double, NMAX + 8> d, v;
    Arr1<int, NMAX + 8> parent;
  } out;
  out.d.fill(-7);
  out.v.fill(-7);
  out.parent.fill(-7);
  int NRN = 1, NNst = 0, N1Nst = 0, N2Nst = 0, NRR = 0;
  SUBLAY(m.NNN, 1, 1, NRN, m.H, m.val, m.W, m.ZD, m.kind, m.kstep, NNst, N1Nst, N2Nst,
         Span1<double>(out.d.data(), NMAX), Span1<double>(out.v.data(), NMAX),
         Span1<int>(out.parent.data(), NMAX), NRR);
  EXPECT_EQ(NNst, N24 * 11);
  // 11 sublayers per layer: 297 ends layer 27 (its rest, 10 - 2), 300 is the
  // third step of layer 28.
  EXPECT_DOUBLE_EQ(out.d(297), 8);
  EXPECT_DOUBLE_EQ(out.d(NMAX), 0.2);
  for (int i = NMAX + 1; i <= NMAX + 8; ++i) {
    EXPECT_EQ(out.d(i), -7);
    EXPECT_EQ(out.v(i), -7);
    EXPECT_EQ(out.parent(i), -7);
  }
}

// SUBLA2 differs from SUBLAY only where the layer below the block alone has
// a graded interface: it then keeps the plain mode, and builds the grid
// SUBLAY builds without the repetition, marked the same way.
TEST(Sublay, TwinDiffersOnlyByTheLayerBelowTheBlock) {
  const int gradedLayers[][2] = {{2, 0}, {4, 0}, {2, 4}, {1, 6}, {0, 0}, {5, 0}, {5, 2}};
  for (const auto& graded : gradedLayers) {
    for (int NRN : {1, 5}) {
      Model m = Model::layers({50, 30, 25, 40, 60, 500});
      m.N1N = 2;
      m.N2N = 4;
      m.NRN = NRN;
      for (int k : graded)
        if (k > 0) m.grade(k, 8, 4, k % 5 + 1, 3);
      const Grid g = build(m), g2 = build(m, SUBLA2);
      SCOPED_TRACE(testing::Message() << "graded " << graded[0] << "," << graded[1] << " NRN " << NRN);
      const bool onlyBelow = graded[0] == 5 && graded[1] == 0 && NRN > 1;
      Model single = m;
      single.NRN = 1;
      const Grid ref = onlyBelow ? build(single) : g;
      EXPECT_EQ(g2.NRN, g.NRN);
      EXPECT_EQ(g2.NNst, ref.NNst);
      EXPECT_EQ(g2.N1Nst, ref.N1Nst);
      EXPECT_EQ(g2.N2Nst, ref.N2Nst);
      EXPECT_EQ(g2.NRR, onlyBelow ? NRN : ref.NRR);
      EXPECT_EQ(g2.d, ref.d);
      EXPECT_EQ(g2.v, ref.v);
      EXPECT_EQ(g2.parent, ref.parent);
      if (onlyBelow) {
        EXPECT_EQ(g.NRR, NRN - 1);
      }
    }
  }
}

// Step counts up to the int limit: the grid counts them without walking or
// overflowing (an odd count is still raised by one), stores the first NMAX
// sublayers and reports a count past NMAX that the caller rejects.
TEST(Sublay, HugeStepCountsAreCountedWithoutOverflow) {
  constexpr int kMax = std::numeric_limits<int>::max();
  for (int k : {301, kMax - 1, kMax}) {
    SCOPED_TRACE(k);
    Model m = Model::layers({20, 20});
    m.grade(2, 10, k);
    const Grid g = build(m);
    const long long steps = k % 2 == 0 ? k : k + 1LL;
    EXPECT_EQ(g.NNst, std::min<long long>(1 + steps + 1, kMax));  // layer 1, the steps, layer 2's rest
    EXPECT_DOUBLE_EQ(g.d(1), 15.0);
    EXPECT_DOUBLE_EQ(g.d(NMAX), 10.0 / static_cast<double>(steps));
    Arr1<int, N24> applied;
    gradedSteps(m.NNN, m.N1N, m.N2N, m.NRN, m.H, m.W, m.kstep, applied);
    EXPECT_EQ(applied(2), std::min<long long>(steps, kMax));
  }
}

}  // namespace
