// Words of a line: splitting, classifying and converting.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bytes.h"
#include "io.h"

namespace {

using IO::strings;
using V = valuetype;

// Runs f, which must end the run, and returns where and what it said.
// No file is open and nothing waits for Return.
template <class F>
IO::runend fatal(F f) {
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

TEST(IoWords, SplitOnBlankTabAndNbspOnly) {
  struct Row {
    std::string line;
    std::vector<std::string> words;
  };
  const std::string nb(1, macroman::nbsp);
  const Row rows[] = {
      {"", {}},
      {"   \t ", {}},
      {"a b", {"a", "b"}},
      {"  a\t\tb  c ", {"a", "b", "c"}},
      {"one" + nb + "two", {"one", "two"}},
      {"x,y;z\r", {"x,y;z\r"}},  // commas, semicolons, CR are not separators
      {"abcdefghijklmnopqrstuvwxyz0123 next", {"abcdefghijklmnopqrstuv", "next"}},
  };
  for (const auto& r : rows) {
    strings w;
    w[5] = "stale";
    smallint n = -1;
    IO::STRING2STRINGS(r.line, static_cast<smallint>(r.line.size()), w, n);
    ASSERT_EQ(n, static_cast<smallint>(r.words.size())) << r.line;
    for (smallint i = 1; i <= n; ++i) EXPECT_EQ(w[i], r.words[static_cast<std::size_t>(i - 1)]);
    for (long i = n + 1; i <= maxwords; ++i) EXPECT_TRUE(w[i].empty());
  }
}

TEST(IoWords, OnlyTheFirstLenCharacters) {
  strings w;
  smallint n;
  IO::STRING2STRINGS("alpha beta gamma", 8, w, n);
  ASSERT_EQ(n, 2);
  EXPECT_EQ(w[2], "be");
  IO::STRING2STRINGS("alpha", 50, w, n);  // longer than the text
  EXPECT_EQ(n, 1);
  IO::STRING2STRINGS("alpha", 0, w, n);
  EXPECT_EQ(n, 0);
}

TEST(IoWords, FourHundredWordsFitTheFourHundredAndFirstStopsTheRun) {
  std::string line;
  for (int i = 1; i <= 400; ++i) line += "w" + std::to_string(i) + " ";
  strings w;
  smallint n;
  IO::STRING2STRINGS(line, static_cast<smallint>(line.size()), w, n);
  EXPECT_EQ(n, 400);
  EXPECT_EQ(w[400], "w400");
  line += "w401";
  const auto e = fatal([&] { IO::STRING2STRINGS(line, static_cast<smallint>(line.size()), w, n); });
  EXPECT_EQ(e.where, "string2strings");
  EXPECT_EQ(e.message, "too many \"w401\"");
}

TEST(IoWords, SmallStringRoutines) {
  smallint f, l;
  IO::STRINGBOUNDS("  ab c\t", f, l);
  EXPECT_EQ(f, 3);
  EXPECT_EQ(l, 6);
  IO::STRINGBOUNDS(" \t ", f, l);
  EXPECT_EQ(f, 0);
  EXPECT_EQ(l, 0);
  EXPECT_EQ(IO::TRIMSTRING("\t x y \xCA"), "x y");
  EXPECT_EQ(IO::MAKESSTRING(std::string(30, 'q')), std::string(22, 'q'));
  EXPECT_EQ(IO::BLANKSTRING(3), "   ");
  EXPECT_EQ(IO::BLANKSTRING(249).size(), 249u);
  EXPECT_EQ(IO::BLANKSTRING(250), "");
  EXPECT_EQ(IO::BLANKSTRING(0), "");
  EXPECT_EQ(IO::BLANKSTRING(-4), "");
  EXPECT_TRUE(IO::SAMESTRING(" gt ", "gt"));
  EXPECT_TRUE(IO::SAMESTRING("", "  "));
  EXPECT_FALSE(IO::SAMESTRING("", "a"));
  EXPECT_FALSE(IO::SAMESTRING("Gt", "gt"));
}

TEST(IoWords, MatchIsExactAndFindsTheFirst) {
  strings list;
  list[1] = "q";
  list[2] = "ab";
  list[3] = "ab";
  smallint k = 99;
  EXPECT_TRUE(IO::MATCHSTRING("ab", list, 3, k));
  EXPECT_EQ(k, 2);
  EXPECT_FALSE(IO::MATCHSTRING("AB", list, 3, k));
  EXPECT_EQ(k, 0);
  EXPECT_FALSE(IO::MATCHSTRING("ab", list, 1, k));
  EXPECT_FALSE(IO::MATCHSTRING("q", list, 0, k));
  EXPECT_FALSE(IO::MATCHSTRING("q", list, -3, k));
}

TEST(IoWords, Classes) {
  struct Row {
    const char* w;
    V vt;
  };
  const Row rows[] = {
      {"", V::anemptystring}, {"  ", V::anemptystring}, {"7", V::aninteger},   {"x", V::astring},
      {"-", V::astring},      {"12", V::aninteger},      {"-3", V::aninteger},  {" 12 ", V::aninteger},
      {"1.5", V::areal},      {"-0.25", V::areal},       {"2e5", V::areal},     {"1.5E-3", V::areal},
      {"1e+5", V::areal},     {"3/4", V::arational},     {"-3/4", V::arational}, {".5", V::astring},
      {"+5", V::astring},     {"1.", V::astring},        {"1.e5", V::astring},  {"e5", V::astring},
      {"1/", V::astring},     {"1/2.5", V::astring},     {"1,5", V::astring},   {"5a", V::astring},
      {"1e", V::astring},     {"1e-", V::astring},       {"1e5e2", V::astring}, {"1.2.3", V::astring},
      {"1/2/3", V::astring},  {"--5", V::astring},       {"-.5", V::astring},   {"1e5/2", V::astring},
      {"3/-4", V::astring},   {"1-2", V::astring},       {"1 2", V::astring},   {"-/3", V::astring},
  };
  for (const auto& r : rows) EXPECT_EQ(IO::WHATISSTRING(r.w), r.vt) << '"' << r.w << '"';
  EXPECT_TRUE(IO::ISNUMBER(V::aninteger));
  EXPECT_TRUE(IO::ISNUMBER(V::areal));
  EXPECT_TRUE(IO::ISNUMBER(V::arational));
  EXPECT_FALSE(IO::ISNUMBER(V::astring));
  EXPECT_FALSE(IO::ISNUMBER(V::anemptystring));
}

TEST(IoWords, Str2Real) {
  struct Row {
    const char* w;
    bool ok;
    extended x;
    const char* msg;
  };
  const Row rows[] = {
      {"0.1", true, 0.1L, ""},
      {"-273.15", true, -273.15L, ""},
      {"1e-3", true, 0.001L, ""},
      {"", false, 0, ""},
      {"1e+5", false, 0, "1e+5 not a real: replace with"},
      {"abc", false, 0, "abc not a real: replace with"},
      {"1e99999", false, 0, "1e99999 not a real: replace with"},
      {"-1e5000", false, 0, "-1e5000 not a real: replace with"},
  };
  for (const auto& r : rows) {
    extended x = 5;
    std::string msg = "old";
    EXPECT_EQ(IO::STR2REAL(r.w, x, msg), r.ok) << r.w;
    EXPECT_EQ(x, r.x) << r.w;
    EXPECT_EQ(msg, r.msg);
  }
}

TEST(IoWords, Str2Int) {
  struct Row {
    const char* w;
    bool ok;
    int i;
    const char* msg;
  };
  const Row rows[] = {
      {"12", true, 12, ""},
      {"-7", true, -7, ""},
      {"2.0", true, 2, ""},
      {"2e0", true, 2, ""},
      {"32766", true, 32766, ""},
      {"-32766", true, -32766, ""},
      {"32767", false, 0, "32767 too large: replace with"},
      {"-32767", false, 0, "-32767 too large: replace with"},
      {"1e9", false, 0, "1e9 too large: replace with"},
      {"2.5", false, 0, "2.5 not an integer: replace with"},
      {"x", false, 0, "x not an integer: replace with"},
      {"1e99999", false, 0, "1e99999 not an integer: replace with"},
      {"", false, 0, ""},
  };
  for (const auto& r : rows) {
    smallint i = 9;
    std::string msg = "old";
    EXPECT_EQ(IO::STR2INT(r.w, i, msg), r.ok) << r.w;
    EXPECT_EQ(i, r.i) << r.w;
    EXPECT_EQ(msg, r.msg);
  }
}

TEST(IoWords, Str2Rat) {
  struct Row {
    const char* w;
    bool ok;
    int p, q;
    const char* msg;
  };
  const Row rows[] = {
      {"3/4", true, 3, 4, ""},
      {"-2/3", true, -2, 3, ""},
      {"0/3", false, 0, 3, "zero in rational"},
      {"3/0", false, 3, 0, "zero in rational"},
      {"3/40000", false, 3, 0, "40000 too large: replace with"},
      {"1.5/2", false, 0, 0, "1.5 not an integer: replace with"},
  };
  for (const auto& r : rows) {
    smallint p = 9, q = 9;
    std::string msg;
    EXPECT_EQ(IO::STR2RAT(r.w, p, q, msg), r.ok) << r.w;
    EXPECT_EQ(p, r.p) << r.w;
    EXPECT_EQ(q, r.q) << r.w;
    EXPECT_EQ(msg, r.msg) << r.w;
  }
}

strings wordsof(const std::string& line, smallint& nw) {
  strings w;
  IO::STRING2STRINGS(line, static_cast<smallint>(line.size()), w, nw);
  return w;
}

TEST(IoWords, Strings2Reals) {
  struct Row {
    const char* line;
    smallint start, nin;
    bool ok;
    smallint nout;
    std::vector<extended> v;
  };
  const Row rows[] = {
      {"key 1 2 x", 1, -2, true, 2, {1, 2}},
      {"key 1 x", 1, -2, false, 0, {}},
      {"key 1 x", 1, 0, true, 1, {1}},
      {"key x", 1, 0, false, 0, {}},
      {"key 0.5 3/4 -2e1", 1, 3, true, 3, {0.5L, 0.75L, -20}},
      {"key 0.5 3/4", 1, 3, false, 0, {}},   // fewer words than asked
      {"key 0.5 y 7", 1, 3, false, 0, {}},   // a word that is no number
      {"key sw 4 5", 2, 2, true, 2, {4, 5}},
      {"key 1e+5", 1, 1, false, 0, {}},      // classed a number, does not convert
      {"key 0/4", 1, 1, false, 0, {}},
      {"key 1 2 3 4", 1, 2, true, 2, {1, 2}},  // only as many as asked
  };
  for (const auto& r : rows) {
    smallint nw;
    const strings w = wordsof(r.line, nw);
    IO::rrvector v;
    smallint n = r.nin;
    EXPECT_EQ(IO::STRINGS2REALS(w, nw, r.start, v, n), r.ok) << r.line << " n=" << r.nin;
    if (!r.ok) continue;
    EXPECT_EQ(n, r.nout) << r.line;
    for (std::size_t j = 0; j < r.v.size(); ++j) EXPECT_EQ(v[static_cast<long>(j + 1)], r.v[j]) << r.line;
  }
}

TEST(IoWords, Strings2RealsStopsAtWordForty) {
  std::string line = "key";
  for (int i = 1; i <= 45; ++i) line += " " + std::to_string(i);
  smallint nw;
  const strings w = wordsof(line, nw);
  IO::rrvector v;
  smallint n = 0;
  ASSERT_TRUE(IO::STRINGS2REALS(w, nw, 1, v, n));
  EXPECT_EQ(n, 39);
  EXPECT_EQ(v[39], 39.0L);
  n = 41;  // more than a vector holds
  EXPECT_FALSE(IO::STRINGS2REALS(w, nw, 1, v, n));
}

TEST(IoWords, Strings2Integers) {
  struct Row {
    const char* line;
    smallint start, nin;
    bool ok;
    smallint nout;
    std::vector<smallint> v;
  };
  const Row rows[] = {
      {"key 1 2 3", 1, 3, true, 3, {1, 2, 3}},
      {"key 1 2.5 3", 1, 3, false, 0, {}},   // a real is not an integer word
      {"key 1 2.5 3", 1, 0, true, 1, {1}},
      {"key 4 -5 x", 1, -2, true, 2, {4, -5}},
      {"key 40000", 1, 1, false, 0, {}},
      {"key", 1, 0, false, 0, {}},
  };
  for (const auto& r : rows) {
    smallint nw;
    const strings w = wordsof(r.line, nw);
    IO::irrvector v;
    smallint n = r.nin;
    EXPECT_EQ(IO::STRINGS2INTEGERS(w, nw, r.start, v, n), r.ok) << r.line << " n=" << r.nin;
    if (!r.ok) continue;
    EXPECT_EQ(n, r.nout) << r.line;
    for (std::size_t j = 0; j < r.v.size(); ++j) EXPECT_EQ(v[static_cast<long>(j + 1)], r.v[j]) << r.line;
  }
}

TEST(IoWords, GetRoutines) {
  EXPECT_EQ(IO::GETINTEGER(V::aninteger, "17", "here"), 17);
  EXPECT_EQ(IO::GETREAL(V::areal, "2.5", "here"), 2.5L);
  EXPECT_EQ(IO::GETREAL(V::aninteger, "-4", "here"), -4.0L);
  EXPECT_EQ(IO::GETREAL(V::arational, "1/3", "here"), 1.0L / 3.0L);
  smallint p, q;
  IO::GETRATIONAL(V::areal, "0.5", p, q, "here");
  EXPECT_EQ(p, 1);
  EXPECT_EQ(q, 2);
  IO::GETRATIONAL(V::aninteger, "2", p, q, "here");
  EXPECT_EQ(p, 2);
  EXPECT_EQ(q, 1);
  IO::GETRATIONAL(V::arational, "-3/8", p, q, "here");
  EXPECT_EQ(p, -3);
  EXPECT_EQ(q, 8);
}

TEST(IoWords, GetRoutinesStopTheRun) {
  struct Row {
    std::function<void()> call;
    const char* where;
    const char* message;
  };
  smallint p, q;
  const Row rows[] = {
      {[] { IO::GETINTEGER(V::areal, "2.5", "line 3"); }, "getinteger",
       "expecting an integer (1); got: 2.5 - line 3"},
      {[] { IO::GETINTEGER(V::aninteger, "99999", "line 3"); }, "getinteger",
       "expecting an integer (2); got: 99999 - line 3"},
      {[] { IO::GETREAL(V::astring, "abc", "w"); }, "reading", "expecting a single (1); got: abc - w"},
      {[] { IO::GETREAL(V::areal, "1e+5", "w"); }, "reading", "expecting a single (2); got: 1e+5 - w"},
      {[] { IO::GETREAL(V::areal, "1e99999", "w"); }, "reading", "expecting a single (2); got: 1e99999 - w"},
      {[] { IO::GETREAL(V::arational, "1/0", "w"); }, "reading", "expecting a single (3); got: 1/0 - w"},
      {[&] { IO::GETRATIONAL(V::aninteger, "70000", p, q, "w"); }, "reading",
       "expecting a rational (1); got: 70000 - w"},
      {[&] { IO::GETRATIONAL(V::areal, "1e+5", p, q, "w"); }, "reading",
       "expecting a rational (2); got: 1e+5 - w"},
      {[&] { IO::GETRATIONAL(V::arational, "0/2", p, q, "w"); }, "reading",
       "expecting a rational (3); got: 0/2 - w"},
      {[&] { IO::GETRATIONAL(V::anemptystring, "", p, q, "w"); }, "reading",
       "expecting a rational (4); got:  - w"},
      {[&] { IO::GETRATIONAL(V::areal, "1e6", p, q, "w"); }, "li2i", "longint -> int conversion failed"},
      {[&] { IO::GETRATIONAL(V::areal, "1e30", p, q, "w"); }, "li2i", "longint -> int conversion failed"},
      {[] { IO::LI2I(-32768); }, "li2i", "longint -> int conversion failed"},
      {[] { IO::LI2I(32768); }, "li2i", "longint -> int conversion failed"},
  };
  for (const auto& r : rows) {
    const auto e = fatal(r.call);
    EXPECT_EQ(e.where, r.where);
    EXPECT_EQ(e.message, r.message);
  }
  EXPECT_EQ(IO::LI2I(32767), 32767);
  EXPECT_EQ(IO::LI2I(-32767), -32767);
}

TEST(IoWords, Real2Rational) {
  struct Row {
    extended x;
    longint p, q;
  };
  const Row rows[] = {
      {0.75L, 3, 4},
      {0.3333L, 1, 3},
      {-0.75L, -3, 4},
      {2.0004L, 2, 1},
      {-5.0L, -5, 1},
      {0.0L, 0, 1},
      {1.0L / 7.0L, 1, 7},
      {2.0L / 3.0L, 2, 3},
      {3.14159L, 314159, 100000},  // the expansion runs to its exact end
      {0.123456789L, 10, 81},
      {1e12L, 2147483647, 1},   // beyond a longint: the largest of its sign
      {-1e30L, -2147483647, 1},
  };
  for (const auto& r : rows) {
    longint p = 0, q = 0;
    IO::REAL2RATIONAL(r.x, p, q);
    EXPECT_EQ(p, r.p) << static_cast<double>(r.x);
    EXPECT_EQ(q, r.q) << static_cast<double>(r.x);
  }
}

TEST(IoWords, Real2RationalOfAnEndlessExpansionStaysInRange) {
  // the square root of 2 never ends: 20 terms at most, and a fraction that
  // a longint holds and that lies close to the value
  longint p = 0, q = 0;
  IO::REAL2RATIONAL(1.41421356237309504880L, p, q);
  ASSERT_GT(q, 0);
  EXPECT_NEAR(static_cast<double>(p) / q, 1.4142135623730951, 1e-6);
}

TEST(IoWords, Places) {
  struct Row {
    extended x;
    smallint places, places0;
  };
  const Row rows[] = {
      {2.25L, 2, 2},   {3.0L, 1, 0},       {-3.0L, 1, 0},     {0.5L, 1, 1},
      {-0.125L, 3, 3}, {1.05L, 2, 2},      {12.3456L, 4, 4},  {1e-9L, 1, 0},
      {1.0L / 3.0L, 8, 8}, {2.0L / 3.0L, 8, 8},  // a fraction that never ends stops at eight
      {0.12345678L, 8, 8}, {0.123456789L, 8, 8},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(IO::NPLACES(r.x), r.places) << static_cast<double>(r.x);
    EXPECT_EQ(IO::NPLACES0(r.x), r.places0) << static_cast<double>(r.x);
  }
}

}  // namespace
