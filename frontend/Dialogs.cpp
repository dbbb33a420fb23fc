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
  static const CommandEntry<CDirectoryDlg> commands[] = {{IDC_BROWSER, &CDirectoryDlg::OnBrowser}};
  return RouteThroughMap(*this, MessageMap<CDirectoryDlg>{commands}, nID, pCmdUI) ||
         CKavoldDialog::ProcessMessageMap(nID, pCmdUI);
}

void CDirectoryDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_DIRECTORY, m_Directory); }

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

CLoadDlg::CLoadDlg() : CKavoldDialog(IDD) {
  m_File[0] = "xxx1.dat";
  m_File[1] = "xxx2.dat";
  m_File[2] = "xxx3.dat";
  m_File[3] = "xxx4.dat";
  m_DelayedFile = "xxxD.dat";
  m_CemsFile = "xxxC.dat";
}

bool CLoadDlg::ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
  static const CommandEntry<CLoadDlg> commands[] = {
      {IDC_BROWSE1, &CLoadDlg::OnFile1},
      {IDC_BROWSE1 + 1, &CLoadDlg::OnFile2},
      {IDC_BROWSE1 + 2, &CLoadDlg::OnFile3},
      {IDC_BROWSE1 + 3, &CLoadDlg::OnFile4},
      {IDC_BROWSE_DELAYED, &CLoadDlg::OnDelayedFile},
      {IDC_BROWSE_CEMS, &CLoadDlg::OnCemsFile},
  };
  return RouteThroughMap(*this, MessageMap<CLoadDlg>{commands}, nID, pCmdUI) ||
         CKavoldDialog::ProcessMessageMap(nID, pCmdUI);
}

void CLoadDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_NFILES, m_NFiles);
  DDV_MinMaxInt(pDX, m_NFiles, 0, kMaxSpectra);
  for (int k = 0; k < 4; ++k) DDX_Text(pDX, IDC_FILE1 + k, m_File[k]);
  DDX_Text(pDX, IDC_DELAYED, m_Delayed);
  DDX_Text(pDX, IDC_DELAYED_FILE, m_DelayedFile);
  DDX_Text(pDX, IDC_CEMS, m_NSPCE);
  DDX_Text(pDX, IDC_CEMS_FILE, m_CemsFile);
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
  static const CommandEntry<CModelDlg> commands[] = {{IDC_BROWSER, &CModelDlg::OnBrowser}};
  return RouteThroughMap(*this, MessageMap<CModelDlg>{commands}, nID, pCmdUI) ||
         CKavoldDialog::ProcessMessageMap(nID, pCmdUI);
}

void CModelDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_MODEL_FILE, m_ModelFile);
  DDX_Text(pDX, IDC_NSPC, m_NSPC);
  DDV_MinMaxInt(pDX, m_NSPC, 0, kMaxSpectra);
  for (int k = 0; k < 4; ++k) DDX_Text(pDX, IDC_ANGLE1 + k, m_Angle[k]);
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
  DDX_Text(pDX, 1000, m_Jway);
  DDX_Text(pDX, 1003, m_ITEST);
  DDX_Text(pDX, 1004, m_XEXP1);
  DDX_Text(pDX, 1011, m_XEXP2);
  DDX_Text(pDX, 1029, m_JFIT);
  DDX_Text(pDX, 1001, m_ISTOP);
  DDX_Text(pDX, 1009, m_EPFIN);
  DDX_Text(pDX, 1014, m_SIG);
  DDX_Text(pDX, 1002, m_KP);
  DDX_Text(pDX, 1008, m_AF);
  for (int k = 0; k < 4; ++k) DDX_Text(pDX, 1025 + k, m_Weight[k]);
  for (int k = 0; k < 5; ++k) {
    DDX_Text(pDX, 1015 + 2 * k, m_ICORR[k]);
    DDX_Text(pDX, 1016 + 2 * k, m_IMAN[k]);
  }
  DDX_Text(pDX, 1005, m_SIGMA);
  DDX_Text(pDX, 1006, m_JAV1);
  DDV_MinMaxInt(pDX, m_JAV1, 0, kMaxHalfDistribution);
  DDX_Text(pDX, 1007, m_SD);
  DDX_Text(pDX, 1010, m_IDIST);
}

// -------------------------------------------------------------- general

void CGeneralDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, 1025, m_ModelFile);
  DDX_Text(pDX, 1000, m_NNN);
  DDV_MinMaxInt(pDX, m_NNN, 1, kMaxLayers);
  // The repeated block lies inside the model.
  DDX_Text(pDX, 1002, m_N1N);
  DDV_MinMaxInt(pDX, m_N1N, 1, m_NNN);
  DDX_Text(pDX, 1003, m_N2N);
  DDV_MinMaxInt(pDX, m_N2N, m_N1N, m_NNN);
  DDX_Text(pDX, 1004, m_NRN);
  DDX_Text(pDX, 1005, m_NM);
  DDV_MinMaxInt(pDX, m_NM, 0, kMaxMultiplets);
  static const int sIds[] = {1001, 1006, 1007, 1008, 1009, 1010, 1011, 1012};
  for (int k = 0; k < 8; ++k) DDX_Text(pDX, sIds[k], m_S[k]);
  DDX_Text(pDX, 1013, m_IBHF);
  DDX_Text(pDX, 1015, m_INORM);
  DDX_Text(pDX, 1017, m_HKMAX);
  DDX_Text(pDX, 1016, m_ISQ);
}

// ------------------------------------------------------------ multiplet

void CMultipletDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, 1001, m_Bhf);
  DDX_Text(pDX, 1002, m_dBhf);
  DDX_Text(pDX, 1003, m_IS);
  DDX_Text(pDX, 1004, m_EFG);
  DDX_Text(pDX, 1000, m_GRd);
  DDX_Text(pDX, 1005, m_Beta);
  DDX_Text(pDX, 1006, m_Gamma);
  DDX_Text(pDX, 1008, m_Random);
  DDX_Text(pDX, 1009, m_Plane);
  DDX_Text(pDX, 1010, m_Width);
}

// ---------------------------------------------------------------- layer

CLayerDlg::CLayerDlg() : CKavoldDialog(IDD) {
  for (int& kind : m_KINDV) kind = 1;
}

void CLayerDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, 1001, m_H1A);
  DDX_Text(pDX, 1002, m_ReChi);
  DDX_Text(pDX, 1003, m_ImChi);
  DDX_Text(pDX, 1011, m_WIDTH);
  DDX_Text(pDX, 1010, m_KSTEP);
  DDX_Text(pDX, 1009, m_KIND1);
  DDX_Text(pDX, 1008, m_ZD1);
  DDX_Text(pDX, 1007, m_KIND2);
  DDX_Text(pDX, 1006, m_ZD2);
  DDX_Text(pDX, 1012, m_BE);
  DDX_Text(pDX, 1013, m_GA);
  DDX_Text(pDX, 1014, m_Rand);
  DDX_Text(pDX, 1015, m_Plane);
  DDX_Text(pDX, 1016, m_WID);
  static const int zdvIds[] = {1033, 1034, 1035, 1038, 1039, 1040, 1041, 1042};
  for (int k = 0; k < 8; ++k) {
    DDX_Text(pDX, 1017 + k, m_V[k]);
    DDX_Text(pDX, 1025 + k, m_KINDV[k]);
    DDX_Text(pDX, zdvIds[k], m_ZDV[k]);
  }
}

// ---------------------------------------------------------------- small

void CNewModelDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, 1000, m_NewModelFile);
  DDX_Check(pDX, 1034, m_Continue);
}

void CFitDlg::DoDataExchange(CDataExchange* pDX) { DDX_Check(pDX, 1035, m_Fit); }

void CMarkDlg::DoDataExchange(CDataExchange* pDX) { DDX_Check(pDX, 1035, m_CreateModel); }

void CStopDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, 1000, m_Stop); }

// ----------------------------------------------------------------- axes

bool CAxesDlg::ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
  // The scale buttons change only the flag; the dialog stays open.
  static const CommandEntry<CAxesDlg> commands[] = {
      {IDC_NORMAL, &CAxesDlg::OnNormal},
      {IDC_LOG_SCALE, &CAxesDlg::OnLogScale},
  };
  return RouteThroughMap(*this, MessageMap<CAxesDlg>{commands}, nID, pCmdUI) ||
         CKavoldDialog::ProcessMessageMap(nID, pCmdUI);
}

void CAxesDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, 1000, Xini);
  DDX_Text(pDX, 1001, Xfin);
  DDX_Text(pDX, 1002, Xstep);
  DDX_Text(pDX, 1003, Yini);
  DDX_Text(pDX, 1004, Yfin);
  DDX_Text(pDX, 1005, Ystep);
}

void CAxesDlg::OnOK() {
  CKavoldDialog::OnOK();
  if (HasEnded()) Invalidate();
}

void CModelScaleDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, 1000, m_Initial);
  DDX_Text(pDX, 1002, m_Final);
  DDX_Text(pDX, 1001, m_Step);
  DDX_Text(pDX, 1003, m_Yhfi);
}

void CXAxisDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, 1000, m_Emodmax);
  DDX_Text(pDX, 1002, m_Emodstep);
}

}  // namespace kavold
