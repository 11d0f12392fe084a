// The settlements after the last script line for a rock given mineral by
// mineral and for an avPT+, avP+ or avT+ run: their fatal stops, the
// minerals cut down to the variables in use, and the grid or fixed value
// taken from the calcP and calcT lines of a real script read.
#include <functional>

#include "frame/zqglobal_avptplus.h"
#include "zqscript_testsupport.h"

using namespace scripttest;
using namespace ZQGLOBAL;

namespace {

// One mineral as its block would leave it: every line given, every variable
// included, an identity correlation matrix.
void mineral(smallint m, const std::string& name, std::initializer_list<const char*> names) {
  mineraltype& mn = MINERAL[m];
  mn.name = name;
  mn.blockopen = mn.convert = false;
  mn.xyzgiven = mn.sdgiven = mn.inclgiven = mn.corgiven = true;
  mn.nxyz = 0;
  for (const char* v : names) {
    ++mn.nxyz;
    mn.xyzname[mn.nxyz] = v;
    mn.xyz[mn.nxyz] = 0.1L * mn.nxyz;
    mn.sdxyz[mn.nxyz] = 0.01L * mn.nxyz;
    mn.incl[mn.nxyz] = true;
  }
  for (smallint i = 1; i <= mn.nxyz; ++i)
    for (smallint j = 1; j <= mn.nxyz; ++j) mn.corxyz(i, j) = i == j ? 1 : 0;
}

}  // namespace

class RockAndAvptPostRead : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    answers_ = std::make_unique<testsupport::Answers>("");
  }
  // The reset of a script read, the given settings, then the checks.
  void settle(const std::function<void()>& set) {
    ZQSCRIPT::DEFAULTCONTROL();
    set();
    ZQSCRIPT::POSTREADCHECKS();
  }
  // The fatal end the settings must lead to, or a failure.
  IO::runend stops(const std::function<void()>& set) {
    IO::WHATSOPEN = 1;
    try {
      settle(set);
    } catch (const IO::runend& e) {
      return e;
    }
    ADD_FAILURE() << "the run did not end";
    return IO::runend{};
  }
};

TEST_F(RockAndAvptPostRead, IncompleteMineralsStopTheRun) {
  struct Case {
    std::function<void()> spoil;
    std::string message, before;
  } cases[] = {
      {[] { MINERAL[2].convert = true; }, "run utilities to use convert for bi",
       "\nconverts can't be done on the fly\n-- run bombed"},
      {[] { MINERAL[2].xyzgiven = false; }, "no xyz for bi", ""},
      {[] { MINERAL[2].sdgiven = false; }, "no sd(xyz) for bi", ""},
      {[] { MINERAL[2].inclgiven = false; }, "no incl for bi", ""},
      {[] { MINERAL[2].corgiven = false; }, "no correlation coefficients for bi", ""},
  };
  for (const auto& c : cases) {
    term_.reset();
    term_ = std::make_unique<testsupport::Terminal>();
    const IO::runend e = stops([&] {
      NMIN = 2;
      mineral(1, "g", {"x(g)", "z(g)"});
      mineral(2, "bi", {"x(bi)"});
      c.spoil();
    });
    EXPECT_EQ(e.where, "reading scripts") << c.message;
    EXPECT_EQ(e.message, c.message);
    if (!c.before.empty()) {
      EXPECT_TRUE(says(c.before)) << out();
    }
  }
}

