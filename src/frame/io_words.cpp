// Words of a line: splitting, trimming, classifying, and turning words into
// integers, reals and rationals.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "frame/bytes.h"
#include "frame/io.h"

namespace IO {

namespace {

bool isseparator(char c) { return c == ' ' || c == '\t' || c == macroman::nbsp; }

bool isdigitchar(char c) { return c >= '0' && c <= '9'; }

// Distance of x from its nearest integer, without converting to an integer
// type (x may be far outside any integer range).
extended offinteger(extended x) { return std::fabs(x - std::round(x)); }

// The failure text of a word: the word, then what is wrong with it.
std::string failtext(const sstring& w, const char* what) { return w + what; }

}  // namespace

void STRINGBOUNDS(const std::string& s, smallint& first, smallint& last) {
  first = 0;
  last = 0;
  const long n = static_cast<long>(s.size());
  long i = 0;
  while (i < n && isseparator(s[static_cast<std::size_t>(i)])) ++i;
  if (i == n) return;
  long j = n - 1;
  while (j > i && isseparator(s[static_cast<std::size_t>(j)])) --j;
  // Texts handed to these routines are short; a longer one is clamped rather
  // than wrapped into a negative position.
  first = static_cast<smallint>(std::min<long>(i + 1, INT16_MAX));
  last = static_cast<smallint>(std::min<long>(j + 1, INT16_MAX));
}

std::string TRIMSTRING(const std::string& s) {
  std::size_t i = 0;
  std::size_t j = s.size();
  while (i < j && isseparator(s[i])) ++i;
  while (j > i && isseparator(s[j - 1])) --j;
  return s.substr(i, j - i);
}

sstring MAKESSTRING(const std::string& s) { return s.substr(0, sstringlength); }

std::string BLANKSTRING(smallint n) {
  if (n < 1 || n > 249) return std::string();
  return std::string(static_cast<std::size_t>(n), ' ');
}

bool SAMESTRING(const std::string& a, const std::string& b) { return TRIMSTRING(a) == TRIMSTRING(b); }

bool MATCHSTRING(const sstring& w, const strings& list, smallint n, smallint& k) {
  k = 0;
  const long last = std::min<long>(n, maxwords);
  for (long i = 1; i <= last; ++i) {
    if (list[i] == w) {
      k = static_cast<smallint>(i);
      return true;
    }
  }
  return false;
}

namespace {

// The words of s[0, end) into words[1..n], every entry after the last
// emptied; false, with the first word beyond the list in over, when the line
// holds more words than the list takes (words[1..maxwords] are then its
// first ones).
bool splitwords(const std::string& s, std::size_t end, strings& words, smallint& n, sstring& over) {
  n = 0;
  NEWSPLIT();
  std::size_t i = 0;
  bool fits = true;
  while (i < end) {
    while (i < end && isseparator(s[i])) ++i;
    if (i >= end) break;
    std::size_t j = i;
    while (j < end && !isseparator(s[j])) ++j;
    // A name is kept to its first 22 characters; a number is kept whole,
    // since its first 22 characters may be another number.
    const std::string written = s.substr(i, j - i);
    const bool cut = written.size() > static_cast<std::size_t>(sstringlength) && !ISNUMBER(WHATISSTRING(written));
    const sstring w = cut ? MAKESSTRING(written) : written;
    if (n >= maxwords) {
      over = w;
      fits = false;
      break;
    }
    ++n;
    words[n] = w;
    if (cut) NOTECUT(n, written);
    i = j;
  }
  for (long k = n + 1; k <= maxwords; ++k) words[k].clear();
  return fits;
}

// Where a comment starts: the first word that begins with "%" (a "%"
// inside a word is text); the line's length when there is none. A comment
// is left unsplit, so that it may be as long as it likes.
std::size_t commentat(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i)
    if (s[i] == '%' && (i == 0 || isseparator(s[i - 1]))) return i;
  return s.size();
}

}  // namespace

void STRING2STRINGS(const std::string& s, long len, strings& words, smallint& n) {
  const std::size_t end = len <= 0 ? 0 : std::min(s.size(), static_cast<std::size_t>(len));
  sstring over;
  if (!splitwords(s, end, words, n, over)) ERROREXIT("string2strings", "too many \"" + over + "\"", yourfault);
}

