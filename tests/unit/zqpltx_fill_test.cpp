// The filled areas of the picture: colours, the polygon of one, two and
// more bounding lines with the way along the frame, the lines that cannot
// be joined, the same areas found by the analysis or given as records, and
// the fields around one point covering the window once.
// With no info line the window 0..10 x 400..800 maps x 0, 2, 3, 5, 7, 8, 10
// to 60, 152, 198, 290, 382, 428, 520 and y 400, 500, 600, 700, 800 to
// 504, 389, 274, 159, 44.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <random>
#include <sstream>
#include <vector>

#include "svgcheck.h"
#include "zqpltx_areatestsupport.h"

using drawtest::Drawing;
using drawtest::qk;

namespace {

const std::string window = "window 0 10 400 800\nbigticks 0 0 0 0\ncircles no\n";

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(SOLVARINTH_FIXTURES) + "/drawing/" + name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The polygons of the areas group, each as its fill and its points.
std::vector<std::string> polygons(const std::string& svg) {
  const std::string group = areatest::between(svg, "<!-- areas -->", "\n  </g>");
  EXPECT_NE(group, "") << svg;
  std::vector<std::string> out;
  const std::string open = "    <polygon fill=\"";
  for (std::size_t at = group.find(open); at != std::string::npos; at = group.find(open, at)) {
    const std::size_t fill = at + open.size();
    const std::size_t fillend = group.find('"', fill);
    std::string s = group.substr(fill, fillend - fill);
    const std::size_t points = group.find("points=\"", fillend) + 8;
    const std::size_t end = group.find("\" />", points);
    std::istringstream lines(group.substr(points, end - points));
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
      const std::size_t b = line.find_first_not_of(' ');
      if (b == std::string::npos) continue;
      s += (first ? " " : ", ") + line.substr(b);
      first = false;
    }
    out.push_back(s);
    at = end;
  }
  return out;
}

// Draws the file; its polygons, with every document well formed.
std::vector<std::string> draw(Drawing& d, const std::string& file) {
  const std::string end = d.plot(file);
  EXPECT_EQ(end, "") << file;
  const std::string svg = d.svg();
  EXPECT_EQ(svgcheck::check(svg).error, "") << svg;
  return polygons(svg);
}

using shapes = std::vector<std::string>;

struct row {
  std::string records;
  std::string areas;
  shapes want;
};

void check(const row& r, const std::string& control = window) {
  Drawing d;
  EXPECT_EQ(draw(d, qk(r.records, control, r.areas)), r.want) << r.records << r.areas;
}

TEST(DrawingFill, Colours) {
  const std::string line = "u1 begin end 3 300 3 900\n";
  const std::string shape = " 198.00 504.00, 198.00 44.00, 60.00 44.00, 60.00 504.00, 198.00 504.00";
  const struct {
    std::string control, grey, fill;
  } rows[] = {
      {"", "1", "rgb(255,255,255)"},
      {"", "0", "rgb(0,0,0)"},
      {"", "0.5", "rgb(127,127,127)"},  // cut, not rounded
      {"", "2", "rgb(255,255,255)"},
      {"", "-1", "rgb(0,0,0)"},
      // far beyond the scale: no overflow in the cut to an integer
      {"", "1e30", "rgb(255,255,255)"},
      {"", "-1e30", "rgb(0,0,0)"},
      {"darkcolour 100 0 50\n", "0.5", "rgb(177,127,152)"},
      {"darkcolour 100 0 50\n", "0", "rgb(100,0,50)"},
      {"darkcolour 300 -20 50\n", "0", "rgb(255,0,50)"},
  };
  for (const auto& r : rows) check({line, r.grey + " u1\n", {r.fill + shape}}, window + r.control);

  // The element itself.
  Drawing d;
  d.plot(qk(line, window, "0.5 u1\n"));
  EXPECT_TRUE(areatest::has(d.svg(),
                            "<!-- areas -->\n\n  <g stroke=\"none\" >\n\n"
                            "    <polygon fill=\"rgb(127,127,127)\" points=\"\n      198.00 504.00\n      198.00 44.00\n"
                            "      60.00 44.00\n      60.00 504.00\n      198.00 504.00\" />\n\n  </g>\n"));
}

