#!/usr/bin/env bash
# Regenerates the experiment file of this example from the model that made it,
# Fe57true.inf (a 100 Angstrom 57Fe film with 33 T across the beam), with the
# built programs:  bash make-data.sh [BIN_DIR]   (default ../../build/bin)
#
#   1. BRINAX computes the spectrum of the true model without experiment: its
#      "CEMfit.res" holds the normalised spectrum on the 512 velocities of
#      the grid, which are also the velocities of the 512 channels of the
#      experiment (Hmms/Hchan = 2 EMAX/IMM, chan0 = EMAX/(2 EMAX/IMM));
#   2. poisson_noise turns it into counts per channel: a background of 1e6
#      expected counts plus 5e4 at the largest value of the spectrum (a 5 %
#      resonant effect), with Poisson noise from a fixed seed.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bin="$(cd "${1:-$here/../../build/bin}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

cp "$here/Tconst.INI" "$here/ZEPRIN.INP" "$here/Fe57true.inf" .
{ echo "Fe57true.inf"; tail -n +2 "$here/FileM.inp"; } > FileM.inp
# The example's parameters without experiment (record 2 of FilCEM.inp is 0).
awk 'NR == 2 { sub(/[0-9]+/, "0") } { print }' "$here/FilCEM.inp" > FilCEM.inp
printf ' 1\n 0 0 0 0 0 0\n' > next.INP
"$bin/BRINAX" > /dev/null
"$bin/poisson_noise" --counts 1e6 CEMfit.res "$here/fe57_cems.dat" 5e4 57
echo "wrote $here/fe57_cems.dat"