std::string LINEPLACE(const textfile& f) { return "line " + std::to_string(f.lines) + " of \"" + f.name + "\""; }

void SPLITLINE(const std::string& line, bool cut, const textfile& f, strings& words, smallint& n) {
  sstring over;
  if (!splitwords(line, cut ? commentat(line) : line.size(), words, n, over))
    ERROREXIT("string2strings", "too many \"" + over + "\": " + LINEPLACE(f) + " has more than " +
                                    std::to_string(maxwords) + " words",
              yourfault);
}

bool TRYREADSTRINGS(textfile& f, strings& words, smallint& n, bool cut) {
  std::string line;
  sstring over;
  n = 0;
  return READLINE(f, line) && splitwords(line, cut ? commentat(line) : line.size(), words, n, over);
}

valuetype WHATISSTRING(const sstring& w) {
  // Trimmed whole: a number word is as long as it is written.
  const std::string t = TRIMSTRING(w);
  if (t.empty()) return valuetype::anemptystring;
  if (t.size() == 1) return isdigitchar(t[0]) ? valuetype::aninteger : valuetype::astring;

  std::size_t i = t[0] == '-' ? 1 : 0;
  const std::size_t start = i;
  long dotat = -1, eat = -1, slashat = -1;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    const bool firstscanned = i == start;
    if (isdigitchar(c)) continue;
    if (c == '.') {
      if (dotat >= 0 || firstscanned || eat >= 0 || slashat >= 0) return valuetype::astring;
      dotat = static_cast<long>(i);
    } else if (c == 'e' || c == 'E') {
      if (eat >= 0 || firstscanned || slashat >= 0) return valuetype::astring;
      if (dotat >= 0 && dotat == static_cast<long>(i) - 1) return valuetype::astring;
      eat = static_cast<long>(i);
    } else if (c == '+' || c == '-') {
      if (eat < 0 || eat != static_cast<long>(i) - 1) return valuetype::astring;
    } else if (c == '/') {
      if (slashat >= 0 || firstscanned || dotat >= 0 || eat >= 0) return valuetype::astring;
      slashat = static_cast<long>(i);
    } else {
      return valuetype::astring;
    }
  }
  const long lastpos = static_cast<long>(t.size()) - 1;
  if (dotat >= 0 && dotat == lastpos) return valuetype::astring;
  if (eat >= 0) {
    bool digitafter = false;
    for (long j = eat + 1; j <= lastpos; ++j)
      if (isdigitchar(t[static_cast<std::size_t>(j)])) digitafter = true;
    if (!digitafter) return valuetype::astring;
  }
  if (slashat >= 0 && slashat == lastpos) return valuetype::astring;
  if (slashat >= 0) return valuetype::arational;
  if (eat >= 0 || dotat >= 0) return valuetype::areal;
  return valuetype::aninteger;
}

bool ISNUMBER(valuetype vt) {
  return vt == valuetype::aninteger || vt == valuetype::areal || vt == valuetype::arational;
}

// The value of a word through its decimal record; false, with the given
// failure text after the word, when it does not read.
static bool wordvalue(const sstring& w, extended& x, std::string& msg, const char* fail) {
  msg.clear();
  x = 0;
  if (TRIMSTRING(w).empty()) return false;
  Decimal d;
  smallint index = 1;
  bool valid = false;
  STR2DEC(w, index, d, valid);
  if (!valid) {
    msg = failtext(w, fail);
    return false;
  }
  x = DEC2NUM(d);
  return true;
}

bool STR2REAL(const sstring& w, extended& x, std::string& msg) {
  return wordvalue(w, x, msg, " not a real: replace with");
}

bool STR2INT(const sstring& w, smallint& i, std::string& msg) {
  i = 0;
  extended x = 0;
  if (!wordvalue(w, x, msg, " not an integer: replace with")) return false;
  if (offinteger(x) > 1e-8L) {
    msg = failtext(w, " not an integer: replace with");
    return false;
  }
  if (std::fabs(x) >= 32767.0L) {
    msg = failtext(w, " too large: replace with");
    return false;
  }
  i = static_cast<smallint>(std::lround(x));
  return true;
}

