// The line network: crossover points, end points joined to the lines,
// clipping at the window 0..10 x 400..800, and the log report.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <tuple>
#include <vector>

#include "zqpltx_testsupport.h"

using drawtest::Drawing;
using drawtest::expectnetwork;
using drawtest::line;
using drawtest::networkcase;
using drawtest::point;
using drawtest::points;
using drawtest::pts;
using drawtest::qk;

namespace {

TEST(DrawingNetwork, Crossovers) {
  struct row {
    const char* records;
    const char* end;
    double x, y;
  };
  const row rows[] = {
      // a line of two points and a vertical one, either way round
      {"i9 crossover u1 u2\nu1 begin end 0 500 10 700\nu2 begin end 4 400 4 800\n", "", 4, 580},
      {"i9 crossover u2 u1\nu1 begin end 0 500 10 700\nu2 begin end 4 400 4 800\n", "", 4, 580},
      // the first crossing pair in the order of the first line's segments
      {"i9 crossover u1 u2\nu1 begin end 0 500 5 500 5 700\nu2 begin end 0 450 10 750\n", "", 5.0 / 3.0, 500},
      {"i9 crossover u1 u2\nu1 begin end 0 500 10 700\nu2 begin end 0 550 10 750\n",
       "crossover: lines don't cross for i9", 0, 0},
      // the first crossing in the window: rows carried on past the frame
      // cross first out there, at 11 - 0.1 / 5.1; where none is in the
      // window, that one
      {"i9 crossover u1 u2\nu1 begin end 11 600 -1 600\nu2 begin end 11 599.9 10 605 0 595\n", "", 5, 600},
      {"i9 crossover u2 u1\nu1 begin end 11 600 -1 600\nu2 begin end 11 599.9 10 605 0 595\n", "", 5, 600},
      {"i9 crossover u1 u2\nu1 begin end 11 600 -1 600\nu2 begin end 11 599.9 10 605 9 602\n", "", 56 / 5.1, 600},
      // a vertical segment is crossed only within its own y range, ends
      // included: not at x = 2 below the first segment, but on the last
      {"i9 crossover u1 u2\nu1 begin end 2 506 2 508 7 508 7 498\nu2 begin end 0 500 10 503\n", "", 7, 502.1},
      {"i9 crossover u2 u1\nu1 begin end 2 506 2 508 7 508 7 498\nu2 begin end 0 500 10 503\n", "", 7, 502.1},
      {"i9 crossover u1 u2\nu1 begin end 2 500.5 2 508\nu2 begin end 0 500 8 502\n", "", 2, 500.5},
      {"i9 crossover u2 u1\nu1 begin end 2 500.5 2 508\nu2 begin end 0 500 8 502\n", "", 2, 500.5},
      {"i9 crossover u2 u1\nu1 begin end 2 508 2 500.5\nu2 begin end 0 500 8 502\n", "", 2, 500.5},
      {"i9 crossover u1 u2\nu1 begin end 2 501 2 508\nu2 begin end 0 500 8 502\n",
       "crossover: lines don't cross for i9", 0, 0},
      {"i9 crossover u1 u7\nu1 begin end 0 500 10 700\n", "crossover: u7 not found", 0, 0},
      // slopes the same once rounded: u2 starts on u1 but for the rounding
      // of 1.95 and ends 2^-60 below it at 20; in exact fractions of the
      // rows as read they cross at x = 80/21, y = 52/21 (where the rounded
      // cross products put them at x = 5, or nowhere)
      {"i9 crossover u1 u2\nu1 begin end 0 0 20 13\nu2 begin end 3 1.95 20 12.999999999999999999\n", "", 80.0 / 21,
       52.0 / 21},
      // a line of fewer than two points as read has nothing to cross
      {"i1 1 500\ni2 2 600\ni9 crossover u1 u2\nu1 begin end 0 500 10 700\nu2 i1 i2 connect\n",
       "crossover: lines don't cross for i9", 0, 0},
  };
  for (const row& r : rows) {
    Drawing d;
    ASSERT_EQ(d.network(qk(r.records)), r.end) << r.records;
    if (*r.end != 0) continue;
    const ZQPLTX::pointtype& p = point(1);
    EXPECT_NEAR(static_cast<double>(p.x), r.x, 1e-12) << r.records;
    EXPECT_NEAR(static_cast<double>(p.y), r.y, 1e-12) << r.records;
    EXPECT_EQ(line(p.crossline1).name, p.crossname1);
    EXPECT_EQ(line(p.crossline2).name, p.crossname2);
  }
  // A crossing with a level segment is at that segment's level exactly, as
  // its rows were read, where the slopes would put it a hair off; so is one
  // on a vertical segment at its x.
  for (const char* level : {"2.001", "600.1", "0.3"}) {
    const std::string y = level;
    Drawing d;
    ASSERT_EQ(d.network(qk("i9 crossover u1 u2\nu1 begin end 0.00002269 " + y + "0 0.00002326 " + y +
                           "1 0.1 " + y + "7\nu2 begin end 0.00003040 " + y + "1 0.00000960 " + y + "1\n"
                           "i8 crossover u3 u1\nu3 begin end 0.00002300 " + y + " 0.00002300 " + y + "9\n",
                           "window 0 0.0001 0 1000\nbigticks 0 0 0 0\n")),
              "");
    EXPECT_EQ(point(1).y, line(2).y[1]) << level;
    EXPECT_EQ(point(2).x, 0.000023L) << level;
  }
  // A crossover is as coarse as the rows of the two segments that place it:
  // u1's x written whole at (10, 700.00), u2's y at (4.000, 800), not the
  // finer rows beyond them.
  Drawing d;
  ASSERT_EQ(d.read(qk("i9 crossover u1 u2\nu1 begin end 0.00 500.00 10 700.00 20.00 900.00\n"
                      "u2 begin end 4.000 400.000 4.000 800 4.000 900.000\n")),
            "");
  ASSERT_EQ(testsupport::fatal([] { ZQPLTX::DOCROSSOVER(); }), "");
  EXPECT_EQ(point(1).round.wayx, 1.0F);
  EXPECT_EQ(point(1).round.wayy, 1.0F);
}

TEST(DrawingNetwork, Monotony) {
  struct row {
    const char* rows;
    bool monox;
  };
  const row rows[] = {
      // whole numbers are rounded like any others: rows that run further
      // along y (0.25 or 0.5 of the window) than along x (0.1 or 0.2) are
      // cut along y
      {"1 500 2 500 2 600 3 600", false}, {"1 500 2 500 1 600", false}, {"3 500 3 600 3 700", false},
      {"1 500 1 600 2 700", false},       {"3 500 2 600 1 700", false}, {"3 500 1 600", true},
      {"1 500 2 501 3 502", true},        {"3 500 2 501 2 502 1 503", true}, {"1 500 3 500 2 500", false},
      // ratios are exact, and cut the same way as the decimals they equal
      {"1/1 500 2/1 500 2/1 600 3/1 600", false}, {"3/1 500 2/1 600 1/1 700", false}, {"3/1 500 1/1 600", true},
  };
  for (const row& r : rows) {
    Drawing d;
    ASSERT_EQ(d.network(qk(std::string("u1 begin end ") + r.rows + "\n")), "") << r.rows;
    EXPECT_EQ(line(1).monox, r.monox) << r.rows;
  }
}

TEST(DrawingNetwork, EndPoints) {
  std::string ten;
  for (int k = 1; k <= 10; ++k) ten += " " + std::to_string(k * 0.5) + " " + std::to_string(400 + 10 * k);
  struct row {
    std::string records;
    std::string end;
    pts first2;  // the first two points
    pts last;    // the last point
    int npts;
  };
  const row rows[] = {
      // P between data points 3 and 4, then "end": P and data points 4..10
      {"i1 1.75 435\nu1 i1 end" + ten, "", {{1.75, 435}, {2, 440}}, {{5, 500}}, 8},
      // the same named the other way round
      {"i1 1.75 435\nu1 end i1" + ten, "", {{1.75, 435}, {2, 440}}, {{5, 500}}, 8},
      // "begin" and P beyond the last data point: all data points, then P
      {"i1 6 520\nu1 begin i1" + ten, "", {{0.5, 410}, {1, 420}}, {{6, 520}}, 11},
      {"i1 0.2 405\nu1 begin i1" + ten, "add points: \"begin\" should be \"end\" for u1?", {}, {}, 0},
      {"i1 6 520\nu1 i1 end" + ten, "add points: \"end\" should be \"begin\" for u1?", {}, {}, 0},
      // both points in one gap: the straight segment between them
      {"i1 1.6 431\ni2 1.9 439\nu1 i1 i2" + ten, "", {{1.6, 431}, {1.9, 439}}, {{1.9, 439}}, 2},
      // named against the data's direction: the ends are exchanged
      {"i1 4.25 485\ni2 1.25 425\nu1 i1 i2" + ten, "", {{1.25, 425}, {1.5, 430}}, {{4.25, 485}}, 8},
      // x all equal: placed by y
      {"i1 3 650\nu1 i1 end 3 500 3 600 3 700 3 750\n", "", {{3, 650}, {3, 700}}, {{3, 750}}, 3},
      // two rows with x equal and P off them, either side: P before the
      // first row (or after the last), the data points after it (before)
      {"i1 3.50 450\nu1 i1 end 3.00 500 3.00 700\n", "", {{3.5, 450}, {3, 500}}, {{3, 700}}, 3},
      {"i1 2.50 450\nu1 i1 end 3.00 500 3.00 700\n", "", {{2.5, 450}, {3, 500}}, {{3, 700}}, 3},
      {"i1 3.50 750\nu1 begin i1 3.00 500 3.00 700\n", "", {{3, 500}, {3, 700}}, {{3.5, 750}}, 3},
      // x turning back, y back at its first value: cut along y, P below
      // both ends is after the last row, P above them before the first
      {"i1 2.00 450.0\nu1 begin i1 1.00 500.0 5.00 600.0 2.00 500.0\n", "", {{1, 500}, {5, 600}}, {{2, 450}}, 4},
      {"i1 1.00 650.0\nu1 i1 end 1.00 500.0 5.00 600.0 2.00 500.0\n", "", {{1, 650}, {1, 500}}, {{2, 500}}, 4},
      // beside them between their rows: P and the row beyond it
      {"i1 2.50 600\nu1 i1 end 3.00 500 3.00 700\n", "", {{2.5, 600}, {3, 700}}, {{3, 700}}, 2},
      // P a hundredth beyond the last row, within their rounding: P takes
      // that row's place
      {"i1 4.01 440.0\nu1 begin i1 1.00 410.0 2.00 420.0 3.00 430.0 4.00 440.0\n", "", {{1, 410}, {2, 420}},
       {{4.01, 440}}, 4},
      // and a hundredth before the first row: P takes that row's place
      {"i1 0.99 410.0\nu1 i1 end 1.00 410.0 2.00 420.0 3.00 430.0 4.00 440.0\n", "", {{0.99, 410}, {2, 420}},
       {{4, 440}}, 4},
      // a line of two rows running along y, cut along x: P at the far row
      // (0.011 off in x, within 1.25 (0.01 + 0.001)) lies on the near
      // row's side of both in x, and is still placed at the far row
      {"i1 2.99 700.0\nu1 begin i1 3.000 400.0 3.001 700.0\n", "", {{3, 400}, {2.99, 700}}, {{2.99, 700}}, 2},
      // P within its rounding of the row at the open end is not at it: the
      // rows run away from P, named the wrong way round
      {"i1 4.01 440.0\nu1 i1 end 1.00 410.0 2.00 420.0 3.00 430.0 4.00 440.0\n",
       "add points: \"end\" should be \"begin\" for u1?", {}, {}, 0},
      // both points within their rounding of the first of two rows: the
      // line runs from the one to the other, its rows dropped
      {"i1 0.99 410.0\ni2 0.98 410.0\nu1 i1 i2 1.00 410.0 3.00 430.0\n", "", {{0.99, 410}, {0.98, 410}},
       {{0.98, 410}}, 2},
      // whole rows along y: i2 within its rounding of both end rows (1.241
      // below 501, within 1.25 (1 + 0.001)) is at the last, since joined to
      // the first it would leave i1 off the rows; rows within their
      // rounding of the points then go
      {"i1 3.00 500.676\ni2 3.00 499.759\nu1 i1 i2 3.00 501 3.00 500 3.00 500 3.00 500\n", "",
       {{3, 500.676}, {3, 499.759}}, {{3, 499.759}}, 2},
      {"u1 i7 end" + ten, "which point: not recognised: i7", {}, {}, 0},
      {"i4 1 500\nu2 i4 end connect\n", "lines: connect not using a point", {}, {}, 0},
      {"i1 1 500\ni2 3 700\nu2 i1 i2 connect\n", "", {{1, 500}, {3, 700}}, {{3, 700}}, 2},
  };
  for (const row& r : rows) {
    Drawing d;
    ASSERT_EQ(d.network(qk(r.records + "\n")), r.end) << r.records;
    if (!r.end.empty()) continue;
    const pts p = points(line(1));
    ASSERT_EQ(static_cast<int>(p.size()), r.npts) << r.records;
    for (std::size_t k = 0; k < r.first2.size(); ++k) {
      EXPECT_NEAR(p[k].first, r.first2[k].first, 1e-12) << r.records;
      EXPECT_NEAR(p[k].second, r.first2[k].second, 1e-12) << r.records;
    }
    EXPECT_NEAR(p.back().first, r.last[0].first, 1e-12) << r.records;
    EXPECT_NEAR(p.back().second, r.last[0].second, 1e-12) << r.records;
  }
  // Cut on trial, the lines refused above give up instead of ending the
  // run, and keep their rows.
  for (const std::string records : {"i1 0.2 405\nu1 begin i1", "i1 6 520\nu1 i1 end"}) {
    Drawing d;
    ASSERT_EQ(d.read(qk(records + ten + "\n")), "");
    bool cut = true;
    EXPECT_EQ(testsupport::fatal([&] {
                ZQPLTX::linetype& l = (*ZQPLTX::LINE)[1];
                ZQPLTX::MONOTONIC(1);
                l.beginlink = ZQPLTX::WHICHI(l.beginname);
                l.endlink = ZQPLTX::WHICHI(l.endname);
                cut = ZQPLTX::ADDPOINTS(1, true);
              }),
              "");
    EXPECT_FALSE(cut) << records;
    EXPECT_EQ(line(1).npts, 10) << records;
  }
  // The exchanged ends keep their names with them.
  Drawing d;
  ASSERT_EQ(d.network(qk("i1 4.25 485\ni2 1.25 425\nu1 i1 i2" + ten + "\n")), "");
  EXPECT_EQ(line(1).beginname + " " + line(1).endname, "i2 i1");
  EXPECT_EQ(line(1).beginlink * 10 + line(1).endlink, 21);
}

TEST(DrawingNetwork, Clipping) {
  struct row {
    const char* records;
    const char* end;
    pts points;
    smallint beginlink, endlink;
  };
  const row rows[] = {
      {"u1 begin end 5 600 5 300", "", {{5, 600}, {5, 400}}, 0, -1},
      // out through the bottom, back through the left: the corner between
      {"u1 begin end 5 600 5 300 -5 300 -5 600 2 600", "", {{5, 600}, {5, 400}, {0, 400}, {0, 600}, {2, 600}}, 0, 0},
      // out through the bottom, back through the right: the corner (10, 400)
      {"u1 begin end 5 600 5 300 15 300 15 600 8 600", "", {{5, 600}, {5, 400}, {10, 400}, {10, 600}, {8, 600}}, 0, 0},
      // out through the bottom, back through the top
      {"u1 begin end 5 600 5 300 20 300 20 900 5 900 5 700", "lines: wierd line shape in u1", {}, 0, 0},
      // across from left to right in one segment
      {"u1 begin end -5 600 15 600", "", {{0, 600}, {10, 600}}, -2, -4},
      // the same from a row so far that both fractions round to 1
      {"u1 begin end -1e25 600 11 600", "", {{0, 600}, {10, 600}}, -2, -4},
      // a slanted segment from a row near the top of the number range: the
      // crossing is a number, (6, 800) to within 1e-4920
      {"u1 begin end -1000 5e4930 6 600", "", {{6, 800}, {6, 600}}, -3, 0},
      // in from the left, out through the top
      {"u1 begin end -5 600 5 600 5 900", "", {{0, 600}, {5, 600}, {5, 800}}, -2, -3},
      {"u1 begin end -5 300 -5 900", "", {}, 0, 0},
      // through two corners: a corner is one crossing, named by the first
      // of its edges in the order bottom, left, top, right
      {"u1 begin end -1 360 11 840", "", {{0, 400}, {10, 800}}, -1, -3},
      // free ends on an edge within the tolerance, or just outside it: one
      // attached to the edge lies on it
      {"u1 begin end 5 600 5 799.99999995", "", {{5, 600}, {5, 800}}, 0, -3},
      {"u1 begin end 5 600 5 799.9999998", "", {{5, 600}, {5, 799.9999998}}, 0, 0},
      {"u1 begin end 0 600 5 600", "", {{0, 600}, {5, 600}}, -2, 0},
      // a point at an end stays the link; a row at its x but farther
      // along y is a row of the line
      {"i1 5 600\nu1 i1 end 5 500 5 300", "", {{5, 600}, {5, 500}, {5, 400}}, 1, -1},
      // so is one before the way on turns, after a begin point or before
      // an end point, where lines are joined at their points
      {"i1 5 600\nu1 i1 end 5 500 9 700", "", {{5, 600}, {5, 500}, {9, 700}}, 1, 0},
      {"i1 5 600\nu1 begin i1 9 500 5 700", "", {{9, 500}, {5, 700}, {5, 600}}, 0, 1},
      // a repeated row is kept as written, but not while the line waits on
      // an edge to tell whether it goes out there
      {"u1 begin end 5 600 5 600 5 700", "", {{5, 600}, {5, 600}, {5, 700}}, 0, 0},
      {"u1 begin end 5 600 5 400 5 400 5 600", "", {{5, 600}, {5, 400}, {5, 600}}, 0, 0},
      // out and in through the bottom twice: more cuts than a line can have
      {"u1 begin end 2 600 2 300 4 300 4 600 6 600 6 300 8 300 8 600", "lines: bad cuts of window edge", {}, 0, 0},
  };
  for (const row& r : rows) {
    Drawing d;
    ASSERT_EQ(d.network(qk(std::string(r.records) + "\n")), r.end) << r.records;
    if (*r.end != 0) continue;
    const ZQPLTX::linetype& l = line(ZQPLTX::NLINE);
    const pts p = points(l);
    ASSERT_EQ(p.size(), r.points.size()) << r.records;
    for (std::size_t k = 0; k < p.size(); ++k) {
      EXPECT_NEAR(p[k].first, r.points[k].first, 1e-9) << r.records << " point " << k + 1;
      EXPECT_NEAR(p[k].second, r.points[k].second, 1e-9) << r.records << " point " << k + 1;
    }
    EXPECT_EQ(l.beginlink, r.beginlink) << r.records;
    EXPECT_EQ(l.endlink, r.endlink) << r.records;
  }
  // Open ends of whole-number rows 1.25 units inside the left and the right
  // edge, the full reach of their rounding, lie on them.
  Drawing d;
  ASSERT_EQ(d.network(qk("u1 begin end 0 300 50 300\nu2 begin end 50 500 100 500\n",
                         "window -1.25 101.25 0 800\nbigticks 0 0 0 0\n")),
            "");
  EXPECT_EQ(line(1).beginlink * 10 + line(2).endlink, -24);
  EXPECT_EQ(line(1).x[1], -1.25L);
  EXPECT_EQ(line(2).x[2], 101.25L);
  // An open end exactly the tolerance above a bottom edge at 0 (the row
  // reads as 1e-7 itself) is not within it, and stays where it is.
  Drawing e;
  ASSERT_EQ(e.network(qk("u1 begin end 5.000000000 600.0000000 5.000000000 0.0000001000000\n", "window 0 10 0 800\nbigticks 0 0 0 0\n")), "");
  EXPECT_EQ(line(1).endlink, 0);
  EXPECT_EQ(line(1).y[2], 1e-7L);
  // A window a few written units high reads the rounding finer than the
  // digits: the line passes its end point i1 as written at its second row
  // (a unit of x and of y off), and its third row, at i1's y but 132 units
  // of x on, lies past the point.
  Drawing g;
  ASSERT_EQ(g.network(qk("i1 0.00001982 2.001\nu1 begin i1 0.00002118 2.000 0.00001984 2.000 0.00001850 2.001\n",
                         "window 1e-05 3e-05 1.999 2.001\nbigticks 0 0 0 0\n")),
            "");
  const pts hook = points(line(1));
  ASSERT_EQ(hook.size(), 3U);
  EXPECT_NEAR(hook[1].first, 1.984e-5, 1e-12);
  EXPECT_NEAR(hook[2].first, 1.982e-5, 1e-12);
  // A steep segment 0.002 long across the right or the top edge, beside
  // rows of 1e9: the crossing halves it, (11, 1000000000.5) and
  // (1000000000.5, 11). Through the segment's intercept it was 6e-8 off,
  // in a narrower window past a neighbouring line's end.
  for (const bool across : {false, true}) {
    Drawing f;
    const std::string rows = across ? "1000000000 10.9990 1000000001 11.0010" : "10.9990 1000000000 11.0010 1000000001";
    ASSERT_EQ(f.network(qk("u1 begin end " + rows + "\n", across ? "window 999999999 1000000002 9 11\nbigticks 0 0 0 0\n"
                                                                  : "window 9 11 999999999 1000000002\nbigticks 0 0 0 0\n")),
              "");
    const extended wx = across ? 1000000000.5L : 11, wy = across ? 11 : 1000000000.5L;
    EXPECT_NEAR(static_cast<double>(line(1).x[2] - wx), 0, 1e-9) << rows;
    EXPECT_NEAR(static_cast<double>(line(1).y[2] - wy), 0, 1e-9) << rows;
  }
}

// The points of the first line drawn, as the picture has them.
std::vector<std::string> drawnpoints(const std::string& svg) {
  std::vector<std::string> out;
  const std::size_t lines = svg.find("<!-- lines -->");
  const std::size_t from = svg.find("points=\"", lines);
  if (lines == std::string::npos || from == std::string::npos) return out;
  std::istringstream in(svg.substr(from + 8, svg.find('"', from + 8) - from - 8));
  for (std::string x, y; in >> x >> y;) out.push_back(x + " " + y);
  return out;
}

// Clipped at the window 0..10 x 0..10, whose x and y map to 60 + 46x and
// 504 - 46y in the picture: each line keeps exactly its parts inside, in
// its own order, joined along the edges where it went out.
TEST(DrawingNetwork, ClippedLinesInThePicture) {
  struct row {
    const char* rows;
    std::vector<std::string> drawn;
    const char* ends;  // the log's start and end, "" for a line not drawn
  };
  const row rows[] = {
      // through the window and back in: crossings in order along each segment
      {"12 5 -2 5 5 12", {"520.00 274.00", "60.00 274.00", "60.00 182.00", "198.00 44.00"},
       "start = right edge; end = top edge"},
      // from a point on the edge out and back in: the line starts where it
      // comes in; never back, nothing of it is drawn
      {"0 5 -3 5 -3 8 5 8", {"60.00 136.00", "290.00 136.00"}, "start = left edge; end = line end"},
      {"0 5 0 5 -3 5 -3 8 5 8", {"60.00 136.00", "290.00 136.00"}, "start = left edge; end = line end"},
      {"0 5 -3 5", {}, ""},
      // through the window after leaving by an adjacent edge: the corner
      // between them, no chord
      {"5 5 -2 5 -2 -2 3 -2 12 7", {"290.00 274.00", "60.00 274.00", "60.00 504.00", "290.00 504.00", "520.00 274.00"},
       "start = line end; end = right edge"},
      // touching an edge from inside or outside crosses nothing
      {"5 5 0 5 5 8", {"290.00 274.00", "60.00 274.00", "290.00 136.00"}, "start = line end; end = line end"},
      {"-3 5 0 5 -3 8 5 8", {"60.00 136.00", "290.00 136.00"}, "start = left edge; end = line end"},
      // a corner is one crossing, in, out, or only grazed
      {"-1 -1 11 11", {"60.00 504.00", "520.00 44.00"}, "start = bottom edge; end = top edge"},
      {"5 5 12 12", {"290.00 274.00", "520.00 44.00"}, "start = line end; end = top edge"},
      {"-1 9 1 11", {}, ""},
      // back in through the edge it left by: the end is the line's own again
      {"5 5 5 -2 7 -2 7 5", {"290.00 274.00", "290.00 504.00", "382.00 504.00", "382.00 274.00"},
       "start = line end; end = line end"},
      {"5 5 5 -2 7 -2 7 10", {"290.00 274.00", "290.00 504.00", "382.00 504.00", "382.00 44.00"},
       "start = line end; end = top edge"},
      // a far row puts the crossing within the last digit of the segment's
      // end: the piece inside is still drawn, as for a nearer row
      {"5 5 1e25 6", {"290.00 274.00", "520.00 274.00"}, "start = line end; end = right edge"},
      {"5 5 5 3e20", {"290.00 274.00", "290.00 44.00"}, "start = line end; end = top edge"},
      {"-1e25 5 5 5", {"60.00 274.00", "290.00 274.00"}, "start = left edge; end = line end"},
      {"5 -3e20 5 5", {"290.00 504.00", "290.00 274.00"}, "start = bottom edge; end = line end"},
  };
  for (const row& r : rows) {
    Drawing d;
    const std::string end = d.plot(qk(std::string("u1 begin end ") + r.rows + "\n", "window 0 10 0 10\nbigticks 0 0 0 0\n"));
    EXPECT_EQ(end, "") << r.rows;
    if (!end.empty()) continue;
    EXPECT_EQ(drawnpoints(d.svg()), r.drawn) << r.rows;
    const std::string log = d.log();
    if (*r.ends == 0) {
      EXPECT_EQ(log.find("u1)"), std::string::npos) << r.rows << "\n" << log;
    } else {
      EXPECT_NE(log.find(std::string("u1) ()    ") + r.ends + "\n"), std::string::npos) << r.rows << "\n" << log;
    }
  }
}

// Two named points beyond both ends of a full line, and every segment
// cutting the window: the line outgrows its data rows without harm.
TEST(DrawingNetwork, FullLineGrowsPastItsRows) {
  std::string rows;
  for (int k = 1; k <= 201; ++k) rows += "\n" + std::to_string(2 + 0.02 * k) + " 600";
  Drawing d;
  ASSERT_EQ(d.network(qk("i1 1 600\ni2 9 600\nu1 i1 i2" + rows + "\n")), "");
  EXPECT_EQ(line(1).npts, 203);
  EXPECT_EQ(line(1).x[203], 9.0L);

  std::string zigzag;
  for (int k = 1; k <= 201; ++k) zigzag += "\n" + std::to_string(-5 + 0.05 * k) + (k % 2 == 0 ? " 300" : " 900");
  Drawing e;
  ASSERT_EQ(e.network(qk("u1 begin end" + zigzag + "\n")), "");
  // each segment across the window leaves its two crossings
  EXPECT_EQ(line(1).npts, 202);
}

TEST(DrawingNetwork, LogReport) {
  Drawing d;
  ASSERT_EQ(d.network(qk("i1 5 600\nu3 a b - c i1 end 5 500 5 450 5 420 5 300\nu4 begin end -5 300 -5 900\n")), "");
  const std::string log = d.log();
  const std::string report = std::string(33, '_') +
                             "\n"
                             "u3) a b (c)    start = i1; end = bottom edge\n"
                             "    5.0000  600.0000\n"
                             "    5.0000  500.0000 ...\n"
                             "    5.0000  420.0000\n"
                             "    5.0000  400.0000\n";
  EXPECT_NE(log.find(report), std::string::npos) << log;
  EXPECT_EQ(log.find("u4)"), std::string::npos);
}

// Integer records in a 1e6-7e6 window: a line 2-3 units inside the left
// edge, its x rounded to 1000002 or 1000003 as it runs up, between two
// points 0.5 and 0.3 units off its rows. Its x steps lie within the
// rounding, so it is cut at its points along y: the point below, the one
// row between the two (179200), the point above; read along x, the row at
// 137600 below the first point would be taken and step back from it.
TEST(DrawingNetwork, IntegerRecordsAreRoundedInAHugeWindow) {
  Drawing d;
  ASSERT_EQ(d.network(qk("i1 1000003 210462\ni3 1000002 155353\nu9 i3 i1\n  1000002 96000\n  1000002 137600\n"
                         "  1000003 179200\n  1000003 220800\n  1000003 262400\n",
                         "window 1000000 7000000 100000 300000\nbigticks 0 0 0 0\n")),
            "");
  EXPECT_FALSE(line(1).monox);
  ASSERT_EQ(line(1).npts, 3);
  EXPECT_EQ(line(1).y[1], 155353);
  EXPECT_EQ(line(1).y[2], 179200);
  EXPECT_EQ(line(1).y[3], 210462);
}

// A chord of rows to 2 decimals, (0, 599.98) - (10, 600.01), passes 0.005
// below point i1 (5, 600) where it crosses i1's line from (0, 400): it is
// routed through i1 only within the reach of the two roundings there,
// 2.5 units of 0.01 of each each way (x 4.975 to 5.025, where the chord's y
// is 599.98 + 0.003 x), and keeps its rows everywhere else.
TEST(DrawingNetwork, ALinePassingAPointWithinItsRoundingMeetsItThereAlone) {
  expectnetwork({"i1 5.00 600.00\nu1 begin i1\n  0.00 400.00\n  5.00 600.00\n"
                 "u2 begin end\n  0.00 599.98\n  10.00 600.01\n",
                 {},
                 {{2, {{0, 599.98}, {4.975, 599.994925}, {5, 600}, {5.025, 599.995075}, {10, 600.01}}}},
                 {},
                 1e-9});
}

// A point written 0.01 beyond the right edge, within its rounding of it, is
// on the edge; its line's last row, at the point as written, is still the
// point's place along the line: the line runs from the point (out of the
// window, as written) and is not taken for one named the wrong way round.
// Points as near an edge's line but beyond the frame's span along it, out
// of the window, stay where they were written.
TEST(DrawingNetwork, APointPutOnTheFrameKeepsItsPlaceAlongItsLine) {
  Drawing d;
  ASSERT_EQ(d.network(qk("i1 10.01 600.00\nu1 i1 end\n  11.00 650.00\n  10.01 600.00\n"
                         "u2 begin i1\n  5.00 500.00\n  10.01 600.00\ni2 12.00 400.01\ni3 0.01 380.00\n")),
            "");
  EXPECT_EQ(point(1).x, 10);
  EXPECT_EQ(line(2).x[line(2).npts], 10);
  EXPECT_EQ(point(2).y, 400.01L);
  EXPECT_EQ(point(3).x, 0.01L);
  // written inside the window, it stays there, and so do the ends of the
  // lines at it, however they came to it
  ASSERT_EQ(d.network(qk("i1 9.99 600.00\nu1 i1 end\n  9.99 600.00\n  5.00 500.00\n"
                         "u2 begin i1\n  9.50 700.00\n  9.99 600.00\nu3 i1 i2 connect\ni2 5.00 700.00\n")),
            "");
  EXPECT_EQ(point(1).x, 9.99L);
  for (const long n : {1L, 2L, 3L}) {
    EXPECT_EQ(line(n).x[n == 2 ? line(n).npts : 1], 9.99L) << n;
  }
  // but not where a line leaves it for a row on that very edge, far or
  // within the point's rounding: put there, the line would run along the
  // frame and tell no side of it; the point, as written, keeps it off
  for (const std::string far : {"10.00 650.00", "10.00 600.01"}) {
    ASSERT_EQ(d.network(qk("i1 9.99 600.00\nu1 i1 end\n  9.99 600.00\n  " + far +
                           "\nu2 begin i1\n  5.00 500.00\n  9.99 600.00\n")),
              "");
    EXPECT_EQ(point(1).x, 9.99L) << far;
    EXPECT_EQ(line(1).x[1], 9.99L) << far;
    EXPECT_EQ(line(1).x[line(1).npts], 10) << far;
  }
  // two points near the edge inside the window both stay where they are
  ASSERT_EQ(d.network(qk("i1 9.99 600.00\ni2 9.99 700.00\nu1 i1 i2\n  9.99 600.00\n  9.99 700.00\n")), "");
  EXPECT_EQ(point(1).x, 9.99L);
  EXPECT_EQ(point(2).x, 9.99L);
}

// A point written 10.1, whose trailing zeros may have been dropped, is as
// exact as its line's rows, all out of the window and written to 3
// decimals: 0.1 beyond the edge, it is not put on it.
TEST(DrawingNetwork, APointIsAsExactAsItsLinesRowsOutsideTheWindow) {
  Drawing d;
  ASSERT_EQ(d.network(qk("i1 10.1 600\nu1 i1 end\n  10.100 600.000\n  12.000 700.000\n")), "");
  EXPECT_EQ(point(1).x, 10.1L);
}

// Rows whole in x (a unit of 1, taken as 0.2, a fiftieth of the window) and
// to 2 decimals in y run up x = 5 from i1 (5, 600) to i2 (5.1, 600.4), and
// line u2 from i2 meets them at (5, 600.15). Each row lies within its
// rounding of the way from i2 to the first row, 0.067 or less off it in x
// at its own y: the rows beyond that first one are dropped, and u1 meets u2
// at i2 alone.
TEST(DrawingNetwork, RowsWithinTheirRoundingOfTheWayToAPointAreDropped) {
  expectnetwork({"i1 5.00 600.00\ni2 5.10 600.40\nu1 i1 i2\n  5 600.10\n  5 600.20\n  5 600.30\n"
                 "u2 i2 end\n  5.10 600.40\n  0.00 587.65\n",
                 {},
                 {{1, {{5, 600}, {5, 600.1}, {5.1, 600.4}}}}});
  // u1 leaves i1 (5.00, 600.0) down to its row (5.00, 599.5), past i1 on
  // the way to i2 (4.00, 640.0) extended (x 5.0125 there, within 2.5 halves
  // of 0.01 + 0.01), and turns up; u2 from i3 (4.00, 590.0) to i1 crosses
  // that turn at x = 5 - 0.5 / 50.5, within their rounding of i1. The row
  // is dropped, the two meeting at i1 alone.
  networkcase past{"i1 5.00 600.0\ni2 4.00 640.0\ni3 4.00 590.0\nu1 i1 i2\n  6.00 562.0\n  5.00 599.5\n"
                   "  3.00 680.0\nu2 i3 i1\n  4.00 590.0\n  5.00 600.0\n",
                   {},
                   {{1, {{5, 600}, {4, 640}}}}};
  past.crosses = false;
  expectnetwork(past);
  // u1's two rows after i1 lie within i1's reach (0.025 in x, 0.25 in y)
  // but off its way on (600.25 and 600.5 there): both go, either way round
  expectnetwork({"i1 5.00 600.0\nu1 i1 end\n  5.00 600.0\n  5.01 600.1\n  5.02 600.2\n  7.00 650.0\n",
                 {},
                 {{1, {{5, 600}, {7, 650}}}}});
  expectnetwork({"i1 5.00 600.0\nu1 begin i1\n  7.00 650.0\n  5.02 600.2\n  5.01 600.1\n  5.00 600.0\n",
                 {},
                 {{1, {{7, 650}, {5, 600}}}}});
}

// Lines u1 (i1 to i3) and u2 (i2 to i3) share i3; u1's rows are whole in y
// at 600 and touch u2 where u1 leaves i1, within i1's rounding (its x to
// one decimal). The rows lie within their rounding of u1's own way from i1
// to i3, so u1 is that way; u2, which does not name i1, is not taken
// through it. Both are straight between their points.
TEST(DrawingNetwork, LinesMeetAtTheirOwnPointsBeforeOneIsTakenThroughAnother) {
  expectnetwork({"i1 6.4 599.588\ni2 5.44 600\ni3 6.877 600\nu1 i1 i3\n  6.59 600\n  6.73 600\n  6.88 600\n"
                 "u2 i2 i3\n  5.4 600\n  6.9 600\n",
                 {},
                 {{1, {{6.4, 599.588}, {6.877, 600}}}, {2, {{5.44, 600}, {6.877, 600}}}}});
}

// u2 runs from i3 (1, 600.07) to i4 (9, 599.91), 0.02 down per unit: it
// passes 0.01 below i1 (5, 600), within the 0.025 of their roundings, but
// crosses u1 (i2 (3, 600) to i1) at x = 4.5, half a unit from i1, and
// passes i2 0.03 above it, beyond that reach. Taken through i1, straight
// from i3 and on to i4 (moving it 0.01 at most), it meets u1 at i1 alone.
// Where a third line already runs from i3 to i1, u2 would run along it and
// close up the field between them: it keeps its rows.
// The crossing as written, (4.5, 600), is no evidence a refusal may name,
// whatever other point lies near it (a fifth, named by no line, at 4.4 or
// 4.3): u2 lies 0.01 below u1 at i1, within the 0.025 of their roundings
// in y, so the two cross there only within their rounding, and the
// joining, moving u2 no further, took them apart.
TEST(DrawingNetwork, ALineCrossingAnotherNearAPointItPassesIsTakenThroughIt) {
  // u2 written with a row past i1 on its way (600.07 - 0.02 a unit) is
  // taken through i1 just the same; so too with a row before i1, from
  // which it runs straight to i1 as from its named end; and written the
  // other way round, from i4 to i3
  for (int c = 0; c < 8; ++c) {
    const bool before = c & 1, mid = c & 2, back = c & 4;
    std::vector<std::string> rows{"  1.00 600.07\n"};
    if (before) rows.push_back("  2.00 600.05\n");
    if (mid) rows.push_back("  7.00 599.95\n");
    rows.push_back("  9.00 599.91\n");
    if (back) std::reverse(rows.begin(), rows.end());
    std::string lines = "i1 5.00 600.00\ni2 3.00 600.00\ni3 1.00 600.07\ni4 9.00 599.91\n"
                        "u1 i2 i1\n  3.00 600.00\n  5.00 600.00\n" +
                        std::string(back ? "u2 i4 i3\n" : "u2 i3 i4\n");
    for (const std::string& r : rows) lines += r;
    for (const bool third : {false, true})
      for (const std::string fifth : {"", "4.4", "4.3"}) {
        Drawing d;
        const std::string i5 = fifth.empty() ? "" : "i5 " + fifth + " 600\n";
        ASSERT_EQ(d.network(qk(i5 + lines + (third ? "u3 i3 i1\n  1.00 600.07\n  5.00 600.00\n" : ""))), "");
        pts u2{{1, 600.07}, {9, 599.91}};
        if (!third) u2.insert(u2.begin() + 1, {5, 600});
        // on from i1 it keeps its way but within 2.5 halves of 0.01 + 0.01 of
        // i1 in x: to x 5.025, 600.07 - 0.02 x 4.025 (the units are held
        // in single precision)
        if (mid && !third) u2.insert(u2.begin() + 2, {5.025, 599.9895});
        if (mid) u2.insert(u2.end() - 1, {7, 599.95});
        if (before) u2.insert(u2.begin() + 1, {2, 600.05});
        if (back) std::reverse(u2.begin(), u2.end());
        const pts got = points(line(2));
        ASSERT_EQ(got.size(), u2.size()) << third << c;
        for (std::size_t n = 0; n < got.size(); ++n) {
          EXPECT_NEAR(got[n].first, u2[n].first, 1e-8) << n << third << c;
          EXPECT_NEAR(got[n].second, u2[n].second, 1e-8) << n << third << c;
        }
        if (!third) {
          EXPECT_EQ(ZQPLTX::CROSSINGOFLINES(), "") << fifth << c;
        }
      }
  }
  // A thin triangle i1 (5.000, 599.99), i2 (5.100, 599.96), i3 (4.9, 600.00)
  // of u1 (i2-i3), u3 (i1-i3), u4 (i1-i2); u2 climbs from (4.950, 590.00)
  // to i1 at 199.8 a unit and crosses u1 (599.98 at x = 5, -0.2 a unit) at
  // x = 5 - 0.01 / 200, 0.01 below i1 and 0.1 right of i3: within 2.5
  // halves of 0.02 of i1 in y, and of i3's unit of 0.1 in x. Taken through
  // i3, u2 would run round the triangle beside u3; u1 taken through i1 runs
  // along u4 and u3 and closes it whole.
  expectnetwork({"i1 5.000 599.99\ni2 5.100 599.96\ni3 4.9 600.00\nu1 i2 i3\n  5.100 599.96\n  4.9 600.00\n"
                 "u2 begin i1\n  4.950 590.00\n  5.000 599.99\nu3 i1 i3\n  5.000 599.99\n  4.9 600.00\n"
                 "u4 i1 i2\n  5.000 599.99\n  5.100 599.96\n",
                 {},
                 {{1, {{5.1, 599.96}, {5, 599.99}, {4.9, 600}}}, {2, {{4.95, 590}, {5, 599.99}}}}});
  // u2 from i2 (-7.607, -0.17) to i4 (-75.24, -0.43), 0.26 / 67.633 a unit,
  // passes 0.0079 below i3 (-74.69, -0.42) and 0.0005 above i1 (-72.51,
  // -0.42), crossing u1 (level from i3 to i1) at -72.638, 0.128 short of i1
  // (beyond i1's reach of 2.5 halves of 0.01 + 0.01 in x). Taken through
  // i1 it would leave u1 between it and u3 (i3 to i2); through i3 it runs
  // along u3 and on along u4 (i4 to i3), closing the thin triangle of u2,
  // u3 and u4 whole, with u1 leaving i3 beside it. u5 (to i3) then crosses
  // u6 (from i4) at (-77.52502, -0.4309169), solved exactly from their rows:
  // the sliver there is closed along u6 and u4 as ever, though u2 runs
  // along u4 too.
  const std::string thin = "i1 -72.51 -0.42\ni2 -7.607 -0.17\ni3 -74.69 -0.42\ni4 -75.24 -0.43\n"
                           "u1 i3 i1\n  -74.69 -0.42\n  -72.51 -0.42\nu2 i2 i4\n  -7.607 -0.17\n  -75.24 -0.43\n"
                           "u3 i3 i2\n  -74.69 -0.42\n  -7.607 -0.17\nu4 i4 i3\n  -75.24 -0.43\n  -74.69 -0.42\n";
  const std::pair<double, double> cut{-77.52501660565055, -0.4309169408529898};
  const std::string across = "u5 begin i3\n  -150 -0.71\n  -74.69 -0.42\nu6 i4 end\n  -75.24 -0.43\n  -150 -0.46\n";
  for (const bool sliver : {false, true}) {
    networkcase c{thin + (sliver ? across : ""),
                  std::nullopt,
                  {{2, {{-7.607, -0.17}, {-74.69, -0.42}, {-75.24, -0.43}}}, {1, {{-74.69, -0.42}, {-72.51, -0.42}}}},
                  false,
                  1e-9,
                  "window -150 150 -0.75 0.25\nbigticks 0 0 0 0\n"};
    if (sliver) {
      c.lines.push_back({5, {{-150, -0.71}, cut, {-75.24, -0.43}, {-74.69, -0.42}}});
      c.lines.push_back({6, {{-75.24, -0.43}, cut, {-150, -0.46}}});
    }
    expectnetwork(c);
  }
}

// u1 and u2 leave i1 (9, 600) for the right edge, u1's rows whole (a unit
// of 1), u2's to 3 decimals. u2 ending at 604.412 lies within 2.5 halves of
// 1 + 0.001 (1.25125) of u1's 605: the two ends are one place, u1's taken
// to u2's; at 603.700, 1.3 away, both keep their rows. Where u2 leaves i2
// (9, 610) instead, it crosses u1 where 5t = 10 - 5.588t, t the way from
// x 9: t = 10 / 10.588 = 0.944465, (9.94447, 604.722); but u1's end, put at
// u2's within its own rounding, leaves them crossing nowhere: the order of
// the ends along the edge is the rounding alone, and they are one place.
// A crossing the ends do not make stays: u2 from i2 by (9.5, 601), where
// u1 is above it at 602.5 (or 602.206 with its end moved), crosses u1 where
// 600 + 5t = 610 - 18t: t = 10 / 23, (9.43478, 602.174).
TEST(DrawingNetwork, OpenEndsOnTheFrameWithinTheirRoundingAreOnePlace) {
  for (const auto& [y2, from] : {std::pair{"604.412", "i1"}, {"603.700", "i1"}, {"604.412", "i2"}}) {
    const bool joined = std::string(y2) == "604.412";
    const std::string at = std::string(from) == "i1" ? "600" : "610";
    expectnetwork({"i1 9.000 600.000\ni2 9.000 610.000\nu1 begin i1\n  10 605\n  9 600\nu2 begin " + std::string(from) +
                       "\n  10.000 " + y2 + "\n  9.000 " + at + ".000\n",
                   "",
                   {{1, {{10, joined ? 604.412 : 605}, {9, 600}}}, {2, {{10, std::stod(y2)}, {9, std::stod(at)}}}}});
  }
  expectnetwork({"i1 9.000 600.000\ni2 9.000 610.000\nu1 begin i1\n  10 605\n  9 600\nu2 begin i2\n  10.000 "
                 "604.412\n  9.500 601.000\n  9.000 610.000\n",
                 "lines u1 and u2 cross at 9.43478 602.174, where no point joins them"});
  // u3 from i3 (9.98, 604.6) to the edge at 604.7, between u1 (604.9 at
  // 9.98, 605 at 10) and u2 (604.524, 604.412) beyond their crossing: its
  // rows, finer than u1's, tell the order of the two ends, and the
  // crossing stays named.
  expectnetwork({"i1 9.000 600.000\ni2 9.000 610.000\ni3 9.980 604.600\nu1 begin i1\n  10 605\n  9 600\nu2 begin i2\n"
                 "  10.000 604.412\n  9.000 610.000\nu3 i3 end\n  9.980 604.600\n  10.000 604.700\n",
                 "lines u1 and u2 cross at 9.94447 604.722, where no point joins them"});
  // The same with u3 from i3 (9.5, 609), above both, to u1's own end on
  // the edge, (10, 605): the end lies on the sliver u1's end would sweep,
  // and u3 would be left meeting u1 nowhere; it tells the order as well.
  expectnetwork({"i1 9.000 600.000\ni2 9.000 610.000\ni3 9.500 609.000\nu1 begin i1\n  10 605\n  9 600\nu2 begin i2\n"
                 "  10.000 604.412\n  9.000 610.000\nu3 i3 end\n  9.500 609.000\n  10.000 605.000\n",
                 "lines u1 and u2 cross at 9.94447 604.722, where no point joins them"});
  // An end at the corner (0, 800) lies on the top as well as on the left.
  // u1 from i1 (0.5, 799) to the corner, u2 from i1 via (0.3, 799.6) to
  // the top at x = end; one line's rows in units of 0.01, the other's in
  // 0.001 (the corner written "0.00": a bare "0" would read 0.2 in its
  // line's way and take u2's middle row onto u1's way): the ends are one
  // place within 1.25 x (0.01 + 0.001) = 0.01375 along the top, and the
  // coarser takes the finer's place there, to stay (not put back on the
  // left). At 0.015 apart they keep their places.
  for (const auto& [end, coarse, want1, want2] :
       {std::tuple{"0.010", 1, 0.010, 0.010}, {"0.010", 2, 0.0, 0.0}, {"0.015", 1, 0.0, 0.015}}) {
    const std::string u1 = coarse == 1 ? "  0.50 799.00\n  0.00 800.00\n" : "  0.500 799.000\n  0.000 800.000\n";
    const std::string u2 = coarse == 1 ? "  0.500 799.000\n  0.300 799.600\n  " + std::string(end) + " 800.000\n"
                                       : "  0.50 799.00\n  0.30 799.60\n  " + std::string(end).substr(0, 4) + " 800.00\n";
    expectnetwork({"i1 0.5000 799.0000\nu1 i1 end\n" + u1 + "u2 i1 end\n" + u2,
                   {},
                   {{1, {{0.5, 799}, {want1, 800}}}, {2, {{0.5, 799}, {0.3, 799.6}, {want2, 800}}}}});
  }
  // The same at the corner (0, 400), ends along the left side, which the
  // corner's first side (the bottom) does not share: u1's end 0.010 below
  // u2's, within 1.25 x (0.01 + 0.001) in y, takes u2's place.
  expectnetwork({"i1 0.5000 401.0000\nu1 i1 end\n  0.50 401.00\n  0.00 400.00\nu2 i1 end\n  0.500 401.000\n"
                 "  0.200 400.600\n  0.000 400.010\n",
                 {},
                 {{1, {{0.5, 401}, {0, 400.01}}}, {2, {{0.5, 401}, {0.2, 400.6}, {0, 400.01}}}}});
  // The same with u1's rows fine in x and coarse in y, u2's the other way
  // round: the units along the left side, y, make u1 the coarser there.
  expectnetwork({"i1 0.5000 401.0000\nu1 i1 end\n  0.500 401.00\n  0.000 400.00\nu2 i1 end\n  0.50 401.000\n"
                 "  0.20 400.600\n  0.00 400.010\n",
                 {},
                 {{1, {{0.5, 401}, {0, 400.01}}}, {2, {{0.5, 401}, {0.2, 400.6}, {0, 400.01}}}}});
  // Lines from two points that cross only by a corner end's rounding: u1
  // from i1 (0.5, 799) to the corner in units of 0.1, u2 from i2 (0.2,
  // 799) to the top at 0.1 in 0.001, crossing u1 at t = 0.3 / 0.4 of the
  // way up, (0.125, 799.75). u1's end, 0.1 from u2's along the top, within
  // its own 1.25 x 0.1, ends at u2's; they then meet only there.
  expectnetwork({"i1 0.5 799.0\ni2 0.200 799.000\nu1 i1 end\n  0.5 799.0\n  0.0 800.0\nu2 i2 end\n  0.200 799.000\n"
                 "  0.100 800.000\n",
                 {},
                 {{1, {{0.5, 799}, {0.1, 800}}}, {2, {{0.2, 799}, {0.1, 800}}}},
                 false});
}

// u1 runs up x = 5 (whole in x: a unit of 1, taken as 0.2) from i1 to i2
// and passes exactly through i3, where u2 from i4 (5.2, 600.21) ends. i4
// lies within the two lines' rounding of that meeting, but the meeting is
// at a point as written: neither line is bent to i4.
TEST(DrawingNetwork, LinesMeetingAtAPointAsWrittenAreNotBentToAnother) {
  expectnetwork({"i1 5 600.00\ni2 5 600.40\ni3 5 600.20\ni4 5.2 600.21\nu1 i1 i2\n  5 600.00\n  5 600.40\n"
                 "u2 i4 i3\n  5.2 600.21\n  5 600.20\n",
                 {},
                 {{1, {{5, 600}, {5, 600.4}}}, {2, {{5.2, 600.21}, {5, 600.2}}}}});
}

// u1 runs level from i1 (5, 600) back to i2 (1, 600); u2 from i3 (0,
// 599.90) to i4 (5.5, 600.02) crosses it at x = 0.10 / (0.12 / 5.5) =
// 4.58333, 0.42 short of i1, which it passes 0.00909 above, within the 0.025
// of their roundings, on its way to i4 beyond u1's end. Taken straight
// through i1 it no longer crosses u1; where a third line runs from i1 to
// i4 its rows cannot keep i4 on their side of u1 but by crossing it, and
// it is taken from the crossing along u1 to i1 and on to i4 (along the
// third). Written with i4 at 600.10, u2 passes i1 0.08 above, beyond that
// reach: it keeps its rows and the crossing, at x = 0.10 / (0.20 / 5.5).
// The same whichever of the two lines is written first, and with u2
// written from i4 back to i3.
TEST(DrawingNetwork, LinesCrossingWithinTheirRoundingNearWhereOneEndsAreJoinedAlongIt) {
  const double cx = 0.10 / (0.12 / 5.5);
  for (const bool third : {false, true})
    for (const bool beyond : {false, true})
      for (const bool twofirst : {false, true})
        for (const bool back : {false, true}) {
          const std::string y4 = beyond ? "600.10" : "600.02";
          const std::string u1 = "u1 i1 i2\n  5.00 600.00\n  1.00 600.00\n";
          const std::string u2 = back ? "u2 i4 i3\n  5.50 " + y4 + "\n  0.00 599.90\n"
                                      : "u2 i3 i4\n  0.00 599.90\n  5.50 " + y4 + "\n";
          networkcase c{"i1 5.00 600.00\ni2 1.00 600.00\ni3 0.00 599.90\ni4 5.50 " + y4 + "\n" +
                        (twofirst ? u2 + u1 : u1 + u2) + (third ? "u3 i1 i4\n  5.00 600.00\n  5.50 " + y4 + "\n" : "")};
          c.crosses = beyond;
          if (beyond)
            c.why = std::string("lines ") + (twofirst ? "u2 and u1" : "u1 and u2") +
                    " cross at 2.75000 600.000, where no point joins them";
          c.tol = 1e-12;
          pts want = beyond  ? pts{{0, 599.9}, {5.5, 600.1}}
                     : third ? pts{{0, 599.9}, {cx, 600}, {5, 600}, {5.5, 600.02}}
                             : pts{{0, 599.9}, {5, 600}, {5.5, 600.02}};
          if (back) std::reverse(want.begin(), want.end());
          const long one = twofirst ? 2 : 1, two = twofirst ? 1 : 2;
          c.lines = {{two, want}};
          // u1 has the crossing u2 is taken from as a row of its own
          if (third && !beyond) c.lines.push_back({one, {{5, 600}, {cx, 600}, {1, 600}}});
          expectnetwork(c);
        }
  // A fourth line across u1 at x = 4.8, between the crossing and i1, ending
  // at 600.003 below u2 (600.00473 there): taken along u1, u2 would cross
  // it. It keeps its rows and its crossing with u1.
  networkcase fourth{"i1 5.00 600.00\ni2 1.00 600.00\ni3 0.00 599.90\ni4 5.50 600.02\nu1 i1 i2\n  5.00 600.00\n"
                     "  1.00 600.00\nu2 i3 i4\n  0.00 599.90\n  5.50 600.02\nu3 i1 i4\n  5.00 600.00\n  5.50 600.02\n"
                     "u4 begin end\n  4.80 599.950\n  4.80 600.003\n",
                     {},
                     {{2, {{0, 599.9}, {5.5, 600.02}}}}};
  fourth.crosses = true;
  expectnetwork(fourth);
}

// Lines that meet only at rows they share pass each other there when they
// come in on one side of each other and go on on the other, through one
// row or a run of them; lines that touch there and turn back do not, nor
// do lines at a point, or within the rounding of one (whole numbers: 0.5
// in x, 2.5 in y, are one place with a point), there or between rows. Refusals
// name the first such pair after any that cross between their rows, but
// never a crossing of the rows as written that the joining at a point took
// apart: u1 (400, 5.79)-(409, 5.81) meets u2's row 5.80 halfway, at (404.5,
// 5.80), 5.7 from the point, but lies 0.01 from it on both sides, within
// 2.5 halves of 0.01 + 0.01 in y: the rows at 409 lie within their rounding
// of the ways to the point (5.8059, 5.8071) and are dropped, and the two
// then meet at the point alone.
TEST(DrawingNetwork, LinesPassingEachOtherAtARowTheyShare) {
  const std::string x = "u1 begin end 0 500 5 600 10 700\nu2 begin end 0 700 5 600 10 500\n";
  const std::string run = "u1 begin end 0 500 4 600 6 600 10 700\n";
  const std::string cross = "u1 begin end 0 500 10 700\nu2 begin end 0 700 10 500\n";
  const std::string touch = "u1 begin end 0.00 590.0 2.00 594.0 10.00 610.0\nu2 begin end 0.00 591.0 2.00 594.0 3.00 ";
  const std::string ends = "i1 1.00 500.0\ni2 9.00 600.0\ni3 1.00 490.0\ni4 9.00 ";
  const networkcase rows[] = {
      {x, "lines u1 and u2 cross at 5.00000 600.000, where no point joins them"},
      {"u1 begin end 0 500 5 600 10 500\nu2 begin end 0 700 5 600 10 700\n", ""},
      {run + "u2 begin end 0 700 4 600 6 600 10 500\n",
       "lines u1 and u2 cross at 4.00000 600.000, where no point joins them"},
      {run + "u2 begin end 10 500 6 600 4 600 0 700\n",
       "lines u1 and u2 cross at 4.00000 600.000, where no point joins them"},
      {run + "u2 begin end 0 700 4 600 6 600 10 800\n", ""},
      // u1 leaves i1 to the right and comes back across u2, which rises
      // from i1, at a row of its own 2 above i1: within 2.5 of the point
      // both name, the two meet at it, and nothing is named
      {"i1 5 600\nu1 i1 end 5 600 9 630 5 602 0 700\nu2 i1 end 5 600 5 650\n", "", {{1, {{5, 600}, {9, 630}, {5, 602}, {0, 700}}}}},
      {"u1 begin end 0 500 5 600\nu2 begin end 0 700 5 600 10 500\n", ""},
      // a run of shared rows that goes on to the last row of u1: u1 ends on
      // u2 there, from either side of it, and goes on past nothing
      {"u1 begin end 0 500 4 600 6 600\nu2 begin end 0 700 4 600 6 600 10 500\n", ""},
      {"u1 begin end 0 500 4 600 6 600\nu2 begin end 0 450 4 600 6 600 10 700\n", ""},
      {"i1 5 602\n" + x, ""},
      {"i1 5 604\n" + x, "lines u1 and u2 cross at 5.00000 600.000, where no point joins them"},
      // crossing between their rows: the same, but that lines meeting
      // within a point's rounding are named where no others are
      {"i1 5 602\n" + cross + "u3 begin end 1 400 1 800\n",
       "lines u1 and u3 cross at 1.00000 520.000, where no point joins them"},
      {"i1 5 602\n" + cross, "lines u1 and u2 cross at 5.00000 600.000, where no point joins them"},
      // a level or upright first segment of a line that turns back to its
      // first x (or y): u2 crosses it at x = 5 (and u1's second segment,
      // from (5, 700) to (8, 500), at 6.31 beyond it)
      {"u1 begin end 0 600 10 600 0 700\nu2 begin end 5 500 5 620\n",
       "lines u1 and u2 cross at 5.00000 600.000, where no point joins them"},
      {"u1 begin end 5 500 5 700 8 500\nu2 begin end 0 600 10 620\n",
       "lines u1 and u2 cross at 5.00000 610.000, where no point joins them"},
      {"i1 410.2 5.808\nu1 begin i1\n  400.0 5.79\n  409.0 5.81\nu2 begin i1\n  400.0 5.80\n  409.0 5.80\n",
       "", {}, false, 0,
       "window 400 700 2 10\nbigticks 0 0 0 0\n"},
      // u2 passes u1 at their row (2, 594.0), dips 0.1 below u1's 596.0 at
      // x = 3 and comes back across it at its own row (4, 598.0) on u1's
      // segment: within 2.5 halves of 0.1 + 0.1 in y, 0.01 + 0.01 in x
      // (0.3 of y at u1's slope 2), so the row at 4 is made u1's too and
      // the two are one way between; dipping 0.5 it crosses there.
      {touch + "595.9 4.00 598.0 10.00 611.0\n",
       "",
       {{1, {{0, 590}, {2, 594}, {4, 598}, {10, 610}}}, {2, {{0, 591}, {2, 594}, {4, 598}, {10, 611}}}}},
      {touch + "595.5 4.00 598.0 10.00 611.0\n", "lines u1 and u2 cross at 4.00000 598.000, where no point joins them"},
      // u2 comes down onto u1's level segment at (2, 600) and goes back up
      // past u1's bend (5, 600), 13.6 above it, to its second segment at
      // (7.5, 625): two meetings no rounding joins, and u2 runs along none
      // of u1, which keeps its rows
      {"u1 begin end 0 600 5 600 10 650\nu2 begin end 1 650 2 600 7.5 625 9 700\n",
       "lines u1 and u2 cross at 2.00000 600.000, where no point joins them",
       {{1, {{0, 600}, {5, 600}, {10, 650}}}}},
      // sharing both ends and meeting nowhere between, u2's row at x = 5
      // lies 0.01 below u1's way (601.0), within 2.5 halves of 0.1 + 0.01:
      // the two are one way, whichever carries the row; 0.5 below (beyond
      // 2.5 halves of 0.1 + 0.1), a field lies between them and both keep
      // their rows
      {"u1 begin end 0.00 600.0 10.00 602.0\nu2 begin end 0.00 600.0 5.00 600.99 10.00 602.0\n", "",
       {{2, {{0, 600}, {10, 602}}}}},
      {"u1 begin end 0.00 600.0 5.00 600.99 10.00 602.0\nu2 begin end 0.00 600.0 10.00 602.0\n", "",
       {{1, {{0, 600}, {10, 602}}}}},
      {"u1 begin end 0.00 600.0 10.00 602.0\nu2 begin end 0.00 600.0 5.00 600.5 10.00 602.0\n", "",
       {{2, {{0, 600}, {5, 600.5}, {10, 602}}}}},
      // u2 crosses the level u1 and back, both at 600.0 (x 3.97 and 6.03),
      // its rows between 0.1 above, within 2.5 halves of 0.1 + 0.1: the
      // two are one way between the crossings, though these share their y
      {"u1 begin end 0.00 600.0 10.00 600.0\nu2 begin end 1.00 590.0 4.00 600.1 6.00 600.1 9.00 590.0\n", ""},
      // the same level: every row of u1 at 600.0 as u2's row on it
      {"u1 begin end 0.00 600.0 2.00 600.0 10.00 600.0\nu2 begin end 0.00 601.0 2.00 600.0 3.00 599.9 4.00 600.0 "
       "10.00 601.0\n",
       "",
       {{1, {{0, 600}, {2, 600}, {4, 600}, {10, 600}}}, {2, {{0, 601}, {2, 600}, {4, 600}, {10, 601}}}}},
      // from their row (5, 550) u1 runs to its end i2 (9.00, 600.0) and u2
      // to its end i4, written 601 (one place with i2: 1 <= 2.5 halves of
      // 1 + 0.1), above u1 only by that rounding; 10 below it at x = 1. u2
      // passes i2 (by hand 0.002382 of the window off its way; u1 passes
      // i4 0.002386 off) and is taken along u1 to it and on along u3 to
      // i4, keeping its side; i4 written 601.0 is apart from i2, and the
      // two cross at the row.
      {ends + "601\nu1 i1 i2\n  1.00 500.0\n  5 550\n  9.00 600.0\nu2 i3 i4\n  1.00 490.0\n  5 550\n  9.00 601\n"
              "u3 i2 i4\n  9.00 600.0\n  9.00 601\n",
       "",
       {{1, {{1, 500}, {5, 550}, {9, 600}}}, {2, {{1, 490}, {5, 550}, {9, 600}, {9, 601}}}}},
      // the same with each line's rows the other way round: the ends one
      // place lie before the row along both
      {ends + "601\nu1 i2 i1\n  9.00 600.0\n  5 550\n  1.00 500.0\nu2 i4 i3\n  9.00 601\n  5 550\n  1.00 490.0\n"
              "u3 i4 i2\n  9.00 601\n  9.00 600.0\n",
       "",
       {{1, {{9, 600}, {5, 550}, {1, 500}}}, {2, {{9, 601}, {9, 600}, {5, 550}, {1, 490}}}}},
      {ends + "601.0\nu1 i1 i2\n  1.00 500.0\n  5 550\n  9.00 600.0\nu2 i3 i4\n  1.00 490.0\n  5 550\n"
              "  9.00 601.0\nu3 i2 i4\n  9.00 600.0\n  9.00 601.0\n",
       "lines u1 and u2 cross at 5.00000 550.000, where no point joins them"},
      // a point written coarser than the rows at it ("5.0" holds 4.95 to
      // 5.05; u1 and u2 share their row 5.040) keeps its place where the
      // lines joined there cross nothing
      {"i1 5.0 600.000\nu1 i1 end 5.040 600.000 9.000 700.000\nu2 begin i1 9.000 604.000 5.040 600.000\n", "",
       {{1, {{5, 600}, {9, 700}}}, {2, {{9, 604}, {5, 600}}}}, false, 1e-9},
      // ... but where the lines joined at it as written still cross a line
      // away from every point, it takes the rows' finer place: written
      // "2.659e06" (unit 1000), u3 from (6452000, 100000) to it crosses u2
      // at (2659369.70, 156693.864), 5.3 below u2's point i2 (exact
      // fractions by hand); taken to u1's row 2659495 (keeping its own
      // finer y), u3 meets u2's way only past i2, and nothing crosses
      {"i1 2.659e06 156699.387\ni2 2659375 156699.16\nu1 i1 end 2659495 156699.39 7.000e06 164831.90\n"
       "u2 begin i2 2602676 100000.000 2659375 156699.163\nu3 begin i1 6.452e6 100000.00 2.659E06 156699.39\n",
       "",
       {{1, {{2659495, 156699.387}, {7e6, 164831.9}}},
        {2, {{2602676, 100000}, {2659375, 156699.163}}},
        {3, {{6452000, 100000}, {2659495, 156699.387}}}},
       false,
       1e-6,
       "window 1000000 7000000 100000 300000\nbigticks 0 0 0 0\n"},
      // the same with u1's row as fine in y as the point: it moves in x alone
      {"i1 2.659e06 156699.387\ni2 2659375 156699.16\nu1 i1 end 2659495 156699.388 7.000e06 164831.90\n"
       "u2 begin i2 2602676 100000.000 2659375 156699.163\nu3 begin i1 6.452e6 100000.00 2.659E06 156699.39\n",
       "",
       {{1, {{2659495, 156699.387}, {7e6, 164831.9}}}, {3, {{6452000, 100000}, {2659495, 156699.387}}}},
       false,
       1e-6,
       "window 1000000 7000000 100000 300000\nbigticks 0 0 0 0\n"},
      // with u1's row at 2659200 the crossing stays (at 2659372.64,
      // 156696.806, the same fractions): the point keeps its place
      {"i1 2.659e06 156699.387\ni2 2659375 156699.16\nu1 i1 end 2659200 156699.39 7.000e06 164831.90\n"
       "u2 begin i2 2602676 100000.000 2659375 156699.163\nu3 begin i1 6.452e6 100000.00 2.659E06 156699.39\n",
       std::nullopt,
       {{1, {{2659000, 156699.387}, {7e6, 164831.9}}}, {3, {{6452000, 100000}, {2659000, 156699.387}}}},
       std::nullopt,
       1e-6,
       "window 1000000 7000000 100000 300000\nbigticks 0 0 0 0\n"},
      // their crossover, at (5, 600), is on both: their crossing there is
      // that point, never named
      {"i9 crossover u1 u2\n" + cross, "", {{1, {{0, 500}, {10, 700}}}, {2, {{0, 700}, {10, 500}}}}},
      // where u1 ends at i1 just past it, within their rounding, u2 keeps
      // its way through the crossover rather than being bent to i1 (u1 is
      // taken through the crossover instead)
      {"i1 5.02 600.4\ni9 crossover u2 u1\nu1 begin i1 0 500 10 700\nu2 begin end 0 700 10 500\n", "",
       {{2, {{0, 700}, {10, 500}}}}},
      // u2 passes the crossover on u1's upright segment, (7, 402.1), but
      // for the last bit of its slope: with no end to be bent to, neither
      // line is given a row there
      {"i9 crossover u1 u2\nu1 begin end 2 406 2 408 7 408 7 398\nu2 begin end 0 400 10 403\n", "",
       {{1, {{2, 406}, {2, 408}, {7, 408}, {7, 400}}}, {2, {{0, 400}, {10, 403}}}}},
  };
  for (const networkcase& r : rows) expectnetwork(r);
  // u2 touches the level u1 at its own row (4, 600.0) and crosses back at
  // x = 6 + 3 (0.1 / 10.1), or at its row (6, 600.0), its row between 0.1
  // above, within 2.5 halves of 0.1 + 0.1: one way between the two, as
  // between two crossings; 0.5 above, it crosses u1 at both, and the first
  // along u2 is named (at 6 + 3 (0.5 / 10.5) for a crossing through).
  // Whichever is written first, either way round, and turned left for
  // right (the place at 6 then met first along u1).
  for (int n = 0; n < 32; ++n) {
    const bool beyond = n & 1, twofirst = n & 2, back = n & 4, turned = n & 8, atrow = n & 16;
    auto at = [&](double x) { return turned ? 10 - x : x; };
    std::vector<std::pair<int, std::string>> rows = {
        {1, "590.0"}, {4, "600.0"}, {atrow ? 5 : 6, beyond ? "600.5" : "600.1"}};
    if (atrow) rows.emplace_back(6, "600.0");
    rows.emplace_back(9, "590.0");
    pts want = {{at(1), 590}, {at(4), 600}, {at(atrow ? 6 : 6 + 3 * 0.1 / 10.1), 600}, {at(9), 590}};
    if (back) {
      std::reverse(rows.begin(), rows.end());
      std::reverse(want.begin(), want.end());
    }
    std::string u2 = "u2 begin end";
    for (const auto& [x, y] : rows) u2 += " " + std::to_string(static_cast<int>(at(x))) + ".00 " + y;
    const std::string u1 = "u1 begin end 0.00 600.0 10.00 600.0\n";
    networkcase c{twofirst ? u2 + "\n" + u1 : u1 + u2 + "\n", "", {{twofirst ? 1 : 2, want}}, beyond, 1e-12};
    if (beyond) {
      char named[16];
      std::snprintf(named, sizeof named, "%.5f", at(back ? (atrow ? 6 : 6 + 1.5 / 10.5) : 4));
      c.why = std::string("lines ") + (twofirst ? "u2 and u1" : "u1 and u2") + " cross at " + named +
              " 600.000, where no point joins them";
      c.lines.clear();
    }
    expectnetwork(c);
    // the rows put in carry the rounding of the rows they lie between
    Drawing d;
    ASSERT_EQ(d.network(qk(c.records)), "");
    for (long l = 1; l <= 2; ++l)
      for (long k = 1; k <= line(l).npts; ++k) {
        EXPECT_EQ(line(l).round[k].wayx, 0.01F);
        EXPECT_EQ(line(l).round[k].wayy, 0.1F);
      }
  }
  // as written, u1 going on from the row both hold along u2 (slope 20 both)
  // is no picture of the data as written; parting from u2 there, it is
  for (const auto& [u2, aswritten] : {std::pair{"10 700", false}, {"10 800", true}}) {
    Drawing d;
    ASSERT_EQ(d.read(qk("u1 begin end 0 500 5 600 7.5 650\nu2 begin end 0 700 5 600 " + std::string(u2) + "\n")), "");
    ASSERT_EQ(testsupport::fatal([] { ZQPLTX::DOCROSSOVER(); }), "");
    EXPECT_EQ(ZQPLTX::SETUPLINES(false, true), aswritten) << u2;
  }
}

}  // namespace