TEST_F(RockAndAvptPostRead, MineralsKeepOnlyTheirIncludedVariables) {
  settle([] {
    NMIN = 4;
    mineral(1, "g", {"x(g)", "z(g)", "m(g)"});
    MINERAL[1].incl[2] = false;
    for (smallint i = 1; i <= 3; ++i)
      for (smallint j = 1; j <= 3; ++j) MINERAL[1].corxyz(i, j) = i == j ? 1 : -0.01L * (10 * i + j);
    mineral(2, "mu", {"x(mu)", "y(mu)"});
    MINERAL[2].incl[1] = MINERAL[2].incl[2] = false;
    mineral(3, "bi", {"x(bi)"});
    mineral(4, "pl", {"ca(pl)"});
    MINERAL[4].blockopen = true;  // and nothing else of it was read
    MINERAL[4].xyzgiven = false;
  });
  ASSERT_EQ(NMIN, 2);  // pl's block was left open, mu has nothing left
  const mineraltype& g = MINERAL[1];
  EXPECT_EQ(g.name, "g");
  EXPECT_EQ(g.nxyz, 2);
  EXPECT_EQ(g.xyzname[2], "m(g)");
  EXPECT_EQ(g.xyz[2], 0.3L);
  EXPECT_EQ(g.sdxyz[2], 0.03L);
  EXPECT_EQ(g.corxyz(1, 2), -0.01L * 13);
  EXPECT_EQ(g.corxyz(2, 1), -0.01L * 31);
  EXPECT_EQ(g.corxyz(2, 2), 1);
  EXPECT_EQ(g.nxyzread, 3);  // as given
  EXPECT_EQ(g.xyznameread[2], "z(g)");
  EXPECT_EQ(g.xyzread[2], 0.2L);
  EXPECT_EQ(g.corxyzread(2, 3), -0.01L * 23);
  EXPECT_EQ(MINERAL[2].name, "bi");
  EXPECT_EQ(MINERAL[2].nxyz, 1);
  EXPECT_EQ(out(), std::string(55, '-') +
                       "\n"
                       "\nmineral = g, n(xyz) = 2\n"
                       "       x(g)       m(g)\n"
                       "    1.00000   -0.13000\n"
                       "   -0.31000    1.00000\n"
                       "\nmineral = bi, n(xyz) = 1\n"
                       "      x(bi)\n"
                       "    1.00000\n");
}

TEST_F(RockAndAvptPostRead, WithoutMineralsNothingIsListed) {
  settle([] {
    NMIN = 1;
    mineral(1, "g", {"x(g)"});
    MINERAL[1].blockopen = true;
  });
  EXPECT_EQ(NMIN, 0);
  EXPECT_EQ(out(), std::string(55, '-') + "\n");
  term_.reset();
  term_ = std::make_unique<testsupport::Terminal>();
  settle([] {});  // no "mineral" block: NMIN keeps its reset value
  EXPECT_EQ(NMIN, -2);
  EXPECT_EQ(out(), "");
}

TEST_F(RockAndAvptPostRead, AvptPlusSwitchesOffWhatItCannotUse) {
  const auto many = [] {
    NEXCESSSTRINGS = 1, EXCESSSTRINGS[1] = "q";
    NTOZEROSTRINGS = 1, TOZEROSTRINGS[1] = "ru";
    CONTROLJX.inexcess = CONTROLJX.tozero = yes;
    CONTROLJX.isopleth = CONTROLJX.modeiso = CONTROLJX.zeromodeiso = yes;
    CONTROLJX.setmu = CONTROLJX.calcmu = CONTROLJX.plotix = yes;
    NMU = 2;
    NJX = 7;
    NCOMP = 1;
    PSEUDOSECTION = false;
    CPINC = 1, CTINC = 20;
  };
  settle(many);  // the switch left off: nothing changes
  EXPECT_EQ(CONTROLJX.isopleth, yes);
  EXPECT_EQ(NMU, 2);
  EXPECT_EQ(NJX, 7);
  EXPECT_EQ(CONTROLJX.uncertainties, no);

  for (smallint level : {0, 1, 2, 3}) {
    settle([&] {
      many();
      CONTROLJX.avptplus = yes;
      CONTROLJX.uncertaintylevel = level;
    });
    EXPECT_EQ(CONTROLJX.uncertainties, yes);
    EXPECT_EQ(CONTROLJX.uncertaintylevel, level == 2 ? 2 : 1);
    EXPECT_TRUE(PSEUDOSECTION);
    EXPECT_EQ(NEXCESSSTRINGS + NTOZEROSTRINGS + NMU + NJX, 0);
    for (controlboolean s : {CONTROLJX.inexcess, CONTROLJX.tozero, CONTROLJX.isopleth, CONTROLJX.modeiso,
                             CONTROLJX.zeromodeiso, CONTROLJX.setmu, CONTROLJX.calcmu, CONTROLJX.plotix})
      EXPECT_EQ(s, no);
  }
  const IO::runend e = stops([&] {
    many();
    CONTROLJX.avptplus = yes;
    CONTROLJX.someof = true;
  });
  EXPECT_EQ(e.message, "\"with someof\" not implemented for avPTplus");
  EXPECT_EQ(e.where, "reading scripts");
}