TEST(DrawingFill, OneLine) {
  const row rows[] = {
      // bottom to top, closed along the nearer side
      {"u1 begin end 3 300 3 900\n", "0.5 u1\n",
       {"rgb(127,127,127) 198.00 504.00, 198.00 44.00, 60.00 44.00, 60.00 504.00, 198.00 504.00"}},
      {"u1 begin end 7 300 7 900\n", "0.5 u1\n",
       {"rgb(127,127,127) 382.00 504.00, 382.00 44.00, 520.00 44.00, 520.00 504.00, 382.00 504.00"}},
      // left to right, closed along the nearer of top and bottom
      {"u1 begin end -1 500 11 500\n", "0.5 u1\n",
       {"rgb(127,127,127) 60.00 389.00, 520.00 389.00, 520.00 504.00, 60.00 504.00, 60.00 389.00"}},
      {"u1 begin end -1 700 11 700\n", "0.5 u1\n",
       {"rgb(127,127,127) 60.00 159.00, 520.00 159.00, 520.00 44.00, 60.00 44.00, 60.00 159.00"}},
      // across a corner, in from the left and out through the bottom
      {"u1 begin end -1 500 3 300\n", "0.5 u1\n",
       {"rgb(127,127,127) 60.00 446.50, 106.00 504.00, 60.00 504.00, 60.00 446.50"}},
  };
  for (const row& r : rows) check(r);
}

TEST(DrawingFill, TwoLines) {
  const std::string vee = "i1 5 600\n";
  const std::string veeshape = "rgb(127,127,127) 198.00 504.00, 290.00 274.00, 382.00 504.00, 198.00 504.00";
  const std::string box = "rgb(127,127,127) 152.00 504.00, 152.00 44.00, 428.00 44.00, 428.00 504.00, 152.00 504.00";
  const std::string ell =
      "rgb(127,127,127) 152.00 504.00, 152.00 44.00, 60.00 44.00, 60.00 389.00, 520.00 389.00, 520.00 504.00, "
      "152.00 504.00";
  const row rows[] = {
      // free ends on one edge: the joint is the shared point, no corner,
      // whichever way the lines were written
      {vee + "u1 i1 end 5 600 2 300\nu2 i1 end 5 600 8 300\n", "0.5 u1 u2\n", {veeshape}},
      {vee + "u1 begin i1 2 300 5 600\nu2 i1 end 5 600 8 300\n", "0.5 u1 u2\n", {veeshape}},
      {vee + "u1 begin i1 2 300 5 600\nu2 begin i1 8 300 5 600\n", "0.5 u1 u2\n", {veeshape}},
      // no shared point: both used backward
      {"i1 3 600\ni2 7 600\nu1 i1 end 3 600 3 300\nu2 i2 end 7 600 7 900\n", "0.5 u1 u2\n",
       {"rgb(127,127,127) 198.00 504.00, 198.00 274.00, 382.00 274.00, 198.00 504.00"}},
      // three ends on the frame are not four: still the joint at points,
      // so both backward
      {"i1 3 600\nu1 i1 end 3 600 3 300\nu2 begin end 7 300 7 900\n", "0.5 u1 u2\n",
       {"rgb(127,127,127) 198.00 504.00, 198.00 274.00, 382.00 504.00, 198.00 504.00"}},
      // all four ends on the frame: the second line turned by the edges
      // the ends share, or else by the nearer end
      {"u1 begin end 2 300 2 900\nu2 begin end 8 300 8 900\n", "0.5 u1 u2\n", {box}},
      {"u1 begin end 2 300 2 900\nu2 begin end 8 900 8 300\n", "0.5 u1 u2\n", {box}},
      {"u1 begin end 2 300 2 900\nu2 begin end -1 500 11 500\n", "0.5 u1 u2\n", {ell}},
      {"u1 begin end 2 300 2 900\nu2 begin end 11 500 -1 500\n", "0.5 u1 u2\n", {ell}},
  };
  for (const row& r : rows) check(r);
}

