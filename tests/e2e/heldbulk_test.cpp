// Every route that takes a bulk, in runs that hold a component by a mu or
// an ln a variable (or hold none): the point is the plain pseudosection's,
// with the bulk held over the free components only.
//
// mumodes: ol (fo-fa, 2-site ideal) and opx (en-fs, ideal) in SiO2-MgO-FeO;
// G = H - T S + (P - 0.001) V. With mu(SiO2) held the exchanges
// fo + SiO2 = 2 en and fa + SiO2 = 2 fs fix x(ol) and x(opx) (closed form
// below, with a symmetric W(en,fs) as Monte Carlo draws it); the modes, on
// the atoms of the free MgO and FeO, follow from the lever rule on the free
// bulk's Fe / (Mg + Fe).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "../support/mumodes.h"
#include "harness.h"

using e2e::has;

namespace {

constexpr double R = 0.0083144, P = 4, Tc = 680, T = Tc + 273.15, RT = R * T;

// G at tc (C), 4 kbar.
double g(double H, double S, double V, double tc = Tc) { return H - (tc + 273.15) * S + V * (P - 0.001); }
// fo, fa, en, fs at tc.
std::array<double, 4> olopxg(double tc) {
  return {g(-2172, 0.095, 4.366, tc), g(-1479, 0.151, 4.631, tc), g(-1546, 0.066, 3.13, tc), g(-1196, 0.095, 3.3, tc)};
}
const double fo = olopxg(Tc)[0], fa = olopxg(Tc)[1], q = g(-910, 0.042, 2.27);

struct pair {
  double ol, opx;
};

// Where f changes sign in lo..hi, by bisection.
template <class F>
double bisect(F f, double lo, double hi) {
  for (int i = 0; i < 200; ++i) {
    const double m = 0.5 * (lo + hi);
    (f(lo) * f(m) <= 0 ? hi : lo) = m;
  }
  return lo;
}

// x(ol), x(opx) with mu(SiO2) = mu at tc (C): from the Mg exchange x(ol)
// follows x(opx); the Fe exchange is then bisected in x(opx).
pair exchange(double mu, double W = 0, double tc = Tc) {
  const double rt = R * (tc + 273.15);
  const std::array<double, 4> G = olopxg(tc);  // fo, fa, en, fs
  auto xol = [&](double y) {
    return 1 - std::exp((2 * (G[2] + rt * std::log(1 - y) + W * y * y) - G[0] - mu) / (2 * rt));
  };
  const double y = bisect(
      [&](double y) {
        return G[1] + 2 * rt * std::log(xol(y)) + mu - 2 * (G[3] + rt * std::log(y) + W * (1 - y) * (1 - y));
      },
      0.01, 0.99);
  return {xol(y), y};
}

// The points of a summary: per "P(kbar)" heading the numbers of the row
// under it, then the first row of the modes after it.
struct point {
  std::vector<double> row, modes;
};

std::vector<double> numbers(const std::string& line) {
  std::istringstream in(line);
  std::vector<double> v;
  for (std::string w; in >> w;) v.push_back(std::stod(w));
  return v;
}

std::string lineafter(const std::string& text, std::size_t at) {
  const std::size_t b = text.find('\n', at + 1) + 1;
  return text.substr(b, text.find('\n', b) - b);
}

std::vector<point> points(const std::string& o) {
  std::vector<point> v;
  for (std::size_t at = o.find("\n P(kbar)"); at != std::string::npos; at = o.find("\n P(kbar)", at + 1)) {
    point p;
    p.row = numbers(lineafter(o, at + 1));
    const std::size_t m = o.find("\nmode ", at);
    if (m != std::string::npos) {
      p.modes = numbers(lineafter(o, m + 1));
      // A bulk range's rows open with its step and proportion.
      if (has(o.substr(m, 20), " pos ")) p.modes.erase(p.modes.begin(), p.modes.begin() + 2);
    }
    v.push_back(p);
  }
  return v;
}

using mmsystem::kind;

const std::string common = "inexcess\ndiagramPT 1 10 400 1200\nzeromodeiso no\nmodeiso no\nautoexit yes\n";
const std::string plainbulk = "bulk SiO2 MgO FeO\nbulk 40 30 30\n";

e2e::Run go(const kind& k, const std::string& lines, const std::string& ax = "mmax") {
  std::map<std::string, std::string> files{
      {"jx-mm.txt", "axfile " + ax + "\nwith " + k.with + "\n" + k.variables + common + lines + "*\n"}};
  if (k.lnaphase) files.merge(mmsystem::lnafiles());
  return e2e::run({"mumodes"}, "", files);
}

std::string plain(const std::string& bulk) { return "calcP 4\ncalcT 680\npseudosection\n" + bulk; }

std::string batch(const kind& k, const std::string& bulk, int variance) {
  return "pseudosection no\nbatchxyzguess startblock\nbatchxyzguess x(ol) 0.5\nbatchxyzguess x(opx) 0.45\n"
         "batchbulk " + bulk + "\nbatch " + k.phases + " " + std::to_string(variance) + " 1 1 4 680 1 1 1 0 0 0\n";
}

// The same printed point: its row, and the modes of its n phases (a batch
// item prints no phase properties after them).
void expectsame(const point& got, const point& want, std::size_t n, const std::string& what) {
  ASSERT_EQ(got.row.size(), want.row.size()) << what;
  for (std::size_t i = 0; i < got.row.size(); ++i) EXPECT_NEAR(got.row[i], want.row[i], 1e-9) << what;
  ASSERT_GE(got.modes.size(), n) << what;
  ASSERT_GE(want.modes.size(), n) << what;
  for (std::size_t i = 0; i < n; ++i) EXPECT_NEAR(got.modes[i], want.modes[i], 1e-9) << what;
}

using mmsystem::lna;
using mmsystem::none;
using mmsystem::onemu;
using mmsystem::twomu;

// A batch item with a bulk, in a run with mu(SiO2): whether its bulk gives
// SiO2 or not, whatever variance the item was given, it is the plain
// route's point (free bulk MgO:FeO 30:30, so the lever rule at 0.5).
TEST(HeldBulk, BatchItemWithAMuVariableIsThePlainPoint) {
  const pair x = exchange(-945);
  const double mode = (0.5 - x.opx) / (x.ol - x.opx);
  EXPECT_NEAR(x.ol, 0.5416, 1e-4);
  const e2e::Run p = go(onemu, plain(plainbulk));
  const e2e::Run b = go(onemu, batch(onemu, "40 30 30", 2) + "batchbulk 0 30 30\n" +
                                   "batch ol opx 1 1 1 4 680 1 1 2 0 0 0\n");
  for (const e2e::Run* r : {&p, &b}) {
    EXPECT_EQ(r->status, 0) << r->out;
    EXPECT_FALSE(has(r->out, "bombed")) << r->out;
  }
  const std::vector<point> all = points(p.files.at("jx-mm-o.txt")), items = points(b.files.at("jx-mm-o.txt"));
  ASSERT_EQ(all.size(), 1u);
  ASSERT_EQ(items.size(), 2u) << b.files.at("jx-mm-o.txt");
  for (const point& pt : {all[0], items[0], items[1]}) {
    ASSERT_EQ(pt.row.size(), 4u);
    EXPECT_NEAR(pt.row[2], x.ol, 6e-5);
    EXPECT_NEAR(pt.row[3], x.opx, 6e-5);
    ASSERT_EQ(pt.modes.size(), 2u);
    EXPECT_NEAR(pt.modes[0], mode, 6e-5);
    EXPECT_NEAR(pt.modes[1], 1 - mode, 6e-5);
  }
}

// Batch items, a bulk range (its first step), an rbi rock of the same free
// bulk and a dogmin point give the plain route's point, with no variable,
// one or two mu and an ln a variable.
TEST(HeldBulk, EveryRouteWithABulkGivesThePlainPoint) {
  // rbi: ol and opx of Fe / (Mg + Fe) 0.5 in one formula each, 7 and 5
  // atoms, so modes 7/12 and 5/12 make the rock 2:1.5:1.5 = 40:30:30.
  const std::string rbi = "rbi SiO2 MgO FeO\nrbi ol 0.58333333 1 1 1\nrbi opx 0.41666667 1 0.5 0.5\n";
  for (const kind& k : {none, onemu, twomu, lna}) {
    SCOPED_TRACE(k.name);
    const e2e::Run ref = go(k, plain(plainbulk));
    ASSERT_EQ(ref.status, 0) << ref.out;
    const std::vector<point> want = points(ref.files.at("jx-mm-o.txt"));
    ASSERT_EQ(want.size(), 1u) << ref.files.at("jx-mm-o.txt");
    const double mu = k.lnaphase ? q + RT * -0.5 : -945;
    if (k.name != none.name) {
      // The closed form: x(ol) from the exchange, and for ol alone mode 1.
      const pair x = exchange(mu);
      EXPECT_NEAR(want[0].row[k.lnaphase ? 3 : 2], x.ol, 6e-5);
      EXPECT_NEAR(want[0].modes[0], k.name == twomu.name ? 1 : (0.5 - x.opx) / (x.ol - x.opx), 6e-4);
    }
    const std::vector<std::string> routes = {batch(k, "40 30 30", k.variance),
                                             plain("bulk SiO2 MgO FeO\nbulk 40 30 30\nbulk 40 32 28 2\n"),
                                             plain(rbi)};
    for (const std::string& route : routes) {
      const e2e::Run r = go(k, route);
      EXPECT_EQ(r.status, 0);
      // A range gives a point per step: the first is the plain bulk's.
      const std::vector<point> got = points(r.files.at("jx-mm-o.txt"));
      ASSERT_GE(got.size(), 1u) << route << r.out;
      expectsame(got[0], want[0], k.phases == "ol" ? 1 : 2, route);
    }
    // A dogmin point of the same rock: the plain point where Gibbs energies
    // can be had; a held potential leaves none, and the run says so.
    const e2e::Run d = go(k, "maxvar 3\n" + plain(plainbulk) + "dogmin yes 1\n");
    if (k.name != none.name) {
      EXPECT_EQ(d.status, 1);
      EXPECT_TRUE(has(d.out, "-- run bombed in dogmin : dogmin needs Gibbs energies")) << d.out;
      continue;
    }
    EXPECT_EQ(d.status, 0) << d.out;
    const std::string& o = d.files.at("jx-mm-o.txt");
    const std::size_t at = o.find("\n   P(kbar)"), m = o.find("\nmode ", at);
    ASSERT_NE(m, std::string::npos) << o;
    const std::vector<double> row = numbers(lineafter(o, at + 1)), modes = numbers(lineafter(o, m + 1));
    ASSERT_EQ(row.size(), 4u) << o;
    for (std::size_t i = 2; i < 4; ++i) EXPECT_NEAR(row[i], want[0].row[i], 1e-9);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_NEAR(modes[i], want[0].modes[i], 1e-9);
  }
}

// A Monte Carlo series of a batch item with a bulk and mu(SiO2), W(en,fs)
// drawn directly and as a function of a drawn range: each run is the point
// at its own W, the modes by the lever rule on the free bulk 42.6:17.4.
TEST(HeldBulk, MonteCarloItemsWithABulkAreEachAtTheirDrawnW) {
  std::string ax = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/mumodes/jx-mmax.txt");
  const std::size_t at = ax.find("  ideal", ax.find("\nopx "));
  ax.replace(at, 8, "  sf\n  W(en,fs) 3 0 0\n");
  const std::string item = "pseudosection no\nbatchxyzguess startblock\nbatchxyzguess x(ol) 0.35\n"
                           "batchxyzguess x(opx) 0.25\nbatchbulk 40 42.6 17.4\n"
                           "batch ol opx 2 1 1 4 680 1 1 1 0 0 0\nmcit 8 30000\n";
  for (const std::string mc : {"mc opx a W(en,fs) 3 0.3\n", "mcrange rw 0 0.3\nmcfunc fw 3 1 1 rw\nmc opx a W(en,fs) ffw\n"}) {
    SCOPED_TRACE(mc);
    const e2e::Run r = e2e::run(
        {"mumodes"}, "",
        {{"jx-wax.txt", ax}, {"jx-mm.txt", "axfile wax\nwith ol opx\n" + onemu.variables + common + item + mc + "*\n"}});
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(has(r.out, "bombed")) << r.out;
    const std::string& o = r.files.at("jx-mm-o.txt");
    const std::vector<point> runs = points(o);
    ASSERT_EQ(runs.size(), 8u) << o;
    // The first run has the model's W; each later one the draw reported before it.
    std::size_t from = 0;
    const double XFe = 17.4 / 60;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      double W = 3;
      if (i > 0) {
        from = o.find("\nw(en,fs)a", from + 1);
        ASSERT_NE(from, std::string::npos);
        W = numbers(o.substr(from + 10, o.find('\n', from + 1) - from - 10))[1];
      }
      const pair x = exchange(-945, W);
      EXPECT_NEAR(runs[i].row[2], x.ol, 6e-5) << "W " << W;
      EXPECT_NEAR(runs[i].row[3], x.opx, 6e-5) << "W " << W;
      EXPECT_NEAR(runs[i].modes[0], (XFe - x.opx) / (x.ol - x.opx), 6e-4) << "W " << W;
    }
  }
}

