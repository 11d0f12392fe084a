// The utilities' entries taken as given or refused naming them: an oxide
// written twice, negative amounts, an x range or sd multiplier out of
// bounds, a constraint naming no cation, and muval lines with a value
// missing, a name twice or more than one line. Numbers expected were worked
// out apart from the program with python3: the garnet recalculated on 12
// oxygens with Fe3/(Fe2 + Fe3) = exp of the mean ln x, the bulk moles from
// the oxide masses, and a = exp((sum of n mu - G)/RT) with
// G = H - T S + (P - 0.001) V from the data-set rows.
#include <sstream>
#include <tuple>

#include "harness.h"

namespace {

using e2e::has;

// The garnet of the made-up ideal-garnet fixture: 12 oxygens, x = Fe2/(Fe2
// + Mg), z = Ca/(Ca + Fe2 + Mg), f = Fe3/(Fe3 + Al).
const std::string head = "% made-up analyses\naxfile igax\ndiagramPT 1 20 300 1000\n";
const std::string oxides = "SiO2 Al2O3 FeO MgO CaO MnO";
const std::string analysis = "38.60 20.50 24.30 7.80 7.10 0.40";

// With the a-x file's text from changed to to, where given.
e2e::Run convert(const std::string& lines, const std::string& from = "", const std::string& to = "") {
  std::map<std::string, std::string> files = {{"jx-ig.txt", head + lines + "*\n"}};
  std::string ax = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/idealiron/jx-igax.txt");
  if (!from.empty()) files["jx-igax.txt"] = ax.replace(ax.find(from), from.size(), to);
  return e2e::run({"idealiron"}, "1\nn\n\n", files, {}, SOLVARINTH_UTILITYRUN);
}

std::string garnet(const std::string& names, const std::string& wt, const std::string& info = "12 0.02 0.04 0.09") {
  const std::string n = std::to_string(std::count(names.begin(), names.end(), ' ') + 1);
  return "convert gt " + n + " " + names + "\nconvert gt wt2xyz " + wt + "\nconvert gt info " + info + "\n";
}

// The first number of the summary's row label.
double first(const std::string& text, const std::string& label) {
  const std::size_t at = text.find("\n" + label);
  double v = -1;
  if (at != std::string::npos) std::istringstream(text.substr(at + 1 + label.size())) >> v;
  return v;
}

void expectxyz(const e2e::Run& r, double x, double z, double f) {
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string& sum = r.files.at("jx-ig-o.txt");
  EXPECT_EQ(e2e::fixed(first(sum, "      x(gt)"), 5), e2e::fixed(x, 5)) << sum;
  EXPECT_EQ(e2e::fixed(first(sum, "      z(gt)"), 5), e2e::fixed(z, 5)) << sum;
  EXPECT_EQ(e2e::fixed(first(sum, "      f(gt)"), 5), e2e::fixed(f, 5)) << sum;
}

void expectstop(const e2e::Run& r, const std::string& message) {
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(has(r.out, "\n-- run bombed in " + message + "\n")) << r.out;
}

// Cations on 12 oxygens of the analysis: Si 3.008829, Al 1.883317,
// Fe2 1.489032, Mg 0.906394, Ca 0.592966, Fe3 0.095045.
TEST(UtilityValues, AnOxideWrittenTwiceIsTakenOnceWhereEqualElseRefused) {
  const std::string rbi = "rbi    gt      ??  3.008829  0.941658  0.592966  0.906394  1.584076  0.047522\n";
  for (const std::string& lines :
       {garnet(oxides, analysis), garnet(oxides + " FeO", analysis + " 24.30"),
        garnet("SiO2 " + oxides, "38.60 " + analysis), garnet(oxides + " FeOt", analysis + " 24.30"),
        garnet("FeOt " + oxides, "24.30 " + analysis), garnet("SiO2 Al2O3 FeOt MgO CaO MnO", analysis)}) {
    SCOPED_TRACE(lines);
    const e2e::Run r = convert(lines);
    expectxyz(r, 0.62161, 0.19842, 0.04804);
    EXPECT_TRUE(has(r.files.at("jx-log.txt"), rbi)) << r.files.at("jx-log.txt");
  }
  const std::string twice = " given twice in \"convert\" with different values";
  expectstop(convert(garnet(oxides + " FeO", "38.60 20.50 12.00 7.80 7.10 0.40 12.30")),
             "reading scripts : FeO of gt" + twice);
  expectstop(convert(garnet("SiO2 " + oxides, "20.00 18.60 20.50 24.30 7.80 7.10 0.40")),
             "reading scripts : SiO2 of gt" + twice);
  // FeOt is FeO to the recalculation: the two are FeO written twice.
  expectstop(convert(garnet(oxides + " FeOt", "38.60 20.50 12.30 7.80 7.10 0.40 12.00")),
             "reading scripts : FeO of gt" + twice);
  expectstop(convert(garnet("FeOt " + oxides, "12.00 38.60 20.50 12.30 7.80 7.10 0.40")),
             "reading scripts : FeO of gt" + twice);

  // The bulk: moles 50/60.0848, 20/101.96128, 10/40.3044, 12/71.8464 over
  // their sum.
  const std::string mole = "      SiO2     Al2O3       CaO       MgO       FeO         O\n"
                           "   57.6508   13.5892        ??   17.1889   11.5711        ??\n";
  for (const char* bulk : {"SiO2 Al2O3 FeO MgO 50 20 12 10", "SiO2 Al2O3 FeO SiO2 MgO 50 20 12 50 10"}) {
    const e2e::Run r = convert(std::string("convert bulk wt2mole ") + bulk + "\n");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r.files.at("jx-ig-o.txt"), "bulk composition in mole%\n" + mole)) << r.files.at("jx-ig-o.txt");
  }
  expectstop(convert("convert bulk wt2mole SiO2 Al2O3 FeO SiO2 MgO 50 20 12 45 10\n"),
             "reading scripts : SiO2 given twice in \"convert bulk\" with different values");
}

