#include "programs/tools/fuzz.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fuzz {

namespace fs = std::filesystem;

// splitmix64: tiny, fast and the same everywhere.
std::uint64_t Rng::next() {
  std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

namespace {

// Values at and past the limits of the programs and of the number types,
// and forms that a list-directed read must not take for a number.
constexpr std::string_view kValues[] = {
    "0",          "-0",          "1",          "-1",         "2",           "3",
    "5",          "8",           "9",          "60",         "61",          "100",
    "300",        "301",         "1000",       "1001",       "100000",      "2147483647",
    "-2147483648", "2147483648", "32767",      "-32768",     "32768",       "99999999999999999999",
    "1e400",      "-1e400",      "1e-400",     "1e38",       "3.5e38",      "-3.5e38",
    "1e-45",      "1e-30",       "1e30",       "nan",        "-Infinity",   "inf",
    "0x10",       "0x1p4",       "1e",         "1.2.3",      "+",           ".",
    "1D-3",       "2.5f",        "7L",         "1e308"};

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct Span {
  std::size_t pos, len;
};

std::vector<Span> tokens(const std::string& t, bool numbersOnly) {
  std::vector<Span> out;
  for (std::size_t i = 0; i < t.size();) {
    if (isSeparator(t[i])) {
      ++i;
      continue;
    }
    std::size_t e = i;
    while (e < t.size() && !isSeparator(t[e])) ++e;
    const std::string_view tok(t.data() + i, e - i);
    const bool number = std::string_view("+-.0123456789").find(tok[0]) != std::string_view::npos &&
                        std::any_of(tok.begin(), tok.end(), isDigit);
    if (!numbersOnly || number) out.push_back({i, e - i});
    i = e;
  }
  return out;
}

std::vector<Span> lines(const std::string& t) {
  std::vector<Span> out;
  for (std::size_t i = 0; i < t.size();) {
    std::size_t e = t.find('\n', i);
    e = e == std::string::npos ? t.size() : e + 1;
    out.push_back({i, e - i});
    i = e;
  }
  return out;
}

int lineOf(const std::string& t, std::size_t pos) {
  return 1 + static_cast<int>(std::count(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
}

std::string printable(std::string_view s) {
  std::string out;
  for (char c : s.substr(0, 40)) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7f) {
      out += c;
    } else {
      static const char* hex = "0123456789ABCDEF";
      out += "\\x";
      out += hex[u >> 4];
      out += hex[u & 15];
    }
  }
  if (s.size() > 40) out += "...(" + std::to_string(s.size()) + " bytes)";
  return out;
}

// A value for a number token: one of the list, a very long number, or the
// old value scaled, shifted or negated.
std::string newNumber(std::string_view old, Rng& rng) {
  switch (rng.below(8)) {
    case 0: return std::string(100000, '9');
    case 1: return "0." + std::string(400, '0') + "1";
    case 2: return std::string("10.0") + '\0' + "abc";
    case 3: {
      const double v = std::strtod(std::string(old).c_str(), nullptr);
      const double f[] = {-1, 10, 1e6, 0.1, 1e-6, 0.5};
      std::ostringstream o;
      o << v * f[rng.below(6)];
      return o.str();
    }
    default: return std::string(kValues[rng.below(std::size(kValues))]);
  }
}

std::string replaceToken(std::string& text, Rng& rng, bool numbersOnly) {
  const auto toks = tokens(text, numbersOnly);
  if (toks.empty()) return "no token to replace";
  const Span s = toks[rng.below(toks.size())];
  const std::string old = text.substr(s.pos, s.len);
  std::string now;
  if (numbersOnly) {
    now = newNumber(old, rng);
  } else {
    const char* specials[] = {"2*", "3*1", "/", "abc", "*", "1*", "0*5", "-", "''"};
    now = specials[rng.below(9)];
  }
  const int line = lineOf(text, s.pos);
  text.replace(s.pos, s.len, now);
  return "token \"" + printable(old) + "\" -> \"" + printable(now) + "\" on line " + std::to_string(line);
}

std::string lineEdit(std::string& text, Rng& rng) {
  const auto ls = lines(text);
  if (ls.empty()) return "no line to edit";
  const std::size_t k = rng.below(ls.size());
  const Span l = ls[k];
  const std::string n = std::to_string(k + 1);
  switch (rng.below(3)) {
    case 0:
      text.erase(l.pos, l.len);
      return "line " + n + " deleted";
    case 1:
      text.insert(l.pos, text.substr(l.pos, l.len));
      return "line " + n + " doubled";
    default:
      if (k + 1 >= ls.size()) return "last line kept (no line to swap with)";
      {
        const Span m = ls[k + 1];
        const std::string a = text.substr(l.pos, l.len), b = text.substr(m.pos, m.len);
        text.replace(l.pos, l.len + m.len, b + a);
      }
      return "lines " + n + " and " + std::to_string(k + 2) + " swapped";
  }
}

std::string garbage(Rng& rng, std::size_t n) {
  std::string g(n, ' ');
  for (auto& c : g) c = static_cast<char>(rng.below(256));
  return g;
}

std::string byteEdit(std::string& text, Rng& rng) {
  const std::size_t at = text.empty() ? 0 : rng.below(text.size());
  switch (rng.below(5)) {
    case 0:
      text.resize(at);
      return "cut to " + std::to_string(at) + " bytes";
    case 1: {
      const char bytes[] = {'\0', '\xff', '\n', ',', '/', '*', 'x', '-', '.', '\r'};
      const char b = bytes[rng.below(sizeof bytes)];
      text.insert(at, 1, b);
      return "byte \"" + printable(std::string_view(&b, 1)) + "\" inserted at " + std::to_string(at);
    }
    case 2:
      if (text.empty()) return "empty file kept";
      text[at] = static_cast<char>(text[at] ^ (1 << rng.below(8)));
      return "bit flipped at byte " + std::to_string(at);
    case 3:
      text = garbage(rng, rng.below(2000));
      return "replaced by " + std::to_string(text.size()) + " random bytes";
    default:
      text += garbage(rng, 1 + rng.below(200));
      return "random bytes appended";
  }
}

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

std::vector<std::string> inputFiles(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string ext = e.path().extension().string();
    if (e.is_regular_file() && ext != ".md" && ext != ".sh") out.push_back(e.path().filename().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

namespace {

std::string mutateOnce(std::string& text, Rng& rng) {
  const std::size_t k = rng.below(20);
  if (k < 10) return replaceToken(text, rng, true);
  if (k < 12) return replaceToken(text, rng, false);
  if (k < 16) return lineEdit(text, rng);
  if (k < 19) return byteEdit(text, rng);
  text.clear();
  return "emptied";
}

}  // namespace

// A mutation that leaves the text as it was (a 0 for a 0, two equal lines
// swapped) would be a run wasted: another is drawn.
std::string mutateText(std::string& text, Rng& rng) {
  const std::string before = text;
  std::string what;
  for (int attempt = 0; attempt < 20 && text == before; ++attempt) what = mutateOnce(text, rng);
  return what;
}

Mutation mutateDirectory(const fs::path& dir, std::uint64_t seed) {
  Rng rng(seed);
  const auto files = inputFiles(dir);
  if (files.empty()) return {"", "no input file"};
  Mutation m;
  m.file = files[rng.below(files.size())];
  const fs::path p = dir / m.file;
  if (rng.below(40) == 0) {
    fs::remove(p);
    m.what = "removed";
    return m;
  }
  std::string text = readFile(p);
  m.what = mutateText(text, rng);
  std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
  return m;
}

bool holdsNonFinite(std::string_view text) {
  std::string t(text);
  for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (std::string_view word : {"nan", "inf"}) {
    for (std::size_t p = t.find(word); p != std::string::npos; p = t.find(word, p + 1)) {
      const std::size_t e = p + 3;
      // Alone (behind an optional sign), or run into the digits of a field.
      const char before = p > 0 ? t[p - 1] : ' ';
      const bool opens = isSeparator(before) || before == '+' || before == '-' || isDigit(before) ||
                         (before == '.' && p > 1 && isDigit(t[p - 2]));
      const std::size_t rest = t.compare(e, 5, "inity") == 0 ? e + 5 : e;
      const bool closes = rest >= t.size() || isSeparator(t[rest]);
      if (opens && closes) return true;
    }
  }
  return false;
}

bool reportsFault(std::string_view output) {
  for (std::string_view s : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "UndefinedBehaviorSanitizer",
                             "runtime error:", "internal error", "out of bounds"})
    if (output.find(s) != std::string_view::npos) return true;
  return false;
}

bool saysWhy(std::string_view output) {
  return std::any_of(output.begin(), output.end(), [](char c) { return !isSeparator(c) && c != '*'; });
}

}  // namespace fuzz
