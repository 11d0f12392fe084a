// The files of calc mode 9: end-member files read, data sets and
// new-format end-member files written and read back by the readers that
// take them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "input/zqread1.h"
#include "iotestsupport.h"
#include "lsq/lsqds.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

// A plain record of the new layout, its type and order values to fill in.
std::string rec6(const std::string& name, const std::string& type, const std::string& h, const std::string& tail,
                 const std::string& order = "") {
  return name + "   SiO2\n 1 1.0 10 2.0 0 1\n" + type + "\n " + h + "  % {H note}\n 0.04150 % S note\n 2.269\n" +
         " 0.0929 -0.642e-6 -714.9 -0.7161  %cp note\n 0.65e-5 {a0 note}\n " + tail + "  %  k note\n" + order + "\n";
}

const std::string mode6 = "6\n\n" + rec6("q", "0", "-910.0", "730 6.0") +
                          rec6("lq", "1", "-908.5", "730 6.0", " 847 0.00495 0.1188 % landau\n") +
                          rec6("sfq", "2", "-907.25", "730 6.0", " 1.5 0.01 2.1 0.005 2 1.0 %\n") +
                          rec6("Na+", "8", "-240.34", "0 0", " 0.385\n") + rec6("qL", "7", "-920.3", "220 9.46 -0.00651") +
                          "*\n";

// Old layout: dscode 0 (dropped), a Landau record, a melt, an aqueous ion
// and one without volume.
std::string rec5(const std::string& name, const std::string& hline, const std::string& v, const std::string& k,
                 const std::string& order = "") {
  return name + "  SiO2\n 1 1 10 2 0  1 3.0\n " + hline + "  {cal}\n 0.0415 0\n " + v + "\n" +
         " 0.0929 -0.642e-6 -714.9 -0.7161\n 0.65e-5\n " + k + "\n" + order + "\n";
}
const std::string mode5 = "5\n\n" + rec5("gone", "-1 1 0", "2.269", "730 6 -0.0082") +
                          rec5("q", "-910.7 0.9 1", "2.269", "730 6 -0.0082") +
                          rec5("lq", "-908.5 98.99 2", "2.37", "730 6 0", " 847 0.00495 0.1188\n") +
                          rec5("qL", "-920.3 99 1", "2.73", "220 9.46 0 -0.00651") +
                          rec5("Cl-", "-167.08 0.1 3", "1.73", "0 0 0", " 0.2\n") + rec5("nov", "-1 1 1", "0", "0 0 0") +
                          "*\n";

const std::string mode7 = "7\n\nper   MgO\n 5 1 10 1 0\n3\n -601.6\n 0.0269\n 1.125\n 0.0605 0.000362 500.0\n"
                          " 3.11e-5\n 1616 3.95\n\n" + rec6("q", "0", "-910.0", "730 6.0") + "*\n";

class LeastSquaresFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    ZQUTE1::SETUP();
    CALCMODE = calcmodetype::lsqdscalc;
    dir.write("ds-prefs.txt", "*\n");
    LSQDS::INTRO();
    IO::DATAFILENAMESUFFIX = "6cv";
    CONTROLDS.emsuffix = "cv";
  }
  void TearDown() override {
    IO::FILECLOSE(ZQREAD1::PDATA, true, "dsfile");
    IO::FILECLOSE(IO::DATA, true, "emfile");
    ZQUTE1::CLEANUP();
    testsupport::freshstate();
  }

  void readem(const std::string& text, const std::string& suffix = "emt") {
    dir.write("ds-" + suffix + ".txt", text);
    IO::OPENDATAFILE("ds-" + suffix + ".txt", "thermo", IO::DATA);
    LSQDS::READTH();
    IO::FILECLOSE(IO::DATA, true, "emfile");
  }
  // The written data set through all three passes of the data-set reader.
  void readdataset() {
    IO::CONTROLIO.dsfile = "6cv";
    ASSERT_EQ(fatal([] { ZQREAD1::READTHERMO(1); }), "");
    ASSERT_EQ(NTP, LSQDS::NTOT);
    NCV = NTP;
    for (long i = 1; i <= NTP; ++i) NAME[i] = PHNAMES[i];
    const std::string stop = fatal([] {
      ZQREAD1::READTHERMO(2);
      ZQREAD1::READTHERMO(3);
    });
    ASSERT_EQ(stop, "") << "the data set written does not read back";
  }
  void fit(smallint mode) {
    DSMODE = mode;
    FROMOUTXY = true;
    for (smallint i = 1; i <= LSQDS::NTOT; ++i) (*LSQDS::THETA)[i] = TDA[i].h - 0.1234L * i;
  }

  testsupport::ScratchDir dir;
  testsupport::Terminal term;
};

