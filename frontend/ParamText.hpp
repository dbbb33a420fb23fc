// Text helpers of the front end's files: printf-style formatting into a
// string, a scanner for the parameter files that the front end writes and
// reads back, and a number stream for the console programs' result files.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavold {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// A real in a printf form with one conversion "%[W][.D]f" and text around
// it.  The form's D decimals are kept when they hold the value, that is
// when the text reads back as the same single-precision number; otherwise
// the fewest more that do are written (beyond nine decimals, the fewest
// significant digits of the exponent form).  So a typed 0.35 is not cut to
// 0.3, while values that D decimals hold are written as before.
std::string FormatReal(const char* form, float value);

// The whole text of a file found in the current directory without regard to
// letter case; nothing when it does not open.
std::optional<std::string> ReadWholeFile(const char* name);
// Creates (or empties) the file and writes `text`; false when it cannot.
bool WriteWholeFile(const char* name, const std::string& text);

// A parameter file that ends early, or holds no number where one is due.
// `message` is what the user is shown.
struct InvalidParametersFile {
  std::string message;
};

inline constexpr const char* kInvalidFile = "Invalid parameters file";

// Reads a parameter file record by record, the way the front end wrote it:
// a value line is read as the value(s) at its start (blanks, tabs and line
// ends before a value are skipped) and the rest of its line is dropped; a
// heading is a whole line; a name is a whole line without its line end and
// trailing blanks.  Failures throw InvalidParametersFile with the message
// given (or kInvalidFile).
//
// A value takes only the number forms of the console programs' free-form
// reads, so that a file the front end takes is one the programs take: it
// runs to the next blank, tab, line end, comma or slash; an integer is an
// optional sign and digits, within 32 bits; a real is an optional sign,
// digits with at most one point, then optionally an exponent letter E or D
// (either case) with an optional sign and digits, within single precision.
// "nan", "inf", hexadecimal numbers and C suffixes are not numbers.
class ParamScanner {
 public:
  explicit ParamScanner(std::string text) : m_text(std::move(text)) {}

  int Int(const char* failure = kInvalidFile);
  float Real(const char* failure = kInvalidFile);
  // An integer of at most `width` digits from the rest of the current line;
  // nothing (and nothing consumed) when the line holds no number there.
  std::optional<int> IntOnLine(int width);
  // Drops the rest of the current line (a value's comment); at the end of
  // the file there is nothing to drop.
  void EndOfRecord();
  // A whole line; fails at the end of the file.
  void Heading(const char* failure = kInvalidFile);
  std::string NameLine(const char* failure = kInvalidFile);

 private:
  // The next value's text; false at the end of the file.
  bool NextToken(std::string_view& token);
  std::string m_text;
  std::size_t m_pos = 0;
};

// The numbers of a result file in order, with line ends as blanks, as a
// formatted scan reads them.
class NumberStream {
 public:
  static std::optional<NumberStream> Open(const char* name);
  explicit NumberStream(std::string text) : m_text(std::move(text)) {}
  // The next n numbers; false (and the record incomplete) at the end of the
  // file or at text that is not a number.
  bool Next(float* values, int n);
  bool NextInt(int& value);

 private:
  std::string m_text;
  std::size_t m_pos = 0;
};

// Reads records of `width` numbers from `in`, at most `capacity` of them,
// calling store(index, values) for each complete record.  Returns the number
// of read attempts, the one that met the end included: the records read
// plus one (a file longer than the capacity counts as if it ended there).
template <class Store>
int ScanRecords(NumberStream& in, int width, int capacity, Store store) {
  std::vector<float> v(static_cast<std::size_t>(width > 0 ? width : 1));
  int read = 0;
  while (read < capacity && in.Next(v.data(), width)) {
    store(read, v.data());
    ++read;
  }
  return read + 1;
}

}  // namespace kavold
