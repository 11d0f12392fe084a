// Calc mode 3 on x(CO2) sections of made-up pure phases with the H2O-CO2
// fluid (tests/fixtures/txsections, one data set per section). The numbers
// expected come from an own calculation outside the program: constant-Cp
// solids, the Sterner-Pitzer H2O and CO2 with the van Laar mixing and the
// ln x terms, lines by bisection, and the stable assemblage by comparing the
// Gibbs energies of every assemblage with the fluid's chemical potentials.
#include "harness.h"

using e2e::has;

namespace {

const std::string deg = "\xA1";
const std::string xlist = "0.001 0.005 0.01 0.03 0.06 0.1 0.15 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.85 0.9 0.94 0.97 0.99 0.999";

// A T-x(CO2) section (calctype 2) of the set jx-ds7<set>.txt with the phases
// named, window low..high (degrees C or kbar) and the fixed P or T.
e2e::Run section(const std::string& set, const std::string& phases, const std::string& window,
                 const std::string& fixed, int calctype = 2) {
  std::string ax = "% pure phases\n";
  std::string p;
  for (char c : phases + " ") {
    if (c != ' ') {
      p += c;
    } else if (!p.empty()) {
      ax += p + "\n";
      p.clear();
    }
  }
  ax += "*\n";
  const std::string script = "axfile sax\nwith " + phases + "\ncalctype " + std::to_string(calctype) +
                             "\ndiagramPT 0.5 12 250 1000\nschreinemakers yes\ninexcess\nautoexit yes\n*\n";
  const std::string prefs = "dsfile 7" + set + "\nscriptfile s\ncalcmode 3\nsetpagewidth 250\n";
  return e2e::run({"txsections"}, window + " 0.001 0.999\nn\n" + xlist + "\n" + fixed + "\n\n\n",
                  {{"jx-prefs.txt", prefs}, {"jx-s.txt", script}, {"jx-sax.txt", ax}});
}

const std::string& summary(const e2e::Run& r) { return r.files.at("jx-s-o.txt"); }

// The first line starting with text after the first line starting with after.
std::string row(const std::string& sum, const std::string& after, const std::string& text) {
  const std::size_t from = sum.find("\n" + after);
  if (from == std::string::npos) return "";
  const std::size_t at = sum.find("\n" + text, from + 1);
  if (at == std::string::npos) return "";
  return sum.substr(at + 1, sum.find('\n', at + 1) - at - 1);
}

// A line rising and falling inside the window (F = 2A + B + CO2 + H2O, own
// line 304.62 C at x 0.01, 395.81 at 0.5, 351.85 at 0.9; dmu < 0 at all four
// corners) is kept with its phase; in the P-x section at 545.9 C the line of
// AHC = 2A + CO2 + H2O (own 2.732 kbar at x 0.5) keeps AHC, which makes the
// point AH D BC A metastable (own dmu of 2A + H2O + CO2 -> AHC -3.828 kJ there).
TEST(XSections, ADomeInsideTheWindowIsKept) {
  const e2e::Run r = section("dome", "D F A B H2O CO2", "300 900", "6.7");
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string& sum = summary(r);
  EXPECT_FALSE(has(sum, "excluded assemblages | F")) << sum;
  EXPECT_TRUE(has(sum, "\n4)  F = 2A + B + CO2 + H2O\n")) << sum;
  const std::string four = row(sum, "x(CO2) ", "4  ");
  for (const char* v : {"304.62", "395.81", "351.85"}) EXPECT_TRUE(has(four, v)) << four;

  const e2e::Run px = section("domepx", "AH D BC AHC A AHH H2O CO2", "1 10", "545.9", 3);
  ASSERT_EQ(px.status, 0) << px.out;
  const std::string& psum = summary(px);
  EXPECT_FALSE(has(psum, "| AHC |")) << psum;
  EXPECT_TRUE(has(psum, "AHC = 2A + CO2 + H2O")) << psum;
  EXPECT_FALSE(has(psum, "# stable intersection 3 involving AH D BC A ")) << psum;
  EXPECT_TRUE(has(psum, "metastable intersection 3 involving AH D BC A ")) << psum;
}

// Lines whose own roots in 300-900 C lie at x 0.014-0.058, 0.134-0.618 and
// 0.776-0.908 never meet in the window; their extra roots near 283 K only
// meet in the widened search band. The run ends with "none in the window"
// and the stability of the three lines, not with an internal fault. In the
// second system AC, A and AHC meet at own 829.671 C, x(CO2) 0.48334.
TEST(XSections, CrossingsOnlyBelowTheWindowEndInNoneInTheWindow) {
  const e2e::Run r = section("few", "AHH AHC AC H2O CO2", "300 900", "4.4");
  EXPECT_EQ(r.status, 0) << r.out;
  const std::string& sum = summary(r);
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  EXPECT_TRUE(has(sum, "\nsorry, none in the window\n")) << sum;
  EXPECT_FALSE(has(sum, "finding the intersection")) << sum;
  EXPECT_TRUE(has(sum, "Stability of reactions not involved in intersections :\n\n")) << sum;
  for (const char* text : {"1)  2AHH + CO2 = AHC + 3H2O", "2)  AHH + CO2 = AC + 2H2O", "3)  2AC + H2O = AHC + CO2"})
    EXPECT_TRUE(has(sum, text + std::string("\n"))) << text;

  const e2e::Run two = section("few2", "ACC AC A AHH AHC H2O CO2", "300 900", "3.7");
  EXPECT_EQ(two.status, 0) << two.out;
  EXPECT_FALSE(has(two.out, "bombed")) << two.out;
  EXPECT_TRUE(has(summary(two), "\nT = 829.67 " + deg + "C , x(CO2) = 0.483\n")) << summary(two);
}

// Own invariant points: BHH, BC, BH meet at 369.983 C, x(CO2) 0.01480 (the
// point printed before, 494.85 C at 0.0300, has affinities -3.65, -7.61,
// +3.96 kJ); B, AC, D, E at 627.314 C, 0.97754; A, ACC, AH in P-x(CO2).
TEST(XSections, APointIsPrintedWhereItsLinesMeet) {
  const e2e::Run r = section("off", "BHH BC BH H2O CO2", "300 900", "7.4");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(has(summary(r), "\nT = 369.98 " + deg + "C , x(CO2) = 0.0148\n")) << summary(r);
  EXPECT_FALSE(has(summary(r), "T = 494.85"));

  const e2e::Run two = section("off2", "B AC D A E BC H2O CO2", "300 900", "2.3");
  ASSERT_EQ(two.status, 0) << two.out;
  EXPECT_TRUE(has(summary(two), "\nT = 627.31 " + deg + "C , x(CO2) = 0.978\n")) << summary(two);
  EXPECT_FALSE(has(summary(two), "T = 628.42"));

  // Near x(CO2) 1, where the line of AH = A + H2O is steep: the P-x(CO2)
  // sections of A, ACC, AH at 719.38 and 800 C, own points 6.80003 kbar,
  // x 0.998326 and 8.97645 kbar, x 0.997410.
  for (const auto& [t, point] : {std::pair<std::string, std::string>{"719.38", "P = 6.800 kbar, x(CO2) = 0.998"},
                                 {"800", "P = 8.976 kbar, x(CO2) = 0.997"}}) {
    const e2e::Run px = section("side", "A ACC AH H2O CO2", "1 10", t, 3);
    ASSERT_EQ(px.status, 0) << px.out;
    EXPECT_TRUE(has(summary(px), "\n" + point + "\n")) << summary(px);
  }
}

// Own: A, ACC, AH meet at 719.379 C, x 0.99833; on the line of ACC = A + 2CO2
// just above (719.418 C) G(A) + G(H2O) - G(AH) is -1.632 kJ (stable), just
// below (719.340 C) +1.362 (metastable): its row is stable on the high-T side
// only. At ACC, AC, AHC (547.445 C, 0.63825) ACC = AC + CO2 is stable above
// (G(AHC) + G(CO2) - 2 G(AC) - G(H2O) = +0.104 kJ at 548.010 C) and not below
// (-0.102 at 546.879 C); AHC + CO2 = AC + H2O turns back within the slope's
// step and keeps its own small positive slope instead of 0.
TEST(XSections, SchreinemakersSidesFollowTheAffinities) {
  const auto cells = [](const std::string& line) { return line.size() < 86 ? "" : line.substr(66, 20); };
  const std::string highonly = std::string(14, ' ') + "stable";

  const e2e::Run r = section("side", "A ACC AH H2O CO2", "300 900", "6.8");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(has(summary(r), "\nT = 719.38 " + deg + "C , x(CO2) = 0.998\n")) << summary(r);
  const std::string one = row(summary(r), "# stable", "1)  ACC = A + CO2");
  EXPECT_EQ(cells(one), highonly) << one;
  const std::string two = row(summary(r), "# stable", "2)  AH = A + H2O");
  EXPECT_EQ(cells(two), highonly) << two;

  const e2e::Run mid = section("mid", "ACC AC AHC H2O CO2", "300 900", "4.6");
  ASSERT_EQ(mid.status, 0) << mid.out;
  EXPECT_TRUE(has(summary(mid), "\nT = 547.44 " + deg + "C , x(CO2) = 0.638\n")) << summary(mid);
  const std::string four = row(summary(mid), "# stable", "1)  ACC = AC + CO2");
  EXPECT_EQ(cells(four), highonly) << four;
  const std::string eight = row(summary(mid), "# stable", "3)  AHC + CO2 = AC + H2O");
  ASSERT_GE(eight.size(), 96u) << eight;
  const std::string slope = eight.substr(86, 10);
  EXPECT_NE(slope, std::string(9, ' ') + "0") << eight;
  EXPECT_GT(std::stod(slope), 0) << eight;
}

}  // namespace