// per at a fixed activity of 0.012 beside ol, mu(SiO2) held: from
// fo = 2 per + SiO2, x(ol) = 1 - exp((2 (G(per) + RT ln a) + mu - G(fo)) / 2RT)
// = 0.6000; per holds no Fe, so the free bulk 30:30 gives ol 0.5 / 0.6.
// The batch item with the bulk is the plain point.
TEST(HeldBulk, FixedActivityPhaseInAnItemWithABulk) {
  std::string ax = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/mumodes/jx-mmax.txt");
  ax.replace(ax.find("\nper\n"), 5, "\nper 0.012\n");
  const double per = g(-601, 0.027, 1.12), x = 1 - std::exp((2 * (per + RT * std::log(0.012)) - 945 - fo) / (2 * RT));
  const std::string head = "axfile mmax\nwith ol per\n" + onemu.variables + common;
  for (const std::string& lines :
       {plain(plainbulk), std::string("pseudosection no\nbatchxyzguess startblock\nbatchxyzguess x(ol) 0.5\nbatchbulk 40 30 30\n"
                          "batch ol per 2 1 1 4 680 1 1 1 0 0 0\n")}) {
    const e2e::Run r = e2e::run({"mumodes"}, "", {{"jx-mmax.txt", ax}, {"jx-mm.txt", head + lines + "*\n"}});
    EXPECT_EQ(r.status, 0);
    const std::vector<point> got = points(r.files.at("jx-mm-o.txt"));
    ASSERT_EQ(got.size(), 1u) << lines << r.out;
    EXPECT_NEAR(got[0].row[2], x, 6e-5) << lines;
    ASSERT_GE(got[0].modes.size(), 2u);
    EXPECT_NEAR(got[0].modes[0], 0.5 / x, 6e-5) << lines;
  }
}

