#include "refcompare.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace nrstest {

namespace {

bool digit(std::string_view s, std::size_t i) { return i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); }

// Length of the number at the start of s ([sign] digits [. digits] [E [sign]
// digits], or [sign] . digits ...), 0 when none starts there.
std::size_t numberLength(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const std::size_t start = i;
  while (digit(s, i)) ++i;
  if (i < s.size() && s[i] == '.' && (i > start || digit(s, i + 1))) {
    ++i;
    while (digit(s, i)) ++i;
  }
  if (i == start) return 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (digit(s, j)) {
      while (digit(s, j)) ++j;
      i = j;
    }
  }
  return i;
}

Item number(std::string_view s) {
  Item it;
  it.number = true;
  it.text = std::string(s);
  it.value = std::strtod(it.text.c_str(), nullptr);
  const std::size_t e = s.find_first_of("Ee"), point = s.find('.');
  const int exponent = e == std::string_view::npos ? 0 : std::atoi(it.text.c_str() + e + 1);
  if (point != std::string_view::npos) {
    const std::size_t end = e == std::string_view::npos ? s.size() : e;
    it.unit = std::pow(10.0, exponent - static_cast<int>(end - point - 1));
  } else if (e != std::string_view::npos) {
    it.unit = std::pow(10.0, exponent);
  }
  return it;
}

}  // namespace

std::vector<Item> items(std::string_view line) {
  std::vector<Item> out;
  std::string text;
  auto flushText = [&] {
    if (!text.empty()) out.push_back({false, 0, 0, text});
    text.clear();
  };
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t n = numberLength(line.substr(i));
    if (n > 0) {
      flushText();
      out.push_back(number(line.substr(i, n)));
      i += n;
    } else if (std::isspace(static_cast<unsigned char>(line[i]))) {
      flushText();
      ++i;
    } else {
      text += line[i++];
    }
  }
  flushText();
  return out;
}

bool agree(const Item& stored, const Item& fresh) {
  if (stored.number != fresh.number) return false;
  if (!stored.number) return stored.text == fresh.text;
  if (stored.unit == 0 && fresh.unit == 0) return stored.value == fresh.value;
  const double unit = stored.unit == 0 ? fresh.unit : fresh.unit == 0 ? stored.unit : std::min(stored.unit, fresh.unit);
  // A hair above one unit: the decimal digits and their binary values differ
  // in the last bits.
  const double tol = unit * (1 + 1e-9) + kRelativeTolerance * std::max(std::abs(stored.value), std::abs(fresh.value));
  return std::abs(stored.value - fresh.value) <= tol;
}

std::optional<Difference> firstDifference(std::string_view stored, std::string_view fresh) {
  std::istringstream a{std::string(stored)}, b{std::string(fresh)};
  for (int line = 1;; ++line) {
    std::string x, y;
    const bool hasX = static_cast<bool>(std::getline(a, x));
    const bool hasY = static_cast<bool>(std::getline(b, y));
    if (!hasX && !hasY) return std::nullopt;
    const std::vector<Item> p = items(x), q = items(y);
    bool same = hasX == hasY && p.size() == q.size();
    for (std::size_t i = 0; same && i < p.size(); ++i) same = agree(p[i], q[i]);
    if (!same) return Difference{line, x, y};
  }
}

std::optional<Manifest> parseManifest(std::string_view text) {
  Manifest m;
  std::istringstream in{std::string(text)};
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string word;
    if (!(words >> word) || word[0] == '#') continue;
    if (m.program.empty())
      m.program = word;
    else
      m.files.push_back(word);
  }
  if (m.program.empty() || m.files.empty()) return std::nullopt;
  return m;
}

}  // namespace nrstest
