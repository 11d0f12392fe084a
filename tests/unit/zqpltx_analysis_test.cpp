// The consistency checks of the topology analysis: each check with one
// fault and with more, what is listed on the terminal before the stop, the
// diagnoses of points and lines without full phase information, and the
// listing of a diagram that passes.
#include <gtest/gtest.h>

#include "zqpltx_areatestsupport.h"

using areatest::fourfield;
using drawtest::Drawing;
using drawtest::qk;

namespace {

// The four-field diagram with one text replaced by another.
std::string with(const std::string& from, const std::string& to, std::string records = fourfield) {
  const std::size_t at = records.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) records.replace(at, from.size(), to);
  return records;
}

// A second invariant point with its four lines, away from the first.
constexpr const char* secondstar =
    "i2 e f - g h invariant 2 450\n"
    "u5 e f g - h i2 end 2 450 -1 450\n"
    "u6 e f h - g i2 end 2 450 2 300\n"
    "u7 e f - g i2 end 2 450 -1 420\n"
    "u8 e f - h i2 end 2 450 1 300\n";

struct row {
  std::string records;
  std::string end;
  std::string listed;
};

void check(const row& r) {
  Drawing d;
  const areatest::outcome o = areatest::run(d, qk(r.records), [] { ZQPLTX::ANALYSIS(); });
  EXPECT_EQ(o.end, r.end) << r.records;
  EXPECT_EQ(o.listed, r.listed) << r.records;
}

TEST(DrawingAnalysis, DuplicateAndSubset) {
  auto list = [](std::initializer_list<const char*> names) {
    IO::strings s;
    long k = 0;
    for (const char* n : names) s[++k] = n;
    return s;
  };
  const std::string longname = "abcdefghijklmnopqrstuvwxyz";
  struct dup {
    IO::strings list;
    smallint n;
    std::string extra1, extra2;
    bool result;
  };
  const dup dups[] = {
      {list({"a", "b"}), 2, "", "", false},
      {list({"a", "b"}), 2, "a", "", true},
      {list({"a", "b"}), 2, "", "b", true},
      {list({"a", "b"}), 2, "c", "c", true},
      {list({"a", "a"}), 1, "", "", false},  // only the first n count
      {list({"a", "a"}), 2, "", "", true},
      {list({}), 0, "c", "c", false},  // no list, whatever the extras
      {list({"a"}), 1, "", "", false},
      {list({"A"}), 1, "a", "", false},
      // names are taken at their first 22 characters
      {list({longname.c_str()}), 1, longname.substr(0, 22) + "XX", "", true},
  };
  for (const dup& t : dups)
    EXPECT_EQ(ZQPLTX::DUPLICATE(t.list, t.n, t.extra1, t.extra2), t.result) << t.n << " " << t.extra1 << t.extra2;

  struct sub {
    IO::strings a;
    smallint na;
    IO::strings b;
    smallint nb;
    bool result;
  };
  const sub subs[] = {
      {list({"a", "b", "c"}), 3, list({"c", "a"}), 2, true},
      {list({"a", "b", "c"}), 3, list({"c", "d"}), 2, false},
      {list({"a", "b", "c"}), 2, list({"c"}), 1, false},  // a counts to na only
      {list({"a"}), 1, list({"a", "a"}), 2, true},
      {list({"a"}), 1, list({"A"}), 1, false},
      {list({"a"}), 0, list({"a"}), 1, false},
      {list({"a"}), 1, list({"a"}), 0, false},
  };
  for (const sub& t : subs) EXPECT_EQ(ZQPLTX::SUBSET(t.a, t.na, t.b, t.nb), t.result) << t.na << " " << t.nb;
}

TEST(DrawingAnalysis, DuplicatePhases) {
  const row rows[] = {
      {with("i1 a b - c d", "i1 a b - c c"), "analyse: remove the duplicate", "duplicate in phases in point: \ni1 "},
      // zero phases left unnamed are both "none"
      {with("i1 a b - c d", "i1 a b -"), "analyse: remove the duplicate", "duplicate in phases in point: \ni1 "},
      {with("i1 a b - c d", "i1 a b - c b") + "i2 a a - c d 6 700\n", "analyse: remove the duplicates",
       "duplicate in phases in point: \ni1 i2 "},
      // a point outside the window is not looked at
      {std::string(fourfield) + "i9 a a - c d 50 600\n", "", ""},
      {with("u1 a b d - c", "u1 a b d - d"), "analyse: remove the duplicate", "duplicate in phases in line: \nu1 "},
      {with("u2 a b c - d", "u2 a c c - d", with("u1 a b d - c", "u1 a b d - d")), "analyse: remove the duplicates",
       "duplicate in phases in line: \nu1 u2 "},
      // so is a line wholly outside it
      {std::string(fourfield) + "u9 a a - c begin end 20 500 30 500\n", "", ""},
  };
  for (const row& r : rows) check(r);
}

