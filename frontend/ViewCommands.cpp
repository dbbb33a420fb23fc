// Handlers whose work is not written yet: the parameter-file writers and
// readers, running the console programs, reading their results, the model
// and settings commands and the joint fit.  Each is routed from its command
// already and does nothing so far.
#include "frontend/KAVOLDView.hpp"

namespace kavold {

void CKAVOLDView::OnRunTimeSpectra() {}
void CKAVOLDView::OnShowTimeSpectra() {}
void CKAVOLDView::OnRunDelayed() {}
void CKAVOLDView::OnShowDelayed() {}
void CKAVOLDView::OnRunPrompt() {}
void CKAVOLDView::OnShowPrompt() {}
void CKAVOLDView::OnRunCems() {}
void CKAVOLDView::OnShowCems() {}
void CKAVOLDView::OnSetBaseline() {}
void CKAVOLDView::OnCorrections() {}
void CKAVOLDView::OnEditNextInp() {}
void CKAVOLDView::OnCheckList() {}
void CKAVOLDView::OnSaveFittedModel() {}
void CKAVOLDView::OnNewModel() {}
void CKAVOLDView::WriteAxisFile() {}
void CKAVOLDView::OnDirectory() {}
void CKAVOLDView::OnSelect57Fe() {}
void CKAVOLDView::OnSelect149Sm() {}
void CKAVOLDView::OnSelect151Eu() {}
void CKAVOLDView::OnSelect119Sn() {}
void CKAVOLDView::OnCleanPreviousResult() {}
void CKAVOLDView::OnGetPreviousSettings() {}
void CKAVOLDView::OnStartFromZero() {}
void CKAVOLDView::OnLoadExper() {}
void CKAVOLDView::OnCreateModel() {}
void CKAVOLDView::OnModelFile() {}
void CKAVOLDView::OnTimFile() {}
void CKAVOLDView::OnTimDialog() {}
void CKAVOLDView::OnDelAndPrompt() {}
void CKAVOLDView::OnCemsOptions() {}
void CKAVOLDView::OnListPar() {}
void CKAVOLDView::OnFitTimeSpectra() {}
void CKAVOLDView::OnFitPromptCurve() {}
void CKAVOLDView::OnFitDelayedPrompt() {}
void CKAVOLDView::OnJointFit() {}
void CKAVOLDView::OnStopCalculations() {}
void CKAVOLDView::OnAbsorption() {}
void CKAVOLDView::OnReflectivity() {}
void CKAVOLDView::OnHfiGraph() {}
void CKAVOLDView::OnElDensity() {}
void CKAVOLDView::ReadTimParameters() {}
void CKAVOLDView::OnVersion() {}
void CKAVOLDView::WriteModelFile() {}
void CKAVOLDView::OnSaveModelAs() {}
void CKAVOLDView::OnMarkBox() {}

}  // namespace kavold
