// Commands that open a file of the working directory in the text editor:
// the parameter files and the model (read back when the editor is closed),
// the fit script (not read back), and "List_par", which turns the model
// table into an editable list and the edited list into the table, the fit
// script and the model file.
#include <algorithm>
#include <memory>
#include <string>

#include "frontend/Globals.hpp"
#include "frontend/KAVOLDView.hpp"
#include "frontend/ListPar.hpp"
#include "frontend/winlayer/platform.hpp"

namespace kavold {

namespace {

// Generous buffers: the editor gets the file's full path.
constexpr winlayer::DWORD kPathBuffer = 1024;

}  // namespace

void CKAVOLDView::EditAndWait(const char* file) {
  char system[kPathBuffer];
  winlayer::GetWindowsDirectoryA(system, kPathBuffer);
  char current[kPathBuffer];
  winlayer::GetCurrentDirectoryA(kPathBuffer, current);
  const std::string editor = std::string(system) + "\\notepad.exe";
  const std::string path = std::string(current) + "\\" + file;
  winlayer::crt::_spawnl(winlayer::crt::_P_WAIT, editor.c_str(), path.c_str(), path.c_str(), nullptr);
}

void CKAVOLDView::EditWithoutWait(const char* file) {
  winlayer::WinExec((std::string("Notepad ") + file).c_str(), winlayer::SW_SHOW);
}

void CKAVOLDView::OnCorrections() {
  EditAndWait(m_ModelDlg.m_ModelFile);
  MakeWorkingDirectoryCurrent();
  OnModelFile();
}

void CKAVOLDView::OnTimFile() {
  EditAndWait("ZEPRIN.inp");
  MakeWorkingDirectoryCurrent();
  ReadTimParameters();
}

void CKAVOLDView::OnDelAndPrompt() {
  EditAndWait("MOLVEC.INP");
  MakeWorkingDirectoryCurrent();
  ReadDelFile("CAN NOT FIND FILE:  MOLVEC.INP");
  if (m_del.Intexp != 0 && !ReadWholeFile(m_reflExpName)) Say("CAN NOT FIND FILES with experimantal delayed spectrum");
}

void CKAVOLDView::OnCemsOptions() {
  EditAndWait("FilCEM.INP");
  ReadCemsFile();
}

void CKAVOLDView::OnEditNextInp() {
  EditWithoutWait("NEXT.INP");
  MakeWorkingDirectoryCurrent();
}

void CKAVOLDView::OnCheckList() { OnEditNextInp(); }

// ------------------------------------------------------------- List_par

void CKAVOLDView::OnListPar() {
  const CGeneralDlg& gd = m_GeneralDlg;
  if (gd.m_NNN < 1 || gd.m_NNN > kMaxLayers) {
    Say(Format("The model holds %d sublayers; a model file holds 1 to %d.", gd.m_NNN, kMaxLayers).c_str());
    return;
  }
  ListParShape shape{gd.m_NNN, gd.m_NM, gd.m_IBHF, gd.m_INORM, gd.m_ISQ, m_angleCount, {}};
  std::copy(std::begin(globals().grazingAngle), std::end(globals().grazingAngle), shape.angle);
  if (!WriteFile("LIST_PAR.res", ListParText(m_model, m_layerInt, shape))) return;
  EditAndWait("LIST_PAR.res");
  MakeWorkingDirectoryCurrent();
  if (ReadListParBack()) {
    m_NewModelDlg.m_NewModelFile = m_ModelDlg.m_ModelFile;
    WriteModelFile();
  }
  Invalidate();
}

// The list read back in full, or nothing changes: then the table, "NEXT.INP"
// and (by the caller) the model file take it.
bool CKAVOLDView::ReadListParBack() {
  auto text = ReadWholeFile("LIST_PAR.res");
  if (!text) {
    Say("CAN NOT FIND FILE: LIST_PAR.res");
    return false;
  }
  const CGeneralDlg& gd = m_GeneralDlg;
  ListParShape shape{gd.m_NNN, gd.m_NM, gd.m_IBHF, gd.m_INORM, gd.m_ISQ, m_angleCount, {}};
  auto reading = std::make_unique<ListParReading>();
  try {
    ParamScanner in(std::move(*text));
    ReadListPar(in, m_model, m_layerInt, shape, *reading);
  } catch (const InvalidParametersFile& e) {
    Say(e.message.c_str());
    return false;
  }
  for (const std::string& row : reading->skipped)
    Say(OutsideModelTable(gd.m_NNN, "LIST_PAR.res: the row of " + row).c_str());
  if (!WriteFile("NEXT.INP", reading->next)) return false;
  m_model = reading->table;
  return true;
}

}  // namespace kavold