bool ends(const std::string& n, const char* c) { return !n.empty() && std::string(c).find(n.back()) != std::string::npos; }

// Every row the data-set reader made equals its record to the decimals
// written; covariances likewise.
void expectrows(int version) {
  for (smallint i = 1; i <= LSQDS::NTOT; ++i) {
    const tdrec& r = TDA[i];
    const auto near = [&](int slot, long double want, long double tol) {
      EXPECT_NEAR((double)(*TD)(i, slot), (double)want, (double)tol + 1e-9) << r.name << " slot " << slot;
    };
    const auto dec = [](int places) { return 0.5L * std::pow(10.0L, -places); };
    const bool cv = version == 7 && r.eqtype >= 3 && r.eqtype <= 5, melt = ends(r.name, "L");
    near(1, FROMOUTXY ? (*LSQDS::THETA)[i] : r.h, dec(3));
    near(2, r.s, dec(5));
    near(3, r.v, dec(4));
    near(4, cv ? r.cv1 : r.cpa, dec(cv ? 5 : 4));
    near(5, cv ? r.cv2 : r.cpb, dec(cv ? 10 : 9));
    near(6, cv ? 0 : r.cpc, dec(1));
    near(7, cv ? 0 : r.cpd, dec(4));
    near(8, r.a0, dec(7));
    near(9, r.k0, dec(2));
    near(10, r.k0p, dec(2));
    near(11, r.k0pp, 1e-5L);
    near(12, melt ? 0 : r.theta, cv ? dec(1) : 1);
    near(13, melt ? r.dk0dt : 0, dec(5));
    int od = r.smax > 0 ? 1 : r.bwn > 0 ? 2 : (r.cpaq != 0 || ends(r.name, "+-")) ? -1 : 0;
    if (version != 5) od = r.eqtype % 3 == 1 && r.eqtype < 7 ? 1 : r.eqtype % 3 == 2 && r.eqtype < 7 ? 2 : r.eqtype == 8 ? -1 : 0;
    near(14, od == 1 ? r.tcrit : 0, 0.5L);
    near(15, od == 1 ? r.smax : -1, dec(5));
    near(16, od == 1 ? r.vmax : -1, dec(4));
    near(17, od == -1 && r.cpaq != 0 ? r.cpaq - 298.15L * r.cpb : 0, dec(4));
    near(20, od == 2 ? r.bwdh : 0, dec(2));
    near(24, od == 2 ? r.bwn : 0, 0);
    near(25, od == 2 ? r.bwfac : 1, dec(2));
    const int type = version != 5 ? r.eqtype : melt ? 7 : od == -1 ? 8 : r.v == 0 ? 6 : od;
    near(31, type, 0);
    for (smallint j = i; j <= LSQDS::NTOT; ++j) {
      const long double c = (*LSQDS::XX)(i, j) * LSQDS::SIG2;
      EXPECT_NEAR((double)(*COV)(i, j), std::fabs(c) < 0.00005L ? 0.0 : (double)c, 5e-5 + 1e-6 * std::fabs((double)c))
          << i << "," << j;
    }
  }
}

