// The avPT+ Monte Carlo passes with made tries, and the correlation search
// of their report: thousands of tries and sorts, run once by their own
// test program.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "avptx_testsupport.h"

using namespace ZQGLOBAL;
using namespace avptxtest;

namespace {

// Made tries: a spread of samples about the nominal point; a try fails
// when its number's remainder by `period` is below `nfail`, with `failcode`.
int period = 1, nfail = 0;
smallint failcode = 0;
bool madetry(avptplusstate& s) {
  const bool fail = s.NTRY % period < nfail;
  s.FAILCODE = fail ? failcode : 0;
  s.PTRY = fail ? 0 : s.PNOM + s.UFAC * 0.1L * (s.NTRY % 7 - 3);
  s.TTRY = fail ? 0 : s.TNOM + s.UFAC * (s.NTRY % 5 - 2);
  return !fail;
}

struct passes {
  std::string out, end, csv;
  std::unique_ptr<avptplusstate> s;
};

passes montecarlo(int kind, int per, int nf, smallint code, const std::string& answers) {
  passes r;
  testsupport::ScratchDir dir;
  r.s = fresh(kind, {});
  period = per, nfail = nf, failcode = code;
  r.s->TRYSEAM = madetry;
  r.s->PNOM = 6, r.s->TNOM = 600;
  testsupport::openchannel(CHANNEL::CSVBIT, "samples.csv");
  r.end = testsupport::answered(answers, [&] { r.s->MONTECARLO(); }, r.out);
  // The samples were flushed into a file that takes them: no write error.
  EXPECT_FALSE(IO::CSVFILE.writeerror);
  IO::WHATSOPEN = 1;
  std::fclose(IO::CSVFILE.f);
  IO::CSVFILE.f = nullptr;
  r.csv = dir.read("samples.csv");
  return r;
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(AvptXMonteCarlo, FirstPassStops) {
  struct fc {
    const char* what;
    int kind, per, nf;
    smallint code;
    smallint tries, good;
    const char* verdict;
  };
  const fc cases[] = {
      {"every try solves", 1, 1, 0, 0, 2000, 2000, "\nlooks like an ok result?\n\n"},
      {"avP+ wants 4000", 2, 1, 0, 0, 4000, 4000, "\nlooks like an ok result?\n\n"},
      {"300 failures in 2000 tries", 1, 20, 3, 1, 2000, 1700,
       "here just for reference: possibly untrustworthy\n\nlots of fails\n"},
      {"299 failures are not enough", 1, 10000, 300, 1, 2299, 2000, "\nlooks like an ok result?\n\n"},
      {"uncounted failures run to 2.5 times the target", 1, 10, 7, 0, 5000, 1500, "\nlooks like an ok result?\n\n"},
  };
  for (const fc& c : cases) {
    SCOPED_TRACE(c.what);
    const passes r = montecarlo(c.kind, c.per, c.nf, c.code, "1\n0\n");
    ASSERT_EQ(r.end, "");
    EXPECT_NE(r.out.find(std::string("mc: good = ") + std::to_string(c.good) + " (tried = " + std::to_string(c.tries)),
              std::string::npos)
        << r.out.substr(0, 400);
    EXPECT_NE(r.out.find(c.verdict), std::string::npos);
    EXPECT_EQ(count(r.csv, "\n"), static_cast<std::size_t>(c.good));
    EXPECT_EQ(r.s->NSAMPLE, c.good);
  }
}

TEST(AvptXMonteCarlo, FurtherPassesAndTheFactorOfTheSamples) {
  struct fc {
    const char* what;
    int kind;
    const char* answers;
    smallint samples;
    extended ufac;  // the factor the csv rows are taken back with
    int asked;      // "ufac to use" prompts
  };
  const fc cases[] = {
      {"0 at once", 1, "1\n0\n", 2000, 1, 1},
      {"1 goes on adding to the first pass", 1, "1\n1\n0\n", 4000, 1, 2},
      {"avP+ already full makes one more try", 2, "1\n1\n0\n", 4001, 1, 2},
      {"refused factors run no pass", 1, "1\n0.2\n-1\n2\n0\n", 4000, 0.2L, 4},
      {"a later 1 starts afresh", 1, "1\n0.5\n1\n0\n", 4000, 1, 3},
      {"the first factor is asked until it is positive", 1, "0\n-0.5\n1.5\n0\n", 2000, 1.5L, 1},
      {"a first factor of 2 outlives a later 2 that runs no pass", 1, "2\n2\n0\n", 2000, 2, 2},
  };
  for (const fc& c : cases) {
    SCOPED_TRACE(c.what);
    const passes r = montecarlo(c.kind, 1, 0, 0, c.answers);
    ASSERT_EQ(r.end, "");
    EXPECT_EQ(r.s->NSAMPLE, c.samples);
    EXPECT_EQ(r.s->UFAC, c.ufac);
    EXPECT_EQ(count(r.out, "ufac to use : "), static_cast<std::size_t>(c.asked));
    const std::vector<std::string> rows = testsupport::lines(r.csv);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(c.samples));
    // The made samples are PNOM + ufac * 0.1 * (try % 7 - 3): taken back
    // to a factor of 1 they are 6 + 0.1 * (try % 7 - 3) again.
    const std::string first = c.kind == 2 ? "     5.800" : "     5.800,     599.00";
    EXPECT_EQ(rows[0], first);
  }
}

TEST(AvptXMonteCarlo, CorrelationOfTheSmallestEllipse) {
  struct fc {
    double r;             // correlation the samples are drawn with
    double lo, hi;        // where RBEST must land
  };
  const fc cases[] = {{0, -0.1, 0.1}, {0.6, 0.5, 0.7}, {-0.6, -0.7, -0.5}, {1, 0.9, 0.97}};  // the search may step just past 0.95
  for (const fc& c : cases) {
    auto s = fresh(1, {});
    s->PNOM = 6.5L, s->TNOM = 620, s->UFAC = 1;
    s->NSAMPLE = 2000;
    ZQNLE4::avptgauss g;
    g.seed(12345);
    for (long k = 1; k <= 2000; ++k) {
      const extended g1 = g.next(), g2 = g.next();
      s->PSAMPLE[k] = 6.5L + 0.4L * g1;
      s->TSAMPLE[k] = 620 + 8 * (c.r * g1 + std::sqrt(1 - c.r * c.r) * g2);
    }
    std::string out;
    testsupport::answered("", [&] { s->PRINTMC(true); }, out);
    EXPECT_GE(s->RBEST, c.lo) << c.r;
    EXPECT_LE(s->RBEST, c.hi) << c.r;
    EXPECT_NEAR(static_cast<double>(s->SDP), 0.4, 0.04);
    EXPECT_NEAR(static_cast<double>(s->PBOXHI - s->PMID), 0.4 * 2.447, 0.1);
    EXPECT_EQ(out.rfind("95% ci ellipse is inscribed in: ", 0), 0u);  // no line end before
    EXPECT_NE(out.find("\nnominally, avPT+ = "), std::string::npos);
  }
}
