// FORMAT-driven and free-format output.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "programs/common/fio.hpp"

namespace fio {

namespace {

std::string padLeft(std::string s, int w) {
  if (static_cast<int>(s.size()) > w) return " " + s;  // widen, keep a separating blank
  return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

std::string nonFinite(double x) {
  if (std::isnan(x)) return "NaN";
  return x < 0 ? "-Inf" : "Inf";
}

bool allZeroDigits(const std::string& s) {
  for (char c : s)
    if (c >= '1' && c <= '9') return false;
  return true;
}

}  // namespace

std::string fieldF(double x, int w, int d) {
  if (!std::isfinite(x)) return padLeft(nonFinite(x), w);
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.*f", d, x);
  std::string s(buf);
  if (d == 0) s += '.';
  if (s[0] == '-' && allZeroDigits(s)) s.erase(0, 1);  // no "-0.000"
  // The leading zero of |x| < 1 is optional; drop it when the field is tight.
  if (static_cast<int>(s.size()) > w) {
    if (s.rfind("0.", 0) == 0) s.erase(0, 1);
    else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  }
  return padLeft(s, w);
}

std::string fieldI(long long n, int w, int m) {
  std::string digits = std::to_string(n < 0 ? -static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n));
  if (static_cast<int>(digits.size()) < m) digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
  if (n < 0) digits.insert(0, 1, '-');
  return padLeft(digits, w);
}

std::string fieldE(double x, int w, int d) {
  if (!std::isfinite(x)) return padLeft(nonFinite(x), w);
  // 0.ddddE+ee: a mantissa in [0.1, 1).
  int exp10 = 0;
  double m = std::fabs(x);
  std::string digits;
  if (m != 0.0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", d > 0 ? d - 1 : 0, m);
    // buf = "d.ddde+XX" with d digits in all
    std::string b(buf);
    const auto epos = b.find('e');
    exp10 = std::atoi(b.c_str() + epos + 1) + 1;
    for (std::size_t k = 0; k < epos; ++k)
      if (b[k] != '.') digits += b[k];
  } else {
    digits.assign(static_cast<std::size_t>(d), '0');
  }
  while (static_cast<int>(digits.size()) < d) digits += '0';
  char ebuf[16];
  std::snprintf(ebuf, sizeof ebuf, "E%c%02d", exp10 < 0 ? '-' : '+', std::abs(exp10));
  std::string s = (x < 0 ? "-" : "") + std::string("0.") + digits.substr(0, static_cast<std::size_t>(d)) + ebuf;
  if (static_cast<int>(s.size()) > w && s.rfind("0.", 0) == 0) s.erase(0, 1);
  return padLeft(s, w);
}

// ------------------------------------------------------- FORMAT parsing ---

namespace {

struct Node {
  enum class Kind { I, F, E, A, X, Text, Slash, Colon, Group } kind;
  int repeat = 1;
  int w = 0;
  int d = 0;  // decimals (F, E) or minimum digits (I)
  bool hasW = false;
  std::string text;
  std::vector<Node> children;
};

class FormatParser {
 public:
  explicit FormatParser(std::string_view f) : f_(f) {}

  std::vector<Node> parseTop() {
    skipBlanks();
    if (pos_ >= f_.size() || f_[pos_] != '(') error("format must start with '('");
    ++pos_;
    auto list = parseList();
    skipBlanks();
    if (pos_ != f_.size()) error("text after the closing ')'");
    return list;
  }

 private:
  [[noreturn]] void error(const char* what) const {
    throw std::logic_error(std::string("bad FORMAT \"") + std::string(f_) + "\": " + what);
  }
  void skipBlanks() {
    while (pos_ < f_.size() && (f_[pos_] == ' ' || f_[pos_] == '\t')) ++pos_;
  }
  bool digit() const { return pos_ < f_.size() && f_[pos_] >= '0' && f_[pos_] <= '9'; }
  int number() {
    int n = 0;
    while (digit()) n = n * 10 + (f_[pos_++] - '0');
    return n;
  }

  // Items up to and including the matching ')'.
  std::vector<Node> parseList() {
    std::vector<Node> list;
    for (;;) {
      skipBlanks();
      if (pos_ >= f_.size()) error("missing ')'");
      char c = f_[pos_];
      if (c == ')') {
        ++pos_;
        return list;
      }
      if (c == ',') {
        ++pos_;
        continue;
      }
      list.push_back(parseItem());
    }
  }

  Node parseItem() {
    int repeat = 1;
    bool hasRepeat = false;
    if (digit()) {
      repeat = number();
      hasRepeat = true;
      skipBlanks();
    }
    if (pos_ >= f_.size()) error("unexpected end");
    char c = f_[pos_];
    Node n{};
    n.repeat = repeat;
    if (c == '\'' || c == '"') {
      n.kind = Node::Kind::Text;
      n.text = quoted(c);
      return n;
    }
    ++pos_;
    switch (c) {
      case '(':
        n.kind = Node::Kind::Group;
        n.children = parseList();
        return n;
      case '/':
        n.kind = Node::Kind::Slash;
        return n;
      case ':':
        n.kind = Node::Kind::Colon;
        return n;
      case 'X':
      case 'x':
        n.kind = Node::Kind::X;
        n.w = hasRepeat ? repeat : 1;
        n.repeat = 1;
        return n;
      case 'I':
      case 'i':
        n.kind = Node::Kind::I;
        break;
      case 'F':
      case 'f':
        n.kind = Node::Kind::F;
        break;
      case 'E':
      case 'e':
        n.kind = Node::Kind::E;
        break;
      case 'A':
      case 'a':
        n.kind = Node::Kind::A;
        break;
      default:
        error("unknown edit descriptor");
    }
    if (digit()) {
      n.w = number();
      n.hasW = true;
    }
    if (pos_ < f_.size() && f_[pos_] == '.') {
      ++pos_;
      n.d = number();
    }
    if ((n.kind == Node::Kind::F || n.kind == Node::Kind::E || n.kind == Node::Kind::I) && !n.hasW)
      error("numeric edit descriptor without a width");
    return n;
  }

