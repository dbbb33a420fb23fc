// Files on unit numbers, list-directed reads, the console and the program's
// run-time failures.
#include "programs/common/fio.hpp"

#include <unistd.h>

#include <cerrno>
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

// ----------------------------------------------------------------- units ---

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
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(digits.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE) fail("unreadable number", "\"" + field + "\"");
  return v;
}

namespace {

bool isSeparatorBlank(char c) { return c == ' ' || c == '\t'; }

// Fortran writes D as the exponent letter of double precision.
std::string normaliseReal(std::string_view tok) {
  std::string s(tok);
  for (char& c : s)
    if (c == 'd' || c == 'D') c = 'E';
  return s;
}

}  // namespace

void Unit::assign(const Target& t, std::string_view token) {
  const std::string tok(token);
  char* end = nullptr;
  errno = 0;
  auto bad = [&]() { fail("unreadable number", "\"" + tok + "\""); };
  switch (t.type) {
    case Type::Int:
    case Type::Short:
    case Type::LongLong: {
      long long v = std::strtoll(tok.c_str(), &end, 10);
      if (end == tok.c_str() || *end != '\0' || errno == ERANGE) bad();
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
      const std::string s = normaliseReal(tok);
      double v = std::strtod(s.c_str(), &end);
      if (end == s.c_str() || *end != '\0') bad();
      if (t.type == Type::Real) *static_cast<float*>(t.p) = static_cast<float>(v);
      else *static_cast<double*>(t.p) = v;
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
      const std::string count(tok.substr(0, star));
      char* e = nullptr;
      long r = std::strtol(count.c_str(), &e, 10);
      if (*e == '\0' && r > 0) {
        const std::string_view value = tok.substr(star + 1);
        for (long k = 0; k < r && next < targets.size(); ++k, ++next)
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
