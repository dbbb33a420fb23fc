// The main frame window: toolbar and status bar around the view.
#pragma once

#include "frontend/winlayer/wnd.hpp"

namespace kavold {

class CMainFrame : public winlayer::CFrameWnd {
 public:
  static const winlayer::CRuntimeClass classCMainFrame;
  bool PreCreateWindow(winlayer::CREATESTRUCT& cs) override;

  winlayer::CStatusBar m_wndStatusBar;
  winlayer::CToolBar m_wndToolBar;

 protected:
  int OnCreate(winlayer::LPCREATESTRUCT lpCreateStruct) override;
};

}  // namespace kavold
