// KAVOLD's data-entry dialogs: template (caption, size, labels, controls),
// the values shown on opening, data exchange on OK, the message for a value
// that is not a number, Escape, the limits of the console programs, and the
// handlers of their own buttons.
#include <filesystem>
#include <fstream>
#include <map>

#include "frontend/Dialogs.hpp"
#include "frontend/Globals.hpp"
#include "kavold_fixture.hpp"

namespace {

using namespace kavoldtest;
namespace fs = std::filesystem;
using Texts = std::map<int, std::string>;

class Dialogs : public KavoldDialogs {
 protected:
  int open(CDialog& dlg, const std::function<void(hooks::DialogDriver&)>& f) {
    hooks::setDialogHook(f);
    return dlg.DoModal();
  }

  // The template as the application describes it.
  void expectTemplate(UINT idd, const char* caption, int cx, int cy, const std::vector<std::string>& labels,
                      const std::vector<int>& ids) {
    const DialogTemplate* t = AfxFindDialog(idd);
    ASSERT_NE(t, nullptr) << idd;
    EXPECT_EQ(t->caption, caption);
    EXPECT_EQ(t->cx, cx);
    EXPECT_EQ(t->cy, cy);
    for (const auto& label : labels) {
      bool found = false;
      for (const auto& c : t->controls) found |= c.text == label.c_str();
      EXPECT_TRUE(found) << idd << ": \"" << label << "\"";
    }
    for (int id : ids) {
      bool found = false;
      for (const auto& c : t->controls) found |= c.id == id;
      EXPECT_TRUE(found) << idd << ": control " << id;
    }
  }

  // Escape after typing stores nothing (the next opening shows the same
  // values); a value that is not a number keeps the dialog open with the
  // message; then OK stores what was typed.
  void exercise(CDialog& dlg, const Texts& shown, const Texts& typed, int badId, const char* message) {
    auto expectShown = [&](hooks::DialogDriver& d) {
      for (const auto& [id, text] : shown) EXPECT_EQ(d.text(id).str(), text) << "control " << id;
    };
    open(dlg, [&](hooks::DialogDriver& d) {
      expectShown(d);
      for (const auto& [id, text] : typed) d.type(id, text.c_str());
      d.pressEscape();
      EXPECT_TRUE(d.ended());
    });
    const int result = open(dlg, [&](hooks::DialogDriver& d) {
      expectShown(d);
      for (const auto& [id, text] : typed) d.type(id, text.c_str());
      if (badId) {
        d.type(badId, "7,5");
        d.click(IDOK);
        EXPECT_FALSE(d.ended());
        ASSERT_FALSE(boxes.boxes.empty());
        EXPECT_EQ(boxes.boxes.back().text, message);
        d.type(badId, typed.at(badId).c_str());
      }
      d.click(IDOK);
      EXPECT_TRUE(d.ended());
    });
    EXPECT_EQ(result, IDOK);
  }