TEST(DrawingFill, RingsAndWalks) {
  const std::string triangle = "i1 2 500\ni2 8 500\ni3 5 700\nu1 i1 i2 connect\nu3 i3 i1 connect\n";
  const std::string ring = "rgb(127,127,127) 152.00 389.00, 428.00 389.00, 290.00 159.00, 152.00 389.00";
  const std::string rectangle =
      "rgb(127,127,127) 198.00 504.00, 198.00 274.00, 382.00 274.00, 382.00 504.00, 198.00 504.00";
  const row rows[] = {
      // each joint once, the first point again at the end
      {triangle + "u2 i2 i3 connect\n", "0.5 u1 u2 u3\n", {ring}},
      {triangle + "u2 i3 i2 connect\n", "0.5 u1 u2 u3\n", {ring}},
      // two lines to the bottom edge joined by a third, and the walk back
      {"i1 3 600\ni2 7 600\nu1 i1 end 3 600 3 300\nu2 i1 i2 connect\nu3 i2 end 7 600 7 300\n", "0.5 u1 u2 u3\n",
       {rectangle}},
      // the first two lines leave one point, the third cuts the corner
      // between their free ends: the first taken backward to the point
      {"i1 5 600\nu1 i1 end 5 600 5 300\nu2 i1 end 5 600 15 600\nu3 begin end 11 550 7 350\n", "0.5 u1 u2 u3\n",
       {"rgb(127,127,127) 290.00 504.00, 290.00 274.00, 520.00 274.00, 520.00 389.00, 428.00 504.00, 290.00 504.00"}},
      // from the frame to the frame by the first line's free end
      {"i1 3 500\nu1 i1 end 3 500 3 300\nu2 begin end 6 300 6 900\nu3 i1 end 3 500 3 900\n", "0.5 u1 u2 u3\n",
       {"rgb(127,127,127) 198.00 389.00, 198.00 504.00, 336.00 504.00, 336.00 44.00, 198.00 44.00, 198.00 389.00"}},
  };
  for (const row& r : rows) check(r);
}

// Lines that do not join: the area's polygon is closed with what it has,
// and the bullet line tells terminal, summary and log.
// A line from edge to edge beside one from an invariant point to another
// edge: the free line is taken from its end nearer to the other line's
// free end, however either was written. i1 (5, 600) to the bottom and to
// the top, the free line from the left edge (0, 700) to the top (1, 800).
TEST(DrawingFill, FreeLineTurnedByTheNearerEnd) {
  const std::string down = "i1 5 600\nu1 i1 end 5 600 5 300\n", up = "u3 i1 end 5 600 5 900\n";
  const std::string downback = "i1 5 600\nu1 begin i1 5 300 5 600\n";
  const std::string leftfirst = "u2 begin end -1 600 3 1000\n", topfirst = "u2 begin end 3 1000 -1 600\n";
  const std::string fromi1 =
      "rgb(127,127,127) 290.00 274.00, 290.00 504.00, 60.00 504.00, 60.00 159.00, 106.00 44.00, 290.00 44.00, "
      "290.00 274.00";
  const std::string fromtop =
      "rgb(127,127,127) 106.00 44.00, 60.00 159.00, 60.00 504.00, 290.00 504.00, 290.00 274.00, 290.00 44.00, "
      "106.00 44.00";
  const row rows[] = {
      {down + leftfirst + up, "0.5 u1 u2 u3\n", {fromi1}},
      {down + topfirst + up, "0.5 u1 u2 u3\n", {fromi1}},
      {downback + leftfirst + up, "0.5 u1 u2 u3\n", {fromi1}},
      {downback + topfirst + up, "0.5 u1 u2 u3\n", {fromi1}},
      {down + leftfirst + up, "0.5 u2 u1 u3\n", {fromtop}},
      {down + topfirst + up, "0.5 u2 u1 u3\n", {fromtop}},
      {downback + leftfirst + up, "0.5 u2 u1 u3\n", {fromtop}},
      {downback + topfirst + up, "0.5 u2 u1 u3\n", {fromtop}},
  };
  for (const row& r : rows) check(r);
}