// ol alone with mu(SiO2) held: SiO2, MgO and FeO open, one phase, one mu:
// variance 3 - 1 + 2 - 1 = 3, and the point at P-T is ol of the free bulk's
// x = 0.5 with mu(MgO), mu(FeO) from fo = 2 MgO + SiO2, fa = 2 FeO + SiO2.
TEST(HeldBulk, OnePhaseLeavingNoComponentOutIsAPoint) {
  const kind alone{"ol alone", "ol", "mu SiO2 -945\ncalcmu\n", "ol", 3, false};
  const e2e::Run r = go(alone, plain(plainbulk));
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.out, "original variance = 3, effective variance = 2")) << r.out;
  const std::vector<point> got = points(r.files.at("jx-mm-o.txt"));
  ASSERT_EQ(got.size(), 1u) << r.out;
  EXPECT_NEAR(got[0].row[2], 0.5, 6e-5);
  const double mgo = (fo + 2 * RT * std::log(0.5) + 945) / 2, feo = (fa + 2 * RT * std::log(0.5) + 945) / 2;
  char row[80];
  std::snprintf(row, sizeof row, "        -945.00000 %11.5f %11.5f\n", mgo, feo);
  EXPECT_TRUE(has(r.files.at("jx-mm-o.txt"), row)) << row << r.files.at("jx-mm-o.txt");
}

// A pseudosection whose every assemblage is passed over for the variance
// asked says so, with or without a mu variable, rather than ending silent.
TEST(HeldBulk, APassThatCalculatesNothingSaysSo) {
  for (const kind& k : {none, onemu}) {
    const e2e::Run r = e2e::run(
        {"mumodes"}, "4\n",
        {{"jx-mm.txt", "axfile mmax\nwith ol opx\n" + k.variables + "acceptvar no\n" + common + plain(plainbulk) + "*\n"}});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(has(r.out, "original variance = 4")) << r.out;
    EXPECT_TRUE(has(r.out, "\n<== nothing calculated: no assemblage of these phases can be solved ==>\n")) << r.out;
    EXPECT_TRUE(has(r.files.at("jx-mm-o.txt"), "<== nothing calculated")) << k.name;
  }
}

// The made-up carbonate system of the buffered sections: pe (pk-fk, MgO-FeO)
// and cb (mk-sk, MgCO3-FeCO3), ideal Mg-Fe solutions, and an ideal H2O-CO2
// fluid; G = H - T S + (P - 0.001) V.
std::string carbonateds() {
  return
      "7 6 don't alter this line or the layout of the records below: a made-up carbonate system\n\n"
      "pk  pkx  1  5 1.0  10 1.0  0\n0\n-600.90 0.0271 1.13 0 0 0 0\n0 0 0\n\n"
      "fk  fkx  1  4 1.0  10 1.0  0\n0\n-270.00 0.0600 1.20 0 0 0 0\n0 0 0\n\n"
      "mk  mkx  1  5 1.0  12 1.0  10 3.0  0\n0\n-1125.00 0.0660 2.80 0 0 0 0\n0 0 0\n\n"
      "sk  skx  1  4 1.0  12 1.0  10 3.0  0\n0\n-780.00 0.0950 2.94 0 0 0 0\n0 0 0\n\n"
      "H2O  water  1  11 2.0  10 1.0  0\n0\n-241.81 0.1888 0 0.04 0 0 0\n0 0 0\n\n"
      "CO2  carbon  1  12 1.0  10 2.0  0\n0\n-393.51 0.2137 0 0.045 0 0 0\n0 0 0\n\n"
      "4321.0\n0.0025 0 0 0 0 0\n0.0025 0 0 0 0\n0.0025 0 0 0\n0.0025 0 0\n0.0025 0\n0.0025\n\nmade-up carbonates\n";
}

// -dG / RT of pk + sk = fk + mk at 3 kbar and tc (C): ln Kd of pe and cb,
// for the exchange needs no fluid.
double carbonatelnk(double tc) {
  const double t = tc + 273.15;
  auto gc = [&](double H, double S, double V) { return H - t * S + V * (3 - 0.001); };
  return -(gc(-270, 0.06, 1.2) + gc(-1125, 0.066, 2.8) - gc(-600.9, 0.0271, 1.13) - gc(-780, 0.095, 2.94)) / (R * t);
}

std::string carbonateax() {
  auto binary = [](const std::string& name, const std::string& a, const std::string& b) {
    return name + " 2 1\n  x(" + name + ") 0.3\n  p(" + a + ") 1 1 1 1 -1 x\n  p(" + b +
           ") 1 1 0 1 1 x\n  ideal\n  2\n  xMg 1 1 1 1 -1 x\n  xFe 1 1 0 1 1 x\n  " + a + " 1 1 xMg 1\n  " + b +
           " 1 1 xFe 1\n";
  };
  return "fluid 2 1\n  x(fluid) 0.4\n  p(H2O) 1 1 1 1 -1 x\n  p(CO2) 1 1 0 1 1 x\n  ideal\n  2\n"
         "  xH 1 1 1 1 -1 x\n  xC 1 1 0 1 1 x\n  H2O 1 1 xH 1\n  CO2 1 1 xC 1\n" +
         binary("pe", "pk", "fk") + binary("cb", "mk", "sk") + "*\n";
}

