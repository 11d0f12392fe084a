// The bulk in log-ratio form: the analytical covariance against numbers
// worked out by hand, and the rock route on two one-variable minerals of
// MgO and FeO, with the Gaussian samples seeded through the clock.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "equilibria/zqread3.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "worktest.h"

using namespace ZQGLOBAL;

namespace {

// How a call ended, and what it wrote to the terminal.
std::string ran(const std::function<void()>& call, std::string& out) { return testsupport::answered("", call, out); }

bool has(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

IO::timepoint fixedclock() { return IO::timepoint(std::chrono::seconds(1765100000)); }

class LogRatios : public testsupport::WorkTest {
 protected:
  void SetUp() override {
    WorkTest::SetUp();
    saved = IO::CLOCK;
    IO::CLOCK = fixedclock;
  }
  void TearDown() override {
    IO::CLOCK = saved;
    WorkTest::TearDown();
  }
  // Components in order, each free unless listed in fixed.
  static void components(const std::vector<std::string>& names, const std::vector<std::string>& fixed = {}) {
    NUV = static_cast<smallint>(names.size());
    NUVLEFT = 0;
    for (long j = 1; j <= NUV; ++j) {
      COMPNAME[j] = BULKC[j] = names[static_cast<std::size_t>(j - 1)];
      ICOMP[j] = 2;
      COMPDIV[j] = 1;
      BCOMPS[j] = true;
      for (const std::string& f : fixed) BCOMPS[j] = BCOMPS[j] && f != COMPNAME[j];
      if (BCOMPS[j]) ++NUVLEFT;
    }
    CONTROLJX.nbulkoxides = NUV;
  }
  // Solution phase i, named name, of end-members MgO (proportion 1 - x)
  // and FeO (proportion x).
  static void binary(long i, const std::string& name) {
    ptype1& p = (*PREC1)[i];
    p = ptype1{};
    p.name = name;
    p.nvar = 1;
    p.xvar[1].name = "x(" + name + ")";
    p.nprop = 2;
    for (long e = 1; e <= 2; ++e) {
      p.em[e].name = name + (e == 1 ? "Mg" : "Fe");
      p.em[e].comp[e] = 1;
      termtype& t = p.prop[e];
      t.nterms = 1;
      t.terms[1].coef = 1;
      t.terms[1].nfactors = 1;
      xtermtype& f = t.terms[1].factors[1];
      f.cn = e == 1 ? 1 : 0;
      f.m = 1;
      f.an[1] = e == 1 ? -1 : 1;
      f.ad[1] = 1;
      f.v[1] = 1;
    }
  }
  // The rock: alp at x = 0.4 (mode 0.6) and bet at x = 0.5 (mode 0.4),
  // the "rbi" rows matching, x of alp measured with sdalp.
  static void rock(extended sdalp) {
    components({"MgO", "FeO"});
    NPSS = NP = 2;
    NP0 = 0;
    binary(1, "alp");
    binary(2, "bet");
    NMIN = 2;
    const extended x[] = {0.4L, 0.5L}, sd[] = {sdalp, 0};
    for (long m = 1; m <= 2; ++m) {
      mineraltype& mn = MINERAL[m];
      mn.name = m == 1 ? "alp" : "bet";
      mn.nxyz = 1;
      mn.xyz[1] = x[m - 1];
      mn.sdxyz[1] = sd[m - 1];
      mn.corxyz(1, 1) = 1;
      RBISTRP[m] = mn.name;
      RBIMODE[m] = m == 1 ? 0.6L : 0.4L;
    }
    NRBIMODE = 2;
    CONTROLJX.rbi = yes;
    CONTROLJX.rmi = no;
    CONTROLJX.avptplus = yes;
    ZQREAD3::FINDKBPDEN();
  }
  // The bulk from the measured minerals rather than the "rbi" rows.
  static void measured() {
    CONTROLJX.avptplus = CONTROLJX.rbi = no;
    CONTROLJX.rmi = CONTROLJX.bulk = yes;
    NCOMP = 1;
  }
  IO::timepoint (*saved)() = nullptr;
};

TEST_F(LogRatios, AnalyticalCovariance) {
  struct Case {
    std::vector<std::string> names, fixed;
    std::vector<extended> bulk;
    std::vector<extended> bp, diag;
    extended off;
  } cases[] = {
      {{"H2O", "CO2", "SiO2"}, {}, {50, 30, 20}, {0.916290731874155065L, 0.405465108108164382L},
       {4.375e-5L, 5.2083333333333333333e-5L}, 3.125e-5L},
      // Oxygen is analysed worse.
      {{"MgO", "FeO", "O"}, {}, {50, 40, 10}, {-0.223143551314209755L, -1.609437912434100375L}, {2.8125e-5L, 5.75e-4L},
       1.25e-5L},
      // The denominator is read at its place among the free components.
      {{"H2O", "CO2", "SiO2", "MgO"}, {"H2O", "CO2"}, {60, 40}, {-0.405465108108164382L}, {2.6041666666666666667e-5L},
       2.6041666666666666667e-5L},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names.back());
    components(c.names, c.fixed);
    ZQREAD3::FINDKBPDEN();
    IO::rrvector bulk{"bulk"};
    for (std::size_t k = 0; k < c.bulk.size(); ++k) bulk[static_cast<long>(k) + 1] = c.bulk[k];
    std::string out;
    ASSERT_EQ(ran([&] { ZQREAD3::CALCCOVBP(bulk); }, out), "");
    for (std::size_t i = 0; i < c.bp.size(); ++i) {
      const long k = static_cast<long>(i) + 1;
      EXPECT_NEAR(BP[k], c.bp[i], 1e-17L);
      EXPECT_NEAR(COVBP(k, k), c.diag[i], 1e-20L);
      EXPECT_NEAR(SDBP[k], std::sqrt(c.diag[i]), 1e-18L);
      for (long j = 1; j <= static_cast<long>(c.bp.size()); ++j)
        if (j != k) {
          EXPECT_NEAR(COVBP(k, j), c.off, 1e-20L);
        }
    }
  }
  EXPECT_NEAR(SDBP[1], 0.00510310363079828L, 1e-15L);

  components({"H2O", "CO2", "SiO2"});
  ZQREAD3::FINDKBPDEN();
  IO::rrvector bad{"bad"};
  bad[1] = 50;
  bad[2] = -30;
  bad[3] = 80;
  std::string out;
  EXPECT_EQ(ran([&] { ZQREAD3::CALCCOVBP(bad); }, out), "calccovbp: negative entry in bulk: logratio cannot be formed");
}

TEST_F(LogRatios, ReportOfOneBulk) {
  components({"H2O", "CO2", "SiO2"});
  CONTROLJX.bulk = yes;
  CONTROLJX.uncertaintylevel = 1;
  NCOMP = 1;
  COMP1[1] = 50;
  COMP1[2] = 30;
  COMP1[3] = 20;
  std::string out;
  ASSERT_EQ(ran(ZQREAD3::READCOMPS, out), "");
  EXPECT_TRUE(has(out, "composition (from bulk script)\n        H2O      CO2     SiO2\nb    50.000   30.000   20.000\n"
                       "b'   0.9163   0.4055       //\nsd   0.0066   0.0072         \n"))
      << out;
  EXPECT_EQ(KBPDEN, 3);
}

// On the rock route the bulk of the minerals is printed as it stands, in
// percent: per atom 0.6 (0.3, 0.2) + 0.4 (0.25, 0.25) = (0.28, 0.22), that
// is 56 and 44, each in 9 columns under its name.
TEST_F(LogRatios, ReportOfTheRockBulk) {
  rock(0);
  for (long k = 1; k <= 2; ++k) {
    RBIC(1, k) = k == 1 ? 0.6L : 0.4L;
    RBIC(2, k) = 0.5L;
  }
  CONTROLJX.uncertaintylevel = 1;
  NCOMP = 1;
  std::string out;
  ASSERT_EQ(ran(ZQREAD3::READCOMPS, out), "");
  EXPECT_TRUE(has(out, "bulks are the same, ok\n")) << out;
  EXPECT_TRUE(has(out, "\nb   56.0000  44.0000\nb'       //  -0.2412\n")) << out;
}

TEST_F(LogRatios, BulkOfTheRockMinerals) {
  rock(0);
  std::string out;
  ASSERT_EQ(ran(ZQREAD3::MINERALSETUP, out), "");
  EXPECT_EQ(MINERAL[2].phase, 2);
  ZQREAD3::CALCROCKXYZ();
  EXPECT_EQ(NROCKXYZ, 2);
  IO::rrvector bulk{"bulk"}, bp{"bp"};
  ASSERT_EQ(ran([&] { ZQREAD3::CALCBP(bulk, bp, ROCKXYZ, 1); }, out), "");
  // Per atom: 0.6 (0.3, 0.2) + 0.4 (0.25, 0.25), to 100.
  EXPECT_NEAR(bulk[1], 56, 1e-15L);
  EXPECT_NEAR(bulk[2], 44, 1e-15L);
  EXPECT_NEAR(bp[1], std::log(44.0L / 56.0L), 1e-17L);
  EXPECT_TRUE(has(out, "rbi-form, compositions calculated from input mineral xyz \n"
                       "alp         0.6000  0.600000  0.400000\nbet         0.4000  0.500000  0.500000\n"))
      << out;
  // One level up each mineral's end-members come first: 1 - x and x of
  // it, each with its share of every component.
  ASSERT_EQ(ran([&] { ZQREAD3::CALCBP(bulk, bp, ROCKXYZ, 2); }, out), "");
  EXPECT_TRUE(has(out, "mineral composition contributions from end-members\n"
                       "alpMg       0.6000  0.600000         0\nalpFe       0.4000         0  0.400000\n"
                       "alp         0.6000  0.600000  0.400000\n"
                       "mineral composition contributions from end-members\n"
                       "betMg       0.5000  0.500000         0\nbetFe       0.5000         0  0.500000\n"
                       "bet         0.4000  0.500000  0.500000\n"))
      << out;

  // A case without its own routine runs the covariance on the rock route.
  struct Case {
    std::string label;
    std::function<void()> change;
    void (*call)();
    std::string end;
  } cases[] = {
      {"no rows", [] { NRBIMODE = 0; }, nullptr, "calc covbp: bulk calcs not properly set up"},
      {"rows short", [] { NRBIMODE = 3; }, nullptr, "calc covbp: nmode mismatch"},
      {"a fixed component", [] { NUVLEFT = 1; }, nullptr, "calc covbp: nuvleft mismatch"},
      {"not a phase", [] { MINERAL[2].name = "gam"; }, ZQREAD3::MINERALSETUP, "calc covbp: unrecognised phase, gam"},
      {"measured too many", [] { MINERAL[1].nxyz = 2; }, ZQREAD3::MINERALSETUP, "mineral setup: phase size mismatch"},
      {"avPT+ without rbi", [] { CONTROLJX.rbi = no; }, ZQREAD3::RBICHECKS, "rbichecks: bulk must be by rbi or rmi for avPT+"},
      {"phase not measured", [] { MINERAL[2].name = "gam"; }, ZQREAD3::RBICHECKS, "rbichecks: info for bet not in mineral"},
      {"mineral without a row", [] { RBISTRP[2] = "gam"; }, ZQREAD3::RBICHECKS, "rbichecks: bet not in rbi"},
      {"measured bulk without minerals", [] { measured(); NMIN = 0; }, ZQREAD3::READCOMPS, "readcomps: no minerals!"},
      {"measured mineral without a row", [] { measured(); RBISTRP[1] = "gam"; }, ZQREAD3::RBICHECKS,
       "rbichecks: alp not in rmi"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    rock(0);
    c.change();
    IO::rrvector b{"b"};
    const std::function<void()> call = c.call != nullptr ? std::function<void()>(c.call) : [&] { ZQREAD3::CALCCOVBP(b); };
    EXPECT_EQ(ran(call, out), c.end);
  }

  // The bulk from the measured minerals themselves.
  rock(0);
  measured();
  ASSERT_EQ(ran(ZQREAD3::READCOMPS, out), "");
  EXPECT_NEAR(COMP1[1], 56, 1e-15L);
  EXPECT_NEAR(COMP2[2], 44, 1e-15L);

  // The rows follow the minerals, compositions and all.
  rock(0);
  RBISTRP[1] = "bet";
  RBISTRP[2] = "alp";
  RBIC(1, 1) = 5;
  ASSERT_EQ(ran(ZQREAD3::RBICHECKS, out), "");
  EXPECT_EQ(RBISTRP[1], "alp");
  EXPECT_NEAR(RBIMODE[1], 0.4L, 1e-18L);
  EXPECT_NEAR(RBIC(2, 1), 5, 0);
}

TEST_F(LogRatios, RockRouteSamples) {
  struct Case {
    extended sdalp, mgo;
    std::string verdict;
  } cases[] = {
      {0, 56, "bulks are the same, ok\n"},
      {0, 60, "## bulks are different, input bulk overridden: copy rbi into scriptfile\n"},
      {0.02L, 56, "bulks are the same, ok\n"},
  };
  std::vector<extended> spreads;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sdalp);
    rock(c.sdalp);
    IO::rrvector bulk{"bulk"};
    bulk[1] = c.mgo;
    bulk[2] = 100 - c.mgo;
    std::string out;
    ASSERT_EQ(ran([&] { ZQREAD3::CALCCOVBP(bulk); }, out), "");
    EXPECT_TRUE(has(out, c.verdict)) << out;
    EXPECT_TRUE(has(out, " seed = " + std::to_string(static_cast<std::uint32_t>(fixedclock().time_since_epoch().count())) +
                             "\n"))
        << out;
    EXPECT_TRUE(has(out, "mc            b'    sd(b')\nFeO      -0.24")) << out;
    EXPECT_NEAR(bulk[1], 56, 1e-15L);
    spreads.push_back(SDBP[1]);
    if (c.sdalp == 0) {
      EXPECT_NEAR(BP[1], std::log(44.0L / 56.0L), 1e-17L);
      EXPECT_EQ(SDBP[1], 0);
      EXPECT_EQ(COVBP(1, 1), 0);
      continue;
    }
    // To first order sd(b') = (0.3/0.22 + 0.3/0.28) sd(x).
    const extended expected = (0.3L / 0.22L + 0.3L / 0.28L) * c.sdalp;
    EXPECT_NEAR(SDBP[1], expected, 0.05L * expected);
    EXPECT_NEAR(std::sqrt(COVBP(1, 1)), expected, 0.05L * expected);
    EXPECT_NEAR(BP[1], std::log(44.0L / 56.0L), 0.01L);
  }
  // The same seed draws the same samples.
  rock(0.02L);
  IO::rrvector bulk{"bulk"};
  bulk[1] = 56;
  bulk[2] = 44;
  std::string out;
  ASSERT_EQ(ran([&] { ZQREAD3::CALCCOVBP(bulk); }, out), "");
  EXPECT_EQ(SDBP[1], spreads.back());
}

}  // namespace