bool STR2RAT(const sstring& w, smallint& p, smallint& q, std::string& msg) {
  msg.clear();
  p = 0;
  q = 0;
  const std::size_t slash = w.find('/');
  const sstring num = slash == std::string::npos ? w : w.substr(0, slash);
  const sstring den = slash == std::string::npos ? sstring() : w.substr(slash + 1);
  std::string m;
  if (!STR2INT(num, p, m)) {
    msg = m;
    return false;
  }
  if (!STR2INT(den, q, m)) {
    msg = m;
    return false;
  }
  // A part that failed has already said why; the zero test is only for
  // two good integers that make no usable fraction.
  if (p == 0 || q == 0) msg = "zero in rational";
  return msg.empty();
}

namespace {

// The part common to the real and the integer runs: how many words after
// start are to be converted, or -1 when the run does not hold.
template <class Accept>
long runlength(const strings& words, smallint nw, smallint start, smallint n, Accept accept) {
  if (std::abs(static_cast<long>(n)) + start - 1 >= nw) return -1;
  if (n > maxrr) return -1;
  const long stopat = n > 0 ? static_cast<long>(start) + n : std::min<long>(maxrr, nw);
  const long lastword = std::min<long>({stopat, static_cast<long>(nw), static_cast<long>(maxwords)});
  long count = 0;
  for (long k = static_cast<long>(start) + 1; k <= lastword; ++k) {
    if (k < 1 || !accept(WHATISSTRING(words[k]))) break;
    ++count;
  }
  if (n > 0) return count == n ? count : -1;
  if (count < -static_cast<long>(n) || count < 1) return -1;
  return count;
}

}  // namespace

bool STRINGS2REALS(const strings& words, smallint nw, smallint start, rrvector& v, smallint& n) {
  const long count = runlength(words, nw, start, n, ISNUMBER);
  if (count < 0) return false;
  n = static_cast<smallint>(count);
  std::string msg;
  for (long j = 1; j <= count; ++j) {
    const sstring& w = words[start + j];
    if (WHATISSTRING(w) == valuetype::arational) {
      smallint p, q;
      if (!STR2RAT(w, p, q, msg)) return false;
      v[j] = static_cast<extended>(p) / static_cast<extended>(q);
    } else {
      extended x;
      if (!STR2REAL(w, x, msg)) return false;
      v[j] = x;
    }
  }
  return true;
}

bool STRINGS2INTEGERS(const strings& words, smallint nw, smallint start, irrvector& v, smallint& n) {
  if (n == 0 && nw <= start) return false;
  const long count =
      runlength(words, nw, start, n, [](valuetype vt) { return vt == valuetype::aninteger; });
  if (count < 0) return false;
  n = static_cast<smallint>(count);
  std::string msg;
  for (long j = 1; j <= count; ++j) {
    smallint i;
    if (!STR2INT(words[start + j], i, msg)) return false;
    v[j] = i;
  }
  return true;
}

smallint GETINTEGER(valuetype vt, const sstring& w, const std::string& where) {
  if (vt != valuetype::aninteger)
    ERROREXIT("getinteger", "expecting an integer (1); got: " + w + " - " + where, yourfault);
  smallint i;
  std::string msg;
  if (!STR2INT(w, i, msg))
    ERROREXIT("getinteger", "expecting an integer (2); got: " + w + " - " + where, yourfault);
  return i;
}

extended GETREAL(valuetype vt, const sstring& w, const std::string& where) {
  std::string msg;
  const std::string tail = w + " - " + where;
  if (vt == valuetype::aninteger || vt == valuetype::areal) {
    extended x;
    if (!STR2REAL(w, x, msg)) ERROREXIT("reading", "expecting a single (2); got: " + tail, yourfault);
    return x;
  }
  if (vt == valuetype::arational) {
    smallint p, q;
    if (!STR2RAT(w, p, q, msg)) ERROREXIT("reading", "expecting a single (3); got: " + tail, yourfault);
    return static_cast<extended>(p) / static_cast<extended>(q);
  }
  ERROREXIT("reading", "expecting a single (1); got: " + tail, yourfault);
}