// A trace of MnO, read by no variable of gt, drawn in the Monte Carlo with
// an sd of ln wt% of 0.02 / sqrt(wt%): the spread of the analysis without
// it. Own Monte Carlo of the analysis without MnO (numpy, 200000 samples):
// sd 0.00362, 0.00185, 0.0092; correlations -0.560 (x, z), -0.850 (x, f),
// 0.705 (z, f). The program's 5000 clock-seeded samples lie within a few
// hundredths of these.
TEST(UtilityValues, ATraceEntryLeavesTheSpreadOfTheAnalysisWithoutIt) {
  const double sd[] = {0.00362, 0.00185, 0.0092}, cor[] = {-0.560, -0.850, 0.705};
  for (const char* mno : {"1e-11", "1e-12", "1e-300"}) {
    SCOPED_TRACE(mno);
    const e2e::Run r = convert(garnet(oxides, std::string("38.60 20.50 24.30 7.80 7.10 ") + mno));
    expectxyz(r, 0.62161, 0.19842, 0.04804);
    const std::string& sum = r.files.at("jx-ig-o.txt");
    double row[3][5] = {};
    int k = 0;
    for (const char* v : {"      x(gt)", "      z(gt)", "      f(gt)"}) {
      std::istringstream in(sum.substr(sum.find(std::string("\n") + v) + 12));
      for (int c = 0; c < 5 - k; ++c) in >> row[k][c];
      ++k;
    }
    for (int v = 0; v < 3; ++v) EXPECT_NEAR(row[v][1], sd[v], 0.12 * sd[v]) << sum;
    EXPECT_NEAR(row[0][3], cor[0], 0.06) << sum;
    EXPECT_NEAR(row[0][4], cor[1], 0.06) << sum;
    EXPECT_NEAR(row[1][3], cor[2], 0.06) << sum;
  }
}

