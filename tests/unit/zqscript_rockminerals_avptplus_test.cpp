// The settlements after the last script line for a rock's minerals and for
// an avPT+, avP+ or avT+ run, the calcP and calcT lines from a script read.
#include <cstdlib>
#include <functional>

#include "frame/zqglobal_avptplus.h"
#include "zqscript_testsupport.h"

using namespace scripttest;
using namespace ZQGLOBAL;

namespace {

// Mineral m as a complete block leaves it: value i/10, sd i/100, all included.
void mineral(smallint m, const std::string& name, std::initializer_list<const char*> names) {
  mineraltype& mn = MINERAL[m];
  mn.name = name;
  mn.blockopen = mn.convert = false;
  mn.xyzgiven = mn.sdgiven = mn.inclgiven = mn.corgiven = true;
  mn.nxyz = 0;
  for (const char* v : names) {
    const smallint i = ++mn.nxyz;
    mn.xyzname[i] = v, mn.xyz[i] = 0.1L * i, mn.sdxyz[i] = 0.01L * i, mn.incl[i] = true;
    for (smallint j = 1; j <= i; ++j) mn.corxyz(i, j) = mn.corxyz(j, i) = i == j ? 1 : -0.01L * (10 * i + j);
  }
}

}  // namespace

class RockAndAvptPostRead : public ScriptTest {
 protected:
  // The checks once more on the state as set; the fatal message, or "".
  std::string check(const std::function<void()>& set) {
    term_.reset();
    term_ = std::make_unique<testsupport::Terminal>();
    answers_.reset();  // the old one gives the terminal back first
    answers_ = std::make_unique<testsupport::Answers>("");
    IO::WHATSOPEN = 1;
    set();
    try {
      ZQSCRIPT::POSTREADCHECKS();
    } catch (const IO::runend& e) {
      EXPECT_EQ(e.where, "reading scripts");
      return e.message;
    }
    return "";
  }
};

TEST_F(RockAndAvptPostRead, MineralsAreCheckedReducedAndListed) {
  const auto rock = [](const std::function<void()>& spoil) {
    return [=] {
      ZQSCRIPT::DEFAULTCONTROL();
      NMIN = 4;
      mineral(1, "g", {"x(g)", "z(g)", "m(g)"}), mineral(2, "mu", {"x(mu)"}), mineral(3, "bi", {"x(bi)"});
      mineral(4, "pl", {"ca(pl)"});
      MINERAL[1].incl[2] = MINERAL[2].incl[1] = false;
      MINERAL[4].blockopen = true, MINERAL[4].xyzgiven = false;  // cut short: dropped, not refused
      spoil();
    };
  };
  for (const auto& [field, message] : std::initializer_list<std::pair<bool mineraltype::*, std::string>>{
           {&mineraltype::xyzgiven, "no xyz for bi"}, {&mineraltype::sdgiven, "no sd(xyz) for bi"},
           {&mineraltype::inclgiven, "no incl for bi"}, {&mineraltype::corgiven, "no correlation coefficients for bi"}})
    EXPECT_EQ(check(rock([f = field] { MINERAL[3].*f = false; })), message);
  EXPECT_EQ(check(rock([] { MINERAL[3].convert = true; })), "run utilities to use convert for bi");
  EXPECT_TRUE(says("\nconverts can't be done on the fly\n-- run bombed"));

  ASSERT_EQ(check(rock([] {})), "");
  ASSERT_EQ(NMIN, 2);  // mu had nothing included
  const mineraltype& g = MINERAL[1];
  EXPECT_EQ(MINERAL[2].name, "bi");
  EXPECT_EQ(g.xyzname[2] + g.xyznameread[2], "m(g)z(g)");
  EXPECT_EQ(g.nxyz * 10 + g.nxyzread, 23);
  EXPECT_EQ(g.sdxyz[2], 0.03L);
  EXPECT_EQ(g.xyzread[2], 0.2L);
  EXPECT_EQ(g.corxyzread(3, 2), -0.01L * 32);
  EXPECT_EQ(out(), std::string(55, '-') +
                       "\n\nmineral = g, n(xyz) = 2\n       x(g)       m(g)\n    1.00000   -0.31000\n"
                       "   -0.31000    1.00000\n\nmineral = bi, n(xyz) = 1\n      x(bi)\n    1.00000\n");
}