TEST_F(LeastSquaresFiles, DataSetsReadBackAsWritten) {
  struct rt {
    const char* what;
    std::string em;
    smallint fitmode;  // 0: a conversion
    const char* line1;
  };
  const rt cases[] = {
      {"conversion of mode 6", mode6, 0, "6  5    don't"},
      {"conversion of mode 5", mode5, 0, "6  5    don't"},
      {"conversion of mode 7 keeps Cv", mode7, 0, "7  2    don't"},
      {"fit of mode 6", mode6, 6, "6  5    don't"},
      {"fit of mode 5 with few end-members", mode5, 5, "6  5    don't"},
  };
  for (const rt& c : cases) {
    SCOPED_TRACE(c.what);
    readem(c.em);
    if (c.fitmode != 0) {
      fit(c.fitmode);
      for (smallint i = 1; i <= LSQDS::NTOT; ++i)
        for (smallint j = 1; j <= LSQDS::NTOT; ++j) (*LSQDS::XX)(i, j) = i == j ? 2.5L * i : -0.31L / (i + j);
      LSQDS::SIG2 = 1.7L;
    }
    LSQDS::WRITETHERMODATA();
    EXPECT_EQ(dir.read("jx-ds6cv.txt").substr(0, 13), c.line1);
    readdataset();
    expectrows(c.line1[0] - '0');
    testsupport::freshstate();
    ZQUTE1::SETUP();
    CALCMODE = calcmodetype::lsqdscalc;
    LSQDS::INTRO();
    IO::DATAFILENAMESUFFIX = "6cv";
  }
}

TEST_F(LeastSquaresFiles, CovarianceBlockAndLongNames) {
  std::string em = "6\n\n";
  for (int i = 1; i <= 16; ++i) em += rec6(i == 1 ? "abcdefgh" : "e" + std::to_string(i), "0", "-910.0", "730 6.0");
  readem(em + "*\n");
  fit(6);
  for (smallint i = 1; i <= 16; ++i)
    for (smallint j = i; j <= 16; ++j) (*LSQDS::XX)(i, j) = (*LSQDS::XX)(j, i) = 0.03L * (i + j);
  (*LSQDS::XX)(1, 1) = 9.99996L;
  (*LSQDS::XX)(1, 2) = (*LSQDS::XX)(2, 1) = -0.5L;
  (*LSQDS::XX)(1, 3) = (*LSQDS::XX)(3, 1) = 0.00004L;
  LSQDS::SIG2 = 1;
  LSQDS::WRITETHERMODATA();
  const std::vector<std::string> l = testsupport::lines(dir.read("jx-ds6cv.txt"));
  EXPECT_EQ(l[2].substr(0, 14), "abcdefgh SiO2 ");
  std::size_t at = 0;
  while (at < l.size() && l[at].find("  10.0000") == std::string::npos) ++at;
  ASSERT_LT(at, l.size());
  // 10.0000 after two blanks, -0.5000 a column wider than 0.5000, a value
  // below 0.00005 as " 0", and a new line once 120 columns are passed.
  // Counted from after the checksum: 110 columns for row 1, then 0.12 and
  // 0.15 of row 2 pass 120.
  EXPECT_EQ(l[at].substr(l[at].find("  10.0000")),
            "  10.0000 -0.5000 0 0.1500 0.1800 0.2100 0.2400 0.2700 0.3000 0.3300 0.3600 0.3900 0.4200 0.4500 0.4800"
            " 0.5100 0.1200 0.1500");
  EXPECT_EQ(l[at + 1].substr(0, 14), " 0.1800 0.2100");
  EXPECT_LE(l[at + 1].size(), 130u);
  EXPECT_EQ(l.back(), "jx-ds6cv.txt produced at " + IO::WHENSTRING + " (sigfit =  1.000)");
  readdataset();
  expectrows(6);
}

