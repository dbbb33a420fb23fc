// KAVOLD's data-entry dialogs.  Each is a member of the view and lives as
// long as it, so its members keep the last values typed and are part of the
// view's state.  Members take their defaults in the constructors; the view's
// OnInitialUpdate overrides some of them.
//
// The standard OK stores and validates the controls, closes the dialog,
// then stores once more and reloads the controls.  Escape stores nothing.
// Values that would overrun the fixed tables of the console programs are
// refused like a value that is not a number: a message, and the dialog
// stays open.
#pragma once

#include "frontend/winlayer/dialog.hpp"

namespace kavold {

using winlayer::CCmdUI;
using winlayer::CDataExchange;
using winlayer::CDialog;
using winlayer::CString;
using winlayer::CWnd;
using winlayer::UINT;

// Limits of the console programs' tables.
inline constexpr int kMaxLayers = 60;        // sublayers of a model, substrate included
inline constexpr int kMaxMultiplets = 8;
inline constexpr int kMaxSpectra = 4;        // grazing angles, time-spectrum files
inline constexpr int kMaxHalfDistribution = 50;  // points of the field half-distribution

// Dialogs whose OK is the standard one of this application.
class CKavoldDialog : public CDialog {
 public:
  using CDialog::CDialog;

 protected:
  void OnOK() override;
};

class CAboutDlg : public CDialog {
 public:
  static constexpr UINT IDD = 100;
  CAboutDlg() : CDialog(IDD) {}
};

class CDirectoryDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 131;
  static constexpr int IDC_DIRECTORY = 1000;
  static constexpr int IDC_BROWSER = 1008;
  CDirectoryDlg() : CKavoldDialog(IDD) {}

  CString m_Directory;

  void OnBrowser();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) override;
};

class CLoadDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 130;
  static constexpr int IDC_NFILES = 1000;
  static constexpr int IDC_FILE1 = 1002;     // to 1005
  static constexpr int IDC_BROWSE1 = 1006;   // to 1009
  static constexpr int IDC_DELAYED = 1001;
  static constexpr int IDC_DELAYED_FILE = 1011;
  static constexpr int IDC_BROWSE_DELAYED = 1010;
  static constexpr int IDC_CEMS = 1012;
  static constexpr int IDC_CEMS_FILE = 1013;
  static constexpr int IDC_BROWSE_CEMS = 1014;
  CLoadDlg();

  int m_NFiles = 0;           // time-spectrum experiment files, at most 4
  CString m_File[4];          // their names
  int m_Delayed = 0;          // number of reflectivity experiment files, 0 none
  CString m_DelayedFile;
  int m_NSPCE = 0;            // CEMS experiment flag
  CString m_CemsFile;

  void OnFile1() { BrowseInto(m_File[0]); }
  void OnFile2() { BrowseInto(m_File[1]); }
  void OnFile3() { BrowseInto(m_File[2]); }
  void OnFile4() { BrowseInto(m_File[3]); }
  void OnDelayedFile() { BrowseInto(m_DelayedFile); }
  void OnCemsFile() { BrowseInto(m_CemsFile); }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) override;

 private:
  void BrowseInto(CString& name);
};

class CModelDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 132;
  static constexpr int IDC_MODEL_FILE = 1000;
  static constexpr int IDC_BROWSER = 1009;
  static constexpr int IDC_NSPC = 1002;
  static constexpr int IDC_ANGLE1 = 1003;  // to 1006
  CModelDlg() : CKavoldDialog(IDD) {}

  CString m_ModelFile = "m.inf";
  int m_NSPC = 1;                        // reflectivity spectra, at most 4
  float m_Angle[4] = {3, 4, 5, 6};       // grazing angles, mrad

  void OnBrowser();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) override;
};

class CComputationDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 136;
  CComputationDlg() : CKavoldDialog(IDD) {}

  int m_Jway = 1;
  int m_ITEST = 2;
  float m_XEXP1 = 18, m_XEXP2 = 140;     // comparison limits, ns
  int m_JFIT = 12;
  int m_ISTOP = 0;
  float m_EPFIN = 0.001f;
  float m_SIG = 0;
  int m_KP = 0;
  float m_AF = 0;
  float m_Weight[4] = {1, 1, 1, 1};
  int m_ICORR[5] = {};
  int m_IMAN[5] = {};
  float m_SIGMA = 0.3f;
  int m_JAV1 = 10;
  float m_SD = 0.1f;
  int m_IDIST = 1;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

class CGeneralDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 140;
  CGeneralDlg() : CKavoldDialog(IDD) {}

  CString m_ModelFile = "m.inf";
  int m_NNN = 1;
  int m_N1N = 1, m_N2N = 1, m_NRN = 1;
  int m_NM = 1;
  float m_S[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  int m_IBHF = 2;
  int m_INORM = 1;
  float m_HKMAX = 1.0f;
  int m_ISQ = 1;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

class CMultipletDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 141;
  CMultipletDlg() : CKavoldDialog(IDD) {}

  float m_Bhf = 33.0f, m_dBhf = 0, m_IS = 0, m_EFG = 0, m_GRd = 0;
  float m_Beta = 0, m_Gamma = 0, m_Random = 0, m_Plane = 0, m_Width = 0;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

class CLayerDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 146;
  CLayerDlg();

  float m_H1A = 1000;                  // thickness, Angstrom
  float m_ReChi = -14, m_ImChi = 0.6f;  // susceptibility, 1e-6
  float m_WIDTH = 0;
  int m_KSTEP = 0;
  int m_KIND1 = 1;
  float m_ZD1 = 0;
  int m_KIND2 = 1;
  float m_ZD2 = 0;
  float m_BE = 0, m_GA = 0, m_Rand = 0, m_Plane = 0, m_WID = 0;
  float m_V[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  int m_KINDV[8];
  float m_ZDV[8] = {};

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

class CNewModelDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 148;
  CNewModelDlg() : CKavoldDialog(IDD) {}
  CString m_NewModelFile;
  int m_Continue = 0;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

class CFitDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 149;
  CFitDlg() : CKavoldDialog(IDD) {}
  int m_Fit = 0;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

class CMarkDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 151;
  CMarkDlg() : CKavoldDialog(IDD) {}
  int m_CreateModel = 0;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

class CStopDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 135;
  CStopDlg() : CKavoldDialog(IDD) {}
  int m_Stop = 1;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

class CAxesDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 139;
  static constexpr int IDC_NORMAL = 1030;
  static constexpr int IDC_LOG_SCALE = 1031;
  CAxesDlg() : CKavoldDialog(IDD) {}

  float Xini = 0, Xfin = 170, Xstep = 40;
  float Yini = 0, Yfin = 300, Ystep = 100;  // Yfin: height of one stacked time spectrum
  int m_Lscale = 1;                          // 1 linear, 2 logarithmic Y

  void OnNormal() { m_Lscale = 1; }
  void OnLogScale() { m_Lscale = 2; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) override;
};

class CModelScaleDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 138;
  CModelScaleDlg() : CKavoldDialog(IDD) {}
  float m_Initial = 40, m_Final = 100, m_Step = 10;  // depth, nm
  float m_Yhfi = 1.0f;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

class CXAxisDlg : public CKavoldDialog {
 public:
  static constexpr UINT IDD = 152;
  CXAxisDlg() : CKavoldDialog(IDD) {}
  float m_Emodmax = 0, m_Emodstep = 0;  // mm/s

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

}  // namespace kavold
