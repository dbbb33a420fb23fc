// Files on unit numbers, list-directed reads, the console and the program's
// run-time failures.
#include "programs/common/fio.hpp"

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>

#include "programs/common/filename.hpp"

namespace fio {

void stop(int status) { throw ProgramStop{status}; }

// ------------------------------------------------------------ interrupts ---

std::string interruptMessage(int signo) {
  const char* event = signo == SIGINT ? "control-C" : signo == SIGQUIT ? "control-BREAK" : "window-CLOSE";
  return std::string("program aborting due to ") + event + " event";
}

namespace {

// Prepared before any signal can arrive: a handler may only write and exit.
std::string gInterruptText[3];

extern "C" void onInterrupt(int signo) {
  const std::string& text = signo == SIGINT ? gInterruptText[0] : signo == SIGQUIT ? gInterruptText[1] : gInterruptText[2];
  ssize_t r = ::write(STDOUT_FILENO, text.data(), text.size());
  (void)r;
  ::_exit(128 + signo);
}

}  // namespace

void installInterruptHandlers() {
  gInterruptText[0] = "\n" + interruptMessage(SIGINT) + "\n";
  gInterruptText[1] = "\n" + interruptMessage(SIGQUIT) + "\n";
  gInterruptText[2] = "\n" + interruptMessage(SIGHUP) + "\n";
  struct sigaction sa {};
  sa.sa_handler = onInterrupt;
  sigemptyset(&sa.sa_mask);
  for (int s : {SIGINT, SIGQUIT, SIGHUP}) sigaction(s, &sa, nullptr);
}

int runMain(std::string_view program, const std::function<void()>& body) {
  installInterruptHandlers();
  int status = 0;
  try {
    body();
  } catch (const ProgramStop& s) {
    status = s.status;
  } catch (const RuntimeError& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(program.size()), program.data(), e.what());
    status = 2;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "%.*s: internal error: %s\n", static_cast<int>(program.size()), program.data(), e.what());
    status = 3;
  }
  // Named also when the run ends with a stop of its own for another reason.
  if (!nonFiniteResults().empty()) {
    std::string files;
    for (const auto& f : nonFiniteResults()) files += (files.empty() ? " " : ", ") + f;
    console().print(" values that are not finite numbers (NaN, Inf) were written to" + files + ": the run has failed");
    if (status == 0) status = 1;
  }
  std::fflush(stdout);
  return status;
}

// --------------------------------------------------------------- console ---