TEST(UtilityValues, NegativeAmountsAndBoundsOutOfRangeAreRefused) {
  const std::string range = ": the x range is of Fe3/(Fe2 + Fe3)";
  expectstop(convert(garnet(oxides, "38.60 20.50 24.30 7.80 -7.10 0.40")), "reading scripts : negative wt% of CaO for gt");
  expectstop(convert("convert bulk wt2mole SiO2 Al2O3 FeO MgO CaO -50 20 -120 10 5\n"),
             "reading scripts : negative wt% of SiO2 in convert bulk");
  expectstop(convert(garnet(oxides, analysis, "12 0.02 0.04 9")), "reading scripts : xhigh of gt above 1" + range);
  expectstop(convert(garnet(oxides, analysis, "12 0.02 -0.01 0.09")), "reading scripts : xlow of gt below 0" + range);
  expectstop(convert(garnet(oxides, analysis, "12 -0.02 0.04 0.09")),
             "reading scripts : negative sd(ln wt%) factor for gt");
  for (const char* mult : {" -2", " 0"})
    expectstop(convert(garnet(oxides, analysis, std::string("12 0.02 0.04 0.09") + mult)),
               "reading scripts : the sd multiplier for gt must be positive");
  // The ends of the range are fractions: 0.04 to 1 gives ln x = ln 0.04 / 2.
  expectxyz(convert(garnet(oxides, analysis, "12 0.02 0.04 1")), 0.58301, 0.21433, 0.14400);
}

// Fitted to the cation sum 8 on every cation, Mn included: the own fit of
// the ideal-analysis rewrite gives x 0.62103, z 0.19869, f 0.04995. The
// variables of the a-x file the same, where Ti is none of the garnet.
TEST(UtilityValues, IdealConstraintsAndVariablesNameCationsOnly) {
  const std::string base = garnet(oxides, analysis) + "convert gt ideal 8 0 ";
  expectxyz(convert(base + "7 1 Si 1 Al 1 Fe2 1 Fe3 1 Mg 1 Ca 1 Mn\n"), 0.62103, 0.19869, 0.04995);
  // A cation the analysis lacks stands for none of it.
  expectxyz(convert(base + "8 1 Si 1 Al 1 Fe2 1 Fe3 1 Mg 1 Ca 1 Mn 1 Ti\n"), 0.62103, 0.19869, 0.04995);
  expectstop(convert(base + "7 1 Si 1 Al 1 Fe2 1 Fe3 1 Mg 1 Ca 1 Mnn\n"),
             "calcxyz : an ideal constraint of gt names Mnn, no cation");
  expectstop(convert(base + "8 1 Si 1 Al 1 Fe2 1 Fe3 1 Mg 1 Ca 1 Mn 1 O\n"),
             "calcxyz : an ideal constraint of gt names O, no cation");
  expectstop(convert(base + "6 1 Si 1 Al 1 Fe 1 Mg 1 Ca 1 Mn\n"),
             "calcxyz : an ideal constraint of gt names Fe: its iron is Fe2 and Fe3");
  const std::string g = garnet(oxides, analysis), x = "x(gt) 0 1 1 Fe2 0 2 1 Fe2 1 Mg";
  expectxyz(convert(g, "z(gt) 0 1 1 Ca 0 3", "z(gt) 0 1 1 Ca 0 4 1 Ti"), 0.62161, 0.19842, 0.04804);
  expectstop(convert(g, x, "x(gt) 0 1 1 Fe 0 2 1 Fe2 1 Mg"),
             "calcxyz : the numerator of x(gt) in gt names Fe: its iron is Fe2 and Fe3");
  expectstop(convert(g, "f(gt) 0 1 1 Fe3 0 2 1 Fe3 1 Al", "f(gt) 0 1 1 O 0 2 1 O 1 Al"),
             "calcxyz : the numerator of f(gt) in gt names O, no cation");
  expectstop(convert(g, x, "x(gt) 0 1 1 Fe2 0 2 1 Fe2 1 Mgg"),
             "calcxyz : the denominator of x(gt) in gt names Mgg, no cation");
}

