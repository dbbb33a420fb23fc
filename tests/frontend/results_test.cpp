// Reading result files into the view (scales kept from the first run,
// capacities, the CEMS spectrum, the baseline) and rebuilding the settings
// of an earlier session from the parameter files.
#include "frontend/Globals.hpp"
#include "frontend/ParamFiles.hpp"
#include "frontend/resource.hpp"
#include "kavold_fixture.hpp"

namespace {

using namespace kavoldtest;

class Results : public KavoldApp {
 protected:
  std::vector<CString> messages() {
    std::vector<CString> m;
    for (const auto& b : boxes.boxes) m.push_back(b.text);
    boxes.boxes.clear();
    return m;
  }
};

// The first run fixes the scale: later runs are divided by its maxima.
TEST_F(Results, DelayedCurvesKeepTheScaleOfTheFirstRun) {
  dir.write("refl.dat", "3\n 2.0 100 40\n 3.0 50 80\n 4.0 25 20\n");
  view->m_del.Intexp = 1;
  view->m_reflExpName = "refl.dat";
  ReflectivityCurves& r = view->m_refl;
  view->OnShowPrompt();  // before any run: the prompt column, every point
  EXPECT_EQ((std::vector<int>{r.nexp, r.ndini}), (std::vector<int>{3, 3}));
  EXPECT_EQ(r.pexp[2], 0.25f);
  view->OnShowDelayed();
  EXPECT_EQ(r.nexp, 3);
  EXPECT_EQ((std::vector<float>{r.pexp[0], r.pexp[2], r.dexp[1], r.dexp[2], r.adini[2]}),
            (std::vector<float>{1, 0.25f, 1, 0.25f, 4}));

  dir.write("DELAY2.res", "  2.0  40.0  20.0\n  3.0  80.0  10.0\n");
  dir.write("PROMP2.res", "  2.0  100.0  50.0\n  3.0  50.0  25.0\n");
  dir.write("RESULTI.res", "  0.1  0.2  0.3\n");
  globals().runDelayed = 1;
  view->OnShowDelayed();
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ((std::vector<float>{r.dexp[1], r.dcur[0], r.pexp[0], r.pcur[1]}), (std::vector<float>{1, 0.25f, 1, 0.25f}));
  EXPECT_EQ((std::vector<float>{view->m_eps.epsnp, view->m_eps.epsni, view->m_eps.eps0i, view->m_eps.eps0p}),
            (std::vector<float>{0.1f, 0.3f, 0.3f, 0.1f}));
  EXPECT_EQ((std::vector<int>{r.ndini, r.npini, r.nexp}), (std::vector<int>{2, 2, 2}));
  EXPECT_EQ(r.aexp[1], 3.0f);

  dir.write("DELAY2.res", "  2.0  160.0  20.0\n  3.0  80.0  10.0\n");
  globals().runDelayed = 2;
  view->OnShowDelayed();
  EXPECT_EQ((std::vector<float>{r.dexp[0], r.dini[0], r.dcur[0]}), (std::vector<float>{2, 0.25f, 0.25f}));
}

// A missing result file is reported and the show command goes on with the
// next one: a later run's time spectra without their merit, the prompt
// merit without its curve.
TEST_F(Results, AMissingResultFileLeavesTheNextOneToBeRead) {
  KavoldGlobals& g = globals();
  view->m_LoadDlg.m_NFiles = 1;
  view->m_ModelDlg.m_NSPC = 1;
  view->m_eps.epsn = 0.5f;
  g.runTime = 2;
  dir.write("ANGLE.RES", " 3.0\n");
  dir.write("BUFFTN1.RES", " 10 1 2\n 20 3 4\n 30 5 6\n");
  view->OnShowTimeSpectra();
  EXPECT_EQ(messages(), std::vector<CString>{"Can not find file: RESULT.res"});
  const TimeCurves& t = view->m_time;
  EXPECT_EQ((std::vector<float>{t.tcur[1][0], t.yexp[1][0], t.ycur[1][0], view->m_eps.epsn}),
            (std::vector<float>{20, 3, 4, 0.5f}));
  EXPECT_EQ((std::vector<int>{t.ncur[0], t.nexp[0]}), (std::vector<int>{3, 3}));

  view->m_del.Intexp = 1;
  g.runPrompt = 2;
  dir.write("RESULTI.res", "  0.1  0.2  0.3\n");
  view->OnShowPrompt();
  EXPECT_EQ(messages(), std::vector<CString>{"CAN NOT FIND FILE: PROMP2.res"});
  EXPECT_EQ(view->m_eps.epsnp, 0.1f);
}

TEST_F(Results, ProfilesAndListsBeyondTheViewsCapacitiesAreCut) {
  std::string el = "    0.0    10.0\n  2600\n";
  for (int i = 0; i < 2600; ++i) el += std::to_string(i) + " " + std::to_string(i % 7) + " 0.5\n";
  dir.write("EL_MOD.RES", el);
  // Ten multiplets: all are read, eight are kept, the sum covers all ten.
  dir.write("MODELN.RES", "  0.0  10.0\n  1  10  2\n  0.0  1 1 1 1 1 1 1 1 1 1\n  5.0  2 2 2 2 2 2 2 2 2 3\n");
  view->ReadElModel();
  view->ReadModelProfile();
  EXPECT_EQ(messages(), std::vector<CString>{" Model includes more than 2500 points!"});
  const KavoldGlobals& g = globals();
  EXPECT_EQ(g.elProfile.n, 2500);
  EXPECT_EQ(g.elProfile.norm, 6.0f);
  EXPECT_EQ(g.elProfile.re[2498], 1.0f);  // 2498 % 7 = 6, the largest real part
  EXPECT_EQ(g.elProfile.depth[2499], 2499.0f);
  EXPECT_EQ(g.hfiProfile.NM, 8);
  EXPECT_EQ(g.hfiProfile.n, 2);
  EXPECT_EQ((std::vector<float>{g.hfiProfile.depth[1], g.hfiProfile.v[1][8], g.hfiProfile.v[1][9]}),
            (std::vector<float>{5, 2, 21}));

  // Curve files longer than the delayed (900) and prompt (3500) arrays.
  std::string delay, prompt;
  for (int i = 0; i < 1000; ++i) delay += std::to_string(i) + " 1 1\n";
  for (int i = 0; i < 3600; ++i) prompt += std::to_string(i) + " 1 1\n";
  dir.write("DELAY2.res", delay);
  dir.write("PROMP2.res", prompt);
  globals().runDelayed = 1;
  view->OnShowDelayed();
  const ReflectivityCurves& r = view->m_refl;
  EXPECT_EQ((std::vector<int>{r.ndcur, r.ndini, r.npcur, r.npini, r.nexp}),
            (std::vector<int>{900, 900, 3500, 3500, 3500}));
}

// A file that cannot be created is reported, not written through.
TEST_F(Results, AFileThatCannotBeCreatedIsReported) {
  std::filesystem::create_directory(dir.path() / "AXISF.INP");
  view->WriteAxisFile();
  EXPECT_TRUE(view->WriteStopFile(1));
  std::filesystem::create_directory(dir.path() / "FILEM.INP");
  EXPECT_FALSE(view->WriteFileM());
  EXPECT_EQ(messages(), (std::vector<CString>{"can not create file: AXISF.INP", "can not create file: FILEM.INP"}));
}

TEST_F(Results, CemsExperimentIsScaledAndTheFitReadWithItsMultiplets) {
  dir.write("cems.dat", "200 100 0 150\n");
  dir.write("CEMfit.res", " -1.0 0.9 0.8 0.5 0.3\n  0.0 0.4 0.5 0.2 0.3\n  1.0 0.9 0.8 0.5 0.3\n");
  dir.write("EpsCEM.res", "  0.0625\n");
  view->m_LoadDlg.m_NSPCE = 1;
  view->m_LoadDlg.m_CemsFile = "cems.dat";
  view->m_cemsPar.Hmms = 2;
  view->m_cemsPar.Hchan = 1;
  view->m_cemsPar.chan0 = 1;
  view->m_GeneralDlg.m_NM = 2;
  view->m_cemsModel.current = "c.inf";
  view->OnShowCems();
  const CemsCurves& c = view->m_cems;
  // Velocities (j - chan0) Hmms / Hchan; counts from the smallest non-zero
  // one (100) to the largest (200).
  EXPECT_EQ(c.n, 4);
  EXPECT_EQ((std::vector<float>{c.v[0], c.v[3], c.yexp[0], c.yexp[1], c.yexp[3]}),
            (std::vector<float>{-2, 4, 1, 0, 0.5f}));
  globals().runCEMS = 1;
  view->OnShowCems();
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(c.n, 3);
  EXPECT_EQ((std::vector<float>{c.vini[2], c.totini[1], c.partini[1][1], c.partini[1][2], c.partcur[2][2]}),
            (std::vector<float>{1, 0.5f, 0.2f, 0.3f, 0.3f}));
  EXPECT_EQ(view->m_cemsModel.initial, "c.inf");
  EXPECT_EQ(view->m_eps.EpsCEM, 0.0625f);
  EXPECT_EQ(view->m_eps.EpsCEMn, 0.0625f);
}

TEST_F(Results, BaselineMakesTheLatestResultsTheReference) {
  KavoldGlobals& g = globals();
  g.runTime = 3;
  view->m_eps.epsn = 0.25f;
  view->m_timeModel = {"a.inf", "Layspc.res"};
  view->m_time.ncur[0] = 2;
  view->m_time.ycur[1][0] = 7;
  dir.write("BUFFTN1.RES", " 10 1 2\n 20 3 4\n 30 5 6\n");
  dir.write("RESULT.RES", "");
  dir.write("ANGLE.RES", " 3.0\n");
  view->OnSetBaseline();
  EXPECT_EQ(g.runTime, 1);
  EXPECT_EQ(view->m_eps.eps0, 0.25f);
  EXPECT_EQ(view->m_timeModel.initial, "Layspc.res");
  // The show command of the first run read the spectrum again as the
  // reference.
  EXPECT_EQ(view->m_time.nini[0], 3);
  EXPECT_EQ(view->m_time.yini[1][0], 800.0f);
  EXPECT_EQ(messages(), (std::vector<CString>{"can not find file: BUFFEN1.RES", "can not find file: E_spcN.RES",
                                              "CAN NOT FIND FILE:  EL_MOD.RES", "CAN NOT FIND FILE:  MODELN.RES",
                                              "can not find file: BUFFEN1.RES", "can not find file: E_spcN.RES"}));
}

// ------------------------------------------------------ previous settings

class Settings : public Results {
 protected:
  // A session's worth of settings, written by the view's writers.
  void writeSession() {
    TimeSpectraValues& c = view->m_ComputationDlg;
    c.m_ITEST = 1;
    c.m_XEXP1 = 12.5f;
    c.m_ICORR[0] = 4;
    c.m_IMAN[0] = 2;
    view->m_del.UT0p = 1.5f;
    view->m_del.Nstep = 40;
    view->m_LoadDlg.m_Delayed = 1;
    view->m_LoadDlg.m_DelayedFile = "refl.dat";
    view->m_cemsPar.GS = 0.125f;
    view->m_LoadDlg.m_NSPCE = 1;
    view->m_LoadDlg.m_CemsFile = "cems.dat";
    view->m_ModelDlg.m_ModelFile = "model.inf";
    view->m_ModelDlg.m_NSPC = 2;
    view->m_ModelDlg.m_Angle[1] = 4.5f;
    view->m_LoadDlg.m_NFiles = 2;
    view->m_LoadDlg.m_File[0] = "t1.dat";
    view->m_LoadDlg.m_File[1] = "t2.dat";
    view->m_S(1) = {0, 170, 40, 0, 1000, 10, 2};
    view->m_modelKind = 1;
    view->m_GeneralDlg.m_NNN = 2;
    view->m_GeneralDlg.m_NM = 1;
    view->m_model(1, 1) = 150;
    view->m_model(3, 9) = 1;   // HKMAX
    view->m_model(4, 1) = 33;  // Bhf
    for (int k = 1; k <= 2; ++k)
      for (int c = 1; c <= 3; ++c) view->m_layerInt(k, c) = 1;
    view->m_NewModelDlg.m_NewModelFile = "model.inf";
    dir.write("t1.dat", "10 100\n20 200\n");
    dir.write("t2.dat", "10 50\n20 60\n30 70\n");
    for (const char* name : {"Tconst.INI", "NEXT.INP", "STOP.INP"}) dir.write(name, " 1\n");
    ASSERT_TRUE(view->WriteZeprinInp() && view->WriteDelFile() && view->WriteCemsFile() && view->WriteFileM() &&
                view->WriteFilesE());
    view->WriteAxisFile();
    view->WriteModelFile();
  }
  std::string files() const {
    std::string all;
    for (const char* name : {"ZEPRIN.INP", "MOLVEC.INP", "FilCEM.INP", "FILEM.INP", "FILESE.INP", "AXISF.INP", "model.inf"})
      all += dir.read(name) + "|";
    return all;
  }
};

TEST_F(Settings, PreviousSettingsRebuildWhatTheWritersWrote) {
  writeSession();
  const std::string written = files();
  view->OnInitialUpdate();  // defaults again, with the tables cleared
  view->m_model = ModelTable{};
  view->m_layerInt = LayerInts{};
  view->m_GeneralDlg.m_NNN = 5;
  view->OnGetPreviousSettings();
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(globals().editFlag, 2);
  EXPECT_EQ(view->m_time.nexp[1], 3);
  EXPECT_EQ(view->m_time.yexp[1][0], 200.0f);
  EXPECT_EQ(view->m_fileLabel[1], "t2.dat");
  EXPECT_EQ(view->Acorr.m_Lscale, 2);
  EXPECT_EQ(dir.read("STOP.INP"), " 1 \n");
  view->WriteZeprinInp();
  view->WriteDelFile();
  view->WriteCemsFile();
  view->WriteFileM();
  view->WriteFilesE();
  view->WriteAxisFile();
  view->m_NewModelDlg.m_NewModelFile = "model.inf";
  view->WriteModelFile();
  EXPECT_EQ(files(), written);
}

// The application goes on, and nothing of the session changes, when a
// parameter file ends early.
TEST_F(Settings, AnInvalidFileIsReportedAndChangesNothing) {
  writeSession();
  const std::string molvec = dir.read("MOLVEC.INP");
  dir.write("MOLVEC.INP", molvec.substr(0, molvec.find("DIV")));
  view->OnInitialUpdate();
  view->m_GeneralDlg.m_NNN = 5;
  view->OnGetPreviousSettings();
  EXPECT_EQ(messages(), std::vector<CString>{"Invalid parameters file"});
  EXPECT_EQ(globals().editFlag, 1);
  EXPECT_EQ(view->m_GeneralDlg.m_NNN, 5);
  EXPECT_EQ(view->m_ModelDlg.m_ModelFile, "model.inf");  // the dialog as it was
  EXPECT_EQ(view->m_LoadDlg.m_NFiles, 2);
  EXPECT_TRUE(frame->HasWindow());
  EXPECT_EQ(dir.read("STOP.INP"), " 1\n");  // written only after a full reading
}

TEST_F(Settings, MissingExperimentFilesAndAZeroAngle) {
  writeSession();
  dir.write("FILESE.INP", "\t 3 \nt1.dat\nnone.dat\nt2.dat\n");
  view->OnGetPreviousSettings();
  EXPECT_EQ(messages(), std::vector<CString>{"CAN NOT FIND FILES with experimental time spectra"});
  EXPECT_EQ(view->m_LoadDlg.m_NFiles, 1);
  EXPECT_EQ(dir.read("FILESE.INP"), "\t 1 \nt1.dat\n");
  // Loading goes on past the missing file.
  TimeCurves t{};
  const CString names[4] = {"t1.dat", "none.dat", "t2.dat", ""};
  EXPECT_EQ(view->ReadTimeExperiments(names, 3, CKAVOLDView::ExperimentRead::Load, t), 3);
  EXPECT_EQ(messages(), std::vector<CString>{"CAN NOT FIND FILES with experimantal time spectra"});
  EXPECT_EQ((std::vector<int>{t.nexp[0], t.nexp[1], t.nexp[2]}), (std::vector<int>{2, 0, 3}));

  // A zero angle: the model dialog, showing what "FILEM.INP" holds,
  // corrects it; the file is written and read once more (and checked again:
  // a correction to -1 is asked for once more), without a second reading of
  // everything else.
  dir.write("FILEM.INP", "model.inf\n \t 2 \n\t 2.5 \n\t 0.0 \n");
  std::vector<UINT> shown;
  hooks::setDialogHook([&](hooks::DialogDriver& d) {
    shown.push_back(d.templateId());
    d.type(IDC_MODEL_ANGLE1 + 1, shown.size() == 1 ? "-1" : "4.25");
    d.click(IDOK);
  });
  std::filesystem::remove(dir.path() / "t1.dat");  // each reading of the experiments reports it
  view->OnGetPreviousSettings();
  EXPECT_EQ(messages(), (std::vector<CString>{"angle for calculation is 0 !", "angle for calculation is 0 !",
                                              "CAN NOT FIND FILES with experimental time spectra"}));
  EXPECT_EQ(shown, (std::vector<UINT>{CModelDlg::IDD, CModelDlg::IDD}));
  EXPECT_EQ(view->m_ModelDlg.m_Angle[1], 4.25f);
  EXPECT_EQ(dir.read("FILEM.INP"), "model.inf\n \t 2 \n\t 2.500000 \n\t 4.250000 \n\t 5.000000 \n\t 6.000000 \n");
}

}  // namespace
