#include "frontend/ListPar.hpp"

#include <algorithm>
#include <cstdlib>

#include "frontend/ParamFiles.hpp"
#include "numlib/yvlayout.hpp"

namespace kavold {

namespace yv = numlib::yv;

namespace {

// One row per sublayer in a column of the sublayer lines.
ListParGroup perSublayer(std::string heading, int NNN, int column, const char* value, const char* step,
                         bool shortRecords = false) {
  ListParGroup g{std::move(heading), {}, shortRecords};
  for (int k = 1; k <= NNN; ++k) g.rows.push_back({k, column, value, step, true});
  return g;
}

std::string numbered(const char* form, int K) { return Format(form, K); }

void sublayerGroups(std::vector<ListParGroup>& gs, const LayerInts& ints, const ListParShape& s) {
  const int NNN = s.NNN;
  gs.push_back(perSublayer("   Layer thicknesses   \n", NNN, yv::H1A, "%10.4f", "%8.3f", true));
  gs.push_back(perSublayer("   Real part of electronic susceptibility in 10-6    \n", NNN, yv::ELD1, "%10.3f", "%8.2f",
                           true));
  gs.push_back(perSublayer("   Imaginary part of electronic susceptibility in 10-6    \n", NNN, yv::ELD2, "%10.3f",
                           "%8.2f", true));
  gs.push_back(perSublayer("   Interface width for each layer in A (top)   \n", NNN, yv::WIDTH, "%10.3f", "%8.2f",
                           true));
  // The interface parameters vary nothing under an interface of kind 1.
  gs.push_back(perSublayer(" Parameter for interface function for Re(xi) in each layer (if IKIND=2,3,4) \n", NNN,
                           yv::ZD1, "%10.3f", "%8.2f"));
  for (auto& r : gs.back().rows) r.mayVary = ints(r.line, kColKIND1) != 1;
  gs.push_back(perSublayer(" Parameter for interface function for Im(xi) in each layer (if IKIND=2,3,4) \n", NNN,
                           yv::ZD2, "%10.3f", "%8.2f"));
  for (auto& r : gs.back().rows) r.mayVary = ints(r.line, kColKIND2) != 1;
}

void multipletGroups(std::vector<ListParGroup>& gs, const LayerInts& ints, const ListParShape& s) {
  const int NNN = s.NNN, NM = std::clamp(s.NM, 0, 8);
  gs.push_back({"  Maximum value of the nuclear density HKMAX (essential for INORM=1,2,4))  \n",
                {{yv::lineS(NNN), yv::HKMAX, "%10.5f", "%8.4f", s.INORM != 3}},
                false});
  for (int K = 1; K <= NM; ++K) {
    ListParGroup g{numbered("    Hyperfine parameters for multiplet No. %u  (Bhf,dBhf,IS,EFG,GRd)  \n", K), {}, false};
    for (int h = 1; h <= yv::NHYP; ++h) g.rows.push_back({yv::lineHyp(NNN, h), K, "%10.4f", "%8.4f", true});
    gs.push_back(g);
  }
  for (int K = 1; K <= NM; ++K)
    gs.push_back({numbered("    Relative weight for multiplet No. %u  (it works if ISQ=0) \n", K),
                  {{yv::lineS(NNN), K, "%10.5f", "%8.5f", s.ISQ == 0}},
                  false});
  for (int K = 1; K <= NM; ++K)
    gs.push_back(perSublayer(numbered("    Depth distribution of nuclear density for Multiplet No. %u   \n", K), NNN,
                             yv::colV(K), "%10.5f", "%8.4f"));
  for (int K = 1; K <= NM; ++K) {
    gs.push_back(perSublayer(
        numbered("    Parameter for interface function for Multiplet No. %u  in each layer (if IKIND=2,3,4) \n", K),
        NNN, yv::colZDV(K), "%10.3f", "%8.2f"));
    for (auto& r : gs.back().rows) r.mayVary = ints(r.line, kColKINDV1 + K - 1) != 1;
  }
}

// Forms of the five angular parameters, in the order of their columns and lines.
struct AngularForm {
  const char* heading;  // of the per-sublayer group (IBHF 1)
  const char* value;
  const char* step;
};
const AngularForm kAngular[yv::NANG] = {
    {" IBHF=1 Angle BETA (Polar angle for all Bhf) in each layer \n", "%10.1f", "%8.1f"},
    {" IBHF=1 Angle GAMMA (azimuth for all Bhf) in each layer \n", "%10.1f", "%8.1f"},
    {" IBHF=1 Parameter RANDOM for all Bhf in each layer \n", "%10.3f", "%8.3f"},
    {" IBHF=1 Parameter PLANE for all Bhf in each layer \n", "%10.3f", "%8.3f"},
    {" IBHF=1 Angular width for all Bhf azimuthal distribution in each layer \n", "%10.1f", "%8.1f"},
};

void angularGroups(std::vector<ListParGroup>& gs, const ListParShape& s) {
  const int NNN = s.NNN;
  if (s.IBHF == 1)
    for (int a = 1; a <= yv::NANG; ++a)
      gs.push_back(perSublayer(kAngular[a - 1].heading, NNN, yv::colAng(a), kAngular[a - 1].value,
                               kAngular[a - 1].step));
  if (s.IBHF == 2)
    for (int K = 1; K <= std::clamp(s.NM, 0, 8); ++K) {
      ListParGroup g{numbered(" IBHF=2   Angular parameters for multiplet No. %u  (BE,GA,RAND,PLAN,WID) \n", K), {},
                     false};
      for (int a = 1; a <= yv::NANG; ++a)
        g.rows.push_back({yv::lineAngM(NNN, a), K, kAngular[a - 1].value, kAngular[a - 1].step, true});
      gs.push_back(g);
    }
  ListParGroup angles{" Possible angle variations \n", {}, false};
  for (int i = 1; i <= std::clamp(s.NSPC, 0, yv::NANGLES); ++i)
    angles.rows.push_back({yv::lineS(NNN), yv::colAngle(i), "%10.4f", "%8.4f", true});
  gs.push_back(angles);
}

// A variation record of the fit script: the step and the factor as typed.
std::string record(bool shortRecords, int line, int column, float step, int line2, int column2, float factor) {
  return Format("%5d %5d", line, column) + FormatReal(" %10.5f", step) + Format(" %5d %5d", line2, column2) +
         FormatReal(" %5.2f", factor) + (shortRecords ? "  \n" : "   \n");
}

}  // namespace

std::vector<ListParGroup> ListParGroups(const LayerInts& ints, const ListParShape& s) {
  std::vector<ListParGroup> gs;
  sublayerGroups(gs, ints, s);
  multipletGroups(gs, ints, s);
  angularGroups(gs, s);
  return gs;
}

std::string ListParText(const ModelTable& t, const LayerInts& ints, const ListParShape& s) {
  std::string text;
  for (const ListParGroup& g : ListParGroups(ints, s)) {
    text += g.heading;
    for (const ListParRow& r : g.rows) {
      const bool angle = r.line == yv::lineS(s.NNN) && r.column > yv::ANGLE0;
      const std::string value = angle ? FormatReal(r.valueForm, s.angle[r.column - yv::ANGLE0 - 1])
                                      : TableValueText(r.valueForm, t, r.line, r.column);
      text += Format("%3d %3d ", r.line, r.column) + value + " " + Format(r.stepForm, 0.0) +
              Format(" %5d %3d %7.2f \n", 0, 0, 1.0);
    }
  }
  return text;
}

bool AddressesModelTable(int NNN, int line, int column, int line2, int column2) {
  const int last = yv::lastLine(NNN);
  const auto inside = [last](int l, int c) { return l >= 1 && l <= last && c >= 1 && c <= numlib::NYVC; };
  if (!inside(line, column)) return false;
  return line2 == 0 || inside(std::abs(line2), column2 == 0 ? column : column2);
}

std::string OutsideModelTable(int NNN, const std::string& what) {
  return Format("%s addresses the model table outside its lines 1 to %d and columns 1 to %d: skipped.", what.c_str(),
                yv::lastLine(NNN), numlib::NYVC);
}

void ReadListPar(ParamScanner& in, const ModelTable& t, const LayerInts& ints, const ListParShape& s,
                 ListParReading& out) {
  out.table = t;
  out.next = Format("%5u   \n", 1u);
  out.skipped.clear();
  int lastColumn2 = 0;
  float lastFactor = 0;
  for (const ListParGroup& g : ListParGroups(ints, s)) {
    in.Heading();
    for (const ListParRow& r : g.rows) {
      const int line = in.Int(), column = in.Int();
      const float value = in.Real(), step = in.Real();
      const int line2 = in.Int(), column2 = in.Int();
      const float factor = in.Real();
      in.EndOfRecord();
      lastColumn2 = column2;
      lastFactor = factor;
      if (!AddressesModelTable(s.NNN, line, column, line2, column2)) {
        out.skipped.push_back(Format("line %d, column %d", line, column));
        continue;
      }
      out.table(line, column) = value;
      out.table.computed(line, column) = false;
      if (step != 0 && r.mayVary)
        out.next += record(g.shortRecords, line, column, step, line2, column2, factor);
    }
  }
  out.next += record(false, 0, 0, 0, 0, lastColumn2, lastFactor);
}

}  // namespace kavold
