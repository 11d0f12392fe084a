// Free-format reading of the input files of calc mode 9: numbers across
// line ends, the raw rest of a line, and whole lines.
#include <algorithm>
#include <cstdlib>

#include "frame/io.h"
#include "lsq/lsqds.h"

namespace LSQDS {

namespace {

// The line being read and the place in it. A line is fetched only when
// something is read from it, so "next line" at the start of an unfetched
// line passes over that whole line. READERSTART sets them.
str255 line;
std::size_t at = 0;
bool unfetched = true;

bool fetch() {
  if (!unfetched) return true;
  if (!IO::READLINE(IO::DATA, line)) {
    line.clear();
    return false;
  }
  at = 0;
  unfetched = false;
  return true;
}

bool blank(char c) { return c == ' ' || c == '\t' || c == '\xCA'; }
bool digit(char c) { return c >= '0' && c <= '9'; }

std::size_t digitsfrom(std::size_t i) {
  while (i < line.size() && digit(line[i])) ++i;
  return i;
}

// The next number's text, the place after it left in end; false at the end
// of the file. A text without a digit is returned empty.
bool numbertext(bool real, std::string& text, std::size_t& end) {
  for (;;) {
    if (!fetch()) return false;
    while (at < line.size() && blank(line[at])) ++at;
    if (at < line.size()) break;
    unfetched = true;
  }
  std::size_t i = at;
  if (line[i] == '+' || line[i] == '-') ++i;
  const std::size_t intstart = i;
  i = digitsfrom(i);
  bool anydigit = i > intstart;
  if (real && i < line.size() && line[i] == '.') {
    const std::size_t fracstart = i + 1;
    const std::size_t j = digitsfrom(fracstart);
    if (anydigit || j > fracstart) {
      anydigit = anydigit || j > fracstart;
      i = j;
    }
  }
  if (real && anydigit && i < line.size() && (line[i] == 'e' || line[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < line.size() && (line[j] == '+' || line[j] == '-')) ++j;
    const std::size_t k = digitsfrom(j);
    if (k > j) i = k;
  }
  text.clear();
  end = i;
  if (!anydigit) return true;
  // The program's own decimal reader takes neither a "+" sign nor a "+"
  // exponent sign.
  for (std::size_t k = at; k < i; ++k)
    if (line[k] != '+') text += line[k];
  return true;
}

[[noreturn]] void nonumber(const std::string& where, const std::string& field, const std::string& context) {
  std::size_t j = at;
  while (j < line.size() && !blank(line[j])) ++j;
  IO::ERROREXIT(where,
                "expecting a number for " + field + " of " + context + "; got: " +
                    IO::MAKESSTRING(line.substr(at, j - at)),
                yourfault);
}

[[noreturn]] void ended(const std::string& where, const std::string& field, const std::string& context) {
  IO::ERROREXIT(where, "file ends without \"*\": " + field + " of " + context + " missing", yourfault);
}

}  // namespace

void READERSTART() {
  line.clear();
  at = 0;
  unfetched = true;
}

extended READREAL(const std::string& where, const std::string& field, const std::string& context) {
  std::string text;
  std::size_t end = 0;
  if (!numbertext(true, text, end)) ended(where, field, context);
  if (text.empty()) nonumber(where, field, context);
  IO::Decimal d;
  bool valid = false;
  smallint index = 1;
  IO::STR2DEC(text, index, d, valid);
  if (!valid)
    IO::ERROREXIT(where, "number out of range for " + field + " of " + context + ": " + IO::MAKESSTRING(text),
                  yourfault);
  at = end;
  return IO::DEC2NUM(d);
}

smallint READINT(const std::string& where, const std::string& field, const std::string& context) {
  std::string text;
  std::size_t end = 0;
  if (!numbertext(false, text, end)) ended(where, field, context);
  if (text.empty()) nonumber(where, field, context);
  const bool negative = text[0] == '-';
  long v = 0;
  for (std::size_t k = negative ? 1 : 0; k < text.size() && v < 32767; ++k) v = v * 10 + (text[k] - '0');
  if (v >= 32767)
    IO::ERROREXIT(where, "integer too large for " + field + " of " + context + ": " + IO::MAKESSTRING(text),
                  yourfault);
  at = end;
  return static_cast<smallint>(negative ? -v : v);
}

str255 READREST() {
  if (!fetch()) return str255();
  str255 rest = line.substr(at);  // whole: a note the program wrote may be of any length
  at = line.size();
  return rest;
}

void READNEXTLINE() {
  if (unfetched && !fetch()) return;
  unfetched = true;
}

bool READWHOLELINE(str255& whole) {
  whole.clear();
  if (!fetch()) return false;
  whole = line.substr(at);
  unfetched = true;
  return true;
}

smallint LINEWORDS(const str255& text, IO::strings& w) {
  smallint n = 0;
  IO::SPLITLINE(text, true, IO::DATA, w, n);
  return n;
}

bool READTAKENLINE(IO::strings& w, smallint& n) {
  str255 text;
  do {
    if (!READWHOLELINE(text)) {
      n = 0;
      return false;
    }
    n = LINEWORDS(text, w);
  } while (n == 0);
  return true;
}

}  // namespace LSQDS
