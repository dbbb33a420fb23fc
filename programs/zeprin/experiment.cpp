// The list of time-spectrum experiments and their reading.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "numlib/fits.hpp"
#include "programs/common/hardstop.hpp"
#include "programs/zeprin/zeprin.hpp"

namespace zeprin {

namespace {

// Record m of the file goes to slot 1025-m, so that the times, which fall
// from record to record, rise from slot to slot as the comparison expects.
// Equal times (a record written twice, padding records at 0 ns) are read.
// Returns the number of records read.
int readFile(fio::Unit& log, const std::string& name, TimeExperiment& x) {
  // A shorter later file must not show the counts of the one before.
  x.XXA.fill(0.0f);
  x.counts.fill(0.0f);
  fio::Unit in(3);
  in.openOld(name);
  log.print(" Open exp.file");
  int m = 1;
  for (; m <= kExpSlots; ++m) {
    float t = 0, c = 0;
    if (!in.tryRead(t, c)) break;
    if (m > 1 && t > x.XXA(kExpSlots + 2 - m))
      common::hardStop(" times of the experiment file " + name + " must not rise from record to record (point " +
                       std::to_string(m) + ") !");
    if (c < 0) common::hardStop(common::negativeCountText(name, m));
    x.XXA(kExpSlots + 1 - m) = t;
    x.counts(kExpSlots + 1 - m) = c;
  }
  log.print(" XXA(JEXP)=", x.XXA(kExpSlots));
  in.close();
  return m - 1;
}

std::string nanoseconds(float t) {
  const std::string f = fio::formatRecords("(F12.3)", fio::items(t));
  const auto first = f.find_first_not_of(' ');
  return f.substr(first, f.find_last_not_of(" \n") + 1 - first) + " ns";
}

// Times are written with three decimals (F11.3 in the curve files, and so in
// files made from them): two files may round one time to neighbouring last
// digits.
constexpr float kTimeRounding = 0.0015f;  // ns

// Every file is compared, and its curve file drawn, at the compared times of
// the first file, slot by slot: a file whose records stand at other times
// would have its counts placed at times they were not measured at.  The
// first record that differs, in the order of the file, is named.
void checkTimes(const std::string& name, int records, const ExperimentList& e, const TimeExperiment& x) {
  for (int i = x.MEXP; i >= 1; --i) {
    const int m = kExpSlots + 1 - (x.JZ + i - 1);
    const float t = x.XXA(x.JZ + i - 1);
    const bool ended = m > records;
    if (!ended && std::abs(t - x.times(i)) <= kTimeRounding) continue;
    const std::string first = nanoseconds(x.times(i)) + " as in the first file " + e.name[0];
    const std::string why = ended ? " the experiment file " + name + " ends before record " + std::to_string(m) +
                                        " (" + first + ")"
                                  : " time of record " + std::to_string(m) + " of the experiment file " + name +
                                        " is " + nanoseconds(t) + ", not " + first;
    common::hardStop(why + ": every file is compared at the first file's times !");
  }
}

// The compared stretch JZ..JZF and the merit window, from the first file.
void findStretch(fio::Unit& log, float XEXP1, float XEXP2, TimeExperiment& x) {
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

void RDEXPER(fio::Unit& log, const ExperimentList& e, const common::CalcParams& p, int NSPC, TimeExperiment& x) {
  for (int j = 1; j <= e.NEXP; ++j) {
    const std::string& name = e.name[j - 1];
    const int records = readFile(log, name, x);
    if (j == 1) findStretch(log, p.XEXP1, p.XEXP2, x);
    const numlib::Span1<const float> stretch = x.counts.span().tail(x.JZ, x.MEXP);
    if (j > 1 && j <= NSPC) checkTimes(name, records, e, x);
    // Without a weight a file's merit does not count, but an empty window
    // leaves nothing to compare whatever the weights.
    if (j <= NSPC && (p.weight(j) != 0 || x.JZ2 < x.JZ1)) {
      const std::string text = common::refusedWindow(stretch, x.JZ1, x.JZ2, 0.0f, {name, "count", "XEXP1", "XEXP2"});
      if (!text.empty()) common::hardStop(text);
    }
    float ymin = 0;
    numlib::MINMAX(stretch, x.MEXP, ymin, x.YEXPM(j));
    // The spectra are compared in units of their largest count; one whose
    // merit does not count may have none, and keeps its counts.
    if (!(x.YEXPM(j) > 0)) x.YEXPM(j) = 1.0f;
    for (int i = 1; i <= x.MEXP; ++i) x.YEXP(i, j) = stretch(i) / x.YEXPM(j);
  }
}

}  // namespace zeprin