  // A value past a limit is refused with the message; the dialog stays open.
  void expectRefused(CDialog& dlg, const Texts& typed, const char* message) {
    const std::size_t before = boxes.boxes.size();
    open(dlg, [&](hooks::DialogDriver& d) {
      for (const auto& [id, text] : typed) d.type(id, text.c_str());
      d.click(IDOK);
      EXPECT_FALSE(d.ended());
      d.pressEscape();
    });
    ASSERT_EQ(boxes.boxes.size(), before + 1);
    EXPECT_EQ(boxes.boxes.back().text, message);
  }
};

TEST_F(Dialogs, Directory) {
  expectTemplate(131, "    Set up the directory name", 186, 58, {"Working directory", "Browser", "OK"}, {1000, 1008, 1});
  nrstest::TempDir dir;
  fs::create_directories(dir.path() / "run");
  CDirectoryDlg dlg;
  const std::string target = (dir.path() / "run").string();
  exercise(dlg, {{1000, ""}}, {{1000, target}}, 0, "");
  EXPECT_EQ(dlg.m_Directory, target.c_str());
  EXPECT_EQ(fs::current_path(), fs::path(target));  // OK makes it current
}

TEST_F(Dialogs, DirectoryBrowserTakesTheFolderOfTheChosenFile) {
  nrstest::TempDir dir;
  fs::create_directories(dir.path() / "data");
  std::ofstream(dir.path() / "data" / "m.inf") << "x\n";
  CDirectoryDlg dlg;
  hooks::setFileDialogAnswer([&](const hooks::FileDialogRequest& r) -> std::optional<std::string> {
    EXPECT_TRUE(r.open);
    EXPECT_EQ(r.filter, " Hi (*.inf)|*.inf| Inf (*.dat)|*.txt|All(*.*)|*.*||");
    return (dir.path() / "data" / "m.inf").string();
  });
  open(dlg, [&](hooks::DialogDriver& d) {
    d.click(IDC_DIR_BROWSER);
    EXPECT_FALSE(d.ended());
    EXPECT_EQ(d.text(1000).str(), (dir.path() / "data").string());
    d.pressEscape();
  });
  EXPECT_EQ(dlg.m_Directory.str(), (dir.path() / "data").string());
  EXPECT_EQ(fs::current_path(), dir.path() / "data");
}

TEST_F(Dialogs, Load) {
  expectTemplate(130, "                   LOAD experiment", 241, 257,
                 {"Number of experimental time spectra (max 4)", "Names of the experimental datum files", "File No.1",
                  "File No.2", "File No.3", "File No.4", "Experimental delayed curve (if 0 - no data)", "File",
                  "Experimental CEMS curve (if 0 - no data)", "OK"},
                 {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1});
  CLoadDlg dlg;
  exercise(dlg,
           {{1000, "0"}, {1002, "xxx1.dat"}, {1003, "xxx2.dat"}, {1004, "xxx3.dat"}, {1005, "xxx4.dat"},
            {1001, "0"}, {1011, "xxxD.dat"}, {1012, "0"}, {1013, "xxxC.dat"}},
           {{1000, "2"}, {1002, "a.dat"}, {1003, "b.dat"}, {1001, "1"}, {1011, "refl.dat"}, {1012, "1"},
            {1013, "cems.dat"}},
           1000, "Please enter an integer.");
  EXPECT_EQ(dlg.m_NFiles, 2);
  EXPECT_EQ(dlg.m_File[0], "a.dat");
  EXPECT_EQ(dlg.m_File[1], "b.dat");
  EXPECT_EQ(dlg.m_File[2], "xxx3.dat");
  EXPECT_EQ(dlg.m_Delayed, 1);
  EXPECT_EQ(dlg.m_DelayedFile, "refl.dat");
  EXPECT_EQ(dlg.m_NSPCE, 1);
  EXPECT_EQ(dlg.m_CemsFile, "cems.dat");
  expectRefused(dlg, {{1000, "5"}}, "Please enter an integer between 0 and 4.");
  expectRefused(dlg, {{1000, "-1"}}, "Please enter an integer between 0 and 4.");
}

TEST_F(Dialogs, LoadBrowseTakesTheBareNameAndReturnsToTheStartDirectory) {
  nrstest::TempDir dir;
  fs::create_directories(dir.path() / "elsewhere");
  globals().startDirectory = dir.path().string();
  CLoadDlg dlg;
  std::optional<std::string> answer = (dir.path() / "elsewhere" / "spec2.dat").string();
  hooks::setFileDialogAnswer([&](const hooks::FileDialogRequest& r) {
    EXPECT_EQ(r.filter, " Hi (*.dat)|*.dat| Inf (*.txt)|*.txt|All(*.*)|*.*||");
    return answer;
  });
  open(dlg, [&](hooks::DialogDriver& d) {
    d.type(1000, "3");
    d.click(1007);  // File No.2
    EXPECT_EQ(d.text(1003), "spec2.dat");
    EXPECT_EQ(d.text(1000), "3");
    EXPECT_EQ(fs::current_path(), dir.path());
    d.click(1014);  // the CEMS file
    EXPECT_EQ(d.text(1013), "spec2.dat");
    answer.reset();  // a cancelled file dialog changes nothing
    d.click(1010);
    EXPECT_EQ(d.text(1011), "xxxD.dat");
    d.pressEscape();
  });
  // The browse button stored the controls before it set the name.
  EXPECT_EQ(dlg.m_NFiles, 3);
  EXPECT_EQ(dlg.m_File[1], "spec2.dat");
  EXPECT_EQ(dlg.m_CemsFile, "spec2.dat");
  EXPECT_EQ(dlg.m_DelayedFile, "xxxD.dat");
}

TEST_F(Dialogs, Model) {
  expectTemplate(132, "          Model of the sample", 186, 146,
                 {"Name of the model file", "Browser", "Number of reflectivity spectra",
                  "ANGLES (max 4) for reflectivity calculations (mrad)", "OK"},
                 {1000, 1009, 1002, 1003, 1004, 1005, 1006, 1});
  CModelDlg dlg;
  exercise(dlg, {{1000, "m.inf"}, {1002, "1"}, {1003, "3"}, {1004, "4"}, {1005, "5"}, {1006, "6"}},
           {{1000, "fe.inf"}, {1002, "3"}, {1003, "2.5"}, {1004, "3.25"}, {1005, "7"}, {1006, "0.125"}}, 1003,
           "Please enter a number.");
  EXPECT_EQ(dlg.m_ModelFile, "fe.inf");
  EXPECT_EQ(dlg.m_NSPC, 3);
  EXPECT_EQ((std::vector<float>(dlg.m_Angle, dlg.m_Angle + 4)), (std::vector<float>{2.5f, 3.25f, 7, 0.125f}));
  expectRefused(dlg, {{1002, "5"}}, "Please enter an integer between 0 and 4.");

  nrstest::TempDir dir;
  globals().startDirectory = dir.path().string();
  hooks::setFileDialogAnswer([&](const hooks::FileDialogRequest& r) -> std::optional<std::string> {
    EXPECT_EQ(r.filter, " Hi (*.inf)|*.inf| Inf (*.txt)|*.txt|All(*.*)|*.*||");
    return "/tmp/some/where/layers.inf";
  });
  open(dlg, [](hooks::DialogDriver& d) {
    d.click(1009);
    EXPECT_EQ(d.text(1000), "layers.inf");
    d.click(IDOK);
  });
  EXPECT_EQ(dlg.m_ModelFile, "layers.inf");
  EXPECT_EQ(fs::current_path(), dir.path());
}

TEST_F(Dialogs, Computation) {
  expectTemplate(136, "                Computation parameters", 294, 317,
                 {"Jway - the way of computation: 1  -  matrix, 2  -  Parratt",
                  "ITEST: 1  -  one step check, 2  -  try to choose the best value",
                  "Limits  (ns)  for comparison of the theory and experiment",
                  "JFIT - the way for comparison of the theory and experiment",
                  "ISTOP - maximum number of variations for one paramter",
                  " EPFIN - limits for iterations of EPSSS and  ADJUST",
                  "SIG - width (A) of the Gauss regularization of  HFI distrib", "KP - number of steps in smoothing",
                  "Initial background : 1,2,3.., if 0 it is not taken into account",
                  "The weight of the merit function for each spectrum", "Parameter correlations",
                  "The number of column, if negative  - number of line", "The way of correlation in it (1,2 or 3)",
                  "SIGMA for GAUSS in time averaging  in ns", "    FIELD   DISTRIBUTION",
                  "Number of points for field half-distribution   (max 50!)",
                  "Step in distribution function (norm to 1.)",
                  "Type of Function: 1- Gauss, 2 - Lorentz, 3 - extern determ", "OK"},
                 {});
  CComputationDlg dlg;
  Texts shown = {{1000, "1"}, {1003, "2"}, {1004, "18"}, {1011, "140"}, {1029, "12"}, {1001, "0"},
                 {1009, "0.001"}, {1014, "0"}, {1002, "0"}, {1008, "0"}, {1005, "0.3"}, {1006, "10"},
                 {1007, "0.1"}, {1010, "1"}};
  Texts typed = {{1000, "2"}, {1003, "1"}, {1004, "20"}, {1011, "150"}, {1029, "3"}, {1001, "9"},
                 {1009, "0.01"}, {1014, "2.5"}, {1002, "4"}, {1008, "1"}, {1005, "0.5"}, {1006, "50"},
                 {1007, "0.25"}, {1010, "3"}};
  for (int k = 0; k < 4; ++k) {
    shown[1025 + k] = "1";
    typed[1025 + k] = std::to_string(k + 2);
  }
  for (int k = 0; k < 5; ++k) {
    shown[1015 + 2 * k] = shown[1016 + 2 * k] = "0";
    typed[1015 + 2 * k] = std::to_string(-(k + 1));
    typed[1016 + 2 * k] = std::to_string(k % 3 + 1);
  }
  exercise(dlg, shown, typed, 1009, "Please enter a number.");
  EXPECT_EQ((std::vector<int>{dlg.m_Jway, dlg.m_ITEST, dlg.m_JFIT, dlg.m_ISTOP, dlg.m_KP, dlg.m_JAV1, dlg.m_IDIST}),
            (std::vector<int>{2, 1, 3, 9, 4, 50, 3}));
  EXPECT_EQ((std::vector<float>{dlg.m_XEXP1, dlg.m_XEXP2, dlg.m_EPFIN, dlg.m_SIG, dlg.m_AF, dlg.m_SIGMA, dlg.m_SD}),
            (std::vector<float>{20, 150, 0.01f, 2.5f, 1, 0.5f, 0.25f}));
  EXPECT_EQ((std::vector<float>(dlg.m_Weight, dlg.m_Weight + 4)), (std::vector<float>{2, 3, 4, 5}));
  EXPECT_EQ((std::vector<int>(dlg.m_ICORR, dlg.m_ICORR + 5)), (std::vector<int>{-1, -2, -3, -4, -5}));
  EXPECT_EQ((std::vector<int>(dlg.m_IMAN, dlg.m_IMAN + 5)), (std::vector<int>{1, 2, 3, 1, 2}));
  expectRefused(dlg, {{1006, "51"}}, "Please enter an integer between 0 and 50.");
}

TEST_F(Dialogs, ComputationShowsTheStartValuesOfTheView) {
  nrstest::TempDir dir;
  auto view = std::make_unique<CKAVOLDView>();
  view->OnInitialUpdate();
  open(view->m_ComputationDlg, [](hooks::DialogDriver& d) {
    EXPECT_EQ(d.text(1001), "15");  // ISTOP, not the constructor's 0
    EXPECT_EQ(d.text(1002), "3");   // KP
    d.pressEscape();
  });
}

TEST_F(Dialogs, General) {
  expectTemplate(140, "                                  General description", 335, 266,
                 {"The name of the Model File", "Number of sublayers (max 50, including substrate) ", "Repetitions",
                  "from", "to", "number", "NM - Number of multiplets (max 8)", "S(K) - ratio of partial spectra areas",
                  "Angular parameter attribute  IBHF: ", "if 1 the angles describe the layer properties,",
                  "if 2 the angles are the multiplet attributes.", "Normalization of the HFI depth distribution",
                  "INORM, if it =1 then V is normalized, =3 - not ; =2, V norm. from the top  ",
                  "HKMAX - max value of nuclear density (1.for pure a-57Fe)   ",
                  "ISQ  =0 then V is recalculated, =1 S((K) are recalcul.,=2 keep HKMAX  ", "OK"},
                 {});
  CGeneralDlg dlg;
  const int sIds[] = {1001, 1006, 1007, 1008, 1009, 1010, 1011, 1012};
  Texts shown = {{1025, "m.inf"}, {1000, "1"}, {1002, "1"}, {1003, "1"}, {1004, "1"}, {1005, "1"},
                 {1013, "2"},     {1015, "1"}, {1017, "1"}, {1016, "1"}};
  Texts typed = {{1025, "fe.inf"}, {1000, "12"}, {1002, "2"}, {1003, "11"}, {1004, "10"}, {1005, "3"},
                 {1013, "1"},      {1015, "3"},  {1017, "0.5"}, {1016, "0"}};
  for (int k = 0; k < 8; ++k) {
    shown[sIds[k]] = k == 0 ? "1" : "0";
    typed[sIds[k]] = std::to_string(k + 1);
  }
  exercise(dlg, shown, typed, 1017, "Please enter a number.");
  EXPECT_EQ(dlg.m_ModelFile, "fe.inf");
  EXPECT_EQ((std::vector<int>{dlg.m_NNN, dlg.m_N1N, dlg.m_N2N, dlg.m_NRN, dlg.m_NM, dlg.m_IBHF, dlg.m_INORM, dlg.m_ISQ}),
            (std::vector<int>{12, 2, 11, 10, 3, 1, 3, 0}));
  EXPECT_EQ(dlg.m_HKMAX, 0.5f);
  EXPECT_EQ((std::vector<float>(dlg.m_S, dlg.m_S + 8)), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8}));

  expectRefused(dlg, {{1000, "61"}}, "Please enter an integer between 1 and 60.");
  expectRefused(dlg, {{1000, "0"}}, "Please enter an integer between 1 and 60.");
  expectRefused(dlg, {{1000, "5"}, {1002, "4"}, {1003, "6"}}, "Please enter an integer between 4 and 5.");
  expectRefused(dlg, {{1000, "5"}, {1002, "4"}, {1003, "3"}}, "Please enter an integer between 4 and 5.");
  expectRefused(dlg, {{1000, "60"}, {1002, "1"}, {1003, "60"}, {1005, "9"}}, "Please enter an integer between 0 and 8.");
}

