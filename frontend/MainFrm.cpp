#include "frontend/MainFrm.hpp"

#include "frontend/resource.hpp"

namespace kavold {

using namespace winlayer;

const CRuntimeClass CMainFrame::classCMainFrame{"CMainFrame", &CreateObjectOf<CMainFrame>};

namespace {
// Panes: the x and y of the last click, the prompt line, the lock keys.
const UINT indicators[] = {
    ID_INDICATOR_X, ID_INDICATOR_Y, ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL,
};
}  // namespace

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs) { return CFrameWnd::PreCreateWindow(cs); }

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
  if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                             WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY |
                                 CBRS_SIZE_DYNAMIC,
                             CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR) ||
      !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
    return -1;
  if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
      !m_wndStatusBar.SetIndicators(indicators, static_cast<int>(std::size(indicators))))
    return -1;
  m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
  EnableDocking(CBRS_ALIGN_ANY);
  DockControlBar(&m_wndToolBar);
  return 0;
}

}  // namespace kavold
