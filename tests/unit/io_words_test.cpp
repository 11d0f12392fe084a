// Words of a line: splitting, classifying and converting.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "frame/bytes.h"
#include "frame/io.h"
#include "iotestsupport.h"

namespace {

using IO::strings;
using V = valuetype;

// Runs f, which must end the run; no file is open and nothing waits.
IO::runend fatal(const std::function<void()>& f) {
  IO::CONTROLIO.autoexit = true;
  IO::WHATSOPEN = 0;
  try {
    f();
  } catch (const IO::runend& e) {
    return e;
  }
  ADD_FAILURE() << "the run did not end";
  return IO::runend{};
}

strings wordsof(const std::string& line, smallint& nw) {
  strings w;
  w[5] = "stale";
  IO::STRING2STRINGS(line, static_cast<smallint>(line.size()), w, nw);
  return w;
}

TEST(IoWords, Split) {
  const std::string nb(1, macroman::nbsp);
  const struct {
    std::string line;
    std::vector<std::string> words;
  } rows[] = {
      {"   \t ", {}},
      {"  a\t\tb  c ", {"a", "b", "c"}},
      {"one" + nb + "two", {"one", "two"}},
      {"x,y;z\r", {"x,y;z\r"}},
      {"abcdefghijklmnopqrstuvwxyz0123 next", {"abcdefghijklmnopqrstuv", "next"}},
  };
  for (const auto& r : rows) {
    smallint n = -1;
    const strings w = wordsof(r.line, n);
    ASSERT_EQ(n, static_cast<smallint>(r.words.size())) << r.line;
    for (smallint i = 1; i <= n; ++i) EXPECT_EQ(w[i], r.words[static_cast<std::size_t>(i - 1)]);
    for (long i = n + 1; i <= maxwords; ++i) EXPECT_TRUE(w[i].empty());
  }
  smallint n;
  std::string line;
  for (int i = 1; i <= 400; ++i) line += "w" + std::to_string(i) + " ";
  wordsof(line, n);
  EXPECT_EQ(n, 400);
  const auto e = fatal([&] { wordsof(line + "w401", n); });
  EXPECT_EQ(e.where, "string2strings");
  EXPECT_EQ(e.message, "too many \"w401\"");
}

// A line of a file as its readers take it: a comment of any length is
// never split (so never counted against the 400 words a line may hold),
// and a line of more words than that stops once, naming the file, the line
// and the limit; the quiet reader of the start-up check says false instead.
TEST(IoWords, FileLinesCommentsAndTheWordLimit) {
  const testsupport::ScratchDir dir;
  IO::CONTROLIO.autoexit = true;
  IO::WHATSOPEN = 0;
  auto words = [](int n, const std::string& stem) {
    std::string s;
    for (int i = 1; i <= n; ++i) s += stem + std::to_string(i) + " ";
    return s;
  };
  const std::string nb(1, macroman::nbsp);
  // line, cut, the words kept (-1: the stop) and the first of them
  const struct {
    std::string line;
    bool cut;
    int kept;
    std::string first;
  } rows[] = {
      {"% " + words(500, "c"), true, 0, ""},
      {"a b" + nb + "%" + words(500, "c"), true, 2, "a"},
      {"a\t%note " + words(500, "c"), true, 1, "a"},
      {words(400, "w") + "%" + words(10, "c"), true, 400, "w1"},
      {words(400, "w") + "a%b", true, -1, ""},
      {"a%b " + words(399, "w"), true, 400, "a%b"},
      {"% " + words(399, "w"), false, 400, "%"},
      {"% " + words(400, "w"), false, -1, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.line.substr(0, 40));
    dir.write("in.txt", "first\n" + r.line + "\nlast\n");
    IO::textfile f;
    f.name = "in.txt";
    f.f = std::fopen("in.txt", "rb");
    strings w;
    smallint n = 0;
    IO::READSTRINGS(f, w, n, r.cut);
    const auto e = testsupport::fatal([&] { IO::READSTRINGS(f, w, n, r.cut); });
    if (r.kept < 0) {
      EXPECT_EQ(e.rfind("string2strings: too many \"", 0), 0u) << e;
      EXPECT_NE(e.find("\": line 2 of \"in.txt\" has more than 400 words"), std::string::npos) << e;
    } else {
      EXPECT_EQ(e, "");
      EXPECT_EQ(n, r.kept);
      EXPECT_EQ(w[1], r.first);
    }
    IO::REWIND(f);
    bool read = IO::TRYREADSTRINGS(f, w, n, r.cut) && IO::TRYREADSTRINGS(f, w, n, r.cut);
    EXPECT_EQ(read, r.kept >= 0);
    EXPECT_EQ(f.lines, 2);
    std::fclose(f.f);
  }
}

TEST(IoWords, BoundsAndMatch) {
  smallint f, l;
  IO::STRINGBOUNDS("  ab c\t", f, l);
  EXPECT_EQ(f * 100 + l, 306);
  strings list;
  list[1] = "ab";
  list[2] = "ab";
  smallint k = 99;
  EXPECT_TRUE(IO::MATCHSTRING("ab", list, 2, k));
  EXPECT_EQ(k, 1);
  EXPECT_FALSE(IO::MATCHSTRING("AB", list, 2, k));
  EXPECT_EQ(k, 0);
}

TEST(IoWords, Classes) {
  const struct {
    const char* w;
    V vt;
  } rows[] = {
      {"  ", V::anemptystring}, {"7", V::aninteger},     {"x", V::astring},      {"-", V::astring},
      {"-3", V::aninteger},     {" 12 ", V::aninteger},  {"-0.25", V::areal},    {"2e5", V::areal},
      {"1.5E-3", V::areal},     {"1e+5", V::areal},      {"-3/4", V::arational}, {".5", V::astring},
      {"+5", V::astring},       {"1.", V::astring},      {"1.e5", V::astring},   {"e5", V::astring},
      {"1/", V::astring},       {"1/2.5", V::astring},   {"1,5", V::astring},    {"5a", V::astring},
      {"1e-", V::astring},      {"1e5e2", V::astring},   {"1.2.3", V::astring},  {"1/2/3", V::astring},
      {"--5", V::astring},      {"1e5/2", V::astring},   {"3/-4", V::astring},   {"1-2", V::astring},
  };
  for (const auto& r : rows) EXPECT_EQ(IO::WHATISSTRING(r.w), r.vt) << '"' << r.w << '"';
}

TEST(IoWords, Conversions) {
  // kind: r real, i integer, q rational (value p/q)
  const struct {
    char kind;
    const char* w;
    bool ok;
    extended x;
    int q;
    const char* msg;
  } rows[] = {
      {'r', "0.1", true, 0.1L, 0, ""},
      {'r', "1e+5", false, 0, 0, "1e+5 not a real: replace with"},
      {'r', "1e99999", false, 0, 0, "1e99999 not a real: replace with"},
      {'i', "2e0", true, 2, 0, ""},
      {'i', "32766", true, 32766, 0, ""},
      {'i', "32767", false, 0, 0, "32767 too large: replace with"},
      {'i', "2.5", false, 0, 0, "2.5 not an integer: replace with"},
      {'i', "x", false, 0, 0, "x not an integer: replace with"},
      {'i', "", false, 0, 0, ""},
      {'q', "-2/3", true, -2, 3, ""},
      {'q', "0/3", false, 0, 3, "zero in rational"},
      {'q', "3/0", false, 3, 0, "zero in rational"},
      {'q', "3/40000", false, 3, 0, "40000 too large: replace with"},
      {'q', "1.5/2", false, 0, 0, "1.5 not an integer: replace with"},
  };
  for (const auto& r : rows) {
    std::string msg = "old";
    extended x = 5;
    smallint i = 9, p = 9, q = 9;
    bool ok;
    if (r.kind == 'r') {
      ok = IO::STR2REAL(r.w, x, msg);
    } else if (r.kind == 'i') {
      ok = IO::STR2INT(r.w, i, msg);
      x = i;
    } else {
      ok = IO::STR2RAT(r.w, p, q, msg);
      x = p;
      EXPECT_EQ(q, r.q) << r.w;
    }
    EXPECT_EQ(ok, r.ok) << r.w;
    EXPECT_EQ(x, r.x) << r.w;
    EXPECT_EQ(msg, r.msg) << r.w;
  }
}

TEST(IoWords, RunsOfNumbers) {
  // reals when integers is false; nout and values only checked on success
  const struct {
    bool integers;
    const char* line;
    smallint start, nin;
    bool ok;
    std::vector<extended> v;
  } rows[] = {
      {false, "key 1 2 x", 1, -2, true, {1, 2}},
      {false, "key 1 x", 1, -2, false, {}},
      {false, "key 0.5 3/4 -2e1", 1, 3, true, {0.5L, 0.75L, -20}},
      {false, "key 0.5 3/4", 1, 3, false, {}},
      {false, "key 1e+5", 1, 1, false, {}},
      {false, "key 1 2 3 4", 1, 2, true, {1, 2}},
      {true, "key 1 2.5 3", 1, 0, true, {1}},
      {true, "key", 1, 0, false, {}},
  };
  for (const auto& r : rows) {
    smallint nw;
    const strings w = wordsof(r.line, nw);
    IO::rrvector v;
    IO::irrvector iv;
    smallint n = r.nin;
    const bool ok = r.integers ? IO::STRINGS2INTEGERS(w, nw, r.start, iv, n) : IO::STRINGS2REALS(w, nw, r.start, v, n);
    EXPECT_EQ(ok, r.ok) << r.line << " n=" << r.nin;
    if (!ok || !r.ok) continue;
    EXPECT_EQ(n, static_cast<smallint>(r.v.size())) << r.line;
    for (long j = 1; j <= n; ++j) EXPECT_EQ(r.integers ? iv[j] : v[j], r.v[static_cast<std::size_t>(j - 1)]);
  }
  // An open run stops at word 40; a count beyond the vector is refused.
  std::string line = "key";
  for (int i = 1; i <= 45; ++i) line += " " + std::to_string(i);
  smallint nw;
  const strings w = wordsof(line, nw);
  IO::rrvector v;
  smallint n = 0;
  ASSERT_TRUE(IO::STRINGS2REALS(w, nw, 1, v, n));
  EXPECT_EQ(n, 39);
  n = 41;
  EXPECT_FALSE(IO::STRINGS2REALS(w, nw, 1, v, n));
}

TEST(IoWords, GetRoutines) {
  EXPECT_EQ(IO::GETREAL(V::arational, "1/3", "here"), 1.0L / 3.0L);
  smallint p, q;
  IO::GETRATIONAL(V::areal, "0.5", p, q, "here");
  EXPECT_EQ(p * 100 + q, 102);
  IO::GETRATIONAL(V::aninteger, "2", p, q, "here");
  EXPECT_EQ(p * 100 + q, 201);

  const struct {
    std::function<void()> call;
    const char* where;
    const char* message;
  } rows[] = {
      {[] { IO::GETINTEGER(V::areal, "2.5", "line 3"); }, "getinteger", "expecting an integer (1); got: 2.5 - line 3"},
      {[] { IO::GETINTEGER(V::aninteger, "99999", "l"); }, "getinteger", "expecting an integer (2); got: 99999 - l"},
      {[] { IO::GETREAL(V::astring, "abc", "w"); }, "reading", "expecting a single (1); got: abc - w"},
      {[] { IO::GETREAL(V::areal, "1e+5", "w"); }, "reading", "expecting a single (2); got: 1e+5 - w"},
      {[] { IO::GETREAL(V::arational, "1/0", "w"); }, "reading", "expecting a single (3); got: 1/0 - w"},
      {[&] { IO::GETRATIONAL(V::aninteger, "70000", p, q, "w"); }, "reading", "expecting a rational (1); got: 70000 - w"},
      {[&] { IO::GETRATIONAL(V::areal, "1e+5", p, q, "w"); }, "reading", "expecting a rational (2); got: 1e+5 - w"},
      {[&] { IO::GETRATIONAL(V::arational, "0/2", p, q, "w"); }, "reading", "expecting a rational (3); got: 0/2 - w"},
      {[&] { IO::GETRATIONAL(V::anemptystring, "", p, q, "w"); }, "reading", "expecting a rational (4); got:  - w"},
      {[&] { IO::GETRATIONAL(V::areal, "1e30", p, q, "w"); }, "reading", "a rational beyond 32767/1; got: 1e30 - w"},
      {[] { IO::LI2I(-32768); }, "li2i", "longint -> int conversion failed"},
  };
  for (const auto& r : rows) {
    const auto e = fatal(r.call);
    EXPECT_EQ(e.where, r.where);
    EXPECT_EQ(e.message, r.message);
  }
  EXPECT_EQ(IO::LI2I(-32767), -32767);
}

TEST(IoWords, Real2Rational) {
  const struct {
    extended x;
    longint p, q;
  } rows[] = {
      {0.75L, 3, 4},     {0.3333L, 1, 3},         {-0.75L, -3, 4},          {2.0004L, 2, 1},
      {0.0L, 0, 1},      {1.0L / 7.0L, 1, 7},     {3.14159L, 314159, 100000}, {0.123456789L, 10, 81},
      {1e12L, 2147483647, 1}, {-1e30L, -2147483647, 1},  // beyond a longint: the largest of its sign
  };
  for (const auto& r : rows) {
    longint p = 0, q = 0;
    IO::REAL2RATIONAL(r.x, p, q);
    EXPECT_EQ(p, r.p) << static_cast<double>(r.x);
    EXPECT_EQ(q, r.q) << static_cast<double>(r.x);
  }
  longint p = 0, q = 0;  // an expansion that never ends: 20 terms at most
  IO::REAL2RATIONAL(1.41421356237309504880L, p, q);
  EXPECT_NEAR(static_cast<double>(p) / q, 1.4142135623730951, 1e-6);
}

TEST(IoWords, Places) {
  const struct {
    extended x;
    smallint places, places0;
  } rows[] = {
      {2.25L, 2, 2},  {3.0L, 1, 0},         {-0.125L, 3, 3}, {1.05L, 2, 2},
      {1e-9L, 1, 0},  {1.0L / 3.0L, 8, 8},  {0.12345678L, 8, 8},
      {1e-8L, 1, 0},  // as near a whole number as counts as whole
  };
  for (const auto& r : rows) {
    EXPECT_EQ(IO::NPLACES(r.x), r.places) << static_cast<double>(r.x);
    EXPECT_EQ(IO::NPLACES0(r.x), r.places0) << static_cast<double>(r.x);
  }
}

}  // namespace

