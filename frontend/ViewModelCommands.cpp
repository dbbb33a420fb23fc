// The commands that set up a calculation: starting from defaults, loading
// the experiments, building a model in the chain of model dialogs, choosing
// the model file and the angles, saving a model under a new name, the
// isotope, the working directory, and the small commands of the view.
//
// The model lives in three places that these commands keep in step: the
// dialogs' members, the model table and the model file.
//
// A dialog closed with Escape (or its close box) ends its command there:
// the files that the command would write from it stay as they are, and so
// does the view.

#include "frontend/Globals.hpp"
#include "frontend/KAVOLDView.hpp"
#include "frontend/ParamFiles.hpp"
#include "frontend/winlayer/platform.hpp"
#include "numlib/yvlayout.hpp"

namespace kavold {

namespace yv = numlib::yv;

namespace {

// The hyperfine and the angular quantities of a multiplet, in the order of
// their table lines.
float Multiplet::* const kHyperfine[yv::NHYP] = {&Multiplet::Bhf, &Multiplet::dBhf, &Multiplet::IS, &Multiplet::EFG,
                                                 &Multiplet::GRd};
float Multiplet::* const kAngular[yv::NANG] = {&Multiplet::Beta, &Multiplet::Gamma, &Multiplet::Random,
                                               &Multiplet::Plane, &Multiplet::Wid};

// Multiplet m between the view's values and its column of the table.
void multipletIntoTable(const Multiplet& mu, int m, int NNN, ModelTable& t) {
  for (int h = 1; h <= yv::NHYP; ++h) t(yv::lineHyp(NNN, h), m) = mu.*kHyperfine[h - 1];
  for (int a = 1; a <= yv::NANG; ++a) t(yv::lineAngM(NNN, a), m) = mu.*kAngular[a - 1];
}

void multipletFromTable(Multiplet& mu, int m, int NNN, const ModelTable& t) {
  for (int h = 1; h <= yv::NHYP; ++h) mu.*kHyperfine[h - 1] = t(yv::lineHyp(NNN, h), m);
  for (int a = 1; a <= yv::NANG; ++a) mu.*kAngular[a - 1] = t(yv::lineAngM(NNN, a), m);
}

void multipletIntoDialog(const Multiplet& mu, CMultipletDlg& d) {
  float* const fields[10] = {&d.m_Bhf,  &d.m_dBhf,  &d.m_IS,     &d.m_EFG,   &d.m_GRd,
                             &d.m_Beta, &d.m_Gamma, &d.m_Random, &d.m_Plane, &d.m_Width};
  for (int i = 0; i < 5; ++i) *fields[i] = mu.*kHyperfine[i];
  for (int i = 0; i < 5; ++i) *fields[5 + i] = mu.*kAngular[i];
}

void multipletFromDialog(Multiplet& mu, const CMultipletDlg& d) {
  const float fields[10] = {d.m_Bhf, d.m_dBhf, d.m_IS, d.m_EFG, d.m_GRd, d.m_Beta, d.m_Gamma, d.m_Random, d.m_Plane,
                            d.m_Width};
  for (int i = 0; i < 5; ++i) mu.*kHyperfine[i] = fields[i];
  for (int i = 0; i < 5; ++i) mu.*kAngular[i] = fields[5 + i];
}

// Sublayer k between the layer dialog and the table with its integers.
enum class Towards { Dialog, Table };

void bindLayer(CLayerDlg& L, int k, ModelTable& t, LayerInts& ints, Towards way) {
  const auto real = [way](float& d, float& v) { way == Towards::Dialog ? d = v : v = d; };
  const auto integer = [way](int& d, int& v) { way == Towards::Dialog ? d = v : v = d; };
  real(L.m_H1A, t(k, yv::H1A));
  real(L.m_ReChi, t(k, yv::ELD1));
  real(L.m_ImChi, t(k, yv::ELD2));
  real(L.m_ZD1, t(k, yv::ZD1));
  real(L.m_ZD2, t(k, yv::ZD2));
  real(L.m_WIDTH, t(k, yv::WIDTH));
  float* const angles[yv::NANG] = {&L.m_BE, &L.m_GA, &L.m_Rand, &L.m_Plane, &L.m_WID};
  for (int a = 1; a <= yv::NANG; ++a) real(*angles[a - 1], t(k, yv::colAng(a)));
  for (int K = 1; K <= 8; ++K) {
    real(L.m_V[K - 1], t(k, yv::colV(K)));
    real(L.m_ZDV[K - 1], t(k, yv::colZDV(K)));
    integer(L.m_KINDV[K - 1], ints(k, kColKINDV1 + K - 1));
  }
  integer(L.m_KIND1, ints(k, kColKIND1));
  integer(L.m_KIND2, ints(k, kColKIND2));
  integer(L.m_KSTEP, ints(k, kColKSTEP));
}

}  // namespace

bool CKAVOLDView::ShowModal(CDialog& dlg) {
  const bool ok = dlg.DoModal() == winlayer::IDOK;
  Invalidate();
  return ok;
}

void CKAVOLDView::MakeWorkingDirectoryCurrent() { winlayer::SetCurrentDirectoryA(m_DirectoryDlg.m_Directory); }

// ------------------------------------------------------------ start

// The experiments are asked for before the default files are written, so
// that Escape in the load dialog leaves the directory as it was.
void CKAVOLDView::OnStartFromZero() {
  MakeWorkingDirectoryCurrent();
  if (!AskExperiments()) return;
  WriteNextWithoutVariations();
  WriteStopFile(1);
  WriteZeprinInp();
  WriteAxisFile();
  TakeExperiments();
  // Without a ready model file the user is asked to create one.
  if (!ShowModal(m_MarkDlg)) return;
  if (m_MarkDlg.m_CreateModel == 1)
    OnCreateModel();
  else
    OnModelFile();
}

void CKAVOLDView::OnLoadExper() {
  if (AskExperiments()) TakeExperiments();
}

bool CKAVOLDView::AskExperiments() { return ShowModalKeeping(m_LoadDlg, static_cast<LoadValues&>(m_LoadDlg)); }

void CKAVOLDView::TakeExperiments() {
  KavoldGlobals& g = globals();
  g.runCEMS = g.runPrompt = g.runDelayed = g.runTime = 0;  // the next runs give new initial curves
  m_del.Intexp = m_LoadDlg.m_Delayed;
  MakeWorkingDirectoryCurrent();
  WriteFilesE();
  for (int k = 0; k < 4; ++k) m_fileLabel[k] = m_LoadDlg.m_File[k];
  m_LoadDlg.m_NFiles = ReadTimeExperiments(m_LoadDlg.m_File, m_LoadDlg.m_NFiles, ExperimentRead::Load, m_time);
  WriteFilesE();
  m_reflExpName = m_LoadDlg.m_DelayedFile;
  if (m_del.Intexp != 0 && !ReadWholeFile(m_reflExpName)) {
    m_del.Intexp = m_LoadDlg.m_Delayed = 0;
    Say("CAN NOT FIND FILES with experimantal delayed spectrum");
  }
  WriteDelFile();
  WriteCemsFile();
  Invalidate();
}

// ------------------------------------------------------------ model

bool CKAVOLDView::ChooseModelAndAngles() {
  if (!ShowModalKeeping(m_ModelDlg, static_cast<ModelChoice&>(m_ModelDlg))) return false;
  MakeWorkingDirectoryCurrent();
  WriteFileM();
  return true;
}

void CKAVOLDView::OnModelFile() {
  if (!ChooseModelAndAngles()) return;
  OnGetPreviousSettings();
  Invalidate();
}

void CKAVOLDView::FillModelDialogsFromTable() {
  CGeneralDlg& gd = m_GeneralDlg;
  const int NNN = gd.m_NNN;
  gd.m_HKMAX = m_model(yv::lineS(NNN), yv::HKMAX);
  for (int K = 1; K <= 8; ++K) {
    gd.m_S[K - 1] = m_model(yv::lineS(NNN), K);
    multipletFromTable(m_multiplet(K), K, NNN, m_model);
  }
}

bool CKAVOLDView::AskMultiplets() {
  const int NNN = m_GeneralDlg.m_NNN;
  for (int m = 1; m <= m_GeneralDlg.m_NM; ++m) {
    Say(Format(" \t Multiplet No. %u\t", m).c_str());
    multipletIntoDialog(m_multiplet(m), m_MultipletDlg);
    if (!ShowModal(m_MultipletDlg)) return false;
    multipletFromDialog(m_multiplet(m), m_MultipletDlg);
    multipletIntoTable(m_multiplet(m), m, NNN, m_model);
  }
  return true;
}

bool CKAVOLDView::AskLayers(std::string& text) {
  const CGeneralDlg& gd = m_GeneralDlg;
  const int NNN = gd.m_NNN;
  for (int k = 1; k <= NNN; ++k) {
    Say(k < NNN ? Format(" \t Layer No. %u\t", k).c_str() : " \t Substrate \t");
    if (globals().editFlag == 2) bindLayer(m_LayerDlg, k, m_model, m_layerInt, Towards::Dialog);
    if (!ShowModal(m_LayerDlg)) return false;
    bindLayer(m_LayerDlg, k, m_model, m_layerInt, Towards::Table);
    for (int K = 1; K <= 8; ++K) m_model(yv::lineS(NNN), K) = gd.m_S[K - 1];
    text += LayerRecordText(k, m_model, m_layerInt);
  }
  return true;
}

bool CKAVOLDView::AskModel(std::string& text) {
  if (globals().editFlag == 2) FillModelDialogsFromTable();
  m_model.computed = {};  // every value the chain writes comes from its dialogs
  if (!ShowModal(m_GeneralDlg)) return false;
  const CGeneralDlg& gd = m_GeneralDlg;
  const int NNN = gd.m_NNN;
  if (NNN < 1 || NNN > kMaxLayers) {
    Say(Format("The model holds %d sublayers; a model file holds 1 to %d.", NNN, kMaxLayers).c_str());
    return false;
  }
  if (!AskMultiplets()) return false;
  m_model(yv::lineS(NNN), yv::HKMAX) = gd.m_HKMAX;
  text = ModelHeadText(m_modelKind, gd, m_model, ModelHeaders::Dialogs);
  if (!AskLayers(text)) return false;
  // The hyperfine and angular records hold all eight multiplets.
  for (int m = 1; m <= 8; ++m) multipletIntoTable(m_multiplet(m), m, NNN, m_model);
  text += ModelTailText(m_modelKind, NNN, m_model, m_layerInt, ModelHeaders::Dialogs);
  return true;
}

namespace {

// What the chain of model dialogs changes before the model file is written.
struct ModelChain {
  ModelHead head;
  MultipletValues multiplet;
  LayerValues layer;
  Arr1<Multiplet, 8> multiplets;
  ModelTable table;
  LayerInts ints;
};

}  // namespace

void CKAVOLDView::OnCreateModel() {
  const ModelChain before{m_GeneralDlg, m_MultipletDlg, m_LayerDlg, m_multiplet, m_model, m_layerInt};
  std::string text;
  if (!AskModel(text)) {
    static_cast<ModelHead&>(m_GeneralDlg) = before.head;
    static_cast<MultipletValues&>(m_MultipletDlg) = before.multiplet;
    static_cast<LayerValues&>(m_LayerDlg) = before.layer;
    m_multiplet = before.multiplets;
    m_model = before.table;
    m_layerInt = before.ints;
    return;
  }
  const CString name = m_GeneralDlg.m_ModelFile;
  if (!WriteFile(name, text) || !SaveCopyAs(name, name)) return;
  OnModelFile();
  Invalidate();
}

// A name left unchanged copies the file onto itself, which leaves it whole.
bool CKAVOLDView::SaveCopyAs(const char* from, const CString& offered) {
  const CString source(from);
  const CString before = m_NewModelDlg.m_NewModelFile;
  m_NewModelDlg.m_NewModelFile = offered;
  if (!ShowModal(m_NewModelDlg)) {
    m_NewModelDlg.m_NewModelFile = before;
    return false;
  }
  const CString& to = m_NewModelDlg.m_NewModelFile;
  if (!winlayer::CopyFileA(source, to, 0))
    Say(ReadWholeFile(source) ? CString("can not create file: ") + to : CString("can not find file: ") + source);
  if (m_NewModelDlg.m_Continue == 1) m_ModelDlg.m_ModelFile = to;
  return true;
}

void CKAVOLDView::OnSaveFittedModel() {
  EditWithoutWait("LAYSPC.RES");
  MakeWorkingDirectoryCurrent();
  if (!SaveCopyAs("LAYSPC.RES", m_ModelDlg.m_ModelFile)) return;
  if (globals().runTime > 0) ReadAngleFile();
  OnModelFile();
  Invalidate();
}

void CKAVOLDView::OnNewModel() { OnSaveFittedModel(); }

void CKAVOLDView::OnSaveModelAs() {
  if (!ShowModal(m_NewModelDlg)) return;
  if (m_NewModelDlg.m_Continue == 1) m_ModelDlg.m_ModelFile = m_NewModelDlg.m_NewModelFile;
  WriteModelFile();
  Invalidate();
}

// ------------------------------------------------------------ settings

// The isotope's constants become "Tconst.INI"; its first line names it.
void CKAVOLDView::SelectIsotope(const char* constants) {
  ProbeFile(constants, CString("can not find file: ") + constants);
  winlayer::CopyFileA(constants, "Tconst.INI", 0);
  const auto text = ReadWholeFile("Tconst.INI");
  if (!text) {
    Say("CAN NOT FIND FILE: Tconst.INI");
    return;
  }
  if (text->empty()) {
    Say(kInvalidFile);
    return;
  }
  std::string first = text->substr(0, text->find('\n'));
  if (!first.empty() && first.back() == '\r') first.pop_back();
  MessageBox("That is your choice", first.c_str());
}

void CKAVOLDView::OnSelect57Fe() { SelectIsotope("FeConst.INI"); }
void CKAVOLDView::OnSelect149Sm() { SelectIsotope("SmConst.INI"); }
void CKAVOLDView::OnSelect151Eu() { SelectIsotope("EuConst.INI"); }
void CKAVOLDView::OnSelect119Sn() { SelectIsotope("SnConst.INI"); }

void CKAVOLDView::OnDirectory() { ShowModal(m_DirectoryDlg); }

void CKAVOLDView::OnTimDialog() {
  if (ShowModal(m_ComputationDlg)) WriteZeprinInp();
}

void CKAVOLDView::OnStopCalculations() {
  if (!ShowModal(m_StopDlg)) return;
  WriteStopFile(m_StopDlg.m_Stop);
  Invalidate();
}

void CKAVOLDView::OnMarkBox() { ShowModal(m_MarkDlg); }

void CKAVOLDView::OnVersion() { Say("KAVOLD5"); }

// ------------------------------------------------------------ graphs

void CKAVOLDView::OnAbsorption() { ShowModal(m_AbsorptionDlg); }
void CKAVOLDView::OnReflectivity() { ShowModal(m_ReflectivityDlg); }

// The model graphs keep their scales in "AXISF.INP".  They have no button:
// Escape and the close box are how a person closes them, so a scale
// accepted in their scale dialog stands however they close.
void CKAVOLDView::ShowModelGraph(CModelGraphDlg& dlg) {
  ShowModal(dlg);
  WriteAxisFile();
}

void CKAVOLDView::OnHfiGraph() { ShowModelGraph(m_HfiGraphDlg); }

void CKAVOLDView::OnElDensity() { ShowModelGraph(m_DepthProfileDlg); }

}  // namespace kavold