TEST(DrawingFill, LinesThatDoNotJoin) {
  const std::string points = "i1 2 500\ni2 4 500\ni3 6 500\ni4 8 500\ni5 8 700\n";
  const std::string third = "u3 begin end 1 700 2 750\n";
  const std::string started = " 152.00 389.00, 244.00 389.00";
  const struct {
    std::string lines;
    std::string message;
    std::string points;
  } rows[] = {
      {"u1 i1 i2 connect\nu2 i3 i4 connect\n" + third, "something funny with area 1: can't get started (1)", ""},
      {"u1 i1 i2 connect\nu2 i3 end 6 500 6 600\n" + third, "something funny with area 1: can't get started (2)", ""},
      {"u1 i1 i2 connect\nu2 begin i3 6 700 6 600\n" + third, "something funny with area 1: can't get started (3)",
       ""},
      {"u1 i1 end 2 500 2 600\nu2 i3 i4 connect\n" + third, "something funny with area 1: can't get started (4)",
       ""},
      {"u1 begin i2 4 700 4 600\nu2 i3 i4 connect\n" + third, "something funny with area 1: can't get started (5)",
       ""},
      {"u1 begin end 3 600 4 650\nu2 i3 i4 connect\n" + third, "something funny with area 1: can't get started (6)",
       ""},
      {"u1 i1 i2 connect\nu2 begin end 6 600 7 650\n" + third, "something funny with area 1: can't get started (7)",
       ""},
      {"u1 begin end 3 600 4 650\nu2 begin end 6 600 7 650\n" + third,
       "something funny with area 1: can't get started (8)", ""},
      {"u1 i1 i2 connect\nu2 i2 i3 connect\nu3 i4 i5 connect\n", "something funny (1) with area 1 looking at line u3",
       started},
      {"u1 i1 i2 connect\nu2 i2 i3 connect\nu3 i4 end 8 500 8 600\n",
       "something funny (2) with area 1 looking at line u3", started},
      {"u1 i1 i2 connect\nu2 i2 i3 connect\nu3 begin i4 8 700 8 600\n",
       "something funny (3) with area 1 looking at line u3", started},
      {"u1 i1 i2 connect\nu2 i2 i3 connect\nu3 begin end 8 600 8 650\n",
       "something funny (4) with area 1 looking at line u3", started},
      {"u1 i1 i2 connect\nu2 i2 end 4 500 4 600\nu3 i4 i5 connect\n",
       "something funny (5) with area 1 looking at line u3", started},
  };
  for (const auto& r : rows) {
    Drawing d;
    testsupport::openchannel(2, "jx-t-o.txt");
    // The next area is drawn as usual.
    const shapes got =
        draw(d, qk(points + r.lines + "u9 begin end 3 300 3 900\n", window, "0.5 u1 u2 u3\n0.5 u9\n"));
    const std::string bullet = "\xE2\x80\xA2 " + r.message + "\n";
    EXPECT_EQ(got, (shapes{"rgb(127,127,127)" + r.points,
                           "rgb(127,127,127) 198.00 504.00, 198.00 44.00, 60.00 44.00, 60.00 504.00, 198.00 504.00"}))
        << r.lines;
    EXPECT_TRUE(areatest::has(d.term.text(), bullet)) << r.lines << d.term.text();
    EXPECT_TRUE(areatest::has(d.log(), bullet)) << r.lines;
    IO::FLUSHER();
    EXPECT_TRUE(areatest::has(d.dir.read("jx-t-o.txt"), bullet)) << r.lines;
  }
}

TEST(DrawingFill, LinesOutsideTheWindow) {
  const std::string vee = "i1 5 600\nu1 i1 end 5 600 2 300\nu9 begin end 20 500 30 500\nu2 i1 end 5 600 8 300\n";
  Drawing d;
  EXPECT_EQ(draw(d, qk(vee, window, "0.5 u1 u9 u2\n0.2 u9\n")),
            shapes{"rgb(127,127,127) 198.00 504.00, 290.00 274.00, 382.00 504.00, 198.00 504.00"});
  // The line outside no longer counts; an area of such lines alone is left out.
  const ZQPLTX::atype& a = ZQPLTX::AREA[1];
  EXPECT_EQ(a.nbound, 2);
  EXPECT_EQ(a.boundnames[2], "u2");
  EXPECT_EQ(a.boundindex[2], 3);
  EXPECT_EQ(ZQPLTX::AREA[2].nbound, 0);

  Drawing e;
  EXPECT_EQ(e.plot(qk(vee, window, "0.5 u1 u7\n")), "which line: not recognised: u7");
}

TEST(DrawingFill, FourFieldsFoundOrGiven) {
  const shapes want = {
      "rgb(172,172,172) 290.00 66.00, 290.00 296.00, 520.00 296.00, 520.00 66.00, 290.00 66.00",
      "rgb(242,242,242) 290.00 66.00, 290.00 296.00, 60.00 296.00, 60.00 66.00, 290.00 66.00",
      "rgb(172,172,172) 60.00 296.00, 290.00 296.00, 290.00 526.00, 60.00 526.00, 60.00 296.00",
      "rgb(102,102,102) 290.00 526.00, 290.00 296.00, 520.00 296.00, 520.00 526.00, 290.00 526.00",
  };
  Drawing d;
  EXPECT_EQ(draw(d, fixture("qk-fourareas.txt")), want);
  // The analysis writes nothing on the terminal but the closing report.
  EXPECT_EQ(d.term.text().find("plotix running"), 1u) << d.term.text();

  std::string given = fixture("qk-fourfield.txt");
  given.replace(given.find("areas no\n"), 9, "");
  given.replace(given.find("*\n*\n"), 4, "*\n0.675 u1 u4\n0.95 u1 u2\n0.675 u2 u3\n0.4 u3 u4\n*\n");
  Drawing e;
  EXPECT_EQ(draw(e, given), want);
}

