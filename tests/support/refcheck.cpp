// Runs an example working directory with its program and compares the
// result files with the stored references under tests/reference/<example>,
// or, with --update, stores them anew.
//
//   refcheck [--update] SOURCE_DIR EXAMPLE BIN_DIR
//
// The example is copied from SOURCE_DIR/examples/EXAMPLE into a scratch
// directory and run there; the program and the files to compare are named by
// SOURCE_DIR/tests/reference/EXAMPLE/manifest.txt.  A file that disagrees
// beyond the last printed digit is written beside its stored copy with the
// ending ".new", and both are named in the message.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "refcompare.hpp"
#include "tempdir.hpp"

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// A scratch copy of the example directory, removed at the end.
class Scratch {
 public:
  explicit Scratch(const fs::path& example) {
    std::string templ = (fs::temp_directory_path() / "nrs-ref-XXXXXX").string();
    if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
    for (const auto& e : fs::directory_iterator(example))
      if (e.is_regular_file()) fs::copy_file(e.path(), path_ / e.path().filename());
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// Puts the file of this run beside the stored one; says so when it cannot.
void keepNew(const fs::path& fresh, const fs::path& newer) {
  std::error_code ec;
  fs::copy_file(fresh, newer, fs::copy_options::overwrite_existing, ec);
  if (ec) std::cout << "  (the new file could not be written to " << newer << ": " << ec.message() << ")\n";
}

// Compares one result file; returns false on a disagreement or a missing file.
bool check(const std::string& name, const fs::path& fresh, const fs::path& stored) {
  const fs::path newer = stored.string() + ".new";
  if (!fs::exists(stored)) {
    std::cout << name << ": no stored reference " << stored << "; the new file is " << newer
              << " (scripts/update-references.sh stores the references)\n";
    keepNew(fresh, newer);
    return false;
  }
  const auto d = nrstest::firstDifference(slurp(stored), slurp(fresh));
  if (!d) {
    std::error_code ec;
    fs::remove(newer, ec);  // a file left by an earlier failure
    return true;
  }
  std::cout << name << ": line " << d->line << " differs from the stored reference beyond the last printed digit\n"
            << "  stored: " << d->stored << "\n"
            << "  new:    " << d->fresh << "\n"
            << "  stored file: " << stored << "\n"
            << "  new file:    " << newer << "\n";
  keepNew(fresh, newer);
  return false;
}

int usage() {
  std::cerr << "usage: refcheck [--update] SOURCE_DIR EXAMPLE BIN_DIR\n";
  return 2;
}

int refcheck(std::vector<std::string> args) {
  const bool update = !args.empty() && args[0] == "--update";
  if (update) args.erase(args.begin());
  if (args.size() != 3) return usage();
  const fs::path source = fs::absolute(args[0]).lexically_normal(), bin = fs::absolute(args[2]).lexically_normal();
  const std::string example = args[1];
  const fs::path refDir = source / "tests" / "reference" / example;
  const auto manifest = nrstest::parseManifest(slurp(refDir / "manifest.txt"));
  if (!manifest) {
    std::cerr << "refcheck: " << refDir / "manifest.txt" << " names no program and no result files\n";
    return 2;
  }

  Scratch run(source / "examples" / example);
  const fs::path program = bin / manifest->program;
  const int status = nrstest::run("cd " + quoted(run.path()) + " && " + quoted(program) + " > console.txt");
  if (status != 0) {
    std::cout << example << ": " << manifest->program << " ended with status " << status << "\n"
              << slurp(run.path() / "console.txt");
    return 1;
  }

  int bad = 0;
  for (const std::string& name : manifest->files) {
    const fs::path fresh = run.path() / name;
    if (!fs::exists(fresh)) {
      std::cout << name << ": " << manifest->program << " did not write it\n";
      ++bad;
    } else if (update) {
      fs::copy_file(fresh, refDir / name, fs::copy_options::overwrite_existing);
      std::error_code ec;
      fs::remove(refDir / (name + ".new"), ec);
    } else if (!check(name, fresh, refDir / name)) {
      ++bad;
    }
  }
  if (update) {
    std::cout << example << ": stored " << manifest->files.size() - bad << " result files of " << manifest->program
              << " in " << refDir << "\n";
  } else {
    std::cout << example << ": " << manifest->files.size() - bad << " of " << manifest->files.size()
              << " result files of " << manifest->program << " agree with the stored references\n";
  }
  return bad == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return refcheck(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    std::cerr << "refcheck: " << e.what() << "\n";
    return 2;
  }
}