TEST_F(Dialogs, Multiplet) {
  expectTemplate(141, "", 198, 222,
                 {"MULTIPLET   PARAMETERS", "Bhf(T) - magnetic hyperfine field", "dBhf(T) - magnetic distribution",
                  "IS(mm/s) - isomer shift", "EFG(mm/s) - Electric Field Gradient", "GRd(mm/s) - line broadening",
                  "Angular parametrs", "Beta - polar angle (degrees)", "Gamma - azimuth angle (degrees)",
                  "Portion of random orientation", "Portion of plane orientation", "Angular width (degrees)", "OK"},
                 {});
  CMultipletDlg dlg;
  exercise(dlg,
           {{1001, "33"}, {1002, "0"}, {1003, "0"}, {1004, "0"}, {1000, "0"}, {1005, "0"}, {1006, "0"}, {1008, "0"},
            {1009, "0"}, {1010, "0"}},
           {{1001, "-33.1"}, {1002, "1.5"}, {1003, "0.37"}, {1004, "-0.2"}, {1000, "0.1"}, {1005, "90"},
            {1006, "45"}, {1008, "0.25"}, {1009, "0.5"}, {1010, "10"}},
           1003, "Please enter a number.");
  EXPECT_EQ((std::vector<float>{dlg.m_Bhf, dlg.m_dBhf, dlg.m_IS, dlg.m_EFG, dlg.m_GRd, dlg.m_Beta, dlg.m_Gamma,
                                dlg.m_Random, dlg.m_Plane, dlg.m_Width}),
            (std::vector<float>{-33.1f, 1.5f, 0.37f, -0.2f, 0.1f, 90, 45, 0.25f, 0.5f, 10}));
}