TEST(DrawingFill, FrameWalk) {
  // The way from the end of one line to the end of another along the frame.
  Drawing d;
  const std::string file = qk(
      "u1 begin end 2 300 2 900\n"     // bottom (2, 400) to top (2, 800)
      "u2 begin end 8 300 8 900\n"     // bottom (8, 400) to top (8, 800)
      "u3 begin end -1 500 11 500\n"   // left (0, 500) to right (10, 500)
      "u4 begin end -1 700 11 700\n",  // left (0, 700) to right (10, 700)
      window);
  ASSERT_EQ(d.network(file), "");
  ZQPLTX::SVGSETUP();
  const struct {
    smallint l1, e1, l2, e2;
    std::string way;
  } rows[] = {
      {1, 1, 3, 1, "60.00 504.00|60.00 389.00"},
      {1, 1, 3, 2, "520.00 504.00|520.00 389.00"},
      {1, 2, 3, 1, "60.00 44.00|60.00 389.00"},
      {1, 2, 4, 2, "520.00 44.00|520.00 159.00"},
      // bottom and top: along the side nearer to the ends' mean x, the
      // right one from the middle on
      {1, 1, 1, 2, "60.00 504.00|60.00 44.00|152.00 44.00"},
      {2, 1, 2, 2, "520.00 504.00|520.00 44.00|428.00 44.00"},
      {1, 1, 2, 2, "520.00 504.00|520.00 44.00|428.00 44.00"},
      {1, 2, 1, 1, "60.00 44.00|60.00 504.00|152.00 504.00"},
      {2, 2, 2, 1, "520.00 44.00|520.00 504.00|428.00 504.00"},
      // left and right: along top or bottom by the ends' mean y, the
      // bottom one from the middle on
      {3, 1, 3, 2, "60.00 504.00|520.00 504.00|520.00 389.00"},
      {4, 1, 4, 2, "60.00 44.00|520.00 44.00|520.00 159.00"},
      {3, 2, 3, 1, "520.00 504.00|60.00 504.00|60.00 389.00"},
      {4, 2, 4, 1, "520.00 44.00|60.00 44.00|60.00 159.00"},
      {4, 2, 3, 1, "520.00 504.00|60.00 504.00|60.00 389.00"},
      // the same edge, or an end not on the frame: straight there
      {1, 1, 2, 1, "428.00 504.00"},
  };
  for (const auto& r : rows) {
    IO::FLUSHER();
    const std::size_t before = d.svg().size();
    ZQPLTX::DRAWEDGE(r.l1, r.e1, r.l2, r.e2);
    std::string way = d.svg().substr(before);
    std::string joined;
    std::istringstream in(way);
    for (std::string line; std::getline(in, line);) {
      const std::size_t b = line.find_first_not_of(' ');
      if (b != std::string::npos) joined += (joined.empty() ? "" : "|") + line.substr(b);
    }
    EXPECT_EQ(joined, r.way) << r.l1 << "." << r.e1 << " to " << r.l2 << "." << r.e2;
  }
  // Distances in window units: across the window is 1 each way.
  EXPECT_NEAR(static_cast<double>(ZQPLTX::DISTANCE(3, 1, 3, 2)), 1.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(ZQPLTX::DISTANCE(1, 1, 4, 2)), std::sqrt(0.64 + 0.5625), 1e-15);
}

