// The joint fit: one model fitted to the time spectra and to the delayed
// and prompt reflectivity curves at once.  Neither program can do that
// alone, so the front end varies one model-table entry at a time as the fit
// script lists them, writes the model file, runs the time-spectra and the
// delayed-prompt programs with their own fits switched off and keeps a step
// only when the sum of their merits falls.  "STOP.INP" is read after every
// trial: 0 ends the search, 2 shows the time spectra of the trial.
//
// The starting model and the script are copied aside first and put back at
// the end; the kept model stays in the model table, and the fitted model of
// the last run is copied to "BUFF.res".
#include <cmath>
#include <cstdio>
#include <optional>

#include "frontend/Globals.hpp"
#include "frontend/KAVOLDView.hpp"
#include "frontend/ListPar.hpp"
#include "frontend/winlayer/platform.hpp"
#include "numlib/yvlayout.hpp"

namespace kavold {

namespace yv = numlib::yv;

struct CKAVOLDView::JointFitFiles {
  CString model;                   // the model file, which every trial rewrites
  std::FILE* log = nullptr;        // "Joint.res"
  ParamScanner script{std::string()};  // the copy "NEXTJ.res" of the fit script
  int stop = 1;                    // the last value of "STOP.INP"
};

namespace {

void logLine(std::FILE* log, const std::string& line) {
  if (log) std::fputs(line.c_str(), log);
}

double d(float x) { return static_cast<double>(x); }

// A value of the model table with its mark: a tried value is the front
// end's own sum, unless it is the kept value unchanged.
struct Entry {
  float value = 0;
  bool computed = false;
};

Entry entryOf(const ModelTable& T, int line, int column) { return {T(line, column), T.computed(line, column)}; }

void put(ModelTable& T, int line, int column, const Entry& e) {
  T(line, column) = e.value;
  T.computed(line, column) = e.computed;
}

Entry tried(const Entry& kept, float step, bool mayCrossZero) {
  const float v = TriedValue(kept.value, step, mayCrossZero);
  return {v, kept.computed || v != kept.value};
}

}  // namespace

// The script and the model are copied aside before anything is changed; a
// copy that fails leaves everything as it was, so that no stale copy of an
// earlier fit is ever put back.
bool CKAVOLDView::StartJointFit(JointFitFiles& f) {
  f.model = m_ModelDlg.m_ModelFile;
  const int NNN = m_GeneralDlg.m_NNN;
  if (NNN < 1 || NNN > kMaxLayers) {
    Say(Format("The model holds %d sublayers; a model file holds 1 to %d.", NNN, kMaxLayers).c_str());
    return false;
  }
  if (!ReadWholeFile("NEXT.INP")) {
    Say("can not find file: NEXT.INP");
    return false;
  }
  if (!ReadWholeFile(f.model)) {
    Say("CAN NOT FIND theoretical model FILE");
    return false;
  }
  const std::pair<CString, CString> copies[] = {{"NEXT.INP", "NEXTJ.res"}, {f.model, "save.res"}};
  for (const auto& [from, to] : copies) {
    if (!winlayer::CopyFileA(from, to, 0)) {
      Say(CString("can not create file: ") + to);
      return false;
    }
  }
  WriteNextWithoutVariations();  // neither program fits on its own
  m_NewModelDlg.m_NewModelFile = f.model;
  f.log = winlayer::crt::fopen("Joint.res", "w");
  if (!f.log) Say("can not create file: Joint.res");
  f.script = ParamScanner(ReadWholeFile("NEXTJ.res").value_or(std::string()));
  try {
    f.script.Int();  // the switch of the script
    f.script.EndOfRecord();
  } catch (const InvalidParametersFile&) {
    f.script = ParamScanner(std::string());
  }
  return true;
}

// The merit of the time spectra: the total after one record per spectrum
// shown, as the program writes one per compared angle.
void CKAVOLDView::ReadJointTimeMerit() {
  auto in = NumberStream::Open("RESULT.RES");
  if (!in) {
    Say("can not find file: RESULT.RES");
    return;
  }
  float record[3];
  for (int k = 0; k < SpectraShown(); ++k) in->Next(record, 3);
  in->Next(&m_eps.epsn, 1);
}

// The total merit of the delayed-prompt program, the third value.
void CKAVOLDView::ReadJointDelayedMerit() {
  auto in = NumberStream::Open("RESULTI.res");
  if (!in) {
    Say("CAN NOT FIND FILE:  RESULTI.RES");
    return;
  }
  float v[3];
  if (in->Next(v, 3)) m_eps.epsni = v[2];
}

// A failed run leaves the merit files of an earlier one: it is no trial.
std::optional<float> CKAVOLDView::JointTrialMerit() {
  if (!RunAndWait("ZEPRIN.exe")) return std::nullopt;
  ReadJointTimeMerit();
  if (!RunAndWait("MOLVEC")) return std::nullopt;
  ReadJointDelayedMerit();
  return m_eps.epsni + m_eps.epsn;
}

bool CKAVOLDView::VaryRecord(JointFitFiles& f, const ScriptRecord& r, float& best) {
  int& stop = f.stop;
  bool ran = true;
  ModelTable& T = m_model;
  const int NNN = m_GeneralDlg.m_NNN;
  // The isomer shift and the field gradient may change sign; nothing else may.
  const auto mayCross = [NNN](int line) {
    return line == yv::lineAfter(NNN, yv::IS) || line == yv::lineAfter(NNN, yv::EFG);
  };
  const bool correlated = r.in2 != 0;
  Entry s = entryOf(T, r.in1, r.ip1);
  Entry c = correlated ? entryOf(T, r.in2, r.ip2) : Entry{};
  float sp1 = r.sp1;
  for (int i = 0; i < m_ComputationDlg.m_ISTOP; ++i) {
    put(T, r.in1, r.ip1, tried(s, sp1, mayCross(r.in1)));
    if (correlated) put(T, r.in2, r.ip2, tried(c, sp1 * r.f2, mayCross(r.in2)));
    WriteModelFile();
    const std::optional<float> trial = JointTrialMerit();
    if (!trial) {
      ran = false;
      break;
    }
    const float eps = *trial;
    logLine(f.log, Format("    %f %f %f %f %d %d %d %d  %f %f %d \n", d(T(r.in1, r.ip1)), d(eps), d(best),
                          correlated ? d(T(r.in2, r.ip2)) : 0.0, r.in1, r.ip1, r.in2, r.ip2, d(sp1), d(r.f2), i));
    const TrialOutcome o = JudgeTrial(i, eps, best, m_ComputationDlg.m_EPFIN, sp1);
    if (o.leave) break;
    sp1 = o.step;
    if (o.keep) {
      s = entryOf(T, r.in1, r.ip1);
      if (correlated) c = entryOf(T, r.in2, r.ip2);
      best = eps;
    }
    if (auto text = ReadWholeFile("STOP.INP")) {
      ParamScanner in(std::move(*text));
      try {
        stop = in.Int();
      } catch (const InvalidParametersFile&) {
        // An unreadable value: the last one stands.
      }
    } else {
      Say("CAN NOT FIND FILE: STOP.INP");
    }
    if (stop == 0) {
      logLine(f.log, Format("end jf : IFFF= %d \n", 0));
      break;
    }
    if (stop == 2) OnShowTimeSpectra();
  }
  put(T, r.in1, r.ip1, s);
  if (correlated) put(T, r.in2, r.ip2, c);
  if (stop == 0) logLine(f.log, Format("  IFFF= %d \n", 0));
  return ran;
}

// Both programs once more with the kept model, then the starting model and
// the script back in their places.
void CKAVOLDView::EndJointFit(JointFitFiles& f) {
  WriteModelFile();
  OnRunTimeSpectra();
  OnRunDelayed();
  PutBackJointFitFiles(f);
  winlayer::CopyFileA("LAYSPC.RES", "BUFF.res", 0);
  WriteStopFile(1);  // so that the next run is not stopped at once
  m_timeModel.current = m_delayedModel.current = m_promptModel.current = "Layspc.res";
  Invalidate();
}

void CKAVOLDView::PutBackJointFitFiles(JointFitFiles& f) {
  if (f.log) std::fclose(f.log);
  f.log = nullptr;
  winlayer::CopyFileA("save.res", f.model, 0);
  winlayer::CopyFileA("NEXTJ.res", "NEXT.INP", 0);
}

// The runs of the starting model: both programs are started even when the
// probe finds one missing.
bool CKAVOLDView::JointStartRuns() {
  ProbeFile("ZEPRIN.exe", "can not find file: ZEPRIN.exe");
  if (!RunAndWait("ZEPRIN.exe")) return false;
  ReadJointTimeMerit();
  ProbeFile("MOLVEC.exe", "can not find file: MOLVEC.exe");
  if (!RunAndWait("MOLVEC.exe")) return false;
  ReadJointDelayedMerit();
  return true;
}

bool CKAVOLDView::VaryScript(JointFitFiles& f) {
  float best = m_eps.epsni + m_eps.epsn;
  logLine(f.log, Format(" initial epssn: %f\n", d(best)));
  const int NNN = m_GeneralDlg.m_NNN;
  while (f.stop != 0) {
    const auto r = NextScriptRecord(f.script);
    if (!r || r->in1 == 0) break;
    if (!AddressesModelTable(NNN, r->in1, r->ip1, r->in2, r->ip2)) {
      Say(OutsideModelTable(NNN, Format("NEXT.INP: the record of line %d, column %d", r->in1, r->ip1)).c_str());
      continue;
    }
    if (!VaryRecord(f, *r, best)) return false;
  }
  return true;
}

// A program that fails stops the fit at once: the model table keeps the
// values kept so far, the files go back, and no final run is made.
void CKAVOLDView::OnJointFit() {
  if (RefuseWhileRunning()) return;
  JointFitFiles f;
  if (!StartJointFit(f)) return;
  if (JointStartRuns() && VaryScript(f)) {
    EndJointFit(f);
    return;
  }
  PutBackJointFitFiles(f);
  Invalidate();
}

}  // namespace kavold
