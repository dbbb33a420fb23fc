#include "programs/common/libwrite.hpp"

#include <cmath>

#include "programs/common/staircase.hpp"

namespace common {

namespace {

// Both writers: one or two value columns (V2 empty for one).
void writeProfile(fio::Unit& out, int N, int N1, int N2, int NR, int NV, numlib::Span1<const double> H,
                  numlib::Span1<const double> V1, numlib::Span1<const double> V2, double PERIOD) {
  if (N < 1) return;
  const bool two = V2.data() != nullptr;
  auto value = [](numlib::Span1<const double> V, int sub) { return sub > 0 ? std::fabs(V(sub)) : 0.0; };
  depthStaircase(
      N, N1, N2, NR, [&](int i) { return H(i); }, -NV * H(1), PERIOD,
      [&](double depth, int sub) {
        if (two) {
          out.write("(3F11.5)", depth / 10, value(V1, sub), value(V2, sub));
        } else {
          out.write("(2F11.5)", depth / 10, value(V1, sub));
        }
      });
}

}  // namespace

void PROFW1(fio::Unit& out, int N, int N1, int N2, int NR, int NV, numlib::Span1<const double> H,
            numlib::Span1<const double> V, double PERIOD) {
  writeProfile(out, N, N1, N2, NR, NV, H, V, {}, PERIOD);
}

void PROFW2(fio::Unit& out, int N, int N1, int N2, int NR, int NV, numlib::Span1<const double> H,
            numlib::Span1<const double> V1, numlib::Span1<const double> V2, double PERIOD) {
  writeProfile(out, N, N1, N2, NR, NV, H, V1, V2, PERIOD);
}

}  // namespace common
