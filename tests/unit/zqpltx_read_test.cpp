// The drawing data file: records, interpolation, the hand-over to the
// control section, and every stop of the reader.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "zqpltx_testsupport.h"

using drawtest::Drawing;
using drawtest::line;
using drawtest::point;
using drawtest::qk;

namespace {

std::string phases(const ZQPLTX::headerlist& p, smallint n) {
  std::string s;
  for (long i = 1; i <= n; ++i) s += p[i] + " ";
  return s;
}

TEST(DrawingReader, PointHeaders) {
  struct row {
    const char* record;
    const char* phases;
    const char* zero1;
    const char* zero2;
    bool crossover;
  };
  const row rows[] = {
      {"i3 ky sill - and invariant 2.5 650", "ky sill ", "and", "none", false},
      {"i3 ky sill 2.5 650", "", "", "", false},
      {"i3 ky sill point 2.5 650", "", "", "", false},
      {"i3 ky sill - invariant 2.5 650", "ky sill ", "none", "none", false},
      {"i3 ky - a b 2.5 650", "ky ", "a", "b", false},
      {"i3 ky - a crossover u1 u2", "ky ", "a", "none", true},
      {"i3 crossover u1 u2", "", "", "", true},
  };
  const std::string lines = "u1 begin end 0 600 10 600\nu2 begin end 2.5 400 2.5 800\n";
  for (const row& r : rows) {
    Drawing d;
    ASSERT_EQ(d.read(qk(std::string(r.record) + "\n" + lines)), "") << r.record;
    const ZQPLTX::pointtype& p = point(1);
    EXPECT_EQ(phases(p.phases, p.nphases), r.phases) << r.record;
    EXPECT_EQ(p.zero1, r.zero1) << r.record;
    EXPECT_EQ(p.zero2, r.zero2) << r.record;
    EXPECT_EQ(p.crossover, r.crossover) << r.record;
    if (!r.crossover) {
      EXPECT_EQ(p.x, 2.5L);
      EXPECT_EQ(p.y, 650.0L);
    } else {
      EXPECT_EQ(p.crossname1, "u1");
      EXPECT_EQ(p.crossname2, "u2");
    }
  }
}

TEST(DrawingReader, LineRecords) {
  Drawing d;
  const std::string file = qk(
      "i2 1 500\ni5 8 700\n"
      "u7 ilm ru - sph i2 i5 1 500 8 700\n"
      "u2 i2 end connect\n"
      "# u3 a - b i2 end 1 1 2 2\n"
      "u4 a b univariant begin i5 rgb 12.5 13.5 255 blue thick dashed 1 2\n3 4\n"
      "u5 a b line i2 i5 magenta 1 2 3 4\n");
  ASSERT_EQ(d.read(file), "");
  ASSERT_EQ(ZQPLTX::NLINE, 4);  // the marked line is dropped
  EXPECT_EQ(phases(line(1).phases, line(1).nphases), "ilm ru ");
  EXPECT_EQ(line(1).zero, "sph");
  EXPECT_EQ(line(1).beginname + " " + line(1).endname, "i2 i5");
  EXPECT_EQ(line(1).npts, 2);
  EXPECT_TRUE(line(2).connect);
  EXPECT_EQ(line(2).npts, 0);
  EXPECT_EQ(line(3).name, "u4");
  EXPECT_EQ(line(3).nphases, 2);
  EXPECT_TRUE(line(3).thick && line(3).dashed && line(3).rgbset);
  // The colour word overrides the rgb values.
  EXPECT_EQ(line(3).rgb[1] * 1000000 + line(3).rgb[2] * 1000 + line(3).rgb[3], 255);
  EXPECT_EQ(line(3).npts, 2);
  EXPECT_EQ(line(3).y[2], 4.0L);
  EXPECT_EQ(line(4).nphases, 0);
  EXPECT_EQ(line(4).rgb[1] * 1000000 + line(4).rgb[2] * 1000 + line(4).rgb[3], 255000255);

  Drawing e;
  ASSERT_EQ(e.read(qk("u1 begin end rgb 12.5 13.5 -0.5 0 0 1 1\n")), "");
  EXPECT_EQ(line(1).rgb[1], 12);  // halves go to the even neighbour
  EXPECT_EQ(line(1).rgb[2], 14);
  EXPECT_EQ(line(1).rgb[3], 0);
}

TEST(DrawingReader, MarkedPointIsKept) {
  Drawing d;
  ASSERT_EQ(d.read(qk("# i1 1 500\ni2 2 600\n")), "");
  EXPECT_EQ(ZQPLTX::NPOINT, 2);
  EXPECT_EQ(point(1).name, "i1");
}

TEST(DrawingReader, Interpolation) {
  // Rows of three values: x, y and the interpolation value.
  struct row {
    const char* header;
    const char* record;
    bool found;
    extended x, y;
  };
  const row rows[] = {
      // slope 0: the point where the value is met, first segment first
      {"3 4 1 2 x 3 5", "i1 0 0 4 10 20 6", true, 5, 10},
      {"3 4 1 2 x 3 5", "i1 0 0 6 10 20 4", true, 5, 10},
      // a value past the first segment is found on the segment that brackets it
      {"3 4 1 2 x 3 5", "i1 0 0 2 10 20 4 20 20 6", true, 15, 20},
      // a value equal to the last of increasing rows is not found, one row equal to it is
      {"3 4 1 2 x 3 6", "i1 0 0 4 10 20 6", false, 0, 0},
      {"3 4 1 2 x 3 6", "i1 10 20 6", true, 10, 20},
      // slope: the value i = 1 + 0.5 y, on a segment of changing y
      {"3 4 1 2 x 3 1 0.5", "i1 0 0 0 10 10 10", true, 2, 2},
      // equal values along the segment: y* = (i - v) / s
      {"3 4 1 2 x 3 1 0.5", "i1 0 0 3 10 10 3", true, 4, 4},
      // equal y: the value sought is 1 + 0.5 * 2 = 2
      {"3 4 1 2 x 3 1 0.5", "i1 0 2 0 10 2 4", true, 5, 2},
      // equal y and equal values hold no single point
      {"3 4 1 2 x 3 1 0.5", "i1 0 2 2 10 2 2", false, 0, 0},
      // one row cannot be interpolated against a slope
      {"3 4 1 2 x 3 1 0.5", "i1 0 2 2", false, 0, 0},
  };
  for (const row& r : rows) {
    Drawing d;
    const std::string file = std::string(r.header) + "\n" + r.record + "\n*\n*\nwindow 0 10 0 20\nbigticks 0 0 0 0\n";
    const std::string end = d.read(file);
    if (!r.found) {
      EXPECT_EQ(end, "read data: interpolation failed for i1") << r.record;
      continue;
    }
    ASSERT_EQ(end, "") << r.record;
    EXPECT_NEAR(static_cast<double>(point(1).x), static_cast<double>(r.x), 1e-15) << r.record;
    EXPECT_NEAR(static_cast<double>(point(1).y), static_cast<double>(r.y), 1e-15) << r.record;
  }
}

TEST(DrawingReader, SlopedLineRuns) {
  // Runs of equal x or equal y, each giving one point of i = 1 + 0.5 y; the
  // corner row 3 closes the first run and starts the second.
  Drawing d;
  const std::string file =
      "3 4 1 2 x 3 1 0.5\n"
      "u1 begin end\n 0 0 0\n 0 4 6\n 4 4 0\n 9 9 9\n 9 9 9\n"
      "*\n*\nwindow 0 10 0 20\nbigticks 0 0 0 0\n";
  ASSERT_EQ(d.read(file), "");
  ASSERT_EQ(line(1).npts, 2);
  EXPECT_NEAR(static_cast<double>(line(1).x[1]), 0.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(line(1).y[1]), 1.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(line(1).x[2]), 2.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(line(1).y[2]), 4.0, 1e-15);
}

// Every point below is the crossing of i = 1 + 0.5 y with the rows taken as
// straight segments, worked by hand. A run is every row of its x or y in a
// row, and gives its first crossing only: u1's first run of three rows
// crosses on both segments (y = 1 and y = 5.5), u2's run along y = 4 at
// x = 2 and x = 6. u3, shorter than u2, ends on a run along x = 8 without
// a crossing; the row u2 left after it in the shared rows is no row of u3.
TEST(DrawingReader, SlopedRunsAreWholeAndEndWithTheirLine) {
  Drawing d;
  const std::string file =
      "3 4 1 2 x 3 1 0.5\n"
      "u1 begin end\n 0 0 0\n 0 4 6\n 0 8 0\n 6 8 12\n 6 12 0\n"
      "u2 begin end\n 0 0 0\n 0 4 6\n 4 4 0\n 8 4 6\n 8 9 9\n"
      "u3 begin end\n 0 0 0\n 0 4 6\n 8 4 0\n 8 6 0\n"
      "*\n*\nwindow 0 10 0 20\nbigticks 0 0 0 0\n";
  ASSERT_EQ(d.read(file), "");
  const std::vector<std::vector<std::pair<double, double>>> want = {
      {{0, 1}, {2.5, 8}, {6, 10}}, {{0, 1}, {2, 4}}, {{0, 1}, {4, 4}}};
  for (long k = 1; k <= 3; ++k) {
    const auto& w = want[static_cast<std::size_t>(k - 1)];
    ASSERT_EQ(line(k).npts, static_cast<smallint>(w.size())) << "u" << k;
    for (long j = 1; j <= line(k).npts; ++j) {
      EXPECT_NEAR(static_cast<double>(line(k).x[j]), w[static_cast<std::size_t>(j - 1)].first, 1e-12) << k << " " << j;
      EXPECT_NEAR(static_cast<double>(line(k).y[j]), w[static_cast<std::size_t>(j - 1)].second, 1e-12) << k << " " << j;
    }
  }
}

TEST(DrawingReader, ControlSectionStartsAfterTheClosingStar) {
  Drawing d;
  // Words after the closing "*" are ignored; the window follows on the next line.
  ASSERT_EQ(d.read("2 4 1 2\ni1 1 500\n*\n0.5 u1 u2\n* numbering\nwindow 0 10 400 800\nbigticks 0 0 0 0\n"), "");
  EXPECT_EQ(ZQPLTX::NA, 1);
  EXPECT_EQ(ZQPLTX::AREA[1].nbound, 2);
  EXPECT_EQ(ZQPLTX::XHIGH, 10.0L);
  EXPECT_EQ(ZQPLTX::CONTROLQK.numbering, no);
  EXPECT_FALSE(IO::DATAOPEN);
}

TEST(DrawingReader, Stops) {
  struct row {
    std::string file;
    std::string end;
  };
  const std::string ctl = "*\n*\nwindow 0 10 400 800\nbigticks 0 0 0 0\n";
  std::string manyphases = "i1";
  for (int k = 1; k <= 21; ++k) manyphases += " p" + std::to_string(k);
  const row rows[] = {
      {"% nothing yet\n\n*\n", "readdata: not enough in file"},
      {"", "readdata: not enough in file"},
      {"2 4 1 2", "reading: unexpected end of input: point/line name"},
      {"21 4 1 2\n" + ctl, "readdata: too many variables in each line of input: max = 20"},
      {"2 4 3 2\n" + ctl, "readdata: xcol not in range: must be 1 <=> 2"},
      {"2 4 1 0\n" + ctl, "readdata: ycol not in range: must be 1 <=> 2"},
      {"2 4 1 2 x 3 5\n" + ctl, "readdata: icol not in range: must be 1 <=> 2"},
      {"3 4 1 2 x 0 5\n" + ctl, "readdata: icol not in range: must be 1 <=> 3"},
      {"3 4 1 2 x 2 5\n" + ctl, "readdata: icol same as xcol or ycol"},
      {"2 4.5 1 2\n" + ctl, "getinteger: expecting an integer (1); got: 4.5 - size of system"},
      {"2 4 1 2\ni<1> 1 2\n" + ctl, "read data: < in name: line/point name unassigned?"},
      {"2 4 1 2\np1 1 2\n" + ctl, "read data: point/line name must start with i/u but this name is p1"},
      {"2 4 1 2\n5 1 2\n" + ctl, "reading: expecting a name; got: 5 - point/line name"},
      {"2 4 1 2\nu1 begin end\n" + ctl, "reading: expecting a single (1); got: * - reading coordinates for u1"},
      {"2 4 1 2\nu12 begin end dashed thick 1 2 3 4\n" + ctl,
       "reading: expecting a single (1); got: thick - reading coordinates for u12"},
      {"2 4 1 2\nu1 a 5 - b begin end 1 2 3 4\n" + ctl,
       "reading: expecting a name; got: 5 - nonzero-mode phases for u1"},
      {"2 4 1 2\nu1 begin end rgb 1 2 40000 1 2 3 4\n" + ctl,
       "reading: expecting an integer (2); got: 40000 - reading coordinates for u1"},
      {"2 4 1 2\n" + manyphases + " - 1 2\n" + ctl,
       "readdata: too many phases in header in nonzero-mode phases for i1"},
      {"2 4 1 2\ni1 crossover u1 7\n" + ctl, "reading: expecting a name; got: 7 - reading crossover linesi1"},
      {"3 4 1 2 x 3 5\nu2 i4 end 1 1 1 2 2 2\n" + ctl,
       "readdata: default connect with begin/end: reading coordinates for u2"},
      {"2 4 1 2\nu2 begin end 1 1\n" + ctl, "readdata: one point with begin end: reading coordinates for u2"},
      {"2 4 1 2\ni1 1 2\ni2 1 2\ni1 3 4\ni2 1 1\n" + ctl, "readdata: remove the duplication for these points"},
      {"2 4 1 2\nu1 begin end 1 2 3 4\nu1 begin end 1 2 3 4\n" + ctl,
       "readdata: remove the duplication for this line"},
      {"2 4 1 2\n*\nx u1\n*\n", "reading: expecting a single (1); got: x - grayscale for area"},
      {"2 4 1 2\n*\n0.5 u1 u2 u3 u4 u5 u6 u7 u8 u9 u10 u11 u12 u13 u14 u15 u16\n*\n",
       "readdata: too many points in area: max = 15"},
      {"2 4 1 2\n*\n0.5\n", "reading: unexpected end of input: points for area"},
  };
  for (const row& r : rows) {
    Drawing d;
    EXPECT_EQ(d.read(r.file), r.end) << r.file;
  }
}

TEST(DrawingReader, TableLimits) {
  struct row {
    std::string record;  // repeated with its number
    int count;
    std::string end;
  };
  const row rows[] = {
      {"i# 1 2\n", 501, "read data: too many points: max = 500"},
      {"u# begin end 1 2 3 4\n", 801, "readdata: too many lines: max = 800"},
  };
  for (const row& r : rows) {
    std::string records;
    for (int k = 1; k <= r.count; ++k) {
      std::string rec = r.record;
      rec.replace(rec.find('#'), 1, std::to_string(k));
      records += rec;
    }
    Drawing d;
    EXPECT_EQ(d.read(qk(records)), r.end);
  }
  std::string rows202;
  for (int k = 1; k <= 202; ++k) rows202 += "\n1 2";
  Drawing d;
  EXPECT_EQ(d.read(qk("u1 begin end" + rows202 + "\n")), "readdata: too much data for line in reading coordinates for u1");
  Drawing p;
  std::string rows3;
  for (int k = 1; k <= 202; ++k) rows3 += "\n1 2 3";
  EXPECT_EQ(p.read("3 4 1 2 x 3 5\ni1" + rows3 + "\n*\n*\n"), "read data: too much data for line: max = 201");
  Drawing e;
  std::string areas;
  for (int k = 1; k <= 301; ++k) areas += "0.5 u1\n";
  EXPECT_EQ(e.read(qk("", "window 0 1 0 1\nbigticks 0 0 0 0\n", areas)), "readdata: too many areas: max = 300");
}

TEST(DrawingReader, DuplicationNamesTheRecords) {
  Drawing d;
  ASSERT_EQ(d.read(qk("i1 1 500\ni1 2 600\n")), "readdata: remove the duplication for this point");
  EXPECT_NE(d.term.text().find("duplication of: i1 "), std::string::npos);
}

// The dump of one record of each kind to terminal and log: the point and
// line headers as read, coordinates with 4 decimals in 10 places, and the
// areas' bounding lines under one "areas" line.
TEST(DrawingReader, DebugDump) {
  Drawing d;
  ASSERT_EQ(d.read(qk("i2 1 500\ni5 8 700\ni3 ky sill - and invariant 2.5 650\nu7 ilm ru - sph i2 i5 1 500 8 712.25\n")),
            "");
  const std::size_t before = d.term.text().size();
  ZQPLTX::AREA[1].nbound = 2;
  ZQPLTX::AREA[1].boundnames[1] = "u7";
  ZQPLTX::AREA[1].boundnames[2] = "u8";
  ZQPLTX::AREA[2].nbound = 1;
  ZQPLTX::AREA[2].boundnames[1] = "u9";
  for (const smallint kind : {1, 2, 3}) ZQPLTX::DEBUGPRINT(kind, kind == 1 ? 3 : 1);
  ZQPLTX::DEBUGPRINT(3, 2);
  ZQPLTX::DEBUGPRINT(4, 1);  // no such kind: nothing
  const std::string rule(23, '_');
  const std::string want = rule + "\ni3) ky sill (and none)\n    2.5000  650.0000\n" + rule +
                           "\nu7) ilm ru (sph)\n    1.0000  500.0000\n    8.0000  712.2500\n\nareas\n  u7 u8 \n  u9 \n";
  EXPECT_EQ(d.term.text().substr(before), want);
  const std::string log = d.log();
  EXPECT_NE(log.find(want), std::string::npos) << log;
}

}  // namespace
