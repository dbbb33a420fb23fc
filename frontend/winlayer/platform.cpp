#include "frontend/winlayer/platform.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "frontend/winlayer/hooks.hpp"
#include "programs/common/filename.hpp"

extern char** environ;

namespace winlayer {

namespace fs = std::filesystem;

namespace {

struct EditorSettings {
  std::string variable;
  EditorFunction builtin;
  EditorFunction standIn;  // test hook
};

EditorSettings& editorSettings() {
  static EditorSettings s;
  return s;
}

// The console of a started program: a scratch file that takes its standard
// output and error, unlinked at once so that it goes with its last
// descriptor.  The program shares the file's offset; this side reads at an
// offset of its own, so a program never blocks on a full pipe and runs on
// when this process ends.
class Console {
 public:
  Console() = default;
  Console(Console&& o) noexcept : m_fd(std::exchange(o.m_fd, -1)), m_read(o.m_read), m_tail(std::move(o.m_tail)) {}
  Console& operator=(Console&& o) noexcept {
    if (this == &o) return *this;
    if (m_fd >= 0) ::close(m_fd);
    m_fd = std::exchange(o.m_fd, -1);
    m_read = o.m_read;
    m_tail = std::move(o.m_tail);
    return *this;
  }
  ~Console() {
    if (m_fd >= 0) ::close(m_fd);
  }
  // False when no scratch file can be made: the program then writes where
  // this process does.
  bool open() {
    std::error_code ec;
    std::string name = (fs::temp_directory_path(ec) / "nrs-console-XXXXXX").string();
    if (ec) name = "/tmp/nrs-console-XXXXXX";
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd < 0) return false;
    ::unlink(name.c_str());
    return true;
  }
  int fd() const { return m_fd; }
  // Passes on what the program wrote since the last call.
  void pass() {
    if (m_fd < 0) return;
    char buffer[4096];
    for (;;) {
      const ssize_t n = ::pread(m_fd, buffer, sizeof buffer, m_read);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;
      m_read += n;
      for (ssize_t done = 0; done < n;) {
        const ssize_t w = ::write(STDOUT_FILENO, buffer + done, static_cast<std::size_t>(n - done));
        if (w <= 0 && errno != EINTR) break;
        if (w > 0) done += w;
      }
      m_tail.append(buffer, static_cast<std::size_t>(n));
      if (m_tail.size() > 2 * kConsoleTail) m_tail.erase(0, m_tail.size() - kConsoleTail);
    }
  }
  std::string tail() const {
    return m_tail.size() > kConsoleTail ? m_tail.substr(m_tail.size() - kConsoleTail) : m_tail;
  }

