// Running the console programs: the four run commands that wait for their
// program and then read its results, the three "Fitting" starts that leave
// the program running, and "Clean previous result".  The front end computes
// nothing itself; it prepares the files, starts a program in the working
// directory and reads what the program leaves there.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "frontend/Globals.hpp"
#include "frontend/KAVOLDView.hpp"
#include "frontend/ParamText.hpp"
#include "frontend/winlayer/platform.hpp"
#include "programs/common/filename.hpp"

namespace kavold {

namespace {

// Result and scratch files of the time-spectra program, deleted before it
// runs so that a failed run cannot be mistaken for a new one.
const char* const kTimeResults[] = {
    "Buffen1.res", "Buffen2.res", "Buffen3.res", "Buffen4.res", "Bufftn1.res", "Bufftn2.res", "Bufftn3.res",
    "Bufftn4.res", "E_spcN.res",  "Layspc.res",  "Modeln.res",  "Zeprin.res",  "TtestF.res",  "Integr.res",
    "Result.res",  "LIST_PAR.res", "Angle.res",  "OLD_ANG.RES", "Rab.res",
};

// Result and scratch files of every program and of the front end.
const char* const kAllResults[] = {
    "Buffen1.res", "Buffen2.res", "Buffen3.res", "Buffen4.res", "Bufftn1.res", "Bufftn2.res", "Bufftn3.res",
    "Bufftn4.res", "NEXTs.res",   "TOLPEK.RES",  "CEMfit.res",  "EpsCEM.res",  "OLD_ANG.RES", "E_spcN.res",
    "Integr.res",  "Layspc.res",  "Modeln.res",  "Rab.res",     "Result.res",  "Zeprin.res",  "TtestF.res",
    "Delay2.res",  "Promp2.res",  "IntegrF.res", "Resulti.res", "MOLVEC.res",  "TimtesF.res", "Relay.res",
    "El_mod.res",  "Quasto.res",  "Joint.res",   "LIST_PAR.res", "Angle.res",  "INMOD.RES",   "CEMorig.res",
    "Buff.res",    "NEXTJ.res",   "Save.res",
};

constexpr const char* kFitted = "Layspc.res";  // the fitted model that every program writes

// The model file that "FILEM.INP" names, when both exist.
std::optional<std::filesystem::path> modelOfFileM() {
  auto text = ReadWholeFile("FILEM.INP");
  if (!text) return std::nullopt;
  try {
    ParamScanner in(std::move(*text));
    return nrsfile::findExisting(winlayer::NativePath(in.NameLine()));
  } catch (const InvalidParametersFile&) {
    return std::nullopt;
  }
}

// Deletes the files, ignoring failures, but never the model of the next
// run: a fitted model "LAYSPC.RES" may be taken on as the next model.
void deleteAllButTheModel(std::span<const char* const> names) {
  const auto model = modelOfFileM();
  for (const char* name : names) {
    const auto found = nrsfile::findExisting(winlayer::NativePath(name));
    std::error_code ec;
    if (model && found && std::filesystem::equivalent(*found, *model, ec)) continue;
    winlayer::DeleteFileA(name);
  }
}

// The last `count` lines of a console that hold more than blanks, each cut
// to its last 160 characters (a fit writes its progress marks on one line).
std::string lastLines(const std::string& console, int count) {
  std::vector<std::string> lines;
  std::size_t end = console.size();
  while (end > 0 && static_cast<int>(lines.size()) < count) {
    const std::size_t start = console.find_last_of('\n', end - 1);
    const std::size_t from = start == std::string::npos ? 0 : start + 1;
    std::string line = console.substr(from, end - from);
    std::erase(line, '\r');
    if (line.find_first_not_of(" \t") != std::string::npos)
      lines.push_back(line.size() > 160 ? line.substr(line.size() - 160) : line);
    end = start == std::string::npos ? 0 : start;
  }
  std::string text;
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) text += "\n" + *it;
  return text;
}

// What the user is told of a program that failed: its name, its status and
// what it wrote last.
std::string failedRunText(const winlayer::ProgramEnd& e) {
  std::string text = e.signalled ? Format("%s was ended by signal %d", e.name.c_str(), e.status)
                                 : Format("%s stopped with exit status %d", e.name.c_str(), e.status);
  const std::string lines = lastLines(e.console, 5);
  return text + (lines.empty() ? " and wrote nothing." : ". Its last lines:" + lines);
}

}  // namespace