TEST_F(Dialogs, Layer) {
  expectTemplate(146, "                                                 Layer parameters", 442, 212,
                 {"Thickness (A)", "Susceptibility ( in 10-6 units)", "Real part", " Imaginary part", "Top interface",
                  "Width", "Number of steps", "Kind of Re.func.", "Parameter", "Kind of im.func.",
                  "Angular parameters of layer  (if IBHF=1)", "Beta", "Gamma", "Portion of random", "Portion of plane",
                  "Angular width", "Multiplet densities in this layer", "No.1", "No.8",
                  "Kind of interface function for each multiplet in this layer    KINDV[N,K]",
                  "Parameter of interface function for each multiplet in this layer    ZDV[N,K]", "OK"},
                 {});
  CLayerDlg dlg;
  const int zdvIds[] = {1033, 1034, 1035, 1038, 1039, 1040, 1041, 1042};
  Texts shown = {{1001, "1000"}, {1002, "-14"}, {1003, "0.6"}, {1011, "0"}, {1010, "0"}, {1009, "1"}, {1008, "0"},
                 {1007, "1"},    {1006, "0"}};
  Texts typed = {{1001, "250.5"}, {1002, "-7.5"}, {1003, "1.25"}, {1011, "12"}, {1010, "6"}, {1009, "2"},
                 {1008, "3.5"},   {1007, "4"},    {1006, "0.75"}};
  for (int k = 0; k < 5; ++k) {
    shown[1012 + k] = "0";
    typed[1012 + k] = std::to_string(10 * (k + 1));
  }
  for (int k = 0; k < 8; ++k) {
    shown[1017 + k] = k == 0 ? "1" : "0";
    shown[1025 + k] = "1";
    shown[zdvIds[k]] = "0";
    typed[1017 + k] = std::to_string(k) + ".5";
    typed[1025 + k] = std::to_string(k % 5 + 1);
    typed[zdvIds[k]] = std::to_string(k + 20);
  }
  exercise(dlg, shown, typed, 1010, "Please enter an integer.");
  EXPECT_EQ((std::vector<float>{dlg.m_H1A, dlg.m_ReChi, dlg.m_ImChi, dlg.m_WIDTH, dlg.m_ZD1, dlg.m_ZD2}),
            (std::vector<float>{250.5f, -7.5f, 1.25f, 12, 3.5f, 0.75f}));
  EXPECT_EQ((std::vector<int>{dlg.m_KSTEP, dlg.m_KIND1, dlg.m_KIND2}), (std::vector<int>{6, 2, 4}));
  EXPECT_EQ((std::vector<float>{dlg.m_BE, dlg.m_GA, dlg.m_Rand, dlg.m_Plane, dlg.m_WID}),
            (std::vector<float>{10, 20, 30, 40, 50}));
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(dlg.m_V[k], static_cast<float>(k) + 0.5f);
    EXPECT_EQ(dlg.m_KINDV[k], k % 5 + 1);
    EXPECT_EQ(dlg.m_ZDV[k], static_cast<float>(k + 20));
  }
}

