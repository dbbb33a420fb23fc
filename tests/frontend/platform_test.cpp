// The platform services of the window layer: program and file lookup,
// current directory, copy and delete, starting programs with and without
// waiting, and the text editor.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "frontend/winlayer/hooks.hpp"
#include "frontend/winlayer/platform.hpp"
#include "tempdir.hpp"

namespace {

using namespace winlayer;
namespace fs = std::filesystem;

void writeScript(const nrstest::TempDir& dir, const std::string& name, const std::string& body) {
  dir.write(name, "#!/bin/sh\n" + body);
  ::chmod((dir.path() / name).c_str(), 0755);
}

bool waitFor(const fs::path& p) {
  for (int i = 0; i < 200; ++i) {
    if (fs::exists(p) && fs::file_size(p) > 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return false;
}

TEST(ProgramLookup, ExactThenAnyCaseThenWithoutExe) {
  nrstest::TempDir dir;
  dir.write("ZEPRIN", "a");
  dir.write("quasto", "b");
  dir.write("MOLVEC.exe", "c");
  dir.write("MOLVEC", "d");

  EXPECT_EQ(FindProgram("ZEPRIN.exe")->filename(), "ZEPRIN");
  EXPECT_EQ(FindProgram("Quasto.exe")->filename(), "quasto");
  EXPECT_EQ(FindProgram("MOLVEC.exe")->filename(), "MOLVEC.exe");  // the exact name wins
  EXPECT_EQ(FindProgram("MOLVEC")->filename(), "MOLVEC");
  EXPECT_FALSE(FindProgram("BRINAX.exe"));
  EXPECT_EQ(*FindProgram("ZEPRIN.exe"), fs::current_path() / "ZEPRIN");
}

// Programs not copied into the working directory are found in the program
// folder (the one of the front end's executable); the working directory
// comes first, and a name with a folder is not looked for elsewhere.
TEST(ProgramLookup, TheProgramFolderServesWhenTheWorkingDirectoryHasNone) {
  nrstest::TempDir dir;
  fs::create_directories(dir.path() / "bin");
  writeScript(dir, "bin/ZEPRIN", "echo ran > ran.res\nexit 4\n");
  writeScript(dir, "bin/MOLVEC", "exit 1\n");
  writeScript(dir, "molvec", "exit 2\n");
  SetProgramFolder(dir.path() / "bin");
  EXPECT_EQ(*FindProgram("ZEPRIN.exe"), dir.path() / "bin" / "ZEPRIN");
  EXPECT_EQ(*FindProgram("MOLVEC.exe"), dir.path() / "molvec");
  EXPECT_FALSE(FindProgram("sub/ZEPRIN.exe"));
  std::FILE* f = crt::fopen("Zeprin.exe", "r");
  EXPECT_NE(f, nullptr);
  if (f) std::fclose(f);
  EXPECT_EQ(crt::_spawnl(crt::_P_WAIT, "ZEPRIN.exe", "ZEPRIN.exe", nullptr), 4);
  EXPECT_EQ(dir.read("ran.res"), "ran\n");  // it ran in the working directory
  SetProgramFolder({});
  EXPECT_FALSE(FindProgram("ZEPRIN.exe"));
}

// A wait function stands in for the blocking wait: it is told the program
// and polls until the program has ended.
TEST(Spawn, TheWaitFunctionPollsUntilTheProgramEnds) {
  nrstest::TempDir dir;
  writeScript(dir, "ZEPRIN", "sleep 0.2\nexit 5\n");
  std::string label;
  int polls = 0;
  SetWaitFunction([&](const std::string& program, const std::function<bool()>& ended) {
    label = program;
    while (!ended()) {
      ++polls;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  EXPECT_EQ(crt::_spawnl(crt::_P_WAIT, "ZEPRIN.exe", "ZEPRIN.exe", nullptr), 5);
  SetWaitFunction(nullptr);
  EXPECT_EQ(label, "ZEPRIN.exe");
  EXPECT_GT(polls, 5);
}

TEST(FileOpen, FindsNamesInAnyCaseAndProgramsWithoutExe) {
  nrstest::TempDir dir;
  dir.write("NEXT.INP", "1\n");
  dir.write("ZEPRIN", "#!/bin/sh\n");

  std::FILE* f = crt::fopen("next.INP", "r");
  ASSERT_NE(f, nullptr);
  int v = 0;
  EXPECT_EQ(std::fscanf(f, "%d", &v), 1);
  EXPECT_EQ(v, 1);
  std::fclose(f);

  f = crt::fopen("ZEPRIN.exe", "r");
  EXPECT_NE(f, nullptr);
  if (f) std::fclose(f);
  EXPECT_EQ(crt::fopen("QUASTO.exe", "r"), nullptr);
  EXPECT_EQ(crt::fopen("missing.inp", "r"), nullptr);

  // Writing "next.inp" rewrites the existing "NEXT.INP" instead of a twin.
  f = crt::fopen("next.inp", "w");
  ASSERT_NE(f, nullptr);
  std::fputs("0\n", f);
  std::fclose(f);
  EXPECT_EQ(dir.read("NEXT.INP"), "0\n");
  EXPECT_FALSE(fs::exists(dir.path() / "next.inp") && !fs::equivalent(dir.path() / "next.inp", dir.path() / "NEXT.INP"));
}

TEST(FileServices, CopyAndDeleteIgnoreCaseAndReportFailure) {
  nrstest::TempDir dir;
  dir.write("LAYSPC.RES", "model\n");
  dir.write("BUFF.res", "old\n");

  EXPECT_TRUE(CopyFileA("Layspc.res", "buff.RES", 0));
  EXPECT_EQ(dir.read("BUFF.res"), "model\n");
  EXPECT_FALSE(CopyFileA("Layspc.res", "BUFF.res", 1));  // must not overwrite
  EXPECT_FALSE(CopyFileA("missing.res", "x.res", 0));
  EXPECT_TRUE(CopyFileA("LAYSPC.RES", "layspc.res", 0));  // onto itself
  EXPECT_EQ(dir.read("LAYSPC.RES"), "model\n");

  EXPECT_TRUE(DeleteFileA("Buff.Res"));
  EXPECT_FALSE(dir.exists("BUFF.res"));
  EXPECT_FALSE(DeleteFileA("Buff.Res"));  // twice: nothing left to delete
}

TEST(CurrentDirectory, SetAcceptsBackslashesAndGetCutsToTheBuffer) {
  nrstest::TempDir dir;
  fs::create_directories(dir.path() / "a" / "b");
  ASSERT_TRUE(SetCurrentDirectoryA("a\\b"));
  const std::string cwd = fs::current_path().string();
  EXPECT_EQ(fs::current_path(), fs::canonical(dir.path() / "a" / "b"));

  char buf[256];
  EXPECT_EQ(GetCurrentDirectoryA(sizeof buf, buf), cwd.size());
  EXPECT_EQ(std::string(buf), cwd);

  char small[8];
  EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), cwd.size() + 1);
  EXPECT_EQ(std::string(small), cwd.substr(0, 7));
  EXPECT_FALSE(SetCurrentDirectoryA("no-such-folder"));
  EXPECT_EQ(fs::current_path().string(), cwd);
}

TEST(Spawn, WaitsForTheProgramAndReturnsItsStatus) {
  nrstest::TempDir dir;
  // The program takes its time, then leaves a result file: after the call
  // returns the file must be complete.
  writeScript(dir, "ZEPRIN", "sleep 0.3\necho \"$#\" > result.res\nexit 3\n");
  EXPECT_EQ(crt::_spawnl(crt::_P_WAIT, "ZEPRIN.exe", "ZEPRIN.exe", nullptr), 3);
  const std::string result = dir.read("result.res");
  EXPECT_EQ(result, "0\n");  // the program name alone, no arguments

  EXPECT_EQ(crt::_spawnl(crt::_P_WAIT, "QUASTO.exe", "QUASTO.exe", nullptr), -1);
}

TEST(Spawn, WinExecStartsWithoutWaiting) {
  nrstest::TempDir dir;
  writeScript(dir, "MOLVEC", "sleep 0.5\necho done > started.res\n");
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_GT(WinExec("MOLVEC.exe", SW_SHOW), 31u);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(400));
  EXPECT_FALSE(dir.exists("started.res"));
  EXPECT_TRUE(waitFor(dir.path() / "started.res"));
  EXPECT_EQ(WinExec("BRINAX.exe", SW_SHOW), 2u);
}

class EditorTest : public ::testing::Test {
 protected:
  void TearDown() override {
    hooks::setEditorStandIn(nullptr);
    SetEditorVariable("");
    ::unsetenv("NRS_TEST_EDITOR");
  }
};

TEST_F(EditorTest, NotepadCallsReachTheEditorWithTheFileFoundInAnyCase) {
  nrstest::TempDir dir;
  dir.write("ZEPRIN.INP", "x\n");
  std::vector<std::pair<std::string, bool>> calls;
  hooks::setEditorStandIn([&](const std::string& path, bool wait) { calls.emplace_back(path, wait); });

  char windir[256];
  GetWindowsDirectoryA(windir, sizeof windir);
  const std::string notepad = std::string(windir) + "\\notepad.exe";
  const std::string full = fs::current_path().string() + "\\ZEPRIN.inp";
  EXPECT_EQ(crt::_spawnl(crt::_P_WAIT, notepad.c_str(), full.c_str(), full.c_str(), nullptr), 0);
  EXPECT_GT(WinExec("Notepad NEXT.INP", SW_SHOW), 31u);

  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].first, (dir.path() / "ZEPRIN.INP").string());
  EXPECT_TRUE(calls[0].second);
  EXPECT_EQ(calls[1].first, (fs::current_path() / "NEXT.INP").string());  // not there yet: as named
  EXPECT_FALSE(calls[1].second);
}

TEST_F(EditorTest, TheEnvironmentVariableNamesAnExternalEditor) {
  nrstest::TempDir dir;
  dir.write("MOLVEC.INP", "a\n");
  SetEditorVariable("NRS_TEST_EDITOR");
  ::setenv("NRS_TEST_EDITOR", "printf 'edited\\n' >>", 1);
  EXPECT_EQ(crt::_spawnl(crt::_P_WAIT, "C:\\WINDOWS\\notepad.exe", "MOLVEC.INP", "MOLVEC.INP", nullptr), 0);
  EXPECT_EQ(dir.read("MOLVEC.INP"), "a\nedited\n");
}

}  // namespace
