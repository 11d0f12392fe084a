// The value checks of the script reader and the settlements after its last
// line, driven directly on the info items and the script globals.
#include <functional>

#include "frame/bytes.h"
#include "zqscript_testsupport.h"

using namespace scripttest;
using namespace ZQGLOBAL;

namespace {

const std::string degC = std::string(macroman::degree_s) + "C";

// Makes the info items of a line holding only the given words.
void setinfo(const std::string& line) {
  IO::strings w;
  smallint n = 0;
  IO::STRING2STRINGS(line, static_cast<smallint>(line.size()), w, n);
  ZQSCRIPT::NINFO = n;
  ZQSCRIPT::MAKEINFO("kw", w, n, 0);
}

}  // namespace

class ScriptChecks : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    answers_.reset();  // the old one gives the terminal back first
    answers_ = std::make_unique<testsupport::Answers>("");
    ZQSCRIPT::DEFAULTCONTROL();
  }
};

// Each check once counted (its lines and the count) and once under
// "strictscripting" (its short message).
TEST_F(ScriptChecks, InfoChecks) {
  enum kind { R, I, NR, NI, S, NS };
  struct Case {
    kind k;
    int n;  // n of the counted members, lo = -hi of R and I (0: no range)
    std::string line;
    int nafter;
    std::string text;  // empty: accepted
    std::string strict;
  } cases[] = {
      {R, 0, "-5", 0, "", ""},
      {R, 10, "", 0, "\nfor kw, no info given: one real expected\na real will be prompted for\n", "real expected"},
      {R, 10, "x", 0, "\nfor kw, info given is x\"\na real will be prompted for\n", "real expected"},
      {R, 10, "11", 0, "\nfor kw, info given is 11\", but limits are -10.000 to 10.000\na real will be prompted for\n",
       "real inappropriate"},
      {I, 5, "-3", 0, "", ""},
      {I, 5, "2.0", 0, "\nfor kw, info given is 2.0\"\nan integer will be prompted for\n", "integer expected"},
      {I, 5, "3/4", 0, "\nfor kw, info given is 3/4\"\nan integer will be prompted for\n", "integer expected"},
      {I, 5, "6", 0, "\nfor kw, info given is 6\", but limits are -5 to 5\nan integer will be prompted for\n",
       "integer inappropriate"},
      {I, 0, "", 0, "\nfor kw, no info given: one integer expected\nan integer will be prompted for\n",
       "integer expected"},
      // too large for the program's integers: held as 0, never taken as 0
      {I, 5, "40000", 0,
       "\nfor kw, info given is 40000\", but limits are -5 to 5\nan integer will be prompted for\n",
       "integer inappropriate"},
      {I, 0, "-40000", 0, "\nfor kw, info given is -40000\"\nan integer will be prompted for\n", "integer expected"},
      {NI, 0, "1 40000", 0,
       "\nfor kw, info includes \"40000\" not just integers\ninfo in the script needs to be corrected\n",
       "integers expected"},
      {NR, 3, "1 2 3 x 5", 3, "", ""},
      {NR, 0, "1 2.5 3/4", 3, "", ""},
      {NR, 0, "1 2 x", 0, "\nfor kw, info includes \"x\", not just reals\ninfo in the script needs to be corrected\n",
       "reals expected"},
      {NR, 3, "1 2", 3, "\nfor kw, only 2 numbers in a line, but 3 needed\ninfo in the script needs to be corrected\n",
       "reals expected"},
      {NR, 0, "", 0, "\nfor kw, no info given: one or more reals expected\ninfo in the script needs to be corrected\n",
       "reals expected"},
      {NI, 2, "1 2.5", 2, "\nfor kw, info includes \"2.5\" not just integers\ninfo in the script needs to be corrected\n",
       "integers expected"},
      {NI, 3, "1", 3, "\nfor kw, only 1 integers in a line, but 3 needed\ninfo in the script needs to be corrected\n",
       "integers expected"},
      {S, 0, "5", 0, "", ""},
      {S, 0, "", 0, "\nfor kw, no info given: one string expected\na string is needed (or will be prompted for)\n",
       "string expected"},
      {NS, 0, "a b", 2, "", ""},
      {NS, 3, "a b", 3, "\nfor kw, only 2numbers in line but 3 needed\ninfo in the script needs to be corrected\n",
       "strings expected"},
      {NS, 0, "", 0, "\nfor kw, no info given: one or more strings expected\ninfo in the script needs to be corrected\n",
       "strings expected"},
  };
  auto run = [](const Case& c, smallint& n) {
    switch (c.k) {
      case R: return ZQSCRIPT::CHECKSCRIPTR("kw", -c.n, c.n);
      case I: return ZQSCRIPT::CHECKSCRIPTI("kw", static_cast<smallint>(-c.n), static_cast<smallint>(c.n));
      case NR: return ZQSCRIPT::CHECKSCRIPTNR("kw", n);
      case NI: return ZQSCRIPT::CHECKSCRIPTNI("kw", n);
      case S: return ZQSCRIPT::CHECKSCRIPTS("kw");
      case NS: return ZQSCRIPT::CHECKSCRIPTNS("kw", n);
    }
    return false;
  };
  for (const auto& c : cases) {
    const bool counted = c.k == NR || c.k == NI || c.k == NS;
    for (bool strict : {false, true}) {
      IO::WHATSOPEN = 1;
      IO::NFAIL = 0;
      CONTROLJX.strictscripting = strict;
      setinfo(c.line);
      smallint n = counted ? static_cast<smallint>(c.n) : smallint(0);
      term_.reset();
      term_ = std::make_unique<testsupport::Terminal>();
      if (strict && !c.text.empty()) {
        try {
          run(c, n);
          ADD_FAILURE() << c.line << ": no fatal end";
        } catch (const IO::runend& e) {
          EXPECT_EQ(e.where, "reading script for kw") << c.line;
          EXPECT_EQ(e.message, c.strict) << c.line;
        }
        continue;
      }
      EXPECT_EQ(run(c, n), c.text.empty()) << c.line;
      EXPECT_EQ(out(), c.text) << c.line;
      EXPECT_EQ(IO::NFAIL, c.text.empty() ? 0 : 1) << c.line;
      if (counted) {
        EXPECT_EQ(n, c.nafter) << c.line;
      }
    }
  }
}