TEST_F(RockAndAvptPostRead, AvptPlusSettingsGridsAndFixedValues) {
  const std::string grid = "calcP 4 8 1\ncalcT 500 700 20\n", p = "calcP 4 8\n", t = "calcT 500 700 20\n";
  const std::string both = "provide appropriate calcP and calcT scripts", p1 = "calcP 6.5\n";
  const std::string uses = " script to get the fixed ", series = " script involves a series of ";
  // kind 1 avPT+, 2 avP+, 3 avT+, negative with x(CO2); AVPFIXEDT or AVTFIXEDP when the run goes on
  const struct {
    std::string script;
    int kind;
    std::string lines, message;
    extended fixed;
  } cases[] = {
      {grid, 0, "", "", 0},  // the switch off: nothing changes
      {grid, 1, "", "", 0},
      {p + t, 1, "avPT+ needs calcT + calcP to give a grid of PT values for calculating equilibria,", both, 0},
      {"calcP 4 8 1\ncalcT 550\n", 2, "", "", 550},
      {p + "calcT 550\n", 2, "avP+ needs calcP to give a series of P values for calculating equilibria,",
       "provide an appropriate calcP script", 0},
      {grid, 2, "avP+ uses the calcT" + uses + "T for avP+,\nbut the calcT" + series + "T values.",
       "provide a single T with the calcT script", 0},
      {"calcP 4 8 1\ncalcT 500 700\n", 2, "", "calcT mess up for avP+", 0},
      {p1 + t, 3, "", "", 6.5L},
      {p1 + "calcT 500 700\n", 3, "avT+ needs calcT to give a series of T values for calculating equilibria,",
       "provide an appropriate calcT script", 0},
      {grid, 3, "avT+ uses the calcP" + uses + "P for avT+,\nbut the calcP" + series + "P values.",
       "provide a single P with the calcP script", 0},
      {p + t, 3, "", "calcP mess up for avT+", 0},
      {grid, -2, "", "", 0},
      {p1 + t, -3,
       "avPT+, avP+ and avT+, with x(CO2), needs both calcT and calcP \n"
       "to give a grid of PT values for calculating equilibria,",
       both, 0},
  };
  for (const auto& c : cases) {
    read(c.script + "*\n");
    const std::string m = check([&] {
      CONTROLJX.avptplus = c.kind == 0 ? no : yes, CONTROLJX.avptpluswithxco2 = c.kind < 0 ? yes : no;
      AVPTCALCTYPE = static_cast<smallint>(std::abs(c.kind)), NJX = 3, CONTROLJX.uncertaintylevel = 2;
      NEXCESSSTRINGS = NTOZEROSTRINGS = NMU = 1;
      EXCESSSTRINGS[1] = TOZEROSTRINGS[1] = "q";  // one phase, so the merged list keeps one name
      CONTROLJX.inexcess = CONTROLJX.tozero = CONTROLJX.isopleth = CONTROLJX.modeiso = CONTROLJX.zeromodeiso = yes;
      CONTROLJX.setmu = CONTROLJX.calcmu = CONTROLJX.plotix = yes;
    });
    const std::string what = c.script + std::to_string(c.kind);
    EXPECT_EQ(m, c.message) << what;
    // all that is shown, up to the message; nothing at all when the run goes on (no rock minerals)
    const std::string shown =
        m.empty() ? "" : (c.lines.empty() ? "" : "\n" + c.lines) + "\n-- run bombed in reading scripts : " + m;
    EXPECT_EQ(out().substr(0, m.empty() ? std::string::npos : shown.size()), shown) << what;
    EXPECT_NEAR(c.kind == 3 ? AVTFIXEDP : AVPFIXEDT, c.fixed, 1e-12L) << what;
    EXPECT_EQ(CONTROLJX.calcTatP, c.kind >= 0 ? ask : c.kind == -3 ? no : yes) << what;
    EXPECT_EQ(NJX, m.empty() && c.kind != 0 ? 0 : 3) << what;
    // the switches it cannot use are off even when it stops; the uncertainty level 2 stays
    const controlboolean left = c.kind == 0 ? yes : no;
    EXPECT_EQ(CONTROLJX.uncertainties, c.kind == 0 ? no : yes) << what;
    EXPECT_EQ(CONTROLJX.uncertaintylevel, 2);
    EXPECT_EQ(NEXCESSSTRINGS + NTOZEROSTRINGS + NMU, left == yes ? 3 : 0) << what;
    for (controlboolean s : {CONTROLJX.inexcess, CONTROLJX.tozero, CONTROLJX.isopleth, CONTROLJX.modeiso,
                             CONTROLJX.zeromodeiso, CONTROLJX.setmu, CONTROLJX.calcmu, CONTROLJX.plotix})
      EXPECT_EQ(s, left) << what;
  }
  // One pass with no batch items: a "with someof" list survives to here.
  const auto fresh = [](bool someof) {
    return [=] { ZQSCRIPT::DEFAULTCONTROL(), CONTROLJX.avptplus = yes, CONTROLJX.someof = someof, CPINC = CTINC = 1; };
  };
  EXPECT_EQ(check(fresh(false)), "");
  EXPECT_EQ(CONTROLJX.uncertaintylevel, 1);
  EXPECT_EQ(check(fresh(true)), "\"with someof\" not implemented for avPTplus");
}
