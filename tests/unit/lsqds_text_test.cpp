// Text made by calc mode 9: reaction lines and the LaTeX tables of the
// data set.
#include <gtest/gtest.h>

#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "lsq/lsqds.h"

using namespace ZQGLOBAL;

namespace {

TEST(LeastSquaresText, ReactionLines) {
  testsupport::freshstate();
  PHNAMES[1] = "a";
  PHNAMES[2] = "b";
  PHNAMES[3] = "c";
  const struct {
    std::vector<smallint> coef;
    const char* text;
  } cases[] = {
      {{-1, -1, 2}, "a + b = 2c"},
      {{-2, -3, 0}, "2a + 3b = "},
      {{1, 0, 4}, " = a + 4c"},
      {{0, -1, 1}, "b = c"},
      {{3, -1, 0}, "b = 3a"},
  };
  for (const auto& c : cases) {
    ilvector coef{"coef"}, em{"em"};
    for (smallint i = 1; i <= 3; ++i) {
      coef[i] = c.coef[static_cast<std::size_t>(i - 1)];
      em[i] = i;
    }
    EXPECT_EQ(LSQDS::MAKERELINE(coef, em, 3), c.text);
  }
  // An end-member in several terms stands once, at its first term, with the
  // terms' coefficients added; a sum of 0 leaves it out.
  const struct {
    std::vector<smallint> coef, em;
    const char* text;
  } repeated[] = {
      {{-1, -1, 2}, {1, 1, 2}, "2a = 2b"},
      {{1, -1, -1, 2}, {3, 1, 2, 1}, "b = c + a"},
      {{-1, 1, 1}, {1, 1, 2}, " = b"},
  };
  for (const auto& c : repeated) {
    ilvector coef{"coef"}, em{"em"};
    const auto n = static_cast<smallint>(c.coef.size());
    for (smallint i = 1; i <= n; ++i) {
      coef[i] = c.coef[static_cast<std::size_t>(i - 1)];
      em[i] = c.em[static_cast<std::size_t>(i - 1)];
    }
    EXPECT_EQ(LSQDS::MAKERELINE(coef, em, n), c.text);
  }
}

TEST(LeastSquaresText, CommentsForWriting) {
  const std::pair<const char*, const char*> cases[] = {
      {"  % note", "note"}, {" {a b} ", "a b"}, {"{open", "open"}, {"%x", ""}, {"%note", "ote"},
      {"x", ""},            {"    ", ""},       {"plain", "plain"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(LSQDS::TSTR(in), out) << in;
}

class LeastSquaresLatex : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    testsupport::openchannel(CHANNEL::LOGBIT, "jx-log.txt");
  }
  void TearDown() override { testsupport::freshstate(); }
  void add(const std::string& name, const std::string& formula, std::vector<std::pair<smallint, extended>> pairs) {
    ++NTP;
    tdrec& r = TDA[NTP];
    r = tdrec{};
    r.name = name;
    r.formula = formula;
    PHNAMES[NTP] = name;
    for (const auto& [code, amount] : pairs) {
      ++r.nform;
      r.form[r.nform] = {code, amount};
    }
    LSQDS::NTOT = NTP;
  }
  std::string log() {
    IO::FLUSHER();
    return dir.read("jx-log.txt");
  }
  testsupport::ScratchDir dir;
  testsupport::Terminal term;
};

TEST_F(LeastSquaresLatex, FormulaeAndPages) {
  NTP = 0;
  add("fo", "Mg2SiO4", {{10, 4}, {1, 1}, {5, 2}});
  add("br", "MgO2H2", {{5, 1}, {10, 2}, {11, 2}});
  add("hm", "Fe2O3", {{4, 2}, {10, 3}});
  add("Na+", "Na+", {{8, 1}, {14, 1}});
  add("CO3-2", "CO3", {{12, 1}, {10, 3}, {14, -2}});
  add("gt", "x", {{5, 2.5}, {11, 1}, {10, 2}});
  for (int i = 7; i <= 42; ++i) add("e" + std::to_string(i), "x", {{1, 1}});
  TDA[1].smax = 0.005L;
  TDA[1].bwn = 1;
  LSQDS::LATEXOUTPUT();
  const std::string l = log();
  for (const char* row : {"\nfo & Mg2SiO4  & Mg$_{2}$Si$_{}$O$_{4}$ \\\\\n", "\nbr & MgO2H2  & Mg$_{}$(OH)$_{2}$ \\\\\n",
                          "\nhm & Fe2O3  & Fe$_{2}$O$_{3}$ \\\\\n", "\nNa+ & Na+  & Na$^{+}$ \\\\\n",
                          "\nCO3-2 & CO3  & C$_{}$O$_{3}^{2-}$ \\\\\n", "\ngt & x  & Mg$_{2.5}$O$_{}$(OH)$_{}$ \\\\\n"})
    EXPECT_NE(l.find(row), std::string::npos) << row << l.substr(0, 900);
  // Row 42 of the formulae and row 41 of the properties open new tables.
  const std::string formulabreak = "\\\\\n\\hline \\end{tabular}\n\\newpage\n\n\\begin{tabular}{|p{1.5cm}p{3.5cm}p{4.5cm}|} \\hline\ne42 &";
  EXPECT_NE(l.find(formulabreak), std::string::npos);
  EXPECT_NE(l.find("\\\\\n\\hline \\end{tabular}\n\\newpage\n\n\\scriptsize\n\\begin{tabular}{|l|rr|rr|rrrr|rrrr|r|}"),
            std::string::npos);
  EXPECT_NE(l.find("\\hline\ne41      &"), std::string::npos);
  // Both order-disorder tables list fo; the l column shows 1.
  EXPECT_NE(l.find("\nlandau & $Tc$ &$S_{\\rm max}$ &$V_{\\rm max}$  \\\\ \\hline\nfo       &       0 &    5.00 &       0  \\\\\n"),
            std::string::npos);
  EXPECT_NE(l.find("\\hline\nfo       &       0 &       0 &       0 &       0 &     1 &     0  \\\\\n"), std::string::npos);
  EXPECT_NE(l.find(" &  1  \\\\\nbr "), std::string::npos);

  add("x", "x", {{20, 1}});
  EXPECT_EQ(testsupport::fatal(LSQDS::LATEXOUTPUT), "latex: no ox");
}

// A formula joined from two words, a lone "_" and a name holding one: every
// "_" outside a subscript is escaped, or LaTeX stops at it.
TEST_F(LeastSquaresLatex, UnderscoresOfTheTextAreEscaped) {
  NTP = 0;
  add("qL", "SiO2_liquid", {{1, 1}, {10, 2}});
  add("zz", "_", {{1, 1}});
  add("q_l", "SiO2", {{1, 1}, {10, 2}});
  TDA[1].dk0dt = -0.001L;
  TDA[3].cpaq = 1;
  LSQDS::LATEXOUTPUT();
  const std::string l = log();
  for (const char* row : {"\nqL & SiO2\\_liquid  & Si$_{}$O$_{2}$ \\\\\n", "\nzz & \\_  & Si$_{}$ \\\\\n",
                          "\nq\\_l & SiO2  & Si$_{}$O$_{2}$ \\\\\n", "\nq\\_l     &          0 &", "\nq\\_l     &   1.0000  \\\\\n"})
    EXPECT_NE(l.find(row), std::string::npos) << row << "\n" << l;
  // Outside maths ($ ... $) no "_" stands bare.
  bool maths = false;
  for (std::size_t k = 1; k < l.size(); ++k) {
    if (l[k] == '$') maths = !maths;
    if (l[k] == '_' && !maths) {
      EXPECT_EQ(l[k - 1], '\\') << l.substr(k - 20, 40);
    }
  }
}

// Names and formula words holding every character that LaTeX gives a
// meaning outside maths: each is escaped as a user types it in running
// text, so every row of every table keeps the cells of its column list, and
// groups and maths stay balanced.
TEST_F(LeastSquaresLatex, SpecialCharactersOfTheTextAreEscaped) {
  NTP = 0;
  add("a&b", "50%~{t}", {{1, 1}, {10, 2}});
  add("x^2", "$#1", {{1, 1}});
  add("c}L", "c{", {{1, 1}});
  add("q~", "a^b&c", {{1, 1}});
  add("t#", "}", {{1, 1}});
  TDA[1].smax = 0.005L;
  TDA[1].bwn = 1;
  TDA[3].dk0dt = -0.001L;
  TDA[4].cpaq = 1;
  LSQDS::LATEXOUTPUT();
  const std::string l = log();
  for (const char* row : {"\na\\&b & 50\\%\\~{}\\{t\\}  & Si$_{}$O$_{2}$ \\\\\n",
                          "\nx\\^{}2 & \\$\\#1  & Si$_{}$ \\\\\n", "\nc\\}L & c\\{  & Si$_{}$ \\\\\n",
                          "\nq\\~{} & a\\^{}b\\&c  & Si$_{}$ \\\\\n", "\nt\\# & \\}  & Si$_{}$ \\\\\n"})
    EXPECT_NE(l.find(row), std::string::npos) << row << "\n" << l;
  // Each table's columns from its column list; then every row between its
  // start and end: cells separated by bare "&", braces and "$" balanced,
  // and none of "%", "#", "~" bare, nor "^" outside maths. A backslash
  // takes the character after it, so "\\" and every escape count as text.
  std::size_t columns = 0, rows = 0, tables = 0;
  std::size_t from = 0;
  while (from < l.size()) {
    const std::size_t eol = l.find('\n', from);
    const std::string line = l.substr(from, eol - from);
    from = eol + 1;
    const std::size_t start = line.find("\\begin{tabular}{");
    if (start != std::string::npos) {
      ++tables;
      columns = 0;
      int depth = 0;
      for (std::size_t k = start + 15; k < line.size(); ++k) {
        if (line[k] == '{') ++depth;
        if (line[k] == '}' && --depth == 0) break;
        if (depth == 1 && (line[k] == 'l' || line[k] == 'r' || line[k] == 'p')) ++columns;
      }
      continue;
    }
    if (columns == 0 || line.find("\\end{tabular}") != std::string::npos) {
      columns = 0;
      continue;
    }
    ++rows;
    std::size_t cells = 1;
    int depth = 0;
    bool maths = false;
    for (std::size_t k = 0; k < line.size(); ++k) {
      const char c = line[k];
      if (c == '\\') {
        ++k;
        continue;
      }
      if (c == '&') ++cells;
      if (c == '$') maths = !maths;
      if (c == '{') ++depth;
      if (c == '}') --depth;
      EXPECT_GE(depth, 0) << line;
      EXPECT_TRUE(c != '%' && c != '#' && c != '~') << line;
      EXPECT_TRUE(c != '^' || maths) << line;
    }
    EXPECT_EQ(cells, columns) << line;
    EXPECT_EQ(depth, 0) << line;
    EXPECT_FALSE(maths) << line;
  }
  // Formulae (five rows), properties (two headings, five rows) and the four
  // parameter tables (a heading and one row each).
  EXPECT_EQ(tables, 6u);
  EXPECT_EQ(rows, 5u + 7u + 4u * 2u);
}

}  // namespace

