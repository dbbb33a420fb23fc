#include "programs/common/egrid.hpp"

#include <cmath>

namespace common {

namespace {

// Step for the next point, chosen by the distance |x| from resonance
// (steps and limits in single precision, the position in double).
float stepAt(double x, float XEST, float XEMAX) {
  const double a = std::fabs(x);
  float step = XEST;
  if (a > XEMAX) step = 2 * XEST;
  if (a > 1.5f * XEMAX) step = 5 * XEST;
  if (a > 2 * XEMAX) step = 10 * XEST;
  return step;
}

}  // namespace

void EGRID(fio::Unit& log, int JE, float XEST, float XEMAX, EnergyGrid& g) {
  const double x0 = -JE * static_cast<double>(XEST) / 2;
  const double L = std::fabs(x0) + static_cast<double>(10 * XEST);
  double x = x0;
  g.NE = kMaxEnergy;
  for (int n = 1; n <= kMaxEnergy; ++n) {
    if (n > 1) x += stepAt(x, XEST, XEMAX);
    if (x > L) {
      g.NE = n - 1;
      break;
    }
    g.X(n) = static_cast<float>(x);
  }
  log.write("(' number of points for energy spectrum calculation',I5)", g.NE);
  g.I1 = 0;
  g.I2 = 0;
  for (int n = 1; n <= g.NE; ++n) {
    if (g.X(n) < -XEMAX) g.I1 = n;
    if (g.X(n) < XEMAX) g.I2 = n;
  }
  // With XEMAX >= 512*XEST no point lies below -XEMAX and I1 stays 0; the
  // energy-spectrum files then start at the first point.
  log.print(" I1,I2=", g.I1, g.I2);
  // The time spectrum interpolates the grid onto the Fourier window up to
  // (JE/2 - 1)*XEST; a grid cut short there would be extrapolated.
  const float top = static_cast<float>(JE / 2 - 1) * XEST;
  if (g.NE == kMaxEnergy && g.X(g.NE) < top) {
    fio::console().print(" energy grid cut at 512 points below the end of the Fourier window: lower XEMAX !");
    log.print(" energy grid cut at 512 points: last point (mm/s) =", g.X(g.NE), " below", top);
  }
}

}  // namespace common
