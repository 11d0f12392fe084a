// The details-file blocks of a point, compact and sectioned, on a
// hand-filled result record: ol (fo, fa) and q out of MgO, FeO, SiO2.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "equilibria/zqnle1.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_solver.h"

using namespace ZQGLOBAL;

namespace {

constexpr extended xol = 0.1234567L;
constexpr extended RkJ = 0.0083144L;

class DetailsBlocks : public ::testing::Test {
 protected:
  assemblage::tables t;
  testsupport::ScratchDir dir;

  std::size_t seenbytes = 0;

  void SetUp() override {
    fill();
    testsupport::openchannel(CHANNEL::DETAILSBIT, "ic.txt");
  }

  void fill() {
    SU = sutype{};
    SU.nuv = SU.nuvleft = 3;
    const char* comps[] = {"MgO", "FeO", "SiO2"};
    for (long c = 1; c <= 3; ++c) SU.compname[c] = comps[c - 1], SU.bcomps[c] = true;
    SU.nph = 2;
    suphasetype& ol = SU.ph[1];
    ol.name = "ol";
    ol.nem = 2;
    ol.hasmode = true;
    ol.varnames[1] = "x(ol)";
    ol.x[1] = xol;
    ol.nsf = 2;
    ol.sfnames[1] = "xMgM";
    ol.sfnames[2] = "xFeM";
    ol.sf[1] = 1 - xol;
    ol.sf[2] = xol;
    ol.comp[1] = 2 * (1 - xol);
    ol.comp[2] = 2 * xol;
    ol.comp[3] = 1;
    ol.emnames[1] = "fo";
    ol.emnames[2] = "fa";
    const extended props[] = {1 - xol, xol};
    const extended mu0[] = {-2150.5L, -1500.25L};
    for (long j = 1; j <= 2; ++j) {
      ol.p[j] = props[j - 1];
      ol.ideal[j] = ol.activity[j] = props[j - 1] * props[j - 1];
      ol.gamma[j] = 1;
      ol.gem[j] = mu0[j - 1];
      ol.rtlna[j] = RkJ * 973.15L * std::log(ol.activity[j]);
    }
    ol.g = -2100.123456L, ol.h = -2000.5L, ol.s = 0.123456L, ol.v = 4.4L, ol.rho = 3.3L;
    suphasetype& q = SU.ph[2];
    q.name = "q";
    q.nem = 1;
    q.hasmode = true;
    q.comp[3] = 1;
    q.gem[1] = -900.5L;
    q.g = -900.5L, q.h = -910.75L, q.s = 0.0415L, q.v = 2.269L, q.rho = 2.648L;
    SU.pressure = 10;
    SU.temperature = 973.15L;
    SU.variance = SU.ovariance = 2;
    VARIANCE = OVARIANCE = 2;
    SU.ncomp = 1;
    MODESBYNLE = MODESAFTERNLE = false;
  }

  std::string ic(void (*printer)()) {
    printer();
    IO::FLUSHER();
    const std::string all = dir.read("ic.txt");
    const std::string added = all.substr(seenbytes);
    seenbytes = all.size();
    return added;
  }

