#include "frontend/Dialogs.hpp"

#include "frontend/Globals.hpp"
#include "frontend/winlayer/platform.hpp"

namespace kavold {

using namespace winlayer;

void CKavoldDialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(IDOK);
  UpdateData(true);
  UpdateData(false);
}

// ------------------------------------------------------------ directory

bool CDirectoryDlg::ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
  static const CommandEntry<CDirectoryDlg> commands[] = {{IDC_DIR_BROWSER, &CDirectoryDlg::OnBrowser}};
  return RouteThroughMap(*this, MessageMap<CDirectoryDlg>{commands}, nID, pCmdUI) ||
         CKavoldDialog::ProcessMessageMap(nID, pCmdUI);
}

void CDirectoryDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_DIR_DIRECTORY, m_Directory); }

void CDirectoryDlg::OnOK() {
  CKavoldDialog::OnOK();
  if (!HasEnded()) return;
  SetCurrentDirectoryA(m_Directory);
}

// The file dialog moves the current directory to the chosen file's folder;
// that folder becomes the working directory.  The file itself is not used.
void CDirectoryDlg::OnBrowser() {
  CFileDialog dlg(true, nullptr, nullptr, OFN_HIDEREADONLY, " Hi (*.inf)|*.inf| Inf (*.dat)|*.txt|All(*.*)|*.*||");
  if (dlg.DoModal() != IDOK) return;
  char dir[256];
  GetCurrentDirectoryA(sizeof dir, dir);
  CString s;
  s.Format("%s", dir);
  if (!UpdateData(true)) return;
  m_Directory = s;
  UpdateData(false);
  SetCurrentDirectoryA(m_Directory);
  Invalidate();
}

// ----------------------------------------------------------------- load

void CLoadDlg::SetDefaultNames() {
  const LoadValues defaults;
  for (int k = 0; k < 4; ++k) m_File[k] = defaults.m_File[k];
  m_DelayedFile = defaults.m_DelayedFile;
  m_CemsFile = defaults.m_CemsFile;
}

bool CLoadDlg::ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
  static const CommandEntry<CLoadDlg> commands[] = {
      {IDC_LOAD_BROWSE1, &CLoadDlg::OnFile1},
      {IDC_LOAD_BROWSE1 + 1, &CLoadDlg::OnFile2},
      {IDC_LOAD_BROWSE1 + 2, &CLoadDlg::OnFile3},
      {IDC_LOAD_BROWSE1 + 3, &CLoadDlg::OnFile4},
      {IDC_LOAD_BROWSE_DELAYED, &CLoadDlg::OnDelayedFile},
      {IDC_LOAD_BROWSE_CEMS, &CLoadDlg::OnCemsFile},
  };
  return RouteThroughMap(*this, MessageMap<CLoadDlg>{commands}, nID, pCmdUI) ||
         CKavoldDialog::ProcessMessageMap(nID, pCmdUI);
}

void CLoadDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_LOAD_NFILES, m_NFiles);
  DDV_MinMaxInt(pDX, m_NFiles, 0, kMaxSpectra);
  for (int k = 0; k < 4; ++k) DDX_Text(pDX, IDC_LOAD_FILE1 + k, m_File[k]);
  DDX_Text(pDX, IDC_LOAD_DELAYED, m_Delayed);
  DDX_Text(pDX, IDC_LOAD_DELAYED_FILE, m_DelayedFile);
  DDX_Text(pDX, IDC_LOAD_CEMS, m_NSPCE);
  DDX_Text(pDX, IDC_LOAD_CEMS_FILE, m_CemsFile);
}

void CLoadDlg::OnOK() {
  if (!UpdateData(true)) return;
  UpdateData(false);
  CDialog::OnOK();
}

// Takes the chosen file's bare name; the file is then looked for in the
// working directory found at start, which becomes current again.
void CLoadDlg::BrowseInto(CString& name) {
  CFileDialog dlg(true, nullptr, nullptr, OFN_HIDEREADONLY, " Hi (*.dat)|*.dat| Inf (*.txt)|*.txt|All(*.*)|*.*||");
  if (dlg.DoModal() != IDOK) return;
  const CString chosen = dlg.GetFileName();
  SetCurrentDirectoryA(globals().startDirectory);
  if (!UpdateData(true)) return;
  name = chosen;
  UpdateData(false);
  Invalidate();
}

// ---------------------------------------------------------------- model