// One invariant point with four lines to the frame, the fields found by the
// analysis. Every point of the window must lie in exactly one field's
// polygon: an even-odd point-in-polygon count over a grid of picture points,
// made apart from the frame walk. A field whose polygon took the wrong way
// round the frame covers its neighbours and leaves its own corners white.
// Each field spans less than half a turn at the point, as fields at an
// invariant point do. The point and the line ends are in window units
// 0..1 each way (x 0..10, y 400..800 of the file).
std::string fourlines(double x, double y, const double (&ends)[4][2]) {
  // going round the point: a b d - c, a b c - d, a b - c, a b - d
  const char* heads[4] = {"u1 a b d - c", "u2 a b c - d", "u3 a b - c", "u4 a b - d"};
  std::ostringstream f;
  f << std::setprecision(17) << "i1 a b - c d invariant " << 10 * x << " " << 400 + 400 * y << "\n";
  for (int k = 0; k < 4; ++k)
    f << heads[k] << " i1 end " << 10 * x << " " << 400 + 400 * y << " " << 10 * ends[k][0] << " "
      << 400 + 400 * ends[k][1] << "\n";
  return qk(f.str(), window + "analyse\n");
}

// "" when every grid point is in exactly one polygon, else the first that is not.
std::string coverage(const shapes& got) {
  std::vector<std::vector<std::pair<double, double>>> polys;
  for (const std::string& s : got) {
    std::istringstream in(s.substr(s.find(')') + 1));
    std::vector<std::pair<double, double>> p;
    double x = 0, y = 0;
    char comma = 0;
    while (in >> x >> y) {
      p.emplace_back(x, y);
      in >> comma;
    }
    polys.push_back(p);
  }
  for (int i = 0; i < 60; ++i) {
    for (int j = 0; j < 60; ++j) {
      const double x = 60 + (i + 0.5037) * 460 / 60, y = 44 + (j + 0.4961) * 460 / 60;
      int n = 0;
      for (const auto& p : polys) {
        bool in = false;
        for (std::size_t a = 0, b = p.size() - 1; a < p.size(); b = a++)
          if ((p[a].second > y) != (p[b].second > y) &&
              x < p[a].first + (y - p[a].second) * (p[b].first - p[a].first) / (p[b].second - p[a].second))
            in = !in;
        n += in;
      }
      if (n != 1) return "(" + std::to_string(x) + ", " + std::to_string(y) + ") in " + std::to_string(n);
    }
  }
  return "";
}

TEST(DrawingFill, FieldsAroundAPointCoverTheWindow) {
  const struct {
    double x, y;
    double ends[4][2];
  } rows[] = {
      // bottom (0.7) and top (0.35) with the field on the left, away from their mean x
      {0.8, 0.4, {{0.35, 1}, {1.2, 1.275}, {1.2, -0.1}, {0.7, 0}}},
      // bottom and left, the field holding the three far corners
      {0.1, 0.1, {{0, 0.3}, {0, 0.1375}, {0, 0.025}, {0.3, 0}}},
      // left (0.7) and right (0.75) with the field below, away from their mean y
      {0.5, 0.8, {{1, 0.75}, {0.8, 1}, {0.3, 1}, {0, 0.7}}},
  };
  for (const auto& r : rows) {
    Drawing d;
    const shapes got = draw(d, fourlines(r.x, r.y, r.ends));
    EXPECT_EQ(got.size(), 4u);
    EXPECT_EQ(coverage(got), "") << fourlines(r.x, r.y, r.ends);
  }

  // Random drawings: the point anywhere but near the frame, the lines going
  // round it either way.
  std::mt19937 gen(67118);
  auto u = [&] { return gen() / 4294967296.0; };
  const double pi = std::acos(-1.0);
  for (int n = 0; n < 100; ++n) {
    const double x = 0.1 + 0.8 * u(), y = 0.1 + 0.8 * u();
    double a[4];
    for (bool ok = false; !ok;) {
      for (double& v : a) v = 2 * pi * u();
      std::sort(a, a + 4);
      ok = true;
      for (int k = 0; k < 4; ++k) {
        const double gap = k < 3 ? a[k + 1] - a[k] : a[0] + 2 * pi - a[3];
        ok = ok && gap > 0.05 * pi && gap < 0.95 * pi;
      }
    }
    const int turn = static_cast<int>(4 * u()), way = u() < 0.5 ? 1 : 3;
    double ends[4][2];
    for (int k = 0; k < 4; ++k) {
      const double t = a[(turn + way * k) % 4];
      ends[k][0] = x + 3 * std::cos(t);
      ends[k][1] = y + 3 * std::sin(t);
    }
    Drawing d;
    const shapes got = draw(d, fourlines(x, y, ends));
    EXPECT_EQ(got.size(), 4u);
    EXPECT_EQ(coverage(got), "") << "drawing " << n << "\n" << fourlines(x, y, ends);
  }
}

}  // namespace
