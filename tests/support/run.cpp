#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "tempdir.hpp"

namespace nrstest {

int run(const std::string& command, std::string* out) {
  FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (!p) return -1;
  std::array<char, 4096> buf{};
  std::string text;
  std::size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) text.append(buf.data(), n);
  int status = ::pclose(p);
  if (out) *out = text;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace nrstest
