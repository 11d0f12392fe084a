// Calc mode 0 run end to end by the test-only utilities program, which
// starts up, loops over passes and ends as the built program does: every
// utility of the menu driven through answers, later passes reached through
// "more utility calculations", and the terminal and every file the runs
// leave checked. The fixtures are made-up silicates and brucite with
// constant H, S and V, so that G = H - T S + (P - 0.001) V; expected numbers
// were worked out with python3 from the data-set rows and the oxide masses.
#include <algorithm>
#include <cmath>
#include <sstream>

#include "harness.h"

namespace {

using e2e::fixed;
using e2e::has;

const std::string DEG = "\xC2\xB0";

int count(const std::string& text, const std::string& piece) {
  int n = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

std::string six(double v) { return fixed(v, 6); }
std::string five(double v) { return fixed(v, 5); }

// The fixture's preferences name the tables script; these another.
std::string prefs(const std::string& script) { return "dsfile 6ut\nscriptfile " + script + "\ncalcmode 0\n*\n"; }

// The fixture files and the outputs the run left.
std::vector<std::string> inputsand(std::vector<std::string> outputs) {
  for (const char* in : {"jx-cv.txt", "jx-ds6ut.txt", "jx-prefs.txt", "jx-tb.txt", "jx-utax.txt"})
    outputs.push_back(in);
  std::sort(outputs.begin(), outputs.end());
  return outputs;
}

// The numbers of the table row that starts with label, after the label.
std::vector<double> row(const std::string& table, const std::string& label) {
  const std::size_t at = table.find("\n" + label);
  std::vector<double> v;
  if (at == std::string::npos) return v;
  std::istringstream in(table.substr(at + 1 + label.size(), table.find('\n', at + 1) - at - 1 - label.size()));
  for (double x = 0; in >> x;) v.push_back(x);
  return v;
}

// The text from the line holding heading up to the next empty line.
std::string table(const std::string& text, const std::string& heading) {
  const std::size_t at = text.find("\n" + heading + "\n");
  if (at == std::string::npos) return "";
  const std::size_t end = text.find("\n\n", text.find("\n\n", at + 1) + 2);
  return text.substr(at, end - at + 1);
}

// Six passes: the end-member table on a 2 x 2 grid, the H2O and CO2
// fugacities, their volumes, the other fugacities, the linearised reaction
// en = q + per, and the activities from chemical potentials.
TEST(UtilitiesRun, TablesAndActivitiesPassAfterPass) {
  const std::string answers =
      "2\n0\n2 4\n400 600\n"
      "y\n2\n1\n10 10.2 10.4\n600\n"
      "y\n2\n3\n10 10.2 10.4\n600\n"
      "y\n2\n2\n5\n500\n"
      "y\n2\n4\n\n\n5\n500\n1\n4 6\n400 600\n0\n"
      "y\n3\n"
      "n\n\n";
  const e2e::Run r = e2e::run({"utilities"}, answers, {}, {}, SOLVARINTH_UTILITYRUN);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(e2e::names(r), inputsand({"jx-log.txt", "jx-tb-o.txt", "jx-tb-qk.txt"})) << r.out;
  EXPECT_EQ(r.files.at("jx-ds6ut.txt"), e2e::slurp(e2e::fs::path(SOLVARINTH_FIXTURES) / "utilities/jx-ds6ut.txt"));

  // Terminal: a menu and a question per pass, no calc-mode question, the
  // activities straight to the terminal, and the end of a run.
  EXPECT_FALSE(has(r.out, "calcmode code")) << r.out;
  EXPECT_EQ(count(r.out, "utility code : "), 6);
  EXPECT_EQ(count(r.out, "more utility calculations ? "), 6);
  EXPECT_EQ(count(r.out, "table code : "), 5);
  EXPECT_TRUE(has(r.out, "\n      SiO2   MgO\n div     1     1\n\n   q     1     0\n  en     1     1\n"
                         " per     0     1\n\n3 2 2\n\n"
                         // exp(-(G - sum of n mu)/RT) at 5 kbar and 500 C, mu -930 and -620 kJ
                         "a(q) =  1.2517\na(en) = 112.5976\na(per) =  0.6054\n"))
      << r.out;
  const std::string end = std::string(60, '=') + "\nall done - hit return to exit ? \n";
  ASSERT_GE(r.out.size(), end.size());
  EXPECT_EQ(r.out.substr(r.out.size() - end.size()), end);

  const std::string& sum = r.files.at("jx-tb-o.txt");
  EXPECT_EQ(count(sum, "with axfile jx-utax.txt and scriptfile jx-tb.txt\n"), 6);
  // Theta is 10636/(6.44 + 1000 S/atoms), to the nearest integer.
  EXPECT_TRUE(has(sum, "\nq           -910.70    41.50    2.269        0        0        0        0        0      525"
                       "        0        0        0         \n"
                       "en         -1545.00    66.00    3.133        0        0        0        0        0      542"
                       "        0        0        0         \n"
                       "per         -601.60    26.90    1.125        0        0        0        0        0      535"
                       "        0        0        0         \n"))
      << sum;
  EXPECT_TRUE(has(sum, "\nG(en)\n\n   kbar " + DEG + "C         400         600\n    2.0     -1583.1650  -1596.3650\n"
                       "    4.0     -1576.8990  -1590.0990\n"));
  EXPECT_TRUE(has(sum, "\nG(per)\n\n   kbar " + DEG + "C         400         600\n    2.0      -617.4589   -622.8389\n"
                       "    4.0      -615.2089   -620.5889\n"));

  // The fluids: RT ln f grows with P by the integral of V, here by Simpson's
  // rule over the three pressures of both tables.
  using pair = std::pair<std::string, std::string>;
  for (const auto& [f, v] : {pair{"RT ln f(H2O)", "V(H2O)"}, pair{"RT ln f(CO2)", "V(CO2)"}}) {
    SCOPED_TRACE(f);
    const std::string tf = table(sum, f), tv = table(sum, v);
    // The H2O table's pressure column is one wider.
    const std::string pad = f == "RT ln f(H2O)" ? "    " : "   ", p1 = pad + "10.0", p3 = pad + "10.4";
    const std::vector<double> f1 = row(tf, p1), f3 = row(tf, p3), v1 = row(tv, "   10.0"), v2 = row(tv, "   10.2"),
                              v3 = row(tv, "   10.4");
    ASSERT_TRUE(f1.size() == 1 && f3.size() == 1 && v1.size() == 1 && v2.size() == 1 && v3.size() == 1) << tf << tv;
    EXPECT_NEAR(f3[0] - f1[0], 0.4 / 6 * (v1[0] + 4 * v2[0] + v3[0]), 0.003);
    EXPECT_GT(v1[0], v3[0]);
  }
  // The corresponding-states gases at 5 kbar and 773.15 K, from their
  // critical constants.
  for (const auto& [gas, value] : std::vector<std::pair<std::string, std::string>>{
           {"CH4", "69.635"}, {"H2", "64.232"}, {"H2S", "65.502"}, {"S2", "65.130"}})
    EXPECT_TRUE(has(sum, "\nRT ln f(" + gas + ")\n\n   kbar " + DEG + "C     500\n    5.0     " + value + "\n")) << gas;
  // -q + en - per: a = dH - 0.001 dV, b = -dS, c = dV; the departures of the
  // linear form vanish, the constant H, S and V making it exact.
  EXPECT_TRUE(has(sum, "(a, b and c includes fluid fugacities, at P = 5.0 kbar and T = 500" + DEG +
                           "C)\n         q   en  per         a         b         c\n"
                           "    1   -1    1   -1    -32.70   0.00240    -0.261\n\n          400.00  600.00\n"))
      << sum;
  for (const char* p : {"    4.00", "    6.00"}) {
    const std::vector<double> d = row(sum, p);
    ASSERT_EQ(d.size(), 2u) << p;
    EXPECT_EQ(std::fabs(d[0]) + std::fabs(d[1]), 0) << p;
  }
  EXPECT_TRUE(has(sum, "\n[ jx351 is a jx version that performs jx350-consistent mode 1 calculations with the "
                       "jx360-compliant \n"));
  EXPECT_FALSE(has(sum, "a(q)"));

  EXPECT_EQ(r.files.at("jx-tb-qk.txt"),
            "\n"
            "lp = {   2.000,   4.000};\n\nlt = 273.15 + {   400.0,   600.0};\n\n"
            "G[q] ^= {\n\n    {        -934.09999,        -942.39999},\n"
            "    {        -929.56199,        -937.86199}};\n\n"
            "G[en] ^= {\n\n    {        -1583.1650,        -1596.3650},\n"
            "    {        -1576.8990,        -1590.0990}};\n\n"
            "G[per] ^= {\n\n    {        -617.45886,        -622.83886},\n"
            "    {        -615.20886,        -620.58886}};\n\n"
            "flp = {  10.000,  10.200,  10.400};\n\nflt = {   873.2};\n\n"
            "rtlnfh2o = {{  68.209},\n{  68.583},\n{  68.956}};\n"
            "(* reaction thermo linearised at P = 5.0 kbar and T = 500" + DEG + "C *)\n\n"
            "{{   1,   -1,    1,   -1,    -32.70,   0.00240,    -0.261}};\n\n\n"
            "(* reaction thermo for (1) *)\n{    4.00,    6.00};\n{  673.15,  873.15};\n\n"
            // dG0 itself: -32.699739 + 0.0024 T - 0.261 P
            "{{  -32.1282,  -31.6482},\n {  -32.6502,  -32.1702}};\n");

  // The log: the answers as given, the tables as in the summary, and not
  // the activities, which only the terminal gets.
  const std::string& log = r.files.at("jx-log.txt");
  EXPECT_EQ(count(log, "more utility calculations ? yes\n"), 5);
  EXPECT_EQ(count(log, "more utility calculations ? no\n"), 1);
  EXPECT_TRUE(has(log, "utility code : 3\n"));
  EXPECT_TRUE(has(log, table(sum, "G(q)")));
  EXPECT_TRUE(has(log, "    1   -1    1   -1    -32.70   0.00240    -0.261\n"));
  EXPECT_FALSE(has(log, "a(q)"));
}

// Four passes: the bulk and two olivine analyses converted, the end-members
// of SiO2-MgO-H2O, the end-member table at one point, and the drawing, which
// closes the run's files and so ends the run.
TEST(UtilitiesRun, ConversionListTableAndDrawing) {
  const std::string qk = e2e::slurp(e2e::fs::path(SOLVARINTH_FIXTURES) / "drawing/qk-fourfield.txt");
  const e2e::Run r = e2e::run({"utilities"}, "1\ny\n4\nSiO2 MgO H2O\ny\n2\n0\n5\n500\ny\n0\n",
                              {{"jx-prefs.txt", prefs("cv")}, {"qk-cv.txt", qk}}, {}, SOLVARINTH_UTILITYRUN);
  ASSERT_EQ(r.status, 0) << r.out;
  std::vector<std::string> want = inputsand({"jx-cv-it.txt", "jx-cv-o.txt", "jx-cv-qk.txt", "jx-cv.svg", "jx-log.txt"});
  want.push_back("qk-cv.txt");
  std::sort(want.begin(), want.end());
  EXPECT_EQ(e2e::names(r), want) << r.out;
  EXPECT_EQ(r.files.at("qk-cv.txt"), qk);

  // Bulk: FeO gains twice the moles of Fe2O3, whose extra O and the CaO are
  // no components of the system; mole% of H2O, SiO2, MgO and FeO.
  const std::string bulk =
      "\n_________________________\nbulk composition in mole%\n       H2O      SiO2       MgO       FeO\n"
      "   10.5740   35.6669   47.2634    6.4956\n";
  // Olivine on four oxygens, its iron all ferrous: x = Fe2/(Fe2 + Mg).
  const std::string recalc =
      "\nrecalc of ol\n           SiO2       FeO       MgO         O\nwt%      39.500    15.200    45.300     0.000\n"
      "             Si       Fe2        Mg       Fe3\nc(0)     0.9922    0.3193    1.6963    0.0000\n\n"
      "ol   recalc       xyz   sd(xyz)    \n      x(ol)   0.15841   ";
  const std::string list =
      "\n           SiO2    MgO    H2O\n       q      1      -      -     quartz\n"
      "      en      1      1      -     enstatite\n"
      "     per      -      1      -     periclase\n      fo      1      2      -     forsterite\n"
      "      br      -      1      1     brucite\n";
  const std::string point = "\nG at 5.000 kbar and 500.00 " + DEG +
                            "C\n\n    fo =-2223.9009310000\n    fa =-1571.2952810000\n     q = -931.4429940000\n"
                            "    en =-1580.3660330000\n   per = -616.7738600000\n    br = -962.0824880000\n";
  const std::string drawn = "plotix running in SOLVARINTH at ";
  const std::string& sum = r.files.at("jx-cv-o.txt");
  // The terminal has the same, where a prompt's line may run on into it.
  for (const std::string* part : {&bulk, &recalc, &list, &point}) {
    EXPECT_TRUE(has(sum, *part)) << *part << "\n----\n" << sum;
    EXPECT_TRUE(has(r.out, part->substr(1))) << *part;
  }
  EXPECT_TRUE(sum.find(bulk) < sum.find(recalc) && sum.find(recalc) < sum.find(list) &&
              sum.find(list) < sum.find(point) && sum.find(point) < sum.find(drawn));
  EXPECT_TRUE(has(sum, "\nwith diagram in file, jx-cv.svg\n"));
  EXPECT_FALSE(has(sum, "[ jx351 is a jx version"));

  // The spread of x from the Monte Carlo, whose seed is the clock: about
  // x (1 - x) 0.02 sqrt(1/15.2 + 1/45.3) = 0.00079.
  const std::vector<double> x = row(sum, "      x(ol)");
  ASSERT_EQ(x.size(), 2u) << sum;
  EXPECT_GT(x[1], 0.0007);
  EXPECT_LT(x[1], 0.0009);

  // Terminal: three questions for more, none after the drawing, and the
  // pointers to what went to the log.
  EXPECT_EQ(count(r.out, "utility code : "), 4);
  EXPECT_EQ(count(r.out, "more utility calculations ? "), 3);
  EXPECT_FALSE(has(r.out, "all done"));
  EXPECT_TRUE(has(r.out, "\nignoring, in the input bulk CaO=0.0178; O=0.0125; \n")) << r.out;
  EXPECT_TRUE(has(r.out, "[ this bulk info is in scriptfile form in the logfile, ]"));
  EXPECT_TRUE(has(r.out, "[ this xyz info is in scriptfile form in the logfile ]"));
  EXPECT_TRUE(has(r.out, "[ rbi is in the logfile ]"));
  EXPECT_TRUE(has(r.out, "\nwhich system? : " + list));
  const std::string close = "\nwith diagram in file, jx-cv.svg\n\n";
  ASSERT_GE(r.out.size(), close.size());
  EXPECT_EQ(r.out.substr(r.out.size() - close.size()), close);

  const std::string& log = r.files.at("jx-log.txt");
  const std::string dash = "%-----------------------------------------------------------\n";
  EXPECT_TRUE(has(log, "[ for copying into the scriptfile ]\n" + dash +
                           "bulk       H2O    SiO2     MgO     FeO\nbulk    10.574  35.667  47.263   6.496\n" + dash +
                           "% bulk, in mole%, derived from the following analysis in wt%:\n"
                           "%         SiO2     MgO     FeO   Fe2O3     H2O     CaO\n"
                           "%        45.00   40.00    8.00    2.00    4.00    1.00\n" + dash))
      << log;
  EXPECT_TRUE(has(log, "\n% olivine\n% ---------------------------------------------------\n"
                       "mineral   ol    1    x(ol)\nmineral   ol incl        1\nmineral   ol  xyz  0.15841\n"
                       "mineral   ol   sd  " + five(x[1]) + "\n\nmineral   ol  cor        1\n\n"
                       "% xyz calculated with the following analysis in wt% (all Fe as FeO),\n"
                       "%      SiO2      FeO      MgO\n%     39.50    15.20    45.30\n"
                       "% with, natural logs, sd(log wt%) = 0.020/sqrt(wt%), and\n"
                       "% all Fe set to FeO; uncertainties calculated using monte carlo\n"))
      << log;
  // Oxides per formula unit, and the phases' compositions: ol as
  // (1 - x) fo + x fa, then the pure phases.
  EXPECT_TRUE(has(log, "\nmoles of oxides in ol for rbi\n       H2O      SiO2       MgO       FeO\n"
                       "         0  0.992189  1.696320  0.319301\n\ncheck      SiO2       FeO       MgO         O\n"
                       "wt       39.500    15.200    45.300     0.000\n"
                       "mole   0.992189  0.319301  1.696320  0.000000\n"));

  // The second olivine fitted to one Si on four oxygens, its ferric iron
  // from ln x = (ln 0.02 + ln 0.06)/2 = -3.36 with 2 sd = ln 3 / 2 = 0.55:
  // O = 0.5 x 16 x 15.1 exp(ln x)/71.8464 wt%.
  const std::string fit =
      "\nideal analysis of ol with\n  Si = 1\n\n           SiO2       FeO       MgO         O\n"
      "wt%      39.600    15.100    45.300     0.058\n             Si       Fe2        Mg       Fe3\n"
      "c(0)     0.9926    0.3056    1.6928    0.0110\nc(id)    1.0000    ";
  ASSERT_TRUE(has(sum, fit)) << sum;
  const std::vector<double> cid = row(sum, "c(id)    1.0000");
  ASSERT_EQ(cid.size(), 3u);
  const std::vector<double> x2 = row(sum.substr(sum.find(fit)), "      x(ol)");
  ASSERT_EQ(x2.size(), 2u);
  const double fitted = x2[0];
  EXPECT_NEAR(fitted, cid[0] / (cid[0] + cid[1]), 1e-4);
  EXPECT_GT(x2[1], 0);
  EXPECT_TRUE(has(sum, "\nol    ideal       xyz   sd(xyz)    \n"));
  // The fitted analysis sums to 100 and holds one Si per four oxygens; the
  // rbi amounts are the fitted cations, all iron as FeO.
  const std::string second = log.substr(log.find("\nideal analysis of ol"));
  const std::vector<double> wt = row(second, "wt   ");
  ASSERT_EQ(wt.size(), 4u);
  EXPECT_NEAR(wt[0] + wt[1] + wt[2] + wt[3], 100, 0.002);
  const std::vector<double> mo = row(second, "mole ");
  ASSERT_EQ(mo.size(), 4u);
  EXPECT_NEAR(mo[1], cid[0] + cid[2], 2e-4);
  EXPECT_NEAR(mo[2], cid[1], 1e-4);
  // The script block: the sds doubled, the ferric iron line in full.
  const std::vector<double> sd2 = row(log.substr(log.find("mineral   ol  xyz  " + five(fitted))), "mineral   ol   sd");
  ASSERT_EQ(sd2.size(), 1u);
  EXPECT_NEAR(sd2[0], 2 * x2[1], 1.1e-5);
  EXPECT_TRUE(has(log, "% using ideal analysis (eg fixed cation sum), with sigfit = "));
  EXPECT_TRUE(has(log, "% log x = log Fe3/(Fe2 + Fe3) = -3.36 \xC2\xB1 0.55 from x range 0.02 to 0.06 (95% \"ci\")\n"
                       "% uncertainties calculated using monte carlo (sd mult = 2)\n"))
      << log;

  const std::string rbidash = "% -----------------------------------------------------\n";
  EXPECT_TRUE(has(log, "\n" + rbidash + "%                             H2O      SiO2       MgO       FeO\n"
                       "bulk  rbi    ol         0         0         1  1.683174  0.316826\n"
                       "bulk  rbi    ol         0         0         1  1.69"))
      << log;
  // (1 - x) fo + x fa from the fitted x, printed to five decimals.
  const std::vector<double> ol2 = row(log.substr(log.find("\nbulk  rbi    ol         0         0         1  1.69")),
                                      "bulk  rbi    ol");
  ASSERT_EQ(ol2.size(), 5u);
  EXPECT_NEAR(ol2[3], 2 * (1 - fitted), 2e-5);
  EXPECT_NEAR(ol2[4], 2 * fitted, 2e-5);
  EXPECT_TRUE(has(log, "\n"
                       "bulk  rbi     q       0         0         1         0         0\n"
                       "bulk  rbi    en       0         0         1         1         0\n"
                       "bulk  rbi   per       0         0         0         1         0\n"
                       "bulk  rbi    br       0         1         0         1         0\n" + rbidash))
      << log;
  EXPECT_TRUE(has(log, "% rbi info: add modes for ?? (and reduce H2O in bi by cTi)\n" + dash +
                           "rbi                     H2O      SiO2       MgO       FeO\n"
                           "rbi    ol      ??         0  0.992189  1.696320  0.319301\n"
                           "rbi    ol      ??         0  1.000000  " + six(mo[2]) + "  " + six(mo[1]) + "\n" + dash));
  EXPECT_TRUE(has(log, "which system? :  SiO2 MgO H2O \n"));
  EXPECT_TRUE(has(log, "\nu4) a b (d)    start = i1; end = right edge\n"));

  const std::string& it = r.files.at("jx-cv-it.txt");
  EXPECT_TRUE(has(it, "\nol = olivine\n\n composition variables\n  x(ol)\n")) << it;
  EXPECT_EQ(r.files.at("jx-cv-qk.txt"),
            "\n\nlp = {   5.000};\n\nlt = 273.15 + {   500.0};\n    G[fo] ^= {{  -2223.9009}};\n"
            "    G[fa] ^= {{  -1571.2953}};\n     G[q] ^= {{  -931.44299}};\n    G[en] ^= {{  -1580.3660}};\n"
            "   G[per] ^= {{  -616.77386}};\n    G[br] ^= {{  -962.08249}};\n");
  const std::string& svg = r.files.at("jx-cv.svg");
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_TRUE(has(svg, "<svg viewBox=\"0 0 580 576\""));
  ASSERT_GE(svg.size(), 7u);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

// A bad answer ends the run in its pass and prunes the files as the end of
// a run does; the built program itself still refuses the mode.
TEST(UtilitiesRun, BadCodeEndsTheRunAndTheProgramRefusesTheMode) {
  const e2e::Run bad = e2e::run({"utilities"}, "7\n\n", {}, {}, SOLVARINTH_UTILITYRUN);
  EXPECT_EQ(bad.status, 1);
  const std::string bomb = "\n-- run bombed in doutilities : integer needed (2), between 0 and 4\n";
  EXPECT_TRUE(has(bad.out, bomb + "\n")) << bad.out;
  EXPECT_EQ(e2e::names(bad), inputsand({"jx-log.txt", "jx-tb-o.txt"}));
  EXPECT_TRUE(has(bad.files.at("jx-log.txt"), "utility code : 7\n" + bomb));
  EXPECT_EQ(bad.files.at("jx-tb-o.txt"), bomb + "\n");

  const e2e::Run refused = e2e::run({"utilities"}, "\n", {});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(has(refused.out, "\n-- run bombed in setup : sorry, mode 0 not available: use jx350\n")) << refused.out;
  EXPECT_FALSE(has(refused.out, "utility code"));
  EXPECT_EQ(e2e::names(refused), inputsand({"jx-log.txt"}));
}

// One garnet analysis with its ferric iron, fitted to five sets of
// constraints. The tables print Fe2 = FeO - 2 O and Fe3 = 2 O (cations per
// 12 oxygens), and every constraint must hold on those: one naming Fe3 or
// Fe2 alone once missed the O entry's share. Expected cations, variables and
// sigfit from an own fit written apart in python3 with mpmath: the
// log-ratios of the oxide amounts moved, weighted by their covariance
// (sd(ln wt%) = 0.02/sqrt(wt%), the O entry's widened by ln x's sd), onto the
// constraints by solving the Lagrange conditions with findroot. A sum over
// all the iron is not touched by the split and comes out as it always did.
TEST(UtilitiesRun, IdealFitHoldsOnTheIronAsPrinted) {
  const e2e::Run r = e2e::run({"idealiron"}, "1\nn\n\n", {}, {}, SOLVARINTH_UTILITYRUN);
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string& sum = r.files.at("jx-ig-o.txt");
  struct fitted {
    const char* constraints;
    std::vector<double> cid;  // Si Al Fe2 Mg Ca Mn Fe3
    double x, z, f;
    const char* sigfit;
  };
  const fitted fits[] = {
      {"  Al + Fe3 = 2\n", {2.995710, 1.958090, 1.925246, 0.600594, 0.389137, 0.093602, 0.041910}, 0.762220014,
       0.1334957666, 0.02095515484, "1.078"},
      {"  Fe2 + Mg + Ca + Mn = 3\n", {2.983649, 1.967374, 1.914854, 0.601763, 0.389678, 0.093705, 0.054428},
       0.7608843233, 0.1340807656, 0.02692031341, "0.771"},
      {"  Fe3 = 0.100\n  Si = 3\n", {3.0, 1.950282, 1.851959, 0.594056, 0.385688, 0.092874, 0.1}, 0.7571330881,
       0.1362035704, 0.04877377896, "0.953"},
      {"  Si + Al + Fe2 + Fe3 + Mg + Ca + Mn = 8\n",
       {2.980599, 1.968821, 1.896990, 0.600844, 0.389172, 0.093594, 0.069980}, 0.7594539099, 0.1348011087,
       0.03432398279, "0.547"},
      {"  Fe3 - 0.050Fe2 = 0\n", {2.982064, 1.965952, 1.867564, 0.598219, 0.387790, 0.093303, 0.093378},
       0.7573919389, 0.1358963586, 0.04534396727, "0.211"},
  };
  std::size_t at = 0;
  for (const fitted& want : fits) {
    SCOPED_TRACE(want.constraints);
    at = sum.find("\nideal analysis of gt with\n" + std::string(want.constraints) + "\n", at);
    ASSERT_NE(at, std::string::npos) << sum;
    const std::string block = sum.substr(at, sum.find("[ this xyz", at) - at);
    EXPECT_TRUE(has(block, "\n             Si        Al       Fe2        Mg        Ca        Mn       Fe3\n"
                           "c(0)     2.9791    1.9640    1.8414    0.5976    0.3874    0.0932    0.1175\n"))
        << block;
    const std::vector<double> cid = row(block, "c(id)");
    ASSERT_EQ(cid.size(), 7u) << block;
    for (std::size_t j = 0; j < 7; ++j) EXPECT_NEAR(cid[j], want.cid[j], 5.1e-5) << j;
    EXPECT_TRUE(has(block, std::string("\nsigfit = ") + want.sigfit + "\n")) << block;
    const double xyz[] = {want.x, want.z, want.f};
    const char* names[] = {"      x(gt)", "      z(gt)", "      f(gt)"};
    for (int v = 0; v < 3; ++v) {
      const std::vector<double> got = row(block, names[v]);
      ASSERT_GE(got.size(), 1u) << block;
      EXPECT_EQ(fixed(got[0], 5), fixed(xyz[v], 5)) << names[v];
    }
    ++at;
  }
}

}  // namespace

// The drawing of fields that meet the frame in two places and of a field
// wider than half a turn at its point, then of an area whose lines cannot
// close round it. Window units: x 0..10 maps to 60..520, y 400..800 to
// 504..44 of the picture (no info line).
TEST(UtilitiesRun, DrawingOfBandsAndOfAnAreaThatCannotClose) {
  const std::string control = "*\nwindow 0 10 400 800\nbigticks 0 0 0 0\ncircles no\n*\n";
  // i1 at (3, 680) with lines to the top (8, 800), the left (0, 480), the
  // bottom (4, 400) and the right (10, 600); u5 from the bottom (6, 400) to
  // the right (10, 440) cuts the bottom right corner off the field of u3
  // and u4. The field of u1 and u2 spans 208 degrees at i1 and holds the
  // top left corner alone.
  const std::string lines =
      "i1 3 680\n"
      "u1 i1 end 3 680 8 800\nu2 i1 end 3 680 0 480\nu3 i1 end 3 680 4 400\nu4 i1 end 3 680 10 600\n"
      "u5 begin end 6 400 10 440\n";
  const std::string areas = "0.5 u2 u1\n0.5 u3 u2\n0.5 u5 u4 u3\n0.5 u4 u1\n0.5 u5\n";
  const e2e::Run r = e2e::run({"utilities"}, "0\n",
                              {{"jx-prefs.txt", prefs("cv")}, {"qk-cv.txt", "2 4 1 2\n" + lines + "*\n" + areas + control}},
                              {}, SOLVARINTH_UTILITYRUN);
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string& svg = r.files.at("jx-cv.svg");
  auto polygon = [](const std::string& points) {
    return "<polygon fill=\"rgb(127,127,127)\" points=\"\n      " + points + "\" />\n";
  };
  // from u2's end on the left up round the top left corner to u1's end
  EXPECT_TRUE(has(svg, polygon("60.00 412.00\n      198.00 182.00\n      428.00 44.00\n      60.00 44.00\n"
                               "      60.00 412.00")))
      << svg;
  // u3 to the bottom, along it to u5, u5, up the right side to u4
  EXPECT_TRUE(has(svg, polygon("336.00 504.00\n      520.00 458.00\n      520.00 274.00\n      198.00 182.00\n"
                               "      244.00 504.00\n      336.00 504.00")))
      << svg;
  // the corner cut off by u5, on the side away from the other lines
  EXPECT_TRUE(has(svg, polygon("336.00 504.00\n      520.00 458.00\n      520.00 504.00\n      336.00 504.00"))) << svg;

  // u6 leaves i2 and never reaches the frame: the area of u6 and u1 cannot
  // be drawn.
  const e2e::Run bad = e2e::run(
      {"utilities"}, "0\n",
      {{"jx-prefs.txt", prefs("cv")},
       {"qk-cv.txt", "2 4 1 2\n" + lines + "i2 5 500\nu6 i2 end 5 500 5 550\n*\n0.5 u1 u6\n" + control}},
      {}, SOLVARINTH_UTILITYRUN);
  EXPECT_EQ(bad.status, 1) << bad.out;
  EXPECT_TRUE(has(bad.out, "-- run bombed in areas : area 1 (u1 u6) cannot be drawn")) << bad.out;
  EXPECT_FALSE(has(bad.files.at("jx-cv.svg"), "<polygon fill")) << bad.files.at("jx-cv.svg");
}