// A T-x(CO2) section whose fluid, in excess, is buffered by the section's
// x(CO2): pe (MgO-FeO) and cb (MgCO3-FeCO3), ideal Mg-Fe solutions, made up
// here. H2O and CO2 are held, MgO and FeO free. A batch item with the bulk,
// the fluid named or left to come with the run, is the plain route's point
// at each x(CO2). Apart from the program: the exchange pk + sk = fk + mk
// needs no fluid, so x(pe) (1 - x(cb)) / ((1 - x(pe)) x(cb)) = exp(-dG / RT)
// with G = H - T S + (P - 0.001) V at 3 kbar, 650 C (K = 10.31 by hand),
// and the modes follow the lever rule on the free bulk's Fe / (Mg + Fe) 0.4.
TEST(HeldBulk, BatchItemInABufferedFluidSectionIsThePlainPoint) {
  const std::string ds = carbonateds(), ax = carbonateax();
  const std::string head = "axfile bfax\nwith pe cb fluid\ninexcess fluid\nfig Tx(CO2)\ncalcx(CO2) 0.2 0.3\n"
                           "diagramPT 0.5 10 300 1200\nzeromodeiso no\nmodeiso no\nproject no\nautoexit yes\n";
  const std::string guesses = "pseudosection no\nbatchxyzguess startblock\nbatchxyzguess x(pe) 0.6\n"
                              "batchxyzguess x(cb) 0.2\nbatchbulk 15 5 48 32\n";
  auto go = [&](const std::string& lines) {
    const std::string bulk = "bulk H2O CO2 MgO FeO\nbulk 15 5 48 32\n*\n";
    return e2e::run({"buffered"}, "", {{"jx-ds7bf.txt", ds}, {"jx-bfax.txt", ax}, {"jx-bf.txt", head + lines + bulk}});
  };
  const e2e::Run ref = go("calcP 3\ncalcT 650\npseudosection\n");
  ASSERT_EQ(ref.status, 0) << ref.out;
  const std::vector<point> want = points(ref.files.at("jx-bf-o.txt"));
  ASSERT_EQ(want.size(), 2u) << ref.files.at("jx-bf-o.txt");
  EXPECT_NEAR(std::exp(carbonatelnk(650)), 10.31, 0.01);
  for (std::size_t i = 0; i < want.size(); ++i) {
    const point& pt = want[i];
    ASSERT_EQ(pt.row.size(), 5u);
    EXPECT_NEAR(pt.row[2], i == 0 ? 0.2 : 0.3, 1e-12);
    const double xp = pt.row[3], xc = pt.row[4];
    EXPECT_NEAR(std::log(xp * (1 - xc) / ((1 - xp) * xc)), carbonatelnk(650), 1e-3);
    ASSERT_EQ(pt.modes.size(), 2u);
    EXPECT_NEAR(pt.modes[0], (0.4 - xc) / (xp - xc), 3e-4);
    EXPECT_NEAR(pt.modes[0] + pt.modes[1], 1, 1e-9);
  }
  // The fluid left to come with the run, and named (its guess passed over,
  // a variance of 1 read as the bulk's 2); and after an item without a bulk
  // whose isopleth took a value list (its own point first, at x(pe) 0.6).
  const std::string open = guesses + "batchxyzguess x(fluid) 0.05\nbatch pe cb fluid 3 1 1 3 650 1 1 0 1 pe 1 0.6\n";
  for (const std::string& item : {guesses + "batch pe cb 2 1 1 3 650 1 1 1 0 0 0\n",
                                  guesses + "batchxyzguess x(fluid) 0.5\n"
                                            "batch pe cb fluid 1 1 1 3 650 1 1 1 0 0 0\n",
                                  open + "batch pe cb 2 1 1 3 650 1 1 1 0 0 0\n"}) {
    const e2e::Run b = go(item);
    EXPECT_EQ(b.status, 0) << b.out;
    EXPECT_FALSE(has(b.out, "bombed")) << b.out;
    std::vector<point> got = points(b.files.at("jx-bf-o.txt"));
    if (item.find(open) == 0 && !got.empty()) {
      EXPECT_NEAR(got[0].row[3], 0.6, 1e-12);
      got.erase(got.begin());
    }
    ASSERT_EQ(got.size(), want.size()) << item << b.files.at("jx-bf-o.txt");
    for (std::size_t i = 0; i < got.size(); ++i) expectsame(got[i], want[i], 2, item);
  }
}


// ---- every kind of batch item in every kind of run
//
// An item with a bulk, setting nothing, a mode, a composition, both or a
// zero mode, at every given variance 0 to 4, is the plain route's point
// (pseudosection, modeiso, isopleth, both, zeromodeiso) in each run: the
// variance it was given is only its word. An item without a bulk is the
// plain route's point when its variance is the phase rule's count for its
// phases (counted here by hand) and its isopleths leave no more than P and
// T to give, a buffered section's x(CO2) being one of its variables where
// they leave more; any other is named where it is met, the items after it
// computed, and the run stops naming it once the batch is written. In a
// buffered section the fluid comes with an item whether it names it or
// not. Nothing ends in an internal fault.

enum setting { nothing, mode, composition, both, zeromode };

struct runkind {
  std::string name, fixture, script;      // fixture folder and script file
  std::map<std::string, std::string> files;
  std::string head;                       // axfile, phases, variables, window, section
  std::string phases, guesses, plainguesses, bulkoxides, bulk;
  std::string pt;                         // the item's P and T, "4 680"
  double P;
  int count;                              // the phase rule for the item's phases, by hand
  std::string mode, iso, isoplain, zero;  // "" where the run has none of that kind
  bool buffered;
  std::size_t modeat = 0;                 // the mode's place in a modes row
};

std::string scriptof(const runkind& k, const std::string& lines) { return k.head + "autoexit yes\n" + lines + "*\n"; }

e2e::Run runof(const runkind& k, const std::string& lines, const std::string& answers = "") {
  std::map<std::string, std::string> files = k.files;
  files[k.script] = scriptof(k, lines);
  return e2e::run({k.fixture}, answers, files);
}

// The plain route of a setting, with the bulk or without.
std::string plainof(const runkind& k, setting s, bool bulk) {
  const std::string tatp = "calcTatP yes\ncalcP " + std::to_string(k.P) + "\ncalcT 400 1000\n";
  const std::size_t gap = k.pt.find(' ');
  const std::string fixed = "calcP " + k.pt.substr(0, gap) + "\ncalcT " + k.pt.substr(gap + 1) + "\n";
  std::string l = k.plainguesses;
  if (!bulk) {
    l += "pseudosection no\nzeromodeiso no\nmodeiso no\n";
    if (s == composition) l += "isopleth yes " + k.isoplain + "\n";
    // x(CO2) and the isopleth together leave T to solve.
    const int left = k.count - (s == composition ? 1 : 0) - (k.buffered ? 1 : 0);
    return l + (left == 1 ? tatp : fixed);
  }
  l += s == zeromode ? "zeromodeiso yes " + k.zero + "\n" : "zeromodeiso no\n";
  if (s == mode || s == both) l += "modeiso yes " + k.mode + "\n";
  if (s == nothing || s == composition) l += "modeiso no\n";
  if (s == composition || s == both) l += "isopleth yes " + k.isoplain + "\n";
  l += s == nothing ? fixed : s == both ? std::string("calcP 1 10\ncalcT 400 1000\n") : tatp;
  return l + "pseudosection\nbulk " + k.bulkoxides + "\nbulk " + k.bulk + "\n";
}