TEST_F(LeastSquaresFiles, VersionFiveOnlyFromFiftyOneEndMembers) {
  std::string em = "5\n\n";
  for (int i = 1; i <= 51; ++i) em += rec5("e" + std::to_string(i), "-910 1 1", "2.269", "730 6 -0.0082");
  readem(em + "*\n");
  fit(5);
  LSQDS::SIG2 = 0;
  LSQDS::WRITETHERMODATA();
  const std::vector<std::string> l = testsupport::lines(dir.read("jx-ds6cv.txt"));
  EXPECT_EQ(l[0], "  51    don't fiddle with the numbers: you'll BREAK the dataset...");
  EXPECT_EQ(l[2], "5");
  EXPECT_EQ(l[3], "      e1   1  1   1.0000 10   2.0000  0 ff");
  EXPECT_EQ(l[6], "         0.0000065   730.00     6.00   -0.00822    0");
  readdataset();
  expectrows(5);
}

TEST_F(LeastSquaresFiles, NothingWrittenThatCannotBeRead) {
  readem(mode6);
  TDA[2].h = std::nan("");
  EXPECT_EQ(fatal(LSQDS::WRITETHERMODATA), "writethermodata: H of lq is not a finite number: data set not written");
  EXPECT_FALSE(dir.exists("jx-ds6cv.txt"));
  TDA[2].h = 0;
  TDA[3].bwfac = INFINITY;
  EXPECT_EQ(fatal(LSQDS::WRITEEMDATA),
            "writeemdata: the Bragg-Williams fac of sfq is not a finite number: data set not written");
  EXPECT_FALSE(dir.exists("ds-emcv-i.txt"));
}

TEST_F(LeastSquaresFiles, NewFormatFileReadsBackWithItsNotes) {
  readem(mode6);
  TDA[1].form[1].amount = 1.0L / 3;
  const std::vector<tdrec> before(TDA.begin(), TDA.begin() + LSQDS::NTOT);
  LSQDS::WRITEEMDATA();
  const std::string text = dir.read("ds-emcv-i.txt");
  EXPECT_EQ(text.substr(0, 56), "6\n\nq       SiO2\n        1  0.3333   10    2.00     0  0\n");
  EXPECT_EQ(text.substr(text.size() - 3), "\n*\n");
  readem(text, "emcv-i");
  ASSERT_EQ(LSQDS::NTOT, static_cast<smallint>(before.size()));
  for (std::size_t k = 0; k < before.size(); ++k) {
    const tdrec& a = before[k];
    const tdrec& b = TDA[static_cast<long>(k + 1)];
    EXPECT_EQ(b.name, a.name);
    EXPECT_NEAR((double)b.form[1].amount, (double)a.form[1].amount, 5e-5);
    for (auto [x, y] : {std::pair{a.h, b.h}, {a.s, b.s}, {a.k0p, b.k0p}, {a.tcrit, b.tcrit}, {a.bww, b.bww},
                        {a.cpaq, b.cpaq}, {a.dk0dt, b.dk0dt}})
      EXPECT_NEAR((double)y, (double)x, 5e-5) << a.name;
    EXPECT_EQ(b.eqtype, a.eqtype);
    for (auto [x, y] : {std::pair{a.snote, b.snote}, {a.cpnote, b.cpnote}, {a.a0note, b.a0note}, {a.knote, b.knote},
                        {a.odnote, b.odnote}})
      EXPECT_EQ(LSQDS::TSTR(y), LSQDS::TSTR(x)) << a.name;
  }
  EXPECT_EQ(LSQDS::TSTR(before[0].a0note), "a0 note");
  EXPECT_EQ(LSQDS::TSTR(before[0].cpnote), "p note");  // "%" with a letter at once loses the letter
  EXPECT_EQ(LSQDS::TSTR(before[2].odnote), "");
}

TEST_F(LeastSquaresFiles, NewFormatFileFromOldLayoutCarriesTheCalorimetry) {
  readem(mode5);
  LSQDS::WRITEEMDATA();
  const std::vector<std::string> l = testsupport::lines(dir.read("ds-emcv-i.txt"));
  const std::vector<std::string> tail(l.end() - 6, l.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"*", "1       q     -910.70     0.90    % cal",
                                            "1      lq     -908.50    98.99    % cal",
                                            "1     Cl-     -167.08     0.10    % cal",
                                            "1     nov       -1.00     1.00    % cal", "0"}));
  EXPECT_EQ(l[0], "6");
  EXPECT_NE(term.text().find(std::string(64, '-') + "\nwith dsmode = 5 at the top of the emfile, the emifile contains\n"),
            std::string::npos);
}