TEST_F(Dialogs, NewModelFitMarkAndStop) {
  expectTemplate(148, "New MODEL file", 186, 94,
                 {"Save this new MODEL file under the name :", "Check1",
                  "Mark this box if you want to continue the calculations with this new MODEL file", "OK"},
                 {1000, 1034});
  expectTemplate(149, "", 161, 92, {"F I T   ?", "Check1", "Yes", "Run"}, {1035, 1});
  expectTemplate(151, "Dialog", 196, 93, {"If you have no the ready MODEL FILE, please, create it:", "MARK THE BOX!", "OK"},
                 {1035});
  expectTemplate(135, "             Stop calculations", 186, 52, {"Put 0 to stop further modeling!", "OK"}, {1000});

  CNewModelDlg newModel;
  exercise(newModel, {{1000, ""}}, {{1000, "fitted.inf"}}, 0, "");
  EXPECT_EQ(newModel.m_NewModelFile, "fitted.inf");
  open(newModel, [](hooks::DialogDriver& d) {
    EXPECT_FALSE(d.checked(1034));
    d.setChecked(1034, true);
    d.click(IDOK);
  });
  EXPECT_EQ(newModel.m_Continue, 1);

  // The fit question starts unmarked and keeps its last state.
  CFitDlg fit;
  open(fit, [](hooks::DialogDriver& d) {
    EXPECT_FALSE(d.checked(1035));
    d.setChecked(1035, true);
    d.click(IDOK);  // "Run"
  });
  EXPECT_EQ(fit.m_Fit, 1);
  open(fit, [](hooks::DialogDriver& d) {
    EXPECT_TRUE(d.checked(1035));
    d.setChecked(1035, false);
    d.pressEscape();
  });
  EXPECT_EQ(fit.m_Fit, 1);

  CMarkDlg mark;
  open(mark, [](hooks::DialogDriver& d) {
    d.setChecked(1035, true);
    d.pressEnter();
  });
  EXPECT_EQ(mark.m_CreateModel, 1);

  CStopDlg stop;
  exercise(stop, {{1000, "1"}}, {{1000, "0"}}, 1000, "Please enter an integer.");
  EXPECT_EQ(stop.m_Stop, 0);
}

