// "FilCEM.inp", the measured spectrum and the velocity grid.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "numlib/fits.hpp"
#include "programs/brinax/brinax.hpp"
#include "programs/brinax/lorcnv.hpp"
#include "programs/common/hardstop.hpp"

namespace brinax {

namespace {

using common::hardStop;

void requirePoints(int n, const char* name) {
  if (n < 2 || n > kMaxPoints) hardStop(std::string(" ") + name + " in FilCEM.inp must lie in 2..1024 !");
}

void readExperimentSettings(fio::Unit& in, fio::Unit& log, CemsParams& c) {
  c.file = in.readA(32);
  log.print(c.file);
  in.read(c.JEXPC);
  log.print(" Jexp=", c.JEXPC);
  requirePoints(c.JEXPC, "JEXPC");
  in.read(c.Hmms);
  log.print(" Hmms=", c.Hmms);
  in.read(c.Hchan);
  log.print(" Hchan=", c.Hchan);
  if (c.Hchan == 0) hardStop(" Hchan in FilCEM.inp must not be 0 !");
  in.read(c.chan0);
  log.print(" chan0=", c.chan0);
  in.read(c.E1lim);
  in.read(c.E2lim);
  log.print(" EMAX,E1lim,E2lim=", c.EMAX, c.E1lim, c.E2lim);
  // The comparison window and the interpolation of the theory read the
  // velocities as increasing with the channel.
  if (!(c.Hmms / c.Hchan > 0))
    hardStop(" the velocity scale Hmms/Hchan in FilCEM.inp must increase with the channel (be larger than 0) !");
}

// A file shorter than JEXPC has no counts for the last channels: they are not
// taken as zeros, the spectrum ends where the file does.
void checkLength(fio::Unit& log, int read, CemsParams& c) {
  if (read >= c.JEXPC) return;
  const std::string text = " the experiment file " + c.file + " holds " + std::to_string(read) +
                           " values, fewer than JEXPC = " + std::to_string(c.JEXPC) + "; JEXPC is set to " +
                           std::to_string(read);
  log.print(text);
  fio::console().print(text);
  if (read < 2) hardStop(" the experiment file " + c.file + " holds fewer than 2 values !");
  c.JEXPC = read;
}

// N1: the last point below E1lim (1 when none), N2: the last below E2lim.
// The fit compares the counts above the smallest of the spectrum (YEN), which
// the normalisation makes 0.
void comparisonWindow(fio::Unit& log, const CemsParams& c, CemsExperiment& x) {
  x.N1 = 1;
  x.N2 = 0;
  for (int i = 1; i <= c.JEXPC; ++i) {
    if (x.XEXP(i) < c.E1lim) x.N1 = i;
    if (x.XEXP(i) < c.E2lim) x.N2 = i;
  }
  log.write("(' number of points for comparison LIM=', I6)", x.N2 - x.N1 + 1);
  const std::string text =
      common::refusedWindow(x.YEXP.span(), x.N1, x.N2, x.YEN, {c.file, "count", "E1lim", "E2lim", "the file's smallest"});
  if (!text.empty()) hardStop(text);
  log.write("(' start and final number for comp. of exp. with theory  ', /, 2I5, 2F10.3)", x.N1, x.N2, x.XEXP(x.N1),
            x.XEXP(x.N2));
}

}  // namespace

void refuseWrittenInputs() {
  std::vector<common::NamedInput> inputs;
  // The records of RDCEMS up to the name of the measured spectrum.
  common::peekNames("FilCEM.inp", [&](fio::Unit& in) {
    CemsParams c;
    in.skip();
    in.read(c.NSPCE);
    in.read(c.GS);
    in.read(c.EMAX);
    in.read(c.IMM);
    in.skip();
    if (c.NSPCE != 0) inputs.push_back({in.readA(32), "experiment file", "FilCEM.inp"});
  });
  common::peekModelName(inputs);
  common::refuseWrittenInputs(inputs, {common::kSharedInputs, kOwnInputs, common::kDistributionInput},
                              {kWrittenFiles, common::kModelOutputFiles, common::kDensityProfileFile});
}

void RDCEMS(fio::Unit& log, CemsParams& c, int& ITEST) {
  fio::Unit in(8);
  in.openOld("FilCEM.inp");
  log.print();
  log.print("  FilCEM.inp");
  in.skip();
  in.read(c.NSPCE);
  log.print(" NSPCE=", c.NSPCE);
  in.read(c.GS);
  in.read(c.EMAX);
  log.print(" EMAX=", c.EMAX);
  if (!(c.EMAX > 0)) hardStop(" EMAX in FilCEM.inp must be larger than 0 !");
  in.read(c.IMM);
  log.print(" IMM=", c.IMM);
  requirePoints(c.IMM, "IMM");
  in.skip();
  if (c.NSPCE != 0)
    readExperimentSettings(in, log, c);
  else
    ITEST = 1;  // theory only: no fit control, one pass
  in.close();
}

void RDEXPC(fio::Unit& log, fio::Unit& in, CemsParams& c, CemsExperiment& x) {
  in.openOld(c.file);
  log.print();
  log.print(" Open exp.file");
  x.YEXP.fill(0.0f);
  const int read = in.readArrayUpTo(x.YEXP.span(), 1, kMaxPoints);
  in.close();
  // Values beyond JEXPC are never used.
  for (int i = 1; i <= std::min(read, c.JEXPC); ++i)
    if (x.YEXP(i) < 0) hardStop(common::negativeCountText(c.file, i));
  log.write("(' read number JEXP = ', I5)", c.JEXPC);
  checkLength(log, read, c);

  const float step = c.Hmms / c.Hchan;
  for (int i = 1; i <= c.JEXPC; ++i) x.XEXP(i) = (static_cast<float>(i) - c.chan0) * step;
  log.print(" STEP in mm/s", x.XEXP(2) - x.XEXP(1));
  // A flat spectrum has no window to compare, so it is refused before its
  // normalisation divides by YEM - YEN = 0.
  numlib::MINMAX(x.YEXP.span(), c.JEXPC, x.YEN, x.YEM);
  comparisonWindow(log, c, x);
  log.write("(' YEN,YEM=', 2F20.9)", x.YEN, x.YEM);
  for (int i = 1; i <= c.JEXPC; ++i) {
    x.YEXP(i) = (x.YEXP(i) - x.YEN) / (x.YEM - x.YEN);
    log.print(x.XEXP(i), x.YEXP(i));
  }
}

void ESCALE(fio::Unit& log, const CemsParams& c, float& XEST, EnergyScale& s) {
  log.print("       ENERGY SCALE");
  log.write("(' number of points for energy spectrum calculation', I5)", c.IMM);
  XEST = 2 * c.EMAX / static_cast<float>(c.IMM);
  for (int i = 1; i <= c.IMM; ++i) s.XXM(i) = static_cast<float>(i) * XEST - c.EMAX;
  log.print(" XXM(1) =", s.XXM(1));
  log.print(" XXM(IMM)=", s.XXM(c.IMM));
  // About five half widths of the source line on each side, truncated.
  const float span = 10 * c.GS / XEST;
  if (!(span < kMaxKernel + 1))
    hardStop(" the source line is too wide for the grid: LS = 10 GS / XEST must not exceed 513 !");
  s.LS = span > -1 ? static_cast<int>(span) : 0;  // a negative GS gives no kernel
  log.print(" LS=", s.LS);
}

}  // namespace brinax
