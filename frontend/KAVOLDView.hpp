// The view: all of KAVOLD's working state and the handlers of its commands.
#pragma once

#include <optional>
#include <string>

#include "frontend/Dialogs.hpp"
#include "frontend/GraphDialogs.hpp"
#include "frontend/GraphPainter.hpp"
#include "frontend/JointFit.hpp"
#include "frontend/ViewState.hpp"
#include "frontend/winlayer/platform.hpp"
#include "frontend/winlayer/wnd.hpp"

namespace kavold {

using winlayer::CDC;
using winlayer::CPoint;
using winlayer::CRuntimeClass;

class CKAVOLDView : public winlayer::CView {
 public:
  static const CRuntimeClass classCKAVOLDView;
  CKAVOLDView();
  ~CKAVOLDView() override;

  // Draws the plot of the display mode: axes, curves, merits, model names
  // and hints.  On screen the axes and curves go to the window's client
  // area and the texts to the context passed; a printed page gets both.
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

  // --- parameter files (the writers report a file they cannot create) ----
  bool WriteZeprinInp();
  bool WriteDelFile();  // "MOLVEC.INP" with the load dialog's flag and name
  bool WriteCemsFile();
  bool WriteFileM();    // also copies NSPC and the angles into the angle copy
  bool WriteFilesE();
  bool WriteStopFile(int value);
  bool WriteNextWithoutVariations();
  // Re-reads "MOLVEC.INP" or "FilCEM.INP" (after the editor); `missing` is
  // the message for a file that does not open.  False when nothing was read.
  bool ReadDelFile(const char* missing);
  bool ReadCemsFile();
  // Reads the time-spectrum experiment files 1..n into the experiment
  // curve of `t`.  Loading goes on past a missing file and counts up to the
  // last file read; restoring stops at the first missing file.  Returns the
  // number of spectra.
  enum class ExperimentRead { Load, Restore };
  int ReadTimeExperiments(const CString names[4], int n, ExperimentRead how, TimeCurves& t);

  // --- results ------------------------------------------------------------
  void ReadElModel();
  void ReadModelProfile();
  // The grazing angles of the last time-spectra run ("ANGLE.res") into the
  // model dialog: one more than the spectra shown, as far as the file goes.
  void ReadAngleFile();

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
  CAbsorptionDlg m_AbsorptionDlg;
  CReflectivityDlg m_ReflectivityDlg;
  CHfiGraphDlg m_HfiGraphDlg;
  CDepthProfileDlg m_DepthProfileDlg;

  CGraphPainter m_painter;

  TimeCurves m_time{};
  ReflectivityCurves m_refl{};
  CemsCurves m_cems{};
  float m_buffer1[kAnglePoints]{};  // one curve at a time, raised or as logarithm
  float m_buffer2[kAnglePoints]{};

  // Model table: line and column numbers of the fit parameter table; and
  // per sublayer KIND1, KIND2, KSTEP, then KINDV of multiplets 1 to 8.
  ModelTable m_model{};
  LayerInts m_layerInt{};
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

  int m_angleCount = 0;      // NSPC of the angle copy (globals().grazingAngle)
  bool m_resultsShown = false;
  // Maxima that the first run of the delayed-prompt and prompt programs
  // fixes, so that later runs keep the scale of the first: of the
  // experiment column and of the theory column of "DELAY2.res" and
  // "PROMP2.res".
  float m_delRefExpMax = 0, m_delRefThMax = 0;
  float m_prmRefExpMax = 0, m_prmRefThMax = 0;

 protected:
  // Takes the axes dialog's values into the mode's block and the current
  // axes (logarithmic Y when chosen), draws them through the painter into
  // `client` and writes the caption into `labels`.  Returns the number of
  // stacked time spectra in mode 1.
  int DrawCurrentAxes(CDC* client, CDC* labels);
  // The number of time spectra shown: the experiment files, when neither
  // none nor more than the calculated spectra NSPC; otherwise NSPC.
  int SpectraShown() const;

  // Message boxes of the view.
  void Say(const CString& text);
  // Writes a whole file; "can not create file: NAME" when it cannot.
  bool WriteFile(const char* name, const std::string& text);
  // Loads an axis block and its flag into the axes dialog, and back.
  void LoadAxes(int mode);
  void StoreAxes(int mode);