namespace {

TEST(LeastSquaresText, NamesAndSpecialPositions) {
  testsupport::freshstate();
  testsupport::Terminal term;
  const char* names[] = {"q", "H2O", "CO2", "crd", "O2", "S2", "fcrd"};
  NTP = 7;
  for (smallint i = 1; i <= NTP; ++i) PHNAMES[i] = names[i - 1];
  smallint k = -1;
  EXPECT_TRUE(LSQDS::POSINPHNAME(" crd ", k, true));
  EXPECT_EQ(k, 4);
  EXPECT_FALSE(LSQDS::POSINPHNAME("Crd", k, false));
  EXPECT_EQ(k, 0);
  EXPECT_EQ(testsupport::fatal([&] { LSQDS::POSINPHNAME("ky", k, true); }), "posinphname: ky is not an end-member name");
  // List positions, not data-set positions; an entry 0 is passed over and a
  // later match wins.
  ilvector list{"list"};
  const smallint entries[] = {7, 0, 2, 5, 6, 3, 4, 2};
  for (smallint i = 1; i <= 8; ++i) list[i] = entries[i - 1];
  LSQDS::FINDPOSI(list, 8);
  EXPECT_EQ(FCRDPOS, 1);
  EXPECT_EQ(H2OPOS, 8);
  EXPECT_EQ(LSQDS::IO2, 4);
  EXPECT_EQ(LSQDS::IS2, 5);
  EXPECT_EQ(CO2POS, 6);
  EXPECT_EQ(CRDPOS, 7);
  testsupport::freshstate();
}

}  // namespace
