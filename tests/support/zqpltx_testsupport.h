// A drawing run in a scratch directory: the data file is written as
// qk-t.txt, the picture goes to jx-t.svg and the log to jx-log.txt.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "iotestsupport.h"
#include "rings.h"
#include "utilities/zqpltx.h"

namespace drawtest {

// A file of two-value rows (x first), its records, areas and control section.
inline std::string qk(const std::string& records, const std::string& control = "window 0 10 400 800\nbigticks 0 0 0 0\n",
                      const std::string& areas = "") {
  return "2 4 1 2\n" + records + "*\n" + areas + "*\n" + control + "*\n";
}

class Drawing {
 public:
  Drawing() {
    testsupport::freshstate();
    IO::CONTROLIO.scriptfile = "t";
    IO::CONTROLIO.progname = "SOLVARINTH 3.51";
    IO::WHENSTRING = "12.00 on Mon 7 Dec,2026";
    testsupport::openchannel(3, "jx-log.txt");
    testsupport::openchannel(10, "jx-t.svg");
    ZQPLTX::RESETPLTX();
    ZQPLTX::OVERALLSETUP();
  }
  ~Drawing() { testsupport::freshstate(); }

  // Reads the file; "" or how the run ended.
  std::string read(const std::string& file) {
    dir.write("qk-t.txt", file);
    return testsupport::fatal([] { ZQPLTX::READDATA(); });
  }
  // Reads the file and sets up the network.
  std::string network(const std::string& file) {
    std::string r = read(file);
    if (!r.empty()) return r;
    return testsupport::fatal([] {
      ZQPLTX::DOCROSSOVER();
      ZQPLTX::SETUPLINES();
    });
  }
  // A whole drawing run; "" or how it ended. The picture is in svg().
  std::string plot(const std::string& file) {
    dir.write("qk-t.txt", file);
    return testsupport::fatal([] { ZQPLTX::PLOTIX(); });
  }
  std::string svg() {
    IO::FLUSHER();
    return dir.read("jx-t.svg");
  }
  std::string log() {
    IO::FLUSHER();
    return dir.read("jx-log.txt");
  }

  testsupport::Terminal term;
  testsupport::ScratchDir dir;
};

inline const ZQPLTX::linetype& line(long i) { return (*ZQPLTX::LINE)[i]; }
inline const ZQPLTX::pointtype& point(long i) { return (*ZQPLTX::POINT)[i]; }

using pts = std::vector<std::pair<double, double>>;

// A line's points as the network has them.
inline pts points(const ZQPLTX::linetype& l) {
  pts p;
  for (long k = 1; k <= l.npts; ++k) p.emplace_back(static_cast<double>(l.x[k]), static_cast<double>(l.y[k]));
  return p;
}

// A file that sets up as a network, and what that network should be: the
// crossing a refusal would name, whether u1 and u2 cross away from every
// point, and lines' points (by number), each within tol of the one given
// (0: exactly). What is not given is not looked at.
struct networkcase {
  std::string records;
  std::optional<std::string> why = std::nullopt;
  std::vector<std::pair<long, pts>> lines = {};
  std::optional<bool> crosses = std::nullopt;
  double tol = 0;
  std::string control = "window 0 10 400 800\nbigticks 0 0 0 0\n";
};

// Sets the case's file up as a network and checks it. Where two of the
// lines given meet, within 1e-9, they meet at one place exactly: a line
// routed through another's row has that very row.
inline void expectnetwork(const networkcase& c) {
  Drawing d;
  ASSERT_EQ(d.network(qk(c.records, c.control)), "") << c.records;
  if (c.why) {
    EXPECT_EQ(ZQPLTX::CROSSINGOFLINES(), *c.why) << c.records;
  }
  if (c.crosses) {
    extended x = 0, y = 0;
    EXPECT_EQ(ZQPLTX::LINESCROSS(1, 2, x, y), *c.crosses) << c.records;
  }
  pts all;
  for (const auto& [n, want] : c.lines) {
    const pts got = points(line(n));
    ASSERT_EQ(got.size(), want.size()) << c.records << "u" << n << ": " << ::testing::PrintToString(got);
    for (std::size_t k = 0; k < got.size(); ++k) {
      EXPECT_NEAR(got[k].first, want[k].first, c.tol) << c.records << "u" << n << " point " << k + 1;
      EXPECT_NEAR(got[k].second, want[k].second, c.tol) << c.records << "u" << n << " point " << k + 1;
    }
    all.insert(all.end(), got.begin(), got.end());
  }
  for (std::size_t p = 0; p < all.size(); ++p)
    for (std::size_t q = p + 1; q < all.size(); ++q)
      if (std::fabs(all[p].first - all[q].first) < 1e-9 && std::fabs(all[p].second - all[q].second) < 1e-9) {
        EXPECT_EQ(all[p], all[q]) << c.records;
      }
}

}  // namespace drawtest