  // Runs: a refusal while a program started without waiting still runs;
  // the fit question and the protection of "NEXT.INP"; the probes and the
  // two ways of starting a program.
  bool RefuseWhileRunning();
  struct NextProtection {
    bool fit = false;      // "Yes" marked: the script runs as it stands
    bool saved = false;    // "NEXT.INP" was copied to "NEXTs.RES" by this command
    bool created = false;  // there was no "NEXT.INP": the one written goes again
    // The model names before the command, put back when its program fails.
    struct {
      ModelLabels time, delayed, prompt, cems;
    } labels;
  };
  std::optional<NextProtection> AskFitAndProtectNext(const char* missingNext, CString& newLabel);
  void RestoreNext(const NextProtection& p);
  bool ProbeFile(const char* name, const CString& missing);
  void CheckReflectivityExperiment();
  void ProbeReflectivityRun(const char* program, const char* missingProgram);
  // Runs a program and waits for it.  False when it ran and failed: one
  // message then names it, its status and its last lines.
  bool RunAndWait(const char* program);
  // RunAndWait for a run command; after a failed program the command is
  // abandoned: the model names of before, the script put back.
  bool RunOrAbandon(const char* program, const NextProtection& next);
  // What a start without waiting changes: the model names, run counters
  // and press hints of the reflectivity and time-spectra modes.  When its
  // program fails they are put back as they were before the start, so that
  // the results of an earlier run are not shown as those of the new one.
  struct RunMarks {
    ModelLabels time, delayed, prompt;
    int runTime = 0, runDelayed = 0, runPrompt = 0;
    int pressTime = 0, pressDelayed = 0, pressPrompt = 0;
  };
  std::optional<RunMarks> m_beforeStart;  // of the program started without waiting that still runs
  RunMarks CurrentRunMarks() const;
  void PutBackRunMarks(const RunMarks& m);
  void StartWithoutWait(const char* program, const RunMarks& before);
  void ReportEndWithoutWait(const winlayer::ProgramEnd& e);
  void ReadProfilesAfterRun(bool withMultiplets);

  // Results of the time spectra.
  bool ReadTimeSpectrumFiles(bool initial);
  void ReadEnergyReferences(int n);
  // Results of the delayed-prompt and prompt programs.
  bool ReadReflectivityExperiment(const char* missing, bool promptOnly);
  void ReadDelayedCurves();
  void ReadPromptCurvesOfDelayedRun();
  void ReadPromptFile(bool initial);
  void ReadResultI(float& target, bool total);
  void ReadCemsExperiment();
  void ReadCemsFit(bool initial);

  // Drawing of the four display modes (texts into `t`, curves into `c`).
  void DrawTimeSpectra(CDC* c, CDC* t, int n);
  void DrawDelayed(CDC* c, CDC* t);
  void DrawPrompt(CDC* c, CDC* t);
  void DrawCems(CDC* c, CDC* t);

  // Model and settings commands.  The working directory becomes current
  // again after the editor and the file dialogs.
  void MakeWorkingDirectoryCurrent();
  // A dialog of the view, shown modally; the view is repainted after it.
  // True when it was closed with OK.  A dialog closed with Escape (or its
  // close box) is a change of mind: the command that opened it writes no
  // file and changes nothing.
  bool ShowModal(CDialog& dlg);
  // The same for a dialog whose own buttons (file browsing, the scale
  // buttons) change `values` while it is open: Escape puts them back.
  template <class Values>
  bool ShowModalKeeping(CDialog& dlg, Values& values) {
    const Values before = values;
    if (ShowModal(dlg)) return true;
    values = before;
    return false;
  }
  // The text editor on a file of the working directory: waiting until it is
  // closed (the file's full path is handed over), or not.
  void EditAndWait(const char* file);
  void EditWithoutWait(const char* file);
  // The load dialog, and then its experiment files read and the parameter
  // files that name them written ("Load exper").
  bool AskExperiments();
  void TakeExperiments();
  // The model dialog, then "FILEM.INP"; "Model file" then reads all
  // settings again, "Get previous settings" only "FILEM.INP".  False, with
  // nothing written, when the dialog was closed with Escape.
  bool ChooseModelAndAngles();
  // "Create MODEL": the dialogs from the model table (after "Get previous
  // settings"), the multiplets, then the layers; the text of the model file
  // is built as they are closed.  False when one was closed with Escape.
  bool AskModel(std::string& text);
  void FillModelDialogsFromTable();
  bool AskMultiplets();
  bool AskLayers(std::string& text);
  // The new-model dialog offers `offered` as the name of a copy of `from`;
  // with its box marked the copy becomes the current model.  False, with
  // nothing copied, when the dialog was closed with Escape.
  bool SaveCopyAs(const char* from, const CString& offered);
  // A model graph; its scales go into "AXISF.INP" however it is closed.
  void ShowModelGraph(CModelGraphDlg& dlg);
  void SelectIsotope(const char* constants);
  // "List_par": the list edited and read back; false when it was refused.
  bool ReadListParBack();
  // The joint fit: its start, the two programs of one trial and their
  // merits, and its end.
  struct JointFitFiles;
  bool StartJointFit(JointFitFiles& f);
  bool JointStartRuns();
  // The merit of one trial; nothing when a program failed.
  std::optional<float> JointTrialMerit();
  void ReadJointTimeMerit();
  void ReadJointDelayedMerit();
  // The records of the script varied in turn, each by VaryRecord, until
  // "STOP.INP" holds 0; false when a program failed.
  bool VaryScript(JointFitFiles& f);
  bool VaryRecord(JointFitFiles& f, const ScriptRecord& r, float& best);
  void EndJointFit(JointFitFiles& f);
  // The log closed, the starting model and the script put back.
  void PutBackJointFitFiles(JointFitFiles& f);
  bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) override;
  // The window layer's standard preparation: the print dialog.
  bool OnPreparePrinting(winlayer::CPrintInfo* pInfo) override { return DoPreparePrinting(pInfo); }
  void OnSize(UINT nType, int cx, int cy) override;
  void OnLButtonDown(UINT nFlags, CPoint point) override;
  void OnRButtonDown(UINT nFlags, CPoint point) override;
};

}  // namespace kavold