// Every failed P or T test is counted on its own and leaves its fallback.
TEST_F(ScriptChecks, PressureAndTemperatureChecks) {
  enum kind { P, PP, T, TT };
  struct Case {
    kind k;
    std::string line;
    extended lo, hi;
    controlboolean result;
    extended v1, v2;  // p or t, or the range; 0 marks "not changed" (set to -1 before)
    int nfail;
    std::string text;
  } cases[] = {
      {P, "0.0001", 0.0009L, 1500, no, 0.0009L, -1, 1,
       "for kw, the one P needs to be greater than 0.0009 kbar; default used"},
      {P, "1600", 1, 20, no, 1500, -1, 1, "for kw, the one P needs to be less than 20.0 kbar; default used"},
      {P, "1200", 1, 20, yes, 1200, -1, 0, ""},
      {PP, "10 5", 1, 20, no, 5, 10, 1, "for kw, the 2nd P in the P range must be larger than the 1st P"},
      {PP, "5 5", 1, 20, yes, 5, 5, 0, ""},
      {PP, "0.001 30", 0.01L, 20, no, -1, -1, 1,
       "for kw, the P range needs to be within 0.0009 kbar to 20.0 kbar; default used"},
      {PP, "0.5 8", 1, 20, no, -1, 8, 1, "for kw, the bottom of the P range needs to be greater than 1.0 kbar"},
      {PP, "2000 5", 1, 20, no, 5, -1, 2, "for kw, the top of the P range needs to be less than 20.0 kbar"},
      {T, "3000", 0, 0, no, 3000, -1, 1, "for kw, the one T needs to be less than 2727" + degC + "; default used"},
      {T, "600", 0, 0, yes, 873.15L, -1, 0, ""},
      {TT, "800 600", 0, 0, no, 873.15L, 1073.15L, 1,
       "for kw, the 2nd T in the T range must be larger than the 1st T"},
      {TT, "-5 3000", 0, 0, no, -1, -1, 1,
       "for kw, the T range needs to be within 10" + degC + " to 2727" + degC + "; default used"},
      {TT, "5 500", 0, 0, no, -1, 773.15L, 1,
       "for kw, the bottom of the T range needs to be greater than 10 " + degC + "; default used"},
      {TT, "800 3000", 0, 0, no, 1073.15L, -1, 1,
       "for kw, the top of the T range needs to be less than 2727" + degC + "; default used"},
  };
  for (const auto& c : cases) {
    IO::NFAIL = 0;
    setinfo(c.line);
    term_.reset();
    term_ = std::make_unique<testsupport::Terminal>();
    extended a = -1, b = -1;
    controlboolean r = no;
    switch (c.k) {
      case P: r = ZQSCRIPT::POK("kw", a, c.lo, c.hi, 1); break;
      case PP: r = ZQSCRIPT::PPOK("kw", a, b, c.lo, c.hi, 1); break;
      case T: r = ZQSCRIPT::TOK("kw", a, c.lo, c.hi, 1); break;
      case TT: r = ZQSCRIPT::TTOK("kw", a, b, c.lo, c.hi, 1); break;
    }
    EXPECT_EQ(r, c.result) << c.line;
    EXPECT_EQ(a, c.v1) << c.line;
    EXPECT_EQ(b, c.v2) << c.line;
    EXPECT_EQ(IO::NFAIL, c.nfail) << c.line;
    if (c.text.empty()) {
      EXPECT_EQ(out(), "") << c.line;
    } else {
      EXPECT_NE(out().find("\n" + c.text), std::string::npos) << c.line << "\n" << out();
    }
  }
  CONTROLJX.calcP = ask;
  CONTROLJX.calcT = yes;
  TLOW = THIGH = 500;
  FIGPLOW = 2;
  FIGPHIGH = 9;
  ZQSCRIPT::DEFAULTPTWINDOW();
  EXPECT_EQ(CONTROLJX.calcP, yes);
  EXPECT_EQ(PLOW, 2);
  EXPECT_EQ(PHIGH, 9);
  EXPECT_EQ(TLOW, 500);
}

