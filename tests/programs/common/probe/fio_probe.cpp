// A tiny console program for the tests of the run-time failures: it reads
// "<int> <real>" from the file named on its command line, on unit 5, and
// prints what it read.
#include <unistd.h>

#include <cstdio>

#include "programs/common/fio.hpp"

int main(int argc, char** argv) {
  return fio::runMain("FIOPROBE", [&] {
    if (argc < 2) fio::stop(9);
    fio::Unit u(5);
    u.openOld(argv[1]);
    int n = 0;
    double x = 0;
    u.read(n, x);
    fio::console().print("read", n, x);
    if (argc > 2) ::pause();  // wait for a signal
  });
}
