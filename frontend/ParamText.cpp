#include "frontend/ParamText.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <regex>
#include <sstream>

#include "programs/common/filename.hpp"

namespace kavold {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool isSpace(char c) { return isBlank(c) || c == '\n'; }

// The longest prefix of `s` that strtod takes, as a formatted scan does;
// empty when there is none.
std::size_t realLength(const char* s) {
  char* end = nullptr;
  (void)std::strtod(s, &end);
  return static_cast<std::size_t>(end - s);
}

// -------------------------------------------- free-form number forms

bool endsValue(char c) { return isSpace(c) || c == ',' || c == '/'; }

// The number forms of a list-directed read, the only ones the console
// programs take: an integer is a sign and digits; a real has digits with at
// most one point and an exponent after E or D.  "nan", "inf", hexadecimal
// and C suffixes are no numbers, and a value must fit its type.
const std::regex kIntegerForm("[+-]?[0-9]+");
const std::regex kRealForm("[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)([EeDd][+-]?[0-9]+)?");

std::optional<int> freeFormInteger(std::string_view t) {
  if (!std::regex_match(t.begin(), t.end(), kIntegerForm)) return std::nullopt;
  errno = 0;
  const long long v = std::strtoll(std::string(t).c_str(), nullptr, 10);
  if (errno == ERANGE || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(v);
}

std::optional<float> freeFormReal(std::string_view t) {
  if (!std::regex_match(t.begin(), t.end(), kRealForm)) return std::nullopt;
  std::string text(t);
  std::replace_if(text.begin(), text.end(), [](char c) { return c == 'D' || c == 'd'; }, 'E');
  const double v = std::strtod(text.c_str(), nullptr);
  if (!(std::fabs(v) <= std::numeric_limits<float>::max())) return std::nullopt;
  return static_cast<float>(v);
}

bool readsBackAs(const std::string& text, float value) { return std::strtof(text.c_str(), nullptr) == value; }

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

std::string FormatReal(const char* form, float value) {
  const std::string_view f(form);
  const std::size_t percent = f.find('%');
  const std::size_t conversion = f.find('f', percent);
  const std::string_view spec = f.substr(percent + 1, conversion - percent - 1);
  const std::size_t point = spec.find('.');
  int width = 0, decimals = 6;
  std::from_chars(spec.data(), spec.data() + std::min(point, spec.size()), width);
  if (point != std::string_view::npos) std::from_chars(spec.data() + point + 1, spec.data() + spec.size(), decimals);
  const auto around = [&](const std::string& number) {
    return std::string(f.substr(0, percent)) + number + std::string(f.substr(conversion + 1));
  };
  const double v = value;
  const std::string asForm = Format("%*.*f", width, decimals, v);
  if (!std::isfinite(value) || readsBackAs(asForm, value)) return around(asForm);
  for (int d = decimals + 1; d <= 9; ++d)
    if (std::string s = Format("%*.*f", width, d, v); readsBackAs(s, value)) return around(s);
  for (int digits = 1; digits < 9; ++digits)
    if (std::string s = Format("%*.*g", width, digits, v); readsBackAs(s, value)) return around(s);
  return around(Format("%*.9g", width, v));  // nine significant digits hold every single-precision value
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

bool ParamScanner::NextToken(std::string_view& token) {
  while (m_pos < m_text.size() && isSpace(m_text[m_pos])) ++m_pos;
  std::size_t end = m_pos;
  while (end < m_text.size() && !endsValue(m_text[end])) ++end;
  token = std::string_view(m_text).substr(m_pos, end - m_pos);
  return !token.empty();
}

int ParamScanner::Int(const char* failure) {
  std::string_view token;
  const auto v = NextToken(token) ? freeFormInteger(token) : std::nullopt;
  if (!v) throw InvalidParametersFile{failure};
  m_pos += token.size();
  return *v;
}

float ParamScanner::Real(const char* failure) {
  std::string_view token;
  const auto v = NextToken(token) ? freeFormReal(token) : std::nullopt;
  if (!v) throw InvalidParametersFile{failure};
  m_pos += token.size();
  return *v;
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
    const std::size_t len = realLength(m_text.c_str() + m_pos);
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