  std::string quoted(char q) {
    ++pos_;
    std::string s;
    for (;;) {
      if (pos_ >= f_.size()) error("unterminated text");
      char c = f_[pos_++];
      if (c == q) {
        if (pos_ < f_.size() && f_[pos_] == q) {
          s += q;
          ++pos_;
          continue;
        }
        return s;
      }
      s += c;
    }
  }

  std::string_view f_;
  std::size_t pos_ = 0;
};

bool hasDataDescriptor(const std::vector<Node>& list) {
  for (const auto& n : list) {
    switch (n.kind) {
      case Node::Kind::I:
      case Node::Kind::F:
      case Node::Kind::E:
      case Node::Kind::A:
        return true;
      case Node::Kind::Group:
        if (hasDataDescriptor(n.children)) return true;
        break;
      default:
        break;
    }
  }
  return false;
}

class Writer {
 public:
  Writer(std::string_view format, const ItemList& items) : format_(format), items_(items) {}

  std::string run(const std::vector<Node>& top) {
    // Reversion restarts at the last top-level group, or at the beginning.
    std::size_t restart = 0;
    for (std::size_t k = 0; k < top.size(); ++k)
      if (top[k].kind == Node::Kind::Group) restart = k;
    const bool data = hasDataDescriptor(top);
    if (!data && !items_.empty())
      throw std::logic_error("FORMAT \"" + std::string(format_) + "\" has no field for its values");
    std::size_t from = 0;
    for (;;) {
      if (!walk(top, from)) break;         // stopped: the list ran out
      if (next_ >= items_.size()) break;   // format done and list done
      out_ += '\n';                        // reversion: a new record
      from = restart;
    }
    out_ += '\n';
    return out_;
  }

 private:
  // Returns false when output must stop (a data field with no item left).
  bool walk(const std::vector<Node>& list, std::size_t from) {
    for (std::size_t k = from; k < list.size(); ++k) {
      const Node& n = list[k];
      for (int r = 0; r < n.repeat; ++r)
        if (!emit(n)) return false;
    }
    return true;
  }

  bool emit(const Node& n) {
    switch (n.kind) {
      case Node::Kind::Text:
        out_ += n.text;
        return true;
      case Node::Kind::X:
        out_.append(static_cast<std::size_t>(n.w), ' ');
        return true;
      case Node::Kind::Slash:
        out_ += '\n';
        return true;
      case Node::Kind::Colon:
        return next_ < items_.size();
      case Node::Kind::Group:
        return walk(n.children, 0);
      default:
        break;
    }
    if (next_ >= items_.size()) return false;
    const Item& it = items_[next_++];
    switch (n.kind) {
      case Node::Kind::I:
        out_ += fieldI(asInt(it), n.w, n.d);
        break;
      case Node::Kind::F:
        out_ += fieldF(asReal(it), n.w, n.d);
        break;
      case Node::Kind::E:
        out_ += fieldE(asReal(it), n.w, n.d);
        break;
      case Node::Kind::A: {
        if (it.kind != Item::Kind::Text) mismatch("A", it);
        if (!n.hasW) out_ += it.text;
        else if (static_cast<int>(it.text.size()) >= n.w) out_ += it.text.substr(0, static_cast<std::size_t>(n.w));
        else out_ += std::string(static_cast<std::size_t>(n.w) - it.text.size(), ' ') + it.text;
        break;
      }
      default:
        break;
    }
    return true;
  }

  long long asInt(const Item& it) const {
    if (it.kind != Item::Kind::Int) mismatch("I", it);
    return it.i;
  }
  double asReal(const Item& it) const {
    if (it.kind == Item::Kind::Real) return it.r;
    if (it.kind == Item::Kind::Int) mismatch("F/E", it);
    mismatch("F/E", it);
  }
  [[noreturn]] void mismatch(const char* desc, const Item& it) const {
    const char* kind = it.kind == Item::Kind::Int ? "an integer" : it.kind == Item::Kind::Real ? "a real" : "a text";
    throw std::logic_error("FORMAT \"" + std::string(format_) + "\": " + desc + " field given " + kind);
  }

  std::string_view format_;
  const ItemList& items_;
  std::size_t next_ = 0;
  std::string out_;
};

std::string freeReal(double x, bool single) {
  if (!std::isfinite(x)) return nonFinite(x);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*G", single ? 7 : 15, x);
  std::string s(buf);
  if (s.find_first_of(".E") == std::string::npos) s += ".0";
  else if (s.find('.') == std::string::npos) s.insert(s.find('E'), ".0");
  return s;
}

}  // namespace

std::string formatRecords(std::string_view format, const ItemList& list) {
  FormatParser parser(format);
  const auto top = parser.parseTop();
  return Writer(format, list).run(top);
}

std::string freeFormatLine(const ItemList& list) {
  std::string out = " ";
  for (const Item& it : list) {
    if (it.kind == Item::Kind::Text) {
      out += it.text;
      continue;
    }
    if (out.back() != ' ') out += ' ';
    out += it.kind == Item::Kind::Int ? std::to_string(it.i) : freeReal(it.r, it.single);
  }
  out += '\n';
  return out;
}

}  // namespace fio