TEST_F(Dialogs, AxesAndTheScaleButtons) {
  expectTemplate(139, "                             Axes", 227, 108,
                 {"Xini", "Xfin", "Xstep", "Yini", "Yfin for each graph", "Ystep", "Normal", "Log scale", "OK"},
                 {1000, 1001, 1002, 1003, 1004, 1005, 1030, 1031, 1});
  CAxesDlg dlg;
  exercise(dlg, {{1000, "0"}, {1001, "170"}, {1002, "40"}, {1003, "0"}, {1004, "300"}, {1005, "100"}},
           {{1000, "10"}, {1001, "150"}, {1002, "20"}, {1003, "0.5"}, {1004, "2000"}, {1005, "0"}}, 1004,
           "Please enter a number.");
  EXPECT_EQ((std::vector<float>{dlg.Xini, dlg.Xfin, dlg.Xstep, dlg.Yini, dlg.Yfin, dlg.Ystep}),
            (std::vector<float>{10, 150, 20, 0.5f, 2000, 0}));
  EXPECT_EQ(dlg.m_Lscale, 1);
  // The buttons change the flag at once and leave the dialog open; Escape
  // does not undo them.
  open(dlg, [&](hooks::DialogDriver& d) {
    d.click(IDC_AXES_LOG_SCALE);
    EXPECT_FALSE(d.ended());
    EXPECT_EQ(dlg.m_Lscale, 2);
    d.pressEscape();
  });
  EXPECT_EQ(dlg.m_Lscale, 2);
  open(dlg, [&](hooks::DialogDriver& d) {
    d.click(IDC_AXES_NORMAL);
    EXPECT_FALSE(d.ended());
    d.click(IDOK);
  });
  EXPECT_EQ(dlg.m_Lscale, 1);
}