std::string itemof(const runkind& k, setting s, bool bulk, int v) {
  std::string l = "batch " + k.phases + " " + std::to_string(v) + " 1 1 " + k.pt + " 1 1 " + (bulk ? "1 0 " : "0 ");
  if (bulk) l += s == mode || s == both ? "1 " + k.mode + " " : s == zeromode ? "1 " + k.zero + " 0 " : "0 ";
  return l + (s == composition || s == both ? "1 " + k.iso : "0") + "\n";
}

const std::string mm = "inexcess\ndiagramPT 1 10 400 1200\n";
const std::string olopx = "batchxyzguess startblock\nbatchxyzguess x(ol) 0.5\nbatchxyzguess x(opx) 0.45\n";
const std::string olopxplain = "xyzguess x(ol) 0.5\nxyzguess x(opx) 0.45\n";

runkind mumodes(const std::string& name, const std::string& with, const std::string& variables, int count) {
  return {name, "mumodes", "jx-mm.txt", {}, "axfile mmax\nwith " + with + "\n" + variables + mm, "ol opx", olopx,
          olopxplain, "SiO2 MgO FeO", "40 30 30", "4 680", 4, count, "ol 0.5", "opx 1 0.45", "x(opx) 0.45", "opx",
          false};
}

std::vector<runkind> runkinds() {
  std::vector<runkind> v;
  // With nothing held the SiO2 balance fixes the modes: none can be set.
  runkind none = mumodes("no variable", "ol opx", "", 3);
  none.mode = none.zero = "";
  v.push_back(none);
  v.push_back(mumodes("one mu", "ol opx", "mu SiO2 -945\n", 2));
  // ol alone between two mu: no mode of it can be set.
  runkind two = mumodes("two mu", "ol", "mu SiO2 -945 MgO -656.22681\n", 2);
  two.phases = "ol";
  two.mode = two.zero = "";
  two.iso = "ol 1 0.55";
  two.isoplain = "x(ol) 0.55";
  v.push_back(two);
  runkind lna = mumodes("ln a", "ol opx SiO2", "lna yes SiO2 -0.5\n", 2);
  lna.files = mmsystem::lnafiles();
  v.push_back(lna);
  // per at a fixed activity beside ol, mu(SiO2) held: per holds no Fe, so
  // its mode and x(ol) are one. The plain route solves no line of T here
  // (x(ol) set, or the mode), so the items set nothing.
  runkind fixed = mumodes("fixed activity", "ol per", "mu SiO2 -945\n", 2);
  std::string ax = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/mumodes/jx-mmax.txt");
  fixed.files = {{"jx-mmax.txt", ax.replace(ax.find("\nper\n"), 5, "\nper 0.012\n")}};
  fixed.phases = "ol per";
  fixed.guesses = "batchxyzguess startblock\nbatchxyzguess x(ol) 0.6\n";
  fixed.plainguesses = "xyzguess x(ol) 0.6\n";
  fixed.mode = fixed.zero = fixed.iso = "";
  v.push_back(fixed);
  for (const char* fig : {"Tx(CO2)", "Px(CO2)"}) {
    runkind b{std::string("buffered ") + fig, "buffered", "jx-bf.txt",
              {{"jx-ds7bf.txt", carbonateds()}, {"jx-bfax.txt", carbonateax()}},
              std::string("axfile bfax\nwith pe cb fluid\ninexcess fluid\nfig ") + fig +
                  "\ncalcx(CO2) 0.2 0.3\ndiagramPT 0.5 10 300 1200\nproject no\n",
              "pe cb", "batchxyzguess startblock\nbatchxyzguess x(pe) 0.6\nbatchxyzguess x(cb) 0.2\n"
              "batchxyzguess x(fluid) 0.25\n",
              "xyzguess x(pe) 0.6\nxyzguess x(cb) 0.2\nxyzguess x(fluid) 0.25\n", "H2O CO2 MgO FeO", "15 5 48 32",
              "3 640", 3, 3, "cb 0.5", "cb 1 0.15", "x(cb) 0.15", "cb", true, 1};
    v.push_back(b);
  }
  return v;
}

class BatchItems : public ::testing::TestWithParam<std::size_t> {};