class ScriptPostRead : public ScriptChecks {
 protected:
  // The reset, the given settings, then the checks after the last line.
  void settle(const std::function<void()>& set) {
    ZQSCRIPT::DEFAULTCONTROL();
    for (smallint i = 1; i <= 3; ++i) {
      BATCHINFO[i].np = 1;
      BATCHINFO[i].nt = 1;
      BATCHINFO[i].variance = i;
    }
    set();
    ZQSCRIPT::POSTREADCHECKS();
  }
};

TEST_F(ScriptPostRead, FatalInconsistencies) {
  struct Case {
    std::function<void()> set;
    std::string where, message;
  } cases[] = {
      {[] { NBATCH = 0; }, "read scripts", "batch entry failed"},
      {[] { NBATCH = 1, NMC = 0; }, "read scripts", "mcjx entry failed"},
      {[] { FILTERING = true, NFILT = 2, NBATCH = 1; }, "read scripts", "flitters don't match batches"},
      {[] { NBATCH = 2, NMC = 1, BATCHINFO[2].nt = 2; }, "read scripts", "only one calc per batch in mcjx currently"},
      {[] { NBATCH = 1, NMC = 1, WITHOLDSET = true; }, "read scripts", "no mcjx with oldset"},
      {[] { NBATCH = 1, NMC = 1, NTOZEROSTRINGS = 1; }, "read scripts",
       "sorry! in-excess phases not allowed with                    "},
      {[] { DOGMIN = true, NCOMP = 2; }, "read scripts", "dogmin works on one bulk"},
      {[] { NBATCH = 1, CONTROLJX.fractionation = CONTROLJX.batch = yes, NXYZ = 2, NCOMP = 1; }, "scripts",
       "xyzguess not allowed with batches (use batchxyzguess)"},
      {[] { NBATCH = 1, NMC = -1, CONTROLJX.batch = yes; }, "scripts", "no batchxyzguess to use with batches"},
      {[] { PSEUDOSECTION = true, NCOMP = 0; }, "reading scripts", "no bulk for pseudosection calcs"},
      {[] { PSEUDOSECTION = true, NCOMP = 1, CONTROLJX.rbi = CONTROLJX.rmi = yes; }, "reading scripts",
       "both rbi and rmi are set?"},
      {[] {
         PSEUDOSECTION = true, NCOMP = 1, CONTROLJX.rbi = yes, NRBIMODE = 2;
         RBIMODE[1] = 2, RBIMODE[2] = -2;
       },
       "reading scripts", "the rbi modes sum to zero"},
  };
  for (const auto& c : cases) {
    WITHOLDSET = false;
    IO::WHATSOPEN = 1;
    try {
      settle(c.set);
      ADD_FAILURE() << c.message << ": no fatal end";
    } catch (const IO::runend& e) {
      EXPECT_EQ(e.where, c.where) << c.message;
      EXPECT_EQ(e.message, c.message);
    }
  }
  WITHOLDSET = false;
  EXPECT_TRUE(says("\nwith a bulk range, use the onebulk script\n-- run bombed in read scripts"));
}