TEST(DrawingAnalysis, DuplicateRecords) {
  const row rows[] = {
      {std::string(fourfield) + "i2 b a - d c invariant 6 700\n", "analyse: remove duplicate point",
       "duplicate points: i1-&-i2"},
      // three alike make three pairs, written without separators
      {std::string(fourfield) + "i2 b a - d c invariant 6 700\ni3 a b - c d 7 700\n",
       "analyse: remove duplicate points", "duplicate points: i1-&-i2i1-&-i3i2-&-i3"},
      // other zero phases are no duplicate: the run goes on to a later check
      {std::string(fourfield) + "i2 b a - d e invariant 6 700\n", "analyse: fix up lines at the point",
       "wrong number of lines at a point for: i2 "},
      {std::string(fourfield) + "u5 b a d - c i1 end 5 600 4 900\n", "analyse: remove (or combine) duplicate line",
       "u1--u5"},
      {std::string(fourfield) + "u5 b a d - c i1 end 5 600 4 900\nu6 a b - d i1 end 5 600 15 700\n",
       "analyse: remove (or combine) duplicate lines", "u1--u5u4--u6"},
      {std::string(fourfield) + "u5 b a d - e i1 end 5 600 4 900\n", "analyse: fix up lines at the point",
       "wrong number of lines at a point for: i1 "},
  };
  for (const row& r : rows) check(r);
}

TEST(DrawingAnalysis, PointsWithoutInfo) {
  // Two lines crossing at (2, 500), begin and end left open.
  const std::string crossing = "i2 crossover u5 u6\nu5 a b e - f begin end 1 450 3 550\n";
  const std::string lead = "no or incorrect phase info for: \n";
  const std::string one = "analyse: add/correct the info for this point";
  const row rows[] = {
      {std::string(fourfield) + "i2 invariant 6 700\n", one, lead + "i2:  not crossover\n"},
      {with("i1 a b - c d invariant", "i1 a b invariant"), one, lead + "i1:  not crossover\n"},
      {std::string(fourfield) + crossing + "u6 begin end 1 550 3 450\n", one,
       lead + "i2:  crossover, but one or both lines without info\n"},
      {std::string(fourfield) + crossing + "u6 a b univariant begin end 1 550 3 450\n", one,
       lead + "i2:  crossover, but one or both lines with zero not given\n"},
      {std::string(fourfield) + crossing + "u6 a c - e begin end 1 550 3 450\n", one,
       lead + "i2:  lines are incompatible in crossover\n"},
      {std::string(fourfield) + crossing + "u6 a b - e begin end 1 550 3 450\n", one, lead + "i2: a b e - f e\n"},
      {std::string(fourfield) + "i2 invariant 6 700\ni3 point 7 700\n",
       "analyse: add/correct the info for these points", lead + "i2:  not crossover\ni3:  not crossover\n"},
  };
  for (const row& r : rows) check(r);
}

TEST(DrawingAnalysis, LinesWithoutInfo) {
  const std::string lead = "no or incorrect phase info for (with suggestion): \n";
  const std::string one = "analyse: add/correct the info for this line";
  // A connect line from i1 to a second point; the proposals follow from
  // the phases of the two points.
  auto connect = [&](const std::string& point, const std::string& diagnosis) {
    return row{std::string(fourfield) + point + "u5 i1 i2 connect\n", one, lead + "u5: " + diagnosis};
  };
  const row rows[] = {
      {std::string(fourfield) + "u5 i1 end 5 600 6 700\n", one, lead + "u5:  not connect\n"},
      {std::string(fourfield) + "u5 i1 end 5 600 6 700\nu6 univariant i1 end 5 600 6 500\n",
       "analyse: add/correct the info for these lines", lead + "u5:  not connect\nu6:  not connect\n"},
      // the second point lies beyond the right edge: the line ends there
      connect("i2 a b - c d 20 600\n", " connect, but one or both ends not at a point\n"),
      connect("i2 a b - e f 6 700\n", " connect, but points don't share a zero\n"),
      connect("i2 b a - c e 6 700\n", "connect i1 and i2: a b  - c\n"),
      connect("i2 a d - c b 6 700\n", "connect i1 and i2: a b d  - c\n"),
      connect("i2 e f - c g 6 700\n", "connect i1 and i2:  incompatible points in connect 1\n - c\n"),
      connect("i2 a - c b 6 700\n", "connect i1 and i2: a b  - c\n"),
      connect("i2 e - c f 6 700\n", "connect i1 and i2:  incompatible points in connect 2\n - c\n"),
      connect("i2 a b d - c e 6 700\n", "connect i1 and i2: a b d  - c\n"),
      connect("i2 e f g - c h 6 700\n", "connect i1 and i2:  incompatible points in connect 3\n - c\n"),
      connect("i2 a b e g h - c f 6 700\n", "connect i1 and i2: ??\n - c\n"),
      // the shared zero is the second one of the begin point
      connect("i2 a b - d e 6 700\n", "connect i1 and i2: a b  - d\n"),
  };
  for (const row& r : rows) check(r);

  // Points that the checks of points pass by: only a point outside the
  // window can lack its information, so the point is hidden here.
  const struct {
    std::string point, diagnosis;
  } hidden[] = {
      {"i2 invariant 6 700\n", " connect, but one or both points without info\n"},
      {"i2 a b invariant 6 700\n", " connect, but one or both points with no zeroes\n"},
  };
  for (const auto& h : hidden) {
    Drawing d;
    const std::string records = std::string(fourfield) + h.point + "u5 i1 i2 connect\n";
    const areatest::outcome o = areatest::run(d, qk(records), [] {
      (*ZQPLTX::POINT)[2].seen = false;
      ZQPLTX::ANALYSIS();
    });
    EXPECT_EQ(o.end, one) << h.point;
    EXPECT_EQ(o.listed, lead + "u5: " + h.diagnosis) << h.point;
  }
}