// The calcP and calcT lines come from a script read; the avPT+ switch and
// its kind are set after it, as the unreachable "avPT+" lines would.
TEST_F(RockAndAvptPostRead, AvptPlusGridsAndFixedValues) {
  struct Case {
    std::string script;
    smallint kind;
    bool xco2;
    std::string lines, message;  // no message: the run goes on
    extended fixedt, fixedp;
    controlboolean calctatp;
  } cases[] = {
      {"calcP 4 8 1\ncalcT 500 700 20\n", 1, false, "", "", 0, 0, ask},
      {"calcP 4 8\ncalcT 500 700 20\n", 1, false,
       "\navPT+ needs calcT + calcP to give a grid of PT values for calculating equilibria,",
       "provide appropriate calcP and calcT scripts", 0, 0, ask},
      {"calcP 4 8 1\ncalcT 550\n", 2, false, "", "", 550, 0, ask},
      {"calcP 4 8\ncalcT 550\n", 2, false,
       "\navP+ needs calcP to give a series of P values for calculating equilibria,",
       "provide an appropriate calcP script", 0, 0, ask},
      {"calcP 4 8 1\ncalcT 500 700 20\n", 2, false,
       "\navP+ uses the calcT script to get the fixed T for avP+,"
       "\nbut the calcT script involves a series of T values.",
       "provide a single T with the calcT script", 0, 0, ask},
      {"calcP 4 8 1\ncalcT 500 700\n", 2, false, "", "calcT mess up for avP+", 0, 0, ask},
      {"calcP 6.5\ncalcT 500 700 20\n", 3, false, "", "", 0, 6.5L, ask},
      {"calcP 6.5\ncalcT 500 700\n", 3, false,
       "\navT+ needs calcT to give a series of T values for calculating equilibria,",
       "provide an appropriate calcT script", 0, 0, ask},
      {"calcP 4 8 1\ncalcT 500 700 20\n", 3, false,
       "\navT+ uses the calcP script to get the fixed P for avT+,"
       "\nbut the calcP script involves a series of P values.",
       "provide a single P with the calcP script", 0, 0, ask},
      {"calcP 4 8\ncalcT 500 700 20\n", 3, false, "", "calcP mess up for avT+", 0, 0, ask},
      {"calcP 4 8 1\ncalcT 500 700 20\n", 1, true, "", "", 0, 0, yes},
      {"calcP 4 8 1\ncalcT 500 700 20\n", 2, true, "", "", 0, 0, yes},
      {"calcP 4 8 1\ncalcT 500 700 20\n", 3, true, "", "", 0, 0, no},
      {"calcP 6.5\ncalcT 500 700 20\n", 3, true,
       "\navPT+, avP+ and avT+, with x(CO2), needs both calcT and calcP "
       "\nto give a grid of PT values for calculating equilibria,",
       "provide appropriate calcP and calcT scripts", 0, 0, no},
  };
  for (const auto& c : cases) {
    const std::string what = c.script + " kind " + std::to_string(c.kind) + (c.xco2 ? " x(CO2)" : "");
    read(c.script + "*\n");
    ASSERT_EQ(IO::NFAIL, 0) << what << out();
    term_.reset();
    term_ = std::make_unique<testsupport::Terminal>();
    CONTROLJX.avptplus = yes;
    CONTROLJX.avptpluswithxco2 = c.xco2 ? yes : no;
    AVPTCALCTYPE = c.kind;
    NJX = 3;
    IO::WHATSOPEN = 1;
    try {
      ZQSCRIPT::POSTREADCHECKS();
      EXPECT_EQ(c.message, "") << what;
      EXPECT_NEAR(AVPFIXEDT, c.fixedt, 1e-12L) << what;
      EXPECT_NEAR(AVTFIXEDP, c.fixedp, 1e-12L) << what;
      EXPECT_EQ(NJX, 0) << what;
    } catch (const IO::runend& e) {
      EXPECT_EQ(e.message, c.message) << what;
      EXPECT_EQ(e.where, "reading scripts") << what;
      EXPECT_TRUE(says(c.lines + "\n-- run bombed")) << what << out();
    }
    EXPECT_EQ(CONTROLJX.calcTatP, c.calctatp) << what;
  }
}
