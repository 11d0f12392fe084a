// The SVG picture: a whole document against its golden copy, safe text,
// and the frame, numbering and circle rules. Every document a test writes
// must be well formed.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "svgcheck.h"
#include "zqpltx_testsupport.h"

using drawtest::Drawing;
using drawtest::qk;

namespace {

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(SOLVARINTH_FIXTURES) + "/drawing/" + name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Draws the file and checks the document; the document, or "" after a stop.
std::string draw(Drawing& d, const std::string& file) {
  const std::string end = d.plot(file);
  if (!end.empty()) {
    ADD_FAILURE() << end << "\n" << file;
    return "";
  }
  const std::string svg = d.svg();
  const svgcheck::result r = svgcheck::check(svg);
  EXPECT_EQ(r.error, "") << svg;
  return svg;
}

bool has(const std::string& svg, const std::string& part) { return svg.find(part) != std::string::npos; }

TEST(DrawingSvg, FourFieldDocument) {
  Drawing d;
  const std::string svg = draw(d, fixture("qk-fourfield.txt"));
  EXPECT_EQ(svg, fixture("jx-fourfield.svg"));
  // The tables go with the run.
  EXPECT_EQ(ZQPLTX::POINT, nullptr);
  EXPECT_EQ(ZQPLTX::LINE, nullptr);
  EXPECT_NE(d.term.text().find("plotix running in SOLVARINTH at 12.00 on Mon 7 Dec,2026\nwith diagram in file, jx-t.svg\n"),
            std::string::npos);
}

TEST(DrawingSvg, TextIsEscaped) {
  Drawing d;
  const std::string file = qk("i1 5 600\nu2&3 begin end 1 500 9 700\n",
                              "window 0 10 400 800\nbigticks 0 0 0 0\nnumbering\n"
                              "info a & b <c>\ninfo 20\xA1 \xC3\xA9t\xE9\n");
  const std::string svg = draw(d, file);
  const svgcheck::result r = svgcheck::check(svg);
  ASSERT_GE(r.texts.size(), 3u);
  EXPECT_EQ(r.texts[1], "  a & b <c> ");
  // A byte of the one-byte set becomes its UTF-8; UTF-8 already stays.
  EXPECT_EQ(r.texts[2], "  20\xC2\xB0 \xC3\xA9t\xC3\x88 ");
  EXPECT_TRUE(has(svg, ">2&amp;3</text>"));
  // The style line stays as it is: a ";" after the family would let its
  // 16px override the numbers' size.
  EXPECT_TRUE(has(svg, "font-family:Helvetica,sans-serif font-size:16px;}"));
}

TEST(DrawingSvg, FrameAndLabels) {
  struct row {
    const char* control;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  };
  const row rows[] = {
      // no info lines: a smaller page, the name line alone at 32
      {"window 0 10 400 800\nbigticks 2.5 0 100 400\n",
       {"viewBox=\"0 0 580 554\"", "y=\"32.00\" > SOLVARINTH", "> 2.5 </text>", "> 7.5 </text>", "> 10 </text>"},
       {"y=\"54.00\"", "<!-- small ticks -->"}},
      // a label at the far edge is written; three decimals where needed
      {"window 0 1 400 800\nbigticks 0.125 0 100 400\n",
       {"> 0.125 </text>", "> 0.875 </text>", "> 1 </text>"},
       {"> 1.125 </text>"}},
      // a value a hair below zero is labelled as zero, without a sign
      {"window -0.000001 1 -0.000004 1\nbigticks 0.5 -0.000001 0.25 -0.000004\n",
       {"> 0 </text>\n    <text x=\"290.00\"", "> 0.5 </text>", "> 0 </text>\n    <text x=\"44.67\"", "> 0.25000 </text>"},
       {"> -0 </text>"}},
      {"window 0 10 400 800\nbigticks 0 0 0 0\nsmallticks 0 0\n",
       {"<!-- small ticks -->", " 500.17\" />", "</g>\n\n<!-- lines -->"},
       {}},
      // without areas the group stays empty, under the frame
      {"window 0 10 400 800\nbigticks 0 0 0 0\n",
       {"<!-- areas -->\n\n  <g stroke=\"none\" >\n\n  </g>\n\n  <text"},
       {}},
      {"window 0 10 400 800\nbigticks 0 0 0 0\nareas no\ncircles no\n",
       {},
       {"<!-- areas -->", "<!-- circles -->"}},
  };
  for (const row& r : rows) {
    Drawing d;
    const std::string svg = draw(d, qk("i1 5 600\nu1 begin end 1 500 9 700\n", r.control));
    for (const std::string& p : r.present) EXPECT_TRUE(has(svg, p)) << r.control << "\nwants: " << p << "\n" << svg;
    for (const std::string& p : r.absent) EXPECT_FALSE(has(svg, p)) << r.control << "\nhas: " << p;
  }
}

// The ticks of a start that a later window line left outside the window:
// those of its series that fall within the window, else one at the low edge.
TEST(DrawingSvg, TicksWithinTheFinalWindow) {
  struct row {
    const char* control;
    std::size_t ticks;  // along both axes; 10 of them on the y axis
    std::vector<std::string> present;
  };
  const row rows[] = {
      {"window -1000 1 0 1\nbigticks 0.1 -1000 0.1 0\nwindow 0 1 0 1\n", 20,
       {"      60.00 504.00\n      60.00 496.33", "      474.00 504.00", "> 0 </text>", "> 0.9 </text>", "> 1 </text>"}},
      {"window 0 100 0 1\nbigticks 10 55 0.1 0\nwindow 0 35 0 1\n", 13,
       {"      125.71 504.00", "      388.57 504.00", "> 5 </text>", "> 35 </text>"}},
      {"window 0 100 0 1\nbigticks 50 70 0.1 0\nwindow 0 10 0 1\n", 11, {"      60.00 504.00\n      60.00 496.33"}},
  };
  for (const row& r : rows) {
    Drawing d;
    const std::string svg = draw(d, qk("", r.control));
    const std::size_t from = svg.find("<!-- axis ticks -->");
    const std::string ticks = svg.substr(from, svg.find("<!-- axis labelling -->") - from);
    std::size_t count = 0;
    for (std::size_t at = ticks.find("<polyline"); at != std::string::npos; at = ticks.find("<polyline", at + 1)) ++count;
    EXPECT_EQ(count, r.ticks) << r.control;
    for (const std::string& p : r.present) EXPECT_TRUE(has(svg, p)) << r.control << "\nwants: " << p;
    // no label of a value below the window
    EXPECT_FALSE(has(svg, "> -")) << r.control;
  }
}

// A line that only touches the window is clipped to a point on its edge: it
// is drawn without a number, and the drawing goes on.
TEST(DrawingSvg, LinesThatOnlyTouchTheWindow) {
  Drawing d;
  const std::string svg = draw(d, qk("u1 begin end 1 1 9 9\n"
                                     "u2 begin end 5 -5 5 -2 10 0\n"  // ends on the corner
                                     "u3 begin end 12 5 10 5\n",      // ends on the right edge
                                     "window 0 10 0 10\nbigticks 0 0 0 0\nnumbering\n"));
  EXPECT_TRUE(has(svg, "<text x=\"290.00\" y=\"275.33\" >1</text>"));
  for (const char* n : {">2</text>", ">3</text>"}) EXPECT_FALSE(has(svg, n)) << n;
  EXPECT_TRUE(has(svg, "</svg>"));
}

TEST(DrawingSvg, LinesNumbersAndCircles) {
  const std::string control = "window 0 10 400 800\nbigticks 0 0 0 0\nnumbering 4\ncircles 3\n";
  Drawing d;
  const std::string svg = draw(d, qk("i3 5 600\ni4 0 600\ni5 2 700\n"
                                     "u12 begin end red thick dashed 1 500 9 700\n"
                                     "u13 i3 i5 connect\n"
                                     "u14 begin end 0 500 0 700\n",
                                     control));
  EXPECT_TRUE(has(svg, "<polyline stroke=\"rgb(255,0,0)\" stroke-width=\"1.6\" stroke-dasharray=\"4 3\" points=\"\n"
                       "      106.00 389.00\n      474.00 159.00\"  />"));
  EXPECT_TRUE(has(svg, "font-size=\"5px\" >"));
  // u12 numbered at its middle, 4/3 lower; the connect line and the line on
  // the edge are not numbered
  EXPECT_TRUE(has(svg, "<text x=\"290.00\" y=\"275.33\" >12</text>"));
  EXPECT_FALSE(has(svg, ">13</text>"));
  EXPECT_FALSE(has(svg, ">14</text>"));
  // the point on the left edge has neither circle nor number
  EXPECT_TRUE(has(svg, "<circle cx=\"290.00\" cy=\"274.00\" r=\"3.00\" />"));
  EXPECT_TRUE(has(svg, ">3</text>"));
  EXPECT_FALSE(has(svg, "cx=\"60.00\""));
  EXPECT_FALSE(has(svg, ">4</text>"));
}

TEST(DrawingSvg, Stops) {
  struct row {
    std::string file;
    std::string end;
  };
  const row rows[] = {
      {qk("u1 begin end 5 600 5 600\n", "window 0 10 400 800\nbigticks 0 0 0 0\nnumbering\n"),
       "findmid: zero sum distance for u1"},
      {qk("u1 begin end 5 600 6 600\n", "window 0 10 400 800\nbigticks 0 0 0 0\nanalyse\n"),
       "analyse: add/correct the info for this line"},
  };
  for (const row& r : rows) {
    Drawing d;
    EXPECT_EQ(d.plot(r.file), r.end);
    EXPECT_EQ(ZQPLTX::POINT, nullptr);
  }
}

}  // namespace