// A program started without waiting that failed is reported once it has
// ended, and its start is undone; its results are not read before its show
// button is pressed.
void CKAVOLDView::ReportEndWithoutWait(const winlayer::ProgramEnd& e) {
  const std::optional<RunMarks> before = std::exchange(m_beforeStart, std::nullopt);
  if (!e.failed()) return;
  if (before) {
    PutBackRunMarks(*before);
    Invalidate();
  }
  Say(failedRunText(e).c_str());
}

CKAVOLDView::RunMarks CKAVOLDView::CurrentRunMarks() const {
  const KavoldGlobals& g = globals();
  return {m_timeModel,   m_delayedModel, m_promptModel,  g.runTime,   g.runDelayed,
          g.runPrompt,   m_pressTime,    m_pressDelayed, m_pressPrompt};
}

void CKAVOLDView::PutBackRunMarks(const RunMarks& m) {
  m_timeModel = m.time;
  m_delayedModel = m.delayed;
  m_promptModel = m.prompt;
  KavoldGlobals& g = globals();
  g.runTime = m.runTime;
  g.runDelayed = m.runDelayed;
  g.runPrompt = m.runPrompt;
  m_pressTime = m.pressTime;
  m_pressDelayed = m.pressDelayed;
  m_pressPrompt = m.pressPrompt;
}

// A program started without waiting works on the same files as any other:
// nothing more starts until it has ended.
bool CKAVOLDView::RefuseWhileRunning() {
  winlayer::DeliverEndedPrograms();
  const auto running = winlayer::RunningPrograms();
  if (running.empty()) return false;
  Say(Format("%s is still running in this directory: wait until it ends, or end it with \"Stop calculations\".",
             running.front().c_str())
          .c_str());
  return true;
}

bool CKAVOLDView::ProbeFile(const char* name, const CString& missing) {
  std::FILE* f = winlayer::crt::fopen(name, "r");
  if (!f) {
    Say(missing);
    return false;
  }
  std::fclose(f);
  return true;
}

bool CKAVOLDView::RunAndWait(const char* program) {
  winlayer::crt::_spawnl(winlayer::crt::_P_WAIT, program, program, nullptr);
  const winlayer::ProgramEnd& e = winlayer::LastWaitedProgram();
  if (!e.failed()) return true;
  Say((failedRunText(e) + "\nNothing of this run was read.").c_str());
  return false;
}

bool CKAVOLDView::RunOrAbandon(const char* program, const NextProtection& next) {
  if (RunAndWait(program)) return true;
  m_timeModel = next.labels.time;
  m_delayedModel = next.labels.delayed;
  m_promptModel = next.labels.prompt;
  m_cemsModel = next.labels.cems;
  RestoreNext(next);
  Invalidate();
  return false;
}

// Called once the command has set its marks, so that the program's end,
// whenever it comes, finds them in place.  A program that does not start at
// all leaves no results to show: its marks are undone at once.
void CKAVOLDView::StartWithoutWait(const char* program, const RunMarks& before) {
  constexpr winlayer::UINT kStarted = 32;  // WinExec's results from here on mean a start
  if (winlayer::WinExec(program, winlayer::SW_SHOW) >= kStarted)
    m_beforeStart = before;
  else
    PutBackRunMarks(before);
}