// A comment on a name line is no word of the formula, neither when read
// nor when the new-format file is read again: the formula stays as it was.
TEST_F(LeastSquaresFiles, NameLineCommentIsNoPartOfTheFormula) {
  const std::string block = "\n 1 1 0\n0\n -900\n 0.0415\n 2.269\n 0 0 0 0\n 0\n 730 6\n\n";
  readem("6\n\ncmt  % a comment here" + block + "two  AB %c d" + block + "*\n");
  EXPECT_EQ(TDA[1].formula, "_");
  EXPECT_EQ(TDA[2].formula, "AB");
  LSQDS::WRITEEMDATA();
  const std::string first = dir.read("ds-emcv-i.txt");
  EXPECT_NE(first.find("\ncmt     _\n"), std::string::npos) << first;
  readem(first, "emcv-i");
  EXPECT_EQ(TDA[1].formula, "_");
  LSQDS::WRITEEMDATA();
  EXPECT_EQ(dir.read("ds-emcv-i.txt"), first);
}

TEST_F(LeastSquaresFiles, EndMemberFileReading) {
  readem("6\n\nq  SiO2 \xA5x\n 1 1 10 2 0\n0\n-900.0%note\n 0.0415\n 2.269\n 0 0 0 0\n 0\n 730 6\n\n"
         "z\n 1 1 0\n0\n 0\n -0.00644\n 0\n 0 0 0 0\n 0\n 0 0\n\nqL a b\n 1 1 0\n7\n 0\n 0\n 0\n 0 0 0 0\n 0\n 0 0 0\n\n* end\n");
  EXPECT_EQ(LSQDS::NTOT, 3);
  EXPECT_EQ(TDA[1].formula, "SiO2");
  EXPECT_EQ((double)TDA[1].h, -900.0);
  EXPECT_EQ(TDA[1].hnote, "%note");
  EXPECT_EQ(TDA[2].formula, "_");
  EXPECT_EQ((double)TDA[2].theta, 10.0);  // zero divisor
  EXPECT_EQ(TDA[3].formula, "a_b");
  EXPECT_EQ((double)TDA[3].theta, 0.0);
  EXPECT_NE(term.text().find("\nnumber of end-members =    3\n"), std::string::npos);

  const std::string ok = "6\n\nq  SiO2\n 1 1 10 2 0\n0\n -900\n 0.0415\n 2.269\n 0 0 0 0\n 0\n 730 6\n\n";
  const struct {
    std::string text;
    const char* message;
  } bad[] = {
      {"6\n\nq  SiO2\n 1 1 2 1 3 1 4 1 5 1 6 1 7 1 8 1 9 1 0\n", "more than 8 formula pairs in q"},
      {"6\n\nq  SiO2\n 1 1 27 1 0\n", "element code 27 outside 1..26 in q"},
      {ok, "file ends without \"*\": after q"},
      {"6\n\nq  SiO2\n 1 1 0\n0\n -900\n", "file ends without \"*\": S of q missing"},
      {ok + "% no name\n", "name line without a name, after q"},
      {"6\n\nq  SiO2\n 1 1 0\n0\n -9x00\n x0.04\n", "expecting a number for S of q; got: x0.04"},
      {"6\n\nq  SiO2\n 1 1 0\nseven\n", "expecting a number for the property type of q; got: seven"},
      {"6\n\nq  SiO2\n 1 1 0\n7\n", "melt end-member name does not end in 'L'"},
  };
  for (const auto& b : bad) {
    std::string t = b.text;
    if (std::string(b.message).find("melt") != std::string::npos) t += " 0\n 0\n 0\n 0 0 0 0\n 0\n 0 0 0\n\n*\n";
    EXPECT_EQ(fatal([&] { readem(t); }), std::string("readth: ") + b.message);
  }
}

}  // namespace