void Console::put(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

Console& console() {
  static Console c;
  return c;
}

// --------------------------------------------------------------- numbers ---

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from position i on; returns the position after them.
std::size_t skipDigits(std::string_view s, std::size_t i) {
  while (i < s.size() && isDigit(s[i])) ++i;
  return i;
}

std::size_t skipSign(std::string_view s, std::size_t i) {
  return i < s.size() && (s[i] == '+' || s[i] == '-') ? i + 1 : i;
}

// An integer as a list-directed read takes it: an optional sign and digits.
// Anything else (a point, an exponent, a base prefix, a NUL) is not one.
bool parseInteger(std::string_view s, long long& v) {
  const std::size_t d = skipSign(s, 0);
  if (d == s.size() || skipDigits(s, d) != s.size()) return false;
  const char* first = s.data() + (s[0] == '-' ? 0 : d);
  const auto r = std::from_chars(first, s.data() + s.size(), v);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// A real as a list-directed read takes it: an optional sign, digits with at
// most one point (at least one digit), then optionally an exponent letter E
// or D (either case), an optional sign and digits.  A value beyond the range
// of double precision is not readable; one below it becomes 0.
bool parseReal(std::string_view s, double& v) {
  std::size_t i = skipSign(s, 0);
  const std::size_t intEnd = skipDigits(s, i);
  std::size_t mantEnd = intEnd;
  std::size_t nDigits = intEnd - i;
  if (mantEnd < s.size() && s[mantEnd] == '.') {
    const std::size_t fracEnd = skipDigits(s, mantEnd + 1);
    nDigits += fracEnd - (mantEnd + 1);
    mantEnd = fracEnd;
  }
  if (nDigits == 0) return false;
  std::string text(s.substr(0, mantEnd));
  if (mantEnd < s.size()) {
    const char e = s[mantEnd];
    if (e != 'e' && e != 'E' && e != 'd' && e != 'D') return false;
    const std::size_t expDigits = skipSign(s, mantEnd + 1);
    if (expDigits == s.size() || skipDigits(s, expDigits) != s.size()) return false;
    text += 'E';
    text += s.substr(mantEnd + 1);
  }
  v = std::strtod(text.c_str(), nullptr);
  return std::isfinite(v);
}

// A token as a message shows it: bytes that do not print as \xNN, and a very
// long token cut short.
std::string shownToken(std::string_view tok) {
  constexpr std::size_t kShown = 40;
  std::string out = "\"";
  for (std::size_t i = 0; i < tok.size() && i < kShown; ++i) {
    const unsigned char c = static_cast<unsigned char>(tok[i]);
    if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  if (tok.size() > kShown) out += "...";
  return out + "\"";
}

}  // namespace

// ----------------------------------------------------------------- units ---

namespace {

std::vector<std::string> gNonFinite;  // result files, see nonFiniteResults

// A file rewritten with finite values only is clean again.
void noteResult(const std::string& name, bool nonFinite) {
  std::erase(gNonFinite, name);
  if (nonFinite) gNonFinite.push_back(name);
}

}  // namespace

std::vector<std::string> nonFiniteResults() { return gNonFinite; }

bool holdsNonFinite(const ItemList& list) {
  for (const Item& it : list)
    if (it.kind == Item::Kind::Real && !std::isfinite(it.r)) return true;
  return false;
}

Unit::~Unit() {
  if (writing_) out_.flush();
}

void Unit::fail(std::string_view what, std::string_view detail) const {
  std::string msg = "run-time error: ";
  msg += what;
  if (!detail.empty()) {
    msg += ' ';
    msg += detail;
  }
  msg += " (unit " + std::to_string(number_) + ", file \"" + name_ + "\"";
  if (reading_ && line_ > 0) msg += ", line " + std::to_string(line_);
  msg += ")";
  throw RuntimeError(msg);
}

void Unit::openOld(std::string_view name) {
  close();
  name_ = std::string(name);
  auto found = nrsfile::findExisting(name);
  if (!found) fail("file not found");
  in_.open(*found);
  if (!in_) fail("cannot open file for reading");
  reading_ = true;
  line_ = 0;
}

void Unit::openNew(std::string_view name) {
  close();
  name_ = std::string(name);
  out_.open(nrsfile::pathForWrite(name), std::ios::out | std::ios::trunc);
  if (!out_) fail("cannot create file");
  writing_ = true;
  nonFinite_ = false;
}

void Unit::openOldOrCreate(std::string_view name) {
  if (!nrsfile::findExisting(name)) {
    std::ofstream create(nrsfile::pathForWrite(name));
    if (!create) {
      name_ = std::string(name);
      fail("cannot create file");
    }
  }
  openOld(name);
}

void Unit::close() {
  if (reading_) in_.close();
  if (writing_) {
    out_.flush();
    if (!out_) fail("write failed");
    out_.close();
    if (!runLog_) noteResult(name_, nonFinite_);
  }
  in_.clear();
  out_.clear();
  reading_ = writing_ = false;
}

void Unit::put(std::string_view text) {
  if (!writing_) fail("write on a unit not open for writing");
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void Unit::requireReading() const {
  if (!reading_) fail("read on a unit not open for reading");
}

bool Unit::nextRecord() {
  requireReading();
  if (!std::getline(in_, record_)) return false;
  if (!record_.empty() && record_.back() == '\r') record_.pop_back();  // files from other systems
  ++line_;
  return true;
}

void Unit::skip(int n) {
  for (int k = 0; k < n; ++k)
    if (!nextRecord()) fail("end of file");
}

std::string Unit::readA(int width) {
  if (!nextRecord()) fail("end of file");
  std::string s = record_.substr(0, static_cast<std::size_t>(width));
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

long long Unit::readI(int width) {
  if (!nextRecord()) fail("end of file");
  std::string field = record_.substr(0, static_cast<std::size_t>(width));
  std::string digits;
  for (char c : field)
    if (c != ' ' && c != '\t') digits += c;  // blanks in a numeric field are ignored
  if (digits.empty()) return 0;
  long long v = 0;
  if (!parseInteger(digits, v)) fail("unreadable number", shownToken(field));
  return v;
}

namespace {

bool isSeparatorBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void Unit::assign(const Target& t, std::string_view token) {
  auto bad = [&]() { fail("unreadable number", shownToken(token)); };
  switch (t.type) {
    case Type::Int:
    case Type::Short:
    case Type::LongLong: {
      long long v = 0;
      if (!parseInteger(token, v)) bad();
      if (t.type == Type::Int) {
        if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) bad();
        *static_cast<int*>(t.p) = static_cast<int>(v);
      } else if (t.type == Type::Short) {
        if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max()) bad();
        *static_cast<std::int16_t*>(t.p) = static_cast<std::int16_t>(v);
      } else {
        *static_cast<long long*>(t.p) = v;
      }
      break;
    }
    case Type::Real:
    case Type::Double: {
      double v = 0;
      if (!parseReal(token, v)) bad();
      if (t.type == Type::Real) {
        // Beyond the range of single precision the value would become infinite.
        const float f = static_cast<float>(v);
        if (!std::isfinite(f)) bad();
        *static_cast<float*>(t.p) = f;
      } else {
        *static_cast<double*>(t.p) = v;
      }
      break;
    }
  }
}

bool Unit::readList(std::vector<Target>& targets, bool eofAllowed, std::size_t* reached) {
  requireReading();
  std::size_t next = 0;
  auto atEof = [&]() -> bool {
    if (reached) *reached = next;
    if (eofAllowed) return false;
    fail("end of file");
  };
  if (!nextRecord()) return atEof();
  std::size_t pos = 0;
  bool afterComma = false;  // a comma met since the last value
  while (next < targets.size()) {
    while (pos < record_.size() && isSeparatorBlank(record_[pos])) ++pos;
    if (pos >= record_.size()) {
      if (!nextRecord()) return atEof();
      pos = 0;
      continue;
    }
    const char c = record_[pos];
    if (c == ',') {
      if (afterComma) ++next;  // two commas: a null value leaves the target unchanged
      afterComma = true;
      ++pos;
      continue;
    }
    if (c == '/') {  // the read ends; remaining targets keep their values
      if (reached) *reached = next;
      return true;
    }
    std::size_t end = pos;
    while (end < record_.size() && !isSeparatorBlank(record_[end]) && record_[end] != ',' && record_[end] != '/') ++end;
    std::string_view tok(record_.data() + pos, end - pos);
    pos = end;
    afterComma = false;
    // r*c repeats the constant c r times; "r*" alone is r null values.
    const auto star = tok.find('*');
    if (star != std::string_view::npos && star > 0) {
      long long r = 0;
      const std::string_view count = tok.substr(0, star);
      if (count.find_first_not_of("0123456789") == std::string_view::npos && parseInteger(count, r) && r > 0) {
        const std::string_view value = tok.substr(star + 1);
        for (long long k = 0; k < r && next < targets.size(); ++k, ++next)
          if (!value.empty()) assign(targets[next], value);
        continue;
      }
    }
    assign(targets[next++], tok);
  }
  if (reached) *reached = next;
  return true;
}

}  // namespace fio