TEST(DrawingAnalysis, LinesAtPoints) {
  const std::string lead = "wrong number of lines at a point for: ";
  const std::string five = "u5 a b e - c i1 end 5 600 8 800\n";
  const row rows[] = {
      {with("u4 a b - d i1 end 5 600 15 600\n", ""), "analyse: fix up lines at the point", lead + "i1 "},
      {std::string(fourfield) + five, "analyse: fix up lines at the point", lead + "i1 "},
      // a point that no line reaches; the message does not count
      {std::string(fourfield) + five + "i2 a b - c e 6 700\n", "analyse: fix up lines at the point",
       lead + "i1 i2 "},
  };
  for (const row& r : rows) check(r);

  // Of five lines the first four are kept.
  Drawing d;
  areatest::run(d, qk(std::string(fourfield) + five), [] { ZQPLTX::ANALYSIS(); });
  const ZQPLTX::pointtype& p = drawtest::point(1);
  for (long k = 1; k <= 4; ++k) EXPECT_EQ(p.plines[k], k);
}

TEST(DrawingAnalysis, ZerosPhaseCountsCorrespondence) {
  const std::string both = std::string(fourfield) + secondstar;
  const row rows[] = {
      {both, "", ""},
      {with("u4 a b - d", "u4 a b - e", both), "analyse: fix up zeroes at the point",
       "point and line zeroes don't match at: i1 "},
      {with("u8 e f - h", "u8 e f - a", with("u4 a b - d", "u4 a b - e", both)), "analyse: fix up zeroes at the points",
       "point and line zeroes don't match at: i1 i2 "},
      // only one line as full as the point
      {with("u2 a b c - d", "u2 a c - d", both), "analyse: fix up phases at the point",
       "wrong number of phases in point or its lines for: i1 "},
      // a line fuller than the point
      {with("u3 a b - c", "u3 a b e f - c", with("u7 e f - g", "u7 e f a - g", both)),
       "analyse: fix up phases at the points", "wrong number of phases in point or its lines for: i1 i2 "},
      {with("u4 a b - d", "u4 a e - d", both), "analyse: don't correspond",
       "..........................................\n  i1:    a   b   c   d\n  u4:    a   e   d"},
      // the first pair alone; a name longer than its field is written whole
      {with("u4 a b - d", "u4 a e - d", with("u3 a b - c", "u3 long b - c", both)), "analyse: don't correspond",
       "..........................................\n  i1:    a   b   c   d\n  u3: long   b   c"},
  };
  for (const row& r : rows) check(r);
}

TEST(DrawingAnalysis, OpenEndsAfterTheListing) {
  const row rows[] = {
      {with("u4 a b - d i1 end 5 600 15 600", "u4 a b - d i1 end 5 600 8 600"), "analyse: fix this line",
       "lines that just begin or end within the diagram: u4 "},
      {with("u3 a b - c i1 end 5 600 5 300", "u3 a b - c i1 end 5 600 5 500",
            with("u4 a b - d i1 end 5 600 15 600", "u4 a b - d i1 end 5 600 8 600")),
       "analyse: fix these lines", "lines that just begin or end within the diagram: u3 u4 "},
  };
  for (const row& r : rows) {
    check(r);
    Drawing d;
    areatest::run(d, qk(r.records), [] { ZQPLTX::ANALYSIS(); });
    EXPECT_TRUE(areatest::has(d.log(), "consistency check: 4 lines at each point"));
  }
}

TEST(DrawingAnalysis, ListingOfAPassingDiagram) {
  Drawing d;
  // A point outside the window is neither checked nor listed.
  const areatest::outcome o =
      areatest::run(d, qk(std::string(fourfield) + "i9 x y - z w 50 600\n"), [] { ZQPLTX::ANALYSIS(); });
  EXPECT_EQ(o.end, "");
  EXPECT_EQ(o.listed, "");
  const std::string dashes(42, '-'), dots(42, '.');
  EXPECT_TRUE(areatest::has(d.log(), "\n\nconsistency check: 4 lines at each point\n" + dashes +
                                         "\n   i1:     a    b   -     c    d\n" + dots +
                                         "\n   u1:     a    b    d   -     c"
                                         "\n   u2:     a    b    c   -     d"
                                         "\n   u3:     a    b        -     c"
                                         "\n   u4:     a    b        -     d\n\narea info"))
      << d.log();
  const ZQPLTX::pointtype& p = drawtest::point(1);
  for (long k = 1; k <= 4; ++k) EXPECT_EQ(p.plines[k], k);
}

}  // namespace