  // Two mode rows from bulk step 3 on.
  void tworows() {
    MODESAFTERNLE = true;
    SU.ncomp = 5;
    SU.nmodeset = 2;
    SU.firstmodeset = 3;
    for (long r = 1; r <= 2; ++r) {
      SU.ph[1].mode[r] = 0.25L * static_cast<extended>(r);
      SU.ph[2].mode[r] = 1 - 0.25L * static_cast<extended>(r);
      SU.ph[1].modefac[r] = SU.ph[2].modefac[r] = 1.5L;
      SU.gsys[r] = -1000, SU.hsys[r] = -990, SU.ssys[r] = 0.1L, SU.vsys[r] = 3, SU.rhosys[r] = 3.1L;
      for (long c = 1; c <= 3; ++c) SU.bulk(r, c) = 0.1L * static_cast<extended>(c + r);
    }
  }
};

const std::string rule = "===========================================================";

TEST_F(DetailsBlocks, CompactBlockOfAPointWithoutModes) {
  const std::string want = "\n" + rule + "\n\nol q  {10.0000, 700.000}  kbar/C\nvar = 2\n\n"
      "ol        x(ol)\n        0.12346\n"
      "\nsite fractions\nol         xMgM      xFeM\n        0.87654   0.12346\n"
      "\noxide compositions\n               MgO         FeO        SiO2\n"
      "ol        1.753087    0.246913           1\n"
      "q                0           0           1\n"
      "\n                        G            H        S        V      rho\n"
      "ol            -2100.12346  -2000.50000  0.12346  4.40000  3.30000\n"
      "q              -900.50000   -910.75000  0.04150  2.26900  2.64800\n"
      "\n                  ideal    gamma   activity       prop          mu0      RT ln a\n"
      "ol    fo        0.76833   1.0000    0.76833    0.87654  -2150.50000     -2.13233\n"
      "      fa       0.015242   1.0000   0.015242    0.12346  -1500.25000    -33.85122\n\n"
      "q                                                        -900.50000\n";
  EXPECT_EQ(ic(ZQNLE1::PRINTIC), want);
}

// Switches and record states that change single lines of the compact block.
TEST_F(DetailsBlocks, CompactBlockCases) {
  struct row {
    const char* what;
    void (*set)();
    const char* has;
    const char* hasnot;
  };
  const row rows[] = {
      {"moreprec", [] { CONTROLJX.moreprec = yes; },
       "ol            -2100.12345600  -2000.50000000  0.12345600  4.40000000", ""},
      {"ovar", [] { OVARIANCE = 3; SU.ovariance = 3; }, "\novar = 3; var = 2\n\n", ""},
      {"not seen", [] { MODESAFTERNLE = true; }, "var = 2; NOT seen\n\n", "\nmode"},
      {"by the solve", [] { MODESBYNLE = true; SU.nmodeset = 1; SU.kcomp = 1; SU.bulk(1, 1) = 0.5L; },
       "var = 2 (seen)\n", ""},
      {"oxide near whole", [] { SU.ph[2].comp[1] = 2.000004L; SU.ph[2].comp[2] = 2.00002L; },
       "q                2    2.000020           1\n", ""},
      {"exbuff", [] { EXBUFF = true; }, "      prop\n", "mu0"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.what);
    fill();
    CONTROLJX = controljxtype{};
    EXBUFF = false;
    r.set();
    const std::string out = ic(ZQNLE1::PRINTIC);
    EXPECT_NE(out.find(r.has), std::string::npos) << out;
    if (*r.hasnot) {
      EXPECT_EQ(out.find(r.hasnot), std::string::npos) << out;
    }
  }
}

TEST_F(DetailsBlocks, CompactModeRowsOfABulkRange) {
  tworows();
  SU.bulk(2, 1) = 0;  // the last bulk is read from the last step's row
  SU.ncomp = 2;
  const std::string out = ic(ZQNLE1::PRINTIC);
  EXPECT_NE(out.find("bulk       20.0000     30.0000     40.0000\n"
                     "  to             0     40.0000     50.0000   1 steps\n"), std::string::npos) << out;
  EXPECT_NE(out.find("\nmode         ol        q\n3       0.25000  0.75000\n4       0.50000  0.50000\n"
                     "\nfactor       ol        q\n3       1.50000  1.50000\n4       1.50000  1.50000\n"),
            std::string::npos) << out;
  EXPECT_NE(out.find("\n3             -1000.00000   -990.00000  0.10000"), std::string::npos) << out;
  // Univariant rows come in pairs under one label; a zero mode is a blank.
  VARIANCE = OVARIANCE = 1;
  SU.ph[1].mode[2] = 0;
  SU.ncomp = 1;
  SU.nmodeset = 2;
  const std::string pairs = ic(ZQNLE1::PRINTIC);
  EXPECT_NE(pairs.find("\nmode         ol        q\n3       0.25000  0.75000\n                 0.50000\n"),
            std::string::npos) << pairs;
  EXPECT_NE(pairs.find("\nsys           -1000.00000"), std::string::npos) << pairs;
  EXPECT_NE(pairs.find("\n              -1000.00000"), std::string::npos) << pairs;
}

// An isopleth held across a bulk range leaves a divariant assemblage one
// degree of freedom: each mode row is a bulk step of its own, in both
// layouts and in the mode, factor and system rows alike.
TEST_F(DetailsBlocks, RowsOfAnIsoplethAlongABulkRange) {
  tworows();
  SU.nmodeset = 3;
  SU.firstmodeset = 2;
  SU.ph[1].mode[3] = 0.75L, SU.ph[2].mode[3] = 0.25L;
  SU.ph[1].modefac[3] = SU.ph[2].modefac[3] = 1.5L;
  SU.gsys[3] = -1000, SU.hsys[3] = -990, SU.ssys[3] = 0.1L, SU.vsys[3] = 3, SU.rhosys[3] = 3.1L;
  OVARIANCE = SU.ovariance = 2;
  VARIANCE = SU.variance = 1;
  const std::string out = ic(ZQNLE1::PRINTIC);
  EXPECT_NE(out.find("\nmode         ol        q\n2       0.25000  0.75000\n3       0.50000  0.50000\n"
                     "4       0.75000  0.25000\n"),
            std::string::npos) << out;
  EXPECT_NE(out.find("\nfactor       ol        q\n2       1.50000  1.50000\n3       1.50000  1.50000\n"
                     "4       1.50000  1.50000\n"),
            std::string::npos) << out;
  for (const char* label : {"\n2             -1000.00000", "\n3             -1000.00000", "\n4             -1000.00000"})
    EXPECT_NE(out.find(label), std::string::npos) << label << "\n" << out;
  const std::string sections = ic(ZQNLE1::PRINTICOMBRY);
  EXPECT_NE(sections.find("\nmode                ol           q\n2       0.25000000  0.75000000\n"
                          "3       0.50000000  0.50000000\n4       0.75000000  0.25000000\n"),
            std::string::npos) << sections;
  EXPECT_NE(sections.find("\n4       1.50000000  1.50000000\n"), std::string::npos) << sections;
  EXPECT_NE(sections.find("\n4            -1000.00000"), std::string::npos) << sections;
}

TEST_F(DetailsBlocks, SectionedBlock) {
  tworows();
  SU.ncomp = 1;
  SU.nmodeset = 1;
  const extended mu0[] = {-12.5L, -0.25L, 2.5L, 0, -12};
  const char* shown[] = {"-12.50000000", "-0.25000000", "2.50000000", "0", "-12"};
  for (int k = 0; k < 5; ++k) {
    SCOPED_TRACE(shown[k]);
    SU.ph[1].gem[1] = mu0[k];
    const std::string out = ic(ZQNLE1::PRINTICOMBRY);
    std::string field = shown[k];
    field.insert(0, 17 - field.size(), ' ');
    EXPECT_NE(out.find("ol    fo         0.768328     1.00000    0.768328     0.87654" + field), std::string::npos)
        << out;
    if (k > 0) continue;
    const std::string head = "\n" + rule + "\n\nConditions and assemblage\npressure     10.0000  kbar"
        "\ntemperature  700.0000 \xA1" "C\nphases       ol q \nvariance     2; seen\n\n"
        "\nSOLVARINTH compositional variables\nol            x(ol)\n            0.12346\n";
    EXPECT_EQ(out.substr(0, head.size()), head);
    for (const char* s : {"\n\nSite fractions\n", "\n\nOxide compositions\n", "\n\nModal abundance of phases\nmode",
                          "\n\nConversion factor per atom/per formula unit\nfactor",
                          "\nsys          -1000.00000  -990.00000     0.10000",
                          "\n\nThermodynamic properties of end-members\n                    ideal       gamma"
                          "    activity        prop                0         RT ln a\n",
                          "    -33.85121859\nq"})
      EXPECT_NE(out.find(s), std::string::npos) << s << "\n" << out;
  }
}

}  // namespace
