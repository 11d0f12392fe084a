// The script keywords that fill a table over several lines (convliq,
// projplane), the starting P-T and the one-bulk fraction, the clash of bulk
// and rbi, and the mode settings of a batch item with a bulk composition.
#include <string>

#include "zqscript_testsupport.h"

using namespace scripttest;
using namespace ZQGLOBAL;

class ScriptBlocks : public ScriptTest {
 protected:
  void fresh() {
    term_.reset();
    term_ = std::make_unique<testsupport::Terminal>();
  }
};

TEST_F(ScriptBlocks, ConvliqRowsAndColumns) {
  const struct {
    const char* script;
    controlboolean sw;
    smallint rows, cols;
  } cases[] = {
      {"convliq 1 2 3\nconvliq 4 5 6\n", yes, 2, 3},
      // a row of another length is passed over
      {"convliq 1 2 3\nconvliq 4 5\nconvliq 7 8 9\n", yes, 2, 3},
      // an unreadable row drops the matrix; later rows stay out
      {"convliq 1 2 3\nconvliq 4 x 6\nconvliq 7 8 9\n", no, 0, 3},
      {"convliq\n", no, 0, -1},
      {"convliq 1 2\nconvliq no\n", no, 0, 2},
      {"convliq ask 1 2\n", ask, -1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    read(c.script);
    EXPECT_EQ(CONTROLJX.convliq, c.sw);
    EXPECT_EQ(CONVLIQROW, c.rows);
    if (c.rows >= 0) {
      EXPECT_EQ(CONVLIQCOL, c.cols);
    }
  }
  read("convliq 1 2 3\nconvliq 4 5 6.5\n");
  EXPECT_EQ(CONVLIQINFO(1, 1), 1);
  EXPECT_EQ(CONVLIQINFO(2, 3), 6.5L);

  std::string wide = "convliq";
  for (int j = 1; j <= maxconvliqcols + 1; ++j) wide += " " + std::to_string(j);
  auto e = fatal(wide + "\n");
  EXPECT_EQ(e.message, "too many columns in convliq matrix");
  EXPECT_EQ(e.where, "control");
  std::string tall;
  for (int i = 1; i <= maxconvliqrows; ++i) tall += "convliq 1 2\n";
  read(tall);
  EXPECT_EQ(CONVLIQROW, maxconvliqrows);
  e = fatal(tall + "convliq 1 2\n");
  EXPECT_EQ(e.message, "too many rows in convliq matrix");
  EXPECT_EQ(e.where, "control");
}

TEST_F(ScriptBlocks, PtGuess) {
  const struct {
    const char* line;
    controlboolean sw;
    long double p, t;  // what P4XYZ and T4XYZ hold after (untouched: 0)
  } cases[] = {
      {"ptguess 8 600", yes, 8, 873.15L},
      {"ptguess 1500 10", yes, 1500, 283.15L},
      {"ptguess 0.001 2726", yes, 0.001L, 2999.15L},
      // stored, then refused: the switch alone says whether it holds
      {"ptguess 1500.5 600", no, 1500.5L, 873.15L},
      {"ptguess 0.0005 600", no, 0.0005L, 873.15L},
      {"ptguess 8 9", no, 8, 282.15L},
      {"ptguess 8 2727", no, 8, 3000.15L},
      {"ptguess 8 x", no, 0, 0},
      {"ptguess 8", yes, 0, 0},
      {"ptguess no 8 600", no, 0, 0},
  };
  read("");
  const long double p0 = P4XYZ, t0 = T4XYZ;  // the unset guess
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    read(std::string(c.line) + "\n");
    EXPECT_EQ(CONTROLJX.ptguess, c.sw);
    EXPECT_NEAR(static_cast<double>(P4XYZ), static_cast<double>(c.p == 0 ? p0 : c.p), 1e-12);
    EXPECT_NEAR(static_cast<double>(T4XYZ), static_cast<double>(c.t == 0 ? t0 : c.t), 1e-9);
  }
}