 private:
  int m_fd = -1;
  off_t m_read = 0;
  std::string m_tail;
};

struct StartedProgram {
  pid_t pid;
  std::string name;  // as started
  Console console;
};

struct ProgramSettings {
  fs::path folder;  // second place to look for programs
  WaitFunction wait;
  std::vector<StartedProgram> started;  // without waiting, not yet ended
  std::vector<ProgramEnd> ended;        // not yet handed to the end function
  ProgramEndFunction onEnd;
  std::function<void()> onStart;
  ProgramEnd lastWaited;
};

ProgramSettings& programSettings() {
  static ProgramSettings s;
  return s;
}

bool endsWithNoCase(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && nrsfile::equalsNoCase(s.substr(s.size() - tail.size()), tail);
}

std::string leafName(std::string_view path) {
  const std::string p = NativePath(path);
  const auto slash = p.find_last_of('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

// Argument vector for exec: pointers into `args`, ended by a null pointer.
std::vector<char*> argvOf(std::vector<std::string>& args) {
  std::vector<char*> v;
  for (auto& a : args) v.push_back(a.data());
  v.push_back(nullptr);
  return v;
}

// The end of a child as waitpid reported it.
ProgramEnd endOf(const std::string& name, int status, const Console& console) {
  ProgramEnd e;
  e.name = name;
  e.started = true;
  e.signalled = WIFSIGNALED(status);
  e.status = e.signalled ? WTERMSIG(status) : WEXITSTATUS(status);
  e.console = console.tail();
  return e;
}

// The exit status that _spawnl returns: the program's code, or -1 when it
// did not start or a signal ended it.
int spawnResult(const ProgramEnd& e) { return e.started && !e.signalled ? e.status : -1; }

// Starts a program and waits for it; how it ended goes into lastWaited.  Its
// console is kept unless told otherwise (the text editor may need the
// terminal).
int spawnAndWait(const std::string& path, std::vector<std::string> args, const std::string& label,
                 bool keepConsole) {
  std::vector<char*> argv = argvOf(args);
  ProgramEnd& last = programSettings().lastWaited;
  Console console;
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  if (keepConsole && console.open()) {
    ::posix_spawn_file_actions_adddup2(&actions, console.fd(), STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, console.fd(), STDERR_FILENO);
  }
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    errno = ENOENT;
    return -1;
  }
  int status = 0;
  bool ended = false, lost = false;
  const auto poll = [&] {
    if (!ended && !lost) {
      console.pass();
      const pid_t r = ::waitpid(pid, &status, WNOHANG);
      ended = r == pid;
      lost = r < 0 && errno != EINTR;
    }
    return ended || lost;
  };
  if (const WaitFunction& wait = programSettings().wait) {
    wait(label, poll);
  } else {
    while (!poll()) ::usleep(20000);
  }
  console.pass();
  if (ended) last = endOf(label, status, console);
  return spawnResult(last);
}

// Starts a program in a session of its own and remembers it; it is reaped
// when RunningPrograms or DeliverEndedPrograms finds it ended.  Between fork
// and exec only async-signal-safe calls are made.
bool spawnTracked(const std::string& path, std::vector<std::string> args, const std::string& name) {
  std::vector<char*> argv = argvOf(args);
  Console console;
  const int fd = console.open() ? console.fd() : -1;
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    if (fd >= 0) {
      ::dup2(fd, STDOUT_FILENO);
      ::dup2(fd, STDERR_FILENO);
    }
    ::setsid();
    ::execve(path.c_str(), argv.data(), environ);
    ::_exit(127);
  }
  programSettings().started.push_back({child, name, std::move(console)});
  return true;
}

// Passes on the consoles of the programs started without waiting and moves
// those that have ended to the ended list.
void reapStarted() {
  ProgramSettings& s = programSettings();
  std::erase_if(s.started, [&s](StartedProgram& p) {
    p.console.pass();
    int status = 0;
    const pid_t r = ::waitpid(p.pid, &status, WNOHANG);
    if (r == p.pid) {
      p.console.pass();
      s.ended.push_back(endOf(p.name, status, p.console));
      return true;
    }
    return r < 0 && errno == ECHILD;  // reaped elsewhere: how it ended is not known
  });
}

// Starts the program in a new session, owned by nobody, so that it runs on
// when the caller ends and leaves no zombie behind.  Between fork and exec
// only async-signal-safe calls are made.
bool spawnDetached(const std::string& path, std::vector<std::string> args) {
  std::vector<char*> argv = argvOf(args);
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild == 0) {
      ::execve(path.c_str(), argv.data(), environ);
      ::_exit(127);
    }
    ::_exit(grandchild < 0 ? 1 : 0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The file that an editor call names: relative names are taken in the
// current directory, and an existing file is found in any letter case.
std::string editorFile(std::string_view name) {
  const std::string p = NativePath(name);
  if (auto found = nrsfile::findExisting(p)) return fs::absolute(*found).lexically_normal().string();
  return fs::absolute(p).lexically_normal().string();
}

int runEditor(const std::string& file, bool wait) {
  EditorSettings& s = editorSettings();
  if (s.standIn) {
    s.standIn(file, wait);
    return 0;
  }
  const char* command = s.variable.empty() ? nullptr : std::getenv(s.variable.c_str());
  if (command && *command) {
    std::vector<std::string> args{"sh", "-c", std::string(command) + " \"$1\"", "sh", file};
    if (wait) return spawnAndWait("/bin/sh", std::move(args), "the text editor", false);
    return spawnDetached("/bin/sh", std::move(args)) ? 0 : -1;
  }
  if (!s.builtin) return -1;
  s.builtin(file, wait);
  return 0;
}

std::vector<std::string> splitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size()) break;
    std::size_t j = i;
    while (j < line.size() && line[j] != ' ') ++j;
    words.emplace_back(line.substr(i, j - i));
    i = j;
  }
  return words;
}

}  // namespace

