// The details block of a point whose solution has more site fractions than
// a line holds: the table goes on in blocks, each value under its own name,
// and a table that fits stays one block.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "equilibria/zqnle1.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_solver.h"

using namespace ZQGLOBAL;

namespace {

std::string two(long k) { return (k < 10 ? "0" : "") + std::to_string(k); }

// Site fraction k of the made-up solution: twelve small ones, then larger.
extended sfvalue(long k) { return k <= 12 ? 0.005L * static_cast<extended>(k) : 0.4L - 0.01L * static_cast<extended>(k - 13); }

class WideDetails : public ::testing::Test {
 protected:
  assemblage::tables t;
  testsupport::ScratchDir dir;

  void fill(smallint nsf) {
    SU = sutype{};
    SU.nuv = SU.nuvleft = 1;
    SU.compname[1] = "SiO2";
    SU.bcomps[1] = true;
    SU.nph = 1;
    suphasetype& ss = SU.ph[1];
    ss.name = "ss";
    ss.nem = 3;
    ss.hasmode = true;
    ss.nsf = nsf;
    for (long k = 1; k <= nsf; ++k) {
      ss.sfnames[k] = "t" + two(k);
      ss.sf[k] = sfvalue(k);
    }
    ss.varnames[1] = "v01", ss.varnames[2] = "v02";
    for (long j = 1; j <= ss.nem; ++j) ss.emnames[j] = "e" + two(j);
    ss.comp[1] = 1;
    SU.pressure = 5;
    SU.temperature = 773.15L;
    SU.variance = SU.ovariance = 2;
    VARIANCE = OVARIANCE = 2;
    SU.ncomp = 1;
    MODESBYNLE = MODESAFTERNLE = false;
    testsupport::openchannel(CHANNEL::DETAILSBIT, "ic.txt");
  }

  std::vector<std::string> lines() {
    ZQNLE1::PRINTIC();
    IO::FLUSHER();
    std::vector<std::string> v;
    std::istringstream in(dir.read("ic.txt"));
    for (std::string l; std::getline(in, l);) v.push_back(l);
    return v;
  }
};

// The words of the table from line from on, block after block of rows
// lines: per row of the block, the words after its label.
std::vector<std::vector<std::string>> table(const std::vector<std::string>& ls, std::size_t from, std::size_t rows,
                                            std::size_t labelwidth, std::size_t& blocks) {
  std::vector<std::vector<std::string>> t(rows);
  blocks = 0;
  for (std::size_t i = from; i + rows <= ls.size(); i += rows + 1) {
    for (std::size_t r = 0; r < rows; ++r) {
      std::istringstream in(ls[i + r].substr(std::min(labelwidth, ls[i + r].size())));
      for (std::string w; in >> w;) t[r].push_back(w);
    }
    ++blocks;
    if (i + rows >= ls.size() || !ls[i + rows].empty() || i + rows + 1 >= ls.size() ||
        ls[i + rows + 1].rfind("ss", 0) != 0)
      break;
  }
  return t;
}

TEST_F(WideDetails, SiteFractionsGoOnInBlocks) {
  for (smallint nsf : {26, 24}) {
    SCOPED_TRACE(nsf);
    fill(nsf);
    const std::vector<std::string> ls = lines();
    std::size_t at = 0;
    while (at < ls.size() && ls[at] != "site fractions") ++at;
    ASSERT_LT(at + 1, ls.size());
    std::size_t nblocks = 0;
    const auto sf = table(ls, at + 1, 2, 5, nblocks);
    EXPECT_EQ(nblocks, nsf > 24 ? 2u : 1u);
    ASSERT_EQ(sf[0].size(), static_cast<std::size_t>(nsf));
    ASSERT_EQ(sf[1].size(), static_cast<std::size_t>(nsf));
    for (long k = 1; k <= nsf; ++k) {
      EXPECT_EQ(sf[0][static_cast<std::size_t>(k - 1)], "t" + two(k));
      EXPECT_NEAR(std::stod(sf[1][static_cast<std::size_t>(k - 1)]), static_cast<double>(sfvalue(k)), 5e-6) << k;
    }
    for (const std::string& l : ls) EXPECT_EQ(l.find('\xA4'), std::string::npos) << l;
  }
}

}  // namespace