// Reads the head of the fit script: the switch in its first record and the
// line number of the first variation record.  When the script varies
// something the fit question is asked.  Without a fit the script is saved
// as "NEXTs.RES" and replaced by one that varies nothing.  Nothing when the
// question was left with Escape or the script could not be saved: the run
// does not start then.
std::optional<CKAVOLDView::NextProtection> CKAVOLDView::AskFitAndProtectNext(const char* missingNext,
                                                                             CString& newLabel) {
  int firstLine = 0;
  if (auto text = ReadWholeFile("NEXT.inp")) {
    ParamScanner in(std::move(*text));
    try {
      in.Int();
      in.EndOfRecord();
      firstLine = in.Int();
    } catch (const InvalidParametersFile&) {
      // A script without a variation record varies nothing.
    }
  } else {
    Say(missingNext);
  }
  // Escape in the fit question starts no run.
  if (firstLine != 0 && !ShowModal(m_FitDlg)) return std::nullopt;
  NextProtection p;
  p.labels = {m_timeModel, m_delayedModel, m_promptModel, m_cemsModel};
  p.fit = m_FitDlg.m_Fit == 1;
  if (p.fit) {
    newLabel = kFitted;
    return p;
  }
  p.created = !nrsfile::findExisting("NEXT.INP");
  if (!p.created) {
    p.saved = winlayer::CopyFileA("NEXT.INP", "NEXTs.RES", 0) != 0;
    if (!p.saved) {
      Say("can not create file: NEXTs.RES");
      return std::nullopt;
    }
  }
  WriteNextWithoutVariations();
  newLabel = m_ModelDlg.m_ModelFile;
  return p;
}

// Puts back the script that this command replaced, and only that one.
void CKAVOLDView::RestoreNext(const NextProtection& p) {
  if (p.saved) winlayer::CopyFileA("NEXTs.RES", "NEXT.INP", 0);
  if (p.created) winlayer::DeleteFileA("NEXT.INP");
}

// The depth profiles are read after the first run since the start or since
// the experiments were loaded; the multiplet profile only after a program
// that writes one.
void CKAVOLDView::ReadProfilesAfterRun(bool withMultiplets) {
  const KavoldGlobals& g = globals();
  if (g.runTime == 0 && g.runDelayed == 0 && g.runPrompt == 0 && g.runCEMS == 0) ReadElModel();
  if (withMultiplets && g.runTime == 0 && g.runDelayed == 0 && g.runCEMS == 0) ReadModelProfile();
}

// A run whose program fails reads nothing and counts nothing: the view
// stays as it was before the command, the curves of the previous run under
// their own model names.
void CKAVOLDView::OnRunTimeSpectra() {
  if (RefuseWhileRunning()) return;
  const auto next = AskFitAndProtectNext("can not find file: NEXT.inp", m_timeModel.current);
  if (!next) return;
  deleteAllButTheModel(kTimeResults);
  if (ProbeFile("ZEPRIN.exe", "can not find file: ZEPRIN.exe")) {
    if (!RunOrAbandon("ZEPRIN.exe", *next)) return;
    ReadProfilesAfterRun(true);
    KavoldGlobals& g = globals();
    if (g.runTime == 0) m_timeModel.initial = m_timeModel.current;
    ++g.runTime;
    OnShowTimeSpectra();
  }
  RestoreNext(*next);
  Invalidate();
}

// The delayed-prompt and prompt runs go without the reflectivity experiment
// when its file is missing.
void CKAVOLDView::CheckReflectivityExperiment() {
  if (m_del.Intexp == 0) return;
  std::FILE* f = winlayer::crt::fopen(m_reflExpName, "r");
  if (f) {
    std::fclose(f);
    return;
  }
  m_LoadDlg.m_Delayed = 0;
  m_del.Intexp = 0;
  WriteDelFile();
  Say("CAN NOT FIND FILE with delayed and prompt exper.data");
}

