// nrs_fuzz EXECUTABLE WORKDIR [WORKDIR ...] [options]
//
// Runs EXECUTABLE (a console program of the suite, started without arguments
// in its working directory) on seeded mutations of the working directories:
// each run gets a fresh copy of one directory, in turn, with one input file
// changed.  Every run is checked:
//   - no sanitizer report and no internal error on its console;
//   - no end by a signal, and no hang: after --stop-after seconds the run is
//     asked to stop through "stop.inp" (the way a user ends a fit), after
//     --timeout seconds it is killed and counts as hung;
//   - after exit status 0, no NaN or Inf in any file the run wrote;
//   - after any other status, a message on the console.
// Options:
//   --runs N        number of runs (default 300)
//   --seed S        run i mutates with seed S + i (default 1)
//   --jobs J        runs at a time (default 2)
//   --stop-after T  seconds before "stop.inp" is set to 0 (default 2)
//   --timeout T     seconds before a run counts as hung (default 60)
//   --log NAME      a run log: it records rejected fit steps as they came and
//                   is left out of the NaN check (may be repeated)
//   --scratch DIR   where the copies are made (default: a new temporary folder)
// A failed run's directory stays as DIR/failed-<i> with FUZZ.txt telling the
// seed, the mutation and the findings.  Exit status: 0 when every run passed,
// 1 when one failed, 2 for a usage error.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "programs/tools/fuzz.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
  std::string exe;
  std::vector<fs::path> dirs;
  int runs = 300;
  std::uint64_t seed = 1;
  int jobs = 2;
  double stopAfter = 2;
  double timeout = 60;
  std::vector<std::string> logs;
  fs::path scratch;
};

struct Run {
  int index = 0;
  pid_t pid = -1;
  fs::path base, dir, out;
  fuzz::Mutation m;
  std::map<std::string, std::string> inputs;  // the files as the run found them
  Clock::time_point start;
  bool stopAsked = false;
  bool killed = false;
};

struct Tally {
  int passed = 0, failed = 0, stopped = 0;
  std::map<int, int> byStatus;
};

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::map<std::string, std::string> snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file()) files[e.path().filename().string()] = readFile(e.path());
  return files;
}

bool sameNameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// Sets "stop.inp" (any letter case) to 0 in one step, so that the program
// never reads it half written.  A run whose mutation removed it is left alone.
void askToStop(Run& r) {
  r.stopAsked = true;
  for (auto& [name, text] : r.inputs) {
    if (!sameNameNoCase(name, "stop.inp")) continue;
    const fs::path tmp = r.dir.parent_path() / ("stop-" + std::to_string(r.index) + ".tmp");
    std::ofstream(tmp) << " 0\n";
    std::error_code ec;
    fs::rename(tmp, r.dir / name, ec);
    text = " 0\n";
  }
}