TEST_F(ScriptPostRead, MonteCarloAndDogminOverrides) {
  settle([] {
    NBATCH = 2, NMC = 3, CONTROLJX.batchdebug = no, PSEUDOSECTION = true, CONTROLJX.plotix = yes;
  });
  EXPECT_EQ(CONTROLJX.batchdebug, yes);
  EXPECT_EQ(NMCRANGE, 0);
  EXPECT_FALSE(PSEUDOSECTION);
  EXPECT_FALSE(CALCG);
  EXPECT_EQ(DEBUGLEVEL, 0);
  EXPECT_EQ(CONTROLJX.printxyz, no);
  EXPECT_EQ(CONTROLJX.plotix, no);
  EXPECT_EQ(CONTROLJX.calcP, yes);  // the window becomes the calculation range
  EXPECT_EQ(PHIGH, 1500);
  EXPECT_TRUE(says("\nno of batches = 2; no of filters = -1; no of mc = 3\n"));

  settle([] {
    DOGMIN = true, DOGLEVEL = 7, NCOMP = 1, NTOZEROSTRINGS = 2, CONTROLJX.printbulkinfo = ask;
    CONTROLJX.isopleth = CONTROLJX.uncertainties = yes, CONTROLJX.setvar = yes;
  });
  EXPECT_EQ(DOGLEVEL, 2);
  EXPECT_EQ(NTOZEROSTRINGS, 0);
  EXPECT_EQ(NEXCESSSTRINGS, 0);
  EXPECT_EQ(CONTROLJX.printxyz, yes);
  EXPECT_EQ(CONTROLJX.printbulkinfo, ask);  // only dogmin level 1 turns it on
  EXPECT_EQ(CONTROLJX.isopleth, no);
  EXPECT_EQ(CONTROLJX.uncertainties, no);
  EXPECT_TRUE(PSEUDOSECTION);
  EXPECT_TRUE(CALCG);
  EXPECT_EQ(OUTLEVEL, 0);
  EXPECT_EQ(CONTROLJX.setvar, yes);  // dogmin keeps it

  settle([] { PSEUDOSECTION = true, NCOMP = 1, CONTROLJX.setvar = yes, CONTROLJX.modebox = yes, DEBUGLEVEL = 0; });
  EXPECT_EQ(CONTROLJX.setvar, no);
  EXPECT_EQ(CONTROLJX.acceptvar, yes);
  EXPECT_EQ(CONTROLJX.plotix, no);
  EXPECT_EQ(DOGLEVEL, -1);
  EXPECT_EQ(DEBUGLEVEL, 1);
}

TEST_F(ScriptPostRead, SwitchedOffBatchesAndTheirRequirements) {
  settle([] {
    NBATCH = 3, NBATCHSWITCH = 2, NMC = -1;
    BATCHSWITCH[1] = true, BATCHSWITCH[2] = false, BATCHSWITCH[3] = true;
    NBATCHREQ = 2;
    BATCHREQ[1].count = 2, BATCHREQ[1].item[1] = 2, BATCHREQ[1].item[2] = 3;
    BATCHREQ[2].count = 1, BATCHREQ[2].item[1] = 2;
  });
  EXPECT_EQ(NBATCH, 2);
  EXPECT_EQ(BATCHNO[2], 3);
  EXPECT_EQ(BATCHINFO[2].variance, 3);
  EXPECT_EQ(NBATCHREQ, 1);
  EXPECT_EQ(BATCHREQ[1].count, 1);
  EXPECT_EQ(BATCHREQ[1].item[1], 2);
  EXPECT_TRUE(says("caring batches\n  2\n"));
  EXPECT_TRUE(says("\nno of batches = 2; no of filters = -1; no of mc = -1\n"));
}
