#include "frontend/ParamText.hpp"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "programs/common/filename.hpp"

namespace kavold {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool isSpace(char c) { return isBlank(c) || c == '\n'; }

// The longest prefix of `s` that strtod (real) or strtol (integer) takes,
// as a formatted scan does; empty when there is none.
std::size_t numberLength(const char* s, bool real) {
  char* end = nullptr;
  errno = 0;
  if (real)
    (void)std::strtod(s, &end);
  else
    (void)std::strtol(s, &end, 10);
  return static_cast<std::size_t>(end - s);
}

}  // namespace

std::string Format(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  va_list copy;
  va_copy(copy, ap);
  const int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string s(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(s.data(), s.size() + 1, fmt, ap);
  va_end(ap);
  return s;
}

std::optional<std::string> ReadWholeFile(const char* name) {
  const auto path = nrsfile::findExisting(name ? name : "");
  if (!path) return std::nullopt;
  std::ifstream in(*path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool WriteWholeFile(const char* name, const std::string& text) {
  std::FILE* f = std::fopen(nrsfile::pathForWrite(name ? name : "").c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

// ---------------------------------------------------------- ParamScanner

bool ParamScanner::NextNumber(std::string_view& token) {
  while (m_pos < m_text.size() && isSpace(m_text[m_pos])) ++m_pos;
  if (m_pos >= m_text.size()) return false;
  const std::size_t n = numberLength(m_text.c_str() + m_pos, true);
  if (n == 0) return false;
  token = std::string_view(m_text).substr(m_pos, n);
  return true;
}

int ParamScanner::Int(const char* failure) {
  std::string_view token;
  if (!NextNumber(token)) throw InvalidParametersFile{failure};
  // An integer field takes the integer at the start of the number ("3.0"
  // gives 3 and the rest of the line is dropped with the comment).
  const std::size_t n = numberLength(token.data(), false);
  if (n == 0) throw InvalidParametersFile{failure};
  const long v = std::strtol(token.data(), nullptr, 10);
  m_pos += n;
  if (v > 2147483647L || v < -2147483647L - 1) throw InvalidParametersFile{failure};
  return static_cast<int>(v);
}

float ParamScanner::Real(const char* failure) {
  std::string_view token;
  if (!NextNumber(token)) throw InvalidParametersFile{failure};
  const float v = std::strtof(token.data(), nullptr);
  m_pos += token.size();
  return v;
}

std::optional<int> ParamScanner::IntOnLine(int width) {
  std::size_t p = m_pos;
  while (p < m_text.size() && isBlank(m_text[p])) ++p;
  std::size_t q = p;
  while (q < m_text.size() && q - p < static_cast<std::size_t>(width) && m_text[q] >= '0' && m_text[q] <= '9') ++q;
  if (q == p) return std::nullopt;
  m_pos = q;
  return std::stoi(m_text.substr(p, q - p));
}

void ParamScanner::EndOfRecord() {
  const std::size_t nl = m_text.find('\n', m_pos);
  m_pos = nl == std::string::npos ? m_text.size() : nl + 1;
}

void ParamScanner::Heading(const char* failure) {
  if (m_pos >= m_text.size()) throw InvalidParametersFile{failure};
  EndOfRecord();
}

std::string ParamScanner::NameLine(const char* failure) {
  if (m_pos >= m_text.size()) throw InvalidParametersFile{failure};
  const std::size_t start = m_pos;
  EndOfRecord();
  std::string name = m_text.substr(start, m_pos - start);
  while (!name.empty() && isSpace(name.back())) name.pop_back();
  return name;
}

// ---------------------------------------------------------- NumberStream

std::optional<NumberStream> NumberStream::Open(const char* name) {
  auto text = ReadWholeFile(name);
  if (!text) return std::nullopt;
  return NumberStream(std::move(*text));
}

bool NumberStream::Next(float* values, int n) {
  for (int i = 0; i < n; ++i) {
    while (m_pos < m_text.size() && isSpace(m_text[m_pos])) ++m_pos;
    if (m_pos >= m_text.size()) return false;
    const std::size_t len = numberLength(m_text.c_str() + m_pos, true);
    if (len == 0) return false;
    values[i] = std::strtof(m_text.c_str() + m_pos, nullptr);
    m_pos += len;
  }
  return true;
}

bool NumberStream::NextInt(int& value) {
  float v = 0;
  if (!Next(&v, 1)) return false;
  value = v > -2e9f && v < 2e9f ? static_cast<int>(v) : 0;
  return true;
}

}  // namespace kavold
