#include "programs/common/angle_core.hpp"

#include <algorithm>
#include <complex>
#include <memory>

#include <omp.h>

namespace common {

using numlib::NMAX;

void angleSetup(const NuclearConstants& C, const AngleArgs& a, const SteppedModel& st, AngleWork& w) {
  stackSetup(a, st, w);
  hyperfineSetup(C, a, st, w);
}

CMat2 reflectionAt(const NuclearConstants&, const AngleArgs& a, const SteppedModel& st, AngleWork& w, double E,
                   Absorption* abs) {
  CMat2 R;
  bool recursive;
  stackReflections(a, st, w, w, 1, &E, &abs, &R, &recursive);
  return R;
}

namespace {

void reflectPoints(const AngleArgs& a, const SteppedModel& st, AngleWork& w, int first, int last, bool curves) {
  for (int k = first; k <= last;) {
    // Several points side by side.
    const int n = std::min(kStackPoints, last - k + 1);
    double E[kStackPoints];
    Absorption* abs[kStackPoints];
    CMat2 R[kStackPoints];
    bool recursive[kStackPoints];
    for (int i = 0; i < n; ++i) {
      PointReflection& q = w.points(k + i);
      q.ab = Absorption{};
      E[i] = a.grid(k + i);
      abs[i] = curves ? &q.ab : nullptr;
    }
    stackReflections(a, st, w, w, n, E, abs, R, recursive);
    for (int i = 0; i < n; ++i) {
      PointReflection& q = w.points(k + i);
      q.R11 = R[i](1, 1), q.R21 = R[i](2, 1), q.recursive = recursive[i];
    }
    k += n;
  }
}

// The points in contiguous shares, one per thread, each thread in its own
// copy of the work of the angle (its lines, factors and geometry).
void reflectPointsThreaded(const AngleArgs& a, const SteppedModel& st, AngleWork& w,
                           int NE, int threads, bool curves) {
#pragma omp parallel num_threads(threads)
  {
    const int t = omp_get_thread_num(), n = omp_get_num_threads();
    const int first = 1 + static_cast<int>(static_cast<long long>(NE) * t / n);
    const int last = static_cast<int>(static_cast<long long>(NE) * (t + 1) / n);
    if (t == 0) {
      reflectPoints(a, st, w, first, last, curves);
    } else {
      static thread_local std::unique_ptr<AngleWork> own;
      if (!own) own = std::make_unique<AngleWork>();
      static_cast<HyperfineWork&>(*own) = w;
      static_cast<StackGeometry&>(*own) = w;
      reflectPoints(a, st, *own, first, last, curves);
      for (int k = first; k <= last; ++k) w.points(k) = own->points(k);
    }
  }
}

// Threads pay where each gets a few milliseconds of work: starting them and
// copying the work of the angle costs some hundred microseconds.
constexpr int kSublayerPointsPerThread = 8192;

int pointThreads(const AngleArgs& a, const SteppedModel& st, int NE) {
  const long long work = static_cast<long long>(NE) * st.NNst;
  return static_cast<int>(std::clamp<long long>(work / kSublayerPointsPerThread, 1, std::max(a.threads, 1)));
}

}  // namespace

void angleEnergyLoop(const NuclearConstants& C, const AngleArgs& a, const SteppedModel& st,
                     AngleWork& w, AnglePoints& out) {
  angleSetup(C, a, st, w);
  // Without a substrate there is no stack to reflect from.
  const int NE = st.NNst >= 1 && st.NNst <= NMAX ? std::clamp(a.NE, 0, NEMAX) : 0;
  const bool curves = out.E1.size() >= NE && out.E2.size() >= NE && out.RE.size() >= NE;
  const int threads = pointThreads(a, st, NE);
  if (threads > 1)
    reflectPointsThreaded(a, st, w, NE, threads, curves);
  else
    reflectPoints(a, st, w, 1, NE, curves);
  out.SUME = 0.0f;
  out.YRELAY = 0.0f;
  out.recursivePoints = 0;
  cdouble ref11, ref21;
  float fprev = 0.0f;
  for (int k = 1; k <= NE; ++k) {
    const PointReflection& p = w.points(k);
    if (p.recursive) ++out.recursivePoints;
    const cdouble R11 = p.R11, R21 = p.R21;
    if (k == 1) {
      ref11 = R11;
      ref21 = R21;
      out.YRELAY = static_cast<float>(std::norm(R11) + std::norm(R21) / w.s2);
    }
    const cdouble d1 = R11 - ref11, d2 = (R21 - ref21) / w.s;
    const float f = static_cast<float>(std::norm(R11 - ref11) + std::norm(R21 - ref21) / w.s2);
    if (k > 1) out.SUME += (f + fprev) / 2.0f * (a.grid(k) - a.grid(k - 1));
    fprev = f;
    w.a1(k) = d1.real();
    w.b1(k) = d1.imag();
    w.a2(k) = d2.real();
    w.b2(k) = d2.imag();
    if (curves) {
      out.E1(k) = p.ab.E1;
      out.E2(k) = p.ab.E2;
      out.RE(k) = static_cast<float>(std::norm(R11) + std::norm(R21) / w.s2);
    }
  }
}

void angleTimeSpectrum(const NuclearConstants& C, const AngleArgs& a, AngleWork& w, Span1<double> spectrum) {
  timeTransform(C.JE, a, w, w, spectrum);
}

}  // namespace common
