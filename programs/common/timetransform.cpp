#include "programs/common/timetransform.hpp"

#include <algorithm>
#include <complex>

#include "numlib/interp.hpp"

namespace common {

void timeTransform(int JE, const AngleArgs& a, const AmplitudeCurves& c, TransformWork& w, Span1<double> spectrum) {
  JE = std::clamp(JE, 1, JEMAX);
  const int NE = std::clamp(a.NE, 0, NEMAX);
  for (int j = 1; j <= JE; ++j) spectrum(j) = 0.0;
  if (NE < 2) return;  // no curve to interpolate
  for (int j = 1; j <= JE; ++j) w.XN(j) = static_cast<float>(j - 1 - JE / 2) * a.XEST;
  const Span1<const float> XN = w.XN;
  const Span1<double> column = w.column;
  for (int channel = 1; channel <= 2; ++channel) {
    const Span1<const double> re = channel == 1 ? c.a1 : c.a2;
    const Span1<const double> im = channel == 1 ? c.b1 : c.b2;
    numlib::INTERP(a.grid, re, XN, column, NE, JE);
    for (int j = 1; j <= JE; ++j) w.fft(j) = numlib::cdouble(w.column(j), 0.0);
    numlib::INTERP(a.grid, im, XN, column, NE, JE);
    for (int j = 1; j <= JE; ++j) w.fft(j).imag(w.column(j));
    numlib::FFT(w.fft, JE, -1.0);
    for (int j = 1; j <= JE; ++j) spectrum(j) += std::norm(w.fft(j));
  }
}

}  // namespace common