// u2 leaves i1 along u1 (both level at 600) to its row (4, 600), which lies
// on u1's one segment as written, and parts upwards there: that row becomes
// u1's too, u1's way unchanged, and the stretch from i1 is one way of both.
// A row of u2 on u1 away from any row they share (u3 ending on u1 at
// (6, 600)) is a meeting, not a stretch run together: u1 gets no row there.
TEST(DrawingNetwork, LinesRunningTogetherFromAPointShareTheStretch) {
  expectnetwork({"i1 1 600\ni2 9 600\ni3 7 650\ni4 6 700\nu1 i1 i2\n  1 600\n  9 600\n"
                 "u2 i1 i3\n  1 600\n  4 600\n  7 650\nu3 i4 end\n  6 700\n  6 600\n",
                 {},
                 {{1, {{1, 600}, {4, 600}, {9, 600}}}, {2, {{1, 600}, {4, 600}, {7, 650}}}}});
  // The same with u2 written first: the row goes into the later line.
  expectnetwork({"i1 1 600\ni2 9 600\ni3 7 650\ni4 6 700\nu2 i1 i3\n  1 600\n  4 600\n  7 650\n"
                 "u1 i1 i2\n  1 600\n  9 600\nu3 i4 end\n  6 700\n  6 600\n",
                 {},
                 {{1, {{1, 600}, {4, 600}, {7, 650}}}, {2, {{1, 600}, {4, 600}, {9, 600}}}}});
  // Calc mode 1's x(CO2) rows: u3 leaves i2 and passes i1, 0.139 below its
  // row 610.400 (a unit 0.1), then runs 0.000008 off u1's way from i1 to
  // the top at 620.8 (0.9943 - 0.0026 x 10.539 / 93.739 by hand, a unit
  // 0.0001): taken through i1, it is one way with u1 to u1's end on the
  // top, at 0.9943 - 0.0026 x 89.739 / 93.739, and neither has a row twice.
  networkcase along{"i1 0.9943 610.261\ni2 0.9943 609.196\nu1 i1 end 0.9946 600.000 0.9917 704.000\n"
                    "u2 i2 i1 0.9943 609.196 0.9943 610.261\n"
                    "u3 i2 end 0.9943 609.196 0.9943 610.400 0.9940 620.800 0.9917 704.000\n",
                    "",
                    {{1, {{0.9943, 610.261}, {0.9943 - 0.0026 * 89.739 / 93.739, 700}}},
                     {3, {{0.9943, 609.196}, {0.9943, 610.261}, {0.9943 - 0.0026 * 89.739 / 93.739, 700}}}}};
  along.tol = 1e-12;
  along.control = "window 0.99 1 500 700\nbigticks 0 0 0 0\n";
  expectnetwork(along);
  // u2 leaves u1's row (5, 600.0) where no point is, within 0.1 of u1's way
  // to the frame: only a point makes the two one way, and u1 keeps its end.
  expectnetwork({"i1 0.00 590.0\nu1 i1 end\n  0.00 590.0\n  5.00 600.0\n  10.00 610.0\n"
                 "u2 begin end\n  5.00 600.0\n  10.00 610.1\n",
                 std::nullopt,
                 {{1, {{0, 590}, {5, 600}, {10, 610}}}}});
  // u1 and u2 run from (0, 590.0) on the left edge to i1 (5, 600.0), u1
  // straight (594.0 at x = 2, 598.0 at 4), u2 by rows 0.2 above it there
  // and 0.2 below, crossing it, each within 2.5 halves of 0.1 + 0.1: the
  // two are one way between the places they share, u2 along u1's.
  expectnetwork({"i1 5.00 600.0\nu1 begin i1\n  0.00 590.0\n  5.00 600.0\n"
                 "u2 begin i1\n  0.00 590.0\n  2.00 594.2\n  4.00 597.8\n  5.00 600.0\n",
                 {},
                 {{1, {{0, 590}, {5, 600}}}, {2, {{0, 590}, {5, 600}}}}});
  // The same where u1 crosses u2 on u2's first segment from the shared
  // (0, 590.0): u1 0.175 above u2 at 1, 0.05 below at 4, both within the
  // rounding; one way between, u1 along u2's.
  expectnetwork({"i1 5.00 600.0\nu1 begin i1\n  0.00 590.0\n  1.00 592.2\n  5.00 600.0\n"
                 "u2 begin i1\n  0.00 590.0\n  4.00 598.1\n  5.00 600.0\n",
                 {},
                 {{1, {{0, 590}, {4, 598.1}, {5, 600}}}, {2, {{0, 590}, {4, 598.1}, {5, 600}}}}});
  // No place shared: u1 straight from (0, 590.0) to (10, 610.0), u2 from
  // 1.0 below it to 1.0 below it by a row (4.00, 598.2) 0.2 above it,
  // crossing it at 0.3 x = 1 (3.33.., 596.66..) and back at 0.2 x = 1
  // (5, 600). The row lies within 2.5 halves of 0.01 + 0.01 in x, 0.1 +
  // 0.1 in y of u1's way (598.05 at x = 4.025): the two are one way
  // between the crossings. Written 598.4 (598.15 at the nearest) it lies
  // beyond, and the first crossing, 0.35 x = 1, is true.
  const std::string apart = "u1 begin end\n  0.00 590.0\n  10.00 610.0\nu2 begin end\n  0.00 589.0\n  4.00 ";
  const double x1 = 1 / 0.3, y1 = 590 + 2 / 0.3;
  expectnetwork({apart + "598.2\n  10.00 609.0\n",
                 "",
                 {{1, {{0, 590}, {x1, y1}, {5, 600}, {10, 610}}}, {2, {{0, 589}, {x1, y1}, {5, 600}, {10, 609}}}},
                 std::nullopt,
                 1e-9});
  expectnetwork({apart + "598.4\n  10.00 609.0\n", "lines u1 and u2 cross at 2.85714 595.714, where no point joins them"});
  // Crossing once, then meeting at a point both name: u1 and u2 leave i1
  // (1, 592.0), u1 straight to (10, 610.0), u2 by a row (4.00, 598.2) 0.2
  // above it, within the rounding as above, and on to (10, 605.0), crossing
  // u1 at 55 / 13 (598.2 + 17 / 15 (x - 4) = 590 + 2 x, by hand). Nothing
  // between tells the crossing from the point: one way from i1 to the
  // crossing, whichever way u1 was written. Written 598.5 the row lies
  // beyond, and the crossing, at 50 / 11 (8.5 - 13 / 3 = 11 / 12 x), is true.
  const double cx = 55.0 / 13, cy = 590 + 2 * cx;
  for (const bool fromi1 : {true, false}) {
    const std::string u1 = fromi1 ? "u1 i1 end\n  1.00 592.0\n  10.00 610.0\n" : "u1 begin i1\n  10.00 610.0\n  1.00 592.0\n";
    const std::string lens = "i1 1.00 592.0\n" + u1 + "u2 i1 end\n  1.00 592.0\n  4.00 ";
    const pts joined = fromi1 ? pts{{1, 592}, {cx, cy}, {10, 610}} : pts{{10, 610}, {cx, cy}, {1, 592}};
    expectnetwork({lens + "598.2\n  10.00 605.0\n", "", {{1, joined}, {2, {{1, 592}, {cx, cy}, {10, 605}}}}, false, 1e-9});
    expectnetwork({lens + "598.5\n  10.00 605.0\n", "lines u1 and u2 cross at 4.54545 599.091, where no point joins them"});
  }
  // Crossing once, then running on to open ends: u1 from i1 (1.00, 592.0)
  // by (6.00, 602.0) to (10.00, 610.0), u2 from i2 1.0 below by a row at 6
  // 0.1 below u1 to 610.1, crossing u1 at 8 (0.1 = 0.05 (x - 6), by hand).
  // The rows of each on both sides of the crossing lie within 2.5 halves
  // of 0.01 + 0.01 in x, 0.1 + 0.1 in y of the other's way: nothing tells
  // the crossing, and u1 takes u2's way from it to its end. With u2's row
  // 0.5 below, the two come to the crossing (at 9 1/3, 608.667) from apart
  // at an angle the data tell, but the ends 0.1 apart, within 2.5 halves of
  // u1's own 0.1, tell no order: u1's end put at u2's (10, 610.1) leaves
  // them apart all the way (0.5 at 6, nothing between), one place; with u2
  // ending at 610.5 (crossing at 6 2/3, 603.333), they part beyond their
  // rounding: both are named.
  const std::string toends = "i1 1.00 592.0\ni2 1.00 591.0\nu1 i1 end\n  1.00 592.0\n  6.00 602.0\n  10.00 610.0\n"
                             "u2 i2 end\n  1.00 591.0\n  6.00 ";
  expectnetwork({toends + "601.9\n  10.00 610.1\n", "",
                 {{1, {{1, 592}, {6, 602}, {8, 606}, {10, 610.1}}}, {2, {{1, 591}, {6, 601.9}, {8, 606}, {10, 610.1}}}},
                 false, 1e-9});
  expectnetwork({toends + "601.5\n  10.00 610.1\n", "",
                 {{1, {{1, 592}, {6, 602}, {10, 610.1}}}, {2, {{1, 591}, {6, 601.5}, {10, 610.1}}}}, false});
  expectnetwork({toends + "601.9\n  10.00 610.5\n", "lines u1 and u2 cross at 6.66667 603.333, where no point joins them"});
  // u2 with a second row past the crossing, (9.00, 608.05), 0.05 above u1's
  // way: u1 takes both rows of u2's way, whichever way u1 was written
  const std::string twoon = "  9.00 608.05\n  10.00 610.1\n";
  expectnetwork({toends + "601.9\n" + twoon, "",
                 {{1, {{1, 592}, {6, 602}, {8, 606}, {9, 608.05}, {10, 610.1}}}}, false, 1e-9});
  expectnetwork({"i1 1.00 592.0\ni2 1.00 591.0\nu1 begin i1\n  10.00 610.0\n  6.00 602.0\n  1.00 592.0\n"
                 "u2 i2 end\n  1.00 591.0\n  6.00 601.9\n" + twoon,
                 "",
                 {{1, {{10, 610.1}, {9, 608.05}, {8, 606}, {6, 602}, {1, 592}}}},
                 false,
                 1e-9});
  // u1 leaving i3 at its row at 6 instead: u2 passes i3 0.1 below, within
  // 2.5 halves of 0.1 + 0.1, so it is taken through i3 from its own row
  // there and on along u1 to their open ends, within that reach of each
  // other (610.0, 610.1): the crossing at 8 was the rounding alone
  expectnetwork({"i2 1.00 591.0\ni3 6.00 602.0\nu1 i3 end\n  6.00 602.0\n  10.00 610.0\nu2 i2 end\n  1.00 591.0\n"
                 "  6.00 601.9\n  10.00 610.1\n",
                 "", {{1, {{6, 602}, {10, 610}}}, {2, {{1, 591}, {6, 601.9}, {6, 602}, {10, 610}}}}});
  // u1 runs from i1 (6, 600.00) to (0, 602.40), passing 0.01 above i2 (5,
  // 600.39); u2 climbs from i2 at 9.22 a unit and crosses it 0.0011 further
  // on, so u1 is taken through i2. u3 runs from i2 straight to u1's end,
  // 0.006 below u1's row (3, 601.20), within 2.5 halves of 0.01 + 0.01: u1
  // runs along it from i2. Where u3 ends apart from u1 on the left edge,
  // at 602.41, the rows of each from i2 lie within that reach of the
  // other's way (u3 at 601.198 at x = 3, ends 0.01 apart): the data cannot
  // tell the two apart nor their order on the edge, and u1 runs along u3
  // to its end; at 602.45, 0.05 apart, u1 keeps its own rows.
  for (const auto& [written, along] : {std::pair{"602.40", true}, {"602.41", true}, {"602.45", false}}) {
    const double end3 = std::stod(written);
    const std::string u3 = "u3 i2 end\n  5.00 600.39\n  0.00 " + std::string(written) + "\n";
    expectnetwork({"i1 6.00 600.00\ni2 5.00 600.39\ni3 4.50 605.00\nu1 i1 end\n  6.00 600.00\n  3.00 601.20\n"
                   "  0.00 602.40\nu2 i2 i3\n  5.00 600.39\n  4.50 605.00\n" + u3,
                   {},
                   {{1, along ? pts{{6, 600}, {5, 600.39}, {0, end3}} : pts{{6, 600}, {5, 600.39}, {3, 601.2}, {0, 602.4}}},
                    {3, {{5, 600.39}, {0, end3}}}},
                   std::nullopt,
                   1e-9});
  }
  // Rows on the bottom of a window as tall as their unit (y 2.000 in 2 to
  // 2.001): u2 runs from its open end at 2.424 past i1 (2.399) to i3, u4
  // leaves i1 along it and u5 comes to i1 along it. The rows of u5 and u4
  // at 2.420 and 2.409 lie on u2's way as written and are put into it; u2
  // runs along u4 from i1 with them, so none is taken out again, and the
  // joining goes on to u6 and u7 at the top, which run together from i6 to
  // u7's row at 1.400e-5, as the first case.
  networkcase bottom{"i1 0.00002399 2.000\ni3 0.00002393 2.000\ni5 0.00002371 2.000\ni6 0.00001200 2.001\n"
                     "i7 0.00001800 2.001\ni8 0.00001600 2.000\nu1 i3 i1\n  0.00002393 2.000\n  0.00002399 2.000\n"
                     "u2 begin i3\n  0.00002424 2.000\n  0.00002393 2.000\nu3 begin i5\n  0.00002401 2.000\n"
                     "  0.00002391 2.000\n  0.00002381 2.000\n  0.00002371 2.000\nu4 i1 end\n  0.00002399 2.000\n"
                     "  0.00003000 2.000\nu5 begin i1\n  0.00002430 2.000\n  0.00002420 2.000\n  0.00002409 2.000\n"
                     "  0.00002399 2.000\nu6 i6 i7\n  0.00001200 2.001\n  0.00001800 2.001\nu7 i6 i8\n"
                     "  0.00001200 2.001\n  0.00001400 2.001\n  0.00001600 2.000\n",
                     {},
                     {{2, {{2.424e-5, 2}, {2.42e-5, 2}, {2.409e-5, 2}, {2.399e-5, 2}, {2.393e-5, 2}}},
                      {6, {{1.2e-5, 2.001}, {1.4e-5, 2.001}, {1.8e-5, 2.001}}}}};
  bottom.tol = 1e-12;
  bottom.control = "window 1e-05 3e-05 1.999 2.001\nbigticks 0 0 0 0\n";
  expectnetwork(bottom);
  // u1 runs along the bottom of the window from its open end to i1 (6,
  // 400); u2 comes down onto it at (2, 400), runs along it to (4, 400) and
  // leaves it again, sharing no row with it: each row of either there lies
  // on the other's way as written, so they are one way from 2 to 4 and
  // touch, without crossing, on the frame.
  expectnetwork({"i1 6 400\nu1 begin i1\n  0 400\n  3 400\n  6 400\nu2 begin end\n  1 500\n  2 400\n  4 400\n  5 500\n",
                 "",
                 {{1, {{0, 400}, {2, 400}, {3, 400}, {4, 400}, {6, 400}}},
                  {2, {{1, 500}, {2, 400}, {3, 400}, {4, 400}, {5, 500}}}}});
  // u2 comes down onto u1 at (2, 400) and goes back up, to an open end or
  // to a point, or ends there on the frame: a touch, the row shared, no
  // crossing.
  for (const std::string end : {"end", "i2", ""}) {
    const bool back = !end.empty(), named = end == "i2";
    const pts u2 = back ? pts{{1, 500}, {2, 400}, {4, 500}} : pts{{1, 500}, {2, 400}};
    expectnetwork({std::string("i1 6 400\n") + (named ? "i2 4 500\n" : "") +
                       "u1 begin i1\n  0 400\n  3 400\n  6 400\nu2 begin " + (back ? end : "end") +
                       "\n  1 500\n  2 400\n" + (back ? "  4 500\n" : ""),
                   "",
                   {{1, {{0, 400}, {2, 400}, {3, 400}, {6, 400}}}, {2, u2}}});
  }
  // u1 ends at i2 (5.00, 600), on u2's way as written (600.5 - 3 / 6 =
  // 600); u1 passes i3, where u2 begins, within their rounding (600.75 at
  // x = 2, 0.25 off, i2's y a whole unit): the two meet at i2 as written,
  // and u1 is not bent to i3 along u2.
  expectnetwork({"i1 1.00 601.0\ni2 5.00 600\ni3 2.00 600.5\ni4 8.00 599.5\nu1 i1 i2\n  1.00 601.0\n  5.00 600\n"
                 "u2 i3 i4\n  2.00 600.5\n  8.00 599.5\n",
                 std::nullopt,
                 {{1, {{1, 601}, {5, 600}}}, {2, {{2, 600.5}, {8, 599.5}}}}});
  // u1 and u3 come to i1 (628.24, 6.491) from their shared row (625.00,
  // 6.536); u2, from (625.00, 6.535) to its end i2 (629.09, 6.480), which
  // u4 joins to i1, crosses them 0.97 before i1 and passes i1 within its
  // rounding: the sliver is closed, u2 taken along u1 to i1. The crossing
  // (by hand: 0.001 / (0.045 / 3.24 - 0.055 / 4.09) = 2.265230769 past 625)
  // put into u1 is put into u3 too, the way both run, else u3, straight
  // beside a row a hair off its way, would cross u1 at (625, 6.536). A
  // refusal does not name the crossing as written: u2 lies 0.001 below u1
  // at 625 and 0.00043 above it at i1's x (6.535 - 0.055 / 4.09 * 3.24 =
  // 6.49143), both within 2.5 halves of 0.001 + 0.001.
  const double xc = 625 + 0.001 / (0.045 / 3.24 - 0.055 / 4.09), yc = 6.536 - 0.045 / 3.24 * (xc - 625);
  // u3 written the other way, from i1, takes the crossing the way it runs;
  // with x and y swapped (the lines then steep) the sliver is closed alike.
  for (int n = 0; n < 4; ++n) {
    const bool back = n & 1, turned = n & 2;
    auto place = [&](const char* x, const char* y) { return std::string(turned ? y : x) + " " + (turned ? x : y); };
    auto row = [&](const char* x, const char* y) { return "  " + place(x, y) + "\n"; };
    auto at = [&](double x, double y) { return turned ? std::pair{y, x} : std::pair{x, y}; };
    const std::string u3 =
        back ? "u3 i1 end\n" + row("637.50", "6.363") + row("625.00", "6.536") + row("612.50", "6.709")
             : "u3 begin i1\n" + row("612.50", "6.709") + row("625.00", "6.536") + row("637.50", "6.363");
    const pts want1 = {at(612.5, 6.707), at(625, 6.536), at(xc, yc), at(628.24, 6.491)};
    pts want3 = {at(612.5, 6.709), at(625, 6.536), at(xc, yc), at(628.24, 6.491)};
    if (back) std::reverse(want3.begin(), want3.end());
    networkcase shared{"i1 " + place("628.24", "6.491") + "\ni2 " + place("629.09", "6.480") + "\nu1 begin i1\n" +
                           row("612.50", "6.707") + row("625.00", "6.536") + row("637.50", "6.365") +
                           "u2 begin i2\n" + row("612.50", "6.703") + row("625.00", "6.535") +
                           row("637.50", "6.367") + u3 + "u4 i1 i2\n" + row("600.00", "6.880") +
                           row("650.00", "6.190"),
                       "",
                       {{1, want1}, {3, want3}}};
    shared.tol = 1e-9;
    shared.control = "window " + place("612.50 640.00", "6.300 6.720") + "\nbigticks 0 0 0 0\n";
    expectnetwork(shared);
  }
}
