// Time axis of the spectra and the Gaussian time-averaging kernel.
#include <cmath>
#include <string>

#include "programs/zeprin/zeprin.hpp"

namespace zeprin {

void TAXIS(fio::Unit& log, double LYAMBDA, float XEST, TimeAxis& ax) {
  // JE channels span h / XEST: LYAMBDA/XEST * 100 ns in these units.
  ax.AN = static_cast<float>(LYAMBDA / XEST / JE * 100);
  log.write("(' time step (AN=delta) ',F15.9)", ax.AN);
  ax.MTH = 0;
  for (int J = 1; J <= JE; ++J) {
    ax.T(J) = static_cast<float>(J - 1) * ax.AN;
    if (ax.T(J) < kTheoryLimit) ax.MTH = J;
  }
  for (int j = 1; j <= 4; ++j) {
    const std::string n = std::to_string(j);
    ax.BUFFEN[j - 1] = "BUFFEN" + n + ".RES";
    ax.BUFFTN[j - 1] = "BUFFTN" + n + ".RES";
    ax.BUFFTIM[j - 1] = "BUFFTIM" + n + ".RES";
  }
}

void GAUSTAV(fio::Unit& log, float SIGMA, const TimeAxis& ax, TimeKernel& k) {
  // Truncated toward zero; a width of many time windows only has to stay
  // over the kernel's capacity.
  const float nav = SIGMA * 6 / ax.AN;
  k.NAV = std::abs(nav) < 1e6f ? static_cast<int>(nav) : (nav > 0 ? 1000000 : -1000000);
  k.H = k.NAV / 2;
  if (k.NAV > 40) fio::console().write("(' EXCEED NUMBER OF GAUSS POINTS !')");
  // The kernel has room for 41 weights; a negative width gives none.
  if (k.H > (kMaxKernel - 1) / 2) k.H = (kMaxKernel - 1) / 2;
  if (k.H < 0) k.H = 0;
  log.write("(' Gauss for time averaging, NAV=',I4)", k.H);
  // A width that does not spread over one channel on either side (SIGMA = 0
  // among them) leaves the spectrum as it is: one weight 1.  Otherwise the
  // exponent is formed in double precision, where SIGMA**2 cannot underflow.
  float sum = 0;
  for (int i = -k.H; i <= k.H; ++i) {
    const double x = static_cast<double>(static_cast<float>(i) * ax.AN) / SIGMA;
    k.W(i + k.H + 1) = k.H == 0 ? 1.0f : static_cast<float>(std::exp(-0.5 * x * x));
    sum += k.W(i + k.H + 1);
  }
  for (int i = 1; i <= 2 * k.H + 1; ++i) {
    k.W(i) /= sum;
    log.write("(I5,2F8.4)", i, ax.T(i), k.W(i));
  }
}

}  // namespace zeprin
