// The application object.
#pragma once

#include "frontend/winlayer/wnd.hpp"

namespace kavold {

class CKAVOLDApp : public winlayer::CWinApp {
 public:
  CKAVOLDApp();
  bool InitInstance() override;
  void OnAppAbout();

 protected:
  bool ProcessMessageMap(winlayer::UINT nID, winlayer::CCmdUI* pCmdUI) override;
};

}  // namespace kavold
