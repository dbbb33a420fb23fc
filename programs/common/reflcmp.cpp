#include "programs/common/reflcmp.hpp"

#include <cmath>

#include "numlib/fits.hpp"
#include "numlib/interp.hpp"
#include "programs/common/hardstop.hpp"

namespace common {

int openReflExperiment(fio::Unit& in, std::string_view name) {
  in.openOld(name);
  int JEXP = 0;
  in.read(JEXP);
  return JEXP;
}

void readReflPoints(fio::Unit& in, int n, ReflExperiment& x) {
  for (int i = 1; i <= n; ++i) in.read(x.XE(i), x.YEXPP(i), x.YEXPD(i));
  x.JEXP = n;
  in.close();
}

std::string fewPointsText(std::string_view file, int least) {
  return " JEXP in the experiment file " + std::string(file) + " must be at least " + std::to_string(least) + " !";
}

std::string refusedPoints(const ReflExperiment& x, std::string_view file) {
  for (int i = 2; i <= x.JEXP; ++i)
    if (!(x.XE(i) >= x.XE(i - 1)))
      return " angles of the experiment file " + std::string(file) + " must not decrease (point " + std::to_string(i) +
             ") !";
  for (int i = 1; i <= x.JEXP; ++i)
    if (x.YEXPP(i) < 0 || x.YEXPD(i) < 0) return negativeCountText(file, i);
  return {};
}

void angleGrid(float UT0, float Ustep, int n, Span1<float> mrad, Span1<double> rad) {
  for (int j = 1; j <= n; ++j) {
    const double a = (j - 1) * static_cast<double>(Ustep) + UT0;
    mrad(j) = static_cast<float>(a);
    rad(j) = a / 1000;
  }
}

float normaliseToMax(Span1<float> y, int n) {
  float ymin = 0, ymax = 0;
  numlib::MINMAX(y, n, ymin, ymax);
  if (ymax > 0)
    for (int i = 1; i <= n; ++i) y(i) /= ymax;
  return ymax;
}

void footprint(Span1<const float> UT, Span1<float> curve, int n, float ANGBEAM) {
  const float full = std::sin(0.001f * ANGBEAM);
  if (!(full > 0)) return;  // no angle lies at or below a beam limit of 0
  for (int j = 1; j <= n && UT(j) <= ANGBEAM; ++j) curve(j) = curve(j) * std::sin(0.001f * UT(j)) / full;
}

void comparisonWindow(const ReflExperiment& x, float first, float last, float& ACOMP1, float& ACOMP2, int& JZ1,
                      int& JZ2) {
  if (ACOMP1 < x.XE(1)) ACOMP1 = x.XE(1);
  if (ACOMP2 > x.XE(x.JEXP)) ACOMP2 = x.XE(x.JEXP);
  if (ACOMP1 < first) ACOMP1 = first;
  if (ACOMP2 > last) ACOMP2 = last;
  JZ1 = 1;
  JZ2 = 0;
  for (int i = 1; i <= x.JEXP; ++i) {
    if (x.XE(i) <= ACOMP1) JZ1 = i;
    if (x.XE(i) <= ACOMP2) JZ2 = i;
  }
}

void theoryAtExperiment(Span1<const float> UT, Span1<const float> curve, int n, const ReflExperiment& x,
                        Span1<float> theory) {
  numlib::INTERS(UT, curve, x.XE.span(), theory, n, x.JEXP);
  normaliseToMax(theory, x.JEXP);
}

float fitScale(Span1<const float> E, Span1<const float> T, int JEXP, int JZ1, int JZ2, int JFIT, float AF, float EMAX,
               float TOL, ScaleFit& f) {
  float EPS = 0;
  if (JFIT < 10) {
    numlib::LINFIT(E, T, JEXP, JZ1, JZ2, JFIT, f.background, f.scale, EPS);
    return EPS;
  }
  if (f.first) {
    f.scale = 1.0f;
    f.scaleStep = 0.0f;
  }
  f.scaleStep *= 20;
  f.background = 0.0f;
  float DB = 0.5f * AF / EMAX;
  numlib::SCALBG(E, T, JEXP, JZ1, JZ2, f.scaleStep, DB, f.scale, f.background, TOL, EPS, JFIT - 10);
  return EPS;
}

}  // namespace common
