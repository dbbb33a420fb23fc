#include "frontend/winlayer/platform.hpp"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>
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

struct ProgramSettings {
  fs::path folder;  // second place to look for programs
  WaitFunction wait;
  // Programs started without waiting: process id and name as started.
  std::vector<std::pair<pid_t, std::string>> started;
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

// The exit status of an ended child: its code, or -1 when a signal ended it.
int exitStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

int spawnAndWait(const std::string& path, std::vector<std::string> args, const std::string& label) {
  std::vector<char*> argv = argvOf(args);
  pid_t pid = 0;
  if (::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    errno = ENOENT;
    return -1;
  }
  int status = 0;
  if (const WaitFunction& wait = programSettings().wait) {
    bool ended = false, lost = false;
    wait(label, [&] {
      if (!ended && !lost) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        ended = r == pid;
        lost = r < 0 && errno != EINTR;
      }
      return ended || lost;
    });
    return ended ? exitStatus(status) : -1;
  }
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return exitStatus(status);
}

// Starts a program in a session of its own and remembers it; it is reaped
// when RunningPrograms finds it ended.  Between fork and exec only
// async-signal-safe calls are made.
bool spawnTracked(const std::string& path, std::vector<std::string> args, const std::string& name) {
  std::vector<char*> argv = argvOf(args);
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::setsid();
    ::execve(path.c_str(), argv.data(), environ);
    ::_exit(127);
  }
  programSettings().started.emplace_back(child, name);
  return true;
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
    if (wait) return spawnAndWait("/bin/sh", std::move(args), "the text editor");
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
  auto& started = programSettings().started;
  std::erase_if(started, [](const auto& p) {
    int status = 0;
    const pid_t r = ::waitpid(p.first, &status, WNOHANG);
    return r == p.first || (r < 0 && errno == ECHILD);
  });
  std::vector<std::string> names;
  for (const auto& p : started) names.push_back(p.second);
  return names;
}

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
  return spawnTracked(program->string(), std::move(words), name) ? 33 : 0;
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
  return spawnAndWait(program->string(), std::move(args), cmdname);
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
