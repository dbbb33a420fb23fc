// Handlers whose work is not written yet: the model and settings commands,
// the graph dialogs and the joint fit.  Each is routed from its command
// already and does nothing so far.
#include "frontend/KAVOLDView.hpp"

namespace kavold {

void CKAVOLDView::OnCorrections() {}
void CKAVOLDView::OnEditNextInp() {}
void CKAVOLDView::OnCheckList() {}
void CKAVOLDView::OnSaveFittedModel() {}
void CKAVOLDView::OnNewModel() {}
void CKAVOLDView::OnDirectory() {}
void CKAVOLDView::OnSelect57Fe() {}
void CKAVOLDView::OnSelect149Sm() {}
void CKAVOLDView::OnSelect151Eu() {}
void CKAVOLDView::OnSelect119Sn() {}
void CKAVOLDView::OnStartFromZero() {}
void CKAVOLDView::OnLoadExper() {}
void CKAVOLDView::OnCreateModel() {}
void CKAVOLDView::OnModelFile() {}
void CKAVOLDView::OnTimFile() {}
void CKAVOLDView::OnTimDialog() {}
void CKAVOLDView::OnDelAndPrompt() {}
void CKAVOLDView::OnCemsOptions() {}
void CKAVOLDView::OnListPar() {}
void CKAVOLDView::OnJointFit() {}
void CKAVOLDView::OnStopCalculations() {}
void CKAVOLDView::OnAbsorption() {}
void CKAVOLDView::OnReflectivity() {}
void CKAVOLDView::OnHfiGraph() {}
void CKAVOLDView::OnElDensity() {}
void CKAVOLDView::OnVersion() {}
void CKAVOLDView::OnSaveModelAs() {}
void CKAVOLDView::OnMarkBox() {}

}  // namespace kavold
