// The areas that the topology analysis finds: which line sides make an
// area, the order of its bounding lines, variance, grey level, label and
// its place, the log lists, and the stops.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "zqpltx_areatestsupport.h"

using areatest::fourfield;
using drawtest::Drawing;
using drawtest::qk;

namespace {

std::vector<std::string> bounds(long k) {
  std::vector<std::string> names;
  const ZQPLTX::atype& a = ZQPLTX::AREA[k];
  for (long j = 1; j <= a.nbound; ++j) {
    names.push_back(a.boundnames[j]);
    EXPECT_EQ(drawtest::line(a.boundindex[j]).name, a.boundnames[j]);
  }
  return names;
}

// The file with another system size in its header.
std::string system(int nsys, const std::string& file) { return "2 " + std::to_string(nsys) + file.substr(3); }

areatest::outcome findareas(Drawing& d, const std::string& file) {
  return areatest::run(d, file, [] { ZQPLTX::FINDAREAS(); });
}

TEST(DrawingAreas, FourFields) {
  Drawing d;
  const areatest::outcome o = areatest::run(d, qk(fourfield), [] { ZQPLTX::ANALYSIS(); });
  EXPECT_EQ(o.end, "");
  EXPECT_EQ(d.term.text(), "");
  ASSERT_EQ(ZQPLTX::NA, 4);
  const struct {
    std::vector<std::string> lines;
    double grey;
    smallint variance;
    double x, y;
  } want[] = {
      {{"u1", "u4"}, 0.675, 3, 20.0 / 3, 2000.0 / 3},
      {{"u1", "u2"}, 0.95, 2, 10.0 / 3, 2000.0 / 3},
      {{"u2", "u3"}, 0.675, 3, 10.0 / 3, 1600.0 / 3},
      {{"u3", "u4"}, 0.4, 4, 20.0 / 3, 1600.0 / 3},
  };
  for (long k = 1; k <= 4; ++k) {
    const ZQPLTX::atype& a = ZQPLTX::AREA[k];
    EXPECT_EQ(bounds(k), want[k - 1].lines) << k;
    EXPECT_NEAR(a.grayscale, want[k - 1].grey, 1e-15) << k;
    EXPECT_EQ(a.variance, want[k - 1].variance) << k;
    EXPECT_NEAR(static_cast<double>(a.labelx), want[k - 1].x, 1e-12) << k;
    EXPECT_NEAR(static_cast<double>(a.labely), want[k - 1].y, 1e-12) << k;
    EXPECT_EQ(a.order, k);
  }
  // Each line lies between the area without its zero phase and the one with it.
  const smallint sides[][2] = {{1, 2}, {3, 2}, {4, 3}, {4, 1}};
  for (long i = 1; i <= 4; ++i) {
    EXPECT_EQ(drawtest::line(i).area1, sides[i - 1][0]) << i;
    EXPECT_EQ(drawtest::line(i).area2, sides[i - 1][1]) << i;
  }
  EXPECT_TRUE(areatest::has(d.log(),
                            "\n\narea info determined in analysis (in excess: none)\n\n"
                            " 1) {6.67, 666.67}:     a b d                     u1 u4 \n"
                            " 2) {3.33, 666.67}:     a b d c                   u1 u2 \n"
                            " 3) {3.33, 533.33}:     a b c                     u2 u3 \n"
                            " 4) {6.67, 533.33}:     a b                       u3 u4 \n"
                            "\narea colouring info\n"
                            "\n% divariant\n"
                            "  0.95  u1 u2                 % a b d c \n"
                            "\n% trivariant\n"
                            "  0.68  u1 u4                 % a b d \n"
                            "  0.68  u2 u3                 % a b c \n"
                            "\n% quadrivariant\n"
                            "  0.40  u3 u4                 % a b \n"))
      << d.log();
}

TEST(DrawingAreas, OrderRoundTheArea) {
  const std::string square =
      "i1 2 500\ni2 8 500\ni3 8 700\ni4 2 700\n"
      "u1 a b - c i1 i2 connect\nu2 a b - c i2 i3 connect\n";
  const std::string triangle = "i1 2 500\ni2 8 500\ni3 5 700\n"
                               "u1 a b - c i1 i2 connect\nu2 a b - c i2 i3 connect\nu3 a b - c i3 i1 connect\n";
  struct row {
    std::string records;
    std::vector<std::string> order;
  };
  const row rows[] = {
      // a closed ring is walked from the first line's begin point
      {square + "u3 a b - c i3 i4 connect\nu4 a b - c i4 i1 connect\n", {"u1", "u4", "u3", "u2"}},
      // a closed triangle keeps the order it was found in
      {triangle, {"u1", "u2", "u3"}},
      // reaching the edge twice, from one line at the edge to the other
      {"i1 3 500\ni2 7 500\nu1 a b - c i1 i2 connect\nu2 a b - c i2 end 7 500 7 300\n"
       "u3 a b - c i1 end 3 500 3 300\n",
       {"u2", "u1", "u3"}},
      // reaching the edge twice through two lines that end apart inside:
      // the start is the line at the edge, not the one ending inside
      {"i1 3 500\ni2 7 500\nu2 a b - c i1 end 3 500 5 600\nu1 a b - c begin i1 3 300 3 500\n"
       "u5 a b - c begin i2 5 600 7 500\nu3 a b - c i2 end 7 500 7 300\n",
       {"u1", "u2", "u5", "u3"}},
      // four edge ends: left as found
      {"u1 a b - c begin end 2 300 2 900\nu2 a b - c begin end 8 300 8 900\n", {"u1", "u2"}},
  };
  for (const row& r : rows) {
    Drawing d;
    EXPECT_EQ(findareas(d, qk(r.records)).end, "") << r.records;
    EXPECT_EQ(bounds(1), r.order) << r.records;
  }

  // The label weighs the two points on the edge double.
  Drawing d;
  findareas(d, qk(rows[2].records));
  EXPECT_NEAR(static_cast<double>(ZQPLTX::AREA[1].labelx), 5.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(ZQPLTX::AREA[1].labely), 450.0, 1e-12);
}

TEST(DrawingAreas, OrderingStops) {
  struct row {
    std::string records;
    std::string end;
    std::string listed;
  };
  const row rows[] = {
      {std::string(fourfield).substr(0, std::string(fourfield).find("u4")), "analyse: area only hits edge odd times",
       "1):      a     b     d"},
      // a lone line from the frame to the frame bounds its area with the frame
      {"u1 a b - c begin end -1 500 11 500\n", "", ""},
      {"i1 2 500\ni2 8 500\ni3 8 700\ni4 2 700\ni5 5 750\n"
       "u1 a b - c i1 i2 connect\nu2 a b - c i2 i3 connect\nu3 a b - c i3 i5 connect\nu4 a b - c i4 i1 connect\n",
       "analyse: stuffup in ordering", "area 1) connection not found\n"},
  };
  for (const row& r : rows) {
    Drawing d;
    const areatest::outcome o = findareas(d, qk(r.records));
    EXPECT_EQ(o.end, r.end) << r.records;
    EXPECT_EQ(o.listed, r.listed) << r.records;
  }
}

TEST(DrawingAreas, VarianceHeadings) {
  struct row {
    int nsys;
    std::vector<std::string> headings;
  };
  const row rows[] = {
      {4, {"% divariant", "% trivariant", "% quadrivariant"}},
      {5, {"% trivariant", "% quadrivariant", "% 5-variant"}},
      {7, {"% 5-variant", "% 6-variant", "% 7-variant"}},
  };
  for (const row& r : rows) {
    Drawing d;
    EXPECT_EQ(findareas(d, system(r.nsys, qk(fourfield))).end, "");
    const std::string log = d.log();
    std::size_t at = 0;
    for (const std::string& h : r.headings) {
      const std::size_t next = log.find("\n" + h + "\n", at);
      EXPECT_NE(next, std::string::npos) << h << "\n" << log;
      at = next == std::string::npos ? at : next + 1;
    }
    EXPECT_EQ(ZQPLTX::AREA[2].variance, r.nsys - 2);
  }
}

TEST(DrawingAreas, Labels) {
  struct row {
    std::string control;
    std::string heading;
    std::string label2;  // the label of the field a b d c
  };
  const std::string window = "window 0 10 400 800\nbigticks 0 0 0 0\n";
  const row rows[] = {
      {"", "(in excess: none)", "a b d c "},
      {"inexcess a\n", "(in excess: a )", "a b d c "},
      // the order's sequence; phases it does not name are left out
      {"phaseorder d b a\n", "(in excess: none)", "d b a "},
      {"phaseorder d b a\ninexcess a\n", "(in excess: a )", "d b "},
  };
  for (const row& r : rows) {
    Drawing d;
    EXPECT_EQ(findareas(d, qk(fourfield, window + r.control)).end, "");
    EXPECT_TRUE(areatest::has(d.log(), "area info determined in analysis " + r.heading + "\n")) << r.control;
    EXPECT_EQ(ZQPLTX::AREA[2].label, r.label2) << r.control;
    EXPECT_TRUE(areatest::has(d.log(), "% " + r.label2 + "\n")) << r.control;
  }
}

// A line drawn from the frame into the point bounds its fields as one
// drawn out of it: the labels stay where they are, whichever lines of the
// four-field file are turned round.
TEST(DrawingAreas, LabelsDoNotDependOnALinesDirection) {
  const std::vector<std::pair<std::string, std::string>> turned = {
      {"u1 a b d - c i1 end 5 600 5 900\n", "u1 a b d - c begin i1 5 900 5 600\n"},
      {"u2 a b c - d i1 end 5 600 -5 600\n", "u2 a b c - d begin i1 -5 600 5 600\n"},
      {"u3 a b - c i1 end 5 600 5 300\n", "u3 a b - c begin i1 5 300 5 600\n"},
      {"u4 a b - d i1 end 5 600 15 600\n", "u4 a b - d begin i1 15 600 5 600\n"}};
  const double want[][2] = {{20.0 / 3, 2000.0 / 3}, {10.0 / 3, 2000.0 / 3}, {10.0 / 3, 1600.0 / 3}, {20.0 / 3, 1600.0 / 3}};
  for (std::size_t n = 1; n <= turned.size(); ++n) {
    SCOPED_TRACE(n);
    std::string file = fourfield;
    for (std::size_t i = 0; i < n; ++i) {
      const auto& [out, in] = turned[i];
      ASSERT_NE(file.find(out), std::string::npos);
      file.replace(file.find(out), out.size(), in);
    }
    Drawing d;
    EXPECT_EQ(areatest::run(d, qk(file), [] { ZQPLTX::ANALYSIS(); }).end, "");
    ASSERT_EQ(ZQPLTX::NA, 4);
    for (long k = 1; k <= 4; ++k) {
      EXPECT_NEAR(static_cast<double>(ZQPLTX::AREA[k].labelx), want[k - 1][0], 1e-12) << k;
      EXPECT_NEAR(static_cast<double>(ZQPLTX::AREA[k].labely), want[k - 1][1], 1e-12) << k;
    }
  }
}

TEST(DrawingAreas, OddCases) {
  {
    // One line: a single pass gives a single area; its other side has
    // none. With one phase count only, the grey is that of the highest
    // variance.
    Drawing d;
    EXPECT_EQ(findareas(d, qk("u1 a b - c begin end 3 500 6 700\n")).end, "");
    ASSERT_EQ(ZQPLTX::NA, 1);
    EXPECT_EQ(ZQPLTX::AREA[1].grayscale, 0.4);
    EXPECT_EQ(drawtest::line(1).area1, 1);
    EXPECT_EQ(drawtest::line(1).area2, 0);
  }
  {
    // Labels far down a chemical-potential axis are still listed from the
    // top down.
    Drawing d;
    const std::string file = qk("u1 a b - c begin end 3 -300 6 -250\nu2 a b - d begin end 3 -350 6 -380\n",
                                "window 0 10 -400 -200\nbigticks 0 0 0 0\n");
    EXPECT_EQ(findareas(d, file).end, "");
    ASSERT_EQ(ZQPLTX::NA, 2);
    EXPECT_EQ(ZQPLTX::AREA[2].order, 1);
    EXPECT_EQ(ZQPLTX::AREA[1].order, 2);
    EXPECT_TRUE(areatest::has(d.log(), "\n 1) {4.50, -275.00}:    a b c                     u1 \n"
                                       " 2) {4.50, -320.00}:    a b                       u1 u2 \n"))
        << d.log();
  }
  {
    // No line inside the window: the heading, no rows, the title alone.
    Drawing d;
    EXPECT_EQ(findareas(d, qk("u1 a b - c begin end 20 500 30 600\n")).end, "");
    EXPECT_EQ(ZQPLTX::NA, 0);
    const std::string log = d.log();
    EXPECT_EQ(log.substr(log.find("\narea info")),
              "\narea info determined in analysis (in excess: none)\n\n\narea colouring info\n");
  }
  {
    // A label of any length is whole, in the area and in the log's list.
    std::string phases;
    std::string record = "u1";
    for (int k = 1; k <= 19; ++k) {
      const std::string name = "p" + std::string(k < 10 ? "0" : "") + std::to_string(k) + std::string(19, 'x');
      phases += name + " ";
      record += (k % 5 == 0 ? "\n" : " ") + name;  // the reader takes lines of 255 characters
    }
    Drawing d;
    EXPECT_EQ(findareas(d, qk(record + " - z begin end 3 500 6 700\n")).end, "");
    EXPECT_EQ(ZQPLTX::AREA[1].label, phases);
    EXPECT_NE(d.log().find(" 1) {4.50, 600.00}:     " + phases), std::string::npos) << d.log();
  }
}

TEST(DrawingAreas, Limits) {
  auto lines = [](int n, const std::string& pattern) {
    std::string s;
    for (int k = 1; k <= n; ++k) {
      std::string l = pattern;
      for (std::size_t at; (at = l.find('#')) != std::string::npos;) l.replace(at, 1, std::to_string(k));
      s += l;
    }
    return s;
  };
  std::string twenty;
  for (int k = 1; k <= 20; ++k) twenty += "p" + std::to_string(k) + " ";
  struct row {
    std::string records;
    std::string end;
  };
  const row rows[] = {
      {lines(401, "u# a - b begin end 1 500 2 600\n"), "analyse: too many line"},
      {lines(301, "u# p# - z# begin end 1 500 2 600\n"), "analyse: too many areas: max = 300"},
      {lines(16, "u# a - b begin end 1 500 2 600\n"), "analyse: too many lines bounding area 1: max = 15"},
      {"u1 " + twenty + "- z begin end 1 500 2 600\n", "analyse: too many phases with the zero of u1: max = 20"},
      // right at the limits
      {lines(15, "u# a - b begin end 1 500 2 600\n"), ""},
      {lines(300, "u# p# - z# begin end 1 500 2 600\n"), ""},
  };
  for (const row& r : rows) {
    Drawing d;
    EXPECT_EQ(findareas(d, qk(r.records)).end, r.end) << r.records.substr(0, 80);
  }
}

// A point on the frame is where the areas beside it meet the frame: one
// line there bounds such an area alone, or starts the walk round it; an
// area that reaches the point by two lines only passes through it. The
// label weighs the two places on the frame double, as for edges.
TEST(DrawingAreas, PointsOnTheFrameAreWhereAreasMeetIt) {
  // i1 on the bottom edge; u1 and u2 go up to the top edge at x 3 and 7,
  // u3 and u4 run out below and have no points in the window
  Drawing d;
  EXPECT_EQ(findareas(d, qk("i1 5 400\nu1 a b d - c i1 end 5 400 1 1200\nu2 a b c - d i1 end 5 400 9 1200\n"
                            "u3 a b - c i1 end 5 400 1 0\nu4 a b - d i1 end 5 400 9 0\n"))
                .end,
            "");
  ASSERT_EQ(ZQPLTX::NA, 3);
  const std::vector<std::string> want[] = {{"u1"}, {"u1", "u2"}, {"u2"}};
  // (5 400) (3 800) each twice; (5 400) (3 800) (5 400) (7 800) with the
  // two on the top edge twice; (5 400) (7 800) each twice
  const double label[][2] = {{4, 600}, {5, 4000.0 / 6}, {6, 600}};
  for (long k = 1; k <= 3; ++k) {
    EXPECT_EQ(bounds(k), want[k - 1]) << k;
    EXPECT_NEAR(static_cast<double>(ZQPLTX::AREA[k].labelx), label[k - 1][0], 1e-12) << k;
    EXPECT_NEAR(static_cast<double>(ZQPLTX::AREA[k].labely), label[k - 1][1], 1e-12) << k;
  }

  // i4 on the bottom edge ends u6 alone: the walk starts there, goes on
  // through i2 and i3 and ends at the top edge. Sums of the ends with i4
  // (8 400) and the top end (6 800) twice: x 50 / 8, y 5000 / 8.
  Drawing e;
  EXPECT_EQ(findareas(e, qk("i2 5 600\ni3 6 700\ni4 8 400\nu5 x y - z i2 i3 connect\nu6 x y - z i4 i2 connect\n"
                            "u7 x y - z i3 end 6 700 6 1000\n"))
                .end,
            "");
  ASSERT_EQ(ZQPLTX::NA, 2);
  for (long k = 1; k <= 2; ++k) {
    EXPECT_EQ(bounds(k), (std::vector<std::string>{"u6", "u5", "u7"})) << k;
    EXPECT_NEAR(static_cast<double>(ZQPLTX::AREA[k].labelx), 6.25, 1e-12) << k;
    EXPECT_NEAR(static_cast<double>(ZQPLTX::AREA[k].labely), 625.0, 1e-12) << k;
  }

  // The same line from the frame beside a closed ring of the same phases:
  // a field with a hole, which no walk closes.
  Drawing f;
  const areatest::outcome o =
      findareas(f, qk("i1 5 400\ni2 4 600\ni3 6 600\ni5 5 700\nu1 a b - c i1 end 5 400 1 1200\n"
                      "u2 a b - c i2 i3 connect\nu3 a b - c i3 i5 connect\nu4 a b - c i5 i2 connect\n"));
  EXPECT_EQ(o.end, "analyse: stuffup in ordering");
  EXPECT_EQ(o.listed, "area 1) connection not found\n");

  // i1 and i2 on the top edge a unit of their rounding apart, u3 between
  // them along it: two places of the data, so u3 parts the field below it
  // (a c, between u8 and u2) from the one it bounds alone on the frame's
  // side (a c e). A fourth line out of the window gives the analysis its
  // fourth pass.
  Drawing g;
  EXPECT_EQ(findareas(g, qk("i1 5.00 800.00\ni2 5.01 800.00\nu3 a c - e i1 i2 connect\n"
                            "u8 a c - b i1 end 5.00 800.00 1.00 400.00\nu2 a c - d i2 end 5.01 800.00 9.00 400.00\n"
                            "u9 a c - f begin end 20 500 30 600\n"))
                .end,
            "");
  ASSERT_EQ(ZQPLTX::NA, 4);
  const std::vector<std::string> along[] = {{"u8", "u3", "u2"}, {"u3"}, {"u8"}, {"u2"}};
  for (long k = 1; k <= 4; ++k) EXPECT_EQ(bounds(k), along[k - 1]) << k;
}

}  // namespace
