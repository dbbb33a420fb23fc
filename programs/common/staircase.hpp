// The staircase of a stepped depth profile: the points of the model output's
// profile files and of the library's profile writers.
#pragma once

namespace common {

// Whether the profile repeats the block N1..N2 (NR times): only when it lies
// above the last of the N sublayers (the substrate cannot repeat).
inline bool repeatsBlock(int N, int N1, int N2, int NR) { return NR > 1 && N1 >= 1 && N1 <= N2 && N2 <= N - 1; }

// Calls emit(depth, sub) for each point of the profile of sublayers 1..N of
// thicknesses h(i), from the depth top down: a point at top with no
// sublayer (sub = 0), then at the bottom of each sublayer one point with its
// own values and one with those of the next.  The block N1..N2, when it
// repeats, is laid down NR times, each further copy `period` deeper, and the
// sublayers below it are shifted by (NR - 1) period.  Depths accumulate
// sublayer by sublayer; a copy of the block accumulates from the same top as
// the first, so that every copy lies exactly one period below the previous.
template <class Thick, class Emit>
void depthStaircase(int N, int N1, int N2, int NR, Thick h, double top, double period, Emit emit) {
  const bool rep = repeatsBlock(N, N1, N2, NR);
  emit(top, 0);
  emit(top, 1);
  double z = top, blockTop = top;
  for (int i = 1; i <= N; ++i) {
    if (i == N1) blockTop = z;
    z += h(i);
    const double d = z + (rep && i > N2 ? (NR - 1) * period : 0.0);
    emit(d, i);
    if (i != N) emit(d, rep && i == N2 ? N1 : i + 1);
    if (!rep || i != N2) continue;
    for (int r = 1; r <= NR - 1; ++r) {
      double zj = blockTop;
      for (int j = N1; j <= N2; ++j) {
        zj += h(j);
        const double dj = zj + r * period;
        emit(dj, j);
        int next = j + 1;
        if (j == N2) next = r < NR - 1 ? N1 : N2 + 1;
        emit(dj, next);
      }
    }
  }
}

}  // namespace common