bool CModelDlg::ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
  static const CommandEntry<CModelDlg> commands[] = {{IDC_MODEL_BROWSER, &CModelDlg::OnBrowser}};
  return RouteThroughMap(*this, MessageMap<CModelDlg>{commands}, nID, pCmdUI) ||
         CKavoldDialog::ProcessMessageMap(nID, pCmdUI);
}

void CModelDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_MODEL_FILE, m_ModelFile);
  DDX_Text(pDX, IDC_MODEL_NSPC, m_NSPC);
  DDV_MinMaxInt(pDX, m_NSPC, 0, kMaxSpectra);
  for (int k = 0; k < 4; ++k) DDX_Text(pDX, IDC_MODEL_ANGLE1 + k, m_Angle[k]);
}

void CModelDlg::OnBrowser() {
  CFileDialog dlg(true, nullptr, nullptr, OFN_HIDEREADONLY, " Hi (*.inf)|*.inf| Inf (*.txt)|*.txt|All(*.*)|*.*||");
  if (dlg.DoModal() != IDOK) return;
  const CString chosen = dlg.GetFileName();
  SetCurrentDirectoryA(globals().startDirectory);
  if (!UpdateData(true)) return;
  m_ModelFile = chosen;
  UpdateData(false);
  Invalidate();
}

// ---------------------------------------------------------- computation

void CComputationDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_COMP_JWAY, m_Jway);
  DDX_Text(pDX, IDC_COMP_ITEST, m_ITEST);
  DDX_Text(pDX, IDC_COMP_XEXP1, m_XEXP1);
  DDX_Text(pDX, IDC_COMP_XEXP2, m_XEXP2);
  DDX_Text(pDX, IDC_COMP_JFIT, m_JFIT);
  DDX_Text(pDX, IDC_COMP_ISTOP, m_ISTOP);
  DDX_Text(pDX, IDC_COMP_EPFIN, m_EPFIN);
  DDX_Text(pDX, IDC_COMP_SIG, m_SIG);
  DDX_Text(pDX, IDC_COMP_KP, m_KP);
  DDX_Text(pDX, IDC_COMP_AF, m_AF);
  for (int k = 0; k < 4; ++k) DDX_Text(pDX, IDC_COMP_WEIGHT1 + k, m_Weight[k]);
  for (int k = 0; k < 5; ++k) {
    DDX_Text(pDX, IDC_COMP_ICORR1 + 2 * k, m_ICORR[k]);
    DDX_Text(pDX, IDC_COMP_IMAN1 + 2 * k, m_IMAN[k]);
  }
  DDX_Text(pDX, IDC_COMP_SIGMA, m_SIGMA);
  DDX_Text(pDX, IDC_COMP_JAV1, m_JAV1);
  DDV_MinMaxInt(pDX, m_JAV1, 0, kMaxHalfDistribution);
  DDX_Text(pDX, IDC_COMP_SD, m_SD);
  DDX_Text(pDX, IDC_COMP_IDIST, m_IDIST);
}

// -------------------------------------------------------------- general

void CGeneralDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_GEN_MODEL_FILE, m_ModelFile);
  DDX_Text(pDX, IDC_GEN_NNN, m_NNN);
  DDV_MinMaxInt(pDX, m_NNN, 1, kMaxLayers);
  // The repeated block lies inside the model.
  DDX_Text(pDX, IDC_GEN_N1N, m_N1N);
  DDV_MinMaxInt(pDX, m_N1N, 1, m_NNN);
  DDX_Text(pDX, IDC_GEN_N2N, m_N2N);
  DDV_MinMaxInt(pDX, m_N2N, m_N1N, m_NNN);
  DDX_Text(pDX, IDC_GEN_NRN, m_NRN);
  DDX_Text(pDX, IDC_GEN_NM, m_NM);
  DDV_MinMaxInt(pDX, m_NM, 0, kMaxMultiplets);
  for (int k = 0; k < 8; ++k) DDX_Text(pDX, IDC_GEN_S[k], m_S[k]);
  DDX_Text(pDX, IDC_GEN_IBHF, m_IBHF);
  DDX_Text(pDX, IDC_GEN_INORM, m_INORM);
  DDX_Text(pDX, IDC_GEN_HKMAX, m_HKMAX);
  DDX_Text(pDX, IDC_GEN_ISQ, m_ISQ);
}

// ------------------------------------------------------------ multiplet

void CMultipletDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_MULT_BHF, m_Bhf);
  DDX_Text(pDX, IDC_MULT_DBHF, m_dBhf);
  DDX_Text(pDX, IDC_MULT_IS, m_IS);
  DDX_Text(pDX, IDC_MULT_EFG, m_EFG);
  DDX_Text(pDX, IDC_MULT_GRD, m_GRd);
  DDX_Text(pDX, IDC_MULT_BETA, m_Beta);
  DDX_Text(pDX, IDC_MULT_GAMMA, m_Gamma);
  DDX_Text(pDX, IDC_MULT_RANDOM, m_Random);
  DDX_Text(pDX, IDC_MULT_PLANE, m_Plane);
  DDX_Text(pDX, IDC_MULT_WIDTH, m_Width);
}

// ---------------------------------------------------------------- layer

void CLayerDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_LAYER_H1A, m_H1A);
  DDX_Text(pDX, IDC_LAYER_RECHI, m_ReChi);
  DDX_Text(pDX, IDC_LAYER_IMCHI, m_ImChi);
  DDX_Text(pDX, IDC_LAYER_WIDTH, m_WIDTH);
  DDX_Text(pDX, IDC_LAYER_KSTEP, m_KSTEP);
  DDX_Text(pDX, IDC_LAYER_KIND1, m_KIND1);
  DDX_Text(pDX, IDC_LAYER_ZD1, m_ZD1);
  DDX_Text(pDX, IDC_LAYER_KIND2, m_KIND2);
  DDX_Text(pDX, IDC_LAYER_ZD2, m_ZD2);
  float* const angles[] = {&m_BE, &m_GA, &m_Rand, &m_Plane, &m_WID};
  for (int k = 0; k < 5; ++k) DDX_Text(pDX, IDC_LAYER_ANGLE1 + k, *angles[k]);
  for (int k = 0; k < 8; ++k) {
    DDX_Text(pDX, IDC_LAYER_V1 + k, m_V[k]);
    DDX_Text(pDX, IDC_LAYER_KINDV1 + k, m_KINDV[k]);
    DDX_Text(pDX, IDC_LAYER_ZDV[k], m_ZDV[k]);
  }
}

// ---------------------------------------------------------------- small

void CNewModelDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_NEWMODEL_NAME, m_NewModelFile);
  DDX_Check(pDX, IDC_NEWMODEL_CONTINUE, m_Continue);
}

void CFitDlg::DoDataExchange(CDataExchange* pDX) { DDX_Check(pDX, IDC_FIT_YES, m_Fit); }

void CMarkDlg::DoDataExchange(CDataExchange* pDX) { DDX_Check(pDX, IDC_MARK_CREATE, m_CreateModel); }

void CStopDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_STOP_VALUE, m_Stop); }

// ----------------------------------------------------------------- axes

bool CAxesDlg::ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
  // The scale buttons change only the flag; the dialog stays open.
  static const CommandEntry<CAxesDlg> commands[] = {
      {IDC_AXES_NORMAL, &CAxesDlg::OnNormal},
      {IDC_AXES_LOG_SCALE, &CAxesDlg::OnLogScale},
  };
  return RouteThroughMap(*this, MessageMap<CAxesDlg>{commands}, nID, pCmdUI) ||
         CKavoldDialog::ProcessMessageMap(nID, pCmdUI);
}

void CAxesDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_AXES_XINI, Xini);
  DDX_Text(pDX, IDC_AXES_XFIN, Xfin);
  DDX_Text(pDX, IDC_AXES_XSTEP, Xstep);
  DDX_Text(pDX, IDC_AXES_YINI, Yini);
  DDX_Text(pDX, IDC_AXES_YFIN, Yfin);
  DDX_Text(pDX, IDC_AXES_YSTEP, Ystep);
}

void CAxesDlg::OnOK() {
  CKavoldDialog::OnOK();
  if (HasEnded()) Invalidate();
}

void CModelScaleDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_SCALE_INITIAL, m_Initial);
  DDX_Text(pDX, IDC_SCALE_FINAL, m_Final);
  DDX_Text(pDX, IDC_SCALE_STEP, m_Step);
  DDX_Text(pDX, IDC_SCALE_YHFI, m_Yhfi);
}

void CXAxisDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_XAXIS_EMODMAX, m_Emodmax);
  DDX_Text(pDX, IDC_XAXIS_EMODSTEP, m_Emodstep);
}

}  // namespace kavold
