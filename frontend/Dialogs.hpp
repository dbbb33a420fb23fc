// KAVOLD's data-entry dialogs.  Each is a member of the view and lives as
// long as it, so its members keep the last values typed and are part of the
// view's state.  Where the values go into parameter files they are gathered
// in a plain struct that the dialog derives from: its member initialisers
// are the defaults (the only place they are written), the view's
// OnInitialUpdate restores them from a default-constructed struct, and the
// file readers fill a copy before anything is taken over.
//
// The standard OK stores and validates the controls, closes the dialog,
// then stores once more and reloads the controls.  Escape stores nothing.
// Values that would overrun the fixed tables of the console programs are
// refused like a value that is not a number: a message, and the dialog
// stays open.
#pragma once

#include "frontend/resource.hpp"
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
  CDirectoryDlg() : CKavoldDialog(IDD) {}

  CString m_Directory;

  void OnBrowser();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) override;
};

// The experiment files.
struct LoadValues {
  int m_NFiles = 0;  // time-spectrum experiment files, at most 4
  CString m_File[4] = {"xxx1.dat", "xxx2.dat", "xxx3.dat", "xxx4.dat"};
  int m_Delayed = 0;  // number of reflectivity experiment files, 0 none
  CString m_DelayedFile = "xxxD.dat";
  int m_NSPCE = 0;  // CEMS experiment flag
  CString m_CemsFile = "xxxC.dat";
};

class CLoadDlg : public CKavoldDialog, public LoadValues {
 public:
  static constexpr UINT IDD = 130;
  CLoadDlg() : CKavoldDialog(IDD) {}

  // The default file names (the counts and flags keep their values).
  void SetDefaultNames();

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

// The model file and the grazing angles: the values of "FILEM.INP".
struct ModelChoice {
  CString m_ModelFile = "m.inf";
  int m_NSPC = 1;                   // reflectivity spectra, at most 4
  float m_Angle[4] = {3, 4, 5, 6};  // grazing angles, mrad
};

class CModelDlg : public CKavoldDialog, public ModelChoice {
 public:
  static constexpr UINT IDD = 132;
  CModelDlg() : CKavoldDialog(IDD) {}

  void OnBrowser();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) override;
};

// The time-spectra parameters: the values of "ZEPRIN.INP".
struct TimeSpectraValues {
  int m_Jway = 1;
  int m_ITEST = 2;
  float m_XEXP1 = 18, m_XEXP2 = 140;  // comparison limits, ns
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
};
// The values that the start of a session gives in place of the dialog's own.
inline constexpr int kSessionISTOP = 15;
inline constexpr int kSessionKP = 3;

class CComputationDlg : public CKavoldDialog, public TimeSpectraValues {
 public:
  static constexpr UINT IDD = 136;
  CComputationDlg() : CKavoldDialog(IDD) {}

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

// The head of the model: what the model file holds besides the table.
struct ModelHead {
  CString m_ModelFile = "m.inf";
  int m_NNN = 1;
  int m_N1N = 1, m_N2N = 1, m_NRN = 1;
  int m_NM = 1;
  float m_S[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  int m_IBHF = 2;
  int m_INORM = 1;
  float m_HKMAX = 1.0f;
  int m_ISQ = 1;
};

class CGeneralDlg : public CKavoldDialog, public ModelHead {
 public:
  static constexpr UINT IDD = 140;
  CGeneralDlg() : CKavoldDialog(IDD) {}

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

// The hyperfine field that a multiplet starts with, T.
inline constexpr float kDefaultBhf = 33.0f;

// One multiplet as the multiplet dialog shows it.
struct MultipletValues {
  float m_Bhf = kDefaultBhf, m_dBhf = 0, m_IS = 0, m_EFG = 0, m_GRd = 0;
  float m_Beta = 0, m_Gamma = 0, m_Random = 0, m_Plane = 0, m_Width = 0;
};

class CMultipletDlg : public CKavoldDialog, public MultipletValues {
 public:
  static constexpr UINT IDD = 141;
  CMultipletDlg() : CKavoldDialog(IDD) {}

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

// One sublayer and its top interface as the layer dialog shows them.
struct LayerValues {
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
  int m_KINDV[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  float m_ZDV[8] = {};
};

class CLayerDlg : public CKavoldDialog, public LayerValues {
 public:
  static constexpr UINT IDD = 146;
  CLayerDlg() : CKavoldDialog(IDD) {}

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

// The scale of a model graph.
struct ModelScaleValues {
  float m_Initial = 40, m_Final = 100, m_Step = 10;  // depth, nm
  float m_Yhfi = 1.0f;
};

class CModelScaleDlg : public CKavoldDialog, public ModelScaleValues {
 public:
  static constexpr UINT IDD = 138;
  CModelScaleDlg() : CKavoldDialog(IDD) {}

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