TEST_P(BatchItems, EachGivesThePlainPointOrStopsNamingIt) {
  const runkind k = runkinds()[GetParam()];
  SCOPED_TRACE(k.name);
  std::vector<setting> settings = {nothing};
  if (!k.iso.empty()) settings.push_back(composition);
  if (!k.mode.empty()) settings.insert(settings.end(), {mode, zeromode});
  // Every item read, one batch; the points of those that compute, in order
  // (an empty one: x(pe) by the exchange alone); the number of each that
  // cannot be calculated, with the counts it is named with.
  std::string items;
  int nitems = 0;
  std::vector<std::pair<point, std::string>> wanted;
  std::vector<std::pair<int, std::string>> refused;
  std::map<std::pair<int, bool>, std::vector<point>> plain;
  runkind kb = k;
  auto reference = [&](setting s, bool bulk) -> const std::vector<point>& {
    auto at = plain.find({s, bulk});
    if (at != plain.end()) return at->second;
    const e2e::Run r = runof(k, plainof(s == both ? kb : k, s, bulk));
    EXPECT_EQ(r.status, 0) << r.out;
    std::vector<point> got = points(r.files.at(k.script.substr(0, k.script.size() - 4) + "-o.txt"));
    // A point at each x(CO2) of a section that the route reaches.
    EXPECT_GE(got.size(), 1u) << plainof(k, s, bulk) << r.out;
    return plain[{s, bulk}] = got;
  };
  // Both set hold P and T with them: set as the point with nothing set has
  // them, the point is that one, at P and T of the item (in ol-per the mode
  // is x(ol)'s, so only one of them can be set).
  if (!k.mode.empty() && k.phases != "ol per") {
    const point& p = reference(nothing, true)[0];
    char text[80];
    std::snprintf(text, sizeof text, "%s %.4f", k.mode.substr(0, k.mode.find(' ')).c_str(), p.modes.at(k.modeat));
    kb.mode = text;
    std::snprintf(text, sizeof text, "%s %.4f", k.iso.substr(0, k.iso.rfind(' ')).c_str(), p.row.back());
    kb.iso = text;
    std::snprintf(text, sizeof text, "%s %.4f", k.isoplain.substr(0, k.isoplain.find(' ')).c_str(), p.row.back());
    kb.isoplain = text;
    settings.push_back(both);
  }
  // A buffered section's fluid comes with an item, named in it or not.
  std::vector<std::string> named = {""};
  if (k.buffered) named.push_back(" fluid");
  for (const std::string& fluid : named) {
    for (bool bulk : {true, false})
      for (setting s : settings) {
        if (!bulk && s != nothing && s != composition) continue;
        runkind ki = s == both ? kb : k;
        ki.phases += fluid;
        for (int v = 0; v <= 4; ++v) {
          const std::string item = itemof(ki, s, bulk, v);
          const int niso = s == composition ? 1 : 0;
          const bool computes = bulk || (v == k.count && v - niso <= 2 + (k.buffered ? 1 : 0));
          if (!computes && v < niso) {
            // A variance its isopleths take below 0 is stopped as it is read.
            const e2e::Run r = runof(k, "pseudosection no\n" + k.guesses + item);
            EXPECT_TRUE(has(r.out, "-- run bombed in dobatch : negative variance (2)")) << item << r.out;
            continue;
          }
          items += item;
          ++nitems;
          if (!computes) {
            refused.push_back({nitems, v == k.count ? "" : "variance " + std::to_string(v) + " given, " +
                                                              std::to_string(k.count) + " by the phase rule; "});
            continue;
          }
          // Without a bulk, an isopleth that leaves only P and T keeps a
          // buffered fluid free: one point, x(pe) by the exchange.
          for (const point& p : !bulk && k.buffered && niso == 1 ? std::vector<point>{{}} : reference(s, bulk))
            wanted.push_back({p, item});
          // Both set as the point with nothing set has them: that point.
          if (s == both) {
            EXPECT_NEAR(reference(s, bulk)[0].row.at(1), k.buffered ? 640 : 680, 2) << item;
          }
        }
      }
  }
  // The plain route apart from the program, P 4 kbar, bulk 40:30:30 (20
  // formula units each of ol and opx, so 40 x(ol) + 20 x(opx) = 30 FeO).
  if (k.name == "one mu") {
    const double tmode = bisect([](double tc) {
      const pair x = exchange(-945, 0, tc);
      return (0.5 - x.opx) / (x.ol - x.opx) - 0.5;
    }, 600, 760);
    EXPECT_NEAR(reference(mode, true)[0].row[1], tmode, 2e-3);
    const double tiso = bisect([](double tc) { return exchange(-945, 0, tc).opx - 0.45; }, 660, 700);
    EXPECT_NEAR(reference(composition, true)[0].row[1], tiso, 2e-3);
  }
  if (k.name == "no variable") {
    // fo + 2 fs = fa + 2 en at x(opx) 0.45, x(ol) = (30 - 20 x 0.45) / 40.
    const double xo = 0.525, xp = 0.45;
    const double tiso = bisect([&](double tc) {
      const std::array<double, 4> G = olopxg(tc);
      return G[1] + 2 * G[2] - G[0] - 2 * G[3] +
             R * (tc + 273.15) * std::log(xo * xo * (1 - xp) * (1 - xp) / ((1 - xo) * (1 - xo) * xp * xp));
    }, 300, 1100);
    EXPECT_NEAR(reference(composition, true)[0].row[1], tiso, 2e-3);
  }
  const e2e::Run r = runof(k, "pseudosection no\ndebuglevel 1\n" + k.guesses + "batchbulk " + k.bulk + "\n" + items);
  const std::string& summary = r.files.at(k.script.substr(0, k.script.size() - 4) + "-o.txt");
  // Each item that cannot be calculated is named where it is met, on the
  // terminal and in the summary, and the batch goes on; once every point
  // is written the run stops, naming the first and counting the others.
  ASSERT_FALSE(refused.empty());
  std::string first;
  for (const std::string* text : {&r.out, &summary}) {
    std::size_t at = 0;
    for (const auto& [n, counts] : refused) {
      at = text->find("\nbatch " + std::to_string(n) + " (", at + 1);
      ASSERT_NE(at, std::string::npos) << n << *text;
      const std::string line = text->substr(at + 1, text->find('\n', at + 1) - at - 1);
      EXPECT_TRUE(has(line, "): " + counts)) << line;
      EXPECT_EQ(has(line, " (fluid pe cb): "), k.buffered) << line;
      if (first.empty()) first = line;
    }
    const std::string stop = "\n-- run bombed in batch : " + first + "; and " + std::to_string(refused.size() - 1) +
                             " more items that cannot be calculated\n";
    EXPECT_EQ(text->find("\n-- run bombed"), text->find(stop)) << *text;
    EXPECT_GT(text->find(stop), at) << *text;
  }
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_FALSE(has(r.out, "shouldn't")) << r.out;
  if (k.buffered) {
    // Kept as rows, an item holds at most 10 points: 17 x(CO2) values are
    // refused, naming the first item.
    runkind many = k;
    many.head.replace(many.head.find("0.2 0.3"), 7, "0.1 0.9 0.05");
    const e2e::Run m =
        runof(many, "pseudosection no\ndebuglevel 0\n" + k.guesses + "batchbulk " + k.bulk + "\n" + items);
    EXPECT_TRUE(has(m.out, "-- run bombed in batch : batch 1: 17 points with its held lists, at most 10 to an item\n"))
        << m.out;
    // A typed mu(MgO) window leaves the fluid's x(CO2) to solve, named or
    // not, one item or two; x(pe), x(cb) at mu -632, -630, -628 apart (mpmath).
    const double own[3][2] = {{0.70887, 0.19100}, {0.62222, 0.13770}, {0.50976, 0.09159}};
    for (const std::string two : {"debuglevel 1\nbatch pe cb fluid 2 1 1 3 650 1 1 0 0\n", "debuglevel 0\n"}) {
      const e2e::Run m2 = runof(k, "mu MgO\npseudosection no\n" + k.guesses + two + "batch pe cb 2 1 1 3 650 1 1 0 0\n",
                                "-632 -628\n2\n");
      EXPECT_TRUE(m2.status == 0 && has(m2.out, "pe cb (fluid, mu(MgO))") && !has(m2.out, "(mu(MgO))")) << m2.out;
      const std::vector<point> at = points(m2.files.at("jx-bf-o.txt"));
      ASSERT_EQ(at.size(), has(two, "fluid") ? 6u : 3u);
      for (std::size_t i = 0; i < at.size(); ++i) {
        ASSERT_EQ(at[i].row.size(), 5u);
        EXPECT_NEAR(at[i].row[3], own[i % 3][0], 6e-5) << i;
        EXPECT_NEAR(at[i].row[4], own[i % 3][1], 6e-5) << i;
        EXPECT_EQ(at[i].row, at[i % 3].row);
      }
    }
  }
  const std::vector<point> got = points(summary);
  ASSERT_EQ(got.size(), wanted.size()) << summary;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    const point& w = wanted[i].first;
    SCOPED_TRACE(wanted[i].second);
    if (w.row.empty()) {
      EXPECT_EQ(got[i].row.size(), 5u);
      const double xp = got[i].row.at(got[i].row.size() - 2), xc = 0.15;
      EXPECT_NEAR(std::log(xp * (1 - xc) / ((1 - xp) * xc)), carbonatelnk(640), 2e-3);
      continue;
    }
    ASSERT_EQ(got[i].row.size(), w.row.size());
    for (std::size_t c = 0; c < w.row.size(); ++c) EXPECT_NEAR(got[i].row[c], w.row[c], 1e-9);
    for (std::size_t c = 0; c < got[i].modes.size() && c < w.modes.size(); ++c)
      EXPECT_NEAR(got[i].modes[c], w.modes[c], 1e-9);
  }
}

