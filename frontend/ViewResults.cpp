// Reading what the console programs leave in the working directory: the
// show commands of the four display modes, the depth profiles, and the
// baseline that makes the latest results the new reference.  A missing file
// is reported and leaves the arrays it would fill as they were; a file
// longer than its arrays is read up to their capacity.
#include <algorithm>
#include <cmath>

#include "frontend/Globals.hpp"
#include "frontend/KAVOLDView.hpp"
#include "frontend/ParamText.hpp"
#include "frontend/ProfileFiles.hpp"

namespace kavold {

namespace {

// The count of a file read until its end: the attempts less `less`, never
// below 0 nor above the capacity.
int countOf(int attempts, int less, int capacity) { return std::clamp(attempts - less, 0, capacity); }

// Divides n values by `norm` unless it is 0 (or not a number).
void divide(float* y, int n, float norm) {
  if (!(norm != 0) || std::isnan(norm)) return;
  for (int i = 0; i < n; ++i) y[i] /= norm;
}

}  // namespace

// -------------------------------------------------------- time spectra

// The curve files of the n spectra shown, into the initial or the current
// theory; with experiment files their second column is the experiment.
// Without "RESULT.RES" the first run's curves are not read; later curves
// are read all the same, without their merits.
bool CKAVOLDView::ReadTimeSpectrumFiles(bool initial) {
  const bool experiment = m_LoadDlg.m_NFiles != 0;
  auto result = NumberStream::Open(initial ? "RESULT.RES" : "result.res");
  if (!result) {
    Say(initial ? "can not find file: RESULT.RES" : "Can not find file: RESULT.res");
    if (initial) return false;
  }
  TimeCurves& t = m_time;
  float(*times)[4] = initial ? t.tini : t.tcur;
  float(*theory)[4] = initial ? t.yini : t.ycur;
  int* count = initial ? t.nini : t.ncur;
  const int n = SpectraShown();
  for (int k = 0; k < n; ++k) {
    const CString name = Format("BUFFTN%d.RES", k + 1).c_str();
    if (auto in = NumberStream::Open(name)) {
      const int attempts = ScanRecords(*in, 3, kTimePoints, [&](int i, const float* v) {
        times[i][k] = t.texp[i][k] = v[0];
        if (experiment) {
          t.yexp[i][k] = v[1];
          theory[i][k] = v[2];
        } else {
          theory[i][k] = 200 * v[2];
        }
      });
      count[k] = t.nexp[k] = countOf(attempts, 1, kTimePoints);
    } else {
      Say(Format("can not find file: BUFFTN%d.res", k + 1).c_str());
    }
    float record[3];
    if (experiment && result) result->Next(record, 3);  // spectrum number, angle and merit
  }
  if (experiment && result) result->Next(initial ? &m_eps.eps0 : &m_eps.epsn, 1);
  return true;
}

// The energy spectra of the first run: the reflectivity of each spectrum
// shown and the absorption, the references of the energy graphs.
void CKAVOLDView::ReadEnergyReferences(int n) {
  KavoldGlobals& g = globals();
  ReflectivityReference& r = g.reflectivity;
  for (int k = 0; k < n; ++k) {
    const std::string name = Format("BUFFEN%d.RES", k + 1);
    auto in = NumberStream::Open(name.c_str());
    if (!in) {
      Say(("can not find file: " + name).c_str());
      continue;
    }
    const int attempts = ScanRecords(*in, 2, kEnergyPoints, [&](int i, const float* v) {
      r.E[i] = v[0];
      r.R[i][k] = v[1];
    });
    r.n = countOf(attempts, 1, kEnergyPoints);
  }
  auto in = NumberStream::Open("E_spcN.RES");
  if (!in) {
    Say("can not find file: E_spcN.RES");
    return;
  }
  AbsorptionReference& a = g.absorption;
  a.norm = 0;
  const int attempts = ScanRecords(*in, 3, kEnergyPoints, [&](int i, const float* v) {
    a.E[i] = v[0];
    a.s[i] = v[1];
    a.p[i] = v[2];
    a.norm = std::max({a.norm, v[1], v[2]});
  });
  a.n = countOf(attempts, 1, kEnergyPoints);
  divide(a.s, a.n, a.norm);
  divide(a.p, a.n, a.norm);
}

void CKAVOLDView::ReadAngleFile() {
  auto in = NumberStream::Open("ANGLE.res");
  if (!in) {
    Say("CAN NOT FIND FILE: ANGLE.res");
    return;
  }
  const int n = SpectraShown();
  for (int k = 0; k <= n && k < 4; ++k) in->Next(&m_ModelDlg.m_Angle[k], 1);
}

void CKAVOLDView::OnShowTimeSpectra() {
  KavoldGlobals& g = globals();
  m_mode = 1;
  m_pressTime = 0;
  std::copy(std::begin(m_ModelDlg.m_Angle), std::end(m_ModelDlg.m_Angle), g.grazingAngle);
  LoadAxes(1);
  const int n = SpectraShown();
  for (int k = 0; k < 4; ++k) m_fileLabel[k] = Format("BUFFTN%d.RES", k + 1).c_str();
  if (g.runTime == 1) ReadTimeSpectrumFiles(true);
  if (g.runTime > 0) {
    ReadAngleFile();
    ReadTimeSpectrumFiles(false);
  }
  if (g.runTime == 1) ReadEnergyReferences(n);
  m_resultsShown = true;
  Invalidate();
}

// ------------------------------------------------- delayed and prompt

// The reflectivity experiment: a count line, then angle, prompt and delayed
// values, each column divided by its largest value.  In the prompt mode
// only the prompt column is kept and its maximum becomes the prompt
// reference.  False when the file is missing or its count line unreadable.
bool CKAVOLDView::ReadReflectivityExperiment(const char* missing, bool promptOnly) {
  auto text = ReadWholeFile(m_reflExpName);
  if (!text) {
    Say(missing);
    return false;
  }
  // The count line is passed over: the points are counted as they are read.
  const std::size_t first = text->find_first_not_of(" \t\r\n");
  if (first == std::string::npos) {
    Say(kInvalidFile);
    return false;
  }
  const std::size_t lineEnd = text->find('\n', first);
  NumberStream in(lineEnd == std::string::npos ? std::string() : text->substr(lineEnd + 1));
  ReflectivityCurves& r = m_refl;
  float pmax = 0, dmax = 0;
  const int attempts = ScanRecords(in, 3, kAnglePoints, [&](int i, const float* v) {
    r.aexp[i] = v[0];
    if (!promptOnly) r.adini[i] = v[0];
    r.pexp[i] = v[1];
    pmax = std::max(pmax, v[1]);
    if (promptOnly || i >= kDelayedPoints) return;
    r.dexp[i] = v[2];
    dmax = std::max(dmax, v[2]);
  });
  const int n = countOf(attempts, 1, kAnglePoints);
  divide(r.pexp, n, pmax);
  if (promptOnly) {
    m_prmRefExpMax = pmax;
    r.ndini = r.nexp = n;
  } else {
    divide(r.dexp, std::min(n, kDelayedPoints), dmax);
    r.nexp = n;
  }
  return true;
}

namespace {

// A curve file of the delayed-prompt or prompt program: angle, experiment
// and theory.  Returns the count and the largest experiment and theory
// values.
struct CurveRead {
  int n = 0;
  float expMax = 0, thMax = 0;
};

template <class Store>
std::optional<CurveRead> readCurveFile(const char* name, int capacity, Store store) {
  auto in = NumberStream::Open(name);
  if (!in) return std::nullopt;
  CurveRead c;
  const int attempts = ScanRecords(*in, 3, capacity, [&](int i, const float* v) {
    store(i, v);
    c.expMax = std::max(c.expMax, v[1]);
    c.thMax = std::max(c.thMax, v[2]);
  });
  c.n = countOf(attempts, 1, capacity);
  return c;
}

// The normaliser of a later run: the first run's maximum of the experiment
// column, or this file's when the first run had none.  Without an
// experiment both are the first run's theory maximum.
float normaliser(bool experiment, float& refExp, float& refTh, CurveRead& c, bool firstRun) {
  if (firstRun) {
    refExp = c.expMax;
    refTh = c.thMax;
  }
  if (!experiment) refExp = c.expMax = refTh;
  return refExp != 0 ? refExp : c.expMax;
}

}  // namespace

void CKAVOLDView::ReadDelayedCurves() {
  ReflectivityCurves& r = m_refl;
  const bool experiment = m_del.Intexp == 1;
  auto c = readCurveFile("DELAY2.res", kDelayedPoints, [&](int i, const float* v) {
    r.adcur[i] = v[0];
    r.dcur[i] = v[2];
    if (!experiment) return;
    r.dexp[i] = v[1];
    r.aexp[i] = v[0];
  });
  if (!c) {
    Say("CAN NOT FIND FILE:  DELAY2.res");
    return;
  }
  r.ndcur = r.nexp = c->n;
  const float norm = normaliser(experiment, m_delRefExpMax, m_delRefThMax, *c, globals().runDelayed == 1);
  divide(r.dexp, r.ndcur, norm);
  divide(r.dcur, r.ndcur, norm);
}

// "RESULTI.res" of a delayed-prompt run: the prompt merit and, when it
// differs, the total.
void CKAVOLDView::ReadResultI(float& target, bool total) {
  auto in = NumberStream::Open("RESULTI.res");
  if (!in) {
    Say("CAN NOT FIND FILE:  RESULTI.RES");
    return;
  }
  float v[3];
  if (!in->Next(v, 3)) return;
  target = v[0];
  if (total && v[2] != v[0]) m_eps.epsni = v[2];
}

void CKAVOLDView::ReadPromptCurvesOfDelayedRun() {
  ReflectivityCurves& r = m_refl;
  auto c = readCurveFile("PROMP2.res", kAnglePoints, [&](int i, const float* v) {
    r.apcur[i] = v[0];
    r.pexp[i] = v[1];
    r.pcur[i] = v[2];
    r.aexp[i] = r.adcur[i];
  });
  if (!c) {
    Say("CAN NOT FIND FILE:  PROMP2.res");
    return;
  }
  r.npcur = r.nexp = c->n;
  const float norm = normaliser(m_del.Intexp == 1, m_prmRefExpMax, m_prmRefThMax, *c, globals().runDelayed == 1);
  divide(r.pexp, r.npcur, norm);
  divide(r.pcur, r.npcur, norm);
}

void CKAVOLDView::OnShowDelayed() {
  const KavoldGlobals& g = globals();
  m_mode = 2;
  m_pressDelayed = 0;
  LoadAxes(2);
  if (m_del.Intexp == 1 && g.runDelayed == 0)
    ReadReflectivityExperiment("CAN NOT FIND FILE with experimental prompt and dalayed curves", false);
  Invalidate();
  if (g.runDelayed < 1) return;
  ReadDelayedCurves();
  if (m_del.Intexp == 1) ReadResultI(m_eps.epsnp, true);
  ReadPromptCurvesOfDelayedRun();
  if (g.runDelayed == 1) {
    ReflectivityCurves& r = m_refl;
    // The delayed arrays hold 900 values of the prompt count.
    for (int i = 0; i < std::min(r.npcur, kAnglePoints); ++i) {
      r.adini[i] = r.adcur[i];
      if (i < kDelayedPoints) r.dini[i] = r.dcur[i];
    }
    if (g.runPrompt <= 1) {
      std::copy(r.apcur, r.apcur + std::min(r.npcur, kAnglePoints), r.apini);
      std::copy(r.pcur, r.pcur + std::min(r.npcur, kAnglePoints), r.pini);
      r.npini = r.npcur;
    }
    r.ndini = r.ndcur;
    m_eps.eps0i = m_eps.epsni;
    m_eps.eps0p = m_eps.epsnp;
  }
  Invalidate();
}

// "PROMP2.res" of a prompt run into the initial or the current prompt
// curve, and its merit from "RESULTI.RES" (read even when the curve file
// is missing); the prompt reference maximum is fixed on the first run.
void CKAVOLDView::ReadPromptFile(bool initial) {
  ReflectivityCurves& r = m_refl;
  float* angles = initial ? r.apini : r.apcur;
  float* curve = initial ? r.pini : r.pcur;
  auto c = readCurveFile("PROMP2.res", kAnglePoints, [&](int i, const float* v) {
    angles[i] = r.aexp[i] = v[0];
    r.pexp[i] = v[1];
    curve[i] = v[2];
  });
  if (c) {
    (initial ? r.npini : r.npcur) = r.nexp = c->n;
    const float largest = m_del.Intexp == 1 ? c->expMax : c->thMax;
    if (initial) m_prmRefExpMax = largest;
    const float norm = m_prmRefExpMax != 0 ? m_prmRefExpMax : largest;
    divide(r.pexp, c->n, norm);
    divide(curve, c->n, norm);
  } else {
    Say("CAN NOT FIND FILE: PROMP2.res");
  }
  auto in = NumberStream::Open("RESULTI.RES");
  if (!in) {
    Say("CAN NOT FIND FILE: RESULTI.RES");
    return;
  }
  float v[3];
  if (m_del.Intexp == 1 && in->Next(v, 3)) (initial ? m_eps.eps0p : m_eps.epsnp) = v[0];
}

void CKAVOLDView::OnShowPrompt() {
  const KavoldGlobals& g = globals();
  m_mode = 3;
  m_pressPrompt = 0;
  LoadAxes(3);
  if (g.runPrompt == 0) {
    if (m_del.Intexp == 1)
      ReadReflectivityExperiment("CAN NOT FIND FILE with experimental prompt and delayed curves", true);
    Invalidate();
    return;
  }
  if (g.runPrompt == 1) ReadPromptFile(true);
  ReadPromptFile(false);
  Invalidate();
}

// ----------------------------------------------------------------- CEMS

// The CEMS experiment: counts on a channel scale, turned into velocities
// and scaled onto 0..1 between the smallest non-zero and the largest count.
void CKAVOLDView::ReadCemsExperiment() {
  auto in = NumberStream::Open(m_LoadDlg.m_CemsFile);
  if (!in) {
    Say("CAN NOT FIND FILE: CEMS_exp_dat");
    return;
  }
  CemsCurves& c = m_cems;
  float largest = 0, smallest = 1e8f;
  const int attempts = ScanRecords(*in, 1, kCemsPoints, [&](int i, const float* v) {
    c.yexp[i] = v[0];
    largest = std::max(largest, v[0]);
    if (v[0] != 0) smallest = std::min(smallest, v[0]);
  });
  c.n = countOf(attempts, 1, kCemsPoints);
  for (int j = 0; j < c.n; ++j) {
    c.v[j] = (static_cast<float>(j) - m_cemsPar.chan0) * m_cemsPar.Hmms / m_cemsPar.Hchan;
    if (largest != 0 && largest != smallest) c.yexp[j] = (c.yexp[j] - smallest) / (largest - smallest);
  }
}

// "CEMfit.res": velocity, experiment, total and the partial spectra of the
// multiplets, into the initial curves (reading the count) or the current
// ones (the count of the first run).
void CKAVOLDView::ReadCemsFit(bool initial) {
  auto in = NumberStream::Open("CEMfit.res");
  if (!in) {
    Say("CAN NOT FIND FILE: CEMfit.res");
    return;
  }
  CemsCurves& c = m_cems;
  const int NM = std::clamp(m_GeneralDlg.m_NM, 0, 8);
  const int rows = initial ? kCemsPoints : std::clamp(c.n, 0, kCemsPoints);
  const int attempts = ScanRecords(*in, 3 + NM, rows, [&](int i, const float* v) {
    (initial ? c.vini : c.v)[i] = v[0];
    c.yexp[i] = v[1];
    (initial ? c.totini : c.totcur)[i] = v[2];
    for (int m = 1; m <= NM; ++m) (initial ? c.partini : c.partcur)[i][m] = v[2 + m];
  });
  if (initial) c.n = countOf(attempts, 1, kCemsPoints);
}

void CKAVOLDView::OnShowCems() {
  const KavoldGlobals& g = globals();
  m_mode = 4;
  LoadAxes(4);
  if (m_LoadDlg.m_NSPCE != 0) ReadCemsExperiment();
  if (g.runCEMS >= 1) {
    if (g.runCEMS == 1) {
      m_cemsModel.initial = m_cemsModel.current;
      ReadCemsFit(true);
    }
    ReadCemsFit(false);
    for (float* target : {g.runCEMS == 1 ? &m_eps.EpsCEM : nullptr, &m_eps.EpsCEMn}) {
      if (!target) continue;
      auto in = NumberStream::Open("EpsCEM.res");
      if (!in)
        Say("CAN NOT FIND FILE: EpsCEM.res");
      else
        in->Next(target, 1);
    }
  }
  Invalidate();
}

// ------------------------------------------------------ depth profiles

void CKAVOLDView::ReadElModel() {
  ElectronicProfile& p = globals().elProfile;
  const ProfileRead r = ReadElProfileFile(p);
  if (!r.found) Say("CAN NOT FIND FILE:  EL_MOD.RES");
  if (r.tooLong) Say(" Model includes more than 2500 points!");
  if (!r.read) return;
  p.norm = 0;
  for (int i = 0; i < p.n; ++i) p.norm = std::max(p.norm, p.re[i]);
  divide(p.re, p.n, p.norm);
  divide(p.im, p.n, p.norm);
}

void CKAVOLDView::ReadModelProfile() {
  const ProfileRead r = ReadHfiProfileFile(globals().hfiProfile);
  if (!r.found) Say("CAN NOT FIND FILE:  MODELN.RES");
  if (r.tooLong) Say(" Model includes more than 2500 points!");
}

// ------------------------------------------------------------ baseline

void CKAVOLDView::OnSetBaseline() {
  KavoldGlobals& g = globals();
  m_eps.eps0 = m_eps.epsn;
  std::copy(std::begin(m_time.ncur), std::end(m_time.ncur), m_time.nini);
  for (ModelLabels* l : {&m_timeModel, &m_delayedModel, &m_promptModel, &m_cemsModel}) l->initial = l->current;
  if (g.runCEMS > 0) {
    CemsCurves& c = m_cems;
    const int NM = std::clamp(m_GeneralDlg.m_NM, 0, 8);
    for (int i = 0; i < std::clamp(c.n, 0, kCemsPoints); ++i) {
      c.vini[i] = c.v[i];
      c.totini[i] = c.totcur[i];
      for (int m = 1; m <= NM; ++m) c.partini[i][m] = c.partcur[i][m];
    }
    g.runCEMS = 1;
    OnShowCems();
  }
  if (g.runTime > 0) {
    const int n = SpectraShown();
    for (int k = 0; k < n; ++k) {
      for (int i = 0; i < std::clamp(m_time.nini[k], 0, kTimePoints); ++i) {
        m_time.tini[i][k] = m_time.tcur[i][k];
        m_time.yini[i][k] = m_time.ycur[i][k];
      }
    }
    ReadEnergyReferences(n);
  }
  ReflectivityCurves& r = m_refl;
  r.ndini = r.nexp = r.ndcur;
  for (int i = 0; i < std::clamp(r.ndcur, 0, kDelayedPoints); ++i) {
    r.adini[i] = r.aexp[i] = r.adcur[i];
    r.pini[i] = r.pcur[i];
  }
  m_eps.eps0p = m_eps.epsnp;
  ReadElModel();
  if (g.runTime > 0 || g.runDelayed > 0) ReadModelProfile();
  if (g.runPrompt > 0) {
    g.runPrompt = 1;
    OnShowPrompt();
  }
  if (g.runDelayed > 0) {
    g.runDelayed = 1;
    OnShowDelayed();
  }
  if (g.runTime > 0) {
    g.runTime = 1;
    OnShowTimeSpectra();
  }
  Invalidate();
}

}  // namespace kavold
