// The control section: switches and sizes, window and tick defaults, the
// lists, and every stop.
#include <gtest/gtest.h>

#include "zqpltx_areatestsupport.h"

using drawtest::Drawing;
using drawtest::qk;

namespace {

const std::string base = "window 0 10 200 800\nbigticks 1 0 60 200\n";

TEST(DrawingControl, NumberAndCircleSizes) {
  struct row {
    const char* lines;
    controlboolean numbering;
    smallint numbersize;
    controlboolean circles;
    smallint circlesize;
  };
  const row rows[] = {
      {"numbering", yes, 4, yes, 0},
      {"numbering 20", yes, 14, yes, 0},
      {"numbering 2", yes, 4, yes, 0},
      {"numbering ask 9", yes, 9, yes, 0},
      {"numbering no 9", no, 0, yes, 0},
      {"numbering 2.5", yes, 4, yes, 0},
      {"numbering 9\ncircles", yes, 9, yes, 4},
      {"numbering 7\ncircles", yes, 7, yes, 4},
      {"numbering 11\ncircles", yes, 11, yes, 6},
      {"circles", no, 0, yes, 1},
      {"circles 12", no, 0, yes, 7},
      {"docircles no", no, 0, no, 0},
      {"circles ask 3", no, 0, yes, 3},
  };
  for (const row& r : rows) {
    Drawing d;
    ASSERT_EQ(d.read(qk("", base + r.lines + "\n")), "") << r.lines;
    EXPECT_EQ(ZQPLTX::CONTROLQK.numbering, r.numbering) << r.lines;
    EXPECT_EQ(ZQPLTX::NUMBERSIZE, r.numbersize) << r.lines;
    EXPECT_EQ(ZQPLTX::CONTROLQK.docircles, r.circles) << r.lines;
    EXPECT_EQ(ZQPLTX::CIRCLESIZE, r.circlesize) << r.lines;
  }
}

TEST(DrawingControl, Switches) {
  Drawing d;
  ASSERT_EQ(d.read(qk("", base + "areas no\nanalyse ask\nsmallticks no\ndarkcolour 10 20 30\nunknown line\n")), "");
  EXPECT_EQ(ZQPLTX::CONTROLQK.doareas, no);
  EXPECT_EQ(ZQPLTX::CONTROLQK.analyse, ask);
  EXPECT_FALSE(ZQPLTX::SETSMALLTICKS);
  EXPECT_EQ(ZQPLTX::CONTROLQK.darkcolour.g, 20.0L);
  Drawing e;
  ASSERT_EQ(e.read(qk("", base + "darkcolour 10 20\n")), "");
  EXPECT_EQ(ZQPLTX::CONTROLQK.doareas, yes);
  EXPECT_EQ(ZQPLTX::CONTROLQK.darkcolour.g, 0.0L);
}

TEST(DrawingControl, TickDefaults) {
  struct row {
    const char* lines;
    extended bigx, startx, bigy, starty, smallx, smally;
  };
  const row rows[] = {
      {"window 0 10 200 800\nbigticks 0 0 0 0", 1, 0, 60, 200, 0, 0},
      {"window 0 10 200 800\nbigticks 2 15 100 300\nsmallticks 0 0", 2, 0, 100, 300, 0.4L, 20},
      {"window 0 10 200 800\nbigticks 2 -1 100 800\nsmallticks 0.5 0", 2, 0, 100, 200, 0.5L, 20},
      // the window of an earlier line holds until a later one replaces it
      {"window 0 10 200 800\nbigticks 0 0 0 0\nwindow 0 20 0 100", 1, 0, 60, 200, 0, 0},
  };
  for (const row& r : rows) {
    Drawing d;
    ASSERT_EQ(d.read(qk("", std::string(r.lines) + "\n")), "") << r.lines;
    EXPECT_EQ(ZQPLTX::BIGXTICK, r.bigx) << r.lines;
    EXPECT_EQ(ZQPLTX::STARTX, r.startx) << r.lines;
    EXPECT_EQ(ZQPLTX::BIGYTICK, r.bigy) << r.lines;
    EXPECT_EQ(ZQPLTX::STARTY, r.starty) << r.lines;
    EXPECT_EQ(ZQPLTX::SMALLXTICK, r.smallx) << r.lines;
    EXPECT_EQ(ZQPLTX::SMALLYTICK, r.smally) << r.lines;
  }
}

TEST(DrawingControl, InfoAndLists) {
  Drawing d;
  ASSERT_EQ(d.read(qk("u1 g opx - q begin end 1 500 2 600\n", base + "info yes a & b\ninfo\nphaseorder g opx\ninexcess q\n")),
            "");
  EXPECT_EQ(ZQPLTX::NINFO, 2);
  EXPECT_EQ(ZQPLTX::INFO[1], " a & b");
  EXPECT_EQ(ZQPLTX::INFO[2], "");
  EXPECT_EQ(ZQPLTX::NPHASEO, 2);
  EXPECT_EQ(ZQPLTX::INEXCESS[1], "q");
  const std::string shown = d.term.text();
  EXPECT_NE(shown.find("order: g opx \n"), std::string::npos);
  EXPECT_NE(shown.find("in excess: q \n"), std::string::npos);
}

TEST(DrawingControl, Stops) {
  struct row {
    std::string lines;
    std::string end;
  };
  std::string eleven;
  for (int k = 1; k <= 11; ++k) eleven += "info line\n";
  const row rows[] = {
      {"window 5 5 0 1\n", "readdata: xhigh must be greater than xlow"},
      {"window 0 1 5 5\n", "readdata: yhigh must be greater than ylow"},
      {"window 0 1 5\n", "readdata: window bad in script (xlow, xhigh, ylow, yhigh needed)"},
      {"bigticks 0 0 0 0\n", "readdata: window script needed (xlow, xhigh, ylow, yhigh)"},
      {"window 0 10 200 800\n", "readdata: bigticks script needed (xtick gap, xstart, ytick gap, ystart)"},
      {"window 0 10 200 800\nbigticks 1 0 x 0\n",
       "readdata: bigticks bad in script (xtick gap, xstart, ytick gap, ystart needed)"},
      {base + "smallticks 1\n", "readdata: small ticks bad in script (xtick gap, ytick gap)"},
      {base + eleven, "script: too much info!!"},
      // gaps the frame could never step across
      {"bigticks 0 0 0 0\nwindow 0 10 200 800\n",
       "readdata: bigticks gap not positive or too small for the window in script (xtick gap, xstart, ytick gap, ystart)"},
      {"window 0 10 200 800\nbigticks 1 0 -5 0\n",
       "readdata: bigticks gap not positive or too small for the window in script (xtick gap, xstart, ytick gap, ystart)"},
      {base + "smallticks -1 1\n", "readdata: smallticks gap not positive or too small for the window in script (xtick gap, ytick gap)"},
      {"window 0 10 400 1e27\nbigticks 1 0 200 400\n",
       "readdata: bigticks gap not positive or too small for the window in script (xtick gap, xstart, ytick gap, ystart)"},
      {"window 1e20 100000000000000000016 0 1\nbigticks 1.6 0 0.1 0\n",
       "readdata: bigticks gap not positive or too small for the window in script (xtick gap, xstart, ytick gap, ystart)"},
      // a list's name no line holds, matched exactly as the labels match
      {base + "phaseorder a b dd\n", "readdata: phaseorder names dd, no phase of the drawing"},
      {base + "phaseorder A b\ninexcess a\n", "readdata: phaseorder names A, no phase of the drawing"},
      {base + "phaseorder c\ninexcess qq\n", "readdata: inexcess names qq, no phase of the drawing"},
  };
  for (const row& r : rows) {
    Drawing d;
    EXPECT_EQ(d.plot(qk(areatest::fourfield, r.lines)), r.end) << r.lines;
    EXPECT_TRUE(d.svg().empty()) << r.lines;
  }
  // A bad gap repaired by a later line is no fault.
  Drawing d;
  EXPECT_EQ(d.read(qk("", "bigticks 0 0 0 0\n" + base + "smallticks -1 1\nsmallticks no\n")), "");
}

}  // namespace