// ---- items whose points come from held lists
//
// Three items with their bulk, of 2, 1 and 3 temperatures (first, middle,
// last), in a run whose held list gives each P-T point several points: a
// typed mu(SiO2) window of 3 values in place of the fixed mu, the
// section's 2 x(CO2) values; the other runs have P-T points only. Kept as
// rows (debug level 0), every point of every item is one group of the
// run's csv row, headed by its item and the names the point table gives
// its values, and holding that point; a request on the first or the last
// item passes with a filter that only its last point meets and fails with
// one no point meets, as counted here over the points, with the score of
// the filtered rows; a batch bulk with a negative amount, held or free, is
// refused as the plain bulk of the same numbers is.

std::size_t occurrences(const std::string& text, const std::string& piece) {
  std::size_t n = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

std::vector<std::string> cells(const std::string& line) {
  std::vector<std::string> v;
  std::istringstream in(line);
  for (std::string c; std::getline(in, c, ',');) {
    c.erase(0, c.find_first_not_of(' '));
    if (!c.empty()) v.push_back(c);
  }
  return v;
}

TEST_P(BatchItems, HeldListPointsAreEachWrittenOnceUnderTheirNamesAndJudged) {
  const runkind k = runkinds()[GetParam()];
  SCOPED_TRACE(k.name);
  runkind h = k;
  std::string answers;
  std::vector<double> held = {0};
  if (k.buffered) held = {0.2, 0.3};
  const std::size_t mu = h.head.find("mu SiO2 -945\n");
  if (mu != std::string::npos) {
    h.head.replace(mu, 13, "mu SiO2\n");
    answers = "-945.1 -944.9\n0.1\n";
    held = {-945.1, -945, -944.9};
  }
  const std::string P = k.pt.substr(0, k.pt.find(' '));
  const int T0 = std::stoi(k.pt.substr(k.pt.find(' ') + 1));
  const int npt[] = {2, 1, 3};
  auto go = [&](int debug, const std::string& bulk, int filtered = 0, const std::string& filter = "") {
    std::string l = "pseudosection no\ndebuglevel " + std::to_string(debug) + "\n" + k.guesses + "batchbulk " + bulk + "\n";
    // Filters go with every item once any has them: the others' take any P.
    for (int b = 1; b <= 3; ++b) {
      l += "batch " + k.phases + " 2 1 " + std::to_string(npt[b - 1]) + " " + P;
      for (int t = 0; t < npt[b - 1]; ++t) l += " " + std::to_string(T0 + t);
      l += " 1 1 1 0 0 0\n";
      for (int t = 0; filtered > 0 && t < npt[b - 1]; ++t)
        l += "filter 1 " + (b == filtered ? filter : "P 0 100") + "\n";
    }
    if (filtered > 0) l += "batchreq " + std::to_string(filtered) + "\n";
    std::map<std::string, std::string> files = h.files;
    files[k.script] = scriptof(h, l);
    return e2e::run({k.fixture}, answers, files);
  };
  const std::string stem = k.script.substr(0, k.script.size() - 4);
  // The points as the point table prints them, and the names it gives.
  const e2e::Run table = go(1, k.bulk);
  const std::string& o = table.files.at(stem + "-o.txt");
  const std::vector<point> want = points(o);
  ASSERT_EQ(want.size(), 6 * held.size()) << o << table.out;
  auto words = [&](const char* start, std::size_t drop) {
    std::istringstream in(lineafter(o, o.find(start) - 1));
    std::vector<std::string> v;
    for (std::string w; in >> w;) v.push_back(w);
    return std::vector<std::string>(v.begin() + static_cast<long>(drop), v.end());
  };
  // The table shows a held ln a beside the variables; a row holds the
  // unknowns only.
  std::vector<std::string> names = words("\n P(kbar)", 2);
  const std::vector<std::string> modes = words("\nmode ", 1);
  const bool lna = names[0] == "ln";
  if (lna) names.erase(names.begin(), names.begin() + 2);
  // Kept as rows: one group per point, in the loops' order (the held
  // value outside, the temperatures inside).
  const e2e::Run kept = go(0, k.bulk);
  std::istringstream csv(kept.files.at(stem + ".csv"));
  std::string headline, valueline;
  std::getline(csv, headline);
  std::getline(csv, valueline);
  const std::vector<std::string> head = cells(headline), value = cells(valueline);
  const std::size_t width = 3 + names.size() + modes.size();
  ASSERT_EQ(head.size(), want.size() * width) << headline << o;
  ASSERT_EQ(value.size(), head.size()) << valueline;
  // The summary's item lines count every point, and the drawing data
  // closes each item after its last (the run's last row takes the score).
  const std::string &sum = kept.files.at(stem + "-o.txt"), &qk = kept.files.at(stem + "-qk.txt");
  for (int b = 1; b <= 3; ++b)
    EXPECT_TRUE(has(sum, "\n" + std::to_string(b) + " " + std::to_string(npt[b - 1] * held.size()) + " " +
                             std::to_string(width - 1) + " ")) << sum;
  EXPECT_EQ(occurrences(qk, "\n  {         {"), want.size() - 3) << qk;
  EXPECT_EQ(occurrences(qk, "}}},\n"), 2u) << qk;
  std::vector<std::vector<double>> items(4);
  std::size_t g = 0;
  for (int b = 1; b <= 3; ++b)
    for (std::size_t v = 0; v < held.size(); ++v)
      for (int t = 0; t < npt[b - 1]; ++t, ++g) {
        const std::string i = std::to_string(b) + "-";
        std::vector<std::string> heads = {"#", i + "P", i + "T"};
        for (const std::string& n : names) heads.push_back(i + n);
        for (const std::string& n : modes) heads.push_back(i + n);
        std::vector<double> got;
        for (std::size_t c = 0; c < width; ++c) {
          EXPECT_EQ(head[g * width + c], heads[c]) << g;
          got.push_back(std::stod(value[g * width + c]));
        }
        EXPECT_NEAR(got[2], T0 + t, 1e-9) << g;
        std::vector<double> row = want[g].row;
        if (lna) row.erase(row.begin() + 2);
        ASSERT_EQ(row.size(), 2 + names.size());
        for (std::size_t c = 0; c < row.size(); ++c) EXPECT_NEAR(got[1 + c], row[c], 1e-4) << g;
        for (std::size_t c = 0; c < modes.size(); ++c) EXPECT_NEAR(got[3 + names.size() + c], want[g].modes[c], 1e-4);
        // Apart from the program: the exchanges at the point's mu, the
        // carbonates' exchange and the fluid at the point's x(CO2).
        if (k.name == "one mu") {
          const pair x = exchange(held[v], 0, T0 + t);
          EXPECT_NEAR(got[3], x.ol, 2e-5) << g;
          EXPECT_NEAR(got[4], x.opx, 2e-5) << g;
        }
        if (k.buffered) {
          EXPECT_NEAR(got[3], held[v], 1e-9) << g;
          EXPECT_NEAR(std::log(got[4] * (1 - got[5]) / ((1 - got[4]) * got[5])), carbonatelnk(T0 + t), 2e-3) << g;
        }
        items[b].push_back(got[2 + names.size()]);
      }
  // A request on a filtered item, by the item's points in the last name.
  for (int b : {1, 3}) {
    const std::vector<double>& x = items[b];
    double gap = 1;
    for (std::size_t j = 0; j + 1 < x.size(); ++j) gap = std::min(gap, std::fabs(x.back() - x[j]));
    for (const double centre : {x.back(), x.back() + 0.5}) {
      const double lo = centre - 0.3 * gap, hi = centre + 0.3 * gap;
      char window[80];
      std::snprintf(window, sizeof window, "%s %.6f %.6f", names.back().c_str(), lo, hi);
      // The score is the largest in size over every filtered row.
      std::size_t inside = 0;
      double score = 2 * (std::stod(P) - 50) / 100;
      for (const double v : x) {
        inside += lo < v && v < hi;
        const double s = 2 * (v - (lo + hi) / 2) / (hi - lo);
        if (std::fabs(s) > std::fabs(score)) score = s;
      }
      SCOPED_TRACE(window);
      const e2e::Run r = go(0, k.bulk, b, window);
      const std::string rows = r.files.count(stem + ".csv") ? r.files.at(stem + ".csv") : "";
      EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), inside > 0 ? 2 : 1) << rows;
      if (inside > 0) {
        const std::string& qk = r.files.at(stem + "-qk.txt");
        const std::size_t at = qk.find("},     ");
        ASSERT_NE(at, std::string::npos) << qk;
        // The values here carry 5 decimals.
        EXPECT_NEAR(std::stod(qk.substr(at + 7)), score, 1.5e-5 / (hi - lo) + 2e-3) << qk;
      }
    }
  }
  // A negative amount of the first component (held by a mu), then of the
  // last (free).
  for (const bool first : {true, false}) {
    std::string bulk = k.bulk;
    bulk.insert(first ? 0 : bulk.rfind(' ') + 1, "-");
    const e2e::Run b = go(1, bulk);
    EXPECT_EQ(b.status, 1);
    EXPECT_TRUE(has(b.out, "-- run bombed in reading scripts : negative entries not allowed in a bulk: batchbulk " +
                               bulk + "\n")) << b.out;
    std::string plain = plainof(k, nothing, true);
    plain.replace(plain.rfind("bulk " + k.bulk), 5 + k.bulk.size(), "bulk " + bulk);
    const e2e::Run p = runof(k, plain);
    EXPECT_EQ(p.status, 1);
    EXPECT_TRUE(has(p.out, "-- run bombed in readcomps : negative entries not allowed in a bulk\n")) << p.out;
  }
  // Loops short of the count, at mu -946 and -945: item 1 (variance 1, a bulk,
  // ol's mode set) solves P at each T as item 2 does, never at 5 kbar; item 3
  // (variance 0) P and T at its first T as item 4. Each point is in its mu
  // group at its P-T point, and judged there; slots not reached fail. Nothing
  // of the carbonates holds mu(H2O): each slot holds its P-T point's row.
  auto csvrow = [&](const std::string& head, const std::string& lines, const std::string& typed) {
    std::map<std::string, std::string> files = k.files;
    files[k.script] = head + "pseudosection no\ndebuglevel 0\n" + k.guesses + lines + "autoexit yes\n*\n";
    std::istringstream in(e2e::run({k.fixture}, typed, files).files[stem + ".csv"]);
    std::string l;
    std::vector<double> v;
    if (std::getline(in, l) && std::getline(in, l))
      for (const std::string& c : cells(l)) v.push_back(std::stod(c));
    return v;
  };
  if (k.name == "one mu") {
    const std::string mode = " 1 1 1 0 1 ol 0.5 0\n", both = " 1 1 0 2 ol 1 0.535 opx 1 0.45\n";
    auto items = [&](const std::array<std::string, 4>& f) {
      return "batchbulk 40 30 30\nbatch ol opx 2 2 2 4 5 680 720" + mode + f[0] + "batch ol opx 2 1 2 4 680 720" +
             mode + f[1] + "batch ol opx 2 1 2 4 680 720" + both + f[2] + "batch ol opx 2 1 1 4 680" + both + f[3];
    };
    const std::string head = mumodes("", "ol opx", "mu SiO2\n", 2).head, typed = "-946 -945\n1\n";
    const std::vector<double> v = csvrow(head, items({}), typed);
    ASSERT_EQ(v.size(), 12u * 7 + 6 * 5);
    const auto at = [](long g) { return static_cast<std::size_t>(g < 12 ? 7 * g : 84 + 5 * (g - 12)); };
    for (long g = 0; g < 16; ++g) {
      const long same = g < 8 ? (g % 4 < 2 ? 8 + 2 * (g / 4) + g % 2 : -1) : g % 2 == 0 ? 16 + (g - 12) / 2 : -1;
      for (std::size_t c = 1; c < (g < 12 ? 7u : 5u) && (g < 8 || g >= 12); ++c)
        EXPECT_EQ(v[at(g) + c], same < 0 ? (c < 3 ? 0 : -1) : v[at(same) + c]) << g;
    }
    const double t = v[at(14) + 2];
    const std::string n = "filter 0\n", f = "filter 1 T " + std::to_string(t - 0.5) + " " + std::to_string(t + 0.5);
    EXPECT_EQ(csvrow(head, items({n + n + n + n, n + n, f + "\nfilter 1 T 0 1\n", n}) + "batchreq 3\n", typed), v);
  }
  if (k.name == "buffered Tx(CO2)") {
    const std::vector<double> v =
        csvrow("axfile bfax\nwith pe cb fluid\ninexcess\nmu H2O\ndiagramPT 0.5 10 300 1200\n",
               "batch pe cb 3 1 2 3 640 600 1 1 0 1 cb 1 0.15\nbatch pe cb 3 1 1 3 620 1 1 0 1 cb 1 0.15\n",
               "-400 -398\n1\n");
    ASSERT_EQ(v.size(), 9u * 5);
    for (std::size_t g = 0; g < 9; ++g) {
      const double tc = g < 6 ? 640 - 40 * static_cast<double>(g % 2) : 620, xp = v[5 * g + 3], xc = v[5 * g + 4];
      EXPECT_EQ(v[5 * g + 2], tc) << g;
      EXPECT_NEAR(std::log(xp * (1 - xc) / ((1 - xp) * xc)), carbonatelnk(tc), 2e-3) << g;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryRunKind, BatchItems, ::testing::Range<std::size_t>(0, 7));

}  // namespace
