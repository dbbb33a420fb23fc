#!/usr/bin/env bash
# Regenerates the experiment file of this example, fe57_delp.dat, from the
# model that made it, Fe57true.inf (120 Angstrom of 57Fe on silicon), with
# the built programs:
#   bash make-data.sh [BIN_DIR]   (default ../../build/bin)
#
# MOLVEC compares the experiment with its curves averaged over the beam
# divergence and corrected for the footprint, so the data are drawn from
# those curves, which MOLVEC writes into "PROMP2.res" and "DELAY2.res" when
# it compares:
#   1. a plain calculation (no experiment) gives both curves on the grid;
#   2. those, as counts, serve as a placeholder experiment for a second
#      calculation with the example's divergence and beam limit (ITEST 1, no
#      fit): its curve files hold the averaged, corrected curves;
#   3. poisson_noise turns each into counts (10^6 expected at the largest
#      prompt point, 2 10^4 at the largest delayed one, fixed seeds), and
#      the two columns are put side by side.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bin="$(cd "${1:-$here/../../build/bin}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

cp "$here/Tconst.INI" "$here/Fe57true.inf" .
echo "Fe57true.inf" > FileM.inp
awk 'NR == 2 { $1 = "1" } { print }' "$here/ZEPRIN.INP" > ZEPRIN.INP
printf ' 1\n 0 0 0 0 0 0\n' > next.INP
printf ' 1\n' > stop.inp

awk 'NR == 2 { $1 = "0" } { print }' "$here/MOLVEC.INP" > MOLVEC.INP
OMP_NUM_THREADS=1 "$bin/MOLVEC" > /dev/null
paste PROMP2.res DELAY2.res |
  awk '{ line[NR] = sprintf(" %s %.6e %.6e", $1, $3 * 1e6, $6) } END { print " " NR; for (i = 1; i <= NR; i++) print line[i] }' \
    > placeholder.dat

awk 'NR == 3 { $0 = "placeholder.dat" } { print }' "$here/MOLVEC.INP" > MOLVEC.INP
OMP_NUM_THREADS=1 "$bin/MOLVEC" > /dev/null
"$bin/poisson_noise" PROMP2.res prompt.dat 1e6 2026 0 refl
"$bin/poisson_noise" DELAY2.res delayed.dat 2e4 2027 0 refl
paste prompt.dat delayed.dat | awk 'NR == 1 { print " " $1; next } { print " " $1, $2, $5 }' > "$here/fe57_delp.dat"
echo "wrote $here/fe57_delp.dat"
