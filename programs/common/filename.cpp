#include "programs/common/filename.hpp"

#include <system_error>

namespace nrsfile {

namespace fs = std::filesystem;

namespace {
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

std::optional<fs::path> findExisting(std::string_view name, const fs::path& dir) {
  if (name.empty()) return std::nullopt;
  const fs::path given(name);
  const fs::path full = given.is_absolute() ? given : dir / given;
  std::error_code ec;
  if (fs::is_regular_file(full, ec)) return full;
  const fs::path parent = full.parent_path().empty() ? fs::path(".") : full.parent_path();
  const std::string leaf = full.filename().string();
  for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
    if (equalsNoCase(it->path().filename().string(), leaf) && it->is_regular_file(ec))
      return it->path();
  }
  return std::nullopt;
}

fs::path pathForWrite(std::string_view name, const fs::path& dir) {
  if (auto found = findExisting(name, dir)) return *found;
  const fs::path given(name);
  return given.is_absolute() ? given : dir / given;
}

void removeExisting(std::string_view name, const fs::path& dir) {
  if (const auto path = findExisting(name, dir)) {
    std::error_code ec;
    fs::remove(*path, ec);
  }
}

}  // namespace nrsfile
