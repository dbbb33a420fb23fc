#!/usr/bin/env bash
# Sets up, builds and runs the example fit: ZEPRIN fits the thickness and the
# hyperfine field of a 57Fe film to two time spectra (examples/fe57-fit), in
# a scratch copy of the example, build/example-run/fe57-fit.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"

run=build/example-run/fe57-fit
rm -rf "$run"
mkdir -p "$run"
cp examples/fe57-fit/* "$run"/
echo "Running ZEPRIN in $run (console output in console.txt) ..."
(cd "$run" && ../../bin/ZEPRIN > console.txt)
echo
echo "Fit of the 57Fe film (data made from 150 Angstrom and 33 T; start 160 Angstrom, 32.5 T):"
awk 'NR == 12 { printf "  film thickness  %s Angstrom\n", $2 }
     / Bhf\(T\)/ && !done { printf "  hyperfine field %s T\n", $2; done = 1 }' "$run/LAYSPC.RES"
grep "EPSSS =" "$run/ZEPRIN.RES" | awk 'NR == 1 { first = $3 } { last = $3 }
     END { printf "  merit           %s at the start, %s at the end\n", first, last }'
echo "  passes          $(grep -c 'TIMCALU: JREP' "$run/ZEPRIN.RES")"
echo
echo "Results in $run:"
echo "  LAYSPC.RES               the fitted model (name it in FileM.inp to go on from it)"
echo "  ZEPRIN.RES               run log: every step, its merit change and whether it was kept"
echo "  BUFFTN1.RES, BUFFTN2.RES time (ns), measured counts, fitted theory for 2.8 and 3.4 mrad"
echo "  RESULT.res               merit per angle and in total"
echo "  EL_mod.RES, MODELN.RES   depth profiles of the fitted model"
