// Runs of the avPT+ driver on the linear fixture with the crossover
// search: the settings, a run with typed answers and its csv file, and
// readers of the printed lines.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "avptplus_testsupport.h"
#include "iotestsupport.h"
#include "uncertainty/zqnle4.h"

namespace avptxtest {

using namespace ZQGLOBAL;

inline const std::string degc = "\xA1"
                                "C";

// The linear fixture with the crossover search and the calculation window
// 4..8 kbar, 500..700 C.
inline void setup(smallint kind = 1) {
  avpttest::setuplinear();
  AVPTALGO = 2;
  AVPTCALCTYPE = kind;
  PLOW = 4, PHIGH = 8;
  TLOW = 500 + 273.15L, THIGH = 700 + 273.15L;
  IO::CONTROLIO.pagewidth = 250;
}

struct run {
  std::string out, end, csv;
};

inline run driver(const std::string& answers) {
  run r;
  testsupport::ScratchDir dir;
  testsupport::openchannel(CHANNEL::CSVBIT, "samples.csv");
  r.end = testsupport::answered(answers, [] { ZQNLE4::AVPTPLUSDRIVER(); }, r.out);
  if (IO::CSVFILE.f != nullptr) std::fclose(IO::CSVFILE.f);
  IO::CSVFILE.f = nullptr;
  IO::WHATSOPEN = 1;
  r.csv = dir.read("samples.csv");
  return r;
}

// Each wanted line, whole, after the one before it.
inline void inorder(const std::string& out, const std::vector<std::string>& wanted) {
  const std::vector<std::string> got = testsupport::lines(out);
  std::size_t at = 0;
  for (const std::string& w : wanted) {
    while (at < got.size() && got[at] != w) ++at;
    ASSERT_LT(at, got.size()) << "missing or out of order: " << w << "\n" << out;
    ++at;
  }
}

// The numbers of the first line that starts with label.
inline std::vector<double> numbers(const std::string& out, const std::string& label) {
  std::vector<double> v;
  for (const std::string& l : testsupport::lines(out))
    if (l.rfind(label, 0) == 0) {
      std::istringstream in(l.substr(label.size()));
      for (double x = 0; in >> x;) v.push_back(x);
      break;
    }
  return v;
}


}  // namespace avptxtest
