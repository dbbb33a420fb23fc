#include "numlib/farray.hpp"

#include <cstdio>
#include <cstdlib>

namespace numlib {

void boundsFailure(long index, long lo, long hi, int dim) {
  std::fprintf(stderr, "array index %ld out of bounds %ld..%ld in dimension %d\n", index, lo, hi, dim);
  std::abort();
}

}  // namespace numlib
