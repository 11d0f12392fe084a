// A data set's enthalpy covariances judged with the rounding the file
// carries: where no covariance matrix lies within it, calc modes 2 and 3
// stop naming the end-members rather than print uncertainties whose values
// depend on the path that reached them (with a variance of -0.25661 kJ^2
// average P came out 10.64 or 10.57 at one T, by the list of T); a block
// rounded from a covariance matrix, as calc mode 9 writes it, is used.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../support/covblocks.h"
#include "harness.h"

using e2e::has;

namespace {

// Five made-up end-members; the covariance block's first entry, the
// variance of eas, is below 0 (the rest of the block is positive definite
// when it is +0.25661). Calc mode 2, average P over calcT 500 700 50.
const std::vector<std::string> fixture = {"negvarcov"};

// The fixture's data set with the variance of eas and its covariance with ebt.
std::string dataset(const std::string& variance, const std::string& easebt) {
  std::string ds = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/negvarcov/jx-ds7zz.txt");
  return ds.replace(ds.find("-0.25661 -0.02458"), 17, variance + " " + easebt);
}

TEST(MeaninglessCovariance, StopsAverageAndSectionNamingTheEndMembers) {
  const struct {
    const char* what;
    std::map<std::string, std::string> files;
    const char* answers;
    const char* stop;
  } cases[] = {
      {"a variance below 0", {}, "", "-- run bombed in calccov : variance below 0 - covariances of eas\n"},
      // 0.5 against sqrt(0.25661 x 0.14321) = 0.1917
      {"a correlation above 1",
       {{"jx-ds7zz.txt", dataset("0.25661", "0.5")}},
       "",
       "-- run bombed in calccov : covariance beyond the product of the sd's - covariances of eas and ebt\n"},
      // a zero to an exponent beyond a long, within 0.5e-5000: eas's least covariance, -0.00190 with eew, beyond it
      {"a zero's long exponent", {{"jx-ds7zz.txt", dataset("0.0e-9223372036854775808", "0.5")}}, "",
       "-- run bombed in calccov : covariance beyond the product of the sd's - covariances of eas and eew\n"},
      {"calc mode 3",
       {{"jx-prefs.txt", "dsfile 7zz\nscriptfile zz\ncalcmode 3\nsetpagewidth 250\n*\n"},
        {"jx-zz.txt", "axfile zzax\nwith eas ebt ecu edv eew\ncalctype 1\ndiagramPT 0.5 30 200 1200\n"
                      "schreinemakers no\ninexcess\nfluidpresent no\n*\n"}},
       "y\n2 28 2\n",
       "-- run bombed in ptxtable : variance below 0 - covariances of eas\n"},
  };
  for (const auto& c : cases) {
    const e2e::Run r = e2e::run(fixture, c.answers, c.files);
    EXPECT_EQ(r.status, 1) << c.what << "\n" << r.out;
    EXPECT_TRUE(has(r.out, c.stop)) << c.what << "\n" << r.out;
    EXPECT_FALSE(has(r.out, "av P")) << c.what;
    EXPECT_FALSE(has(r.out, "sd(ln_K)")) << c.what;
  }
  // The same block with the variance above 0 means something: the averages.
  const e2e::Run r = e2e::run(fixture, "", {{"jx-ds7zz.txt", dataset("0.25661", "-0.02458")}});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(has(r.out, "av P")) << r.out;
}

// The fixture's data set with its covariance triangle replaced.
std::string withtriangle(const std::string& triangle) {
  std::string ds = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/negvarcov/jx-ds7zz.txt");
  const std::size_t from = ds.find("\n1.0\n") + 5, to = ds.find("\nmade-up rock");
  return ds.replace(from, to - from, triangle);
}

// The sd's a run prints must be numbers of at least 0: calc mode 3's sd(a)
// column, calc mode 2's sd(a) column and the sd row of its averages.
void expectnonegativesd(const std::string& out, const std::string& what) {
  for (const char* heading : {"    sd(a)          b", "   sd(a)          b"}) {
    std::size_t at = out.find(heading);
    if (at == std::string::npos) continue;
    const bool mode3 = heading[4] == 's';
    for (std::size_t from = out.find('\n', at) + 1; from < out.size();) {
      const std::size_t end = out.find('\n', from);
      std::istringstream row(out.substr(from, end - from));
      std::vector<std::string> w;
      for (std::string t; row >> t;) w.push_back(t);
      if (w.empty()) break;
      // mode 3: k a sd(a) ...; mode 2: k [P sd(P)] a sd(a) ...
      const std::string sd = mode3 ? w[2] : w[w.size() - 5];
      EXPECT_NE(sd[0], '-') << what << ": " << out.substr(from, end - from);
      from = end + 1;
    }
  }
  const std::size_t sdrow = out.find("\nsd    ");
  if (sdrow != std::string::npos) {
    const std::string row = out.substr(sdrow, out.find('\n', sdrow + 1) - sdrow);
    EXPECT_EQ(row.find('-'), std::string::npos) << what << ": " << row;
  }
}

// Random blocks (covblocks.h) over the fixture's five end-members, every one
// of them in the reactions, through calc mode 2's tables and averages and
// calc mode 3's tables: a definite block and one rounded from a singular
// covariance matrix are used, with no sd below 0; a block beyond any
// covariance matrix within its rounding (the eigenvalues of its bad members'
// block below 0 by far more) stops either mode naming exactly those members,
// its pairs all within [-1, 1] where three are bad; so does a pair or a
// triple beyond it in a direction that no eigenvector of the block shows.
// A block whose nearest covariance matrix lies beyond its rounding, with
// another one within it, is used.
TEST(MeaninglessCovariance, RandomBlocksAreUsedOrRefusedByCalcModesTwoAndThree) {
  std::mt19937 rng(1092);
  const std::vector<std::string> names = {"eas", "ebt", "ecu", "edv", "eew"};
  const std::string mode3prefs = "dsfile 7zz\nscriptfile zz3\ncalcmode 3\nsetpagewidth 250\n*\n";
  const std::string mode3 = "axfile zzax\nwith eas ebt ecu edv eew\ncalctype 1\ndiagramPT 0.5 30 200 1200\n"
                            "schreinemakers no\ninexcess\nfluidpresent no\nautoexit\n*\n";
  for (int trial = 0; trial < 24; ++trial) {
    // After the first four kinds' 16, the triples and the blocks inside alternate.
    const auto k = static_cast<covblocks::kind>(trial < 16 ? trial % 4 : 4 + trial % 2);
    const covblocks::block b = covblocks::draw(rng, k, 5, 1 + trial / 4 % 3);
    const std::string ds = withtriangle(b.triangle());
    const e2e::Run two = e2e::run(fixture, "", {{"jx-ds7zz.txt", ds}});
    const e2e::Run three =
        e2e::run(fixture, "y\n2 28 2\n", {{"jx-ds7zz.txt", ds}, {"jx-prefs.txt", mode3prefs}, {"jx-zz3.txt", mode3}});
    const std::string what = std::to_string(trial) + "\n" + b.triangle();
    if (b.k == covblocks::kind::beyond || b.k == covblocks::kind::hidden || b.k == covblocks::kind::triple) {
      EXPECT_EQ(two.status, 1) << what;
      EXPECT_TRUE(has(two.out, "-- run bombed in calccov : " + b.stop(names) + "\n")) << what << two.out;
      EXPECT_EQ(three.status, 1) << what;
      EXPECT_TRUE(has(three.out, "-- run bombed in ptxtable : " + b.stop(names) + "\n")) << what << three.out;
      continue;
    }
    EXPECT_EQ(two.status, 0) << what << two.out;
    EXPECT_TRUE(has(two.out, "av P ")) << what << two.out;
    expectnonegativesd(two.out, what);
    EXPECT_EQ(three.status, 0) << what << three.out;
    EXPECT_TRUE(has(three.out, "sd(ln_K)")) << what << three.out;
    expectnonegativesd(three.out, what);
  }
}

// The sd of 2 ka = kb from the block written for ka and kb: the block's own
// where it is a covariance matrix, else that of the nearest one (its
// negative eigenvalue taken as 0), in closed form for 2 x 2.
double reactionsd(double a, double b, double c) {
  const double low = (a + c) / 2 - std::hypot((a - c) / 2, b);
  if (low < 0) {
    const double n = std::hypot(b, low - a), x = b / n, y = (low - a) / n;
    a -= low * x * x, b -= low * x * y, c -= low * y * y;
  }
  return std::sqrt(std::max(0.0, 4 * a - 4 * b + c));
}

// Its cell and the b after it in calc mode 3's table of the reactions.
std::string sdcell(double sd) {
  char cell[64];
  std::snprintf(cell, sizeof cell, "%8.2f   0.002000", sd);
  return cell;
}

// Calc mode 9 fits ka and its dimer kb, tied to 2 ka within 0.001 kJ, with
// sa, fx and ex: the covariance it writes to 4 decimals is, for most sd's
// of ka's calorimetry, an indefinite block (var(ka) var(kb) below
// cov(ka, kb)^2). Calc modes 1, 2 and 3 read that file back without a stop
// and with no sd below 0; calc mode 3's sd(a) of 2 ka = kb is that of the
// block, or of the covariance matrix nearest it (the fit's own sd is below
// 0.001 kJ, which the 4 decimals do not hold). Own
// weighted least squares (mpmath) of the fixture's rows, per sd: var(ka),
// cov(ka, kb), var(kb) and the sd of 2 ka = kb.
TEST(MeaninglessCovariance, FitsWrittenByCalcModeNineAreReadBackByCalcModesOneToThree) {
  const struct {
    const char* sd;
    double var, cov, varb, sdreaction;
  } fits[] = {
      {"0.02", 0.00036108, 0.00072216, 0.00144525, 0.00096412}, {"0.05", 0.00183535, 0.00367071, 0.00734228, 0.00093300},
      {"0.08", 0.00344397, 0.00688794, 0.0137767, 0.00089104},  {"0.13", 0.00513758, 0.0102752, 0.020551, 0.00082804},
      {"0.3", 0.00633387, 0.0126677, 0.025336, 0.00073545},     {"0.5", 0.0064428, 0.0128856, 0.0257717, 0.0007102},
  };
  const std::string xp = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/fitcov/ds-xpfc.txt");
  // The fit's a-x file: the binary of calc modes 1 and 3's, without their pure phases.
  const std::string ax = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/fitcov/jx-fcax.txt");
  const std::string fitax = ax.substr(0, ax.find("\nka\n") + 1) + "*\n";
  int indefinite = 0;
  for (const auto& f : fits) {
    std::string x = xp;
    x.replace(x.find("-601.5 0.08"), 11, std::string("-601.5 ") + f.sd);
    const e2e::Run fit = e2e::run({"fitcov"}, "1\n", {{"ds-xpfc.txt", x}, {"ds-axfc.txt", fitax}});
    ASSERT_EQ(fit.status, 0) << f.sd << fit.out;
    const std::string& ds = fit.files.at("jx-ds6fc.txt");
    // ka and kb are records 1 and 2: the triangle's 1st, 2nd and 6th values.
    std::istringstream tail(ds.substr(ds.rfind("\n\n", ds.rfind("\n\n") - 1)));
    std::vector<double> t;
    for (std::string w; tail >> w && t.size() < 16;) t.push_back(std::atof(w.c_str()));
    ASSERT_EQ(t.size(), 16u) << ds;
    const double var = t[1], cov = t[2], varb = t[6];
    EXPECT_NEAR(var, f.var, 0.00005) << f.sd;
    EXPECT_NEAR(cov, f.cov, 0.00005) << f.sd;
    EXPECT_NEAR(varb, f.varb, 0.00005) << f.sd;
    indefinite += var * varb < cov * cov ? 1 : 0;
    const double sd = reactionsd(var, cov, varb);
    for (int mode = 1; mode <= 3; ++mode) {
      const std::string m = std::to_string(mode);
      const e2e::Run r = e2e::run({"fitcov"}, mode == 3 ? "y\n2 38 6\n" : "n\n\n",
                                  {{"jx-ds6fc.txt", ds},
                                   {"jx-prefs.txt", "dsfile 6fc\nscriptfile m" + m + "\ncalcmode " + m +
                                                        "\nsetpagewidth 250\n"}});
      EXPECT_EQ(r.status, 0) << f.sd << " calc mode " << m << "\n" << r.out;
      EXPECT_FALSE(has(r.out, "bombed")) << f.sd << " calc mode " << m << "\n" << r.out;
      expectnonegativesd(r.out, std::string(f.sd) + " calc mode " + m);
      // Calc mode 3 has 2 ka = kb alone, whose block is ka's and kb's.
      if (mode == 3) {
        EXPECT_TRUE(has(r.out, sdcell(sd))) << f.sd << "\n" << r.out;
      }
    }
  }
  EXPECT_GE(indefinite, 3);
}

// The fixture's triangle of eight end-members over three components, whose
// averages come from the reactions the finder gives.
std::string rocktriangle(const covblocks::block& b) {
  std::string ds = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/rockexclude/jx-ds7zz.txt");
  const std::size_t from = ds.find("\n1.0\n") + 5, to = ds.find("\nmade-up rock");
  return ds.replace(from, to - from, b.triangle());
}

// The rows of the summary of each calculation of a run, in order.
std::vector<std::string> averages(const std::string& out) {
  std::vector<std::string> rows;
  for (std::size_t at = out.find("\nav P "); at != std::string::npos; at = out.find("\nav P ", at + 1)) {
    const std::size_t end = out.find("\nsigfit", at);
    rows.push_back(out.substr(at, out.find('\n', end + 1) - at));
  }
  return rows;
}

// A calculation after others in one run ("more calculations with these
// data"), with end-members excluded, more added or the exclusions dropped,
// gives what a fresh run with its own choices gives: each judges the
// covariances read, never a matrix an earlier one made of them. Blocks at 1
// decimal rounded from covariance matrices of low rank (most indefinite).
TEST(MeaninglessCovariance, LaterCalculationsOfARunEqualFreshRuns) {
  std::mt19937 rng(1105);
  const std::string dataok = "axfile zzax\ncalctype 1\nrunname rx\ndataok yes\nwith q00 q01 q02 q03 q04 q05 q06 q07\n"
                             "diagramPT 0.5 30 200 1200\ncalcT 500 700 50\nmaxsdp yes 20\nprintcor yes\n*\n";
  // The runs: the answers, and the fresh run (its exclusions) of each calculation.
  const struct {
    const char* answers;
    std::vector<const char*> fresh;
  } runs[] = {
      {"y\nn\nq07 *\ny\ny\nn\nn\n\n", {"", "q07"}},
      {"y\nn\nq07 *\ny\ny\ny\nn\ny\ny\nn\nn\n\n", {"", "q07", ""}},
      {"y\nn\nq07 *\ny\ny\ny\ny\nn\nq06 *\ny\ny\nn\nn\n\n", {"", "q07", "q06 q07"}},
  };
  int indefinite = 0;
  for (int trial = 0; trial < 3; ++trial) {
    covblocks::block b = covblocks::draw(rng, covblocks::kind::rounded, 8);
    b.places = 1;
    for (auto& row : b.c)
      for (double& x : row) x = covblocks::rounded(x, 1);
    std::vector<double> w;
    covblocks::matrix v;
    covblocks::eigen(b.c, w, v);
    indefinite += *std::min_element(w.begin(), w.end()) < 0 ? 1 : 0;
    const std::string ds = rocktriangle(b);
    std::map<std::string, std::string> freshrows;
    for (const char* ex : {"", "q07", "q06 q07"}) {
      const std::string a = *ex ? std::string("n\n") + ex + " *\ny\nn\nn\n\n" : "y\nn\nn\n\n";
      const e2e::Run r = e2e::run({"rockexclude"}, a, {{"jx-ds7zz.txt", ds}});
      ASSERT_EQ(averages(r.out).size(), 1u) << ex << r.out;
      freshrows[ex] = averages(r.out)[0];
    }
    for (const auto& run : runs) {
      const e2e::Run r = e2e::run({"rockexclude"}, run.answers, {{"jx-ds7zz.txt", ds}, {"jx-zz.txt", dataok}});
      const std::vector<std::string> rows = averages(r.out);
      ASSERT_EQ(rows.size(), run.fresh.size()) << run.answers << r.out;
      for (std::size_t k = 0; k < rows.size(); ++k)
        EXPECT_EQ(rows[k], freshrows[run.fresh[k]]) << trial << " " << run.answers << " calculation " << k + 1;
    }
  }
  EXPECT_GE(indefinite, 2);
}

}  // namespace
