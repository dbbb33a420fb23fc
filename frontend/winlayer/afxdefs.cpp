#include "frontend/winlayer/afxdefs.hpp"

#include <cstdio>
#include <vector>

namespace winlayer {

void CString::Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  FormatV(fmt, args);
  va_end(args);
}

void CString::FormatV(const char* fmt, va_list args) {
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, args);
  if (n < 0) {
    va_end(again);
    s_.clear();
    return;
  }
  std::vector<char> buf(static_cast<std::size_t>(n) + 1);
  std::vsnprintf(buf.data(), buf.size(), fmt, again);
  va_end(again);
  s_.assign(buf.data(), static_cast<std::size_t>(n));
}

}  // namespace winlayer
