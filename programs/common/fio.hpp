// Text I/O of the console programs: sequential files on unit numbers,
// list-directed (free-form) reads, FORMAT-driven and free-format writes, and
// the run-time failures that end a program.
//
// Reads.  Every read starts at the next record (line).  Values are separated
// by blanks, tabs or commas; a read that needs more values goes on to the
// following lines; once it has all its values the rest of the last record
// is dropped, so a comment may follow the values on a line.  "r*v" repeats a
// value, two commas in a row leave a value unchanged, and "/" ends the read
// leaving the remaining values unchanged.
//
// Writes.  write("(I3, 2F10.4, ' text', /, ...)", items...) follows the FORMAT
// list: Iw, Iw.m, Fw.d, Ew.d, A, Aw, nX, quoted text, / and :, with repeat
// counts and parenthesised groups.  A list longer than its format starts a new
// line and goes on from the last top-level group (or the whole format).  A
// number too wide for its field widens the field, with a leading blank, rather
// than printing asterisks.  print(items...) writes one free-format line: a
// leading blank, texts as they are, numbers preceded by a blank unless the
// line already ends in one; integers in full, single-precision values with 7
// and double-precision values with 15 significant digits.
//
// Failures.  A missing input file, an unreadable number (also a real that is
// not finite or beyond its precision's range) or an early end of file throw
// RuntimeError; runMain prints its message (naming the error, the unit and
// the file) and returns exit status 2.  A result file closed with a value
// that is not finite in it turns a normal end into exit status 1; a message
// names the file however the run ends.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "numlib/farray.hpp"

namespace fio {

// A failure of the run-time (I/O): the program ends with exit status 2.
class RuntimeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A STOP: the program ends with the given exit status.
struct ProgramStop {
  int status = 0;
};

[[noreturn]] void stop(int status = 0);

// Runs a console program: installs the interrupt handlers, runs body, and
// turns RuntimeError and ProgramStop into a message and an exit status.
int runMain(std::string_view program, const std::function<void()>& body);

// Interrupt handling (Ctrl-C, Ctrl-Break as SIGQUIT, console closed as SIGHUP).
void installInterruptHandlers();
// The text printed for a signal: "program aborting due to control-C event".
std::string interruptMessage(int signo);

// ---------------------------------------------------------------- items ---

struct Item {
  enum class Kind { Int, Real, Text } kind = Kind::Int;
  long long i = 0;
  double r = 0.0;
  bool single = false;  // single-precision real (free format: 7 digits)
  std::string text;
};
using ItemList = std::vector<Item>;

inline void addItem(ItemList& l, const std::string& s) { l.push_back({Item::Kind::Text, 0, 0, false, s}); }
inline void addItem(ItemList& l, std::string_view s) { l.push_back({Item::Kind::Text, 0, 0, false, std::string(s)}); }
inline void addItem(ItemList& l, const char* s) { l.push_back({Item::Kind::Text, 0, 0, false, s}); }
inline void addItem(ItemList& l, float x) { l.push_back({Item::Kind::Real, 0, x, true, {}}); }
inline void addItem(ItemList& l, double x) { l.push_back({Item::Kind::Real, 0, x, false, {}}); }
template <class T>
  requires std::is_integral_v<T>
void addItem(ItemList& l, T x) {
  l.push_back({Item::Kind::Int, static_cast<long long>(x), 0, false, {}});
}
template <class T>
void addItem(ItemList& l, numlib::Span1<T> s) {
  for (int k = 0; k < s.size(); ++k) addItem(l, s.data()[k]);
}
template <class T>
void addItem(ItemList& l, std::span<T> s) {
  for (auto& x : s) addItem(l, x);
}
template <class T>
void addItem(ItemList& l, const std::vector<T>& s) {
  for (auto& x : s) addItem(l, x);
}

template <class... Args>
ItemList items(const Args&... args) {
  ItemList l;
  (addItem(l, args), ...);
  return l;
}

// The text (one or more lines, each ending in '\n') that a formatted write
// of `list` under `format` produces.
std::string formatRecords(std::string_view format, const ItemList& list);
// One free-format line, ending in '\n'.
std::string freeFormatLine(const ItemList& list);

// Single fields, as the formats write them (exposed for the front end of the
// tests and for callers that build lines by hand).
std::string fieldF(double x, int w, int d);
std::string fieldI(long long n, int w, int m = 0);
std::string fieldE(double x, int w, int d);

// Whether a list holds a real that is not finite (NaN or infinite).
bool holdsNonFinite(const ItemList& list);

// write(FORMAT, items...) and print(items...) for anything with put(text)
// and noteNonFinite() (told before the text of a list that holds a value
// that is not finite).
template <class Sink>
class FormattedOutput {
 public:
  template <class... Args>
  void write(std::string_view format, const Args&... args) {
    writeList(format, items(args...));
  }
  template <class... Args>
  void print(const Args&... args) {
    const ItemList list = items(args...);
    emit(freeFormatLine(list), list);
  }
  void writeList(std::string_view format, const ItemList& list) { emit(formatRecords(format, list), list); }

