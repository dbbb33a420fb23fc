#!/usr/bin/env bash
# Regenerates the experiment file of this example, ml_refl.dat, from the
# model that made it, MLtrue.inf (ten periods of 24.3 Angstrom iron and 46.1
# Angstrom silicon), with the built programs:
#   bash make-data.sh [BIN_DIR]   (default ../../build/bin)
#
# QUASTO compares the experiment with its curve averaged over the beam
# divergence and corrected for the footprint, so the data are drawn from
# that curve, which QUASTO writes into "PROMP2.res" when it compares:
#   1. a plain calculation (no experiment) gives R on the 3500 angles;
#   2. those, as counts, serve as a placeholder experiment for a second
#      calculation with the example's divergence and beam limit (ITEST 1, no
#      fit): its "PROMP2.res" holds the averaged, corrected curve;
#   3. poisson_noise turns that into the experiment file: Poisson counts,
#      10^6 expected at the largest value, fixed seed.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bin="$(cd "${1:-$here/../../build/bin}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

cp "$here/Tconst.INI" "$here/MLtrue.inf" .
echo "MLtrue.inf" > FileM.inp
awk 'NR == 2 { $1 = "1" } { print }' "$here/ZEPRIN.INP" > ZEPRIN.INP
printf ' 1\n 0 0 0 0 0 0\n' > next.INP
printf ' 1\n' > stop.inp

awk 'NR == 2 { $1 = "0" } { print }' "$here/MOLVEC.INP" > MOLVEC.INP
"$bin/QUASTO" > /dev/null
awk '{ line[NR] = sprintf(" %s %.6e 0", $1, $3 * 1e6) } END { print " " NR; for (i = 1; i <= NR; i++) print line[i] }' \
  PROMP2.res > placeholder.dat

awk 'NR == 3 { $0 = "placeholder.dat" } { print }' "$here/MOLVEC.INP" > MOLVEC.INP
"$bin/QUASTO" > /dev/null
"$bin/poisson_noise" PROMP2.res "$here/ml_refl.dat" 1e6 2024 0 refl
echo "wrote $here/ml_refl.dat"
