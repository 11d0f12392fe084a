// The avPT+ nominal result and its diagnostics on the linear fixture, whose
// calculated variables are exact linear functions of P and T: every single
// solve gives the same generalised least-squares point.
#include <gtest/gtest.h>

#include <string>

#include "avptx_testsupport.h"

using namespace ZQGLOBAL;
using namespace avptxtest;

TEST(AvptXNominal, CrossoverTraceResultAndDiagnostics) {
  setup();
  const run r = driver("kill\n");
  EXPECT_EQ(r.end, ": kill");  // ended at the first Monte Carlo prompt
  inorder(r.out, {
                     "________________________________",
                     "avPT+ calculations in SOLVARINTH",
                     "number of P blocks = 5",
                     "P bracket",
                     "       P       T    delP    step",
                     "   4.000  620.00  -2.500       0",
                     "   8.000  620.00   1.500       0",
                     "interval halving",
                     "   6.000  620.00  -0.500       0      6.500  620.00",
                     "   7.000  620.00   0.500       0      6.500  620.00",
                     "finally",
                     "   6.500  620.00",
                     "avPT+ = {6.500 kbar, 620.00" + degc + "}, sigfit = 1.500, using  45 PT calcs",
                     "diagnostics",
                     std::string(16, ' ') +
                         "      rock        sd        jx        sd       opt        sd    e*rock      e*jx",
                     "  \\text{x1}         0.3395    0.0100    0.3300    0.0050    0.3319    0.0045     0.760    -0.380",
                 });
}

TEST(AvptXNominal, FailedSolvesEndTheRun) {
  // A rock at 10 kbar lies beyond every calculation: no crossover.
  for (const smallint kind : {1, 2}) {
    setup(kind);
    AVPFIXEDT = 600;
    for (int i = 1; i <= avpttest::nvar; ++i) MINERAL[1].xyz[i] = avpttest::linear(i - 1, 10, 600);
    const run r = driver("");
    const std::size_t brute = r.out.find("brute force: njx = 45");
    if (kind == 2) {
      EXPECT_EQ(r.end, "avptplusdriver: avP+ calculation did not converge");
      EXPECT_NE(brute, std::string::npos);
      EXPECT_NE(r.out.find("there is NOT a crossover"), std::string::npos);
    } else {
      EXPECT_EQ(r.end, "avptplusdriver: avPT+ calculation did not converge");
      EXPECT_EQ(brute, std::string::npos);
      EXPECT_NE(r.out.find("have you tried avP+ and/or avT+?"), std::string::npos);
    }
  }
}

