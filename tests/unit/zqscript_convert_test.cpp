// The "convert" lines: bulk and mineral analyses for the utilities.
#include <cmath>

#include "zqscript_testsupport.h"

using namespace scripttest;
using namespace ZQGLOBAL;

class ScriptConvert : public ScriptTest {};

TEST_F(ScriptConvert, AGoodBlockFillsTheRecords) {
  read("convert bulk wt2mole SiO2 Al2O3 FeO 50.5 15 9/2\n"
       "convert gt 4 SiO2 Al2O3 FeO MgO\n"
       "convert gt wt2xyz 38.2 21.5 30.1 8 99\n"
       "convert gt info 12 0.02 0.05 0.2\n"
       "convert gt ideal 8 0 2 1 Si 1 Al\n"
       "convert gt ideal 3 -1 1 1/2 Mg\n"
       "convert bi 2 SiO2 K2O\n"
       "convert bi info 11 0.05 0 1 1.5\n");
  EXPECT_EQ(IO::NFAIL, 0);
  EXPECT_EQ(NCONV, 8);
  ASSERT_EQ(NCONVB, 3);
  EXPECT_EQ(CONVOX[3], "FeO");
  EXPECT_EQ(CONVBULK[1], 50.5L);
  EXPECT_EQ(CONVBULK[3], 4.5L);

  ASSERT_EQ(NMINCONV, 2);
  const mineralconvtype& gt = MINERALCONV[1];
  EXPECT_EQ(gt.name, "gt");
  EXPECT_EQ(gt.n, 4);
  EXPECT_EQ(gt.inoxide[4], "MgO");
  EXPECT_TRUE(gt.analysed);
  EXPECT_EQ(gt.wt[3], 30.1L);
  EXPECT_EQ(gt.wt[4], 8);
  EXPECT_EQ(gt.fu, 12);
  EXPECT_EQ(gt.sdlogwt, 0.02L);
  // the x range is a 95% interval of ln x
  EXPECT_NEAR(static_cast<double>(gt.logx), std::log(0.1), 1e-15);
  EXPECT_NEAR(static_cast<double>(gt.sdlogx), std::log(4.0) / 4, 1e-15);
  EXPECT_EQ(gt.sdmult, 1);
  EXPECT_TRUE(gt.useideal);
  ASSERT_EQ(gt.nideal, 2);
  EXPECT_EQ(gt.idealvalue[1], 8);
  EXPECT_EQ(gt.nidealterm[1], 2);
  EXPECT_EQ(gt.idealname(1, 2), "Al");
  EXPECT_EQ(gt.idealconst[2], -1);
  EXPECT_EQ(gt.idealcoef(2, 1), 0.5L);
  EXPECT_EQ(gt.idealname(2, 1), "Mg");

  const mineralconvtype& bi = MINERALCONV[2];
  EXPECT_FALSE(bi.analysed);
  EXPECT_FALSE(bi.useideal);
  EXPECT_EQ(bi.sdmult, 1.5L);
  // a range from all ferrous to all ferric
  EXPECT_LT(bi.logx, -5);
  EXPECT_GT(bi.sdlogx, 0);

  // The next read starts from nothing.
  read("");
  EXPECT_EQ(NCONV, -1);
  EXPECT_EQ(NCONVB, 0);
  EXPECT_EQ(NMINCONV, -1);
}

TEST_F(ScriptConvert, EachFaultEndsTheRead) {
  const std::string gt = "convert gt 2 SiO2 FeO\n";
  std::string twelve;
  for (int i = 1; i <= 12; ++i) twelve += "convert m" + std::to_string(i) + " 1 SiO2\n";
  struct Case {
    std::string script, message;
  };
  const Case cases[] = {
      {"convert bulk\n", "not enough input for oxides in convert bulk"},
      {"convert bulk wt2mole\n", "not enough input for oxides in convert bulk"},
      {"convert bulk wt2mole SiO2 MgO 50\n", "not enough input for oxides in convert bulk"},
      {"convert bulk SiO2 50\n", "wrong form for convert bulk"},
      {"convert bulk wt2mole SiO2 50 MgO 10\n", "wrong form for convert bulk"},
      {"convert gt 27 SiO2\n", "too many oxides for gt (max = 26) "},
      {"convert\n", "not enough info in mineral start line"},
      {"convert gt\n", "not enough info in mineral start line"},
      {"convert gt SiO2 FeO\n", "not enough info in mineral start line"},
      {"convert gt 0\n", "not enough info in mineral start line"},
      {"convert gt 3 SiO2 FeO\n", "insufficient oxnames for gt"},
      {"convert gt 2 SiO2 12\n", "insufficient oxnames for gt"},
      {twelve + "convert m13 1 SiO2\n", "too many minerals in the rock"},
      {"convert gt wt2xyz 30 50\n", "missing mineral start line"},
      {gt + "convert bi info 12 0.02 0 0.1\n", "not for the same mineral, for bi"},
      {gt + "convert gt wt2xyz 30\n", "insufficient analysis values for gt"},
      {gt + "convert gt wt2xyz 30 x 50\n", "insufficient analysis values for gt"},
      {gt + "convert gt info 12 0.02 0.1\n", "insufficient recalc info for gt"},
      {gt + "convert gt info 12 0.02 0.1 0.1\n", "xhigh must be bigger than xlow for gt"},
      {gt + "convert gt info 12 0.02 0.3 0.1\n", "xhigh must be bigger than xlow for gt"},
      {gt + "convert gt ideal 8 0\n", "insufficient recalc info (1) for gt"},
      {gt + "convert gt ideal 8 0 1.5 1 Si\n", "insufficient recalc info (1) for gt"},
      {gt + "convert gt ideal 8 0 2 1 Si\n", "insufficient recalc info (2) for gt"},
      {gt + "convert gt ideal 8 0 1 Si 1\n", "insufficient recalc info (2) for gt"},
      {gt + std::string(4, ' ') + "\n" + [] {
         std::string s;
         for (int i = 0; i < 5; ++i) s += "convert gt ideal 8 0 1 1 Si\n";
         return s;
       }(),
       "too many peq for gt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    const IO::runend e = fatal(c.script);
    EXPECT_EQ(e.where, "reading scripts");
    EXPECT_EQ(e.message, c.message);
  }
}
