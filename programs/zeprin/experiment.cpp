// The list of time-spectrum experiments and their reading.
#include <algorithm>
#include <string>
#include <vector>

#include "numlib/fits.hpp"
#include "programs/common/hardstop.hpp"
#include "programs/zeprin/zeprin.hpp"

namespace zeprin {

namespace {

// Record m of the file goes to slot 1025-m, so that the times, which fall
// from record to record, rise from slot to slot as the comparison expects.
void readFile(fio::Unit& log, const std::string& name, TimeExperiment& x) {
  // A shorter later file must not show the counts of the one before.
  x.XXA.fill(0.0f);
  x.counts.fill(0.0f);
  fio::Unit in(3);
  in.openOld(name);
  log.print(" Open exp.file");
  for (int m = 1; m <= kExpSlots; ++m) {
    float t = 0, c = 0;
    if (!in.tryRead(t, c)) break;
    if (m > 1 && !(t < x.XXA(kExpSlots + 2 - m)))
      common::hardStop(" times of the experiment file " + name + " must decrease from record to record (point " +
                       std::to_string(m) + ") !");
    if (c < 0) common::hardStop(common::negativeCountText(name, m));
    x.XXA(kExpSlots + 1 - m) = t;
    x.counts(kExpSlots + 1 - m) = c;
  }
  log.print(" XXA(JEXP)=", x.XXA(kExpSlots));
  in.close();
}

// The compared stretch JZ..JZF and the merit window, from the first file.
void findStretch(fio::Unit& log, const std::string& name, float XEXP1, float XEXP2, TimeExperiment& x) {
  x.JZ = 1;
  x.JZF = 0;
  int lo = 0, hi = 0;
  const float last = x.XXA(kExpSlots);
  for (int J = 1; J <= kExpSlots; ++J) {
    const float t = x.XXA(J);
    if (t < 0.1f) x.JZ = J + 1;
    if (t < kTheoryLimit) x.JZF = J;
    if (t < last) x.JZF = J + 1;
    if (t < XEXP1) lo = J;
    if (t < XEXP2) hi = J;
  }
  log.print(" JZF=", x.JZF);
  x.MEXP = x.JZF - x.JZ + 1;
  x.JZ1 = lo - x.JZ + 1;
  x.JZ2 = hi - x.JZ + 1;
  log.write("(/,' number of first point and total num. on graph',/,' JZ,MEXP=',2I5)", x.JZ, x.MEXP);
  log.write("(' JZ1,JZ2 - points for comparison exp. with theor.',2I5)", x.JZ1, x.JZ2);
  if (x.MEXP > kMaxCompared) {
    fio::console().write("(' !!! MEXP.GT.900')");
    x.MEXP = kMaxCompared;
    x.JZF = x.JZ + kMaxCompared - 1;
  }
  // The merit compares only points of the stretch.
  x.JZ1 = std::max(x.JZ1, 1);
  x.JZ2 = std::min(x.JZ2, x.MEXP);
  if (x.JZ2 - x.JZ1 + 1 < common::kMinCompared) common::hardStop(common::shortWindowText(name, "XEXP1", "XEXP2"));
  for (int i = 1; i <= x.MEXP; ++i) x.times(i) = x.XXA(x.JZ + i - 1);
}

}  // namespace

void refuseWrittenInputs() {
  std::vector<common::NamedInput> inputs;
  common::peekModelName(inputs);
  // The names as RDFILESE reads them.
  common::peekNames("FilesE.inp", [&](fio::Unit& in) {
    int NEXP = 0;
    in.read(NEXP);
    if (NEXP > common::kMaxSpectra) return;  // refused by RDFILESE
    for (int j = 1; j <= NEXP; ++j)
      inputs.push_back({in.readA(32), "experiment file", "FilesE.inp"});
  });
  common::refuseWrittenInputs(inputs, {common::kSharedInputs, kOwnInputs, common::kDistributionInput},
                              {kWrittenFiles, common::kModelOutputFiles, common::kDensityProfileFile});
}

void RDFILESE(fio::Unit& log, ExperimentList& e, int& ITEST) {
  fio::Unit in(8);
  in.openOld("FilesE.inp");
  in.read(e.NEXP);
  if (e.NEXP < 0 || e.NEXP > common::kMaxSpectra) common::hardStop(" number of experiment files NEXP in FilesE.inp must lie in 0..4 !");
  for (int j = 1; j <= e.NEXP; ++j) {
    e.name[j - 1] = in.readA(32);
    log.print(e.name[j - 1]);
  }
  in.close();
  // Without experiment every pass is a plain calculation.
  if (e.NEXP == 0) ITEST = 1;
}

void RDEXPER(fio::Unit& log, const ExperimentList& e, float XEXP1, float XEXP2, TimeExperiment& x) {
  for (int j = 1; j <= e.NEXP; ++j) {
    readFile(log, e.name[j - 1], x);
    if (j == 1) findStretch(log, e.name[0], XEXP1, XEXP2, x);
    float ymin = 0;
    numlib::MINMAX(x.counts.span().tail(x.JZ, x.MEXP), x.MEXP, ymin, x.YEXPM(j));
    // The spectra are compared in units of their largest count.
    if (!(x.YEXPM(j) > 0))
      common::hardStop(" experiment file " + e.name[j - 1] + " has no positive counts in the compared stretch !");
    for (int i = 1; i <= x.MEXP; ++i) x.YEXP(i, j) = x.counts(x.JZ + i - 1) / x.YEXPM(j);
  }
}

}  // namespace zeprin
