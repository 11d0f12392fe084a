// Calc mode 1 over several passes of the main loop, each with a script of
// its own. On the lnarow system, a pass with an ln a held on one phase, then
// a pass of another script: with pz in excess and no ln a, x(mix) =
// 1 - exp((G(pz) - G(ma)) / RT), where pz has no entropy and is H alone,
// G(ma) = -1000 - 0.1 T + 2 (P - 0.001). On the mumodes and alloop
// systems, passes of every kind in every order against fresh runs of their
// scripts.
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../support/mumodes.h"
#include "../support/passruns.h"
#include "harness.h"

using e2e::has;

namespace {

const std::string deg = "\xA1";

std::string script(const std::string& phase, const std::string& lna) {
  return "axfile lrax\nwith mix " + phase + "\ninexcess\n" + lna + "calcP 3 11 4\ncalcT 600\n" +
         "diagramPT 1 12 300 1000\npseudosection no\n*\n";
}

// The rows of x(mix) with pz in excess at 3, 7 and 11 kbar, 600 C.
std::string pzrows() {
  const double T = 873.15, RT = 0.0083144 * T;
  std::string rows = " P(kbar)     T(" + deg + "C)    x(mix)\n";
  for (double P : {3.0, 7.0, 11.0}) {
    const double gma = -1000 - 0.1 * T + 2.0 * (P - 0.001);
    char line[64];
    std::snprintf(line, sizeof line, "%8.3f   600.000    %.4f\n", P, 1 - std::exp((-1090 - gma) / RT));
    rows += line;
  }
  return rows;
}

// An empty ds-prefs.txt in place of jx-prefs.txt: the run asks for the
// calc mode, the script and the data set, and each later pass whether to
// keep the script.
const std::vector<std::string> fixture = {"lnarow/jx-ds7lr.txt", "lnarow/jx-lrax.txt"};
const std::map<std::string, std::string> files = {
    {"ds-prefs.txt", ""},
    {"jx-a.txt", script("pr", "lna yes pr 0.25\n")},
    {"jx-b.txt", script("pz", "")},
};

// Pass A leaves pr's row (3) carrying ln a = 1/4 with pr's own S = R/4, the
// carried slot 0; pz takes row 3 in pass B with its own slot 0 too. Pass B
// must not take pz as carrying pass A's variable.
TEST(LnaPasses, NextPassCarriesNoneOfTheLastPassRows) {
  const std::string want = pzrows();
  EXPECT_EQ(want.substr(want.find('\n') + 1, 20), "   3.000   600.000  ");
  EXPECT_TRUE(has(want, "0.6976\n") && has(want, "0.8995\n") && has(want, "0.9666\n")) << want;

  const e2e::Run two = e2e::run(fixture, "1\na\n7lr\ny\nn\nb\nn\n\n", files);
  const e2e::Run fresh = e2e::run(fixture, "1\nb\n7lr\nn\n\n", files);
  for (const e2e::Run* r : {&two, &fresh}) {
    EXPECT_EQ(r->status, 0);
    EXPECT_FALSE(has(r->out, "bombed")) << r->out;
  }
  const std::string& o = two.files.at("jx-a-o.txt");
  const auto second = o.rfind(" P(kbar)");
  ASSERT_NE(second, std::string::npos) << o;
  EXPECT_EQ(o.substr(second, want.size()), want) << o;
  EXPECT_TRUE(has(fresh.files.at("jx-b-o.txt"), want));
  // Pass A itself: pr's own entropy and volume stay at ln a = 1/4.
  EXPECT_TRUE(has(o, "   3.000   600.000    0.2500    0.2285\n")) << o;
}

}  // namespace

