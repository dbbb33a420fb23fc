#include "frontend/ParamFiles.hpp"

namespace kavold {

// ------------------------------------------------------------ ZEPRIN.INP

std::string ZeprinInpText(const TimeSpectraValues& v) {
  std::string s;
  s += Format("\t %d \t  Jway   -   The way of computation: 1  -  matrix, 2  -  Parratt \n", v.m_Jway);
  s += Format("\t %d \t ITEST  -  1  -  one step check, 2  -  try to choose the best value \n", v.m_ITEST);
  s += FormatReal("\t %.1f \t XEXP1  -  initial value for comparison of the theory and experiment \n", v.m_XEXP1);
  s += FormatReal("\t %.1f \t XEXP2  -  final value for comparison of the theory and experiment \n", v.m_XEXP2);
  s += " \t          The weight of the merit function for each spectrum\n";
  for (float w : v.m_Weight) s += FormatReal("\t %.1f ", w);
  s += "\n";
  s += FormatReal("\t %.5f \t EPFIN  -  limit for iterations of EPSSS and ADJUST \n", v.m_EPFIN);
  s += FormatReal("\t %.1f \t AF  -  Initial background : 1,2,3.., if 0 do not take into account \n", v.m_AF);
  s += "\t \t \t Parameter correlations : \n";
  // The list ends after its first zero ICORR; five in use get a closing
  // pair of zeros.
  for (int k = 1; k <= 6; ++k) {
    const int icorr = k <= 5 ? v.m_ICORR[k - 1] : 0;
    const int iman = k <= 5 ? v.m_IMAN[k - 1] : 0;
    s += Format("\t %d \t ICORR%d  -  the number of column ip1 if negative  - number of line in1 \n", icorr, k);
    s += Format("\t %d \t IMAN%d  -  the way of correlation for this column \n", iman, k);
    if (icorr == 0) break;
  }
  s += FormatReal("\t %.1f \t SIG - width (A) of the Gauss regularization of  HFI distrib \n", v.m_SIG);
  s += Format("\t %d \t JFIT - the way for comparison of the theory and experiment \n", v.m_JFIT);
  s += Format("\t %d \t ISTOP - number of testing steps for each parameter\n", v.m_ISTOP);
  s += Format("\t %d \t KP - number of steps in smoothing \n", v.m_KP);
  s += FormatReal("\t %.1f \t SIGMA for GAUSS in time averaging  in ns\n", v.m_SIGMA);
  s += Format("\t %d \t   JAV1  number of points for field half-distribution   (max 50!)) \n", v.m_JAV1);
  s += FormatReal("\t %.1f \t SD step in distribution function (norm to 1.)\n", v.m_SD);
  s += Format("\t %d \t IDIST - Type of function: 1- Gauss, 2 - Lorentz 3 - extern determ \n", v.m_IDIST);
  return s;
}

namespace {

int intRecord(ParamScanner& in, const char* failure = kInvalidFile) {
  const int v = in.Int(failure);
  in.EndOfRecord();
  return v;
}

float realRecord(ParamScanner& in, const char* failure = kInvalidFile) {
  const float v = in.Real(failure);
  in.EndOfRecord();
  return v;
}

}  // namespace

void ReadZeprinInp(ParamScanner& in, TimeSpectraValues& v) {
  v.m_Jway = intRecord(in);
  v.m_ITEST = intRecord(in);
  v.m_XEXP1 = realRecord(in);
  v.m_XEXP2 = realRecord(in);
  in.Heading();
  for (float& w : v.m_Weight) w = in.Real();
  in.EndOfRecord();
  v.m_EPFIN = realRecord(in);
  v.m_AF = realRecord(in);
  in.Heading();
  for (int k = 0; k < 5; ++k) {
    v.m_ICORR[k] = intRecord(in);
    v.m_IMAN[k] = intRecord(in);
    if (v.m_ICORR[k] == 0) break;
    if (k == 4) {  // the closing pair after five in use
      intRecord(in);
      intRecord(in);
    }
  }
  v.m_SIG = realRecord(in);
  v.m_JFIT = intRecord(in);
  v.m_ISTOP = intRecord(in);
  v.m_KP = intRecord(in);
  v.m_SIGMA = realRecord(in);
  v.m_JAV1 = intRecord(in);
  v.m_SD = realRecord(in);
  v.m_IDIST = intRecord(in);
}

// ------------------------------------------------------------ MOLVEC.INP

std::string MolvecInpText(const DelayedPromptParameters& p, const CString& experiment, int modelKind) {
  std::string s;
  s += "\t \t \t          EXPERIMENT \n";
  s += Format("\t %d \t  Intexp   -   if   =0   no experiment comparison, just theoretical calculations \n", p.Intexp);
  s += experiment.str() + " \n";
  s += "   Prompt calculations (Rayleigh scattering or electron reflectivity)         \n";
  s += FormatReal("\t %f \t  UT0p (mrad) starting angle for prompt reflectivity curve \n", p.UT0p);
  s += FormatReal("\t %f \t  Ustepp (mrad) - step \n", p.Ustepp);
  s += Format("\t %d \t  Nstepp - number of points  (max 3500 !) \n", p.Nstepp);
  s += FormatReal("\t %f \t  DIV - divergence of the beam (mrad) \n", p.DIV);
  s += FormatReal("\t %f \t  ANGBEAM - angle (mrad), where the surface completely cut the beam \n", p.ANGBEAM);
  s += Format("\t %d \t  JFITP - type of the merit function for comp. exp-theor. \n", p.JFITP);
  s += FormatReal("\t %f \t \t  ACOMP1 (mrad) the low limit for comparison with experiment \n", p.ACOMP1);
  s += FormatReal("\t %f \t \t  ACOMP2 (mrad) the upper limit for comparison with experiment \n", p.ACOMP2);
  s += FormatReal("\t %f \t  EPFINP - limit for iterations of EPSS \n", p.EPFINP);
  if (modelKind >= 2) return s;
  s += "    Delayed  calculations (nuclear resonance scattering)        \n";
  s += FormatReal("\t %f \t  UT0 (mrad) starting angle for delayed curve calcul \t  \n", p.UT0);
  s += FormatReal("\t %f \t  Ustep (mrad) - step \n", p.Ustep);
  s += Format("\t %d \t  Nstep - number of points    (max 900 !)  \n", p.Nstep);
  s += Format("\t %d \t  JFITD - type of the merit function for comp. exp-theor. \n", p.JFITD);
  s += FormatReal("\t %f \t \t  ACOMP1D (mrad) the low limit for comparison with experiment \n", p.ACOMP1D);
  s += FormatReal("\t %f \t \t  ACOMP2D (mrad) the upper limit for comparison with experiment \n", p.ACOMP2D);
  s += FormatReal("\t %f \t  EPFIND - limit for iterations of EPSS \n", p.EPFIND);
  s += FormatReal("\t %.2f \t  FJEPP =1. for fit prompt, =0 no fit prompt \n", p.FJEPP);
  s += FormatReal("\t %.2f \t  FJEPD =1 for fit delayed, =0 no fit delayed \n", p.FJEPD);
  s += FormatReal("\t %f \t \t  TIMECYCLE \n", p.TIMECYCLE);
  s += FormatReal("\t %f \t \t  TIMINI \n", p.TIMINI);
  s += FormatReal("\t %f \t \t  TIMFIN \n", p.TIMFIN);
  return s;
}

void ReadMolvecInp(ParamScanner& in, int modelKind, DelayedPromptParameters& p, CString& experiment) {
  in.Heading();
  p.Intexp = intRecord(in);
  experiment = in.NameLine();
  in.Heading();
  p.UT0p = realRecord(in);
  p.Ustepp = realRecord(in);
  p.Nstepp = intRecord(in);
  p.DIV = realRecord(in);
  p.ANGBEAM = realRecord(in);
  p.JFITP = intRecord(in);
  p.ACOMP1 = realRecord(in);
  p.ACOMP2 = realRecord(in);
  p.EPFINP = realRecord(in);
  if (modelKind >= 2) return;
  in.Heading();
  p.UT0 = realRecord(in);
  p.Ustep = realRecord(in);
  p.Nstep = intRecord(in);
  p.JFITD = intRecord(in);
  p.ACOMP1D = realRecord(in);
  p.ACOMP2D = realRecord(in);
  p.EPFIND = realRecord(in);
  p.FJEPP = realRecord(in);
  p.FJEPD = realRecord(in);
  p.TIMECYCLE = realRecord(in);
  p.TIMINI = realRecord(in);
  p.TIMFIN = realRecord(in);
}

// ------------------------------------------------------------ FilCEM.INP

std::string FilCemText(const CemsParameters& c, int flag, const CString& experiment) {
  std::string s;
  s += " \t \t \t       FilCEM.INP \n";
  s += Format("\t %d \t   if  =0   no experiment, just theoretical calculations \n", flag);
  s += FormatReal("\t %f \t GS - half-width of the source line (for convolution) \n", c.GS);
  s += FormatReal("\t %f \t max energy half-interval in calculations \n", c.EMAX);
  s += Format("\t %d \t   IMM - number of points for calculation of CEMS spectrum  \n", c.IMM);
  s += "\n";
  s += experiment.str() + "\n";
  s += Format("\t %d \t   JEXPC number exper. points (max 1024) \n", c.JEXPC);
  s += FormatReal("\t %f \t Hmms \n", c.Hmms);
  s += FormatReal("\t %f \t Hchan \n", c.Hchan);
  s += FormatReal("\t %f \t chan0 \n", c.chan0);
  s += FormatReal("\t %f \t E1lim - low limit of comparison with theory \n", c.E1lim);
  s += FormatReal("\t %f \t E2lim -upper limit of comparison with theory \n", c.E2lim);
  return s;
}

void ReadFilCem(ParamScanner& in, CemsParameters& c, int& flag, CString& experiment) {
  in.Heading();
  flag = intRecord(in);
  c.GS = realRecord(in);
  c.EMAX = realRecord(in);
  c.IMM = intRecord(in);
  in.Heading();
  experiment = in.NameLine();
  c.JEXPC = intRecord(in);
  c.Hmms = realRecord(in);
  c.Hchan = realRecord(in);
  c.chan0 = realRecord(in);
  c.E1lim = realRecord(in);
  c.E2lim = realRecord(in);
}

// ----------------------------------------------- FILEM.INP and FILESE.INP

std::string FileMText(const ModelChoice& m) {
  std::string s = m.m_ModelFile.str() + "\n " + Format("\t %d \n", m.m_NSPC);
  for (float a : m.m_Angle) s += FormatReal("\t %f \n", a);
  return s;
}

void ReadFileM(ParamScanner& in, ModelChoice& m) {
  m.m_ModelFile = in.NameLine();
  m.m_NSPC = intRecord(in);
  for (int k = 0; k < m.m_NSPC && k < 4; ++k) m.m_Angle[k] = realRecord(in);
}

std::string FilesEText(int n, const CString names[4]) {
  std::string s = Format("\t %d \n", n);
  for (int k = 0; k < n && k < 4; ++k) s += names[k].str() + "\n";
  return s;
}

int ReadFilesE(ParamScanner& in, CString names[4]) {
  const int n = intRecord(in);
  for (int k = 0; k < n && k < 4; ++k) names[k] = in.NameLine();
  return n;
}

std::string StopText(int value) { return Format(" %d \n", value); }

std::string NextWithoutVariationsText() {
  return Format(" %d \n", 1) + Format(" %d  %d  %.5f  %d %d  %.2f \n", 0, 0, 0.0, 0, 0, 0.0);
}

// ------------------------------------------------------------ AXISF.INP

namespace {

const char* const kScaleNote[3] = {"time spectra", "delayed reflectivity", "prompt reflectivity"};

std::string axisBlockText(const AxisBlock& b, int k) {
  const char* const names[6] = {"Xini", "Xfin", "Xstep", "Yini", "Yfin", "Ystep"};
  const float values[6] = {b.Xini, b.Xfin, b.Xstep, b.Yini, b.Yfin, b.Ystep};
  std::string s;
  for (int i = 0; i < 6; ++i) s += FormatReal("\n %f", values[i]) + Format("                  %sS%d", names[i], k);
  return s;
}

void readAxisBlock(ParamScanner& in, AxisBlock& b) {
  for (float* v : {&b.Xini, &b.Xfin, &b.Xstep, &b.Yini, &b.Yfin, &b.Ystep}) *v = realRecord(in);
}

}  // namespace

std::string AxisFileText(const Arr1<AxisBlock, 4>& S, const GraphScales& g) {
  std::string s;
  for (int k = 1; k <= 3; ++k) {
    s += Format("%s%d               Acorr.m_Lscale    1 - norm Y-scale, 2 - log Y-scale for %s", k == 1 ? "" : "\n ",
                S(k).Lscale, kScaleNote[k - 1]);
    s += axisBlockText(S(k), k);
  }
  s += FormatReal("\n %f             Xmodmin", g.Xmodmin);
  s += FormatReal("\n %f             Xmodmax", g.Xmodmax);
  s += FormatReal("\n %f             Xmodstep", g.Xmodstep);
  s += FormatReal("\n %f             Yhfi", g.Yhfi);
  s += FormatReal("\n %f             Emodmax", g.Emodmax);
  s += FormatReal("\n %f             Emodstep", g.Emodstep);
  s += axisBlockText(S(4), 4);
  return s;
}

void ReadAxisFile(ParamScanner& in, Arr1<AxisBlock, 4>& S, GraphScales& g) {
  for (int k = 1; k <= 3; ++k) {
    S(k).Lscale = intRecord(in);
    readAxisBlock(in, S(k));
  }
  for (float* v : {&g.Xmodmin, &g.Xmodmax, &g.Xmodstep, &g.Yhfi, &g.Emodmax, &g.Emodstep}) *v = realRecord(in);
  readAxisBlock(in, S(4));
}

// ------------------------------------------------------------ model file

std::string TableValueText(const char* form, const ModelTable& t, int line, int column) {
  const float v = t(line, column);
  return t.computed(line, column) ? Format(form, static_cast<double>(v)) : FormatReal(form, v);
}

std::string ModelHeadText(int kind, const ModelHead& h, const ModelTable& t, ModelHeaders headers) {
  std::string s;
  s += Format(" %1d                    LAYSPC.INF", kind);
  s += "\n                        PARAMETERS OF SUBLAYERS";
  s += Format("\n %d                  NNN - number of sublayers (max N24, including substrate)   ", h.m_NNN);
  s += Format("\n %d %d           N1N,N2N - limits of repeated layers (from - to, including)       ", h.m_N1N,
              h.m_N2N);
  s += Format("\n %d                  NRN - number of repetitions", h.m_NRN);
  s += Format("\n %d                  INORM=1 V is normalized,=3 - not ; =2, norm.from top,=4 one larger layer",
              h.m_INORM);
  s += Format("\n %d                  ISQ  =0 V is recalculated,=1 S((K) are recalcul.,=2 keep HK  ", h.m_ISQ);
  s += TableValueText("\n %8.5f", t, h.m_NNN + 1, 9) +
       "                  HKMAX - max value of nuclear density (1.for pure a-57Fe)   ";
  s += Format("\n %d                  NM - number of multiplets (max 8)", h.m_NM);
  s += Format("\n %d                  IBHF=1: Bhf-EFG we read from here; IBHF=2: BE-WID refer to each multiplet",
              h.m_IBHF);
  s += headers == ModelHeaders::Table
           ? "\n        H1A            EL.DENS.        ZD1      ZD2     WIDTH  KIND1  KIND2  KSTEP"
           : "\n       H1A           EL.DENS.        ZD1      ZD2     WIDTH  KIND1  KIND2  KSTEP";
  return s;
}

namespace {

struct Column {
  int column;
  const char* form;
};

// Values of a table line, each in the form of its column.
std::string lineValues(const ModelTable& t, int line, std::initializer_list<Column> columns) {
  std::string s;
  for (const Column& c : columns) s += TableValueText(c.form, t, line, c.column);
  return s;
}

// n values of a table line from `firstColumn` on, in one form.
std::string valuesFrom(const ModelTable& t, int line, int firstColumn, int n, const char* form) {
  std::string s;
  for (int c = 0; c < n; ++c) s += TableValueText(form, t, line, firstColumn + c);
  return s;
}

}  // namespace

std::string LayerRecordText(int k, const ModelTable& t, const LayerInts& ints) {
  const std::string reals =
      lineValues(t, k, {{1, " %10.4f"}, {2, " %9.3f"}, {3, " %8.3f"}, {17, " %10.3f"}, {18, " %8.3f"}, {19, " %8.3f"}});
  return Format("\n %d", k) + reals +
         Format("  %5d %5d %5d", ints(k, kColKIND1), ints(k, kColKIND2), ints(k, kColKSTEP));
}

namespace {

struct MultipletRow {
  const char* form;
  const char* label;
};

}  // namespace

std::string ModelTailText(int kind, int NNN, const ModelTable& t, const LayerInts& ints, ModelHeaders headers) {
  if (kind >= 2) return "\n";
  std::string s;
  s += headers == ModelHeaders::Table
           ? "\n                           V[N,K]   MULTIPLET DENSITIS              and if IBHF=1: BE     GA    Rand  "
             " Plane   WID"
           : "\n                        V[N,K]   MULTIPLET DENSITIS                 and if IBHF=1: BE     GA    Rand  "
             " Plane   WID";
  for (int k = 1; k <= NNN; ++k) {
    s += Format("\n %3d", k) + TableValueText(" %9.5f", t, k, 4) + valuesFrom(t, k, 5, 7, " %8.5f") +
         lineValues(t, k, {{12, " %8.1f"}, {13, " %6.1f"}, {14, " %6.3f"}, {15, " %6.3f"}, {16, " %6.1f"}});
  }
  s += "\n                Corrected S(K)-ratio of partial spectra areas";
  s += Format("\n %3d", NNN + 1) + TableValueText(" %9.5f", t, NNN + 1, 1) + valuesFrom(t, NNN + 1, 2, 7, " %8.5f");
  s += "\n                   Hyperfine parameters for each multiplet";
  const char* const hyperfine[5] = {"  Bhf(T)", " dBhf(T)", "  IS(mm/s)", "  EFG(mm/s)", "  GRd(mm/s)"};
  for (int r = 0; r < 5; ++r)
    s += Format(" \n %3d ", NNN + 2 + r) + valuesFrom(t, NNN + 2 + r, 1, 8, " %8.4f") + hyperfine[r];
  s += " \n              Angular parameters for each multiplet (if IBHF=2)";
  const MultipletRow angular[5] = {
      {" %8.1f", "  Beta"}, {" %8.1f", "  Gamma"}, {" %8.3f", "  Random"}, {" %8.3f", "  Plane"}, {" %8.1f", "  Wid"}};
  for (int r = 0; r < 5; ++r)
    s += Format(" \n %3d ", NNN + 8 + r) + valuesFrom(t, NNN + 8 + r, 1, 8, angular[r].form) + angular[r].label;
  s += " \n  Kind of interface function for each multiplet in each layer KINDV(N,K),N=1,NNN,K=1,N6";
  for (int k = 1; k <= NNN; ++k) {
    s += Format("\n %3d", k);
    for (int m = 0; m < 8; ++m) s += Format(" %8d", ints(k, kColKINDV1 + m));
  }
  s += " \n     Parameter of interface function for each multiplet in each layer ZDV[N,K]";
  for (int k = 1; k <= NNN; ++k) {
    s += Format("\n %3d ", k) + TableValueText(" %9.3f", t, k, 20) + valuesFrom(t, k, 21, 7, " %8.3f");
  }
  return s + "\n";
}

std::string ModelFileText(const ModelValues& m) {
  const int NNN = m.head.m_NNN;
  std::string s = ModelHeadText(m.kind, m.head, m.table, ModelHeaders::Table);
  for (int k = 1; k <= NNN; ++k) s += LayerRecordText(k, m.table, m.ints);
  return s + ModelTailText(m.kind, NNN, m.table, m.ints, ModelHeaders::Table);
}

namespace {

// Reads the line number of a record (not used) and n values into
// consecutive columns of a table line.
void readTableLine(ParamScanner& in, ModelTable& t, int line, int firstColumn, int n, const char* failure) {
  in.Int(failure);
  for (int c = 0; c < n; ++c) t(line, firstColumn + c) = in.Real(failure);
  in.EndOfRecord();
}

void readLayerRecords(ParamScanner& in, ModelValues& m) {
  ModelTable& t = m.table;
  for (int k = 1; k <= m.head.m_NNN; ++k) {
    in.Int();
    for (int c : {1, 2, 3, 17, 18, 19}) t(k, c) = in.Real();
    for (int c : {kColKIND1, kColKIND2, kColKSTEP}) m.ints(k, c) = in.Int();
    in.EndOfRecord();
  }
}

void readNuclearPart(ParamScanner& in, ModelValues& m) {
  const int NNN = m.head.m_NNN;
  in.Heading("Invalid parameters file gran1");
  for (int k = 1; k <= NNN; ++k) readTableLine(in, m.table, k, 4, 13, kInvalidFile);
  in.Heading("Invalid parameters file gran2");
  readTableLine(in, m.table, NNN + 1, 1, 8, "Invalid parameters file gran3");
  in.Heading("Invalid parameters file gran4");
  for (int l = NNN + 2; l <= NNN + 6; ++l) readTableLine(in, m.table, l, 1, 8, "Invalid parameters file gran5");
  in.Heading("Invalid parameters file gran6");
  for (int l = NNN + 8; l <= NNN + 12; ++l) readTableLine(in, m.table, l, 1, 8, "gran7 Invalid parameters file ");
  in.Heading();
  for (int k = 1; k <= NNN; ++k) {
    in.Int("G8 Invalid parameters file");
    for (int c = 0; c < 8; ++c) m.ints(k, kColKINDV1 + c) = in.Int("G8 Invalid parameters file");
    in.EndOfRecord();
  }
  in.Heading("G9 Invalid parameters file");
  for (int k = 1; k <= NNN; ++k) readTableLine(in, m.table, k, 20, 8, "G10 Invalid parameters file");
}

}  // namespace

void ReadModelFile(ParamScanner& in, ModelValues& m) {
  m.table.computed = {};  // what the file holds, it holds as text
  if (auto kind = in.IntOnLine(2)) m.kind = *kind;
  in.Heading();
  in.Heading();
  ModelHead& h = m.head;
  h.m_NNN = intRecord(in);
  // The table holds the sublayers and the twelve lines below them.
  if (h.m_NNN < 1 || h.m_NNN > kMaxLayers)
    throw InvalidParametersFile{Format("The model file holds %d sublayers; it must hold 1 to %d.", h.m_NNN, kMaxLayers)};
  h.m_N1N = in.Int();
  h.m_N2N = intRecord(in);
  h.m_NRN = intRecord(in);
  h.m_INORM = intRecord(in);
  h.m_ISQ = intRecord(in);
  m.table(h.m_NNN + 1, 9) = realRecord(in);
  h.m_NM = intRecord(in);
  h.m_IBHF = intRecord(in);
  in.Heading();
  readLayerRecords(in, m);
  if (m.kind <= 1) readNuclearPart(in, m);
}

}  // namespace kavold