void start(const Options& o, int i, Run& r) {
  r.index = i;
  r.base = o.dirs[static_cast<std::size_t>(i) % o.dirs.size()];
  r.dir = o.scratch / ("run-" + std::to_string(i));
  r.out = o.scratch / ("run-" + std::to_string(i) + ".out");
  fs::remove_all(r.dir);
  fs::copy(r.base, r.dir, fs::copy_options::recursive);
  r.m = fuzz::mutateDirectory(r.dir, o.seed + static_cast<std::uint64_t>(i));
  r.inputs = snapshot(r.dir);
  r.start = Clock::now();
  r.pid = ::fork();
  if (r.pid == 0) {
    ::setpgid(0, 0);
    if (::chdir(r.dir.c_str()) != 0) ::_exit(127);
    const int out = ::open(r.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = ::open("/dev/null", O_RDONLY);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(out, 2);
    char* argv[] = {const_cast<char*>(o.exe.c_str()), nullptr};
    ::execvp(argv[0], argv);
    ::_exit(127);
  }
}

bool isLog(const Options& o, const std::string& name) {
  for (const auto& l : o.logs)
    if (sameNameNoCase(l, name)) return true;
  return false;
}

std::vector<std::string> findings(const Options& o, const Run& r, int wstatus, const std::string& output) {
  std::vector<std::string> f;
  if (r.killed) f.push_back("no end within " + std::to_string(o.timeout) + " s: hung");
  else if (WIFSIGNALED(wstatus)) f.push_back("ended by signal " + std::to_string(WTERMSIG(wstatus)));
  if (fuzz::reportsFault(output)) f.push_back("sanitizer report or internal error on the console");
  if (!WIFEXITED(wstatus)) return f;
  const int status = WEXITSTATUS(wstatus);
  if (status == 127) f.push_back("could not start " + o.exe);
  if (status != 0 && !fuzz::saysWhy(output)) f.push_back("exit " + std::to_string(status) + " without a message");
  if (status != 0) return f;
  for (const auto& [name, text] : snapshot(r.dir)) {
    const auto was = r.inputs.find(name);
    if (isLog(o, name) || (was != r.inputs.end() && was->second == text)) continue;
    if (fuzz::holdsNonFinite(text)) f.push_back("NaN or Inf in " + name + " after exit 0");
  }
  return f;
}

void finish(const Options& o, Run& r, int wstatus, Tally& t) {
  const std::string output = readFile(r.out);
  const auto found = findings(o, r, wstatus, output);
  if (r.stopAsked) ++t.stopped;
  ++t.byStatus[WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1];
  if (found.empty()) {
    ++t.passed;
    fs::remove_all(r.dir);
    fs::remove(r.out);
    return;
  }
  ++t.failed;
  const fs::path kept = o.scratch / ("failed-" + std::to_string(r.index));
  fs::remove_all(kept);
  fs::rename(r.dir, kept);
  std::ostringstream report;
  report << "run " << r.index << " (seed " << o.seed + static_cast<std::uint64_t>(r.index) << ") of "
         << r.base.string() << ": " << r.m.file << ": " << r.m.what << "\n";
  for (const auto& f : found) report << "  " << f << "\n";
  std::ofstream(kept / "FUZZ.txt") << report.str() << "console output:\n" << output;
  fs::remove(r.out);
  std::cout << report.str() << "  kept in " << kept.string() << "\n" << std::flush;
}

// Waits for the run, asks it to stop, or kills it; returns true when it ended.
bool poll(const Options& o, Run& r, Tally& t) {
  int wstatus = 0;
  const pid_t p = ::waitpid(r.pid, &wstatus, WNOHANG);
  if (p == r.pid) {
    finish(o, r, wstatus, t);
    return true;
  }
  const double s = std::chrono::duration<double>(Clock::now() - r.start).count();
  if (!r.stopAsked && s > o.stopAfter) askToStop(r);
  if (s > o.timeout) {
    r.killed = true;
    ::kill(-r.pid, SIGKILL);
    ::waitpid(r.pid, &wstatus, 0);
    finish(o, r, wstatus, t);
    return true;
  }
  return false;
}

void usage() {
  std::cerr << "usage: nrs_fuzz EXECUTABLE WORKDIR [WORKDIR ...] [--runs N] [--seed S] [--jobs J]\n"
               "                [--stop-after SECONDS] [--timeout SECONDS] [--log NAME] [--scratch DIR]\n";
}

bool parse(int argc, char** argv, Options& o) {
  std::vector<std::string> plain;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--", 0) != 0) {
      plain.push_back(a);
      continue;
    }
    if (i + 1 >= argc) return false;
    const std::string v = argv[++i];
    char* end = nullptr;
    const double x = std::strtod(v.c_str(), &end);
    const bool number = end != v.c_str() && *end == '\0' && x >= 0;
    if (a == "--log") o.logs.push_back(v);
    else if (a == "--scratch") o.scratch = v;
    else if (!number) return false;
    else if (a == "--runs") o.runs = static_cast<int>(x);
    else if (a == "--seed") o.seed = static_cast<std::uint64_t>(x);
    else if (a == "--jobs") o.jobs = std::max(1, static_cast<int>(x));
    else if (a == "--stop-after") o.stopAfter = x;
    else if (a == "--timeout") o.timeout = x;
    else return false;
  }
  if (plain.size() < 2) return false;
  o.exe = plain[0];
  // The program starts in its working directory: a relative path would not
  // lead to it from there.
  if (o.exe.find('/') != std::string::npos) o.exe = fs::absolute(o.exe).string();
  for (std::size_t k = 1; k < plain.size(); ++k) {
    if (!fs::is_directory(plain[k])) {
      std::cerr << "nrs_fuzz: no working directory " << plain[k] << "\n";
      return false;
    }
    o.dirs.push_back(fs::absolute(plain[k]));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, o)) {
    usage();
    return 2;
  }
  const bool ownScratch = o.scratch.empty();
  if (ownScratch) {
    std::string templ = (fs::temp_directory_path() / "nrs-fuzz-XXXXXX").string();
    if (!::mkdtemp(templ.data())) return 2;
    o.scratch = templ;
  }
  fs::create_directories(o.scratch);
  o.scratch = fs::absolute(o.scratch);
  // Findings of an earlier session would read as this one's.
  for (const auto& e : fs::directory_iterator(o.scratch)) {
    const std::string n = e.path().filename().string();
    if (n.rfind("run-", 0) == 0 || n.rfind("failed-", 0) == 0) fs::remove_all(e.path());
  }

  Tally t;
  std::vector<Run> active;
  for (int next = 0; next < o.runs || !active.empty();) {
    while (next < o.runs && static_cast<int>(active.size()) < o.jobs) start(o, next++, active.emplace_back());
    std::erase_if(active, [&](Run& r) { return poll(o, r, t); });
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }

  std::cout << "nrs_fuzz: " << o.runs << " runs of " << o.exe << ", " << t.passed << " passed, " << t.failed
            << " failed, " << t.stopped << " asked to stop; exit status:";
  for (const auto& [status, n] : t.byStatus) std::cout << " " << (status < 0 ? "signal" : std::to_string(status)) << " x" << n;
  std::cout << "\n";
  if (ownScratch && t.failed == 0) fs::remove_all(o.scratch);
  return t.failed == 0 ? 0 : 1;
}
