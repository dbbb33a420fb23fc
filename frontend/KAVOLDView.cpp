#include "frontend/KAVOLDView.hpp"

#include <cmath>

#include "frontend/Globals.hpp"
#include "frontend/resource.hpp"
#include "frontend/winlayer/platform.hpp"
#include "programs/common/timing.hpp"

namespace kavold {

using winlayer::CommandEntry;
using winlayer::MessageMap;
using winlayer::UpdateEntry;

const CRuntimeClass CKAVOLDView::classCKAVOLDView{"CKAVOLDView", &winlayer::CreateObjectOf<CKAVOLDView>};

CKAVOLDView::CKAVOLDView() = default;

CKAVOLDView::~CKAVOLDView() { winlayer::SetProgramEndFunction(nullptr); }

bool CKAVOLDView::ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
  // Where one handler serves two identifiers, both are listed.
  static const CommandEntry<CKAVOLDView> commands[] = {
      {ID_RUN_TIME, &CKAVOLDView::OnRunTimeSpectra},
      {ID_RUN_TIME_2, &CKAVOLDView::OnRunTimeSpectra},
      {ID_SHOW_TIME, &CKAVOLDView::OnShowTimeSpectra},
      {ID_SHOW_TIME_2, &CKAVOLDView::OnShowTimeSpectra},
      {ID_RUN_DELAYED, &CKAVOLDView::OnRunDelayed},
      {ID_RUN_DELAYED_2, &CKAVOLDView::OnRunDelayed},
      {ID_SHOW_DELAYED, &CKAVOLDView::OnShowDelayed},
      {ID_SHOW_DELAYED_2, &CKAVOLDView::OnShowDelayed},
      {ID_RUN_PROMPT, &CKAVOLDView::OnRunPrompt},
      {ID_SHOW_PROMPT, &CKAVOLDView::OnShowPrompt},
      {ID_RUN_CEMS, &CKAVOLDView::OnRunCems},
      {ID_RUN_CEMS_2, &CKAVOLDView::OnRunCems},
      {ID_SHOW_CEMS, &CKAVOLDView::OnShowCems},
      {ID_SET_BASELINE, &CKAVOLDView::OnSetBaseline},
      {ID_TOOL_MODEL, &CKAVOLDView::OnCorrections},
      {ID_CORRECTIONS, &CKAVOLDView::OnCorrections},
      {ID_TOOL_FIT_PAR, &CKAVOLDView::OnEditNextInp},
      {ID_CHECK_LIST, &CKAVOLDView::OnCheckList},
      {ID_TOOL_NEW_M, &CKAVOLDView::OnSaveFittedModel},
      {ID_NEW_MODEL, &CKAVOLDView::OnNewModel},
      {ID_SAVE_AXES, &CKAVOLDView::WriteAxisFile},
      {ID_DIRECTORY, &CKAVOLDView::OnDirectory},
      {ID_ISOTOPE_FE57, &CKAVOLDView::OnSelect57Fe},
      {ID_ISOTOPE_SM149, &CKAVOLDView::OnSelect149Sm},
      {ID_ISOTOPE_EU151, &CKAVOLDView::OnSelect151Eu},
      {ID_ISOTOPE_SN119, &CKAVOLDView::OnSelect119Sn},
      {ID_CLEAN_PREVIOUS, &CKAVOLDView::OnCleanPreviousResult},
      {ID_GET_PREVIOUS, &CKAVOLDView::OnGetPreviousSettings},
      {ID_START_FROM_ZERO, &CKAVOLDView::OnStartFromZero},
      {ID_LOAD_EXPER, &CKAVOLDView::OnLoadExper},
      {ID_CREATE_MODEL, &CKAVOLDView::OnCreateModel},
      {ID_MODEL_FILE, &CKAVOLDView::OnModelFile},
      {ID_TIM_FILE, &CKAVOLDView::OnTimFile},
      {ID_TIM_DIALOG, &CKAVOLDView::OnTimDialog},
      {ID_DEL_AND_PROMPT, &CKAVOLDView::OnDelAndPrompt},
      {ID_CEMS_OPTIONS, &CKAVOLDView::OnCemsOptions},
      {ID_LIST_PAR, &CKAVOLDView::OnListPar},
      {ID_FIT_TIME, &CKAVOLDView::OnFitTimeSpectra},
      {ID_FIT_PROMPT, &CKAVOLDView::OnFitPromptCurve},
      {ID_FIT_DELAYED_PROMPT, &CKAVOLDView::OnFitDelayedPrompt},
      {ID_JOINT_FIT, &CKAVOLDView::OnJointFit},
      {ID_STOP_CALCULATIONS, &CKAVOLDView::OnStopCalculations},
      {ID_ABSORPTION, &CKAVOLDView::OnAbsorption},
      {ID_REFLECTIVITY, &CKAVOLDView::OnReflectivity},
      {ID_HFI_GRAPH, &CKAVOLDView::OnHfiGraph},
      {ID_EL_DENSITY, &CKAVOLDView::OnElDensity},
      {ID_READ_TIM_PARAMETERS, &CKAVOLDView::ReadTimParameters},
      {ID_VERSION, &CKAVOLDView::OnVersion},
      {ID_WRITE_MODEL_FILE, &CKAVOLDView::WriteModelFile},
      {ID_SAVE_MODEL_AS, &CKAVOLDView::OnSaveModelAs},
      {ID_MARK_BOX, &CKAVOLDView::OnMarkBox},
      {ID_NOTHING, &CKAVOLDView::OnNothing},
      // The window layer's exit command does nothing here; closing the window
      // still ends the application.
      {winlayer::ID_APP_EXIT, &CKAVOLDView::OnNothing},
      {winlayer::ID_FILE_PRINT, &CKAVOLDView::OnFilePrint},
      {winlayer::ID_FILE_PRINT_DIRECT, &CKAVOLDView::OnFilePrint},
      {winlayer::ID_FILE_PRINT_PREVIEW, &CKAVOLDView::OnFilePrintPreview},
  };
  static const UpdateEntry<CKAVOLDView> updates[] = {
      {ID_INDICATOR_X, &CKAVOLDView::OnUpdateXPane},
      {ID_INDICATOR_Y, &CKAVOLDView::OnUpdateYPane},
  };
  return winlayer::RouteThroughMap(*this, MessageMap<CKAVOLDView>{commands, updates}, nID, pCmdUI);
}