 private:
  Sink& sink() { return static_cast<Sink&>(*this); }
  void emit(const std::string& text, const ItemList& list) {
    if (holdsNonFinite(list)) sink().noteNonFinite();
    sink().put(text);
  }
};

// ---------------------------------------------------------------- units ---

class Unit : public FormattedOutput<Unit> {
 public:
  explicit Unit(int number) : number_(number) {}
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;
  ~Unit();

  int number() const { return number_; }
  const std::string& name() const { return name_; }
  bool isOpen() const { return reading_ || writing_; }

  // An input file that must exist (found ignoring letter case).
  void openOld(std::string_view name);
  // An output file, created or rewritten from its start.
  void openNew(std::string_view name);
  // An input file that is created empty when it does not exist.
  void openOldOrCreate(std::string_view name);
  void close();

  // ---- reading
  template <class... T>
  void read(T&... targets) {
    std::vector<Target> t{makeTarget(targets)...};
    readList(t, false);
  }
  // As read, but an end of file before all values are read returns false
  // instead of failing (a READ with an END= branch).
  template <class... T>
  bool tryRead(T&... targets) {
    std::vector<Target> t{makeTarget(targets)...};
    return readList(t, true);
  }
  // Reads n values into consecutive elements (an implied-do list).
  template <class T>
  void readArray(numlib::Span1<T> a, int first, int n) {
    std::vector<Target> t;
    for (int k = 0; k < n; ++k) t.push_back(makeTarget(a(first + k)));
    readList(t, false);
  }
  // As readArray, but the end of the file ends the read early without
  // failing.  Returns how many elements the read reached.
  template <class T>
  int readArrayUpTo(numlib::Span1<T> a, int first, int n) {
    std::vector<Target> t;
    for (int k = 0; k < n; ++k) t.push_back(makeTarget(a(first + k)));
    std::size_t reached = 0;
    readList(t, true, &reached);
    return static_cast<int>(reached);
  }
  // An empty read: consumes n records.
  void skip(int n = 1);
  // The first `width` characters of the next record, trailing blanks dropped
  // (the form (Aw)).
  std::string readA(int width);
  // An integer from the first `width` characters of the next record (Iw).
  long long readI(int width);

  // ---- writing (write, print and writeList come from FormattedOutput)
  void put(std::string_view text);
  void noteNonFinite() { nonFinite_ = true; }
  // The run log records values as they came, those of a rejected fit step
  // included: unlike a result file it may hold values that are not finite.
  void setRunLog() { runLog_ = true; }

  [[noreturn]] void fail(std::string_view what, std::string_view detail = {}) const;

 private:
  enum class Type { Int, Short, Real, Double, LongLong };
  struct Target {
    Type type;
    void* p;
  };
  static Target makeTarget(int& x) { return {Type::Int, &x}; }
  static Target makeTarget(std::int16_t& x) { return {Type::Short, &x}; }
  static Target makeTarget(long long& x) { return {Type::LongLong, &x}; }
  static Target makeTarget(float& x) { return {Type::Real, &x}; }
  static Target makeTarget(double& x) { return {Type::Double, &x}; }

  // `reached`, when given, receives how many targets the read got to.
  bool readList(std::vector<Target>& targets, bool eofAllowed, std::size_t* reached = nullptr);
  bool nextRecord();
  void assign(const Target& t, std::string_view token);
  void requireReading() const;

  int number_;
  std::string name_;
  std::ifstream in_;
  std::ofstream out_;
  bool reading_ = false;
  bool writing_ = false;
  bool nonFinite_ = false;  // a value that is not finite written since the open
  bool runLog_ = false;
  long line_ = 0;          // records read so far
  std::string record_;     // the current record
};

// The console (unit *): standard output.
class Console : public FormattedOutput<Console> {
 public:
  void put(std::string_view text);  // written and flushed at once
  void noteNonFinite() {}
};

// The result files whose last writing held a value that is not finite (NaN
// or infinite), in the order they were closed.  runMain does not end a run
// with status 0 while there are any.
std::vector<std::string> nonFiniteResults();

Console& console();

}  // namespace fio