void CKAVOLDView::OnRunDelayed() {
  if (RefuseWhileRunning()) return;
  CheckReflectivityExperiment();
  const auto next = AskFitAndProtectNext("CAN NOT FIND FILE: NEXT.inp", m_delayedModel.current);
  if (!next) return;
  m_promptModel.current = m_delayedModel.current;
  KavoldGlobals& g = globals();
  if (ProbeFile("MOLVEC.exe", "can not find file: MOLVEC.exe")) {
    if (!RunOrAbandon("MOLVEC.exe", *next)) return;
    if (g.runDelayed == 0) {
      m_delayedModel.initial = m_delayedModel.current;
      m_promptModel.initial = m_promptModel.current;
    }
  }
  RestoreNext(*next);
  ReadProfilesAfterRun(true);
  ++g.runDelayed;
  ++g.runPrompt;
  OnShowDelayed();
  Invalidate();
}

void CKAVOLDView::OnRunPrompt() {
  if (RefuseWhileRunning()) return;
  CheckReflectivityExperiment();
  const auto next = AskFitAndProtectNext("CAN NOT FIND FILE: NEXT.inp", m_promptModel.current);
  if (!next) return;
  KavoldGlobals& g = globals();
  if (ProbeFile("Quasto.exe", "can not find file: QUASTO.exe")) {
    if (!RunOrAbandon("QUASTO.exe", *next)) return;
    if (g.runPrompt == 0) m_promptModel.initial = m_promptModel.current;
  }
  RestoreNext(*next);
  ReadProfilesAfterRun(false);  // the prompt program writes no multiplet profile
  ++g.runPrompt;
  OnShowPrompt();
  Invalidate();
}

// The conversion-electron run starts its program whatever the probes find.
void CKAVOLDView::OnRunCems() {
  if (RefuseWhileRunning()) return;
  const auto next = AskFitAndProtectNext("CAN NOT FIND FILE: NEXT.inp", m_cemsModel.current);
  if (!next) return;
  ProbeFile("BRINAX.exe", "can not find file: BRINAX.exe");
  if (m_LoadDlg.m_NSPCE != 0) ProbeFile(m_LoadDlg.m_CemsFile, "CAN NOT FIND FILE: CEMS_exp_dat");
  if (!RunOrAbandon("BRINAX.exe", *next)) return;
  ReadProfilesAfterRun(true);
  ++globals().runCEMS;
  RestoreNext(*next);
  OnShowCems();
  Invalidate();
}

// ---------------------------------------------------- starts without wait

void CKAVOLDView::OnFitTimeSpectra() {
  if (RefuseWhileRunning()) return;
  const RunMarks before = CurrentRunMarks();
  m_timeModel.current = kFitted;
  m_pressTime = 1;
  ProbeFile("ZEPRIN.exe", "can not find file: ZEPRIN.exe");
  ++globals().runTime;
  StartWithoutWait("ZEPRIN.exe", before);
  Invalidate();
}

void CKAVOLDView::ProbeReflectivityRun(const char* program, const char* missingProgram) {
  if (m_del.Intexp != 0) ProbeFile(m_reflExpName, "CAN NOT FIND FILE with delayed and prompt exper.data");
  ProbeFile("NEXT.inp", "CAN NOT FIND FILE: NEXT.inp");
  ProbeFile(program, missingProgram);
}

void CKAVOLDView::OnFitPromptCurve() {
  if (RefuseWhileRunning()) return;
  const RunMarks before = CurrentRunMarks();
  m_promptModel.current = kFitted;
  m_pressPrompt = 1;
  ProbeReflectivityRun("QUASTO.exe", "can not find file: QUASTO.exe");
  ++globals().runPrompt;
  StartWithoutWait("QUASTO.exe", before);
  Invalidate();
}

void CKAVOLDView::OnFitDelayedPrompt() {
  if (RefuseWhileRunning()) return;
  const RunMarks before = CurrentRunMarks();
  m_delayedModel.current = kFitted;
  m_pressDelayed = 1;
  ProbeReflectivityRun("MOLVEC.exe", "CAN NOT FIND FILE: MOLVEC.exe");
  KavoldGlobals& g = globals();
  ++g.runDelayed;
  ++g.runPrompt;
  StartWithoutWait("MOLVEC.exe", before);
  Invalidate();
}

void CKAVOLDView::OnCleanPreviousResult() {
  deleteAllButTheModel(kAllResults);
}

}  // namespace kavold
