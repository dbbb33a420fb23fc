// Process and file services of the operating system, in the form the
// application code calls them: current directory, copy and delete, starting
// a program and waiting for it or not, the text editor, and a file open that
// finds names without regard to letter case.  Independent of the toolkit.
//
// Mapping onto this system:
// - A program name such as "ZEPRIN.exe" or "MOLVEC" stands for the
//   executable of that name in the current directory: the exact name first,
//   then the same name in any letter case, then the name without ".exe";
//   when the current directory holds none, the same lookup runs in the
//   program folder (see SetProgramFolder), so that the programs need not be
//   copied into every working directory.
// - A program started without waiting is remembered until it ends, so that
//   callers can see what still runs (RunningPrograms) and learn how it ended
//   (DeliverEndedPrograms).  While a program is waited for, the wait
//   function (see SetWaitFunction) runs in place of a plain blocking wait.
// - What a started program writes to its console (standard output and
//   error, in the order written) is passed on to this process's standard
//   output as it comes, and its end is kept with the program's exit status
//   (ProgramEnd).  The text editor's console is left alone.
// - Backslashes in paths are folder separators.
// - The text editor ("notepad.exe" in the system directory, or "Notepad" on
//   a command line) is the command held in the editor environment variable
//   when that is set (see SetEditorVariable), otherwise the built-in editor
//   window that the window part of the layer registers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/winlayer/afxdefs.hpp"

namespace winlayer {

BOOL SetCurrentDirectoryA(const char* path);
// Copies the current directory into `buffer` (cut to nBufferLength - 1
// characters); returns its full length, or that plus 1 when it was cut.
DWORD GetCurrentDirectoryA(DWORD nBufferLength, char* buffer);
BOOL CopyFileA(const char* existingName, const char* newName, BOOL failIfExists);
BOOL DeleteFileA(const char* name);
// The system directory, where the text editor "notepad.exe" is looked for.
UINT GetWindowsDirectoryA(char* buffer, UINT size);
// Starts the program of the command line (program, blank, arguments) and
// returns at once; above 31 when it started, 2 when the program was not found.
UINT WinExec(const char* cmdLine, UINT showCmd);

// C run-time functions that the application calls by these names, with the
// behaviour of the mapping above.
namespace crt {
inline constexpr int _P_WAIT = 0;
// Starts `cmdname` with the argument list arg0, ... (ended by a null
// pointer).  With _P_WAIT it returns the program's exit status after it has
// ended; no window events are handled meanwhile.  -1 when it cannot start.
std::intptr_t _spawnl(int mode, const char* cmdname, const char* arg0, ...);
// fopen with the file name looked up without regard to letter case, and an
// ".exe" name also found without its extension.
std::FILE* fopen(const char* name, const char* mode);
}  // namespace crt

// Building blocks of the mapping, also used by the window part.
std::string NativePath(std::string_view path);
std::optional<std::filesystem::path> FindProgram(std::string_view name);
bool IsTextEditor(std::string_view program);

// The second folder where programs are looked for; empty (the default) for
// none.  The application's start sets it to the folder of its executable.
void SetProgramFolder(std::filesystem::path folder);
const std::filesystem::path& ProgramFolder();
// The folder of the running executable.
std::filesystem::path ExecutableFolder();

// How a started program ended.
struct ProgramEnd {
  std::string name;      // as started
  bool started = false;  // false: it could not be started
  bool signalled = false;
  int status = 0;        // its exit status, or the signal that ended it
  std::string console;   // the end of what it wrote to its console
  bool failed() const { return started && (signalled || status != 0); }
};
inline constexpr std::size_t kConsoleTail = 8192;  // characters of console kept

// The program that _spawnl waited for last.
const ProgramEnd& LastWaitedProgram();

// Names (as started) of the programs that WinExec started and that still
// run; the text editor is not among them.
std::vector<std::string> RunningPrograms();
// Hands each program started without waiting that has ended to the end
// function, once; true while such programs still run.  The window part calls
// it at intervals after a start (see SetStartedFunction), the application
// may call it before it looks at RunningPrograms.
bool DeliverEndedPrograms();
using ProgramEndFunction = std::function<void(const ProgramEnd&)>;
void SetProgramEndFunction(ProgramEndFunction onEnd);
// Called after every start without waiting.
void SetStartedFunction(std::function<void()> onStart);

// Waits for a started program: called with the program's name and a test
// that is true once the program has ended; it returns after that.  Unset, a
// wait blocks.
using WaitFunction = std::function<void(const std::string& program, const std::function<bool()>& ended)>;
void SetWaitFunction(WaitFunction wait);

// The environment variable that may name an external text editor command.
void SetEditorVariable(std::string name);
// The editor used when the environment variable is unset: called with the
// file's path and whether the caller waits for the editor to be closed.
using EditorFunction = std::function<void(const std::string& path, bool wait)>;
void SetBuiltinEditor(EditorFunction editor);

}  // namespace winlayer