void CKAVOLDView::OnInitialUpdate() {
  CView::OnInitialUpdate();
  winlayer::SetProgramEndFunction([this](const winlayer::ProgramEnd& e) { ReportEndWithoutWait(e); });

  char dir[256];
  winlayer::GetCurrentDirectoryA(sizeof dir, dir);
  m_DirectoryDlg.m_Directory = dir;
  KavoldGlobals& g = globals();
  g.startDirectory = m_DirectoryDlg.m_Directory;
  winlayer::SetCurrentDirectoryA(m_DirectoryDlg.m_Directory);

  g.runCEMS = g.runPrompt = g.runDelayed = g.runTime = 0;
  g.editFlag = 1;
  m_mode = 1;
  m_pressTime = m_pressDelayed = m_pressPrompt = 0;
  m_maxMultiplets = 8;
  m_modelKind = 0;

  m_S(1) = {0, 10, 2, 0.0001f, 1.1f, 4000, 1};
  m_S(2) = {0, 10, 2, 0.0001f, 1.1f, 4000, 1};
  m_S(3) = {0, 12, 2, 0.0001f, 1.1f, 0.1f, 1};
  m_S(4) = {-12, 12, 2, -0.2f, 1.1f, 0.2f, 1};

  static_cast<GraphScales&>(g) = GraphScales{};

  DelayedPromptParameters& d = m_del;
  d.UT0p = 1;
  d.Ustepp = 0.02f;
  d.Nstepp = 400;
  d.DIV = 0;
  d.ANGBEAM = 0.5f;
  d.JFITP = 11;
  d.ACOMP1 = 2;
  d.ACOMP2 = 8;
  d.EPFINP = 0.001f;
  d.UT0 = 2;
  d.Ustep = 0.5f;
  d.Nstep = 15;
  d.JFITD = 1;
  d.ACOMP1D = 2;
  d.ACOMP2D = 8;
  d.EPFIND = 0.001f;
  d.FJEPP = 1;
  d.FJEPD = 1;
  d.TIMECYCLE = common::kPulsePeriod;
  d.TIMINI = 10.17f;
  d.TIMFIN = 161.4f;

  m_cemsPar.GS = 0.06f;
  m_cemsPar.EMAX = 12;
  m_cemsPar.Hmms = 11.46017f;
  m_cemsPar.Hchan = 168.8f;
  m_cemsPar.chan0 = 130.19637f;
  m_cemsPar.E1lim = -7;
  m_cemsPar.E2lim = 7;
  m_cemsPar.IMM = 256;
  m_cemsPar.JEXPC = 256;

  // The session starts with more steps per parameter and some smoothing.
  static_cast<TimeSpectraValues&>(m_ComputationDlg) = TimeSpectraValues{};
  m_ComputationDlg.m_ISTOP = kSessionISTOP;
  m_ComputationDlg.m_KP = kSessionKP;

  for (int m = 1; m <= 8; ++m) {
    m_multiplet(m) = Multiplet{};
    m_multiplet(m).Bhf = kDefaultBhf;
  }
  m_LoadDlg.SetDefaultNames();

  Invalidate();
}

void CKAVOLDView::OnSize(UINT nType, int cx, int cy) {
  CView::OnSize(nType, cx, cy);
  m_width = cx;
  m_height = cy;
}

void CKAVOLDView::OnLButtonDown(UINT nFlags, CPoint point) {
  m_click = point;
  CView::OnLButtonDown(nFlags, point);
}

// The axes typed go into the mode's block before the axis file is written,
// so that the file holds them.  Escape undoes the scale buttons as well.
void CKAVOLDView::OnRButtonDown(UINT nFlags, CPoint point) {
  CView::OnRButtonDown(nFlags, point);
  if (!ShowModalKeeping(Acorr, Acorr.m_Lscale)) return;
  if (m_mode >= 1 && m_mode <= 4) StoreAxes(m_mode);
  WriteAxisFile();
}

// The panes follow the last left click in the plot box of the last drawing
// (left margin 45, bottom margin 40, box w - 65 by h - 60).  A window too
// small for a box gives what the arithmetic gives.
void CKAVOLDView::OnUpdateXPane(CCmdUI* pCmdUI) {
  const CurrentAxes& a = m_axes;
  const float x = a.Xini + (a.Xfin - a.Xini) / static_cast<float>(m_width - 65) * static_cast<float>(m_click.x - 45);
  CString text;
  text.Format("x = %.2f", static_cast<double>(x));
  pCmdUI->SetText(text);
}

void CKAVOLDView::OnUpdateYPane(CCmdUI* pCmdUI) {
  const CurrentAxes& a = m_axes;
  const float y =
      a.Yini - (a.Yfin - a.Yini) / static_cast<float>(m_height - 60) * static_cast<float>(m_click.y + 40 - m_height);
  CString text;
  text.Format("y = %.2f", static_cast<double>(y));
  pCmdUI->SetText(text);
}

}  // namespace kavold
