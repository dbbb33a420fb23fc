#include "frontend/KAVOLD.hpp"

#include "frontend/Dialogs.hpp"
#include "frontend/KAVOLDDoc.hpp"
#include "frontend/KAVOLDView.hpp"
#include "frontend/KavoldResources.hpp"
#include "frontend/MainFrm.hpp"
#include "frontend/resource.hpp"
#include "frontend/winlayer/platform.hpp"

namespace kavold {

using namespace winlayer;

CKAVOLDApp::CKAVOLDApp() {
  AfxSetResourceHandle(&KavoldResources());
  m_pszAppName = AfxLoadString(AFX_IDS_APP_TITLE);
  SetEditorVariable("KAVOLD_EDITOR");
}

bool CKAVOLDApp::ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
  static const CommandEntry<CKAVOLDApp> commands[] = {
      {ID_APP_ABOUT, &CKAVOLDApp::OnAppAbout},
      {ID_FILE_NEW, &CWinApp::OnFileNew},
      {ID_FILE_OPEN, &CWinApp::OnFileOpen},
      {ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup},
  };
  return RouteThroughMap(*this, MessageMap<CKAVOLDApp>{commands}, nID, pCmdUI);
}

bool CKAVOLDApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  SetRegistryKey("NRS Grazing Incidence");
  LoadStdProfileSettings(4);
  AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, &CKAVOLDDoc::classCKAVOLDDoc, &CMainFrame::classCMainFrame,
                                        &CKAVOLDView::classCKAVOLDView));
  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);
  if (!ProcessShellCommand(cmdInfo)) return false;
  m_pMainWnd->ShowWindow(SW_SHOW);
  m_pMainWnd->UpdateWindow();
  return true;
}

void CKAVOLDApp::OnAppAbout() {
  CAboutDlg aboutDlg;
  aboutDlg.DoModal();
}

}  // namespace kavold
