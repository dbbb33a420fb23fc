// Dialogs of the window layer: building from a template, data exchange,
// validation messages, OK, Escape and Enter; and the parsers behind them.
#include <gtest/gtest.h>

#include "frontend/winlayer/hooks.hpp"

namespace {

using namespace winlayer;

constexpr UINT kTemplate = 900;

ResourceSet testResources() {
  ResourceSet r;
  r.dialogs[kTemplate] = {"Test",
                          120,
                          80,
                          {{ControlKind::Static, IDC_STATIC, "Count", 5, 5, 40, 8},
                           {ControlKind::Edit, 10, "", 50, 5, 40, 12},
                           {ControlKind::Edit, 11, "", 50, 20, 40, 12},
                           {ControlKind::Edit, 12, "", 50, 35, 60, 12},
                           {ControlKind::CheckBox, 13, "Yes", 5, 50, 40, 10},
                           {ControlKind::PushButton, 14, "Bump", 5, 62, 40, 14},
                           {ControlKind::DefPushButton, IDOK, "OK", 60, 62, 40, 14}}};
  return r;
}

class TestDlg : public CDialog {
 public:
  TestDlg() : CDialog(kTemplate) {}
  int m_count = 3;
  float m_value = 0.25f;
  CString m_name = "m.inf";
  int m_yes = 0;
  int bumps = 0;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, 10, m_count);
    DDV_MinMaxInt(pDX, m_count, 0, 4);
    DDX_Text(pDX, 11, m_value);
    DDX_Text(pDX, 12, m_name);
    DDX_Check(pDX, 13, m_yes);
  }
  bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) override {
    static const CommandEntry<TestDlg> commands[] = {{14, &TestDlg::OnBump}};
    return RouteThroughMap(*this, MessageMap<TestDlg>{commands}, nID, pCmdUI) || CDialog::ProcessMessageMap(nID, pCmdUI);
  }
  void OnBump() { ++bumps; }
};

class LayerDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    hooks::ensureApplication();
    m_previous = AfxGetResourceHandle();
    AfxSetResourceHandle(&m_resources);
    hooks::setMessageBoxLog(&m_boxes);
  }
  void TearDown() override {
    hooks::setDialogHook(nullptr);
    hooks::setMessageBoxLog(nullptr);
    AfxSetResourceHandle(m_previous);
  }
  ResourceSet m_resources = testResources();
  const ResourceSet* m_previous = nullptr;
  hooks::MessageBoxLog m_boxes;
};

