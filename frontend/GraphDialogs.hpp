// The graph dialogs: curves that do not fit the main view.  Two energy
// graphs of the time-spectra program (absorption and reflectivity against
// the Doppler energy, mm/s) and two depth profiles of the model (electronic
// susceptibility and multiplet densities, depth in nm).  Each draws its plot
// over its whole client area, with the reference curves that the view keeps
// in the globals dotted and the current result files thick; a right click
// opens its scale dialog.
//
// The current result files are read when the dialog opens and again at
// every painting, so that a fit running beside the front end shows its
// progress; the HFI graph writes "INMOD.RES" at each reading.  A missing
// file is reported when the dialog opens, once however often it repaints:
// a message box cannot open while a window paints.
#pragma once

#include "frontend/Dialogs.hpp"
#include "frontend/Globals.hpp"
#include "frontend/GraphPainter.hpp"

namespace kavold {

using winlayer::CPoint;

class CGraphDlg : public CDialog {
 public:
  using CDialog::CDialog;

 protected:
  bool OnInitDialog() override;
  void OnPaint() override;
  void OnSize(UINT nType, int cx, int cy) override;
  // Reads the current result files into the dialog's buffers, telling of
  // what is missing through Report.
  virtual void ReadResults() = 0;
  virtual void Paint(CDC* dc) = 0;
  void Report(const char* text);

  CGraphPainter m_painter;
  int m_w = 0, m_h = 0;  // client size, from OnSize
  bool m_painting = false;
};

// The energy graphs share the energy scale of the globals.
class CEnergyGraphDlg : public CGraphDlg {
 public:
  using CGraphDlg::CGraphDlg;
  CXAxisDlg m_XAxisDlg;

 protected:
  void OnRButtonDown(UINT nFlags, CPoint point) override;
};

class CAbsorptionDlg : public CEnergyGraphDlg {
 public:
  static constexpr UINT IDD = 133;
  CAbsorptionDlg() : CEnergyGraphDlg(IDD) {}

  // The current absorption of "E_spcN.RES", divided by the reference's
  // normaliser: s- and p-polarisation over the shared energies.
  float m_s[kEnergyPoints]{};
  float m_p[kEnergyPoints]{};
  int m_n = 0;

 protected:
  void ReadResults() override;
  void Paint(CDC* dc) override;
};

class CReflectivityDlg : public CEnergyGraphDlg {
 public:
  static constexpr UINT IDD = 134;
  CReflectivityDlg() : CEnergyGraphDlg(IDD) {}

  // The current reflectivity spectra of "BUFFEN1.RES" to "BUFFEN4.RES".
  float m_E[4][kEnergyPoints]{};
  float m_R[4][kEnergyPoints]{};
  int m_n[4] = {};
  bool m_found[4] = {};

 protected:
  void ReadResults() override;
  void Paint(CDC* dc) override;
};

// The model graphs share the depth scale and band height of the globals.
class CModelGraphDlg : public CGraphDlg {
 public:
  using CGraphDlg::CGraphDlg;
  CModelScaleDlg m_ModelScaleDlg;

 protected:
  void OnRButtonDown(UINT nFlags, CPoint point) override;
  // After "Get previous settings" the scales read from the axis file stand;
  // otherwise this dialog's scale dialog sets them.
  void TakeScales();
};

class CHfiGraphDlg : public CModelGraphDlg {
 public:
  static constexpr UINT IDD = 137;
  CHfiGraphDlg() : CModelGraphDlg(IDD) {}

  HfiProfile m_profile{};  // the current "MODELN.RES"

 protected:
  void ReadResults() override;
  void Paint(CDC* dc) override;
};

class CDepthProfileDlg : public CModelGraphDlg {
 public:
  static constexpr UINT IDD = 150;
  CDepthProfileDlg() : CModelGraphDlg(IDD) {}

  ElectronicProfile m_profile{};  // the current "EL_MOD.RES", divided by the reference's normaliser

 protected:
  void ReadResults() override;
  void Paint(CDC* dc) override;
};

}  // namespace kavold
