// The parameter files of the front end: the texts it writes (byte for byte
// where the layout is fixed), what the console programs' own readers make of
// them, what the front end's readers make of them, and files that end early.
#include <gtest/gtest.h>

#include <cmath>

#include "frontend/ParamFiles.hpp"
#include "numlib/yvlayout.hpp"
#include "programs/common/model.hpp"
#include "programs/brinax/brinax.hpp"
#include "programs/common/params.hpp"
#include "programs/molvec/molvec.hpp"
#include "programs/quasto/quasto.hpp"
#include "programs/zeprin/zeprin.hpp"
#include "tempdir.hpp"

namespace {

using namespace kavold;
namespace yv = numlib::yv;

std::string exampleFile(const std::string& example, const std::string& name) {
  return *ReadWholeFile((std::string(NRS_SOURCE_DIR) + "/examples/" + example + "/" + name).c_str());
}

TimeSpectraValues fe57FitParameters() {
  TimeSpectraValues v;
  v.m_XEXP1 = 15;
  v.m_XEXP2 = 170;
  v.m_EPFIN = 0.0001f;
  v.m_JFIT = 1;
  v.m_ISTOP = 12;
  v.m_SD = 0.3f;
  return v;
}

// The shipped examples were written in the front end's layouts.
TEST(ParamFiles, WritersReproduceTheShippedExampleFilesByteForByte) {
  EXPECT_EQ(ZeprinInpText(fe57FitParameters()), exampleFile("fe57-fit", "ZEPRIN.INP"));
  ModelChoice m;
  m.m_ModelFile = "Fe57start.inf";
  m.m_NSPC = 2;
  const float angles[4] = {2.8f, 3.4f, 0, 0};
  std::copy(angles, angles + 4, m.m_Angle);
  EXPECT_EQ(FileMText(m), exampleFile("fe57-fit", "FileM.inp"));
  const CString names[4] = {"fe57_2.8mrad.dat", "fe57_3.4mrad.dat", "", ""};
  EXPECT_EQ(FilesEText(2, names), exampleFile("fe57-fit", "FilesE.inp"));
  EXPECT_EQ(NextWithoutVariationsText(), exampleFile("fe57-film", "next.INP"));
  EXPECT_EQ(StopText(1), exampleFile("fe57-fit", "stop.inp"));
  // The axis file: 33 records, no line end after the last.
  Arr1<AxisBlock, 4> S;
  S(1) = {0, 180, 20, 1, 30000, 10, 2};
  S(2) = {0, 10, 2, 0.0001f, 1.1f, 4000, 1};
  S(3) = {0, 12, 2, 0.0001f, 1.1f, 0.1f, 1};
  S(4) = {-12, 12, 2, -0.2f, 1.1f, 0.2f, 1};
  EXPECT_EQ(AxisFileText(S, GraphScales{}), exampleFile("fe57-fit", "AXISF.INP"));
  // A model file read and written again is the same file.
  for (const char* model : {"Fe57start.inf", "Fe57true.inf"}) {
    ParamScanner in(exampleFile("fe57-fit", model));
    ModelValues v;
    ReadModelFile(in, v);
    EXPECT_EQ(ModelFileText(v), exampleFile("fe57-fit", model)) << model;
  }
}

DelayedPromptParameters delayedValues() {
  DelayedPromptParameters d;
  d.Intexp = 1;
  d.UT0p = 1;
  d.Ustepp = 0.02f;
  d.Nstepp = 400;
  d.ANGBEAM = 0.5f;
  d.JFITP = 11;
  d.ACOMP1 = 2;
  d.ACOMP2 = 8;
  d.EPFINP = 0.001f;
  d.UT0 = 2;
  d.Ustep = 0.5f;
  d.Nstep = 15;
  d.JFITD = 2;
  d.ACOMP1D = 2.5f;
  d.ACOMP2D = 8;
  d.EPFIND = 0.001f;
  d.FJEPP = 1;
  d.FJEPD = 0.5f;
  d.TIMECYCLE = 176.06f;
  d.TIMINI = 10.17f;
  d.TIMFIN = 161.4f;
  return d;
}

// Written by hand from the line texts of the delayed-prompt and CEMS files.
const char* const kMolvecPrompt =
    "\t \t \t          EXPERIMENT \n"
    "\t 1 \t  Intexp   -   if   =0   no experiment comparison, just theoretical calculations \n"
    "refl.dat \n"
    "   Prompt calculations (Rayleigh scattering or electron reflectivity)         \n"
    "\t 1.000000 \t  UT0p (mrad) starting angle for prompt reflectivity curve \n"
    "\t 0.020000 \t  Ustepp (mrad) - step \n"
    "\t 400 \t  Nstepp - number of points  (max 3500 !) \n"
    "\t 0.000000 \t  DIV - divergence of the beam (mrad) \n"
    "\t 0.500000 \t  ANGBEAM - angle (mrad), where the surface completely cut the beam \n"
    "\t 11 \t  JFITP - type of the merit function for comp. exp-theor. \n"
    "\t 2.000000 \t \t  ACOMP1 (mrad) the low limit for comparison with experiment \n"
    "\t 8.000000 \t \t  ACOMP2 (mrad) the upper limit for comparison with experiment \n"
    "\t 0.001000 \t  EPFINP - limit for iterations of EPSS \n";
const char* const kMolvecDelayed =
    "    Delayed  calculations (nuclear resonance scattering)        \n"
    "\t 2.000000 \t  UT0 (mrad) starting angle for delayed curve calcul \t  \n"
    "\t 0.500000 \t  Ustep (mrad) - step \n"
    "\t 15 \t  Nstep - number of points    (max 900 !)  \n"
    "\t 2 \t  JFITD - type of the merit function for comp. exp-theor. \n"
    "\t 2.500000 \t \t  ACOMP1D (mrad) the low limit for comparison with experiment \n"
    "\t 8.000000 \t \t  ACOMP2D (mrad) the upper limit for comparison with experiment \n"
    "\t 0.001000 \t  EPFIND - limit for iterations of EPSS \n"
    "\t 1.00 \t  FJEPP =1. for fit prompt, =0 no fit prompt \n"
    "\t 0.50 \t  FJEPD =1 for fit delayed, =0 no fit delayed \n"
    "\t 176.059998 \t \t  TIMECYCLE \n"
    "\t 10.170000 \t \t  TIMINI \n"
    "\t 161.399994 \t \t  TIMFIN \n";
const char* const kFilCem =
    " \t \t \t       FilCEM.INP \n"
    "\t 1 \t   if  =0   no experiment, just theoretical calculations \n"
    "\t 0.060000 \t GS - half-width of the source line (for convolution) \n"
    "\t 12.000000 \t max energy half-interval in calculations \n"
    "\t 256 \t   IMM - number of points for calculation of CEMS spectrum  \n"
    "\n"
    "cems.dat\n"
    "\t 256 \t   JEXPC number exper. points (max 1024) \n"
    "\t 11.460170 \t Hmms \n"
    "\t 168.800003 \t Hchan \n"
    "\t 130.196365 \t chan0 \n"
    "\t -7.000000 \t E1lim - low limit of comparison with theory \n"
    "\t 7.000000 \t E2lim -upper limit of comparison with theory \n";

TEST(ParamFiles, DelayedPromptAndCemsFilesAreWrittenAsTheirLinesSayAndReadBack) {
  const DelayedPromptParameters d = delayedValues();
  for (int kind : {0, 1, 2}) {
    const std::string expected = std::string(kMolvecPrompt) + (kind <= 1 ? kMolvecDelayed : "");
    const std::string text = MolvecInpText(d, "refl.dat", kind);
    EXPECT_EQ(text, expected) << "kind " << kind;
    // Read back to the same values, stopping where the writer stopped.
    DelayedPromptParameters back;
    CString name;
    ParamScanner in(text);
    ReadMolvecInp(in, kind, back, name);
    EXPECT_EQ(name, "refl.dat");  // the blank after the name is not part of it
    EXPECT_EQ(MolvecInpText(back, name, kind), text);
  }
  CemsParameters c{0.06f, 12, 256, 256, 11.46017f, 168.8f, 130.19637f, -7, 7};
  EXPECT_EQ(FilCemText(c, 1, "cems.dat"), kFilCem);
  CemsParameters back;
  int flag = 0;
  CString name;
  ParamScanner in(kFilCem);
  ReadFilCem(in, back, flag, name);
  EXPECT_EQ(FilCemText(back, flag, name), kFilCem);
}

// "ZEPRIN.INP" as the time-spectra program reads it, for correlation lists
// that end early, end at the fifth pair, or fill all five; the widths reach
// the program with every digit typed.
TEST(ParamFiles, ZeprinInpReadsTheSameInTheProgramAndInTheFrontEnd) {
  struct Case {
    int icorr[5], iman[5], IFC;
    float SIGMA, SD;
  };
  const Case cases[] = {
      {{3, 0, 7, 7, 7}, {2, 0, 1, 1, 1}, 1, 0.3f, 0.3f},
      {{-3, 5, 7, -9, 0}, {1, 2, 3, 1, 0}, 4, 0.35f, 0.05f},
      {{-3, 5, 7, -9, 11}, {1, 2, 3, 1, 2}, 5, 1.25f, 0.125f},
  };
  for (const Case& c : cases) {
    nrstest::TempDir dir;
    TimeSpectraValues v = fe57FitParameters();
    v.m_Jway = -2;  // written signed
    std::copy(c.icorr, c.icorr + 5, v.m_ICORR);
    std::copy(c.iman, c.iman + 5, v.m_IMAN);
    v.m_SIGMA = c.SIGMA;
    v.m_SD = c.SD;
    ASSERT_TRUE(WriteWholeFile("ZEPRIN.INP", ZeprinInpText(v)));
    fio::Unit log(4);
    log.openNew("ZEPRIN.RES");
    common::CalcParams p;
    common::RDPARAM(log, p);
    EXPECT_EQ(p.Jway, -2);
    EXPECT_EQ(p.IFC, c.IFC);
    for (int k = 1; k <= c.IFC; ++k) {
      EXPECT_EQ(p.ICORR(k), c.icorr[k - 1]);
      EXPECT_EQ(p.IMAN(k), c.iman[k - 1]);
    }
    EXPECT_EQ(p.ICORR(c.IFC + 1), 0);
    EXPECT_EQ(p.SIGMA, c.SIGMA);
    EXPECT_EQ((std::vector<int>{p.ITEST, p.JFIT, p.ISTOP, p.KP, p.JAV1, p.IDIST}), (std::vector<int>{2, 1, 12, 0, 10, 1}));
    EXPECT_EQ((std::vector<float>{p.XEXP1, p.XEXP2, p.EPFIN, p.SD}), (std::vector<float>{15, 170, 0.0001f, c.SD}));
    // The front end's reader gives what the program got.
    TimeSpectraValues back;
    ParamScanner in(*ReadWholeFile("ZEPRIN.INP"));
    ReadZeprinInp(in, back);
    EXPECT_EQ(ZeprinInpText(back), ZeprinInpText(v));
    EXPECT_EQ(back.m_SIGMA, c.SIGMA);
  }
}

// A value reaches its file with every digit typed: in its form when the
// form's decimals hold it (so that files stay as they were), otherwise with
// the fewest more decimals that do.
TEST(ParamFiles, RealsKeepTheirFormUnlessItLosesTypedDigits) {
  struct Case {
    const char* form;
    const char* typed;
    const char* written;
  };
  const Case cases[] = {
      {"\t %.1f \t SIGMA", "0.3", "\t 0.3 \t SIGMA"}, {"%.1f", "140", "140.0"},
      {"%.1f", "-2.5", "-2.5"},                     {"%.1f", "0.35", "0.35"},
      {"%.1f", "0.05", "0.05"},                     {"%.1f", "17.125", "17.125"},
      {"%.1f", "1e-12", "1e-12"},                   {"%.5f", "0.001", "0.00100"},
      {"%.5f", "0.0000015", "0.0000015"},           {"%.2f", "0.125", "0.125"},
      {"%f", "176.06", "176.059998"},               {"%f", "0.0000001", "0.0000001"},
      {" %10.4f", "160.5", "   160.5000"},          {" %10.4f", "160.03125", "  160.03125"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatReal(c.form, std::strtof(c.typed, nullptr)), c.written) << c.form << " " << c.typed;
}

// The readers take the number forms of the console programs' free-form
// reads and no others: a value that the time-spectra program refuses in
// "ZEPRIN.INP" makes it an invalid parameters file for the front end too,
// and a value that the program takes both read alike.
TEST(ParamFiles, ReadersTakeOnlyTheNumberFormsOfTheConsolePrograms) {
  struct Case {
    const char* token;
    bool integer, real;  // readable as
  };
  const Case cases[] = {
      {"12", true, true},         {"-7", true, true},        {"+3", true, true},        {"3.0", false, true},
      {"1.5D2", false, true},     {"-.5", false, true},      {"+3.", false, true},      {"2.5e-3", false, true},
      {"1E-50", false, true},     {"2147483648", false, true}, {"nan", false, false}, {"inf", false, false},
      {"-Infinity", false, false}, {"1e400", false, false},  {"1e39", false, false},    {"0x10", false, false},
      {"1.5f", false, false},     {"10L", false, false},     {"1.2.3", false, false},   {"1e", false, false},
      {".", false, false},
  };
  const std::string base = ZeprinInpText(fe57FitParameters());
  nrstest::TempDir dir;
  for (const Case& c : cases) {
    for (const bool integerField : {true, false}) {
      SCOPED_TRACE(std::string(c.token) + (integerField ? " as Jway" : " as XEXP1"));
      const std::string field = integerField ? "\t 1 \t  Jway" : "\t 15.0 \t XEXP1";
      std::string text = base;
      text.replace(text.find(field) + 2, field.find(" \t", 2) - 2, c.token);
      ASSERT_TRUE(WriteWholeFile("ZEPRIN.INP", text));
      fio::Unit log(4);
      log.openNew("ZEPRIN.RES");
      common::CalcParams p;
      TimeSpectraValues v;
      ParamScanner in(text);
      if (integerField ? c.integer : c.real) {
        ASSERT_NO_THROW(common::RDPARAM(log, p));
        ASSERT_NO_THROW(ReadZeprinInp(in, v));
        EXPECT_EQ(std::make_pair(v.m_Jway, v.m_XEXP1), std::make_pair(p.Jway, p.XEXP1));
      } else {
        EXPECT_THROW(common::RDPARAM(log, p), fio::RuntimeError);
        EXPECT_THROW(ReadZeprinInp(in, v), InvalidParametersFile);
      }
    }
  }
}

ModelValues threeLayerModel(int kind) {
  ModelValues m;
  m.kind = kind;
  m.head.m_NNN = 3;
  m.head.m_N1N = 1;
  m.head.m_N2N = 2;
  m.head.m_NRN = 4;
  m.head.m_INORM = 3;
  m.head.m_ISQ = 2;
  m.head.m_NM = 8;
  m.head.m_IBHF = 1;
  for (int k = 1; k <= 3; ++k) {
    // Columns 1 to 19; the densities are set below.
    // The thickness and BE hold more decimals than their columns show.
    const float layer[] = {100.03125f * k, -14.625f + k, 0.5f * k, 0, 0, 0, 0, 0, 0, 0, 0,
                           90.25f,         10.5f,        0.25f,    0.125f, 5.5f, 1.5f, 2.5f, 3.25f * k};
    for (int c = 1; c <= 19; ++c) m.table(k, c) = layer[c - 1];
    for (int K = 1; K <= 8; ++K) {
      m.table(k, yv::colV(K)) = 0.125f * K + k;
      m.table(k, yv::colZDV(K)) = 0.5f * K - k;
      m.ints(k, kColKINDV1 + K - 1) = 1 + (K + k) % 5;
    }
    m.ints(k, kColKIND1) = 1 + k;
    m.ints(k, kColKIND2) = 5 - k;
    m.ints(k, kColKSTEP) = k == 2 ? 6 : 0;
  }
  m.table(4, yv::HKMAX) = 0.875f;
  for (int K = 1; K <= 8; ++K) {
    m.table(4, K) = 0.0625f * K;
    for (int h = 1; h <= 5; ++h) m.table(yv::lineHyp(3, h), K) = 33.25f - K + 0.5f * h;
    for (int a = 1; a <= 5; ++a) m.table(yv::lineAngM(3, a), K) = a <= 2 || a == 5 ? 10.5f * a + K : 0.125f * K;
  }
  return m;
}

// A model written by the front end is what the time-spectra program reads.
TEST(ParamFiles, ModelFileAndFileMReadInTheProgramGiveTheTableBack) {
  nrstest::TempDir dir;
  const ModelValues m = threeLayerModel(0);
  ASSERT_TRUE(WriteWholeFile("m3.inf", ModelFileText(m)));
  ModelChoice choice;
  choice.m_ModelFile = "m3.inf";
  choice.m_NSPC = 2;
  ASSERT_TRUE(WriteWholeFile("FILEM.INP", FileMText(choice)));
  fio::Unit log(4);
  log.openNew("ZEPRIN.RES");
  common::ModelFileRef f;
  common::RDFILEM(log, f, {});
  EXPECT_EQ(f.name, "m3.inf");
  EXPECT_EQ(f.NSPC, 2);
  EXPECT_DOUBLE_EQ(f.angle(2), 0.004);
  common::Model model;
  common::NuclearConstants nc;
  numlib::YVTable YV, YVS;
  common::INITYV(YV, YVS);
  common::RDMODEL(log, f, model, nc, YV);
  EXPECT_EQ((std::vector<int>{model.NNN, model.N1N, model.N2N, model.NRN, model.INORM, model.ISQ, model.NM, model.IBHF}),
            (std::vector<int>{3, 1, 2, 4, 3, 2, 8, 1}));
  EXPECT_EQ(model.JVN, 2);  // a sublayer has steps
  for (int line = 1; line <= 15; ++line)
    for (int col = 1; col <= 27; ++col) {
      if (line == 4 && col >= 10) continue;  // the grazing angles come from "FileM.inp"
      EXPECT_FLOAT_EQ(YV(line, col), m.table(line, col)) << "line " << line << " column " << col;
    }
  EXPECT_FLOAT_EQ(YV(4, yv::colAngle(1)), 3.0f);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(model.KIND1(k), m.ints(k, kColKIND1));
    EXPECT_EQ(model.KSTEP(k), m.ints(k, kColKSTEP));
    for (int K = 1; K <= 8; ++K) EXPECT_EQ(model.KINDV(K, k), m.ints(k, kColKINDV1 + K - 1));
  }
}

// A model written by the front end as the front end reads it back, to the
// same text, and as the prompt program reads it: the layer records for
// every kind, the nuclear part only for kinds 0 and 1 (the front end writes
// none for kind 2 or more, and the program reads none).
TEST(ParamFiles, ModelFilesOfEveryKindReadBackAndInThePromptProgram) {
  for (int kind : {1, 2, 3}) {
    SCOPED_TRACE("model kind " + std::to_string(kind));
    nrstest::TempDir dir;
    const ModelValues m = threeLayerModel(kind);
    const std::string text = ModelFileText(m);
    ModelValues back;
    back.table.computed.fill(true);  // as a joint fit leaves the values it tried
    ParamScanner in(text);
    ReadModelFile(in, back);
    EXPECT_EQ(back.kind, kind);
    EXPECT_EQ(ModelFileText(back), text);
    ASSERT_TRUE(WriteWholeFile("m3.inf", text));
    ModelChoice choice;
    choice.m_ModelFile = "m3.inf";
    choice.m_NSPC = 1;
    ASSERT_TRUE(WriteWholeFile("FILEM.INP", FileMText(choice)));
    auto d = std::make_unique<quasto::QuastoData>();
    d->log.openNew("QUASTO.RES");
    common::INITYV(d->YV, d->YVS);
    common::RDFILEM(d->log, d->fileM, {.angles = false});
    quasto::RDMODELQ(*d);
    const common::Model& q = d->model;
    EXPECT_EQ(d->kind.JMODEL, kind);
    EXPECT_EQ((std::vector<int>{q.NNN, q.N1N, q.N2N, q.NRN, q.INORM, q.ISQ, q.NM, q.IBHF}),
              (std::vector<int>{3, 1, 2, 4, 3, 2, 8, 1}));
    const float n = kind <= 1 ? 1.0f : 0.0f;  // the nuclear part is read, or left at zero
    for (int k = 1; k <= 3; ++k) {
      for (int col : {yv::H1A, yv::ELD1, yv::ELD2, yv::ZD1, yv::ZD2, yv::WIDTH})
        EXPECT_FLOAT_EQ(d->YV(k, col), m.table(k, col)) << "sublayer " << k << " column " << col;
      EXPECT_EQ((std::vector<int>{q.KIND1(k), q.KIND2(k), q.KSTEP(k)}),
                (std::vector<int>{m.ints(k, kColKIND1), m.ints(k, kColKIND2), m.ints(k, kColKSTEP)}));
      for (int a = 1; a <= yv::NANG; ++a) EXPECT_FLOAT_EQ(q.ANGL(a, k), n * m.table(k, yv::colAng(a)));
      for (int K = 1; K <= 8; ++K)
        EXPECT_EQ((std::vector<float>{q.arrays.V(K, k), d->YV(k, yv::colZDV(K)), static_cast<float>(q.KINDV(K, k))}),
                  (std::vector<float>{n * m.table(k, yv::colV(K)), n * m.table(k, yv::colZDV(K)),
                                      n * static_cast<float>(m.ints(k, kColKINDV1 + K - 1))}));
    }
    for (int K = 1; K <= 8; ++K) {
      EXPECT_FLOAT_EQ(q.arrays.S(K), n * m.table(4, K));
      for (int r = 1; r <= 5; ++r)
        EXPECT_EQ(std::make_pair(q.HYP(r, K), q.ANGM(r, K)),
                  std::make_pair(n * m.table(yv::lineHyp(3, r), K), n * m.table(yv::lineAngM(3, r), K)));
    }
  }
}

// "MOLVEC.INP" as the reflectivity programs read it: the delayed-prompt
// program all 26 lines written for a model with a nuclear part, the prompt
// program the 13 lines written for one without.
TEST(ParamFiles, MolvecInpReadsTheSameInBothReflectivityPrograms) {
  struct Case {
    int modelKind, Intexp;
    const char* name;
  };
  const Case cases[] = {{0, 1, "refl.dat"}, {1, 0, ""}, {2, 1, "ml refl.dat"}, {3, 0, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE("model kind " + std::to_string(c.modelKind));
    nrstest::TempDir dir;
    DelayedPromptParameters v = delayedValues();
    v.Intexp = c.Intexp;
    v.DIV = 0.04f;
    ASSERT_TRUE(WriteWholeFile("MOLVEC.INP", MolvecInpText(v, c.name, c.modelKind)));
    common::PromptSettings p;
    if (c.modelKind <= 1) {
      auto d = std::make_unique<molvec::MolvecData>();
      d->log.openNew("MOLVEC.RES");
      molvec::RDDELP(*d);
      p = d->prm;
      const common::DelayedSettings& g = d->del;
      EXPECT_EQ((std::vector<int>{g.Nstep, g.JFITD}), (std::vector<int>{v.Nstep, v.JFITD}));
      EXPECT_EQ((std::vector<float>{g.UT0, g.Ustep, g.ACOMP1D, g.ACOMP2D, g.EPFIND, g.FJEPP, g.FJEPD, g.TIMECYCLE,
                                    g.TIMINI, g.TIMFIN}),
                (std::vector<float>{v.UT0, v.Ustep, v.ACOMP1D, v.ACOMP2D, v.EPFIND, v.FJEPP, v.FJEPD, v.TIMECYCLE,
                                    v.TIMINI, v.TIMFIN}));
    } else {
      auto d = std::make_unique<quasto::QuastoData>();
      d->log.openNew("QUASTO.RES");
      quasto::RDPRMP(*d);
      p = d->prm;
    }
    EXPECT_EQ(p.expName, c.name);
    EXPECT_EQ((std::vector<int>{p.Intexp, p.Nstepp, p.JFITP}), (std::vector<int>{c.Intexp, v.Nstepp, v.JFITP}));
    // The program holds half the divergence: the standard deviation.
    EXPECT_EQ((std::vector<float>{p.UT0p, p.Ustepp, 2 * p.DIV, p.ANGBEAM, p.ACOMP1, p.ACOMP2, p.EPFINP}),
              (std::vector<float>{v.UT0p, v.Ustepp, v.DIV, v.ANGBEAM, v.ACOMP1, v.ACOMP2, v.EPFINP}));
  }
}

// "FilCEM.INP" as the conversion-electron program reads it, with an
// experiment and for theory only (the program then stops after IMM).
TEST(ParamFiles, FilCemReadsTheSameInTheConversionElectronProgram) {
  const CemsParameters c{0.06f, 12, 256, 300, 11.46017f, 168.8f, 130.19637f, -7, 7.5f};
  for (int flag : {1, 0}) {
    SCOPED_TRACE("flag " + std::to_string(flag));
    nrstest::TempDir dir;
    ASSERT_TRUE(WriteWholeFile("FilCEM.INP", FilCemText(c, flag, flag ? "cems 1.dat" : "")));
    fio::Unit log(4);
    log.openNew("TOLPEK.RES");
    brinax::CemsParams p;
    int ITEST = 2;
    brinax::RDCEMS(log, p, ITEST);
    EXPECT_EQ((std::vector<int>{p.NSPCE, p.IMM, ITEST}), (std::vector<int>{flag, c.IMM, flag ? 2 : 1}));
    EXPECT_EQ((std::vector<float>{p.GS, p.EMAX}), (std::vector<float>{c.GS, c.EMAX}));
    // Theory only leaves the experiment's settings unread, at zero.
    const float e = static_cast<float>(flag);
    EXPECT_EQ(p.file, flag ? "cems 1.dat" : "");
    EXPECT_EQ((std::vector<float>{static_cast<float>(p.JEXPC), p.Hmms, p.Hchan, p.chan0, p.E1lim, p.E2lim}),
              (std::vector<float>{e * c.JEXPC, e * c.Hmms, e * c.Hchan, e * c.chan0, e * c.E1lim, e * c.E2lim}));
  }
}

// "FILESE.INP" and the fit script without variations, in the program.
TEST(ParamFiles, FilesEAndNextReadInTheProgram) {
  nrstest::TempDir dir;
  const CString names[4] = {"a1.dat", "b 2.dat", "", ""};
  ASSERT_TRUE(WriteWholeFile("FILESE.INP", FilesEText(2, names)));
  ASSERT_TRUE(WriteWholeFile("NEXT.INP", NextWithoutVariationsText()));
  fio::Unit log(4);
  log.openNew("ZEPRIN.RES");
  zeprin::ExperimentList e;
  int ITEST = 2;
  zeprin::RDFILESE(log, e, ITEST);
  EXPECT_EQ(e.NEXP, 2);
  EXPECT_EQ(e.name[1], "b 2.dat");
  fio::Unit next(6);
  int Jcalc = 0;
  common::RDNEXT(log, next, 1, Jcalc);
  EXPECT_EQ(Jcalc, 1);
  int in1 = 7, ip1 = 7, in2 = 7, ip2 = 7;
  float sp1 = 7, f2 = 7;
  EXPECT_TRUE(next.tryRead(in1, ip1, sp1, in2, ip2, f2));
  EXPECT_EQ(in1 + ip1 + in2 + ip2, 0);  // the closing record
  EXPECT_EQ(sp1 + f2, 0.0f);
  // Names keep neither the line end of a file saved with CR LF nor the
  // blanks after them.
  CString back[4];
  ParamScanner in("\t 2 \r\na1.dat \r\nb 2.dat\t\r\n");
  EXPECT_EQ(ReadFilesE(in, back), 2);
  EXPECT_EQ(back[0], "a1.dat");
  EXPECT_EQ(back[1], "b 2.dat");
}

// Each file cut short, and a model cut inside its nuclear part: the message
// names the place.
TEST(ParamFiles, FilesThatEndEarlyAreRefusedWithTheMessageOfThePlace) {
  const std::string model = ModelFileText(threeLayerModel(0));
  auto cutAfter = [&](const std::string& marker, int extraLines) {
    std::size_t p = model.find(marker);
    for (int i = 0; i <= extraLines; ++i) p = model.find('\n', p) + 1;
    return model.substr(0, p);
  };
  struct Case {
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {cutAfter("KIND1  KIND2", 3), "Invalid parameters file gran1"},
      {cutAfter("V[N,K]", 3), "Invalid parameters file gran2"},
      {cutAfter("Corrected S(K)", 0), "Invalid parameters file gran3"},
      {cutAfter("Corrected S(K)", 1), "Invalid parameters file gran4"},
      {cutAfter("Bhf(T)", 0), "Invalid parameters file gran5"},
      {cutAfter("GRd(mm/s)", 0), "Invalid parameters file gran6"},
      {cutAfter("Beta", 0), "gran7 Invalid parameters file "},
      {cutAfter("KINDV(N,K)", 1), "G8 Invalid parameters file"},
      {cutAfter("KINDV(N,K)", 3), "G9 Invalid parameters file"},
      {cutAfter("ZDV[N,K]", 2), "G10 Invalid parameters file"},
      {cutAfter("NM - number", 0), "Invalid parameters file"},
      {" 0 a\n b\n 70  NNN\n", "The model file holds 70 sublayers; it must hold 1 to 60."},
  };
  for (const Case& c : cases) {
    ModelValues m;
    ParamScanner in(c.text);
    try {
      ReadModelFile(in, m);
      ADD_FAILURE() << "read in full: " << c.message;
    } catch (const InvalidParametersFile& e) {
      EXPECT_EQ(e.message, c.message);
    }
  }
  const std::string zeprin = ZeprinInpText(fe57FitParameters());
  const std::string texts[] = {zeprin.substr(0, zeprin.rfind("\t 1 \t IDIST")), "\t 1 \t  Jway\n\t x \t ITEST\n",
                               std::string(kMolvecPrompt).substr(0, 200)};
  for (const std::string& text : texts) {
    ParamScanner in(text);
    TimeSpectraValues v;
    DelayedPromptParameters d;
    CString name;
    EXPECT_THROW(text.find("Jway") != std::string::npos ? ReadZeprinInp(in, v) : ReadMolvecInp(in, 0, d, name),
                 InvalidParametersFile);
  }
}

}  // namespace