void GETRATIONAL(valuetype vt, const sstring& w, smallint& p, smallint& q, const std::string& where) {
  std::string msg;
  const std::string tail = w + " - " + where;
  if (vt == valuetype::aninteger) {
    if (!STR2INT(w, p, msg)) ERROREXIT("reading", "expecting a rational (1); got: " + tail, yourfault);
    q = 1;
    return;
  }
  if (vt == valuetype::areal) {
    extended x;
    if (!STR2REAL(w, x, msg)) ERROREXIT("reading", "expecting a rational (2); got: " + tail, yourfault);
    longint lp, lq;
    REAL2RATIONAL(x, lp, lq);
    // A value whose nearest fraction leaves the integers a rational holds
    // is refused naming it, not in the narrowing.
    constexpr longint widest = 32767;
    if (lp > widest || lp < -widest || lq > widest || lq < -widest)
      ERROREXIT("reading", "a rational beyond " + INT2STR(widest) + "/1; got: " + tail, yourfault);
    p = LI2I(lp);
    q = LI2I(lq);
    return;
  }
  if (vt == valuetype::arational) {
    if (!STR2RAT(w, p, q, msg)) ERROREXIT("reading", "expecting a rational (3); got: " + tail, yourfault);
    return;
  }
  ERROREXIT("reading", "expecting a rational (4); got: " + tail, yourfault);
}

void REAL2RATIONAL(extended x, longint& p, longint& q) {
  constexpr extended biggest = 2147483647.0L;
  constexpr int maxterms = 20;
  constexpr extended near = 0.001L;
  q = 1;
  if (std::isnan(x)) {
    p = 0;
    return;
  }
  // A value beyond the integer range cannot be narrowed; the largest
  // integer of its sign stands for it, and a caller that narrows further
  // refuses it there.
  if (!(std::fabs(x) < biggest)) {
    p = x < 0 ? -static_cast<longint>(biggest) : static_cast<longint>(biggest);
    return;
  }
  if (offinteger(x) < near) {
    p = static_cast<longint>(std::round(x));
    return;
  }
  // Continued fraction of |x| with truncated terms; the remainders after the
  // first term are at least 0.001 apart from an integer, so every later term
  // is at most 1000.
  std::int64_t terms[maxterms];
  int nterms = 0;
  extended a = std::fabs(x);
  for (;;) {
    const extended t = std::trunc(a);
    terms[nterms++] = static_cast<std::int64_t>(t);
    if (a - t < near || nterms == maxterms) break;
    a = 1.0L / (a - t);
  }
  // Fold the convergents forward so that a fraction too large for a longint
  // is never formed; keep the last one that fits.
  std::int64_t h0 = 1, h1 = terms[0], k0 = 0, k1 = 1;
  for (int i = 1; i < nterms; ++i) {
    const std::int64_t h2 = terms[i] * h1 + h0;
    const std::int64_t k2 = terms[i] * k1 + k0;
    if (h2 > static_cast<std::int64_t>(biggest) || k2 > static_cast<std::int64_t>(biggest)) break;
    h0 = h1;
    h1 = h2;
    k0 = k1;
    k1 = k2;
  }
  p = static_cast<longint>(x < 0 ? -h1 : h1);
  q = static_cast<longint>(k1);
}

smallint LI2I(longint n) {
  if (n >= 32768 || n <= -32768) ERROREXIT("li2i", "longint -> int conversion failed", yourfault);
  return static_cast<smallint>(n);
}

namespace {

// Values with a decimal fraction that never ends (one third) would need
// ever more places; no caller shows more than this many.
constexpr smallint mostplaces = 8;

}  // namespace

smallint NPLACES(extended x) {
  if (offinteger(x) <= 1e-8L) return 1;
  const extended d = std::fabs(x - std::trunc(x));
  for (smallint n = 1; n < mostplaces; ++n)
    if (offinteger(d * TEN(n)) <= 1e-4L) return n;
  return mostplaces;
}

smallint NPLACES0(extended x) {
  if (offinteger(x) <= 1e-8L) return 0;
  extended d = std::fabs(x - std::trunc(x));
  for (smallint n = 1; n < mostplaces; ++n) {
    d = d * 10.0L;
    if (offinteger(d) <= 1e-8L) return n;
  }
  return mostplaces;
}

}  // namespace IO
