// "List_par": the model table as an editable list, read back into the table,
// the fit script (as the time-spectra program reads it) and the model file.
#include <filesystem>

#include "frontend/ListPar.hpp"
#include "frontend/ParamFiles.hpp"
#include "kavold_fixture.hpp"
#include "numlib/yvlayout.hpp"
#include "programs/common/fio.hpp"
#include "programs/common/params.hpp"

namespace {

using namespace kavoldtest;
namespace fs = std::filesystem;
namespace yv = numlib::yv;

// A film on a substrate, one multiplet with angles per multiplet, one
// grazing angle; the film's interfaces are of kind 1.
class ListPar : public KavoldApp {
 protected:
  void SetUp() override {
    KavoldApp::SetUp();
    CGeneralDlg& gd = view->m_GeneralDlg;
    gd.m_NNN = 2;
    gd.m_NM = 1;
    gd.m_IBHF = 2;
    gd.m_ISQ = 1;
    view->m_model(1, yv::H1A) = 160;
    view->m_model(2, yv::H1A) = 1000;
    view->m_model(yv::lineS(2), yv::HKMAX) = 1;
    view->m_model(yv::lineHyp(2, 1), 1) = 33;
    for (int k = 1; k <= 2; ++k)
      for (int c = 1; c <= 11; ++c) view->m_layerInt(k, c) = c == kColKSTEP ? 0 : 1;
    view->m_ModelDlg.m_ModelFile = "film.inf";
    view->m_ModelDlg.m_NSPC = 1;
    view->m_ModelDlg.m_Angle[0] = 3.5f;
    view->WriteFileM();  // the angle copy
    view->m_NewModelDlg.m_NewModelFile = "film.inf";
    view->WriteModelFile();
    model = dir.read("film.inf");
  }
  // The person's edit: rows that begin with `row` are replaced.
  void edit(std::vector<std::pair<std::string, std::string>> rows) {
    editor = [this, rows](const std::string& path) {
      std::string text = dir.read(fs::path(path).filename());
      for (const auto& [row, by] : rows) {
        const auto at = text.find("\n" + row);
        ASSERT_NE(at, std::string::npos) << row;
        text.replace(at + 1, text.find('\n', at + 1) - at - 1, by);
      }
      dir.write(fs::path(path).filename(), text);
    };
  }
  std::string model;
};

// Steps become records (the form of groups 1 to 4 ends with two blanks),
// except where they would vary nothing; values go into the table and the
// model file; a row outside the table is skipped with a message.  The list
// ends with the angle of the angle copy.
TEST_F(ListPar, EditedStepsBecomeTheScriptAndValuesTheModel) {
  // Without an edit the script varies nothing and the model stays.
  view->OnListPar();
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_TRUE(edits[0].wait);
  EXPECT_EQ(dir.read("NEXT.INP"), "    1   \n    0     0    0.00000     0     0  1.00   \n");
  EXPECT_EQ(dir.read("film.inf"), model);
  const std::string list = dir.read("LIST_PAR.res");
  const std::string head = "   Layer thicknesses   \n  1   1   160.0000    0.000     0   0    1.00 \n";
  const std::string tail = " Possible angle variations \n  3  10     3.5000   0.0000     0   0    1.00 \n";
  EXPECT_EQ(list.substr(0, head.size()), head);
  EXPECT_EQ(list.substr(list.size() - tail.size()), tail);

  edit({{"  1   1 ", "  1   1   150.0000    3.000     0   0    1.00 "},
        {"  1  17 ", "  1  17     0.000    1.00     0   0    1.00 "},  // kind-1 interface: no record
        {"  3   9 ", "  3   9    1.00000   0.1000     0   0    1.00 "},  // HKMAX: a record under INORM 1
        {"  3   1 ", "  3   1    1.00000  0.50000     0   0    1.00 "},  // a weight: none under ISQ 1
        {"  4   1 ", "  4   1    33.0000   0.5000    -3   0    2.00 "},
        {"  2   4 ", " 99   4    0.00000   1.0000     0   0    1.00 "}});
  view->OnListPar();
  EXPECT_EQ(messages(), std::vector<CString>{"LIST_PAR.res: the row of line 99, column 4 addresses the model table "
                                             "outside its lines 1 to 14 and columns 1 to 27: skipped."});
  const std::string next = dir.read("NEXT.INP");
  EXPECT_NE(next.find("    1     1    3.00000     0     0  1.00  \n"), std::string::npos) << next;
  EXPECT_EQ(view->m_model(1, yv::H1A), 150.0f);
  EXPECT_NE(dir.read("film.inf").find("\n 1   150.0000 "), std::string::npos);

  // The time-spectra program reads the script record by record.
  fio::Unit log(4);
  log.openNew("ZEPRIN.RES");
  fio::Unit unit(6);
  int Jcalc = 0;
  common::RDNEXT(log, unit, 1, Jcalc);
  std::vector<std::vector<float>> records;
  int in1 = 0, ip1 = 0, in2 = 0, ip2 = 0;
  float sp1 = 0, f2 = 0;
  while (unit.tryRead(in1, ip1, sp1, in2, ip2, f2) && in1 != 0)
    records.push_back({float(in1), float(ip1), sp1, float(in2), float(ip2), f2});
  EXPECT_EQ(records, (std::vector<std::vector<float>>{{1, 1, 3, 0, 0, 1}, {3, 9, 0.1f, 0, 0, 1}, {4, 1, 0.5f, -3, 0, 2}}));
}

}  // namespace