TEST_F(ScriptBlocks, ProjectionPlane) {
  read("projplane SiO2 FeOt MgO\nprojplane ap1 1 2 3\nprojplane ap2 4 5 6.5\n");
  EXPECT_EQ(CONTROLJX.projplane, yes);
  EXPECT_EQ(CONTROLJX.projplanedata, 3);
  EXPECT_EQ(PROJPLANEC[2], "FeO");
  EXPECT_EQ(NPROJAPEX, 2);
  EXPECT_EQ(PROJNAMES[1], "ap1");
  EXPECT_EQ(PROJNAMES[2], "ap2");
  EXPECT_EQ(PROJPLANE(1, 3), 3);
  EXPECT_EQ(PROJPLANE(2, 3), 6.5L);

  read("projplane SiO2\nprojplane no\nprojplane ap1 1\n");
  EXPECT_EQ(NPROJAPEX, 0);
  EXPECT_EQ(CONTROLJX.projplane, yes);  // the later line sets the switch, nothing more

  // A short apex line is a failed check that the reader counts
  read("projplane SiO2 MgO\nprojplane ap1 1\n", "no\n");
  EXPECT_EQ(IO::NFAIL, 1);

  for (const char* k : {"projplane", "setprojplane"}) {
    fresh();
    const auto e = fatal(std::string(k) + " 1 2\n");
    EXPECT_EQ(e.message, "change the " + std::string(k) + " script");
    EXPECT_TRUE(says("now, " + std::string(k) + " starts with an oxide list on a line, before the block \n"
                     "of apex compositions (this line was there before but preceded by a %)\n"))
        << out();
  }
  std::string many = "projplane SiO2\n";
  for (int i = 1; i <= maxprojapex; ++i) many += "projplane a" + std::to_string(i) + " 1\n";
  read(many);
  EXPECT_EQ(NPROJAPEX, maxprojapex);
  EXPECT_EQ(fatal(many + "projplane z 1\n").message, "too many apices in projplane");
  EXPECT_EQ(fatal("projplane SiO2\nprojection\n").message,
            "projection script needs to be before reading projection plane");
}

TEST_F(ScriptBlocks, OneBulk) {
  const struct {
    const char* line;
    controlboolean sw;
    long double value;
    int fails;
  } cases[] = {
      {"onebulk 0.3", yes, 0.3L, 0}, {"onebulk", yes, -1, 0},      {"onebulk ask 1", ask, 1, 0},
      {"onebulk no 0.3", no, -1, 0}, {"onebulk 1.5", yes, -1, 1},  {"onebulk 0", yes, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    read(std::string(c.line) + "\n", "no\n");
    EXPECT_EQ(CONTROLJX.onebulk, c.sw);
    EXPECT_EQ(CONTROLJX.onebulkvalue, c.value);
    EXPECT_EQ(IO::NFAIL, c.fails);
  }
  // a subrange given after it sets the fraction back to unset
  read("onebulk 0.3\nsplitbulk 0.2 0.6\n");
  EXPECT_EQ(CONTROLJX.onebulkvalue, -1);
  EXPECT_EQ(CONTROLJX.subrangehigh, 0.6L);
}

TEST_F(ScriptBlocks, BulkAndRbiTogether) {
  for (const char* script : {"pseudosection\nrbi SiO2\nrbi g 1 1\nbulk SiO2\n",
                             "pseudosection\nbulk SiO2\nbulk 1\nrbi SiO2\n"}) {
    SCOPED_TRACE(script);
    fresh();
    const auto e = fatal(script);
    EXPECT_EQ(e.message, "ambiguity setting the bulk composition");
    EXPECT_EQ(e.where, "reading scripts");
    EXPECT_TRUE(says("both bulk and rbi in the scriptfile; choose which to use\n"));
  }
  // a bulk switched off before rbi is no clash
  read("pseudosection\nbulk no\nrbi SiO2\nrbi g 1 1\n");
  EXPECT_EQ(CONTROLJX.rbi, yes);
  EXPECT_EQ(NRBIMODE, 1);
}

TEST_F(ScriptBlocks, BatchModeSettings) {
  const std::string head = "with g q\nbatchxyzguess startblock\nbatchxyzguess x(g) 0.5\nmcbulk 1 1 2\n";
  const std::string item = "batch g q 1 1 1 5 600 0 1 1 0 ";
  read(head + item + "1 q 0.3 0\n");
  EXPECT_EQ(BATCHINFO[1].nmodeset, 1);
  EXPECT_EQ(BATCHINFO[1].modephase1, 2);
  EXPECT_EQ(BATCHINFO[1].mode1, 0.3L);
  read(head + item + "2 q 0.3 g 0.7 0\n");
  EXPECT_EQ(BATCHINFO[1].nmodeset, 2);
  EXPECT_EQ(BATCHINFO[1].modephase1, 2);
  EXPECT_EQ(BATCHINFO[1].modephase2, 1);
  EXPECT_EQ(BATCHINFO[1].mode2, 0.7L);

  const struct {
    const char* tail;
    const char* message;
  } faults[] = {
      {"3 q 0.3 g 0.7 0", "in batch, wrong number of modes set"},
      {"2 q 0.3 0", "in batch, not enough pseudosection info"},
      {"1 z 0.3 0", "in batch, modeset phase1 not in which"},
      {"1 q x 0", "in batch, modeset phase1 mode stuffed"},
      {"2 q 0.3 z 0.7 0", "in batch, modeset phase2 not in which"},
      {"2 q 0.3 g x 0", "in batch, modeset phase2 mode stuffed"},
      {"1 q 0.3 2 g 1 0.5 q 1 0.5", "in batch, wrong number of isopleths set"},
  };
  for (const auto& f : faults) {
    SCOPED_TRACE(f.tail);
    EXPECT_EQ(fatal(head + item + f.tail + "\n").message, f.message);
  }
}
