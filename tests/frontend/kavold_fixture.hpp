// Fixtures of the KAVOLD tests: the toolkit, KAVOLD's resources and the
// hooks that stand in for a person; and the whole application in a
// temporary working directory.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frontend/KAVOLD.hpp"
#include "frontend/KAVOLDView.hpp"
#include "frontend/KavoldResources.hpp"
#include "frontend/MainFrm.hpp"
#include "frontend/winlayer/hooks.hpp"
#include "tempdir.hpp"

namespace kavoldtest {

using namespace winlayer;
using namespace kavold;

// Dialogs and message boxes of KAVOLD without the application.
class KavoldDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    hooks::ensureApplication();
    AfxSetResourceHandle(&KavoldResources());
    hooks::setMessageBoxLog(&boxes);
    // The text editor: noted, and closed at once unless a test edits.
    hooks::setEditorStandIn([this](const std::string& path, bool wait) {
      edits.push_back({path, wait});
      if (editor) editor(path);
    });
  }
  void TearDown() override {
    hooks::setDialogHook(nullptr);
    hooks::setFileDialogAnswer(nullptr);
    hooks::setPrintDialogAnswer(nullptr);
    hooks::setMessageBoxLog(nullptr);
    hooks::setDrawLog(nullptr);
    hooks::setCommandTrace(nullptr);
    hooks::setEditorStandIn(nullptr);
  }
  hooks::MessageBoxLog boxes;
  struct Edit {
    std::string path;
    bool wait;
  };
  std::vector<Edit> edits;
  std::function<void(const std::string&)> editor;  // what the person does in the editor
};

// The running application: frame, document and view in a working directory
// of its own.
class KavoldApp : public KavoldDialogs {
 protected:
  void SetUp() override {
    KavoldDialogs::SetUp();
    app = std::make_unique<CKAVOLDApp>();
    app->m_args = {"KAVOLD"};
    ASSERT_TRUE(app->InitInstance());
    frame = dynamic_cast<CMainFrame*>(app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    view = dynamic_cast<CKAVOLDView*>(frame->GetActiveView());
    ASSERT_NE(view, nullptr);
  }
  void TearDown() override {
    KavoldDialogs::TearDown();
    if (app) app->CloseAllDocuments();
    app.reset();
  }
  // A console program of the working directory: a shell script.
  void program(const std::string& name, const std::string& body) {
    dir.write(name, "#!/bin/sh\n" + body);
    ::chmod((dir.path() / name).c_str(), 0755);
  }
  std::vector<CString> messages() const {
    std::vector<CString> m;
    for (const auto& b : boxes.boxes) m.push_back(b.text);
    return m;
  }
  nrstest::TempDir dir;
  std::unique_ptr<CKAVOLDApp> app;
  CMainFrame* frame = nullptr;
  CKAVOLDView* view = nullptr;
};

}  // namespace kavoldtest