// q, en and per at 5 kbar and 500 C: G -931.4430, -1580.3660, -616.7739 kJ.
TEST(UtilityValues, MuvalValuesAreUsedAsGivenOrRefused) {
  const auto activities = [](const std::string& lines) {
    const std::string script = "% made-up mu's\naxfile utax\ndiagramPT 1 12 300 800\nwith q en per\nmuval PT 5 500\n" +
                               lines + "*\n";
    return e2e::run({"utilities"}, "3\nn\n\n", {{"jx-tb.txt", script}}, {}, SOLVARINTH_UTILITYRUN);
  };
  const std::string one = "a(q) =  1.2517\na(en) = 112.5976\na(per) =  0.6054\n";
  // The same with mu(SiO2) -940 and mu(MgO) -625.
  const std::string two = "a(q) =  0.2642\na(en) = 10.9177\na(per) =  0.2781\n";
  for (const char* names : {"muval SiO2 MgO\nmuval -930 -620\n", "muval SiO2 MgO SiO2\nmuval -930 -620 -930\n"}) {
    const e2e::Run r = activities(names);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r.out, "\n\n" + one)) << r.out;
    EXPECT_FALSE(has(r.out, "muval line")) << r.out;
  }
  const e2e::Run both = activities("muval SiO2 MgO\nmuval -930 -620\nmuval -940 -625\n");
  ASSERT_EQ(both.status, 0) << both.out;
  EXPECT_TRUE(has(both.out, "\n\nmuval line 1\n" + one + "\nmuval line 2\n" + two)) << both.out;
  const std::string stop = "acalc : muval line ";
  expectstop(activities("muval SiO2 MgO\nmuval -930\n"), stop + "1 of values gives no mu for MgO");
  expectstop(activities("muval SiO2 MgO\nmuval -930 -620\nmuval -940\n"), stop + "2 of values gives no mu for MgO");
  expectstop(activities("muval SiO2 MgO\nmuval -930 -620 -10\n"), stop + "1 of values gives more values than muval names");
  expectstop(activities("muval SiO2 MgO SiO2\nmuval -930 -620 -940\n"), stop + "1 of values gives SiO2 two values");
  expectstop(activities("muval SiO2 MgO\n"), "acalc : muval gives no line of values");
  expectstop(activities("muval SiO2 MgO CaO\nmuval -930 -620 -700\n"), "acalc : muval names CaO, no component");
  // A value mistyped as a word (a letter O for a 0) is named, never read as
  // a potential of 0, wherever it stands in the line.
  const std::string mixed = "reading scripts : a muval line holds both the word \"";
  const std::string rest = "\": a line gives names or values, and a value is a number";
  expectstop(activities("muval SiO2 MgO\nmuval -930 -62O\n"), mixed + "-62O\" and the number \"-930" + rest);
  expectstop(activities("muval SiO2 MgO\nmuval -93O -620\n"), mixed + "-93O\" and the number \"-620" + rest);
  expectstop(activities("muval SiO2 1\nmuval -930 -620\n"), mixed + "SiO2\" and the number \"1" + rest);
}

// a(q) = exp((mu(SiO2) - G(q))/RT) at potentials far from the rock's: every
// digit written, however many, and past the largest number the program
// holds a line that says so, with ln a. The number of digits before the
// point, the leading digits and ln a are from mpmath (R 0.0083144, T 773.15
// K, G(q) -931.4430): mu 600 gives 2.91264867928e+103 (104 digits), mu 30000
// 5.34896011636e+2089 (2090 digits), mu 100000 ln a = 15701.1624805.
TEST(UtilityValues, AnActivityIsWrittenWholeOrSaidToBeBeyondTheRange) {
  const auto aq = [](const std::string& mu) {
    const std::string script = "axfile utax\ndiagramPT 1 12 300 800\nwith q en per\nmuval PT 5 500\nmuval SiO2 MgO\n"
                               "muval " + mu + " -620\n*\n";
    const e2e::Run r = e2e::run({"utilities"}, "3\nn\n\n", {{"jx-tb.txt", script}}, {}, SOLVARINTH_UTILITYRUN);
    EXPECT_EQ(r.status, 0) << r.out;
    const std::size_t at = r.out.find("\na(q) ");
    return at == std::string::npos ? std::string() : r.out.substr(at + 1, r.out.find('\n', at + 1) - at - 1);
  };
  for (const auto& [mu, digits, lead] : {std::tuple{"600", 104u, "29126"}, std::tuple{"30000", 2090u, "53489"}}) {
    const std::string line = aq(mu);
    ASSERT_EQ(line.rfind("a(q) = ", 0), 0u) << line;
    const std::string number = line.substr(7);
    EXPECT_EQ(number.size(), digits + 5) << line;
    EXPECT_EQ(number.substr(0, 5), lead);
    EXPECT_EQ(number.find_first_not_of("0123456789"), digits);
  }
  const std::string beyond = aq("100000");
  ASSERT_EQ(beyond.rfind("a(q) is beyond the number range: ln a(q) = ", 0), 0u) << beyond;
  EXPECT_NEAR(std::stod(beyond.substr(beyond.rfind(' ') + 1)), 15701.1625, 0.001) << beyond;
}

}  // namespace