TEST_F(Dialogs, ModelScaleAndXAxis) {
  expectTemplate(138, "            Model graph scale", 186, 106,
                 {"X-axis (nm)", "Initial                    Final                       Step",
                  "Y-amplitude for single HFI", "OK"},
                 {1000, 1001, 1002, 1003});
  expectTemplate(152, "            X-axis correction", 186, 93, {"Moessbauer spectrum limits and step", "OK"}, {1000, 1002});
  CModelScaleDlg scale;
  exercise(scale, {{1000, "40"}, {1002, "100"}, {1001, "10"}, {1003, "1"}},
           {{1000, "5"}, {1002, "250"}, {1001, "25"}, {1003, "1.5"}}, 1001, "Please enter a number.");
  EXPECT_EQ((std::vector<float>{scale.m_Initial, scale.m_Final, scale.m_Step, scale.m_Yhfi}),
            (std::vector<float>{5, 250, 25, 1.5f}));
  CXAxisDlg xaxis;
  exercise(xaxis, {{1000, "0"}, {1002, "0"}}, {{1000, "12"}, {1002, "6"}}, 1002, "Please enter a number.");
  EXPECT_EQ(xaxis.m_Emodmax, 12.0f);
  EXPECT_EQ(xaxis.m_Emodstep, 6.0f);
}

// Every dialog at its size, its texts whole in their controls.
TEST_F(Dialogs, EveryDialogRendersAtItsSizeWithItsTextsWhole) {
  CDirectoryDlg d131;
  CLoadDlg d130;
  CModelDlg d132;
  CComputationDlg d136;
  CGeneralDlg d140;
  CMultipletDlg d141;
  CLayerDlg d146;
  CNewModelDlg d148;
  CFitDlg d149;
  CMarkDlg d151;
  CStopDlg d135;
  CAxesDlg d139;
  CModelScaleDlg d138;
  CXAxisDlg d152;
  CAboutDlg d100;
  for (CDialog* dlg : std::initializer_list<CDialog*>{&d131, &d130, &d132, &d136, &d140, &d141, &d146, &d148, &d149,
                                                      &d151, &d135, &d139, &d138, &d152, &d100}) {
    const UINT idd = dlg->GetTemplateId();
    const std::string png = ::testing::TempDir() + "kavold_dialog_" + std::to_string(idd) + ".png";
    open(*dlg, [&](hooks::DialogDriver& d) {
      EXPECT_TRUE(d.renderPng(png));
      EXPECT_EQ(d.clippedTexts(), std::vector<CString>{}) << idd;
      d.pressEscape();
    });
    const auto image = hooks::loadPng(png);
    ASSERT_TRUE(image) << idd;
    const DialogTemplate* t = AfxFindDialog(idd);
    EXPECT_EQ(image->width, (t->cx * 3 + 1) / 2) << idd;
    EXPECT_EQ(image->height, (t->cy * 13 + 4) / 8) << idd;
  }
}

}  // namespace
