// The view: all of KAVOLD's working state and the handlers of its commands.
#pragma once

#include "frontend/Dialogs.hpp"
#include "frontend/GraphPainter.hpp"
#include "frontend/ViewState.hpp"
#include "frontend/winlayer/wnd.hpp"

namespace kavold {

using winlayer::CDC;
using winlayer::CPoint;
using winlayer::CRuntimeClass;

class CKAVOLDView : public winlayer::CView {
 public:
  static const CRuntimeClass classCKAVOLDView;
  CKAVOLDView();

  // Draws the plot of the display mode.  So far only the axes: the box,
  // ticks and caption in the current mode's axes; curves, merits and hints
  // are not drawn yet.
  void OnDraw(CDC* pDC) override;
  void OnInitialUpdate() override;

  // Status panes of the last click, in the axes of the last drawing.
  void OnUpdateXPane(CCmdUI* pCmdUI);
  void OnUpdateYPane(CCmdUI* pCmdUI);

  // Commands.  OnNothing serves identifiers that must do nothing.
  void OnNothing() {}
  void OnRunTimeSpectra();
  void OnShowTimeSpectra();
  void OnRunDelayed();
  void OnShowDelayed();
  void OnRunPrompt();
  void OnShowPrompt();
  void OnRunCems();
  void OnShowCems();
  void OnSetBaseline();
  void OnCorrections();
  void OnEditNextInp();
  void OnCheckList();
  void OnSaveFittedModel();
  void OnNewModel();
  void WriteAxisFile();
  void OnDirectory();
  void OnSelect57Fe();
  void OnSelect149Sm();
  void OnSelect151Eu();
  void OnSelect119Sn();
  void OnCleanPreviousResult();
  void OnGetPreviousSettings();
  void OnStartFromZero();
  void OnLoadExper();
  void OnCreateModel();
  void OnModelFile();
  void OnTimFile();
  void OnTimDialog();
  void OnDelAndPrompt();
  void OnCemsOptions();
  void OnListPar();
  void OnFitTimeSpectra();
  void OnFitPromptCurve();
  void OnFitDelayedPrompt();
  void OnJointFit();
  void OnStopCalculations();
  void OnAbsorption();
  void OnReflectivity();
  void OnHfiGraph();
  void OnElDensity();
  void ReadTimParameters();
  void OnVersion();
  void WriteModelFile();
  void OnSaveModelAs();
  void OnMarkBox();

  // --- state --------------------------------------------------------------
  CPoint m_click;  // last left click, client coordinates

  CModelDlg m_ModelDlg;
  CLoadDlg m_LoadDlg;
  CDirectoryDlg m_DirectoryDlg;
  CComputationDlg m_ComputationDlg;
  CGeneralDlg m_GeneralDlg;
  CMultipletDlg m_MultipletDlg;
  CLayerDlg m_LayerDlg;
  CAxesDlg Acorr;
  CModelScaleDlg m_ModelScaleDlg;
  CXAxisDlg m_XAxisDlg;
  CStopDlg m_StopDlg;
  CNewModelDlg m_NewModelDlg;
  CFitDlg m_FitDlg;
  CMarkDlg m_MarkDlg;

  CGraphPainter m_painter;

  TimeCurves m_time{};
  ReflectivityCurves m_refl{};
  CemsCurves m_cems{};
  float m_buffer1[kAnglePoints]{};  // one curve at a time, raised or as logarithm
  float m_buffer2[kAnglePoints]{};

  // Model table: line and column numbers of the fit parameter table; and
  // per sublayer KIND1, KIND2, KSTEP, then KINDV of multiplets 1 to 8.
  Arr2<float, kModelLines, kModelColumns> m_model{};
  Arr2<int, kModelLines, 11> m_layerInt{};
  int m_maxMultiplets = 0;
  int m_modelKind = 0;  // the number at the start of the model file

  Arr1<Multiplet, 8> m_multiplet{};
  Arr1<AxisBlock, 4> m_S{};  // display modes 1 to 4
  DelayedPromptParameters m_del{};
  CemsParameters m_cemsPar{};

  int m_mode = 0;  // 1 time spectra, 2 delayed and prompt, 3 prompt, 4 CEMS
  int m_pressTime = 0, m_pressDelayed = 0, m_pressPrompt = 0;
  int m_width = 0, m_height = 0;  // client size, from OnSize
  CurrentAxes m_axes{};
  Merits m_eps{};

  CString m_fileLabel[4];
  CString m_reflExpName;
  ModelLabels m_timeModel, m_delayedModel, m_promptModel, m_cemsModel;

 protected:
  // Takes the axes dialog's values into the mode's block and the current
  // axes (logarithmic Y when chosen), draws them through the painter into
  // `client` and writes the caption into `labels`.  Returns the number of
  // stacked time spectra in mode 1.
  int DrawCurrentAxes(CDC* client, CDC* labels);
  bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) override;
  void OnSize(UINT nType, int cx, int cy) override;
  void OnLButtonDown(UINT nFlags, CPoint point) override;
  void OnRButtonDown(UINT nFlags, CPoint point) override;
};

}  // namespace kavold