namespace {

// The text of the value written short, padded to n characters without
// changing it: zeros after its last decimal (a point added to a whole
// number that has an exponent or none), or before its first digit when it
// is a whole number or a rational; empty when no such text has n.
std::string padded(const std::string& shortform, std::size_t n) {
  if (n == shortform.size()) return shortform;
  if (n < shortform.size()) return "";
  const std::size_t digits = shortform[0] == '-' ? 1 : 0;
  const std::size_t e = shortform.find_first_of("eE");
  const std::string mantissa = shortform.substr(0, e), exponent = e == std::string::npos ? "" : shortform.substr(e);
  if (shortform.find('/') != std::string::npos || (mantissa.find('.') == std::string::npos && e == std::string::npos))
    return shortform.substr(0, digits) + std::string(n - shortform.size(), '0') + shortform.substr(digits);
  // (a point wants a digit after it)
  const std::string point = mantissa.find('.') == std::string::npos ? "." : "";
  if (n < shortform.size() + 2 * point.size()) return "";
  return mantissa + point + std::string(n - shortform.size() - point.size(), '0') + exponent;
}

}  // namespace

// Every number word of 1 to 40 characters, in a line between two names of
// 21 to 30: split, the number is kept whole and converts to the value of
// its short form, by every converter that takes its class; each name is
// kept to its first 22 characters. (A word of C's %.16e, -1.0000000000000000e-03,
// is 23 characters: cut to 22 it would read 1000 times larger.) The values
// are checked against the C library's reading of the short form too.
TEST(IoWords, NumbersAreReadWholeAndNamesCutAtEveryLength) {
  const std::vector<std::string> shortforms = {"-1e-03", "-0.001", "650", "-951.63", "2.172541E3",
                                               "20",     "7",      "-3/4", "1.5e-300", "0"};
  std::size_t checked = 0;
  for (const std::string& s : shortforms)
    for (std::size_t n = 1; n <= 40; ++n) {
      const std::string w = padded(s, n);
      if (w.empty()) continue;
      ++checked;
      const std::string name = std::string(21 + n % 10, 'n');
      smallint nw = 0;
      const strings words = wordsof(name + " " + w + "\t" + name + "z", nw);
      SCOPED_TRACE(w);
      ASSERT_EQ(nw, 3);
      EXPECT_EQ(words[1], name.substr(0, 22));
      EXPECT_EQ(words[3], (name + "z").substr(0, 22));
      ASSERT_EQ(words[2], w);
      const valuetype vt = IO::WHATISSTRING(s);
      ASSERT_EQ(IO::WHATISSTRING(words[2]), vt);
      const extended want = IO::GETREAL(vt, s, "short");
      EXPECT_EQ(IO::GETREAL(vt, words[2], "long"), want);
      if (vt != V::arational) {
        const extended c = std::strtold(s.c_str(), nullptr);
        EXPECT_TRUE(c == want || std::fabs(c - want) <= 1e-18L * std::fabs(c)) << static_cast<double>(want);
      }
      IO::rrvector v;
      smallint count = 0;
      ASSERT_TRUE(IO::STRINGS2REALS(words, nw, 1, v, count));
      EXPECT_EQ(count, 1);
      EXPECT_EQ(v[1], want);
      smallint p1 = 0, q1 = 0, p2 = 0, q2 = 0;
      if (vt != V::areal) {
        IO::GETRATIONAL(vt, s, p1, q1, "short");
        IO::GETRATIONAL(vt, words[2], p2, q2, "long");
        EXPECT_EQ(p2, p1);
        EXPECT_EQ(q2, q1);
      }
      if (vt == V::aninteger) {
        EXPECT_EQ(IO::GETINTEGER(vt, words[2], "long"), static_cast<smallint>(want));
        IO::irrvector iv;
        count = 1;
        ASSERT_TRUE(IO::STRINGS2INTEGERS(words, nw, 1, iv, count));
        EXPECT_EQ(iv[1], static_cast<smallint>(want));
      }
    }
  EXPECT_GT(checked, 300u);
  // A word longer than a name that is not a number is a name, cut.
  smallint nw = 0;
  const strings words = wordsof("-1.0000000000000000e-03x 1.0000000000000000000000e", nw);
  EXPECT_EQ(words[1], "-1.0000000000000000e-0");
  EXPECT_EQ(words[2], "1." + std::string(20, '0'));
}
