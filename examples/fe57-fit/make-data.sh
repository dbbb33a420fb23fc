#!/usr/bin/env bash
# Regenerates the two experiment files of this example from the model that
# made them, Fe57true.inf (a 150 Angstrom 57Fe film with 33 T on silicon),
# with the built programs:  bash make-data.sh [BIN_DIR]   (default ../../build/bin)
#
# ZEPRIN compares a measured spectrum with its theory plus the tail of the
# response to the pulse before (176.06 ns earlier), so the data are drawn
# from that sum, which ZEPRIN writes into its BUFFTN files when it compares:
#   1. a plain calculation (no experiment) gives the theory at the channel times;
#   2. those, with counting noise, serve as placeholder experiments for a
#      second calculation that only scales the theory (JFIT 12, AF 0): its
#      BUFFTN files hold the theory with the previous pulse at the same times;
#   3. poisson_noise turns those into the experiment files: Poisson counts,
#      10000 expected at the largest value, from 10 ns on, fixed seeds.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bin="$(cd "${1:-$here/../../build/bin}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

cp "$here/Tconst.INI" "$here/Fe57true.inf" .
{ echo "Fe57true.inf"; tail -n +2 "$here/FileM.inp"; } > FileM.inp
# The example's parameters with ITEST 1 (no fit) and JFIT 12 (scale only).
awk 'NR == 2 { $1 = "1" } NR == 13 { $1 = "12" } { print }' "$here/ZEPRIN.INP" > ZEPRIN.INP
printf ' 1\n 0 0 0 0 0 0\n' > next.INP
printf ' 1\n' > stop.inp
mapfile -t names < <(tail -n +2 "$here/FilesE.inp" | awk 'NF { print $1 }')

printf ' 0\n' > FilesE.inp
"$bin/ZEPRIN" > /dev/null
{ echo " ${#names[@]}"; for j in "${!names[@]}"; do echo "placeholder$((j + 1)).dat"; done; } > FilesE.inp
for j in "${!names[@]}"; do
  "$bin/poisson_noise" "BUFFTN$((j + 1)).RES" "placeholder$((j + 1)).dat" 10000 "$((j + 1))" 10
done

"$bin/ZEPRIN" > /dev/null
for j in "${!names[@]}"; do
  "$bin/poisson_noise" "BUFFTN$((j + 1)).RES" "$here/${names[$j]}" 10000 "$((100 + j + 1))" 10
  echo "wrote $here/${names[$j]}"
done