TEST_F(LayerDialog, ControlsShowTheMembersAndOkStoresWhatWasTyped) {
  TestDlg dlg;
  hooks::setDialogHook([](hooks::DialogDriver& d) {
    EXPECT_EQ(d.caption(), "Test");
    EXPECT_EQ(d.text(10), "3");
    EXPECT_EQ(d.text(11), "0.25");
    EXPECT_EQ(d.text(12), "m.inf");
    EXPECT_FALSE(d.checked(13));
    d.type(10, " 4 ");
    d.type(11, "-1.5e-3");
    d.type(12, "other.inf");
    d.setChecked(13, true);
    d.click(14);
    EXPECT_FALSE(d.ended());  // a button of its own does not close the dialog
    d.click(IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_count, 4);
  EXPECT_FLOAT_EQ(dlg.m_value, -1.5e-3f);
  EXPECT_EQ(dlg.m_name, "other.inf");
  EXPECT_EQ(dlg.m_yes, 1);
  EXPECT_EQ(dlg.bumps, 1);
  EXPECT_TRUE(m_boxes.boxes.empty());
}

TEST_F(LayerDialog, AValueThatIsNotANumberKeepsTheDialogOpenWithAMessage) {
  TestDlg dlg;
  hooks::setDialogHook([this](hooks::DialogDriver& d) {
    d.type(11, "abc");
    d.click(IDOK);
    EXPECT_FALSE(d.ended());
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    EXPECT_EQ(m_boxes.boxes[0].text, "Please enter a number.");
    d.type(10, "1.5");
    d.type(11, "2");
    d.click(IDOK);
    EXPECT_FALSE(d.ended());
    ASSERT_EQ(m_boxes.boxes.size(), 2u);
    EXPECT_EQ(m_boxes.boxes[1].text, "Please enter an integer.");
    d.type(10, "5");
    d.click(IDOK);
    ASSERT_EQ(m_boxes.boxes.size(), 3u);
    EXPECT_EQ(m_boxes.boxes[2].text, "Please enter an integer between 0 and 4.");
    d.type(10, "2");
    d.pressEnter();  // the default button
    EXPECT_TRUE(d.ended());
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_count, 2);
  EXPECT_FLOAT_EQ(dlg.m_value, 2.0f);
}

TEST_F(LayerDialog, AFailedStorePutsEveryMemberBack) {
  TestDlg dlg;
  hooks::setDialogHook([](hooks::DialogDriver& d) {
    d.type(10, "9");  // stored, then refused by its range check
    d.type(11, "2");
    d.type(12, "changed");
    d.click(IDOK);
    EXPECT_FALSE(d.ended());
    d.pressEscape();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_count, 3);
  EXPECT_FLOAT_EQ(dlg.m_value, 0.25f);
  hooks::setDialogHook([](hooks::DialogDriver& d) {
    d.type(10, "2");  // valid and stored before the value fails, then put back
    d.type(11, "x");
    d.click(IDOK);
    d.pressEscape();
  });
  dlg.DoModal();
  EXPECT_EQ(dlg.m_count, 3);
  EXPECT_EQ(m_boxes.boxes.size(), 2u);
}

TEST_F(LayerDialog, EscapeStoresNothing) {
  TestDlg dlg;
  hooks::setDialogHook([](hooks::DialogDriver& d) {
    d.type(10, "1");
    d.type(12, "changed");
    d.setChecked(13, true);
    d.pressEscape();
    EXPECT_TRUE(d.ended());
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_count, 3);
  EXPECT_EQ(dlg.m_name, "m.inf");
  EXPECT_EQ(dlg.m_yes, 0);
  // A hook that leaves the dialog open gets it escaped.
  hooks::setDialogHook([](hooks::DialogDriver&) {});
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(LayerDialog, RendersToPng) {
  TestDlg dlg;
  const std::string png = ::testing::TempDir() + "winlayer_dialog.png";
  hooks::setDialogHook([&](hooks::DialogDriver& d) { EXPECT_TRUE(d.renderPng(png)); });
  dlg.DoModal();
  const auto image = hooks::loadPng(png);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 180);   // 120 dialog units across
  EXPECT_EQ(image->height, 130);  // 80 down
}

TEST(DataExchangeText, IntegersAllowBlanksAndSignButNothingElse) {
  EXPECT_EQ(ParseDDXInt("12"), 12);
  EXPECT_EQ(ParseDDXInt("  -7\t"), -7);
  EXPECT_EQ(ParseDDXInt("+5"), 5);
  for (const char* bad : {"", "   ", "1.5", "12abc", "1 2", "2147483648", "x"}) EXPECT_FALSE(ParseDDXInt(bad)) << bad;
}

TEST(DataExchangeText, NumbersMustBeFiniteDecimalAndFitSinglePrecision) {
  EXPECT_FLOAT_EQ(*ParseDDXFloat("0.001"), 0.001f);
  EXPECT_FLOAT_EQ(*ParseDDXFloat(" .5 "), 0.5f);
  EXPECT_FLOAT_EQ(*ParseDDXFloat("-1E3"), -1000.0f);
  EXPECT_DOUBLE_EQ(*ParseDDXDouble("1e300"), 1e300);
  for (const char* bad : {"", "nan", "inf", "-infinity", "0x10", "1,5", "1e39", "1.5.2", "--1"})
    EXPECT_FALSE(ParseDDXFloat(bad)) << bad;
  EXPECT_FALSE(ParseDDXDouble("1e999"));
}

TEST(DataExchangeText, NumbersShowWithSixSignificantDigits) {
  EXPECT_EQ(FormatDDXValue(0.001f), "0.001");
  EXPECT_EQ(FormatDDXValue(176.06f), "176.06");
  EXPECT_EQ(FormatDDXValue(1000.0f), "1000");
  EXPECT_EQ(FormatDDXValue(11.46017f), "11.4602");
  EXPECT_EQ(FormatDDXValue(-14), "-14");
}

}  // namespace