std::string NativePath(std::string_view path) {
  std::string p(path);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

namespace {
// The exact name, any case, then without ".exe", in one folder.
std::optional<fs::path> findProgramIn(const std::string& p, const fs::path& dir) {
  if (auto found = nrsfile::findExisting(p, dir)) return fs::absolute(*found).lexically_normal();
  if (endsWithNoCase(p, ".exe")) {
    if (auto found = nrsfile::findExisting(p.substr(0, p.size() - 4), dir))
      return fs::absolute(*found).lexically_normal();
  }
  return std::nullopt;
}
}  // namespace

std::optional<fs::path> FindProgram(std::string_view name) {
  const std::string p = NativePath(name);
  if (p.empty()) return std::nullopt;
  if (auto found = findProgramIn(p, ".")) return found;
  // Only a bare name is looked for in the program folder.
  const fs::path& folder = programSettings().folder;
  if (folder.empty() || p.find('/') != std::string::npos) return std::nullopt;
  return findProgramIn(p, folder);
}

void SetProgramFolder(fs::path folder) { programSettings().folder = std::move(folder); }
const fs::path& ProgramFolder() { return programSettings().folder; }

fs::path ExecutableFolder() {
  std::error_code ec;
  return fs::read_symlink("/proc/self/exe", ec).parent_path();
}

std::vector<std::string> RunningPrograms() {
  reapStarted();
  std::vector<std::string> names;
  for (const auto& p : programSettings().started) names.push_back(p.name);
  return names;
}

bool DeliverEndedPrograms() {
  reapStarted();
  ProgramSettings& s = programSettings();
  // The end function may open a modal window, within which this is called
  // again: the ends are taken out first.
  const std::vector<ProgramEnd> ends = std::exchange(s.ended, {});
  const ProgramEndFunction onEnd = s.onEnd;
  if (onEnd)
    for (const ProgramEnd& e : ends) onEnd(e);
  return !programSettings().started.empty();
}

void SetProgramEndFunction(ProgramEndFunction onEnd) { programSettings().onEnd = std::move(onEnd); }
void SetStartedFunction(std::function<void()> onStart) { programSettings().onStart = std::move(onStart); }
const ProgramEnd& LastWaitedProgram() { return programSettings().lastWaited; }

void SetWaitFunction(WaitFunction wait) { programSettings().wait = std::move(wait); }

bool IsTextEditor(std::string_view program) {
  const std::string leaf = leafName(program);
  return nrsfile::equalsNoCase(leaf, "notepad.exe") || nrsfile::equalsNoCase(leaf, "notepad");
}

void SetEditorVariable(std::string name) { editorSettings().variable = std::move(name); }
void SetBuiltinEditor(EditorFunction editor) { editorSettings().builtin = std::move(editor); }

namespace hooks {
void setEditorStandIn(EditorFunction standIn) { editorSettings().standIn = std::move(standIn); }
}  // namespace hooks

BOOL SetCurrentDirectoryA(const char* path) {
  if (!path) return 0;
  return ::chdir(NativePath(path).c_str()) == 0 ? 1 : 0;
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, char* buffer) {
  std::error_code ec;
  const std::string cwd = fs::current_path(ec).string();
  if (ec) return 0;
  if (buffer && nBufferLength > 0) {
    const std::size_t n = std::min<std::size_t>(cwd.size(), nBufferLength - 1);
    std::memcpy(buffer, cwd.data(), n);
    buffer[n] = '\0';
  }
  const auto length = static_cast<DWORD>(cwd.size());
  return length < nBufferLength ? length : length + 1;
}

BOOL CopyFileA(const char* existingName, const char* newName, BOOL failIfExists) {
  if (!existingName || !newName) return 0;
  const auto from = nrsfile::findExisting(NativePath(existingName));
  if (!from) return 0;
  const fs::path to = nrsfile::pathForWrite(NativePath(newName));
  std::error_code ec;
  if (fs::exists(to, ec)) {
    if (failIfExists) return 0;
    if (fs::equivalent(*from, to, ec)) return 1;
  }
  fs::copy_file(*from, to, fs::copy_options::overwrite_existing, ec);
  return ec ? 0 : 1;
}

BOOL DeleteFileA(const char* name) {
  if (!name) return 0;
  const auto found = nrsfile::findExisting(NativePath(name));
  if (!found) return 0;
  std::error_code ec;
  return fs::remove(*found, ec) ? 1 : 0;
}

UINT GetWindowsDirectoryA(char* buffer, UINT size) {
  std::string dir = ExecutableFolder().string();
  if (dir.empty()) dir = "/usr/bin";
  if (buffer && size > 0) {
    const std::size_t n = std::min<std::size_t>(dir.size(), size - 1);
    std::memcpy(buffer, dir.data(), n);
    buffer[n] = '\0';
  }
  return static_cast<UINT>(dir.size());
}

UINT WinExec(const char* cmdLine, UINT /*showCmd*/) {
  std::vector<std::string> words = splitCommandLine(cmdLine ? cmdLine : "");
  if (words.empty()) return 2;
  if (IsTextEditor(words[0])) {
    const std::string file = words.size() > 1 ? editorFile(words[1]) : std::string();
    return runEditor(file, false) == 0 ? 33 : 2;
  }
  const auto program = FindProgram(words[0]);
  if (!program) return 2;
  const std::string name = words[0];
  if (!spawnTracked(program->string(), std::move(words), name)) return 0;
  if (const auto onStart = programSettings().onStart) onStart();
  return 33;
}

namespace crt {

std::intptr_t _spawnl(int mode, const char* cmdname, const char* arg0, ...) {
  std::vector<std::string> args;
  if (arg0) {
    args.emplace_back(arg0);
    va_list ap;
    va_start(ap, arg0);
    while (const char* a = va_arg(ap, const char*)) args.emplace_back(a);
    va_end(ap);
  }
  if (mode != _P_WAIT || !cmdname) {
    errno = EINVAL;
    return -1;
  }
  // A program that does not start leaves no earlier program's end behind.
  ProgramEnd& last = programSettings().lastWaited;
  last = ProgramEnd{};
  last.name = cmdname;
  if (IsTextEditor(cmdname)) {
    // The editor opens the last argument; the first is its own name.
    const std::string file = args.size() > 1 ? editorFile(args.back()) : std::string();
    return runEditor(file, true);
  }
  const auto program = FindProgram(cmdname);
  if (!program) {
    errno = ENOENT;
    return -1;
  }
  for (auto& a : args) a = NativePath(a);
  return spawnAndWait(program->string(), std::move(args), cmdname, true);
}

std::FILE* fopen(const char* name, const char* mode) {
  if (!name || !mode) return nullptr;
  const std::string path = NativePath(name);
  if (mode[0] == 'r') {
    auto found = nrsfile::findExisting(path);
    if (!found && endsWithNoCase(path, ".exe")) found = FindProgram(path);
    return found ? std::fopen(found->c_str(), mode) : nullptr;
  }
  return std::fopen(nrsfile::pathForWrite(path).c_str(), mode);
}

}  // namespace crt

}  // namespace winlayer