// Passes of every kind in every order. On the mumodes system (ol and opx
// in SiO2-MgO-FeO, q named SiO2 so that an ln a can hold SiO2): a plain
// pseudosection of bulk 40:30:30, a batch item of the same bulk and an
// isopleth x(ol) = 0.3 without a bulk, each with no variable, mu(SiO2),
// mu(SiO2) and mu(MgO) (ol alone) or ln a(SiO2). On the alloop system: a
// point with its phase properties, a projection, a dogmin point, a
// pseudosection with one bulk and with a range, a batch item and a series.
// On the buffered system, sections in a fluid buffered from outside.
// Whatever ran before, a pass writes to every file what a fresh run of its
// script writes.
namespace passorders {

struct passsystem {
  std::string ds;
  std::map<std::string, std::string> files;
  std::vector<std::string> scripts;
};

passsystem mumodes() {
  passsystem m{"7mm", mmsystem::lnafiles(), {}};
  m.files["ds-prefs.txt"] = "";
  // each kind by the short name its scripts' files take
  const std::pair<std::string, mmsystem::kind> kinds[] = {
      {"none", mmsystem::none}, {"mu1", mmsystem::onemu}, {"mu2", mmsystem::twomu}, {"lna", mmsystem::lna}};
  for (const auto& [name, k] : kinds) {
    const std::string head = "axfile mmax\nwith " + k.with + "\n" + k.variables +
                             "inexcess\ndiagramPT 1 10 400 1200\nzeromodeiso no\nmodeiso no\n";
    m.files["jx-p" + name + ".txt"] = head + "calcP 4\ncalcT 680\npseudosection\nbulk SiO2 MgO FeO\nbulk 40 30 30\n*\n";
    m.files["jx-b" + name + ".txt"] = head +
                                      "pseudosection no\nbatchxyzguess startblock\nbatchxyzguess x(ol) 0.5\n"
                                      "batchxyzguess x(opx) 0.45\nbatchbulk 40 30 30\nbatch " + k.phases + " " +
                                      std::to_string(k.variance) + " 1 1 4 680 1 1 1 0 0 0\n*\n";
    // The isopleth leaves a line in T where a variable holds a component.
    const std::string t = name == "none" || name == "mu2" ? "calcT 680\n" : "calcT 400 1000\ncalcTatP yes\n";
    m.files["jx-i" + name + ".txt"] = head + "calcP 4\n" + t + "pseudosection no\n" +
                                      (name == "mu2" ? "" : "isopleth yes x(ol) 0.3\n") + "*\n";
    for (const char* route : {"p", "b", "i"}) m.scripts.push_back(route + name);
  }
  return m;
}

// A system whose data set and a-x file are fixtures, its scripts the head
// and each script's own lines.
passsystem fixturesystem(const std::string& ds, const std::string& folder, const std::string& ax,
                         const std::string& head, const std::map<std::string, std::string>& scripts) {
  passsystem sys{ds, {{"ds-prefs.txt", ""}}, {}};
  for (const std::string& f : {"jx-ds" + ds + ".txt", "jx-" + ax + ".txt"})
    sys.files[f] = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/" + folder + "/" + f);
  for (const auto& [name, lines] : scripts) {
    sys.files["jx-" + name + ".txt"] = head + lines + "*\n";
    sys.scripts.push_back(name);
  }
  return sys;
}

passsystem alloop() {
  const std::string head = "axfile alax\nwith al be\ninexcess\ndiagramPT 4 10 400 900\n";
  const std::string bulk = "pseudosection\nbulk MgO FeO\nbulk 65 35\n", point = "calcP 6\ncalcT 700\n";
  const std::map<std::string, std::string> scripts = {
      {"pt", "pseudosection no\n" + point + "printxyz yes\n"},
      {"proj", "pseudosection no\nproject\nprojplane MgO FeO\nprojplane F 0 1\nprojplane M 1 0\ncalcP 6\ncalcT 650\n"},
      {"dog", "maxvar 3\ndogmin yes 1\n" + point + bulk},
      {"ps", point + bulk + "zeromodeiso no\nmodeiso no\n"},
      {"rng", point + bulk + "bulk 50 50 2\nzeromodeiso no\nmodeiso no\n"},
      {"bat", "pseudosection no\nbatchxyzguess startblock\nbatchxyzguess x(al) 0.3\nbatchxyzguess x(be) 0.4\n"
              "batchbulk 65 35\nbatch al be 2 1 1 6 700 1 1 1 0 0 0\n"},
      {"ser", "pseudosection no\ncalcP 6\ncalcT 650 750 50\ncalcmu yes\n"}};
  return fixturesystem("7al", "alloop", "alax", head, scripts);
}

// pk, mk and an H2O-CO2 fluid buffered from outside: the section in T and
// in P, with listed x(CO2) values, and the points without a bulk.
passsystem buffered() {
  const std::string head = "axfile bfax\nwith pk mk fluid\ninexcess\ndiagramPT 0.5 10 300 1200\n";
  const std::string bulk = "pseudosection\nbulk H2O CO2 MgO\nbulk 15 5 80\nzeromodeiso no\nmodeiso no\nproject no\n";
  const std::map<std::string, std::string> scripts = {
      {"bt", "fig Tx(CO2)\ncalcP 3\ncalcT 620 700 40\n" + bulk},
      {"bx", "fig Tx(CO2)\ncalcP 3\ncalcT 620 700 40\ncalcx(CO2) 0.2 0.3\n" + bulk},
      {"bp", "fig Px(CO2)\ncalcT 650\ncalcP 2 4 1\n" + bulk},
      {"bo", "calcP 3\ncalcT 620 700 40\npseudosection no\nproject no\n"}};
  return fixturesystem("7bf", "buffered", "bfax", head, scripts);
}

const std::vector<passsystem> systems = {mumodes(), alloop(), buffered()};

// The runs of the given scripts, one pass each, against their fresh runs.
void expectfresh(const passsystem& sys, const std::vector<std::string>& passes,
                 std::map<std::string, std::map<std::string, std::string>>& fresh) {
  std::vector<std::map<std::string, std::string>> each;
  for (const std::string& s : passes) {
    if (fresh.count(s) == 0) {
      const e2e::Run r = e2e::run({}, passruns::answers({s}, sys.ds), sys.files);
      ASSERT_EQ(r.status, 0) << s << r.out;
      ASSERT_FALSE(has(r.out, "bombed")) << s << r.out;
      fresh[s] = passruns::outputs(r, s);
    }
    each.push_back(fresh[s]);
  }
  std::string trace;
  for (const std::string& s : passes) trace += s + " ";
  SCOPED_TRACE(trace);
  const e2e::Run r = e2e::run({}, passruns::answers(passes, sys.ds), sys.files);
  EXPECT_EQ(r.status, 0);
  const auto got = passruns::outputs(r, passes.front());
  const auto want = passruns::expected(each);
  for (const std::string& e : passruns::endings) EXPECT_EQ(got.at(e), want.at(e)) << e;
}

// Each script of each system in turn first: then each other one, and three
// passes.
class PassOrders : public ::testing::TestWithParam<std::size_t> {};

TEST_P(PassOrders, EveryFileIsTheFreshRunsOfItsScripts) {
  std::size_t i = GetParam(), k = 0;
  while (i >= systems[k].scripts.size()) i -= systems[k++].scripts.size();
  const passsystem& sys = systems[k];
  const std::vector<std::string>& s = sys.scripts;
  const std::size_t n = s.size();
  std::map<std::string, std::map<std::string, std::string>> fresh;
  for (std::size_t j = 0; j < n; ++j)
    if (j != i) expectfresh(sys, {s[i], s[j]}, fresh);
  expectfresh(sys, {s[i], s[(i + 5) % n], s[(i + 3) % n]}, fresh);
}

INSTANTIATE_TEST_SUITE_P(EachFirstPass, PassOrders,
                         ::testing::Range<std::size_t>(0, systems[0].scripts.size() + systems[1].scripts.size() +
                                                                     systems[2].scripts.size()));

// A batch item without a variable after a pass that held SiO2, with a pass
// holding it in between: its modes are on the atoms of all three
// components. Si 40 = n(ol) + n(opx), Mg + Fe 60 = 2 n(ol) + n(opx), so 20
// of each; 7 atoms in ol, 5 in opx: 140 : 100.
TEST(LnaPasses, BatchModesAfterAHeldComponentAreOnEveryComponent) {
  const e2e::Run r = e2e::run({}, passruns::answers({"pmu1", "bmu1", "bnone"}, "7mm"), systems[0].files);
  EXPECT_EQ(r.status, 0);
  const std::string& o = r.files.at("jx-pmu1-o.txt");
  EXPECT_FALSE(has(o, "sum of modes should be 1")) << o;
  const std::size_t at = o.rfind("\nmode ");
  ASSERT_NE(at, std::string::npos) << o;
  std::istringstream row(o.substr(o.find('\n', at + 1) + 1));
  double ol = 0, opx = 0;
  row >> ol >> opx;
  EXPECT_NEAR(ol, 140.0 / 240, 5e-5) << o;
  EXPECT_NEAR(opx, 100.0 / 240, 5e-5) << o;
}

}  // namespace passorders
