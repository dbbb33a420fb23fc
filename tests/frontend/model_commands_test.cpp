// The model and settings commands, driven as a person would drive their
// dialogs: the model built in the dialog chain (and read by the time-spectra
// program's own reader), a fitted model saved under a new name, copies of a
// file onto itself, a start from zero, the isotope, the text editor and the
// small commands.
#include <filesystem>
#include <map>
#include <set>

#include "frontend/Globals.hpp"
#include "frontend/ParamFiles.hpp"
#include "frontend/resource.hpp"
#include "kavold_fixture.hpp"
#include "numlib/yvlayout.hpp"
#include "programs/common/model.hpp"
#include "programs/common/params.hpp"

namespace {

using namespace kavoldtest;
namespace fs = std::filesystem;
namespace yv = numlib::yv;

using Typing = std::map<int, std::string>;

// Each dialog opened is noted; `typing` says what is typed into the k-th
// opening of a template (from 0), `checks` which boxes are marked, and
// `escapes` which openings are left with Escape.
class ModelCommands : public KavoldApp {
 protected:
  void SetUp() override {
    KavoldApp::SetUp();
    hooks::setDialogHook([this](hooks::DialogDriver& d) {
      const UINT id = d.templateId();
      const int k = opened[id]++;
      order.push_back(id);
      if (auto it = seen.find(id); it != seen.end()) it->second(d, k);
      if (auto it = typing.find({id, k}); it != typing.end())
        for (const auto& [control, text] : it->second) d.type(control, text.c_str());
      for (int box : checks[id]) d.setChecked(box, true);
      if (escapes.count({id, k})) {
        d.pressEscape();
        return;
      }
      d.click(IDOK);
      EXPECT_TRUE(d.ended()) << id;
    });
  }
  std::map<UINT, int> opened;
  std::vector<UINT> order;
  std::map<std::pair<UINT, int>, Typing> typing;
  std::map<UINT, std::vector<int>> checks;
  std::set<std::pair<UINT, int>> escapes;
  std::map<UINT, std::function<void(hooks::DialogDriver&, int)>> seen;  // looks at a dialog before typing
};

// A 57Fe film of 160 Angstrom on a substrate, typed into the chain.
void typeFilm(std::map<std::pair<UINT, int>, Typing>& typing) {
  typing[{CGeneralDlg::IDD, 0}] = {{IDC_GEN_MODEL_FILE, "film.inf"}, {IDC_GEN_NNN, "2"}, {IDC_GEN_NM, "1"},
                                   {IDC_GEN_IBHF, "1"},               {IDC_GEN_ISQ, "0"}, {IDC_GEN_HKMAX, "1"}};
  typing[{CMultipletDlg::IDD, 0}] = {{IDC_MULT_BHF, "32.5"}};
  typing[{CLayerDlg::IDD, 0}] = {{IDC_LAYER_H1A, "160"}, {IDC_LAYER_RECHI, "-14.66"}, {IDC_LAYER_IMCHI, "0.6205"},
                                 {IDC_LAYER_ANGLE1, "90"}, {IDC_LAYER_V1, "1"}};
  typing[{CLayerDlg::IDD, 1}] = {{IDC_LAYER_H1A, "1000"}, {IDC_LAYER_RECHI, "-4.64"}, {IDC_LAYER_IMCHI, "0.045"},
                                 {IDC_LAYER_ANGLE1, "90"}, {IDC_LAYER_V1, "0"}};
  typing[{CNewModelDlg::IDD, 0}] = {{IDC_NEWMODEL_NAME, "film2.inf"}};
}

TEST_F(ModelCommands, TheDialogChainWritesAModelTheTimeSpectraProgramReads) {
  for (const char* name : {"Tconst.INI", "NEXT.INP", "STOP.INP"}) dir.write(name, " 1\n");
  view->WriteZeprinInp();
  typeFilm(typing);
  checks[CNewModelDlg::IDD] = {IDC_NEWMODEL_CONTINUE};
  view->OnCreateModel();
  EXPECT_EQ(order, (std::vector<UINT>{CGeneralDlg::IDD, CMultipletDlg::IDD, CLayerDlg::IDD, CLayerDlg::IDD,
                                      CNewModelDlg::IDD, CModelDlg::IDD}));
  const std::vector<CString> m = messages();
  ASSERT_GE(m.size(), 3u);
  EXPECT_EQ((std::vector<CString>{m[0], m[1], m[2]}),
            (std::vector<CString>{" \t Multiplet No. 1\t", " \t Layer No. 1\t", " \t Substrate \t"}));
  // The copy is the current model, and "FILEM.INP" names it.
  EXPECT_EQ(dir.read("film2.inf"), dir.read("film.inf"));
  EXPECT_EQ(view->m_ModelDlg.m_ModelFile, "film2.inf");
  EXPECT_EQ(globals().editFlag, 2);  // the settings were read again

  fio::Unit log(4);
  log.openNew("ZEPRIN.RES");
  common::ModelFileRef f;
  common::RDFILEM(log, f, {});
  EXPECT_EQ(f.name, "film2.inf");
  common::Model model;
  common::NuclearConstants nc;
  numlib::YVTable YV, YVS;
  common::INITYV(YV, YVS);
  common::RDMODEL(log, f, model, nc, YV);
  EXPECT_EQ((std::vector<int>{model.NNN, model.NM, model.IBHF, model.ISQ}), (std::vector<int>{2, 1, 1, 0}));
  const std::vector<std::pair<std::pair<int, int>, float>> values = {{{1, yv::H1A}, 160},
                                                                     {{1, yv::ELD1}, -14.66f},
                                                                     {{2, yv::ELD2}, 0.045f},
                                                                     {{1, yv::colAng(yv::BE)}, 90},
                                                                     {{yv::lineHyp(2, 1), 1}, 32.5f}};
  for (const auto& [at, v] : values) EXPECT_NEAR(YV(at.first, at.second), v, 1e-4f) << at.first << " " << at.second;

  // Again from the model table: the dialogs show the model, and a name left
  // as it was (in other letters) copies the file onto itself whole.  What
  // passes through the dialogs is typed, though a joint fit computed it.
  const std::string written = dir.read("film.inf");
  ASSERT_NE(written.find(" 0.6205 "), std::string::npos) << written;
  view->m_model.computed.fill(true);
  opened.clear();
  typing.clear();
  typing[{CNewModelDlg::IDD, 0}] = {{IDC_NEWMODEL_NAME, "FILM.INF"}};
  seen[CLayerDlg::IDD] = [](hooks::DialogDriver& d, int k) {
    EXPECT_EQ(d.text(IDC_LAYER_H1A), k == 0 ? "160" : "1000");
  };
  seen[CMultipletDlg::IDD] = [](hooks::DialogDriver& d, int) { EXPECT_EQ(d.text(IDC_MULT_BHF), "32.5"); };
  view->OnCreateModel();
  EXPECT_EQ(dir.read("film.inf"), written);
  EXPECT_FALSE(dir.exists("FILM.INF") && !fs::equivalent(dir.path() / "FILM.INF", dir.path() / "film.inf"));
}

// Escape at the substrate, after the other dialogs of the chain were
// confirmed: no model file, and the dialogs, the multiplets and the table
// as they were before the chain.
TEST_F(ModelCommands, EscapeInTheChainLeavesTheModelAsItWas) {
  typeFilm(typing);
  escapes = {{CLayerDlg::IDD, 1}};
  const ModelHead head = view->m_GeneralDlg;
  const float H1A = view->m_LayerDlg.m_H1A, Bhf = view->m_MultipletDlg.m_Bhf;
  view->OnCreateModel();
  EXPECT_EQ(order, (std::vector<UINT>{CGeneralDlg::IDD, CMultipletDlg::IDD, CLayerDlg::IDD, CLayerDlg::IDD}));
  EXPECT_FALSE(dir.exists("film.inf"));
  EXPECT_EQ(view->m_GeneralDlg.m_ModelFile, head.m_ModelFile);
  EXPECT_EQ((std::vector<int>{view->m_GeneralDlg.m_NNN, view->m_GeneralDlg.m_IBHF, view->m_GeneralDlg.m_ISQ}),
            (std::vector<int>{head.m_NNN, head.m_IBHF, head.m_ISQ}));
  EXPECT_EQ((std::vector<float>{view->m_LayerDlg.m_H1A, view->m_MultipletDlg.m_Bhf, view->m_multiplet(1).Bhf}),
            (std::vector<float>{H1A, Bhf, kDefaultBhf}));
  EXPECT_EQ((std::vector<float>{view->m_model(1, yv::H1A), view->m_model(yv::lineHyp(2, 1), 1)}),
            (std::vector<float>{0, 0}));
}

// "New_M": the fitted model opens in the editor without waiting and is
// copied under the name typed; the angles of the last run are taken over.
// Saved under its own name it stays whole.
TEST_F(ModelCommands, TheFittedModelIsSavedUnderANewName) {
  dir.write("LAYSPC.RES", " 0   LAYSPC.INF\n fitted\n");
  dir.write("ANGLE.RES", "    2.9000\n");
  globals().runTime = 1;
  typing[{CNewModelDlg::IDD, 0}] = {{IDC_NEWMODEL_NAME, "fitted.inf"}};
  checks[CNewModelDlg::IDD] = {IDC_NEWMODEL_CONTINUE};
  seen[CModelDlg::IDD] = [](hooks::DialogDriver& d, int) { EXPECT_EQ(d.text(IDC_MODEL_ANGLE1), "2.9"); };
  view->OnSaveFittedModel();
  ASSERT_FALSE(edits.empty());
  EXPECT_EQ(fs::path(edits[0].path).filename(), "LAYSPC.RES");
  EXPECT_FALSE(edits[0].wait);
  EXPECT_EQ(dir.read("fitted.inf"), dir.read("LAYSPC.RES"));
  EXPECT_EQ(view->m_ModelDlg.m_ModelFile, "fitted.inf");
  EXPECT_EQ(dir.read("FILEM.INP").substr(0, 11), "fitted.inf\n");

  view->m_ModelDlg.m_ModelFile = "Layspc.res";
  typing.clear();
  view->OnNewModel();
  EXPECT_EQ(dir.read("LAYSPC.RES"), " 0   LAYSPC.INF\n fitted\n");
}

// The isotope's constants become "Tconst.INI" and their first line the
// caption; a missing file is reported and the last choice stands.
TEST_F(ModelCommands, TheIsotopeCopiesItsConstants) {
  const std::string text = "119Sn constants\r\n 23.871  value\n";
  dir.write("SnConst.INI", text);
  view->OnSelect119Sn();
  view->OnSelect57Fe();
  EXPECT_EQ(dir.read("Tconst.INI"), text);
  EXPECT_EQ(messages(), (std::vector<CString>{"That is your choice", "can not find file: FeConst.INI",
                                              "That is your choice"}));
  EXPECT_EQ(boxes.boxes[0].caption, "119Sn constants");
  EXPECT_EQ(boxes.boxes[2].caption, "119Sn constants");
}

}  // namespace
